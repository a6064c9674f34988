// The page store, recording a document and printing it to PDF with progress,
// abort and grey pages.
#include "common/Fixture.h"
#include "common/SmallDisk.h"
#include "print/Preview.h"
#include "settings/USystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>
#include <memory>

Q_DECLARE_METATYPE(TPaperType)

namespace {
// A page with n rectangles: more rectangles, a longer picture.
QPicture pageWith(int n)
{
    QPicture pic;
    QPainter p(&pic);
    for (int i = 0; i < n; ++i)
        p.drawRect(100 * i, 100 * i, 500, 500);
    p.end();
    return pic;
}

QByteArray bytesOf(const QPicture *pic) { return pic ? QByteArray(pic->data(), pic->size()) : QByteArray(); }

void recordPages(TPrintPreview &pv, int pages)
{
    pv.BeginDoc();
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            pv.NewPage();
        pv.Canvas()->setPen(QPen(Qt::red, 200));
        pv.Canvas()->drawLine(1000, 1000 + i * 100, 20000, 1000 + i * 100);
    }
    pv.EndDoc();
}
} // namespace

class TstPageStore : public QObject {
    Q_OBJECT
    std::unique_ptr<TTestFixture> fx;
    QString pdf;

private slots:
    void initTestCase()
    {
        fx = std::make_unique<TTestFixture>();
        pdf = fx->Dir() + "/out.pdf";
        qputenv("SUDOKU_PRINT_PDF", pdf.toUtf8());
        ReloadSudokuEnv();
    }
    void cleanupTestCase()
    {
        qunsetenv("SUDOKU_PRINT_PDF");
        ReloadSudokuEnv();
    }
    void init() { QFile::remove(pdf); }

    void storeKeepsPagesBackToBack()
    {
        TMetafileList store;
        QSignalSpy changed(&store, &TMetafileList::Changed);
        const QPicture a = pageWith(1), b = pageWith(5), c = pageWith(2);
        QCOMPARE(store.Add(a), 0);
        QCOMPARE(store.Add(b), 1);
        QCOMPARE(store.Add(c), 2);
        QCOMPARE(changed.count(), 3);
        QCOMPARE(store.Offset(1), qint64(a.size()));
        QCOMPARE(store.Offset(2), qint64(a.size() + b.size()));
        QCOMPARE(bytesOf(store.GetMetafile(1)), bytesOf(&b));
        QCOMPARE(bytesOf(store.GetMetafile(0)), bytesOf(&a));
        QCOMPARE(bytesOf(store.GetMetafile(2)), bytesOf(&c));
    }

    void missingPageIsNoPage_data()
    {
        QTest::addColumn<int>("index");
        QTest::newRow("negative") << -1;
        QTest::newRow("one past the end") << 2;
        QTest::newRow("far beyond") << 1000;
    }
    void missingPageIsNoPage()
    {
        QFETCH(int, index);
        TMetafileList store;
        QVERIFY(store.GetMetafile(0) == nullptr);
        store.Add(pageWith(1));
        store.Add(pageWith(2));
        QVERIFY(store.GetMetafile(index) == nullptr);
        QVERIFY(!store.ReplaceMetafile(index, pageWith(1)));
    }

    void rewritingAPage_data()
    {
        QTest::addColumn<bool>("tempFile");
        QTest::addColumn<int>("rects");
        QTest::newRow("longer, memory") << false << 9;
        QTest::newRow("shorter, memory") << false << 1;
        QTest::newRow("longer, file") << true << 9;
        QTest::newRow("shorter, file") << true << 1;
    }
    void rewritingAPage()
    {
        QFETCH(bool, tempFile);
        QFETCH(int, rects);
        TMetafileList store;
        store.SetUseTempFile(tempFile);
        const QPicture a = pageWith(2), b = pageWith(4), c = pageWith(3), fresh = pageWith(rects);
        store.Add(a);
        store.Add(b);
        store.Add(c);
        QSignalSpy current(&store, &TMetafileList::CurrentChanged);
        const qint64 diff = qint64(fresh.size()) - qint64(b.size());
        const qint64 third = store.Offset(2), size = store.StreamSize();
        QVERIFY(store.ReplaceMetafile(1, fresh));
        QCOMPARE(current.count(), 1);
        QCOMPARE(current.at(0).at(0).toInt(), 1);
        QCOMPARE(store.Offset(2), third + diff);
        QCOMPARE(store.StreamSize(), size + diff);
        QCOMPARE(bytesOf(store.GetMetafile(2)), bytesOf(&c));
        QCOMPARE(bytesOf(store.GetMetafile(1)), bytesOf(&fresh));
        QCOMPARE(bytesOf(store.GetMetafile(0)), bytesOf(&a));
    }

