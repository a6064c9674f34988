// The game options: the rules as click sequences in single and multi-player
// mode, every setter with its stored value and tool-panel text, the level and
// ghost codings, the Bingo text at start-up, the import folder, the start and
// back buttons, tabs, placement and the help-click mode.
#include "common/Fixture.h"
#include "board/ULog.h"
#include "board/UQuadrivo.h"
#include "board/UQuadrivo_Builtin.h"
#include "codes/UQuadrivo_Codes.h"
#include "common/OptionSets.h"
#include "competitions/UChallenge.h"
#include "competitions/Ughost.h"
#include "net/UNETZ.h"
#include "net/UNETZ_Rules.h"
#include "screens/OptionsTestSupport.h"
#include "screens/UGameOptionen.h"
#include "screens/UInfo.h"
#include "screens/UOptionen.h"
#include "screens/UStart.h"
#include "screens/UVorgabe.h"
#include "settings/USonstiges.h"
#include "settings/USystem.h"
#include "solver/UBingo.h"

#include <QDir>
#include <QFile>
#include <QtTest>

Q_DECLARE_METATYPE(TGameOptionValues)

namespace {

// The window's controls by their names.
QObject *control(const QString &name)
{
    TFormGO *g = FormGO;
    const std::pair<const char *, QObject *> controls[] = {
        {"Sud_1", g->Sud_1},
        {"BTC35", g->BTC35},
        {"Sud_2", g->Sud_2},
        {"BTC36", g->BTC36},
        {"rb_AI", g->rb_AI},
        {"rb_AZ", g->rb_AZ},
        {"Sud_4", g->Sud_4},
        {"BTC_Bingo", g->BTC_Bingo},
        {"BingoMax", g->BingoMax},
        {"Label5", g->Label5},
        {"Panel3", g->Panel3},
        {"rb_Bingo_voll", g->rb_Bingo_voll},
        {"rb_Bingo_leer", g->rb_Bingo_leer},
        {"rb_Zahlen", g->rb_Zahlen},
        {"rb_Felder", g->rb_Felder},
        {"rb_fest", g->rb_fest},
        {"rb_alternate", g->rb_alternate},
        {"rb_random", g->rb_random},
        {"eigen_1", g->eigen_1},
        {"BTC110", g->BTC110},
        {"eigen_2", g->eigen_2},
        {"BTC111", g->BTC111},
        {"sofort_1", g->sofort_1},
        {"BTC112", g->BTC112},
        {"sofort_2", g->sofort_2},
        {"BTC113", g->BTC113},
        {"MaxMerker", g->MaxMerker},
        {"BTC114", g->BTC114},
        {"Grad_1", g->Grad_1},
        {"BTC60", g->BTC60},
        {"BTC61", g->BTC61},
        {"BTC62", g->BTC62},
        {"BTC63", g->BTC63},
        {"Import_1", g->Import_1},
        {"BTC102", g->BTC102},
        {"Rot_1", g->Rot_1},
        {"BTC103", g->BTC103},
        {"Mix_1", g->Mix_1},
        {"BTC104", g->BTC104},
        {"Reg_1", g->Reg_1},
        {"Reg_2", g->Reg_2},
        {"Reg_3", g->Reg_3},
        {"Reg_4", g->Reg_4},
        {"Grad_2", g->Grad_2},
        {"Grad_3", g->Grad_3},
        {"Grad_4", g->Grad_4},
        {"BTC64", g->BTC64},
        {"BTC65", g->BTC65},
        {"BTC66", g->BTC66},
        {"BTC67", g->BTC67},
        {"BonusMerker_1", g->BonusMerker_1},
        {"BTC115", g->BTC115},
    };
    for (const auto &c : controls)
        if (name == QLatin1String(c.first))
            return c.second;
    return nullptr;
}

// A click as the user makes it: a disabled control gets none, a radio button
// is checked before its click handler runs, "name=value" changes a spin edit.
void click(const QString &what)
{
    const QStringList parts = what.split('=');
    QObject *o = control(parts[0]);
    QVERIFY2(o, qPrintable(what));
    if (auto *spin = qobject_cast<TSpinEdit *>(o)) {
        spin->setValue(parts.value(1).toInt());
        return;
    }
    auto *w = qobject_cast<QWidget *>(o);
    if (!w->isEnabled())
        return;
    if (auto *rb = qobject_cast<TRadioButton *>(o))
        rb->setChecked(true);
    FormGO->ButtonClick(o);
}

// An imported option set with rotation and mixing as given.
TGameOptionValues imported(TGameOptionValues v, bool rotation, bool mix)
{
    v.Rotation = rotation;
    v.Mix = mix;
    return v;
}

const QStringList kLockable = {"BTC110", "BTC111", "BTC112", "BTC113", "BTC115", "BTC103", "BTC104"};

QStringList disabledCaptions()
{
    QStringList out;
    for (const QString &n : kLockable)
        if (!qobject_cast<QWidget *>(control(n))->isEnabled())
            out << n;
    return out;
}
} // namespace

class TstGameOptions : public QObject {
    Q_OBJECT
    std::unique_ptr<TTestFixture> fx;
    bool firstStartDone = false;
    int sends = 0;
    QList<int> topics;

    // A started program on a fresh store (or on the one left by the last run).
    void start(bool clearStore = true)
    {
        firstStartDone = false;
        StartProgram(*fx, clearStore);
        sends = 0;
        topics.clear();
    }

