// The reliable transport, driven by calling its handlers directly: the send
// and resend cycle, the rings, acknowledgements, malformed and repeated
// datagrams, the local path, the dispatcher's table, the loopback guard, the
// listener and the trace lines. Outgoing datagrams are captured, not sent.
#include "common/LoopbackPeer.h"
#include "board/ULog.h"
#include "board/UQuadrivo.h"
#include "common/Fixture.h"
#include "net/UNETZ.h"
#include "screens/UGameOptionen.h"
#include "screens/UOptionen.h"
#include "settings/USonstiges.h"
#include "settings/USystem.h"

#include <QUdpSocket>
#include <QtTest>
#include <sys/socket.h>

namespace {
QByteArray reliable(int aktion, int tan, int loop, int gid = 1, int x = 1, int y = 1, int z = 1)
{
    TTelegram t;
    t.Aktion = aktion;
    t.TAN = tan;
    t.Loop = loop;
    t.ACK = 1;
    t.RetryCount = 100;
    t.Gid = gid;
    t.x = x;
    t.y = y;
    t.z = z;
    return EncodeTelegram(t);
}
} // namespace

class TstTransport : public QObject {
    Q_OBJECT
    std::unique_ptr<TTestFixture> fx;
    struct TSent {
        QByteArray Bytes;
        QString Host;
    };
    std::vector<TSent> sent;
    std::vector<TTelegram> dispatched;
    QStringList dispatchedPeers;
    int port = 0;

    TPlayerRecord &slot(int p) { return Form1->Players[p]; }

    void peer(int p, const QString &address)
    {
        slot(p).Address = address;
        slot(p).Name = QStringLiteral("P%1").arg(p);
        slot(p).Active = true;
    }

    void queueName(int p, int seq)
    {
        NETZ->Tel = TTelegram();
        NETZ->Tel.Aktion = akPlayerName;
        NETZ->Tel.Gid = 1;
        NETZ->Tel.x = seq;
        NETZ->Tel.Data = 1;
        NETZ->Tel.SetText(QStringLiteral("n%1").arg(seq));
        NETZ->QueueToPlayer(p);
    }

    void ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            NETZ->SendTimerTimer();
    }

    TTelegram sentTel(size_t i)
    {
        TTelegram t;
        const TWireStatus st = DecodeTelegram(sent.at(i).Bytes, t);
        if (st != TWireStatus::Ok)
            qWarning("captured datagram %d unreadable", int(i));
        return t;
    }

    void ack(int loop, int tan, int aktion = akPlayerName, const QString &from = QStringLiteral("127.0.0.2"))
    {
        TTelegram t;
        t.Aktion = aktion;
        t.Loop = loop;
        t.TAN = tan;
        NETZ->UDPEmpfUDPRead(EncodeAcknowledgement(t), from);
    }

    void activate() { QVERIFY(NETZ->SetListenerActive(true)); }

    bool hasLine(const QString &suffix) const
    {
        for (const QString &line : Trace->LogBox->Items())
            if (line.endsWith(suffix))
                return true;
        return false;
    }
    int countLines(const QString &part) const
    {
        int n = 0;
        for (const QString &line : Trace->LogBox->Items())
            n += line.contains(part) ? 1 : 0;
        return n;
    }

