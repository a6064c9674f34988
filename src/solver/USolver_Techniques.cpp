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
// 1..9 in ascending nested order, until visit returns false.
template <typename Visit> bool ForEachGroup(int size, Visit visit)
{
    int p[3] = {0, 0, 0};
    for (p[0] = 1; p[0] <= 10 - size; ++p[0])
        for (p[1] = p[0] + 1; p[1] <= 11 - size; ++p[1]) {
            if (size == 2) {
                if (!visit(p))
                    return false;
                continue;
            }
            for (p[2] = p[1] + 1; p[2] <= 9; ++p[2])
                if (!visit(p))
                    return false;
        }
    return true;
}

} // namespace

// ---------------------------------------------------------------------------
// Shared elimination helpers

void TSolverEngine::SweepCell(TSolverGrid &trial, int level, int x, int y, const TDigitSet &set, bool rowFirst)
{
    TSolverCell &c = trial.Cells[x][y];
    for (int k = 1; k <= 9; ++k) {
        if (!set[k])
            continue;
        if (RemoveCandidate(c, k)) {
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
                if (RemoveCandidate(c, d)) {
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
    StartTechnique();
    Trace(QStringLiteral("Start Stufe 3"));
    if (!Stufe3Passes(grid, level, searchMode))
        Trace(QStringLiteral("Ende Stufe 3"));
}

bool TSolverEngine::Stufe3Passes(TSolverGrid &grid, int level, bool searchMode)
{
    TSolverGrid trial;
    // Passes 1 and 2: a digit of a line confined to one block leaves the
    // rest of that block. pass 0 works on rows, pass 1 on columns.
    for (int pass = 0; pass < 2; ++pass)
        for (int line = 1; line <= 9; ++line)
            for (int d = 1; d <= 9; ++d) {
                if (grid.FoundLevel != 0)
                    return false;
                auto cellAt = [&](int p) -> TSolverCell & {
                    return pass == 0 ? grid.Cells[p][line] : grid.Cells[line][p];
                };
                bool placed = false;
                int band = -1;
                bool oneBand = true;
                for (int p = 1; p <= 9; ++p) {
                    const TSolverCell &c = cellAt(p);
                    placed = placed || c.Value == d;
                    if (c.Value == 0 && c.Merker[d]) {
                        const int b = (p - 1) / 3;
                        if (band < 0)
                            band = b;
                        else if (band != b)
                            oneBand = false;
                    }
                }
                if (placed || band < 0 || !oneBand)
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
                bool removes = false;
                for (int i = 1; i <= 9 && !removes; ++i) {
                    const TSolverCell &c = grid.Cells[block[i].x][block[i].y];
                    removes = c.Value == 0 && c.Merker[d] && (pass == 0 ? block[i].y : block[i].x) != line;
                }
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
                        RemoveCandidate(c, d);
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
                    TCellPos block[10];
                    UnitCells(UnitBlock, 3 * by + bx, block);
                    int inBlock = 0, line = -1;
                    bool oneLine = true;
                    for (int i = 1; i <= 9; ++i) {
                        const int x = block[i].x, y = block[i].y;
                        const TSolverCell &c = grid.Cells[x][y];
                        if (c.Value != 0 || !c.Merker[d])
                            continue;
                        ++inBlock;
                        const int l = pass == 0 ? y : x;
                        if (line < 0)
                            line = l;
                        else if (line != l)
                            oneLine = false;
                    }
                    if (inBlock == 0 || !oneLine)
                        continue;
                    int inLine = 0;
                    for (int p = 1; p <= 9; ++p) {
                        const TSolverCell &c = pass == 0 ? grid.Cells[p][line] : grid.Cells[line][p];
                        inLine += c.Value == 0 && c.Merker[d];
                    }
                    if (inLine <= inBlock)
                        continue;
                    const int blockBand = pass == 0 ? bx : by;
                    BeginTrial(grid, trial);
                    for (int p = 1; p <= 9; ++p) {
                        TSolverCell &c = pass == 0 ? trial.Cells[p][line] : trial.Cells[line][p];
                        if (InBand(p, blockBand)) {
                            c.Pattern[d] = true;
                        } else {
                            // Filled cells and cells without d are marked too.
                            RemoveCandidate(c, d);
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
    StartTechnique();
    NakedSubsets(grid, level, searchMode, 2);
}

void TSolverEngine::FindDrilling(TSolverGrid &grid, int level, bool searchMode)
{
    StartTechnique();
    NakedSubsets(grid, level, searchMode, 3);
}

void TSolverEngine::NakedSubsets(TSolverGrid &grid, int level, bool searchMode, int size)
{
    TSolverGrid trial;
    for (int pass = 0; pass < 3; ++pass)
        for (int u = 0; u < 9; ++u) {
            if (grid.FoundLevel != 0)
                return;
            // Rows y, columns x, or blocks with block rows outer.
            const int bx = u % 3, by = u / 3;
            const int free = pass == 0   ? FreeCellsInRow(grid, u + 1)
                             : pass == 1 ? FreeCellsInCol(grid, u + 1)
                                         : FreeCellsInBlock(grid, bx, by);
            // A subset of n cells is only sought in a unit with n + 2 or more
            // empty cells.
            if (free <= size)
                continue;
            TCellPos cells[10];
            UnitCells(pass, u, cells);
            // Candidate masks of the unit's cells; a filled cell spoils a group.
            uint16_t mask[10];
            bool filled[10];
            for (int p = 1; p <= 9; ++p) {
                const TCellPos q = cells[p];
                mask[p] = MerkerMask(grid.Cells[q.x][q.y]);
                filled[p] = grid.Cells[q.x][q.y].Value != 0;
            }
            bool applied = false;
            ForEachGroup(size, [&](const int *p) {
                if (grid.FoundLevel != 0)
                    return false;
                if (size == 2 && pass == 0 && TraceOn())
                    TraceF("Zeile(%d) Zelle(%d)%d Zelle(%d)%d", u + 1, p[0], std::popcount(mask[p[0]]), p[1],
                           std::popcount(mask[p[1]]));
                // The union of the group's candidates, as CountMerkerUnion2/3.
                bool anyFilled = false;
                uint16_t all = 0;
                for (int j = 0; j < size; ++j) {
                    anyFilled = anyFilled || filled[p[j]];
                    all |= mask[p[j]];
                }
                if (anyFilled || std::popcount(all) != size)
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
    StartTechnique();
    HiddenSubsets(grid, level, searchMode, 2);
}

void TSolverEngine::FindVDrilling(TSolverGrid &grid, int level, bool searchMode)
{
    StartTechnique();
    if (!HiddenSubsets(grid, level, searchMode, 3))
        Trace(QStringLiteral("VDrilling ende"));
}

bool TSolverEngine::HiddenSubsets(TSolverGrid &grid, int level, bool searchMode, int size)
{
    TSolverGrid trial;
    for (int pass = 0; pass < 3; ++pass) {
        if (grid.FoundLevel != 0)
            return false;
        for (int u = 0; u < 9; ++u) {
            const int bx = u % 3, by = u / 3;
            TCellPos cells[10];
            UnitCells(pass, u, cells);
            int free;
            if (pass == 0) {
                free = FreeCellsInRow(grid, u + 1);
            } else if (pass == 1) {
                free = FreeCellsInCol(grid, u + 1);
            } else {
                free = FreeCellsInBlock(grid, bx, by);
                TraceF("Teste Block(%d,%d)Freie:%d", bx, by, free);
            }
            if (free <= size)
                continue;
            // Taken once per unit: a trial that finds nothing leaves the
            // grid's candidates as they were.
            uint16_t mask[10];
            bool filled[10];
            for (int p = 1; p <= 9; ++p) {
                const TCellPos q = cells[p];
                mask[p] = MerkerMask(grid.Cells[q.x][q.y]);
                filled[p] = grid.Cells[q.x][q.y].Value != 0;
            }
            // The candidates of every run of cells a..b, once per unit: the
            // cells outside a group are the runs between its members.
            uint16_t runs[11][11] = {};
            for (int a = 1; a <= 9; ++a) {
                uint16_t acc = 0;
                for (int b = a; b <= 9; ++b)
                    runs[a][b] = acc |= mask[b];
            }
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
            ForEachGroup(size, [&](const int *p) {
                if (grid.FoundLevel != 0)
                    return false;
                // The union of the group's candidates, as CountMerkerUnion2/3;
                // with no more digits than cells it is a naked subset instead.
                bool anyFilled = false;
                uint16_t all = 0;
                for (int j = 0; j < size; ++j) {
                    anyFilled = anyFilled || filled[p[j]];
                    all |= mask[p[j]];
                }
                if (anyFilled || std::popcount(all) <= size)
                    return true;
                // Digit d qualifies when its unit count is above 1 and equals
                // its group count: it sits in two or more group cells and in
                // no other cell of the unit.
                uint16_t twice = 0, outside = 0;
                for (int j = 0; j < size; ++j)
                    for (int k = j + 1; k < size; ++k)
                        twice |= mask[p[j]] & mask[p[k]];
                const int last = p[size - 1];
                outside = runs[1][p[0] - 1] | runs[p[0] + 1][p[1] - 1] | runs[last + 1][9];
                if (size == 3)
                    outside |= runs[p[1] + 1][p[2] - 1];
                const uint16_t qualifying = twice & ~outside;
                const int n = std::popcount(qualifying);
                if (n > 1 && TraceOn()) {
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
                        if (RemoveCandidate(c, k))
                            trial.MerkerLevel = std::min(trial.MerkerLevel, level);
                        c.Deleted[k] = true;
                    }
                }
                applied = TryTrial(grid, trial, level, searchMode);
                return !applied;
            });
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
    StartTechnique();
    Trace(QStringLiteral("xWing2 Start"));
    int lastTrialLevel = 0;
    if (!XWingPasses(grid, level, searchMode, lastTrialLevel))
        TraceF("xWing2 ende(%d)", lastTrialLevel);
}

bool TSolverEngine::XWingPasses(TSolverGrid &grid, int level, bool searchMode, int &lastTrialLevel)
{
    TSolverGrid trial;
    // pass 0: the base lines are rows, the cover lines columns; pass 1 the
    // other way round.
    for (int pass = 0; pass < 2; ++pass) {
        if (grid.FoundLevel != 0)
            return false;
        const bool rows = pass == 0;
        auto counts = [&](bool ofRow, int n, TDigitCounts &out) {
            if (ofRow)
                DigitCountsInRow(grid, n, out);
            else
                DigitCountsInCol(grid, n, out);
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
                    int cross[9];
                    int n = 0;
                    for (int c = 1; c <= 9; ++c) {
                        const TSolverCell &c1 = at(grid, l1, c), &c2 = at(grid, l2, c);
                        if (c1.Value == 0 && c1.Merker[d] && c2.Value == 0 && c2.Merker[d])
                            cross[n++] = c;
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
                                RemoveCandidate(c, d);
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
    StartTechnique();
    Trace(QStringLiteral("Sue_De_Coq4 Start"));
    if (!SueDeCoq4Passes(grid, level, searchMode))
        Trace(QStringLiteral("Sue_De_Coq4 Ende"));
}

bool TSolverEngine::SueDeCoq4Passes(TSolverGrid &grid, int level, bool searchMode)
{
    TSolverGrid trial;
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
    StartTechnique();
    Trace(QStringLiteral("Sue_De_Coq5 Start"));
    if (!SueDeCoq5Passes(grid, level, searchMode))
        Trace(QStringLiteral("Sue_De_Coq5 Ende"));
}

bool TSolverEngine::SueDeCoq5Passes(TSolverGrid &grid, int level, bool searchMode)
{
    TSolverGrid trial;
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
