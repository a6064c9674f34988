// Board input: mouse presses and releases on the board's controls.
#include "core/UQuadrivo.h"

void TForm1::MouseDown(QObject *, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}

void TForm1::MouseUp(QObject *, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
