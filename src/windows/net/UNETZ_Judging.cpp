// The host's judging: every entry of every player is checked on the host
// (player 1), which keeps one board layer per player, hands out the time
// penalties of the rating, tells every machine the results, decides when the
// game is over and scores it. The result handlers that run on every machine
// are in UNETZ_Results.cpp.
#include "net/UNETZ.h"

#include "board/UFeld.h"
#include "board/ULog.h"
#include "board/UMeldung.h"
#include "board/UQuadrivo.h"
#include "board/UQuadrivo_Game.h"
#include "board/Usounds.h"
#include "competitions/UChallenge.h"
#include "competitions/Ughost.h"
#include "net/UNETZ_GameLinks.h"
#include "net/UNETZ_JudgingShared.h"
#include "net/UNETZ_Rules.h"
#include "screens/UGameOptionen.h"
#include "screens/UOptionen.h"
#include "screens/USpielEnde.h"
#include "settings/USonstiges.h"
#include "settings/USystem.h"
#include "solver/UBingo.h"
#include "solver/USolver.h"

#include <algorithm>

using namespace NetJudging;

// ---- the calls into windows that do not offer them yet ------------------------

void SaveStageResultsAllLink()
{
    // Only the host holds the tournament file; the challenge window checks that.
    if (FormCha && !FormCha->SaveStageResultsAll())
        TraceCat(5, QStringLiteral("TURNIER: Ergebnisse nicht gespeichert"));
}

void SaveStageResultLink(const QString &stage, int points, int64_t tenths, int errors)
{
    // An invalid file drops the result without a message.
    if (FormCha && !FormCha->SaveStageResult(stage, points, static_cast<int32_t>(tenths), errors))
        TraceCat(9, QStringLiteral("CHALLENGE: Ergebnis nicht gespeichert"));
}


// ---- senders ---------------------------------------------------------------------

void TNETZ::EnterNumber(int x, int y, int digit)
{
    Tel = cellTelegram(akEntry, x, y, digit, MyPlayerNo);
    TraceCat(1, QStringLiteral("Habe Zahl (%1,%2):%3 eingegeben.").arg(x).arg(y).arg(digit));
    SendToServer();
}

void TNETZ::EnterGhostNumber(int x, int y, int player, int digit)
{
    // The ghost replay plays on the host itself: judged at once.
    Tel = cellTelegram(akEntry, x, y, digit, player);
    EvaluateEntry();
}

void TNETZ::SendCellResult(int x, int y, int p, int a)
{
    if (!Form1 || !IsBoardIndex(x) || !IsBoardIndex(y) || p < 0 || p > 8)
        return;
    Tel = TTelegram();
    Tel.Aktion = akCellResult;
    Tel.x = x;
    Tel.y = y;
    Tel.a = a;
    if (p > 0) {
        Tel.z = Form1->Boards[p][x][y].Value;
        Tel.Gid = p;
        SendToPlayer(p);
    } else {
        Tel.z = Form1->Boards[0][x][y].Value;
        Tel.Gid = Form1->Boards[0][x][y].State;
        SendToAll();
    }
}

void TNETZ::SendBlink(int x, int y, int z, int p)
{
    Tel = cellTelegram(akBlink, x, y, z, p);
    SendToAll();
}

void TNETZ::SendStats(int p)
{
    TPlayerRecord *table = PlayerSlots();
    if (!table || !isSlot(p))
        return;
    const TPlayerRecord &r = table[p];
    Tel = TTelegram();
    Tel.Aktion = akStats;
    Tel.Gid = p;
    Tel.x = r.Points;
    Tel.y = r.Found;
    Tel.z = r.Errors;
    Tel.a = r.Bonus;
    SendToAll();
}

