#pragma once
// A table of whole LAN games on a private bridge: one row per way to play
// (rating, own or shared boards, judged at once or at the end, Bingo), each
// with scripted entries, right and wrong, so that the scores, penalties and
// players put out follow from the rules alone. The host opens the game and
// sets the options by clicks; the clients find it (by the start screen, which
// joins the first game found, or by the search window) and log in, searching
// again when nobody answers, as a user does. Every machine prints what it
// saw; the test compares the machines with each other and with the scores
// the rules give for the script.
//
// A group plays several rounds, as groups do: after each round every machine
// leaves its end-of-game dialog its own way, and the host starts the next
// game when the group is back. The host ends a round with "Spiel beenden"
// and the group joins its next game. A client quits in the middle of a
// round, or its program is killed; a newcomer joins between two rounds. Then
// every round's tables agree on every machine, show every occupied row and
// nobody who has left, and a newcomer takes the lowest number free. A
// tournament row plays its stages with the host's listener bound to its
// bridge address only.
//
// Script letters, one per entry of a client:
//   R  the right digit in the next open cell (Bingo: an offered item)
//   W  a wrong digit in the next open cell (Bingo: an offered digit in a
//      cell that wants another one, or a wrong digit in an offered cell)
//   O  Bingo: a digit, or a cell, that is not offered (ignored by the host)
//   C  the right digit in the first open cell of the board, which another
//      player claimed before (shared board: refused without a penalty)
//   F  fill every open cell until the game is over; with judging at the
//      end, a wrong solution is cleared ("Ja") and filled again
//   Q  quit the program (its close sends the logoff)
//   E  "Spiel beenden" (the client leaves the game, with its logoff), then
//      quit the program
//   K  the program is killed (SIGKILL): no logoff, no answer any more; the
//      host finds it silent and it is gone as after a logoff
//   X  the program is killed the same way just before the round ends (the
//      finisher waits a moment after its entries are judged): nobody can
//      tell yet, so it is scored as any other, and the host finds it silent
//      only after the round
// The first client that stays the whole round is its finisher: it waits
// until every other client has said "fertig" in the chat (its entries are
// judged by then) and every one who left is gone from its table, then
// plays; in a race nobody waits. While one who left is still in the host's
// table, the host chats now and then, as people do while they wait: a lost
// logoff is a single datagram, and only a line that waits for the one who
// left lets the host notice that nobody answers any more.
//
// End-of-game exits, one letter per round but the last:
//   S  "Schliessen"
//   B  "Spielfeld anzeigen"
//   T  the dialog's title-bar close (the window manager's close event)
#include "LanPeer.h"

#include "board/ULog.h"
#include "board/UMeldung.h"
#include "board/UQuadrivo.h"
#include "competitions/UChallenge.h"
#include "files/UCompetitionFile.h"
#include "files/UIniFile.h"
#include "net/UNETZ.h"
#include "net/USucheSpiele.h"
#include "screens/UGameOptionen.h"
#include "screens/USpielEnde.h"
#include "screens/UStart.h"
#include "settings/USonstiges.h"
#include "solver/UBingo.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QMap>
#include <QSet>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <csignal>
#include <map>
#include <unistd.h>
#include <vector>

