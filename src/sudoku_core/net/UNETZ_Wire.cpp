// The telegram's wire form and the ranges its receivers accept.
#include "net/UNETZ_Telegram.h"

#include "settings/USonstiges.h"

#include <cstring>

namespace {
// Offsets of the fields on the wire.
constexpr int kOffAktion = 0;
constexpr int kOffTAN = 4;
constexpr int kOffLoop = 8;
constexpr int kOffACK = 12;
constexpr int kOffRetryCount = 16;
constexpr int kOffGid = 20;
constexpr int kOffX = 24;
constexpr int kOffY = 28;
constexpr int kOffA = 32;
constexpr int kOffB = 36;
constexpr int kOffZ = 40;
constexpr int kOffData = 44;
constexpr int kOffTextLength = 48;
constexpr int kOffText = 49;

void putInt(char *buf, int offset, int32_t v)
{
    const uint32_t u = uint32_t(v);
    buf[offset] = char(u & 0xFF);
    buf[offset + 1] = char((u >> 8) & 0xFF);
    buf[offset + 2] = char((u >> 16) & 0xFF);
    buf[offset + 3] = char((u >> 24) & 0xFF);
}

int32_t getInt(const char *buf, int offset)
{
    const auto *p = reinterpret_cast<const uint8_t *>(buf + offset);
    return int32_t(uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24));
}

// The 48 bytes every datagram starts with; the padding after Data is zero.
void putHead(char *buf, const TTelegram &t, int32_t ack, uint8_t data)
{
    putInt(buf, kOffAktion, t.Aktion);
    putInt(buf, kOffTAN, t.TAN);
    putInt(buf, kOffLoop, t.Loop);
    putInt(buf, kOffACK, ack);
    putInt(buf, kOffRetryCount, t.RetryCount);
    putInt(buf, kOffGid, t.Gid);
    putInt(buf, kOffX, t.x);
    putInt(buf, kOffY, t.y);
    putInt(buf, kOffA, t.a);
    putInt(buf, kOffB, t.b);
    putInt(buf, kOffZ, t.z);
    buf[kOffData] = char(data);
}

bool inRange(int32_t v, int32_t lo, int32_t hi)
{
    return v >= lo && v <= hi;
}
bool isPlayer(int32_t v)
{
    return inRange(v, 1, 8);
}
bool isCell(int32_t v)
{
    return inRange(v, 1, 9);
}
// A count of cells of one board.
bool isCellCount(int32_t v)
{
    return inRange(v, 0, 81);
}

// The most a statistics telegram can carry: the bonus of a whole board found
// with the highest pencil-mark limit (9) unused, and the best rating's points
// for it, the bonus and three for every cell.
constexpr int32_t kMostBonus = 9 * 81;
constexpr int32_t kMostPoints = kMostBonus + 3 * 81;
} // namespace

QString TTelegram::Text() const
{
    return DecodeCp1252(TextData());
}

void TTelegram::SetText(const QString &text)
{
    // Cut after encoding: the limit is the 35 bytes on the wire.
    const QByteArray bytes = EncodeCp1252(text).left(kTelegramTextMax);
    std::memset(TextBytes, 0, sizeof TextBytes);
    std::memcpy(TextBytes, bytes.constData(), size_t(bytes.size()));
    TextLength = uint8_t(bytes.size());
}

QByteArray EncodeTelegram(const TTelegram &tel)
{
    if (tel.Data == 0) {
        QByteArray out(kTelegramHeadSize, '\0');
        putHead(out.data(), tel, tel.ACK, 0);
        return out;
    }
    QByteArray out(kTelegramFullSize, '\0');
    putHead(out.data(), tel, tel.ACK, 1);
    const int len = tel.TextLength <= kTelegramTextMax ? tel.TextLength : kTelegramTextMax;
    out[kOffTextLength] = char(len);
    std::memcpy(out.data() + kOffText, tel.TextBytes, size_t(len));
    return out;
}

QByteArray EncodeAcknowledgement(const TTelegram &tel)
{
    QByteArray out(kTelegramHeadSize, '\0');
    putHead(out.data(), tel, 0, 0);
    return out;
}

