#pragma once
// The start screen that routes to every mode.

#include "ui/Controls.h"

#include <QWidget>

class TFormStart : public QWidget {
    Q_OBJECT
public:
    explicit TFormStart(QWidget *parent = nullptr);

    int GameKind = 1;
    int PlayMode = 10;
    bool FirstActivate = true;

    void ShowStartTab(int n);
    // sender carries the tab's Tag; nullptr counts as 10 (single play).
    void Tab_EinzelspielerClick(QObject *sender);
};

extern TFormStart *FormStart;
