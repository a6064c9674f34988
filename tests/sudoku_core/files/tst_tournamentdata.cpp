// The tournament telegrams: their exact bytes, the parts a tournament file
// gives and their order, the sums of the totals, and the texts a client
// makes of a stage and of a result.
#include "files/UIniFile.h"
#include "files/UTournamentData.h"

#include <QtTest>

namespace {
const char kPuzzle[] = "eHcFDgaibdgiahBcFefbAicEHGdadHcbifeGbCGefhDAiIfedgaBchcEFBidGhagAbHefidchidgACeBf";

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text));
}

QByteArray le(int32_t v)
{
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = char((uint32_t(v) >> (8 * i)) & 0xFF);
    return b;
}

// The 84 bytes of a kind-123 telegram as the queue to slot 2 sends it (TAN 7).
QByteArray wire(int32_t z, int32_t x, int32_t y, int32_t a, int32_t b, const QByteArray &text)
{
    QByteArray w = le(123) + le(7) + le(2) + le(1) + le(100) + le(-1) + le(x) + le(y) + le(a) + le(b) + le(z);
    w += hex("01 000000");
    w += char(text.size());
    w += text;
    w += QByteArray(35 - text.size(), '\0');
    return w;
}

TIniFile docOf(const QByteArray &bytes)
{
    TIniFile ini;
    ini.SetBytes(bytes);
    return ini;
}

QByteArray header()
{
    return "[Spiele]\r\nchksum=0123456789abcdef0123456789abcdef\r\nPasswort=d41d8cd98f00b204e9800998ecf8427e\r\n";
}

QByteArray stage(int n, const char *options)
{
    return QByteArray("000") + QByteArray::number(n) + "=" + kPuzzle + options + "\r\n";
}

TTournamentPart part(int32_t z, const QString &text, int32_t x = 0, int32_t y = 0, int32_t a = 0, int32_t b = 0)
{
    TTournamentPart p;
    p.Part = z;
    p.Text = text;
    p.x = x;
    p.y = y;
    p.a = a;
    p.b = b;
    return p;
}

QString levelName(int level)
{
    static const char *const names[] = {"Leicht", "Mittel", "Schwer", "Profi"};
    return level >= 0 && level <= 3 ? QString::fromLatin1(names[level]) : QString();
}
QString ratingName(int rating)
{
    return levelName(rating - 1);
}

QString describe(const QList<TTournamentPart> &parts)
{
    QStringList out;
    for (const TTournamentPart &p : parts)
        out << QStringLiteral("%1:%2 x%3 y%4 a%5 b%6").arg(p.Part).arg(p.Text).arg(p.x).arg(p.y).arg(p.a).arg(p.b);
    return out.join(QStringLiteral(" | "));
}
} // namespace

using TPartList = QList<TTournamentPart>;
Q_DECLARE_METATYPE(TTournamentPart)

class TstTournamentData : public QObject {
    Q_OBJECT

private slots:
    void telegramBytes_data()
    {
        QTest::addColumn<TTournamentPart>("part");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("header, rebuild") << TournamentHeaderPart("Herbst", 2, kTournamentRebuild)
                                         << wire(1, 2, -1, 0, 0, "Herbst");
        QTest::newRow("header, lock") << TournamentHeaderPart("Herbst", 1, kTournamentLock)
                                      << wire(1, 1, 0, 0, 0, "Herbst");
        QTest::newRow("header, close") << TournamentHeaderPart("Herbst", 3, kTournamentClose)
                                       << wire(1, 3, 99, 0, 0, "Herbst");
        QTest::newRow("header, umlaut in the name")
            << TournamentHeaderPart(QString::fromUtf8("Größe"), 2, kTournamentRebuild)
            << wire(1, 2, -1, 0, 0, hex("4772f6df65"));
        QTest::newRow("header, name cut to 35") << TournamentHeaderPart(QString(40, QChar('T')), 2, kTournamentRebuild)
                                                << wire(1, 2, -1, 0, 0, QByteArray(35, 'T'));
        QTest::newRow("stage") << part(tpStage, "SS124", 3) << wire(2, 3, 0, 0, 0, "SS124");
        QTest::newRow("total") << part(tpTotal, "Anna", 25, 13500, 2, 1) << wire(3, 25, 13500, 2, 1, "Anna");
        QTest::newRow("total, negative sums") << part(tpTotal, "Anna", -5, int32_t(0x80000000u), 2, -1)
                                              << wire(3, -5, int32_t(0x80000000u), 2, -1, "Anna");
        QTest::newRow("stage result") << part(tpStageResult, "Bert", 10, 600, 4, 0) << wire(4, 10, 600, 4, 0, "Bert");
        QTest::newRow("stage result, nickname cut to 35")
            << part(tpStageResult, QString(36, QChar('n')) + "x", 1, 2, 1, 3)
            << wire(4, 1, 2, 1, 3, QByteArray(35, 'n'));
        QTest::newRow("empty text") << part(tpStage, QString(), 1) << wire(2, 1, 0, 0, 0, QByteArray());
    }
    void telegramBytes()
    {
        QFETCH(TTournamentPart, part);
        QFETCH(QByteArray, expected);
        TTelegram t = TournamentTelegram(part);
        QCOMPARE(t.Aktion, int32_t(akTournament));
        QCOMPARE(int(t.Data), 1);
        // What the per-peer queue adds before it sends.
        t.TAN = 7;
        t.Loop = 2;
        t.ACK = 1;
        t.RetryCount = 100;
        const QByteArray bytes = EncodeTelegram(t);
        QCOMPARE(bytes.size(), kTelegramFullSize);
        QCOMPARE(bytes.toHex(' '), expected.toHex(' '));

        // And back: what a client reads, the text at most 35 characters.
        TTelegram back;
        QCOMPARE(DecodeTelegram(bytes, back), TWireStatus::Ok);
        QVERIFY(TelegramFieldsInRange(back));
        TTournamentPart got = TournamentPartOf(back);
        TTournamentPart want = part;
        want.Text = want.Text.left(kTelegramTextMax);
        QCOMPARE(got, want);
    }

