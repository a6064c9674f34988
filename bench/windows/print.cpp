// Printing: recording the board page and printing it to PDF, and redrawing
// the preview's paper after a zoom step.
#include "common/TestEnv.h"
#include "board/UFeld.h"
#include "board/UQuadrivo_Types.h"
#include "print/Preview.h"
#include "print/UDrucken.h"
#include "settings/USystem.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {
double medianMs(std::vector<qint64> ns)
{
    std::sort(ns.begin(), ns.end());
    return ns.empty() ? 0.0 : double(ns[ns.size() / 2]) / 1e6;
}

void print(const char *name, double value, const char *unit) { std::printf("%s %.4f %s\n", name, value, unit); }
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const TTestEnv env;
    qputenv("SUDOKU_PRINT_PDF", (env.Dir() + "/bench.pdf").toUtf8());
    ReloadSudokuEnv();
    QApplication app(argc, argv);

    // A game in progress: givens, found digits of three players, marks in every open cell.
    auto boards = std::make_unique<TBoards>();
    auto cells = std::make_unique<TCellView[][10]>(10);
    TPlayerRecord players[9];
    for (int p = 1; p <= 3; ++p)
        players[p].Color = 0x2040C0 * p;
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            const int v = (x + 3 * (y - 1) + (y - 1) / 3) % 9 + 1;
            if ((x * y) % 3 == 0)
                (*boards)[1][x][y] = {v, -1, 0, 0};
            else if ((x + y) % 4 == 0)
                (*boards)[1 + (x % 3)][x][y] = {v, 1 + (x % 3), 0, 0};
            else
                for (int d = 1; d <= 9; ++d)
                    cells[x][y].Mark(d).State = d % 3;
        }
    TBoardPrintInput in;
    in.Boards = boards.get();
    in.Cells = cells.get();
    in.Players = players;
    in.PlayerNo = 1;
    in.Found = in.Marks = in.Colour = true;

    TPrintPreview preview;
    preview.resize(322, 373);
    preview.show();
    std::vector<qint64> record, printing, redraw;
    for (int i = 0; i < 15; ++i) {
        QElapsedTimer t;
        t.start();
        RenderBoardPage(&preview, in);
        record.push_back(t.nsecsElapsed());
        t.restart();
        preview.Print();
        printing.push_back(t.nsecsElapsed());
    }
    for (int i = 0; i < 30; ++i) {
        preview.SetZoom(i % 2 ? 100 : 110);
        QElapsedTimer t;
        t.start();
        preview.Paper()->Bitmap(); // the page drawn anew into the paper's bitmap
        redraw.push_back(t.nsecsElapsed());
    }
    std::vector<qint64> both(record.size());
    for (size_t i = 0; i < record.size(); ++i)
        both[i] = record[i] + printing[i];
    print("print_record_board_page", medianMs(record), "ms");
    print("print_board_to_pdf", medianMs(printing), "ms");
    print("print_record_and_print_board", medianMs(both), "ms");
    print("preview_redraw_after_zoom_step", medianMs(redraw), "ms");
    return 0;
}
