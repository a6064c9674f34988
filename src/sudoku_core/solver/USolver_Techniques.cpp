// The techniques of levels 3 to 11. Every one of them tries each pattern it
// meets on a trial copy of the grid (BeginTrial, TryTrial), so the order in
// which patterns are visited decides which hint the player is shown.

#include "solver/USolver_Engine.h"

#include <algorithm>
#include <bit>

namespace {

bool InBand(int n, int band)
{
    return (n - 1) / 3 == band;
}

QString JoinCounts(const TDigitCounts &counts)
{
    QString s;
    for (int d = 1; d <= 9; ++d) {
        if (d > 1)
            s += QLatin1Char(' ');
        s += QString::number(counts[d]);
    }
    return s;
}

// Calls visit(p[0..size-1]) for every group of `size` (2 or 3) positions
// 1..9 in ascending nested order, until visit returns false. Only positions
// whose bit is set in `from` take part.
template <typename Visit> bool ForEachGroup(int size, uint16_t from, Visit visit)
{
    auto in = [from](int q) { return (from >> q) & 1; };
    int p[3] = {0, 0, 0};
    for (p[0] = 1; p[0] <= 10 - size; ++p[0]) {
        if (!in(p[0]))
            continue;
        for (p[1] = p[0] + 1; p[1] <= 11 - size; ++p[1]) {
            if (!in(p[1]))
                continue;
            if (size == 2) {
                if (!visit(p))
                    return false;
                continue;
            }
            for (p[2] = p[1] + 1; p[2] <= 9; ++p[2])
                if (in(p[2]) && !visit(p))
                    return false;
        }
    }
    return true;
}
constexpr uint16_t kAllPositions = 0x3fe;
// Positions 1..3 of a unit (a block's first row), and 1, 4 and 7 (a
// block's first column).
constexpr uint16_t kBandCells = 0x00e;
constexpr uint16_t kStripeCells = 0x092;

// The band 0..2 that all the positions lie in: positions 1..3, 4..6 or 7..9
// of a line, the rows of a block. -1 for none or several.
int BandOf(uint16_t at)
{
    for (int b = 0; b < 3; ++b)
        if (at != 0 && (at & ~(kBandCells << (3 * b))) == 0)
            return b;
    return -1;
}

// The column 0..2 of a block that all the positions lie in; -1 for none or
// several.
int StripeOf(uint16_t at)
{
    for (int c = 0; c < 3; ++c)
        if (at != 0 && (at & ~(kStripeCells << c)) == 0)
            return c;
    return -1;
}

// Calls visit(p[0..size-1]) for each of the groups given as masks of
// positions (bits 1..9), in the order ForEachGroup visits groups, until
// visit returns false. The list is sorted in place.
template <typename Visit> bool ForEachListedGroup(uint16_t *groups, int count, Visit visit)
{
    // In ascending nested order, of two groups the one with the lowest
    // position the other lacks comes first.
    auto before = [](uint16_t a, uint16_t b) {
        const unsigned differ = a ^ b;
        return (a & differ & (0u - differ)) != 0;
    };
    for (int i = 1; i < count; ++i)
        for (int j = i; j > 0 && before(groups[j], groups[j - 1]); --j)
            std::swap(groups[j], groups[j - 1]);
    for (int i = 0; i < count; ++i) {
        int p[9], n = 0;
        for (int q = 1; q <= 9; ++q)
            if ((groups[i] >> q) & 1)
                p[n++] = q;
        if (!visit(p))
            return false;
    }
    return true;
}

// The empty cells of a unit, minus one, as FreeCellsInRow and its kin.
int FreeCellsOf(const TCandidateMap &map, int kind, int u)
{
    return 9 - DigitCount(map.Filled[kind][u]) - 1;
}

// A unit's cells 1..9 by position (UnitCells), their candidate masks (0 for
// a filled cell) and which of them are filled.
struct TUnitMasks {
    TCellPos Cells[10];
    uint16_t Mask[10] = {};
    bool Filled[10] = {};

    TUnitMasks(const TCandidateMap &map, int kind, int u)
    {
        UnitCells(kind, u, Cells);
        for (int p = 1; p <= 9; ++p) {
            Mask[p] = map.Mask[Cells[p].x][Cells[p].y];
            Filled[p] = (map.Filled[kind][u] >> p) & 1;
        }
    }

    // The candidates of the cells outside the group p[0..size-1].
    uint16_t Outside(const int *p, int size) const
    {
        uint16_t group = 0, o = 0;
        for (int j = 0; j < size; ++j)
            group |= uint16_t(1u << p[j]);
        for (int q = 1; q <= 9; ++q)
            if (!((group >> q) & 1))
                o |= Mask[q];
        return o;
    }
};

} // namespace

// ---------------------------------------------------------------------------
// Shared elimination helpers

