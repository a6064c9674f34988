#pragma once
// Challenges and tournaments: one window serves both. A challenge is a growing
// series of stages one player plays alone; a tournament is the same series
// played by every player of a LAN game at once. Stages and results live in a
// checksummed file in the data folder (UCompetitionFile.h): ".challenge" in
// single play, ".turnier" in a network game. The window caption is the mode
// ("Challenge" or "Turnier"), and every handler decides by it.
//
// In a tournament the host owns the file; its clients get the stage tree and
// the results list by telegram (TNETZ::SendTournamentData / OnTournamentData),
// which fills them through AddGamerRow and ClearTournamentLists.

#include "ui/Controls.h"

#include <QComboBox>
#include <QWidget>
#include <cstdint>
#include <functional>

class TIniFile;
struct TPlayerRecord;

// An editable combo box that reads and writes like an edit: the nickname box
// with the nicknames found in the file as its list.
class TNickBox : public QComboBox {
    Q_OBJECT
public:
    explicit TNickBox(QWidget *parent = nullptr);
    int Tag = 0;
    QString text() const { return currentText(); }
    void setText(const QString &t) { setEditText(t); }
};

// The state rule's outcome for the current inputs: the start button's caption
// and which buttons are enabled.
struct TChallengeState {
    QString Caption;
    bool Start = false;
    bool New = false;
    bool Clear = false;
};

class TFormCha : public QWidget {
    Q_OBJECT
public:
    explicit TFormCha(QWidget *parent = nullptr);

    // ---- controls ----
    TPanel *TitelPanel = nullptr;
    TLabel *TitelLabel = nullptr; // "Challenge :" / "Turnier :"
    TPanel *TopPanel = nullptr;
    TLabeledEdit *ChallengeName = nullptr; // the series' name = the file's name
    TLabeledEdit *Passwort = nullptr;
    TLabel *SpielernameLabel = nullptr; // "Spielername :", challenge only
    TNickBox *Nickname = nullptr;
    TPanel *rb_panel_t = nullptr; // the tournament end rule
    TRadioButton *RB1 = nullptr;  // "Alle bis zum Ende"
    TRadioButton *RB2 = nullptr;  // "Letzter erhält Rest"
    TRadioButton *RB3 = nullptr;  // "Punkte verfallen"
    TImage *pic_start = nullptr, *pic_neue = nullptr, *Pic_Clear = nullptr, *pic_ende = nullptr;
    TLabel *bt_start = nullptr; // its caption shows the state
    TLabel *bt_neues = nullptr;
    TLabel *bt_clear = nullptr; // "Spieler löschen"
    TLabel *bt_ende = nullptr;
    TTreeView *Tree = nullptr;      // one top node per file, one child per stage
    TListView *GamerView = nullptr; // totals and stage results
    TFileListBox *FileListBox1 = nullptr;
    TPanel *footer_panel = nullptr;

    // ---- state read across the program ----
    bool ChallengeActive = false;
    bool TournamentActive = false;
    // The stage being started or played, four digits.
    QString StageNr;
    // Its stage code as read from the file, or "0" while it has no puzzle.
    QString StageGameCode;
    bool NeedNewGame = false;

    // ---- operations ----
    void SetTurnierEndeArt(int n);
    void SetupChallenge();
    // On a client of a LAN game the tournament window is the host's: shown
    // by ShowHostTournament, its lists kept.
    void SetupTournament();
    // The window as a client shows the host's tournament: in tournament
    // mode, locked (LockForHost), with the tree and the results list the
    // host sent; it never lists the client's own files.
    void ShowHostTournament();
    // Name, password, end rule, new file, player clearing and start are the host's.
    void LockForHost();
    // This machine is a client in the host's tournament: it stays in it,
    // whichever way its window is closed, until it leaves the host's game
    // or the host ends the tournament.
    bool InHostTournament() const;
    void UpdateState(QObject *Sender = nullptr);
    void Refresh();
    // Fills the results list (and the nickname list) from the open file.
    void FillGamerView(const TIniFile &ini, QObject *Sender = nullptr);
    // The stage number after the nickname's "Etappe" entry in the current file.
    QString NextStageNumber(const QString &nickname);
    // Creates (or, after the question, recreates) the file of the name field.
    // False when nothing was created.
    bool CreateChallengeFile();
    // The own result of a challenge stage; false, and nothing written, when the
    // file is missing, fails its checks, or cannot be written.
    bool SaveStageResult(const QString &stage, int32_t points, int32_t tenths, int32_t errors);
    // Every used player slot's result of the current stage (tournament host).
    bool SaveStageResultsAll();
    // The current stage with "0*0*0" for every used player slot (tournament host).
    bool RegisterStageAll();
    // Stores a new stage's code under StageNr (the game options' start button
    // when the stage had no puzzle yet); false when the file fails its checks.
    bool StoreStageGameCode(const QString &code);

    // One results-list row: a total row when count is not empty, a stage row
    // when stageNr is not empty; coloured against the own nickname.
    void AddGamerRow(const QString &name, const QString &count, const QString &stageNr, int64_t points, int64_t tenths,
                     int64_t errors);
    // Empties the stage tree and the results list.
    void ClearTournamentLists();
    // The colours of one row (recomputed when the own nickname changes).
    void GamerViewCustomDrawItem(QTreeWidgetItem *item);

    // The mode word of the caption: "Challenge" or "Turnier".
    QString ModeWord() const;
    bool IsChallenge() const;
    bool IsTournament() const;

    // ---- handlers ----
    void FormShow();
    void FormActivate();
    void FormClose();
    void start_CClick();
    void neu_CClick();
    void ClearClick();
    void close_cClick();
    void ChallengeNameChange(QObject *Sender);
    void TreeChanging(QTreeWidgetItem *node);
    void TreeDblClick();
    void bt_clearMouseEnter(TLabel *label);
    void bt_clearMouseLeave(TLabel *label);

    // The tree line of a stage of a host's file ("0001: Sudoku; ...").
    static QString StageLineText(const QString &key, const QString &code);
    // The file list's mask for the current play mode.
    static QString FileMask();
    // The results list's colours, 0x00BBGGRR.
    static constexpr int32_t kOwnTotalColour = 0x00D000;
    static constexpr int32_t kOwnStageColour = 0x00FF00;
    static constexpr int32_t kOddStageColour = 0xFFFFB0;
    static constexpr int32_t kEvenStageColour = 0xFFFF60;
    static constexpr int32_t kTotalColour = 0xF0CAA6; // the desktop's gradient caption colour

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void changeEvent(QEvent *e) override;

private:
    void setMode(bool challenge);
    // Shows the window in the mode, its name field and password open.
    void setUp(bool challenge);
    void applyState(const TChallengeState &s);
    // Loads ChallengeFileName and runs every check a write needs.
    bool loadCheckedFile(TIniFile &ini) const;
    bool saveFile(TIniFile &ini);
    // Enters StageNr as every used player slot's stage, with the slot's entry
    // in that stage's section (tournament host); true on a client.
    bool writeStageOfAllPlayers(const std::function<QString(const TPlayerRecord &)> &result);
    // The end rule as stored: 1, 2 or 3 for the checked button.
    int endRule() const;

    QString SelectedName;
    bool StartClosing = false;
};

extern TFormCha *FormCha;
// The path of the current challenge or tournament file.
extern QString ChallengeFileName;
