// The board page printed to PDF: digit positions read back with pdftotext,
// grid lines and fill colours with pdftoppm; the print window's options.
#include "common/Fixture.h"
#include "board/UFeld.h"
#include "board/UQuadrivo.h"
#include "board/UQuadrivo_Types.h"
#include "net/UNETZ.h"
#include "print/Preview.h"
#include "print/UDrucken.h"
#include "screens/UOptionen.h"
#include "settings/USystem.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QtTest>
#include <memory>

namespace {
constexpr int kCell = 2222; // (21000 - 1000) div 9
constexpr double kPtPerUnit = 72.0 / 2540.0;

struct TWord {
    QString Text;
    double XMin, YMin, XMax, YMax;
};

bool haveTools()
{
    return !QStandardPaths::findExecutable("pdftotext").isEmpty() &&
           !QStandardPaths::findExecutable("pdftoppm").isEmpty();
}

QList<TWord> wordsOf(const QString &pdf)
{
    QProcess p;
    p.start("pdftotext", {"-bbox", pdf, "-"});
    p.waitForFinished(30000);
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    QList<TWord> words;
    static const QRegularExpression re(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    for (auto it = re.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        words.append({m.captured(5), m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                      m.captured(4).toDouble()});
    }
    return words;
}

// The page at 254 dots per inch: one pixel is 0.1 mm, ten page units.
QImage rasterOf(const QString &pdf, const QString &stem)
{
    QProcess p;
    p.start("pdftoppm", {"-r", "254", "-singlefile", pdf, stem});
    p.waitForFinished(60000);
    return QImage(stem + ".ppm");
}

bool dark(QRgb c) { return qGray(c) < 100; }

// The dark runs along one row of pixels: (start, length).
QList<QPair<int, int>> darkRuns(const QImage &img, int y)
{
    QList<QPair<int, int>> runs;
    int start = -1;
    for (int x = 0; x <= img.width(); ++x) {
        const bool d = x < img.width() && dark(img.pixel(x, y));
        if (d && start < 0)
            start = x;
        if (!d && start >= 0) {
            runs.append({start, x - start});
            start = -1;
        }
    }
    return runs;
}
} // namespace

class TstBoardPrint : public QObject {
    Q_OBJECT
    std::unique_ptr<TTestFixture> fx;
    QString pdf;
    TBoards boards;
    std::unique_ptr<TCellView[][10]> cells;
    TPlayerRecord players[9];

    void printBoard(const TBoardPrintInput &in)
    {
        TPrintPreview preview;
        RenderBoardPage(&preview, in);
        QCOMPARE(preview.TotalPages(), 1);
        QFile::remove(pdf);
        preview.Print();
        QVERIFY(QFile::exists(pdf));
    }
    TBoardPrintInput input()
    {
        TBoardPrintInput in;
        in.Boards = &boards;
        in.Cells = cells.get();
        in.Players = players;
        in.PlayerNo = 1;
        return in;
    }

private slots:
    void initTestCase()
    {
        fx = std::make_unique<TTestFixture>();
        pdf = fx->Dir() + "/board.pdf";
        qputenv("SUDOKU_PRINT_PDF", pdf.toUtf8());
        ReloadSudokuEnv();
        cells.reset(new TCellView[10][10]);
    }
    void cleanupTestCase()
    {
        qunsetenv("SUDOKU_PRINT_PDF");
        ReloadSudokuEnv();
    }
    void init()
    {
        boards = TBoards();
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y)
                for (int d = 1; d <= 9; ++d)
                    cells[x][y].Mark(d).State = 0;
    }

