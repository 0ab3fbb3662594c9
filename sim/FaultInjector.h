#pragma once
// Deliberate faults on the answers of one connection, for reliability tests of the station:
// every Nth answer dropped, its CRC corrupted, cut short, lengthened, delayed or preceded by
// garbage; the connection closed after N requests; archive pages served before they are built. Answers are counted from 1 per connection.
#include <QByteArray>
#include <QStringList>
#include <cstdint>
#include <random>

namespace sim {

struct FaultPlan {
    int dropEvery = 0;
    int corruptEvery = 0;
    int truncateEvery = 0;
    int truncateBytes = 1;
    int lengthenEvery = 0;
    int lengthenBytes = 1;
    int delayEvery = 0;
    int delayMs = 1000;
    int garbageEvery = 0;
    int garbageBytes = 8;
    int closeAfter = 0;   // requests; 0 = never
    // A slow controller: trend and journal pages are built this many ms after they are
    // asked, and what is asked sooner comes from the page built before (Controller::
    // setPageBuildMs). Unlike the others this fault is the controller's, on every connection.
    int pageBuildMs = 0;

    bool any() const;
    QString describe() const;
};

struct FaultOutcome {
    QByteArray bytes;   // what goes on the wire; empty when dropped
    qint64 delayMs = 0;
    QStringList notes;   // the faults applied, for the log
};

class FaultInjector {
public:
    explicit FaultInjector(const FaultPlan &plan = {}, std::uint32_t seed = 1);

    void setPlan(const FaultPlan &plan) { plan_ = plan; }
    const FaultPlan &plan() const { return plan_; }
    void reset()
    {
        answers_ = 0;
        requests_ = 0;
    }

    // Counts one answer and applies the faults due for it. crcAt is the index of the answer's
    // CRC high byte (-1 when unknown).
    FaultOutcome apply(const QByteArray &answer, int crcAt);
    // Counts one request addressed to us; true when the connection is to close after it.
    bool countRequest();

private:
    static bool due(int every, int n) { return every > 0 && n % every == 0; }
    FaultPlan plan_;
    int answers_ = 0;
    int requests_ = 0;
    std::mt19937 rng_;
};

// "N" or "N:K" as the fault options take them; false on anything else.
bool parseEvery(const QString &text, int &every, int &amount);

}   // namespace sim
