// Reading the sound files: RIFF WAVE bytes, byte for byte, to the samples.
#include "files/Usounds_Wave.h"

#include <QtTest>

Q_DECLARE_METATYPE(TWaveSound::TSampleKind)

namespace {
// "RIFF" size "WAVE", then the chunks; sizes little-endian. Spaces are for
// the eye only.
QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text));
}

const char *const kFmt16Mono8k = "666d7420 10000000 0100 0100 401f0000 803e0000 0200 1000";
} // namespace

class TstWave : public QObject {
    Q_OBJECT
private slots:
    void parses_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("channels");
        QTest::addColumn<TWaveSound::TSampleKind>("kind");
        QTest::addColumn<QByteArray>("samples");
        QTest::addColumn<qint64>("durationMs");
        QTest::newRow("16-bit mono") << hex("52494646 28000000 57415645"
                                            "666d7420 10000000 0100 0100 401f0000 803e0000 0200 1000"
                                            "64617461 04000000 0001 ff7f")
                                     << 8000 << 1 << TWaveSound::Int16 << hex("0001 ff7f") << qint64(0);
        QTest::newRow("8-bit stereo at 22050") << hex("52494646 2a000000 57415645"
                                                      "666d7420 10000000 0100 0200 22560000 44ac0000 0200 0800"
                                                      "64617461 06000000 80 80 00 ff 7f 81")
                                               << 22050 << 2 << TWaveSound::UInt8 << hex("8080 00ff 7f81") << qint64(0);
        QTest::newRow("32-bit float") << hex("52494646 2c000000 57415645"
                                             "666d7420 10000000 0300 0100 44ac0000 10b10200 0400 2000"
                                             "64617461 08000000 0000803f 000080bf")
                                      << 44100 << 1 << TWaveSound::Float32 << hex("0000803f 000080bf") << qint64(0);
        QTest::newRow("32-bit integer, extensible")
            << hex("52494646 40000000 57415645"
                   "666d7420 28000000 feff 0100 401f0000 007d0000 0400 2000 1600 2000 04000000"
                   "0100 0000 0000 1000 8000 00aa 0038 9b71"
                   "64617461 04000000 01020304")
            << 8000 << 1 << TWaveSound::Int32 << hex("01020304") << qint64(0);
        QTest::newRow("a chunk of odd length before the data is padded")
            << hex("52494646 34000000 57415645"
                   "666d7420 10000000 0100 0100 401f0000 803e0000 0200 1000"
                   "4c495354 03000000 616263 00"
                   "64617461 02000000 3412")
            << 8000 << 1 << TWaveSound::Int16 << hex("3412") << qint64(0);
        QTest::newRow("data claiming more than the file holds, cut to whole frames")
            << hex("52494646 ffffffff 57415645"
                   "666d7420 10000000 0100 0100 401f0000 803e0000 0200 1000"
                   "64617461 00100000 0100 0200 03")
            << 8000 << 1 << TWaveSound::Int16 << hex("0100 0200") << qint64(0);
        QByteArray second = hex("52494646 00000000 57415645") + hex(kFmt16Mono8k) + hex("64617461 803e0000");
        second += QByteArray(16000, '\0');
        QTest::newRow("one second") << second << 8000 << 1 << TWaveSound::Int16 << QByteArray(16000, '\0')
                                    << qint64(1000);
    }
    void parses()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, rate);
        QFETCH(int, channels);
        QFETCH(TWaveSound::TSampleKind, kind);
        QFETCH(QByteArray, samples);
        QFETCH(qint64, durationMs);
        TWaveSound w;
        QString error;
        QVERIFY2(ParseWave(file, w, &error), qPrintable(error));
        QCOMPARE(w.Rate, rate);
        QCOMPARE(w.Channels, channels);
        QCOMPARE(w.Kind, kind);
        QCOMPARE(w.Samples, samples);
        QCOMPARE(w.DurationMs(), durationMs);
    }

    void refuses_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("error");
        QTest::newRow("empty") << QByteArray() << "not a RIFF WAVE file";
        QTest::newRow("another RIFF file") << hex("52494646 04000000 41564920") << "not a RIFF WAVE file";
        QTest::newRow("no format") << hex("52494646 10000000 57415645 64617461 02000000 0000")
                                   << "data before the format";
        QTest::newRow("format only") << hex("52494646 1c000000 57415645") + hex(kFmt16Mono8k) << "no data chunk";
        QTest::newRow("no chunks") << hex("52494646 04000000 57415645") << "no format chunk";
        QTest::newRow("format cut short")
            << hex("52494646 14000000 57415645 666d7420 10000000 0100 0100") << "format chunk too short";
        QTest::newRow("24-bit samples") << hex("52494646 28000000 57415645"
                                               "666d7420 10000000 0100 0100 401f0000 005d0000 0300 1800"
                                               "64617461 03000000 010203")
                                        << "unsupported sample format";
        QTest::newRow("compressed") << hex("52494646 28000000 57415645"
                                           "666d7420 10000000 0200 0100 401f0000 803e0000 0200 1000"
                                           "64617461 02000000 0000")
                                    << "unsupported sample format";
        QTest::newRow("no channels") << hex("52494646 28000000 57415645"
                                            "666d7420 10000000 0100 0000 401f0000 803e0000 0200 1000"
                                            "64617461 02000000 0000")
                                     << "unsupported channel count";
        QTest::newRow("rate 0") << hex("52494646 28000000 57415645"
                                       "666d7420 10000000 0100 0100 00000000 803e0000 0200 1000"
                                       "64617461 02000000 0000")
                                << "unsupported sample rate";
    }
    void refuses()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, error);
        TWaveSound w;
        QString why;
        QVERIFY(!ParseWave(file, w, &why));
        QCOMPARE(why, error);
    }

    void gameSoundsParse()
    {
        // The program's own cues, as they come with it.
        const QString dir = qEnvironmentVariable("SUDOKU_TEST_BINARY_DIR");
        if (dir.isEmpty())
            QSKIP("SUDOKU_TEST_BINARY_DIR not set");
        for (const char *name : {"falsch.wav", "gameover.wav", "pkt.wav", "gamestart.wav", "newgamer.wav"}) {
            QFile f(dir + '/' + name);
            QVERIFY2(f.open(QIODevice::ReadOnly), name);
            TWaveSound w;
            QVERIFY2(ParseWave(f.readAll(), w), name);
            QVERIFY(w.DurationMs() > 100 && w.DurationMs() < 2000);
        }
    }
};

QTEST_APPLESS_MAIN(TstWave)
#include "tst_wave.moc"
