// The start of a game on every machine: the symbols, the game options, the
// start phases 6 to 0 with the board in three chunks, the ready reports and
// the countdown. In single play the same sequence runs on the local path.
#include "net/UNETZ.h"

#include "board/UFeld.h"
#include "board/ULog.h"
#include "board/UMeldung.h"
#include "board/UQuadrivo.h"
#include "board/Usounds.h"
#include "codes/UQuadrivo_Codes.h"
#include "competitions/UChallenge.h"
#include "competitions/Ughost.h"
#include "net/UNETZ_Rules.h"
#include "net/USucheSpiele.h"
#include "screens/UGameOptionen.h"
#include "screens/UOptionen.h"
#include "screens/USpielEnde.h"
#include "screens/UStart.h"
#include "screens/UVorgabe.h"
#include "settings/USystem.h"
#include "solver/UBingo.h"
#include "solver/USolver.h"

#include <QDateTime>

namespace {
constexpr int kChunkSize = 27;
constexpr int kChunkCount = 3;

bool traceOn(int category)
{
    return Trace && Trace->IsCatOn(category);
}

void showBigOverlay(const QString &text)
{
    if (!FormMeld)
        return;
    FormMeld->Dauer = 0;
    FormMeld->ShowBigText(text);
}

void hideIfShown(QWidget *w)
{
    if (w && w->isVisible())
        w->close();
}

// The options as the option window holds them now.
TGameOptionValues currentOptions()
{
    return FormGO ? FormGO->Values() : TGameOptionValues();
}

void traceOptions(const TPackedOptions &p)
{
    if (!traceOn(4))
        return;
    TraceCat(4, QStringLiteral("Merker+Bonus(%1)").arg(p.x));
    TraceCat(4, QStringLiteral("Spielart(%1)").arg(p.y));
    TraceCat(4, QStringLiteral("Feld(%1)").arg(p.z));
    TraceCat(4, QStringLiteral("Bingo(%1)").arg(p.a));
    TraceCat(4, QStringLiteral("Bewertung sofort(%1)").arg(p.b));
    TraceCat(4, QStringLiteral("Bewertung(%1)").arg(p.Gid));
}

// A board text all of whose chunks arrived: 81 puzzle letters (a chunk
// that is missing or short leaves blanks).
bool isBoardText(const QString &text)
{
    if (text.size() != kChunkSize * kChunkCount)
        return false;
    for (QChar c : text)
        if (!IsPuzzleLetter(c))
            return false;
    return true;
}

// The last chunk has arrived: the host hands every player a copy of the
// reference board to be judged on, a client loads the board it was sent;
// then every machine shows the givens on its own layer.
void placeBoard(TNETZ &net)
{
    TPlayerRecord *table = net.PlayerSlots();
    if (net.MyPlayerNo == 1) {
        if (table)
            for (int p = 1; p <= 8; ++p)
                if (table[p].Active)
                    for (int y = 1; y <= 9; ++y)
                        for (int x = 1; x <= 9; ++x) {
                            Form1->Boards[p][x][y].Value = Form1->Boards[0][x][y].Value;
                            Form1->Boards[p][x][y].State = Form1->Boards[0][x][y].State;
                        }
    } else if (isBoardText(net.BoardText)) {
        Form1->LoadPuzzleString(net.BoardText);
    } else {
        // A board we cannot read would put digits outside 1..9 on the board.
        TraceCat(0, QStringLiteral("ERROR: Ungültiges Brett empfangen <%1>").arg(net.BoardText));
        return;
    }
    const int me = net.MyPlayerNo >= 1 && net.MyPlayerNo <= 8 ? net.MyPlayerNo : 0;
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            const TGridEntry &ref = Form1->Boards[0][x][y];
            if (ref.State == 0)
                continue;
            Form1->Boards[me][x][y] = ref;
            TCellView &cv = Form1->Cells[x][y];
            DrawCell(x, y, false);
            cv.ShowMarks = 0;
            cv.DigitLabel.SetCaption(SymbolOfDigit(ref.Value));
            cv.Owner = -1;
        }
}
} // namespace

