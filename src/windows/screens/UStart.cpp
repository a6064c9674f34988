#include "screens/UStart.h"

#include "board/UFeld.h"
#include "board/ULog.h"
#include "board/UMeldung.h"
#include "board/UQuadrivo.h"
#include "competitions/UChallenge.h"
#include "competitions/UDuell.h"
#include "competitions/Ughost.h"
#include "net/UNETZ.h"
#include "net/USucheSpiele.h"
#include "net/UWebForm.h"
#include "screens/UGameOptionen.h"
#include "screens/UInfo.h"
#include "screens/UOptionen.h"
#include "screens/UVorgabe.h"
#include "settings/USonstiges.h"
#include "solver/UBingo.h"
#include "ui/DialogService.h"

#include <QCloseEvent>
#include <QEvent>

TFormStart *FormStart = nullptr;

namespace {
constexpr int kWidth = 340;
constexpr int kTitleHeight = 62;
constexpr int kFooterHeight = 38;

// Light text on the menu colour; a locked choice fades into the background.
void setTextColour(QWidget *w, const QColor &c)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, c);
    pal.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0xE0, 0xA8, 0x70));
    w->setPalette(pal);
}
} // namespace

TFormStart::TFormStart(QWidget *parent) : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QStringLiteral("Spielstart"));
    buildControls();
    FormCreate();
}

QStringList TFormStart::LanTextLines()
{
    return {QStringLiteral("Hier kann in einem kleinen Netzwerk(z.B. Zuhause, "),
            QStringLiteral("Arbeit) gegen andere Mitspieler "), QStringLiteral("Quadrivo gespielt werden. (Standard)")};
}

QStringList TFormStart::INetTextLines()
{
    return {QStringLiteral("Hier kann über das Internet gegen andere Mitspieler "),
            QStringLiteral("Quadrivo gespielt werden. (Betatest)")};
}

