// The game-search window: its tabs and layout, the list with its statuses and
// double-click actions, the messages, and the known-server file in the data
// folder. Outgoing datagrams are captured, never sent.
#include "common/Fixture.h"
#include "board/UQuadrivo.h"
#include "net/UNETZ.h"
#include "net/USucheSpiele.h"
#include "screens/UOptionen.h"
#include "screens/UStart.h"
#include "settings/USonstiges.h"
#include "settings/USystem.h"

#include <QDir>
#include <QFile>
#include <QtTest>

namespace {
using TRows = QList<QPair<QString, QString>>;

// The sizes a window was resized to.
class TResizeLog : public QObject {
public:
    QList<QSize> Sizes;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Resize)
            Sizes << static_cast<QResizeEvent *>(e)->size();
        return false;
    }
};
} // namespace

class TstSearch : public QObject {
    Q_OBJECT
    std::unique_ptr<TTestFixture> fx;
    struct TSent {
        TTelegram Tel;
        QString Host;
    };
    std::vector<TSent> sent;
    TFormSucheSpiele *w = nullptr;

    void writeFile(const QByteArray &bytes)
    {
        QFile f(TFormSucheSpiele::ServerFileName());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray fileBytes()
    {
        QFile f(TFormSucheSpiele::ServerFileName());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QStringList column(int c)
    {
        QStringList out;
        for (int i = 0; i < w->RowCount(); ++i)
            out << w->RowTexts(i).at(c);
        return out;
    }
    void select(int row) { w->Games->setCurrentItem(w->Games->topLevelItem(row)); }
    std::vector<TSent> sentOfKind(int aktion)
    {
        std::vector<TSent> out;
        for (const TSent &s : sent)
            if (s.Tel.Aktion == aktion)
                out.push_back(s);
        return out;
    }

private slots:
    void initTestCase()
    {
        fx = std::make_unique<TTestFixture>();
        fx->StartProgram();
        w = FormSucheSpiele;
    }
    void cleanupTestCase() { fx.reset(); }

    void init()
    {
        QFile::remove(TFormSucheSpiele::ServerFileName());
        NETZ->SetListenerActive(false);
        NETZ->BindAddress = QStringLiteral("127.0.0.1");
        NETZ->Port = 30000 + QCoreApplication::applicationPid() % 20000;
        NETZ->OutgoingFilter = [this](const QByteArray &bytes, const QString &host) {
            TSent s;
            DecodeTelegram(bytes, s.Tel);
            s.Host = host;
            sent.push_back(s);
            return false;
        };
        QVERIFY(NETZ->SetListenerActive(true));
        FormOpt->NickName->setText(QStringLiteral("Spieler"));
        FormStart->hide();
        w->show();
        w->Tab_HeimNWClick(w->Tab_Intranet);
        sent.clear();
        fx->Dialogs.Shown.clear();
    }
    void cleanup()
    {
        w->hide();
        NETZ->SetListenerActive(false);
        NETZ->OutgoingFilter = nullptr;
    }

    // ---- the file's form ---------------------------------------------------------

    void serverLineSplitsAtTheFirstColon_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << "192.168.1.20:Anna"
                               << "192.168.1.20"
                               << "Anna";
        QTest::newRow("colons in the name") << "10.0.0.5:Büro: 2. Stock"
                                            << "10.0.0.5"
                                            << "Büro: 2. Stock";
        QTest::newRow("no colon") << "nur ein Name"
                                  << ""
                                  << "nur ein Name";
        QTest::newRow("empty name") << "10.0.0.5:"
                                    << "10.0.0.5"
                                    << "";
    }
    void serverLineSplitsAtTheFirstColon()
    {
        QFETCH(QString, line);
        QFETCH(QString, address);
        QFETCH(QString, name);
        QString a, n;
        SplitServerLine(line, a, n);
        QCOMPARE(a, address);
        QCOMPARE(n, name);
    }

    void fileTextIsWindows1252WithCrLf()
    {
        const QByteArray text = ServerFileText(TRows{{"10.0.0.5", "Jörg"}, {"10.0.0.6", "zwei\r\nZeilen\nund\rmehr"}});
        QCOMPARE(text, QByteArray("10.0.0.5:J\xF6rg\r\n10.0.0.6:zwei Zeilen und mehr\r\n"));
        const TRows rows = ParseServerFile(QByteArray("10.0.0.5:J\xF6rg\r\n\r\n10.0.0.6:a:b\nohne\r\n"));
        QCOMPARE(rows, (TRows{{"10.0.0.5", "Jörg"}, {"10.0.0.6", "a:b"}, {"", "ohne"}}));
        QCOMPARE(TFormSucheSpiele::ServerFileName(), ProgramDir() + "/sudoku.server");
        QVERIFY(ProgramDir().startsWith(fx->Dir()));
    }

    // ---- the window ----------------------------------------------------------------

    void tabsShowTheirPanel_data()
    {
        QTest::addColumn<int>("tab");
        QTest::newRow("Heimnetzwerk") << 1;
        QTest::newRow("Intranet") << 2;
        QTest::newRow("Internet") << 3;
    }
    void tabsShowTheirPanel()
    {
        QFETCH(int, tab);
        w->AddOrUpdateServerItem("Anna", "", "", "", "wartet", "10.0.0.5");
        TLabel *labels[4] = {nullptr, w->Tab_HeimNW, w->Tab_Intranet, w->tab_Internet};
        TPanel *panels[4] = {nullptr, w->Panel_HeimNW, w->Panel_Intranet, w->Panel_Internet};
        TImage *pictures[4] = {nullptr, w->IM_HeimNW, w->IM_Intranet, w->IM_Internet};
        w->Tab_HeimNWClick(labels[tab]);
        QCOMPARE(w->RowCount(), 0);
        QCOMPARE(w->ShownTab, tab);
        for (int k = 1; k <= 3; ++k)
            QCOMPARE(panels[k]->isVisible(), k == tab);
        QCOMPARE(w->width(), 547);
        QCOMPARE(w->height(),
                 panels[tab]->Tag + w->Games->height() + w->Panel_Head->height() + w->Panel_footer->height());
        QCOMPARE(w->Games->y(), w->Panel_Head->height() + panels[tab]->Tag);
        QCOMPARE(w->Panel_footer->y() + w->Panel_footer->height(), w->height());
        // The line under the tabs is open under the chosen one.
        QCOMPARE(w->BL->width(), pictures[tab]->x());
        QCOMPARE(w->BR->x(), pictures[tab]->x() + pictures[tab]->width());
        QCOMPARE(w->BL->y(), w->Panel_Head->height() - 2);
        QCOMPARE(w->windowTitle(), QString("Suche Spiele"));
    }

    // A window manager shows every size the window asks for: a tab change
    // goes straight to the new tab's height, and the footer ends the window.
    void tabChangeResizesOnce_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        for (int from = 1; from <= 3; ++from)
            for (int to = 1; to <= 3; ++to)
                QTest::addRow("%d to %d", from, to) << from << to;
    }
    void tabChangeResizesOnce()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        TLabel *labels[4] = {nullptr, w->Tab_HeimNW, w->Tab_Intranet, w->tab_Internet};
        TPanel *panels[4] = {nullptr, w->Panel_HeimNW, w->Panel_Intranet, w->Panel_Internet};
        w->Tab_HeimNWClick(labels[from]);
        QCoreApplication::processEvents();
        const int before = w->height();
        TResizeLog log;
        w->installEventFilter(&log);
        w->Tab_HeimNWClick(labels[to]);
        QCoreApplication::processEvents();
        w->removeEventFilter(&log);
        const int h = w->Panel_Head->height() + panels[to]->Tag + w->Games->height() + w->Panel_footer->height();
        const QList<QSize> want = h == before ? QList<QSize>() : QList<QSize>{QSize(547, h)};
        QCOMPARE(log.Sizes, want);
        QCOMPARE(w->height(), h);
        // The last line of the window is the footer's, not a band of
        // anything else.
        const QImage img = w->grab().toImage();
        QCOMPARE(img.height(), h);
        QCOMPARE(w->childAt(w->width() / 2, h - 1), static_cast<QWidget *>(w->Panel_footer));
        QCOMPARE(QColor(img.pixel(w->width() / 2, h - 3)), w->Panel_footer->palette().color(QPalette::Window));
    }

    void listHasItsColumns()
    {
        const QStringList names = {"Name", "Schwierigkeit", "Bewertung", "Merker", "Status", "IP"};
        const int widths[] = {90, 157, 90, 70, 70};
        QCOMPARE(w->Games->columnCount(), 6);
        for (int c = 0; c < 6; ++c)
            QCOMPARE(w->Games->headerItem()->text(c), names.at(c));
        for (int c = 0; c < 5; ++c)
            QCOMPARE(w->Games->columnWidth(c), widths[c]);
        QCOMPARE(w->Delete1->text(), QString("Eintrag löschen"));
        QCOMPARE(w->bt_suchen->Caption(), QString("Aktualisieren"));
        QCOMPARE(w->bt_add->Caption(), QString("Hinzufügen"));
        QCOMPARE(w->bt_server->Caption(), QString("Bekannte Server"));
        QCOMPARE(w->BTC_zurueck->Caption(), QString("Zurück"));
    }

    void captionButtonsHover()
    {
        w->bt_suchenMouseEnter(w->bt_add);
        QCOMPARE(w->bt_add->font().pointSize(), 9);
        QVERIFY(w->bt_add->font().bold());
        w->bt_suchenMouseLeave(w->bt_add);
        QCOMPARE(w->bt_add->font().pointSize(), 8);
        QVERIFY(!w->bt_add->font().bold());
    }

    void refreshSearchesTheHomeNetwork()
    {
        w->Tab_HeimNWClick(w->Tab_HeimNW);
        w->AddOrUpdateServerItem("Anna", "", "", "", "wartet", "10.0.0.5");
        w->bt_suchenClick();
        QCOMPARE(w->RowCount(), 0);
        const auto search = sentOfKind(akSearch);
        QCOMPARE(search.size(), size_t(1));
        QCOMPARE(search[0].Host, QString("127.255.255.255"));
    }

    void backShowsTheStartScreen()
    {
        w->BTC_zurueckClick();
        QVERIFY(!w->isVisible());
        QVERIFY(FormStart->isVisible());
    }

    // ---- rows ------------------------------------------------------------------------

    void findServerItem()
    {
        w->AddOrUpdateServerItem("x", "", "", "", "unbekannt", "");
        w->AddOrUpdateServerItem("Anna", "", "", "", "wartet", "10.0.0.5");
        QCOMPARE(w->FindServerItem("10.0.0.5"), 1);
        QCOMPARE(w->FindServerItem("10.0.0.6"), -1);
        // Not a dotted IPv4 address: never found, not even the empty one.
        QCOMPARE(w->FindServerItem(""), -1);
        QCOMPARE(w->FindServerItem("10.0.0"), -1);
    }

    void addingAnAddress()
    {
        w->NewServerEdit->setText("127.0.0.5");
        w->bt_addClick();
        QCOMPARE(w->RowCount(), 1);
        QCOMPARE(w->RowTexts(0), QStringList({"unbekannt", "", "", "", "unbekannt", "127.0.0.5"}));
        // Stored at once, and the host there is asked.
        QCOMPARE(fileBytes(), QByteArray("127.0.0.5:unbekannt\r\n"));
        const auto search = sentOfKind(akSearch);
        QCOMPARE(search.size(), size_t(1));
        QCOMPARE(search[0].Host, QString("127.0.0.5"));
        // The same address again updates its row.
        w->bt_addClick();
        QCOMPARE(w->RowCount(), 1);
        // The host answers: its nickname goes into the file.
        w->AddOrUpdateServerItem("Anna", "Mittel (1-9)", "Leicht", "2", "wartet", "127.0.0.5");
        QCOMPARE(w->RowTexts(0), QStringList({"Anna", "Mittel (1-9)", "Leicht", "2", "wartet", "127.0.0.5"}));
        QCOMPARE(fileBytes(), QByteArray("127.0.0.5:Anna\r\n"));
        QVERIFY(fx->Dialogs.Shown.empty());
    }

    void addingAnInvalidAddress_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("name") << "server";
        QTest::newRow("three groups") << "10.0.0";
        QTest::newRow("group too large") << "10.0.0.300";
        QTest::newRow("empty") << "";
    }
    void addingAnInvalidAddress()
    {
        QFETCH(QString, text);
        w->NewServerEdit->setText(text);
        w->bt_addClick();
        QCOMPARE(fx->Dialogs.Texts(), QStringList{"<" + text + "> ist keine gültige IP Adresse !"});
        QCOMPARE(fx->Dialogs.Shown[0].Type, TMsgDlgType::Error);
        QCOMPARE(w->RowCount(), 0);
        QVERIFY(sent.empty());
        QVERIFY(!QFile::exists(TFormSucheSpiele::ServerFileName()));
    }

    void knownServersAreLoaded()
    {
        writeFile("10.0.0.5:Anna\r\n10.0.0.6:B\xFCro: 2. Stock\r\nohne Doppelpunkt\r\n");
        w->bt_serverClick();
        QCOMPARE(column(scName), QStringList({"Anna", "Büro: 2. Stock", "ohne Doppelpunkt"}));
        QCOMPARE(column(scAddress), QStringList({"10.0.0.5", "10.0.0.6", ""}));
        QCOMPARE(column(scStatus), QStringList({"unbekannt", "unbekannt", "unbekannt"}));
        // "Bekannte Server" starts afresh.
        w->bt_serverClick();
        QCOMPARE(w->RowCount(), 3);
    }

    void loadingADuplicateKeepsTheFile()
    {
        const QByteArray file = "10.0.0.5:Anna\r\n10.0.0.5:Anna wieder\r\n10.0.0.6:Bert\r\n10.0.0.7:Cleo\r\n";
        writeFile(file);
        w->bt_serverClick();
        QCOMPARE(column(scAddress), QStringList({"10.0.0.5", "10.0.0.6", "10.0.0.7"}));
        QCOMPARE(fileBytes(), file);
    }

    void missingFileLoadsNothing()
    {
        w->bt_serverClick();
        QCOMPARE(w->RowCount(), 0);
        QVERIFY(fx->Dialogs.Shown.empty());
    }

    void deletingOnTheIntranetTabRewritesTheFile()
    {
        writeFile("10.0.0.5:Anna\r\n10.0.0.6:Bert\r\n10.0.0.7:Cleo\r\n");
        w->bt_serverClick();
        select(1);
        w->Delete1Click();
        QCOMPARE(column(scName), QStringList({"Anna", "Cleo"}));
        QCOMPARE(fileBytes(), QByteArray("10.0.0.5:Anna\r\n10.0.0.7:Cleo\r\n"));
        // Without a selection nothing goes.
        w->Games->clearSelection();
        w->Delete1Click();
        QCOMPARE(w->RowCount(), 2);
    }

    void deletingOnTheHomeNetworkTabKeepsTheFile()
    {
        const QByteArray file = "10.0.0.5:Anna\r\n10.0.0.6:Bert\r\n";
        writeFile(file);
        w->Tab_HeimNWClick(w->Tab_HeimNW);
        w->AddOrUpdateServerItem("Dora", "Leicht (1-9)", "Leicht", "2", "wartet", "10.0.0.9");
        w->AddOrUpdateServerItem("Emil", "Leicht (1-9)", "Leicht", "2", "wartet", "10.0.0.10");
        select(0);
        w->Delete1Click();
        QCOMPARE(column(scName), QStringList{"Emil"});
        QCOMPARE(fileBytes(), file);
    }

    void addingBeforeLoadingKeepsTheStoredServers()
    {
        writeFile("10.0.0.5:Anna\r\n10.0.0.6:Bert\r\n");
        w->NewServerEdit->setText("10.0.0.7");
        w->bt_addClick();
        QCOMPARE(fileBytes(), QByteArray("10.0.0.7:unbekannt\r\n10.0.0.5:Anna\r\n10.0.0.6:Bert\r\n"));
        QCOMPARE(w->RowCount(), 3);
    }

    void offersOfStoredHostsGiveThemTheirNames()
    {
        writeFile("10.0.0.5:unbekannt\r\n10.0.0.6:Bert\r\n");
        w->bt_serverClick();
        w->AddOrUpdateServerItem("Anna", "Profi (A-Z)", "Schwer", "13", "wartet", "10.0.0.5");
        QCOMPARE(fileBytes(), QByteArray("10.0.0.5:Anna\r\n10.0.0.6:Bert\r\n"));
        // An answer that changes nothing known writes nothing more.
        QFile::remove(TFormSucheSpiele::ServerFileName());
        w->AddOrUpdateServerItem("Anna", "Profi (A-Z)", "Schwer", "13", "wartet", "10.0.0.5");
        QVERIFY(!QFile::exists(TFormSucheSpiele::ServerFileName()));
    }

    void namesAreSavedOnOneLine()
    {
        w->bt_serverClick();
        w->NewServerEdit->setText("10.0.0.5");
        w->bt_addClick();
        w->AddOrUpdateServerItem("Anna\r\nBert", "", "", "", "wartet", "10.0.0.5");
        QCOMPARE(fileBytes(), QByteArray("10.0.0.5:Anna Bert\r\n"));
        w->bt_serverClick();
        QCOMPARE(w->RowCount(), 1);
        QCOMPARE(column(scName), QStringList{"Anna Bert"});
    }

    void unwritableFileIsReported()
    {
        // A folder where the file should be.
        QVERIFY(QDir().mkpath(TFormSucheSpiele::ServerFileName()));
        w->bt_serverClick();
        w->NewServerEdit->setText("10.0.0.5");
        w->bt_addClick();
        QCOMPARE(fx->Dialogs.Shown.size(), size_t(1));
        QVERIFY(fx->Dialogs.Texts().at(0).startsWith("Die Serverliste konnte nicht gespeichert werden."));
        QCOMPARE(fx->Dialogs.Shown[0].Type, TMsgDlgType::Error);
        QVERIFY(QDir().rmdir(TFormSucheSpiele::ServerFileName()));
    }

    // ---- double-click ----------------------------------------------------------------------

    void doubleClick_data()
    {
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<int>("aktion"); // 0: nothing sent
        QTest::newRow("unknown host is asked") << "unbekannt" << true << int(akSearch);
        QTest::newRow("waiting game is joined") << "wartet" << true << int(akLogin);
        QTest::newRow("any other status") << "läuft" << true << 0;
        QTest::newRow("no row selected") << "wartet" << false << 0;
    }
    void doubleClick()
    {
        QFETCH(QString, status);
        QFETCH(bool, selected);
        QFETCH(int, aktion);
        w->Tab_HeimNWClick(w->Tab_HeimNW);
        w->AddOrUpdateServerItem("Anna", "", "", "", status, "127.0.0.5");
        if (selected)
            select(0);
        w->GamesDblClick();
        QVERIFY(fx->Dialogs.Shown.empty());
        if (aktion == 0) {
            QVERIFY(sent.empty());
            return;
        }
        QCOMPARE(sent.size(), size_t(1));
        QCOMPARE(sent[0].Tel.Aktion, aktion);
        QCOMPARE(sent[0].Host, QString("127.0.0.5"));
        if (aktion == akLogin)
            QCOMPARE(sent[0].Tel.Text(), QString("Spieler"));
    }

    void doubleClickWithoutNickname()
    {
        w->AddOrUpdateServerItem("Anna", "", "", "", "wartet", "127.0.0.5");
        select(0);
        FormOpt->NickName->clear();
        w->GamesDblClick();
        QCOMPARE(fx->Dialogs.Texts(), QStringList{"Bitte einen Namen eingeben."});
        QCOMPARE(fx->Dialogs.Shown[0].Type, TMsgDlgType::Information);
        QVERIFY(sent.empty());
    }

    void searchWindowFromTheStartScreen()
    {
        w->hide();
        FormStart->show();
        FormStart->Tab_EinzelspielerClick(FormStart->Tab_Mehrspieler);
        FormStart->BTC_LANClick();
        FormStart->BTC_suchenClick(FormStart->BTC_suchen);
        FormStart->BTC_suchenClick(FormStart->BTC_Beitreten); // join-first off
        FormStart->BTC_weiterClick();
        QVERIFY(w->isVisible());
        QVERIFY(!FormStart->isVisible());
        QCOMPARE(w->ShownTab, 1);
        QVERIFY(w->Panel_HeimNW->isVisible());
        QVERIFY(sent.empty());
    }
};

QTEST_MAIN(TstSearch)
#include "tst_search.moc"
