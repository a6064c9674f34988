#include "board/UFeld.h"

#include "board/UQuadrivo.h"
#include "competitions/Ughost.h"
#include "screens/UOptionen.h"
#include "settings/USonstiges.h"
#include "solver/UBingo.h"

#include <QPainter>

TFormFeld *FormFeld = nullptr;

// ---- the drawn controls -------------------------------------------------------

void TBoardControl::Attach(TBoardWidget *board, int cellX, int cellY)
{
    m_board = board;
    m_cellX = int8_t(cellX);
    m_cellY = int8_t(cellY);
}

void TBoardControl::Changed()
{
    if (!m_board)
        return;
    if (m_cellX > 0)
        m_board->InvalidateCell(m_cellX, m_cellY);
    else if (m_cellX < 0)
        m_board->InvalidateBlock(-m_cellX, -m_cellY);
}

void TBoardControl::SetVisible(bool on)
{
    if (m_visible == on)
        return;
    m_visible = on;
    Changed();
}

void TBoardControl::SetBounds(int left, int top, int width, int height)
{
    const QRect r(left, top, width, height);
    if (m_bounds == r)
        return;
    m_bounds = r;
    Changed();
}

void TBoardPanel::SetColor(const QColor &c)
{
    if (m_color == c)
        return;
    m_color = c;
    Changed();
}

bool TBoardImage::Shows(const TImage *bank) const
{
    return bank && m_kind == TKind::Bank && m_source == bank && m_picture.cacheKey() == bank->Picture().cacheKey();
}

void TBoardImage::SetPicture(const TImage *bank)
{
    if (!bank) {
        ClearPicture();
        return;
    }
    if (Shows(bank))
        return;
    m_kind = TKind::Bank;
    m_source = bank;
    m_picture = bank->Picture();
    Changed();
}

void TBoardImage::SetColorTile(int32_t bgr)
{
    setColoured(TKind::Tile, bgr);
}

void TBoardImage::SetFill(int32_t bgr)
{
    setColoured(TKind::Fill, bgr);
}

void TBoardImage::ClearPicture()
{
    setColoured(TKind::None, 0);
}

void TBoardImage::setColoured(TKind kind, int32_t bgr)
{
    if (m_kind == kind && m_colour == bgr)
        return;
    m_kind = kind;
    m_source = nullptr;
    m_picture = QPixmap();
    m_colour = bgr;
    Changed();
}

void TBoardLabel::SetCaption(const QString &c)
{
    if (m_caption == c)
        return;
    m_caption = c;
    Changed();
}

void TBoardLabel::SetFontSize(int points, bool bold)
{
    if (m_fontSize == points && m_bold == bold)
        return;
    m_fontSize = points;
    m_bold = bold;
    Changed();
}

void TBoardLabel::SetFontColor(const QColor &c)
{
    if (m_fontColor == c)
        return;
    m_fontColor = c;
    Changed();
}

int BoardFontPixels(int points)
{
    return (points * 96 + 36) / 72;
}

QString SymbolOfDigit(int d)
{
    if (d < 1 || d > 9)
        return QString();
    if (Form1 && Form1->SymbolSet.size() >= d)
        return Form1->SymbolSet.mid(d - 1, 1);
    return QString::number(d);
}

QString ControlHint(const QObject *control)
{
    const auto *w = qobject_cast<const QWidget *>(control);
    return w ? w->toolTip() : QString();
}

// ---- the board view -------------------------------------------------------------

TFormFeld::TFormFeld(QWidget *parent) : QWidget(parent) {}

