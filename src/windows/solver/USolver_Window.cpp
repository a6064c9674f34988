// The hint window "Tipp anzeigen": one solve step on the running game,
// painted on the board's pencil marks and explained in a small window with
// coloured digit boxes over the gaps of its text; the buttons that show the
// solver's candidates while held and take them over; and the puzzle
// editor's full test with its statistics lines in the chat box.
#include "solver/USolver.h"

#include "board/ULog.h"
#include "board/UQuadrivo.h"
#include "screens/UGameOptionen.h"
#include "screens/UOptionen.h"
#include "settings/USonstiges.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>

TFormSolver *FormSolver = nullptr;

TFormSolver::TFormSolver(QWidget *parent) : QWidget(parent) {}

namespace {

// The legend boxes, in the order of the window's fields.
enum TBox { BoxF, BoxS1, BoxS2, BoxS3, BoxC1, BoxC2, BoxC3, BoxCount };

struct TBoxPlace {
    int8_t Box;
    int16_t Left;
    int16_t Top;
    bool Shown;    // a box can be placed and still stay hidden
    bool CaptionX; // the box shows "X" instead of its digit
};

// What the window shows for one step result: title, text template ("#" a
// gap under a box, "~" a new line, "<txt>" the hidden single's unit), the
// height of the text panel and where each legend box lies inside it.
struct TTippLayout {
    int Level;
    const char *Title;
    const char *Text;
    int PanelHeight;
    TBoxPlace Boxes[BoxCount];
    int BoxCountUsed;
};

// clang-format off
const TTippLayout kLayouts[] = {
    {1, "Eindeutig :",
     "Die Zahl # wird gefunden, da alle~anderen Zahlen schon einmal~#in der Zeile,~#in der Spalte oder~#im Block~vorkommen.",
     125, {{BoxF, 67, 30, true, false}}, 1},
    {2, "Eindeutig :",
     "Die Zahl # wird gefunden, da diese~nur einmal <txt> vorkommt.",
     70, {{BoxF, 67, 30, true, false}}, 1},
    {3, "Stufe 3 :",
     "Eine # muss in eine der Zellen,~ die #  können gelöscht werden.~ Die #  wird dadurch eindeutig.",
     80, {{BoxF, 43, 58, true, false}, {BoxS1, 43, 30, true, false}, {BoxC1, 43, 44, true, false}}, 3},
    {4, "Zwilling :",
     "Zwei Zahlen ## müssen in zwei~Zellen, darum können die ## ~gelöscht werden.~Die # wird dadurch eindeutig.",
     95, {{BoxF, 38, 72, true, false}, {BoxS1, 94, 30, true, false}, {BoxS2, 111, 30, true, false},
          {BoxC1, 178, 44, true, false}, {BoxC2, 195, 44, true, false}}, 5},
    {5, "Drilling :",
     "Drei Zahlen ### müssen in drei~Zellen, darum können die ### ~gelöscht werden.~Die # wird dadurch eindeutig.",
     95, {{BoxF, 38, 72, true, false}, {BoxS1, 88, 30, true, false}, {BoxS2, 105, 30, true, false},
          {BoxS3, 122, 30, true, false}, {BoxC1, 176, 44, true, false}, {BoxC2, 193, 44, true, false},
          {BoxC3, 210, 44, true, false}}, 7},
    {6, "versteckter Zwilling :",
     "Zwei Zahlen ## müssen in zwei~Zellen, darum können die # ~gelöscht werden.~Die # wird dadurch eindeutig.",
     95, {{BoxF, 38, 72, true, false}, {BoxS1, 94, 30, true, false}, {BoxS2, 111, 30, true, false},
          {BoxC1, 178, 44, true, true}}, 4},
    {7, "versteckter Drilling :",
     "Drei Zahlen ### müssen in drei~Zellen, darum können die # ~gelöscht werden.~Die # wird dadurch eindeutig.",
     95, {{BoxF, 38, 72, true, false}, {BoxS1, 88, 30, true, false}, {BoxS2, 105, 30, true, false},
          {BoxS3, 122, 30, true, false}, {BoxC1, 176, 44, true, true}}, 5},
    {8, "xWing :",
     "In zwei Spalten / Zeilen stehen die~zwei # alleine und jeweils~übereinander / nebeneinander.~Darum können die #, in den~Spalten / Zeilen, nicht vorkommen.~Die # wird dadurch eindeutig.",
     130, {{BoxF, 38, 101, true, false}, {BoxS1, 47, 44, true, false}, {BoxC1, 130, 72, true, false}}, 3},
    {10, "SueDeCoq (5 Felder) :",
     "Fünf Zahlen # müssen in 5 Zellen.~Die Merker an den Schnittstellen~legen fest welche # Merker~gelöscht werden.~Die # wird dadurch eindeutig.",
     110, {{BoxF, 38, 87, true, false}, {BoxS1, 90, 30, true, true}, {BoxC1, 128, 58, true, true}}, 3},
    {11, "SueDeCoq (4 Felder) :",
     "Vier Zahlen # müssen in 4 Zellen.~Die Merker an den Schnittstellen~legen fest welche # Merker~gelöscht werden.~Die # wird dadurch eindeutig.",
     110, {{BoxF, 38, 87, true, false}, {BoxS1, 88, 30, true, true}, {BoxC1, 128, 58, true, true}}, 3},
    {103, "Stufe 3 :",
     "Eine # muss in eine der Zellen,~ die #  können gelöscht werden.~Es wird hier keine eindeutige~Zahl gefunden.",
     90, {{BoxS1, 43, 30, true, false}, {BoxC1, 43, 44, true, false}}, 2},
    {104, "Zwilling :",
     "Zwei Zahlen ## müssen in zwei~Zellen, darum können die ## ~gelöscht werden.~Es wird hier keine eindeutige~Zahl gefunden.",
     105, {{BoxS1, 94, 30, true, false}, {BoxS2, 111, 30, true, false}, {BoxC1, 178, 44, true, false},
           {BoxC2, 195, 44, true, false}}, 4},
    {105, "Drilling :",
     "Drei Zahlen ### müssen in drei~Zellen, darum können die ### ~gelöscht werden.~Es wird hier keine eindeutige~Zahl gefunden.",
     105, {{BoxF, 38, 72, false, false}, {BoxS1, 88, 30, true, false}, {BoxS2, 105, 30, true, false},
           {BoxS3, 122, 30, true, false}, {BoxC1, 176, 44, true, false}, {BoxC2, 193, 44, true, false},
           {BoxC3, 210, 44, true, false}}, 7},
    {106, "versteckter Zwilling :",
     "Zwei Zahlen ## müssen in zwei~Zellen, darum können die # ~gelöscht werden.~Es wird hier keine eindeutige~Zahl gefunden.",
     105, {{BoxS1, 94, 30, true, false}, {BoxS2, 111, 30, true, false}, {BoxC1, 178, 44, true, true}}, 3},
    {107, "versteckter Drilling :",
     "Drei Zahlen ### müssen in drei~Zellen, darum können die # ~gelöscht werden.~Es wird hier keine eindeutige~Zahl gefunden.",
     105, {{BoxS1, 88, 30, true, false}, {BoxS2, 105, 30, true, false}, {BoxS3, 122, 30, true, false},
           {BoxC1, 176, 44, true, true}}, 4},
    {108, "xWing :",
     "In zwei Spalten / Zeilen stehen die~zwei # alleine und jeweils~übereinander / nebeneinander.~Darum können die #, in den~Spalten / Zeilen, nicht vorkommen.~Es wird hier keine eindeutige~Zahl gefunden.",
     135, {{BoxS1, 47, 44, true, false}, {BoxC1, 130, 72, true, false}}, 2},
    {110, "SueDeCoq (5 Felder) :",
     "Fünf Zahlen # müssen in 5 Zellen.~Die Merker an den Schnittstellen~legen fest welche # Merker~gelöscht werden.~Es wird hier keine eindeutige~Zahl gefunden.",
     125, {{BoxS1, 90, 30, true, true}, {BoxC1, 128, 58, true, true}}, 2},
    {111, "SueDeCoq (4 Felder) :",
     "Vier Zahlen # müssen in 4 Zellen.~Die Merker an den Schnittstellen~legen fest welche # Merker~gelöscht werden.~Es wird hier keine eindeutige~Zahl gefunden.",
     125, {{BoxS1, 88, 30, true, true}, {BoxC1, 128, 58, true, true}}, 2},
};
// Any other result, 0 among them: the techniques found nothing.
const TTippLayout kNothingFound = {
    0, "kein Ergebnis",
    "Mit den zur Zeit umgesetzten~Verfahren kann keine eindeutige~Zahl gefunden werden.~Vielleicht handelt es sich um ein~Killer Sudoku, diese sind nur durch~eine Fallunterscheidung zu lösen.",
    125, {}, 0};
// clang-format on

const TTippLayout &LayoutOf(int level)
{
    for (const TTippLayout &l : kLayouts)
        if (l.Level == level)
            return l;
    return kNothingFound;
}

// The editor test's statistics line for one step; empty for a level that
// has none.
QString StatisticsLine(int level, int written)
{
    const char *counted = nullptr;
    switch (level) {
    case 1:
    case 2:
        counted = "Eindeutige:";
        break;
    case 3:
        counted = "Stufe3:";
        break;
    case 4:
        counted = "Zwilling:";
        break;
    case 5:
        counted = "Drilling:";
        break;
    case 6:
        counted = "vZwilling:";
        break;
    case 7:
        counted = "vDrilling:";
        break;
    case 8:
        counted = "xWing:";
        break;
    case 9:
        counted = "Uniq_rec:";
        break;
    case 10:
    case 11:
        counted = "SueDeCoq:";
        break;
    default:
        break;
    }
    if (counted)
        return QString::fromUtf8(counted) + QString::number(written);
    switch (level) {
    case 103:
        return QStringLiteral("Merker Stufe3:");
    case 104:
        return QStringLiteral("Merker Zwilling:");
    case 105:
        return QStringLiteral("Merker Drilling:");
    case 106:
        return QStringLiteral("Merker vZwilling:");
    case 107:
        return QStringLiteral("Merker vDrilling:");
    case 108:
        return QStringLiteral("Merker xWing:");
    case 109:
        return QStringLiteral("Merker Uniq_rec:");
    case 110:
        return QStringLiteral("Merker SueDeCoq5:");
    case 111:
        return QStringLiteral("Merker SueDeCoq4:");
    default:
        return QString();
    }
}

// A digit that occurs twice among the filled cells of a row (lines == rows)
// or column; 0 when every line is clean.
int FirstLineWithDuplicate(const TSolverGrid &grid, bool rows)
{
    for (int a = 1; a <= 9; ++a) {
        bool seen[10] = {};
        for (int b = 1; b <= 9; ++b) {
            const int v = rows ? grid.Cells[b][a].Value : grid.Cells[a][b].Value;
            if (v < 1 || v > 9)
                continue;
            if (seen[v])
                return a;
            seen[v] = true;
        }
    }
    return 0;
}

// The text as the window shows it: the gaps opened, the lines broken and
// the hidden single's unit put in.
QString TippBodyText(const char *tmpl, const QString &unit)
{
    QString text = QStringLiteral("~") + QString::fromUtf8(tmpl);
    text.replace(QLatin1Char('#'), QStringLiteral("    "));
    text.replace(QLatin1Char('~'), QStringLiteral("\r\n   "));
    text.replace(QStringLiteral("<txt>"), unit);
    return text;
}

constexpr int kBtnPanelHeight = 80;
constexpr int32_t kNoteColour = 0xD8FFFF; // 0x00BBGGRR: pale yellow
constexpr int kKopfHeight = 16;
// Line pitch of the text; the legend boxes of the window definition sit on
// this grid (tops 30, 44, 58 ...).
constexpr int kBodyLinePitch = 14;

QFont VerdanaPixels(int pixels, bool bold)
{
    QFont f(QStringLiteral("Verdana"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

void FillLabel(TLabel *label, const QColor &color)
{
    label->setAutoFillBackground(true);
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, color);
    pal.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(pal);
}

TMarkEntry &BoardMark(int x, int y, int d)
{
    return Form1->Cells[x][y].Mark(d);
}

void RefreshBoardMarks()
{
    if (FormFeld)
        FormFeld->RefreshMarks();
}

} // namespace

// ---- construction -------------------------------------------------------------

bool TFormSolver::buildWindow()
{
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setWindowTitle(QStringLiteral("Tipp anzeigen"));
    setFont(QFont(QStringLiteral("Verdana")));
    resize(259, 248);

    // The solver talks to the program through its hooks: trace category 3
    // only while it is switched on, and the board's marks.
    Hooks.Trace = [](int category, const QString &text) { ::TraceCat(category, text); };
    Hooks.TraceWanted = [](int category) { return ::Trace && ::Trace->IsCatOn(category); };
    Hooks.RefreshMarks = [] { RefreshBoardMarks(); };

    Btn_Panel = new TPanel(this);
    Btn_Panel->SetColor(Qt::white);
    Btn_Panel->setGeometry(0, 0, 259, kBtnPanelHeight);

    auto face = [this](int left, int top, int w, int h) {
        auto *im = new TImage(Btn_Panel);
        im->setGeometry(left, top, w, h);
        SetSkinPicture(im, "pic_no_press");
        if (FormOpt && FormOpt->pic_no_press)
            im->SetPicture(FormOpt->pic_no_press->Picture());
        return im;
    };
    auto button = [this](int left, int top, int w, int h, const QString &caption, int tag) {
        auto *l = new TLabel(Btn_Panel, caption);
        l->setGeometry(left, top, w, h);
        l->setAlignment(Qt::AlignCenter);
        l->Tag = tag;
        l->SetFontSize(8, true);
        l->setCursor(Qt::PointingHandCursor);
        connect(l, &TLabel::MouseEnter, this, [this, l] { bt_repeatMouseEnter(l); });
        connect(l, &TLabel::MouseLeave, this, [this, l] { bt_repeatMouseLeave(l); });
        return l;
    };

    Pic_Show = face(80, 0, 165, 25);
    Pic_get = face(80, 25, 165, 25);
    Pic_ok = face(80, 50, 165, 25);
    btn_show = button(80, 0, 165, 25, QStringLiteral("Merker zeigen"), 0);
    btn_get = button(80, 25, 165, 25, QStringLiteral("Merker übernehmen"), 0);
    btn_ok = button(80, 50, 165, 25, QStringLiteral("Ok"), 0);
    connect(btn_show, &TLabel::MouseDown, this, [this] { BitBtn2MouseDown(); });
    connect(btn_show, &TLabel::MouseUp, this, [this] { BitBtn2MouseUp(); });
    connect(btn_get, &TLabel::Click, this, &TFormSolver::copy_MerkerClick);
    connect(btn_ok, &TLabel::Click, this, &TFormSolver::BitBtn1Click);

    TImage **images[] = {nullptr, &Image1, &Image2, &Image3, &Image4, &Image5, &Image6, &Image7, &Image8, &Image9};
    TLabel **labels[] = {nullptr, &Label1, &Label2, &Label3, &Label4, &Label5, &Label6, &Label7, &Label8, &Label9};
    for (int k = 1; k <= 9; ++k) {
        // Laid out like the marks of a cell: 1 2 3 on top.
        const int left = 2 + 25 * ((k - 1) % 3), top = 25 * ((k - 1) / 3);
        *images[k] = face(left, top, 25, 25);
        TLabel *l = button(left, top, 25, 25, QString::number(k), k);
        *labels[k] = l;
        connect(l, &TLabel::MouseDown, this, [this, l] { Button1MouseDown(l); });
        connect(l, &TLabel::MouseUp, this, [this] { BitBtn2MouseUp(); });
    }

    Panel2 = new TPanel(this);
    Panel2->SetColor(Qt::white);
    Panel2->setGeometry(0, 248 - 125, 259, 125);
    bgTipp = new TImage(Panel2);
    Body = new TLabel(Panel2);
    Body->setFont(VerdanaPixels(12, false));
    Body->installEventFilter(this);
    Kopf = new TLabel(Panel2);
    Kopf->setFont(VerdanaPixels(13, true));
    FillLabel(Kopf, Qt::white);

    TLabel **boxes[BoxCount] = {&F, &s1, &s2, &s3, &C1, &C2, &C3};
    for (int b = 0; b < BoxCount; ++b) {
        auto *l = new TLabel(Panel2);
        l->resize(14, 14);
        l->setAlignment(Qt::AlignCenter);
        l->setFont(VerdanaPixels(11, true));
        FillLabel(l, b == BoxF    ? QColor(0x00, 0xFF, 0x00)
                     : b <= BoxS3 ? QColor(0xFF, 0xFF, 0x00)
                                  : QColor(0xFF, 0x00, 0x00));
        l->hide();
        *boxes[b] = l;
    }
    return true;
}

TLabel *TFormSolver::KeypadLabel(int k) const
{
    TLabel *const labels[] = {nullptr, Label1, Label2, Label3, Label4, Label5, Label6, Label7, Label8, Label9};
    return k >= 1 && k <= 9 ? labels[k] : nullptr;
}

bool TFormSolver::eventFilter(QObject *watched, QEvent *event)
{
    // The text is drawn line by line on the pitch the legend boxes were laid
    // out for, whatever the font's own line spacing.
    if (watched == Body && event->type() == QEvent::Paint) {
        QPainter p(Body);
        p.setFont(Body->font());
        p.setPen(Qt::black);
        const QStringList lines = Body->text().split(QStringLiteral("\r\n"));
        for (int i = 0; i < lines.size(); ++i)
            p.drawText(QRect(0, i * kBodyLinePitch, Body->width(), kBodyLinePitch), Qt::AlignLeft | Qt::AlignVCenter,
                       lines[i]);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// ---- the hint -----------------------------------------------------------------

int TFormSolver::PlaceBoardEntries(TSolverGrid &grid)
{
    if (!Form1)
        return 0;
    // An entry cleared again (evaluation at the end lets a player take his
    // entries back) cannot be taken out of the grid: the grid is loaded anew.
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x)
            if (grid.Cells[x][y].Value != 0 && IsCellFreeOnAllLayers(Form1->Boards, x, y)) {
                LoadGameFromBoard(grid, Form1->Boards);
                return 0;
            }
    // With evaluation at the end the host never places an entry; the board
    // is the only record of what has been filled.
    int placed = 0;
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            if (grid.Cells[x][y].Value != 0 || IsCellFreeOnAllLayers(Form1->Boards, x, y))
                continue;
            const int v = Form1->Boards[0][x][y].Value;
            if (v < 1 || v > 9)
                continue;
            PlaceDigit(grid, x, v, y);
            ++placed;
        }
    return placed;
}

void TFormSolver::ShowTipp()
{
    if (!Form1 || !Form1->BTC_Tipp || !Form1->BTC_Tipp->isEnabled())
        return;
    RefreshBoardMarks();
    if (!GameGrid.Initialised)
        LoadGameFromBoard(GameGrid, Form1->Boards);
    PlaceBoardEntries(GameGrid);
    CopySolverGrid(GameGrid, GridBefore);
    SolveStep(GameGrid, true);
    MarkTippOnBoard(GameGrid);
    ShowTippText(GameGrid.FoundLevel);
}

void TFormSolver::MarkTippOnBoard(const TSolverGrid &grid)
{
    if (!Form1 || !FormOpt)
        return;
    int recorded = 0;
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            const TSolverCell &c = grid.Cells[x][y];
            if (c.Value != 0)
                continue;
            for (int d = 1; d <= 9; ++d) {
                TMarkEntry &m = BoardMark(x, y, d);
                bool painted = false;
                if (c.Deleted[d]) {
                    m.Image.SetPicture(FormOpt->pic_clear);
                    painted = true;
                }
                if (c.Pattern[d]) {
                    if (c.Merker[d]) {
                        m.Image.SetPicture(FormOpt->pic_muss);
                        painted = true;
                    }
                    if (recorded < 3)
                        PatternDigits[recorded++] = d;
                }
                if (c.Found[d]) {
                    m.Image.SetPicture(FormOpt->pic_ist);
                    TippDigit = d;
                    painted = true;
                }
                // The next refresh puts the player's own mark back.
                if (painted)
                    m.ShownState = ~m.State;
            }
        }
}

void TFormSolver::ShowTippText(int level)
{
    const TTippLayout &layout = LayoutOf(level);
    Btn_Panel->setGeometry(0, 0, 250, kBtnPanelHeight);
    resize(250, height());
    TLabel *const boxes[BoxCount] = {F, s1, s2, s3, C1, C2, C3};
    for (TLabel *b : boxes)
        b->hide();
    F->setText(QString::number(TippDigit));
    for (int i = 0; i < 3; ++i) {
        boxes[BoxS1 + i]->setText(QString::number(PatternDigits[i]));
        boxes[BoxC1 + i]->setText(QString::number(PatternDigits[i]));
    }
    for (int i = 0; i < layout.BoxCountUsed; ++i) {
        const TBoxPlace &place = layout.Boxes[i];
        TLabel *b = boxes[place.Box];
        b->move(place.Left, place.Top);
        if (place.CaptionX)
            b->setText(QStringLiteral("X"));
        if (place.Shown)
            b->show();
    }

    const int panelHeight = layout.PanelHeight;
    const int total = kBtnPanelHeight + panelHeight + 5;
    Panel2->setGeometry(0, total - panelHeight, 250, panelHeight);
    bgTipp->setGeometry(0, 0, 250, panelHeight);
    // A pale note with a bevelled rim, drawn at its size so the rim stays thin.
    bgTipp->SetPicture(QPixmap::fromImage(ColorTileImage(250, panelHeight, kNoteColour)));
    Kopf->setGeometry(0, 0, 250, kKopfHeight);
    Body->setGeometry(0, kKopfHeight, 250, panelHeight - kKopfHeight);
    Kopf->setText(QStringLiteral("  ") + QString::fromUtf8(layout.Title));
    Body->setText(TippBodyText(layout.Text, HiddenSingleUnit));
    for (TLabel *b : boxes)
        b->raise();
    resize(250, total);
    show();
}

// ---- show and take over the marks ----------------------------------------------

void TFormSolver::SaveBoardToGrid()
{
    if (!Form1)
        return;
    // All three states are kept, so a colour-2 mark comes back as colour 2.
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x)
            for (int d = 1; d <= 9; ++d)
                TestGrid.Cells[x][y].Merker[d] = BoardMark(x, y, d).State;
    m_marksSaved = true;
}

