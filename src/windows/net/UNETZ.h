#pragma once
// The network data module: the telegram transport (per-peer reliable queues,
// the 1 ms send timer, the receiver and the dispatcher) and the protocol's
// senders and handlers. Every game, single play included, runs through it:
// while the listener is off, a sender calls its handler directly.

#include "net/UNETZ_LobbyRules.h"
#include "net/UNETZ_RateLimit.h"
#include "net/UNETZ_Telegram.h"
#include "ui/Controls.h"

#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QPair>
#include <QString>
#include <functional>

class QTreeWidgetItem;
class QUdpSocket;
class TIniFile;
struct TPlayerRecord;

class TNETZ : public QObject {
    Q_OBJECT
public:
    explicit TNETZ(QObject *parent = nullptr);
    ~TNETZ() override;

    // ---- state --------------------------------------------------------
    // The one current telegram: every sender fills it in place, the receiver
    // reads each datagram into it. Handlers copy what they need before they
    // send, because every send overwrites it.
    TTelegram Tel;
    // 1 on the host, 2..8 on a client, 0 outside a network game.
    int32_t MyPlayerNo = 0;
    // This machine is the host, player 1: it opened a LAN game or plays one
    // of its own.
    bool IsSelfHost() const;
    // The board characters gathered from the three start chunks.
    QString BoardText;
    // Scratch INI object of the competition file routines; they create it,
    // keep it here while they work and free it before they return.
    TIniFile *WorkIni = nullptr;

    // ---- components ---------------------------------------------------
    // 1 ms, precise; switched on once at start-up and never off. While no
    // telegram waits it ticks every 50 ms instead (a wake-up every
    // millisecond costs an idle program 2 % of a core); queueing a telegram
    // or switching the listener on brings the 1 ms cadence back at once.
    TTimer *SendTimer = nullptr;
    TTimer *StartTimer = nullptr; // 1 s; its Tag is the start countdown
    QUdpSocket *UDPEmpf = nullptr;
    QUdpSocket *UDPSender = nullptr;
    // The sender's current host; the broadcast target until something else is set.
    QString SenderHost;
    // The one port of all machines: the listener's, and every reply's target.
    int Port = 2401;
    // The address the listener binds (SUDOKU_BIND_ADDRESS, 0.0.0.0 by default).
    QString BindAddress;

    // Whether the listener is bound to every address (0.0.0.0).
    bool ListensOnEveryAddress() const;
    // The machine's own address as the local-address watcher reports it;
    // the bound address when the listener is bound to one.
    QString LocalAddress() const;
    // Target of a game search (SUDOKU_BROADCAST_ADDRESS).
    QString BroadcastTarget() const;

    // The system counts as networked while the listener is active.
    bool IsListenerActive() const { return ListenerActive; }
    // Switches the listener on (bound to BindAddress and Port, address shared)
    // or off. Returns false when it could not be bound; it then stays off.
    bool SetListenerActive(bool on);
    // Applies a new port to the sender and, while listening, rebinds the
    // listener. Returns false for a port outside 1..65535 or when the bind
    // failed; the old port then stays in use.
    bool SetPort(int port);

    // The player slots whose records hold the queues: the main window's,
    // unless a table of its own is given (a second peer in one process).
    TPlayerRecord *PlayerTable = nullptr;
    TPlayerRecord *PlayerSlots() const;

    // ---- transport ----------------------------------------------------
    // Sends one telegram once to SenderHost and Port: 48 or 84 bytes. Does
    // nothing while the listener is off.
    void SendTelegram(const TTelegram &tel);
    // Queues Tel, reliably, to every active slot / to slot p when it is
    // active / to slot 1 (the host) without the active test.
    void QueueToAll();
    void QueueToPlayer(int p);
    void QueueToServer();
    // Acknowledges the received Tel to the peer: 48 bytes, ACK 0, Data 0.
    void SendAck(const QString &peer);
    // Every 1 ms: sends or resends the head of every non-empty queue.
    void SendTimerTimer();
    // One datagram from the listener, with its source address.
    void UDPEmpfUDPRead(const QByteArray &datagram, const QString &peer);
    // Datagrams handled per turn of the event loop; what waits beyond them
    // is read on the next turn, so a flood cannot hold up the timers, the
    // clock, the windows or the resends.
    static constexpr int kReadBatch = 64;
    // Searches answered per source address and second, and the sources
    // remembered for it at once.
    static constexpr int kSearchAnswersPerSecond = 3;
    static constexpr int kSearchAnswerSources = 256;
    // The searches answered lately, per source.
    TRateLimiter SearchAnswers;
    // Acknowledges, filters and hands Tel to the handler of its kind.
    void DispatchTelegram(const QString &peer);

