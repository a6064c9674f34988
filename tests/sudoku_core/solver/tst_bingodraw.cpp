// The Bingo draw on its own list, board and solver: the offer of each draw
// and its refill, the list's bookkeeping, the kinds of offer, and whole Bingo
// games played only with offered items to a full board.
#include "common/TestEnv.h"
#include "board/UQuadrivo_Builtin.h"
#include "codes/UQuadrivo_Codes.h"
#include "settings/USystem.h"
#include "solver/BingoSupport.h"
#include "solver/UBingo_Draw.h"
#include "solver/USolver_Engine.h"
#include "solver/USolver_Generator.h"

#include <QRegularExpression>
#include <QSet>
#include <QtTest>
#include <random>

namespace {

// Logic finds nothing here: every open cell needs a guess.
const char kNothing[] = "ADBFGHCIEICEDABHGFHFGCEIBADfEHgDCiBAgBdifAEChCiABhEfDgBAFECGDHIdgiHBFAECEHCAIDGFB";

int BuiltinCount(int level)
{
    int n = 0;
    while (n < 13 && kBuiltinPuzzles[level][n])
        ++n;
    return n;
}

// A host's Bingo game without windows: the board, the solver, the list.
struct TBingoGame {
    TBoards Boards;
    TSolverEngine Solver;
    TSolverGrid GameGrid;
    TBingoList List;
    bool DrawNumbers = false;
    TBingoSettings S;
    QStringList Lines;
    bool Tracing = false;
    int MaxPasses = 0;

    TBingoDraw draw()
    {
        TBingoDraw d(List, DrawNumbers, Solver, Boards, S);
        if (Tracing)
            d.Trace = [this](const QString &t) { Lines << t; };
        return d;
    }
    void load(const QString &puzzle)
    {
        for (int k = 0; k <= 8; ++k)
            Boards[k] = TBoardLayer();
        LoadPuzzleStringInto(Boards[0], puzzle);
        Boards[1] = Boards[0];
        Solver.ResetGrid(GameGrid);
        Solver.LoadGameFromBoard(GameGrid, Boards);
        Solver.SolveStep(GameGrid, false);
        List = TBingoList();
    }
    bool first()
    {
        TBingoDraw d = draw();
        const bool r = d.NextBingoDraw(true, true);
        MaxPasses = std::max(MaxPasses, d.RefillPasses);
        return r;
    }
    // The host's handling of a right entry in a Bingo game.
    bool enter(int x, int y, int digit)
    {
        Boards[1][x][y].Value = digit;
        Boards[1][x][y].State = 1;
        List.InputSinceDraw = QString::number(digit);
        Solver.PlaceDigit(GameGrid, x, digit, y);
        draw().RemoveBingoEntry(x, y, digit);
        Solver.SolveStep(GameGrid, false);
        TBingoDraw d = draw();
        const bool r = d.NextBingoDraw(false, true);
        MaxPasses = std::max(MaxPasses, d.RefillPasses);
        return r;
    }
    int solution(int x, int y) const { return Boards[0][x][y].Value; }
    bool isFree(int x, int y) const { return IsCellFreeOnAllLayers(Boards, x, y); }
    int freeCells() const { return CountFreeCells(Boards); }
    bool numbersNow() { return draw().IsBingoNumbersNow(); }
};

// The options: fill "wenn Vorgabe leer" or "sofort", change 0 fest, 1
// wechselnd, 2 Zufall, numbers or fields, items per offer.
TBingoSettings Settings(bool whenEmpty, int change, bool numbers, int max = 4)
{
    TBingoSettings s;
    s.Max = max;
    s.RefillEmpty = whenEmpty;
    s.Fixed = change == 0;
    s.Alternate = change == 1;
    s.Random = change == 2;
    s.Numbers = numbers;
    return s;
}

// What is wrong with the current offer, or an empty text.
QString OfferFault(const TBingoGame &g, int expectedSize)
{
    const TBingoList &l = g.List;
    const int n = int(l.OfferValues.size());
    if (l.OfferX.size() != n || l.OfferY.size() != n)
        return QStringLiteral("offer strings of different length");
    if (expectedSize >= 0 && n != expectedSize)
        return QStringLiteral("offer of %1 items, %2 expected").arg(n).arg(expectedSize);
    QSet<int> cells;
    for (int i = 0; i < n; ++i) {
        const int v = l.OfferValues[i].digitValue(), x = l.OfferX[i].digitValue(), y = l.OfferY[i].digitValue();
        if (v < 1 || x < 1 || y < 1)
            return QStringLiteral("item %1 is not a digit in a cell: %2 (%3,%4)").arg(i).arg(v).arg(x).arg(y);
        if (!g.isFree(x, y))
            return QStringLiteral("item %1 lies on a filled cell (%2,%3)").arg(i).arg(x).arg(y);
        if (g.solution(x, y) != v)
            return QStringLiteral("item %1 is not the solution of (%2,%3)").arg(i).arg(x).arg(y);
        if (cells.contains(10 * y + x))
            return QStringLiteral("cell (%1,%2) offered twice").arg(x).arg(y);
        cells.insert(10 * y + x);
        const BingoEntry &e = l.Entries[i];
        if (e.x != x || e.y != y || e.value != v || e.kind != BingoKindOffered)
            return QStringLiteral("slot %1 is not the offered item").arg(i);
    }
    for (int i = n; i < kBingoSlots; ++i)
        if (l.Entries[i].value != 0)
            return QStringLiteral("slot %1 holds an entry beyond the offer").arg(i);
    return QString();
}

// Entries as "value@xy/kind" for the slots that hold a value, "-" for free ones, up to the last used.
QString ListText(const TBingoList &l)
{
    int last = -1;
    for (int i = 0; i < kBingoSlots; ++i)
        if (l.Entries[i].value != 0)
            last = i;
    QStringList out;
    for (int i = 0; i <= last; ++i) {
        const BingoEntry &e = l.Entries[i];
        out << (e.value == 0 ? QStringLiteral("-")
                             : QStringLiteral("%1@%2%3/%4").arg(e.value).arg(e.x).arg(e.y).arg(e.kind));
    }
    return out.join(QLatin1Char(' '));
}

// The counter in nanoseconds; the tests move it.
int64_t Now = 5000000000LL;

} // namespace

