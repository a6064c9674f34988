// The game options window: the setters, which keep the controls, markers and
// the option rules in step.
#include "screens/UGameOptionen.h"

#include "board/UFeld.h"
#include "board/ULog.h"
#include "board/UQuadrivo.h"
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

void TFormGO::Apply(const TGameOptionValues &v)
{
    SetMarkBonus(v.MarkBonus ? 1 : 0);
    SetMaxMarks(v.MaxMarks);
    SetOwnBoard(v.OwnBoard ? 1 : 0);
    SetEvaluation(v.Immediate ? 1 : 0);
    SetRating(v.Rating);
    if (v.ImportDir != ImportDir->text()) {
        SetImportDir(v.ImportDir);
        RegWriteString(QStringLiteral("ImportPath"), v.ImportDir);
    }
    SetImport(v.Import ? 1 : 0);
    if (v.Rotation != (RotM->Tag == 1))
        SetRotation(v.Rotation ? 1 : 0);
    if (v.Mix != (MixM->Tag == 1))
        SetMix(v.Mix ? 1 : 0);
    SetGameType(v.SymbolKind);
    SetLevel(v.Level);
    if (v.Bingo) {
        SetBingoChange(v.BingoChange);
        SetBingoKind(v.BingoFields ? 2 : 1);
        SetBingoFill(v.BingoFill);
        SetBingoMaxValue(v.BingoMax);
        SetGameType(4);
    }
}

void TFormGO::SetBingoFill(int mode)
{
    if (mode == 1)
        rb_Bingo_voll->setChecked(true);
    else if (mode == 2)
        rb_Bingo_leer->setChecked(true);
    const bool on = rb_Bingo_leer->isChecked() && rb_Bingo_leer->isEnabled();
    rb_alternate->setEnabled(on);
    rb_random->setEnabled(on);
    rb_fest->setEnabled(on);
}

void TFormGO::SetBingoKind(int kind)
{
    if (kind == 1)
        rb_Zahlen->setChecked(true);
    else if (kind == 2)
        rb_Felder->setChecked(true);
}

void TFormGO::SetBingoChange(int mode)
{
    if (mode == 0)
        rb_fest->setChecked(true);
    else if (mode == 1)
        rb_alternate->setChecked(true);
    else if (mode == 2)
        rb_random->setChecked(true);
}

void TFormGO::SetBingoMaxValue(int n)
{
    BingoMax->setValue(n);
}

void TFormGO::SetMaxMarksValue(int n)
{
    MaxMerker->setValue(n);
}

void TFormGO::SetImportDir(const QString &dir)
{
    ImportDir->setText(dir);
}

void TFormGO::UnlockOptionCaptions()
{
    for (TLabel *caption : {BTC64, BTC110, BTC111, BTC112, BTC113})
        caption->setEnabled(true);
}

void TFormGO::SetSpecialTypesEnabled(bool on)
{
    BTC_Bingo->setEnabled(on);
    BTC36->setEnabled(on);
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
