#pragma once
// The message overlay: a short notice centred over the board for a set time,
// or the one question of the game after a wrong full-board solution.

#include "ui/Controls.h"

#include <QWidget>

class TFormMeld : public QWidget {
    Q_OBJECT
public:
    explicit TFormMeld(QWidget *parent = nullptr);

    // Remaining display time in 100 ms ticks; 0 = until closed.
    int32_t Dauer = 0;
    // The display time of a notice whose sender names none: two seconds.
    static constexpr int32_t kNoticeTicks = 20;

    TPanel *DurchPanel = nullptr;
    TLabel *DurchTXT = nullptr;
    TImage *Pic_Ja = nullptr;
    TImage *Pic_Nein = nullptr;
    TLabel *BT_Ja = nullptr;
    TLabel *bt_Nein = nullptr;
    TPanel *MeldePanel = nullptr;
    TLabel *MeldTXT = nullptr;
    TTimer *Timer1 = nullptr;

    void ShowText(const QString &text);
    void ShowBigText(const QString &text);
    void ShowTextSized(const QString &text, int fontSize);
    void ShowPenalty(int seconds);
    void AskClearWrongSolution();
    void CenterOverBoard(int w, int h);

    void BT_JaClick();
    void bt_NeinClick();
    void Timer1Timer();
    // Menu colour of both panels.
    void SetPanelColour(int32_t bgr);
    // Shown, but held back while the main window is minimised.
    bool WaitsForMainWindow() const { return m_waitsForMain; }

    void setVisible(bool visible) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showMessage(const QString &text, int fontSize, int height, bool trace);
    void layoutPanels();
    void runDisplayTime();
    void setClickThrough(bool on);

    bool m_waitsForMain = false;
};

extern TFormMeld *FormMeld;
