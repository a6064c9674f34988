#pragma once
// What the Bingo tests share: built-in puzzles by level and index, and lists
// written and compared as text. Qt Core and the draw only.

#include "board/UQuadrivo_Builtin.h"
#include "solver/UBingo_Draw.h"

#include <QString>
#include <QStringList>

inline QString Builtin(int level, int index)
{
    return QString::fromLatin1(kBuiltinPuzzles[level][index]);
}

// Fills a list from "value@xy/kind" tokens, "-" for a free slot.
inline void SetList(TBingoList &l, const QString &text)
{
    l = TBingoList();
    int slot = 0;
    for (const QString &t : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (t != QLatin1String("-"))
            l.Entries[slot] = {t[2].digitValue(), t[3].digitValue(), t[0].digitValue(), t.mid(5).toInt()};
        ++slot;
    }
}

// Every slot and the offer alike.
inline bool SameList(const TBingoList &a, const TBingoList &b)
{
    for (int i = 0; i < kBingoSlots; ++i) {
        const BingoEntry &x = a.Entries[i], &y = b.Entries[i];
        if (x.x != y.x || x.y != y.y || x.value != y.value || x.kind != y.kind)
            return false;
    }
    return a.OfferValues == b.OfferValues && a.OfferX == b.OfferX && a.OfferY == b.OfferY &&
           a.EntryCount == b.EntryCount && a.InputSinceDraw == b.InputSinceDraw;
}
