#pragma once
// The board model shared by every unit: nine layers of 9 x 9 entries.
// Arrays are one larger than needed so that indices read 1..9 like the game does.

#include <cstdint>

struct TGridEntry {
    int32_t Value = 0;       // digit 1..9, 0 = none (never the shown symbol)
    int32_t State = 0;       // coding depends on the layer (given / open / player)
    int32_t FirstFinder = 0; // layer 0 in ghost games: slot credited with the cell
    int64_t FoundTime = 0;   // game time of that stamp, tenths of a second
};

// [column x][row y], both 1..9; index 0 unused.
struct TBoardLayer {
    TGridEntry Cell[10][10];
    TGridEntry *operator[](int x) { return Cell[x]; }
    const TGridEntry *operator[](int x) const { return Cell[x]; }
};

// Layer 0 is the reference (or editor) board, layers 1..8 the player slots.
struct TBoards {
    TBoardLayer Layer[9];
    TBoardLayer &operator[](int k) { return Layer[k]; }
    const TBoardLayer &operator[](int k) const { return Layer[k]; }
};

inline bool IsBoardIndex(int n) { return n >= 1 && n <= 9; }
// A digit 1..9 (0 stands for none).
inline bool IsDigit(int d) { return d >= 1 && d <= 9; }

// True when no layer 0..8 holds a nonzero State at (x, y).
inline bool IsCellFreeOnAllLayers(const TBoards &boards, int x, int y)
{
    for (int k = 0; k <= 8; ++k)
        if (boards[k][x][y].State != 0)
            return false;
    return true;
}

#include "net/UNETZ_Telegram.h"

#include <QString>

class TLabel;
class TImage;

// One progress sample of a player: time without penalty and cells found.
struct TProgressSample {
    int64_t Time = 0;
    int32_t Found = 0;
};

constexpr int kSampleCapacity = 161;
constexpr int kQueueSize = 501;

// One of the eight player slots.
struct TPlayerRecord {
    QString Name;               // at most 15 characters; empty = slot unused
    QString Address;            // at most 15 characters; empty = free slot
    int32_t PlayerNo = -1;      // 1..8, -1 none
    int32_t WaitSeconds = 0;    // penalty wait still to run
    int32_t Penalty = 0;        // last penalty in seconds; -1 out, -2 logged off
    int32_t Points = 0;
    int32_t Bonus = 0;
    int32_t FreeCells = 0;
    int32_t Errors = 0;
    int32_t UsedMarks = 0;      // most pencil marks in any one cell
    int32_t SentUsedMarks = 0;  // UsedMarks last reported to the host
    bool GameOver = false;
    bool Active = false;
    int32_t Found = 0;
    int32_t Color = 0;          // 0x00BBGGRR
    bool Ready = false;
    int32_t SampleCount = 0;
    TProgressSample Samples[kSampleCapacity];
    int32_t QueueWrite = 0;     // 0..500
    int32_t QueueRead = 0;      // 0..500
    TTelegram SendQueue[kQueueSize];
};

// The controls of one row of a player table.
struct TPlayerTableRow {
    TLabel *NameLabel = nullptr;
    TImage *ColorImage = nullptr;
    TLabel *FoundLabel = nullptr;
    TLabel *ErrorsLabel = nullptr;
    TLabel *FreeLabel = nullptr;
    TLabel *WaitLabel = nullptr;   // main window only
    TLabel *PointsLabel = nullptr; // end-of-game window only
    TLabel *BonusLabel = nullptr;  // end-of-game window only
    TImage *StatusImage = nullptr; // main window only
};
