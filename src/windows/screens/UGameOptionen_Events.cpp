// The game options window: what its buttons, tabs and labels do.
#include "screens/UGameOptionen.h"

#include "board/UFeld.h"
#include "board/ULog.h"
#include "board/UQuadrivo.h"
#include "competitions/UChallenge.h"
#include "competitions/Ughost.h"
#include "net/UNETZ.h"
#include "screens/UInfo.h"
#include "screens/UOptionen.h"
#include "screens/UStart.h"
#include "settings/USonstiges.h"
#include "settings/USystem.h"
#include "solver/UBingo.h"
#include "ui/DialogService.h"

#include <QDir>
#include <QFileInfo>
#include <QMouseEvent>

namespace {
std::function<void(int)> &helpObserver()
{
    static std::function<void(int)> observer;
    return observer;
}

constexpr int kHelpCursor = -20;

bool inHelpMode()
{
    return Form1 && Form1->HelpCursor == kHelpCursor;
}

void showHelp(int topic)
{
    if (helpObserver())
        helpObserver()(topic);
    if (FormInfo)
        FormInfo->ShowHelp(topic);
}
} // namespace

void SetHelpTopicObserver(std::function<void(int)> observer)
{
    helpObserver() = std::move(observer);
}

// ---- event handlers ---------------------------------------------------------------

void TFormGO::ButtonClick(QObject *sender)
{
    if (!isVisible() || !sender)
        return;
    // A picture whose caption is locked ignores the click.
    const std::pair<QObject *, TLabel *> locked[] = {{sofort_1, BTC112}, {sofort_2, BTC113}, {eigen_1, BTC110},
                                                     {eigen_2, BTC111},  {Sud_4, BTC_Bingo}, {Sud_2, BTC36}};
    for (const auto &[picture, label] : locked)
        if (sender == picture && !label->isEnabled())
            return;

    if (inHelpMode()) {
        const QObject *const sudoku[] = {Sud_1, BTC35};
        const QObject *const bingo[] = {Sud_4, BTC_Bingo, BingoMax, Label5, Panel3, rb_Bingo_voll, rb_Bingo_leer};
        const QObject *const rating[] = {Reg_1, Reg_2, Reg_3, Reg_4, BTC64, BTC65, BTC66, BTC67, BTC115, BonusMerker_1};
        auto in = [sender](const auto &list) {
            return std::find(std::begin(list), std::end(list), sender) != std::end(list);
        };
        if (in(sudoku))
            showHelp(12);
        else if (in(bingo))
            showHelp(13);
        else if (in(rating))
            showHelp(14);
        return;
    }

    const int tag = GetControlTag(sender);
    switch (tag) {
    case 35:
        SetGameType(1);
        break;
    case 36:
        SetGameType(5);
        break;
    case 60:
    case 61:
    case 62:
    case 63:
        SetLevel(tag - 60);
        break;
    case 64:
    case 65:
    case 66:
    case 67:
        SetRating(tag - 63);
        break;
    case 101: {
        const std::pair<QObject *, std::pair<const char *, int>> choices[] = {
            {rb_Bingo_voll, {"BingoArt", 1}}, {rb_Bingo_leer, {"BingoArt", 2}}, {rb_Zahlen, {"BingoModus", 1}},
            {rb_Felder, {"BingoModus", 2}},   {rb_fest, {"BingoFest", 0}},      {rb_alternate, {"BingoFest", 1}},
            {rb_random, {"BingoFest", 2}}};
        for (const auto &[radio, value] : choices)
            if (sender == radio)
                RegWriteInteger(QString::fromLatin1(value.first), value.second);
        SetGameType(4);
        break;
    }
    case 102:
        SetImport(ImpM->Tag == 1 ? 0 : 1);
        SendGameOptions();
        break;
    case 103:
        SetRotation(RotM->Tag == 1 ? 0 : 1);
        SendGameOptions();
        break;
    case 104:
        SetMix(MixM->Tag == 1 ? 0 : 1);
        SendGameOptions();
        break;
    case 110:
        SetOwnBoard(1);
        SendGameOptions();
        break;
    case 111:
        SetOwnBoard(0);
        SendGameOptions();
        break;
    case 112:
        SetEvaluation(1);
        SendGameOptions();
        break;
    case 113:
        SetEvaluation(0);
        SendGameOptions();
        break;
    case 114:
        SetMaxMarks(MaxMerker->Value());
        SendGameOptions();
        break;
    case 115:
        SetMarkBonus(BonusMerkerM->Tag == 1 ? 0 : 1);
        SendGameOptions();
        break;
    default:
        break;
    }
    ApplyOptionRules();
}

