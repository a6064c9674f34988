// The result handlers: every machine shows what the host judged.
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

// ---- result handlers (every machine) ----------------------------------------------

void TNETZ::OnCellResult()
{
    const int x = Tel.x;
    const int y = Tel.y;
    const int z = Tel.z;
    const int a = Tel.a;
    const int g = Tel.Gid;
    if (traceOn(2))
        TraceCat(2, QStringLiteral("Erhalte(%1,%2)=%3 Feld ist von %4").arg(x).arg(y).arg(z).arg(g));
    TPlayerRecord *table = PlayerSlots();
    if (!Form1 || !table || !IsBoardIndex(x) || !IsBoardIndex(y) || !IsBoardIndex(z) || !(g == -1 || isSlot(g)))
        return;
    // A wrong digit (the one that put its player out) is shown, not kept:
    // the cell stays open on the player's layer, so no count takes it for
    // filled or found, and the host's layer, which the judging already left
    // open, stays as judged.
    const bool wrong = a == kWrongDigitColor;
    if (g != -1) {
        Form1->Boards[g][x][y].Value = z;
        Form1->Boards[g][x][y].State = wrong ? 0 : g;
    } else {
        for (int p = 1; p <= 8; ++p)
            if (table[p].Active) {
                Form1->Boards[p][x][y].Value = z;
                Form1->Boards[p][x][y].State = -1;
            }
    }
    // A result always shows its digit instead of the pencil marks.
    TCellView &cv = Form1->Cells[x][y];
    DrawCell(x, y, false);
    cv.ShowMarks = 0;
    cv.DigitLabel.SetCaption(SymbolOfDigit(z));
    cv.DigitColor = a;
    cv.DigitLabel.SetFontColor(ColorFromBGR(a));
    if (wrong) {
        // Nobody found it: no find highlight in the player's colour, and a
        // blink still running would write its own digit over this one.
        cv.BlinkTicks = 0;
        cv.HighlightTicks = 0;
        cv.Owner = -1;
    } else {
        if (g != -1)
            cv.HighlightTicks = Form1->SinglePlayerGame ? 1 : 7;
        cv.Owner = g;
    }
    if (Form1->brett->isVisible())
        PlayPointSound();
}

void TNETZ::OnBlink()
{
    const int x = Tel.x;
    const int y = Tel.y;
    const int z = Tel.z;
    const int g = Tel.Gid;
    if (!Form1 || !IsBoardIndex(x) || !IsBoardIndex(y) || !IsBoardIndex(z))
        return;
    if (isSlot(MyPlayerNo)) {
        const int owner = Form1->Boards[MyPlayerNo][x][y].State;
        // A cell that shows a digit (the own find, or the own wrong digit
        // that put this player out) has no mark to blink: the blink would
        // only write another player's digit over it.
        if (owner == MyPlayerNo || Form1->Cells[x][y].ShowMarks == 0) {
            TraceCat(9, QStringLiteral("PM005 : Blinken wurde unterdrückt x,y(%1,%2) GamerID(%3) owner(%4)")
                            .arg(x)
                            .arg(y)
                            .arg(g)
                            .arg(owner));
            return;
        }
    }
    TCellView &cv = Form1->Cells[x][y];
    cv.BlinkTicks = 6;
    // The blink reads its digit back from the caption, as a number.
    cv.DigitLabel.SetCaption(QString::number(z));
}

