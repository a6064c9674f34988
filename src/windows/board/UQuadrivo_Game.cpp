// Game flow and game clock of the main window: the one start of every game,
// pause and resume, the ways a game is stopped, the 100 ms clock and the
// penalty countdown.
#include "board/UQuadrivo.h"

#include "board/UMeldung.h"
#include "board/UQuadrivo_Game.h"
#include "codes/UQuadrivo_Codes.h"
#include "competitions/UChallenge.h"
#include "competitions/Ughost.h"
#include "net/UNETZ.h"
#include "net/UWebForm.h"
#include "print/UDrucken.h"
#include "screens/UGameOptionen.h"
#include "screens/UInfo.h"
#include "screens/UOptionen.h"
#include "screens/UStart.h"
#include "settings/USonstiges.h"
#include "settings/USystem.h"
#include "solver/UBingo.h"
#include "solver/USolver.h"
#include "ui/DialogService.h"

// ---- calls into windows that do not offer them yet ----------------------------
// Each keeps the place of its call, so wiring it in is a change of one line.

namespace {
// The challenge window's stage registration (challenge: the own result
// 0*0*0 after its checksum test; tournament: 0*0*0 for every player), so a
// started stage counts as played even when the game is abandoned.
bool registerStage(bool challenge)
{
    if (!FormCha)
        return false;
    return challenge ? FormCha->SaveStageResult(FormCha->StageNr, 0, 0, 0) : FormCha->RegisterStageAll();
}


// The internet client's 50 ms poll.
void stopInternetPoll()
{
    if (WEBForm)
        WEBForm->Timer->SetEnabled(false);
}

int ownPlayerNo()
{
    return NETZ ? NETZ->MyPlayerNo : 0;
}

int gameKind()
{
    return FormStart ? FormStart->GameKind : 0;
}

// The print window takes the board's place; closing it brings the board back.
void closePrintWindow()
{
    if (FormDrucken && FormDrucken->isVisible()) {
        FormDrucken->close();
        Form1->brett->show();
    }
}

void closeHintWindow()
{
    if (FormSolver && FormSolver->isVisible())
        FormSolver->hide();
}

// Whether to abandon the game under way. While the player decides, a single
// game stands still as in a pause, so the clock and the ghost replay hold;
// in a network game the others play on, and a game that ends meanwhile takes
// the question back. "Ja" counts only for a game that still runs.
bool askAbandonGame(const char *text)
{
    TForm1 *f = Form1;
    const bool hold = f->SinglePlayerGame && f->GameRunning && !f->Paused;
    if (hold) {
        f->Paused = true;
        f->PauseStartCount = PerfCounter();
    }
    const int answer = AskGameQuestion(QString::fromUtf8(text), TMsgDlgType::Information, TMsgDlgButtons::YesNo);
    if (hold && f->Paused) {
        f->Paused = false;
        f->GameStartCount += PerfCounter() - f->PauseStartCount;
    }
    return answer == mrYes && f->GameRunning;
}

void closeStartWindow()
{
    if (FormStart && FormStart->isVisible())
        FormStart->close();
}

// A puzzle that does not fill 81 cells with the puzzle letters would put
// digits outside 1..9 on the board.
bool isPuzzleText(const QString &puzzle)
{
    if (puzzle.size() != 81)
        return false;
    for (QChar c : puzzle)
        if (!IsPuzzleLetter(c))
            return false;
    return true;
}

// The options of a stage, through the setters of the game options.
void applyOptionsCode(const QString &code, bool inChallenge)
{
    const TOptionsCodeValues v = DecodeOptionsCode(code, inChallenge);
    if (v.GameType > 0)
        FormGO->SetGameType(v.GameType);
    if (v.Evaluation >= 0)
        FormGO->SetEvaluation(v.Evaluation);
    if (v.Level != -1)
        FormGO->SetLevel(v.Level);
    if (v.Rating != -1)
        FormGO->SetRating(v.Rating);
    if (v.MaxMarks != -1)
        FormGO->SetMaxMarks(v.MaxMarks);
}

// Every stored puzzle is shown rotated and relabelled anew at each start.
void shuffleBoard(TForm1 *f)
{
    f->ApplyRotationCode(MakeRandomRotationCode());
    f->ApplyDigitMap(MakeRandomDigitMap());
}
} // namespace

// ---- the main window ---------------------------------------------------------------

int64_t TForm1::GameTimeTenths() const
{
    return GameTenthsAt(PerfCounter(), GameStartCount, CountsPerTenth, ClockPenaltySeconds);
}

