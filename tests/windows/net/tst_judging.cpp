// The host's judging: whole single games on the local path over the four
// ratings and both kinds of evaluation, the full but wrong board, shared
// boards, players who are put out, the end rules of a tournament, ghost
// stamps, the Bingo offer, the scoring rules, and an entry of a second
// machine over loopback.
#include "common/LoopbackPeer.h"
#include "GameSupport.h"
#include "board/UFeld.h"
#include "board/ULog.h"
#include "board/UMeldung.h"
#include "board/Usounds.h"
#include "competitions/UChallenge.h"
#include "competitions/Ughost.h"
#include "net/UNETZ_Rules.h"
#include "screens/UOptionen.h"
#include "screens/USpielEnde.h"
#include "settings/USonstiges.h"
#include "solver/UBingo.h"
#include "solver/USolver.h"

#include <QtTest>

namespace {
void entryOf(int p, int x, int y, int z)
{
    NETZ->Tel = TTelegram();
    NETZ->Tel.Aktion = akEntry;
    NETZ->Tel.x = x;
    NETZ->Tel.y = y;
    NETZ->Tel.z = z;
    NETZ->Tel.Gid = p;
    NETZ->EvaluateEntry();
}

// Player p enters open cell i (OpenCell), right or wrong.
void enter(int p, int i, bool right)
{
    const QPoint c = OpenCell(i);
    entryOf(p, c.x(), c.y(), right ? SolutionDigit(c.x(), c.y()) : WrongDigit(c.x(), c.y()));
}

int givensOf(int layer)
{
    int n = 0;
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x)
            if (Form1->Boards[layer][x][y].State == -1 &&
                Form1->Boards[layer][x][y].Value == Form1->Boards[0][x][y].Value)
                ++n;
    return n;
}

TTelegram cellTelegramOf(int aktion, QPoint c, int z, int gid)
{
    TTelegram t;
    t.Aktion = aktion;
    t.x = c.x();
    t.y = c.y();
    t.z = z;
    t.Gid = gid;
    return t;
}

void clearOf(int p, int x, int y)
{
    NETZ->Tel = TTelegram();
    NETZ->Tel.Aktion = akClearCells;
    NETZ->Tel.x = x;
    NETZ->Tel.y = y;
    NETZ->Tel.Gid = p;
    NETZ->OnClearCells();
}
} // namespace

class TstJudging : public TGameTest {
    Q_OBJECT

    QString penaltyList() const
    {
        QStringList out;
        for (const TTelegram &t : log->OfKind(akPenalty))
            out << QString::number(t.x);
        return out.join(',');
    }

    // The telegrams handed to handlers since the log was cleared, the
    // entries themselves left out.
    QList<int> kinds() const
    {
        QList<int> out;
        for (const TTelegram &t : log->All)
            if (t.Aktion != akEntry)
                out << t.Aktion;
        return out;
    }

    // A game of `players` players hosted by this machine, started on the
    // local path: the sequence, every other player's ready report, the countdown.
    void startHostedGame(int players, bool single, int open = 5)
    {
        BecomeHostOf(players, single);
        Form1->LoadPuzzleString(PuzzleWithOpenCells(open));
        Form1->SymbolSet = QStringLiteral("123456789");
        OpenHostedGame(players);
        QVERIFY(NETZ->StartTimer->isActive());
        NETZ->StartTimer->stop();
        while (!Form1->GameRunning && NETZ->StartTimer->Tag > 0)
            NETZ->StartTimerTimer();
        QVERIFY(Form1->GameRunning);
        log->All.clear();
    }

private slots:
    void initTestCase()
    {
        SetUpGameTest();
        Form1->show();
    }
    void cleanupTestCase() { TearDownGameTest(); }
    void init() { ResetGameTest(); }
    void cleanup() { CheckGameTest(); }

    // ---- whole single games -------------------------------------------------

