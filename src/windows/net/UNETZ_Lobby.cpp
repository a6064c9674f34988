// The lobby of a LAN game: search and offer, login and the player entries,
// player numbers, becoming the host, the logoffs of a client and of the host,
// the host's game-ended notice, and the chat.
#include "net/UNETZ.h"

#include "board/ULog.h"
#include "board/UMeldung.h"
#include "board/UQuadrivo.h"
#include "board/Usounds.h"
#include "competitions/UChallenge.h"
#include "net/USucheSpiele.h"
#include "screens/UGameOptionen.h"
#include "screens/UOptionen.h"
#include "screens/USpielEnde.h"
#include "screens/UStart.h"
#include "settings/USonstiges.h"
#include "settings/USystem.h"

namespace {
// Names and addresses are short strings.
constexpr int kShortString = 15;
const QString kToAll = QStringLiteral("all");

bool isSlot(int p)
{
    return p >= 1 && p <= 8;
}

QString ownNickname()
{
    return FormOpt && FormOpt->NickName ? FormOpt->NickName->text() : QString();
}

// This machine's address as the program options show it: the one the host
// logs in to itself with.
QString ownAddress()
{
    return FormOpt && FormOpt->SelfIp ? FormOpt->SelfIp->text() : QString();
}

bool hostsNetworkGame()
{
    return Form1 && Form1->HostsNetworkGame;
}

// Logins are taken only between games.
bool gameStartingOrRunning()
{
    return Form1 && (Form1->GameStarting || Form1->GameRunning);
}

void refreshPlayerTable()
{
    if (Form1)
        Form1->UpdatePlayerTable();
}

// A notice in the overlay for two seconds.
void showNotice(const QString &text)
{
    if (!FormMeld)
        return;
    FormMeld->Dauer = 20;
    FormMeld->ShowText(text);
}
} // namespace

// ---- search and offer -------------------------------------------------------------

void TNETZ::SendSearch(const QString &address)
{
    Tel = TTelegram();
    Tel.Aktion = akSearch;
    Tel.Gid = -1;
    TraceCat(1, QString::number(Tel.Aktion) + QStringLiteral(":->") + address + QStringLiteral("ichSucheEinSpiel"));
    SendDatagram(address);
}

void TNETZ::OnSearch(bool isOffer, const QString &address)
{
    if (!isOffer) {
        // Only a machine that opened a game answers.
        if (!hostsNetworkGame())
            return;
        // A few answers a second per source are plenty for a searcher;
        // more would only serve someone flooding us with forged sources.
        if (!SearchAnswers.Allow(address, PerfCounter())) {
            TraceCat(1, QStringLiteral("Suche von (%1) nicht beantwortet: zu viele Anfragen").arg(address));
            return;
        }
        const QString nick = ownNickname();
        Tel = TTelegram();
        Tel.Aktion = akGameOffer;
        Tel.Data = 1;
        Tel.SetText(nick);
        EncodeOptions();
        // Open for players only between games: a login during a start or a
        // game would be dropped.
        Tel.Loop = gameStartingOrRunning() || OwnEndOfGameUnderway() ? 0 : 1;
        TraceCat(1, QStringLiteral("%1:%2->%3 hab ein Spiel tritt ein").arg(Tel.Aktion).arg(nick, address));
        SendDatagram(address);
        return;
    }

    const bool open = Tel.Loop != 0;
    if (FormStart && FormStart->isVisible()) {
        // The start screen's search joins the first open game that answers
        // while it still waits; a game that already runs would drop the login.
        if (!open) {
            TraceCat(2, QStringLiteral("Spiel von (%1) läuft schon, nicht beigetreten").arg(address));
            return;
        }
        if (FormStart->Warte && FormStart->Warte->isActive())
            FormStart->LanGameFound(address);
        return;
    }
    if (!open || !FormSucheSpiele)
        return;
    FormSucheSpiele->AddOrUpdateServerItem(Tel.Text(), OfferDifficultyText(Tel.y, Tel.a), TFormGO::RatingName(Tel.Gid),
                                           QString::number(Tel.x), QStringLiteral("wartet"), address);
}

// ---- login and player entries -------------------------------------------------------

void TNETZ::SendLogin(const QString &address)
{
    const QString nick = ownNickname();
    Tel = TTelegram();
    Tel.Aktion = akLogin;
    Tel.Gid = -1;
    Tel.Data = 1;
    Tel.SetText(nick);
    TraceCat(1, QString::number(Tel.Aktion) + QStringLiteral(":") + nick + QStringLiteral("->") + address +
                    QStringLiteral(" Spieler meldet sich an."));
    // Until its own player entry fills slot 1, the host is known by this.
    LoginTarget = address;
    SendDatagram(address);
}

