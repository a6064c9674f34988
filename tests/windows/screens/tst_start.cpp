// The terms gate at the first start, and the start screen with every route
// from it: which window opens, which game kind and play mode follow, the
// overlay texts and the state of the listener.
#include "common/Fixture.h"
#include "board/ULog.h"
#include "board/UMeldung.h"
#include "board/UQuadrivo.h"
#include "competitions/UChallenge.h"
#include "competitions/UDuell.h"
#include "competitions/Ughost.h"
#include "net/UNETZ.h"
#include "net/USucheSpiele.h"
#include "net/UWebForm.h"
#include "screens/UDisclaimer.h"
#include "screens/UGameOptionen.h"
#include "screens/UInfo.h"
#include "screens/UOptionen.h"
#include "screens/UStart.h"
#include "screens/UVorgabe.h"
#include "settings/USonstiges.h"
#include "settings/USystem.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QTextEdit>
#include <QTimer>
#include <QtTest/qtestspontaneevent.h>
#include <QtTest>
#include <functional>

namespace {
// A tick shows the tick picture of the bank, a box the empty box.
bool ticked(const TImage *pic)
{
    return pic->Picture().cacheKey() == FormOpt->Pic_hacken->Picture().cacheKey();
}
bool boxed(const TImage *pic)
{
    return pic->Picture().cacheKey() == FormOpt->pic_box->Picture().cacheKey();
}

// The windows a route may lead to, by name.
QWidget *windowNamed(const QString &name)
{
    static const std::pair<const char *, QWidget **> windows[] = {
        {"FormGO", reinterpret_cast<QWidget **>(&FormGO)},
        {"FormGhost", reinterpret_cast<QWidget **>(&FormGhost)},
        {"Vorgabe", reinterpret_cast<QWidget **>(&Vorgabe)},
        {"FormDuell", reinterpret_cast<QWidget **>(&FormDuell)},
        {"FormSucheSpiele", reinterpret_cast<QWidget **>(&FormSucheSpiele)},
        {"WEBForm", reinterpret_cast<QWidget **>(&WEBForm)},
        {"FormOpt", reinterpret_cast<QWidget **>(&FormOpt)},
        {"FormStart", reinterpret_cast<QWidget **>(&FormStart)},
    };
    for (const auto &w : windows)
        if (name == QLatin1String(w.first))
            return *w.second;
    return nullptr;
}
const QStringList kRouteWindows = {"FormGO",          "FormGhost", "Vorgabe", "FormDuell",
                                   "FormSucheSpiele", "WEBForm",   "FormOpt"};

// A close request as the window manager's close button sends it: a
// spontaneous close event, and the window hidden when it takes it.
void closeFromOutside(QWidget *w)
{
    QCloseEvent e;
    QSpontaneKeyEvent::setSpontaneous(&e);
    // notify(), not sendEvent(): sendEvent marks every event as the program's own.
    QCoreApplication::instance()->notify(w, &e);
    if (e.isAccepted())
        w->hide();
}

// Runs the program's loop until something ends it; 99 when nothing did.
int runLoopAfter(const std::function<void()> &action)
{
    QTimer::singleShot(0, action);
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    guard.start(10000);
    return QCoreApplication::exec();
}
} // namespace

class TstStart : public QObject {
    Q_OBJECT
    std::unique_ptr<TTestFixture> fx;

    void freshStart(bool acceptedTerms)
    {
        fx->DestroyWindows();
        fx->ClearSettings();
        if (acceptedTerms)
            RegWriteInteger("Disclaimer", 1);
        // The listener binds to loopback on a port of this test's own.
        RegWriteString("Port", QString::number(30000 + QCoreApplication::applicationPid() % 20000));
        fx->Dialogs.Shown.clear();
        fx->CreateWindows();
    }

    void startedProgram()
    {
        freshStart(true);
        fx->RunStartupTo(160);
        QVERIFY(FormStart->isVisible());
    }