    void wholeSingleGame_data()
    {
        QTest::addColumn<int>("rating");
        QTest::addColumn<bool>("immediate");
        QTest::addColumn<QString>("entries"); // open cell and R(ight) or W(rong)
        QTest::addColumn<QString>("penalties");
        QTest::addColumn<int>("clockPenalty");
        QTest::addColumn<int>("errors");
        QTest::addColumn<int>("found");
        QTest::addColumn<int>("points");
        QTest::addColumn<bool>("out");
        QTest::addColumn<int>("asked");
        QTest::addColumn<int>("free"); // the wrong digit that puts out fills nothing

        QTest::newRow("1 at once: two errors") << 1 << true << "1W 1W 1R 2R 3R 4R 5R"
                                               << "5,5" << 10 << 2 << 5 << 13 << false << 0 << 0;
        QTest::newRow("1 at once: repeats of a found cell") << 1 << true << "1R 1R 1W 2R 3R 4R 5R"
                                                            << "" << 0 << 0 << 5 << 15 << false << 0 << 0;
        QTest::newRow("2 at once: rising, a right entry resets") << 2 << true << "1W 1W 1W 1R 2W 2R 3R 4R 5R"
                                                                 << "5,10,15,5" << 35 << 4 << 5 << 2 << false << 0 << 0;
        QTest::newRow("2 at once: points never below 0") << 2 << true << "1W 1W 1W 1W 1W 1W 1R 2R 3R 4R 5R"
                                                         << "5,10,15,20,25,30" << 105 << 6 << 5 << 0 << false << 0 << 0;
        QTest::newRow("3 at once: one error") << 3 << true << "1W 1R 2R 3R 4R 5R"
                                              << "10" << 10 << 1 << 5 << 2 << false << 0 << 0;
        QTest::newRow("3 at once: the second error puts out") << 3 << true << "1W 1R 2W"
                                                              << "10,-1" << 10 << 2 << 1 << 0 << true << 0 << 4;
        QTest::newRow("4 at once: no error") << 4 << true << "1R 2R 3R 4R 5R"
                                             << "" << 0 << 0 << 5 << 5 << false << 0 << 0;
        QTest::newRow("4 at once: the first error puts out") << 4 << true << "1R 2W"
                                                             << "-1" << 0 << 1 << 1 << 0 << true << 0 << 4;
        QTest::newRow("1 at the end: one wrong, corrected") << 1 << false << "1R 2R 3W 4R 5R 3R"
                                                            << "" << 0 << 0 << 5 << 15 << false << 1 << 0;
        QTest::newRow("2 at the end: changed before the end") << 2 << false << "1W 2R 3R 4R 1R 5R"
                                                              << "" << 0 << 0 << 5 << 10 << false << 0 << 0;
        QTest::newRow("3 at the end: right at once") << 3 << false << "1R 2R 3R 4R 5R"
                                                     << "" << 0 << 0 << 5 << 5 << false << 0 << 0;
        QTest::newRow("4 at the end: asked twice") << 4 << false << "5W 4W 3R 2R 1R 5R 4R"
                                                   << "" << 0 << 0 << 5 << 5 << false << 2 << 0;
    }
    void wholeSingleGame()
    {
        QFETCH(int, rating);
        QFETCH(bool, immediate);
        QFETCH(QString, entries);
        QFETCH(QString, penalties);
        QFETCH(int, clockPenalty);
        QFETCH(int, errors);
        QFETCH(int, found);
        QFETCH(int, points);
        QFETCH(bool, out);
        QFETCH(int, asked);
        QFETCH(int, free);

        SetGameOptions(rating, immediate, true);
        QVERIFY(StartSingleGame(PuzzleWithOpenCells(5)));
        log->All.clear();
        int tenths = 0;
        for (const QString &e : entries.split(' ')) {
            QVERIFY2(Form1->GameRunning, qPrintable(e));
            const QPoint c = OpenCell(e[0].digitValue());
            const bool right = e[1] == 'R';
            // What the board input hands over for a click on a mark.
            NETZ->EnterNumber(c.x(), c.y(), right ? SolutionDigit(c.x(), c.y()) : WrongDigit(c.x(), c.y()));
            TTestFixture::Now += kSecond;
            tenths += 10;
            if (Form1->GameRunning) {
                Form1->MsgTimerTimer();
                QCOMPARE(Form1->ElapsedTenths, qint64(tenths + 10 * Form1->ClockPenaltySeconds));
                QCOMPARE(Form1->Zeit->text(), FormatTenths(Form1->ElapsedTenths));
            }
        }

        QVERIFY(!Form1->GameRunning);
        QCOMPARE(log->Count(akEndOfGame), 1);
        QVERIFY(FormSpielEnde->isVisible());
        QCOMPARE(penaltyList(), penalties);
        QCOMPARE(Form1->ClockPenaltySeconds, clockPenalty);
        const TPlayerRecord &me = Form1->Players[1];
        QCOMPARE(me.Errors, errors);
        QCOMPARE(me.Found, found);
        QCOMPARE(me.Points, points);
        QCOMPARE(me.GameOver, out);
        QCOMPARE(log->Count(akWrongSolution), asked);
        QCOMPARE(log->Count(akGameOver), 0); // never announced in single play
        QCOMPARE(me.FreeCells, free);
        // The end table shows the result.
        QCOMPARE(Form1->EndPlayerRows[1].PointsLabel->text(), QString::number(points));
        QCOMPARE(Form1->EndPlayerRows[1].FoundLabel->text(), QString::number(found));
        QCOMPARE(Form1->EndPlayerRows[1].FreeLabel->text(), QString::number(free));
        QCOMPARE(sounds.contains("falsch.wav"), !penalties.isEmpty() && penalties != "-1");
        QCOMPARE(sounds.contains("gameover.wav"), out);
        QVERIFY(sounds.contains("pkt.wav"));
        // The last statistics are the score.
        const std::vector<TTelegram> stats = log->OfKind(akStats);
        QVERIFY(!stats.empty());
        QCOMPARE(stats.back().x, points);
        QVERIFY(me.SampleCount > 0);
    }

    void aRightEntryShowsTheFindersDigit()
    {
        QVERIFY(StartSingleGame(PuzzleWithOpenCells(5), QStringLiteral("ABCDEFGHI")));
        log->All.clear();
        const QPoint c = OpenCell(2);
        const int d = SolutionDigit(c.x(), c.y());
        Form1->Cells[c.x()][c.y()].Mark(d).State = 1;
        NETZ->EnterNumber(c.x(), c.y(), d);
        QCOMPARE(kinds(), QList<int>({akCounts, akCellResult, akStats}));
        const TCellView &cv = Form1->Cells[c.x()][c.y()];
        QCOMPARE(cv.DigitLabel.Caption(), QString(QChar('A' + d - 1)));
        QCOMPARE(cv.ShowMarks, uint8_t(0));
        QCOMPARE(cv.Owner, 1);
        QCOMPARE(cv.HighlightTicks, 1);
        QCOMPARE(cv.DigitColor, 0);
        QVERIFY(cv.Background.Visible());
        QCOMPARE(Form1->Boards[1][c.x()][c.y()].State, 1);
        QCOMPARE(FormSolver->GameGrid.Cells[c.x()][c.y()].Value, d);
        QCOMPARE(Form1->Players[1].FreeCells, 4);
        QCOMPARE(Form1->Players[1].Found, 1);
    }

    void aWrongEntryBlinksAndCostsTime()
    {
        QVERIFY(StartSingleGame(PuzzleWithOpenCells(5)));
        log->All.clear();
        const QPoint c = OpenCell(3);
        const int wrong = WrongDigit(c.x(), c.y());
        NETZ->EnterNumber(c.x(), c.y(), wrong);
        // Stored, counted, put back; no cell result while the player waits.
        QCOMPARE(kinds(), QList<int>({akCounts, akCounts, akBlink, akPenalty, akStats}));
        QCOMPARE(log->OfKind(akCounts)[0].a, 4);
        QCOMPARE(log->OfKind(akCounts)[1].a, 5);
        const TTelegram blink = log->OfKind(akBlink)[0];
        QCOMPARE(blink.z, wrong);
        QCOMPARE(Form1->Cells[c.x()][c.y()].BlinkTicks, 6);
        QCOMPARE(Form1->Cells[c.x()][c.y()].DigitLabel.Caption(), QString::number(wrong));
        QCOMPARE(Form1->Boards[1][c.x()][c.y()].State, 0);
        QCOMPARE(Form1->Boards[1][c.x()][c.y()].Value, SolutionDigit(c.x(), c.y()));
        // In single play the penalty goes onto the clock; the board stays.
        QCOMPARE(Form1->ClockPenaltySeconds, 5);
        QCOMPARE(Form1->Players[1].Penalty, 5);
        QCOMPARE(Form1->Players[1].WaitSeconds, 0);
        QVERIFY(!Form1->brett->isHidden());
        QVERIFY(hasTraceLine("Eingabe war falsch"));
        QVERIFY(hasTraceLine("Spieler:1 erhält eine Strafzeit(5)."));
    }

    // ---- the full but wrong board ----------------------------------------------

