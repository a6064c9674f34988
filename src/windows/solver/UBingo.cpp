#include "solver/UBingo.h"

#include "board/ULog.h"
#include "board/UQuadrivo.h"
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