void TSolverEngine::SweepCell(TSolverGrid &trial, int level, int x, int y, const TDigitSet &set, bool rowFirst)
{
    TSolverCell &c = trial.Cells[x][y];
    for (int k = 1; k <= 9; ++k) {
        if (!set[k])
            continue;
        if (RemoveCandidate(trial, x, y, k)) {
            if (rowFirst)
                TraceF("%d,%d Lösche :%d", y, x, k);
            else
                TraceF("%d,%d Lösche :%d", x, y, k);
            trial.MerkerLevel = std::min(trial.MerkerLevel, level);
        }
        c.Deleted[k] = true;
    }
}

void TSolverEngine::EliminateSubset(TSolverGrid &trial, int level, const TCellPos *unit, const TCellPos *pattern,
                                    int size)
{
    TDigitSet digits{};
    for (int j = 0; j < size; ++j)
        DigitSetUnion(digits, trial.Cells[pattern[j].x][pattern[j].y].Merker, digits);
    for (int p = 1; p <= 9; ++p) {
        const TCellPos pos = unit[p];
        TSolverCell &c = trial.Cells[pos.x][pos.y];
        bool inPattern = false;
        for (int j = 0; j < size; ++j)
            inPattern = inPattern || (pattern[j].x == pos.x && pattern[j].y == pos.y);
        for (int d = 1; d <= 9; ++d) {
            if (!digits[d])
                continue;
            if (inPattern) {
                c.Pattern[d] = true;
            } else if (c.Value == 0) {
                if (RemoveCandidate(trial, pos.x, pos.y, d)) {
                    trial.MerkerLevel = level;
                    TraceF("%d,%d Lösche :%d", pos.x, pos.y, d);
                }
                // The hint shows the cleared picture on every other empty
                // cell of the unit, also where the candidate never was.
                c.Deleted[d] = true;
            }
        }
    }
}

void TSolverEngine::EliminatePairRow(TSolverGrid &trial, int level, int x2, int x1, int y)
{
    TCellPos unit[10];
    UnitCells(UnitRow, y - 1, unit);
    const TCellPos pattern[2] = {{x1, y}, {x2, y}};
    EliminateSubset(trial, level, unit, pattern, 2);
}

void TSolverEngine::EliminatePairCol(TSolverGrid &trial, int level, int y2, int y1, int x)
{
    TCellPos unit[10];
    UnitCells(UnitCol, x - 1, unit);
    const TCellPos pattern[2] = {{x, y1}, {x, y2}};
    EliminateSubset(trial, level, unit, pattern, 2);
}

void TSolverEngine::EliminatePairBlock(TSolverGrid &trial, int level, int ry2, int cx2, int ry1, int cx1, int by,
                                       int bx)
{
    TCellPos unit[10];
    UnitCells(UnitBlock, 3 * by + bx, unit);
    const TCellPos pattern[2] = {{3 * bx + cx1, 3 * by + ry1}, {3 * bx + cx2, 3 * by + ry2}};
    EliminateSubset(trial, level, unit, pattern, 2);
}

void TSolverEngine::EliminateTripleRow(TSolverGrid &trial, int level, int x3, int x2, int x1, int y)
{
    TCellPos unit[10];
    UnitCells(UnitRow, y - 1, unit);
    const TCellPos pattern[3] = {{x1, y}, {x2, y}, {x3, y}};
    EliminateSubset(trial, level, unit, pattern, 3);
}

void TSolverEngine::EliminateTripleCol(TSolverGrid &trial, int level, int y3, int y2, int y1, int x)
{
    TCellPos unit[10];
    UnitCells(UnitCol, x - 1, unit);
    const TCellPos pattern[3] = {{x, y1}, {x, y2}, {x, y3}};
    EliminateSubset(trial, level, unit, pattern, 3);
}

void TSolverEngine::EliminateTripleBlock(TSolverGrid &trial, int level, int ry3, int cx3, int ry2, int cx2, int ry1,
                                         int cx1, int by, int bx)
{
    TCellPos unit[10];
    UnitCells(UnitBlock, 3 * by + bx, unit);
    const TCellPos pattern[3] = {
        {3 * bx + cx1, 3 * by + ry1}, {3 * bx + cx2, 3 * by + ry2}, {3 * bx + cx3, 3 * by + ry3}};
    EliminateSubset(trial, level, unit, pattern, 3);
}

// ---------------------------------------------------------------------------
// Level 3: locked candidates

void TSolverEngine::FindStufe3(TSolverGrid &grid, int level, bool searchMode)
{
    StartTechnique(grid);
    Trace(QStringLiteral("Start Stufe 3"));
    if (!Stufe3Passes(grid, level, searchMode))
        Trace(QStringLiteral("Ende Stufe 3"));
}

