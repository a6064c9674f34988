// Board input: digit entries and pencil marks by mouse (through the board
// widget and directly), the limit of marks per cell, the used-marks report,
// clearing own entries, the keypad and the keys Esc and Enter.
#include "common/Fixture.h"
#include "board/UMeldung.h"
#include "board/UQuadrivo.h"
#include "board/UQuadrivo_Builtin.h"
#include "board/UQuadrivo_Input.h"
#include "net/UNETZ.h"
#include "net/UWebForm.h"
#include "screens/UGameOptionen.h"
#include "screens/UOptionen.h"
#include "screens/UStart.h"
#include "settings/USonstiges.h"

#include <QApplication>
#include <QKeyEvent>
#include <QtTest>

using THit = TBoardWidget::THit;
using THitKind = TBoardWidget::THitKind;

class TstInput : public QObject {
    Q_OBJECT
    std::unique_ptr<TTestFixture> fx;
    std::vector<TTelegram> sent;

    std::vector<TTelegram> sentOfKind(int kind) const
    {
        std::vector<TTelegram> out;
        for (const TTelegram &t : sent)
            if (t.Aktion == kind)
                out.push_back(t);
        return out;
    }

    static TMarkEntry &mark(int x, int y, int d) { return Form1->Cells[x][y].Mark(d); }

    // The centre of a board control in brett's coordinates.
    static QPoint centreOf(THitKind kind, int x, int y, int d = 0)
    {
        THit hit;
        hit.Kind = kind;
        hit.X = x;
        hit.Y = y;
        hit.Digit = d;
        return Form1->brett->ControlRect(hit).center();
    }

    // A click on a pencil mark through the board widget, as the mouse gives it.
    static void clickMark(int x, int y, int d, Qt::MouseButton button)
    {
        const QPoint p = centreOf(THitKind::MarkImage, x, y, d);
        QTest::mousePress(Form1->brett, button, Qt::NoModifier, p);
        QTest::mouseRelease(Form1->brett, button, Qt::NoModifier, p);
    }

    // A game of one player on the board of the first built-in puzzle, every
    // cell showing its marks.
    void runningGame(int limit)
    {
        Form1->LoadPuzzleString(QString::fromLatin1(kBuiltinPuzzles[0][0]));
        Form1->Boards[1] = Form1->Boards[0];
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x) {
                TCellView &cv = Form1->Cells[x][y];
                cv.ShowMarks = 1;
                DrawCell(x, y, true);
                for (int d = 1; d <= 9; ++d)
                    cv.Mark(d).State = 0;
            }
        FormFeld->RefreshMarks();
        FormGO->SetMaxMarks(limit);
        Form1->Players[1].Active = true;
        Form1->Players[1].PlayerNo = 1;
        Form1->Players[1].Name = QStringLiteral("Ich");
        NETZ->MyPlayerNo = 1;
        Form1->SinglePlayerGame = true;
        Form1->GameRunning = true;
        Form1->brett->show();
        sent.clear();
    }

