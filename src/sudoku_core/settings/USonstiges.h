#pragma once
// Settings store and the small routines the units share.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

class QWidget;
class QColor;
class QFont;

// ---- settings store -------------------------------------------------------
// One value per name, names without regard to case, integers and strings kept
// apart like registry values. One copy lives in memory for the process; a
// write reaches the file a moment later (at most about a second after the
// first change the file lacks), at quit and on SIGTERM/SIGINT.
bool RegOpen();
void RegClose();
// Writes pending changes to the file now.
void RegFlush();
// The wait the write timer was last started with, in ms; -1 when it is not
// running (tests).
int RegPendingWriteDelayMs();
// Drops the in-memory copy and pending changes; the next call reads the file.
void RegForget();
// Installs the SIGTERM/SIGINT handling that writes the store before the end.
void RegFlushOnTerminateSignals();
void RegWriteInteger(const QString &name, int32_t value);
void RegWriteString(const QString &name, const QString &text);
// A value that is missing or of the other type is written with the default.
int32_t RegReadInteger(const QString &name, int32_t def);
// An empty or missing value is written with the default, too.
void RegReadString(const QString &name, const QString &def, QString &text);
QString RegReadString(const QString &name, const QString &def);
// The file that holds the store (for tests and the README).
QString SettingsFilePath();

// ---- files ----------------------------------------------------------------
// Writes bytes to path as a whole: aside first, then put in place. Any failed
// write, flush or replace leaves the old file as it was and returns false,
// with the reason in error when given.
bool SaveFileWhole(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// ---- Windows-1252 text ----------------------------------------------------
QByteArray EncodeCp1252(const QString &text);
QString DecodeCp1252(const QByteArray &bytes);

// ---- shared routines ------------------------------------------------------
void IntToStrVar(int64_t n, QString &text);
void BoolToTF(bool b, QString &text);
QString BoolToTF(bool b);
int64_t Max64(int64_t a, int64_t b);
int64_t Min64(int64_t a, int64_t b);
void TextAfterEquals(const QString &text, QString &rest);
int BandOf(int n);
int PosInBand(int n);
bool IsNonZero(int64_t n);
// Blue, green and red of a colour coded 0x00BBGGRR, in that order.
void ColorToBytes(int32_t colour, uint8_t bytes[3]);
int32_t SwapRedBlue(int32_t colour);
// Shades towards white (p >= 0) or black (p < 0); the bytes are the result's
// three low bytes, lowest first.
int32_t ShadeColor(int p, uint8_t bytes[3], int32_t colour);
int32_t ShadeColor(int p, int32_t colour);
void ShellOpen(QWidget *window, const QString &target);
// Replaces what ShellOpen does (tests); an empty function restores the desktop's.
void SetShellOpenHandler(std::function<void(const QString &target)> handler);
bool IsValidIPv4(const QString &text);
QStringList GetLocalIPList();
void SpacesToPercent20(const QString &text, QString &out);
void Percent20ToSpaces(const QString &text, QString &out);
QStringList SplitAtChar(const QString &text, QChar separator);
// Missing or non-numeric parts read as 0.
void ParseStarTriple(const QString &text, int &a, int &b, int &c);
void FormatTenths(int64_t tenths, QString &text);
QString FormatTenths(int64_t tenths);
inline bool InSet2(int v, int a, int b) { return v == a || v == b; }
inline bool InSet3(int v, int a, int b, int c) { return v == a || v == b || v == c; }
inline bool InSet4(int v, int a, int b, int c, int d) { return v == a || v == b || v == c || v == d; }

// Colour value 0x00BBGGRR to a Qt colour and back.
QColor ColorFromBGR(int32_t colour);
int32_t ColorToBGR(const QColor &c);

// The font unchanged when text fits width pixels in it; else semi-condensed,
// then a pixel smaller at a time (not below smallest) until it fits.
QFont FontFittingWidth(QFont font, const QString &text, int width, int smallest = 5);
