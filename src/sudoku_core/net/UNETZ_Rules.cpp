#include "net/UNETZ_Rules.h"

#include "solver/USolver_Engine.h"

#include <algorithm>

TPackedOptions PackOptions(const TGameOptionValues &v)
{
    TPackedOptions p;
    p.x = v.MaxMarks + (v.MarkBonus ? 10 : 0);
    p.y = v.Level + (v.SymbolKind == 2 ? 10 : 0) + (v.SymbolKind == 3 ? 20 : 0) + (v.Import ? 100 : 0);
    if (v.Bingo) {
        p.a = v.BingoMax + (v.BingoFill == 1 ? 10 : 0) + (v.BingoFill == 2 ? 20 : 0) + (v.BingoFields ? 100 : 0) +
              (v.BingoChange == 1 ? 1000 : 0) + (v.BingoChange == 2 ? 2000 : 0);
    }
    p.b = v.Immediate ? 1 : 0;
    p.z = v.OwnBoard ? 1 : 0;
    p.Gid = v.Rating;
    return p;
}

TPackedOptions PackedOptionsOf(const TTelegram &t)
{
    TPackedOptions p;
    p.x = t.x;
    p.y = t.y;
    p.a = t.a;
    p.b = t.b;
    p.z = t.z;
    p.Gid = t.Gid;
    return p;
}

void PutPackedOptions(TTelegram &t, const TPackedOptions &p)
{
    t.x = p.x;
    t.y = p.y;
    t.a = p.a;
    t.b = p.b;
    t.z = p.z;
    t.Gid = p.Gid;
}

TGameOptionValues UnpackOptions(const TPackedOptions &p)
{
    TGameOptionValues v;
    int x = p.x;
    v.MarkBonus = x > 9;
    if (v.MarkBonus)
        x -= 10;
    v.MaxMarks = x;
    v.OwnBoard = p.z != 0;
    v.Immediate = p.b != 0;
    v.Rating = p.Gid;

    int y = p.y;
    v.Import = y >= 100;
    if (v.Import)
        y -= 100;
    v.SymbolKind = 1;
    if (y >= 10) {
        v.SymbolKind = 2;
        y -= 10;
    }
    if (y >= 10) {
        v.SymbolKind = 3;
        y -= 10;
    }
    v.Level = y;

    int a = p.a;
    if (a > 0) {
        v.Bingo = true;
        if (a < 1001) {
            v.BingoChange = 0;
        } else if (a < 2001) {
            v.BingoChange = 1;
            a -= 1000;
        } else {
            v.BingoChange = 2;
            a -= 2000;
        }
        v.BingoFields = a >= 101;
        if (v.BingoFields)
            a -= 100;
        if (a < 21) {
            v.BingoFill = 1;
        } else {
            v.BingoFill = 2;
            a -= 10;
        }
        // What is left is the item count plus the 10 of the refill mode.
        v.BingoMax = std::clamp(a - 10, 1, 4);
    }
    return v;
}

int PenaltyForError(int rating, int errorsBefore, int lastPenalty)
{
    const bool first = errorsBefore < 1;
    switch (rating) {
    case 2:
        // A player who is out or gone has no penalty to add to.
        return first ? 5 : std::max(lastPenalty, 0) + 5;
    case 3:
        return first ? 10 : -1;
    case 4:
        return -1;
    default:
        return 5;
    }
}

int MarkBonusPoints(bool hasBonus, int maxMarks, int usedMarks, int found)
{
    if (!hasBonus)
        return 0;
    // More marks than the limit allows can only come from a lowered limit:
    // such a player simply has nothing left over.
    return std::max(maxMarks - usedMarks, 0) * found;
}

int PointsForGame(int rating, int base, int bonus, int errors)
{
    int points = 0;
    switch (rating) {
    case 1:
        points = bonus + 3 * base - errors;
        break;
    case 2:
        points = bonus + 2 * base - 2 * errors;
        break;
    case 3:
        points = errors < 2 ? base + bonus - 3 * errors : 0;
        break;
    case 4:
        points = errors == 0 ? base + bonus : 0;
        break;
    default:
        break;
    }
    return std::max(points, 0);
}

TCellCount CountScoredCells(const TBoards &boards, int slot, bool immediate, bool ownBoard, bool ghost)
{
    TCellCount n;
    if (slot < 1 || slot > 8)
        return n;
    const int g = immediate && !ownBoard ? 0 : slot;
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            const TGridEntry &c = boards[g][x][y];
            const bool right = c.Value == boards[0][x][y].Value;
            if (immediate) {
                if (c.State == slot) {
                    if (right)
                        ++n.Found;
                } else if (ghost ? IsCellFreeOnAllLayers(boards, x, y) : c.State == 0) {
                    ++n.Free;
                }
            } else if (c.State == slot) {
                if (right)
                    ++n.Found;
                else
                    ++n.Errors;
            } else if (c.State != -1) {
                ++n.Free;
            }
        }
    return n;
}
