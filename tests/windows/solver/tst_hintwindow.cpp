// The hint window over a running game: one hint per technique with its
// title, text, legend boxes, height and the pictures on the board; the held
// buttons that show the solver's candidates and give the player's marks
// back; taking the candidates over; and the puzzle editor's full test.
#include "common/Fixture.h"
#include "board/UQuadrivo.h"
#include "board/UQuadrivo_Builtin.h"
#include "board/UQuadrivo_Input.h"
#include "codes/UQuadrivo_Codes.h"
#include "net/UNETZ.h"
#include "screens/UGameOptionen.h"
#include "screens/UOptionen.h"
#include "screens/UStart.h"
#include "settings/USonstiges.h"
#include "settings/USystem.h"
#include "solver/USolver.h"

#include <QRegularExpression>
#include <QtTest>

namespace {

// Puzzles whose first hint, loaded fresh, is the technique of the row. Each
// was taken from a position of a random puzzle in which no single was left.
const char kStufe3[] = "GIAHBCFEDfEdgaibHcHbcdEFaGiEDHbigCfAaGBfCEDIHIcfaHDEbGdHIcfBGaEbaGEDhicFcfEiGahdB";
const char kZwilling[] = "gEhFbcdiAdAIgeHfcbFBcaidGehhDabgeIfcICbDafeHgeFGhcIBadAHDeFGCbiBIFCDAhgecGeiHBAdf";
const char kDrilling[] = "HdfAebicggeBIhCfDacAIdgfbEhabdFcIGheEIhgBdCaffcGhaedIbDgEBiAhfcihaCFgebdbFcEdhaGi";
const char kVZwilling[] = "DHEabCgFiBGCeifADhFiadghCbeIcfGeDHabAbgfhideChedcabIgfeDihFGbCacabidEfhgGfhBcaeId";
const char kVDrilling[] = "HacbFiEDgBdfceGhiaegIhadFbciCBdGEahffeaiChdgbGhDfbaiCeCBHaiFGEDAIEGDCBFHdfgEHBCAI";
const char kXWing[] = "EDCHiFbgABIAECGHDFGHFADbECiaCGFHdIbEdFHibEgaCIEBGACFHDHGdCEiAFbFBidGACEHCAEbFHDiG";
const char kSueDeCoq5[] = "dFgaeCibhbiCGhdeAfhaEbfiDCgCHBIDEFGAFEAHBGCDIigDfCaBHEEcFdghAibgBiCafhedadHeIbgFc";
const char kSueDeCoq4[] = "gHBEAdfciiECfBgHdAADFciHBEgHgDiEbCAfBiadCfgHEFCEHgAiBDCFIAHEDGBEBHGDIAfcDagbFcEIH";
const char kMerker3[] = "eIHgbdacfdcGfiabEhfaBCHeidGGfcdABhiEHBiegCfAdAdehFIgbcBefACgDhicHaiDFEgbiGdBehCfa";
const char kMerker4[] = "GIAHBCFEDfEdgaiBHcHBcdEFAGiEDHbigCfAaGBfCEDIHIcfaHDEbGdHIcfBGaEBaGEDhicFcfEiGahdB";
const char kMerker5[] = "BCFAEIgdhgAHBcDfEiiDEFgHbcaFBIEDCAHGeHCGBaIfdaGDIHfebcDEBHAGcIfCIADFEhgbHFGCIBdae";
const char kMerker6[] = "BgeFhaIcDdcHgBIFaEIAFECDHBGAidhgFBEceHbIDcAGfgfCaEbDhifbicAGEDhceADIhGFBhdgBFECiA";
const char kMerker7[] = "iAfHECDgbDEBIGFCHAhGcDABFEIcDeAbIHFgfBgcDHIaEaHigFEbCDGFAbcDeIHbCheIAGDFeIDFHGabC";
const char kMerker8[] = "ABICdefGHECDfGHIabGHFIBaCDeCIBdEfGHaHdAGICebffEGHaBdCIiACEHdBfGdGHbfIaECbfEaCGHid";
const char kMerker10[] = "EAGBCDHIFFICheaDgBHbdgIfeCAbceahIgFDadhfGbIeCIgFeDcAbHdFbIAgCHeghacbEFDIceIDFhBAg";
const char kMerker11[] = "cHEgDfiaBDFGIBACEHBaiechgfDiBFDAcHGEEgaHFiBDChDcBegAIFgiBFhDECaaEDcgBFHiFChaIeDBG";
// Logic finds nothing: the open cells need a guess.
const char kNothing[] = "ADBFGHCIEICEDABHGFHFGCEIBADfEHgDCiBAgBdifAEChCiABhEfDgBAFECGDHIdgiHBFAECEHCAIDGFB";

QString Builtin(int level, int index)
{
    return QString::fromLatin1(kBuiltinPuzzles[level][index]);
}

int SolutionAt(const QString &puzzle, int x, int y)
{
    return puzzle[(y - 1) * 9 + (x - 1)].toLower().unicode() - 'a' + 1;
}

TMarkEntry &Mark(int x, int y, int d)
{
    return Form1->Cells[x][y].Mark(d);
}

// The picture a hint leaves on a mark, by the grid's step marks.
const TImage *HintPicture(const TSolverCell &c, int d)
{
    const TImage *pic = nullptr;
    if (c.Deleted[d])
        pic = FormOpt->pic_clear;
    if (c.Pattern[d] && c.Merker[d])
        pic = FormOpt->pic_muss;
    if (c.Found[d])
        pic = FormOpt->pic_ist;
    return pic;
}

// The legend boxes by name, in field order.
QList<QPair<QString, TLabel *>> LegendBoxes()
{
    return {{"F", FormSolver->F},   {"s1", FormSolver->s1}, {"s2", FormSolver->s2}, {"s3", FormSolver->s3},
            {"C1", FormSolver->C1}, {"C2", FormSolver->C2}, {"C3", FormSolver->C3}};
}

// Box visibility as "F s1 C1" and so on.
QString ShownBoxes()
{
    QStringList out;
    for (const auto &b : LegendBoxes())
        if (!b.second->isHidden())
            out << b.first;
    return out.join(QLatin1Char(' '));
}

// Every shown box as "name:left/top=caption".
QString BoxPlaces()
{
    QStringList out;
    for (const auto &b : LegendBoxes())
        if (!b.second->isHidden())
            out << QStringLiteral("%1:%2/%3=%4")
                       .arg(b.first)
                       .arg(b.second->x())
                       .arg(b.second->y())
                       .arg(b.second->text());
    return out.join(QLatin1Char(' '));
}

// The editor's board of a puzzle: capitals given (State 0), the rest empty.
void EditorBoard(const QString &puzzle)
{
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            TGridEntry &e = Form1->Boards[0][x][y];
            const QChar c = puzzle[(y - 1) * 9 + (x - 1)];
            e.State = c.isUpper() ? 0 : -1;
            e.Value = c.isUpper() ? SolutionAt(puzzle, x, y) : 0;
        }
}

