// The history store: one trend page stored (its own transaction, WAL), one month of one group
// reduced to 1000 pixel columns, the history window's chart over a month moved by a column (what
// each mouse move of a pan costs), and the file size of a month of 8 groups x 4 channels at
// 7.5 s (an hour per page: 720 pages per group).
#include "history/HistoryChart.h"
#include "history/HistoryStore.h"
#include "trends/TrendImage.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QTemporaryDir>
#include <bit>
#include <cmath>

namespace {

constexpr qint64 PeriodMs = 7500;
constexpr int PagesPerMonth = 30 * 24;
const QDateTime Start(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC);

// The page of hour `hour`: 8 stamps 450 s apart, samples on a sine (as float32 words, which the
// controller's decoding reads near enough the same).
QByteArray page(qint64 hour)
{
    QByteArray img(trend::ImageBytes, '\0');
    for (int s = 0; s < trend::Samples; ++s)
        for (int c = 0; c < 4; ++c) {
            const float v = 50.0f + 40.0f * std::sin(float(hour * 480 + s) / (50.0f + float(c)));
            const auto w = std::bit_cast<std::uint32_t>(v);
            for (int b = 0; b < 4; ++b)
                img[4 * (4 * s + c) + b] = char((w >> (8 * b)) & 0xFF);
        }
    const QDateTime t0 = Start.addSecs(3600 * hour);
    for (int k = 0; k < trend::Stamps; ++k) {
        const QDateTime t = t0.addMSecs(PeriodMs * trend::StampEvery * k);
        const int v[6] = {t.time().hour(),       t.time().minute(), t.time().second(),
                          t.date().year() % 100, t.date().month(),  t.date().day()};
        for (int i = 0; i < 6; ++i)
            img[trend::StampsAt + 6 * k + i] = char(v[i]);
    }
    return img;
}

QCoreApplication &app()
{
    static int argc = 1;
    static char name[] = "bench_history";
    static char *argv[] = {name, nullptr};
    static QCoreApplication a(argc, argv);
    return a;
}

const history::Channels Names{history::Channel{0, QStringLiteral("Температура")},
                              {1, QStringLiteral("Тиск")},
                              {2, QStringLiteral("Рівень")},
                              {3, QStringLiteral("Витрата")}};

void BM_StoreTrendPage(benchmark::State &state)
{
    app();
    QTemporaryDir dir;
    QString error;
    auto store = history::HistoryStore::open(dir.filePath(QStringLiteral("h.sqlite")), &error);
    if (!store) {
        state.SkipWithError(error.toStdString().c_str());
        return;
    }
    std::vector<QByteArray> pages;
    for (int h = 0; h < 64; ++h)
        pages.push_back(page(h));
    qint64 hour = 0;
    for (auto _ : state) {
        // A new page each time: its own hour, cycling through the prepared images' values.
        state.PauseTiming();
        QByteArray img = pages[std::size_t(hour % 64)];
        const QDateTime t0 = Start.addSecs(3600 * hour);
        for (int k = 0; k < trend::Stamps; ++k) {
            const QDateTime t = t0.addMSecs(PeriodMs * trend::StampEvery * k);
            const int v[6] = {t.time().hour(),       t.time().minute(), t.time().second(),
                              t.date().year() % 100, t.date().month(),  t.date().day()};
            for (int i = 0; i < 6; ++i)
                img[trend::StampsAt + 6 * k + i] = char(v[i]);
        }
        state.ResumeTiming();
        const auto r = store->storeTrendPage(int(hour % 8), img, 3, Names, 0);
        if (r.kind != history::Stored::New) {
            state.SkipWithError(r.note.toStdString().c_str());
            return;
        }
        ++hour;
    }
}
BENCHMARK(BM_StoreTrendPage)->Unit(benchmark::kMillisecond);

// A month of 8 groups, made once for the two benchmarks below.
struct Month {
    QTemporaryDir dir;
    std::unique_ptr<history::HistoryStore> store;
    qint64 bytes = 0;
    Month()
    {
        app();
        QString error;
        const QString path = dir.filePath(QStringLiteral("month.sqlite"));
        store = history::HistoryStore::open(path, &error);
        if (!store)
            return;
        for (int h = 0; h < PagesPerMonth; ++h) {
            const QByteArray img = page(h);
            for (int g = 0; g < trend::Groups; ++g)
                store->storeTrendPage(g, img, 3, Names, 0);
        }
        // The file as it stands once the write-ahead log is folded in.
        store.reset();
        store = history::HistoryStore::open(path, &error);
        bytes = QFileInfo(path).size() + QFileInfo(path + QStringLiteral("-wal")).size();
    }
};

Month &month()
{
    static Month m;
    return m;
}

void BM_ReduceMonthTo1000Columns(benchmark::State &state)
{
    Month &m = month();
    if (!m.store) {
        state.SkipWithError("no store");
        return;
    }
    const qint64 from = Start.toMSecsSinceEpoch();
    const qint64 to = from + qint64(PagesPerMonth) * 3600000 - 1;
    int gaps = 0;
    for (auto _ : state) {
        const auto cols = m.store->reduce(0, from, to, 1000);
        gaps = int(std::count_if(cols.begin(), cols.end(), [](const history::Column &c) { return c.count == 0; }));
        benchmark::DoNotOptimize(cols.data());
    }
    state.counters["gaps"] = gaps;
    state.counters["samples"] = double(PagesPerMonth) * trend::Samples;
}
BENCHMARK(BM_ReduceMonthTo1000Columns)->Unit(benchmark::kMillisecond);

void BM_PanAMonthChartByAColumn(benchmark::State &state)
{
    Month &m = month();
    if (!m.store) {
        state.SkipWithError("no store");
        return;
    }
    history::HistoryChart chart(*m.store);
    chart.setColumnCount(904);   // the plot of the 1000-pixel window
    const qint64 from = Start.toMSecsSinceEpoch();
    chart.setRange(from, from + qint64(PagesPerMonth) * 3600000 - 1);
    int step = 1;
    for (auto _ : state) {
        // Back and forth, so the range stays over the stored month.
        chart.panColumns(step);
        step = -step;
        chart.refresh();
        benchmark::DoNotOptimize(chart.columns().data());
    }
}
BENCHMARK(BM_PanAMonthChartByAColumn)->Unit(benchmark::kMillisecond);

void BM_FileSizeOfAMonthOf8Groups(benchmark::State &state)
{
    Month &m = month();
    for (auto _ : state)
        benchmark::DoNotOptimize(m.bytes);
    state.counters["MB_per_month"] = double(m.bytes) / 1e6;
    state.counters["MB_per_year"] = double(m.bytes) / 1e6 * 365.0 / 30.0;
    state.counters["raw_MB_per_month"] = double(PagesPerMonth) * 8 * 4 * trend::Samples * 4 / 1e6;
}
BENCHMARK(BM_FileSizeOfAMonthOf8Groups)->Iterations(1);

}   // namespace

BENCHMARK_MAIN();
