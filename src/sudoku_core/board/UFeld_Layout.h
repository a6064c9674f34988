#pragma once
// The board layout arithmetic: where the blocks, cells and pencil marks lie
// for a board area of a given size. No widget here; the board view
// (UFeld.h) places its controls by it.

// The sizes of the board for a board area of width x height and the two gaps.
// All divisions truncate toward zero.
struct TBoardLayout {
    int Side = 0;
    int T = 0;
    int Mark = 0;
    int Cell = 0;
    int Block = 0;
    int Board = 0;
    int OffX = 0;
    int OffY = 0;
    int DigitFont = 0;
    int SpanBlock = 0;
    int SpanCell = 0;

    int BlockLeft(int bx) const { return (SpanBlock + Block) * (bx - 1) + OffX; }
    int BlockTop(int by) const { return (SpanBlock + Block) * (by - 1) + OffY; }
    int CellLeft(int x) const { return cellOffset(x) + OffX; }
    int CellTop(int y) const { return cellOffset(y) + OffY; }
    // Inside the cell panel.
    int MarkPos(int n) const { return (Mark + 1) * (n - 1); }

private:
    int cellOffset(int n) const
    {
        return (Cell + SpanCell) * (n - 1) + (n >= 4 ? SpanBlock - SpanCell : 0) + (n >= 7 ? SpanBlock - SpanCell : 0);
    }
};
TBoardLayout ComputeBoardLayout(int width, int height, int spanBlock, int spanCell);