// ---- symbols ---------------------------------------------------------------------

void TNETZ::SendSymbols()
{
    const QString symbols = Form1 ? Form1->SymbolSet : QString();
    TraceCat(1, QStringLiteral("Sende Übersetzung <") + symbols + QStringLiteral(">"));
    Tel = TTelegram();
    Tel.Aktion = akSymbols;
    Tel.Gid = -1;
    Tel.Data = 1;
    Tel.SetText(symbols);
    SendToAll();
}

void TNETZ::OnSymbols()
{
    if (!Form1)
        return;
    Form1->SymbolSet = Tel.Text();
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            TCellView &cv = Form1->Cells[x][y];
            for (int d = 1; d <= 9; ++d) {
                TMarkEntry &m = cv.Mark(d);
                // Any shown state but the real one repaints the mark.
                m.ShownState = ~m.State;
                m.Label.SetCaption(SymbolOfDigit(d));
            }
        }
    if (FormFeld)
        FormFeld->RefreshMarks();
}

// ---- options ------------------------------------------------------------------------

void TNETZ::EncodeOptions()
{
    const TPackedOptions p = PackOptions(currentOptions());
    PutPackedOptions(Tel, p);
    if (traceOn(4)) {
        TraceCat(4, QStringLiteral("BingoM.Tag(%1)").arg(IsBingoActive() ? 1 : 0));
        TraceCat(4, QStringLiteral("a(%1)").arg(p.a));
        TraceCat(4, QStringLiteral("Sende Optionen:"));
        traceOptions(p);
    }
}

void TNETZ::SendOptions()
{
    if (!Form1 || !Form1->HostsNetworkGame)
        return;
    TraceCat(1, QStringLiteral("Sende Optionen"));
    Tel = TTelegram();
    Tel.Aktion = akOptions;
    EncodeOptions();
    SendToAll();
}

void TNETZ::OnOptions()
{
    if (!FormGO)
        return;
    const TPackedOptions p = PackedOptionsOf(Tel);
    FormGO->UnlockOptionCaptions();
    if (traceOn(4)) {
        TraceCat(4, QStringLiteral("Erhalte Optionen:"));
        traceOptions(p);
    }
    // The host keeps its own options; it only gets its telegram back.
    if (MyPlayerNo != 1) {
        if (!PackedOptionsInRange(p.x, p.y, p.a, p.b, p.z, p.Gid)) {
            TraceCat(0, QStringLiteral("ERROR: Optionen außerhalb der Wertebereiche, ignoriert"));
            return;
        }
        // The telegram carries neither the import folder nor rotation and
        // mixing: those stay this machine's own.
        TGameOptionValues v = UnpackOptions(p);
        const TGameOptionValues mine = FormGO->Values();
        v.ImportDir = mine.ImportDir;
        v.Rotation = mine.Rotation;
        v.Mix = mine.Mix;
        FormGO->Apply(v);
    }
    FormGO->ApplyOptionRules();
}

// ---- the start sequence ----------------------------------------------------------------

void TNETZ::StartNetworkGame()
{
    if (!Form1)
        return;
    // From here on no login may slip in: over the network the host's own
    // phase 6 comes back only once its telegrams have gone round.
    Form1->GameStarting = true;
    ResetPlayerStats();

    Tel = TTelegram();
    Tel.Aktion = akStartPhase;
    Tel.a = 6;
    SendToAll();

    const QString puzzle = Form1->BuildPuzzleString();
    for (int chunk = 0; chunk < kChunkCount; ++chunk) {
        Tel = TTelegram();
        Tel.Aktion = akStartPhase;
        Tel.a = 5;
        Tel.y = chunk;
        Tel.Data = 1;
        Tel.SetText(puzzle.mid(kChunkSize * chunk, kChunkSize));
        TraceCat(1, QStringLiteral("Sende:") + Tel.Text());
        SendToAll();
    }

    Tel = TTelegram();
    Tel.Aktion = akStartPhase;
    Tel.a = 4;
    SendToAll();

    if (FormSolver) {
        FormSolver->GameGrid.Initialised = false;
        if (IsBingoActive()) {
            TraceCat(4, QStringLiteral("Erzeuge Bingo beim start"));
            FormSolver->LoadGameFromBoard(FormSolver->GameGrid, Form1->Boards);
            FormSolver->SolveStep(FormSolver->GameGrid, false);
        }
    }
}

