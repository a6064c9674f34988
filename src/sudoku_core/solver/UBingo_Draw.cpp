#include "solver/UBingo_Draw.h"

#include "settings/USystem.h"
#include "solver/USolver_Engine.h"

#include <algorithm>

namespace {

// The count of a grid's candidates and placed digits: a refill pass that
// changes neither (and adds no entry) has nothing more to give.
int GridProgressMeasure(const TSolverGrid &grid)
{
    int n = 0;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            const TSolverCell &c = grid.Cells[x][y];
            n += c.Value != 0 ? 100 : 0;
            for (int d = 1; d <= 9; ++d)
                n -= c.Merker[d] != 0;
        }
    return n;
}

} // namespace

// ---- the draw -------------------------------------------------------------------

TBingoDraw::TBingoDraw(TBingoList &list, bool &drawNumbers, TSolverEngine &solver, const TBoards &boards,
                       const TBingoSettings &settings)
    : L(list), DrawNumbers(drawNumbers), Solver(solver), Boards(boards), S(settings)
{
}

void TBingoDraw::trace(const QString &text) const
{
    if (Trace)
        Trace(text);
}

void TBingoDraw::traceSlots(const char *prefix, const BingoEntry *entries, int BingoEntry::*field, int count) const
{
    if (!tracing())
        return;
    QString line = QString::fromUtf8(prefix);
    if (count >= 0)
        line += QString::asprintf("(%d): ", count);
    for (int i = 0; i < 10; ++i)
        line += QString::asprintf(i == 0 ? "%d(%d)" : " %d(%d)", i, entries[i].*field);
    trace(line);
}

int TBingoDraw::firstFreeSlot() const
{
    for (int i = 0; i < kBingoSlots; ++i)
        if (L.Entries[i].value == 0)
            return i;
    return kBingoSlots;
}

bool TBingoDraw::isCellHeld(int x, int y) const
{
    for (const BingoEntry &e : L.Entries)
        if (e.value != 0 && e.x == x && e.y == y)
            return true;
    return false;
}

void TBingoDraw::AddUniqueCandidates(const TSolverGrid &grid, int kind)
{
    traceF("Eindeutige(%d) eintragen", kind);
    traceSlots("", L.Entries, &BingoEntry::value);
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            const TSolverCell &c = grid.Cells[x][y];
            if (c.Value != 0)
                continue;
            for (int d = 1; d <= 9; ++d) {
                if (!c.Found[d] || isCellHeld(x, y))
                    continue;
                const int slot = firstFreeSlot();
                if (slot >= kBingoSlots)
                    continue; // no room: the single is not kept
                L.Entries[slot] = {x, y, d, kind};
                traceF("Zahl(%d) aus Zelle(%d,%d) an Platz(%d)", d, x, y, slot);
            }
        }
    L.EntryCount = firstFreeSlot();
    traceSlots("", L.Entries, &BingoEntry::value);
}

void TBingoDraw::RemoveBingoEntry(int x, int y, int value)
{
    traceSlots("", L.Entries, &BingoEntry::value);
    trace(QStringLiteral("Lösche Eingabe aus Liste"));
    traceSlots("", L.Entries, &BingoEntry::value);
    int slot = -1;
    for (int i = 0; i < kBingoSlots && slot < 0; ++i)
        if (L.Entries[i].value != 0 && L.Entries[i].x == x && L.Entries[i].y == y)
            slot = i;
    if (slot < 0) {
        // A number offer entered in another cell than the one drawn.
        trace(QStringLiteral("Andere Zahl wurde gedrückt"));
        if (IsDigit(value))
            for (int i = kBingoSlots - 1; i >= 0 && slot < 0; --i)
                if (L.Entries[i].value == value)
                    slot = i;
    }
    traceF("Gelöscht wird Puffer(%d)", slot);
    if (slot >= 0) {
        for (int i = slot; i < kBingoSlots - 1; ++i)
            L.Entries[i] = L.Entries[i + 1];
        // The last slot is free now; keeping its old content would hold the
        // same entry twice.
        L.Entries[kBingoSlots - 1] = BingoEntry{};
        L.EntryCount = firstFreeSlot();
    }
    traceSlots("", L.Entries, &BingoEntry::value);
    trace(QStringLiteral("Lösche Eingabe fertig"));
    traceSlots("", L.Entries, &BingoEntry::value);
}