bool TForm1::IsHintAllowed() const
{
    return IsHintAllowedFor(SinglePlayerGame, gameKind(), IsBingoActive(), FormGO ? FormGO->Values().SymbolKind : 0);
}

void TForm1::UpdateHintButton()
{
    BTC_Tipp->setEnabled(IsHintAllowed());
}

void TForm1::StartGame()
{
    const bool challenge = FormCha && FormCha->ChallengeActive;
    const bool tournament = FormCha && FormCha->TournamentActive;
    if (challenge && FormGO->HasMarkBonus()) {
        MessageDlg(QStringLiteral("Im Challengemodus ist kein Bonus möglich.\n\rBonus wird abgestellt."),
                   TMsgDlgType::Information, TMsgDlgButtons::OK);
        FormGO->SetMarkBonus(0);
    }

    // A game that ended while paused hands neither its pause nor its pause
    // stamp to the next one: resuming that stamp would set the clock back.
    if (Paused && FormMeld)
        FormMeld->hide();
    Paused = false;
    const int kind = gameKind();
    BTC_Pause->setEnabled(kind >= 1 && kind <= 4);
    BTC_Weiter->setEnabled(false);
    UpdateHintButton();

    FileBox->Update();
    SymbolSet.clear();

    if (!challenge && !tournament) {
        if (FormGhost && FormGhost->GhostMode) {
            InitSymbolSet();
            // A file that cannot be played starts nothing.
            if (!FormGhost->LoadGhostGame())
                return;
            FormGhost->SetupGhostPlayers();
            shuffleBoard(this);
        } else if (!PrepareNewGame()) {
            FormGO->show();
            return;
        }
    } else {
        const QString code = FormCha->StageGameCode;
        const QString puzzle = code.left(81);
        if (!isPuzzleText(puzzle)) {
            MessageDlg(QStringLiteral("Die Etappe enthält kein gültiges Sudoku.\r\nDas Spiel wird nicht gestartet."),
                       TMsgDlgType::Error, TMsgDlgButtons::OK);
            return;
        }
        // The symbols follow the game type in force before the stage's own
        // options arrive; the start sequence hands them to every player.
        InitSymbolSet();
        applyOptionsCode(code.mid(81, 5), challenge);
        LoadPuzzleString(puzzle);
        shuffleBoard(this);
    }

    if ((challenge || tournament) && !registerStage(challenge)) {
        MessageDlg(QStringLiteral("Datei ungültig.\r\nDaten werden nicht gespeichert!"), TMsgDlgType::Information,
                   TMsgDlgButtons::OK);
        return;
    }

    // A stage may have changed the game type.
    UpdateHintButton();
    NETZ->SendSymbols();
    NETZ->SendOptions();
    NETZ->StartNetworkGame();
}

// A stop during the start countdown must also end the countdown, or the
// stopped game would still begin at phase 0 and the host would refuse logins.
// The start's notices ("Lade...", "Sync...", the countdown) go with it; they
// have no display time of their own. A notice that has one (the host's
// logoff) stays its time.
static void cancelPendingStart()
{
    if (NETZ && NETZ->StartTimer)
        NETZ->StartTimer->SetEnabled(false);
    if (Form1 && Form1->GameStarting) {
        Form1->GameStarting = false;
        if (FormMeld && FormMeld->Dauer == 0)
            FormMeld->hide();
    }
}

void TForm1::StopGameLocal()
{
    cancelPendingStart();
    if (Paused && FormMeld)
        FormMeld->hide();
    if (FormBingo && FormBingo->isVisible())
        FormBingo->close();
    if (NETZ)
        NETZ->SetListenerActive(false);
    Paused = false;
    GameRunning = false;
    HostsNetworkGame = false;
}

// A client stays in the host's game: closing the results is not leaving,
// and the host's next start counts on it. Leaving is LeaveGame.
void TForm1::FinishGame()
{
    cancelPendingStart();
    GameRunning = false;
    ClearBingoList();
    if (FormBingo)
        FormBingo->close();
    const QString host = Players[1].Address;
    const bool isHost = (NETZ && NETZ->IsSelfHost()) || (!host.isEmpty() && FormOpt && FormOpt->SelfIp->text() == host);
    if (isHost) {
        if (NETZ)
            NETZ->SendGameEnded();
    } else {
        HostsNetworkGame = false;
    }
    // Who left during the round leaves the table with it.
    if (NETZ)
        NETZ->CloseUpLeftPlayers();
    UpdatePlayerTable();
}

