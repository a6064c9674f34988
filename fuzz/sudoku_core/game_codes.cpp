// Every text form a puzzle or a game arrives in: typed game codes, puzzle
// strings, the nine lines of a puzzle file, rotation codes and digit maps.
#include "FuzzKit.h"
#include "codes/UQuadrivo_Codes.h"

#include <QStringList>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TFuzzReader in(data, size);
    const uint8_t route = in.Byte();
    const QString text = QString::fromUtf8(in.Rest());

    TGameCodeParts parts;
    QString error;
    if (ParseGameCode(text, parts, error)) {
        if (parts.Puzzle.size() != 81 || parts.Options.size() != 5 || parts.Symbols.size() != 9)
            abort();
        TBoardLayer layer{};
        LoadPuzzleStringInto(layer, parts.Puzzle);
        if (BuildPuzzleStringFrom(layer).size() != 81)
            abort();
    } else if (error.isEmpty()) {
        abort();
    }

    TBoardLayer layer{};
    LoadPuzzleStringInto(layer, text);
    (void)BuildPuzzleStringFrom(layer);

    const QStringList lines = text.split(QLatin1Char('\n'));
    QString lineError;
    (void)CheckPuzzleLines(lines, lineError);
    TBoardLayer fromLines{};
    (void)LoadPuzzleLinesInto(fromLines, lines);

    // The transformations take codes of a fixed length; anything else must
    // leave the board sane too.
    ApplyRotationCodeTo(layer, route & 1 ? text : text.left(8));
    ApplyDigitMapTo(layer, route & 2 ? text : text.left(9));
    (void)BuildPuzzleStringFrom(layer);
    for (const QChar c : text)
        (void)IsPuzzleLetter(c);
    return 0;
}