    void aFullWrongBoardAsksToClear_data()
    {
        QTest::addColumn<bool>("clear");
        QTest::newRow("Ja: all entries cleared") << true;
        QTest::newRow("Nein: the board stays") << false;
    }
    void aFullWrongBoardAsksToClear()
    {
        QFETCH(bool, clear);
        SetGameOptions(1, false, true);
        QVERIFY(StartSingleGame(PuzzleWithOpenCells(5)));
        log->All.clear();
        const int givens = givensOf(1);
        for (int i = 1; i <= 4; ++i)
            enter(1, i, true);
        log->All.clear();
        enter(1, 5, false);
        QCOMPARE(kinds(), QList<int>({akCounts, akCellResult, akWrongSolution}));
        QVERIFY(Form1->GameRunning);
        QVERIFY(FormMeld->isVisible());
        QVERIFY(!FormMeld->DurchPanel->isHidden());
        QCOMPARE(FormMeld->DurchTXT->text(), QString("Die Lösung ist falsch !\r\nAlle Felder löschen ?\r\n"));
        // Scores are only made when the board is right.
        QCOMPARE(log->Count(akStats), 0);

        log->All.clear();
        if (clear) {
            FormMeld->BT_JaClick();
            QCOMPARE(log->Count(akClearCells), 1);
            QCOMPARE(log->OfKind(akClearCells)[0].x, 0);
            QCOMPARE(log->OfKind(akCounts).back().a, 5);
            QCOMPARE(Form1->Players[1].FreeCells, 5);
            for (int i = 1; i <= 5; ++i) {
                const QPoint c = OpenCell(i);
                QCOMPARE(Form1->Boards[1][c.x()][c.y()].State, 0);
                QCOMPARE(Form1->Boards[1][c.x()][c.y()].Value, 0);
                QCOMPARE(Form1->Cells[c.x()][c.y()].ShowMarks, uint8_t(1));
                QCOMPARE(Form1->Cells[c.x()][c.y()].DigitLabel.Caption(), QString());
            }
            QCOMPARE(givensOf(1), givens);
            for (int i = 1; i <= 5; ++i)
                enter(1, i, true);
        } else {
            FormMeld->bt_NeinClick();
            QVERIFY(log->All.empty());
            QCOMPARE(Form1->Players[1].FreeCells, 0);
            enter(1, 5, true);
        }
        QVERIFY(!FormMeld->isVisible());
        QVERIFY(!Form1->GameRunning);
        QCOMPARE(log->Count(akEndOfGame), 1);
        QCOMPARE(Form1->Players[1].Points, 15);
        QCOMPARE(Form1->Players[1].Errors, 0);
        QCOMPARE(givensOf(1), givens);
    }

    // ---- the cells that are not the player's to enter ----------------------------

    void aFoundCellIsToldAgainNotCounted()
    {
        QVERIFY(StartSingleGame(PuzzleWithOpenCells(5)));
        log->All.clear();
        enter(1, 1, true);
        QCOMPARE(Form1->Players[1].Found, 1);
        for (bool right : {true, false}) {
            log->All.clear();
            enter(1, 1, right);
            QCOMPARE(kinds(), QList<int>({akCellResult}));
            const TTelegram r = log->OfKind(akCellResult)[0];
            QCOMPARE(r.Gid, 1);
            QCOMPARE(r.z, SolutionDigit(OpenCell(1).x(), OpenCell(1).y()));
            QCOMPARE(Form1->Players[1].Found, 1);
            QCOMPARE(Form1->Players[1].Errors, 0);
            QCOMPARE(Form1->ClockPenaltySeconds, 0);
        }
    }

    void aGivenIsNeverAnEntry_data()
    {
        QTest::addColumn<bool>("own");
        QTest::addColumn<bool>("immediate");
        QTest::addColumn<bool>("right");
        QTest::newRow("own boards, at once, right digit") << true << true << true;
        QTest::newRow("own boards, at once, wrong digit") << true << true << false;
        QTest::newRow("own boards, at the end, wrong digit") << true << false << false;
        QTest::newRow("shared board, wrong digit") << false << true << false;
    }
    void aGivenIsNeverAnEntry()
    {
        QFETCH(bool, own);
        QFETCH(bool, immediate);
        QFETCH(bool, right);
        SetGameOptions(1, immediate, own);
        startHostedGame(2, false);
        const QPoint g = GivenCell();
        const TGridEntry before = Form1->Boards[2][g.x()][g.y()];
        QCOMPARE(before.State, -1);
        entryOf(2, g.x(), g.y(), right ? SolutionDigit(g.x(), g.y()) : WrongDigit(g.x(), g.y()));
        for (int layer : {0, 1, 2}) {
            QCOMPARE(Form1->Boards[layer][g.x()][g.y()].State, -1);
            QCOMPARE(Form1->Boards[layer][g.x()][g.y()].Value, SolutionDigit(g.x(), g.y()));
        }
        QCOMPARE(Form1->Players[2].Errors, 0);
        QCOMPARE(Form1->Players[2].Found, 0);
        QCOMPARE(Form1->Players[2].Penalty, 0);
        QCOMPARE(Form1->Players[2].FreeCells, 5);
        if (own) {
            QVERIFY(log->All.empty());
        } else {
            // On a shared board every machine is told it is a given.
            QCOMPARE(kinds(), QList<int>({akCellResult}));
            QCOMPARE(log->OfKind(akCellResult)[0].Gid, -1);
        }
    }

    void clearingNeverClearsAGiven()
    {
        SetGameOptions(1, false, true);
        QVERIFY(StartSingleGame(PuzzleWithOpenCells(5)));
        log->All.clear();
        enter(1, 1, false);
        enter(1, 2, true);
        const int givens = givensOf(1);
        const QPoint g = GivenCell();

        log->All.clear();
        NETZ->ClearCells(g.x(), g.y());
        QVERIFY(log->All.empty());
        clearOf(1, g.x(), g.y());
        QCOMPARE(Form1->Boards[1][g.x()][g.y()].State, -1);

        const QPoint c = OpenCell(1);
        NETZ->ClearCells(c.x(), c.y());
        QCOMPARE(log->Count(akClearCells), 1);
        QCOMPARE(Form1->Boards[1][c.x()][c.y()].State, 0);
        QCOMPARE(Form1->Players[1].FreeCells, 4);

        NETZ->ClearCells(0, 0);
        QCOMPARE(Form1->Players[1].FreeCells, 5);
        QCOMPARE(Form1->Boards[1][OpenCell(2).x()][OpenCell(2).y()].State, 0);
        QCOMPARE(givensOf(1), givens);
        QCOMPARE(Form1->Cells[g.x()][g.y()].ShowMarks, uint8_t(0));
    }

    void aJudgedCellIsNeverCleared()
    {
        QVERIFY(StartSingleGame(PuzzleWithOpenCells(5)));
        log->All.clear();
        enter(1, 1, true);
        log->All.clear();
        clearOf(1, 0, 0);
        QVERIFY(log->All.empty());
        QCOMPARE(Form1->Boards[1][OpenCell(1).x()][OpenCell(1).y()].State, 1);
        QVERIFY(hasTraceLine("ERROR: Löschen von Spieler 1 ignoriert"));
        enter(1, 1, true);
        QCOMPARE(Form1->Players[1].Found, 1);
    }