QStringList ChatLines()
{
    return Form1->ChatBox->Items();
}

} // namespace

class TstHintWindow : public QObject {
    Q_OBJECT
    std::unique_ptr<TTestFixture> fx;

    // A single game of one player on the puzzle, every mark empty.
    void runningGame(const QString &puzzle)
    {
        Form1->ResetPlayers();
        for (int k = 0; k <= 8; ++k)
            Form1->Boards[k] = TBoardLayer();
        Form1->LoadPuzzleString(puzzle);
        Form1->Boards[1] = Form1->Boards[0];
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x) {
                TCellView &cv = Form1->Cells[x][y];
                const bool open = Form1->Boards[0][x][y].State == 0;
                cv.ShowMarks = open;
                cv.DigitLabel.SetCaption(open ? QString() : QString::number(Form1->Boards[0][x][y].Value));
                cv.BingoMark = 0;
                for (int d = 1; d <= 9; ++d)
                    cv.Mark(d).State = 0;
                DrawCell(x, y, open);
            }
        FormFeld->RefreshMarks();
        Form1->Players[1].Active = true;
        Form1->Players[1].PlayerNo = 1;
        NETZ->MyPlayerNo = 1;
        Form1->SinglePlayerGame = true;
        Form1->GameRunning = true;
        Form1->EditorMode = false;
        Form1->BTC_Tipp->setEnabled(true);
        FormSolver->ResetGrid(FormSolver->GameGrid);
        FormSolver->GameGrid.Initialised = false;
        FormSolver->hide();
        Form1->brett->show();
    }

    // The one cell and digit the last hint found.
    static bool FoundCell(int &fx_, int &fy, int &fd)
    {
        int n = 0;
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x)
                for (int d = 1; d <= 9; ++d)
                    if (FormSolver->GameGrid.Cells[x][y].Found[d]) {
                        fx_ = x;
                        fy = y;
                        fd = d;
                        ++n;
                    }
        return n == 1;
    }

    // The player's entry as the host stores it with evaluation at the end:
    // on the own layer only, never placed in the solver's grid.
    static void enterAtTheEnd(int x, int y, int digit)
    {
        Form1->Boards[1][x][y].Value = digit;
        Form1->Boards[1][x][y].State = 1;
        Form1->Cells[x][y].ShowMarks = 0;
        DrawCell(x, y, false);
    }

