#pragma once
// The start screen: the first window after start-up and the place where every
// mode is chosen. It records the choice in GameKind and PlayMode, which the
// rest of the program reads.

#include "ui/Controls.h"

#include <QWidget>
#include <cstdint>

class TFormStart : public QWidget {
    Q_OBJECT
public:
    explicit TFormStart(QWidget *parent = nullptr);

    // Position the window at its next activation; set at creation and on close.
    bool FirstActivate = true;
    // Multi-player choice: 1 open a game, 2 search a game, 0 none, -1 after a reset.
    int32_t LanMode = 0;
    // Search by broadcast and join the first game that answers.
    bool JoinFirstFound = false;
    // 1 normal, 2 ghost, 3 challenge, 4 repeat, 5 tournament, 6 duel, 0 none.
    int32_t GameKind = 1;
    // Active tab: 10 single player, 20 multi-player, 1 other.
    int32_t PlayMode = 10;

    // ---- head ----
    TPanel *TitelPanel = nullptr;
    TLabel *TitelLabel = nullptr; // "Spielstart :"
    TImage *Pic_Einzelspieler = nullptr;
    TLabel *Tab_Einzelspieler = nullptr;
    TImage *Pic_Mehrspieler = nullptr;
    TLabel *Tab_Mehrspieler = nullptr;
    TImage *Pic_Sonstiges = nullptr;
    TLabel *Tab_Sonstiges = nullptr;
    TBevel *BL = nullptr;
    TBevel *BR = nullptr;

    // ---- single player ----
    TPanel *Panel_EinzelSpieler = nullptr;
    TImage *Pic_normal = nullptr;
    TLabel *BTC_Normal = nullptr;
    TImage *Pic_Ghost = nullptr;
    TLabel *BTC_Ghost = nullptr;
    TImage *Pic_Challenge = nullptr;
    TLabel *BTC_Challenge = nullptr;
    TImage *Pic_Wiederholung = nullptr;
    TLabel *BTC_Wiederholung = nullptr;
    TPanel *Panel_EinzelFooter = nullptr;
    TImage *BIM_EinzelSpielerStart = nullptr;
    TLabel *BTC_EinzelSpielerStart = nullptr;

    // ---- LAN or internet ----
    TPanel *Panel_verbindung = nullptr;
    TImage *BIM_LAN = nullptr;
    TLabel *BTC_LAN = nullptr;
    TLabel *Memo_LAN = nullptr;
    TImage *BIM_iNet = nullptr;
    TLabel *BTC_iNet = nullptr;
    TLabel *Memo_iNet = nullptr;

    // ---- multi-player ----
    TPanel *Panel_Mehrspieler = nullptr;
    TImage *pic_eroeffnen = nullptr;
    TLabel *BTC_eroeffnen = nullptr;
    TImage *pic_suchen = nullptr;
    TLabel *BTC_suchen = nullptr;
    TImage *Pic_Turnier = nullptr;
    TLabel *BTC_Turnier = nullptr;
    TImage *Pic_beitreten = nullptr;
    TLabel *BTC_Beitreten = nullptr;
    TImage *pic_Duell = nullptr;
    TLabel *BTC_Duell = nullptr;
    TPanel *Panel_MehrFooter = nullptr;
    TImage *BIM_weiter = nullptr;
    TLabel *BTC_weiter = nullptr;
    TImage *BIM_Zurueck = nullptr;
    TLabel *BTC_Zurueck = nullptr;

    // ---- other ----
    TPanel *Panel_Sonstiges = nullptr;
    TImage *BIM_Optionen = nullptr;
    TLabel *BTC_Optionen = nullptr;
    TImage *BIM_Editor = nullptr;
    TLabel *BTC_Editor = nullptr;

    // Bounds the broadcast search (2 s).
    TTimer *Warte = nullptr;

    // The text lines beside the two connection choices.
    static QStringList LanTextLines();
    static QStringList INetTextLines();

    // ---- interfaces ----
    void ShowStartTab(int n);
    void SelectSingleMode(int k);
    void ApplyTabImages();
    // A game offer arrived while this screen is shown (join-first search).
    void LanGameFound(const QString &address);

    // ---- handlers ----
    // sender carries the tab's Tag; nullptr (or a sender without a Tag) counts as 10.
    void Tab_EinzelspielerClick(QObject *sender);
    void Pic_normalClick(QObject *sender);
    void BTC_EinzelSpielerStartClick();
    // nullptr: reset the multi-player choices.
    void BTC_suchenClick(QObject *sender);
    void BTC_weiterClick();
    void BTC_LANClick();
    void BTC_iNetClick();
    void BTC_OptionenClick();
    void BTC_EditorClick();
    void WarteTimer();
    void Tab_EinzelspielerMouseMove(QWidget *control, Qt::KeyboardModifiers shift);
    void BT_einzelMouseEnter(TLabel *label);
    void BT_einzelMouseLeave(TLabel *label);
    void FormCreate();
    void FormShow();
    void FormActivate();
    void FormClose();

    // The routes of a LAN game, split out of BTC_weiterClick.
    void OpenLanGame();
    void SearchLanGame();

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void changeEvent(QEvent *e) override;

private:
    void buildControls();
    // Every caption button, so a hover left over when the window closed is undone.
    QList<TLabel *> m_captions;
    void showTick(TImage *pic, bool on);
    bool setListener(bool on);
    // Calls into the network module.
    void lanBecomeHost();
    void lanSendLogin(const QString &address);
    void lanSendSearch(const QString &address);
    void lanSendTournamentData(int part);
};

extern TFormStart *FormStart;

// A caption button of the set-up windows: the face picture, named so that the
// skin gives it the button face, with the caption centred over it; both pass
// mouse moves to the help cursor. The caller connects its window's hover fonts.
TLabel *MakeFaceButton(QWidget *parent, const QString &caption, const char *faceName, const QRect &r, TImage *&face);
