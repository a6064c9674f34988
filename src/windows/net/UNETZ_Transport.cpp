// The reliable transport: per-peer send rings in the player records, the
// 1 ms send timer, the receiver, the dispatcher and the sender pattern.
#include "net/UNETZ.h"

#include "board/ULog.h"
#include "board/UQuadrivo.h"
#include "net/UNETZ_Senders.h"
#include "settings/USonstiges.h"
#include "settings/USystem.h"

#include <QUdpSocket>

namespace {
constexpr int kResendTicks = 100;
constexpr int kSendIntervalMs = 1;
constexpr int kIdleIntervalMs = 50;
// Source addresses times Loops the repeat filter holds at most.
constexpr int kRepeatFilterMax = 1024;
const QString kLimitedBroadcast = QStringLiteral("255.255.255.255");

// Formatting a trace line costs more than the whole idle tick: skip it while
// its category is off.
bool traceOn(int category)
{
    return Trace && Trace->IsCatOn(category);
}

QString gidStar(int32_t gid)
{
    return gid == -1 ? QStringLiteral("*") : QString::number(gid);
}

// "Gid(..) Aktion(..) x,y,z(..) a,b(..) Data(T/F) =<text>"
QString telFields(const TTelegram &t, const QString &gid)
{
    return QStringLiteral("Gid(%1) Aktion(%2) x,y,z(%3,%4,%5) a,b(%6,%7) Data(%8) =<%9>")
        .arg(gid)
        .arg(t.Aktion)
        .arg(t.x)
        .arg(t.y)
        .arg(t.z)
        .arg(t.a)
        .arg(t.b)
        .arg(BoolToTF(t.Data != 0), t.Data != 0 ? t.Text() : QString());
}

QString telHead(const QString &lead, const TTelegram &t)
{
    return QStringLiteral("%1 HS.Loop(%2) HS.TAN(%3) HS.ACK(%4) ").arg(lead).arg(t.Loop).arg(t.TAN).arg(t.ACK);
}

int nextIndex(int i)
{
    return i >= kTelegramRingSize - 1 ? 0 : i + 1;
}

bool isSlot(int p)
{
    return p >= 1 && p <= 8;
}

// Addresses a cache of the texts below holds at most; more and it starts afresh.
constexpr int kAddressCacheMax = 256;

// The source address as a dotted quad, also when the stack reports an
// IPv4-mapped IPv6 address. The same few peers send every datagram, so each
// one's text is written once.
QString dottedQuad(const QHostAddress &addr)
{
    bool ok = false;
    const quint32 v4 = addr.toIPv4Address(&ok);
    if (!ok)
        return addr.toString();
    static QHash<quint32, QString> texts;
    auto it = texts.constFind(v4);
    if (it == texts.constEnd()) {
        if (texts.size() >= kAddressCacheMax)
            texts.clear();
        it = texts.insert(v4, QHostAddress(v4).toString());
    }
    return *it;
}

// An address text parsed, once for each text: every datagram out and every
// acknowledgement in names one of the same few.
QHostAddress parsedAddress(const QString &text)
{
    static QHash<QString, QHostAddress> parsed;
    auto it = parsed.constFind(text);
    if (it == parsed.constEnd()) {
        if (parsed.size() >= kAddressCacheMax)
            parsed.clear();
        it = parsed.insert(text, QHostAddress(text));
    }
    return *it;
}
} // namespace

// ---- queues -------------------------------------------------------------------

int TNETZ::QueuedCount(int p) const
{
    const TPlayerRecord *table = PlayerSlots();
    if (!table || !isSlot(p))
        return 0;
    const TPlayerRecord &r = table[p];
    return (r.QueueWrite - r.QueueRead + kTelegramRingSize) % kTelegramRingSize;
}

void TNETZ::PurgeQueue(int p)
{
    TPlayerRecord *table = PlayerSlots();
    if (!table || !isSlot(p))
        return;
    table[p].QueueRead = table[p].QueueWrite;
    AwaitingAnswer[p] = false;
}

