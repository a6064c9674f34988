#pragma once
// The replay dialog: the game codes started during this run.

#include "ui/Controls.h"

#include <QWidget>

class TVorgabe : public QWidget {
    Q_OBJECT
public:
    explicit TVorgabe(QWidget *parent = nullptr);

    TListBox *GespielteSpiele = nullptr;
    TLabeledEdit *SpielVorgabe = nullptr;
    TLabel *BTC_start = nullptr;
    TLabel *BTC_Zurueck = nullptr;
    bool FirstActivate = true;
};

extern TVorgabe *Vorgabe;
