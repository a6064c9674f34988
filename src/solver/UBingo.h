#pragma once
// The Bingo draws: the numbers or fields the host offers.

#include "ui/Controls.h"

#include <QWidget>

class TFormBingo : public QWidget {
    Q_OBJECT
public:
    explicit TFormBingo(QWidget *parent = nullptr);

    bool DrawNumbers = false; // the current draw offers numbers (true) or fields (false)
};

extern TFormBingo *FormBingo;

void SetBingoFill(int mode);
void SetBingoKind(int kind);
void SetBingoChange(int mode);
bool IsBingoActive();
void ClearBingoList();
