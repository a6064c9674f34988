// The internet game's request targets and reply records.
#include "net/UWeb_Records.h"

#include "settings/USonstiges.h"

#include <QCryptographicHash>
#include <cstring>

namespace {
bool isUnreserved(uint8_t b)
{
    return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') || b == '-' || b == '.' ||
           b == '_' || b == '~';
}

QByteArray number(int n)
{
    return QByteArray::number(n);
}

QByteArray who(const TWebCredentials &c)
{
    return "user=" + WebQueryEncode(c.User) + "&pw=" + WebQueryEncode(c.Digest);
}

// A whole decimal number; the CR LF that ends a reply may trail it.
bool readNumber(const QString &text, int &value)
{
    bool ok = false;
    value = text.trimmed().toInt(&ok);
    return ok;
}

// The one-digit number at a character position of the record.
bool readDigit(const QString &record, int pos, int &value)
{
    if (pos >= record.size() || !record[pos].isDigit() || record[pos].unicode() > '9')
        return false;
    value = record[pos].unicode() - '0';
    return true;
}

bool inRange(int v, int lo, int hi)
{
    return v >= lo && v <= hi;
}

const char kLetters[] = "AasVLIXRSFfDcCrmMxE";
} // namespace

QString WebPasswordDigest(const QString &password)
{
    return QString::fromLatin1(QCryptographicHash::hash(EncodeCp1252(password), QCryptographicHash::Md5).toHex());
}

QByteArray WebQueryEncode(const QString &value)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray out;
    for (char c : EncodeCp1252(value)) {
        const auto b = uint8_t(c);
        if (b == ' ') {
            out += "%20";
        } else if (isUnreserved(b)) {
            out += char(b);
        } else {
            out += '%';
            out += hex[b >> 4];
            out += hex[b & 0x0F];
        }
    }
    return out;
}

QByteArray WebBaseAddress(const QString &base)
{
    QByteArray b = base.toUtf8();
    if (!b.endsWith('/'))
        b += '/';
    return b;
}

QByteArray WebLoginTarget(const QString &base, const TWebCredentials &c, int dummy)
{
    return WebBaseAddress(base) + "anmelden.php?" + who(c) + "&dummy=" + number(dummy);
}

QByteArray WebGameRequestTarget(const QString &base, const TWebCredentials &c, int level, int players, int dummy)
{
    return WebBaseAddress(base) + "get_gameid.php?" + who(c) + "&level=" + number(level) + "&cnt=" + number(players) +
           "&dummy=" + number(dummy);
}

QByteArray WebPollTarget(const QString &base, int gameId, int lastMessageId, const TWebCredentials &c, int dummy)
{
    return WebBaseAddress(base) + "poll.php?mt=" + number(gameId) + "&id=" + number(lastMessageId) + "&" + who(c) +
           "&dummy=" + number(dummy);
}

QByteArray WebPressTarget(const QString &base, int x, int y, int z, const TWebCredentials &c, int dummy)
{
    return WebBaseAddress(base) + "press.php?x=" + number(x) + "&y=" + number(y) + "&z=" + number(z) + "&" + who(c) +
           "&dummy=" + number(dummy);
}

QByteArray WebChatTarget(const QString &base, bool global, const TWebCredentials &c, const QString &text, int dummy)
{
    return WebBaseAddress(base) + (global ? "global_chat.php?" : "chat.php?") + who(c) +
           "&txt=" + WebQueryEncode(text) + "&dummy=" + number(dummy);
}

QByteArray WebLogoutTarget(const QString &base, const TWebCredentials &c, int dummy)
{
    return WebBaseAddress(base) + "abmelden.php?" + who(c) + "&dummy=" + number(dummy);
}

QByteArray WebLobbyTarget(const QString &base, const TWebCredentials &c, int dummy)
{
    return WebBaseAddress(base) + "lobby_info.php?id=-1&" + who(c) + "&dummy=" + number(dummy);
}

QString WebReplyText(const QByteArray &body)
{
    return DecodeCp1252(body) + QStringLiteral("\r\n");
}

TWebPollReply DecodeWebPollReply(const QString &text)
{
    TWebPollReply r;
    // A web page instead of a reply (an error page of the server) brings nothing.
    if (text.indexOf(QStringLiteral("<BODY>")) > 0)
        return r;
    const qsizetype bar = text.indexOf(QLatin1Char('|'));
    int id = 0;
    if (bar < 0 || !readNumber(text.left(bar), id) || id <= 0)
        return r;
    r.MessageId = id;
    r.Records = text.mid(bar + 1);
    return r;
}

