#pragma once
// The hint window on top of the solver engine (USolver_Engine.h).

#include "solver/USolver_Engine.h"
#include "ui/Controls.h"

#include <QString>
#include <QWidget>
#include <cstdint>

// The hint window. Its user interface (controls, hint text, board marks) is
// added beside this; the solver state lives here and in the engine.
class TFormSolver : public QWidget, public TSolverEngine {
    Q_OBJECT
public:
    explicit TFormSolver(QWidget *parent = nullptr);

    TSolverGrid GridBefore; // copy of GameGrid taken before each hint step
    TSolverGrid GameGrid;   // the running game's grid, kept across hints
    TSolverGrid TestGrid;   // the puzzle editor's test grid

    // ---- hint window "Tipp anzeigen" (USolver_Window.cpp) ----------------
    int32_t TippDigit = 0;         // digit of the last painted hint (box F)
    int32_t PatternDigits[3] = {}; // first pattern digits met while painting (s1..s3, C1..C3)

    TPanel *Btn_Panel = nullptr;
    TLabel *btn_show = nullptr; // "Merker zeigen", held down
    TLabel *btn_get = nullptr;  // "Merker übernehmen"
    TLabel *btn_ok = nullptr;   // "Ok"
    TImage *Pic_Show = nullptr;
    TImage *Pic_get = nullptr;
    TImage *Pic_ok = nullptr;
    // The keypad: Label k (Tag k) over Image k, held down.
    TLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr, *Label5 = nullptr,
           *Label6 = nullptr, *Label7 = nullptr, *Label8 = nullptr, *Label9 = nullptr;
    TImage *Image1 = nullptr, *Image2 = nullptr, *Image3 = nullptr, *Image4 = nullptr, *Image5 = nullptr,
           *Image6 = nullptr, *Image7 = nullptr, *Image8 = nullptr, *Image9 = nullptr;
    TPanel *Panel2 = nullptr;
    TImage *bgTipp = nullptr;
    TLabel *Body = nullptr;
    TLabel *Kopf = nullptr;
    // Legend boxes: F the found digit, s1..s3 pattern digits, C1..C3 deleted digits.
    TLabel *F = nullptr, *s1 = nullptr, *s2 = nullptr, *s3 = nullptr, *C1 = nullptr, *C2 = nullptr, *C3 = nullptr;
    TLabel *KeypadLabel(int k) const;

    // One hint on the running game.
    void ShowTipp();
    // The editor's test: a full logical solve of layer 0 ("ok", a duplicate
    // message, or "Es sind noch N Felder frei"); solved digits are written back.
    void TestPuzzle(QString &result);
    QString TestPuzzle();
    void ShowTippText(int level);
    void MarkTippOnBoard(const TSolverGrid &grid);
    void SaveBoardToGrid();
    void ClearBoardMerker(const TSolverGrid &grid);
    void ShowGridMerker(const TSolverGrid &grid);
    // Places into the grid, with the reference digit, every cell that is
    // filled on the board but still empty in the grid, and returns how many;
    // a grid that holds a cell the board has free again is loaded anew.
    int PlaceBoardEntries(TSolverGrid &grid);

    void BitBtn1Click();
    void BitBtn2MouseDown();
    void BitBtn2MouseUp();
    void Button1MouseDown(QObject *sender);
    void copy_MerkerClick();
    void bt_repeatMouseEnter(TLabel *label);
    void bt_repeatMouseLeave(TLabel *label);
    void FormActivate();

protected:
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool buildWindow();
    // The user's marks are in TestGrid between a press and its release.
    bool m_marksSaved = false;
    // Last member: builds the controls once the fields above exist (the
    // constructor itself stays with the engine's grid code).
    bool m_windowBuilt = buildWindow();
};

extern TFormSolver *FormSolver;
