// Printing through a real print system: a CUPS server of the test's own with
// PDF queues. The board page must come out upright whatever the queue's
// default orientation, and a job the print system refuses must reach the user.
#include "PrivateCups.h"
#include "board/UQuadrivo.h"
#include "board/UQuadrivo_Types.h"
#include "common/Fixture.h"
#include "net/UNETZ.h"
#include "print/Preview.h"
#include "print/UDrucken.h"
#include "settings/USystem.h"

#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTransform>
#include <QtTest>
#include <memory>

namespace {
const QString kQueue = QStringLiteral("Sudoku-PDF");

struct TPdfPage {
    int Pages = 0;
    QSizeF Points;
    int Rotation = -1;
};

TPdfPage pdfInfo(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {pdf});
    p.waitForFinished(30000);
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    TPdfPage page;
    const auto pages = QRegularExpression(R"(Pages:\s+(\d+))").match(out);
    const auto size = QRegularExpression(R"(Page size:\s+([\d.]+) x ([\d.]+) pts)").match(out);
    const auto rot = QRegularExpression(R"(Page rot:\s+(\d+))").match(out);
    if (pages.hasMatch())
        page.Pages = pages.captured(1).toInt();
    if (size.hasMatch())
        page.Points = QSizeF(size.captured(1).toDouble(), size.captured(2).toDouble());
    if (rot.hasMatch())
        page.Rotation = rot.captured(1).toInt();
    return page;
}

// The page as a viewer shows it, at 20 dots per inch.
QImage shownPage(const QString &pdf, const QString &stem)
{
    QProcess p;
    p.start(QStringLiteral("pdftoppm"), {"-r", "20", "-gray", "-singlefile", pdf, stem});
    p.waitForFinished(30000);
    return QImage(stem + ".pgm");
}

// The share of dark pixels in a band of rows (fractions of the height).
double inkIn(const QImage &img, double from, double to)
{
    int dark = 0, all = 0;
    for (int y = int(from * img.height()); y < int(to * img.height()); ++y)
        for (int x = 0; x < img.width(); ++x, ++all)
            dark += qGray(img.pixel(x, y)) < 128;
    return all ? double(dark) / all : 0;
}
} // namespace

class TstPrintSystem : public QObject {
    Q_OBJECT
    std::unique_ptr<TPrivateCups> cups;
    std::unique_ptr<TTestFixture> fx;
    TBoards boards;

    void openPrintWindow()
    {
        fx->CreateWindows();
        NETZ->MyPlayerNo = 1;
        Form1->Boards = boards;
        FormDrucken->show();
        QCOMPARE(FormDrucken->PrintPreview1->TotalPages(), 1);
    }
    void recordBoard(TPrintPreview &pv)
    {
        TBoardPrintInput in;
        in.Boards = &boards;
        in.PlayerNo = 1;
        RenderBoardPage(&pv, in);
    }

private slots:
    void initTestCase()
    {
        for (const char *tool : {"pdfinfo", "pdftoppm"})
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                QSKIP("poppler-utils not installed");
        // Before anything in this process asks the print system: clients read
        // where the server is once.
        cups = std::make_unique<TPrivateCups>(QDir::tempPath());
        if (!cups->Ready())
            QSKIP(qPrintable(cups->Why()));
        QDir(cups->Dir()).mkpath("home");
        qputenv("CUPS_SERVER", QFile::encodeName(cups->Socket()));
        qputenv("HOME", QFile::encodeName(cups->Dir() + "/home")); // no user's own printer options
        qunsetenv("SUDOKU_PRINT_PDF");
        fx = std::make_unique<TTestFixture>();
        boards[1][1][1] = {5, -1, 0, 0};
        boards[1][9][9] = {3, -1, 0, 0};
    }
    void cleanupTestCase()
    {
        fx.reset();
        cups.reset();
    }
    void init()
    {
        if (!cups || !cups->Ready())
            QSKIP("no private print server");
        cups->RemoveAllQueues();
        QFile::remove(cups->Output(kQueue));
    }

