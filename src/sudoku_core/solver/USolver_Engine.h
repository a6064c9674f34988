#pragma once
// The logical solver: its working grid, the elementary grid operations, the
// solve step with its fixed order of techniques, and every technique of
// levels 1 to 11. No widget here: the hint window is in USolver.h.
//
// Everything that computes lives in plain value types and in TSolverEngine,
// which owns no widget, so tests, benchmarks and the Bingo draw can run it
// without a window. TFormSolver (the hint window) inherits the engine and
// adds the three grids the game keeps; its user interface is built on top.
// The solver reaches the rest of the program only through TSolverHooks.

#include "board/UQuadrivo_Types.h"

#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <span>

// Slot 0 is never used; slots 1..9 stand for the digits. 32-bit Booleans:
// 0 is false, any other value true.
using TDigitSet = int32_t[10];
// Slot d counts digit d; slot 0 is never used.
using TDigitCounts = int32_t[10];

struct TSolverCell {
    int32_t Value = 0;   // placed digit 1..9, 0 = empty
    int32_t Level = 0;   // level of the technique that found this cell's digit in this step
    TDigitSet Found{};   // digit d is this step's result for the cell
    TDigitSet Deleted{}; // candidate d was eliminated in this step
    TDigitSet Pattern{}; // candidate d belongs to the pattern that justifies this step
    TDigitSet Merker{};  // candidates; all false in a filled cell
};

struct TSolverGrid {
    bool Initialised = false;  // loaded from the board since the game started
    int32_t FoundLevel = 0;    // 0 nothing, 1..11 a digit by that level, 100 + L eliminations only
    int32_t MerkerLevel = 0;   // first level that eliminated without a digit; 99 = none
    bool StopAtFirst = false;  // the step stops at its first find (hint)
    TSolverCell Cells[10][10]; // [column x][row y], both 1..9; index 0 unused
};

// Technique levels, written into FoundLevel and the found cells' Level.
enum TSolverLevel : int32_t {
    LevelEindeutig = 1,
    LevelHiddenSingle = 2,
    LevelStufe3 = 3,
    LevelZwilling = 4,
    LevelDrilling = 5,
    LevelVZwilling = 6,
    LevelVDrilling = 7,
    LevelXWing = 8,
    LevelUniqRec = 9,
    LevelSueDeCoq5 = 10,
    LevelSueDeCoq4 = 11,
};
constexpr int32_t NoMerkerLevel = 99;    // MerkerLevel: nothing eliminated yet
constexpr int32_t MerkerFoundBase = 100; // FoundLevel 100 + L: technique L only eliminated
constexpr int SolverTraceCategory = 3;

// A cell (column, row), both 1..9.
struct TCellPos {
    int x;
    int y;
};
// Unit kinds in the order every search visits them.
enum TUnitKind { UnitRow = 0, UnitCol = 1, UnitBlock = 2 };
// The nine cells of unit u = 0..8 into cells[1..9]: row u + 1 from column 1
// to 9, column u + 1 from row 1 to 9, or block (u mod 3, u div 3) by its
// cell numbers, row by row. Blocks are thus taken block rows outer.
void UnitCells(int kind, int u, TCellPos (&cells)[10]);

// The grid routines that need no solver state.
void CopySolverGrid(const TSolverGrid &source, TSolverGrid &dest);
int FreeCellsInRow(const TSolverGrid &grid, int y);
int FreeCellsInCol(const TSolverGrid &grid, int x);
int FreeCellsInBlock(const TSolverGrid &grid, int bx, int by);
int CountMerker(const TSolverCell &cell);
// Number of digits in a mask of bits 0..9. A table: std::popcount becomes a
// library call where the build may not assume the processor counts bits.
inline int DigitCount(unsigned mask)
{
    static constexpr std::array<uint8_t, 1024> counts = [] {
        std::array<uint8_t, 1024> t{};
        for (unsigned m = 1; m < 1024; ++m)
            t[m] = uint8_t(t[m >> 1] + (m & 1u));
        return t;
    }();
    return counts[mask & 1023u];
}
// Bit d set for each candidate d of an empty cell; 0 for a filled cell.
uint16_t MerkerMask(const TSolverCell &cell);
int CountMerkerUnion2(const TSolverCell &c1, const TSolverCell &c2);
int CountMerkerUnion3(const TSolverCell &c1, const TSolverCell &c2, const TSolverCell &c3);
int CountMerkerUnion4(const TSolverCell &c1, const TSolverCell &c2, const TSolverCell &c3, const TSolverCell &c4);
void DigitCountsInRow(const TSolverGrid &grid, int y, TDigitCounts &counts);
void DigitCountsInCol(const TSolverGrid &grid, int x, TDigitCounts &counts);
void ClearDigitSet(TDigitSet &set);
void DigitSetUnion(const TDigitSet &a, const TDigitSet &b, TDigitSet &out);
void DigitSetMinus(const TDigitSet &a, const TDigitSet &b, TDigitSet &out);
// Number of board cells free on all layers (the Bingo draw stores it).
int CountFreeCells(const TBoards &boards);

