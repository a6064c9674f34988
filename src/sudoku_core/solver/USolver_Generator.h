#pragma once
// Brute force, independent of the logical solver: a solution counter and a
// generator of random puzzles with exactly one solution. Tests and benchmarks
// use them to make puzzles and to judge the logical solver by them.

#include <QString>

// Cells row by row (index (y-1)*9 + (x-1)), 0 = empty. Counts the solutions,
// stopping once `limit` have been seen.
int CountSolutions(const int (&cells)[81], int limit);

// A PuzzleString (capitals are the givens, small letters the rest of the
// solution) with exactly one solution. Givens are removed in random order as
// long as the solution stays unique and more than `minGivens` remain. Draws
// from the program's random generator, so a seed repeats the puzzle.
QString RandomPuzzleString(int minGivens);