void TBingoDraw::UpdateBingoKind(bool first)
{
    if (first) {
        DrawNumbers = S.Numbers;
        return;
    }
    if (S.Alternate && S.RefillEmpty)
        DrawNumbers = !DrawNumbers;
    if (S.Random)
        DrawNumbers = Random(2) == 1;
}

bool TBingoDraw::IsBingoNumbersNow() const
{
    return S.RefillEmpty && !S.Fixed ? DrawNumbers : S.Numbers;
}

void TBingoDraw::playInto(TSolverGrid &grid, int maxKind) const
{
    for (const BingoEntry &e : L.Entries) {
        if (!IsDigit(e.value) || e.kind < BingoKindOffered || e.kind > maxKind || !IsBoardIndex(e.x) ||
            !IsBoardIndex(e.y))
            continue;
        grid.Cells[e.x][e.y].Value = e.value;
        traceF("Spiele %d(%d,%d)", e.value, e.x, e.y);
    }
}

bool TBingoDraw::refillStage(TSolverGrid &grid, int maxKind, const char *before, const char *after)
{
    traceF(before, L.EntryCount);
    playInto(grid, maxKind);
    Solver.PropagateValues(grid);
    const bool progress = Solver.SolveStep(grid, false);
    AddUniqueCandidates(grid, BingoKindCombo);
    traceF(after, L.EntryCount);
    return progress;
}

bool TBingoDraw::DrawAtRandom(const TSolverGrid &grid)
{
    trace(QStringLiteral("Nichts zu finden, Losen."));
    // Cells an entry holds are already on offer or in the bag.
    TCellPos cells[81];
    int n = 0;
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x)
            if (grid.Cells[x][y].Value == 0 && IsDigit(Boards[0][x][y].Value) && !isCellHeld(x, y))
                cells[n++] = {x, y};
    if (n == 0 || L.EntryCount >= kBingoSlots)
        return false;
    const TCellPos c = cells[Random(n)];
    const int v = Boards[0][c.x][c.y].Value;
    L.Entries[L.EntryCount] = {c.x, c.y, v, BingoKindOffered};
    ++L.EntryCount;
    traceF("gelost wurde (%d,%d)%d", c.x, c.y, v);
    return true;
}

bool TBingoDraw::RefillBingo(TSolverGrid &grid)
{
    const int entriesBefore = L.EntryCount;
    const int measureBefore = GridProgressMeasure(grid);
    RandSeed(uint64_t(PerfCounter()));
    bool progress = false;
    if (S.Max > L.EntryCount)
        progress = refillStage(grid, BingoKindOffered, "Mit aktuellen vorspielen Anzahl(%d)",
                               "Mit aktuellen vorgespielt Anzahl(%d)");
    if (S.Max > L.EntryCount) {
        trace(QStringLiteral("Noch nicht genug gefunden"));
        progress = refillStage(grid, BingoKindSingle, "Mit eindeutigen vorspielen Anzahl(%d)",
                               "Mit eindeutigen vorgespielt Anzahl(%d)");
    }
    if (S.Max > L.EntryCount) {
        trace(QStringLiteral("Noch nicht genug gefunden"));
        progress =
            refillStage(grid, BingoKindCombo, "Mit combo vorspielen Anzahl(%d)", "Mit combo vorgespielt Anzahl(%d)");
    }
    if (S.Max > L.EntryCount) {
        traceF("Noch nicht genug gefunden Merker(%d)", grid.MerkerLevel);
        L.FreeCells = CountFreeCells(Boards);
        if (L.FreeCells == 0) {
            trace(QStringLiteral("Nicht genug freie Felder"));
        } else if (grid.MerkerLevel == NoMerkerLevel || !progress) {
            // Logic has nothing more: a free cell is drawn.
            DrawAtRandom(grid);
        } else {
            trace(QStringLiteral("Noch Merker gelöscht weiter suchen"));
        }
    }
    return L.EntryCount != entriesBefore || GridProgressMeasure(grid) != measureBefore;
}

