#include "solver/USolver_Engine.h"

#include <bit>
#include <cstring>

namespace {

int CountCandidates(const TSolverGrid &grid)
{
    int n = 0;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            for (int d = 1; d <= 9; ++d)
                n += grid.Cells[x][y].Merker[d] != 0;
    return n;
}

bool AnyFound(const TSolverGrid &grid)
{
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            if (grid.Cells[x][y].Value == 0)
                for (int d = 1; d <= 9; ++d)
                    if (grid.Cells[x][y].Found[d])
                        return true;
    return false;
}

} // namespace

// ---------------------------------------------------------------------------
// Grid routines without solver state

void UnitCells(int kind, int u, TCellPos (&cells)[10])
{
    for (int p = 1; p <= 9; ++p) {
        if (kind == UnitRow)
            cells[p] = {p, u + 1};
        else if (kind == UnitCol)
            cells[p] = {u + 1, p};
        else
            cells[p] = {3 * (u % 3) + (p - 1) % 3 + 1, 3 * (u / 3) + (p - 1) / 3 + 1};
    }
}

void CopySolverGrid(const TSolverGrid &source, TSolverGrid &dest)
{
    dest = source;
}

int FreeCellsInRow(const TSolverGrid &grid, int y)
{
    int n = 0;
    for (int x = 1; x <= 9; ++x)
        n += grid.Cells[x][y].Value == 0;
    return n - 1;
}

int FreeCellsInCol(const TSolverGrid &grid, int x)
{
    int n = 0;
    for (int y = 1; y <= 9; ++y)
        n += grid.Cells[x][y].Value == 0;
    return n - 1;
}

int FreeCellsInBlock(const TSolverGrid &grid, int bx, int by)
{
    int n = 0;
    for (int x = 3 * bx + 1; x <= 3 * bx + 3; ++x)
        for (int y = 3 * by + 1; y <= 3 * by + 3; ++y)
            n += grid.Cells[x][y].Value == 0;
    return n - 1;
}

uint16_t MerkerMask(const TSolverCell &cell)
{
    if (cell.Value != 0)
        return 0;
    // Without a branch per digit: which digits a cell holds is anybody's guess.
    unsigned m = 0;
    for (int d = 1; d <= 9; ++d)
        m |= unsigned(cell.Merker[d] != 0) << d;
    return uint16_t(m);
}

void TCandidateMap::Build(const TSolverGrid &grid)
{
    std::memset(Pos, 0, sizeof Pos);
    std::memset(Filled, 0, sizeof Filled);
    std::memset(Placed, 0, sizeof Placed);
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            const TSolverCell &c = grid.Cells[x][y];
            const int b = 3 * ((y - 1) / 3) + (x - 1) / 3;
            const int pb = 3 * ((y - 1) % 3) + (x - 1) % 3 + 1;
            const uint16_t m = MerkerMask(c);
            Mask[x][y] = m;
            if (c.Value != 0) {
                Filled[UnitRow][y - 1] |= uint16_t(1u << x);
                Filled[UnitCol][x - 1] |= uint16_t(1u << y);
                Filled[UnitBlock][b] |= uint16_t(1u << pb);
                if (IsDigit(c.Value)) {
                    const uint16_t v = uint16_t(1u << c.Value);
                    Placed[UnitRow][y - 1] |= v;
                    Placed[UnitCol][x - 1] |= v;
                    Placed[UnitBlock][b] |= v;
                }
            }
            for (unsigned rest = m; rest != 0; rest &= rest - 1) {
                const int d = std::countr_zero(rest);
                Pos[UnitRow][y - 1][d] |= uint16_t(1u << x);
                Pos[UnitCol][x - 1][d] |= uint16_t(1u << y);
                Pos[UnitBlock][b][d] |= uint16_t(1u << pb);
            }
        }
}

int CountMerker(const TSolverCell &cell)
{
    return DigitCount(MerkerMask(cell));
}

int CountMerkerUnion2(const TSolverCell &c1, const TSolverCell &c2)
{
    if (c1.Value != 0 || c2.Value != 0)
        return -1;
    return DigitCount(unsigned(MerkerMask(c1) | MerkerMask(c2)));
}

int CountMerkerUnion3(const TSolverCell &c1, const TSolverCell &c2, const TSolverCell &c3)
{
    if (c1.Value != 0 || c2.Value != 0 || c3.Value != 0)
        return -1;
    return DigitCount(unsigned(MerkerMask(c1) | MerkerMask(c2) | MerkerMask(c3)));
}

