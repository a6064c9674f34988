#pragma once
// Creates and destroys the program's windows in their fixed order; used by
// the entry and by the tests' fixture, so both build the same program.

void CreateSudokuWindows();
void DestroySudokuWindows();
// Loads the German texts of Qt's own dialogs.
void InstallGermanTranslation();
