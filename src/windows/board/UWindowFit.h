#pragma once
// Places a stored window rectangle on the screens that exist now: a position
// from a monitor that is gone, a size larger than any screen or a value that
// would overflow never reaches the window.

#include <QList>
#include <QRect>
#include <QSize>

// The smallest window the main window is restored to.
inline constexpr int kMinWindowWidth = 200;
inline constexpr int kMinWindowHeight = 150;

// The rectangle to give a window that was stored at left/top with the size
// width x height. `areas` are the usable areas of the screens, the primary
// first. A size of 0 or less takes `fallback`; every size is raised to the
// minimum and cut to the screen the window goes to. A window that lies
// wholly on one screen keeps its place; otherwise it goes onto the screen it
// overlaps most (the primary when it overlaps none), moved no further than
// needed. With no screen at all only the size is made sane.
QRect FitWindowToScreens(int left, int top, int width, int height, const QList<QRect> &areas,
                         QSize fallback);

// The same for the screens of the running application.
QRect FitWindowToScreens(int left, int top, int width, int height, QSize fallback);
