#include "competitions/UDuell.h"

#include "board/UQuadrivo.h"
#include "screens/UOptionen.h"
#include "screens/UStart.h"
#include "settings/USonstiges.h"
#include "ui/DialogService.h"

#include <QEvent>

TFormDuell *FormDuell = nullptr;

namespace {
constexpr int kWidth = 387;
constexpr int kHeight = 261;
constexpr int kTitleHeight = 44;
constexpr int kFooterHeight = 40;
constexpr int32_t kTeal = 0x808000;       // clTeal
constexpr int32_t kMoneyGreen = 0xC0DCC0; // clMoneyGreen
constexpr int32_t kAqua = 0xFFFF00;       // clAqua

void setVerdana(QWidget *w, int pixels, bool bold, bool underline = false)
{
    QFont f(QStringLiteral("Verdana"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    f.setUnderline(underline);
    w->setFont(f);
}
} // namespace

TFormDuell::TFormDuell(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QStringLiteral("Duell"));
    resize(kWidth, kHeight);
    const int bodyHeight = kHeight - kTitleHeight - kFooterHeight;

    TitelPanel = new TPanel(this);
    TitelPanel->setGeometry(0, 0, kWidth, kTitleHeight);
    TitelPanel->SetColor(ColorFromBGR(kTeal));
    TitelLabel = new TLabel(TitelPanel, QStringLiteral("Duell Einstellungen :"));
    TitelLabel->setGeometry(8, 2, kWidth - 16, kTitleHeight - 4);
    setVerdana(TitelLabel, 32, true, true);
    QPalette titlePal = TitelLabel->palette();
    titlePal.setColor(QPalette::WindowText, Qt::white);
    TitelLabel->setPalette(titlePal);

    Panel_Body = new TPanel(this);
    Panel_Body->setGeometry(0, kTitleHeight, kWidth, bodyHeight);
    Panel_Body->SetColor(ColorFromBGR(0x005EBB));
    SetColourRole(Panel_Body, TColourRole::Menu);

    auto player = [this](const QString &caption, int y) {
        auto *l = new TLabel(Panel_Body, caption);
        l->setGeometry(40, y, kWidth - 80, 30);
        l->setAlignment(Qt::AlignCenter);
        l->setCursor(Qt::PointingHandCursor);
        setVerdana(l, 21, false);
        SetPlayerColour(l, kMoneyGreen);
        connect(l, &TLabel::Click, this, [this, l] { Spieler1Click(l); });
        return l;
    };
    Spieler1 = player(QStringLiteral("Name1"), 14);
    Label_vs = new TLabel(Panel_Body, QStringLiteral("vs"));
    Label_vs->setGeometry(kWidth / 2 - 20, 48, 40, 20);
    Label_vs->setAlignment(Qt::AlignCenter);
    Label_vs->setAutoFillBackground(true);
    QPalette vsPal = Label_vs->palette();
    vsPal.setColor(QPalette::Window, ColorFromBGR(kAqua));
    Label_vs->setPalette(vsPal);
    Spieler2 = player(QStringLiteral("Name2"), 72);

    PIC_MitSpielen = new TImage(Panel_Body);
    PIC_MitSpielen->setGeometry(40, 124, 29, 29);
    PIC_MitSpielen->setCursor(Qt::PointingHandCursor);
    BTC_MitSpielen = new TLabel(Panel_Body, QStringLiteral("selber mitspielen"));
    BTC_MitSpielen->setGeometry(76, 124, 200, 29);
    BTC_MitSpielen->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    BTC_MitSpielen->setCursor(Qt::PointingHandCursor);
    BTC_MitSpielen->SetFontSize(8, true);
    QPalette capPal = BTC_MitSpielen->palette();
    capPal.setColor(QPalette::WindowText, Qt::white);
    BTC_MitSpielen->setPalette(capPal);
    connect(PIC_MitSpielen, &TImage::Click, this, &TFormDuell::PIC_MitSpielenClick);
    connect(BTC_MitSpielen, &TLabel::Click, this, &TFormDuell::PIC_MitSpielenClick);
    connect(BTC_MitSpielen, &TLabel::MouseEnter, this, &TFormDuell::BTC_MitSpielenMouseEnter);
    connect(BTC_MitSpielen, &TLabel::MouseLeave, this, &TFormDuell::BTC_MitSpielenMouseLeave);
    connect(BTC_MitSpielen, &TLabel::MouseMove, this,
            [this](Qt::KeyboardModifiers shift, int, int) { BTC_MitSpielenMouseMove(shift); });

    MitM = new TLabel(this);
    MitM->hide();

    footer_panel = new TPanel(this);
    footer_panel->setGeometry(0, kHeight - kFooterHeight, kWidth, kFooterHeight);
    footer_panel->SetColor(ColorFromBGR(kTeal));
    BTC_Zurueck = MakeFaceButton(footer_panel, QStringLiteral("Zurück"), "BIM_Zurueck", QRect(10, 7, 108, 26),
                                 Pic_Zurueck);
    BTC_Zurueck->setToolTip(QStringLiteral("Schnellstartfenster schliessen"));
    BTC_Zurueck->SetFontSize(8, false);
    BTC_Starten = MakeFaceButton(footer_panel, QStringLiteral("Starten"), "BIM_start",
                                 QRect(kWidth - 118, 7, 108, 26), Pic_starten);
    BTC_Starten->SetFontSize(8, true);
    connect(BTC_Starten, &TLabel::Click, this, &TFormDuell::BTC_StartenClick);
    connect(BTC_Starten, &TLabel::MouseEnter, this, &TFormDuell::BTC_StartenMouseEnter);
    connect(BTC_Starten, &TLabel::MouseLeave, this, &TFormDuell::BTC_StartenMouseLeave);
    connect(BTC_Zurueck, &TLabel::Click, this, &TFormDuell::BTC_ZurueckClick);
    MakeCaptionButton(BTC_Zurueck);

    FormCreate();
}

void TFormDuell::FormCreate()
{
    FirstActivate = true;
}

void TFormDuell::SetPlayerColour(TLabel *player, int32_t bgr)
{
    player->Tag = bgr;
    player->setAutoFillBackground(true);
    QPalette pal = player->palette();
    pal.setColor(QPalette::Window, ColorFromBGR(bgr));
    player->setPalette(pal);
}

void TFormDuell::SetMitSpielen(bool on)
{
    MitM->Tag = on ? 1 : 0;
    if (FormOpt && FormOpt->Pic_hacken && FormOpt->pic_box)
        PIC_MitSpielen->SetPicture((on ? FormOpt->Pic_hacken : FormOpt->pic_box)->Picture());
}

void TFormDuell::Spieler1Click(TLabel *player)
{
    if (player != Spieler1 && player != Spieler2)
        return;
    QColor c = ColorFromBGR(player->Tag);
    if (!Dialogs()->ChooseColor(this, c))
        return;
    SetPlayerColour(player, ColorToBGR(c));
    RegWriteInteger(player == Spieler1 ? QStringLiteral("DuellSpieler1") : QStringLiteral("DuellSpieler2"),
                    player->Tag);
}

void TFormDuell::PIC_MitSpielenClick()
{
    SetMitSpielen(MitM->Tag == 0);
}

void TFormDuell::BTC_StartenClick()
{
    MessageDlg(QStringLiteral("Duell noch nicht fertig."), TMsgDlgType::Information, TMsgDlgButtons::OK);
}

void TFormDuell::BTC_ZurueckClick()
{
    DuelActive = false;
    close();
    if (FormStart)
        FormStart->show();
}

void TFormDuell::BTC_StartenMouseEnter()
{
    if (BTC_Starten->isEnabled())
        BTC_Starten->SetFontSize(9, true);
}

void TFormDuell::BTC_StartenMouseLeave()
{
    BTC_Starten->SetFontSize(8, false);
}

void TFormDuell::BTC_MitSpielenMouseEnter()
{
    if (BTC_MitSpielen->isEnabled())
        BTC_MitSpielen->SetFontSize(10, true);
}

void TFormDuell::BTC_MitSpielenMouseLeave()
{
    BTC_MitSpielen->SetFontSize(8, true);
}

void TFormDuell::BTC_MitSpielenMouseMove(Qt::KeyboardModifiers shift)
{
    SetHelpCursor(BTC_MitSpielen, shift);
}

void TFormDuell::FormActivate()
{
    if (!FirstActivate)
        return;
    FirstActivate = false;
    PlaceOverMainWindow(this);
}

void TFormDuell::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    FormActivate();
}

void TFormDuell::changeEvent(QEvent *e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}