void TNETZ::OnLogin(bool isEntry, const QString &address)
{
    TPlayerRecord *table = PlayerSlots();
    if (!table)
        return;

    if (isEntry) {
        const int s = Tel.z;
        if (!isSlot(s))
            return;
        // The host's table is its own: it takes entries only from itself.
        if (hostsNetworkGame() && address != table[1].Address) {
            TraceCat(2, QStringLiteral("Spielereintrag von (%1) ignoriert: nur der Host selbst").arg(address));
            return;
        }
        QString name;
        QString addr;
        SplitPlayerEntry(Tel.Text(), name, addr);
        // A slot without an address would count as a player nobody can reach.
        if (addr.isEmpty()) {
            TraceCat(2, QStringLiteral("Spielereintrag %1 ohne Adresse ignoriert").arg(s));
            return;
        }
        TPlayerRecord &r = table[s];
        r.Name = name.left(kShortString);
        r.Address = addr.left(kShortString);
        r.PlayerNo = s;
        r.Active = true;
        ResetPlayerStats();
        if (FormSucheSpiele && FormSucheSpiele->isVisible())
            FormSucheSpiele->close();
        PlayNewPlayerSound();
        refreshPlayerTable();
        TraceCat(1, QStringLiteral("Neuer Spieler ") + r.Name);
        return;
    }

    // A login is for the host only.
    if (!hostsNetworkGame()) {
        TraceCat(2, QStringLiteral("Anmeldung von (%1) ignoriert: kein eigenes Spiel").arg(address));
        return;
    }
    // The host logs in to its own address, as the program options show it.
    const bool fromHost = !address.isEmpty() && address == ownAddress();
    const int s = ChooseLoginSlot(table, address, fromHost);
    if (s == 0) {
        TraceCat(2, QStringLiteral("Anmeldung von (%1) ignoriert: alle Plätze belegt").arg(address));
        return;
    }
    if (gameStartingOrRunning() || OwnEndOfGameUnderway()) {
        TraceCat(2, QStringLiteral("Anmeldung von (%1) ignoriert: Spiel läuft").arg(address));
        return;
    }
    QString name = Tel.Text().left(kShortString);
    // An empty name would read as an unused slot.
    if (name.isEmpty())
        name = QStringLiteral("Spieler %1").arg(s);
    TPlayerRecord &r = table[s];
    r.Name = name;
    r.Address = address.left(kShortString);
    r.Active = true;
    // Whoever logs in is present: no longer out or gone.
    r.GameOver = false;
    r.Penalty = 0;

    // The whole table again to everybody; a slot whose player has left is
    // not revived (the start would wait for him for ever).
    for (int p = 1; p <= 8; ++p) {
        if (!table[p].Active || table[p].Address.isEmpty())
            continue;
        Tel = TTelegram();
        Tel.Aktion = akPlayerEntry;
        Tel.Gid = -1;
        Tel.z = p;
        Tel.Data = 1;
        Tel.SetText(table[p].Name + QStringLiteral("~") + table[p].Address);
        SendToAll();
    }
    SendPlayerIds();
    SendOptions();
    // The window's checks see the new player first: when they pass, the
    // clients get the whole tournament, then the header that locks them.
    if (FormCha && FormCha->isVisible() && Form1 && Form1->CountOnlinePlayers() > 1) {
        FormCha->Refresh();
        SendTournamentData(0);
    }
}

// ---- player numbers ----------------------------------------------------------------------

void TNETZ::SendPlayerIds()
{
    TPlayerRecord *table = PlayerSlots();
    if (!table)
        return;
    TraceCat(1, QStringLiteral("Sende ID : "));
    for (int p = 1; p <= 8; ++p) {
        if (!table[p].Active)
            continue;
        Tel = TTelegram();
        Tel.Aktion = akPlayerId;
        Tel.Gid = p;
        SendToPlayer(p);
    }
}

void TNETZ::OnPlayerId()
{
    const int gid = Tel.Gid;
    if (!isSlot(gid))
        return;
    // The host is player 1 and stays it.
    if (hostsNetworkGame() && gid != 1) {
        TraceCat(2, QStringLiteral("Spielernummer %1 ignoriert: dies ist der Host").arg(gid));
        return;
    }
    TraceCat(2, QStringLiteral("Erhalte ID : ") + QString::number(gid));
    MyPlayerNo = gid;
    DistributePlayerColours();
    // The table shows its rows only once the own number is known.
    refreshPlayerTable();
    // A client waiting for the host's start can always leave the game: on a
    // second login nothing else would give its "Spiel beenden" back.
    if (Form1 && !hostsNetworkGame() && !Form1->GameRunning && !Form1->GameStarting)
        Form1->BTC_Spiel_Ende->setEnabled(true);
}

