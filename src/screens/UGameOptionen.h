#pragma once
// The game-options window: the options of the next game live in its controls.

#include "ui/Controls.h"

#include <QWidget>

class TFormGO : public QWidget {
    Q_OBJECT
public:
    explicit TFormGO(QWidget *parent = nullptr);

    // Hidden marker labels whose Tag holds an option.
    TLabel *Sud19M = nullptr;
    TLabel *BingoM = nullptr;
    TLabel *GradM = nullptr;
    TLabel *ImpM = nullptr;
    TLabel *RotM = nullptr;
    TLabel *MixM = nullptr;
    TLabel *RegM = nullptr;
    TLabel *SofortM = nullptr;
    TLabel *EigenM = nullptr;
    TLabel *BonusMerkerM = nullptr;

    TSpinEdit *BingoMax = nullptr;
    TSpinEdit *MaxMerker = nullptr;
    TEdit *ImportDir = nullptr;

    TRadioButton *rb_AI = nullptr;
    TRadioButton *rb_AZ = nullptr;
    TRadioButton *rb_Bingo_voll = nullptr;
    TRadioButton *rb_Bingo_leer = nullptr;
    TRadioButton *rb_Zahlen = nullptr;
    TRadioButton *rb_Felder = nullptr;
    TRadioButton *rb_fest = nullptr;
    TRadioButton *rb_alternate = nullptr;
    TRadioButton *rb_random = nullptr;

    bool FirstActivate = true;

    int GetGameType() const;
    int GetLevel() const;
    int GetRating() const;
    bool IsEvaluationImmediate() const;
    bool IsOwnBoard() const;
    bool HasMarkBonus() const;
    static QString LevelName(int level);
    static QString RatingName(int rating);

    void SetGameType(int t);
    void SetLevel(int l);
    void SetRating(int r);
    void SetImport(int v);
    void SetRotation(int v);
    void SetMix(int v);
    void SetEvaluation(int v);
    void SetOwnBoard(int v);
    void SetMaxMarks(int n);
    void SetMarkBonus(int v);
    void ApplyOptionRules();
    void UpdateMarkerLabel();
};

extern TFormGO *FormGO;