void TNETZ::OnStats()
{
    TPlayerRecord *table = PlayerSlots();
    const int g = Tel.Gid;
    if (!table || !isSlot(g))
        return;
    // The local path hands its telegrams over without the receiver's check.
    if (!TelegramFieldsInRange(Tel)) {
        TraceCat(0, QStringLiteral("ERROR: Statistik Pkt(%1) Found(%2) Error(%3) Bonus(%4) von Spieler %5 ignoriert")
                        .arg(Tel.x)
                        .arg(Tel.y)
                        .arg(Tel.z)
                        .arg(Tel.a)
                        .arg(g));
        return;
    }
    TPlayerRecord &r = table[g];
    r.Points = Tel.x;
    r.Found = Tel.y;
    r.Errors = Tel.z;
    // The bonus is not a penalty: copying it there would reset the rising
    // penalties of rating 2 with every statistics telegram.
    r.Bonus = Tel.a;
    if (r.SampleCount >= 0 && r.SampleCount < kSampleCapacity) {
        TProgressSample &s = r.Samples[r.SampleCount];
        s.Time = Form1 ? GameTenthsAt(PerfCounter(), Form1->GameStartCount, Form1->CountsPerTenth, 0) : 0;
        s.Found = r.Found;
        ++r.SampleCount;
    }
    if (Form1)
        Form1->UpdatePlayerTable();
}

void TNETZ::OnPenalty()
{
    const int x = Tel.x;
    const int y = Tel.y;
    const int g = Tel.Gid;
    TraceCat(1, QStringLiteral("Spieler:%1 erhält eine Strafzeit(%2).").arg(g).arg(x));
    TPlayerRecord *table = PlayerSlots();
    if (!Form1 || !table || !isSlot(g))
        return;
    // -1 (out) and -2 (logged off) are the only states below zero.
    if (x < -2) {
        TraceCat(0, QStringLiteral("ERROR: Status %1 von Spieler %2 ignoriert").arg(x).arg(g));
        return;
    }
    TPlayerRecord &r = table[g];
    if (x < 0)
        r.GameOver = true;
    if (x == -2)
        r.Active = false;
    if (g != MyPlayerNo) {
        if (x > 0)
            r.WaitSeconds = x;
    } else if (x == -1) {
        if (!Form1->SinglePlayerGame) {
            if (FormMeld) {
                FormMeld->Dauer = 15;
                FormMeld->ShowBigText(QStringLiteral("Spielende"));
            }
            r.WaitSeconds = 0;
        }
        PlayGameOverSound();
    } else if (x == -2) {
        r.WaitSeconds = 0;
    } else if (x > 0) {
        if (Form1->SinglePlayerGame) {
            Form1->ClockPenaltySeconds += x;
            r.Errors = y;
        } else {
            r.Penalty = x;
            r.Errors = y;
            r.WaitSeconds = x;
            Form1->brett->hide();
        }
        PlayWrongSound();
    }
    Form1->UpdatePlayerTable();
}

void TNETZ::OnCounts()
{
    TPlayerRecord *table = PlayerSlots();
    const int g = Tel.Gid;
    if (!table || g < 0 || g > 8)
        return;
    const bool ghost = ghostGame();
    // The local path hands its telegrams over without the receiver's check.
    if (!TelegramFieldsInRange(Tel)) {
        TraceCat(0, QStringLiteral("ERROR: Anzahl a(%1) b(%2) z(%3) von Spieler %4 ignoriert")
                        .arg(Tel.a)
                        .arg(Tel.b)
                        .arg(Tel.z)
                        .arg(g));
        return;
    }
    const int v = ghost ? Tel.z : Tel.a;
    if (g != 0 && !ghost) {
        table[g].FreeCells = v;
    } else {
        for (int p = 1; p <= 8; ++p)
            if (table[p].Active)
                table[p].FreeCells = v;
    }
}

void TNETZ::OnGameOver()
{
    TPlayerRecord *table = PlayerSlots();
    const int g = Tel.Gid;
    if (!table || !isSlot(g) || !FormMeld)
        return;
    FormMeld->Dauer = 20;
    FormMeld->ShowText(QStringLiteral("%1 ist Game Over.").arg(table[g].Name));
}

void TNETZ::OnWrongSolution()
{
    if (FormMeld)
        FormMeld->AskClearWrongSolution();
}

