// Tournament data between the host and its clients: what the host queues for
// each client and in which order, what a client's window shows after it,
// the header's modes, the checks of who sends and who takes the data, and
// a whole dump through real sockets on loopback.
#include "ExchangePeer.h"
#include "GameSupport.h"
#include "HostScript.h"
#include "board/ULog.h"
#include "board/UQuadrivo.h"
#include "common/GameEndChecks.h"
#include "common/RealMessageBoxes.h"
#include "competitions/UChallenge.h"
#include "files/UCompetitionFile.h"
#include "files/UIniFile.h"
#include "files/UTournamentData.h"
#include "net/UNETZ.h"
#include "screens/USpielEnde.h"
#include "settings/USystem.h"
#include "ui/DialogService.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QSignalBlocker>
#include <QtTest>
#include <memory>

namespace {
const char kPuzzle[] = "eHcFDgaibdgiahBcFefbAicEHGdadHcbifeGbCGefhDAiIfedgaBchcEFBidGhagAbHefidchidgACeBf";
const QString kHostAddress = QStringLiteral("127.0.0.1");

QByteArray fileHead()
{
    return "[Spiele]\r\nchksum=0\r\nPasswort=d41d8cd98f00b204e9800998ecf8427e\r\n";
}

QByteArray stage(int n, const char *options)
{
    return StageNumberText(n).toLatin1() + "=" + kPuzzle + options + "\r\n";
}

// No stages, two players registered with none played.
QByteArray noStages()
{
    return fileHead() + "[Etappe]\r\nAnna=0000\r\nBert=0000\r\n";
}

// Three stages, two players through two of them.
QByteArray severalStages()
{
    return fileHead() + stage(1, "SS014") + stage(2, "ID123") + stage(3, "SS124") +
           "[Etappe]\r\nAnna=0002\r\nBert=0002\r\n"
           "[0001]\r\nAnna=12*3456*1\r\nBert=8*4000*2\r\n"
           "[0002]\r\nBert=10*2000*0\r\nAnna=0*0*0\r\n";
}

// Four stages; Carl has reached stage 2 and has entries in stages 2 and 3.
QByteArray fourStages()
{
    return fileHead() + stage(1, "SS014") + stage(2, "SD233") + stage(3, "SS124") + stage(4, "ZS302") +
           "[Etappe]\r\nCarl=0002\r\n"
           "[0001]\r\nDora=1*10*1\r\n"
           "[0002]\r\nCarl=5*300*1\r\n"
           "[0003]\r\nCarl=7*700*7\r\n";
}

// The text as the tournament file of that name in the data folder, checksummed.
void writeTournamentFile(const QString &name, const QByteArray &text)
{
    TIniFile f(CompetitionFilePath(ProgramDir(), name, 20));
    f.SetBytes(text);
    QVERIFY(WriteChecksum(f, QStringLiteral("Spiele")));
    QVERIFY(f.Save());
}

QByteArray fileBytes(const QString &name)
{
    QFile f(CompetitionFilePath(ProgramDir(), name, 20));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// What slot p's queue holds, oldest first.
std::vector<TTelegram> queued(int p)
{
    std::vector<TTelegram> out;
    const TPlayerRecord &r = Form1->Players[p];
    for (int i = r.QueueRead; i != r.QueueWrite; i = (i + 1) % kTelegramRingSize)
        out.push_back(r.SendQueue[i]);
    return out;
}

// One line per telegram: part, text, x, y, a, b.
QString describe(const std::vector<TTelegram> &tels)
{
    QStringList out;
    for (const TTelegram &t : tels)
        out << QStringLiteral("%1 %2:%3 x%4 y%5 a%6 b%7")
                   .arg(t.Aktion)
                   .arg(t.z)
                   .arg(t.Text())
                   .arg(t.x)
                   .arg(t.y)
                   .arg(t.a)
                   .arg(t.b);
    return out.join(QStringLiteral("\n"));
}

QStringList treeLines()
{
    QStringList out;
    for (int i = 0; i < FormCha->Tree->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *top = FormCha->Tree->topLevelItem(i);
        out << top->text(0);
        for (int c = 0; c < top->childCount(); ++c)
            out << QStringLiteral("  ") + top->child(c)->text(0);
    }
    return out;
}

QStringList resultRows()
{
    QStringList out;
    for (int i = 0; i < FormCha->GamerView->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *row = FormCha->GamerView->topLevelItem(i);
        QStringList cells;
        for (int c = 0; c < 6; ++c)
            cells << row->text(c);
        out << cells.join(QLatin1Char('|'));
    }
    return out;
}

TTelegram header(const QString &name, int rule, int mode)
{
    return TournamentTelegram(TournamentHeaderPart(name, rule, mode));
}

TTelegram stagePart(int position, const QString &options)
{
    TTournamentPart p;
    p.Part = tpStage;
    p.x = position;
    p.Text = options;
    return TournamentTelegram(p);
}

// A host's tournament of two stages as its client gets it: what the host
// queues for the client at its login (the lists, then the lock) and when it
// is back at its window after each stage, and the results list the host's
// window shows then.
struct THostedStages {
    std::vector<TTelegram> Login;
    std::vector<TTelegram> After[3]; // after stage 1 and stage 2
    QStringList Rows[3];
};

// This machine as "Gast", the client of the host "Wirt", a bare peer on
// loopback that the test speaks for.
struct TClientOfPeer {
    const QString Me = QStringLiteral("127.0.0.1");
    const QString HostAddress = QStringLiteral("127.0.0.2");
    TLoopbackPeer Peer;
    THostScript Script{Peer, Me};
    const QString Puzzle = PuzzleWithOpenCells(3);

    // The peer bound and this machine's listener on, as a machine that
    // is about to join a tournament.
    bool Connect(int port)
    {
        if (!Peer.Bind(HostAddress, port))
            return false;
        Form1->SinglePlayerGame = false;
        FormStart->GameKind = 5;
        if (!NETZ->SetListenerActive(true))
            return false;
        NETZ->SendTimer->start(1);
        return true;
    }

    // The login and the host's answer to it: both players' entries and the
    // client's number.
    void Login()
    {
        NETZ->SendLogin(HostAddress);
        Script.Entry(1, QStringLiteral("Wirt~127.0.0.2"));
        Script.Entry(2, QStringLiteral("Gast~127.0.0.1"));
        Script.PlayerId(2);
        QVERIFY(runUntil([] { return NETZ->MyPlayerNo == 2; }, 3000));
    }

    // The host starts a game and counts it down once the client is ready.
    void StartStage()
    {
        const size_t readyBefore = Peer.OfKind(akReady).size();
        Script.StartRound(Puzzle);
        QVERIFY(runUntil([&] { return Peer.OfKind(akReady).size() == readyBefore + 1; }, 3000));
        QCOMPARE(Peer.OfKind(akReady).back().Gid, 2);
        for (int a : {3, 2, 1})
            Script.Phase(a);
        Script.Phase(0, 0, QString(), 3);
        QVERIFY(runUntil([] { return Form1->GameRunning; }, 3000));
    }

    // The end of the game, from the host.
    void EndStage()
    {
        TTelegram end;
        end.Aktion = akEndOfGame;
        Script.Send(end);
        QVERIFY(runUntil([] { return FormSpielEnde->isVisible(); }, 3000));
    }
};
} // namespace

class TstTournament : public TGameTest {
    Q_OBJECT

