// The challenge window's results list and the rule that sets its controls
// from the file and the game.
#include "competitions/UChallenge.h"

#include "board/ULog.h"
#include "board/UQuadrivo.h"
#include "competitions/UChallenge_Shared.h"
#include "files/UCompetitionFile.h"
#include "files/UIniFile.h"
#include "net/UNETZ.h"
#include "settings/USonstiges.h"
#include "settings/USystem.h"

#include <QFileInfo>
#include <QSignalBlocker>

using namespace ChallengeShared;

namespace {
// An "Etappe" value as a number; a missing or unreadable one counts as 0.
int stageNumberOf(const TIniFile &ini, const QString &nickname)
{
    return std::max(0, PlayerStageNumber(ini, nickname));
}
} // namespace

// ---- the results list ----------------------------------------------------------

void TFormCha::AddGamerRow(const QString &name, const QString &count, const QString &stageNr, int64_t points,
                           int64_t tenths, int64_t errors)
{
    auto *row = new QTreeWidgetItem(GamerView);
    row->setText(0, name);
    row->setText(1, count);
    row->setText(2, stageNr);
    row->setText(3, QString::number(points));
    row->setText(4, FormatTenths(tenths));
    row->setText(5, QString::number(errors));
    for (int c = 2; c < 6; ++c)
        row->setTextAlignment(c, Qt::AlignCenter);
    GamerViewCustomDrawItem(row);
}

void TFormCha::ClearTournamentLists()
{
    Tree->clear();
    GamerView->clear();
}

void TFormCha::GamerViewCustomDrawItem(QTreeWidgetItem *item)
{
    if (!item || item->text(0).isEmpty())
        return;
    const bool own = item->text(0) == Nickname->text();
    int32_t colour = -1;
    if (!item->text(1).isEmpty()) {
        colour = own ? kOwnTotalColour : kTotalColour;
    } else if (!item->text(2).isEmpty()) {
        if (own)
            colour = kOwnStageColour;
        else
            colour = item->text(2).toLongLong() % 2 == 1 ? kOddStageColour : kEvenStageColour;
    }
    if (colour < 0)
        return;
    for (int c = 0; c < item->columnCount(); ++c) {
        item->setBackground(c, ColorFromBGR(colour));
        item->setForeground(c, Qt::black);
    }
}

void TFormCha::FillGamerView(const TIniFile &ini, QObject *Sender)
{
    if (Sender == Passwort)
        return;
    const QStringList nicks = ini.ReadSection(kEtappe);
    if (Sender != Nickname) {
        const QSignalBlocker block(Nickname);
        Nickname->clear();
        Nickname->addItems(nicks);
        Nickname->setText(optionsNickname());
    }
    for (const QString &nick : nicks) {
        const int n = stageNumberOf(ini, nick);
        int64_t points = 0, tenths = 0, errors = 0;
        for (int s = 1; s <= n; ++s) {
            int a = 0, b = 0, c = 0;
            ParseStarTriple(ini.ReadString(StageNumberText(s), nick, QStringLiteral("0*0*0")), a, b, c);
            points += a;
            tenths += b;
            errors += c;
        }
        AddGamerRow(nick, QString::number(n), QString(), points, tenths, errors);
    }
    const int stages = StageKeys(ini).size();
    for (int s = 1; s <= stages; ++s) {
        const QString section = StageNumberText(s);
        for (const QString &nick : ini.ReadSection(section)) {
            int a = 0, b = 0, c = 0;
            ParseStarTriple(ini.ReadString(section, nick, QStringLiteral("0*0*0")), a, b, c);
            AddGamerRow(nick, QString(), section, a, b, c);
        }
    }
}

// ---- the state rule ------------------------------------------------------------

void TFormCha::applyState(const TChallengeState &s)
{
    bt_start->SetCaption(s.Caption);
    bt_start->setEnabled(s.Start);
    bt_neues->setEnabled(s.New);
    bt_clear->setEnabled(s.Clear);
}

