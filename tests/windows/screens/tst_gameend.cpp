// The end-of-game dialog with its two ways out, and the replay dialog: the
// list of started games, the code to play and the refusal of unusable codes.
#include "common/Fixture.h"
#include "board/UMeldung.h"
#include "board/UQuadrivo.h"
#include "board/UQuadrivo_Builtin.h"
#include "competitions/UChallenge.h"
#include "competitions/Ughost.h"
#include "net/UNETZ.h"
#include "net/UWebForm.h"
#include "screens/UGameOptionen.h"
#include "screens/USpielEnde.h"
#include "screens/UStart.h"
#include "screens/UVorgabe.h"
#include "settings/USonstiges.h"

#include <QCloseEvent>
#include <QLocale>
#include <QtTest>

namespace {
QString puzzle(int level, int index)
{
    return QString::fromLatin1(kBuiltinPuzzles[level][index]);
}
// A whole game code: puzzle, options code, symbols.
QString gameCode(int level, int index, const QString &options, const QString &symbols)
{
    return puzzle(level, index) + options + symbols;
}
} // namespace

class TstGameEnd : public QObject {
    Q_OBJECT
    std::unique_ptr<TTestFixture> fx;

    void startedProgram()
    {
        fx->DestroyWindows();
        fx->ClearSettings();
        fx->Dialogs.Shown.clear();
        fx->StartProgram();
        QVERIFY(FormStart->isVisible());
        FormStart->hide();
    }

    void addTwoGames(QString &first, QString &second)
    {
        first = gameCode(0, 0, "SS012", "123456789");
        second = gameCode(2, 3, "ID214", "ABCDEFGHI");
        Vorgabe->AddGameCodeLine(MakeGameCodeLine(QDateTime(QDate(2024, 3, 9), QTime(14, 5, 7)), first));
        Vorgabe->AddGameCodeLine(MakeGameCodeLine(QDateTime(QDate(2024, 3, 9), QTime(14, 21, 30)), second));
    }

private slots:
    void initTestCase() { fx = std::make_unique<TTestFixture>(); }
    void cleanupTestCase() { fx.reset(); }

    // ---- end of game -------------------------------------------------------------

    void endOfGameShowsChartAndTable()
    {
        startedProgram();
        QCOMPARE(FormSpielEnde->windowTitle(), QString("SpielEndeMeldung"));
        QCOMPARE(FormSpielEnde->TitelLabel->text(), QString("Spielende :"));
        QCOMPARE(FormSpielEnde->BTC_close->text(), QString("Schliessen"));
        QCOMPARE(FormSpielEnde->BTC_Brett->text(), QString("Spielfeld anzeigen"));
        Form1->brett->show();
        Form1->BTC_Spiel_Ende->setEnabled(true);
        Form1->Panel_Einzel->resize(Form1->Panel_Einzel->width(), 26);
        FormMeld->Dauer = 30;
        FormMeld->ShowText("Spielende");
        TPlayerRecord &p = Form1->Players[1];
        p.Name = "Anna";
        p.Active = true;
        p.Color = 0x00FF00;
        p.SampleCount = 2;
        p.Samples[0] = {100, 10};
        p.Samples[1] = {250, 30};

        FormSpielEnde->ShowGameEnd();
        QVERIFY(FormSpielEnde->isVisible());
        QVERIFY(!Form1->brett->isVisibleTo(Form1));
        QVERIFY(!FormMeld->isVisible());
        QCOMPARE(FormMeld->Dauer, 0);
        QVERIFY(!Form1->BTC_Spiel_Ende->isEnabled());
        QCOMPARE(Form1->Panel_Einzel->height(), 0);
        QCOMPARE(FormSpielEnde->height(), FormSpielEnde->TitelPanel->height() + FormSpielEnde->Statistik->Tag +
                                              FormSpielEnde->Tabelle_Panel->height() +
                                              FormSpielEnde->footer_panel->height());
        // The chart gets its design height, and a picture drawn at its size.
        QCOMPARE(FormSpielEnde->Statistik->height(), FormSpielEnde->Statistik->Tag);
        QVERIFY(!FormSpielEnde->Statistik->Picture().isNull());
        QCOMPARE(FormSpielEnde->Statistik->Picture().size(), FormSpielEnde->Statistik->size());
        // Over the board area of the main window.
        const QRect main = Form1->geometry();
        QCOMPARE(FormSpielEnde->x(),
                 std::max(1, main.left() + (main.width() - Form1->ToolPanel->width() - FormSpielEnde->width()) / 2));
        FormSpielEnde->close();
    }

