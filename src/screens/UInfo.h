#pragma once

#include "ui/Controls.h"

#include <QWidget>

class TFormInfo : public QWidget {
    Q_OBJECT
public:
    explicit TFormInfo(QWidget *parent = nullptr);

    TLabel *Label1 = nullptr; // version text
    void ShowHelp(int n);
};

extern TFormInfo *FormInfo;
