// The board layout arithmetic: the sizes and places of blocks, cells and
// marks for a board area and the two gaps.
#include "board/UFeld_Layout.h"

#include <QtTest>

class TstBoardLayout : public QObject {
    Q_OBJECT

private slots:
    void layoutFormula_data()
    {
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::addColumn<int>("spanBlock");
        QTest::addColumn<int>("spanCell");
        QTest::addColumn<int>("mark");
        QTest::addColumn<int>("cellSize");
        QTest::addColumn<int>("block");
        QTest::addColumn<int>("board");
        QTest::addColumn<int>("offX");
        QTest::addColumn<int>("offY");
        QTest::addColumn<int>("font");
        QTest::newRow("square 560, gaps 6 and 3") << 560 << 560 << 6 << 3 << 18 << 56 << 174 << 534 << 13 << 13 << 38;
        QTest::newRow("default window 1020 x 725") << 690 << 725 << 6 << 3 << 23 << 71 << 219 << 669 << 10 << 28 << 48;
        QTest::newRow("smallest window 800 x 600") << 470 << 600 << 6 << 3 << 14 << 44 << 138 << 426 << 22 << 87 << 30;
        QTest::newRow("widest gaps") << 560 << 560 << 15 << 15 << 14 << 44 << 162 << 516 << 22 << 22 << 30;
        QTest::newRow("narrowest gaps") << 560 << 560 << 1 << 1 << 19 << 59 << 179 << 539 << 10 << 10 << 40;
        QTest::newRow("wider than high") << 900 << 500 << 6 << 3 << 16 << 50 << 156 << 480 << 210 << 10 << 34;
        QTest::newRow("far too small") << 20 << 20 << 6 << 3 << 0 << 2 << 12 << 48 << -14 << -14 << 1;
    }
    void layoutFormula()
    {
        QFETCH(int, w);
        QFETCH(int, h);
        QFETCH(int, spanBlock);
        QFETCH(int, spanCell);
        const TBoardLayout l = ComputeBoardLayout(w, h, spanBlock, spanCell);
        QTEST(l.Mark, "mark");
        QTEST(l.Cell, "cellSize");
        QTEST(l.Block, "block");
        QTEST(l.Board, "board");
        QTEST(l.OffX, "offX");
        QTEST(l.OffY, "offY");
        QTEST(l.DigitFont, "font");
        // The first and last cells of a block lie flush with its edges, and
        // the marks end at the cell's edge.
        for (int b = 1; b <= 3; ++b) {
            QCOMPARE(l.CellLeft(3 * b - 2), l.BlockLeft(b));
            QCOMPARE(l.CellLeft(3 * b) + l.Cell, l.BlockLeft(b) + l.Block);
            QCOMPARE(l.CellTop(3 * b - 2), l.BlockTop(b));
            QCOMPARE(l.CellTop(3 * b) + l.Cell, l.BlockTop(b) + l.Block);
        }
        QCOMPARE(l.BlockLeft(3) + l.Block, l.OffX + l.Board);
        QCOMPARE(l.MarkPos(3) + l.Mark, l.Cell);
    }
};

QTEST_APPLESS_MAIN(TstBoardLayout)
#include "tst_boardlayout.moc"
