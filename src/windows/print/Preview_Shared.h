// What the print preview's files share: the screen resolution that page
// units are converted by.
#pragma once

#include <QGuiApplication>
#include <QScreen>

namespace PreviewShared {
inline int screenDpi()
{
    const QScreen *s = QGuiApplication::primaryScreen();
    const int dpi = s ? qRound(s->logicalDotsPerInchY()) : 96;
    return dpi > 0 ? dpi : 96;
}
} // namespace PreviewShared
