#pragma once
// The game-options window: the options of the next game live in its controls
// (the Tag of hidden marker labels, two spin edits and the radio buttons), and
// every setter stores its value at once.

#include "screens/UOptionen.h"
#include "settings/UGameOptionValues.h"
#include "ui/Controls.h"

#include <QWidget>
#include <functional>

class TFormGO : public TOptionWindow {
    Q_OBJECT
public:
    explicit TFormGO(QWidget *parent = nullptr);

    // ---- hidden marker labels whose Tag holds an option ----
    TLabel *Sud19M = nullptr;       // symbol kind 1..3
    TLabel *BingoM = nullptr;       // Bingo on
    TLabel *GradM = nullptr;        // level 0..3
    TLabel *ImpM = nullptr;         // import on
    TLabel *RotM = nullptr;         // rotation on
    TLabel *MixM = nullptr;         // mixing on
    TLabel *RegM = nullptr;         // rating 1..4
    TLabel *SofortM = nullptr;      // evaluation at once
    TLabel *EigenM = nullptr;       // own board
    TLabel *BonusMerkerM = nullptr; // pencil-mark bonus

    TSpinEdit *BingoMax = nullptr;  // Bingo items per draw, 1..4
    TSpinEdit *MaxMerker = nullptr; // pencil-mark limit, 0..9
    TEdit *ImportDir = nullptr;

    // ---- tabs and footer ----
    TLabel *Tab_Spielart = nullptr;
    TLabel *Tab_Schwierigkeit = nullptr;
    TLabel *tab_Bewertung = nullptr;
    TImage *IM_Spielart = nullptr;
    TImage *IM_Schwierigkeit = nullptr;
    TImage *IM_Bewertung = nullptr;
    TPanel *Panel_Spielart = nullptr;
    TPanel *Panel_Schwierigkeit = nullptr;
    TPanel *Panel_Bewertung = nullptr;
    TImage *BIM_Starten = nullptr;
    TLabel *BTC_Starten = nullptr; // "Starten" / "Erzeugen" / "Erweitern"
    TImage *BIM_Zurueck = nullptr;
    TLabel *BTC_Zurueck = nullptr; // "Zurück"

    // ---- game type ----
    TImage *Sud_1 = nullptr;
    TLabel *BTC35 = nullptr; // "Sudoku"
    TImage *Sud_2 = nullptr;
    TLabel *BTC36 = nullptr; // "Mojidoku"
    TPanel *Panel_Buchstaben = nullptr;
    TRadioButton *rb_AI = nullptr;
    TRadioButton *rb_AZ = nullptr;
    TImage *Sud_4 = nullptr;
    TLabel *BTC_Bingo = nullptr; // "Bingo"
    // The Bingo settings: Panel3 holds Label5 and BingoMax, BingoFill the refill
    // radios, Panel1 the kind radios, Panel2 the change radios.
    TPanel *Panel3 = nullptr;
    TLabel *Label5 = nullptr; // "neue Zahl / Feld : "
    TPanel *BingoFill = nullptr;
    TRadioButton *rb_Bingo_voll = nullptr;
    TRadioButton *rb_Bingo_leer = nullptr;
    TPanel *Panel1 = nullptr;
    TRadioButton *rb_Zahlen = nullptr;
    TRadioButton *rb_Felder = nullptr;
    TPanel *Panel2 = nullptr;
    TRadioButton *rb_fest = nullptr;
    TRadioButton *rb_alternate = nullptr;
    TRadioButton *rb_random = nullptr;

    // ---- board sharing, evaluation, pencil marks ----
    TImage *eigen_1 = nullptr;
    TLabel *BTC110 = nullptr; // "jeder ein eigenes"
    TImage *eigen_2 = nullptr;
    TLabel *BTC111 = nullptr; // "eins für alle"
    TImage *sofort_1 = nullptr;
    TLabel *BTC112 = nullptr; // "sofort"
    TImage *sofort_2 = nullptr;
    TLabel *BTC113 = nullptr; // "am Ende"
    TLabel *BTC114 = nullptr; // "Max Merker je Feld"

    // ---- level, import, rotation, mixing ----
    TImage *Grad_1 = nullptr, *Grad_2 = nullptr, *Grad_3 = nullptr, *Grad_4 = nullptr;
    TLabel *BTC60 = nullptr, *BTC61 = nullptr, *BTC62 = nullptr, *BTC63 = nullptr;
    TImage *Import_1 = nullptr;
    TLabel *BTC102 = nullptr; // "Import"
    TImage *Rot_1 = nullptr;
    TLabel *BTC103 = nullptr; // "Rotieren"
    TImage *Mix_1 = nullptr;
    TLabel *BTC104 = nullptr; // "Mixen"

