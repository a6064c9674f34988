// The preview on screen: fitting the paper, zoom limits, the wheel, the keys
// and grab-dragging.
#include "common/Fixture.h"
#include "print/Preview.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QWheelEvent>
#include <QtTest>
#include <memory>

namespace {
void record(TPrintPreview &pv, int pages)
{
    pv.BeginDoc();
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            pv.NewPage();
        pv.Canvas()->drawRect(1000, 1000, 5000, 5000);
    }
    pv.EndDoc();
}

void wheel(QWidget *target, int delta, Qt::KeyboardModifiers mods = Qt::NoModifier,
           Qt::MouseButtons buttons = Qt::NoButton)
{
    QWheelEvent e(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, delta), buttons, mods, Qt::NoScrollPhase,
                  false);
    QApplication::sendEvent(target, &e);
}

void key(QWidget *target, int k, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QKeyEvent e(QEvent::KeyPress, k, mods);
    QApplication::sendEvent(target, &e);
}

void mouse(QWidget *target, QEvent::Type type, QPoint at, Qt::MouseButtons buttons)
{
    QMouseEvent e(type, at, target->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                  buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &e);
}
} // namespace

class TstPreviewDisplay : public QObject {
    Q_OBJECT
    std::unique_ptr<TTestFixture> fx;
    std::unique_ptr<TPrintPreview> pv;

private slots:
    void initTestCase() { fx = std::make_unique<TTestFixture>(); }
    void init()
    {
        pv = std::make_unique<TPrintPreview>();
        pv->resize(400, 300);
        pv->show();
        record(*pv, 3);
    }
    void cleanup() { pv.reset(); }

    void fitInAWideLowAreaFitsTheHeight()
    {
        QCOMPARE(pv->ZoomState(), zsZoomToFit);
        const QSize pixels = pv->PagePixels();
        QCOMPARE(pixels, QSize(794, 1123));
        const int h = pv->Paper()->height();
        QCOMPARE(h, pv->maximumViewportSize().height() - 2 * pv->Margin);
        QCOMPARE(pv->Zoom(), qRound(double(h - 5) * 100 / 1123));
        QVERIFY(!pv->CanScrollX() && !pv->CanScrollY());
        QVERIFY(pv->Paper()->isVisible());
        // Centred across.
        const int left = pv->Paper()->x();
        QCOMPARE(left, pv->Margin + (pv->maximumViewportSize().width() - 2 * pv->Margin - pv->Paper()->width()) / 2);
    }

    void zoomLimits()
    {
        QSignalSpy zoom(pv.get(), &TPrintPreview::OnZoomChange);
        pv->SetZoom(5);
        QCOMPARE(pv->Zoom(), 10);
        QCOMPARE(pv->ZoomState(), zsZoomOther);
        QVERIFY(zoom.count() >= 1);
        pv->SetZoom(9000);
        QCOMPARE(pv->Zoom(), 500);
        pv->SetZoomMin(600); // above ZoomMax: refused
        QCOMPARE(pv->ZoomMin(), 10);
        pv->SetZoomMax(200); // lowers a larger zoom
        QCOMPARE(pv->Zoom(), 200);
        pv->SetZoomMax(5); // below ZoomMin: refused
        QCOMPARE(pv->ZoomMax(), 200);
        pv->SetZoom(50);
        pv->SetZoomMin(80);
        QCOMPARE(pv->Zoom(), 80);
        QCOMPARE(pv->Paper()->width(), qRound(794 * 0.8) + 5);
    }