void TBingoDraw::pickFromPool(BingoEntry *target, int kind, const char *traceFormat)
{
    int pool[kBingoSlots];
    int n = 0;
    for (int i = 0; i < kBingoSlots; ++i)
        if (L.Entries[i].kind == kind && IsDigit(L.Entries[i].value))
            pool[n++] = i;
    if (tracing()) {
        QString letters;
        for (int i = 0; i < n; ++i)
            letters += QChar(u'A' + i);
        QString line = QString::asprintf(traceFormat, qPrintable(letters));
        for (int i = 0; i < 10; ++i)
            line += QString::asprintf(i == 0 ? "%d(%d)" : " %d(%d)", i, i < n ? L.Entries[pool[i]].value : 0);
        trace(line);
    }
    while (S.Max > L.EntryCount && n > 0 && L.EntryCount < kBingoSlots) {
        const int pick = Random(n);
        BingoEntry e = L.Entries[pool[pick]];
        e.kind = BingoKindOffered;
        target[L.EntryCount++] = e;
        pool[pick] = pool[--n];
        std::sort(pool, pool + n); // the rest keeps its slot order
    }
}

void TBingoDraw::setOfferFrom(const BingoEntry *entries, int count)
{
    L.OfferValues.clear();
    L.OfferX.clear();
    L.OfferY.clear();
    for (int i = 0, taken = 0; i < kBingoSlots && taken < count; ++i) {
        const BingoEntry &e = entries[i];
        if (!IsDigit(e.value) || !IsBoardIndex(e.x) || !IsBoardIndex(e.y))
            continue;
        L.OfferValues += QString::number(e.value);
        L.OfferX += QString::number(e.x);
        L.OfferY += QString::number(e.y);
        ++taken;
    }
}

bool TBingoDraw::NextBingoDraw(bool first, bool isHost)
{
    RandSeed(uint64_t(PerfCounter()));
    RefillPasses = 0;
    if (!isHost)
        return false;

    traceF("Alte Vorgabe (%s) Eingabe (%s)", qPrintable(L.OfferValues), qPrintable(L.InputSinceDraw));
    if (!L.InputSinceDraw.isEmpty()) {
        const qsizetype at = L.OfferValues.indexOf(L.InputSinceDraw.at(0));
        if (at >= 0)
            L.OfferValues.remove(at, 1);
    }
    L.InputSinceDraw.clear();

    // "wenn Vorgabe leer": the rest of the offer is only sent again.
    if (S.RefillEmpty && !L.OfferValues.isEmpty()) {
        setOfferFrom(L.Entries, int(L.OfferValues.size()));
        return true;
    }

    UpdateBingoKind(first);
    traceF("Vorgabe ohne Eingabe (%s)", qPrintable(L.OfferValues));
    TSolverGrid g;
    Solver.LoadGameFromBoard(g, Boards);
    Solver.SolveStep(g, false);
    AddUniqueCandidates(g, BingoKindSingle);
    traceF("Im Sack sind %d", L.EntryCount);

    L.FreeCells = 99;
    while (S.Max > L.EntryCount && S.Max <= L.FreeCells) {
        ++RefillPasses;
        if (!RefillBingo(g))
            break;
        if (RefillPasses >= kMaxRefillPasses) {
            traceF("Auffüllen nach %d Durchläufen abgebrochen", RefillPasses);
            break;
        }
    }

    traceSlots("Max: ", L.Entries, &BingoEntry::value);
    L.BagValues.clear();
    for (const BingoEntry &e : L.Entries)
        if (e.kind != BingoKindFree && IsDigit(e.value))
            L.BagValues += QString::number(e.value);

    // The new list: what is already on offer or drawn at random, packed from
    // slot 0, so that the first EntryCount slots are the offer.
    BingoEntry next[kBingoSlots];
    L.EntryCount = 0;
    for (const BingoEntry &e : L.Entries)
        if (e.kind == BingoKindOffered && IsDigit(e.value))
            next[L.EntryCount++] = e;
    traceSlots("Aktuelle", next, &BingoEntry::value, L.EntryCount);
    pickFromPool(next, BingoKindSingle, "Eindeutige zum Eintragen Auswahl(%s): ");
    pickFromPool(next, BingoKindCombo, "Combos zum Eintragen Auswahl(%s): ");
    traceSlots("Aktuelle", next, &BingoEntry::value, L.EntryCount);
    traceSlots("       x", next, &BingoEntry::x, L.EntryCount);
    traceSlots("       y", next, &BingoEntry::y, L.EntryCount);

    std::copy(next, next + kBingoSlots, L.Entries);
    setOfferFrom(L.Entries, kBingoSlots);
    return true;
}
