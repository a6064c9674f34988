// The internet client against a stand-in game server on 127.0.0.1: the exact
// request targets of every action, the effects of the reply records on the
// windows, failures of the server, and one whole game from log-in to log-out.
#include "common/Fixture.h"
#include "board/UMeldung.h"
#include "board/UQuadrivo.h"
#include "net/UNETZ.h"
#include "net/UWebForm.h"
#include "net/WebStandIn.h"
#include "screens/UOptionen.h"
#include "screens/USpielEnde.h"
#include "screens/UStart.h"
#include "settings/USonstiges.h"
#include "settings/USystem.h"

#include <QMessageBox>
#include <QtTest>

namespace {
const QByteArray kWho = "user=Max%20M%FC&pw=" + WebPasswordDigest(QStringLiteral("g&h#ü")).toLatin1();
} // namespace

class TstWebClient : public QObject {
    Q_OBJECT
    std::unique_ptr<TTestFixture> fx;
    std::unique_ptr<TWebStandIn> server;

    // settings: stored before the start-up reads them.
    void startedProgram(const std::function<void()> &settings = {})
    {
        fx->DestroyWindows();
        fx->ClearSettings();
        if (settings)
            settings();
        fx->Dialogs.Shown.clear();
        fx->Dialogs.Answers.clear();
        fx->StartProgram();
        FormStart->hide();
        // The lobby asks only where a test wants it: its first tick is far off.
        WEBForm->LobbyFirstTickMs = 3600 * 1000;
        WEBForm->iNet_User->setText(QStringLiteral("Max Mü"));
        WEBForm->iNet_Passwort->setText(QStringLiteral("g&h#ü"));
        WEBForm->show();
    }

    void waitIdle() { QTRY_VERIFY_WITH_TIMEOUT(WEBForm->RequestsIdle(), 5000); }

    void logIn()
    {
        WEBForm->BTC_Login_anmeldenClick();
        waitIdle();
        QVERIFY(WEBForm->LoggedIn);
        server->Targets.clear();
    }

    QString probe(const QString &key)
    {
        const QStringList k = key.split(QLatin1Char(' '));
        if (k[0] == "player") {
            const TPlayerRecord &p = Form1->Players[k[1].toInt()];
            return QStringLiteral("%1 %2 %3/%4/%5 wait %6 samples %7")
                .arg(p.Name, p.Active ? "on" : "off")
                .arg(p.Points)
                .arg(p.Found)
                .arg(p.Errors)
                .arg(p.WaitSeconds)
                .arg(p.SampleCount);
        }
        if (k[0] == "cell") {
            const int x = k[1].toInt(), y = k[2].toInt();
            const TGridEntry &e = Form1->Boards[1][x][y];
            const TCellView &cv = Form1->Cells[x][y];
            return QStringLiteral("%1 %2 '%3' owner %4 hl %5 blink %6")
                .arg(e.Value)
                .arg(e.State)
                .arg(cv.DigitLabel.Caption())
                .arg(cv.Owner)
                .arg(cv.HighlightTicks)
                .arg(cv.BlinkTicks);
        }
        if (k[0] == "free") {
            QStringList f;
            for (int p = 1; p <= 8; ++p)
                f << QString::number(Form1->Players[p].FreeCells);
            return f.join(QLatin1Char(','));
        }
        if (k[0] == "me")
            return QString::number(NETZ->MyPlayerNo);
        if (k[0] == "chat") {
            QStringList lines;
            for (int i = 0; i < Form1->ChatBox->Count(); ++i)
                lines << Form1->ChatBox->item(i)->text();
            return lines.join(QLatin1Char('/')) + QStringLiteral(" sel %1").arg(Form1->ChatBox->currentRow());
        }
        if (k[0] == "dialogs")
            return fx->Dialogs.Texts().join(QLatin1Char('/'));
        if (k[0] == "state")
            return QStringLiteral("logged %1 lobby %2 resumed %3 running %4 poll %5 game %6 shown %7")
                .arg(WEBForm->LoggedIn)
                .arg(WEBForm->LobbyActive)
                .arg(WEBForm->ResumedGame)
                .arg(Form1->GameRunning)
                .arg(WEBForm->Timer->Enabled())
                .arg(WEBForm->GameLoopId)
                .arg(WEBForm->isVisible());
        if (k[0] == "lobby") {
            QStringList rows;
            for (int i = 0; i < TWEBForm::kLobbyRows; ++i)
                if (!WEBForm->LobbyRow[i]->isHidden())
                    rows << QStringLiteral("%1=%2").arg(TWEBForm::kLobbyCodes[i]).arg(WEBForm->LobbyNames[i]->text());
            return rows.join(QLatin1Char(',')) + QStringLiteral(" h %1").arg(WEBForm->Lobby_Panel->height());
        }
        if (k[0] == "overlay")
            return QStringLiteral("%1 %2 plain %3 time %4")
                .arg(FormMeld->isVisible())
                .arg(FormMeld->MeldTXT->text())
                .arg(FormMeld->MeldTXT->textFormat() == Qt::PlainText)
                .arg(FormMeld->Dauer);
        if (k[0] == "end")
            return QStringLiteral("%1 %2").arg(FormSpielEnde->isVisible()).arg(FormSpielEnde->TablePending);
        if (k[0] == "targets") {
            QStringList t;
            for (const QByteArray &b : server->Targets)
                t << QString::fromLatin1(b);
            return t.join(QLatin1Char(' '));
        }
        return QStringLiteral("unknown probe");
    }

private slots:
    void initTestCase()
    {
        fx = std::make_unique<TTestFixture>();
        server = std::make_unique<TWebStandIn>();
        qputenv("SUDOKU_SERVER_URL", server->BaseUrl().toLatin1());
        ReloadSudokuEnv();
    }
    void cleanupTestCase()
    {
        fx->DestroyWindows();
        qunsetenv("SUDOKU_SERVER_URL");
        ReloadSudokuEnv();
    }
    void init()
    {
        server = std::make_unique<TWebStandIn>();
        qputenv("SUDOKU_SERVER_URL", server->BaseUrl().toLatin1());
        ReloadSudokuEnv();
        startedProgram();
    }