void TFormStart::buildControls()
{
    resize(kWidth, 260);

    // A caption label that acts as a button, with the hover fonts and the
    // help cursor of this window.
    auto caption = [this](QWidget *parent, const QString &text, int tag, const QRect &r) {
        auto *l = new TLabel(parent, text);
        l->Tag = tag;
        l->setGeometry(r);
        l->setCursor(Qt::PointingHandCursor);
        m_captions << l;
        connect(l, &TLabel::MouseEnter, this, [this, l] { BT_einzelMouseEnter(l); });
        connect(l, &TLabel::MouseLeave, this, [this, l] { BT_einzelMouseLeave(l); });
        connect(l, &TLabel::MouseMove, this,
                [this, l](Qt::KeyboardModifiers shift, int, int) { Tab_EinzelspielerMouseMove(l, shift); });
        return l;
    };
    auto picture = [this](QWidget *parent, int tag, const QRect &r) {
        auto *p = new TImage(parent);
        p->Tag = tag;
        p->setGeometry(r);
        connect(p, &TImage::MouseMove, this,
                [this, p](Qt::KeyboardModifiers shift, int, int) { Tab_EinzelspielerMouseMove(p, shift); });
        return p;
    };
    // A footer or panel button: the face picture with its caption centred over it.
    auto button = [this](QWidget *parent, const QString &text, int tag, const QRect &r, TImage *&face,
                         const char *faceName) {
        TLabel *l = MakeFaceButton(parent, text, faceName, r, face);
        l->Tag = face->Tag = tag;
        m_captions << l;
        connect(l, &TLabel::MouseEnter, this, [this, l] { BT_einzelMouseEnter(l); });
        connect(l, &TLabel::MouseLeave, this, [this, l] { BT_einzelMouseLeave(l); });
        return l;
    };
    // One choice: the tick picture and its caption beside it.
    auto choice = [&](QWidget *parent, const QString &text, int tag, int x, int y, TImage *&pic) {
        pic = picture(parent, tag, QRect(x, y + 2, 16, 16));
        pic->setCursor(Qt::PointingHandCursor);
        TLabel *l = caption(parent, text, tag, QRect(x + 24, y, 250, 20));
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        return l;
    };

    // ---- head ----
    TitelPanel = new TPanel(this);
    TitelPanel->setGeometry(0, 0, kWidth, kTitleHeight);
    TitelLabel = new TLabel(TitelPanel, QStringLiteral("Spielstart :"));
    TitelLabel->setGeometry(10, 4, 300, 24);
    TitelLabel->SetFontSize(12, true);
    auto tab = [&](const QString &text, int tag, int x, TImage *&pic) {
        pic = picture(TitelPanel, tag, QRect(x, kTitleHeight - 26, 100, 26));
        pic->setCursor(Qt::PointingHandCursor);
        TLabel *l = caption(TitelPanel, text, tag, pic->geometry());
        l->setAlignment(Qt::AlignCenter);
        connect(l, &TLabel::Click, this, [this, l] { Tab_EinzelspielerClick(l); });
        connect(pic, &TImage::Click, this, [this, pic] { Tab_EinzelspielerClick(pic); });
        return l;
    };
    Tab_Einzelspieler = tab(QStringLiteral("Einzelspieler"), 10, 8, Pic_Einzelspieler);
    Tab_Mehrspieler = tab(QStringLiteral("Mehrspieler"), 20, 120, Pic_Mehrspieler);
    Tab_Sonstiges = tab(QStringLiteral("Sonstiges"), 1, 232, Pic_Sonstiges);
    BL = new TBevel(this);
    BR = new TBevel(this);
    for (TBevel *b : {BL, BR}) {
        b->setFrameShadow(QFrame::Raised);
        b->setLineWidth(1);
    }

    // ---- single player ----
    Panel_EinzelSpieler = new TPanel(this);
    Panel_EinzelSpieler->setGeometry(0, kTitleHeight, kWidth, 180);
    struct TSingle {
        const char *Text;
        TImage **Pic;
        TLabel **Btc;
    } singles[] = {{"normales Spiel", &Pic_normal, &BTC_Normal},
                   {"Ghost Spiel", &Pic_Ghost, &BTC_Ghost},
                   {"Challenge Spiel", &Pic_Challenge, &BTC_Challenge},
                   {"ein Spiel wiederholen", &Pic_Wiederholung, &BTC_Wiederholung}};
    for (int k = 1; k <= 4; ++k) {
        TSingle &s = singles[k - 1];
        *s.Btc = choice(Panel_EinzelSpieler, QString::fromUtf8(s.Text), k, 40, 14 + (k - 1) * 28, *s.Pic);
        TImage *pic = *s.Pic;
        TLabel *btc = *s.Btc;
        connect(pic, &TImage::Click, this, [this, pic] { Pic_normalClick(pic); });
        connect(btc, &TLabel::Click, this, [this, btc] { Pic_normalClick(btc); });
    }
    Panel_EinzelFooter = new TPanel(Panel_EinzelSpieler);
    Panel_EinzelFooter->setGeometry(0, 180 - kFooterHeight, kWidth, kFooterHeight);
    BTC_EinzelSpielerStart = button(Panel_EinzelFooter, QStringLiteral("weiter"), 12, QRect(222, 6, 108, 26),
                                    BIM_EinzelSpielerStart, "BIM_EinzelSpielerStart");
    connect(BTC_EinzelSpielerStart, &TLabel::Click, this, &TFormStart::BTC_EinzelSpielerStartClick);

    // ---- LAN or internet ----
    Panel_verbindung = new TPanel(this);
    Panel_verbindung->setGeometry(0, kTitleHeight, kWidth, 196);
    auto memo = [&](const QStringList &lines, int y) {
        auto *m = new TLabel(Panel_verbindung, lines.join(QLatin1Char('\n')));
        m->setGeometry(20, y, 310, 50);
        m->setWordWrap(true);
        m->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return m;
    };
    BTC_LAN =
        button(Panel_verbindung, QStringLiteral("Mehrspieler(LAN)"), 0, QRect(20, 12, 160, 26), BIM_LAN, "BIM_LAN");
    Memo_LAN = memo(LanTextLines(), 44);
    BTC_iNet = button(Panel_verbindung, QStringLiteral("Mehrspieler(Internet)"), 0, QRect(20, 104, 160, 26), BIM_iNet,
                      "BIM_iNet");
    Memo_iNet = memo(INetTextLines(), 136);
    connect(BTC_LAN, &TLabel::Click, this, &TFormStart::BTC_LANClick);
    connect(BTC_iNet, &TLabel::Click, this, &TFormStart::BTC_iNetClick);

    // ---- multi-player ----
    Panel_Mehrspieler = new TPanel(this);
    Panel_Mehrspieler->setGeometry(0, kTitleHeight, kWidth, 200);
    BTC_eroeffnen = choice(Panel_Mehrspieler, QStringLiteral("Spiel eröffnen"), 1, 40, 12, pic_eroeffnen);
    BTC_Turnier = choice(Panel_Mehrspieler, QStringLiteral("als Turnier eröffnen"), 3, 64, 38, Pic_Turnier);
    BTC_Duell = choice(Panel_Mehrspieler, QStringLiteral("als Duell eröffnen"), 5, 64, 64, pic_Duell);
    BTC_suchen = choice(Panel_Mehrspieler, QStringLiteral("Spiel suchen"), 2, 40, 96, pic_suchen);
    BTC_Beitreten =
        choice(Panel_Mehrspieler, QStringLiteral("1. gefundenen Spiel beitreten"), 4, 64, 122, Pic_beitreten);
    for (TMouseControl *c :
         std::initializer_list<TMouseControl *>{pic_eroeffnen, BTC_eroeffnen, pic_suchen, BTC_suchen, Pic_Turnier,
                                                BTC_Turnier, Pic_beitreten, BTC_Beitreten, pic_Duell, BTC_Duell})
        connect(c, &TMouseControl::Click, this, [this, c] { BTC_suchenClick(c); });
    BTC_Turnier->setEnabled(false);
    BTC_Beitreten->setEnabled(false);
    BTC_Duell->setEnabled(false);
    Panel_MehrFooter = new TPanel(Panel_Mehrspieler);
    Panel_MehrFooter->setGeometry(0, 200 - kFooterHeight, kWidth, kFooterHeight);
    BTC_Zurueck =
        button(Panel_MehrFooter, QStringLiteral("Zurück"), 20, QRect(10, 6, 108, 26), BIM_Zurueck, "BIM_Zurueck");
    BTC_weiter =
        button(Panel_MehrFooter, QStringLiteral("weiter"), 12, QRect(222, 6, 108, 26), BIM_weiter, "BIM_weiter");
    // "Zurück" acts as the multi-player tab: back to the choice of LAN or internet.
    connect(BTC_Zurueck, &TLabel::Click, this, [this] { Tab_EinzelspielerClick(BTC_Zurueck); });
    connect(BTC_weiter, &TLabel::Click, this, &TFormStart::BTC_weiterClick);

    // ---- other ----
    Panel_Sonstiges = new TPanel(this);
    Panel_Sonstiges->setGeometry(0, kTitleHeight, kWidth, 64);
    BTC_Optionen =
        button(Panel_Sonstiges, QStringLiteral("Optionen"), 0, QRect(20, 18, 140, 26), BIM_Optionen, "BIM_Optionen");
    BTC_Editor =
        button(Panel_Sonstiges, QStringLiteral("Editor"), 0, QRect(180, 18, 140, 26), BIM_Editor, "BIM_Editor");
    connect(BTC_Optionen, &TLabel::Click, this, &TFormStart::BTC_OptionenClick);
    connect(BTC_Editor, &TLabel::Click, this, &TFormStart::BTC_EditorClick);

    Warte = new TTimer(this, 2000, false);
    connect(Warte, &QTimer::timeout, this, &TFormStart::WarteTimer);

    // The program options colour and skin this window: the field colour for
    // head and footers, the menu colour for the bodies, the button face for
    // every "BIM_" picture. Until they do, the default colours apply.
    for (TPanel *p : {TitelPanel, Panel_EinzelFooter, Panel_MehrFooter}) {
        // Raised edges set the window off from a main window of the same colour.
        p->setFrameStyle(QFrame::Panel | QFrame::Raised);
        p->SetColor(ColorFromBGR(0x409FFF));
        SetColourRole(p, TColourRole::Field);
    }
    for (TPanel *p : {Panel_EinzelSpieler, Panel_verbindung, Panel_Mehrspieler, Panel_Sonstiges}) {
        p->SetColor(ColorFromBGR(0x005EBB));
        SetColourRole(p, TColourRole::Menu);
    }
    for (TLabel *l : {BTC_Normal, BTC_Ghost, BTC_Challenge, BTC_Wiederholung, Memo_LAN, Memo_iNet, BTC_eroeffnen,
                      BTC_Turnier, BTC_Duell, BTC_suchen, BTC_Beitreten})
        setTextColour(l, Qt::white);
}

