#include "screens/USpielEnde.h"

#include "board/UMeldung.h"
#include "board/UQuadrivo.h"
#include "competitions/UChallenge.h"
#include "competitions/Ughost.h"
#include "net/UNETZ.h"
#include "net/UWebForm.h"
#include "screens/UGameOptionen.h"
#include "screens/UOptionen.h"
#include "screens/UStart.h"
#include "settings/USonstiges.h"
#include "ui/DialogService.h"

#include <QCloseEvent>
#include <QEvent>

TFormSpielEnde *FormSpielEnde = nullptr;

namespace {
constexpr int kWidth = 340;
constexpr int kTitleHeight = 32;
constexpr int kChartHeight = 200;
constexpr int kHeadHeight = 26;
constexpr int kFooterHeight = 38;
} // namespace

TFormSpielEnde::TFormSpielEnde(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QStringLiteral("SpielEndeMeldung"));
    resize(kWidth, kTitleHeight + kChartHeight + kHeadHeight + 3 + 23 + kFooterHeight);

    TitelPanel = new TPanel(this);
    TitelLabel = new TLabel(TitelPanel, QStringLiteral("Spielende :"));
    TitelLabel->setGeometry(10, 4, 300, 24);
    TitelLabel->SetFontSize(12, true);

    Statistik = new TImage(this);
    Statistik->setGeometry(0, kTitleHeight, kWidth, kChartHeight);

    Tabelle_Panel = new TPanel(this);
    Tabelle_Panel->setGeometry(0, kTitleHeight + kChartHeight, kWidth, kHeadHeight + 3 + 23);
    Tabelle_kopf = new TImage(Tabelle_Panel);
    Tabelle_kopf->setGeometry(0, 0, kWidth, kHeadHeight);
    Tabelle_Body = new TImage(Tabelle_Panel);
    Tabelle_Body->setGeometry(0, kHeadHeight, kWidth, 26);
    Tabelle_Body->lower();
    SetSkinPicture(Tabelle_kopf, "pic_Tabelle_kopf_statistik");
    SetSkinPicture(Tabelle_Body, "pic_tabelle_body");

    footer_panel = new TPanel(this);
    auto button = [this](const QString &text, const char *faceName, int x, TImage *&face) {
        TLabel *l = MakeFaceButton(footer_panel, text, faceName, QRect(x, 6, 150, 26), face);
        l->SetFontSize(8, true);
        connect(l, &TLabel::MouseEnter, this, [this, l] { BTC_closeMouseEnter(l); });
        connect(l, &TLabel::MouseLeave, this, [this, l] { BTC_closeMouseLeave(l); });
        return l;
    };
    BTC_Brett = button(QStringLiteral("Spielfeld anzeigen"), "BIM_Brett", 10, BIM_Brett);
    BTC_close = button(QStringLiteral("Schliessen"), "BIM_close", kWidth - 160, BIM_close);
    connect(BTC_close, &TLabel::Click, this, &TFormSpielEnde::BTC_closeClick);
    connect(BTC_Brett, &TLabel::Click, this, &TFormSpielEnde::BTC_BrettClick);

    for (TPanel *p : {TitelPanel, footer_panel}) {
        // Raised edges set the dialog off from the main window behind it,
        // which shows the same colour while the board is hidden.
        p->setFrameStyle(QFrame::Panel | QFrame::Raised);
        p->SetColor(ColorFromBGR(0x409FFF));
        SetColourRole(p, TColourRole::Field);
    }
    Tabelle_Panel->SetColor(Qt::white);
    FormCreate();
    layoutParts();
}

// Title on top, footer at the bottom, the table above the footer at its own
// height, and the chart fills what is left.
void TFormSpielEnde::layoutParts()
{
    const int w = width();
    const int h = height();
    TitelPanel->setGeometry(0, 0, w, kTitleHeight);
    footer_panel->setGeometry(0, h - kFooterHeight, w, kFooterHeight);
    const int tableH = Tabelle_Panel->height();
    Tabelle_Panel->setGeometry(0, h - kFooterHeight - tableH, w, tableH);
    Tabelle_kopf->setGeometry(0, 0, w, Tabelle_kopf->height());
    Tabelle_Body->setGeometry(0, Tabelle_kopf->height(), w, std::max(0, tableH - Tabelle_kopf->height()));
    Statistik->setGeometry(0, kTitleHeight, w, std::max(0, h - kTitleHeight - kFooterHeight - tableH));
}

