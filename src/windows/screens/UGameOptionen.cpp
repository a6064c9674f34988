#include "screens/UGameOptionen.h"

#include "board/UFeld.h"
#include "board/ULog.h"
#include "board/UQuadrivo.h"
#include "codes/UQuadrivo_Codes.h"
#include "competitions/UChallenge.h"
#include "competitions/Ughost.h"
#include "net/UNETZ.h"
#include "screens/UInfo.h"
#include "screens/UOptionen.h"
#include "screens/UStart.h"
#include "settings/USonstiges.h"
#include "settings/USystem.h"
#include "solver/UBingo.h"
#include "ui/DialogService.h"

#include <QDir>
#include <QFileInfo>
#include <QMouseEvent>

TFormGO *FormGO = nullptr;

namespace {
std::function<void()> &sendObserver()
{
    static std::function<void()> observer;
    return observer;
}

constexpr int kWidth = 355;

TLabel *heading(QWidget *parent, const QString &text, int x, int y, int w = 150)
{
    auto *l = new TLabel(parent, text);
    l->SetFontSize(8, true);
    l->setGeometry(x, y, w, 16);
    return l;
}
} // namespace

void SendGameOptions()
{
    if (sendObserver())
        sendObserver()();
    if (NETZ)
        NETZ->SendOptions();
}

void SetSendOptionsObserver(std::function<void()> observer)
{
    sendObserver() = std::move(observer);
}

QString ImportMaskForLevel(int level)
{
    static const char *const masks[] = {"l*.sudoku", "m*.sudoku", "s*.sudoku", "p*.sudoku"};
    return level >= 0 && level <= 3 ? QString::fromLatin1(masks[level]) : QString();
}

// ---- the window -------------------------------------------------------------

TFormGO::TFormGO(QWidget *parent)
    : TOptionWindow(parent, QStringLiteral("Spiel Einstellungen"), QStringLiteral("Spieleinstellungen :"), kWidth)
{
    buildControls();
    FormCreate();
}

