// Start-up, shut-down, the single-instance lock, the keypad translation, the
// help cursor and the routes of a new game's puzzle.
#include "common/Fixture.h"
#include "board/ULog.h"
#include "board/UMeldung.h"
#include "board/UQuadrivo.h"
#include "board/UQuadrivo_Builtin.h"
#include "board/Usounds.h"
#include "codes/UQuadrivo_Codes.h"
#include "competitions/UChallenge.h"
#include "competitions/Ughost.h"
#include "net/UNETZ.h"
#include "net/UWebForm.h"
#include "screens/UDisclaimer.h"
#include "screens/UGameOptionen.h"
#include "screens/UOptionen.h"
#include "screens/UStart.h"
#include "screens/UVorgabe.h"
#include "settings/USonstiges.h"
#include "settings/USystem.h"

#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLockFile>
#include <QProcess>
#include <QScreen>
#include <QSettings>
#include <QtTest>
#include <sys/wait.h>
#include <unistd.h>

namespace {
// The value names of the start-up read, in order, with the type each is
// stored with.
struct TSetting {
    const char *Name;
    bool IsString;
};
const TSetting kStartupSettings[] = {
    {"Nickname", true},     {"ImportPath", true},    {"BingoFest", false},     {"AnzBingo", false},
    {"BingoModus", false},  {"foundcolored", false}, {"Import", false},        {"Spielart", false},
    {"level", false},       {"bewertung", false},    {"AnzMerker", false},     {"BonusMerker", false},
    {"Rotation", false},    {"Mixen", false},        {"Durchspielen", false},  {"Sound", false},
    {"alltastatur", false}, {"eigenesfeld", false},  {"FontSizeMerker", false}, {"FontSizeZahlen", false},
    {"Window1Top", false},  {"Window1Left", false},  {"Window1Height", false}, {"Window1Width", false},
    {"TrennBlock", false},  {"TrennZelle", false},   {"MenueColor", false},    {"FeldColor", false},
    {"TrennColor1", false}, {"TrennColor2", false},  {"Merker1Color", false},  {"Merker2Color", false},
    {"inetmerken", false},  {"player", false},       {"iNetUser", true},       {"iNetPW", true},
    {"TurnierEndeArt", false}, {"BingoArt", false},  {"Disclaimer", false},
    {"ColSp1", false},      {"ColSp8", false},       {"DuellSpieler1", false}, {"DuellSpieler2", false},
    {"Port", true},
};

QString stored(const QString &name)
{
    RegFlush();
    QSettings raw(SettingsFilePath(), QSettings::IniFormat);
    for (const QString &k : raw.childKeys())
        if (k.compare(name, Qt::CaseInsensitive) == 0)
            return raw.value(k).toString();
    return QString();
}
} // namespace

class TstMainWindow : public QObject {
    Q_OBJECT
    std::unique_ptr<TTestFixture> fx;

    void freshStart(bool acceptedTerms)
    {
        fx->DestroyWindows();
        fx->ClearSettings();
        if (acceptedTerms)
            RegWriteInteger("Disclaimer", 1);
        fx->Dialogs.Shown.clear();
        fx->CreateWindows();
    }

private slots:
    void initTestCase() { fx = std::make_unique<TTestFixture>(); }
    void cleanupTestCase() { fx.reset(); }

    void everyWindowExistsAfterCreation()
    {
        freshStart(true);
        QVERIFY(Form1 && NETZ && Trace && Vorgabe && Disclaimer && FormOpt && FormGO && FormMeld && FormStart);
        QCOMPARE(Form1->SplashTimer->interval(), 10);
        QVERIFY(Form1->SplashTimer->isActive());
        QCOMPARE(NETZ->SendTimer->timerType(), Qt::PreciseTimer);
        QVERIFY(!NETZ->SendTimer->isActive());
        // Every timer of the windows keeps its interval, the search's time-out too.
        QCOMPARE(FormStart->Warte->timerType(), Qt::PreciseTimer);
        for (QWidget *w : QApplication::topLevelWidgets())
            for (TTimer *t : w->findChildren<TTimer *>())
                QVERIFY2(t->timerType() == Qt::PreciseTimer, qPrintable(w->objectName() + w->windowTitle()));
    }