// Where the candidates of a grid sit, unit by unit, for the techniques that
// look for patterns: the candidate mask of every cell (MerkerMask), and per
// unit (UnitRow, UnitCol, UnitBlock; 0..8 as UnitCells) the positions 1..9
// of its cells that hold digit d (bit p), of its filled cells, and the
// digits placed in it (bit d).
struct TCandidateMap {
    uint16_t Mask[10][10];
    uint16_t Pos[3][9][10];
    uint16_t Filled[3][9];
    uint16_t Placed[3][9];
    void Build(const TSolverGrid &grid);
};

// How the solver talks to the rest of the program. Every hook may be empty.
struct TSolverHooks {
    // One trace line of the given category (the solver writes category 3).
    std::function<void(int category, const QString &text)> Trace;
    // Optional filter asked before a line is formatted, so that the many
    // per-pattern lines cost nothing while the category is switched off.
    // Empty: every line goes to Trace.
    std::function<bool(int category)> TraceWanted;
    // Redraw the board's pencil marks (a technique noted eliminations).
    std::function<void()> RefreshMarks;
};

class TSolverEngine {
public:
    TSolverHooks Hooks;
    // Unit phrase of the last hidden single: "in der Zeile", "in der Spalte", "im Block".
    QString HiddenSingleUnit;

    // Grid operations.
    void ResetGrid(TSolverGrid &grid);
    void LoadGameFromBoard(TSolverGrid &grid, const TBoards &boards);
    void LoadPuzzleFromBoard(TSolverGrid &grid, const TBoards &boards);
    void PlaceDigit(TSolverGrid &grid, int x, int digit, int y);
    void PropagateValues(TSolverGrid &grid);
    void ClearStepMarks(TSolverGrid &grid);

    // One solve step. Returns whether it made progress: a digit was found or
    // a candidate removed. Every loop over steps stops once a step made none.
    bool SolveStep(TSolverGrid &grid, bool stopAtFirst);
    // The editor test's full solve: steps until nothing is found; after each
    // step the found digits are written into the grid (the highest where a
    // cell has several), onStep is told the count, and the grid is propagated.
    // Returns the number of steps that were followed by a write-back.
    using TStepReport = std::function<void(const TSolverGrid &grid, int written)>;
    int SolveToEnd(TSolverGrid &grid, const TStepReport &onStep = {});

    // Singles finders.
    void FindEindeutige(TSolverGrid &grid, int level);
    void FindNakedSingle(TSolverGrid &grid, int level);
    void FindHiddenSingle(TSolverGrid &grid, int level);
    // The fallback: apply the first technique that only eliminated.
    void ApplyMerkerStep(TSolverGrid &grid);

    // Techniques of levels 3 to 11; searchMode true searches on trial copies,
    // false applies the first pattern that eliminates anything.
    void FindStufe3(TSolverGrid &grid, int level, bool searchMode);
    void FindZwilling(TSolverGrid &grid, int level, bool searchMode);
    void FindDrilling(TSolverGrid &grid, int level, bool searchMode);
    void FindVZwilling(TSolverGrid &grid, int level, bool searchMode);
    void FindVDrilling(TSolverGrid &grid, int level, bool searchMode);
    void FindXWing(TSolverGrid &grid, int level, bool searchMode);
    void FindSueDeCoq4(TSolverGrid &grid, int level, bool searchMode);
    void FindSueDeCoq5(TSolverGrid &grid, int level, bool searchMode);
    // Runs technique `level` (3..8, 10, 11); any other level runs nothing.
    void RunTechnique(TSolverGrid &grid, int level, bool searchMode);