    void rewritingTheLastPage()
    {
        TMetafileList store;
        store.Add(pageWith(3));
        const QPicture shorter = pageWith(1);
        QVERIFY(store.ReplaceMetafile(0, shorter));
        QCOMPARE(store.StreamSize(), qint64(shorter.size()));
        store.GetMetafile(0);
        QCOMPARE(bytesOf(store.GetMetafile(0)), bytesOf(&shorter));
    }

    void temporaryFileLife()
    {
        QString name;
        {
            TMetafileList store;
            store.SetUseTempFile(true);
            QVERIFY(store.TempFileName().isEmpty()); // made with the first page
            store.Add(pageWith(2));
            name = store.TempFileName();
            QVERIFY(QFileInfo(name).fileName().startsWith("PP"));
            QCOMPARE(QFileInfo(name).absolutePath(), QFileInfo(QDir::tempPath()).absoluteFilePath());
            QVERIFY(QFile::exists(name));
            QCOMPARE(QFileInfo(name).size(), store.StreamSize());
            store.Clear();
            QVERIFY(!QFile::exists(name));
            QCOMPARE(store.Count(), 0);
            store.Add(pageWith(1));
            name = store.TempFileName();
            QVERIFY(QFile::exists(name));
            // Back to memory: the pages stay, the file goes.
            const QByteArray before = bytesOf(store.GetMetafile(0));
            store.SetUseTempFile(false);
            QVERIFY(!QFile::exists(name));
            QVERIFY(store.TempFileName().isEmpty());
            QCOMPARE(bytesOf(store.GetMetafile(0)), before);
            store.SetUseTempFile(true);
            name = store.TempFileName();
            QVERIFY(QFile::exists(name));
        }
        QVERIFY(!QFile::exists(name)); // gone with the store
    }

    void pageExtent()
    {
        TPrintPreview pv;
        QCOMPARE(pv.PageBounds(), QRect(0, 0, 21000, 29700));
        QCOMPARE(pv.PaperType(), pA4);
        pv.SetOrientation(poLandscape);
        QCOMPARE(pv.PageBounds(), QRect(0, 0, 29700, 21000));
        pv.SetOrientation(poPortrait);
        pv.SetPaperSize(0, 40000);
        QCOMPARE(pv.PageBounds(), QRect(0, 0, 1, 32767));
        QCOMPARE(pv.PaperType(), pCustom);
        pv.SetPaperSize(21000, 29700);
        QCOMPARE(pv.PaperType(), pA4);
        pv.SetUnits(mmLoMetric);
        QCOMPARE(pv.PageBounds(), QRect(0, 0, 2100, 2970));
        pv.SetPaperType(pLetter);
        QCOMPARE(pv.PageBounds(), QRect(0, 0, 2159, 2794));
        // Not while recording.
        pv.BeginDoc();
        pv.SetPaperType(pA3);
        pv.SetOrientation(poLandscape);
        QCOMPARE(pv.PaperType(), pLetter);
        QCOMPARE(pv.Orientation(), poPortrait);
        pv.EndDoc();
    }

    void customPageAddsAnEmulatedForm()
    {
        TPrintPreview pv;
        QSignalSpy added(&pv, &TPrintPreview::OnAutoCustomForm);
        pv.SetOrientation(poLandscape);
        pv.SetPaperSize(15000, 10000);
        QCOMPARE(pv.FindFormName(), QString("100mm x 150mm"));
        QCOMPARE(pv.AutoFormName(), QString("100mm x 150mm"));
        QCOMPARE(added.count(), 1);
        QCOMPARE(added.at(0).at(1).toInt(), 0);
        const TPaperForm *f = pv.Forms().ByName("100mm x 150mm");
        QVERIFY(f);
        QCOMPARE(f->Width, 100000); // portrait order
        QCOMPARE(f->Height, 150000);
        // A standard size finds its own form.
        pv.SetOrientation(poPortrait);
        pv.SetPaperType(pA4);
        QCOMPARE(pv.FindFormName(), QString("A4"));
    }

