// The player records, the two player tables and the progress chart.
#include "common/Fixture.h"
#include "board/UQuadrivo.h"
#include "competitions/UDuell.h"
#include "net/UNETZ.h"
#include "screens/UGameOptionen.h"
#include "screens/UOptionen.h"
#include "screens/USpielEnde.h"
#include "settings/USonstiges.h"
#include "solver/UBingo.h"

#include <QSet>
#include <QtTest>

namespace {
TPlayerRecord &player(int p)
{
    return Form1->Players[p];
}

void seat(int p, const QString &name, bool active = true)
{
    Form1->SetPlayerName(p, name);
    Form1->SetPlayerAddress(p, QStringLiteral("127.0.0.%1").arg(p));
    player(p).PlayerNo = p;
    player(p).Active = active;
}

int headHeight()
{
    return Form1->Tabelle_kopf->height();
}

QColor at(const QImage &img, int x, int y)
{
    return QColor(img.pixel(x, y));
}

bool anyPixel(const QImage &img, const QRect &r, const QColor &c)
{
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (at(img, x, y) == c)
                return true;
    return false;
}
} // namespace

class TstPlayers : public QObject {
    Q_OBJECT
    std::unique_ptr<TTestFixture> fx;

private slots:
    void initTestCase()
    {
        fx = std::make_unique<TTestFixture>();
        fx->StartProgram();
        Form1->Blinken->SetEnabled(false);
    }
    void cleanupTestCase() { fx.reset(); }

    void init()
    {
        Form1->ResetPlayers();
        for (int p = 1; p <= 8; ++p) {
            player(p).SampleCount = 0;
            player(p).Color = 0;
        }
        Form1->GameRunning = false;
        NETZ->MyPlayerNo = 1;
        FormDuell->DuelActive = false;
        FormSpielEnde->hide();
        FormSpielEnde->TablePending = false;
        Form1->UpdatePlayerTable();
    }

    // ---- the table's controls ------------------------------------------------------

    void tableControls()
    {
        for (int p = 1; p <= 8; ++p) {
            const int top = headHeight() - 20 + 23 * p;
            const TPlayerTableRow &row = Form1->PlayerRows[p];
            QCOMPARE(row.NameLabel->geometry(), QRect(8, top, 120, 16));
            QCOMPARE(row.ColorImage->geometry(), QRect(137, top, 17, 17));
            QCOMPARE(row.FoundLabel->geometry(), QRect(165, top, 27, 16));
            QCOMPARE(row.ErrorsLabel->geometry(), QRect(197, top, 27, 16));
            QCOMPARE(row.FreeLabel->geometry(), QRect(229, top, 27, 16));
            QCOMPARE(row.WaitLabel->geometry(), QRect(261, top, 27, 16));
            QCOMPARE(row.StatusImage->geometry(), QRect(300, top, 16, 16));
            QVERIFY(!row.PointsLabel && !row.BonusLabel);
            QCOMPARE(row.NameLabel->parentWidget(), Form1->Tabelle_Panel);
            QCOMPARE(row.NameLabel->font().family(), QString("Verdana"));
            QCOMPARE(row.NameLabel->font().pointSize(), 10);
            QVERIFY(row.NameLabel->font().bold());
            QVERIFY(row.NameLabel->alignment() & Qt::AlignLeft);
            QVERIFY(row.FoundLabel->alignment() & Qt::AlignHCenter);

            const TPlayerTableRow &end = Form1->EndPlayerRows[p];
            QCOMPARE(end.NameLabel->parentWidget(), FormSpielEnde->Tabelle_Panel);
            QCOMPARE(end.BonusLabel->geometry(), QRect(261, top, 27, 16));
            QCOMPARE(end.PointsLabel->geometry(), QRect(295, top, 27, 16));
            QVERIFY(!end.WaitLabel && !end.StatusImage);
        }
    }

    // ---- filling the table ------------------------------------------------------------

