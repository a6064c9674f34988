// The lobby of a LAN game: search and offer, login with its slot choice, the
// player entries and numbers, becoming the host, the logoffs of a client and
// of the host, the game-ended notice and the chat. Most cases drive the
// handlers through the receiver with captured traffic; the last ones talk to
// a scripted peer over loopback sockets.
#include "common/LoopbackPeer.h"
#include "board/ULog.h"
#include "board/UMeldung.h"
#include "board/UQuadrivo.h"
#include "board/Usounds.h"
#include "common/Fixture.h"
#include "net/UNETZ.h"
#include "net/USucheSpiele.h"
#include "screens/UGameOptionen.h"
#include "screens/UOptionen.h"
#include "screens/USpielEnde.h"
#include "screens/UStart.h"
#include "settings/USonstiges.h"
#include "settings/USystem.h"
#include "solver/UBingo.h"

#include <QtTest>

namespace {
const QString kHost = QStringLiteral("127.0.0.1");
const QString kPeer = QStringLiteral("127.0.0.2");
const QString kPeer3 = QStringLiteral("127.0.0.3");
} // namespace

class TstLobby : public QObject {
    Q_OBJECT
    std::unique_ptr<TTestFixture> fx;
    struct TSent {
        TTelegram Tel;
        QString Host;
        int Size = 0;
    };
    std::vector<TSent> sent;
    int port = 0;
    int tan = 0;
    QStringList sounds;

    TPlayerRecord &slot(int p) { return Form1->Players[p]; }

    void player(int p, const QString &name, const QString &address)
    {
        slot(p).Name = name;
        slot(p).Address = address;
        slot(p).PlayerNo = p;
        slot(p).Active = true;
    }

    // The telegrams waiting in slot p's queue, oldest first.
    std::vector<TTelegram> queued(int p)
    {
        std::vector<TTelegram> out;
        for (int i = slot(p).QueueRead; i != slot(p).QueueWrite; i = (i + 1) % kTelegramRingSize)
            out.push_back(slot(p).SendQueue[i]);
        return out;
    }
    std::vector<TTelegram> queuedOfKind(int p, int aktion)
    {
        std::vector<TTelegram> out;
        for (const TTelegram &t : queued(p))
            if (t.Aktion == aktion)
                out.push_back(t);
        return out;
    }
    void dropQueues()
    {
        for (int p = 1; p <= 8; ++p)
            NETZ->PurgeQueue(p);
    }

    // The single datagrams that went out (acknowledgements left aside).
    std::vector<TSent> datagrams(int aktion)
    {
        std::vector<TSent> out;
        for (const TSent &s : sent)
            if (s.Tel.Aktion == aktion && s.Tel.ACK == -1)
                out.push_back(s);
        return out;
    }

    // A telegram from a peer, through the receiver and the dispatcher.
    void receive(TTelegram t, const QString &from, bool reliable = false)
    {
        t.ACK = reliable ? 1 : -1;
        if (reliable) {
            t.Loop = 1;
            t.TAN = ++tan;
        }
        NETZ->UDPEmpfUDPRead(EncodeTelegram(t), from);
    }
    void receiveKind(int aktion, const QString &from, const QString &text = QString(), int gid = -1, int z = 0,
                     bool reliable = false)
    {
        TTelegram t;
        t.Aktion = aktion;
        t.Gid = gid;
        t.z = z;
        if (!text.isNull()) {
            t.Data = 1;
            t.SetText(text);
        }
        receive(t, from, reliable);
    }
    // A game offer with packed options that any receiver accepts.
    void receiveOffer(const QString &from, const QString &nick, int loop, int x = 2, int y = 1, int a = 0, int gid = 2)
    {
        TTelegram t;
        t.Aktion = akGameOffer;
        t.Loop = loop;
        t.x = x;
        t.y = y;
        t.a = a;
        t.b = 1;
        t.z = 1;
        t.Gid = gid;
        t.Data = 1;
        t.SetText(nick);
        receive(t, from);
    }

    bool traced(const QString &part) const
    {
        for (const QString &line : Trace->LogBox->Items())
            if (line.contains(part))
                return true;
        return false;
    }

    // What the host queued for itself comes back through its own listener,
    // one telegram after the other, each followed by its acknowledgement.
    void loopBack()
    {
        while (NETZ->QueuedCount(1) > 0) {
            const TTelegram head = slot(1).SendQueue[slot(1).QueueRead];
            NETZ->UDPEmpfUDPRead(EncodeTelegram(head), kHost);
            NETZ->UDPEmpfUDPRead(EncodeAcknowledgement(head), kHost);
        }
    }

    // This machine opens a game and logs in to itself.
    void openAsHost()
    {
        Form1->HostsNetworkGame = true;
        receiveKind(akLogin, kHost, QStringLiteral("Gastgeber"));
        loopBack();
        QCOMPARE(NETZ->MyPlayerNo, 1);
    }

    // The host's round with Bert (slot 2) and Cleo (slot 3), in which Bert
    // logs off: he keeps his slot while the round runs.
    void bertLeavesDuringTheRound()
    {
        openAsHost();
        receiveKind(akLogin, kPeer, QStringLiteral("Bert"));
        receiveKind(akLogin, kPeer3, QStringLiteral("Cleo"));
        loopBack();
        dropQueues();
        Form1->GameRunning = true;
        receiveKind(akLogoff, kPeer, QString(), 2);
        QCOMPARE(slot(2).Name, QString("Bert"));
        loopBack();
        QCOMPARE(slot(2).Name, QString("Bert"));
        QVERIFY(!slot(2).Active);
    }

private slots:
    void initTestCase()
    {
        fx = std::make_unique<TTestFixture>();
        fx->StartProgram();
        port = freePortOnBoth();
        QVERIFY(port > 0);
        SetSoundPlayer([this](const QString &path) { sounds << QFileInfo(path).fileName(); });
    }
    void cleanupTestCase()
    {
        SetSoundPlayer(nullptr);
        fx.reset();
    }

    void init()
    {
        NETZ->SetListenerActive(false);
        NETZ->SendTimer->stop();
        NETZ->BindAddress = kHost;
        NETZ->Port = port;
        NETZ->MyPlayerNo = 0;
        NETZ->EndOfGameSent = false;
        NETZ->ForgetAllPeers();
        NETZ->OutgoingFilter = [this](const QByteArray &bytes, const QString &host) {
            TSent s;
            DecodeTelegram(bytes, s.Tel);
            s.Host = host;
            s.Size = int(bytes.size());
            sent.push_back(s);
            return false;
        };
        Form1->ResetPlayers();
        dropQueues();
        Form1->HostsNetworkGame = Form1->GameRunning = Form1->GameStarting = Form1->StopRequested = false;
        FormOpt->NickName->setText(QStringLiteral("Gastgeber"));
        FormOpt->SelfIp->setText(kHost);
        for (QWidget *w : {static_cast<QWidget *>(FormStart), static_cast<QWidget *>(FormSucheSpiele),
                           static_cast<QWidget *>(FormMeld), static_cast<QWidget *>(FormGO)})
            w->hide();
        FormStart->Warte->stop();
        FormSucheSpiele->ShowTab(1);
        FormSucheSpiele->Games->clear();
        Form1->ChatBox->clear();
        sent.clear();
        sounds.clear();
        fx->Dialogs.Shown.clear();
        Trace->cb_telegramm_out->setChecked(true);
        Trace->cb_telegramm_in->setChecked(true);
        Trace->LogBox->clear();
        QVERIFY(NETZ->SetListenerActive(true));
    }
    void cleanup()
    {
        NETZ->SetListenerActive(false);
        NETZ->OutgoingFilter = nullptr;
        Form1->HostsNetworkGame = Form1->GameRunning = Form1->GameStarting = Form1->StopRequested = false;
        Form1->ResetPlayers();
        dropQueues();
    }

    // ---- rules --------------------------------------------------------------