    void strayEntriesChangeNothing_data()
    {
        QTest::addColumn<int>("myNumber");
        QTest::addColumn<bool>("running");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("player");
        QTest::newRow("no game running") << 1 << false << 2 << 1;
        QTest::newRow("a client gets an entry") << 2 << true << 2 << 1;
        QTest::newRow("a column outside the board") << 1 << true << 10 << 1;
        QTest::newRow("a player number outside 1..8") << 1 << true << 2 << 9;
    }
    void strayEntriesChangeNothing()
    {
        QFETCH(int, myNumber);
        QFETCH(bool, running);
        QFETCH(int, x);
        QFETCH(int, player);
        QVERIFY(StartSingleGame(PuzzleWithOpenCells(5)));
        log->All.clear();
        Form1->GameRunning = running;
        NETZ->MyPlayerNo = myNumber;
        entryOf(player, x, 1, 4);
        NETZ->MyPlayerNo = 1;
        QVERIFY(log->All.empty());
        QCOMPARE(Form1->Boards[1][2][1].State, 0);
        QCOMPARE(Form1->Players[1].Errors, 0);
    }

    // ---- several players ------------------------------------------------------------

    void aClaimedCellOfASharedBoardIsToldAgain()
    {
        SetGameOptions(1, true, false);
        startHostedGame(2, false);
        enter(1, 1, true);
        QCOMPARE(kinds(), QList<int>({akCounts, akCellResult, akCounts, akStats}));
        const TTelegram claim = log->OfKind(akCellResult)[0];
        QCOMPARE(claim.Gid, 1);
        QCOMPARE(Form1->Boards[0][OpenCell(1).x()][OpenCell(1).y()].State, 1);
        QCOMPARE(Form1->Cells[OpenCell(1).x()][OpenCell(1).y()].HighlightTicks, 7);

        for (bool right : {true, false}) {
            log->All.clear();
            enter(2, 1, right);
            QCOMPARE(kinds(), QList<int>({akCellResult}));
            QCOMPARE(log->OfKind(akCellResult)[0].Gid, 1);
            QCOMPARE(Form1->Players[2].Errors, 0);
            QCOMPARE(Form1->Players[2].Penalty, 0);
        }
        QVERIFY(hasTraceLine(
            QString("ERROR: Feld(%1,%2) konnte doppelt gedrückt werden.").arg(OpenCell(1).x()).arg(OpenCell(1).y())));
        // Both players count the cells of the shared board.
        QCOMPARE(Form1->Players[1].FreeCells, 4);
        QCOMPARE(Form1->Players[2].FreeCells, 4);
    }

    void theBonusOfTheStatisticsIsNoPenalty()
    {
        // Rating 2 on a shared board: the statistics after each entry must
        // not reset the rising penalty.
        SetGameOptions(2, true, false);
        startHostedGame(2, false);
        enter(2, 1, false);
        enter(2, 1, false);
        enter(2, 2, false);
        QCOMPARE(penaltyList(), QString("5,10,15"));
        QCOMPARE(Form1->Players[2].Penalty, 15);
        QCOMPARE(Form1->Players[2].WaitSeconds, 15);

        NETZ->Tel = TTelegram();
        NETZ->Tel.Aktion = akStats;
        NETZ->Tel.Gid = 2;
        NETZ->Tel.x = 8;
        NETZ->Tel.y = 1;
        NETZ->Tel.z = 3;
        NETZ->Tel.a = 7;
        NETZ->OnStats();
        QCOMPARE(Form1->Players[2].Bonus, 7);
        QCOMPARE(Form1->Players[2].Points, 8);
        QCOMPARE(Form1->Players[2].Penalty, 15);
    }

    void aPenaltyOnTheOwnMachineHidesTheBoard()
    {
        startHostedGame(2, false);
        enter(1, 1, false);
        QCOMPARE(Form1->Players[1].WaitSeconds, 5);
        QCOMPARE(Form1->Players[1].Penalty, 5);
        QCOMPARE(Form1->ClockPenaltySeconds, 0);
        QVERIFY(Form1->brett->isHidden());
        // The countdown shows it again.
        for (int i = 0; i < 5; ++i)
            Form1->WartezeitTimerTimer();
        QVERIFY(!Form1->brett->isHidden());
        // Another player's penalty only counts down in the table.
        enter(2, 1, false);
        QCOMPARE(Form1->Players[2].WaitSeconds, 5);
        QVERIFY(!Form1->brett->isHidden());
    }

    void aPlayerPutOutIsShownAndAnnounced_data()
    {
        QTest::addColumn<bool>("single");
        QTest::newRow("single play") << true;
        QTest::newRow("network game") << false;
    }
    void aPlayerPutOutIsShownAndAnnounced()
    {
        QFETCH(bool, single);
        SetGameOptions(4, true, true);
        startHostedGame(single ? 1 : 2, single);
        const int p = single ? 1 : 2;
        const QPoint c = OpenCell(1);
        enter(p, 1, false);
        const TTelegram red = log->OfKind(akCellResult)[0];
        QCOMPARE(red.a, 255);
        QCOMPARE(red.z, WrongDigit(c.x(), c.y()));
        QCOMPARE(red.Gid, p);
        QCOMPARE(Form1->Cells[c.x()][c.y()].DigitColor, 255);
        QCOMPARE(Form1->Cells[c.x()][c.y()].DigitLabel.FontColor(), QColor(Qt::red));
        // Shown, not kept: the cell stays open, so it is neither found nor
        // filled, and it stays free for the solver and the Bingo draws.
        const TGridEntry &e = Form1->Boards[p][c.x()][c.y()];
        QCOMPARE(e.State, 0);
        QCOMPARE(e.Value, WrongDigit(c.x(), c.y()));
        QVERIFY(FormFeld->IsCellFreeOnAllLayers(c.x(), c.y()));
        QCOMPARE(Form1->Players[p].FreeCells, 5);
        QCOMPARE(Form1->Players[p].Found, 0);
        if (single) {
            QCOMPARE(Form1->EndPlayerRows[1].FreeLabel->text(), QString("5"));
            QCOMPARE(Form1->EndPlayerRows[1].FoundLabel->text(), QString("0"));
        }
        QVERIFY(Form1->Players[p].GameOver);
        QCOMPARE(Form1->Players[p].Penalty, -1);
        QCOMPARE(log->Count(akGameOver), single ? 0 : 1);
        if (!single)
            QCOMPARE(FormMeld->MeldTXT->text(), QString("Spieler2 ist Game Over."));
        // Player 1 is still in the network game.
        QCOMPARE(Form1->GameRunning, !single);
        QCOMPARE(log->Count(akEndOfGame), single ? 1 : 0);
    }

