#pragma once
// What the start-sequence and judging tests share: a puzzle with a chosen
// number of cells to find, the host of a game in its player table, the game
// options set as the option window holds them, a single game started through
// StartGame on the local path, and the telegrams every handler was given.

#include "board/ULog.h"
#include "board/UMeldung.h"
#include "board/UQuadrivo.h"
#include "board/UQuadrivo_Builtin.h"
#include "board/Usounds.h"
#include "common/Fixture.h"
#include "common/LoopbackPeer.h"
#include "competitions/UChallenge.h"
#include "competitions/Ughost.h"
#include "net/UNETZ.h"
#include "screens/UGameOptionen.h"
#include "screens/UOptionen.h"
#include "screens/USpielEnde.h"
#include "screens/UStart.h"
#include "screens/UVorgabe.h"
#include "settings/USonstiges.h"
#include "settings/USystem.h"
#include "solver/UBingo.h"

#include <QFileInfo>
#include <QObject>
#include <QString>
#include <QtTest>
#include <memory>
#include <vector>

constexpr int64_t kSecond = 1000000000LL;

// The solution the tests play on: the first built-in puzzle of level 0.
inline QString SolutionText()
{
    return QString::fromLatin1(kBuiltinPuzzles[0][0]).toUpper();
}

// The cells to find, in this order: (2,1), (5,3), (9,4), (1,7), (6,9), then
// more from the top left.
inline QPoint OpenCell(int i)
{
    static const QPoint cells[] = {{2, 1}, {5, 3}, {9, 4}, {1, 7}, {6, 9}, {1, 1}, {3, 2}, {4, 5}};
    return cells[i - 1];
}

// The solution with the first `open` cells of OpenCell to be found.
inline QString PuzzleWithOpenCells(int open)
{
    QString s = SolutionText();
    for (int i = 1; i <= open; ++i) {
        const QPoint c = OpenCell(i);
        const int k = (c.y() - 1) * 9 + c.x() - 1;
        s[k] = s[k].toLower();
    }
    return s;
}

inline int SolutionDigit(int x, int y)
{
    return SolutionText().at((y - 1) * 9 + x - 1).unicode() - 'A' + 1;
}

// A digit that is not the solution of the cell.
inline int WrongDigit(int x, int y)
{
    return SolutionDigit(x, y) % 9 + 1;
}

// The first given of a puzzle made by PuzzleWithOpenCells: (3,1).
inline QPoint GivenCell()
{
    return {3, 1};
}

inline void FillSlot(int p, const QString &name, const QString &address)
{
    TPlayerRecord &r = Form1->Players[p];
    r.Name = name;
    r.Address = address;
    r.PlayerNo = p;
    r.Active = true;
    r.GameOver = false;
}

// This machine as player 1, the only player of a single game, or the host of
// `players` players in one process (the others only have their records).
inline void BecomeHostOf(int players, bool single)
{
    Form1->ResetPlayers();
    for (int p = 1; p <= players; ++p)
        FillSlot(p, QStringLiteral("Spieler%1").arg(p), QStringLiteral("127.0.0.%1").arg(p));
    NETZ->MyPlayerNo = 1;
    Form1->SinglePlayerGame = single;
    FormStart->PlayMode = single ? 10 : 20;
}

// The game options of the tests, set where the option window keeps them.
inline void SetGameOptions(int rating, bool immediate, bool ownBoard, int maxMarks = 4, bool bonus = false)
{
    for (TLabel *caption : {FormGO->BTC64, FormGO->BTC110, FormGO->BTC111, FormGO->BTC112, FormGO->BTC113})
        caption->setEnabled(true);
    FormGO->SetGameType(1);
    FormGO->SetRating(rating);
    FormGO->SetEvaluation(immediate ? 1 : 0);
    FormGO->SetOwnBoard(ownBoard ? 1 : 0);
    FormGO->SetMaxMarks(maxMarks);
    FormGO->SetMarkBonus(bonus ? 1 : 0);
}

// Leaves nothing of the last game behind: listener and timers off, no
// outgoing filter, no peers or queued telegrams, nobody ready, no game,
// ghost, challenge or tournament running, the options of a plain game, and
// the windows a game opens closed.
inline void ClearGameState()
{
    NETZ->SetListenerActive(false);
    NETZ->SendTimer->stop();
    NETZ->StartTimer->stop();
    NETZ->OutgoingFilter = nullptr;
    NETZ->ForgetAllPeers();
    for (int p = 1; p <= 8; ++p) {
        NETZ->PurgeQueue(p);
        Form1->Players[p].Ready = false;
    }
    Form1->GameRunning = false;
    Form1->GameStarting = false;
    Form1->HostsNetworkGame = false;
    Form1->CountsPerTenth = PerfFrequency() / 10;
    FormGhost->GhostMode = false;
    FormCha->TournamentActive = false;
    FormCha->ChallengeActive = false;
    FormStart->GameKind = 4;
    FormGO->SetImport(0);
    SetGameOptions(1, true, true);
    ClearBingoList();
    Vorgabe->SpielVorgabe->clear();
    FormSpielEnde->hide();
    FormMeld->hide();
}

