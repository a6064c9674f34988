#include "help/UInfo_Topics.h"

#include "settings/USonstiges.h"

#include <QRegularExpression>
#include <iterator>

namespace {
// The texts stay exactly as the program has always shown them, their spelling
// included: players know them by heart.
const THelpTopic kTopics[] = {
    {1, "Hilfesystem :",
     "Um eine Beschreibung zu den verschiedenen Einstellungsmöglichkeiten~"
     "zu erhalten, die Strg Taste gedrückthalten, überall wo sich der~"
     "Mauszeiger in ein Fragezeichen ändert,~"
     "kann durch anklicken eine Hilfe abgerufen werden.",
     390, nullptr, 0, false, 0},
    {2, "Anleitung zum Zahlenspiel Sudoku :",
     "Ein Sudoku-Spielfeld besteht aus einem Quadrat mit 9 x 9 (81) Feldern,~"
     "diese Felder sind in 3 x 3 (9) Blöcke unterteilt,~"
     "ein Block hat wiederrum 3 x 3 (9) Felder.~~"
     "Beim Start sind im Spielfeld, je nach Schwiergkeitsgrad,~"
     "unterschiedlich viele Zahlen vorgegeben.~"
     "Ziel des Spiels ist es alle freien Felder, mit den Zahlen von 1 - 9, zu füllen.~"
     "Dabei sind nur 3 Regeln zu beachten:~#in jeder Reihe,~#jeder Spalte und~"
     "#jedem Block~dürfen die Zahlen von 1 - 9 nur einmal vorkommen.",
     500, nullptr, 0, false, 0},
    {4, "Einzelspieler :",
     "Im Einzelspielermodus sind folgende Modies möglich:~~normales Spiel :~"
     "#es wird ein normales Spiel gestartet~~Ghost Spiel :~"
     "#hier können bis zu 7 virtuelle Spieler (Geister) mitspielen~~Challenge Spiel :~"
     "#die erzielten Punkte werden gespeichert und können mit~"
     "#anderen Spielern verglichen werden~~ein Spiel wiederholen :~"
     "#ein schonmal gestartetes Spiel kann wiederholt werden~",
     550, nullptr, 0, false, 0},
    {5, "Mehrspieler :",
     "Im Mehrspielermodus kann~~ein Spiel für andere angeboten (Spiel eröffnen) oder~"
     "einem Spiel beigetreten (Spiel suchen) werden.~~"
     "Wird ein Spiel als Turnier eröffnet so werden die Ergebnisse~"
     "aller Spieler gespeichert.~~"
     "Im Normalfall kann dem 1. gefundenen Spiel immer beigetreten werden.~"
     "Sollten aber mehr als ein Spieler ein Spiel anbieten oder wird~"
     "ein Spiel im Intranet / Internet gesucht, so ist die Option~"
     "\"1. gefundenen Spiel beitreten\" abzuwählen.",
     520, nullptr, 0, false, 0},
    {6, "Sonstiges :",
     "Bei den Optionen können allgemeine Einstellungen zum Programm~"
     "eingestellt werden.~~"
     "Mit den Editor können Spiele aus Zeitungen, Büchern usw. eingegeben~"
     "werden, um diese zu spielen.",
     420, nullptr, 0, false, 0},
    {7, "Übersichtstabelle :",
     "In der Übersichtstabelle wird angezeit welche Einstellungen gemacht wurden~"
     "bzw. vom Server vorgegeben wurden.~~",
     420, nullptr, 0, false, 0},
    {8, "Tipp anzeigen :",
     "Es wird eine der möglichen Zahlen angezeigt,~"
     "mit einer Erklärung warum und mit welcher Methode diese gefunden wird.",
     390, nullptr, 0, true, 0},
    {9, "Pause / Weiterspielen :", "Ein gestartetes Spiel kann unterbrochen und weitergeführt werden.", 380, nullptr, 0,
     true, 0},
    {10, "Spiel beenden :", "Ein gestartetes Spiel kann abgebrochen werden.", 380, nullptr, 0, true, 0},
    {11, "Programm beenden :", "Quadrivo wird beendet.", 380, nullptr, 0, true, 0},
    {12, "Sudoku :", "Sudoku Spiel mit Zahlen von 1 - 9.", 380, nullptr, 0, true, 0},
    {13, "Bingo :",
     "Sudoku Spiel mit Zahlen von 1 - 9.~beim Bingo werden 1 - 4 Zahlen vorgegeben,~"
     "nur diese dürfen / können in das Spielfeld eingesetzt werden.~"
     "Neue Zahlen werden entweder sofort angezeigt oder wenn die Vorgabe~"
     "leer gespielt ist.",
     400, nullptr, 0, true, 13},
    {14, "Bewertung :",
     "Es kann zwischen Leicht, Mittel, Schwer oder Profi gewählt werden.~"
     "Je nach Einstellung ändert sich Punkte und Strafzeit.~"
     "In der Einstellung Mittel wird die Strafzeit immer um 5 Sek. erhöht~"
     "Zu einem vorzeitigen Spielende kann es bei Schwer und Profi kommen.~~"
     "In der Einstellung Profi kann zusätzlich ein Bonus vergeben werden.~"
     "Bonus = Punkte * nicht verwendeter Merker ",
     760, "bewertung", 330, false, 0},
    {15, "Editor :",
     "Es muss ein komplettes Feld eingegeben werden d.h. die vorgegebenen und~"
     "die zu suchenden Felder.~"
     "Mit der linken Maustaste wird das vorgegebene Feld (Marmoriert) eingeben,~"
     "mit der rechten das zu suchende Feld (Grün).~~"
     "Tipp: Erst alle fest vorgegebenen Zahlen eingeben, dann auf testen drücken,~"
     "der Solver füllt die grünen Felder aus.~"
     "Beim abspeichern kann das Spiel mit den Anfangsbuchstaben der Datei einer~"
     "Schwierigkeit zugeordnet werden:~~#L = leicht~#M = mittel~#S = Schwer~"
     "#P = Profi~~"
     "Werden mehrere Dateien für eine Schwierigkeit angelegt, so wird beim Importieren~"
     "eine Datei zufällig ausgewählt.",
     740, "editor", 135, false, 0},
};
} // namespace

