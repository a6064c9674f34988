// The sound cues through a real sound server: a PulseAudio server of the
// test's own with a null sink whose monitor is recorded. Every play of every
// cue must be in the recording whole, the last as the first, and cues must
// come back after the server went away and returned.
#include "PrivateSound.h"
#include "board/Usounds.h"
#include "common/Fixture.h"
#include "screens/UOptionen.h"

#include <QDir>
#include <QElapsedTimer>
#include <QtTest>
#include <memory>

namespace {
using TCue = void (*)();

struct TCueFile {
    const char *Name;
    TCue Play;
    double Seconds; // as long as the game's own file
    double Hz;
};
const TCueFile kCues[] = {
    {"pkt.wav", PlayPointSound, 0.18, 880},          {"falsch.wav", PlayWrongSound, 0.35, 220},
    {"gameover.wav", PlayGameOverSound, 0.81, 330},  {"gamestart.wav", PlayGameStartSound, 0.6, 440},
    {"newgamer.wav", PlayNewPlayerSound, 0.45, 660},
};

QString describe(const QList<QPair<double, double>> &stretches)
{
    QStringList parts;
    for (const auto &[start, length] : stretches)
        parts << QString::asprintf("%.2f+%.3f", start, length);
    return parts.join(' ');
}
} // namespace

Q_DECLARE_METATYPE(TCue)

class TstSoundServer : public QObject {
    Q_OBJECT
    std::unique_ptr<TPrivateSound> sound;
    std::unique_ptr<TTestFixture> fx;

    // Plays a cue n times, each after the one before has ended, and returns
    // what the recording heard.
    QList<QPair<double, double>> playAndRecord(TCue play, double seconds, int n, double gap)
    {
        if (!sound->StartRecording())
            return {};
        QTest::qWait(150);
        for (int i = 0; i < n; ++i) {
            play();
            QTest::qWait(int((seconds + gap) * 1000));
        }
        QTest::qWait(300);
        return LoudStretches(sound->StopRecording(), TPrivateSound::kRate);
    }

private slots:
    void initTestCase()
    {
        // Before the first sound of this process: clients read where the
        // server is once.
        sound = std::make_unique<TPrivateSound>(QDir::tempPath());
        if (!sound->Ready())
            QSKIP(qPrintable(sound->Why()));
        qputenv("PULSE_SERVER", sound->Server().toUtf8());
        qputenv("PULSE_RUNTIME_PATH", QFile::encodeName(sound->Dir() + "/run/pulse"));
        fx = std::make_unique<TTestFixture>();
        fx->CreateWindows();
        FormOpt->SetSound(1);
        // The cues are looked up in the current folder: tones of the cues' lengths.
        QDir::setCurrent(fx->Dir());
        for (const TCueFile &c : kCues)
            QVERIFY(WriteToneWav(fx->Dir() + '/' + c.Name, c.Seconds, c.Hz));
    }
    void cleanupTestCase()
    {
        if (fx)
            fx->DestroyWindows();
        fx.reset();
        sound.reset();
    }

    void everyPlayIsHeardWhole_data()
    {
        QTest::addColumn<TCue>("play");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<int>("plays");
        QTest::addColumn<double>("gap");
        for (const TCueFile &c : kCues)
            QTest::newRow(c.Name) << c.Play << c.Seconds << 3 << 0.3;
        // The gaps leave room for a stream that starts late on a busy
        // machine, so that two plays never run into one stretch.
        QTest::newRow("pkt.wav, twenty-five times in a row") << TCue(PlayPointSound) << 0.18 << 25 << 0.3;
    }
    void everyPlayIsHeardWhole()
    {
        QFETCH(TCue, play);
        QFETCH(double, seconds);
        QFETCH(int, plays);
        QFETCH(double, gap);
        const auto heard = playAndRecord(play, seconds, plays, gap);
        QVERIFY2(heard.size() == plays, qPrintable(describe(heard)));
        for (const auto &[start, length] : heard)
            QVERIFY2(length > seconds - 0.04 && length < seconds + 0.04, qPrintable(describe(heard)));
    }

    void cuesComeBackWithTheServer()
    {
        const auto before = playAndRecord(PlayPointSound, 0.18, 2, 0.25);
        QCOMPARE(before.size(), 2);
        sound->Stop();
        // Played while there is no server: nothing, and no harm.
        PlayPointSound();
        PlayWrongSound();
        QTest::qWait(500);
        QVERIFY(sound->Start());
        // The cues find the server again by themselves, within a few seconds.
        QElapsedTimer waited;
        waited.start();
        while (playAndRecord(PlayPointSound, 0.18, 1, 0.25).isEmpty() && waited.elapsed() < 10000) {
        }
        const auto heard = playAndRecord(PlayWrongSound, 0.35, 3, 0.25);
        QVERIFY2(heard.size() == 3, qPrintable(describe(heard)));
        for (const auto &[start, length] : heard)
            QVERIFY2(length > 0.31 && length < 0.39, qPrintable(describe(heard)));
    }
};

QTEST_MAIN(TstSoundServer)
#include "tst_soundserver.moc"