    void recording()
    {
        TPrintPreview pv;
        QSignalSpy pages(&pv, &TPrintPreview::OnNewPage);
        recordPages(pv, 3);
        QCOMPARE(pv.TotalPages(), 3);
        QCOMPARE(pages.count(), 3);
        QCOMPARE(pv.State(), 0);
        QVERIFY(pv.Canvas() == nullptr);
        QCOMPARE(pv.CurrentPage(), 1);
        // A new document replaces the old one.
        recordPages(pv, 1);
        QCOMPARE(pv.TotalPages(), 1);
        // Calls in the wrong state are ignored.
        pv.NewPage();
        pv.EndDoc();
        QCOMPARE(pv.TotalPages(), 1);
    }

    void abortWhileRecording()
    {
        TPrintPreview pv;
        QSignalSpy aborted(&pv, &TPrintPreview::OnAbort);
        pv.BeginDoc();
        pv.NewPage();
        pv.BeginDoc(); // ignored while recording
        QCOMPARE(pv.State(), 1);
        pv.Abort();
        QCOMPARE(aborted.count(), 1);
        QCOMPARE(pv.State(), 0);
        QCOMPARE(pv.TotalPages(), 0);
        QCOMPARE(pv.CurrentPage(), 0);
        QVERIFY(pv.Aborted());
        pv.Abort(); // nothing more
        QCOMPARE(aborted.count(), 1);
    }

