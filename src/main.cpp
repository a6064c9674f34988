#include "board/UQuadrivo.h"
#include "board/USudokuApp.h"
#include "settings/USonstiges.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Sudoku"));
    // The main window hides itself while the terms of use wait; the program
    // ends only when the main window closes.
    QApplication::setQuitOnLastWindowClosed(false);
    InstallGermanTranslation();
    // A terminated program still keeps the settings it changed.
    RegFlushOnTerminateSignals();

    CreateSudokuWindows();
    Form1->show();
    const int rc = QApplication::exec();
    DestroySudokuWindows();
    return rc;
}
