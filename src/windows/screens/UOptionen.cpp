#include "screens/UOptionen.h"

#include "board/UFeld.h"
#include "board/UMeldung.h"
#include "board/UQuadrivo.h"
#include "net/UNETZ.h"
#include "screens/UStart.h"
#include "settings/USonstiges.h"
#include "ui/DialogService.h"

#include <QApplication>
#include <QHostInfo>

TFormOpt *FormOpt = nullptr;

namespace {
constexpr int kWidth = 430;
constexpr const char *kColourRole = "colourRole";

bool inHelpMode()
{
    return Form1 && Form1->HelpCursor == -20;
}

TLabel *heading(QWidget *parent, const QString &text, int x, int y, int w = 150)
{
    auto *l = new TLabel(parent, text);
    l->SetFontSize(8, true);
    l->setGeometry(x, y, w, 16);
    return l;
}

// Black text on light colours, white on dark ones.
QColor textColourOn(int32_t bgr)
{
    const QColor c = ColorFromBGR(bgr);
    return (c.red() * 299 + c.green() * 587 + c.blue() * 114) / 1000 >= 128 ? QColor(Qt::black) : QColor(Qt::white);
}

void colourPanel(TPanel *panel, int32_t bgr)
{
    panel->SetColor(ColorFromBGR(bgr));
    QPalette pal = panel->palette();
    pal.setColor(QPalette::WindowText, textColourOn(bgr));
    panel->setPalette(pal);
}

void colourWidget(QWidget *w, int32_t bgr)
{
    if (auto *panel = qobject_cast<TPanel *>(w)) {
        panel->SetColor(ColorFromBGR(bgr));
        return;
    }
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, ColorFromBGR(bgr));
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}
} // namespace

// ---- shared routines of the unit ----------------------------------------------

void SetColourRole(QWidget *w, TColourRole role)
{
    if (w)
        w->setProperty(kColourRole, role == TColourRole::Field ? QStringLiteral("field") : QStringLiteral("menu"));
}

int PlayerColourPicture(int slot, int myPlayerNo)
{
    if (slot < 1 || slot > 8)
        return 0;
    if (slot == myPlayerNo)
        return 1;
    int k = 1;
    for (int s = 1; s <= slot; ++s)
        if (s != myPlayerNo)
            ++k;
    // With no own slot the last slot would need a ninth picture: it keeps its colour.
    return k <= 8 ? k : 0;
}

void DistributePlayerColours()
{
    if (!Form1 || !FormOpt)
        return;
    const int me = NETZ ? NETZ->MyPlayerNo : 0;
    for (int slot = 1; slot <= 8; ++slot)
        if (const int pic = PlayerColourPicture(slot, me))
            Form1->Players[slot].Color = FormOpt->ColourImage(pic)->Tag;
}

QString DefaultNickname(const QString &hostName)
{
    return hostName.left(kMaxNickLength);
}

QString DefaultNickname()
{
    return DefaultNickname(QHostInfo::localHostName());
}

// ---- the window -------------------------------------------------------------------

TFormOpt::TFormOpt(QWidget *parent)
    : TOptionWindow(parent, QStringLiteral("Optionen"), QStringLiteral("Optionen :"), kWidth)
{
    buildPictureBank();
    buildControls();
    FormCreate();
}

