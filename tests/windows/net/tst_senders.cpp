// Who may send what: every telegram is taken only from the machine that
// sends its kind, the rest is acknowledged and dropped. The rule on its own
// as a table of kinds and sources, then the same through the receiver and
// the dispatcher of a host and of a client, with datagrams captured.
#include "common/Fixture.h"
#include "board/ULog.h"
#include "board/UQuadrivo.h"
#include "net/UNETZ.h"
#include "net/UNETZ_Senders.h"
#include "settings/USonstiges.h"

#include <QtTest>

Q_DECLARE_METATYPE(TSenderVerdict)

namespace {
const QString kHost = QStringLiteral("127.0.0.1");
const QString kTwo = QStringLiteral("127.0.0.2");
const QString kThree = QStringLiteral("127.0.0.3");
const QString kStranger = QStringLiteral("127.0.0.66");

TKnownSenders hostTable()
{
    TKnownSenders k;
    k.SlotAddress[1] = kHost;
    k.SlotAddress[2] = kTwo;
    k.SlotAddress[3] = kThree;
    return k;
}
} // namespace

class TstSenders : public QObject {
    Q_OBJECT
    std::unique_ptr<TTestFixture> fx;
    std::vector<TTelegram> dispatched;
    std::vector<TTelegram> acks;

    TPlayerRecord &slot(int p) { return Form1->Players[p]; }
    void seat(int p, const QString &address)
    {
        slot(p).Address = address;
        slot(p).Name = QStringLiteral("P%1").arg(p);
        slot(p).Active = true;
    }
    void receive(int aktion, int gid, const QString &from, int ack = 1)
    {
        TTelegram t;
        t.Aktion = aktion;
        t.ACK = ack;
        t.Loop = 2;
        t.TAN = 40 + int(dispatched.size() + acks.size());
        t.Gid = gid;
        t.x = t.y = t.z = 1;
        NETZ->UDPEmpfUDPRead(EncodeTelegram(t), from);
    }

private slots:
    void initTestCase()
    {
        fx = std::make_unique<TTestFixture>();
        fx->StartProgram();
        connect(NETZ, &TNETZ::TelegramDispatched, this,
                [this](const TTelegram &tel, const QString &) { dispatched.push_back(tel); });
    }
    void cleanupTestCase() { fx.reset(); }

    void init()
    {
        NETZ->SetListenerActive(false);
        NETZ->SendTimer->stop();
        NETZ->BindAddress = kHost;
        NETZ->ForgetAllPeers();
        NETZ->OutgoingFilter = [this](const QByteArray &bytes, const QString &) {
            TTelegram t;
            if (DecodeTelegram(bytes, t) == TWireStatus::Ok && t.ACK == 0)
                acks.push_back(t);
            return false;
        };
        for (int p = 1; p <= 8; ++p) {
            slot(p).Name.clear();
            slot(p).Address.clear();
            slot(p).Active = false;
        }
        dispatched.clear();
        acks.clear();
        Trace->cb_telegramm_in->setChecked(true);
        Trace->LogBox->clear();
        QVERIFY(NETZ->SetListenerActive(true));
    }
    void cleanup()
    {
        NETZ->SetListenerActive(false);
        NETZ->OutgoingFilter = nullptr;
        NETZ->MyPlayerNo = 0;
    }

    // ---- the rule --------------------------------------------------------

