// The trace window, the message overlay and the sound cues.
#include "common/Fixture.h"
#include "board/ULog.h"
#include "board/UMeldung.h"
#include "board/UQuadrivo.h"
#include "board/Usounds.h"
#include "net/UNETZ.h"
#include "screens/UOptionen.h"
#include "settings/USonstiges.h"

#include <QLineEdit>
#include <QtTest>

class TstNotices : public QObject {
    Q_OBJECT
    std::unique_ptr<TTestFixture> fx;

private slots:
    void initTestCase()
    {
        fx = std::make_unique<TTestFixture>();
        fx->StartProgram();
        Form1->show();
    }
    void cleanupTestCase() { fx.reset(); }

    void init()
    {
        Trace->LogBox->clear();
        Trace->LastCounter = 0;
        Trace->InitTraceClock();
        for (QCheckBox *cb :
             {static_cast<QCheckBox *>(Trace->cb_telegramm_out), static_cast<QCheckBox *>(Trace->cb_telegramm_in),
              static_cast<QCheckBox *>(Trace->CB_Resolver), static_cast<QCheckBox *>(Trace->cb_Bingo),
              static_cast<QCheckBox *>(Trace->cb_turnier), static_cast<QCheckBox *>(Trace->cb_sonst),
              static_cast<QCheckBox *>(Trace->DurchFelder), static_cast<QCheckBox *>(Trace->SolverFelder),
              static_cast<QCheckBox *>(Trace->CB_Ghost), static_cast<QCheckBox *>(Trace->SpielerDaten)})
            cb->setChecked(false);
    }

    void traceStamps()
    {
        QCOMPARE(Trace->TicksPerMicrosecond, qint64(1000));
        Trace->TraceLine("erste");
        QCOMPARE(Trace->LogBox->Item(0), QString("       0µs erste"));
        TTestFixture::Now += 1500000; // 1.5 ms
        Trace->TraceLine("zweite");
        QCOMPARE(Trace->LogBox->Item(1), QString("    1500µs zweite"));
        TTestFixture::Now += 123456789012LL; // a delta of more than eight digits
        Trace->TraceLine("dritte");
        QCOMPARE(Trace->LogBox->Item(2), QString("123456789µs dritte"));
        // Clearing the log keeps the clock.
        Trace->LogBoxDblClick();
        QCOMPARE(Trace->LogBox->count(), 0);
        TTestFixture::Now += 2000;
        Trace->TraceLine("vierte");
        QCOMPARE(Trace->LogBox->Item(0), QString("       2µs vierte"));
    }

    void traceCategories_data()
    {
        QTest::addColumn<int>("category");
        QTest::addColumn<bool>("withoutBox");
        QTest::newRow("0 always") << 0 << true;
        QTest::newRow("7 always") << 7 << true;
        QTest::newRow("1 telegrams out") << 1 << false;
        QTest::newRow("2 telegrams in") << 2 << false;
        QTest::newRow("3 solver") << 3 << false;
        QTest::newRow("4 bingo") << 4 << false;
        QTest::newRow("5 tournament") << 5 << false;
        QTest::newRow("9 other") << 9 << false;
    }
    void traceCategories()
    {
        QFETCH(int, category);
        QFETCH(bool, withoutBox);
        Trace->TraceCat(category, "x");
        QCOMPARE(Trace->LogBox->count(), withoutBox ? 1 : 0);
        QCheckBox *boxes[10] = {nullptr,
                                Trace->cb_telegramm_out,
                                Trace->cb_telegramm_in,
                                Trace->CB_Resolver,
                                Trace->cb_Bingo,
                                Trace->cb_turnier,
                                nullptr,
                                nullptr,
                                nullptr,
                                Trace->cb_sonst};
        if (!withoutBox) {
            boxes[category]->setChecked(true);
            Trace->TraceCat(category, "y");
            QCOMPARE(Trace->LogBox->count(), 1);
            QVERIFY(Trace->LogBox->Item(0).endsWith("µs y"));
        }
    }