void TFormSolver::ClearBoardMerker(const TSolverGrid &grid)
{
    if (!Form1)
        return;
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x)
            if (grid.Cells[x][y].Value == 0)
                for (int d = 1; d <= 9; ++d)
                    BoardMark(x, y, d).State = 0;
}

void TFormSolver::ShowGridMerker(const TSolverGrid &grid)
{
    if (!Form1)
        return;
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x)
            for (int d = 1; d <= 9; ++d) {
                const int32_t v = grid.Cells[x][y].Merker[d];
                BoardMark(x, y, d).State = v == 2 ? 2 : v != 0 ? 1 : 0;
            }
    RefreshBoardMarks();
}

void TFormSolver::BitBtn1Click()
{
    hide();
}

void TFormSolver::BitBtn2MouseDown()
{
    SaveBoardToGrid();
    ClearBoardMerker(GameGrid);
    ShowGridMerker(GridBefore);
}

void TFormSolver::BitBtn2MouseUp()
{
    // Only a release that follows a press has saved marks to put back;
    // TestGrid may hold anything else (the editor test uses it too).
    if (!m_marksSaved)
        return;
    m_marksSaved = false;
    ClearBoardMerker(GameGrid);
    ShowGridMerker(TestGrid);
    MarkTippOnBoard(GameGrid);
}

