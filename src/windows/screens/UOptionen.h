#pragma once
// The program-options window: colours, fonts, gaps, switches, nickname, port,
// the player colours, and the picture bank every window takes its pictures from.

#include "ui/Controls.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <cstdint>

// The frame both option windows share: a head with the title and three tabs
// over their tab pictures, one body panel per tab, a footer. Shown, it lays
// itself out at the first tab; at its first activation after creation or
// after being closed it places itself over the main window.
class TOptionWindow : public QWidget {
    Q_OBJECT
public:
    bool FirstActivate = true;
    TPanel *Panel_Head = nullptr;
    TLabel *Titel = nullptr;
    TBevel *BL = nullptr;
    TBevel *BR = nullptr;
    TPanel *Panel_footer = nullptr;

    void ShowTab(int n);
    void DrawTabs();
    virtual void FormShow();
    void FormActivate();
    void FormClose();

protected:
    static constexpr int kHeadHeight = 62;
    static constexpr int kFooterHeight = 40;
    TOptionWindow(QWidget *parent, const QString &caption, const QString &title, int width);
    // Tab n (1..3): its picture and caption in the head, and its body panel.
    TPanel *addTab(int n, const QString &caption, TImage *&picture, TLabel *&label);
    // A click on a tab caption.
    virtual void tabClicked(QObject *label) = 0;
    // What lies between the tab's panel and the footer (a list), counted
    // into the window's height when a tab is shown.
    virtual int heightBelowPanel() const { return 0; }
    // The window was closed from outside (the window manager's close): goes
    // where the window's own way out goes, so the player is not left without
    // a window to go on from.
    virtual void closedFromOutside() {}
    // Keeps each body panel's design height in its Tag; call once the panels are built.
    void FormCreate();
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void changeEvent(QEvent *e) override;

private:
    void layoutFrame();
    int m_width;
    TPanel *m_panels[4] = {};
    TImage *m_pictures[4] = {};
    TLabel *m_labels[4] = {};
};

class TFormOpt : public TOptionWindow {
    Q_OBJECT
public:
    explicit TFormOpt(QWidget *parent = nullptr);

    // ---- tabs and footer ----
    TLabel *Tab_Aussehen = nullptr;
    TLabel *Tab_Sonstiges = nullptr;
    TLabel *tab_verbindung = nullptr;
    TImage *IM_Aussehen = nullptr;
    TImage *IM_Sonstiges = nullptr;
    TImage *IM_Verbindung = nullptr;
    TPanel *Panel_Aussehen = nullptr;
    TPanel *Panel_Sonstiges = nullptr;
    TPanel *Panel_Verbindung = nullptr;
    TButton *bt_schliessen = nullptr; // "OK"

    // ---- switches: picture, caption, hidden marker ----
    TImage *Farbig_1 = nullptr;
    TLabel *BTC105 = nullptr; // "gefundene Felder farbig"
    TImage *Tastatur_1 = nullptr;
    TLabel *BTC_Tastatur = nullptr; // "Tastatur an"
    TImage *Sound_1 = nullptr;
    TLabel *BTC108 = nullptr; // "Sound an"
    TLabel *FabM = nullptr;
    TLabel *tastaturM = nullptr;
    TLabel *soundM = nullptr;

    // ---- colours, each 0x00BBGGRR ----
    int32_t MenueColorValue = 0x005EBB;
    int32_t FeldColorValue = 0x409FFF;
    int32_t TrennColor1Value = 0x003366;
    int32_t TrennColor2Value = 0xFFFFFF;
    int32_t Merker1ColorValue = 0x00FF00;
    int32_t Merker2ColorValue = 0x00FFFF;
    TPanel *MenueColor = nullptr;
    TPanel *FeldColor = nullptr;
    TPanel *TrennColor1 = nullptr;
    TPanel *TrennColor2 = nullptr;
    TPanel *Merker1Color = nullptr;
    TPanel *Merker2Color = nullptr;

    // ---- gaps and font sizes ----
    TSpinEdit *SpanBlock = nullptr;
    TSpinEdit *SpanZelle = nullptr;
    TSpinEdit *SizeMerker = nullptr;
    TSpinEdit *SizeZahlen = nullptr;
    // Sample labels "1 2 3 4 5 6 7 8 9"; the board takes the mark fonts from them.
    TLabel *SizeMerk = nullptr;
    TLabel *SizeZahl = nullptr;

    // Player colour pictures: im1 own, Im2..Im8 the others; colour in Tag.
    TImage *im1 = nullptr, *Im2 = nullptr, *Im3 = nullptr, *Im4 = nullptr;
    TImage *Im5 = nullptr, *Im6 = nullptr, *Im7 = nullptr, *Im8 = nullptr;

