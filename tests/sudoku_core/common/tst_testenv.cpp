// The private environment of tests and benchmarks: its folders, its variables
// and the guard that keeps the network on loopback.
#include "common/TestEnv.h"

#include <QDir>
#include <QFileInfo>
#include <QtTest>

class TstTestEnv : public QObject {
    Q_OBJECT

private slots:
    void foldersAndVariables()
    {
        QString first;
        {
            const TTestEnv env;
            first = env.Dir();
            QVERIFY(QFileInfo(env.SettingsDir()).isDir());
            QVERIFY(QFileInfo(env.DataDir()).isDir());
            QVERIFY(QFileInfo(env.TempDir()).isDir());
            QCOMPARE(qEnvironmentVariable("SUDOKU_SETTINGS_DIR"), env.SettingsDir());
            QCOMPARE(qEnvironmentVariable("SUDOKU_DATA_DIR"), env.DataDir());
            QCOMPARE(QDir::tempPath(), QDir(env.TempDir()).canonicalPath());
            QString why;
            QVERIFY2(TTestEnv::OnLoopback(&why), qPrintable(why));
        }
        QVERIFY(!QFileInfo::exists(first));
        // A later one still gets a folder although the temporary folder of
        // the first is gone.
        const TTestEnv second;
        QVERIFY(QFileInfo(second.SettingsDir()).isDir());
        QVERIFY(second.Dir() != first);
    }

    void loopbackAddresses_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("loopback");
        QTest::newRow("own") << "127.0.0.1" << true;
        QTest::newRow("second") << "127.0.0.2" << true;
        QTest::newRow("broadcast") << "127.255.255.255" << true;
        QTest::newRow("any") << "0.0.0.0" << false;
        QTest::newRow("limited broadcast") << "255.255.255.255" << false;
        QTest::newRow("private") << "192.168.1.7" << false;
        QTest::newRow("look-alike") << "128.0.0.1" << false;
        QTest::newRow("prefix only") << "1270.0.0.1" << false;
        QTest::newRow("three parts") << "127.0.1" << false;
        QTest::newRow("part too large") << "127.0.0.256" << false;
        QTest::newRow("signed part") << "127.0.+1.1" << false;
        QTest::newRow("empty part") << "127..0.1" << false;
        QTest::newRow("name") << "localhost" << false;
        QTest::newRow("empty") << "" << false;
    }
    void loopbackAddresses()
    {
        QFETCH(QString, address);
        QFETCH(bool, loopback);
        QCOMPARE(TTestEnv::IsLoopbackAddress(address), loopback);
    }

    void guardNamesWhatLeavesLoopback_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("loopback switch off") << QByteArray("SUDOKU_LOOPBACK_ONLY") << QByteArray("0");
        QTest::newRow("loopback switch unset") << QByteArray("SUDOKU_LOOPBACK_ONLY") << QByteArray();
        QTest::newRow("listener on every interface") << QByteArray("SUDOKU_BIND_ADDRESS") << QByteArray("0.0.0.0");
        QTest::newRow("listener unset") << QByteArray("SUDOKU_BIND_ADDRESS") << QByteArray();
        QTest::newRow("own address private") << QByteArray("SUDOKU_SELF_IP") << QByteArray("10.0.0.2");
        QTest::newRow("search to the real network")
            << QByteArray("SUDOKU_BROADCAST_ADDRESS") << QByteArray("255.255.255.255");
    }
    void guardNamesWhatLeavesLoopback()
    {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, value);
        const TTestEnv env;
        if (value.isEmpty())
            qunsetenv(name.constData());
        else
            qputenv(name.constData(), value);
        QString why;
        QVERIFY(!TTestEnv::OnLoopback(&why));
        QVERIFY2(why.contains(QString::fromLatin1(name)), qPrintable(why));
        // A new environment puts it back.
        const TTestEnv again;
        QVERIFY(TTestEnv::OnLoopback());
    }
};

QTEST_GUILESS_MAIN(TstTestEnv)
#include "tst_testenv.moc"