    void playerEntrySplitsAtTheLastTilde_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address");
        QTest::newRow("plain") << "Anna~192.168.1.7"
                               << "Anna"
                               << "192.168.1.7";
        QTest::newRow("tilde in the nickname") << "An~na~10.0.0.2"
                                               << "An~na"
                                               << "10.0.0.2";
        QTest::newRow("nickname of tildes") << "~~~10.0.0.2"
                                            << "~~"
                                            << "10.0.0.2";
        QTest::newRow("no tilde") << "10.0.0.2"
                                  << ""
                                  << "10.0.0.2";
        QTest::newRow("only the tilde") << "~"
                                        << ""
                                        << "";
        QTest::newRow("no address") << "Anna~"
                                    << "Anna"
                                    << "";
    }
    void playerEntrySplitsAtTheLastTilde()
    {
        QFETCH(QString, text);
        QFETCH(QString, name);
        QFETCH(QString, address);
        QString n, a;
        SplitPlayerEntry(text, n, a);
        QCOMPARE(n, name);
        QCOMPARE(a, address);
    }

    void loginSlotChoice_data()
    {
        QTest::addColumn<QStringList>("addresses"); // slots 1..8, "" free
        QTest::addColumn<QString>("active");        // per slot 1/0
        QTest::addColumn<QString>("from");
        QTest::addColumn<bool>("fromHost");
        QTest::addColumn<int>("expected");
        const QString a = "10.0.0.1", b = "10.0.0.2", c = "10.0.0.3";
        const QStringList full = {a, b, c, "10.0.0.4", "10.0.0.5", "10.0.0.6", "10.0.0.7", "10.0.0.8"};
        QTest::newRow("first free") << QStringList{a, "", "", "", "", "", "", ""} << "10000000" << b << false << 2;
        QTest::newRow("own slot again") << QStringList{a, b, c, "", "", "", "", ""} << "11100000" << b << false << 2;
        QTest::newRow("a free slot before the own one")
            << QStringList{a, "", c, "", "", "", "", ""} << "10100000" << c << false << 2;
        QTest::newRow("host logs in to itself")
            << QStringList{"", "", "", "", "", "", "", ""} << "00000000" << a << true << 1;
        QTest::newRow("host again") << QStringList{a, b, "", "", "", "", "", ""} << "11000000" << a << true << 1;
        QTest::newRow("a client before the host's own login")
            << QStringList{"", "", "", "", "", "", "", ""} << "00000000" << b << false << 2;
        QTest::newRow("all taken by others") << full << "11111111"
                                             << "10.0.0.9" << false << 0;
        QTest::newRow("all taken, one has left") << full << "11101111"
                                                 << "10.0.0.9" << false << 4;
        QTest::newRow("the host's slot is never taken") << full << "01111111"
                                                        << "10.0.0.9" << false << 0;
    }
    void loginSlotChoice()
    {
        QFETCH(QStringList, addresses);
        QFETCH(QString, active);
        QFETCH(QString, from);
        QFETCH(bool, fromHost);
        QFETCH(int, expected);
        auto table = std::make_unique<TPlayerRecord[]>(9);
        for (int p = 1; p <= 8; ++p) {
            table[p].Address = addresses.at(p - 1);
            table[p].Active = active.at(p - 1) == QLatin1Char('1');
        }
        QCOMPARE(ChooseLoginSlot(table.get(), from, fromHost), expected);
        QCOMPARE(ChooseLoginSlot(nullptr, from, fromHost), 0);
    }

    void offerDifficulty_data()
    {
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("a");
        QTest::addColumn<QString>("text");
        QTest::newRow("digits") << 1 << 0 << "Mittel (1-9)";
        QTest::newRow("letters A-I") << 12 << 0 << "Schwer (A-I)";
        QTest::newRow("random letters, imported") << 120 << 0 << "Leicht (A-Z) Import";
        QTest::newRow("profi imported") << 103 << 0 << "Profi (1-9) Import";
        // Fields, random change, refill when empty, three per draw: 3 + 20 + 100 + 2000.
        QTest::newRow("bingo fields random empty 3") << 0 << 2123 << "Leicht (Bingo 3)  leer";
        QTest::newRow("bingo numbers fixed at once 4") << 1 << 14 << "Mittel (Bingo 4)  sofort";
        QTest::newRow("bingo alternate at once 1, letters") << 11 << 1011 << "Mittel (Bingo 1)  sofort";
        QTest::newRow("bingo imported") << 102 << 22 << "Schwer (Bingo 2)  leer Import";
    }
    void offerDifficulty()
    {
        QFETCH(int, y);
        QFETCH(int, a);
        QFETCH(QString, text);
        QCOMPARE(OfferDifficultyText(y, a), text);
    }

    // ---- search and offer -----------------------------------------------------

    void searchIsOneDatagram_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("target");
        QTest::newRow("broadcast goes to the configured target") << "255.255.255.255"
                                                                 << "127.255.255.255";
        QTest::newRow("one typed address") << "127.0.0.9"
                                           << "127.0.0.9";
    }
    void searchIsOneDatagram()
    {
        QFETCH(QString, address);
        QFETCH(QString, target);
        NETZ->SendSearch(address);
        QCOMPARE(sent.size(), size_t(1));
        QCOMPARE(sent[0].Host, target);
        QCOMPARE(sent[0].Size, 48);
        QCOMPARE(sent[0].Tel.Aktion, int(akSearch));
        QCOMPARE(sent[0].Tel.ACK, -1);
        QVERIFY(traced("102:->" + address + "ichSucheEinSpiel"));
        // Nothing waits for an answer.
        for (int p = 1; p <= 8; ++p)
            QCOMPARE(NETZ->QueuedCount(p), 0);
    }

    void hostAnswersSearchWithOffer_data()
    {
        QTest::addColumn<bool>("hosts");
        QTest::addColumn<int>("state"); // 0 idle, 1 starting, 2 running
        QTest::addColumn<int>("offers");
        QTest::addColumn<int>("loop");
        QTest::newRow("open game") << true << 0 << 1 << 1;
        QTest::newRow("game starting") << true << 1 << 1 << 0;
        QTest::newRow("game running") << true << 2 << 1 << 0;
        QTest::newRow("no game of its own") << false << 0 << 0 << 0;
    }
    void hostAnswersSearchWithOffer()
    {
        QFETCH(bool, hosts);
        QFETCH(int, state);
        QFETCH(int, offers);
        QFETCH(int, loop);
        Form1->HostsNetworkGame = hosts;
        Form1->GameStarting = state == 1;
        Form1->GameRunning = state == 2;
        FormGO->SetRating(3);
        FormGO->SetMaxMarks(4);
        receiveKind(akSearch, kPeer);
        const auto out = datagrams(akGameOffer);
        QCOMPARE(int(out.size()), offers);
        if (offers == 0) {
            QVERIFY(sent.empty());
            return;
        }
        QCOMPARE(out[0].Host, kPeer);
        QCOMPARE(out[0].Size, 84);
        QCOMPARE(out[0].Tel.Text(), QString("Gastgeber"));
        QCOMPARE(out[0].Tel.Loop, loop);
        // The packed options of the game, as the options telegram carries them.
        QCOMPARE(out[0].Tel.Gid, 3);
        QCOMPARE(out[0].Tel.x % 10, 4);
        QVERIFY(traced("103:Gastgeber->127.0.0.2 hab ein Spiel tritt ein"));
    }

    void offerIsListedInTheSearchWindow()
    {
        receiveOffer(kPeer, QStringLiteral("Anna"), 1, 12, 12, 0, 2);
        QCOMPARE(FormSucheSpiele->RowCount(), 1);
        QCOMPARE(FormSucheSpiele->RowTexts(0),
                 QStringList({"Anna", "Schwer (A-I)", "Mittel", "12", "wartet", "127.0.0.2"}));
        // A Bingo game shows its draw, not the packed number.
        receiveOffer(kPeer3, QStringLiteral("Bert"), 1, 2, 0, 2123, 1);
        QCOMPARE(FormSucheSpiele->RowTexts(1),
                 QStringList({"Bert", "Leicht (Bingo 3)  leer", "Leicht", "2", "wartet", "127.0.0.3"}));
        // The same host again updates its row.
        receiveOffer(kPeer, QStringLiteral("Anna"), 1, 3, 1, 0, 4);
        QCOMPARE(FormSucheSpiele->RowCount(), 2);
        QCOMPARE(FormSucheSpiele->RowTexts(0).at(1), QString("Mittel (1-9)"));
        QCOMPARE(FormSucheSpiele->RowTexts(0).at(2), QString("Profi"));
    }

    void offerOfARunningGameIsListedNowhere()
    {
        receiveOffer(kPeer, QStringLiteral("Anna"), 0);
        QCOMPARE(FormSucheSpiele->RowCount(), 0);
        QVERIFY(sent.empty());
    }

    void joinFirstFoundLogsInToTheFirstOpenGame()
    {
        FormStart->show();
        FormStart->Tab_EinzelspielerClick(FormStart->Tab_Mehrspieler);
        FormStart->BTC_LANClick();
        FormStart->BTC_suchenClick(FormStart->BTC_suchen);
        QVERIFY(FormStart->JoinFirstFound);
        FormStart->BTC_weiterClick();
        const auto search = datagrams(akSearch);
        QCOMPARE(search.size(), size_t(1));
        QCOMPARE(search[0].Host, QString("127.255.255.255"));
        QVERIFY(FormStart->Warte->isActive());

        receiveOffer(kPeer, QStringLiteral("Anna"), 1);
        QVERIFY(!FormStart->isVisible());
        QVERIFY(!FormStart->Warte->isActive());
        const auto login = datagrams(akLogin);
        QCOMPARE(login.size(), size_t(1));
        QCOMPARE(login[0].Host, kPeer);
        QCOMPARE(login[0].Tel.Text(), QString("Gastgeber"));
        QVERIFY(traced("104:Gastgeber->127.0.0.2 Spieler meldet sich an."));
        QCOMPARE(FormMeld->MeldTXT->text(), QString("Auf weitere Spieler warten,\n\rSpieler 1 startet das Spiel."));
    }

    void joinFirstFoundIgnoresRunningGames()
    {
        FormStart->show();
        FormStart->Tab_EinzelspielerClick(FormStart->Tab_Mehrspieler);
        FormStart->BTC_LANClick();
        FormStart->BTC_suchenClick(FormStart->BTC_suchen);
        FormStart->BTC_weiterClick();
        receiveOffer(kPeer, QStringLiteral("Anna"), 0);
        QVERIFY(FormStart->isVisible());
        QVERIFY(datagrams(akLogin).empty());
        QVERIFY(FormStart->Warte->isActive());
        // The time-out then tells that no game was found.
        FormStart->WarteTimer();
        QVERIFY(FormMeld->MeldTXT->text().startsWith("Konnte kein Spiel finden."));
        // A late offer after the time-out joins nothing either.
        receiveOffer(kPeer3, QStringLiteral("Bert"), 1);
        QVERIFY(datagrams(akLogin).empty());
        QVERIFY(FormStart->isVisible());
    }

    // ---- login and entries ---------------------------------------------------------

    void hostLogsInToItself()
    {
        FormStart->show();
        FormStart->Tab_EinzelspielerClick(FormStart->Tab_Mehrspieler);
        FormStart->BTC_LANClick();
        FormStart->BTC_suchenClick(FormStart->BTC_eroeffnen);
        FormStart->BTC_weiterClick();
        QVERIFY(Form1->HostsNetworkGame);
        const auto login = datagrams(akLogin);
        QCOMPARE(login.size(), size_t(1));
        QCOMPARE(login[0].Host, kHost);
        // The login comes back through the own listener.
        receive(login[0].Tel, kHost);
        QCOMPARE(slot(1).Name, QString("Gastgeber"));
        QCOMPARE(slot(1).Address, kHost);
        QVERIFY(slot(1).Active);
        const auto entries = queuedOfKind(1, akPlayerEntry);
        QCOMPARE(entries.size(), size_t(1));
        QCOMPARE(entries[0].z, 1);
        QCOMPARE(entries[0].Text(), QString("Gastgeber~127.0.0.1"));
        const auto ids = queuedOfKind(1, akPlayerId);
        QCOMPARE(ids.size(), size_t(1));
        QCOMPARE(ids[0].Gid, 1);
        QCOMPARE(queuedOfKind(1, akOptions).size(), size_t(1));
        QVERIFY(traced("Sende ID : "));
    }

    void loginSendsTheTableOfPresentPlayersOnly()
    {
        openAsHost();
        player(2, "Bert", "127.0.0.4");
        player(3, "Cleo", "127.0.0.5");
        // Cleo left during the last game: her slot keeps name and address.
        slot(3).Active = false;
        dropQueues();
        receiveKind(akLogin, kPeer, QStringLiteral("Dora"));
        QCOMPARE(slot(4).Name, QString("Dora"));
        QCOMPARE(slot(4).Address, kPeer);
        QVERIFY(slot(4).Active);
        for (int p : {1, 2, 4}) {
            const auto entries = queuedOfKind(p, akPlayerEntry);
            QCOMPARE(entries.size(), size_t(3));
            QCOMPARE(entries[0].z, 1);
            QCOMPARE(entries[1].z, 2);
            QCOMPARE(entries[1].Text(), QString("Bert~127.0.0.4"));
            QCOMPARE(entries[2].z, 4);
            QCOMPARE(entries[2].Text(), QString("Dora~127.0.0.2"));
            QCOMPARE(entries[2].x, 0);
            QCOMPARE(entries[2].y, 0);
            const auto ids = queuedOfKind(p, akPlayerId);
            QCOMPARE(ids.size(), size_t(1));
            QCOMPARE(ids[0].Gid, p);
        }
        // Nothing goes to the slot that left, and it is not revived.
        QVERIFY(queued(3).empty());
        QVERIFY(!slot(3).Active);
    }

    void loginIsIgnored_data()
    {
        QTest::addColumn<int>("reason");
        QTest::newRow("not the host") << 0;
        QTest::newRow("game starting") << 1;
        QTest::newRow("game running") << 2;
        QTest::newRow("table full") << 3;
    }
    void loginIsIgnored()
    {
        QFETCH(int, reason);
        if (reason != 0)
            openAsHost();
        for (int p = 2; p <= 8 && reason == 3; ++p)
            player(p, QStringLiteral("P%1").arg(p), QStringLiteral("127.0.1.%1").arg(p));
        Form1->GameStarting = reason == 1;
        Form1->GameRunning = reason == 2;
        dropQueues();
        receiveKind(akLogin, kPeer, QStringLiteral("Dora"));
        for (int p = 1; p <= 8; ++p) {
            QVERIFY(slot(p).Address != kPeer);
            QVERIFY(queued(p).empty());
        }
        QVERIFY(datagrams(akPlayerEntry).empty());
    }

    void secondLoginReusesTheSlot()
    {
        openAsHost();
        receiveKind(akLogin, kPeer, QStringLiteral("Dora"));
        QCOMPARE(slot(2).Address, kPeer);
        receiveKind(akLogin, kPeer, QStringLiteral("Dorothea"));
        QCOMPARE(slot(2).Name, QString("Dorothea"));
        QVERIFY(slot(3).Address.isEmpty());
        // Names and addresses are cut to 15 characters.
        receiveKind(akLogin, kPeer3, QStringLiteral("Ein sehr langer Spielername"));
        QCOMPARE(slot(3).Name, QString("Ein sehr langer"));
    }

    void clientNeverTakesTheHostsSlot()
    {
        // The client's login overtakes the host's own.
        Form1->HostsNetworkGame = true;
        receiveKind(akLogin, kPeer, QStringLiteral("Dora"));
        QVERIFY(slot(1).Address.isEmpty());
        QCOMPARE(slot(2).Address, kPeer);
        receiveKind(akLogin, kHost, QStringLiteral("Gastgeber"));
        QCOMPARE(slot(1).Address, kHost);
        QCOMPARE(slot(1).Name, QString("Gastgeber"));
        QCOMPARE(queuedOfKind(2, akPlayerId).back().Gid, 2);
    }

    void playerEntryFillsTheSlot()
    {
        FormSucheSpiele->show();
        // The host's entries come from the machine the login went to.
        NETZ->SendLogin(kPeer);
        receiveKind(akPlayerEntry, kPeer, QStringLiteral("Gast~geber~127.0.0.2"), -1, 1, true);
        QCOMPARE(slot(1).Name, QString("Gast~geber"));
        QCOMPARE(slot(1).Address, kPeer);
        QCOMPARE(slot(1).PlayerNo, 1);
        QVERIFY(slot(1).Active);
        QVERIFY(!FormSucheSpiele->isVisible());
        QVERIFY(traced("Neuer Spieler Gast~geber"));
        QCOMPARE(sounds, QStringList{"newgamer.wav"});
        // No "~": the whole text is the address.
        receiveKind(akPlayerEntry, kPeer, QStringLiteral("127.0.0.7"), -1, 2, true);
        QCOMPARE(slot(2).Name, QString());
        QCOMPARE(slot(2).Address, QString("127.0.0.7"));
        // Slot numbers outside 1..8 are ignored.
        receiveKind(akPlayerEntry, kPeer, QStringLiteral("X~127.0.0.8"), -1, 9, true);
        receiveKind(akPlayerEntry, kPeer, QStringLiteral("X~127.0.0.8"), -1, 0, true);
        for (int p = 3; p <= 8; ++p)
            QVERIFY(slot(p).Address.isEmpty());
    }

    void playerEntryWithoutAddressIsIgnored_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty address") << "Mallory~";
        QTest::newRow("no text") << "";
    }
    void playerEntryWithoutAddressIsIgnored()
    {
        QFETCH(QString, text);
        player(1, "Host", kPeer);
        receiveKind(akPlayerEntry, kPeer, text, -1, 6, true);
        QVERIFY(!slot(6).Active);
        QVERIFY(slot(6).Name.isEmpty());
        QVERIFY(traced("Spielereintrag 6 ohne Adresse ignoriert"));
    }

    void hostTakesEntriesOnlyFromItself()
    {
        openAsHost();
        receiveKind(akPlayerEntry, kPeer, QStringLiteral("Mallory~127.0.0.66"), -1, 1, true);
        QCOMPARE(slot(1).Name, QString("Gastgeber"));
        QCOMPARE(slot(1).Address, kHost);
    }

    void playerIdSetsTheNumberAndColours()
    {
        player(1, "Host", kPeer);
        player(2, "Ich", kHost);
        player(3, "Cleo", kPeer3);
        receiveKind(akPlayerId, kPeer, QString(), 3, 0, true);
        QCOMPARE(NETZ->MyPlayerNo, 3);
        QVERIFY(traced("Erhalte ID : 3"));
        QCOMPARE(slot(3).Color, FormOpt->im1->Tag);
        QCOMPARE(slot(1).Color, FormOpt->Im2->Tag);
        QCOMPARE(slot(2).Color, FormOpt->Im3->Tag);
        QCOMPARE(slot(4).Color, FormOpt->Im4->Tag);
        // The table shows the rows once the number is known.
        QVERIFY(!Form1->PlayerRows[1].NameLabel->text().isEmpty());
        // Out of range: ignored.
        receiveKind(akPlayerId, kPeer, QString(), 9, 0, true);
        QCOMPARE(NETZ->MyPlayerNo, 3);
    }

    // A client that joins again (after a round, or after it left before a
    // start) waits with "Spiel beenden" as its way out, as on its first
    // login; a number that comes during a start or a round changes nothing.
    void waitingClientCanLeave_data()
    {
        QTest::addColumn<int>("where");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("waiting") << 0 << true;
        QTest::newRow("in the countdown") << 1 << false;
        QTest::newRow("in a round") << 2 << false;
        QTest::newRow("waiting after the results") << 3 << true;
    }
    void waitingClientCanLeave()
    {
        QFETCH(int, where);
        QFETCH(bool, enabled);
        player(1, "Host", kPeer);
        player(2, "Ich", kHost);
        Form1->SinglePlayerGame = false;
        Form1->BTC_Spiel_Ende->setEnabled(false);
        Form1->GameStarting = where == 1;
        Form1->GameRunning = where == 2;
        if (where == 3) {
            // The results closed: the client waits with the menu.
            NETZ->MyPlayerNo = 2;
            Form1->WaitForHostsNextGame();
        } else {
            receiveKind(akPlayerId, kPeer, QString(), 2, 0, true);
        }
        QCOMPARE(NETZ->MyPlayerNo, 2);
        QCOMPARE(Form1->BTC_Spiel_Ende->isEnabled(), enabled);
        if (!enabled)
            return;
        // It leaves the host's game with its logoff, back to the start screen.
        Form1->BTC_Spiel_EndeClick();
        QCOMPARE(NETZ->MyPlayerNo, 0);
        QVERIFY(FormStart->isVisible());
        QVERIFY(!Form1->BTC_Spiel_Ende->isEnabled());
        QCOMPARE(Form1->Panel_Menue->height(), 0);
        QVERIFY(!FormMeld->isVisible());
        QCOMPARE(datagrams(akLogoff).size(), size_t(1));
    }

    // The host's own telegrams come back through its own listener: to the
    // loopback address while it hears every address, else to the one it is
    // bound to; the host of a LAN game keeps the address its players know.
    void becomeHostTakesAnAddressItsListenerHears_data()
    {
        QTest::addColumn<QString>("bind");
        QTest::addColumn<bool>("lanHost");
        QTest::addColumn<QString>("address");
        QTest::newRow("every address") << "0.0.0.0" << false << "127.0.0.1";
        QTest::newRow("one address") << "127.0.0.7" << false << "127.0.0.7";
        QTest::newRow("LAN host") << "0.0.0.0" << true << "127.0.0.5";
        QTest::newRow("LAN host, one address") << "127.0.0.5" << true << "127.0.0.5";
    }
    void becomeHostTakesAnAddressItsListenerHears()
    {
        QFETCH(QString, bind);
        QFETCH(bool, lanHost);
        QFETCH(QString, address);
        NETZ->BindAddress = bind;
        if (lanHost) {
            // Logged in to itself under the address the options show.
            FormOpt->SelfIp->setText(QStringLiteral("127.0.0.5"));
            Form1->HostsNetworkGame = true;
            player(1, "Gastgeber", QStringLiteral("127.0.0.5"));
        }
        NETZ->BecomeHost();
        NETZ->BindAddress = kHost;
        QCOMPARE(slot(1).Address, address);
        QCOMPARE(NETZ->MyPlayerNo, 1);
        QVERIFY(slot(1).Active);
    }

    void ownAddressIsTheBoundOne()
    {
        // Without an address of its own given, a machine bound to one
        // address is known by it: it hears nothing sent to another.
        qunsetenv("SUDOKU_SELF_IP");
        ReloadSudokuEnv();
        NETZ->BindAddress = QStringLiteral("127.0.0.7");
        QCOMPARE(NETZ->LocalAddress(), QString("127.0.0.7"));
        NETZ->BindAddress = QStringLiteral("0.0.0.0");
        QVERIFY(NETZ->LocalAddress() != QLatin1String("0.0.0.0"));
        qputenv("SUDOKU_SELF_IP", "127.0.0.1");
        ReloadSudokuEnv();
        QCOMPARE(NETZ->LocalAddress(), QString("127.0.0.1"));
        NETZ->BindAddress = kHost;
    }

    void becomeHost()
    {
        FormOpt->NickName->setText(QStringLiteral("Solist"));
        slot(1).GameOver = true;
        NETZ->BecomeHost();
        QCOMPARE(NETZ->MyPlayerNo, 1);
        QCOMPARE(slot(1).Name, QString("Solist"));
        QCOMPARE(slot(1).Address, kHost);
        QCOMPARE(slot(1).PlayerNo, 1);
        QVERIFY(slot(1).Active);
        QVERIFY(!slot(1).GameOver);
        QCOMPARE(slot(1).Color, FormOpt->im1->Tag);
    }

    // ---- logoffs -------------------------------------------------------------------

    void clientLogoffIsOneDatagramToTheHost()
    {
        player(1, "Host", kPeer);
        player(2, "Ich", kHost);
        NETZ->MyPlayerNo = 2;
        NETZ->SendLogoff();
        const auto out = datagrams(akLogoff);
        QCOMPARE(out.size(), size_t(1));
        QCOMPARE(out[0].Host, kPeer);
        QCOMPARE(out[0].Tel.Gid, 2);
        QCOMPARE(out[0].Size, 48);
        // The host itself sends none.
        sent.clear();
        NETZ->MyPlayerNo = 1;
        NETZ->SendLogoff();
        QVERIFY(datagrams(akLogoff).empty());
    }

    // A client that turns to another kind of game at the start screen leaves
    // the host's game, so that the host's next start does not wait for it.
    void clientTurningToAnotherGameLogsOff()
    {
        player(1, "Host", kPeer);
        player(2, "Ich", kHost);
        NETZ->MyPlayerNo = 2;
        FormStart->Tab_EinzelspielerClick(FormStart->Tab_Einzelspieler);
        const auto out = datagrams(akLogoff);
        QCOMPARE(out.size(), size_t(1));
        QCOMPARE(out[0].Host, kPeer);
        QCOMPARE(out[0].Tel.Gid, 2);
        QCOMPARE(NETZ->MyPlayerNo, 0);
        QCOMPARE(Form1->CountOnlinePlayers(), 0);
        FormStart->hide();
    }

    void logoffBetweenGamesFreesTheSlotWhereItIs()
    {
        openAsHost();
        receiveKind(akLogin, kPeer, QStringLiteral("Bert"));
        receiveKind(akLogin, kPeer3, QStringLiteral("Cleo"));
        loopBack();
        QCOMPARE(slot(3).Address, kPeer3);
        QCOMPARE(slot(3).PlayerNo, 3);
        // Something still waits for Bert.
        QVERIFY(NETZ->QueuedCount(2) > 0);
        for (int p : {1, 3})
            NETZ->PurgeQueue(p);
        receiveKind(akLogoff, kPeer, QString(), 2);
        QVERIFY(slot(2).Name.isEmpty());
        QVERIFY(slot(2).Address.isEmpty());
        QVERIFY(!slot(2).Active);
        QCOMPARE(NETZ->QueuedCount(2), 0);
        // Cleo keeps her slot and her number.
        QCOMPARE(slot(3).Name, QString("Cleo"));
        QCOMPARE(slot(3).Address, kPeer3);
        QCOMPARE(slot(3).PlayerNo, 3);
        QVERIFY(slot(3).Active);
        // The rest are told: the chat line reaches host and Cleo.
        for (int p : {1, 3}) {
            const auto chat = queuedOfKind(p, akChat);
            QCOMPARE(chat.size(), size_t(1));
            QCOMPARE(chat[0].Text(), QString("Bert meldet sich ab"));
        }
        // A new player takes the freed slot.
        receiveKind(akLogin, QStringLiteral("127.0.0.9"), QStringLiteral("Dora"));
        QCOMPARE(slot(2).Name, QString("Dora"));
        QCOMPARE(slot(3).Name, QString("Cleo"));
    }

    void logoffDuringAGameKeepsTheSlot()
    {
        openAsHost();
        receiveKind(akLogin, kPeer, QStringLiteral("Bert"));
        receiveKind(akLogin, kPeer3, QStringLiteral("Cleo"));
        dropQueues();
        Form1->GameRunning = true;
        receiveKind(akLogoff, kPeer, QString(), 2);
        QCOMPARE(slot(2).Name, QString("Bert"));
        QCOMPARE(slot(2).Address, kPeer);
        QVERIFY(!slot(2).Active);
        QVERIFY(slot(2).GameOver);
        QCOMPARE(slot(2).Penalty, -2);
        // Everybody left is told that Bert is gone.
        for (int p : {1, 3}) {
            const auto pen = queuedOfKind(p, akPenalty);
            QCOMPARE(pen.size(), size_t(1));
            QCOMPARE(pen[0].Gid, 2);
            QCOMPARE(pen[0].x, -2);
        }
        // Two players are still in: the game goes on.
        QVERIFY(Form1->GameRunning);
        QVERIFY(queuedOfKind(1, akEndOfGame).empty());
    }

    // ---- closing the table up -------------------------------------------------------

    // A player who leaves during a round keeps his row to its end; then his
    // slot is freed where it is, on the host as on every client, and the
    // next newcomer takes it.
    void whoLeftDuringTheRoundLeavesTheTableAtItsEnd_data()
    {
        QTest::addColumn<QString>("end");
        QTest::newRow("the round is over") << "over";
        QTest::newRow("the host ends it") << "ended";
    }
    void whoLeftDuringTheRoundLeavesTheTableAtItsEnd()
    {
        QFETCH(QString, end);
        bertLeavesDuringTheRound();
        if (end == "over") {
            slot(1).GameOver = slot(3).GameOver = true;
            NETZ->SendEndOfGame();
            loopBack();
            QVERIFY(FormSpielEnde->isVisible());
            // The end table shows the players still there.
            QVERIFY(Form1->EndPlayerRows[2].NameLabel->text().isEmpty());
            QCOMPARE(Form1->EndPlayerRows[3].NameLabel->text(), QString("Cleo"));
        } else {
            Form1->FinishGame();
        }
        QVERIFY(slot(2).Address.isEmpty());
        QVERIFY(slot(2).Name.isEmpty());
        QCOMPARE(slot(3).Name, QString("Cleo"));
        QCOMPARE(slot(3).PlayerNo, 3);
        dropQueues();
        receiveKind(akLogin, QStringLiteral("127.0.0.9"), QStringLiteral("Dora"));
        QCOMPARE(slot(2).Name, QString("Dora"));
        const auto ids = queuedOfKind(2, akPlayerId);
        QCOMPARE(ids.size(), size_t(1));
        QCOMPARE(ids[0].Gid, 2);
        QCOMPARE(queuedOfKind(3, akPlayerEntry).size(), size_t(3));
        FormSpielEnde->hide();
    }

    // The round is over for the host only when its own end of game has come
    // back to it: until then a newcomer's search is answered as during the
    // game and his login is dropped. Taken earlier, he would get a slot of
    // his own beside the one who left still holds, and the host's end table
    // would show him.
    void newcomerWaitsForTheHostsOwnEndOfGame()
    {
        bertLeavesDuringTheRound();
        // The last entry is judged: the game is over, its end on the way.
        slot(1).GameOver = slot(3).GameOver = true;
        Form1->GameRunning = false;
        NETZ->SendEndOfGame();
        const QString dora = QStringLiteral("127.0.0.9");
        sent.clear();
        receiveKind(akSearch, dora);
        receiveKind(akLogin, dora, QStringLiteral("Dora"));
        QCOMPARE(datagrams(akGameOffer).size(), size_t(1));
        QCOMPARE(datagrams(akGameOffer)[0].Tel.Loop, 0);
        for (int p = 1; p <= 8; ++p)
            QVERIFY(slot(p).Address != dora);
        loopBack();
        QVERIFY(FormSpielEnde->isVisible());
        for (int p : {2, 4})
            QVERIFY(Form1->EndPlayerRows[p].NameLabel->text().isEmpty());
        QCOMPARE(Form1->EndPlayerRows[3].NameLabel->text(), QString("Cleo"));
        // Now the round is over: he is taken, in the slot freed.
        sent.clear();
        receiveKind(akSearch, dora);
        receiveKind(akLogin, dora, QStringLiteral("Dora"));
        QCOMPARE(datagrams(akGameOffer).size(), size_t(1));
        QCOMPARE(datagrams(akGameOffer)[0].Tel.Loop, 1);
        QCOMPARE(slot(2).Name, QString("Dora"));
        QCOMPARE(slot(2).Address, dora);
        QVERIFY(slot(4).Address.isEmpty());
        FormSpielEnde->hide();
    }

    void clientClosesUpAsTheHostDoes_data()
    {
        QTest::addColumn<QString>("when");
        QTest::newRow("between games") << "between";
        QTest::newRow("round over") << "over";
        QTest::newRow("round ended by the host") << "ended";
    }
    void clientClosesUpAsTheHostDoes()
    {
        QFETCH(QString, when);
        player(1, "Host", kPeer);
        player(2, "Ich", kHost);
        player(3, "Cleo", kPeer3);
        player(4, "Dora", QStringLiteral("127.0.0.9"));
        NETZ->MyPlayerNo = 2;
        Form1->GameRunning = when != "between";
        TTelegram gone;
        gone.Aktion = akPenalty;
        gone.Gid = 3;
        gone.x = -2;
        receive(gone, kPeer, true);
        QVERIFY(!slot(3).Active);
        QCOMPARE(slot(3).Name, QString("Cleo"));
        if (when == "over") {
            receiveKind(akEndOfGame, kPeer, QString(), -1, 0, true);
        } else if (when == "ended") {
            receiveKind(akGameEnded, kPeer, QString(), -1, 0, true);
        } else {
            // Between games: before the host's next round begins.
            TTelegram six;
            six.Aktion = akStartPhase;
            six.a = 6;
            receive(six, kPeer, true);
            Form1->GameStarting = false;
        }
        QVERIFY(slot(3).Address.isEmpty());
        QCOMPARE(slot(4).Name, QString("Dora"));
        QCOMPARE(slot(4).PlayerNo, 4);
        QCOMPARE(NETZ->MyPlayerNo, 2);
        FormSpielEnde->hide();
        FormStart->hide();
        FormMeld->hide();
    }

    // ---- a peer that stops answering ---------------------------------------------

    // Time passes on the replaceable counter while the send timer ticks.
    void silence(int ms)
    {
        for (int t = 0; t < ms; t += 100) {
            TTestFixture::Now += 100 * 1000000LL;
            NETZ->SendTimerTimer();
        }
    }

    // A client that acknowledges nothing for 15 s while a telegram to it
    // waits is gone, as if it had logged off.
    void silentClientIsGoneAsIfItLoggedOff_data()
    {
        QTest::addColumn<QString>("when");
        QTest::newRow("between games") << "between";
        QTest::newRow("during a game") << "game";
        QTest::newRow("during the start") << "start";
    }
    void silentClientIsGoneAsIfItLoggedOff()
    {
        QFETCH(QString, when);
        openAsHost();
        receiveKind(akLogin, kPeer, QStringLiteral("Bert"));
        receiveKind(akLogin, kPeer3, QStringLiteral("Cleo"));
        loopBack();
        dropQueues();
        Form1->GameRunning = when == "game";
        Form1->GameStarting = when == "start";
        slot(1).Ready = slot(3).Ready = when == "start";
        NETZ->Tel = TTelegram();
        NETZ->Tel.Aktion = akOptions;
        NETZ->EncodeOptions();
        NETZ->QueueToPlayer(2);
        silence(14900);
        QVERIFY(slot(2).Active);
        QVERIFY(NETZ->QueuedCount(2) == 1);
        int resent = 0;
        for (const TSent &x : sent)
            resent += x.Tel.Aktion == akOptions && x.Host == kPeer ? 1 : 0;
        QVERIFY(resent >= 2);
        silence(200);
        QVERIFY(!slot(2).Active);
        QCOMPARE(NETZ->QueuedCount(2), 0);
        QVERIFY(traced("Keine Antwort von Bert(127.0.0.2) seit 15 s"));
        // The others learn it as they learn a logoff.
        for (int p : {1, 3}) {
            QCOMPARE(queuedOfKind(p, akChat).size(), size_t(1));
            QCOMPARE(queuedOfKind(p, akChat)[0].Text(), QString("Bert meldet sich ab"));
        }
        if (when == "between") {
            QVERIFY(slot(2).Address.isEmpty());
        } else {
            QCOMPARE(slot(2).Penalty, -2);
            QCOMPARE(queuedOfKind(3, akPenalty).size(), size_t(1));
            QCOMPARE(queuedOfKind(3, akPenalty)[0].x, -2);
        }
        QCOMPARE(Form1->GameRunning, when == "game");
        // The start waits for nobody who is gone.
        QCOMPARE(NETZ->StartTimer->isActive(), when == "start");
        NETZ->StartTimer->stop();
        // Nothing goes to Bert any more.
        sent.clear();
        silence(30000);
        for (const TSent &x : sent)
            QVERIFY(x.Host != kPeer);
    }

    // A silent client who was the last one in ends the round for the rest.
    void silentLastPlayerEndsTheRound()
    {
        openAsHost();
        receiveKind(akLogin, kPeer, QStringLiteral("Bert"));
        dropQueues();
        Form1->GameRunning = true;
        slot(1).GameOver = true;
        NETZ->SendStats(1);
        NETZ->PurgeQueue(1);
        silence(15100);
        QVERIFY(!Form1->GameRunning);
        QCOMPARE(queuedOfKind(1, akEndOfGame).size(), size_t(1));
    }

    // A client whose host stops answering leaves, as when the host logs off;
    // another client that does is the host's to judge: only what waits for
    // it is dropped.
    void clientLeavesWhenItsHostIsSilent()
    {
        player(1, "Host", kPeer);
        player(2, "Ich", kHost);
        player(3, "Cleo", kPeer3);
        NETZ->MyPlayerNo = 2;
        NETZ->SendChat(QStringLiteral("Hallo"), QStringLiteral("all"));
        // Its own line comes back to it; the host answers.
        NETZ->PurgeQueue(2);
        NETZ->PurgeQueue(1);
        silence(15100);
        QCOMPARE(NETZ->QueuedCount(3), 0);
        QVERIFY(slot(3).Active);
        QCOMPARE(NETZ->MyPlayerNo, 2);
        QVERIFY(!Form1->StopRequested);

        NETZ->SendUsedMarks(3);
        QCOMPARE(NETZ->QueuedCount(1), 1);
        silence(14900);
        QCOMPARE(NETZ->MyPlayerNo, 2);
        silence(200);
        QCOMPARE(NETZ->MyPlayerNo, 0);
        QVERIFY(Form1->StopRequested);
        QCOMPARE(FormMeld->MeldTXT->text(), QString("Spieler 1 (Server) hat sich abgemeldet."));
        QCOMPARE(NETZ->QueuedCount(1), 0);
        Form1->StopRequested = false;
    }

    void logoffThatEndsTheGameScoresItAndTellsTheRest()
    {
        openAsHost();
        receiveKind(akLogin, kPeer, QStringLiteral("Bert"));
        dropQueues();
        Form1->GameRunning = true;
        // The host is out already; Bert was the last player in.
        slot(1).GameOver = true;
        receiveKind(akLogoff, kPeer, QString(), 2);
        QVERIFY(!Form1->GameRunning);
        QCOMPARE(queuedOfKind(1, akEndOfGame).size(), size_t(1));
        QVERIFY(queued(2).empty());
        QVERIFY(NETZ->EndOfGameSentThisGame());
        // Ending the game on the host then sends no game-ended notice.
        NETZ->SendGameEnded();
        QVERIFY(queuedOfKind(1, akGameEnded).empty());
    }

    void logoffIsIgnored_data()
    {
        QTest::addColumn<int>("reason");
        QTest::newRow("on a client") << 0;
        QTest::newRow("from another address") << 1;
        QTest::newRow("for the host's own slot") << 2;
        QTest::newRow("twice") << 3;
    }
    void logoffIsIgnored()
    {
        QFETCH(int, reason);
        openAsHost();
        receiveKind(akLogin, kPeer, QStringLiteral("Bert"));
        if (reason == 0)
            Form1->HostsNetworkGame = false;
        if (reason == 3)
            receiveKind(akLogoff, kPeer, QString(), 2);
        dropQueues();
        const QString from = reason == 1 ? kPeer3 : kPeer;
        receiveKind(akLogoff, from, QString(), reason == 2 ? 1 : 2);
        for (int p = 1; p <= 8; ++p)
            QVERIFY(queued(p).empty());
        QVERIFY(slot(1).Active);
        if (reason != 3)
            QVERIFY(slot(2).Active);
    }

    void hostLogoffGoesToEveryClient()
    {
        player(1, "Host", kHost);
        player(2, "Bert", kPeer);
        player(3, "Cleo", kPeer3);
        player(5, "Emil", "127.0.0.5");
        slot(5).Active = false;
        NETZ->MyPlayerNo = 1;
        NETZ->SendServerLogoff();
        const auto out = datagrams(akServerLogoff);
        QCOMPARE(out.size(), size_t(2));
        QCOMPARE(out[0].Host, kPeer);
        QCOMPARE(out[1].Host, kPeer3);
    }

    // Where the client was when its host left: in a round, waiting for the
    // host's next one (as after its login, with the last round's board and
    // the menu), in the host's countdown, or on the last round's results.
    void clientLeavesWhenTheHostLeaves_data()
    {
        QTest::addColumn<int>("where");
        QTest::newRow("in a round") << 0;
        QTest::newRow("waiting for the next round") << 1;
        QTest::newRow("in the countdown") << 2;
        QTest::newRow("on the results") << 3;
    }
    void clientLeavesWhenTheHostLeaves()
    {
        QFETCH(int, where);
        player(1, "Host", kPeer);
        player(2, "Ich", kHost);
        NETZ->MyPlayerNo = 2;
        Form1->GameRunning = where == 0;
        Form1->GameStarting = where == 2;
        Form1->brett->show();
        Form1->BTC_Spiel_Ende->setEnabled(where == 0);
        if (where == 1)
            Form1->WaitForHostsNextGame();
        if (where == 3)
            FormSpielEnde->show();
        receiveKind(akServerLogoff, kPeer);
        QCOMPARE(NETZ->MyPlayerNo, 0);
        QVERIFY(Form1->StopRequested);
        for (int p = 1; p <= 8; ++p)
            QVERIFY(slot(p).Address.isEmpty());
        QVERIFY(FormMeld->isVisible());
        QCOMPARE(FormMeld->MeldTXT->text(), QString("Spieler 1 (Server) hat sich abgemeldet."));
        QCOMPARE(FormMeld->Dauer, 20);
        // The next clock tick stops the game and the listener.
        Form1->MsgTimerTimer();
        QVERIFY(!Form1->StopRequested);
        QVERIFY(!NETZ->IsListenerActive());
        QVERIFY(!Form1->GameRunning && !Form1->GameStarting);
        QVERIFY(FormMeld->isVisible());
        if (where == 0) {
            // The stopped round's board stays; "Spiel beenden" leads out.
            QVERIFY(!Form1->brett->isHidden());
            QVERIFY(Form1->BTC_Spiel_Ende->isEnabled());
            QVERIFY(!FormStart->isVisible());
        } else if (where == 3) {
            // The results lead on by their own exits.
            QVERIFY(FormSpielEnde->isVisible());
            QVERIFY(!FormStart->isVisible());
            FormSpielEnde->hide();
        } else {
            // Nothing left to wait for: the start screen, nothing of the game.
            QVERIFY(FormStart->isVisible());
            QVERIFY(Form1->brett->isHidden());
            QVERIFY(!Form1->BTC_Spiel_Ende->isEnabled());
            QCOMPARE(Form1->Panel_Menue->height(), 0);
        }
    }

    void hostIgnoresAHostLogoff()
    {
        openAsHost();
        receiveKind(akLogin, kPeer, QStringLiteral("Bert"));
        receiveKind(akServerLogoff, kPeer);
        QCOMPARE(NETZ->MyPlayerNo, 1);
        QVERIFY(!Form1->StopRequested);
        QVERIFY(slot(2).Active);
        QVERIFY(!FormMeld->isVisible());
    }

    // ---- end of a game by the host ---------------------------------------------------

    void gameEndedGoesToAllUnlessTheEndOfGameWentOut()
    {
        openAsHost();
        receiveKind(akLogin, kPeer, QStringLiteral("Bert"));
        dropQueues();
        // The host ends a running game.
        TTestFixture::Now += 1000000000LL;
        Form1->GameStartCount = TTestFixture::Now;
        Form1->GameRunning = true;
        Form1->FinishGame();
        for (int p : {1, 2}) {
            const auto ended = queuedOfKind(p, akGameEnded);
            QCOMPARE(ended.size(), size_t(1));
            QCOMPARE(ended[0].x, 0);
        }
        // The next game ends by itself: its end of game goes out, and the
        // host leaving it afterwards sends no notice that would take the
        // clients off their results.
        TTestFixture::Now += 1000000000LL;
        Form1->GameStartCount = TTestFixture::Now;
        dropQueues();
        NETZ->SendEndOfGame();
        QVERIFY(NETZ->EndOfGameSentThisGame());
        Form1->FinishGame();
        QVERIFY(queuedOfKind(1, akGameEnded).empty());
        QVERIFY(queuedOfKind(2, akGameEnded).empty());
        // The game after that is ended by the host again: the notice goes out.
        TTestFixture::Now += 1000000000LL;
        Form1->GameStartCount = TTestFixture::Now;
        NETZ->SendGameEnded();
        QCOMPARE(queuedOfKind(2, akGameEnded).size(), size_t(1));
        // Only the host sends it.
        dropQueues();
        NETZ->MyPlayerNo = 2;
        NETZ->SendGameEnded();
        QVERIFY(queued(2).empty());
    }

    void clientStopsWhenTheHostEndsTheGame()
    {
        player(1, "Host", kPeer);
        player(2, "Ich", kHost);
        NETZ->MyPlayerNo = 2;
        Form1->GameRunning = true;
        Form1->BTC_Spiel_Ende->setEnabled(true);
        Form1->brett->show();
        // A Bingo round: its offer is open.
        FormBingo->show();
        receiveKind(akGameEnded, kPeer, QString(), -1, 0, true);
        QVERIFY(!Form1->GameRunning);
        QVERIFY(!Form1->BTC_Spiel_Ende->isEnabled());
        QVERIFY(!Form1->brett->isVisible());
        QVERIFY(!FormBingo->isVisible());
        QVERIFY(FormStart->isVisible());
        QCOMPARE(FormMeld->MeldTXT->text(), QString("Spieler 1 (Server) hat das Spiel beendet."));
    }

    void hostIgnoresItsOwnGameEnded()
    {
        openAsHost();
        Form1->GameRunning = true;
        receiveKind(akGameEnded, kHost, QString(), -1, 0, true);
        QVERIFY(Form1->GameRunning);
        QVERIFY(!FormStart->isVisible());
    }

    // ---- chat ------------------------------------------------------------------------------

    void chatToAllIsQueuedToEveryActiveSlot()
    {
        player(1, "Host", kHost);
        player(2, "Bert", kPeer);
        player(3, "Cleo", kPeer3);
        slot(3).Active = false;
        NETZ->MyPlayerNo = 1;
        NETZ->SendChat(QStringLiteral("Hallo zusammen, wer spielt noch eine Runde mit?"), QStringLiteral("all"));
        QVERIFY(traced("Sende Chat in Warteschlange an (all): Hallo zusammen"));
        for (int p : {1, 2}) {
            const auto chat = queuedOfKind(p, akChat);
            QCOMPARE(chat.size(), size_t(1));
            QCOMPARE(chat[0].Gid, 1);
            QCOMPARE(chat[0].Text(), QString("Hallo zusammen, wer spielt noch ein"));
        }
        QVERIFY(queued(3).empty());
        QVERIFY(datagrams(akChat).empty());
    }

    void chatToOneAddressIsOneDatagram()
    {
        NETZ->MyPlayerNo = 2;
        NETZ->SendChat(QStringLiteral("psst"), kPeer3);
        const auto out = datagrams(akChat);
        QCOMPARE(out.size(), size_t(1));
        QCOMPARE(out[0].Host, kPeer3);
        QCOMPARE(out[0].Tel.Text(), QString("psst"));
        QCOMPARE(out[0].Tel.Gid, 2);
    }

    void chatWithoutListenerShowsNothing()
    {
        NETZ->SetListenerActive(false);
        player(1, "Host", kHost);
        NETZ->MyPlayerNo = 1;
        NETZ->SendChat(QStringLiteral("allein"), QStringLiteral("all"));
        QCOMPARE(Form1->ChatBox->Count(), 0);
    }

    void chatLineShowsTheSender_data()
    {
        QTest::addColumn<int>("gid");
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("red");
        QTest::newRow("known player") << 2 << "Bert:Grüße an alle" << false;
        QTest::newRow("slot without name") << 4 << "127.0.0.2:Grüße an alle" << true;
        QTest::newRow("no player number") << 0 << "127.0.0.2:Grüße an alle" << true;
    }
    void chatLineShowsTheSender()
    {
        QFETCH(int, gid);
        QFETCH(QString, line);
        QFETCH(bool, red);
        player(2, "Bert", kPeer);
        slot(2).Color = 0x00FF00;
        slot(4).Color = 255;
        receiveKind(akChat, kPeer, QStringLiteral("Grüße an alle"), gid, 0, true);
        QCOMPARE(Form1->ChatBox->Count(), 1);
        QCOMPARE(Form1->ChatBox->Item(0), line);
        QCOMPARE(Form1->ChatBox->currentRow(), 0);
        QCOMPARE(Form1->ChatBox->Tag, 4);
        const QColor c = Form1->ChatBox->palette().color(QPalette::Text);
        QCOMPARE(c, red ? QColor(255, 0, 0) : QColor(0, 255, 0));
        QVERIFY(traced("Erhalte Chat von (" + line.section(':', 0, 0) + ":): Grüße an alle"));
    }

    // ---- against a scripted peer over loopback ------------------------------------------------

    void clientSequenceAgainstAScriptedPeer()
    {
        // This machine is the host at 127.0.0.1, the peer a client at 127.0.0.2.
        NETZ->OutgoingFilter = nullptr;
        NETZ->SendTimer->start(1);
        TLoopbackPeer peer;
        QVERIFY(peer.Bind(kPeer, port));
        Form1->HostsNetworkGame = true;
        NETZ->SendLogin(kHost);
        QVERIFY(runUntil([] { return NETZ->MyPlayerNo == 1; }, 3000));

        peer.SendDatagram(akSearch, kHost);
        QVERIFY(runUntil(
            [&] {
                peer.Pump();
                return !peer.OfKind(akGameOffer).empty();
            },
            3000));
        const TTelegram offer = peer.OfKind(akGameOffer).front();
        QCOMPARE(offer.Text(), QString("Gastgeber"));
        QCOMPARE(offer.Loop, 1);
        QCOMPARE(offer.ACK, -1);

        peer.SendDatagram(akLogin, kHost, QStringLiteral("Skript"));
        QVERIFY(runUntil(
            [&] {
                peer.Pump();
                return peer.OfKind(akPlayerEntry).size() >= 2 && !peer.OfKind(akPlayerId).empty() &&
                       NETZ->QueuedCount(2) == 0;
            },
            3000));
        const auto entries = peer.OfKind(akPlayerEntry);
        QCOMPARE(entries[0].z, 1);
        QCOMPARE(entries[0].Text(), QString("Gastgeber~127.0.0.1"));
        QCOMPARE(entries[1].z, 2);
        QCOMPARE(entries[1].Text(), QString("Skript~127.0.0.2"));
        QCOMPARE(peer.OfKind(akPlayerId).front().Gid, 2);
        QCOMPARE(peer.OfKind(akPlayerId).front().Loop, 2);
        QCOMPARE(slot(2).Name, QString("Skript"));

        // A chat line from the peer reaches the chat box; one to all comes back.
        TTelegram chat;
        chat.Aktion = akChat;
        chat.Gid = 2;
        chat.Data = 1;
        chat.SetText(QStringLiteral("Hallo Host"));
        peer.SendReliable(chat, kHost, 1, 0);
        NETZ->SendChat(QStringLiteral("Hallo Skript"), QStringLiteral("all"));
        QVERIFY(runUntil(
            [&] {
                peer.Pump();
                return !peer.OfKind(akChat).empty() && Form1->ChatBox->Count() >= 2;
            },
            3000));
        QVERIFY(Form1->ChatBox->Items().contains("Skript:Hallo Host"));
        QVERIFY(Form1->ChatBox->Items().contains("Gastgeber:Hallo Skript"));
        QCOMPARE(peer.OfKind(akChat).front().Text(), QString("Hallo Skript"));

        // The peer leaves between games: its slot is freed.
        peer.SendDatagram(akLogoff, kHost, QString(), 2);
        QVERIFY(runUntil([&] { return slot(2).Address.isEmpty(); }, 3000));
        QVERIFY(!slot(2).Active);
        NETZ->SendTimer->stop();
    }

    void hostSequenceAgainstAScriptedPeer()
    {
        // This machine is a client at 127.0.0.1, the peer the host at 127.0.0.2.
        NETZ->OutgoingFilter = nullptr;
        NETZ->SendTimer->start(1);
        TLoopbackPeer host;
        QVERIFY(host.Bind(kPeer, port));
        FormSucheSpiele->show();
        FormSucheSpiele->bt_suchenClick();
        // The search goes to the loopback broadcast target; the peer answers
        // the address it came from.
        NETZ->SendSearch(kPeer);
        QVERIFY(runUntil(
            [&] {
                host.Pump();
                return !host.OfKind(akSearch).empty();
            },
            3000));
        TTelegram offer;
        offer.Aktion = akGameOffer;
        offer.ACK = -1;
        offer.Loop = 1;
        offer.x = 2;
        offer.y = 1;
        offer.b = 1;
        offer.z = 1;
        offer.Gid = 1;
        offer.Data = 1;
        offer.SetText(QStringLiteral("Skripthost"));
        host.Send(offer, kHost);
        QVERIFY(runUntil([&] { return FormSucheSpiele->RowCount() == 1; }, 3000));
        QCOMPARE(FormSucheSpiele->RowTexts(0).at(scStatus), QString("wartet"));
        FormSucheSpiele->Games->setCurrentItem(FormSucheSpiele->Games->topLevelItem(0));
        FormSucheSpiele->GamesDblClick();
        QVERIFY(runUntil(
            [&] {
                host.Pump();
                return !host.OfKind(akLogin).empty();
            },
            3000));
        QCOMPARE(host.OfKind(akLogin).front().Text(), QString("Gastgeber"));

        TTelegram entry;
        entry.Aktion = akPlayerEntry;
        entry.Data = 1;
        entry.z = 1;
        entry.SetText(QStringLiteral("Skripthost~127.0.0.2"));
        host.SendReliable(entry, kHost, 2, 0);
        entry.z = 2;
        entry.SetText(QStringLiteral("Gastgeber~127.0.0.1"));
        host.SendReliable(entry, kHost, 2, 1);
        TTelegram id;
        id.Aktion = akPlayerId;
        id.Gid = 2;
        host.SendReliable(id, kHost, 2, 2);
        QVERIFY(runUntil([&] { return NETZ->MyPlayerNo == 2; }, 3000));
        QCOMPARE(slot(1).Name, QString("Skripthost"));
        QCOMPARE(slot(2).Address, kHost);
        QVERIFY(!FormSucheSpiele->isVisible());
        // Every reliable telegram was acknowledged.
        auto acks = [&] {
            int n = 0;
            for (const auto &r : host.Acknowledgements)
                n += r.Tel.Loop == 2 ? 1 : 0;
            return n;
        };
        QVERIFY(runUntil(
            [&] {
                host.Pump();
                return acks() == 3;
            },
            3000));

        // Leaving: one logoff datagram to the host.
        NETZ->SendLogoff();
        QVERIFY(runUntil(
            [&] {
                host.Pump();
                return !host.OfKind(akLogoff).empty();
            },
            3000));
        QCOMPARE(host.OfKind(akLogoff).front().Gid, 2);
        NETZ->SendTimer->stop();
    }
};

QTEST_MAIN(TstLobby)
#include "tst_lobby.moc"