    // The sender pattern: while listening, queue Tel (to all / to one slot /
    // to the host); while not, call the kind's handler at once when it has a
    // local path, else only queue it.
    void SendToAll();
    void SendToPlayer(int p);
    void SendToServer();
    // One unacknowledged datagram (ACK -1) to the address; not sent at all
    // while the listener is off.
    void SendDatagram(const QString &address);
    // Runs the handler of Tel's kind at once; false when the kind has none.
    bool RunHandler(const QString &peer);

    // Telegrams waiting in slot p's queue (0..500).
    int QueuedCount(int p) const;
    // A peer that has acknowledged nothing for this long while a telegram
    // to it waits is gone: its program ended or its machine went off. The
    // resends never give up on a peer that answers, however lossy the line.
    static constexpr int kPeerSilenceSeconds = 15;
    // Drops everything waiting for slot p (the numbering runs on).
    void PurgeQueue(int p);
    // Forgets the telegrams handled from an address, so that a peer whose
    // numbering starts again is not taken for a repeat.
    void ForgetPeer(const QString &address);
    void ForgetAllPeers();

    // One kind of the protocol: its delivery and its handler.
    struct TKindInfo {
        int32_t Kind = 0;
        bool HasLocalPath = false;
        void (TNETZ::*Handler)() = nullptr;
        void (TNETZ::*PeerHandler)(const QString &) = nullptr;
        void (TNETZ::*FlagPeerHandler)(bool, const QString &) = nullptr;
        bool Flag = false; // first argument of FlagPeerHandler
    };
    // The kind's entry, or nullptr for a kind the protocol does not know.
    static const TKindInfo *KindInfo(int32_t kind);

    // Sees every datagram just before it goes out; returning false keeps it
    // off the wire. Tests use it to capture traffic and to simulate loss.
    std::function<bool(const QByteArray &datagram, const QString &host)> OutgoingFilter;

    // ---- handlers of the transport's own kinds ------------------------
    void OnMaxMarks();   // 113: the pencil-mark limit
    void OnPlayerName(); // 118: a player's name

    // ---- discovery, login, player numbers, logoff, chat ---------------
    void SendSearch(const QString &address);
    void OnSearch(bool isOffer, const QString &address); // 102, 103
    void SendLogin(const QString &address);
    void OnLogin(bool isEntry, const QString &address); // 104, 105
    void SendPlayerIds();
    void OnPlayerId(); // 120
    void SendLogoff();
    void OnLogoff(const QString &address); // 112
    // Player p has gone (logoff or silence): marked out and gone for every
    // machine, and the game or its start goes on without him.
    void PlayerLeft(int p);
    // Frees the slots of the players who have left, where they are: those
    // who left during a round when it ends, on every machine at the same
    // point; those who left between games on the host at once, on a client
    // when the host's next start begins.
    void CloseUpLeftPlayers();
    // The host's end of game is still on its way back to its own listener:
    // the round is not over here yet (its end table is not filled, and who
    // left during it still holds his slot), so no newcomer is taken.
    bool OwnEndOfGameUnderway() const;
    void SendServerLogoff();
    void OnServerLogoff(); // 121
    void SendGameEnded();
    void OnGameEnded(); // 115
    void BecomeHost();
    void SendChat(const QString &text, const QString &to);
    void OnChat(const QString &address); // 119
    // The host's end of game (114) has gone out for the game now on the
    // clock (its GameStartCount): SendEndOfGame notes it, and the game-ended
    // notice (115) is then not sent, so the clients keep their results.
    void NoteEndOfGameSent();
    bool EndOfGameSentThisGame() const;
    bool EndOfGameSent = false;
    int64_t EndOfGameSentFor = 0;

    // ---- game start, symbols, options ---------------------------------
    void SendSymbols();
    void OnSymbols(); // 122
    void EncodeOptions();
    void SendOptions();
    void OnOptions(); // 101
    void StartNetworkGame();
    void OnStartPhase(); // 107
    void OnReady();      // 129
    // Starts the countdown once every active player has reported ready.
    void StartCountdownWhenReady();
    void StartTimerTimer();
    void ResetPlayerStats();
    void ResetBoardCells();