void TFormOpt::buildControls()
{
    auto marker = [this] {
        auto *l = new TLabel(this);
        l->hide();
        return l;
    };
    FabM = marker();
    tastaturM = marker();
    soundM = marker();

    Panel_Aussehen = addTab(1, QStringLiteral("Aussehen"), IM_Aussehen, Tab_Aussehen);
    Panel_Sonstiges = addTab(2, QStringLiteral("Sonstiges"), IM_Sonstiges, Tab_Sonstiges);
    Panel_Verbindung = addTab(3, QStringLiteral("Verbindung"), IM_Verbindung, tab_verbindung);

    auto switchPicture = [this](QWidget *parent, int tag, int x, int y) {
        auto *im = new TImage(parent);
        im->Tag = tag;
        im->setGeometry(x, y + 1, 16, 16);
        im->setCursor(Qt::PointingHandCursor);
        im->SetPicture(pic_box->Picture());
        connect(im, &TImage::Click, this, [this, im] { Farbig_1Click(im); });
        connect(im, &TImage::MouseMove, this,
                [this, im](Qt::KeyboardModifiers shift, int, int) { BTC91MouseMove(im, shift); });
        return im;
    };
    auto switchCaption = [this](QWidget *parent, int tag, const QString &text, int x, int y, int w) {
        auto *l = new TLabel(parent, text);
        l->Tag = tag;
        l->setGeometry(x, y, w, 18);
        l->SetFontSize(8, true);
        MakeCaptionButton(l, 10, 8, true);
        connect(l, &TLabel::Click, this, [this, l] { Farbig_1Click(l); });
        connect(l, &TLabel::MouseMove, this,
                [this, l](Qt::KeyboardModifiers shift, int, int) { BTC91MouseMove(l, shift); });
        return l;
    };
    auto spin = [](QWidget *parent, const QString &caption, int lo, int hi, int value, int y) {
        auto *l = new TLabel(parent, caption);
        l->setGeometry(170, y + 3, 150, 16);
        auto *s = new TSpinEdit(parent, lo, hi, value);
        s->setGeometry(330, y, 50, 22);
        return s;
    };

    // ---- appearance ----
    heading(Panel_Aussehen, QStringLiteral("Farben :"), 10, 6);
    struct TColourDef {
        TPanel **Panel;
        const char *Caption;
    };
    const TColourDef colours[] = {{&MenueColor, "Menuefarbe"},       {&FeldColor, "Feldfarbe"},
                                  {&TrennColor1, "Trennfarbe1"},     {&TrennColor2, "Trennfarbe2"},
                                  {&Merker1Color, "Farbe Merker 1"}, {&Merker2Color, "Farbe Merker 2"}};
    int y = 26;
    for (const TColourDef &c : colours) {
        auto *p = new TPanel(Panel_Aussehen);
        p->setText(QString::fromLatin1(c.Caption));
        p->setAlignment(Qt::AlignCenter);
        p->setGeometry(14, y, 130, 22);
        p->setFrameShape(QFrame::Panel);
        p->setFrameShadow(QFrame::Raised);
        p->setCursor(Qt::PointingHandCursor);
        connect(p, &TPanel::Click, this, [this, p] { MenueColorClick(p); });
        connect(p, &TPanel::MouseMove, this,
                [this, p](Qt::KeyboardModifiers shift, int, int) { BTC91MouseMove(p, shift); });
        *c.Panel = p;
        y += 27;
    }
    heading(Panel_Aussehen, QStringLiteral("Abstände und Schrift :"), 166, 6, 200);
    SpanBlock = spin(Panel_Aussehen, QStringLiteral("Abstand Block"), 1, 15, 6, 26);
    SpanZelle = spin(Panel_Aussehen, QStringLiteral("Abstand Zelle"), 1, 15, 3, 52);
    SizeMerker = spin(Panel_Aussehen, QStringLiteral("Schriftgrösse Merker"), 1, 18, 14, 78);
    SizeMerk = new TLabel(Panel_Aussehen, QStringLiteral("1 2 3 4 5 6 7 8 9"));
    SizeMerk->setGeometry(170, 102, 250, 30);
    SizeZahlen = spin(Panel_Aussehen, QStringLiteral("Schriftgrösse Zahlen"), 1, 24, 8, 134);
    SizeZahl = new TLabel(Panel_Aussehen, QStringLiteral("1 2 3 4 5 6 7 8 9"));
    SizeZahl->setGeometry(170, 158, 250, 40);
    for (TLabel *l : {SizeMerk, SizeZahl})
        l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    SizeMerk->SetFontSize(SizeMerker->value(), true);
    SizeZahl->SetFontSize(SizeZahlen->value(), true);
    for (TSpinEdit *s : {SpanBlock, SpanZelle})
        connect(s, &QSpinBox::valueChanged, this, [this, s] { SpanBlockChange(s); });
    for (TSpinEdit *s : {SizeMerker, SizeZahlen})
        connect(s, &QSpinBox::valueChanged, this, [this, s] { SizeMerkerChange(s); });

    heading(Panel_Aussehen, QStringLiteral("Spielerfarben :"), 10, 206);
    TImage **pics[] = {&im1, &Im2, &Im3, &Im4, &Im5, &Im6, &Im7, &Im8};
    for (int i = 0; i < 8; ++i) {
        auto *im = new TImage(Panel_Aussehen);
        im->setGeometry(i == 0 ? 14 : 90 + 30 * (i - 1), 226, 24, 24);
        im->setCursor(Qt::PointingHandCursor);
        connect(im, &TImage::Click, this, [this, im] { im1Click(im); });
        connect(im, &TImage::MouseMove, this,
                [this, im](Qt::KeyboardModifiers shift, int, int) { BTC91MouseMove(im, shift); });
        *pics[i] = im;
    }
    (new TLabel(Panel_Aussehen, QStringLiteral("eigene")))->setGeometry(10, 252, 60, 16);
    (new TLabel(Panel_Aussehen, QStringLiteral("andere Spieler")))->setGeometry(90, 252, 200, 16);
    heading(Panel_Aussehen, QStringLiteral("Spielfeld :"), 10, 276);
    Farbig_1 = switchPicture(Panel_Aussehen, 105, 14, 296);
    BTC105 = switchCaption(Panel_Aussehen, 105, QStringLiteral("gefundene Felder farbig"), 36, 296, 200);
    Tastatur_1 = switchPicture(Panel_Aussehen, 107, 250, 296);
    BTC_Tastatur = switchCaption(Panel_Aussehen, 107, QStringLiteral("Tastatur an"), 272, 296, 140);
    Panel_Aussehen->resize(kWidth, 326);

    // ---- other ----
    heading(Panel_Sonstiges, QStringLiteral("Sound :"), 10, 6);
    Sound_1 = switchPicture(Panel_Sonstiges, 108, 14, 26);
    BTC108 = switchCaption(Panel_Sonstiges, 108, QStringLiteral("Sound an"), 36, 26, 140);
    NickName = new TLabeledEdit(Panel_Sonstiges, QStringLiteral("Spielername :"));
    NickName->setGeometry(14, 76, 200, 22);
    NickName->PlaceLabel();
    connect(NickName, &QLineEdit::textChanged, this, &TFormOpt::NickNameChange);
    Panel_Sonstiges->resize(kWidth, 112);

    // ---- connection ----
    SelfIp = new TLabeledEdit(Panel_Verbindung, QStringLiteral("Eigene IP :"));
    SelfIp->setGeometry(14, 26, 150, 22);
    SelfIp->setReadOnly(true);
    SelfIp->PlaceLabel();
    Port = new TLabeledEdit(Panel_Verbindung, QStringLiteral("Port :"));
    Port->setGeometry(236, 26, 80, 22);
    Port->PlaceLabel();
    Port->setText(QStringLiteral("2401"));
    bt_chg = new TButton(Panel_Verbindung, QStringLiteral("ändern"));
    bt_chg->setGeometry(324, 25, 80, 24);
    connect(bt_chg, &QPushButton::clicked, this, [this] { ChgPortClick(bt_chg); });
    (new TLabel(Panel_Verbindung, QStringLiteral("Eigene IP Adressen")))->setGeometry(14, 58, 200, 16);
    IPAdressen = new TListBox(Panel_Verbindung);
    IPAdressen->setGeometry(14, 76, 200, 90);
    connect(IPAdressen, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { IPAdressenDblClick(IPAdressen->row(item)); });
    Erklaerung = new TPanel(Panel_Verbindung);
    Erklaerung->setGeometry(4, 172, kWidth - 8, 84);
    Erklaerung->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Erklaerung->setMargin(2);
    Erklaerung->setWordWrap(true);
    QFont small = Erklaerung->font();
    small.setPixelSize(10);
    Erklaerung->setFont(small);
    Erklaerung->setText(QStringLiteral("Die eigene IP wird benötigt um in einem grösseren Netzwerk oder \n"
                                       "dem Internet eine Verbindung zu einem anderen Rechner herzustellen. \n"
                                       "In eigene IP Adressen werden alle IP Adressen vom Rechner aufgelistet. \n"
                                       "Zum wechseln der IP Adresse entsprechende IP doppelklicken."));
    Panel_Verbindung->resize(kWidth, 262);

    // ---- footer ----
    bt_schliessen = new TButton(Panel_footer, QStringLiteral("OK"));
    bt_schliessen->setGeometry(kWidth - 90, 8, 80, 24);
    connect(bt_schliessen, &QPushButton::clicked, this, &TFormOpt::schliessenClick);

    SetColourRole(Erklaerung, TColourRole::Menu);
}

