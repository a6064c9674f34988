#include "ui/DialogService.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>

namespace {

class TQtDialogService : public TDialogService {
public:
    int MessageDlg(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons) override
    {
        return ask(text, type, buttons, false);
    }

    int AskWithdrawable(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons) override
    {
        return ask(text, type, buttons, true);
    }

    void Withdraw() override
    {
        if (!m_withdrawable)
            return;
        m_withdrawn = true;
        m_withdrawable->done(0);
    }

private:
    // The box with its type and buttons, run modally; a withdrawable one is
    // kept where Withdraw() finds it while it is open (one at a time: the
    // program asks such a question only from a button a modal box blocks).
    int ask(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons, bool withdrawable)
    {
        QMessageBox box(QApplication::activeWindow());
        switch (type) {
        case TMsgDlgType::Information:
            box.setIcon(QMessageBox::Information);
            box.setWindowTitle(QStringLiteral("Information"));
            break;
        case TMsgDlgType::Warning:
            box.setIcon(QMessageBox::Warning);
            box.setWindowTitle(QStringLiteral("Warnung"));
            break;
        case TMsgDlgType::Error:
            box.setIcon(QMessageBox::Critical);
            box.setWindowTitle(QStringLiteral("Fehler"));
            break;
        case TMsgDlgType::Confirmation:
            box.setIcon(QMessageBox::Question);
            box.setWindowTitle(QStringLiteral("Bestätigung"));
            break;
        }
        // Server notices and file names arrive here too: markup in them is
        // shown as typed, never rendered.
        box.setTextFormat(Qt::PlainText);
        box.setText(text);
        QPushButton *ok = nullptr, *yes = nullptr, *no = nullptr, *cancel = nullptr;
        if (buttons == TMsgDlgButtons::OK || buttons == TMsgDlgButtons::OKCancel)
            ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        if (buttons == TMsgDlgButtons::YesNo || buttons == TMsgDlgButtons::YesNoCancel) {
            yes = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
            no = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
        }
        if (buttons == TMsgDlgButtons::OKCancel || buttons == TMsgDlgButtons::YesNoCancel)
            cancel = box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
        if (withdrawable) {
            m_withdrawable = &box;
            m_withdrawn = false;
        }
        box.exec();
        if (withdrawable) {
            m_withdrawable = nullptr;
            if (m_withdrawn)
                return mrNone;
        }
        QAbstractButton *clicked = box.clickedButton();
        if (clicked == ok && ok)
            return mrOk;
        if (clicked == yes && yes)
            return mrYes;
        if (clicked == no && no)
            return mrNo;
        if (cancel)
            return mrCancel;
        return no ? mrNo : mrOk;
    }

public:
    QString SaveFileName(QWidget *parent, const QString &title, const QString &dir,
                         const QString &filter, const QString &defaultSuffix) override
    {
        QFileDialog dlg(parent, title, dir, filter);
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setDefaultSuffix(defaultSuffix);
        // The caller may still change the name (its extension), so it asks
        // about an existing file itself, once, for the file it will write.
        dlg.setOption(QFileDialog::DontConfirmOverwrite);
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
            return QString();
        return dlg.selectedFiles().first();
    }

    QString OpenFileName(QWidget *parent, const QString &title, const QString &dir,
                         const QString &filter) override
    {
        return QFileDialog::getOpenFileName(parent, title, dir, filter);
    }

    QString Directory(QWidget *parent, const QString &title, const QString &dir) override
    {
        return QFileDialog::getExistingDirectory(parent, title, dir);
    }

    bool ChooseColor(QWidget *parent, QColor &color) override
    {
        const QColor c = QColorDialog::getColor(color, parent);
        if (!c.isValid())
            return false;
        color = c;
        return true;
    }

    bool PrintSetup(QWidget *parent, QPrinter *printer) override
    {
        QPrintDialog dlg(printer, parent);
        return dlg.exec() == QDialog::Accepted;
    }

private:
    QMessageBox *m_withdrawable = nullptr;
    bool m_withdrawn = false;
};

int &gameQuestionsOpen()
{
    static int open = 0;
    return open;
}

TDialogService *&current()
{
    static TDialogService *service = nullptr;
    return service;
}

} // namespace

TDialogService *Dialogs()
{
    static TQtDialogService real;
    return current() ? current() : &real;
}

void InstallDialogService(TDialogService *service) { current() = service; }

int MessageDlg(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons)
{
    return Dialogs()->MessageDlg(text, type, buttons);
}

void ShowMessage(const QString &text) { MessageDlg(text, TMsgDlgType::Information, TMsgDlgButtons::OK); }

void ReportSaveFailure(const QString &path, const QString &error)
{
    MessageDlg(QStringLiteral("Die Datei \"%1\" konnte nicht gespeichert werden.").arg(QDir::toNativeSeparators(path)) +
                   (error.isEmpty() ? QString() : QStringLiteral("\r\n") + error),
               TMsgDlgType::Error, TMsgDlgButtons::OK);
}

int AskGameQuestion(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons)
{
    ++gameQuestionsOpen();
    const int answer = Dialogs()->AskWithdrawable(text, type, buttons);
    --gameQuestionsOpen();
    return answer;
}

bool GameQuestionOpen() { return gameQuestionsOpen() > 0; }

void WithdrawGameQuestion()
{
    if (GameQuestionOpen())
        Dialogs()->Withdraw();
}
