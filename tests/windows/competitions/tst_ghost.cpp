// Ghost games: the ghost file's bytes and checksum, the list and the state
// rule, the start checks, the replay on a counter the test moves, saving a
// result with its aging and limits, and forged files.
#include "common/Fixture.h"
#include "board/UQuadrivo.h"
#include "board/UQuadrivo_Builtin.h"
#include "common/GameEndChecks.h"
#include "common/RealMessageBoxes.h"
#include "competitions/Ughost.h"
#include "files/UCompetitionFile.h"
#include "files/UGhostData.h"
#include "net/UNETZ.h"
#include "screens/UGameOptionen.h"
#include "screens/UStart.h"
#include "settings/USonstiges.h"
#include "settings/USystem.h"
#include "solver/UBingo.h"
#include "ui/DialogService.h"

#include <QApplication>
#include <QFile>
#include <QScopeGuard>
#include <QtTest>

namespace {
constexpr int64_t kTenth = 100000000LL; // counter ticks (ns) per tenth of a second

QString puzzle() { return QString::fromLatin1(kBuiltinPuzzles[0][0]); }

// The open cells of a puzzle, row by row.
QList<QPoint> openCells(const QString &feld)
{
    QList<QPoint> out;
    for (int i = 0; i < 81; ++i)
        if (feld[i].isLower())
            out << QPoint(i % 9 + 1, i / 9 + 1);
    return out;
}

int digitAt(const QString &feld, int x, int y)
{
    return feld[(y - 1) * 9 + x - 1].toLower().toLatin1() - 'a' + 1;
}

QString path(const QString &name) { return TFormGhost::GhostFilePath(name); }

// Writes a ghost file; edit changes its data before the checksum.
void writeGhostFile(const QString &name, const QString &password,
                    const std::function<void(TIniFile &)> &edit = nullptr, int level = 0, int marks = 3)
{
    TIniFile ini = NewGhostDocument(path(name), PasswordDigest(password), puzzle(), level, marks);
    if (edit) {
        edit(ini);
        WriteChecksum(ini, "Main");
    }
    QVERIFY(ini.Save());
}

// A ghost file whose one ghost found the first open cell at 3.0 s.
void writeGhostWithOneCell(const QString &name)
{
    const QPoint cell = openCells(puzzle()).first();
    writeGhostFile(name, "pw", [&](TIniFile &ini) {
        ini.WriteString("Ghosts", GhostOwnerKey(cell.x(), cell.y()), "2");
        ini.WriteString("Ghosts", GhostTimeKey(cell.x(), cell.y()), "30");
    });
}

// Whether that ghost has entered its cell. The board was rotated: the
// ghost's cell is the one with its stamp.
bool ghostCellEntered()
{
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x)
            if (Form1->Boards[0][x][y].FirstFinder == 2 && Form1->Boards[0][x][y].FoundTime == 30)
                return !IsCellFreeOnAllLayers(Form1->Boards, x, y);
    return false;
}

TIniFile readFile(const QString &name)
{
    TIniFile ini(path(name));
    ini.Load();
    return ini;
}

TBoardLayer layerOf(const QString &feld)
{
    TBoardLayer l;
    for (int i = 0; i < 81; ++i) {
        TGridEntry &c = l[i % 9 + 1][i / 9 + 1];
        c.Value = feld[i].toLower().toLatin1() - 'a' + 1;
        c.State = feld[i].isUpper() ? -1 : 0;
    }
    return l;
}
} // namespace

class TstGhost : public QObject {
    Q_OBJECT
    std::unique_ptr<TTestFixture> fx;

    void startGhostGame(const QString &name)
    {
        FormGhost->show();
        FormGhost->DateiName->setText(name);
        QVERIFY(FormGhost->bt_start->isEnabled());
        FormGhost->bt_startClick();
        for (int i = 0; i < 6 && !Form1->GameRunning; ++i)
            NETZ->StartTimerTimer();
        QVERIFY(Form1->GameRunning);
    }

