// Figures of the telegram transport:
//   idle_tick_*            cost of one SendTimerTimer tick with eight empty queues
//   telegrams_per_second   telegrams queued on one peer and acknowledged by another, loopback
//   idle_cpu_share_*       CPU share of the whole running program, idle at the start
//                          screen, over ten seconds (goal: at most 0.5 % of a core)
//   bare_1ms_timer_cpu_share  for comparison: an empty program whose only work is a
//                          1 ms timer that always wakes, over five seconds
// Everything stays on 127.0.0.1 / 127.0.0.2, with private settings.
#include "common/TestEnv.h"
#include "board/UQuadrivo.h"
#include "board/USudokuApp.h"
#include "net/UNETZ.h"
#include "settings/USonstiges.h"
#include "settings/USystem.h"
// The exchange peer of the socket tests.
#include "../../tests/windows/net/ExchangePeer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QUdpSocket>
#include <chrono>
#include <cstdio>
#include <sys/resource.h>

namespace {
double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void idleTick(int port)
{
    TExchangePeer p(QStringLiteral("127.0.0.1"), port);
    // Running, as in the program; the ticks are called here, not by the loop.
    p.Net.SendTimer->start();
    const int n = 2000000;
    auto measure = [&](const char *name) {
        const auto t0 = std::chrono::steady_clock::now();
        for (int i = 0; i < n; ++i)
            p.Net.SendTimerTimer();
        const auto t1 = std::chrono::steady_clock::now();
        std::printf("%s %.2f ns\n", name, std::chrono::duration<double, std::nano>(t1 - t0).count() / n);
    };
    measure("idle_tick_listener_off");
    if (!p.Net.SetListenerActive(true)) {
        std::printf("idle_tick_listener_on failed -\n");
        return;
    }
    measure("idle_tick_listener_on");
}

void throughput(int port)
{
    TExchangePeer one(QStringLiteral("127.0.0.1"), port);
    TExchangePeer two(QStringLiteral("127.0.0.2"), port);
    one.AddPeer(2, QStringLiteral("127.0.0.2"));
    if (!one.Net.SetListenerActive(true) || !two.Net.SetListenerActive(true)) {
        std::printf("telegrams_per_second failed -\n");
        return;
    }
    const int n = 2000;
    int queued = 0;
    one.Net.SendTimer->start();
    two.Net.SendTimer->start();
    QElapsedTimer clock;
    clock.start();
    // Keep the queue topped up below its 500 limit.
    const bool ok = runUntil(
        [&] {
            while (queued < n && one.Net.QueuedCount(2) < 400)
                one.Queue(2, ++queued);
            return queued == n && one.Net.QueuedCount(2) == 0;
        },
        60000);
    const double s = double(clock.nsecsElapsed()) / 1e9;
    if (!ok)
        std::printf("telegrams_per_second failed -\n");
    else
        std::printf("telegrams_per_second %.0f 1/s\n", n / s);
}

void bareTimer()
{
    QTimer t;
    t.setTimerType(Qt::PreciseTimer);
    t.setInterval(1);
    QObject::connect(&t, &QTimer::timeout, [] {});
    t.start();
    const double c0 = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    runFor(5000);
    std::printf("bare_1ms_timer_cpu_share %.2f %%\n",
                (cpuSeconds() - c0) / (double(wall.nsecsElapsed()) / 1e9) * 100.0);
}

void idleProgram(const char *name, bool listening, int port)
{
    if (listening) {
        NETZ->BindAddress = QStringLiteral("127.0.0.1");
        NETZ->Port = port;
        if (!NETZ->SetListenerActive(true)) {
            std::printf("%s failed -\n", name);
            return;
        }
    }
    runFor(500);
    const double c0 = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    runFor(10000);
    const double share = (cpuSeconds() - c0) / (double(wall.nsecsElapsed()) / 1e9) * 100.0;
    std::printf("%s %.2f %%\n", name, share);
    NETZ->SetListenerActive(false);
}
} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const TTestEnv env;

    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ReloadSudokuEnv();

    const int port = freePortOnBoth();
    if (port == 0) {
        std::printf("transport no_free_port -\n");
        return 1;
    }
    idleTick(port);
    throughput(port);
    bareTimer();

    // The whole program, started as the entry starts it, idle at the start screen.
    RegWriteInteger(QStringLiteral("Disclaimer"), 1);
    CreateSudokuWindows();
    Form1->show();
    runUntil([] { return !Form1->SplashTimer->isActive() && NETZ->SendTimer->isActive(); }, 20000);
    idleProgram("idle_cpu_share_listener_off", false, port);
    idleProgram("idle_cpu_share_listener_on", true, port);
    DestroySudokuWindows();
    return 0;
}
