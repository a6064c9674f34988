// Start-up with stored values that no longer fit the machine or were never
// sane: window places from monitors that are gone, sizes that overflow, names
// too long for the options.
#include "common/Fixture.h"
#include "board/UQuadrivo.h"
#include "board/UWindowFit.h"
#include "screens/UOptionen.h"
#include "screens/UStart.h"
#include "settings/USonstiges.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>
#include <climits>

namespace {
// Two screens side by side, the primary on the left.
const QRect kPrimary(0, 0, 1920, 1080);
const QRect kSecond(1920, 0, 1280, 1024);
} // namespace

class TstHostileSettings : public QObject {
    Q_OBJECT
    std::unique_ptr<TTestFixture> fx;

    void freshStart()
    {
        fx->DestroyWindows();
        fx->ClearSettings();
        RegWriteInteger("Disclaimer", 1);
        fx->Dialogs.Shown.clear();
        fx->CreateWindows();
    }
    void finish()
    {
        Form1->hide();
        if (FormStart)
            FormStart->hide();
    }

private slots:
    void initTestCase()
    {
        fx = std::make_unique<TTestFixture>();
        QCOMPARE(QGuiApplication::screens().size(), 2);
        QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry(), kPrimary);
    }
    void cleanupTestCase() { fx.reset(); }

    void fitToAreas_data()
    {
        QTest::addColumn<QRect>("stored");
        QTest::addColumn<QList<QRect>>("areas");
        QTest::addColumn<QRect>("placed");
        const QList<QRect> two{kPrimary, kSecond};
        const QList<QRect> small{QRect(0, 0, 640, 480)};
        QTest::newRow("fits on the primary") << QRect(10, 10, 1020, 725) << two << QRect(10, 10, 1020, 725);
        QTest::newRow("fits on the second") << QRect(2000, 50, 900, 700) << two << QRect(2000, 50, 900, 700);
        QTest::newRow("larger than its screen") << QRect(2000, 50, 3000, 2000) << two << QRect(1920, 0, 1280, 1024);
        QTest::newRow("over the right edge") << QRect(1500, 10, 1020, 725) << two << QRect(1920, 10, 1020, 725);
        QTest::newRow("monitor gone, right") << QRect(5000, 100, 1020, 725) << two << QRect(900, 100, 1020, 725);
        QTest::newRow("monitor gone, above") << QRect(10, -3000, 1020, 725) << two << QRect(10, 0, 1020, 725);
        QTest::newRow("zero size") << QRect(10, 10, 0, 0) << two << QRect(10, 10, 1020, 725);
        QTest::newRow("tiny size") << QRect(10, 10, 3, 2) << two
                                   << QRect(10, 10, kMinWindowWidth, kMinWindowHeight);
        QTest::newRow("small screen") << QRect(10, 10, 1020, 725) << small << QRect(0, 0, 640, 480);
        QTest::newRow("no screen") << QRect(10, 10, 1020, 725) << QList<QRect>() << QRect(10, 10, 1020, 725);
    }
    void fitToAreas()
    {
        QFETCH(QRect, stored);
        QFETCH(QList<QRect>, areas);
        QFETCH(QRect, placed);
        QCOMPARE(FitWindowToScreens(stored.x(), stored.y(), stored.width(), stored.height(), areas,
                                    QSize(1020, 725)),
                 placed);
    }

    // Values a QRect could not even hold.
    void fitExtremeValues_data()
    {
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<QRect>("placed");
        QTest::newRow("top at the largest") << 10 << INT_MAX << 1020 << 725 << QRect(10, 355, 1020, 725);
        QTest::newRow("left at the largest") << INT_MAX << 10 << 1020 << 725 << QRect(900, 10, 1020, 725);
        QTest::newRow("smallest position") << INT_MIN << INT_MIN << 1020 << 725 << QRect(0, 0, 1020, 725);
        QTest::newRow("largest size") << 10 << 10 << INT_MAX << INT_MAX << QRect(0, 0, 1920, 1080);
        QTest::newRow("negative size") << 10 << 10 << -1020 << INT_MIN << QRect(10, 10, 1020, 725);
        QTest::newRow("all at the largest") << INT_MAX << INT_MAX << INT_MAX << INT_MAX << QRect(0, 0, 1920, 1080);
    }
    void fitExtremeValues()
    {
        QFETCH(int, left);
        QFETCH(int, top);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(QRect, placed);
        QCOMPARE(FitWindowToScreens(left, top, width, height, {kPrimary, kSecond}, QSize(1020, 725)), placed);
        const QRect alone = FitWindowToScreens(left, top, width, height, {}, QSize(1020, 725));
        QVERIFY(alone.width() >= kMinWindowWidth && alone.width() <= 16384);
        QVERIFY(alone.height() >= kMinWindowHeight && alone.height() <= 16384);
    }

    void startupPlacesTheWindow_data()
    {
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<QRect>("placed");
        QTest::newRow("stored values fit") << 40 << 30 << 1100 << 800 << QRect(40, 30, 1100, 800);
        QTest::newRow("on the second screen") << 2100 << 20 << 1000 << 700 << QRect(2100, 20, 1000, 700);
        QTest::newRow("huge top") << 10 << INT_MAX << 1020 << 725 << QRect(10, 355, 1020, 725);
        QTest::newRow("huge size") << 10 << 10 << INT_MAX << INT_MAX << QRect(0, 0, 1920, 1080);
        QTest::newRow("negative") << -20000 << -20000 << -5 << -5 << QRect(0, 0, 1020, 725);
        QTest::newRow("off-screen") << 9000 << 4000 << 1020 << 725 << QRect(900, 355, 1020, 725);
        QTest::newRow("zero size") << 10 << 10 << 0 << 0 << QRect(10, 10, 1020, 725);
    }
    void startupPlacesTheWindow()
    {
        QFETCH(int, left);
        QFETCH(int, top);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(QRect, placed);
        freshStart();
        RegWriteInteger("Window1Left", left);
        RegWriteInteger("Window1Top", top);
        RegWriteInteger("Window1Width", width);
        RegWriteInteger("Window1Height", height);
        Form1->show();
        fx->RunStartupTo(160);
        // The window's own area; a frame, where the platform draws one, lies around it.
        QCOMPARE(Form1->geometry(), placed);
        // The close query stores where the window really was.
        const QPoint at = Form1->pos();
        Form1->close();
        QCOMPARE(RegReadInteger("Window1Left", 1), at.x());
        QCOMPARE(RegReadInteger("Window1Top", 1), at.y());
        QCOMPARE(RegReadInteger("Window1Width", 1), placed.width());
        QCOMPARE(RegReadInteger("Window1Height", 1), placed.height());
        finish();
    }

    void longNicknameIsCutSilently_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("fifteen") << QString("Fünfzehn Zeich.") << QString("Fünfzehn Zeich.");
        QTest::newRow("sixteen") << QString("Sechzehn Zeichen") << QString("Sechzehn Zeiche");
        QTest::newRow("very long") << QString(5000, QChar(u'ä')) << QString(15, QChar(u'ä'));
    }
    void longNicknameIsCutSilently()
    {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        freshStart();
        RegWriteString("Nickname", stored);
        fx->RunStartupTo(160);
        QCOMPARE(FormOpt->NickName->text(), shown);
        QCOMPARE(RegReadString("Nickname", QString()), shown);
        QVERIFY(!fx->Dialogs.Texts().contains(QStringLiteral("Ein wenig kürzer tut es auch !")));
        finish();
    }

    void typedLongNicknameStillWarns()
    {
        freshStart();
        fx->RunStartupTo(160);
        fx->Dialogs.Shown.clear();
        FormOpt->NickName->setText(QStringLiteral("Ein viel zu langer Name"));
        QCOMPARE(fx->Dialogs.Texts(), QStringList{QStringLiteral("Ein wenig kürzer tut es auch !")});
        QCOMPARE(FormOpt->NickName->text(), QStringLiteral("Ein viel zu lan"));
        finish();
    }
};

int main(int argc, char **argv)
{
    // The offscreen platform reads its screens from a file: give it two.
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("screens.json"));
    QFile f(config);
    if (!dir.isValid() || !f.open(QIODevice::WriteOnly))
        return 1;
    f.write(R"({"screens":[{"name":"links","x":0,"y":0,"width":1920,"height":1080},)"
            R"({"name":"rechts","x":1920,"y":0,"width":1280,"height":1024}]})");
    f.close();
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + QFile::encodeName(config));
    QApplication app(argc, argv);
    TstHostileSettings t;
    return QTest::qExec(&t, argc, argv);
}
#include "tst_hostilesettings.moc"