    void boardComesOutUpright_data()
    {
        QTest::addColumn<QStringList>("queueOptions");
        QTest::newRow("queue default landscape") << QStringList{"orientation-requested-default=4"};
        QTest::newRow("queue default portrait") << QStringList{"orientation-requested-default=3"};
        QTest::newRow("queue default reverse landscape") << QStringList{"orientation-requested-default=5"};
        QTest::newRow("queue without a default") << QStringList{};
    }
    void boardComesOutUpright()
    {
        QFETCH(QStringList, queueOptions);
        QVERIFY(cups->AddQueue(kQueue, queueOptions));
        QVERIFY(cups->SetDefault(kQueue));
        TPrintPreview pv;
        QVERIFY(pv.HasPrinter());
        recordBoard(pv);
        QSignalSpy error(&pv, &TPrintPreview::OnPrintError);
        pv.Print();
        QCOMPARE(error.count(), 0);
        QCOMPARE(pv.Queue(), kQueue);
        QVERIFY2(cups->WaitForOutput(kQueue), qPrintable(cups->log("error_log")));
        const TPdfPage page = pdfInfo(cups->Output(kQueue));
        QCOMPARE(page.Pages, 1);
        // A4 upright: 595 x 842 points, not turned.
        QVERIFY2(std::abs(page.Points.width() - 595) < 2 && std::abs(page.Points.height() - 842) < 2,
                 qPrintable(QString("%1 x %2").arg(page.Points.width()).arg(page.Points.height())));
        QCOMPARE(page.Rotation, 0);
        // The board fills the top of the sheet, 5 mm to 205 mm of 297: the
        // bottom quarter is blank, the top is not.
        const QImage img = shownPage(cups->Output(kQueue), cups->Dir() + "/shown");
        QVERIFY(!img.isNull());
        QVERIFY(img.height() > img.width());
        QVERIFY2(inkIn(img, 0.05, 0.65) > 0.02, qPrintable(QString::number(inkIn(img, 0.05, 0.65))));
        QCOMPARE(inkIn(img, 0.75, 1.0), 0.0);
    }

    void landscapePageStaysLandscape_data()
    {
        QTest::addColumn<QStringList>("queueOptions");
        QTest::newRow("queue default portrait") << QStringList{"orientation-requested-default=3"};
        QTest::newRow("queue default landscape") << QStringList{"orientation-requested-default=4"};
    }
    void landscapePageStaysLandscape()
    {
        QFETCH(QStringList, queueOptions);
        QVERIFY(cups->AddQueue(kQueue, queueOptions));
        QVERIFY(cups->SetDefault(kQueue));
        TPrintPreview pv;
        pv.SetOrientation(poLandscape);
        pv.BeginDoc();
        // A black block over the top quarter of the wide page.
        pv.Canvas()->fillRect(QRect(0, 0, 29700, 5000), Qt::black);
        pv.EndDoc();
        pv.Print();
        QVERIFY(pv.LastError().isEmpty());
        QVERIFY2(cups->WaitForOutput(kQueue), qPrintable(cups->log("error_log")));
        // On the upright sheet the page lies turned: its top, the block, runs
        // down one long edge.
        const QImage sheet = shownPage(cups->Output(kQueue), cups->Dir() + "/wide");
        QVERIFY(!sheet.isNull());
        QTransform turn;
        turn.rotate(90);
        const QImage img = sheet.height() > sheet.width() ? sheet.transformed(turn) : sheet;
        const bool blockOnTop = inkIn(img, 0.02, 0.2) > 0.9 && inkIn(img, 0.3, 1.0) == 0;
        const bool blockAtBottom = inkIn(img, 0.8, 0.98) > 0.9 && inkIn(img, 0.0, 0.7) == 0;
        QVERIFY2(blockOnTop || blockAtBottom, qPrintable(QString::number(inkIn(img, 0.02, 0.2))));
    }