    // Each showing fills the end table from the players of that moment and
    // sizes the dialog for its rows, whatever an earlier showing held.
    void endTableFollowsThePlayersEveryTime()
    {
        startedProgram();
        NETZ->MyPlayerNo = 1;
        auto seat = [](const QStringList &names) {
            Form1->ResetPlayers();
            for (int p = 1; p <= names.size(); ++p) {
                TPlayerRecord &r = Form1->Players[p];
                r.Name = names[p - 1];
                r.Address = QStringLiteral("127.0.0.%1").arg(p);
                r.PlayerNo = p;
                r.Active = true;
            }
        };
        const int head = Form1->Tabelle_kopf->height();
        auto check = [&](const QStringList &names) {
            QCOMPARE(FormSpielEnde->Tabelle_Panel->height(), head + 3 + 23 * int(names.size()));
            QCOMPARE(FormSpielEnde->height(), FormSpielEnde->TitelPanel->height() + FormSpielEnde->Statistik->Tag +
                                                  FormSpielEnde->Tabelle_Panel->height() +
                                                  FormSpielEnde->footer_panel->height());
            QCOMPARE(FormSpielEnde->Statistik->height(), FormSpielEnde->Statistik->Tag);
            for (int p = 1; p <= 8; ++p)
                QCOMPARE(Form1->EndPlayerRows[p].NameLabel->text(), p <= names.size() ? names[p - 1] : QString());
        };

        seat({"Anna", "Bert", "Carla"});
        FormSpielEnde->ShowGameEnd();
        check({"Anna", "Bert", "Carla"});
        // The players go while the dialog is open: its table stays as filled.
        Form1->ResetPlayers();
        Form1->UpdatePlayerTable();
        check({"Anna", "Bert", "Carla"});
        FormSpielEnde->BTC_BrettClick();

        seat({"Dora"});
        Form1->UpdatePlayerTable();
        FormSpielEnde->ShowGameEnd();
        check({"Dora"});
        FormSpielEnde->BTC_BrettClick();
        seat({"Emil", "Fritz"});
        FormSpielEnde->ShowGameEnd();
        check({"Emil", "Fritz"});
        FormSpielEnde->close();
    }

    void placedAtEveryActivation()
    {
        startedProgram();
        FormSpielEnde->ShowGameEnd();
        const QPoint placed = FormSpielEnde->pos();
        FormSpielEnde->move(placed + QPoint(50, 20));
        FormSpielEnde->hide();
        FormSpielEnde->show();
        QCOMPARE(FormSpielEnde->pos(), placed);
        FormSpielEnde->close();
    }

