#pragma once
// The program's start as its entry makes it, for tests and benchmarks: the
// terms of use already accepted, every window built, and the start-up
// timer's handler run step by step instead of by the timer.

#include "board/UQuadrivo.h"
#include "board/USudokuApp.h"
#include "settings/USonstiges.h"

#include <climits>

// The start-up step at which the start screen shows.
constexpr int kStartScreenStep = 160;

inline void CreateWindowsTermsAccepted()
{
    RegWriteInteger(QStringLiteral("Disclaimer"), 1);
    CreateSudokuWindows();
}

// Runs the start-up timer's handler until its Tag reaches the step
// (inclusive) or the timer stops.
inline void RunStartup(int upToStep = INT_MAX)
{
    while (Form1->SplashTimer->isActive() && Form1->SplashTimer->Tag < upToStep)
        Form1->SplashTimerTimer();
}