    void partOutOfRange_data()
    {
        QTest::addColumn<int>("z");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("0") << 0 << false;
        QTest::newRow("1") << 1 << true;
        QTest::newRow("4") << 4 << true;
        QTest::newRow("5") << 5 << false;
    }
    void partOutOfRange()
    {
        QFETCH(int, z);
        QFETCH(bool, accepted);
        TTelegram t = TournamentTelegram(part(z, "x"));
        QCOMPARE(TelegramFieldsInRange(t), accepted);
    }

    void fileParts_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<TPartList>("expected");

        QTest::newRow("no stages, no players") << header() + "[Etappe]\r\n" << TPartList{};
        QTest::newRow("no stages, two players") << header() + "[Etappe]\r\nAnna=0000\r\nBert=0000\r\n"
                                                << TPartList{part(tpTotal, "Anna"), part(tpTotal, "Bert")};
        QTest::newRow("fewer than two keys in Spiele")
            << QByteArray("[Spiele]\r\nchksum=0\r\n[Etappe]\r\nAnna=0001\r\n[0001]\r\nAnna=1*2*3\r\n") << TPartList{};
        QTest::newRow("no Spiele at all") << QByteArray("[Etappe]\r\nAnna=0001\r\n") << TPartList{};
        QTest::newRow("several stages") << header() + stage(1, "SS014") + stage(2, "ID123") + stage(3, "ZS232") +
                                               "[Etappe]\r\nAnna=0002\r\nBert=0002\r\n"
                                               "[0001]\r\nAnna=12*3456*1\r\nBert=8*4000*2\r\n"
                                               "[0002]\r\nBert=10*2000*0\r\nAnna=0*0*0\r\n"
                                        << TPartList{part(tpStage, "SS014", 1),
                                                     part(tpStage, "ID123", 2),
                                                     part(tpStage, "ZS232", 3),
                                                     part(tpTotal, "Anna", 12, 3456, 2, 1),
                                                     part(tpTotal, "Bert", 18, 6000, 2, 2),
                                                     part(tpStageResult, "Anna", 12, 3456, 1, 1),
                                                     part(tpStageResult, "Bert", 8, 4000, 1, 2),
                                                     part(tpStageResult, "Bert", 10, 2000, 2, 0),
                                                     part(tpStageResult, "Anna", 0, 0, 2, 0)};
        QTest::newRow("stage 2 of 4") << header() + stage(1, "SS014") + stage(2, "SS014") + stage(3, "SS014") +
                                             stage(4, "SS014") +
                                             "[Etappe]\r\nCarl=0002\r\n"
                                             "[0001]\r\nDora=1*1*1\r\n"
                                             "[0002]\r\nCarl=5*300*1\r\n"
                                             "[0003]\r\nCarl=7*700*7\r\n"
                                      << TPartList{part(tpStage, "SS014", 1),
                                                   part(tpStage, "SS014", 2),
                                                   part(tpStage, "SS014", 3),
                                                   part(tpStage, "SS014", 4),
                                                   part(tpTotal, "Carl", 5, 300, 2, 1),
                                                   part(tpStageResult, "Dora", 1, 1, 1, 1),
                                                   part(tpStageResult, "Carl", 5, 300, 2, 1),
                                                   part(tpStageResult, "Carl", 7, 700, 3, 7)};
        QTest::newRow("sums wrap in 32 bits")
            << header() + stage(1, "SS014") + stage(2, "SS014") +
                   "[Etappe]\r\nAnna=0002\r\n[0001]\r\nAnna=2147483647*2147483647*1\r\n[0002]\r\nAnna=1*2*3\r\n"
            << TPartList{part(tpStage, "SS014", 1), part(tpStage, "SS014", 2),
                         part(tpTotal, "Anna", int32_t(0x80000000u), int32_t(0x80000001u), 2, 4),
                         part(tpStageResult, "Anna", 2147483647, 2147483647, 1, 1),
                         part(tpStageResult, "Anna", 1, 2, 2, 3)};
        QTest::newRow("stage number far beyond the file")
            << header() + stage(1, "SS014") + "[Etappe]\r\nAnna=99999999\r\n[0001]\r\nAnna=4*5*6\r\n"
            << TPartList{part(tpStage, "SS014", 1), part(tpTotal, "Anna", 4, 5, 99999999, 6),
                         part(tpStageResult, "Anna", 4, 5, 1, 6)};
        QTest::newRow("stage number not a number")
            << header() + stage(1, "SS014") + "[Etappe]\r\nAnna=zwei\r\n[0001]\r\nAnna=4*5*6\r\n"
            << TPartList{part(tpStage, "SS014", 1), part(tpTotal, "Anna"), part(tpStageResult, "Anna", 4, 5, 1, 6)};
        QTest::newRow("short stage code") << header() + "0001=abc\r\n[Etappe]\r\n"
                                          << TPartList{part(tpStage, QString(), 1)};
    }
    void fileParts()
    {
        QFETCH(QByteArray, file);
        QFETCH(TPartList, expected);
        const TPartList got = TournamentFileParts(docOf(file));
        QCOMPARE(describe(got), describe(expected));
    }

    void stageLine_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("line");
        QTest::newRow("third Sudoku stage") << 3 << "SS124"
                                            << "0003: Sudoku; Vorgabe: Mittel; Bewertung: Mittel; Merker: 4";
        QTest::newRow("evaluation letter not shown") << 3 << "SD124"
                                                     << "0003: Sudoku; Vorgabe: Mittel; Bewertung: Mittel; Merker: 4";
        QTest::newRow("letters A-I") << 1 << "IS330"
                                     << "0001: Mojidoku A-I; Vorgabe: Profi; Bewertung: Schwer; Merker: 0";
        QTest::newRow("letters A-Z") << 12 << "ZD219"
                                     << "0012: Mojidoku A-Z; Vorgabe: Schwer; Bewertung: Leicht; Merker: 9";
        QTest::newRow("other type adds nothing") << 2 << "BS044"
                                                 << "0002: Vorgabe: Leicht; Bewertung: Profi; Merker: 4";
        QTest::newRow("level not a digit") << 2 << "SSx14"
                                           << "0002: Sudoku; Vorgabe: ; Bewertung: Leicht; Merker: 4";
        QTest::newRow("longer code") << 10000 << "SS1245"
                                     << "10000: Sudoku; Vorgabe: Mittel; Bewertung: Mittel; Merker: 4";
        QTest::newRow("four characters: nothing") << 1 << "SS12" << QString();
        QTest::newRow("empty: nothing") << 1 << "" << QString();
    }
    void stageLine()
    {
        QFETCH(int, position);
        QFETCH(QString, code);
        QFETCH(QString, line);
        QCOMPARE(TournamentStageLine(position, code, &levelName, &ratingName), line);
    }

    void rowsAndTraces_data()
    {
        QTest::addColumn<TTournamentPart>("part");
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("stageNr");
        QTest::addColumn<QString>("sent");
        QTest::addColumn<QString>("received");
        QTest::newRow("total") << part(tpTotal, "Anna", 25, 13500, 2, 1) << "2"
                               << ""
                               << "Turnierdaten: GamerMax= Anna pkt(25) time(13500) error(1)"
                               << "TURNIER: Anna AnzSpiele:2";
        QTest::newRow("stage result") << part(tpStageResult, "Bert", 10, 600, 4, 0) << ""
                                      << "0004"
                                      << "Turnierdaten: Gamer= Bert pkt(10) time(600) error(0)"
                                      << "TURNIER: Bert Etappe:0004";
    }
    void rowsAndTraces()
    {
        QFETCH(TTournamentPart, part);
        QFETCH(QString, count);
        QFETCH(QString, stageNr);
        QFETCH(QString, sent);
        QFETCH(QString, received);
        const TTournamentRow row = TournamentRowOf(part);
        QCOMPARE(row.Name, part.Text);
        QCOMPARE(row.Count, count);
        QCOMPARE(row.StageNr, stageNr);
        QCOMPARE(row.Points, part.x);
        QCOMPARE(row.Tenths, int64_t(part.y));
        QCOMPARE(row.Errors, part.b);
        QCOMPARE(TournamentSendTrace(part), sent);
        QCOMPARE(TournamentReceiveTrace(part), received);
    }

    void headerAndStageTraces()
    {
        QCOMPARE(TournamentSendTrace(TournamentHeaderPart("Herbst", 2, -1)), QString("Turnierdaten: Name= Herbst"));
        QCOMPARE(TournamentSendTrace(part(tpStage, "SS124", 1)), QString("Turnierdaten: Spiele= SS124"));
    }
};

QTEST_GUILESS_MAIN(TstTournamentData)
#include "tst_tournamentdata.moc"
