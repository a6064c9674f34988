#include "board/UFeld_Layout.h"

#include <algorithm>

TBoardLayout ComputeBoardLayout(int width, int height, int spanBlock, int spanCell)
{
    TBoardLayout l;
    l.SpanBlock = spanBlock;
    l.SpanCell = spanCell;
    l.Side = std::min(width, height);
    l.T = (l.Side - 18 - 2 * spanBlock) / 3;
    // A board area too small for any mark (never reached above the minimum
    // window size) gets marks of no size instead of negative ones.
    l.Mark = std::max(0, ((l.T - 2 * spanCell) / 3 - 2) / 3);
    l.Cell = 3 * l.Mark + 2;
    l.Block = 3 * l.Cell + 2 * spanCell;
    l.Board = 3 * l.Block + 2 * spanBlock;
    l.OffX = (width - l.Board) / 2;
    l.OffY = (height - l.Board) / 2;
    l.DigitFont = l.Cell * 48 / 70;
    return l;
}