    void splashIsShownFirst()
    {
        freshStart(true);
        Form1->show();
        QCOMPARE(Form1->size(), QSize(600, 220));
        QVERIFY(Form1->LogoPic->isVisible());
        QCOMPARE(Form1->LogoPic->accessibleName(), QString("Quadrivo"));
        QVERIFY(!Form1->ToolPanel->isVisible());
        QVERIFY(!Form1->FirstShow);
        Form1->hide();
    }

    void freshStoreGetsEveryDefaultWritten()
    {
        freshStart(false);
        QVERIFY(!QFile::exists(SettingsFilePath()));
        fx->RunStartupTo(150);
        // With no "Disclaimer" stored the terms window holds the start-up.
        QVERIFY(!Form1->SplashTimer->isActive());
        QVERIFY(Disclaimer->isVisible());
        QCOMPARE(Form1->SplashTimer->Tag, 150);
        for (const TSetting &s : kStartupSettings) {
            const QString v = stored(s.Name);
            QVERIFY2(!v.isEmpty(), s.Name);
            QVERIFY2(v.startsWith(s.IsString ? "sz:" : "dword:"), s.Name);
        }
        QCOMPARE(RegReadInteger("Window1Width", 0), 1020);
        QCOMPARE(RegReadInteger("Window1Height", 0), 725);
        QCOMPARE(RegReadInteger("MenueColor", 0), 0x005EBB);
        QCOMPARE(RegReadInteger("level", 9), 0);
        QCOMPARE(RegReadString("Port", "x"), QString("2401"));
        QCOMPARE(RegReadInteger("Disclaimer", 9), 0);
        QCOMPARE(RegReadInteger("ColSp2", 0), 0x74A9DE);
        // The options took their values.
        QCOMPARE(FormGO->GetGameType(), 1);
        QCOMPARE(FormGO->GetRating(), 1);
        QVERIFY(FormGO->IsEvaluationImmediate());
        QCOMPARE(FormGO->MaxMerker->Value(), 2);
        QVERIFY(FormOpt->IsSoundOn());
        QCOMPARE(FormOpt->ColourImage(8)->Tag, 0xFF0000);
        // The stored size, as far as the screen holds it.
        QCOMPARE(Form1->size(), QSize(1020, 725).boundedTo(Form1->screen()->availableGeometry().size()));
        QVERIFY(!Form1->LogoPic->isVisibleTo(Form1));
        QVERIFY(Form1->ToolPanel->isVisibleTo(Form1));

        // Accepting the terms stores it and lets the start-up go on.
        Disclaimer->CheckBox1->click();
        QVERIFY(Disclaimer->BitBtn1->isEnabled());
        Disclaimer->acceptClick();
        QCOMPARE(RegReadInteger("Disclaimer", 0), 1);
        QVERIFY(Form1->SplashTimer->isActive());
        fx->RunStartupTo(160);
        QCOMPARE(Form1->SplashTimer->Tag, 153);
        QVERIFY(!Form1->SplashTimer->isActive());
        QVERIFY(FormStart->isVisible());
        QVERIFY(Form1->SinglePlayerGame);
        QVERIFY(Form1->MsgTimer->isActive() && Form1->Blinken->isActive() && Form1->WartezeitTimer->isActive());
        QVERIFY(NETZ->SendTimer->isActive());
        QCOMPARE(Form1->CountsPerTenth, qint64(100000000));
        QCOMPARE(Form1->Label1->text(), QString("v03.00-04"));
        Form1->hide();
        FormStart->hide();
    }

    void storedValuesAreApplied()
    {
        freshStart(true);
        RegWriteInteger("Spielart", 3);
        RegWriteInteger("AnzMerker", 7);
        RegWriteInteger("Window1Width", 760);
        RegWriteInteger("Sound", 0);
        RegWriteString("Port", "2999");
        fx->RunStartupTo(160);
        QCOMPARE(FormGO->GetGameType(), 3);
        QCOMPARE(FormGO->MaxMerker->Value(), 7);
        QCOMPARE(Form1->width(), 760);
        QVERIFY(!FormOpt->IsSoundOn());
        QCOMPARE(NETZ->Port, 2999);
        Form1->hide();
        FormStart->hide();
    }

