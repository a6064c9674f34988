// The settings file as any editor or a half-written disk may leave it: every
// value the program reads, as integer and as text, must come back sane, and
// a failed read stores the default.
#include "FuzzKit.h"
#include "settings/USonstiges.h"

#include <QFile>
#include <cstdlib>

namespace {
const char *const kNames[] = {"Nickname", "ImportPath", "Window1Top", "Window1Left", "Window1Height",
                              "Window1Width", "level", "Port", "MenueColor", "iNetUser", "Disclaimer",
                              "ColSp1", "FontSizeZahlen", "a", "[General]"};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzFolder();
    RegForget();
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (!WriteFuzzFile(SettingsFilePath(), bytes))
        return 0;
    for (const char *name : kNames) {
        const QString n = QString::fromLatin1(name);
        const int32_t v = RegReadInteger(n, 4711);
        const QString s = RegReadString(n, QStringLiteral("vorgabe"));
        if (s.isEmpty())
            abort();
        (void)v;
    }
    // A value written is read back as written.
    RegWriteInteger(QStringLiteral("Window1Top"), -5);
    if (RegReadInteger(QStringLiteral("Window1Top"), 0) != -5)
        abort();
    RegFlush();
    RegForget();
    return 0;
}
