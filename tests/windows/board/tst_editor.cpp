// The puzzle editor: the empty board, placing and clearing digits, loading
// and saving ".sudoku" files with their questions and error boxes, the test
// before saving, and leaving the editor.
#include "common/Fixture.h"
#include "board/UQuadrivo.h"
#include "board/UQuadrivo_Builtin.h"
#include "board/UQuadrivo_Input.h"
#include "common/SmallDisk.h"
#include "net/UNETZ.h"
#include "screens/UGameOptionen.h"
#include "screens/UInfo.h"
#include "screens/UOptionen.h"
#include "screens/UStart.h"
#include "settings/USonstiges.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPainter>
#include <QtTest>

using THit = TBoardWidget::THit;
using THitKind = TBoardWidget::THitKind;

namespace {
const char *const kFullFile = "AbcDefGhi\r\n"
                              "dEfgHiabc\r\n"
                              "ghiabcdef\r\n"
                              "bcaefdhig\r\n"
                              "efdhigbca\r\n"
                              "higbcaefd\r\n"
                              "cabfdeigh\r\n"
                              "fdeighcab\r\n"
                              "ighcabfdI\r\n";

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The givens of the first built-in puzzle as the lines of a puzzle file.
QStringList builtinGivens()
{
    const QString puzzle = QString::fromLatin1(kBuiltinPuzzles[0][0]);
    QStringList givens;
    for (int y = 0; y < 9; ++y) {
        QString g = puzzle.mid(9 * y, 9);
        for (QChar &c : g)
            if (c.isLower())
                c = QLatin1Char('`');
        givens << g;
    }
    return givens;
}

QImage renderBoard()
{
    QImage img(Form1->brett->size(), QImage::Format_RGB32);
    QPainter p(&img);
    Form1->brett->PaintBoard(p, img.rect());
    return img;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
} // namespace

class TstEditor : public QObject {
    Q_OBJECT
    std::unique_ptr<TTestFixture> fx;
    QString folder;

    static TGridEntry &cell(int x, int y) { return Form1->Boards[0][x][y]; }

    // A press on a board control of the editor, directly.
    static void press(THitKind kind, int x, int y, int d, Qt::MouseButton button)
    {
        THit hit;
        hit.Kind = kind;
        hit.X = x;
        hit.Y = y;
        hit.Digit = d;
        QObject *control = Form1->brett->ControlFor(hit);
        QVERIFY(control);
        Form1->MouseDown(control, button, Qt::NoModifier, 1, 1);
    }

private slots:
    void initTestCase()
    {
        fx = std::make_unique<TTestFixture>();
        fx->StartProgram();
        Form1->show();
        folder = fx->Dir() + "/puzzles";
        QDir().mkpath(folder);
        FormGO->ImportDir->setText(QDir::toNativeSeparators(folder));
    }
    void cleanupTestCase()
    {
        SetEditorPuzzleTest({});
        fx.reset();
    }

    void init()
    {
        fx->Dialogs.Shown.clear();
        fx->Dialogs.Answers.clear();
        fx->Dialogs.NextFileName.clear();
        Form1->HelpCursor = 0;
        FormInfo->hide();
        SetEditorPuzzleTest([](QString &result) {
            result = QStringLiteral("ok");
            return true;
        });
        // The start window's way into the editor.
        FormStart->show();
        FormStart->BTC_EditorClick();
        QVERIFY(Form1->EditorMode);
    }

    // ---- the rules ----

    void saveName_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("saved");
        QTest::newRow("own extension") << "/a/raetsel.sudoku"
                                       << "/a/raetsel.sudoku";
        QTest::newRow("another extension") << "/a/raetsel.txt"
                                           << "/a/raetsel.sudoku";
        QTest::newRow("none") << "/a/raetsel"
                              << "/a/raetsel.sudoku";
        QTest::newRow("two dots") << "/a/l.neu.txt"
                                  << "/a/l.neu.sudoku";
        QTest::newRow("trailing dot") << "/a/x."
                                      << "/a/x.sudoku";
    }
    void saveName()
    {
        QFETCH(QString, chosen);
        QTEST(EditorSaveName(chosen), "saved");
    }

