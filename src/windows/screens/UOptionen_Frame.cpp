// The frame the two option windows share: head with title and tabs, one body
// panel per tab, footer, and the placement over the main window.
#include "screens/UOptionen.h"

#include "board/UFeld.h"
#include "board/UQuadrivo.h"

#include <QCloseEvent>

TOptionWindow::TOptionWindow(QWidget *parent, const QString &caption, const QString &title, int width)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_width(width)
{
    setWindowTitle(caption);
    Panel_Head = new TPanel(this);
    Titel = new TLabel(Panel_Head, title);
    Titel->SetFontSize(10, true);
    Titel->setGeometry(10, 6, 300, 20);
    Panel_footer = new TPanel(this);
    BL = new TBevel(this);
    BR = new TBevel(this);
    SetColourRole(Panel_Head, TColourRole::Field);
    SetColourRole(Panel_footer, TColourRole::Field);
}

TPanel *TOptionWindow::addTab(int n, const QString &caption, TImage *&picture, TLabel *&label)
{
    picture = new TImage(Panel_Head);
    picture->setGeometry(8 + 115 * (n - 1), 34, 105, 26);
    picture->Tag = n;
    label = new TLabel(Panel_Head, caption);
    label->Tag = n;
    label->SetFontSize(9, true);
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(picture->geometry());
    label->setCursor(Qt::PointingHandCursor);
    TLabel *l = label;
    connect(l, &TLabel::Click, this, [this, l] { tabClicked(l); });
    auto *panel = new TPanel(this);
    SetColourRole(panel, TColourRole::Menu);
    m_pictures[n] = picture;
    m_labels[n] = label;
    m_panels[n] = panel;
    return panel;
}

void TOptionWindow::FormCreate()
{
    FirstActivate = true;
    for (int n = 1; n <= 3; ++n)
        m_panels[n]->Tag = m_panels[n]->height();
    resize(m_width, kHeadHeight + m_panels[1]->Tag + kFooterHeight);
}

void TOptionWindow::layoutFrame()
{
    const int w = width();
    Panel_Head->setGeometry(0, 0, w, kHeadHeight);
    for (int n = 1; n <= 3; ++n)
        m_panels[n]->setGeometry(0, kHeadHeight, w, m_panels[n]->Tag);
    BL->setGeometry(0, kHeadHeight - 2, w, 2);
    BR->setGeometry(0, kHeadHeight - 2, w, 2);
    BL->raise();
    BR->raise();
}

void TOptionWindow::ShowTab(int n)
{
    if (n < 1 || n > 3)
        return;
    for (int i = 1; i <= 3; ++i)
        m_panels[i]->hide();
    TPanel *shown = m_panels[n];
    shown->show();
    // One resize straight to the tab's height: a window manager shows every
    // size it is asked for.
    const int h = shown->Tag + Panel_Head->height() + heightBelowPanel() + kFooterHeight;
    resize(width(), h);
    shown->setGeometry(0, Panel_Head->height(), width(), shown->Tag);
    Panel_footer->setGeometry(0, h - kFooterHeight, width(), kFooterHeight);
    // The base line runs left and right of the active tab.
    const QRect tab = m_pictures[n]->geometry();
    BL->setGeometry(0, BL->y(), tab.left(), BL->height());
    BR->setGeometry(tab.left() + tab.width(), BR->y(), width() - tab.left() - tab.width(), BR->height());
}

void TOptionWindow::DrawTabs()
{
    if (!FormFeld)
        return;
    for (int n = 1; n <= 3; ++n)
        FormFeld->PaintButtonFace(m_pictures[n], m_labels[n]);
}

void TOptionWindow::FormShow()
{
    resize(m_width, height());
    layoutFrame();
    ShowTab(1);
    DrawTabs();
}

void TOptionWindow::FormActivate()
{
    if (!FirstActivate)
        return;
    PlaceOverMainWindow(this);
    FirstActivate = false;
}

void TOptionWindow::FormClose()
{
    FirstActivate = true;
}

void TOptionWindow::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    FormShow();
    FormActivate();
}

void TOptionWindow::closeEvent(QCloseEvent *e)
{
    FormClose();
    QWidget::closeEvent(e);
    // The buttons close the window themselves and go on their own way.
    if (e->spontaneous() && e->isAccepted())
        closedFromOutside();
}

void TOptionWindow::changeEvent(QEvent *e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}
