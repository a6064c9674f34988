#include "solver/UBingo.h"

#include "core/ULog.h"
#include "core/UQuadrivo.h"
#include "core/USystem.h"
#include "net/UNETZ.h"
#include "screens/UGameOptionen.h"
#include "solver/USolver.h"

#include <QLinearGradient>
#include <QPainter>
#include <QShowEvent>
#include <QWindow>
#include <algorithm>

TFormBingo *FormBingo = nullptr;

namespace {

constexpr int kBingoTraceCategory = 4;

bool IsDigit(int d)
{
    return d >= 1 && d <= 9;
}

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

// The window's background: a warm card with a thin frame, stretched to
// whatever width the numbers need.
QPixmap BingoCardPicture()
{
    QPixmap pm(115, 101);
    QPainter p(&pm);
    QLinearGradient g(0, 0, 0, 101);
    g.setColorAt(0, QColor(0xFF, 0xF3, 0xC4));
    g.setColorAt(1, QColor(0xF5, 0xB9, 0x42));
    p.fillRect(pm.rect(), g);
    p.setPen(QPen(QColor(0x9A, 0x5B, 0x00), 2));
    p.drawRect(QRectF(1, 1, 113, 99));
    return pm;
}

} // namespace

// ---- settings -------------------------------------------------------------------

TBingoSettings BingoSettingsFromOptions()
{
    TBingoSettings s;
    if (!FormGO)
        return s;
    const TGameOptionValues v = FormGO->Values();
    s.Max = std::clamp(v.BingoMax, 1, 4);
    s.RefillEmpty = v.BingoFill == 2;
    s.Numbers = !v.BingoFields;
    s.Fixed = v.BingoChange == 0;
    s.Alternate = v.BingoChange == 1;
    s.Random = v.BingoChange == 2;
    return s;
}

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

// ---- the window ---------------------------------------------------------------------

TFormBingo::TFormBingo(QWidget *parent) : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QStringLiteral("Bingo"));
    resize(115, 101);
    Image1 = new TImage(this);
    Image1->setGeometry(0, 0, 115, 101);
    Image1->SetPicture(BingoCardPicture());
    Zahl = new TLabel(this);
    QFont f(QStringLiteral("Verdana"));
    f.setPixelSize(80);
    Zahl->setFont(f);
    Zahl->setAttribute(Qt::WA_TranslucentBackground);
    Zahl->move(25, 2);
    for (TMouseControl *c : {static_cast<TMouseControl *>(Image1), static_cast<TMouseControl *>(Zahl)}) {
        c->setMouseTracking(true);
        connect(c, &TMouseControl::MouseDown, this,
                [this, c](Qt::MouseButton b, Qt::KeyboardModifiers, int x, int y) { Image1MouseDown(c, b, x, y); });
        connect(c, &TMouseControl::MouseMove, this,
                [this, c](Qt::KeyboardModifiers, int x, int y) { Image1MouseMove(c, x, y); });
        connect(c, &TMouseControl::MouseUp, this, [this] { Image1MouseUp(); });
    }
}

void TFormBingo::Image1MouseDown(QWidget *control, Qt::MouseButton button, int x, int y)
{
    if (button != Qt::LeftButton)
        return;
    // The window system moves the window when it can; otherwise the window
    // follows the mouse itself until the button is released.
    if (windowHandle() && windowHandle()->startSystemMove())
        return;
    m_dragging = true;
    m_dragOrigin = control ? control->mapTo(this, QPoint(x, y)) : QPoint(x, y);
}

void TFormBingo::Image1MouseMove(QWidget *control, int x, int y)
{
    setCursor(Qt::SizeAllCursor);
    if (!m_dragging)
        return;
    const QPoint at = control ? control->mapTo(this, QPoint(x, y)) : QPoint(x, y);
    move(pos() + (at - m_dragOrigin));
}

void TFormBingo::Image1MouseUp()
{
    m_dragging = false;
}

void TFormBingo::FormActivate()
{
    TraceCat(kBingoTraceCategory, QStringLiteral("Bingo ein"));
    if (!Form1)
        return;
    // Beside the options summary of the tool panel.
    const QRect main = Form1->frameGeometry();
    const int toolLeft = Form1->ToolPanel ? Form1->ToolPanel->x() : 0;
    const int toolTop = Form1->ToolPanel ? Form1->ToolPanel->y() : 0;
    const int summaryTop = Form1->art_label ? Form1->art_label->y() : 0;
    move(main.left() + toolLeft + 20, main.top() + toolTop + summaryTop + 20);
}

