#pragma once
// The tournament as the host hands it to its clients: telegrams of kind 123
// in four parts, each a plain record here, built from the values or from the
// tournament file, and the texts a client makes of them. No window, no
// socket: the sender and the receiver in the network module use these.
//
// Every part travels with Data = 1 and z = the part number:
//   1 header        Text = tournament name, x = end rule 1..3, y = mode (-1, 0, 99)
//   2 stage         Text = the stage's options code (stage code from character 82),
//                   x = the stage's position, 1 for the first
//   3 player total  Text = nickname, x = points, y = tenths, a = "Etappe" number,
//                   b = errors, summed over the stage sections up to that number
//   4 stage result  Text = nickname, x = points, y = tenths, a = stage number, b = errors
// A client receives one header, then (mode -1 only) all stages in order, the
// totals in "Etappe" order and the stage results by stage, then in file order.

#include "files/UIniFile.h"
#include "net/UNETZ_Telegram.h"

#include <QList>
#include <QString>
#include <cstdint>

enum TTournamentPartKind : int32_t {
    tpHeader = 1,
    tpStage = 2,
    tpTotal = 3,
    tpStageResult = 4,
};

// Modes of the header.
inline constexpr int32_t kTournamentRebuild = -1; // stages and results follow
inline constexpr int32_t kTournamentLock = 0;     // set up and lock; the lists stay
inline constexpr int32_t kTournamentClose = 99;   // close the window

// The shortest options code a client reads a stage line from.
inline constexpr int kTournamentOptionsLength = 5;

struct TTournamentPart {
    int32_t Part = 0;
    QString Text; // as given; the telegram carries at most 35 characters of it
    int32_t x = 0;
    int32_t y = 0;
    int32_t a = 0;
    int32_t b = 0;

    bool operator==(const TTournamentPart &) const = default;
};

TTournamentPart TournamentHeaderPart(const QString &name, int32_t endRule, int32_t mode);

// Parts 2, 3 and 4 of a tournament file, in the order they are sent. A file
// with fewer than two keys in "Spiele" gives nothing at all. Sums wrap in 32
// bits; a missing entry counts as "0*0*0".
QList<TTournamentPart> TournamentFileParts(const TIniFile &ini);

// The telegram of a part: kind 123, Data 1, z = part, text cut to 35 characters.
TTelegram TournamentTelegram(const TTournamentPart &part);
// The part a received telegram carries.
TTournamentPart TournamentPartOf(const TTelegram &tel);

// The host's trace line for a part it sends.
QString TournamentSendTrace(const TTournamentPart &part);

// A client's tree line for a stage: "0003: Sudoku; Vorgabe: Mittel;
// Bewertung: Mittel; Merker: 4". The evaluation letter (second) is not
// shown. Empty when the code is shorter than the five characters it reads.
QString TournamentStageLine(int32_t position, const QString &optionsCode, QString (*levelName)(int),
                            QString (*ratingName)(int));

// The results-list cells of a total (part 3) or a stage result (part 4):
// "Anz." is the "Etappe" number of a total, "Spielnr." the four-digit stage
// of a stage result; the other stays empty.
struct TTournamentRow {
    QString Name;
    QString Count;
    QString StageNr;
    int32_t Points = 0;
    int64_t Tenths = 0;
    int32_t Errors = 0;
};
TTournamentRow TournamentRowOf(const TTournamentPart &part);
// The client's trace line for a total or a stage result.
QString TournamentReceiveTrace(const TTournamentPart &part);