    void closeLeadsBack_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("window");
        QTest::addColumn<int>("playersReset"); // 1 yes, 0 no, -1 not checked
        QTest::addColumn<bool>("titleBar");     // closed by the window manager, not the button
        QTest::newRow("ghost game") << "ghost"
                                    << "FormGhost" << 0 << false;
        QTest::newRow("challenge") << "challenge"
                                   << "FormCha" << 0 << false;
        QTest::newRow("tournament") << "tournament"
                                    << "FormCha" << 0 << false;
        QTest::newRow("internet game") << "internet"
                                       << "WEBForm" << 1 << false;
        QTest::newRow("single game") << "single"
                                     << "FormGO" << -1 << false;
        QTest::newRow("network game, host") << "network"
                                            << "FormGO" << 0 << false;
        // A client stays in the host's game and waits for its next start.
        QTest::newRow("network game, client") << "client"
                                              << "" << 0 << false;
        QTest::newRow("ghost game, title bar") << "ghost"
                                               << "FormGhost" << 0 << true;
        QTest::newRow("internet game, title bar") << "internet"
                                                  << "WEBForm" << 1 << true;
        QTest::newRow("single game, title bar") << "single"
                                                << "FormGO" << -1 << true;
        QTest::newRow("network game, host, title bar") << "network"
                                                       << "FormGO" << 0 << true;
        QTest::newRow("network game, client, title bar") << "client"
                                                         << "" << 0 << true;
    }

    void closeLeadsBack()
    {
        QFETCH(QString, mode);
        QFETCH(QString, window);
        QFETCH(int, playersReset);
        QFETCH(bool, titleBar);
        startedProgram();
        FormGhost->GhostMode = mode == "ghost";
        FormCha->ChallengeActive = mode == "challenge";
        FormCha->TournamentActive = mode == "tournament";
        WEBForm->LoggedIn = mode == "internet";
        const bool network = mode == "network" || mode == "client";
        Form1->SinglePlayerGame = !network;
        Form1->HostsNetworkGame = mode == "network";
        NETZ->MyPlayerNo = mode == "network" ? 1 : mode == "client" ? 2 : 0;
        Form1->Players[1].Name = "Anna";
        Form1->Players[1].Active = true;
        Form1->Players[1].Address = "127.0.0.3";
        Form1->Players[2].Name = "Bert";
        Form1->Players[2].Active = true;
        Form1->Players[2].Address = "127.0.0.4";
        Form1->GameRunning = true;
        FormSpielEnde->ShowGameEnd();
        if (titleBar) {
            // What the window manager's close delivers: a close event to the
            // native window, not a close called by the program.
            QVERIFY(FormSpielEnde->windowHandle());
            QCloseEvent close;
            QCoreApplication::sendEvent(FormSpielEnde->windowHandle(), &close);
        } else {
            FormSpielEnde->BTC_closeClick();
        }
        QVERIFY(!FormSpielEnde->isVisible());
        QVERIFY(!Form1->GameRunning || window != "FormGO");
        const std::pair<const char *, QWidget *> windows[] = {
            {"FormGhost", FormGhost}, {"FormCha", FormCha}, {"WEBForm", WEBForm}, {"FormGO", FormGO}};
        for (const auto &w : windows)
            QVERIFY2(w.second->isVisible() == (window == QLatin1String(w.first)), w.first);
        if (playersReset >= 0)
            QCOMPARE(Form1->Players[1].Name.isEmpty(), playersReset == 1);
        if (mode == "client") {
            QCOMPARE(NETZ->MyPlayerNo, 2);
            QVERIFY(Form1->Players[2].Active);
            QVERIFY(FormMeld->isVisible());
            QCOMPARE(FormMeld->MeldTXT->text(), QString("Auf weitere Spieler warten,\n\rSpieler 1 startet das Spiel."));
            QCOMPARE(Form1->Panel_Menue->height(), 44);
        }
        FormMeld->hide();
        NETZ->MyPlayerNo = 0;
        Form1->HostsNetworkGame = false;
        for (QWidget *w : {static_cast<QWidget *>(FormGhost), static_cast<QWidget *>(FormCha),
                           static_cast<QWidget *>(WEBForm), static_cast<QWidget *>(FormGO)})
            w->hide();
        FormGhost->GhostMode = false;
        FormCha->ChallengeActive = FormCha->TournamentActive = false;
        WEBForm->LoggedIn = false;
    }

    void closedByTheProgramGoesNowhere()
    {
        // The start of the next game closes the dialog itself: no way back runs.
        startedProgram();
        Form1->SinglePlayerGame = true;
        FormSpielEnde->ShowGameEnd();
        FormSpielEnde->close();
        QVERIFY(!FormSpielEnde->isVisible());
        QVERIFY(!FormGO->isVisible());
    }

    void boardButtonOnlyShowsTheBoard()
    {
        startedProgram();
        Form1->GameRunning = false;
        Form1->ElapsedTenths = 1234;
        Form1->Players[1].Name = "Anna";
        Form1->Players[1].Points = 17;
        Form1->Boards[0][2][3].Value = 5;
        FormSpielEnde->ShowGameEnd();
        FormSpielEnde->BTC_BrettClick();
        QVERIFY(!FormSpielEnde->isVisible());
        QVERIFY(Form1->brett->isVisibleTo(Form1));
        QCOMPARE(Form1->Panel_Menue->height(), 44);
        QVERIFY(!Form1->GameRunning);
        QCOMPARE(Form1->ElapsedTenths, qint64(1234));
        QCOMPARE(Form1->Players[1].Name, QString("Anna"));
        QCOMPARE(Form1->Players[1].Points, 17);
        QCOMPARE(Form1->Boards[0][2][3].Value, 5);
        QVERIFY(!FormGO->isVisible());
    }

    void endButtonsHover()
    {
        startedProgram();
        TLabel *l = FormSpielEnde->BTC_close;
        FormSpielEnde->BTC_closeMouseEnter(l);
        QCOMPARE(l->font().pointSize(), 9);
        QVERIFY(l->font().bold());
        FormSpielEnde->BTC_closeMouseLeave(l);
        QCOMPARE(l->font().pointSize(), 8);
        QVERIFY(l->font().bold());
        l->setEnabled(false);
        FormSpielEnde->BTC_closeMouseEnter(l);
        QCOMPARE(l->font().pointSize(), 8);
    }

    // ---- replay ----------------------------------------------------------------------

    void replayDialogTexts()
    {
        startedProgram();
        QCOMPARE(Vorgabe->windowTitle(), QString("Spiele wiederholen"));
        QCOMPARE(Vorgabe->TitelLabel->text(), QString("Wiederholung :"));
        QCOMPARE(Vorgabe->ListLabel->text(), QString("Codes gestarteter Spiele :"));
        QCOMPARE(Vorgabe->SpielVorgabe->EditLabel->text(), QString("Vorgabe :"));
        QCOMPARE(Vorgabe->BTC_start->text(), QString("Starten"));
        QCOMPARE(Vorgabe->BTC_Zurueck->text(), QString("Zurück"));
        QCOMPARE(TVorgabe::ExplanationLines(),
                 QStringList({"Die Spielcodes von den gestarteten ", "Spielen werden in die Liste geschrieben.",
                              "Durch anklicken können die Spielcodes", "in die Vorgabe kopiert werden.",
                              "Bei Programmende gehen die Spielcodes ", "verloren."}));
        QVERIFY(!Vorgabe->BTC_start->isEnabled());
        QCOMPARE(Vorgabe->GespielteSpiele->Count(), 0);
    }

    void replayListHoldsTheStartedGamesNewestFirst()
    {
        startedProgram();
        QString first, second;
        addTwoGames(first, second);
        QCOMPARE(Vorgabe->GespielteSpiele->Count(), 2);
        QCOMPARE(Vorgabe->GespielteSpiele->Item(0), "Gestartet :09.03.2024 14:21:30 Spielcode >" + second);
        QCOMPARE(Vorgabe->GespielteSpiele->Item(1), "Gestartet :09.03.2024 14:05:07 Spielcode >" + first);
        QCOMPARE(first.size(), 95);
    }

    void replayDateIsGermanInEveryLocale()
    {
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        const QString line = MakeGameCodeLine(QDateTime(QDate(2026, 12, 10), QTime(13, 19, 19)), "X");
        QLocale::setDefault(before);
        QCOMPARE(line, QString("Gestartet :10.12.2026 13:19:19 Spielcode >X"));
    }

    void aClickedLineBecomesTheCode()
    {
        startedProgram();
        QString first, second;
        addTwoGames(first, second);
        emit Vorgabe->GespielteSpiele->itemClicked(Vorgabe->GespielteSpiele->item(1));
        QCOMPARE(Vorgabe->SpielVorgabe->text(), Vorgabe->GespielteSpiele->Item(1));
        QVERIFY(Vorgabe->BTC_start->isEnabled());
        // Deleting the code disables "Starten"; a click enables it again.
        Vorgabe->SpielVorgabe->clear();
        QVERIFY(!Vorgabe->BTC_start->isEnabled());
        Vorgabe->GespielteSpieleDblClick(0);
        QVERIFY(Vorgabe->BTC_start->isEnabled());
        QCOMPARE(Vorgabe->SpielVorgabe->text(), Vorgabe->GespielteSpiele->Item(0));
    }

    void aRepeatedGameHasTheGivensOfItsCode()
    {
        startedProgram();
        QString first, second;
        addTwoGames(first, second);
        FormStart->show();
        FormStart->SelectSingleMode(4);
        FormStart->BTC_EinzelSpielerStartClick();
        QVERIFY(Vorgabe->isVisible());
        Vorgabe->GespielteSpieleDblClick(1);
        Vorgabe->StartClick();
        QVERIFY(fx->Dialogs.Shown.empty());
        QVERIFY(!Vorgabe->isVisible());
        // The game start reads the code as typed: puzzle and symbols, no rotation.
        QVERIFY(Form1->SinglePlayerGame);
        QVERIFY(Form1->PrepareNewGame());
        const QString p = puzzle(0, 0);
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x) {
                const QChar c = p[(y - 1) * 9 + x - 1];
                const bool given = c.isUpper();
                QCOMPARE(Form1->Boards[0][x][y].Value, c.unicode() - (given ? 64 : 96));
                QCOMPARE(Form1->Boards[0][x][y].State, given ? -1 : 0);
            }
        QCOMPARE(Form1->SymbolSet, QString("123456789"));
        QCOMPARE(FormGhost->GhostFeld, p);
    }

    void unusableCodesAreRefused_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        const QString good = gameCode(1, 2, "SS111", "123456789");
        QString badLetter = good;
        badLetter[80] = 'j';
        QString digit = good;
        digit[10] = '5';
        QTest::newRow("whole code") << good << true;
        QTest::newRow("whole line") << "Gestartet :09.03.24 14:05 Spielcode >" + good << true;
        QTest::newRow("symbols are not checked") << good.left(86) + "xyz!?#+-*" << true;
        QTest::newRow("94 characters") << good.left(94) << false;
        QTest::newRow("line with a short code") << "Gestartet :09.03.24 14:05 Spielcode >" + good.left(90) << false;
        QTest::newRow("only the date before the code") << "Gestartet :09.03.24 14:05 Spielcode >" << false;
        QTest::newRow("letter j in the puzzle") << badLetter << false;
        QTest::newRow("digit in the puzzle") << digit << false;
        QTest::newRow("code after a second >") << "a>" + good.left(40) + ">" + good.mid(40) << false;
    }

    void unusableCodesAreRefused()
    {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        startedProgram();
        Vorgabe->show();
        Vorgabe->SpielVorgabe->setText(typed);
        QVERIFY(Vorgabe->BTC_start->isEnabled());
        Vorgabe->StartClick();
        QCOMPARE(Vorgabe->isVisible(), !accepted);
        QCOMPARE(Vorgabe->SpielVorgabe->text(), typed);
        if (accepted) {
            QVERIFY(fx->Dialogs.Shown.empty());
        } else {
            QCOMPARE(int(fx->Dialogs.Shown.size()), 1);
            QVERIFY(fx->Dialogs.Shown[0].Type == TMsgDlgType::Error);
            QVERIFY(fx->Dialogs.Shown[0].Text.startsWith("Der Spielcode ist"));
        }
        Vorgabe->hide();
    }

    void emptyCodeCannotStart()
    {
        startedProgram();
        Vorgabe->show();
        Vorgabe->StartClick();
        QVERIFY(Vorgabe->isVisible());
        QVERIFY(fx->Dialogs.Shown.empty());
        Vorgabe->hide();
    }

    void backLeadsToTheStartScreen()
    {
        startedProgram();
        Vorgabe->show();
        Vorgabe->schliessenClick();
        QVERIFY(!Vorgabe->isVisible());
        QVERIFY(FormStart->isVisible());
        QVERIFY(Vorgabe->FirstActivate);
    }

    void replayPlacedOnceUntilClosed()
    {
        startedProgram();
        Vorgabe->show();
        const QPoint placed = Vorgabe->pos();
        const QRect main = Form1->geometry();
        QCOMPARE(placed.x(),
                 std::max(1, main.left() + (main.width() - Form1->ToolPanel->width() - Vorgabe->width()) / 2));
        Vorgabe->move(placed + QPoint(30, 30));
        Vorgabe->hide();
        Vorgabe->show();
        QCOMPARE(Vorgabe->pos(), placed + QPoint(30, 30));
        Vorgabe->close();
        Vorgabe->show();
        QCOMPARE(Vorgabe->pos(), placed);
        Vorgabe->hide();
    }

    void startButtonHover()
    {
        startedProgram();
        TLabel *l = Vorgabe->BTC_Zurueck;
        Vorgabe->BTC_startMouseEnter(l);
        QCOMPARE(l->font().pointSize(), 10);
        QVERIFY(l->font().bold());
        Vorgabe->BTC_startMouseLeave(l);
        QCOMPARE(l->font().pointSize(), 8);
        QVERIFY(l->font().bold());
    }
};

QTEST_MAIN(TstGameEnd)
#include "tst_gameend.moc"
