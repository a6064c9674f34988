#pragma once
// The game-search window.

#include <QWidget>

class TFormSucheSpiele : public QWidget {
    Q_OBJECT
public:
    explicit TFormSucheSpiele(QWidget *parent = nullptr);

    void ShowTab(int n);
};

extern TFormSucheSpiele *FormSucheSpiele;