    void rule_data()
    {
        QTest::addColumn<int>("aktion");
        QTest::addColumn<int>("gid");
        QTest::addColumn<QString>("from");
        QTest::addColumn<TSenderVerdict>("verdict");
        const auto take = TSenderVerdict::Take;
        const auto drop = TSenderVerdict::Drop;
        // Strangers find a game and log in.
        QTest::newRow("search from a stranger") << int(akSearch) << -1 << kStranger << take;
        QTest::newRow("offer from a stranger") << int(akGameOffer) << 2 << kStranger << take;
        QTest::newRow("login from a stranger") << int(akLogin) << -1 << kStranger << take;
        // The host's kinds, from the host only.
        for (int kind : {akOptions, akPlayerEntry, akCellResult, akStartPhase, akBlink, akStats, akMaxMarks,
                         akEndOfGame, akGameEnded, akPenalty, akPlayerName, akPlayerId, akServerLogoff, akSymbols,
                         akTournament, akBingo, akGameOver, akCounts, akWrongSolution}) {
            QTest::addRow("%d from the host", kind) << kind << 1 << kHost << take;
            QTest::addRow("%d from a player", kind) << kind << 2 << kTwo << drop;
            QTest::addRow("%d from a stranger", kind) << kind << 1 << kStranger << drop;
        }
        // A player's kinds, from the slot they name only.
        for (int kind : {akEntry, akLogoff, akClearCells, akReady, akUsedMarks}) {
            QTest::addRow("%d from its own slot", kind) << kind << 2 << kTwo << take;
            QTest::addRow("%d by the host for itself", kind) << kind << 1 << kHost << take;
            QTest::addRow("%d naming another slot", kind) << kind << 3 << kTwo << drop;
            QTest::addRow("%d by the host naming a player", kind) << kind << 2 << kHost << drop;
            QTest::addRow("%d from a stranger", kind) << kind << 2 << kStranger << drop;
            QTest::addRow("%d naming slot 9", kind) << kind << 9 << kTwo << drop;
        }
        // Chat: anybody may talk, but only a slot's address speaks for it.
        QTest::newRow("chat from its own slot") << int(akChat) << 2 << kTwo << take;
        QTest::newRow("chat from nobody in particular") << int(akChat) << -1 << kStranger << take;
        QTest::newRow("chat naming another slot") << int(akChat) << 3 << kTwo << TSenderVerdict::TakeAsStranger;
        QTest::newRow("chat from a stranger naming a slot")
            << int(akChat) << 1 << kStranger << TSenderVerdict::TakeAsStranger;
        // An empty source is never a slot's, even of an empty slot.
        QTest::newRow("entry for an empty slot, no source") << int(akEntry) << 5 << QString() << drop;
    }
    void rule()
    {
        QFETCH(int, aktion);
        QFETCH(int, gid);
        QFETCH(QString, from);
        QFETCH(TSenderVerdict, verdict);
        TTelegram t;
        t.Aktion = aktion;
        t.Gid = gid;
        QCOMPARE(JudgeSender(t, from, hostTable()), verdict);
    }

    // On the host, what travels as player 1's comes from the host itself: the
    // own address proves nothing (any process of the machine can send from
    // it), only the telegram waiting at the head of the own queue does.
    void hostTakesPlayerOnesTelegramsOnlyFromItsOwnQueue_data()
    {
        QTest::addColumn<int>("aktion");
        QTest::addColumn<int>("gid");
        QTest::addColumn<bool>("ownHead");
        QTest::addColumn<TSenderVerdict>("verdict");
        const auto take = TSenderVerdict::Take;
        const auto drop = TSenderVerdict::Drop;
        QTest::newRow("player entry, its own") << int(akPlayerEntry) << -1 << true << take;
        QTest::newRow("player entry, not its own") << int(akPlayerEntry) << -1 << false << drop;
        QTest::newRow("end of game, not its own") << int(akEndOfGame) << -1 << false << drop;
        QTest::newRow("own entry, its own") << int(akEntry) << 1 << true << take;
        QTest::newRow("own entry, not its own") << int(akEntry) << 1 << false << drop;
        QTest::newRow("chat as player 1, its own") << int(akChat) << 1 << true << take;
        QTest::newRow("chat as player 1, not its own") << int(akChat) << 1 << false << TSenderVerdict::TakeAsStranger;
        // A player's own kinds from its slot are the player's, as everywhere.
        QTest::newRow("entry of player 2") << int(akEntry) << 2 << false << drop;
        QTest::newRow("login from its own address") << int(akLogin) << -1 << false << take;
    }
    void hostTakesPlayerOnesTelegramsOnlyFromItsOwnQueue()
    {
        QFETCH(int, aktion);
        QFETCH(int, gid);
        QFETCH(bool, ownHead);
        QFETCH(TSenderVerdict, verdict);
        TKnownSenders k = hostTable();
        k.LoginTarget = kHost;
        k.SelfHost = true;
        k.OwnQueueHead = ownHead;
        TTelegram t;
        t.Aktion = aktion;
        t.Gid = gid;
        QCOMPARE(JudgeSender(t, kHost, k), verdict);
    }