    void wheel_data()
    {
        QTest::addColumn<QList<int>>("deltas");
        QTest::addColumn<int>("mods");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("scrolled"); // in increments
        QTest::addColumn<int>("zoom");     // change
        QTest::addColumn<int>("page");
        QTest::newRow("three deltas of 40 scroll one increment down")
            << QList<int>{-40, -40, -40} << 0 << 0 << 1 << 0 << 2;
        QTest::newRow("one message of 240 scrolls two") << QList<int>{-240} << 0 << 0 << 2 << 0 << 2;
        QTest::newRow("up scrolls back") << QList<int>{-240, 120} << 0 << 0 << 1 << 0 << 2;
        QTest::newRow("Ctrl up zooms in") << QList<int>{120} << int(Qt::ControlModifier) << 0 << 0 << 10 << 2;
        QTest::newRow("Ctrl down zooms out") << QList<int>{-120} << int(Qt::ControlModifier) << 0 << 0 << -10 << 2;
        QTest::newRow("Shift up goes to the previous page") << QList<int>{120} << int(Qt::ShiftModifier) << 0 << 0 << 0
                                                            << 1;
        QTest::newRow("Shift down goes to the next page") << QList<int>{-120} << int(Qt::ShiftModifier) << 0 << 0 << 0
                                                          << 3;
        QTest::newRow("middle button alone pages too") << QList<int>{-120} << 0 << int(Qt::MiddleButton) << 0 << 0 << 3;
        QTest::newRow("Alt does nothing") << QList<int>{-120} << int(Qt::AltModifier) << 0 << 0 << 0 << 2;
    }
    void wheel()
    {
        QFETCH(QList<int>, deltas);
        QFETCH(int, mods);
        QFETCH(int, buttons);
        QFETCH(int, scrolled);
        QFETCH(int, zoom);
        QFETCH(int, page);
        pv->SetZoom(200);
        pv->SetCurrentPage(2);
        QScrollBar *vb = pv->verticalScrollBar();
        const int step = vb->singleStep(), zoom0 = pv->Zoom();
        for (int d : deltas)
            ::wheel(pv->viewport(), d, Qt::KeyboardModifiers(mods), Qt::MouseButtons(buttons));
        QCOMPARE(vb->value(), scrolled * step);
        QCOMPARE(pv->Zoom(), zoom0 + zoom);
        QCOMPARE(pv->CurrentPage(), page);
    }

    void keys_data()
    {
        QTest::addColumn<int>("k");
        QTest::addColumn<int>("mods");
        QTest::addColumn<int>("dx"); // expected horizontal position: -1 = the end
        QTest::addColumn<int>("dy");
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("zoom");
        // Start: positions (50, 50), page 2, zoom 300.
        QTest::newRow("Home") << int(Qt::Key_Home) << 0 << 0 << 50 << 2 << 300;
        QTest::newRow("Ctrl+Home") << int(Qt::Key_Home) << int(Qt::ControlModifier) << 50 << 0 << 2 << 300;
        QTest::newRow("End") << int(Qt::Key_End) << 0 << -1 << 50 << 2 << 300;
        QTest::newRow("Ctrl+End") << int(Qt::Key_End) << int(Qt::ControlModifier) << 50 << -1 << 2 << 300;
        QTest::newRow("Shift+Left") << int(Qt::Key_Left) << int(Qt::ShiftModifier) << 49 << 50 << 2 << 300;
        QTest::newRow("Shift+Down") << int(Qt::Key_Down) << int(Qt::ShiftModifier) << 50 << 51 << 2 << 300;
        QTest::newRow("Right") << int(Qt::Key_Right) << 0 << -2 << 50 << 2 << 300;
        QTest::newRow("Up") << int(Qt::Key_Up) << 0 << 50 << -3 << 2 << 300;
        QTest::newRow("Page Down") << int(Qt::Key_PageDown) << 0 << 50 << 50 << 3 << 300;
        QTest::newRow("Page Up") << int(Qt::Key_PageUp) << 0 << 50 << 50 << 1 << 300;
        QTest::newRow("Ctrl+Page Up") << int(Qt::Key_PageUp) << int(Qt::ControlModifier) << 50 << 50 << 1 << 300;
        QTest::newRow("Ctrl+Page Down") << int(Qt::Key_PageDown) << int(Qt::ControlModifier) << 50 << 50 << 3 << 300;
        QTest::newRow("keypad plus") << int(Qt::Key_Plus) << int(Qt::KeypadModifier) << -4 << -4 << 2 << 310;
        QTest::newRow("keypad minus") << int(Qt::Key_Minus) << int(Qt::KeypadModifier) << -4 << -4 << 2 << 290;
        QTest::newRow("plain plus is not the keypad") << int(Qt::Key_Plus) << 0 << 50 << 50 << 2 << 300;
    }
    void keys()
    {
        QFETCH(int, k);
        QFETCH(int, mods);
        QFETCH(int, dx);
        QFETCH(int, dy);
        QFETCH(int, page);
        QFETCH(int, zoom);
        pv->SetZoom(300);
        pv->SetCurrentPage(2);
        QScrollBar *hb = pv->horizontalScrollBar(), *vb = pv->verticalScrollBar();
        hb->setValue(50);
        vb->setValue(50);
        key(pv.get(), k, Qt::KeyboardModifiers(mods));
        auto expect = [](QScrollBar *b, int v) {
            if (v == -1)
                return b->maximum();
            if (v == -2)
                return 50 + b->singleStep();
            if (v == -3)
                return 50 - b->singleStep();
            return v;
        };
        if (dx != -4) {
            QCOMPARE(hb->value(), expect(hb, dx));
            QCOMPARE(vb->value(), expect(vb, dy));
        }
        QCOMPARE(pv->CurrentPage(), page);
        QCOMPARE(pv->Zoom(), zoom);
    }

