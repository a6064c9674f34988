// Competition files: verifying a file of 100 stages and 8 players, and writing
// one result into it (load, verify, change, new checksum, atomic replace).
#include "common/TestEnv.h"
#include "files/UCompetitionFile.h"
#include "files/UIniFile.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
double medianMs(std::vector<qint64> ns)
{
    std::sort(ns.begin(), ns.end());
    return ns.empty() ? 0.0 : double(ns[ns.size() / 2]) / 1e6;
}

void print(const char *name, double value, const char *unit)
{
    std::printf("%s %.4f %s\n", name, value, unit);
}

const char kPuzzle[] = "eHcFDgaibdgiahBcFefbAicEHGdadHcbifeGbCGefhDAiIfedgaBchcEFBidGhagAbHefidchidgACeBf";
} // namespace

int main()
{
    const TTestEnv env;
    const QString path = env.Dir() + QStringLiteral("/Bench.turnier");
    TIniFile ini = NewCompetitionDocument(path, QStringLiteral("geheim"));
    const QString spiele = QString::fromLatin1(kChallengeSection);
    const QString etappe = QString::fromLatin1(kStageSection);
    for (int s = 1; s <= 100; ++s)
        ini.WriteString(spiele, StageNumberText(s), QString::fromLatin1(kPuzzle) + QStringLiteral("SS234"));
    for (int p = 1; p <= 8; ++p)
        ini.WriteString(etappe, QStringLiteral("Spieler%1").arg(p), StageNumberText(100));
    for (int s = 1; s <= 100; ++s)
        for (int p = 1; p <= 8; ++p)
            ini.WriteString(StageNumberText(s), QStringLiteral("Spieler%1").arg(p), ResultText(s * p, 12345, p % 3));
    WriteChecksum(ini, spiele);
    if (!ini.Save())
        return 1;

    std::vector<qint64> verify, write, change;
    QElapsedTimer t;
    for (int i = 0; i < 200; ++i) {
        t.start();
        TIniFile f(path);
        const bool ok = f.Load() && VerifyChecksum(f, spiele);
        verify.push_back(t.nsecsElapsed());
        if (!ok)
            return 1;
    }
    for (int i = 0; i < 100; ++i) {
        t.start();
        TIniFile f(path);
        if (!f.Load() || !VerifyChecksum(f, spiele))
            return 1;
        f.WriteString(etappe, QStringLiteral("Spieler3"), StageNumberText(100));
        f.WriteString(QStringLiteral("0100"), QStringLiteral("Spieler3"), ResultText(i, 2000 + i, 0));
        WriteChecksum(f, spiele);
        change.push_back(t.nsecsElapsed());
        if (!f.Save())
            return 1;
        write.push_back(t.nsecsElapsed());
    }
    print("competition_verify_100x8", medianMs(verify), "ms");
    // The replace waits for the disk (QSaveFile syncs before it renames);
    // the part before it is the program's own work.
    print("competition_write_result_100x8", medianMs(write), "ms");
    print("competition_write_result_before_replace_100x8", medianMs(change), "ms");
    return 0;
}
