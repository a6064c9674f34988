#include "net/UNETZ_RateLimit.h"

TRateLimiter::TRateLimiter(int perWindow, int64_t window, int maxSources)
    : m_perWindow(perWindow), m_window(window), m_maxSources(maxSources)
{
}

void TRateLimiter::dropExpired(int64_t now)
{
    for (auto it = m_sources.begin(); it != m_sources.end();) {
        if (now - it.value().Since >= m_window || now < it.value().Since)
            it = m_sources.erase(it);
        else
            ++it;
    }
}

bool TRateLimiter::Allow(const QString &source, int64_t now)
{
    auto it = m_sources.find(source);
    if (it == m_sources.end()) {
        if (m_sources.size() >= m_maxSources) {
            // Sweeping costs the table's size, at most once per new source
            // and bounded by maxSources.
            dropExpired(now);
            if (m_sources.size() >= m_maxSources)
                return false;
        }
        it = m_sources.insert(source, TCount{now, 0});
    }
    TCount &c = it.value();
    // A new window starts once the old one is over (or the clock went back).
    if (now - c.Since >= m_window || now < c.Since) {
        c.Since = now;
        c.Count = 0;
    }
    if (c.Count >= m_perWindow)
        return false;
    ++c.Count;
    return true;
}
