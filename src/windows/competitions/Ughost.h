#pragma once
// Ghost games: a single game on a stored puzzle against up to seven earlier
// results of it. The window lists the ghost files, creates and clears them,
// and starts a game; its 10 ms timer replays the ghosts' entries.

#include "ui/Controls.h"

#include <QWidget>

class TFormGhost : public QWidget {
    Q_OBJECT
public:
    explicit TFormGhost(QWidget *parent = nullptr);

    TPanel *TitelPanel = nullptr;
    TLabel *TitelLabel = nullptr; // "Ghostmodus :"
    TPanel *Panel_Body = nullptr;
    TLabeledEdit *DateiName = nullptr;
    TLabeledEdit *Passwort = nullptr;
    TListView *GhostList = nullptr;
    TFileListBox *FileListBox1 = nullptr;
    TPanel *footer_panel = nullptr;
    TImage *PIC_neu = nullptr, *PIC_clear = nullptr, *PIC_start = nullptr, *PIC_zurueck = nullptr;
    TLabel *BTC_neu = nullptr;     // "neu"
    TLabel *BTC_clear = nullptr;   // "Ghosts löschen"
    TLabel *bt_start = nullptr;    // "Starten" and the state rule's captions
    TLabel *BTC_zurueck = nullptr; // "zurück"
    TTimer *Timer1 = nullptr;      // the replay, 10 ms

    bool GhostMode = false;
    bool NewGhostFile = false;
    // The puzzle of the current game as loaded, before rotation and relabelling.
    QString GhostFeld;
    int GhostCount = 1;

    // The file of a typed name in the data folder; empty when the name would
    // leave that folder.
    static QString GhostFilePath(const QString &name);

    void CreateGhostFile();
    // Puzzle, level, mark limit and the 81 owners and times into layer 0;
    // false (nothing started) when the file is missing, tampered or unusable.
    bool LoadGhostGame();
    void SetupGhostPlayers();
    void SaveGhostResult();

    void FormCreate();
    void FormShow();
    void FormActivate();
    void DateiNameChange();
    void GhostListDblClick();
    void BTC_neuClick();
    void BTC_clearClick();
    void bt_startClick();
    void BTC_zurueckClick();
    void Timer1Timer();
    void BTC_zurueckMouseEnter(TLabel *label);
    void BTC_zurueckMouseLeave(TLabel *label);

protected:
    void showEvent(QShowEvent *e) override;
    void changeEvent(QEvent *e) override;
};

extern TFormGhost *FormGhost;
// The path of the current ghost file.
extern QString GhostFileName;