    void zoomAndTheScrollPosition_data()
    {
        QTest::addColumn<bool>("savePos");
        QTest::newRow("kept as a share of the range") << true;
        QTest::newRow("back to the top left") << false;
    }
    void zoomAndTheScrollPosition()
    {
        QFETCH(bool, savePos);
        pv->ZoomSavePos = savePos;
        pv->SetZoom(300);
        QScrollBar *hb = pv->horizontalScrollBar(), *vb = pv->verticalScrollBar();
        hb->setValue(hb->maximum() / 2);
        vb->setValue(vb->maximum() / 2);
        QVERIFY(hb->value() > 0 && vb->value() > 0);
        pv->SetZoom(400);
        if (savePos) {
            QVERIFY2(std::abs(hb->value() - hb->maximum() / 2) <= hb->maximum() / 50 + 1,
                     qPrintable(QString::number(hb->value())));
            QVERIFY2(std::abs(vb->value() - vb->maximum() / 2) <= vb->maximum() / 50 + 1,
                     qPrintable(QString::number(vb->value())));
        } else {
            QCOMPARE(hb->value(), 0);
            QCOMPARE(vb->value(), 0);
        }
    }

    void pageDownOnTheLastPageStays()
    {
        pv->SetCurrentPage(3);
        key(pv.get(), Qt::Key_PageDown);
        QCOMPARE(pv->CurrentPage(), 3);
        pv->SetCurrentPage(99);
        QCOMPARE(pv->CurrentPage(), 3);
        pv->SetCurrentPage(-1);
        QCOMPARE(pv->CurrentPage(), 1);
    }

    void grabDrag_data()
    {
        QTest::addColumn<int>("zoom"); // 0: zoom to fit
        QTest::addColumn<QPoint>("move");
        QTest::addColumn<QPoint>("scrolled");
        QTest::newRow("drag up-left scrolls down-right") << 300 << QPoint(-20, -30) << QPoint(20, 30);
        QTest::newRow("a paper that fits does not move") << 0 << QPoint(-20, -30) << QPoint(0, 0);
    }
    void grabDrag()
    {
        QFETCH(int, zoom);
        QFETCH(QPoint, move);
        QFETCH(QPoint, scrolled);
        if (zoom)
            pv->SetZoom(zoom);
        TPaperPreview *paper = pv->Paper();
        const bool scrolls = pv->CanScrollX() || pv->CanScrollY();
        QCOMPARE(scrolls, zoom != 0);
        QCOMPARE(paper->cursor().shape(), scrolls ? Qt::BitmapCursor : Qt::ArrowCursor);
        const QPoint start(60, 60);
        mouse(paper, QEvent::MouseButtonPress, start, Qt::LeftButton);
        QCOMPARE(pv->Grabbing(), scrolls);
        if (scrolls)
            QCOMPARE(paper->cursor().pixmap().cacheKey(), pv->GrabCursor.pixmap().cacheKey());
        mouse(paper, QEvent::MouseMove, start + move, Qt::LeftButton);
        QCOMPARE(QPoint(pv->horizontalScrollBar()->value(), pv->verticalScrollBar()->value()), scrolled);
        mouse(paper, QEvent::MouseButtonRelease, start + move, Qt::NoButton);
        QVERIFY(!pv->Grabbing());
        if (scrolls)
            QCOMPARE(paper->cursor().pixmap().cacheKey(), pv->DragCursor.pixmap().cacheKey());
        else
            QCOMPARE(paper->cursor().shape(), Qt::ArrowCursor);
    }