    std::unique_ptr<TIniFile> ini;
    int nextTan = 0;

    // Checks the end rule's button (1..3), or none.
    void checkEndRule(int rule)
    {
        TRadioButton *rules[] = {FormCha->RB1, FormCha->RB2, FormCha->RB3};
        for (TRadioButton *rb : rules) {
            const QSignalBlocker block(rb);
            rb->setAutoExclusive(false);
            rb->setChecked(false);
            rb->setAutoExclusive(true);
        }
        if (rule >= 1 && rule <= 3) {
            const QSignalBlocker block(rules[rule - 1]);
            rules[rule - 1]->setChecked(true);
        }
    }

    // This machine hosts a tournament "Herbst" with end rule 2 for the
    // players, the file's text open in WorkIni.
    void hostTournament(int players, const QByteArray &file, int rule = 2)
    {
        BecomeHostOf(players, false);
        Form1->HostsNetworkGame = true;
        {
            const QSignalBlocker block(FormCha->ChallengeName);
            FormCha->ChallengeName->setText(QStringLiteral("Herbst"));
        }
        checkEndRule(rule);
        ini = std::make_unique<TIniFile>();
        ini->SetBytes(file);
        NETZ->WorkIni = ini.get();
    }

    // The host "Wirt" plays "Pokal", a new tournament, with its client
    // "Gast" through two stages, by the host's own routines: each stage
    // made from the options, registered at its start and its results
    // written at its end.
    THostedStages hostTwoStages()
    {
        THostedStages out;
        writeTournamentFile(QStringLiteral("Pokal"), fileHead() + "[Etappe]\r\n");
        hostTournamentFile(QStringLiteral("Pokal"), {QStringLiteral("Wirt"), QStringLiteral("Gast")});
        FormCha->Refresh();
        NETZ->SendTournamentData(kTournamentLock);
        out.Login = queued(2);
        NETZ->PurgeQueue(2);
        const char *options[] = {"SS014", "SD233"};
        for (int s = 1; s <= 2; ++s) {
            FormCha->hide();
            FormCha->StageNr = StageNumberText(s);
            if (!FormCha->StoreStageGameCode(QString::fromLatin1(kPuzzle) + QString::fromLatin1(options[s - 1])) ||
                !FormCha->RegisterStageAll())
                return out;
            Form1->ElapsedTenths = 600 * s;
            for (int p = 1; p <= 2; ++p) {
                Form1->Players[p].Points = 20 * p + s;
                Form1->Players[p].Errors = s - 1;
                Form1->Players[p].SampleCount = 0;
            }
            FormCha->SaveStageResultsAll();
            FormCha->show();
            out.After[s] = queued(2);
            out.Rows[s] = resultRows();
            NETZ->PurgeQueue(2);
        }
        FormCha->hide();
        FormCha->ChallengeName->clear();
        FormCha->ClearTournamentLists();
        for (int p = 1; p <= 8; ++p)
            NETZ->PurgeQueue(p);
        Form1->ResetPlayers();
        NETZ->MyPlayerNo = 0;
        Form1->HostsNetworkGame = false;
        return out;
    }

    // This machine is the named client (slot 2) of the host in slot 1.
    void joinAs(const QString &host, const QString &me)
    {
        Form1->ResetPlayers();
        FillSlot(1, host, kHostAddress);
        FillSlot(2, me, QStringLiteral("127.0.0.2"));
        NETZ->MyPlayerNo = 2;
        NETZ->WorkIni = nullptr;
        Form1->HostsNetworkGame = false;
        FormStart->PlayMode = 20;
        NETZ->ForgetAllPeers();
    }

    // This machine is player 2 of the game the host at 127.0.0.1 runs.
    void becomeClient() { joinAs(QStringLiteral("Server"), QStringLiteral("Anna")); }

    // A telegram from the host's queue for slot 2, through the receiver.
    void deliver(TTelegram t, const QString &from = kHostAddress)
    {
        t.ACK = 1;
        t.Loop = 2;
        t.TAN = nextTan;
        nextTan = (nextTan + 1) % kTelegramRingSize;
        NETZ->UDPEmpfUDPRead(EncodeTelegram(t), from);
    }

    void deliverAll(const std::vector<TTelegram> &tels)
    {
        for (const TTelegram &t : tels)
            deliver(t);
    }

    // The host's dump for slot 2 of a file, as the client then gets it.
    std::vector<TTelegram> dumpFor(const QByteArray &file)
    {
        hostTournament(2, file);
        NETZ->SendTournamentData(kTournamentRebuild);
        NETZ->WorkIni = nullptr;
        const std::vector<TTelegram> tels = queued(2);
        NETZ->PurgeQueue(2);
        return tels;
    }

    void expectLocked(int rule)
    {
        QVERIFY(FormCha->isVisible());
        QVERIFY(FormCha->TournamentActive);
        QCOMPARE(FormCha->windowTitle(), QString("Turnier"));
        TRadioButton *rules[] = {FormCha->RB1, FormCha->RB2, FormCha->RB3};
        for (int i = 0; i < 3; ++i) {
            QVERIFY(!rules[i]->isEnabled());
            QCOMPARE(rules[i]->isChecked(), rule == i + 1);
        }
        QVERIFY(!FormCha->bt_neues->isEnabled());
        QVERIFY(!FormCha->bt_clear->isEnabled());
        QVERIFY(!FormCha->Passwort->isEnabled());
        QVERIFY(!FormCha->bt_start->isEnabled());
        QVERIFY(!FormCha->ChallengeName->isEnabled());
        QCOMPARE(FormCha->bt_start->text(), QString("Server startet Spiel"));
    }

    // This machine hosts the tournament file of that name for the named
    // players (slot 1 first), with its window shown as after creating or
    // picking it.
    void hostTournamentFile(const QString &file, const QStringList &names)
    {
        BecomeHostOf(int(names.size()), false);
        for (int p = 1; p <= names.size(); ++p)
            Form1->Players[p].Name = names[p - 1];
        Form1->HostsNetworkGame = true;
        FormOpt->NickName->setText(names.first());
        checkEndRule(2);
        FormCha->SetupTournament();
        FormCha->Passwort->setText(QString());
        FormCha->ChallengeName->setText(file);
        for (int p = 2; p <= 8; ++p)
            NETZ->PurgeQueue(p);
    }

private slots:
    void initTestCase() { SetUpGameTest(); }
    void cleanupTestCase() { TearDownGameTest(); }
    void init()
    {
        ResetGameTest();
        FormCha->close();
        FormCha->ClearTournamentLists();
        FormCha->ChallengeName->setEnabled(true);
        FormCha->Passwort->setEnabled(true);
        for (TRadioButton *rb : {FormCha->RB1, FormCha->RB2, FormCha->RB3})
            rb->setEnabled(true);
        nextTan = 0;
    }
    void cleanup()
    {
        NETZ->WorkIni = nullptr;
        ini.reset();
        FormCha->close();
        FormCha->ChallengeName->setEnabled(true);
        NETZ->MyPlayerNo = 0;
        for (const QString &f : QDir(ProgramDir()).entryList({QStringLiteral("*.turnier")}))
            QFile::remove(ProgramDir() + QLatin1Char('/') + f);
        CheckGameTest();
    }

