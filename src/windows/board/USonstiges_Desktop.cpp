// The shared routines that need the desktop: opening a link or file with the
// desktop's program, the conversion to Qt colours and the fitting of a font.
#include "settings/USonstiges.h"

#include <QColor>
#include <QDesktopServices>
#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QUrl>
#include <functional>

namespace {
std::function<void(const QString &)> &shellOpenHandler()
{
    static std::function<void(const QString &)> handler;
    return handler;
}
} // namespace

void SetShellOpenHandler(std::function<void(const QString &)> handler)
{
    shellOpenHandler() = std::move(handler);
}

void ShellOpen(QWidget *, const QString &target)
{
    if (shellOpenHandler()) {
        shellOpenHandler()(target);
        return;
    }
    const QUrl url = QUrl::fromUserInput(target);
    QDesktopServices::openUrl(url);
}

QColor ColorFromBGR(int32_t colour)
{
    const uint32_t c = uint32_t(colour);
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

int32_t ColorToBGR(const QColor &c)
{
    return int32_t(c.red() | (c.green() << 8) | (c.blue() << 16));
}

QFont FontFittingWidth(QFont font, const QString &text, int width, int smallest)
{
    int pixelSize = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
    while (pixelSize > smallest && QFontMetrics(font).horizontalAdvance(text) > width) {
        if (font.stretch() == QFont::Unstretched || font.stretch() == QFont::AnyStretch) {
            font.setStretch(QFont::SemiCondensed);
            continue;
        }
        font.setPixelSize(--pixelSize);
    }
    return font;
}