    // One action of a route, by name.
    void act(const QString &step)
    {
        TFormStart *s = FormStart;
        const std::pair<const char *, std::function<void()>> actions[] = {
            {"tab single", [s] { s->Tab_EinzelspielerClick(s->Tab_Einzelspieler); }},
            {"tab multi", [s] { s->Tab_EinzelspielerClick(s->Tab_Mehrspieler); }},
            {"tab other", [s] { s->Tab_EinzelspielerClick(s->Tab_Sonstiges); }},
            {"normal", [s] { s->Pic_normalClick(s->BTC_Normal); }},
            {"ghost", [s] { s->Pic_normalClick(s->Pic_Ghost); }},
            {"challenge", [s] { s->Pic_normalClick(s->BTC_Challenge); }},
            {"repeat", [s] { s->Pic_normalClick(s->BTC_Wiederholung); }},
            {"single weiter", [s] { s->BTC_EinzelSpielerStartClick(); }},
            {"lan", [s] { s->BTC_LANClick(); }},
            {"inet", [s] { s->BTC_iNetClick(); }},
            {"open", [s] { s->BTC_suchenClick(s->BTC_eroeffnen); }},
            {"search", [s] { s->BTC_suchenClick(s->pic_suchen); }},
            {"tournament", [s] { s->BTC_suchenClick(s->BTC_Turnier); }},
            {"duel", [s] { s->BTC_suchenClick(s->BTC_Duell); }},
            {"join first", [s] { s->BTC_suchenClick(s->BTC_Beitreten); }},
            {"weiter", [s] { s->BTC_weiterClick(); }},
            {"back", [s] { s->Tab_EinzelspielerClick(s->BTC_Zurueck); }},
            {"options", [s] { s->BTC_OptionenClick(); }},
            {"editor", [s] { s->BTC_EditorClick(); }},
        };
        for (const auto &a : actions)
            if (step == QLatin1String(a.first)) {
                a.second();
                return;
            }
        QFAIL(qPrintable("unknown step " + step));
    }

private slots:
    void initTestCase()
    {
        fx = std::make_unique<TTestFixture>();
    }
    void cleanupTestCase() { fx.reset(); }

    // ---- the terms gate ------------------------------------------------------

    void termsAcceptedOnceStoreAndGoOn()
    {
        freshStart(false);
        fx->RunStartupTo(150);
        QVERIFY(Disclaimer->isVisible());
        QVERIFY(!Form1->isVisible());
        QVERIFY(!Form1->SplashTimer->isActive());
        QCOMPARE(RegReadInteger("Disclaimer", 7), 0);
        QVERIFY(!Disclaimer->BitBtn1->isEnabled());
        QCOMPARE(Disclaimer->BitBtn1->text(), QString("Weiter >"));
        QCOMPARE(Disclaimer->CheckBox1->text(), QString("Nutzungsbedingungen zustimmen"));
        QVERIFY(Disclaimer->Box->toPlainText().contains("Nutzungsbedingungen"));
        // The tick alone enables "Weiter >", unticking disables it again.
        Disclaimer->CheckBox1->click();
        QVERIFY(Disclaimer->BitBtn1->isEnabled());
        Disclaimer->CheckBox1->click();
        QVERIFY(!Disclaimer->BitBtn1->isEnabled());
        Disclaimer->CheckBox1->click();
        Disclaimer->BitBtn1->click();
        QCOMPARE(RegReadInteger("Disclaimer", 0), 1);
        QVERIFY(!Disclaimer->isVisible());
        QVERIFY(Form1->isVisible());
        fx->RunStartupTo(160);
        QVERIFY(FormStart->isVisible());
        QCOMPARE(FormStart->PlayMode, 10);

        // The next start does not ask again.
        fx->DestroyWindows();
        fx->CreateWindows();
        fx->RunStartupTo(160);
        QVERIFY(!Disclaimer->isVisible());
        QVERIFY(FormStart->isVisible());
    }

    void termsDeclinedEndTheProgram_data()
    {
        QTest::addColumn<bool>("titleBar");
        QTest::newRow("Abbrechen") << false;
        QTest::newRow("title bar") << true;
    }

    void termsDeclinedEndTheProgram()
    {
        QFETCH(bool, titleBar);
        freshStart(false);
        fx->RunStartupTo(150);
        QVERIFY(Disclaimer->isVisible());
        Form1->resize(900, 700);
        const int rc = runLoopAfter([titleBar] {
            if (titleBar)
                Disclaimer->close();
            else
                Disclaimer->BitBtn2->click();
        });
        QCOMPARE(rc, 0);
        QVERIFY(!Disclaimer->isVisible());
        QVERIFY(!Form1->isVisible());
        QVERIFY(!Form1->SplashTimer->isActive());
        // Nothing stored: the terms still wait, the window geometry is the default.
        Form1->close();
        QCOMPARE(RegReadInteger("Disclaimer", 7), 0);
        QCOMPARE(RegReadInteger("Window1Width", 0), 1020);
    }

