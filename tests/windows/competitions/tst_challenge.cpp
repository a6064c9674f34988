// Challenges and tournaments: the window's state rule, the results list, the
// stage tree, stages played to the end with their results written, the
// tournament host writing every player's results, and files that must be
// refused.
#include "common/Fixture.h"
#include "board/UQuadrivo.h"
#include "board/UQuadrivo_Builtin.h"
#include "common/GameEndChecks.h"
#include "common/RealMessageBoxes.h"
#include "competitions/UChallenge.h"
#include "files/UCompetitionFile.h"
#include "net/UNETZ.h"
#include "net/UNETZ_GameLinks.h"
#include "screens/UGameOptionen.h"
#include "screens/UInfo.h"
#include "screens/UOptionen.h"
#include "screens/USpielEnde.h"
#include "screens/UStart.h"
#include "settings/USonstiges.h"
#include "settings/USystem.h"

#include <QDir>
#include <QFile>
#include <QtTest>
#include <csignal>
#include <sys/resource.h>

namespace {
constexpr int64_t kTenth = 100000000LL; // counter ticks (ns) per tenth of a second

QString stageCode(int i, const QString &options = QStringLiteral("SS123"))
{
    return QString::fromLatin1(kBuiltinPuzzles[i % 4][i % kBuiltinCounts[i % 4]]) + options;
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

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

// Runs fn while no file may grow beyond the given size, so every save fails.
void withFileSizeLimit(rlim_t bytes, const std::function<void()> &fn)
{
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = old;
    limited.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limited);
    fn();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
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

    void openTournament(const QString &name)
    {
        FormStart->PlayMode = 20;
        FormStart->GameKind = 5;
        FormCha->SetupTournament();
        FormCha->Passwort->setText("");
        FormCha->ChallengeName->setText(name);
    }

    // The first name is this machine, the host; the others are its clients.
    void goOnline(const QStringList &names)
    {
        Form1->ResetPlayers();
        FormOpt->NickName->setText(names.value(0));
        NETZ->BecomeHost();
        for (int i = 1; i < names.size(); ++i) {
            TPlayerRecord &p = Form1->Players[i + 1];
            p.Name = names[i];
            p.Address = QString("127.0.0.%1").arg(i + 1);
            p.Active = true;
            p.PlayerNo = i + 1;
        }
    }

    void runStart()
    {
        for (int i = 0; i < 6 && !Form1->GameRunning; ++i)
            NETZ->StartTimerTimer();
        QVERIFY(Form1->GameRunning);
    }

    // Every free cell entered right, the clock at the given time.
    void finishGame(int tenths)
    {
        TTestFixture::Now = Form1->GameStartCount + tenths * kTenth;
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x)
                if (Form1->GameRunning && IsCellFreeOnAllLayers(Form1->Boards, x, y))
                    NETZ->EnterNumber(x, y, Form1->Boards[0][x][y].Value);
        QVERIFY(!Form1->GameRunning);
        if (FormSpielEnde)
            FormSpielEnde->hide();
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
    }
    void cleanup()
    {
        if (Form1->GameRunning)
            Form1->StopGameLocal();
        FormCha->ChallengeName->setEnabled(true);
        FormCha->close_cClick();
        FormGO->close();
        FormStart->hide();
        NETZ->StartTimer->SetEnabled(false);
        Form1->GameStarting = false;
        Form1->ResetPlayers();
        NETZ->MyPlayerNo = 0;
        for (const QString &f : QDir(ProgramDir()).entryList({"*.challenge", "*.turnier"}))
            QFile::remove(ProgramDir() + "/" + f);
    }

    // ---- the state rule --------------------------------------------------------------

