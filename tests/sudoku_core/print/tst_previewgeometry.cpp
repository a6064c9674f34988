// Page units, the paper table, page ranges and the preview's paper size and
// zoom: pure arithmetic, checked by tables.
#include "print/PreviewGeometry.h"

#include <QtTest>

Q_DECLARE_METATYPE(TUnits)
Q_DECLARE_METATYPE(TPaperType)
Q_DECLARE_METATYPE(TZoomState)
Q_DECLARE_METATYPE(TPrinterOrientation)

class TstPreviewGeometry : public QObject {
    Q_OBJECT
private slots:
    void convertUnits_data()
    {
        QTest::addColumn<int>("v");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<TUnits>("from");
        QTest::addColumn<TUnits>("to");
        QTest::addColumn<int>("expected");
        QTest::newRow("A4 width 0.1 mm to 0.01 mm") << 2100 << 96 << mmLoMetric << mmHiMetric << 21000;
        QTest::newRow("0.01 mm to 0.1 mm truncates") << 21009 << 96 << mmHiMetric << mmLoMetric << 2100;
        QTest::newRow("negative truncates toward zero") << -19 << 96 << mmHiMetric << mmLoMetric << -1;
        QTest::newRow("0.001 in to 0.01 in truncates") << 8509 << 96 << mmHiEnglish << mmLoEnglish << 850;
        QTest::newRow("0.01 in to 0.001 in") << 850 << 96 << mmLoEnglish << mmHiEnglish << 8500;
        QTest::newRow("twips to points truncates") << 1459 << 96 << mmTWIPS << mmPoints << 72;
        QTest::newRow("points to twips") << 72 << 96 << mmPoints << mmTWIPS << 1440;
        QTest::newRow("letter width inch to 0.01 mm") << 8500 << 96 << mmHiEnglish << mmHiMetric << 21590;
        QTest::newRow("72 pt in 0.01 mm") << 72 << 96 << mmPoints << mmHiMetric << 2540;
        QTest::newRow("16 pt in 0.01 mm rounds") << 16 << 96 << mmPoints << mmHiMetric << 564;
        QTest::newRow("A4 width in pixels at 96") << 21000 << 96 << mmHiMetric << mmPixel << 794;
        QTest::newRow("A4 width in pixels at 1200") << 21000 << 1200 << mmHiMetric << mmPixel << 9921;
        QTest::newRow("pixels to 0.01 mm") << 96 << 96 << mmPixel << mmHiMetric << 2540;
        QTest::newRow("half rounds away from zero") << 1 << 96 << mmLoMetric << mmLoEnglish << 0;
        QTest::newRow("127 of 0.1 mm is half an inch of 0.01") << 127 << 96 << mmLoMetric << mmLoEnglish << 50;
        QTest::newRow("negative half away from zero") << -5 << 96 << mmPoints << mmLoEnglish << -7;
        QTest::newRow("same unit unchanged") << 1234 << 96 << mmTWIPS << mmTWIPS << 1234;
        QTest::newRow("pixel to pixel by resolution") << 96 << 300 << mmPixel << mmPixel << 300;
        QTest::newRow("no resolution, to pixels") << 21000 << 0 << mmHiMetric << mmPixel << 0;
        QTest::newRow("negative resolution, to pixels") << 21000 << -96 << mmHiMetric << mmPixel << 0;
        QTest::newRow("negative resolution, from pixels") << 96 << -96 << mmPixel << mmHiMetric << 0;
        QTest::newRow("negative resolution, pixel to pixel") << 96 << -1 << mmPixel << mmPixel << 0;
        QTest::newRow("no resolution, metric") << 2100 << 0 << mmLoMetric << mmHiMetric << 0;
    }
    void convertUnits()
    {
        QFETCH(int, v);
        QFETCH(int, dpi);
        QFETCH(TUnits, from);
        QFETCH(TUnits, to);
        QFETCH(int, expected);
        QCOMPARE(ConvertUnits(v, dpi, from, to, 96), expected);
    }