void TFormFeld::CreateBoardControls()
{
    if (m_boardCreated || !Form1 || !FormOpt)
        return;
    m_boardCreated = true;
    TBoardWidget *board = Form1->brett;
    board->SetModel(Form1->Cells, Form1->BlockPanels);

    for (int by = 1; by <= 3; ++by)
        for (int bx = 1; bx <= 3; ++bx) {
            TBoardPanel &bp = Form1->BlockPanels[bx][by];
            bp.Attach(board, -bx, -by);
            bp.SetCaption(QString());
            bp.SetColor(ColorFromBGR(FormOpt->TrennColor1Value));
            bp.SetVisible(true);
        }

    const int markFont = FormOpt->SizeZahlen->value();
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            TCellView &cv = Form1->Cells[x][y];
            cv.Panel.Attach(board, x, y);
            cv.Panel.SetColor(ColorFromBGR(FormOpt->TrennColor2Value));
            cv.Panel.SetVisible(true);

            cv.Background.Attach(board, x, y);
            cv.Background.Tag = 100 + 10 * y + x;
            cv.Background.Hint = QStringLiteral("-1");
            cv.Background.SetPicture(FormOpt->orgFest);
            cv.Background.SetVisible(true);

            cv.DigitLabel.Attach(board, x, y);
            cv.DigitLabel.Tag = 100 + 10 * y + x;
            cv.DigitLabel.Hint = QStringLiteral("-1");
            cv.DigitLabel.SetFontSize(48, false);
            cv.DigitLabel.SetFontColor(Qt::black);
            cv.DigitLabel.SetVisible(true);

            for (int r = 1; r <= 3; ++r)
                for (int c = 1; c <= 3; ++c) {
                    const QString digit = QString::number(3 * (r - 1) + c);
                    TMarkEntry &m = cv.Marks[c][r];
                    m.Image.Attach(board, x, y);
                    m.Image.Tag = 10 * y + x;
                    m.Image.Hint = digit;
                    m.Image.SetPicture(FormOpt->orgNoMerker);
                    m.Image.SetVisible(false);
                    m.Label.Attach(board, x, y);
                    m.Label.Tag = 10 * y + x;
                    m.Label.Hint = digit;
                    m.Label.SetCaption(digit);
                    m.Label.SetFontSize(markFont, true);
                    m.Label.SetFontColor(Qt::black);
                    m.Label.SetVisible(false);
                }
        }
}

void TFormFeld::LayoutBoard()
{
    if (!Form1 || !FormOpt || m_inLayout)
        return;
    m_inLayout = true;
    // The window never gets smaller than 800 x 600; the resize this causes
    // comes back here and is passed over, the sizes below already count it.
    const int clientW = std::max(Form1->width(), 800);
    const int clientH = std::max(Form1->height(), 600);
    if (clientW != Form1->width() || clientH != Form1->height())
        Form1->resize(clientW, clientH);

    const int toolW = Form1->ToolPanel ? Form1->ToolPanel->width() : 0;
    const TBoardLayout l =
        ComputeBoardLayout(clientW - toolW, clientH, FormOpt->SpanBlock->value(), FormOpt->SpanZelle->value());

    // The board is one widget: it is repainted once after the changes, so it
    // needs no hiding while they are made.
    for (int by = 1; by <= 3; ++by)
        for (int bx = 1; bx <= 3; ++bx)
            Form1->BlockPanels[bx][by].SetBounds(l.BlockLeft(bx), l.BlockTop(by), l.Block, l.Block);

    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            TCellView &cv = Form1->Cells[x][y];
            cv.Panel.SetBounds(l.CellLeft(x), l.CellTop(y), l.Cell, l.Cell);
            cv.Background.SetBounds(0, 0, l.Cell, l.Cell);
            cv.DigitLabel.SetBounds(0, 0, l.Cell, l.Cell);
            cv.Background.SetVisible(true);
            cv.DigitLabel.SetVisible(true);
            cv.DigitLabel.SetFontSize(l.DigitFont, cv.DigitLabel.Bold());
            for (int r = 1; r <= 3; ++r)
                for (int c = 1; c <= 3; ++c) {
                    TMarkEntry &m = cv.Marks[c][r];
                    m.Image.SetBounds(l.MarkPos(c), l.MarkPos(r), l.Mark, l.Mark);
                    m.Label.SetBounds(l.MarkPos(c), l.MarkPos(r), l.Mark, l.Mark);
                }
        }
    // Moved cells leave their old place behind: the whole board is repainted.
    Form1->brett->update();
    m_inLayout = false;
}

