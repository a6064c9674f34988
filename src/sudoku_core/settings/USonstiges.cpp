#include "settings/USonstiges.h"

#include "settings/USystem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QHostAddress>
#include <QHostInfo>
#include <QNetworkInterface>
#include <QSaveFile>
#include <QSettings>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <QVector>
#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <unistd.h>

// ---- settings store -------------------------------------------------------
// QSettings on Linux keeps text only, so each value carries its type the way a
// registry export does: "dword:0000002a" for integers, "sz:" before strings.
//
// The process keeps one copy of the store in memory. Readers see a write at
// once; the file is rewritten (one atomic replacement) a moment after the
// last change, when the program quits and when it is asked to terminate, so
// a start-up that stores dozens of defaults costs one file write, not one per
// value. A steady stream of changes does not put the write off for ever: it
// happens at the latest about a second after the first change not yet written.

namespace {
const QString kDword = QStringLiteral("dword:");
const QString kSz = QStringLiteral("sz:");
constexpr int kFlushDelayMs = 100;
constexpr int kMaxFlushDelayMs = 1000;

struct TStoredValue {
    QString Name; // spelling as written last
    QString Raw;
};

// A name's spellings that differ only in case; older files may hold several.
using TVariants = QVector<TStoredValue>;

void flushBeforeQtEnds();
void keepStoreFilePrivate(const QString &path);

class TSettingsStore : public QObject {
public:
    bool Loaded = false;
    bool Dirty = false;
    int64_t FirstUnsavedCount = 0;    // counter at the first change not yet written
    QHash<QString, TVariants> Values; // key: name folded to lower case
    QTimer FlushTimer;
    bool QuitHooked = false;

    TSettingsStore()
    {
        FlushTimer.setSingleShot(true);
        FlushTimer.setInterval(kFlushDelayMs);
        QObject::connect(&FlushTimer, &QTimer::timeout, this, [this] { Flush(); });
    }
    // Nothing is written here: by the time static objects go, Qt's own may be
    // gone. Changes reach the file when the application object goes (below)
    // or at once when there is none.
    ~TSettingsStore() override = default;

    std::unique_ptr<QSettings> OpenFile() const
    {
        keepStoreFilePrivate(SettingsFilePath());
        const QString dir = SudokuEnv().SettingsDir;
        if (!dir.isEmpty()) {
            QDir().mkpath(dir);
            return std::make_unique<QSettings>(SettingsFilePath(), QSettings::IniFormat);
        }
        return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Sudoku"));
    }

    void Load()
    {
        if (Loaded)
            return;
        Loaded = true;
        Values.clear();
        const std::unique_ptr<QSettings> reg = OpenFile();
        const QStringList keys = reg->childKeys();
        for (const QString &k : keys)
            Values[k.toLower()].push_back({k, reg->value(k).toString()});
        HookQuit();
    }

    void HookQuit()
    {
        if (QuitHooked || !QCoreApplication::instance())
            return;
        QuitHooked = true;
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, [this] { Flush(); });
        // Also what the program stores after its event loop ended, and when
        // it never ran one: written as the application object goes.
        qAddPostRoutine(flushBeforeQtEnds);
    }

    void Changed()
    {
        if (!Dirty)
            FirstUnsavedCount = PerfCounter();
        Dirty = true;
        HookQuit();
        // Without an event loop to run the timer the file is written at once.
        if (!QCoreApplication::instance() || thread() != QThread::currentThread()) {
            Flush();
            return;
        }
        // Each change waits a moment for the next, but never past the time
        // the first unwritten change may wait.
        const int64_t waitedMs =
            std::max<int64_t>(0, (PerfCounter() - FirstUnsavedCount) / std::max<int64_t>(1, PerfFrequency() / 1000));
        const int64_t leftMs = kMaxFlushDelayMs - waitedMs;
        if (leftMs <= 0)
            Flush();
        else
            FlushTimer.start(int(std::min<int64_t>(kFlushDelayMs, leftMs)));
    }

    void Flush()
    {
        FlushTimer.stop();
        if (!Dirty)
            return;
        Dirty = false;
        const std::unique_ptr<QSettings> reg = OpenFile();
        reg->clear();
        for (auto it = Values.cbegin(); it != Values.cend(); ++it)
            for (const TStoredValue &v : it.value())
                reg->setValue(v.Name, v.Raw);
        reg->sync();
    }

    void Forget()
    {
        FlushTimer.stop();
        Dirty = false;
        Loaded = false;
        Values.clear();
    }

    void Write(const QString &name, const QString &raw)
    {
        Load();
        TVariants &vars = Values[name.toLower()];
        if (vars.size() == 1 && vars[0].Name == name && vars[0].Raw == raw)
            return;
        vars = TVariants{{name, raw}};
        Changed();
    }

