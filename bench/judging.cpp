// The host's cost to judge one entry, with every result telegram it sends:
// in single play on the local path (the result handlers run at once), and
// as the host of four players on loopback, where the results are queued,
// sent by the send timer and acknowledged before the entry counts as done.
#include "core/UQuadrivo.h"
#include "core/UQuadrivo_Builtin.h"
#include "core/USonstiges.h"
#include "core/USudokuApp.h"
#include "core/USystem.h"
#include "core/Usounds.h"
#include "net/UNETZ.h"
#include "screens/UGameOptionen.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <algorithm>
#include <cstdio>
#include <memory>
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

// Sends what the judging queued, head by head as the send timer does, each
// acknowledged by its peer at once; returns the datagrams sent.
int drainQueues()
{
    int sent = 0;
    for (;;) {
        bool pending = false;
        for (int p = 1; p <= 8; ++p)
            pending = pending || NETZ->QueuedCount(p) > 0;
        if (!pending)
            return sent;
        NETZ->SendTimerTimer();
        for (int p = 1; p <= 8; ++p) {
            const TPlayerRecord &r = Form1->Players[p];
            if (r.QueueRead == r.QueueWrite)
                continue;
            ++sent;
            NETZ->UDPEmpfUDPRead(EncodeAcknowledgement(r.SendQueue[r.QueueRead]), r.Address);
        }
    }
}

// How far an entry is followed: judged on the local path, judged and its
// results queued, or its results also sent and acknowledged.
enum class TReach { Local, Queued, Sent };

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
    }
    QElapsedTimer t;
    int cells = 0;
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            if (Form1->Boards[0][x][y].State != 0 || cells >= 70)
                continue;
            ++cells;
            const int z = solution(puzzle, x, y);
            if (cells % 4 == 0) {
                t.start();
                entry(judged, x, y, z % 9 + 1);
                f.Datagrams += reach == TReach::Sent ? drainQueues() : 0;
                f.Wrong.push_back(t.nsecsElapsed());
                purge(reach);
                ++f.Entries;
            }
            t.start();
            entry(judged, x, y, z);
            f.Datagrams += reach == TReach::Sent ? drainQueues() : 0;
            f.Right.push_back(t.nsecsElapsed());
            purge(reach);
            ++f.Entries;
        }
    if (network)
        NETZ->SetListenerActive(false);
}

int freePort()
{
    QUdpSocket s;
    s.bind(QHostAddress(QStringLiteral("127.0.0.1")), 0);
    return s.localPort();
}
} // namespace

// The offscreen platform warns about every raise() of the overlay.
void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

int main(int argc, char *argv[])
{
    qInstallMessageHandler(quiet);
    QTemporaryDir dir;
    qputenv("SUDOKU_SETTINGS_DIR", QFile::encodeName(dir.path()));
    qputenv("SUDOKU_DATA_DIR", QFile::encodeName(dir.path()));
    qputenv("TMPDIR", QFile::encodeName(dir.path()));
    qputenv("SUDOKU_SELF_IP", "127.0.0.1");
    qputenv("SUDOKU_BIND_ADDRESS", "127.0.0.1");
    qputenv("SUDOKU_BROADCAST_ADDRESS", "127.255.255.255");
    qputenv("SUDOKU_LOOPBACK_ONLY", "1");
    QApplication app(argc, argv);
    ReloadSudokuEnv();
    RegWriteInteger(QStringLiteral("Disclaimer"), 1);
    CreateSudokuWindows();
    while (Form1->SplashTimer->isActive())
        Form1->SplashTimerTimer();
    for (QTimer *timer : {static_cast<QTimer *>(NETZ->SendTimer), static_cast<QTimer *>(Form1->Blinken),
                          static_cast<QTimer *>(Form1->MsgTimer), static_cast<QTimer *>(Form1->WartezeitTimer)})
        timer->stop();
    SetSoundPlayer([](const QString &) {});
    NETZ->Port = freePort();
    Form1->CountsPerTenth = PerfFrequency() / 10;
    for (TLabel *caption : {FormGO->BTC64, FormGO->BTC110, FormGO->BTC112})
        caption->setEnabled(true);
    FormGO->SetRating(1);
    FormGO->SetEvaluation(1);
    FormGO->SetOwnBoard(1);

    // The other three players listen on their addresses (nobody reads: the
    // datagrams only have to be delivered, as on a network).
    std::vector<std::unique_ptr<QUdpSocket>> peers;
    for (int p = 2; p <= 4; ++p) {
        peers.push_back(std::make_unique<QUdpSocket>());
        peers.back()->bind(QHostAddress(QStringLiteral("127.0.0.%1").arg(p)), quint16(NETZ->Port));
    }

    const QString puzzle = widePuzzle();
    TFigures single;
    TFigures queued;
    TFigures host;
    for (int round = 0; round < kRounds; ++round) {
        playRound(puzzle, 1, 1, TReach::Local, single);
        playRound(puzzle, 4, 2, TReach::Queued, queued);
        playRound(puzzle, 4, 2, TReach::Sent, host);
        for (auto &peer : peers)
            while (peer->hasPendingDatagrams())
                peer->receiveDatagram();
    }
    print("judging_single_right_median", median(single.Right), "us");
    print("judging_single_wrong_median", median(single.Wrong), "us");
    print("judging_single_right_p99", percentile(single.Right, 0.99), "us");
    print("judging_host4_queued_right_median", median(queued.Right), "us");
    print("judging_host4_queued_wrong_median", median(queued.Wrong), "us");
    print("judging_host4_sent_right_median", median(host.Right), "us");
    print("judging_host4_sent_wrong_median", median(host.Wrong), "us");
    print("judging_host4_sent_right_p99", percentile(host.Right, 0.99), "us");
    print("judging_host4_datagrams_per_entry", double(host.Datagrams) / double(std::max(host.Entries, 1)), "datagrams");
    DestroySudokuWindows();
    return 0;
}
