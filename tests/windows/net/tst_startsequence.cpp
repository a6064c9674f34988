// The start of a game: symbols, options, the start phases with the board in
// three chunks, the ready reports and the countdown, on the local path of a
// single game and over loopback to a second machine.
#include "GameSupport.h"
#include "HostScript.h"
#include "board/UFeld.h"
#include "board/ULog.h"
#include "board/UMeldung.h"
#include "board/Usounds.h"
#include "common/LoopbackPeer.h"
#include "common/OptionSets.h"
#include "competitions/Ughost.h"
#include "net/UNETZ_Rules.h"
#include "screens/UOptionen.h"
#include "settings/USonstiges.h"
#include "solver/UBingo.h"
#include "solver/USolver.h"

#include <QCloseEvent>
#include <QDir>
#include <QtTest>

Q_DECLARE_METATYPE(TGameOptionValues)

namespace {
// The options of the window as the options telegram carries them.
TPackedOptions packedNow()
{
    NETZ->Tel = TTelegram();
    NETZ->EncodeOptions();
    return PackedOptionsOf(NETZ->Tel);
}

// Sets the options through the window's own setters and radio buttons.
void applyOptions(const TGameOptionValues &v)
{
    SetGameOptions(v.Rating, v.Immediate, v.OwnBoard, v.MaxMarks, v.MarkBonus);
    FormGO->SetImport(v.Import ? 1 : 0);
    FormGO->SetGameType(v.SymbolKind);
    FormGO->SetLevel(v.Level);
    if (v.Bingo) {
        SetBingoChange(v.BingoChange);
        SetBingoKind(v.BingoFields ? 2 : 1);
        SetBingoFill(v.BingoFill);
        FormGO->BingoMax->setValue(v.BingoMax);
        FormGO->SetGameType(4);
    }
}

void startPhase(int phase, int chunk = 0, const QString &text = QString())
{
    NETZ->Tel = TTelegram();
    NETZ->Tel.Aktion = akStartPhase;
    NETZ->Tel.a = phase;
    NETZ->Tel.y = chunk;
    NETZ->Tel.Data = text.isEmpty() ? 0 : 1;
    NETZ->Tel.SetText(text);
    NETZ->OnStartPhase();
}

bool layerEquals(int layer, int ref, bool wholeBoard)
{
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            const TGridEntry &a = Form1->Boards[layer][x][y];
            const TGridEntry &b = Form1->Boards[ref][x][y];
            if (!wholeBoard && b.State == 0)
                continue;
            if (a.Value != b.Value || a.State != b.State)
                return false;
        }
    return true;
}
} // namespace

class TstStartSequence : public TGameTest {
    Q_OBJECT
private slots:
    void initTestCase() { SetUpGameTest(); }
    void cleanupTestCase() { TearDownGameTest(); }
    void init() { ResetGameTest(); }
    void cleanup() { CheckGameTest(); }

    // ---- the local path of a single game ---------------------------------

