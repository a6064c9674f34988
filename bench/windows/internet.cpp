// Figures of the internet client against the stand-in game server on loopback
// (both in this process, so the CPU figure includes the server's share):
//   internet_entry_result_median  time from an entry to its result on the
//                                 board, median over 200 entries (goal: one
//                                 poll period plus 5 ms, under 55 ms)
//   internet_poll_idle_cpu        CPU share of the program while it polls an
//                                 idle game for 10 s (goal: under 2 % of a core)
#include "common/TestEnv.h"
#include "../../tests/windows/net/LanPeer.h"
#include "../../tests/windows/net/WebStandIn.h"

#include "board/UQuadrivo.h"
#include "net/UWebForm.h"
#include "settings/USystem.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <sys/resource.h>
#include <vector>

namespace {
constexpr int kEntries = 200;
constexpr int kWarmUp = 10;
constexpr int kIdleMs = 10000;

bool waitUntil(const std::function<bool()> &done, int ms)
{
    QElapsedTimer t;
    t.start();
    // Wakes the loop at the deadline even when nothing else happens.
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.start(ms);
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void fail(const char *why)
{
    std::printf("internet_entry_result_median n/a ms\ninternet_poll_idle_cpu n/a %%\n");
    std::fprintf(stderr, "internet bench: %s\n", why);
}
} // namespace

int main(int argc, char **argv)
{
    const TTestEnv env;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TWebStandIn server;
    qputenv("SUDOKU_SERVER_URL", server.BaseUrl().toLatin1());
    ReloadSudokuEnv();
    lanpeer::TProgram program(QStringLiteral("bench"));
    WEBForm->Lobby->SetEnabled(false);
    WEBForm->iNet_User->setText(QStringLiteral("bench"));
    WEBForm->iNet_Passwort->setText(QStringLiteral("pw"));
    WEBForm->BTC_Login_anmeldenClick();
    if (!waitUntil([] { return WEBForm->LoggedIn; }, 5000)) {
        fail("no log-in");
        return 1;
    }
    server.queuePoll("I-1~bench|R|S|");
    WEBForm->BTC_Spiel_anmeldenClick();
    if (!waitUntil([] { return Form1->GameRunning; }, 5000)) {
        fail("no game");
        return 1;
    }
    // Every entry is judged right and comes back on the next poll.
    server.OnRequest = [&server](const QByteArray &script, const QUrlQuery &q, QByteArray &) {
        if (script == "press.php")
            server.queuePoll(("F-" + q.queryItemValue(QStringLiteral("x")) + q.queryItemValue(QStringLiteral("y")) +
                              q.queryItemValue(QStringLiteral("z")) + QStringLiteral("1|"))
                                 .toLatin1());
    };
    std::vector<double> ms;
    for (int i = 0; i < kWarmUp + kEntries; ++i) {
        const int x = i % 9 + 1, y = (i / 9) % 9 + 1, z = i % 8 + 1;
        Form1->Boards[1][x][y].Value = 0;
        QElapsedTimer t;
        t.start();
        WEBForm->SendPress(x, y, z);
        if (!waitUntil([&] { return Form1->Boards[1][x][y].Value == z; }, 5000)) {
            fail("an entry got no result");
            return 1;
        }
        if (i >= kWarmUp)
            ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    const double median = ms[ms.size() / 2];

    server.OnRequest = nullptr;
    QElapsedTimer wall;
    const double cpu0 = cpuSeconds();
    wall.start();
    QEventLoop idle;
    QTimer::singleShot(kIdleMs, &idle, &QEventLoop::quit);
    idle.exec();
    const double share = (cpuSeconds() - cpu0) / (double(wall.nsecsElapsed()) / 1e9) * 100.0;
    WEBForm->Timer->SetEnabled(false);

    std::printf("internet_entry_result_median %.2f ms\n", median);
    std::printf("internet_poll_idle_cpu %.2f %%\n", share);
    return 0;
}