    void directDocumentIsOneUprightJob()
    {
        QVERIFY(cups->AddQueue(kQueue, {"orientation-requested-default=4"}));
        QVERIFY(cups->SetDefault(kQueue));
        TPrintPreview pv;
        pv.DirectPrint = true;
        pv.BeginDoc();
        pv.Canvas()->fillRect(QRect(1000, 1000, 19000, 5000), Qt::black);
        pv.NewPage();
        QCOMPARE(pv.TotalPages(), 1); // pages sent so far
        pv.Canvas()->fillRect(QRect(1000, 1000, 19000, 5000), Qt::black);
        pv.EndDoc();
        QVERIFY(pv.LastError().isEmpty());
        QVERIFY2(cups->WaitForOutput(kQueue), qPrintable(cups->log("error_log")));
        const TPdfPage page = pdfInfo(cups->Output(kQueue));
        QCOMPARE(page.Pages, 2);
        QVERIFY(std::abs(page.Points.width() - 595) < 2 && std::abs(page.Points.height() - 842) < 2);
        QCOMPARE(page.Rotation, 0);
        // An abandoned direct document sends nothing.
        QFile::remove(cups->Output(kQueue));
        pv.BeginDoc();
        pv.Canvas()->fillRect(QRect(1000, 1000, 19000, 5000), Qt::black);
        pv.Abort();
        QTest::qWait(300);
        QVERIFY(!QFile::exists(cups->Output(kQueue)));
    }

    void refusedJobIsTold_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("otherQueue");
        QTest::newRow("queue rejects jobs") << "reject" << false;
        QTest::newRow("default queue removed, none left") << "remove" << false;
        QTest::newRow("default queue removed, another left") << "remove" << true;
    }
    void refusedJobIsTold()
    {
        QFETCH(QString, how);
        QFETCH(bool, otherQueue);
        const QString other = QStringLiteral("Other-PDF");
        QVERIFY(cups->AddQueue(kQueue));
        if (otherQueue) {
            QVERIFY(cups->AddQueue(other));
            QFile::remove(cups->Output(other));
        }
        QVERIFY(cups->SetDefault(kQueue));
        openPrintWindow();
        QCOMPARE(FormDrucken->PrintPreview1->Queue(), kQueue);
        QVERIFY(how == "reject" ? cups->Reject(kQueue) : cups->RemoveQueue(kQueue));
        fx->Dialogs.Shown.clear();
        FormDrucken->BTC_DruckenClick();
        QCOMPARE(int(fx->Dialogs.Shown.size()), 1);
        const auto &shown = fx->Dialogs.Shown[0];
        QCOMPARE(shown.Type, TMsgDlgType::Error);
        QVERIFY2(shown.Text.startsWith("Der Drucker \"Sudoku-PDF\" hat den Druckauftrag nicht angenommen."),
                 qPrintable(shown.Text));
        // The second line says why: the print system's own words for a
        // queue that refuses, ours for one that is gone.
        const QString why = shown.Text.section('\n', 1);
        QVERIFY2(how == "reject" ? !why.isEmpty() && !why.contains("nicht mehr vorhanden")
                                 : why == "Der Drucker ist nicht mehr vorhanden.",
                 qPrintable(shown.Text));
        QVERIFY(FormDrucken->isVisible());
        QTest::qWait(300);
        QVERIFY(!QFile::exists(cups->Output(kQueue)));
        // Once more: a queue that refuses stays the queue and is told again;
        // one that is gone gives way to the printer there is now, or to none.
        FormDrucken->BTC_DruckenClick();
        if (how == "reject") {
            QCOMPARE(int(fx->Dialogs.Shown.size()), 2);
        } else if (otherQueue) {
            QCOMPARE(int(fx->Dialogs.Shown.size()), 1);
            QCOMPARE(FormDrucken->PrintPreview1->Queue(), other);
            QVERIFY2(cups->WaitForOutput(other), qPrintable(cups->log("error_log")));
        } else {
            QCOMPARE(int(fx->Dialogs.Shown.size()), 1); // no printer at all: nothing happens
        }
        fx->DestroyWindows();
    }

    void noPrinterAtAllPrintsNothingAndSaysNothing()
    {
        openPrintWindow();
        QSignalSpy before(FormDrucken->PrintPreview1, &TPrintPreview::OnBeforePrint);
        fx->Dialogs.Shown.clear();
        QVERIFY(!FormDrucken->PrintPreview1->HasPrinter());
        FormDrucken->BTC_DruckenClick();
        QCOMPARE(before.count(), 0);
        QCOMPARE(int(fx->Dialogs.Shown.size()), 0);
        QVERIFY(FormDrucken->isVisible());
        fx->DestroyWindows();
    }
};

QTEST_MAIN(TstPrintSystem)
#include "tst_printsystem.moc"