void TFormGO::buildControls()
{
    auto marker = [this](int tag) {
        auto *l = new TLabel(this);
        l->Tag = tag;
        l->hide();
        return l;
    };
    Sud19M = marker(1);
    BingoM = marker(0);
    GradM = marker(0);
    ImpM = marker(0);
    RotM = marker(0);
    MixM = marker(0);
    RegM = marker(1);
    SofortM = marker(1);
    EigenM = marker(0);
    BonusMerkerM = marker(0);

    const auto help = [this](QWidget *c, Qt::KeyboardModifiers shift) { OK_LabelMouseMove(c, shift); };
    // Option pictures and their captions share a Tag; both go to ButtonClick.
    auto picture = [this, help](QWidget *parent, int tag, int x, int y) {
        auto *im = new TImage(parent);
        im->Tag = tag;
        im->setGeometry(x, y + 1, 16, 16);
        im->setCursor(Qt::PointingHandCursor);
        connect(im, &TImage::Click, this, [this, im] { ButtonClick(im); });
        WireHelpCursor(im, help);
        return im;
    };
    auto caption = [this, help](QWidget *parent, int tag, const QString &text, int x, int y, int w) {
        auto *l = new TLabel(parent, text);
        l->Tag = tag;
        l->setGeometry(x, y, w, 18);
        MakeCaptionButton(l);
        connect(l, &TLabel::Click, this, [this, l] { ButtonClick(l); });
        WireHelpCursor(l, help);
        return l;
    };
    auto radio = [this](QWidget *parent, int tag, const QString &text, int x, int w) {
        auto *rb = new TRadioButton(parent, text);
        rb->Tag = tag;
        rb->setGeometry(x, 0, w, 20);
        rb->setMouseTracking(true);
        rb->installEventFilter(this);
        connect(rb, &QRadioButton::clicked, this, [this, rb] { ButtonClick(rb); });
        return rb;
    };
    auto spin = [this](QWidget *parent, int tag, int lo, int hi, int value, int x, int y) {
        auto *s = new TSpinEdit(parent, lo, hi, value);
        s->Tag = tag;
        s->setGeometry(x, y, 46, 22);
        s->setMouseTracking(true);
        s->installEventFilter(this);
        connect(s, &QSpinBox::valueChanged, this, [this, s] { ButtonClick(s); });
        return s;
    };
    auto panel = [this, help](QWidget *parent, int x, int y, int w, int h) {
        auto *p = new TPanel(parent);
        p->setGeometry(x, y, w, h);
        connect(p, &TPanel::Click, this, [this, p] { Panel3Click(p); });
        WireHelpCursor(p, help);
        return p;
    };

    Panel_Spielart = addTab(1, QStringLiteral("Spielart"), IM_Spielart, Tab_Spielart);
    Panel_Schwierigkeit = addTab(2, QStringLiteral("Schwierigkeit"), IM_Schwierigkeit, Tab_Schwierigkeit);
    Panel_Bewertung = addTab(3, QStringLiteral("Bewertung"), IM_Bewertung, tab_Bewertung);

    // ---- game type, Bingo, board sharing, evaluation, pencil marks ----
    heading(Panel_Spielart, QStringLiteral("Spielart :"), 10, 6);
    Sud_1 = picture(Panel_Spielart, 35, 14, 26);
    BTC35 = caption(Panel_Spielart, 35, QStringLiteral("Sudoku"), 36, 26, 110);
    Sud_2 = picture(Panel_Spielart, 36, 14, 48);
    BTC36 = caption(Panel_Spielart, 36, QStringLiteral("Mojidoku"), 36, 48, 110);
    Panel_Buchstaben = new TPanel(Panel_Spielart);
    Panel_Buchstaben->setGeometry(160, 47, 180, 20);
    rb_AI = radio(Panel_Buchstaben, 36, QStringLiteral("A - I "), 0, 80);
    rb_AZ = radio(Panel_Buchstaben, 36, QStringLiteral("A - Z"), 85, 80);
    rb_AI->setChecked(true);
    Sud_4 = picture(Panel_Spielart, 101, 14, 70);
    BTC_Bingo = caption(Panel_Spielart, 101, QStringLiteral("Bingo"), 36, 70, 110);

    Panel3 = panel(Panel_Spielart, 30, 92, 315, 108);
    Panel3->setFrameShape(QFrame::Panel);
    Panel3->setFrameShadow(QFrame::Sunken);
    Label5 = new TLabel(Panel3, QStringLiteral("neue Zahl / Feld : "));
    Label5->setGeometry(8, 7, 110, 16);
    connect(Label5, &TLabel::Click, this, [this] { Panel3Click(Label5); });
    WireHelpCursor(Label5, help);
    BingoMax = spin(Panel3, 101, 1, 4, 4, 122, 4);
    BingoFill = panel(Panel3, 8, 30, 300, 20);
    rb_Bingo_voll = radio(BingoFill, 101, QStringLiteral("sofort auffüllen"), 0, 140);
    rb_Bingo_leer = radio(BingoFill, 101, QStringLiteral("wenn Vorgabe leer"), 145, 150);
    rb_Bingo_voll->setChecked(true);
    Panel1 = panel(Panel3, 8, 56, 300, 20);
    rb_Zahlen = radio(Panel1, 101, QStringLiteral("Zahlen"), 0, 140);
    rb_Felder = radio(Panel1, 101, QStringLiteral("Felder"), 145, 140);
    rb_Zahlen->setChecked(true);
    Panel2 = panel(Panel3, 8, 82, 300, 20);
    rb_fest = radio(Panel2, 101, QStringLiteral("Fest"), 0, 90);
    rb_alternate = radio(Panel2, 101, QStringLiteral("Wechselnd"), 95, 100);
    rb_random = radio(Panel2, 101, QStringLiteral("Zufall"), 200, 90);

    heading(Panel_Spielart, QStringLiteral("Spielfeld :"), 10, 208);
    eigen_1 = picture(Panel_Spielart, 110, 14, 228);
    BTC110 = caption(Panel_Spielart, 110, QStringLiteral("jeder ein eigenes"), 36, 228, 130);
    eigen_2 = picture(Panel_Spielart, 111, 14, 250);
    BTC111 = caption(Panel_Spielart, 111, QStringLiteral("eins für alle"), 36, 250, 130);
    heading(Panel_Spielart, QStringLiteral("Auswertung :"), 180, 208);
    sofort_1 = picture(Panel_Spielart, 112, 184, 228);
    BTC112 = caption(Panel_Spielart, 112, QStringLiteral("sofort"), 206, 228, 130);
    sofort_2 = picture(Panel_Spielart, 113, 184, 250);
    BTC113 = caption(Panel_Spielart, 113, QStringLiteral("am Ende"), 206, 250, 130);
    heading(Panel_Spielart, QStringLiteral("Merker :"), 10, 278);
    BTC114 = caption(Panel_Spielart, 114, QStringLiteral("Max Merker je Feld"), 14, 298, 140);
    MaxMerker = spin(Panel_Spielart, 114, 0, 9, 2, 160, 296);
    Panel_Spielart->resize(kWidth, 330);

    // ---- level, import, rotation, mixing, import folder ----
    heading(Panel_Schwierigkeit, QStringLiteral("Schwierigkeit :"), 10, 6);
    TImage **grad[] = {&Grad_1, &Grad_2, &Grad_3, &Grad_4};
    TLabel **gradCaption[] = {&BTC60, &BTC61, &BTC62, &BTC63};
    for (int i = 0; i < 4; ++i) {
        *grad[i] = picture(Panel_Schwierigkeit, 60 + i, 14, 26 + 22 * i);
        *gradCaption[i] = caption(Panel_Schwierigkeit, 60 + i, LevelName(i), 36, 26 + 22 * i, 110);
    }
    heading(Panel_Schwierigkeit, QStringLiteral("Spiele :"), 180, 6);
    Import_1 = picture(Panel_Schwierigkeit, 102, 184, 26);
    BTC102 = caption(Panel_Schwierigkeit, 102, QStringLiteral("Import"), 206, 26, 110);
    Rot_1 = picture(Panel_Schwierigkeit, 103, 184, 48);
    BTC103 = caption(Panel_Schwierigkeit, 103, QStringLiteral("Rotieren"), 206, 48, 110);
    Mix_1 = picture(Panel_Schwierigkeit, 104, 184, 70);
    BTC104 = caption(Panel_Schwierigkeit, 104, QStringLiteral("Mixen"), 206, 70, 110);
    heading(Panel_Schwierigkeit, QStringLiteral("Import Verzeichnis :"), 10, 122, 200);
    ImportDir = new TEdit(Panel_Schwierigkeit);
    ImportDir->setGeometry(14, 142, 326, 22);
    ImportDir->setReadOnly(true);
    ImportDir->setCursor(Qt::PointingHandCursor);
    ImportDir->installEventFilter(this);
    Panel_Schwierigkeit->resize(kWidth, 178);

    // ---- rating and bonus ----
    heading(Panel_Bewertung, QStringLiteral("Bewertung :"), 10, 6);
    TImage **reg[] = {&Reg_1, &Reg_2, &Reg_3, &Reg_4};
    TLabel **regCaption[] = {&BTC64, &BTC65, &BTC66, &BTC67};
    for (int i = 0; i < 4; ++i) {
        *reg[i] = picture(Panel_Bewertung, 64 + i, 14, 26 + 22 * i);
        *regCaption[i] = caption(Panel_Bewertung, 64 + i, RatingName(i + 1), 36, 26 + 22 * i, 110);
    }
    heading(Panel_Bewertung, QStringLiteral("Merker :"), 10, 122);
    BonusMerker_1 = picture(Panel_Bewertung, 115, 14, 142);
    BTC115 = caption(Panel_Bewertung, 115, QStringLiteral("Bonus für nichtbenutzte Merker"), 36, 142, 260);
    Panel_Bewertung->resize(kWidth, 176);

    // ---- footer ----
    BIM_Zurueck = new TImage(Panel_footer);
    BIM_Zurueck->setGeometry(10, 7, 100, 26);
    BTC_Zurueck = new TLabel(Panel_footer, QStringLiteral("Zurück"));
    BTC_Zurueck->setGeometry(BIM_Zurueck->geometry());
    BIM_Starten = new TImage(Panel_footer);
    BIM_Starten->setGeometry(kWidth - 110, 7, 100, 26);
    BTC_Starten = new TLabel(Panel_footer, QStringLiteral("Starten"));
    BTC_Starten->setGeometry(BIM_Starten->geometry());
    for (TLabel *l : {BTC_Zurueck, BTC_Starten}) {
        l->setAlignment(Qt::AlignCenter);
        l->setCursor(Qt::PointingHandCursor);
    }
    MakeCaptionButton(BTC_Zurueck);
    connect(BTC_Zurueck, &TLabel::Click, this, &TFormGO::BTC_ZurueckClick);
    connect(BTC_Starten, &TLabel::Click, this, &TFormGO::BTC_StartenClick);
    connect(BTC_Starten, &TLabel::MouseEnter, this, &TFormGO::BTC_StartenMouseEnter);
    connect(BTC_Starten, &TLabel::MouseLeave, this, &TFormGO::BTC_StartenMouseLeave);
    BIM_Zurueck->setObjectName(QStringLiteral("BIM_Zurueck"));
    BIM_Starten->setObjectName(QStringLiteral("BIM_Starten"));

    for (QWidget *w :
         {static_cast<QWidget *>(Panel_Buchstaben), static_cast<QWidget *>(Panel3), static_cast<QWidget *>(BingoFill),
          static_cast<QWidget *>(Panel1), static_cast<QWidget *>(Panel2)})
        SetColourRole(w, TColourRole::Menu);

    // The pictures start as the window definition has them: every choice boxed.
    for (TImage *im : {Sud_1, Sud_2, Sud_4, eigen_1, eigen_2, sofort_1, sofort_2, Grad_1, Grad_2, Grad_3, Grad_4,
                       Import_1, Rot_1, Mix_1, Reg_1, Reg_2, Reg_3, Reg_4, BonusMerker_1})
        tick(im, false);
}

