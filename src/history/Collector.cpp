#include "history/Collector.h"

#include <algorithm>

namespace history {

namespace {

int ringDistance(int from, int to, int ring) { return ((to - from) % ring + ring) % ring; }

}   // namespace

Collector::Collector(const CollectorOptions &options) : options_(options) { status_.state = QStringLiteral("збір"); }

void Collector::setHeldUntil(int group, std::optional<qint64> ms)
{
    if (group >= 0 && group < 8)
        groups_[std::size_t(group)].heldUntil = ms;
}

qint64 Collector::refreshMs(const Group &g) const
{
    if (g.periodMs <= 0)
        return options_.unknownRefreshMs;
    return std::clamp(g.periodMs * TrendPageSamples / 4, options_.minRefreshMs, options_.maxRefreshMs);
}

std::optional<qint64> Collector::estimatedEnd(const Group &g, int page) const
{
    if (!g.firstMs || g.periodMs <= 0 || g.current < 0)
        return std::nullopt;
    const int k = ringDistance(page, g.current, TrendRingPages);   // pages before the current one
    return *g.firstMs - qint64(k - 1) * TrendPageSamples * g.periodMs - g.periodMs;
}

bool Collector::wanted(const Group &g, int page) const
{
    const auto end = estimatedEnd(g, page);
    if (!end)
        return true;   // times unknown: fetch it, the store keeps a page once
    if (g.heldUntil && *end <= *g.heldUntil)
        return false;
    if (options_.sinceMs && *end < *options_.sinceMs)
        return false;
    return true;
}

void Collector::queueCompleted(Group &g, int from, int to)
{
    for (int p = from; p != to; p = (p + 1) % TrendRingPages) {
        if (wanted(g, p) && std::find(g.pending.begin(), g.pending.end(), p) == g.pending.end())
            g.pending.push_back(p);
    }
}

void Collector::dropOverwritten(Group &g)
{
    const auto it = std::find(g.pending.begin(), g.pending.end(), g.current);
    if (it != g.pending.end()) {
        g.pending.erase(it);
        ++status_.lost;
    }
}

qint64 Collector::backoff(int failuresInRow) const
{
    qint64 ms = options_.firstBackoffMs;
    for (int i = 1; i < failuresInRow && ms < options_.maxBackoffMs; ++i)
        ms *= 2;
    return std::min(ms, options_.maxBackoffMs);
}

std::optional<CollectorItem> Collector::next(qint64 nowMs)
{
    using Kind = Item::Kind;
    // First sight of each group and of the journal: where the controller writes.
    for (int i = 0; i < 8; ++i) {
        const Group &g = groups_[std::size_t(i)];
        if (options_.groups[std::size_t(i)] && !g.seen && g.retryAt <= nowMs)
            return Item{Kind::Trend, i, TrendCurrentPage};
    }
    if (options_.journal && !journal_.seen && journal_.retryAt <= nowMs)
        return Item{Kind::Journal, 0, JournalCurrentPage};
    // Current pages due again, the most overdue first.
    int due = -1;
    for (int i = 0; i < 8; ++i) {
        const Group &g = groups_[std::size_t(i)];
        if (options_.groups[std::size_t(i)] && g.seen && g.refreshDue <= nowMs && g.retryAt <= nowMs
            && (due < 0 || g.refreshDue < groups_[std::size_t(due)].refreshDue))
            due = i;
    }
    if (due >= 0)
        return Item{Kind::Trend, due, TrendCurrentPage};
    if (options_.journal && journal_.seen && journal_.retryAt <= nowMs) {
        if (journal_.refreshDue <= nowMs)
            return Item{Kind::Journal, 0, JournalCurrentPage};
        if (!journal_.pending.empty())
            return Item{Kind::Journal, 0, journal_.pending.front()};
    }
    // Ring pages: the one the controller will overwrite soonest first.
    int best = -1, bestDistance = TrendRingPages + 1;
    for (int i = 0; i < 8; ++i) {
        const Group &g = groups_[std::size_t(i)];
        if (!options_.groups[std::size_t(i)] || g.pending.empty() || g.retryAt > nowMs)
            continue;
        const int d = ringDistance(g.current, g.pending.front(), TrendRingPages);
        if (d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    if (best >= 0)
        return Item{Kind::Trend, best, groups_[std::size_t(best)].pending.front()};
    return std::nullopt;
}

std::optional<qint64> Collector::nextDueMs(qint64 nowMs) const
{
    std::optional<qint64> due;
    const auto consider = [&](qint64 ms) { due = due ? std::min(*due, ms) : ms; };
    for (int i = 0; i < 8; ++i) {
        const Group &g = groups_[std::size_t(i)];
        if (!options_.groups[std::size_t(i)])
            continue;
        if (!g.seen || !g.pending.empty())
            consider(std::max(g.retryAt, nowMs));
        else
            consider(std::max(g.retryAt, g.refreshDue));
    }
    if (options_.journal) {
        if (!journal_.seen || !journal_.pending.empty())
            consider(std::max(journal_.retryAt, nowMs));
        else
            consider(std::max(journal_.retryAt, journal_.refreshDue));
    }
    return due;
}

void Collector::storedTrend(const Item &item, qint64 nowMs, const std::optional<TrendSeen> &seen)
{
    if (item.kind != Item::Kind::Trend || item.group < 0 || item.group >= 8)
        return;
    Group &g = groups_[std::size_t(item.group)];
    g.failuresInRow = 0;
    g.retryAt = 0;
    ++status_.pagesCollected;
    status_.lastCollectedMs = nowMs;
    if (item.page != TrendCurrentPage) {
        const auto it = std::find(g.pending.begin(), g.pending.end(), item.page);
        if (it != g.pending.end())
            g.pending.erase(it);
        return;
    }
    g.refreshDue = nowMs + refreshMs(g);
    if (!seen || seen->currentIndex < 0 || seen->currentIndex >= TrendRingPages)
        return;
    const bool first = !g.seen;
    const int before = g.current;
    g.seen = true;
    g.current = seen->currentIndex;
    g.samples = seen->sampleCount;
    g.firstMs = seen->firstSampleMs;
    if (seen->periodMs > 0)
        g.periodMs = seen->periodMs;
    g.refreshDue = nowMs + refreshMs(g);
    if (first)
        queueCompleted(g, (g.current + 1) % TrendRingPages, g.current);   // the whole ring, oldest first
    else if (before != g.current) {
        // Pages the controller wrote over since the last look lose what they held; each of
        // them up to the new current one is a completed page again.
        for (int p = (before + 1) % TrendRingPages;; p = (p + 1) % TrendRingPages) {
            const auto it = std::find(g.pending.begin(), g.pending.end(), p);
            if (it != g.pending.end()) {
                g.pending.erase(it);
                ++status_.lost;
            }
            if (p == g.current)
                break;
        }
        queueCompleted(g, before, g.current);
    }
    dropOverwritten(g);
}

void Collector::storedJournal(const Item &item, qint64 nowMs, const std::optional<JournalSeen> &seen)
{
    if (item.kind != Item::Kind::Journal)
        return;
    journal_.failuresInRow = 0;
    journal_.retryAt = 0;
    ++status_.pagesCollected;
    status_.lastCollectedMs = nowMs;
    if (item.page != JournalCurrentPage) {
        const auto it = std::find(journal_.pending.begin(), journal_.pending.end(), item.page);
        if (it != journal_.pending.end())
            journal_.pending.erase(it);
        return;
    }
    journal_.refreshDue = nowMs + options_.journalRefreshMs;
    if (!seen || seen->pointer < 0)
        return;
    const int page = std::clamp(seen->pointer / JournalPageBytes, 0, JournalPages - 1);
    const auto queue = [&](int from, int to) {
        for (int p = from; p != to; p = (p + 1) % JournalPages)
            if (std::find(journal_.pending.begin(), journal_.pending.end(), p) == journal_.pending.end())
                journal_.pending.push_back(p);
    };
    if (!journal_.seen)
        queue((page + 1) % JournalPages, page);   // every other page once, oldest first
    else if (journal_.page != page)
        queue(journal_.page, page);   // the pages the pointer has left
    journal_.seen = true;
    journal_.page = page;
    journal_.pointer = seen->pointer;
    // The page being written was just read; an older copy waiting in the queue is not needed.
    const auto it = std::find(journal_.pending.begin(), journal_.pending.end(), page);
    if (it != journal_.pending.end())
        journal_.pending.erase(it);
}

void Collector::failed(const Item &item, qint64 nowMs, const QString &why)
{
    ++status_.failures;
    status_.state = QStringLiteral("помилка: ") + why;
    if (item.kind == Item::Kind::Journal) {
        journal_.retryAt = nowMs + backoff(++journal_.failuresInRow);
        return;
    }
    if (item.group < 0 || item.group >= 8)
        return;
    Group &g = groups_[std::size_t(item.group)];
    g.retryAt = nowMs + backoff(++g.failuresInRow);
}

bool Collector::caughtUp() const
{
    for (int i = 0; i < 8; ++i) {
        const Group &g = groups_[std::size_t(i)];
        if (options_.groups[std::size_t(i)] && (!g.seen || !g.pending.empty()))
            return false;
    }
    return !options_.journal || (journal_.seen && journal_.pending.empty());
}

CollectorStatus Collector::status() const
{
    CollectorStatus s = status_;
    s.pending = int(journal_.pending.size());
    bool failing = journal_.failuresInRow > 0;
    for (const Group &g : groups_) {
        s.pending += int(g.pending.size());
        failing = failing || g.failuresInRow > 0;
    }
    if (!failing)
        s.state = caughtUp() ? QStringLiteral("архів зібрано") : QStringLiteral("збір");
    return s;
}

}   // namespace history
