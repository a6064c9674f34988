// Game flow and game clock: the clock from the replaceable counter, pause and
// resume, penalties, the mode labels, the ways a game is stopped, the end and
// menu buttons, and the starts of normal and stage games.
#include "common/Fixture.h"
#include "board/UMeldung.h"
#include "board/UQuadrivo.h"
#include "board/UQuadrivo_Builtin.h"
#include "board/UQuadrivo_Game.h"
#include "competitions/UChallenge.h"
#include "competitions/Ughost.h"
#include "files/UCompetitionFile.h"
#include "net/UNETZ.h"
#include "net/UWebForm.h"
#include "screens/UGameOptionen.h"
#include "screens/UInfo.h"
#include "screens/UOptionen.h"
#include "screens/UStart.h"
#include "screens/UVorgabe.h"
#include "settings/USonstiges.h"
#include "settings/USystem.h"

#include <QtTest>

namespace {
constexpr int64_t kSecond = 1000000000LL;

int givensOnLayer0()
{
    int n = 0;
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x)
            if (Form1->Boards[0][x][y].State == -1)
                ++n;
    return n;
}
} // namespace

class TstGameFlow : public QObject {
    Q_OBJECT
    std::unique_ptr<TTestFixture> fx;

    // A running game of one player, its clock started now.
    void runningSingleGame()
    {
        NETZ->BecomeHost();
        Form1->Players[1].Active = true;
        Form1->Players[1].PlayerNo = 1;
        Form1->Players[1].Address = QStringLiteral("127.0.0.1");
        NETZ->MyPlayerNo = 1;
        Form1->SinglePlayerGame = true;
        Form1->GameRunning = true;
        Form1->GameStartCount = TTestFixture::Now;
        Form1->ClockPenaltySeconds = 0;
        Form1->brett->show();
        Form1->BTC_Spiel_Ende->setEnabled(true);
        Form1->BTC_Pause->setEnabled(true);
        Form1->BTC_Weiter->setEnabled(false);
        Form1->UpdateHintButton();
    }

private slots:
    void initTestCase()
    {
        fx = std::make_unique<TTestFixture>();
        fx->StartProgram();
        Form1->show();
    }
    void cleanupTestCase() { fx.reset(); }

    void init()
    {
        fx->Dialogs.Shown.clear();
        fx->Dialogs.Answers.clear();
        fx->Dialogs.DefaultAnswer = mrOk;
        Form1->HelpCursor = 0;
        Form1->GameRunning = false;
        Form1->Paused = false;
        Form1->StopRequested = false;
        Form1->HostsNetworkGame = false;
        Form1->SinglePlayerGame = true;
        Form1->ClockPenaltySeconds = 0;
        Form1->CountsPerTenth = PerfFrequency() / 10;
        Form1->ResetPlayers();
        NETZ->MyPlayerNo = 0;
        NETZ->SetListenerActive(false);
        FormStart->GameKind = 1;
        FormStart->PlayMode = 10;
        FormCha->ChallengeActive = false;
        FormCha->TournamentActive = false;
        FormCha->StageGameCode.clear();
        FormGhost->GhostMode = false;
        WEBForm->LoggedIn = false;
        Vorgabe->SpielVorgabe->clear();
        FormGO->SetImport(0);
        FormGO->SetGameType(1);
        FormGO->SetMarkBonus(0);
        for (QWidget *w :
             {static_cast<QWidget *>(FormInfo), static_cast<QWidget *>(FormMeld), static_cast<QWidget *>(FormStart),
              static_cast<QWidget *>(FormGO), static_cast<QWidget *>(FormCha), static_cast<QWidget *>(FormGhost),
              static_cast<QWidget *>(WEBForm)})
            w->hide();
    }

    // ---- the arithmetic ----

    void gameTime_data()
    {
        QTest::addColumn<qint64>("now");
        QTest::addColumn<qint64>("start");
        QTest::addColumn<qint64>("perTenth");
        QTest::addColumn<int>("penalty");
        QTest::addColumn<qint64>("tenths");
        QTest::newRow("start") << qint64(5 * kSecond) << qint64(5 * kSecond) << qint64(kSecond / 10) << 0 << qint64(0);
        QTest::newRow("a tenth less a count")
            << qint64(kSecond / 10 - 1) << qint64(0) << qint64(kSecond / 10) << 0 << qint64(0);
        QTest::newRow("75.4 s") << qint64(754 * kSecond / 10) << qint64(0) << qint64(kSecond / 10) << 0 << qint64(754);
        QTest::newRow("penalty 10 s") << qint64(kSecond) << qint64(0) << qint64(kSecond / 10) << 10 << qint64(110);
        QTest::newRow("rate unknown") << qint64(3 * kSecond) << qint64(kSecond) << qint64(0) << 0 << qint64(20);
        QTest::newRow("beyond 32 bits") << qint64(100000 * kSecond) << qint64(0) << qint64(kSecond / 10) << 0
                                        << qint64(1000000);
    }
    void gameTime()
    {
        QFETCH(qint64, now);
        QFETCH(qint64, start);
        QFETCH(qint64, perTenth);
        QFETCH(int, penalty);
        QFETCH(qint64, tenths);
        QCOMPARE(GameTenthsAt(now, start, perTenth, penalty), tenths);
    }