    // ---- rating and bonus ----
    TImage *Reg_1 = nullptr, *Reg_2 = nullptr, *Reg_3 = nullptr, *Reg_4 = nullptr;
    TLabel *BTC64 = nullptr, *BTC65 = nullptr, *BTC66 = nullptr, *BTC67 = nullptr;
    TImage *BonusMerker_1 = nullptr;
    TLabel *BTC115 = nullptr; // "Bonus für nichtbenutzte Merker"

    // ---- getters (no side effects) ----
    int GetGameType() const;
    int GetLevel() const;
    int GetRating() const;
    bool IsEvaluationImmediate() const;
    bool IsOwnBoard() const;
    bool HasMarkBonus() const;
    // Every option as the window holds it now.
    TGameOptionValues Values() const;
    static QString LevelName(int level);
    static QString RatingName(int rating);

    // ---- setters: each stores its value at once ----
    void SetGameType(int t);
    // Levels 0..3; anything else counts as 0. While a ghost game runs, 10..13
    // still select the imported variant, but a plain level never switches
    // import off here: that belongs to the ghost file's coding only.
    void SetLevel(int l);
    // The level as a ghost file codes it: 10..13 are levels 0..3 with import
    // on, 0..3 the built-in levels with import off.
    void SetLevelFromGhostFile(int coded);
    void SetRating(int r);
    void SetImport(int v);
    void SetRotation(int v);
    void SetMix(int v);
    void SetEvaluation(int v);
    void SetOwnBoard(int v);
    void SetMaxMarks(int n);
    void SetMarkBonus(int v);
    // Applies every option through the setters, in the order a client applies
    // a host's options, so the setters' rules hold as they do for each one:
    // a locked option stays as it is. The Bingo settings count only with
    // Bingo on (changing the draw size while the window is shown chooses
    // Bingo); the folder, rotation and mixing are set only where they differ.
    void Apply(const TGameOptionValues &v);
    // The Bingo radio buttons (refill 1/2, kind 1 numbers/2 fields, change
    // 0 fixed/1 alternating/2 random); any other value leaves the choice.
    void SetBingoFill(int mode);
    void SetBingoKind(int kind);
    void SetBingoChange(int mode);
    // The spin edits and the folder text alone, as a user would change them:
    // while the window is shown a spin edit's change is handled as a click.
    // Nothing is stored here.
    void SetBingoMaxValue(int n);
    void SetMaxMarksValue(int n);
    void SetImportDir(const QString &dir);
    // Unlocks rating, board sharing and evaluation so that a host's options
    // get through their setters; the option rules lock them again.
    void UnlockOptionCaptions();
    // A challenge is played as Sudoku: its window locks the "Bingo" and
    // "Mojidoku" choices while it runs and frees them when it closes.
    void SetSpecialTypesEnabled(bool on);
    void ApplyOptionRules();
    void UpdateMarkerLabel();
    // The tool panel's game-type text from the type and the Bingo radios.
    void UpdateArtLabel();

    // ---- event handlers ----
    void ButtonClick(QObject *sender);
    void ButtonEnter(TLabel *label);
    void ButtonExit(TLabel *label);
    void OK_LabelMouseMove(QWidget *control, Qt::KeyboardModifiers shift);
    void Panel3Click(QObject *sender);
    void Tab_SpielartClick(QObject *sender);
    void ImportDirClick();
    void BTC_StartenClick();
    void BTC_StartenMouseEnter();
    void BTC_StartenMouseLeave();
    void BTC_ZurueckClick();
    // The Starten caption follows what the button will do.
    void FormShow() override;

protected:
    void tabClicked(QObject *label) override { Tab_SpielartClick(label); }
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Where "Zurück" leads.
    void closedFromOutside() override;

private:
    void buildControls();
    void tick(TImage *picture, bool on);
};

extern TFormGO *FormGO;

// Every options send of this window goes through here: it calls
// TNETZ.SendOptions, which acts only while this machine hosts a network game.
void SendGameOptions();
// Tests watch the sends and the help topics asked for; an empty function
// removes the observer.
void SetSendOptionsObserver(std::function<void()> observer);
void SetHelpTopicObserver(std::function<void(int topic)> observer);

// The file mask of the import list for a level 0..3 ("l*.sudoku" ...).
QString ImportMaskForLevel(int level);
