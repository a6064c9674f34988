#include "FuzzWindows.h"

#include "board/UQuadrivo.h"
#include "common/Fixture.h"
#include "net/UNETZ.h"
#include "settings/USonstiges.h"

#include <QApplication>
#include <QTimer>

TTestFixture &FuzzFixture()
{
    static TTestFixture *fx = nullptr;
    if (!fx) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("SUDOKU_LOOPBACK_ONLY", "1");
        // Qt's own warnings would flood the fuzzer's output.
        qputenv("QT_LOGGING_RULES", "*=false");
        // Both kept for the whole run: the fuzzer ends the process itself,
        // and the settings store, a static object, may be gone by then.
        new QApplication(FuzzArgc(), FuzzArgv());
        FuzzLeaveFoldersToFixture();
        fx = new TTestFixture();
    }
    return *fx;
}

TTestFixture &FuzzWindows()
{
    TTestFixture &fx = FuzzFixture();
    static bool built = false;
    if (!built) {
        built = true;
        RegWriteInteger(QStringLiteral("Disclaimer"), 1);
        fx.CreateWindows();
        fx.RunStartupTo(160);
        for (QTimer *t : {static_cast<QTimer *>(NETZ->SendTimer), static_cast<QTimer *>(Form1->Blinken),
                          static_cast<QTimer *>(Form1->MsgTimer), static_cast<QTimer *>(Form1->WartezeitTimer),
                          static_cast<QTimer *>(Form1->SplashTimer)})
            t->stop();
    }
    return fx;
}
