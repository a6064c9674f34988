// Who may send which telegram kind; see the header.
#include "net/UNETZ_Senders.h"

TSenderRole SenderRoleOf(int32_t kind)
{
    switch (kind) {
    case akSearch:
    case akGameOffer:
    case akLogin:
    case akChat:
        return TSenderRole::Anybody;
    case akEntry:
    case akLogoff:
    case akClearCells:
    case akReady:
    case akUsedMarks:
        return TSenderRole::NamedPlayer;
    default:
        // Everything else travels from the host, also the kinds nothing
        // sends (113, 118) and kinds the protocol does not know.
        return TSenderRole::Host;
    }
}

namespace {
bool holdsSlot(const TKnownSenders &known, int32_t slot, const QString &peer)
{
    return slot >= 1 && slot <= 8 && !peer.isEmpty() && known.SlotAddress[slot] == peer;
}

bool isHost(const TKnownSenders &known, const QString &peer)
{
    // The machine the login went to is the host as well: its own player
    // entry, which fills slot 1, is the first thing it sends back.
    return !peer.isEmpty() && (known.SlotAddress[1] == peer || known.LoginTarget == peer);
}
} // namespace

TSenderVerdict JudgeSender(const TTelegram &tel, const QString &peer, const TKnownSenders &known)
{
    const TSenderRole role = SenderRoleOf(tel.Aktion);
    // The host's own address is no proof on the host: any process of the
    // machine can send from it. What claims to come from player 1 is taken
    // only as the telegram the host really sent itself.
    if (known.SelfHost) {
        const bool chat = tel.Aktion == akChat;
        const bool asPlayer1 =
            role == TSenderRole::Host || (tel.Gid == 1 && (role == TSenderRole::NamedPlayer || chat));
        if (asPlayer1) {
            if (known.OwnQueueHead)
                return TSenderVerdict::Take;
            return chat ? TSenderVerdict::TakeAsStranger : TSenderVerdict::Drop;
        }
    }
    switch (role) {
    case TSenderRole::Anybody:
        if (tel.Aktion == akChat && tel.Gid >= 1 && tel.Gid <= 8 && !holdsSlot(known, tel.Gid, peer))
            return TSenderVerdict::TakeAsStranger;
        return TSenderVerdict::Take;
    case TSenderRole::NamedPlayer:
        return holdsSlot(known, tel.Gid, peer) ? TSenderVerdict::Take : TSenderVerdict::Drop;
    case TSenderRole::Host:
        return isHost(known, peer) ? TSenderVerdict::Take : TSenderVerdict::Drop;
    }
    return TSenderVerdict::Drop;
}
