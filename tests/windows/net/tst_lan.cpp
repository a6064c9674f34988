// A LAN game of three whole programs on a private bridge, as users play it:
// one opens a game from the start screen, one joins the first game found by
// broadcast, one finds it in the search window and joins by double-click;
// the host starts, the two clients enter every open cell between them, all
// three see the same result, chat, and leave (a client logs off, then the
// host). Once without loss, once with 20 % of the datagrams dropped.
//
// This program is the test (no arguments), the orchestrator (--orchestrate,
// run by netns_harness.sh) and each peer (--peer ROLE, inside a namespace).
// Root only; elsewhere it skips.
#include "LanPeer.h"

#include "board/ULog.h"
#include "board/UMeldung.h"
#include "board/UQuadrivo.h"
#include "net/UNETZ.h"
#include "net/USucheSpiele.h"
#include "screens/UGameOptionen.h"
#include "screens/USpielEnde.h"
#include "screens/UStart.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMap>
#include <QSet>
#include <QTimer>
#include <QtTest>

namespace {
constexpr int kPeerLimitMs = 60000;

QString pointsText()
{
    QStringList parts;
    for (int p = 1; p <= 3; ++p) {
        const TPlayerRecord &r = Form1->Players[p];
        parts << QStringLiteral("%1=%2/%3/%4").arg(p).arg(r.Points).arg(r.Found).arg(r.Errors);
    }
    return parts.join(QLatin1Char(' '));
}

int slotNamed(const QString &name)
{
    for (int p = 1; p <= 8; ++p)
        if (Form1->Players[p].Name == name)
            return p;
    return 0;
}

bool chatHas(const QString &line)
{
    return Form1->ChatBox->Items().contains(line);
}

// One player's part (or a test hook's).
class TScript : public TLanScript {
public:
    explicit TScript(const QString &role) : TLanScript(role) {}

private:
    QSet<int> entered;
    int afterPhase = 0;
    int afterTries = 0;
    int searchSlot = 0;
    QString table;

    void step() override
    {
        if (clock.elapsed() > kPeerLimitMs - 5000) {
            int open = 0;
            for (int y = 1; y <= 9; ++y)
                for (int x = 1; x <= 9; ++x)
                    open += Form1->Boards[0][x][y].State == 0 ? 1 : 0;
            giveUp(QStringLiteral("phase %1.%2 table %3 no %4 running %5 open %6 entered %7 points %8")
                    .arg(phase)
                    .arg(afterPhase)
                    .arg(tableText())
                    .arg(NETZ->MyPlayerNo)
                    .arg(Form1->GameRunning)
                    .arg(open)
                    .arg(entered.size())
                    .arg(pointsText()));
            return;
        }
        if (isHost())
            hostStep();
        else
            clientStep();
    }

    // ---- the host ----
    void hostStep()
    {
        switch (phase) {
        case 0:
            openMultiPlayer();
            FormStart->BTC_suchenClick(FormStart->BTC_eroeffnen);
            FormStart->BTC_weiterClick();
            next();
            break;
        case 1: // all three in, every number delivered
            if (Form1->CountOnlinePlayers() == 3 && NETZ->MyPlayerNo == 1 && queuesEmpty() && inPhase() > 300) {
                table = tableText();
                say(QStringLiteral("TABLE %1 %2").arg(Role, table));
                searchSlot = slotNamed(QStringLiteral("search"));
                FormGO->BTC_StartenClick();
                next();
            }
            break;
        case 2:
            if (gameOverSeen()) {
                // Every cell that was not given: claimed by now.
                int open = 0;
                for (int y = 1; y <= 9; ++y)
                    for (int x = 1; x <= 9; ++x)
                        open += Form1->Boards[0][x][y].State != -1 ? 1 : 0;
                say(QStringLiteral("OPEN %1 %2").arg(Role).arg(open));
                say(QStringLiteral("BOARDS %1 %2").arg(Role, FormGO->IsOwnBoard() ? "own" : "shared"));
                next();
            }
            break;
        default:
            afterGame();
            break;
        }
    }