namespace netnsgame {

constexpr int kPeerLimitMs = 200000;
// The tournament's host listens on its bridge address only; the clients
// type it into the search window, since no broadcast reaches that listener.
constexpr char kHostAddress[] = "10.213.0.1";
constexpr char kTournamentName[] = "Pokal";

struct TClient {
    QString Name;
    bool ViaSearchWindow = false;
    QStringList Steps{};  // the script of each round; "-" (or none) where it is not there
    QString Exits{};      // how it leaves each round's end-of-game dialog but the last
    QString StartAfter{}; // its program starts once another machine printed this line
};

struct TRow {
    QString Name; // one word: it travels as an argument
    int Loss = 0; // percent of the datagrams each machine loses
    int Rating = 1;
    bool OwnBoard = true;
    bool Immediate = true;
    bool Bingo = false;
    bool BingoFields = false; // fields offered, a new offer when it is used up
    std::vector<TClient> Clients;
    // Every client fills the one shared board at the same time: who gets a
    // cell is chance, but every cell has one owner and the scores follow.
    bool Race = false;
    int Rounds = 1;
    QString HostExits{};     // how the host leaves each end-of-game dialog but the last
    int HostEndsRound = -1;  // the round (from 0) the host ends with "Spiel beenden"
    bool Tournament = false; // every round a stage; the host bound to its own address
    int Machines() const { return 1 + int(Clients.size()); }
};

inline QString stepsOf(const TClient &c, int round)
{
    return c.Steps.value(round, QStringLiteral("-"));
}
inline bool inRound(const TClient &c, int round)
{
    return stepsOf(c, round) != QLatin1String("-");
}
// The client quits during the round, with its logoff ("Spiel beenden" or
// the program's close).
inline bool quitsIn(const TClient &c, int round)
{
    const QString s = stepsOf(c, round);
    return s.contains(QLatin1Char('Q')) || s.contains(QLatin1Char('E'));
}
// The client's program is killed during the round, or just before its end.
inline bool killedIn(const TClient &c, int round)
{
    const QString s = stepsOf(c, round);
    return s.contains(QLatin1Char('K')) || s.contains(QLatin1Char('X'));
}
inline bool killedLateIn(const TClient &c, int round)
{
    return stepsOf(c, round).contains(QLatin1Char('X'));
}
// The client is gone from the tables before the round ends.
inline bool goneIn(const TClient &c, int round)
{
    return quitsIn(c, round) || stepsOf(c, round).contains(QLatin1Char('K'));
}
// The client leaves during the round (quits, or its program is killed).
inline bool leavesIn(const TClient &c, int round)
{
    return quitsIn(c, round) || killedIn(c, round);
}
inline bool staysIn(const TClient &c, int round)
{
    return inRound(c, round) && !leavesIn(c, round);
}
// How a machine leaves the end-of-game dialog of the round.
inline QChar exitOf(const QString &exits, int round)
{
    return round < exits.size() ? exits.at(round) : QLatin1Char('S');
}
inline int firstRound(const TClient &c)
{
    for (int r = 0; r < c.Steps.size(); ++r)
        if (inRound(c, r))
            return r;
    return 0;
}
inline bool wasKilled(const TClient &c)
{
    for (int r = 0; r < c.Steps.size(); ++r)
        if (killedIn(c, r))
            return true;
    return false;
}
// The round's finisher: the first client that stays the whole round.
inline const TClient *finisherOf(const TRow &row, int round)
{
    if (row.Race)
        return nullptr;
    for (const TClient &c : row.Clients)
        if (staysIn(c, round))
            return &c;
    return nullptr;
}
// The host and the clients in the round, as it starts or as it ends.
inline QStringList rolesAtStart(const TRow &row, int round)
{
    QStringList roles{QStringLiteral("host")};
    for (const TClient &c : row.Clients)
        if (inRound(c, round))
            roles << c.Name;
    return roles;
}
inline QStringList rolesAtEnd(const TRow &row, int round)
{
    QStringList roles{QStringLiteral("host")};
    for (const TClient &c : row.Clients)
        if (staysIn(c, round))
            roles << c.Name;
    return roles;
}

inline std::vector<TRow> rows()
{
    const TClient join{QStringLiteral("join"), false, {}, {}, {}};
    const TClient search{QStringLiteral("search"), true, {}, {}, {}};
    const QString exits = QStringLiteral("SBT");
    int kind = 0;
    // Two rounds of the same group; the kinds take turns at the exits, so
    // that the host and a client each leave by every one of them.
    auto three = [&](const QString &name, int rating, bool own, bool immediate, int bingo, const QString &joinSteps,
                     const QString &searchSteps) {
        TClient j = join, s = search;
        j.Steps = QStringList{joinSteps, joinSteps};
        s.Steps = QStringList{searchSteps, searchSteps};
        j.Exits = exits.at((kind + 1) % 3);
        s.Exits = exits.at((kind + 2) % 3);
        TRow r{name, 0, rating, own, immediate, bingo > 0, bingo == 2, {j, s}};
        r.Rounds = 2;
        r.HostExits = exits.at(kind % 3);
        ++kind;
        return r;
    };
    const std::vector<TRow> base = {
        // Rating 1: five seconds for every error.
        three(QStringLiteral("r1-own-now"), 1, true, true, false, QStringLiteral("WRWF"), QStringLiteral("RRW")),
        // Rating 2: 5, 10, 15, a right entry, then 5 again; the score floors at 0.
        three(QStringLiteral("r2-own-now"), 2, true, true, false, QStringLiteral("WF"), QStringLiteral("WWWRW")),
        // Rating 3: 10 seconds, then out.
        three(QStringLiteral("r3-own-now"), 3, true, true, false, QStringLiteral("WF"), QStringLiteral("RWW")),
        // Rating 4 on one shared board: the first error puts out; a claimed
        // cell is refused.
        three(QStringLiteral("r4-shared-now"), 4, false, true, false, QStringLiteral("CF"), QStringLiteral("RRW")),
        // Judged at the end: no penalties; a wrong full board is cleared and
        // filled again; wrong cells left count as errors.
        three(QStringLiteral("r2-own-end"), 2, true, false, false, QStringLiteral("WF"), QStringLiteral("RRRWW")),
        // Bingo (numbers, a new offer after each entry): one shared board,
        // judged at once; a digit outside the offer changes nothing.
        three(QStringLiteral("bingo-r1"), 1, false, true, 1, QStringLiteral("F"), QStringLiteral("ORWR")),
        // Bingo with fields, a new offer when the offer is used up, rating 2:
        // a cell outside the offer changes nothing.
        three(QStringLiteral("bingo-fields-r2"), 2, false, true, 2, QStringLiteral("F"), QStringLiteral("ORRWR")),
    };
    std::vector<TRow> all;
    for (const int loss : {0, 20})
        for (TRow r : base) {
            r.Loss = loss;
            r.Name += QStringLiteral("-loss%1").arg(loss);
            all.push_back(r);
        }
    // Eight machines: all find the game and log in, then play one.
    TRow eight{QStringLiteral("eight-r1-own-now-loss20"), 20, 1, true, true, false, false, {}};
    eight.Clients.push_back({QStringLiteral("join"), false, {QStringLiteral("F")}, {}, {}});
    eight.Clients.push_back({QStringLiteral("search"), true, {QStringLiteral("RW")}, {}, {}});
    for (int i = 4; i <= 8; ++i)
        eight.Clients.push_back({QStringLiteral("p%1").arg(i), i % 2 == 1, {QStringLiteral("R")}, {}, {}});
    all.push_back(eight);
    TRow race{QStringLiteral("race-shared-r1-loss20"), 20, 1, false, true, false, false, {}};
    race.Clients = {{QStringLiteral("join"), false, {QStringLiteral("F")}, {}, {}},
                    {QStringLiteral("search"), true, {QStringLiteral("F")}, {}, {}},
                    {QStringLiteral("p4"), false, {QStringLiteral("F")}, {}, {}}};
    race.Race = true;
    all.push_back(race);

    // The host ends round 1 with "Spiel beenden" once both clients made their
    // entries; they find its next game again from their start screens.
    TRow ends{QStringLiteral("leave-hostends-loss20"), 20, 2, true, true, false, false, {}};
    TClient j = join, s = search;
    j.Steps = QStringList{QStringLiteral("RW"), QStringLiteral("WRF")};
    s.Steps = QStringList{QStringLiteral("RRW"), QStringLiteral("RWW")};
    ends.Clients = {j, s};
    ends.Rounds = 2;
    ends.HostEndsRound = 0;
    all.push_back(ends);

    // A tournament of two stages; the host's listener is bound to its
    // bridge address.
    TRow cup{QStringLiteral("tournament-bound-loss0"), 0, 1, true, true, false, false, {}};
    TClient cj = search, cs = search;
    cj.Name = QStringLiteral("join");
    cj.Steps = QStringList{QStringLiteral("WRWF"), QStringLiteral("RWF")};
    cs.Steps = QStringList{QStringLiteral("RRW"), QStringLiteral("WR")};
    cj.Exits = cs.Exits = QStringLiteral("S");
    cup.Clients = {cj, cs};
    cup.Rounds = 2;
    cup.HostExits = QStringLiteral("S");
    cup.Tournament = true;
    all.push_back(cup);

    // Four machines: one client quits in the middle of round 1 (at 0 % by
    // "Spiel beenden", at 20 % by closing its program, whose logoff may be
    // lost); a newcomer, started then, joins between the rounds, takes the
    // freed number and plays round 2.
    for (const int loss : {0, 20}) {
        TRow quit{QStringLiteral("quit-newcomer-loss%1").arg(loss), loss, 2, true, true, false, false, {}};
        TClient qj = join, qs = search;
        qj.Steps = QStringList{QStringLiteral("RF"), QStringLiteral("WF")};
        qs.Steps = QStringList{QStringLiteral("RRW"), QStringLiteral("WR")};
        qj.Exits = QStringLiteral("T");
        qs.Exits = QStringLiteral("B");
        TClient quitter{QStringLiteral("q3"), loss > 0, {}, {}, {}};
        quitter.Steps = QStringList{loss > 0 ? QStringLiteral("RWQ") : QStringLiteral("RWE")};
        TClient newcomer{QStringLiteral("new"), loss == 0, {}, {}, QStringLiteral("QUIT q3")};
        newcomer.Steps = QStringList{QStringLiteral("-"), QStringLiteral("RRW")};
        quit.Clients = {qj, qs, quitter, newcomer};
        quit.Rounds = 2;
        quit.HostExits = QStringLiteral("S");
        all.push_back(quit);
    }
    // Four machines: a client's program is killed in round 1. At 20 % in the
    // middle of it: the host finds it silent, and the others finish the
    // round without it. At 0 % just before the end: it is scored with the
    // others, and the host finds it silent before the next round. Round 2
    // is played without it.
    for (const int loss : {0, 20}) {
        TRow kill{QStringLiteral("killed-late-loss0"), loss, 1, true, true, false, false, {}};
        if (loss > 0)
            kill.Name = QStringLiteral("killed-loss20");
        TClient kj = join, ks = search;
        kj.Steps = QStringList{QStringLiteral("RWF"), QStringLiteral("F")};
        ks.Steps = QStringList{QStringLiteral("RRW"), QStringLiteral("RW")};
        kj.Exits = QStringLiteral("S");
        ks.Exits = QStringLiteral("T");
        TClient victim{QStringLiteral("k3"), false, {}, {}, {}};
        victim.Steps = QStringList{loss > 0 ? QStringLiteral("RWK") : QStringLiteral("RWX")};
        kill.Clients = {kj, ks, victim};
        kill.Rounds = 2;
        kill.HostExits = QStringLiteral("B");
        all.push_back(kill);
    }
    return all;
}

inline const TRow *rowNamed(const QString &name)
{
    static const std::vector<TRow> all = rows();
    for (const TRow &r : all)
        if (r.Name == name)
            return &r;
    return nullptr;
}

// ---- what the rules give for a row's script --------------------------

struct TExpected {
    int Found = 0;
    int Errors = 0;
    int Points = 0;
    QStringList Penalties; // "seconds/errors" in order
    bool Out = false;
    int WrongSolutions = 0; // telegrams "the solution is wrong" received
    bool Left = false;      // quit during the round
};

inline int pointsFor(int rating, int found, int errors)
{
    int p = 0;
    switch (rating) {
    case 1: p = 3 * found - errors; break;
    case 2: p = 2 * found - 2 * errors; break;
    case 3: p = errors < 2 ? found - 3 * errors : 0; break;
    default: p = errors == 0 ? found : 0; break;
    }
    return std::max(p, 0);
}

// Per client name in the round; `open` is the number of cells to find.
inline std::map<QString, TExpected> expectedFor(const TRow &row, int round, int open)
{
    std::map<QString, TExpected> out;
    int othersRight = 0;
    const TClient *finisher = finisherOf(row, round);
    // The others play first; the finisher last.
    std::vector<const TClient *> order;
    for (const TClient &c : row.Clients)
        if (inRound(c, round) && &c != finisher)
            order.push_back(&c);
    if (finisher)
        order.push_back(finisher);
    for (const TClient *c : order) {
        TExpected e;
        int pen = 0;
        for (const QChar ch : stepsOf(*c, round)) {
            if (e.Out || e.Left)
                break;
            if (ch == QLatin1Char('R')) {
                ++e.Found;
                pen = 0;
            } else if (ch == QLatin1Char('W')) {
                ++e.Errors;
                if (!row.Immediate)
                    continue;
                switch (row.Rating) {
                case 1: pen = 5; break;
                case 2: pen = e.Errors == 1 ? 5 : pen + 5; break;
                case 3: pen = e.Errors == 1 ? 10 : -1; break;
                default: pen = -1; break;
                }
                e.Penalties << QStringLiteral("%1/%2").arg(pen).arg(e.Errors);
                e.Out = pen < 0;
            } else if (ch == QLatin1Char('F')) {
                if (!row.Immediate) {
                    // Everything right in the end; a wrong solution is
                    // cleared once and filled again.
                    e.WrongSolutions = e.Errors > 0 ? 1 : 0;
                    e.Found = open;
                    e.Errors = 0;
                } else {
                    e.Found = row.OwnBoard ? open : open - othersRight;
                }
            } else if (ch == QLatin1Char('Q') || ch == QLatin1Char('E') || ch == QLatin1Char('K')) {
                // Gone: every machine marks the player out ("-2").
                e.Left = true;
                e.Penalties << QStringLiteral("-2/%1").arg(e.Errors);
            } else if (ch == QLatin1Char('X')) {
                // Killed just before the round ends: nobody can tell yet,
                // and the host scores the player as any other.
                break;
            }
        }
        if (c != finisher)
            othersRight += e.Found;
        e.Points = pointsFor(row.Rating, e.Found, e.Errors);
        out[c->Name] = e;
    }
    return out;
}

// ---- what a machine shows ------------------------------------------------

// The rows of a player table as a user sees them: "slot=name" for every row
// whose name label lies inside the table's panel, with the end-of-game
// table's figures (found/errors/free/bonus/points) when asked.
inline QString shownRows(const TPlayerTableRow (&rows)[9], bool figures)
{
    QStringList out;
    for (int p = 1; p <= 8; ++p) {
        const TPlayerTableRow &row = rows[p];
        const TLabel *l = row.NameLabel;
        if (!l || l->text().isEmpty() || !l->parentWidget() || l->y() + l->height() > l->parentWidget()->height())
            continue;
        QString text = QStringLiteral("%1=%2").arg(p).arg(l->text());
        if (figures)
            for (const TLabel *v : {row.FoundLabel, row.ErrorsLabel, row.FreeLabel, row.BonusLabel, row.PointsLabel})
                text += QLatin1Char('/') + (v ? v->text() : QString());
        out << text;
    }
    return out.isEmpty() ? QStringLiteral("-") : out.join(QLatin1Char(' '));
}

// "slot=name" of every occupied slot (one with an address).
inline QString occupiedSlots()
{
    QStringList out;
    for (int p = 1; p <= 8; ++p)
        if (!Form1->Players[p].Address.isEmpty())
            out << QStringLiteral("%1=%2").arg(p).arg(Form1->Players[p].Name);
    return out.isEmpty() ? QStringLiteral("-") : out.join(QLatin1Char(' '));
}

// The results list of the challenge window: cells by "|", rows by " ; ".
inline QString resultsList()
{
    QStringList rows;
    for (int i = 0; i < FormCha->GamerView->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = FormCha->GamerView->topLevelItem(i);
        QStringList cells;
        for (int c = 0; c < 6; ++c)
            cells << item->text(c);
        rows << cells.join(QLatin1Char('|'));
    }
    return rows.isEmpty() ? QStringLiteral("-") : rows.join(QStringLiteral(" ; "));
}

// ---- one machine's part ------------------------------------------------

class TGameScript : public TLanScript {
public:
    TGameScript(const TRow &row, const QString &role) : TLanScript(role), Row(row)
    {
        for (const TClient &c : row.Clients)
            if (c.Name == role)
                Me = c;
        round = isHost() ? 0 : firstRound(Me);
        connect(NETZ, &TNETZ::TelegramDispatched, this,
                [this](const TTelegram &tel, const QString &from) { seen(tel, from); });
        FormSpielEnde->installEventFilter(this);
    }

protected:
    // Who the table held when the results came up: a newcomer whose login
    // arrives while they are open (the host may take him once its own end
    // of game is back, before a lossy client's results have been looked at)
    // belongs to the next round's table, not to this one.
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        if (watched == FormSpielEnde && e->type() == QEvent::Show)
            occupiedAtResults = occupiedSlots();
        return TLanScript::eventFilter(watched, e);
    }

private:
    enum { hOpen, hGather, hStarting, hPlaying, hResults, hToOptions, hLinger };
    enum { cOpen, cLogin, cWaitStart, cPlaying, cResults, cRejoin, cLinger };

