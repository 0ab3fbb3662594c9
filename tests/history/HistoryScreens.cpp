// Renders the history window into PNG files (not a test): history_screens <folder>
// Three days of a boiler's trend group with an afternoon the link was down, journal records
// and operator actions; history.png shows the chart with the cursor, history-journal.png the
// journal tab searched by name.
#include "history/HistoryWindow.h"
#include "history/PageTimes.h"
#include "HistoryImages.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QMouseEvent>
#include <cmath>
#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Kotelnya-1.sqlite"));
    QString error;
    auto store = history::HistoryStore::open(file, &error);
    if (!store) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const history::Channels names{history::Channel{1, QStringLiteral("Температура води, °C")},
                                  {2, QStringLiteral("Тиск газу, мбар")},
                                  {3, QStringLiteral("Рівень у барабані, %")},
                                  {4, QStringLiteral("Розрідження, Па")}};
    const QDateTime start(QDate(2026, 12, 5), QTime(0, 0, 0), Qt::UTC);
    for (int hour = 0; hour < 72; ++hour) {
        // The link was down from 13:00 to 17:00 on the second day.
        if (hour >= 37 && hour < 41)
            continue;
        const auto value = [hour](int s, int c) {
            const double h = hour + s / 480.0;
            const double day = std::sin((h - 6) * M_PI / 12);
            switch (c) {
            case 0: return float(72 + 9 * day + 1.5 * std::sin(h * 5.1));
            case 1: return float(55 + 6 * day + 2 * std::sin(h * 2.3 + 1));
            case 2: return float(48 + 4 * std::sin(h * 0.9) + 1.2 * std::sin(h * 13));
            default: return float(22 + 3 * std::cos(h * 1.7) + std::sin(h * 31));
            }
        };
        const QByteArray img =
            historytest::valueImage(historytest::regularStamps(start.addSecs(3600 * hour), 7500), 480, value);
        const history::StoreResult r = store->storeTrendPage(0, img, hour % 102, names, 0);
        if (r.kind != history::Stored::New) {
            std::fprintf(stderr, "page %d: %s\n", hour, qPrintable(r.note));
            return 1;
        }
    }
    journal::Buffer buf{};
    struct Rec {
        int day, hour, minute, second;
        std::uint32_t flags;
    };
    const Rec recs[] = {{5, 6, 12, 4, 0x1},         {5, 6, 40, 51, 0x4}, {5, 14, 2, 9, 0x10}, {6, 9, 15, 0, 0x2},
                        {6, 12, 58, 30, 0x100},     {6, 17, 3, 12, 0x1}, {7, 2, 44, 7, 0x4},  {7, 8, 30, 0, 0x8},
                        {7, 11, 5, 45, 0x10 | 0x2}, {7, 19, 20, 18, 0x1}};
    for (std::size_t r = 0; r < std::size(recs); ++r) {
        const Rec &c = recs[r];
        const std::uint8_t bytes[10] = {std::uint8_t(c.second),
                                        std::uint8_t(c.minute),
                                        std::uint8_t(c.hour),
                                        std::uint8_t(c.day),
                                        12,
                                        26,
                                        std::uint8_t(c.flags & 0xFF),
                                        std::uint8_t(c.flags >> 8 & 0xFF),
                                        std::uint8_t(c.flags >> 16 & 0xFF),
                                        std::uint8_t(c.flags >> 24)};
        std::copy(bytes, bytes + 10, buf.begin() + 3 + 10 * std::ptrdiff_t(r));
    }
    buf[324] = 11;
    std::array<QString, 32> events;
    const char *eventNames[] = {
        "Аварія димососа",    "Аварія вентилятора",       "Низький рівень води в котлі",      "Високий тиск пари",
        "Загасання факела",   "Аварія живильного насоса", "Висока температура димових газів", "Низький тиск газу",
        "Немає живлення щита"};
    for (int n = 0; n < 32; ++n)
        events[std::size_t(n)] = n < 9 ? QString::fromUtf8(eventNames[n]) : QStringLiteral("Подія %1").arg(n + 1);
    if (store->storeJournalPage(buf, events, 0, &error) < 0) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const qint64 t0 = history::clockMs(start);
    store->logAction(t0 + 3600000LL * 8, QStringLiteral("operator"), QStringLiteral("project"),
                     QStringLiteral("Kotelnya.prt"));
    store->logAction(t0 + 3600000LL * 9, QStringLiteral("operator"), QStringLiteral("setpoint"),
                     QStringLiteral("block 12 pin 3: 70 -> 72, acknowledged"));
    store->logAction(t0 + 3600000LL * 30, QStringLiteral("operator"), QStringLiteral("export"),
                     QStringLiteral("Історія група 1.csv"));

    history::HistoryWindow w;
    w.resize(1000, 700);
    w.show();
    app.processEvents();
    if (!w.open(file))
        return 1;
    w.chart()->setRange(t0, t0 + 3 * 86400000LL - 1);
    w.refreshChart();
    app.processEvents();
    const QPointF at(80 + w.chart()->columnCount() * 2 / 5, 120);
    QMouseEvent move(QEvent::MouseMove, at, w.chartView->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w.chartView, &move);
    app.processEvents();
    bool ok = w.grab().save(out.filePath(QStringLiteral("history.png")));

    w.tabs->setCurrentIndex(1);
    w.journalSearch->setText(QStringLiteral("аварія"));
    app.processEvents();
    ok = w.grab().save(out.filePath(QStringLiteral("history-journal.png"))) && ok;
    return ok ? 0 : 1;
}
