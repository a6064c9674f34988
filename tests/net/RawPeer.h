#pragma once
// The loopback peer bound at construction, for the tests written against it
// that way: what it keeps is read by kind with the size on the wire.

#include "common/LoopbackPeer.h"

class TRawPeer : public TLoopbackPeer {
public:
    TRawPeer(const QString &address, const QString &host, int port)
    {
        Host = host;
        Bound = Bind(address, port);
    }

    // The telegrams of one kind with their sizes, in the order they arrived.
    std::vector<TReceived> OfKind(int kind) const
    {
        std::vector<TReceived> out;
        for (const TReceived &r : Received)
            if (r.Tel.Aktion == kind)
                out.push_back(r);
        return out;
    }

    bool Bound = false;
};