    void sharedLevelValueOutOfRange_data()
    {
        QTest::addColumn<int>("storedLevel");
        QTest::addColumn<int>("gameLevel");
        QTest::addColumn<int>("webLevel");
        QTest::addColumn<int>("storedAfter");
        QTest::newRow("internet wrote 4") << 4 << 0 << 1 << 0;
        QTest::newRow("game wrote 0") << 0 << 0 << 1 << 0;
        QTest::newRow("both ranges") << 2 << 2 << 2 << 2;
        QTest::newRow("negative") << -3 << 0 << 1 << 0;
    }
    void sharedLevelValueOutOfRange()
    {
        QFETCH(int, storedLevel);
        QFETCH(int, gameLevel);
        QFETCH(int, webLevel);
        QFETCH(int, storedAfter);
        freshStart(true);
        RegWriteInteger("level", storedLevel);
        fx->RunStartupTo(160);
        QCOMPARE(FormGO->GetLevel(), gameLevel);
        QVERIFY(Form1->BuiltinPuzzleCount() > 0);
        QCOMPARE(WEBForm->LevelM->Tag, webLevel);
        QCOMPARE(RegReadInteger("level", 99), storedAfter);
        Form1->hide();
        FormStart->hide();
    }

    void secondInstanceIsRefused()
    {
        freshStart(true);
        RegWriteInteger("Window1Width", 777);
        QLockFile other(InstanceLockPath());
        QVERIFY(other.tryLock(0));
        fx->RunStartupTo(60);
        QVERIFY(Form1->SecondInstance);
        QVERIFY(!Form1->SplashTimer->isActive());
        QCOMPARE(Form1->SplashTimer->Tag, 45);
        QCOMPARE(fx->Dialogs.Texts(), QStringList{"Das Programm wurde schon gestartet!"});
        // Ending stores nothing: the geometry of the first instance stays.
        Form1->close();
        QCOMPARE(RegReadInteger("Window1Width", 0), 777);
        other.unlock();
    }

    void staleLockIsTakenOver()
    {
        freshStart(true);
        // A lock file left by a process that has ended.
        QProcess p;
        p.start("/bin/true");
        QVERIFY(p.waitForStarted());
        const qint64 deadPid = p.processId();
        QVERIFY(p.waitForFinished());
        QFile f(InstanceLockPath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray::number(deadPid) + "\nsudoku\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        f.close();
        fx->RunStartupTo(60);
        QVERIFY(!Form1->SecondInstance);
        QVERIFY(Form1->HoldsInstanceLock());
        QVERIFY(Form1->SplashTimer->isActive());
    }

    void lockPathNamesTheUser()
    {
        QVERIFY(InstanceLockPath(1000) != InstanceLockPath(1001));
        QCOMPARE(InstanceLockPath(), InstanceLockPath(unsigned(getuid())));
        QVERIFY(InstanceLockPath().startsWith(QDir::tempPath()));
    }

    void anotherUsersCopyDoesNotRefuse()
    {
        if (geteuid() != 0)
            QSKIP("needs root to run a copy under another user id");
        // The other user's copy takes its lock in the same temporary folder.
        const QString tmp = QDir::tempPath();
        const QFileDevice::Permissions tmpPerms = QFile(tmp).permissions();
        const QString base = QFileInfo(tmp).path();
        const QFileDevice::Permissions basePerms = QFile(base).permissions();
        QFile(base).setPermissions(basePerms | QFileDevice::ExeOther);
        QFile(tmp).setPermissions(tmpPerms | QFileDevice::ReadOther | QFileDevice::WriteOther |
                                  QFileDevice::ExeOther);
        const unsigned otherUid = 65534;
        int ready[2], release[2];
        QVERIFY(pipe(ready) == 0 && pipe(release) == 0);
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            char c = 0;
            if (setgid(otherUid) != 0 || setuid(otherUid) != 0)
                _exit(2);
            QLockFile lock(InstanceLockPath(otherUid));
            c = lock.tryLock(0) ? '1' : '0';
            (void)!write(ready[1], &c, 1);
            (void)!read(release[0], &c, 1);
            lock.unlock();
            _exit(0);
        }
        char held = 0;
        QCOMPARE(read(ready[0], &held, 1), ssize_t(1));
        QCOMPARE(held, '1');
        freshStart(true);
        fx->RunStartupTo(60);
        const bool second = Form1->SecondInstance;
        const bool holds = Form1->HoldsInstanceLock();
        char c = 'x';
        (void)!write(release[1], &c, 1);
        int status = 0;
        waitpid(child, &status, 0);
        for (int fd : {ready[0], ready[1], release[0], release[1]})
            close(fd);
        QFile(tmp).setPermissions(tmpPerms);
        QFile(base).setPermissions(basePerms);
        QVERIFY(!second);
        QVERIFY(holds);
        QVERIFY(fx->Dialogs.Texts().isEmpty());
    }

