#pragma once
// The lobby rules, free of the network and of windows: player entries, the
// login slot and the search list's difficulty text.

#include <QString>

struct TPlayerRecord;

// A player entry's text "name~address": split at the last "~", since a
// nickname may hold one and an address never does. Without "~" the name is
// empty and the whole text is the address.
void SplitPlayerEntry(const QString &text, QString &name, QString &address);
// The slot a login from the address gets (0: none): slot 1 for the host's
// own login; for anybody else the first slot 2 to 8 that is free or already
// holds the address, failing that the first one whose player has left.
int ChooseLoginSlot(const TPlayerRecord *table, const QString &address, bool fromHost);
// The search list's "Schwierigkeit" of an offer from its packed options y
// (level, symbols, import) and a (Bingo).
QString OfferDifficultyText(int y, int a);