void TNETZ::OnStartPhase()
{
    if (!Form1)
        return;
    const int phase = Tel.a;
    const int chunk = Tel.y;
    const int free = Tel.b;
    const QString text = Tel.Text();
    if (phase < 0 || phase > 6)
        return;
    TPlayerRecord *table = PlayerSlots();

    switch (phase) {
    case 6:
        Form1->brett->hide();
        Form1->Panel_Menue->resize(Form1->Panel_Menue->width(), 0);
        if (FormSolver)
            FormSolver->ResetGrid(FormSolver->GameGrid);
        hideIfShown(FormSucheSpiele);
        hideIfShown(FormCha);
        hideIfShown(FormMeld);
        hideIfShown(FormSpielEnde);
        hideIfShown(FormStart);
        // Who left between games, the host freed at once: a client follows
        // before the round begins (the host may have given the slot to a
        // newcomer by the time its own copy of the logoff comes back).
        if (!IsSelfHost())
            CloseUpLeftPlayers();
        Form1->GameStarting = true;
        PlayGameStartSound();
        ResetBoardCells();
        if (FormFeld) {
            FormFeld->ClearAllMarkStates();
            FormFeld->RefreshMarks();
        }
        showBigOverlay(QStringLiteral("Lade..."));
        BoardText.clear();
        TraceCat(9, QStringLiteral("Brett zurückgesetzt"));
        break;

    case 5: {
        TraceCat(2, QStringLiteral("Erhalte:") + text);
        if (chunk < 0 || chunk >= kChunkCount) {
            TraceCat(2, QStringLiteral("inFeld:") + BoardText);
            break;
        }
        // Each chunk has its own place, so a repeated or late chunk cannot
        // shift the ones after it.
        if (BoardText.size() != kChunkSize * kChunkCount)
            BoardText = QString(kChunkSize * kChunkCount, QLatin1Char(' '));
        BoardText.replace(kChunkSize * chunk, kChunkSize, text.leftJustified(kChunkSize, QLatin1Char(' '), true));
        if (chunk == kChunkCount - 1)
            placeBoard(*this);
        TraceCat(2, QStringLiteral("inFeld:") + BoardText);
        break;
    }

    case 4:
        if (Form1->SinglePlayerGame)
            Form1->Panel_Einzel->resize(Form1->Panel_Einzel->width(), 44);
        Tel = TTelegram();
        Tel.Aktion = akReady;
        Tel.Gid = MyPlayerNo;
        SendToServer();
        showBigOverlay(QStringLiteral("Sync..."));
        break;

    case 3:
    case 2:
    case 1:
        showBigOverlay(QStringLiteral("Start %1").arg(phase));
        break;

    case 0: {
        ResetPlayerStats();
        if (table)
            for (int p = 1; p <= 8; ++p)
                if (table[p].Active)
                    table[p].FreeCells = free;
        if (FormMeld) {
            FormMeld->Dauer = 0;
            FormMeld->hide();
        }
        Form1->GameRunning = true;
        Form1->ClockPenaltySeconds = 0;
        Form1->GameStarting = false;
        Form1->brett->show();
        Form1->BTC_Spiel_Ende->setEnabled(true);
        Form1->UpdatePlayerTable();
        if (Vorgabe)
            Vorgabe->AddGameCodeLine(
                MakeGameCodeLine(QDateTime::currentDateTime(),
                                 Form1->BuildPuzzleString() + Form1->BuildOptionsCode() + Form1->SymbolSet));
        Form1->GameStartCount = PerfCounter();
        break;
    }
    default:
        break;
    }
}

