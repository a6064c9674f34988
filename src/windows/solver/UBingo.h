#pragma once
// The Bingo window and the program's Bingo routines: they run the draw
// (UBingo_Draw.h) on the window's list, the main window's board, the solver
// window's engine and the game options.

#include "solver/UBingo_Draw.h"
#include "ui/Controls.h"

#include <QString>
#include <QWidget>

// The settings as the game options window holds them now.
TBingoSettings BingoSettingsFromOptions();

class TFormBingo : public QWidget {
    Q_OBJECT
public:
    explicit TFormBingo(QWidget *parent = nullptr);

    TBingoList BingoList;
    bool DrawNumbers = false; // the current draw offers numbers (true) or fields (false)

    TImage *Image1 = nullptr;
    TLabel *Zahl = nullptr; // the wanted numbers

    // A press drags the borderless window; x and y are relative to the
    // control pressed (Image1 or Zahl).
    void Image1MouseDown(QWidget *control, Qt::MouseButton button, int x, int y);
    void Image1MouseMove(QWidget *control, int x, int y);
    void Image1MouseUp();
    void FormActivate();

protected:
    void showEvent(QShowEvent *e) override;

private:
    bool m_dragging = false;
    QPoint m_dragOrigin; // the press, in window coordinates
};

extern TFormBingo *FormBingo;

// The program's Bingo routines, on the Bingo window's list, the main
// window's board, the solver window's engine and the game options.
bool NextBingoDraw(bool first);
bool RefillBingo(TSolverGrid &grid);
void AddUniqueCandidates(const TSolverGrid &grid, int kind);
void RemoveBingoEntry(int x, int y, int value);
void ClearBingoList();
void ResetBingo();
void UpdateBingoKind(bool first);
bool IsBingoNumbersNow();
void ShowBingoNumbers(const QString &text);
bool IsBingoActive();
void SetBingoFill(int mode);
void SetBingoKind(int kind);
void SetBingoChange(int mode);