    void clientKnowsTheHostByItsLogin_data()
    {
        QTest::addColumn<QString>("slotOne");
        QTest::addColumn<QString>("loginTarget");
        QTest::addColumn<QString>("from");
        QTest::addColumn<bool>("taken");
        QTest::newRow("before the host's entry") << QString() << kTwo << kTwo << true;
        QTest::newRow("another machine before it") << QString() << kTwo << kStranger << false;
        QTest::newRow("nothing known") << QString() << QString() << kStranger << false;
        QTest::newRow("after the entry") << kTwo << kTwo << kTwo << true;
        QTest::newRow("a new host logged in to") << kThree << kTwo << kTwo << true;
    }
    void clientKnowsTheHostByItsLogin()
    {
        QFETCH(QString, slotOne);
        QFETCH(QString, loginTarget);
        QFETCH(QString, from);
        QFETCH(bool, taken);
        TKnownSenders k;
        k.SlotAddress[1] = slotOne;
        k.LoginTarget = loginTarget;
        TTelegram t;
        t.Aktion = akPlayerEntry;
        t.z = 1;
        QCOMPARE(JudgeSender(t, from, k) == TSenderVerdict::Take, taken);
    }

    // ---- through the dispatcher -------------------------------------------

    void hostDropsForgedTelegramsAfterAcknowledging_data()
    {
        QTest::addColumn<int>("aktion");
        QTest::addColumn<int>("gid");
        QTest::addColumn<QString>("from");
        QTest::addColumn<bool>("handled");
        QTest::newRow("end of game from a stranger") << int(akEndOfGame) << -1 << kStranger << false;
        QTest::newRow("host put out by a stranger") << int(akPenalty) << 1 << kStranger << false;
        QTest::newRow("layers wiped by a stranger") << int(akStartPhase) << -1 << kStranger << false;
        QTest::newRow("layer written by a player") << int(akCellResult) << 1 << kTwo << false;
        QTest::newRow("counts from a stranger") << int(akCounts) << 2 << kStranger << false;
        QTest::newRow("stats from a stranger") << int(akStats) << 2 << kStranger << false;
        QTest::newRow("entry in another's name") << int(akEntry) << 3 << kTwo << false;
        QTest::newRow("another's cells cleared") << int(akClearCells) << 3 << kTwo << false;
        QTest::newRow("another's marks") << int(akUsedMarks) << 3 << kTwo << false;
        QTest::newRow("entry from a stranger") << int(akEntry) << 2 << kStranger << false;
        QTest::newRow("own entry") << int(akEntry) << 2 << kTwo << true;
        QTest::newRow("own marks") << int(akUsedMarks) << 3 << kThree << true;
        QTest::newRow("blink from the host's address, never queued") << int(akBlink) << 2 << kHost << false;
        QTest::newRow("search from a stranger") << int(akSearch) << -1 << kStranger << true;
        QTest::newRow("login from a stranger") << int(akLogin) << -1 << kStranger << true;
    }
    void hostDropsForgedTelegramsAfterAcknowledging()
    {
        QFETCH(int, aktion);
        QFETCH(int, gid);
        QFETCH(QString, from);
        QFETCH(bool, handled);
        NETZ->MyPlayerNo = 1;
        seat(1, kHost);
        seat(2, kTwo);
        seat(3, kThree);
        receive(aktion, gid, from);
        // Acknowledged either way, so that the sender stops resending.
        QCOMPARE(acks.size(), size_t(1));
        QCOMPARE(acks[0].Aktion, aktion);
        QCOMPARE(dispatched.size(), size_t(handled ? 1 : 0));
        if (!handled)
            QCOMPARE(Trace->LogBox->Items().filter("falscher Absender").size(), 1);
    }