    void closingDuringStartupStoresNoGeometry()
    {
        freshStart(true);
        RegWriteInteger("Window1Left", 333);
        fx->RunStartupTo(30);
        Form1->move(5, 5);
        Form1->close();
        QCOMPARE(RegReadInteger("Window1Left", 0), 333);
    }

    void closeQueryStoresGeometry()
    {
        freshStart(true);
        fx->RunStartupTo(160);
        Form1->resize(1100, 800);
        Form1->close();
        QCOMPARE(RegReadInteger("Window1Width", 0), 1100);
        QCOMPARE(RegReadInteger("Window1Height", 0), 800);
    }

    void closeButtonAsks()
    {
        freshStart(true);
        fx->RunStartupTo(160);
        Form1->show();
        fx->Dialogs.Answers = {mrNo};
        Form1->BTC_CloseClick();
        QVERIFY(Form1->isVisible());
        QCOMPARE(fx->Dialogs.Shown.back().Text, QString("Quadrivo beenden?"));
        QVERIFY(fx->Dialogs.Shown.back().Type == TMsgDlgType::Confirmation);
        fx->Dialogs.Answers = {mrYes};
        Form1->BTC_CloseClick();
        QVERIFY(!Form1->isVisible());
        FormStart->hide();
    }

    void decliningTheTermsEndsWithoutStoring()
    {
        freshStart(false);
        fx->RunStartupTo(150);
        QVERIFY(Disclaimer->isVisible());
        Disclaimer->close(); // title bar
        QCOMPARE(RegReadInteger("Disclaimer", 5), 0);
        QVERIFY(!Form1->isVisible());
        const int width = RegReadInteger("Window1Width", 0);
        Form1->close();
        QCOMPARE(RegReadInteger("Window1Width", 0), width);
    }

