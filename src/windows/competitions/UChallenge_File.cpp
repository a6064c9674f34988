// The challenge window's file, its stage results, and the tree of its stages.
#include "competitions/UChallenge.h"

#include "board/ULog.h"
#include "board/UQuadrivo.h"
#include "competitions/UChallenge_Shared.h"
#include "files/UCompetitionFile.h"
#include "files/UIniFile.h"
#include "screens/UGameOptionen.h"
#include "settings/USonstiges.h"
#include "settings/USystem.h"
#include "ui/DialogService.h"

#include <QFileInfo>

using namespace ChallengeShared;

namespace {
// The time a stage result records for a player: the last progress sample's,
// never beyond the game's elapsed time; the elapsed time without a sample.
int32_t resultTenths(const TPlayerRecord &p, int64_t elapsed)
{
    int64_t t = elapsed;
    const int n = std::min<int>(p.SampleCount, kSampleCapacity);
    if (n > 0)
        t = Min64(elapsed, p.Samples[n - 1].Time);
    return static_cast<int32_t>(t);
}
} // namespace

// ---- the file ------------------------------------------------------------------

bool TFormCha::loadCheckedFile(TIniFile &ini) const
{
    if (ChallengeFileName.isEmpty() || !QFileInfo(ChallengeFileName).isFile())
        return false;
    ini = TIniFile(ChallengeFileName);
    return ini.Load() && documentIsPlayable(ini);
}

bool TFormCha::saveFile(TIniFile &ini)
{
    if (!WriteChecksum(ini, kSpiele))
        return false;
    QString error;
    if (!ini.Save(&error)) {
        TraceCat(5, QStringLiteral("Challenge / Turnier: Datei nicht gespeichert: ") + error);
        ReportSaveFailure(ini.FileName(), error);
        return false;
    }
    return true;
}

QString TFormCha::NextStageNumber(const QString &nickname)
{
    TIniFile ini(ChallengeFileName);
    ini.Load();
    return ::NextStageNumber(ini, nickname);
}

bool TFormCha::CreateChallengeFile()
{
    const QString path = CompetitionFilePath(ProgramDir(), ChallengeName->text(), playMode());
    if (path.isEmpty())
        return false;
    ChallengeFileName = path;
    if (QFileInfo::exists(path)) {
        // A valid file is overwritten only by its owner.
        TIniFile old(path);
        if (old.Load() && VerifyChecksum(old, kSpiele) && !PasswordMatches(old, Passwort->text()))
            return false;
        if (MessageDlg(QStringLiteral("Datei schon vorhanden.\r\nDatei überschreiben ?"), TMsgDlgType::Confirmation,
                       TMsgDlgButtons::YesNo) != mrYes)
            return false;
    }
    // The new file replaces the old one in one step, so a failed write keeps it.
    TIniFile ini = NewCompetitionDocument(path, Passwort->text());
    QString error;
    if (!ini.Save(&error)) {
        ReportSaveFailure(path, error);
        return false;
    }
    return true;
}

bool TFormCha::SaveStageResult(const QString &stage, int32_t points, int32_t tenths, int32_t errors)
{
    TIniFile ini;
    if (!loadCheckedFile(ini))
        return false;
    const QString nick = Nickname->text();
    if (!TIniFile::IsWritableKey(nick) || !StageKeys(ini).contains(stage))
        return false;
    if (!ini.WriteString(kEtappe, nick, stage) || !ini.WriteString(stage, nick, ResultText(points, tenths, errors)))
        return false;
    return saveFile(ini);
}

bool TFormCha::writeStageOfAllPlayers(const std::function<QString(const TPlayerRecord &)> &result)
{
    // The host owns the tournament file.
    if (isClient())
        return true;
    TIniFile ini;
    if (!loadCheckedFile(ini) || !StageKeys(ini).contains(StageNr) || !Form1)
        return false;
    for (int p = 1; p <= 8; ++p) {
        const TPlayerRecord &r = Form1->Players[p];
        if (r.Name.isEmpty())
            continue;
        if (!ini.WriteString(kEtappe, r.Name, StageNr) || !ini.WriteString(StageNr, r.Name, result(r)))
            return false;
    }
    return saveFile(ini);
}