    const TRow &Row;
    TClient Me;
    int round = 0;
    int ids = 0; // player numbers (120) received
    QString occupiedAtResults;
    int idsAtRejoin = 0;
    qint64 killedSince = -1; // when the finisher found the entries of the one to be killed judged
    bool sentEnde = false;

    // What the telegrams of the round told; a new round begins with phase 6.
    struct TRoundSeen {
        bool Ended = false;     // its end of game (114) came
        bool HostEnded = false; // the host ended it (115)
        QString FinalPoints;    // the scores as the end of game found them
        std::map<int, QStringList> Penalties;
        QSet<int> OutSlots;
        int WrongSolutions = 0;
        int Offers = 0;
        std::map<int, int> Owners; // cell -> slot, as the cell results tell it
        QStringList Logoffs;       // the host: who logged off (112)
    } rs;

    // This machine's play in the round.
    int stepAt = 0;
    bool saidDone = false;
    QSet<int> mine; // cells this machine filled (10 * y + x)
    int openAtStart = 0;
    int firstOpenX = 0, firstOpenY = 0; // the first open cell of the board as it started
    // What must come back before the next entry: the result of a cell, or
    // the penalty for the n-th error.
    int awaitCell = 0;
    int awaitErrors = 0;
    int errors = 0;
    bool clearAsked = false;

    QString R() const { return QStringLiteral("R%1.").arg(round + 1); }
    bool lastRound() const { return round + 1 >= Row.Rounds; }
    QString steps() const { return stepsOf(Me, round); }
    bool isFinisher() const
    {
        const TClient *f = finisherOf(Row, round);
        return f && f->Name == Role;
    }
    QString typedHost() const { return Row.Tournament ? QString::fromLatin1(kHostAddress) : QString(); }

    void seen(const TTelegram &tel, const QString &from)
    {
        if (tel.Aktion == akPlayerId)
            ++ids;
        // A logoff from the player himself, while he is still in the table.
        if (tel.Aktion == akLogoff && isHost() && tel.Gid >= 2 && tel.Gid <= 8 && Form1->Players[tel.Gid].Active &&
            Form1->Players[tel.Gid].Address == from)
            rs.Logoffs << Form1->Players[tel.Gid].Name;
        if (tel.Aktion == akStartPhase && tel.a == 6)
            rs = TRoundSeen();
        // The end of game is the game's last telegram; what follows (the
        // logoffs of players who already left) is not part of it.
        if (rs.Ended)
            return;
        switch (tel.Aktion) {
        case akEndOfGame:
            // Every result of the game is in by now; what the machine
            // does afterwards (the host leaving clears the table) is not
            // part of it.
            rs.Ended = true;
            rs.FinalPoints = pointsText();
            break;
        case akGameEnded:
            rs.HostEnded = true;
            break;
        case akCellResult:
            if (awaitCell == 10 * tel.y + tel.x)
                awaitCell = 0;
            if (tel.a == 0 && tel.Gid >= 1 && tel.Gid <= 8)
                rs.Owners[10 * tel.y + tel.x] = tel.Gid;
            break;
        case akPenalty:
            if (tel.Gid >= 1 && tel.Gid <= 8)
                rs.Penalties[tel.Gid] << QStringLiteral("%1/%2").arg(tel.x).arg(tel.y);
            if (tel.Gid == NETZ->MyPlayerNo && tel.y == awaitErrors)
                awaitErrors = 0;
            break;
        case akGameOver:
            rs.OutSlots.insert(tel.Gid);
            break;
        case akWrongSolution:
            ++rs.WrongSolutions;
            clearAsked = true;
            break;
        case akBingo:
            ++rs.Offers;
            break;
        default:
            break;
        }
    }

    void step() override
    {
        if (clock.elapsed() > kPeerLimitMs - 5000) {
            giveUp(QStringLiteral("round %1 phase %2 step %3 table %4 no %5 running %6 awaiting %7/%8")
                       .arg(round + 1)
                       .arg(phase)
                       .arg(stepAt)
                       .arg(tableText())
                       .arg(NETZ->MyPlayerNo)
                       .arg(Form1->GameRunning)
                       .arg(awaitCell)
                       .arg(awaitErrors));
            return;
        }
        if (isHost())
            hostStep();
        else
            clientStep();
    }

    void go(int p)
    {
        phase = p;
        phaseAt = clock.elapsed();
        tries = 0;
    }

    // A line in the chat, as the user types it.
    void chat(const QString &text)
    {
        Form1->Edit1->setText(text);
        Form1->Button2Click();
    }
    bool chatHas(const QString &name, const QString &text) const
    {
        return Form1->ChatBox->Items().contains(name + QLatin1Char(':') + text);
    }
    QString roundWord(const char *word) const
    {
        return QStringLiteral("%1 %2").arg(QLatin1String(word)).arg(round + 1);
    }

    // No active slot holds the name any more.
    static bool gone(const QString &name)
    {
        for (int p = 1; p <= 8; ++p)
            if (Form1->Players[p].Active && Form1->Players[p].Name == name)
                return false;
        return true;
    }
    static QStringList activeNames()
    {
        QStringList names;
        for (int p = 1; p <= 8; ++p)
            if (Form1->Players[p].Active)
                names << Form1->Players[p].Name;
        names.sort();
        return names;
    }

