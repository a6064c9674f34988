// Competition files: the INI document's line behaviour, the checksum over the
// exact bytes of a file, tampering, line-end styles, the password and the
// rules for names, stage numbers and stage codes.
#include "common/TestEnv.h"
#include "files/UCompetitionFile.h"
#include "files/UIniFile.h"
#include "settings/USystem.h"

#include <QDir>
#include <QFile>
#include <QtTest>

namespace {
const char kPuzzle1[] = "eHcFDgaibdgiahBcFefbAicEHGdadHcbifeGbCGefhDAiIfedgaBchcEFBidGhagAbHefidchidgACeBf";
const char kPuzzle2[] = "ACehGidFBFbHedcAiGgidabfcheEdaBhGfcIiHfceagBdCgbIfDeaHbacdiehgfHeGfcbIdADFigAhbEC";

// A file just created with an empty password, as the program writes it.
const QByteArray kCreated = "[Spiele]\r\n"
                            "chksum=a5747765a3f9043004d850bb85f35b59\r\n"
                            "Passwort=d41d8cd98f00b204e9800998ecf8427e\r\n"
                            "[Etappe]\r\n";

// Two stages, two players (one nickname with a Windows-1252 umlaut), password "geheim".
QByteArray played()
{
    return QByteArray("[Spiele]\r\n"
                      "chksum=e01342d84a0d4829cee6749cb010f01a\r\n"
                      "Passwort=e8636ea013e682faf61f56ce1cb1ab5c\r\n"
                      "0001=") +
           kPuzzle1 + "SS234\r\n0002=" + kPuzzle2 +
           "ID105\r\n"
           "[Etappe]\r\n"
           "Anna=0002\r\n"
           "J\xFCrgen=0001\r\n"
           "[0001]\r\n"
           "Anna=12*3456*1\r\n"
           "J\xFCrgen=0*0*0\r\n"
           "[0002]\r\n"
           "Anna=10*2000*0\r\n";
}

TIniFile docOf(const QByteArray &bytes)
{
    TIniFile ini;
    ini.SetBytes(bytes);
    return ini;
}

QByteArray replaced(QByteArray bytes, const QByteArray &from, const QByteArray &to)
{
    const qsizetype at = bytes.indexOf(from);
    Q_ASSERT(at >= 0);
    return bytes.replace(at, from.size(), to);
}

QByteArray swappedLines(const QByteArray &bytes, int a, int b)
{
    QList<QByteArray> lines = bytes.split('\n');
    lines.swapItemsAt(a, b);
    return lines.join('\n');
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
} // namespace

class TstCompetitionFile : public QObject {
    Q_OBJECT
    TTestEnv env;

private slots:
    void initTestCase() { ReloadSudokuEnv(); }

    void createdFileBytes()
    {
        const QString path = env.Dir() + QStringLiteral("/Neu.challenge");
        TIniFile ini = NewCompetitionDocument(path, QString());
        QCOMPARE(ini.Bytes(), kCreated);
        QVERIFY(ini.Save());
        QCOMPARE(readAll(path), kCreated);
        QVERIFY(VerifyChecksum(ini, QStringLiteral("Spiele")));
        // An empty password field matches the digest of the empty text later.
        QVERIFY(PasswordMatches(ini, QString()));
        QVERIFY(!PasswordMatches(ini, QStringLiteral("x")));
    }

    void hashedText()
    {
        QCOMPARE(ChecksumText(kCreated), QByteArray("Passwort=d41d8cd98f00b204e9800998ecf8427e\r\n"
                                                    "[Etappe]\r\n"
                                                    "Zucker verstreuen\r\n"));
        QCOMPARE(ChecksumOfBytes(kCreated), QStringLiteral("a5747765a3f9043004d850bb85f35b59"));
        QCOMPARE(ChecksumOfBytes(played()), QStringLiteral("e01342d84a0d4829cee6749cb010f01a"));
    }

