#include "board/UWindowFit.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cstdint>

namespace {
// Any window larger than this has come from a broken value.
constexpr int kMaxWindowExtent = 16384;

int64_t overlap(int64_t l1, int64_t len1, int64_t l2, int64_t len2)
{
    const int64_t lo = std::max(l1, l2);
    const int64_t hi = std::min(l1 + len1, l2 + len2);
    return hi > lo ? hi - lo : 0;
}

int fitExtent(int wanted, int fallback, int minimum, int room)
{
    int v = wanted > 0 ? wanted : fallback;
    v = std::clamp(v, minimum, kMaxWindowExtent);
    if (room > 0)
        v = std::min(v, room);
    return v;
}

int fitStart(int64_t wanted, int64_t extent, int64_t areaStart, int64_t areaLength)
{
    const int64_t last = areaStart + std::max<int64_t>(areaLength - extent, 0);
    return int(std::clamp(wanted, areaStart, last));
}
} // namespace

QRect FitWindowToScreens(int left, int top, int width, int height, const QList<QRect> &areas,
                         QSize fallback)
{
    if (areas.isEmpty()) {
        const int w = fitExtent(width, fallback.width(), kMinWindowWidth, 0);
        const int h = fitExtent(height, fallback.height(), kMinWindowHeight, 0);
        return QRect(std::clamp(left, -kMaxWindowExtent, kMaxWindowExtent),
                     std::clamp(top, -kMaxWindowExtent, kMaxWindowExtent), w, h);
    }

    const int64_t wantW = std::clamp<int64_t>(width > 0 ? width : fallback.width(), 1, kMaxWindowExtent);
    const int64_t wantH = std::clamp<int64_t>(height > 0 ? height : fallback.height(), 1, kMaxWindowExtent);
    int best = 0;
    int64_t bestArea = -1;
    for (int i = 0; i < areas.size(); ++i) {
        const QRect &a = areas[i];
        const int64_t o = overlap(left, wantW, a.left(), a.width()) * overlap(top, wantH, a.top(), a.height());
        if (o > bestArea) {
            bestArea = o;
            best = i;
        }
    }
    const QRect &area = areas[best];
    const int w = fitExtent(width, fallback.width(), std::min(kMinWindowWidth, area.width()), area.width());
    const int h = fitExtent(height, fallback.height(), std::min(kMinWindowHeight, area.height()), area.height());
    return QRect(fitStart(left, w, area.left(), area.width()), fitStart(top, h, area.top(), area.height()), w, h);
}

QRect FitWindowToScreens(int left, int top, int width, int height, QSize fallback)
{
    QList<QRect> areas;
    if (const QScreen *primary = QGuiApplication::primaryScreen())
        areas << primary->availableGeometry();
    for (const QScreen *s : QGuiApplication::screens())
        if (s != QGuiApplication::primaryScreen())
            areas << s->availableGeometry();
    return FitWindowToScreens(left, top, width, height, areas, fallback);
}