    // ---- the start screen ----------------------------------------------------------

    void startUpShowsTheSingleTab()
    {
        startedProgram();
        QCOMPARE(FormStart->windowTitle(), QString("Spielstart"));
        QCOMPARE(FormStart->TitelLabel->text(), QString("Spielstart :"));
        QCOMPARE(FormStart->PlayMode, 10);
        QCOMPARE(FormStart->GameKind, 1);
        QCOMPARE(FormStart->width(), 340);
        QVERIFY(Form1->SinglePlayerGame);
        QVERIFY(FormStart->Panel_EinzelSpieler->isVisible());
        QVERIFY(!FormStart->Panel_Mehrspieler->isVisible());
        QVERIFY(!FormStart->Panel_verbindung->isVisible());
        QVERIFY(!FormStart->Panel_Sonstiges->isVisible());
        QCOMPARE(FormStart->height(), FormStart->Panel_EinzelSpieler->Tag + FormStart->TitelPanel->height());
        QVERIFY(ticked(FormStart->Pic_normal));
        QVERIFY(boxed(FormStart->Pic_Ghost) && boxed(FormStart->Pic_Challenge) && boxed(FormStart->Pic_Wiederholung));
        QVERIFY(FormStart->BTC_EinzelSpielerStart->isEnabled());
        QVERIFY(!FormStart->BTC_Turnier->isEnabled());
        QVERIFY(!FormStart->BTC_Beitreten->isEnabled());
        QVERIFY(!FormStart->BTC_Duell->isEnabled());
        QVERIFY(!NETZ->IsListenerActive());
        // The tab strip's base line leaves a gap for the active tab.
        QCOMPARE(FormStart->BL->width(), FormStart->Pic_Einzelspieler->x());
        QCOMPARE(FormStart->BR->x(), FormStart->Pic_Einzelspieler->x() + FormStart->Pic_Einzelspieler->width());
        QCOMPARE(FormStart->BL->y(), FormStart->TitelPanel->height() - 2);
        // The tool-panel groups are collapsed while the start screen is up.
        QCOMPARE(Form1->Panel_Einzel->height(), 0);
        QCOMPARE(Form1->Panel_Menue->height(), 0);
        QVERIFY(!FormStart->Pic_Einzelspieler->Picture().isNull());
        // Placed over the board area of the main window.
        const QRect main = Form1->geometry();
        QCOMPARE(FormStart->x(),
                 std::max(1, main.left() + (main.width() - Form1->ToolPanel->width() - FormStart->width()) / 2));
        QCOMPARE(FormStart->y(), main.top() + (main.height() - FormStart->height()) / 2);
    }

    void tabsLayTheWindowOut_data()
    {
        QTest::addColumn<QString>("tab");
        QTest::addColumn<int>("playMode");
        QTest::addColumn<QString>("panel");
        QTest::newRow("single") << "tab single" << 10 << "Panel_EinzelSpieler";
        QTest::newRow("multi") << "tab multi" << 20 << "Panel_verbindung";
        QTest::newRow("other") << "tab other" << 1 << "Panel_Sonstiges";
    }