void TNETZ::OnClearCells()
{
    const int x = Tel.x;
    const int y = Tel.y;
    const int g = Tel.Gid;
    if (!Form1 || !isSlot(g) || x < 0 || x > 9 || y < 0 || y > 9)
        return;
    // A judged cell is final: with evaluation at once no player clears
    // anything, so such a telegram would only let found cells count twice.
    if (MyPlayerNo != 1 || !Form1->GameRunning || immediateEvaluation()) {
        TraceCat(0, QStringLiteral("ERROR: Löschen von Spieler %1 ignoriert").arg(g));
        return;
    }
    if (x != 0 && y != 0) {
        clearCell(Form1->Boards[g][x][y]);
    } else {
        for (int cy = 1; cy <= 9; ++cy)
            for (int cx = 1; cx <= 9; ++cx)
                clearCell(Form1->Boards[g][cx][cy]);
    }
    SendCountsFor(g);
}

void TNETZ::OnUsedMarks()
{
    TPlayerRecord *table = PlayerSlots();
    const int g = Tel.Gid;
    if (table && isSlot(g) && Tel.x >= 0 && Tel.x <= 9)
        table[g].UsedMarks = Tel.x;
}

void TNETZ::OnBingo()
{
    const QString text = Tel.Text();
    TraceCat(4, QStringLiteral("BINGO:") + text);
    if (!Form1 || !FormBingo)
        return;
    FormBingo->DrawNumbers = Tel.x == 1;
    const int n = int(text.size()) / 3;
    TBingoList &offer = FormBingo->BingoList;
    offer.OfferValues = text.mid(0, n);
    offer.OfferX = text.mid(n, n);
    offer.OfferY = text.mid(2 * n, n);

    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            TCellView &cv = Form1->Cells[x][y];
            if (!cv.BingoMark)
                continue;
            cv.BingoMark = 0;
            if (FormOpt)
                for (int d = 1; d <= 9; ++d) {
                    TMarkEntry &m = cv.Mark(d);
                    m.Image.SetPicture(m.State == 1   ? FormOpt->org1Merker
                                       : m.State == 2 ? FormOpt->org2Merker
                                                      : FormOpt->orgNoMerker);
                }
            DrawCell(x, y, cv.ShowMarks != 0);
        }
    for (int i = 0; i < n; ++i) {
        const int x = offer.OfferX[i].unicode() - u'0';
        const int y = offer.OfferY[i].unicode() - u'0';
        if (!IsBoardIndex(x) || !IsBoardIndex(y))
            continue;
        Form1->Cells[x][y].BingoMark = 1;
        DrawCell(x, y, Form1->Cells[x][y].ShowMarks != 0);
    }
    ShowBingoNumbers(offer.OfferValues);
}

void TNETZ::OnEndOfGame()
{
    TPlayerRecord *table = PlayerSlots();
    if (!Form1 || !table)
        return;
    if (FormBingo && FormBingo->isVisible())
        FormBingo->close();
    for (int p = 1; p <= 8; ++p)
        table[p].WaitSeconds = 0;
    Form1->GameRunning = false;
    ClearBingoList();
    if (FormSpielEnde)
        FormSpielEnde->TablePending = true;
    if (FormCha && FormCha->TournamentActive) {
        TraceCat(5, QStringLiteral("TURNIER: Schreibe Daten"));
        SaveStageResultsAllLink();
    } else if (FormCha && FormCha->ChallengeActive) {
        TraceCat(9, QStringLiteral("CHALLENGE: Schreibe Daten"));
        SaveStageResultLink(FormCha->StageNr, table[1].Points, Form1->ElapsedTenths, table[1].Errors);
    } else if (ghostGame() && CountFreeCells(Form1->Boards) == 0) {
        FormGhost->SaveGhostResult();
    }
    // The results are written; who left during the round leaves the table
    // now, so the end table shows the players still there, as on every
    // machine.
    CloseUpLeftPlayers();
    if (FormSpielEnde)
        FormSpielEnde->ShowGameEnd();
}
