// The program's Bingo routines on the Bingo window's list, the main window's
// board, the solver window and the game options: a whole game, the host
// check, the option setters, clearing the list, and the Bingo window.
#include "common/Fixture.h"
#include "board/ULog.h"
#include "board/UQuadrivo.h"
#include "net/UNETZ.h"
#include "screens/UGameOptionen.h"
#include "screens/UStart.h"
#include "settings/USonstiges.h"
#include "solver/BingoSupport.h"
#include "solver/UBingo.h"
#include "solver/USolver.h"

#include <QSet>
#include <QtTest>

class TstBingo : public QObject {
    Q_OBJECT
    std::unique_ptr<TTestFixture> fx;

private slots:
    void initTestCase()
    {
        fx = std::make_unique<TTestFixture>();
        fx->StartProgram();
        FormStart->hide();
    }
    void cleanupTestCase() { fx.reset(); }
    void init()
    {
        TTestFixture::Now = 5000000000LL;
        Trace->LogBox->clear();
        Trace->cb_Bingo->setChecked(false);
    }

    // ---- a whole game ----

    // Played through the program to a full board, the first item of each
    // offer entered (the draw alone is tested in tst_bingodraw).
    void wholeGameThroughTheProgram_data()
    {
        QTest::addColumn<bool>("fields");
        QTest::addColumn<bool>("whenEmpty");
        QTest::addColumn<int>("change");
        QTest::newRow("numbers, sofort") << false << false << 0;
        QTest::newRow("fields, wenn leer, wechselnd") << true << true << 1;
    }
    void wholeGameThroughTheProgram()
    {
        QFETCH(bool, fields);
        QFETCH(bool, whenEmpty);
        QFETCH(int, change);
        FormGO->BingoMax->setValue(3);
        SetBingoKind(fields ? 2 : 1);
        SetBingoFill(whenEmpty ? 2 : 1);
        SetBingoChange(change);
        FormGO->SetGameType(4);
        QVERIFY(IsBingoActive());
        for (int k = 0; k <= 8; ++k)
            Form1->Boards[k] = TBoardLayer();
        Form1->LoadPuzzleString(Builtin(1, 3));
        Form1->Boards[1] = Form1->Boards[0];
        NETZ->MyPlayerNo = 1;
        TSolverGrid &grid = FormSolver->GameGrid;
        FormSolver->LoadGameFromBoard(grid, Form1->Boards);
        FormSolver->SolveStep(grid, false);
        ClearBingoList();
        QVERIFY(NextBingoDraw(true));
        TBingoList &l = FormBingo->BingoList;
        QSet<bool> kinds;
        for (int step = 0; CountFreeCells(Form1->Boards) > 0; ++step) {
            QVERIFY(step <= 81);
            QVERIFY(!l.OfferValues.isEmpty());
            kinds.insert(IsBingoNumbersNow());
            const int x = l.OfferX[0].digitValue(), y = l.OfferY[0].digitValue(), v = l.OfferValues[0].digitValue();
            QCOMPARE(Form1->Boards[0][x][y].Value, v);
            QVERIFY(IsCellFreeOnAllLayers(Form1->Boards, x, y));
            Form1->Boards[1][x][y] = TGridEntry{v, 1, 0, 0};
            l.InputSinceDraw = QString::number(v);
            FormSolver->PlaceDigit(grid, x, v, y);
            RemoveBingoEntry(x, y, v);
            FormSolver->SolveStep(grid, false);
            TTestFixture::Now += 777;
            QVERIFY(NextBingoDraw(false));
        }
        QVERIFY(l.OfferValues.isEmpty());
        // "Wechselnd" with "wenn Vorgabe leer" turns numbers and fields about.
        QCOMPARE(kinds.size(), change == 1 ? 2 : 1);
        FormGO->SetGameType(1);
        NETZ->MyPlayerNo = 0;
    }

    // The program asks the network layer whether this machine hosts.
    void clientDoesNotDrawThroughTheProgram()
    {
        TBingoList before;
        SetList(before, QStringLiteral("5@11/1 3@22/2"));
        before.OfferValues = QStringLiteral("5");
        before.InputSinceDraw = QStringLiteral("5");
        FormBingo->BingoList = before;
        NETZ->MyPlayerNo = 2;
        QVERIFY(!NextBingoDraw(true));
        QVERIFY(SameList(FormBingo->BingoList, before));
        NETZ->MyPlayerNo = 0;
        QVERIFY(!NextBingoDraw(true));
        QVERIFY(SameList(FormBingo->BingoList, before));
    }

