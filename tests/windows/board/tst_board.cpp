// The board view: the cell and mark controls, their layout, drawing single
// cells and marks, the animation step, hit testing and the button face.
#include "common/Fixture.h"
#include "board/UFeld.h"
#include "board/ULog.h"
#include "board/UQuadrivo.h"
#include "screens/UOptionen.h"
#include "settings/USonstiges.h"
#include "solver/UBingo.h"

#include <QMouseEvent>
#include <QPainter>
#include <QtTest>

namespace {
TCellView &cell(int x, int y)
{
    return Form1->Cells[x][y];
}

// The main window at this size, laid out as its resize handling does.
void layoutAt(int w, int h)
{
    Form1->resize(w, h);
    Form1->FormPaint();
}

QImage renderBoard()
{
    QImage img(Form1->brett->size(), QImage::Format_RGB32);
    QPainter p(&img);
    Form1->brett->PaintBoard(p, img.rect());
    return img;
}

void sendMouse(QEvent::Type type, const QPoint &pos, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent e(type, QPointF(pos), QPointF(Form1->brett->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(Form1->brett, &e);
}

QPoint centreOf(const QRect &r)
{
    return r.topLeft() + QPoint(r.width() / 2, r.height() / 2);
}

using THit = TBoardWidget::THit;
using THitKind = TBoardWidget::THitKind;
} // namespace

class TstBoard : public QObject {
    Q_OBJECT
    std::unique_ptr<TTestFixture> fx;
    int m_cursorX = 0;

private slots:
    void initTestCase()
    {
        fx = std::make_unique<TTestFixture>();
        fx->StartProgram();
        // The animation is driven by calling its handler.
        Form1->Blinken->SetEnabled(false);
        // Every hover query sees a moved cursor.
        SetCursorPosSource([this] { return QPoint(++m_cursorX, 0); });
        layoutAt(1020, 725);
    }
    void cleanupTestCase()
    {
        SetCursorPosSource(nullptr);
        fx.reset();
    }

    void init()
    {
        Form1->EditorMode = false;
        Form1->GameRunning = false;
        Form1->HoverTag = 0;
        Form1->SymbolSet.clear();
        FormOpt->tastaturM->Tag = 0;
        FormOpt->FabM->Tag = 1;
        FormOpt->SizeZahlen->setValue(8);
        FormOpt->SizeMerker->setValue(14);
        FormBingo->DrawNumbers = false;
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x) {
                TCellView &cv = cell(x, y);
                cv.Owner = -1;
                cv.BlinkTicks = 0;
                cv.HighlightTicks = 0;
                cv.BingoMark = 0;
                cv.ShowMarks = 1;
                cv.DigitLabel.SetCaption(QString());
                cv.Background.SetPicture(FormOpt->orgFest);
                for (int d = 1; d <= 9; ++d) {
                    cv.Mark(d).State = 0;
                    cv.Mark(d).ShownState = -1;
                }
            }
        FormFeld->RefreshMarks();
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x)
                DrawCell(x, y, true);
        Form1->brett->ClearDirty();
    }

    // ---- layout ------------------------------------------------------------------

