#include "competitions/UDuell.h"

#include "core/USonstiges.h"

TFormDuell *FormDuell = nullptr;

TFormDuell::TFormDuell(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QStringLiteral("Duell"));
    resize(387, 261);
    Spieler1 = new TLabel(this, QStringLiteral("Name1"));
    Spieler2 = new TLabel(this, QStringLiteral("Name2"));
    MitM = new TLabel(this);
    MitM->hide();
}

void TFormDuell::SetPlayerColour(TLabel *player, int32_t bgr)
{
    player->Tag = bgr;
    player->setAutoFillBackground(true);
    QPalette pal = player->palette();
    pal.setColor(QPalette::Window, ColorFromBGR(bgr));
    player->setPalette(pal);
}

void TFormDuell::SetMitSpielen(bool on) { MitM->Tag = on ? 1 : 0; }
