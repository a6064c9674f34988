// The puzzle editor: an empty board, givens and entries placed by mouse, the
// solver's test, and the ".sudoku" files it loads and saves.
#include "board/UQuadrivo.h"

#include "board/ULog.h"
#include "board/UQuadrivo_Input.h"
#include "net/UNETZ.h"
#include "screens/UGameOptionen.h"
#include "screens/UInfo.h"
#include "screens/UOptionen.h"
#include "screens/UStart.h"
#include "settings/USonstiges.h"
#include "solver/USolver.h"
#include "ui/DialogService.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace {
// A puzzle file is nine short lines; nothing beyond this is ever looked at.
constexpr qint64 kMaxPuzzleFileBytes = 64 * 1024;

TEditorPuzzleTest &installedPuzzleTest()
{
    static TEditorPuzzleTest test;
    return test;
}

bool solverPuzzleTest(QString &result)
{
    result.clear();
    if (!FormSolver)
        return false;
    FormSolver->TestPuzzle(result);
    return true;
}

bool showEditorHelp()
{
    if (Form1->HelpCursor != -20)
        return false;
    if (FormInfo)
        FormInfo->ShowHelp(15);
    return true;
}

QString editorFolder()
{
    return FormGO ? QDir::fromNativeSeparators(FormGO->Values().ImportDir) : QString();
}
} // namespace

// ---- rules without a window ----------------------------------------------------

QByteArray ReadPuzzleFileHead(QIODevice &file)
{
    QByteArray bytes = file.read(kMaxPuzzleFileBytes);
    if (auto *f = qobject_cast<QFileDevice *>(&file); f && f->error() != QFileDevice::NoError)
        bytes.clear();
    return bytes;
}

QStringList SplitPuzzleFileText(const QByteArray &bytes)
{
    QStringList lines = DecodeCp1252(bytes).split(QLatin1Char('\n'));
    for (QString &l : lines)
        if (l.endsWith(QLatin1Char('\r')))
            l.chop(1);
    if (lines.size() > 9)
        lines = lines.mid(0, 9);
    return lines;
}

bool EditorCellOf(QChar c, int &value, int &state)
{
    const ushort u = c.unicode();
    if (u >= 'A' && u <= 'I') {
        value = u - 64;
        state = 0;
        return true;
    }
    if (u >= 'a' && u <= 'i') {
        value = u - 96;
        state = 1;
        return true;
    }
    return false;
}

QStringList EditorPuzzleLines(const TBoardLayer &layer)
{
    QStringList lines;
    for (int y = 1; y <= 9; ++y) {
        QString line;
        for (int x = 1; x <= 9; ++x) {
            const TGridEntry &e = layer[x][y];
            // Only a digit is written as a letter; anything else is an empty cell.
            const int v = e.Value >= 1 && e.Value <= 9 ? e.Value : 0;
            line += QChar(v + (e.State == 0 && v != 0 ? 64 : 96));
        }
        lines << line;
    }
    return lines;
}

QByteArray EditorPuzzleFileBytes(const TBoardLayer &layer)
{
    QByteArray out;
    for (const QString &l : EditorPuzzleLines(layer))
        out += EncodeCp1252(l) + "\r\n";
    return out;
}

QString EditorSaveName(const QString &chosen)
{
    // The extension runs from the name's last dot, so a bare trailing dot
    // ("x.") is an empty extension and gets replaced, not appended to.
    const QFileInfo fi(chosen);
    const QString name = fi.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString base = dot < 0 ? name : name.left(dot);
    return QDir(fi.path()).filePath(base + QStringLiteral(".sudoku"));
}

void SetEditorPuzzleTest(TEditorPuzzleTest test)
{
    installedPuzzleTest() = std::move(test);
}

bool RunEditorPuzzleTest(QString &result)
{
    if (installedPuzzleTest())
        return installedPuzzleTest()(result);
    return solverPuzzleTest(result);
}

// ---- the main window ---------------------------------------------------------------

void TForm1::ClearBoardForEditor()
{
    brett->hide();
    const int markFont = FormOpt ? FormOpt->SizeZahl->font().pointSize() : 8;
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            TCellView &cv = Cells[x][y];
            cv.Panel.SetCaption(QString());
            // The digit label lies under the marks and shows through the
            // gaps between them: a digit left from a load or a test would
            // stay visible in pieces.
            cv.DigitLabel.SetCaption(QString());
            // The editor's digits are black, whatever the last game showed.
            cv.DigitColor = 0;
            cv.DigitLabel.SetFontColor(Qt::black);
            cv.Owner = 0;
            cv.ShowMarks = 1;
            cv.BlinkTicks = 0;
            cv.HighlightTicks = 0;
            cv.Panel.SetColor(Qt::black);
            cv.Panel.SetFontColor(Qt::black);
            DrawCell(x, y, true);
            for (int d = 1; d <= 9; ++d) {
                TBoardLabel &l = cv.Mark(d).Label;
                l.SetCaption(QString::number(d));
                l.SetFontSize(markFont, l.Bold());
            }
        }
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            Boards[0][x][y].Value = 0;
            Boards[0][x][y].State = -1;
            DrawCell(x, y, true);
        }
    brett->show();
}

