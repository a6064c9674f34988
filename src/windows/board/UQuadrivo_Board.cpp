// Board layers, puzzle codes and the choice of a new game's puzzle.
#include "board/UQuadrivo.h"

#include "board/ULog.h"
#include "board/UQuadrivo_Builtin.h"
#include "board/UQuadrivo_Input.h"
#include "codes/UQuadrivo_Codes.h"
#include "competitions/Ughost.h"
#include "screens/UGameOptionen.h"
#include "screens/UVorgabe.h"
#include "settings/USonstiges.h"
#include "settings/USystem.h"
#include "ui/DialogService.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

void TForm1::LoadPuzzleString(const QString &s) { LoadPuzzleStringInto(Boards[0], s); }

void TForm1::LoadPuzzleLines(const QStringList &lines, QString &text) { text = LoadPuzzleLinesInto(Boards[0], lines); }

bool TForm1::LoadBuiltinPuzzle(const QString &code, QString &text)
{
    text.clear();
    if (code.size() < 2)
        return false;
    const int index = code[0].unicode() - 'G';
    const int level = code[1].unicode() - 'L';
    const TListBox *lists[] = {L_Spiele, M_Spiele, S_Spiele, P_Spiele};
    if (level < 0 || level > 3 || index < 0 || index >= lists[level]->Count())
        return false;
    text = lists[level]->Item(index);
    LoadPuzzleString(text);
    return true;
}

int TForm1::BuiltinPuzzleCount() const
{
    const int level = FormGO ? FormGO->GetLevel() : 0;
    const TListBox *lists[] = {L_Spiele, M_Spiele, S_Spiele, P_Spiele};
    return level >= 0 && level <= 3 ? lists[level]->Count() : 0;
}

void TForm1::BuildPuzzleString(QString &s) const { s = BuildPuzzleStringFrom(Boards[0]); }

QString TForm1::BuildPuzzleString() const { return BuildPuzzleStringFrom(Boards[0]); }

void TForm1::BuildOptionsCode(QString &s) const
{
    s = MakeOptionsCode(FormGO->GetGameType(), FormGO->IsEvaluationImmediate(), FormGO->GetLevel(),
                        FormGO->GetRating(), FormGO->Values().MaxMarks);
}

QString TForm1::BuildOptionsCode() const
{
    QString s;
    BuildOptionsCode(s);
    return s;
}

void TForm1::InitSymbolSet()
{
    if (SymbolSet.isEmpty())
        SymbolSet = SymbolSetForType(FormGO->Values().SymbolKind);
}

void TForm1::RandomRotationCode(QString &s) const { s = MakeRandomRotationCode(); }

void TForm1::RandomDigitMap(QString &s) const { s = MakeRandomDigitMap(); }

void TForm1::ApplyRotationCode(const QString &code) { ApplyRotationCodeTo(Boards[0], code); }

void TForm1::ApplyDigitMap(const QString &map) { ApplyDigitMapTo(Boards[0], map); }

void TForm1::PermuteColumns(int a, int b, int c) { PermuteColumnsOf(Boards[0], a, b, c); }

void TForm1::PermuteRows(int a, int b, int c) { PermuteRowsOf(Boards[0], a, b, c); }

bool TForm1::PrepareNewGame()
{
    // A typed code applies to single games only.
    if (!SinglePlayerGame)
        Vorgabe->SpielVorgabe->clear();

    const QString typed = Vorgabe->SpielVorgabe->text();
    if (!typed.isEmpty()) {
        TGameCodeParts code;
        QString error;
        if (!ParseGameCode(typed, code, error)) {
            MessageDlg(error, TMsgDlgType::Error, TMsgDlgButtons::OK);
            return false;
        }
        SymbolSet = code.Symbols;
        FormGhost->GhostFeld = code.Puzzle;
        LoadPuzzleString(code.Puzzle);
    } else if (const TGameOptionValues options = FormGO->Values(); !options.Import) {
        const QString rotation = MakeRandomRotationCode();
        const QString map = MakeRandomDigitMap();
        int level = FormGO->GetLevel();
        if (level < 0 || level > 3)
            level = 0;
        const TListBox *lists[] = {L_Spiele, M_Spiele, S_Spiele, P_Spiele};
        const int index = Random(lists[level]->Count());
        QString text;
        if (!LoadBuiltinPuzzle(BuiltinCodeOf(level, index), text))
            return false;
        FormGhost->GhostFeld = text;
        ApplyRotationCode(rotation);
        ApplyDigitMap(map);
    } else {
        if (FileBox->Count() == 0) {
            MessageDlg(QStringLiteral("Keine Datei für diese Schwierigkeit gefunden."), TMsgDlgType::Error,
                       TMsgDlgButtons::OK);
            return false;
        }
        const QString rotation = options.Rotation ? MakeRandomRotationCode() : QStringLiteral("00000000");
        const QString map = options.Mix ? MakeRandomDigitMap() : QStringLiteral("123456789");
        const QString name = FileBox->Item(Random(FileBox->Count()));
        const QString path = options.ImportDir + QLatin1Char('\\') + name;
        // The folder text may use either separator; the file is looked up with the local one.
        const QString localPath = QDir(QDir::fromNativeSeparators(options.ImportDir)).filePath(name);
        QFile f(localPath);
        if (!QFileInfo::exists(localPath) || !f.open(QIODevice::ReadOnly)) {
            TraceCat(9, QStringLiteral("Datei nicht gefunden: ") + path);
            return false;
        }
        QStringList lines = DecodeCp1252(ReadPuzzleFileHead(f)).split(QLatin1Char('\n'));
        for (QString &l : lines)
            l = l.trimmed();
        QString error;
        if (!CheckPuzzleLines(lines, error)) {
            TraceCat(9, QStringLiteral("Ungültige Datei: ") + path + QStringLiteral(" (") + error + QLatin1Char(')'));
            MessageDlg(QStringLiteral("Die Datei \"%1\" ist keine gültige Sudoku-Datei (%2).").arg(name, error),
                       TMsgDlgType::Error, TMsgDlgButtons::OK);
            return false;
        }
        QString text;
        LoadPuzzleLines(lines, text);
        FormGhost->GhostFeld = text;
        ApplyRotationCode(rotation);
        ApplyDigitMap(map);
    }
    InitSymbolSet();
    return true;
}