    void singleGameRunsTheWholeSequenceLocally()
    {
        const QString puzzle = PuzzleWithOpenCells(5);
        const QString symbols = QStringLiteral("ABCDEFGHI");
        BecomeHostOf(1, true);
        Vorgabe->SpielVorgabe->setText(puzzle + QStringLiteral("SS014") + symbols);
        Form1->Players[1].Errors = 3;
        Form1->Players[1].Samples[0].Found = 9;
        Form1->Players[1].SampleCount = 7;
        Form1->StartGame();

        // 122, then phases 6, 5 (three chunks) and 4, whose ready report runs
        // the host's handler at once; the options are only for network games.
        const std::vector<TTelegram> &t = log->All;
        QCOMPARE(int(t.size()), 7);
        QCOMPARE(t[0].Aktion, int(akSymbols));
        QCOMPARE(t[0].Text(), symbols);
        QCOMPARE(t[0].Data, uint8_t(1));
        for (int i = 1; i <= 5; ++i)
            QCOMPARE(t[size_t(i)].Aktion, int(akStartPhase));
        QCOMPARE(t[1].a, 6);
        for (int chunk = 0; chunk < 3; ++chunk) {
            const TTelegram &c = t[size_t(2 + chunk)];
            QCOMPARE(c.a, 5);
            QCOMPARE(c.y, chunk);
            QCOMPARE(c.Text(), puzzle.mid(27 * chunk, 27));
        }
        QCOMPARE(t[5].a, 4);
        QCOMPARE(t[6].Aktion, int(akReady));
        QCOMPARE(t[6].Gid, 1);
        QCOMPARE(log->Count(akOptions), 0);

        QCOMPARE(Form1->SymbolSet, symbols);
        QVERIFY(Form1->GameStarting);
        QVERIFY(!Form1->GameRunning);
        QVERIFY(Form1->Players[1].Ready);
        QCOMPARE(Form1->Players[1].Errors, 0);
        QCOMPARE(Form1->Players[1].SampleCount, 0);
        QCOMPARE(Form1->Players[1].Samples[0].Found, 0);
        QVERIFY(NETZ->StartTimer->isActive());
        QCOMPARE(NETZ->StartTimer->Tag, 1);
        QCOMPARE(FormMeld->MeldTXT->text(), QString("Sync..."));
        QCOMPARE(Form1->Panel_Einzel->height(), 44);
        QVERIFY(hasTraceLine("Brett zurückgesetzt"));
        QCOMPARE(sounds, QStringList({"gamestart.wav"}));
        QVERIFY(hasTraceLine("inFeld:" + puzzle));
        QVERIFY(!FormSolver->GameGrid.Initialised);

        // The host judges on a full copy of the reference board; every
        // machine shows the givens in their symbols.
        QVERIFY(layerEquals(1, 0, true));
        const QPoint g = GivenCell();
        QCOMPARE(Form1->Cells[g.x()][g.y()].DigitLabel.Caption(), symbols.mid(SolutionDigit(g.x(), g.y()) - 1, 1));
        QCOMPARE(Form1->Cells[g.x()][g.y()].ShowMarks, uint8_t(0));
        QCOMPARE(Form1->Cells[g.x()][g.y()].Owner, -1);
        const QPoint o = OpenCell(1);
        QCOMPARE(Form1->Cells[o.x()][o.y()].ShowMarks, uint8_t(1));
        QCOMPARE(Form1->Cells[o.x()][o.y()].DigitLabel.Caption(), QString());

        // One second after the sync the game starts.
        log->All.clear();
        TTestFixture::Now += kSecond;
        NETZ->StartTimer->stop();
        NETZ->StartTimerTimer();
        QCOMPARE(int(t.size()), 2);
        QCOMPARE(t[0].Aktion, int(akCounts));
        QCOMPARE(t[0].Gid, 0);
        QCOMPARE(t[0].a, 5);
        QCOMPARE(t[1].Aktion, int(akStartPhase));
        QCOMPARE(t[1].a, 0);
        QCOMPARE(t[1].b, 5);
        QVERIFY(!NETZ->StartTimer->isActive());

        QVERIFY(Form1->GameRunning);
        QVERIFY(!Form1->GameStarting);
        QCOMPARE(Form1->GameStartCount, TTestFixture::Now);
        QCOMPARE(Form1->ClockPenaltySeconds, 0);
        QCOMPARE(Form1->Players[1].FreeCells, 5);
        QVERIFY(!Form1->brett->isHidden());
        QVERIFY(Form1->BTC_Spiel_Ende->isEnabled());
        QVERIFY(!FormMeld->isVisible());
        const QString line = Vorgabe->GespielteSpiele->Item(0);
        QVERIFY2(line.startsWith("Gestartet :"), qPrintable(line));
        QVERIFY2(line.endsWith(" Spielcode >" + puzzle + Form1->BuildOptionsCode() + symbols), qPrintable(line));
    }

    void startOfAStageClearsTheLastGame()
    {
        // A found cell, a blink, marks and a penalty left by the last game.
        QVERIFY(StartSingleGame(PuzzleWithOpenCells(3)));
        const QPoint o = OpenCell(1);
        NETZ->EnterNumber(o.x(), o.y(), SolutionDigit(o.x(), o.y()));
        TCellView &cv = Form1->Cells[o.x()][o.y()];
        cv.BlinkTicks = 3;
        Form1->Cells[4][4].Mark(2).State = 1;
        QCOMPARE(Form1->Players[1].Found, 1);

        QVERIFY(StartSingleGame(PuzzleWithOpenCells(3)));
        QCOMPARE(Form1->Players[1].Found, 0);
        QCOMPARE(Form1->Players[1].FreeCells, 3);
        QCOMPARE(Form1->Boards[1][o.x()][o.y()].State, 0);
        QCOMPARE(cv.Owner, 0);
        QCOMPARE(cv.BlinkTicks, 0);
        QCOMPARE(cv.HighlightTicks, 0);
        QCOMPARE(cv.ShowMarks, uint8_t(1));
        QCOMPARE(cv.DigitLabel.Caption(), QString());
        QVERIFY(cv.Background.Shows(FormOpt->orgFest));
        QCOMPARE(Form1->Cells[4][4].Mark(2).State, 0);
    }

