#include "common/TestEnv.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QUdpSocket>
#include <QtGlobal>

namespace {
// The folder the first environment was made in: later ones go there too,
// not into the temporary folder of one that may be gone already.
QString outerTemp()
{
    static const QString dir = QDir::tempPath();
    return dir;
}

const char *const kAddressVariables[] = {"SUDOKU_BIND_ADDRESS", "SUDOKU_SELF_IP", "SUDOKU_BROADCAST_ADDRESS"};
} // namespace

TTestEnv::TTestEnv() : m_dir(outerTemp() + QStringLiteral("/sudoku-test-XXXXXX"))
{
    if (!m_dir.isValid())
        qFatal("test environment: no temporary folder in %s", qPrintable(outerTemp()));
    for (const QString &sub : {SettingsDir(), DataDir(), TempDir()})
        QDir().mkpath(sub);
    qputenv("SUDOKU_SETTINGS_DIR", QFile::encodeName(SettingsDir()));
    qputenv("SUDOKU_DATA_DIR", QFile::encodeName(DataDir()));
    qputenv("TMPDIR", QFile::encodeName(TempDir()));
    qputenv("SUDOKU_LOOPBACK_ONLY", "1");
    qputenv("SUDOKU_BIND_ADDRESS", "127.0.0.1");
    qputenv("SUDOKU_SELF_IP", "127.0.0.1");
    qputenv("SUDOKU_BROADCAST_ADDRESS", "127.255.255.255");
    QString why;
    if (!OnLoopback(&why))
        qFatal("test environment: %s", qPrintable(why));
}

bool TTestEnv::IsLoopbackAddress(const QString &address)
{
    const QStringList parts = address.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    for (const QString &p : parts) {
        bool ok = false;
        const int v = p.toInt(&ok);
        if (!ok || p.isEmpty() || p.size() > 3 || v < 0 || v > 255 || !p.at(0).isDigit())
            return false;
    }
    return parts.front() == QLatin1String("127");
}

bool TTestEnv::OnLoopback(QString *why)
{
    auto refuse = [why](const QString &text) {
        if (why)
            *why = text;
        return false;
    };
    if (qgetenv("SUDOKU_LOOPBACK_ONLY") != "1")
        return refuse(QStringLiteral("SUDOKU_LOOPBACK_ONLY is not 1"));
    for (const char *name : kAddressVariables) {
        const QString value = qEnvironmentVariable(name);
        if (!IsLoopbackAddress(value))
            return refuse(QStringLiteral("%1 is <%2>, not on loopback").arg(QLatin1String(name), value));
    }
    return true;
}

int FreeLoopbackPort()
{
    QUdpSocket s;
    if (!s.bind(QHostAddress(QStringLiteral("127.0.0.1")), 0, QAbstractSocket::DontShareAddress))
        return 0;
    return s.localPort();
}