private slots:
    void initTestCase()
    {
        fx = std::make_unique<TTestFixture>();
        fx->StartProgram();
        Form1->show();
        FormStart->hide();
        connect(NETZ, &TNETZ::TelegramDispatched, this,
                [this](const TTelegram &t, const QString &) { sent.push_back(t); });
    }
    void cleanupTestCase() { fx.reset(); }

    void init()
    {
        fx->Dialogs.Shown.clear();
        Form1->HelpCursor = 0;
        Form1->EditorMode = false;
        Form1->GameRunning = false;
        Form1->Paused = false;
        Form1->ResetPlayers();
        NETZ->MyPlayerNo = 0;
        NETZ->SetListenerActive(false);
        WEBForm->LoggedIn = false;
        FormStart->GameKind = 1;
        if (Form1->isMinimized())
            Form1->showNormal();
        sent.clear();
    }

    // ---- the rules ----

    void nextMarkState_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("colour");
        QTest::addColumn<int>("marks");
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("next");
        QTest::newRow("right sets colour 1") << 0 << 1 << 0 << 2 << 1;
        QTest::newRow("right clears colour 1") << 1 << 1 << 1 << 2 << 0;
        QTest::newRow("right turns 2 into 1") << 2 << 1 << 2 << 2 << 1;
        QTest::newRow("middle sets colour 2") << 0 << 2 << 1 << 2 << 2;
        QTest::newRow("middle clears colour 2") << 2 << 2 << 1 << 2 << 0;
        QTest::newRow("middle turns 1 into 2") << 1 << 2 << 2 << 2 << 2;
        QTest::newRow("limit reached") << 0 << 1 << 2 << 2 << 0;
        QTest::newRow("limit 0") << 0 << 2 << 0 << 0 << 0;
        QTest::newRow("limit 9") << 0 << 1 << 8 << 9 << 1;
    }
    void nextMarkState()
    {
        QFETCH(int, state);
        QFETCH(int, colour);
        QFETCH(int, marks);
        QFETCH(int, limit);
        QTEST(NextMarkState(state, colour, marks, limit), "next");
    }

    void keypadBlocks_data()
    {
        QTest::addColumn<int>("digit");
        QTest::addColumn<bool>("block");
        QTest::addColumn<int>("bx");
        QTest::addColumn<int>("by");
        QTest::newRow("7 top left") << 7 << true << 1 << 1;
        QTest::newRow("9 top right") << 9 << true << 3 << 1;
        QTest::newRow("5 centre") << 5 << true << 2 << 2;
        QTest::newRow("4 middle left") << 4 << true << 1 << 2;
        QTest::newRow("1 bottom left") << 1 << true << 1 << 3;
        QTest::newRow("3 bottom right") << 3 << true << 3 << 3;
        QTest::newRow("0 the board") << 0 << false << 0 << 0;
        QTest::newRow("10 nothing") << 10 << false << 0 << 0;
    }
    void keypadBlocks()
    {
        QFETCH(int, digit);
        QFETCH(bool, block);
        int bx = 0, by = 0;
        QCOMPARE(KeypadBlock(digit, bx, by), block);
        QTEST(bx, "bx");
        QTEST(by, "by");
    }

    // ---- marks by mouse ----

    void marksCycleThroughTheBoard()
    {
        runningGame(2);
        clickMark(3, 1, 5, Qt::RightButton);
        QCOMPARE(mark(3, 1, 5).State, 1);
        QCOMPARE(mark(3, 1, 5).ShownState, 1);
        QVERIFY(mark(3, 1, 5).Image.Shows(FormOpt->org1Merker));
        clickMark(3, 1, 5, Qt::RightButton);
        QCOMPARE(mark(3, 1, 5).State, 0);
        clickMark(3, 1, 5, Qt::MiddleButton);
        QCOMPARE(mark(3, 1, 5).State, 2);
        QVERIFY(mark(3, 1, 5).Image.Shows(FormOpt->org2Merker));
        clickMark(3, 1, 5, Qt::RightButton);
        QCOMPARE(mark(3, 1, 5).State, 1);
        clickMark(3, 1, 5, Qt::MiddleButton);
        QCOMPARE(mark(3, 1, 5).State, 2);
        clickMark(3, 1, 5, Qt::MiddleButton);
        QCOMPARE(mark(3, 1, 5).State, 0);
        // No digit was entered.
        QVERIFY(sentOfKind(akEntry).empty());
    }

    void markLimit()
    {
        runningGame(2);
        clickMark(2, 2, 1, Qt::RightButton);
        clickMark(2, 2, 9, Qt::MiddleButton);
        clickMark(2, 2, 4, Qt::RightButton);
        QCOMPARE(mark(2, 2, 1).State, 1);
        QCOMPARE(mark(2, 2, 9).State, 2);
        QCOMPARE(mark(2, 2, 4).State, 0);
        // A set mark still changes colour.
        clickMark(2, 2, 1, Qt::MiddleButton);
        QCOMPARE(mark(2, 2, 1).State, 2);
        // The limit is per cell.
        clickMark(3, 2, 4, Qt::RightButton);
        QCOMPARE(mark(3, 2, 4).State, 1);
    }

    void noMarksWithLimitZero()
    {
        runningGame(0);
        clickMark(5, 5, 5, Qt::RightButton);
        clickMark(5, 5, 6, Qt::MiddleButton);
        QCOMPARE(mark(5, 5, 5).State, 0);
        QCOMPARE(mark(5, 5, 6).State, 0);
    }

    void usedMarksReport()
    {
        runningGame(3);
        clickMark(1, 1, 1, Qt::RightButton);
        QCOMPARE(Form1->Players[1].UsedMarks, 1);
        QCOMPARE(Form1->Players[1].SentUsedMarks, 1);
        clickMark(1, 1, 2, Qt::MiddleButton);
        clickMark(7, 7, 3, Qt::RightButton); // fewer in another cell: nothing new
        QCOMPARE(Form1->Players[1].UsedMarks, 2);
        const auto reports = sentOfKind(akUsedMarks);
        QCOMPARE(int(reports.size()), 2);
        QCOMPARE(reports[0].x, 1);
        QCOMPARE(reports[1].x, 2);
        QCOMPARE(reports[1].Gid, 1);
        // Taking marks away never lowers the count.
        clickMark(1, 1, 1, Qt::RightButton);
        clickMark(1, 1, 2, Qt::MiddleButton);
        QCOMPARE(Form1->Players[1].UsedMarks, 2);
        QCOMPARE(int(sentOfKind(akUsedMarks).size()), 2);
    }

    void leftClickEntersTheDigit()
    {
        runningGame(2);
        clickMark(4, 6, 7, Qt::LeftButton);
        const auto entries = sentOfKind(akEntry);
        QCOMPARE(int(entries.size()), 1);
        QCOMPARE(entries[0].x, 4);
        QCOMPARE(entries[0].y, 6);
        QCOMPARE(entries[0].z, 7);
        QCOMPARE(entries[0].Gid, 1);
        QCOMPARE(mark(4, 6, 7).State, 0);
    }

    void ignoredReleases_data()
    {
        QTest::addColumn<int>("situation");
        QTest::newRow("no game") << 0;
        QTest::newRow("own player out") << 1;
        QTest::newRow("editor") << 2;
    }
    void ignoredReleases()
    {
        QFETCH(int, situation);
        runningGame(2);
        if (situation == 0)
            Form1->GameRunning = false;
        else if (situation == 1)
            Form1->Players[1].GameOver = true;
        else
            Form1->EditorMode = true;
        THit hit;
        hit.Kind = THitKind::MarkImage;
        hit.X = 2;
        hit.Y = 3;
        hit.Digit = 4;
        QObject *control = Form1->brett->ControlFor(hit);
        Form1->MouseUp(control, Qt::RightButton, Qt::NoModifier, 1, 1);
        Form1->MouseUp(control, Qt::LeftButton, Qt::NoModifier, 1, 1);
        QCOMPARE(mark(2, 3, 4).State, 0);
        QVERIFY(sentOfKind(akEntry).empty());
        Form1->EditorMode = false;
    }

    void releaseOffTheControlCancels()
    {
        runningGame(2);
        const QPoint press = centreOf(THitKind::MarkImage, 6, 6, 1);
        const QPoint away = centreOf(THitKind::MarkImage, 6, 6, 9);
        QTest::mousePress(Form1->brett, Qt::RightButton, Qt::NoModifier, press);
        QTest::mouseRelease(Form1->brett, Qt::RightButton, Qt::NoModifier, away);
        QCOMPARE(mark(6, 6, 1).State, 0);
        QCOMPARE(mark(6, 6, 9).State, 0);
        QTest::mousePress(Form1->brett, Qt::LeftButton, Qt::NoModifier, press);
        QTest::mouseRelease(Form1->brett, Qt::LeftButton, Qt::NoModifier, away);
        QVERIFY(sentOfKind(akEntry).empty());
        // Directly: a point left of or below the control.
        THit hit = Form1->brett->HitTest(press);
        QObject *control = Form1->brett->ControlFor(hit);
        Form1->MouseUp(control, Qt::RightButton, Qt::NoModifier, -1, 2);
        Form1->MouseUp(control, Qt::RightButton, Qt::NoModifier, 2, 500);
        QCOMPARE(mark(6, 6, 1).State, 0);
    }

    void pressTakesBackOwnEntriesOnly()
    {
        runningGame(2);
        FormGO->SetOwnBoard(1);
        FormGO->SetEvaluation(0);
        if (!FormGO->IsOwnBoard() || FormGO->IsEvaluationImmediate())
            QSKIP("the option rules do not allow own boards judged at the end here");
        // (1, 1) of the first built-in puzzle is to be found, (2, 1) is given.
        QCOMPARE(Form1->Boards[1][2][1].State, -1);
        const QPoint given = centreOf(THitKind::DigitLabel, 2, 1);
        Form1->Cells[2][1].ShowMarks = 0;
        DrawCell(2, 1, false);
        QTest::mousePress(Form1->brett, Qt::LeftButton, Qt::NoModifier, given);
        QTest::mouseRelease(Form1->brett, Qt::LeftButton, Qt::NoModifier, given);
        QVERIFY(sentOfKind(akClearCells).empty());
        QCOMPARE(Form1->Boards[1][2][1].State, -1);

        // An own entry goes back to open, and the host hears of it.
        Form1->Boards[1][1][1].Value = 4;
        Form1->Boards[1][1][1].State = 1;
        Form1->Cells[1][1].ShowMarks = 0;
        DrawCell(1, 1, false);
        const QPoint own = centreOf(THitKind::DigitLabel, 1, 1);
        QTest::mousePress(Form1->brett, Qt::LeftButton, Qt::NoModifier, own);
        QTest::mouseRelease(Form1->brett, Qt::LeftButton, Qt::NoModifier, own);
        const auto clears = sentOfKind(akClearCells);
        QCOMPARE(int(clears.size()), 1);
        QCOMPARE(clears[0].x, 1);
        QCOMPARE(clears[0].y, 1);
        QCOMPARE(clears[0].Gid, 1);
        QCOMPARE(Form1->Boards[1][1][1].State, 0);
        // A right press takes nothing back.
        Form1->Boards[1][1][1].State = 1;
        QTest::mousePress(Form1->brett, Qt::RightButton, Qt::NoModifier, own);
        QTest::mouseRelease(Form1->brett, Qt::RightButton, Qt::NoModifier, own);
        QCOMPARE(int(sentOfKind(akClearCells).size()), 1);
        FormGO->SetEvaluation(1);
        FormGO->SetOwnBoard(0);
    }

    // ---- keys ----

    void keypadClearsABlock()
    {
        runningGame(9);
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x)
                mark(x, y, (x + y) % 9 + 1).State = 1 + (x % 2);
        FormFeld->RefreshMarks();
        Form1->Players[1].UsedMarks = 1;
        Form1->FormKeyUp(Qt::Key_5, Qt::KeypadModifier);
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x) {
                const bool centre = x >= 4 && x <= 6 && y >= 4 && y <= 6;
                QCOMPARE(mark(x, y, (x + y) % 9 + 1).State, centre ? 0 : 1 + (x % 2));
            }
        QCOMPARE(mark(5, 5, 2).ShownState, 0);
        // A digit off the keypad is no keypad key.
        Form1->FormKeyUp(Qt::Key_7, Qt::NoModifier);
        QCOMPARE(mark(1, 1, 3).State, 2);
        Form1->FormKeyUp(Qt::Key_7, Qt::KeypadModifier);
        QCOMPARE(mark(1, 1, 3).State, 0);
        QCOMPARE(mark(4, 1, 6).State, 1);
        Form1->FormKeyUp(Qt::Key_0, Qt::KeypadModifier);
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x)
                QCOMPARE(mark(x, y, (x + y) % 9 + 1).State, 0);
        QCOMPARE(Form1->Players[1].UsedMarks, 1);
    }

    void keypadWithNumLockOff()
    {
        runningGame(9);
        mark(5, 5, 1).State = 1;
        mark(1, 1, 1).State = 1;
        Form1->setFocus();
        // NumLock off: keypad 5 arrives as Clear, translated back on its way in.
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Clear, Qt::KeypadModifier);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Clear, Qt::KeypadModifier);
        QCoreApplication::sendEvent(Form1, &press);
        QCoreApplication::sendEvent(Form1, &release);
        QCOMPARE(mark(5, 5, 1).State, 0);
        QCOMPARE(mark(1, 1, 1).State, 1);
        // The cursor block's Home is no keypad 7.
        QKeyEvent home(QEvent::KeyRelease, Qt::Key_Home, Qt::NoModifier);
        QCoreApplication::sendEvent(Form1, &home);
        QCOMPARE(mark(1, 1, 1).State, 1);
    }

    void keypadWhileTypingTheChat()
    {
        runningGame(9);
        mark(5, 5, 1).State = 1;
        QApplication::setActiveWindow(Form1);
        Form1->Edit1->setFocus();
        if (QApplication::focusWidget() != Form1->Edit1)
            QSKIP("this platform gives no keyboard focus");
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_5, Qt::KeypadModifier, QStringLiteral("5"));
        QCoreApplication::sendEvent(Form1->Edit1, &release);
        QCOMPARE(mark(5, 5, 1).State, 1);
        // A click on the board hands the keys back.
        const QPoint p = centreOf(THitKind::MarkImage, 9, 9, 9);
        QTest::mousePress(Form1->brett, Qt::RightButton, Qt::NoModifier, p);
        QTest::mouseRelease(Form1->brett, Qt::RightButton, Qt::NoModifier, p);
        QVERIFY(!Form1->Edit1->hasFocus());
        QKeyEvent again(QEvent::KeyRelease, Qt::Key_5, Qt::KeypadModifier, QStringLiteral("5"));
        QCoreApplication::sendEvent(QApplication::focusWidget() ? QApplication::focusWidget() : Form1, &again);
        QCOMPARE(mark(5, 5, 1).State, 0);
    }

    void escape_data()
    {
        QTest::addColumn<bool>("single");
        QTest::addColumn<bool>("pauses");
        QTest::newRow("single game") << true << true;
        QTest::newRow("network game") << false << false;
    }
    void escape()
    {
        QFETCH(bool, single);
        QFETCH(bool, pauses);
        runningGame(2);
        Form1->SinglePlayerGame = single;
        Form1->BTC_Pause->setEnabled(true);
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(Form1, &esc);
        QCOMPARE(Form1->Paused, pauses);
        QVERIFY(Form1->isMinimized());
        Form1->showNormal();
        if (Form1->Paused)
            Form1->BTC_WeiterClick();
    }

    void enterSendsTheChat()
    {
        Form1->Edit1->setText("Hallo");
        Form1->FormKeyDown(Qt::Key_Return, Qt::NoModifier);
        QVERIFY(Form1->Edit1->text().isEmpty());
    }
};

QTEST_MAIN(TstInput)
#include "tst_input.moc"
