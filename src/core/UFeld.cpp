#include "core/UFeld.h"

#include "competitions/Ughost.h"
#include "core/UQuadrivo.h"

TFormFeld *FormFeld = nullptr;

TBoardWidget::TBoardWidget(QWidget *parent) : QWidget(parent) {}

TFormFeld::TFormFeld(QWidget *parent) : QWidget(parent) {}

void TFormFeld::CreatePlayerTable() {}

void TFormFeld::CreateBoardControls() {}

void TFormFeld::LayoutBoard() {}

void TFormFeld::RefreshMarks() {}

void TFormFeld::ClearAllMarkStates()
{
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x)
            for (int r = 1; r <= 3; ++r)
                for (int c = 1; c <= 3; ++c)
                    Form1->Cells[x][y].Marks[c][r].State = 0;
}

bool TFormFeld::IsCellFreeOnAllLayers(int x, int y) const
{
    for (int k = 0; k <= 8; ++k)
        if (Form1->Boards[k][x][y].State != 0)
            return false;
    return true;
}

int TFormFeld::MaxStateOverLayers(int x, int y) const
{
    int m = Form1->Boards[0][x][y].State;
    for (int k = 1; k <= 8; ++k)
        m = std::max(m, Form1->Boards[k][x][y].State);
    return m;
}

void TFormFeld::CountLayer(int k, int &Free, int &FreeAll, int &Differing) const
{
    Free = FreeAll = Differing = 0;
    const bool ghost = FormGhost && FormGhost->GhostMode;
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            if (Form1->Boards[k][x][y].State == 0)
                ++Free;
            if (ghost && IsCellFreeOnAllLayers(x, y))
                ++FreeAll;
            if (Form1->Boards[k][x][y].Value != Form1->Boards[0][x][y].Value)
                ++Differing;
        }
}

void DrawCell(int, int, bool) {}

void ShowMarkImage(int, int, int) {}

void ResetChangedCells() {}
