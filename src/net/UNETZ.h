#pragma once
// The network data module: the telegram transport and protocol.

#include "net/UNETZ_Telegram.h"
#include "ui/Controls.h"

#include <QObject>
#include <QString>

class QUdpSocket;

class TNETZ : public QObject {
    Q_OBJECT
public:
    explicit TNETZ(QObject *parent = nullptr);

    TTelegram Tel;
    int32_t MyPlayerNo = 0;
    QString BoardText;
    TTimer *SendTimer = nullptr;
    TTimer *StartTimer = nullptr;
    QUdpSocket *UDPEmpf = nullptr;
    QUdpSocket *UDPSender = nullptr;
    QString SenderHost = QStringLiteral("255.255.255.255");
    int Port = 2401;
    bool ListenerActive = false;

    // The machine's own address as the local-address watcher reports it.
    QString LocalAddress() const;
    bool IsListenerActive() const { return ListenerActive; }
    // Applies a new port to the sender and, when listening, rebinds the listener.
    void SetPort(int port);

    void SendTimerTimer();
    void SendOptions();
    void SendSymbols();
    void StartNetworkGame();
    void EnterNumber(int x, int y, int digit);
    void ClearCells(int x, int y);
    void SendUsedMarks();
    void SendLogoff();
    void SendServerLogoff();
    void SendChat(const QString &text, const QString &to);
};

extern TNETZ *NETZ;
