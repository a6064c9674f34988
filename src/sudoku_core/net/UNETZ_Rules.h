#pragma once
// The rules of a game that need no window: the game options as telegrams 101
// and 103 pack them, the time penalty of a wrong entry, the points of a
// player at the end, and the recount of a player's cells that the scoring
// starts from.

#include "board/UQuadrivo_Types.h"
#include "settings/UGameOptionValues.h"

#include <cstdint>

// The fields x, y, a, b, z and Gid of an options telegram.
struct TPackedOptions {
    int32_t x = 0;
    int32_t y = 0;
    int32_t a = 0;
    int32_t b = 0;
    int32_t z = 0;
    int32_t Gid = 0;

    bool operator==(const TPackedOptions &o) const = default;
};

TPackedOptions PackOptions(const TGameOptionValues &v);
// The packed fields as a telegram holds them, and back into one.
TPackedOptions PackedOptionsOf(const TTelegram &t);
void PutPackedOptions(TTelegram &t, const TPackedOptions &p);
// The reverse, as a client applies it. Fields it does not carry keep the
// defaults of TGameOptionValues (the Bingo settings without Bingo, the
// import folder, rotation and mixing).
TGameOptionValues UnpackOptions(const TPackedOptions &p);

// The penalty of a wrong entry in seconds, or -1 when it puts the player out.
// errorsBefore counts the player's wrong entries before this one;
// lastPenalty is the penalty of the player's last judged entry (0 after a
// right one), which the rising penalties of rating 2 build on.
int PenaltyForError(int rating, int errorsBefore, int lastPenalty);

// The bonus for unused pencil marks: what the limit left unused, for every
// cell found.
int MarkBonusPoints(bool hasBonus, int maxMarks, int usedMarks, int found);

// The points of a player by the rating: base counts the cells found (plus the
// rest a tournament's last player receives); never below 0.
int PointsForGame(int rating, int base, int bonus, int errors);

// A player's cells as the end of a game counts them.
struct TCellCount {
    int Found = 0;
    int Errors = 0; // only counted with evaluation at the end
    int Free = 0;
};
// Immediate evaluation counts the player's layer (the shared layer 0 when
// the board is shared): its cells with the right digit are found, free are
// the open cells (in a ghost game the cells free on every layer). Evaluation
// at the end counts the player's own layer: entered cells are found or
// errors, every other cell but a given is free.
TCellCount CountScoredCells(const TBoards &boards, int slot, bool immediate, bool ownBoard, bool ghost);