    void startAfterASharedBoardGameLeavesNoOldDigitInAnyLayer()
    {
        // A shared-board game refills only the active players' layers; the
        // digits other slots held must not survive into the next game.
        SetGameOptions(1, true, false);
        const QPoint o = OpenCell(1);
        for (int p = 2; p <= 8; ++p) {
            Form1->Boards[p][o.x()][o.y()].Value = SolutionDigit(o.x(), o.y());
            Form1->Boards[p][o.x()][o.y()].State = 1;
        }
        QVERIFY(StartSingleGame(PuzzleWithOpenCells(3)));
        for (int p = 2; p <= 8; ++p)
            for (int y = 1; y <= 9; ++y)
                for (int x = 1; x <= 9; ++x) {
                    QCOMPARE(Form1->Boards[p][x][y].State, 0);
                    QCOMPARE(Form1->Boards[p][x][y].Value, 0);
                }
        QVERIFY(IsCellFreeOnAllLayers(Form1->Boards, o.x(), o.y()));
        QCOMPARE(Form1->Players[1].FreeCells, 3);
    }

    // ---- symbols ----------------------------------------------------------

    void symbolsRelabelEveryMark_data()
    {
        QTest::addColumn<QString>("symbols");
        QTest::newRow("digits") << QString("123456789");
        QTest::newRow("A-I") << QString("ABCDEFGHI");
        QTest::newRow("random letters") << QString("BDFHKMPRT");
    }
    void symbolsRelabelEveryMark()
    {
        QFETCH(QString, symbols);
        Form1->Cells[2][3].Mark(5).State = 1;
        FormFeld->RefreshMarks();
        Form1->SymbolSet = symbols;
        NETZ->SendSymbols();
        QCOMPARE(log->Count(akSymbols), 1);
        QCOMPARE(Form1->SymbolSet, symbols);
        for (int d = 1; d <= 9; ++d)
            QCOMPARE(Form1->Cells[7][8].Mark(d).Label.Caption(), symbols.mid(d - 1, 1));
        // Every mark was redrawn.
        for (int d = 1; d <= 9; ++d)
            QCOMPARE(Form1->Cells[2][3].Mark(d).ShownState, Form1->Cells[2][3].Mark(d).State);
        QVERIFY(Form1->Cells[2][3].Mark(5).Image.Shows(FormOpt->org1Merker));
        QVERIFY(hasTraceLine("Sende Übersetzung <" + symbols + ">"));
        Form1->Cells[2][3].Mark(5).State = 0;
        FormFeld->RefreshMarks();
    }

    // ---- options ------------------------------------------------------------

