// Challenges and tournaments: the window's state rule, the results list, the
// stage tree, stages played to the end with their results written, the
// tournament host writing every player's results, and files that must be
// refused.
#include "common/Fixture.h"
#include "competitions/UChallenge.h"
#include "competitions/UCompetitionFile.h"
#include "core/UQuadrivo.h"
#include "core/UQuadrivo_Builtin.h"
#include "core/USonstiges.h"
#include "core/USystem.h"
#include "net/UNETZ.h"
#include "screens/UGameOptionen.h"
#include "screens/UOptionen.h"
#include "screens/UStart.h"

#include <QDir>
#include <QFile>
#include <QtTest>

namespace {
QString stageCode(int i, const QString &options = QStringLiteral("SS123"))
{
    return QString::fromLatin1(kBuiltinPuzzles[i % 4][i % 10]) + options;
}

QString filePath(const QString &name, int mode = 10)
{
    return CompetitionFilePath(ProgramDir(), name, mode);
}

// Writes a file with its stages; edit adds players and results before the checksum.
void writeFile(const QString &name, const QString &password, int stages, int mode = 10,
               const std::function<void(TIniFile &)> &edit = nullptr)
{
    TIniFile ini = NewCompetitionDocument(filePath(name, mode), password);
    for (int s = 1; s <= stages; ++s)
        QVERIFY(ini.WriteString("Spiele", StageNumberText(s), stageCode(s)));
    if (edit)
        edit(ini);
    QVERIFY(WriteChecksum(ini, "Spiele"));
    QVERIFY(ini.Save());
}

TIniFile readFile(const QString &name, int mode = 10)
{
    TIniFile ini(filePath(name, mode));
    ini.Load();
    return ini;
}

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QStringList rowTexts(const QTreeWidgetItem *row)
{
    QStringList out;
    for (int c = 0; c < 6; ++c)
        out << row->text(c);
    return out;
}

int32_t backgroundOf(const QTreeWidgetItem *row)
{
    return ColorToBGR(row->background(0).color());
}
} // namespace

class TstChallenge : public QObject {
    Q_OBJECT
    std::unique_ptr<TTestFixture> fx;

    void openChallenge(const QString &name, const QString &password = QString(), const QString &nick = "Anna")
    {
        FormStart->PlayMode = 10;
        FormStart->GameKind = 3;
        FormOpt->NickName->setText(nick);
        FormCha->SetupChallenge();
        FormCha->Passwort->setText(password);
        FormCha->ChallengeName->setText(name);
    }

private slots:
    void initTestCase()
    {
        fx = std::make_unique<TTestFixture>();
        RegWriteInteger("Disclaimer", 1);
        fx->CreateWindows();
        fx->RunStartupTo(160);
        FormStart->hide();
    }
    void cleanupTestCase() { fx.reset(); }
    void init()
    {
        fx->Dialogs.Shown.clear();
        fx->Dialogs.Answers.clear();
        fx->Dialogs.DefaultAnswer = mrOk;
        Form1->HelpCursor = 0;
    }
    void cleanup()
    {
        if (Form1->GameRunning)
            Form1->StopGameLocal();
        FormCha->ChallengeName->setEnabled(true);
        FormCha->close_cClick();
        FormGO->close();
        FormStart->hide();
        Form1->ResetPlayers();
        NETZ->MyPlayerNo = 0;
        for (const QString &f : QDir(ProgramDir()).entryList({"*.challenge", "*.turnier"}))
            QFile::remove(ProgramDir() + "/" + f);
    }

    // ---- the state rule --------------------------------------------------------------