bool WebVersionLess(const QString &a, const QString &b)
{
    const QByteArray x = EncodeCp1252(a), y = EncodeCp1252(b);
    const qsizetype n = std::min(x.size(), y.size());
    for (qsizetype i = 0; i < n; ++i) {
        if (uint8_t(x[i]) != uint8_t(y[i]))
            return uint8_t(x[i]) < uint8_t(y[i]);
    }
    return x.size() < y.size();
}

bool DecodeWebRecord(const QString &piece, TWebRecord &r, QString &error)
{
    error.clear();
    r = TWebRecord();
    if (piece.isEmpty() || piece == QStringLiteral("\r\n"))
        return false;
    const QChar first = piece[0];
    if (first.unicode() > 127 || !std::strchr(kLetters, char(first.unicode())))
        return false;
    r.Letter = char(first.unicode());
    const qsizetype dash = piece.indexOf(QLatin1Char('-'));
    const QString payload = dash < 0 ? piece : piece.mid(dash + 1);
    const QStringList fields = SplitAtChar(payload, QLatin1Char('~'));
    auto fail = [&](const char *why) {
        error = QStringLiteral("%1: %2").arg(piece.trimmed(), QLatin1String(why));
        return false;
    };
    switch (r.Letter) {
    case 'a':
    case 'V':
    case 'R':
    case 'S':
    case 'r':
    case 'E':
        return true;
    case 'A':
        r.Text = fields.value(0);
        r.Text2 = fields.value(1);
        // "0", empty or no number at all: no unfinished game.
        if (!readNumber(fields.value(2), r.Number) || r.Number < 0)
            r.Number = 0;
        return true;
    case 's':
        if (!readNumber(fields.value(1), r.Number))
            return fail("game number missing");
        return true;
    case 'L':
        for (const QString &item : SplitAtChar(payload, QLatin1Char('#'))) {
            const QStringList f = item.split(QLatin1Char('~'));
            TWebLobbyItem li;
            if (!readNumber(f.value(0), li.Code))
                li.Code = -1;
            li.Names = f.value(1);
            r.Lobby.push_back(li);
        }
        return true;
    case 'I': {
        const qsizetype tilde = piece.indexOf(QLatin1Char('~'));
        if (tilde < 0)
            return fail("no name");
        if (!readDigit(piece, 2, r.Slot) || !inRange(r.Slot, 1, 8))
            return fail("slot outside 1..8");
        r.Text = piece.mid(tilde + 1).left(15);
        return true;
    }
    case 'X':
        if (!readDigit(piece, 2, r.Slot) || !inRange(r.Slot, 0, 8))
            return fail("slot outside 1..8");
        return true;
    case 'F':
    case 'f':
        if (!readDigit(piece, 2, r.X) || !readDigit(piece, 3, r.Y) || !readDigit(piece, 4, r.Z) ||
            !inRange(r.X, 1, 9) || !inRange(r.Y, 1, 9) || !inRange(r.Z, 1, 9))
            return fail("cell or digit outside 1..9");
        if (r.Letter == 'F') {
            if (piece.size() > 5 && piece[5] == QLatin1Char('S'))
                r.Owner = -1;
            else if (!readDigit(piece, 5, r.Owner) || !inRange(r.Owner, 1, 8))
                return fail("owner neither S nor 1..8");
        } else {
            int unused = 0;
            if (!readDigit(piece, 5, unused))
                return fail("fourth digit missing");
        }
        return true;
    case 'D':
        if (fields.size() < 5 || !readNumber(fields[0], r.Slot) || !readNumber(fields[1], r.Points) ||
            !readNumber(fields[2], r.Found) || !readNumber(fields[3], r.Errors) ||
            !readNumber(fields[4], r.WaitSeconds))
            return fail("short or non-numeric fields");
        if (!inRange(r.Slot, 1, 8))
            return fail("slot outside 1..8");
        return true;
    case 'c': {
        QString p = payload;
        if (p.contains(QLatin1Char('\n')))
            p.chop(2);
        if (!readNumber(p, r.Number))
            return fail("free cells not a number");
        return true;
    }
    case 'C':
    case 'm':
    case 'M':
    case 'x':
        r.Text = payload;
        return true;
    default:
        return false;
    }
}

TWebReply DecodeWebReply(const QString &text)
{
    TWebReply reply;
    QStringList pieces = SplitAtChar(text, QLatin1Char('|'));
    // The CR LF that ends every reply belongs to no record: a last record that
    // lacks its closing "|" must not carry it into a chat line or a name.
    const QString crlf = QStringLiteral("\r\n");
    if (!pieces.isEmpty() && pieces.last() != crlf && pieces.last().endsWith(crlf))
        pieces.last().chop(2);
    for (const QString &piece : pieces) {
        TWebRecord r;
        QString error;
        if (DecodeWebRecord(piece, r, error))
            reply.Records.push_back(std::move(r));
        else if (!error.isEmpty())
            reply.Errors << error;
    }
    return reply;
}