bool TSolverEngine::Stufe3Passes(TSolverGrid &grid, int level, bool searchMode)
{
    TSolverGrid &trial = Trial;
    // Passes 1 and 2: a digit of a line confined to one block leaves the
    // rest of that block. pass 0 works on rows, pass 1 on columns.
    for (int pass = 0; pass < 2; ++pass)
        for (int line = 1; line <= 9; ++line)
            for (int d = 1; d <= 9; ++d) {
                if (grid.FoundLevel != 0)
                    return false;
                // The line's cells with candidate d, and the bands they lie in.
                const uint16_t at = Map.Pos[pass][line - 1][d];
                const int band = BandOf(at);
                if (((Map.Placed[pass][line - 1] >> d) & 1) || band < 0)
                    continue;
                const int lineBand = (line - 1) / 3;
                const int bx = pass == 0 ? band : lineBand;
                const int by = pass == 0 ? lineBand : band;
                TCellPos block[10];
                UnitCells(UnitBlock, 3 * by + bx, block);
                // A digit that is already confined to the line in the block
                // too removes nothing; its trial would only repeat the grid.
                // Skipped when nothing else could come of it: no earlier
                // elimination to apply and no single waiting in the grid.
                const int lineInBlock = (line - 1) % 3;
                const uint16_t onLine =
                    pass == 0 ? uint16_t(kBandCells << (3 * lineInBlock)) : uint16_t(kStripeCells << lineInBlock);
                const bool removes = (Map.Pos[UnitBlock][3 * by + bx][d] & ~onLine) != 0;
                if (!removes && (searchMode || grid.MerkerLevel == NoMerkerLevel) && !GridHasSingles(grid))
                    continue;
                BeginTrial(grid, trial);
                for (int i = 1; i <= 9; ++i) {
                    const int x = block[i].x, y = block[i].y;
                    TSolverCell &c = trial.Cells[x][y];
                    if (c.Value != 0 || !c.Merker[d])
                        continue;
                    if ((pass == 0 ? y : x) == line) {
                        c.Pattern[d] = true;
                    } else {
                        RemoveCandidate(trial, x, y, d);
                        c.Deleted[d] = true;
                        trial.MerkerLevel = std::min(trial.MerkerLevel, level);
                    }
                }
                if (TryTrial(grid, trial, level, searchMode))
                    return true;
                if (grid.FoundLevel != 0)
                    Trace(pass == 0 ? QStringLiteral("Treffer Zeile") : QStringLiteral("Treffer Spalte"));
            }

    // Passes 3 and 4: a digit of a block confined to one line leaves the rest
    // of that line. pass 0 is blocks to rows (block rows outer), pass 1
    // blocks to columns (block columns outer).
    for (int pass = 0; pass < 2; ++pass)
        for (int outer = 0; outer <= 2; ++outer)
            for (int inner = 0; inner <= 2; ++inner)
                for (int d = 1; d <= 9; ++d) {
                    if (grid.FoundLevel != 0)
                        return false;
                    const int bx = pass == 0 ? inner : outer;
                    const int by = pass == 0 ? outer : inner;
                    // The block's cells with candidate d, and the one row
                    // (pass 0) or column (pass 1) of the block they all lie in.
                    const uint16_t at = Map.Pos[UnitBlock][3 * by + bx][d];
                    const int lineInBlock = pass == 0 ? BandOf(at) : StripeOf(at);
                    if (lineInBlock < 0)
                        continue;
                    const int line = 3 * (pass == 0 ? by : bx) + lineInBlock + 1;
                    if (DigitCount(Map.Pos[pass][line - 1][d]) <= DigitCount(at))
                        continue;
                    const int blockBand = pass == 0 ? bx : by;
                    BeginTrial(grid, trial);
                    for (int p = 1; p <= 9; ++p) {
                        TSolverCell &c = pass == 0 ? trial.Cells[p][line] : trial.Cells[line][p];
                        if (InBand(p, blockBand)) {
                            c.Pattern[d] = true;
                        } else {
                            // Filled cells and cells without d are marked too.
                            if (pass == 0)
                                RemoveCandidate(trial, p, line, d);
                            else
                                RemoveCandidate(trial, line, p, d);
                            c.Deleted[d] = true;
                            trial.MerkerLevel = std::min(trial.MerkerLevel, level);
                        }
                    }
                    if (TryTrial(grid, trial, level, searchMode))
                        return true;
                    if (grid.FoundLevel != 0)
                        Trace(pass == 0 ? QStringLiteral("Treffer Block1") : QStringLiteral("Treffer Block2"));
                }
    return false;
}

// ---------------------------------------------------------------------------
// Levels 4 and 5: naked pair and triple

void TSolverEngine::FindZwilling(TSolverGrid &grid, int level, bool searchMode)
{
    StartTechnique(grid);
    NakedSubsets(grid, level, searchMode, 2);
}

void TSolverEngine::FindDrilling(TSolverGrid &grid, int level, bool searchMode)
{
    StartTechnique(grid);
    NakedSubsets(grid, level, searchMode, 3);
}

