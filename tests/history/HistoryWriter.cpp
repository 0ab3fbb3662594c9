// history_writer PATH: stores one trend page after another (an hour apart, 7.5 s samples) and
// a journal page and an action with each, until it is killed. The kill test's child.
#include "history/HistoryStore.h"
#include "HistoryImages.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    QString error;
    auto store = history::HistoryStore::open(QString::fromLocal8Bit(argv[1]), &error);
    if (!store) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const QDateTime start(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC);
    history::Channels channels;
    std::array<QString, 32> names;
    for (int i = 0;; ++i) {
        const QDateTime t = start.addSecs(3600LL * i);
        const auto r =
            store->storeTrendPage(i % 8, historytest::image(historytest::regularStamps(t, 7500), 480), 5, channels, 0);
        if (r.kind != history::Stored::New) {
            std::fprintf(stderr, "page %d: %s\n", i, qPrintable(r.note));
            return 1;
        }
        journal::Buffer buf{};
        buf[3] = 1;
        buf[5] = std::uint8_t(t.time().hour());
        buf[6] = std::uint8_t(t.date().day());
        buf[7] = std::uint8_t(t.date().month());
        buf[8] = 24;
        buf[9] = 1;
        if (store->storeJournalPage(buf, names, 0, &error) < 0
            || !store->logAction(i, QStringLiteral("op"), QStringLiteral("key"), QStringLiteral("F1"), &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
    }
}
