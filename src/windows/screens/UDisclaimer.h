#pragma once
// The terms-of-use window, shown at start until the terms have been accepted once.

#include "ui/Controls.h"

#include <QWidget>

class QTextEdit;

class TDisclaimer : public QWidget {
    Q_OBJECT
public:
    explicit TDisclaimer(QWidget *parent = nullptr);

    TImage *LogoPic = nullptr;
    QTextEdit *Box = nullptr;
    TCheckBox *CheckBox1 = nullptr;
    TBitBtn *BitBtn1 = nullptr; // "Weiter >"
    TBitBtn *BitBtn2 = nullptr; // cancel

    void CheckBox1Click();
    void acceptClick();
    void abbrechenClick();

    static QString TermsText();

protected:
    void closeEvent(QCloseEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    bool m_accepted = false;
};

extern TDisclaimer *Disclaimer;