bool TNETZ::IsOwnSlot(int p) const
{
    return IsSelfHost() ? p == 1 : p == MyPlayerNo;
}

void TNETZ::PeerGone(int p)
{
    TPlayerRecord &r = PlayerSlots()[p];
    TraceCat(0, QStringLiteral("ERROR: Keine Antwort von %1(%2) seit %3 s, %4 Telegramm(e) verworfen.")
                    .arg(r.Name, r.Address)
                    .arg(kPeerSilenceSeconds)
                    .arg(QueuedCount(p)));
    PurgeQueue(p);
    if (IsSelfHost()) {
        if (r.Active)
            PlayerLeft(p);
    } else if (p == 1) {
        OnServerLogoff();
    }
}

void TNETZ::SyncQueueOwner(int p)
{
    TPlayerRecord &r = PlayerSlots()[p];
    if (r.QueueRead < 0 || r.QueueRead >= kTelegramRingSize || r.QueueWrite < 0 || r.QueueWrite >= kTelegramRingSize) {
        TraceCat(0, QStringLiteral("ERROR: Warteschlange %1 hatte ungültige Indizes (%2,%3)")
                        .arg(p)
                        .arg(r.QueueRead)
                        .arg(r.QueueWrite));
        r.QueueRead = r.QueueWrite = 0;
    }
    if (r.Address == QueueOwner[p]) {
        if (!QueueDestination[p].Parsed)
            ParseDestination(r.Address, QueueDestination[p]);
        return;
    }
    // What waits there was meant for the slot's former player.
    const int stale = QueuedCount(p);
    if (stale > 0) {
        TraceCat(1, QStringLiteral("Warteschlange %1 geleert: %2 Telegramm(e) für (%3), Adresse jetzt (%4)")
                        .arg(p)
                        .arg(stale)
                        .arg(QueueOwner[p], r.Address));
        PurgeQueue(p);
    }
    QueueOwner[p] = r.Address;
    ParseDestination(r.Address, QueueDestination[p]);
}

bool TNETZ::Enqueue(int p)
{
    TPlayerRecord *table = PlayerSlots();
    if (!table || !isSlot(p))
        return false;
    SyncQueueOwner(p);
    TPlayerRecord &r = table[p];
    // Nobody to send it to: kept, it would be resent for ever and block
    // whatever is queued to the slot's next player behind it.
    if (r.Address.isEmpty()) {
        TraceCat(0, QStringLiteral("ERROR: Platz %1 hat keine Adresse, Telegramm Aktion(%2) verworfen.")
                        .arg(p)
                        .arg(Tel.Aktion));
        return false;
    }
    // 500 waiting is full: a 501st would make the ring look empty.
    if (QueuedCount(p) >= kTelegramRingSize - 1) {
        TraceCat(0, QStringLiteral("ERROR: Warteschlange von %1(%2) ist voll, Telegramm Aktion(%3) verworfen.")
                        .arg(r.Name, r.Address)
                        .arg(Tel.Aktion));
        return false;
    }
    const bool wasEmpty = r.QueueRead == r.QueueWrite;
    Tel.RetryCount = 0;
    Tel.ACK = 1;
    Tel.Loop = p;
    Tel.TAN = r.QueueWrite;
    r.SendQueue[r.QueueWrite] = Tel;
    r.QueueWrite = nextIndex(r.QueueWrite);
    WakeSendTimer();
    // Nothing is in flight to this peer: the telegram leaves now instead of
    // on the next tick, and is resent on the tick it would have been.
    if (wasEmpty && ListenerActive) {
        const QString host = SenderHost;
        SendQueueHead(p, 1);
        SenderHost = host;
    }
    return true;
}

void TNETZ::WakeSendTimer()
{
    SendTimerIdle = false;
    // Only a running timer: tests that stopped it drive the ticks themselves.
    if (SendTimer->isActive() && SendTimer->interval() != kSendIntervalMs)
        SendTimer->start(kSendIntervalMs);
}

