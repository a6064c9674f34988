#pragma once
// The main window: the play surface and the one store of the game state that
// every unit reads and writes through the global Form1.

#include "board/UFeld.h"
#include "board/UQuadrivo_Types.h"
#include "ui/Controls.h"

#include <QAction>
#include <QLockFile>
#include <QWidget>
#include <memory>

class TForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

    // ---- game flags ----
    bool GameRunning = false;
    bool HostsNetworkGame = false;
    bool GameStarting = false;
    bool StopRequested = false;

    // ---- board view and model ----
    TCellView Cells[10][10];
    TBoardPanel BlockPanels[4][4]; // [block column 1..3][block row 1..3]
    TGridEntry Scratch[3];
    TBoards Boards;
    // Handlers of the board's controls; sender is the control under the mouse
    // (class TImage or TLabel), x and y are relative to it.
    void MouseDown(QObject *sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void MouseUp(QObject *sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

    // ---- player tables ----
    TPlayerTableRow PlayerRows[9];
    TPlayerTableRow EndPlayerRows[9];

    // ---- play flags ----
    bool Paused = false;
    bool EditorMode = false;
    int16_t HelpCursor = 0; // 0 normal, -20 help-click mode

    // ---- clock ----
    int64_t PauseStartCount = 0;
    int64_t GameStartCount = 0;
    int64_t ElapsedTenths = 0;
    int64_t CountsPerTenth = 0;
    int32_t ClockPenaltySeconds = 0;

    // ---- players ----
    TPlayerRecord Players[9];

    // ---- display ----
    QString SymbolSet;
    bool FirstShow = true;
    int32_t PlayerRowsShown = 0;
    bool SinglePlayerGame = false;
    int32_t HoverTag = 0;
    int32_t LastMouseX = -1;
    int32_t LastMouseY = -1;

    // ---- controls ----
    TTimer *Blinken = nullptr;
    TTimer *WartezeitTimer = nullptr;
    TTimer *MsgTimer = nullptr;
    TTimer *SplashTimer = nullptr;
    TImage *LogoPic = nullptr;
    TLabel *Label1 = nullptr;
    TPanel *ToolPanel = nullptr;
    TBoardWidget *brett = nullptr;
    TFileListBox *FileBox = nullptr;
    TListBox *L_Spiele = nullptr;
    TListBox *M_Spiele = nullptr;
    TListBox *S_Spiele = nullptr;
    TListBox *P_Spiele = nullptr;
    TPanel *Tabelle_Panel = nullptr;
    TImage *Tabelle_kopf = nullptr;
    TImage *h_pic = nullptr;
    TLabel *Zeit = nullptr;
    TListBox *ChatBox = nullptr;
    // Chat lines kept; older ones scroll away for good.
    static constexpr int kChatLines = 500;
    TEdit *Edit1 = nullptr;
    TLabel *Senden = nullptr;
    TPanel *Panel_Einzel = nullptr;
    TLabel *BTC_Tipp = nullptr;
    TLabel *BTC_Pause = nullptr;
    TLabel *BTC_Weiter = nullptr;
    TPanel *Panel_Edit = nullptr;
    TLabel *BTC_Testen = nullptr;
    TLabel *BTC_Edit_Ende = nullptr;
    TLabel *BTC_Neu = nullptr;
    TLabel *BTC_Laden = nullptr;
    TLabel *BTC_Speichern = nullptr;
    TPanel *Panel_Menue = nullptr;
    // End game, information and close: always at hand, also while the menu
    // group is collapsed during a game.
    TPanel *Panel_Steuer = nullptr;
    TLabel *BTC_Spiel_Ende = nullptr;
    TLabel *BTC_Close = nullptr;
    TLabel *BTC_Info = nullptr;
    TLabel *BTC_Menue = nullptr;
    TLabel *art_label = nullptr;
    TLabel *grad_label = nullptr;
    TLabel *Regel_label = nullptr;
    TLabel *Auswertung_Label = nullptr;
    TLabel *spielfeld_Label = nullptr;
    TLabel *Merker_label = nullptr;
    TLabel *modus_label = nullptr;
    TLabel *Spiel_Label = nullptr;
    struct TSaveDialog {
        QString DefaultExt = QStringLiteral("sudoku");
        QString Filter = QStringLiteral("Alle (*.sudoku)");
        QString Title = QStringLiteral("Sudoku Speichern");
    } Save1;
    // The hidden menu "Shortcuts": its items exist only for their shortcuts.
    QAction *LogBoxonoff1 = nullptr;
    QAction *TippOn1 = nullptr;
    QAction *Drucken1 = nullptr;

    // ---- start-up, shut-down and shared handlers ----
    void FormCreate();
    void FormShow();
    void SplashTimerTimer();
    void FormPaint();
    void FormCloseQuery();
    void FormDestroy();
    void BTC31MouseEnter(TLabel *label);
    void BTC31MouseLeave(TLabel *label);
    void BTC31MouseMove(QWidget *control, Qt::KeyboardModifiers shift);
    void FormMouseMove(QObject *control, QPoint globalPos);
    void Edit1Change();
    void Button2Click();
    void LogBoxonoff1Click();
    // sender: the control or menu item that asked; the menu item TippOn1 acts
    // even in help-click mode.
    void BTC_TippClick(QObject *sender = nullptr);
    void Drucken1Click();
    void BTC_InfoClick();
    void BTC_CloseClick();
    void Pic_einstellClick();
    int VisibleFormsMask() const;

    // Stacks the tool groups, the player table and the chat in the tool panel.
    void ArrangeToolPanel();

    // Ends the program without the close query (second instance, declined terms).
    void QuitProgram();
    // True once the single-instance lock is held by this process.
    bool HoldsInstanceLock() const { return m_lock && m_lock->isLocked(); }
    // Set when a second instance was detected at step 45.
    bool SecondInstance = false;

    // ---- board layers and puzzle codes ----
    void LoadPuzzleString(const QString &s);
    void LoadPuzzleLines(const QStringList &lines, QString &text);
    bool LoadBuiltinPuzzle(const QString &code, QString &text);
    int BuiltinPuzzleCount() const;
    void BuildPuzzleString(QString &s) const;
    QString BuildPuzzleString() const;
    void BuildOptionsCode(QString &s) const;
    QString BuildOptionsCode() const;
    void InitSymbolSet();
    void RandomRotationCode(QString &s) const;
    void RandomDigitMap(QString &s) const;
    void ApplyRotationCode(const QString &code);
    void ApplyDigitMap(const QString &map);
    void PermuteColumns(int a, int b, int c);
    void PermuteRows(int a, int b, int c);
    bool PrepareNewGame();

    // ---- game flow and clock ----
    void StartGame();
    void StopGameLocal();
    void FinishGame();
    // A client leaves the host's game: the game finished here, the logoff
    // to the host, the table emptied and no player number.
    void LeaveGame();
    // A client between the host's games: the menu panel as its way on, and
    // the notice that player 1 starts the next game.
    void WaitForHostsNextGame();
    // Back to the start screen: board, menu and "Spiel beenden" put away.
    void ShowStartScreen();
    void StopGameDeferred();
    void BlinkenTimer();
    void MsgTimerTimer();
    void WartezeitTimerTimer();
    void BTC_PauseClick();
    void BTC_WeiterClick();
    void BTC_Spiel_EndeClick();
    void BTC_MenueClick();
    // The game time in tenths of a second, as the clock, the ghost replay and
    // the ghost stamps count it.
    int64_t GameTimeTenths() const;
    // The hint button follows one rule (IsHintAllowedFor), set at every start
    // and every resume.
    bool IsHintAllowed() const;
    void UpdateHintButton();

    // ---- input and editor ----
    // The main window previews the keys (chat edit aside): Esc pauses and
    // minimises, Enter sends the chat, keypad digits clear pencil marks.
    void FormKeyDown(int key, Qt::KeyboardModifiers shift);
    void FormKeyUp(int key, Qt::KeyboardModifiers shift);
    void ClearBoardForEditor();
    void BTC_TestenClick();
    void BTC_Edit_EndeClick();
    // Gives the board back from the editor: cells reset, editor buttons away,
    // the board hidden. Every way out of the editor ends here.
    void LeaveEditor();
    void BTC_NeuClick();
    void BTC_LadenClick();
    void BTC_SpeichernClick();
    // The editor's ".sudoku" file; false when it could not be read or written.
    bool EditorLoadPuzzle(const QString &path);
    bool EditorSavePuzzle(const QString &path);

    // ---- player records ----
    void ResetPlayers();
    int CountOnlinePlayers() const;
    void UpdatePlayerTable();
    // The height of a player table panel for this many rows under its head.
    int PlayerTableHeight(int rows) const;
    bool IsPlayerNameTaken(const QString &name) const;
    bool IsOwnPlayerGameOver() const;
    void DrawProgressChart(TImage *image);
    // Names and addresses are short strings of at most 15 characters.
    void SetPlayerName(int p, const QString &name);
    void SetPlayerAddress(int p, const QString &address);
    // The stored samples of a record (0..161, whatever SampleCount claims).
    static int ProgressSampleCount(const TPlayerRecord &r);
    // The last stored sample; false and a zero sample when there is none.
    static bool LastProgressSample(const TPlayerRecord &r, TProgressSample &sample);
    // The progress chart of the records 1..8 on a w x h picture.
    static QImage RenderProgressChart(const TPlayerRecord *players, int w, int h, const QString &clockText);

protected:
    void closeEvent(QCloseEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *e) override;
    void keyReleaseEvent(QKeyEvent *e) override;

private:
    void readSettingsStep150();
    void buildControls();
    std::unique_ptr<QLockFile> m_lock;
    bool m_quitWithoutQuery = false;
    TImage *m_sendFace = nullptr;
    bool m_numLockHeld = false;
};

extern TForm1 *Form1;

// The program's version text.
inline constexpr const char *kVersionText = "v03.00-04";

// The keypad translation of key messages: with NumLock off a keypad key
// arrives as its navigation key; it is turned back into the keypad digit.
// Keys of the separate cursor block (not on the keypad) and keys pressed while
// NumLock is held pass unchanged. Qt key codes; returns the key to use.
int TranslateKeypadKey(int key, bool onKeypad, bool numLockHeld);

int GetControlTag(const QObject *control);
int GetControlTagOr(const QObject *control, int def);
void SetHelpCursor(QWidget *control, Qt::KeyboardModifiers shift);
// Runs a window's help-cursor handler (SetHelpCursor by default) on every mouse
// move over the control and on every press: the click that follows shows a
// help topic exactly when Ctrl alone was held, whatever a move elsewhere left.
void WireHelpCursor(TMouseControl *control,
                    const std::function<void(QWidget *, Qt::KeyboardModifiers)> &handler = SetHelpCursor);
void TrackHoveredControl(QObject *control);
// The same with the pointer's screen position known from a mouse event, so no
// query to the window system is needed.
void TrackHoveredControlAt(QObject *control, QPoint globalPos);
// Where the mouse is; tests replace it.
void SetCursorPosSource(std::function<QPoint()> source);

// Places a set-up window over the main window's board area, the part left of
// the tool panel, or with wholeWindow over the whole main window (see the
// implementation).
void PlaceOverMainWindow(QWidget *w, bool wholeWindow = false);