void TFormSolver::Button1MouseDown(QObject *sender)
{
    const int k = GetControlTag(sender);
    if (k < 1 || k > 9 || !Form1)
        return;
    SaveBoardToGrid();
    ClearBoardMerker(GameGrid);
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x)
            if (GridBefore.Cells[x][y].Value == 0)
                BoardMark(x, y, k).State = GridBefore.Cells[x][y].Merker[k] ? 1 : 0;
    RefreshBoardMarks();
}

void TFormSolver::copy_MerkerClick()
{
    if (!Form1)
        return;
    // Taking over the solver's marks forfeits the bonus for unused marks.
    if (FormGO)
        FormGO->SetMarkBonus(0);
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x)
            for (int d = 1; d <= 9; ++d)
                BoardMark(x, y, d).State = GridBefore.Cells[x][y].Merker[d] ? 1 : 0;
    RefreshBoardMarks();
}

void TFormSolver::bt_repeatMouseEnter(TLabel *label)
{
    if (label && label->isEnabled())
        label->SetFontSize(10, true);
}

void TFormSolver::bt_repeatMouseLeave(TLabel *label)
{
    if (label)
        label->SetFontSize(8, true);
}

void TFormSolver::FormActivate()
{
    if (!Form1 || !m_windowBuilt)
        return;
    // Over the tool panel, at the top of the main window (the main window
    // has no logo strip above its tool panel).
    const QRect main = Form1->frameGeometry();
    const int toolLeft = Form1->ToolPanel ? Form1->ToolPanel->x() : 0;
    const int toolWidth = Form1->ToolPanel ? Form1->ToolPanel->width() : 0;
    move(main.left() + toolLeft + (toolWidth - width()) / 2, main.top());
}

