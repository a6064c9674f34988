#include "screens/USpielEnde.h"

TFormSpielEnde *FormSpielEnde = nullptr;

TFormSpielEnde::TFormSpielEnde(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Spielende :"));
}
