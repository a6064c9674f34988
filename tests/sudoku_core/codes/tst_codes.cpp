// Puzzle strings, game codes, rotation and relabelling.
#include "common/TestEnv.h"
#include "board/UQuadrivo_Builtin.h"
#include "codes/UQuadrivo_Codes.h"
#include "settings/USystem.h"

#include <QtTest>

namespace {
// A board whose every entry is distinct: Value = x, State = y, FirstFinder and
// FoundTime encode the cell, so a moved entry can be traced whole.
TBoardLayer tracedLayer()
{
    TBoardLayer l;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            l[x][y] = TGridEntry{x, y, 10 * y + x, 1000 + 10 * y + x};
    return l;
}

bool isValidSolution(const QString &s)
{
    if (s.size() != 81)
        return false;
    for (int i = 0; i < 9; ++i) {
        QSet<int> row, col, box;
        for (int j = 0; j < 9; ++j) {
            row.insert(s[i * 9 + j].toLower().unicode() - 'a' + 1);
            col.insert(s[j * 9 + i].toLower().unicode() - 'a' + 1);
            const int r = (i / 3) * 3 + j / 3, c = (i % 3) * 3 + j % 3;
            box.insert(s[r * 9 + c].toLower().unicode() - 'a' + 1);
        }
        if (row.size() != 9 || col.size() != 9 || box.size() != 9 || row.contains(0) || *std::max_element(row.begin(), row.end()) > 9)
            return false;
    }
    return true;
}
} // namespace

class TstCodes : public QObject {
    Q_OBJECT
    TTestEnv env;

private slots:
    void initTestCase()
    {
        ReloadSudokuEnv();
        RandSeed(12345);
    }

