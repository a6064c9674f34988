#pragma once
// The checksum and password of every competition file, and the rules of the
// challenge and tournament files (names, stage numbers, stage codes, results).
// Plain functions on a TIniFile (UIniFile.h): no window, no dialog.
//
// The checksum covers the file's text from its third line on: the lines
// (split at CR LF, CR or LF) after the first two, then the salt line, each
// followed by CR LF, hashed with MD5 and written as 32 lowercase hex digits.
// The first two lines (the first section's header and its "chksum" key) are
// left out, so the stored checksum never feeds into its own computation.
//
//   TIniFile ini(path);
//   if (!ini.Load() || !VerifyChecksum(ini, kChallengeSection)) -> invalid
//   ini.WriteString(...); WriteChecksum(ini, kChallengeSection); ini.Save(&error);

#include "files/UIniFile.h"

#include <QByteArray>
#include <QString>

// Never stored in a file; it only takes part in the hash.
inline constexpr char kChecksumSalt[] = "Zucker verstreuen";
inline constexpr char kChecksumKey[] = "chksum";
inline constexpr char kPasswordKey[] = "Passwort";
// The first section of challenge and tournament files (ghost files use "Main").
inline constexpr char kChallengeSection[] = "Spiele";
inline constexpr char kStageSection[] = "Etappe";

// The bytes that are hashed for a file holding these bytes.
QByteArray ChecksumText(const QByteArray &fileBytes);
// MD5 of ChecksumText, 32 lowercase hex digits.
QString ChecksumOfBytes(const QByteArray &fileBytes);
QString ChecksumOf(const TIniFile &ini);
// Stores the document's checksum as section/"chksum" (in place on its line).
bool WriteChecksum(TIniFile &ini, const QString &section);
// True when section/"chksum" is present, not empty and equals the checksum of
// the document's text (exact, case-sensitive).
bool VerifyChecksum(const TIniFile &ini, const QString &section);

// MD5 of the password's Windows-1252 bytes, 32 lowercase hex digits.
QString PasswordDigest(const QString &password);
// The typed password matches when "Passwort" is present, not "0" and equals its digest.
bool PasswordMatches(const TIniFile &ini, const QString &typed,
                     const QString &section = QString::fromLatin1(kChallengeSection));

// ---- challenge and tournament files ----------------------------------------
// ".challenge" for play mode 10, ".turnier" for 20, empty for any other mode.
QString CompetitionExtension(int playMode);
// A name that stays inside the data folder: not empty after trimming, without
// "/", "\", ".." or control characters.
bool IsSafeCompetitionName(const QString &name);
// dir + "/" + name + extension; empty when the name is unsafe or the mode has no file.
QString CompetitionFilePath(const QString &dir, const QString &name, int playMode);

// A new file's document: "Spiele" with "chksum" and "Passwort", the empty
// "Etappe", and its checksum.
TIniFile NewCompetitionDocument(const QString &path, const QString &password);

// n written with at least four digits, "0" padded on the left.
QString StageNumberText(int n);
// A player's "Etappe" value as a number: decimal digits, leading zeros or
// not ("9" and "0009" alike). 0 when the player has no entry, -1 when the
// value is no such number.
int PlayerStageNumber(const TIniFile &ini, const QString &nickname);
// The stage number text after the player's "Etappe" entry (missing = 0).
QString NextStageNumber(const TIniFile &ini, const QString &nickname);
// The stage keys: the keys of "Spiele" after "chksum" and "Passwort".
QStringList StageKeys(const TIniFile &ini);
// 81 puzzle letters, a game type letter (S, I, Z, B), "S" or "D", three digits.
bool IsValidStageCode(const QString &code);
// Four or more decimal digits (a stage key).
bool IsValidStageNumber(const QString &text);
// The checks a reader applies before it plays a file: every stage key a valid
// number and its value a valid stage code, every "Etappe" value a number.
bool StagesAreValid(const TIniFile &ini);

// "points*tenths*errors".
QString ResultText(int64_t points, int64_t tenths, int64_t errors);