    void logInTargets()
    {
        WEBForm->BTC_Login_anmeldenClick();
        waitIdle();
        WEBForm->BTC_Login_anmeldenClick();
        waitIdle();
        QCOMPARE(probe("targets"),
                 QString::fromLatin1("/anmelden.php?" + kWho + "&dummy=0 /anmelden.php?" + kWho + "&dummy=1"));
        QVERIFY(WEBForm->Panel_spiel->isVisible());
        QVERIFY(!WEBForm->Panel_login->isVisible());
        QCOMPARE(WEBForm->height(), 146);
    }

    // The log-in panel as the other windows look: nothing drawn over
    // anything, a label apart from its edit, button faces, the skin's colours.
    void logInPanelLayout()
    {
        QCOMPARE(WEBForm->iNet_Passwort->displayText(), QString("#####"));
        QCOMPARE(WEBForm->iNet_User->displayText(), QString("Max Mü"));
        TPanel *panel = WEBForm->Panel_login;
        QVERIFY(panel->isVisible());
        QCOMPARE(WEBForm->size(), panel->size());
        auto place = [panel](QWidget *w) { return QRect(w->mapTo(panel, QPoint(0, 0)), w->size()); };
        QList<QWidget *> shown;
        for (QWidget *w : panel->findChildren<QWidget *>())
            if (w->isVisible() && !qobject_cast<TPanel *>(w) && !qobject_cast<TImage *>(w))
                shown << w;
        QVERIFY(shown.size() >= 9);
        for (QWidget *w : shown) {
            QVERIFY2(panel->rect().contains(place(w)), qPrintable(w->metaObject()->className()));
            for (QWidget *o : shown)
                if (o != w)
                    QVERIFY2(!place(w).intersects(place(o)),
                             qPrintable(QStringLiteral("%1 / %2").arg(w->property("text").toString(),
                                                                      o->property("text").toString())));
        }
        for (TLabeledEdit *e : {WEBForm->iNet_User, WEBForm->iNet_Passwort})
            QVERIFY(place(e->EditLabel).right() + 3 <= place(e).left());
        // Every button lies on a face of the skin.
        for (TLabel *b : {WEBForm->BTC_Login_anmelden, WEBForm->BTC_Login_registrieren, WEBForm->BTC_Zurueck,
                          WEBForm->BTC_Spiel_anmelden, WEBForm->BTC_spiel_zurueck}) {
            TImage *face = nullptr;
            for (TImage *im : b->parentWidget()->findChildren<TImage *>(QString(), Qt::FindDirectChildrenOnly))
                if (im->geometry() == b->geometry())
                    face = im;
            QVERIFY2(face, qPrintable(b->text()));
            QVERIFY(face->objectName().startsWith("BIM_"));
            QCOMPARE(face->Picture().toImage(), FormOpt->pic_no_press->Picture().toImage());
        }
        QCOMPARE(panel->palette().color(QPalette::Window), ColorFromBGR(FormOpt->MenueColorValue));
        QCOMPARE(WEBForm->Panel_spiel->palette().color(QPalette::Window), ColorFromBGR(FormOpt->MenueColorValue));
        QCOMPARE(WEBForm->Panel_footer->palette().color(QPalette::Window), ColorFromBGR(FormOpt->FeldColorValue));
    }

