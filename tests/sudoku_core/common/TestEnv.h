#pragma once
// The private environment every test and benchmark runs in: a fresh folder
// with settings/, data/ and tmp/, the program's variables pointed there, and
// the network kept on loopback (listener, own address and search broadcast
// on 127.0.0.0/8, SUDOKU_LOOPBACK_ONLY=1). Qt Core only.
//
// The variables stay set when the object goes: the folder is gone then, so
// nothing of a later write lands in the real settings. The program reads the
// variables once; call ReloadSudokuEnv() after setting up.

#include <QElapsedTimer>
#include <QEventLoop>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>

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

// A UDP port free on 127.0.0.1 right now (0 when none could be had).
int FreeLoopbackPort();

// Runs the event loop (so the program's 1 ms timers really tick) until the
// condition holds or the time is up; returns the condition.
template <typename F> bool runUntil(F done, int timeoutMs)
{
    QEventLoop loop;
    QTimer check;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done() || clock.elapsed() > timeoutMs)
            loop.quit();
    });
    check.start(2);
    loop.exec();
    return done();
}
