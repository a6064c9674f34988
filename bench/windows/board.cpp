// The board view: building the cell and mark controls, one layout at the
// default window size, and one full redraw of all 81 cells with their marks.
#include "common/ProgramStart.h"
#include "board/UFeld.h"
#include "board/UQuadrivo.h"
#include "board/UQuadrivo_Builtin.h"
#include "board/USudokuApp.h"
#include "common/TestEnv.h"
#include "screens/UOptionen.h"
#include "settings/USonstiges.h"
#include "settings/USystem.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
double medianMs(std::vector<qint64> ns)
{
    std::sort(ns.begin(), ns.end());
    return ns.empty() ? 0.0 : double(ns[ns.size() / 2]) / 1e6;
}

void print(const char *name, double value, const char *unit)
{
    std::printf("%s %.4f %s\n", name, value, unit);
}

// A game in progress: givens and found digits shown, every open cell with
// pencil marks of both colours and, with the keyboard option, all labels.
void fillBoard()
{
    Form1->LoadPuzzleString(QString::fromLatin1(kBuiltinPuzzles[1][0]));
    FormOpt->tastaturM->Tag = 1;
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            TCellView &cv = Form1->Cells[x][y];
            const bool shown = Form1->Boards[0][x][y].State == -1 || (x + y) % 7 == 0;
            cv.ShowMarks = shown ? 0 : 1;
            cv.DigitLabel.SetCaption(shown ? QString::number(Form1->Boards[0][x][y].Value) : QString());
            for (int d = 1; d <= 9; ++d)
                cv.Mark(d).State = (d + x + y) % 3;
            DrawCell(x, y, !shown);
        }
    FormFeld->RefreshMarks();
}
} // namespace

int main(int argc, char *argv[])
{
    const TTestEnv env;
    QApplication app(argc, argv);
    ReloadSudokuEnv();
    CreateWindowsTermsAccepted();

    // Start-up to just before the board is built, then build it here.
    RunStartup(43);
    QElapsedTimer t;
    t.start();
    FormFeld->CreateBoardControls();
    print("board_create_controls", double(t.nsecsElapsed()) / 1e6, "ms");
    RunStartup();
    Form1->Blinken->SetEnabled(false);
    fillBoard();

    // Each timed layout starts from another size, so every control moves.
    std::vector<qint64> layout;
    for (int i = 0; i < 200; ++i) {
        Form1->resize(1100 + i % 7, 800);
        FormFeld->LayoutBoard();
        Form1->resize(1020, 725);
        t.restart();
        FormFeld->LayoutBoard();
        layout.push_back(t.nsecsElapsed());
    }
    print("board_layout_1020x725", medianMs(layout), "ms");

    // The same with the window on screen: the layout and the repaint it causes
    // (everything the layout invalidated, painted at once).
    Form1->show();
    QCoreApplication::processEvents();
    std::vector<qint64> shown;
    for (int i = 0; i < 100; ++i) {
        Form1->resize(1100 + i % 7, 800);
        FormFeld->LayoutBoard();
        Form1->repaint();
        Form1->resize(1020, 725);
        t.restart();
        FormFeld->LayoutBoard();
        Form1->repaint();
        shown.push_back(t.nsecsElapsed());
    }
    print("board_layout_and_repaint_1020x725", medianMs(shown), "ms");
    Form1->hide();

    Form1->FormPaint();
    QImage target(Form1->brett->size(), QImage::Format_RGB32);
    auto redraw = [&] {
        QPainter p(&target);
        Form1->brett->InvalidateAll();
        Form1->brett->PaintBoard(p, target.rect());
    };
    Form1->brett->ClearPictureCache();
    t.restart();
    redraw();
    // The very first one also starts the font system.
    print("board_full_redraw_first", double(t.nsecsElapsed()) / 1e6, "ms");
    std::vector<qint64> cold;
    for (int i = 0; i < 20; ++i) {
        Form1->brett->ClearPictureCache();
        t.restart();
        redraw();
        cold.push_back(t.nsecsElapsed());
    }
    print("board_full_redraw_uncached", medianMs(cold), "ms");
    std::vector<qint64> full;
    for (int i = 0; i < 200; ++i) {
        t.restart();
        redraw();
        full.push_back(t.nsecsElapsed());
    }
    print("board_full_redraw", medianMs(full), "ms");

    // One animation step over a resting board (every cell redrawn by the rules).
    std::vector<qint64> tick;
    for (int i = 0; i < 200; ++i) {
        t.restart();
        Form1->BlinkenTimer();
        tick.push_back(t.nsecsElapsed());
    }
    print("board_animation_step", medianMs(tick), "ms");

    DestroySudokuWindows();
    return 0;
}
