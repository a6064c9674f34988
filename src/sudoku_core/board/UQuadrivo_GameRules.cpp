// The rules of the game flow that need no window (see UQuadrivo_Game.h).
#include "board/UQuadrivo_Game.h"

int64_t GameTenthsAt(int64_t now, int64_t startCount, int64_t countsPerTenth, int32_t penaltySeconds)
{
    if (countsPerTenth <= 0)
        countsPerTenth = 100000000; // the nanosecond counter: 1e9 counts per second
    return (now - startCount) / countsPerTenth + 10 * int64_t(penaltySeconds);
}

TOptionsCodeValues DecodeOptionsCode(const QString &code, bool inChallenge)
{
    TOptionsCodeValues v;
    if (code.size() >= 1) {
        switch (code[0].unicode()) {
        case 'B':
            v.GameType = inChallenge ? 1 : 4;
            break;
        case 'I':
            v.GameType = 2;
            break;
        case 'S':
            v.GameType = 1;
            break;
        case 'Z':
            v.GameType = 3;
            break;
        default:
            break;
        }
    }
    if (code.size() >= 2) {
        if (code[1] == QLatin1Char('D'))
            v.Evaluation = 0;
        else if (code[1] == QLatin1Char('S'))
            v.Evaluation = 1;
    }
    int *const digits[] = {&v.Level, &v.Rating, &v.MaxMarks};
    for (int i = 0; i < 3; ++i)
        if (code.size() >= 3 + i)
            *digits[i] = code[2 + i].unicode() - '0';
    return v;
}

bool PlayModeText(int playMode, QString &text)
{
    switch (playMode) {
    case 10:
        text = QStringLiteral("Einzelspieler");
        return true;
    case 20:
        text = QStringLiteral("Mehrspieler");
        return true;
    case 1:
        text.clear();
        return true;
    default:
        return false;
    }
}

QString GameKindText(int gameKind)
{
    switch (gameKind) {
    case 0:
    case 1:
        return QStringLiteral("normal");
    case 2:
        return QStringLiteral("Ghost");
    case 3:
        return QStringLiteral("Challenge");
    case 4:
        return QStringLiteral("Wiederholung");
    case 5:
        return QStringLiteral("Turnier");
    case 6:
        return QStringLiteral("Duell");
    default:
        return QString();
    }
}

bool IsHintAllowedFor(bool singlePlayerGame, int gameKind, bool bingo, int symbolKind)
{
    return singlePlayerGame && (gameKind == 1 || gameKind == 4) && !bingo && symbolKind == 1;
}
