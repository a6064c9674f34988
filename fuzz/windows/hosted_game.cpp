// Forged telegram sequences into a running game this machine hosts for three
// players: entries, results, logoffs and everything else, from the players'
// own addresses and from a stranger, between steps of the clocks.
#include "FuzzGame.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TFuzzReader in(data, size);
    if (!FuzzEnterRole(TFuzzRole::HostGame))
        return 0;
    FuzzPlaySequence(in);
    return 0;
}
