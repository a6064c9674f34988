// The game-search list under load: offers from ever new sources keep only
// the newest rows, known hosts are never pushed out, look-ups go by address,
// a long known-server file loads with its duplicates merged, and a save that
// cannot be written whole leaves the old file as it was and says so.
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
#include <QProcess>
#include <QtTest>
#include <csignal>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {
QString address(int i)
{
    return QStringLiteral("10.%1.%2.%3").arg(i / 62500 % 250 + 1).arg(i / 250 % 250).arg(i % 250 + 1);
}

QByteArray serverFile(int count, int from = 0)
{
    QByteArray out;
    for (int i = from; i < from + count; ++i)
        out += address(i).toLatin1() + ":Host " + QByteArray::number(i) + "\r\n";
    return out;
}
} // namespace

class TstServerList : public QObject {
    Q_OBJECT
    std::unique_ptr<TTestFixture> fx;
    TFormSucheSpiele *w = nullptr;

    void writeFile(const QByteArray &bytes)
    {
        QFile f(TFormSucheSpiele::ServerFileName());
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(bytes), qint64(bytes.size()));
    }
    QByteArray fileBytes()
    {
        QFile f(TFormSucheSpiele::ServerFileName());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void offer(const QString &from, const QString &name = QStringLiteral("Gast"))
    {
        w->AddOrUpdateServerItem(name, QStringLiteral("leicht (1-9)"), QStringLiteral("Normal"), QStringLiteral("3"),
                                 QStringLiteral("wartet"), from);
    }
    QStringList addresses()
    {
        QStringList out;
        for (int i = 0; i < w->RowCount(); ++i)
            out << w->RowTexts(i).at(scAddress);
        return out;
    }

    // Points the data folder at another place for one test.
    void useDataDir(const QString &dir)
    {
        qputenv("SUDOKU_DATA_DIR", QFile::encodeName(dir));
        ReloadSudokuEnv();
    }

private slots:
    void initTestCase()
    {
        fx = std::make_unique<TTestFixture>();
        RegWriteInteger("Disclaimer", 1);
        fx->CreateWindows();
        fx->RunStartupTo(160);
        w = FormSucheSpiele;
        FormStart->hide();
    }
    void cleanupTestCase() { fx.reset(); }

    void init()
    {
        useDataDir(fx->Dir() + QStringLiteral("/data"));
        QFile::remove(TFormSucheSpiele::ServerFileName());
        fx->Dialogs.Shown.clear();
        w->hide();
        w->Tab_HeimNWClick(w->Tab_HeimNW);
    }
    void cleanup() { useDataDir(fx->Dir() + QStringLiteral("/data")); }

    // ---- bounded list -------------------------------------------------------------------

    void offersKeepTheNewestRows()
    {
        const int sources = TFormSucheSpiele::kMaxOfferRows * 4 + 3;
        for (int i = 0; i < sources; ++i)
            offer(address(i));
        QCOMPARE(w->RowCount(), TFormSucheSpiele::kMaxOfferRows);
        QStringList newest;
        for (int i = sources - TFormSucheSpiele::kMaxOfferRows; i < sources; ++i)
            newest << address(i);
        QCOMPARE(addresses(), newest);
        // Every row kept is found by its address, the ones pushed out are not.
        QCOMPARE(w->FindServerItem(address(sources - 1)), TFormSucheSpiele::kMaxOfferRows - 1);
        QCOMPARE(w->FindServerItem(newest.first()), 0);
        QCOMPARE(w->FindServerItem(address(0)), -1);
    }

    void anOfferAgainUpdatesItsRowAndKeepsIt()
    {
        const int limit = TFormSucheSpiele::kMaxOfferRows;
        for (int i = 0; i < limit; ++i)
            offer(address(i));
        // The oldest answers again: the same row, now the newest.
        offer(address(0), QStringLiteral("Wieder da"));
        QCOMPARE(w->RowCount(), limit);
        QCOMPARE(w->RowTexts(0).at(scName), QString("Wieder da"));
        offer(address(limit));
        QCOMPARE(w->RowCount(), limit);
        QCOMPARE(w->FindServerItem(address(0)), 0);
        QCOMPARE(w->FindServerItem(address(1)), -1);
    }

    void offersThroughTheWireAreBoundedToo()
    {
        NETZ->SetListenerActive(false);
        NETZ->BindAddress = QStringLiteral("127.0.0.1");
        NETZ->Port = 30000 + QCoreApplication::applicationPid() % 20000;
        NETZ->OutgoingFilter = [](const QByteArray &, const QString &) { return false; };
        QVERIFY(NETZ->SetListenerActive(true));
        NETZ->Tel = TTelegram();
        NETZ->EncodeOptions();
        TTelegram t = NETZ->Tel;
        t.Aktion = akGameOffer;
        t.ACK = -1;
        t.Loop = 1;
        t.Data = 1;
        t.SetText(QStringLiteral("Fälscher"));
        const QByteArray bytes = EncodeTelegram(t);
        const int sources = TFormSucheSpiele::kMaxOfferRows + 100;
        for (int i = 0; i < sources; ++i)
            NETZ->UDPEmpfUDPRead(bytes, QStringLiteral("127.2.%1.%2").arg(i / 250).arg(i % 250 + 1));
        NETZ->SetListenerActive(false);
        NETZ->OutgoingFilter = nullptr;
        QCOMPARE(w->RowCount(), TFormSucheSpiele::kMaxOfferRows);
        QCOMPARE(w->RowTexts(w->RowCount() - 1).at(scAddress),
                 QString("127.2.%1.%2").arg((sources - 1) / 250).arg((sources - 1) % 250 + 1));
        QCOMPARE(w->RowTexts(0).at(scName), QString("Fälscher"));
    }

    void knownHostsAreNeverPushedOut()
    {
        w->Tab_HeimNWClick(w->Tab_Intranet);
        const int known = 300;
        writeFile(serverFile(known));
        w->bt_serverClick();
        QCOMPARE(w->RowCount(), known);
        const QByteArray before = fileBytes();
        const int forged = TFormSucheSpiele::kMaxOfferRows * 2;
        for (int i = 0; i < forged; ++i)
            offer(address(100000 + i));
        QCOMPARE(w->RowCount(), known + TFormSucheSpiele::kMaxOfferRows);
        for (int i = 0; i < known; ++i)
            QCOMPARE(w->FindServerItem(address(i)), i);
        // No offer for a new address saves anything.
        QCOMPARE(fileBytes(), before);
    }

    void deletedRowsAreForgotten()
    {
        w->Tab_HeimNWClick(w->Tab_Intranet);
        writeFile(serverFile(3));
        w->bt_serverClick();
        w->Games->setCurrentItem(w->Games->topLevelItem(1));
        w->Delete1Click();
        QCOMPARE(w->FindServerItem(address(1)), -1);
        QCOMPARE(w->FindServerItem(address(2)), 1);
        // Added again it is a row of its own once more, at the end.
        w->NewServerEdit->setText(address(1));
        NETZ->OutgoingFilter = [](const QByteArray &, const QString &) { return false; };
        w->bt_addClick();
        NETZ->OutgoingFilter = nullptr;
        QCOMPARE(w->FindServerItem(address(1)), 2);
        QCOMPARE(fileBytes(), serverFile(1) + serverFile(1, 2) + address(1).toLatin1() + ":unbekannt\r\n");
        // Clearing the list forgets all.
        w->Tab_HeimNWClick(w->Tab_HeimNW);
        QCOMPARE(w->FindServerItem(address(0)), -1);
    }

    void windowWithRowsGoesAwayCleanly()
    {
        // The list's last removals come after the window's own fields are gone.
        auto *other = new TFormSucheSpiele;
        for (int i = 0; i < 20; ++i)
            other->AddOrUpdateServerItem(QStringLiteral("Gast"), QString(), QString(), QString(),
                                         QStringLiteral("wartet"), address(i));
        QCOMPARE(other->RowCount(), 20);
        delete other;
        QCOMPARE(FormSucheSpiele, w);
    }

    // ---- a long file --------------------------------------------------------------------

    void longFileLoadsWithDuplicatesMerged()
    {
        w->Tab_HeimNWClick(w->Tab_Intranet);
        const int count = 16000;
        // Every address twice, the second time with a new name: one row each,
        // the later name.
        QByteArray text = serverFile(count);
        for (int i = 0; i < count; i += 1000)
            text += address(i).toLatin1() + ":Neuer Name\r\n";
        writeFile(text);
        w->bt_serverClick();
        QCOMPARE(w->RowCount(), count);
        QCOMPARE(w->RowTexts(0).at(scName), QString("Neuer Name"));
        QCOMPARE(w->RowTexts(1).at(scName), QString("Host 1"));
        QCOMPARE(w->RowTexts(count - 1).at(scAddress), address(count - 1));
        QCOMPARE(w->RowTexts(count - 1).at(scStatus), QString("unbekannt"));
        QCOMPARE(w->FindServerItem(address(12345)), 12345);
        // Loading saves nothing.
        QCOMPARE(fileBytes(), text);
    }

    // ---- a save that cannot be written whole ---------------------------------------------

    void saveBeyondTheFileSizeLimitKeepsTheOldFile()
    {
        w->Tab_HeimNWClick(w->Tab_Intranet);
        const QByteArray old = serverFile(2);
        writeFile(old);
        w->bt_serverClick();
        for (int i = 10; i < 210; ++i)
            offer(address(i));
        // Writing past the limit fails with EFBIG instead of a signal.
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit small = saved;
        small.rlim_cur = 2048;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        // A known host answering asks for a save.
        offer(address(0), QStringLiteral("Anna"));
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);

        QCOMPARE(fileBytes(), old);
        QCOMPARE(fx->Dialogs.Shown.size(), size_t(1));
        QVERIFY(fx->Dialogs.Texts().at(0).startsWith("Die Serverliste konnte nicht gespeichert werden.\n"));
        QCOMPARE(fx->Dialogs.Shown.at(0).Type, TMsgDlgType::Error);
        // Nothing is left beside it.
        QCOMPARE(QDir(ProgramDir()).entryList({"sudoku.server*"}, QDir::Files | QDir::Hidden), QStringList{"sudoku.server"});
    }

    void saveOnAFullDiskKeepsTheOldFile()
    {
        if (geteuid() != 0)
            QSKIP("mounting a small file system needs root");
        const QString dir = fx->Dir() + QStringLiteral("/klein");
        QVERIFY(QDir().mkpath(dir));
        if (::mount("tmpfs", QFile::encodeName(dir).constData(), "tmpfs", 0, "size=16k") != 0)
            QSKIP("no small file system to be had here");
        struct TUnmount {
            QByteArray Path;
            ~TUnmount() { ::umount2(Path.constData(), MNT_DETACH); }
        } unmount{QFile::encodeName(dir)};
        useDataDir(dir);

        w->Tab_HeimNWClick(w->Tab_Intranet);
        const QByteArray old = serverFile(2);
        writeFile(old);
        // The disk is full.
        {
            QFile filler(dir + QStringLiteral("/filler"));
            QVERIFY(filler.open(QIODevice::WriteOnly));
            const QByteArray block(1024, 'x');
            while (filler.write(block) == block.size() && filler.flush()) {
            }
        }
        w->bt_serverClick();
        for (int i = 10; i < 210; ++i)
            offer(address(i));
        offer(address(0), QStringLiteral("Anna"));

        QCOMPARE(fileBytes(), old);
        QCOMPARE(fx->Dialogs.Shown.size(), size_t(1));
        QVERIFY(fx->Dialogs.Texts().at(0).startsWith("Die Serverliste konnte nicht gespeichert werden.\n"));
        QCOMPARE(QDir(dir).entryList(QDir::Files | QDir::Hidden), (QStringList{"filler", "sudoku.server"}));

        // With room again the same save goes through.
        QFile::remove(dir + QStringLiteral("/filler"));
        fx->Dialogs.Shown.clear();
        offer(address(1), QStringLiteral("Bert"));
        QVERIFY(fx->Dialogs.Shown.empty());
        QVERIFY(fileBytes().startsWith(address(0).toLatin1() + ":Anna\r\n" + address(1).toLatin1() + ":Bert\r\n"));
        QCOMPARE(fileBytes().count("\r\n"), 2 + 200);
        w->Tab_HeimNWClick(w->Tab_HeimNW);
    }
};

QTEST_MAIN(TstServerList)
#include "tst_serverlist.moc"
