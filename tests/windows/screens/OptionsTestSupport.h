#pragma once
// What the option-window tests share: the stored form of a value, the tick
// and box pictures, and a started program.

#include "board/UQuadrivo.h"
#include "common/Fixture.h"
#include "screens/UOptionen.h"
#include "screens/UStart.h"
#include "settings/USonstiges.h"

#include <QSettings>
#include <QtTest>
#include <functional>

// The raw stored text of a value: "dword:..." for integers, "sz:..." for strings.
inline QString StoredRaw(const QString &name)
{
    RegFlush();
    QSettings raw(SettingsFilePath(), QSettings::IniFormat);
    for (const QString &k : raw.childKeys())
        if (k.compare(name, Qt::CaseInsensitive) == 0)
            return raw.value(k).toString();
    return QString();
}

inline bool Ticked(const TImage *pic)
{
    return pic->Picture().cacheKey() == FormOpt->Pic_hacken->Picture().cacheKey();
}
inline bool Boxed(const TImage *pic)
{
    return pic->Picture().cacheKey() == FormOpt->pic_box->Picture().cacheKey();
}

// The program started to its last step, the terms accepted, on a fresh store
// or on the one the last run left; the start screen and main window hidden.
inline void StartProgram(TTestFixture &fx, bool clearStore)
{
    fx.DestroyWindows();
    if (clearStore)
        fx.ClearSettings();
    fx.Dialogs.Shown.clear();
    fx.StartProgram();
    FormStart->hide();
    Form1->hide();
}

// After a click on tab `tab` (1..3) of an option window: only its panel is
// shown, the window is head + panel + footer high, the base line leaves out the
// tab, and the caption lies over its painted face.
inline void CheckShownTab(TOptionWindow *w, TLabel *const labels[3], TPanel *const panels[3], TImage *const pictures[3],
                          int tab)
{
    for (int i = 0; i < 3; ++i)
        QCOMPARE(panels[i]->isVisible(), i == tab - 1);
    const TPanel *p = panels[tab - 1];
    QVERIFY(p->Tag > 0);
    QCOMPARE(w->height(), p->Tag + w->Panel_Head->height() + w->Panel_footer->height());
    QCOMPARE(w->BL->width(), pictures[tab - 1]->x());
    QCOMPARE(w->BR->x(), pictures[tab - 1]->geometry().right() + 1);
    QCOMPARE(w->BL->y(), w->Panel_Head->height() - 2);
    QCOMPARE(labels[tab - 1]->geometry(), pictures[tab - 1]->geometry());
    QVERIFY(!pictures[tab - 1]->Picture().isNull());
}

// An option window is centred over the main window's board area at its first
// activation only; after `closeIt` the next activation places it again.
inline void CheckPlacedOnce(TOptionWindow *w, const std::function<void()> &closeIt)
{
    Form1->setGeometry(100, 80, 1020, 725);
    w->show();
    QVERIFY(!w->FirstActivate);
    const int left = std::max(1, 100 + (1020 - Form1->ToolPanel->width() - w->width()) / 2);
    QCOMPARE(w->pos(), QPoint(left, 80 + (725 - w->height()) / 2));
    w->move(5, 5);
    w->hide();
    w->show();
    QCOMPARE(w->pos(), QPoint(5, 5));
    closeIt();
    QVERIFY(!w->isVisible());
    QVERIFY(w->FirstActivate);
    w->show();
    QCOMPARE(w->x(), left);
}
