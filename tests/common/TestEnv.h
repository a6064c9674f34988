#pragma once
// The private environment every test and benchmark runs in: a fresh folder
// with settings/, data/ and tmp/, the program's variables pointed there, and
// the network kept on loopback (listener, own address and search broadcast
// on 127.0.0.0/8, SUDOKU_LOOPBACK_ONLY=1). Qt Core only.
//
// The variables stay set when the object goes: the folder is gone then, so
// nothing of a later write lands in the real settings. The program reads the
// variables once; call ReloadSudokuEnv() after setting up.

#include <QString>
#include <QTemporaryDir>

class TTestEnv {
public:
    TTestEnv();
    TTestEnv(const TTestEnv &) = delete;
    TTestEnv &operator=(const TTestEnv &) = delete;

    QString Dir() const { return m_dir.path(); }
    QString SettingsDir() const { return Dir() + QStringLiteral("/settings"); }
    QString DataDir() const { return Dir() + QStringLiteral("/data"); }
    QString TempDir() const { return Dir() + QStringLiteral("/tmp"); }

    // The guard: true when SUDOKU_LOOPBACK_ONLY is 1 and the listener, the own
    // address and the broadcast all are set to addresses in 127.0.0.0/8;
    // otherwise false, with the first variable that is not in why.
    static bool OnLoopback(QString *why = nullptr);
    // A dotted quad in 127.0.0.0/8.
    static bool IsLoopbackAddress(const QString &address);

private:
    QTemporaryDir m_dir;
};