TLabel *MakeFaceButton(QWidget *parent, const QString &caption, const char *faceName, const QRect &r, TImage *&face)
{
    face = new TImage(parent);
    face->setObjectName(QString::fromLatin1(faceName));
    face->setGeometry(r);
    auto *l = new TLabel(parent, caption);
    l->setGeometry(r);
    l->setAlignment(Qt::AlignCenter);
    l->setCursor(Qt::PointingHandCursor);
    for (TMouseControl *c : {static_cast<TMouseControl *>(face), static_cast<TMouseControl *>(l)})
        QObject::connect(c, &TMouseControl::MouseMove, c,
                         [c](Qt::KeyboardModifiers shift, int, int) { SetHelpCursor(c, shift); });
    return l;
}

// ---- interfaces ----------------------------------------------------------------

void TFormStart::ShowStartTab(int n)
{
    const int y = TitelPanel->height() - 2;
    BL->setGeometry(0, y, width(), 2);
    BR->setGeometry(0, y, width(), 2);
    for (TPanel *p : {Panel_EinzelSpieler, Panel_Mehrspieler, Panel_verbindung, Panel_Sonstiges})
        p->hide();
    if (Form1)
        for (TPanel *p : {Form1->Panel_Einzel, Form1->Panel_Edit, Form1->Panel_Menue})
            if (p)
                p->resize(p->width(), 0);
    TPanel *panel = nullptr;
    TImage *tabPic = nullptr;
    if (n == 1) {
        panel = Panel_Sonstiges;
        tabPic = Pic_Sonstiges;
    } else if (n == 10) {
        panel = Panel_EinzelSpieler;
        tabPic = Pic_Einzelspieler;
    } else if (n == 20) {
        panel = Panel_verbindung;
        tabPic = Pic_Mehrspieler;
    }
    if (!panel)
        return;
    panel->show();
    resize(width(), panel->Tag + TitelPanel->height());
    BL->setGeometry(0, y, tabPic->x(), 2);
    const int right = tabPic->x() + tabPic->width();
    BR->setGeometry(right, y, width() - right, 2);
    BL->raise();
    BR->raise();
}