int CountMerkerUnion4(const TSolverCell &c1, const TSolverCell &c2, const TSolverCell &c3, const TSolverCell &c4)
{
    if (c1.Value != 0 || c2.Value != 0 || c3.Value != 0 || c4.Value != 0)
        return -1;
    return DigitCount(unsigned(MerkerMask(c1) | MerkerMask(c2) | MerkerMask(c3) | MerkerMask(c4)));
}

void DigitCountsInRow(const TSolverGrid &grid, int y, TDigitCounts &counts)
{
    for (int d = 0; d <= 9; ++d)
        counts[d] = 0;
    for (int x = 1; x <= 9; ++x) {
        const TSolverCell &c = grid.Cells[x][y];
        if (c.Value == 0)
            for (int d = 1; d <= 9; ++d)
                counts[d] += c.Merker[d] != 0;
    }
}

void DigitCountsInCol(const TSolverGrid &grid, int x, TDigitCounts &counts)
{
    for (int d = 0; d <= 9; ++d)
        counts[d] = 0;
    for (int y = 1; y <= 9; ++y) {
        const TSolverCell &c = grid.Cells[x][y];
        if (c.Value == 0)
            for (int d = 1; d <= 9; ++d)
                counts[d] += c.Merker[d] != 0;
    }
}

void ClearDigitSet(TDigitSet &set)
{
    for (int d = 1; d <= 9; ++d)
        set[d] = false;
}

void DigitSetUnion(const TDigitSet &a, const TDigitSet &b, TDigitSet &out)
{
    for (int d = 1; d <= 9; ++d)
        out[d] = a[d] || b[d];
}

void DigitSetMinus(const TDigitSet &a, const TDigitSet &b, TDigitSet &out)
{
    for (int d = 1; d <= 9; ++d)
        out[d] = a[d] && !b[d];
}

int CountFreeCells(const TBoards &boards)
{
    int n = 0;
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x)
            n += IsCellFreeOnAllLayers(boards, x, y);
    return n;
}

// ---------------------------------------------------------------------------
// Trace

bool TSolverEngine::TraceOn() const
{
    return Hooks.Trace && (!Hooks.TraceWanted || Hooks.TraceWanted(SolverTraceCategory));
}

void TSolverEngine::Trace(const QString &text)
{
    if (TraceOn())
        Hooks.Trace(SolverTraceCategory, text);
}

// ---------------------------------------------------------------------------
// Grid operations

void TSolverEngine::EliminateAround(TSolverGrid &grid, int x, int y, int digit)
{
    // A digit from a malformed code or file must never index a set.
    if (!IsDigit(digit) || !IsBoardIndex(x) || !IsBoardIndex(y))
        return;
    for (int i = 1; i <= 9; ++i) {
        grid.Cells[i][y].Merker[digit] = false;
        grid.Cells[x][i].Merker[digit] = false;
    }
    const int bx = (x - 1) / 3, by = (y - 1) / 3;
    for (int cx = 3 * bx + 1; cx <= 3 * bx + 3; ++cx)
        for (int cy = 3 * by + 1; cy <= 3 * by + 3; ++cy)
            grid.Cells[cx][cy].Merker[digit] = false;
    // The cell's own candidates go last, so the sweep order above is free.
    ClearDigitSet(grid.Cells[x][y].Merker);
}

void TSolverEngine::ResetGrid(TSolverGrid &grid)
{
    Trace(QStringLiteral("Solver zurücksetzen"));
    grid.FoundLevel = 0;
    grid.MerkerLevel = 0;
    grid.StopAtFirst = false;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            TSolverCell &c = grid.Cells[x][y];
            c.Value = 0;
            c.Level = 0;
            for (int d = 1; d <= 9; ++d) {
                c.Found[d] = false;
                c.Deleted[d] = false;
                c.Pattern[d] = false;
                c.Merker[d] = true;
            }
        }
}

void TSolverEngine::LoadGameFromBoard(TSolverGrid &grid, const TBoards &boards)
{
    ResetGrid(grid);
    grid.Initialised = true;
    // Whoever occupied a cell, it counts as solved with the reference digit.
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            if (IsCellFreeOnAllLayers(boards, x, y))
                continue;
            const int v = boards[0][x][y].Value;
            if (!IsDigit(v))
                continue;
            grid.Cells[x][y].Value = v;
            EliminateAround(grid, x, y, v);
        }
}

