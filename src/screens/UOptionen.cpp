#include "screens/UOptionen.h"

#include "core/USonstiges.h"
#include "net/UNETZ.h"

TFormOpt *FormOpt = nullptr;

TFormOpt::TFormOpt(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QStringLiteral("Optionen"));
    auto marker = [this] {
        auto *l = new TLabel(this);
        l->hide();
        return l;
    };
    FabM = marker();
    tastaturM = marker();
    soundM = marker();
    SpanBlock = new TSpinEdit(this, 1, 15, 6);
    SpanZelle = new TSpinEdit(this, 1, 15, 3);
    SizeMerker = new TSpinEdit(this, 1, 18, 14);
    SizeZahlen = new TSpinEdit(this, 1, 24, 8);
    TImage **pics[] = {&im1, &Im2, &Im3, &Im4, &Im5, &Im6, &Im7, &Im8};
    for (TImage **p : pics)
        *p = new TImage(this);
    NickName = new TLabeledEdit(this, QStringLiteral("Spielername :"));
    SelfIp = new TLabeledEdit(this, QStringLiteral("Eigene IP :"));
    IPAdressen = new TListBox(this);
    Port = new TLabeledEdit(this, QStringLiteral("Port :"));
    Port->setText(QStringLiteral("2401"));
}

TImage *TFormOpt::ColourImage(int p) const
{
    TImage *const pics[] = {nullptr, im1, Im2, Im3, Im4, Im5, Im6, Im7, Im8};
    return p >= 1 && p <= 8 ? pics[p] : nullptr;
}

void TFormOpt::SetFoundColored(int v)
{
    FabM->Tag = v != 0 ? 1 : 0;
    RegWriteInteger(QStringLiteral("foundcolored"), v);
}

void TFormOpt::SetSound(int v)
{
    soundM->Tag = v != 0 ? 1 : 0;
    RegWriteInteger(QStringLiteral("Sound"), v);
}

void TFormOpt::SetKeyboard(int v)
{
    tastaturM->Tag = v != 0 ? 1 : 0;
    RegWriteInteger(QStringLiteral("alltastatur"), v);
}

void TFormOpt::ApplyColours() {}

void TFormOpt::ApplySkin() {}

void TFormOpt::im1Click(QObject *) {}

void TFormOpt::ChgPortClick()
{
    bool ok = false;
    const int port = Port->text().trimmed().toInt(&ok);
    if (!ok || port <= 0 || port > 65535)
        return;
    if (NETZ)
        NETZ->SetPort(port);
}