void TNETZ::RelaxSendTimer()
{
    // Called on every idle tick: once relaxed, only the flag is looked at.
    if (SendTimerIdle || !SendTimer->isActive())
        return;
    SendTimer->setInterval(kIdleIntervalMs);
    SendTimerIdle = true;
}

void TNETZ::QueueToAll()
{
    TPlayerRecord *table = PlayerSlots();
    if (!table)
        return;
    for (int p = 1; p <= 8; ++p) {
        if (!table[p].Active || !Enqueue(p))
            continue;
        if (traceOn(1))
            TraceCat(1, telHead(QStringLiteral("In WS von"), Tel) + QStringLiteral("Daten >> ") +
                            telFields(Tel, gidStar(Tel.Gid)));
    }
}

void TNETZ::QueueToPlayer(int p)
{
    TPlayerRecord *table = PlayerSlots();
    if (table && isSlot(p) && table[p].Active)
        Enqueue(p);
}

void TNETZ::QueueToServer()
{
    TPlayerRecord *table = PlayerSlots();
    if (!table || !Enqueue(1))
        return;
    TraceCat(1, QStringLiteral("Telegramm in Warteschlange von ") + table[1].Name + QStringLiteral("(") +
                    table[1].Address + QStringLiteral(") geschrieben."));
}

// ---- sending --------------------------------------------------------------------

bool TNETZ::DestinationAllowed(const QHostAddress &addr, QString &why) const
{
    if (addr.protocol() != QAbstractSocket::IPv4Protocol) {
        why = QStringLiteral("keine IPv4-Adresse");
        return false;
    }
    if (SudokuEnv().LoopbackOnly && !addr.isInSubnet(QHostAddress(quint32(0x7F000000)), 8)) {
        why = QStringLiteral("nur Loopback erlaubt");
        return false;
    }
    return true;
}

void TNETZ::ParseDestination(const QString &address, TDestination &to) const
{
    // The limited broadcast goes to the configured search target, so a test
    // can keep a search on loopback.
    to.Host = address == kLimitedBroadcast ? BroadcastTarget() : address;
    to.Address = parsedAddress(to.Host);
    to.Refusal.clear();
    to.Allowed = DestinationAllowed(to.Address, to.Refusal);
    to.Parsed = true;
}

void TNETZ::WriteDatagram(const QByteArray &bytes)
{
    if (!ListenerActive)
        return;
    TDestination to;
    ParseDestination(SenderHost, to);
    Transmit(bytes, to);
}

void TNETZ::Transmit(const QByteArray &bytes, const TDestination &to)
{
    if (!ListenerActive)
        return;
    if (!to.Allowed) {
        TraceCat(0, QStringLiteral("ERROR: Senden an (%1) verweigert: %2").arg(to.Host, to.Refusal));
        return;
    }
    if (OutgoingFilter && !OutgoingFilter(bytes, to.Host))
        return;
    EnsureSender();
    // Errors are traced, never shown: this runs on the 1 ms timer.
    if (UDPSender->writeDatagram(bytes, to.Address, quint16(Port)) != bytes.size())
        TraceCat(1, QStringLiteral("ERROR: Senden an (%1) fehlgeschlagen: %2").arg(to.Host, UDPSender->errorString()));
}

void TNETZ::SendQueueHead(int p, int extraTicks)
{
    TPlayerRecord &r = PlayerSlots()[p];
    TTelegram &head = r.SendQueue[r.QueueRead];
    head.RetryCount = kResendTicks;
    if (!AwaitingAnswer[p]) {
        AwaitingAnswer[p] = true;
        AwaitingSince[p] = PerfCounter();
    }
    SenderHost = r.Address;
    if (traceOn(1))
        TraceCat(1, telHead(QStringLiteral("Sende an"), head) + QStringLiteral("Daten>> ") +
                        telFields(head, gidStar(head.Gid)));
    Transmit(EncodeTelegram(head), QueueDestination[p]);
    // The count travels in the telegram; the wait may be a tick longer.
    head.RetryCount += extraTicks;
}

