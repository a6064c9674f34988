// The solver on small hand-built candidate situations: grid operations, the
// singles, the step driver's order and fallback, and every technique with its
// eliminations, pattern marks, levels and trace lines.

#include "solver/USolver.h"

#include <QtTest>

namespace {

// A solved grid, row by row, for the "solved" operation.
const char kSolved[] = "534678912672195348198342567859761423426853791713924856961537284287419635345286179";

int Digit(QChar c)
{
    return c.unicode() - '0';
}

// Builds a grid from whitespace-separated operations, applied in order to a
// grid whose every cell is empty with all nine candidates:
//   solved     every cell filled from kSolved (no candidates)
//   35:128     cell (3,5) empty with exactly the candidates 1, 2, 8 ("35:" none)
//   35=4       cell (3,5) filled with 4, peers untouched
//   r2-58/37   digits 5 and 8 leave row 2 but for columns 3 and 7
//   c3-5/26    the same in column 3, keeping rows 2 and 6
//   b1-5/123   the same in block 1 (blocks 1..9 row by row), keeping cells 1..3
// The step marks start cleared: FoundLevel 0, MerkerLevel 99.
TSolverGrid MakeGrid(const QString &text)
{
    TSolverEngine engine;
    TSolverGrid g;
    engine.ResetGrid(g);
    engine.ClearStepMarks(g);
    const QStringList ops = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString &op : ops) {
        if (op == QLatin1String("solved")) {
            for (int i = 0; i < 81; ++i) {
                TSolverCell &c = g.Cells[i % 9 + 1][i / 9 + 1];
                c.Value = kSolved[i] - '0';
                ClearDigitSet(c.Merker);
            }
        } else if (op[0] == QLatin1Char('r') || op[0] == QLatin1Char('c') || op[0] == QLatin1Char('b')) {
            const int unit = Digit(op[1]);
            const QString rest = op.mid(3);
            const QString digits = rest.section(QLatin1Char('/'), 0, 0);
            const QString keep = rest.section(QLatin1Char('/'), 1, 1);
            for (int p = 1; p <= 9; ++p) {
                if (keep.contains(QChar('0' + p)))
                    continue;
                int x, y;
                if (op[0] == QLatin1Char('r')) {
                    x = p;
                    y = unit;
                } else if (op[0] == QLatin1Char('c')) {
                    x = unit;
                    y = p;
                } else {
                    x = 3 * ((unit - 1) % 3) + (p - 1) % 3 + 1;
                    y = 3 * ((unit - 1) / 3) + (p - 1) / 3 + 1;
                }
                for (QChar d : digits)
                    g.Cells[x][y].Merker[Digit(d)] = false;
            }
        } else {
            TSolverCell &c = g.Cells[Digit(op[0])][Digit(op[1])];
            ClearDigitSet(c.Merker);
            if (op[2] == QLatin1Char('=')) {
                c.Value = Digit(op[3]);
            } else {
                c.Value = 0;
                for (QChar d : op.mid(3))
                    c.Merker[Digit(d)] = true;
            }
        }
    }
    return g;
}

// "xy:digits" for every cell whose set has a digit, rows outer.
QString Marks(const TSolverGrid &g, TDigitSet TSolverCell::*set)
{
    QStringList out;
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            QString digits;
            for (int d = 1; d <= 9; ++d)
                if ((g.Cells[x][y].*set)[d])
                    digits += QChar('0' + d);
            if (!digits.isEmpty())
                out << QStringLiteral("%1%2:%3").arg(x).arg(y).arg(digits);
        }
    return out.join(QLatin1Char(' '));
}

// "xy=level" for every cell with a Level.
QString Levels(const TSolverGrid &g)
{
    QStringList out;
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x)
            if (g.Cells[x][y].Level != 0)
                out << QStringLiteral("%1%2=%3").arg(x).arg(y).arg(g.Cells[x][y].Level);
    return out.join(QLatin1Char(' '));
}

QString Values(const TSolverGrid &g)
{
    QStringList out;
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x)
            if (g.Cells[x][y].Value != 0)
                out << QStringLiteral("%1%2=%3").arg(x).arg(y).arg(g.Cells[x][y].Value);
    return out.join(QLatin1Char(' '));
}

QString Candidates(const TSolverCell &c)
{
    QString s;
    for (int d = 1; d <= 9; ++d)
        if (c.Merker[d])
            s += QChar('0' + d);
    return s;
}

// Board layers from "layer:xy=value/state" tokens; every other entry is 0.
TBoards MakeBoards(const QString &text)
{
    TBoards b;
    const QStringList ops = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString &op : ops) {
        const int layer = Digit(op[0]);
        const int x = Digit(op[2]), y = Digit(op[3]);
        const QString rest = op.mid(5);
        b[layer][x][y].Value = rest.section(QLatin1Char('/'), 0, 0).toInt();
        b[layer][x][y].State = rest.section(QLatin1Char('/'), 1, 1).toInt();
    }
    return b;
}

// After a load or a placement no empty cell may keep a digit placed among
// its peers, and no filled cell any candidate.
bool Consistent(const TSolverGrid &g)
{
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            const TSolverCell &c = g.Cells[x][y];
            if (c.Value != 0) {
                if (!Candidates(c).isEmpty())
                    return false;
                continue;
            }
            for (int x2 = 1; x2 <= 9; ++x2)
                for (int y2 = 1; y2 <= 9; ++y2) {
                    const bool peer =
                        x2 == x || y2 == y || ((x2 - 1) / 3 == (x - 1) / 3 && (y2 - 1) / 3 == (y - 1) / 3);
                    const int v = g.Cells[x2][y2].Value;
                    if (peer && v >= 1 && v <= 9 && c.Merker[v])
                        return false;
                }
        }
    return true;
}

// Records what the solver hands to its hooks.
struct TRecorder {
    QStringList Lines;
    QList<int> Categories;
    int Refreshes = 0;
    void Attach(TSolverEngine &e)
    {
        e.Hooks.Trace = [this](int category, const QString &text) {
            Categories << category;
            Lines << text;
        };
        e.Hooks.RefreshMarks = [this] { ++Refreshes; };
    }
    QStringList Starting(const QStringList &prefixes) const
    {
        QStringList out;
        for (const QString &l : Lines)
            for (const QString &p : prefixes)
                if (l.startsWith(p)) {
                    out << l;
                    break;
                }
        return out;
    }
};

// Whether `expected` occurs in `lines` in this order (other lines between).
bool InOrder(const QStringList &lines, const QStringList &expected, QString &missing)
{
    qsizetype at = 0;
    for (const QString &e : expected) {
        at = lines.indexOf(e, at);
        if (at < 0) {
            missing = e;
            return false;
        }
        ++at;
    }
    return true;
}

const QStringList kStepLines = {QStringLiteral("Merker nach"), QStringLiteral("Stufe :"),
                                QStringLiteral("Keine Eindeutige")};

QStringList MerkerNach(const QList<int> &levels, const QList<int> &merker)
{
    QStringList out;
    for (qsizetype i = 0; i < levels.size(); ++i)
        out << QStringLiteral("Merker nach Stufe%1 (%2)").arg(levels[i]).arg(merker[i]);
    return out;
}

const QList<int> kOrder = {4, 5, 3, 6, 7, 8, 11, 10};

// One solve-step case: the grid and what the step must leave, with the
// driver's own trace lines in order.
struct TStepCase {
    const char *Name = "";
    const char *Grid = "";
    int FoundLevel = 0;
    int MerkerLevel = 99;
    QString Found = {};
    QString Deleted = {};
    QString Pattern = {};
    QStringList Lines = {};
    bool Progress = true;

    static void AddColumns()
    {
        QTest::addColumn<QString>("grid");
        QTest::addColumn<int>("foundLevel");
        QTest::addColumn<int>("merkerLevel");
        QTest::addColumn<QString>("found");
        QTest::addColumn<QString>("deleted");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("progress");
    }
    void AddRow() const
    {
        QTest::newRow(Name) << QString::fromUtf8(Grid) << FoundLevel << MerkerLevel << Found << Deleted << Pattern
                            << Lines << Progress;
    }
};

// One technique case: the grid, the call, and what the call must leave.
struct TTechniqueCase {
    const char *Name = "";
    const char *Grid = "";
    int Level = 0;
    bool Search = true;
    int FoundLevel = 0;
    int MerkerLevel = 99;
    QString Found = {};
    QString Levels = {};
    QString Deleted = {};
    QString Pattern = {};
    QStringList Present = {}; // trace lines, in this order
    QStringList Absent = {};  // trace lines that must not be written

