// The duel set-up window: colours stored at once, the take-part option on at
// every start and never stored, a start button that starts nothing, and the
// way back to the start screen.
#include "common/Fixture.h"
#include "board/UQuadrivo.h"
#include "competitions/UDuell.h"
#include "screens/UOptionen.h"
#include "screens/UStart.h"
#include "settings/USonstiges.h"

#include <QtTest>

class TstDuel : public QObject {
    Q_OBJECT
    std::unique_ptr<TTestFixture> fx;

    void startedProgram()
    {
        fx->DestroyWindows();
        fx->Dialogs.Shown.clear();
        fx->StartProgram();
        FormStart->hide();
    }

private slots:
    void initTestCase() { fx = std::make_unique<TTestFixture>(); }
    void cleanupTestCase() { fx.reset(); }
    void init()
    {
        fx->ClearSettings();
        fx->Dialogs.ColorConfirmed = false;
    }

    void windowTexts()
    {
        startedProgram();
        QCOMPARE(FormDuell->size(), QSize(387, 261));
        QCOMPARE(FormDuell->TitelLabel->text(), QString("Duell Einstellungen :"));
        QCOMPARE(FormDuell->Spieler1->text(), QString("Name1"));
        QCOMPARE(FormDuell->Spieler2->text(), QString("Name2"));
        QCOMPARE(FormDuell->Label_vs->text(), QString("vs"));
        QCOMPARE(FormDuell->BTC_MitSpielen->text(), QString("selber mitspielen"));
        QCOMPARE(FormDuell->BTC_Starten->text(), QString("Starten"));
        QCOMPARE(FormDuell->BTC_Zurueck->text(), QString("Zurück"));
        QCOMPARE(FormDuell->BTC_Zurueck->toolTip(), QString("Schnellstartfenster schliessen"));
    }

    void coloursFromSettingsAtStartup()
    {
        startedProgram();
        QCOMPARE(FormDuell->Spieler1->Tag, 0x0000FF);
        QCOMPARE(FormDuell->Spieler2->Tag, 0x00FF00);
        QCOMPARE(RegReadInteger("DuellSpieler1", -1), 0x0000FF);
        fx->DestroyWindows();
        RegWriteInteger("DuellSpieler1", 0x123456);
        RegWriteInteger("DuellSpieler2", 0x654321);
        startedProgram();
        QCOMPARE(FormDuell->Spieler1->Tag, 0x123456);
        QCOMPARE(FormDuell->Spieler2->Tag, 0x654321);
        QCOMPARE(FormDuell->Spieler2->palette().color(QPalette::Window), ColorFromBGR(0x654321));
    }

    void colourClick_data()
    {
        QTest::addColumn<int>("player");
        QTest::addColumn<bool>("confirmed");
        QTest::newRow("player 1 confirmed") << 1 << true;
        QTest::newRow("player 2 confirmed") << 2 << true;
        QTest::newRow("player 1 cancelled") << 1 << false;
        QTest::newRow("player 2 cancelled") << 2 << false;
    }
    void colourClick()
    {
        QFETCH(int, player);
        QFETCH(bool, confirmed);
        startedProgram();
        TLabel *label = player == 1 ? FormDuell->Spieler1 : FormDuell->Spieler2;
        TLabel *other = player == 1 ? FormDuell->Spieler2 : FormDuell->Spieler1;
        const QString name = QString("DuellSpieler%1").arg(player);
        const QString otherName = QString("DuellSpieler%1").arg(3 - player);
        const int before = label->Tag;
        const int otherBefore = other->Tag;
        fx->Dialogs.ColorConfirmed = confirmed;
        fx->Dialogs.NextColor = QColor(0x11, 0x22, 0x33);
        emit label->Click();
        const int expected = confirmed ? ColorToBGR(QColor(0x11, 0x22, 0x33)) : before;
        QCOMPARE(label->Tag, expected);
        QCOMPARE(label->palette().color(QPalette::Window), ColorFromBGR(expected));
        QCOMPARE(RegReadInteger(name, -1), expected);
        QCOMPARE(other->Tag, otherBefore);
        QCOMPARE(RegReadInteger(otherName, -1), otherBefore);
    }

