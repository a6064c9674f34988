// Floods and bounds: the receiver reads a bounded batch per turn of the
// event loop and loses nothing that waits; searches are answered only a few
// times a second per source; the chat list and the trace log keep only
// their newest lines. Every datagram stays on 127.0.0.0/8.
#include "common/Fixture.h"
#include "board/ULog.h"
#include "board/UQuadrivo.h"
#include "net/UNETZ.h"
#include "net/UNETZ_RateLimit.h"
#include "screens/UStart.h"
#include "settings/USonstiges.h"
#include "settings/USystem.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QUdpSocket>
#include <QtTest>
#include <arpa/inet.h>
#include <atomic>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {
constexpr int64_t kSecond = 1000000000LL;


QByteArray searchDatagram()
{
    TTelegram t;
    t.Aktion = akSearch;
    t.Gid = -1;
    t.ACK = -1;
    return EncodeTelegram(t);
}

QByteArray chatDatagram(const QString &text)
{
    TTelegram t;
    t.Aktion = akChat;
    t.Gid = -1;
    t.ACK = -1;
    t.Data = 1;
    t.SetText(text);
    return EncodeTelegram(t);
}

// Runs once per turn of the event loop, by queueing itself again, and notes
// the most that was counted within one turn.
class TTurnCounter : public QObject {
public:
    explicit TTurnCounter(const int &counted) : m_counted(counted) {}
    int Turns = 0;
    int MostInOneTurn = 0;
    void Start()
    {
        m_running = true;
        m_last = m_counted;
        QMetaObject::invokeMethod(this, &TTurnCounter::turn, Qt::QueuedConnection);
    }
    void Stop() { m_running = false; }

private:
    const int &m_counted;
    int m_last = 0;
    bool m_running = false;
    void turn()
    {
        if (!m_running)
            return;
        ++Turns;
        MostInOneTurn = std::max(MostInOneTurn, m_counted - m_last);
        m_last = m_counted;
        QMetaObject::invokeMethod(this, &TTurnCounter::turn, Qt::QueuedConnection);
    }
};

} // namespace

class TstFloods : public QObject {
    Q_OBJECT
    std::unique_ptr<TTestFixture> fx;
    struct TSent {
        TTelegram Tel;
        QString Host;
    };
    std::vector<TSent> sent;

    int offersTo(const QString &host) const
    {
        int n = 0;
        for (const TSent &s : sent)
            if (s.Tel.Aktion == akGameOffer && s.Host == host)
                ++n;
        return n;
    }

private slots:
    void initTestCase()
    {
        fx = std::make_unique<TTestFixture>();
        RegWriteInteger("Disclaimer", 1);
        fx->CreateWindows();
        fx->RunStartupTo(160);
        FormStart->hide();
    }
    void cleanupTestCase() { fx.reset(); }

    void init()
    {
        NETZ->SetListenerActive(false);
        NETZ->BindAddress = QStringLiteral("127.0.0.1");
        NETZ->Port = FreeLoopbackPort();
        QVERIFY(NETZ->Port > 0);
        sent.clear();
        NETZ->OutgoingFilter = [this](const QByteArray &bytes, const QString &host) {
            TSent s;
            DecodeTelegram(bytes, s.Tel);
            s.Host = host;
            sent.push_back(s);
            return false;
        };
        Form1->HostsNetworkGame = false;
        NETZ->SearchAnswers.Clear();
    }
    void cleanup()
    {
        NETZ->SetListenerActive(false);
        NETZ->OutgoingFilter = nullptr;
        Form1->HostsNetworkGame = false;
        TTestFixture::Now += 10 * kSecond;
    }

    // ---- the receiver ----------------------------------------------------------------

    void burstIsReadInBatchesAndCompletely()
    {
        QVERIFY(NETZ->SetListenerActive(true));
        NETZ->UDPEmpf->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 1 << 20);
        int handled = 0;
        const auto conn = connect(NETZ, &TNETZ::TelegramDispatched, this, [&](const TTelegram &tel, const QString &) {
            if (tel.Aktion == akChat)
                ++handled;
        });
        // A call that queues itself again runs once per turn of the event
        // loop: what is handled between two of its runs was handled in one turn.
        TTurnCounter turns(handled);

        // Everything waits in the socket before the loop runs again.
        const int count = 150;
        QUdpSocket flood;
        QVERIFY(flood.bind(QHostAddress(QStringLiteral("127.0.0.2")), 0));
        for (int i = 0; i < count; ++i)
            QCOMPARE(flood.writeDatagram(chatDatagram(QStringLiteral("Flut %1").arg(i)),
                                         QHostAddress(QStringLiteral("127.0.0.1")), quint16(NETZ->Port)),
                     qint64(49 + 35));
        turns.Start();
        QVERIFY2(runUntil([&] { return handled == count; }, 10000), qPrintable(QString::number(handled)));
        turns.Stop();
        disconnect(conn);