void TNETZ::SendPenalty(int p)
{
    TPlayerRecord *table = PlayerSlots();
    if (!table || !isSlot(p))
        return;
    Tel = TTelegram();
    Tel.Aktion = akPenalty;
    Tel.Gid = p;
    Tel.x = table[p].Penalty;
    Tel.y = table[p].Errors;
    SendToAll();
}

void TNETZ::SendCounts(int p, int &open, int &wrong)
{
    open = 0;
    wrong = 0;
    if (!FormFeld || p < 0 || p > 8)
        return;
    const int g = countedLayer(p);
    int freeAll = 0;
    FormFeld->CountLayer(g, open, freeAll, wrong);
    Tel = TTelegram();
    Tel.Aktion = akCounts;
    Tel.a = open;
    Tel.b = wrong;
    Tel.z = freeAll;
    Tel.Gid = g;
    SendToAll();
}

void TNETZ::SendCountsFor(int p)
{
    int open = 0;
    int wrong = 0;
    SendCounts(p, open, wrong);
}

void TNETZ::SendGameOver(int p)
{
    Tel = TTelegram();
    Tel.Aktion = akGameOver;
    Tel.Gid = p;
    SendToAll();
}

void TNETZ::SendWrongSolution(int p)
{
    Tel = TTelegram();
    Tel.Aktion = akWrongSolution;
    Tel.Gid = p;
    SendToPlayer(p);
}

void TNETZ::ClearCells(int x, int y)
{
    const int me = MyPlayerNo;
    if (!Form1 || !isSlot(me) || x < 0 || x > 9 || y < 0 || y > 9)
        return;
    const bool all = x == 0 || y == 0;
    if (!all && Form1->Boards[me][x][y].State == -1)
        return;
    for (int cy = 1; cy <= 9; ++cy)
        for (int cx = 1; cx <= 9; ++cx) {
            if (!all && (cx != x || cy != y))
                continue;
            if (!clearCell(Form1->Boards[me][cx][cy]))
                continue;
            TCellView &cv = Form1->Cells[cx][cy];
            for (int d = 1; d <= 9; ++d)
                cv.Mark(d).State = 0;
            cv.DigitLabel.SetCaption(QString());
            DrawCell(cx, cy, true);
            cv.ShowMarks = 1;
        }
    if (FormFeld)
        FormFeld->RefreshMarks();
    Tel = TTelegram();
    Tel.Aktion = akClearCells;
    Tel.x = all ? 0 : x;
    Tel.y = all ? 0 : y;
    Tel.Gid = me;
    SendToServer();
}

void TNETZ::SendUsedMarks(int n)
{
    Tel = TTelegram();
    Tel.Aktion = akUsedMarks;
    Tel.x = n;
    Tel.Gid = MyPlayerNo;
    SendToServer();
}

void TNETZ::SendUsedMarks()
{
    TPlayerRecord *table = PlayerSlots();
    if (table && isSlot(MyPlayerNo))
        SendUsedMarks(table[MyPlayerNo].UsedMarks);
}

void TNETZ::SendBingo()
{
    if (!FormBingo)
        return;
    const TBingoList &list = FormBingo->BingoList;
    // The offered items lead the list.
    const int k = std::min(int(list.OfferValues.size()), kBingoSlots);
    QString values;
    QString columns;
    QString rows;
    for (int i = 0; i < k; ++i) {
        values += QString::number(list.Entries[i].value);
        columns += QString::number(list.Entries[i].x);
        rows += QString::number(list.Entries[i].y);
    }
    Tel = TTelegram();
    Tel.Aktion = akBingo;
    Tel.x = IsBingoNumbersNow() ? 1 : 0;
    Tel.Data = 1;
    Tel.SetText(values + columns + rows);
    SendToAll();
}

void TNETZ::SendEndOfGame()
{
    Tel = TTelegram();
    Tel.Aktion = akEndOfGame;
    SendToAll();
    NoteEndOfGameSent();
}

// ---- the host's judging -----------------------------------------------------------

