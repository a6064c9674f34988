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
// Script letters, one per entry of a client:
//   R  the right digit in the next open cell (Bingo: an offered item)
//   W  a wrong digit in the next open cell (Bingo: an offered digit in a
//      cell that wants another one, or a wrong digit in an offered cell)
//   O  Bingo: a digit, or a cell, that is not offered (ignored by the host)
//   C  the right digit in the first open cell of the board, which another
//      player claimed before (shared board: refused without a penalty)
//   F  fill every open cell until the game is over; with judging at the
//      end, a wrong solution is cleared ("Ja") and filled again
// The first client is the finisher: it waits until every other client has
// said "fertig" in the chat (its entries are judged by then), then plays;
// in a race nobody waits.
#include "LanPeer.h"

#include "core/ULog.h"
#include "core/UMeldung.h"
#include "core/UQuadrivo.h"
#include "net/UNETZ.h"
#include "net/USucheSpiele.h"
#include "screens/UGameOptionen.h"
#include "screens/USpielEnde.h"
#include "screens/UStart.h"
#include "solver/UBingo.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMap>
#include <QSet>
#include <QTimer>
#include <algorithm>
#include <map>
#include <vector>

namespace netnsgame {

constexpr int kPeerLimitMs = 200000;

struct TClient {
    QString Name;
    bool ViaSearchWindow = false;
    QString Steps;
};

struct TRow {
    QString Name; // one word: it travels as an argument
    int Loss = 0; // percent of the datagrams each machine loses
    int Rating = 1;
    bool OwnBoard = true;
    bool Immediate = true;
    bool Bingo = false;
    bool BingoFields = false; // fields offered, a new offer when it is used up
    std::vector<TClient> Clients; // the first is the finisher
    // Every client fills the one shared board at the same time: who gets a
    // cell is chance, but every cell has one owner and the scores follow.
    bool Race = false;
    int Machines() const { return 1 + int(Clients.size()); }
};

inline std::vector<TRow> rows()
{
    const TClient join{QStringLiteral("join"), false, {}};
    const TClient search{QStringLiteral("search"), true, {}};
    auto three = [&](const QString &name, int rating, bool own, bool immediate, int bingo, const QString &joinSteps,
                     const QString &searchSteps) {
        TClient j = join, s = search;
        j.Steps = joinSteps;
        s.Steps = searchSteps;
        return TRow{name, 0, rating, own, immediate, bingo > 0, bingo == 2, {j, s}};
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
    eight.Clients.push_back({QStringLiteral("join"), false, QStringLiteral("F")});
    eight.Clients.push_back({QStringLiteral("search"), true, QStringLiteral("RW")});
    for (int i = 4; i <= 8; ++i)
        eight.Clients.push_back({QStringLiteral("p%1").arg(i), i % 2 == 1, QStringLiteral("R")});
    all.push_back(eight);
    TRow race{QStringLiteral("race-shared-r1-loss20"), 20, 1, false, true, false, false, {}};
    race.Clients = {{QStringLiteral("join"), false, QStringLiteral("F")},
                    {QStringLiteral("search"), true, QStringLiteral("F")},
                    {QStringLiteral("p4"), false, QStringLiteral("F")}};
    race.Race = true;
    all.push_back(race);
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

// Per client name; `open` is the number of cells to find.
inline std::map<QString, TExpected> expectedFor(const TRow &row, int open)
{
    std::map<QString, TExpected> out;
    int othersRight = 0;
    // The others play first; the finisher last.
    for (size_t i = row.Clients.size(); i-- > 0;) {
        const TClient &c = row.Clients[i];
        TExpected e;
        int pen = 0;
        for (const QChar ch : c.Steps) {
            if (e.Out)
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
            }
        }
        if (i > 0)
            othersRight += e.Found;
        e.Points = pointsFor(row.Rating, e.Found, e.Errors);
        out[c.Name] = e;
    }
    return out;
}

// ---- one machine's part ------------------------------------------------

class TGameScript : public TLanScript {
public:
    TGameScript(const TRow &row, const QString &role) : TLanScript(role), Row(row)
    {
        for (const TClient &c : row.Clients)
            if (c.Name == role)
                Me = c;
        connect(NETZ, &TNETZ::TelegramDispatched, this, [this](const TTelegram &tel, const QString &) { seen(tel); });
    }

private:
    const TRow &Row;
    TClient Me;
    qint64 overAt = -1;
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
    std::map<int, QStringList> penalties;
    QSet<int> outSlots;
    int wrongSolutions = 0;
    int offers = 0;
    bool ended = false;
    QString finalPoints; // the scores as the end of game found them
    std::map<int, int> owners; // cell -> slot, as the cell results tell it

    bool isFinisher() const { return !Row.Race && !Row.Clients.empty() && Row.Clients.front().Name == Role; }

    void seen(const TTelegram &tel)
    {
        // The end of game is the game's last telegram; what follows (the
        // logoffs of players who already left) is not part of it.
        if (ended)
            return;
        switch (tel.Aktion) {
        case akEndOfGame:
            // Every result of the game is in by now; what the machine
            // does afterwards (the host leaving clears the table) is not
            // part of it.
            ended = true;
            finalPoints = pointsText();
            break;
        case akCellResult:
            if (awaitCell == 10 * tel.y + tel.x)
                awaitCell = 0;
            if (tel.a == 0 && tel.Gid >= 1 && tel.Gid <= 8)
                owners[10 * tel.y + tel.x] = tel.Gid;
            break;
        case akPenalty:
            if (tel.Gid >= 1 && tel.Gid <= 8)
                penalties[tel.Gid] << QStringLiteral("%1/%2").arg(tel.x).arg(tel.y);
            if (tel.Gid == NETZ->MyPlayerNo && tel.y == awaitErrors)
                awaitErrors = 0;
            break;
        case akGameOver:
            outSlots.insert(tel.Gid);
            break;
        case akWrongSolution:
            ++wrongSolutions;
            clearAsked = true;
            break;
        case akBingo:
            ++offers;
            break;
        default:
            break;
        }
    }

    void step() override
    {
        if (clock.elapsed() > kPeerLimitMs - 5000) {
            giveUp(QStringLiteral("phase %1 step %2 table %3 no %4 running %5 awaiting %6/%7")
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

    void hostStep()
    {
        switch (phase) {
        case 0:
            openMultiPlayer();
            FormStart->BTC_suchenClick(FormStart->BTC_eroeffnen);
            FormStart->BTC_weiterClick();
            chooseOptions();
            next();
            break;
        case 1:
            if (Form1->CountOnlinePlayers() == Row.Machines() && NETZ->MyPlayerNo == 1 && queuesEmpty() &&
                inPhase() > 300) {
                say(QStringLiteral("OPTIONS %1 rating %2 own %3 now %4 bingo %5 fields %6 refill-when-empty %7")
                        .arg(Role)
                        .arg(FormGO->GetRating())
                        .arg(FormGO->IsOwnBoard())
                        .arg(FormGO->IsEvaluationImmediate())
                        .arg(FormGO->GetGameType() == 4)
                        .arg(FormGO->rb_Felder->isChecked())
                        .arg(FormGO->rb_Bingo_leer->isChecked()));
                FormGO->BTC_StartenClick();
                next();
            }
            break;
        case 2:
            if (Form1->GameRunning) {
                started();
                next();
            }
            break;
        case 3:
            if (gameOverSeen()) {
                report();
                next();
            }
            break;
        default:
            // Until every result is delivered to those still here (at
            // 20 % loss a queue may be many seconds behind); a client that
            // left (its logoff frees the slot) cannot hold the host.
            if ((deliveredToPresent() && inPhase() > 500) || inPhase() > 60000)
                finish(0);
            break;
        }
    }

    bool deliveredToPresent() const
    {
        for (int p = 1; p <= 8; ++p)
            if (NETZ->QueuedCount(p) > 0 && Form1->Players[p].Active)
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
        say(QStringLiteral("TABLE %1 %2").arg(Role, tableText()));
        say(QStringLiteral("BOARD %1 %2 %3").arg(Role).arg(openAtStart).arg(digits));
    }

    QString pointsText() const
    {
        QStringList points;
        for (int p = 1; p <= Row.Machines(); ++p) {
            const TPlayerRecord &r = Form1->Players[p];
            points << QStringLiteral("%1=%2/%3/%4").arg(p).arg(r.Points).arg(r.Found).arg(r.Errors);
        }
        return points.join(' ');
    }

    void report()
    {
        say(QStringLiteral("POINTS %1 %2").arg(Role, finalPoints.isEmpty() ? pointsText() : finalPoints));
        QStringList pens;
        for (const auto &[slot, list] : penalties)
            pens << QStringLiteral("%1=%2").arg(slot).arg(list.join(','));
        say(QStringLiteral("PENALTIES %1 %2").arg(Role, pens.isEmpty() ? QStringLiteral("-") : pens.join(' ')));
        QList<int> out = outSlots.values();
        std::sort(out.begin(), out.end());
        QStringList outText;
        for (int s : out)
            outText << QString::number(s);
        say(QStringLiteral("OUT %1 %2").arg(Role, outText.isEmpty() ? QStringLiteral("-") : outText.join(',')));
        say(QStringLiteral("OFFERS %1 %2").arg(Role).arg(offers));
        std::map<int, int> owned;
        for (const auto &[cell, slot] : owners)
            ++owned[slot];
        QStringList ownedText;
        for (const auto &[slot, n] : owned)
            ownedText << QStringLiteral("%1=%2").arg(slot).arg(n);
        say(QStringLiteral("OWNERS %1 %2").arg(Role, ownedText.isEmpty() ? QStringLiteral("-") : ownedText.join(' ')));
        say(QStringLiteral("WRONGSOLUTION %1 %2").arg(Role).arg(wrongSolutions));
    }

    void clientStep()
    {
        switch (phase) {
        case 0:
            openMultiPlayer();
            FormStart->BTC_suchenClick(FormStart->BTC_suchen);
            if (Me.ViaSearchWindow)
                FormStart->BTC_suchenClick(FormStart->BTC_Beitreten);
            FormStart->BTC_weiterClick();
            next();
            break;
        case 1: // logged in, with a number
            if (NETZ->MyPlayerNo >= 2 && Form1->CountOnlinePlayers() >= 2) {
                next();
                break;
            }
            SearchAgainTurn(Me.ViaSearchWindow, [this](int ms) { return every(ms); });
            break;
        case 2: // the whole table known, then the game runs
            if (Form1->CountOnlinePlayers() == Row.Machines() && Form1->GameRunning) {
                started();
                next();
            }
            break;
        case 3:
            if (gameOverSeen()) {
                report();
                next();
                break;
            }
            play();
            break;
        default:
            // Acknowledge what the host may still resend, then leave.
            if (inPhase() > 2000)
                finish(0);
            break;
        }
    }

    bool othersDone() const
    {
        const QStringList lines = Form1->ChatBox->Items();
        for (size_t i = 1; i < Row.Clients.size(); ++i)
            if (!lines.contains(Row.Clients[i].Name + QStringLiteral(":fertig")))
                return false;
        return true;
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
        if (stepAt < Me.Steps.size()) {
            const QChar what = Me.Steps.at(stepAt);
            if (what == QLatin1Char('F')) {
                act(what); // until the game is over
                return;
            }
            if (act(what))
                ++stepAt;
            return;
        }
        if (!saidDone && !isFinisher() && queuesEmpty()) {
            saidDone = true;
            Form1->Edit1->setText(QStringLiteral("fertig"));
            Form1->Button2Click();
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

// In the caller's namespace, under netns_harness.sh: one peer per machine.
inline int orchestrate(const QString &rowName)
{
    const TRow *row = rowNamed(rowName);
    if (!row)
        return 2;
    QStringList roles{QStringLiteral("host")};
    for (const TClient &c : row->Clients)
        roles << c.Name;
    const auto runs = lanpeer::runPeers(
        row->Machines(),
        [&](int i) {
            return QStringList{QStringLiteral("--game-peer"), rowName, roles.at(i - 1)};
        },
        row->Loss, kPeerLimitMs);
    return ReportPeerRuns(roles, runs);
}

// Checks one row's output; returns what is wrong, empty when all is right.
inline QStringList verify(const TRow &row, const QString &out)
{
    QStringList bad;
    QStringList roles{QStringLiteral("host")};
    for (const TClient &c : row.Clients)
        roles << c.Name;
    auto same = [&](const QString &key) {
        const auto m = linesOf(out, key);
        if (m.size() != roles.size()) {
            bad << QStringLiteral("%1: %2 of %3 machines").arg(key).arg(m.size()).arg(roles.size());
            return QString();
        }
        for (const QString &r : roles)
            if (m.value(r) != m.value(QStringLiteral("host")))
                bad << QStringLiteral("%1: %2 saw \"%3\", the host \"%4\"").arg(key, r, m.value(r),
                                                                                 m.value(QStringLiteral("host")));
        return m.value(QStringLiteral("host"));
    };
    const auto ends = linesOf(out, QStringLiteral("END"));
    for (const QString &r : roles)
        if (ends.value(r) != QLatin1String("rc=0"))
            bad << QStringLiteral("%1 did not end well (%2)").arg(r, ends.value(r, QStringLiteral("no end")));
    const QString table = same(QStringLiteral("TABLE"));
    const QString board = same(QStringLiteral("BOARD"));
    const QString points = same(QStringLiteral("POINTS"));
    const QString penalties = same(QStringLiteral("PENALTIES"));
    const QString outs = same(QStringLiteral("OUT"));
    const QString offers = same(QStringLiteral("OFFERS"));
    const QString owners = row.OwnBoard ? QString() : same(QStringLiteral("OWNERS"));
    if (!bad.isEmpty())
        return bad;

    // Slot of each name, from the host's table.
    QMap<QString, int> slotOf;
    for (const QString &part : table.split(' ')) {
        const int slot = part.section('=', 0, 0).toInt();
        slotOf.insert(part.section('=', 1).section('@', 0, 0), slot);
    }
    if (slotOf.value(QStringLiteral("host")) != 1 || slotOf.size() != roles.size())
        bad << QStringLiteral("table: %1").arg(table);
    if (!table.startsWith(QLatin1String("1=host@10.213.0.1 ")))
        bad << QStringLiteral("table does not start with the host's own address: %1").arg(table);
    const int open = board.section(' ', 0, 0).toInt();
    if (open <= 0)
        bad << QStringLiteral("no open cell: %1").arg(board);

    auto expected = expectedFor(row, open);
    if (row.Race)
        for (auto &[name, e] : expected)
            e = TExpected();
    QStringList wantPoints, wantPenalties, wantOut;
    std::map<int, const TExpected *> bySlot;
    for (const auto &[name, e] : expected)
        bySlot[slotOf.value(name)] = &e;
    wantPoints << QStringLiteral("1=0/0/0");
    for (int p = 2; p <= row.Machines(); ++p) {
        const TExpected *e = bySlot.count(p) ? bySlot[p] : nullptr;
        if (!e) {
            bad << QStringLiteral("slot %1 unknown").arg(p);
            continue;
        }
        wantPoints << QStringLiteral("%1=%2/%3/%4").arg(p).arg(e->Points).arg(e->Found).arg(e->Errors);
        if (!e->Penalties.isEmpty())
            wantPenalties << QStringLiteral("%1=%2").arg(p).arg(e->Penalties.join(','));
        if (e->Out)
            wantOut << QString::number(p);
    }
    auto compare = [&](const QString &what, const QString &got, const QString &want) {
        if (got != want)
            bad << QStringLiteral("%1: every machine saw \"%2\", the rules give \"%3\"").arg(what, got, want);
    };
    if (row.Race) {
        // Chance decides the owners; the rules decide the rest.
        wantPoints = QStringList{QStringLiteral("1=0/0/0")};
        int found = 0;
        for (const QString &part : points.split(' ').mid(1)) {
            const QStringList v = part.section('=', 1).split('/');
            const int f = v.value(1).toInt();
            found += f;
            wantPoints << QStringLiteral("%1=%2/%3/0").arg(part.section('=', 0, 0)).arg(pointsFor(row.Rating, f, 0)).arg(f);
        }
        if (found != open)
            bad << QStringLiteral("%1 cells found of %2: %3").arg(found).arg(open).arg(points);
    }
    compare(QStringLiteral("points"), points, wantPoints.join(' '));
    if (!row.OwnBoard) {
        // On one board the cell results name each cell's owner: as many
        // cells per player as the score counts.
        QStringList wantOwners;
        for (const QString &part : points.split(' ').mid(1))
            if (part.section('/', 1, 1).toInt() > 0)
                wantOwners << QStringLiteral("%1=%2").arg(part.section('=', 0, 0), part.section('/', 1, 1));
        compare(QStringLiteral("owners"), owners, wantOwners.isEmpty() ? QStringLiteral("-") : wantOwners.join(' '));
    }
    compare(QStringLiteral("penalties"), penalties,
            wantPenalties.isEmpty() ? QStringLiteral("-") : wantPenalties.join(' '));
    compare(QStringLiteral("out"), outs, wantOut.isEmpty() ? QStringLiteral("-") : wantOut.join(','));
    if (row.Bingo != (offers.toInt() > 0))
        bad << QStringLiteral("Bingo offers: %1").arg(offers);
    const auto wrong = linesOf(out, QStringLiteral("WRONGSOLUTION"));
    for (const auto &[name, e] : expected)
        compare(QStringLiteral("wrong-solution notices of ") + name, wrong.value(name),
                QString::number(e.WrongSolutions));
    const auto options = linesOf(out, QStringLiteral("OPTIONS"));
    compare(QStringLiteral("options"), options.value(QStringLiteral("host")),
            QStringLiteral("rating %1 own %2 now %3 bingo %4 fields %5 refill-when-empty %5")
                .arg(row.Rating)
                .arg(row.OwnBoard)
                .arg(row.Immediate)
                .arg(row.Bingo)
                .arg(row.BingoFields));
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