TImage *TFormOpt::BankPicture(const QString &name) const
{
    return Panel1 ? Panel1->findChild<TImage *>(name, Qt::FindDirectChildrenOnly) : nullptr;
}

TImage *TFormOpt::ColourImage(int p) const
{
    TImage *const pics[] = {nullptr, im1, Im2, Im3, Im4, Im5, Im6, Im7, Im8};
    return p >= 1 && p <= 8 ? pics[p] : nullptr;
}

// ---- switches ---------------------------------------------------------------------

void TFormOpt::showSwitch(TImage *picture, TLabel *marker, int v)
{
    marker->Tag = v != 0 ? 1 : 0;
    picture->SetPicture((v != 0 ? Pic_hacken : pic_box)->Picture());
}

void TFormOpt::SetFoundColored(int v)
{
    showSwitch(Farbig_1, FabM, v);
    RegWriteInteger(QStringLiteral("foundcolored"), v);
}

void TFormOpt::SetSound(int v)
{
    showSwitch(Sound_1, soundM, v);
    RegWriteInteger(QStringLiteral("Sound"), v);
}

void TFormOpt::SetKeyboard(int v)
{
    showSwitch(Tastatur_1, tastaturM, v);
    RegWriteInteger(QStringLiteral("alltastatur"), v);
}

