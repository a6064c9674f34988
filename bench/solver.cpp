// Speed of the logical solver: single solve steps as the hint takes them, and
// whole logical solves as the editor test runs them, over the built-in
// puzzles and over random puzzles. Prints one "name value unit" line per figure.

#include "core/UQuadrivo_Builtin.h"
#include "core/UQuadrivo_Codes.h"
#include "core/USystem.h"
#include "solver/USolver.h"
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

struct TFigures {
    std::vector<double> Steps;  // one hint step each
    std::vector<double> Solves; // one whole editor solve each
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

// Each figure is the fastest of a few runs on the same grid, so that a run
// the machine happened to interrupt does not pass for a slow step.
constexpr int kRuns = 3;

template <typename Run> double Fastest(Run run)
{
    double best = 1e300;
    for (int i = 0; i < kRuns; ++i)
        best = std::min(best, run());
    return best;
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
        f.Steps.push_back(Fastest([&] {
            CopySolverGrid(g, scratch);
            const auto t0 = TClock::now();
            e.SolveStep(scratch, true);
            return Micros(TClock::now() - t0);
        }));
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
    f.Solves.push_back(Fastest([&] {
        const auto t0 = TClock::now();
        e.ResetGrid(g);
        e.LoadPuzzleFromBoard(g, editor);
        e.SolveToEnd(g);
        return Micros(TClock::now() - t0);
    }));
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
    for (int i = 0; i < 500; ++i)
        puzzles.push_back(RandomPuzzleString(17));
    TFigures random;
    for (const QString &p : puzzles)
        Measure(e, p, random);
    Print("random", random);
    return 0;
}
