#include "screens/UVorgabe.h"

TVorgabe *Vorgabe = nullptr;

TVorgabe::TVorgabe(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Spiele wiederholen"));
    resize(520, 360);
    GespielteSpiele = new TListBox(this);
    GespielteSpiele->setGeometry(10, 30, 500, 200);
    SpielVorgabe = new TLabeledEdit(this, QStringLiteral("Vorgabe :"));
    SpielVorgabe->setGeometry(10, 260, 500, 22);
    BTC_start = new TLabel(this, QStringLiteral("Starten"));
    BTC_start->setGeometry(300, 320, 90, 24);
    BTC_start->setEnabled(false);
    BTC_Zurueck = new TLabel(this, QStringLiteral("Zurück"));
    BTC_Zurueck->setGeometry(400, 320, 90, 24);
}
