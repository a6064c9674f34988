#include "common/LoopbackPeer.h"

#include <QNetworkDatagram>

TLoopbackPeer::TLoopbackPeer()
{
    connect(&Socket, &QUdpSocket::readyRead, this, [this] { Pump(); });
}

bool TLoopbackPeer::Bind(const QString &address, int port)
{
    Address = address;
    Port = port;
    return Socket.bind(QHostAddress(address), quint16(port), QAbstractSocket::DontShareAddress);
}

void TLoopbackPeer::Send(const TTelegram &tel, const QString &to)
{
    Socket.writeDatagram(EncodeTelegram(tel), QHostAddress(to), quint16(Port));
}

void TLoopbackPeer::SendDatagram(int aktion, const QString &to, const QString &text, int gid)
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

void TLoopbackPeer::SendReliable(TTelegram t, const QString &to, int loop, int tan)
{
    t.ACK = 1;
    t.Loop = loop;
    t.TAN = tan;
    t.RetryCount = 100;
    Send(t, to);
}

void TLoopbackPeer::SendToHost(TTelegram t)
{
    SendReliable(t, Host, 1, m_nextTan);
    m_nextTan = (m_nextTan + 1) % kTelegramRingSize;
}

void TLoopbackPeer::Pump()
{
    while (Socket.hasPendingDatagrams()) {
        const QNetworkDatagram d = Socket.receiveDatagram();
        TTelegram t;
        if (DecodeTelegram(d.data(), t) != TWireStatus::Ok)
            continue;
        const QString from = QHostAddress(d.senderAddress().toIPv4Address()).toString();
        const TReceived r{t, from, int(d.data().size())};
        if (t.ACK == 0) {
            Acknowledgements.push_back(r);
            continue;
        }
        if (t.ACK == 1) {
            Socket.writeDatagram(EncodeAcknowledgement(t), QHostAddress(from), quint16(Port));
            const QString queue = from + QLatin1Char('/') + QString::number(t.Loop);
            const auto last = m_lastTan.constFind(queue);
            if (last != m_lastTan.constEnd() && *last == t.TAN)
                continue;
            m_lastTan.insert(queue, t.TAN);
        }
        Received.push_back(r);
        if (OnTelegram)
            OnTelegram(t);
    }
}

std::vector<TLoopbackPeer::TReceived> TLoopbackPeer::ReceivedOfKind(int aktion) const
{
    std::vector<TReceived> out;
    for (const TReceived &r : Received)
        if (r.Tel.Aktion == aktion)
            out.push_back(r);
    return out;
}

std::vector<TTelegram> TLoopbackPeer::OfKind(int aktion) const
{
    std::vector<TTelegram> out;
    for (const TReceived &r : ReceivedOfKind(aktion))
        out.push_back(r.Tel);
    return out;
}

bool TLoopbackPeer::Has(int aktion, int a) const
{
    for (const TReceived &r : Received)
        if (r.Tel.Aktion == aktion && (a == kAnyA || r.Tel.a == a))
            return true;
    return false;
}
