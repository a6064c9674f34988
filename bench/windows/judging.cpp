// The host's cost to judge one entry, with every result telegram it sends:
// in single play on the local path (the result handlers run at once), and
// as the host of 2, 4 and 8 players on loopback, where the results are
// queued, sent, and acknowledged by the other players' sockets (served on a
// thread of their own, as other machines answer beside the host); the
// acknowledgements come in through the host's own socket and receive path
// before the entry counts as done.
//   judging_hostN_*          the player's path: the entry leaves the judged
//                            player's socket and arrives on the host's, the
//                            send timer runs at its own pace as in the program
//   judging_hostN_inplace_*  the entry handed to the judging directly and the
//                            first send tick called at once: the host's own
//                            work without the wait for the timer
#include "common/ProgramStart.h"
#include "board/UQuadrivo.h"
#include "board/UQuadrivo_Builtin.h"
#include "board/USudokuApp.h"
#include "board/Usounds.h"
#include "common/TestEnv.h"
#include "net/UNETZ.h"
#include "screens/UGameOptionen.h"
#include "settings/USonstiges.h"
#include "settings/USystem.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
constexpr int kRounds = 40;

void print(const char *name, double value, const char *unit)
{
    std::printf("%s %.2f %s\n", name, value, unit);
}

double median(std::vector<qint64> ns)
{
    std::sort(ns.begin(), ns.end());
    return ns.empty() ? 0.0 : double(ns[ns.size() / 2]) / 1e3;
}

double percentile(std::vector<qint64> ns, double q)
{
    std::sort(ns.begin(), ns.end());
    return ns.empty() ? 0.0 : double(ns[size_t(double(ns.size() - 1) * q)]) / 1e3;
}

// The solution of a built-in puzzle with every cell but the first ten to find.
QString widePuzzle()
{
    QString s = QString::fromLatin1(kBuiltinPuzzles[1][0]).toUpper();
    for (int i = 10; i < 81; ++i)
        s[i] = s[i].toLower();
    return s;
}

int solution(const QString &puzzle, int x, int y)
{
    return puzzle.at((y - 1) * 9 + x - 1).toUpper().unicode() - 'A' + 1;
}

// A game of `players` players hosted here, started on the local path.
void startGame(const QString &puzzle, int players)
{
    Form1->ResetPlayers();
    for (int p = 1; p <= players; ++p) {
        TPlayerRecord &r = Form1->Players[p];
        r.Name = QStringLiteral("Spieler%1").arg(p);
        r.Address = QStringLiteral("127.0.0.%1").arg(p);
        r.PlayerNo = p;
        r.Active = true;
    }
    NETZ->MyPlayerNo = 1;
    Form1->SinglePlayerGame = players == 1;
    Form1->LoadPuzzleString(puzzle);
    Form1->SymbolSet = QStringLiteral("123456789");
    NETZ->SendSymbols();
    NETZ->StartNetworkGame();
    for (int p = 2; p <= players; ++p) {
        NETZ->Tel = TTelegram();
        NETZ->Tel.Aktion = akReady;
        NETZ->Tel.Gid = p;
        NETZ->OnReady();
    }
    NETZ->StartTimer->stop();
    while (!Form1->GameRunning && NETZ->StartTimer->Tag > 0)
        NETZ->StartTimerTimer();
}

void entry(int p, int x, int y, int z)
{
    NETZ->Tel = TTelegram();
    NETZ->Tel.Aktion = akEntry;
    NETZ->Tel.x = x;
    NETZ->Tel.y = y;
    NETZ->Tel.z = z;
    NETZ->Tel.Gid = p;
    NETZ->EvaluateEntry();
}

// The other players: a socket on each player's address that acknowledges
// every telegram it gets, as the player's program does first thing, and
// sends the judged player's entries to the host as its program does. The
// players are other machines, so their sockets are served on a thread of
// their own: their receiving and answering runs beside the host's work, as
// it does on the wire, instead of taking turns with it on the host's thread.
class TPeers {
public:
    std::atomic<int> Received{0};

    ~TPeers() { Close(); }

