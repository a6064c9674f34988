// A game code typed into the start window, through the new game's route:
// checked, then loaded onto the board with its symbols.
#include "FuzzWindows.h"
#include "board/UQuadrivo.h"
#include "common/Fixture.h"
#include "screens/UVorgabe.h"

#include <QLineEdit>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TTestFixture &fx = FuzzWindows();
    fx.Dialogs.Shown.clear();
    Form1->GameRunning = false;
    Form1->SinglePlayerGame = true;
    Vorgabe->SpielVorgabe->setText(
        QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (Form1->PrepareNewGame()) {
        (void)Form1->BuildPuzzleString();
        (void)Form1->SymbolSet;
    }
    Vorgabe->SpielVorgabe->clear();
    return 0;
}
