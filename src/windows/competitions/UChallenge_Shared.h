// What the challenge window's files share: the section names and words of
// the file, and the questions about the game around the window.
#pragma once

#include "files/UCompetitionFile.h"
#include "files/UIniFile.h"
#include "net/UNETZ.h"
#include "screens/UOptionen.h"
#include "screens/UStart.h"

#include <QString>

namespace ChallengeShared {
inline const QString kSpiele = QString::fromLatin1(kChallengeSection);
inline const QString kEtappe = QString::fromLatin1(kStageSection);
inline const QString kChallengeWord = QStringLiteral("Challenge");
inline const QString kTournamentWord = QStringLiteral("Turnier");

inline int playMode()
{
    return FormStart ? FormStart->PlayMode : 10;
}

inline QString optionsNickname()
{
    return FormOpt && FormOpt->NickName ? FormOpt->NickName->text() : QString();
}

inline bool isClient()
{
    return NETZ && NETZ->MyPlayerNo > 1;
}

// A file the program can play and extend: checksum, stage keys and codes,
// and no player beyond the last stage.
inline bool documentIsPlayable(const TIniFile &ini)
{
    if (!VerifyChecksum(ini, kSpiele) || !StagesAreValid(ini))
        return false;
    const int stages = StageKeys(ini).size();
    for (const QString &nick : ini.ReadSection(kEtappe))
        if (PlayerStageNumber(ini, nick) > stages)
            return false;
    return true;
}
} // namespace ChallengeShared
