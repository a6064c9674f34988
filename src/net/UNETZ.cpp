#include "net/UNETZ.h"

#include "core/USonstiges.h"
#include "core/USystem.h"

#include <QNetworkInterface>
#include <QUdpSocket>

TNETZ *NETZ = nullptr;

TNETZ::TNETZ(QObject *parent) : QObject(parent)
{
    SendTimer = new TTimer(this, 1, false);
    SendTimer->setTimerType(Qt::PreciseTimer);
    connect(SendTimer, &QTimer::timeout, this, &TNETZ::SendTimerTimer);
    StartTimer = new TTimer(this, 1000, false);
}

QString TNETZ::LocalAddress() const
{
    if (!SudokuEnv().SelfIp.isEmpty())
        return SudokuEnv().SelfIp;
    for (const QNetworkInterface &iface : QNetworkInterface::allInterfaces()) {
        if (!(iface.flags() & QNetworkInterface::IsUp) || (iface.flags() & QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry &e : iface.addressEntries())
            if (e.ip().protocol() == QAbstractSocket::IPv4Protocol)
                return e.ip().toString();
    }
    return QStringLiteral("127.0.0.1");
}

void TNETZ::SetPort(int port) { Port = port; }

void TNETZ::SendTimerTimer() {}
void TNETZ::SendOptions() {}
void TNETZ::SendSymbols() {}
void TNETZ::StartNetworkGame() {}
void TNETZ::EnterNumber(int, int, int) {}
void TNETZ::ClearCells(int, int) {}
void TNETZ::SendUsedMarks() {}
void TNETZ::SendLogoff() {}
void TNETZ::SendServerLogoff() {}
void TNETZ::SendChat(const QString &, const QString &) {}