    void tabsLayTheWindowOut()
    {
        QFETCH(QString, tab);
        QFETCH(int, playMode);
        QFETCH(QString, panel);
        startedProgram();
        act(tab);
        QCOMPARE(FormStart->PlayMode, playMode);
        QCOMPARE(Form1->SinglePlayerGame, playMode == 10);
        TPanel *panels[] = {FormStart->Panel_EinzelSpieler, FormStart->Panel_verbindung, FormStart->Panel_Mehrspieler,
                            FormStart->Panel_Sonstiges};
        const char *names[] = {"Panel_EinzelSpieler", "Panel_verbindung", "Panel_Mehrspieler", "Panel_Sonstiges"};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(panels[i]->isVisible(), panel == QLatin1String(names[i]));
            if (panel == QLatin1String(names[i]))
                QCOMPARE(FormStart->height(), panels[i]->Tag + FormStart->TitelPanel->height());
        }
        QCOMPARE(FormStart->LanMode, 0);
    }

    void routes_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("window");    // the one route window that is open; empty: not checked
        QTest::addColumn<bool>("startVisible"); // the start screen stays open
        QTest::addColumn<int>("gameKind");
        QTest::addColumn<int>("playMode");
        QTest::addColumn<int>("lanMode");
        QTest::addColumn<bool>("joinFirst");
        QTest::addColumn<bool>("listener");
        QTest::addColumn<QString>("overlay"); // overlay text, empty: no overlay
        QTest::addColumn<int>("dauer");

        const QString noOverlay;
        const QString wait = QStringLiteral("Warte auf weitere Spieler,\n\rdann Spiel starten.");
        QTest::newRow("normal game") << QStringList{"tab single", "normal", "single weiter"} << "FormGO" << false << 1
                                     << 10 << 0 << false << false << noOverlay << 0;
        QTest::newRow("ghost game") << QStringList{"ghost", "single weiter"} << "FormGhost" << false << 2 << 10 << 0
                                    << false << false << noOverlay << 0;
        QTest::newRow("challenge") << QStringList{"challenge", "single weiter"} << "" << false << 3 << 10 << 0 << false
                                   << false << noOverlay << 0;
        QTest::newRow("repeat a game") << QStringList{"repeat", "single weiter"} << "Vorgabe" << false << 4 << 10 << 0
                                       << false << false << noOverlay << 0;
        QTest::newRow("connection choice")
            << QStringList{"tab multi"} << "" << true << 1 << 20 << 0 << false << false << noOverlay << 0;
        QTest::newRow("lan panel") << QStringList{"tab multi", "lan"} << "" << true << 1 << 20 << 0 << false << true
                                   << noOverlay << 0;
        QTest::newRow("open lan game") << QStringList{"tab multi", "lan", "open", "weiter"} << "FormGO" << false << 1
                                       << 20 << 1 << false << true << wait << 50;
        QTest::newRow("tournament") << QStringList{"tab multi", "lan", "open", "tournament", "weiter"} << "" << false
                                    << 5 << 20 << 1 << false << true << noOverlay << 0;
        QTest::newRow("tournament twice is a normal game")
            << QStringList{"tab multi", "lan", "open", "tournament", "tournament", "weiter"} << "FormGO" << false << 0
            << 20 << 1 << false << true << wait << 50;
        QTest::newRow("duel") << QStringList{"tab multi", "lan", "open", "duel", "weiter"} << "FormDuell" << false << 6
                              << 20 << 1 << false << true << noOverlay << 0;
        QTest::newRow("search joins the first game")
            << QStringList{"tab multi", "lan", "search", "weiter"} << "" << true << 0 << 20 << 2 << true << true
            << "Suche ein Spiel ..." << 20;
        QTest::newRow("search without join-first lists games")
            << QStringList{"tab multi", "lan", "search", "join first", "weiter"} << "FormSucheSpiele" << false << 0
            << 20 << 2 << false << true << noOverlay << 0;
        QTest::newRow("internet") << QStringList{"tab multi", "inet"} << "WEBForm" << false << 1 << 20 << 0 << false
                                  << false << noOverlay << 0;
        QTest::newRow("back from the lan panel") << QStringList{"tab multi", "lan", "open", "back"} << "" << true << 1
                                                 << 20 << 0 << false << true << noOverlay << 0;
        QTest::newRow("single again switches the listener off")
            << QStringList{"tab multi", "lan", "tab single"} << "" << true << 1 << 10 << 0 << false << false
            << noOverlay << 0;
        QTest::newRow("program options") << QStringList{"tab other", "options"} << "FormOpt" << false << 1 << 1 << 0
                                         << false << false << noOverlay << 0;
        QTest::newRow("editor") << QStringList{"tab other", "editor"} << "" << false << 1 << 1 << 0 << false << false
                                << noOverlay << 0;
    }

    void routes()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, window);
        QFETCH(bool, startVisible);
        QFETCH(int, gameKind);
        QFETCH(int, playMode);
        QFETCH(int, lanMode);
        QFETCH(bool, joinFirst);
        QFETCH(bool, listener);
        QFETCH(QString, overlay);
        QFETCH(int, dauer);
        startedProgram();
        for (const QString &step : steps)
            act(step);
        QCOMPARE(FormStart->isVisible(), startVisible);
        if (!window.isEmpty())
            for (const QString &name : kRouteWindows)
                QVERIFY2(windowNamed(name)->isVisible() == (name == window), qPrintable(name));
        QCOMPARE(FormStart->GameKind, gameKind);
        QCOMPARE(FormStart->PlayMode, playMode);
        QCOMPARE(FormStart->LanMode, lanMode);
        QCOMPARE(FormStart->JoinFirstFound, joinFirst);
        QCOMPARE(NETZ->IsListenerActive(), listener);
        QCOMPARE(Form1->SinglePlayerGame, playMode == 10);
        QCOMPARE(FormMeld->isVisible(), !overlay.isEmpty());
        if (!overlay.isEmpty()) {
            QCOMPARE(FormMeld->MeldTXT->text(), overlay);
            QCOMPARE(FormMeld->Dauer, dauer);
        }
        if (steps.last() == "weiter" && lanMode == 1)
            QVERIFY(Form1->HostsNetworkGame);
        NETZ->SetListenerActive(false);
    }

    void aListenerThatCannotStartIsReported()
    {
        startedProgram();
        act("tab multi");
        // An address this machine does not have: the bind fails, nothing is sent.
        NETZ->BindAddress = "192.0.2.1";
        act("lan");
        QVERIFY(!NETZ->IsListenerActive());
        QVERIFY(FormStart->Panel_verbindung->isVisible());
        QVERIFY(!FormStart->Panel_Mehrspieler->isVisible());
        QVERIFY(!fx->Dialogs.Shown.empty());
        QVERIFY(fx->Dialogs.Shown.back().Text.startsWith("Der Netzwerkempfang konnte nicht gestartet werden"));
        QVERIFY(fx->Dialogs.Shown.back().Type == TMsgDlgType::Warning);
    }

    void singleWeiterPreparesTheMainWindow()
    {
        startedProgram();
        Vorgabe->SpielVorgabe->setText("alter Code");
        Form1->BTC_Tipp->setEnabled(true);
        Form1->BTC_Weiter->setEnabled(true);
        Form1->BTC_Pause->setEnabled(false);
        act("single weiter");
        QVERIFY(!Form1->BTC_Tipp->isEnabled());
        QVERIFY(!Form1->BTC_Weiter->isEnabled());
        QVERIFY(Form1->BTC_Pause->isEnabled());
        QVERIFY(Vorgabe->SpielVorgabe->text().isEmpty());
        // Single play keeps the board to the own player.
        QVERIFY(FormGO->IsOwnBoard());
    }

    void singleChoicesTickOneAndEnableWeiter_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("normal") << 1 << true;
        QTest::newRow("ghost") << 2 << true;
        QTest::newRow("challenge") << 3 << true;
        QTest::newRow("repeat") << 4 << true;
        QTest::newRow("none") << 0 << false;
        QTest::newRow("duel is no single mode") << 6 << false;
    }

    void singleChoicesTickOneAndEnableWeiter()
    {
        QFETCH(int, kind);
        QFETCH(bool, enabled);
        startedProgram();
        FormStart->SelectSingleMode(kind);
        QCOMPARE(FormStart->GameKind, kind);
        const TImage *pics[] = {FormStart->Pic_normal, FormStart->Pic_Ghost, FormStart->Pic_Challenge,
                                FormStart->Pic_Wiederholung};
        for (int k = 1; k <= 4; ++k)
            QCOMPARE(ticked(pics[k - 1]), k == kind);
        QCOMPARE(FormStart->BTC_EinzelSpielerStart->isEnabled(), enabled);
        // A disabled "weiter" does nothing.
        FormStart->BTC_EinzelSpielerStartClick();
        QCOMPARE(FormStart->isVisible(), !enabled);
    }

    void multiChoicesFollowTheState()
    {
        startedProgram();
        act("tab multi");
        act("lan");
        QVERIFY(FormStart->Panel_Mehrspieler->isVisible());
        QVERIFY(!FormStart->Panel_verbindung->isVisible());
        QCOMPARE(FormStart->height(), FormStart->Panel_Mehrspieler->Tag + FormStart->TitelPanel->height());
        // Disabled choices ignore clicks.
        act("join first");
        QCOMPARE(FormStart->LanMode, 0);
        QVERIFY(!FormStart->JoinFirstFound);
        act("open");
        QVERIFY(ticked(FormStart->pic_eroeffnen) && boxed(FormStart->pic_suchen));
        QVERIFY(FormStart->BTC_Turnier->isEnabled() && FormStart->BTC_Duell->isEnabled());
        QVERIFY(!FormStart->BTC_Beitreten->isEnabled());
        QCOMPARE(FormStart->BTC_weiter->Caption(), QString("weiter"));
        act("tournament");
        QVERIFY(ticked(FormStart->Pic_Turnier) && boxed(FormStart->pic_Duell));
        act("duel");
        QCOMPARE(FormStart->GameKind, 6);
        QVERIFY(boxed(FormStart->Pic_Turnier) && ticked(FormStart->pic_Duell));
        act("search");
        QVERIFY(boxed(FormStart->pic_eroeffnen) && ticked(FormStart->pic_suchen));
        QVERIFY(ticked(FormStart->Pic_beitreten) && boxed(FormStart->pic_Duell));
        QVERIFY(!FormStart->BTC_Turnier->isEnabled() && !FormStart->BTC_Duell->isEnabled());
        QVERIFY(FormStart->BTC_Beitreten->isEnabled());
        QCOMPARE(FormStart->BTC_weiter->Caption(), QString("suchen"));
        act("tournament"); // disabled now
        QCOMPARE(FormStart->GameKind, 0);
        act("join first");
        QVERIFY(!FormStart->JoinFirstFound);
        QVERIFY(boxed(FormStart->Pic_beitreten));
        act("join first");
        QVERIFY(FormStart->JoinFirstFound);
        NETZ->SetListenerActive(false);
    }

    void searchTimesOutAndMayBeRepeated()
    {
        startedProgram();
        for (const char *s : {"tab multi", "lan", "search", "weiter"})
            act(s);
        QVERIFY(FormStart->Warte->isActive());
        QCOMPARE(FormStart->Warte->interval(), 2000);
        QVERIFY(Trace->LogBox->Items().join('\n').contains("Suche ein Spiel ..."));
        FormStart->WarteTimer();
        QVERIFY(!FormStart->Warte->isActive());
        QCOMPARE(FormMeld->MeldTXT->text(), QString("Konnte kein Spiel finden.\n\rNochmals suchen."));
        QCOMPARE(FormMeld->Dauer, 20);
        QVERIFY(Trace->LogBox->Items().join('\n').contains("Konnte kein Spiel finden."));
        QVERIFY(FormStart->isVisible());
        QVERIFY(FormStart->BTC_weiter->isEnabled());
        act("weiter");
        QVERIFY(FormStart->Warte->isActive());
        FormStart->Warte->stop();
        NETZ->SetListenerActive(false);
    }

    void aFoundGameLogsInAndStopsTheStartUp()
    {
        freshStart(true);
        fx->RunStartupTo(152);
        QVERIFY(Form1->SplashTimer->isActive());
        FormStart->show();
        FormStart->Warte->start();
        FormStart->LanGameFound("127.0.0.5");
        QVERIFY(!FormStart->Warte->isActive());
        QVERIFY(!FormStart->isVisible());
        QCOMPARE(Form1->SplashTimer->Tag, 156);
        QCOMPARE(FormMeld->MeldTXT->text(), QString("Auf weitere Spieler warten,\n\rSpieler 1 startet das Spiel."));
        QCOMPARE(FormMeld->Dauer, 0);
        QVERIFY(Trace->LogBox->Items().join('\n').contains("Ein Spiel wurde gefunden."));
        // The next tick of the start-up timer stops it; the start screen stays closed.
        Form1->SplashTimerTimer();
        QVERIFY(!Form1->SplashTimer->isActive());
        QVERIFY(!FormStart->isVisible());
    }

    void aTabClickWhileHostingTellsTheClients()
    {
        startedProgram();
        for (const char *s : {"tab multi", "lan", "open", "weiter"})
            act(s);
        QVERIFY(Form1->HostsNetworkGame);
        QVERIFY(!FormStart->BTC_eroeffnen->isEnabled());
        NETZ->MyPlayerNo = 1;
        Form1->Players[1].Name = "Gastgeber";
        Form1->Players[1].Active = true;
        FormStart->show();
        act("tab multi");
        QVERIFY(!Form1->HostsNetworkGame);
        QCOMPARE(NETZ->MyPlayerNo, 0);
        QVERIFY(Form1->Players[1].Name.isEmpty());
        QVERIFY(!Form1->Players[1].Active);
        NETZ->SetListenerActive(false);
    }

    void returningWhileHostingOpensNoSecondTime()
    {
        startedProgram();
        for (const char *s : {"tab multi", "lan", "open", "weiter"})
            act(s);
        QVERIFY(Form1->HostsNetworkGame);
        // Back from the game options to the start screen, and "weiter" again.
        FormStart->show();
        FormStart->BTC_eroeffnen->setEnabled(true);
        act("weiter");
        QVERIFY(Form1->HostsNetworkGame);
        // Only the first opening locks "Spiel eröffnen".
        QVERIFY(FormStart->BTC_eroeffnen->isEnabled());
        NETZ->SetListenerActive(false);
    }

    void editorClearsTheBoard()
    {
        startedProgram();
        Form1->Cells[3][4].Marks[1][1].State = 2;
        act("tab other");
        act("editor");
        QVERIFY(!FormStart->isVisible());
        QVERIFY(Form1->EditorMode);
        QCOMPARE(Form1->Cells[3][4].Marks[1][1].State, 0);
        QCOMPARE(Form1->Panel_Edit->height(), 88);
        QVERIFY(Form1->Panel_Edit->isVisibleTo(Form1->ToolPanel));
    }

    void optionsHideTheBoard()
    {
        startedProgram();
        Form1->brett->show();
        act("tab other");
        act("options");
        QVERIFY(!Form1->brett->isVisibleTo(Form1));
        QVERIFY(FormOpt->isVisible());
    }

    void helpClickModeShowsTopicsOnly_data()
    {
        QTest::addColumn<QString>("step");
        QTest::newRow("single tab") << "tab single";
        QTest::newRow("multi tab") << "tab multi";
        QTest::newRow("other tab") << "tab other";
        QTest::newRow("single choice") << "ghost";
        QTest::newRow("multi choice") << "search";
        QTest::newRow("editor") << "editor";
    }

    void helpClickModeShowsTopicsOnly()
    {
        QFETCH(QString, step);
        startedProgram();
        Form1->HelpCursor = -20;
        act(step);
        Form1->HelpCursor = 0;
        QVERIFY(FormInfo->isVisible());
        QVERIFY(FormStart->isVisible());
        QCOMPARE(FormStart->PlayMode, 10);
        QCOMPARE(FormStart->GameKind, 1);
        QCOMPARE(FormStart->LanMode, 0);
        QVERIFY(!Form1->EditorMode);
        FormInfo->hide();
    }

    void captionHover_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::newRow("enabled") << true;
        QTest::newRow("disabled") << false;
    }

    void captionHover()
    {
        QFETCH(bool, enabled);
        startedProgram();
        TLabel *l = FormStart->BTC_Turnier;
        l->setEnabled(enabled);
        FormStart->BT_einzelMouseEnter(l);
        QCOMPARE(l->font().pointSize(), enabled ? 9 : 8);
        QCOMPARE(l->font().bold(), enabled);
        FormStart->BT_einzelMouseLeave(l);
        QCOMPARE(l->font().pointSize(), 8);
        QVERIFY(!l->font().bold());
    }

    // The window manager's close (its title bar) leads on as the window's own
    // way out does; the start screen, where every way on begins, stays.
    void windowManagerCloseLeadsOn_data()
    {
        QTest::addColumn<QString>("window");
        QTest::newRow("game options") << "FormGO";
        QTest::newRow("program options") << "FormOpt";
        QTest::newRow("replay") << "Vorgabe";
        QTest::newRow("start screen") << "FormStart";
    }
    void windowManagerCloseLeadsOn()
    {
        QFETCH(QString, window);
        startedProgram();
        QWidget *w = windowNamed(window);
        if (w != FormStart)
            FormStart->close();
        w->show();
        closeFromOutside(w);
        QCOMPARE(w->isVisible(), w == FormStart);
        QVERIFY(FormStart->isVisible());
        // The program's own close still closes the start screen.
        FormStart->close();
        QVERIFY(!FormStart->isVisible());
    }

    void placedOnceUntilClosed()
    {
        startedProgram();
        const QPoint placed = FormStart->pos();
        FormStart->move(placed + QPoint(40, 30));
        FormStart->hide();
        FormStart->show();
        QCOMPARE(FormStart->pos(), placed + QPoint(40, 30));
        FormStart->close();
        QVERIFY(FormStart->FirstActivate);
        FormStart->show();
        QCOMPARE(FormStart->pos(), placed);
    }
};

QTEST_MAIN(TstStart)
#include "tst_start.moc"
