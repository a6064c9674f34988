#pragma once
// Shared test fixture: a private folder for settings, data and the lock file,
// a scripted dialog service, a counter the test advances, and the program's
// windows built as the entry builds them.

#include "common/TestEnv.h"
#include "ui/DialogService.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>

// Every text the program would have shown, with its type and buttons; answers
// come from a queue, then from the default.
class TScriptedDialogs : public TDialogService {
public:
    struct TShown {
        QString Text;
        TMsgDlgType Type;
        TMsgDlgButtons Buttons;
    };
    std::vector<TShown> Shown;
    std::deque<int> Answers;
    int DefaultAnswer = mrOk;
    // What happens while the next withdrawable question is open (the program
    // goes on under a real one); run once, then cleared.
    std::function<void()> WhileAsked;
    // The texts of the questions the program took back before they were answered.
    QStringList Withdrawn;
    QString NextFileName;
    QColor NextColor;
    bool ColorConfirmed = false;

    int MessageDlg(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons) override;
    QString SaveFileName(QWidget *, const QString &, const QString &, const QString &, const QString &) override;
    QString OpenFileName(QWidget *, const QString &, const QString &, const QString &) override;
    QString Directory(QWidget *, const QString &, const QString &) override;
    bool ChooseColor(QWidget *, QColor &color) override;
    bool PrintSetup(QWidget *, QPrinter *) override { return false; }
    int AskWithdrawable(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons) override;
    void Withdraw() override;
    QStringList Texts() const;

private:
    int nextAnswer();
    bool m_open = false;
    bool m_withdrawn = false;
};

class QTreeWidget;
// The colour a list view puts on the screen in the middle of a cell: what it
// paints, not what its items hold.
QColor PaintedCellColour(QTreeWidget *view, int row, int column);

class TTestFixture {
public:
    // Points the settings store, the data folder and the temporary folder at a
    // fresh private folder, keeps the network on loopback and installs the
    // scripted dialogs.
    TTestFixture();
    ~TTestFixture();

    QString Dir() const { return m_env.Dir(); }
    TScriptedDialogs Dialogs;
    // The counter in nanoseconds; tests move it.
    static int64_t Now;

    // Starts the program as its entry does, the terms of use already accepted:
    // every window built and the start-up run through to the start screen.
    void StartProgram();
    // Builds every window as the program does.
    void CreateWindows();
    void DestroyWindows();
    // Runs the start-up timer's handler until its Tag reaches the step (inclusive)
    // or the timer stops.
    void RunStartupTo(int step);
    // Deletes the settings file: the next reads find an empty store.
    void ClearSettings();

private:
    TTestEnv m_env;
    bool m_windows = false;
};