    // ---- a client ----
    void clientStep()
    {
        const bool join = Role == QLatin1String("join");
        switch (phase) {
        case 0:
            openMultiPlayer();
            FormStart->BTC_suchenClick(FormStart->BTC_suchen);
            if (!join)
                FormStart->BTC_suchenClick(FormStart->BTC_Beitreten); // the search window instead
            FormStart->BTC_weiterClick();
            next();
            break;
        case 1: // logged in, with a number
            if (NETZ->MyPlayerNo >= 2 && Form1->CountOnlinePlayers() >= 2) {
                next();
                break;
            }
            SearchAgainTurn(!join, [this](int ms) { return every(ms); });
            break;
        case 2: // the whole table known, then the game runs
            if (Form1->CountOnlinePlayers() == 3 && Form1->GameRunning) {
                say(QStringLiteral("TABLE %1 %2").arg(Role, tableText()));
                next();
            }
            break;
        case 3: // enter cells until the game is over
            if (gameOverSeen()) {
                next();
                break;
            }
            // On one shared board each client takes half of the cells; with
            // own boards "join" fills its board and ends the game while
            // "search", slower, fills half of its own.
            if (Form1->GameRunning && inPhase() > (join ? 25 : 60) * tries) {
                ++tries;
                enterNextCell(join && FormGO->IsOwnBoard() ? -1 : join ? 0 : 1);
            }
            break;
        default:
            afterGame();
            break;
        }
    }

    // The next open cell of the half (x + y even 0, odd 1; -1 every cell).
    void enterNextCell(int half)
    {
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x) {
                const TGridEntry &ref = Form1->Boards[0][x][y];
                const int key = 10 * y + x;
                if (ref.State != 0 || (half >= 0 && (x + y) % 2 != half) || entered.contains(key))
                    continue;
                entered.insert(key);
                NETZ->EnterNumber(x, y, ref.Value);
                return;
            }
    }

    // ---- everybody after the game ----
    void nextAfter()
    {
        ++afterPhase;
        afterTries = 0;
        phaseAt = clock.elapsed();
    }
    void afterGame()
    {
        const QString names[] = {QStringLiteral("host"), QStringLiteral("join"), QStringLiteral("search")};
        switch (afterPhase) {
        case 0:
            say(QStringLiteral("POINTS %1 %2").arg(Role, pointsText()));
            Form1->Edit1->setText(QStringLiteral("Hallo von ") + Role);
            Form1->Button2Click();
            nextAfter();
            break;
        case 1: {
            bool all = true;
            for (const QString &n : names)
                all = all && chatHas(n + QStringLiteral(":Hallo von ") + n);
            if (all && queuesEmpty()) {
                say(QStringLiteral("CHAT %1 ok").arg(Role));
                nextAfter();
            }
            break;
        }
        case 2:
            if (Role == QLatin1String("search")) {
                // Leaving: the logoff is one datagram; say it a few times,
                // since it may be lost. The host takes only the first.
                if (every(200) && afterTries++ < 3)
                    NETZ->SendLogoff();
                if (afterTries >= 3 && inPhase() > 800) {
                    Form1->FormCloseQuery();
                    finish(0);
                }
            } else if (isHost()) {
                const TPlayerRecord &r = Form1->Players[searchSlot];
                if (searchSlot > 0 && r.Address.isEmpty() && !r.Active && chatHas("host:search meldet sich ab") &&
                    queuesEmpty()) {
                    say(QStringLiteral("FREED %1 slot %2 table %3").arg(Role).arg(searchSlot).arg(tableText()));
                    nextAfter();
                }
            } else if (chatHas("host:search meldet sich ab")) {
                nextAfter();
            }
            break;
        case 3:
            if (isHost()) {
                // The host leaves: once by the start screen, as a user does,
                // and a few times before, since a datagram may be lost.
                if (every(150) && afterTries++ < 4) {
                    NETZ->SendServerLogoff();
                } else if (afterTries >= 4) {
                    FormStart->show();
                    FormStart->Tab_EinzelspielerClick(FormStart->Tab_Einzelspieler);
                    finish(0);
                }
            } else if (NETZ->MyPlayerNo == 0 &&
                       FormMeld->MeldTXT->text() == QLatin1String("Spieler 1 (Server) hat sich abgemeldet.")) {
                // The next clock tick stops the game and the listener.
                if (!NETZ->IsListenerActive()) {
                    say(QStringLiteral("HOSTGONE %1").arg(Role));
                    finish(0);
                }
            }
            break;
        }
    }
};

int runPeer(const QString &role)
{
    return RunPeerPart(role, [&] { return std::make_unique<TScript>(role); });
}

QString orchestrateArg(const QStringList &args, const QString &name)
{
    const int i = args.indexOf(name);
    return i >= 0 && i + 1 < args.size() ? args.at(i + 1) : QString();
}

int orchestrate(int loss)
{
    const QStringList roles{QStringLiteral("host"), QStringLiteral("join"), QStringLiteral("search")};
    const auto runs = lanpeer::runPeers(
        3,
        [&](int i) {
            return QStringList{QStringLiteral("--peer"), roles[i - 1]};
        },
        loss, kPeerLimitMs);
    return ReportPeerRuns(roles, runs);
}

