#pragma once
// Duel set-up: the two players' colours and whether the local user takes part.
// The duel game itself does not exist yet; the start button says so.

#include "ui/Controls.h"

#include <QWidget>

class TFormDuell : public QWidget {
    Q_OBJECT
public:
    explicit TFormDuell(QWidget *parent = nullptr);

    TPanel *TitelPanel = nullptr;
    TLabel *TitelLabel = nullptr; // "Duell Einstellungen :"
    TPanel *Panel_Body = nullptr;
    TLabel *Spieler1 = nullptr;
    TLabel *Label_vs = nullptr;
    TLabel *Spieler2 = nullptr;
    TImage *PIC_MitSpielen = nullptr;
    TLabel *BTC_MitSpielen = nullptr; // "selber mitspielen"
    TLabel *MitM = nullptr;           // Tag: 1 takes part, 0 does not
    TPanel *footer_panel = nullptr;
    TImage *Pic_starten = nullptr;
    TLabel *BTC_Starten = nullptr;
    TImage *Pic_Zurueck = nullptr;
    TLabel *BTC_Zurueck = nullptr;
    bool FirstActivate = true;
    bool DuelActive = false;

    // A player label's colour (0x00BBGGRR) is kept in its Tag and shown as
    // its background.
    void SetPlayerColour(TLabel *player, int32_t bgr);
    void SetMitSpielen(bool on);
    bool IsMitSpielen() const { return MitM->Tag == 1; }

    void FormCreate();
    void FormActivate();
    void Spieler1Click(TLabel *player);
    void PIC_MitSpielenClick();
    void BTC_StartenClick();
    void BTC_ZurueckClick();
    void BTC_StartenMouseEnter();
    void BTC_StartenMouseLeave();
    void BTC_MitSpielenMouseEnter();
    void BTC_MitSpielenMouseLeave();
    void BTC_MitSpielenMouseMove(Qt::KeyboardModifiers shift);

protected:
    void showEvent(QShowEvent *e) override;
    void changeEvent(QEvent *e) override;
};

extern TFormDuell *FormDuell;