void TFormStart::SelectSingleMode(int k)
{
    GameKind = k;
    TImage *pics[] = {Pic_normal, Pic_Ghost, Pic_Challenge, Pic_Wiederholung};
    for (int i = 1; i <= 4; ++i)
        showTick(pics[i - 1], i == k);
    BTC_EinzelSpielerStart->setEnabled(k >= 1 && k <= 4);
}

void TFormStart::ApplyTabImages()
{
    if (!FormFeld)
        return;
    FormFeld->PaintButtonFace(Pic_Einzelspieler, Tab_Einzelspieler);
    FormFeld->PaintButtonFace(Pic_Mehrspieler, Tab_Mehrspieler);
    FormFeld->PaintButtonFace(Pic_Sonstiges, Tab_Sonstiges);
}

void TFormStart::showTick(TImage *pic, bool on)
{
    if (!FormOpt)
        return;
    const TImage *bank = on ? FormOpt->Pic_hacken : FormOpt->pic_box;
    if (bank)
        pic->SetPicture(bank->Picture());
}

void TFormStart::LanGameFound(const QString &address)
{
    Warte->stop();
    // The start-up timer stops at its next tick.
    if (Form1)
        Form1->SplashTimer->Tag = 156;
    close();
    if (FormMeld) {
        FormMeld->Dauer = 20;
        FormMeld->ShowText(QStringLiteral("Ein Spiel wurde gefunden.\n\rAnmeldung läuft ..."));
    }
    TraceLine(QStringLiteral("Ein Spiel wurde gefunden."));
    lanSendLogin(address);
    if (FormMeld) {
        FormMeld->Dauer = 0;
        FormMeld->ShowText(QStringLiteral("Auf weitere Spieler warten,\n\rSpieler 1 startet das Spiel."));
    }
}