    // The wrong digit that puts a player out, as that player's machine shows
    // it, beside a right one: red on the plain cell, never in the player's
    // colour, the cell left open on the player's layer, and no blink of
    // another player's digit written over it.
    void theOwnMachineShowsAResult_data()
    {
        QTest::addColumn<int>("colour");
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("owner");
        QTest::addColumn<bool>("tile");
        QTest::addColumn<QColor>("font");
        QTest::newRow("right digit") << 0 << 2 << 2 << true << QColor(Qt::black);
        QTest::newRow("wrong digit that put out") << 255 << 0 << -1 << false << QColor(Qt::red);
    }
    void theOwnMachineShowsAResult()
    {
        QFETCH(int, colour);
        QFETCH(int, state);
        QFETCH(int, owner);
        QFETCH(bool, tile);
        QFETCH(QColor, font);
        startHostedGame(3, false);
        // This machine as the client in slot 2, told by the host.
        NETZ->MyPlayerNo = 2;
        const int foundColoured = FormOpt->FabM->Tag;
        const int32_t playerColour = Form1->Players[2].Color;
        FormOpt->FabM->Tag = 1;
        Form1->Players[2].Color = 0x00FF00;
        const auto restore = qScopeGuard([&] {
            NETZ->MyPlayerNo = 1;
            FormOpt->FabM->Tag = foundColoured;
            Form1->Players[2].Color = playerColour;
        });
        const QPoint c = OpenCell(2);
        const int digit = colour == 0 ? SolutionDigit(c.x(), c.y()) : WrongDigit(c.x(), c.y());
        NETZ->Tel = cellTelegramOf(akCellResult, c, digit, 2);
        NETZ->Tel.a = colour;
        NETZ->OnCellResult();
        const TCellView &cv = Form1->Cells[c.x()][c.y()];
        QCOMPARE(Form1->Boards[2][c.x()][c.y()].State, state);
        QCOMPARE(Form1->Boards[2][c.x()][c.y()].Value, digit);
        QCOMPARE(cv.Owner, owner);
        QCOMPARE(cv.ShowMarks, uint8_t(0));
        QCOMPARE(cv.DigitLabel.Caption(), QString::number(digit));

        // Player 3 enters a wrong digit into the same cell of his own board.
        NETZ->Tel = cellTelegramOf(akBlink, c, digit % 9 + 1, 3);
        NETZ->OnBlink();
        QCOMPARE(cv.BlinkTicks, 0);
        QVERIFY(hasTraceLine(
            QStringLiteral("PM005 : Blinken wurde unterdrückt x,y(%1,%2) GamerID(3)").arg(c.x()).arg(c.y())));

        for (int tick = 0; tick < 10; ++tick)
            Form1->BlinkenTimer();
        QCOMPARE(cv.HighlightTicks, 0);
        QCOMPARE(cv.DigitLabel.Caption(), QString::number(digit));
        QCOMPARE(cv.DigitLabel.FontColor(), font);
        if (tile) {
            QCOMPARE(cv.Background.Kind(), TBoardImage::TKind::Tile);
            QCOMPARE(cv.Background.Colour(), 0x00FF00);
        } else {
            QVERIFY(cv.Background.Shows(FormOpt->orgFest));
        }
    }

    void gameOverCountsThePlayerItIsGiven()
    {
        startHostedGame(2, false);
        for (int i = 1; i <= 5; ++i) {
            const QPoint c = OpenCell(i);
            Form1->Boards[2][c.x()][c.y()].State = 2;
        }
        // Whatever the last telegram was about, player 1 still has cells to find.
        NETZ->Tel.Gid = 2;
        QVERIFY(!NETZ->CheckGameOver(1));
        QVERIFY(Form1->GameRunning);
        NETZ->Tel.Gid = 1;
        QVERIFY(NETZ->CheckGameOver(2));
        QVERIFY(!Form1->GameRunning);
        QVERIFY(hasTraceLine("Es sind noch 0 Felder frei"));
        QVERIFY(hasTraceLine("Es sind noch 2 Spieler dabei"));
    }

    void theLastPlayerFindingTheLastCellEndsTheGame()
    {
        startHostedGame(2, false, 2);
        enter(2, 1, true);
        QVERIFY(Form1->GameRunning);
        enter(2, 2, true);
        QVERIFY(!Form1->GameRunning);
        QCOMPARE(log->Count(akEndOfGame), 1);
        QCOMPARE(Form1->Players[2].Points, 6);
        QCOMPARE(Form1->Players[1].Points, 0);
        QCOMPARE(Form1->Players[1].FreeCells, 2);
    }

    void tournamentEndRules_data()
    {
        QTest::addColumn<int>("rule");
        QTest::addColumn<bool>("goesOn");
        QTest::newRow("Alle bis zum Ende") << 1 << true;
        QTest::newRow("Letzter erhält Rest") << 2 << false;
        QTest::newRow("Punkte verfallen") << 3 << false;
    }
    void tournamentEndRules()
    {
        QFETCH(int, rule);
        QFETCH(bool, goesOn);
        SetGameOptions(4, true, true);
        startHostedGame(2, false);
        FormCha->TournamentActive = true;
        FormCha->SetTurnierEndeArt(rule);
        enter(1, 1, true);
        enter(2, 1, false);
        QCOMPARE(Form1->GameRunning, goesOn);
        QVERIFY(hasTraceLine("Es ist nurnoch Spieler1 über und ein Turnier ist gestartet."));
        QCOMPARE(hasTraceLine("TURNIER : Vorzeitig beenden."), !goesOn);
        if (rule == 2) {
            // Nobody found every cell: the last one in gets the rest.
            QVERIFY(hasTraceLine("TURNIER : Spieler1 ist der letzte verbleibende Spieler."));
            QCOMPARE(Form1->Players[1].Points, 5);
            QCOMPARE(Form1->Players[2].Points, 0);
        }
        if (rule == 3)
            QCOMPARE(Form1->Players[1].Points, 1);
    }

    void noRestWhenSomebodyFoundEveryCell()
    {
        startHostedGame(3, false, 2);
        FormCha->TournamentActive = true;
        FormCha->SetTurnierEndeArt(2);
        enter(1, 1, true);
        enter(2, 1, true);
        enter(2, 2, true);
        QVERIFY(!Form1->GameRunning);
        QVERIFY(hasTraceLine("Turnier: Spieler(2) hat alle Felder gefunden."));
        QCOMPARE(Form1->Players[3].Points, 0);
        QCOMPARE(Form1->Players[1].Points, 3);
        QCOMPARE(Form1->Players[2].Points, 6);
    }