void TNETZ::SendTelegram(const TTelegram &tel)
{
    WriteDatagram(EncodeTelegram(tel));
}

void TNETZ::SendAck(const QString &peer)
{
    SenderHost = peer;
    WriteDatagram(EncodeAcknowledgement(Tel));
}

void TNETZ::SendTimerTimer()
{
    TPlayerRecord *table = PlayerSlots();
    if (!ListenerActive || !table) {
        RelaxSendTimer();
        return;
    }
    bool pending = false;
    int64_t now = 0;
    for (int p = 1; p <= 8; ++p) {
        TPlayerRecord &r = table[p];
        if (r.QueueRead == r.QueueWrite) {
            AwaitingAnswer[p] = false;
            continue;
        }
        SyncQueueOwner(p);
        if (r.QueueRead == r.QueueWrite)
            continue;
        if (AwaitingAnswer[p] && !IsOwnSlot(p)) {
            if (now == 0)
                now = PerfCounter();
            if (now - AwaitingSince[p] >= kPeerSilenceSeconds * PerfFrequency()) {
                PeerGone(p);
                continue;
            }
        }
        pending = true;
        // Only the head goes out: one telegram in flight per peer, in order.
        TTelegram &head = r.SendQueue[r.QueueRead];
        if (head.RetryCount == 1 && traceOn(1))
            TraceCat(1, QStringLiteral("Wiederholung an :") + r.Name + QStringLiteral(" IP:") + r.Address);
        if (head.RetryCount > 0) {
            --head.RetryCount;
            continue;
        }
        SendQueueHead(p, 0);
    }
    if (!pending)
        RelaxSendTimer();
}

void TNETZ::SendToAll()
{
    const TKindInfo *k = KindInfo(Tel.Aktion);
    if (!ListenerActive && k && k->HasLocalPath)
        RunHandler(QString());
    else
        QueueToAll();
}

void TNETZ::SendToPlayer(int p)
{
    const TKindInfo *k = KindInfo(Tel.Aktion);
    if (!ListenerActive && k && k->HasLocalPath)
        RunHandler(QString());
    else
        QueueToPlayer(p);
}

void TNETZ::SendToServer()
{
    const TKindInfo *k = KindInfo(Tel.Aktion);
    if (!ListenerActive && k && k->HasLocalPath)
        RunHandler(QString());
    else
        QueueToServer();
}

void TNETZ::SendDatagram(const QString &address)
{
    // A login starts the peer's numbering afresh on both sides.
    if (Tel.Aktion == akLogin)
        ForgetPeer(address);
    Tel.ACK = -1;
    SenderHost = address;
    SendTelegram(Tel);
}

// ---- receiving ------------------------------------------------------------------

void TNETZ::ReadPendingDatagrams()
{
    // One datagram at a time, each handled before the next is read; a
    // handler may switch the listener off. At most one batch per turn of the
    // event loop: the socket stays readable while datagrams wait, so the
    // listener's notice comes again on the next turn, after the timers and
    // the windows have had theirs. It is the only reader: a second one could
    // empty the socket under a notice, which then stops the notices.
    // Read into a buffer that holds the largest datagram there is: asking
    // the socket for each datagram's size first would cost a call more.
    static char buffer[65536];
    for (int n = 0; n < kReadBatch && ListenerActive && UDPEmpf->hasPendingDatagrams(); ++n) {
        QHostAddress from;
        const qint64 size = UDPEmpf->readDatagram(buffer, qint64(sizeof buffer), &from);
        if (size < 0)
            break;
        // Copied out before it is handled: a handler may read the next one.
        UDPEmpfUDPRead(QByteArray(buffer, qsizetype(size)), dottedQuad(from));
    }
}

