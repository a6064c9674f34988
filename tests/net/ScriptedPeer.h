#pragma once
// A scripted peer of the LAN protocol on the project's own codec: a bare UDP
// socket that sends the telegrams a test writes, records every telegram it
// receives and acknowledges the reliable ones, as a real machine would.

#include "net/UNETZ_Telegram.h"

#include <QHash>
#include <QHostAddress>
#include <QNetworkDatagram>
#include <QString>
#include <QUdpSocket>
#include <vector>

class TScriptedPeer {
public:
    struct TReceived {
        TTelegram Tel;
        QString From;
        int Size = 0;
    };

    // Binds the address and the one port all machines use.
    bool Bind(const QString &address, int port)
    {
        Address = address;
        Port = port;
        return Socket.bind(QHostAddress(address), quint16(port), QAbstractSocket::DontShareAddress);
    }

    // One telegram as it stands (ACK -1 for a single datagram, 1 reliable).
    void Send(const TTelegram &tel, const QString &to)
    {
        Socket.writeDatagram(EncodeTelegram(tel), QHostAddress(to), quint16(Port));
    }
    // A single datagram of a kind, with text when one is given.
    void SendDatagram(int aktion, const QString &to, const QString &text = QString(), int gid = -1)
    {
        TTelegram t;
        t.Aktion = aktion;
        t.ACK = -1;
        t.Gid = gid;
        if (!text.isNull()) {
            t.Data = 1;
            t.SetText(text);
        }
        Send(t, to);
    }
    // A reliable telegram from the peer's queue for slot loop, numbered tan.
    void SendReliable(TTelegram t, const QString &to, int loop, int tan)
    {
        t.ACK = 1;
        t.Loop = loop;
        t.TAN = tan;
        t.RetryCount = 100;
        Send(t, to);
    }

    // Reads what has arrived; acknowledges every reliable telegram (while
    // AutoAck is off, reliable ones are dropped unread, as if lost).
    void Pump()
    {
        while (Socket.hasPendingDatagrams()) {
            const QNetworkDatagram d = Socket.receiveDatagram();
            TTelegram t;
            if (DecodeTelegram(d.data(), t) != TWireStatus::Ok)
                continue;
            const QString from = QHostAddress(d.senderAddress().toIPv4Address()).toString();
            if (t.ACK == 1) {
                if (!AutoAck)
                    continue;
                Socket.writeDatagram(EncodeAcknowledgement(t), QHostAddress(from), quint16(Port));
                // A resend after a slow acknowledgement is the same telegram.
                const QString key = QStringLiteral("%1/%2/%3").arg(from).arg(t.Loop).arg(t.TAN);
                if (LastTan.value(from + QString::number(t.Loop)) == key)
                    continue;
                LastTan.insert(from + QString::number(t.Loop), key);
            }
            Received.push_back({t, from, int(d.data().size())});
        }
    }

    // The telegrams (not acknowledgements) of a kind received so far.
    std::vector<TTelegram> OfKind(int aktion) const
    {
        std::vector<TTelegram> out;
        for (const TReceived &r : Received)
            if (r.Tel.Aktion == aktion && r.Tel.ACK != 0)
                out.push_back(r.Tel);
        return out;
    }

    QUdpSocket Socket;
    QString Address;
    int Port = 0;
    bool AutoAck = true;
    std::vector<TReceived> Received;
    QHash<QString, QString> LastTan;
};