    // The options as a user clicks them in the open options window.
    void chooseOptions()
    {
        TLabel *ratings[] = {FormGO->BTC64, FormGO->BTC65, FormGO->BTC66, FormGO->BTC67};
        if (Row.Bingo) {
            FormGO->ButtonClick(FormGO->BTC_Bingo);
            (Row.BingoFields ? FormGO->rb_Felder : FormGO->rb_Zahlen)->click();
            (Row.BingoFields ? FormGO->rb_Bingo_leer : FormGO->rb_Bingo_voll)->click();
        } else {
            FormGO->ButtonClick(FormGO->BTC35);
            FormGO->ButtonClick(Row.OwnBoard ? FormGO->BTC110 : FormGO->BTC111);
            FormGO->ButtonClick(Row.Immediate ? FormGO->BTC112 : FormGO->BTC113);
        }
        FormGO->ButtonClick(ratings[Row.Rating - 1]);
    }

    // Leaves the end-of-game dialog the user's way.
    void leaveResults(QChar how)
    {
        say(QStringLiteral("%1EXIT %2 %3").arg(R(), Role, QString(how)));
        if (how == QLatin1Char('B')) {
            FormSpielEnde->BTC_BrettClick();
        } else if (how == QLatin1Char('T') && FormSpielEnde->windowHandle()) {
            // What the window manager's close delivers: a close event to the
            // native window, not a close called by the program.
            QCloseEvent close;
            QCoreApplication::sendEvent(FormSpielEnde->windowHandle(), &close);
        } else {
            FormSpielEnde->BTC_closeClick();
        }
    }

    // ---- the host ----

    // The round's players are all here (those who left are gone), and after
    // the first round each has said it is ready again.
    bool groupHere() const
    {
        QStringList want{Role};
        for (const TClient &c : Row.Clients)
            if (inRound(c, round)) {
                want << c.Name;
                if (round > 0 && !chatHas(c.Name, roundWord("bereit")))
                    return false;
            }
        // A player whose program was killed may still be listed: the host
        // user starts anyway, and the start must not wait for it.
        for (const QString &name : activeNames())
            if (!want.contains(name) && !killedBefore(name))
                return false;
        for (const QString &name : want)
            if (!activeNames().contains(name))
                return false;
        return true;
    }

    // The named client's program was killed in an earlier round.
    bool killedBefore(const QString &name) const
    {
        for (const TClient &c : Row.Clients)
            if (c.Name == name)
                for (int r = 0; r < round; ++r)
                    if (killedIn(c, r))
                        return true;
        return false;
    }

    void hostStep()
    {
        switch (phase) {
        case hOpen:
            openMultiPlayer();
            FormStart->BTC_suchenClick(FormStart->BTC_eroeffnen);
            if (Row.Tournament)
                FormStart->BTC_suchenClick(FormStart->BTC_Turnier);
            FormStart->BTC_weiterClick();
            if (Row.Tournament) {
                // A new tournament, with no password.
                FormCha->ChallengeName->setText(QString::fromLatin1(kTournamentName));
                FormCha->neu_CClick();
            } else {
                chooseOptions();
            }
            go(hGather);
            break;
        case hGather:
            if (NETZ->MyPlayerNo == 1 && groupHere() && deliveredToPresent() && inPhase() > 300) {
                if (Row.Tournament) {
                    // The next stage, made from the options chosen now.
                    if (!FormCha->isVisible() || !FormCha->bt_start->isEnabled())
                        break;
                    FormCha->start_CClick();
                    if (!FormGO->isVisible())
                        break;
                    chooseOptions();
                }
                say(QStringLiteral("%1OPTIONS %2 rating %3 own %4 now %5 bingo %6 fields %7 refill-when-empty %8")
                        .arg(R(), Role)
                        .arg(FormGO->GetRating())
                        .arg(FormGO->IsOwnBoard())
                        .arg(FormGO->IsEvaluationImmediate())
                        .arg(FormGO->GetGameType() == 4)
                        .arg(FormGO->rb_Felder->isChecked())
                        .arg(FormGO->rb_Bingo_leer->isChecked()));
                FormGO->BTC_StartenClick();
                go(hStarting);
            }
            break;
        case hStarting:
            if (Form1->GameRunning) {
                started();
                go(hPlaying);
            }
            break;
        case hPlaying:
            if (round == Row.HostEndsRound) {
                // Everybody made the round's entries: the host ends it.
                if (Form1->GameRunning && everyoneDone()) {
                    Form1->BTC_Spiel_EndeClick();
                    say(QStringLiteral("%1ENDED %2 running %3 start %4 results %5")
                            .arg(R(), Role)
                            .arg(Form1->GameRunning)
                            .arg(FormStart->isVisible())
                            .arg(FormSpielEnde->isVisible()));
                    ++round;
                    go(hToOptions);
                }
                break;
            }
            if (gameOverSeen()) {
                report();
                go(hResults);
                break;
            }
            if (Form1->GameRunning && leaverPresent() && every(4000))
                chat(roundWord("läuft"));
            break;
        case hResults:
            // A look at the results first, as a user takes.
            if (inPhase() < 700)
                break;
            if (lastRound()) {
                if (Row.Tournament)
                    leaveResults(QLatin1Char('S'));
                go(hLinger);
                break;
            }
            leaveResults(exitOf(Row.HostExits, round));
            ++round;
            go(hToOptions);
            break;
        case hToOptions:
            // Back to where the next game is started: the tournament window,
            // or the game options (from the start screen, or by the menu
            // button over the board).
            if (Row.Tournament ? FormCha->isVisible() : FormGO->isVisible()) {
                go(hGather);
            } else if (every(400)) {
                if (FormStart->isVisible()) {
                    FormStart->BTC_LANClick();
                    FormStart->BTC_weiterClick();
                } else {
                    Form1->BTC_MenueClick();
                }
            }
            break;
        default:
            // Until every result is delivered to those still here (at
            // 20 % loss a queue may be many seconds behind); a client that
            // left (its logoff frees the slot) cannot hold the host.
            if (Row.Tournament && !sentEnde && deliveredToPresent() && inPhase() > 500) {
                tournamentReport();
                // The clients' lists came before this line.
                chat(QStringLiteral("ende"));
                sentEnde = true;
                go(hLinger);
            } else if ((!Row.Tournament || sentEnde) &&
                       ((deliveredToPresent() && inPhase() > 500) || inPhase() > 60000)) {
                finish(0);
            }
            break;
        }
    }

    // Someone who leaves the table during this round is still in it.
    bool leaverPresent() const
    {
        for (const TClient &c : Row.Clients)
            if (goneIn(c, round) && !gone(c.Name))
                return true;
        return false;
    }

    bool deliveredToPresent() const
    {
        for (int p = 1; p <= 8; ++p)
            if (NETZ->QueuedCount(p) > 0 && Form1->Players[p].Active)
                return false;
        return true;
    }

    // Every client in the round said it made its entries.
    bool everyoneDone() const
    {
        for (const TClient &c : Row.Clients)
            if (staysIn(c, round) && !chatHas(c.Name, roundWord("fertig")))
                return false;
        return true;
    }

