// Speed of the logical solver: single solve steps as the hint takes them, and
// whole logical solves as the editor test runs them, over the built-in
// puzzles, random puzzles and hard ones (that need a technique of level 6 or
// above). Every hint step is timed once. Every whole solve is timed nine
// times and counts with its median, so that on a shared machine a solve
// preempted once does not pass for a slow one: *_solve_worst is the worst
// puzzle's median. Prints one "name value unit" line per figure.

#include "board/UQuadrivo_Builtin.h"
#include "codes/UQuadrivo_Codes.h"
#include "settings/USystem.h"
#include "solver/USolver_Engine.h"
#include "solver/USolver_Generator.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using TClock = std::chrono::steady_clock;

double Micros(TClock::duration d)
{
    return std::chrono::duration<double, std::micro>(d).count();
}

constexpr int kSolveRuns = 9;

struct TFigures {
    std::vector<double> Steps;  // one hint step each
    std::vector<double> Solves; // the median of one puzzle's editor solves
};

// The reference board of a game and the editor's board of the same puzzle.
void Boards(const QString &puzzle, TBoards &game, TBoards &editor)
{
    game = TBoards();
    LoadPuzzleStringInto(game[0], puzzle);
    editor = TBoards();
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            const bool given = game[0][x][y].State == -1;
            editor[0][x][y].State = given ? 0 : -1;
            editor[0][x][y].Value = given ? game[0][x][y].Value : 0;
        }
}

template <typename Run> double Timed(Run run)
{
    const auto t0 = TClock::now();
    run();
    return Micros(TClock::now() - t0);
}

void Measure(TSolverEngine &e, const QString &puzzle, TFigures &f)
{
    TBoards game, editor;
    Boards(puzzle, game, editor);
    TSolverGrid g, scratch;

    // The hint's road: one step, then the found digit entered.
    e.ResetGrid(g);
    e.LoadGameFromBoard(g, game);
    for (int hint = 0; hint < 200; ++hint) {
        CopySolverGrid(g, scratch);
        f.Steps.push_back(Timed([&] { e.SolveStep(scratch, true); }));
        CopySolverGrid(scratch, g);
        if (g.FoundLevel == 0)
            break;
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y)
                for (int d = 1; d <= 9; ++d)
                    if (g.Cells[x][y].Found[d] && g.Cells[x][y].Value == 0)
                        e.PlaceDigit(g, x, d, y);
    }

    // The editor test: load and solve to the end.
    std::vector<double> runs;
    for (int run = 0; run < kSolveRuns; ++run)
        runs.push_back(Timed([&] {
            e.ResetGrid(g);
            e.LoadPuzzleFromBoard(g, editor);
            e.SolveToEnd(g);
        }));
    std::sort(runs.begin(), runs.end());
    f.Solves.push_back(runs[runs.size() / 2]);
}

void Print(const char *set, const TFigures &f)
{
    auto report = [set](const char *what, std::vector<double> v) {
        std::sort(v.begin(), v.end());
        double sum = 0;
        for (double x : v)
            sum += x;
        std::printf("%s_%s_median %.2f us\n", set, what, v[v.size() / 2]);
        std::printf("%s_%s_mean %.2f us\n", set, what, sum / double(v.size()));
        std::printf("%s_%s_p99 %.2f us\n", set, what, v[size_t(double(v.size() - 1) * 0.99)]);
        std::printf("%s_%s_worst %.2f us\n", set, what, v.back());
    };
    report("step", f.Steps);
    report("solve", f.Solves);
    std::printf("%s_steps %zu count\n", set, f.Steps.size());
    std::printf("%s_puzzles %zu count\n", set, f.Solves.size());
}

} // namespace

int main()
{
    TSolverEngine e;
    // A warm-up round, so the first figures do not pay for cold caches.
    TFigures warm;
    Measure(e, QString::fromLatin1(kBuiltinPuzzles[0][0]), warm);

    TFigures builtin;
    for (int level = 0; level < 4; ++level)
        for (int index = 0; index < 13 && kBuiltinPuzzles[level][index]; ++index)
            Measure(e, QString::fromLatin1(kBuiltinPuzzles[level][index]), builtin);
    Print("builtin", builtin);

    RandSeed(2401);
    std::vector<QString> puzzles;
    for (int i = 0; i < 1000; ++i)
        puzzles.push_back(RandomPuzzleString(17));
    TFigures random;
    for (const QString &p : puzzles)
        Measure(e, p, random);
    Print("random", random);

    // Hard puzzles: random ones whose logical solve takes a step of level 6
    // to 11, the levels that try patterns on trial copies of the grid.
    RandSeed(7211);
    std::vector<QString> hard;
    int drawn = 0;
    while (hard.size() < 1000 && drawn < 200000) {
        const QString p = RandomPuzzleString(17);
        ++drawn;
        TBoards game, editor;
        Boards(p, game, editor);
        TSolverGrid g;
        e.ResetGrid(g);
        e.LoadPuzzleFromBoard(g, editor);
        int highest = 0;
        e.SolveToEnd(g, [&](const TSolverGrid &grid, int) {
            highest = std::max(highest, grid.FoundLevel % 100);
            if (grid.MerkerLevel != NoMerkerLevel)
                highest = std::max(highest, grid.MerkerLevel);
        });
        if (highest >= 6 && highest <= 11)
            hard.push_back(p);
    }
    TFigures hardFigures;
    for (const QString &p : hard)
        Measure(e, p, hardFigures);
    Print("hard", hardFigures);
    std::printf("hard_drawn %d count\n", drawn);
    return 0;
}
