#pragma once
// The internet game's wire texts: the request targets the client sends and the
// reply records the server answers with. Pure text work, no window.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

// The program's version as the log-in record compares it.
inline constexpr const char *kWebClientVersion = "v03.00-04";

// ---- requests -------------------------------------------------------------
// Lowercase hex MD5 of the Windows-1252 bytes of the password.
QString WebPasswordDigest(const QString &password);
// Percent-encodes the Windows-1252 bytes of a query value: a blank as %20,
// A-Z a-z 0-9 - . _ ~ as they are, every other byte as %XX.
QByteArray WebQueryEncode(const QString &value);
// The base address as the server's scripts follow it: always ending in "/".
QByteArray WebBaseAddress(const QString &base);

struct TWebCredentials {
    QString User;
    QString Digest;
};

// Every target is the full, already encoded address (for QUrl::fromEncoded).
QByteArray WebLoginTarget(const QString &base, const TWebCredentials &who, int dummy);
QByteArray WebGameRequestTarget(const QString &base, const TWebCredentials &who, int level, int players, int dummy);
QByteArray WebPollTarget(const QString &base, int gameId, int lastMessageId, const TWebCredentials &who, int dummy);
QByteArray WebPressTarget(const QString &base, int x, int y, int z, const TWebCredentials &who, int dummy);
// global: the lobby's chat ("global_chat.php") instead of the game's ("chat.php").
QByteArray WebChatTarget(const QString &base, bool global, const TWebCredentials &who, const QString &text, int dummy);
QByteArray WebLogoutTarget(const QString &base, const TWebCredentials &who, int dummy);
QByteArray WebLobbyTarget(const QString &base, const TWebCredentials &who, int dummy);

// ---- replies --------------------------------------------------------------
// A reply body as the client interprets it: the document text plus CR LF.
QString WebReplyText(const QByteArray &body);

// A poll reply: the message number before the first "|", the records after it.
// A page with "<BODY>" after its first character, a missing "|" or a number
// that is not one all give 0 (nothing to apply).
struct TWebPollReply {
    int MessageId = 0;
    QString Records;
};
TWebPollReply DecodeWebPollReply(const QString &text);

// True when version a sorts before b, comparing 8-bit codes, a prefix first.
bool WebVersionLess(const QString &a, const QString &b);

struct TWebLobbyItem {
    int Code = -1; // -1 when the code is not a number
    QString Names;
};

// One reply record, its fields already read and checked.
struct TWebRecord {
    char Letter = 0;
    QString Text;  // A: minimum version; C m M x: the payload; I: the name
    QString Text2; // A: current version
    int Slot = 0;  // I X D: the player slot (X may carry 0)
    int X = 0, Y = 0, Z = 0;
    int Owner = 0;  // F: -1 for a given cell, else the player 1..8
    int Number = 0; // A: unfinished game (0 none); s: game number; c: free cells
    int Points = 0, Found = 0, Errors = 0, WaitSeconds = 0; // D
    std::vector<TWebLobbyItem> Lobby;                       // L
};

// Decodes one piece of a reply. Returns false with the reason in error when
// the piece is empty, has no known letter, or is malformed.
bool DecodeWebRecord(const QString &piece, TWebRecord &record, QString &error);

// Splits a reply at "|" and decodes every piece in order; pieces that are
// empty, unknown or malformed are left out, the reasons of the malformed ones
// collected in errors.
struct TWebReply {
    std::vector<TWebRecord> Records;
    QStringList Errors;
};
TWebReply DecodeWebReply(const QString &text);
