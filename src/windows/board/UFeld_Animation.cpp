// The 300 ms animation step of the board: hover tracking, the find highlight
// in the finder's colour and the blinking pencil mark of another player's entry.
#include "board/UFeld.h"

#include "board/ULog.h"
#include "board/UQuadrivo.h"
#include "screens/UOptionen.h"
#include "settings/USonstiges.h"

#include <QApplication>

namespace {
// The highlight step of one cell (its HighlightTicks is above 0).
void highlightStep(TCellView &cv)
{
    cv.BlinkTicks = 0;
    cv.HighlightTicks = Form1->GameRunning ? cv.HighlightTicks - 1 : 0;
    const int shownOwner = cv.HighlightTicks == 0 && FormOpt->FabM->Tag == 0 ? -1 : cv.Owner;
    if (cv.HighlightTicks % 2 != 0 || shownOwner == -1) {
        cv.Background.SetPicture(FormOpt->orgFest);
    } else if (shownOwner == 0) {
        TraceLine(QStringLiteral("Spieler = 0 sollte nicht vorkommen"));
    } else if (shownOwner >= 1 && shownOwner <= 8) {
        cv.Background.SetColorTile(Form1->Players[shownOwner].Color);
    } else {
        // An owner that names no player slot (a damaged result) shows plain.
        cv.Background.SetPicture(FormOpt->orgFest);
    }
}

// The digit a blink shows: the decimal text its starter put into the caption.
int blinkDigit(const TBoardLabel &label)
{
    bool ok = false;
    const int d = label.Caption().trimmed().toInt(&ok);
    return ok ? d : 0;
}
} // namespace

void TForm1::BlinkenTimer()
{
    // Hovering is followed by the board's own mouse events, not polled here.
    if (EditorMode || !FormOpt)
        return;
    if (brett->width() < 200 || width() - ToolPanel->width() < 200)
        FormPaint();

    if (ChatBox->Tag > 0) {
        --ChatBox->Tag;
    } else {
        const QColor normal = QApplication::palette(ChatBox).color(QPalette::Text);
        if (ChatBox->palette().color(QPalette::Text) != normal) {
            QPalette pal = ChatBox->palette();
            pal.setColor(QPalette::Text, normal);
            ChatBox->setPalette(pal);
        }
    }

    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 9; ++x) {
            TCellView &cv = Cells[x][y];
            if (cv.HighlightTicks > 0)
                highlightStep(cv);
            if (cv.BlinkTicks > 0) {
                ShowMarkImage(x, y, blinkDigit(cv.DigitLabel));
                DrawCell(x, y, cv.ShowMarks != 0);
                // The digit takes the colour of the cell under it while the mark blinks.
                cv.DigitLabel.SetFontColor(cv.Panel.Color());
                --cv.BlinkTicks;
            } else {
                if (cv.Owner == 0)
                    cv.DigitLabel.SetCaption(QString());
                // Digits at rest keep the colour of their result: black, or
                // red for the wrong digit that put its player out.
                cv.DigitLabel.SetFontColor(ColorFromBGR(cv.DigitColor));
                if (cv.HighlightTicks == 0)
                    DrawCell(x, y, cv.ShowMarks != 0);
            }
        }
}