    void stateRule_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("file"); // 0 none, 1 played, 2 tampered, 3 bad stage code, 4 player beyond the stages
        QTest::addColumn<int>("stages");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("nick");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("start");
        QTest::addColumn<bool>("neu");
        QTest::addColumn<bool>("clear");
        QTest::newRow("no name") << "" << 0 << 0 << ""
                                 << "Anna"
                                 << "Challengename\r\neingeben." << false << false << false;
        QTest::newRow("unknown") << "nix" << 0 << 0 << ""
                                 << "Anna"
                                 << "Challengename\r\nunbekannt." << false << true << false;
        QTest::newRow("leaves the folder") << "../nix" << 0 << 0 << ""
                                           << "Anna"
                                           << "Challengename\r\nunbekannt." << false << false << false;
        QTest::newRow("backslash") << "a\\b" << 0 << 0 << ""
                                   << "Anna"
                                   << "Challengename\r\nunbekannt." << false << false << false;
        QTest::newRow("blank") << "  " << 0 << 0 << ""
                               << "Anna"
                               << "Challengename\r\nunbekannt." << false << false << false;
        QTest::newRow("tampered") << "c" << 2 << 2 << "pw"
                                  << "Anna"
                                  << "Challengedatei\r\nungültig." << false << true << false;
        QTest::newRow("bad stage code") << "c" << 3 << 2 << "pw"
                                        << "Anna"
                                        << "Challengedatei\r\nungültig." << false << true << false;
        QTest::newRow("player beyond the stages") << "c" << 4 << 2 << "pw"
                                                  << "Anna"
                                                  << "Challengedatei\r\nungültig." << false << true << false;
        QTest::newRow("new file, password") << "c" << 1 << 0 << "pw"
                                            << "Anna"
                                            << "Challenge erweitern\r\nSpiel starten." << true << true << true;
        QTest::newRow("new file, no password") << "c" << 1 << 0 << ""
                                               << "Anna"
                                               << "Challenge erweitern\r\nnur mit Passwort!" << false << false << false;
        QTest::newRow("stage left, no password") << "c" << 1 << 2 << ""
                                                 << "Anna"
                                                 << "Challengespiel\r\nstarten" << true << false << false;
        QTest::newRow("stage left, password") << "c" << 1 << 2 << "pw"
                                              << "Anna"
                                              << "Challengespiel\r\nstarten" << true << true << true;
        QTest::newRow("last stage reached") << "c" << 1 << 1 << ""
                                            << "Anna"
                                            << "Challenge erweitern\r\nnur mit Passwort!" << false << false << false;
        QTest::newRow("second nickname") << "c" << 1 << 1 << ""
                                         << "Bert"
                                         << "Challengespiel\r\nstarten" << true << false << false;
        QTest::newRow("no nickname") << "c" << 1 << 2 << "pw"
                                     << ""
                                     << "Spielername\r\neingeben." << false << true << true;
        QTest::newRow("nickname no key") << "c" << 1 << 2 << "pw"
                                         << "a=b"
                                         << "Spielername\r\nungültig." << false << true << true;
    }
    void stateRule()
    {
        QFETCH(QString, name);
        QFETCH(int, file);
        QFETCH(int, stages);
        QFETCH(QString, password);
        QFETCH(QString, nick);
        if (file != 0)
            writeFile("c", "pw", stages, 10, [file, stages](TIniFile &ini) {
                // Anna has played stage 1.
                if (stages > 0) {
                    ini.WriteString("Etappe", "Anna", "0001");
                    ini.WriteString("0001", "Anna", "30*1234*1");
                }
                if (file == 3)
                    ini.WriteString("Spiele", "0002", stageCode(2).left(80));
                if (file == 4)
                    ini.WriteString("Etappe", "Anna", "0009");
            });
        if (file == 2) {
            QByteArray bytes = bytesOf(filePath("c"));
            bytes.replace("30*1234*1", "90*1234*1");
            QFile f(filePath("c"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        }
        openChallenge(name, password);
        FormCha->Nickname->setText(nick);
        QTEST(FormCha->bt_start->text(), "caption");
        QTEST(FormCha->bt_start->isEnabled(), "start");
        QTEST(FormCha->bt_neues->isEnabled(), "neu");
        QTEST(FormCha->bt_clear->isEnabled(), "clear");
        if (!IsSafeCompetitionName(name))
            QVERIFY(ChallengeFileName.isEmpty());
    }

    void tournamentCaptions()
    {
        FormStart->PlayMode = 20;
        FormCha->SetupTournament();
        QCOMPARE(FormCha->windowTitle(), QString("Turnier"));
        QCOMPARE(FormCha->TitelLabel->text(), QString("Turnier :"));
        QCOMPARE(FormCha->ChallengeName->EditLabel->text(), QString("Turniername :"));
        QCOMPARE(FormCha->bt_ende->text(), QString("Turnier beenden"));
        QCOMPARE(FormCha->bt_neues->text(), QString("Neues Turnier"));
        QVERIFY(FormCha->SpielernameLabel->isHidden());
        QVERIFY(!FormCha->rb_panel_t->isHidden());
        FormCha->ChallengeName->setText("");
        QCOMPARE(FormCha->bt_start->text(), QString("Turniername\r\neingeben."));
        FormCha->ChallengeName->setText("t");
        QCOMPARE(FormCha->bt_start->text(), QString("Turniername\r\nunbekannt."));
        // A challenge file is not a tournament file.
        writeFile("t", "", 0, 10);
        FormCha->ChallengeName->setText("");
        FormCha->ChallengeName->setText("t");
        QCOMPARE(FormCha->bt_start->text(), QString("Turniername\r\nunbekannt."));
        FormCha->SetupChallenge();
        QCOMPARE(FormCha->windowTitle(), QString("Challenge"));
        QCOMPARE(FormCha->bt_start->text(), QString("Challenge starten"));
        QVERIFY(FormCha->rb_panel_t->isHidden());
    }

    // ---- creating -----------------------------------------------------------------------

    void createAndOverwrite()
    {
        openChallenge("neu", "pw");
        QVERIFY(FormCha->bt_neues->isEnabled());
        FormCha->neu_CClick();
        TIniFile ini = readFile("neu");
        QVERIFY(VerifyChecksum(ini, "Spiele"));
        QVERIFY(PasswordMatches(ini, "pw"));
        QCOMPARE(ini.ReadSections(), (QStringList{"Spiele", "Etappe"}));
        QCOMPARE(FormCha->bt_start->text(), QString("Challenge erweitern\r\nSpiel starten."));
        QCOMPARE(FormCha->Tree->topLevelItemCount(), 1);
        QCOMPARE(FormCha->Tree->topLevelItem(0)->text(0), QString("neu"));
        // No keeps the old file byte for byte; Yes replaces it.
        const QByteArray before = bytesOf(filePath("neu"));
        fx->Dialogs.Answers = {mrNo};
        FormCha->neu_CClick();
        QCOMPARE(fx->Dialogs.Texts(), QStringList{"Datei schon vorhanden.\r\nDatei überschreiben ?"});
        QCOMPARE(bytesOf(filePath("neu")), before);
        fx->Dialogs.Answers = {mrYes};
        FormCha->Passwort->setText("");
        // A valid file is overwritten only with its password.
        QVERIFY(!FormCha->CreateChallengeFile());
        QCOMPARE(bytesOf(filePath("neu")), before);
        FormCha->Passwort->setText("pw");
        QVERIFY(FormCha->CreateChallengeFile());
        QVERIFY(VerifyChecksum(readFile("neu"), "Spiele"));
    }

    void creationRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("mode");
        QTest::newRow("parent folder") << "../raus" << 10;
        QTest::newRow("slash") << "a/b" << 10;
        QTest::newRow("backslash") << "a\\b" << 10;
        QTest::newRow("control character") << "a\tb" << 10;
        QTest::newRow("blank") << "   " << 10;
        QTest::newRow("other play mode") << "gut" << 1;
    }
    void creationRefused()
    {
        QFETCH(QString, name);
        QFETCH(int, mode);
        openChallenge(name, "pw");
        FormStart->PlayMode = mode;
        FormCha->Refresh();
        QVERIFY(!FormCha->bt_neues->isEnabled());
        QVERIFY(!FormCha->CreateChallengeFile());
        QDir parent(ProgramDir());
        parent.cdUp();
        QCOMPARE(QDir(ProgramDir()).entryList(QDir::Files | QDir::NoDotAndDotDot).filter("challenge"), QStringList());
        QVERIFY(!QFileInfo::exists(parent.filePath("raus.challenge")));
        QVERIFY(fx->Dialogs.Shown.empty());
    }

    // ---- the results list ------------------------------------------------------------

    void gamerRows_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("stage");
        QTest::addColumn<int>("colour");
        QTest::newRow("own total") << "Anna"
                                   << "3"
                                   << "" << int(TFormCha::kOwnTotalColour);
        QTest::newRow("other total") << "Bert"
                                     << "3"
                                     << "" << int(TFormCha::kTotalColour);
        QTest::newRow("own stage") << "Anna"
                                   << ""
                                   << "0002" << int(TFormCha::kOwnStageColour);
        QTest::newRow("odd stage") << "Bert"
                                   << ""
                                   << "0001" << int(TFormCha::kOddStageColour);
        QTest::newRow("even stage") << "Bert"
                                    << ""
                                    << "0002" << int(TFormCha::kEvenStageColour);
        QTest::newRow("stage 11") << "Bert"
                                  << ""
                                  << "0011" << int(TFormCha::kOddStageColour);
    }
    void gamerRows()
    {
        QFETCH(QString, name);
        QFETCH(QString, count);
        QFETCH(QString, stage);
        QFETCH(int, colour);
        FormCha->Nickname->setText("Anna");
        FormCha->ClearTournamentLists();
        FormCha->AddGamerRow(name, count, stage, 17, 6543, 2);
        QCOMPARE(FormCha->GamerView->topLevelItemCount(), 1);
        const QTreeWidgetItem *row = FormCha->GamerView->topLevelItem(0);
        QCOMPARE(rowTexts(row), (QStringList{name, count, stage, "17", FormatTenths(6543), "2"}));
        QCOMPARE(backgroundOf(row), colour);
        QCOMPARE(row->foreground(5).color(), QColor(Qt::black));
        QCOMPARE(row->textAlignment(3), int(Qt::AlignCenter));
    }

    void columns()
    {
        QStringList heads;
        for (int c = 0; c < FormCha->GamerView->columnCount(); ++c)
            heads << FormCha->GamerView->headerItem()->text(c);
        QCOMPARE(heads, (QStringList{"Name", "Anz.", "Spielnr.", "Punkte", "Zeit", "Fehler"}));
    }

    void clearTournamentLists()
    {
        FormCha->AddGamerRow("x", "1", "", 1, 1, 1);
        new QTreeWidgetItem(FormCha->Tree, {"t"});
        FormCha->ClearTournamentLists();
        QCOMPARE(FormCha->GamerView->topLevelItemCount(), 0);
        QCOMPARE(FormCha->Tree->topLevelItemCount(), 0);
    }
};

QTEST_MAIN(TstChallenge)
#include "tst_challenge.moc"
