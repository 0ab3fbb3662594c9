// The spool in front of a real PostgreSQL server: pages spooled while the server is down go
// over in the order they came once it is back, each page stored once; a forward cut between
// the server's commit and the row's removal repeats harmlessly.
#include "collect/Spool.h"
#include "history/HistoryImages.h"
#include "history/HistoryStore.h"
#include "support/PgScratch.h"
#include "support/QtTestApp.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using history::Stored;

#define REQUIRE_PG()                                                                                                   \
    if (const auto why = PgScratch::unavailable()) {                                                                   \
        if (!qEnvironmentVariableIsSet("CI"))                                                                          \
            GTEST_SKIP() << "no PostgreSQL here: " << why->toStdString();                                              \
        FAIL() << "CI needs the PostgreSQL tests: " << why->toStdString();                                             \
    }

history::Channels channels()
{
    return {history::Channel{3, QStringLiteral("Температура")},
            {4, QStringLiteral("Тиск")},
            {5, QStringLiteral("Рівень")},
            {6, QStringLiteral("Витрата")}};
}

// An archive page of 480 samples 7.5 s apart from `hour` o'clock on 2024-03-05.
QByteArray page(int hour)
{
    const QDateTime start(QDate(2024, 3, 5), QTime(hour, 0), Qt::UTC);
    return historytest::image(historytest::regularStamps(start, 7500), 480);
}

// Records 0 and 1 with events 0 and 9, and 31; record 2 empty.
journal::Buffer journalPage()
{
    journal::Buffer buf{};
    const std::uint8_t rec0[10] = {9, 5, 7, 5, 3, 24, 0x01, 0x02, 0, 0};
    const std::uint8_t rec1[10] = {0, 6, 7, 5, 3, 24, 0, 0, 0, 0x80};
    std::copy(rec0, rec0 + 10, buf.begin() + 3);
    std::copy(rec1, rec1 + 10, buf.begin() + 13);
    buf[324] = 2;
    return buf;
}

std::array<QString, 32> eventNames()
{
    std::array<QString, 32> names;
    for (int n = 0; n < 32; ++n)
        names[std::size_t(n)] = QStringLiteral("Подія %1").arg(n);
    return names;
}

QString query(PgScratch &pg, const QString &sql)
{
    QString out;
    EXPECT_TRUE(pg.psql(sql, &out)) << out.toStdString() << pg.error().toStdString();
    return out;
}

}   // namespace