    // ---- host side ------------------------------------------------------------------

    void dumpInOrder_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no stages") << noStages()
                                   << "123 1:Herbst x2 y-1 a0 b0\n"
                                      "123 3:Anna x0 y0 a0 b0\n"
                                      "123 3:Bert x0 y0 a0 b0";
        QTest::newRow("no stages, nobody registered") << fileHead() + "[Etappe]\r\n"
                                                      << "123 1:Herbst x2 y-1 a0 b0";
        QTest::newRow("several stages") << severalStages()
                                        << "123 1:Herbst x2 y-1 a0 b0\n"
                                           "123 2:SS014 x1 y0 a0 b0\n"
                                           "123 2:ID123 x2 y0 a0 b0\n"
                                           "123 2:SS124 x3 y0 a0 b0\n"
                                           "123 3:Anna x12 y3456 a2 b1\n"
                                           "123 3:Bert x18 y6000 a2 b2\n"
                                           "123 4:Anna x12 y3456 a1 b1\n"
                                           "123 4:Bert x8 y4000 a1 b2\n"
                                           "123 4:Bert x10 y2000 a2 b0\n"
                                           "123 4:Anna x0 y0 a2 b0";
        QTest::newRow("stage 2 of 4") << fourStages()
                                      << "123 1:Herbst x2 y-1 a0 b0\n"
                                         "123 2:SS014 x1 y0 a0 b0\n"
                                         "123 2:SD233 x2 y0 a0 b0\n"
                                         "123 2:SS124 x3 y0 a0 b0\n"
                                         "123 2:ZS302 x4 y0 a0 b0\n"
                                         "123 3:Carl x5 y300 a2 b1\n"
                                         "123 4:Dora x1 y10 a1 b1\n"
                                         "123 4:Carl x5 y300 a2 b1\n"
                                         "123 4:Carl x7 y700 a3 b7";
    }
    void dumpInOrder()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, expected);
        hostTournament(3, file);
        NETZ->SendTournamentData(kTournamentRebuild);
        // The same dump for every client, nothing for the host itself.
        QCOMPARE(describe(queued(2)), expected);
        QCOMPARE(describe(queued(3)), expected);
        QCOMPARE(NETZ->QueuedCount(1), 0);
        for (const TTelegram &t : queued(2)) {
            QCOMPARE(int(t.Data), 1);
            QCOMPARE(t.Loop, 2);
            QCOMPARE(t.ACK, 1);
        }
        QVERIFY(hasTraceLine("Sende Turnierdaten"));
        QVERIFY(hasTraceLine("Turnierdaten: Name= Herbst"));
    }

    void sendTraces()
    {
        hostTournament(2, severalStages());
        NETZ->SendTournamentData(kTournamentRebuild);
        const QStringList expected{"Sende Turnierdaten",
                                   "Turnierdaten: Name= Herbst",
                                   "Turnierdaten: Spiele= SS014",
                                   "Turnierdaten: Spiele= ID123",
                                   "Turnierdaten: Spiele= SS124",
                                   "Turnierdaten: GamerMax= Anna pkt(12) time(3456) error(1)",
                                   "Turnierdaten: GamerMax= Bert pkt(18) time(6000) error(2)",
                                   "Turnierdaten: Gamer= Anna pkt(12) time(3456) error(1)",
                                   "Turnierdaten: Gamer= Bert pkt(8) time(4000) error(2)",
                                   "Turnierdaten: Gamer= Bert pkt(10) time(2000) error(0)",
                                   "Turnierdaten: Gamer= Anna pkt(0) time(0) error(0)"};
        QStringList got;
        for (const QString &line : Trace->LogBox->Items())
            if (line.contains(QStringLiteral("Turnierdaten")))
                got << line;
        QCOMPARE(got.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i)
            QVERIFY2(got[i].endsWith(expected[i]), qPrintable(got[i]));
    }

    void headerOnlyModes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("rule");
        QTest::newRow("lock, rule 1") << 0 << 1;
        QTest::newRow("close, rule 3") << 99 << 3;
        QTest::newRow("lock, no rule checked") << 0 << 0;
    }
    void headerOnlyModes()
    {
        QFETCH(int, mode);
        QFETCH(int, rule);
        hostTournament(2, severalStages(), rule);
        NETZ->SendTournamentData(mode);
        QCOMPARE(describe(queued(2)), QStringLiteral("123 1:Herbst x%1 y%2 a0 b0").arg(rule).arg(mode));
    }

    void inactiveSlotsGetNothing()
    {
        hostTournament(4, noStages());
        Form1->Players[3].Active = false;
        NETZ->SendTournamentData(kTournamentLock);
        QCOMPARE(NETZ->QueuedCount(2), 1);
        QCOMPARE(NETZ->QueuedCount(3), 0);
        QCOMPARE(NETZ->QueuedCount(4), 1);
    }

    void noClientNothingSent()
    {
        hostTournament(1, severalStages());
        NETZ->SendTournamentData(kTournamentRebuild);
        for (int p = 1; p <= 8; ++p)
            QCOMPARE(NETZ->QueuedCount(p), 0);
    }

    void aDumpGoesWholeOrNotAtAll()
    {
        hostTournament(3, severalStages());
        // Slot 2's peer is behind: 495 telegrams wait, 10 would not fit.
        for (int i = 0; i < 495; ++i) {
            NETZ->Tel = TTelegram();
            NETZ->Tel.Aktion = akChat;
            NETZ->Tel.Gid = 1;
            NETZ->QueueToPlayer(2);
        }
        QCOMPARE(NETZ->QueuedCount(2), 495);
        NETZ->SendTournamentData(kTournamentRebuild);
        QCOMPARE(NETZ->QueuedCount(2), 495);
        QCOMPARE(NETZ->QueuedCount(3), 10);
        QVERIFY(
            hasTraceLine("Turnierdaten an Spieler2(127.0.0.2) nicht gesendet: Warteschlange hat Platz für 5 von 10"));
        // Exactly the room it needs is enough.
        NETZ->PurgeQueue(2);
        NETZ->PurgeQueue(3);
        for (int i = 0; i < 490; ++i) {
            NETZ->Tel = TTelegram();
            NETZ->Tel.Aktion = akChat;
            NETZ->Tel.Gid = 1;
            NETZ->QueueToPlayer(2);
        }
        NETZ->SendTournamentData(kTournamentRebuild);
        QCOMPARE(NETZ->QueuedCount(2), 500);
        QCOMPARE(queued(2).back().z, 4);
        NETZ->PurgeQueue(2);
    }

    void aClientSendsNothing()
    {
        hostTournament(3, severalStages());
        NETZ->MyPlayerNo = 2;
        Form1->HostsNetworkGame = false;
        NETZ->SendTournamentData(kTournamentRebuild);
        NETZ->SendTournamentData(kTournamentClose);
        for (int p = 1; p <= 8; ++p)
            QCOMPARE(NETZ->QueuedCount(p), 0);
        QVERIFY(hasTraceLine("Turnierdaten nicht gesendet: nur der Server sendet sie"));
    }

    void aLoginSendsTheLockingHeader()
    {
        hostTournament(2, noStages());
        NETZ->WorkIni = nullptr;
        FormCha->show();
        NETZ->PurgeQueue(2);
        NETZ->Tel = TTelegram();
        NETZ->Tel.Aktion = akLogin;
        NETZ->Tel.ACK = -1;
        NETZ->Tel.Data = 1;
        NETZ->Tel.SetText(QStringLiteral("Carl"));
        NETZ->UDPEmpfUDPRead(EncodeTelegram(NETZ->Tel), QStringLiteral("127.0.0.3"));
        const std::vector<TTelegram> got = queued(3);
        QVERIFY(!got.empty());
        const TTelegram &last = got.back();
        QCOMPARE(last.Aktion, int(akTournament));
        QCOMPARE(last.z, 1);
        QCOMPARE(last.y, 0);
        QCOMPARE(last.Text(), QString("Herbst"));
        // The player id came first: the client knows it is a client by then.
        bool idBefore = false;
        for (const TTelegram &t : got)
            if (t.Aktion == akPlayerId && t.Gid == 3)
                idBefore = true;
        QVERIFY(idBefore);
        for (int p = 2; p <= 3; ++p)
            NETZ->PurgeQueue(p);
    }

    // ---- client side ----------------------------------------------------------------

    void clientWindowAfterADump_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("tree");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("no stages") << noStages() << QStringList{"Herbst"}
                                   << QStringList{"Anna|0||0|00:00.0|0", "Bert|0||0|00:00.0|0"};
        QTest::newRow("several stages")
            << severalStages()
            << QStringList{"Herbst", "  0001: Sudoku; Vorgabe: Leicht; Bewertung: Leicht; Merker: 4",
                           "  0002: Mojidoku A-I; Vorgabe: Mittel; Bewertung: Mittel; Merker: 3",
                           "  0003: Sudoku; Vorgabe: Mittel; Bewertung: Mittel; Merker: 4"}
            << QStringList{"Anna|2||12|05:45.6|1",   "Bert|2||18|10:00.0|2",    "Anna||0001|12|05:45.6|1",
                           "Bert||0001|8|06:40.0|2", "Bert||0002|10|03:20.0|0", "Anna||0002|0|00:00.0|0"};
        QTest::newRow("stage 2 of 4") << fourStages()
                                      << QStringList{"Herbst",
                                                     "  0001: Sudoku; Vorgabe: Leicht; Bewertung: Leicht; Merker: 4",
                                                     "  0002: Sudoku; Vorgabe: Schwer; Bewertung: Schwer; Merker: 3",
                                                     "  0003: Sudoku; Vorgabe: Mittel; Bewertung: Mittel; Merker: 4",
                                                     "  0004: Mojidoku A-Z; Vorgabe: Profi; Bewertung: ; Merker: 2"}
                                      << QStringList{"Carl|2||5|00:30.0|1", "Dora||0001|1|00:01.0|1",
                                                     "Carl||0002|5|00:30.0|1", "Carl||0003|7|01:10.0|7"};
    }
    void clientWindowAfterADump()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, tree);
        QFETCH(QStringList, rows);
        const std::vector<TTelegram> tels = dumpFor(file);
        becomeClient();
        deliverAll(tels);
        QCOMPARE(treeLines(), tree);
        QCOMPARE(resultRows(), rows);
        // The stages' arrival opens the tree.
        QCOMPARE(FormCha->Tree->topLevelItem(0)->isExpanded(), tree.size() > 1);
        expectLocked(2);
        QVERIFY(hasTraceLine("TURNIER: Listen löschen"));
        QVERIFY(hasTraceLine("TURNIER: Herbst"));
    }

    // The colours reach the client's screen as they reach the host's.
    void clientRowColoursArePainted()
    {
        const std::vector<TTelegram> tels = dumpFor(severalStages());
        becomeClient();
        deliverAll(tels);
        FormCha->Nickname->setText(QStringLiteral("Bert"));
        FormCha->GamerView->clearSelection();
        FormCha->GamerView->setCurrentItem(nullptr);
        // Anna, Bert totals; stage 1 Anna, Bert; stage 2 Bert, Anna.
        const int32_t expected[] = {TFormCha::kTotalColour,    TFormCha::kOwnTotalColour, TFormCha::kOddStageColour,
                                    TFormCha::kOwnStageColour, TFormCha::kOwnStageColour, TFormCha::kEvenStageColour};
        QCOMPARE(FormCha->GamerView->topLevelItemCount(), 6);
        for (int r = 0; r < 6; ++r) {
            const int blankColumn = r < 2 ? 2 : 1;
            QCOMPARE(ColorToBGR(PaintedCellColour(FormCha->GamerView, r, blankColumn)), expected[r]);
        }
    }

    // "Turnier noch gestartet." on a client while the others play on: a game
    // that ends under the question takes it back, and its answer is not taken.
    void aGameThatEndsUnderTheQuestionTakesItBack_data()
    {
        QTest::addColumn<int>("kind"); // what ends the game meanwhile
        QTest::newRow("the end of the game") << int(akEndOfGame);
        QTest::newRow("the host ended it") << int(akGameEnded);
    }
    void aGameThatEndsUnderTheQuestionTakesItBack()
    {
        QFETCH(int, kind);
        const std::vector<TTelegram> tels = dumpFor(severalStages());
        becomeClient();
        deliverAll(tels);
        FormCha->hide();
        Form1->SinglePlayerGame = false;
        Form1->GameRunning = true;
        Form1->BTC_Spiel_Ende->setEnabled(true);
        fx->Dialogs.Withdrawn.clear();
        fx->Dialogs.Answers.push_back(mrYes);
        fx->Dialogs.WhileAsked = [&] {
            TTelegram t;
            t.Aktion = kind;
            t.Gid = -1;
            deliver(t);
            // The clock's next tick, for what ends a game without a result.
            Form1->MsgTimerTimer();
        };
        Form1->BTC_Spiel_EndeClick();
        QCOMPARE(fx->Dialogs.Withdrawn, QStringList{"Turnier noch gestartet.\r\nSpiel abbrechen?"});
        QVERIFY(!GameQuestionOpen());
        QVERIFY(!Form1->GameRunning);
        // Nothing of "Ja": still in the host's game, the tournament window not shown.
        QCOMPARE(NETZ->MyPlayerNo, 2);
        QCOMPARE(Form1->Players[1].Address, kHostAddress);
        QVERIFY(FormCha->TournamentActive);
        QVERIFY(!FormCha->isVisible());
        QCOMPARE(FormSpielEnde->isVisible(), kind == akEndOfGame);
        fx->Dialogs.Shown.clear();
    }

    // After a stage the client's results list holds every row of the host's,
    // with the same figures: also the rows of players the stage only
    // registered ("0*0*0"), and also when the players online no longer fit
    // the file, where the host cannot start the next stage.
    void theClientShowsEveryRowTheHostShows_data()
    {
        QTest::addColumn<QStringList>("registered"); // at the stage's start, the host first
        QTest::addColumn<int>("leftBeforeTheEnd");   // of them, not in the table at the end
        QTest::addColumn<bool>("played");            // false: the host abandoned the stage
        QTest::addColumn<QString>("caption");        // of the host's start button afterwards
        QTest::newRow("abandoned, two players")
            << QStringList{"Anna", "Bert"} << 0 << false << QStringLiteral("Turnier erweitern\r\nSpiel starten.");
        QTest::newRow("played, two players")
            << QStringList{"Anna", "Bert"} << 0 << true << QStringLiteral("Turnier erweitern\r\nSpiel starten.");
        QTest::newRow("played, a third one gone") << QStringList{"Anna", "Bert", "Carl"} << 1 << true
                                                  << QStringLiteral("Zuwenig Spieler\r\nfür dieses Turnier.");
        QTest::newRow("abandoned, a third one gone") << QStringList{"Anna", "Bert", "Carl"} << 1 << false
                                                     << QStringLiteral("Zuwenig Spieler\r\nfür dieses Turnier.");
    }
    void theClientShowsEveryRowTheHostShows()
    {
        QFETCH(QStringList, registered);
        QFETCH(int, leftBeforeTheEnd);
        QFETCH(bool, played);
        QFETCH(QString, caption);
        // The host, with stage 1 in the file, starts it for the players online.
        writeTournamentFile(QStringLiteral("Herbst"), fileHead() + stage(1, "SS014") + "[Etappe]\r\n");
        hostTournamentFile(QStringLiteral("Herbst"), registered);
        FormCha->StageNr = QStringLiteral("0001");
        QVERIFY(FormCha->RegisterStageAll());
        FormCha->hide();
        // Who leaves before the end leaves the table with the round.
        for (int i = 0; i < leftBeforeTheEnd; ++i)
            Form1->Players[registered.size() - i] = TPlayerRecord();
        if (played) {
            Form1->ElapsedTenths = 900;
            for (int p = 1; p <= registered.size() - leftBeforeTheEnd; ++p) {
                Form1->Players[p].Points = 10 * p;
                Form1->Players[p].Errors = p - 1;
            }
            QVERIFY(FormCha->SaveStageResultsAll());
        }
        // Back at its window after the game, the host shows the file.
        FormCha->show();
        QCOMPARE(FormCha->bt_start->text(), caption);
        // A total and a stage row for everybody registered, "0*0*0" where
        // the stage went without a result.
        QStringList totals, stageRows;
        for (int p = 1; p <= registered.size(); ++p) {
            const bool result = played && p <= registered.size() - leftBeforeTheEnd;
            const QString figures =
                result ? QStringLiteral("%1|01:30.0|%2").arg(10 * p).arg(p - 1) : QStringLiteral("0|00:00.0|0");
            totals << registered[p - 1] + QStringLiteral("|1||") + figures;
            stageRows << registered[p - 1] + QStringLiteral("||0001|") + figures;
        }
        const QStringList hostRows = resultRows();
        QCOMPARE(hostRows, totals + stageRows);
        const std::vector<TTelegram> tels = queued(2);
        NETZ->PurgeQueue(2);
        NETZ->PurgeQueue(3);

        // Bert's window, last filled from a file of his own.
        FormCha->hide();
        FormCha->ChallengeName->clear();
        joinAs(registered.first(), QStringLiteral("Bert"));
        FormCha->ClearTournamentLists();
        FormCha->AddGamerRow(QStringLiteral("Eigener"), QStringLiteral("1"), QString(), 5, 50, 0);
        deliverAll(tels);
        QCOMPARE(resultRows(), hostRows);
        expectLocked(2);
    }

    // A lock alone leaves the host's lists as they stand, but never what the
    // window listed before the host's tournament reached it.
    void aLockEmptiesListsThatAreNotTheHosts()
    {
        becomeClient();
        FormCha->ClearTournamentLists();
        new QTreeWidgetItem(FormCha->Tree, QStringList{QStringLiteral("Eigenes")});
        FormCha->AddGamerRow(QStringLiteral("Eigener"), QStringLiteral("1"), QString(), 5, 50, 0);
        deliver(header(QStringLiteral("Herbst"), 2, kTournamentLock));
        expectLocked(2);
        QCOMPARE(treeLines(), QStringList());
        QCOMPARE(resultRows(), QStringList());
    }

    // A client plays the host's tournament of two stages and leaves the
    // end-of-game dialog and its tournament window by each of their ways:
    // it stays in the host's game and tournament, its window shows what the
    // host sent, locked, and never the client's own files, and the host's
    // second stage finds it ready. "Turnier beenden" leaves the host's game;
    // the next login brings the host's tournament back.
    void aClientStaysInTheHostsTournamentWhicheverWayItLeaves_data()
    {
        QTest::addColumn<QString>("results"); // how it leaves the end-of-game dialog
        QTest::addColumn<QString>("window");  // and then its tournament window
        QTest::newRow("Schliessen, menu") << "close"
                                          << "menu";
        QTest::newRow("Spielfeld anzeigen, menu") << "board"
                                                  << "menu";
        QTest::newRow("title bar, the window's buttons") << "titlebar"
                                                         << "buttons";
        QTest::newRow("Schliessen, the window's title bar") << "close"
                                                            << "titlebar";
        QTest::newRow("Spielfeld anzeigen, the window's title bar") << "board"
                                                                    << "titlebar";
        QTest::newRow("Schliessen, Turnier beenden") << "close"
                                                     << "end";
    }
    void aClientStaysInTheHostsTournamentWhicheverWayItLeaves()
    {
        QFETCH(QString, results);
        QFETCH(QString, window);
        const THostedStages host = hostTwoStages();
        QCOMPARE(host.Rows[2].size(), 6);
        QFile::remove(CompetitionFilePath(ProgramDir(), QStringLiteral("Pokal"), 20));

        // The client's own tournament, which it looked at before it joined.
        writeTournamentFile(QStringLiteral("Eigen"),
                            fileHead() + stage(1, "SS014") + "[Etappe]\r\nGast=0001\r\n[0001]\r\nGast=9*99*9\r\n");
        const QByteArray own = fileBytes(QStringLiteral("Eigen"));
        FormOpt->NickName->setText(QStringLiteral("Gast"));
        FormStart->PlayMode = 20;
        FormCha->SetupTournament();
        FormCha->ChallengeName->setText(QStringLiteral("Eigen"));
        QCOMPARE(resultRows().size(), 2);
        FormCha->close();

        TClientOfPeer client;
        QVERIFY(client.Connect(port));
        auto playStage = [&] {
            client.StartStage();
            if (QTest::currentTestFailed())
                return;
            // The start closed the window; the client is still in the tournament.
            QVERIFY(!FormCha->isVisible());
            QVERIFY(FormCha->TournamentActive);
            client.EndStage();
        };
        // The window shows the host's tournament as the host last sent it.
        auto expectHosts = [&](const QStringList &rows, const QStringList &tree) {
            QVERIFY(FormCha->isVisible());
            QCOMPARE(NETZ->MyPlayerNo, 2);
            QCOMPARE(Form1->Players[1].Address, client.HostAddress);
            expectLocked(2);
            QCOMPARE(resultRows(), rows);
            QCOMPARE(treeLines(), tree);
        };
        const QStringList tree0{"Pokal"};
        const QStringList tree1{"Pokal", "  0001: Sudoku; Vorgabe: Leicht; Bewertung: Leicht; Merker: 4"};
        const QStringList tree2 = tree1 + QStringList{"  0002: Sudoku; Vorgabe: Schwer; Bewertung: Schwer; Merker: 3"};

        client.Login();
        client.Script.Send(host.Login);
        QVERIFY(runUntil([&] { return FormCha->isVisible() && FormCha->bt_start->text() == "Server startet Spiel"; },
                         3000));
        QVERIFY(runUntil([&] { return NETZ->QueuedCount(1) == 0; }, 3000));
        expectHosts({}, tree0);
        if (QTest::currentTestFailed())
            return;

        playStage();
        if (QTest::currentTestFailed())
            return;
        if (results == QLatin1String("close")) {
            FormSpielEnde->BTC_closeClick();
        } else if (results == QLatin1String("board")) {
            FormSpielEnde->BTC_BrettClick();
        } else {
            QCloseEvent close;
            QCoreApplication::sendEvent(FormSpielEnde->windowHandle(), &close);
        }
        QVERIFY(!FormSpielEnde->isVisible());
        QCOMPARE(FormCha->isVisible(), results != QLatin1String("board"));
        // The host back at its window after the stage.
        client.Script.Send(host.After[1]);
        QVERIFY(runUntil([&] { return resultRows() == host.Rows[1]; }, 3000));
        expectHosts(host.Rows[1], tree1);

        if (window == QLatin1String("menu")) {
            Form1->BTC_MenueClick();
        } else if (window == QLatin1String("titlebar")) {
            QCloseEvent close;
            QCoreApplication::sendEvent(FormCha->windowHandle(), &close);
            QVERIFY(!FormCha->isVisible());
            QVERIFY(FormCha->TournamentActive);
            // Waiting for the host, with the menu as the way back.
            QCOMPARE(Form1->Panel_Menue->height(), 44);
            QCOMPARE(FormMeld->MeldTXT->text(), QString("Auf weitere Spieler warten,\n\rSpieler 1 startet das Spiel."));
            Form1->BTC_MenueClick();
        } else if (window == QLatin1String("buttons")) {
            FormCha->start_CClick();
            FormCha->neu_CClick();
            FormCha->ClearClick();
            QVERIFY(!QFile::exists(CompetitionFilePath(ProgramDir(), QStringLiteral("Pokal"), 20)));
        } else {
            FormCha->close_cClick();
            QVERIFY(!FormCha->isVisible());
            QVERIFY(!FormCha->TournamentActive);
            QCOMPARE(NETZ->MyPlayerNo, 0);
            QVERIFY(FormStart->isVisible());
            QVERIFY(runUntil([&] { return !client.Peer.OfKind(akLogoff).empty(); }, 3000));
            // Back in: the host's login handling sends its lists and the lock.
            client.Login();
            client.Script.Send(host.After[1]);
            client.Script.Send(header(QStringLiteral("Pokal"), 2, kTournamentLock));
            QVERIFY(runUntil([&] { return NETZ->QueuedCount(1) == 0 && FormCha->isVisible(); }, 3000));
            QVERIFY(FormCha->TournamentActive);
        }
        expectHosts(host.Rows[1], tree1);

        playStage();
        if (QTest::currentTestFailed())
            return;
        FormSpielEnde->BTC_closeClick();
        expectHosts(host.Rows[1], tree1);
        client.Script.Send(host.After[2]);
        QVERIFY(runUntil([&] { return resultRows() == host.Rows[2]; }, 3000));
        expectHosts(host.Rows[2], tree2);
        QCOMPARE(fileBytes(QStringLiteral("Eigen")), own);

        NETZ->SendTimer->stop();
        Form1->ResetPlayers();
        NETZ->MyPlayerNo = 0;
        Form1->Panel_Menue->resize(Form1->Panel_Menue->width(), 0);
    }

    // "Turnier noch gestartet." in the program's own message box on a client
    // while the host ends the stage under it: the box closes unanswered and
    // nothing of "Ja" happens, the results of the stage lead on to one
    // set-up window, the tournament's, and each end-of-game dialog is as high
    // as the rows it fills.
    void theHostsEndTakesTheRealQuestionBack_data()
    {
        QTest::addColumn<int>("kind"); // what the host sends under the question
        QTest::newRow("the end of the game") << int(akEndOfGame);
        QTest::newRow("the host ended it") << int(akGameEnded);
    }
    void theHostsEndTakesTheRealQuestionBack()
    {
        QFETCH(int, kind);
        const THostedStages host = hostTwoStages();
        QFile::remove(CompetitionFilePath(ProgramDir(), QStringLiteral("Pokal"), 20));
        FormOpt->NickName->setText(QStringLiteral("Gast"));
        FormStart->PlayMode = 20;
        TClientOfPeer client;
        QVERIFY(client.Connect(port));
        client.Login();
        client.Script.Send(host.Login);
        QVERIFY(runUntil([] { return FormCha->isVisible(); }, 3000));

        client.StartStage();
        if (QTest::currentTestFailed())
            return;
        QString asked;
        int waited = 0;
        // The clock runs as in the program: a stop it sees takes the question back.
        Form1->MsgTimer->start();
        AskWithRealMessageBoxes(
            &fx->Dialogs,
            [&](QMessageBox &box) {
                if (asked.isEmpty()) {
                    asked = box.text();
                    TTelegram t;
                    t.Aktion = kind;
                    t.Gid = -1;
                    client.Script.Send(t);
                } else if (++waited > 300) {
                    // Not taken back: answered, or the test would wait for ever.
                    ClickBoxButton(box, QStringLiteral("&Ja"));
                }
            },
            [] { Form1->BTC_Spiel_EndeClick(); });
        Form1->MsgTimer->stop();
        QCOMPARE(asked, QString("Turnier noch gestartet.\r\nSpiel abbrechen?"));
        QVERIFY(waited <= 300);
        QVERIFY(!GameQuestionOpen());
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(!Form1->GameRunning);
        // Still the host's client, in its tournament; no logoff went out.
        QCOMPARE(NETZ->MyPlayerNo, 2);
        QCOMPARE(Form1->Players[1].Address, client.HostAddress);
        QVERIFY(FormCha->TournamentActive);
        QVERIFY(client.Peer.OfKind(akLogoff).empty());
        if (kind == akEndOfGame) {
            QVERIFY(FormSpielEnde->isVisible());
            QCOMPARE(EndTableNames(), QStringList({"Wirt", "Gast"}));
            QVERIFY(EndDialogFits(2));
            FormSpielEnde->BTC_closeClick();
            QCOMPARE(ShownSetUpWindows(), QStringList{"FormCha"});
        } else {
            QVERIFY(!FormSpielEnde->isVisible());
            QCOMPARE(ShownSetUpWindows(), QStringList{"FormStart"});
        }
        client.Script.Send(host.After[1]);
        QVERIFY(runUntil([&] { return resultRows() == host.Rows[1]; }, 3000));

        // The next stage ends as every stage does.
        client.StartStage();
        if (QTest::currentTestFailed())
            return;
        client.EndStage();
        QCOMPARE(EndTableNames(), QStringList({"Wirt", "Gast"}));
        QVERIFY(EndDialogFits(2));
        FormSpielEnde->BTC_closeClick();
        QCOMPARE(ShownSetUpWindows(), QStringList{"FormCha"});

        NETZ->SendTimer->stop();
        Form1->ResetPlayers();
        NETZ->MyPlayerNo = 0;
        Form1->Panel_Menue->resize(Form1->Panel_Menue->width(), 0);
    }

    void clientTraces()
    {
        const std::vector<TTelegram> tels = dumpFor(severalStages());
        becomeClient();
        Trace->LogBox->clear();
        deliverAll(tels);
        QVERIFY(hasTraceLine("TURNIER: 0003: Sudoku; Vorgabe: Mittel; Bewertung: Mittel; Merker: 4"));
        QVERIFY(hasTraceLine("TURNIER: Anna AnzSpiele:2"));
        QVERIFY(hasTraceLine("TURNIER: Bert Etappe:0002"));
    }

    void lockModeKeepsTheLists()
    {
        const std::vector<TTelegram> tels = dumpFor(severalStages());
        becomeClient();
        deliverAll(tels);
        const QStringList tree = treeLines();
        const QStringList rows = resultRows();
        // A login at the host: the header again, to lock, with another end rule.
        deliver(header(QStringLiteral("Herbst"), 3, kTournamentLock));
        QCOMPARE(treeLines(), tree);
        QCOMPARE(resultRows(), rows);
        expectLocked(3);
        // And once the window was hidden in between, too.
        FormCha->hide();
        deliver(header(QStringLiteral("Herbst"), 1, kTournamentLock));
        QCOMPARE(treeLines(), tree);
        QCOMPARE(resultRows(), rows);
        expectLocked(1);
        // Stage lines still go under the tournament's node.
        deliver(stagePart(4, QStringLiteral("SS001")));
        QCOMPARE(treeLines().size(), tree.size() + 1);
    }

    void rebuildReplacesTheLists()
    {
        std::vector<TTelegram> tels = dumpFor(severalStages());
        becomeClient();
        deliverAll(tels);
        tels = dumpFor(noStages());
        becomeClient();
        deliverAll(tels);
        QCOMPARE(treeLines(), QStringList{"Herbst"});
        QCOMPARE(resultRows().size(), 2);
    }

    void closeModeClosesTheWindow()
    {
        const std::vector<TTelegram> tels = dumpFor(severalStages());
        becomeClient();
        deliverAll(tels);
        QVERIFY(FormCha->isVisible());
        deliver(header(QStringLiteral("Herbst"), 2, kTournamentClose));
        QVERIFY(!FormCha->isVisible());
        QVERIFY(!FormCha->TournamentActive);
        QVERIFY(!FormCha->ChallengeActive);
        // Closing a window that is already closed ends the mode as well.
        FormCha->TournamentActive = true;
        deliver(header(QStringLiteral("Herbst"), 2, kTournamentClose));
        QVERIFY(!FormCha->isVisible());
        QVERIFY(!FormCha->TournamentActive);
    }

    void aClientCannotClearItsOwnFile()
    {
        // The client holds a tournament file of the same name, its password
        // empty as the one typed: its own window would let it clear it.
        writeTournamentFile(QStringLiteral("Herbst"), severalStages());
        const QByteArray before = fileBytes(QStringLiteral("Herbst"));
        becomeClient();
        FormCha->Passwort->setText(QString());
        {
            const QSignalBlocker block(FormCha->ChallengeName);
            FormCha->ChallengeName->setText(QStringLiteral("Herbst"));
        }
        deliver(header(QStringLiteral("Herbst"), 2, kTournamentRebuild));
        expectLocked(2);
        fx->Dialogs.DefaultAnswer = mrYes;
        FormCha->ClearClick();
        fx->Dialogs.DefaultAnswer = mrOk;
        QCOMPARE(fileBytes(QStringLiteral("Herbst")), before);
        // A lock after the window was hidden keeps it locked as well.
        FormCha->hide();
        deliver(header(QStringLiteral("Herbst"), 2, kTournamentLock));
        expectLocked(2);
    }

    void endRuleValues_data()
    {
        QTest::addColumn<int>("x");
        QTest::newRow("1") << 1;
        QTest::newRow("2") << 2;
        QTest::newRow("3") << 3;
        QTest::newRow("none") << 0;
        QTest::newRow("out of range") << 7;
    }
    void endRuleValues()
    {
        QFETCH(int, x);
        becomeClient();
        deliver(header(QStringLiteral("Herbst"), x, kTournamentRebuild));
        expectLocked(x);
    }

    void aLongNameArrivesCut()
    {
        const QString name = QStringLiteral("Das große Herbstturnier der Vereine 2026");
        QVERIFY(name.size() > 35);
        hostTournament(2, noStages());
        {
            const QSignalBlocker block(FormCha->ChallengeName);
            FormCha->ChallengeName->setText(name);
        }
        NETZ->SendTournamentData(kTournamentRebuild);
        const std::vector<TTelegram> tels = queued(2);
        NETZ->PurgeQueue(2);
        QCOMPARE(tels.front().Text(), name.left(35));
        becomeClient();
        deliverAll(tels);
        QCOMPARE(treeLines(), QStringList{name.left(35)});
    }

    void aStageWithoutATournamentIsIgnored()
    {
        becomeClient();
        deliver(stagePart(1, QStringLiteral("SS124")));
        QCOMPARE(FormCha->Tree->topLevelItemCount(), 0);
        QVERIFY(hasTraceLine("TURNIER: Etappe 1 ohne Turnier ignoriert"));
        // A lock alone makes no node either.
        deliver(header(QStringLiteral("Herbst"), 2, kTournamentLock));
        FormCha->ClearTournamentLists();
        deliver(stagePart(1, QStringLiteral("SS124")));
        QCOMPARE(FormCha->Tree->topLevelItemCount(), 0);
        // Nor does a node that the window has dropped since.
        deliver(header(QStringLiteral("Herbst"), 2, kTournamentRebuild));
        FormCha->ClearTournamentLists();
        deliver(stagePart(1, QStringLiteral("SS124")));
        QCOMPARE(FormCha->Tree->topLevelItemCount(), 0);
    }

    void aShortStageCodeIsIgnored_data()
    {
        QTest::addColumn<QString>("code");
        QTest::newRow("empty") << QString();
        QTest::newRow("one") << QStringLiteral("S");
        QTest::newRow("four") << QStringLiteral("SS12");
    }
    void aShortStageCodeIsIgnored()
    {
        QFETCH(QString, code);
        becomeClient();
        deliver(header(QStringLiteral("Herbst"), 2, kTournamentRebuild));
        deliver(stagePart(1, code));
        QCOMPARE(treeLines(), QStringList{"Herbst"});
        QVERIFY(hasTraceLine("TURNIER: Etappe 1 ignoriert, Optionen zu kurz"));
    }

    void theHostIgnoresTournamentData()
    {
        hostTournament(2, noStages());
        NETZ->WorkIni = nullptr;
        FormCha->TournamentActive = false;
        // From its own address (slot 1), but never queued by the host: the
        // sender check drops it before the handler sees it.
        deliver(header(QStringLiteral("Fremd"), 1, kTournamentRebuild));
        QVERIFY(!FormCha->isVisible());
        QVERIFY(!FormCha->TournamentActive);
        QCOMPARE(FormCha->Tree->topLevelItemCount(), 0);
        QVERIFY(hasTraceLine("falscher Absender"));
    }

    void onlyTheHostsAddressIsHeard()
    {
        becomeClient();
        FillSlot(3, QStringLiteral("Bert"), QStringLiteral("127.0.0.3"));
        deliver(header(QStringLiteral("Fremd"), 1, kTournamentRebuild), QStringLiteral("127.0.0.3"));
        QVERIFY(!FormCha->isVisible());
        QVERIFY(!FormCha->TournamentActive);
    }

    // ---- over loopback --------------------------------------------------------------

    void loginAndLogoffRefreshTheHostWindow()
    {
        // This machine, Anna, hosts "Herbst" for Anna and Bert; Bert is the
        // peer at 127.0.0.2 and not logged in yet.
        writeTournamentFile(QStringLiteral("Herbst"), noStages());
        TLoopbackPeer peer;
        QVERIFY(peer.Bind(QStringLiteral("127.0.0.2"), port));
        Form1->ResetPlayers();
        FormOpt->NickName->setText(QStringLiteral("Anna"));
        NETZ->BecomeHost();
        Form1->HostsNetworkGame = true;
        FormStart->PlayMode = 20;
        checkEndRule(2);
        FormCha->SetupTournament();
        FormCha->Passwort->setText(QString());
        FormCha->ChallengeName->setText(QStringLiteral("Herbst"));
        QCOMPARE(FormCha->bt_start->text(), QString("Zuwenig Spieler\r\nfür dieses Turnier."));
        QVERIFY(NETZ->SetListenerActive(true));
        NETZ->SendTimer->start(1);

        // Bert logs in: the window's checks pass with him, so the whole
        // tournament goes out before the header that locks his window.
        peer.SendDatagram(akLogin, kHostAddress, QStringLiteral("Bert"));
        QVERIFY(runUntil(
            [&] {
                const std::vector<TTelegram> got = peer.OfKind(akTournament);
                return !got.empty() && got.back().z == 1 && got.back().y == kTournamentLock &&
                       NETZ->QueuedCount(2) == 0;
            },
            5000));
        QCOMPARE(describe(peer.OfKind(akTournament)), QString("123 1:Herbst x2 y-1 a0 b0\n"
                                                              "123 3:Anna x0 y0 a0 b0\n"
                                                              "123 3:Bert x0 y0 a0 b0\n"
                                                              "123 1:Herbst x2 y0 a0 b0"));
        QCOMPARE(FormCha->bt_start->text(), QString("Turnier erweitern\r\nSpiel starten."));
        QVERIFY(FormCha->bt_start->isEnabled());

        // Bert leaves between games: the window says at once that the file's
        // players are no longer all there.
        peer.SendDatagram(akLogoff, kHostAddress, QString(), 2);
        QVERIFY(runUntil([] { return Form1->Players[2].Address.isEmpty(); }, 5000));
        QCOMPARE(FormCha->bt_start->text(), QString("Zuwenig Spieler\r\nfür dieses Turnier."));
        QVERIFY(!FormCha->bt_start->isEnabled());
        NETZ->SendTimer->stop();
    }

    void aLogoffLeavesAHiddenWindowAlone()
    {
        writeTournamentFile(QStringLiteral("Herbst"), noStages());
        hostTournament(3, noStages());
        NETZ->WorkIni = nullptr;
        FormCha->SetupTournament();
        FormCha->Passwort->setText(QString());
        FormCha->ChallengeName->setText(QStringLiteral("Herbst"));
        FormCha->hide();
        // A caption the state rule would replace.
        FormCha->bt_start->SetCaption(QStringLiteral("unverändert"));
        NETZ->Tel = TTelegram();
        NETZ->Tel.Aktion = akLogoff;
        NETZ->Tel.ACK = -1;
        NETZ->Tel.Gid = 3;
        NETZ->UDPEmpfUDPRead(EncodeTelegram(NETZ->Tel), QStringLiteral("127.0.0.3"));
        QVERIFY(Form1->Players[3].Address.isEmpty());
        QCOMPARE(FormCha->bt_start->text(), QString("unverändert"));
        for (int p = 2; p <= 3; ++p)
            NETZ->PurgeQueue(p);
    }

    void aDumpThroughSockets()
    {
        TLoopbackPeer peer;
        QVERIFY(peer.Bind(QStringLiteral("127.0.0.2"), port));
        hostTournament(2, fourStages());
        QVERIFY(NETZ->SetListenerActive(true));
        NETZ->SendTimer->start(1);
        NETZ->SendTournamentData(kTournamentRebuild);
        NETZ->WorkIni = nullptr;
        QVERIFY(runUntil([&] { return peer.OfKind(akTournament).size() == 9; }, 5000));
        std::vector<TTelegram> got;
        for (const TLoopbackPeer::TReceived &r : peer.ReceivedOfKind(akTournament)) {
            QCOMPARE(r.Size, kTelegramFullSize);
            got.push_back(r.Tel);
        }
        QCOMPARE(describe(got), QString("123 1:Herbst x2 y-1 a0 b0\n"
                                        "123 2:SS014 x1 y0 a0 b0\n"
                                        "123 2:SD233 x2 y0 a0 b0\n"
                                        "123 2:SS124 x3 y0 a0 b0\n"
                                        "123 2:ZS302 x4 y0 a0 b0\n"
                                        "123 3:Carl x5 y300 a2 b1\n"
                                        "123 4:Dora x1 y10 a1 b1\n"
                                        "123 4:Carl x5 y300 a2 b1\n"
                                        "123 4:Carl x7 y700 a3 b7"));
        QVERIFY(runUntil([] { return NETZ->QueuedCount(2) == 0; }, 5000));
    }
};

QTEST_MAIN(TstTournament)
#include "tst_tournament.moc"