    void paperTable_data()
    {
        QTest::addColumn<TPaperType>("type");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::addColumn<TUnits>("units");
        QTest::newRow("Letter") << pLetter << 1 << 8500 << 11000 << mmHiEnglish;
        QTest::newRow("Ledger") << pLedger << 4 << 17000 << 11000 << mmHiEnglish;
        QTest::newRow("A4") << pA4 << 9 << 2100 << 2970 << mmLoMetric;
        QTest::newRow("B6 envelope") << pEnvB6 << 35 << 1760 << 1250 << mmLoMetric;
        QTest::newRow("Letter Extra") << pLetterExtra << 50 << 9500 << 12000 << mmHiEnglish;
        QTest::newRow("A4 transverse") << pA4Transverse << 55 << 2100 << 2970 << mmLoMetric;
        QTest::newRow("A3 extra transverse") << pA3ExtraTransverse << 68 << 3220 << 4450 << mmLoMetric;
        QTest::newRow("custom") << pCustom << 256 << 0 << 0 << mmPixel;
    }
    void paperTable()
    {
        QFETCH(TPaperType, type);
        QFETCH(int, code);
        QFETCH(int, w);
        QFETCH(int, h);
        QFETCH(TUnits, units);
        const TPaperRow &r = PaperSizeTable[type];
        QCOMPARE(r.Code, code);
        QCOMPARE(r.Width, w);
        QCOMPARE(r.Height, h);
        QCOMPARE(r.Units, units);
        QCOMPARE(PaperTypeByCode(code), type == pA4Transverse ? pA4Transverse : type);
    }

    void tableHasNoCodes48And49()
    {
        QCOMPARE(kPaperTypeCount, 67);
        QCOMPARE(PaperTypeByCode(48), pCustom);
        QCOMPARE(PaperTypeByCode(49), pCustom);
        QCOMPARE(PaperTypeByCode(47), pEnvInvite);
        QCOMPARE(PaperTypeByCode(0), pCustom);
    }

    void findPaperType_data()
    {
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::addColumn<TUnits>("units");
        QTest::addColumn<TPaperType>("expected");
        QTest::newRow("A4 in 0.01 mm: the first row wins") << 21000 << 29700 << mmHiMetric << pA4;
        QTest::newRow("A4 landscape order is no paper") << 29700 << 21000 << mmHiMetric << pCustom;
        QTest::newRow("letter in 0.01 in") << 850 << 1100 << mmLoEnglish << pLetter;
        QTest::newRow("ledger wider than high") << 17000 << 11000 << mmHiEnglish << pLedger;
        QTest::newRow("A3") << 2970 << 4200 << mmLoMetric << pA3;
        QTest::newRow("100 x 150 mm") << 10000 << 15000 << mmHiMetric << pCustom;
        QTest::newRow("A2") << 42000 << 59400 << mmHiMetric << pA2;
    }
    void findPaperType()
    {
        QFETCH(int, w);
        QFETCH(int, h);
        QFETCH(TUnits, units);
        QFETCH(TPaperType, expected);
        QCOMPARE(FindPaperType(w, h, units), expected);
    }

    void clampPaperSide()
    {
        QCOMPARE(ClampPaperSide(0), 1);
        QCOMPARE(ClampPaperSide(40000), 32767);
        QCOMPARE(ClampPaperSide(-5), 1);
        QCOMPARE(ClampPaperSide(500), 500);
    }