// ---- tabs ----------------------------------------------------------------------

void TFormStart::Tab_EinzelspielerClick(QObject *sender)
{
    int tag = sender ? GetControlTagOr(sender, 10) : 10;
    if (tag != 1 && tag != 10 && tag != 20)
        tag = 10;
    if (Form1 && Form1->HelpCursor == -20) {
        if (FormInfo)
            FormInfo->ShowHelp(tag == 10 ? 4 : tag == 20 ? 5 : 6);
        return;
    }
    if (Form1 && Form1->HostsNetworkGame) {
        // The clients are told that the host leaves.
        Form1->HostsNetworkGame = false;
        if (NETZ) {
            NETZ->SendServerLogoff();
            NETZ->MyPlayerNo = 0;
        }
    } else if (NETZ && NETZ->MyPlayerNo > 1) {
        // A client that turns to another game leaves the host's, or the
        // host would wait for it at the next start.
        NETZ->SendLogoff();
        NETZ->MyPlayerNo = 0;
    }
    if (Form1)
        Form1->ResetPlayers();

    PlayMode = tag;
    ShowStartTab(PlayMode);
    if (Form1)
        Form1->SinglePlayerGame = PlayMode == 10;

    SelectSingleMode(GameKind);
    BTC_suchenClick(nullptr);
    LanMode = 0;
    Panel_Mehrspieler->hide();
    Panel_verbindung->hide();
    BTC_weiter->setEnabled(false);

    if (PlayMode == 1 || PlayMode == 10) {
        if (NETZ && NETZ->IsListenerActive()) {
            if (FormGO)
                FormGO->BTC_ZurueckClick();
            setListener(false);
        }
        BTC_weiter->setEnabled(true);
        BTC_eroeffnen->setEnabled(true);
        BTC_Turnier->setEnabled(false);
        BTC_Duell->setEnabled(false);
    }
    if (PlayMode == 20)
        Panel_verbindung->show();
}

void TFormStart::Tab_EinzelspielerMouseMove(QWidget *control, Qt::KeyboardModifiers shift)
{
    SetHelpCursor(control, shift);
}

void TFormStart::BT_einzelMouseEnter(TLabel *label)
{
    if (label->isEnabled())
        label->SetFontSize(9, true);
}

void TFormStart::BT_einzelMouseLeave(TLabel *label)
{
    label->SetFontSize(8, false);
}

// ---- single player -------------------------------------------------------------

void TFormStart::Pic_normalClick(QObject *sender)
{
    if (Form1 && Form1->HelpCursor == -20) {
        if (FormInfo)
            FormInfo->ShowHelp(4);
        return;
    }
    SelectSingleMode(GetControlTag(sender));
}

void TFormStart::BTC_EinzelSpielerStartClick()
{
    if (!BTC_EinzelSpielerStart->isEnabled())
        return;
    if (Form1) {
        Form1->BTC_Tipp->setEnabled(false);
        Form1->BTC_Pause->setEnabled(false);
        Form1->BTC_Weiter->setEnabled(false);
        if (GameKind >= 1 && GameKind <= 4)
            Form1->BTC_Pause->setEnabled(true);
    }
    if (FormGO)
        FormGO->ApplyOptionRules();
    if (Vorgabe)
        Vorgabe->SpielVorgabe->clear();
    switch (GameKind) {
    case 1:
        lanBecomeHost();
        if (FormGO)
            FormGO->show();
        break;
    case 2:
        lanBecomeHost();
        if (FormGhost)
            FormGhost->show();
        break;
    case 3:
        if (FormCha)
            FormCha->SetupChallenge();
        break;
    case 4:
        lanBecomeHost();
        if (Vorgabe)
            Vorgabe->show();
        break;
    default:
        break;
    }
    close();
}

// ---- connection choice -----------------------------------------------------------

