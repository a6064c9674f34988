#include "net/USucheSpiele.h"

TFormSucheSpiele *FormSucheSpiele = nullptr;

TFormSucheSpiele::TFormSucheSpiele(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Suche Spiele"));
}

void TFormSucheSpiele::ShowTab(int) {}