    void printReportsProgress_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<QList<int>>("pages");
        QTest::addColumn<QList<int>>("percent");
        QTest::newRow("3 to 5") << 3 << 5 << QList<int>{3, 3, 4, 4, 5, 5} << QList<int>{0, 33, 33, 67, 67, 100};
        QTest::newRow("clamped to the pages") << 4 << 99 << QList<int>{4, 4, 5, 5} << QList<int>{0, 50, 50, 100};
        QTest::newRow("all") << 1 << 5 << QList<int>{1, 1, 2, 2, 3, 3, 4, 4, 5, 5}
                             << QList<int>{0, 20, 20, 40, 40, 60, 60, 80, 80, 100};
    }
    void printReportsProgress()
    {
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(QList<int>, pages);
        QFETCH(QList<int>, percent);
        TPrintPreview pv;
        recordPages(pv, 5);
        QList<int> gotPages, gotPercent;
        connect(&pv, &TPrintPreview::OnPrintProgress, this, [&](int page, int progress, bool &) {
            gotPages << page;
            gotPercent << progress;
        });
        pv.PrintPages(first, last);
        QCOMPARE(gotPages, pages);
        QCOMPARE(gotPercent, percent);
        QVERIFY(QFile::exists(pdf));
        QVERIFY(!pv.Aborted());
        QCOMPARE(pv.State(), 0);
    }

    void rangesThatPrintNothing_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::newRow("reversed") << 3 << 2;
        QTest::newRow("beyond the pages") << 6 << 9;
        QTest::newRow("before the pages") << -4 << 0;
    }
    void rangesThatPrintNothing()
    {
        QFETCH(int, first);
        QFETCH(int, last);
        TPrintPreview pv;
        recordPages(pv, 5);
        QSignalSpy before(&pv, &TPrintPreview::OnBeforePrint);
        pv.PrintPages(first, last);
        QCOMPARE(before.count(), 0);
        QVERIFY(!QFile::exists(pdf));
    }

    void noPagesNoEvent()
    {
        TPrintPreview pv;
        QSignalSpy before(&pv, &TPrintPreview::OnBeforePrint);
        QSignalSpy after(&pv, &TPrintPreview::OnAfterPrint);
        pv.Print();
        QCOMPARE(before.count(), 0);
        QCOMPARE(after.count(), 0);
        QVERIFY(!QFile::exists(pdf));
    }

    void abortFromProgressLeavesNoFile()
    {
        TPrintPreview pv;
        recordPages(pv, 3);
        QList<int> percent;
        connect(&pv, &TPrintPreview::OnPrintProgress, this, [&](int page, int progress, bool &abort) {
            percent << progress;
            abort = page == 2;
        });
        QSignalSpy aborted(&pv, &TPrintPreview::OnAbort);
        QSignalSpy after(&pv, &TPrintPreview::OnAfterPrint);
        pv.Print();
        QCOMPARE(percent, QList<int>({0, 33, 33}));
        QVERIFY(pv.Aborted());
        QCOMPARE(aborted.count(), 1);
        QCOMPARE(after.count(), 1);
        QCOMPARE(pv.State(), 0);
        QVERIFY(!QFile::exists(pdf));
    }

    void greyPrinting()
    {
        TPrintPreview pv;
        recordPages(pv, 1);
        pv.GrayscalePrint = true;
        pv.GrayscaleDpiCap = 50;
        pv.Print();
        QVERIFY(pv.LastError().isEmpty());
        QVERIFY(QFile::exists(pdf));
        if (QStandardPaths::findExecutable("pdftoppm").isEmpty())
            QSKIP("pdftoppm not installed");
        QProcess p;
        p.start("pdftoppm", {"-r", "50", "-singlefile", pdf, fx->Dir() + "/grey"});
        p.waitForFinished(30000);
        const QImage img(fx->Dir() + "/grey.ppm");
        QVERIFY(!img.isNull());
        // The red line, 1 cm from the top, comes out grey: (30 * 255) div 100 = 76.
        const QColor c = img.pixel(img.width() / 2, 1000 * 50 / 2540);
        QCOMPARE(c.red(), c.green());
        QCOMPARE(c.green(), c.blue());
        QVERIFY2(std::abs(c.red() - 76) <= 3, qPrintable(c.name()));
    }

    void greyBitmapThatCannotBeMadeIsReported()
    {
        TPrintPreview pv;
        recordPages(pv, 2);
        pv.GrayscalePrint = true;
        pv.GrayscaleByteLimit = 1000;
        QSignalSpy error(&pv, &TPrintPreview::OnPrintError);
        pv.Print();
        QCOMPARE(error.count(), 1);
        QVERIFY(pv.LastError().contains("Graustufenbild"));
        QVERIFY(pv.Aborted());
        QVERIFY(!QFile::exists(pdf)); // never blank pages
    }

    void greyResolutionIsCapped()
    {
        TPrintPreview pv;
        recordPages(pv, 1);
        const QPicture *page = pv.Store().GetMetafile(0);
        // An A4 page at 1200 dpi would be 9921 x 14031 pixels, 139 MB even at
        // one byte a pixel.
        QVERIFY(pv.GrayPage(*page, QSize(9921, 14031)).isNull());
        const QImage grey = pv.GrayPage(*page, QSize(2480, 3508)); // 300 dpi
        QVERIFY(!grey.isNull());
        QCOMPARE(grey.depth(), 8);
        // Just the page's own bytes under the limit is enough.
        pv.GrayscaleByteLimit = 2480ll * 3508;
        QVERIFY(!pv.GrayPage(*page, QSize(2480, 3508)).isNull());
        pv.GrayscaleByteLimit -= 1;
        QVERIFY(pv.GrayPage(*page, QSize(2480, 3508)).isNull());
    }

    void greyPrintingOfLargePapers_data()
    {
        QTest::addColumn<TPaperType>("paper");
        QTest::addColumn<QSizeF>("points");
        QTest::newRow("A3") << pA3 << QSizeF(842, 1191);
        QTest::newRow("A3 extra") << pA3Extra << QSizeF(913, 1261);
    }
    void greyPrintingOfLargePapers()
    {
        QFETCH(TPaperType, paper);
        QFETCH(QSizeF, points);
        TPrintPreview pv;
        pv.SetPaperType(paper);
        recordPages(pv, 1);
        pv.GrayscalePrint = true; // at the default cap of 300 dpi and 64 MB
        pv.Print();
        QVERIFY2(pv.LastError().isEmpty(), qPrintable(pv.LastError()));
        QVERIFY(!pv.Aborted());
        QVERIFY(QFile::exists(pdf));
        if (QStandardPaths::findExecutable("pdfinfo").isEmpty())
            QSKIP("pdfinfo not installed");
        QProcess p;
        p.start("pdfinfo", {pdf});
        p.waitForFinished(30000);
        const QRegularExpression re(R"(Page size:\s+([\d.]+) x ([\d.]+) pts)");
        const auto m = re.match(QString::fromUtf8(p.readAllStandardOutput()));
        QVERIFY(m.hasMatch());
        QVERIFY(std::abs(m.captured(1).toDouble() - points.width()) < 2);
        QVERIFY(std::abs(m.captured(2).toDouble() - points.height()) < 2);
    }

    // A stored page that does not come back whole and undamaged stops the run
    // at that page with the error; nothing of it prints blank.
    void pageThatCannotBeReadBackAbortsThePrint_data()
    {
        QTest::addColumn<bool>("cut");
        QTest::newRow("file cut inside page 2") << true;
        QTest::newRow("bytes of page 2 damaged") << false;
    }
    void pageThatCannotBeReadBackAbortsThePrint()
    {
        QFETCH(bool, cut);
        TPrintPreview pv;
        pv.SetUseTempFile(true);
        recordPages(pv, 3);
        TMetafileList &store = pv.Store();
        const qint64 second = store.Offset(1), third = store.Offset(2);
        {
            QFile f(store.TempFileName());
            QVERIFY(f.open(QIODevice::ReadWrite));
            if (cut) {
                QVERIFY(f.resize((second + third) / 2));
            } else {
                QVERIFY(f.seek((second + third) / 2));
                QByteArray bytes = f.read(8);
                for (char &c : bytes)
                    c = char(~c);
                QVERIFY(f.seek((second + third) / 2));
                f.write(bytes);
            }
        }
        if (!cut)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("QPicture.*checksum"));
        QList<int> progressPages;
        connect(&pv, &TPrintPreview::OnPrintProgress, this, [&](int page, int, bool &) { progressPages << page; });
        QSignalSpy error(&pv, &TPrintPreview::OnPrintError);
        QSignalSpy aborted(&pv, &TPrintPreview::OnAbort);
        pv.Print();
        QCOMPARE(error.count(), 1);
        QCOMPARE(error.at(0).at(0).toString(), QString("Seite 2 kann nicht gelesen werden."));
        QCOMPARE(pv.LastError(), QString("Seite 2 kann nicht gelesen werden."));
        QCOMPARE(progressPages, QList<int>({1, 1, 2}));
        QVERIFY(pv.Aborted());
        QCOMPARE(pv.State(), 0);
        QVERIFY(!QFile::exists(pdf));
        // The pages before it are still there.
        QVERIFY(store.GetMetafile(0) != nullptr);
    }

    void shownPageThatCannotBeReadIsToldOnce()
    {
        TPrintPreview pv;
        pv.resize(300, 400);
        pv.SetUseTempFile(true);
        recordPages(pv, 2);
        QVERIFY(QFile::resize(pv.Store().TempFileName(), 10));
        QSignalSpy error(&pv, &TPrintPreview::OnPrintError);
        pv.Paper()->InvalidatePage();
        pv.Paper()->Bitmap();       // paints the page
        QCOMPARE(error.count(), 0); // not from inside the paint
        QTRY_COMPARE(error.count(), 1);
        QCOMPARE(error.at(0).at(0).toString(), QString("Seite 1 kann nicht gelesen werden."));
        pv.Paper()->InvalidatePage();
        pv.Paper()->Bitmap();
        QTest::qWait(20);
        QCOMPARE(error.count(), 1);
    }

    void fullTemporaryFolderIsReported()
    {
        TSmallDisk disk(64);
        if (!disk.Ready())
            QSKIP("no small disk here (needs root and tmpfs)");
        const QByteArray oldTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(disk.Path()));
        disk.Fill();
        QStringList errors;
        {
            TPrintPreview pv;
            connect(&pv, &TPrintPreview::OnPrintError, this, [&](const QString &text) { errors << text; });
            pv.SetUseTempFile(true);
            recordPages(pv, 2);
            QCOMPARE(pv.TotalPages(), 2);
            QCOMPARE(errors,
                     QStringList({"Seite 1 kann nicht gespeichert werden.", "Seite 2 kann nicht gespeichert werden."}));
            errors.clear();
            pv.Print();
            QCOMPARE(errors, QStringList({"Seite 1 kann nicht gelesen werden."}));
            QVERIFY(pv.Aborted());
            QVERIFY(!QFile::exists(pdf));
        }
        qputenv("TMPDIR", oldTmp);
    }

    void storeReportsEveryFailure()
    {
        TMetafileList store;
        QSignalSpy failed(&store, &TMetafileList::Failed);
        store.SetUseTempFile(true);
        const QPicture a = pageWith(2), b = pageWith(3);
        store.Add(a);
        store.Add(b);
        QCOMPARE(failed.count(), 0);
        QVERIFY(QFile::resize(store.TempFileName(), store.Offset(1) + 4));
        QVERIFY(store.GetMetafile(1) == nullptr);
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed.at(0).at(0).toInt(), 1);
        QCOMPARE(failed.at(0).at(1).toString(), QString("Seite 2 kann nicht gelesen werden."));
        // Every read tries again and fails again.
        QVERIFY(store.GetMetafile(1) == nullptr);
        QCOMPARE(failed.count(), 2);
        // Rewriting page 1 with another length needs page 2's bytes: refused,
        // and page 1 stays as it was.
        QVERIFY(!store.ReplaceMetafile(0, pageWith(9)));
        QCOMPARE(failed.count(), 3);
        QCOMPARE(bytesOf(store.GetMetafile(0)), bytesOf(&a));
    }

    void pageSettingsGoToThePrinter()
    {
        TPrintPreview pv;
        pv.SetOrientation(poLandscape);
        pv.SetPaperSize(15000, 10000);
        pv.WritePrinterSettings();
        const QPageLayout layout = pv.Printer()->pageLayout();
        QCOMPARE(layout.orientation(), QPageLayout::Landscape);
        // The paper in portrait order, named by the emulated form.
        QCOMPARE(layout.pageSize().size(QPageSize::Millimeter), QSizeF(100, 150));
        QCOMPARE(layout.pageSize().name(), QString("100mm x 150mm"));
    }

    void pageSettingsComeFromThePrinter()
    {
        TPrintPreview pv;
        pv.UsePrinterOptions = true;
        pv.Printer()->setPageSize(QPageSize(QPageSize::A5));
        pv.Printer()->setPageOrientation(QPageLayout::Landscape);
        pv.BeginDoc();
        pv.EndDoc();
        QCOMPARE(pv.PaperType(), pA5);
        QCOMPARE(pv.Orientation(), poLandscape);
        QCOMPARE(pv.PageBounds(), QRect(0, 0, 21000, 14800));
    }

    void printingToPdfCannotChooseAnotherPrinter()
    {
        TPrintPreview pv;
        QVERIFY(!pv.SelectPrinter("no such printer"));
        QCOMPARE(pv.Printer()->outputFileName(), pdf);
    }

    void directPrinting()
    {
        TPrintPreview pv;
        pv.DirectPrint = true;
        pv.BeginDoc();
        QCOMPARE(pv.State(), 2);
        pv.Canvas()->drawLine(0, 0, 1000, 1000);
        pv.NewPage();
        QCOMPARE(pv.TotalPages(), 1); // pages sent so far
        pv.EndDoc();
        QCOMPARE(pv.State(), 0);
        QCOMPARE(pv.Store().Count(), 0);
        QVERIFY(QFile::exists(pdf));
        QFile::remove(pdf);
        pv.BeginDoc();
        pv.Canvas()->drawLine(0, 0, 1000, 1000);
        pv.Abort();
        QVERIFY(!QFile::exists(pdf));
        QCOMPARE(pv.State(), 0);
    }
};

QTEST_MAIN(TstPageStore)
#include "tst_pagestore.moc"
