// Board input: mouse presses and releases on the board's controls, pencil
// marks with their limit, and the keys the main window previews.
#include "board/UQuadrivo.h"

#include "board/UQuadrivo_Input.h"
#include "net/UNETZ.h"
#include "net/UWebForm.h"
#include "screens/UGameOptionen.h"
#include "screens/UOptionen.h"
#include "settings/USonstiges.h"
#include "solver/USolver.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

// ---- rules without a window ----------------------------------------------------

int NextMarkState(int state, int colour, int marksInCell, int limit)
{
    const int other = colour == 1 ? 2 : 1;
    if (state == 0)
        return marksInCell < limit ? colour : 0;
    if (state == colour)
        return 0;
    if (state == other)
        return colour;
    return state;
}

bool KeypadBlock(int digit, int &blockColumn, int &blockRow)
{
    if (digit < 1 || digit > 9)
        return false;
    blockColumn = (digit - 1) % 3 + 1;
    blockRow = 3 - (digit - 1) / 3;
    return true;
}

// ---- calls into windows that do not offer them yet ----------------------------

namespace {
// The internet client's entry of a digit.
void sendInternetPress(int x, int y, int digit)
{
    if (WEBForm)
        WEBForm->SendPress(x, y, digit);
}

// Playing on the board takes the keys back from the chat edit, so that the
// keypad clears marks again.
void leaveChatEdit(TForm1 *f)
{
    if (f->Edit1 && f->Edit1->hasFocus())
        f->Edit1->clearFocus();
}

int countMarks(const TCellView &cv)
{
    int n = 0;
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 3; ++c)
            if (cv.Marks[c][r].State != 0)
                ++n;
    return n;
}

// A press or release counts only while the pointer lies on the control, so
// moving away before letting go cancels it.
bool insideControl(const QObject *sender, int x, int y)
{
    const auto *w = qobject_cast<const QWidget *>(sender);
    return w && x >= 0 && y >= 0 && x <= w->width() && y <= w->height();
}

// The cell a board control's Tag names: marks carry 10 * row + column, the
// cell's picture and digit 100 more.
bool cellOfTag(int tag, int &x, int &y)
{
    if (tag > 100)
        tag -= 100;
    x = tag % 10;
    y = tag / 10;
    return IsBoardIndex(x) && IsBoardIndex(y);
}

// The digit a mark control's hint holds.
int markDigit(const QObject *control)
{
    bool ok = false;
    const int d = ControlHint(control).toInt(&ok);
    return ok && d >= 1 && d <= 9 ? d : 0;
}

void clearMarksOfBlock(TForm1 *f, int bx, int by)
{
    for (int y = 3 * by - 2; y <= 3 * by; ++y)
        for (int x = 3 * bx - 2; x <= 3 * bx; ++x)
            for (int r = 1; r <= 3; ++r)
                for (int c = 1; c <= 3; ++c)
                    f->Cells[x][y].Marks[c][r].State = 0;
}
} // namespace

// ---- the main window ---------------------------------------------------------------

void TForm1::MouseUp(QObject *sender, Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y)
{
    leaveChatEdit(this);
    if (!GameRunning || EditorMode || IsOwnPlayerGameOver())
        return;
    if (FormSolver && FormSolver->isVisible())
        FormSolver->hide();
    if (!insideControl(sender, x, y))
        return;
    const int tag = GetControlTag(sender);
    int cx = 0, cy = 0;
    const int d = markDigit(sender);
    if (tag < 11 || tag > 99 || !cellOfTag(tag, cx, cy) || d == 0)
        return;
    TCellView &cv = Cells[cx][cy];
    const bool web = WEBForm && WEBForm->LoggedIn;
    const int limit = FormGO ? FormGO->Values().MaxMarks : 0;

    if (button == Qt::LeftButton) {
        // The board changes only when the judged result comes back.
        if (web)
            sendInternetPress(cx, cy, d);
        else if (NETZ)
            NETZ->EnterNumber(cx, cy, d);
    } else if (button == Qt::RightButton || button == Qt::MiddleButton) {
        TMarkEntry &m = cv.Mark(d);
        m.State = NextMarkState(m.State, button == Qt::RightButton ? 1 : 2, countMarks(cv), limit);
    }

    const int me = NETZ ? NETZ->MyPlayerNo : 0;
    if (!web && me >= 1 && me <= 8) {
        TPlayerRecord &own = Players[me];
        own.UsedMarks = std::max(countMarks(cv), own.UsedMarks);
        if (own.UsedMarks != own.SentUsedMarks) {
            NETZ->SendUsedMarks(own.UsedMarks);
            own.SentUsedMarks = own.UsedMarks;
        }
    }
    if (FormFeld)
        FormFeld->RefreshMarks();
}