void TFormBingo::showEvent(QShowEvent *e)
{
    // Placed when it appears, not at every activation: a press that starts a
    // drag activates the window too.
    if (!e->spontaneous())
        FormActivate();
    QWidget::showEvent(e);
}

// ---- the program's routines -------------------------------------------------------

namespace {

// The draw on the program's list, board, solver and options.
struct TProgramDraw {
    TBoards EmptyBoards;
    TSolverEngine EmptySolver;
    bool Spare = false;
    TBingoList SpareList;
    TBingoDraw Draw;
    TProgramDraw()
        : Draw(FormBingo ? FormBingo->BingoList : SpareList, FormBingo ? FormBingo->DrawNumbers : Spare,
               FormSolver ? static_cast<TSolverEngine &>(*FormSolver) : EmptySolver,
               Form1 ? Form1->Boards : EmptyBoards, BingoSettingsFromOptions())
    {
        if (::Trace && ::Trace->IsCatOn(kBingoTraceCategory))
            Draw.Trace = [](const QString &text) { ::TraceCat(kBingoTraceCategory, text); };
    }
};

} // namespace

bool NextBingoDraw(bool first)
{
    if (!FormBingo || !Form1 || !FormSolver)
        return false;
    TProgramDraw d;
    return d.Draw.NextBingoDraw(first, NETZ && NETZ->MyPlayerNo == 1);
}

bool RefillBingo(TSolverGrid &grid)
{
    if (!FormBingo || !Form1 || !FormSolver)
        return false;
    TProgramDraw d;
    return d.Draw.RefillBingo(grid);
}

void AddUniqueCandidates(const TSolverGrid &grid, int kind)
{
    if (!FormBingo)
        return;
    TProgramDraw d;
    d.Draw.AddUniqueCandidates(grid, kind);
}

void RemoveBingoEntry(int x, int y, int value)
{
    if (!FormBingo)
        return;
    TProgramDraw d;
    d.Draw.RemoveBingoEntry(x, y, value);
}

void UpdateBingoKind(bool first)
{
    if (!FormBingo)
        return;
    TProgramDraw d;
    d.Draw.UpdateBingoKind(first);
}

bool IsBingoNumbersNow()
{
    if (!FormBingo)
        return BingoSettingsFromOptions().Numbers;
    TProgramDraw d;
    return d.Draw.IsBingoNumbersNow();
}

void ClearBingoList()
{
    TraceCat(kBingoTraceCategory, QStringLiteral("Lösche BingoLst"));
    if (FormBingo) {
        TBingoList &l = FormBingo->BingoList;
        l.OfferValues.clear();
        l.OfferX.clear();
        l.OfferY.clear();
        l.InputSinceDraw.clear();
        // Whole entries: a slot left with its cell would still look taken.
        std::fill(std::begin(l.Entries), std::end(l.Entries), BingoEntry{});
        l.EntryCount = 0;
    }
    if (!Form1)
        return;
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            TCellView &cv = Form1->Cells[x][y];
            if (!cv.BingoMark)
                continue;
            cv.BingoMark = 0;
            for (int d = 1; d <= 9; ++d)
                cv.Mark(d).ShownState = -1;
        }
}

void ResetBingo()
{
    if (!FormBingo)
        return;
    TBingoList &l = FormBingo->BingoList;
    l.OfferValues.clear();
    l.OfferX.clear();
    l.OfferY.clear();
    l.BagValues.clear();
    l.InputSinceDraw.clear();
    l.EntryCount = 0;
    std::fill(std::begin(l.Entries), std::end(l.Entries), BingoEntry{});
}

void ShowBingoNumbers(const QString &text)
{
    if (!FormBingo || !IsBingoActive() || text.isEmpty())
        return;
    TFormBingo *w = FormBingo;
    w->Zahl->setText(text);
    w->Zahl->adjustSize();
    w->resize(w->Zahl->width() + 50, w->height());
    w->Image1->setGeometry(0, 0, w->width(), w->height());
    w->Zahl->move(25, (w->height() - w->Zahl->height()) / 2);
    if (w->DrawNumbers)
        w->show();
    else
        w->hide();
    TraceCat(kBingoTraceCategory, QStringLiteral("Zahlen(%1)").arg(text));
}

// ---- option setters ------------------------------------------------------------

void SetBingoFill(int mode)
{
    if (FormGO)
        FormGO->SetBingoFill(mode);
}

void SetBingoKind(int kind)
{
    if (FormGO)
        FormGO->SetBingoKind(kind);
}

void SetBingoChange(int mode)
{
    if (FormGO)
        FormGO->SetBingoChange(mode);
}

bool IsBingoActive()
{
    return FormGO && FormGO->GetGameType() == 4;
}