    static void AddColumns()
    {
        QTest::addColumn<QString>("grid");
        QTest::addColumn<int>("level");
        QTest::addColumn<bool>("search");
        QTest::addColumn<int>("foundLevel");
        QTest::addColumn<int>("merkerLevel");
        QTest::addColumn<QString>("found");
        QTest::addColumn<QString>("levels");
        QTest::addColumn<QString>("deleted");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QStringList>("absent");
    }
    void AddRow() const
    {
        QTest::newRow(Name) << QString::fromUtf8(Grid) << Level << Search << FoundLevel << MerkerLevel << Found
                            << Levels << Deleted << Pattern << Present << Absent;
    }
};

} // namespace

class TstSolver : public QObject {
    Q_OBJECT

private slots:
    // --- grid and grid operations -------------------------------------------

    void resetGrid_data()
    {
        QTest::addColumn<bool>("initialised");
        QTest::newRow("flag set stays set") << true;
        QTest::newRow("flag clear stays clear") << false;
    }
    void resetGrid()
    {
        QFETCH(bool, initialised);
        TSolverEngine e;
        TRecorder rec;
        rec.Attach(e);
        TSolverGrid g = MakeGrid(QStringLiteral("11=5 22:3"));
        g.Initialised = initialised;
        g.FoundLevel = 104;
        g.StopAtFirst = true;
        g.Cells[2][2].Found[3] = true;
        g.Cells[2][2].Deleted[4] = true;
        g.Cells[2][2].Pattern[5] = true;
        g.Cells[2][2].Level = 4;
        e.ResetGrid(g);
        QCOMPARE(g.Initialised, initialised);
        QCOMPARE(g.FoundLevel, 0);
        // 0, not 99: only the first step's ClearStepMarks sets 99.
        QCOMPARE(g.MerkerLevel, 0);
        QCOMPARE(g.StopAtFirst, false);
        QCOMPARE(Values(g), QString());
        QCOMPARE(Marks(g, &TSolverCell::Found), QString());
        QCOMPARE(Marks(g, &TSolverCell::Deleted), QString());
        QCOMPARE(Marks(g, &TSolverCell::Pattern), QString());
        QCOMPARE(Levels(g), QString());
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y)
                QCOMPARE(Candidates(g.Cells[x][y]), QStringLiteral("123456789"));
        QCOMPARE(rec.Lines, QStringList{QStringLiteral("Solver zurücksetzen")});
        QCOMPARE(rec.Categories, QList<int>{3});
    }

    void loadGameFromBoard_data()
    {
        // clang-format off
        QTest::addColumn<QString>("board");
        QTest::addColumn<QString>("values");
        QTest::addColumn<QString>("probe");
        QTest::addColumn<QString>("probeCandidates");
        QTest::newRow("given") << "0:11=5/-1 0:99=2/0" << "11=5" << "21" << "12346789";
        QTest::newRow("cell open everywhere stays empty") << "0:11=5/0" << QString() << "11" << "123456789";
        QTest::newRow("player's wrong digit counts as the solution") << "0:11=5/0 3:11=7/3" << "11=5" << "91" << "12346789";
        QTest::newRow("found on the shared reference board") << "0:55=8/2" << "55=8" << "46" << "12345679";
        QTest::newRow("given on a player layer only") << "0:55=8/0 4:55=8/-1" << "55=8" << "59" << "12345679";
        QTest::newRow("digit above 9 is ignored") << "0:11=12/-1 0:22=3/-1" << "22=3" << "11" << "12456789";
        QTest::newRow("digit 0 is ignored") << "0:11=0/-1" << QString() << "11" << "123456789";
        QTest::newRow("negative digit is ignored") << "0:11=-3/2" << QString() << "21" << "123456789";
        // clang-format on
    }
    void loadGameFromBoard()
    {
        QFETCH(QString, board);
        QFETCH(QString, values);
        QFETCH(QString, probe);
        QFETCH(QString, probeCandidates);
        TSolverEngine e;
        TSolverGrid g = MakeGrid(QStringLiteral("33=1 44:2"));
        g.Initialised = false;
        e.LoadGameFromBoard(g, MakeBoards(board));
        QVERIFY(g.Initialised);
        QCOMPARE(g.MerkerLevel, 0);
        QCOMPARE(Values(g), values);
        QCOMPARE(Candidates(g.Cells[Digit(probe[0])][Digit(probe[1])]), probeCandidates);
        QVERIFY(Consistent(g));
    }

    void loadPuzzleFromBoard_data()
    {
        // clang-format off
        QTest::addColumn<QString>("board");
        QTest::addColumn<QString>("values");
        QTest::addColumn<QString>("probe");
        QTest::addColumn<QString>("probeCandidates");
        QTest::newRow("given") << "0:11=5/0" << "11=5" << "21" << "12346789";
        QTest::newRow("typed") << "0:11=5/1" << "11=5" << "12" << "12346789";
        QTest::newRow("empty in the editor") << "0:11=5/-1" << QString() << "21" << "123456789";
        // Contradictions reach the solver unchanged; the editor test reports them.
        QTest::newRow("same digit twice in a row") << "0:11=5/0 0:71=5/1" << "11=5 71=5" << "41" << "12346789";
        QTest::newRow("digit above 9 is ignored") << "0:11=10/0 0:91=4/0" << "91=4" << "11" << "12356789";
        QTest::newRow("digit 0 is ignored") << "0:11=0/1" << QString() << "21" << "123456789";
        // clang-format on
    }
    void loadPuzzleFromBoard()
    {
        QFETCH(QString, board);
        QFETCH(QString, values);
        QFETCH(QString, probe);
        QFETCH(QString, probeCandidates);
        TSolverEngine e;
        for (bool initialised : {false, true}) {
            TSolverGrid g;
            g.Initialised = initialised;
            e.ResetGrid(g);
            e.LoadPuzzleFromBoard(g, MakeBoards(board));
            QCOMPARE(g.Initialised, initialised);
            QCOMPARE(Values(g), values);
            QCOMPARE(Candidates(g.Cells[Digit(probe[0])][Digit(probe[1])]), probeCandidates);
            for (int y = 1; y <= 9; ++y)
                for (int x = 1; x <= 9; ++x)
                    if (g.Cells[x][y].Value != 0)
                        QCOMPARE(Candidates(g.Cells[x][y]), QString());
        }
    }

    void placeDigit_data()
    {
        // clang-format off
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("digit");
        QTest::addColumn<int>("y");
        QTest::addColumn<QString>("values");
        QTest::addColumn<QString>("probe");
        QTest::addColumn<QString>("probeCandidates");
        QTest::newRow("row peer") << 5 << 7 << 4 << "54=7 55=1" << "94" << "23456";
        QTest::newRow("block peer") << 5 << 7 << 4 << "54=7 55=1" << "66" << "2345689";
        QTest::newRow("column peer") << 5 << 7 << 4 << "54=7 55=1" << "59" << "2345689";
        QTest::newRow("unrelated cell") << 5 << 7 << 4 << "54=7 55=1" << "11" << "123456789";
        QTest::newRow("digit 0 ignored") << 5 << 0 << 4 << "55=1" << "54" << "23456";
        QTest::newRow("digit 10 ignored") << 5 << 10 << 4 << "55=1" << "54" << "23456";
        QTest::newRow("digit -1 ignored") << 5 << -1 << 4 << "55=1" << "94" << "23456";
        QTest::newRow("column 0 ignored") << 0 << 7 << 4 << "55=1" << "94" << "23456";
        QTest::newRow("row 10 ignored") << 5 << 7 << 10 << "55=1" << "59" << "23456789";
        // clang-format on
    }
    void placeDigit()
    {
        QFETCH(int, x);
        QFETCH(int, digit);
        QFETCH(int, y);
        QFETCH(QString, values);
        QFETCH(QString, probe);
        QFETCH(QString, probeCandidates);
        TSolverEngine e;
        // Start from a loaded grid: 1 in (5,5), and 7..9 gone from row 4's
        // right part so that the probes show which sweep hit them.
        TSolverGrid g = MakeGrid(QStringLiteral("r4-1789/1234 c5-1 b5-1"));
        g.Cells[5][5].Value = 1;
        ClearDigitSet(g.Cells[5][5].Merker);
        for (int p = 1; p <= 9; ++p)
            g.Cells[p][5].Merker[1] = false;
        g.Cells[5][4].Level = 3;
        g.Cells[5][4].Found[7] = true;
        e.PlaceDigit(g, x, digit, y);
        QCOMPARE(Values(g), values);
        QCOMPARE(Candidates(g.Cells[Digit(probe[0])][Digit(probe[1])]), probeCandidates);
        // Level and Found belong to the step, not to the placement.
        QCOMPARE(g.Cells[5][4].Level, 3);
        QCOMPARE(Marks(g, &TSolverCell::Found), QStringLiteral("54:7"));
    }

    void propagateValues()
    {
        TSolverEngine e;
        TSolverGrid g = MakeGrid(QString());
        g.Cells[1][1].Value = 4;
        g.Cells[9][1].Value = 4; // a contradiction stays as it is
        g.Cells[5][5].Value = 2;
        QVERIFY(!Consistent(g));
        e.PropagateValues(g);
        QVERIFY(Consistent(g));
        QCOMPARE(Values(g), QStringLiteral("11=4 91=4 55=2"));
        QCOMPARE(Candidates(g.Cells[1][9]), QStringLiteral("12356789"));
        QCOMPARE(Candidates(g.Cells[5][1]), QStringLiteral("1356789"));
        QCOMPARE(Candidates(g.Cells[2][2]), QStringLiteral("12356789"));
        QCOMPARE(Candidates(g.Cells[6][4]), QStringLiteral("13456789"));
    }

    void clearStepMarks()
    {
        TSolverEngine e;
        TSolverGrid g = MakeGrid(QStringLiteral("11=5 22:37"));
        g.Initialised = true;
        g.FoundLevel = 5;
        g.MerkerLevel = 4;
        g.StopAtFirst = true;
        g.Cells[2][2].Found[3] = true;
        g.Cells[2][2].Level = 5;
        g.Cells[3][3].Deleted[1] = true;
        g.Cells[1][1].Pattern[5] = true;
        e.ClearStepMarks(g);
        QCOMPARE(g.FoundLevel, 0);
        QCOMPARE(g.MerkerLevel, 99);
        QCOMPARE(g.StopAtFirst, false);
        QCOMPARE(g.Initialised, true);
        QCOMPARE(Levels(g), QString());
        QCOMPARE(Marks(g, &TSolverCell::Found), QString());
        QCOMPARE(Marks(g, &TSolverCell::Deleted), QString());
        QCOMPARE(Marks(g, &TSolverCell::Pattern), QString());
        QCOMPARE(Values(g), QStringLiteral("11=5"));
        QCOMPARE(Candidates(g.Cells[2][2]), QStringLiteral("37"));
    }

    void copySolverGrid()
    {
        TSolverGrid a = MakeGrid(QStringLiteral("11=5 22:37"));
        a.Initialised = true;
        a.FoundLevel = 106;
        a.MerkerLevel = 6;
        a.StopAtFirst = true;
        a.Cells[2][2].Found[7] = true;
        a.Cells[2][2].Level = 6;
        a.Cells[3][3].Deleted[1] = true;
        a.Cells[4][4].Pattern[2] = true;
        TSolverGrid b;
        CopySolverGrid(a, b);
        QCOMPARE(b.Initialised, true);
        QCOMPARE(b.FoundLevel, 106);
        QCOMPARE(b.MerkerLevel, 6);
        QCOMPARE(b.StopAtFirst, true);
        QCOMPARE(Values(b), Values(a));
        QCOMPARE(Levels(b), QStringLiteral("22=6"));
        for (auto set : {&TSolverCell::Found, &TSolverCell::Deleted, &TSolverCell::Pattern, &TSolverCell::Merker})
            QCOMPARE(Marks(b, set), Marks(a, set));
    }

    void freeCells_data()
    {
        QTest::addColumn<QString>("grid");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("block");
        QTest::newRow("empty grid") << QString() << 8 << 8 << 8;
        QTest::newRow("full grid") << "solved" << -1 << -1 << -1;
        QTest::newRow("some cells open") << "solved 11: 51: 15:3 22:4 33:" << 1 << 1 << 2;
    }
    void freeCells()
    {
        QFETCH(QString, grid);
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(int, block);
        const TSolverGrid g = MakeGrid(grid);
        QCOMPARE(FreeCellsInRow(g, 1), row);
        QCOMPARE(FreeCellsInCol(g, 1), col);
        QCOMPARE(FreeCellsInBlock(g, 0, 0), block);
    }

    void countMerker_data()
    {
        // clang-format off
        QTest::addColumn<QString>("grid");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("union2");
        QTest::addColumn<int>("union3");
        QTest::addColumn<int>("union4");
        // Cells (1,1), (2,1), (3,1), (4,1); count is of (1,1).
        QTest::newRow("no candidates") << "11: 21: 31: 41:" << 0 << 0 << 0 << 0;
        QTest::newRow("filled cell") << "11=5 21:12 31:3 41:4" << 0 << -1 << -1 << -1;
        QTest::newRow("filled later cell") << "11:12 21:3 31:4 41=9" << 2 << 3 << 4 << -1;
        QTest::newRow("overlapping") << "11:123 21:234 31:345 41:1" << 3 << 4 << 5 << 5;
        QTest::newRow("same candidates") << "11:12 21:12 31:12 41:12" << 2 << 2 << 2 << 2;
        // clang-format on
    }
    void countMerker()
    {
        QFETCH(QString, grid);
        QFETCH(int, count);
        QFETCH(int, union2);
        QFETCH(int, union3);
        QFETCH(int, union4);
        const TSolverGrid g = MakeGrid(grid);
        const TSolverCell &a = g.Cells[1][1], &b = g.Cells[2][1], &c = g.Cells[3][1], &d = g.Cells[4][1];
        QCOMPARE(CountMerker(a), count);
        QCOMPARE(CountMerkerUnion2(a, b), union2);
        QCOMPARE(CountMerkerUnion3(a, b, c), union3);
        QCOMPARE(CountMerkerUnion4(a, b, c, d), union4);
        TSolverCell filled = a;
        filled.Value = 4; // candidates left over do not count in a filled cell
        QCOMPARE(CountMerker(filled), 0);
    }

    void digitCounts()
    {
        const TSolverGrid g = MakeGrid(QStringLiteral("11=5 21:12 31:2 c1-9"));
        TDigitCounts row, col;
        DigitCountsInRow(g, 1, row);
        DigitCountsInCol(g, 1, col);
        QCOMPARE(QList<int>(row + 1, row + 10), (QList<int>{7, 8, 6, 6, 6, 6, 6, 6, 6}));
        QCOMPARE(QList<int>(col + 1, col + 10), (QList<int>{8, 8, 8, 8, 8, 8, 8, 8, 0}));
    }

    void digitSets()
    {
        TDigitSet a{}, empty{}, out{};
        a[2] = a[5] = a[9] = true;
        DigitSetMinus(a, a, out);
        for (int d = 1; d <= 9; ++d)
            QVERIFY(!out[d]);
        DigitSetUnion(a, empty, out);
        for (int d = 1; d <= 9; ++d)
            QCOMPARE(bool(out[d]), bool(a[d]));
        TDigitSet b{};
        b[5] = b[6] = true;
        DigitSetMinus(a, b, out);
        QCOMPARE(QList<int>(out + 1, out + 10), (QList<int>{0, 1, 0, 0, 0, 0, 0, 0, 1}));
        DigitSetUnion(a, b, out);
        QCOMPARE(QList<int>(out + 1, out + 10), (QList<int>{0, 1, 0, 0, 1, 1, 0, 0, 1}));
        ClearDigitSet(out);
        for (int d = 1; d <= 9; ++d)
            QVERIFY(!out[d]);
    }

    void countFreeCells_data()
    {
        QTest::addColumn<QString>("board");
        QTest::addColumn<int>("free");
        QTest::newRow("empty board") << QString() << 81;
        QTest::newRow("given and player entries") << "0:11=5/-1 0:22=1/0 3:33=4/3 8:99=2/8" << 78;
        QTest::newRow("same cell on two layers") << "0:11=5/-1 1:11=5/-1" << 80;
    }
    void countFreeCells()
    {
        QFETCH(QString, board);
        QFETCH(int, free);
        QCOMPARE(CountFreeCells(MakeBoards(board)), free);
    }

    // --- the step: singles, order and fallback ------------------------------

    void singles_data()
    {
        // clang-format off
        QTest::addColumn<QString>("grid");
        QTest::addColumn<bool>("stopAtFirst");
        QTest::addColumn<int>("foundLevel");
        QTest::addColumn<QString>("found");
        QTest::addColumn<QString>("levels");
        QTest::addColumn<QString>("unit");
        QTest::newRow("hint: first naked single only") << "72:6 31:5" << true << 1 << "31:5" << "31=1" << QString();
        QTest::newRow("test: every naked single") << "72:6 31:5" << false << 1 << "31:5 72:6" << "31=1 72=1" << QString();
        QTest::newRow("hidden single in a row") << "r3-7/5" << true << 2 << "53:7" << "53=2" << "in der Zeile";
        QTest::newRow("hidden single in a column") << "c6-4/8" << true << 2 << "68:4" << "68=2" << "in der Spalte";
        QTest::newRow("hidden single in a block") << "b5-2/9" << false << 2 << "66:2" << "66=2" << "im Block";
        // The first naked single is also the only 5 of row 1: it keeps level 1.
        QTest::newRow("naked single that is also hidden") << "r1-5/3 31:5 c6-4/8" << false << 1 << "31:5 68:4" << "31=1 68=2" << "in der Spalte";
        QTest::newRow("hint stops at the first hidden single") << "c6-4/8 b5-2/9" << true << 2 << "66:2" << "66=2" << "im Block";
        QTest::newRow("test finds both hidden singles") << "c6-4/8 b5-2/9" << false << 2 << "66:2 68:4" << "66=2 68=2" << "in der Spalte";
        QTest::newRow("placed digit closes the unit") << "r3-7/5 13=7" << false << 0 << QString() << QString() << QString();
        // clang-format on
    }
    void singles()
    {
        QFETCH(QString, grid);
        QFETCH(bool, stopAtFirst);
        QFETCH(int, foundLevel);
        QFETCH(QString, found);
        QFETCH(QString, levels);
        QFETCH(QString, unit);
        TSolverEngine e;
        TSolverGrid g = MakeGrid(grid);
        e.SolveStep(g, stopAtFirst);
        QCOMPARE(g.FoundLevel, foundLevel);
        QCOMPARE(g.StopAtFirst, stopAtFirst);
        QCOMPARE(Marks(g, &TSolverCell::Found), found);
        QCOMPARE(Levels(g), levels);
        QCOMPARE(e.HiddenSingleUnit, unit);
        QCOMPARE(Marks(g, &TSolverCell::Deleted), QString());
    }

    void stepOrder_data()
    {
        TStepCase::AddColumns();
        auto add = [](const TStepCase &c) { c.AddRow(); };

        add({.Name = "nothing to find",
             .Grid = "",
             .Lines = MerkerNach(kOrder, {99, 99, 99, 99, 99, 99, 99, 99}) << "Stufe : 0 gefunden.",
             .Progress = false});
        add({.Name = "solved grid",
             .Grid = "solved",
             .Lines = MerkerNach(kOrder, {99, 99, 99, 99, 99, 99, 99, 99}) << "Stufe : 0 gefunden.",
             .Progress = false});

        const QString pairRow1 = QStringLiteral("31:12 41:12 51:12 61:12 71:12 81:12 91:12");
        add({.Name = "pair without a digit is applied as 104",
             .Grid = "11:12 21:12",
             .FoundLevel = 104,
             .MerkerLevel = 4,
             .Deleted = pairRow1,
             .Pattern = "11:12 21:12",
             .Lines = MerkerNach({4, 5, 3, 6, 7}, {4, 4, 4, 4, 4})
                      << "Keine Eindeutige Zahl gefunden, aber Merker in Stufe(4)" << MerkerNach({8, 11, 10}, {4, 4, 4})
                      << "Stufe : 104 gefunden."});
        add({.Name = "pair with a digit",
             .Grid = "11:12 21:12 51:127",
             .FoundLevel = 4,
             .MerkerLevel = 4,
             .Found = "51:7",
             .Deleted = pairRow1,
             .Pattern = "11:12 21:12",
             .Lines = MerkerNach(kOrder, {4, 4, 4, 4, 4, 4, 4, 4}) << "Stufe : 4 gefunden."});
        // The pair only eliminates; the later triple yields a digit and wins.
        add({.Name = "later triple's digit beats the pair's eliminations",
             .Grid = "11:12 21:12 15:34 25:45 35:35 65:3458",
             .FoundLevel = 5,
             .MerkerLevel = 5,
             .Found = "65:8",
             .Deleted = "45:345 55:345 65:345 75:345 85:345 95:345",
             .Pattern = "15:345 25:345 35:345",
             .Lines = MerkerNach(kOrder, {4, 5, 5, 5, 5, 5, 5, 5}) << "Stufe : 5 gefunden."});
        // The X-Wing would yield a digit, but level 4's eliminations come first.
        add({.Name = "pair's eliminations beat the X-Wing's digit",
             .Grid = "11:12 21:12 r2-9/14 r5-9/14 18:69",
             .FoundLevel = 104,
             .MerkerLevel = 4,
             .Deleted = pairRow1,
             .Pattern = "11:12 21:12",
             .Lines = MerkerNach({4, 5, 3, 6, 7}, {4, 4, 4, 4, 4})
                      << "Keine Eindeutige Zahl gefunden, aber Merker in Stufe(4)" << MerkerNach({8, 11, 10}, {4, 4, 4})
                      << "Stufe : 104 gefunden."});
        add({.Name = "X-Wing's digit when nothing comes before",
             .Grid = "r2-9/14 r5-9/14 18:69",
             .FoundLevel = 8,
             .MerkerLevel = 8,
             .Found = "18:6",
             .Deleted = "11:9 41:9 13:9 43:9 14:9 44:9 16:9 46:9 17:9 47:9 18:9 48:9 19:9 49:9",
             .Pattern = "12:9 42:9 15:9 45:9",
             .Lines = MerkerNach(kOrder, {99, 99, 99, 99, 99, 8, 8, 8}) << "Stufe : 8 gefunden."});
        add({.Name = "locked candidates only eliminate",
             .Grid = "r1-5/23",
             .FoundLevel = 103,
             .MerkerLevel = 3,
             .Deleted = "12:5 22:5 32:5 13:5 23:5 33:5",
             .Pattern = "21:5 31:5",
             .Lines = MerkerNach({4, 5, 3, 6, 7}, {99, 99, 3, 3, 3})
                      << "Keine Eindeutige Zahl gefunden, aber Merker in Stufe(3)" << MerkerNach({8, 11, 10}, {3, 3, 3})
                      << "Stufe : 103 gefunden."});
        add({.Name = "Sue de Coq with four cells finds a digit",
             .Grid = "11:1234 21:1234 51:12 32:34 71:126",
             .FoundLevel = 11,
             .MerkerLevel = 11,
             .Found = "71:6",
             .Deleted = "31:1234 41:12 61:12 71:12 81:12 91:12 12:34 22:34 13:34 23:34 33:34",
             .Pattern = "11:1234 21:1234 51:12 32:34",
             .Lines = MerkerNach(kOrder, {99, 99, 99, 99, 99, 99, 11, 11}) << "Stufe : 11 gefunden."});
        // Three digits squeezed into two cells of a row: no technique may
        // claim an elimination that removes nothing.
        add({.Name = "broken puzzle: hidden triple removing nothing",
             .Grid = "r1-123/14 11:123 41:123",
             .Lines = MerkerNach(kOrder, {99, 99, 99, 99, 99, 99, 99, 99}) << "Stufe : 0 gefunden.",
             .Progress = false});
    }
    void stepOrder()
    {
        QFETCH(QString, grid);
        QFETCH(int, foundLevel);
        QFETCH(int, merkerLevel);
        QFETCH(QString, found);
        QFETCH(QString, deleted);
        QFETCH(QString, pattern);
        QFETCH(QStringList, lines);
        QFETCH(bool, progress);
        for (bool stopAtFirst : {true, false}) {
            TSolverEngine e;
            TRecorder rec;
            rec.Attach(e);
            TSolverGrid g = MakeGrid(grid);
            const TSolverGrid before = g;
            QCOMPARE(e.SolveStep(g, stopAtFirst), progress);
            QCOMPARE(g.FoundLevel, foundLevel);
            QCOMPARE(g.MerkerLevel, merkerLevel);
            QCOMPARE(Marks(g, &TSolverCell::Found), found);
            QCOMPARE(Marks(g, &TSolverCell::Deleted), deleted);
            QCOMPARE(Marks(g, &TSolverCell::Pattern), pattern);
            QCOMPARE(rec.Starting(kStepLines), lines);
            for (int c : rec.Categories)
                QCOMPARE(c, 3);
            // Deleted candidates are gone for good; all others are kept.
            for (int x = 1; x <= 9; ++x)
                for (int y = 1; y <= 9; ++y)
                    for (int d = 1; d <= 9; ++d)
                        QCOMPARE(bool(g.Cells[x][y].Merker[d]),
                                 before.Cells[x][y].Merker[d] && !g.Cells[x][y].Deleted[d]);
        }
    }

    void applyMerkerStep_data()
    {
        // clang-format off
        QTest::addColumn<int>("foundLevel");
        QTest::addColumn<int>("merkerLevel");
        QTest::addColumn<int>("expectedFound");
        QTest::addColumn<int>("expectedMerker");
        QTest::addColumn<QString>("deleted");
        QTest::addColumn<QStringList>("lines");
        const QString pairRow1 = QStringLiteral("31:12 41:12 51:12 61:12 71:12 81:12 91:12");
        const QString line = QStringLiteral("Keine Eindeutige Zahl gefunden, aber Merker in Stufe(%1)");
        QTest::newRow("level 4") << 0 << 4 << 104 << 4 << pairRow1 << QStringList{line.arg(4)};
        QTest::newRow("level 5 without a triple to apply") << 0 << 5 << 105 << 99 << QString() << QStringList{line.arg(5)};
        QTest::newRow("level 9 runs nothing") << 0 << 9 << 0 << 99 << QString() << QStringList{line.arg(9)};
        QTest::newRow("nothing noted") << 0 << 99 << 0 << 99 << QString() << QStringList{};
        QTest::newRow("a digit was found") << 2 << 4 << 2 << 4 << QString() << QStringList{};
        // clang-format on
    }
    void applyMerkerStep()
    {
        QFETCH(int, foundLevel);
        QFETCH(int, merkerLevel);
        QFETCH(int, expectedFound);
        QFETCH(int, expectedMerker);
        QFETCH(QString, deleted);
        QFETCH(QStringList, lines);
        TSolverEngine e;
        TRecorder rec;
        rec.Attach(e);
        TSolverGrid g = MakeGrid(QStringLiteral("11:12 21:12"));
        g.FoundLevel = foundLevel;
        g.MerkerLevel = merkerLevel;
        e.ApplyMerkerStep(g);
        QCOMPARE(g.FoundLevel, expectedFound);
        QCOMPARE(g.MerkerLevel, expectedMerker);
        QCOMPARE(Marks(g, &TSolverCell::Deleted), deleted);
        QCOMPARE(rec.Starting({QStringLiteral("Keine")}), lines);
    }

    // A step that gets nowhere ends the editor's solve loop, also on a
    // contradictory puzzle.
    void solveToEndStops_data()
    {
        // clang-format off
        QTest::addColumn<QString>("grid");
        QTest::addColumn<int>("steps");
        QTest::addColumn<QList<int>>("written");
        QTest::newRow("broken puzzle") << "r1-123/14 11:123 41:123" << 0 << QList<int>{};
        QTest::newRow("nothing to find") << QString() << 0 << QList<int>{};
        // (3,1) then its row: each step writes what it found.
        QTest::newRow("two singles then stuck") << "31:5 72:6" << 1 << QList<int>{2};
        QTest::newRow("eliminations only") << "11:12 21:12" << 2 << QList<int>{0, 0};
        // clang-format on
    }
    void solveToEndStops()
    {
        QFETCH(QString, grid);
        QFETCH(int, steps);
        QFETCH(QList<int>, written);
        TSolverEngine e;
        TSolverGrid g = MakeGrid(grid);
        QList<int> seen;
        const int n = e.SolveToEnd(g, [&](const TSolverGrid &, int count) {
            seen << count;
            QVERIFY(seen.size() < 100);
        });
        QCOMPARE(n, steps);
        QCOMPARE(seen, written);
    }

    // The search keeps a pattern only when a single follows; otherwise it
    // notes the first eliminating level once and asks for a redraw.
    void searchNotesFirstLevel_data()
    {
        QTest::addColumn<QString>("grid");
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("presetMerker");
        QTest::addColumn<int>("merkerLevel");
        QTest::addColumn<bool>("redrawn");
        QTest::newRow("noted") << "r1-5/23" << 3 << 99 << 3 << true;
        QTest::newRow("earlier level kept") << "r1-5/23" << 3 << 4 << 4 << false;
        QTest::newRow("no pattern") << QString() << 3 << 99 << 99 << false;
        QTest::newRow("hidden pair noted") << "r1-12/15 11:12389 51:12567" << 6 << 99 << 6 << true;
        QTest::newRow("hidden pair after a pair") << "r1-12/15 11:12389 51:12567" << 6 << 4 << 4 << false;
    }
    void searchNotesFirstLevel()
    {
        QFETCH(QString, grid);
        QFETCH(int, level);
        QFETCH(int, presetMerker);
        QFETCH(int, merkerLevel);
        QFETCH(bool, redrawn);
        TSolverEngine e;
        TRecorder rec;
        rec.Attach(e);
        TSolverGrid g = MakeGrid(grid);
        g.MerkerLevel = presetMerker;
        const TSolverGrid before = g;
        e.RunTechnique(g, level, true);
        QCOMPARE(g.MerkerLevel, merkerLevel);
        QCOMPARE(rec.Refreshes > 0, redrawn);
        QCOMPARE(g.FoundLevel, 0);
        for (auto set : {&TSolverCell::Found, &TSolverCell::Deleted, &TSolverCell::Pattern, &TSolverCell::Merker})
            QCOMPARE(Marks(g, set), Marks(before, set));
    }

    // --- techniques ------------------------------------------------------

    void technique_data()
    {
        TTechniqueCase::AddColumns();
        auto add = [](const TTechniqueCase &c) { c.AddRow(); };

        // Level 3, locked candidates.
        const QString block1Rows23 = QStringLiteral("12:5 22:5 32:5 13:5 23:5 33:5");
        add({.Name = "3 row to block, apply",
             .Grid = "r1-5/23",
             .Level = 3,
             .Search = false,
             .MerkerLevel = 3,
             .Deleted = block1Rows23,
             .Pattern = "21:5 31:5",
             .Present = {"Start Stufe 3"},
             .Absent = {"Ende Stufe 3", "Treffer Zeile"}});
        add({.Name = "3 row to block, search without single",
             .Grid = "r1-5/23",
             .Level = 3,
             .MerkerLevel = 3,
             .Present = {"Start Stufe 3", "Ende Stufe 3"},
             .Absent = {"Treffer Zeile"}});
        add({.Name = "3 row to block, search with single",
             .Grid = "12:57 r1-5/23",
             .Level = 3,
             .FoundLevel = 3,
             .MerkerLevel = 3,
             .Found = "12:7",
             .Levels = "12=3",
             .Deleted = block1Rows23,
             .Pattern = "21:5 31:5",
             .Present = {"Start Stufe 3", "Treffer Zeile", "Ende Stufe 3"}});
        add({.Name = "3 column to block, search with single",
             .Grid = "c1-5/23 22:56",
             .Level = 3,
             .FoundLevel = 3,
             .MerkerLevel = 3,
             .Found = "22:6",
             .Levels = "22=3",
             .Deleted = "21:5 31:5 22:5 32:5 23:5 33:5",
             .Pattern = "12:5 13:5",
             .Present = {"Treffer Spalte", "Ende Stufe 3"},
             .Absent = {"Treffer Zeile"}});
        // Filled cells of the row are marked too.
        add({.Name = "3 block to row",
             .Grid = "b1-5/123 91=9",
             .Level = 3,
             .Search = false,
             .MerkerLevel = 3,
             .Deleted = "41:5 51:5 61:5 71:5 81:5 91:5",
             .Pattern = "11:5 21:5 31:5"});
        add({.Name = "3 block to column",
             .Grid = "b1-5/147 19=9",
             .Level = 3,
             .Search = false,
             .MerkerLevel = 3,
             .Deleted = "14:5 15:5 16:5 17:5 18:5 19:5",
             .Pattern = "11:5 12:5 13:5"});
        add({.Name = "3 block to row, search with single",
             .Grid = "b1-5/123 71:58",
             .Level = 3,
             .FoundLevel = 3,
             .MerkerLevel = 3,
             .Found = "71:8",
             .Levels = "71=3",
             .Deleted = "41:5 51:5 61:5 71:5 81:5 91:5",
             .Pattern = "11:5 21:5 31:5",
             .Present = {"Treffer Block1", "Ende Stufe 3"}});
        add({.Name = "3 block to column, search with single",
             .Grid = "b1-5/147 17:58",
             .Level = 3,
             .FoundLevel = 3,
             .MerkerLevel = 3,
             .Found = "17:8",
             .Levels = "17=3",
             .Deleted = "14:5 15:5 16:5 17:5 18:5 19:5",
             .Pattern = "11:5 12:5 13:5",
             .Present = {"Treffer Block2", "Ende Stufe 3"}});
        add({.Name = "3 digit in two blocks of the row",
             .Grid = "r1-5/24",
             .Level = 3,
             .Search = false,
             .Present = {"Ende Stufe 3"}});
        add({.Name = "3 block row holding d nowhere else",
             .Grid = "b1-5/123 r1-5/123",
             .Level = 3,
             .Search = false,
             .Present = {"Start Stufe 3", "Ende Stufe 3"}});
        add({.Name = "3 placed digit with stray candidates",
             .Grid = "11=5 r1-5/23",
             .Level = 3,
             .Search = false,
             .Present = {"Ende Stufe 3"}});

        // Level 4, naked pair.
        add({.Name = "4 pair in a row",
             .Grid = "11:12 21:12",
             .Level = 4,
             .Search = false,
             .MerkerLevel = 4,
             .Deleted = "31:12 41:12 51:12 61:12 71:12 81:12 91:12",
             .Pattern = "11:12 21:12",
             .Present = {"Zeile(1) Zelle(1)2 Zelle(2)2", "Zeile :1 (1,2) ", "3,1 Lösche :1", "3,1 Lösche :2"}});
        // The row's trial removes nothing; the block's is the one applied,
        // with cleared marks also where the digit never was.
        add({.Name = "4 cleared marks without candidates",
             .Grid = "11:12 21:12 r1-12/12",
             .Level = 4,
             .Search = false,
             .MerkerLevel = 4,
             .Deleted = "31:12 12:12 22:12 32:12 13:12 23:12 33:12",
             .Pattern = "11:12 21:12",
             .Present = {"Zeile :1 (1,2) ", "1,2 Lösche :1"},
             .Absent = {"3,1 Lösche :1", "5,1 Lösche :1"}});
        add({.Name = "4 pair in a column, search with single",
             .Grid = "11:12 12:12 15:127",
             .Level = 4,
             .FoundLevel = 4,
             .MerkerLevel = 4,
             .Found = "15:7",
             .Levels = "15=4",
             .Deleted = "13:12 14:12 15:12 16:12 17:12 18:12 19:12",
             .Pattern = "11:12 12:12",
             .Present = {"Spalte :1 (1,2)", "1,5 Lösche :1"},
             .Absent = {"Zeile :1 (1,2) "}});
        add({.Name = "4 row with three empty cells is skipped",
             .Grid = "41=4 51=5 61=6 71=7 81=8 91=9 11:12 21:12 31:123",
             .Level = 4,
             .FoundLevel = 4,
             .MerkerLevel = 4,
             .Found = "31:3",
             .Levels = "31=4",
             .Deleted = "31:12 12:12 22:12 32:12 13:12 23:12 33:12",
             .Pattern = "11:12 21:12",
             .Absent = {"Zeile(1) Zelle(1)2 Zelle(2)2", "Zeile :1 (1,2) "}});
        add({.Name = "4 row with four empty cells is searched",
             .Grid = "51=5 61=6 71=7 81=8 91=9 11:12 21:12 31:123 41:1234",
             .Level = 4,
             .FoundLevel = 4,
             .MerkerLevel = 4,
             .Found = "31:3",
             .Levels = "31=4",
             .Deleted = "31:12 41:12",
             .Pattern = "11:12 21:12",
             .Present = {"Zeile(1) Zelle(1)2 Zelle(2)2", "Zeile :1 (1,2) "}});

        // Level 5, naked triple.
        add({.Name = "5 triple of pairs in a row",
             .Grid = "11:12 21:23 31:13",
             .Level = 5,
             .Search = false,
             .MerkerLevel = 5,
             .Deleted = "41:123 51:123 61:123 71:123 81:123 91:123",
             .Pattern = "11:123 21:123 31:123",
             .Present = {"Zeile :1 (1,2,3)"}});
        add({.Name = "5 triple in a column",
             .Grid = "11:12 14:23 17:13",
             .Level = 5,
             .Search = false,
             .MerkerLevel = 5,
             .Deleted = "12:123 13:123 15:123 16:123 18:123 19:123",
             .Pattern = "11:123 14:123 17:123",
             .Present = {"Spalte :1 (1,4,7)", "1,2 Lösche :3"}});
        // Row 1 has four empty cells: only the block's triple is seen.
        add({.Name = "5 row with four empty cells is skipped",
             .Grid = "51=5 61=6 71=7 81=8 91=9 11:12 21:23 31:13 41:57",
             .Level = 5,
             .MerkerLevel = 5,
             .Absent = {"Zeile :1 (1,2,3)"}});

        // Level 6, hidden pair.
        add({.Name = "6 hidden pair in a row",
             .Grid = "r1-12/15 11:12389 51:12567",
             .Level = 6,
             .Search = false,
             .MerkerLevel = 6,
             .Deleted = "11:3456789 51:3456789",
             .Pattern = "11:12 51:12",
             .Present = {"Gleiche:2", "Zeile:1 Sum9:2 2 8 7 8 8 8 8 8", "Zeile:1 Sum :2 2 1 0 1 1 1 1 1", "Merker:1",
                         "Merker:2", "1,1 Lösche :3", "1,1 Lösche :4", "5,1 Lösche :9"}});
        add({.Name = "6 hidden pair, search with hidden single",
             .Grid = "r1-12/15 11:12389 51:12567 c1-8/19",
             .Level = 6,
             .FoundLevel = 6,
             .MerkerLevel = 6,
             .Found = "19:8",
             .Levels = "19=6",
             .Deleted = "11:3456789 51:3456789",
             .Pattern = "11:12 51:12",
             .Present = {"Gleiche:2"}});
        add({.Name = "6 hidden pair in a block",
             .Grid = "b5-12/19 44:1235 66:1246",
             .Level = 6,
             .Search = false,
             .MerkerLevel = 6,
             .Deleted = "44:3456789 66:3456789",
             .Pattern = "44:12 66:12",
             .Present = {"Teste Block(0,0)Freie:8", "Teste Block(1,1)Freie:8", "Gleiche:2",
                         "Block:1,1 Sum9:2 2 8 8 8 8 7 7 7", "Block:1,1 Sum :2 2 1 1 1 1 0 0 0"},
             .Absent = {"Teste Block(2,1)Freie:8"}});
        add({.Name = "6 three digits in two cells are passed over",
             .Grid = "r1-123/14 11:123 41:123",
             .Level = 6,
             .Search = false,
             .Present = {"Gleiche:3"}});
        add({.Name = "6 row with three empty cells is skipped",
             .Grid = "41=4 51=5 61=6 71=7 81=8 91=9 11:127 21:128 31:39",
             .Level = 6,
             .Search = false,
             .Absent = {"Gleiche:2"}});
        add({.Name = "6 row with four empty cells is searched",
             .Grid = "51=5 61=6 71=7 81=8 91=9 11:127 21:128 31:39 41:34",
             .Level = 6,
             .Search = false,
             .MerkerLevel = 6,
             .Deleted = "11:3456789 21:3456789",
             .Pattern = "11:12 21:12",
             .Present = {"Gleiche:2"}});

        add({.Name = "6 two cells holding just the pair",
             .Grid = "r1-12/12 11:12 21:12",
             .Level = 6,
             .Search = false,
             .Absent = {"Gleiche:2"}});

        // Level 7, hidden triple.
        add({.Name = "7 hidden triple, a digit missing in one cell",
             .Grid = "r1-123/159 11:127 51:238 91:139",
             .Level = 7,
             .Search = false,
             .MerkerLevel = 7,
             .Deleted = "11:456789 51:456789 91:456789",
             .Pattern = "11:123 51:123 91:123",
             .Present = {"Gleiche:3", "Merker:1", "Merker:2", "Merker:3"},
             .Absent = {"VDrilling ende"}});
        add({.Name = "7 hidden triple, search",
             .Grid = "r1-123/159 11:127 51:238 91:139",
             .Level = 7,
             .MerkerLevel = 7,
             .Present = {"Gleiche:3", "VDrilling ende"}});
        add({.Name = "7 digit in one cell never qualifies",
             .Grid = "r1-123/159 11:17 51:128 91:239",
             .Level = 7,
             .Search = false,
             .Present = {"Gleiche:2", "VDrilling ende"},
             .Absent = {"Gleiche:3"}});
        add({.Name = "7 row with four empty cells is skipped",
             .Grid = "51=5 61=6 71=7 81=8 91=9 11:127 21:238 31:139 41:45",
             .Level = 7,
             .Search = false,
             .Present = {"VDrilling ende"},
             .Absent = {"Gleiche:3"}});
        add({.Name = "7 row with five empty cells is searched",
             .Grid = "61=6 71=7 81=8 91=9 11:127 21:238 31:139 41:45 51:45",
             .Level = 7,
             .Search = false,
             .MerkerLevel = 7,
             .Deleted = "11:456789 21:456789 31:456789",
             .Pattern = "11:123 21:123 31:123",
             .Present = {"Gleiche:3"},
             .Absent = {"VDrilling ende"}});
        add({.Name = "7 four digits in three cells",
             .Grid = "r1-1234/159 11:1234 51:1234 91:1234",
             .Level = 7,
             .Search = false,
             .Present = {"Gleiche:4", "VDrilling ende"}});
        // Three digits in two cells of a broken puzzle: the pattern removes
        // nothing and must not count as an elimination.
        add({.Name = "7 nothing removed, apply",
             .Grid = "r1-123/14 11:123 41:123",
             .Level = 7,
             .Search = false,
             .Present = {"Gleiche:3", "1,1 Lösche :4", "VDrilling ende"}});
        add({.Name = "7 nothing removed, search",
             .Grid = "r1-123/14 11:123 41:123",
             .Level = 7,
             .Present = {"Gleiche:3", "VDrilling ende"}});

        // Level 8, X-Wing.
        const QString xwRows = QStringLiteral("31:5 71:5 33:5 73:5 34:5 74:5 35:5 75:5 37:5 77:5 38:5 78:5 39:5 79:5");
        add({.Name = "8 rows, apply",
             .Grid = "r2-5/37 r6-5/37",
             .Level = 8,
             .Search = false,
             .MerkerLevel = 8,
             .Deleted = xwRows,
             .Pattern = "32:5 72:5 36:5 76:5",
             .Present = {"xWing2 Start", "Zeilen(2 und 6)", "Zahl(5) cnt=2",
                         "Spalten(2 und 6) Zahl(5) cnt(2) Z1(3) Z2(7)"},
             .Absent = {"xWing2 ende(0)", "Zahl:5 Z1:3 Z2:7", "Hier"}});
        add({.Name = "8 rows, search with single",
             .Grid = "r2-5/37 r6-5/37 35:56",
             .Level = 8,
             .FoundLevel = 8,
             .MerkerLevel = 8,
             .Found = "35:6",
             .Levels = "35=8",
             .Deleted = xwRows,
             .Pattern = "32:5 72:5 36:5 76:5",
             .Present = {"Spalten(2 und 6) Zahl(5) cnt(2) Z1(3) Z2(7)", "Zahl:5 Z1:3 Z2:7",
                         "Zeile:2 a:9 9 9 9 2 9 9 9 9", "Zeile:6 b:9 9 9 9 2 9 9 9 9", "xWing2 ende(8)"}});
        add({.Name = "8 rows, search without single",
             .Grid = "r2-5/37 r6-5/37",
             .Level = 8,
             .MerkerLevel = 8,
             .Present = {"Zahl:5 Z1:3 Z2:7", "xWing2 ende(0)"}});
        add({.Name = "8 nothing to remove",
             .Grid = "r2-5/37 r6-5/37 c3-5/26 c7-5/26",
             .Level = 8,
             .Present = {"Spalten(2 und 6) Zahl(5) cnt(2) Z1(3) Z2(7)", "Spalten(3 und 7) Zahl(5) cnt(2) Z1(2) Z2(6)",
                         "xWing2 ende(0)"},
             .Absent = {"Hier", "Zahl:5 Z1:3 Z2:7"}});
        add({.Name = "8 one common column",
             .Grid = "r2-5/37 r6-5/38",
             .Level = 8,
             .Present = {"Zahl(5) cnt=1"},
             .Absent = {"Zahl(5) cnt=2"}});
        add({.Name = "8 no common column",
             .Grid = "r2-5/37 r6-5/48",
             .Level = 8,
             .Present = {"Zahl(5) cnt=0"},
             .Absent = {"Zahl(5) cnt=2"}});
        add({.Name = "8 columns, apply",
             .Grid = "c2-5/37 c6-5/37",
             .Level = 8,
             .Search = false,
             .MerkerLevel = 8,
             .Deleted = "13:5 33:5 43:5 53:5 73:5 83:5 93:5 17:5 37:5 47:5 57:5 77:5 87:5 97:5",
             .Pattern = "23:5 63:5 27:5 67:5",
             .Present = {"Spalten(2 und 6)", "Zahl(5) cnt=2", "Spalten(2 und 6) Zahl(5) cnt(2) Z1(3) Z2(7)", "Hier"},
             .Absent = {"xWing2 ende(0)"}});
        add({.Name = "8 columns, search with single",
             .Grid = "c2-5/37 c6-5/37 53:59",
             .Level = 8,
             .FoundLevel = 8,
             .MerkerLevel = 8,
             .Found = "53:9",
             .Levels = "53=8",
             .Deleted = "13:5 33:5 43:5 53:5 73:5 83:5 93:5 17:5 37:5 47:5 57:5 77:5 87:5 97:5",
             .Pattern = "23:5 63:5 27:5 67:5",
             .Present = {"Hier", "Zahl:5 Z1:3 Z2:7", "Spalte:2 a:9 9 9 9 2 9 9 9 9", "Spalte:6 b:9 9 9 9 2 9 9 9 9",
                         "xWing2 ende(8)"}});

        // Level 11, Sue de Coq with four cells.
        const QString sdc4Row = QStringLiteral("31:1234 41:12 61:12 71:12 81:12 91:12 12:34 22:34 13:34 23:34 33:34");
        add({.Name = "11 row, apply, filled cell marked",
             .Grid = "11:1234 21:1234 51:12 32:34 91=9",
             .Level = 11,
             .Search = false,
             .MerkerLevel = 11,
             .Deleted = sdc4Row,
             .Pattern = "11:1234 21:1234 51:12 32:34",
             .Present = {"Sue_De_Coq4 Start", "Zelle B1 (1,1)", "Zelle B2 (2,1)", "Zelle Z  (5,1)", "Zelle B  (3,2)",
                         "3,1 Lösche :1", "Teste Block(0,0) Zelle(1,1)", "3,1 Lösche :3", "1,2 Lösche :3"},
             .Absent = {"Sue_De_Coq4 Ende", "9,1 Lösche :1"}});
        add({.Name = "11 row, search with single",
             .Grid = "11:1234 21:1234 51:12 32:34 71:126",
             .Level = 11,
             .FoundLevel = 11,
             .MerkerLevel = 11,
             .Found = "71:6",
             .Levels = "71=11",
             .Deleted = sdc4Row,
             .Pattern = "11:1234 21:1234 51:12 32:34",
             .Present = {"Zelle B  (3,2)", "Sue_De_Coq4 Ende"}});
        add({.Name = "11 block cell in the pair's column",
             .Grid = "11:1234 21:1234 51:12 12:34",
             .Level = 11,
             .Present = {"Sue_De_Coq4 Ende"},
             .Absent = {"Zelle B1 (1,1)"}});
        add({.Name = "11 column, apply",
             .Grid = "11:1234 12:1234 15:12 23:34",
             .Level = 11,
             .Search = false,
             .MerkerLevel = 11,
             .Deleted = "21:34 31:34 22:34 32:34 13:1234 33:34 14:12 16:12 17:12 18:12 19:12",
             .Pattern = "11:1234 12:1234 23:34 15:12",
             .Present = {"Spalte(1) Block(0) Zellen((1)(2)) S(5)", "xyBlock(0,0) Zelle(2,3)", "3,1 Lösche :1",
                         "1,3 Lösche :3"},
             .Absent = {"1,3 Lösche :1", "Zelle B1 (1,1)", "Teste Block(0,0) Zelle(1,1)"}});
        // Nothing to remove: the trial still runs the singles, which find the
        // grid's own single; without one the grid stays as it was.
        add({.Name = "11 removing nothing, grid's own single",
             .Grid = "11:1234 21:1234 51:12 32:34 r1-12/125 b1-34/126 99:7",
             .Level = 11,
             .FoundLevel = 11,
             .Found = "99:7",
             .Levels = "99=11",
             .Deleted = sdc4Row,
             .Pattern = "11:1234 21:1234 51:12 32:34",
             .Present = {"Zelle B1 (1,1)"},
             .Absent = {"3,1 Lösche :1"}});
        add({.Name = "11 removing nothing",
             .Grid = "11:1234 21:1234 51:12 32:34 r1-12/125 b1-34/126",
             .Level = 11,
             .Present = {"Zelle B1 (1,1)", "Sue_De_Coq4 Ende"}});

        // Level 10, Sue de Coq with five cells.
        add({.Name = "10 row, two and two",
             .Grid = "11:123 21:345 31:15 51:12 12:34",
             .Level = 10,
             .Search = false,
             .MerkerLevel = 10,
             .Deleted = "41:125 61:125 71:125 81:125 91:125 22:345 32:345 13:345 23:345 33:345",
             .Pattern = "11:123 21:345 31:15 51:12 12:34",
             .Present = {"Sue_De_Coq5 Start", "Block1 in Zeile(1) mit 3 freien Zellen und 5 Merkern",
                         "Zelle(5,1) passende Zelle Merker(2)", "Suche im yBlock(0) Zeile(1)",
                         "Zelle(1,2) passender Zelle gefunden", "4,1 Lösche :5", "2,2 Lösche :5"},
             .Absent = {"Sue_De_Coq5 Ende"}});
        add({.Name = "10 row, three and two",
             .Grid = "11:123 21:345 31:15 51:125 12:34",
             .Level = 10,
             .Search = false,
             .MerkerLevel = 10,
             .Deleted = "41:125 61:125 71:125 81:125 91:125 22:34 32:34 13:34 23:34 33:34",
             .Pattern = "11:123 21:345 31:15 51:125 12:34",
             .Present = {"Zelle(5,1) passende Zelle Merker(3)"}});
        add({.Name = "10 row, search with single",
             .Grid = "11:123 21:345 31:15 51:12 12:34 33:356",
             .Level = 10,
             .FoundLevel = 10,
             .MerkerLevel = 10,
             .Found = "33:6",
             .Levels = "33=10",
             .Deleted = "41:125 61:125 71:125 81:125 91:125 22:345 32:345 13:345 23:345 33:345",
             .Pattern = "11:123 21:345 31:15 51:12 12:34",
             .Present = {"Sue_De_Coq5 Ende"}});
        add({.Name = "10 column",
             .Grid = "11:123 12:345 13:15 15:12 21:34",
             .Level = 10,
             .Search = false,
             .MerkerLevel = 10,
             .Deleted = "31:345 22:345 32:345 23:345 33:345 14:125 16:125 17:125 18:125 19:125",
             .Pattern = "11:123 21:34 12:345 13:15 15:12",
             .Present = {"Block1 in Spalte(1) mit 3 freien Zellen und 5 Merkern", "Zelle(1,5) passende Zelle Merker(2)",
                         "Suche im xBlock(0) Spalte(1)", "Zelle(2,1) passender Zelle gefunden", "1,4 Lösche :1"}});
        // A block cell that fails the size test ends its block row; the next
        // block row is still searched.
        add({.Name = "10 size test ends the block row",
             .Grid = "11:123 21:345 31:15 51:12 12:134 33:34",
             .Level = 10,
             .Search = false,
             .MerkerLevel = 10,
             .Deleted = "41:125 61:125 71:125 81:125 91:125 12:345 22:345 32:345 13:345 23:345",
             .Pattern = "11:123 21:345 31:15 51:12 33:34",
             .Present = {"Zelle(3,3) passender Zelle gefunden"},
             .Absent = {"Zelle(1,2) passender Zelle gefunden"}});
        // Cells with fewer than two candidates account for no digit; taking
        // them would sweep digits the block still needs.
        add({.Name = "10 row cell without candidates",
             .Grid = "11:123 21:345 31:15 51: 12:34",
             .Level = 10,
             .Search = false,
             .Present = {"Sue_De_Coq5 Ende"},
             .Absent = {"Zelle(5,1) passende Zelle Merker(0)"}});
        add({.Name = "10 row cell with one candidate",
             .Grid = "11:123 21:345 31:15 51:1 12:34",
             .Level = 10,
             .Search = false,
             .Present = {"Sue_De_Coq5 Ende"},
             .Absent = {"Zelle(5,1) passende Zelle Merker(1)"}});
        add({.Name = "10 block cell with one candidate",
             .Grid = "11:123 21:345 31:15 51:12 12:3",
             .Level = 10,
             .Search = false,
             .Present = {"Zelle(5,1) passende Zelle Merker(2)", "Sue_De_Coq5 Ende"},
             .Absent = {"Zelle(1,2) passender Zelle gefunden"}});
        add({.Name = "10 block cell with one candidate is passed over",
             .Grid = "11:123 21:345 31:15 51:12 12:3 22:34",
             .Level = 10,
             .Search = false,
             .MerkerLevel = 10,
             .Deleted = "41:125 61:125 71:125 81:125 91:125 12:345 32:345 13:345 23:345 33:345",
             .Pattern = "11:123 21:345 31:15 51:12 22:34",
             .Present = {"Zelle(2,2) passender Zelle gefunden"},
             .Absent = {"Zelle(1,2) passender Zelle gefunden"}});
        add({.Name = "10 column cell with one candidate",
             .Grid = "11:123 12:345 13:15 15:1 21:34",
             .Level = 10,
             .Search = false,
             .Present = {"Sue_De_Coq5 Ende"},
             .Absent = {"Zelle(1,5) passende Zelle Merker(1)"}});
    }
    void technique()
    {
        QFETCH(QString, grid);
        QFETCH(int, level);
        QFETCH(bool, search);
        QFETCH(int, foundLevel);
        QFETCH(int, merkerLevel);
        QFETCH(QString, found);
        QFETCH(QString, levels);
        QFETCH(QString, deleted);
        QFETCH(QString, pattern);
        QFETCH(QStringList, present);
        QFETCH(QStringList, absent);
        TSolverEngine e;
        TRecorder rec;
        rec.Attach(e);
        TSolverGrid g = MakeGrid(grid);
        const TSolverGrid before = g;
        e.RunTechnique(g, level, search);
        QCOMPARE(g.FoundLevel, foundLevel);
        QCOMPARE(g.MerkerLevel, merkerLevel);
        QCOMPARE(Marks(g, &TSolverCell::Found), found);
        QCOMPARE(Levels(g), levels);
        QCOMPARE(Marks(g, &TSolverCell::Deleted), deleted);
        QCOMPARE(Marks(g, &TSolverCell::Pattern), pattern);
        QString missing;
        QVERIFY2(InOrder(rec.Lines, present, missing), qPrintable(missing));
        for (const QString &line : absent)
            QVERIFY2(!rec.Lines.contains(line), qPrintable(line));
        for (int c : rec.Categories)
            QCOMPARE(c, 3);
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y) {
                QCOMPARE(g.Cells[x][y].Value, before.Cells[x][y].Value);
                for (int d = 1; d <= 9; ++d)
                    QCOMPARE(bool(g.Cells[x][y].Merker[d]), before.Cells[x][y].Merker[d] && !g.Cells[x][y].Deleted[d]);
            }
    }

    // The singles on a trial copy mark what the step asks for: the first
    // single for a hint, every single for the editor test.
    void trialSinglesFollowStopAtFirst_data()
    {
        QTest::addColumn<bool>("stopAtFirst");
        QTest::addColumn<QString>("found");
        QTest::newRow("hint") << true << "51:7";
        QTest::newRow("editor test") << false << "51:7 61:8";
    }
    void trialSinglesFollowStopAtFirst()
    {
        QFETCH(bool, stopAtFirst);
        QFETCH(QString, found);
        TSolverEngine e;
        TSolverGrid g = MakeGrid(QStringLiteral("11:12 21:12 51:127 61:128"));
        g.StopAtFirst = stopAtFirst;
        e.FindZwilling(g, 4, true);
        QCOMPARE(g.FoundLevel, 4);
        QCOMPARE(Marks(g, &TSolverCell::Found), found);
        QCOMPARE(g.StopAtFirst, stopAtFirst);
    }

    // The trace costs nothing while the solver's category is switched off.
    void traceFilter()
    {
        TSolverEngine e;
        TRecorder rec;
        rec.Attach(e);
        QList<int> asked;
        e.Hooks.TraceWanted = [&](int category) {
            asked << category;
            return false;
        };
        TSolverGrid g = MakeGrid(QStringLiteral("11:12 21:12"));
        e.SolveStep(g, true);
        QCOMPARE(g.FoundLevel, 104);
        QVERIFY(rec.Lines.isEmpty());
        QVERIFY(!asked.isEmpty());
        QVERIFY(std::all_of(asked.begin(), asked.end(), [](int c) { return c == 3; }));
    }

    void formSolverHoldsTheGrids()
    {
        TFormSolver form;
        QVERIFY(!form.GameGrid.Initialised);
        TBoards boards = MakeBoards(QStringLiteral("0:11=5/-1"));
        form.LoadGameFromBoard(form.GameGrid, boards);
        CopySolverGrid(form.GameGrid, form.GridBefore);
        form.SolveStep(form.GameGrid, true);
        QVERIFY(form.GameGrid.Initialised);
        QCOMPARE(Values(form.GridBefore), QStringLiteral("11=5"));
        QCOMPARE(form.GridBefore.MerkerLevel, 0);
        QCOMPARE(form.GameGrid.MerkerLevel, 99);
        QVERIFY(!form.TestGrid.Initialised);
    }
};

QTEST_MAIN(TstSolver)
#include "tst_solver.moc"