void TNETZ::UDPEmpfUDPRead(const QByteArray &datagram, const QString &peer)
{
    TTelegram t;
    const TWireStatus status = DecodeTelegram(datagram, t);
    if (status != TWireStatus::Ok) {
        // Not acknowledged: a datagram we cannot read tells us nothing to echo.
        TraceCat(2, QStringLiteral("Datagramm von (%1) verworfen: %2, %3 Bytes")
                        .arg(peer, WireStatusText(status))
                        .arg(datagram.size()));
        return;
    }
    Tel = t;
    if (traceOn(2))
        TraceCat(2, telHead(QStringLiteral("Erhalte was von"), Tel) + QStringLiteral("Daten>> ") +
                        telFields(Tel, QString::number(Tel.Gid)));
    DispatchTelegram(peer);
}

void TNETZ::ForgetPeer(const QString &address)
{
    for (auto it = LastHandledTan.begin(); it != LastHandledTan.end();) {
        if (it.key().first == address)
            it = LastHandledTan.erase(it);
        else
            ++it;
    }
}

void TNETZ::ForgetAllPeers()
{
    LastHandledTan.clear();
}

bool TNETZ::IsSelfHost() const
{
    return MyPlayerNo == 1 || (Form1 && Form1->HostsNetworkGame);
}

bool TNETZ::IsOwnQueueHead(const QString &peer)
{
    TPlayerRecord *table = PlayerSlots();
    if (!table || Tel.ACK != 1 || Tel.Loop != 1)
        return false;
    TPlayerRecord &r = table[1];
    if (r.QueueRead == r.QueueWrite || Tel.TAN != r.QueueRead)
        return false;
    SyncQueueOwner(1);
    const QHostAddress &to = QueueDestination[1].Address;
    if (r.QueueRead == r.QueueWrite || to.isNull() || to != parsedAddress(peer))
        return false;
    // The countdown is the sender's own; everything else must be the same.
    TTelegram head = r.SendQueue[r.QueueRead];
    head.RetryCount = Tel.RetryCount;
    return EncodeTelegram(head) == EncodeTelegram(Tel);
}

bool TNETZ::SenderMayHandle(const QString &peer)
{
    TKnownSenders known;
    if (const TPlayerRecord *table = PlayerSlots())
        for (int p = 1; p <= 8; ++p)
            known.SlotAddress[p] = table[p].Address;
    known.LoginTarget = LoginTarget;
    known.SelfHost = IsSelfHost();
    known.OwnQueueHead = known.SelfHost && IsOwnQueueHead(peer);
    switch (JudgeSender(Tel, peer, known)) {
    case TSenderVerdict::Take:
        return true;
    case TSenderVerdict::TakeAsStranger:
        Tel.Gid = -1;
        return true;
    case TSenderVerdict::Drop:
        break;
    }
    TraceCat(2, QStringLiteral("Telegramm Aktion(%1) Gid(%2) von (%3) verworfen: falscher Absender")
                    .arg(Tel.Aktion)
                    .arg(Tel.Gid)
                    .arg(peer));
    return false;
}

