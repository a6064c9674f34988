// The protocol's senders and handlers, by the part of the game they serve.
// The dispatcher (UNETZ_Transport.cpp) hands each received telegram to the
// handler its kind names in the table in UNETZ.cpp; a sender fills Tel and
// hands it to the sender pattern (SendToAll, SendToPlayer, SendToServer,
// SendDatagram), which also runs the local path while the listener is off.
#include "net/UNETZ.h"

#include "core/ULog.h"
#include "core/UQuadrivo.h"

// ---- discovery, login, player numbers, logoff, chat ---------------------------

void TNETZ::SendSearch(const QString &) {}
void TNETZ::OnSearch(bool, const QString &) {}
void TNETZ::SendLogin(const QString &) {}
void TNETZ::OnLogin(bool, const QString &) {}
void TNETZ::SendPlayerIds() {}
void TNETZ::OnPlayerId() {}
void TNETZ::SendLogoff() {}
void TNETZ::OnLogoff(const QString &) {}
void TNETZ::SendServerLogoff() {}
void TNETZ::OnServerLogoff() {}
void TNETZ::SendGameEnded() {}
void TNETZ::OnGameEnded() {}
void TNETZ::BecomeHost() {}
void TNETZ::SendChat(const QString &, const QString &) {}
void TNETZ::OnChat(const QString &) {}

// ---- game start, symbols, options -------------------------------------------

void TNETZ::SendSymbols() {}
void TNETZ::OnSymbols() {}
void TNETZ::EncodeOptions() {}
void TNETZ::SendOptions() {}
void TNETZ::OnOptions() {}
void TNETZ::StartNetworkGame() {}
void TNETZ::OnStartPhase() {}
void TNETZ::OnReady() {}
void TNETZ::StartTimerTimer() {}
void TNETZ::ResetPlayerStats() {}
void TNETZ::ResetBoardCells() {}

// ---- host judging, results, scoring -----------------------------------------

void TNETZ::EnterNumber(int x, int y, int digit)
{
    Tel.Aktion = akEntry;
    Tel.x = x;
    Tel.y = y;
    Tel.z = digit;
    Tel.Gid = MyPlayerNo;
    Tel.Data = 0;
    TraceCat(1, QStringLiteral("Habe Zahl (%1,%2):%3 eingegeben.").arg(x).arg(y).arg(digit));
    SendToServer();
}

void TNETZ::EnterGhostNumber(int x, int y, int player, int digit)
{
    // The ghost replay plays on the host itself: judged at once.
    Tel.Aktion = akEntry;
    Tel.x = x;
    Tel.y = y;
    Tel.z = digit;
    Tel.Gid = player;
    Tel.Data = 0;
    EvaluateEntry();
}

void TNETZ::SendCellResult(int, int) {}
void TNETZ::SendBlink(int, int, int, int) {}
void TNETZ::SendStats(int) {}
void TNETZ::SendPenalty(int) {}

void TNETZ::SendCounts(int, int &open, int &wrong)
{
    open = 0;
    wrong = 0;
}

void TNETZ::SendCountsFor(int p)
{
    int open = 0;
    int wrong = 0;
    SendCounts(p, open, wrong);
}

void TNETZ::SendGameOver(int) {}
void TNETZ::SendWrongSolution(int) {}
void TNETZ::ClearCells(int, int) {}

void TNETZ::SendUsedMarks(int n)
{
    Tel.Aktion = akUsedMarks;
    Tel.x = n;
    Tel.Gid = MyPlayerNo;
    Tel.Data = 0;
    SendToServer();
}

void TNETZ::SendUsedMarks()
{
    if (Form1 && MyPlayerNo >= 1 && MyPlayerNo <= 8)
        SendUsedMarks(Form1->Players[MyPlayerNo].UsedMarks);
}

void TNETZ::SendBingo() {}
void TNETZ::SendEndOfGame() {}
void TNETZ::EvaluateEntry() {}
void TNETZ::OnCellResult() {}
void TNETZ::OnBlink() {}
void TNETZ::OnStats() {}
void TNETZ::OnPenalty() {}
void TNETZ::OnCounts() {}
void TNETZ::OnGameOver() {}
void TNETZ::OnWrongSolution() {}
void TNETZ::OnClearCells() {}
void TNETZ::OnUsedMarks() {}
void TNETZ::OnBingo() {}
void TNETZ::OnEndOfGame() {}
bool TNETZ::CheckGameOver()
{
    return false;
}
void TNETZ::ScoreGame() {}

// ---- tournament data ----------------------------------------------------------

void TNETZ::SendTournamentData(int) {}
void TNETZ::OnTournamentData() {}
