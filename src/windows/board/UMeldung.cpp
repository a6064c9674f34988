#include "board/UMeldung.h"

#include "board/UFeld.h"
#include "board/ULog.h"
#include "board/UQuadrivo.h"
#include "net/UNETZ.h"
#include "settings/USonstiges.h"

#include <QEvent>

TFormMeld *FormMeld = nullptr;

TFormMeld::TFormMeld(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
{
    // Notices come during games: the keyboard stays with the chat or the board.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setWindowTitle(QStringLiteral("Meldung"));
    resize(440, 130);

    auto makeText = [](QWidget *panel) {
        auto *l = new TLabel(panel);
        l->setAlignment(Qt::AlignCenter);
        l->setWordWrap(true);
        QFont f(QStringLiteral("Verdana"));
        f.setPointSize(20);
        l->setFont(f);
        return l;
    };

    DurchPanel = new TPanel(this);
    DurchPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    DurchTXT = makeText(DurchPanel);
    Pic_Ja = new TImage(DurchPanel);
    Pic_Nein = new TImage(DurchPanel);
    BT_Ja = new TLabel(DurchPanel, QStringLiteral("Ja"));
    bt_Nein = new TLabel(DurchPanel, QStringLiteral("Nein"));
    for (TLabel *b : {BT_Ja, bt_Nein}) {
        b->setAlignment(Qt::AlignCenter);
        b->SetFontSize(8, true);
        b->setCursor(Qt::PointingHandCursor);
        connect(b, &TLabel::MouseEnter, this, [b] {
            if (b->isEnabled())
                b->SetFontSize(10, true);
        });
        connect(b, &TLabel::MouseLeave, this, [b] { b->SetFontSize(8, true); });
    }
    Pic_Ja->setGeometry(96, 87, 113, 28);
    BT_Ja->setGeometry(96, 87, 113, 28);
    Pic_Nein->setGeometry(232, 87, 113, 28);
    bt_Nein->setGeometry(232, 87, 113, 28);
    connect(BT_Ja, &TLabel::Click, this, &TFormMeld::BT_JaClick);
    connect(bt_Nein, &TLabel::Click, this, &TFormMeld::bt_NeinClick);

    MeldePanel = new TPanel(this);
    MeldePanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    MeldTXT = makeText(MeldePanel);

    DurchPanel->hide();
    // The display time counts only while a notice has one: an idle program
    // is not woken ten times a second for nothing.
    Timer1 = new TTimer(this, 100, false);
    connect(Timer1, &QTimer::timeout, this, &TFormMeld::Timer1Timer);
    SetPanelColour(0x005EBB);
    // The overlay belongs to the main window: it goes when that window is
    // minimised and comes back with it.
    if (Form1)
        Form1->installEventFilter(this);
}

void TFormMeld::setVisible(bool visible)
{
    const bool minimised = Form1 && Form1->isMinimized();
    m_waitsForMain = visible && minimised;
    if (m_waitsForMain)
        return;
    QWidget::setVisible(visible);
}

bool TFormMeld::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Form1 && event->type() == QEvent::WindowStateChange) {
        if (Form1->isMinimized() && isVisible()) {
            QWidget::setVisible(false);
            m_waitsForMain = true;
        } else if (!Form1->isMinimized() && m_waitsForMain) {
            m_waitsForMain = false;
            QWidget::setVisible(true);
            raise();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TFormMeld::runDisplayTime()
{
    Timer1->SetEnabled(Dauer > 0);
}

// A notice lies over the board while the game goes on: clicks go through it
// to the cells below. The question takes its own clicks.
void TFormMeld::setClickThrough(bool on)
{
    if (bool(windowFlags() & Qt::WindowTransparentForInput) != on)
        setWindowFlag(Qt::WindowTransparentForInput, on);
}

void TFormMeld::SetPanelColour(int32_t bgr)
{
    DurchPanel->SetColor(ColorFromBGR(bgr));
    MeldePanel->SetColor(ColorFromBGR(bgr));
}

// The visible panel fills the overlay; its text fills the panel above the buttons.
void TFormMeld::layoutPanels()
{
    const QRect r(0, 0, width(), height());
    DurchPanel->setGeometry(r);
    MeldePanel->setGeometry(r);
    MeldTXT->setGeometry(2, 2, width() - 4, height() - 4);
    DurchTXT->setGeometry(2, 2, width() - 4, BT_Ja->y() - 4);
}

void TFormMeld::CenterOverBoard(int w, int h)
{
    resize(w, h);
    if (Form1) {
        const int clientW = Form1->width();
        const int clientH = Form1->height();
        const int toolW = Form1->ToolPanel ? Form1->ToolPanel->width() : 0;
        // The main window's outer (frame) position, as for every placed window.
        const QPoint origin = Form1->frameGeometry().topLeft();
        move(origin.x() + (clientW - toolW) / 2 - w / 2, origin.y() + clientH / 2 - h / 2);
    }
    layoutPanels();
}

void TFormMeld::showMessage(const QString &text, int fontSize, int height, bool trace)
{
    if (trace)
        TraceCat(9, QStringLiteral("Dauer(%1) Text:%2").arg(Dauer).arg(text));
    setClickThrough(true);
    runDisplayTime();
    DurchPanel->hide();
    MeldePanel->show();
    CenterOverBoard(440, height);
    MeldTXT->show();
    QFont f = MeldTXT->font();
    f.setPointSize(fontSize);
    MeldTXT->setFont(f);
    MeldTXT->setText(text);
    show();
    raise();
}

void TFormMeld::ShowText(const QString &text)
{
    showMessage(text, 20, 130, true);
}

void TFormMeld::ShowBigText(const QString &text)
{
    showMessage(text, 60, 130, true);
}

void TFormMeld::ShowTextSized(const QString &text, int fontSize)
{
    showMessage(text, fontSize, 130, false);
}

void TFormMeld::ShowPenalty(int seconds)
{
    const QString text = QStringLiteral("Strafzeit :") + QString::number(seconds);
    showMessage(text, 50, 130, false);
    TraceCat(9, text);
}

void TFormMeld::AskClearWrongSolution()
{
    setClickThrough(false);
    runDisplayTime();
    DurchPanel->show();
    MeldePanel->hide();
    resize(440, 120);
    const int top = 120 - BT_Ja->height() - 5;
    for (QWidget *w : {static_cast<QWidget *>(Pic_Ja), static_cast<QWidget *>(Pic_Nein), static_cast<QWidget *>(BT_Ja),
                       static_cast<QWidget *>(bt_Nein)})
        w->move(w->x(), top);
    CenterOverBoard(440, 120);
    DurchTXT->show();
    QFont f = DurchTXT->font();
    f.setPointSize(20);
    DurchTXT->setFont(f);
    const QString caption = QStringLiteral("Die Lösung ist falsch !\r\nAlle Felder löschen ?\r\n");
    DurchTXT->setText(caption);
    TraceCat(9, caption);
    show();
    raise();
}

void TFormMeld::BT_JaClick()
{
    if (Form1 && NETZ) {
        TBoardLayer &own = Form1->Boards[NETZ->MyPlayerNo];
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x) {
                if (own[x][y].State == -1)
                    continue;
                own[x][y].Value = 0;
                own[x][y].State = 0;
                DrawCell(x, y, true);
                Form1->Cells[x][y].ShowMarks = 1;
            }
        NETZ->ClearCells(0, 0);
    }
    hide();
}

void TFormMeld::bt_NeinClick()
{
    hide();
}

void TFormMeld::Timer1Timer()
{
    if (Dauer == 0) {
        Timer1->SetEnabled(false);
        return;
    }
    if (Dauer == 1) {
        hide();
        Dauer = 0;
        Timer1->SetEnabled(false);
        return;
    }
    --Dauer;
    if (Form1 && !Form1->isMinimized()) {
        show();
        raise();
    }
}