void TFormCha::UpdateState(QObject *Sender)
{
    // A tournament client shows the host's lists; only the colours follow
    // its own nickname.
    if (!ChallengeName->isEnabled()) {
        for (int i = 0; i < GamerView->topLevelItemCount(); ++i)
            GamerViewCustomDrawItem(GamerView->topLevelItem(i));
        return;
    }
    GamerView->clear();
    const QString X = ModeWord();
    const QString name = ChallengeName->text();
    if (name.isEmpty()) {
        applyState({X + QStringLiteral("name\r\neingeben."), false, false, false});
        return;
    }
    // A name that would leave the data folder, or a mode without files, names
    // no file: nothing can be read, written or created under it.
    ChallengeFileName = CompetitionFilePath(ProgramDir(), name, playMode());
    if (ChallengeFileName.isEmpty() || !QFileInfo(ChallengeFileName).isFile()) {
        applyState({X + QStringLiteral("name\r\nunbekannt."), false, !ChallengeFileName.isEmpty(), false});
        return;
    }
    TIniFile ini(ChallengeFileName);
    if (!ini.Load() || !documentIsPlayable(ini)) {
        // Clearing would make a tampered file valid again.
        applyState({X + QStringLiteral("datei\r\nungültig."), false, true, false});
        return;
    }
    const bool owner = PasswordMatches(ini, Passwort->text());
    TraceCat(5, owner ? QStringLiteral("Challenge / Turnier Passwort richtig")
                      : QStringLiteral("Challenge / Turnier Passwort falsch"));
    TChallengeState s{QString(), false, owner, owner};
    const int stages = StageKeys(ini).size();
    const QString nick = Nickname->text();
    const int own = stageNumberOf(ini, nick);
    if (own < stages) {
        TraceCat(5, QStringLiteral("Challenge / Turnier letztes Spiel nicht erreicht"));
        s.Caption = X + QStringLiteral("spiel\r\nstarten");
        s.Start = true;
    } else {
        TraceCat(5, QStringLiteral("Challenge / Turnier letztes Spiel erreicht"));
        if (owner) {
            s.Caption = X + QStringLiteral(" erweitern\r\nSpiel starten.");
            s.Start = true;
        } else {
            s.Caption = X + QStringLiteral(" erweitern\r\nnur mit Passwort!");
            s = {s.Caption, false, false, false};
        }
    }
    // A challenge result is stored under the nickname: it must name a key.
    if (X == kChallengeWord && !TIniFile::IsWritableKey(nick)) {
        s.Caption =
            nick.isEmpty() ? QStringLiteral("Spielername\r\neingeben.") : QStringLiteral("Spielername\r\nungültig.");
        s.Start = false;
    }
    applyState(s);

    if (!bt_start->isHidden() && X == kTournamentWord) {
        const QStringList players = ini.ReadSection(kEtappe);
        const int n = players.size();
        const int online = Form1 ? Form1->CountOnlinePlayers() : 0;
        QString failure;
        if (n != 0 && n < online) {
            failure = QStringLiteral("Zuviele Spieler\r\nfür dieses Turnier.");
        } else if (n > online) {
            failure = QStringLiteral("Zuwenig Spieler\r\nfür dieses Turnier.");
        } else {
            for (const QString &p : players)
                if (!Form1 || !Form1->IsPlayerNameTaken(p)) {
                    failure = QStringLiteral("Falsche Spieler\r\nfür dieses Turnier.");
                    break;
                }
            if (failure.isEmpty() && n > 0) {
                const int first = stageNumberOf(ini, players.first());
                for (const QString &p : players)
                    if (stageNumberOf(ini, p) != first) {
                        failure = QStringLiteral("Falsche Spieleanzahl der\r\neinzelnen Spieler.");
                        break;
                    }
            }
            if (failure.isEmpty() && online < 2)
                failure = QStringLiteral("Zuwenig Spieler\r\nfür ein Turnier.");
        }
        if (!failure.isEmpty()) {
            bt_start->SetCaption(failure);
            bt_start->setEnabled(false);
        }
        // The clients show the host's results list as the host shows it,
        // also while the players online do not fit the file: the list below
        // is filled from this file either way. The sender reads the open file.
        if (Sender != Passwort && NETZ && !isClient()) {
            TIniFile *previous = NETZ->WorkIni;
            NETZ->WorkIni = &ini;
            NETZ->SendTournamentData(-1);
            NETZ->WorkIni = previous;
        }
    }
    FillGamerView(ini, Sender);
}

void TFormCha::Refresh()
{
    UpdateState(nullptr);
}

void TFormCha::ChallengeNameChange(QObject *Sender)
{
    UpdateState(Sender);
    if (const int rule = endRule())
        RegWriteInteger(QStringLiteral("TurnierEndeArt"), rule);
}
