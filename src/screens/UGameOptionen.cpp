#include "screens/UGameOptionen.h"

#include "core/UQuadrivo.h"
#include "core/USonstiges.h"
#include "net/UNETZ.h"

TFormGO *FormGO = nullptr;

TFormGO::TFormGO(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QStringLiteral("Spiel Einstellungen"));
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
    BingoMax = new TSpinEdit(this, 1, 4, 4);
    MaxMerker = new TSpinEdit(this, 0, 9, 2);
    ImportDir = new TEdit(this);
    // Each one-of-n choice needs its own parent to be exclusive on its own.
    auto *letters = new QWidget(this);
    auto *fill = new QWidget(this);
    auto *kind = new QWidget(this);
    auto *change = new QWidget(this);
    rb_AI = new TRadioButton(letters, QStringLiteral("A - I "));
    rb_AZ = new TRadioButton(letters, QStringLiteral("A - Z"));
    rb_AI->setChecked(true);
    rb_Bingo_voll = new TRadioButton(fill, QStringLiteral("sofort auffüllen"));
    rb_Bingo_leer = new TRadioButton(fill, QStringLiteral("wenn Vorgabe leer"));
    rb_Zahlen = new TRadioButton(kind, QStringLiteral("Zahlen"));
    rb_Felder = new TRadioButton(kind, QStringLiteral("Felder"));
    rb_Zahlen->setChecked(true);
    rb_fest = new TRadioButton(change, QStringLiteral("Fest"));
    rb_alternate = new TRadioButton(change, QStringLiteral("Wechselnd"));
    rb_random = new TRadioButton(change, QStringLiteral("Zufall"));
}

int TFormGO::GetGameType() const { return BingoM->Tag != 0 ? 4 : Sud19M->Tag; }
int TFormGO::GetLevel() const { return GradM->Tag; }
int TFormGO::GetRating() const { return RegM->Tag; }
bool TFormGO::IsEvaluationImmediate() const { return SofortM->Tag != 0; }
bool TFormGO::IsOwnBoard() const { return EigenM->Tag == 1; }
bool TFormGO::HasMarkBonus() const { return BonusMerkerM->Tag == 1; }

QString TFormGO::LevelName(int level)
{
    static const char *names[] = {"Leicht", "Mittel", "Schwer", "Profi"};
    if (level >= 0 && level <= 3)
        return QString::fromUtf8(names[level]);
    if (level >= 10 && level <= 13)
        return QString::fromUtf8(names[level - 10]) + QStringLiteral("(Import)");
    return QString();
}

QString TFormGO::RatingName(int rating)
{
    return rating >= 1 && rating <= 4 ? LevelName(rating - 1) : QString();
}

void TFormGO::SetGameType(int t)
{
    int type = t;
    if (t == 2)
        rb_AI->setChecked(true);
    else if (t == 3)
        rb_AZ->setChecked(true);
    if (t == 2 || t == 3 || t == 5)
        type = rb_AI->isChecked() ? 2 : 3;
    if (type == 4) {
        RegWriteInteger(QStringLiteral("AnzBingo"), BingoMax->Value());
        BingoM->Tag = 1;
        Sud19M->Tag = 1;
    } else {
        BingoM->Tag = 0;
        Sud19M->Tag = type;
    }
    RegWriteInteger(QStringLiteral("Spielart"), type);
    if (NETZ)
        NETZ->SendOptions();
}

void TFormGO::SetLevel(int l)
{
    if (l >= 15)
        l = 0;
    RegWriteInteger(QStringLiteral("level"), l);
    GradM->Tag = l;
    static const char *masks[] = {"l*.sudoku", "m*.sudoku", "s*.sudoku", "p*.sudoku"};
    if (Form1 && l >= 0 && l <= 3) {
        Form1->FileBox->Mask = QString::fromLatin1(masks[l]);
        if (!Form1->FileBox->SetDirectory(ImportDir->text())) {
            ImportDir->setText(Form1->FileBox->Directory());
            RegWriteString(QStringLiteral("ImportPath"), ImportDir->text());
        }
    }
    if (NETZ)
        NETZ->SendOptions();
}

void TFormGO::SetRating(int r)
{
    RegWriteInteger(QStringLiteral("bewertung"), r);
    RegM->Tag = r;
    if (NETZ)
        NETZ->SendOptions();
}

void TFormGO::SetImport(int v)
{
    RegWriteInteger(QStringLiteral("Import"), v);
    ImpM->Tag = v;
    if (v != 1) {
        SetRotation(0);
        SetMix(0);
    }
}

void TFormGO::SetRotation(int v)
{
    RotM->Tag = v != 0 ? 1 : 0;
    RegWriteInteger(QStringLiteral("Rotation"), v);
}

void TFormGO::SetMix(int v)
{
    MixM->Tag = v != 0 ? 1 : 0;
    RegWriteInteger(QStringLiteral("Mixen"), v);
}

void TFormGO::SetEvaluation(int v)
{
    SofortM->Tag = v != 0 ? 1 : 0;
    RegWriteInteger(QStringLiteral("Durchspielen"), v);
}

void TFormGO::SetOwnBoard(int v)
{
    EigenM->Tag = v != 0 ? 1 : 0;
    RegWriteInteger(QStringLiteral("eigenesfeld"), v);
}

void TFormGO::SetMaxMarks(int n)
{
    RegWriteInteger(QStringLiteral("AnzMerker"), n);
    MaxMerker->setValue(n);
    UpdateMarkerLabel();
}

void TFormGO::SetMarkBonus(int v)
{
    BonusMerkerM->Tag = v != 0 ? 1 : 0;
    UpdateMarkerLabel();
    RegWriteInteger(QStringLiteral("BonusMerker"), v);
}

void TFormGO::ApplyOptionRules() {}

void TFormGO::UpdateMarkerLabel()
{
    if (!Form1)
        return;
    Form1->Merker_label->setText(QStringLiteral("je Feld : ") + QString::number(MaxMerker->Value()) +
                                 (HasMarkBonus() ? QStringLiteral(" + Bonus") : QString()));
}