    void layoutPlacesEveryControl()
    {
        layoutAt(1020, 725);
        const TBoardLayout l = ComputeBoardLayout(1020 - Form1->ToolPanel->width(), 725, 6, 3);
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x) {
                const TCellView &cv = cell(x, y);
                QCOMPARE(cv.Panel.Bounds(), QRect(l.CellLeft(x), l.CellTop(y), l.Cell, l.Cell));
                QCOMPARE(cv.Background.Bounds(), QRect(0, 0, l.Cell, l.Cell));
                QCOMPARE(cv.DigitLabel.Bounds(), QRect(0, 0, l.Cell, l.Cell));
                QCOMPARE(cv.DigitLabel.FontSize(), 48);
                for (int r = 1; r <= 3; ++r)
                    for (int c = 1; c <= 3; ++c) {
                        const QRect m((l.Mark + 1) * (c - 1), (l.Mark + 1) * (r - 1), l.Mark, l.Mark);
                        QCOMPARE(cv.Marks[c][r].Image.Bounds(), m);
                        QCOMPARE(cv.Marks[c][r].Label.Bounds(), m);
                    }
            }
        for (int by = 1; by <= 3; ++by)
            for (int bx = 1; bx <= 3; ++bx)
                QCOMPARE(Form1->BlockPanels[bx][by].Bounds(), QRect(l.BlockLeft(bx), l.BlockTop(by), l.Block, l.Block));
    }

    void layoutFollowsTheGaps()
    {
        FormOpt->SpanBlock->setValue(15);
        FormOpt->SpanZelle->setValue(1);
        FormFeld->LayoutBoard();
        const TBoardLayout l = ComputeBoardLayout(Form1->width() - Form1->ToolPanel->width(), Form1->height(), 15, 1);
        QCOMPARE(cell(4, 7).Panel.Bounds(), QRect(l.CellLeft(4), l.CellTop(7), l.Cell, l.Cell));
        FormOpt->SpanBlock->setValue(6);
        FormOpt->SpanZelle->setValue(3);
        FormFeld->LayoutBoard();
    }

    void smallWindowIsEnlarged()
    {
        layoutAt(700, 500);
        QCOMPARE(Form1->width(), 800);
        QCOMPARE(Form1->height(), 600);
        const TBoardLayout l = ComputeBoardLayout(800 - Form1->ToolPanel->width(), 600, 6, 3);
        QCOMPARE(cell(1, 1).Panel.Bounds(), QRect(l.OffX, l.OffY, l.Cell, l.Cell));
        layoutAt(1020, 725);
    }

    void layoutShowsPictureAndDigit()
    {
        DrawCell(2, 2, true);
        QVERIFY(!cell(2, 2).Background.Visible());
        FormFeld->LayoutBoard();
        QVERIFY(cell(2, 2).Background.Visible());
        QVERIFY(cell(2, 2).DigitLabel.Visible());
    }

    // ---- controls ------------------------------------------------------------------

    void controlsCarryTagsAndHints()
    {
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x) {
                const TCellView &cv = cell(x, y);
                QCOMPARE(cv.Background.Tag, 100 + 10 * y + x);
                QCOMPARE(cv.Background.Hint, QString("-1"));
                QCOMPARE(cv.DigitLabel.Tag, 100 + 10 * y + x);
                QCOMPARE(cv.DigitLabel.Hint, QString("-1"));
                for (int r = 1; r <= 3; ++r)
                    for (int c = 1; c <= 3; ++c) {
                        const TMarkEntry &m = cv.Marks[c][r];
                        const QString d = QString::number(3 * (r - 1) + c);
                        QCOMPARE(m.Image.Tag, 10 * y + x);
                        QCOMPARE(m.Label.Tag, 10 * y + x);
                        QCOMPARE(m.Image.Hint, d);
                        QCOMPARE(m.Label.Hint, d);
                        QCOMPARE(m.Label.Caption(), d);
                        QVERIFY(m.Label.Bold());
                    }
                // Digit d sits in mini row (d-1) div 3 + 1, mini column (d-1) mod 3 + 1.
                QCOMPARE(&cv.Mark(6), &cv.Marks[3][2]);
                QCOMPARE(&cv.Mark(7), &cv.Marks[1][3]);
            }
    }

    void coloursOfPanels()
    {
        for (int by = 1; by <= 3; ++by)
            for (int bx = 1; bx <= 3; ++bx)
                QCOMPARE(Form1->BlockPanels[bx][by].Color(), ColorFromBGR(FormOpt->TrennColor1Value));
    }

    void creatingTwiceKeepsTheControls()
    {
        cell(5, 5).DigitLabel.SetCaption("7");
        FormFeld->CreateBoardControls();
        QCOMPARE(cell(5, 5).DigitLabel.Caption(), QString("7"));
        QVERIFY(FormFeld->BoardControlsCreated());
    }

    // ---- drawing one cell -------------------------------------------------------------

    void drawCell_data()
    {
        QTest::addColumn<bool>("keyboard");
        QTest::addColumn<bool>("hovered");
        QTest::addColumn<bool>("editor");
        QTest::addColumn<bool>("showMarks");
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("labelVisible");
        QTest::addColumn<bool>("separatorColour");
        QTest::newRow("plain, free mark") << false << false << false << true << 0 << false << false;
        QTest::newRow("plain, set mark") << false << false << false << true << 1 << true << false;
        QTest::newRow("keyboard on") << true << false << false << true << 0 << true << true;
        QTest::newRow("hovered") << false << true << false << true << 0 << true << true;
        QTest::newRow("editor") << false << false << true << true << 0 << true << true;
        QTest::newRow("marks hidden, keyboard on") << true << false << false << false << 2 << false << true;
        QTest::newRow("marks hidden, set mark") << false << false << false << false << 2 << false << false;
    }
    void drawCell()
    {
        QFETCH(bool, keyboard);
        QFETCH(bool, hovered);
        QFETCH(bool, editor);
        QFETCH(bool, showMarks);
        QFETCH(int, state);
        QFETCH(bool, labelVisible);
        QFETCH(bool, separatorColour);
        FormOpt->TrennColor2Value = 0x102030;
        FormOpt->tastaturM->Tag = keyboard ? 1 : 0;
        Form1->EditorMode = editor;
        Form1->HoverTag = hovered ? 10 * 4 + 3 : 10 * 9 + 9;
        for (int d = 1; d <= 9; ++d)
            cell(3, 4).Mark(d).State = state;
        DrawCell(3, 4, showMarks);
        const TCellView &cv = cell(3, 4);
        QCOMPARE(cv.Background.Visible(), !showMarks);
        for (int d = 1; d <= 9; ++d) {
            QCOMPARE(cv.Mark(d).Image.Visible(), showMarks);
            QCOMPARE(cv.Mark(d).Label.Visible(), labelVisible);
        }
        QCOMPARE(cv.Panel.Color(), separatorColour ? ColorFromBGR(0x102030) : QColor(Qt::white));
        FormOpt->TrennColor2Value = 0xFFFFFF;
        Form1->EditorMode = false;
    }

    void keyboardShowsEveryLabel()
    {
        FormOpt->TrennColor2Value = 0x445566;
        FormOpt->tastaturM->Tag = 1;
        Form1->HoverTag = 55;
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x)
                DrawCell(x, y, true);
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x) {
                QCOMPARE(cell(x, y).Panel.Color(), ColorFromBGR(0x445566));
                for (int d = 1; d <= 9; ++d)
                    QVERIFY(cell(x, y).Mark(d).Label.Visible());
            }
        FormOpt->TrennColor2Value = 0xFFFFFF;
    }

    void bingoFieldShowsMustPicture_data()
    {
        QTest::addColumn<bool>("drawNumbers");
        QTest::addColumn<bool>("bingoMark");
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("must");
        QTest::newRow("field draw, free mark") << false << true << 0 << true;
        QTest::newRow("number draw") << true << true << 0 << false;
        QTest::newRow("field draw, set mark") << false << true << 1 << false;
        QTest::newRow("cell not offered") << false << false << 0 << false;
    }
    void bingoFieldShowsMustPicture()
    {
        QFETCH(bool, drawNumbers);
        QFETCH(bool, bingoMark);
        QFETCH(int, state);
        QFETCH(bool, must);
        FormBingo->DrawNumbers = drawNumbers;
        cell(6, 2).BingoMark = bingoMark ? 1 : 0;
        cell(6, 2).Mark(4).State = state;
        FormFeld->RefreshMarks();
        DrawCell(6, 2, true);
        QCOMPARE(cell(6, 2).Mark(4).Image.Shows(FormOpt->pic_muss), must);
    }

    // ---- marks -------------------------------------------------------------------------

    void refreshRedrawsOnlyChangedMarks()
    {
        cell(2, 3).Mark(5).State = 1;
        cell(8, 9).Mark(9).State = 2;
        FormFeld->RefreshMarks();
        QCOMPARE(Form1->brett->DirtyCellCount(), 2);
        QVERIFY(Form1->brett->IsCellDirty(2, 3));
        QVERIFY(Form1->brett->IsCellDirty(8, 9));
        const TMarkEntry &a = cell(2, 3).Mark(5);
        QVERIFY(a.Image.Shows(FormOpt->org1Merker));
        QCOMPARE(a.Label.Caption(), QString("5"));
        QCOMPARE(a.Label.FontSize(), 14);
        QCOMPARE(a.ShownState, 1);
        QVERIFY(cell(8, 9).Mark(9).Image.Shows(FormOpt->org2Merker));

        // Nothing changed: nothing is touched, even a picture set by hand.
        Form1->brett->ClearDirty();
        cell(4, 4).Mark(1).Image.SetPicture(FormOpt->orgError);
        Form1->brett->ClearDirty();
        FormFeld->RefreshMarks();
        QCOMPARE(Form1->brett->DirtyCellCount(), 0);
        QVERIFY(cell(4, 4).Mark(1).Image.Shows(FormOpt->orgError));

        // Back to no mark: small font, empty picture, the caption kept.
        cell(2, 3).Mark(5).State = 0;
        FormFeld->RefreshMarks();
        QVERIFY(a.Image.Shows(FormOpt->orgNoMerker));
        QCOMPARE(a.Label.FontSize(), 8);
        QCOMPARE(a.Label.Caption(), QString("5"));
    }

    void markCaptionsUseTheSymbols()
    {
        Form1->SymbolSet = "ABCDEFGHI";
        cell(1, 1).Mark(3).State = 2;
        FormFeld->RefreshMarks();
        QCOMPARE(cell(1, 1).Mark(3).Label.Caption(), QString("C"));
        QCOMPARE(SymbolOfDigit(9), QString("I"));
        Form1->SymbolSet.clear();
        QCOMPARE(SymbolOfDigit(9), QString("9"));
        QCOMPARE(SymbolOfDigit(0), QString());
    }

    void digitSizeOneEmptiesFreeMarks()
    {
        cell(7, 7).Mark(2).State = 1;
        FormFeld->RefreshMarks();
        FormOpt->SizeZahlen->setValue(1);
        cell(7, 7).Mark(2).State = 0;
        FormFeld->RefreshMarks();
        QCOMPARE(cell(7, 7).Mark(2).Label.Caption(), QString());
        QCOMPARE(cell(7, 7).Mark(2).Label.FontSize(), 1);
    }

    void clearAllMarkStates()
    {
        cell(3, 3).Mark(3).State = 2;
        cell(9, 1).Mark(8).State = 1;
        FormFeld->ClearAllMarkStates();
        for (int y = 1; y <= 9; ++y)
            for (int x = 1; x <= 9; ++x)
                for (int d = 1; d <= 9; ++d)
                    QCOMPARE(cell(x, y).Mark(d).State, 0);
        // Drawing follows by the refresh.
        QCOMPARE(cell(3, 3).Mark(3).ShownState, 0);
    }

    void showMarkImage_data()
    {
        QTest::addColumn<int>("ticks");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("picture");
        QTest::newRow("odd, no mark") << 5 << 0 << "orgNoMerker";
        QTest::newRow("odd, colour 1") << 3 << 1 << "org1Merker";
        QTest::newRow("odd, colour 2") << 1 << 2 << "org2Merker";
        QTest::newRow("even") << 4 << 1 << "orgError";
        QTest::newRow("zero") << 0 << 2 << "orgError";
    }
    void showMarkImage()
    {
        QFETCH(int, ticks);
        QFETCH(int, state);
        QFETCH(QString, picture);
        cell(5, 6).BlinkTicks = ticks;
        cell(5, 6).Mark(8).State = state;
        ShowMarkImage(5, 6, 8);
        QVERIFY(cell(5, 6).Mark(8).Image.Shows(FormOpt->BankPicture(picture)));
        cell(5, 6).BlinkTicks = 0;
    }

    void showMarkImageIgnoresOtherDigits()
    {
        ShowMarkImage(5, 6, 0);
        ShowMarkImage(5, 6, 12);
        ShowMarkImage(5, 6, -3);
        ShowMarkImage(0, 6, 3);
        for (int d = 1; d <= 9; ++d)
            QVERIFY(cell(5, 6).Mark(d).Image.Shows(FormOpt->orgNoMerker));
    }

    // ---- the animation -------------------------------------------------------------------

    // After the blink the digit takes the colour of its cell result again:
    // black, or red for the wrong digit that put its player out.
    void blinkSequence_data()
    {
        QTest::addColumn<int>("resultColour");
        QTest::addColumn<QColor>("rest");
        QTest::newRow("black result") << 0 << QColor(Qt::black);
        QTest::newRow("red result") << 255 << QColor(Qt::red);
    }
    void blinkSequence()
    {
        QFETCH(int, resultColour);
        QFETCH(QColor, rest);
        Form1->GameRunning = true;
        TCellView &cv = cell(4, 8);
        cv.DigitColor = resultColour;
        const auto restore = qScopeGuard([&] { cv.DigitColor = 0; });
        cv.Mark(5).State = 1;
        FormFeld->RefreshMarks();
        cv.BlinkTicks = 6;
        cv.DigitLabel.SetCaption("5");
        const char *expected[] = {"orgError", "org1Merker", "orgError", "org1Merker", "orgError", "org1Merker"};
        for (int tick = 0; tick < 6; ++tick) {
            Form1->BlinkenTimer();
            QVERIFY2(cv.Mark(5).Image.Shows(FormOpt->BankPicture(expected[tick])), expected[tick]);
            QCOMPARE(cv.BlinkTicks, 5 - tick);
            // The digit takes the cell's colour while it blinks.
            QCOMPARE(cv.DigitLabel.FontColor(), cv.Panel.Color());
        }
        cv.DigitLabel.SetFontColor(Qt::blue);
        Form1->BlinkenTimer();
        QCOMPARE(cv.BlinkTicks, 0);
        QVERIFY(cv.Mark(5).Image.Shows(FormOpt->org1Merker));
        QCOMPARE(cv.DigitLabel.FontColor(), rest);
        QCOMPARE(cv.DigitLabel.Caption(), QString("5"));
        // And keeps it at rest.
        Form1->BlinkenTimer();
        QCOMPARE(cv.DigitLabel.FontColor(), rest);
    }

    void blinkWithoutDigitIsHarmless_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::newRow("letter") << "E";
        QTest::newRow("too big") << "12";
        QTest::newRow("empty") << "";
    }
    void blinkWithoutDigitIsHarmless()
    {
        QFETCH(QString, caption);
        cell(1, 9).BlinkTicks = 2;
        cell(1, 9).DigitLabel.SetCaption(caption);
        Form1->BlinkenTimer();
        Form1->BlinkenTimer();
        QCOMPARE(cell(1, 9).BlinkTicks, 0);
        for (int d = 1; d <= 9; ++d)
            QVERIFY(cell(1, 9).Mark(d).Image.Shows(FormOpt->orgNoMerker));
    }

    void highlightSequence_data()
    {
        QTest::addColumn<bool>("running");
        QTest::addColumn<int>("foundColoured");
        QTest::addColumn<QString>("pictures"); // T = tile, F = orgFest, one per tick
        QTest::newRow("network find, coloured") << true << 1 << "TFTFTFT";
        QTest::newRow("network find, plain") << true << 0 << "TFTFTFF";
        QTest::newRow("single find, coloured") << true << 1 << "T";
        QTest::newRow("no game, coloured") << false << 1 << "T";
        QTest::newRow("no game, plain") << false << 0 << "F";
    }
    void highlightSequence()
    {
        QFETCH(bool, running);
        QFETCH(int, foundColoured);
        QFETCH(QString, pictures);
        Form1->GameRunning = running;
        FormOpt->FabM->Tag = foundColoured;
        Form1->Players[3].Color = 0x3366CC;
        TCellView &cv = cell(9, 5);
        cv.Owner = 3;
        cv.BlinkTicks = 4;
        cv.HighlightTicks = QString(QTest::currentDataTag()).startsWith("single") ? 1 : 7;
        for (int tick = 0; tick < pictures.size(); ++tick) {
            Form1->BlinkenTimer();
            QCOMPARE(cv.BlinkTicks, 0);
            if (pictures[tick] == 'T') {
                QCOMPARE(cv.Background.Kind(), TBoardImage::TKind::Tile);
                QCOMPARE(cv.Background.Colour(), 0x3366CC);
            } else {
                QVERIFY(cv.Background.Shows(FormOpt->orgFest));
            }
        }
        QCOMPARE(cv.HighlightTicks, 0);
        // At rest the cell keeps what the highlight left.
        const TBoardImage::TKind kind = cv.Background.Kind();
        Form1->BlinkenTimer();
        QCOMPARE(cv.Background.Kind(), kind);
    }

    void highlightOfOwnerZeroIsTraced()
    {
        Trace->LogBox->clear();
        Form1->GameRunning = true;
        cell(2, 6).Owner = 0;
        cell(2, 6).HighlightTicks = 3; // even after the step: the owner's colour
        cell(2, 6).Background.SetFill(0x00FF00);
        Form1->BlinkenTimer();
        QVERIFY(Trace->LogBox->Items().join('\n').contains("Spieler = 0 sollte nicht vorkommen"));
        QCOMPARE(cell(2, 6).Background.Kind(), TBoardImage::TKind::Fill);
    }

    void highlightOfUnknownOwnerShowsPlain()
    {
        Form1->GameRunning = true;
        cell(3, 6).Owner = 12;
        cell(3, 6).HighlightTicks = 1;
        Form1->BlinkenTimer();
        QVERIFY(cell(3, 6).Background.Shows(FormOpt->orgFest));
    }

    void restEmptiesClearedCells()
    {
        cell(6, 6).Owner = 0;
        cell(6, 6).DigitLabel.SetCaption("3");
        cell(6, 7).Owner = 2;
        cell(6, 7).DigitLabel.SetCaption("4");
        Form1->BlinkenTimer();
        QCOMPARE(cell(6, 6).DigitLabel.Caption(), QString());
        QCOMPARE(cell(6, 7).DigitLabel.Caption(), QString("4"));
    }

    void editorOnlyTracksTheHover()
    {
        Form1->EditorMode = true;
        cell(1, 2).BlinkTicks = 4;
        Form1->BlinkenTimer();
        QCOMPARE(cell(1, 2).BlinkTicks, 4);
        Form1->EditorMode = false;
        cell(1, 2).BlinkTicks = 0;
    }

    void chatColourReturns()
    {
        QPalette pal = Form1->ChatBox->palette();
        pal.setColor(QPalette::Text, Qt::red);
        Form1->ChatBox->setPalette(pal);
        Form1->ChatBox->Tag = 2;
        Form1->BlinkenTimer();
        Form1->BlinkenTimer();
        QCOMPARE(Form1->ChatBox->Tag, 0);
        QCOMPARE(Form1->ChatBox->palette().color(QPalette::Text), QColor(Qt::red));
        Form1->BlinkenTimer();
        QCOMPARE(Form1->ChatBox->palette().color(QPalette::Text),
                 QApplication::palette(Form1->ChatBox).color(QPalette::Text));
    }

    void narrowBoardIsLaidOutAgain()
    {
        Form1->brett->setGeometry(0, 0, 150, 150);
        Form1->BlinkenTimer();
        QVERIFY(Form1->brett->width() >= 200);
    }

    void resetChangedCells()
    {
        cell(2, 2).Owner = 0;
        cell(2, 2).ShowMarks = 1;
        cell(5, 2).Owner = 4;
        cell(5, 2).ShowMarks = 1;
        Form1->brett->hide();
        ResetChangedCells();
        QVERIFY(!Form1->brett->isHidden());
        QCOMPARE(cell(2, 2).Owner, -1);
        QCOMPARE(int(cell(2, 2).ShowMarks), 0);
        QVERIFY(cell(2, 2).Background.Visible());
        QVERIFY(!cell(2, 2).Mark(1).Image.Visible());
        QCOMPARE(cell(5, 2).Owner, 4);
        QCOMPARE(int(cell(5, 2).ShowMarks), 1);
    }

    // ---- hit testing and the handlers' controls -------------------------------------------

    void hitTesting()
    {
        TBoardWidget *b = Form1->brett;
        const TCellView &cv = cell(7, 3);
        const QRect panel = cv.Panel.Bounds();
        const QPoint o = panel.topLeft();

        // Marks shown, labels hidden: the mark's picture.
        THit hit = b->HitTest(o + centreOf(cv.Mark(4).Image.Bounds()));
        QCOMPARE(int(hit.Kind), int(THitKind::MarkImage));
        QCOMPARE(hit.X, 7);
        QCOMPARE(hit.Y, 3);
        QCOMPARE(hit.Digit, 4);
        QObject *control = b->ControlFor(hit);
        QCOMPARE(control->metaObject()->className(), "TImage");
        QCOMPARE(GetControlTag(control), 37);
        QCOMPARE(ControlHint(control), QString("4"));
        QCOMPARE(static_cast<QWidget *>(control)->width(), cv.Mark(4).Image.Width());
        QCOMPARE(b->HitOf(control).Digit, 4);

        // A visible label lies over its picture.
        FormOpt->tastaturM->Tag = 1;
        DrawCell(7, 3, true);
        hit = b->HitTest(o + centreOf(cv.Mark(9).Label.Bounds()));
        QCOMPARE(int(hit.Kind), int(THitKind::MarkLabel));
        control = b->ControlFor(hit);
        QCOMPARE(control->metaObject()->className(), "TLabel");
        QCOMPARE(GetControlTag(control), 37);
        QCOMPARE(ControlHint(control), QString("9"));

        // The gap between two marks is the digit label under them.
        hit = b->HitTest(o + QPoint(cv.Mark(1).Image.Width(), 2));
        QCOMPARE(int(hit.Kind), int(THitKind::DigitLabel));
        control = b->ControlFor(hit);
        QCOMPARE(GetControlTag(control), 137);
        QCOMPARE(ControlHint(control), QString("-1"));

        // Marks hidden: the digit label over the picture.
        DrawCell(7, 3, false);
        hit = b->HitTest(o + QPoint(3, 3));
        QCOMPARE(int(hit.Kind), int(THitKind::DigitLabel));
        // Between the cells: the block panel, no control of a cell.
        hit = b->HitTest(panel.topLeft() - QPoint(1, 1));
        QVERIFY(hit.Kind == THitKind::None || hit.Kind == THitKind::Panel);
        QVERIFY(!b->ControlFor(hit));
        QCOMPARE(GetControlTag(b->ControlFor(hit)), -1);
        // Outside the board.
        QCOMPARE(int(b->HitTest(QPoint(1, 1)).Kind), int(THitKind::None));
    }

    void mouseReachesTheHandlers()
    {
        TBoardWidget *b = Form1->brett;
        const QRect mark = b->ControlRect({THitKind::MarkImage, 2, 5, 6});
        const QPoint at = centreOf(mark);

        sendMouse(QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
        QCOMPARE(int(b->LastDispatch.Event), int(TBoardWidget::TEventKind::Move));
        QCOMPARE(Form1->HoverTag, 52);

        sendMouse(QEvent::MouseButtonPress, at, Qt::RightButton, Qt::RightButton);
        QCOMPARE(int(b->LastDispatch.Event), int(TBoardWidget::TEventKind::Down));
        QCOMPARE(b->LastDispatch.Hit.Digit, 6);
        QCOMPARE(b->LastDispatch.Local, at - mark.topLeft());
        QCOMPARE(b->LastDispatch.Button, Qt::RightButton);

        // Dragged off: the release still goes to the pressed control, outside it.
        const QPoint away = mark.topLeft() + QPoint(-30, mark.height() + 40);
        sendMouse(QEvent::MouseMove, away, Qt::NoButton, Qt::RightButton);
        QCOMPARE(b->LastDispatch.Hit.Digit, 6);
        sendMouse(QEvent::MouseButtonRelease, away, Qt::RightButton, Qt::NoButton);
        QCOMPARE(int(b->LastDispatch.Event), int(TBoardWidget::TEventKind::Up));
        QCOMPARE(b->LastDispatch.Hit.X, 2);
        QCOMPARE(b->LastDispatch.Hit.Y, 5);
        QVERIFY(b->LastDispatch.Local.x() < 0);
        QVERIFY(b->LastDispatch.Local.y() > mark.height());

        // The cell's picture takes presses but neither moves nor releases.
        DrawCell(2, 5, false);
        const QRect digit = b->ControlRect({THitKind::DigitLabel, 2, 5, 0});
        sendMouse(QEvent::MouseButtonPress, centreOf(digit), Qt::LeftButton, Qt::LeftButton);
        QCOMPARE(int(b->LastDispatch.Hit.Kind), int(THitKind::DigitLabel));
        sendMouse(QEvent::MouseButtonRelease, centreOf(digit), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(int(b->LastDispatch.Event), int(TBoardWidget::TEventKind::Down));
    }

    void animationTracksTheControlUnderTheMouse()
    {
        TBoardWidget *b = Form1->brett;
        const QRect mark = b->ControlRect({THitKind::MarkImage, 8, 1, 2});
        Form1->HoverTag = 0;
        // The board's own move event follows the pointer; the animation draws it.
        sendMouse(QEvent::MouseMove, centreOf(mark), Qt::NoButton, Qt::NoButton);
        QCOMPARE(Form1->HoverTag, 18);
        Form1->BlinkenTimer();
        QCOMPARE(Form1->HoverTag, 18);
        // The hovered cell shows its mark labels.
        QVERIFY(cell(8, 1).Mark(2).Label.Visible());
        QVERIFY(!cell(8, 2).Mark(2).Label.Visible());
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(b, &leave);
        QCOMPARE(Form1->HoverTag, -1);
        Form1->BlinkenTimer();
        QCOMPARE(Form1->HoverTag, -1);
    }

    // ---- painting -------------------------------------------------------------------------

    void paintShowsTheRecords()
    {
        layoutAt(1020, 725);
        const TCellView &cv = cell(5, 5);
        DrawCell(5, 5, false);
        cell(5, 5).Background.SetFill(0x00FF00);
        cell(5, 5).DigitLabel.SetCaption(QString());
        cell(1, 1).Background.SetColorTile(0x0000FF);
        DrawCell(1, 1, false);
        cell(1, 1).DigitLabel.SetCaption(QString());
        const QImage img = renderBoard();
        QCOMPARE(Form1->brett->DirtyCellCount(), 0);
        // A plain fill.
        QCOMPARE(QColor(img.pixel(centreOf(cv.Panel.Bounds()))), QColor(0, 255, 0));
        // The tile is the options' bevelled tile at the cell's size.
        TImage tile;
        tile.resize(cell(1, 1).Panel.Bounds().size());
        PaintColorTileFresh(&tile, 0x0000FF);
        const QImage want = tile.Picture().toImage();
        const QPoint o = cell(1, 1).Panel.Bounds().topLeft();
        for (const QPoint &p : {QPoint(0, 0), QPoint(1, 5), QPoint(want.width() - 1, want.height() - 1),
                                QPoint(want.width() / 2, want.height() / 2)})
            QCOMPARE(QColor(img.pixel(o + p)), QColor(want.pixel(p)));
        // The gap between two blocks shows the block colour, outside the
        // board the field colour.
        const QRect b1 = Form1->BlockPanels[1][1].Bounds();
        const QRect c3 = cell(3, 1).Panel.Bounds();
        QCOMPARE(QColor(img.pixel(c3.left() - 1, c3.top() + 5)), ColorFromBGR(FormOpt->TrennColor1Value));
        QCOMPARE(QColor(img.pixel(b1.left() - 2, b1.top() + 5)), Form1->brett->Color());
    }

    void paintDrawsMarksAndDigits()
    {
        // A dark mark picture so the label's black text does not stand out.
        const QRect r = cell(4, 4).Panel.Bounds();
        DrawCell(4, 4, false);
        cell(4, 4).Background.SetFill(0xFFFFFF);
        cell(4, 4).DigitLabel.SetCaption("8");
        QImage img = renderBoard();
        int dark = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                dark += qGray(img.pixel(x, y)) < 100 ? 1 : 0;
        QVERIFY2(dark > 20, "the digit is drawn");

        cell(4, 4).DigitLabel.SetCaption(QString());
        DrawCell(4, 4, true);
        cell(4, 4).Mark(1).Image.SetFill(0x0000FF);
        img = renderBoard();
        const QRect m = cell(4, 4).Mark(1).Image.Bounds().translated(r.topLeft());
        QCOMPARE(QColor(img.pixel(centreOf(m))), QColor(255, 0, 0));
        // The pixel between two marks is the cell's panel colour.
        QCOMPARE(QColor(img.pixel(m.right() + 1, m.top() + 2)), cell(4, 4).Panel.Color());
    }

    // ---- button face ------------------------------------------------------------------------

    void buttonFace()
    {
        FormOpt->MenueColorValue = 0x005EBB;
        FormOpt->FeldColorValue = 0x409FFF;
        TImage image;
        image.setGeometry(10, 20, 120, 30);
        TLabel label;
        FormFeld->PaintButtonFace(&image, &label);
        QCOMPARE(label.geometry(), image.geometry());
        const QImage img = image.Picture().toImage();
        QCOMPARE(img.size(), QSize(120, 30));
        const QColor menu = ColorFromBGR(0x005EBB);
        const QColor feld = ColorFromBGR(0x409FFF);
        QCOMPARE(QColor(img.pixel(0, 0)), feld);
        QCOMPARE(QColor(img.pixel(1, 1)), feld);
        QCOMPARE(QColor(img.pixel(119, 0)), feld);
        QCOMPARE(QColor(img.pixel(118, 1)), feld);
        QCOMPARE(QColor(img.pixel(4, 4)), menu);
        QCOMPARE(QColor(img.pixel(115, 4)), menu);
        QCOMPARE(QColor(img.pixel(11, 0)), menu);
        QCOMPARE(QColor(img.pixel(0, 12)), menu);
        QCOMPARE(QColor(img.pixel(60, 0)), menu);
        QCOMPARE(QColor(img.pixel(0, 29)), menu);
        QCOMPARE(QColor(img.pixel(119, 29)), menu);
    }
};

QTEST_MAIN(TstBoard)
#include "tst_board.moc"