    void pageRange_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<int>("total");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("f");
        QTest::addColumn<int>("l");
        QTest::newRow("inside") << 2 << 3 << 5 << true << 2 << 3;
        QTest::newRow("last beyond the end") << 3 << 9 << 5 << true << 3 << 5;
        QTest::newRow("first before the start") << -2 << 2 << 5 << true << 1 << 2;
        QTest::newRow("wholly beyond") << 7 << 9 << 5 << false << 5 << 5;
        QTest::newRow("wholly before") << -3 << 0 << 5 << false << 1 << 1;
        QTest::newRow("reversed") << 4 << 2 << 5 << false << 4 << 2;
        QTest::newRow("no pages") << 1 << 1 << 0 << false << 0 << 0;
    }
    void pageRange()
    {
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(int, total);
        QFETCH(bool, valid);
        QFETCH(int, f);
        QFETCH(int, l);
        const TPageRange r = ClampPageRange(first, last, total);
        QCOMPARE(r.Valid, valid);
        if (valid) {
            QCOMPARE(r.First, f);
            QCOMPARE(r.Last, l);
        }
    }

    void progressOfThreePages()
    {
        QList<int> got;
        for (int p = 3; p <= 5; ++p)
            got << ProgressPercent(p - 3, 3) << ProgressPercent(p - 3 + 1, 3);
        QCOMPARE(got, QList<int>({0, 33, 33, 67, 67, 100}));
        QCOMPARE(ProgressPercent(1, 0), 0);
    }

    void paperSize_data()
    {
        QTest::addColumn<TZoomState>("state");
        QTest::addColumn<int>("zoom");
        QTest::addColumn<int>("cw");
        QTest::addColumn<int>("ch");
        QTest::addColumn<int>("px");
        QTest::addColumn<int>("py");
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::addColumn<int>("effective");
        // A4 at 96 dpi is 794 x 1123 pixels; the frame adds 5.
        QTest::newRow("zoom 100") << zsZoomOther << 100 << 300 << 300 << 794 << 1123 << 799 << 1128 << 100;
        QTest::newRow("zoom 50") << zsZoomOther << 50 << 300 << 300 << 794 << 1123 << 402 << 567 << 50;
        QTest::newRow("fit in a wide low area fits the height")
            << zsZoomToFit << 100 << 1000 << 400 << 794 << 1123 << 284 << 400 << 35;
        QTest::newRow("fit in a narrow high area fits the width")
            << zsZoomToFit << 100 << 300 << 1000 << 794 << 1123 << 300 << 422 << 37;
        QTest::newRow("to width") << zsZoomToWidth << 100 << 799 << 100 << 794 << 1123 << 799 << 1128 << 100;
        QTest::newRow("to height") << zsZoomToHeight << 100 << 100 << 1128 << 794 << 1123 << 799 << 1128 << 100;
        QTest::newRow("one-pixel page") << zsZoomToFit << 100 << 200 << 200 << 1 << 1 << 200 << 200 << 19500;
        QTest::newRow("empty page counts as one pixel") << zsZoomToFit << 100 << 200 << 200 << 0 << 0 << 200 << 200
                                                        << 19500;
        QTest::newRow("empty area") << zsZoomToFit << 100 << 0 << 0 << 794 << 1123 << 5 << 0 << 0;
        QTest::newRow("area smaller than the frame") << zsZoomToWidth << 100 << 3 << 3 << 794 << 1123 << 3 << 5 << 0;
    }
    void paperSize()
    {
        QFETCH(TZoomState, state);
        QFETCH(int, zoom);
        QFETCH(int, cw);
        QFETCH(int, ch);
        QFETCH(int, px);
        QFETCH(int, py);
        QFETCH(int, w);
        QFETCH(int, h);
        QFETCH(int, effective);
        const TPaperSize s = PaperSizeForArea(state, zoom, cw, ch, px, py, TPaperFrame{});
        QCOMPARE(s.Width, w);
        QCOMPARE(s.Height, h);
        QCOMPARE(s.Zoom, effective);
    }

    void layout_data()
    {
        QTest::addColumn<int>("zoom");
        QTest::addColumn<int>("areaW");
        QTest::addColumn<int>("areaH");
        QTest::addColumn<bool>("scrollX");
        QTest::addColumn<bool>("scrollY");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("top");
        // Page 100 x 200 pixels, frame 5, margin 8, bars 15.
        QTest::newRow("fits: centred") << 100 << 305 << 405 << false << false << 8 + 100 << 8 + 100;
        QTest::newRow("exactly fits") << 100 << 105 << 205 << false << false << 8 << 8;
        QTest::newRow("too high: vertical bar only") << 100 << 305 << 100 << false << true << 8 + 92 << 8;
        QTest::newRow("bar makes it too wide") << 100 << 110 << 100 << true << true << 8 << 8;
        QTest::newRow("both") << 300 << 100 << 100 << true << true << 8 << 8;
    }
    void layout()
    {
        QFETCH(int, zoom);
        QFETCH(int, areaW);
        QFETCH(int, areaH);
        QFETCH(bool, scrollX);
        QFETCH(bool, scrollY);
        QFETCH(int, left);
        QFETCH(int, top);
        const TPreviewLayout l = LayoutPreview(zsZoomOther, zoom, areaW, areaH, 100, 200, TPaperFrame{}, 8, 15, 15);
        QCOMPARE(l.ScrollX, scrollX);
        QCOMPARE(l.ScrollY, scrollY);
        QCOMPARE(l.Left, left);
        QCOMPARE(l.Top, top);
    }

    void scrollPercentNeverDividesByZero()
    {
        QCOMPARE(ScrollPercent(50, 300, 200), 50);
        QCOMPARE(ScrollPercent(50, 200, 200), 0);
        QCOMPARE(ScrollPercent(50, 100, 200), 0);
        QCOMPARE(ScrollFromPercent(50, 400, 200), 100);
        QCOMPARE(ScrollFromPercent(50, 200, 200), 0);
    }

    void zoomLimits_data()
    {
        QTest::addColumn<int>("v");
        QTest::addColumn<int>("expected");
        QTest::newRow("below") << 5 << 10;
        QTest::newRow("inside") << 120 << 120;
        QTest::newRow("above") << 900 << 500;
    }
    void zoomLimits()
    {
        QFETCH(int, v);
        QFETCH(int, expected);
        QCOMPARE(ClampZoom(v, 10, 500), expected);
    }

    void wheel_data()
    {
        QTest::addColumn<QList<int>>("deltas");
        QTest::addColumn<QList<int>>("notches");
        QTest::newRow("three partial deltas make one notch") << QList<int>{40, 40, 40} << QList<int>{0, 0, 1};
        QTest::newRow("one message of two notches") << QList<int>{240} << QList<int>{2};
        QTest::newRow("down") << QList<int>{-120, -60, -60} << QList<int>{-1, 0, -1};
        QTest::newRow("direction change cancels") << QList<int>{80, -80, 120} << QList<int>{0, 0, 1};
    }
    void wheel()
    {
        QFETCH(QList<int>, deltas);
        QFETCH(QList<int>, notches);
        TWheelAccumulator acc;
        QList<int> got;
        for (int d : deltas)
            got << acc.Add(d);
        QCOMPARE(got, notches);
    }

    void formsAreEmulated()
    {
        TPaperForms forms;
        QCOMPARE(forms.Find(2100, 2970), QString("A4"));
        QVERIFY(forms.Find(1000, 1500).isEmpty());
        const QString name = AutoFormName(10000, 15000);
        QCOMPARE(name, QString("100mm x 150mm"));
        QVERIFY(forms.Add({name, 100000, 150000}));
        QVERIFY(!forms.Add({name, 100000, 150000}));
        QCOMPARE(forms.Find(1000, 1500), name);
        QVERIFY(forms.Remove("100MM X 150MM"));
        QVERIFY(forms.Find(1000, 1500).isEmpty());
        QVERIFY(!forms.Remove(name));
    }

    void printJobOptions_data()
    {
        QTest::addColumn<QString>("media");
        QTest::addColumn<TPrinterOrientation>("orientation");
        QTest::addColumn<QByteArrayList>("expected"); // name, value, name, value ...
        QTest::newRow("A4 portrait states portrait")
            << "A4" << poPortrait << QByteArrayList{"media", "A4", "orientation-requested", "3"};
        QTest::newRow("letter landscape")
            << "Letter" << poLandscape << QByteArrayList{"media", "Letter", "orientation-requested", "4"};
        QTest::newRow("custom form") << "Custom.100x150mm" << poPortrait
                                     << QByteArrayList{"media", "Custom.100x150mm", "orientation-requested", "3"};
        QTest::newRow("no paper name: orientation still stated")
            << "" << poPortrait << QByteArrayList{"orientation-requested", "3"};
    }
    void printJobOptions()
    {
        QFETCH(QString, media);
        QFETCH(TPrinterOrientation, orientation);
        QFETCH(QByteArrayList, expected);
        QByteArrayList got;
        for (const auto &[name, value] : PrintJobOptions(media, orientation))
            got << name << value;
        QCOMPARE(got, expected);
    }
};

QTEST_APPLESS_MAIN(TstPreviewGeometry)
#include "tst_previewgeometry.moc"
