#pragma once
// The controller's three archives and the byte layouts in which it hands them out.
//
// Trend archive: every sample period one row of the 32 trend parameters is recorded; rows fill
// pages of 480, pages 0..101 form a ring, and the page being filled is also reachable as 200.
// A trend group shows four of the 32 parameters.
// Journal: a ring of 32 pages x 32 records of 10 bytes, written whenever the event flags
// change; the pointer is the byte offset of the next record to be written.
// Report archive: the last 375 time-stamped rows of 16 parameters.
#include <QByteArray>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace sim {

class TrendArchive {
public:
    static constexpr int Pages = 102;
    static constexpr int Samples = 480;
    static constexpr int Params = 32;
    static constexpr int Groups = 8;
    static constexpr int Channels = 4;
    static constexpr int CurrentPage = 200;   // own copy, as the controller has it (see Plant.cpp)
    static constexpr int StampEvery = 60;

    // Image offsets.
    static constexpr int StampsAt = 7698;
    static constexpr int CurrentIndexAt = 7798;
    static constexpr int LineWidthAt = 7799;
    static constexpr int PaletteAt = 7800;
    static constexpr int SampleCountAt = 7804;
    static constexpr int DeliveredPageAt = 7806;
    static constexpr int ParamNumbersAt = 7808;

    using Row = std::array<float, Params>;

    TrendArchive();

    // Empties the archive; the next row goes to archive index currentIndex.
    void reset(int currentIndex);
    void append(qint64 timeMs, const Row &values);
    // A full page of the past whose rows are worked out when asked for: sample s was taken at
    // startMs + s * periodMs and parameter n had the generator's value for that time. Such a
    // page costs nothing until it is read; the ring overwrites it like any other.
    void setGeneratedPage(int index, qint64 startMs, qint64 periodMs);
    void setGenerator(std::function<double(int param, qint64 timeMs)> generator) { generator_ = std::move(generator); }

    int currentIndex() const { return current_; }
    int currentCount() const { return pages_[size_t(current_)].count; }
    int count(int index) const;
    qint64 timeOf(int index, int sample) const;
    float value(int index, int sample, int param) const;

    // Parameter number recorded on channel c of group g.
    int paramNumber(int group, int channel) const { return paramNo_[size_t(group * Channels + channel)]; }
    void setParamNumber(int group, int channel, int param);
    void setStyle(int lineWidth, const std::array<std::uint8_t, Channels> &palette);

    // The 7872-byte trend image of a group's page: archive index 0..101 or CurrentPage.
    // deliveredPage goes to the page byte of the image.
    QByteArray image(int group, int page, int deliveredPage) const;

    // The page that holds a sample of the hour starting at hourStartMs: an archive index, or
    // CurrentPage for the page being filled. Without such a page, the page nearest in time.
    int findHour(qint64 hourStartMs) const;

private:
    struct Page {
        std::vector<float> values;   // Samples x Params
        std::vector<qint64> times;   // Samples
        int count = 0;
        qint64 generatedStart = -1;   // >= 0: a generated page (values and times unused)
        qint64 generatedPeriod = 0;
    };
    const Page &page(int index) const { return pages_[size_t(index)]; }
    std::vector<Page> pages_;
    int current_ = 0;
    std::array<std::uint8_t, Params> paramNo_{};
    std::uint8_t lineWidthByte_ = 0;   // line width minus 1
    std::array<std::uint8_t, Channels> palette_{1, 4, 2, 5};
    std::function<double(int, qint64)> generator_;
};

class JournalRing {
public:
    static constexpr int Pages = 32;
    static constexpr int PerPage = 32;
    static constexpr int Records = Pages * PerPage;
    static constexpr int RecordBytes = 10;
    static constexpr int PageBytes = PerPage * RecordBytes;

    void append(qint64 timeMs, std::uint32_t flags);
    void clear();

    int pointer() const { return pointer_; }   // byte offset of the next record
    bool empty() const { return written_ == 0; }
    int newest() const;   // record index, -1 when empty
    int size() const { return written_; }
    QByteArray page(int page) const;   // 320 bytes
    std::uint32_t flagsOf(int record) const;
    qint64 timeOf(int record) const { return times_[size_t(record)]; }
    // The first record written at or after the start of the hour, or the newest one when the
    // hour lies after all of them; -1 when the journal is empty.
    int findHour(qint64 hourStartMs) const;

private:
    std::array<std::uint8_t, Records * RecordBytes> bytes_{};
    std::array<qint64, Records> times_{};
    int pointer_ = 0;
    int written_ = 0;   // records held, up to Records
};

class ReportArchive {
public:
    static constexpr int Rows = 375;
    static constexpr int Params = 16;
    static constexpr int Packets = 4;
    static constexpr int BlockBytes = 3840;
    static constexpr int PacketDataBytes = 4 * BlockBytes;

    struct Row {
        qint64 timeMs = 0;
        std::array<float, Params> values{};
    };

    void append(const Row &row);
    void clear();
    int size() const { return int(rows_.size()); }
    // Rows oldest first.
    std::vector<Row> snapshot() const;
    // The 15360 data bytes of packet 0..3 (parameters 4p+1..4p+4) from a snapshot.
    static QByteArray packetData(const std::vector<Row> &rows, int packet);

private:
    std::vector<Row> rows_;
    int next_ = 0;
};

}   // namespace sim