void TFormSpielEnde::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    layoutParts();
}

void TFormSpielEnde::ShowGameEnd()
{
    // A question about the game that has ended must not stay under the results.
    WithdrawGameQuestion();
    if (Form1)
        Form1->brett->hide();
    if (FormMeld) {
        FormMeld->Dauer = 0;
        FormMeld->hide();
    }
    show();
    // The end table shows the players of the game that has just ended, every
    // time, and the dialog is as high as the rows it shows.
    TablePending = true;
    if (Form1)
        Form1->UpdatePlayerTable();
    fitHeight();
    raise();
    FormActivate();
    if (Form1)
        Form1->DrawProgressChart(Statistik);
}

void TFormSpielEnde::SetTableHeight(int height)
{
    Tabelle_Panel->resize(Tabelle_Panel->width(), height);
    if (isVisible())
        fitHeight();
}

void TFormSpielEnde::fitHeight()
{
    resize(width(), TitelPanel->height() + Statistik->Tag + Tabelle_Panel->height() + footer_panel->height());
    layoutParts();
}

void TFormSpielEnde::BTC_closeClick()
{
    close();
    leaveToNextPlace();
}

void TFormSpielEnde::closeEvent(QCloseEvent *e)
{
    QWidget::closeEvent(e);
    // Only a close from outside: the buttons and the program close it
    // themselves and go on their own way.
    if (e->spontaneous() && e->isAccepted())
        leaveToNextPlace();
}

void TFormSpielEnde::leaveToNextPlace()
{
    if (FormGhost && FormGhost->GhostMode) {
        FormGhost->show();
        return;
    }
    if (FormCha && (FormCha->TournamentActive || FormCha->ChallengeActive)) {
        FormCha->show();
        return;
    }
    if (WEBForm && WEBForm->LoggedIn) {
        if (Form1)
            Form1->ResetPlayers();
        WEBForm->show();
        return;
    }
    if (Form1) {
        if (Form1->SinglePlayerGame) {
            Form1->StopGameLocal();
        } else {
            Form1->FinishGame();
            // A client stays in the host's game: the host starts the next
            // one, and its options are the host's. It waits as after its
            // login, with the menu as its way out.
            if (NETZ && NETZ->MyPlayerNo > 1 && !Form1->HostsNetworkGame) {
                Form1->WaitForHostsNextGame();
                return;
            }
        }
    }
    if (FormGO)
        FormGO->show();
}

void TFormSpielEnde::BTC_BrettClick()
{
    close();
    if (!Form1)
        return;
    Form1->brett->show();
    Form1->Panel_Menue->resize(Form1->Panel_Menue->width(), 44);
    Form1->Panel_Menue->show();
}

void TFormSpielEnde::BTC_closeMouseEnter(TLabel *label)
{
    if (label->isEnabled())
        label->SetFontSize(9, true);
}

void TFormSpielEnde::BTC_closeMouseLeave(TLabel *label)
{
    label->SetFontSize(8, true);
}

void TFormSpielEnde::FormCreate()
{
    Statistik->Tag = Statistik->height();
}

void TFormSpielEnde::FormShow()
{
    // The button that closed the dialog last time may still show its hover font.
    BTC_closeMouseLeave(BTC_close);
    BTC_closeMouseLeave(BTC_Brett);
    if (!Form1)
        return;
    Form1->BTC_Spiel_Ende->setEnabled(false);
    Form1->Panel_Einzel->resize(Form1->Panel_Einzel->width(), 0);
}

// Placed over the board at every activation, not only the first.
void TFormSpielEnde::FormActivate()
{
    PlaceOverMainWindow(this);
}

void TFormSpielEnde::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    FormShow();
    FormActivate();
}

void TFormSpielEnde::changeEvent(QEvent *e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}