    void optionsPackAndUnpack_data()
    {
        QTest::addColumn<TGameOptionValues>("options");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::addColumn<int>("z");
        QTest::addColumn<int>("gid");
        QTest::newRow("sudoku") << OptionSet(2, false, 0, 1, false, 1, true, true) << 2 << 0 << 0 << 1 << 1 << 1;
        QTest::newRow("letters, bonus, at the end")
            << OptionSet(4, true, 2, 2, false, 4, false, true) << 14 << 12 << 0 << 0 << 1 << 4;
        QTest::newRow("random letters with import")
            << OptionSet(0, false, 3, 3, true, 3, true, false) << 0 << 123 << 0 << 1 << 0 << 3;
        QTest::newRow("Bingo fields, random, when empty, 3")
            << BingoOptionSet(3, 2, true, 2) << 2 << 1 << 2123 << 1 << 0 << 2;
        QTest::newRow("Bingo numbers, fixed, at once, 1")
            << BingoOptionSet(1, 1, false, 0) << 2 << 1 << 11 << 1 << 0 << 2;
        QTest::newRow("Bingo numbers, alternating, 4")
            << BingoOptionSet(4, 2, false, 1) << 2 << 1 << 1024 << 1 << 0 << 2;
    }
    void optionsPackAndUnpack()
    {
        QFETCH(TGameOptionValues, options);
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(int, a);
        QFETCH(int, b);
        QFETCH(int, z);
        QFETCH(int, gid);
        const TPackedOptions p = PackOptions(options);
        QCOMPARE(p.x, x);
        QCOMPARE(p.y, y);
        QCOMPARE(p.a, a);
        QCOMPARE(p.b, b);
        QCOMPARE(p.z, z);
        QCOMPARE(p.Gid, gid);
        QVERIFY(PackedOptionsInRange(p.x, p.y, p.a, p.b, p.z, p.Gid));
        QVERIFY(UnpackOptions(p) == options);

        // The window's options make the same telegram, and a client that
        // receives it ends up with the same options.
        FormStart->PlayMode = 20;
        applyOptions(options);
        QVERIFY(packedNow() == p);
        const TTelegram sent = NETZ->Tel;

        applyOptions(OptionSet(9, false, 1, 1, false, 1, true, true));
        QVERIFY(!(packedNow() == p));
        NETZ->MyPlayerNo = 2;
        NETZ->Tel = sent;
        NETZ->Tel.Aktion = akOptions;
        NETZ->OnOptions();
        QVERIFY(packedNow() == p);
        QVERIFY(hasTraceLine("Erhalte Optionen:"));
    }

    void clientKeepsItsOwnFolderRotationAndMixing()
    {
        FormStart->PlayMode = 20;
        NETZ->MyPlayerNo = 2;
        const QString dir = fx->Dir() + "/eigene";
        QDir().mkpath(dir);
        // Bingo stays off: its settings are whatever the last test left.
        TGameOptionValues mine = FormGO->Values();
        mine.Bingo = false;
        mine.SymbolKind = 1;
        mine.Import = true;
        mine.ImportDir = QDir::toNativeSeparators(dir);
        mine.Rotation = true;
        mine.Mix = true;
        FormGO->UnlockOptionCaptions();
        FormGO->Apply(mine);
        QVERIFY(FormGO->Values() == mine);

        // The host's options do not carry them: with import on they stay.
        TGameOptionValues host = OptionSet(4, false, 2, 2, true, 3, true, false);
        auto receive = [](const TGameOptionValues &v) {
            NETZ->Tel = TTelegram();
            NETZ->Tel.Aktion = akOptions;
            PutPackedOptions(NETZ->Tel, PackOptions(v));
            NETZ->OnOptions();
        };
        receive(host);
        // Without Bingo the client's Bingo settings stay too.
        TGameOptionValues expected = host;
        expected.BingoMax = mine.BingoMax;
        expected.BingoFill = mine.BingoFill;
        expected.BingoFields = mine.BingoFields;
        expected.BingoChange = mine.BingoChange;
        expected.ImportDir = mine.ImportDir;
        expected.Rotation = true;
        expected.Mix = true;
        QVERIFY(FormGO->Values() == expected);
        QCOMPARE(RegReadInteger("Rotation", -1), 1);
        QCOMPARE(RegReadInteger("Mixen", -1), 1);

        // Import off takes rotation and mixing with it; the folder stays.
        host.Import = false;
        receive(host);
        expected.Import = false;
        expected.Rotation = false;
        expected.Mix = false;
        QVERIFY(FormGO->Values() == expected);
        QCOMPARE(RegReadInteger("Rotation", -1), 0);
        QCOMPARE(RegReadInteger("Mixen", -1), 0);
    }

    void hostKeepsItsOwnOptions()
    {
        FormStart->PlayMode = 20;
        const TGameOptionValues mine = OptionSet(3, false, 2, 1, false, 2, true, true);
        applyOptions(mine);
        const TPackedOptions before = packedNow();
        NETZ->MyPlayerNo = 1;
        const TPackedOptions p = PackOptions(OptionSet(7, false, 0, 2, false, 1, false, true));
        NETZ->Tel = TTelegram();
        NETZ->Tel.Aktion = akOptions;
        PutPackedOptions(NETZ->Tel, p);
        NETZ->OnOptions();
        QVERIFY(packedNow() == before);
        QVERIFY(FormGO->BTC64->isEnabled());
    }

