#pragma once
// The Bingo draws: the numbers or fields the host offers.

#include "ui/Controls.h"

#include <QWidget>

class TFormBingo : public QWidget {
    Q_OBJECT
public:
    explicit TFormBingo(QWidget *parent = nullptr);
};

extern TFormBingo *FormBingo;

void SetBingoFill(int mode);
void SetBingoKind(int kind);
void SetBingoChange(int mode);
bool IsBingoActive();