void TNETZ::BecomeHost()
{
    TPlayerRecord *table = PlayerSlots();
    if (!table)
        return;
    // In a challenge the challenge window names player 1; it has no name
    // field of its own yet, so the program options' nickname serves.
    TPlayerRecord &r = table[1];
    r.Name = ownNickname().left(kShortString);
    // The host of a LAN game keeps the address it logged in to itself with:
    // its players know it by that, and its listener receives on it.
    const bool lanHost = hostsNetworkGame() && r.Active && !r.Address.isEmpty() && r.Address == ownAddress();
    MyPlayerNo = 1;
    // A host is nobody's client.
    LoginTarget.clear();
    // Otherwise its own telegrams must come back to its own listener: on the
    // loopback address while it receives on every address, else on the one
    // address it is bound to.
    if (!lanHost)
        r.Address = ListensOnEveryAddress() ? QStringLiteral("127.0.0.1") : BindAddress.left(kShortString);
    r.Active = true;
    r.GameOver = false;
    r.PlayerNo = 1;
    DistributePlayerColours();
}

// ---- logoffs ----------------------------------------------------------------------------

void TNETZ::SendLogoff()
{
    TPlayerRecord *table = PlayerSlots();
    // Only a client leaves a host; the host leaves with SendServerLogoff.
    if (!table || MyPlayerNo < 2 || MyPlayerNo > 8 || table[1].Address.isEmpty())
        return;
    // Who leaves the host's game leaves its tournament with it.
    if (FormCha)
        FormCha->TournamentActive = false;
    Tel = TTelegram();
    Tel.Aktion = akLogoff;
    Tel.Gid = MyPlayerNo;
    SendDatagram(table[1].Address);
}

void TNETZ::OnLogoff(const QString &address)
{
    TPlayerRecord *table = PlayerSlots();
    const int gid = Tel.Gid;
    if (!table || !hostsNetworkGame() || !isSlot(gid) || gid == 1)
        return;
    TPlayerRecord &r = table[gid];
    // Only the player himself logs off his slot, and only once.
    if (!r.Active || r.Address != address) {
        TraceCat(2, QStringLiteral("Abmeldung von (%1) für Spieler %2 ignoriert").arg(address).arg(gid));
        return;
    }
    PlayerLeft(gid);
}

void TNETZ::PlayerLeft(int gid)
{
    TPlayerRecord *table = PlayerSlots();
    if (!table || !isSlot(gid) || gid == 1)
        return;
    TPlayerRecord &r = table[gid];
    const QString name = r.Name;
    r.Active = false;
    r.GameOver = true;
    r.Penalty = -2;
    // Nobody is there to take what waits for him.
    PurgeQueue(gid);
    SendPenalty(gid);
    SendChat(name + QStringLiteral(" meldet sich ab"), kToAll);
    refreshPlayerTable();

    if (Form1 && Form1->GameRunning) {
        if (CheckGameOver(gid)) {
            // The rest learn the result, as when the last cell is found.
            ScoreGame();
            SendEndOfGame();
        }
    } else if (Form1 && Form1->GameStarting) {
        // The start waited for his ready report too.
        StartCountdownWhenReady();
    } else {
        CloseUpLeftPlayers();
    }
    // The tournament window shows whether the players left still fit its file.
    if (FormCha && FormCha->bt_start && FormCha->bt_start->isVisible())
        FormCha->Refresh();
}

bool TNETZ::OwnEndOfGameUnderway() const
{
    TPlayerRecord *table = PlayerSlots();
    if (!table || !IsSelfHost())
        return false;
    const TPlayerRecord &own = table[1];
    auto inRing = [](int i) { return i >= 0 && i < kTelegramRingSize; };
    if (!inRing(own.QueueRead) || !inRing(own.QueueWrite))
        return false;
    for (int i = own.QueueRead; i != own.QueueWrite; i = (i + 1) % kTelegramRingSize)
        if (own.SendQueue[i].Aktion == akEndOfGame)
            return true;
    return false;
}

void TNETZ::CloseUpLeftPlayers()
{
    TPlayerRecord *table = PlayerSlots();
    if (!table)
        return;
    bool freed = false;
    for (int p = 1; p <= 8; ++p) {
        TPlayerRecord &r = table[p];
        if (r.Active || r.Address.isEmpty() || IsOwnSlot(p))
            continue;
        // Freed where it is: the others keep their numbers, which their
        // machines know, and the next newcomer takes the slot.
        TraceCat(1, QStringLiteral("Platz %1 von %2 freigegeben").arg(p).arg(r.Name));
        r.Name.clear();
        r.Address.clear();
        r.PlayerNo = -1;
        r.GameOver = false;
        r.Penalty = 0;
        PurgeQueue(p);
        freed = true;
    }
    if (freed)
        refreshPlayerTable();
}

