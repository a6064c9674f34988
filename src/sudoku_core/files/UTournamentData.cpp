// The tournament telegrams: built from values or from the tournament file,
// and the texts a client shows of them.
#include "files/UTournamentData.h"

#include "files/UCompetitionFile.h"
#include "settings/USonstiges.h"

#include <algorithm>

namespace {
// Sums of the totals wrap like the 32-bit numbers they travel in.
int32_t add32(int32_t sum, int32_t v)
{
    return int32_t(uint32_t(sum) + uint32_t(v));
}

// The highest stage number that names a section of the file: a player's
// "Etappe" number beyond it adds only missing entries.
int32_t highestStageSection(const TIniFile &ini)
{
    int32_t highest = 0;
    for (const QString &section : ini.ReadSections()) {
        bool ok = false;
        const int n = section.toInt(&ok);
        if (ok && n > highest && StageNumberText(n) == section)
            highest = n;
    }
    return highest;
}

void readResult(const TIniFile &ini, int32_t stage, const QString &nickname, int &points, int &tenths, int &errors)
{
    ParseStarTriple(ini.ReadString(StageNumberText(stage), nickname, QStringLiteral("0*0*0")), points, tenths, errors);
}

QString resultTrace(const char *head, const TTournamentPart &p)
{
    return QString::fromLatin1(head) + p.Text +
           QStringLiteral(" pkt(%1) time(%2) error(%3)").arg(p.x).arg(p.y).arg(p.b);
}

int digitOf(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9') ? c.unicode() - '0' : -1;
}
} // namespace

TTournamentPart TournamentHeaderPart(const QString &name, int32_t endRule, int32_t mode)
{
    TTournamentPart p;
    p.Part = tpHeader;
    p.Text = name;
    p.x = endRule;
    p.y = mode;
    return p;
}

QList<TTournamentPart> TournamentFileParts(const TIniFile &ini)
{
    QList<TTournamentPart> out;
    const QString spiele = QString::fromLatin1(kChallengeSection);
    const QString etappe = QString::fromLatin1(kStageSection);
    const QStringList keys = ini.ReadSection(spiele);
    if (keys.size() < 2)
        return out;
    const QStringList stageKeys = keys.mid(2);

    int32_t position = 0;
    for (const QString &key : stageKeys) {
        TTournamentPart p;
        p.Part = tpStage;
        p.x = ++position;
        p.Text = ini.ReadString(spiele, key, QString()).mid(81);
        out.append(p);
    }

    const int32_t highest = highestStageSection(ini);
    for (const QString &nickname : ini.ReadSection(etappe)) {
        TTournamentPart p;
        p.Part = tpTotal;
        p.Text = nickname;
        p.a = std::max(0, PlayerStageNumber(ini, nickname));
        const int32_t last = qMin(p.a, highest);
        for (int32_t s = 1; s <= last; ++s) {
            int points = 0, tenths = 0, errors = 0;
            readResult(ini, s, nickname, points, tenths, errors);
            p.x = add32(p.x, points);
            p.y = add32(p.y, tenths);
            p.b = add32(p.b, errors);
        }
        out.append(p);
    }

    const int32_t stages = int32_t(stageKeys.size());
    for (int32_t s = 1; s <= stages; ++s) {
        const QString section = StageNumberText(s);
        for (const QString &nickname : ini.ReadSection(section)) {
            TTournamentPart p;
            p.Part = tpStageResult;
            p.Text = nickname;
            p.a = s;
            int points = 0, tenths = 0, errors = 0;
            readResult(ini, s, nickname, points, tenths, errors);
            p.x = points;
            p.y = tenths;
            p.b = errors;
            out.append(p);
        }
    }
    return out;
}

TTelegram TournamentTelegram(const TTournamentPart &part)
{
    TTelegram t;
    t.Aktion = akTournament;
    t.Gid = -1;
    t.z = part.Part;
    t.x = part.x;
    t.y = part.y;
    t.a = part.a;
    t.b = part.b;
    t.Data = 1;
    t.SetText(part.Text);
    return t;
}

TTournamentPart TournamentPartOf(const TTelegram &tel)
{
    TTournamentPart p;
    p.Part = tel.z;
    p.Text = tel.Data ? tel.Text() : QString();
    p.x = tel.x;
    p.y = tel.y;
    p.a = tel.a;
    p.b = tel.b;
    return p;
}

QString TournamentSendTrace(const TTournamentPart &part)
{
    switch (part.Part) {
    case tpHeader:
        return QStringLiteral("Turnierdaten: Name= ") + part.Text;
    case tpStage:
        return QStringLiteral("Turnierdaten: Spiele= ") + part.Text;
    case tpTotal:
        return resultTrace("Turnierdaten: GamerMax= ", part);
    case tpStageResult:
        return resultTrace("Turnierdaten: Gamer= ", part);
    default:
        return QString();
    }
}

QString TournamentStageLine(int32_t position, const QString &optionsCode, QString (*levelName)(int),
                            QString (*ratingName)(int))
{
    if (optionsCode.size() < kTournamentOptionsLength)
        return QString();
    QString type;
    switch (optionsCode[0].unicode()) {
    case 'S':
        type = QStringLiteral(" Sudoku;");
        break;
    case 'I':
        type = QStringLiteral(" Mojidoku A-I;");
        break;
    case 'Z':
        type = QStringLiteral(" Mojidoku A-Z;");
        break;
    default:
        break;
    }
    const int level = digitOf(optionsCode[2]);
    const int rating = digitOf(optionsCode[3]);
    return QString::number(position).rightJustified(4, QLatin1Char('0')) + QStringLiteral(":") + type +
           QStringLiteral(" Vorgabe: ") + (levelName ? levelName(level) : QString()) + QStringLiteral(";") +
           QStringLiteral(" Bewertung: ") + (ratingName ? ratingName(rating) : QString()) + QStringLiteral(";") +
           QStringLiteral(" Merker: ") + optionsCode[4];
}

TTournamentRow TournamentRowOf(const TTournamentPart &part)
{
    TTournamentRow r;
    r.Name = part.Text;
    if (part.Part == tpTotal)
        r.Count = QString::number(part.a);
    else
        r.StageNr = StageNumberText(part.a);
    r.Points = part.x;
    r.Tenths = part.y;
    r.Errors = part.b;
    return r;
}

QString TournamentReceiveTrace(const TTournamentPart &part)
{
    if (part.Part == tpTotal)
        return QStringLiteral("TURNIER: ") + part.Text + QStringLiteral(" AnzSpiele:") + QString::number(part.a);
    return QStringLiteral("TURNIER: ") + part.Text + QStringLiteral(" Etappe:") + StageNumberText(part.a);
}
