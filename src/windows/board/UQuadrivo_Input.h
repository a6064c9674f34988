#pragma once
// The rules of the board input and the puzzle editor's file format, apart
// from the window so they can be checked directly.

#include "board/UQuadrivo_Types.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <functional>

// The next state of a pencil mark after a click in colour 1 (right button) or
// colour 2 (middle button). A new mark needs room under the limit of marks
// per cell; changing the colour of a set mark does not.
int NextMarkState(int state, int colour, int marksInCell, int limit);

// The block a keypad digit stands for, laid out like the keypad: 7 8 9 the
// top blocks, 1 2 3 the bottom ones. False for 0 (the whole board) and for
// anything that is not a digit.
bool KeypadBlock(int digit, int &blockColumn, int &blockRow);

// The head of a puzzle file: at most the bytes any reader of one looks at,
// so a huge or endless file is never read whole. Empty after a read error.
QByteArray ReadPuzzleFileHead(QIODevice &file);
// A puzzle file's text as lines, without their line ends; only the first nine
// lines matter and a file may hold fewer.
QStringList SplitPuzzleFileText(const QByteArray &bytes);
// The editor's reading of one character: "A".."I" a given digit (State 0),
// "a".."i" an entered one (State 1); false for anything else.
bool EditorCellOf(QChar c, int &value, int &state);
// The nine lines of layer 0 in editor coding: a capital for a given digit, a
// small letter for an entered one, the grave accent for an empty cell.
QStringList EditorPuzzleLines(const TBoardLayer &layer);
// Those lines as the file holds them: Windows-1252 with CR LF line ends.
QByteArray EditorPuzzleFileBytes(const TBoardLayer &layer);
// The chosen file name with its extension replaced by ".sudoku".
QString EditorSaveName(const QString &chosen);

// The editor's puzzle test: true when a test ran, with its result ("ok" or
// what the test found). Tests install their own; an empty function restores
// the program's.
using TEditorPuzzleTest = std::function<bool(QString &result)>;
void SetEditorPuzzleTest(TEditorPuzzleTest test);
bool RunEditorPuzzleTest(QString &result);