    void traceAppendJoinsText()
    {
        Trace->TraceLine("a");
        Trace->TraceAppend("b\r\nc");
        QCOMPARE(Trace->LogBox->Items(), QStringList({"       0µs a", "b", "c"}));
    }

    void debugPanelAndPlayerDump()
    {
        Form1->Players[1].Name = "Anna";
        Form1->Players[1].UsedMarks = 3;
        Form1->Players[2].Address = "127.0.0.2";
        Form1->Players[2].Active = true;
        Trace->SpielerDaten->setChecked(true);
        Trace->TraceLine("weg damit");
        Trace->Timer1Timer();
        QCOMPARE(Trace->DebugBox->Item(0), QString("offene Fenster : 0000"));
        QCOMPARE(Trace->DebugBox->Item(1), QString("Loop[0] Loopid[0] Dummy[0]"));
        QCOMPARE(Trace->DebugBox->Item(2), QString("Spieler(1): Anna -> 3 "));
        QCOMPARE(Trace->LogBox->count(), 8);
        QVERIFY(Trace->LogBox->Item(0).endsWith("Name(Anna) IP()ID(-1) Over(F) Login(F)"));
        QVERIFY(Trace->LogBox->Item(1).endsWith("Name() IP(127.0.0.2)ID(-1) Over(F) Login(T)"));
        Form1->ResetPlayers();
    }