void TFormOpt::Farbig_1Click(QObject *sender)
{
    // No help topic belongs to these switches: in help-click mode a click does nothing.
    if (!isVisible() || inHelpMode())
        return;
    switch (GetControlTag(sender)) {
    case 105:
        SetFoundColored(FabM->Tag == 1 ? 0 : 1);
        break;
    case 107:
        SetKeyboard(tastaturM->Tag == 1 ? 0 : 1);
        break;
    case 108:
        SetSound(soundM->Tag == 1 ? 0 : 1);
        break;
    default:
        break;
    }
}

// ---- colours ------------------------------------------------------------------------

void TFormOpt::im1Click(QObject *sender)
{
    for (int p = 1; p <= 8; ++p) {
        if (sender != ColourImage(p) || inHelpMode())
            continue;
        QColor c = ColorFromBGR(ColourImage(p)->Tag);
        if (Dialogs()->ChooseColor(this, c)) {
            ColourImage(p)->Tag = ColorToBGR(c);
            RegWriteInteger(QStringLiteral("ColSp%1").arg(p), ColourImage(p)->Tag);
        }
    }
    for (int p = 1; p <= 8; ++p)
        PaintColorTileFresh(ColourImage(p), ColourImage(p)->Tag);
}

void TFormOpt::MenueColorClick(QObject *sender)
{
    struct TColourSlot {
        TPanel *Panel;
        int32_t *Value;
        const char *Name;
    };
    const TColourSlot colourSlots[] = {
        {MenueColor, &MenueColorValue, "MenueColor"},       {FeldColor, &FeldColorValue, "FeldColor"},
        {TrennColor1, &TrennColor1Value, "TrennColor1"},    {TrennColor2, &TrennColor2Value, "TrennColor2"},
        {Merker1Color, &Merker1ColorValue, "Merker1Color"}, {Merker2Color, &Merker2ColorValue, "Merker2Color"}};
    if (!inHelpMode())
        for (const TColourSlot &s : colourSlots) {
            if (sender != s.Panel)
                continue;
            QColor c = ColorFromBGR(*s.Value);
            if (Dialogs()->ChooseColor(this, c)) {
                *s.Value = ColorToBGR(c);
                RegWriteInteger(QString::fromLatin1(s.Name), *s.Value);
            }
        }
    ApplyColours();
    DrawTabs();
}