    void stateRule_data()
    {
        QTest::addColumn<QString>("name");
        // 0 none, 1 played, 2 tampered, 3 bad stage code, 4 player beyond the stages;
        // 5, 6, 7: the stage written without leading zeros: 9, 10, 11
        QTest::addColumn<int>("file");
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
        QTest::newRow("stage 9 of 10, no leading zeros") << "c" << 5 << 10 << ""
                                                         << "Anna"
                                                         << "Challengespiel\r\nstarten" << true << false << false;
        QTest::newRow("stage 10 of 10, no leading zeros")
            << "c" << 6 << 10 << "pw"
            << "Anna"
            << "Challenge erweitern\r\nSpiel starten." << true << true << true;
        QTest::newRow("stage 11 of 10, no leading zeros") << "c" << 7 << 10 << "pw"
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
                if (file >= 5)
                    ini.WriteString("Etappe", "Anna", QString::number(file + 4));
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

    // ---- playing a challenge -------------------------------------------------------

    void challengeOverSeveralStages()
    {
        FormGO->SetGameType(1);
        FormGO->SetEvaluation(1);
        FormGO->SetLevel(0);
        FormGO->SetRating(2);
        writeFile("serie", "pw", 0);
        openChallenge("serie", "pw");
        QCOMPARE(FormCha->bt_start->text(), QString("Challenge erweitern\r\nSpiel starten."));

        // Stage 1 has no puzzle yet: the game options make one.
        FormCha->start_CClick();
        QVERIFY(FormCha->ChallengeActive);
        QVERIFY(!FormCha->isVisible());
        QVERIFY(FormCha->NeedNewGame);
        QCOMPARE(FormCha->StageNr, QString("0001"));
        QVERIFY(FormGO->isVisible());
        QCOMPARE(FormGO->BTC_Starten->text(), QString("Erweitern"));
        QVERIFY(!FormGO->BTC_Bingo->isEnabled());
        QVERIFY(!FormGO->BTC36->isEnabled());
        FormGO->BTC_StartenClick();
        runStart();
        TIniFile ini = readFile("serie");
        QVERIFY(VerifyChecksum(ini, "Spiele"));
        const QString code1 = ini.ReadString("Spiele", "0001", "");
        QVERIFY(IsValidStageCode(code1));
        QCOMPARE(code1, FormCha->StageGameCode);
        // Registered at the start: a started stage counts as played.
        QCOMPARE(ini.ReadString("Etappe", "Anna", ""), QString("0001"));
        QCOMPARE(ini.ReadString("0001", "Anna", ""), QString("0*0*0"));

        finishGame(55);
        ini = readFile("serie");
        QVERIFY(VerifyChecksum(ini, "Spiele"));
        const QString result1 = ini.ReadString("0001", "Anna", "");
        QCOMPARE(result1, ResultText(Form1->Players[1].Points, Form1->ElapsedTenths, Form1->Players[1].Errors));
        QVERIFY(Form1->Players[1].Points > 0);

        // Back through the menu: the last stage is reached, extending takes the password.
        Form1->BTC_MenueClick();
        QVERIFY(FormCha->isVisible());
        QCOMPARE(FormCha->bt_start->text(), QString("Challenge erweitern\r\nSpiel starten."));
        QCOMPARE(FormCha->Tree->topLevelItem(0)->childCount(), 1);
        QCOMPARE(FormCha->GamerView->topLevelItemCount(), 2);
        FormCha->start_CClick();
        QCOMPARE(FormCha->StageNr, QString("0002"));
        FormGO->BTC_StartenClick();
        runStart();
        finishGame(31);
        ini = readFile("serie");
        QCOMPARE(StageKeys(ini), (QStringList{"0001", "0002"}));
        QCOMPARE(ini.ReadString("Etappe", "Anna", ""), QString("0002"));

        // A second nickname plays the stored stages from the first on.
        Form1->BTC_MenueClick();
        FormCha->Passwort->setText("");
        FormCha->Nickname->setText("Bert");
        QCOMPARE(FormCha->bt_start->text(), QString("Challengespiel\r\nstarten"));
        fx->Dialogs.Shown.clear();
        FormCha->start_CClick();
        QVERIFY(!FormCha->NeedNewGame);
        QVERIFY(!FormGO->isVisible());
        QCOMPARE(FormCha->StageNr, QString("0001"));
        QCOMPARE(FormCha->StageGameCode, code1);
        QCOMPARE(Form1->Players[1].Name, QString("Bert"));
        runStart();
        finishGame(99);
        ini = readFile("serie");
        QVERIFY(VerifyChecksum(ini, "Spiele"));
        QCOMPARE(ini.ReadString("Etappe", "Bert", ""), QString("0001"));
        QCOMPARE(ini.ReadString("0001", "Anna", ""), result1);
        QVERIFY(ini.ReadString("0001", "Bert", "").endsWith("*" + QString::number(Form1->ElapsedTenths) + "*0"));

        // The list: totals of Anna and Bert, then the stage rows by stage.
        Form1->BTC_MenueClick();
        FormCha->Nickname->setText("Bert");
        QStringList names, counts, stages;
        for (int i = 0; i < FormCha->GamerView->topLevelItemCount(); ++i) {
            names << FormCha->GamerView->topLevelItem(i)->text(0);
            counts << FormCha->GamerView->topLevelItem(i)->text(1);
            stages << FormCha->GamerView->topLevelItem(i)->text(2);
        }
        QCOMPARE(names, (QStringList{"Anna", "Bert", "Anna", "Bert", "Anna"}));
        QCOMPARE(counts, (QStringList{"2", "1", "", "", ""}));
        QCOMPARE(stages, (QStringList{"", "", "0001", "0001", "0002"}));
        QCOMPARE(backgroundOf(FormCha->GamerView->topLevelItem(1)), int(TFormCha::kOwnTotalColour));
        QCOMPARE(backgroundOf(FormCha->GamerView->topLevelItem(3)), int(TFormCha::kOwnStageColour));
        QCOMPARE(backgroundOf(FormCha->GamerView->topLevelItem(4)), int(TFormCha::kEvenStageColour));

        // The end button leaves the mode and unlocks the game options.
        FormCha->close_cClick();
        QVERIFY(!FormCha->ChallengeActive);
        QVERIFY(FormGO->BTC_Bingo->isEnabled());
        QVERIFY(FormStart->isVisible());
    }

    // ---- the tournament ----------------------------------------------------------------

    void tournamentChecks_data()
    {
        QTest::addColumn<QStringList>("online");
        QTest::addColumn<QStringList>("etappe"); // nickname=stage
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("start");
        const QStringList three{"Anna", "Bert", "Cleo"};
        QTest::newRow("too many online") << three << QStringList{"Anna=1", "Bert=1"}
                                         << "Zuviele Spieler\r\nfür dieses Turnier." << false;
        QTest::newRow("too few online") << three << QStringList{"Anna=1", "Bert=1", "Cleo=1", "Dora=1"}
                                        << "Zuwenig Spieler\r\nfür dieses Turnier." << false;
        QTest::newRow("wrong players") << three << QStringList{"Anna=1", "Bert=1", "Dora=1"}
                                       << "Falsche Spieler\r\nfür dieses Turnier." << false;
        QTest::newRow("uneven stages") << three << QStringList{"Anna=2", "Bert=2", "Cleo=1"}
                                       << "Falsche Spieleanzahl der\r\neinzelnen Spieler." << false;
        QTest::newRow("alone") << QStringList{"Anna"} << QStringList{} << "Zuwenig Spieler\r\nfür ein Turnier."
                               << false;
        QTest::newRow("all present") << three << QStringList{"Anna=1", "Bert=1", "Cleo=1"} << "Turnierspiel\r\nstarten"
                                     << true;
        QTest::newRow("new players") << QStringList{"Anna", "Bert"} << QStringList{} << "Turnierspiel\r\nstarten"
                                     << true;
    }
    void tournamentChecks()
    {
        QFETCH(QStringList, online);
        QFETCH(QStringList, etappe);
        writeFile("cup", "", 2, 20, [&](TIniFile &ini) {
            for (const QString &e : etappe) {
                const QStringList kv = e.split('=');
                ini.WriteString("Etappe", kv[0], StageNumberText(kv[1].toInt()));
            }
        });
        goOnline(online);
        openTournament("cup");
        QTEST(FormCha->bt_start->text(), "caption");
        QTEST(FormCha->bt_start->isEnabled(), "start");
        // The results list is shown in every case.
        QCOMPARE(FormCha->GamerView->topLevelItemCount(), etappe.size());
    }

    void tournamentHostWritesEveryPlayer()
    {
        writeFile("cup", "pw", 2, 20, [](TIniFile &ini) {
            for (const char *nick : {"Anna", "Bert"}) {
                ini.WriteString("Etappe", nick, "0001");
                ini.WriteString("0001", nick, "10*100*1");
            }
        });
        goOnline({"Anna", "Bert"});
        openTournament("cup");
        QCOMPARE(FormCha->bt_start->text(), QString("Turnierspiel\r\nstarten"));
        FormCha->start_CClick();
        QVERIFY(FormCha->TournamentActive);
        QVERIFY(!FormCha->isVisible());
        QCOMPARE(FormCha->StageNr, QString("0002"));
        QCOMPARE(NETZ->MyPlayerNo, 1);
        TIniFile ini = readFile("cup", 20);
        QVERIFY(VerifyChecksum(ini, "Spiele"));
        for (const char *nick : {"Anna", "Bert"}) {
            QCOMPARE(ini.ReadString("Etappe", nick, ""), QString("0002"));
            QCOMPARE(ini.ReadString("0002", nick, ""), QString("0*0*0"));
        }

        // The end of the game: every player's points, last sample time and errors.
        Form1->ElapsedTenths = 900;
        TPlayerRecord &anna = Form1->Players[1];
        anna.Points = 40;
        anna.Errors = 1;
        anna.SampleCount = 2;
        anna.Samples[1].Time = 321;
        TPlayerRecord &bert = Form1->Players[2];
        bert.Points = 25;
        bert.Errors = 3;
        bert.SampleCount = 0; // no progress: the elapsed time
        SaveStageResultsAllLink();
        ini = readFile("cup", 20);
        QVERIFY(VerifyChecksum(ini, "Spiele"));
        QCOMPARE(ini.ReadString("0002", "Anna", ""), QString("40*321*1"));
        QCOMPARE(ini.ReadString("0002", "Bert", ""), QString("25*900*3"));
        QCOMPARE(ini.ReadString("0001", "Bert", ""), QString("10*100*1"));

        // A client holds no tournament file: it writes nothing.
        const QByteArray before = bytesOf(filePath("cup", 20));
        NETZ->MyPlayerNo = 2;
        bert.Points = 99;
        SaveStageResultsAllLink();
        QVERIFY(FormCha->RegisterStageAll());
        QCOMPARE(bytesOf(filePath("cup", 20)), before);
        NETZ->MyPlayerNo = 1;

        // A tampered file is not made valid by the host either.
        QByteArray forged = before;
        forged.replace("40*321*1", "90*321*1");
        writeBytes(filePath("cup", 20), forged);
        QVERIFY(!FormCha->SaveStageResultsAll());
        QVERIFY(!FormCha->RegisterStageAll());
        QCOMPARE(bytesOf(filePath("cup", 20)), forged);
    }

    void endRule()
    {
        writeFile("cup", "", 0, 20);
        goOnline({"Anna", "Bert"});
        openTournament("cup");
        FormCha->RB1->click();
        QCOMPARE(RegReadInteger("TurnierEndeArt", 0), 1);
        FormCha->RB3->click();
        QCOMPARE(RegReadInteger("TurnierEndeArt", 0), 3);
        FormCha->SetTurnierEndeArt(2);
        QVERIFY(FormCha->RB2->isChecked());
        FormCha->SetTurnierEndeArt(7);
        QVERIFY(FormCha->RB2->isChecked());
    }

    // ---- files that must be refused --------------------------------------------------

    void fileChangedBeforeTheStart()
    {
        writeFile("c", "pw", 1);
        openChallenge("c", "");
        QVERIFY(FormCha->bt_start->isEnabled());
        QByteArray bytes = bytesOf(filePath("c"));
        writeBytes(filePath("c"), bytes.replace("[Etappe]", "[Etappe]\r\nAnna=0000"));
        FormCha->start_CClick();
        QCOMPARE(fx->Dialogs.Texts(), QStringList{"Datei ungültig.\r\nDaten werden nicht gespeichert!"});
        QVERIFY(!FormCha->ChallengeActive);
        QVERIFY(FormCha->isVisible());
        QVERIFY(!Form1->GameRunning);
        QCOMPARE(FormCha->bt_start->text(), QString("Challengedatei\r\nungültig."));
    }

    void fileChangedBeforeTheNewStage()
    {
        writeFile("c", "pw", 0);
        openChallenge("c", "pw");
        FormCha->start_CClick();
        QVERIFY(FormCha->NeedNewGame);
        const QByteArray forged = bytesOf(filePath("c")) + "[0001]\r\nAnna=999*1*0\r\n";
        writeBytes(filePath("c"), forged);
        FormGO->BTC_StartenClick();
        // No stage code, no registration, no game.
        QVERIFY(fx->Dialogs.Texts().contains("Datei ungültig.\r\nDaten werden nicht gespeichert!"));
        QCOMPARE(bytesOf(filePath("c")), forged);
        for (int i = 0; i < 6; ++i)
            NETZ->StartTimerTimer();
        QVERIFY(!Form1->GameRunning);
    }

    void fileChangedDuringTheGame()
    {
        writeFile("c", "pw", 1);
        openChallenge("c", "");
        FormCha->start_CClick();
        runStart();
        QByteArray forged = bytesOf(filePath("c"));
        forged.replace("Anna=0*0*0", "Anna=500*1*0");
        writeBytes(filePath("c"), forged);
        fx->Dialogs.Shown.clear();
        finishGame(40);
        // The result is dropped without a word.
        QCOMPARE(bytesOf(filePath("c")), forged);
        QVERIFY(!fx->Dialogs.Texts().contains("Datei ungültig.\r\nDaten werden nicht gespeichert!"));
    }

    void writeFailureIsReported()
    {
        writeFile("c", "pw", 1);
        openChallenge("c", "pw");
        const QByteArray before = bytesOf(filePath("c"));
        bool saved = true;
        withFileSizeLimit(16, [&] { saved = FormCha->SaveStageResult("0001", 1, 2, 3); });
        QVERIFY(!saved);
        QCOMPARE(bytesOf(filePath("c")), before);
        QCOMPARE(fx->Dialogs.Shown.size(), size_t(1));
        QVERIFY(fx->Dialogs.Shown[0].Text.startsWith("Die Datei \""));
        QVERIFY(fx->Dialogs.Shown[0].Text.contains("konnte nicht gespeichert werden."));
        QCOMPARE(fx->Dialogs.Shown[0].Type, TMsgDlgType::Error);
        // Creation fails the same way and leaves no file behind.
        openChallenge("neu", "pw");
        withFileSizeLimit(16, [&] { saved = FormCha->CreateChallengeFile(); });
        QVERIFY(!saved);
        QVERIFY(!QFileInfo::exists(filePath("neu")));
        QCOMPARE(QDir(ProgramDir()).entryList({"neu*"}), QStringList());
    }

    void clearingPlayers()
    {
        writeFile("c", "pw", 2, 10, [](TIniFile &ini) {
            ini.WriteString("Etappe", "Anna", "0002");
            ini.WriteString("0001", "Anna", "1*2*3");
            ini.WriteString("0002", "Anna", "4*5*6");
        });
        openChallenge("c", "falsch");
        QVERIFY(!FormCha->bt_clear->isEnabled());
        const QByteArray before = bytesOf(filePath("c"));
        fx->Dialogs.DefaultAnswer = mrYes;
        FormCha->ClearClick();
        QCOMPARE(bytesOf(filePath("c")), before);

        // With the password it is enabled; a file changed since then is left alone.
        FormCha->Passwort->setText("pw");
        QVERIFY(FormCha->bt_clear->isEnabled());
        QByteArray forged = before;
        forged.replace("4*5*6", "9*5*6");
        writeBytes(filePath("c"), forged);
        FormCha->ClearClick();
        QCOMPARE(bytesOf(filePath("c")), forged);
        QVERIFY(!FormCha->bt_clear->isEnabled());

        // On the intact file No keeps everything and Yes keeps only the stages.
        writeBytes(filePath("c"), before);
        FormCha->Refresh();
        QVERIFY(FormCha->bt_clear->isEnabled());
        fx->Dialogs.Shown.clear();
        fx->Dialogs.Answers = {mrNo};
        FormCha->ClearClick();
        QCOMPARE(fx->Dialogs.Texts(), QStringList{"Alle Spieler aus Datei löschen?"});
        QCOMPARE(bytesOf(filePath("c")), before);
        FormCha->ClearClick();
        TIniFile ini = readFile("c");
        QVERIFY(VerifyChecksum(ini, "Spiele"));
        QCOMPARE(ini.ReadSections(), QStringList{"Spiele"});
        QCOMPARE(StageKeys(ini), (QStringList{"0001", "0002"}));
        QVERIFY(PasswordMatches(ini, "pw"));
        QCOMPARE(FormCha->bt_start->text(), QString("Challengespiel\r\nstarten"));
        QCOMPARE(FormCha->NextStageNumber("Anna"), QString("0001"));
    }

    // ---- the tree ------------------------------------------------------------------------

    void stageLines_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("line");
        QTest::newRow("sudoku") << "SS013"
                                << "0001: Sudoku; Auswertung sofort; Vorgabe: Leicht; Bewertung: Leicht; Merker: 3";
        QTest::newRow("letters A-I")
            << "ID324"
            << "0001: Mojidoku(A-I); Auswertung am Ende; Vorgabe: Profi; Bewertung: Mittel; Merker: 4";
        QTest::newRow("letters A-Z")
            << "ZS249"
            << "0001: Mojidoku(A-Z); Auswertung sofort; Vorgabe: Schwer; Bewertung: Profi; Merker: 9";
        QTest::newRow("bingo") << "BS110"
                               << "0001:Auswertung sofort; Vorgabe: Mittel; Bewertung: Leicht; Merker: 0";
    }
    void stageLines()
    {
        QFETCH(QString, options);
        QTEST(TFormCha::StageLineText("0001", stageCode(1, options)), "line");
    }