    // ---- the program's routines and the window ----

    void setters_data()
    {
        QTest::addColumn<int>("fill");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("change");
        QTest::addColumn<QString>("checked");
        QTest::addColumn<bool>("changeEnabled");
        QTest::newRow("sofort, Zahlen, fest") << 1 << 1 << 0 << "voll Zahlen fest" << false;
        QTest::newRow("wenn leer, Felder, wechselnd") << 2 << 2 << 1 << "leer Felder alternate" << true;
        QTest::newRow("wenn leer, Zahlen, Zufall") << 2 << 1 << 2 << "leer Zahlen random" << true;
    }
    void setters()
    {
        QFETCH(int, fill);
        QFETCH(int, kind);
        QFETCH(int, change);
        QFETCH(QString, checked);
        QFETCH(bool, changeEnabled);
        FormGO->SetGameType(4); // the Bingo controls are enabled
        SetBingoChange(change);
        SetBingoKind(kind);
        SetBingoFill(fill);
        QStringList on;
        on << (FormGO->rb_Bingo_voll->isChecked() ? "voll" : FormGO->rb_Bingo_leer->isChecked() ? "leer" : "?");
        on << (FormGO->rb_Zahlen->isChecked() ? "Zahlen" : FormGO->rb_Felder->isChecked() ? "Felder" : "?");
        on << (FormGO->rb_fest->isChecked()        ? "fest"
               : FormGO->rb_alternate->isChecked() ? "alternate"
               : FormGO->rb_random->isChecked()    ? "random"
                                                   : "?");
        QCOMPARE(on.join(QLatin1Char(' ')), checked);
        QCOMPARE(FormGO->rb_alternate->isEnabled(), changeEnabled);
        QCOMPARE(FormGO->rb_random->isEnabled(), changeEnabled);
        QCOMPARE(FormGO->rb_fest->isEnabled(), changeEnabled);
        const TBingoSettings s = BingoSettingsFromOptions();
        QCOMPARE(s.RefillEmpty, fill == 2);
        QCOMPARE(s.Numbers, kind == 1);
        QCOMPARE(s.Fixed, change == 0);
        QCOMPARE(s.Alternate, change == 1);
        QCOMPARE(s.Random, change == 2);
        QVERIFY(IsBingoActive());
        FormGO->SetGameType(1);
        QVERIFY(!IsBingoActive());
    }

    void clearBingoList()
    {
        Trace->cb_Bingo->setChecked(true);
        TBingoList &l = FormBingo->BingoList;
        SetList(l, QStringLiteral("5@11/1 - 3@33/2"));
        l.Entries[1].x = 4; // a free slot that still names a cell
        l.EntryCount = 3;
        l.OfferValues = QStringLiteral("53");
        l.OfferX = QStringLiteral("13");
        l.OfferY = QStringLiteral("13");
        l.InputSinceDraw = QStringLiteral("5");
        Form1->Cells[1][1].BingoMark = 1;
        Form1->Cells[3][3].BingoMark = 1;
        for (int d = 1; d <= 9; ++d)
            Form1->Cells[1][1].Mark(d).ShownState = Form1->Cells[1][1].Mark(d).State;
        ClearBingoList();
        for (const BingoEntry &e : l.Entries)
            QVERIFY(e.x == 0 && e.y == 0 && e.value == 0 && e.kind == 0);
        QCOMPARE(l.EntryCount, 0);
        QVERIFY(l.OfferValues.isEmpty() && l.OfferX.isEmpty() && l.OfferY.isEmpty() && l.InputSinceDraw.isEmpty());
        QCOMPARE(Form1->Cells[1][1].BingoMark, uint8_t(0));
        QCOMPARE(Form1->Cells[3][3].BingoMark, uint8_t(0));
        for (int d = 1; d <= 9; ++d)
            QCOMPARE(Form1->Cells[1][1].Mark(d).ShownState, -1);
        QVERIFY(Trace->LogBox->Items().filter(QStringLiteral("Lösche BingoLst")).size() == 1);
    }