void TFormOpt::ApplyColours()
{
    // Everything that carries a colour role, in every window that exists.
    for (QWidget *w : QApplication::allWidgets()) {
        const QString role = w->property(kColourRole).toString();
        if (role == QLatin1String("field"))
            colourWidget(w, FeldColorValue);
        else if (role == QLatin1String("menu"))
            colourWidget(w, MenueColorValue);
    }

    // Field colour: the main window and its board panel.
    if (Form1) {
        colourWidget(Form1, FeldColorValue);
        if (Form1->brett) {
            colourWidget(Form1->brett, FeldColorValue);
            Form1->brett->update();
        }
    }
    colourPanel(FeldColor, FeldColorValue);

    // Menu colour: the board view's form, the overlay, the gap spin edits.
    if (FormFeld)
        colourWidget(FormFeld, MenueColorValue);
    if (FormMeld)
        FormMeld->SetPanelColour(MenueColorValue);
    for (TSpinEdit *s : {SpanBlock, SpanZelle}) {
        QPalette pal = s->palette();
        pal.setColor(QPalette::Base, ColorFromBGR(MenueColorValue));
        pal.setColor(QPalette::Text, textColourOn(MenueColorValue));
        s->setPalette(pal);
    }
    colourPanel(MenueColor, MenueColorValue);

    // Separators: the board's block and cell panels.
    colourPanel(TrennColor1, TrennColor1Value);
    colourPanel(TrennColor2, TrennColor2Value);
    if (Form1 && FormFeld && FormFeld->BoardControlsCreated()) {
        // The board controls are made before the stored colours are read, so
        // the block panels take theirs here too.
        for (int by = 1; by <= 3; ++by)
            for (int bx = 1; bx <= 3; ++bx)
                Form1->BlockPanels[bx][by].SetColor(ColorFromBGR(TrennColor1Value));
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x)
                Form1->Cells[x][y].Panel.SetColor(ColorFromBGR(TrennColor2Value));
    }

    // Pencil marks: the two mark pictures become tiles in their colours.
    colourPanel(Merker1Color, Merker1ColorValue);
    colourPanel(Merker2Color, Merker2ColorValue);
    PaintColorTile(org1Merker, Merker1ColorValue);
    PaintColorTile(org2Merker, Merker2ColorValue);
}

void TFormOpt::ApplySkin()
{
    QList<TImage *> faces;
    for (QWidget *w : QApplication::allWidgets()) {
        auto *im = qobject_cast<TImage *>(w);
        if (!im || im->parentWidget() == Panel1)
            continue;
        QString bank = im->property("skinPicture").toString();
        if (bank.isEmpty() && im->objectName().startsWith(QLatin1String("BIM_")))
            bank = QStringLiteral("pic_no_press");
        TImage *source = bank.isEmpty() ? nullptr : BankPicture(bank);
        if (!source)
            continue;
        im->SetPicture(source->Picture());
        if (source == pic_no_press)
            faces << im;
    }
    if (Form1 && Form1->Tabelle_kopf)
        Form1->Tabelle_kopf->SetPicture(pic_Tabelle_kopf->Picture());
    if (FormMeld) {
        for (TImage *im : {FormMeld->Pic_Ja, FormMeld->Pic_Nein})
            if (im) {
                im->SetPicture(pic_no_press->Picture());
                faces << im;
            }
    }
    // Caption labels lying over a face are transparent and on top of it, so
    // the face shows through.
    for (TImage *face : faces) {
        QWidget *parent = face->parentWidget();
        if (!parent)
            continue;
        for (TLabel *l : parent->findChildren<TLabel *>(QString(), Qt::FindDirectChildrenOnly))
            if (face->geometry().contains(l->geometry().center())) {
                l->setAutoFillBackground(false);
                l->raise();
            }
    }
}