    void Open(int players, int port)
    {
        m_host.sin_family = AF_INET;
        m_host.sin_port = htons(quint16(port));
        m_host.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        for (int p = 2; p <= players; ++p) {
            const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
            sockaddr_in own{};
            own.sin_family = AF_INET;
            own.sin_port = htons(quint16(port));
            own.sin_addr.s_addr = htonl(INADDR_LOOPBACK + quint32(p - 1));
            if (fd < 0 || bind(fd, reinterpret_cast<const sockaddr *>(&own), sizeof own) != 0) {
                std::fprintf(stderr, "judging: cannot bind player %d\n", p);
                std::exit(1);
            }
            m_fds.push_back(fd);
        }
        if (pipe2(m_stop, O_CLOEXEC) != 0) {
            std::fprintf(stderr, "judging: no pipe\n");
            std::exit(1);
        }
        m_thread = std::thread([this] { Serve(); });
    }

    void Close()
    {
        if (!m_thread.joinable())
            return;
        const char byte = 0;
        (void)!write(m_stop[1], &byte, 1);
        m_thread.join();
        for (int fd : m_fds)
            close(fd);
        m_fds.clear();
        close(m_stop[0]);
        close(m_stop[1]);
    }

    // Player p's entry, reliable and numbered on its queue to the host. A
    // datagram send is one system call, safe beside the serving thread.
    void Enter(int p, int x, int y, int z)
    {
        TTelegram t;
        t.Aktion = akEntry;
        t.x = x;
        t.y = y;
        t.z = z;
        t.Gid = p;
        t.ACK = 1;
        t.Loop = 1;
        t.TAN = m_tan;
        m_tan = (m_tan + 1) % kTelegramRingSize;
        SendToHost(m_fds[size_t(p - 2)], EncodeTelegram(t));
    }

private:
    sockaddr_in m_host{};
    int m_tan = 0;
    std::vector<int> m_fds;
    int m_stop[2] = {-1, -1};
    std::thread m_thread;

    void SendToHost(int fd, const QByteArray &bytes)
    {
        (void)sendto(fd, bytes.constData(), size_t(bytes.size()), 0, reinterpret_cast<const sockaddr *>(&m_host),
                     sizeof m_host);
    }

    void Serve()
    {
        std::vector<pollfd> watched;
        for (int fd : m_fds)
            watched.push_back({fd, POLLIN, 0});
        watched.push_back({m_stop[0], POLLIN, 0});
        char buf[2048];
        for (;;) {
            if (poll(watched.data(), nfds_t(watched.size()), -1) < 0)
                continue;
            if (watched.back().revents != 0)
                return;
            for (size_t i = 0; i + 1 < watched.size(); ++i) {
                if ((watched[i].revents & POLLIN) == 0)
                    continue;
                for (;;) {
                    const ssize_t n = recv(watched[i].fd, buf, sizeof buf, MSG_DONTWAIT);
                    if (n < 0)
                        break;
                    TTelegram t;
                    // The host's acknowledgements of the entries need no answer.
                    if (DecodeTelegram(QByteArray(buf, int(n)), t) != TWireStatus::Ok || t.ACK != 1)
                        continue;
                    ++Received;
                    SendToHost(watched[i].fd, EncodeAcknowledgement(t));
                }
            }
        }
    }
};

TPeers *g_peers = nullptr;

bool queuesEmpty()
{
    for (int p = 1; p <= 8; ++p)
        if (NETZ->QueuedCount(p) > 0)
            return false;
    return true;
}

// How far an entry is followed: judged on the local path; judged and its
// results queued; handed to the judging, the first send tick called in
// place and the results sent and acknowledged; or sent from the player's
// socket, received by the host and its results sent by the running send
// timer and acknowledged.
enum class TReach { Local, Queued, InPlace, Socket };

bool sends(TReach reach)
{
    return reach == TReach::InPlace || reach == TReach::Socket;
}

