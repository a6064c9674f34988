// Real sockets in one process: two transports on 127.0.0.1 and 127.0.0.2,
// the same port, each bound to its own address, exchange telegrams both ways
// while every third datagram is lost.
#include "ExchangePeer.h"

#include "common/TestEnv.h"
#include "settings/USystem.h"

#include <QtTest>

class TstSockets : public QObject {
    Q_OBJECT
    const TTestEnv env;

private slots:
    void initTestCase()
    {
        ReloadSudokuEnv();
        QVERIFY(SudokuEnv().LoopbackOnly);
    }

    void exchangeBothWaysWithLoss()
    {
        const int port = freePortOnBoth();
        QVERIFY(port > 0);
        TExchangePeer one(QStringLiteral("127.0.0.1"), port);
        TExchangePeer two(QStringLiteral("127.0.0.2"), port);
        one.AddPeer(2, QStringLiteral("127.0.0.2"));
        two.AddPeer(1, QStringLiteral("127.0.0.1"));

        int datagrams = 0;
        int lost = 0;
        auto everyThirdLost = [&](const QByteArray &, const QString &) {
            if (++datagrams % 3 != 0)
                return true;
            ++lost;
            return false;
        };
        one.Net.OutgoingFilter = everyThirdLost;
        two.Net.OutgoingFilter = everyThirdLost;

        QVERIFY(one.Net.SetListenerActive(true));
        QVERIFY(two.Net.SetListenerActive(true));
        QCOMPARE(one.Net.UDPEmpf->localAddress(), QHostAddress("127.0.0.1"));
        QCOMPARE(two.Net.UDPEmpf->localAddress(), QHostAddress("127.0.0.2"));
        QCOMPARE(int(two.Net.UDPEmpf->localPort()), port);

        const int count = 24;
        for (int i = 1; i <= count; ++i) {
            one.Queue(2, i);
            two.Queue(1, i);
        }
        one.Net.SendTimer->start();
        two.Net.SendTimer->start();
        QVERIFY(runUntil([&] { return one.Net.QueuedCount(2) == 0 && two.Net.QueuedCount(1) == 0; }, 30000));
        one.Net.SendTimer->stop();
        two.Net.SendTimer->stop();

        QVERIFY2(two.ReceivedInOrder(count), qPrintable(QString("received %1").arg(two.Received.size())));
        QVERIFY2(one.ReceivedInOrder(count), qPrintable(QString("received %1").arg(one.Received.size())));
        QVERIFY(lost > 0);
        qInfo("datagrams %d lost %d", datagrams, lost);
        // Sources read as dotted quads, never as IPv4-mapped IPv6.
        QCOMPARE(one.Peers.first(), QString("127.0.0.2"));
        QCOMPARE(two.Peers.first(), QString("127.0.0.1"));
        QVERIFY(!one.Peers.filter("::").size());
    }

    void searchTargetStaysOnLoopback()
    {
        // A search to the limited broadcast goes to the configured target.
        const int port = freePortOnBoth();
        QVERIFY(port > 0);
        TExchangePeer searcher(QStringLiteral("127.0.0.2"), port);
        TExchangePeer host(QStringLiteral("127.0.0.1"), port);
        QVERIFY(host.Net.SetListenerActive(true));
        QVERIFY(searcher.Net.SetListenerActive(true));
        QString target;
        searcher.Net.OutgoingFilter = [&](const QByteArray &, const QString &h) {
            target = h;
            return true;
        };
        // 127.255.255.255 does not reach a socket bound to one address, so
        // greet the host directly as well.
        searcher.Greet(QStringLiteral("255.255.255.255"));
        QCOMPARE(target, QString("127.255.255.255"));
        searcher.Greet(QStringLiteral("127.0.0.1"));
        QVERIFY(runUntil([&] { return host.Greetings.size() == 1; }, 5000));
        QCOMPARE(host.Greetings.first(), QString("127.0.0.2"));
    }
};

QTEST_GUILESS_MAIN(TstSockets)
#include "tst_sockets.moc"
