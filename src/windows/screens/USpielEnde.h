#pragma once
// The end-of-game dialog: the final player table under a progress chart, and
// the way back to the right place.

#include "ui/Controls.h"

#include <QWidget>

class TFormSpielEnde : public QWidget {
    Q_OBJECT
public:
    explicit TFormSpielEnde(QWidget *parent = nullptr);

    TPanel *TitelPanel = nullptr;
    TLabel *TitelLabel = nullptr; // "Spielende :"
    // The progress chart; its design height is kept in its Tag.
    TImage *Statistik = nullptr;
    // The end table: the rows (the main window's EndPlayerRows) lie on this panel.
    TPanel *Tabelle_Panel = nullptr;
    TImage *Tabelle_kopf = nullptr;
    TImage *Tabelle_Body = nullptr;
    TPanel *footer_panel = nullptr;
    TImage *BIM_close = nullptr;
    TLabel *BTC_close = nullptr; // "Schliessen"
    TImage *BIM_Brett = nullptr;
    TLabel *BTC_Brett = nullptr; // "Spielfeld anzeigen"

    // Set by the end of a game: the next player-table update copies the
    // player table into the end table.
    bool TablePending = false;

    void ShowGameEnd();
    // Sizes the end table's panel; a shown dialog grows or shrinks with it.
    void SetTableHeight(int height);

    void BTC_closeClick();
    void BTC_BrettClick();
    void BTC_closeMouseEnter(TLabel *label);
    void BTC_closeMouseLeave(TLabel *label);
    void FormCreate();
    void FormShow();
    void FormActivate();

protected:
    void showEvent(QShowEvent *e) override;
    // Closed by the window manager (title bar, Alt+F4): the same way back as "Schliessen".
    void closeEvent(QCloseEvent *e) override;
    void changeEvent(QEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    void layoutParts();
    // Title, the chart at its design height, the table and the footer.
    void fitHeight();
    void leaveToNextPlace();
};

extern TFormSpielEnde *FormSpielEnde;