    // Naked-subset eliminators on a trial grid. Block cells are given by row
    // and column offsets 1..3 inside block (bx, by).
    void EliminatePairRow(TSolverGrid &trial, int level, int x2, int x1, int y);
    void EliminatePairCol(TSolverGrid &trial, int level, int y2, int y1, int x);
    void EliminatePairBlock(TSolverGrid &trial, int level, int ry2, int cx2, int ry1, int cx1, int by, int bx);
    void EliminateTripleRow(TSolverGrid &trial, int level, int x3, int x2, int x1, int y);
    void EliminateTripleCol(TSolverGrid &trial, int level, int y3, int y2, int y1, int x);
    void EliminateTripleBlock(TSolverGrid &trial, int level, int ry3, int cx3, int ry2, int cx2, int ry1, int cx1,
                              int by, int bx);

private:
    bool TraceOn() const;
    void Trace(const QString &text);
    template <typename... Args> void TraceF(const char *format, Args... args)
    {
        if (TraceOn())
            Trace(QString::asprintf(format, args...));
    }

    void EliminateAround(TSolverGrid &grid, int x, int y, int digit);
    // Candidate removal from cell (x, y) of a trial copy; notes real
    // removals for TryTrial.
    bool RemoveCandidate(TSolverGrid &trial, int x, int y, int d);
    // Sue de Coq's sweep: every digit of `set` is deleted from (x, y).
    void SweepCell(TSolverGrid &trial, int level, int x, int y, const TDigitSet &set, bool rowFirst);
    void EliminateSubset(TSolverGrid &trial, int level, const TCellPos *unit, const TCellPos *pattern, int size);

    void BeginTrial(const TSolverGrid &grid, TSolverGrid &trial);
    bool TryTrial(TSolverGrid &grid, TSolverGrid &trial, int level, bool searchMode);
    bool GridHasSingles(const TSolverGrid &grid);
    bool TrialMayHoldSingle(const TSolverGrid &trial) const;

    void NakedSubsets(TSolverGrid &grid, int level, bool searchMode, int size);
    bool HiddenSubsets(TSolverGrid &grid, int level, bool searchMode, int size);
    bool Stufe3Passes(TSolverGrid &grid, int level, bool searchMode);
    bool XWingPasses(TSolverGrid &grid, int level, bool searchMode, int &lastTrialLevel);
    bool SueDeCoq4Passes(TSolverGrid &grid, int level, bool searchMode);
    bool SueDeCoq5Passes(TSolverGrid &grid, int level, bool searchMode);
    bool TrySueDeCoq(TSolverGrid &grid, TSolverGrid &trial, int level, bool searchMode,
                     std::span<const TCellPos> pattern, const TDigitSet &unionSet, const TSolverCell &lineCell,
                     const TSolverCell &blockCell, const TCellPos (&lineCells)[10], bool lineRowFirst,
                     const TCellPos (&blockCells)[10], TCellPos note);

    // A trial that removed no candidate can only find a single that the grid
    // itself already holds. The solve step runs its techniques only after the
    // singles finders came up empty, so it tells them (SinglesAbsent); a
    // technique called on its own works it out once per call (GridSingles,
    // -1 = not yet known).
    void StartTechnique(const TSolverGrid &grid);
    int TrialRemovals = 0;
    int GridSingles = -1;
    bool SinglesAbsent = false;
    // On a grid without singles, a trial can only make one where it removed
    // a candidate: in that cell, or for that digit in the cell's units. The
    // first removals of a trial, for TrialMayHoldSingle; beyond them the
    // singles finders run on the whole trial.
    struct TRemoval {
        uint8_t x, y, d;
    };
    static constexpr int kRemovalLog = 32;
    TRemoval Removals[kRemovalLog];
    // The trial copy every technique works on and the copy GridHasSingles
    // scans, kept here so that no call has to clear a grid it overwrites.
    TSolverGrid Trial;
    TSolverGrid Probe;
    // The grid's candidates as the techniques read them. A technique's
    // search leaves the grid's candidates as they are unless it keeps a
    // trial, and a kept trial ends the solve step's search; so within a
    // step the map is taken once (MapFresh) and dropped when a trial is kept.
    TCandidateMap Map;
    bool MapFresh = false;
};