void TFormStart::BTC_LANClick()
{
    // Without the listener no game can be opened or found: say so and stay
    // at the choice of LAN or internet.
    if (!setListener(true)) {
        MessageDlg(QStringLiteral("Der Netzwerkempfang konnte nicht gestartet werden (Port %1).\n"
                                  "Bitte den Port in den Optionen prüfen.")
                       .arg(NETZ ? NETZ->Port : 0),
                   TMsgDlgType::Warning, TMsgDlgButtons::OK);
        return;
    }
    GameKind = 1;
    Panel_Mehrspieler->show();
    Panel_verbindung->hide();
    resize(width(), Panel_Mehrspieler->Tag + TitelPanel->height());
}

void TFormStart::BTC_iNetClick()
{
    hide();
    if (WEBForm)
        WEBForm->show();
}

// ---- multi-player ------------------------------------------------------------------

void TFormStart::BTC_suchenClick(QObject *sender)
{
    const int tag = sender ? GetControlTag(sender) : -1;
    if (sender && Form1 && Form1->HelpCursor == -20) {
        if (tag >= 1 && tag <= 4 && FormInfo)
            FormInfo->ShowHelp(5);
        return;
    }
    const TLabel *captionOf[6] = {nullptr, BTC_eroeffnen, nullptr, BTC_Turnier, BTC_Beitreten, BTC_Duell};
    if (tag >= 1 && tag <= 5 && captionOf[tag] && !captionOf[tag]->isEnabled())
        return;

    showTick(pic_eroeffnen, false);
    showTick(pic_suchen, false);
    BTC_weiter->setEnabled(true);
    if (tag == 1 || tag == 3 || tag == 5)
        LanMode = 1;
    else if (tag == 2 || tag == 4)
        LanMode = 2;
    else
        LanMode = -1;

    if (LanMode == 1) {
        JoinFirstFound = false;
        showTick(pic_eroeffnen, true);
        BTC_Turnier->setEnabled(true);
        BTC_Duell->setEnabled(true);
        BTC_Beitreten->setEnabled(false);
        BTC_weiter->SetCaption(QStringLiteral("weiter"));
        if (tag == 3)
            GameKind = GameKind == 5 ? 0 : 5;
        else if (tag == 5)
            GameKind = GameKind == 6 ? 0 : 6;
    } else if (LanMode == 2) {
        showTick(pic_suchen, true);
        BTC_Turnier->setEnabled(false);
        BTC_Duell->setEnabled(false);
        BTC_Beitreten->setEnabled(true);
        BTC_weiter->SetCaption(QStringLiteral("suchen"));
        GameKind = 0;
        if (tag == 2)
            JoinFirstFound = true;
        else
            JoinFirstFound = !JoinFirstFound;
    }
    showTick(Pic_Turnier, GameKind == 5);
    showTick(pic_Duell, GameKind == 6);
    showTick(Pic_beitreten, JoinFirstFound);
}

void TFormStart::BTC_weiterClick()
{
    if (!BTC_weiter->isEnabled())
        return;
    if (Vorgabe)
        Vorgabe->SpielVorgabe->clear();
    if (LanMode == 1)
        OpenLanGame();
    else if (LanMode == 2)
        SearchLanGame();
}

void TFormStart::OpenLanGame()
{
    if (Form1 && !Form1->HostsNetworkGame) {
        BTC_eroeffnen->setEnabled(false);
        Form1->HostsNetworkGame = true;
        // Logging in to the own address makes this machine player 1.
        lanSendLogin(FormOpt ? FormOpt->SelfIp->text() : QString());
    }
    if (GameKind == 5) {
        if (FormCha)
            FormCha->SetupTournament();
        if (Form1 && Form1->CountOnlinePlayers() > 1)
            lanSendTournamentData(0);
    } else if (GameKind == 6) {
        if (FormDuell) {
            FormDuell->DuelActive = true;
            FormDuell->show();
        }
    } else {
        if (FormMeld) {
            FormMeld->Dauer = 50;
            FormMeld->ShowText(QStringLiteral("Warte auf weitere Spieler,\n\rdann Spiel starten."));
        }
        if (FormGO)
            FormGO->show();
    }
    close();
}