    void aGhostGameStampsTheFinder()
    {
        FormGhost->GhostMode = true;
        startHostedGame(2, true);
        TTestFixture::Now += 3 * kSecond;
        const QPoint c = OpenCell(1);
        enter(1, 1, true);
        QCOMPARE(Form1->Boards[0][c.x()][c.y()].FirstFinder, 1);
        QCOMPARE(Form1->Boards[0][c.x()][c.y()].FoundTime, qint64(30));
        // The ghost's entry of another cell, at its old moment.
        TTestFixture::Now += 2 * kSecond;
        const QPoint d = OpenCell(2);
        NETZ->EnterGhostNumber(d.x(), d.y(), 2, SolutionDigit(d.x(), d.y()));
        QCOMPARE(Form1->Boards[0][d.x()][d.y()].FirstFinder, 2);
        QCOMPARE(Form1->Boards[0][d.x()][d.y()].FoundTime, qint64(50));
        // Cells free on every layer count: 3 are left for both.
        QCOMPARE(log->OfKind(akCounts).back().z, 3);
        QCOMPARE(Form1->Players[1].FreeCells, 3);
        QCOMPARE(Form1->Players[2].FreeCells, 3);
        for (int i = 3; i <= 5; ++i)
            enter(1, i, true);
        QVERIFY(!Form1->GameRunning);
        QCOMPARE(Form1->Players[1].Found, 4);
        QCOMPARE(Form1->Players[2].Found, 1);
    }

    // ---- Bingo ---------------------------------------------------------------------

    void theBingoOfferFiltersEntries_data()
    {
        QTest::addColumn<bool>("numbers");
        QTest::newRow("numbers") << true;
        QTest::newRow("fields") << false;
    }
    void theBingoOfferFiltersEntries()
    {
        QFETCH(bool, numbers);
        SetBingoKind(numbers ? 1 : 2);
        SetBingoFill(1);
        FormGO->SetGameType(4);
        startHostedGame(1, true);
        const QPoint a = OpenCell(1);
        const QPoint b = OpenCell(2);
        const int da = SolutionDigit(a.x(), a.y());
        const int db = SolutionDigit(b.x(), b.y());
        // The host's offer, as every machine receives it.
        TBingoList &list = FormBingo->BingoList;
        list.Entries[0] = BingoEntry{a.x(), a.y(), da, BingoKindOffered};
        list.Entries[1] = BingoEntry{b.x(), b.y(), db, BingoKindOffered};
        for (int i = 2; i < kBingoSlots; ++i)
            list.Entries[i] = BingoEntry{};
        list.EntryCount = 2;
        list.OfferValues = QString::number(da) + QString::number(db);
        NETZ->SendBingo();
        const TTelegram offer = log->OfKind(akBingo)[0];
        QCOMPARE(offer.x, numbers ? 1 : 0);
        QCOMPARE(offer.Text(), QString("%1%2%3%4%5%6").arg(da).arg(db).arg(a.x()).arg(b.x()).arg(a.y()).arg(b.y()));
        QCOMPARE(list.OfferX, QString("%1%2").arg(a.x()).arg(b.x()));
        QCOMPARE(list.OfferY, QString("%1%2").arg(a.y()).arg(b.y()));
        QCOMPARE(FormBingo->DrawNumbers, numbers);
        QCOMPARE(Form1->Cells[a.x()][a.y()].BingoMark, uint8_t(1));
        QCOMPARE(Form1->Cells[b.x()][b.y()].BingoMark, uint8_t(1));

        // Outside the offer nothing happens at all.
        const QPoint c = OpenCell(3);
        const int dc = SolutionDigit(c.x(), c.y());
        int outside = dc;
        if (numbers)
            for (outside = 1; outside == da || outside == db; ++outside) {
            }
        log->All.clear();
        entryOf(1, c.x(), c.y(), outside);
        QVERIFY(log->All.empty());
        QCOMPARE(Form1->Players[1].Found, 0);
        QVERIFY(hasTraceLine("Bingo ist an, gesucht wird"));

        // A right entry refills the offer at once; the found cell is not in it.
        log->All.clear();
        entryOf(1, a.x(), a.y(), da);
        QCOMPARE(Form1->Players[1].Found, 1);
        QVERIFY(hasTraceLine("Erzeuge Bingo nach Eingabe"));
        QCOMPARE(log->Count(akBingo), 1);
        const TTelegram next = log->OfKind(akBingo)[0];
        QVERIFY(!next.Text().isEmpty());
        for (int i = 0; i < list.OfferX.size(); ++i)
            QVERIFY(list.OfferX[i] != QChar('0' + a.x()) || list.OfferY[i] != QChar('0' + a.y()));

        // A new offer takes the marks of the old one away.
        NETZ->Tel = TTelegram();
        NETZ->Tel.Aktion = akBingo;
        NETZ->Tel.x = 1;
        NETZ->Tel.Data = 1;
        NETZ->Tel.SetText(QString("%1%2%3").arg(dc).arg(c.x()).arg(c.y()));
        NETZ->OnBingo();
        QCOMPARE(Form1->Cells[b.x()][b.y()].BingoMark, uint8_t(0));
        QCOMPARE(Form1->Cells[c.x()][c.y()].BingoMark, uint8_t(1));
        QCOMPARE(list.OfferValues, QString::number(dc));
    }

    // ---- scoring ---------------------------------------------------------------

    void resultsOutOfRangeAreIgnored_data()
    {
        QTest::addColumn<int>("aktion");
        QTest::addColumn<int>("value");
        QTest::newRow("126 count above the board") << int(akCounts) << 500;
        QTest::newRow("126 count 82") << int(akCounts) << 82;
        QTest::newRow("126 negative count") << int(akCounts) << -1;
        QTest::newRow("116 status -3") << int(akPenalty) << -3;
        QTest::newRow("116 lowest status") << int(akPenalty) << int(INT32_MIN);
    }
    void resultsOutOfRangeAreIgnored()
    {
        startHostedGame(2, false);
        const int freeBefore = Form1->Players[2].FreeCells;
        QFETCH(int, aktion);
        QFETCH(int, value);
        NETZ->Tel = TTelegram();
        NETZ->Tel.Aktion = aktion;
        NETZ->Tel.Gid = 2;
        NETZ->Tel.x = NETZ->Tel.a = NETZ->Tel.z = value;
        if (aktion == akCounts)
            NETZ->OnCounts();
        else
            NETZ->OnPenalty();
        QCOMPARE(Form1->Players[2].FreeCells, freeBefore);
        QVERIFY(!Form1->Players[2].GameOver);
        QVERIFY(Form1->Players[2].Active);
        QCOMPARE(Form1->Players[2].WaitSeconds, 0);
        // The edges of the ranges are taken.
        NETZ->Tel.x = NETZ->Tel.a = NETZ->Tel.z = aktion == akCounts ? 81 : -2;
        if (aktion == akCounts) {
            NETZ->OnCounts();
            QCOMPARE(Form1->Players[2].FreeCells, 81);
        } else {
            NETZ->OnPenalty();
            QVERIFY(Form1->Players[2].GameOver);
            QVERIFY(!Form1->Players[2].Active);
        }
    }

