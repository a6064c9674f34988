#include "core/USonstiges.h"

#include "core/USystem.h"

#include <QColor>
#include <QDesktopServices>
#include <QDir>
#include <QHostAddress>
#include <QHostInfo>
#include <QNetworkInterface>
#include <QScreen>
#include <QSettings>
#include <QUrl>
#include <QWidget>
#include <memory>

// ---- settings store -------------------------------------------------------
// QSettings on Linux keeps text only, so each value carries its type the way a
// registry export does: "dword:0000002a" for integers, "sz:" before strings.

namespace {
std::unique_ptr<QSettings> &regObject()
{
    static std::unique_ptr<QSettings> reg;
    return reg;
}

const QString kDword = QStringLiteral("dword:");
const QString kSz = QStringLiteral("sz:");

// The stored spelling of a name, found without regard to case.
QString storedKey(QSettings &reg, const QString &name)
{
    const QStringList keys = reg.childKeys();
    for (const QString &k : keys)
        if (k.compare(name, Qt::CaseInsensitive) == 0)
            return k;
    return name;
}

void writeRaw(const QString &name, const QString &raw)
{
    RegOpen();
    QSettings &reg = *regObject();
    const QString key = storedKey(reg, name);
    if (key != name)
        reg.remove(key);
    reg.setValue(name, raw);
    RegClose();
}

bool readRaw(const QString &name, QString &raw)
{
    RegOpen();
    QSettings &reg = *regObject();
    const QString key = storedKey(reg, name);
    const QVariant v = reg.value(key);
    RegClose();
    if (!v.isValid())
        return false;
    raw = v.toString();
    return true;
}
} // namespace

QString SettingsFilePath()
{
    const QString dir = SudokuEnv().SettingsDir;
    if (!dir.isEmpty())
        return QDir(dir).filePath(QStringLiteral("Sudoku.conf"));
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Sudoku"));
    return s.fileName();
}

bool RegOpen()
{
    const QString dir = SudokuEnv().SettingsDir;
    if (!dir.isEmpty()) {
        QDir().mkpath(dir);
        regObject() = std::make_unique<QSettings>(SettingsFilePath(), QSettings::IniFormat);
    } else {
        regObject() = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                                  QStringLiteral("Sudoku"));
    }
    return true;
}

void RegClose()
{
    if (regObject())
        regObject()->sync();
    regObject().reset();
}

void RegWriteInteger(const QString &name, int32_t value)
{
    writeRaw(name, kDword + QStringLiteral("%1").arg(uint32_t(value), 8, 16, QLatin1Char('0')));
}

void RegWriteString(const QString &name, const QString &text) { writeRaw(name, kSz + text); }

int32_t RegReadInteger(const QString &name, int32_t def)
{
    QString raw;
    if (readRaw(name, raw) && raw.startsWith(kDword)) {
        bool ok = false;
        const uint32_t v = raw.mid(kDword.size()).toUInt(&ok, 16);
        if (ok && raw.size() > kDword.size())
            return int32_t(v);
    }
    RegWriteInteger(name, def);
    return def;
}

void RegReadString(const QString &name, const QString &def, QString &text)
{
    QString raw;
    if (readRaw(name, raw) && raw.startsWith(kSz) && raw.size() > kSz.size()) {
        text = raw.mid(kSz.size());
        return;
    }
    RegWriteString(name, def);
    text = def;
}

QString RegReadString(const QString &name, const QString &def)
{
    QString s;
    RegReadString(name, def, s);
    return s;
}

// ---- Windows-1252 ---------------------------------------------------------
namespace {
// 0x80..0x9F; 0 marks the five unassigned codes, which map to themselves.
const char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
} // namespace

QByteArray EncodeCp1252(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            out.append(char(u));
            continue;
        }
        char b = '?';
        for (int i = 0; i < 32; ++i)
            if (kCp1252High[i] == u || (kCp1252High[i] == 0 && u == 0x80 + i)) {
                b = char(0x80 + i);
                break;
            }
        out.append(b);
    }
    return out;
}

QString DecodeCp1252(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const uint8_t b = uint8_t(c);
        if (b >= 0x80 && b <= 0x9F && kCp1252High[b - 0x80] != 0)
            out.append(QChar(kCp1252High[b - 0x80]));
        else
            out.append(QChar(b));
    }
    return out;
}

// ---- shared routines ------------------------------------------------------
void IntToStrVar(int64_t n, QString &text) { text = QString::number(n); }

void BoolToTF(bool b, QString &text) { text = b ? QStringLiteral("T") : QStringLiteral("F"); }

QString BoolToTF(bool b) { return b ? QStringLiteral("T") : QStringLiteral("F"); }

int64_t Max64(int64_t a, int64_t b) { return a > b ? a : b; }

int64_t Min64(int64_t a, int64_t b) { return a < b ? a : b; }

void TextAfterEquals(const QString &text, QString &rest)
{
    const int i = text.indexOf(QLatin1Char('='));
    rest = i < 0 ? text : text.mid(i + 1);
}

