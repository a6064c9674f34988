// The solver on whole puzzles: the first hint of built-in puzzles, every
// built-in puzzle solved step by step to its known solution, and soundness
// over random puzzles: no step may ever remove a cell's solution digit or
// find a wrong one, whether it runs as the editor test or as a hint.

#include "board/UQuadrivo_Builtin.h"
#include "codes/UQuadrivo_Codes.h"
#include "settings/USystem.h"
#include "solver/USolver_Engine.h"
#include "solver/USolver_Generator.h"

#include <QtTest>

namespace {

struct TPuzzle {
    QString Code;
    QString Text;
};

QList<TPuzzle> BuiltinPuzzles()
{
    QList<TPuzzle> out;
    for (int level = 0; level < 4; ++level)
        for (int index = 0; index < 13 && kBuiltinPuzzles[level][index]; ++index)
            out << TPuzzle{BuiltinCodeOf(level, index), QString::fromLatin1(kBuiltinPuzzles[level][index])};
    return out;
}

int SolutionAt(const QString &puzzle, int x, int y)
{
    return puzzle[(y - 1) * 9 + (x - 1)].toLower().unicode() - 'a' + 1;
}

// A puzzle with its solution unpacked, [column][row].
struct TKnown {
    QString Text;
    int Solution[10][10] = {};
    explicit TKnown(const QString &text) : Text(text)
    {
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y)
                Solution[x][y] = SolutionAt(text, x, y);
    }
};

// The reference board of a running game: givens State -1, the rest open,
// every Value the solution.
TBoards GameBoards(const QString &puzzle)
{
    TBoards b;
    LoadPuzzleStringInto(b[0], puzzle);
    return b;
}

// The editor's board: givens State 0 with their digit, the rest empty (-1).
TBoards EditorBoards(const TKnown &puzzle)
{
    TBoards b;
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            const bool given = puzzle.Text[(y - 1) * 9 + (x - 1)].isUpper();
            b[0][x][y].State = given ? 0 : -1;
            b[0][x][y].Value = given ? puzzle.Solution[x][y] : 0;
        }
    return b;
}

// Checks a grid against the solution; returns an empty text when it holds.
QString Unsound(const TSolverGrid &g, const TKnown &puzzle)
{
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            const TSolverCell &c = g.Cells[x][y];
            const int s = puzzle.Solution[x][y];
            QString fault;
            if (c.Value != 0 && c.Value != s)
                fault = QStringLiteral("wrong digit %1").arg(c.Value);
            for (int d = 1; d <= 9; ++d)
                if (c.Found[d] && d != s)
                    fault = QStringLiteral("wrong find %1").arg(d);
            if (c.Value == 0 && (!c.Merker[s] || c.Deleted[s]))
                fault = QStringLiteral("solution digit %1 removed").arg(s);
            if (!fault.isEmpty())
                return fault +
                       QStringLiteral(" at (%1,%2), level %3 in %4").arg(x).arg(y).arg(g.FoundLevel).arg(puzzle.Text);
        }
    return QString();
}

int FoundMarks(const TSolverGrid &g)
{
    int n = 0;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            for (int d = 1; d <= 9; ++d)
                n += g.Cells[x][y].Found[d] != 0;
    return n;
}

int EmptyCells(const TSolverGrid &g)
{
    int n = 0;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            n += g.Cells[x][y].Value == 0;
    return n;
}

bool IsStepLevel(int level)
{
    return (level >= 1 && level <= 11 && level != 9) || (level >= 103 && level <= 111 && level != 109);
}

// The editor test's solve: every step's finds are written back. Returns the
// first unsound state seen, or an empty text.
QString EditorSolve(TSolverEngine &e, const TKnown &puzzle, TSolverGrid &g)
{
    e.ResetGrid(g);
    e.LoadPuzzleFromBoard(g, EditorBoards(puzzle));
    QString fault = Unsound(g, puzzle);
    e.SolveToEnd(g, [&](const TSolverGrid &step, int written) {
        if (fault.isEmpty() && !IsStepLevel(step.FoundLevel))
            fault = QStringLiteral("level %1").arg(step.FoundLevel);
        if (fault.isEmpty() && step.FoundLevel < 100 && written == 0)
            fault = QStringLiteral("level %1 wrote nothing").arg(step.FoundLevel);
        if (fault.isEmpty())
            fault = Unsound(step, puzzle);
    });
    return fault;
}

