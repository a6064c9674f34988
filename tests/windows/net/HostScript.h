#pragma once
// The host of a LAN game played by hand from a bare loopback peer, for tests
// of the machine under test as its client (slot 2): the telegrams of the
// host's queue for that slot, numbered on, and the ones a login and a game
// start consist of.

#include "common/LoopbackPeer.h"
#include "net/UNETZ_Telegram.h"

#include <QString>
#include <vector>

class THostScript {
public:
    THostScript(TLoopbackPeer &peer, const QString &client) : m_peer(peer), m_client(client) {}

    // A reliable telegram from the host's queue for slot 2.
    void Send(TTelegram t) { m_peer.SendReliable(t, m_client, 2, m_tan++); }
    void Send(const std::vector<TTelegram> &tels)
    {
        for (const TTelegram &t : tels)
            Send(t);
    }

    // The player entry of a slot: "name~address".
    void Entry(int slot, const QString &text)
    {
        TTelegram t;
        t.Aktion = akPlayerEntry;
        t.z = slot;
        t.Data = 1;
        t.SetText(text);
        Send(t);
    }

    // The client's own player number.
    void PlayerId(int slot)
    {
        TTelegram t;
        t.Aktion = akPlayerId;
        t.Gid = slot;
        Send(t);
    }

    // A phase of the start sequence: a chunk of the board in phase 5, the
    // free cells in phase 0.
    void Phase(int a, int chunk = 0, const QString &text = QString(), int b = 0)
    {
        TTelegram t;
        t.Aktion = akStartPhase;
        t.a = a;
        t.y = chunk;
        t.b = b;
        if (!text.isEmpty()) {
            t.Data = 1;
            t.SetText(text);
        }
        Send(t);
    }

    // A game start up to the sync phase: phase 6, the board in three
    // chunks, phase 4.
    void StartRound(const QString &puzzle)
    {
        Phase(6);
        for (int chunk = 0; chunk < 3; ++chunk)
            Phase(5, chunk, puzzle.mid(27 * chunk, 27));
        Phase(4);
    }

private:
    TLoopbackPeer &m_peer;
    QString m_client;
    int m_tan = 0;
};