class TstBingoDraw : public QObject {
    Q_OBJECT
    TTestEnv env;

    // Plays a whole game with offered items only; returns a fault or empty.
    QString playWholeGame(TBingoGame &g, std::mt19937 &rng)
    {
        if (!g.first())
            return QStringLiteral("no first offer");
        int open = g.freeCells();
        bool newOffer = true;
        for (int step = 0; open > 0; ++step) {
            if (step > 81)
                return QStringLiteral("more entries than cells");
            const int expected = newOffer && open >= g.S.Max ? g.S.Max : -1;
            QString fault = OfferFault(g, expected);
            if (fault.isEmpty() && g.List.OfferValues.isEmpty())
                fault = QStringLiteral("stuck: nothing offered with %1 cells free").arg(open);
            if (!fault.isEmpty())
                return fault + QStringLiteral(" at step %1").arg(step);
            const int n = int(g.List.OfferValues.size());
            const int i = int(rng() % unsigned(n));
            int x = g.List.OfferX[i].digitValue(), y = g.List.OfferY[i].digitValue();
            const int v = g.List.OfferValues[i].digitValue();
            if (g.numbersNow()) {
                // A number may go into any free cell whose solution it is.
                QList<QPoint> cells;
                for (int cy = 1; cy <= 9; ++cy)
                    for (int cx = 1; cx <= 9; ++cx)
                        if (g.isFree(cx, cy) && g.solution(cx, cy) == v)
                            cells << QPoint(cx, cy);
                const QPoint c = cells[int(rng() % unsigned(cells.size()))];
                x = c.x();
                y = c.y();
            }
            Now += 1234567;
            const int before = int(g.List.OfferValues.size());
            if (!g.enter(x, y, v))
                return QStringLiteral("no offer after step %1").arg(step);
            --open;
            newOffer = !g.S.RefillEmpty || before == 1;
            if (g.S.RefillEmpty && !newOffer && g.List.OfferValues.size() != before - 1)
                return QStringLiteral("the rest of the offer changed at step %1").arg(step);
        }
        if (g.freeCells() != 0)
            return QStringLiteral("board not full");
        if (!g.List.OfferValues.isEmpty())
            return QStringLiteral("an offer on a full board");
        return QString();
    }

private slots:
    void initTestCase()
    {
        ReloadSudokuEnv();
        SetPerfCounterSource([] { return Now; });
        RandSeed(12345);
    }
    void cleanupTestCase() { SetPerfCounterSource(nullptr); }
    void init() { Now = 5000000000LL; }

