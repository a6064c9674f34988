#pragma once
// One peer of a telegram exchange: a transport with a player table of its
// own, which records every reliable name telegram (118) it handles. The
// sequence number travels in x, so order and repeats can be checked.

#include "board/UQuadrivo_Types.h"
#include "common/LoopbackPeer.h"
#include "net/UNETZ.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class TExchangePeer {
public:
    // The kind exchanged: a chat line from nobody in particular, which a
    // receiver takes from any address, so that two bare transports need no
    // game around them.
    static constexpr int32_t kKind = akChat;

    TExchangePeer(const QString &bindAddress, int port) : Table(new TPlayerRecord[9])
    {
        Net.PlayerTable = Table.get();
        Net.BindAddress = bindAddress;
        Net.Port = port;
        QObject::connect(&Net, &TNETZ::TelegramDispatched, &Net, [this](const TTelegram &tel, const QString &peer) {
            if (tel.Aktion != kKind)
                return;
            if (tel.ACK == 1) {
                Received.push_back(tel.x);
                Texts << tel.Text();
                Peers << peer;
            } else {
                Greetings << peer;
            }
        });
    }

    void AddPeer(int slot, const QString &address)
    {
        Table[slot].Address = address;
        Table[slot].Name = QStringLiteral("Spieler%1").arg(slot);
        Table[slot].Active = true;
    }

    static QString TextOf(int seq) { return QStringLiteral("Nachricht %1 Grüße").arg(seq); }

    // Queues the reliable telegram with number seq to the slot.
    void Queue(int slot, int seq)
    {
        Net.Tel = TTelegram();
        Net.Tel.Aktion = kKind;
        Net.Tel.Gid = -1;
        Net.Tel.x = seq;
        Net.Tel.Data = 1;
        Net.Tel.SetText(TextOf(seq));
        Net.QueueToPlayer(slot);
    }

    // One unacknowledged greeting (x = 0) to the address.
    void Greet(const QString &address)
    {
        Net.Tel = TTelegram();
        Net.Tel.Aktion = kKind;
        Net.Tel.Gid = -1;
        Net.Tel.Data = 1;
        Net.Tel.SetText(QStringLiteral("hallo"));
        Net.SendDatagram(address);
    }

    // True when telegrams 1..count arrived once each, in order, with their texts.
    bool ReceivedInOrder(int count) const
    {
        if (int(Received.size()) != count)
            return false;
        for (int i = 0; i < count; ++i)
            if (Received[size_t(i)] != i + 1 || Texts[i] != TextOf(i + 1))
                return false;
        return true;
    }

    std::unique_ptr<TPlayerRecord[]> Table;
    TNETZ Net;
    std::vector<int> Received;
    QStringList Texts;
    QStringList Peers;
    QStringList Greetings;
};