void TSolverEngine::LoadPuzzleFromBoard(TSolverGrid &grid, const TBoards &boards)
{
    // Editor coding on layer 0: -1 empty, 0 given, 1 typed. Contradictions
    // are loaded as they are; the editor test reports them afterwards.
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            const TGridEntry &e = boards[0][x][y];
            if (e.State == -1 || !IsDigit(e.Value))
                continue;
            grid.Cells[x][y].Value = e.Value;
            EliminateAround(grid, x, y, e.Value);
        }
}

void TSolverEngine::PlaceDigit(TSolverGrid &grid, int x, int digit, int y)
{
    if (!IsDigit(digit) || !IsBoardIndex(x) || !IsBoardIndex(y))
        return;
    grid.Cells[x][y].Value = digit;
    EliminateAround(grid, x, y, digit);
}

void TSolverEngine::PropagateValues(TSolverGrid &grid)
{
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x)
            if (grid.Cells[x][y].Value != 0)
                EliminateAround(grid, x, y, grid.Cells[x][y].Value);
}

void TSolverEngine::ClearStepMarks(TSolverGrid &grid)
{
    grid.FoundLevel = 0;
    grid.MerkerLevel = NoMerkerLevel;
    grid.StopAtFirst = false;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            TSolverCell &c = grid.Cells[x][y];
            c.Level = 0;
            for (int d = 1; d <= 9; ++d) {
                c.Found[d] = false;
                c.Deleted[d] = false;
                c.Pattern[d] = false;
            }
        }
}

// ---------------------------------------------------------------------------
// Solve step

bool TSolverEngine::SolveStep(TSolverGrid &grid, bool stopAtFirst)
{
    const int candidatesBefore = CountCandidates(grid);
    grid.FoundLevel = 0;
    grid.MerkerLevel = NoMerkerLevel;
    ClearStepMarks(grid);
    grid.StopAtFirst = stopAtFirst;

    auto singlesDue = [&grid] { return !grid.StopAtFirst || grid.FoundLevel == 0; };
    if (singlesDue())
        FindEindeutige(grid, LevelEindeutig);
    if (singlesDue())
        FindHiddenSingle(grid, LevelHiddenSingle);
    if (singlesDue())
        FindNakedSingle(grid, LevelEindeutig);

    // Techniques run only while FoundLevel is 0, that is, after all three
    // singles finders came up empty on this very grid.
    SinglesAbsent = true;
    MapFresh = false;
    auto technique = [this, &grid](int level) {
        if (grid.FoundLevel == 0)
            RunTechnique(grid, level, true);
        TraceF("Merker nach Stufe%d (%d)", level, grid.MerkerLevel);
    };
    // Pairs and triples come before locked candidates, and the 4-cell Sue de
    // Coq before the 5-cell one: this order decides which hint a player sees.
    technique(LevelZwilling);
    technique(LevelDrilling);
    technique(LevelStufe3);
    technique(LevelVZwilling);
    technique(LevelVDrilling);
    ApplyMerkerStep(grid);
    technique(LevelXWing);
    ApplyMerkerStep(grid);
    technique(LevelSueDeCoq4);
    technique(LevelSueDeCoq5);
    TraceF("Stufe : %d gefunden.", grid.FoundLevel);
    ApplyMerkerStep(grid);
    SinglesAbsent = false;
    MapFresh = false;

    return AnyFound(grid) || CountCandidates(grid) < candidatesBefore;
}

int TSolverEngine::SolveToEnd(TSolverGrid &grid, const TStepReport &onStep)
{
    int steps = 0;
    bool progress = SolveStep(grid, false);
    // A step that finds nothing new would be repeated for ever on a
    // contradictory puzzle; such a step ends the solve like an empty one.
    while ((grid.FoundLevel != 0 || grid.MerkerLevel != NoMerkerLevel) && progress) {
        int written = 0;
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x) {
                TSolverCell &c = grid.Cells[x][y];
                if (c.Value != 0)
                    continue;
                for (int d = 9; d >= 1; --d)
                    if (c.Found[d]) {
                        c.Value = d;
                        ++written;
                        break;
                    }
            }
        ++steps;
        if (onStep)
            onStep(grid, written);
        PropagateValues(grid);
        progress = SolveStep(grid, false);
    }
    return steps;
}

