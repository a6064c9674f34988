#pragma once
// The ghost file's contents without the file: the stored puzzle, level and
// mark limit and per cell the owner code and time; what the list shows of a
// file; and the merge of a finished game into the stored ghosts. No window
// and no file access here, so the rules can be tested and fuzzed directly.

#include "board/UQuadrivo_Types.h"
#include "files/UIniFile.h"

#include <QString>
#include <cstdint>

// Owner codes in a file: 0 given or no result, 1 nobody found the cell in the
// last saved game, 2..8 a participant (2 the most recent).
constexpr int kGhostMaxCode = 8;
constexpr int kGhostMaxMarks = 9;

// Key names of one cell: column first, then row.
QString GhostOwnerKey(int x, int y);
QString GhostTimeKey(int x, int y);

struct TGhostData {
    QString Feld;                  // the stored PuzzleString
    QString LevelText;             // "Level" as stored; "0" when missing (level 0)
    bool HasLevel = false;
    QString MerkerText;            // "Merker" as stored; empty when missing
    bool HasMerker = false;
    int32_t Owner[10][10] = {};    // [x][y], 1..9
    int64_t Time[10][10] = {};     // [x][y], tenths of a second
};

// Owner codes outside 0..8 and times outside 0..2^31-1 count as 0: they are
// never written by the program, and must never index past the eight slots.
int SanitizeGhostOwner(int64_t code);
int64_t SanitizeGhostTime(int64_t time);
// Reads a stored integer; text that holds no number gives the default.
int64_t GhostNumber(const QString &text, int64_t defaultValue);

// The level number of a ghost file: 0..3, or 10..13 with import on; -1 when the
// text is no level of that set.
int GhostLevel(const QString &levelText);
// The mark limit of a ghost file, clamped to 0..9 (a missing or non-numeric
// value reads as 0).
int GhostMarkLimit(const QString &merkerText);

// Why a ghost file cannot be played: empty when it can.
QString GhostDataProblem(const TGhostData &data);

// What the ghost list shows of one file.
struct TGhostSummary {
    int Participants = 1; // the highest owner code, at least 1
    int64_t LongestTime = 0;
};
TGhostSummary SummarizeGhostData(const TGhostData &data);

// The level column: "unbekannt" when the file has no level, the level's name
// (by the given naming rule) when it is a number, empty otherwise.
QString GhostLevelText(const TGhostData &data, QString (*levelName)(int));

// The merge of a finished game into the stored ghosts.
enum class TGhostMergeOutcome {
    Saved,            // every participant owns a cell: all stored one code older
    SavedDroppedGhost, // a participant without cells dropped out, the rest stored
    NoPoints,         // the live player owns no cell: nothing stored
    TooManyGhosts,    // an eighth ghost would be needed: nothing stored
};

struct TGhostMerge {
    TGhostMergeOutcome Outcome = TGhostMergeOutcome::Saved;
    QString Feld;              // the puzzle as played, when stored
    int32_t Owner[10][10] = {}; // codes to store
    int64_t Time[10][10] = {};
};

// Layer 0 of the finished game: Value, State (-1 given), FirstFinder (the
// slot credited, 0 nobody) and FoundTime. participants is the game's
// GhostCount (the live player plus the ghosts).
TGhostMerge MergeGhostResult(const TBoardLayer &layer0, int participants);

// ---- the file ----------------------------------------------------------------
inline constexpr char kGhostMainSection[] = "Main";
inline constexpr char kGhostCellSection[] = "Ghosts";

// The contents of a ghost file (missing keys read as owner 0 and time 0).
TGhostData ReadGhostData(const TIniFile &ini);
// A new file's document in its key order: "chksum" "0", "Passwort", "Feld",
// "Level", "Merker", then the 162 cell keys row by row, each 0, then its checksum.
TIniFile NewGhostDocument(const QString &path, const QString &passwordDigest, const QString &feld, int level,
                          int merker);
// Writes the 162 cell keys in place (rows outer, columns inner) and "Feld" when
// it is not empty, then the checksum. False when any write was refused.
bool WriteGhostCells(TIniFile &ini, const int32_t (&owner)[10][10], const int64_t (&time)[10][10],
                     const QString &feld = QString());
