// The ghost replay: one 10 ms tick with seven ghosts on a fresh board, once
// with nothing due (the scan alone) and once with one ghost entry due, which
// is judged at once on the host.
#include "common/ProgramStart.h"
#include "board/UQuadrivo.h"
#include "board/UQuadrivo_Builtin.h"
#include "board/USudokuApp.h"
#include "common/TestEnv.h"
#include "competitions/Ughost.h"
#include "files/UCompetitionFile.h"
#include "files/UGhostData.h"
#include "net/UNETZ.h"
#include "screens/UGameOptionen.h"
#include "settings/USonstiges.h"
#include "settings/USystem.h"
#include "ui/DialogService.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
// Nothing may wait for a person here.
class TSilentDialogs : public TDialogService {
public:
    int MessageDlg(const QString &, TMsgDlgType, TMsgDlgButtons) override { return mrOk; }
    QString SaveFileName(QWidget *, const QString &, const QString &, const QString &, const QString &) override
    {
        return {};
    }
    QString OpenFileName(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
    QString Directory(QWidget *, const QString &, const QString &) override { return {}; }
    bool ChooseColor(QWidget *, QColor &) override { return false; }
    bool PrintSetup(QWidget *, QPrinter *) override { return false; }
};

double medianUs(std::vector<qint64> ns)
{
    std::sort(ns.begin(), ns.end());
    return ns.empty() ? 0.0 : double(ns[ns.size() / 2]) / 1e3;
}
} // namespace

int main(int argc, char *argv[])
{
    const TTestEnv env;
    QApplication app(argc, argv);
    ReloadSudokuEnv();
    TSilentDialogs dialogs;
    InstallDialogService(&dialogs);
    CreateWindowsTermsAccepted();
    RunStartup();

    // Seven ghosts, codes 2..8, sharing the open cells; nothing is due yet.
    const QString feld = QString::fromLatin1(kBuiltinPuzzles[0][0]);
    TIniFile ini = NewGhostDocument(TFormGhost::GhostFilePath(QStringLiteral("bench")), PasswordDigest("pw"), feld,
                                    0, 3);
    int code = 2;
    for (int i = 0; i < 81; ++i)
        if (feld[i].isLower()) {
            ini.WriteString(QStringLiteral("Ghosts"), GhostOwnerKey(i % 9 + 1, i / 9 + 1), QString::number(code));
            ini.WriteString(QStringLiteral("Ghosts"), GhostTimeKey(i % 9 + 1, i / 9 + 1), QStringLiteral("2000000000"));
            code = code == 8 ? 2 : code + 1;
        }
    WriteChecksum(ini, QStringLiteral("Main"));
    if (!ini.Save())
        return 1;
    FormGO->SetEvaluation(1);
    FormGO->SetRating(4);
    FormGO->SetMarkBonus(0);
    FormGO->SetGameType(1);
    FormGhost->DateiName->setText(QStringLiteral("bench"));
    FormGhost->bt_startClick();
    for (int i = 0; i < 6 && !Form1->GameRunning; ++i)
        NETZ->StartTimerTimer();
    FormGhost->Timer1->SetEnabled(false);
    if (!Form1->GameRunning || FormGhost->GhostCount != 8)
        return 1;

    QElapsedTimer t;
    std::vector<qint64> scan;
    for (int i = 0; i < 5000; ++i) {
        t.start();
        FormGhost->Timer1Timer();
        scan.push_back(t.nsecsElapsed());
    }
    std::printf("ghost_tick_7_ghosts_nothing_due_median %.3f us\n", medianUs(scan));

    // One due cell per tick, entered and judged within it: ten seconds of
    // game time have passed.
    Form1->GameStartCount -= 100 * Form1->CountsPerTenth;
    std::vector<qint64> entry;
    int entered = 0;
    for (int y = 1; y <= 9 && Form1->GameRunning; ++y)
        for (int x = 1; x <= 9 && Form1->GameRunning; ++x) {
            TGridEntry &c = Form1->Boards[0][x][y];
            if (c.FirstFinder < 2 || !IsCellFreeOnAllLayers(Form1->Boards, x, y))
                continue;
            c.FoundTime = 1;
            t.start();
            FormGhost->Timer1Timer();
            entry.push_back(t.nsecsElapsed());
            entered += IsCellFreeOnAllLayers(Form1->Boards, x, y) ? 0 : 1;
        }
    if (entered != int(entry.size()))
        return 1;
    std::printf("ghost_tick_7_ghosts_one_entry_median %.3f us\n", medianUs(entry));
    InstallDialogService(nullptr);
    return 0;
}