    // ---- other and connection ----
    TLabeledEdit *NickName = nullptr;
    TLabeledEdit *SelfIp = nullptr;
    TListBox *IPAdressen = nullptr;
    TLabeledEdit *Port = nullptr;
    TButton *bt_chg = nullptr;    // "ändern"
    TPanel *Erklaerung = nullptr; // the explanatory text of the connection tab

    // ---- the picture bank: a hidden panel the other windows copy from ----
    TPanel *Panel1 = nullptr;
    TImage *pic_Tabelle_kopf = nullptr, *pic_tabelle_body = nullptr, *pic_Tabelle_kopf_statistik = nullptr;
    TImage *pic_logo = nullptr, *pic_offline = nullptr, *pic_spiel_on = nullptr, *pic_spiel_off = nullptr;
    TImage *pic_wartet = nullptr, *Pic_hacken = nullptr, *pic_box = nullptr, *Pic_chk_ok = nullptr;
    TImage *pic_kreuz = nullptr, *pic_ist = nullptr, *pic_muss = nullptr, *pic_clear = nullptr;
    TImage *orgNoMerker = nullptr, *org1Merker = nullptr, *org2Merker = nullptr, *orgError = nullptr;
    TImage *orgFest = nullptr, *orgtipp = nullptr, *pic_no_press = nullptr;
    // The bank picture of that name (e.g. "pic_logo"), nullptr when there is none.
    TImage *BankPicture(const QString &name) const;

    // Colour picture of player colour slot p (1..8).
    TImage *ColourImage(int p) const;

    // ---- getters and setters ----
    bool IsSoundOn() const { return soundM->Tag == 1; }
    bool IsKeyboardOn() const { return tastaturM->Tag == 1; }
    void SetFoundColored(int v);
    void SetSound(int v);
    void SetKeyboard(int v);

    void ApplyColours();
    void ApplySkin();

    // ---- event handlers ----
    void Tab_AussehenClick(QObject *sender);
    void Farbig_1Click(QObject *sender);
    // Without a sender (start-up) it only repaints the eight tiles.
    void im1Click(QObject *sender);
    void MenueColorClick(QObject *sender);
    void SpanBlockChange(QObject *sender);
    void SizeMerkerChange(QObject *sender);
    void NickNameChange();
    void IPAdressenDblClick(int row);
    // Without a sender (start-up) a port that cannot be used is passed over
    // silently; from the button it is reported.
    void ChgPortClick(QObject *sender = nullptr);
    void schliessenClick();
    void BTC91MouseEnter(TLabel *label);
    void BTC91MouseLeave(TLabel *label);
    void BTC91MouseMove(QWidget *control, Qt::KeyboardModifiers shift);

protected:
    void tabClicked(QObject *label) override { Tab_AussehenClick(label); }
    void closedFromOutside() override;

private:
    void buildControls();
    void buildPictureBank();
    void showSwitch(TImage *picture, TLabel *marker, int v);
};

extern TFormOpt *FormOpt;

// ---- colour tiles ----------------------------------------------------------
// The bevelled colour tile: the colour with three rings, light on the left and
// top edges and dark on the bottom and right edges, the outermost ring the
// strongest. Lines end before their end point, as the window toolkit's line
// drawing does, so the top-right pixel of each ring keeps the fill.
QImage ColorTileImage(int w, int h, int32_t bgr);
// Paints the tile over the picture of the image, at the picture's size (the
// control's size when it has none yet).
void PaintColorTile(TImage *image, int32_t bgr);
// The same on a cleared picture, so always at the control's size.
void PaintColorTileFresh(TImage *image, int32_t bgr);

// ---- player colours ------------------------------------------------------
// The colour-picture number (1 own, 2..8 the others) that player slot p gets,
// or 0 when the slot keeps its colour.
int PlayerColourPicture(int slot, int myPlayerNo);
// Gives each player record its colour from the colour pictures.
void DistributePlayerColours();

// ---- nickname ------------------------------------------------------------
inline constexpr int kMaxNickLength = 15;
// The default nickname: the host name, cut to the length a name may have.
QString DefaultNickname(const QString &hostName);
QString DefaultNickname();

// ---- skinning seams for the other windows --------------------------------
// Windows built elsewhere take part in ApplyColours and ApplySkin by marking
// their controls: a panel with the colour role "field" gets the field colour,
// "menu" the menu colour; an image with a bank picture name gets that bank
// picture; every image whose object name starts with "BIM_" gets the button
// face pic_no_press.
enum class TColourRole { Field, Menu };
void SetColourRole(QWidget *w, TColourRole role);
void SetSkinPicture(TImage *image, const char *bankName);