bool TFormCha::RegisterStageAll()
{
    return writeStageOfAllPlayers([](const TPlayerRecord &) { return QStringLiteral("0*0*0"); });
}

bool TFormCha::SaveStageResultsAll()
{
    return writeStageOfAllPlayers(
        [](const TPlayerRecord &r) { return ResultText(r.Points, resultTenths(r, Form1->ElapsedTenths), r.Errors); });
}

bool TFormCha::StoreStageGameCode(const QString &code)
{
    TIniFile ini;
    if (!IsValidStageCode(code) || !IsValidStageNumber(StageNr) || !loadCheckedFile(ini))
        return false;
    // Stages are added in order: the new one follows the last.
    if (StageNr != StageNumberText(StageKeys(ini).size() + 1))
        return false;
    if (!ini.WriteString(kSpiele, StageNr, code))
        return false;
    return saveFile(ini);
}

// ---- the tree ------------------------------------------------------------------

QString TFormCha::StageLineText(const QString &key, const QString &code)
{
    auto at = [&code](int i) { return i < code.size() ? code[i] : QChar(); };
    QString line = key + QLatin1Char(':');
    const QChar type = at(81);
    if (type == QLatin1Char('S'))
        line += QStringLiteral(" Sudoku; ");
    else if (type == QLatin1Char('I'))
        line += QStringLiteral(" Mojidoku(A-I); ");
    else if (type == QLatin1Char('Z'))
        line += QStringLiteral(" Mojidoku(A-Z); ");
    line += at(82) == QLatin1Char('S') ? QStringLiteral("Auswertung sofort;") : QStringLiteral("Auswertung am Ende;");
    line += QStringLiteral(" Vorgabe: ") + TFormGO::LevelName(at(83).unicode() - '0') + QLatin1Char(';');
    line += QStringLiteral(" Bewertung: ") + TFormGO::RatingName(at(84).unicode() - '0') + QLatin1Char(';');
    line += QStringLiteral(" Merker: ") + (at(85).isNull() ? QString() : QString(at(85)));
    return line;
}

void TFormCha::FormShow()
{
    if (!ChallengeName->isEnabled())
        return;
    NeedNewGame = false;
    TraceCat(5, QStringLiteral("Challenge / Turnier anzeigen"));
    UpdateState(nullptr);
    Tree->clear();
    const QString mask = FileMask();
    FileListBox1->Mask = mask;
    FileListBox1->SetDirectory(ProgramDir());
    FileListBox1->Update();
    const QString ext = CompetitionExtension(playMode());
    for (int i = 0; i < FileListBox1->Count(); ++i) {
        const QString file = FileListBox1->Item(i);
        const QString name = file.left(file.size() - (mask.size() - 1));
        auto *node = new QTreeWidgetItem(Tree, {name});
        if (ext.isEmpty())
            continue;
        TIniFile ini(ProgramDir() + QLatin1Char('/') + name + ext);
        if (ini.Load() && documentIsPlayable(ini)) {
            for (const QString &key : StageKeys(ini))
                new QTreeWidgetItem(node, {StageLineText(key, ini.ReadString(kSpiele, key, QStringLiteral("0")))});
        } else {
            new QTreeWidgetItem(node, {QStringLiteral("Datei ungültig !")});
            node->setExpanded(true);
        }
    }
}

void TFormCha::TreeChanging(QTreeWidgetItem *node)
{
    if (!node)
        return;
    while (node->parent())
        node = node->parent();
    SelectedName = node->text(0);
}

void TFormCha::TreeDblClick()
{
    if (ChallengeName->isEnabled() && !SelectedName.isEmpty())
        ChallengeName->setText(SelectedName);
}