void TFormStart::SearchLanGame()
{
    if (JoinFirstFound) {
        const QString text = QStringLiteral("Suche ein Spiel ...");
        if (FormMeld) {
            FormMeld->Dauer = 20;
            FormMeld->ShowText(text);
        }
        TraceLine(text);
        lanSendSearch(NETZ ? NETZ->BroadcastTarget() : QStringLiteral("255.255.255.255"));
        Warte->start();
        return;
    }
    close();
    if (FormSucheSpiele) {
        FormSucheSpiele->show();
        FormSucheSpiele->ShowTab(1);
    }
}

void TFormStart::WarteTimer()
{
    Warte->stop();
    if (FormMeld) {
        FormMeld->Dauer = 20;
        FormMeld->ShowText(QStringLiteral("Konnte kein Spiel finden.\n\rNochmals suchen."));
    }
    TraceLine(QStringLiteral("Konnte kein Spiel finden."));
}

// ---- other -------------------------------------------------------------------------

void TFormStart::BTC_OptionenClick()
{
    close();
    if (FormOpt)
        FormOpt->show();
    if (Form1)
        Form1->brett->hide();
}

void TFormStart::BTC_EditorClick()
{
    if (Form1 && Form1->HelpCursor == -20) {
        if (FormInfo)
            FormInfo->ShowHelp(15);
        return;
    }
    close();
    if (NETZ)
        NETZ->ResetBoardCells();
    ClearBingoList();
    if (FormFeld) {
        FormFeld->ClearAllMarkStates();
        FormFeld->RefreshMarks();
    }
    if (!Form1)
        return;
    Form1->EditorMode = true;
    Form1->ClearBoardForEditor();
    Form1->Panel_Edit->resize(Form1->Panel_Edit->width(), 88);
    Form1->Panel_Edit->show();
}

// ---- the network calls ---------------------------------------------------------------

bool TFormStart::setListener(bool on)
{
    return NETZ && NETZ->SetListenerActive(on);
}

void TFormStart::lanBecomeHost()
{
    if (NETZ)
        NETZ->BecomeHost();
}

void TFormStart::lanSendLogin(const QString &address)
{
    if (NETZ)
        NETZ->SendLogin(address);
}

void TFormStart::lanSendSearch(const QString &address)
{
    if (NETZ)
        NETZ->SendSearch(address);
}

void TFormStart::lanSendTournamentData(int part)
{
    if (NETZ)
        NETZ->SendTournamentData(part);
}

// ---- life cycle ------------------------------------------------------------------------

void TFormStart::FormCreate()
{
    FirstActivate = true;
    GameKind = 1;
    for (TPanel *p : {Panel_EinzelSpieler, Panel_Mehrspieler, Panel_verbindung, Panel_Sonstiges})
        p->Tag = p->height();
}

void TFormStart::FormShow()
{
    // Every way back here from the editor (the help window's, too) leaves
    // it: a game started from here must not take clicks as editor entries.
    if (Form1 && Form1->EditorMode)
        Form1->LeaveEditor();
    for (TLabel *l : m_captions)
        BT_einzelMouseLeave(l);
    resize(kWidth, height());
    ShowStartTab(PlayMode);
    for (TPanel *p : {Panel_EinzelSpieler, Panel_Mehrspieler, Panel_verbindung, Panel_Sonstiges})
        p->setGeometry(0, TitelPanel->height(), kWidth, p->Tag);
    ApplyTabImages();
}

void TFormStart::FormActivate()
{
    if (!FirstActivate)
        return;
    FirstActivate = false;
    PlaceOverMainWindow(this);
}

void TFormStart::FormClose()
{
    FirstActivate = true;
}

void TFormStart::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    FormShow();
    FormActivate();
}

void TFormStart::changeEvent(QEvent *e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TFormStart::closeEvent(QCloseEvent *e)
{
    // Every way on starts from this window: the window manager's close would
    // leave the player only "Info" and "Beenden", so it is refused. The
    // program's own closes go through.
    if (e->spontaneous()) {
        e->ignore();
        return;
    }
    FormClose();
    QWidget::closeEvent(e);
}
