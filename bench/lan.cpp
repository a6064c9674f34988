// Figures of a LAN game on a private bridge (two whole programs in network
// namespaces, production addresses and port):
//   lan_entry_result_median  time from a client's entry to its result on the
//   lan_entry_result_p99     client's board, over 500 entries (goal: median
//                            under 5 ms)
// The host opens a game with own boards and evaluation at the end, so every
// entry is answered with its cell result; the client enters one cell again
// and again, each entry after the result of the one before.
// Needs root for the namespaces; elsewhere the figures read "n/a".
#include "../tests/net/LanPeer.h"

#include "net/UNETZ.h"
#include "screens/UGameOptionen.h"
#include "screens/UStart.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {
constexpr int kEntries = 500;
constexpr int kWarmUp = 20;
constexpr int kLimitMs = 50000;

void openMultiPlayer()
{
    FormStart->Tab_EinzelspielerClick(FormStart->Tab_Mehrspieler);
    FormStart->BTC_LANClick();
}

bool queuesEmpty()
{
    for (int p = 1; p <= 8; ++p)
        if (NETZ->QueuedCount(p) > 0)
            return false;
    return true;
}

int runHost()
{
    lanpeer::TProgram program(QStringLiteral("host"));
    openMultiPlayer();
    FormStart->BTC_suchenClick(FormStart->BTC_eroeffnen);
    FormStart->BTC_weiterClick();
    QElapsedTimer clock;
    clock.start();
    int phase = 0;
    int rc = 2;
    QTimer step;
    QObject::connect(&step, &QTimer::timeout, [&] {
        if (clock.elapsed() > kLimitMs) {
            QCoreApplication::quit();
        } else if (phase == 0 && Form1->CountOnlinePlayers() == 2 && NETZ->MyPlayerNo == 1 && queuesEmpty()) {
            FormGO->SetOwnBoard(1);
            FormGO->SetEvaluation(0);
            FormGO->BTC_StartenClick();
            phase = 1;
        } else if (phase == 1 && Form1->GameRunning) {
            phase = 2;
        } else if (phase == 2 && !Form1->Players[2].Active) {
            // The client is done and has logged off.
            rc = 0;
            QCoreApplication::quit();
        }
    });
    step.start(20);
    QApplication::exec();
    return rc;
}

int runClient()
{
    lanpeer::TProgram program(QStringLiteral("client"));
    openMultiPlayer();
    FormStart->BTC_suchenClick(FormStart->BTC_suchen);
    FormStart->BTC_weiterClick();
    QElapsedTimer clock;
    clock.start();
    QElapsedTimer entry;
    std::vector<double> ms;
    int cx = 0, cy = 0, sent = 0, rc = 2;
    bool waiting = false;
    auto enter = [&] {
        ++sent;
        waiting = true;
        entry.start();
        NETZ->EnterNumber(cx, cy, 1 + sent % 9);
    };
    QObject::connect(NETZ, &TNETZ::TelegramDispatched, [&](const TTelegram &tel, const QString &) {
        if (!waiting || tel.Aktion != akCellResult || tel.x != cx || tel.y != cy || tel.Gid != NETZ->MyPlayerNo)
            return;
        waiting = false;
        if (sent > kWarmUp)
            ms.push_back(double(entry.nsecsElapsed()) / 1e6);
        if (int(ms.size()) < kEntries) {
            // The next entry once this result is handled.
            QTimer::singleShot(0, [&] { enter(); });
            return;
        }
        std::sort(ms.begin(), ms.end());
        std::printf("RESULT %.3f %.3f\n", ms[ms.size() / 2], ms[size_t(double(ms.size()) * 0.99)]);
        std::fflush(stdout);
        for (int i = 0; i < 3; ++i)
            NETZ->SendLogoff();
        rc = 0;
        QTimer::singleShot(300, [] { QCoreApplication::quit(); });
    });
    QTimer step;
    QObject::connect(&step, &QTimer::timeout, [&] {
        if (clock.elapsed() > kLimitMs) {
            QCoreApplication::quit();
            return;
        }
        if (NETZ->MyPlayerNo == 0 && FormStart->isVisible() && !FormStart->Warte->isActive())
            FormStart->BTC_weiterClick();
        if (cx == 0 && Form1->GameRunning) {
            for (int y = 1; y <= 9 && cx == 0; ++y)
                for (int x = 1; x <= 9 && cx == 0; ++x)
                    if (Form1->Boards[0][x][y].State == 0) {
                        cx = x;
                        cy = y;
                    }
            enter();
        }
    });
    step.start(20);
    QApplication::exec();
    return rc;
}

int orchestrate()
{
    const auto runs = lanpeer::runPeers(
        2,
        [](int i) {
            return QStringList{QStringLiteral("--peer"), i == 1 ? "host" : "client"};
        },
        0, kLimitMs + 5000);
    for (const auto &r : runs)
        for (const QString &line : r.Output.split(QLatin1Char('\n')))
            if (line.startsWith(QLatin1String("RESULT "))) {
                std::printf("%s\n", qPrintable(line));
                return 0;
            }
    for (const auto &r : runs)
        std::fprintf(stderr, "peer rc %d:\n%s\n", r.ExitCode, qPrintable(r.Output));
    return 1;
}

void printNotAvailable(const QString &why)
{
    std::fprintf(stderr, "bench_lan: %s\n", qPrintable(why));
    std::printf("lan_entry_result_median n/a ms\nlan_entry_result_p99 n/a ms\n");
}
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 3 && args.at(1) == QLatin1String("--peer")) {
        if (!lanpeer::insideOwnNamespace())
            return 3;
        return args.at(2) == QLatin1String("host") ? runHost() : runClient();
    }
    if (args.size() >= 2 && args.at(1) == QLatin1String("--orchestrate"))
        return orchestrate();

    QString why;
    if (!lanpeer::canRunBridge(why)) {
        printNotAvailable(why);
        return 0;
    }
    const QString harness =
        QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/../tests/net/netns_harness.sh");
    QProcess run;
    run.setProcessChannelMode(QProcess::SeparateChannels);
    run.start(QStringLiteral("bash"),
              {harness, QStringLiteral("2"), QCoreApplication::applicationFilePath(), QStringLiteral("--orchestrate")});
    if (!run.waitForFinished(90000)) {
        run.terminate();
        run.waitForFinished(5000);
    }
    const QString out = QString::fromLocal8Bit(run.readAllStandardOutput());
    const int at = out.indexOf(QLatin1String("RESULT "));
    if (run.exitCode() != 0 || at < 0) {
        std::fprintf(stderr, "%s%s", qPrintable(out), run.readAllStandardError().constData());
        printNotAvailable(QStringLiteral("the bridge run failed"));
        return 1;
    }
    const QStringList v = out.mid(at + 7).section(QLatin1Char('\n'), 0, 0).split(QLatin1Char(' '));
    std::printf("lan_entry_result_median %s ms\nlan_entry_result_p99 %s ms\n", qPrintable(v.value(0)),
                qPrintable(v.value(1)));
    return 0;
}
