#pragma once
// The simulated controller: takes one request frame, returns the answer bytes. No I/O and no
// timers of its own; time comes from the Clock and moves the plant and archives on tick().
#include "Archives.h"
#include "Plant.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <memory>

class ProjectModel;
class BlockCatalogue;
class Clock;

namespace sim {

using Clock = ::Clock;

struct ControllerOptions {
    int address = 1;
    PlantOptions plant;
    qint64 trendPeriodMs = 1000;
    qint64 reportPeriodMs = 3600000;
    // Archives start with a synthetic past (trend ring full, a day of journal, a full report).
    bool trendHistory = true;
    bool journalHistory = true;
    bool reportHistory = true;
    // The plant's clock runs this many times faster than the station's. What the station
    // times (the find selection's lapse, a page still being built) lasts this many times
    // longer on the plant's clock. Goes to the plant too (PlantOptions::speed).
    int speed = 1;
};

// What one request did: the answer (empty when the command has none) and readable fields.
struct Exchange {
    bool ours = true;   // addressed to this controller
    QByteArray answer;
    int crcAt = -1;   // index of the answer's CRC high byte
    QString request;
    QString reply;
};

class Controller {
public:
    // How long a find-by-date selection waits for the trend download it is meant for
    // (station time).
    static constexpr qint64 FindTimeoutMs = 10000;
    // Most trend rows one tick catches up; further behind (a clock set forward) it goes on
    // from now.
    static constexpr int CatchUpRows = 2 * TrendArchive::Samples;

    Controller(const ProjectModel &model, const BlockCatalogue &catalogue, const Clock &clock,
               const ControllerOptions &options);

    // A complete request frame whose CRC has been checked. Without describe the readable
    // fields of the 32-value requests are left out (they cost more than the answer).
    Exchange handle(const QByteArray &frame, bool describe = true);
    // Moves plant and archives to the clock's time.
    void tick();
    // Records a journal entry when the event flags differ from the last one recorded; the
    // plant's flags change on tick() and through scripted alarms.
    void syncJournal();

    // A fault of a slow controller: a trend page is built only this long (station time)
    // after its packet 1 is asked; packets 2..32 asked sooner come from the page built
    // before. Likewise a journal page asked this soon after the previous journal request
    // is the page built for that request. 0: pages are ready at once.
    void setPageBuildMs(int ms) { pageBuildMs_ = std::max(0, ms); }
    int pageBuildMs() const { return pageBuildMs_; }

    int address() const { return address_; }
    void setAddress(int address) { address_ = address & 0xFF; }
    qint64 trendPeriodMs() const { return trendPeriodMs_; }
    qint64 reportPeriodMs() const { return reportPeriodMs_; }

    Plant &plant() { return plant_; }
    const Plant &plant() const { return plant_; }
    TrendArchive &trends() { return trends_; }
    JournalRing &journal() { return journal_; }
    ReportArchive &reports() { return reports_; }
    const Clock &clock() const { return clock_; }

private:
    Exchange keyOrTrend(const std::uint8_t *f);
    Exchange trendPacket(const std::uint8_t *f);
    Exchange readValues(const std::uint8_t *f);
    Exchange readBytes(const std::uint8_t *f);
    Exchange reportPacket(const std::uint8_t *f);
    Exchange findTrend(const std::uint8_t *f);
    Exchange journalPage(const std::uint8_t *f, bool find);
    QByteArray journalAnswer(std::uint8_t command, int page, int row) const;
    std::uint8_t takeStatus(bool writeAccepted);
    // Status byte, CRC and reply text of a command 71 or 72 answer, values read as listed.
    void closePollAnswer(Exchange &x, QByteArray a, bool writeAccepted, const QStringList &values);
    void sampleTrends(qint64 atMs);
    void recordReport(qint64 atMs);
    void buildHistory();
    // Station milliseconds on the plant's clock.
    qint64 stationMs(qint64 ms) const { return ms * speed_; }
    // The trend image of the download in progress becomes the one a slow controller still
    // holds, if it had been built.
    void retireTrendImage(qint64 nowMs);

    const Clock &clock_;
    int address_;
    Plant plant_;
    TrendArchive trends_;
    JournalRing journal_;
    ReportArchive reports_;
    qint64 trendPeriodMs_;
    qint64 reportPeriodMs_;
    qint64 nextTrendMs_ = 0;
    qint64 nextReportMs_ = 0;
    std::uint32_t journalFlags_ = 0;
    ControllerOptions options_;
    qint64 speed_ = 1;
    int pageBuildMs_ = 0;

    bool keyAcknowledge_ = false;
    bool describe_ = true;

    // A find-by-date selection applies to the trend download that follows it.
    struct FindSelection {
        bool active = false;
        int page = TrendArchive::CurrentPage;
        qint64 touchedMs = 0;
        bool lastPacketServed = false;
    } find_;
    int lastTrendGroup_ = 0;
    // The image of the download in progress, so that all 32 packets come from one moment.
    struct TrendSnapshot {
        bool valid = false;
        int group = 0, page = 0, delivered = 0;
        QByteArray image;
        qint64 readyMs = 0;   // built by then (page building fault)
    } trendSnapshot_;
    QByteArray builtTrendImage_;   // the last image built before the one in progress
    // The journal answer built last and when its request came (page building fault).
    QByteArray builtJournal_;
    qint64 journalBuiltMs_ = 0;
    std::vector<ReportArchive::Row> reportSnapshot_;
    bool reportSnapshotValid_ = false;
};

// Hour start of a two-digit-year date as the find requests carry it; -1 for no such date.
qint64 hourStart(int hour, int day, int month, int year2);

}   // namespace sim