void TFormGO::ButtonEnter(TLabel *label)
{
    if (label->isEnabled())
        label->SetFontSize(9, true);
}

void TFormGO::ButtonExit(TLabel *label)
{
    label->SetFontSize(8, false);
}

void TFormGO::OK_LabelMouseMove(QWidget *control, Qt::KeyboardModifiers shift)
{
    SetHelpCursor(control, shift);
}

void TFormGO::Panel3Click(QObject *sender)
{
    if (inHelpMode() && (sender == Label5 || sender == Panel3))
        showHelp(13);
}

void TFormGO::Tab_SpielartClick(QObject *sender)
{
    ShowTab(GetControlTag(sender));
}

void TFormGO::ImportDirClick()
{
    if (!ImportDir->isEnabled())
        return;
    const QString filter = QStringLiteral("Alle Sudokus (*.sudoku);;Leichte Sudokus (l*.sudoku);;"
                                          "Mittlere Sudokus (m*.sudoku);;Schwere Sudokus (s*.sudoku);;"
                                          "Profi Sudokus (p*.sudoku)");
    const QString file =
        Dialogs()->OpenFileName(this, QStringLiteral("Öffnen"), QDir::fromNativeSeparators(ImportDir->text()), filter);
    if (file.isEmpty())
        return;
    const QString folder = QDir::toNativeSeparators(QFileInfo(file).absolutePath());
    ImportDir->setText(folder);
    if (Form1)
        Form1->FileBox->SetDirectory(QDir::fromNativeSeparators(folder));
    RegWriteString(QStringLiteral("ImportPath"), folder);
}

void TFormGO::BTC_StartenClick()
{
    if (FormGhost && FormGhost->NewGhostFile) {
        // Preparing a ghost file starts no game: back to the ghost window.
        FormGhost->CreateGhostFile();
        close();
        FormGhost->show();
        return;
    }
    if (FormCha && FormCha->NeedNewGame) {
        if (!Form1 || !Form1->PrepareNewGame()) {
            TraceCat(9, QStringLiteral("Datei bei getEtappe nicht gefunden."));
            return;
        }
        FormCha->StageGameCode = Form1->BuildPuzzleString() + Form1->BuildOptionsCode();
        // An invalid file gets no stage code; the start then refuses it.
        if (!FormCha->StoreStageGameCode(FormCha->StageGameCode))
            TraceCat(9, QStringLiteral("Etappe nicht gespeichert."));
    }
    close();
    if (Form1)
        Form1->StartGame();
}

void TFormGO::BTC_StartenMouseEnter()
{
    if (BTC_Starten->isEnabled())
        BTC_Starten->SetFontSize(9, true);
}

void TFormGO::BTC_StartenMouseLeave()
{
    BTC_Starten->SetFontSize(8, false);
}

void TFormGO::BTC_ZurueckClick()
{
    close();
    closedFromOutside();
}

void TFormGO::closedFromOutside()
{
    if (FormGhost && FormGhost->NewGhostFile)
        FormGhost->show();
    else if (!FormCha || (!FormCha->ChallengeActive && !FormCha->TournamentActive)) {
        if (FormStart)
            FormStart->show();
    } else {
        FormCha->show();
    }
}
