// What the judging units share: the questions about the running game and
// the small steps on telegrams and cells.
#pragma once

#include "board/ULog.h"
#include "board/UQuadrivo_Types.h"
#include "competitions/Ughost.h"
#include "net/UNETZ_Telegram.h"
#include "screens/UGameOptionen.h"

namespace NetJudging {
inline bool traceOn(int category)
{
    return Trace && Trace->IsCatOn(category);
}

// The font colour of a cell result that shows a wrong digit (red, 0x00BBGGRR);
// every other result is shown in black (0).
constexpr int kWrongDigitColor = 255;

inline bool isSlot(int p)
{
    return p >= 1 && p <= 8;
}

inline bool ghostGame()
{
    return FormGhost && FormGhost->GhostMode;
}

inline bool immediateEvaluation()
{
    return !FormGO || FormGO->IsEvaluationImmediate();
}

inline bool ownBoards()
{
    return FormGO && FormGO->IsOwnBoard();
}

// The layer a player's cells are counted on: the shared layer 0 unless every
// player has a board of his own.
inline int countedLayer(int p)
{
    return ownBoards() ? p : 0;
}

// A telegram about one cell: an entry or a blink.
inline TTelegram cellTelegram(int kind, int x, int y, int z, int gid)
{
    TTelegram t;
    t.Aktion = kind;
    t.x = x;
    t.y = y;
    t.z = z;
    t.Gid = gid;
    return t;
}

// Empties one cell of a layer for a new entry; a given stays.
inline bool clearCell(TGridEntry &cell)
{
    if (cell.State == -1)
        return false;
    cell.Value = 0;
    cell.State = 0;
    return true;
}
} // namespace NetJudging
