#include "FuzzKit.h"

#include "settings/USonstiges.h"
#include "settings/USystem.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {
bool g_fixtureFolders = false;
int g_argc = 1;
char g_arg0[] = "fuzz";
char *g_argv[] = {g_arg0, nullptr};
} // namespace

int &FuzzArgc()
{
    return g_argc;
}

char **FuzzArgv()
{
    return g_argv;
}

void FuzzLeaveFoldersToFixture()
{
    g_fixtureFolders = true;
}

QString FuzzFolder()
{
    // Kept for the whole run; fuzz/run points TMPDIR at a folder of its own,
    // so nothing is left behind elsewhere.
    static QTemporaryDir *dir = nullptr;
    if (!dir) {
        dir = new QTemporaryDir();
        const QString base = dir->path();
        for (const char *sub : {"settings", "data", "tmp"})
            QDir(base).mkpath(QString::fromLatin1(sub));
        if (!g_fixtureFolders) {
            // The program always has an application object, and with one
            // the settings store writes its file a moment after the last
            // change rather than on every change. Kept for the whole run;
            // no event loop runs, so what a target stores reaches the file
            // when it calls RegFlush().
            if (!QCoreApplication::instance())
                new QCoreApplication(FuzzArgc(), FuzzArgv());
            qputenv("SUDOKU_SETTINGS_DIR", QFile::encodeName(base + QStringLiteral("/settings")));
            qputenv("SUDOKU_DATA_DIR", QFile::encodeName(base + QStringLiteral("/data")));
            qputenv("SUDOKU_LOOPBACK_ONLY", "1");
            ReloadSudokuEnv();
            RegForget();
        }
    }
    return dir->path();
}

QString FuzzFilePath(const QString &name)
{
    return QDir(FuzzFolder()).filePath(name);
}

bool WriteFuzzFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

// Qt and the graphics stack keep allocations until the process ends; they
// are not ours to report, and the fuzzer would stop at the first of them.
extern "C" const char *__asan_default_options()
{
    return "detect_leaks=0:abort_on_error=1";
}
