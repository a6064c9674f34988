#pragma once
// How often one source address may be answered: at most a few answers per
// window of time, for a bounded number of addresses at once. A flood of
// searches with forged sources then cannot turn this machine into a
// reflector, and the table stays small however many sources there are.

#include <QHash>
#include <QString>
#include <cstdint>

class TRateLimiter {
public:
    // perWindow answers per source within window (counter units); at most
    // maxSources sources are remembered.
    TRateLimiter(int perWindow, int64_t window, int maxSources);

    // True when the source may be answered now (and counts the answer).
    // While the table is full of sources still within their window, a new
    // source is not answered: it may ask again a moment later.
    bool Allow(const QString &source, int64_t now);
    int Size() const { return int(m_sources.size()); }
    void Clear() { m_sources.clear(); }

private:
    struct TCount {
        int64_t Since = 0;
        int Count = 0;
    };
    int m_perWindow;
    int64_t m_window;
    int m_maxSources;
    QHash<QString, TCount> m_sources;
    void dropExpired(int64_t now);
};
