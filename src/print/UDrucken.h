#pragma once

#include "ui/Controls.h"

#include <QWidget>

class TFormDrucken : public QWidget {
    Q_OBJECT
public:
    explicit TFormDrucken(QWidget *parent = nullptr);
};

extern TFormDrucken *FormDrucken;