    void decodeOptionsCode_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("challenge");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("evaluation");
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("rating");
        QTest::addColumn<int>("marks");
        QTest::newRow("Sudoku") << "SS234" << false << 1 << 1 << 2 << 3 << 4;
        QTest::newRow("letters A-I at the end") << "ID012" << false << 2 << 0 << 0 << 1 << 2;
        QTest::newRow("letters A-Z") << "ZS349" << false << 3 << 1 << 3 << 4 << 9;
        QTest::newRow("Bingo") << "BS110" << false << 4 << 1 << 1 << 1 << 0;
        QTest::newRow("Bingo in a challenge") << "BS110" << true << 1 << 1 << 1 << 1 << 0;
        QTest::newRow("unknown letters leave") << "XQ123" << false << -1 << -1 << 1 << 2 << 3;
        QTest::newRow("short code") << "S" << false << 1 << -1 << -1 << -1 << -1;
        QTest::newRow("empty") << "" << false << -1 << -1 << -1 << -1 << -1;
    }
    void decodeOptionsCode()
    {
        QFETCH(QString, code);
        QFETCH(bool, challenge);
        const TOptionsCodeValues v = DecodeOptionsCode(code, challenge);
        QTEST(v.GameType, "type");
        QTEST(v.Evaluation, "evaluation");
        QTEST(v.Level, "level");
        QTEST(v.Rating, "rating");
        QTEST(v.MaxMarks, "marks");
    }

    void hintRule_data()
    {
        QTest::addColumn<bool>("single");
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("bingo");
        QTest::addColumn<int>("symbols");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("normal") << true << 1 << false << 1 << true;
        QTest::newRow("repeat") << true << 4 << false << 1 << true;
        QTest::newRow("ghost") << true << 2 << false << 1 << false;
        QTest::newRow("challenge") << true << 3 << false << 1 << false;
        QTest::newRow("Bingo") << true << 1 << true << 1 << false;
        QTest::newRow("letters A-I") << true << 1 << false << 2 << false;
        QTest::newRow("letters A-Z") << true << 4 << false << 3 << false;
        QTest::newRow("network game") << false << 1 << false << 1 << false;
    }
    void hintRule()
    {
        QFETCH(bool, single);
        QFETCH(int, kind);
        QFETCH(bool, bingo);
        QFETCH(int, symbols);
        QTEST(IsHintAllowedFor(single, kind, bingo, symbols), "allowed");
    }

    // ---- the clock ----

    void clockCounts()
    {
        runningSingleGame();
        TTestFixture::Now += 15 * kSecond / 10;
        Form1->MsgTimerTimer();
        QCOMPARE(Form1->ElapsedTenths, qint64(15));
        QCOMPARE(Form1->Zeit->text(), QString("00:01.5"));
        QCOMPARE(Form1->windowTitle(), QString("Quadrivo "));
        TTestFixture::Now += 60 * kSecond;
        Form1->MsgTimerTimer();
        QCOMPARE(Form1->Zeit->text(), QString("01:01.5"));
        QCOMPARE(Form1->GameTimeTenths(), qint64(615));
    }

    void clockWithoutPlayerNumber()
    {
        runningSingleGame();
        Form1->Zeit->setText("unverändert");
        NETZ->MyPlayerNo = 0;
        TTestFixture::Now += 2 * kSecond;
        Form1->MsgTimerTimer();
        QCOMPARE(Form1->ElapsedTenths, qint64(20));
        QCOMPARE(Form1->Zeit->text(), QString("unverändert"));
    }

    void clockStandsWithoutGame()
    {
        Form1->ElapsedTenths = 77;
        TTestFixture::Now += 5 * kSecond;
        Form1->MsgTimerTimer();
        QCOMPARE(Form1->ElapsedTenths, qint64(77));
    }

    void pauseThirtySecondsAndResume()
    {
        runningSingleGame();
        TTestFixture::Now += 123 * kSecond / 10;
        Form1->MsgTimerTimer();
        QCOMPARE(Form1->ElapsedTenths, qint64(123));

        Form1->BTC_PauseClick();
        QVERIFY(Form1->Paused);
        QVERIFY(!Form1->brett->isVisible());
        QVERIFY(FormMeld->isVisible());
        QCOMPARE(FormMeld->MeldTXT->text(), QString("Pause"));
        QVERIFY(!Form1->BTC_Tipp->isEnabled());
        QVERIFY(!Form1->BTC_Pause->isEnabled());
        QVERIFY(Form1->BTC_Weiter->isEnabled());

        TTestFixture::Now += 30 * kSecond;
        Form1->MsgTimerTimer();
        QCOMPARE(Form1->ElapsedTenths, qint64(123));
        // A second pause must not move the stamp.
        Form1->BTC_PauseClick();
        TTestFixture::Now += 5 * kSecond;

        Form1->BTC_WeiterClick();
        QVERIFY(!Form1->Paused);
        QVERIFY(Form1->brett->isVisible());
        QVERIFY(!FormMeld->isVisible());
        QVERIFY(Form1->BTC_Tipp->isEnabled());
        QVERIFY(Form1->BTC_Pause->isEnabled());
        QVERIFY(!Form1->BTC_Weiter->isEnabled());
        Form1->MsgTimerTimer();
        QCOMPARE(Form1->ElapsedTenths, qint64(123));
        TTestFixture::Now += kSecond;
        Form1->MsgTimerTimer();
        QCOMPARE(Form1->ElapsedTenths, qint64(133));
    }

    void pauseOnlyWhileRunning()
    {
        Form1->BTC_Pause->setEnabled(true);
        Form1->BTC_PauseClick();
        QVERIFY(!Form1->Paused);
        QVERIFY(Form1->BTC_Pause->isEnabled());
    }

    void pauseInHelpMode()
    {
        runningSingleGame();
        Form1->HelpCursor = -20;
        Form1->BTC_PauseClick();
        QVERIFY(!Form1->Paused);
        QVERIFY(FormInfo->isVisible());
    }

    void resumeActsOnlyWhilePaused()
    {
        runningSingleGame();
        // A stale stamp and a button left enabled, as an ended paused game leaves them.
        Form1->PauseStartCount = TTestFixture::Now - 600 * kSecond;
        Form1->BTC_Weiter->setEnabled(true);
        const qint64 start = Form1->GameStartCount;
        Form1->BTC_WeiterClick();
        QCOMPARE(Form1->GameStartCount, start);
        QVERIFY(!Form1->Paused);
    }

    void startResetsPauseAndResume()
    {
        runningSingleGame();
        TTestFixture::Now += 10 * kSecond;
        Form1->BTC_PauseClick();
        QVERIFY(Form1->BTC_Weiter->isEnabled());
        // The next game starts while the last one is still paused.
        TTestFixture::Now += 100 * kSecond;
        Form1->StartGame();
        QVERIFY(!Form1->Paused);
        QVERIFY(Form1->BTC_Pause->isEnabled());
        QVERIFY(!Form1->BTC_Weiter->isEnabled());
        QVERIFY(!FormMeld->isVisible() || FormMeld->MeldTXT->text() != QString("Pause"));

        // Its clock runs from its own start, never below zero.
        Form1->GameRunning = true;
        NETZ->MyPlayerNo = 1;
        Form1->GameStartCount = TTestFixture::Now;
        Form1->BTC_WeiterClick();
        QCOMPARE(Form1->GameStartCount, TTestFixture::Now);
        TTestFixture::Now += kSecond;
        Form1->MsgTimerTimer();
        QCOMPARE(Form1->ElapsedTenths, qint64(10));
    }

    void penaltyMovesTheClock()
    {
        runningSingleGame();
        TTestFixture::Now += 4 * kSecond;
        Form1->MsgTimerTimer();
        QCOMPARE(Form1->ElapsedTenths, qint64(40));
        Form1->ClockPenaltySeconds += 10;
        Form1->MsgTimerTimer();
        QCOMPARE(Form1->ElapsedTenths, qint64(140));
        QVERIFY(Form1->brett->isVisible());
    }

    void modeLabels_data()
    {
        QTest::addColumn<int>("playMode");
        QTest::addColumn<int>("gameKind");
        QTest::addColumn<QString>("modus");
        QTest::addColumn<QString>("spiel");
        QTest::newRow("single normal") << 10 << 1 << "Einzelspieler"
                                       << "normal";
        QTest::newRow("none counts as normal") << 10 << 0 << "Einzelspieler"
                                               << "normal";
        QTest::newRow("ghost") << 10 << 2 << "Einzelspieler"
                               << "Ghost";
        QTest::newRow("challenge") << 10 << 3 << "Einzelspieler"
                                   << "Challenge";
        QTest::newRow("repeat") << 10 << 4 << "Einzelspieler"
                                << "Wiederholung";
        QTest::newRow("tournament") << 20 << 5 << "Mehrspieler"
                                    << "Turnier";
        QTest::newRow("duel") << 20 << 6 << "Mehrspieler"
                              << "Duell";
        QTest::newRow("other tab") << 1 << 1 << ""
                                   << "normal";
        QTest::newRow("kind 7, unknown mode keeps the text") << 7 << 7 << "vorher"
                                                             << "";
    }
    void modeLabels()
    {
        QFETCH(int, playMode);
        QFETCH(int, gameKind);
        Form1->modus_label->setText("vorher");
        Form1->Spiel_Label->setText("vorher");
        FormStart->PlayMode = playMode;
        FormStart->GameKind = gameKind;
        Form1->MsgTimerTimer();
        QTEST(Form1->modus_label->text(), "modus");
        QTEST(Form1->Spiel_Label->text(), "spiel");
    }

    // ---- penalties in a network game ----

    void penaltyCountdown()
    {
        Form1->SinglePlayerGame = false;
        Form1->GameRunning = true;
        NETZ->MyPlayerNo = 2;
        for (int p : {1, 2, 3}) {
            Form1->Players[p].Active = p != 3;
            Form1->Players[p].PlayerNo = p;
            Form1->Players[p].Address = QStringLiteral("127.0.0.%1").arg(p);
        }
        Form1->Players[1].WaitSeconds = 1;
        Form1->Players[2].WaitSeconds = 3;
        Form1->Players[3].WaitSeconds = 4; // offline: not counted
        Form1->brett->hide();

        Form1->WartezeitTimerTimer();
        QCOMPARE(Form1->Players[1].WaitSeconds, 0);
        QCOMPARE(Form1->Players[2].WaitSeconds, 2);
        QCOMPARE(Form1->Players[3].WaitSeconds, 4);
        QVERIFY(FormMeld->isVisible());
        QCOMPARE(FormMeld->MeldTXT->text(), QString("Strafzeit :2"));
        QVERIFY(!Form1->brett->isVisible());

        Form1->WartezeitTimerTimer();
        QCOMPARE(FormMeld->MeldTXT->text(), QString("Strafzeit :1"));
        Form1->WartezeitTimerTimer();
        QCOMPARE(Form1->Players[2].WaitSeconds, 0);
        QVERIFY(Form1->brett->isVisible());
        QVERIFY(!FormMeld->isVisible());
        Form1->WartezeitTimerTimer();
        QCOMPARE(Form1->Players[1].WaitSeconds, 0);
        QCOMPARE(Form1->Players[2].WaitSeconds, 0);
        QCOMPARE(Form1->PlayerRows[2].WaitLabel->text(), QString("0"));
    }

    // A penalty that outlasts its game counts down in the table only: the
    // notice that told the end stays, and the board stays hidden.
    void penaltyAfterTheGameEnded()
    {
        Form1->SinglePlayerGame = false;
        NETZ->MyPlayerNo = 2;
        for (int p : {1, 2}) {
            Form1->Players[p].Active = true;
            Form1->Players[p].PlayerNo = p;
            Form1->Players[p].Address = QStringLiteral("127.0.0.%1").arg(p);
        }
        Form1->Players[2].WaitSeconds = 2;
        Form1->GameRunning = true;
        Form1->brett->hide();
        Form1->WartezeitTimerTimer();
        QCOMPARE(FormMeld->MeldTXT->text(), QString("Strafzeit :1"));

        Form1->GameRunning = false;
        FormMeld->ShowText(QStringLiteral("Spieler 1 (Server) hat das Spiel beendet."));
        Form1->WartezeitTimerTimer();
        QCOMPARE(Form1->Players[2].WaitSeconds, 0);
        QCOMPARE(Form1->PlayerRows[2].WaitLabel->text(), QString("0"));
        QCOMPARE(FormMeld->MeldTXT->text(), QString("Spieler 1 (Server) hat das Spiel beendet."));
        QVERIFY(FormMeld->isVisible());
        QVERIFY(!Form1->brett->isVisible());
        FormMeld->hide();
    }

    // ---- the stops ----

    void stopGameLocal()
    {
        runningSingleGame();
        Form1->HostsNetworkGame = true;
        Form1->BTC_PauseClick();
        QVERIFY(FormMeld->isVisible());
        Form1->StopGameLocal();
        QVERIFY(!FormMeld->isVisible());
        QVERIFY(!Form1->Paused);
        QVERIFY(!Form1->GameRunning);
        QVERIFY(!Form1->HostsNetworkGame);
        QVERIFY(!NETZ->IsListenerActive());
    }

    // The host stays the host and tells its players; a client stays in the
    // host's game, with its table and its number, for the host's next start.
    void finishGame_data()
    {
        QTest::addColumn<QString>("hostAddress");
        QTest::addColumn<int>("me");
        QTest::addColumn<bool>("hosting");
        QTest::newRow("host") << FormOpt->SelfIp->text() << 1 << true;
        QTest::newRow("host of a game of its own") << QString("127.0.0.1") << 1 << true;
        QTest::newRow("client") << "127.0.0.99" << 2 << false;
    }
    void finishGame()
    {
        QFETCH(QString, hostAddress);
        QFETCH(int, me);
        QFETCH(bool, hosting);
        QVERIFY(!FormOpt->SelfIp->text().isEmpty());
        Form1->SinglePlayerGame = false;
        Form1->GameRunning = true;
        Form1->HostsNetworkGame = hosting;
        NETZ->MyPlayerNo = me;
        Form1->Players[1].Name = QStringLiteral("Wirt");
        Form1->Players[1].Address = hostAddress;
        Form1->Players[1].Active = true;
        Form1->Players[1].PlayerNo = 1;
        Form1->Players[2].Name = QStringLiteral("Gast");
        Form1->Players[2].Address = QStringLiteral("127.0.0.2");
        Form1->Players[2].Active = true;
        Form1->Players[2].PlayerNo = 2;
        Form1->FinishGame();
        QVERIFY(!Form1->GameRunning);
        QCOMPARE(Form1->Players[1].Name, QString("Wirt"));
        QCOMPARE(Form1->Players[2].Name, QString("Gast"));
        QVERIFY(Form1->Players[2].Active);
        QCOMPARE(NETZ->MyPlayerNo, me);
        QCOMPARE(Form1->HostsNetworkGame, hosting);
    }

    // "Spiel beenden" on a client leaves the host's game: the logoff goes to
    // the host, and nothing of the game stays behind.
    void clientLeavesWithTheEndButton()
    {
        QVERIFY(NETZ->SetListenerActive(true));
        QList<TTelegram> sent;
        QStringList hosts;
        NETZ->OutgoingFilter = [&](const QByteArray &bytes, const QString &host) {
            TTelegram t;
            if (DecodeTelegram(bytes, t) == TWireStatus::Ok)
                sent << t;
            hosts << host;
            return false;
        };
        Form1->SinglePlayerGame = false;
        Form1->GameRunning = true;
        Form1->BTC_Spiel_Ende->setEnabled(true);
        NETZ->MyPlayerNo = 2;
        for (int p = 1; p <= 2; ++p) {
            Form1->Players[p].Name = QStringLiteral("P%1").arg(p);
            Form1->Players[p].Address = QStringLiteral("127.0.0.%1").arg(p + 1);
            Form1->Players[p].Active = true;
            Form1->Players[p].PlayerNo = p;
        }
        Form1->BTC_Spiel_EndeClick();
        NETZ->OutgoingFilter = nullptr;
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent[0].Aktion, int(akLogoff));
        QCOMPARE(sent[0].Gid, 2);
        QCOMPARE(hosts[0], QString("127.0.0.2"));
        QCOMPARE(NETZ->MyPlayerNo, 0);
        QVERIFY(Form1->Players[1].Address.isEmpty());
        QCOMPARE(Form1->CountOnlinePlayers(), 0);
        QVERIFY(!Form1->GameRunning);
        QVERIFY(FormStart->isVisible());
    }

    void deferredStop()
    {
        Form1->SinglePlayerGame = false;
        Form1->GameRunning = true;
        Form1->HostsNetworkGame = true;
        NETZ->MyPlayerNo = 3;
        Form1->Players[3].Name = QStringLiteral("Gast");
        Form1->Players[3].Active = true;
        Form1->Cells[4][5].Owner = 0;
        Form1->StopRequested = true;
        Form1->MsgTimerTimer();
        QVERIFY(!Form1->StopRequested);
        QVERIFY(!Form1->GameRunning);
        QVERIFY(!Form1->HostsNetworkGame);
        QCOMPARE(NETZ->MyPlayerNo, 0);
        QVERIFY(Form1->Players[3].Name.isEmpty());
        QCOMPARE(Form1->Cells[4][5].Owner, -1);
        QVERIFY(!NETZ->IsListenerActive());
    }

    // ---- the end button ----

    void endSingleGame_data()
    {
        QTest::addColumn<int>("kind"); // 1 normal, 2 ghost, 3 challenge
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("question");
        QTest::addColumn<bool>("stops");
        QTest::addColumn<bool>("startShown");
        QTest::newRow("normal") << 1 << int(mrYes) << "" << true << true;
        QTest::newRow("challenge declined")
            << 3 << int(mrNo) << "Challenge noch gestartet.\r\nSpiel abbrechen?" << false << false;
        QTest::newRow("challenge ended") << 3 << int(mrYes) << "Challenge noch gestartet.\r\nSpiel abbrechen?" << true
                                         << false;
        QTest::newRow("ghost declined") << 2 << int(mrNo) << "Ghostspiel noch gestartet.\r\nSpiel abbrechen?" << false
                                        << false;
        QTest::newRow("ghost ended") << 2 << int(mrYes) << "Ghostspiel noch gestartet.\r\nSpiel abbrechen?" << true
                                     << false;
    }
    void endSingleGame()
    {
        QFETCH(int, kind);
        QFETCH(int, answer);
        QFETCH(QString, question);
        QFETCH(bool, stops);
        QFETCH(bool, startShown);
        runningSingleGame();
        FormStart->GameKind = kind;
        FormCha->ChallengeActive = kind == 3;
        FormGhost->GhostMode = kind == 2;
        fx->Dialogs.Answers.push_back(answer);
        Form1->BTC_Spiel_EndeClick();

        if (question.isEmpty()) {
            QVERIFY(fx->Dialogs.Shown.empty());
        } else {
            QCOMPARE(fx->Dialogs.Texts(), QStringList{question});
            QCOMPARE(fx->Dialogs.Shown[0].Type, TMsgDlgType::Information);
            QCOMPARE(fx->Dialogs.Shown[0].Buttons, TMsgDlgButtons::YesNo);
        }
        QCOMPARE(Form1->GameRunning, !stops);
        QCOMPARE(Form1->BTC_Spiel_Ende->isEnabled(), !stops);
        QCOMPARE(Form1->brett->isVisible(), !stops);
        QCOMPARE(NETZ->MyPlayerNo, stops ? 0 : 1);
        QCOMPARE(FormStart->isVisible(), startShown);
        QCOMPARE(FormCha->isVisible(), kind == 3 && stops);
        QCOMPARE(FormGhost->isVisible(), kind == 2 && stops);
        if (stops) {
            QCOMPARE(Form1->BTC_Spiel_Ende->Tag, 10);
            QCOMPARE(FormStart->PlayMode, 10);
        }
    }

    void endMultiGame_data()
    {
        QTest::addColumn<bool>("tournament");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("stops");
        QTest::newRow("network game") << false << int(mrYes) << true;
        QTest::newRow("tournament declined") << true << int(mrNo) << false;
        QTest::newRow("tournament ended") << true << int(mrYes) << true;
    }
    void endMultiGame()
    {
        QFETCH(bool, tournament);
        QFETCH(int, answer);
        QFETCH(bool, stops);
        Form1->SinglePlayerGame = false;
        Form1->GameRunning = true;
        Form1->BTC_Spiel_Ende->setEnabled(true);
        Form1->brett->show();
        FormCha->TournamentActive = tournament;
        NETZ->MyPlayerNo = 1;
        Form1->Players[1].Name = QStringLiteral("Wirt");
        Form1->Players[1].Address = FormOpt->SelfIp->text();
        Form1->Players[1].Active = true;
        Form1->Players[1].PlayerNo = 1;
        Form1->Players[1].WaitSeconds = 7;
        FormMeld->Dauer = 50;
        FormMeld->ShowPenalty(7);
        fx->Dialogs.Answers.push_back(answer);
        Form1->BTC_Spiel_EndeClick();

        QCOMPARE(fx->Dialogs.Texts(),
                 tournament ? QStringList{"Turnier noch gestartet.\r\nSpiel abbrechen?"} : QStringList{});
        QCOMPARE(Form1->GameRunning, !stops);
        QCOMPARE(Form1->Players[1].WaitSeconds, stops ? 0 : 7);
        QCOMPARE(FormMeld->isVisible(), !stops);
        QCOMPARE(Form1->BTC_Spiel_Ende->isEnabled(), !stops);
        QCOMPARE(FormStart->isVisible(), stops && !tournament);
        QCOMPARE(FormCha->isVisible(), stops && tournament);
        if (stops)
            QCOMPARE(FormMeld->Dauer, 0);
    }

    void endInternetGame()
    {
        runningSingleGame();
        WEBForm->LoggedIn = true;
        Form1->Players[2].Name = QStringLiteral("Netz");
        FormMeld->ShowText("Hallo");
        Form1->BTC_Spiel_EndeClick();
        QVERIFY(!Form1->GameRunning);
        QVERIFY(!Form1->brett->isVisible());
        QVERIFY(!Form1->BTC_Spiel_Ende->isEnabled());
        QCOMPARE(NETZ->MyPlayerNo, 0);
        QVERIFY(Form1->Players[2].Name.isEmpty());
        QVERIFY(!WEBForm->LoggedIn);
        QVERIFY(WEBForm->isVisible());
        QVERIFY(!FormMeld->isVisible());
    }

    void endInHelpMode()
    {
        runningSingleGame();
        Form1->HelpCursor = -20;
        Form1->BTC_Spiel_EndeClick();
        QVERIFY(Form1->GameRunning);
        QVERIFY(FormInfo->isVisible());
    }

    // ---- the menu button ----

    void menuButton_data()
    {
        QTest::addColumn<bool>("loggedIn");
        QTest::newRow("start window") << false;
        QTest::newRow("internet window") << true;
    }
    void menuButton()
    {
        QFETCH(bool, loggedIn);
        WEBForm->LoggedIn = loggedIn;
        Form1->Players[2].Name = QStringLiteral("Netz");
        // A client waits for its host's next round.
        Form1->WaitForHostsNextGame();
        QVERIFY(FormMeld->isVisible());
        Form1->brett->show();
        Form1->BTC_MenueClick();
        QVERIFY(!FormMeld->isVisible());
        QCOMPARE(Form1->Panel_Menue->height(), 0);
        QVERIFY(!Form1->brett->isVisible());
        QCOMPARE(FormStart->isVisible(), !loggedIn);
        QCOMPARE(WEBForm->isVisible(), loggedIn);
        QCOMPARE(Form1->Players[2].Name.isEmpty(), loggedIn);
    }

    // ---- the hint button ----

    void hintButtonAtStartAndResume_data()
    {
        QTest::addColumn<bool>("single");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("gameType");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("normal Sudoku") << true << 1 << 1 << true;
        QTest::newRow("repeat") << true << 4 << 1 << true;
        QTest::newRow("letters") << true << 1 << 2 << false;
        QTest::newRow("random letters") << true << 1 << 3 << false;
        QTest::newRow("Bingo") << true << 1 << 4 << false;
        QTest::newRow("network game") << false << 1 << 1 << false;
    }
    void hintButtonAtStartAndResume()
    {
        QFETCH(bool, single);
        QFETCH(int, kind);
        QFETCH(int, gameType);
        QFETCH(bool, enabled);
        FormGO->SetGameType(gameType);
        Form1->SinglePlayerGame = single;
        FormStart->GameKind = kind;
        Form1->BTC_Tipp->setEnabled(!enabled);
        Form1->StartGame();
        QCOMPARE(Form1->BTC_Tipp->isEnabled(), enabled);

        runningSingleGame();
        Form1->SinglePlayerGame = single;
        Form1->BTC_PauseClick();
        QVERIFY(!Form1->BTC_Tipp->isEnabled());
        Form1->BTC_WeiterClick();
        QCOMPARE(Form1->BTC_Tipp->isEnabled(), enabled);
        FormGO->SetGameType(1);
    }

    void hintShortcutInHelpMode()
    {
        runningSingleGame();
        Form1->HelpCursor = -20;
        // The shortcut's menu item acts even in help-click mode ...
        Form1->TippOn1->trigger();
        QVERIFY(!FormInfo->isVisible());
        // ... the button shows its help.
        Form1->BTC_TippClick(Form1->BTC_Tipp);
        QVERIFY(FormInfo->isVisible());
    }

    // ---- starts ----

    void startWithoutPuzzleShowsOptions()
    {
        const QString empty = fx->Dir() + "/leer";
        QDir().mkpath(empty);
        FormGO->ImportDir->setText(empty);
        FormGO->SetImport(1);
        Form1->FileBox->SetDirectory(empty);
        Form1->StartGame();
        QCOMPARE(fx->Dialogs.Texts(), QStringList{"Keine Datei für diese Schwierigkeit gefunden."});
        QVERIFY(FormGO->isVisible());
        FormGO->SetImport(0);
    }

    void startRunsTheClock()
    {
        NETZ->BecomeHost();
        Form1->StartGame();
        // The start sequence counts down one second on its own timer.
        for (int i = 0; i < 5 && !Form1->GameRunning; ++i)
            NETZ->StartTimerTimer();
        QVERIFY(Form1->GameRunning);
        QVERIFY(!Form1->Paused);
        QCOMPARE(Form1->GameStartCount, TTestFixture::Now);
        QCOMPARE(Form1->ClockPenaltySeconds, 0);
        QVERIFY(Form1->BTC_Spiel_Ende->isEnabled());
        QVERIFY(Form1->BTC_Tipp->isEnabled());
        TTestFixture::Now += 2 * kSecond;
        Form1->MsgTimerTimer();
        QCOMPARE(Form1->Zeit->text(), QString("00:02.0"));
        Form1->BTC_Spiel_EndeClick();
        QVERIFY(!Form1->GameRunning);
    }

    void stopDuringCountdownCancelsTheStart_data()
    {
        QTest::addColumn<int>("stop");
        QTest::newRow("local stop") << 0;
        QTest::newRow("finish") << 1;
        QTest::newRow("deferred stop") << 2;
    }
    void stopDuringCountdownCancelsTheStart()
    {
        QFETCH(int, stop);
        NETZ->BecomeHost();
        Form1->StartGame();
        QVERIFY(NETZ->StartTimer->isActive());
        if (stop == 0)
            Form1->StopGameLocal();
        else if (stop == 1)
            Form1->FinishGame();
        else
            Form1->StopGameDeferred();
        QVERIFY(!NETZ->StartTimer->isActive());
        QVERIFY(!Form1->GameStarting);
        QVERIFY(!Form1->GameRunning);
    }

    void startClearsSymbols()
    {
        Form1->SymbolSet = QStringLiteral("ABCDEFGHI");
        Form1->StartGame();
        QCOMPARE(Form1->SymbolSet, QString("123456789"));
    }

    void challengeStage()
    {
        const QString puzzle = QString::fromLatin1(kBuiltinPuzzles[0][0]);
        int givens = 0;
        for (QChar c : puzzle)
            givens += c.isUpper() ? 1 : 0;
        FormStart->GameKind = 3;
        FormCha->ChallengeActive = true;
        FormCha->StageGameCode = puzzle + QStringLiteral("ID234");
        // The stage is registered in its challenge file before the game starts.
        TIniFile file = NewCompetitionDocument(ProgramDir() + "/etappe.challenge", QString());
        QVERIFY(file.WriteString("Spiele", "0001", FormCha->StageGameCode));
        QVERIFY(WriteChecksum(file, "Spiele") && file.Save());
        ChallengeFileName = file.FileName();
        FormCha->StageNr = "0001";
        FormCha->Nickname->setText("Tester");
        FormGO->SetMarkBonus(1);
        Form1->StartGame();
        QCOMPARE(fx->Dialogs.Texts(),
                 QStringList{"Im Challengemodus ist kein Bonus möglich.\n\rBonus wird abgestellt."});
        QVERIFY(!FormGO->HasMarkBonus());
        // The symbols were drawn for the type in force before the stage's options.
        QCOMPARE(Form1->SymbolSet, QString("123456789"));
        QCOMPARE(FormGO->Sud19M->Tag, 2);
        QCOMPARE(FormGO->GetLevel(), 2);
        QCOMPARE(FormGO->MaxMerker->Value(), 4);
        QCOMPARE(givensOnLayer0(), givens);
        const QString first = Form1->BuildPuzzleString();

        Form1->StartGame();
        QCOMPARE(givensOnLayer0(), givens);
        QVERIFY(Form1->BuildPuzzleString() != first);
        FormGO->SetGameType(1);
        FormGO->SetLevel(0);
    }

    void bingoStageInChallengeIsSudoku()
    {
        FormStart->GameKind = 3;
        FormCha->ChallengeActive = true;
        FormCha->StageGameCode = QString::fromLatin1(kBuiltinPuzzles[1][2]) + QStringLiteral("BS012");
        Form1->StartGame();
        QCOMPARE(FormGO->GetGameType(), 1);
        QCOMPARE(FormGO->BingoM->Tag, 0);
    }

    void brokenStageStartsNothing_data()
    {
        QTest::addColumn<QString>("code");
        QTest::newRow("empty") << "";
        QTest::newRow("short") << "ABCabc";
        QTest::newRow("stray letters") << QString(81, QLatin1Char('z')) + "SS012";
    }
    void brokenStageStartsNothing()
    {
        QFETCH(QString, code);
        FormCha->TournamentActive = true;
        FormCha->StageGameCode = code;
        Form1->SymbolSet = QStringLiteral("x");
        Form1->StartGame();
        QCOMPARE(fx->Dialogs.Texts(),
                 QStringList{"Die Etappe enthält kein gültiges Sudoku.\r\nDas Spiel wird nicht gestartet."});
        QCOMPARE(fx->Dialogs.Shown[0].Type, TMsgDlgType::Error);
        QVERIFY(Form1->SymbolSet.isEmpty());
    }
};

QTEST_MAIN(TstGameFlow)
#include "tst_gameflow.moc"
