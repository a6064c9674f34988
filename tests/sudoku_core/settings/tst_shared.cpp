// The settings store and the small shared routines.
#include "common/SmallDisk.h"
#include "common/TestEnv.h"
#include "settings/USonstiges.h"
#include "settings/USystem.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class TstShared : public QObject {
    Q_OBJECT
    TTestEnv env;

private slots:
    void initTestCase()
    {
        ReloadSudokuEnv();
        RegForget();
    }
    // The folder goes with the test: nothing may be written there later.
    void cleanupTestCase() { RegForget(); }
    // Every case starts from an empty store.
    void init()
    {
        RegForget();
        QFile::remove(SettingsFilePath());
    }

    void wholeFileSave()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("a.txt");
        QVERIFY(SaveFileWhole(path, "eins\r\n"));
        QVERIFY(SaveFileWhole(path, "zwei\r\n"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("zwei\r\n"));
        QString why;
        QVERIFY(!SaveFileWhole(dir.filePath("fehlt/a.txt"), "x", &why));
        QVERIFY(!why.isEmpty());
    }

    // Rows small and large: a small file fails at the flush, a large one
    // already at a write; either way the old file is kept whole.
    void wholeFileSaveOnFullDisk_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("small") << 100;
        QTest::newRow("larger than the buffer") << 40000;
    }
    void wholeFileSaveOnFullDisk()
    {
        QFETCH(int, size);
        TSmallDisk disk;
        if (!disk.Ready())
            QSKIP("a small tmpfs needs root");
        const QString path = disk.FilePath("a.txt");
        QVERIFY(SaveFileWhole(path, "alt"));
        disk.Fill();
        QString why;
        QVERIFY(!SaveFileWhole(path, QByteArray(size, 'n'), &why));
        QVERIFY(!why.isEmpty());
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("alt"));
        QCOMPARE(disk.Names(), QStringList{"a.txt"});
    }

    void storeLivesInTheTestFolder()
    {
        QVERIFY(SettingsFilePath().startsWith(env.Dir()));
    }

    void storeFileIsReadableByItsOwnerOnly()
    {
        // It holds the internet password in plain text.
        RegWriteString("Passwort", "geheim");
        RegWriteString("Name", "Anna");
        RegFlush();
        const QFileDevice::Permissions perms = QFile(SettingsFilePath()).permissions();
        QVERIFY(perms & QFileDevice::ReadOwner);
        QVERIFY(perms & QFileDevice::WriteOwner);
        QVERIFY(!(perms & (QFileDevice::ReadGroup | QFileDevice::ReadOther)));
        QVERIFY(!(perms & (QFileDevice::WriteGroup | QFileDevice::WriteOther)));
        QCOMPARE(RegReadString("Passwort", ""), QString("geheim"));
    }

    void readableStoreFileIsMadePrivate()
    {
        RegWriteString("Name", "Anna");
        RegFlush();
        QFile f(SettingsFilePath());
        QVERIFY(f.setPermissions(f.permissions() | QFileDevice::ReadGroup | QFileDevice::ReadOther));
        RegWriteString("Name", "Berta");
        RegFlush();
        QVERIFY(!(QFile(SettingsFilePath()).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther)));
        QCOMPARE(RegReadString("Name", ""), QString("Berta"));
    }

    void readIntegerOfEmptyStoreWritesDefault()
    {
        QCOMPARE(RegReadInteger("Spielart", 3), 3);
        // The default is now stored: another default is not taken.
        QCOMPARE(RegReadInteger("Spielart", 7), 3);
    }

    void integerStoredAsStringReadsAsMissing()
    {
        RegWriteString("AnzMerker", "5");
        QCOMPARE(RegReadInteger("AnzMerker", 2), 2);
        // ... and was overwritten with the integer default.
        QCOMPARE(RegReadInteger("AnzMerker", 9), 2);
        QString s;
        RegReadString("AnzMerker", "x", s);
        QCOMPARE(s, QString("x"));
    }

    void emptyStringReadsAsDefault()
    {
        RegWriteString("Nickname", "");
        QCOMPARE(RegReadString("Nickname", "Anna"), QString("Anna"));
        QCOMPARE(RegReadString("Nickname", "Bert"), QString("Anna"));
    }

    void namesIgnoreCase()
    {
        RegWriteInteger("Player", 4);
        QCOMPARE(RegReadInteger("player", 2), 4);
        RegWriteInteger("PLAYER", 3);
        QCOMPARE(RegReadInteger("Player", 2), 3);
        RegFlush();
    QSettings raw(SettingsFilePath(), QSettings::IniFormat);
        int matches = 0;
        for (const QString &k : raw.childKeys())
            if (k.compare("player", Qt::CaseInsensitive) == 0)
                ++matches;
        QCOMPARE(matches, 1);
    }

    // A file written by hand or by an older program may hold one name in
    // several spellings and types; the value of the wanted type is found and
    // the file keeps that one alone.
    void caseVariantsReadAsOneValue_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("raws");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<bool>("integer");
        QTest::addColumn<QString>("expected");
        QTest::newRow("integer after strings")
            << QStringList{"level", "LeveL", "Level"} << QStringList{"sz:abc", "sz:7", "dword:00000005"}
            << "level" << true << "5";
        QTest::newRow("string among integers")
            << QStringList{"NICK", "Nick", "nick"} << QStringList{"dword:00000001", "sz:Anna", "dword:00000002"}
            << "Nick" << false << "Anna";
        QTest::newRow("exact spelling first")
            << QStringList{"Port", "PORT"} << QStringList{"dword:00000003", "dword:00000009"} << "PORT" << true
            << "9";
        QTest::newRow("none fits: default") << QStringList{"Sound", "SOUND"} << QStringList{"sz:x", "sz:y"}
                                            << "sound" << true << "4";
    }
    void caseVariantsReadAsOneValue()
    {
        QFETCH(QStringList, names);
        QFETCH(QStringList, raws);
        QFETCH(QString, asked);
        QFETCH(bool, integer);
        QFETCH(QString, expected);
        {
            QSettings raw(SettingsFilePath(), QSettings::IniFormat);
            for (int i = 0; i < names.size(); ++i)
                raw.setValue(names[i], raws[i]);
        }
        RegForget();
        if (integer)
            QCOMPARE(QString::number(RegReadInteger(asked, 4)), expected);
        else
            QCOMPARE(RegReadString(asked, "Bert"), expected);
        RegFlush();
        QSettings raw(SettingsFilePath(), QSettings::IniFormat);
        QStringList left;
        for (const QString &k : raw.childKeys())
            if (k.compare(asked, Qt::CaseInsensitive) == 0)
                left << raw.value(k).toString();
        QCOMPARE(left.size(), 1);
        // Read again from the file: the same value, no further change.
        RegForget();
        if (integer)
            QCOMPARE(QString::number(RegReadInteger(asked, 8)), expected);
        else
            QCOMPARE(RegReadString(asked, "Carl"), expected);
    }

    // A write is seen by the next read at once and reaches the file a moment
    // later without an explicit flush.
    void writeReachesFileShortlyAfter()
    {
        RegWriteInteger("Spielart", 6);
        QCOMPARE(RegReadInteger("Spielart", 1), 6);
        QTRY_VERIFY_WITH_TIMEOUT(QSettings(SettingsFilePath(), QSettings::IniFormat).value("Spielart").toString()
                                     == QString("dword:00000006"),
                                 2000);
        // A later change rewrites it the same way.
        RegWriteString("Nickname", "Zoe");
        QTRY_VERIFY_WITH_TIMEOUT(QSettings(SettingsFilePath(), QSettings::IniFormat).value("Nickname").toString()
                                     == QString("sz:Zoe"),
                                 2000);
        QCOMPARE(QSettings(SettingsFilePath(), QSettings::IniFormat).value("Spielart").toString(),
                 QString("dword:00000006"));
    }

    // A stream of changes puts the write off by a moment each, but the file
    // is written at the latest a second after the first change it lacks.
    // The counter is the test's; the write timer is never left to run, so
    // each row reads the wait it was started with.
    void streamOfChangesIsWrittenWithinASecond_data()
    {
        QTest::addColumn<QList<int>>("times");  // ms, one change each
        QTest::addColumn<QList<int>>("delays"); // timer's wait after it; -1: written at once
        QTest::newRow("one change") << QList<int>{0} << QList<int>{100};
        QTest::newRow("every 50 ms") << QList<int>{0, 50, 500, 850, 900, 950, 980, 1000}
                                     << QList<int>{100, 100, 100, 100, 100, 50, 20, -1};
        QTest::newRow("the timer could not run") << QList<int>{0, 1700} << QList<int>{100, -1};
        QTest::newRow("after a write the next second begins") << QList<int>{0, 400, 800, 1200, 1300, 2000, 2200, 2300}
                                                              << QList<int>{100, 100, 100, -1, 100, 100, 100, -1};
    }
    void streamOfChangesIsWrittenWithinASecond()
    {
        QFETCH(QList<int>, times);
        QFETCH(QList<int>, delays);
        int64_t now = 5'000'000'000;
        SetPerfCounterSource([&now] { return now; });
        const auto restore = qScopeGuard([] { SetPerfCounterSource(nullptr); });
        const int64_t start = now;
        auto stored = [] { return QSettings(SettingsFilePath(), QSettings::IniFormat).value("Zaehler").toString(); };
        for (int i = 0; i < times.size(); ++i) {
            now = start + int64_t(times[i]) * 1'000'000;
            RegWriteInteger("Zaehler", i + 1);
            QCOMPARE(RegPendingWriteDelayMs(), delays[i]);
            const QString value = QString("dword:%1").arg(i + 1, 8, 16, QChar('0'));
            QCOMPARE(stored() == value, delays[i] == -1);
        }
    }

    void quitWritesPendingChanges()
    {
        RegWriteInteger("Mixen", 1);
        QVERIFY(!QSettings(SettingsFilePath(), QSettings::IniFormat).contains("Mixen"));
        QMetaObject::invokeMethod(QCoreApplication::instance(), "aboutToQuit", Qt::DirectConnection);
        QCOMPARE(QSettings(SettingsFilePath(), QSettings::IniFormat).value("Mixen").toString(),
                 QString("dword:00000001"));
    }

    void integersRoundTrip_data()
    {
        QTest::addColumn<int>("value");
        QTest::newRow("zero") << 0;
        QTest::newRow("colour") << 0x409FFF;
        QTest::newRow("negative") << -2;
        QTest::newRow("max") << 2147483647;
        QTest::newRow("min") << int(-2147483647 - 1);
    }
    void integersRoundTrip()
    {
        QFETCH(int, value);
        RegWriteInteger("Wert", value);
        QCOMPARE(RegReadInteger("Wert", 1), value);
    }

    void stringsKeepUmlauts()
    {
        RegWriteString("ImportPath", "C:\\Rätsel\\größer");
        QCOMPARE(RegReadString("ImportPath", "x"), QString("C:\\Rätsel\\größer"));
    }

    void formatTenths_data()
    {
        QTest::addColumn<qint64>("tenths");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << qint64(0) << "00:00.0";
        QTest::newRow("754") << qint64(754) << "01:15.4";
        QTest::newRow("599") << qint64(599) << "00:59.9";
        QTest::newRow("600") << qint64(600) << "01:00.0";
        QTest::newRow("60000") << qint64(60000) << "100:00.0";
    }
    void formatTenths()
    {
        QFETCH(qint64, tenths);
        QFETCH(QString, text);
        QCOMPARE(FormatTenths(tenths), text);
    }

    void isValidIPv4_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("plain") << "1.2.3.4" << true;
        QTest::newRow("leading zeros") << "001.002.003.004" << true;
        QTest::newRow("max") << "255.255.255.255" << true;
        QTest::newRow("too short") << "1.2.3" << false;
        QTest::newRow("trailing dot") << "1.2.3.4." << false;
        QTest::newRow("leading dot") << ".1.2.3.4" << false;
        QTest::newRow("256") << "256.1.1.1" << false;
        QTest::newRow("four dots") << "1.2.3.4.5" << false;
        QTest::newRow("letters") << "1.2.a.4" << false;
        QTest::newRow("four digits") << "1.2.3.1234" << false;
        QTest::newRow("double dot") << "1.2..34" << false;
        QTest::newRow("too long") << "100.100.100.1000" << false;
    }
    void isValidIPv4()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QCOMPARE(IsValidIPv4(text), valid);
    }

    void splitAtChar_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("parts");
        QTest::newRow("empty piece kept, last dropped") << "a~~b~" << QStringList{"a", "", "b"};
        QTest::newRow("no separator") << "abc" << QStringList{"abc"};
        QTest::newRow("empty") << "" << QStringList{};
        QTest::newRow("leading") << "~a" << QStringList{"", "a"};
    }
    void splitAtChar()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, parts);
        QCOMPARE(SplitAtChar(text, '~'), parts);
    }

    void shadeColor_data()
    {
        QTest::addColumn<int>("p");
        QTest::addColumn<int>("colour");
        QTest::addColumn<int>("shaded");
        QTest::newRow("100 keeps") << 100 << 0x409FFF << 0x409FFF;
        QTest::newRow("-100 keeps") << -100 << 0x409FFF << 0x409FFF;
        QTest::newRow("0 white") << 0 << 0x409FFF << 0xFFFFFF;
        QTest::newRow("-1 nearly black") << -1 << 0xFFFFFF << 0x020202;
        QTest::newRow("50") << 50 << 0x000000 << 0x808080;
        QTest::newRow("high byte dropped") << 100 << int(0x7F123456) << 0x123456;
    }
    void shadeColor()
    {
        QFETCH(int, p);
        QFETCH(int, colour);
        QFETCH(int, shaded);
        uint8_t b[3];
        QCOMPARE(ShadeColor(p, b, colour), shaded);
        QCOMPARE(int(b[0]), shaded & 0xFF);
    }

    void colourBytes()
    {
        uint8_t b[3];
        ColorToBytes(0x00336699, b);
        QCOMPARE(int(b[0]), 0x33);
        QCOMPARE(int(b[1]), 0x66);
        QCOMPARE(int(b[2]), 0x99);
        QCOMPARE(SwapRedBlue(0x7F112233), 0x332211);
    }

    void bands()
    {
        const int band[10] = {0, 1, 1, 1, 2, 2, 2, 3, 3, 3};
        const int pos[10] = {0, 1, 2, 3, 1, 2, 3, 1, 2, 3};
        for (int n = 1; n <= 9; ++n) {
            QCOMPARE(BandOf(n), band[n]);
            QCOMPARE(PosInBand(n), pos[n]);
        }
    }

    void smallTexts()
    {
        QString s;
        TextAfterEquals("Name=Wert=x", s);
        QCOMPARE(s, QString("Wert=x"));
        TextAfterEquals("ohne", s);
        QCOMPARE(s, QString("ohne"));
        SpacesToPercent20("a b  c", s);
        QCOMPARE(s, QString("a%20b%20%20c"));
        Percent20ToSpaces(s, s);
        QCOMPARE(s, QString("a b  c"));
        int a, b, c;
        ParseStarTriple("12*345*6", a, b, c);
        QCOMPARE(QList<int>({a, b, c}), QList<int>({12, 345, 6}));
        ParseStarTriple("7", a, b, c);
        QCOMPARE(QList<int>({a, b, c}), QList<int>({7, 0, 0}));
        QCOMPARE(BoolToTF(true), QString("T"));
        QCOMPARE(BoolToTF(false), QString("F"));
        QCOMPARE(Max64(-5, 3), qint64(3));
        QCOMPARE(Min64(-5, 3), qint64(-5));
        QVERIFY(InSet3(4, 1, 4, 9) && !InSet2(4, 1, 9) && InSet4(9, 1, 2, 3, 9));
    }

    void cp1252()
    {
        const QString text = QStringLiteral("Grüße €‚…ŠŸ µ");
        const QByteArray bytes = EncodeCp1252(text);
        QCOMPARE(bytes.size(), text.size());
        QCOMPARE(uint8_t(bytes[2]), uint8_t(0xFC)); // ü
        QCOMPARE(uint8_t(bytes[6]), uint8_t(0x80)); // €
        QCOMPARE(uint8_t(bytes[9]), uint8_t(0x8A)); // Š
        QCOMPARE(DecodeCp1252(bytes), text);
        // A character outside the code page becomes "?".
        QCOMPARE(EncodeCp1252(QStringLiteral("漢")), QByteArray("?"));
    }

    void localAddressesFromInterfaces()
    {
        const QStringList list = GetLocalIPList();
        for (const QString &a : list)
            QVERIFY2(IsValidIPv4(a), qPrintable(a));
    }
};

QTEST_MAIN(TstShared)
#include "tst_shared.moc"