void TForm1::LeaveGame()
{
    FinishGame();
    if (FormMeld) {
        FormMeld->Dauer = 0;
        FormMeld->hide();
    }
    if (NETZ) {
        NETZ->SendLogoff();
        NETZ->MyPlayerNo = 0;
    }
    ResetPlayers();
    UpdatePlayerTable();
}

void TForm1::WaitForHostsNextGame()
{
    Panel_Menue->resize(Panel_Menue->width(), 44);
    Panel_Menue->show();
    // "Spiel beenden" leaves the host's game, as it does after a login.
    BTC_Spiel_Ende->setEnabled(true);
    if (FormMeld) {
        FormMeld->Dauer = 0;
        FormMeld->ShowText(QStringLiteral("Auf weitere Spieler warten,\n\rSpieler 1 startet das Spiel."));
    }
}

void TForm1::ShowStartScreen()
{
    Panel_Menue->resize(Panel_Menue->width(), 0);
    brett->hide();
    BTC_Spiel_Ende->setEnabled(false);
    if (FormStart)
        FormStart->show();
}

void TForm1::StopGameDeferred()
{
    cancelPendingStart();
    HostsNetworkGame = false;
    GameRunning = false;
    // The played cells go grey; a board already put away stays away.
    const bool boardShown = !brett->isHidden();
    ResetChangedCells();
    if (!boardShown)
        brett->hide();
    if (NETZ && NETZ->MyPlayerNo != 0)
        NETZ->SendLogoff();
    ResetPlayers();
    if (NETZ) {
        NETZ->MyPlayerNo = 0;
        NETZ->SetListenerActive(false);
    }
}

void TForm1::MsgTimerTimer()
{
    if (StopRequested) {
        StopGameDeferred();
        StopRequested = false;
    }
    // Whatever ended the game, a question about it has no game left to ask about.
    if (!GameRunning)
        WithdrawGameQuestion();
    // Ten ticks a second: a label is touched only when its text changes, so
    // an idle window lays out and paints nothing.
    auto setIfChanged = [](QLabel *label, const QString &text) {
        if (label->text() != text)
            label->setText(text);
    };
    const QString title = QStringLiteral("Quadrivo ");
    if (windowTitle() != title)
        setWindowTitle(title);
    if (GameRunning && !Paused) {
        ElapsedTenths = GameTimeTenths();
        if (ownPlayerNo() != 0)
            setIfChanged(Zeit, FormatTenths(ElapsedTenths));
    }
    if (FormStart) {
        QString text;
        if (PlayModeText(FormStart->PlayMode, text))
            setIfChanged(modus_label, text);
        setIfChanged(Spiel_Label, GameKindText(FormStart->GameKind));
    }
}

void TForm1::WartezeitTimerTimer()
{
    const int me = ownPlayerNo();
    for (int p = 1; p <= 8; ++p) {
        TPlayerRecord &r = Players[p];
        if (!r.Active || r.WaitSeconds <= 0)
            continue;
        --r.WaitSeconds;
        // Once the game is over (it ended, or the host ended it) the rest
        // of a penalty only counts down in the table: its notice would
        // cover the one that told the end, and the board it gives back
        // belongs to a game that no longer runs.
        if (me == 0 || r.PlayerNo != me || !GameRunning)
            continue;
        if (r.WaitSeconds > 0) {
            if (FormMeld) {
                FormMeld->Dauer = 0;
                FormMeld->ShowPenalty(r.WaitSeconds);
            }
        } else {
            brett->show();
            if (FormMeld)
                FormMeld->hide();
        }
    }
    UpdatePlayerTable();
}

void TForm1::BTC_PauseClick()
{
    if (HelpCursor == -20) {
        if (FormInfo)
            FormInfo->ShowHelp(9);
        return;
    }
    // A second pause would overwrite the stamp of the first.
    if (!GameRunning || Paused)
        return;
    closePrintWindow();
    Paused = true;
    PauseStartCount = PerfCounter();
    brett->hide();
    if (FormMeld) {
        FormMeld->Dauer = 0;
        FormMeld->ShowBigText(QStringLiteral("Pause"));
    }
    BTC_Tipp->setEnabled(false);
    BTC_Pause->setEnabled(false);
    BTC_Weiter->setEnabled(true);
}