void TNETZ::SendServerLogoff()
{
    TPlayerRecord *table = PlayerSlots();
    if (!table)
        return;
    for (int p = 2; p <= 8; ++p) {
        if (!table[p].Active || table[p].Address.isEmpty())
            continue;
        Tel = TTelegram();
        Tel.Aktion = akServerLogoff;
        Tel.Gid = -1;
        SendDatagram(table[p].Address);
    }
}

void TNETZ::OnServerLogoff()
{
    // A host does not leave itself; a machine in no game has nothing to leave.
    if (!Form1 || hostsNetworkGame() || MyPlayerNo == 1 || Form1->CountOnlinePlayers() == 0) {
        TraceCat(2, QStringLiteral("Abmeldung des Servers ignoriert"));
        return;
    }
    const bool roundRuns = Form1->GameRunning;
    Form1->ResetPlayers();
    MyPlayerNo = 0;
    Form1->StopRequested = true;
    if (FormCha && FormCha->isVisible())
        FormCha->close();
    // Who waited for the host's next round has nothing left to wait for: it
    // is back on the start screen at once. A round that runs stops on the
    // next tick, and its board stays until the player leaves it; the
    // results, when they are open, lead on by their own exits.
    if (!roundRuns && !(FormSpielEnde && FormSpielEnde->isVisible()))
        Form1->ShowStartScreen();
    showNotice(QStringLiteral("Spieler 1 (Server) hat sich abgemeldet."));
}

// ---- end of a game by the host --------------------------------------------------------------

void TNETZ::NoteEndOfGameSent()
{
    EndOfGameSentFor = Form1 ? Form1->GameStartCount : 0;
    EndOfGameSent = true;
}

bool TNETZ::EndOfGameSentThisGame() const
{
    return EndOfGameSent && Form1 && EndOfGameSentFor == Form1->GameStartCount;
}

void TNETZ::SendGameEnded()
{
    if (MyPlayerNo != 1)
        return;
    // A game that ended by itself has told everybody its result already.
    if (EndOfGameSentThisGame()) {
        TraceCat(1, QStringLiteral("Spielende schon gesendet, kein Abbruch"));
        return;
    }
    Tel = TTelegram();
    Tel.Aktion = akGameEnded;
    Tel.Gid = -1;
    Tel.x = 0;
    SendToAll();
}

void TNETZ::OnGameEnded()
{
    // The host's own copy comes back to it.
    if (MyPlayerNo < 2 || !Form1)
        return;
    // The round is over here as on the host: its Bingo offer goes, and who
    // left during it leaves the table; the client stays in the host's game.
    Form1->FinishGame();
    Form1->ShowStartScreen();
    // After the start screen, so that the notice lies over it.
    showNotice(QStringLiteral("Spieler 1 (Server) hat das Spiel beendet."));
}

// ---- chat -----------------------------------------------------------------------------------

void TNETZ::SendChat(const QString &text, const QString &to)
{
    TraceCat(1, QStringLiteral("Sende Chat in Warteschlange an (") + to + QStringLiteral("): ") + text);
    Tel = TTelegram();
    Tel.Aktion = akChat;
    Tel.Gid = MyPlayerNo;
    Tel.Data = 1;
    Tel.SetText(text);
    if (to == kToAll)
        SendToAll();
    else
        SendDatagram(to);
}

void TNETZ::OnChat(const QString &address)
{
    TPlayerRecord *table = PlayerSlots();
    const int gid = Tel.Gid;
    const QString text = Tel.Text();
    const bool known = table && isSlot(gid) && !table[gid].Name.isEmpty();
    const QString prefix = (known ? table[gid].Name : address) + QStringLiteral(":");
    TraceCat(2, QStringLiteral("Erhalte Chat von (") + prefix + QStringLiteral("): ") + text);
    if (!Form1 || !Form1->ChatBox)
        return;
    TListBox *box = Form1->ChatBox;
    box->Add(prefix + text);
    box->setCurrentRow(box->Count() - 1);
    // Red for a sender outside the table.
    const int32_t colour = table && isSlot(gid) ? table[gid].Color : 255;
    QPalette pal = box->palette();
    pal.setColor(QPalette::Text, ColorFromBGR(colour));
    box->setPalette(pal);
    // The clock's ticks bring the normal colour back.
    box->Tag = 4;
}
