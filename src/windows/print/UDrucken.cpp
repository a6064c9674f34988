#include "print/UDrucken.h"

#include "board/UFeld.h"
#include "board/UQuadrivo.h"
#include "net/UNETZ.h"
#include "print/Preview.h"
#include "screens/UOptionen.h"
#include "screens/UStart.h"
#include "settings/USonstiges.h"
#include "ui/DialogService.h"

#include <QCloseEvent>
#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

TFormDrucken *FormDrucken = nullptr;

namespace {
constexpr int kWidth = 322;
constexpr int kTitleHeight = 44;
constexpr int kPreviewHeight = 373;
constexpr int kOptHeight = 105;
constexpr int kFooterHeight = 38;

// Text drawn with its top-left corner at (x, y), as page canvases place text.
void textOut(QPainter &p, int x, int y, const QString &text)
{
    p.drawText(QRect(x, y, 100000, 100000), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
}
} // namespace

void RenderBoardPage(TPrintPreview *preview, const TBoardPrintInput &in)
{
    const int p = in.PlayerNo;
    if (!preview || !in.Boards || p < 1 || p > 8)
        return;
    const TBoards &boards = *in.Boards;
    preview->BeginDoc();
    QPainter *c = preview->Canvas();
    if (!c)
        return;
    const int W = preview->PageBounds().right() + 1;
    const int cell = (W - 1000) / 9;
    const int mini = cell / 3;
    const QFont big = preview->PageFont(72), small = preview->PageFont(16);
    const QFontMetrics bigMetrics(big);
    QPen pen(Qt::black, 0);
    c->setPen(pen);
    c->setBrush(Qt::NoBrush);
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            int owner = boards[0][x][y].State;
            for (int k = 1; k <= 8; ++k)
                owner = std::max(owner, boards[k][x][y].State);
            int v = boards[p][x][y].Value;
            const int s = boards[p][x][y].State;
            // On a shared board another player's find lives on that player's
            // layer; what the own layer holds then, with state 0, is stale.
            if (s == 0 && owner >= 1 && owner <= 8)
                v = boards[owner][x][y].Value;
            c->setFont(big);
            c->setBrush(Qt::NoBrush);
            const QString text = v >= 1 && v <= 9 ? SymbolOfDigit(v) : QString::number(v);
            const int dx = (cell - bigMetrics.horizontalAdvance(text)) / 2;
            const int left = 500 + (x - 1) * cell, top = 500 + (y - 1) * cell;
            if (s == -1 || (in.Found && !IsCellFreeOnAllLayers(boards, x, y))) {
                if (in.Colour && owner >= 1 && owner <= 8 && in.Players) {
                    c->setBrush(ColorFromBGR(in.Players[owner].Color));
                    c->drawRect(QRect(QPoint(left, top), QPoint(500 + x * cell - 1, 500 + y * cell - 1)));
                }
                c->setBrush(Qt::NoBrush);
                textOut(*c, 500 + dx + (x - 1) * cell, 200 + (y - 1) * cell, text);
            }
            if (in.Marks && owner == 0 && in.Cells) {
                for (int r = 1; r <= 3; ++r)
                    for (int col = 1; col <= 3; ++col) {
                        const int d = 3 * (r - 1) + col;
                        const int st = in.Cells[x][y].Mark(d).State;
                        if (st != 1 && st != 2)
                            continue;
                        if (in.Colour) {
                            c->setPen(Qt::NoPen);
                            c->setBrush(ColorFromBGR(st == 1 ? in.Mark1Colour : in.Mark2Colour));
                            c->drawRect(QRect(QPoint(left + (col - 1) * mini, top + (r - 1) * mini),
                                              QPoint(left + col * mini - 1, top + r * mini - 1)));
                        }
                        c->setFont(small);
                        c->setBrush(Qt::NoBrush);
                        c->setPen(pen);
                        textOut(*c, 350 + dx + (x - 1) * cell + (col - 1) * mini, 600 + (y - 1) * cell + (r - 1) * mini,
                                SymbolOfDigit(d));
                    }
            }
        }
    for (int i = 0; i <= 9; ++i) {
        c->setPen(QPen(Qt::black, i % 3 == 0 ? 200 : 100, Qt::SolidLine, Qt::RoundCap));
        c->drawLine(500 + i * cell, 500, 500 + i * cell, W - 500);
        c->drawLine(500, 500 + i * cell, W - 500, 500 + i * cell);
    }
    preview->EndDoc();
}