void TForm1::BTC_WeiterClick()
{
    // Only a pause has a stamp to resume from.
    if (!Paused)
        return;
    Paused = false;
    GameStartCount += PerfCounter() - PauseStartCount;
    if (FormMeld)
        FormMeld->hide();
    brett->show();
    UpdateHintButton();
    BTC_Pause->setEnabled(true);
    BTC_Weiter->setEnabled(false);
}

void TForm1::BTC_TippClick(QObject *sender)
{
    if (HelpCursor == -20 && sender != TippOn1) {
        if (FormInfo)
            FormInfo->ShowHelp(8);
        return;
    }
    closePrintWindow();
    if (GameRunning && BTC_Tipp->isEnabled() && FormSolver)
        FormSolver->ShowTipp();
}

void TForm1::BTC_Spiel_EndeClick()
{
    closeHintWindow();
    closePrintWindow();
    if (HelpCursor == -20) {
        if (FormInfo)
            FormInfo->ShowHelp(10);
        return;
    }
    // In the editor no game runs: the button leaves the editor as its own
    // "Editor beenden" does, so the next game is not played in editor mode.
    if (EditorMode) {
        LeaveEditor();
        BTC_Spiel_Ende->setEnabled(false);
        if (FormStart)
            FormStart->show();
        return;
    }

    if (WEBForm && WEBForm->LoggedIn) {
        brett->hide();
        GameRunning = false;
        BTC_Spiel_Ende->setEnabled(false);
        if (NETZ)
            NETZ->MyPlayerNo = 0;
        ResetPlayers();
        stopInternetPoll();
        WEBForm->SendLogout();
        WEBForm->show();
        if (FormMeld && FormMeld->isVisible())
            FormMeld->hide();
        return;
    }

    if (SinglePlayerGame) {
        if (FormCha && FormCha->ChallengeActive) {
            if (!askAbandonGame("Challenge noch gestartet.\r\nSpiel abbrechen?"))
                return;
            closeStartWindow();
            FormCha->show();
        }
        if (FormGhost && FormGhost->GhostMode) {
            if (!askAbandonGame("Ghostspiel noch gestartet.\r\nSpiel abbrechen?"))
                return;
            FormGhost->BTC_zurueckClick();
            closeStartWindow();
            FormGhost->show();
        }
        ResetPlayers();
        StopGameLocal();
        brett->hide();
        if (NETZ)
            NETZ->MyPlayerNo = 0;
        // The start window's tab handler reads the single-player tab from this Tag.
        BTC_Spiel_Ende->Tag = 10;
        if (FormStart) {
            FormStart->Tab_EinzelspielerClick(BTC_Spiel_Ende);
            if (FormStart->GameKind != 2 && FormStart->GameKind != 3)
                FormStart->show();
        }
        BTC_Spiel_Ende->setEnabled(false);
        return;
    }

    const bool tournament = FormCha && FormCha->TournamentActive;
    if (tournament) {
        if (!askAbandonGame("Turnier noch gestartet.\r\nSpiel abbrechen?"))
            return;
        FormCha->show();
    }
    const int me = ownPlayerNo();
    for (int p = 1; p <= 8; ++p)
        if (me != 0 && Players[p].PlayerNo == me && Players[p].WaitSeconds > 0)
            Players[p].WaitSeconds = 0;
    if (FormMeld) {
        FormMeld->Dauer = 0;
        FormMeld->hide();
    }
    // The host ends the round for everybody and stays the host; a client
    // leaves the host's game.
    if (NETZ && NETZ->MyPlayerNo > 1 && !HostsNetworkGame)
        LeaveGame();
    else
        FinishGame();
    Panel_Menue->resize(Panel_Menue->width(), 0);
    brett->hide();
    if (!tournament && FormStart)
        FormStart->show();
    BTC_Spiel_Ende->setEnabled(false);
}

void TForm1::BTC_MenueClick()
{
    Panel_Menue->resize(Panel_Menue->width(), 0);
    brett->hide();
    // The notice that told the wait is about the board left behind; a timed
    // one goes by itself.
    if (FormMeld && FormMeld->Dauer == 0)
        FormMeld->hide();
    if (FormCha && FormCha->ChallengeActive) {
        FormCha->SetupChallenge();
    } else if (FormCha && FormCha->TournamentActive) {
        FormCha->SetupTournament();
    } else if (!WEBForm || !WEBForm->LoggedIn) {
        if (FormStart)
            FormStart->show();
    } else {
        ResetPlayers();
        WEBForm->show();
    }
}
