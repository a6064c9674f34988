#pragma once
// The text forms of puzzles and games and the transformations of a board:
// plain functions on one board layer, so they can be checked without windows.

#include "board/UQuadrivo_Types.h"

#include <QString>
#include <QStringList>

// 'A'..'I' a given digit, 'a'..'i' a digit to be found.
bool IsPuzzleLetter(QChar c);

// Loads a PuzzleString: capitals are givens (State -1), every other character a
// digit to be found (State 0, Value = code - 96). Cells past the end of a short
// text are left as they are.
void LoadPuzzleStringInto(TBoardLayer &layer, const QString &s);
// Row y from line y, column x from character x; returns the 81 characters read.
QString LoadPuzzleLinesInto(TBoardLayer &layer, const QStringList &lines);
QString BuildPuzzleStringFrom(const TBoardLayer &layer);

int Min3(int a, int b, int c);
int Max3(int a, int b, int c);
int Mid3(int a, int b, int c);
void PermuteColumnsOf(TBoardLayer &layer, int a, int b, int c);
void PermuteRowsOf(TBoardLayer &layer, int a, int b, int c);
void ApplyRotationCodeTo(TBoardLayer &layer, const QString &code);
void ApplyDigitMapTo(TBoardLayer &layer, const QString &map);

QString MakeRandomRotationCode();
QString MakeRandomDigitMap();
// The symbols of a game type; type 3 draws nine random capitals.
QString SymbolSetForType(int type);
QString MakeOptionsCode(int gameType, bool immediate, int level, int rating, int maxMarks);
QString BuiltinCodeOf(int level, int index);
// "Leicht", "Mittel", "Schwer", "Profi" for levels 0..3; 10..13 are the
// imported ones with "(Import)"; empty for any other level.
QString GameLevelName(int level);

// A typed game code, checked before use. The code is the text after the first
// ">" (the whole text without one).
struct TGameCodeParts {
    QString Puzzle;  // 81 letters
    QString Options; // 5 characters
    QString Symbols; // 9 characters
};
bool ParseGameCode(const QString &typed, TGameCodeParts &parts, QString &error);

// A puzzle file: nine lines of nine puzzle letters (further lines are ignored).
bool CheckPuzzleLines(const QStringList &lines, QString &error);