    // The options window opened from the start screen in a play mode.
    void openInMode(int playMode)
    {
        FormStart->PlayMode = playMode;
        FormGO->ApplyOptionRules();
        FormGO->show();
        sends = 0;
    }

private slots:
    void initTestCase()
    {
        fx = std::make_unique<TTestFixture>();
        SetSendOptionsObserver([this] { ++sends; });
        SetHelpTopicObserver([this](int t) { topics << t; });
    }
    void cleanupTestCase()
    {
        SetSendOptionsObserver(nullptr);
        SetHelpTopicObserver(nullptr);
        fx.reset();
    }
    void cleanup()
    {
        if (Form1)
            Form1->HelpCursor = 0;
        for (QWidget *w :
             {static_cast<QWidget *>(FormGO), static_cast<QWidget *>(FormInfo), static_cast<QWidget *>(FormStart),
              static_cast<QWidget *>(FormGhost), static_cast<QWidget *>(FormCha)})
            if (w)
                w->hide();
    }

    // ---- the rules as click sequences ----

    void clickSequences_data()
    {
        QTest::addColumn<int>("playMode");
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<int>("gameType");
        QTest::addColumn<int>("ownBoard");
        QTest::addColumn<int>("immediate");
        QTest::addColumn<QStringList>("disabled");
        QTest::addColumn<QString>("artLabel");
        QTest::addColumn<int>("sends");
        QTest::addColumn<QStringList>("storedValues");

        const QStringList singleLocks = {"BTC110", "BTC111", "BTC115", "BTC103", "BTC104"};
        QTest::newRow("single: nothing clicked") << 10 << QStringList{} << 1 << 1 << 1 << singleLocks << "Sudoku" << 0
                                                 << QStringList{"Spielart=1", "eigenesfeld=1", "Durchspielen=1"};
        QTest::newRow("single: Bingo locks board and evaluation")
            << 10 << QStringList{"BTC_Bingo"} << 4 << 1 << 1
            << QStringList{"BTC110", "BTC111", "BTC112", "BTC113", "BTC115", "BTC103", "BTC104"} << "Bingo(4) auffüllen"
            << 1 << QStringList{"Spielart=4", "AnzBingo=4", "eigenesfeld=1"};
        QTest::newRow("multi: Bingo shares the board")
            << 20 << QStringList{"Sud_4"} << 4 << 0 << 1
            << QStringList{"BTC110", "BTC111", "BTC112", "BTC113", "BTC115", "BTC103", "BTC104"} << "Bingo(4) auffüllen"
            << 1 << QStringList{"eigenesfeld=0", "Durchspielen=1"};
        QTest::newRow("multi: back to Sudoku unlocks the board")
            << 20 << QStringList{"BTC_Bingo", "BTC35"} << 1 << 0 << 1
            << QStringList{"BTC112", "BTC113", "BTC115", "BTC103", "BTC104"} << "Sudoku" << 2
            << QStringList{"Spielart=1", "eigenesfeld=0"};
        QTest::newRow("multi: shared board forces evaluation at once")
            << 20 << QStringList{"BTC110", "BTC113", "BTC111"} << 1 << 0 << 1
            << QStringList{"BTC112", "BTC113", "BTC115", "BTC103", "BTC104"} << "Sudoku" << 3
            << QStringList{"eigenesfeld=0", "Durchspielen=1"};
        QTest::newRow("multi: own board allows evaluation at the end")
            << 20 << QStringList{"eigen_1", "sofort_2"} << 1 << 1 << 0 << QStringList{"BTC115", "BTC103", "BTC104"}
            << "Sudoku" << 2 << QStringList{"eigenesfeld=1", "Durchspielen=0"};
        QTest::newRow("single: locked board choices ignore clicks")
            << 10 << QStringList{"BTC111", "eigen_2"} << 1 << 1 << 1 << singleLocks << "Sudoku" << 0
            << QStringList{"eigenesfeld=1"};
        QTest::newRow("single: evaluation at the end") << 10 << QStringList{"BTC113"} << 1 << 1 << 0 << singleLocks
                                                       << "Sudoku" << 1 << QStringList{"Durchspielen=0"};
        QTest::newRow("letters A-I, then A-Z") << 10 << QStringList{"BTC36", "rb_AZ"} << 3 << 1 << 1 << singleLocks
                                               << "Mojidoku(A-Z)" << 2 << QStringList{"Spielart=3"};
        QTest::newRow("letters by picture") << 10 << QStringList{"Sud_2"} << 2 << 1 << 1 << singleLocks
                                            << "Mojidoku(A-I)" << 1 << QStringList{"Spielart=2"};
        QTest::newRow("Bingo refill when empty, numbers fixed")
            << 10 << QStringList{"BTC_Bingo", "rb_Bingo_leer"} << 4 << 1 << 1
            << QStringList{"BTC110", "BTC111", "BTC112", "BTC113", "BTC115", "BTC103", "BTC104"}
            << "Bingo(4 Zahlen) wenn leer" << 2 << QStringList{"BingoArt=2", "Spielart=4"};
        QTest::newRow("Bingo fields, changing at random, 2 per draw")
            << 10 << QStringList{"BTC_Bingo", "rb_Bingo_leer", "rb_Felder", "rb_random", "BingoMax=2"} << 4 << 1 << 1
            << QStringList{"BTC110", "BTC111", "BTC112", "BTC113", "BTC115", "BTC103", "BTC104"}
            << "Bingo(2 Zufall) wenn leer" << 5
            << QStringList{"BingoArt=2", "BingoModus=2", "BingoFest=2", "AnzBingo=2"};
        QTest::newRow("Bingo alternating, fixed fields")
            << 10 << QStringList{"BTC_Bingo", "rb_Bingo_leer", "rb_alternate"} << 4 << 1 << 1
            << QStringList{"BTC110", "BTC111", "BTC112", "BTC113", "BTC115", "BTC103", "BTC104"}
            << "Bingo(4 wechselnd) wenn leer" << 3 << QStringList{"BingoFest=1"};
        QTest::newRow("Bingo radios are locked outside Bingo")
            << 10 << QStringList{"rb_Bingo_leer", "rb_Felder"} << 1 << 1 << 1 << singleLocks << "Sudoku" << 0
            << QStringList{"BingoArt=1", "BingoModus=0"};
        QTest::newRow("Profi allows the bonus") << 10 << QStringList{"BTC67", "BTC115"} << 1 << 1 << 1
                                                << QStringList{"BTC110", "BTC111", "BTC103", "BTC104"} << "Sudoku" << 2
                                                << QStringList{"bewertung=4", "BonusMerker=1"};
        QTest::newRow("leaving Profi turns the bonus off")
            << 10 << QStringList{"Reg_1", "BonusMerker_1", "BTC65"} << 1 << 1 << 1 << singleLocks << "Sudoku" << 3
            << QStringList{"bewertung=2", "BonusMerker=0"};
        QTest::newRow("a bonus click outside Profi is undone")
            << 10 << QStringList{"BonusMerker_1"} << 1 << 1 << 1 << singleLocks << "Sudoku" << 1
            << QStringList{"BonusMerker=0"};
        QTest::newRow("import unlocks rotation and mixing")
            << 10 << QStringList{"BTC102", "Rot_1", "BTC104"} << 1 << 1 << 1
            << QStringList{"BTC110", "BTC111", "BTC115"} << "Sudoku" << 4
            << QStringList{"Import=1", "Rotation=1", "Mixen=1"};
        QTest::newRow("import off turns rotation and mixing off")
            << 10 << QStringList{"Import_1", "BTC103", "Mix_1", "BTC102"} << 1 << 1 << 1 << singleLocks << "Sudoku" << 6
            << QStringList{"Import=0", "Rotation=0", "Mixen=0"};
        QTest::newRow("pencil-mark limit") << 10 << QStringList{"MaxMerker=5", "BTC114"} << 1 << 1 << 1 << singleLocks
                                           << "Sudoku" << 2 << QStringList{"AnzMerker=5"};
        QTest::newRow("level") << 20 << QStringList{"BTC62"} << 1 << 1 << 1 << QStringList{"BTC115", "BTC103", "BTC104"}
                               << "Sudoku" << 1 << QStringList{"level=2"};
    }
    void clickSequences()
    {
        QFETCH(int, playMode);
        QFETCH(QStringList, clicks);
        QFETCH(int, gameType);
        QFETCH(int, ownBoard);
        QFETCH(int, immediate);
        QFETCH(QStringList, disabled);
        QFETCH(QString, artLabel);
        QFETCH(int, sends);
        QFETCH(QStringList, storedValues);
        start();
        openInMode(playMode);
        for (const QString &c : clicks)
            click(c);
        QCOMPARE(FormGO->GetGameType(), gameType);
        QCOMPARE(FormGO->EigenM->Tag, ownBoard);
        QCOMPARE(FormGO->SofortM->Tag, immediate);
        QCOMPARE(disabledCaptions(), disabled);
        QCOMPARE(Form1->art_label->text(), artLabel);
        QCOMPARE(this->sends, sends);
        for (const QString &kv : storedValues) {
            const QStringList p = kv.split('=');
            QCOMPARE(RegReadInteger(p[0], -99), p[1].toInt());
        }
        // The pictures follow the markers.
        QCOMPARE(Ticked(FormGO->eigen_1), ownBoard == 1);
        QCOMPARE(Ticked(FormGO->eigen_2), ownBoard == 0);
        QCOMPARE(Ticked(FormGO->sofort_1), immediate == 1);
        QCOMPARE(Boxed(FormGO->sofort_1), immediate == 0);
        QCOMPARE(Ticked(FormGO->Sud_4), gameType == 4);
        QCOMPARE(Ticked(FormGO->Sud_1), gameType == 1);
        QCOMPARE(Ticked(FormGO->Sud_2), gameType == 2 || gameType == 3);
        QCOMPARE(Form1->spielfeld_Label->text(), QString(ownBoard ? "jeder ein eigenes" : "alle ein gemeinsames"));
        QCOMPARE(Form1->Auswertung_Label->text(), QString(immediate ? "sofort nach Eingabe" : "nach letztem Feld"));
    }

