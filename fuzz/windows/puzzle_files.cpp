// A ".sudoku" file as the editor loads it, and as the import of a new game
// picks it from the import folder.
#include "FuzzWindows.h"
#include "board/UQuadrivo.h"
#include "common/Fixture.h"
#include "screens/UGameOptionen.h"
#include "screens/UVorgabe.h"

#include <QDir>
#include <QLineEdit>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TTestFixture &fx = FuzzWindows();
    fx.Dialogs.Shown.clear();
    static const QString dir = [] {
        const QString d = FuzzFilePath(QStringLiteral("import"));
        QDir().mkpath(d);
        return d;
    }();
    const QString path = QDir(dir).filePath(QStringLiteral("mittel.sudoku"));
    if (!WriteFuzzFile(path, QByteArray(reinterpret_cast<const char *>(data), qsizetype(size))))
        return 0;

    (void)Form1->EditorLoadPuzzle(path);

    Form1->GameRunning = false;
    Form1->SinglePlayerGame = true;
    Vorgabe->SpielVorgabe->clear();
    FormGO->SetImport(1);
    FormGO->ImportDir->setText(QDir::toNativeSeparators(dir));
    FormGO->SetLevel(1);
    Form1->FileBox->SetDirectory(dir);
    if (Form1->PrepareNewGame())
        (void)Form1->BuildPuzzleString();
    FormGO->SetImport(0);
    return 0;
}