void TNETZ::EvaluateEntry()
{
    if (!Form1 || !Form1->GameRunning)
        return;
    // Every send overwrites Tel.
    const int x = Tel.x;
    const int y = Tel.y;
    const int z = Tel.z;
    const int p = Tel.Gid;
    TPlayerRecord *table = PlayerSlots();
    if (!table || !IsBoardIndex(x) || !IsBoardIndex(y) || !IsBoardIndex(z) || !isSlot(p)) {
        TraceCat(0, QStringLiteral("ERROR: Eingabe (%1,%2):%3 von Spieler %4 außerhalb der Wertebereiche")
                        .arg(x)
                        .arg(y)
                        .arg(z)
                        .arg(p));
        return;
    }
    // Only the host judges; a client that got an entry would send results to all.
    if (MyPlayerNo != 1) {
        TraceCat(0, QStringLiteral("ERROR: Eingabe von Spieler %1 erhalten, ohne Spieler 1 zu sein").arg(p));
        return;
    }
    const bool immediate = immediateEvaluation();
    const bool own = ownBoards();

    if (IsBingoActive() && immediate && FormBingo) {
        TBingoList &offer = FormBingo->BingoList;
        if (IsBingoNumbersNow()) {
            if (!offer.OfferValues.contains(QString::number(z))) {
                TraceCat(4, QStringLiteral("Bingo ist an, gesucht wird(%1) eingegeben wurde(%2)")
                                .arg(offer.OfferValues)
                                .arg(z));
                return;
            }
        } else {
            bool offered = false;
            for (int i = 0; i < offer.OfferX.size() && i < offer.OfferY.size(); ++i)
                offered = offered || (offer.OfferX[i] == QChar(u'0' + x) && offer.OfferY[i] == QChar(u'0' + y));
            if (!offered) {
                TraceCat(4, QStringLiteral("Bingo ist an, gesucht wird x(%1) y(%2) eingegeben wurde(%3,%4)")
                                .arg(offer.OfferX, offer.OfferY)
                                .arg(x)
                                .arg(y));
                return;
            }
        }
        offer.InputSinceDraw = QString::number(z);
    }

    TGridEntry &ref = Form1->Boards[0][x][y];
    TGridEntry &cell = Form1->Boards[p][x][y];
    if (immediate && !own && ref.State != 0) {
        TraceCat(0, QStringLiteral("ERROR: Feld(%1,%2) konnte doppelt gedrückt werden.").arg(x).arg(y));
        SendCellResult(x, y, 0, 0);
        return;
    }
    // No input reaches a given: the entry is a stray or forged telegram.
    if (ref.State == -1 || cell.State == -1) {
        TraceCat(0, QStringLiteral("ERROR: Eingabe in vorgegebenes Feld(%1,%2) von Spieler %3 ignoriert.")
                        .arg(x)
                        .arg(y)
                        .arg(p));
        return;
    }
    // A cell judged right stays the player's: a repeat is told its result
    // again and counts neither as found nor as an error.
    if (immediate && own && cell.State == p) {
        TraceCat(9, QStringLiteral("Feld(%1,%2) hat Spieler %3 schon gefunden.").arg(x).arg(y).arg(p));
        SendCellResult(x, y, p, 0);
        return;
    }

    cell.Value = z;
    cell.State = p;
    int open = 0;
    int wrong = 0;
    SendCounts(p, open, wrong);

    if (!immediate) {
        SendCellResult(x, y, p, 0);
        if (open >= 1)
            return;
        if (wrong >= 1) {
            SendWrongSolution(p);
            return;
        }
        Form1->GameRunning = false;
        ScoreGame();
        SendEndOfGame();
        return;
    }

    TPlayerRecord &r = table[p];
    int penalty = 0;
    int errorStep = 0;
    int foundStep = 0;
    if (cell.Value != ref.Value) {
        TraceCat(9, QStringLiteral("Eingabe war falsch"));
        cell.Value = ref.Value;
        cell.State = 0;
        SendCountsFor(p);
        penalty = PenaltyForError(FormGO ? FormGO->GetRating() : 1, r.Errors, r.Penalty);
        errorStep = 1;
    } else {
        foundStep = 1;
        if (FormFeld)
            FormFeld->RefreshMarks();
        if (FormSolver) {
            FormSolver->PlaceDigit(FormSolver->GameGrid, x, z, y);
            if (IsBingoActive()) {
                TraceCat(4, QStringLiteral("Erzeuge Bingo nach Eingabe"));
                RemoveBingoEntry(x, y, z);
                FormSolver->SolveStep(FormSolver->GameGrid, false);
                if (NextBingoDraw(false))
                    SendBingo();
            }
        }
        if (ghostGame() && ref.FirstFinder != p) {
            ref.FirstFinder = p;
            ref.FoundTime = Form1->GameTimeTenths();
        }
    }

    if (penalty < 0) {
        r.GameOver = true;
        // The player's machine shows the wrong digit in red; the cell stays
        // open, so it counts as free and never as found.
        cell.Value = z;
        SendCellResult(x, y, p, kWrongDigitColor);
    } else if (penalty == 0) {
        if (!own) {
            ref.State = p;
            SendCellResult(x, y, 0, 0);
            SendCountsFor(p);
        } else {
            SendCellResult(x, y, p, 0);
        }
    }
    r.Penalty = penalty;
    r.Errors += errorStep;
    r.Found += foundStep;
    if (r.Penalty > 0)
        SendBlink(x, y, z, p);
    if (penalty != 0) {
        SendPenalty(p);
        if (penalty < 0 && !Form1->SinglePlayerGame)
            SendGameOver(p);
    }
    SendStats(p);
    if (CheckGameOver(p)) {
        ScoreGame();
        SendEndOfGame();
    }
}