    void started()
    {
        openAtStart = 0;
        QString digits;
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x) {
                const TGridEntry &c = Form1->Boards[0][x][y];
                // Every cell that is not given is to be found; on the host a
                // racing client may have claimed one already.
                openAtStart += c.State != -1 ? 1 : 0;
                digits += QString::number(c.Value);
            }
        stepAt = 0;
        saidDone = false;
        killedSince = -1;
        sawRunning = false;
        mine.clear();
        firstOpenX = firstOpenY = 0;
        awaitCell = awaitErrors = errors = 0;
        clearAsked = false;
        say(QStringLiteral("%1TABLE %2 %3").arg(R(), Role, tableText()));
        say(QStringLiteral("%1NO %2 %3").arg(R(), Role).arg(NETZ->MyPlayerNo));
        say(QStringLiteral("%1BOARD %2 %3 %4").arg(R(), Role).arg(openAtStart).arg(digits));
        say(QStringLiteral("%1ROWS %2 %3").arg(R(), Role, shownRows(Form1->PlayerRows, false)));
        say(QStringLiteral("%1OCCUPIED %2 %3").arg(R(), Role, occupiedSlots()));
    }

    // "name=points/found/errors" of the players still in the game, by name:
    // what the tables show is compared by slot (ROWS, ENDROWS).
    QString pointsText() const
    {
        QStringList points;
        for (int p = 1; p <= 8; ++p) {
            const TPlayerRecord &r = Form1->Players[p];
            if (r.Active)
                points << QStringLiteral("%1=%2/%3/%4").arg(r.Name).arg(r.Points).arg(r.Found).arg(r.Errors);
        }
        points.sort();
        return points.join(' ');
    }

    void report()
    {
        say(QStringLiteral("%1POINTS %2 %3").arg(R(), Role, rs.FinalPoints.isEmpty() ? pointsText() : rs.FinalPoints));
        QStringList pens;
        for (const auto &[slot, list] : rs.Penalties)
            pens << QStringLiteral("%1=%2").arg(slot).arg(list.join(','));
        say(QStringLiteral("%1PENALTIES %2 %3").arg(R(), Role, pens.isEmpty() ? QStringLiteral("-") : pens.join(' ')));
        QList<int> out = rs.OutSlots.values();
        std::sort(out.begin(), out.end());
        QStringList outText;
        for (int s : out)
            outText << QString::number(s);
        say(QStringLiteral("%1OUT %2 %3").arg(R(), Role, outText.isEmpty() ? QStringLiteral("-") : outText.join(',')));
        say(QStringLiteral("%1OFFERS %2 %3").arg(R(), Role).arg(rs.Offers));
        std::map<int, int> owned;
        for (const auto &[cell, slot] : rs.Owners)
            ++owned[slot];
        QStringList ownedText;
        for (const auto &[slot, n] : owned)
            ownedText << QStringLiteral("%1=%2").arg(slot).arg(n);
        say(QStringLiteral("%1OWNERS %2 %3")
                .arg(R(), Role, ownedText.isEmpty() ? QStringLiteral("-") : ownedText.join(' ')));
        say(QStringLiteral("%1WRONGSOLUTION %2 %3").arg(R(), Role).arg(rs.WrongSolutions));
        say(QStringLiteral("%1ENDROWS %2 %3").arg(R(), Role, shownRows(Form1->EndPlayerRows, true)));
        say(QStringLiteral("%1ENDOCCUPIED %2 %3")
                .arg(R(), Role, occupiedAtResults.isEmpty() ? occupiedSlots() : occupiedAtResults));
        occupiedAtResults.clear();
        if (isHost())
            say(QStringLiteral("%1LOGOFFS %2 %3")
                    .arg(R(), Role, rs.Logoffs.isEmpty() ? QStringLiteral("-") : rs.Logoffs.join(' ')));
    }

    // The host's tournament file and the results list of its window.
    void tournamentReport()
    {
        TIniFile ini(ChallengeFileName);
        ini.Load();
        QStringList lines;
        for (const QByteArray &line : ini.Lines())
            lines << QString::fromLatin1(line);
        say(QStringLiteral("TFILE %1 %2").arg(Role, lines.join(' ')));
        say(QStringLiteral("TLIST %1 %2").arg(Role, resultsList()));
    }

    // ---- a client ----
    void clientStep()
    {
        switch (phase) {
        case cOpen:
            openMultiPlayer();
            FormStart->BTC_suchenClick(FormStart->BTC_suchen);
            if (Me.ViaSearchWindow)
                FormStart->BTC_suchenClick(FormStart->BTC_Beitreten);
            FormStart->BTC_weiterClick();
            go(cLogin);
            break;
        case cLogin: // logged in, with a number
            if (NETZ->MyPlayerNo >= 2 && Form1->CountOnlinePlayers() >= 2) {
                say(QStringLiteral("IN %1 %2").arg(Role).arg(NETZ->MyPlayerNo));
                // A newcomer is ready for its first round at once.
                if (round > 0)
                    chat(roundWord("bereit"));
                go(cWaitStart);
                break;
            }
            SearchAgainTurn(
                Me.ViaSearchWindow, [this](int ms) { return every(ms); }, typedHost());
            break;
        case cWaitStart:
            if (Form1->GameRunning) {
                started();
                go(cPlaying);
            }
            break;
        case cPlaying:
            if (rs.HostEnded && !Form1->GameRunning) {
                say(QStringLiteral("%1ENDED %2 start %3 results %4 notice %5")
                        .arg(R(), Role)
                        .arg(FormStart->isVisible())
                        .arg(FormSpielEnde->isVisible())
                        .arg(FormMeld->MeldTXT->text()));
                ++round;
                idsAtRejoin = ids;
                go(cRejoin);
                break;
            }
            if (gameOverSeen()) {
                report();
                go(cResults);
                break;
            }
            play();
            break;
        case cResults:
            if (inPhase() < 700)
                break;
            if (lastRound()) {
                if (Row.Tournament)
                    leaveResults(QLatin1Char('S'));
                go(cLinger);
                break;
            }
            leaveResults(exitOf(Me.Exits, round));
            ++round;
            chat(roundWord("bereit"));
            go(cWaitStart);
            break;
        case cRejoin:
            rejoinTurn();
            break;
        default:
            // Acknowledge what the host may still resend, then leave; in a
            // tournament the results list, once the host's last one is in.
            if (Row.Tournament) {
                if (chatHas(QStringLiteral("host"), QStringLiteral("ende")) && !sentEnde) {
                    say(QStringLiteral("TLIST %1 %2").arg(Role, resultsList()));
                    sentEnde = true;
                    go(cLinger);
                }
                if (!sentEnde)
                    break;
            }
            if (inPhase() > 2000)
                finish(0);
            break;
        }
    }

    // The host ended the game: back at the start screen, the user looks for
    // the host's next game as at first, until the host answers with a
    // player number again.
    void rejoinTurn()
    {
        if (ids > idsAtRejoin && !FormStart->isVisible() && !FormSucheSpiele->isVisible()) {
            say(QStringLiteral("BACK %1 %2").arg(Role).arg(NETZ->MyPlayerNo));
            chat(roundWord("bereit"));
            go(cWaitStart);
        } else if (FormStart->isVisible()) {
            if (!FormStart->Warte->isActive() && every(1500)) {
                FormStart->BTC_LANClick();
                FormStart->BTC_suchenClick(FormStart->BTC_suchen);
                if (Me.ViaSearchWindow)
                    FormStart->BTC_suchenClick(FormStart->BTC_Beitreten);
                FormStart->BTC_weiterClick();
            }
        } else if (FormSucheSpiele->isVisible()) {
            SearchAgainTurn(
                true, [this](int ms) { return every(ms); }, typedHost());
        } else if (every(3000)) {
            // The login went unanswered: look again.
            FormStart->show();
        }
    }

    // The others in the round have made their entries, and those who left
    // are gone from this machine's table.
    bool othersDone()
    {
        for (const TClient &c : Row.Clients) {
            if (c.Name == Role || !inRound(c, round))
                continue;
            const QString script = stepsOf(c, round);
            if (killedLateIn(c, round)) {
                if (!entriesJudged(c.Name, script))
                    return false;
            } else if (goneIn(c, round) ? !gone(c.Name) : !chatHas(c.Name, roundWord("fertig"))) {
                return false;
            }
        }
        // The program to be killed ends a moment after its last entry.
        if (killedSince < 0)
            killedSince = clock.elapsed();
        return clock.elapsed() - killedSince > 1000 || !killsLateIn(round);
    }
    bool killsLateIn(int r) const
    {
        for (const TClient &c : Row.Clients)
            if (killedLateIn(c, r))
                return true;
        return false;
    }
    // This machine's table counts as many found and wrong entries of the
    // named player as its script makes before it is killed.
    static bool entriesJudged(const QString &name, const QString &script)
    {
        const int made = script.left(script.indexOf(QLatin1Char('X'))).size();
        for (int p = 1; p <= 8; ++p)
            if (Form1->Players[p].Active && Form1->Players[p].Name == name)
                return Form1->Players[p].Found + Form1->Players[p].Errors == made;
        return false;
    }

    // Leaves the round for good: the program is closed as a user closes
    // it, or killed.
    void leave(QChar how)
    {
        if (how == QLatin1Char('K') || how == QLatin1Char('X')) {
            say(QStringLiteral("KILLED %1").arg(Role));
            ::kill(::getpid(), SIGKILL);
            return;
        }
        if (how == QLatin1Char('E')) {
            // "Spiel beenden": out of the host's game, back at the start
            // screen; a moment later the user closes the program.
            Form1->BTC_Spiel_EndeClick();
            say(QStringLiteral("%1LEFT %2 start %3 no %4 online %5")
                    .arg(R(), Role)
                    .arg(FormStart->isVisible())
                    .arg(NETZ->MyPlayerNo)
                    .arg(Form1->CountOnlinePlayers()));
        }
        say(QStringLiteral("QUIT %1").arg(Role));
        say(QStringLiteral("END %1 rc=0").arg(Role));
        Rc = 0;
        timer.stop();
        if (how == QLatin1Char('E'))
            QTimer::singleShot(500, Form1, [] { Form1->close(); });
        else
            Form1->close();
    }

    // ---- choosing cells ----
    bool claimedByOther(int x, int y) const
    {
        if (Row.OwnBoard)
            return false;
        for (int g = 1; g <= 8; ++g)
            if (g != NETZ->MyPlayerNo && Form1->Boards[g][x][y].State == g)
                return true;
        return false;
    }
    bool isFree(int x, int y) const
    {
        return Form1->Boards[0][x][y].State == 0 && !mine.contains(10 * y + x) && !claimedByOther(x, y);
    }
    // The first free cell (rows outer) whose solution is, or is not, digit.
    bool firstFree(int &cx, int &cy, int digit = 0, bool equal = true) const
    {
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x) {
                if (!isFree(x, y))
                    continue;
                if (digit != 0 && (Form1->Boards[0][x][y].Value == digit) != equal)
                    continue;
                cx = x;
                cy = y;
                return true;
            }
        return false;
    }
    QString offer() const { return FormBingo->BingoList.OfferValues; }
    bool offersFields() const { return !FormBingo->DrawNumbers; }
    bool isOffered(int x, int y) const
    {
        const TBingoList &l = FormBingo->BingoList;
        for (int i = 0; i < l.OfferX.size(); ++i)
            if (l.OfferX.mid(i, 1).toInt() == x && l.OfferY.mid(i, 1).toInt() == y)
                return true;
        return false;
    }
    // An offered item whose cell is still free.
    bool offeredCell(int &cx, int &cy, int &digit) const
    {
        const TBingoList &l = FormBingo->BingoList;
        for (int i = 0; i < l.OfferValues.size(); ++i) {
            const int v = l.OfferValues.mid(i, 1).toInt();
            const int x = l.OfferX.mid(i, 1).toInt();
            const int y = l.OfferY.mid(i, 1).toInt();
            if (x >= 1 && x <= 9 && y >= 1 && y <= 9 && isFree(x, y) && Form1->Boards[0][x][y].Value == v) {
                cx = x, cy = y, digit = v;
                return true;
            }
        }
        // A number offer can be played in any cell that wants it.
        if (offersFields())
            return false;
        for (const QChar ch : l.OfferValues)
            if (ch.isDigit() && firstFree(cx, cy, ch.digitValue())) {
                digit = ch.digitValue();
                return true;
            }
        return false;
    }

    void enter(int x, int y, int digit, bool keep)
    {
        if (keep)
            mine.insert(10 * y + x);
        NETZ->EnterNumber(x, y, digit);
    }

    // One entry of the script; false while it cannot be made yet.
    bool act(QChar what)
    {
        int x = 0, y = 0, digit = 0;
        if (what == QLatin1Char('R') || what == QLatin1Char('F')) {
            if (Row.Bingo) {
                if (!offeredCell(x, y, digit))
                    return false;
            } else if (firstFree(x, y)) {
                digit = Form1->Boards[0][x][y].Value;
            } else {
                return false;
            }
            awaitCell = 10 * y + x;
            enter(x, y, digit, true);
        } else if (what == QLatin1Char('W')) {
            if (Row.Bingo && offersFields()) {
                // An offered cell, with a digit it does not want.
                if (!offeredCell(x, y, digit))
                    return false;
                digit = digit % 9 + 1;
            } else if (Row.Bingo) {
                if (offer().isEmpty())
                    return false;
                digit = offer().left(1).toInt();
                if (!firstFree(x, y, digit, false))
                    return false;
            } else if (firstFree(x, y)) {
                digit = Form1->Boards[0][x][y].Value % 9 + 1;
            } else {
                return false;
            }
            ++errors;
            // At once: the penalty telegram answers it; at the end: the
            // cell's result, and the cell stays filled.
            if (Row.Immediate)
                awaitErrors = errors;
            else
                awaitCell = 10 * y + x;
            enter(x, y, digit, !Row.Immediate);
        } else if (what == QLatin1Char('O')) {
            // A digit outside the offer, where it would be right; with
            // fields, the right digit in a cell that is not offered.
            if (offer().isEmpty())
                return false;
            if (offersFields()) {
                for (int cy = 9; cy >= 1; --cy)
                    for (int cx = 9; cx >= 1; --cx)
                        if (isFree(cx, cy) && !isOffered(cx, cy))
                            x = cx, y = cy;
                digit = x > 0 ? Form1->Boards[0][x][y].Value : 0;
            }
            for (int d = 1; d <= 9 && digit == 0 && !offersFields(); ++d)
                if (!offer().contains(QString::number(d)) && firstFree(x, y, d))
                    digit = d;
            if (digit == 0)
                return false;
            enter(x, y, digit, false);
        } else if (what == QLatin1Char('C')) {
            // The first open cell of the board as it started.
            x = firstOpenX;
            y = firstOpenY;
            if (x == 0)
                return false;
            awaitCell = 10 * y + x;
            enter(x, y, Form1->Boards[0][x][y].Value, true);
        }
        return true;
    }
    void play()
    {
        if (!Form1->GameRunning || awaitCell != 0 || awaitErrors != 0)
            return;
        if (firstOpenX == 0)
            for (int y = 9; y >= 1; --y)
                for (int x = 9; x >= 1; --x)
                    if (Form1->Boards[0][x][y].State == 0)
                        firstOpenX = x, firstOpenY = y;
        if (Row.Bingo && offer().isEmpty())
            return; // the first offer comes right after the start
        if (isFinisher() && !othersDone())
            return;
        if (clearAsked) {
            // "Die Lösung ist falsch ! Alle Felder löschen ?" - "Ja".
            clearAsked = false;
            FormMeld->BT_JaClick();
            mine.clear();
            return;
        }
        const QString script = steps();
        if (stepAt < script.size()) {
            const QChar what = script.at(stepAt);
            if (what == QLatin1Char('F')) {
                act(what); // until the game is over
                return;
            }
            if (what == QLatin1Char('Q') || what == QLatin1Char('E') || what == QLatin1Char('K') ||
                what == QLatin1Char('X')) {
                // What it entered is judged and acknowledged by now.
                if (queuesEmpty())
                    leave(what);
                return;
            }
            if (act(what))
                ++stepAt;
            return;
        }
        if (!saidDone && queuesEmpty()) {
            saidDone = true;
            chat(roundWord("fertig"));
        }
    }
};