// The hint's road: one step at a time on the game grid, each found digit
// entered (and placed as the host places a right entry). After a digit
// found by a technique, a second hint without an entry finds a single,
// because the first hint's eliminations were kept.
QString HintPlay(TSolverEngine &e, const TKnown &puzzle, TSolverGrid &g, QList<int> *levels = nullptr)
{
    const TBoards boards = GameBoards(puzzle.Text);
    g.Initialised = false;
    e.ResetGrid(g);
    e.LoadGameFromBoard(g, boards);
    for (int hint = 0; hint < 200; ++hint) {
        e.SolveStep(g, true);
        const int level = g.FoundLevel;
        if (levels)
            *levels << level;
        if (level == 0)
            return QString();
        QString fault = Unsound(g, puzzle);
        if (!fault.isEmpty())
            return fault;
        if (!IsStepLevel(level))
            return QStringLiteral("level %1").arg(level);
        if (level >= 100)
            continue;
        if (FoundMarks(g) != 1)
            return QStringLiteral("a hint found %1 digits").arg(FoundMarks(g));
        if (level >= 3) {
            TSolverGrid again = g;
            e.SolveStep(again, true);
            if (again.FoundLevel != 1 && again.FoundLevel != 2)
                return QStringLiteral("second hint after level %1 gave %2").arg(level).arg(again.FoundLevel);
        }
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y)
                for (int d = 1; d <= 9; ++d)
                    if (g.Cells[x][y].Found[d] && g.Cells[x][y].Value == 0)
                        e.PlaceDigit(g, x, d, y);
    }
    return QStringLiteral("no end after 200 hints");
}

// FNV-1a, 64 bits, over 32-bit values taken little-endian.
class TStepHash {
public:
    void Add(int32_t v)
    {
        for (int i = 0; i < 4; ++i) {
            m_h ^= (uint32_t(v) >> (8 * i)) & 0xffu;
            m_h *= 0x100000001b3ull;
        }
    }
    void Add(const QString &text)
    {
        Add(int32_t(text.size()));
        for (const QChar c : text)
            Add(int32_t(c.unicode()));
    }
    quint64 Value() const { return m_h; }

private:
    quint64 m_h = 0xcbf29ce484222325ull;
};

// Everything a step leaves in the grid, and what the engine tells besides.
void HashStep(TStepHash &h, const TSolverEngine &e, const TSolverGrid &g, bool progress)
{
    h.Add(g.Initialised);
    h.Add(g.FoundLevel);
    h.Add(g.MerkerLevel);
    h.Add(g.StopAtFirst);
    h.Add(progress);
    h.Add(e.HiddenSingleUnit);
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) {
            const TSolverCell &c = g.Cells[x][y];
            h.Add(c.Value);
            h.Add(c.Level);
            for (int d = 1; d <= 9; ++d) {
                h.Add(c.Found[d] != 0);
                h.Add(c.Deleted[d] != 0);
                h.Add(c.Pattern[d] != 0);
                h.Add(c.Merker[d] != 0);
            }
        }
}

// The hashes of every step of a puzzle on the hint's road (one step, the
// found digit placed) and on the editor test's, the solver quiet; and of
// both roads again with the solver's trace lines, which take other paths.
struct TStepHashes {
    quint64 Hint = 0;
    quint64 Editor = 0;
    quint64 Traced = 0;
};

void HashRoads(const QString &puzzle, bool traced, TStepHash &hint, TStepHash &editor)
{
    TSolverEngine e;
    TStepHash *h = &hint;
    if (traced)
        e.Hooks.Trace = [&h](int category, const QString &text) {
            h->Add(category);
            h->Add(text);
        };
    TSolverGrid g;
    e.ResetGrid(g);
    e.LoadGameFromBoard(g, GameBoards(puzzle));
    for (int step = 0; step < 200; ++step) {
        const bool progress = e.SolveStep(g, true);
        HashStep(*h, e, g, progress);
        if (g.FoundLevel == 0)
            break;
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y)
                for (int d = 1; d <= 9; ++d)
                    if (g.Cells[x][y].Found[d] && g.Cells[x][y].Value == 0)
                        e.PlaceDigit(g, x, d, y);
    }

    h = &editor;
    e.ResetGrid(g);
    e.LoadPuzzleFromBoard(g, EditorBoards(TKnown(puzzle)));
    const int steps = e.SolveToEnd(g, [&](const TSolverGrid &step, int written) {
        h->Add(written);
        HashStep(*h, e, step, true);
    });
    h->Add(steps);
    HashStep(*h, e, g, false);
}