    void labelsOfTheToolPanel()
    {
        start();
        openInMode(10);
        click("BTC67");
        click("BTC115");
        click("MaxMerker=7");
        QCOMPARE(Form1->Regel_label->text(), QString("Profi"));
        QCOMPARE(Form1->Merker_label->text(), QString("je Feld : 7 + Bonus"));
        QVERIFY(Ticked(FormGO->Reg_4) && Boxed(FormGO->Reg_1) && Ticked(FormGO->BonusMerker_1));
        click("BTC63");
        QCOMPARE(Form1->grad_label->text(), QString("Profi"));
        QCOMPARE(Form1->FileBox->Mask, QString("p*.sudoku"));
        QVERIFY(Ticked(FormGO->Grad_4) && Boxed(FormGO->Grad_1));
        click("BTC102");
        QCOMPARE(Form1->grad_label->text(), QString("Profi (Import)"));
        // Any rating but Profi: bonus off, the default limit without the suffix.
        click("MaxMerker=2");
        click("BTC66");
        QCOMPARE(Form1->Merker_label->text(), QString("je Feld : 2"));
        QCOMPARE(Form1->Regel_label->text(), QString("Schwer"));
    }

    void clicksWhileHiddenChangeNothing()
    {
        start();
        QVERIFY(!FormGO->isVisible());
        FormGO->ButtonClick(FormGO->BTC_Bingo);
        FormGO->ButtonClick(FormGO->BTC102);
        FormGO->MaxMerker->setValue(6);
        QCOMPARE(FormGO->GetGameType(), 1);
        QCOMPARE(FormGO->ImpM->Tag, 0);
        QCOMPARE(RegReadInteger("AnzMerker", 0), 2);
        QCOMPARE(sends, 0);
    }

