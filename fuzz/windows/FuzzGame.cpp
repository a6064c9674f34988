#include "FuzzGame.h"

#include "net/GameSupport.h"

#include <QApplication>

namespace {
void resetState()
{
    TTestFixture &fx = FuzzWindows();
    fx.Dialogs.Shown.clear();
    ClearGameState();
    Form1->StopRequested = false;
    Form1->Paused = false;
    Trace->LogBox->clear();
    Form1->ChatBox->clear();
    Form1->ResetPlayers();
    NETZ->MyPlayerNo = 0;
}

bool hostGame(int players, bool start)
{
    BecomeHostOf(players, false);
    Form1->HostsNetworkGame = true;
    Form1->LoadPuzzleString(PuzzleWithOpenCells(5));
    Form1->SymbolSet = QStringLiteral("123456789");
    if (!start)
        return true;
    OpenHostedGame(players);
    NETZ->StartTimer->stop();
    for (int i = 0; i < 20 && !Form1->GameRunning; ++i) {
        TTestFixture::Now += kSecond;
        NETZ->StartTimerTimer();
    }
    return Form1->GameRunning;
}
} // namespace

bool FuzzEnterRole(TFuzzRole role)
{
    resetState();
    switch (role) {
    case TFuzzRole::Idle:
        return true;
    case TFuzzRole::Client:
        FillSlot(1, QStringLiteral("Gastgeber"), QStringLiteral("127.0.0.1"));
        FillSlot(2, QStringLiteral("Ich"), QStringLiteral("127.0.0.2"));
        NETZ->MyPlayerNo = 2;
        Form1->SinglePlayerGame = false;
        FormStart->PlayMode = 20;
        return true;
    case TFuzzRole::HostLobby:
        return hostGame(3, false);
    case TFuzzRole::HostGame:
        return hostGame(3, true);
    }
    return false;
}

void FuzzPlaySequence(TFuzzReader &in)
{
    // At most this many steps, so that one input stays quick.
    for (int step = 0; step < 64 && !in.AtEnd(); ++step) {
        const uint8_t op = in.Byte();
        switch (op % 8) {
        case 0:
            TTestFixture::Now += int64_t(in.Byte()) * 10000000LL;
            NETZ->SendTimerTimer();
            break;
        case 1:
            TTestFixture::Now += int64_t(in.Byte()) * 10000000LL;
            Form1->MsgTimerTimer();
            Form1->BlinkenTimer();
            break;
        case 2:
            TTestFixture::Now += 1000000000LL;
            Form1->WartezeitTimerTimer();
            if (NETZ->StartTimer->isActive())
                NETZ->StartTimerTimer();
            break;
        default: {
            // Peers 1..8 are the table's addresses, 9 a stranger.
            const QString peer = QStringLiteral("127.0.0.%1").arg(1 + (op >> 3) % 9);
            NETZ->UDPEmpfUDPRead(in.Piece(96), peer);
            break;
        }
        }
    }
    // Dialogs a handler opened would pile up over a long run.
    FuzzWindows().Dialogs.Shown.clear();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
