#pragma once
// The options of the next game as plain values, without the window that holds
// them: what the rest of the program reads, what an options telegram carries
// and what the game options window applies in one step.

#include <QString>

struct TGameOptionValues {
    int MaxMarks = 2;       // pencil-mark limit 0..9
    bool MarkBonus = false; // bonus for unused pencil marks
    int Level = 0;          // 0..3
    int SymbolKind = 1;     // 1 digits, 2 letters A-I, 3 random letters
    bool Import = false;    // puzzles from files
    QString ImportDir;      // the folder of the imported puzzles, as the user sees it
    bool Rotation = false;  // imported puzzles rotated
    bool Mix = false;       // imported puzzles relabelled
    bool Bingo = false;
    int BingoMax = 4;         // items per draw 1..4
    int BingoFill = 1;        // 1 refill at once, 2 when the offer is used up (0 neither chosen)
    bool BingoFields = false; // fields rather than numbers
    int BingoChange = 0;      // 0 fixed, 1 alternating, 2 random (-1 none chosen yet)
    bool Immediate = true;    // judge every entry at once
    bool OwnBoard = false;    // each player an own board
    int Rating = 1;           // 1..4

    bool operator==(const TGameOptionValues &o) const = default;
};
