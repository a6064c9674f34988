// What wakes a program that nobody uses: every timer event the process gets
// for a second, on the start screen and as the host of a running LAN game in
// which nothing is sent. Only the timers the program needs may tick, each at
// most at its own pace; a timer left running for nothing (a lobby at 1 ms, a
// notice clock with no notice) fails here. Counting events, not CPU time,
// keeps the test sound on a loaded machine: there a timer ticks less often,
// never more.
#include "board/UMeldung.h"
#include "board/UQuadrivo.h"
#include "board/UQuadrivo_Builtin.h"
#include "net/GameSupport.h"
#include "net/UNETZ.h"
#include "net/UWebForm.h"
#include "screens/UStart.h"

#include <QElapsedTimer>
#include <QHash>
#include <QTimerEvent>
#include <QtTest>

namespace {
// The send timer's cadence while no queue holds a telegram. The transport
// relaxes it to 50 ms instead of stopping it; this allowance goes to 0 when
// it stops while there is nothing to send.
constexpr int kSendIdleIntervalMs = 50;

// Every timer event of the process, by the object that got it.
class TTimerEventCounter : public QObject {
public:
    QHash<QObject *, int> Counts;
    int Total = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Timer) {
            ++Counts[watched];
            ++Total;
        }
        return false;
    }
};

struct TAllowed {
    QObject *Timer;
    const char *Name;
    int IntervalMs;
};
} // namespace

class TstIdle : public QObject {
    Q_OBJECT
    std::unique_ptr<TTestFixture> fx;

    // Runs the event loop for about a second and checks what ticked: the
    // allowed timers at most once per interval, and two more (one for the
    // window's edges, one for a tick due before it that came late), every
    // other object at most once in the whole second.
    void countASecond(const std::vector<TAllowed> &allowed)
    {
        // Whatever the last step left to run goes first.
        QTest::qWait(200);
        TTimerEventCounter counter;
        QEventLoop loop;
        QTimer end;
        end.setTimerType(Qt::PreciseTimer);
        end.setSingleShot(true);
        connect(&end, &QTimer::timeout, &loop, &QEventLoop::quit);
        QElapsedTimer clock;
        qApp->installEventFilter(&counter);
        clock.start();
        end.start(1000);
        loop.exec();
        const qint64 ms = clock.elapsed();
        qApp->removeEventFilter(&counter);
        counter.Total -= counter.Counts.take(&end);

        int bound = 0;
        QStringList seen;
        for (const TAllowed &a : allowed) {
            const int most = int(ms / a.IntervalMs) + 2;
            const int got = counter.Counts.take(a.Timer);
            seen << QStringLiteral("%1 %2/%3").arg(QLatin1String(a.Name)).arg(got).arg(most);
            QVERIFY2(got <= most, qPrintable(seen.join(QStringLiteral(", "))));
            bound += most;
        }
        for (auto it = counter.Counts.begin(); it != counter.Counts.end(); ++it) {
            QObject *o = it.key();
            const QString name =
                QStringLiteral("%1 \"%2\" of %3")
                    .arg(QLatin1String(o->metaObject()->className()), o->objectName(),
                         o->parent() ? QLatin1String(o->parent()->metaObject()->className()) : QLatin1String("-"));
            seen << QStringLiteral("%1 %2").arg(name).arg(it.value());
            QVERIFY2(it.value() <= 1, qPrintable(QStringLiteral("woken for nothing: ") + seen.join(", ")));
        }
        QVERIFY2(counter.Total <= bound + int(counter.Counts.size()), qPrintable(seen.join(QStringLiteral(", "))));
        qInfo("%lld ms: %d timer events (%s)", ms, counter.Total, qPrintable(seen.join(QStringLiteral(", "))));
    }

    // The timers the Parts keep on from start-up to the end, and the send
    // timer at its idle cadence.
    std::vector<TAllowed> alwaysOn() const
    {
        return {{Form1->MsgTimer, "clock", 100},
                {Form1->Blinken, "blink", 300},
                {Form1->WartezeitTimer, "penalty countdown", 1000},
                {NETZ->SendTimer, "send timer", kSendIdleIntervalMs}};
    }

private slots:
    void initTestCase()
    {
        fx = std::make_unique<TTestFixture>();
        fx->StartProgram();
        Form1->show();
        QVERIFY(FormStart->isVisible());
    }
    void cleanupTestCase()
    {
        if (NETZ)
            NETZ->SetListenerActive(false);
        fx.reset();
    }

    void startScreen()
    {
        QVERIFY(!WEBForm->Lobby->isActive());
        QVERIFY(!FormMeld->Timer1->isActive());
        countASecond(alwaysOn());
    }

    void hostOfARunningLanGame()
    {
        const int port = freePortOnBoth();
        QVERIFY(port > 0);
        NETZ->Port = port;
        TLoopbackPeer peer;
        QVERIFY(peer.Bind(QStringLiteral("127.0.0.2"), port));
        BecomeHostOf(2, false);
        FormStart->hide();
        Form1->LoadPuzzleString(QString::fromLatin1(kBuiltinPuzzles[1][0]));
        QVERIFY(NETZ->SetListenerActive(true));
        OpenHostedGame(2);
        QTRY_VERIFY_WITH_TIMEOUT(Form1->GameRunning, 20000);
        // The start's telegrams are acknowledged: nothing waits to be sent.
        QTRY_COMPARE_WITH_TIMEOUT(NETZ->QueuedCount(2), 0, 10000);
        QVERIFY(!NETZ->StartTimer->isActive());
        countASecond(alwaysOn());
        NETZ->SetListenerActive(false);
    }
};

QTEST_MAIN(TstIdle)
#include "tst_idle.moc"
