#pragma once
// The small rules of the game flow that need no window: the game time, the
// reading of an options code, the mode texts of the tool panel and the rule
// of the hint button.

#include <QString>
#include <cstdint>

// The game time in tenths of a second: counts since the start (moved forward
// by every pause) plus the penalty seconds of a single game. A counter rate
// that is not known yet counts as the nanosecond counter's.
int64_t GameTenthsAt(int64_t now, int64_t startCount, int64_t countsPerTenth, int32_t penaltySeconds);

// An options code read back into option values. A field the code does not
// carry (too short, or a letter that means nothing) is -1: leave the option.
struct TOptionsCodeValues {
    int GameType = -1;   // 1..4
    int Evaluation = -1; // 1 at once, 0 at the end
    int Level = -1;      // the digit's value; the setters bound it
    int Rating = -1;
    int MaxMarks = -1;
};
// "B" is Bingo, except in a challenge, which is never played as Bingo.
TOptionsCodeValues DecodeOptionsCode(const QString &code, bool inChallenge);

// The texts of the tool panel's mode labels; false: leave the label as it is.
bool PlayModeText(int playMode, QString &text);
QString GameKindText(int gameKind);

// The hint is offered only in a single game of the normal or repeat kind
// that shows digits and is not Bingo; everywhere else it would help against
// other players or explain a board it cannot read.
bool IsHintAllowedFor(bool singlePlayerGame, int gameKind, bool bingo, int symbolKind);
