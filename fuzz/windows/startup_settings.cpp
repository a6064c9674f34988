// The whole start-up with a settings file as a foreign program, an old
// version or a broken disk may leave it, then the close query.
#include "FuzzWindows.h"
#include "board/UQuadrivo.h"
#include "common/Fixture.h"
#include "settings/USonstiges.h"

#include <QApplication>
#include <QWidget>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TTestFixture &fx = FuzzFixture();
    fx.DestroyWindows();
    RegForget();
    if (!WriteFuzzFile(SettingsFilePath(), QByteArray(reinterpret_cast<const char *>(data), qsizetype(size))))
        return 0;
    fx.Dialogs.Shown.clear();
    fx.CreateWindows();
    Form1->show();
    fx.RunStartupTo(160);
    Form1->close();
    for (QWidget *w : QApplication::topLevelWidgets())
        w->hide();
    fx.DestroyWindows();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