int BandOf(int n) { return (n - 1) / 3 + 1; }

int PosInBand(int n) { return n - ((n - 1) / 3) * 3; }

bool IsNonZero(int64_t n) { return n != 0; }

void ColorToBytes(int32_t colour, uint8_t bytes[3])
{
    const uint32_t c = uint32_t(colour);
    bytes[0] = uint8_t((c / 65536) & 0xFF);
    bytes[1] = uint8_t((c - (c / 65536) * 65536) / 256);
    bytes[2] = uint8_t(c & 0xFF);
}

int32_t SwapRedBlue(int32_t colour)
{
    const uint32_t c = uint32_t(colour);
    return int32_t(((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF));
}

int32_t ShadeColor(int p, uint8_t bytes[3], int32_t colour)
{
    const uint32_t c = uint32_t(colour);
    for (int i = 0; i < 3; ++i) {
        const int ch = int((c >> (8 * i)) & 0xFF);
        int v;
        if (p >= 0)
            v = 255 - ((255 - ch) * p) / 100;
        else
            v = (ch * -p) / 100;
        bytes[i] = uint8_t(qBound(0, v, 255));
    }
    return int32_t(bytes[0] | (bytes[1] << 8) | (bytes[2] << 16));
}

int32_t ShadeColor(int p, int32_t colour)
{
    uint8_t b[3];
    return ShadeColor(p, b, colour);
}

void ShellOpen(QWidget *, const QString &target)
{
    const QUrl url = QUrl::fromUserInput(target);
    QDesktopServices::openUrl(url);
}

bool IsValidIPv4(const QString &text)
{
    const int n = text.size();
    if (n < 7 || n > 15 || text.startsWith(QLatin1Char('.')))
        return false;
    int dots = 0, groupLen = 0, groupVal = 0;
    for (int i = 0; i < n; ++i) {
        const QChar ch = text[i];
        if (ch == QLatin1Char('.')) {
            if (i + 1 >= n || !text[i + 1].isDigit())
                return false;
            ++dots;
            groupLen = 0;
            groupVal = 0;
        } else if (ch >= QLatin1Char('0') && ch <= QLatin1Char('9')) {
            ++groupLen;
            groupVal = groupVal * 10 + (ch.unicode() - '0');
            if (groupLen > 3 || groupVal > 255)
                return false;
        } else {
            return false;
        }
    }
    return dots == 3;
}

QStringList GetLocalIPList()
{
    QStringList out;
    // The host name first, in resolver order, as the list always showed it ...
    const QHostInfo info = QHostInfo::fromName(QHostInfo::localHostName());
    for (const QHostAddress &a : info.addresses())
        if (a.protocol() == QAbstractSocket::IPv4Protocol && !out.contains(a.toString()))
            out << a.toString();
    // ... then the interfaces: many systems map the host name to a loopback
    // address, which no peer can reach.
    for (const QNetworkInterface &iface : QNetworkInterface::allInterfaces()) {
        if (!(iface.flags() & QNetworkInterface::IsUp) || (iface.flags() & QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry &e : iface.addressEntries()) {
            const QHostAddress a = e.ip();
            if (a.protocol() == QAbstractSocket::IPv4Protocol && !out.contains(a.toString()))
                out << a.toString();
        }
    }
    return out;
}

void SpacesToPercent20(const QString &text, QString &out)
{
    out = text;
    out.replace(QLatin1Char(' '), QStringLiteral("%20"));
}

void Percent20ToSpaces(const QString &text, QString &out)
{
    out = text;
    out.replace(QStringLiteral("%20"), QStringLiteral(" "));
}

QStringList SplitAtChar(const QString &text, QChar separator)
{
    QStringList parts = text.split(separator);
    if (!parts.isEmpty() && parts.last().isEmpty())
        parts.removeLast();
    return parts;
}

void ParseStarTriple(const QString &text, int &a, int &b, int &c)
{
    const QStringList p = text.split(QLatin1Char('*'));
    a = p.size() > 0 ? p[0].trimmed().toInt() : 0;
    b = p.size() > 1 ? p[1].trimmed().toInt() : 0;
    c = p.size() > 2 ? p[2].trimmed().toInt() : 0;
}

void FormatTenths(int64_t tenths, QString &text)
{
    const int64_t minutes = tenths / 600;
    const int64_t rest = tenths - minutes * 600;
    text = QStringLiteral("%1:%2.%3")
               .arg(minutes, 2, 10, QLatin1Char('0'))
               .arg(rest / 10, 2, 10, QLatin1Char('0'))
               .arg(rest % 10);
}

QString FormatTenths(int64_t tenths)
{
    QString s;
    FormatTenths(tenths, s);
    return s;
}

QColor ColorFromBGR(int32_t colour)
{
    const uint32_t c = uint32_t(colour);
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

int32_t ColorToBGR(const QColor &c) { return int32_t(c.red() | (c.green() << 8) | (c.blue() << 16)); }
