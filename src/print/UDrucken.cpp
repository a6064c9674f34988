#include "print/UDrucken.h"

TFormDrucken *FormDrucken = nullptr;

TFormDrucken::TFormDrucken(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Drucken"));
}