// Runs the event loop until the entry is judged and every queued result is
// acknowledged; the send timer (or the tick called here) starts the first
// telegram for each peer, the acknowledgements the rest. Returns the
// datagrams the peers received.
int enterAndDrain(TReach reach, int p, int x, int y, int z)
{
    const int before = g_peers->Received;
    bool judged = false;
    QElapsedTimer guard;
    guard.start();
    if (reach == TReach::Socket) {
        const QMetaObject::Connection seen =
            QObject::connect(NETZ, &TNETZ::TelegramDispatched, [&judged](const TTelegram &tel, const QString &) {
                judged = judged || tel.Aktion == akEntry;
            });
        g_peers->Enter(p, x, y, z);
        while (!judged && guard.elapsed() < 2000)
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        QObject::disconnect(seen);
    } else {
        entry(p, x, y, z);
        NETZ->SendTimerTimer();
    }
    while (!queuesEmpty() && guard.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    return g_peers->Received - before;
}

// Queued results that are not followed further are dropped, untimed.
void purge(TReach reach)
{
    if (reach == TReach::Queued)
        for (int p = 1; p <= 8; ++p)
            NETZ->PurgeQueue(p);
}

struct TFigures {
    std::vector<qint64> Right;
    std::vector<qint64> Wrong;
    int Datagrams = 0;
    int Entries = 0;
};

// One round: every open cell but the last judged once, a wrong entry before
// every fourth right one.
void playRound(const QString &puzzle, int players, int judged, TReach reach, TFigures &f)
{
    const bool network = reach != TReach::Local;
    startGame(puzzle, players);
    if (network) {
        NETZ->SetListenerActive(true);
        for (int p = 1; p <= 8; ++p)
            NETZ->PurgeQueue(p);
        // Running as the program starts it; it finds the queues empty and
        // settles at its idle pace until a telegram wakes it.
        if (reach == TReach::Socket)
            NETZ->SendTimer->SetEnabled(true);
    }
    QElapsedTimer t;
    int cells = 0;
    auto judge = [&](int x, int y, int z, std::vector<qint64> &times) {
        t.start();
        if (sends(reach))
            f.Datagrams += enterAndDrain(reach, judged, x, y, z);
        else
            entry(judged, x, y, z);
        times.push_back(t.nsecsElapsed());
        purge(reach);
        ++f.Entries;
    };
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            if (Form1->Boards[0][x][y].State != 0 || cells >= 70)
                continue;
            ++cells;
            const int z = solution(puzzle, x, y);
            if (cells % 4 == 0)
                judge(x, y, z % 9 + 1, f.Wrong);
            judge(x, y, z, f.Right);
        }
    if (network) {
        NETZ->SendTimer->stop();
        NETZ->SetListenerActive(false);
    }
}

} // namespace

// The offscreen platform warns about every raise() of the overlay.
void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

int main(int argc, char *argv[])
{
    qInstallMessageHandler(quiet);
    const TTestEnv env;
    QApplication app(argc, argv);
    ReloadSudokuEnv();
    CreateWindowsTermsAccepted();
    RunStartup();
    for (QTimer *timer : {static_cast<QTimer *>(NETZ->SendTimer), static_cast<QTimer *>(Form1->Blinken),
                          static_cast<QTimer *>(Form1->MsgTimer), static_cast<QTimer *>(Form1->WartezeitTimer)})
        timer->stop();
    SetSoundPlayer([](const QString &) {});
    NETZ->Port = FreeLoopbackPort();
    Form1->CountsPerTenth = PerfFrequency() / 10;
    for (TLabel *caption : {FormGO->BTC64, FormGO->BTC110, FormGO->BTC112})
        caption->setEnabled(true);
    FormGO->SetRating(1);
    FormGO->SetEvaluation(1);
    FormGO->SetOwnBoard(1);

    const QString puzzle = widePuzzle();
    TFigures single;
    TFigures queued;
    for (int round = 0; round < kRounds; ++round) {
        playRound(puzzle, 1, 1, TReach::Local, single);
        playRound(puzzle, 4, 2, TReach::Queued, queued);
    }
    print("judging_single_right_median", median(single.Right), "us");
    print("judging_single_wrong_median", median(single.Wrong), "us");
    print("judging_single_right_p99", percentile(single.Right, 0.99), "us");
    print("judging_host4_queued_right_median", median(queued.Right), "us");
    print("judging_host4_queued_wrong_median", median(queued.Wrong), "us");

    for (const TReach reach : {TReach::Socket, TReach::InPlace})
        for (int players : {2, 4, 8}) {
            TPeers peers;
            g_peers = &peers;
            peers.Open(players, NETZ->Port);
            TFigures host;
            for (int round = 0; round < kRounds / 4; ++round)
                playRound(puzzle, players, 2, reach, host);
            peers.Close();
            g_peers = nullptr;
            auto name = [players, reach](const char *what) {
                return QByteArray("judging_host") + QByteArray::number(players) +
                       (reach == TReach::InPlace ? "_inplace" : "") + what;
            };
            print(name("_right_median").constData(), median(host.Right), "us");
            print(name("_wrong_median").constData(), median(host.Wrong), "us");
            print(name("_right_p99").constData(), percentile(host.Right, 0.99), "us");
            print(name("_datagrams_per_entry").constData(), double(host.Datagrams) / double(std::max(host.Entries, 1)),
                  "datagrams");
        }
    DestroySudokuWindows();
    return 0;
}
