// The lobby rules that need no network and no window (see the header).
#include "net/UNETZ_LobbyRules.h"

#include "board/UQuadrivo_Types.h"
#include "codes/UQuadrivo_Codes.h"

void SplitPlayerEntry(const QString &text, QString &name, QString &address)
{
    // The address never holds a "~", the nickname may: split at the last one.
    const int at = text.lastIndexOf(QLatin1Char('~'));
    if (at < 0) {
        name.clear();
        address = text;
        return;
    }
    name = text.left(at);
    address = text.mid(at + 1);
}

int ChooseLoginSlot(const TPlayerRecord *table, const QString &address, bool fromHost)
{
    if (!table)
        return 0;
    // Slot 1 is the host's own, whoever else logs in first.
    if (fromHost)
        return 1;
    // The player's own slot again, unless a free one comes before it.
    for (int p = 2; p <= 8; ++p)
        if (table[p].Address.isEmpty() || table[p].Address == address)
            return p;
    // Every slot holds an address: a slot whose player left during a game
    // may be taken, or departures would fill the table for good.
    for (int p = 2; p <= 8; ++p)
        if (!table[p].Active)
            return p;
    return 0;
}

QString OfferDifficultyText(int y, int a)
{
    const bool imported = y >= 100;
    if (imported)
        y -= 100;
    int symbols = 0; // 0 digits, 1 letters A-I, 2 random letters
    if (y >= 10) {
        symbols = 1;
        y -= 10;
    }
    if (y >= 10) {
        symbols = 2;
        y -= 10;
    }
    QString text = GameLevelName(y);
    if (a > 0) {
        // Unpacked as the options telegram is: change mode, kind, refill, items.
        if (a >= 2001)
            a -= 2000;
        else if (a >= 1001)
            a -= 1000;
        if (a >= 101)
            a -= 100;
        QString refill = QStringLiteral(" sofort");
        if (a >= 21) {
            refill = QStringLiteral(" leer");
            a -= 10;
        }
        text += QStringLiteral(" (Bingo %1) %2").arg(a - 10).arg(refill);
    } else {
        static const char *const kSymbols[] = {" (1-9)", " (A-I)", " (A-Z)"};
        text += QString::fromLatin1(kSymbols[symbols]);
    }
    if (imported)
        text += QStringLiteral(" Import");
    return text;
}