inline int runPeer(const QString &rowName, const QString &role)
{
    const TRow *row = rowNamed(rowName);
    if (!row)
        return 3;
    return RunPeerPart(role, [&] { return std::make_unique<TGameScript>(*row, role); });
}

// In the caller's namespace, under netns_harness.sh: one peer per machine,
// a later one when the line it waits for appears.
inline int orchestrate(const QString &rowName)
{
    const TRow *row = rowNamed(rowName);
    if (!row)
        return 2;
    QStringList roles{QStringLiteral("host")};
    QStringList killed;
    for (const TClient &c : row->Clients) {
        roles << c.Name;
        if (wasKilled(c))
            killed << c.Name;
    }
    const auto runs = lanpeer::runPeers(
        row->Machines(),
        [&](int i) {
            lanpeer::TPeerStart start;
            start.Args = QStringList{QStringLiteral("--game-peer"), rowName, roles.at(i - 1)};
            if (i == 1 && row->Tournament)
                start.Env << QStringLiteral("SUDOKU_BIND_ADDRESS=") + qEnvironmentVariable("NETNS_ADDR_1");
            if (i > 1)
                start.After = row->Clients[size_t(i - 2)].StartAfter;
            return start;
        },
        row->Loss, kPeerLimitMs);
    return ReportPeerRuns(roles, runs, killed);
}

// ---- checking a row's output ----------------------------------------------

// The value every machine of `among` printed after "KEY role "; what differs
// goes to bad.
inline QString sameOn(const QString &out, const QString &key, const QStringList &among, QStringList &bad)
{
    const auto m = linesOf(out, key);
    QString host = m.value(QStringLiteral("host"));
    int found = 0;
    for (const QString &r : among)
        if (m.contains(r))
            ++found;
    if (found != among.size()) {
        bad << QStringLiteral("%1: %2 of %3 machines").arg(key).arg(found).arg(among.size());
        return QString();
    }
    for (const QString &r : among)
        if (m.value(r) != host)
            bad << QStringLiteral("%1: %2 saw \"%3\", the host \"%4\"").arg(key, r, m.value(r), host);
    return host;
}

// "slot=name" of a rows line whose parts may carry figures after the name.
inline QString namesOf(const QString &rows)
{
    QStringList out;
    for (const QString &part : rows.split(' '))
        out << part.section('/', 0, 0);
    return out.join(' ');
}

inline void compareOptions(const TRow &row, const QString &got, const QString &what, QStringList &bad)
{
    const QString want = QStringLiteral("rating %1 own %2 now %3 bingo %4 fields %5 refill-when-empty %5")
                             .arg(row.Rating)
                             .arg(row.OwnBoard)
                             .arg(row.Immediate)
                             .arg(row.Bingo)
                             .arg(row.BingoFields);
    if (got != want)
        bad << QStringLiteral("%1: the host chose \"%2\", the row wants \"%3\"").arg(what, got, want);
}