    // ---- host judging, results, scoring -------------------------------
    void EnterNumber(int x, int y, int digit);
    void EnterGhostNumber(int x, int y, int player, int digit);
    // The result of cell (x, y): p > 0 player p's own layer, to p only;
    // p = 0 the reference cell and its owner, to all.
    void SendCellResult(int x, int y, int p, int a);
    void SendBlink(int x, int y, int z, int p);
    void SendStats(int p);
    void SendPenalty(int p);
    void SendCounts(int p, int &open, int &wrong);
    void SendCountsFor(int p);
    void SendGameOver(int p);
    void SendWrongSolution(int p);
    void ClearCells(int x, int y);
    void SendUsedMarks(int n);
    // Reports the own player's UsedMarks.
    void SendUsedMarks();
    void SendBingo();
    void SendEndOfGame();
    void EvaluateEntry();   // 109
    void OnCellResult();    // 106
    void OnBlink();         // 110
    void OnStats();         // 111
    void OnPenalty();       // 116
    void OnCounts();        // 126
    void OnGameOver();      // 125
    void OnWrongSolution(); // 127
    void OnClearCells();    // 128
    void OnUsedMarks();     // 130
    void OnBingo();         // 124
    void OnEndOfGame();     // 114
    // True when the game is over for the entry or logoff of player p (its
    // layer is counted on own boards); then GameRunning is cleared.
    bool CheckGameOver(int p);
    void ScoreGame();

    // ---- tournament data ----------------------------------------------
    // Host: the header (mode -1, 0 or 99) and, for -1, the stages and results
    // of the file open in WorkIni, to every active slot 2..8 whose queue
    // holds the whole dump. A client sends nothing.
    void SendTournamentData(int mode);
    void OnTournamentData(); // 123
    // True on the host of a network game, the one machine that sends 123.
    bool SendsTournamentData() const;

signals:
    // A telegram about to be handed to its handler (from the wire or on the
    // local path), with its source address (empty on the local path).
    void TelegramDispatched(const TTelegram &tel, const QString &peer);

private:
    bool ListenerActive = false;
    bool SendTimerIdle = false; // the send timer runs at its idle cadence
    // Per slot, the address its queue was filled for; when the slot's
    // address changes, what waits there is stale.
    QString QueueOwner[9];
    // The same address parsed once, when it is taken over, and the guard's
    // verdict on it: the 1 ms tick sends without looking at the text again.
    struct TDestination {
        bool Parsed = false;
        bool Allowed = false;
        QString Host; // where it goes (the limited broadcast mapped)
        QHostAddress Address;
        QString Refusal;
    };
    TDestination QueueDestination[9];
    // Per slot, whether a telegram waits for the peer's answer since its
    // head went out, and since when (the counter at that moment, moved on
    // by each acknowledgement from the peer).
    bool AwaitingAnswer[9] = {};
    int64_t AwaitingSince[9] = {};
    // The peer of slot p has not answered for kPeerSilenceSeconds: on the
    // host the same as its logoff, on a client whose host it is the same
    // as the host's logoff; what waits for it is dropped.
    void PeerGone(int p);
    // The slot this machine itself holds, whose queue comes back to it.
    bool IsOwnSlot(int p) const;
    // Per source address and Loop, the TAN of the last telegram handled.
    QHash<QPair<QString, int32_t>, int32_t> LastHandledTan;

    // The address this machine last sent its login to.
    QString LoginTarget;

    // A client's tree node of the tournament the last rebuilding header
    // named; stage lines go under it. Compared with the tree's top-level
    // items before use, since the window may empty its tree at any time.
    QTreeWidgetItem *TournamentRoot = nullptr;
    bool TournamentRootValid() const;

    void ReadPendingDatagrams();
    // Tel, arrived from peer, is the telegram waiting at the head of slot
    // 1's queue: the host's own, back from its own listener.
    bool IsOwnQueueHead(const QString &peer);
    // Whether Tel's kind is taken from peer; a chat line naming a slot peer
    // does not hold is turned into a stranger's.
    bool SenderMayHandle(const QString &peer);
    void WriteDatagram(const QByteArray &bytes);
    void Transmit(const QByteArray &bytes, const TDestination &to);
    void ParseDestination(const QString &address, TDestination &to) const;
    // Sends the head of slot p's queue and starts its resend count, waiting
    // extraTicks more than the count it carries.
    void SendQueueHead(int p, int extraTicks);
    bool BindListener(int port);
    void EnsureSender();
    // BindAddress as last parsed for the sender, checked before every send.
    QString SenderBindText;
    QHostAddress SenderBindAddress;
    bool SenderBindParsed = false;
    bool Enqueue(int p);
    void WakeSendTimer();
    void RelaxSendTimer();
    void SyncQueueOwner(int p);
    bool DestinationAllowed(const QHostAddress &addr, QString &why) const;
};

extern TNETZ *NETZ;

