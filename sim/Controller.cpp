#include "Controller.h"

#include "Clock.h"
#include "Wire.h"

#include <QStringList>
#include <algorithm>
#include <random>

namespace sim {

namespace {

constexpr qint64 HourMs = 3600000;

qint64 floorTo(qint64 t, qint64 step)
{
    const qint64 q = t / step;
    return (t % step < 0 ? q - 1 : q) * step;
}

QString pairText(int block, int pin)
{
    return (block & 0x80) ? QStringLiteral("%1.in%2").arg(block & 0x7F).arg(pin)
                          : QStringLiteral("%1.%2").arg(block).arg(pin);
}

QByteArray header(int length, int address, std::uint8_t command)
{
    QByteArray a(length, '\0');
    a[0] = char(address);
    a[1] = char(command);
    return a;
}

// The byte at a 1-based position.
int at(const QByteArray &a, int pos1) { return std::uint8_t(a[pos1 - 1]); }

// Makes a the exchange's answer, with the CRC of its first covered bytes at crcAt, crcAt + 1.
void seal(Exchange &x, QByteArray a, int covered, int crcAt)
{
    putCrc(a, covered, crcAt);
    x.answer = std::move(a);
    x.crcAt = crcAt;
}

}   // namespace

qint64 hourStart(int hour, int day, int month, int year2)
{
    const QDate date(year2 < 70 ? 2000 + year2 : 1900 + year2, month, day);
    if (!date.isValid() || hour < 0 || hour > 23)
        return -1;
    return controllerMs(date, QTime(hour, 0));
}

namespace {
PlantOptions plantOptions(const ControllerOptions &options)
{
    PlantOptions p = options.plant;
    p.speed = std::max(1, options.speed);
    return p;
}
}   // namespace

Controller::Controller(const ProjectModel &model, const BlockCatalogue &catalogue, const Clock &clock,
                       const ControllerOptions &options)
    : clock_(clock),
      address_(options.address & 0xFF),
      plant_(model, catalogue, plantOptions(options), clock.nowMs()),
      trendPeriodMs_(std::max<qint64>(options.trendPeriodMs, 100)),
      reportPeriodMs_(std::max<qint64>(options.reportPeriodMs, 1000)),
      options_(options),
      speed_(std::max(1, options.speed))
{
    buildHistory();
}

void Controller::buildHistory()
{
    const qint64 now = clock_.nowMs();

    // Trend pages start on whole multiples of a page's span, so that a page's index follows
    // from its time and the ring looks as if the controller had always been running.
    const qint64 span = trendPeriodMs_ * TrendArchive::Samples;
    const qint64 pageStart = floorTo(now, span);
    const int index = int((pageStart / span) % TrendArchive::Pages);
    trends_.setGenerator([this](int param, qint64 t) { return plant_.trendValue(param, t); });
    trends_.reset(index);
    if (options_.trendHistory) {
        for (int back = 1; back < TrendArchive::Pages; ++back)
            trends_.setGeneratedPage((index - back + TrendArchive::Pages) % TrendArchive::Pages,
                                     pageStart - back * span, trendPeriodMs_);
        for (qint64 t = pageStart; t <= now; t += trendPeriodMs_)
            sampleTrends(t);
    }
    nextTrendMs_ = floorTo(now, trendPeriodMs_) + trendPeriodMs_;
    if (!options_.trendHistory && now % trendPeriodMs_ == 0)
        nextTrendMs_ = now;

    if (options_.reportHistory) {
        const qint64 last = floorTo(now, reportPeriodMs_);
        for (int i = ReportArchive::Rows - 1; i >= 0; --i) {
            ReportArchive::Row row;
            row.timeMs = last - i * reportPeriodMs_;
            for (int k = 0; k < ReportArchive::Params; ++k)
                row.values[size_t(k)] = float(plant_.reportValue(k, row.timeMs));
            reports_.append(row);
        }
    }
    nextReportMs_ = floorTo(now, reportPeriodMs_) + reportPeriodMs_;

    if (options_.journalHistory && !plant_.alarmEvents().empty()) {
        // A day of alarms that came and went.
        std::mt19937 rng(options_.plant.seed ^ 0x5EEDu);
        const auto &events = plant_.alarmEvents();
        struct Change {
            qint64 t;
            int event;
            bool on;
        };
        std::vector<Change> changes;
        for (int i = 0; i < 40; ++i) {
            const qint64 t = now - 24 * HourMs + std::uniform_int_distribution<qint64>(0, 24 * HourMs - 700000)(rng);
            const int e = events[std::uniform_int_distribution<size_t>(0, events.size() - 1)(rng)];
            changes.push_back({t, e, true});
            changes.push_back({t + std::uniform_int_distribution<qint64>(10000, 600000)(rng), e, false});
        }
        std::stable_sort(changes.begin(), changes.end(), [](const Change &a, const Change &b) { return a.t < b.t; });
        std::array<int, 32> depth{};
        std::uint32_t flags = 0;
        for (const Change &c : changes) {
            depth[size_t(c.event)] += c.on ? 1 : -1;
            const std::uint32_t next = depth[size_t(c.event)] > 0 ? flags | (1u << c.event) : flags & ~(1u << c.event);
            if (next != flags) {
                flags = next;
                journal_.append(c.t, flags);
            }
        }
        journalFlags_ = flags;
    }
}

void Controller::sampleTrends(qint64 atMs)
{
    TrendArchive::Row row{};
    for (int n = 0; n < TrendArchive::Params; ++n)
        row[size_t(n)] = float(plant_.trendValue(n, atMs));
    trends_.append(atMs, row);
}

void Controller::recordReport(qint64 atMs)
{
    ReportArchive::Row row;
    row.timeMs = atMs;
    for (int k = 0; k < ReportArchive::Params; ++k)
        row.values[size_t(k)] = float(plant_.reportValue(k, atMs));
    reports_.append(row);
    plant_.reportRecorded();
}

void Controller::tick()
{
    const qint64 now = clock_.nowMs();
    plant_.advance(now);
    // Every row that fell due since the last tick, at its own time: a fast plant clock
    // brings many per tick.
    int n = 0;
    while (nextTrendMs_ <= now && n++ < CatchUpRows) {
        sampleTrends(nextTrendMs_);
        nextTrendMs_ += trendPeriodMs_;
    }
    if (nextTrendMs_ <= now)   // far behind (clock set forward): go on from now
        nextTrendMs_ = floorTo(now, trendPeriodMs_) + trendPeriodMs_;
    n = 0;
    while (nextReportMs_ <= now && n++ < ReportArchive::Rows) {
        recordReport(nextReportMs_);
        nextReportMs_ += reportPeriodMs_;
    }
    if (nextReportMs_ <= now) {
        recordReport(floorTo(now, reportPeriodMs_));
        nextReportMs_ = floorTo(now, reportPeriodMs_) + reportPeriodMs_;
    }
    syncJournal();
}

void Controller::syncJournal()
{
    // A record for each moment the flags changed, at that moment, so that alarms that came
    // and went between two ticks are in the journal too; changes of one moment make one
    // record.
    const std::vector<Plant::AlarmChange> changes = plant_.takeAlarmChanges();
    std::uint32_t pending = journalFlags_;
    for (size_t i = 0; i < changes.size(); ++i) {
        const Plant::AlarmChange &c = changes[i];
        const std::uint32_t bit = 1u << c.event;
        pending = c.on ? pending | bit : pending & ~bit;
        const bool momentEnds = i + 1 == changes.size() || changes[i + 1].timeMs != c.timeMs;
        if (momentEnds && pending != journalFlags_) {
            journal_.append(c.timeMs, pending);
            journalFlags_ = pending;
        }
    }
    const std::uint32_t flags = plant_.alarmFlags();
    if (flags != journalFlags_) {   // changes the plant no longer holds
        journal_.append(clock_.nowMs(), flags);
        journalFlags_ = flags;
    }
}

std::uint8_t Controller::takeStatus(bool writeAccepted)
{
    if (writeAccepted)
        return 2;   // a key acknowledgement waits for the next answer
    if (keyAcknowledge_) {
        keyAcknowledge_ = false;
        return 1;
    }
    return 0;
}

void Controller::closePollAnswer(Exchange &x, QByteArray a, bool writeAccepted, const QStringList &values)
{
    const std::uint8_t status = takeStatus(writeAccepted);
    a[2] = char(status);
    // The CRC covers everything before it; one spare byte follows it.
    const int crcAt = int(a.size()) - 3;
    seal(x, std::move(a), crcAt, crcAt);
    if (describe_)
        x.reply = QStringLiteral("status %1 %2").arg(status).arg(values.join(' '));
}

Exchange Controller::handle(const QByteArray &frame, bool describe)
{
    describe_ = describe;
    Exchange x;
    const int len = int(frame.size());
    if (len < 8)
        return x;
    const auto *f = reinterpret_cast<const std::uint8_t *>(frame.constData());
    if (f[0] != address_) {
        x.ours = false;
        x.request = QStringLiteral("address %1, not ours").arg(f[0]);
        return x;
    }
    if (len != requestLength(f[1])) {
        x.request = QStringLiteral("command %1 of wrong length %2").arg(f[1]).arg(len);
        return x;
    }
    switch (f[1]) {
    case CmdKeyOrTrend: return keyOrTrend(f);
    case CmdReadValues: return readValues(f);
    case CmdReadBytes: return readBytes(f);
    case CmdReport: return reportPacket(f);
    case CmdFindTrend: return findTrend(f);
    case CmdJournalPage: return journalPage(f, false);
    case CmdFindJournal: return journalPage(f, true);
    default: x.request = QStringLiteral("unknown command %1").arg(f[1]); return x;
    }
}

Exchange Controller::keyOrTrend(const std::uint8_t *f)
{
    if (f[3] == TrendBlock)
        return trendPacket(f);
    Exchange x;
    const int block = f[3], code = f[4];
    if (block == 0) {
        plant_.releaseKeys();
        x.request = QStringLiteral("key: none (page %1)").arg(f[2]);
        return x;
    }
    switch (plant_.pressKey(block, code)) {
    case Plant::KeyResult::Accepted:
        keyAcknowledge_ = true;
        x.request = QStringLiteral("key block %1 code %2 (picture %3 key %4) element %5: accepted")
                        .arg(block)
                        .arg(code)
                        .arg(code >> 4)
                        .arg(code & 15)
                        .arg(f[5]);
        break;
    case Plant::KeyResult::Held:
        x.request = QStringLiteral("key block %1 key %2 element %3: held").arg(block).arg(code).arg(f[5]);
        break;
    case Plant::KeyResult::NoBlock:
        // Acknowledged all the same, or the station would repeat it for ever.
        keyAcknowledge_ = true;
        x.request = QStringLiteral("key block %1 code %2: no such block").arg(block).arg(code);
        break;
    }
    return x;
}

Exchange Controller::trendPacket(const std::uint8_t *f)
{
    Exchange x;
    const int packet = f[2], group = f[4], page = f[5];
    const qint64 now = clock_.nowMs();
    x.request = QStringLiteral("trend packet %1 group %2 page %3").arg(packet).arg(group).arg(page);

    int served = page;
    if (find_.active && now - find_.touchedMs > stationMs(FindTimeoutMs))
        find_.active = false;
    if (find_.active && packet == 1 && find_.lastPacketServed)
        find_.active = false;   // a new download after the one the find was for
    if (find_.active) {
        served = find_.page;
        find_.touchedMs = now;
        x.request += QStringLiteral(" (found page %1)").arg(served);
    }
    if (packet < 1 || packet > TrendPackets || group >= TrendArchive::Groups
        || (served != TrendArchive::CurrentPage && served >= TrendArchive::Pages)) {
        x.request += QStringLiteral(": out of range, no answer");
        return x;
    }
    lastTrendGroup_ = group;
    const TrendSnapshot &s = trendSnapshot_;
    if (packet == 1 || !s.valid || s.group != group || s.page != served) {
        retireTrendImage(now);
        trendSnapshot_ = {
            true, group, served, served, trends_.image(group, served, served), now + stationMs(pageBuildMs_)};
    }
    if (find_.active && packet == TrendPackets)
        find_.lastPacketServed = true;

    // Packet 1 is answered from the page as it is asked; the rest of it is ready only once
    // the page has been built.
    const bool stale = packet > 1 && now < trendSnapshot_.readyMs;
    if (stale && builtTrendImage_.isEmpty())
        builtTrendImage_ = QByteArray(TrendImageBytes, '\0');   // nothing built since start
    const QByteArray &image = stale ? builtTrendImage_ : trendSnapshot_.image;
    QByteArray a = header(TrendAnswerLength, address_, CmdKeyOrTrend);
    a.replace(2, TrendPacketBytes, image.mid((packet - 1) * TrendPacketBytes, TrendPacketBytes));
    seal(x, std::move(a), TrendPacketBytes, TrendAnswerLength - 3);
    const int index = served == TrendArchive::CurrentPage ? trends_.currentIndex() : served;
    x.reply = QStringLiteral("trend bytes %1..%2 of page %3 (index %4, %5 samples)%6")
                  .arg((packet - 1) * TrendPacketBytes)
                  .arg(packet * TrendPacketBytes - 1)
                  .arg(served)
                  .arg(index)
                  .arg(trends_.count(index))
                  .arg(stale ? QStringLiteral(" from the page built before, this one is not built yet") : QString());
    return x;
}

void Controller::retireTrendImage(qint64 nowMs)
{
    if (trendSnapshot_.valid && nowMs >= trendSnapshot_.readyMs)
        builtTrendImage_ = trendSnapshot_.image;
}

Exchange Controller::findTrend(const std::uint8_t *f)
{
    Exchange x;
    const int hour = f[2], day = f[3], month = f[4], year = f[5];
    const qint64 start = hourStart(hour, day, month, year);
    const int page = start < 0 ? TrendArchive::CurrentPage : trends_.findHour(start);
    find_ = {true, page, clock_.nowMs(), false};
    retireTrendImage(clock_.nowMs());
    trendSnapshot_.valid = false;
    x.request = QStringLiteral("find trend %1 h %2.%3.%4 (group %5): page %6%7")
                    .arg(hour)
                    .arg(day)
                    .arg(month)
                    .arg(year)
                    .arg(lastTrendGroup_)
                    .arg(page)
                    .arg(start < 0 ? QStringLiteral(", no such date") : QString());
    return x;
}

Exchange Controller::readValues(const std::uint8_t *f)
{
    Exchange x;
    // A set-point in the tail takes effect before the values are read, so the answer that
    // acknowledges it already shows it.
    bool written = false;
    QString writeText;
    const int wBlock = f[3 + 64], wPin = f[3 + 65];
    if (wBlock != 0) {
        const double value = fromWriteBytes(f + 3 + 66);
        written = plant_.write(wBlock, wPin, value);
        if (describe_)
            writeText = QStringLiteral(" write %1.%2 = %3: %4")
                            .arg(wBlock)
                            .arg(wPin)
                            .arg(value)
                            .arg(written ? QStringLiteral("accepted") : QStringLiteral("refused"));
    }
    QStringList asked, values;
    QByteArray a = header(ValuesAnswerLength, address_, CmdReadValues);
    for (int i = 0; i < 32; ++i) {
        const int block = f[3 + 2 * i], pin = f[4 + 2 * i];
        const int at = 3 + 4 * i;
        if (block == 0 && pin == 0)
            continue;
        if (describe_)
            asked << pairText(block, pin);
        if (block == JournalBlock && pin == 0) {
            // The alarm word: event flags, most significant byte first.
            const std::uint32_t flags = plant_.alarmFlags();
            a[at] = char(flags >> 24);
            a[at + 1] = char(flags >> 16);
            a[at + 2] = char(flags >> 8);
            a[at + 3] = char(flags);
            if (describe_)
                values << QStringLiteral("alarms=%1").arg(flags, 8, 16, QLatin1Char('0'));
            continue;
        }
        const double v = (block & 0x80) ? plant_.input(block & 0x7F, pin) : plant_.output(block, pin);
        const std::int32_t n = toThousandths(v);
        putLe32(a, at, std::uint32_t(n));
        if (describe_)
            values << QStringLiteral("%1=%2").arg(pairText(block, pin)).arg(double(n) / 1000.0);
    }
    closePollAnswer(x, std::move(a), written, values);
    if (describe_)
        x.request = QStringLiteral("values page %1: %2%3")
                        .arg(f[2])
                        .arg(asked.isEmpty() ? QStringLiteral("-") : asked.join(' '), writeText);
    return x;
}

Exchange Controller::readBytes(const std::uint8_t *f)
{
    Exchange x;
    QStringList asked, values;
    QByteArray a = header(BytesAnswerLength, address_, CmdReadBytes);
    for (int i = 0; i < 32; ++i) {
        const int block = f[3 + 2 * i], pin = f[4 + 2 * i];
        if (block == 0 && pin == 0)
            continue;
        std::uint8_t b = 0;
        if (block & 0x80) {
            const double v = std::round(plant_.input(block & 0x7F, pin));
            b = v > 0 ? std::uint8_t(std::min(v, 255.0)) : 0;
        } else {
            b = plant_.stateByte(block, pin);
        }
        a[3 + i] = char(b);
        if (describe_) {
            asked << pairText(block, pin);
            values << QStringLiteral("%1=%2").arg(pairText(block, pin)).arg(b);
        }
    }
    closePollAnswer(x, std::move(a), false, values);
    if (describe_)
        x.request =
            QStringLiteral("bytes page %1: %2").arg(f[2]).arg(asked.isEmpty() ? QStringLiteral("-") : asked.join(' '));
    return x;
}

Exchange Controller::reportPacket(const std::uint8_t *f)
{
    Exchange x;
    const int packet = f[2];
    x.request = QStringLiteral("report packet %1").arg(packet);
    if (packet >= ReportArchive::Packets) {
        x.request += QStringLiteral(": out of range, no answer");
        return x;
    }
    // All four packets of one download come from the archive as it was at packet 0.
    if (packet == 0 || !reportSnapshotValid_) {
        reportSnapshot_ = reports_.snapshot();
        reportSnapshotValid_ = true;
    }
    QByteArray a = header(ReportAnswerLength, address_, CmdReport);
    a.replace(2, ReportArchive::PacketDataBytes, ReportArchive::packetData(reportSnapshot_, packet));
    seal(x, std::move(a), ReportCrcCovered, ReportAnswerLength - 2);
    x.reply = QStringLiteral("parameters %1..%2, %3 rows")
                  .arg(4 * packet + 1)
                  .arg(4 * packet + 4)
                  .arg(reportSnapshot_.size());
    return x;
}

QByteArray Controller::journalAnswer(std::uint8_t command, int page, int row) const
{
    QByteArray a = header(JournalAnswerLength, address_, command);
    a.replace(2, JournalRing::PageBytes, journal_.page(page));
    a[322] = char(row);
    a[323] = char(page);
    a[324] = char(journal_.pointer() >> 8);
    a[325] = char(journal_.pointer() & 0xFF);
    putCrc(a, 326, 326);
    return a;
}

Exchange Controller::journalPage(const std::uint8_t *f, bool find)
{
    Exchange x;
    int page = 0, row = 0;
    const int newest = journal_.newest();
    // The row byte is the record's number on its page, 0..31 (the station highlights grid row
    // byte + 1).
    if (find) {
        const int hour = f[2], day = f[3], month = f[4], year = f[5];
        const qint64 start = hourStart(hour, day, month, year);
        const int r = start < 0 ? newest : journal_.findHour(start);
        x.request = QStringLiteral("find journal %1 h %2.%3.%4%5")
                        .arg(hour)
                        .arg(day)
                        .arg(month)
                        .arg(year)
                        .arg(start < 0 ? QStringLiteral(", no such date") : QString());
        if (r >= 0) {
            page = r / JournalRing::PerPage;
            row = r % JournalRing::PerPage;
        }
    } else {
        const int asked = f[5];
        x.request = QStringLiteral("journal page %1").arg(asked);
        if (asked == TrendArchive::CurrentPage) {
            if (newest >= 0) {
                page = newest / JournalRing::PerPage;
                row = newest % JournalRing::PerPage;
            }
        } else if (asked < JournalRing::Pages) {
            page = asked;
            row = (newest >= 0 && newest / JournalRing::PerPage == page) ? newest % JournalRing::PerPage : 0;
        } else {
            x.request += QStringLiteral(": out of range, no answer");
            return x;
        }
    }
    x.crcAt = 326;
    const qint64 now = clock_.nowMs();
    if (pageBuildMs_ > 0 && !builtJournal_.isEmpty() && now - journalBuiltMs_ < stationMs(pageBuildMs_)) {
        // Still building the page of the previous request: that one goes out again.
        x.answer = builtJournal_;
        x.reply = QStringLiteral("journal page %1 row %2 pointer %3 of the previous request, this one is not built yet")
                      .arg(at(builtJournal_, 324))
                      .arg(at(builtJournal_, 323))
                      .arg(at(builtJournal_, 325) * 256 + at(builtJournal_, 326));
        return x;
    }
    x.answer = journalAnswer(find ? CmdFindJournal : CmdJournalPage, page, row);
    builtJournal_ = x.answer;
    journalBuiltMs_ = now;
    x.reply = QStringLiteral("journal page %1 row %2 pointer %3").arg(page).arg(row).arg(journal_.pointer());
    return x;
}

}   // namespace sim
