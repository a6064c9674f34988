// What the program costs when nobody does anything, and how long it takes to
// come up:
//   launch_ratio            launch to the start screen (a process of its own,
//                           median of a few) over a bare Qt program that
//                           shows a window and walks the same 153 ticks of
//                           10 ms; both measured in this run (goal: <= 1.05)
//   idle_start_cpu          CPU of the whole program over 10 s on the start
//                           screen, in percent of one core (goal: <= 0.5)
//   idle_lan_host_cpu       the same in a running LAN game as its host, with
//                           a second player on loopback that acknowledges
//                           (goal: <= 0.5)
//   idle_lan_client_cpu     the same as the second player of a running LAN
//                           game, its host a stand-in on loopback that starts
//                           the game and acknowledges (goal: <= 0.5)
#include "common/ProgramStart.h"
#include "board/UQuadrivo.h"
#include "board/UQuadrivo_Builtin.h"
#include "board/USudokuApp.h"
#include "board/Usounds.h"
#include "common/TestEnv.h"
#include "net/UNETZ.h"
#include "screens/UStart.h"
#include "settings/USonstiges.h"
#include "settings/USystem.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QProcess>
#include <QTimer>
#include <QUdpSocket>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <sys/resource.h>
#include <vector>

namespace {
constexpr int kLaunches = 3;
constexpr int kIdleMs = 10000;
constexpr int kBareTicks = 153;

void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Child: a bare window walking the ticks the splash walks.
int runBare(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget w;
    w.resize(600, 220);
    w.show();
    int ticks = 0;
    QTimer t;
    t.setTimerType(Qt::PreciseTimer);
    QObject::connect(&t, &QTimer::timeout, [&] {
        if (++ticks >= kBareTicks)
            QCoreApplication::quit();
    });
    t.start(10);
    return QApplication::exec();
}

// Child: the program as its entry starts it, ended when the start screen shows.
int runProgram(int argc, char *argv[])
{
    const TTestEnv env;
    qInstallMessageHandler(quiet);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Sudoku"));
    QApplication::setQuitOnLastWindowClosed(false);
    ReloadSudokuEnv();
    RegWriteInteger(QStringLiteral("Disclaimer"), 1);
    RegFlush();
    RegForget();
    SetSoundPlayer([](const QString &) {});
    CreateSudokuWindows();
    Form1->show();
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [] {
        if (FormStart && FormStart->isVisible())
            QCoreApplication::quit();
    });
    watch.start(1);
    const int rc = QApplication::exec();
    DestroySudokuWindows();
    return rc;
}