TEST(CollectSpool, PagesWaitWhileTheServerIsDownGoInOrderOnceBackAndAreStoredOnceEvenWhenForwardedTwice)
{
    REQUIRE_PG();
    coreApp();
    PgScratch pg;
    ASSERT_TRUE(pg.start()) << pg.error().toStdString();
    QString error;
    auto server =
        history::HistoryStore::open(pg.uri(), &error, history::HistoryStore::Mode::Write, QStringLiteral("Plant-1"));
    ASSERT_TRUE(server) << error.toStdString();
    pg.stop();

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("spool/plant.spool"));
    auto spool = collect::Spool::open(path, &error);
    ASSERT_TRUE(spool) << error.toStdString();
    // Group 1 at 7 h, group 2 at 7 h, the journal, group 1 at 8 h, group 1 at 7 h once more.
    ASSERT_TRUE(spool->addTrend(0, page(7), 1, channels(), 1, &error)) << error.toStdString();
    ASSERT_TRUE(spool->addTrend(1, page(7), 1, channels(), 2, &error)) << error.toStdString();
    ASSERT_TRUE(spool->addJournal(journalPage(), eventNames(), 3, &error)) << error.toStdString();
    ASSERT_TRUE(spool->addTrend(0, page(8), 2, channels(), 4, &error)) << error.toStdString();
    ASSERT_TRUE(spool->addTrend(0, page(7), 1, channels(), 5, &error)) << error.toStdString();
    EXPECT_EQ(spool->pending(), 5);

    // The server is down: nothing leaves the spool.
    collect::Spool::Forwarded f = spool->forward(*server, 50);
    EXPECT_TRUE(f.failed);
    EXPECT_FALSE(f.error.isEmpty());
    EXPECT_EQ(f.pages, 0);
    EXPECT_EQ(spool->pending(), 5);

    // Back: everything goes, in order; the page downloaded twice is kept once.
    ASSERT_TRUE(pg.restart()) << pg.error().toStdString();
    f = spool->forward(*server, 50);
    EXPECT_FALSE(f.failed) << f.error.toStdString();
    EXPECT_EQ(f.pages, 5);
    ASSERT_TRUE(f.lastTrend);
    EXPECT_EQ(int(f.lastTrend->kind), int(Stored::Duplicate));
    EXPECT_EQ(spool->pending(), 0);
    EXPECT_EQ(
        query(pg, "SELECT string_agg(grp || ':' || page || '@' || downloaded_ms, ' ' ORDER BY id) FROM trend_page"),
        QStringLiteral("0:1@1 1:1@2 0:2@4"));
    EXPECT_EQ(query(pg,
                    "SELECT count(*) || ' ' || count(DISTINCT (grp, at_ms, channel)) FROM trend_samples"
                    " WHERE controller = 'Plant-1'"),
              QStringLiteral("5760 5760"));
    EXPECT_EQ(query(pg,
                    "SELECT string_agg(event || ' ' || name, ', ' ORDER BY at_ms, event) FROM journal_events"
                    " WHERE controller = 'Plant-1'"),
              QStringLiteral("0 Подія 0, 9 Подія 9, 31 Подія 31"));

    // A page stored on the server, then the process gone before its row left the spool.
    ASSERT_TRUE(spool->addTrend(0, page(9), 3, channels(), 6, &error)) << error.toStdString();
    ASSERT_TRUE(spool->addJournal(journalPage(), eventNames(), 7, &error)) << error.toStdString();
    spool->beforeRemove = [] { return false; };
    f = spool->forward(*server, 50);
    EXPECT_FALSE(f.failed) << f.error.toStdString();
    EXPECT_EQ(f.pages, 0);
    spool.reset();
    EXPECT_EQ(query(pg, "SELECT count(*) FROM trend_page"), QStringLiteral("4"));

    spool = collect::Spool::open(path, &error);
    ASSERT_TRUE(spool) << error.toStdString();
    EXPECT_EQ(spool->pending(), 2);
    f = spool->forward(*server, 50);
    EXPECT_FALSE(f.failed) << f.error.toStdString();
    EXPECT_EQ(f.pages, 2);
    ASSERT_TRUE(f.lastTrend);
    EXPECT_EQ(int(f.lastTrend->kind), int(Stored::Duplicate));
    EXPECT_EQ(spool->pending(), 0);
    EXPECT_EQ(
        query(pg, "SELECT string_agg(grp || ':' || page || '@' || downloaded_ms, ' ' ORDER BY id) FROM trend_page"),
        QStringLiteral("0:1@1 1:1@2 0:2@4 0:3@6"));
    EXPECT_EQ(query(pg,
                    "SELECT count(*) || ' ' || count(DISTINCT (grp, at_ms, channel)) FROM trend_samples"
                    " WHERE controller = 'Plant-1'"),
              QStringLiteral("7680 7680"));
    EXPECT_EQ(query(pg, "SELECT count(*) FROM journal_events WHERE controller = 'Plant-1'"), QStringLiteral("3"));
}

// A spool that reaches its bound refuses the next page as on a full disk, says so, and keeps
// every page it took; with room again it takes pages again.
TEST(CollectSpool, AFullSpoolRefusesThePageSaysSoAndKeepsWhatItHad)
{
    coreApp();
    QTemporaryDir dir;
    QString error;
    auto spool = collect::Spool::open(dir.filePath(QStringLiteral("full.spool")), &error);
    ASSERT_TRUE(spool) << error.toStdString();
    ASSERT_TRUE(spool->setMaxBytes(96 * 1024, &error)) << error.toStdString();
    int taken = 0;
    bool full = false;
    for (int i = 0; i < 40 && !full; ++i) {
        if (spool->addTrend(0, page(7), 1, channels(), i, &error, &full))
            ++taken;
        else
            ASSERT_TRUE(full) << error.toStdString();
    }
    ASSERT_TRUE(full) << "96 kB should not hold 40 pages of 7 872 bytes";
    EXPECT_GT(taken, 0);
    EXPECT_LT(taken, 12);
    EXPECT_TRUE(
        error.startsWith(QStringLiteral("spool ") + dir.filePath(QStringLiteral("full.spool")) + QStringLiteral(": ")))
        << error.toStdString();
    EXPECT_TRUE(error.contains(QLatin1String("full"))) << error.toStdString();
    EXPECT_EQ(spool->pending(), taken);

    ASSERT_TRUE(spool->setMaxBytes(0, &error)) << error.toStdString();
    EXPECT_TRUE(spool->addJournal(journalPage(), eventNames(), 99, &error, &full)) << error.toStdString();
    EXPECT_FALSE(full);
    EXPECT_EQ(spool->pending(), taken + 1);
}
