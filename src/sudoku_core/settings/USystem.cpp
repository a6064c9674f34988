#include "settings/USystem.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <random>
#include <unistd.h>

namespace {
std::function<int64_t()> &counterSource()
{
    static std::function<int64_t()> source;
    return source;
}

std::mt19937_64 &generator()
{
    static std::mt19937_64 gen(5489u);
    return gen;
}

TSudokuEnv readEnv()
{
    auto var = [](const char *name, const char *def = "") {
        const QByteArray v = qgetenv(name);
        return v.isEmpty() ? QString::fromLatin1(def) : QString::fromLocal8Bit(v);
    };
    TSudokuEnv env;
    env.SettingsDir = var("SUDOKU_SETTINGS_DIR");
    env.DataDir = var("SUDOKU_DATA_DIR");
    env.BindAddress = var("SUDOKU_BIND_ADDRESS", "0.0.0.0");
    env.BroadcastAddress = var("SUDOKU_BROADCAST_ADDRESS", "255.255.255.255");
    env.SelfIp = var("SUDOKU_SELF_IP");
    env.ServerUrl = var("SUDOKU_SERVER_URL", "http://127.0.0.1:8080/sudoku");
    env.PrintPdf = var("SUDOKU_PRINT_PDF");
    env.LoopbackOnly = qgetenv("SUDOKU_LOOPBACK_ONLY") == "1";
    return env;
}

TSudokuEnv &envStore()
{
    static TSudokuEnv env = readEnv();
    return env;
}
} // namespace

int64_t PerfCounter()
{
    if (counterSource())
        return counterSource()();
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    // Offset by one second so that a real reading is never 0 ("no reading yet").
    return timer.nsecsElapsed() + 1000000000LL;
}

int64_t PerfFrequency() { return 1000000000LL; }

void SetPerfCounterSource(std::function<int64_t()> source) { counterSource() = std::move(source); }

void RandSeed(uint64_t seed) { generator().seed(seed); }

int Random(int n)
{
    if (n <= 0)
        return 0;
    std::uniform_int_distribution<int> dist(0, n - 1);
    return dist(generator());
}

const TSudokuEnv &SudokuEnv() { return envStore(); }

void ReloadSudokuEnv() { envStore() = readEnv(); }

QString ProgramDir()
{
    if (!SudokuEnv().DataDir.isEmpty())
        return QDir::cleanPath(SudokuEnv().DataDir);
    if (QCoreApplication::instance())
        return QDir::cleanPath(QCoreApplication::applicationDirPath());
    return QDir::currentPath();
}

QString InstanceLockPath(unsigned userId)
{
    return QDir(QDir::tempPath()).filePath(QStringLiteral("XYZ-%1").arg(userId));
}

QString InstanceLockPath() { return InstanceLockPath(unsigned(::getuid())); }