void TNETZ::OnReady()
{
    if (!Form1)
        return;
    const int p = Tel.Gid;
    TPlayerRecord *table = PlayerSlots();
    if (!table || p < 1 || p > 8)
        return;
    // Only the host counts the players down, and only while it starts a
    // game: a late or stray report must not restart a running game.
    if (MyPlayerNo != 1 || !Form1->GameStarting) {
        TraceCat(2, QStringLiteral("Bereit von Spieler %1 außerhalb eines Spielstarts, ignoriert").arg(p));
        return;
    }
    table[p].Ready = true;
    StartCountdownWhenReady();
}

void TNETZ::StartCountdownWhenReady()
{
    TPlayerRecord *table = PlayerSlots();
    if (!Form1 || !table || MyPlayerNo != 1 || !Form1->GameStarting || StartTimer->isActive())
        return;
    // A ghost game starts at the first report.
    const bool ghost = FormGhost && FormGhost->GhostMode;
    if (!ghost) {
        bool any = false;
        for (int q = 1; q <= 8; ++q) {
            if (table[q].Active && !table[q].Ready)
                return;
            any = any || table[q].Ready;
        }
        if (!any)
            return;
    }
    StartTimer->Tag = Form1->SinglePlayerGame ? 1 : 4;
    StartTimer->SetEnabled(true);
}

void TNETZ::StartTimerTimer()
{
    StartTimer->Tag = StartTimer->Tag - 1;
    int free = 0;
    if (StartTimer->Tag == 0) {
        int wrong = 0;
        SendCounts(0, free, wrong);
    }
    Tel = TTelegram();
    Tel.Aktion = akStartPhase;
    Tel.a = StartTimer->Tag;
    Tel.b = free;
    // A countdown below 0 is no phase: only the timer stops.
    if (StartTimer->Tag >= 0)
        SendToAll();
    if (StartTimer->Tag < 1) {
        StartTimer->SetEnabled(false);
        if (IsBingoActive()) {
            ClearBingoList();
            TraceCat(4, QStringLiteral("Erzeuge Bingo bei StartTimer"));
            if (NextBingoDraw(true))
                SendBingo();
        }
    }
}

// ---- resets -----------------------------------------------------------------------

void TNETZ::ResetPlayerStats()
{
    TPlayerRecord *table = PlayerSlots();
    for (int p = 1; p <= 8; ++p) {
        if (Form1) {
            TPlayerTableRow &row = Form1->PlayerRows[p];
            for (TLabel *l : {row.NameLabel, row.FoundLabel, row.ErrorsLabel, row.FreeLabel, row.WaitLabel})
                if (l)
                    l->clear();
            if (row.StatusImage) {
                row.StatusImage->SetPicture(QPixmap());
                row.StatusImage->setToolTip(QString());
            }
        }
        if (!table)
            continue;
        TPlayerRecord &r = table[p];
        r.SampleCount = 0;
        r.Samples[0] = TProgressSample();
        r.WaitSeconds = r.Errors = r.Points = r.Found = r.Bonus = r.FreeCells = 0;
        r.UsedMarks = r.SentUsedMarks = 0;
        r.GameOver = false;
        r.Ready = false;
    }
}

void TNETZ::ResetBoardCells()
{
    if (!Form1)
        return;
    // Every player layer is emptied, shared board or not: the start only
    // refills the active players' layers, and a digit left in any other slot
    // would count as taken in every free-on-all-layers query of the next game.
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            TCellView &cv = Form1->Cells[x][y];
            cv.Owner = 0;
            cv.ShowMarks = 1;
            cv.BlinkTicks = 0;
            cv.HighlightTicks = 0;
            if (FormOpt)
                cv.Background.SetPicture(FormOpt->orgFest);
            cv.DigitLabel.SetCaption(QString());
            cv.DigitColor = 0;
            cv.DigitLabel.SetFontColor(Qt::black);
            DrawCell(x, y, true);
            for (int p = 1; p <= 8; ++p) {
                Form1->Boards[p][x][y].Value = 0;
                Form1->Boards[p][x][y].State = 0;
            }
        }
}
