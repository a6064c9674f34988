#pragma once
// The game-search window.

#include <QWidget>

class TFormSucheSpiele : public QWidget {
    Q_OBJECT
public:
    explicit TFormSucheSpiele(QWidget *parent = nullptr);
};

extern TFormSucheSpiele *FormSucheSpiele;
