#pragma once
// Ghost games.

#include "ui/Controls.h"

#include <QWidget>

class TFormGhost : public QWidget {
    Q_OBJECT
public:
    explicit TFormGhost(QWidget *parent = nullptr);

    bool GhostMode = false;
    bool NewGhostFile = false;
    // The puzzle of the current game as loaded, before rotation and relabelling.
    QString GhostFeld;
};

extern TFormGhost *FormGhost;
