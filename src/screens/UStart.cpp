#include "screens/UStart.h"

#include "core/UQuadrivo.h"

TFormStart *FormStart = nullptr;

TFormStart::TFormStart(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QStringLiteral("Spielstart"));
    resize(340, 400);
}

void TFormStart::ShowStartTab(int) {}

void TFormStart::Tab_EinzelspielerClick(QObject *)
{
    PlayMode = 10;
    ShowStartTab(PlayMode);
    if (Form1)
        Form1->SinglePlayerGame = PlayMode == 10;
}
