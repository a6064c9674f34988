#pragma once
// The Bingo draw without a window: the list of entries (cells with their
// digits) that logic can reach from the current board, the offer drawn from
// it, and the free cells drawn at random only when logic yields too little.

#include "board/UQuadrivo_Types.h"

#include <QString>
#include <cstdint>
#include <functional>

struct TSolverGrid;
class TSolverEngine;

// One entry of the Bingo list. A slot is free exactly when its value is 0.
struct BingoEntry {
    int32_t x = 0;     // column 1..9
    int32_t y = 0;     // row 1..9
    int32_t value = 0; // digit 1..9; 0 = free slot
    int32_t kind = 0;  // TBingoKind
};

enum TBingoKind : int32_t {
    BingoKindFree = 0,
    BingoKindOffered = 1, // part of the current offer, or drawn at random
    BingoKindSingle = 2,  // the solver places this digit in the current position
    BingoKindCombo = 3,   // the solver places it once the offered and single entries are played
};

constexpr int kBingoSlots = 82;

struct TBingoList {
    QString OfferValues;    // the current offer's digits, one character per item, in list order
    QString OfferX;         // the offered items' columns
    QString OfferY;         // the offered items' rows
    QString BagValues;      // the digits of all entries with a kind (diagnostic)
    int32_t EntryCount = 0; // where the next entry goes: the first free slot
    int32_t FreeCells = 99; // free board cells as last counted; 99 = not yet in this draw
    BingoEntry Entries[kBingoSlots];
    QString InputSinceDraw; // the digit entered since the last draw
};

// The Bingo options a draw reads.
struct TBingoSettings {
    int Max = 4;              // items per offer, 1..4 (BingoMax)
    bool RefillEmpty = false; // "wenn Vorgabe leer" (rb_Bingo_leer); else "sofort auffüllen"
    bool Numbers = true;      // rb_Zahlen checked; else fields (rb_Felder)
    bool Fixed = true;        // rb_fest
    bool Alternate = false;   // rb_alternate
    bool Random = false;      // rb_random
};

// The draw and the list's bookkeeping, on the list, board and solver it is
// given; the program's routines (UBingo.h) run it on the Bingo window's list.
class TBingoDraw {
public:
    TBingoDraw(TBingoList &list, bool &drawNumbers, TSolverEngine &solver, const TBoards &boards,
               const TBingoSettings &settings);

    // Receives the trace lines (category 4); empty: nothing is formatted.
    std::function<void(const QString &)> Trace;

    // Makes the next offer; only the host draws. True when the offer strings
    // were rebuilt.
    bool NextBingoDraw(bool first, bool isHost);
    // One pass of the escalating refill on the draw grid. False when the pass
    // changed nothing (no entry, no placement, no candidate removed), so that
    // a further pass cannot help.
    bool RefillBingo(TSolverGrid &grid);
    void AddUniqueCandidates(const TSolverGrid &grid, int kind);
    void RemoveBingoEntry(int x, int y, int value);
    void UpdateBingoKind(bool first);
    bool IsBingoNumbersNow() const;
    // The last resort of a refill pass: one cell empty in the draw grid and
    // held by no entry, drawn at random, is appended as offered with its
    // solution digit. False when there is none (or no free slot).
    bool DrawAtRandom(const TSolverGrid &grid);

    // A guard: passes of the refill per draw (each pass must change the draw
    // grid or the list, so far fewer are ever needed).
    static constexpr int kMaxRefillPasses = 1000;
    // Passes the last NextBingoDraw ran.
    int RefillPasses = 0;

private:
    bool tracing() const { return bool(Trace); }
    void trace(const QString &text) const;
    template <typename... Args> void traceF(const char *format, Args... args) const
    {
        if (tracing())
            trace(QString::asprintf(format, args...));
    }
    void traceSlots(const char *prefix, const BingoEntry *entries, int BingoEntry::*field, int count = -1) const;
    int firstFreeSlot() const;
    bool isCellHeld(int x, int y) const;
    void playInto(TSolverGrid &grid, int maxKind) const;
    // One stage of the refill: plays the entries up to maxKind, solves on and
    // adds what the step found. Returns whether the solve step progressed.
    bool refillStage(TSolverGrid &grid, int maxKind, const char *before, const char *after);
    void pickFromPool(BingoEntry *target, int kind, const char *traceFormat);
    void setOfferFrom(const BingoEntry *entries, int count);

    TBingoList &L;
    bool &DrawNumbers;
    TSolverEngine &Solver;
    const TBoards &Boards;
    TBingoSettings S;
};