    void treeOfFiles()
    {
        writeFile("b-serie", "", 2);
        writeFile("a-kaputt", "", 1);
        QByteArray bytes = bytesOf(filePath("a-kaputt"));
        writeBytes(filePath("a-kaputt"), bytes + "\r\n");
        writeFile("turnier", "", 1, 20);
        openChallenge("");
        QCOMPARE(FormCha->Tree->topLevelItemCount(), 2);
        const QTreeWidgetItem *broken = FormCha->Tree->topLevelItem(0);
        const QTreeWidgetItem *good = FormCha->Tree->topLevelItem(1);
        QCOMPARE(broken->text(0), QString("a-kaputt"));
        QCOMPARE(broken->childCount(), 1);
        QCOMPARE(broken->child(0)->text(0), QString("Datei ungültig !"));
        QVERIFY(broken->isExpanded());
        QCOMPARE(good->text(0), QString("b-serie"));
        QCOMPARE(good->childCount(), 2);
        QCOMPARE(good->child(1)->text(0), TFormCha::StageLineText("0002", stageCode(2)));
        // A double click on any line of a file takes its name.
        FormCha->Tree->setCurrentItem(good->child(1));
        FormCha->TreeDblClick();
        QCOMPARE(FormCha->ChallengeName->text(), QString("b-serie"));
        QCOMPARE(FormCha->bt_start->text(), QString("Challengespiel\r\nstarten"));
    }