    // The stored text of the first spelling that holds a value of the wanted
    // kind; the others spellings are dropped so one value remains.
    bool Read(const QString &name, const std::function<bool(const QString &)> &fits, QString &raw)
    {
        Load();
        auto it = Values.find(name.toLower());
        if (it == Values.end() || it->isEmpty())
            return false;
        TVariants &vars = *it;
        int pick = -1;
        for (int i = 0; i < vars.size() && pick < 0; ++i)
            if (vars[i].Name == name && fits(vars[i].Raw))
                pick = i;
        for (int i = 0; i < vars.size() && pick < 0; ++i)
            if (fits(vars[i].Raw))
                pick = i;
        if (pick < 0)
            return false;
        raw = vars[pick].Raw;
        if (vars.size() > 1) {
            vars = TVariants{vars[pick]};
            Changed();
        }
        return true;
    }
};

TSettingsStore &store()
{
    static TSettingsStore s;
    return s;
}

void flushBeforeQtEnds()
{
    store().Flush();
    // A later application object hooks in again.
    store().QuitHooked = false;
}

// SIGTERM and SIGINT: the handler only writes a byte to a pipe; the event loop
// then writes the store and ends the program the way the signal would.
int g_signalPipe[2] = {-1, -1};

void onTerminateSignal(int sig)
{
    const unsigned char b = static_cast<unsigned char>(sig);
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &b, 1);
}

bool fitsInteger(const QString &raw)
{
    if (!raw.startsWith(kDword) || raw.size() <= kDword.size())
        return false;
    bool ok = false;
    raw.mid(kDword.size()).toUInt(&ok, 16);
    return ok;
}

bool fitsString(const QString &raw)
{
    return raw.startsWith(kSz) && raw.size() > kSz.size();
}
// The store holds the internet password, so its file is made readable by its
// owner only before the first write; the store's later rewrites keep the mode.
void keepStoreFilePrivate(const QString &path)
{
    constexpr QFileDevice::Permissions kPrivate = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    QFile f(path);
    if (!f.exists()) {
        QDir().mkpath(QFileInfo(path).path());
        if (f.open(QIODevice::WriteOnly, kPrivate))
            f.close();
    } else if (f.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther)) {
        f.setPermissions(f.permissions() & ~(QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                             QFileDevice::ReadOther | QFileDevice::WriteOther));
    }
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

bool SaveFileWhole(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile f(path);
    auto fail = [&] {
        if (error)
            *error = f.errorString();
        f.cancelWriting();
        return false;
    };
    if (!f.open(QIODevice::WriteOnly))
        return fail();
    // QSaveFile buffers: a full disk often shows only at the flush, and
    // commit() alone has been seen to report success after a failed flush.
    if (f.write(bytes) != bytes.size() || !f.flush() || f.error() != QFileDevice::NoError)
        return fail();
    if (!f.commit()) {
        if (error)
            *error = f.errorString();
        return false;
    }
    return true;
}

bool RegOpen()
{
    store().Load();
    return true;
}

void RegClose()
{
    store().Flush();
}

int RegPendingWriteDelayMs()
{
    return store().FlushTimer.isActive() ? store().FlushTimer.interval() : -1;
}

void RegFlush()
{
    store().Flush();
}

void RegForget()
{
    store().Forget();
}

void RegFlushOnTerminateSignals()
{
    if (g_signalPipe[0] >= 0 || !QCoreApplication::instance())
        return;
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto *notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
        unsigned char b = 0;
        if (::read(g_signalPipe[0], &b, 1) != 1)
            return;
        store().Flush();
        // End as the signal would have ended the program.
        std::signal(b, SIG_DFL);
        std::raise(b);
    });
    struct sigaction sa {};
    sa.sa_handler = onTerminateSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
}

void RegWriteInteger(const QString &name, int32_t value)
{
    store().Write(name, kDword + QStringLiteral("%1").arg(uint32_t(value), 8, 16, QLatin1Char('0')));
}

void RegWriteString(const QString &name, const QString &text)
{
    store().Write(name, kSz + text);
}

int32_t RegReadInteger(const QString &name, int32_t def)
{
    QString raw;
    if (store().Read(name, fitsInteger, raw))
        return int32_t(raw.mid(kDword.size()).toUInt(nullptr, 16));
    RegWriteInteger(name, def);
    return def;
}

void RegReadString(const QString &name, const QString &def, QString &text)
{
    QString raw;
    if (store().Read(name, fitsString, raw)) {
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
const char16_t kCp1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                  0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
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
void IntToStrVar(int64_t n, QString &text)
{
    text = QString::number(n);
}

void BoolToTF(bool b, QString &text)
{
    text = b ? QStringLiteral("T") : QStringLiteral("F");
}

QString BoolToTF(bool b)
{
    return b ? QStringLiteral("T") : QStringLiteral("F");
}

int64_t Max64(int64_t a, int64_t b)
{
    return a > b ? a : b;
}

int64_t Min64(int64_t a, int64_t b)
{
    return a < b ? a : b;
}

void TextAfterEquals(const QString &text, QString &rest)
{
    const int i = text.indexOf(QLatin1Char('='));
    rest = i < 0 ? text : text.mid(i + 1);
}

int BandOf(int n)
{
    return (n - 1) / 3 + 1;
}

int PosInBand(int n)
{
    return n - ((n - 1) / 3) * 3;
}

bool IsNonZero(int64_t n)
{
    return n != 0;
}

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