    // ---- whole games ----

    void wholeGames_data()
    {
        QTest::addColumn<int>("max");
        QTest::addColumn<bool>("fields");
        QTest::addColumn<bool>("whenEmpty");
        QTest::addColumn<int>("change"); // 0 fest, 1 wechselnd, 2 Zufall
        QTest::addColumn<int>("puzzleLevel");
        QTest::newRow("4 numbers, sofort") << 4 << false << false << 0 << 0;
        QTest::newRow("4 fields, sofort") << 4 << true << false << 0 << 1;
        QTest::newRow("1 number, sofort") << 1 << false << false << 0 << 2;
        QTest::newRow("3 fields, wenn leer, fest") << 3 << true << true << 0 << 3;
        QTest::newRow("2 numbers, wenn leer, wechselnd") << 2 << false << true << 1 << 2;
        QTest::newRow("4 fields, wenn leer, Zufall") << 4 << true << true << 2 << 3;
        QTest::newRow("4 numbers, wenn leer, fest") << 4 << false << true << 0 << 1;
        // Level -1: random minimal puzzles, where logic often stalls.
        QTest::newRow("4 fields, sofort, minimal puzzles") << 4 << true << false << 0 << -1;
        QTest::newRow("3 numbers, wenn leer, minimal puzzles") << 3 << false << true << 0 << -1;
    }
    void wholeGames()
    {
        QFETCH(int, max);
        QFETCH(bool, fields);
        QFETCH(bool, whenEmpty);
        QFETCH(int, change);
        QFETCH(int, puzzleLevel);
        int maxPasses = 0;
        for (int seed = 1; seed <= 60; ++seed) {
            TBingoGame g;
            g.S = Settings(whenEmpty, change, !fields, max);
            // Built-in puzzles of the level, and a puzzle without any logic.
            QString puzzle;
            if (puzzleLevel < 0) {
                RandSeed(uint64_t(seed));
                puzzle = RandomPuzzleString(17);
            } else {
                const int count = BuiltinCount(puzzleLevel);
                puzzle = seed % (count + 1) == 0 ? QString::fromLatin1(kNothing)
                                                 : Builtin(puzzleLevel, seed % (count + 1) - 1);
            }
            g.load(puzzle);
            Now = 1000000007LL * seed;
            std::mt19937 rng{unsigned(seed)};
            const QString fault = playWholeGame(g, rng);
            QVERIFY2(fault.isEmpty(), qPrintable(QStringLiteral("seed %1: ").arg(seed) + fault));
            maxPasses = std::max(maxPasses, g.MaxPasses);
        }
        QVERIFY(maxPasses < TBingoDraw::kMaxRefillPasses);
    }

    // ---- single draws ----

