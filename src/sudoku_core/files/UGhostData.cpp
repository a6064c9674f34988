#include "files/UGhostData.h"

#include "files/UCompetitionFile.h"

#include <algorithm>
#include <limits>

QString GhostOwnerKey(int x, int y)
{
    return QStringLiteral("Ghost_%1%2").arg(x).arg(y);
}

QString GhostTimeKey(int x, int y)
{
    return QStringLiteral("Time_%1%2").arg(x).arg(y);
}

int SanitizeGhostOwner(int64_t code)
{
    return code >= 0 && code <= kGhostMaxCode ? int(code) : 0;
}

int64_t SanitizeGhostTime(int64_t time)
{
    return time >= 0 && time <= std::numeric_limits<int32_t>::max() ? time : 0;
}

int64_t GhostNumber(const QString &text, int64_t defaultValue)
{
    bool ok = false;
    const qlonglong v = text.trimmed().toLongLong(&ok);
    return ok ? v : defaultValue;
}

int GhostLevel(const QString &levelText)
{
    bool ok = false;
    const int v = levelText.trimmed().toInt(&ok);
    if (!ok)
        return -1;
    return (v >= 0 && v <= 3) || (v >= 10 && v <= 13) ? v : -1;
}

int GhostMarkLimit(const QString &merkerText)
{
    return int(std::clamp<int64_t>(GhostNumber(merkerText, 0), 0, kGhostMaxMarks));
}

QString GhostDataProblem(const TGhostData &data)
{
    if (data.Feld.size() != 81)
        return QStringLiteral("Feld hat nicht 81 Zeichen");
    for (QChar c : data.Feld) {
        const char l = c.toLatin1();
        if (!((l >= 'A' && l <= 'I') || (l >= 'a' && l <= 'i')))
            return QStringLiteral("Feld enthält ungültige Zeichen");
    }
    if (GhostLevel(data.LevelText) < 0)
        return QStringLiteral("ungültiger Level");
    return QString();
}

TGhostSummary SummarizeGhostData(const TGhostData &data)
{
    TGhostSummary s;
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            s.Participants = std::max(s.Participants, SanitizeGhostOwner(data.Owner[x][y]));
            s.LongestTime = std::max(s.LongestTime, SanitizeGhostTime(data.Time[x][y]));
        }
    return s;
}

QString GhostLevelText(const TGhostData &data, QString (*levelName)(int))
{
    if (!data.HasLevel)
        return QStringLiteral("unbekannt");
    bool ok = false;
    const int v = data.LevelText.trimmed().toInt(&ok);
    return ok && levelName ? levelName(v) : QString();
}

TGhostMerge MergeGhostResult(const TBoardLayer &layer0, int participants)
{
    TGhostMerge m;
    const int n = std::clamp(participants, 1, kGhostMaxCode);
    // The credited slot of every cell, kept inside the eight slots.
    int finder[10][10] = {};
    int count[kGhostMaxCode + 1] = {};
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            const int f = layer0[x][y].FirstFinder;
            finder[x][y] = f >= 0 && f <= kGhostMaxCode ? f : 0;
            ++count[finder[x][y]];
        }

    bool someoneEmpty = false;
    for (int i = 1; i <= n; ++i)
        if (count[i] == 0)
            someoneEmpty = true;
    if (someoneEmpty) {
        if (count[1] == 0) {
            m.Outcome = TGhostMergeOutcome::NoPoints;
            return m;
        }
        m.Outcome = TGhostMergeOutcome::SavedDroppedGhost;
        // Participants without cells drop out; the others close up in order.
        int renumber[kGhostMaxCode + 1] = {};
        int next = 1;
        for (int i = 1; i <= n; ++i) {
            renumber[i] = next;
            if (count[i] != 0)
                ++next;
        }
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x)
                if (finder[x][y] >= 1 && finder[x][y] <= n)
                    finder[x][y] = renumber[finder[x][y]];
    } else if (n == kGhostMaxCode) {
        m.Outcome = TGhostMergeOutcome::TooManyGhosts;
        return m;
    }

    m.Feld.reserve(81);
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            const TGridEntry &c = layer0[x][y];
            const int v = std::clamp(c.Value, 1, 9);
            if (c.State == -1) {
                m.Feld += QChar(char('A' + v - 1));
                m.Owner[x][y] = 0;
                m.Time[x][y] = 0;
            } else {
                m.Feld += QChar(char('a' + v - 1));
                // One code older: the live player becomes the newest ghost,
                // a cell nobody found is stored as 1.
                m.Owner[x][y] = std::min(finder[x][y] + 1, kGhostMaxCode);
                m.Time[x][y] = SanitizeGhostTime(c.FoundTime);
            }
        }
    return m;
}

TGhostData ReadGhostData(const TIniFile &ini)
{
    const QString main = QString::fromLatin1(kGhostMainSection);
    const QString cells = QString::fromLatin1(kGhostCellSection);
    TGhostData d;
    d.Feld = ini.ReadString(main, QStringLiteral("Feld"), QStringLiteral("0"));
    d.HasLevel = ini.ValueExists(main, QStringLiteral("Level"));
    d.LevelText = ini.ReadString(main, QStringLiteral("Level"), QStringLiteral("0"));
    d.HasMerker = ini.ValueExists(main, QStringLiteral("Merker"));
    d.MerkerText = ini.ReadString(main, QStringLiteral("Merker"), QString());
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            d.Owner[x][y] = SanitizeGhostOwner(GhostNumber(ini.ReadString(cells, GhostOwnerKey(x, y), QString()), 0));
            d.Time[x][y] = SanitizeGhostTime(GhostNumber(ini.ReadString(cells, GhostTimeKey(x, y), QString()), 0));
        }
    return d;
}

TIniFile NewGhostDocument(const QString &path, const QString &passwordDigest, const QString &feld, int level,
                          int merker)
{
    const QString main = QString::fromLatin1(kGhostMainSection);
    const QString cells = QString::fromLatin1(kGhostCellSection);
    TIniFile ini(path);
    ini.WriteString(main, QString::fromLatin1(kChecksumKey), QStringLiteral("0"));
    ini.WriteString(main, QString::fromLatin1(kPasswordKey), passwordDigest);
    ini.WriteString(main, QStringLiteral("Feld"), feld);
    ini.WriteString(main, QStringLiteral("Level"), QString::number(level));
    ini.WriteString(main, QStringLiteral("Merker"), QString::number(merker));
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            ini.WriteString(cells, GhostOwnerKey(x, y), QStringLiteral("0"));
            ini.WriteString(cells, GhostTimeKey(x, y), QStringLiteral("0"));
        }
    WriteChecksum(ini, main);
    return ini;
}

bool WriteGhostCells(TIniFile &ini, const int32_t (&owner)[10][10], const int64_t (&time)[10][10],
                     const QString &feld)
{
    const QString main = QString::fromLatin1(kGhostMainSection);
    const QString cells = QString::fromLatin1(kGhostCellSection);
    bool ok = true;
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            ok = ini.WriteString(cells, GhostOwnerKey(x, y), QString::number(owner[x][y])) && ok;
            ok = ini.WriteString(cells, GhostTimeKey(x, y), QString::number(time[x][y])) && ok;
        }
    if (!feld.isEmpty())
        ok = ini.WriteString(main, QStringLiteral("Feld"), feld) && ok;
    return WriteChecksum(ini, main) && ok;
}