double launchMs(const QString &self, const char *mode)
{
    std::vector<double> ms;
    for (int i = 0; i < kLaunches; ++i) {
        QProcess p;
        QElapsedTimer t;
        t.start();
        p.start(self, {QString::fromLatin1(mode)});
        p.waitForFinished(60000);
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

// Runs the event loop for the idle time; returns the CPU share of one core.
double idleCpuPercent()
{
    const double c0 = cpuSeconds();
    QElapsedTimer t;
    t.start();
    QTimer::singleShot(kIdleMs, [] { QCoreApplication::quit(); });
    QApplication::exec();
    return 100.0 * (cpuSeconds() - c0) / (double(t.nsecsElapsed()) / 1e9);
}

// A second player on 127.0.0.2 that acknowledges what it gets.
class TPeer {
public:
    explicit TPeer(int port) : m_port(port)
    {
        m_socket.bind(QHostAddress(QStringLiteral("127.0.0.2")), quint16(port));
        QObject::connect(&m_socket, &QUdpSocket::readyRead, [this] {
            while (m_socket.hasPendingDatagrams()) {
                const QNetworkDatagram d = m_socket.receiveDatagram();
                TTelegram t;
                if (DecodeTelegram(d.data(), t) == TWireStatus::Ok && t.ACK == 1)
                    m_socket.writeDatagram(EncodeAcknowledgement(t), QHostAddress(QStringLiteral("127.0.0.1")),
                                           quint16(m_port));
            }
        });
    }

private:
    int m_port;
    QUdpSocket m_socket;
};

// The host of a game on 127.0.0.2 that takes the program in as its second
// player: the log-in, the table, the player number and the start phases, each
// from the host's queue for slot 2, and acknowledges what the program sends.
class THostStandIn {
public:
    explicit THostStandIn(int port) : m_port(port)
    {
        m_socket.bind(QHostAddress(QStringLiteral("127.0.0.2")), quint16(port));
        QObject::connect(&m_socket, &QUdpSocket::readyRead, [this] {
            while (m_socket.hasPendingDatagrams()) {
                const QNetworkDatagram d = m_socket.receiveDatagram();
                TTelegram t;
                if (DecodeTelegram(d.data(), t) != TWireStatus::Ok || t.ACK != 1)
                    continue;
                m_socket.writeDatagram(EncodeAcknowledgement(t), QHostAddress(QStringLiteral("127.0.0.1")),
                                       quint16(m_port));
                if (t.Aktion == akReady)
                    ++Ready;
            }
        });
    }
    void Send(TTelegram t)
    {
        t.ACK = 1;
        t.Loop = 2;
        t.TAN = m_tan++;
        t.RetryCount = 100;
        m_socket.writeDatagram(EncodeTelegram(t), QHostAddress(QStringLiteral("127.0.0.1")), quint16(m_port));
    }
    int Ready = 0;

private:
    int m_port;
    int m_tan = 0;
    QUdpSocket m_socket;
};

bool waitFor(const std::function<bool()> &done)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

void joinLanGame(THostStandIn &host)
{
    Form1->ResetPlayers();
    NETZ->MyPlayerNo = 0;
    Form1->SinglePlayerGame = false;
    if (FormStart) {
        FormStart->GameKind = 1;
        FormStart->hide();
    }
    NETZ->SetListenerActive(true);
    NETZ->SendLogin(QStringLiteral("127.0.0.2"));
    auto entry = [&](int slot, const char *text) {
        TTelegram t;
        t.Aktion = akPlayerEntry;
        t.z = slot;
        t.Data = 1;
        t.SetText(QString::fromLatin1(text));
        host.Send(t);
    };
    auto phase = [&](int a, int chunk = 0, const QString &text = QString(), int b = 0) {
        TTelegram t;
        t.Aktion = akStartPhase;
        t.a = a;
        t.y = chunk;
        t.b = b;
        if (!text.isEmpty()) {
            t.Data = 1;
            t.SetText(text);
        }
        host.Send(t);
    };
    entry(1, "Wirt~127.0.0.2");
    entry(2, "Gast~127.0.0.1");
    TTelegram id;
    id.Aktion = akPlayerId;
    id.Gid = 2;
    host.Send(id);
    if (!waitFor([] { return NETZ->MyPlayerNo == 2; }))
        return;
    const QString puzzle = QString::fromLatin1(kBuiltinPuzzles[1][0]);
    phase(6);
    for (int chunk = 0; chunk < 3; ++chunk)
        phase(5, chunk, puzzle.mid(27 * chunk, 27));
    phase(4);
    if (!waitFor([&host] { return host.Ready > 0; }))
        return;
    for (int a : {3, 2, 1})
        phase(a);
    phase(0, 0, QString(), 3);
    waitFor([] { return Form1->GameRunning && NETZ->QueuedCount(1) == 0; });
}

void hostLanGame()
{
    Form1->ResetPlayers();
    for (int p = 1; p <= 2; ++p) {
        TPlayerRecord &r = Form1->Players[p];
        r.Name = QStringLiteral("Spieler%1").arg(p);
        r.Address = QStringLiteral("127.0.0.%1").arg(p);
        r.PlayerNo = p;
        r.Active = true;
    }
    NETZ->MyPlayerNo = 1;
    Form1->SinglePlayerGame = false;
    if (FormStart)
        FormStart->hide();
    Form1->LoadPuzzleString(QString::fromLatin1(kBuiltinPuzzles[1][0]));
    NETZ->SetListenerActive(true);
    NETZ->SendSymbols();
    NETZ->StartNetworkGame();
    NETZ->Tel = TTelegram();
    NETZ->Tel.Aktion = akReady;
    NETZ->Tel.Gid = 2;
    NETZ->OnReady();
    QElapsedTimer t;
    t.start();
    while (!Form1->GameRunning && t.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}
} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1 && std::strcmp(argv[1], "bare") == 0)
        return runBare(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "program") == 0)
        return runProgram(argc, argv);

    const QString self = QString::fromLocal8Bit(argv[0]);
    const double bare = launchMs(self, "bare");
    const double program = launchMs(self, "program");
    std::printf("launch_bare_ms %.1f ms\n", bare);
    std::printf("launch_program_ms %.1f ms\n", program);
    std::printf("launch_ratio %.3f ratio\n", program / bare);

    const TTestEnv env;
    qInstallMessageHandler(quiet);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ReloadSudokuEnv();
    SetSoundPlayer([](const QString &) {});
    CreateWindowsTermsAccepted();
    NETZ->Port = FreeLoopbackPort();
    Form1->show();
    QElapsedTimer t;
    t.start();
    while (!(FormStart && FormStart->isVisible()) && t.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    std::printf("idle_start_cpu %.2f %%core\n", idleCpuPercent());

    {
        TPeer peer(NETZ->Port);
        hostLanGame();
        std::printf("idle_lan_host_running %d flag\n", Form1->GameRunning ? 1 : 0);
        std::printf("idle_lan_host_cpu %.2f %%core\n", idleCpuPercent());
        NETZ->SetListenerActive(false);
        Form1->GameRunning = false;
    }
    {
        THostStandIn host(NETZ->Port);
        joinLanGame(host);
        std::printf("idle_lan_client_running %d flag\n", Form1->GameRunning && NETZ->MyPlayerNo == 2 ? 1 : 0);
        std::printf("idle_lan_client_cpu %.2f %%core\n", idleCpuPercent());
        NETZ->SetListenerActive(false);
    }
    DestroySudokuWindows();
    return 0;
}
