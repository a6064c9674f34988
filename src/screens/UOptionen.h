#pragma once
// The program-options window: colours, fonts, gaps, switches, nickname, port.

#include "ui/Controls.h"

#include <QWidget>

class TFormOpt : public QWidget {
    Q_OBJECT
public:
    explicit TFormOpt(QWidget *parent = nullptr);

    TLabel *FabM = nullptr;
    TLabel *tastaturM = nullptr;
    TLabel *soundM = nullptr;
    int32_t MenueColorValue = 0x005EBB;
    int32_t FeldColorValue = 0x409FFF;
    int32_t TrennColor1Value = 0x003366;
    int32_t TrennColor2Value = 0xFFFFFF;
    int32_t Merker1ColorValue = 0x00FF00;
    int32_t Merker2ColorValue = 0x00FFFF;
    TSpinEdit *SpanBlock = nullptr;
    TSpinEdit *SpanZelle = nullptr;
    TSpinEdit *SizeMerker = nullptr;
    TSpinEdit *SizeZahlen = nullptr;
    // Player colour pictures: im1 own, Im2..Im8 the others; colour in Tag.
    TImage *im1 = nullptr, *Im2 = nullptr, *Im3 = nullptr, *Im4 = nullptr;
    TImage *Im5 = nullptr, *Im6 = nullptr, *Im7 = nullptr, *Im8 = nullptr;
    TLabeledEdit *NickName = nullptr;
    TLabeledEdit *SelfIp = nullptr;
    TListBox *IPAdressen = nullptr;
    TLabeledEdit *Port = nullptr;
    bool FirstActivate = true;

    // Colour picture of player colour slot p (1..8).
    TImage *ColourImage(int p) const;

    bool IsSoundOn() const { return soundM->Tag == 1; }
    bool IsKeyboardOn() const { return tastaturM->Tag == 1; }
    void SetFoundColored(int v);
    void SetSound(int v);
    void SetKeyboard(int v);
    void ApplyColours();
    void ApplySkin();
    void im1Click(QObject *sender);
    void ChgPortClick();
};

extern TFormOpt *FormOpt;
