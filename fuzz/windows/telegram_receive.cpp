// Datagrams from loopback peers into the receive path and the dispatcher of
// a program that is idle, joined to a game or hosting one that waits.
#include "FuzzGame.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TFuzzReader in(data, size);
    const TFuzzRole roles[] = {TFuzzRole::Idle, TFuzzRole::Client, TFuzzRole::HostLobby};
    if (!FuzzEnterRole(roles[in.Byte() % 3]))
        return 0;
    FuzzPlaySequence(in);
    return 0;
}