bool TNETZ::CheckGameOver(int p)
{
    TPlayerRecord *table = PlayerSlots();
    if (!Form1 || !FormFeld || !table)
        return false;
    const bool ghost = ghostGame();
    bool over = false;
    // The layer of the player the entry or logoff was about; without one
    // (a player number outside 1..8) only the players left decide.
    if (isSlot(p) || !ownBoards()) {
        int open = 0;
        int freeAll = 0;
        int wrong = 0;
        FormFeld->CountLayer(countedLayer(p), open, freeAll, wrong);
        const int left = ghost ? freeAll : open;
        over = left == 0;
        if (traceOn(9))
            TraceCat(9, QStringLiteral("Es sind noch %1 Felder frei").arg(left));
    }

    int inGame = 0;
    int last = 0;
    for (int q = 1; q <= 8; ++q)
        if (table[q].Active && !table[q].GameOver) {
            ++inGame;
            last = q;
        }
    if (traceOn(9))
        TraceCat(9, QStringLiteral("Es sind noch %1 Spieler dabei").arg(inGame));
    if (inGame == 0 || (ghost && table[1].GameOver))
        over = true;

    if (FormCha && FormCha->TournamentActive && inGame == 1) {
        TraceCat(5, QStringLiteral("Es ist nurnoch ") + table[last].Name +
                        QStringLiteral(" über und ein Turnier ist gestartet."));
        if (!FormCha->RB1 || !FormCha->RB1->isChecked()) {
            TraceCat(5, QStringLiteral("TURNIER : Vorzeitig beenden."));
            over = true;
        }
    }
    if (over)
        Form1->GameRunning = false;
    return over;
}

