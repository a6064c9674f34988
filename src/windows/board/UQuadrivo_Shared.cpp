// The routines the windows share: the keypad translation, the Tag of a
// control, the help cursor, the control under the mouse and the placing of
// a set-up window over the main window.
#include "board/UQuadrivo.h"

#include <QCursor>
#include <QScreen>
#include <functional>

namespace {
std::function<QPoint()> &cursorSource()
{
    static std::function<QPoint()> source;
    return source;
}

QPoint cursorPos() { return cursorSource() ? cursorSource()() : QCursor::pos(); }

// A control of the window toolkit's class with this exact name, and its Tag.
bool controlTag(const QObject *control, int &tag)
{
    if (auto *c = qobject_cast<const TMouseControl *>(control)) {
        tag = c->Tag;
        return true;
    }
    if (auto *c = qobject_cast<const TBitBtn *>(control)) {
        tag = c->Tag;
        return true;
    }
    if (auto *c = qobject_cast<const TButton *>(control)) {
        tag = c->Tag;
        return true;
    }
    if (auto *c = qobject_cast<const TSpinEdit *>(control)) {
        tag = c->Tag;
        return true;
    }
    if (auto *c = qobject_cast<const TRadioButton *>(control)) {
        tag = c->Tag;
        return true;
    }
    return false;
}
} // namespace

// ---- shared routines -------------------------------------------------------

int TranslateKeypadKey(int key, bool onKeypad, bool numLockHeld)
{
    if (!onKeypad || numLockHeld)
        return key;
    switch (key) {
    case Qt::Key_Clear:
        return Qt::Key_5;
    case Qt::Key_PageUp:
        return Qt::Key_9;
    case Qt::Key_PageDown:
        return Qt::Key_3;
    case Qt::Key_End:
        return Qt::Key_1;
    case Qt::Key_Home:
        return Qt::Key_7;
    case Qt::Key_Left:
        return Qt::Key_4;
    case Qt::Key_Up:
        return Qt::Key_8;
    case Qt::Key_Right:
        return Qt::Key_6;
    case Qt::Key_Down:
        return Qt::Key_2;
    case Qt::Key_Insert:
        return Qt::Key_0;
    case Qt::Key_Delete:
        return Qt::Key_Period;
    default:
        return key;
    }
}

int GetControlTagOr(const QObject *control, int def)
{
    if (!control)
        return def;
    static const char *const classes[] = {"TBitBtn", "TImage",  "TPanel",    "TLabel",
                                          "TButton", "TWebBrowser", "TSpinEdit", "TRadioButton"};
    const char *name = control->metaObject()->className();
    for (const char *c : classes)
        if (qstrcmp(name, c) == 0) {
            int tag = def;
            return controlTag(control, tag) ? tag : def;
        }
    return def;
}

int GetControlTag(const QObject *control) { return GetControlTagOr(control, -1); }

void SetHelpCursor(QWidget *control, Qt::KeyboardModifiers shift)
{
    if (!Form1)
        return;
    Form1->HelpCursor = (shift & ~Qt::KeypadModifier) == Qt::ControlModifier ? -20 : 0;
    if (!control)
        return;
    static const char *const classes[] = {"TLabel",   "TPanel",    "TBoundLabel",  "TLabeledEdit", "TImage",
                                          "TTreeView", "TListView", "TSpinEdit", "TRadioButton"};
    const char *name = control->metaObject()->className();
    for (const char *c : classes)
        if (qstrcmp(name, c) == 0) {
            if (Form1->HelpCursor == -20)
                control->setCursor(Qt::WhatsThisCursor);
            else
                control->setCursor(Qt::ArrowCursor);
            return;
        }
}

void WireHelpCursor(TMouseControl *control, const std::function<void(QWidget *, Qt::KeyboardModifiers)> &handler)
{
    QObject::connect(control, &TMouseControl::MouseMove, control,
                     [control, handler](Qt::KeyboardModifiers shift, int, int) { handler(control, shift); });
    QObject::connect(
        control, &TMouseControl::MouseDown, control,
        [control, handler](Qt::MouseButton, Qt::KeyboardModifiers shift, int, int) { handler(control, shift); });
}

void SetCursorPosSource(std::function<QPoint()> source) { cursorSource() = std::move(source); }

void TrackHoveredControl(QObject *control) { TrackHoveredControlAt(control, cursorPos()); }

void TrackHoveredControlAt(QObject *control, QPoint p)
{
    if (!Form1)
        return;
    if (p.x() == Form1->LastMouseX && p.y() == Form1->LastMouseY)
        return;
    Form1->LastMouseX = p.x();
    Form1->LastMouseY = p.y();
    int tag = GetControlTag(control);
    if (tag > 100)
        tag -= 100;
    Form1->HoverTag = tag;
}

void PlaceOverMainWindow(QWidget *w, bool wholeWindow)
{
    if (!Form1 || !w)
        return;
    // Left and Top are the outer (frame) position; under a window manager the
    // client area starts further in. The vertical centring uses the client height.
    const QRect main = Form1->frameGeometry();
    const int clientH = Form1->height();
    const int toolW = Form1->ToolPanel && !wholeWindow ? Form1->ToolPanel->width() : 0;
    const int left = std::max(1, main.left() + (main.width() - toolW - w->width()) / 2);
    int top;
    if (w->height() < clientH) {
        top = main.top() + (clientH - w->height()) / 2;
    } else {
        top = main.top();
        const QScreen *screen = Form1->screen();
        if (screen && top + w->height() > screen->geometry().bottom())
            top = main.top() + main.height() - w->height(); // flush with its bottom edge
    }
    w->move(left, top);
}