// The host opens the game on the loaded puzzle: the symbols go out, the
// start countdown begins and players 2..players report ready. The caller
// runs the countdown.
inline void OpenHostedGame(int players)
{
    NETZ->SendSymbols();
    NETZ->StartNetworkGame();
    for (int p = 2; p <= players; ++p) {
        NETZ->Tel = TTelegram();
        NETZ->Tel.Aktion = akReady;
        NETZ->Tel.Gid = p;
        NETZ->OnReady();
    }
}

// Every telegram a handler was given, from the wire or on the local path.
class TTelegramLog : public QObject {
public:
    TTelegramLog()
    {
        connect(NETZ, &TNETZ::TelegramDispatched, this,
                [this](const TTelegram &tel, const QString &) { All.push_back(tel); });
    }
    std::vector<TTelegram> OfKind(int kind) const
    {
        std::vector<TTelegram> out;
        for (const TTelegram &t : All)
            if (t.Aktion == kind)
                out.push_back(t);
        return out;
    }
    int Count(int kind) const { return int(OfKind(kind).size()); }
    std::vector<TTelegram> All;
};

// Starts a single game of the puzzle through StartGame (typed as a game
// code, so it is neither rotated nor relabelled) and counts it down: the
// game runs when this returns.
inline bool StartSingleGame(const QString &puzzle, const QString &symbols = QStringLiteral("123456789"))
{
    BecomeHostOf(1, true);
    FormStart->GameKind = 4;
    Vorgabe->SpielVorgabe->setText(puzzle + QStringLiteral("SS014") + symbols);
    Form1->StartGame();
    if (!NETZ->StartTimer->isActive())
        return false;
    NETZ->StartTimer->stop();
    TTestFixture::Now += kSecond;
    NETZ->StartTimerTimer();
    return Form1->GameRunning;
}

// The windows of a game test, built once: the timers stay off (the tests
// call their steps), sounds are recorded instead of played, and every test
// starts with the listener off, no game, and the options of a plain game.
class TGameTest : public QObject {
protected:
    std::unique_ptr<TTestFixture> fx;
    std::unique_ptr<TTelegramLog> log;
    QStringList sounds;
    int port = 0;

    void SetUpGameTest()
    {
        fx = std::make_unique<TTestFixture>();
        fx->StartProgram();
        for (QTimer *t : {static_cast<QTimer *>(NETZ->SendTimer), static_cast<QTimer *>(Form1->Blinken),
                          static_cast<QTimer *>(Form1->MsgTimer), static_cast<QTimer *>(Form1->WartezeitTimer)})
            t->stop();
        FormOpt->soundM->Tag = 1;
        SetSoundPlayer([this](const QString &path) { sounds << QFileInfo(path).fileName(); });
        log = std::make_unique<TTelegramLog>();
        port = freePortOnBoth();
        QVERIFY(port != 0);
    }

    void TearDownGameTest()
    {
        SetSoundPlayer(nullptr);
        log.reset();
        fx.reset();
    }

    void ResetGameTest()
    {
        fx->Dialogs.Shown.clear();
        ClearGameState();
        NETZ->BindAddress = QStringLiteral("127.0.0.1");
        NETZ->Port = port;
        for (TCheckBox *cb :
             {Trace->cb_telegramm_out, Trace->cb_telegramm_in, Trace->cb_sonst, Trace->cb_Bingo, Trace->cb_turnier})
            cb->setChecked(true);
        Trace->LogBox->clear();
        log->All.clear();
        sounds.clear();
    }

    // Leaves no listener, game or mode behind; no test may have shown a box.
    void CheckGameTest()
    {
        NETZ->SetListenerActive(false);
        NETZ->OutgoingFilter = nullptr;
        NETZ->SendTimer->stop();
        NETZ->StartTimer->stop();
        FormGhost->GhostMode = false;
        FormCha->TournamentActive = false;
        Form1->GameRunning = false;
        Form1->GameStarting = false;
        Form1->HostsNetworkGame = false;
        FormGO->SetGameType(1);
        QVERIFY2(fx->Dialogs.Shown.empty(), qPrintable(fx->Dialogs.Texts().join('|')));
    }

    bool hasTraceLine(const QString &part) const
    {
        for (const QString &line : Trace->LogBox->Items())
            if (line.contains(part))
                return true;
        return false;
    }
};