void TNETZ::ScoreGame()
{
    TPlayerRecord *table = PlayerSlots();
    if (!Form1 || !table)
        return;
    const bool immediate = immediateEvaluation();
    const bool own = ownBoards();
    const bool ghost = ghostGame();
    const int rating = FormGO ? FormGO->GetRating() : 1;
    const bool bonusOn = FormGO && FormGO->HasMarkBonus();
    const int maxMarks = FormGO ? FormGO->Values().MaxMarks : 0;

    auto traceSlot = [&](const TPlayerRecord &r, bool withMarks) {
        QString line = QStringLiteral("%1 : Pkt(%2) Found(%3) Error(%4) Bonus(%5) Frei(%6) Login(%7) %8(%9)")
                           .arg(r.Name)
                           .arg(r.Points)
                           .arg(r.Found)
                           .arg(r.Errors)
                           .arg(r.Bonus)
                           .arg(r.FreeCells)
                           .arg(BoolToTF(r.Active), withMarks ? QStringLiteral("GameOver") : QStringLiteral("Gameover"),
                                BoolToTF(r.GameOver));
        if (withMarks)
            line += QStringLiteral(" usedM(%1)").arg(r.UsedMarks);
        TraceLine(line);
    };

    TraceLine(QStringLiteral("Auswertung starten Eingangswerte"));
    for (int p = 1; p <= 8; ++p)
        if (table[p].Active)
            traceSlot(table[p], true);

    if (!immediate)
        TraceLine(QStringLiteral("Fehlerprüfung nach letztem Feld"));
    for (int p = 1; p <= 8; ++p) {
        TPlayerRecord &r = table[p];
        if (!r.Active)
            continue;
        if (immediate)
            TraceLine(QStringLiteral("Fehlerprüfung sofort Quelle(%1)").arg(own ? p : 0));
        const TCellCount n = CountScoredCells(Form1->Boards, p, immediate, own, ghost);
        r.Points = 0;
        r.Bonus = 0;
        r.Found = n.Found;
        r.FreeCells = n.Free;
        // With evaluation at once the errors were counted entry by entry.
        if (!immediate)
            r.Errors = n.Errors;
    }

    TraceLine(QStringLiteral("Auswertung Teil 1"));
    for (int p = 1; p <= 8; ++p)
        if (table[p].Active)
            traceSlot(table[p], false);

    int winner = 0;
    if (FormCha && FormCha->TournamentActive && FormCha->RB2 && FormCha->RB2->isChecked()) {
        int complete = 0;
        for (int p = 1; p <= 8 && complete == 0; ++p)
            if (table[p].Active && table[p].FreeCells == 0)
                complete = p;
        if (complete != 0) {
            TraceCat(5, QStringLiteral("Turnier: Spieler(%1) hat alle Felder gefunden.").arg(complete));
        } else {
            TraceCat(5, QStringLiteral("Turnier: keiner hat alle Felder gefunden."));
            for (int p = 8; p >= 1 && winner == 0; --p)
                if (table[p].Active && !table[p].GameOver)
                    winner = p;
            if (winner != 0)
                TraceCat(5,
                         QStringLiteral("TURNIER : %1 ist der letzte verbleibende Spieler.").arg(table[winner].Name));
        }
    }

    TraceLine(QStringLiteral("Auswertung"));
    for (int p = 1; p <= 8; ++p) {
        TPlayerRecord &r = table[p];
        if (!r.Active)
            continue;
        r.Bonus = MarkBonusPoints(bonusOn, maxMarks, r.UsedMarks, r.Found);
        const int base = r.Found + (p == winner ? r.FreeCells : 0);
        TraceLine(QStringLiteral("%1 : vorab(%2) Bonus(%3) ").arg(r.Name).arg(base).arg(r.Bonus));
        r.Points = PointsForGame(rating, base, r.Bonus, r.Errors);
        TraceLine(QStringLiteral("%1 : Pkt(%2) Found(%3) Error(%4) Bonus(%5) Frei(%6)")
                      .arg(r.Name)
                      .arg(r.Points)
                      .arg(r.Found)
                      .arg(r.Errors)
                      .arg(r.Bonus)
                      .arg(r.FreeCells));
        SendStats(p);
    }
}
