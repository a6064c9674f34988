#pragma once
// The calls the end of a game makes into windows that do not offer them
// yet: the results of a tournament stage, of a challenge stage and of a ghost
// game. Each keeps the place of its call, so wiring in the real one is a
// change here only.

#include <QString>
#include <cstdint>

void SaveStageResultsAllLink();
void SaveStageResultLink(const QString &stage, int points, int64_t tenths, int errors);