const THelpTopic *HelpTopicsBegin()
{
    return std::begin(kTopics);
}
const THelpTopic *HelpTopicsEnd()
{
    return std::end(kTopics);
}

const THelpTopic *FindHelpTopic(int n)
{
    for (const THelpTopic &t : kTopics)
        if (t.Number == n)
            return &t;
    return nullptr;
}

QStringList FormatHelpBody(const QString &body)
{
    QString text = QLatin1Char('~') + body;
    text.replace(QLatin1Char('#'), QStringLiteral("    "));
    text.replace(QLatin1Char('~'), QStringLiteral("\n   "));
    // The text starts with a break, so the first line is the empty one before it.
    return text.split(QLatin1Char('\n'));
}

QString FormatHelpTitle(const QString &title)
{
    return QStringLiteral("  ") + title;
}

QStringList SplitReplyLines(const QString &text)
{
    static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = text.split(breaks);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

TVersionReply ParseVersionReply(const QString &text)
{
    TVersionReply r;
    QStringList lines = SplitReplyLines(text);
    // Only lines that are there are read: an empty reply or a lone "1" is wrong.
    if (lines.size() < 2)
        return r;
    QString first;
    TextAfterEquals(lines.takeFirst(), first);
    if (first != QLatin1String("1"))
        return r;
    TextAfterEquals(lines.first(), r.Version);
    r.Ok = true;
    return r;
}

QString VersionReplyText(const TVersionReply &reply, const QString &ownVersion)
{
    if (!reply.Ok)
        return QStringLiteral("Fehler: ") + QLatin1String(kWrongReplyText);
    return QStringLiteral("Internet Version :") + reply.Version + QStringLiteral(" Version auf diesen Rechner :") +
           ownVersion;
}
