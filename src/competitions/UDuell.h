#pragma once
// Duel set-up: the two players' colours and whether the local user takes part.

#include "ui/Controls.h"

#include <QWidget>

class TFormDuell : public QWidget {
    Q_OBJECT
public:
    explicit TFormDuell(QWidget *parent = nullptr);

    TLabel *Spieler1 = nullptr;
    TLabel *Spieler2 = nullptr;
    TLabel *MitM = nullptr;
    bool FirstActivate = true;
    bool DuelActive = false;

    void SetPlayerColour(TLabel *player, int32_t bgr);
    void SetMitSpielen(bool on);
    bool IsMitSpielen() const { return MitM->Tag == 1; }
};

extern TFormDuell *FormDuell;