    void givenDigitsSitCentredInTheirCells()
    {
        if (!haveTools())
            QSKIP("pdftotext/pdftoppm not installed");
        // Givens (3, 1) = 7 and (9, 9) = 2; a found digit (5, 5) = 4 of player 2.
        boards[1][3][1] = {7, -1, 0, 0};
        boards[1][9][9] = {2, -1, 0, 0};
        boards[2][5][5] = {4, 2, 0, 0};
        printBoard(input());
        const QList<TWord> words = wordsOf(pdf);
        QCOMPARE(words.size(), 2); // the found digit needs "gefundene Felder drucken"
        for (const auto &[text, x, y] : {std::tuple{QString("7"), 3, 1}, std::tuple{QString("2"), 9, 9}}) {
            const auto w = std::find_if(words.begin(), words.end(), [&](const TWord &w) { return w.Text == text; });
            QVERIFY(w != words.end());
            const double centre = (500 + (x - 0.5) * kCell) * kPtPerUnit;
            QVERIFY2(std::abs((w->XMin + w->XMax) / 2 - centre) < 3, qPrintable(QString::number(w->XMin)));
            // The text box starts 300 above the cell's top edge and is one inch high.
            const double top = (200 + (y - 1) * kCell) * kPtPerUnit;
            QVERIFY2(std::abs(w->YMin - top) < 8, qPrintable(QString::number(w->YMin)));
            QVERIFY(std::abs(w->YMax - w->YMin - 72) < 16);
        }
    }

    void foundDigitOfAnotherPlayerPrintsHisDigit_data()
    {
        QTest::addColumn<int>("ownValue");
        QTest::newRow("own layer empty") << 0;
        QTest::newRow("own layer holds a stale digit") << 7;
    }
    void foundDigitOfAnotherPlayerPrintsHisDigit()
    {
        QFETCH(int, ownValue);
        if (!haveTools())
            QSKIP("pdftotext/pdftoppm not installed");
        // A shared board: the own layer 1 does not hold the digit player 2 found,
        // at most an old entry of its own that no longer counts (state 0).
        boards[1][5][5] = {ownValue, 0, 0, 0};
        boards[2][5][5] = {4, 2, 0, 0};
        TBoardPrintInput in = input();
        in.Found = true;
        printBoard(in);
        const QList<TWord> words = wordsOf(pdf);
        QCOMPARE(words.size(), 1);
        QCOMPARE(words[0].Text, QString("4"));
        QVERIFY(std::abs((words[0].XMin + words[0].XMax) / 2 - (500 + 4.5 * kCell) * kPtPerUnit) < 3);
    }

    void gridLinesHaveTheirPositionsAndWidths()
    {
        if (!haveTools())
            QSKIP("pdftotext/pdftoppm not installed");
        printBoard(input());
        const QImage img = rasterOf(pdf, fx->Dir() + "/grid");
        QVERIFY(img.width() == 2100 && std::abs(img.height() - 2970) <= 1);
        // A row of pixels through the middle of the first cell row.
        const int y = (500 + kCell / 2) / 10;
        const auto runs = darkRuns(img, y);
        QCOMPARE(runs.size(), 10);
        for (int i = 0; i <= 9; ++i) {
            const int width = i % 3 == 0 ? 20 : 10; // 2 mm and 1 mm
            const int centre = (500 + i * kCell) / 10;
            QVERIFY2(std::abs(runs[i].second - width) <= 1, qPrintable(QString::number(runs[i].second)));
            QVERIFY2(std::abs(runs[i].first + runs[i].second / 2 - centre) <= 1,
                     qPrintable(QString::number(runs[i].first)));
        }
        // The same for a column.
        int count = 0;
        for (int yy = 0, start = -1; yy <= img.height(); ++yy) {
            const bool d = yy < img.height() && dark(img.pixel((500 + kCell / 2) / 10, yy));
            if (d && start < 0)
                start = yy;
            if (!d && start >= 0) {
                QVERIFY(std::abs(start + (yy - start) / 2 - (500 + count * kCell) / 10) <= 1);
                ++count;
                start = -1;
            }
        }
        QCOMPARE(count, 10);
    }