    void loadPuzzleString()
    {
        TBoardLayer l;
        LoadPuzzleStringInto(l, "A" + QString(80, 'a'));
        QCOMPARE(l[1][1].Value, 1);
        QCOMPARE(l[1][1].State, -1);
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x)
                if (x != 1 || y != 1) {
                    QCOMPARE(l[x][y].Value, 1);
                    QCOMPARE(l[x][y].State, 0);
                }
    }

    void shortTextLeavesTheRest()
    {
        TBoardLayer l = tracedLayer();
        LoadPuzzleStringInto(l, "Bc");
        QCOMPARE(l[1][1].Value, 2);
        QCOMPARE(l[2][1].Value, 3);
        QCOMPARE(l[3][1].Value, 3); // untouched
    }

    void builtinPuzzlesAreSolutionsAndRoundTrip()
    {
        int total = 0;
        for (int level = 0; level < 4; ++level)
            for (int i = 0; i < kBuiltinCounts[level]; ++i) {
                const QString s = QString::fromLatin1(kBuiltinPuzzles[level][i]);
                QVERIFY2(isValidSolution(s), qPrintable(BuiltinCodeOf(level, i)));
                int givens = 0;
                for (QChar c : s)
                    givens += c.isUpper();
                QVERIFY(givens >= 22 && givens <= 36);
                TBoardLayer l;
                LoadPuzzleStringInto(l, s);
                QCOMPARE(BuildPuzzleStringFrom(l), s);
                ++total;
            }
        QCOMPARE(total, 36);
        QCOMPARE(BuiltinCodeOf(0, 0), QString("GL"));
        QCOMPARE(BuiltinCodeOf(1, 12), QString("SM"));
        QCOMPARE(BuiltinCodeOf(3, 5), QString("LO"));
    }

    void linesLoad()
    {
        TBoardLayer l;
        const QString s = QString::fromLatin1(kBuiltinPuzzles[2][3]);
        QStringList lines;
        for (int y = 0; y < 9; ++y)
            lines << s.mid(y * 9, 9);
        QCOMPARE(LoadPuzzleLinesInto(l, lines), s);
        QCOMPARE(BuildPuzzleStringFrom(l), s);
    }

    void rotation_data()
    {
        QTest::addColumn<QString>("code");
        // where the column (row) at old position i ends up, for columns and rows
        QTest::addColumn<QList<int>>("colTarget");
        QTest::addColumn<QList<int>>("rowTarget");
        const QList<int> id{1, 2, 3, 4, 5, 6, 7, 8, 9};
        QTest::newRow("nothing") << "00000000" << id << id;
        QTest::newRow("swap columns 2 and 3") << "10000000" << QList<int>{1, 3, 2, 4, 5, 6, 7, 8, 9} << id;
        QTest::newRow("columns 1-3 cycled") << "30000000" << QList<int>{2, 3, 1, 4, 5, 6, 7, 8, 9} << id;
        QTest::newRow("column bands cycled") << "00000030" << QList<int>{4, 5, 6, 7, 8, 9, 1, 2, 3} << id;
        QTest::newRow("bad character") << "x0000000" << id << id;
        QTest::newRow("short code") << "5" << QList<int>{3, 2, 1, 4, 5, 6, 7, 8, 9} << id;
        QTest::newRow("rows 7-9 reversed") << "00000500" << id << QList<int>{1, 2, 3, 4, 5, 6, 9, 8, 7};
        QTest::newRow("row bands") << "00000004" << id << QList<int>{7, 8, 9, 1, 2, 3, 4, 5, 6};
        // Groups apply in order: columns 4-6 first (4 -> 6, 5 -> 4, 6 -> 5),
        // then the bands (1 -> 3, 2 -> 1, 3 -> 2).
        QTest::newRow("lines then bands") << "04000040" << QList<int>{7, 8, 9, 3, 1, 2, 4, 5, 6} << id;
    }
    void rotation()
    {
        QFETCH(QString, code);
        QFETCH(QList<int>, colTarget);
        QFETCH(QList<int>, rowTarget);
        const TBoardLayer before = tracedLayer();
        TBoardLayer l = before;
        ApplyRotationCodeTo(l, code);
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y) {
                const TGridEntry &moved = l[colTarget[x - 1]][rowTarget[y - 1]];
                const TGridEntry &orig = before[x][y];
                QCOMPARE(moved.Value, orig.Value);
                QCOMPARE(moved.State, orig.State);
                QCOMPARE(moved.FirstFinder, orig.FirstFinder);
                QCOMPARE(moved.FoundTime, orig.FoundTime);
            }
    }

    void rotationKeepsSolutionsValid()
    {
        for (int n = 0; n < 50; ++n) {
            TBoardLayer l;
            LoadPuzzleStringInto(l, QString::fromLatin1(kBuiltinPuzzles[n % 4][n % 6]));
            ApplyRotationCodeTo(l, MakeRandomRotationCode());
            ApplyDigitMapTo(l, MakeRandomDigitMap());
            QVERIFY(isValidSolution(BuildPuzzleStringFrom(l)));
        }
    }

    void digitMap()
    {
        TBoardLayer l;
        const QString s = QString::fromLatin1(kBuiltinPuzzles[0][0]);
        LoadPuzzleStringInto(l, s);
        TBoardLayer mapped = l;
        ApplyDigitMapTo(mapped, "213456789");
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y) {
                const int v = l[x][y].Value;
                QCOMPARE(mapped[x][y].Value, v == 1 ? 2 : v == 2 ? 1 : v);
                QCOMPARE(mapped[x][y].State, l[x][y].State);
            }
        TBoardLayer same = l;
        ApplyDigitMapTo(same, "123456789");
        QCOMPARE(BuildPuzzleStringFrom(same), s);
        // A broken map never produces an out-of-range digit.
        TBoardLayer broken = l;
        ApplyDigitMapTo(broken, "12x");
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y)
                QVERIFY(broken[x][y].Value >= 1 && broken[x][y].Value <= 9);
    }

    void randomCodes()
    {
        for (int n = 0; n < 200; ++n) {
            const QString r = MakeRandomRotationCode();
            QCOMPARE(r.size(), 8);
            for (QChar c : r)
                QVERIFY(c >= '0' && c <= '5');
            QString m = MakeRandomDigitMap();
            std::sort(m.begin(), m.end());
            QCOMPARE(m, QString("123456789"));
        }
    }

    void symbolSets()
    {
        QCOMPARE(SymbolSetForType(1), QString("123456789"));
        QCOMPARE(SymbolSetForType(2), QString("ABCDEFGHI"));
        QCOMPARE(SymbolSetForType(4), QString());
        // Type 3: the ten drawn letters without the smallest. Replaying the
        // same seed shows which ten were drawn.
        for (int seed = 1; seed <= 50; ++seed) {
            RandSeed(seed);
            const QString s = SymbolSetForType(3);
            RandSeed(seed);
            QString drawn;
            while (drawn.size() < 10) {
                const QChar c('A' + Random(26));
                if (!drawn.contains(c))
                    drawn += c;
            }
            std::sort(drawn.begin(), drawn.end());
            QCOMPARE(s, drawn.mid(1));
            QVERIFY(!s.contains(drawn[0]));
        }
    }

    void optionsCode_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("immediate");
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("rating");
        QTest::addColumn<int>("marks");
        QTest::addColumn<QString>("code");
        QTest::newRow("sudoku") << 1 << true << 2 << 3 << 4 << "SS234";
        QTest::newRow("letters at end") << 2 << false << 0 << 1 << 9 << "ID019";
        QTest::newRow("a-z") << 3 << true << 3 << 4 << 0 << "ZS340";
        QTest::newRow("bingo") << 4 << true << 1 << 2 << 2 << "BS122";
        QTest::newRow("other type adds nothing") << 7 << true << 1 << 2 << 2 << "S122";
    }
    void optionsCode()
    {
        QFETCH(int, type);
        QFETCH(bool, immediate);
        QFETCH(int, level);
        QFETCH(int, rating);
        QFETCH(int, marks);
        QFETCH(QString, code);
        QCOMPARE(MakeOptionsCode(type, immediate, level, rating, marks), code);
    }

    void gameCodes_data()
    {
        const QString puzzle = QString::fromLatin1(kBuiltinPuzzles[1][4]);
        const QString code = puzzle + "SS234" + "ABCDEFGHI";
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("ok");
        QTest::newRow("bare code") << code << true;
        QTest::newRow("whole line") << "Gestartet :10.12.2026 10:30:00 Spielcode >" + code << true;
        QTest::newRow("trailing blank") << code + "  " << true;
        QTest::newRow("longer is fine") << code + "XYZ" << true;
        QTest::newRow("too short") << code.left(94) << false;
        QTest::newRow("short after >") << "abc>" + code.left(90) << false;
        QTest::newRow("bad letter") << "j" + code.mid(1) << false;
        QTest::newRow("digit in puzzle") << code.left(40) + "5" + code.mid(41) << false;
        QTest::newRow("empty") << "" << false;
    }
    void gameCodes()
    {
        QFETCH(QString, typed);
        QFETCH(bool, ok);
        TGameCodeParts parts;
        QString error;
        QCOMPARE(ParseGameCode(typed, parts, error), ok);
        if (ok) {
            QCOMPARE(parts.Puzzle, QString::fromLatin1(kBuiltinPuzzles[1][4]));
            QCOMPARE(parts.Options, QString("SS234"));
            QCOMPARE(parts.Symbols, QString("ABCDEFGHI"));
        } else {
            QVERIFY(!error.isEmpty());
        }
    }

    void puzzleFiles_data()
    {
        const QString s = QString::fromLatin1(kBuiltinPuzzles[0][1]);
        QStringList good;
        for (int y = 0; y < 9; ++y)
            good << s.mid(y * 9, 9);
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("ok");
        QTest::newRow("nine lines") << good << true;
        QTest::newRow("extra lines") << (good + QStringList{"", "rest"}) << true;
        QTest::newRow("eight lines") << good.mid(0, 8) << false;
        QStringList shortLine = good;
        shortLine[4].chop(1);
        QTest::newRow("short line") << shortLine << false;
        QStringList bad = good;
        bad[8][3] = 'x';
        QTest::newRow("other letter") << bad << false;
        QStringList empty = good;
        empty[0][0] = '`';
        QTest::newRow("empty cell") << empty << false;
        QTest::newRow("nothing") << QStringList{} << false;
    }
    void puzzleFiles()
    {
        QFETCH(QStringList, lines);
        QFETCH(bool, ok);
        QString error;
        QCOMPARE(CheckPuzzleLines(lines, error), ok);
    }

    void min3mid3max3()
    {
        QCOMPARE(Min3(5, 2, 8), 2);
        QCOMPARE(Mid3(5, 2, 8), 5);
        QCOMPARE(Max3(5, 2, 8), 8);
        QCOMPARE(Mid3(9, 7, 8), 8);
    }
};

QTEST_MAIN(TstCodes)
#include "tst_codes.moc"