    void takePartIsOnAtEveryStartAndNeverStored()
    {
        startedProgram();
        QVERIFY(FormDuell->IsMitSpielen());
        QCOMPARE(FormDuell->PIC_MitSpielen->Picture().toImage(), FormOpt->Pic_hacken->Picture().toImage());
        emit FormDuell->BTC_MitSpielen->Click();
        QVERIFY(!FormDuell->IsMitSpielen());
        QCOMPARE(FormDuell->MitM->Tag, 0);
        QCOMPARE(FormDuell->PIC_MitSpielen->Picture().toImage(), FormOpt->pic_box->Picture().toImage());
        emit FormDuell->PIC_MitSpielen->Click();
        QVERIFY(FormDuell->IsMitSpielen());
        // Any non-zero tag counts as on: the toggle switches it off.
        FormDuell->MitM->Tag = 7;
        FormDuell->PIC_MitSpielenClick();
        QCOMPARE(FormDuell->MitM->Tag, 0);
        // Switched off when the program ended: on again after the next start.
        startedProgram();
        QVERIFY(FormDuell->IsMitSpielen());
    }

    void startOnlySaysNotReady()
    {
        startedProgram();
        FormDuell->DuelActive = true;
        FormDuell->show();
        const bool runningBefore = Form1->GameRunning;
        fx->Dialogs.Shown.clear();
        emit FormDuell->BTC_Starten->Click();
        QCOMPARE(fx->Dialogs.Texts(), QStringList{"Duell noch nicht fertig."});
        QCOMPARE(fx->Dialogs.Shown[0].Type, TMsgDlgType::Information);
        QCOMPARE(Form1->GameRunning, runningBefore);
        QVERIFY(FormDuell->isVisible());
        QVERIFY(FormDuell->DuelActive);
    }

    void backLeavesDuelMode()
    {
        startedProgram();
        FormDuell->DuelActive = true;
        FormDuell->show();
        emit FormDuell->BTC_Zurueck->Click();
        QVERIFY(!FormDuell->DuelActive);
        QVERIFY(!FormDuell->isVisible());
        QVERIFY(FormStart->isVisible());
    }

    void placedOnlyAtFirstActivation()
    {
        startedProgram();
        Form1->setGeometry(100, 100, 1000, 700);
        FormDuell->FirstActivate = true;
        FormDuell->FormActivate();
        const QPoint first = FormDuell->pos();
        QVERIFY(!FormDuell->FirstActivate);
        Form1->move(300, 250);
        FormDuell->FormActivate();
        QCOMPARE(FormDuell->pos(), first);
    }

    void hover()
    {
        startedProgram();
        emit FormDuell->BTC_Starten->MouseEnter();
        QCOMPARE(FormDuell->BTC_Starten->font().pointSize(), 9);
        QVERIFY(FormDuell->BTC_Starten->font().bold());
        emit FormDuell->BTC_Starten->MouseLeave();
        QCOMPARE(FormDuell->BTC_Starten->font().pointSize(), 8);
        QVERIFY(!FormDuell->BTC_Starten->font().bold());
        emit FormDuell->BTC_MitSpielen->MouseEnter();
        QCOMPARE(FormDuell->BTC_MitSpielen->font().pointSize(), 10);
        emit FormDuell->BTC_MitSpielen->MouseLeave();
        QCOMPARE(FormDuell->BTC_MitSpielen->font().pointSize(), 8);
        QVERIFY(FormDuell->BTC_MitSpielen->font().bold());
    }
};

QTEST_MAIN(TstDuel)
#include "tst_duel.moc"
