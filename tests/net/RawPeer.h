#pragma once
// A second machine on loopback that speaks the wire form by hand: it
// acknowledges every reliable telegram it receives, keeps each one with its
// size on the wire, and can send telegrams of its own to the host. It runs
// none of the program's handlers, so it leaves the game state of the process
// to the host under test.

#include "net/UNETZ_Telegram.h"

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QObject>
#include <QUdpSocket>
#include <functional>
#include <vector>

class TRawPeer : public QObject {
public:
    struct TReceived {
        TTelegram Tel;
        int Size = 0;
    };

    TRawPeer(const QString &address, const QString &host, int port) : m_host(host), m_port(port)
    {
        Bound = m_socket.bind(QHostAddress(address), quint16(port), QAbstractSocket::ShareAddress);
        connect(&m_socket, &QUdpSocket::readyRead, this, [this] { read(); });
    }

    // Sends one reliable telegram (ACK 1) to the host, numbered on from the last.
    void Send(TTelegram t)
    {
        t.ACK = 1;
        t.TAN = m_nextTan;
        t.Loop = 1;
        t.RetryCount = 100;
        m_nextTan = (m_nextTan + 1) % kTelegramRingSize;
        m_socket.writeDatagram(EncodeTelegram(t), QHostAddress(m_host), quint16(m_port));
    }

    // The telegrams of one kind, in the order they arrived.
    std::vector<TReceived> OfKind(int kind) const
    {
        std::vector<TReceived> out;
        for (const TReceived &r : Received)
            if (r.Tel.Aktion == kind)
                out.push_back(r);
        return out;
    }

    bool Has(int kind, int a = -1000) const
    {
        for (const TReceived &r : Received)
            if (r.Tel.Aktion == kind && (a == -1000 || r.Tel.a == a))
                return true;
        return false;
    }

    bool Bound = false;
    std::vector<TReceived> Received;
    // Called for every telegram after it was acknowledged.
    std::function<void(const TTelegram &)> OnTelegram;

private:
    void read()
    {
        while (m_socket.hasPendingDatagrams()) {
            const QNetworkDatagram d = m_socket.receiveDatagram();
            TTelegram t;
            if (DecodeTelegram(d.data(), t) != TWireStatus::Ok || t.ACK == 0)
                continue;
            if (t.ACK == 1)
                m_socket.writeDatagram(EncodeAcknowledgement(t), QHostAddress(m_host), quint16(m_port));
            // A resend of what we already have: its acknowledgement was late.
            if (!Received.empty() && Received.back().Tel.TAN == t.TAN && Received.back().Tel.Aktion == t.Aktion)
                continue;
            Received.push_back({t, int(d.data().size())});
            if (OnTelegram)
                OnTelegram(t);
        }
    }

    QUdpSocket m_socket;
    QString m_host;
    int m_port = 0;
    int m_nextTan = 0;
};