// The cells found by slot p in a POINTS line "1=points/found/errors ...".
int slotFound(const QString &points, int p)
{
    return points.split(' ').value(p - 1).section('=', 1).section('/', 1, 1).toInt();
}

} // namespace

class TstLan : public QObject {
    Q_OBJECT

private slots:
    void gameOnAPrivateBridge_data()
    {
        QTest::addColumn<int>("loss");
        QTest::newRow("no loss") << 0;
        QTest::newRow("20 % lost") << 20;
    }
    void gameOnAPrivateBridge()
    {
        QFETCH(int, loss);
        QString why;
        if (!lanpeer::canRunBridge(why))
            QSKIP(qPrintable(why));
        if (loss > 0 && lanpeer::nftTool().isEmpty())
            QSKIP("nftables (nft) is missing: no loss inside the namespaces");
        const QString harness = QFINDTESTDATA("netns_harness.sh");
        QVERIFY(!harness.isEmpty());
        QProcess run;
        run.setProcessChannelMode(QProcess::MergedChannels);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("NETNS_TIMEOUT"), QStringLiteral("100"));
        run.setProcessEnvironment(env);
        run.start(QStringLiteral("bash"),
                  {harness, QStringLiteral("3"), QCoreApplication::applicationFilePath(),
                   QStringLiteral("--orchestrate"), QStringLiteral("--loss"), QString::number(loss)});
        QVERIFY(run.waitForStarted());
        if (!run.waitForFinished(110000)) {
            run.terminate();
            run.waitForFinished(5000);
            QFAIL("the game did not finish in time");
        }
        const QString out = QString::fromLocal8Bit(run.readAll());
        qInfo().noquote() << out;
        if (run.exitCode() == 77)
            QSKIP(qPrintable(out.trimmed()));
        QCOMPARE(run.exitCode(), 0);

        // Every machine saw the same table, and the same result.
        const auto tables = linesOf(out, QStringLiteral("TABLE"));
        QCOMPARE(tables.size(), 3);
        QCOMPARE(tables.value("join"), tables.value("host"));
        QCOMPARE(tables.value("search"), tables.value("host"));
        QVERIFY(tables.value("host").startsWith("1=host@10.213.0.1 "));
        const auto points = linesOf(out, QStringLiteral("POINTS"));
        QCOMPARE(points.size(), 3);
        QCOMPARE(points.value("join"), points.value("host"));
        QCOMPARE(points.value("search"), points.value("host"));
        // Three points a cell, no errors; the host entered nothing. On a
        // shared board the clients found every open cell between them, on
        // own boards "join" (slot 2 or 3) found all of its board.
        const int open = linesOf(out, QStringLiteral("OPEN")).value("host").toInt();
        QVERIFY(open > 0);
        int found = 0;
        int most = 0;
        for (const QString &part : points.value("host").split(' ')) {
            const QStringList v = part.section('=', 1).split('/');
            QCOMPARE(v.size(), 3);
            QCOMPARE(v[0].toInt(), 3 * v[1].toInt());
            QCOMPARE(v[2].toInt(), 0);
            found += v[1].toInt();
            most = qMax(most, v[1].toInt());
        }
        QCOMPARE(slotFound(points.value("host"), 1), 0);
        if (linesOf(out, QStringLiteral("BOARDS")).value("host") == QLatin1String("shared"))
            QCOMPARE(found, open);
        else
            QCOMPARE(most, open);
        QCOMPARE(linesOf(out, QStringLiteral("CHAT")).size(), 3);
        QCOMPARE(linesOf(out, QStringLiteral("FREED")).size(), 1);
        QCOMPARE(linesOf(out, QStringLiteral("HOSTGONE")).size(), 1);
        QVERIFY(!out.contains("DIALOG"));
        // With loss, every namespace really dropped datagrams.
        int lossy = 0;
        for (const QString &line : out.split('\n'))
            if (line.startsWith("DROPPED ")) {
                QVERIFY2(line.mid(8).toInt() > 0, qPrintable(line));
                ++lossy;
            }
        QCOMPARE(lossy, loss > 0 ? 3 : 0);
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 3 && args.at(1) == QLatin1String("--peer"))
        return runPeer(args.at(2));
    if (args.size() >= 2 && args.at(1) == QLatin1String("--orchestrate"))
        return orchestrate(orchestrateArg(args, QStringLiteral("--loss")).toInt());
    TstLan test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_lan.moc"