TWireStatus DecodeTelegram(const QByteArray &datagram, TTelegram &tel)
{
    if (datagram.size() < kTelegramHeadSize)
        return TWireStatus::TooShort;
    const char *buf = datagram.constData();
    TTelegram t;
    t.Aktion = getInt(buf, kOffAktion);
    t.TAN = getInt(buf, kOffTAN);
    t.Loop = getInt(buf, kOffLoop);
    t.ACK = getInt(buf, kOffACK);
    t.RetryCount = getInt(buf, kOffRetryCount);
    t.Gid = getInt(buf, kOffGid);
    t.x = getInt(buf, kOffX);
    t.y = getInt(buf, kOffY);
    t.a = getInt(buf, kOffA);
    t.b = getInt(buf, kOffB);
    t.z = getInt(buf, kOffZ);
    t.Data = buf[kOffData] != 0 ? 1 : 0;
    if (!inRange(t.ACK, -1, 1))
        return TWireStatus::BadAck;
    if (t.Data != 0 && t.ACK != 0) {
        if (datagram.size() < kTelegramFullSize)
            return TWireStatus::TextMissing;
        const int len = uint8_t(buf[kOffTextLength]);
        if (len > kTelegramTextMax)
            return TWireStatus::TextTooLong;
        t.TextLength = uint8_t(len);
        std::memcpy(t.TextBytes, buf + kOffText, size_t(len));
    }
    tel = t;
    return TWireStatus::Ok;
}

QString WireStatusText(TWireStatus status)
{
    switch (status) {
    case TWireStatus::Ok:
        return QStringLiteral("ok");
    case TWireStatus::TooShort:
        return QStringLiteral("kürzer als 48 Bytes");
    case TWireStatus::TextMissing:
        return QStringLiteral("Text fehlt (kürzer als 84 Bytes)");
    case TWireStatus::TextTooLong:
        return QStringLiteral("Textlänge über 35");
    case TWireStatus::BadAck:
        return QStringLiteral("ACK außerhalb -1..1");
    }
    return QString();
}

bool PackedOptionsInRange(int32_t x, int32_t y, int32_t a, int32_t b, int32_t z, int32_t gid)
{
    // x: pencil-mark limit 0..9, +10 with the mark bonus.
    if (!inRange(x, 0, 19))
        return false;
    // y: level 0..3, +10 or +20 for the letter symbols, +100 for imported puzzles.
    if (!inRange(y, 0, 123) || (y % 100) % 10 > 3 || (y % 100) / 10 > 2)
        return false;
    // a: 0 without Bingo, else items 1..4 + 10 or 20 (refill) + 0 or 100
    // (fields) + 0, 1000 or 2000 (change mode).
    if (a != 0) {
        if (!inRange(a, 0, 2999) || !inRange(a % 10, 1, 4) || !inRange((a / 10) % 10, 1, 2) || (a / 100) % 10 > 1)
            return false;
    }
    return inRange(b, 0, 1) && inRange(z, 0, 1) && inRange(gid, 1, 4);
}

bool TelegramFieldsInRange(const TTelegram &t)
{
    switch (t.Aktion) {
    case akOptions:
    case akGameOffer:
        return PackedOptionsInRange(t.x, t.y, t.a, t.b, t.z, t.Gid);
    case akPlayerEntry:
        return isPlayer(t.z);
    case akCellResult:
        return isCell(t.x) && isCell(t.y) && isCell(t.z) && (isPlayer(t.Gid) || t.Gid == -1);
    case akStartPhase:
        return inRange(t.a, 0, 6);
    case akEntry:
    case akBlink:
        return isCell(t.x) && isCell(t.y) && isCell(t.z) && isPlayer(t.Gid);
    case akMaxMarks:
        return inRange(t.x, 0, 9);
    case akSymbols:
        return t.TextLength == 9;
    case akTournament:
        return inRange(t.z, 1, 4);
    case akCounts:
        // Every count, not only the one the receiver uses.
        return inRange(t.Gid, 0, 8) && isCellCount(t.a) && isCellCount(t.b) && isCellCount(t.z);
    case akClearCells:
        return inRange(t.x, 0, 9) && inRange(t.y, 0, 9) && isPlayer(t.Gid);
    case akUsedMarks:
        return inRange(t.x, 0, 9) && isPlayer(t.Gid);
    case akStats:
        // Errors have no upper limit: the ratings that never put a player
        // out let him err as often as he likes.
        return isPlayer(t.Gid) && inRange(t.x, 0, kMostPoints) && isCellCount(t.y) && t.z >= 0 &&
               inRange(t.a, 0, kMostBonus);
    case akLogoff:
    case akPenalty:
    case akPlayerName:
    case akPlayerId:
    case akGameOver:
    case akReady:
        return isPlayer(t.Gid);
    default:
        return true;
    }
}