bool TForm1::EditorLoadPuzzle(const QString &path)
{
    QFile f(path);
    if (QFileInfo(path).isDir() || !f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = ReadPuzzleFileHead(f);
    if (f.error() != QFileDevice::NoError)
        return false;
    const QStringList lines = SplitPuzzleFileText(bytes);
    // A short file loads what it holds; the cells it leaves out stay as they are.
    if (lines.size() < 9 || std::any_of(lines.begin(), lines.end(), [](const QString &l) { return l.size() < 9; }))
        TraceCat(9, QStringLiteral("Datei unvollständig: ") + path);
    brett->hide();
    for (int y = 1; y <= 9 && y <= lines.size(); ++y) {
        const QString &line = lines[y - 1];
        for (int x = 1; x <= 9 && x <= line.size(); ++x) {
            int value = 0, state = 0;
            if (!EditorCellOf(line[x - 1], value, state))
                continue;
            TCellView &cv = Cells[x][y];
            Boards[0][x][y].Value = value;
            Boards[0][x][y].State = state;
            cv.Panel.SetCaption(QString::number(value));
            cv.DigitLabel.SetCaption(QString::number(value));
            if (state == 0)
                cv.Background.SetPicture(FormOpt ? FormOpt->orgFest : nullptr);
            else
                cv.Background.SetColorTile(0x00FF00);
            DrawCell(x, y, false);
            cv.ShowMarks = 0;
        }
    }
    brett->show();
    return true;
}

bool TForm1::EditorSavePuzzle(const QString &path)
{
    // Put in place whole, so a failed save leaves an older file as it was.
    return SaveFileWhole(path, EditorPuzzleFileBytes(Boards[0]));
}

void TForm1::BTC_NeuClick()
{
    if (showEditorHelp())
        return;
    ClearBoardForEditor();
}

void TForm1::BTC_LadenClick()
{
    if (showEditorHelp())
        return;
    const QString filter = QStringLiteral("Alle Sudokus (*.sudoku);;Leichte Sudokus (l*.sudoku);;"
                                          "Mittlere Sudokus (m*.sudoku);;Schwere Sudokus (s*.sudoku);;"
                                          "Profi Sudokus (p*.sudoku)");
    const QString file = Dialogs()->OpenFileName(this, QStringLiteral("Öffnen"), editorFolder(), filter);
    if (file.isEmpty())
        return;
    if (!EditorLoadPuzzle(file))
        MessageDlg(QStringLiteral("Die Datei \"%1\" konnte nicht gelesen werden.").arg(QDir::toNativeSeparators(file)),
                   TMsgDlgType::Error, TMsgDlgButtons::OK);
}

void TForm1::BTC_TestenClick()
{
    if (showEditorHelp())
        return;
    QString result;
    if (!RunEditorPuzzleTest(result)) {
        MessageDlg(QStringLiteral("Der Test ist nicht verfügbar."), TMsgDlgType::Information, TMsgDlgButtons::OK);
        return;
    }
    MessageDlg(result == QLatin1String("ok") ? QStringLiteral("keinen Fehler gefunden") : result,
               TMsgDlgType::Information, TMsgDlgButtons::OK);
}

void TForm1::BTC_SpeichernClick()
{
    if (showEditorHelp())
        return;
    QString result;
    if (RunEditorPuzzleTest(result) && result != QLatin1String("ok")) {
        MessageDlg(result + QStringLiteral("\n\rDatei wurde nicht gespeichert!"), TMsgDlgType::Information,
                   TMsgDlgButtons::OK);
        return;
    }
    const QString chosen = Dialogs()->SaveFileName(this, Save1.Title, editorFolder(), Save1.Filter, Save1.DefaultExt);
    if (chosen.isEmpty())
        return;
    const QString path = EditorSaveName(chosen);
    if (QFileInfo::exists(path) &&
        MessageDlg(QStringLiteral("Datei überschreiben ?"), TMsgDlgType::Confirmation, TMsgDlgButtons::YesNo) != mrYes)
        return;
    if (!EditorSavePuzzle(path))
        ReportSaveFailure(path);
}

void TForm1::BTC_Edit_EndeClick()
{
    if (showEditorHelp())
        return;
    LeaveEditor();
    if (FormStart)
        FormStart->show();
}

void TForm1::LeaveEditor()
{
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x)
            Cells[x][y].Owner = 0;
    if (NETZ)
        NETZ->ResetBoardCells();
    ResetChangedCells();
    EditorMode = false;
    brett->hide();
    Panel_Edit->resize(Panel_Edit->width(), 88);
    // The editor's buttons belong to the editor; the start window opens it again.
    Panel_Edit->hide();
}