void TForm1::MouseDown(QObject *sender, Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y)
{
    leaveChatEdit(this);
    if (!insideControl(sender, x, y))
        return;
    const int tag = GetControlTag(sender);
    int cx = 0, cy = 0;
    if (tag < 11 || !cellOfTag(tag, cx, cy))
        return;
    TCellView &cv = Cells[cx][cy];

    if (EditorMode) {
        TGridEntry &e = Boards[0][cx][cy];
        if (tag >= 101) {
            // Any button on the cell's digit empties it.
            cv.DigitLabel.SetCaption(QString());
            e.Value = 0;
            e.State = -1;
            DrawCell(cx, cy, true);
            cv.ShowMarks = 1;
            return;
        }
        const int d = markDigit(sender);
        if (d == 0 || (button != Qt::LeftButton && button != Qt::RightButton))
            return;
        cv.DigitLabel.SetCaption(QString::number(d));
        if (button == Qt::LeftButton) {
            cv.Background.SetPicture(FormOpt ? FormOpt->orgFest : nullptr);
            e.State = 0; // given
        } else {
            cv.Background.SetColorTile(0x00FF00);
            e.State = 1; // entered, not given
        }
        e.Value = d;
        DrawCell(cx, cy, false);
        cv.ShowMarks = 0;
        return;
    }

    // With own boards judged at the end, a press on an own entry takes it back.
    if (GameRunning && FormGO && FormGO->IsOwnBoard() && !FormGO->IsEvaluationImmediate() && button == Qt::LeftButton &&
        tag >= 101 && NETZ) {
        const int me = NETZ->MyPlayerNo;
        if (me < 1 || me > 8 || Boards[me][cx][cy].State == -1)
            return;
        NETZ->ClearCells(cx, cy);
    }
}

void TForm1::FormKeyDown(int key, Qt::KeyboardModifiers)
{
    if (key == Qt::Key_Escape) {
        if (SinglePlayerGame && BTC_Pause->isEnabled())
            BTC_PauseClick();
        showMinimized();
    } else if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        Button2Click();
    }
}

void TForm1::FormKeyUp(int key, Qt::KeyboardModifiers shift)
{
    if (!(shift & Qt::KeypadModifier) || key < Qt::Key_0 || key > Qt::Key_9)
        return;
    const int digit = key - Qt::Key_0;
    int bx = 0, by = 0;
    if (digit == 0) {
        for (by = 1; by <= 3; ++by)
            for (bx = 1; bx <= 3; ++bx)
                clearMarksOfBlock(this, bx, by);
    } else if (KeypadBlock(digit, bx, by)) {
        clearMarksOfBlock(this, bx, by);
    }
    // UsedMarks stays: it records the most marks a cell ever had.
    if (FormFeld)
        FormFeld->RefreshMarks();
}

void TForm1::keyPressEvent(QKeyEvent *e)
{
    FormKeyDown(e->key(), e->modifiers());
    QWidget::keyPressEvent(e);
}

void TForm1::keyReleaseEvent(QKeyEvent *e)
{
    // Digits typed into the chat are text, not a wish to clear marks.
    if (!qobject_cast<QLineEdit *>(QApplication::focusWidget()))
        FormKeyUp(e->key(), e->modifiers());
    QWidget::keyReleaseEvent(e);
}
