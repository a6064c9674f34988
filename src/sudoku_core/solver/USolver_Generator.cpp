#include "solver/USolver_Generator.h"

#include "settings/USystem.h"
#include "solver/USolver_Engine.h"

#include <algorithm>
#include <bit>
#include <cstdint>

namespace {

// The row, column and block of each cell index.
struct TTables {
    uint8_t Row[81], Col[81], Box[81];
    TTables()
    {
        for (int i = 0; i < 81; ++i) {
            Row[i] = uint8_t(i / 9);
            Col[i] = uint8_t(i % 9);
            Box[i] = uint8_t((i / 27) * 3 + (i % 9) / 3);
        }
    }
};
const TTables kT;

// Candidate bookkeeping of the brute force: bit d of a mask is digit d. The
// empty cells are kept in a list whose first Open entries are still open.
struct TBrute {
    int Cells[81];
    uint16_t Row[9] = {}, Col[9] = {}, Box[9] = {};
    uint8_t Empty[81];
    int Open = 0;

    bool Load(const int (&cells)[81])
    {
        for (int i = 0; i < 81; ++i)
            Cells[i] = 0;
        Open = 0;
        for (int i = 0; i < 81; ++i) {
            const int d = cells[i];
            if (d == 0) {
                Empty[Open++] = uint8_t(i);
                continue;
            }
            if (d < 1 || d > 9 || !(Free(i) & (1u << d)))
                return false;
            Place(i, d);
        }
        return true;
    }
    uint16_t Free(int i) const { return uint16_t(~(Row[kT.Row[i]] | Col[kT.Col[i]] | Box[kT.Box[i]]) & 0x3FE); }
    void Place(int i, int d)
    {
        const uint16_t bit = uint16_t(1u << d);
        Cells[i] = d;
        Row[kT.Row[i]] |= bit;
        Col[kT.Col[i]] |= bit;
        Box[kT.Box[i]] |= bit;
    }
    void Unplace(int i)
    {
        const uint16_t keep = uint16_t(~(1u << Cells[i]));
        Row[kT.Row[i]] &= keep;
        Col[kT.Col[i]] &= keep;
        Box[kT.Box[i]] &= keep;
        Cells[i] = 0;
    }
    // Takes the open cell with the fewest candidates out of the open list
    // (it goes back with Reopen); -1 when none is open, -2 when one open
    // cell has no candidate.
    int TakeMostConstrained()
    {
        if (Open == 0)
            return -1;
        int best = 0, bestCount = 10;
        for (int k = 0; k < Open; ++k) {
            const int n = DigitCount(Free(Empty[k]));
            if (n < bestCount) {
                if (n == 0)
                    return -2;
                best = k;
                bestCount = n;
                if (n == 1)
                    break;
            }
        }
        std::swap(Empty[best], Empty[Open - 1]);
        return Empty[--Open];
    }
    void Reopen() { ++Open; }
    void Count(int limit, int &found)
    {
        const int i = TakeMostConstrained();
        if (i == -1) {
            ++found;
            return;
        }
        if (i < 0)
            return;
        for (uint16_t m = Free(i); m && found < limit; m &= m - 1) {
            Place(i, std::countr_zero(m));
            Count(limit, found);
            Unplace(i);
        }
        Reopen();
    }
    bool FillRandom()
    {
        const int i = TakeMostConstrained();
        if (i == -1)
            return true;
        if (i < 0)
            return false;
        int digits[9], n = 0;
        for (uint16_t m = Free(i); m; m &= m - 1)
            digits[n++] = std::countr_zero(m);
        while (n > 0) {
            const int k = Random(n);
            Place(i, digits[k]);
            if (FillRandom())
                return true;
            Unplace(i);
            digits[k] = digits[--n];
        }
        Reopen();
        return false;
    }
};

} // namespace

int CountSolutions(const int (&cells)[81], int limit)
{
    TBrute b;
    if (!b.Load(cells))
        return 0;
    int found = 0;
    b.Count(limit, found);
    return found;
}

QString RandomPuzzleString(int minGivens)
{
    TBrute b;
    const int none[81] = {};
    b.Load(none);
    b.FillRandom();
    int solution[81], puzzle[81], order[81];
    for (int i = 0; i < 81; ++i) {
        solution[i] = puzzle[i] = b.Cells[i];
        order[i] = i;
    }
    for (int i = 80; i > 0; --i)
        std::swap(order[i], order[Random(i + 1)]);
    int givens = 81;
    for (int k = 0; k < 81 && givens > minGivens; ++k) {
        const int i = order[k];
        // The solution stays unique without this given exactly when no
        // other digit the givens allow there leads to a solution.
        puzzle[i] = 0;
        TBrute open;
        open.Load(puzzle);
        const uint16_t others = uint16_t(open.Free(i) & ~(1u << solution[i]));
        bool unique = true;
        for (uint16_t m = others; m && unique; m &= m - 1) {
            puzzle[i] = std::countr_zero(m);
            unique = CountSolutions(puzzle, 1) == 0;
        }
        if (unique) {
            puzzle[i] = 0;
            --givens;
        } else {
            puzzle[i] = solution[i];
        }
    }
    QString s;
    for (int i = 0; i < 81; ++i)
        s += QChar((puzzle[i] ? 'A' - 1 : 'a' - 1) + solution[i]);
    return s;
}
