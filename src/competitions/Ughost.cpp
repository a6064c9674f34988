#include "competitions/Ughost.h"

TFormGhost *FormGhost = nullptr;

TFormGhost::TFormGhost(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Ghost"));
}
