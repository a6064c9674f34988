// The shared routines that need the desktop: colour values.
#include "settings/USonstiges.h"

#include <QColor>
#include <QtTest>

class TstDesktop : public QObject {
    Q_OBJECT

private slots:
    void colourValues()
    {
        QCOMPARE(ColorToBGR(ColorFromBGR(0x005EBB)), 0x005EBB);
        QCOMPARE(ColorFromBGR(0x0000FF), QColor(Qt::red));
    }
};

QTEST_MAIN(TstDesktop)
#include "tst_desktop.moc"