    void paperHasFrameAndShadow()
    {
        pv->SetZoom(20);
        TPaperPreview *paper = pv->Paper();
        const QImage img = paper->Bitmap().toImage();
        const int w = img.width(), h = img.height();
        QCOMPARE(QColor(img.pixel(0, 0)), QColor(Qt::black));             // border
        QCOMPARE(QColor(img.pixel(w / 2, h / 2 + 20)), QColor(Qt::white)); // paper
        QCOMPARE(QColor(img.pixel(w - 1, h / 2)).rgb(), paper->ShadowColor.rgb());      // shadow right
        QCOMPARE(QColor(img.pixel(w / 2, h - 1)).rgb(), paper->ShadowColor.rgb());      // shadow below
        QVERIFY(QColor(img.pixel(w - 1, 0)).rgb() != paper->ShadowColor.rgb());         // offset corner
        // The recorded rectangle from 1 cm: its top-left corner is drawn.
        const int x = 1 + qRound(1000 * (w - 5) / 21000.0);
        QVERIFY(qGray(img.pixel(x, 1 + qRound(1000 * (h - 5) / 29700.0) + 3)) < 128);
    }

    void overlaysAreRecordedForTheShownPage()
    {
        QList<int> pages;
        connect(pv.get(), &TPrintPreview::OnAnnotation, this, [&](int page, QPainter *c) {
            pages << page;
            c->fillRect(QRect(10000, 20000, 3000, 3000), Qt::red);
        });
        connect(pv.get(), &TPrintPreview::OnBackground, this, [&](int, QPainter *c) {
            c->fillRect(QRect(10000, 10000, 3000, 3000), Qt::blue);
        });
        pv->SetZoom(50);
        TPaperPreview *paper = pv->Paper();
        const QRect r = paper->GetPageRect();
        auto at = [&](int ux, int uy) {
            return QColor(paper->Bitmap().toImage().pixel(r.x() + ux * r.width() / 21000, r.y() + uy * r.height() / 29700));
        };
        QCOMPARE(at(11500, 21500), QColor(Qt::white));
        pv->SetAnnotation(true);
        QCOMPARE(at(11500, 21500), QColor(Qt::red));
        QCOMPARE(pages, QList<int>({1}));
        pv->SetCurrentPage(3);
        QCOMPARE(pages, QList<int>({1, 3}));
        QCOMPARE(at(11500, 11500), QColor(Qt::white));
        pv->SetBackground(true);
        QCOMPARE(at(11500, 11500), QColor(Qt::blue));
        pv->SetAnnotation(false);
        QCOMPARE(at(11500, 21500), QColor(Qt::white));
    }

    void pagesGoneHidesThePaper()
    {
        pv->Store().Clear();
        QCOMPARE(pv->CurrentPage(), 0);
        QVERIFY(!pv->Paper()->isVisible());
        key(pv.get(), Qt::Key_PageDown);
        QCOMPARE(pv->CurrentPage(), 0);
    }

    void onePixelPaperNeverDividesByZero()
    {
        pv->SetPaperSize(1, 1);
        QCOMPARE(pv->PagePixels(), QSize(1, 1));
        pv->SetZoomState(zsZoomToWidth);
        pv->resize(20, 20);
        pv->SetZoomState(zsZoomToHeight);
        pv->SetZoomState(zsZoomToFit);
        pv->resize(0, 0);
        pv->UpdateLayout();
        QVERIFY(pv->Zoom() >= 0);
    }
};

QTEST_MAIN(TstPreviewDisplay)
#include "tst_previewdisplay.moc"
