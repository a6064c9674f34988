#include "competitions/UChallenge.h"

TFormCha *FormCha = nullptr;
QString ChallengeFileName;

TFormCha::TFormCha(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Challenge"));
    RB1 = new TRadioButton(this);
    RB2 = new TRadioButton(this);
    RB3 = new TRadioButton(this);
}

void TFormCha::SetTurnierEndeArt(int n)
{
    if (n == 1)
        RB1->setChecked(true);
    else if (n == 2)
        RB2->setChecked(true);
    else if (n == 3)
        RB3->setChecked(true);
}

void TFormCha::SetupChallenge() {}

void TFormCha::SetupTournament() {}