    // The same checks where the handlers run on the local path: one count or
    // score off the board and the whole telegram changes nothing.
    void countsAndStatsOffTheBoardAreIgnored_data()
    {
        QTest::addColumn<int>("aktion");
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("value");
        QTest::newRow("126 wrong count 82") << int(akCounts) << "b" << 82;
        QTest::newRow("126 shared-free count -1") << int(akCounts) << "z" << -1;
        QTest::newRow("111 found 2123") << int(akStats) << "y" << 2123;
        QTest::newRow("111 negative errors") << int(akStats) << "z" << -5;
        QTest::newRow("111 points beyond any board") << int(akStats) << "x" << 5000;
        QTest::newRow("111 bonus beyond any board") << int(akStats) << "a" << 730;
    }
    void countsAndStatsOffTheBoardAreIgnored()
    {
        QFETCH(int, aktion);
        QFETCH(QString, field);
        QFETCH(int, value);
        startHostedGame(2, false);
        const TPlayerRecord before = Form1->Players[2];
        NETZ->Tel = TTelegram();
        NETZ->Tel.Aktion = aktion;
        NETZ->Tel.Gid = 2;
        // In range but for the one field: a, the count in use, says 3.
        NETZ->Tel.x = 7;
        NETZ->Tel.y = 2;
        NETZ->Tel.z = 1;
        NETZ->Tel.a = 3;
        NETZ->Tel.b = 1;
        int32_t *fields[] = {&NETZ->Tel.x, &NETZ->Tel.y, &NETZ->Tel.z, &NETZ->Tel.a, &NETZ->Tel.b};
        *fields[QStringLiteral("xyzab").indexOf(field)] = value;
        auto handle = [&] {
            if (aktion == akCounts)
                NETZ->OnCounts();
            else
                NETZ->OnStats();
        };
        handle();
        const TPlayerRecord &r = Form1->Players[2];
        QCOMPARE(r.FreeCells, before.FreeCells);
        QCOMPARE(r.Points, before.Points);
        QCOMPARE(r.Found, before.Found);
        QCOMPARE(r.Errors, before.Errors);
        QCOMPARE(r.Bonus, before.Bonus);
        QCOMPARE(r.SampleCount, before.SampleCount);
        QVERIFY(hasTraceLine("von Spieler 2 ignoriert"));
        // The field back in range: the telegram is taken.
        *fields[QStringLiteral("xyzab").indexOf(field)] = field == "y" || field == "x" ? 2 : 1;
        handle();
        if (aktion == akCounts) {
            QCOMPARE(r.FreeCells, 3);
        } else {
            QCOMPARE(r.Found, NETZ->Tel.y);
            QCOMPARE(r.SampleCount, before.SampleCount + 1);
        }
    }

    void penaltyRules_data()
    {
        QTest::addColumn<int>("rating");
        QTest::addColumn<int>("errorsBefore");
        QTest::addColumn<int>("last");
        QTest::addColumn<int>("penalty");
        QTest::newRow("1 first") << 1 << 0 << 0 << 5;
        QTest::newRow("1 later") << 1 << 3 << 5 << 5;
        QTest::newRow("2 first") << 2 << 0 << 0 << 5;
        QTest::newRow("2 second in a row") << 2 << 1 << 5 << 10;
        QTest::newRow("2 third in a row") << 2 << 2 << 10 << 15;
        QTest::newRow("2 after a right entry") << 2 << 2 << 0 << 5;
        QTest::newRow("2 after a logoff") << 2 << 2 << -2 << 5;
        QTest::newRow("3 first") << 3 << 0 << 0 << 10;
        QTest::newRow("3 second") << 3 << 1 << 10 << -1;
        QTest::newRow("4 first") << 4 << 0 << 0 << -1;
    }
    void penaltyRules()
    {
        QFETCH(int, rating);
        QFETCH(int, errorsBefore);
        QFETCH(int, last);
        QFETCH(int, penalty);
        QCOMPARE(PenaltyForError(rating, errorsBefore, last), penalty);
    }

    void pointRules_data()
    {
        QTest::addColumn<int>("rating");
        QTest::addColumn<int>("base");
        QTest::addColumn<int>("bonus");
        QTest::addColumn<int>("errors");
        QTest::addColumn<int>("points");
        QTest::newRow("1") << 1 << 10 << 4 << 3 << 31;
        QTest::newRow("1 below 0") << 1 << 0 << 0 << 3 << 0;
        QTest::newRow("2") << 2 << 10 << 4 << 3 << 18;
        QTest::newRow("3 one error") << 3 << 10 << 4 << 1 << 11;
        QTest::newRow("3 two errors") << 3 << 10 << 4 << 2 << 0;
        QTest::newRow("4 clean") << 4 << 10 << 4 << 0 << 14;
        QTest::newRow("4 one error") << 4 << 10 << 4 << 1 << 0;
    }
    void pointRules()
    {
        QFETCH(int, rating);
        QFETCH(int, base);
        QFETCH(int, bonus);
        QFETCH(int, errors);
        QFETCH(int, points);
        QCOMPARE(PointsForGame(rating, base, bonus, errors), points);
    }

    void unusedMarksEarnTheBonus()
    {
        QCOMPARE(MarkBonusPoints(true, 4, 1, 5), 15);
        QCOMPARE(MarkBonusPoints(false, 4, 1, 5), 0);
        QCOMPARE(MarkBonusPoints(true, 2, 3, 5), 0);

        SetGameOptions(4, true, true, 4, true);
        QVERIFY(StartSingleGame(PuzzleWithOpenCells(5)));
        log->All.clear();
        Form1->Players[1].UsedMarks = 2;
        NETZ->SendUsedMarks();
        QCOMPARE(log->OfKind(akUsedMarks)[0].x, 2);
        for (int i = 1; i <= 5; ++i)
            enter(1, i, true);
        QVERIFY(!Form1->GameRunning);
        QCOMPARE(Form1->Players[1].Bonus, 10);
        QCOMPARE(Form1->Players[1].Points, 15);
        QCOMPARE(Form1->EndPlayerRows[1].BonusLabel->text(), QString("10"));
    }