TFormDrucken::TFormDrucken(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QStringLiteral("Drucken"));
    resize(kWidth, kTitleHeight + kPreviewHeight + kOptHeight + kFooterHeight);

    Panel_Title = new TPanel(this);
    Panel_Title->setGeometry(0, 0, kWidth, kTitleHeight);
    TitleLabel = new TLabel(Panel_Title, QStringLiteral("Drucken :"));
    TitleLabel->setGeometry(10, 8, 300, 28);
    TitleLabel->SetFontSize(12, true);

    PrintPreview1 = new TPrintPreview(this);
    PrintPreview1->setGeometry(0, kTitleHeight, kWidth, kPreviewHeight);
    PrintPreview1->PrintJobTitle = QStringLiteral("Sudoku");
    connect(PrintPreview1, &TPrintPreview::OnPrintError, this,
            [](const QString &text) { MessageDlg(text, TMsgDlgType::Error, TMsgDlgButtons::OK); });

    Panel_Opt = new TPanel(this);
    Panel_Opt->setGeometry(0, kTitleHeight + kPreviewHeight, kWidth, kOptHeight);
    auto option = [this](const QString &caption, int tag, int row, TImage *&pic, TLabel *&label, TLabel *&marker) {
        pic = new TImage(Panel_Opt);
        pic->setGeometry(16, 12 + row * 30, 20, 20);
        pic->Tag = tag;
        label = new TLabel(Panel_Opt, caption);
        label->setGeometry(44, 12 + row * 30, 260, 20);
        label->Tag = tag;
        MakeCaptionButton(label);
        marker = new TLabel(Panel_Opt);
        marker->hide();
        marker->Tag = 0;
        connect(pic, &TImage::Click, this, [this, tag] { FormShow(tag); });
        connect(label, &TLabel::Click, this, [this, tag] { FormShow(tag); });
    };
    option(QStringLiteral("gefundene Felder drucken"), 2, 0, PIC_Felder, BTC_Felder, felderM);
    option(QStringLiteral("gesetzte Merker drucken"), 3, 1, PIC_Merker, BTC_Merker, MerkerM);
    option(QStringLiteral("Farbig drucken"), 1, 2, pic_farbig, BTC_farbig, farbigM);
    BTC_Merker->setEnabled(false);
    BTC_farbig->setEnabled(false);

    Panel_Footer = new TPanel(this);
    Panel_Footer->setGeometry(0, kTitleHeight + kPreviewHeight + kOptHeight, kWidth, kFooterHeight);
    BTC_Abbruch = MakeFaceButton(Panel_Footer, QStringLiteral("Abbruch"), "BIM_Abbruch", QRect(10, 6, 120, 26),
                                 BIM_Abbruch);
    BTC_Drucken = MakeFaceButton(Panel_Footer, QStringLiteral("Drucken"), "BIM_Drucken",
                                 QRect(kWidth - 130, 6, 120, 26), BIM_Drucken);
    connect(BTC_Abbruch, &TLabel::Click, this, &TFormDrucken::BTC_closeClick);
    connect(BTC_Drucken, &TLabel::Click, this, &TFormDrucken::BTC_DruckenClick);
    FormCreate();
}

void TFormDrucken::tick(TImage *picture, bool on)
{
    if (FormOpt)
        picture->SetPicture((on ? FormOpt->Pic_hacken : FormOpt->pic_box)->Picture());
}

void TFormDrucken::FormShow(int tag)
{
    if ((tag == 1 && !BTC_farbig->isEnabled()) || (tag == 3 && !BTC_Merker->isEnabled()))
        return;
    TLabel *marker = tag == 1 ? farbigM : tag == 2 ? felderM : tag == 3 ? MerkerM : nullptr;
    if (marker)
        marker->Tag = marker->Tag == 1 ? 0 : 1;
    const bool found = felderM->Tag == 1;
    tick(PIC_Felder, found);
    BTC_Merker->setEnabled(found);
    BTC_farbig->setEnabled(found);
    if (!found) {
        MerkerM->Tag = 0;
        farbigM->Tag = 0;
    }
    tick(PIC_Merker, MerkerM->Tag == 1);
    tick(pic_farbig, farbigM->Tag == 1);
    RenderPrintPage();
}

void TFormDrucken::RenderPrintPage()
{
    if (!Form1 || !NETZ)
        return;
    TBoardPrintInput in;
    in.Boards = &Form1->Boards;
    in.Cells = Form1->Cells;
    in.Players = Form1->Players;
    in.PlayerNo = NETZ->MyPlayerNo;
    in.Found = felderM->Tag == 1;
    in.Marks = MerkerM->Tag == 1;
    in.Colour = farbigM->Tag == 1;
    if (FormOpt) {
        in.Mark1Colour = FormOpt->Merker1ColorValue;
        in.Mark2Colour = FormOpt->Merker2ColorValue;
    }
    RenderBoardPage(PrintPreview1, in);
}

void TFormDrucken::BTC_DruckenClick()
{
    if (PrintPreview1->State() == 0)
        PrintPreview1->Print();
    if (Form1 && Form1->brett)
        Form1->brett->show();
}

void TFormDrucken::BTC_closeClick()
{
    hide();
    FormClose();
    if (Form1 && Form1->brett)
        Form1->brett->show();
}

void TFormDrucken::FormActivate()
{
    if (!FirstActivate)
        return;
    FirstActivate = false;
    PlaceOverMainWindow(this);
}

void TFormDrucken::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    // The printer is chosen when the window opens, so that a printer that
    // goes away while it is open is told about rather than passed over.
    if (PrintPreview1->HasPrinter())
        PrintPreview1->Printer();
    FormShow(0);
    FormActivate();
}

void TFormDrucken::changeEvent(QEvent *e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TFormDrucken::closeEvent(QCloseEvent *e)
{
    FormClose();
    QWidget::closeEvent(e);
}
