#pragma once

#include "ui/Controls.h"

#include <QWidget>

class TFormSpielEnde : public QWidget {
    Q_OBJECT
public:
    explicit TFormSpielEnde(QWidget *parent = nullptr);
};

extern TFormSpielEnde *FormSpielEnde;