private slots:
    void initTestCase()
    {
        fx = std::make_unique<TTestFixture>();
        fx->StartProgram();
        connect(NETZ, &TNETZ::TelegramDispatched, this, [this](const TTelegram &tel, const QString &peer) {
            dispatched.push_back(tel);
            dispatchedPeers << peer;
        });
        port = freePortOnBoth();
    }
    void cleanupTestCase() { fx.reset(); }

    void init()
    {
        NETZ->SetListenerActive(false);
        NETZ->SendTimer->stop();
        NETZ->BindAddress = QStringLiteral("127.0.0.1");
        NETZ->Port = port;
        NETZ->MyPlayerNo = 0;
        NETZ->ForgetAllPeers();
        NETZ->OutgoingFilter = [this](const QByteArray &bytes, const QString &host) {
            sent.push_back({bytes, host});
            return false;
        };
        for (int p = 1; p <= 8; ++p) {
            slot(p).Name.clear();
            slot(p).Address.clear();
            slot(p).Active = false;
            slot(p).QueueRead = slot(p).QueueWrite = 0;
        }
        sent.clear();
        dispatched.clear();
        dispatchedPeers.clear();
        fx->Dialogs.Shown.clear();
        Trace->cb_telegramm_out->setChecked(true);
        Trace->cb_telegramm_in->setChecked(true);
        Trace->LogBox->clear();
    }
    void cleanup()
    {
        NETZ->SetListenerActive(false);
        NETZ->OutgoingFilter = nullptr;
        QVERIFY(fx->Dialogs.Shown.empty());
    }

    // ---- send and resend ----------------------------------------------

    void oneInFlightResentEvery101Ticks()
    {
        activate();
        peer(2, "127.0.0.2");
        queueName(2, 1);
        QCOMPARE(sent.size(), size_t(1)); // nothing was in flight: it leaves at once
        queueName(2, 2);
        QCOMPARE(NETZ->QueuedCount(2), 2);
        QCOMPARE(sent.size(), size_t(1)); // the second waits for the first

        ticks(1);
        QCOMPARE(sent.size(), size_t(1));
        QCOMPARE(sent[0].Host, QString("127.0.0.2"));
        QCOMPARE(sent[0].Bytes.size(), 84);
        TTelegram t = sentTel(0);
        QCOMPARE(t.TAN, 0);
        QCOMPARE(t.Loop, 2);
        QCOMPARE(t.ACK, 1);
        QCOMPARE(t.RetryCount, 100);
        QCOMPARE(t.x, 1);

        ticks(99);
        QCOMPARE(sent.size(), size_t(1));
        QCOMPARE(countLines("Wiederholung an :P2 IP:127.0.0.2"), 0);
        ticks(1); // the 101st tick announces the resend
        QCOMPARE(countLines("Wiederholung an :P2 IP:127.0.0.2"), 1);
        QCOMPARE(sent.size(), size_t(1));
        ticks(1);
        QCOMPARE(sent.size(), size_t(2));
        QCOMPARE(sentTel(1).TAN, 0);

        // However many ticks it takes (the counter stands still here, so no
        // silence is counted), only the head goes out.
        ticks(101 * 20);
        QCOMPARE(sent.size(), size_t(22));
        for (size_t i = 0; i < sent.size(); ++i)
            QCOMPARE(sentTel(i).x, 1);

        ack(2, 0);
        QCOMPARE(NETZ->QueuedCount(2), 1);
        ticks(1);
        QCOMPARE(sent.size(), size_t(23));
        QCOMPARE(sentTel(22).TAN, 1);
        QCOMPARE(sentTel(22).x, 2);

        ack(2, 1);
        QCOMPARE(NETZ->QueuedCount(2), 0);
        ticks(500);
        QCOMPARE(sent.size(), size_t(23));
    }

    // The silence that makes a peer gone is counted from the moment the
    // head goes out, moved on by every acknowledgement from the peer; time
    // with the listener off does not count.
    void peerSilenceCountsFromTheSendAndEachAnswer()
    {
        const int64_t ms = 1000000LL;
        auto wait = [&](int64_t span) {
            for (int64_t t = 0; t < span; t += 100) {
                TTestFixture::Now += 100 * ms;
                NETZ->SendTimerTimer();
            }
        };
        peer(2, "127.0.0.2");
        queueName(2, 1);
        queueName(2, 2);
        wait(60000); // listener off: nothing goes out, nobody is expected to answer
        activate();
        wait(14000);
        QCOMPARE(NETZ->QueuedCount(2), 2);
        ack(2, 0); // the answer starts the count again
        wait(14000);
        QCOMPARE(NETZ->QueuedCount(2), 1);
        ack(2, 0); // even a late one for the telegram before
        wait(14900);
        QCOMPARE(NETZ->QueuedCount(2), 1);
        QCOMPARE(countLines("Keine Antwort"), 0);
        wait(200);
        QCOMPARE(NETZ->QueuedCount(2), 0);
        QCOMPARE(countLines("Keine Antwort von P2(127.0.0.2) seit 15 s, 1 Telegramm(e) verworfen."), 1);
        // A slot that is off the wire again starts afresh.
        NETZ->SetListenerActive(false);
        queueName(2, 3);
        activate();
        wait(10000);
        QCOMPARE(NETZ->QueuedCount(2), 1);
    }

    // A peer that answers is never given up, however lossy the line: one
    // minute at 20 % loss each way, a telegram every 50 ms.
    void answeringPeerOnALossyLineStays()
    {
        Trace->cb_telegramm_out->setChecked(false);
        Trace->cb_telegramm_in->setChecked(false);
        activate();
        peer(2, "127.0.0.2");
        uint32_t seed = 12345;
        auto lost = [&] {
            seed = seed * 1103515245u + 12345u;
            return (seed >> 16) % 100 < 20;
        };
        int queuedNo = 0;
        size_t seen = 0;
        for (int tick = 0; tick < 60000 || NETZ->QueuedCount(2) > 0; ++tick) {
            QVERIFY(tick < 120000);
            TTestFixture::Now += 1000000LL;
            if (tick < 60000 && tick % 50 == 0)
                queueName(2, ++queuedNo);
            NETZ->SendTimerTimer();
            // The peer answers what reaches it; the answer may be lost too.
            while (seen < sent.size()) {
                const TTelegram t = sentTel(seen++);
                if (!lost() && !lost())
                    ack(2, t.TAN);
            }
        }
        QVERIFY(slot(2).Active);
        QCOMPARE(countLines("Keine Antwort"), 0);
        QCOMPARE(slot(2).QueueRead, queuedNo % kTelegramRingSize);
    }

    void sendTimerTicksEveryMillisecondOnlyWhileSomethingWaits()
    {
        NETZ->SendTimer->start(1);
        NETZ->SendTimerTimer(); // listener off: nothing to do
        QVERIFY(NETZ->SendTimer->isActive());
        QCOMPARE(NETZ->SendTimer->interval(), 50);
        peer(2, "127.0.0.2");
        queueName(2, 1);
        QCOMPARE(NETZ->SendTimer->interval(), 1);
        NETZ->SendTimerTimer(); // still off: waits
        QCOMPARE(NETZ->SendTimer->interval(), 50);
        activate(); // what waits goes out now
        QCOMPARE(NETZ->SendTimer->interval(), 1);
        NETZ->SendTimerTimer();
        QCOMPARE(sent.size(), size_t(1));
        QCOMPARE(NETZ->SendTimer->interval(), 1); // waiting for the acknowledgement
        ack(2, 0);
        NETZ->SendTimerTimer();
        QCOMPARE(NETZ->SendTimer->interval(), 50);
        QVERIFY(NETZ->SendTimer->isActive());
        NETZ->SendTimer->stop();
        NETZ->SendTimer->setInterval(1);
    }

    void nothingSentWhileListenerOff()
    {
        peer(2, "127.0.0.2");
        queueName(2, 1);
        ticks(300);
        QVERIFY(sent.empty());
        QCOMPARE(NETZ->QueuedCount(2), 1);
        // It waits and goes out once the listener is on.
        activate();
        ticks(1);
        QCOMPARE(sent.size(), size_t(1));
    }

    void ringWrapsFrom500To0()
    {
        activate();
        peer(2, "127.0.0.2");
        slot(2).QueueRead = slot(2).QueueWrite = 500;
        queueName(2, 1);
        QCOMPARE(slot(2).QueueWrite, 0);
        QCOMPARE(slot(2).SendQueue[500].TAN, 500);
        queueName(2, 2);
        QCOMPARE(slot(2).QueueWrite, 1);
        QCOMPARE(slot(2).SendQueue[0].TAN, 0);
        QCOMPARE(NETZ->QueuedCount(2), 2);

        ticks(1);
        QCOMPARE(sentTel(0).TAN, 500);
        ack(2, 500);
        QCOMPARE(slot(2).QueueRead, 0);
        ticks(1);
        QCOMPARE(sentTel(1).TAN, 0);
        QCOMPARE(sentTel(1).x, 2);
        ack(2, 0);
        QCOMPARE(slot(2).QueueRead, 1);
        QCOMPARE(NETZ->QueuedCount(2), 0);
    }

    void onlyTheHeadIsAcknowledged()
    {
        activate();
        peer(2, "127.0.0.2");
        for (int i = 1; i <= 3; ++i)
            queueName(2, i);
        ticks(1);

        ack(2, 1);         // not the head
        ack(2, 2);         // not the head
        ack(2, 0, akChat); // the head's index, but another kind
        ack(3, 0);         // a queue with nothing in it
        QCOMPARE(slot(2).QueueRead, 0);
        QCOMPARE(slot(2).SendQueue[1].ACK, 1);
        QCOMPARE(slot(2).SendQueue[2].ACK, 1);
        QCOMPARE(slot(3).QueueRead, 0);
        QCOMPARE(NETZ->QueuedCount(3), 0);

        ack(2, 0);
        QCOMPARE(slot(2).QueueRead, 1);
        ticks(1);
        const TTelegram next = sentTel(1);
        QCOMPARE(next.TAN, 1);
        QCOMPARE(next.ACK, 1); // still a telegram, not an acknowledgement
        QCOMPARE(sent[1].Bytes.size(), 84);
    }

    // The acknowledgement that frees the head sends the next telegram at
    // once; it is the only one in flight and is resent on the usual count.
    void nextTelegramLeavesWithTheAcknowledgement()
    {
        activate();
        peer(2, "127.0.0.2");
        peer(3, "127.0.0.3");
        queueName(2, 1);
        queueName(2, 2);
        queueName(2, 3);
        queueName(3, 7);
        ticks(1);
        QCOMPARE(sent.size(), size_t(2));

        ack(2, 0);
        QCOMPARE(sent.size(), size_t(3));
        QCOMPARE(sent[2].Host, QString("127.0.0.2"));
        QCOMPARE(sentTel(2).TAN, 1);
        QCOMPARE(sentTel(2).x, 2);
        QCOMPARE(sentTel(2).RetryCount, 100);
        // Nothing more for that peer until its acknowledgement or the resend.
        ticks(100);
        QCOMPARE(sent.size(), size_t(3));
        ticks(1); // slot 3's resend, 101 ticks after it went out
        QCOMPARE(sent.size(), size_t(4));
        QCOMPARE(sent[3].Host, QString("127.0.0.3"));
        // Slot 2's comes on the tick it would have come had the telegram
        // waited for the next tick.
        ticks(1);
        QCOMPARE(sent.size(), size_t(5));
        QCOMPARE(sentTel(4).TAN, 1);
        QCOMPARE(sent[4].Host, QString("127.0.0.2"));

        // The last one freed leaves nothing to send.
        ack(2, 1);
        QCOMPARE(sentTel(5).TAN, 2);
        ack(2, 2);
        QCOMPARE(sent.size(), size_t(6));
        QCOMPARE(NETZ->QueuedCount(2), 0);
        // A slot whose address is refused sends nothing on the acknowledgement either.
        peer(4, "192.168.1.5");
        queueName(4, 1);
        queueName(4, 2);
        ticks(1);
        ack(4, 0, akPlayerName, "192.168.1.5");
        QCOMPARE(slot(4).QueueRead, 1);
        QCOMPARE(sent.size(), size_t(6));
    }

    void fullQueueRefusesTheNewTelegram()
    {
        peer(2, "127.0.0.2");
        for (int i = 1; i <= 500; ++i)
            queueName(2, i);
        QCOMPARE(NETZ->QueuedCount(2), 500);
        QCOMPARE(countLines("ist voll"), 0);
        queueName(2, 501);
        QCOMPARE(NETZ->QueuedCount(2), 500);
        QCOMPARE(slot(2).QueueWrite, 500);
        QVERIFY(hasLine("ERROR: Warteschlange von P2(127.0.0.2) ist voll, Telegramm Aktion(118) verworfen."));
        // Nothing was lost: the head is still the first telegram.
        activate();
        ticks(1);
        QCOMPARE(sentTel(0).TAN, 0);
        QCOMPARE(sentTel(0).x, 1);
    }

    // A slot without an address has nobody to send to: the telegram is
    // dropped at once, with one trace line, and nothing is retried.
    void telegramForASlotWithoutAddressDroppedOnce()
    {
        activate();
        slot(1).Name = QStringLiteral("Host");
        slot(1).Active = false;
        NETZ->Tel = TTelegram();
        NETZ->Tel.Aktion = akReady;
        NETZ->Tel.Gid = 2;
        NETZ->QueueToServer();
        QCOMPARE(NETZ->QueuedCount(1), 0);
        ticks(101 * 5);
        QVERIFY(sent.empty());
        QCOMPARE(countLines("Platz 1 hat keine Adresse, Telegramm Aktion(129) verworfen."), 1);
        QCOMPARE(countLines("verweigert"), 0);
        // The slot's next player gets only what is queued for him.
        peer(1, "127.0.0.2");
        queueName(1, 4);
        ticks(1);
        QCOMPARE(sent.size(), size_t(1));
        QCOMPARE(sentTel(0).Aktion, int(akPlayerName));
    }

    void queuePurgedWhenTheAddressChanges_data()
    {
        QTest::addColumn<QString>("next");
        QTest::addColumn<bool>("tickBetween");
        QTest::newRow("another player") << QString("127.0.0.3") << true;
        QTest::newRow("another player, queued at once") << QString("127.0.0.3") << false;
        QTest::newRow("slot cleared") << QString() << true;
    }
    void queuePurgedWhenTheAddressChanges()
    {
        QFETCH(QString, next);
        QFETCH(bool, tickBetween);
        activate();
        peer(2, "127.0.0.2");
        for (int i = 1; i <= 3; ++i)
            queueName(2, i);
        ticks(1);
        QCOMPARE(sent.size(), size_t(1));

        slot(2).Address = next;
        if (tickBetween) {
            ticks(300);
            QCOMPARE(sent.size(), size_t(1));
            QCOMPARE(NETZ->QueuedCount(2), 0);
            QCOMPARE(slot(2).QueueRead, 3); // the numbering runs on
            QCOMPARE(slot(2).QueueWrite, 3);
            QCOMPARE(countLines("Warteschlange 2 geleert: 3 Telegramm(e) für (127.0.0.2)"), 1);
        }
        if (next.isEmpty())
            return;
        queueName(2, 9);
        QCOMPARE(NETZ->QueuedCount(2), 1);
        ticks(1);
        QCOMPARE(sent.size(), size_t(2));
        QCOMPARE(sent[1].Host, next);
        QCOMPARE(sentTel(1).x, 9);
        QCOMPARE(sentTel(1).TAN, 3);
    }

    // ---- what the receiver refuses ------------------------------------

    void malformedDatagramsDroppedWithoutAck_data()
    {
        QTest::addColumn<QByteArray>("datagram");
        TTelegram t;
        t.Aktion = akPlayerName;
        t.ACK = 1;
        t.Gid = 1;
        t.Data = 1;
        t.SetText(QStringLiteral("hallo"));
        const QByteArray good = EncodeTelegram(t);
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("47 bytes") << good.left(47);
        QTest::newRow("text telegram of 48 bytes") << good.left(48);
        QTest::newRow("text telegram of 83 bytes") << good.left(83);
        QByteArray longText = good;
        longText[48] = char(36);
        QTest::newRow("text length 36") << longText;
        QByteArray badAck = reliable(akPlayerName, 0, 1);
        badAck[12] = char(2);
        QTest::newRow("ACK 2") << badAck;
        QByteArray minusTwo = reliable(akPlayerName, 0, 1);
        minusTwo.replace(12, 4, QByteArray::fromHex("feffffff"));
        QTest::newRow("ACK -2") << minusTwo;
    }
    void malformedDatagramsDroppedWithoutAck()
    {
        QFETCH(QByteArray, datagram);
        activate();
        NETZ->Tel.Aktion = 4711;
        NETZ->UDPEmpfUDPRead(datagram, "127.0.0.2");
        QVERIFY(sent.empty());
        QVERIFY(dispatched.empty());
        QCOMPARE(NETZ->Tel.Aktion, 4711);
        QCOMPARE(countLines("Datagramm von (127.0.0.2) verworfen"), 1);
    }

    void strayAcknowledgementsIgnored_data()
    {
        QTest::addColumn<int>("loop");
        QTest::addColumn<int>("tan");
        QTest::newRow("Loop 9") << 9 << 0;
        QTest::newRow("Loop -1") << -1 << 0;
        QTest::newRow("TAN 501") << 2 << 501;
        QTest::newRow("TAN -1") << 2 << -1;
        QTest::newRow("Loop 0 is no acknowledgement") << 0 << 0;
    }
    void strayAcknowledgementsIgnored()
    {
        QFETCH(int, loop);
        QFETCH(int, tan);
        activate();
        peer(2, "127.0.0.2");
        queueName(2, 1);
        ack(loop, tan);
        QCOMPARE(NETZ->QueuedCount(2), 1);
        QCOMPARE(slot(2).QueueRead, 0);
        QCOMPARE(sent.size(), size_t(1)); // the head, as it was queued; nothing released
        QVERIFY(dispatched.empty());
        if (loop != 0)
            QCOMPARE(countLines("ungültig, ignoriert"), 1);
    }

    // An acknowledgement counts only from the machine its queue sends to.
    void acknowledgementOnlyFromTheQueuesAddress_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<bool>("frees");
        QTest::newRow("the slot's address") << QString("127.0.0.2") << true;
        QTest::newRow("a stranger") << QString("127.0.0.9") << false;
        QTest::newRow("another slot's address") << QString("127.0.0.3") << false;
        QTest::newRow("the host itself") << QString("127.0.0.1") << false;
        QTest::newRow("no address") << QString() << false;
    }
    void acknowledgementOnlyFromTheQueuesAddress()
    {
        QFETCH(QString, from);
        QFETCH(bool, frees);
        activate();
        peer(2, "127.0.0.2");
        peer(3, "127.0.0.3");
        queueName(2, 1);
        queueName(2, 2);
        ticks(1);
        QCOMPARE(sent.size(), size_t(1));

        ack(2, 0, akPlayerName, from);
        if (frees) {
            QCOMPARE(slot(2).QueueRead, 1);
            QCOMPARE(sent.size(), size_t(2));
            QCOMPARE(sentTel(1).TAN, 1);
            return;
        }
        QCOMPARE(slot(2).QueueRead, 0);
        QCOMPARE(NETZ->QueuedCount(2), 2);
        QCOMPARE(sent.size(), size_t(1));
        QCOMPARE(countLines("nicht vom Empfänger (127.0.0.2), ignoriert"), 1);
        // The telegram goes out again as if nothing had come, and the real
        // peer's acknowledgement still frees it.
        ticks(101);
        QCOMPARE(sent.size(), size_t(2));
        QCOMPARE(sent[1].Host, QString("127.0.0.2"));
        QCOMPARE(sentTel(1).TAN, 0);
        QCOMPARE(sentTel(1).x, 1);
        ack(2, 0);
        QCOMPARE(slot(2).QueueRead, 1);
    }

    void outOfRangeAcknowledgedThenIgnored_data()
    {
        QTest::addColumn<int>("aktion");
        QTest::addColumn<int>("gid");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("z");
        QTest::newRow("entry from player 9") << int(akEntry) << 9 << 1 << 1;
        QTest::newRow("entry in column 0") << int(akEntry) << 2 << 0 << 1;
        QTest::newRow("cell result digit 10") << int(akCellResult) << 2 << 1 << 10;
        QTest::newRow("player id 0") << int(akPlayerId) << 0 << 1 << 1;
        QTest::newRow("name for player -1") << int(akPlayerName) << -1 << 1 << 1;
    }
    void outOfRangeAcknowledgedThenIgnored()
    {
        QFETCH(int, aktion);
        QFETCH(int, gid);
        QFETCH(int, x);
        QFETCH(int, z);
        activate();
        peer(1, "127.0.0.2");
        NETZ->UDPEmpfUDPRead(reliable(aktion, 17, 3, gid, x, 1, z), "127.0.0.2");
        QCOMPARE(sent.size(), size_t(1));
        QCOMPARE(sent[0].Host, QString("127.0.0.2"));
        QCOMPARE(sent[0].Bytes.size(), 48);
        const TTelegram a = sentTel(0);
        QCOMPARE(a.ACK, 0);
        QCOMPARE(a.TAN, 17);
        QCOMPARE(a.Loop, 3);
        QCOMPARE(a.Aktion, aktion);
        QVERIFY(dispatched.empty());
        QCOMPARE(countLines("außerhalb der Wertebereiche, ignoriert"), 1);
        // The sender's queue moved on: its next telegram is handled.
        NETZ->UDPEmpfUDPRead(reliable(akPlayerName, 18, 3, 2), "127.0.0.2");
        QCOMPARE(dispatched.size(), size_t(1));
    }

    void unknownKindsAcknowledgedOnly_data()
    {
        QTest::addColumn<int>("aktion");
        QTest::newRow("108") << 108;
        QTest::newRow("117") << 117;
        QTest::newRow("100") << 100;
        QTest::newRow("131") << 131;
    }
    void unknownKindsAcknowledgedOnly()
    {
        QFETCH(int, aktion);
        activate();
        NETZ->UDPEmpfUDPRead(reliable(aktion, 1, 2), "127.0.0.2");
        QCOMPARE(sent.size(), size_t(1));
        QCOMPARE(sentTel(0).ACK, 0);
        QVERIFY(dispatched.empty());
    }

    void repeatsAcknowledgedButHandledOnce()
    {
        activate();
        const QString a = "127.0.0.9";
        // Chat lines from outside the table: taken from any address.
        auto feed = [&](int tan, int loop, const QString &from) {
            NETZ->UDPEmpfUDPRead(reliable(akChat, tan, loop, -1), from);
        };
        feed(5, 2, a);
        feed(5, 2, a); // the acknowledgement was lost, the peer resent
        QCOMPARE(sent.size(), size_t(2));
        QCOMPARE(sentTel(1).ACK, 0);
        QCOMPARE(sentTel(1).TAN, 5);
        QCOMPARE(dispatched.size(), size_t(1));
        QCOMPARE(countLines("Wiederholung von (127.0.0.9) Aktion(119) TAN(5) schon bearbeitet"), 1);

        feed(6, 2, a);
        QCOMPARE(dispatched.size(), size_t(2));
        feed(6, 2, a);
        QCOMPARE(dispatched.size(), size_t(2));
        // Another peer, or another of the sender's queues, is another numbering.
        feed(6, 2, "127.0.0.10");
        QCOMPARE(dispatched.size(), size_t(3));
        feed(6, 3, a);
        QCOMPARE(dispatched.size(), size_t(4));

        // A login from the address starts its numbering again.
        TTelegram login;
        login.Aktion = akLogin;
        login.ACK = -1;
        login.Data = 1;
        login.SetText("Anna");
        NETZ->UDPEmpfUDPRead(EncodeTelegram(login), a);
        QCOMPARE(dispatched.size(), size_t(5));
        feed(6, 2, a);
        QCOMPARE(dispatched.size(), size_t(6));

        // So does a login sent to it ...
        feed(6, 2, a);
        QCOMPARE(dispatched.size(), size_t(6));
        NETZ->Tel = TTelegram();
        NETZ->Tel.Aktion = akLogin;
        NETZ->SendDatagram(a);
        feed(6, 2, a);
        QCOMPARE(dispatched.size(), size_t(7));

        // ... and switching the listener on.
        NETZ->SetListenerActive(false);
        activate();
        feed(6, 2, a);
        QCOMPARE(dispatched.size(), size_t(8));

        // Single datagrams carry no numbering: each is handled.
        TTelegram single;
        single.Aktion = akChat;
        single.ACK = -1;
        single.Gid = -1;
        single.TAN = 6;
        single.Loop = 2;
        const size_t before = sent.size();
        NETZ->UDPEmpfUDPRead(EncodeTelegram(single), a);
        NETZ->UDPEmpfUDPRead(EncodeTelegram(single), a);
        QCOMPARE(dispatched.size(), size_t(10));
        QCOMPARE(sent.size(), before);
    }

    void singleDatagramWithTextHandledNotAcknowledged()
    {
        activate();
        peer(1, "127.0.0.4");
        TTelegram t;
        t.Aktion = akPlayerName;
        t.ACK = -1;
        t.Gid = 4;
        t.Data = 1;
        t.SetText("Grüße aus dem Süden");
        NETZ->UDPEmpfUDPRead(EncodeTelegram(t), "127.0.0.4");
        QVERIFY(sent.empty());
        QCOMPARE(dispatched.size(), size_t(1));
        QCOMPARE(dispatched[0].Text(), QString("Grüße aus dem Süden"));
        QCOMPARE(dispatchedPeers[0], QString("127.0.0.4"));
        QCOMPARE(slot(4).Name, QString("Grüße aus dem S")); // cut to 15
    }

    // ---- the transport's own kinds ------------------------------------

    void maxMarksSetsTheLimit()
    {
        activate();
        peer(1, "127.0.0.2");
        FormGO->MaxMerker->setValue(2);
        NETZ->UDPEmpfUDPRead(reliable(akMaxMarks, 0, 1, 1, 7), "127.0.0.2");
        QCOMPARE(FormGO->MaxMerker->Value(), 7);
        NETZ->UDPEmpfUDPRead(reliable(akMaxMarks, 1, 1, 1, 12), "127.0.0.2");
        QCOMPARE(FormGO->MaxMerker->Value(), 7);
        FormGO->MaxMerker->setValue(2);
    }

    // ---- the local path and the senders -------------------------------

    void entryHandledAtOnceWhileListenerOff()
    {
        NETZ->MyPlayerNo = 1;
        peer(1, "127.0.0.1");
        NETZ->EnterNumber(3, 4, 5);
        QCOMPARE(dispatched.size(), size_t(1));
        QCOMPARE(dispatched[0].Aktion, int32_t(akEntry));
        QCOMPARE(dispatched[0].x, 3);
        QCOMPARE(dispatched[0].y, 4);
        QCOMPARE(dispatched[0].z, 5);
        QCOMPARE(dispatched[0].Gid, 1);
        QCOMPARE(dispatchedPeers[0], QString());
        QCOMPARE(NETZ->QueuedCount(1), 0);
        QVERIFY(hasLine("Habe Zahl (3,4):5 eingegeben."));

        NETZ->SendUsedMarks(4);
        QCOMPARE(dispatched.size(), size_t(2));
        QCOMPARE(dispatched[1].Aktion, int32_t(akUsedMarks));
        QCOMPARE(dispatched[1].x, 4);

        // With the listener on, the same entry waits in the host's queue.
        activate();
        NETZ->EnterNumber(3, 4, 5);
        QCOMPARE(dispatched.size(), size_t(2));
        QCOMPARE(NETZ->QueuedCount(1), 1);
        ticks(1);
        QCOMPARE(sent.size(), size_t(1));
        QCOMPARE(sent[0].Host, QString("127.0.0.1"));
        QCOMPARE(sentTel(0).Aktion, int32_t(akEntry));
        QVERIFY(hasLine("Telegramm in Warteschlange von P1(127.0.0.1) geschrieben."));
    }

    void kindWithoutLocalPathOnlyQueued()
    {
        NETZ->MyPlayerNo = 1;
        peer(1, "127.0.0.1");
        peer(2, "127.0.0.2");
        NETZ->Tel = TTelegram();
        NETZ->Tel.Aktion = akOptions;
        NETZ->SendToAll();
        QVERIFY(dispatched.empty());
        QCOMPARE(NETZ->QueuedCount(1), 1);
        QCOMPARE(NETZ->QueuedCount(2), 1);
        NETZ->Tel.Aktion = akPlayerId;
        NETZ->SendToPlayer(2);
        QVERIFY(dispatched.empty());
        QCOMPARE(NETZ->QueuedCount(2), 2);
        // A single datagram is not sent at all.
        NETZ->Tel.Aktion = akSearch;
        NETZ->SendDatagram("127.0.0.2");
        QVERIFY(sent.empty());
        QVERIFY(dispatched.empty());
        // Inactive slots get nothing.
        slot(2).Active = false;
        NETZ->Tel.Aktion = akOptions;
        NETZ->SendToAll();
        NETZ->SendToPlayer(2);
        QCOMPARE(NETZ->QueuedCount(2), 2);
        QCOMPARE(NETZ->QueuedCount(1), 2);
    }

    void everyKindReachesItsHandler()
    {
        using T = TNETZ;
        struct TRow {
            int Kind;
            bool Local;
            void (T::*Plain)();
            void (T::*Peer)(const QString &);
            void (T::*FlagPeer)(bool, const QString &);
            bool Flag;
        };
        const TRow rows[] = {
            {101, false, &T::OnOptions, nullptr, nullptr, false},
            {102, false, nullptr, nullptr, &T::OnSearch, false},
            {103, false, nullptr, nullptr, &T::OnSearch, true},
            {104, false, nullptr, nullptr, &T::OnLogin, false},
            {105, false, nullptr, nullptr, &T::OnLogin, true},
            {106, true, &T::OnCellResult, nullptr, nullptr, false},
            {107, true, &T::OnStartPhase, nullptr, nullptr, false},
            {109, true, &T::EvaluateEntry, nullptr, nullptr, false},
            {110, true, &T::OnBlink, nullptr, nullptr, false},
            {111, true, &T::OnStats, nullptr, nullptr, false},
            {112, false, nullptr, &T::OnLogoff, nullptr, false},
            {113, true, &T::OnMaxMarks, nullptr, nullptr, false},
            {114, true, &T::OnEndOfGame, nullptr, nullptr, false},
            {115, false, &T::OnGameEnded, nullptr, nullptr, false},
            {116, true, &T::OnPenalty, nullptr, nullptr, false},
            {118, true, &T::OnPlayerName, nullptr, nullptr, false},
            {119, false, nullptr, &T::OnChat, nullptr, false},
            {120, false, &T::OnPlayerId, nullptr, nullptr, false},
            {121, false, &T::OnServerLogoff, nullptr, nullptr, false},
            {122, true, &T::OnSymbols, nullptr, nullptr, false},
            {123, false, &T::OnTournamentData, nullptr, nullptr, false},
            {124, true, &T::OnBingo, nullptr, nullptr, false},
            {125, true, &T::OnGameOver, nullptr, nullptr, false},
            {126, true, &T::OnCounts, nullptr, nullptr, false},
            {127, true, &T::OnWrongSolution, nullptr, nullptr, false},
            {128, true, &T::OnClearCells, nullptr, nullptr, false},
            {129, true, &T::OnReady, nullptr, nullptr, false},
            {130, true, &T::OnUsedMarks, nullptr, nullptr, false},
        };
        int known = 0;
        for (const TRow &r : rows) {
            const TNETZ::TKindInfo *k = TNETZ::KindInfo(r.Kind);
            QVERIFY2(k, qPrintable(QString::number(r.Kind)));
            QCOMPARE(k->Kind, r.Kind);
            QCOMPARE(k->HasLocalPath, r.Local);
            QVERIFY2(k->Handler == r.Plain, qPrintable(QString::number(r.Kind)));
            QVERIFY2(k->PeerHandler == r.Peer, qPrintable(QString::number(r.Kind)));
            QVERIFY2(k->FlagPeerHandler == r.FlagPeer, qPrintable(QString::number(r.Kind)));
            QCOMPARE(k->Flag, r.Flag);
            ++known;
        }
        for (int kind = 0; kind < 200; ++kind)
            if (kind < 101 || kind > 130 || kind == 108 || kind == 117)
                QVERIFY(!TNETZ::KindInfo(kind));
        QCOMPARE(known, 28);
    }

    void handlersWithAPeerGetTheSource()
    {
        activate();
        NETZ->UDPEmpfUDPRead(reliable(akChat, 0, 1, 2), "127.0.0.6");
        QCOMPARE(dispatched.size(), size_t(1));
        QCOMPARE(dispatchedPeers[0], QString("127.0.0.6"));
    }

    // ---- the guard and the sockets ------------------------------------

    void loopbackGuardRefusesOtherAddresses_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("reaches");
        QTest::newRow("private address") << QString("192.168.1.5") << QString();
        QTest::newRow("public address") << QString("8.8.8.8") << QString();
        QTest::newRow("no address") << QString("WEB") << QString();
        QTest::newRow("IPv6 loopback") << QString("::1") << QString();
        QTest::newRow("loopback") << QString("127.1.2.3") << QString("127.1.2.3");
        QTest::newRow("limited broadcast goes to the search target")
            << QString("255.255.255.255") << QString("127.255.255.255");
    }
    void loopbackGuardRefusesOtherAddresses()
    {
        QFETCH(QString, host);
        QFETCH(QString, reaches);
        QVERIFY(SudokuEnv().LoopbackOnly);
        QCOMPARE(NETZ->BroadcastTarget(), QString("127.255.255.255"));
        activate();
        peer(2, host);
        queueName(2, 1);
        ticks(1 + 101 * 3);
        if (reaches.isEmpty()) {
            QVERIFY(sent.empty());
            QCOMPARE(countLines(QString("ERROR: Senden an (%1) verweigert").arg(host)), 4);
        } else {
            QCOMPARE(sent.size(), size_t(4));
            QCOMPARE(sent[0].Host, reaches);
        }
        // The 1 ms timer never asks the user anything (checked in cleanup()).
    }

    void sendErrorsTraced()
    {
        NETZ->OutgoingFilter = nullptr;
        activate();
        NETZ->SenderHost = QStringLiteral("127.255.255.255");
        NETZ->SendTelegram(TTelegram()); // the sender has broadcast on
        QCOMPARE(countLines("fehlgeschlagen"), 0);
        const int fd = int(NETZ->UDPSender->socketDescriptor());
        int off = 0;
        QCOMPARE(setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &off, sizeof off), 0);
        NETZ->SendTelegram(TTelegram());
        int on = 1;
        setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
        QCOMPARE(countLines("ERROR: Senden an (127.255.255.255) fehlgeschlagen"), 1);
    }

    void listenerAndPort()
    {
        QVERIFY(NETZ->SetListenerActive(true));
        QVERIFY(NETZ->IsListenerActive());
        QCOMPARE(NETZ->UDPEmpf->state(), QAbstractSocket::BoundState);
        QCOMPARE(NETZ->UDPEmpf->localAddress(), QHostAddress("127.0.0.1"));
        QCOMPARE(int(NETZ->UDPEmpf->localPort()), port);
        QCOMPARE(NETZ->UDPSender->localAddress(), QHostAddress("127.0.0.1"));

        const int second = freePortOnBoth();
        QVERIFY(NETZ->SetPort(second));
        QCOMPARE(NETZ->Port, second);
        QCOMPARE(int(NETZ->UDPEmpf->localPort()), second);

        // A port another program holds for itself: the old one stays.
        QUdpSocket blocker;
        QVERIFY(blocker.bind(QHostAddress("127.0.0.1"), 0, QAbstractSocket::DontShareAddress));
        const int blocked = blocker.localPort();
        QVERIFY(!NETZ->SetPort(blocked));
        QCOMPARE(NETZ->Port, second);
        QVERIFY(NETZ->IsListenerActive());
        QCOMPARE(int(NETZ->UDPEmpf->localPort()), second);
        QVERIFY(countLines(QString("ERROR: Port %1 auf 127.0.0.1 nicht zu öffnen").arg(blocked)) >= 1);

        QVERIFY(!NETZ->SetPort(0));
        QVERIFY(!NETZ->SetPort(65536));
        QCOMPARE(NETZ->Port, second);

        QVERIFY(NETZ->SetListenerActive(false));
        QVERIFY(!NETZ->IsListenerActive());
        QCOMPARE(NETZ->UDPEmpf->state(), QAbstractSocket::UnconnectedState);
        // While off, a port is only remembered; switching on then fails.
        QVERIFY(NETZ->SetPort(blocked));
        QVERIFY(!NETZ->SetListenerActive(true));
        QVERIFY(!NETZ->IsListenerActive());

        NETZ->Port = port;
        for (const char *bad : {"::1", "kein Rechner", "127.0.0.256"}) {
            NETZ->BindAddress = QString::fromLatin1(bad);
            QVERIFY2(!NETZ->SetListenerActive(true), bad);
            QVERIFY(!NETZ->IsListenerActive());
        }
        NETZ->BindAddress = QStringLiteral("127.0.0.1");
        QVERIFY(NETZ->SetListenerActive(true));
    }

    void programOptionsPortReachesTheTransport()
    {
        FormOpt->Port->setText(QString::number(port));
        FormOpt->ChgPortClick();
        QCOMPARE(NETZ->Port, port);
    }

    // ---- trace lines --------------------------------------------------

    void traceLines()
    {
        activate();
        peer(1, "127.0.0.1");
        peer(2, "127.0.0.2");
        slot(1).Active = false;
        NETZ->Tel = TTelegram();
        NETZ->Tel.Aktion = akPlayerName;
        NETZ->Tel.Gid = -1;
        NETZ->Tel.x = 1;
        NETZ->Tel.y = 2;
        NETZ->Tel.z = 3;
        NETZ->Tel.a = 4;
        NETZ->Tel.b = 5;
        NETZ->Tel.Data = 1;
        NETZ->Tel.SetText("Grüße");
        NETZ->QueueToAll();
        QVERIFY(hasLine("In WS von HS.Loop(2) HS.TAN(0) HS.ACK(1) Daten >> Gid(*) Aktion(118) x,y,z(1,2,3) "
                        "a,b(4,5) Data(T) =<Grüße>"));
        ticks(1);
        QVERIFY(hasLine("Sende an HS.Loop(2) HS.TAN(0) HS.ACK(1) Daten>> Gid(*) Aktion(118) x,y,z(1,2,3) "
                        "a,b(4,5) Data(T) =<Grüße>"));
        ack(2, 0);
        QVERIFY(hasLine("Aktion(118) von(127.0.0.2) HS.TAN(0)"));

        TTelegram in;
        in.Aktion = akPlayerName;
        in.TAN = 7;
        in.Loop = 1;
        in.ACK = 1;
        in.Gid = 3;
        in.Data = 1;
        in.SetText("hi");
        NETZ->UDPEmpfUDPRead(EncodeTelegram(in), "127.0.0.2");
        QVERIFY(hasLine("Erhalte was von HS.Loop(1) HS.TAN(7) HS.ACK(1) Daten>> Gid(3) Aktion(118) x,y,z(0,0,0) "
                        "a,b(0,0) Data(T) =<hi>"));
        QVERIFY(hasLine("HOST(127.0.0.2) TelID(118) Data(T) TAN(7) ~~~~ TAN(7) ACK -> HOST(127.0.0.2)"));
        in.ACK = -1;
        in.Data = 0;
        NETZ->UDPEmpfUDPRead(EncodeTelegram(in), "127.0.0.2");
        QVERIFY(hasLine("HOST(127.0.0.2) TelID(118) Data(F) TAN(7)"));

        // With the categories off nothing is written.
        Trace->cb_telegramm_out->setChecked(false);
        Trace->cb_telegramm_in->setChecked(false);
        Trace->LogBox->clear();
        NETZ->QueueToAll();
        ticks(1);
        NETZ->UDPEmpfUDPRead(EncodeTelegram(in), "127.0.0.2");
        QCOMPARE(Trace->LogBox->count(), 0);
    }
};

QTEST_MAIN(TstTransport)
#include "tst_transport.moc"