    void offerOfMaxSingles_data()
    {
        QTest::addColumn<int>("max");
        QTest::newRow("1") << 1;
        QTest::newRow("2") << 2;
        QTest::newRow("3") << 3;
        QTest::newRow("4") << 4;
    }
    void offerOfMaxSingles()
    {
        QFETCH(int, max);
        TBingoGame g;
        g.S.Max = max;
        g.load(Builtin(0, 0));
        TSolverGrid fresh;
        g.Solver.LoadGameFromBoard(fresh, g.Boards);
        g.Solver.SolveStep(fresh, false);
        int singles = 0;
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y)
                for (int d = 1; d <= 9; ++d)
                    singles += fresh.Cells[x][y].Found[d] != 0;
        QVERIFY(singles > 4);
        QSet<QString> offers;
        for (int round = 0; round < 12; ++round) {
            Now = 99991LL * (round + 1);
            g.List = TBingoList();
            QVERIFY(g.first());
            QCOMPARE(OfferFault(g, max), QString());
            for (int i = 0; i < max; ++i) {
                const int x = g.List.OfferX[i].digitValue(), y = g.List.OfferY[i].digitValue();
                QVERIFY(fresh.Cells[x][y].Found[g.List.OfferValues[i].digitValue()]);
            }
            // No refill was needed.
            QCOMPARE(g.MaxPasses, 0);
            offers.insert(g.List.OfferX + g.List.OfferY);
        }
        // With more singles than items the choice is random.
        QVERIFY(offers.size() > 1);
    }

    void offerDrawnAtRandomWithoutLogic()
    {
        TBingoGame g;
        g.S.Max = 3;
        g.Tracing = true;
        g.load(QString::fromLatin1(kNothing));
        QVERIFY(g.first());
        QCOMPARE(OfferFault(g, 3), QString());
        QVERIFY(g.Lines.contains(QStringLiteral("Nichts zu finden, Losen.")));
        const QStringList drawn = g.Lines.filter(QRegularExpression(QStringLiteral("^gelost wurde \\(\\d,\\d\\)\\d$")));
        QVERIFY(!drawn.isEmpty());
        QVERIFY(drawn.size() <= 3);
    }

    void fewerFreeCellsThanItems()
    {
        TBingoGame g;
        g.S.Max = 4;
        QString puzzle = Builtin(0, 1);
        // Two cells left open.
        for (int i = 0, open = 0; i < 81; ++i)
            if (puzzle[i].isLower() && open++ >= 2)
                puzzle[i] = puzzle[i].toUpper();
        g.load(puzzle);
        QCOMPARE(g.freeCells(), 2);
        QVERIFY(g.first());
        QCOMPARE(OfferFault(g, 2), QString());
    }

    void fullBoardOffersNothing()
    {
        TBingoGame g;
        g.Tracing = true;
        g.load(Builtin(0, 1).toUpper());
        QVERIFY(g.first());
        QCOMPARE(g.List.OfferValues, QString());
        QCOMPARE(g.List.EntryCount, 0);
        QVERIFY(g.Lines.contains(QStringLiteral("Nicht genug freie Felder")));
    }

    // A board whose reference layer holds no solution (a broken code): no
    // logic, nothing to draw at random, and the draw still ends at once.
    void drawEndsWithoutAnythingToOffer()
    {
        TBingoGame g;
        g.S.Max = 4;
        g.Tracing = true;
        for (int k = 0; k <= 8; ++k)
            g.Boards[k] = TBoardLayer();
        TBingoDraw d = g.draw();
        QVERIFY(d.NextBingoDraw(true, true));
        QVERIFY(d.RefillPasses <= 2);
        QCOMPARE(g.List.OfferValues, QString());
        QVERIFY(g.Lines.contains(QStringLiteral("Nichts zu finden, Losen.")));
    }

    // A random draw never takes a cell that an entry already holds (found
    // by the last step but not played into the draw grid yet).
    void randomDrawSkipsHeldCells()
    {
        TBingoGame g;
        g.load(Builtin(0, 3));
        TSolverGrid grid;
        g.Solver.LoadGameFromBoard(grid, g.Boards);
        QList<QPoint> open;
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x)
                if (grid.Cells[x][y].Value == 0)
                    open << QPoint(x, y);
        QVERIFY(open.size() > 3);
        const QPoint left = open[open.size() / 2];
        TBingoList held;
        int n = 0;
        for (const QPoint &c : open)
            if (c != left)
                held.Entries[n++] = {c.x(), c.y(), g.solution(c.x(), c.y()), BingoKindCombo};
        held.EntryCount = n;
        for (int round = 1; round <= 20; ++round) {
            g.List = held;
            RandSeed(uint64_t(round));
            QVERIFY(g.draw().DrawAtRandom(grid));
            QCOMPARE(g.List.EntryCount, n + 1);
            const BingoEntry &e = g.List.Entries[n];
            QCOMPARE(QPoint(e.x, e.y), left);
            QCOMPARE(e.value, g.solution(left.x(), left.y()));
            QCOMPARE(e.kind, int(BingoKindOffered));
        }
        // Every cell held: nothing is drawn.
        QVERIFY(!g.draw().DrawAtRandom(grid));
        QCOMPARE(g.List.EntryCount, n + 1);
    }

    void clientDoesNotDraw()
    {
        TBingoGame g;
        g.load(Builtin(0, 0));
        SetList(g.List, QStringLiteral("5@11/1 3@22/2"));
        g.List.OfferValues = QStringLiteral("5");
        g.List.InputSinceDraw = QStringLiteral("5");
        const TBingoList before = g.List;
        QVERIFY(!g.draw().NextBingoDraw(false, false));
        QVERIFY(SameList(g.List, before));
    }

    // The draw seeds the generator from the counter: the counter alone decides.
    void drawDependsOnTheCounterOnly()
    {
        auto offerAt = [](int64_t now, uint64_t seedBefore) {
            TBingoGame g;
            g.S.Max = 3;
            g.load(Builtin(2, 4));
            Now = now;
            RandSeed(seedBefore);
            g.first();
            return g.List.OfferX + g.List.OfferY + g.List.OfferValues;
        };
        QCOMPARE(offerAt(123456789, 1), offerAt(123456789, 987654321));
        QSet<QString> offers;
        for (int i = 1; i <= 10; ++i)
            offers.insert(offerAt(1000003LL * i, 5));
        QVERIFY(offers.size() > 1);
    }

    void whenEmptyOnlyResendsTheRest()
    {
        TBingoGame g;
        g.S.Max = 3;
        g.S.RefillEmpty = true;
        g.S.Numbers = false;
        g.load(Builtin(1, 5));
        QVERIFY(g.first());
        QCOMPARE(OfferFault(g, 3), QString());
        const TBingoList first = g.List;
        auto item = [&](int i) {
            return QStringLiteral("%1@%2%3/1").arg(first.OfferValues[i]).arg(first.OfferX[i]).arg(first.OfferY[i]);
        };
        // The second item is entered: the other two are offered again, in list order.
        QVERIFY(g.enter(first.OfferX[1].digitValue(), first.OfferY[1].digitValue(), first.OfferValues[1].digitValue()));
        QCOMPARE(ListText(g.List), item(0) + " " + item(2));
        QCOMPARE(g.List.OfferValues, QString(first.OfferValues[0]) + first.OfferValues[2]);
        QCOMPARE(g.List.OfferX, QString(first.OfferX[0]) + first.OfferX[2]);
        QVERIFY(g.enter(first.OfferX[0].digitValue(), first.OfferY[0].digitValue(), first.OfferValues[0].digitValue()));
        QCOMPARE(ListText(g.List), item(2));
        // The offer used up: a new one of three.
        QVERIFY(g.enter(first.OfferX[2].digitValue(), first.OfferY[2].digitValue(), first.OfferValues[2].digitValue()));
        QCOMPARE(OfferFault(g, 3), QString());
    }

    // "wenn Vorgabe leer": the rest of the offer is rebuilt from the entries
    // that hold a value, in slot order, and nothing new is drawn.
    void whenEmptyRebuild_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("offer");
        QTest::addColumn<QString>("entered"); // "xyd": the entry the host removed first, or empty
        QTest::addColumn<QString>("values");
        QTest::addColumn<QString>("columns");
        QTest::addColumn<QString>("rows");
        QTest::newRow("a digit offered twice loses its first occurrence") << "5@11/1 5@22/1 3@33/1"
                                                                          << "553"
                                                                          << "115"
                                                                          << "53"
                                                                          << "23"
                                                                          << "23";
        QTest::newRow("free slots are passed over") << "- 4@55/1 - 6@66/1"
                                                    << "946"
                                                    << ""
                                                    << "46"
                                                    << "56"
                                                    << "56";
    }
    void whenEmptyRebuild()
    {
        QFETCH(QString, list);
        QFETCH(QString, offer);
        QFETCH(QString, entered);
        QFETCH(QString, values);
        QFETCH(QString, columns);
        QFETCH(QString, rows);
        TBingoGame g;
        g.S.RefillEmpty = true;
        g.load(Builtin(0, 0));
        SetList(g.List, list);
        g.List.OfferValues = offer;
        g.List.InputSinceDraw = offer.left(1);
        if (!entered.isEmpty())
            g.draw().RemoveBingoEntry(entered[0].digitValue(), entered[1].digitValue(), entered[2].digitValue());
        const QString before = ListText(g.List);
        QVERIFY(g.draw().NextBingoDraw(false, true));
        QCOMPARE(g.List.OfferValues, values);
        QCOMPARE(g.List.OfferX, columns);
        QCOMPARE(g.List.OfferY, rows);
        QCOMPARE(g.List.InputSinceDraw, QString());
        QCOMPARE(ListText(g.List), before);
    }

    // Kept offers are packed from slot 0, whatever gaps the list had.
    void keptOfferIsPacked()
    {
        TBingoGame g;
        g.S.Max = 4;
        g.load(Builtin(0, 2));
        // Two offered items in free cells, with a gap between them.
        QList<QPoint> open;
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x)
                if (g.isFree(x, y))
                    open << QPoint(x, y);
        const QPoint a = open.first(), b = open.last();
        g.List = TBingoList();
        g.List.Entries[1] = {a.x(), a.y(), g.solution(a.x(), a.y()), BingoKindOffered};
        g.List.Entries[4] = {b.x(), b.y(), g.solution(b.x(), b.y()), BingoKindOffered};
        g.List.Entries[2] = {0, 0, 0, BingoKindSingle}; // a slot with a kind but no digit
        QVERIFY(g.draw().NextBingoDraw(false, true));
        QCOMPARE(OfferFault(g, 4), QString());
        QCOMPARE(g.List.EntryCount, 4);
        QCOMPARE(g.List.Entries[0].x, a.x());
        QCOMPARE(g.List.Entries[1].x, b.x());
        QVERIFY(!g.List.OfferValues.contains(QLatin1Char('0')));
    }

    void drawTraces()
    {
        TBingoGame g;
        g.S.Max = 4;
        g.Tracing = true;
        g.load(Builtin(0, 0));
        QVERIFY(g.first());
        const QStringList expected = {
            "Alte Vorgabe () Eingabe ()",
            "Vorgabe ohne Eingabe ()",
            "Eindeutige(2) eintragen",
            "Max: 0(",
            "Aktuelle(0): 0(0) 1(0) 2(0) 3(0) 4(0) 5(0) 6(0) 7(0) 8(0) 9(0)",
            "Eindeutige zum Eintragen Auswahl(ABC",
            "Combos zum Eintragen Auswahl(): 0(0) 1(0) 2(0) 3(0) 4(0) 5(0) 6(0) 7(0) 8(0) 9(0)",
            "Aktuelle(4): 0(",
            "       x(4): 0(",
            "       y(4): 0(",
        };
        qsizetype at = 0;
        for (const QString &e : expected) {
            while (at < g.Lines.size() && !g.Lines[at].startsWith(e))
                ++at;
            QVERIFY2(at < g.Lines.size(), qPrintable(QStringLiteral("missing: ") + e));
            ++at;
        }
        QVERIFY(g.Lines.filter(QRegularExpression(QStringLiteral("^Im Sack sind \\d+$"))).size() == 1);
        QVERIFY(!g.Lines
                     .filter(QRegularExpression(
                         QStringLiteral("^Zahl\\(\\d\\) aus Zelle\\(\\d,\\d\\) an Platz\\(\\d+\\)$")))
                     .isEmpty());
    }

    // ---- the list's bookkeeping ----

    void removeBingoEntry_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("slot");
        QTest::addColumn<bool>("otherCell");
        QTest::newRow("by its cell") << "1@11/1 2@22/1 3@33/1" << 2 << 2 << 2 << "1@11/1 3@33/1" << 1 << false;
        QTest::newRow("the last slot") << "1@11/1 2@22/1 3@33/1" << 3 << 3 << 3 << "1@11/1 2@22/1" << 2 << false;
        QTest::newRow("number in another cell: last with that value")
            << "5@11/1 5@22/1 3@33/1" << 4 << 4 << 5 << "5@11/1 3@33/1" << 1 << true;
        QTest::newRow("nothing matches") << "5@11/1 3@33/1" << 4 << 4 << 7 << "5@11/1 3@33/1" << -1 << true;
        QTest::newRow("a free slot's old cell is not an entry")
            << "- 4@22/1 6@44/1" << 2 << 2 << 4 << "- 6@44/1" << 1 << false;
        QTest::newRow("digit 0 removes nothing") << "- 4@22/1" << 9 << 9 << 0 << "- 4@22/1" << -1 << true;
    }
    void removeBingoEntry()
    {
        QFETCH(QString, list);
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(int, value);
        QFETCH(QString, after);
        QFETCH(int, slot);
        QFETCH(bool, otherCell);
        TBingoGame g;
        g.Tracing = true;
        SetList(g.List, list);
        if (list.startsWith(QLatin1Char('-')))
            g.List.Entries[0].x = g.List.Entries[0].y = 2;
        g.draw().RemoveBingoEntry(x, y, value);
        QCOMPARE(ListText(g.List), after);
        QStringList want = {"Lösche Eingabe aus Liste"};
        if (otherCell)
            want << "Andere Zahl wurde gedrückt";
        want << QStringLiteral("Gelöscht wird Puffer(%1)").arg(slot) << "Lösche Eingabe fertig";
        QStringList got;
        for (const QString &l : g.Lines)
            if (!l.startsWith(QStringLiteral("0(")))
                got << l;
        QCOMPARE(got, want);
        // Four dumps of slots 0..9 around the three steps.
        QCOMPARE(g.Lines.filter(QRegularExpression(QStringLiteral("^0\\(\\d\\) 1\\(\\d\\) .* 9\\(\\d\\)$"))).size(), 4);
    }

    void removeFromAFullList()
    {
        TBingoGame g;
        for (int i = 0; i < kBingoSlots; ++i)
            g.List.Entries[i] = {1 + i % 9, 1 + (i / 9) % 9, 1 + (i * 7) % 9, BingoKindSingle};
        g.List.EntryCount = kBingoSlots;
        const BingoEntry last = g.List.Entries[kBingoSlots - 1];
        g.draw().RemoveBingoEntry(g.List.Entries[0].x, g.List.Entries[0].y, g.List.Entries[0].value);
        QCOMPARE(g.List.Entries[kBingoSlots - 2].value, last.value);
        QCOMPARE(g.List.Entries[kBingoSlots - 1].value, 0);
        QCOMPARE(g.List.EntryCount, kBingoSlots - 1);
    }

    void addUniqueCandidates()
    {
        TBingoGame g;
        g.Tracing = true;
        TSolverGrid grid;
        g.Solver.ResetGrid(grid);
        grid.Cells[1][1].Found[4] = true;
        grid.Cells[5][2].Found[7] = true;
        grid.Cells[9][9].Found[2] = true;
        grid.Cells[3][3].Value = 6;
        grid.Cells[3][3].Found[6] = true; // a filled cell gives nothing
        // Slot 1 has a kind and a cell left over but no digit: it is free.
        SetList(g.List, QStringLiteral("4@11/1 0@44/2 8@88/2"));
        g.draw().AddUniqueCandidates(grid, BingoKindCombo);
        QCOMPARE(ListText(g.List), QStringLiteral("4@11/1 7@52/3 8@88/2 2@99/3"));
        QCOMPARE(g.List.EntryCount, 4);
        QVERIFY(g.Lines.contains(QStringLiteral("Eindeutige(3) eintragen")));
        QVERIFY(g.Lines.contains(QStringLiteral("Zahl(7) aus Zelle(5,2) an Platz(1)")));
        QVERIFY(g.Lines.contains(QStringLiteral("Zahl(2) aus Zelle(9,9) an Platz(3)")));

        // No free slot: nothing is added.
        for (int i = 0; i < kBingoSlots; ++i)
            g.List.Entries[i] = {1, 1, 4, BingoKindSingle};
        grid.Cells[5][5].Found[3] = true;
        g.draw().AddUniqueCandidates(grid, BingoKindSingle);
        QCOMPARE(g.List.EntryCount, kBingoSlots);
        for (const BingoEntry &e : g.List.Entries)
            QCOMPARE(e.value, 4);
    }

    // ---- kinds of offer ----

    void numbersNow_data()
    {
        QTest::addColumn<bool>("whenEmpty");
        QTest::addColumn<int>("change");
        QTest::addColumn<bool>("numbers");
        QTest::addColumn<bool>("drawNumbers");
        QTest::addColumn<bool>("expected");
        QTest::newRow("sofort follows Zahlen whatever the change") << false << 1 << true << false << true;
        QTest::newRow("sofort with Felder") << false << 2 << false << true << false;
        QTest::newRow("wenn leer, fest: Zahlen") << true << 0 << true << false << true;
        QTest::newRow("wenn leer, fest: Felder") << true << 0 << false << true << false;
        QTest::newRow("wenn leer, wechselnd: the draw's kind") << true << 1 << true << false << false;
        QTest::newRow("wenn leer, Zufall: the draw's kind") << true << 2 << false << true << true;
    }
    void numbersNow()
    {
        QFETCH(bool, whenEmpty);
        QFETCH(int, change);
        QFETCH(bool, numbers);
        QFETCH(bool, drawNumbers);
        QFETCH(bool, expected);
        TBingoGame g;
        g.S = Settings(whenEmpty, change, numbers);
        g.DrawNumbers = drawNumbers;
        QCOMPARE(g.numbersNow(), expected);
    }

    void updateBingoKind_data()
    {
        QTest::addColumn<bool>("first");
        QTest::addColumn<bool>("whenEmpty");
        QTest::addColumn<int>("change");
        QTest::addColumn<bool>("numbers");
        QTest::addColumn<bool>("before");
        QTest::addColumn<bool>("after");
        QTest::newRow("first: Zahlen") << true << true << 1 << true << false << true;
        QTest::newRow("first: Felder") << true << false << 0 << false << true << false;
        QTest::newRow("wechselnd, wenn leer: flips") << false << true << 1 << true << true << false;
        QTest::newRow("wechselnd, wenn leer: flips back") << false << true << 1 << true << false << true;
        QTest::newRow("wechselnd, sofort: stays") << false << false << 1 << true << true << true;
        QTest::newRow("fest: stays") << false << true << 0 << false << true << true;
    }
    void updateBingoKind()
    {
        QFETCH(bool, first);
        QFETCH(bool, whenEmpty);
        QFETCH(int, change);
        QFETCH(bool, numbers);
        QFETCH(bool, before);
        QFETCH(bool, after);
        TBingoGame g;
        g.S = Settings(whenEmpty, change, numbers);
        g.DrawNumbers = before;
        g.draw().UpdateBingoKind(first);
        QCOMPARE(g.DrawNumbers, after);
    }

    void updateBingoKindAtRandom()
    {
        TBingoGame g;
        g.S.Random = true;
        g.S.Fixed = false;
        QSet<bool> seen;
        for (uint64_t seed = 1; seed <= 20; ++seed) {
            RandSeed(seed);
            const bool expected = Random(2) == 1;
            RandSeed(seed);
            g.draw().UpdateBingoKind(false);
            QCOMPARE(g.DrawNumbers, expected);
            seen.insert(g.DrawNumbers);
        }
        QCOMPARE(seen.size(), 2);
    }
};

QTEST_MAIN(TstBingoDraw)
#include "tst_bingodraw.moc"