void SetSkinPicture(TImage *image, const char *bankName)
{
    if (image)
        image->setProperty("skinPicture", QString::fromLatin1(bankName));
}

// ---- gaps, fonts, nickname, address, port ----------------------------------------

void TFormOpt::SpanBlockChange(QObject *sender)
{
    if (sender == SpanBlock)
        RegWriteInteger(QStringLiteral("TrennBlock"), SpanBlock->value());
    else if (sender == SpanZelle)
        RegWriteInteger(QStringLiteral("TrennZelle"), SpanZelle->value());
    if (FormFeld)
        FormFeld->LayoutBoard();
}

void TFormOpt::SizeMerkerChange(QObject *sender)
{
    if (sender == SizeMerker) {
        RegWriteInteger(QStringLiteral("FontSizeMerker"), SizeMerker->value());
        SizeMerk->SetFontSize(SizeMerker->value(), true);
    } else if (sender == SizeZahlen) {
        RegWriteInteger(QStringLiteral("FontSizeZahlen"), SizeZahlen->value());
        SizeZahl->SetFontSize(SizeZahlen->value(), true);
    }
}

void TFormOpt::NickNameChange()
{
    QString name = NickName->text();
    if (name.isEmpty())
        return;
    if (name.size() > kMaxNickLength) {
        MessageDlg(QStringLiteral("Ein wenig kürzer tut es auch !"), TMsgDlgType::Information, TMsgDlgButtons::OK);
        name = name.left(kMaxNickLength);
        const QSignalBlocker block(NickName);
        NickName->setText(name);
    }
    RegWriteString(QStringLiteral("Nickname"), name);
}

void TFormOpt::IPAdressenDblClick(int row)
{
    if (Form1 && Form1->GameRunning)
        return;
    if (row >= 0 && row < IPAdressen->Count())
        SelfIp->setText(IPAdressen->Item(row));
}

void TFormOpt::ChgPortClick(QObject *sender)
{
    bool ok = false;
    const int port = Port->text().trimmed().toInt(&ok);
    if (!ok)
        return;
    if (port < 1 || port > 65535) {
        if (sender) {
            MessageDlg(QStringLiteral("Der Port muss eine Zahl von 1 bis 65535 sein."), TMsgDlgType::Warning,
                       TMsgDlgButtons::OK);
        } else if (NETZ) {
            // A stored port that cannot be one: the sockets keep theirs.
            Port->setText(QString::number(NETZ->Port));
        }
        return;
    }
    if (NETZ && !NETZ->SetPort(port)) {
        // The sockets keep the port they had; say so, and show it.
        const QString rest = NETZ->IsListenerActive()
                                 ? QStringLiteral("Es wird weiter Port %1 benutzt.").arg(NETZ->Port)
                                 : QStringLiteral("Der Empfang ist ausgeschaltet.");
        MessageDlg(QStringLiteral("Der Port %1 konnte nicht geöffnet werden.\n").arg(port) + rest, TMsgDlgType::Error,
                   TMsgDlgButtons::OK);
        Port->setText(QString::number(NETZ->Port));
        return;
    }
    Port->setText(QString::number(port));
    RegWriteString(QStringLiteral("Port"), Port->text());
}

void TFormOpt::schliessenClick()
{
    close();
    closedFromOutside();
}

void TFormOpt::closedFromOutside()
{
    if (FormStart)
        FormStart->show();
}

// ---- hover and help cursor ------------------------------------------------------------

void TFormOpt::BTC91MouseEnter(TLabel *label)
{
    if (label->isEnabled())
        label->SetFontSize(10, true);
}

void TFormOpt::BTC91MouseLeave(TLabel *label)
{
    label->SetFontSize(8, true);
}

void TFormOpt::BTC91MouseMove(QWidget *control, Qt::KeyboardModifiers shift)
{
    SetHelpCursor(control, shift);
}

// ---- tabs ---------------------------------------------------------------------------------

void TFormOpt::Tab_AussehenClick(QObject *sender)
{
    ShowTab(GetControlTag(sender));
}