void TFormFeld::RefreshMarks()
{
    if (!Form1 || !FormOpt)
        return;
    const int numberSize = FormOpt->SizeZahlen->value();
    const int markSize = FormOpt->SizeMerker->value();
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x)
            for (int r = 1; r <= 3; ++r)
                for (int c = 1; c <= 3; ++c) {
                    TMarkEntry &m = Form1->Cells[x][y].Marks[c][r];
                    if (m.State == m.ShownState)
                        continue;
                    m.ShownState = m.State;
                    switch (m.State) {
                    case 0:
                        m.Label.SetFontSize(numberSize, true);
                        m.Image.SetPicture(FormOpt->orgNoMerker);
                        if (numberSize == 1)
                            m.Label.SetCaption(QString());
                        break;
                    case 1:
                    case 2: {
                        m.Label.SetFontSize(markSize, true);
                        m.Image.SetPicture(m.State == 1 ? FormOpt->org1Merker : FormOpt->org2Merker);
                        const int d = m.Label.Hint.left(1).toInt();
                        m.Label.SetCaption(SymbolOfDigit(d));
                        break;
                    }
                    default:
                        break;
                    }
                }
}

void TFormFeld::ClearAllMarkStates()
{
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x)
            for (int r = 1; r <= 3; ++r)
                for (int c = 1; c <= 3; ++c)
                    Form1->Cells[x][y].Marks[c][r].State = 0;
}

bool TFormFeld::IsCellFreeOnAllLayers(int x, int y) const { return ::IsCellFreeOnAllLayers(Form1->Boards, x, y); }

int TFormFeld::MaxStateOverLayers(int x, int y) const
{
    int m = Form1->Boards[0][x][y].State;
    for (int k = 1; k <= 8; ++k)
        m = std::max(m, Form1->Boards[k][x][y].State);
    return m;
}

void TFormFeld::CountLayer(int k, int &Free, int &FreeAll, int &Differing) const
{
    Free = FreeAll = Differing = 0;
    const bool ghost = FormGhost && FormGhost->GhostMode;
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            if (Form1->Boards[k][x][y].State == 0)
                ++Free;
            if (ghost && IsCellFreeOnAllLayers(x, y))
                ++FreeAll;
            if (Form1->Boards[k][x][y].Value != Form1->Boards[0][x][y].Value)
                ++Differing;
        }
}

// ---- drawing single cells -------------------------------------------------------

namespace {
// Offered Bingo fields show the "must" picture on their free marks while the
// draw offers fields rather than numbers.
bool bingoOffersFields()
{
    return FormBingo && !FormBingo->DrawNumbers;
}
} // namespace

void DrawCell(int x, int y, bool showMarks)
{
    if (!Form1 || !FormOpt || !IsBoardIndex(x) || !IsBoardIndex(y))
        return;
    TCellView &cv = Form1->Cells[x][y];
    const bool hovered = x == Form1->HoverTag % 10 && y == Form1->HoverTag / 10;
    const bool keyboard = FormOpt->IsKeyboardOn();
    const bool editor = Form1->EditorMode;
    const bool lit = keyboard || hovered || editor;
    cv.Panel.SetColor(lit ? ColorFromBGR(FormOpt->TrennColor2Value) : QColor(Qt::white));
    const bool mustPicture = cv.BingoMark && bingoOffersFields();
    cv.Background.SetVisible(!showMarks);
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 3; ++c) {
            TMarkEntry &m = cv.Marks[c][r];
            m.Image.SetVisible(showMarks);
            if (mustPicture && m.State == 0)
                m.Image.SetPicture(FormOpt->pic_muss);
            m.Label.SetVisible(m.Image.Visible() && (lit || m.State != 0));
        }
}

void ShowMarkImage(int x, int y, int d)
{
    // The digit comes from a caption another machine filled: anything but
    // 1..9 shows nothing.
    if (!Form1 || !FormOpt || d < 1 || d > 9 || !IsBoardIndex(x) || !IsBoardIndex(y))
        return;
    TCellView &cv = Form1->Cells[x][y];
    TMarkEntry &m = cv.Mark(d);
    if (cv.BlinkTicks % 2 != 0) {
        const TImage *pic = m.State == 1   ? FormOpt->org1Merker
                            : m.State == 2 ? FormOpt->org2Merker
                                           : FormOpt->orgNoMerker;
        m.Image.SetPicture(pic);
    } else {
        m.Image.SetPicture(FormOpt->orgError);
    }
}

void ResetChangedCells()
{
    if (!Form1)
        return;
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            TCellView &cv = Form1->Cells[x][y];
            if (cv.Owner != 0)
                continue;
            cv.ShowMarks = 0;
            DrawCell(x, y, false);
            cv.Owner = -1;
        }
    Form1->brett->show();
}