    void verify_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("valid");
        const QByteArray p = played();
        QTest::newRow("as written") << p << true;
        QTest::newRow("created") << kCreated << true;
        QTest::newRow("LF line ends") << QByteArray(p).replace("\r\n", "\n") << true;
        QTest::newRow("CR line ends") << QByteArray(p).replace("\r\n", "\r") << true;
        QTest::newRow("mixed line ends") << replaced(replaced(p, "0002\r\n", "0002\n"), "1\r\n", "1\r") << true;
        QTest::newRow("no final line end") << p.chopped(2) << true;
        QTest::newRow("zero byte ends the text") << p + QByteArray("\0garbage\r\n", 10) << true;
        QTest::newRow("first line not hashed") << replaced(p, "[Spiele]", "[SPIELE]") << true;
        QTest::newRow("stage code letter") << replaced(p, "SS234", "SS233") << false;
        QTest::newRow("puzzle letter") << replaced(p, "0001=eH", "0001=EH") << false;
        QTest::newRow("result") << replaced(p, "12*3456*1", "12*3455*1") << false;
        QTest::newRow("nickname") << replaced(p, "Anna=0002", "Anne=0002") << false;
        QTest::newRow("nickname case") << replaced(p, "Anna=0002", "anna=0002") << false;
        QTest::newRow("section header") << replaced(p, "[0002]", "[0003]") << false;
        QTest::newRow("password") << replaced(p, "Passwort=e", "Passwort=f") << false;
        QTest::newRow("blank line added") << replaced(p, "[Etappe]\r\n", "\r\n[Etappe]\r\n") << false;
        QTest::newRow("blank line at the end") << p + "\r\n" << false;
        QTest::newRow("line removed") << replaced(p, "Anna=10*2000*0\r\n", "") << false;
        QTest::newRow("two lines swapped") << swappedLines(p, 6, 7) << false;
        QTest::newRow("blank added inside") << replaced(p, "Anna=0002", "Anna =0002") << false;
        QTest::newRow("zero byte inside") << replaced(p, "[0002]", QByteArray("[0002]\0", 7)) << false;
        QTest::newRow("chksum 0") << replaced(p, "e01342d84a0d4829cee6749cb010f01a", "0") << false;
        QTest::newRow("chksum empty") << replaced(p, "e01342d84a0d4829cee6749cb010f01a", "") << false;
        QTest::newRow("chksum upper case")
            << replaced(p, "e01342d84a0d4829cee6749cb010f01a", "E01342D84A0D4829CEE6749CB010F01A") << false;
        QTest::newRow("chksum missing") << replaced(p, "chksum=e01342d84a0d4829cee6749cb010f01a\r\n", "") << false;
        QTest::newRow("empty file") << QByteArray() << false;
    }
    void verify()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, valid);
        QCOMPARE(VerifyChecksum(docOf(bytes), QStringLiteral("Spiele")), valid);
    }

    void verifyFromDisk()
    {
        const QString path = env.Dir() + QStringLiteral("/Disk.turnier");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(played()).replace("\r\n", "\n"));
        f.close();
        TIniFile ini(path);
        QVERIFY(ini.Load());
        QVERIFY(VerifyChecksum(ini, QStringLiteral("spiele")));
        QCOMPARE(ini.ReadString(QStringLiteral("etappe"), QString::fromUtf8("JÜRGEN"), QStringLiteral("x")),
                 QStringLiteral("0001"));
        // Written back, the lines keep their bytes and end in CR LF.
        QVERIFY(ini.Save());
        QCOMPARE(readAll(path), played());
        TIniFile missing(env.Dir() + QStringLiteral("/none.turnier"));
        QVERIFY(!missing.Load());
        QVERIFY(!VerifyChecksum(missing, QStringLiteral("Spiele")));
    }

    void rewrittenChecksumMakesValid()
    {
        TIniFile ini = docOf(replaced(played(), "12*3456*1", "99*1*0"));
        QVERIFY(!VerifyChecksum(ini, QStringLiteral("Spiele")));
        QVERIFY(WriteChecksum(ini, QStringLiteral("Spiele")));
        QVERIFY(VerifyChecksum(ini, QStringLiteral("Spiele")));
        // The checksum stays on the second line.
        QVERIFY(ini.Lines().at(1).startsWith("chksum="));
        QCOMPARE(ini.Lines().size(), 13);
    }

    void passwords_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("matches");
        QTest::newRow("right") << QByteArray("Passwort=e8636ea013e682faf61f56ce1cb1ab5c") << QStringLiteral("geheim")
                               << true;
        QTest::newRow("wrong") << QByteArray("Passwort=e8636ea013e682faf61f56ce1cb1ab5c") << QStringLiteral("Geheim")
                               << false;
        QTest::newRow("umlaut as Windows-1252")
            << QByteArray("Passwort=a925cddee3063c402a029b6bbfa1bebd") << QString::fromUtf8("Knödel") << true;
        QTest::newRow("stored 0") << QByteArray("Passwort=0") << QStringLiteral("0") << false;
        QTest::newRow("missing") << QByteArray("Other=1") << QString() << false;
    }
    void passwords()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, typed);
        QFETCH(bool, matches);
        QCOMPARE(PasswordMatches(docOf("[Spiele]\r\nchksum=0\r\n" + line + "\r\n"), typed), matches);
    }

    void lineBehaviour()
    {
        TIniFile ini = docOf("; note\r\n[A]\r\n  Key = old  \r\n\r\nOther=1\r\n[B]\r\nx=1\r\n");
        QCOMPARE(ini.ReadString(QStringLiteral("a"), QStringLiteral("KEY"), QString()), QStringLiteral("old"));
        QCOMPARE(ini.ReadSection(QStringLiteral("A")), QStringList({QStringLiteral("Key"), QStringLiteral("Other")}));
        QCOMPARE(ini.ReadSections(), QStringList({QStringLiteral("A"), QStringLiteral("B")}));
        QVERIFY(ini.WriteString(QStringLiteral("a"), QStringLiteral("key"), QStringLiteral("new")));
        QVERIFY(ini.WriteString(QStringLiteral("A"), QStringLiteral("Third"), QStringLiteral("3")));
        QVERIFY(ini.WriteString(QStringLiteral("C"), QStringLiteral("y"), QString()));
        QVERIFY(ini.AddSection(QStringLiteral("D")));
        QVERIFY(ini.AddSection(QStringLiteral("d"))); // exists: nothing added
        QCOMPARE(ini.Bytes(), QByteArray("; note\r\n[A]\r\n  Key =new\r\n\r\nOther=1\r\nThird=3\r\n[B]\r\nx=1\r\n"
                                         "[C]\r\ny=\r\n[D]\r\n"));
        QVERIFY(ini.DeleteKey(QStringLiteral("A"), QStringLiteral("OTHER")));
        QVERIFY(!ini.DeleteKey(QStringLiteral("A"), QStringLiteral("Other")));
        QVERIFY(ini.EraseSection(QStringLiteral("b")));
        QVERIFY(!ini.EraseSection(QStringLiteral("B")));
        QCOMPARE(ini.Bytes(), QByteArray("; note\r\n[A]\r\n  Key =new\r\n\r\nThird=3\r\n[C]\r\ny=\r\n[D]\r\n"));
        QCOMPARE(ini.ReadString(QStringLiteral("B"), QStringLiteral("x"), QStringLiteral("def")),
                 QStringLiteral("def"));
        QVERIFY(ini.ValueExists(QStringLiteral("c"), QStringLiteral("Y")));
    }

    void refusedKeys_data()
    {
        QTest::addColumn<QString>("key");
        QTest::newRow("empty") << QString();
        QTest::newRow("equals") << QStringLiteral("=");
        QTest::newRow("equals inside") << QStringLiteral("a=b");
        QTest::newRow("CR LF") << QStringLiteral("a\r\nb");
        QTest::newRow("LF") << QStringLiteral("a\nb");
        QTest::newRow("CR") << QStringLiteral("a\rb");
        QTest::newRow("tab") << QStringLiteral("a\tb");
        QTest::newRow("leading bracket") << QStringLiteral("[a");
        QTest::newRow("leading semicolon") << QStringLiteral(";a");
        QTest::newRow("leading blank") << QStringLiteral(" a");
        QTest::newRow("trailing blank") << QStringLiteral("a ");
        QTest::newRow("not Windows-1252") << QString::fromUtf8("a\u4e2d");
    }
    void refusedKeys()
    {
        QFETCH(QString, key);
        TIniFile ini = docOf(kCreated);
        QVERIFY(!TIniFile::IsWritableKey(key));
        QVERIFY(!ini.WriteString(QStringLiteral("Etappe"), key, QStringLiteral("0001")));
        QCOMPARE(ini.Bytes(), kCreated);
    }

    void acceptedKeys()
    {
        TIniFile ini = docOf(kCreated);
        for (const QString &key :
             {QStringLiteral("a;b"), QStringLiteral("a[b]"), QString::fromUtf8("Jürgen"), QStringLiteral("Ein Name")}) {
            QVERIFY2(ini.WriteString(QStringLiteral("Etappe"), key, QStringLiteral("0001")), qPrintable(key));
            QCOMPARE(ini.ReadString(QStringLiteral("Etappe"), key, QString()), QStringLiteral("0001"));
        }
        QVERIFY(!ini.WriteString(QStringLiteral("Etappe"), QStringLiteral("x"), QStringLiteral("a\r\nb")));
        QVERIFY(!ini.WriteString(QStringLiteral("a]b"), QStringLiteral("x"), QStringLiteral("1")));
        QVERIFY(!ini.AddSection(QString()));
    }

    void saveFailureCreatesNothing()
    {
        const QString path = env.Dir() + QStringLiteral("/no/such/folder/X.challenge");
        TIniFile ini = NewCompetitionDocument(path, QString());
        QString error;
        QVERIFY(!ini.Save(&error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!QFile::exists(path));
    }

    void stageNumbers_data()
    {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("next");
        QTest::newRow("no entry") << QByteArray() << 0 << QStringLiteral("0001");
        QTest::newRow("0001") << QByteArray("Anna=0001\r\n") << 1 << QStringLiteral("0002");
        QTest::newRow("0009") << QByteArray("Anna=0009\r\n") << 9 << QStringLiteral("0010");
        QTest::newRow("9999") << QByteArray("Anna=9999\r\n") << 9999 << QStringLiteral("10000");
        QTest::newRow("other player") << QByteArray("Bernd=0005\r\n") << 0 << QStringLiteral("0001");
        // The value is a number: leading zeros are not needed.
        QTest::newRow("9") << QByteArray("Anna=9\r\n") << 9 << QStringLiteral("0010");
        QTest::newRow("10") << QByteArray("Anna=10\r\n") << 10 << QStringLiteral("0011");
        QTest::newRow("many zeros") << QByteArray("Anna=0000000012\r\n") << 12 << QStringLiteral("0013");
        QTest::newRow("word") << QByteArray("Anna=zwei\r\n") << -1 << QStringLiteral("0001");
        QTest::newRow("empty") << QByteArray("Anna=\r\n") << -1 << QStringLiteral("0001");
        QTest::newRow("negative") << QByteArray("Anna=-3\r\n") << -1 << QStringLiteral("0001");
        QTest::newRow("sign") << QByteArray("Anna=+5\r\n") << -1 << QStringLiteral("0001");
        QTest::newRow("too large") << QByteArray("Anna=99999999999\r\n") << -1 << QStringLiteral("0001");
    }
    void stageNumbers()
    {
        QFETCH(QByteArray, entry);
        QFETCH(int, number);
        QFETCH(QString, next);
        const TIniFile ini = docOf(kCreated + entry);
        QCOMPARE(PlayerStageNumber(ini, QStringLiteral("anna")), number);
        QCOMPARE(NextStageNumber(ini, QStringLiteral("anna")), next);
        QCOMPARE(StagesAreValid(ini), number >= 0);
    }

    void stageCodes_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("valid");
        const QString p = QString::fromLatin1(kPuzzle1);
        QTest::newRow("Sudoku") << p + QStringLiteral("SS234") << true;
        QTest::newRow("letters at the end") << p + QStringLiteral("ZD009") << true;
        QTest::newRow("Bingo") << p + QStringLiteral("BS100") << true;
        QTest::newRow("short") << p + QStringLiteral("SS23") << false;
        QTest::newRow("long") << p + QStringLiteral("SS2345") << false;
        QTest::newRow("bad type") << p + QStringLiteral("XS234") << false;
        QTest::newRow("bad evaluation") << p + QStringLiteral("SX234") << false;
        QTest::newRow("bad digit") << p + QStringLiteral("SS2x4") << false;
        QTest::newRow("bad puzzle letter") << QStringLiteral("j") + p.mid(1) + QStringLiteral("SS234") << false;
        QTest::newRow("0") << QStringLiteral("0") << false;
    }
    void stageCodes()
    {
        QFETCH(QString, code);
        QFETCH(bool, valid);
        QCOMPARE(IsValidStageCode(code), valid);
    }

    void stagesOfFile()
    {
        QVERIFY(StagesAreValid(docOf(played())));
        QCOMPARE(StageKeys(docOf(played())), QStringList({QStringLiteral("0001"), QStringLiteral("0002")}));
        QVERIFY(StageKeys(docOf(kCreated)).isEmpty());
        QVERIFY(!StagesAreValid(docOf(replaced(played(), "0002=", "02x="))));
        QVERIFY(!StagesAreValid(docOf(replaced(played(), "ID105", "ID10"))));
        QVERIFY(!StagesAreValid(docOf(replaced(played(), "Anna=0002", "Anna=zwei"))));
        QVERIFY(IsValidStageNumber(QStringLiteral("10000")));
        QVERIFY(!IsValidStageNumber(QStringLiteral("001")));
    }

    void names_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("file");
        QTest::newRow("challenge") << QStringLiteral("Serie") << 10 << QStringLiteral("Serie.challenge");
        QTest::newRow("tournament") << QStringLiteral("Serie") << 20 << QStringLiteral("Serie.turnier");
        QTest::newRow("umlaut and blank")
            << QString::fromUtf8("Große Serie") << 10 << QString::fromUtf8("Große Serie.challenge");
        QTest::newRow("other mode") << QStringLiteral("Serie") << 30 << QString();
        QTest::newRow("empty") << QString() << 10 << QString();
        QTest::newRow("blanks only") << QStringLiteral("   ") << 10 << QString();
        QTest::newRow("slash") << QStringLiteral("a/b") << 10 << QString();
        QTest::newRow("backslash") << QStringLiteral("a\\b") << 10 << QString();
        QTest::newRow("parent") << QStringLiteral("..") << 20 << QString();
        QTest::newRow("dots inside") << QStringLiteral("a..b") << 20 << QString();
        QTest::newRow("control character") << QStringLiteral("a\nb") << 10 << QString();
    }
    void names()
    {
        QFETCH(QString, name);
        QFETCH(int, mode);
        QFETCH(QString, file);
        const QString path = CompetitionFilePath(QStringLiteral("/data"), name, mode);
        QCOMPARE(path, file.isEmpty() ? QString() : QStringLiteral("/data/") + file);
    }

    void results() { QCOMPARE(ResultText(12, 3456, 1), QStringLiteral("12*3456*1")); }
};

QTEST_GUILESS_MAIN(TstCompetitionFile)
#include "tst_competitionfile.moc"