private slots:
    void initTestCase()
    {
        fx = std::make_unique<TTestFixture>();
        fx->StartProgram();
        Form1->show();
        FormStart->hide();
    }
    void cleanupTestCase() { fx.reset(); }
    void init()
    {
        fx->Dialogs.Shown.clear();
        Form1->ChatBox->clear();
        Form1->HelpCursor = 0;
    }

    // ---- the window as it is built ----

    void windowDefinition()
    {
        QCOMPARE(FormSolver->windowTitle(), QStringLiteral("Tipp anzeigen"));
        QVERIFY(FormSolver->windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(FormSolver->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(FormSolver->btn_show->text(), QStringLiteral("Merker zeigen"));
        QCOMPARE(FormSolver->btn_get->text(), QStringLiteral("Merker übernehmen"));
        QCOMPARE(FormSolver->btn_ok->text(), QStringLiteral("Ok"));
        QCOMPARE(FormSolver->btn_show->geometry(), QRect(80, 0, 165, 25));
        QCOMPARE(FormSolver->btn_get->geometry(), QRect(80, 25, 165, 25));
        QCOMPARE(FormSolver->btn_ok->geometry(), QRect(80, 50, 165, 25));
        for (int k = 1; k <= 9; ++k) {
            TLabel *l = FormSolver->KeypadLabel(k);
            QVERIFY(l);
            QCOMPARE(l->text(), QString::number(k));
            QCOMPARE(l->Tag, k);
            QCOMPARE(l->geometry(), QRect(2 + 25 * ((k - 1) % 3), 25 * ((k - 1) / 3), 25, 25));
            QVERIFY(l->font().bold());
        }
        QCOMPARE(FormSolver->Btn_Panel->height(), 80);
        QCOMPARE(FormSolver->F->size(), QSize(14, 14));
        QCOMPARE(FormSolver->Kopf->font().pixelSize(), 13);
        QVERIFY(FormSolver->Kopf->font().bold());
        QCOMPARE(FormSolver->Body->font().pixelSize(), 12);
        QCOMPARE(FormSolver->F->palette().color(QPalette::Window), QColor(0x00, 0xFF, 0x00));
        QCOMPARE(FormSolver->s2->palette().color(QPalette::Window), QColor(0xFF, 0xFF, 0x00));
        QCOMPARE(FormSolver->C3->palette().color(QPalette::Window), QColor(0xFF, 0x00, 0x00));
    }

    void buttonHover()
    {
        TLabel *l = FormSolver->btn_get;
        FormSolver->bt_repeatMouseEnter(l);
        QCOMPARE(l->font().pointSize(), 10);
        QVERIFY(l->font().bold());
        FormSolver->bt_repeatMouseLeave(l);
        QCOMPARE(l->font().pointSize(), 8);
        QVERIFY(l->font().bold());
        l->setEnabled(false);
        FormSolver->bt_repeatMouseEnter(l);
        QCOMPARE(l->font().pointSize(), 8);
        l->setEnabled(true);
    }

    // ---- the text of every step result ----

    void tippText_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("kopf");
        QTest::addColumn<QString>("boxes");
        QTest::addColumn<int>("panel");
        // TippDigit 7, pattern digits 3 5 8.
        QTest::newRow("1") << 1 << "  Eindeutig :"
                           << "F:67/30=7" << 125;
        QTest::newRow("2") << 2 << "  Eindeutig :"
                           << "F:67/30=7" << 70;
        QTest::newRow("3") << 3 << "  Stufe 3 :"
                           << "F:43/58=7 s1:43/30=3 C1:43/44=3" << 80;
        QTest::newRow("4") << 4 << "  Zwilling :"
                           << "F:38/72=7 s1:94/30=3 s2:111/30=5 C1:178/44=3 C2:195/44=5" << 95;
        QTest::newRow("5") << 5 << "  Drilling :"
                           << "F:38/72=7 s1:88/30=3 s2:105/30=5 s3:122/30=8 C1:176/44=3 C2:193/44=5 C3:210/44=8" << 95;
        QTest::newRow("6") << 6 << "  versteckter Zwilling :"
                           << "F:38/72=7 s1:94/30=3 s2:111/30=5 C1:178/44=X" << 95;
        QTest::newRow("7") << 7 << "  versteckter Drilling :"
                           << "F:38/72=7 s1:88/30=3 s2:105/30=5 s3:122/30=8 C1:176/44=X" << 95;
        QTest::newRow("8") << 8 << "  xWing :"
                           << "F:38/101=7 s1:47/44=3 C1:130/72=3" << 130;
        QTest::newRow("9 has no text of its own") << 9 << "  kein Ergebnis"
                                                  << "" << 125;
        QTest::newRow("10") << 10 << "  SueDeCoq (5 Felder) :"
                            << "F:38/87=7 s1:90/30=X C1:128/58=X" << 110;
        QTest::newRow("11") << 11 << "  SueDeCoq (4 Felder) :"
                            << "F:38/87=7 s1:88/30=X C1:128/58=X" << 110;
        QTest::newRow("103") << 103 << "  Stufe 3 :"
                             << "s1:43/30=3 C1:43/44=3" << 90;
        QTest::newRow("104") << 104 << "  Zwilling :"
                             << "s1:94/30=3 s2:111/30=5 C1:178/44=3 C2:195/44=5" << 105;
        QTest::newRow("105") << 105 << "  Drilling :"
                             << "s1:88/30=3 s2:105/30=5 s3:122/30=8 C1:176/44=3 C2:193/44=5 C3:210/44=8" << 105;
        QTest::newRow("106") << 106 << "  versteckter Zwilling :"
                             << "s1:94/30=3 s2:111/30=5 C1:178/44=X" << 105;
        QTest::newRow("107") << 107 << "  versteckter Drilling :"
                             << "s1:88/30=3 s2:105/30=5 s3:122/30=8 C1:176/44=X" << 105;
        QTest::newRow("108") << 108 << "  xWing :"
                             << "s1:47/44=3 C1:130/72=3" << 135;
        QTest::newRow("109 has no text of its own") << 109 << "  kein Ergebnis"
                                                    << "" << 125;
        QTest::newRow("110") << 110 << "  SueDeCoq (5 Felder) :"
                             << "s1:90/30=X C1:128/58=X" << 125;
        QTest::newRow("111") << 111 << "  SueDeCoq (4 Felder) :"
                             << "s1:88/30=X C1:128/58=X" << 125;
        QTest::newRow("0") << 0 << "  kein Ergebnis"
                           << "" << 125;
    }
    void tippText()
    {
        QFETCH(int, level);
        QFETCH(QString, kopf);
        QFETCH(QString, boxes);
        QFETCH(int, panel);
        FormSolver->TippDigit = 7;
        FormSolver->PatternDigits[0] = 3;
        FormSolver->PatternDigits[1] = 5;
        FormSolver->PatternDigits[2] = 8;
        FormSolver->ShowTippText(level);
        QVERIFY(FormSolver->isVisible());
        QCOMPARE(FormSolver->Kopf->text(), kopf);
        QCOMPARE(BoxPlaces(), boxes);
        QCOMPARE(FormSolver->Panel2->height(), panel);
        QCOMPARE(FormSolver->width(), 250);
        QCOMPARE(FormSolver->height(), 80 + panel + 5);
        QCOMPARE(FormSolver->Btn_Panel->geometry(), QRect(0, 0, 250, 80));
        QCOMPARE(FormSolver->Panel2->y() + FormSolver->Panel2->height(), FormSolver->height());
        const QString body = FormSolver->Body->text();
        QVERIFY(body.startsWith(QStringLiteral("\r\n   ")));
        QVERIFY(!body.contains(QLatin1Char('#')));
        QVERIFY(!body.contains(QLatin1Char('~')));
        FormSolver->hide();
    }

    void tippTextWhole_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("body");
        const QString gap(4, QLatin1Char(' ')); // a "#" of the template
        QTest::newRow("hidden single in a column")
            << 2 << "in der Spalte"
            << "\r\n   Die Zahl " + gap + " wird gefunden, da diese\r\n   nur einmal in der Spalte vorkommt.";
        QTest::newRow("locked candidates keep their extra blanks")
            << 3 << ""
            << "\r\n   Eine " + gap + " muss in eine der Zellen,\r\n    die " + gap +
                   "  können gelöscht werden.\r\n    Die " + gap + "  wird dadurch eindeutig.";
        QTest::newRow("pair without a digit")
            << 104 << ""
            << "\r\n   Zwei Zahlen " + gap + gap + " müssen in zwei\r\n   Zellen, darum können die " + gap + gap +
                   " \r\n   gelöscht werden.\r\n   Es wird hier keine eindeutige\r\n   Zahl gefunden.";
        QTest::newRow("nothing found")
            << 0 << ""
            << "\r\n   Mit den zur Zeit umgesetzten\r\n   Verfahren kann keine eindeutige\r\n   Zahl gefunden "
               "werden.\r\n   Vielleicht handelt es sich um ein\r\n   Killer Sudoku, diese sind nur durch\r\n   eine "
               "Fallunterscheidung zu lösen.";
    }
    void tippTextWhole()
    {
        QFETCH(int, level);
        QFETCH(QString, unit);
        QFETCH(QString, body);
        FormSolver->HiddenSingleUnit = unit;
        FormSolver->ShowTippText(level);
        QCOMPARE(FormSolver->Body->text(), body);
        FormSolver->hide();
    }

    // ---- one hint per technique, on the board ----

    void hintOfEachTechnique_data()
    {
        QTest::addColumn<QString>("puzzle");
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("kopf");
        QTest::addColumn<QString>("boxes");
        QTest::addColumn<int>("panel");
        QTest::newRow("naked single (GL)") << Builtin(0, 0) << 1 << "  Eindeutig :"
                                           << "F" << 125;
        QTest::newRow("hidden single (RM)") << Builtin(1, 11) << 2 << "  Eindeutig :"
                                            << "F" << 70;
        QTest::newRow("Stufe 3") << kStufe3 << 3 << "  Stufe 3 :"
                                 << "F s1 C1" << 80;
        QTest::newRow("Zwilling") << kZwilling << 4 << "  Zwilling :"
                                  << "F s1 s2 C1 C2" << 95;
        QTest::newRow("Drilling") << kDrilling << 5 << "  Drilling :"
                                  << "F s1 s2 s3 C1 C2 C3" << 95;
        QTest::newRow("versteckter Zwilling") << kVZwilling << 6 << "  versteckter Zwilling :"
                                              << "F s1 s2 C1" << 95;
        QTest::newRow("versteckter Drilling") << kVDrilling << 7 << "  versteckter Drilling :"
                                              << "F s1 s2 s3 C1" << 95;
        QTest::newRow("xWing") << kXWing << 8 << "  xWing :"
                               << "F s1 C1" << 130;
        QTest::newRow("SueDeCoq 5") << kSueDeCoq5 << 10 << "  SueDeCoq (5 Felder) :"
                                    << "F s1 C1" << 110;
        QTest::newRow("SueDeCoq 4") << kSueDeCoq4 << 11 << "  SueDeCoq (4 Felder) :"
                                    << "F s1 C1" << 110;
        QTest::newRow("Merker Stufe 3") << kMerker3 << 103 << "  Stufe 3 :"
                                        << "s1 C1" << 90;
        QTest::newRow("Merker Zwilling") << kMerker4 << 104 << "  Zwilling :"
                                         << "s1 s2 C1 C2" << 105;
        QTest::newRow("Merker Drilling") << kMerker5 << 105 << "  Drilling :"
                                         << "s1 s2 s3 C1 C2 C3" << 105;
        QTest::newRow("Merker vZwilling") << kMerker6 << 106 << "  versteckter Zwilling :"
                                          << "s1 s2 C1" << 105;
        QTest::newRow("Merker vDrilling") << kMerker7 << 107 << "  versteckter Drilling :"
                                          << "s1 s2 s3 C1" << 105;
        QTest::newRow("Merker xWing") << kMerker8 << 108 << "  xWing :"
                                      << "s1 C1" << 135;
        QTest::newRow("Merker SueDeCoq 5") << kMerker10 << 110 << "  SueDeCoq (5 Felder) :"
                                           << "s1 C1" << 125;
        QTest::newRow("Merker SueDeCoq 4") << kMerker11 << 111 << "  SueDeCoq (4 Felder) :"
                                           << "s1 C1" << 125;
        QTest::newRow("nothing to find") << kNothing << 0 << "  kein Ergebnis"
                                         << "" << 125;
    }
    void hintOfEachTechnique()
    {
        QFETCH(QString, puzzle);
        QFETCH(int, level);
        QFETCH(QString, kopf);
        QFETCH(QString, boxes);
        QFETCH(int, panel);
        runningGame(puzzle);
        FormSolver->TippDigit = 0;
        FormSolver->ShowTipp();

        const TSolverGrid &g = FormSolver->GameGrid;
        QVERIFY(g.Initialised);
        QCOMPARE(g.FoundLevel, level);
        QVERIFY(FormSolver->isVisible());
        QCOMPARE(FormSolver->Kopf->text(), kopf);
        QCOMPARE(ShownBoxes(), boxes);
        QCOMPARE(FormSolver->height(), 80 + panel + 5);

        // The board: every mark of an empty cell shows its step picture, and
        // is marked for the next refresh to give the player's mark back.
        int painted = 0;
        int firstPattern = 0;
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x) {
                const TSolverCell &c = g.Cells[x][y];
                for (int d = 1; d <= 9; ++d) {
                    const TMarkEntry &m = Mark(x, y, d);
                    const TImage *pic = c.Value == 0 ? HintPicture(c, d) : nullptr;
                    if (c.Value == 0 && c.Pattern[d] && !firstPattern)
                        firstPattern = d;
                    if (!pic) {
                        QCOMPARE(m.ShownState, m.State);
                        continue;
                    }
                    ++painted;
                    QVERIFY2(m.Image.Shows(pic), qPrintable(QStringLiteral("mark %1 of (%2,%3)").arg(d).arg(x).arg(y)));
                    QCOMPARE(m.ShownState, ~m.State);
                }
            }
        if (level == 0) {
            QCOMPARE(painted, 0);
            return;
        }
        QVERIFY(painted > 0);
        if (level < 100) {
            int x = 0, y = 0, d = 0;
            QVERIFY(FoundCell(x, y, d));
            QCOMPARE(d, SolutionAt(puzzle, x, y));
            QCOMPARE(FormSolver->TippDigit, d);
            QCOMPARE(FormSolver->F->text(), QString::number(d));
            QVERIFY(Mark(x, y, d).Image.Shows(FormOpt->pic_ist));
        }
        if (level >= 3) {
            QCOMPARE(FormSolver->PatternDigits[0], firstPattern);
            if (!FormSolver->s1->text().startsWith(QLatin1Char('X')))
                QCOMPARE(FormSolver->s1->text(), QString::number(firstPattern));
        }

        // The next refresh wipes the pictures.
        FormFeld->RefreshMarks();
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x)
                if (g.Cells[x][y].Value == 0)
                    for (int d = 1; d <= 9; ++d)
                        QVERIFY(Mark(x, y, d).Image.Shows(FormOpt->orgNoMerker));
    }

    void hintOnlyWhileButtonEnabled()
    {
        runningGame(Builtin(0, 0));
        Form1->BTC_Tipp->setEnabled(false);
        FormSolver->ShowTipp();
        QVERIFY(!FormSolver->isVisible());
        QVERIFY(!FormSolver->GameGrid.Initialised);
    }

    void hiddenSingleNamesItsUnit()
    {
        runningGame(Builtin(1, 11)); // RM: a hidden single in a column
        FormSolver->ShowTipp();
        QCOMPARE(FormSolver->GameGrid.FoundLevel, 2);
        QVERIFY(FormSolver->Body->text().contains(QStringLiteral("nur einmal in der Spalte vorkommt.")));
    }

    // After a technique's digit, the kept eliminations make the next hint a single.
    void secondHintAfterTechnique_data()
    {
        QTest::addColumn<QString>("puzzle");
        QTest::newRow("Stufe 3") << QString::fromLatin1(kStufe3);
        QTest::newRow("Zwilling") << QString::fromLatin1(kZwilling);
        QTest::newRow("xWing") << QString::fromLatin1(kXWing);
    }
    void secondHintAfterTechnique()
    {
        QFETCH(QString, puzzle);
        runningGame(puzzle);
        FormSolver->ShowTipp();
        QVERIFY(FormSolver->GameGrid.FoundLevel >= 3);
        FormSolver->ShowTipp();
        QVERIFY(FormSolver->GameGrid.FoundLevel == 1 || FormSolver->GameGrid.FoundLevel == 2);
    }

    // With evaluation at the end, entries live only on the board; each hint
    // takes them into the grid first, so it never points at a filled cell.
    void entriesAtTheEndReachTheGrid()
    {
        const QString puzzle = Builtin(0, 0);
        runningGame(puzzle);
        QSet<int> pointedAt;
        for (int hint = 0; hint < 12; ++hint) {
            FormSolver->ShowTipp();
            int x = 0, y = 0, d = 0;
            QVERIFY(FoundCell(x, y, d));
            QCOMPARE(Form1->Boards[1][x][y].State, 0);
            QVERIFY2(!pointedAt.contains(10 * y + x), "a hint pointed at a cell already filled");
            pointedAt.insert(10 * y + x);
            // The first entry is wrong: it still fills the cell.
            enterAtTheEnd(x, y, hint == 0 ? d % 9 + 1 : d);
        }
        FormSolver->ShowTipp();
        for (const int tag : pointedAt) {
            const int x = tag % 10, y = tag / 10;
            QCOMPARE(FormSolver->GameGrid.Cells[x][y].Value, SolutionAt(puzzle, x, y));
        }
    }

    void placeBoardEntries()
    {
        const QString puzzle = Builtin(0, 0);
        runningGame(puzzle);
        TSolverGrid &g = FormSolver->GameGrid;
        FormSolver->LoadGameFromBoard(g, Form1->Boards);
        QCOMPARE(FormSolver->PlaceBoardEntries(g), 0);
        enterAtTheEnd(5, 5, 1);
        enterAtTheEnd(9, 9, 1);
        const int open55 = Form1->Boards[0][5][5].State, open99 = Form1->Boards[0][9][9].State;
        QCOMPARE(FormSolver->PlaceBoardEntries(g), (open55 == 0) + (open99 == 0));
        QCOMPARE(g.Cells[5][5].Value, SolutionAt(puzzle, 5, 5));
        QCOMPARE(g.Cells[9][9].Value, SolutionAt(puzzle, 9, 9));
        QCOMPARE(FormSolver->PlaceBoardEntries(g), 0);
    }

    // An entry taken back (evaluation at the end) is free for the next hint again.
    void clearedEntryLeavesTheGrid()
    {
        const QString puzzle = Builtin(0, 0);
        runningGame(puzzle);
        FormSolver->ShowTipp();
        int x = 0, y = 0, d = 0;
        QVERIFY(FoundCell(x, y, d));
        enterAtTheEnd(x, y, d);
        FormSolver->ShowTipp();
        QCOMPARE(FormSolver->GameGrid.Cells[x][y].Value, d);
        Form1->Boards[1][x][y] = Form1->Boards[0][x][y]; // cleared: open again
        FormSolver->ShowTipp();
        QCOMPARE(FormSolver->GameGrid.Cells[x][y].Value, 0);
        int x2 = 0, y2 = 0, d2 = 0;
        QVERIFY(FoundCell(x2, y2, d2));
        QCOMPARE(QPoint(x2, y2), QPoint(x, y)); // the first single in reading order again
    }

    // ---- holding "Merker zeigen" and the keypad ----

    void showMarksKeepsBothColours()
    {
        const QString puzzle = QString::fromLatin1(kZwilling);
        runningGame(puzzle);
        FormSolver->ShowTipp();
        const TSolverGrid before = FormSolver->GridBefore;
        // The player's marks: both colours, some where the solver has excluded the digit.
        int states[10][10][10] = {};
        int excludedMarked = 0;
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x) {
                if (FormSolver->GameGrid.Cells[x][y].Value != 0)
                    continue;
                for (int d = 1; d <= 9; ++d) {
                    const int s = (x + y + d) % 3;
                    states[x][y][d] = s;
                    Mark(x, y, d).State = s;
                    excludedMarked += s != 0 && !before.Cells[x][y].Merker[d];
                }
            }
        QVERIFY(excludedMarked > 0);
        FormFeld->RefreshMarks();
        FormSolver->MarkTippOnBoard(FormSolver->GameGrid);

        // Held: the solver's candidates from before the step, in colour 1.
        QTest::mousePress(FormSolver->btn_show, Qt::LeftButton);
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x)
                if (before.Cells[x][y].Value == 0)
                    for (int d = 1; d <= 9; ++d) {
                        QCOMPARE(Mark(x, y, d).State, before.Cells[x][y].Merker[d] ? 1 : 0);
                        QCOMPARE(Mark(x, y, d).ShownState, Mark(x, y, d).State);
                    }
        // Released: the player's marks, colour 2 included, and the hint pictures.
        QTest::mouseRelease(FormSolver->btn_show, Qt::LeftButton);
        int colour2 = 0;
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x)
                if (FormSolver->GameGrid.Cells[x][y].Value == 0)
                    for (int d = 1; d <= 9; ++d) {
                        QCOMPARE(Mark(x, y, d).State, states[x][y][d]);
                        colour2 += Mark(x, y, d).State == 2;
                        const TImage *pic = HintPicture(FormSolver->GameGrid.Cells[x][y], d);
                        if (pic)
                            QVERIFY(Mark(x, y, d).Image.Shows(pic));
                    }
        QVERIFY(colour2 > 0);
        FormFeld->RefreshMarks();
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x)
                if (FormSolver->GameGrid.Cells[x][y].Value == 0)
                    for (int d = 1; d <= 9; ++d)
                        if (states[x][y][d] == 2)
                            QVERIFY(Mark(x, y, d).Image.Shows(FormOpt->org2Merker));
    }

    void releaseWithoutPressChangesNothing()
    {
        runningGame(Builtin(0, 0));
        FormSolver->ShowTipp();
        Mark(1, 1, 1).State = 2;
        // The editor's test left its own grid in the store.
        FormSolver->ResetGrid(FormSolver->TestGrid);
        FormSolver->BitBtn2MouseUp();
        QCOMPARE(Mark(1, 1, 1).State, 2);
        QCOMPARE(Mark(2, 1, 1).State, 0);
    }

    void keypadShowsOneDigit_data()
    {
        QTest::addColumn<int>("digit");
        QTest::newRow("1") << 1;
        QTest::newRow("5") << 5;
        QTest::newRow("9") << 9;
    }
    void keypadShowsOneDigit()
    {
        QFETCH(int, digit);
        runningGame(QString::fromLatin1(kDrilling));
        FormSolver->ShowTipp();
        const TSolverGrid before = FormSolver->GridBefore;
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x)
                for (int d = 1; d <= 9; ++d)
                    Mark(x, y, d).State = (d == digit) ? 2 : (d % 2);
        FormFeld->RefreshMarks();
        TLabel *key = FormSolver->KeypadLabel(digit);
        QTest::mousePress(key, Qt::LeftButton);
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x) {
                if (before.Cells[x][y].Value != 0)
                    continue;
                for (int d = 1; d <= 9; ++d)
                    QCOMPARE(Mark(x, y, d).State, d == digit && before.Cells[x][y].Merker[d] ? 1 : 0);
            }
        QTest::mouseRelease(key, Qt::LeftButton);
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x)
                for (int d = 1; d <= 9; ++d)
                    QCOMPARE(Mark(x, y, d).State, (d == digit) ? 2 : (d % 2));
    }

    void takeOverMarks()
    {
        runningGame(QString::fromLatin1(kZwilling));
        FormGO->SetMarkBonus(1);
        FormSolver->ShowTipp();
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x)
                for (int d = 1; d <= 9; ++d)
                    Mark(x, y, d).State = 2;
        QTest::mouseClick(FormSolver->btn_get, Qt::LeftButton);
        QVERIFY(!FormGO->HasMarkBonus());
        const TSolverGrid &before = FormSolver->GridBefore;
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x)
                for (int d = 1; d <= 9; ++d) {
                    QCOMPARE(Mark(x, y, d).State, before.Cells[x][y].Merker[d] ? 1 : 0);
                    QCOMPARE(Mark(x, y, d).ShownState, Mark(x, y, d).State);
                }
    }

    void okHidesTheWindow()
    {
        runningGame(Builtin(0, 0));
        FormSolver->ShowTipp();
        QVERIFY(FormSolver->isVisible());
        QTest::mouseClick(FormSolver->btn_ok, Qt::LeftButton);
        QVERIFY(!FormSolver->isVisible());
    }

    void placedOverTheToolPanel()
    {
        runningGame(Builtin(0, 0));
        FormSolver->ShowTipp();
        // From the main window's outer (frame) corner.
        const QRect main = Form1->frameGeometry();
        QCOMPARE(FormSolver->y(), main.top());
        QCOMPARE(FormSolver->x(),
                 main.left() + Form1->ToolPanel->x() + (Form1->ToolPanel->width() - FormSolver->width()) / 2);
        FormSolver->hide();
    }

    // The main window's buttons reach the window.
    void hintButtonShowsTheHint()
    {
        runningGame(QString::fromLatin1(kZwilling));
        Form1->BTC_TippClick(Form1->BTC_Tipp);
        QVERIFY(FormSolver->isVisible());
        QCOMPARE(FormSolver->Kopf->text(), QStringLiteral("  Zwilling :"));
        FormSolver->hide();
    }

    // A single game started as the start screen starts it, played to its end
    // by following the hints, with either kind of evaluation.
    void singleGameByHints_data()
    {
        QTest::addColumn<int>("immediate");
        QTest::newRow("evaluation at once") << 1;
        QTest::newRow("evaluation at the end") << 0;
    }
    void singleGameByHints()
    {
        QFETCH(int, immediate);
        Form1->ResetPlayers();
        Form1->GameRunning = false;
        NETZ->MyPlayerNo = 0;
        NETZ->SetListenerActive(false);
        FormGO->SetGameType(1);
        FormGO->SetLevel(0);
        FormGO->SetImport(0);
        // The start screen's single play, then "Starten" in the game options.
        FormStart->show();
        FormStart->Tab_EinzelspielerClick(nullptr);
        FormStart->SelectSingleMode(1);
        FormStart->BTC_EinzelSpielerStartClick();
        QVERIFY(FormGO->isVisible());
        FormGO->SetEvaluation(immediate);
        FormGO->BTC_StartenClick();
        for (int tick = 0; tick < 10 && !Form1->GameRunning; ++tick)
            NETZ->StartTimerTimer();
        QVERIFY(Form1->GameRunning);
        QVERIFY(Form1->BTC_Tipp->isEnabled());
        QCOMPARE(FormGO->IsEvaluationImmediate(), immediate != 0);

        int entries = 0;
        while (Form1->GameRunning && entries < 81) {
            Form1->BTC_TippClick(Form1->BTC_Tipp);
            const int level = FormSolver->GameGrid.FoundLevel;
            QVERIFY2(level != 0, "the hints ran out");
            if (level >= 100)
                continue;
            int x = 0, y = 0, d = 0;
            QVERIFY(FoundCell(x, y, d));
            QCOMPARE(Form1->Boards[1][x][y].State, 0);
            NETZ->EnterNumber(x, y, d);
            QCOMPARE(Form1->Boards[1][x][y].State, 1);
            ++entries;
        }
        QVERIFY(!Form1->GameRunning);
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x)
                QCOMPARE(Form1->Boards[1][x][y].Value, Form1->Boards[0][x][y].Value);
        FormSolver->hide();
    }

    void editorTestButtonReports_data()
    {
        QTest::addColumn<QString>("puzzle");
        QTest::addColumn<QString>("message");
        QTest::newRow("solvable") << Builtin(0, 0) << "keinen Fehler gefunden";
        QTest::newRow("needs guesses") << QString::fromLatin1(kNothing) << "Es sind noch 15 Felder frei";
    }
    void editorTestButtonReports()
    {
        QFETCH(QString, puzzle);
        QFETCH(QString, message);
        Form1->EditorMode = true;
        EditorBoard(puzzle);
        Form1->BTC_TestenClick();
        QCOMPARE(fx->Dialogs.Texts(), QStringList{message});
        QCOMPARE(fx->Dialogs.Shown.front().Type, TMsgDlgType::Information);
        Form1->EditorMode = false;
    }

    // ---- the editor's test ----

    void testPuzzleSolves_data()
    {
        QTest::addColumn<QString>("puzzle");
        QTest::addColumn<QString>("firstLine");
        QTest::newRow("GL") << Builtin(0, 0) << "Eindeutige:";
        QTest::newRow("a hard built-in") << Builtin(3, 0) << "Eindeutige:";
        QTest::newRow("starts with a pair") << QString::fromLatin1(kZwilling) << "Zwilling:";
        QTest::newRow("starts with eliminations") << QString::fromLatin1(kMerker5) << "Merker Drilling:";
    }
    void testPuzzleSolves()
    {
        QFETCH(QString, puzzle);
        QFETCH(QString, firstLine);
        Form1->EditorMode = true;
        EditorBoard(puzzle);
        const QString result = FormSolver->TestPuzzle();
        QCOMPARE(result, QStringLiteral("ok"));
        const QStringList chat = ChatLines();
        QVERIFY(!chat.isEmpty());
        QVERIFY2(chat.first().startsWith(firstLine), qPrintable(chat.first()));
        // Each counted line says how many digits its step wrote; together
        // they are the cells the puzzle left open.
        int written = 0;
        for (const QString &l : chat) {
            QVERIFY2(
                QRegularExpression(QStringLiteral("^(Eindeutige|Stufe3|Zwilling|Drilling|vZwilling|vDrilling|xWing|"
                                                  "SueDeCoq):[1-9][0-9]*$|^Merker (Stufe3|Zwilling|Drilling|"
                                                  "vZwilling|vDrilling|xWing|SueDeCoq5|SueDeCoq4):$"))
                    .match(l)
                    .hasMatch(),
                qPrintable(l));
            if (!l.startsWith(QStringLiteral("Merker ")))
                written += l.section(QLatin1Char(':'), 1).toInt();
        }
        int open = 0;
        for (QChar c : puzzle)
            open += c.isLower();
        QCOMPARE(written, open);
        // Every cell is filled with its solution; the ones the test found are
        // entered (State 1), shown, and green.
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x) {
                const TGridEntry &e = Form1->Boards[0][x][y];
                QCOMPARE(e.Value, SolutionAt(puzzle, x, y));
                const bool given = puzzle[(y - 1) * 9 + (x - 1)].isUpper();
                QCOMPARE(e.State, given ? 0 : 1);
                if (!given) {
                    const TCellView &cv = Form1->Cells[x][y];
                    QCOMPARE(cv.DigitLabel.Caption(), QString::number(e.Value));
                    QCOMPARE(int(cv.Background.Kind()), int(TBoardImage::TKind::Tile));
                    QCOMPARE(cv.Background.Colour(), 0x00FF00);
                    QVERIFY(cv.Background.Visible());
                }
            }
        // The save that follows writes the whole solution: capitals for the
        // givens, small letters for the rest, which is the puzzle itself.
        QCOMPARE(EditorPuzzleLines(Form1->Boards[0]).join(QString()), puzzle);
        Form1->EditorMode = false;
    }

    void testPuzzleReports_data()
    {
        QTest::addColumn<QString>("cells"); // "xy=d/state" of layer 0, all else empty
        QTest::addColumn<QString>("result");
        QTest::newRow("two 5s in row 3") << "13=5/0 83=5/1 21=1/0"
                                         << "Vorgabe führt zu eimem falschen Ergebnis in Zeile 3";
        QTest::newRow("two 7s in column 6") << "62=7/0 68=7/0"
                                            << "Vorgabe führt zu eimem falschen Ergebnis in Spalte 6";
        QTest::newRow("rows before columns") << "19=4/0 99=4/0 55=2/0 58=2/0"
                                             << "Vorgabe führt zu eimem falschen Ergebnis in Zeile 9";
        QTest::newRow("an empty board") << ""
                                        << "Es sind noch 81 Felder frei";
        QTest::newRow("one given") << "55=5/0"
                                   << "Es sind noch 80 Felder frei";
    }
    void testPuzzleReports()
    {
        QFETCH(QString, cells);
        QFETCH(QString, result);
        Form1->EditorMode = true;
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x)
                Form1->Boards[0][x][y] = TGridEntry{0, -1, 0, 0};
        for (const QString &c : cells.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            TGridEntry &e = Form1->Boards[0][c[0].digitValue()][c[1].digitValue()];
            e.Value = c[3].digitValue();
            e.State = c.mid(5).toInt();
        }
        const TBoardLayer layer = Form1->Boards[0];
        QCOMPARE(FormSolver->TestPuzzle(), result);
        if (result.startsWith(QStringLiteral("Vorgabe")))
            for (int y = 1; y <= 9; ++y)
                for (int x = 1; x <= 9; ++x) {
                    QCOMPARE(Form1->Boards[0][x][y].Value, layer[x][y].Value);
                    QCOMPARE(Form1->Boards[0][x][y].State, layer[x][y].State);
                }
        Form1->EditorMode = false;
    }

    void testPuzzleNeedingGuesses()
    {
        Form1->EditorMode = true;
        EditorBoard(QString::fromLatin1(kNothing));
        int open = 0;
        for (QChar c : QString::fromLatin1(kNothing))
            open += c.isLower();
        QCOMPARE(FormSolver->TestPuzzle(), QStringLiteral("Es sind noch %1 Felder frei").arg(open));
        QVERIFY(ChatLines().isEmpty());
        Form1->EditorMode = false;
    }

    void testPuzzleTwoInABlockOnly()
    {
        // Two 5s in block 1 alone: no block message; the solve runs into a
        // row or column, or stops with cells left.
        Form1->EditorMode = true;
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x)
                Form1->Boards[0][x][y] = TGridEntry{0, -1, 0, 0};
        Form1->Boards[0][1][1] = TGridEntry{5, 0, 0, 0};
        Form1->Boards[0][2][2] = TGridEntry{5, 0, 0, 0};
        const QString result = FormSolver->TestPuzzle();
        QVERIFY(result != QStringLiteral("ok"));
        QVERIFY(!result.contains(QStringLiteral("Block")));
        Form1->EditorMode = false;
    }

    // Random and mostly contradictory editor boards: the test always ends.
    void testPuzzleAlwaysEnds()
    {
        Form1->EditorMode = true;
        RandSeed(4711);
        QMap<QString, int> kinds;
        for (int round = 0; round < 150; ++round) {
            for (int y = 1; y <= 9; ++y)
                for (int x = 1; x <= 9; ++x)
                    Form1->Boards[0][x][y] = TGridEntry{0, -1, 0, 0};
            const int givens = 8 + Random(30);
            for (int i = 0; i < givens; ++i)
                Form1->Boards[0][1 + Random(9)][1 + Random(9)] = TGridEntry{1 + Random(9), Random(2), 0, 0};
            const QString result = FormSolver->TestPuzzle();
            QVERIFY(!result.isEmpty() && result != QStringLiteral("False"));
            ++kinds[result.section(QLatin1Char(' '), 0, 2)];
        }
        QVERIFY(kinds.size() >= 2);
        Form1->EditorMode = false;
    }
};

QTEST_MAIN(TstHintWindow)
#include "tst_hintwindow.moc"