    void emptyNameOrPassword_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::newRow("no name") << QString() << "pw";
        QTest::newRow("no password") << "Max" << QString();
    }
    void emptyNameOrPassword()
    {
        QFETCH(QString, user);
        QFETCH(QString, password);
        WEBForm->iNet_User->setText(user);
        WEBForm->iNet_Passwort->setText(password);
        WEBForm->BTC_Login_anmeldenClick();
        QTest::qWait(100);
        QCOMPARE(probe("dialogs"), QString("Name und Passwort eingeben."));
        QVERIFY(server->Targets.isEmpty());
        QVERIFY(!WEBForm->LoggedIn);
    }

    void rememberedLogIn()
    {
        WEBForm->SetRememberLogin(1);
        logIn();
        QCOMPARE(RegReadString("iNetUser", QString()), QString("Max Mü"));
        QCOMPARE(RegReadString("iNetPW", QString()), QString("g&h#ü"));
    }

    void storedPlayerCount_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("players");
        QTest::newRow("one") << 1 << 1;
        QTest::newRow("four") << 4 << 4;
        QTest::newRow("seven") << 7 << 2;
        QTest::newRow("zero") << 0 << 2;
        QTest::newRow("negative") << -1 << 2;
    }
    void storedPlayerCount()
    {
        QFETCH(int, stored);
        QFETCH(int, players);
        startedProgram([stored] { RegWriteInteger("Player", stored); });
        QCOMPARE(WEBForm->PlayerM->Tag, players);
        QCOMPARE(RegReadInteger("Player", 0), players);
        const QImage tick = FormOpt->Pic_hacken->Picture().toImage();
        for (int n = 1; n <= 4; ++n)
            QCOMPARE(WEBForm->PIC_Player[n]->Picture().toImage() == tick, n == players);
        logIn();
        WEBForm->BTC_Spiel_anmeldenClick();
        waitIdle();
        WEBForm->Timer->SetEnabled(false);
        QVERIFY(server->Targets.first().contains("&cnt=" + QByteArray::number(players) + "&"));
    }

    void lobbyCadence()
    {
        QVERIFY(!WEBForm->Lobby->isActive()); // nobody logged in: no timer
        WEBForm->LobbyFirstTickMs = 1;
        WEBForm->BTC_Login_anmeldenClick();
        QTRY_VERIFY_WITH_TIMEOUT(!server->TargetsOf("lobby_info.php").isEmpty(), 3000);
        waitIdle();
        QVERIFY(WEBForm->Lobby->isActive());
        QCOMPARE(WEBForm->Lobby->interval(), 5000);
        QCOMPARE(server->TargetsOf("lobby_info.php"), QList<QByteArray>{"/lobby_info.php?id=-1&" + kWho + "&dummy=1"});
        QCOMPARE(probe("lobby"), QString("0=Anna,12=Bert h 36"));
        // No lobby while a game runs: the timer stops at its tick ...
        server->Targets.clear();
        Form1->GameRunning = true;
        WEBForm->LobbyTimer();
        QVERIFY(!WEBForm->Lobby->isActive());
        // ... and the game's end starts it again at its usual pace.
        WEBForm->InterpretServerReply(QStringLiteral("E|"));
        FormSpielEnde->hide();
        QVERIFY(WEBForm->Lobby->isActive());
        QCOMPARE(WEBForm->Lobby->interval(), 5000);
        // Leaving the game panel stops it for good.
        WEBForm->BTC_spiel_zurueckClick();
        QVERIFY(!WEBForm->Lobby->isActive());
        WEBForm->LobbyTimer();
        QTest::qWait(100);
        QCOMPARE(probe("targets"), QString());
        QVERIFY(WEBForm->Panel_login->isVisible());
    }

    // A second log-in after "Zurück": the panel as at the first, its buttons
    // inside the window, and the lobby asked at once, not at the old 5 s tick.
    void secondLogInStartsAfresh()
    {
        WEBForm->LobbyFirstTickMs = 1;
        logIn();
        QTRY_COMPARE_WITH_TIMEOUT(probe("lobby"), QString("0=Anna,12=Bert h 36"), 3000);
        QVERIFY(WEBForm->height() > 146);
        WEBForm->BTC_spiel_zurueckClick();

        WEBForm->LobbyFirstTickMs = 3600 * 1000;
        logIn();
        QCOMPARE(WEBForm->height(), 146);
        QVERIFY(WEBForm->Lobby_Panel->isHidden());
        QCOMPARE(WEBForm->Panel_footer->geometry().bottom(), 145);
        QVERIFY(WEBForm->BTC_Spiel_anmelden->isVisible());
        QVERIFY(WEBForm->BTC_spiel_zurueck->isVisible());
        WEBForm->BTC_spiel_zurueckClick();

        WEBForm->LobbyFirstTickMs = 1;
        WEBForm->BTC_Login_anmeldenClick();
        waitIdle();
        QVERIFY(!server->TargetsOf("lobby_info.php").isEmpty() || WEBForm->Lobby->remainingTime() <= 1);
        QTRY_VERIFY_WITH_TIMEOUT(!server->TargetsOf("lobby_info.php").isEmpty(), 3000);
    }

    void gameRequestAndPolls()
    {
        logIn();
        WEBForm->PIC_Player1Click(WEBForm->BTC_Level[3]);
        WEBForm->PIC_Player1Click(WEBForm->PIC_Player[2]);
        QCOMPARE(RegReadInteger("level", 0), 3);
        QCOMPARE(RegReadInteger("Player", 0), 2);
        server->queuePoll("c-41|");
        server->queuePoll("c-40|");
        WEBForm->BTC_Spiel_anmeldenClick();
        QTRY_COMPARE_WITH_TIMEOUT(probe("free"), QString("40,40,40,40,40,40,40,40"), 3000);
        WEBForm->Timer->SetEnabled(false);
        QTRY_VERIFY_WITH_TIMEOUT(!WEBForm->PollPending, 3000);
        const QList<QByteArray> polls = server->TargetsOf("poll.php");
        QCOMPARE(server->Targets.first(), "/get_gameid.php?" + kWho + "&level=3&cnt=2&dummy=1");
        QVERIFY(polls.size() >= 2);
        QCOMPARE(polls[0], "/poll.php?mt=4711&id=0&" + kWho + "&dummy=1");
        QCOMPARE(polls[1], "/poll.php?mt=4711&id=1&" + kWho + "&dummy=2");
        QCOMPARE(WEBForm->LastMessageId, 2);
        QVERIFY(!WEBForm->isVisible());
        QVERIFY(Form1->BTC_Spiel_Ende->isEnabled());
    }

    void pollNothingNewKeepsTheId_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("zero") << QByteArray("0|c-9|");
        QTest::newRow("negative") << QByteArray("-1|c-9|");
        QTest::newRow("web page") << QByteArray("<html><BODY>3|c-9|</BODY></html>");
        QTest::newRow("not a number") << QByteArray("x|c-9|");
    }
    void pollNothingNewKeepsTheId()
    {
        QFETCH(QByteArray, reply);
        WEBForm->GameLoopId = 5;
        WEBForm->LastMessageId = 7;
        server->PollReplies.push_back(reply);
        WEBForm->Timer->SetEnabled(true);
        QTRY_VERIFY_WITH_TIMEOUT(server->TargetsOf("poll.php").size() >= 2, 3000);
        WEBForm->Timer->SetEnabled(false);
        QCOMPARE(WEBForm->LastMessageId, 7);
        QCOMPARE(probe("free"), QString("0,0,0,0,0,0,0,0"));
        QVERIFY(server->TargetsOf("poll.php")[1].startsWith("/poll.php?mt=5&id=7&"));
    }

    void aPollThatNeverAnswersTimesOut()
    {
        server->SilentPolls = true;
        WEBForm->RequestTimeoutMs = 400;
        WEBForm->Timer->SetEnabled(true);
        QTest::qWait(250);
        // One in flight: the ticks meanwhile send nothing.
        QCOMPARE(server->TargetsOf("poll.php").size(), 1);
        QVERIFY(WEBForm->PollPending);
        QTRY_VERIFY_WITH_TIMEOUT(server->TargetsOf("poll.php").size() >= 2, 3000);
        WEBForm->Timer->SetEnabled(false);
    }

    void aPollToAClosedPortGoesOn()
    {
        qputenv("SUDOKU_SERVER_URL", "http://127.0.0.1:1/");
        ReloadSudokuEnv();
        WEBForm->Timer->SetEnabled(true);
        QTRY_VERIFY_WITH_TIMEOUT(WEBForm->RequestCounter >= 3, 3000);
        WEBForm->Timer->SetEnabled(false);
        QTRY_VERIFY_WITH_TIMEOUT(!WEBForm->PollPending, 3000);
    }

    void destinationsOffLoopbackAreRefused()
    {
        qputenv("SUDOKU_SERVER_URL", "http://192.0.2.1/");
        ReloadSudokuEnv();
        QVERIFY(SudokuEnv().LoopbackOnly);
        WEBForm->BTC_Login_anmeldenClick();
        WEBForm->TimerTimer();
        QVERIFY(WEBForm->RequestsIdle());
        QVERIFY(!WEBForm->PollPending);
    }

    void entriesAndChat()
    {
        logIn();
        // Chat in the lobby goes to the global chat; during a game to the game's.
        WEBForm->SendChat(QStringLiteral("a & b #1 100% ä"));
        WEBForm->Timer->SetEnabled(true);
        WEBForm->SendPress(3, 4, 5);
        WEBForm->SendPress(9, 9, 1);
        WEBForm->SendChat(QStringLiteral("x+y=z?"));
        WEBForm->Timer->SetEnabled(false);
        waitIdle();
        QCOMPARE(server->TargetsOf("global_chat.php"),
                 QList<QByteArray>{"/global_chat.php?" + kWho + "&txt=a%20%26%20b%20%231%20100%25%20%E4&dummy=1"});
        QCOMPARE(server->TargetsOf("press.php"), (QList<QByteArray>{"/press.php?x=3&y=4&z=5&" + kWho + "&dummy=2",
                                                                    "/press.php?x=9&y=9&z=1&" + kWho + "&dummy=3"}));
        QCOMPARE(server->TargetsOf("chat.php"), QList<QByteArray>{"/chat.php?" + kWho + "&txt=x%2By%3Dz%3F&dummy=4"});
        // Before the log-in the game's chat, too.
        WEBForm->BTC_spiel_zurueckClick();
        server->Targets.clear();
        WEBForm->SendChat(QStringLiteral("hi"));
        waitIdle();
        QCOMPARE(server->TargetsOf("chat.php").size(), 1);
    }

    void logOutAtShutDownIsSent()
    {
        logIn();
        WEBForm->SendLogout();
        WEBForm->WaitForRequests(2000);
        // Answered before the wait returned, without a further event loop turn.
        QCOMPARE(probe("targets"), QString::fromLatin1("/abmelden.php?" + kWho + "&dummy=1"));
        QVERIFY(!WEBForm->LoggedIn);
    }

    void records_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("probe");
        QTest::addColumn<QString>("expected");
        const int none = 0;
        QTest::newRow("player registered, game started")
            << ""
            << "I-1~Max Mü|S|\r\n"
            << none << "state"
            << "logged 0 lobby 0 resumed 0 running 1 poll 0 game 0 shown 1";
        QTest::newRow("own player by case") << ""
                                            << "I-3~max mü|" << none << "me"
                                            << "3";
        QTest::newRow("umlaut case is not folded") << ""
                                                   << "I-3~MAX MÜ|" << none << "me"
                                                   << "0";
        QTest::newRow("name cut to 15") << ""
                                        << "I-2~ABCDEFGHIJKLMNOPQRST|" << none << "player 2"
                                        << "ABCDEFGHIJKLMNO on 0/0/0 wait 0 samples 0";
        QTest::newRow("player slot 9 skipped, rest applies") << ""
                                                             << "I-9~Max|I-2~Bob|" << none << "player 2"
                                                             << "Bob on 0/0/0 wait 0 samples 0";
        QTest::newRow("player gone") << "I-2~Bob|"
                                     << "X-2|" << none << "player 2"
                                     << "Bob off 0/0/0 wait 0 samples 0";
        QTest::newRow("slot 0 changes nothing") << "I-2~Bob|"
                                                << "X-0|" << none << "player 2"
                                                << "Bob on 0/0/0 wait 0 samples 0";
        QTest::newRow("given cell") << ""
                                    << "F-345S|" << none << "cell 3 4"
                                    << "5 -1 '5' owner -1 hl 7 blink 0";
        QTest::newRow("player's cell") << ""
                                       << "F-9982|" << none << "cell 9 9"
                                       << "8 2 '8' owner 2 hl 7 blink 0";
        QTest::newRow("column 0 skipped") << ""
                                          << "F-045S|F-1111|" << none << "cell 1 1"
                                          << "1 1 '1' owner 1 hl 7 blink 0";
        QTest::newRow("blink") << ""
                               << "f-1290|" << none << "cell 1 2"
                               << "0 0 '9' owner -1 hl 0 blink 6";
        QTest::newRow("player data") << "I-1~Max Mü|I-2~Bob|"
                                     << "D-2~120~14~3~7|D-1~80~9~1~0|" << none << "player 2"
                                     << "Bob on 120/14/3 wait 7 samples 1";
        QTest::newRow("other player's data") << "I-1~Max Mü|I-2~Bob|"
                                             << "D-2~120~14~3~7|D-1~80~9~1~0|" << none << "player 1"
                                             << "Max Mü on 80/9/1 wait 0 samples 1";
        QTest::newRow("own penalty hides the board") << "I-1~Max Mü|S|"
                                                     << "D-1~0~0~1~15|" << none << "state"
                                                     << "logged 0 lobby 0 resumed 0 running 1 poll 0 game 0 shown 1";
        QTest::newRow("short player data skipped") << ""
                                                   << "D-2~120~14|D-2~1~2~3~0|" << none << "player 2"
                                                   << " off 1/2/3 wait 0 samples 1";
        QTest::newRow("free cells") << ""
                                    << "c-41|" << none << "free"
                                    << "41,41,41,41,41,41,41,41";
        QTest::newRow("free cells before CR LF") << ""
                                                 << "S|c-41\r\n"
                                                 << none << "free"
                                                 << "41,41,41,41,41,41,41,41";
        QTest::newRow("chat as plain text") << ""
                                            << "C-<b>Hallo</b>|C-du & ich|" << none << "chat"
                                            << "<b>Hallo</b>/du & ich sel 1";
        QTest::newRow("chat line without its closing bar") << ""
                                                           << "C-ohne Strich\r\n"
                                                           << none << "chat"
                                                           << "ohne Strich sel 0";
        QTest::newRow("chat cleared") << "C-eins|"
                                      << "r|" << none << "chat"
                                      << " sel -1";
        QTest::newRow("small notice") << ""
                                      << "m-<i>x</i>|" << none << "overlay"
                                      << "1 <i>x</i> plain 1 time 20";
        QTest::newRow("large notice") << ""
                                      << "M-Los!|" << none << "overlay"
                                      << "1 Los! plain 1 time 20";
        QTest::newRow("connecting stays until the start") << ""
                                                          << "s-0~99|" << none << "overlay"
                                                          << "1 Verbinde... plain 1 time 0";
        QTest::newRow("message box") << ""
                                     << "x-Hinweis|" << none << "dialogs"
                                     << "Hinweis";
        QTest::newRow("refused") << ""
                                 << "a|" << none << "dialogs"
                                 << "Anmeldung nicht erfolgreich.";
        QTest::newRow("game full") << ""
                                   << "V|" << none << "dialogs"
                                   << "Spiel mittlerweile voll.\r\nBitte nochmal versuchen!";
        QTest::newRow("game assigned") << ""
                                       << "s-0~99|" << none << "state"
                                       << "logged 0 lobby 0 resumed 0 running 0 poll 1 game 99 shown 0";
        QTest::newRow("game number missing") << ""
                                             << "s-99|" << none << "state"
                                             << "logged 0 lobby 0 resumed 0 running 0 poll 0 game 0 shown 1";
        // The dialog shows with its end table already filled.
        QTest::newRow("end") << "S|"
                             << "E|" << none << "end"
                             << "1 0";
        QTest::newRow("unknown letter skipped") << ""
                                                << "e-1|Z|S|" << none << "state"
                                                << "logged 0 lobby 0 resumed 0 running 1 poll 0 game 0 shown 1";
        QTest::newRow("lobby") << ""
                               << "L-0~Anna#12~Bert, Carl|" << none << "lobby"
                               << "0=Anna,12=Bert, Carl h 36";
        QTest::newRow("lobby code outside the rows") << ""
                                                     << "L-0~Anna#15~Zoe#-#x~y|" << none << "lobby"
                                                     << "0=Anna h 72";
        QTest::newRow("log-in") << ""
                                << "A-v03.00-04~v03.00-04~0|" << none << "state"
                                << "logged 1 lobby 1 resumed 0 running 0 poll 0 game 0 shown 1";
        QTest::newRow("older minimum") << ""
                                       << "A-v02.00-00~~0|" << none << "dialogs"
                                       << "";
        QTest::newRow("minimum one higher refuses") << ""
                                                    << "A-v03.00-05~v03.00-05~0|S|" << none << "state"
                                                    << "logged 0 lobby 0 resumed 0 running 0 poll 0 game 0 shown 1";
        QTest::newRow("refusal says why") << ""
                                          << "A-v03.00-05~v03.00-05~0|S|" << none << "dialogs"
                                          << "Es ist eine aktuellere Version verfügbar.\r\nDiese Version läuft nicht "
                                             "mehr.\r\nVersion bitte updaten.";
        QTest::newRow("newer current version") << ""
                                               << "A-v03.00-04~v03.00-05~0|" << none << "dialogs"
                                               << "Es ist eine aktuellere Version mit kleinen Änderungen verfügbar."
                                                  "\r\nEin Update ist noch nicht notwendig.";
        QTest::newRow("resumed game") << ""
                                      << "A-v03.00-04~v03.00-04~77|S|" << int(mrYes) << "state"
                                      << "logged 1 lobby 0 resumed 1 running 0 poll 1 game 77 shown 0";
        QTest::newRow("declined game logs out and in") << ""
                                                       << "A-v03.00-04~v03.00-04~77|" << int(mrNo) << "targets"
                                                       << QString::fromLatin1("/abmelden.php?" + kWho + "&dummy=0");
        QTest::newRow("declined game, then the lobby") << ""
                                                       << "A-v03.00-04~v03.00-04~77|" << int(mrNo) << "state"
                                                       << "logged 1 lobby 1 resumed 0 running 0 poll 0 game 0 shown 1";
        QTest::newRow("new game clears the resumed flag")
            << "A-v03.00-04~v03.00-04~77|"
            << "I-1~Max Mü|s-0~78|D-1~0~0~1~15|" << int(mrYes) << "player 1"
            << "Max Mü on 0/0/1 wait 15 samples 1";
        QTest::newRow("resumed game shows no waits") << "A-v03.00-04~v03.00-04~77|"
                                                     << "I-1~Max Mü|D-1~0~0~1~15|" << int(mrYes) << "player 1"
                                                     << "Max Mü on 0/0/1 wait 0 samples 1";
    }
    void records()
    {
        QFETCH(QString, before);
        QFETCH(QString, reply);
        QFETCH(int, answer);
        QFETCH(QString, probe);
        QFETCH(QString, expected);
        WEBForm->SetWebPlayers(2);
        if (answer != 0)
            fx->Dialogs.Answers.push_back(answer);
        if (!before.isEmpty())
            WEBForm->InterpretServerReply(before);
        fx->Dialogs.Shown.clear();
        WEBForm->InterpretServerReply(reply);
        WEBForm->Timer->SetEnabled(false);
        waitIdle();
        if (probe == "state" && expected.contains("poll 1"))
            WEBForm->Timer->SetEnabled(true);
        QCOMPARE(this->probe(probe), expected);
        WEBForm->Timer->SetEnabled(false);
        if (probe == "state" && reply.startsWith("D-1"))
            QVERIFY(Form1->brett->isHidden());
    }

    // The real message box, not the scripted one: the server's markup must
    // come out as the characters it sent.
    void serverMessageBoxShowsPlainText()
    {
        InstallDialogService(nullptr);
        QString text;
        Qt::TextFormat format = Qt::RichText;
        QTimer answer;
        connect(&answer, &QTimer::timeout, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                text = box->text();
                format = box->textFormat();
                box->accept();
            }
        });
        answer.start(10);
        WEBForm->InterpretServerReply(QStringLiteral("x-<b>fett</b>|"));
        answer.stop();
        InstallDialogService(&fx->Dialogs);
        QCOMPARE(text, QString("<b>fett</b>"));
        QCOMPARE(format, Qt::PlainText);
    }

    void progressSamplesStopAt161()
    {
        for (int i = 0; i < 170; ++i)
            WEBForm->InterpretServerReply(QStringLiteral("D-4~%1~%1~0~0|").arg(i));
        QCOMPARE(Form1->Players[4].SampleCount, kSampleCapacity);
        QCOMPARE(Form1->Players[4].Found, 169);
        QCOMPARE(Form1->Players[4].Samples[kSampleCapacity - 1].Found, kSampleCapacity - 1);
    }

    void oneWholeGame()
    {
        server->PlayOneGame(QStringLiteral("Max Mü"), {{1, 1}, {5, 5}, {9, 9}});
        WEBForm->BTC_Login_anmeldenClick();
        waitIdle();
        QVERIFY(WEBForm->LoggedIn);
        WEBForm->PIC_Player1Click(WEBForm->PIC_Player[1]);
        WEBForm->BTC_Spiel_anmeldenClick();
        QTRY_VERIFY_WITH_TIMEOUT(Form1->GameRunning, 3000);
        QCOMPARE(NETZ->MyPlayerNo, 1);
        QVERIFY(!Form1->brett->isHidden());
        int givens = 0;
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x)
                givens += Form1->Boards[1][x][y].State == -1 ? 1 : 0;
        QCOMPARE(givens, 78);
        QCOMPARE(Form1->Players[1].FreeCells, 3);
        // A wrong digit blinks and changes no layer.
        const int wrong = TWebStandIn::Solution(1, 1) % 9 + 1;
        WEBForm->SendPress(1, 1, wrong);
        QTRY_COMPARE_WITH_TIMEOUT(Form1->Players[1].Errors, 1, 3000);
        QCOMPARE(Form1->Boards[1][1][1].Value, 0);
        for (const auto &c : std::vector<std::pair<int, int>>{{1, 1}, {5, 5}, {9, 9}})
            WEBForm->SendPress(c.first, c.second, TWebStandIn::Solution(c.first, c.second));
        QTRY_VERIFY_WITH_TIMEOUT(FormSpielEnde->isVisible(), 3000);
        QVERIFY(!Form1->GameRunning);
        QVERIFY(!WEBForm->Timer->Enabled());
        QCOMPARE(Form1->Players[1].Found, 3);
        QCOMPARE(Form1->Players[1].FreeCells, 0);
        QCOMPARE(Form1->Boards[1][9][9].Value, TWebStandIn::Solution(9, 9));
        QCOMPARE(Form1->Boards[1][9][9].State, 1);
        // Closing the end dialog leads back here, still logged in; then leave.
        FormSpielEnde->BTC_closeClick();
        QVERIFY(WEBForm->isVisible());
        WEBForm->SendLogout();
        WEBForm->WaitForRequests(2000);
        QCOMPARE(server->Targets.last(), "/abmelden.php?" + kWho + "&dummy=6");
    }
};

QTEST_MAIN(TstWebClient)
#include "tst_webclient.moc"