    void colourFillsFoundCellsAndMarks()
    {
        if (!haveTools())
            QSKIP("pdftotext/pdftoppm not installed");
        players[2].Color = 0x0000FF; // red, as 0x00BBGGRR
        boards[2][2][2] = {5, 2, 0, 0};
        cells[4][4].Mark(1).State = 1;
        cells[4][4].Mark(9).State = 2;
        TBoardPrintInput in = input();
        in.Found = in.Marks = in.Colour = true;
        in.Mark1Colour = 0x00FF00; // green
        in.Mark2Colour = 0xFF0000; // blue
        printBoard(in);
        const QImage img = rasterOf(pdf, fx->Dir() + "/colour");
        auto at = [&](int ux, int uy) { return QColor(img.pixel(ux / 10, uy / 10)); };
        // Inside cell (2, 2), near its corner, away from the digit.
        QCOMPARE(at(500 + kCell + 300, 500 + kCell + 300), QColor(255, 0, 0));
        // Mark 1 sits top-left, mark 9 bottom-right of cell (4, 4).
        const int left = 500 + 3 * kCell, top = 500 + 3 * kCell, mini = kCell / 3;
        QCOMPARE(at(left + 150, top + 150), QColor(0, 255, 0));
        QCOMPARE(at(left + 3 * mini - 150, top + 3 * mini - 150), QColor(0, 0, 255));
        // An empty cell stays white.
        QCOMPARE(at(500 + 6 * kCell + 300, 500 + 6 * kCell + 300), QColor(255, 255, 255));
        // Marks print as their digits too.
        QStringList texts;
        for (const TWord &w : wordsOf(pdf))
            texts << w.Text;
        texts.sort();
        QCOMPARE(texts, QStringList({"1", "5", "9"}));
    }

    void marksPrintOnlyInCellsNoPlayerFilled()
    {
        if (!haveTools())
            QSKIP("pdftotext/pdftoppm not installed");
        boards[3][4][4] = {6, 3, 0, 0};
        cells[4][4].Mark(2).State = 1;
        cells[5][4].Mark(3).State = 2;
        TBoardPrintInput in = input();
        in.Found = in.Marks = true;
        printBoard(in);
        QStringList texts;
        for (const TWord &w : wordsOf(pdf))
            texts << w.Text;
        texts.sort();
        QCOMPARE(texts, QStringList({"3", "6"}));
    }

    void nothingIsDrawnOutsideAGame()
    {
        TPrintPreview preview;
        TBoardPrintInput in = input();
        in.PlayerNo = 0;
        RenderBoardPage(&preview, in);
        QCOMPARE(preview.TotalPages(), 0);
    }

    void printButtonPrintsTheOwnBoard();

    void windowPlacement_data()
    {
        QTest::addColumn<QRect>("main");
        QTest::addColumn<int>("top"); // expected, from the main window's frame
        // The print window is 560 high.
        const int sh = QGuiApplication::primaryScreen()->geometry().height();
        QTest::newRow("centred in a taller client") << QRect(100, 20, 1000, 700) << 20 + (700 - 560) / 2;
        QTest::newRow("near the screen's bottom: flush with the main window's bottom")
            << QRect(100, sh - 300, 1000, 500) << sh - 300 + 500 - 560;
        QTest::newRow("its bottom edge on the screen's bottom: flush too")
            << QRect(100, sh - 560, 1000, 500) << sh - 560 + 500 - 560;
        QTest::newRow("room below: aligned with the main window's top") << QRect(100, sh - 561, 1000, 500) << sh - 561;
    }
    void windowPlacement()
    {
        QFETCH(QRect, main);
        QFETCH(int, top);
        fx->CreateWindows();
        Form1->setGeometry(main);
        FormDrucken->FirstActivate = true;
        FormDrucken->FormActivate();
        const QRect frame = Form1->frameGeometry();
        QCOMPARE(FormDrucken->y(), frame.top() + top - main.top());
        QCOMPARE(FormDrucken->x(), std::max(1, frame.left() + (frame.width() - Form1->ToolPanel->width() - 322) / 2));
        fx->DestroyWindows();
    }