    void helpModeShowsTheModesTopic_data()
    {
        QTest::addColumn<bool>("tournament");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("title");
        for (bool tournament : {false, true})
            for (const char *button : {"start", "neues", "clear", "ende"})
                QTest::newRow(qPrintable(QString("%1 %2").arg(tournament ? "tournament" : "challenge", button)))
                    << tournament << QString(button) << (tournament ? "  Mehrspieler :" : "  Einzelspieler :");
    }
    void helpModeShowsTheModesTopic()
    {
        QFETCH(bool, tournament);
        QFETCH(QString, button);
        QFETCH(QString, title);
        // The owner at a file with a stage left: every button is enabled.
        const int mode = tournament ? 20 : 10;
        writeFile("c", "pw", 1, mode);
        if (tournament) {
            goOnline({"Anna", "Bert"});
            openTournament("c");
            FormCha->Passwort->setText("pw");
        } else {
            openChallenge("c", "pw");
        }
        const QMap<QString, TLabel *> buttons{{"start", FormCha->bt_start},
                                              {"neues", FormCha->bt_neues},
                                              {"clear", FormCha->bt_clear},
                                              {"ende", FormCha->bt_ende}};
        TLabel *label = buttons.value(button);
        QVERIFY(label->isEnabled());
        const QByteArray before = bytesOf(filePath("c", mode));
        FormInfo->hide();
        Form1->HelpCursor = -20;
        QTest::mouseClick(label, Qt::LeftButton);
        Form1->HelpCursor = 0;
        QVERIFY(FormInfo->isVisible());
        QCOMPARE(FormInfo->Kopf->text(), title);
        // The button itself did nothing.
        QVERIFY(FormCha->isVisible());
        QVERIFY(!FormCha->ChallengeActive);
        QVERIFY(!FormCha->TournamentActive);
        QVERIFY(!Form1->GameStarting);
        QCOMPARE(FormCha->ChallengeName->text(), QString("c"));
        QVERIFY2(fx->Dialogs.Shown.empty(), qPrintable(fx->Dialogs.Texts().join('|')));
        QCOMPARE(bytesOf(filePath("c", mode)), before);
        FormInfo->hide();
    }