void TSolverEngine::FindEindeutige(TSolverGrid &grid, int level)
{
    // Only the first naked single in reading order, whatever StopAtFirst says.
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            TSolverCell &c = grid.Cells[x][y];
            if (c.Value != 0 || CountMerker(c) != 1)
                continue;
            for (int d = 1; d <= 9; ++d)
                if (c.Merker[d])
                    c.Found[d] = true;
            c.Level = level;
            grid.FoundLevel = level;
            return;
        }
}

void TSolverEngine::FindNakedSingle(TSolverGrid &grid, int level)
{
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            TSolverCell &c = grid.Cells[x][y];
            if (c.Value != 0 || CountMerker(c) != 1)
                continue;
            for (int d = 1; d <= 9; ++d)
                if (c.Merker[d])
                    c.Found[d] = true;
            c.Level = level;
            grid.FoundLevel = level;
            if (grid.StopAtFirst)
                return;
        }
}

void TSolverEngine::FindHiddenSingle(TSolverGrid &grid, int level)
{
    static const char *const unitPhrase[3] = {"in der Zeile", "in der Spalte", "im Block"};
    // Units: pass 0 rows, 1 columns, 2 blocks with block rows outer.
    auto unitOf = [](int pass, int x, int y) {
        return pass == 0 ? y - 1 : pass == 1 ? x - 1 : ((y - 1) / 3) * 3 + (x - 1) / 3;
    };
    // Per unit, as bit masks of digits: candidates seen once, seen more than
    // once, and digits that close the unit (placed there, or already found).
    uint16_t once[3][9] = {}, more[3][9] = {}, closed[3][9] = {};
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            const TSolverCell &c = grid.Cells[x][y];
            uint16_t m = 0, shut = 0;
            for (int d = 1; d <= 9; ++d) {
                if (c.Value == 0 && c.Merker[d])
                    m |= uint16_t(1u << d);
                if (c.Value == d || c.Found[d])
                    shut |= uint16_t(1u << d);
            }
            for (int pass = 0; pass < 3; ++pass) {
                const int u = unitOf(pass, x, y);
                more[pass][u] |= once[pass][u] & m;
                once[pass][u] |= m;
                closed[pass][u] |= shut;
            }
        }
    // Digits first, then rows, columns and blocks. A find closes its row,
    // column and block for that digit, so the same placement is not found
    // again through another unit.
    for (int d = 1; d <= 9; ++d) {
        const uint16_t bit = uint16_t(1u << d);
        for (int pass = 0; pass < 3; ++pass)
            for (int u = 0; u < 9; ++u) {
                if (!(once[pass][u] & bit) || ((more[pass][u] | closed[pass][u]) & bit))
                    continue;
                TCellPos cells[10];
                UnitCells(pass, u, cells);
                for (int p = 1; p <= 9; ++p) {
                    const int x = cells[p].x, y = cells[p].y;
                    TSolverCell &c = grid.Cells[x][y];
                    if (c.Value != 0 || !c.Merker[d])
                        continue;
                    c.Level = level;
                    c.Found[d] = true;
                    for (int q = 0; q < 3; ++q)
                        closed[q][unitOf(q, x, y)] |= bit;
                    break;
                }
                HiddenSingleUnit = QString::fromUtf8(unitPhrase[pass]);
                grid.FoundLevel = level;
                if (grid.StopAtFirst)
                    return;
            }
    }
}

void TSolverEngine::ApplyMerkerStep(TSolverGrid &grid)
{
    if (grid.FoundLevel != 0 || grid.MerkerLevel == NoMerkerLevel)
        return;
    const int level = grid.MerkerLevel;
    grid.MerkerLevel = NoMerkerLevel;
    TraceF("Keine Eindeutige Zahl gefunden, aber Merker in Stufe(%d)", level);
    switch (level) {
    case LevelStufe3:
    case LevelZwilling:
    case LevelDrilling:
    case LevelVZwilling:
    case LevelVDrilling:
    case LevelXWing:
    case LevelSueDeCoq5:
    case LevelSueDeCoq4:
        RunTechnique(grid, level, false);
        grid.FoundLevel = MerkerFoundBase + level;
        break;
    default:
        break;
    }
}

