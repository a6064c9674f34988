#pragma once
// The board view: the records of the 81 cells with their 729 pencil marks,
// the board widget that draws them, and the board queries.

#include "ui/Controls.h"

#include <QWidget>
#include <cstdint>

// One pencil mark of a cell.
struct TMarkEntry {
    int32_t State = 0;      // 0 none, 1 colour 1, 2 colour 2
    int32_t ShownState = -1; // the state last drawn
};

// The controls of one cell.
struct TCellView {
    int32_t DigitColor = 0;
    TMarkEntry Marks[4][4]; // [mini column 1..3][mini row 1..3]
    int32_t Owner = -1;
    uint8_t ShowMarks = 0;
    int32_t BlinkTicks = 0;
    int32_t HighlightTicks = 0;
    uint8_t BingoMark = 0;
};

// The board panel: one widget that draws every cell.
class TBoardWidget : public QWidget {
    Q_OBJECT
public:
    explicit TBoardWidget(QWidget *parent = nullptr);
};

class TFormFeld : public QWidget {
    Q_OBJECT
public:
    explicit TFormFeld(QWidget *parent = nullptr);

    // ---- board view ----
    void CreatePlayerTable();
    void CreateBoardControls();
    void LayoutBoard();
    void RefreshMarks();
    void ClearAllMarkStates();

    // ---- board queries ----
    bool IsCellFreeOnAllLayers(int x, int y) const;
    int MaxStateOverLayers(int x, int y) const;
    void CountLayer(int k, int &Free, int &FreeAll, int &Differing) const;
};

extern TFormFeld *FormFeld;

void DrawCell(int x, int y, bool showMarks);
void ShowMarkImage(int x, int y, int d);
void ResetChangedCells();
