#pragma once
// The replay dialog: the game codes of the games started during this run,
// newest first, and the code of the game to play again.

#include "ui/Controls.h"

#include <QDateTime>
#include <QWidget>

class TVorgabe : public QWidget {
    Q_OBJECT
public:
    explicit TVorgabe(QWidget *parent = nullptr);

    TPanel *TitelPanel = nullptr;
    TLabel *TitelLabel = nullptr; // "Wiederholung :"
    TPanel *Panel_Body = nullptr;
    TLabel *ListLabel = nullptr; // "Codes gestarteter Spiele :"
    TListBox *GespielteSpiele = nullptr;
    TLabeledEdit *SpielVorgabe = nullptr;
    TLabel *Erklaerung = nullptr;
    TPanel *footer_panel = nullptr;
    TImage *BIM_start = nullptr;
    TLabel *BTC_start = nullptr; // "Starten"
    TImage *BIM_Zurueck = nullptr;
    TLabel *BTC_Zurueck = nullptr; // "Zurück"
    bool FirstActivate = true;

    // The explanatory text, line by line.
    static QStringList ExplanationLines();

    // A started game's code line goes on top of the list.
    void AddGameCodeLine(const QString &line);

    void GespielteSpieleDblClick(int row);
    void SpielVorgabeChange();
    void StartClick();
    void schliessenClick();
    void BTC_startMouseEnter(TLabel *label);
    void BTC_startMouseLeave(TLabel *label);
    void FormCreate();
    void FormActivate();
    void FormClose();

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void changeEvent(QEvent *e) override;
};

extern TVorgabe *Vorgabe;

// The line of one started game: "Gestartet :" + date and time + " Spielcode >"
// + the 95 characters of its game code.
QString MakeGameCodeLine(const QDateTime &started, const QString &gameCode);