inline void verifyRound(const TRow &row, int round, const QString &out, QStringList &bad)
{
    const QString R = QStringLiteral("R%1.").arg(round + 1);
    const QStringList atStart = rolesAtStart(row, round);
    const QStringList atEnd = rolesAtEnd(row, round);
    const int before = bad.size();
    auto key = [&](const char *k) { return R + QLatin1String(k); };
    const QString table = sameOn(out, key("TABLE"), atStart, bad);
    const QString board = sameOn(out, key("BOARD"), atStart, bad);
    sameOn(out, key("ROWS"), atStart, bad);
    // Every occupied row is in sight, in the player table and, at the end,
    // in the end-of-game table.
    const auto rowsSeen = linesOf(out, key("ROWS"));
    const auto occupied = linesOf(out, key("OCCUPIED"));
    for (const QString &r : atStart)
        if (rowsSeen.value(r) != occupied.value(r))
            bad << QStringLiteral("%1: %2 shows the player rows \"%3\" of \"%4\"")
                       .arg(key("ROWS"), r, rowsSeen.value(r), occupied.value(r));

    // The rows shown as the round starts are its players': nobody who left
    // before, nobody missing.
    for (const QString &r : atStart) {
        QStringList names;
        for (const QString &part : rowsSeen.value(r).split(' '))
            names << part.section('=', 1);
        for (const QString &name : atStart)
            if (!names.contains(name))
                bad << QStringLiteral("%1: %2 shows no row of %3: %4").arg(key("ROWS"), r, name, rowsSeen.value(r));
        for (const QString &name : names)
            if (!atStart.contains(name))
                bad << QStringLiteral("%1: %2 shows a row of %3, who is not in the round: %4")
                           .arg(key("ROWS"), r, name, rowsSeen.value(r));
    }
    // Slot of each name, from the host's table. The first round's players
    // hold slots 1, 2, ... with no gap; later, who stays keeps his slot (his
    // machine knows the number), one who left took his slot with him when
    // his round ended, and newcomers take the lowest slots free.
    auto slotsIn = [](const QString &t) {
        QMap<QString, int> m;
        for (const QString &part : t.split(' ', Qt::SkipEmptyParts))
            m.insert(part.section('=', 1).section('@', 0, 0), part.section('=', 0, 0).toInt());
        return m;
    };
    const QMap<QString, int> slotOf = slotsIn(table);
    auto joined = [](QList<int> numbers) {
        std::sort(numbers.begin(), numbers.end());
        QStringList t;
        for (int v : numbers)
            t << QString::number(v);
        return t.join(',');
    };
    if (round == 0) {
        QList<int> want;
        for (int p = 1; p <= slotOf.size(); ++p)
            want << p;
        if (joined(slotOf.values()) != joined(want))
            bad << QStringLiteral("%1: slots %2, not %3: %4")
                       .arg(key("TABLE"), joined(slotOf.values()), joined(want), table);
    }
    if (round > 0) {
        const QMap<QString, int> before =
            slotsIn(linesOf(out, QStringLiteral("R%1.TABLE").arg(round)).value(QStringLiteral("host")));
        QSet<int> taken;
        QList<int> newcomers;
        for (auto it = slotOf.begin(); it != slotOf.end(); ++it) {
            if (!before.contains(it.key())) {
                newcomers << it.value();
            } else {
                taken.insert(it.value());
                if (before.value(it.key()) != it.value())
                    bad << QStringLiteral("%1: %2 moved from slot %3 to %4")
                               .arg(key("TABLE"), it.key())
                               .arg(before.value(it.key()))
                               .arg(it.value());
            }
        }
        QList<int> lowestFree;
        for (int p = 1; p <= 8 && lowestFree.size() < newcomers.size(); ++p)
            if (!taken.contains(p))
                lowestFree << p;
        if (joined(newcomers) != joined(lowestFree))
            bad << QStringLiteral("%1: newcomers in slots %2, the lowest free are %3: %4")
                       .arg(key("TABLE"), joined(newcomers), joined(lowestFree), table);
    }
    if (slotOf.value(QStringLiteral("host")) != 1 || slotOf.size() != atStart.size())
        bad << QStringLiteral("%1: %2").arg(key("TABLE"), table);
    if (!table.startsWith(QLatin1String("1=host@10.213.0.1 ")))
        bad << QStringLiteral("%1 does not start with the host's own address: %2").arg(key("TABLE"), table);
    const auto numbers = linesOf(out, key("NO"));
    for (const QString &r : atStart)
        if (numbers.value(r).toInt() != slotOf.value(r))
            bad << QStringLiteral("%1: %2 has number %3, its slot is %4")
                       .arg(key("NO"), r, numbers.value(r))
                       .arg(slotOf.value(r));
    const int open = board.section(' ', 0, 0).toInt();
    if (open <= 0)
        bad << QStringLiteral("%1: no open cell: %2").arg(key("BOARD"), board);
    compareOptions(row, linesOf(out, key("OPTIONS")).value(QStringLiteral("host")), key("OPTIONS"), bad);

    if (round == row.HostEndsRound) {
        // No end of game: every client is back at its start screen with the
        // host's notice, the host too.
        const auto ended = linesOf(out, key("ENDED"));
        for (const QString &r : atStart) {
            const QString want =
                r == QLatin1String("host")
                    ? QStringLiteral("running 0 start 1 results 0")
                    : QStringLiteral("start 1 results 0 notice Spieler 1 (Server) hat das Spiel beendet.");
            if (ended.value(r) != want)
                bad << QStringLiteral("%1: %2 saw \"%3\", not \"%4\"").arg(key("ENDED"), r, ended.value(r), want);
        }
        return;
    }

    const QString points = sameOn(out, key("POINTS"), atEnd, bad);
    const QString penalties = sameOn(out, key("PENALTIES"), atEnd, bad);
    const QString outs = sameOn(out, key("OUT"), atEnd, bad);
    const QString offers = sameOn(out, key("OFFERS"), atEnd, bad);
    const QString owners = row.OwnBoard ? QString() : sameOn(out, key("OWNERS"), atEnd, bad);
    const QString endTable = sameOn(out, key("ENDROWS"), atEnd, bad);
    const auto endRows = linesOf(out, key("ENDROWS"));
    const auto endOccupied = linesOf(out, key("ENDOCCUPIED"));
    for (const QString &r : atEnd)
        if (namesOf(endRows.value(r)) != endOccupied.value(r))
            bad << QStringLiteral("%1: %2 shows the end-of-game rows \"%3\" of \"%4\"")
                       .arg(key("ENDROWS"), r, endRows.value(r), endOccupied.value(r));
    // The end-of-game table holds the players the end of game found in the
    // game, one row each: who quit during the round is gone from it.
    {
        QStringList inGame, shown;
        for (const QString &part : points.split(' '))
            inGame << part.section('=', 0, 0);
        for (const QString &part : namesOf(endTable).split(' '))
            shown << part.section('=', 1);
        inGame.sort();
        shown.sort();
        if (inGame != shown)
            bad << QStringLiteral("%1: the rows of \"%2\", the game ended with \"%3\"")
                       .arg(key("ENDROWS"), shown.join(' '), inGame.join(' '));
    }
    // Who quits logs off: on a network that loses nothing the host has his
    // logoff; a killed program sends none.
    const QStringList logoffs = linesOf(out, key("LOGOFFS")).value(QStringLiteral("host")).split(' ');
    const auto left = linesOf(out, key("LEFT"));
    for (const TClient &c : row.Clients) {
        if (quitsIn(c, round) && row.Loss == 0 && !logoffs.contains(c.Name))
            bad << QStringLiteral("%1: no logoff of %2 reached the host").arg(key("LOGOFFS"), c.Name);
        if (killedIn(c, round) && logoffs.contains(c.Name))
            bad << QStringLiteral("%1: a logoff of the killed %2").arg(key("LOGOFFS"), c.Name);
        // "Spiel beenden" leaves the host's game for the start screen.
        if (stepsOf(c, round).contains(QLatin1Char('E')) &&
            left.value(c.Name) != QLatin1String("start 1 no 0 online 0"))
            bad << QStringLiteral("%1: %2 after \"Spiel beenden\": %3").arg(key("LEFT"), c.Name, left.value(c.Name));
    }
    if (bad.size() > before)
        return;

    auto expected = expectedFor(row, round, open);
    if (row.Race)
        for (auto &[name, e] : expected)
            e = TExpected();
    // The scores of those still in the game, by name.
    QStringList wantPoints{QStringLiteral("host=0/0/0")};
    QStringList wantOut;
    std::map<int, QString> wantPenalties;
    for (const auto &[name, e] : expected) {
        if (!slotOf.contains(name)) {
            bad << QStringLiteral("%1: %2 is not in the table").arg(key("TABLE"), name);
            continue;
        }
        if (!e.Left)
            wantPoints << QStringLiteral("%1=%2/%3/%4").arg(name).arg(e.Points).arg(e.Found).arg(e.Errors);
        if (!e.Penalties.isEmpty())
            wantPenalties[slotOf.value(name)] = e.Penalties.join(',');
        if (e.Out)
            wantOut << QString::number(slotOf.value(name));
    }
    auto compare = [&](const QString &what, const QString &got, const QString &want) {
        if (got != want)
            bad << QStringLiteral("%1: every machine saw \"%2\", the rules give \"%3\"").arg(what, got, want);
    };
    if (row.Race) {
        // Chance decides the owners; the rules decide the rest.
        wantPoints.clear();
        int found = 0;
        for (const QString &part : points.split(' ')) {
            const QStringList v = part.section('=', 1).split('/');
            const int f = v.value(1).toInt();
            found += f;
            wantPoints << QStringLiteral("%1=%2/%3/0").arg(part.section('=', 0, 0)).arg(pointsFor(row.Rating, f, 0)).arg(f);
        }
        if (found != open)
            bad << QStringLiteral("%1 cells found of %2: %3").arg(found).arg(open).arg(points);
    }
    wantPoints.sort();
    compare(key("POINTS"), points, wantPoints.join(' '));
    if (!row.OwnBoard) {
        // On one board the cell results name each cell's owner: as many
        // cells per player as the score counts.
        std::map<int, int> cells;
        for (const QString &part : points.split(' ')) {
            const int f = part.section('/', 1, 1).toInt();
            if (f > 0)
                cells[slotOf.value(part.section('=', 0, 0))] = f;
        }
        QStringList wantOwners;
        for (const auto &[s, n] : cells)
            wantOwners << QStringLiteral("%1=%2").arg(s).arg(n);
        compare(key("OWNERS"), owners, wantOwners.isEmpty() ? QStringLiteral("-") : wantOwners.join(' '));
    }
    // The end-of-game table shows each player's scores, and as free the
    // cells the player has not filled: a wrong digit, even the one that put
    // the player out, fills nothing.
    QMap<QString, QString> scoreOf;
    for (const QString &part : points.split(' '))
        scoreOf.insert(part.section('=', 0, 0), part.section('=', 1));
    for (const QString &part : endTable.split(' ')) {
        const QStringList f = part.section('=', 1).split('/');
        const QString name = f.value(0);
        if (scoreOf.contains(name) &&
            scoreOf.value(name) != QStringLiteral("%1/%2/%3").arg(f.value(5), f.value(1), f.value(2)))
            bad << QStringLiteral("%1: %2 where the scores are %3").arg(key("ENDROWS"), part, scoreOf.value(name));
        const int filled = f.value(1).toInt() + (row.Immediate ? 0 : f.value(2).toInt());
        if (row.OwnBoard && !row.Bingo && f.value(3).toInt() != open - filled)
            bad << QStringLiteral("%1: %2 shows %3 free of %4 cells").arg(key("ENDROWS"), part, f.value(3)).arg(open);
    }
    QStringList wantPen;
    for (const auto &[s, list] : wantPenalties)
        wantPen << QStringLiteral("%1=%2").arg(s).arg(list);
    compare(key("PENALTIES"), penalties, wantPen.isEmpty() ? QStringLiteral("-") : wantPen.join(' '));
    std::sort(wantOut.begin(), wantOut.end());
    compare(key("OUT"), outs, wantOut.isEmpty() ? QStringLiteral("-") : wantOut.join(','));
    if (row.Bingo != (offers.toInt() > 0))
        bad << QStringLiteral("%1: %2").arg(key("OFFERS"), offers);
    const auto wrong = linesOf(out, key("WRONGSOLUTION"));
    for (const auto &[name, e] : expected)
        if (atEnd.contains(name))
            compare(key("WRONGSOLUTION") + QLatin1Char(' ') + name, wrong.value(name),
                    QString::number(e.WrongSolutions));
}