    void resetBingo()
    {
        TBingoList &l = FormBingo->BingoList;
        SetList(l, QStringLiteral("5@11/1 3@33/2"));
        l.EntryCount = 2;
        l.OfferValues = QStringLiteral("5");
        l.BagValues = QStringLiteral("53");
        ResetBingo();
        for (const BingoEntry &e : l.Entries)
            QVERIFY(e.value == 0 && e.kind == 0 && e.x == 0);
        QCOMPARE(l.EntryCount, 0);
        QVERIFY(l.OfferValues.isEmpty() && l.BagValues.isEmpty());
    }

    void showBingoNumbers_data()
    {
        QTest::addColumn<bool>("active");
        QTest::addColumn<bool>("numbers");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("visible");
        QTest::newRow("numbers are shown") << true << true << "358" << true;
        QTest::newRow("fields hide the window") << true << false << "358" << false;
        QTest::newRow("no Bingo, nothing changes") << false << true << "358" << false;
        QTest::newRow("no text, nothing changes") << true << true << "" << false;
    }
    void showBingoNumbers()
    {
        QFETCH(bool, active);
        QFETCH(bool, numbers);
        QFETCH(QString, text);
        QFETCH(bool, visible);
        Trace->cb_Bingo->setChecked(true);
        FormBingo->hide();
        FormBingo->Zahl->setText(QStringLiteral("old"));
        FormGO->SetGameType(active ? 4 : 1);
        FormBingo->DrawNumbers = numbers;
        ShowBingoNumbers(text);
        QCOMPARE(FormBingo->isVisible(), visible);
        const bool acts = active && !text.isEmpty();
        QCOMPARE(FormBingo->Zahl->text(), acts ? text : QStringLiteral("old"));
        if (acts) {
            QCOMPARE(FormBingo->width(), FormBingo->Zahl->width() + 50);
            QCOMPARE(FormBingo->Image1->size(), FormBingo->size());
            QVERIFY(Trace->LogBox->Items().filter(QStringLiteral("Zahlen(%1)").arg(text)).size() == 1);
        }
        FormBingo->hide();
        FormGO->SetGameType(1);
    }

    void windowDefinition()
    {
        TFormBingo w;
        QCOMPARE(w.windowTitle(), QStringLiteral("Bingo"));
        QVERIFY(w.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(w.windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(w.size(), QSize(115, 101));
        QCOMPARE(w.Image1->geometry(), QRect(0, 0, 115, 101));
        QCOMPARE(w.Zahl->font().pixelSize(), 80);
        QCOMPARE(w.Zahl->font().family(), QStringLiteral("Verdana"));
    }

    void placedWhenShown()
    {
        Trace->cb_Bingo->setChecked(true);
        FormBingo->hide();
        FormBingo->move(0, 0);
        FormBingo->show();
        const QRect main = Form1->geometry();
        QCOMPARE(FormBingo->x(), main.left() + Form1->ToolPanel->x() + 20);
        QCOMPARE(FormBingo->y(), main.top() + Form1->ToolPanel->y() + Form1->art_label->y() + 20);
        QVERIFY(Trace->LogBox->Items().filter(QStringLiteral("Bingo ein")).size() == 1);
        FormBingo->hide();
    }

    void draggedByAPress()
    {
        FormBingo->show();
        const QPoint start = FormBingo->pos();
        // A real press on the picture starts the drag.
        QTest::mousePress(FormBingo->Image1, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
        FormBingo->Image1MouseMove(FormBingo->Image1, 40, 30);
        QCOMPARE(FormBingo->pos(), start + QPoint(30, 20));
        QCOMPARE(FormBingo->cursor().shape(), Qt::SizeAllCursor);
        // The number label drags the same way, in window coordinates.
        FormBingo->Image1MouseMove(FormBingo->Zahl, 15 - FormBingo->Zahl->x(), 20 - FormBingo->Zahl->y());
        QCOMPARE(FormBingo->pos(), start + QPoint(35, 30));
        QTest::mouseRelease(FormBingo->Image1, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
        const QPoint released = FormBingo->pos();
        FormBingo->Image1MouseMove(FormBingo->Image1, 60, 60);
        QCOMPARE(FormBingo->pos(), released);
        // The right button does not drag.
        FormBingo->Image1MouseDown(FormBingo->Image1, Qt::RightButton, 10, 10);
        FormBingo->Image1MouseMove(FormBingo->Image1, 50, 50);
        QCOMPARE(FormBingo->pos(), released);
        FormBingo->hide();
    }
};

QTEST_MAIN(TstBingo)
#include "tst_bingo.moc"
