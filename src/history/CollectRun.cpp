#include "history/CollectRun.h"
#include "history/PageTimes.h"
#include "history/StationHistory.h"
#include "journal/JournalEngine.h"
#include "journal/JournalPage.h"
#include "trends/TrendDownload.h"
#include "trends/TrendImage.h"

#include <algorithm>

namespace history {

class CollectRun::TrendEvents : public TrendListener {
public:
    explicit TrendEvents(QStringList &messages) : messages_(messages) {}
    void message(const QString &text) override
    {
        if (!messages_.contains(text))
            messages_ << text;
    }
    void beep() override { ++crcErrors; }
    int crcErrors = 0;

private:
    QStringList &messages_;
};

class CollectRun::JournalEvents : public JournalListener {
public:
    explicit JournalEvents(QStringList &messages) : messages_(messages) {}
    void archiveFailed(const QString &text) override
    {
        if (!messages_.contains(text))
            messages_ << text;
    }

private:
    QStringList &messages_;
};

namespace {

int byteAt(QByteArrayView image, int offset) { return offset < image.size() ? std::uint8_t(image[offset]) : 0; }

QString storedText(Stored kind)
{
    switch (kind) {
    case Stored::New: return QStringLiteral("new");
    case Stored::Duplicate: return QStringLiteral("duplicate");
    case Stored::Completed: return QStringLiteral("completed");
    case Stored::NewRun: return QStringLiteral("new run");
    case Stored::Rejected: return QStringLiteral("nothing kept");
    case Stored::Failed: break;
    }
    return QStringLiteral("not stored");
}

class StoreSink : public PageSink {
public:
    explicit StoreSink(HistoryStore &store) : store_(store) {}
    StoreResult storeTrendPage(int group, QByteArrayView image, int page, const Channels &channels,
                               qint64 downloadedMs) override
    {
        return store_.storeTrendPage(group, image, page, channels, downloadedMs);
    }
    int storeJournalPage(const journal::Buffer &buf, const std::array<QString, 32> &eventNames, qint64 downloadedMs,
                         QString *error) override
    {
        return store_.storeJournalPage(buf, eventNames, downloadedMs, error);
    }
    std::optional<qint64> newestSampleMs(int group) const override { return store_.newestSampleMs(group); }

private:
    HistoryStore &store_;
};

}   // namespace

CollectRun::CollectRun(Station &station, Link &link, HistoryStore &store, const CollectorOptions &options,
                       const Clock &clock)
    : CollectRun(station, link, std::make_unique<StoreSink>(store), nullptr, options, clock)
{
}

CollectRun::CollectRun(Station &station, Link &link, PageSink &sink, const CollectorOptions &options,
                       const Clock &clock)
    : CollectRun(station, link, nullptr, &sink, options, clock)
{
}

CollectRun::CollectRun(Station &station, Link &link, std::unique_ptr<PageSink> own, PageSink *sink,
                       const CollectorOptions &options, const Clock &clock)
    : station_(station),
      ownSink_(std::move(own)),
      store_(ownSink_ ? ownSink_.get() : sink),
      clock_(clock),
      collector_(options),
      trendEvents_(std::make_unique<TrendEvents>(messages_)),
      journalEvents_(std::make_unique<JournalEvents>(messages_)),
      trend_(std::make_unique<TrendDownload>(station, link, trendEvents_.get())),
      journal_(std::make_unique<JournalEngine>(station, link, journalEvents_.get()))
{
    for (int g = 0; g < 8; ++g)
        collector_.setHeldUntil(g, store_->newestSampleMs(g));
    trend_->loadPalette();
    // The trend window's poll time: 100 ms on a serial line, 200 ms on TCP.
    trend_->setPollText(link.isSerial() ? QStringLiteral("100") : QStringLiteral("200"));
}

CollectRun::~CollectRun()
{
    // An exchange still running lets the link go where it is.
    if (trend_->running())
        trend_->cancel();
    if (journal_->running())
        journal_->cancel();
}

void CollectRun::setAnswerPaced(bool on) { trend_->setAnswerPaced(on); }

void CollectRun::setJournalAnswerPaced(bool on) { journal_->setAnswerPaced(on); }

bool CollectRun::answerPaced(const CollectorItem &item) const
{
    return item.kind == CollectorItem::Kind::Journal ? journal_->answerPaced() : trend_->answerPaced();
}

QString CollectRun::itemText(const CollectorItem &item)
{
    if (item.kind == CollectorItem::Kind::Journal)
        return item.page == JournalCurrentPage ? QStringLiteral("journal current page")
                                               : QStringLiteral("journal page %1").arg(item.page + 1);
    return item.page == TrendCurrentPage ? QStringLiteral("group %1 current page").arg(item.group + 1)
                                         : QStringLiteral("group %1 page %2").arg(item.group + 1).arg(item.page + 1);
}

void CollectRun::say(const QString &line) const
{
    if (log)
        log(line);
}

ArchiveExchange *CollectRun::begin(qint64 nowMs)
{
    if (inFlight_)
        return nullptr;
    const auto item = collector_.next(nowMs);
    if (!item)
        return nullptr;
    messages_.clear();
    if (item->kind == CollectorItem::Kind::Journal) {
        station_.journal.requestPage(item->page);
        inFlight_ = item;
        return journal_.get();
    }
    if (!trend_->request(item->group, item->page)) {
        // Only a download still running refuses; it is let go and the item tried later.
        collector_.failed(*item, nowMs, QStringLiteral("the trend download is busy"));
        return nullptr;
    }
    inFlight_ = item;
    return trend_.get();
}

void CollectRun::end(const ArchiveOutcome &outcome, qint64 nowMs)
{
    if (!inFlight_)
        return;
    const CollectorItem item = *inFlight_;
    inFlight_.reset();
    // A request that never started is not left behind for the next one.
    station_.trend.Graf_PageCount = 0;
    station_.journal.Jurnal_Request = 0;

    CollectResult r;
    r.item = item;
    if (!outcome.ok()) {
        QString why = messages_.join(QStringLiteral("; "));
        if (why.isEmpty())
            why = outcome.text.isEmpty() ? QStringLiteral("the download did not end") : outcome.text;
        r.text = QStringLiteral("%1: failed: %2").arg(itemText(item), why);
        collector_.failed(item, nowMs, why);
    } else {
        r = item.kind == CollectorItem::Kind::Journal ? storeJournal(item, nowMs) : storeTrend(item, nowMs);
    }
    failuresInRow_ = r.ok ? 0 : failuresInRow_ + 1;
    say(r.text);
    last_ = r;
}

CollectResult CollectRun::storeTrend(const CollectorItem &item, qint64 nowMs)
{
    CollectResult r;
    r.item = item;
    const QByteArrayView image = TrendDownload::image(station_);
    const StoreResult s = store_->storeTrendPage(item.group, image, item.page,
                                                 trendChannels(station_, item.group, image), clock_.nowMs());
    r.stored = s.kind;
    r.samples = s.samples;
    if (s.kind == Stored::Failed) {
        r.storeFailed = true;
        r.text = QStringLiteral("%1: not stored: %2").arg(itemText(item), s.note);
        collector_.failed(item, nowMs, s.note);
        return r;
    }
    r.ok = true;

    std::optional<TrendSeen> seen;
    const int count = item.page == TrendCurrentPage
        ? std::clamp(byteAt(image, trend::SampleCountAt) << 8 | byteAt(image, trend::SampleCountAt + 1), 0,
                     trend::Samples)
        : trend::Samples;
    QString why;
    const auto times = pageTimes(image, count, periodUs_[std::size_t(item.group)], &why);
    if (times && times->periodUs > 0)
        periodUs_[std::size_t(item.group)] = times->periodUs;
    QString where;
    if (item.page == TrendCurrentPage) {
        TrendSeen t;
        t.currentIndex = byteAt(image, trend::CurrentIndexAt);
        t.sampleCount = count;
        if (times) {
            t.firstSampleMs = times->t0Ms;
            t.periodMs = (times->periodUs + 500) / 1000;
        }
        seen = t;
        where = QStringLiteral(" (page %1, %2 samples)").arg(t.currentIndex + 1).arg(count);
    }
    collector_.storedTrend(item, nowMs, seen);

    r.text = QStringLiteral("%1%2: %3 samples, %4").arg(itemText(item), where).arg(s.samples).arg(storedText(s.kind));
    if (times && s.samples > 0)
        r.text += QStringLiteral(", %1 .. %2")
                      .arg(clockSecondsText(times->t0Ms),
                           clockSecondsText(times->timeOf(std::max(0, std::min(s.samples, times->timed) - 1))));
    if (!s.note.isEmpty())
        r.text += QStringLiteral(" (%1)").arg(s.note);
    return r;
}

CollectResult CollectRun::storeJournal(const CollectorItem &item, qint64 nowMs)
{
    CollectResult r;
    r.item = item;
    QString error;
    const int added =
        store_->storeJournalPage(station_.journal.Jurnal_Buf, journalEventNames(station_), clock_.nowMs(), &error);
    if (added < 0) {
        r.storeFailed = true;
        r.text = QStringLiteral("%1: not stored: %2").arg(itemText(item), error);
        collector_.failed(item, nowMs, error);
        return r;
    }
    r.ok = true;
    r.records = added;
    const int page = journal::pageOnShow(station_.journal.Jurnal_Buf);
    std::optional<JournalSeen> seen;
    if (item.page == JournalCurrentPage)
        seen = JournalSeen{page, station_.journal.Jurnal_Pointer};
    collector_.storedJournal(item, nowMs, seen);
    r.text = QStringLiteral("%1%2: %3 new records")
                 .arg(itemText(item),
                      item.page == JournalCurrentPage
                          ? QStringLiteral(" (page %1, pointer %2)").arg(page + 1).arg(station_.journal.Jurnal_Pointer)
                          : QString())
                 .arg(added);
    return r;
}

}   // namespace history
