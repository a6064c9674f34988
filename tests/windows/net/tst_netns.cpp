// On a private bridge, with the production addresses (listeners on 0.0.0.0,
// the search to 255.255.255.255, port 2401):
// - the telegram exchange between two processes;
// - a table of whole LAN games (netns_game.h), every row in a private
//   network of its own, all rows at the same time; a row's group plays
//   several rounds, with people leaving and coming back, or a tournament.
// netns_harness.sh makes the namespaces; this program is the test (no
// arguments), the orchestrator (--orchestrate, --orchestrate-game ROW, run by
// the harness) and each peer (--peer host|client, --game-peer ROW ROLE, run
// inside a namespace).
//
// Root only; without root, without ip or without namespaces it skips.
#include "ExchangePeer.h"
#include "netns_game.h"

#include "settings/USystem.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QtTest>
#include <cstdio>
#include <map>
#include <memory>
#include <unistd.h>

namespace {
constexpr int kCount = 30;
constexpr int kPort = 2401;

// The peer refuses to run in the namespace the orchestrator runs in (the
// machine's own network): it sends to the limited broadcast.
QByteArray linkOf(const char *path)
{
    char buf[256];
    const ssize_t n = readlink(path, buf, sizeof buf);
    return n > 0 ? QByteArray(buf, int(n)) : QByteArray();
}

bool insideOwnNamespace()
{
    const QByteArray mine = linkOf("/proc/self/ns/net");
    const QByteArray outside = qgetenv("SUDOKU_NETNS_OUTSIDE");
    return !mine.isEmpty() && !outside.isEmpty() && mine != outside;
}

int runPeer(const QString &role, const QString &self)
{
    if (!insideOwnNamespace()) {
        std::fprintf(stderr, "peer: not inside a private network namespace, refusing\n");
        return 3;
    }
    if (SudokuEnv().LoopbackOnly) {
        std::fprintf(stderr, "peer: SUDOKU_LOOPBACK_ONLY is set\n");
        return 3;
    }
    const bool host = role == QLatin1String("host");
    TExchangePeer peer(SudokuEnv().BindAddress, kPort);
    int datagrams = 0;
    peer.Net.OutgoingFilter = [&](const QByteArray &, const QString &) { return ++datagrams % 3 != 0; };
    if (!peer.Net.SetListenerActive(true)) {
        std::fprintf(stderr, "peer %s: cannot listen\n", qPrintable(role));
        return 4;
    }
    peer.Net.SendTimer->start();
    const int slot = host ? 2 : 1; // the host keeps the client in slot 2, the client the host in slot 1
    QString other;

    QObject::connect(&peer.Net, &TNETZ::TelegramDispatched, &peer.Net, [&](const TTelegram &tel, const QString &from) {
        if (!other.isEmpty() || from == self || tel.Aktion != TExchangePeer::kKind)
            return;
        // The host learns the client from its broadcast, the client the
        // host from its first telegram.
        if (host ? tel.ACK == -1 : tel.ACK == 1) {
            other = from;
            peer.AddPeer(slot, other);
            for (int i = 1; i <= kCount; ++i)
                peer.Queue(slot, i);
        }
    });

    QTimer greet;
    if (!host) {
        QObject::connect(&greet, &QTimer::timeout, [&] {
            if (other.isEmpty())
                peer.Greet(QStringLiteral("255.255.255.255"));
        });
        greet.start(300);
        peer.Greet(QStringLiteral("255.255.255.255"));
    }

    QElapsedTimer clock;
    clock.start();
    qint64 doneAt = -1;
    int rc = 2;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        const bool done = !other.isEmpty() && peer.Received.size() >= size_t(kCount) && peer.Net.QueuedCount(slot) == 0;
        if (done && doneAt < 0)
            doneAt = clock.elapsed();
        // Linger a while: the other side may still need our acknowledgements.
        if (doneAt >= 0 && clock.elapsed() - doneAt > 1500) {
            rc = peer.ReceivedInOrder(kCount) ? 0 : 1;
            QCoreApplication::quit();
        } else if (clock.elapsed() > 30000) {
            rc = 2;
            QCoreApplication::quit();
        }
    });
    check.start(50);
    QCoreApplication::exec();
    std::printf("peer %s (%s): other %s, received %d, waiting %d, datagrams %d, rc %d\n", qPrintable(role),
                qPrintable(self), qPrintable(other), int(peer.Received.size()), peer.Net.QueuedCount(slot), datagrams,
                rc);
    std::fflush(stdout);
    return rc;
}

// Runs in the calling namespace with the harness's variables: starts one
// peer in each of the two namespaces and waits for both.
int orchestrate(const QString &self)
{
    const QString names[2] = {qEnvironmentVariable("NETNS_1"), qEnvironmentVariable("NETNS_2")};
    const QString addrs[2] = {qEnvironmentVariable("NETNS_ADDR_1"), qEnvironmentVariable("NETNS_ADDR_2")};
    if (names[0].isEmpty() || names[1].isEmpty()) {
        std::fprintf(stderr, "orchestrate: run me through netns_harness.sh\n");
        return 2;
    }
    const QString outside = QStringLiteral("SUDOKU_NETNS_OUTSIDE=") + QString::fromLatin1(linkOf("/proc/self/ns/net"));
    QProcess peers[2];
    const char *roles[2] = {"host", "client"};
    for (int i = 0; i < 2; ++i) {
        peers[i].setProcessChannelMode(QProcess::ForwardedChannels);
        peers[i].start(
            QStringLiteral("ip"),
            {QStringLiteral("netns"), QStringLiteral("exec"), names[i], QStringLiteral("env"), QStringLiteral("-u"),
             QStringLiteral("SUDOKU_LOOPBACK_ONLY"), QStringLiteral("SUDOKU_BIND_ADDRESS=0.0.0.0"),
             QStringLiteral("SUDOKU_BROADCAST_ADDRESS=255.255.255.255"), QStringLiteral("SUDOKU_SELF_IP=") + addrs[i],
             outside, self, QStringLiteral("--peer"), QString::fromLatin1(roles[i]), addrs[i]});
    }
    int rc = 0;
    for (QProcess &p : peers) {
        if (!p.waitForFinished(40000)) {
            p.kill();
            p.waitForFinished(2000);
            rc = 1;
        } else if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
            rc = 1;
        }
    }
    return rc;
}
} // namespace