void TSolverEngine::RunTechnique(TSolverGrid &grid, int level, bool searchMode)
{
    switch (level) {
    case LevelStufe3:
        FindStufe3(grid, level, searchMode);
        break;
    case LevelZwilling:
        FindZwilling(grid, level, searchMode);
        break;
    case LevelDrilling:
        FindDrilling(grid, level, searchMode);
        break;
    case LevelVZwilling:
        FindVZwilling(grid, level, searchMode);
        break;
    case LevelVDrilling:
        FindVDrilling(grid, level, searchMode);
        break;
    case LevelXWing:
        FindXWing(grid, level, searchMode);
        break;
    case LevelSueDeCoq4:
        FindSueDeCoq4(grid, level, searchMode);
        break;
    case LevelSueDeCoq5:
        FindSueDeCoq5(grid, level, searchMode);
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------
// Trial protocol

void TSolverEngine::StartTechnique(const TSolverGrid &grid)
{
    GridSingles = SinglesAbsent ? 0 : -1;
    if (!SinglesAbsent || !MapFresh)
        Map.Build(grid);
    MapFresh = SinglesAbsent;
}

void TSolverEngine::BeginTrial(const TSolverGrid &grid, TSolverGrid &trial)
{
    CopySolverGrid(grid, trial);
    TrialRemovals = 0;
}

bool TSolverEngine::RemoveCandidate(TSolverGrid &trial, int x, int y, int d)
{
    TSolverCell &cell = trial.Cells[x][y];
    const bool had = cell.Merker[d] != 0;
    cell.Merker[d] = false;
    if (had && TrialRemovals < kRemovalLog)
        Removals[TrialRemovals] = {uint8_t(x), uint8_t(y), uint8_t(d)};
    TrialRemovals += had;
    return had;
}

bool TSolverEngine::TrialMayHoldSingle(const TSolverGrid &trial) const
{
    if (GridSingles != 0 || TrialRemovals > kRemovalLog)
        return true;
    auto holds = [&trial](int x, int y, int d) {
        const TSolverCell &c = trial.Cells[x][y];
        return c.Value == 0 && c.Merker[d] != 0;
    };
    for (int i = 0; i < TrialRemovals; ++i) {
        const int x = Removals[i].x, y = Removals[i].y, d = Removals[i].d;
        if (CountMerker(trial.Cells[x][y]) == 1)
            return true;
        const int bx = 3 * ((x - 1) / 3), by = 3 * ((y - 1) / 3);
        int inRow = 0, inCol = 0, inBlock = 0;
        for (int k = 1; k <= 9; ++k) {
            inRow += holds(k, y, d);
            inCol += holds(x, k, d);
            inBlock += holds(bx + (k - 1) % 3 + 1, by + (k - 1) / 3 + 1, d);
        }
        if (inRow == 1 || inCol == 1 || inBlock == 1)
            return true;
    }
    return false;
}

bool TSolverEngine::GridHasSingles(const TSolverGrid &grid)
{
    if (GridSingles < 0) {
        TSolverGrid &probe = Probe;
        CopySolverGrid(grid, probe);
        const QString unit = HiddenSingleUnit;
        FindNakedSingle(probe, 1);
        if (probe.FoundLevel == 0)
            FindHiddenSingle(probe, 1);
        HiddenSingleUnit = unit;
        GridSingles = probe.FoundLevel != 0;
    }
    return GridSingles != 0;
}

bool TSolverEngine::TryTrial(TSolverGrid &grid, TSolverGrid &trial, int level, bool searchMode)
{
    if (!searchMode && trial.MerkerLevel != NoMerkerLevel) {
        CopySolverGrid(trial, grid);
        GridSingles = -1;
        MapFresh = false;
        return true;
    }
    // With nothing removed the trial holds exactly the grid's singles, so
    // the scans are only worth running when the grid has some.
    // Else, on a grid without singles, only where the trial removed
    // candidates can one have come up.
    if (trial.FoundLevel == 0 && (TrialRemovals > 0 || GridHasSingles(grid)) && TrialMayHoldSingle(trial)) {
        FindNakedSingle(trial, level);
        if (trial.FoundLevel == 0)
            FindHiddenSingle(trial, level);
    }
    if (trial.FoundLevel != 0) {
        CopySolverGrid(trial, grid);
        GridSingles = -1;
        MapFresh = false;
    } else if (grid.MerkerLevel == NoMerkerLevel) {
        // Remember the first technique that eliminated something; the
        // grid keeps its candidates.
        grid.MerkerLevel = trial.MerkerLevel;
        if (Hooks.RefreshMarks)
            Hooks.RefreshMarks();
    }
    return false;
}
