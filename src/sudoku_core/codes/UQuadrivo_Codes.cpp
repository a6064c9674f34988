#include "codes/UQuadrivo_Codes.h"

#include "settings/USystem.h"

#include <algorithm>

bool IsPuzzleLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 'A' && u <= 'I') || (u >= 'a' && u <= 'i');
}

namespace {
void loadLetter(TGridEntry &e, QChar c)
{
    const int code = c.unicode();
    if (code >= 'A' && code <= 'I') {
        e.Value = code - 64;
        e.State = -1;
    } else {
        e.Value = code - 96;
        e.State = 0;
    }
}
} // namespace

void LoadPuzzleStringInto(TBoardLayer &layer, const QString &s)
{
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            const int i = (y - 1) * 9 + x - 1;
            if (i < s.size())
                loadLetter(layer[x][y], s[i]);
        }
}

QString LoadPuzzleLinesInto(TBoardLayer &layer, const QStringList &lines)
{
    QString text;
    for (int y = 1; y <= 9 && y <= lines.size(); ++y) {
        const QString &line = lines[y - 1];
        for (int x = 1; x <= 9 && x <= line.size(); ++x) {
            loadLetter(layer[x][y], line[x - 1]);
            text += line[x - 1];
        }
    }
    return text;
}

QString BuildPuzzleStringFrom(const TBoardLayer &layer)
{
    QString s;
    s.reserve(81);
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            const TGridEntry &e = layer[x][y];
            s += QChar(e.Value + (e.State != 0 ? 64 : 96));
        }
    return s;
}

int Min3(int a, int b, int c) { return std::min({a, b, c}); }
int Max3(int a, int b, int c) { return std::max({a, b, c}); }
int Mid3(int a, int b, int c) { return a + b + c - Min3(a, b, c) - Max3(a, b, c); }

void PermuteColumnsOf(TBoardLayer &layer, int a, int b, int c)
{
    const int lo = Min3(a, b, c), mid = Mid3(a, b, c), hi = Max3(a, b, c);
    for (int y = 1; y <= 9; ++y) {
        const TGridEntry e1 = layer[lo][y], e2 = layer[mid][y], e3 = layer[hi][y];
        layer[a][y] = e1;
        layer[b][y] = e2;
        layer[c][y] = e3;
    }
}

void PermuteRowsOf(TBoardLayer &layer, int a, int b, int c)
{
    const int lo = Min3(a, b, c), mid = Mid3(a, b, c), hi = Max3(a, b, c);
    for (int x = 1; x <= 9; ++x) {
        const TGridEntry e1 = layer[x][lo], e2 = layer[x][mid], e3 = layer[x][hi];
        layer[x][a] = e1;
        layer[x][b] = e2;
        layer[x][c] = e3;
    }
}

void ApplyRotationCodeTo(TBoardLayer &layer, const QString &code)
{
    static const int targets[6][3] = {{1, 2, 3}, {1, 3, 2}, {2, 1, 3}, {2, 3, 1}, {3, 1, 2}, {3, 2, 1}};
    for (int k = 0; k < 8 && k < code.size(); ++k) {
        const int n = code[k].unicode() - '0';
        if (n < 0 || n > 5)
            continue;
        const int *t = targets[n];
        if (k < 3) {
            const int base = 3 * k;
            PermuteColumnsOf(layer, base + t[0], base + t[1], base + t[2]);
        } else if (k < 6) {
            const int base = 3 * (k - 3);
            PermuteRowsOf(layer, base + t[0], base + t[1], base + t[2]);
        } else {
            // Whole bands: the same permutation for each line inside the band.
            for (int j = 1; j <= 3; ++j) {
                const int a = 3 * (t[0] - 1) + j, b = 3 * (t[1] - 1) + j, c = 3 * (t[2] - 1) + j;
                if (k == 6)
                    PermuteColumnsOf(layer, a, b, c);
                else
                    PermuteRowsOf(layer, a, b, c);
            }
        }
    }
}

