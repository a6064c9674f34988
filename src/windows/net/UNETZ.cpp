// The network data module: its components, the listener and the port, and
// the table of telegram kinds that the dispatcher follows.
#include "net/UNETZ.h"

#include "board/ULog.h"
#include "board/UQuadrivo.h"
#include "screens/UGameOptionen.h"
#include "settings/USystem.h"

#include <QNetworkInterface>
#include <QUdpSocket>

TNETZ *NETZ = nullptr;

TNETZ::TNETZ(QObject *parent)
    : QObject(parent), SearchAnswers(kSearchAnswersPerSecond, PerfFrequency(), kSearchAnswerSources)
{
    BindAddress = SudokuEnv().BindAddress;
    SenderHost = BroadcastTarget();

    UDPEmpf = new QUdpSocket(this);
    UDPSender = new QUdpSocket(this);
    connect(UDPEmpf, &QUdpSocket::readyRead, this, &TNETZ::ReadPendingDatagrams);

    SendTimer = new TTimer(this, 1, false);
    SendTimer->setTimerType(Qt::PreciseTimer);
    connect(SendTimer, &QTimer::timeout, this, &TNETZ::SendTimerTimer);
    StartTimer = new TTimer(this, 1000, false);
    connect(StartTimer, &QTimer::timeout, this, &TNETZ::StartTimerTimer);
}

TNETZ::~TNETZ()
{
    // No handler may run while the module goes away.
    SendTimer->stop();
    StartTimer->stop();
    UDPEmpf->close();
}

bool TNETZ::ListensOnEveryAddress() const
{
    return QHostAddress(BindAddress) == QHostAddress(QHostAddress::AnyIPv4);
}

