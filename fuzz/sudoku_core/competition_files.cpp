// Challenge, tournament and ghost files as a foreign program or a broken
// disk may leave them: the INI document, its checksum, stages and ghost
// cells, read from disk, changed in place, written and read again.
#include "FuzzKit.h"
#include "files/UCompetitionFile.h"
#include "files/UGhostData.h"
#include "files/UIniFile.h"

#include <cstdlib>

namespace {
QString levelName(int level)
{
    return QString::number(level);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TFuzzReader in(data, size);
    const uint8_t how = in.Byte();
    const QByteArray bytes = in.Rest();

    TIniFile ini;
    if (how & 1) {
        const QString path = FuzzFilePath(QStringLiteral("fuzz.challenge"));
        if (!WriteFuzzFile(path, bytes))
            return 0;
        ini = TIniFile(path);
        if (!ini.Load())
            return 0;
    } else {
        ini.SetBytes(bytes);
    }

    for (const QString &section : ini.ReadSections())
        for (const QString &key : ini.ReadSection(section))
            (void)ini.ReadString(section, key, QString());
    (void)VerifyChecksum(ini, QString::fromLatin1(kChallengeSection));
    (void)VerifyChecksum(ini, QString::fromLatin1(kGhostMainSection));
    (void)PasswordMatches(ini, QStringLiteral("geheim"));
    (void)StagesAreValid(ini);
    for (const QString &key : StageKeys(ini)) {
        (void)IsValidStageNumber(key);
        (void)IsValidStageCode(ini.ReadString(QString::fromLatin1(kChallengeSection), key, QString()));
    }
    (void)NextStageNumber(ini, QStringLiteral("Spieler"));

    const TGhostData ghost = ReadGhostData(ini);
    (void)GhostDataProblem(ghost);
    (void)SummarizeGhostData(ghost);
    (void)GhostLevelText(ghost, levelName);
    (void)GhostLevel(ghost.LevelText);
    (void)GhostMarkLimit(ghost.MerkerText);

    // Changes go in place; what was written is read back, the checksum is written.
    const QString section = ini.ReadSections().value(0, QString::fromLatin1(kChallengeSection));
    if (TIniFile::IsWritableSection(section) && ini.WriteString(section, QStringLiteral("Probe"), QStringLiteral("42"))) {
        if (ini.ReadString(section, QStringLiteral("Probe"), QString()) != QStringLiteral("42"))
            abort();
        (void)WriteChecksum(ini, section);
        TIniFile again;
        again.SetBytes(ini.Bytes());
        (void)VerifyChecksum(again, section);
    }
    (void)ini.DeleteKey(section, QStringLiteral("Probe"));
    (void)ini.EraseSection(section);
    // 162 writes, each a look-up through the document: every input would
    // take a tenth of a second under the sanitizers. Only some take it.
    if (!(how & 2))
        (void)WriteGhostCells(ini, ghost.Owner, ghost.Time, ghost.Feld);
    return 0;
}