    void keypadTranslation_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("keypad");
        QTest::addColumn<bool>("numLockHeld");
        QTest::addColumn<int>("result");
        QTest::newRow("keypad home is 7") << int(Qt::Key_Home) << true << false << int(Qt::Key_7);
        QTest::newRow("cursor block home stays") << int(Qt::Key_Home) << false << false << int(Qt::Key_Home);
        QTest::newRow("numlock held") << int(Qt::Key_Home) << true << true << int(Qt::Key_Home);
        QTest::newRow("clear is 5") << int(Qt::Key_Clear) << true << false << int(Qt::Key_5);
        QTest::newRow("page up 9") << int(Qt::Key_PageUp) << true << false << int(Qt::Key_9);
        QTest::newRow("page down 3") << int(Qt::Key_PageDown) << true << false << int(Qt::Key_3);
        QTest::newRow("end 1") << int(Qt::Key_End) << true << false << int(Qt::Key_1);
        QTest::newRow("left 4") << int(Qt::Key_Left) << true << false << int(Qt::Key_4);
        QTest::newRow("up 8") << int(Qt::Key_Up) << true << false << int(Qt::Key_8);
        QTest::newRow("right 6") << int(Qt::Key_Right) << true << false << int(Qt::Key_6);
        QTest::newRow("down 2") << int(Qt::Key_Down) << true << false << int(Qt::Key_2);
        QTest::newRow("insert 0") << int(Qt::Key_Insert) << true << false << int(Qt::Key_0);
        QTest::newRow("delete point") << int(Qt::Key_Delete) << true << false << int(Qt::Key_Period);
        QTest::newRow("cursor delete stays") << int(Qt::Key_Delete) << false << false << int(Qt::Key_Delete);
        QTest::newRow("other key") << int(Qt::Key_A) << true << false << int(Qt::Key_A);
        QTest::newRow("digit") << int(Qt::Key_7) << true << false << int(Qt::Key_7);
    }
    void keypadTranslation()
    {
        QFETCH(int, key);
        QFETCH(bool, keypad);
        QFETCH(bool, numLockHeld);
        QFETCH(int, result);
        QCOMPARE(TranslateKeypadKey(key, keypad, numLockHeld), result);
    }

    void keypadEventReachesWidgetTranslated()
    {
        freshStart(true);
        QLineEdit edit;
        edit.show();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Home, Qt::KeypadModifier, QString());
        QCoreApplication::sendEvent(&edit, &press);
        QCOMPARE(edit.text(), QString("7"));
        QKeyEvent cursorHome(QEvent::KeyPress, Qt::Key_Home, Qt::NoModifier, QString());
        QCoreApplication::sendEvent(&edit, &cursorHome);
        QCOMPARE(edit.text(), QString("7"));
        QCOMPARE(edit.cursorPosition(), 0);
    }

    void controlTagsAndHelpCursor()
    {
        freshStart(true);
        TLabel label;
        label.Tag = 42;
        TImage image;
        image.Tag = 7;
        TSpinEdit spin;
        spin.Tag = 3;
        TCheckBox check;
        check.Tag = 9;
        TEdit edit;
        QCOMPARE(GetControlTag(&label), 42);
        QCOMPARE(GetControlTag(&image), 7);
        QCOMPARE(GetControlTag(&spin), 3);
        QCOMPARE(GetControlTag(&check), -1);
        QCOMPARE(GetControlTagOr(&edit, 5), 5);
        QCOMPARE(GetControlTag(nullptr), -1);

        SetHelpCursor(&label, Qt::ControlModifier);
        QCOMPARE(Form1->HelpCursor, int16_t(-20));
        QCOMPARE(label.cursor().shape(), Qt::WhatsThisCursor);
        SetHelpCursor(&label, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(Form1->HelpCursor, int16_t(0));
        QCOMPARE(label.cursor().shape(), Qt::ArrowCursor);
        // A check box is not among the controls that take the cursor.
        check.setCursor(Qt::IBeamCursor);
        SetHelpCursor(&check, Qt::ControlModifier);
        QCOMPARE(Form1->HelpCursor, int16_t(-20));
        QCOMPARE(check.cursor().shape(), Qt::IBeamCursor);
    }

    void derivedLabelWithOtherNameIsNotALabel();

    void hoverTracking()
    {
        freshStart(true);
        QPoint pos(10, 10);
        SetCursorPosSource([&pos] { return pos; });
        TLabel cell;
        cell.Tag = 100 + 10 * 3 + 4;
        TLabel mark;
        mark.Tag = 10 * 5 + 6;
        TrackHoveredControl(&cell);
        QCOMPARE(Form1->HoverTag, 34);
        TrackHoveredControl(&mark); // the pointer has not moved
        QCOMPARE(Form1->HoverTag, 34);
        pos = QPoint(11, 10);
        TrackHoveredControl(&mark);
        QCOMPARE(Form1->HoverTag, 56);
        SetCursorPosSource(nullptr);
    }

    void chatEditWarnsPast35()
    {
        freshStart(true);
        fx->Dialogs.Shown.clear();
        Form1->Edit1->setText(QString(35, 'x'));
        QVERIFY(fx->Dialogs.Shown.empty());
        Form1->Edit1->setText(QString(36, 'x'));
        QCOMPARE(fx->Dialogs.Texts(), QStringList{"Nicht mehr als 35 Zeichen!"});
        QCOMPARE(Form1->Edit1->text().size(), 36);
        Form1->Button2Click();
        QVERIFY(Form1->Edit1->text().isEmpty());
    }

    void shortcutsAndTraceToggle()
    {
        freshStart(true);
        QCOMPARE(Form1->LogBoxonoff1->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F12));
        QCOMPARE(Form1->TippOn1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_T));
        QCOMPARE(Form1->Drucken1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
        QVERIFY(!Trace->isVisible());
        Form1->LogBoxonoff1Click();
        QVERIFY(Trace->isVisible());
        Form1->LogBoxonoff1Click();
        QVERIFY(!Trace->isVisible());
    }

    void visibleFormsMask()
    {
        freshStart(true);
        QCOMPARE(Form1->VisibleFormsMask(), 0);
        Vorgabe->show();
        FormOpt->show();
        QCOMPARE(Form1->VisibleFormsMask(), 1 | 16);
        Vorgabe->hide();
        FormOpt->hide();
        // The challenge window is one window, one bit.
        FormCha->show();
        QCOMPARE(Form1->VisibleFormsMask(), 512);
        FormCha->hide();
    }

    // ---- the puzzle of a new game ----

    void typedCodeIsLoadedWithoutRotation()
    {
        freshStart(true);
        fx->RunStartupTo(160);
        Form1->SinglePlayerGame = true;
        const QString puzzle = QString::fromLatin1(kBuiltinPuzzles[2][5]);
        Vorgabe->SpielVorgabe->setText("Gestartet :10.12.2026 11:00:00 Spielcode >" + puzzle + "ID123" + "QWERTYUIO");
        QVERIFY(Form1->PrepareNewGame());
        QCOMPARE(Form1->BuildPuzzleString(), puzzle);
        QCOMPARE(Form1->SymbolSet, QString("QWERTYUIO"));
        QCOMPARE(FormGhost->GhostFeld, puzzle);
        Form1->hide();
        FormStart->hide();
    }

    void badTypedCodeGivesMessageAndNoGame()
    {
        freshStart(true);
        fx->RunStartupTo(160);
        Form1->SinglePlayerGame = true;
        Form1->LoadPuzzleString(QString::fromLatin1(kBuiltinPuzzles[0][0]));
        fx->Dialogs.Shown.clear();
        Vorgabe->SpielVorgabe->setText("Spielcode >ABC");
        QVERIFY(!Form1->PrepareNewGame());
        QCOMPARE(int(fx->Dialogs.Shown.size()), 1);
        QVERIFY(fx->Dialogs.Shown[0].Type == TMsgDlgType::Error);
        QVERIFY(Form1->SymbolSet.isEmpty());
        QCOMPARE(Form1->BuildPuzzleString(), QString::fromLatin1(kBuiltinPuzzles[0][0]));
        Form1->hide();
        FormStart->hide();
    }

    void multiPlayerGameIgnoresTypedCode()
    {
        freshStart(true);
        fx->RunStartupTo(160);
        Form1->SinglePlayerGame = false;
        FormGO->SetLevel(1);
        Vorgabe->SpielVorgabe->setText(QString::fromLatin1(kBuiltinPuzzles[0][0]) + "SS012" + "123456789");
        QVERIFY(Form1->PrepareNewGame());
        QVERIFY(Vorgabe->SpielVorgabe->text().isEmpty());
        QCOMPARE(Form1->SymbolSet, QString("123456789"));
        // A level-1 built-in puzzle, as loaded before rotation and relabelling.
        bool found = false;
        for (int i = 0; i < kBuiltinCounts[1]; ++i)
            found = found || FormGhost->GhostFeld == QString::fromLatin1(kBuiltinPuzzles[1][i]);
        QVERIFY(found);
        Form1->hide();
        FormStart->hide();
    }

    void builtinPuzzleIsTransformed()
    {
        freshStart(true);
        fx->RunStartupTo(160);
        Form1->SinglePlayerGame = true;
        Vorgabe->SpielVorgabe->clear();
        FormGO->SetLevel(3);
        FormGO->SetGameType(2);
        Form1->SymbolSet.clear();
        // Same seed, same draws: rotation code, digit map, then the index.
        RandSeed(77);
        const QString rotation = MakeRandomRotationCode();
        const QString map = MakeRandomDigitMap();
        const int index = Random(kBuiltinCounts[3]);
        RandSeed(77);
        QVERIFY(Form1->PrepareNewGame());
        const QString original = QString::fromLatin1(kBuiltinPuzzles[3][index]);
        QCOMPARE(FormGhost->GhostFeld, original);
        TBoardLayer expected;
        LoadPuzzleStringInto(expected, original);
        ApplyRotationCodeTo(expected, rotation);
        ApplyDigitMapTo(expected, map);
        QCOMPARE(Form1->BuildPuzzleString(), BuildPuzzleStringFrom(expected));
        QCOMPARE(Form1->SymbolSet, QString("ABCDEFGHI"));
        Form1->hide();
        FormStart->hide();
    }

    void importFileRoute()
    {
        freshStart(true);
        const QString dir = fx->Dir() + "/import";
        QDir().mkpath(dir);
        const QString s = QString::fromLatin1(kBuiltinPuzzles[1][2]);
        QByteArray body;
        for (int y = 0; y < 9; ++y)
            body += s.mid(y * 9, 9).toLatin1() + "\r\n";
        {
            QFile f(dir + "/Mittel1.SUDOKU"); // the mask matches without regard to case
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(body);
        }
        RegWriteString("ImportPath", dir);
        RegWriteInteger("Import", 1);
        fx->RunStartupTo(160);
        Form1->SinglePlayerGame = true;
        Vorgabe->SpielVorgabe->clear();
        FormGO->SetLevel(1);
        QCOMPARE(Form1->FileBox->Count(), 1);
        QVERIFY(Form1->PrepareNewGame());
        // Rotation and mixing are off: the file's puzzle as it stands.
        QCOMPARE(Form1->BuildPuzzleString(), s);
        QCOMPARE(FormGhost->GhostFeld, s);

        // No file for the level: the error box and no game.
        fx->Dialogs.Shown.clear();
        FormGO->SetLevel(2);
        QCOMPARE(Form1->FileBox->Count(), 0);
        QVERIFY(!Form1->PrepareNewGame());
        QCOMPARE(fx->Dialogs.Texts(), QStringList{"Keine Datei für diese Schwierigkeit gefunden."});
        QVERIFY(fx->Dialogs.Shown[0].Type == TMsgDlgType::Error);

        // A malformed file is refused with a trace line.
        {
            QFile f(dir + "/schwer.sudoku");
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(body.left(40));
        }
        FormGO->SetLevel(2);
        Trace->cb_sonst->setChecked(true);
        Trace->LogBox->clear();
        QVERIFY(!Form1->PrepareNewGame());
        QVERIFY(Trace->LogBox->Item(0).contains("schwer.sudoku"));

        // A listed file that has gone by the time it is read.
        Form1->FileBox->clear();
        Form1->FileBox->addItem("weg.sudoku");
        Trace->LogBox->clear();
        QVERIFY(!Form1->PrepareNewGame());
        QVERIFY(Trace->LogBox->Item(0).contains("Datei nicht gefunden: "));
        Trace->cb_sonst->setChecked(false);
        Form1->hide();
        FormStart->hide();
    }

    void boardQueries()
    {
        freshStart(true);
        for (int k = 0; k <= 8; ++k)
            for (int x = 1; x <= 9; ++x)
                for (int y = 1; y <= 9; ++y)
                    Form1->Boards[k][x][y] = TGridEntry{};
        Form1->LoadPuzzleString(QString::fromLatin1(kBuiltinPuzzles[0][0]));
        for (int k = 1; k <= 8; ++k)
            Form1->Boards[k] = Form1->Boards[0];
        const int gx = 2, gy = 1; // "E": a given in the first built-in
        QCOMPARE(Form1->Boards[0][gx][gy].State, -1);
        QVERIFY(FormFeld->IsCellFreeOnAllLayers(1, 1));
        QVERIFY(!FormFeld->IsCellFreeOnAllLayers(gx, gy));
        Form1->Boards[3][1][1].State = 3;
        QVERIFY(!FormFeld->IsCellFreeOnAllLayers(1, 1));
        QCOMPARE(FormFeld->MaxStateOverLayers(1, 1), 3);
        QCOMPARE(FormFeld->MaxStateOverLayers(gx, gy), -1);
        int freeCells, freeAll, differing;
        Form1->Boards[3][1][1].Value = Form1->Boards[0][1][1].Value % 9 + 1;
        FormFeld->CountLayer(3, freeCells, freeAll, differing);
        int open = 0;
        for (QChar c : QString::fromLatin1(kBuiltinPuzzles[0][0]))
            open += c.isLower();
        QCOMPARE(freeCells, open - 1);
        QCOMPARE(freeAll, 0);
        QCOMPARE(differing, 1);
        FormGhost->GhostMode = true;
        FormFeld->CountLayer(3, freeCells, freeAll, differing);
        QCOMPARE(freeAll, open - 1);
        FormGhost->GhostMode = false;
    }

};

class TDerivedLabel : public TLabel {
    Q_OBJECT
public:
    using TLabel::TLabel;
};

void TstMainWindow::derivedLabelWithOtherNameIsNotALabel()
{
    freshStart(true);
    TDerivedLabel l;
    l.Tag = 12;
    l.setCursor(Qt::IBeamCursor);
    QCOMPARE(GetControlTag(&l), -1);
    SetHelpCursor(&l, Qt::ControlModifier);
    QCOMPARE(l.cursor().shape(), Qt::IBeamCursor);
}

QTEST_MAIN(TstMainWindow)
#include "tst_mainwindow.moc"