QString TNETZ::LocalAddress() const
{
    if (!SudokuEnv().SelfIp.isEmpty())
        return SudokuEnv().SelfIp;
    // A listener bound to one address hears nothing sent to any other.
    const QHostAddress bound(BindAddress);
    if (bound.protocol() == QAbstractSocket::IPv4Protocol && !ListensOnEveryAddress())
        return bound.toString();
    for (const QNetworkInterface &iface : QNetworkInterface::allInterfaces()) {
        if (!(iface.flags() & QNetworkInterface::IsUp) || (iface.flags() & QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry &e : iface.addressEntries())
            if (e.ip().protocol() == QAbstractSocket::IPv4Protocol)
                return e.ip().toString();
    }
    return QStringLiteral("127.0.0.1");
}

QString TNETZ::BroadcastTarget() const
{
    return SudokuEnv().BroadcastAddress;
}

TPlayerRecord *TNETZ::PlayerSlots() const
{
    if (PlayerTable)
        return PlayerTable;
    return Form1 ? Form1->Players : nullptr;
}

// ---- listener and port ----------------------------------------------------

bool TNETZ::BindListener(int port)
{
    UDPEmpf->close();
    const QHostAddress addr(BindAddress);
    // IPv4 only, so that source addresses always read as dotted quads.
    if (addr.protocol() != QAbstractSocket::IPv4Protocol) {
        TraceCat(0, QStringLiteral("ERROR: Ungültige Bind-Adresse <%1>").arg(BindAddress));
        return false;
    }
    if (!UDPEmpf->bind(addr, quint16(port), QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint)) {
        TraceCat(0, QStringLiteral("ERROR: Port %1 auf %2 nicht zu öffnen: %3")
                        .arg(port)
                        .arg(BindAddress, UDPEmpf->errorString()));
        UDPEmpf->close();
        return false;
    }
    EnsureSender();
    return true;
}

void TNETZ::EnsureSender()
{
    // The sender leaves from the listener's address, so that a peer bound to
    // one address of several sees the right source and answers there.
    // Parsed again only when it changes: this runs before every datagram.
    if (!SenderBindParsed || SenderBindText != BindAddress) {
        SenderBindText = BindAddress;
        SenderBindAddress = QHostAddress(BindAddress);
        SenderBindParsed = true;
    }
    const QHostAddress &addr = SenderBindAddress;
    if (UDPSender->state() == QAbstractSocket::BoundState && UDPSender->localAddress() == addr)
        return;
    UDPSender->close();
    if (!UDPSender->bind(addr, 0))
        TraceCat(0, QStringLiteral("ERROR: Sender nicht zu öffnen: %1").arg(UDPSender->errorString()));
}

bool TNETZ::SetListenerActive(bool on)
{
    if (!on) {
        if (ListenerActive)
            TraceCat(9, QStringLiteral("UDP-Empfang aus"));
        ListenerActive = false;
        UDPEmpf->close();
        // Nothing goes out now, so nobody can be expected to answer.
        for (bool &w : AwaitingAnswer)
            w = false;
        return true;
    }
    if (ListenerActive)
        return true;
    if (!BindListener(Port))
        return false;
    ListenerActive = true;
    // Peers may have started their numbering again while we were not listening.
    ForgetAllPeers();
    // What was queued while we were off goes out now.
    WakeSendTimer();
    TraceCat(9, QStringLiteral("UDP-Empfang an %1:%2").arg(BindAddress).arg(Port));
    return true;
}

bool TNETZ::SetPort(int port)
{
    if (port < 1 || port > 65535)
        return false;
    if (!ListenerActive || port == Port) {
        Port = port;
        return true;
    }
    const int old = Port;
    if (BindListener(port)) {
        Port = port;
        return true;
    }
    // Keep listening where we were rather than fall silent.
    if (!BindListener(old))
        ListenerActive = false;
    return false;
}

// ---- the kinds ----------------------------------------------------------------

namespace {
using K = TNETZ::TKindInfo;
// Local path: the handler runs at once while the listener is off. Kinds
// without one are only queued then; single datagrams are not sent at all.
const K kKinds[] = {
    {akOptions, false, &TNETZ::OnOptions, nullptr, nullptr, false},
    {akSearch, false, nullptr, nullptr, &TNETZ::OnSearch, false},
    {akGameOffer, false, nullptr, nullptr, &TNETZ::OnSearch, true},
    {akLogin, false, nullptr, nullptr, &TNETZ::OnLogin, false},
    {akPlayerEntry, false, nullptr, nullptr, &TNETZ::OnLogin, true},
    {akCellResult, true, &TNETZ::OnCellResult, nullptr, nullptr, false},
    {akStartPhase, true, &TNETZ::OnStartPhase, nullptr, nullptr, false},
    {akEntry, true, &TNETZ::EvaluateEntry, nullptr, nullptr, false},
    {akBlink, true, &TNETZ::OnBlink, nullptr, nullptr, false},
    {akStats, true, &TNETZ::OnStats, nullptr, nullptr, false},
    {akLogoff, false, nullptr, &TNETZ::OnLogoff, nullptr, false},
    {akMaxMarks, true, &TNETZ::OnMaxMarks, nullptr, nullptr, false},
    {akEndOfGame, true, &TNETZ::OnEndOfGame, nullptr, nullptr, false},
    {akGameEnded, false, &TNETZ::OnGameEnded, nullptr, nullptr, false},
    {akPenalty, true, &TNETZ::OnPenalty, nullptr, nullptr, false},
    {akPlayerName, true, &TNETZ::OnPlayerName, nullptr, nullptr, false},
    {akChat, false, nullptr, &TNETZ::OnChat, nullptr, false},
    {akPlayerId, false, &TNETZ::OnPlayerId, nullptr, nullptr, false},
    {akServerLogoff, false, &TNETZ::OnServerLogoff, nullptr, nullptr, false},
    {akSymbols, true, &TNETZ::OnSymbols, nullptr, nullptr, false},
    {akTournament, false, &TNETZ::OnTournamentData, nullptr, nullptr, false},
    {akBingo, true, &TNETZ::OnBingo, nullptr, nullptr, false},
    {akGameOver, true, &TNETZ::OnGameOver, nullptr, nullptr, false},
    {akCounts, true, &TNETZ::OnCounts, nullptr, nullptr, false},
    {akWrongSolution, true, &TNETZ::OnWrongSolution, nullptr, nullptr, false},
    {akClearCells, true, &TNETZ::OnClearCells, nullptr, nullptr, false},
    {akReady, true, &TNETZ::OnReady, nullptr, nullptr, false},
    {akUsedMarks, true, &TNETZ::OnUsedMarks, nullptr, nullptr, false},
};
} // namespace

const TNETZ::TKindInfo *TNETZ::KindInfo(int32_t kind)
{
    for (const K &k : kKinds)
        if (k.Kind == kind)
            return &k;
    return nullptr;
}

bool TNETZ::RunHandler(const QString &peer)
{
    const TKindInfo *k = KindInfo(Tel.Aktion);
    if (!k)
        return false;
    emit TelegramDispatched(Tel, peer);
    if (k->Handler)
        (this->*k->Handler)();
    else if (k->PeerHandler)
        (this->*k->PeerHandler)(peer);
    else if (k->FlagPeerHandler)
        (this->*k->FlagPeerHandler)(k->Flag, peer);
    return true;
}

// ---- handlers of the transport's own kinds --------------------------------
// No part of the program sends these two, but every receiver understands them.

void TNETZ::OnMaxMarks()
{
    if (FormGO)
        FormGO->SetMaxMarksValue(Tel.x);
}

void TNETZ::OnPlayerName()
{
    TPlayerRecord *table = PlayerSlots();
    if (table && Tel.Gid >= 1 && Tel.Gid <= 8)
        table[Tel.Gid].Name = Tel.Text().left(15);
}