    void optionsDependOnFoundFields()
    {
        fx->CreateWindows();
        NETZ->MyPlayerNo = 1;
        TFormDrucken *f = FormDrucken;
        f->FormShow(0);
        QVERIFY(!f->BTC_Merker->isEnabled());
        QVERIFY(!f->BTC_farbig->isEnabled());
        // Disabled options ignore clicks.
        f->FormShow(3);
        f->FormShow(1);
        QCOMPARE(f->MerkerM->Tag, 0);
        QCOMPARE(f->farbigM->Tag, 0);
        f->FormShow(2);
        QCOMPARE(f->felderM->Tag, 1);
        QVERIFY(f->BTC_Merker->isEnabled() && f->BTC_farbig->isEnabled());
        f->FormShow(3);
        f->FormShow(1);
        QCOMPARE(f->MerkerM->Tag, 1);
        QCOMPARE(f->farbigM->Tag, 1);
        QCOMPARE(f->PIC_Merker->Picture().cacheKey(), FormOpt->Pic_hacken->Picture().cacheKey());
        // Found fields off switches the other two off and disables them.
        f->FormShow(2);
        QCOMPARE(f->MerkerM->Tag, 0);
        QCOMPARE(f->farbigM->Tag, 0);
        QVERIFY(!f->BTC_Merker->isEnabled() && !f->BTC_farbig->isEnabled());
        QCOMPARE(f->pic_farbig->Picture().cacheKey(), FormOpt->pic_box->Picture().cacheKey());
        // Every option click records the page anew.
        QCOMPARE(f->PrintPreview1->TotalPages(), 1);
        fx->DestroyWindows();
    }
};

void TstBoardPrint::printButtonPrintsTheOwnBoard()
{
    if (!haveTools())
        QSKIP("pdftotext/pdftoppm not installed");
    fx->CreateWindows();
    NETZ->MyPlayerNo = 2;
    Form1->Boards = TBoards();
    Form1->Boards[2][1][1] = {3, -1, 0, 0};
    Form1->Boards[2][6][9] = {8, -1, 0, 0};
    Form1->Boards[1][5][5] = {9, -1, 0, 0}; // another layer's given is not on the own board
    Form1->SymbolSet = "ABCDEFGHI";
    QFile::remove(pdf);
    Form1->brett->hide(); // as the main window's menu entry does
    FormDrucken->show();
    FormDrucken->BTC_DruckenClick();
    QVERIFY(FormDrucken->isVisible()); // the window stays open
    QStringList texts;
    for (const TWord &w : wordsOf(pdf))
        texts << w.Text;
    texts.sort();
    QCOMPARE(texts, QStringList({"C", "H"}));
    // A print failure reaches the user as an error box.
    FormDrucken->PrintPreview1->GrayscalePrint = true;
    FormDrucken->PrintPreview1->GrayscaleByteLimit = 1;
    fx->Dialogs.Shown.clear();
    FormDrucken->BTC_DruckenClick();
    QCOMPARE(int(fx->Dialogs.Shown.size()), 1);
    QCOMPARE(fx->Dialogs.Shown[0].Type, TMsgDlgType::Error);
    QVERIFY(fx->Dialogs.Shown[0].Text.contains("Graustufenbild"));
    QVERIFY(!QFile::exists(pdf));
    FormDrucken->PrintPreview1->GrayscalePrint = false;
    FormDrucken->BTC_closeClick();
    QVERIFY(!FormDrucken->isVisible());
    QVERIFY(!Form1->brett->isHidden());
    fx->DestroyWindows();
}

QTEST_MAIN(TstBoardPrint)
#include "tst_boardprint.moc"