// The tournament's stages as the host's file holds them, and the results
// list as the host and every client show it.
inline void verifyTournament(const TRow &row, const QString &out, QStringList &bad)
{
    const auto files = linesOf(out, QStringLiteral("TFILE"));
    const auto lists = linesOf(out, QStringLiteral("TLIST"));
    const QString hostList = lists.value(QStringLiteral("host"));
    for (const TClient &c : row.Clients)
        if (lists.value(c.Name) != hostList)
            bad << QStringLiteral("TLIST: %1 shows \"%2\", the host \"%3\"").arg(c.Name, lists.value(c.Name), hostList);
    TIniFile ini;
    ini.SetBytes(files.value(QStringLiteral("host")).replace(QLatin1Char(' '), QStringLiteral("\r\n")).toLatin1());
    const QStringList rowsShown = hostList.split(QStringLiteral(" ; "));
    int entries = 0;
    QStringList names{QStringLiteral("host")};
    for (const TClient &c : row.Clients)
        names << c.Name;
    for (int stage = 1; stage <= row.Rounds; ++stage) {
        const QString section = StageNumberText(stage);
        const int open = linesOf(out, QStringLiteral("R%1.BOARD").arg(stage))
                             .value(QStringLiteral("host"))
                             .section(' ', 0, 0)
                             .toInt();
        const auto expected = expectedFor(row, stage - 1, open);
        for (const QString &name : names) {
            const QString text = ini.ReadString(section, name, QString());
            if (text.isEmpty()) {
                bad << QStringLiteral("TFILE: no result of %1 in stage %2").arg(name, section);
                continue;
            }
            ++entries;
            int points = 0, tenths = 0, errors = 0;
            ParseStarTriple(text, points, tenths, errors);
            const auto e = expected.find(name);
            const int wantPoints = e == expected.end() ? 0 : e->second.Points;
            const int wantErrors = e == expected.end() ? 0 : e->second.Errors;
            if (points != wantPoints || errors != wantErrors)
                bad << QStringLiteral("TFILE: %1 in stage %2 has %3, the rules give %4 points and %5 errors")
                           .arg(name, section, text)
                           .arg(wantPoints)
                           .arg(wantErrors);
            const QString shown =
                QStringLiteral("%1||%2|%3|%4|%5").arg(name, section).arg(points).arg(FormatTenths(tenths)).arg(errors);
            if (!rowsShown.contains(shown))
                bad << QStringLiteral("TLIST: the file's %1 of stage %2 (%3) is not shown as \"%4\"")
                           .arg(name, section, text, shown);
        }
    }
    for (const QString &name : names)
        if (ini.ReadString(QStringLiteral("Etappe"), name, QString()).toInt() != row.Rounds)
            bad << QStringLiteral("TFILE: %1 has reached stage \"%2\"")
                       .arg(name, ini.ReadString(QStringLiteral("Etappe"), name, QString()));
    // A total per player, a row per stage result, nothing else.
    if (rowsShown.size() != names.size() + entries)
        bad << QStringLiteral("TLIST: %1 rows for %2 players and %3 stage results: %4")
                   .arg(rowsShown.size())
                   .arg(names.size())
                   .arg(entries)
                   .arg(hostList);
}

// Checks one row's output; returns what is wrong, empty when all is right.
inline QStringList verify(const TRow &row, const QString &out)
{
    QStringList bad;
    const auto ends = linesOf(out, QStringLiteral("END"));
    const auto killed = linesOf(out, QStringLiteral("KILLED"));
    if (ends.value(QStringLiteral("host")) != QLatin1String("rc=0"))
        bad << QStringLiteral("host did not end well (%1)")
                   .arg(ends.value(QStringLiteral("host"), QStringLiteral("no end")));
    for (const TClient &c : row.Clients) {
        if (wasKilled(c)) {
            if (!killed.contains(c.Name) || ends.contains(c.Name))
                bad << QStringLiteral("%1 was not killed in its round").arg(c.Name);
        } else if (ends.value(c.Name) != QLatin1String("rc=0")) {
            bad << QStringLiteral("%1 did not end well (%2)").arg(c.Name, ends.value(c.Name, QStringLiteral("no end")));
        }
    }
    if (!bad.isEmpty())
        return bad;
    for (int round = 0; round < row.Rounds; ++round)
        verifyRound(row, round, out, bad);
    if (row.Tournament && bad.isEmpty())
        verifyTournament(row, out, bad);
    if (out.contains(QLatin1String("DIALOG ")))
        bad << QStringLiteral("a message box came up");
    int lossy = 0;
    for (const QString &line : out.split('\n'))
        if (line.startsWith(QLatin1String("DROPPED "))) {
            if (line.mid(8).toInt() <= 0)
                bad << QStringLiteral("a namespace dropped nothing: %1").arg(line);
            ++lossy;
        }
    if (lossy != (row.Loss > 0 ? row.Machines() : 0))
        bad << QStringLiteral("%1 namespaces with loss").arg(lossy);
    return bad;
}

} // namespace netnsgame