        QVERIFY2(turns.MostInOneTurn <= 2 * TNETZ::kReadBatch, qPrintable(QString::number(turns.MostInOneTurn)));
        QVERIFY(turns.Turns >= count / (2 * TNETZ::kReadBatch));
        QCOMPARE(Form1->ChatBox->Items().last(), QString("127.0.0.2:Flut %1").arg(count - 1));
    }

    void timersKeepTickingDuringAFlood()
    {
        QVERIFY(NETZ->SetListenerActive(true));
        int handled = 0;
        int ticksWhileFlooded = 0;
        std::atomic<bool> flooding{true};
        const auto conn = connect(NETZ, &TNETZ::TelegramDispatched, this, [&](const TTelegram &tel, const QString &) {
            if (tel.Aktion == akSearch)
                ++handled;
        });
        TTurnCounter turns(handled);
        QTimer clock;
        clock.setTimerType(Qt::PreciseTimer);
        clock.setInterval(1);
        connect(&clock, &QTimer::timeout, this, [&] {
            if (flooding && handled > 0)
                ++ticksWhileFlooded;
        });

        // Another thread sends as fast as it can: searches, which a machine
        // that hosts nothing reads and ignores.
        const QByteArray bytes = searchDatagram();
        const int port = NETZ->Port;
        const int total = 20000;
        std::thread sender([&] {
            const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
            sockaddr_in from{};
            from.sin_family = AF_INET;
            from.sin_addr.s_addr = htonl(0x7F000003); // 127.0.0.3
            ::bind(fd, reinterpret_cast<sockaddr *>(&from), sizeof from);
            sockaddr_in to{};
            to.sin_family = AF_INET;
            to.sin_port = htons(uint16_t(port));
            to.sin_addr.s_addr = htonl(0x7F000001); // 127.0.0.1
            for (int i = 0; i < total; ++i)
                ::sendto(fd, bytes.constData(), size_t(bytes.size()), 0, reinterpret_cast<sockaddr *>(&to), sizeof to);
            ::close(fd);
            flooding = false;
        });
        turns.Start();
        clock.start();
        const bool over = runUntil([&] { return !flooding.load(); }, 60000);
        sender.join();
        // Whatever the kernel kept is read to the end.
        runUntil([&] { return !NETZ->UDPEmpf->hasPendingDatagrams(); }, 10000);
        turns.Stop();
        clock.stop();
        disconnect(conn);

        QVERIFY(over);
        QVERIFY(handled > 0);
        QVERIFY2(turns.MostInOneTurn <= 2 * TNETZ::kReadBatch, qPrintable(QString::number(turns.MostInOneTurn)));
        QVERIFY(!NETZ->UDPEmpf->hasPendingDatagrams());
        qInfo("handled %d of %d in %d turns, %d clock ticks while flooded", handled, total, turns.Turns, ticksWhileFlooded);
        if (handled > 4 * TNETZ::kReadBatch)
            QVERIFY(ticksWhileFlooded > 0);
    }

    // ---- answers to searches ------------------------------------------------------------

    void rateLimiterCountsPerSourceAndWindow()
    {
        TRateLimiter r(3, kSecond, 4);
        struct TStep {
            const char *Source;
            int64_t At;
            bool Allowed;
        };
        const TStep steps[] = {
            {"a", 0, true},
            {"a", 1, true},
            {"a", 2, true},
            {"a", 3, false},             // the fourth in one second
            {"b", 4, true},              // its own count
            {"a", kSecond - 1, false},   // still the same second
            {"a", kSecond, true},        // a new window
            {"a", kSecond + 1, true},
            {"a", kSecond + 2, true},
            {"a", kSecond + 3, false},
            {"a", kSecond / 2, true},    // the clock went back: a new window
            {"c", kSecond + 10, true},
            {"d", kSecond + 10, true},
            {"e", kSecond + 10, true},   // b has expired and makes room
            {"f", kSecond + 10, false},  // full of sources within their second
            {"f", 3 * kSecond, true},    // all expired: room again
        };
        for (const TStep &s : steps) {
            QVERIFY2(r.Allow(QString::fromLatin1(s.Source), s.At) == s.Allowed,
                     qPrintable(QString("%1 at %2").arg(s.Source).arg(s.At)));
            QVERIFY(r.Size() <= 4);
        }
    }

    void searchesAreAnsweredAFewTimesASecondPerSource()
    {
        Form1->HostsNetworkGame = true;
        QVERIFY(NETZ->SetListenerActive(true));
        const QString a = QStringLiteral("127.0.0.7");
        const QString b = QStringLiteral("127.0.0.8");
        for (int i = 0; i < 10; ++i)
            NETZ->UDPEmpfUDPRead(searchDatagram(), a);
        QCOMPARE(offersTo(a), TNETZ::kSearchAnswersPerSecond);
        // Another source has its own allowance.
        NETZ->UDPEmpfUDPRead(searchDatagram(), b);
        QCOMPARE(offersTo(b), 1);
        // A second later the first is answered again.
        TTestFixture::Now += kSecond;
        for (int i = 0; i < 10; ++i)
            NETZ->UDPEmpfUDPRead(searchDatagram(), a);
        QCOMPARE(offersTo(a), 2 * TNETZ::kSearchAnswersPerSecond);
        // The offer itself is as before.
        const TSent &offer = sent.back();
        QCOMPARE(offer.Tel.Aktion, int32_t(akGameOffer));
        QCOMPARE(offer.Tel.ACK, -1);
        QCOMPARE(offer.Tel.Loop, 1);
    }

    void forgedSourcesGetNoMoreThanTheTableHolds()
    {
        Form1->HostsNetworkGame = true;
        QVERIFY(NETZ->SetListenerActive(true));
        TTestFixture::Now += 10 * kSecond;
        // Far more sources within one second than the table remembers.
        const int sources = TNETZ::kSearchAnswerSources + 300;
        for (int i = 0; i < sources; ++i)
            NETZ->UDPEmpfUDPRead(searchDatagram(), QStringLiteral("127.1.%1.%2").arg(i / 250).arg(i % 250 + 1));
        int offers = 0;
        for (const TSent &s : sent)
            offers += s.Tel.Aktion == akGameOffer;
        QCOMPARE(offers, TNETZ::kSearchAnswerSources);
        // Once their second is over, new searchers are answered again.
        TTestFixture::Now += kSecond;
        sent.clear();
        NETZ->UDPEmpfUDPRead(searchDatagram(), QStringLiteral("127.0.0.9"));
        QCOMPARE(offersTo(QStringLiteral("127.0.0.9")), 1);
    }

    // ---- the chat list and the trace log ------------------------------------------------

    void chatKeepsTheNewestLines()
    {
        Form1->ChatBox->clear();
        QVERIFY(NETZ->SetListenerActive(true));
        const int lines = TForm1::kChatLines * 3 + 7;
        for (int i = 0; i < lines; ++i)
            NETZ->UDPEmpfUDPRead(chatDatagram(QStringLiteral("Zeile %1").arg(i)), QStringLiteral("127.0.0.4"));
        const QStringList items = Form1->ChatBox->Items();
        QCOMPARE(items.size(), TForm1::kChatLines);
        for (int k = 0; k < items.size(); ++k)
            QCOMPARE(items.at(k), QString("127.0.0.4:Zeile %1").arg(lines - TForm1::kChatLines + k));
        QCOMPARE(Form1->ChatBox->currentRow(), TForm1::kChatLines - 1);
        QVERIFY(Form1->ChatBox->uniformItemSizes());
    }

    void listBoxLimit_data()
    {
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("added");
        QTest::addColumn<int>("kept");
        QTest::newRow("no limit") << 0 << 50 << 50;
        QTest::newRow("below") << 10 << 9 << 9;
        QTest::newRow("at") << 10 << 10 << 10;
        QTest::newRow("beyond") << 10 << 25 << 10;
        QTest::newRow("one") << 1 << 3 << 1;
    }
    void listBoxLimit()
    {
        QFETCH(int, limit);
        QFETCH(int, added);
        QFETCH(int, kept);
        TListBox box;
        box.MaxItems = limit;
        QStringList all;
        for (int i = 0; i < added; ++i) {
            all << QString::number(i);
            box.Add(all.last());
        }
        QCOMPARE(box.Items(), all.mid(added - kept));
        // A whole list set at once keeps its newest items too.
        box.SetItems(all);
        QCOMPARE(box.Items(), all.mid(added - kept));
    }

    void traceKeepsTheNewestLines()
    {
        Trace->LogBox->clear();
        const int lines = TTrace::kMaxLogLines + 1234;
        for (int i = 0; i < lines; ++i)
            Trace->TraceLine(QStringLiteral("Zeile %1").arg(i));
        QCOMPARE(Trace->LogBox->Count(), TTrace::kMaxLogLines);
        QVERIFY(Trace->LogBox->Item(0).endsWith(QString("µs Zeile %1").arg(lines - TTrace::kMaxLogLines)));
        QVERIFY(Trace->LogBox->Item(TTrace::kMaxLogLines - 1).endsWith(QString("µs Zeile %1").arg(lines - 1)));
        // Appended text is bounded the same way, newest last.
        Trace->TraceAppend(QStringLiteral("eins\r\nzwei\r\n"));
        QCOMPARE(Trace->LogBox->Count(), TTrace::kMaxLogLines);
        QCOMPARE(Trace->LogBox->Item(TTrace::kMaxLogLines - 1), QString("zwei"));
        QCOMPARE(Trace->LogBox->Item(TTrace::kMaxLogLines - 2), QString("eins"));
        Trace->LogBox->clear();
    }
};

QTEST_MAIN(TstFloods)
#include "tst_floods.moc"
