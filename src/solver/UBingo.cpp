#include "solver/UBingo.h"

#include "screens/UGameOptionen.h"

TFormBingo *FormBingo = nullptr;

TFormBingo::TFormBingo(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QStringLiteral("Bingo"));
}

void SetBingoFill(int mode)
{
    if (mode == 1)
        FormGO->rb_Bingo_voll->setChecked(true);
    else if (mode == 2)
        FormGO->rb_Bingo_leer->setChecked(true);
    const bool on = FormGO->rb_Bingo_leer->isChecked() && FormGO->rb_Bingo_leer->isEnabled();
    FormGO->rb_alternate->setEnabled(on);
    FormGO->rb_random->setEnabled(on);
    FormGO->rb_fest->setEnabled(on);
}

void SetBingoKind(int kind)
{
    if (kind == 1)
        FormGO->rb_Zahlen->setChecked(true);
    else if (kind == 2)
        FormGO->rb_Felder->setChecked(true);
}

void SetBingoChange(int mode)
{
    if (mode == 0)
        FormGO->rb_fest->setChecked(true);
    else if (mode == 1)
        FormGO->rb_alternate->setChecked(true);
    else if (mode == 2)
        FormGO->rb_random->setChecked(true);
}

bool IsBingoActive() { return FormGO && FormGO->BingoM->Tag == 1; }

void ClearBingoList() {}