void ApplyDigitMapTo(TBoardLayer &layer, const QString &map)
{
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            int &v = layer[x][y].Value;
            if (v < 1 || v > 9 || v > map.size())
                continue;
            const int d = map[v - 1].unicode() - '0';
            if (d >= 1 && d <= 9)
                v = d;
        }
}

QString MakeRandomRotationCode()
{
    QString s;
    for (int i = 0; i < 8; ++i)
        s += QChar('0' + Random(6));
    return s;
}

QString MakeRandomDigitMap()
{
    QString left = QStringLiteral("123456789");
    QString out;
    for (int i = 0; i < 9; ++i) {
        const int k = Random(left.size());
        out += left[k];
        left.remove(k, 1);
    }
    return out;
}

QString SymbolSetForType(int type)
{
    switch (type) {
    case 1:
        return QStringLiteral("123456789");
    case 2:
        return QStringLiteral("ABCDEFGHI");
    case 3: {
        QString drawn;
        while (drawn.size() < 10) {
            const QChar c('A' + Random(26));
            if (!drawn.contains(c))
                drawn += c;
        }
        std::sort(drawn.begin(), drawn.end());
        return drawn.mid(1);
    }
    default:
        return QString();
    }
}

QString MakeOptionsCode(int gameType, bool immediate, int level, int rating, int maxMarks)
{
    QString s;
    switch (gameType) {
    case 1:
        s += QLatin1Char('S');
        break;
    case 2:
        s += QLatin1Char('I');
        break;
    case 3:
        s += QLatin1Char('Z');
        break;
    case 4:
        s += QLatin1Char('B');
        break;
    default:
        break;
    }
    s += immediate ? QLatin1Char('S') : QLatin1Char('D');
    s += QString::number(level);
    s += QString::number(rating);
    s += QString::number(maxMarks);
    return s;
}

QString BuiltinCodeOf(int level, int index)
{
    return QString(QChar('G' + index)) + QChar('L' + level);
}

bool ParseGameCode(const QString &typed, TGameCodeParts &parts, QString &error)
{
    const int gt = typed.indexOf(QLatin1Char('>'));
    const QString code = (gt < 0 ? typed : typed.mid(gt + 1)).trimmed();
    if (code.size() < 95) {
        error = QStringLiteral("Der Spielcode ist zu kurz: Er braucht 95 Zeichen (81 für das Spielfeld, "
                               "5 für die Einstellungen, 9 für die Symbole).");
        return false;
    }
    for (int i = 0; i < 81; ++i)
        if (!IsPuzzleLetter(code[i])) {
            error = QStringLiteral("Der Spielcode ist ungültig: Das Spielfeld darf nur die Buchstaben "
                                   "A bis I und a bis i enthalten.");
            return false;
        }
    parts.Puzzle = code.left(81);
    parts.Options = code.mid(81, 5);
    parts.Symbols = code.mid(86, 9);
    return true;
}

bool CheckPuzzleLines(const QStringList &lines, QString &error)
{
    if (lines.size() < 9) {
        error = QStringLiteral("weniger als 9 Zeilen");
        return false;
    }
    for (int y = 0; y < 9; ++y) {
        if (lines[y].size() < 9) {
            error = QStringLiteral("Zeile %1 ist kürzer als 9 Zeichen").arg(y + 1);
            return false;
        }
        for (int x = 0; x < 9; ++x)
            if (!IsPuzzleLetter(lines[y][x])) {
                error = QStringLiteral("Zeile %1 enthält ein ungültiges Zeichen").arg(y + 1);
                return false;
            }
    }
    return true;
}

QString GameLevelName(int level)
{
    static const char *const names[] = {"Leicht", "Mittel", "Schwer", "Profi"};
    if (level >= 0 && level <= 3)
        return QString::fromLatin1(names[level]);
    if (level >= 10 && level <= 13)
        return QString::fromLatin1(names[level - 10]) + QStringLiteral("(Import)");
    return QString();
}