    void rows_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("playerNo");
        QTest::addColumn<bool>("active");
        QTest::addColumn<bool>("gameOver");
        QTest::addColumn<bool>("running");
        QTest::addColumn<int>("myNo");
        QTest::addColumn<QString>("word"); // empty: the row is not shown
        QTest::newRow("free slot") << "" << 4 << true << false << true << 1 << "";
        QTest::newRow("no player number") << "10.0.0.4" << -1 << true << false << true << 1 << "";
        QTest::newRow("outside a network game") << "10.0.0.4" << 4 << true << false << true << 0 << "";
        QTest::newRow("logged off") << "10.0.0.4" << 4 << false << false << true << 1 << "Offline";
        QTest::newRow("waiting") << "10.0.0.4" << 4 << true << true << false << 1 << "wartet";
        QTest::newRow("out of the game") << "10.0.0.4" << 4 << true << true << true << 2 << "Game Over";
        QTest::newRow("playing") << "10.0.0.4" << 4 << true << false << true << 4 << "gestartet";
    }
    void rows()
    {
        QFETCH(QString, address);
        QFETCH(int, playerNo);
        QFETCH(bool, active);
        QFETCH(bool, gameOver);
        QFETCH(bool, running);
        QFETCH(int, myNo);
        QFETCH(QString, word);
        TPlayerRecord &r = player(4);
        Form1->SetPlayerName(4, "Vierte");
        r.Address = address;
        r.PlayerNo = playerNo;
        r.Active = active;
        r.GameOver = gameOver;
        r.Found = 17;
        r.Errors = 2;
        r.FreeCells = 30;
        r.WaitSeconds = 5;
        r.Color = 0x00FFFF;
        Form1->GameRunning = running;
        NETZ->MyPlayerNo = myNo;
        Form1->UpdatePlayerTable();
        const TPlayerTableRow &row = Form1->PlayerRows[4];
        if (word.isEmpty()) {
            QCOMPARE(row.NameLabel->text(), QString());
            QCOMPARE(row.FoundLabel->text(), QString());
            QVERIFY(row.ColorImage->Picture().isNull());
            QVERIFY(row.StatusImage->Picture().isNull());
            QCOMPARE(row.StatusImage->toolTip(), QString());
            return;
        }
        QCOMPARE(row.NameLabel->text(), QString("Vierte"));
        QCOMPARE(row.FoundLabel->text(), QString("17"));
        QCOMPARE(row.ErrorsLabel->text(), QString("2"));
        QCOMPARE(row.FreeLabel->text(), QString("30"));
        QCOMPARE(row.WaitLabel->text(), QString("5"));
        QCOMPARE(row.StatusImage->toolTip(), word);
        const TImage *pictures[] = {FormOpt->pic_offline, FormOpt->pic_wartet, FormOpt->pic_spiel_off,
                                    FormOpt->pic_spiel_on};
        const QStringList words = {"Offline", "wartet", "Game Over", "gestartet"};
        QCOMPARE(row.StatusImage->Picture().cacheKey(), pictures[words.indexOf(word)]->Picture().cacheKey());
        // The colour tile in the player's colour.
        const QImage tile = row.ColorImage->Picture().toImage();
        QCOMPARE(tile.size(), QSize(17, 17));
        QCOMPARE(QColor(tile.pixel(8, 8)), ColorFromBGR(0x00FFFF));
    }

    void hiddenRowIsEmptied()
    {
        seat(2, "Zwei");
        Form1->UpdatePlayerTable();
        QCOMPARE(Form1->PlayerRows[2].NameLabel->text(), QString("Zwei"));
        player(2).Address.clear();
        Form1->UpdatePlayerTable();
        QCOMPARE(Form1->PlayerRows[2].NameLabel->text(), QString());
        QCOMPARE(Form1->PlayerRows[2].WaitLabel->text(), QString());
        QCOMPARE(Form1->PlayerRows[2].StatusImage->toolTip(), QString());
    }

    void tableHeight_data()
    {
        QTest::addColumn<int>("players");
        QTest::addColumn<int>("rows");
        QTest::newRow("none: sized for one") << 0 << 1;
        QTest::newRow("one") << 1 << 1;
        QTest::newRow("three") << 3 << 3;
        QTest::newRow("eight") << 8 << 8;
    }
    void tableHeight()
    {
        QFETCH(int, players);
        QFETCH(int, rows);
        for (int p = 1; p <= players; ++p)
            seat(p, QStringLiteral("P%1").arg(p));
        Form1->UpdatePlayerTable();
        QCOMPARE(Form1->PlayerRowsShown, rows);
        QCOMPARE(Form1->Tabelle_Panel->height(), headHeight() + 3 + 23 * rows);
        // The hidden end-of-game table follows.
        QCOMPARE(FormSpielEnde->Tabelle_Panel->height(), headHeight() + 3 + 23 * rows);
    }

    void duelWithoutOwnSide()
    {
        seat(1, "Gastgeber");
        seat(2, "Eins");
        seat(3, "Zwei");
        FormDuell->DuelActive = true;
        FormDuell->SetMitSpielen(false);
        Form1->UpdatePlayerTable();
        QCOMPARE(Form1->PlayerRows[1].NameLabel->text(), QString());
        QCOMPARE(Form1->PlayerRows[2].NameLabel->text(), QString("Eins"));
        QCOMPARE(Form1->PlayerRowsShown, 2);
        FormDuell->SetMitSpielen(true);
        Form1->UpdatePlayerTable();
        QCOMPARE(Form1->PlayerRows[1].NameLabel->text(), QString("Gastgeber"));
        FormDuell->DuelActive = false;
    }

    // Rows stand under each other in slot order, whatever slots are free:
    // every occupied row lies inside its table, on every machine.
    void everyOccupiedRowShows_data()
    {
        QTest::addColumn<QString>("seated");
        QTest::addColumn<int>("myNo");
        QTest::addColumn<bool>("duelWithoutMe");
        QTest::addColumn<QString>("shownSlots");
        QTest::newRow("number 4 under a free slot 3") << "1 2 4" << 4 << false << "1 2 4";
        QTest::newRow("the host and number 8") << "1 8" << 8 << false << "1 8";
        QTest::newRow("free slots in between") << "1 3 5 7" << 5 << false << "1 3 5 7";
        QTest::newRow("all eight") << "1 2 3 4 5 6 7 8" << 2 << false << "1 2 3 4 5 6 7 8";
        QTest::newRow("duel without the own side") << "1 2 3" << 1 << true << "2 3";
    }
    void everyOccupiedRowShows()
    {
        QFETCH(QString, seated);
        QFETCH(int, myNo);
        QFETCH(bool, duelWithoutMe);
        QFETCH(QString, shownSlots);
        for (const QString &s : seated.split(' '))
            seat(s.toInt(), "Spieler" + s);
        NETZ->MyPlayerNo = myNo;
        FormDuell->DuelActive = duelWithoutMe;
        FormDuell->SetMitSpielen(!duelWithoutMe);
        Form1->UpdatePlayerTable();
        FormSpielEnde->ShowGameEnd();
        const QStringList shown = shownSlots.split(' ');
        QCOMPARE(Form1->PlayerRowsShown, int(shown.size()));
        for (bool end : {false, true}) {
            const QWidget *panel = end ? FormSpielEnde->Tabelle_Panel : Form1->Tabelle_Panel;
            QCOMPARE(panel->height(), headHeight() + 3 + 23 * int(shown.size()));
            int lastTop = -1;
            for (const QString &s : shown) {
                const TPlayerTableRow &row = end ? Form1->EndPlayerRows[s.toInt()] : Form1->PlayerRows[s.toInt()];
                QCOMPARE(row.NameLabel->text(), "Spieler" + s);
                QVERIFY2(row.NameLabel->y() > lastTop, qPrintable(s));
                lastTop = row.NameLabel->y();
                for (const QWidget *w : std::initializer_list<const QWidget *>{
                         row.NameLabel, row.ColorImage, row.FoundLabel, row.FreeLabel, row.WaitLabel, row.PointsLabel})
                    if (w)
                        QVERIFY2(QRect(QPoint(0, 0), panel->size()).contains(w->geometry()), qPrintable(s));
            }
        }
        // The dialog has room for its whole table above the footer.
        QCOMPARE(FormSpielEnde->Tabelle_Panel->geometry().bottom() + 1, FormSpielEnde->footer_panel->y());
        QCOMPARE(FormSpielEnde->Statistik->height(), FormSpielEnde->Statistik->Tag);
        FormSpielEnde->hide();
        FormDuell->DuelActive = false;
    }

    // The longest names a player can have show whole in both tables; a
    // name that fits keeps the table's font.
    void longNamesShowWhole_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("designFont");
        QTest::newRow("wide letters") << "WWWWWWWWWWWWWWW" << false;
        QTest::newRow("name with a digit") << "Max Mustermann1" << false;
        QTest::newRow("short name") << "Anna" << true;
    }
    void longNamesShowWhole()
    {
        QFETCH(QString, name);
        QFETCH(bool, designFont);
        seat(3, name);
        Form1->UpdatePlayerTable();
        FormSpielEnde->ShowGameEnd();
        for (const TLabel *l : {Form1->PlayerRows[3].NameLabel, Form1->EndPlayerRows[3].NameLabel}) {
            QCOMPARE(l->text(), name);
            const int width = QFontMetrics(l->font()).horizontalAdvance(l->text());
            QVERIFY2(width <= l->contentsRect().width(), qPrintable(QString::number(width)));
            QVERIFY(l->font().bold());
            if (designFont)
                QCOMPARE(l->font().pointSize(), 10);
        }
        FormSpielEnde->hide();
        // A short name in the same row gets the table's font back.
        seat(3, "Bo");
        Form1->UpdatePlayerTable();
        QCOMPARE(Form1->PlayerRows[3].NameLabel->font().pointSize(), 10);
    }

    void endTable_data()
    {
        QTest::addColumn<int>("bonusOption");
        QTest::addColumn<QString>("bonus");
        QTest::newRow("bonus on") << 1 << "12";
        QTest::newRow("bonus off") << 0 << "0";
    }
    void endTable()
    {
        QFETCH(int, bonusOption);
        QFETCH(QString, bonus);
        FormGO->BonusMerkerM->Tag = bonusOption;
        seat(1, "Anna");
        player(1).Found = 40;
        player(1).Errors = 1;
        player(1).FreeCells = 0;
        player(1).Points = 250;
        player(1).Bonus = 12;
        player(1).Color = 0x0000FF;
        Form1->EndPlayerRows[5].NameLabel->setText("alt");
        FormSpielEnde->show();
        FormSpielEnde->TablePending = true;
        Form1->UpdatePlayerTable();
        const TPlayerTableRow &end = Form1->EndPlayerRows[1];
        QCOMPARE(end.NameLabel->text(), QString("Anna"));
        QCOMPARE(end.FoundLabel->text(), QString("40"));
        QCOMPARE(end.ErrorsLabel->text(), QString("1"));
        QCOMPARE(end.FreeLabel->text(), QString("0"));
        QCOMPARE(end.PointsLabel->text(), QString("250"));
        QCOMPARE(end.BonusLabel->text(), bonus);
        QCOMPARE(end.ColorImage->Picture().cacheKey(), Form1->PlayerRows[1].ColorImage->Picture().cacheKey());
        QCOMPARE(Form1->EndPlayerRows[5].NameLabel->text(), QString());
        // Filled once: later changes stay out of the end table.
        QVERIFY(!FormSpielEnde->TablePending);
        player(1).Points = 999;
        Form1->UpdatePlayerTable();
        QCOMPARE(end.PointsLabel->text(), QString("250"));
        FormSpielEnde->hide();
        FormGO->BonusMerkerM->Tag = 0;
    }

    // ---- records and queries -------------------------------------------------------------

    void namesAndAddressesAreShort()
    {
        Form1->SetPlayerName(3, "Ein sehr langer Spielername");
        Form1->SetPlayerAddress(3, "1234567890123456789");
        QCOMPARE(player(3).Name, QString("Ein sehr langer"));
        QCOMPARE(player(3).Address.size(), 15);
        Form1->SetPlayerName(9, "niemand");
        Form1->SetPlayerName(0, "niemand");
    }

    void nameTaken_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("taken");
        QTest::newRow("active player") << "Bert" << true;
        QTest::newRow("other case") << "bert" << false;
        QTest::newRow("inactive slot") << "Carla" << false;
        QTest::newRow("unknown") << "Dora" << false;
    }
    void nameTaken()
    {
        QFETCH(QString, name);
        QFETCH(bool, taken);
        seat(2, "Bert");
        seat(5, "Carla", false);
        QCOMPARE(Form1->IsPlayerNameTaken(name), taken);
    }

    void ownPlayerGameOver_data()
    {
        QTest::addColumn<int>("myNo");
        QTest::addColumn<bool>("over");
        QTest::newRow("own slot out") << 3 << true;
        QTest::newRow("own slot playing") << 2 << false;
        QTest::newRow("no network game") << 0 << false;
    }
    void ownPlayerGameOver()
    {
        QFETCH(int, myNo);
        QFETCH(bool, over);
        seat(2, "A");
        seat(3, "B");
        player(3).GameOver = true;
        NETZ->MyPlayerNo = myNo;
        QCOMPARE(Form1->IsOwnPlayerGameOver(), over);
    }

    void countOnline()
    {
        QCOMPARE(Form1->CountOnlinePlayers(), 0);
        seat(1, "A");
        seat(4, "B");
        seat(6, "C", false);
        QCOMPARE(Form1->CountOnlinePlayers(), 2);
    }

    void resetKeepsColoursSamplesAndQueue()
    {
        seat(6, "F");
        player(6).Color = 0x123456;
        player(6).Ready = true;
        player(6).SampleCount = 2;
        player(6).Samples[1] = {55, 9};
        player(6).QueueWrite = 7;
        player(6).Penalty = -1;
        player(6).UsedMarks = 3;
        Form1->UpdatePlayerTable();
        Form1->ResetPlayers();
        const TPlayerRecord &r = player(6);
        QCOMPARE(r.Name, QString());
        QCOMPARE(r.Address, QString());
        QCOMPARE(r.PlayerNo, -1);
        QCOMPARE(r.Penalty, 0);
        QCOMPARE(r.UsedMarks, 0);
        QVERIFY(!r.Active && !r.GameOver);
        QCOMPARE(r.Color, 0x123456);
        QVERIFY(r.Ready);
        QCOMPARE(r.SampleCount, 2);
        QCOMPARE(r.QueueWrite, 7);
        QCOMPARE(Form1->PlayerRows[6].NameLabel->text(), QString());
        QVERIFY(Form1->PlayerRows[6].ColorImage->Picture().isNull());
    }

    void resetClearsTheBingoDrawState()
    {
        // The whole draw state goes, not only the offer: the bag and the
        // entry counter of the last game must not reach the next one.
        TBingoList &l = FormBingo->BingoList;
        l.OfferValues = QStringLiteral("12");
        l.BagValues = QStringLiteral("3456");
        l.EntryCount = 4;
        l.Entries[2].value = 5;
        FormBingo->show();
        Form1->ResetPlayers();
        QVERIFY(!FormBingo->isVisible());
        QCOMPARE(l.OfferValues, QString());
        QCOMPARE(l.BagValues, QString());
        QCOMPARE(l.EntryCount, 0);
        QCOMPARE(l.Entries[2].value, 0);
    }

    void lastSample_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("has");
        QTest::addColumn<int>("index");
        QTest::newRow("no sample yet") << 0 << false << -1;
        QTest::newRow("negative count") << -4 << false << -1;
        QTest::newRow("three") << 3 << true << 2;
        QTest::newRow("full") << 161 << true << 160;
        QTest::newRow("count beyond the capacity") << 500 << true << 160;
    }
    void lastSample()
    {
        QFETCH(int, count);
        QFETCH(bool, has);
        QFETCH(int, index);
        TPlayerRecord r;
        for (int i = 0; i < kSampleCapacity; ++i)
            r.Samples[i] = {int64_t(10 * i + 1), i};
        r.SampleCount = count;
        TProgressSample s{99, 99};
        QCOMPARE(TForm1::LastProgressSample(r, s), has);
        if (has) {
            QCOMPARE(s.Time, int64_t(10 * index + 1));
            QCOMPARE(s.Found, index);
            QCOMPARE(TForm1::ProgressSampleCount(r), index + 1);
        } else {
            QCOMPARE(s.Time, int64_t(0));
            QCOMPARE(s.Found, 0);
            QCOMPARE(TForm1::ProgressSampleCount(r), 0);
        }
    }

    // ---- the progress chart ------------------------------------------------------------------

    void chartWithoutFinds()
    {
        seat(1, "A");
        player(1).SampleCount = 2;
        player(1).Samples[0] = {0, 0};
        player(1).Samples[1] = {300, 0};
        player(1).Color = 0x0000FF;
        Form1->Zeit->setText("00:30.0");
        TImage image;
        image.resize(320, 160);
        Form1->DrawProgressChart(&image);
        const QImage img = image.Picture().toImage();
        QCOMPARE(img.size(), QSize(320, 160));
        const QColor green(0, 0x80, 0);
        QCOMPARE(at(img, 16, 100), green);
        QCOMPARE(at(img, 304, 100), green);
        QCOMPARE(at(img, 100, 48), green);
        QCOMPARE(at(img, 17, 100), QColor(Qt::black));
        QCOMPARE(at(img, 100, 47), QColor(Qt::black));
        // The two texts, and no player line.
        QVERIFY(anyPixel(img, QRect(5, 0, 150, 14), Qt::white));
        QVERIFY(anyPixel(img, QRect(200, 145, 115, 15), Qt::white));
        QVERIFY(!anyPixel(img, img.rect(), Qt::red));
        QVERIFY(!anyPixel(img, QRect(0, 16, 4, 100), Qt::white));
    }

    void chartLines()
    {
        // Player 1 climbs to 81 cells; player 2 sets the time scale (640
        // tenths on 320 pixels: half a pixel per tenth).
        seat(1, "A");
        seat(2, "B");
        player(1).Color = 0x0000FF; // red
        player(2).Color = 0xFF0000; // blue
        TPlayerRecord &a = player(1);
        a.SampleCount = 4;
        a.Samples[0] = {5, 0};  // x 2.5 -> 2 (half to even)
        a.Samples[1] = {5, 81}; // straight up at x 2
        a.Samples[2] = {7, 81}; // x 3.5 -> 4
        a.Samples[3] = {7, 0};  // straight down at x 4
        TPlayerRecord &b = player(2);
        b.SampleCount = 2;
        b.Samples[0] = {320, 40}; // x 160, y 160 - 40 * 160 / 81 = 81
        b.Samples[1] = {640, 40}; // x 320 = W stays W
        TImage image;
        image.resize(320, 160);
        Form1->DrawProgressChart(&image);
        const QImage img = image.Picture().toImage();
        const QColor red(255, 0, 0), blue(0, 0, 255);
        QCOMPARE(at(img, 2, 70), red);
        QCOMPARE(at(img, 3, 70), QColor(Qt::black));
        QCOMPARE(at(img, 4, 70), red);
        QCOMPARE(at(img, 5, 70), QColor(Qt::black));
        QCOMPARE(at(img, 160, 81), blue);
        QCOMPARE(at(img, 250, 81), blue);
        QCOMPARE(at(img, 170, 90), QColor(Qt::black));
        // No antialiasing: only the chart's own colours appear.
        QSet<QRgb> colours;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                colours.insert(img.pixel(x, y) | 0xFF000000u);
        const QSet<QRgb> allowed = {QColor(Qt::black).rgb(), QColor(0, 0x80, 0).rgb(), QColor(Qt::white).rgb(),
                                    red.rgb(), blue.rgb()};
        QVERIFY(colours.subtract(allowed).isEmpty());
    }

    void chartScaleIgnoresInactivePlayers()
    {
        seat(1, "A");
        seat(2, "Weg", false);
        player(1).Color = 0x0000FF; // red
        player(1).SampleCount = 2;
        player(1).Samples[0] = {50, 10};
        player(1).Samples[1] = {100, 10};
        player(2).Color = 0xFF0000; // blue
        player(2).SampleCount = 1;
        player(2).Samples[0] = {1000, 81};
        TImage image;
        image.resize(320, 160);
        Form1->DrawProgressChart(&image);
        const QImage img = image.Picture().toImage();
        // Player 1 alone sets the scale: 10 cells at 100 tenths is the top right.
        QCOMPARE(at(img, 250, 0), QColor(255, 0, 0));
        // The inactive player with a name is drawn too, clamped into the picture.
        QCOMPARE(at(img, 319, 0), QColor(0, 0, 255));
        QVERIFY(anyPixel(img, QRect(157, 77, 6, 6), QColor(0, 0, 255)));
    }
};

QTEST_MAIN(TstPlayers)
#include "tst_players.moc"