    // "Challenge noch gestartet." in the program's own message box, with the
    // program's timers running beneath it: the clock stands. "Nein" plays on
    // from where it stood; "Ja" leaves the game for the challenge window
    // alone, and the next stage ends in a dialog as high as its one row.
    void theRealQuestionHoldsTheGame_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::newRow("Nein") << "&Nein";
        QTest::newRow("Ja") << "&Ja";
    }
    void theRealQuestionHoldsTheGame()
    {
        QFETCH(QString, answer);
        writeFile("serie", "", 1);
        openChallenge("serie");
        FormCha->start_CClick();
        runStart();
        const int64_t start = Form1->GameStartCount;
        TTestFixture::Now = start + 20 * kTenth;
        Form1->MsgTimerTimer();
        QVERIFY(Form1->MsgTimer->isActive());

        const TRealQuestion q = AbandonInTheRealBox(&fx->Dialogs, start, answer);
        QCOMPARE(q.Asked, QString("Challenge noch gestartet.\r\nSpiel abbrechen?"));
        QVERIFY(q.Held);
        QVERIFY(!GameQuestionOpen());

        if (answer == QLatin1String("&Nein")) {
            QVERIFY(Form1->GameRunning);
            QVERIFY(!Form1->Paused);
            QCOMPARE(ShownSetUpWindows(), QStringList());
            Form1->MsgTimerTimer();
            QCOMPARE(Form1->ElapsedTenths, int64_t(20));
            return;
        }
        QVERIFY(!Form1->GameRunning);
        QVERIFY(FormCha->ChallengeActive);
        QCOMPARE(ShownSetUpWindows(), QStringList{"FormCha"});

        // The next stage: made by the game options, played to its end.
        QCOMPARE(FormCha->bt_start->text(), QString("Challenge erweitern\r\nSpiel starten."));
        FormCha->start_CClick();
        FormGO->BTC_StartenClick();
        runStart();
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x)
                if (Form1->GameRunning && IsCellFreeOnAllLayers(Form1->Boards, x, y))
                    NETZ->EnterNumber(x, y, Form1->Boards[0][x][y].Value);
        QVERIFY(FormSpielEnde->isVisible());
        QCOMPARE(EndTableNames(), QStringList{"Anna"});
        QVERIFY(EndDialogFits(1));
        FormSpielEnde->BTC_closeClick();
        QCOMPARE(ShownSetUpWindows(), QStringList{"FormCha"});
    }

    void closingOtherwiseEndsTheMode()
    {
        writeFile("c", "", 1);
        openChallenge("c");
        FormCha->ChallengeActive = true;
        FormCha->close();
        QVERIFY(!FormCha->ChallengeActive);
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

    // What the list paints: every row in its colour on the screen, for the
    // own rows, the other players' totals and odd and even stages.
    void rowColoursArePainted()
    {
        writeFile("c", "", 2, 10, [](TIniFile &ini) {
            for (const char *nick : {"Anna", "Bert"}) {
                ini.WriteString("Etappe", nick, "0002");
                ini.WriteString("0001", nick, "10*100*1");
                ini.WriteString("0002", nick, "20*200*2");
            }
        });
        openChallenge("c");
        FormCha->GamerView->clearSelection();
        FormCha->GamerView->setCurrentItem(nullptr);
        const int32_t expected[] = {TFormCha::kOwnTotalColour, TFormCha::kTotalColour,    TFormCha::kOwnStageColour,
                                    TFormCha::kOddStageColour, TFormCha::kOwnStageColour, TFormCha::kEvenStageColour};
        QCOMPARE(FormCha->GamerView->topLevelItemCount(), 6);
        for (int r = 0; r < 6; ++r) {
            const QTreeWidgetItem *row = FormCha->GamerView->topLevelItem(r);
            // A cell without text: "Spielnr." of a total, "Anz." of a stage row.
            const int blankColumn = row->text(1).isEmpty() ? 1 : 2;
            QVERIFY(row->text(blankColumn).isEmpty());
            QCOMPARE(ColorToBGR(PaintedCellColour(FormCha->GamerView, r, blankColumn)), expected[r]);
        }
    }

    // Totals are kept and shown in 64 bits.
    void totalsBeyond32Bits()
    {
        writeFile("c", "", 2, 10, [](TIniFile &ini) {
            ini.WriteString("Etappe", "Anna", "0002");
            ini.WriteString("0001", "Anna", "2000000000*2000000000*2000000000");
            ini.WriteString("0002", "Anna", "2000000000*2000000001*2000000002");
        });
        openChallenge("c");
        QCOMPARE(rowTexts(FormCha->GamerView->topLevelItem(0)),
                 (QStringList{"Anna", "2", "", "4000000000", FormatTenths(4000000001LL), "4000000002"}));
    }

    void captionButtonsHaveFaces()
    {
        const qint64 face = FormOpt->pic_no_press->Picture().cacheKey();
        for (TImage *im : {FormCha->pic_start, FormCha->pic_neue, FormCha->Pic_Clear, FormCha->pic_ende})
            QCOMPARE(im->Picture().cacheKey(), face);
        // The captions lie over their faces and let them show through.
        for (TLabel *l : {FormCha->bt_start, FormCha->bt_neues, FormCha->bt_clear, FormCha->bt_ende})
            QVERIFY(!l->autoFillBackground());
    }

    // The list holds only the files the window can open: the extension as
    // the mask spells it.
    void fileListIsCaseExact()
    {
        writeFile("klein", "", 1, 10);
        writeFile("Gross", "", 1, 10);
        QVERIFY(QFile::rename(filePath("Gross"), ProgramDir() + "/Gross.CHALLENGE"));
        writeBytes(ProgramDir() + "/Mix.Challenge", bytesOf(filePath("klein")));
        openChallenge("");
        QCOMPARE(FormCha->Tree->topLevelItemCount(), 1);
        QCOMPARE(FormCha->Tree->topLevelItem(0)->text(0), QString("klein"));
        QCOMPARE(FormCha->Tree->topLevelItem(0)->child(0)->text(0).left(5), QString("0001:"));
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