    void optionsGoOutOnlyWhileHosting()
    {
        BecomeHostOf(2, false);
        NETZ->SendOptions();
        QCOMPARE(NETZ->QueuedCount(1) + NETZ->QueuedCount(2), 0);
        // Hosting, listener off: the options have no local path, they wait.
        Form1->HostsNetworkGame = true;
        NETZ->SendOptions();
        QCOMPARE(NETZ->QueuedCount(1), 1);
        QCOMPARE(NETZ->QueuedCount(2), 1);
        QCOMPARE(log->Count(akOptions), 0);
        QVERIFY(hasTraceLine("Sende Optionen"));
    }

    // ---- the board chunks ---------------------------------------------------

    void chunksArePlacedByTheirNumber_data()
    {
        QTest::addColumn<QString>("order");
        QTest::addColumn<bool>("loaded");
        QTest::newRow("in order") << QString("0 1 2") << true;
        QTest::newRow("a chunk repeated") << QString("0 1 1 2") << true;
        QTest::newRow("the first repeated late") << QString("0 1 0 2") << true;
        QTest::newRow("out of order") << QString("1 0 2") << true;
        QTest::newRow("the last repeated") << QString("0 1 2 2") << true;
        QTest::newRow("a chunk number above 2") << QString("0 1 3 2") << true;
        QTest::newRow("the middle missing") << QString("0 2") << false;
        QTest::newRow("an unreadable chunk") << QString("0 x 2") << false;
    }
    void chunksArePlacedByTheirNumber()
    {
        QFETCH(QString, order);
        QFETCH(bool, loaded);
        const QString puzzle = PuzzleWithOpenCells(6);
        // A client: its board arrives in the chunks.
        BecomeHostOf(2, false);
        NETZ->MyPlayerNo = 2;
        Form1->LoadPuzzleString(PuzzleWithOpenCells(1).toLower());
        const QString before = Form1->BuildPuzzleString();
        startPhase(6);
        QCOMPARE(NETZ->BoardText, QString());
        for (const QString &c : order.split(' ')) {
            if (c == "x") {
                startPhase(5, 1, QStringLiteral("#").repeated(27));
                continue;
            }
            const int chunk = c.toInt();
            startPhase(5, chunk, chunk <= 2 ? puzzle.mid(27 * chunk, 27) : QStringLiteral("abc"));
        }
        QCOMPARE(Form1->BuildPuzzleString(), loaded ? puzzle : before);
        if (loaded) {
            // The client's own layer gets the givens only.
            QVERIFY(layerEquals(2, 0, false));
            const QPoint o = OpenCell(1);
            QCOMPARE(Form1->Boards[2][o.x()][o.y()].State, 0);
        } else {
            QVERIFY(hasTraceLine("ERROR: Ungültiges Brett empfangen"));
        }
    }

    void hostCopiesTheBoardToEveryActivePlayer()
    {
        BecomeHostOf(3, false);
        Form1->Players[3].Active = false;
        Form1->LoadPuzzleString(PuzzleWithOpenCells(4));
        for (int x = 1; x <= 9; ++x)
            Form1->Boards[3][x][5] = TGridEntry{7, 3, 0, 0};
        startPhase(6);
        const QString puzzle = Form1->BuildPuzzleString();
        for (int chunk = 0; chunk < 3; ++chunk)
            startPhase(5, chunk, puzzle.mid(27 * chunk, 27));
        QVERIFY(layerEquals(1, 0, true));
        QVERIFY(layerEquals(2, 0, true));
        // Open cells hold the solution digit, State 0.
        const QPoint o = OpenCell(2);
        QCOMPARE(Form1->Boards[2][o.x()][o.y()].Value, SolutionDigit(o.x(), o.y()));
        QCOMPARE(Form1->Boards[2][o.x()][o.y()].State, 0);
        // An inactive slot is left out (its layer was cleared with the own boards).
        QCOMPARE(Form1->Boards[3][1][5].State, 0);
        QCOMPARE(Form1->Boards[3][1][5].Value, 0);
    }

    // ---- ready reports and the countdown ------------------------------------