    void theScoreCountsTheBoard_data()
    {
        QTest::addColumn<bool>("immediate");
        QTest::addColumn<bool>("own");
        QTest::addColumn<bool>("ghost");
        QTest::addColumn<int>("found");
        QTest::addColumn<int>("errors");
        QTest::addColumn<int>("free");
        // Layer 1 holds: cell 1 right, cell 2 wrong (both the player's);
        // cell 3 claimed by player 2 on layer 0; cells 4 and 5 open.
        QTest::newRow("at once, own board") << true << true << false << 1 << 0 << 3;
        QTest::newRow("at once, shared board") << true << false << false << 0 << 0 << 4;
        QTest::newRow("at once, ghost game") << true << true << true << 1 << 0 << 2;
        QTest::newRow("at the end") << false << true << false << 1 << 1 << 3;
    }
    void theScoreCountsTheBoard()
    {
        QFETCH(bool, immediate);
        QFETCH(bool, own);
        QFETCH(bool, ghost);
        QFETCH(int, found);
        QFETCH(int, errors);
        QFETCH(int, free);
        TBoards boards;
        const QString puzzle = PuzzleWithOpenCells(5);
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x) {
                const QChar c = puzzle[(y - 1) * 9 + x - 1];
                boards[0][x][y] = TGridEntry{SolutionDigit(x, y), c.isUpper() ? -1 : 0, 0, 0};
                boards[1][x][y] = boards[0][x][y];
            }
        auto at = [&](int layer, int i) -> TGridEntry & { return boards[layer][OpenCell(i).x()][OpenCell(i).y()]; };
        at(1, 1).State = 1;
        at(1, 2).State = 1;
        at(1, 2).Value = WrongDigit(OpenCell(2).x(), OpenCell(2).y());
        at(0, 3).State = 2;
        const TCellCount n = CountScoredCells(boards, 1, immediate, own, ghost);
        QCOMPARE(n.Found, found);
        QCOMPARE(n.Errors, errors);
        QCOMPARE(n.Free, free);
    }

    // ---- over loopback ------------------------------------------------------------------

    void anEntryOfASecondMachine()
    {
        TLoopbackPeer peer;
        QVERIFY(peer.Bind(QStringLiteral("127.0.0.2"), port));
        startHostedGame(2, false);
        QVERIFY(NETZ->SetListenerActive(true));
        NETZ->SendTimer->start(1);
        const QPoint a = OpenCell(1);
        const QPoint b = OpenCell(2);
        TTelegram entry;
        entry.Aktion = akEntry;
        entry.Gid = 2;
        entry.x = a.x();
        entry.y = a.y();
        entry.z = SolutionDigit(a.x(), a.y());
        peer.SendToHost(entry);
        QVERIFY(runUntil([&] { return peer.Has(akStats); }, 5000));
        QCOMPARE(int(peer.Received.size()), 3);
        QCOMPARE(peer.Received[0].Tel.Aktion, int(akCounts));
        QCOMPARE(peer.Received[0].Tel.Gid, 2);
        QCOMPARE(peer.Received[0].Tel.a, 4);
        QCOMPARE(peer.Received[1].Tel.Aktion, int(akCellResult));
        QCOMPARE(peer.Received[1].Tel.Gid, 2);
        QCOMPARE(peer.Received[1].Tel.z, entry.z);
        QCOMPARE(peer.Received[1].Tel.a, 0);
        QCOMPARE(peer.Received[2].Tel.Aktion, int(akStats));
        QCOMPARE(peer.Received[2].Tel.y, 1);
        // The host's own screen is not told of another player's own board.
        QCOMPARE(Form1->Cells[a.x()][a.y()].ShowMarks, uint8_t(1));

        peer.Received.clear();
        entry.x = b.x();
        entry.y = b.y();
        entry.z = WrongDigit(b.x(), b.y());
        peer.SendToHost(entry);
        QVERIFY(runUntil([&] { return peer.Has(akStats); }, 5000));
        QList<int> got;
        for (const TLoopbackPeer::TReceived &r : peer.Received)
            got << r.Tel.Aktion;
        QCOMPARE(got, QList<int>({akCounts, akCounts, akBlink, akPenalty, akStats}));
        const TTelegram penalty = peer.OfKind(akPenalty)[0];
        QCOMPARE(penalty.Gid, 2);
        QCOMPARE(penalty.x, 5);
        QCOMPARE(penalty.y, 1);
        QCOMPARE(peer.OfKind(akBlink)[0].z, entry.z);
        QCOMPARE(Form1->Players[2].Found, 1);
        QCOMPARE(Form1->Players[2].Errors, 1);
        QCOMPARE(Form1->Players[2].Penalty, 5);
        QVERIFY(runUntil([] { return NETZ->QueuedCount(1) + NETZ->QueuedCount(2) == 0; }, 5000));
        // The host saw its own copies: the blink of player 2's digit.
        QCOMPARE(Form1->Cells[b.x()][b.y()].BlinkTicks, 6);
    }

    // The host puts itself out with a wrong digit, the second machine plays
    // the board to its end: the host's end table gives every player the
    // free cells the second machine was told, its own row included.
    void theHostPutOutCountsAsTheOthersSeeIt()
    {
        TLoopbackPeer peer;
        QVERIFY(peer.Bind(QStringLiteral("127.0.0.2"), port));
        SetGameOptions(4, true, true);
        startHostedGame(2, false);
        QVERIFY(NETZ->SetListenerActive(true));
        NETZ->SendTimer->start(1);
        const QPoint c = OpenCell(1);
        NETZ->EnterNumber(c.x(), c.y(), WrongDigit(c.x(), c.y()));
        // The host's own result comes back to it over the wire.
        QVERIFY(runUntil([&] { return Form1->Cells[c.x()][c.y()].DigitColor == 255; }, 5000));
        QVERIFY(Form1->Players[1].GameOver);
        QCOMPARE(Form1->Boards[1][c.x()][c.y()].State, 0);
        QVERIFY(Form1->GameRunning);

        for (int i = 1; i <= 5; ++i) {
            TTelegram entry;
            entry.Aktion = akEntry;
            entry.Gid = 2;
            entry.x = OpenCell(i).x();
            entry.y = OpenCell(i).y();
            entry.z = SolutionDigit(entry.x, entry.y);
            peer.SendToHost(entry);
        }
        QVERIFY(runUntil([&] { return peer.Has(akEndOfGame); }, 5000));
        QVERIFY(runUntil([] { return FormSpielEnde->isVisible(); }, 5000));
        int seen[3] = {-1, -1, -1};
        for (const TTelegram &t : peer.OfKind(akCounts))
            if (t.Gid == 1 || t.Gid == 2)
                seen[t.Gid] = t.a;
        QCOMPARE(seen[1], 5);
        QCOMPARE(seen[2], 0);
        for (int p = 1; p <= 2; ++p) {
            QCOMPARE(Form1->Players[p].FreeCells, seen[p]);
            QCOMPARE(Form1->EndPlayerRows[p].FreeLabel->text(), QString::number(seen[p]));
        }
        QCOMPARE(Form1->EndPlayerRows[1].FoundLabel->text(), QString("0"));
        QCOMPARE(Form1->EndPlayerRows[2].FoundLabel->text(), QString("5"));
        QVERIFY(runUntil([] { return NETZ->QueuedCount(1) + NETZ->QueuedCount(2) == 0; }, 5000));
    }
};

QTEST_MAIN(TstJudging)
#include "tst_judging.moc"
