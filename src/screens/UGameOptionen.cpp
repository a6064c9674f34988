#include "screens/UGameOptionen.h"

#include "competitions/UChallenge.h"
#include "competitions/Ughost.h"
#include "core/UFeld.h"
#include "core/ULog.h"
#include "core/UQuadrivo.h"
#include "core/USonstiges.h"
#include "core/USystem.h"
#include "net/UNETZ.h"
#include "screens/UInfo.h"
#include "screens/UOptionen.h"
#include "screens/UStart.h"
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

std::function<void(int)> &helpObserver()
{
    static std::function<void(int)> observer;
    return observer;
}

constexpr int kWidth = 355;
constexpr int kHelpCursor = -20;

bool inHelpMode()
{
    return Form1 && Form1->HelpCursor == kHelpCursor;
}

void showHelp(int topic)
{
    if (helpObserver())
        helpObserver()(topic);
    if (FormInfo)
        FormInfo->ShowHelp(topic);
}

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

void SetHelpTopicObserver(std::function<void(int)> observer)
{
    helpObserver() = std::move(observer);
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

    // Option pictures and their captions share a Tag; both go to ButtonClick.
    auto picture = [this](QWidget *parent, int tag, int x, int y) {
        auto *im = new TImage(parent);
        im->Tag = tag;
        im->setGeometry(x, y + 1, 16, 16);
        im->setCursor(Qt::PointingHandCursor);
        connect(im, &TImage::Click, this, [this, im] { ButtonClick(im); });
        connect(im, &TImage::MouseMove, this,
                [this, im](Qt::KeyboardModifiers shift, int, int) { OK_LabelMouseMove(im, shift); });
        return im;
    };
    auto caption = [this](QWidget *parent, int tag, const QString &text, int x, int y, int w) {
        auto *l = new TLabel(parent, text);
        l->Tag = tag;
        l->setGeometry(x, y, w, 18);
        MakeCaptionButton(l);
        connect(l, &TLabel::Click, this, [this, l] { ButtonClick(l); });
        connect(l, &TLabel::MouseMove, this,
                [this, l](Qt::KeyboardModifiers shift, int, int) { OK_LabelMouseMove(l, shift); });
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
    auto panel = [this](QWidget *parent, int x, int y, int w, int h) {
        auto *p = new TPanel(parent);
        p->setGeometry(x, y, w, h);
        connect(p, &TPanel::Click, this, [this, p] { Panel3Click(p); });
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

QString TFormGO::LevelName(int level)
{
    static const char *const names[] = {"Leicht", "Mittel", "Schwer", "Profi"};
    if (level >= 0 && level <= 3)
        return QString::fromLatin1(names[level]);
    if (level >= 10 && level <= 13)
        return QString::fromLatin1(names[level - 10]) + QStringLiteral("(Import)");
    return QString();
}

QString TFormGO::RatingName(int rating)
{
    return rating >= 1 && rating <= 4 ? LevelName(rating - 1) : QString();
}

// ---- setters ------------------------------------------------------------------

void TFormGO::SetGameType(int t)
{
    // A stored or received type outside the known ones counts as Sudoku.
    if (t < 1 || t > 5)
        t = 1;
    for (TImage *im : {Sud_1, Sud_2, Sud_4})
        tick(im, false);
    for (QWidget *w :
         {static_cast<QWidget *>(Label5), static_cast<QWidget *>(BingoMax), static_cast<QWidget *>(rb_AI),
          static_cast<QWidget *>(rb_AZ), static_cast<QWidget *>(rb_Zahlen), static_cast<QWidget *>(rb_Felder),
          static_cast<QWidget *>(rb_alternate), static_cast<QWidget *>(rb_random), static_cast<QWidget *>(rb_fest),
          static_cast<QWidget *>(rb_Bingo_voll), static_cast<QWidget *>(rb_Bingo_leer)})
        w->setEnabled(false);

    int type = t;
    if (t == 1) {
        tick(Sud_1, true);
    } else if (t == 4) {
        tick(Sud_4, true);
    } else {
        tick(Sud_2, true);
        rb_AI->setEnabled(true);
        rb_AZ->setEnabled(true);
        if (t == 2)
            rb_AI->setChecked(true);
        else if (t == 3)
            rb_AZ->setChecked(true);
        type = rb_AZ->isChecked() ? 3 : 2;
    }

    if (type == 4) {
        RegWriteInteger(QStringLiteral("AnzBingo"), BingoMax->Value());
        BingoM->Tag = 1;
        Sud19M->Tag = 1;
        for (QWidget *w : {static_cast<QWidget *>(Label5), static_cast<QWidget *>(BingoMax),
                           static_cast<QWidget *>(rb_Zahlen), static_cast<QWidget *>(rb_Felder),
                           static_cast<QWidget *>(rb_Bingo_voll), static_cast<QWidget *>(rb_Bingo_leer)})
            w->setEnabled(true);
        const bool changing = rb_Bingo_leer->isChecked();
        rb_alternate->setEnabled(changing);
        rb_random->setEnabled(changing);
        rb_fest->setEnabled(changing);
    } else {
        BingoM->Tag = 0;
        Sud19M->Tag = type;
    }
    UpdateArtLabel();
    RegWriteInteger(QStringLiteral("Spielart"), type);
    SendGameOptions();
}

void TFormGO::UpdateArtLabel()
{
    if (!Form1)
        return;
    QString text;
    if (BingoM->Tag != 0) {
        QString suffix;
        if (rb_Bingo_leer->isChecked()) {
            if (rb_fest->isChecked())
                suffix = rb_Zahlen->isChecked() ? QStringLiteral(" Zahlen") : QStringLiteral(" Felder");
            else if (rb_random->isChecked())
                suffix = QStringLiteral(" Zufall");
            else
                suffix = QStringLiteral(" wechselnd");
        }
        text = QStringLiteral("Bingo(%1%2) ").arg(BingoMax->Value()).arg(suffix) +
               (rb_Bingo_voll->isChecked() ? QStringLiteral("auffüllen") : QStringLiteral("wenn leer"));
    } else if (Sud19M->Tag == 2) {
        text = QStringLiteral("Mojidoku(A-I)");
    } else if (Sud19M->Tag == 3) {
        text = QStringLiteral("Mojidoku(A-Z)");
    } else {
        text = QStringLiteral("Sudoku");
    }
    Form1->art_label->setText(text);
}

void TFormGO::SetLevel(int l)
{
    if (l >= 15)
        l = 0;
    if (FormGhost && FormGhost->GhostMode && l > 9) {
        l -= 10;
        SetImport(1);
    }
    // "level" is shared with the internet client (1..4): nothing outside the
    // game's own range may select a puzzle list that does not exist.
    if (l < 0 || l > 3)
        l = 0;
    RegWriteInteger(QStringLiteral("level"), l);
    GradM->Tag = l;
    TImage *const grad[] = {Grad_1, Grad_2, Grad_3, Grad_4};
    for (TImage *im : grad)
        tick(im, false);
    tick(grad[l], true);
    const QString suffix = ImpM->Tag == 1 ? QStringLiteral(" (Import)") : QString();
    if (Form1) {
        Form1->grad_label->setText(LevelName(l) + suffix);
        TFileListBox *box = Form1->FileBox;
        box->Mask = ImportMaskForLevel(l);
        if (!box->SetDirectory(QDir::fromNativeSeparators(ImportDir->text()))) {
            // The folder has gone: keep the one the list has (the program's
            // folder when it never had one) and store it.
            if (box->Directory().isEmpty())
                box->SetDirectory(ProgramDir());
            else
                box->Update();
            ImportDir->setText(QDir::toNativeSeparators(box->Directory()));
            RegWriteString(QStringLiteral("ImportPath"), ImportDir->text());
        }
    }
    SendGameOptions();
}

void TFormGO::SetLevelFromGhostFile(int coded)
{
    if (coded >= 10 && coded <= 13) {
        SetImport(1);
        SetLevel(coded - 10);
        return;
    }
    if (ImpM->Tag == 1)
        SetImport(0);
    SetLevel(coded);
}

void TFormGO::SetRating(int r)
{
    if (!BTC64->isEnabled())
        return;
    if (r < 1 || r > 4)
        r = 1;
    RegWriteInteger(QStringLiteral("bewertung"), r);
    RegM->Tag = r;
    TImage *const reg[] = {Reg_1, Reg_2, Reg_3, Reg_4};
    for (TImage *im : reg)
        tick(im, false);
    tick(reg[r - 1], true);
    if (Form1)
        Form1->Regel_label->setText(RatingName(r));
    SendGameOptions();
}

void TFormGO::SetImport(int v)
{
    v = v != 0 ? 1 : 0;
    RegWriteInteger(QStringLiteral("Import"), v);
    ImpM->Tag = v;
    if (v == 1) {
        ImportDir->setEnabled(true);
        BTC103->setEnabled(true);
        BTC104->setEnabled(true);
        tick(Import_1, true);
    } else {
        ImportDir->setEnabled(false);
        SetRotation(0);
        SetMix(0);
        BTC103->setEnabled(false);
        BTC104->setEnabled(false);
        tick(Import_1, false);
    }
    if (isVisible())
        SetLevel(GetLevel());
}

void TFormGO::SetRotation(int v)
{
    if (!BTC103->isEnabled())
        return;
    RotM->Tag = v != 0 ? 1 : 0;
    tick(Rot_1, v != 0);
    RegWriteInteger(QStringLiteral("Rotation"), v);
}

void TFormGO::SetMix(int v)
{
    if (!BTC104->isEnabled())
        return;
    MixM->Tag = v != 0 ? 1 : 0;
    tick(Mix_1, v != 0);
    RegWriteInteger(QStringLiteral("Mixen"), v);
}

void TFormGO::SetEvaluation(int v)
{
    if (!BTC112->isEnabled())
        return;
    SofortM->Tag = v != 0 ? 1 : 0;
    tick(sofort_1, v != 0);
    tick(sofort_2, v == 0);
    if (Form1)
        Form1->Auswertung_Label->setText(v != 0 ? QStringLiteral("sofort nach Eingabe")
                                                : QStringLiteral("nach letztem Feld"));
    RegWriteInteger(QStringLiteral("Durchspielen"), v);
}

void TFormGO::SetOwnBoard(int v)
{
    if (!BTC110->isEnabled())
        return;
    EigenM->Tag = v != 0 ? 1 : 0;
    tick(eigen_1, v != 0);
    tick(eigen_2, v == 0);
    if (Form1)
        Form1->spielfeld_Label->setText(v != 0 ? QStringLiteral("jeder ein eigenes")
                                               : QStringLiteral("alle ein gemeinsames"));
    RegWriteInteger(QStringLiteral("eigenesfeld"), v);
}

void TFormGO::SetMaxMarks(int n)
{
    // Store what the spin edit can show, so code and settings agree.
    n = qBound(MaxMerker->minimum(), n, MaxMerker->maximum());
    RegWriteInteger(QStringLiteral("AnzMerker"), n);
    MaxMerker->setValue(n);
    UpdateMarkerLabel();
}

void TFormGO::SetMarkBonus(int v)
{
    BonusMerkerM->Tag = v != 0 ? 1 : 0;
    tick(BonusMerker_1, v != 0);
    UpdateMarkerLabel();
    RegWriteInteger(QStringLiteral("BonusMerker"), v);
}

void TFormGO::UpdateMarkerLabel()
{
    if (!Form1)
        return;
    Form1->Merker_label->setText(QStringLiteral("je Feld : ") + QString::number(MaxMerker->Value()) +
                                 (HasMarkBonus() ? QStringLiteral(" + Bonus") : QString()));
}

void TFormGO::ApplyOptionRules()
{
    const bool multi = FormStart && FormStart->PlayMode == 20;
    auto enable = [](std::initializer_list<TLabel *> labels, bool on) {
        for (TLabel *l : labels)
            l->setEnabled(on);
    };
    // A forced choice is set with its captions enabled, so that it takes hold
    // whatever an earlier pass locked, and locked afterwards.
    if (IsBingoActive()) {
        enable({BTC110, BTC111, BTC112, BTC113}, true);
        SetEvaluation(1);
        SetOwnBoard(multi ? 0 : 1);
        enable({BTC110, BTC111, BTC112, BTC113}, false);
    } else {
        enable({BTC110, BTC111}, true);
        if (!multi) {
            SetOwnBoard(1);
            enable({BTC110, BTC111}, false);
        }
        enable({BTC112, BTC113}, true);
        if (multi && !IsOwnBoard()) {
            SetEvaluation(1);
            enable({BTC112, BTC113}, false);
        }
    }
    if (GetRating() != 4) {
        BTC115->setEnabled(false);
        SetMarkBonus(0);
    } else {
        BTC115->setEnabled(true);
    }
    if (Form1 && FormOpt)
        Form1->Tabelle_kopf->SetPicture(FormOpt->pic_Tabelle_kopf->Picture());
}

// ---- event handlers ---------------------------------------------------------------

void TFormGO::ButtonClick(QObject *sender)
{
    if (!isVisible() || !sender)
        return;
    // A picture whose caption is locked ignores the click.
    const std::pair<QObject *, TLabel *> locked[] = {{sofort_1, BTC112}, {sofort_2, BTC113}, {eigen_1, BTC110},
                                                     {eigen_2, BTC111},  {Sud_4, BTC_Bingo}, {Sud_2, BTC36}};
    for (const auto &[picture, label] : locked)
        if (sender == picture && !label->isEnabled())
            return;

    if (inHelpMode()) {
        const QObject *const sudoku[] = {Sud_1, BTC35};
        const QObject *const bingo[] = {Sud_4, BTC_Bingo, BingoMax, Label5, Panel3, rb_Bingo_voll, rb_Bingo_leer};
        const QObject *const rating[] = {Reg_1, Reg_2, Reg_3, Reg_4, BTC64, BTC65, BTC66, BTC67, BTC115, BonusMerker_1};
        auto in = [sender](const auto &list) {
            return std::find(std::begin(list), std::end(list), sender) != std::end(list);
        };
        if (in(sudoku))
            showHelp(12);
        else if (in(bingo))
            showHelp(13);
        else if (in(rating))
            showHelp(14);
        return;
    }

    const int tag = GetControlTag(sender);
    switch (tag) {
    case 35:
        SetGameType(1);
        break;
    case 36:
        SetGameType(5);
        break;
    case 60:
    case 61:
    case 62:
    case 63:
        SetLevel(tag - 60);
        break;
    case 64:
    case 65:
    case 66:
    case 67:
        SetRating(tag - 63);
        break;
    case 101: {
        const std::pair<QObject *, std::pair<const char *, int>> choices[] = {
            {rb_Bingo_voll, {"BingoArt", 1}}, {rb_Bingo_leer, {"BingoArt", 2}}, {rb_Zahlen, {"BingoModus", 1}},
            {rb_Felder, {"BingoModus", 2}},   {rb_fest, {"BingoFest", 0}},      {rb_alternate, {"BingoFest", 1}},
            {rb_random, {"BingoFest", 2}}};
        for (const auto &[radio, value] : choices)
            if (sender == radio)
                RegWriteInteger(QString::fromLatin1(value.first), value.second);
        SetGameType(4);
        break;
    }
    case 102:
        SetImport(ImpM->Tag == 1 ? 0 : 1);
        SendGameOptions();
        break;
    case 103:
        SetRotation(RotM->Tag == 1 ? 0 : 1);
        SendGameOptions();
        break;
    case 104:
        SetMix(MixM->Tag == 1 ? 0 : 1);
        SendGameOptions();
        break;
    case 110:
        SetOwnBoard(1);
        SendGameOptions();
        break;
    case 111:
        SetOwnBoard(0);
        SendGameOptions();
        break;
    case 112:
        SetEvaluation(1);
        SendGameOptions();
        break;
    case 113:
        SetEvaluation(0);
        SendGameOptions();
        break;
    case 114:
        SetMaxMarks(MaxMerker->Value());
        SendGameOptions();
        break;
    case 115:
        SetMarkBonus(BonusMerkerM->Tag == 1 ? 0 : 1);
        SendGameOptions();
        break;
    default:
        break;
    }
    ApplyOptionRules();
}

void TFormGO::ButtonEnter(TLabel *label)
{
    if (label->isEnabled())
        label->SetFontSize(9, true);
}

void TFormGO::ButtonExit(TLabel *label)
{
    label->SetFontSize(8, false);
}

void TFormGO::OK_LabelMouseMove(QWidget *control, Qt::KeyboardModifiers shift)
{
    SetHelpCursor(control, shift);
}

void TFormGO::Panel3Click(QObject *sender)
{
    if (inHelpMode() && (sender == Label5 || sender == Panel3))
        showHelp(13);
}

void TFormGO::Tab_SpielartClick(QObject *sender)
{
    ShowTab(GetControlTag(sender));
}

void TFormGO::ImportDirClick()
{
    if (!ImportDir->isEnabled())
        return;
    const QString filter = QStringLiteral("Alle Sudokus (*.sudoku);;Leichte Sudokus (l*.sudoku);;"
                                          "Mittlere Sudokus (m*.sudoku);;Schwere Sudokus (s*.sudoku);;"
                                          "Profi Sudokus (p*.sudoku)");
    const QString file =
        Dialogs()->OpenFileName(this, QStringLiteral("Öffnen"), QDir::fromNativeSeparators(ImportDir->text()), filter);
    if (file.isEmpty())
        return;
    const QString folder = QDir::toNativeSeparators(QFileInfo(file).absolutePath());
    ImportDir->setText(folder);
    if (Form1)
        Form1->FileBox->SetDirectory(QDir::fromNativeSeparators(folder));
    RegWriteString(QStringLiteral("ImportPath"), folder);
}

void TFormGO::BTC_StartenClick()
{
    if (FormGhost && FormGhost->NewGhostFile) {
        // Preparing a ghost file starts no game: back to the ghost window.
        close();
        FormGhost->show();
        return;
    }
    if (FormCha && FormCha->NeedNewGame) {
        if (!Form1 || !Form1->PrepareNewGame()) {
            TraceCat(9, QStringLiteral("Datei bei getEtappe nicht gefunden."));
            return;
        }
        FormCha->StageGameCode = Form1->BuildPuzzleString() + Form1->BuildOptionsCode();
    }
    close();
    if (Form1)
        Form1->StartGame();
}

void TFormGO::BTC_StartenMouseEnter()
{
    if (BTC_Starten->isEnabled())
        BTC_Starten->SetFontSize(9, true);
}

void TFormGO::BTC_StartenMouseLeave()
{
    BTC_Starten->SetFontSize(8, false);
}

void TFormGO::BTC_ZurueckClick()
{
    close();
    if (FormGhost && FormGhost->NewGhostFile)
        FormGhost->show();
    else if (!FormCha || (!FormCha->ChallengeActive && !FormCha->TournamentActive)) {
        if (FormStart)
            FormStart->show();
    } else {
        FormCha->show();
    }
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
    if (event->type() == QEvent::MouseMove)
        if (auto *w = qobject_cast<QWidget *>(watched))
            OK_LabelMouseMove(w, static_cast<QMouseEvent *>(event)->modifiers());
    return QWidget::eventFilter(watched, event);
}
