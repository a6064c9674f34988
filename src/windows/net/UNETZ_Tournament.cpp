// The tournament data of kind 123: the host sends its clients the header,
// the stages and the players' results of the tournament file; a client fills
// and locks its challenge window from them, or closes it.
#include "net/UNETZ.h"

#include "board/ULog.h"
#include "board/UQuadrivo.h"
#include "board/UQuadrivo_Types.h"
#include "competitions/UChallenge.h"
#include "files/UTournamentData.h"
#include "screens/UGameOptionen.h"

#include <QTreeWidgetItem>

namespace {
constexpr int kTraceTournament = 5;

// The end rule the host's window shows: 1, 2 or 3, or 0 when none is checked.
int32_t checkedEndRule()
{
    if (!FormCha)
        return 0;
    const TRadioButton *rules[] = {FormCha->RB1, FormCha->RB2, FormCha->RB3};
    for (int i = 0; i < 3; ++i)
        if (rules[i] && rules[i]->isChecked())
            return i + 1;
    return 0;
}

// Checks the end rule x names (1..3); any other value leaves none checked.
void showEndRule(int32_t x)
{
    TRadioButton *rules[] = {FormCha->RB1, FormCha->RB2, FormCha->RB3};
    for (int i = 0; i < 3; ++i) {
        TRadioButton *rb = rules[i];
        if (!rb)
            continue;
        rb->setEnabled(false);
        // Exclusive buttons cannot all be unchecked otherwise.
        const bool exclusive = rb->autoExclusive();
        rb->setAutoExclusive(false);
        rb->setChecked(x == i + 1);
        rb->setAutoExclusive(exclusive);
    }
}
} // namespace

// ---- host side ------------------------------------------------------------------

bool TNETZ::SendsTournamentData() const
{
    // Only the host holds the tournament file; a client's window may pass the
    // checks on a file of its own, which nobody else must be sent.
    if (MyPlayerNo == 1)
        return true;
    return MyPlayerNo == 0 && Form1 && Form1->HostsNetworkGame;
}

void TNETZ::SendTournamentData(int mode)
{
    TraceCat(kTraceTournament, QStringLiteral("Sende Turnierdaten"));
    if (!SendsTournamentData()) {
        TraceCat(kTraceTournament, QStringLiteral("Turnierdaten nicht gesendet: nur der Server sendet sie"));
        return;
    }
    const QString name = FormCha && FormCha->ChallengeName ? FormCha->ChallengeName->text() : QString();
    QList<TTournamentPart> parts{TournamentHeaderPart(name, checkedEndRule(), mode)};
    if (mode != kTournamentLock && mode != kTournamentClose && WorkIni)
        parts += TournamentFileParts(*WorkIni);

    // A client gets the whole dump or nothing: half a tree would stand in its
    // window as if it were the tournament.
    TPlayerRecord *table = PlayerSlots();
    if (!table)
        return;
    QList<int> to;
    for (int p = 2; p <= 8; ++p) {
        if (!table[p].Active)
            continue;
        const int room = kTelegramRingSize - 1 - QueuedCount(p);
        if (room < parts.size()) {
            TraceCat(kTraceTournament,
                     QStringLiteral("Turnierdaten an %1(%2) nicht gesendet: Warteschlange hat Platz für %3 von %4")
                         .arg(table[p].Name, table[p].Address)
                         .arg(room)
                         .arg(parts.size()));
            continue;
        }
        to << p;
    }

    for (const TTournamentPart &part : parts) {
        for (int p : to) {
            Tel = TournamentTelegram(part);
            SendToPlayer(p);
        }
        TraceCat(kTraceTournament, TournamentSendTrace(part));
    }
}

// ---- client side ----------------------------------------------------------------

bool TNETZ::TournamentRootValid() const
{
    // The root is only compared, never followed, until the tree still holds it.
    return TournamentRoot && FormCha && FormCha->Tree && FormCha->Tree->indexOfTopLevelItem(TournamentRoot) >= 0;
}

void TNETZ::OnTournamentData()
{
    const TTournamentPart part = TournamentPartOf(Tel);
    if (MyPlayerNo <= 1) {
        TraceCat(kTraceTournament,
                 QStringLiteral("TURNIER: Turnierdaten ignoriert, kein Mitspieler (%1)").arg(MyPlayerNo));
        return;
    }
    if (!FormCha)
        return;

    switch (part.Part) {
    case tpHeader: {
        FormCha->TournamentActive = true;
        if (part.y == kTournamentClose) {
            FormCha->close();
            // Closed by the host: the mode ends here even if the window was
            // hidden already and saw no close.
            FormCha->TournamentActive = false;
            FormCha->ChallengeActive = false;
            TournamentRoot = nullptr;
            return;
        }
        // The host's tournament, locked; what the host sent before stays
        // unless this is a rebuild.
        FormCha->ShowHostTournament();
        showEndRule(part.x);

        // A lock alone keeps the lists only where they hold the host's
        // tournament: whatever else the window listed is not the host's.
        if (part.y == kTournamentLock && !TournamentRootValid())
            FormCha->ClearTournamentLists();
        if (part.y != kTournamentLock) {
            TraceCat(kTraceTournament, QStringLiteral("TURNIER: Listen löschen"));
            TraceCat(kTraceTournament, QStringLiteral("TURNIER: ") + part.Text);
            FormCha->ClearTournamentLists();
            TournamentRoot = nullptr;
            if (FormCha->Tree) {
                TournamentRoot = new QTreeWidgetItem(QStringList{part.Text});
                FormCha->Tree->addTopLevelItem(TournamentRoot);
            }
        }
        return;
    }
    case tpStage: {
        if (!TournamentRootValid()) {
            TraceCat(kTraceTournament, QStringLiteral("TURNIER: Etappe %1 ohne Turnier ignoriert").arg(part.x));
            return;
        }
        const QString line = TournamentStageLine(part.x, part.Text, &TFormGO::LevelName, &TFormGO::RatingName);
        if (line.isEmpty()) {
            TraceCat(kTraceTournament,
                     QStringLiteral("TURNIER: Etappe %1 ignoriert, Optionen zu kurz (%2)").arg(part.x).arg(part.Text));
            return;
        }
        new QTreeWidgetItem(TournamentRoot, QStringList{line});
        FormCha->Tree->expandAll();
        TraceCat(kTraceTournament, QStringLiteral("TURNIER: ") + line);
        return;
    }
    case tpTotal:
    case tpStageResult: {
        const TTournamentRow row = TournamentRowOf(part);
        FormCha->AddGamerRow(row.Name, row.Count, row.StageNr, row.Points, row.Tenths, row.Errors);
        TraceCat(kTraceTournament, TournamentReceiveTrace(part));
        return;
    }
    default:
        return;
    }
}