void TNETZ::DispatchTelegram(const QString &peer)
{
    if (Tel.ACK != 0) {
        const bool reliable = Tel.ACK == 1;
        if (reliable)
            SendAck(peer);
        if (traceOn(1)) {
            QString line = QStringLiteral("HOST(%1) TelID(%2) Data(%3) TAN(%4)")
                               .arg(peer)
                               .arg(Tel.Aktion)
                               .arg(BoolToTF(Tel.Data != 0))
                               .arg(Tel.TAN);
            if (reliable)
                line = QStringLiteral("%1 ~~~~ TAN(%2) ACK -> HOST(%3)").arg(line).arg(Tel.TAN).arg(peer);
            TraceCat(1, line);
        }
        if (Tel.Aktion == akLogin)
            ForgetPeer(peer);
        if (!KindInfo(Tel.Aktion))
            return;
        if (!TelegramFieldsInRange(Tel)) {
            TraceCat(2, QStringLiteral("Telegramm von (%1) Aktion(%2) außerhalb der Wertebereiche, ignoriert")
                            .arg(peer)
                            .arg(Tel.Aktion));
            return;
        }
        // Checked before the repeat filter, so that what a stranger sends
        // leaves nothing behind.
        if (!SenderMayHandle(peer))
            return;
        // Queued telegrams always name a slot 1..8; only those are remembered.
        if (reliable && isSlot(Tel.Loop)) {
            // A resend after a lost acknowledgement: answered above, not handled twice.
            const QPair<QString, int32_t> key(peer, Tel.Loop);
            const auto it = LastHandledTan.constFind(key);
            if (it != LastHandledTan.constEnd() && it.value() == Tel.TAN) {
                TraceCat(2, QStringLiteral("Wiederholung von (%1) Aktion(%2) TAN(%3) schon bearbeitet")
                                .arg(peer)
                                .arg(Tel.Aktion)
                                .arg(Tel.TAN));
                return;
            }
            // Only known senders get here, but slots change hands: forget
            // them all now and then rather than grow for ever.
            if (LastHandledTan.size() >= kRepeatFilterMax && !LastHandledTan.contains(key))
                LastHandledTan.clear();
            LastHandledTan.insert(key, Tel.TAN);
        }
        RunHandler(peer);
        return;
    }
    if (Tel.Loop == 0)
        return;
    if (traceOn(2))
        TraceCat(2, QStringLiteral("Aktion(%1) von(%2) HS.TAN(%3)").arg(Tel.Aktion).arg(peer).arg(Tel.TAN));
    TPlayerRecord *table = PlayerSlots();
    if (!table || !isSlot(Tel.Loop) || Tel.TAN < 0 || Tel.TAN >= kTelegramRingSize) {
        TraceCat(2, QStringLiteral("Bestätigung von (%1) Loop(%2) TAN(%3) ungültig, ignoriert")
                        .arg(peer)
                        .arg(Tel.Loop)
                        .arg(Tel.TAN));
        return;
    }
    // Only the head advances, and only for the telegram that waits there: an
    // acknowledgement of anything else (a stray one, or one for an empty
    // queue) must not release telegrams nobody has received.
    TPlayerRecord &r = table[Tel.Loop];
    if (r.QueueRead == r.QueueWrite)
        return;
    // Nor one from any machine but the one the queue sends to: a forged
    // acknowledgement would drop a telegram the peer never got.
    SyncQueueOwner(Tel.Loop);
    if (r.QueueRead == r.QueueWrite)
        return;
    const QHostAddress &to = QueueDestination[Tel.Loop].Address;
    if (to.isNull() || to != parsedAddress(peer)) {
        TraceCat(2, QStringLiteral("Bestätigung von (%1) Loop(%2) TAN(%3) nicht vom Empfänger (%4), ignoriert")
                        .arg(peer)
                        .arg(Tel.Loop)
                        .arg(Tel.TAN)
                        .arg(QueueDestination[Tel.Loop].Host));
        return;
    }
    // The peer answers: it is there, whichever telegram it acknowledges.
    AwaitingSince[Tel.Loop] = PerfCounter();
    if (r.QueueRead == Tel.TAN && r.SendQueue[Tel.TAN].Aktion == Tel.Aktion) {
        r.SendQueue[Tel.TAN].ACK = 0;
        r.QueueRead = nextIndex(r.QueueRead);
        if (r.QueueRead == r.QueueWrite)
            AwaitingAnswer[Tel.Loop] = false;
        // The next telegram for this peer leaves now rather than on the next
        // tick; it is still the only one in flight.
        const int p = Tel.Loop;
        if (ListenerActive && r.QueueRead != r.QueueWrite) {
            SyncQueueOwner(p);
            if (r.QueueRead != r.QueueWrite && r.SendQueue[r.QueueRead].RetryCount == 0) {
                const QString host = SenderHost;
                // Resent on the tick it would have been had it left on the
                // next one, so no resend comes sooner than before.
                SendQueueHead(p, 1);
                SenderHost = host;
            }
        }
    }
}