void TFormGO::tick(TImage *picture, bool on)
{
    if (!FormOpt)
        return;
    picture->SetPicture((on ? FormOpt->Pic_hacken : FormOpt->pic_box)->Picture());
}

// ---- getters ------------------------------------------------------------------

int TFormGO::GetGameType() const
{
    return BingoM->Tag != 0 ? 4 : Sud19M->Tag;
}
int TFormGO::GetLevel() const
{
    return GradM->Tag;
}
int TFormGO::GetRating() const
{
    return RegM->Tag;
}
bool TFormGO::IsEvaluationImmediate() const
{
    return SofortM->Tag != 0;
}
bool TFormGO::IsOwnBoard() const
{
    return EigenM->Tag == 1;
}
bool TFormGO::HasMarkBonus() const
{
    return BonusMerkerM->Tag == 1;
}

TGameOptionValues TFormGO::Values() const
{
    TGameOptionValues v;
    v.MaxMarks = MaxMerker->value();
    v.MarkBonus = HasMarkBonus();
    v.Level = GradM->Tag;
    v.SymbolKind = Sud19M->Tag;
    v.Import = ImpM->Tag == 1;
    v.ImportDir = ImportDir->text();
    v.Rotation = RotM->Tag == 1;
    v.Mix = MixM->Tag == 1;
    v.Bingo = BingoM->Tag == 1;
    v.BingoMax = BingoMax->value();
    v.BingoFill = rb_Bingo_voll->isChecked() ? 1 : rb_Bingo_leer->isChecked() ? 2 : 0;
    v.BingoFields = rb_Felder->isChecked();
    v.BingoChange = rb_fest->isChecked() ? 0 : rb_alternate->isChecked() ? 1 : rb_random->isChecked() ? 2 : -1;
    v.Immediate = SofortM->Tag == 1;
    v.OwnBoard = IsOwnBoard();
    v.Rating = RegM->Tag;
    return v;
}

QString TFormGO::LevelName(int level)
{
    return GameLevelName(level);
}

QString TFormGO::RatingName(int rating)
{
    return rating >= 1 && rating <= 4 ? LevelName(rating - 1) : QString();
}

// ---- life cycle -----------------------------------------------------------------

void TFormGO::FormShow()
{
    const bool ghostFile = FormGhost && FormGhost->NewGhostFile;
    const bool stage = FormCha && FormCha->NeedNewGame;
    BTC_Starten->setText(stage       ? QStringLiteral("Erweitern")
                         : ghostFile ? QStringLiteral("Erzeugen")
                                     : QStringLiteral("Starten"));
    BTC_Starten->SetFontSize(8, false);
    TOptionWindow::FormShow();
}

bool TFormGO::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ImportDir && event->type() == QEvent::MouseButtonPress) {
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            ImportDirClick();
        return false;
    }
    // The radio buttons and spin edits: a press decides help mode as a move does.
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::MouseButtonPress)
        if (auto *w = qobject_cast<QWidget *>(watched))
            OK_LabelMouseMove(w, static_cast<QMouseEvent *>(event)->modifiers());
    return QWidget::eventFilter(watched, event);
}
