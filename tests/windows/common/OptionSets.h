#pragma once
// Game option sets for the tests, on the defaults of TGameOptionValues.

#include "settings/UGameOptionValues.h"

inline TGameOptionValues OptionSet(int marks, bool bonus, int level, int kind, bool import, int rating, bool immediate,
                                   bool own)
{
    TGameOptionValues v;
    v.MaxMarks = marks;
    v.MarkBonus = bonus;
    v.Level = level;
    v.SymbolKind = kind;
    v.Import = import;
    v.Rating = rating;
    v.Immediate = immediate;
    v.OwnBoard = own;
    return v;
}

// Bingo on a Sudoku of level 1, rating 2, evaluated at once on a shared board.
inline TGameOptionValues BingoOptionSet(int items, int fill, bool fields, int change)
{
    TGameOptionValues v = OptionSet(2, false, 1, 1, false, 2, true, false);
    v.Bingo = true;
    v.BingoMax = items;
    v.BingoFill = fill;
    v.BingoFields = fields;
    v.BingoChange = change;
    return v;
}