class TstNetns : public QObject {
    Q_OBJECT

    // The game rows, all started at once by initTestCase.
    std::map<QString, std::unique_ptr<QProcess>> games;
    QElapsedTimer gamesClock;
    static constexpr int kGamesLimitMs = 260000;

private slots:
    void initTestCase()
    {
        QString why;
        const QString harness = QFINDTESTDATA("netns_harness.sh");
        if (!lanpeer::canRunBridge(why) || harness.isEmpty())
            return;
        gamesClock.start();
        for (const netnsgame::TRow &row : netnsgame::rows()) {
            if (row.Loss > 0 && lanpeer::nftTool().isEmpty())
                continue;
            auto run = std::make_unique<QProcess>();
            run->setProcessChannelMode(QProcess::MergedChannels);
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("NETNS_TIMEOUT"), QString::number(kGamesLimitMs / 1000 - 10));
            run->setProcessEnvironment(env);
            run->start(QStringLiteral("bash"), {harness, QString::number(row.Machines()),
                                                QCoreApplication::applicationFilePath(),
                                                QStringLiteral("--orchestrate-game"), row.Name});
            games[row.Name] = std::move(run);
        }
    }

    void lanGame_data()
    {
        QTest::addColumn<QString>("row");
        for (const netnsgame::TRow &row : netnsgame::rows())
            QTest::newRow(qPrintable(row.Name)) << row.Name;
    }
    void lanGame()
    {
        QFETCH(QString, row);
        QString why;
        if (!lanpeer::canRunBridge(why))
            QSKIP(qPrintable(why));
        const netnsgame::TRow *r = netnsgame::rowNamed(row);
        QVERIFY(r);
        if (r->Loss > 0 && lanpeer::nftTool().isEmpty())
            QSKIP("nftables (nft) is missing: no loss inside the namespaces");
        QVERIFY(games.count(row));
        QProcess &run = *games[row];
        QVERIFY(run.waitForStarted());
        const int left = int(std::max<qint64>(1000, kGamesLimitMs - gamesClock.elapsed()));
        if (!run.waitForFinished(left)) {
            // Let the harness's trap remove the namespaces.
            run.terminate();
            run.waitForFinished(5000);
            qInfo().noquote() << QString::fromLocal8Bit(run.readAll());
            QFAIL("the game did not finish in time");
        }
        const QString out = QString::fromLocal8Bit(run.readAll());
        if (run.exitCode() == 77)
            QSKIP(qPrintable(out.trimmed()));
        const QStringList bad = netnsgame::verify(*r, out);
        if (run.exitCode() != 0 || !bad.isEmpty())
            qInfo().noquote() << out;
        QVERIFY2(bad.isEmpty(), qPrintable(bad.join(QStringLiteral("; "))));
        QCOMPARE(run.exitCode(), 0);
        qInfo().noquote() << QStringLiteral("%1: done after %2 s").arg(row).arg(gamesClock.elapsed() / 1000.0, 0, 'f', 1);
    }

    void cleanupTestCase()
    {
        for (auto &[name, run] : games)
            if (run->state() != QProcess::NotRunning) {
                run->terminate();
                run->waitForFinished(5000);
            }
    }

    void exchangeOnAPrivateBridge()
    {
        if (geteuid() != 0)
            QSKIP("network namespaces need root");
        if (QStandardPaths::findExecutable(QStringLiteral("ip")).isEmpty() &&
            !QFile::exists(QStringLiteral("/usr/sbin/ip")) && !QFile::exists(QStringLiteral("/sbin/ip")))
            QSKIP("the ip tool is missing");
        const QString harness = QFINDTESTDATA("netns_harness.sh");
        QVERIFY(!harness.isEmpty());
        QProcess run;
        run.setProcessChannelMode(QProcess::MergedChannels);
        run.start(QStringLiteral("bash"), {harness, QStringLiteral("2"), QCoreApplication::applicationFilePath(),
                                           QStringLiteral("--orchestrate")});
        QVERIFY(run.waitForStarted());
        if (!run.waitForFinished(55000)) {
            // Let the harness's trap remove the namespaces.
            run.terminate();
            run.waitForFinished(5000);
            QFAIL("the exchange did not finish in time");
        }
        const QString out = QString::fromLocal8Bit(run.readAll());
        qInfo().noquote() << out;
        if (run.exitCode() == 77)
            QSKIP(qPrintable(out.trimmed()));
        QCOMPARE(run.exitCode(), 0);
        QCOMPARE(out.count(QStringLiteral("rc 0")), 2);
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 4 && args.at(1) == QLatin1String("--game-peer"))
        return netnsgame::runPeer(args.at(2), args.at(3));
    if (args.size() >= 3 && args.at(1) == QLatin1String("--orchestrate-game"))
        return netnsgame::orchestrate(args.at(2));
    if (args.size() >= 4 && args.at(1) == QLatin1String("--peer"))
        return runPeer(args.at(2), args.at(3));
    if (args.size() >= 2 && args.at(1) == QLatin1String("--orchestrate"))
        return orchestrate(QCoreApplication::applicationFilePath());
    TstNetns test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_netns.moc"