    // Every cell still free is entered right by the live player.
    void playerFillsTheRest()
    {
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x)
                if (Form1->GameRunning && IsCellFreeOnAllLayers(Form1->Boards, x, y))
                    NETZ->EnterNumber(x, y, Form1->Boards[0][x][y].Value);
    }

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
        fx->Dialogs.Shown.clear();
        fx->Dialogs.Answers.clear();
        fx->Dialogs.DefaultAnswer = mrOk;
        Form1->HelpCursor = 0;
        FormGhost->Passwort->clear();
        FormGhost->DateiName->clear();
    }
    void cleanup()
    {
        if (Form1->GameRunning)
            Form1->StopGameLocal();
        FormGhost->BTC_zurueckClick();
        FormStart->hide();
        for (const QString &f : QDir(ProgramDir()).entryList({"*.Ghost"}))
            QFile::remove(ProgramDir() + "/" + f);
    }

    // ---- the file ----------------------------------------------------------------

    void newFileBytes()
    {
        TIniFile ini = NewGhostDocument("x.Ghost", PasswordDigest("geheim"), puzzle(), 12, 4);
        const QList<QByteArray> lines = ini.Lines();
        QCOMPARE(lines.size(), 1 + 5 + 1 + 162);
        QCOMPARE(lines[0], QByteArray("[Main]"));
        QCOMPARE(lines[1], "chksum=" + ChecksumOf(ini).toLatin1());
        QCOMPARE(lines[2], "Passwort=" + QCryptographicHash::hash("geheim", QCryptographicHash::Md5).toHex());
        QCOMPARE(lines[3], "Feld=" + puzzle().toLatin1());
        QCOMPARE(lines[4], QByteArray("Level=12"));
        QCOMPARE(lines[5], QByteArray("Merker=4"));
        QCOMPARE(lines[6], QByteArray("[Ghosts]"));
        QCOMPARE(lines[7], QByteArray("Ghost_11=0"));
        QCOMPARE(lines[8], QByteArray("Time_11=0"));
        QCOMPARE(lines[9], QByteArray("Ghost_21=0"));
        QCOMPARE(lines[7 + 18], QByteArray("Ghost_12=0"));
        QCOMPARE(lines.last(), QByteArray("Time_99=0"));
        // The hashed text: every line from the third on, the salt, CR LF after each.
        QByteArray hashed;
        for (int i = 2; i < lines.size(); ++i)
            hashed += lines[i] + "\r\n";
        hashed += "Zucker verstreuen\r\n";
        QCOMPARE(lines[1], "chksum=" + QCryptographicHash::hash(hashed, QCryptographicHash::Md5).toHex());
        QVERIFY(VerifyChecksum(ini, "Main"));
        QVERIFY(ini.Bytes().endsWith("Time_99=0\r\n"));
    }

    void createFromTheGameOptions()
    {
        FormGO->SetLevel(2);
        FormGO->SetImport(0);
        FormGO->SetMaxMarks(5);
        FormGhost->show();
        FormGhost->DateiName->setText("neu1");
        FormGhost->Passwort->setText("pw");
        QCOMPARE(FormGhost->bt_start->text(), QString("Dateiname unbekannt"));
        QVERIFY(FormGhost->BTC_neu->isEnabled());
        FormGhost->BTC_neuClick();
        QVERIFY(FormGhost->NewGhostFile);
        QVERIFY(FormGO->isVisible());
        QCOMPARE(FormGO->BTC_Starten->text(), QString("Erzeugen"));
        FormGO->BTC_StartenClick();
        QVERIFY(FormGhost->isVisible());
        QVERIFY(!Form1->GameRunning);
        TIniFile ini = readFile("neu1");
        QVERIFY(VerifyChecksum(ini, "Main"));
        QCOMPARE(ini.ReadString("Main", "Level", ""), QString("2"));
        QCOMPARE(ini.ReadString("Main", "Merker", ""), QString("5"));
        QCOMPARE(ini.ReadString("Main", "Feld", ""), FormGhost->GhostFeld);
        QVERIFY(PasswordMatches(ini, "pw", "Main"));
        // Overwriting asks; No keeps the old file byte for byte.
        const QByteArray before = ini.Bytes();
        FormGhost->Passwort->setText("anders");
        fx->Dialogs.Answers = {mrNo};
        FormGhost->CreateGhostFile();
        QCOMPARE(fx->Dialogs.Texts().last(), QString("Datei schon vorhanden.\r\nDatei überschreiben ?"));
        QCOMPARE(readFile("neu1").Bytes(), before);
        fx->Dialogs.Answers = {mrYes};
        FormGhost->CreateGhostFile();
        QVERIFY(PasswordMatches(readFile("neu1"), "anders", "Main"));
    }

    void refusedNamesMakeNoFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("slash") << "../raus";
        QTest::newRow("backslash") << "a\\b";
        QTest::newRow("blank") << "   ";
    }
    void refusedNamesMakeNoFile()
    {
        QFETCH(QString, name);
        FormGhost->show();
        FormGhost->DateiName->setText(name);
        QVERIFY(!FormGhost->BTC_neu->isEnabled());
        QVERIFY(!FormGhost->bt_start->isEnabled());
        FormGhost->CreateGhostFile();
        QVERIFY(QDir(ProgramDir()).entryList({"*.Ghost"}).isEmpty());
        QVERIFY(QDir(ProgramDir() + "/..").entryList({"*.Ghost"}).isEmpty());
    }

    // ---- the list and the state rule --------------------------------------------

    void listAndStateRule_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("start");
        QTest::addColumn<bool>("neu");
        QTest::addColumn<bool>("clear");
        QTest::newRow("valid, password") << "valid" << "pw" << "gültig" << "Spiel starten" << true << true << true;
        QTest::newRow("valid, wrong password")
            << "valid" << "falsch" << "gültig" << "Spiel starten" << true << false << false;
        QTest::newRow("tampered line") << "tampered" << "pw" << "ungültig" << "Datei ungültig" << false << true << false;
        QTest::newRow("short puzzle, checksum right")
            << "shortFeld" << "pw" << "ungültig" << "Datei ungültig" << false << true << false;
        QTest::newRow("level outside its set")
            << "badLevel" << "pw" << "ungültig" << "Datei ungültig" << false << true << false;
        QTest::newRow("no checksum") << "noChecksum" << "pw" << "ungültig" << "Datei ungültig" << false << true << false;
    }
    void listAndStateRule()
    {
        QFETCH(QString, kind);
        QFETCH(QString, password);
        QFETCH(QString, status);
        QFETCH(QString, caption);
        QFETCH(bool, start);
        QFETCH(bool, neu);
        QFETCH(bool, clear);
        writeGhostFile("g", "pw", [&](TIniFile &ini) {
            if (kind == "shortFeld")
                ini.WriteString("Main", "Feld", puzzle().left(80));
            if (kind == "badLevel")
                ini.WriteString("Main", "Level", "7");
        });
        if (kind == "tampered" || kind == "noChecksum") {
            TIniFile ini = readFile("g");
            if (kind == "tampered")
                ini.WriteString("Ghosts", "Time_55", "1");
            else
                ini.WriteString("Main", "chksum", "");
            QVERIFY(ini.Save());
        }
        FormGhost->hide();
        FormGhost->show();
        QCOMPARE(FormGhost->GhostList->topLevelItemCount(), 1);
        QCOMPARE(FormGhost->GhostList->topLevelItem(0)->text(5), status);
        FormGhost->Passwort->setText(password);
        FormGhost->DateiName->setText("g");
        QCOMPARE(FormGhost->bt_start->text(), caption);
        QCOMPARE(FormGhost->bt_start->isEnabled(), start);
        QCOMPARE(FormGhost->BTC_neu->isEnabled(), neu);
        QCOMPARE(FormGhost->BTC_clear->isEnabled(), clear);
    }

    void listColumns()
    {
        writeGhostFile("b_zwei", "pw", [](TIniFile &ini) {
            ini.WriteString("Ghosts", "Ghost_21", "3");
            ini.WriteString("Ghosts", "Time_21", "1234");
            ini.WriteString("Ghosts", "Ghost_31", "99"); // forged code: counts as 0
        }, 12, 4);
        writeGhostFile("a_neu", "pw", [](TIniFile &ini) { ini.DeleteKey("Main", "Level"); });
        writeGhostFile("c_text", "pw", [](TIniFile &ini) { ini.WriteString("Main", "Level", "abc"); });
        FormGhost->hide();
        FormGhost->show();
        QTreeWidget *l = FormGhost->GhostList;
        QCOMPARE(l->topLevelItemCount(), 3);
        const QStringList headers{"Dateiname", "Schwierigkeit", "Merker", "Geister", "Zeit", "Status"};
        for (int c = 0; c < 6; ++c)
            QCOMPARE(l->headerItem()->text(c), headers[c]);
        auto row = [l](int r) {
            QStringList s;
            for (int c = 0; c < 6; ++c)
                s << l->topLevelItem(r)->text(c);
            return s;
        };
        // A file without a level is valid: it plays at level 0.
        QCOMPARE(row(0), (QStringList{"a_neu", "unbekannt", "3", "0", "00:00.0", "gültig"}));
        QCOMPARE(row(1), (QStringList{"b_zwei", "Schwer(Import)", "4", "2", "02:03.4", "gültig"}));
        QCOMPARE(row(2), (QStringList{"c_text", "", "3", "0", "00:00.0", "ungültig"}));
        FormGhost->GhostList->setCurrentItem(l->topLevelItem(1));
        FormGhost->GhostListDblClick();
        QCOMPARE(FormGhost->DateiName->text(), QString("b_zwei"));
    }

    void clearNeedsAValidOwnFile()
    {
        writeGhostFile("c", "pw", [](TIniFile &ini) { ini.WriteString("Ghosts", "Ghost_21", "2"); });
        FormGhost->show();
        FormGhost->DateiName->setText("c");
        FormGhost->Passwort->setText("pw");
        QVERIFY(FormGhost->BTC_clear->isEnabled());
        // Tampered after the state rule looked: the click checks again and writes nothing.
        TIniFile t = readFile("c");
        t.WriteString("Ghosts", "Time_21", "5");
        QVERIFY(t.Save());
        const QByteArray tampered = readFile("c").Bytes();
        FormGhost->BTC_clearClick();
        QCOMPARE(readFile("c").Bytes(), tampered);
        QVERIFY(!FormGhost->BTC_clear->isEnabled());
        // On a valid file with its password every cell goes back to 0.
        writeGhostFile("c", "pw", [](TIniFile &ini) { ini.WriteString("Ghosts", "Ghost_21", "2"); });
        FormGhost->DateiNameChange();
        FormGhost->BTC_clearClick();
        TIniFile cleared = readFile("c");
        QVERIFY(VerifyChecksum(cleared, "Main"));
        QCOMPARE(cleared.ReadString("Ghosts", "Ghost_21", ""), QString("0"));
        QCOMPARE(FormGhost->GhostList->topLevelItem(0)->text(3), QString("0"));
    }

    // ---- starting -----------------------------------------------------------------

    void startChecksInOrder()
    {
        writeGhostFile("s", "pw");
        FormGO->SetEvaluation(0);
        FormGO->SetRating(1);
        FormGO->SetMarkBonus(0);
        FormGO->SetGameType(4);
        QVERIFY(IsBingoActive());
        startGhostGame("s");
        const QStringList texts = fx->Dialogs.Texts();
        QCOMPARE(texts,
                 (QStringList{"Im Ghostmodus muss die Fehlerauswertung sofort sein.\n\rDie Auswertung wird umgeschaltet.",
                              "Im Ghostmodus muss die Bewertung Profi sein.\n\rDie Bewertung wird umgeschaltet.",
                              "Im Ghostmodus ist kein Bingo möglich.\n\rDer Bingomodus wird abgewählt."}));
        QVERIFY(FormGO->IsEvaluationImmediate());
        QCOMPARE(FormGO->GetRating(), 4);
        QVERIFY(!IsBingoActive());
        QVERIFY(FormGhost->GhostMode);
        QVERIFY(FormGhost->Timer1->isActive());
        Form1->StopGameLocal();
        // With rating Profi and the bonus on, only the bonus message.
        FormGO->SetMarkBonus(1);
        fx->Dialogs.Shown.clear();
        startGhostGame("s");
        QCOMPARE(fx->Dialogs.Texts(),
                 QStringList{"Ghostmodus kann nur ohne Bonus gespielt werden.\n\rDer Bonus wird abgewählt."});
        QVERIFY(!FormGO->HasMarkBonus());
    }

    void aFileWithoutLevelPlaysAtLevel0()
    {
        writeGhostFile("ohne", "pw", [](TIniFile &ini) { ini.DeleteKey("Main", "Level"); });
        FormGO->SetImport(1);
        FormGO->SetLevel(3);
        startGhostGame("ohne");
        QCOMPARE(FormGO->GetLevel(), 0);
        QCOMPARE(FormGO->Values().Import, false);
    }

    // Only what the window can open is listed: the extension as the mask spells it.
    void fileListIsCaseExact()
    {
        writeGhostFile("gross", "pw");
        writeGhostFile("klein", "pw");
        QVERIFY(QFile::rename(path("gross"), ProgramDir() + "/gross.GHOST"));
        QVERIFY(QFile::copy(path("klein"), ProgramDir() + "/klein.ghost"));
        FormGhost->hide();
        FormGhost->show();
        QCOMPARE(FormGhost->GhostList->topLevelItemCount(), 1);
        QCOMPARE(FormGhost->GhostList->topLevelItem(0)->text(0), QString("klein"));
        QCOMPARE(FormGhost->GhostList->topLevelItem(0)->text(5), QString("gültig"));
    }

    void placedOverTheWholeMainWindow()
    {
        const QRect before = Form1->geometry();
        Form1->setGeometry(100, 50, 1020, 725);
        FormGhost->show();
        FormGhost->FormActivate();
        const QRect main = Form1->frameGeometry();
        QCOMPARE(FormGhost->x(), main.x() + (main.width() - FormGhost->width()) / 2);
        QCOMPARE(FormGhost->y(), main.y() + (Form1->height() - FormGhost->height()) / 2);
        Form1->setGeometry(before);
    }

    void aFileThatFailsToLoadStartsNothing()
    {
        writeGhostFile("weg", "pw");
        FormGhost->show();
        FormGhost->DateiName->setText("weg");
        QVERIFY(FormGhost->bt_start->isEnabled());
        QFile::remove(path("weg"));
        FormGhost->bt_startClick();
        for (int i = 0; i < 6; ++i)
            NETZ->StartTimerTimer();
        QVERIFY(!Form1->GameRunning);
        QVERIFY(!FormGhost->GhostMode);
        QVERIFY(FormGhost->isVisible());
        QCOMPARE(FormGhost->bt_start->text(), QString("Dateiname unbekannt"));
    }

    // ---- the replay ---------------------------------------------------------------

    // While "Ghostspiel noch gestartet." is open the game stands: no ghost
    // enters a digit and the clock stands; "Nein" goes on from there.
    void theQuestionHoldsTheGame()
    {
        writeGhostWithOneCell("q");
        startGhostGame("q");
        const int64_t start = Form1->GameStartCount;
        TTestFixture::Now = start + 20 * kTenth;
        Form1->MsgTimerTimer();
        QCOMPARE(Form1->ElapsedTenths, int64_t(20));
        fx->Dialogs.Answers.push_back(mrNo);
        bool heldMeanwhile = false;
        fx->Dialogs.WhileAsked = [&] {
            // A minute with the question open.
            TTestFixture::Now = start + 620 * kTenth;
            FormGhost->Timer1Timer();
            Form1->MsgTimerTimer();
            heldMeanwhile = !ghostCellEntered() && Form1->ElapsedTenths == 20 && GameQuestionOpen();
        };
        Form1->BTC_Spiel_EndeClick();
        QVERIFY(heldMeanwhile);
        QCOMPARE(fx->Dialogs.Texts(), QStringList{"Ghostspiel noch gestartet.\r\nSpiel abbrechen?"});
        QVERIFY(fx->Dialogs.Withdrawn.isEmpty());
        QVERIFY(Form1->GameRunning);
        QVERIFY(!Form1->Paused);
        QVERIFY(FormGhost->GhostMode);
        // The game goes on at 2.0 s: the ghost's 3.0 s is a second away.
        Form1->MsgTimerTimer();
        QCOMPARE(Form1->ElapsedTenths, int64_t(20));
        FormGhost->Timer1Timer();
        QVERIFY(!ghostCellEntered());
        TTestFixture::Now += 11 * kTenth;
        FormGhost->Timer1Timer();
        QVERIFY(ghostCellEntered());
    }

    // The same under the program's own message box, with the program's
    // timers running beneath it: nothing of the game moves. "Nein" plays on
    // from where it stood; "Ja" leaves the game for the ghost window alone,
    // and the next game of the file ends in a dialog as high as its rows.
    void theRealQuestionHoldsTheGame_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::newRow("Nein") << "&Nein";
        QTest::newRow("Ja") << "&Ja";
    }
    void theRealQuestionHoldsTheGame()
    {
        QFETCH(QString, answer);
        writeGhostWithOneCell("q");
        // As the start screen's ghost choice leaves it.
        const auto restore = qScopeGuard([kind = FormStart->GameKind] { FormStart->GameKind = kind; });
        FormStart->GameKind = 2;
        startGhostGame("q");
        const int64_t start = Form1->GameStartCount;
        TTestFixture::Now = start + 20 * kTenth;
        Form1->MsgTimerTimer();
        QVERIFY(FormGhost->Timer1->isActive());
        QVERIFY(Form1->MsgTimer->isActive());
        const TRealQuestion q = AbandonInTheRealBox(&fx->Dialogs, start, answer, [] { return !ghostCellEntered(); });
        QCOMPARE(q.Asked, QString("Ghostspiel noch gestartet.\r\nSpiel abbrechen?"));
        QVERIFY(q.Held);
        QVERIFY(!GameQuestionOpen());
        QVERIFY(!QApplication::activeModalWidget());

        if (answer == QLatin1String("&Nein")) {
            QVERIFY(Form1->GameRunning);
            QVERIFY(!Form1->Paused);
            QVERIFY(FormGhost->GhostMode);
            QCOMPARE(ShownSetUpWindows(), QStringList());
            Form1->MsgTimerTimer();
            QCOMPARE(Form1->ElapsedTenths, int64_t(20));
            return;
        }
        QVERIFY(!Form1->GameRunning);
        QVERIFY(!FormGhost->GhostMode);
        QVERIFY(!FormSpielEnde->isVisible());
        QCOMPARE(ShownSetUpWindows(), QStringList{"FormGhost"});

        startGhostGame("q");
        playerFillsTheRest();
        QVERIFY(!Form1->GameRunning);
        QVERIFY(FormSpielEnde->isVisible());
        QCOMPARE(EndTableNames(), QStringList({Form1->Players[1].Name, "Ghost(1)"}));
        QVERIFY(EndDialogFits(2));
        FormSpielEnde->BTC_closeClick();
        QCOMPARE(ShownSetUpWindows(), QStringList{"FormGhost"});
    }

    void replayFollowsTheClock()
    {
        const QList<QPoint> open = openCells(puzzle());
        QVERIFY(open.size() > 5);
        // Ghost 1 (code 2) found three cells at 3.0 s, 3.0 s and 5.0 s, ghost 2
        // (code 3) one at 4.0 s and one whose time is 0, which never replays.
        const QList<std::tuple<QPoint, int, int>> ghostCells{{open[0], 2, 30}, {open[1], 2, 50}, {open[2], 3, 40},
                                                             {open[3], 2, 30}, {open[4], 3, 0}};
        writeGhostFile("r", "pw", [&](TIniFile &ini) {
            for (const auto &[p, code, time] : ghostCells) {
                ini.WriteString("Ghosts", GhostOwnerKey(p.x(), p.y()), QString::number(code));
                ini.WriteString("Ghosts", GhostTimeKey(p.x(), p.y()), QString::number(time));
            }
        });
        startGhostGame("r");
        QCOMPARE(FormGhost->GhostCount, 3);
        QCOMPARE(Form1->Players[2].Name, QString("Ghost(1)"));
        QCOMPARE(Form1->Players[3].Name, QString("Ghost(2)"));
        QCOMPARE(Form1->Players[3].Address, QString("Ghost3"));
        QVERIFY(Form1->Players[3].Active);
        QVERIFY(Form1->Players[4].Address.isEmpty());

        // The board was rotated: find the cells by their stamps on layer 0.
        auto cellsWith = [](int code, int64_t time) {
            QList<QPoint> out;
            for (int y = 1; y <= 9; ++y)
                for (int x = 1; x <= 9; ++x)
                    if (Form1->Boards[0][x][y].FirstFinder == code && Form1->Boards[0][x][y].FoundTime == time)
                        out << QPoint(x, y);
            return out;
        };
        const QList<QPoint> at30 = cellsWith(2, 30), at50 = cellsWith(2, 50), at40 = cellsWith(3, 40),
                            never = cellsWith(3, 0);
        QCOMPARE(at30.size(), 2);
        QCOMPARE(at50.size(), 1);
        QCOMPARE(at40.size(), 1);
        QCOMPARE(never.size(), 1);
        auto taken = [](const QPoint &p) { return !IsCellFreeOnAllLayers(Form1->Boards, p.x(), p.y()); };
        const int64_t start = Form1->GameStartCount;

        TTestFixture::Now = start + 30 * kTenth; // exactly 3.0 s: not yet (strictly before)
        FormGhost->Timer1Timer();
        QVERIFY(!taken(at30[0]) && !taken(at30[1]));
        TTestFixture::Now = start + 31 * kTenth;
        FormGhost->Timer1Timer();
        QVERIFY(taken(at30[0]) && taken(at30[1]));
        QVERIFY(!taken(at40[0]) && !taken(at50[0]));
        // A ghost's own cell keeps its stored time.
        QCOMPARE(Form1->Boards[0][at30[0].x()][at30[0].y()].FoundTime, int64_t(30));
        QCOMPARE(Form1->Boards[0][at30[0].x()][at30[0].y()].FirstFinder, 2);

        // Paused: no ghost moves, and the pause moves the clock's start on.
        Form1->Paused = true;
        TTestFixture::Now = start + 60 * kTenth;
        FormGhost->Timer1Timer();
        QVERIFY(!taken(at40[0]) && !taken(at50[0]));
        Form1->Paused = false;
        Form1->GameStartCount += 25 * kTenth; // resumed: 3.5 s of game time now
        FormGhost->Timer1Timer();
        QVERIFY(!taken(at40[0]));
        TTestFixture::Now = Form1->GameStartCount + 41 * kTenth;
        FormGhost->Timer1Timer();
        QVERIFY(taken(at40[0]));
        QVERIFY(!taken(at50[0]));

        // The live player takes the 5.0 s cell first: the ghost never enters it,
        // and the cell is stamped for the live player.
        const QPoint p50 = at50[0];
        NETZ->EnterNumber(p50.x(), p50.y(), Form1->Boards[0][p50.x()][p50.y()].Value);
        QCOMPARE(Form1->Boards[0][p50.x()][p50.y()].FirstFinder, 1);
        QCOMPARE(Form1->Boards[0][p50.x()][p50.y()].FoundTime, int64_t(41));
        TTestFixture::Now += 100 * kTenth;
        FormGhost->Timer1Timer();
        QVERIFY(!taken(never[0]));
        QCOMPARE(Form1->Players[2].Found, 2);
        QCOMPARE(Form1->Players[3].Found, 1);
    }

    // ---- saving --------------------------------------------------------------------

    void firstResultIsSavedAsTheNewestGhost()
    {
        writeGhostFile("first", "pw");
        startGhostGame("first");
        QCOMPARE(FormGhost->GhostCount, 1);
        QVERIFY(Form1->Players[2].Address.isEmpty());
        TTestFixture::Now = Form1->GameStartCount + 77 * kTenth;
        playerFillsTheRest();
        QVERIFY(!Form1->GameRunning);
        TIniFile ini = readFile("first");
        QVERIFY(VerifyChecksum(ini, "Main"));
        const QString feld = ini.ReadString("Main", "Feld", "");
        QCOMPARE(feld.size(), 81);
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x) {
                const bool given = feld[(y - 1) * 9 + x - 1].isUpper();
                QCOMPARE(ini.ReadString("Ghosts", GhostOwnerKey(x, y), ""), QString(given ? "0" : "2"));
                QCOMPARE(ini.ReadString("Ghosts", GhostTimeKey(x, y), ""), QString(given ? "0" : "77"));
                QCOMPARE(digitAt(feld, x, y), Form1->Boards[0][x][y].Value);
            }
        FormGhost->show();
        QCOMPARE(FormGhost->GhostList->topLevelItem(0)->text(3), QString("1"));
    }

    void mergeRules_data()
    {
        QTest::addColumn<QList<int>>("finders"); // credited slot of the open cells, in order
        QTest::addColumn<int>("participants");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QList<int>>("stored"); // codes stored for those cells
        QTest::newRow("live player and ghosts 2, 3 age by one")
            << QList<int>{1, 2, 3, 1} << 3 << int(TGhostMergeOutcome::Saved) << QList<int>{2, 3, 4, 2};
        QTest::newRow("a cell nobody found is stored as 1")
            << QList<int>{1, 0, 1, 1} << 1 << int(TGhostMergeOutcome::Saved) << QList<int>{2, 1, 2, 2};
        QTest::newRow("ghost 2 without cells drops, older ones close up")
            << QList<int>{1, 3, 4, 1} << 4 << int(TGhostMergeOutcome::SavedDroppedGhost) << QList<int>{2, 3, 4, 2};
        QTest::newRow("the oldest ghost without cells drops")
            << QList<int>{1, 2, 2, 1} << 3 << int(TGhostMergeOutcome::SavedDroppedGhost) << QList<int>{2, 3, 3, 2};
        QTest::newRow("live player without cells: nothing stored")
            << QList<int>{2, 2, 3, 3} << 3 << int(TGhostMergeOutcome::NoPoints) << QList<int>{};
        QTest::newRow("an eighth ghost: nothing stored")
            << QList<int>{1, 2, 3, 4, 5, 6, 7, 8} << 8 << int(TGhostMergeOutcome::TooManyGhosts) << QList<int>{};
        QTest::newRow("seven ghosts, one drops: stored")
            << QList<int>{1, 2, 3, 4, 5, 6, 8, 8} << 8 << int(TGhostMergeOutcome::SavedDroppedGhost)
            << QList<int>{2, 3, 4, 5, 6, 7, 8, 8};
        QTest::newRow("forged slot numbers never reach past the slots")
            << QList<int>{1, 42, -5, 1} << 1 << int(TGhostMergeOutcome::Saved) << QList<int>{2, 1, 1, 2};
    }
    void mergeRules()
    {
        QFETCH(QList<int>, finders);
        QFETCH(int, participants);
        QFETCH(int, outcome);
        QFETCH(QList<int>, stored);
        const QString feld = puzzle();
        TBoardLayer l = layerOf(feld);
        const QList<QPoint> open = openCells(feld);
        for (const QPoint &p : open)
            l[p.x()][p.y()].FirstFinder = finders[0];
        for (int i = 0; i < finders.size(); ++i) {
            l[open[i].x()][open[i].y()].FirstFinder = finders[i];
            l[open[i].x()][open[i].y()].FoundTime = 10 + i;
        }
        const TGhostMerge m = MergeGhostResult(l, participants);
        QCOMPARE(int(m.Outcome), outcome);
        if (stored.isEmpty()) {
            QVERIFY(m.Feld.isEmpty());
            return;
        }
        QCOMPARE(m.Feld, feld);
        for (int i = 0; i < stored.size(); ++i) {
            QCOMPARE(m.Owner[open[i].x()][open[i].y()], stored[i]);
            QCOMPARE(m.Time[open[i].x()][open[i].y()], int64_t(10 + i));
        }
        for (int i = 0; i < 81; ++i)
            if (feld[i].isUpper()) {
                QCOMPARE(m.Owner[i % 9 + 1][i / 9 + 1], 0);
                QCOMPARE(m.Time[i % 9 + 1][i / 9 + 1], int64_t(0));
            }
    }

    void unsavedResultsLeaveTheFile()
    {
        // Seven ghosts, each with a cell: the result would need an eighth.
        const QList<QPoint> open = openCells(puzzle());
        writeGhostFile("voll", "pw", [&](TIniFile &ini) {
            for (int code = 2; code <= 8; ++code) {
                ini.WriteString("Ghosts", GhostOwnerKey(open[code].x(), open[code].y()), QString::number(code));
                ini.WriteString("Ghosts", GhostTimeKey(open[code].x(), open[code].y()), QString::number(code));
            }
        });
        const QByteArray before = readFile("voll").Bytes();
        startGhostGame("voll");
        QCOMPARE(FormGhost->GhostCount, 8);
        TTestFixture::Now = Form1->GameStartCount + 20 * kTenth;
        FormGhost->Timer1Timer();
        playerFillsTheRest();
        QVERIFY(!Form1->GameRunning);
        QVERIFY(fx->Dialogs.Texts().contains(
            "Mehr als 7 Geister sind nicht möglich,\r\nErgebnis wird nicht gespeichert."));
        QCOMPARE(readFile("voll").Bytes(), before);
    }

    void aFileReplacedDuringTheGameIsNotLaundered()
    {
        writeGhostFile("f", "pw");
        startGhostGame("f");
        TIniFile forged = readFile("f");
        forged.WriteString("Main", "Merker", "9");
        QVERIFY(forged.Save());
        const QByteArray before = readFile("f").Bytes();
        playerFillsTheRest();
        QVERIFY(!Form1->GameRunning);
        QCOMPARE(readFile("f").Bytes(), before);
        // Deleted during the game: not made again.
        writeGhostFile("g", "pw");
        startGhostGame("g");
        QFile::remove(path("g"));
        playerFillsTheRest();
        QVERIFY(!QFile::exists(path("g")));
    }

    void forgedValuesAreTamed()
    {
        writeGhostFile("m", "pw", [](TIniFile &ini) {
            ini.WriteString("Main", "Merker", "250");
            ini.WriteString("Ghosts", "Ghost_11", "-3");
            ini.WriteString("Ghosts", "Time_11", "99999999999");
        });
        startGhostGame("m");
        QCOMPARE(FormGO->MaxMerker->Value(), 9);
        QCOMPARE(FormGhost->GhostCount, 1);
        QCOMPARE(GhostMarkLimit("-4"), 0);
        QCOMPARE(GhostMarkLimit("x"), 0);
        QCOMPARE(SanitizeGhostOwner(9), 0);
        QCOMPARE(SanitizeGhostTime(int64_t(1) << 40), int64_t(0));
    }
};

QTEST_MAIN(TstGhost)
#include "tst_ghost.moc"