    void countdownWaitsForEveryPlayer()
    {
        BecomeHostOf(3, false);
        Form1->LoadPuzzleString(PuzzleWithOpenCells(4));
        NETZ->StartNetworkGame();
        QVERIFY(Form1->GameStarting);
        // The host's own report came on the local path; players 2 and 3 are missing.
        QVERIFY(Form1->Players[1].Ready);
        QVERIFY(!NETZ->StartTimer->isActive());
        NETZ->Tel = TTelegram();
        NETZ->Tel.Aktion = akReady;
        NETZ->Tel.Gid = 3;
        NETZ->OnReady();
        QVERIFY(!NETZ->StartTimer->isActive());
        NETZ->Tel.Gid = 2;
        NETZ->OnReady();
        QVERIFY(NETZ->StartTimer->isActive());
        QCOMPARE(NETZ->StartTimer->Tag, 4);
        NETZ->StartTimer->stop();

        log->All.clear();
        for (int phase = 3; phase >= 1; --phase) {
            NETZ->StartTimerTimer();
            QCOMPARE(FormMeld->MeldTXT->text(), QString("Start %1").arg(phase));
            QVERIFY(!Form1->GameRunning);
        }
        NETZ->StartTimerTimer();
        QVERIFY(Form1->GameRunning);
        const std::vector<TTelegram> &t = log->All;
        QCOMPARE(int(t.size()), 5);
        QCOMPARE(t[0].a, 3);
        QCOMPARE(t[1].a, 2);
        QCOMPARE(t[2].a, 1);
        QCOMPARE(t[3].Aktion, int(akCounts));
        QCOMPARE(t[4].a, 0);
        QCOMPARE(t[4].b, 4);
        for (int p = 1; p <= 3; ++p)
            QCOMPARE(Form1->Players[p].FreeCells, 4);
    }

    void aGhostGameStartsAtTheFirstReport()
    {
        BecomeHostOf(3, true);
        FormGhost->GhostMode = true;
        Form1->GameStarting = true;
        NETZ->Tel = TTelegram();
        NETZ->Tel.Aktion = akReady;
        NETZ->Tel.Gid = 1;
        NETZ->OnReady();
        QVERIFY(NETZ->StartTimer->isActive());
        QCOMPARE(NETZ->StartTimer->Tag, 1);
    }

    void strayReadyReportsChangeNothing_data()
    {
        QTest::addColumn<int>("myNumber");
        QTest::addColumn<bool>("starting");
        QTest::newRow("host, game running") << 1 << false;
        QTest::newRow("client during a start") << 2 << true;
    }
    void strayReadyReportsChangeNothing()
    {
        QFETCH(int, myNumber);
        QFETCH(bool, starting);
        BecomeHostOf(1, true);
        NETZ->MyPlayerNo = myNumber;
        Form1->GameRunning = !starting;
        Form1->GameStarting = starting;
        NETZ->Tel = TTelegram();
        NETZ->Tel.Aktion = akReady;
        NETZ->Tel.Gid = 1;
        NETZ->OnReady();
        QVERIFY(!NETZ->StartTimer->isActive());
        QVERIFY(!Form1->Players[1].Ready);
    }

    // ---- over the network -------------------------------------------------------

    void hostIsStartingBeforeItsOwnPhaseComesBack()
    {
        BecomeHostOf(2, false);
        Form1->HostsNetworkGame = true;
        Form1->LoadPuzzleString(PuzzleWithOpenCells(4));
        QVERIFY(NETZ->SetListenerActive(true));
        NETZ->OutgoingFilter = [](const QByteArray &, const QString &) { return false; };
        NETZ->SendSymbols();
        NETZ->SendOptions();
        NETZ->StartNetworkGame();
        // Nothing has come back yet, but the host is already starting.
        QVERIFY(log->All.empty());
        QVERIFY(Form1->GameStarting);
        // 122, 101, 107/6, three chunks, 107/4 for each player.
        QCOMPARE(NETZ->QueuedCount(1), 7);
        QCOMPARE(NETZ->QueuedCount(2), 7);

        // A third machine logs in now: it gets no slot.
        TTelegram login;
        login.Aktion = akLogin;
        login.ACK = -1;
        login.Data = 1;
        login.SetText(QStringLiteral("Zu spät"));
        NETZ->UDPEmpfUDPRead(EncodeTelegram(login), QStringLiteral("127.0.0.3"));
        QCOMPARE(log->Count(akLogin), 1);
        QVERIFY(Form1->Players[3].Address.isEmpty());
        QVERIFY(!Form1->Players[3].Active);
        QCOMPARE(NETZ->QueuedCount(1), 7);
    }