TStepHashes StepHashes(const QString &puzzle)
{
    TStepHash hint, editor, traced;
    HashRoads(puzzle, false, hint, editor);
    HashRoads(puzzle, true, traced, traced);
    return {hint.Value(), editor.Value(), traced.Value()};
}

} // namespace

class TstSolverPuzzles : public QObject {
    Q_OBJECT

private slots:
    // The expected hints were worked out from the givens alone, apart from
    // the solver: the first naked single in reading order, else the first
    // hidden single by digit, then rows, columns and blocks.
    void firstHint_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("digit");
        QTest::addColumn<QString>("unit");
        QTest::newRow("GL") << "GL" << 1 << 4 << 1 << 7 << QString();
        QTest::newRow("KL") << "KL" << 1 << 8 << 2 << 3 << QString();
        QTest::newRow("PM") << "PM" << 1 << 4 << 6 << 4 << QString();
        QTest::newRow("NM") << "NM" << 2 << 7 << 6 << 2 << "in der Zeile";
        QTest::newRow("RM") << "RM" << 2 << 4 << 3 << 5 << "in der Spalte";
        QTest::newRow("SM") << "SM" << 2 << 2 << 9 << 2 << "in der Spalte";
        QTest::newRow("KN") << "KN" << 2 << 3 << 9 << 6 << "in der Zeile";
        QTest::newRow("ON") << "ON" << 2 << 1 << 5 << 1 << "im Block";
        QTest::newRow("HO") << "HO" << 2 << 9 << 3 << 1 << "in der Zeile";
        QTest::newRow("LO") << "LO" << 1 << 2 << 2 << 2 << QString();
    }
    void firstHint()
    {
        QFETCH(QString, code);
        QFETCH(int, level);
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(int, digit);
        QFETCH(QString, unit);
        QString puzzle;
        for (const TPuzzle &p : BuiltinPuzzles())
            if (p.Code == code)
                puzzle = p.Text;
        QVERIFY(!puzzle.isEmpty());
        TSolverEngine e;
        TSolverGrid g;
        e.ResetGrid(g);
        e.LoadGameFromBoard(g, GameBoards(puzzle));
        e.SolveStep(g, true);
        QCOMPARE(g.FoundLevel, level);
        QCOMPARE(FoundMarks(g), 1);
        QVERIFY(g.Cells[x][y].Found[digit]);
        QCOMPARE(g.Cells[x][y].Level, level);
        QCOMPARE(SolutionAt(puzzle, x, y), digit);
        if (level == 2)
            QCOMPARE(e.HiddenSingleUnit, unit);
    }

    void builtinSolved_data()
    {
        QTest::addColumn<QString>("puzzle");
        for (const TPuzzle &p : BuiltinPuzzles())
            QTest::newRow(qPrintable(p.Code)) << p.Text;
    }
    void builtinSolved()
    {
        QFETCH(QString, puzzle);
        TSolverEngine e;
        TSolverGrid g;
        const QString fault = EditorSolve(e, TKnown(puzzle), g);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
        QCOMPARE(EmptyCells(g), 0);
    }

    void builtinByHints_data() { builtinSolved_data(); }
    void builtinByHints()
    {
        QFETCH(QString, puzzle);
        TSolverEngine e;
        TSolverGrid g;
        const QString fault = HintPlay(e, TKnown(puzzle), g);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
        QCOMPARE(EmptyCells(g), 0);
    }

    // Every step of every puzzle the solver bench times, recorded in
    // solver_steps.txt: a faster solver must find the same digits, remove
    // the same candidates, show the same patterns and write the same trace.
    // SUDOKU_RECORD_SOLVER_STEPS=<file> writes the table anew from this
    // solver instead, for a change that means to alter the steps.
    void stepsUnchanged()
    {
        const QString table = QFINDTESTDATA("solver_steps.txt");
        QFile in(table);
        QVERIFY2(in.open(QIODevice::ReadOnly | QIODevice::Text), qPrintable(table));
        const QString record = qEnvironmentVariable("SUDOKU_RECORD_SOLVER_STEPS");
        QFile out(record);
        if (!record.isEmpty())
            QVERIFY2(out.open(QIODevice::WriteOnly | QIODevice::Text), qPrintable(record));
        QMap<QString, int> puzzles;
        QStringList changed;
        while (!in.atEnd()) {
            const QByteArray line = in.readLine();
            const QList<QByteArray> f = line.trimmed().split(' ');
            if (line.startsWith('#') || f.size() != 5) {
                if (out.isOpen())
                    out.write(line);
                continue;
            }
            const QString set = QString::fromLatin1(f[0]);
            const QString puzzle = QString::fromLatin1(f[1]);
            const TStepHashes now = StepHashes(puzzle);
            auto hex = [](quint64 v) { return QByteArray::number(v, 16).rightJustified(16, '0'); };
            const QByteArray hint = hex(now.Hint), editor = hex(now.Editor), traced = hex(now.Traced);
            if (out.isOpen())
                out.write(f[0] + ' ' + f[1] + ' ' + hint + ' ' + editor + ' ' + traced + '\n');
            const int index = puzzles[set]++;
            if (hint != f[2])
                changed << QStringLiteral("%1 %2 (%3): hint road").arg(set).arg(index).arg(puzzle);
            if (editor != f[3])
                changed << QStringLiteral("%1 %2 (%3): editor test").arg(set).arg(index).arg(puzzle);
            if (traced != f[4])
                changed << QStringLiteral("%1 %2 (%3): traced").arg(set).arg(index).arg(puzzle);
        }
        QVERIFY(puzzles.value(QStringLiteral("hard")) > 0);
        if (!out.isOpen())
            QVERIFY2(changed.isEmpty(), qPrintable(QStringLiteral("%1 changed, first %2")
                                                       .arg(changed.size())
                                                       .arg(changed.mid(0, 5).join(QStringLiteral("; ")))));
    }

    // Random puzzles with one solution each, from fixed seeds: every step is
    // checked against the solution, in the editor test and on the hint road.
    void randomSoundness_data()
    {
        QTest::addColumn<int>("seed");
        QTest::addColumn<int>("puzzles");
        QTest::addColumn<int>("minGivens");
        // Minimal puzzles are the hard ones; a floor of givens keeps others easy.
        QTest::newRow("minimal") << 2401 << 1500 << 17;
        QTest::newRow("at least 24 givens") << 1113 << 750 << 24;
        QTest::newRow("at least 30 givens") << 1101 << 750 << 30;
    }
    void randomSoundness()
    {
        QFETCH(int, seed);
        QFETCH(int, puzzles);
        QFETCH(int, minGivens);
        RandSeed(uint64_t(seed));
        TSolverEngine e;
        TSolverGrid g;
        QMap<int, int> levels;
        int solved = 0;
        for (int i = 0; i < puzzles; ++i) {
            const TKnown puzzle(RandomPuzzleString(minGivens));
            QString fault = EditorSolve(e, puzzle, g);
            QVERIFY2(fault.isEmpty(), qPrintable(fault));
            const bool editorSolved = EmptyCells(g) == 0;
            solved += editorSolved;
            QList<int> seen;
            fault = HintPlay(e, puzzle, g, &seen);
            QVERIFY2(fault.isEmpty(), qPrintable(fault));
            for (int level : seen)
                ++levels[level];
        }
        QStringList summary;
        for (auto it = levels.cbegin(); it != levels.cend(); ++it)
            summary << QStringLiteral("%1:%2").arg(it.key()).arg(it.value());
        qInfo("%d of %d solved; hint levels %s", solved, puzzles, qPrintable(summary.join(' ')));
    }
};

QTEST_MAIN(TstSolverPuzzles)
#include "tst_solver_puzzles.moc"