void TSolverEngine::NakedSubsets(TSolverGrid &grid, int level, bool searchMode, int size)
{
    TSolverGrid &trial = Trial;
    for (int pass = 0; pass < 3; ++pass)
        for (int u = 0; u < 9; ++u) {
            if (grid.FoundLevel != 0)
                return;
            // Rows y, columns x, or blocks with block rows outer.
            const int bx = u % 3, by = u / 3;
            const int free = FreeCellsOf(Map, pass, u);
            // A subset of n cells is only sought in a unit with n + 2 or more
            // empty cells.
            if (free <= size)
                continue;
            // A filled cell spoils a group.
            const TUnitMasks m(Map, pass, u);
            const uint16_t *mask = m.Mask;
            const bool *filled = m.Filled;
            const bool traceCells = size == 2 && pass == 0 && TraceOn();
            // Every cell of a subset holds at most as many candidates as the
            // subset has cells; with fewer such cells there is none here.
            uint16_t fitting = 0;
            for (int p = 1; p <= 9; ++p)
                if (!filled[p] && DigitCount(mask[p]) <= size)
                    fitting |= uint16_t(1u << p);
            bool applied = false;
            ForEachGroup(size, traceCells ? kAllPositions : fitting, [&](const int *p) {
                if (grid.FoundLevel != 0)
                    return false;
                if (traceCells)
                    TraceF("Zeile(%d) Zelle(%d)%d Zelle(%d)%d", u + 1, p[0], DigitCount(mask[p[0]]), p[1],
                           DigitCount(mask[p[1]]));
                // The union of the group's candidates, as CountMerkerUnion2/3.
                bool anyFilled = false;
                uint16_t all = 0;
                for (int j = 0; j < size; ++j) {
                    anyFilled = anyFilled || filled[p[j]];
                    all |= mask[p[j]];
                }
                if (anyFilled || DigitCount(all) != size)
                    return true;
                if (size == 2) {
                    if (pass == 0)
                        TraceF("Zeile :%d (%d,%d) ", u + 1, p[0], p[1]);
                    else if (pass == 1)
                        TraceF("Spalte :%d (%d,%d)", u + 1, p[0], p[1]);
                } else {
                    if (pass == 0)
                        TraceF("Zeile :%d (%d,%d,%d)", u + 1, p[0], p[1], p[2]);
                    else if (pass == 1)
                        TraceF("Spalte :%d (%d,%d,%d)", u + 1, p[0], p[1], p[2]);
                }
                // A subset whose digits no other cell of the unit holds
                // removes nothing: its trial would only repeat the grid.
                if (!(m.Outside(p, size) & all) && (searchMode || grid.MerkerLevel == NoMerkerLevel) &&
                    !GridHasSingles(grid))
                    return true;
                BeginTrial(grid, trial);
                auto ry = [](int i) { return (i - 1) / 3 + 1; };
                auto cx = [](int i) { return (i - 1) % 3 + 1; };
                if (size == 2) {
                    if (pass == 0)
                        EliminatePairRow(trial, level, p[1], p[0], u + 1);
                    else if (pass == 1)
                        EliminatePairCol(trial, level, p[1], p[0], u + 1);
                    else
                        EliminatePairBlock(trial, level, ry(p[1]), cx(p[1]), ry(p[0]), cx(p[0]), by, bx);
                } else {
                    if (pass == 0)
                        EliminateTripleRow(trial, level, p[2], p[1], p[0], u + 1);
                    else if (pass == 1)
                        EliminateTripleCol(trial, level, p[2], p[1], p[0], u + 1);
                    else
                        EliminateTripleBlock(trial, level, ry(p[2]), cx(p[2]), ry(p[1]), cx(p[1]), ry(p[0]), cx(p[0]),
                                             by, bx);
                }
                applied = TryTrial(grid, trial, level, searchMode);
                return !applied;
            });
            if (applied)
                return;
        }
}

// ---------------------------------------------------------------------------
// Levels 6 and 7: hidden pair and triple

void TSolverEngine::FindVZwilling(TSolverGrid &grid, int level, bool searchMode)
{
    StartTechnique(grid);
    HiddenSubsets(grid, level, searchMode, 2);
}

void TSolverEngine::FindVDrilling(TSolverGrid &grid, int level, bool searchMode)
{
    StartTechnique(grid);
    if (!HiddenSubsets(grid, level, searchMode, 3))
        Trace(QStringLiteral("VDrilling ende"));
}