    // What the host queued for itself comes back and is handled; the same
    // telegram once more, or one it never queued, is not.
    void hostHandlesWhatItSentItself()
    {
        NETZ->MyPlayerNo = 1;
        seat(1, kHost);
        seat(2, kTwo);
        NETZ->SendBlink(4, 5, 6, 2);
        QCOMPARE(NETZ->QueuedCount(1), 1);
        const TTelegram head = slot(1).SendQueue[slot(1).QueueRead];
        TTelegram forged = head;
        forged.z = 7;
        NETZ->UDPEmpfUDPRead(EncodeTelegram(forged), kHost);
        TTelegram early = head;
        early.TAN = head.TAN + 1;
        NETZ->UDPEmpfUDPRead(EncodeTelegram(early), kHost);
        QVERIFY(dispatched.empty());
        QCOMPARE(Trace->LogBox->Items().filter("falscher Absender").size(), 2);
        NETZ->UDPEmpfUDPRead(EncodeTelegram(head), kTwo);
        QVERIFY(dispatched.empty());

        NETZ->UDPEmpfUDPRead(EncodeTelegram(head), kHost);
        QCOMPARE(dispatched.size(), size_t(1));
        QCOMPARE(dispatched[0].Aktion, int(akBlink));
        QCOMPARE(dispatched[0].z, 6);
        // Its own acknowledgement frees the queue; a late copy is not taken.
        NETZ->UDPEmpfUDPRead(EncodeAcknowledgement(head), kHost);
        QCOMPARE(NETZ->QueuedCount(1), 0);
        NETZ->ForgetAllPeers();
        NETZ->UDPEmpfUDPRead(EncodeTelegram(head), kHost);
        QCOMPARE(dispatched.size(), size_t(1));
    }

    void clientTakesTheHostsTelegramsOnly()
    {
        NETZ->MyPlayerNo = 2;
        seat(1, kHost);
        seat(2, kTwo);
        seat(3, kThree);
        receive(akMaxMarks, 1, kThree);
        receive(akMaxMarks, 1, kStranger, -1);
        QVERIFY(dispatched.empty());
        receive(akMaxMarks, 1, kHost);
        QCOMPARE(dispatched.size(), size_t(1));
    }

    void chatInAnothersNameShowsTheSource()
    {
        NETZ->MyPlayerNo = 1;
        seat(1, kHost);
        seat(2, kTwo);
        seat(3, kThree);
        receive(akChat, 3, kTwo);
        QCOMPARE(dispatched.size(), size_t(1));
        QCOMPARE(dispatched[0].Gid, -1);
        QVERIFY(Form1->ChatBox->Items().last().startsWith(kTwo + ":"));
    }

    void strangersLeaveNoRepeatBehind()
    {
        // A dropped telegram is not remembered: the same number from the
        // slot's real player afterwards is handled.
        NETZ->MyPlayerNo = 1;
        seat(1, kHost);
        seat(2, kTwo);
        TTelegram t;
        t.Aktion = akUsedMarks;
        t.ACK = 1;
        t.Loop = 1;
        t.TAN = 7;
        t.Gid = 2;
        NETZ->UDPEmpfUDPRead(EncodeTelegram(t), kStranger);
        NETZ->UDPEmpfUDPRead(EncodeTelegram(t), kTwo);
        QCOMPARE(dispatched.size(), size_t(1));
        // Loops outside 1..8 name no queue and are not remembered.
        t.Loop = 77;
        NETZ->UDPEmpfUDPRead(EncodeTelegram(t), kTwo);
        NETZ->UDPEmpfUDPRead(EncodeTelegram(t), kTwo);
        QCOMPARE(dispatched.size(), size_t(3));
    }
};

QTEST_MAIN(TstSenders)
#include "tst_senders.moc"
