#pragma once
// Challenges and tournaments.

#include "ui/Controls.h"

#include <QWidget>

class TFormCha : public QWidget {
    Q_OBJECT
public:
    explicit TFormCha(QWidget *parent = nullptr);

    bool ChallengeActive = false;
    bool TournamentActive = false;
    int StageNr = 0;
    QString StageGameCode;
    bool NeedNewGame = false;
    TRadioButton *RB1 = nullptr;
    TRadioButton *RB2 = nullptr;
    TRadioButton *RB3 = nullptr;

    void SetTurnierEndeArt(int n);
    void SetupChallenge();
    void SetupTournament();
};

extern TFormCha *FormCha;
extern QString ChallengeFileName;