bool TSolverEngine::HiddenSubsets(TSolverGrid &grid, int level, bool searchMode, int size)
{
    TSolverGrid &trial = Trial;
    for (int pass = 0; pass < 3; ++pass) {
        if (grid.FoundLevel != 0)
            return false;
        for (int u = 0; u < 9; ++u) {
            const int bx = u % 3, by = u / 3;
            const int free = FreeCellsOf(Map, pass, u);
            if (pass == 2)
                TraceF("Teste Block(%d,%d)Freie:%d", bx, by, free);
            if (free <= size)
                continue;
            // A digit can only belong to the subset when it sits in two to
            // `size` cells of the unit. Fewer such digits than the subset
            // has cells make none; the trace shows groups of two or more.
            const bool traceOn = TraceOn();
            const uint16_t *at = Map.Pos[pass][u];
            uint16_t held = 0;
            for (int d = 1; d <= 9; ++d) {
                const int n = DigitCount(at[d]);
                if (n >= 2 && n <= size)
                    held |= uint16_t(1u << d);
            }
            if (DigitCount(held) < (traceOn ? 2 : size))
                continue;
            const TUnitMasks m(Map, pass, u);
            const TCellPos *cells = m.Cells;
            const uint16_t *mask = m.Mask;
            const bool *filled = m.Filled;
            // Without the trace only the groups that hold the cells of
            // `size` such digits are worth a look: the cells of the digits
            // together, with one more cell of the unit where they fill fewer.
            // As many as there are groups of three cells in a unit.
            uint16_t groups[84];
            int listed = 0;
            auto list = [&](uint16_t g) {
                if (std::find(groups, groups + listed, g) == groups + listed)
                    groups[listed++] = g;
            };
            if (!traceOn)
                ForEachGroup(size, held, [&](const int *digits) {
                    uint16_t cellsOf = 0;
                    for (int j = 0; j < size; ++j)
                        cellsOf |= at[digits[j]];
                    const int n = DigitCount(cellsOf);
                    if (n == size)
                        list(cellsOf);
                    else if (n < size)
                        for (int q = 1; q <= 9; ++q)
                            if (!((cellsOf >> q) & 1))
                                list(uint16_t(cellsOf | (1u << q)));
                    return true;
                });
            // The unit counts the trace shows: empty cells with candidate d.
            auto unitCounts = [&](TDigitCounts &counts) {
                if (pass == 0) {
                    DigitCountsInRow(grid, u + 1, counts);
                } else if (pass == 1) {
                    DigitCountsInCol(grid, u + 1, counts);
                } else {
                    for (int d = 0; d <= 9; ++d)
                        counts[d] = 0;
                    for (int p = 1; p <= 9; ++p)
                        for (int d = 1; d <= 9; ++d)
                            counts[d] += (mask[p] >> d) & 1;
                }
            };
            auto unitHead = [&](const char *kind) {
                if (pass == 0)
                    return QString::asprintf("Zeile:%d %s", u + 1, kind);
                if (pass == 1)
                    return QString::asprintf("Spalte:%d %s", u + 1, kind);
                return QString::asprintf("Block:%d,%d %s", bx, by, kind);
            };
            bool applied = false;
            auto visit = [&](const int *p) {
                if (grid.FoundLevel != 0)
                    return false;
                // Digit d qualifies when its unit count is above 1 and equals
                // its group count: it sits in two or more group cells and in
                // no other cell of the unit.
                uint16_t group = 0;
                for (int j = 0; j < size; ++j)
                    group |= uint16_t(1u << p[j]);
                uint16_t qualifying = 0;
                for (unsigned rest = held; rest != 0; rest &= rest - 1) {
                    const int d = std::countr_zero(rest);
                    if (!(at[d] & ~group))
                        qualifying |= uint16_t(1u << d);
                }
                const int n = DigitCount(qualifying);
                // Only a subset, or a group the trace shows, goes on.
                if (n != size && (n <= 1 || !traceOn))
                    return true;
                // The union of the group's candidates, as CountMerkerUnion2/3;
                // with no more digits than cells it is a naked subset instead.
                bool anyFilled = false;
                uint16_t all = 0;
                for (int j = 0; j < size; ++j) {
                    anyFilled = anyFilled || filled[p[j]];
                    all |= mask[p[j]];
                }
                if (anyFilled || DigitCount(all) <= size)
                    return true;
                if (n > 1 && traceOn) {
                    TDigitCounts counts, groupCounts{};
                    unitCounts(counts);
                    for (int j = 0; j < size; ++j)
                        for (int d = 1; d <= 9; ++d)
                            groupCounts[d] += (mask[p[j]] >> d) & 1;
                    Trace(QStringLiteral("Gleiche:%1").arg(n));
                    Trace(unitHead("Sum9:") + JoinCounts(counts));
                    Trace(unitHead("Sum :") + JoinCounts(groupCounts));
                    for (int d = 1; d <= 9; ++d)
                        if ((qualifying >> d) & 1)
                            Trace(QStringLiteral("Merker:%1").arg(d));
                }
                if (n != size)
                    return true;
                BeginTrial(grid, trial);
                for (int pp = 1; pp <= 9; ++pp) {
                    const TCellPos q = cells[pp];
                    TSolverCell &c = trial.Cells[q.x][q.y];
                    if (!(MerkerMask(c) & qualifying))
                        continue;
                    for (int k = 1; k <= 9; ++k) {
                        if ((qualifying >> k) & 1) {
                            c.Pattern[k] = true;
                            continue;
                        }
                        TraceF("%d,%d Lösche :%d", q.x, q.y, k);
                        // Only a real removal counts as an elimination: a
                        // pattern that clears nothing (three digits squeezed
                        // into two cells of a broken puzzle) must not be
                        // applied again on every step.
                        if (RemoveCandidate(trial, q.x, q.y, k))
                            trial.MerkerLevel = std::min(trial.MerkerLevel, level);
                        c.Deleted[k] = true;
                    }
                }
                applied = TryTrial(grid, trial, level, searchMode);
                return !applied;
            };
            if (traceOn)
                ForEachGroup(size, kAllPositions, visit);
            else
                ForEachListedGroup(groups, listed, visit);
            if (applied)
                return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------------------
// Level 8: X-Wing

void TSolverEngine::FindXWing(TSolverGrid &grid, int level, bool searchMode)
{
    StartTechnique(grid);
    Trace(QStringLiteral("xWing2 Start"));
    int lastTrialLevel = 0;
    if (!XWingPasses(grid, level, searchMode, lastTrialLevel))
        TraceF("xWing2 ende(%d)", lastTrialLevel);
}

bool TSolverEngine::XWingPasses(TSolverGrid &grid, int level, bool searchMode, int &lastTrialLevel)
{
    TSolverGrid &trial = Trial;
    // pass 0: the base lines are rows, the cover lines columns; pass 1 the
    // other way round.
    for (int pass = 0; pass < 2; ++pass) {
        if (grid.FoundLevel != 0)
            return false;
        const bool rows = pass == 0;
        // As DigitCountsInRow and DigitCountsInCol.
        auto counts = [this](bool ofRow, int n, TDigitCounts &out) {
            out[0] = 0;
            for (int d = 1; d <= 9; ++d)
                out[d] = DigitCount(Map.Pos[ofRow ? UnitRow : UnitCol][n - 1][d]);
        };
        // Cell at base line b, cross position c.
        auto at = [rows](TSolverGrid &g, int b, int c) -> TSolverCell & {
            return rows ? g.Cells[c][b] : g.Cells[b][c];
        };
        for (int l1 = 1; l1 <= 8; ++l1)
            for (int l2 = l1 + 1; l2 <= 9; ++l2) {
                TraceF(rows ? "Zeilen(%d und %d)" : "Spalten(%d und %d)", l1, l2);
                TDigitCounts a, b;
                counts(rows, l1, a);
                counts(rows, l2, b);
                for (int d = 1; d <= 9; ++d) {
                    if (a[d] != 2 || b[d] != 2 || grid.FoundLevel != 0)
                        continue;
                    // The cross positions where both base lines hold d.
                    const int kind = rows ? UnitRow : UnitCol;
                    const unsigned both = Map.Pos[kind][l1 - 1][d] & Map.Pos[kind][l2 - 1][d];
                    const int n = DigitCount(both);
                    int cross[2] = {0, 0};
                    if (n == 2) {
                        cross[0] = std::countr_zero(both);
                        cross[1] = std::countr_zero(both & (both - 1));
                    }
                    TraceF("Zahl(%d) cnt=%d", d, n);
                    if (n != 2)
                        continue;
                    const int k1 = cross[0], k2 = cross[1];
                    TraceF("Spalten(%d und %d) Zahl(%d) cnt(%d) Z1(%d) Z2(%d)", l1, l2, d, n, k1, k2);
                    TDigitCounts ca, cb;
                    counts(!rows, k1, ca);
                    counts(!rows, k2, cb);
                    // Nothing to remove unless a cover line holds d elsewhere.
                    if (ca[d] <= 2 && cb[d] <= 2)
                        continue;
                    if (!rows)
                        Trace(QStringLiteral("Hier"));
                    BeginTrial(grid, trial);
                    for (int line = 1; line <= 9; ++line)
                        for (int k : {k1, k2}) {
                            TSolverCell &c = at(trial, line, k);
                            if (c.Value != 0 || !c.Merker[d])
                                continue;
                            if (line == l1 || line == l2) {
                                c.Pattern[d] = true;
                            } else {
                                if (rows)
                                    RemoveCandidate(trial, k, line, d);
                                else
                                    RemoveCandidate(trial, line, k, d);
                                c.Deleted[d] = true;
                                trial.MerkerLevel = std::min(trial.MerkerLevel, level);
                            }
                        }
                    if (TryTrial(grid, trial, level, searchMode))
                        return true;
                    lastTrialLevel = trial.FoundLevel;
                    if (TraceOn()) {
                        TraceF("Zahl:%d Z1:%d Z2:%d", d, k1, k2);
                        const char *name = rows ? "Zeile" : "Spalte";
                        Trace(QString::asprintf("%s:%d a:", name, l1) + JoinCounts(a));
                        Trace(QString::asprintf("%s:%d b:", name, l2) + JoinCounts(b));
                    }
                }
            }
    }
    return false;
}

// ---------------------------------------------------------------------------
// Levels 11 and 10: Sue de Coq with four and with five cells

// The step both Sue de Coq searches end with, tried on the trial copy: the
// pattern's cells keep their candidates, the union's digits that the block
// cell lacks leave the rest of the line, those that the line cell lacks leave
// the rest of the block. `note` names a block whose visited cells are traced
// (x < 0: none).
bool TSolverEngine::TrySueDeCoq(TSolverGrid &grid, TSolverGrid &trial, int level, bool searchMode,
                                std::span<const TCellPos> pattern, const TDigitSet &unionSet,
                                const TSolverCell &lineCell, const TSolverCell &blockCell,
                                const TCellPos (&lineCells)[10], bool lineRowFirst, const TCellPos (&blockCells)[10],
                                TCellPos note)
{
    const auto inPattern = [pattern](TCellPos q) {
        return std::any_of(pattern.begin(), pattern.end(), [q](TCellPos c) { return c.x == q.x && c.y == q.y; });
    };
    BeginTrial(grid, trial);
    for (const TCellPos q : pattern) {
        TSolverCell &c = trial.Cells[q.x][q.y];
        for (int d = 1; d <= 9; ++d)
            if (c.Merker[d])
                c.Pattern[d] = true;
    }
    TDigitSet lineSet, blockSet;
    DigitSetMinus(unionSet, blockCell.Merker, lineSet);
    DigitSetMinus(unionSet, lineCell.Merker, blockSet);
    for (int p = 1; p <= 9; ++p) {
        const TCellPos q = lineCells[p];
        if (!inPattern(q))
            SweepCell(trial, level, q.x, q.y, lineSet, lineRowFirst);
    }
    for (int i = 1; i <= 9; ++i) {
        const TCellPos q = blockCells[i];
        if (note.x >= 0)
            TraceF("Teste Block(%d,%d) Zelle(%d,%d)", note.x, note.y, q.x, q.y);
        if (!inPattern(q))
            SweepCell(trial, level, q.x, q.y, blockSet, false);
    }
    return TryTrial(grid, trial, level, searchMode);
}

void TSolverEngine::FindSueDeCoq4(TSolverGrid &grid, int level, bool searchMode)
{
    StartTechnique(grid);
    Trace(QStringLiteral("Sue_De_Coq4 Start"));
    if (!SueDeCoq4Passes(grid, level, searchMode))
        Trace(QStringLiteral("Sue_De_Coq4 Ende"));
}

bool TSolverEngine::SueDeCoq4Passes(TSolverGrid &grid, int level, bool searchMode)
{
    TSolverGrid &trial = Trial;
    for (int pass = 0; pass < 2; ++pass) {
        if (grid.FoundLevel != 0)
            return false;
        const bool rows = pass == 0;
        // Line cell at line l, position p.
        auto at = [rows](int l, int p) -> TCellPos { return rows ? TCellPos{p, l} : TCellPos{l, p}; };
        for (int line = 1; line <= 9; ++line)
            for (int band = 0; band <= 2; ++band) {
                const int bx = rows ? band : (line - 1) / 3;
                const int by = rows ? (line - 1) / 3 : band;
                TCellPos block[10];
                UnitCells(UnitBlock, 3 * by + bx, block);
                for (int p1 = 3 * band + 1; p1 <= 3 * band + 2; ++p1)
                    for (int p2 = p1 + 1; p2 <= 3 * band + 3; ++p2) {
                        const TCellPos a = at(line, p1), b = at(line, p2);
                        const TSolverCell &ca = grid.Cells[a.x][a.y];
                        const TSolverCell &cb = grid.Cells[b.x][b.y];
                        if (grid.FoundLevel != 0 || CountMerkerUnion2(ca, cb) != 4)
                            continue;
                        for (int p3 = 1; p3 <= 9; ++p3) {
                            if (InBand(p3, band))
                                continue;
                            const TCellPos r = at(line, p3);
                            const TSolverCell &cr = grid.Cells[r.x][r.y];
                            if (CountMerker(cr) != 2 || CountMerkerUnion3(cr, ca, cb) != 4)
                                continue;
                            if (!rows)
                                TraceF("Spalte(%d) Block(%d) Zellen((%d)(%d)) S(%d)", line, by, p1, p2, p3);
                            for (int i = 1; i <= 9; ++i) {
                                const TCellPos k = block[i];
                                // Only the block's third line crossing, outside the line.
                                const int kAcross = rows ? k.x : k.y;
                                const int kLine = rows ? k.y : k.x;
                                if (kAcross == p1 || kAcross == p2 || kLine == line)
                                    continue;
                                const TSolverCell &ck = grid.Cells[k.x][k.y];
                                if (CountMerker(ck) != 2 || CountMerkerUnion2(cr, ck) != 4 ||
                                    CountMerkerUnion4(ca, cb, cr, ck) != 4)
                                    continue;
                                if (grid.FoundLevel != 0)
                                    continue;
                                if (rows) {
                                    TraceF("Zelle B1 (%d,%d)", a.x, a.y);
                                    TraceF("Zelle B2 (%d,%d)", b.x, b.y);
                                    TraceF("Zelle Z  (%d,%d)", r.x, r.y);
                                    TraceF("Zelle B  (%d,%d)", k.x, k.y);
                                } else {
                                    TraceF("xyBlock(%d,%d) Zelle(%d,%d)", bx, by, k.x, k.y);
                                }
                                TCellPos lineCells[10];
                                for (int p = 1; p <= 9; ++p)
                                    lineCells[p] = at(line, p);
                                TDigitSet u;
                                DigitSetUnion(ca.Merker, cb.Merker, u);
                                const TCellPos pattern[] = {a, b, r, k};
                                const TCellPos note = rows ? TCellPos{bx, by} : TCellPos{-1, -1};
                                if (TrySueDeCoq(grid, trial, level, searchMode, pattern, u, cr, ck, lineCells, !rows,
                                                block, note))
                                    return true;
                            }
                        }
                    }
            }
    }
    return false;
}

void TSolverEngine::FindSueDeCoq5(TSolverGrid &grid, int level, bool searchMode)
{
    StartTechnique(grid);
    Trace(QStringLiteral("Sue_De_Coq5 Start"));
    if (!SueDeCoq5Passes(grid, level, searchMode))
        Trace(QStringLiteral("Sue_De_Coq5 Ende"));
}

bool TSolverEngine::SueDeCoq5Passes(TSolverGrid &grid, int level, bool searchMode)
{
    TSolverGrid &trial = Trial;
    for (int pass = 0; pass < 2; ++pass) {
        if (grid.FoundLevel != 0)
            return false;
        const bool rows = pass == 0;
        auto at = [rows](int l, int p) -> TCellPos { return rows ? TCellPos{p, l} : TCellPos{l, p}; };
        for (int line = 1; line <= 9; ++line)
            for (int band = 0; band <= 2; ++band) {
                const int lineBand = (line - 1) / 3;
                const TCellPos i1 = at(line, 3 * band + 1), i2 = at(line, 3 * band + 2), i3 = at(line, 3 * band + 3);
                const TSolverCell &c1 = grid.Cells[i1.x][i1.y];
                const TSolverCell &c2 = grid.Cells[i2.x][i2.y];
                const TSolverCell &c3 = grid.Cells[i3.x][i3.y];
                if (grid.FoundLevel != 0 || CountMerkerUnion3(c1, c2, c3) != 5)
                    continue;
                TraceF(rows ? "Block1 in Zeile(%d) mit 3 freien Zellen und 5 Merkern"
                            : "Block1 in Spalte(%d) mit 3 freien Zellen und 5 Merkern",
                       line);
                for (int p3 = 1; p3 <= 9; ++p3) {
                    if (InBand(p3, band))
                        continue;
                    const TCellPos r = at(line, p3);
                    const TSolverCell &cr = grid.Cells[r.x][r.y];
                    const int m = CountMerker(cr);
                    // A cell with fewer than two candidates accounts for no
                    // digit of the intersection; taking it would sweep the
                    // whole union out of the block.
                    if (m < 2 || m >= 4 || CountMerkerUnion4(c1, c2, c3, cr) != 5)
                        continue;
                    TraceF("Zelle(%d,%d) passende Zelle Merker(%d)", r.x, r.y, m);
                    if (rows)
                        TraceF("Suche im yBlock(%d) Zeile(%d)", lineBand, line - 3 * lineBand);
                    else
                        TraceF("Suche im xBlock(%d) Spalte(%d)", lineBand, line - 3 * lineBand);
                    // The block's other lines outer, the intersection's
                    // positions inner.
                    for (int l4 = 3 * lineBand + 1; l4 <= 3 * lineBand + 3; ++l4) {
                        if (l4 == line)
                            continue;
                        for (int p4 = 3 * band + 1; p4 <= 3 * band + 3; ++p4) {
                            const TCellPos k = at(l4, p4);
                            const TSolverCell &ck = grid.Cells[k.x][k.y];
                            const int q = CountMerker(ck);
                            if (q < 2 || q >= 6 - m || CountMerkerUnion4(c1, c2, c3, ck) != 5)
                                continue;
                            if (grid.FoundLevel != 0)
                                break;
                            const int together = (m == 2 && q == 2) ? 4 : 5;
                            if (CountMerkerUnion2(cr, ck) != together)
                                break;
                            TraceF("Zelle(%d,%d) passender Zelle gefunden", k.x, k.y);
                            TCellPos lineCells[10], blockCells[10];
                            for (int p = 1; p <= 9; ++p)
                                lineCells[p] = at(line, p);
                            // The block's lines outer, its positions inner.
                            for (int l = 0, i = 1; l < 3; ++l)
                                for (int p = 1; p <= 3; ++p, ++i)
                                    blockCells[i] = at(3 * lineBand + 1 + l, 3 * band + p);
                            TDigitSet u;
                            DigitSetUnion(c1.Merker, c2.Merker, u);
                            DigitSetUnion(u, c3.Merker, u);
                            const TCellPos pattern[] = {r, k, i1, i2, i3};
                            if (TrySueDeCoq(grid, trial, level, searchMode, pattern, u, cr, ck, lineCells, false,
                                            blockCells, TCellPos{-1, -1}))
                                return true;
                        }
                    }
                }
            }
    }
    return false;
}
