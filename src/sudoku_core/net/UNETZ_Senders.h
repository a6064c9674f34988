#pragma once
// Who may send which telegram kind. A datagram's source address is all a
// receiver knows of its sender, so each kind is taken only from the machine
// that sends it in the protocol: the host's kinds from the host's address,
// a player's kinds from the address of the slot they name, and only the
// search, the offer and the login from anybody, since that is how a stranger
// finds a game and becomes a player. Free of the network and of windows.

#include "net/UNETZ_Telegram.h"

#include <QString>

enum class TSenderRole {
    Anybody,     // 102 search, 103 offer, 104 login, 119 chat
    Host,        // kinds only the host sends
    NamedPlayer, // kinds a player sends about himself (Gid is his slot)
};
TSenderRole SenderRoleOf(int32_t kind);

enum class TSenderVerdict {
    Take,
    Drop,
    // A chat line that names a slot its source does not hold: shown as from
    // a stranger, under the source address.
    TakeAsStranger,
};

// The addresses a receiver knows its peers by: slot p's address at index p
// (index 0 unused), and the address this machine last sent its login to
// (the host-to-be, before its own player entry has arrived).
struct TKnownSenders {
    QString SlotAddress[9];
    QString LoginTarget;
    // This machine is the host, player 1: what travels in player 1's name
    // comes from itself, through its own queue and back over its listener.
    bool SelfHost = false;
    // The telegram is the one waiting at the head of the own slot's queue,
    // arriving from the address that queue sends to: the host's own.
    bool OwnQueueHead = false;
};

// Whether a telegram of tel's kind that arrived from peer is handled.
TSenderVerdict JudgeSender(const TTelegram &tel, const QString &peer, const TKnownSenders &known);
