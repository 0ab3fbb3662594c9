#include "Archives.h"

#include "Clock.h"
#include "Wire.h"

#include <algorithm>
#include <limits>

namespace sim {

namespace {

void putStamp(QByteArray &out, int pos, qint64 ms)
{
    const QDateTime dt = controllerDateTime(ms);
    out[pos] = char(dt.time().hour());
    out[pos + 1] = char(dt.time().minute());
    out[pos + 2] = char(dt.time().second());
    out[pos + 3] = char(dt.date().year() % 100);
    out[pos + 4] = char(dt.date().month());
    out[pos + 5] = char(dt.date().day());
}

}   // namespace

// ---- trends -----------------------------------------------------------------------------

TrendArchive::TrendArchive() : pages_(Pages)
{
    for (int i = 0; i < Params; ++i)
        paramNo_[size_t(i)] = std::uint8_t(i);
}

void TrendArchive::reset(int currentIndex)
{
    for (Page &p : pages_) {
        p.count = 0;
        p.generatedStart = -1;
    }
    current_ = ((currentIndex % Pages) + Pages) % Pages;
}

void TrendArchive::setGeneratedPage(int index, qint64 startMs, qint64 periodMs)
{
    if (index < 0 || index >= Pages || index == current_ || periodMs <= 0)
        return;
    Page &p = pages_[size_t(index)];
    p.generatedStart = startMs;
    p.generatedPeriod = periodMs;
    p.count = Samples;
}

void TrendArchive::append(qint64 timeMs, const Row &values)
{
    Page &p = pages_[size_t(current_)];
    if (p.values.empty()) {
        p.values.assign(size_t(Samples * Params), 0.0f);
        p.times.assign(size_t(Samples), 0);
    }
    p.generatedStart = -1;
    std::copy(values.begin(), values.end(), p.values.begin() + ptrdiff_t(p.count) * Params);
    p.times[size_t(p.count)] = timeMs;
    if (++p.count == Samples) {
        // The next page of the ring starts its new lap empty.
        current_ = (current_ + 1) % Pages;
        pages_[size_t(current_)].count = 0;
        pages_[size_t(current_)].generatedStart = -1;
    }
}

int TrendArchive::count(int index) const { return (index >= 0 && index < Pages) ? pages_[size_t(index)].count : 0; }

qint64 TrendArchive::timeOf(int index, int sample) const
{
    if (sample < 0 || sample >= count(index))
        return 0;
    const Page &p = page(index);
    if (p.generatedStart >= 0)
        return p.generatedStart + sample * p.generatedPeriod;
    return p.times[size_t(sample)];
}

float TrendArchive::value(int index, int sample, int param) const
{
    if (sample < 0 || sample >= count(index) || param < 0 || param >= Params)
        return 0;
    const Page &p = page(index);
    if (p.generatedStart >= 0)
        return generator_ ? float(generator_(param, p.generatedStart + sample * p.generatedPeriod)) : 0.0f;
    return p.values[size_t(sample * Params + param)];
}

void TrendArchive::setParamNumber(int group, int channel, int param)
{
    if (group >= 0 && group < Groups && channel >= 0 && channel < Channels && param >= 0 && param < Params)
        paramNo_[size_t(group * Channels + channel)] = std::uint8_t(param);
}

void TrendArchive::setStyle(int lineWidth, const std::array<std::uint8_t, Channels> &palette)
{
    lineWidthByte_ = std::uint8_t(std::clamp(lineWidth, 1, 256) - 1);
    for (int c = 0; c < Channels; ++c)
        palette_[size_t(c)] = std::min<std::uint8_t>(palette[size_t(c)], 20);
}

QByteArray TrendArchive::image(int group, int page, int deliveredPage) const
{
    QByteArray img(TrendImageBytes, '\0');
    const int index = page == CurrentPage ? current_ : page;
    group = std::clamp(group, 0, Groups - 1);
    if (index >= 0 && index < Pages) {
        const int n = count(index);
        for (int s = 0; s < n; ++s) {
            for (int c = 0; c < Channels; ++c) {
                const int param = paramNo_[size_t(group * Channels + c)];
                putLe32(img, 4 * (Channels * s + c), toArchiveWord(value(index, s, param)));
            }
        }
        for (int k = 0; k * StampEvery < n && k < 8; ++k)
            putStamp(img, StampsAt + 6 * k, timeOf(index, k * StampEvery));
        // A finished archive page reports all its samples, so that the station draws the whole
        // page; the page being filled reports how far it has got.
        img[SampleCountAt] = char(n >> 8);
        img[SampleCountAt + 1] = char(n & 0xFF);
    }
    img[CurrentIndexAt] = char(current_);
    img[LineWidthAt] = char(lineWidthByte_);
    for (int c = 0; c < Channels; ++c)
        img[PaletteAt + c] = char(palette_[size_t(c)]);
    img[DeliveredPageAt] = char(deliveredPage);
    for (int i = 0; i < Params; ++i)
        img[ParamNumbersAt + i] = char(paramNo_[size_t(i)]);
    return img;
}

int TrendArchive::findHour(qint64 hourStartMs) const
{
    const qint64 hourEnd = hourStartMs + 3600000;
    int nearest = -1;
    qint64 nearestGap = std::numeric_limits<qint64>::max();
    // Oldest page first: the one after the page being filled, round to the page being filled.
    for (int i = 1; i <= Pages; ++i) {
        const int index = (current_ + i) % Pages;
        const int n = count(index);
        if (n == 0)
            continue;
        // Times rise along a page: find the first sample at or after the hour's start.
        int lo = 0, hi = n;
        while (lo < hi) {
            const int mid = (lo + hi) / 2;
            if (timeOf(index, mid) < hourStartMs)
                lo = mid + 1;
            else
                hi = mid;
        }
        if (lo < n && timeOf(index, lo) < hourEnd)
            return index == current_ ? CurrentPage : index;
        const qint64 first = timeOf(index, 0), last = timeOf(index, n - 1);
        const qint64 gap = hourStartMs < first ? first - hourStartMs : hourStartMs - last;
        if (gap <= nearestGap) {
            nearestGap = gap;
            nearest = index;
        }
    }
    if (nearest < 0 || nearest == current_)
        return CurrentPage;
    return nearest;
}

// ---- journal ----------------------------------------------------------------------------

void JournalRing::append(qint64 timeMs, std::uint32_t flags)
{
    const int r = pointer_ / RecordBytes;
    const QDateTime dt = controllerDateTime(timeMs);
    std::uint8_t *rec = bytes_.data() + pointer_;
    rec[0] = std::uint8_t(dt.time().second());
    rec[1] = std::uint8_t(dt.time().minute());
    rec[2] = std::uint8_t(dt.time().hour());
    rec[3] = std::uint8_t(dt.date().day());
    rec[4] = std::uint8_t(dt.date().month());
    rec[5] = std::uint8_t(dt.date().year() % 100);
    for (int j = 0; j < 4; ++j)
        rec[6 + j] = std::uint8_t((flags >> (8 * j)) & 0xFF);
    times_[size_t(r)] = timeMs;
    pointer_ = (pointer_ + RecordBytes) % (Records * RecordBytes);
    written_ = std::min(written_ + 1, Records);
}

void JournalRing::clear()
{
    bytes_.fill(0);
    times_.fill(0);
    pointer_ = 0;
    written_ = 0;
}

int JournalRing::newest() const
{
    if (written_ == 0)
        return -1;
    return (pointer_ / RecordBytes + Records - 1) % Records;
}

QByteArray JournalRing::page(int page) const
{
    page = std::clamp(page, 0, Pages - 1);
    return QByteArray(reinterpret_cast<const char *>(bytes_.data()) + page * PageBytes, PageBytes);
}

std::uint32_t JournalRing::flagsOf(int record) const
{
    const std::uint8_t *rec = bytes_.data() + size_t(record) * RecordBytes;
    return std::uint32_t(rec[6]) | (std::uint32_t(rec[7]) << 8) | (std::uint32_t(rec[8]) << 16)
        | (std::uint32_t(rec[9]) << 24);
}

int JournalRing::findHour(qint64 hourStartMs) const
{
    if (written_ == 0)
        return -1;
    const int oldest = written_ < Records ? 0 : pointer_ / RecordBytes;
    for (int i = 0; i < written_; ++i) {
        const int r = (oldest + i) % Records;
        if (times_[size_t(r)] >= hourStartMs)
            return r;
    }
    return newest();
}

// ---- reports ----------------------------------------------------------------------------

void ReportArchive::append(const Row &row)
{
    if (int(rows_.size()) < Rows) {
        rows_.push_back(row);
        next_ = int(rows_.size()) % Rows;
        return;
    }
    rows_[size_t(next_)] = row;
    next_ = (next_ + 1) % Rows;
}

void ReportArchive::clear()
{
    rows_.clear();
    next_ = 0;
}

std::vector<ReportArchive::Row> ReportArchive::snapshot() const
{
    if (int(rows_.size()) < Rows)
        return rows_;
    std::vector<Row> out;
    out.reserve(size_t(Rows));
    for (int i = 0; i < Rows; ++i)
        out.push_back(rows_[size_t((next_ + i) % Rows)]);
    return out;
}

QByteArray ReportArchive::packetData(const std::vector<Row> &rows, int packet)
{
    QByteArray data(PacketDataBytes, '\0');
    packet = std::clamp(packet, 0, Packets - 1);
    for (int k = 0; k < 4; ++k) {
        const int param = 4 * packet + k;
        for (int r = 0; r < Rows && r < int(rows.size()); ++r) {
            const int j = r / 25, i = r % 25;
            const int d = BlockBytes * k + 256 * j + 10 * i;
            putStamp(data, d, rows[size_t(r)].timeMs);
            putLe32(data, d + 6, toArchiveWord(rows[size_t(r)].values[size_t(param)]));
        }
    }
    return data;
}

}   // namespace sim
