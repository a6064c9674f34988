#pragma once
// A second machine on loopback that speaks the wire form by hand, on the
// project's own codec: a bare UDP socket that sends the telegrams a test
// writes, keeps every telegram it receives with its sender and its size on
// the wire, and acknowledges the reliable ones as a real machine would. It
// runs none of the program's handlers, so the game state of the process stays
// with the machine under test. Also the loop helpers of the socket tests.

#include "common/TestEnv.h"
#include "net/UNETZ_Telegram.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUdpSocket>
#include <functional>
#include <vector>

class TLoopbackPeer : public QObject {
public:
    struct TReceived {
        TTelegram Tel;
        QString From;
        int Size = 0;
    };

    TLoopbackPeer();

    // Binds the address and the one port all machines use; what arrives is
    // read as it comes (and by Pump()).
    bool Bind(const QString &address, int port);

    // One telegram as it stands (ACK -1 for a single datagram, 1 reliable).
    void Send(const TTelegram &tel, const QString &to);
    // A single datagram of a kind, with text when one is given.
    void SendDatagram(int aktion, const QString &to, const QString &text = QString(), int gid = -1);
    // A reliable telegram from the peer's queue for slot loop, numbered tan.
    void SendReliable(TTelegram t, const QString &to, int loop, int tan);
    // A reliable telegram to Host from the queue of slot 1, numbered on from
    // the last one sent this way.
    void SendToHost(TTelegram t);

    // Reads what has arrived and acknowledges every reliable telegram. One
    // whose number its sender's queue sent last already is a resend after a
    // slow acknowledgement: acknowledged again, kept once.
    void Pump();

    // The telegrams of a kind received so far, in the order they arrived.
    std::vector<TTelegram> OfKind(int aktion) const;
    // The same with their senders and sizes on the wire.
    std::vector<TReceived> ReceivedOfKind(int aktion) const;
    // Whether a telegram of the kind (and with that a) arrived.
    bool Has(int aktion, int a = kAnyA) const;

    static constexpr int kAnyA = -1000;

    // The machine under test, for SendToHost.
    QString Host = QStringLiteral("127.0.0.1");
    QString Address;
    int Port = 0;
    // Telegrams (single datagrams and reliable ones, each once).
    std::vector<TReceived> Received;
    // The acknowledgements of what this peer sent reliably.
    std::vector<TReceived> Acknowledgements;
    // Called for every telegram kept, after it was acknowledged.
    std::function<void(const TTelegram &)> OnTelegram;
    QUdpSocket Socket;

private:
    // The number each sender's queue (address and loop) sent last.
    QHash<QString, int> m_lastTan;
    int m_nextTan = 0;
};

// A port free on both loopback addresses 127.0.0.1 and 127.0.0.2.
inline int freePortOnBoth()
{
    for (int attempt = 0; attempt < 20; ++attempt) {
        QUdpSocket a;
        QUdpSocket b;
        if (!a.bind(QHostAddress(QStringLiteral("127.0.0.1")), 0, QAbstractSocket::DontShareAddress))
            continue;
        const quint16 port = a.localPort();
        if (b.bind(QHostAddress(QStringLiteral("127.0.0.2")), port, QAbstractSocket::DontShareAddress))
            return port;
    }
    return 0;
}

