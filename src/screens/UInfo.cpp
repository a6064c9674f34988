#include "screens/UInfo.h"

TFormInfo *FormInfo = nullptr;

TFormInfo::TFormInfo(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Info"));
    Label1 = new TLabel(this);
    Label1->setGeometry(10, 10, 200, 20);
}

void TFormInfo::ShowHelp(int) { show(); }
