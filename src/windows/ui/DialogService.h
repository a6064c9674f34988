#pragma once
// Every message box, question and file, colour or print dialog of the program
// goes through this service. The real one shows Qt dialogs; tests install a
// scripted one, since a modal box in a headless test would hang.

#include <QColor>
#include <QString>

class QWidget;
class QPrinter;

enum class TMsgDlgType { Information, Warning, Error, Confirmation };
enum class TMsgDlgButtons { OK, YesNo, OKCancel, YesNoCancel };
enum TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };

class TDialogService {
public:
    virtual ~TDialogService() = default;
    virtual int MessageDlg(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons) = 0;
    // Empty result: cancelled. It does not ask about an existing file.
    virtual QString SaveFileName(QWidget *parent, const QString &title, const QString &dir,
                                 const QString &filter, const QString &defaultSuffix) = 0;
    virtual QString OpenFileName(QWidget *parent, const QString &title, const QString &dir,
                                 const QString &filter) = 0;
    virtual QString Directory(QWidget *parent, const QString &title, const QString &dir) = 0;
    // False: cancelled; colour unchanged.
    virtual bool ChooseColor(QWidget *parent, QColor &color) = 0;
    virtual bool PrintSetup(QWidget *parent, QPrinter *printer) = 0;
    // A question the program may take back while it is open: Withdraw() closes
    // the open one, which then answers mrNone. Services that cannot close a
    // question ask it as MessageDlg does.
    virtual int AskWithdrawable(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons)
    {
        return MessageDlg(text, type, buttons);
    }
    virtual void Withdraw() {}
};

// The service in use; the real one unless a test installed another.
TDialogService *Dialogs();
// Installs a service (nullptr restores the real one). The caller keeps ownership.
void InstallDialogService(TDialogService *service);

// Short forms used all over the program.
int MessageDlg(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons);
void ShowMessage(const QString &text);
// The error box after a file could not be written: its path and, when known,
// the reason.
void ReportSaveFailure(const QString &path, const QString &error = QString());

// A question about the game under way, such as whether to abandon it. While
// it is open GameQuestionOpen() is true, so that the game can hold what this
// machine controls. A game that ends under it takes it back
// (WithdrawGameQuestion): it closes and answers mrNone, so that an answer is
// only ever taken for a game that still runs.
int AskGameQuestion(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons);
bool GameQuestionOpen();
// Closes the open game question, if any.
void WithdrawGameQuestion();