    void fileLines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("CR LF") << QByteArray("abc\r\ndef\r\n") << QStringList{"abc", "def", ""};
        QTest::newRow("LF") << QByteArray("abc\ndef") << QStringList{"abc", "def"};
        QTest::newRow("empty") << QByteArray() << QStringList{""};
        QTest::newRow("more than nine") << QByteArray("1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11")
                                        << QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9"};
    }
    void fileLines()
    {
        QFETCH(QByteArray, bytes);
        QTEST(SplitPuzzleFileText(bytes), "lines");
    }

    void fileHeadIsBounded()
    {
        // A puzzle file larger than any puzzle is read only as far as its
        // head, which still holds the nine lines.
        QByteArray big;
        for (int i = 0; i < 9; ++i)
            big += "ABCDEFGHI\r\n";
        big += QByteArray(4 * 1024 * 1024, 'x');
        QBuffer buffer(&big);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        const QByteArray head = ReadPuzzleFileHead(buffer);
        QVERIFY(head.size() <= 64 * 1024);
        QVERIFY(head.startsWith("ABCDEFGHI\r\n"));
        const QStringList lines = SplitPuzzleFileText(head);
        QCOMPARE(lines.size(), 9);
        QCOMPARE(lines[8], QString("ABCDEFGHI"));
    }

    // ---- the board ----

    void clearBoard()
    {
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x) {
                QCOMPARE(cell(x, y).Value, 0);
                QCOMPARE(cell(x, y).State, -1);
                const TCellView &cv = Form1->Cells[x][y];
                QCOMPARE(cv.Owner, 0);
                QCOMPARE(int(cv.ShowMarks), 1);
                QCOMPARE(cv.BlinkTicks, 0);
                QCOMPARE(cv.HighlightTicks, 0);
                QVERIFY(cv.Mark(1).Image.Visible());
                QVERIFY(!cv.Background.Visible());
                for (int d = 1; d <= 9; ++d)
                    QCOMPARE(cv.Mark(d).Label.Caption(), QString::number(d));
            }
        QVERIFY(Form1->brett->isVisible());
        QVERIFY(Form1->Panel_Edit->isVisible());
        QCOMPARE(Form1->Panel_Edit->height(), 88);
    }

    void placeAndClearDigits()
    {
        press(THitKind::MarkImage, 3, 4, 7, Qt::LeftButton);
        QCOMPARE(cell(3, 4).Value, 7);
        QCOMPARE(cell(3, 4).State, 0);
        const TCellView &given = Form1->Cells[3][4];
        QCOMPARE(given.DigitLabel.Caption(), QString("7"));
        QVERIFY(given.Background.Shows(FormOpt->orgFest));
        QVERIFY(given.Background.Visible());
        QVERIFY(!given.Mark(1).Image.Visible());

        press(THitKind::MarkLabel, 5, 6, 2, Qt::RightButton);
        QCOMPARE(cell(5, 6).Value, 2);
        QCOMPARE(cell(5, 6).State, 1);
        QCOMPARE(Form1->Cells[5][6].Background.Kind(), TBoardImage::TKind::Tile);
        QCOMPARE(Form1->Cells[5][6].Background.Colour(), 0x00FF00);

        press(THitKind::MarkImage, 8, 8, 4, Qt::MiddleButton);
        QCOMPARE(cell(8, 8).State, -1);
        QCOMPARE(cell(8, 8).Value, 0);

        // Any button on a placed digit empties the cell.
        press(THitKind::DigitLabel, 3, 4, 0, Qt::MiddleButton);
        QCOMPARE(cell(3, 4).Value, 0);
        QCOMPARE(cell(3, 4).State, -1);
        QVERIFY(given.DigitLabel.Caption().isEmpty());
        QVERIFY(given.Mark(1).Image.Visible());

        Form1->BTC_NeuClick();
        QCOMPARE(cell(5, 6).State, -1);
    }

    // "Neu" after a board full of digits, from a loaded file or from the
    // solver's test, looks like the empty board the editor opened with:
    // nothing of the old big digits shows between the marks.
    void newBoardAfterDigits_data()
    {
        QTest::addColumn<bool>("solve");
        QTest::newRow("after loading") << false;
        QTest::newRow("after testing") << true;
    }
    void newBoardAfterDigits()
    {
        QFETCH(bool, solve);
        // The board as the editor opens it, laid out before.
        Form1->resize(1020, 725);
        Form1->FormPaint();
        Form1->ClearBoardForEditor();
        const QImage empty = renderBoard();
        const QString path = folder + "/neu.sudoku";
        if (solve) {
            SetEditorPuzzleTest({});
            writeFile(path, builtinGivens().join("\r\n").toLatin1());
        } else {
            writeFile(path, kFullFile);
        }
        QVERIFY(Form1->EditorLoadPuzzle(path));
        if (solve) {
            Form1->BTC_TestenClick();
            QCOMPARE(fx->Dialogs.Texts(), QStringList{"keinen Fehler gefunden"});
        }
        QVERIFY(renderBoard() != empty);
        Form1->BTC_NeuClick();
        QVERIFY(renderBoard() == empty);
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x)
                QVERIFY(Form1->Cells[x][y].DigitLabel.Caption().isEmpty());
    }

    // The wrong digit a game left red on the board: the editor's digits in
    // that cell are black.
    void editorDigitsAreBlack()
    {
        TCellView &cv = Form1->Cells[4][2];
        cv.DigitColor = 255;
        cv.DigitLabel.SetFontColor(Qt::red);
        Form1->ClearBoardForEditor();
        const QString path = folder + "/schwarz.sudoku";
        writeFile(path, kFullFile);
        QVERIFY(Form1->EditorLoadPuzzle(path));
        QVERIFY(!cv.DigitLabel.Caption().isEmpty());
        QCOMPARE(cv.DigitColor, 0);
        QCOMPARE(cv.DigitLabel.FontColor(), QColor(Qt::black));
    }

    // ---- loading ----

    void loadFullFile()
    {
        const QString path = folder + "/voll.sudoku";
        writeFile(path, kFullFile);
        fx->Dialogs.NextFileName = path;
        Form1->BTC_LadenClick();
        QVERIFY(fx->Dialogs.Shown.empty());
        QCOMPARE(cell(1, 1).Value, 1);
        QCOMPARE(cell(1, 1).State, 0);
        QCOMPARE(cell(2, 1).Value, 2);
        QCOMPARE(cell(2, 1).State, 1);
        QCOMPARE(cell(9, 9).Value, 9);
        QCOMPARE(cell(9, 9).State, 0);
        QCOMPARE(Form1->Cells[1][1].DigitLabel.Caption(), QString("1"));
        QCOMPARE(Form1->Cells[1][1].Panel.Caption(), QString("1"));
        QVERIFY(Form1->Cells[1][1].Background.Shows(FormOpt->orgFest));
        QCOMPARE(Form1->Cells[2][1].Background.Colour(), 0x00FF00);
        QCOMPARE(EditorPuzzleLines(Form1->Boards[0]), QString(kFullFile).split("\r\n").mid(0, 9));
    }

    void loadKeepsWhatTheFileLeaves()
    {
        press(THitKind::MarkImage, 9, 1, 3, Qt::LeftButton);
        press(THitKind::MarkImage, 2, 2, 6, Qt::RightButton);
        const QString path = folder + "/luecken.sudoku";
        writeFile(path, "A```````x\r\n`?```````\r\n");
        QVERIFY(Form1->EditorLoadPuzzle(path));
        QCOMPARE(cell(1, 1).Value, 1);
        QCOMPARE(cell(9, 1).Value, 3); // "x" is skipped
        QCOMPARE(cell(9, 1).State, 0);
        QCOMPARE(cell(2, 2).Value, 6); // "?" is skipped
        QCOMPARE(cell(2, 2).State, 1);
        QCOMPARE(cell(3, 3).State, -1);
    }

    void shortFileLoadsWhatItHas_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("filled");
        QTest::newRow("empty file") << QByteArray() << 0;
        QTest::newRow("one short line") << QByteArray("ABC") << 3;
        QTest::newRow("three lines") << QByteArray("AAAAAAAAA\nbbbbbbbbb\nCC") << 20;
        QTest::newRow("no line end, long line") << QByteArray("abcdefghiabcdefghi") << 9;
        QTest::newRow("binary") << QByteArray("\0\xff\x80\x01\r\r\r", 7) << 0;
    }
    void shortFileLoadsWhatItHas()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, filled);
        const QString path = folder + "/kurz.sudoku";
        writeFile(path, bytes);
        fx->Dialogs.NextFileName = path;
        Form1->BTC_LadenClick();
        QVERIFY(fx->Dialogs.Shown.empty());
        int n = 0;
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x)
                n += cell(x, y).State != -1 ? 1 : 0;
        QCOMPARE(n, filled);
    }

    void unreadableFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing") << "fehlt.sudoku";
        QTest::newRow("a folder") << "ordner.sudoku";
    }
    void unreadableFile()
    {
        QFETCH(QString, name);
        QDir().mkpath(folder + "/ordner.sudoku");
        press(THitKind::MarkImage, 4, 4, 4, Qt::LeftButton);
        const QString path = folder + "/" + name;
        fx->Dialogs.NextFileName = path;
        Form1->BTC_LadenClick();
        QCOMPARE(
            fx->Dialogs.Texts(),
            QStringList{QString("Die Datei \"%1\" konnte nicht gelesen werden.").arg(QDir::toNativeSeparators(path))});
        QCOMPARE(fx->Dialogs.Shown[0].Type, TMsgDlgType::Error);
        QCOMPARE(cell(4, 4).Value, 4);
    }

    void loadCancelled()
    {
        press(THitKind::MarkImage, 4, 4, 4, Qt::LeftButton);
        Form1->BTC_LadenClick();
        QVERIFY(fx->Dialogs.Shown.empty());
        QCOMPARE(cell(4, 4).Value, 4);
    }

    // ---- testing and saving ----

    void testResult_data()
    {
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("shown");
        QTest::newRow("ok") << "ok"
                            << "keinen Fehler gefunden";
        QTest::newRow("cells left") << "Es sind noch 4 Felder frei"
                                    << "Es sind noch 4 Felder frei";
    }
    void testResult()
    {
        QFETCH(QString, result);
        QFETCH(QString, shown);
        SetEditorPuzzleTest([result](QString &r) {
            r = result;
            return true;
        });
        Form1->BTC_TestenClick();
        QCOMPARE(fx->Dialogs.Texts(), QStringList{shown});
        QCOMPARE(fx->Dialogs.Shown[0].Type, TMsgDlgType::Information);
    }

    void saveFileAs_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("written");
        QTest::newRow("own extension") << "l_neu.sudoku"
                                       << "l_neu.sudoku";
        QTest::newRow("another extension") << "m_neu.txt"
                                           << "m_neu.sudoku";
    }
    void saveFileAs()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, written);
        const QString load = folder + "/quelle.sudoku";
        writeFile(load, kFullFile);
        QVERIFY(Form1->EditorLoadPuzzle(load));
        fx->Dialogs.NextFileName = folder + "/" + chosen;
        Form1->BTC_SpeichernClick();
        QVERIFY(fx->Dialogs.Shown.empty());
        QCOMPARE(readAll(folder + "/" + written), QByteArray(kFullFile));
        QVERIFY(chosen == written || !QFile::exists(folder + "/" + chosen));
    }

    void saveWritesEmptyCellsAsGraveAccents()
    {
        press(THitKind::MarkImage, 1, 1, 5, Qt::LeftButton);
        press(THitKind::MarkImage, 2, 1, 6, Qt::RightButton);
        const QString path = folder + "/teil.sudoku";
        QVERIFY(Form1->EditorSavePuzzle(path));
        const QList<QByteArray> lines = readAll(path).split('\n');
        QCOMPARE(lines.size(), 10);
        QCOMPARE(lines[0], QByteArray("Ef```````\r"));
        QCOMPARE(lines[8], QByteArray("`````````\r"));
    }

    void overwriteQuestion_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("overwritten");
        QTest::newRow("yes") << int(mrYes) << true;
        QTest::newRow("no") << int(mrNo) << false;
    }
    void overwriteQuestion()
    {
        QFETCH(int, answer);
        QFETCH(bool, overwritten);
        const QString path = folder + "/alt.sudoku";
        writeFile(path, "alt");
        press(THitKind::MarkImage, 1, 1, 1, Qt::LeftButton);
        fx->Dialogs.NextFileName = path;
        fx->Dialogs.Answers.push_back(answer);
        Form1->BTC_SpeichernClick();
        QCOMPARE(fx->Dialogs.Texts(), QStringList{"Datei überschreiben ?"});
        QCOMPARE(fx->Dialogs.Shown[0].Buttons, TMsgDlgButtons::YesNo);
        QCOMPARE(readAll(path).startsWith("A````"), overwritten);
        QCOMPARE(readAll(path) == "alt", !overwritten);
    }

    // The program asks about an existing file itself, for the name it really
    // writes; the real save dialog must not ask first.
    void saveDialogLeavesTheQuestionToTheEditor()
    {
        const QString path = folder + "/vorhanden.sudoku";
        writeFile(path, "alt");
        QStringList boxes;
        bool gaveUp = false;
        QTimer poll;
        poll.setInterval(10);
        connect(&poll, &QTimer::timeout, [&] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible()) {
                    boxes << box->text();
                    box->done(QMessageBox::No);
                    return;
                }
            if (auto *dlg = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
                // A question answered "No" leaves the dialog open: give up then.
                if (!boxes.isEmpty()) {
                    gaveUp = true;
                    dlg->reject();
                    return;
                }
                dlg->selectFile(path);
                QMetaObject::invokeMethod(dlg, "accept", Qt::QueuedConnection);
            }
        });
        InstallDialogService(nullptr);
        poll.start();
        const QString chosen =
            Dialogs()->SaveFileName(Form1, Form1->Save1.Title, folder, Form1->Save1.Filter, Form1->Save1.DefaultExt);
        poll.stop();
        InstallDialogService(&fx->Dialogs);
        QCOMPARE(boxes, QStringList());
        QVERIFY(!gaveUp);
        QCOMPARE(QFileInfo(chosen).canonicalFilePath(), QFileInfo(path).canonicalFilePath());
    }

    void failedTestSavesNothing()
    {
        SetEditorPuzzleTest([](QString &r) {
            r = QStringLiteral("Vorgabe führt zu eimem falschen Ergebnis in Zeile 3");
            return true;
        });
        const QString path = folder + "/falsch.sudoku";
        fx->Dialogs.NextFileName = path;
        Form1->BTC_SpeichernClick();
        QCOMPARE(fx->Dialogs.Texts(),
                 QStringList{"Vorgabe führt zu eimem falschen Ergebnis in Zeile 3\n\rDatei wurde nicht gespeichert!"});
        QVERIFY(!QFile::exists(path));
    }

    void failedSaveIsReported()
    {
        const QString path = folder + "/gibt/es/nicht/neu.sudoku";
        fx->Dialogs.NextFileName = path;
        Form1->BTC_SpeichernClick();
        QCOMPARE(fx->Dialogs.Texts(),
                 QStringList{
                     QString("Die Datei \"%1\" konnte nicht gespeichert werden.").arg(QDir::toNativeSeparators(path))});
        QCOMPARE(fx->Dialogs.Shown[0].Type, TMsgDlgType::Error);
    }

    // A full disk: the old file stays as it was, no half-written file is
    // left, and the user is told.
    void fullDiskKeepsOldFileAndIsReported()
    {
        TSmallDisk disk;
        if (!disk.Ready())
            QSKIP("a small tmpfs needs root");
        const QString path = disk.FilePath("alt.sudoku");
        writeFile(path, kFullFile);
        disk.Fill();
        press(THitKind::MarkImage, 1, 1, 1, Qt::LeftButton);
        fx->Dialogs.NextFileName = path;
        fx->Dialogs.Answers.push_back(mrYes);
        Form1->BTC_SpeichernClick();
        QCOMPARE(fx->Dialogs.Texts(),
                 (QStringList{"Datei überschreiben ?",
                              QString("Die Datei \"%1\" konnte nicht gespeichert werden.")
                                  .arg(QDir::toNativeSeparators(path))}));
        QCOMPARE(readAll(path), QByteArray(kFullFile));
        QCOMPARE(disk.Names(), QStringList{"alt.sudoku"});
    }

    void saveCancelled()
    {
        Form1->BTC_SpeichernClick();
        QVERIFY(fx->Dialogs.Shown.empty());
    }

    void withoutTestSavingStillWorks()
    {
        SetEditorPuzzleTest([](QString &) { return false; });
        const QString path = folder + "/ungetestet.sudoku";
        fx->Dialogs.NextFileName = path;
        Form1->BTC_SpeichernClick();
        QVERIFY(QFile::exists(path));
        Form1->BTC_TestenClick();
        QCOMPARE(fx->Dialogs.Texts(), QStringList{"Der Test ist nicht verfügbar."});
    }

    // ---- with the solver's own test ----

    void solvedPuzzleIsSavedWhole()
    {
        SetEditorPuzzleTest({});
        const QString puzzle = QString::fromLatin1(kBuiltinPuzzles[0][0]);
        QStringList full;
        for (int y = 0; y < 9; ++y)
            full << puzzle.mid(9 * y, 9);
        const QString load = folder + "/vorgabe.sudoku";
        writeFile(load, builtinGivens().join("\r\n").toLatin1());
        QVERIFY(Form1->EditorLoadPuzzle(load));
        Form1->BTC_TestenClick();
        QCOMPARE(fx->Dialogs.Texts(), QStringList{"keinen Fehler gefunden"});
        QCOMPARE(cell(1, 1).State, 1);
        QCOMPARE(Form1->Cells[1][1].Background.Colour(), 0x00FF00);

        fx->Dialogs.Shown.clear();
        const QString path = folder + "/geloest.sudoku";
        fx->Dialogs.NextFileName = path;
        Form1->BTC_SpeichernClick();
        QVERIFY(fx->Dialogs.Shown.empty());
        QCOMPARE(readAll(path), (full.join("\r\n") + "\r\n").toLatin1());
    }

    void contradictionBlocksSaving()
    {
        SetEditorPuzzleTest({});
        press(THitKind::MarkImage, 1, 3, 5, Qt::LeftButton);
        press(THitKind::MarkImage, 6, 3, 5, Qt::LeftButton);
        const QString path = folder + "/doppelt.sudoku";
        fx->Dialogs.NextFileName = path;
        Form1->BTC_SpeichernClick();
        QCOMPARE(fx->Dialogs.Texts(),
                 QStringList{"Vorgabe führt zu eimem falschen Ergebnis in Zeile 3\n\rDatei wurde nicht gespeichert!"});
        QVERIFY(!QFile::exists(path));
    }

    void helpMode()
    {
        Form1->HelpCursor = -20;
        press(THitKind::MarkImage, 1, 1, 1, Qt::LeftButton);
        fx->Dialogs.NextFileName = folder + "/hilfe.sudoku";
        Form1->BTC_NeuClick();
        Form1->BTC_SpeichernClick();
        Form1->BTC_Edit_EndeClick();
        QVERIFY(FormInfo->isVisible());
        QVERIFY(Form1->EditorMode);
        QCOMPARE(cell(1, 1).Value, 1);
        QVERIFY(!QFile::exists(folder + "/hilfe.sudoku"));
        Form1->HelpCursor = 0;
    }

    // ---- leaving ----

    // Every way out of the editor gives the board back: the next game takes
    // clicks as entries again, not as editor digits.
    void everyWayOutLeavesTheEditor_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("Editor beenden") << "Editor beenden";
        QTest::newRow("Spiel beenden") << "Spiel beenden";
        QTest::newRow("Spiel beenden after a ghost choice") << "Spiel beenden, ghost";
        QTest::newRow("help window") << "Info";
    }
    void everyWayOutLeavesTheEditor()
    {
        QFETCH(QString, way);
        const int kind = FormStart->GameKind;
        if (way.endsWith("ghost"))
            FormStart->SelectSingleMode(2);
        Form1->BTC_Spiel_Ende->setEnabled(true);
        press(THitKind::MarkImage, 1, 1, 1, Qt::LeftButton);
        if (way == "Editor beenden") {
            Form1->BTC_Edit_EndeClick();
        } else if (way.startsWith("Spiel beenden")) {
            Form1->BTC_Spiel_EndeClick();
            QVERIFY(!Form1->BTC_Spiel_Ende->isEnabled());
        } else {
            Form1->BTC_InfoClick();
            QVERIFY(FormInfo->isVisible());
            FormInfo->bt_schliessenClick();
        }
        FormStart->SelectSingleMode(kind);
        QVERIFY(FormStart->isVisible());
        QVERIFY(!Form1->EditorMode);
        QVERIFY(!Form1->Panel_Edit->isVisible());
        QVERIFY(!Form1->brett->isVisible());
        QCOMPARE(Form1->Cells[1][1].Owner, -1);
        press(THitKind::MarkImage, 2, 2, 6, Qt::LeftButton);
        QCOMPARE(cell(2, 2).Value, 0);
        QCOMPARE(cell(2, 2).State, -1);
    }

    void endEditor()
    {
        FormStart->hide();
        press(THitKind::MarkImage, 1, 1, 1, Qt::LeftButton);
        Form1->BTC_Edit_EndeClick();
        QVERIFY(!Form1->EditorMode);
        QVERIFY(!Form1->brett->isVisible());
        QVERIFY(!Form1->Panel_Edit->isVisible());
        QVERIFY(FormStart->isVisible());
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x)
                QCOMPARE(Form1->Cells[x][y].Owner, -1);
        // Outside the editor a press places nothing.
        press(THitKind::MarkImage, 2, 2, 6, Qt::LeftButton);
        QCOMPARE(cell(2, 2).Value, 0);
        QCOMPARE(cell(2, 2).State, -1);
    }
};

QTEST_MAIN(TstEditor)
#include "tst_editor.moc"