    void lockedGameTypePictures()
    {
        // The challenge window locks Bingo and letters by their captions.
        start();
        openInMode(10);
        FormGO->BTC_Bingo->setEnabled(false);
        FormGO->BTC36->setEnabled(false);
        click("Sud_4");
        click("Sud_2");
        QCOMPARE(FormGO->GetGameType(), 1);
        QCOMPARE(sends, 0);
    }

    void unknownGameTypeCountsAsSudoku()
    {
        start();
        FormGO->SetGameType(9);
        QCOMPARE(FormGO->GetGameType(), 1);
        QCOMPARE(RegReadInteger("Spielart", 0), 1);
        QCOMPARE(Form1->art_label->text(), QString("Sudoku"));
    }

    // ---- help-click mode ----

    void helpClickMode_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("topic");
        QTest::newRow("Sudoku picture") << "Sud_1" << 12;
        QTest::newRow("Sudoku caption") << "BTC35" << 12;
        QTest::newRow("Bingo picture") << "Sud_4" << 13;
        QTest::newRow("Bingo caption") << "BTC_Bingo" << 13;
        QTest::newRow("Bingo count") << "BingoMax" << 13;
        QTest::newRow("Bingo refill") << "rb_Bingo_leer" << 13;
        QTest::newRow("rating picture") << "Reg_3" << 14;
        QTest::newRow("rating caption") << "BTC67" << 14;
        QTest::newRow("bonus") << "BTC115" << 14;
        QTest::newRow("bonus picture") << "BonusMerker_1" << 14;
        QTest::newRow("import: no topic") << "BTC102" << 0;
        QTest::newRow("board: no topic") << "BTC113" << 0;
    }
    void helpClickMode()
    {
        QFETCH(QString, name);
        QFETCH(int, topic);
        start();
        openInMode(20);
        FormGO->BTC115->setEnabled(true);
        Form1->HelpCursor = -20;
        FormGO->ButtonClick(control(name));
        QCOMPARE(topics, topic ? QList<int>{topic} : QList<int>{});
        QCOMPARE(FormInfo->isVisible(), topic != 0);
        // Nothing acts in this mode.
        QCOMPARE(FormGO->GetGameType(), 1);
        QCOMPARE(FormGO->GetRating(), 1);
        QCOMPARE(FormGO->SofortM->Tag, 1);
        QCOMPARE(FormGO->ImpM->Tag, 0);
        QCOMPARE(sends, 0);
    }

    void bingoPanelHelp()
    {
        start();
        FormGO->show();
        FormGO->Panel3Click(FormGO->Label5);
        QVERIFY(topics.isEmpty());
        Form1->HelpCursor = -20;
        FormGO->Panel3Click(FormGO->Panel3);
        FormGO->Panel3Click(FormGO->Panel1);
        QCOMPARE(topics, QList<int>{13});
    }

    void helpCursorOverControls()
    {
        start();
        FormGO->OK_LabelMouseMove(FormGO->BTC35, Qt::ControlModifier);
        QCOMPARE(Form1->HelpCursor, int16_t(-20));
        QCOMPARE(FormGO->BTC35->cursor().shape(), Qt::WhatsThisCursor);
        FormGO->OK_LabelMouseMove(FormGO->rb_AZ, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(Form1->HelpCursor, int16_t(0));
    }

    // ---- levels ----

    void levelOutsideRangeIsLeicht_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("mask");
        QTest::newRow("17") << 17 << 0 << "l*.sudoku";
        QTest::newRow("4 (internet level)") << 4 << 0 << "l*.sudoku";
        QTest::newRow("negative") << -2 << 0 << "l*.sudoku";
        QTest::newRow("12 outside a ghost game") << 12 << 0 << "l*.sudoku";
        QTest::newRow("3") << 3 << 3 << "p*.sudoku";
        QTest::newRow("1") << 1 << 1 << "m*.sudoku";
    }
    void levelOutsideRangeIsLeicht()
    {
        QFETCH(int, value);
        QFETCH(int, level);
        QFETCH(QString, mask);
        start();
        FormGO->SetLevel(2);
        sends = 0;
        FormGO->SetLevel(value);
        QCOMPARE(FormGO->GetLevel(), level);
        QCOMPARE(RegReadInteger("level", -1), level);
        QCOMPARE(Form1->FileBox->Mask, mask);
        QCOMPARE(Form1->grad_label->text(), TFormGO::LevelName(level));
        QCOMPARE(FormGO->ImpM->Tag, 0);
        QCOMPARE(sends, 1);
        QVERIFY(Form1->BuiltinPuzzleCount() > 0);
    }

    void storedInternetLevelStartsAsLeicht()
    {
        fx->DestroyWindows();
        fx->ClearSettings();
        RegWriteInteger("level", 4);
        start(false);
        QCOMPARE(FormGO->GetLevel(), 0);
        QCOMPARE(Form1->grad_label->text(), QString("Leicht"));
        QCOMPARE(Form1->FileBox->Mask, QString("l*.sudoku"));
    }

    void names_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("level");
        QTest::addColumn<QString>("rating");
        QTest::newRow("0") << 0 << "Leicht"
                           << "";
        QTest::newRow("1") << 1 << "Mittel"
                           << "Leicht";
        QTest::newRow("3") << 3 << "Profi"
                           << "Schwer";
        QTest::newRow("4") << 4 << ""
                           << "Profi";
        QTest::newRow("10") << 10 << "Leicht(Import)"
                            << "";
        QTest::newRow("13") << 13 << "Profi(Import)"
                            << "";
        QTest::newRow("14") << 14 << ""
                            << "";
        QTest::newRow("-1") << -1 << ""
                            << "";
    }
    void names()
    {
        QFETCH(int, value);
        QFETCH(QString, level);
        QFETCH(QString, rating);
        QCOMPARE(TFormGO::LevelName(value), level);
        QCOMPARE(TFormGO::RatingName(value), rating);
    }

    void ghostFileLevelCoding_data()
    {
        QTest::addColumn<int>("importBefore");
        QTest::addColumn<int>("coded");
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("import");
        QTest::addColumn<QString>("label");
        QTest::newRow("12: Schwer with import") << 0 << 12 << 2 << 1 << "Schwer (Import)";
        QTest::newRow("10: Leicht with import") << 1 << 10 << 0 << 1 << "Leicht (Import)";
        QTest::newRow("1: import switched off") << 1 << 1 << 1 << 0 << "Mittel";
        QTest::newRow("3 without import") << 0 << 3 << 3 << 0 << "Profi";
        QTest::newRow("a broken 7") << 1 << 7 << 0 << 0 << "Leicht";
    }
    void ghostFileLevelCoding()
    {
        QFETCH(int, importBefore);
        QFETCH(int, coded);
        QFETCH(int, level);
        QFETCH(int, import);
        QFETCH(QString, label);
        start();
        FormGhost->GhostMode = true;
        FormGO->SetImport(importBefore);
        FormGO->SetLevelFromGhostFile(coded);
        QCOMPARE(FormGO->GetLevel(), level);
        QCOMPARE(FormGO->ImpM->Tag, import);
        QCOMPARE(Form1->grad_label->text(), label);
        QCOMPARE(RegReadInteger("Import", -1), import);
        FormGhost->GhostMode = false;
    }

    void ghostLevelThroughSetLevel()
    {
        // A ghost file's level handed straight to SetLevel still selects the import.
        start();
        FormGhost->GhostMode = true;
        FormGO->SetLevel(12);
        QCOMPARE(FormGO->GetLevel(), 2);
        QCOMPARE(FormGO->ImpM->Tag, 1);
        QCOMPARE(Form1->grad_label->text(), QString("Schwer (Import)"));
        FormGhost->GhostMode = false;
    }

    void importStaysOnInGhostMode()
    {
        // After a ghost game the ghost window keeps its mode: switching import
        // on, or choosing a level, must not switch it straight off again.
        start();
        FormGhost->GhostMode = true;
        openInMode(10);
        click("BTC102");
        QCOMPARE(FormGO->ImpM->Tag, 1);
        click("BTC61");
        QCOMPARE(FormGO->ImpM->Tag, 1);
        QCOMPARE(FormGO->GetLevel(), 1);
        QCOMPARE(Form1->grad_label->text(), QString("Mittel (Import)"));
        click("Rot_1");
        QCOMPARE(FormGO->RotM->Tag, 1);
        FormGhost->GhostMode = false;
    }

    // ---- the options as one set of values ----

    void valuesAfterApply_data()
    {
        QTest::addColumn<TGameOptionValues>("options");
        QTest::newRow("Sudoku, easy") << OptionSet(2, false, 0, 1, false, 1, true, true);
        QTest::newRow("letters A-I, shared board, at the end") << OptionSet(0, false, 1, 2, false, 2, false, false);
        QTest::newRow("letters A-Z, Profi with bonus") << OptionSet(9, true, 3, 3, false, 4, true, true);
        QTest::newRow("import with rotation and mixing")
            << imported(OptionSet(5, false, 1, 1, true, 3, true, false), true, true);
        QTest::newRow("import as the files stand")
            << imported(OptionSet(2, false, 1, 1, true, 2, true, true), false, false);
        QTest::newRow("import, mixing only") << imported(OptionSet(3, true, 2, 2, true, 4, false, true), false, true);
        QTest::newRow("Bingo fields, random, when empty, 3") << BingoOptionSet(3, 2, true, 2);
        QTest::newRow("Bingo numbers, alternating, when empty, 2") << BingoOptionSet(2, 2, false, 1);
        QTest::newRow("Bingo numbers, refill at once, 1") << BingoOptionSet(1, 1, false, 0);
    }
    void valuesAfterApply()
    {
        QFETCH(TGameOptionValues, options);
        start();
        const QString dir = fx->Dir() + "/import";
        QDir().mkpath(dir);
        options.ImportDir = QDir::toNativeSeparators(dir);
        // The rules of single play lock the board sharing: unlock what the
        // set is to change, as a host's options are applied.
        FormGO->UnlockOptionCaptions();
        FormGO->Apply(options);
        QCOMPARE(FormGO->Values(), options);
        QCOMPARE(FormGO->GetGameType(), options.Bingo ? 4 : options.SymbolKind);
        QCOMPARE(RegReadInteger("Rotation", -1), options.Rotation ? 1 : 0);
        QCOMPARE(RegReadInteger("Mixen", -1), options.Mix ? 1 : 0);
        QCOMPARE(RegReadString("ImportPath", QString()), options.ImportDir);
        QCOMPARE(RegReadInteger("Spielart", -1), options.Bingo ? 4 : options.SymbolKind);

        // The options telegram carries the applied values.
        NETZ->Tel = TTelegram();
        NETZ->EncodeOptions();
        QVERIFY(PackedOptionsOf(NETZ->Tel) == PackOptions(options));

        // The Bingo draw reads them.
        const TBingoSettings b = BingoSettingsFromOptions();
        QCOMPARE(IsBingoActive(), options.Bingo);
        QCOMPARE(b.Max, options.BingoMax);
        QCOMPARE(b.RefillEmpty, options.BingoFill == 2);
        QCOMPARE(b.Numbers, !options.BingoFields);
        QCOMPARE(b.Fixed, options.BingoChange == 0);
        QCOMPARE(b.Alternate, options.BingoChange == 1);
        QCOMPARE(b.Random, options.BingoChange == 2);

        // The game: its options code, and the puzzle from the applied folder
        // with import on.
        QCOMPARE(Form1->BuildOptionsCode(), MakeOptionsCode(options.Bingo ? 4 : options.SymbolKind, options.Immediate,
                                                            options.Level, options.Rating, options.MaxMarks));
        if (options.Import && !options.Rotation && !options.Mix) {
            const QString puzzle = QString::fromLatin1(kBuiltinPuzzles[options.Level][1]);
            QByteArray body;
            for (int y = 0; y < 9; ++y)
                body += puzzle.mid(y * 9, 9).toLatin1() + "\r\n";
            QFile f(dir + "/" + ImportMaskForLevel(options.Level).left(1) + "1.sudoku");
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(body);
            f.close();
            FormGO->SetLevel(options.Level);
            Form1->SinglePlayerGame = true;
            Vorgabe->SpielVorgabe->clear();
            QVERIFY(Form1->PrepareNewGame());
            QCOMPARE(Form1->BuildPuzzleString(), puzzle);
            QDir(dir).removeRecursively();
        }
    }

    void applyKeepsLockedOptionsAndBingoSettings()
    {
        start();
        // Single play: an own board is forced and its captions are locked.
        TGameOptionValues v = FormGO->Values();
        QVERIFY(v.OwnBoard);
        v.OwnBoard = false;
        v.Rating = 3;
        // Without Bingo the draw settings stay as the window has them.
        v.BingoMax = 2;
        v.BingoFill = 2;
        v.BingoChange = 1;
        FormGO->Apply(v);
        const TGameOptionValues now = FormGO->Values();
        QVERIFY(now.OwnBoard);
        QCOMPARE(now.Rating, 3);
        QCOMPARE(now.BingoMax, 4);
        QCOMPARE(now.BingoFill, 1);
        QCOMPARE(now.BingoChange, 0);
        // Rotation and mixing need import: without it they stay off.
        v = now;
        v.Rotation = true;
        v.Mix = true;
        FormGO->Apply(v);
        QVERIFY(!FormGO->Values().Rotation && !FormGO->Values().Mix);
    }

    // ---- start-up ----

    void bingoTextAtStartup_data()
    {
        QTest::addColumn<int>("art");
        QTest::addColumn<int>("modus");
        QTest::addColumn<int>("fest");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("label");
        QTest::addColumn<bool>("changeEnabled");
        QTest::newRow("refill at once") << 1 << 0 << 0 << 4 << "Bingo(4) auffüllen" << false;
        QTest::newRow("when empty, fixed numbers") << 2 << 1 << 0 << 3 << "Bingo(3 Zahlen) wenn leer" << true;
        QTest::newRow("when empty, fixed fields") << 2 << 2 << 0 << 1 << "Bingo(1 Felder) wenn leer" << true;
        QTest::newRow("when empty, random") << 2 << 1 << 2 << 4 << "Bingo(4 Zufall) wenn leer" << true;
        QTest::newRow("when empty, alternating") << 2 << 2 << 1 << 2 << "Bingo(2 wechselnd) wenn leer" << true;
    }
    void bingoTextAtStartup()
    {
        QFETCH(int, art);
        QFETCH(int, modus);
        QFETCH(int, fest);
        QFETCH(int, count);
        QFETCH(QString, label);
        QFETCH(bool, changeEnabled);
        fx->DestroyWindows();
        fx->ClearSettings();
        RegWriteInteger("Spielart", 4);
        RegWriteInteger("BingoArt", art);
        RegWriteInteger("BingoModus", modus);
        RegWriteInteger("BingoFest", fest);
        RegWriteInteger("AnzBingo", count);
        start(false);
        QCOMPARE(FormGO->GetGameType(), 4);
        QCOMPARE(Form1->art_label->text(), label);
        QCOMPARE(FormGO->rb_random->isEnabled(), changeEnabled);
        QCOMPARE(FormGO->rb_Bingo_leer->isChecked(), art == 2);
    }

    void firstStartStoresDefaults_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("value");
        QTest::newRow("Spielart") << "Spielart" << 1;
        QTest::newRow("AnzBingo") << "AnzBingo" << 4;
        QTest::newRow("BingoArt") << "BingoArt" << 1;
        QTest::newRow("BingoModus") << "BingoModus" << 0;
        QTest::newRow("BingoFest") << "BingoFest" << 0;
        QTest::newRow("level") << "level" << 0;
        QTest::newRow("Import") << "Import" << 0;
        QTest::newRow("Rotation") << "Rotation" << 0;
        QTest::newRow("Mixen") << "Mixen" << 0;
        QTest::newRow("bewertung") << "bewertung" << 1;
        QTest::newRow("Durchspielen") << "Durchspielen" << 1;
        QTest::newRow("eigenesfeld") << "eigenesfeld" << 0;
        QTest::newRow("AnzMerker") << "AnzMerker" << 2;
        QTest::newRow("BonusMerker") << "BonusMerker" << 0;
    }
    void firstStartStoresDefaults()
    {
        QFETCH(QString, name);
        QFETCH(int, value);
        // One first start serves every row: the rows only read the store.
        if (!firstStartDone) {
            fx->DestroyWindows();
            fx->ClearSettings();
            fx->CreateWindows();
            firstStartDone = true;
        }
        // Up to the terms window: the read of the settings, before any rule.
        fx->RunStartupTo(150);
        QCOMPARE(StoredRaw(name), QString("dword:%1").arg(value, 8, 16, QChar('0')));
        QCOMPARE(StoredRaw("ImportPath"), "sz:" + QDir::toNativeSeparators(ProgramDir()));
        Form1->hide();
    }

    void rulesAtTheEndOfStartup()
    {
        // Single play is the start: the rules force an own board.
        start();
        QCOMPARE(RegReadInteger("eigenesfeld", -1), 1);
        QVERIFY(!FormGO->BTC110->isEnabled() && !FormGO->BTC115->isEnabled());
        QCOMPARE(Form1->Tabelle_kopf->Picture().cacheKey(), FormOpt->pic_Tabelle_kopf->Picture().cacheKey());
        QCOMPARE(Form1->Merker_label->text(), QString("je Feld : 2"));
        QCOMPARE(Form1->Regel_label->text(), QString("Leicht"));
        QCOMPARE(Form1->grad_label->text(), QString("Leicht"));
    }

    void lettersSurviveARestart()
    {
        start();
        openInMode(10);
        click("BTC36");
        click("rb_AZ");
        QCOMPARE(FormGO->GetGameType(), 3);
        start(false);
        QCOMPARE(FormGO->GetGameType(), 3);
        QVERIFY(FormGO->rb_AZ->isChecked());
        QCOMPARE(Form1->art_label->text(), QString("Mojidoku(A-Z)"));
    }

    // ---- import folder ----

    void missingImportFolderFallsBack()
    {
        fx->DestroyWindows();
        fx->ClearSettings();
        RegWriteString("ImportPath", fx->Dir() + "/gibt-es-nicht");
        start(false);
        const QString expected = QDir::toNativeSeparators(QDir::cleanPath(ProgramDir()));
        QCOMPARE(FormGO->ImportDir->text(), expected);
        QCOMPARE(RegReadString("ImportPath", QString()), expected);
        QCOMPARE(QDir(Form1->FileBox->Directory()), QDir(ProgramDir()));

        // A folder that goes away later: the next level change keeps the list's folder.
        const QString dir = fx->Dir() + "/weg";
        QDir().mkpath(dir);
        FormGO->ImportDir->setText(dir);
        FormGO->SetLevel(1);
        QCOMPARE(QDir(Form1->FileBox->Directory()), QDir(dir));
        QDir(dir).removeRecursively();
        FormGO->SetLevel(2);
        QCOMPARE(FormGO->ImportDir->text(), QDir::toNativeSeparators(dir));
        QCOMPARE(RegReadString("ImportPath", QString()), QDir::toNativeSeparators(dir));
        QCOMPARE(Form1->FileBox->Mask, QString("s*.sudoku"));
    }

    void importFolderFromTheOpenDialog()
    {
        start();
        const QString dir = fx->Dir() + "/raetsel";
        QDir().mkpath(dir);
        QFile f(dir + "/m1.sudoku");
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        openInMode(10);
        // Locked while import is off.
        fx->Dialogs.NextFileName = dir + "/m1.sudoku";
        FormGO->ImportDirClick();
        QVERIFY(FormGO->ImportDir->text() != QDir::toNativeSeparators(dir));
        click("BTC102");
        click("BTC61");
        FormGO->ImportDirClick();
        QCOMPARE(FormGO->ImportDir->text(), QDir::toNativeSeparators(dir));
        QCOMPARE(RegReadString("ImportPath", QString()), QDir::toNativeSeparators(dir));
        QCOMPARE(Form1->FileBox->Count(), 1);
        // A cancelled dialog changes nothing.
        fx->Dialogs.NextFileName.clear();
        FormGO->ImportDirClick();
        QCOMPARE(FormGO->ImportDir->text(), QDir::toNativeSeparators(dir));
    }

    // ---- footer buttons ----

    void startCaption_data()
    {
        QTest::addColumn<bool>("ghostFile");
        QTest::addColumn<bool>("stage");
        QTest::addColumn<QString>("caption");
        QTest::newRow("a game") << false << false << "Starten";
        QTest::newRow("a new ghost file") << true << false << "Erzeugen";
        QTest::newRow("a stage without puzzle") << false << true << "Erweitern";
        QTest::newRow("both") << true << true << "Erweitern";
    }
    void startCaption()
    {
        QFETCH(bool, ghostFile);
        QFETCH(bool, stage);
        QFETCH(QString, caption);
        start();
        FormGhost->NewGhostFile = ghostFile;
        FormCha->NeedNewGame = stage;
        FormGO->show();
        QCOMPARE(FormGO->BTC_Starten->text(), caption);
        FormGhost->NewGhostFile = false;
        FormCha->NeedNewGame = false;
    }

    void startButton()
    {
        start();
        // A new ghost file: back to the ghost window, no game.
        FormGhost->NewGhostFile = true;
        FormGO->show();
        FormGO->BTC_StartenClick();
        QVERIFY(!FormGO->isVisible());
        QVERIFY(FormGhost->isVisible());
        FormGhost->NewGhostFile = false;
        FormGhost->hide();

        // A stage without puzzle gets one from the current options.
        FormCha->NeedNewGame = true;
        FormGO->SetLevel(2);
        FormGO->show();
        FormGO->BTC_StartenClick();
        QCOMPARE(FormCha->StageGameCode.size(), 86);
        QCOMPARE(FormCha->StageGameCode.mid(81), Form1->BuildOptionsCode());
        QVERIFY(!FormGO->isVisible());

        // No puzzle to be had: a trace line, and the window stays open.
        Trace->cb_sonst->setChecked(true);
        Trace->LogBox->clear();
        FormCha->StageGameCode.clear();
        FormGO->SetImport(1);
        Form1->FileBox->clear();
        FormGO->show();
        fx->Dialogs.Shown.clear();
        FormGO->BTC_StartenClick();
        QVERIFY(FormGO->isVisible());
        QVERIFY(FormCha->StageGameCode.isEmpty());
        QVERIFY(Trace->LogBox->Item(Trace->LogBox->Count() - 1).contains("Datei bei getEtappe nicht gefunden."));
        Trace->cb_sonst->setChecked(false);
        FormCha->NeedNewGame = false;
    }

    void backButton_data()
    {
        QTest::addColumn<bool>("ghostFile");
        QTest::addColumn<bool>("challenge");
        QTest::addColumn<bool>("tournament");
        QTest::addColumn<QString>("target");
        QTest::newRow("start screen") << false << false << false << "FormStart";
        QTest::newRow("ghost file") << true << false << false << "FormGhost";
        QTest::newRow("challenge") << false << true << false << "FormCha";
        QTest::newRow("tournament") << false << false << true << "FormCha";
    }
    void backButton()
    {
        QFETCH(bool, ghostFile);
        QFETCH(bool, challenge);
        QFETCH(bool, tournament);
        QFETCH(QString, target);
        start();
        FormGhost->NewGhostFile = ghostFile;
        FormCha->ChallengeActive = challenge;
        FormCha->TournamentActive = tournament;
        FormGO->show();
        FormGO->BTC_ZurueckClick();
        QVERIFY(!FormGO->isVisible());
        QCOMPARE(FormStart->isVisible(), target == "FormStart");
        QCOMPARE(FormGhost->isVisible(), target == "FormGhost");
        QCOMPARE(FormCha->isVisible(), target == "FormCha");
        FormGhost->NewGhostFile = false;
        FormCha->ChallengeActive = FormCha->TournamentActive = false;
    }

    // ---- tabs, placement, hover ----

    void tabs_data()
    {
        QTest::addColumn<int>("tab");
        QTest::newRow("Spielart") << 1;
        QTest::newRow("Schwierigkeit") << 2;
        QTest::newRow("Bewertung") << 3;
    }
    void tabs()
    {
        QFETCH(int, tab);
        start();
        FormGO->show();
        QCOMPARE(FormGO->width(), 355);
        TLabel *const labels[] = {FormGO->Tab_Spielart, FormGO->Tab_Schwierigkeit, FormGO->tab_Bewertung};
        TPanel *const panels[] = {FormGO->Panel_Spielart, FormGO->Panel_Schwierigkeit, FormGO->Panel_Bewertung};
        TImage *const pictures[] = {FormGO->IM_Spielart, FormGO->IM_Schwierigkeit, FormGO->IM_Bewertung};
        FormGO->Tab_SpielartClick(labels[tab - 1]);
        CheckShownTab(FormGO, labels, panels, pictures, tab);
        // Showing the window again starts at the first tab.
        FormGO->hide();
        FormGO->show();
        QVERIFY(FormGO->Panel_Spielart->isVisible());
    }

    void placedOverTheMainWindowOnce()
    {
        start();
        CheckPlacedOnce(FormGO, [] { FormGO->close(); });
    }

    void captionHover()
    {
        start();
        emit FormGO->BTC35->MouseEnter();
        QCOMPARE(FormGO->BTC35->font().pointSize(), 9);
        QVERIFY(FormGO->BTC35->font().bold());
        emit FormGO->BTC35->MouseLeave();
        QCOMPARE(FormGO->BTC35->font().pointSize(), 8);
        QVERIFY(!FormGO->BTC35->font().bold());
        // A locked caption does not light up.
        FormGO->BTC110->setEnabled(false);
        emit FormGO->BTC110->MouseEnter();
        QCOMPARE(FormGO->BTC110->font().pointSize(), 8);
        FormGO->ButtonEnter(FormGO->BTC114);
        QCOMPARE(FormGO->BTC114->font().pointSize(), 9);
        FormGO->ButtonExit(FormGO->BTC114);
        QVERIFY(!FormGO->BTC114->font().bold());
        emit FormGO->BTC_Starten->MouseEnter();
        QVERIFY(FormGO->BTC_Starten->font().bold());
        emit FormGO->BTC_Starten->MouseLeave();
        QCOMPARE(FormGO->BTC_Starten->font().pointSize(), 8);
        QVERIFY(!FormGO->BTC_Starten->font().bold());
    }

    void markersAndTags()
    {
        start();
        // Every option control carries the Tag of its action.
        const std::pair<const char *, int> tags[] = {
            {"Sud_1", 35},    {"BTC36", 36},     {"rb_AZ", 36},      {"rb_random", 101},    {"BingoMax", 101},
            {"BTC63", 63},    {"Reg_1", 64},     {"BTC67", 67},      {"BTC102", 102},       {"Mix_1", 104},
            {"eigen_2", 111}, {"sofort_1", 112}, {"MaxMerker", 114}, {"BonusMerker_1", 115}};
        for (const auto &t : tags)
            QCOMPARE(GetControlTag(control(t.first)), t.second);
        QCOMPARE(FormGO->GradM->isVisible(), false);
        QCOMPARE(QString(FormGO->ImpM->metaObject()->className()), QString("TLabel"));
        QCOMPARE(FormGO->windowTitle(), QString("Spiel Einstellungen"));
        QCOMPARE(FormGO->Titel->text(), QString("Spieleinstellungen :"));
    }
};

QTEST_MAIN(TstGameOptions)
#include "tst_gameoptions.moc"
