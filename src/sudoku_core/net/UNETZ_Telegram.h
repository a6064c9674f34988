#pragma once
// The telegram record every network message travels in, the kinds it
// carries, and its wire form: 48 bytes, or 84 with text, every integer
// 32-bit little-endian. The record is a plain value (the player records keep
// 501 of them each); the codec writes and reads it field by field.

#include <QByteArray>
#include <QMetaType>
#include <QString>
#include <cstdint>

constexpr int kTelegramTextMax = 35;   // text bytes a telegram can carry
constexpr int kTelegramHeadSize = 48;  // a telegram without text, and every acknowledgement
constexpr int kTelegramFullSize = 84;  // a telegram with text
constexpr int kTelegramRingSize = 501; // slots of a per-peer send queue (0..500)

// The telegram kinds, by the names the protocol gives them.
enum TAktion : int32_t {
    akOptions = 101,
    akSearch = 102,
    akGameOffer = 103,
    akLogin = 104,
    akPlayerEntry = 105,
    akCellResult = 106,
    akStartPhase = 107,
    akEntry = 109,
    akBlink = 110,
    akStats = 111,
    akLogoff = 112,
    akMaxMarks = 113,
    akEndOfGame = 114,
    akGameEnded = 115,
    akPenalty = 116,
    akPlayerName = 118,
    akChat = 119,
    akPlayerId = 120,
    akServerLogoff = 121,
    akSymbols = 122,
    akTournament = 123,
    akBingo = 124,
    akGameOver = 125,
    akCounts = 126,
    akWrongSolution = 127,
    akClearCells = 128,
    akReady = 129,
    akUsedMarks = 130,
};

struct TTelegram {
    int32_t Aktion = 0;     // telegram kind 101..130
    int32_t TAN = 0;        // queue slot index at the sender, echoed in the acknowledgement
    int32_t Loop = 0;       // destination slot 1..8 (acknowledgement: the queue to advance)
    int32_t ACK = 0;        // 1 acknowledgement wanted, 0 this is one, -1 unreliable
    int32_t RetryCount = 0; // sender's resend countdown; the receiver ignores it
    int32_t Gid = 0;        // player number the telegram concerns (-1 none or all)
    int32_t x = 0;
    int32_t y = 0;
    int32_t a = 0;
    int32_t b = 0;
    int32_t z = 0;
    uint8_t Data = 0;                      // 0 no text, 1 a text follows
    uint8_t TextLength = 0;                // 0..35
    char TextBytes[kTelegramTextMax] = {}; // Windows-1252; bytes past the length mean nothing

    // The text as the program's own string.
    QString Text() const;
    // Puts a text into the record: encoded as Windows-1252, then cut to 35 bytes.
    void SetText(const QString &text);
    // The text bytes as they travel.
    QByteArray TextData() const { return QByteArray(TextBytes, TextLength); }
};
Q_DECLARE_METATYPE(TTelegram)

// The wire form of a telegram: 48 bytes when Data is 0 (the text does not
// travel), else 84 bytes.
QByteArray EncodeTelegram(const TTelegram &tel);
// The acknowledgement of a received telegram: always 48 bytes, ACK 0, Data 0;
// kind, TAN and Loop go back unchanged.
QByteArray EncodeAcknowledgement(const TTelegram &tel);

// Why a datagram was not accepted as a telegram.
enum class TWireStatus {
    Ok,
    TooShort,    // fewer than 48 bytes
    TextMissing, // Data set on a telegram (ACK not 0) but fewer than 84 bytes
    TextTooLong, // a text length above 35
    BadAck,      // ACK outside -1..1
};
// Reads one datagram. The text is read only for a telegram (ACK not 0) with
// Data set. On anything but Ok, tel is left untouched.
TWireStatus DecodeTelegram(const QByteArray &datagram, TTelegram &tel);
QString WireStatusText(TWireStatus status);

// True when the fields a kind uses lie in the ranges its receivers accept:
// player numbers 1..8 (or -1 / 0 where the kind allows it), cells 1..9 (0
// where the kind allows it), digits 1..9, the packed options of 101 and 103,
// the cell counts of 111 and 126 (0..81) and the scores of 111.
// Kinds that use no checked field, and unknown kinds, pass.
bool TelegramFieldsInRange(const TTelegram &tel);
// The packed game options of telegrams 101 and 103 (x, y, a, b, z, Gid).
bool PackedOptionsInRange(int32_t x, int32_t y, int32_t a, int32_t b, int32_t z, int32_t gid);