    void aSecondMachineReceivesTheSequence()
    {
        TLoopbackPeer peer;
        QVERIFY(peer.Bind(QStringLiteral("127.0.0.2"), port));
        BecomeHostOf(2, false);
        FormStart->GameKind = 1;
        SetGameOptions(2, true, true, 3);
        Form1->HostsNetworkGame = true;
        // The peer answers the sync phase as a client does.
        peer.OnTelegram = [&peer](const TTelegram &t) {
            if (t.Aktion == akStartPhase && t.a == 4) {
                TTelegram ready;
                ready.Aktion = akReady;
                ready.Gid = 2;
                peer.SendToHost(ready);
            }
        };
        QVERIFY(NETZ->SetListenerActive(true));
        NETZ->SendTimer->start(1);
        Form1->StartGame();
        QVERIFY(Form1->GameStarting);
        const QString puzzle = Form1->BuildPuzzleString();
        QVERIFY(runUntil([] { return NETZ->StartTimer->isActive(); }, 5000));
        QVERIFY(Form1->Players[1].Ready);
        QVERIFY(Form1->Players[2].Ready);
        QCOMPARE(NETZ->StartTimer->Tag, 4);
        NETZ->StartTimer->stop();
        for (int i = 0; i < 4; ++i)
            NETZ->StartTimerTimer();
        QVERIFY(runUntil([&] { return peer.Has(akStartPhase, 0) && Form1->GameRunning; }, 5000));

        const auto &r = peer.Received;
        QStringList got;
        for (const TLoopbackPeer::TReceived &rec : r)
            got << QString("%1/%2").arg(rec.Tel.Aktion).arg(rec.Tel.a);
        QVERIFY2(r.size() == 12, qPrintable(got.join(' ')));
        int tan = r[0].Tel.TAN;
        for (const TLoopbackPeer::TReceived &rec : r) {
            QCOMPARE(rec.Tel.ACK, 1);
            QCOMPARE(rec.Tel.Loop, 2);
            QCOMPARE(rec.Tel.TAN, tan);
            tan = (tan + 1) % kTelegramRingSize;
        }
        QCOMPARE(r[0].Tel.Aktion, int(akSymbols));
        QCOMPARE(r[0].Size, 84);
        QCOMPARE(r[0].Tel.Text(), Form1->SymbolSet);
        QCOMPARE(r[1].Tel.Aktion, int(akOptions));
        QCOMPARE(r[1].Size, 48);
        QCOMPARE(r[1].Tel.x, 3);
        QCOMPARE(r[1].Tel.b, 1);
        QCOMPARE(r[1].Tel.z, 1);
        QCOMPARE(r[1].Tel.Gid, 2);
        QCOMPARE(r[2].Tel.Aktion, int(akStartPhase));
        QCOMPARE(r[2].Tel.a, 6);
        QCOMPARE(r[2].Size, 48);
        for (int chunk = 0; chunk < 3; ++chunk) {
            const TLoopbackPeer::TReceived &c = r[size_t(3 + chunk)];
            QCOMPARE(c.Tel.a, 5);
            QCOMPARE(c.Tel.y, chunk);
            QCOMPARE(c.Size, 84);
            QCOMPARE(c.Tel.Text(), puzzle.mid(27 * chunk, 27));
        }
        QCOMPARE(r[6].Tel.a, 4);
        QCOMPARE(r[7].Tel.a, 3);
        QCOMPARE(r[8].Tel.a, 2);
        QCOMPARE(r[9].Tel.a, 1);
        int open = 0;
        for (QChar c : puzzle)
            open += c.isLower() ? 1 : 0;
        QCOMPARE(r[10].Tel.Aktion, int(akCounts));
        QCOMPARE(r[10].Tel.Gid, 0);
        QCOMPARE(r[10].Tel.a, open);
        QCOMPARE(r[11].Tel.Aktion, int(akStartPhase));
        QCOMPARE(r[11].Tel.a, 0);
        QCOMPARE(r[11].Tel.b, open);

        // The host went through the same phases through its own listener.
        QVERIFY(!Form1->GameStarting);
        QCOMPARE(Form1->Players[1].FreeCells, open);
        QCOMPARE(Form1->Players[2].FreeCells, open);
        QVERIFY(layerEquals(2, 0, true));
        QVERIFY(runUntil([] { return NETZ->QueuedCount(1) + NETZ->QueuedCount(2) == 0; }, 5000));
    }