    void gridDumpAndBadInterval()
    {
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y)
                Form1->Boards[0][x][y] = TGridEntry{x, y == 1 ? -1 : 0, 0, 0};
        Trace->DurchFelder->setChecked(true);
        Trace->Edit1->setText("250");
        Trace->Timer1Timer();
        QCOMPARE(Trace->Timer1->interval(), 250);
        // Layer 0 only: no player has a name.
        QCOMPARE(Trace->LogBox->count(), 10);
        QVERIFY(Trace->LogBox->Item(0).endsWith("Feld von 0"));
        QVERIFY(Trace->LogBox->Item(1).endsWith("123456789 | *********"));
        QVERIFY(Trace->LogBox->Item(2).endsWith("123456789 | 000000000"));
        // A text that is no number refreshes nothing; trace lines still work.
        Trace->Edit1->setText("abc");
        Trace->DebugBox->clear();
        Trace->Timer1Timer();
        QCOMPARE(Trace->DebugBox->count(), 0);
        QCOMPARE(Trace->Timer1->interval(), 250);
        Trace->Edit1->setText("500");
        Trace->Timer1Timer();
    }

    void ghostDump()
    {
        Form1->Boards[0][2][1].FirstFinder = 3;
        Form1->Boards[0][2][1].FoundTime = 456;
        Trace->DumpGhostCells();
        QCOMPARE(Trace->LogBox->count(), 81);
        QCOMPARE(Trace->LogBox->Item(1), QString("Feld(2,1) uID(3) time(456)"));
    }

    void overlayShowsAndTraces()
    {
        Trace->cb_sonst->setChecked(true);
        FormMeld->Dauer = 20;
        FormMeld->ShowText("Suche ein Spiel ...");
        QVERIFY(FormMeld->isVisible());
        QVERIFY(FormMeld->MeldePanel->isVisibleTo(FormMeld));
        QVERIFY(!FormMeld->DurchPanel->isVisibleTo(FormMeld));
        QCOMPARE(FormMeld->size(), QSize(440, 130));
        QCOMPARE(FormMeld->MeldTXT->font().pointSize(), 20);
        QVERIFY(Trace->LogBox->Item(0).endsWith("Dauer(20) Text:Suche ein Spiel ..."));

        FormMeld->ShowBigText("Pause");
        QCOMPARE(FormMeld->MeldTXT->font().pointSize(), 60);
        FormMeld->ShowTextSized("Internet", 35);
        QCOMPARE(FormMeld->MeldTXT->font().pointSize(), 35);
        QCOMPARE(Trace->LogBox->count(), 2); // the sized text is not traced
        FormMeld->ShowPenalty(12);
        QCOMPARE(FormMeld->MeldTXT->text(), QString("Strafzeit :12"));
        QCOMPARE(FormMeld->MeldTXT->font().pointSize(), 50);
        QVERIFY(Trace->LogBox->Item(2).endsWith("µs Strafzeit :12"));
        FormMeld->hide();
    }

    void overlayIsCentredOverTheBoard()
    {
        Form1->setGeometry(100, 50, 1020, 725);
        FormMeld->CenterOverBoard(440, 130);
        const QPoint o = Form1->frameGeometry().topLeft();
        QCOMPARE(FormMeld->x(), o.x() + (Form1->width() - Form1->ToolPanel->width()) / 2 - 220);
        QCOMPARE(FormMeld->y(), o.y() + Form1->height() / 2 - 65);
    }

    void overlayAndWindowsArePlacedFromTheFramePosition()
    {
        // A main window with a frame: the formulas start from its outer
        // corner, not from its client area's.
        const Qt::WindowFlags flags = Form1->windowFlags();
        Form1->setWindowFlags(Qt::Window);
        Form1->show();
        Form1->setGeometry(100, 50, 1020, 725);
        QVERIFY(QTest::qWaitForWindowExposed(Form1));
        const QRect frame = Form1->frameGeometry();
        const bool framed = frame.topLeft() != Form1->geometry().topLeft();
        FormMeld->CenterOverBoard(440, 130);
        const QPoint meld = FormMeld->pos();
        QWidget probe;
        probe.resize(300, 200);
        PlaceOverMainWindow(&probe);
        const QPoint placed = probe.pos();
        Form1->setWindowFlags(flags);
        Form1->show();
        if (!framed)
            QSKIP("the platform gives windows no frame");
        QCOMPARE(meld.x(), frame.x() + (Form1->width() - Form1->ToolPanel->width()) / 2 - 220);
        QCOMPARE(meld.y(), frame.y() + 725 / 2 - 65);
        QCOMPARE(placed.x(), frame.x() + (frame.width() - Form1->ToolPanel->width() - 300) / 2);
        QCOMPARE(placed.y(), frame.y() + (725 - 200) / 2);
    }

    void overlayTakesNoFocus()
    {
        // A notice during a game must not take typed keys from the chat or board.
        QLineEdit edit;
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        // An activation still on its way from an earlier test may take the
        // focus back; ask again until the edit keeps it.
        QTRY_VERIFY_WITH_TIMEOUT(([&edit] {
                                     QApplication::setActiveWindow(&edit);
                                     edit.setFocus();
                                     QCoreApplication::processEvents();
                                     return QApplication::focusWidget() == &edit;
                                 }()),
                                 10000);
        FormMeld->ShowText("Hinweis");
        QVERIFY(FormMeld->isVisible());
        QCOMPARE(QApplication::focusWidget(), &edit);
        QVERIFY(QApplication::activeWindow() != FormMeld);
        QVERIFY(FormMeld->testAttribute(Qt::WA_ShowWithoutActivating));
        QVERIFY(FormMeld->windowFlags() & Qt::WindowDoesNotAcceptFocus);
        FormMeld->Dauer = 3;
        FormMeld->hide();
        FormMeld->Timer1Timer(); // the tick shows it again, still without focus
        QVERIFY(FormMeld->isVisible());
        QCOMPARE(QApplication::focusWidget(), &edit);
        FormMeld->Dauer = 0;
        FormMeld->hide();
    }

    void overlayTiming()
    {
        FormMeld->Dauer = 20;
        FormMeld->ShowText("zwei Sekunden");
        for (int tick = 1; tick <= 19; ++tick) {
            FormMeld->hide(); // something covered it; the tick brings it back
            FormMeld->Timer1Timer();
            QVERIFY2(FormMeld->isVisible(), qPrintable(QString::number(tick)));
        }
        QCOMPARE(FormMeld->Dauer, 1);
        FormMeld->Timer1Timer();
        QVERIFY(!FormMeld->isVisible());
        QCOMPARE(FormMeld->Dauer, 0);

        // Dauer 0: up until closed.
        FormMeld->ShowText("bleibt");
        for (int tick = 0; tick < 50; ++tick)
            FormMeld->Timer1Timer();
        QVERIFY(FormMeld->isVisible());
        FormMeld->hide();
    }

    void overlayStaysDownWhileMinimised()
    {
        FormMeld->Dauer = 3;
        FormMeld->ShowText("x");
        Form1->showMinimized();
        FormMeld->hide();
        FormMeld->Timer1Timer();
        QVERIFY(!FormMeld->isVisible());
        QCOMPARE(FormMeld->Dauer, 2);
        FormMeld->Timer1Timer();
        FormMeld->Timer1Timer();
        QCOMPARE(FormMeld->Dauer, 0);
        QVERIFY(!FormMeld->isVisible());
        Form1->showNormal();
    }

    void pauseBoxGoesAndComesWithTheMainWindow()
    {
        Form1->showNormal();
        Form1->GameRunning = true;
        Form1->SinglePlayerGame = true;
        Form1->BTC_Pause->setEnabled(true);
        Form1->FormKeyDown(Qt::Key_Escape, Qt::NoModifier);
        QVERIFY(Form1->Paused);
        QVERIFY(Form1->isMinimized());
        QCOMPARE(FormMeld->MeldTXT->text(), QString("Pause"));
        QVERIFY(!FormMeld->isVisible());
        Form1->showNormal();
        QVERIFY(FormMeld->isVisible());
        QCOMPARE(FormMeld->MeldTXT->text(), QString("Pause"));
        // Minimised again and resumed from there: nothing comes back.
        Form1->showMinimized();
        Form1->BTC_WeiterClick();
        Form1->showNormal();
        QVERIFY(!FormMeld->isVisible());
        Form1->GameRunning = false;
        Form1->SinglePlayerGame = false;
    }

    void noticeShownWhileMinimisedWaitsForTheWindow()
    {
        Form1->showMinimized();
        FormMeld->Dauer = 0;
        FormMeld->ShowText("Spieler 1 (Server) hat das Spiel beendet.");
        QVERIFY(!FormMeld->isVisible());
        QVERIFY(FormMeld->WaitsForMainWindow());
        Form1->showNormal();
        QVERIFY(FormMeld->isVisible());
        FormMeld->hide();
    }

    void displayTimeRunsOnlyForATimedNotice()
    {
        FormMeld->Dauer = 0;
        FormMeld->ShowBigText("Pause");
        QVERIFY(!FormMeld->Timer1->isActive());
        FormMeld->Dauer = 2;
        FormMeld->ShowText("kurz");
        QVERIFY(FormMeld->Timer1->isActive());
        FormMeld->Timer1Timer();
        FormMeld->Timer1Timer();
        QVERIFY(!FormMeld->isVisible());
        QVERIFY(!FormMeld->Timer1->isActive());
        // The question waits for its answer without a clock.
        FormMeld->AskClearWrongSolution();
        QVERIFY(!FormMeld->Timer1->isActive());
        FormMeld->bt_NeinClick();
    }

    void noticesLetClicksThroughToTheBoard()
    {
        FormMeld->Dauer = 0;
        FormMeld->ShowTextSized("Los geht's", 35);
        QVERIFY(FormMeld->isVisible());
        QVERIFY(FormMeld->windowFlags() & Qt::WindowTransparentForInput);
        // The question's buttons must be clickable.
        FormMeld->AskClearWrongSolution();
        QVERIFY(FormMeld->isVisible());
        QVERIFY(!(FormMeld->windowFlags() & Qt::WindowTransparentForInput));
        QVERIFY(FormMeld->windowFlags() & Qt::WindowDoesNotAcceptFocus);
        FormMeld->ShowText("wieder ein Hinweis");
        QVERIFY(FormMeld->isVisible());
        QVERIFY(FormMeld->windowFlags() & Qt::WindowTransparentForInput);
        QVERIFY(FormMeld->windowFlags() & Qt::WindowStaysOnTopHint);
        FormMeld->hide();
    }

    void wrongSolutionQuestion()
    {
        Trace->cb_sonst->setChecked(true);
        FormMeld->AskClearWrongSolution();
        QVERIFY(FormMeld->DurchPanel->isVisibleTo(FormMeld));
        QVERIFY(!FormMeld->MeldePanel->isVisibleTo(FormMeld));
        QCOMPARE(FormMeld->size(), QSize(440, 120));
        QCOMPARE(FormMeld->BT_Ja->y(), 87);
        QCOMPARE(FormMeld->bt_Nein->y(), 87);
        QCOMPARE(FormMeld->Pic_Ja->y(), 87);
        QCOMPARE(FormMeld->DurchTXT->text(), QString("Die Lösung ist falsch !\r\nAlle Felder löschen ?\r\n"));

        // "Nein" leaves the board alone.
        NETZ->MyPlayerNo = 1;
        TBoardLayer &own = Form1->Boards[1];
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y)
                own[x][y] = TGridEntry{(x + y) % 9 + 1, x == y ? -1 : (x < y ? 1 : 0), 0, 0};
        const TBoardLayer before = own;
        FormMeld->bt_NeinClick();
        QVERIFY(!FormMeld->isVisible());
        QCOMPARE(own[1][2].Value, before[1][2].Value);

        // "Ja" clears every cell that is not given and shows its marks.
        FormMeld->AskClearWrongSolution();
        FormMeld->BT_JaClick();
        QVERIFY(!FormMeld->isVisible());
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y) {
                if (x == y) {
                    QCOMPARE(own[x][y].State, -1);
                    QCOMPARE(own[x][y].Value, before[x][y].Value);
                } else {
                    QCOMPARE(own[x][y].State, 0);
                    QCOMPARE(own[x][y].Value, 0);
                    QCOMPARE(int(Form1->Cells[x][y].ShowMarks), 1);
                }
            }
        NETZ->MyPlayerNo = 0;
    }

    void soundCues()
    {
        QStringList played;
        SetSoundPlayer([&played](const QString &path) { played << QFileInfo(path).fileName(); });
        FormOpt->SetSound(1);
        PlayWrongSound();
        PlayGameOverSound();
        PlayPointSound();
        PlayGameStartSound();
        PlayNewPlayerSound();
        QCOMPARE(played, QStringList({"falsch.wav", "gameover.wav", "pkt.wav", "gamestart.wav", "newgamer.wav"}));
        played.clear();
        FormOpt->SetSound(0);
        PlayWrongSound();
        PlayPointSound();
        QVERIFY(played.isEmpty());
        SetSoundPlayer(nullptr);
        // The real player with a missing file: silently nothing.
        FormOpt->SetSound(1);
        QDir::setCurrent(fx->Dir());
        PlayWrongSound();
        // A real file, played and given time to load: the program must still
        // end cleanly afterwards (ctest sees a crash at exit).
        const QString wav = qEnvironmentVariable("SUDOKU_TEST_BINARY_DIR") + "/pkt.wav";
        if (QFile::exists(wav)) {
            QVERIFY(QFile::copy(wav, fx->Dir() + "/pkt.wav"));
            PlayPointSound();
            PlayPointSound();
            QTest::qWait(300);
        }
    }
};

QTEST_MAIN(TstNotices)
#include "tst_notices.moc"