void TFormSolver::showEvent(QShowEvent *e)
{
    FormActivate();
    QWidget::showEvent(e);
}

// ---- the editor's test --------------------------------------------------------

void TFormSolver::TestPuzzle(QString &result)
{
    result = QStringLiteral("False");
    if (!Form1)
        return;
    ResetGrid(TestGrid);
    LoadPuzzleFromBoard(TestGrid, Form1->Boards);
    // The solve ends when a step finds nothing or makes no progress, so a
    // contradictory puzzle cannot keep it going.
    SolveToEnd(TestGrid, [](const TSolverGrid &grid, int written) {
        const QString line = StatisticsLine(grid.FoundLevel, written);
        if (!line.isEmpty() && Form1->ChatBox)
            Form1->ChatBox->Add(line);
    });

    if (const int row = FirstLineWithDuplicate(TestGrid, true)) {
        result = QString::asprintf("Vorgabe führt zu eimem falschen Ergebnis in Zeile %d", row);
        return;
    }
    if (const int col = FirstLineWithDuplicate(TestGrid, false)) {
        result = QString::asprintf("Vorgabe führt zu eimem falschen Ergebnis in Spalte %d", col);
        return;
    }

    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            const int v = TestGrid.Cells[x][y].Value;
            TGridEntry &e = Form1->Boards[0][x][y];
            if (v < 1 || v > 9 || e.State != -1)
                continue;
            e.Value = v;
            e.State = 1;
            TCellView &cv = Form1->Cells[x][y];
            cv.DigitLabel.SetCaption(QString::number(v));
            cv.Background.SetColorTile(0x00FF00);
            cv.ShowMarks = 0;
            DrawCell(x, y, false);
        }

    int open = 0;
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x)
            open += Form1->Boards[0][x][y].State == -1;
    result = open >= 1 ? QStringLiteral("Es sind noch ") + QString::number(open) + QStringLiteral(" Felder frei")
                       : QStringLiteral("ok");
}

QString TFormSolver::TestPuzzle()
{
    QString result;
    TestPuzzle(result);
    return result;
}