    // A client stays in the host's game whichever way it leaves the results:
    // the host's next start finds it with its table and number, its ready
    // report reaches the host, and the start's notice goes with the start.
    void aClientPlaysTheNextRoundAfterEveryExit_data()
    {
        QTest::addColumn<QString>("exit");
        QTest::newRow("Schliessen") << "close";
        QTest::newRow("Spielfeld anzeigen") << "board";
        QTest::newRow("title bar") << "titlebar";
    }
    void aClientPlaysTheNextRoundAfterEveryExit()
    {
        QFETCH(QString, exit);
        const QString me = QStringLiteral("127.0.0.1");
        const QString hostAddress = QStringLiteral("127.0.0.2");
        TLoopbackPeer host;
        QVERIFY(host.Bind(hostAddress, port));
        Form1->ResetPlayers();
        NETZ->MyPlayerNo = 0;
        FormGO->hide();
        Form1->SinglePlayerGame = false;
        FormStart->GameKind = 1;
        QVERIFY(NETZ->SetListenerActive(true));
        NETZ->SendTimer->start(1);
        NETZ->SendLogin(hostAddress);
        THostScript script(host, me);
        const QString puzzle = PuzzleWithOpenCells(3);
        script.Entry(1, QStringLiteral("Wirt~127.0.0.2"));
        script.Entry(2, QStringLiteral("Gast~127.0.0.1"));
        script.PlayerId(2);
        QVERIFY(runUntil([] { return NETZ->MyPlayerNo == 2; }, 3000));

        // Round one, to its end.
        script.StartRound(puzzle);
        QVERIFY(runUntil([&] { return host.OfKind(akReady).size() == 1; }, 3000));
        for (int a : {3, 2, 1})
            script.Phase(a);
        script.Phase(0, 0, QString(), 3);
        QVERIFY(runUntil([] { return Form1->GameRunning; }, 3000));
        TTelegram end;
        end.Aktion = akEndOfGame;
        script.Send(end);
        QVERIFY(runUntil([] { return FormSpielEnde->isVisible(); }, 3000));

        if (exit == QLatin1String("close")) {
            FormSpielEnde->BTC_closeClick();
        } else if (exit == QLatin1String("board")) {
            FormSpielEnde->BTC_BrettClick();
        } else {
            QCloseEvent close;
            QCoreApplication::sendEvent(FormSpielEnde->windowHandle(), &close);
        }
        QVERIFY(!FormSpielEnde->isVisible());
        // Still in the host's game, not at the game options of one of its own.
        QCOMPARE(NETZ->MyPlayerNo, 2);
        QCOMPARE(Form1->CountOnlinePlayers(), 2);
        QCOMPARE(Form1->Players[1].Address, hostAddress);
        QVERIFY(!FormGO->isVisible());
        if (exit != QLatin1String("board")) {
            QVERIFY(FormMeld->isVisible());
            QCOMPARE(FormMeld->MeldTXT->text(), QString("Auf weitere Spieler warten,\n\rSpieler 1 startet das Spiel."));
            QCOMPARE(Form1->Panel_Menue->height(), 44);
        }

        // Round two: the host starts again.
        script.StartRound(puzzle);
        QVERIFY(runUntil([&] { return host.OfKind(akReady).size() == 2; }, 3000));
        QCOMPARE(host.OfKind(akReady).back().Gid, 2);
        QCOMPARE(host.ReceivedOfKind(akReady).back().From, me);
        QCOMPARE(FormMeld->MeldTXT->text(), QString("Sync..."));
        script.Phase(3);
        QVERIFY(runUntil([] { return FormMeld->MeldTXT->text() == QLatin1String("Start 3"); }, 3000));
        QVERIFY(!hasTraceLine("verweigert"));
        NETZ->SendTimer->stop();
        Form1->ResetPlayers();
        NETZ->MyPlayerNo = 0;
        Form1->Panel_Menue->resize(Form1->Panel_Menue->width(), 0);
    }
};

QTEST_MAIN(TstStartSequence)
#include "tst_startsequence.moc"
