// The history store over a sequence of downloads (dedup, completion, runs beside conflicting
// history), its queries, bad files, and a writer killed in the middle of its work.
#include "history/HistoryPath.h"
#include "station/Station.h"
#include "history/HistoryStore.h"
#include "history/StationHistory.h"
#include "HistoryImages.h"
#include "support/QtTestApp.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <csignal>
#include <limits>
#include <sys/resource.h>

namespace {

using history::Stored;
using historytest::image;
using historytest::regularStamps;

const QDateTime Seven(QDate(2024, 3, 5), QTime(7, 0, 0), Qt::UTC);
const qint64 SevenMs = 1709622000000LL;

float value(int s, int c, int shift = 0)
{
    const float v = float(1 << ((s + c + shift) % 8)) / 8.0f;
    return c == 2 ? -v : v;
}

history::Channels names(const QString &first)
{
    return {history::Channel{3, first},
            {4, QStringLiteral("Тиск")},
            {5, QStringLiteral("Рівень")},
            {6, QStringLiteral("Витрата")}};
}

std::unique_ptr<history::HistoryStore> openStore(const QString &path)
{
    QString error;
    auto s = history::HistoryStore::open(path, &error);
    EXPECT_TRUE(s) << error.toStdString();
    return s;
}

TEST(HistoryStore, DownloadsOfOnePageAreStoredOnceCompletedAndConflictsKeptBeside)
{
    coreApp();
    QTemporaryDir dir;
    auto store = openStore(dir.filePath(QStringLiteral("h.sqlite")));
    ASSERT_TRUE(store);
    const auto stamps = regularStamps(Seven, 7500);
    const auto nextHour = regularStamps(Seven.addSecs(3600), 7500);
    const auto setBack = regularStamps(Seven.addSecs(1800), 7500);   // clock set back half an hour
    struct Step {
        const char *what;
        QByteArray image;
        int page;
        Stored kind;
        int samples;
        qint64 pages;   // pages stored after the step
    };
    const Step steps[] = {
        {"current page, 30 samples, no period yet", image(stamps, 30), 200, Stored::New, 1, 1},
        {"the same current page with 100 samples", image(stamps, 100), 200, Stored::Completed, 100, 1},
        {"again with 100", image(stamps, 100), 200, Stored::Duplicate, 100, 1},
        {"again with 90, fewer", image(stamps, 90), 200, Stored::Duplicate, 90, 1},
        {"now an archive page", image(stamps, 17), 7, Stored::Completed, 480, 1},
        {"the archive page again", image(stamps, 480), 7, Stored::Duplicate, 480, 1},
        {"the next page, current, 30 samples: the period of the group", image(nextHour, 30), 200, Stored::New, 30, 2},
        {"the ring cleared: other values at the same times", image(stamps, 480, 3), 9, Stored::NewRun, 480, 3},
        {"that page again", image(stamps, 480, 3), 9, Stored::Duplicate, 480, 3},
        {"the clock set back over both pages", image(setBack, 480, 1), 8, Stored::NewRun, 480, 4},
        {"hour 25 on the first stamp", image(regularStamps(Seven.addDays(1), 7500), 480), 3, Stored::Rejected, 0, 4},
    };
    std::vector<qint64> ids;
    for (const Step &s : steps) {
        SCOPED_TRACE(s.what);
        QByteArray img = s.image;
        if (s.kind == Stored::Rejected)
            img[7698] = char(25);
        const auto r = store->storeTrendPage(2, img, s.page, names(QStringLiteral("Температура")), 1);
        EXPECT_EQ(int(r.kind), int(s.kind)) << r.note.toStdString();
        EXPECT_EQ(r.samples, s.samples);
        EXPECT_EQ(store->pageCount(), s.pages);
        ids.push_back(r.pageId);
    }
    EXPECT_EQ(ids[1], ids[0]);
    EXPECT_EQ(ids[4], ids[0]);

    const auto conflicts = store->conflicts();
    ASSERT_EQ(conflicts.size(), 4u);
    EXPECT_EQ(conflicts[0].pageId, ids[7]);
    EXPECT_EQ(conflicts[0].otherId, ids[0]);
    EXPECT_TRUE(conflicts[0].reason.contains(QLatin1String("other values"))) << conflicts[0].reason.toStdString();
    // The page set back overlaps the first page, the run beside it and the next hour's page.
    const qint64 others[] = {ids[0], ids[7], ids[6]};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(conflicts[std::size_t(k + 1)].pageId, ids[9]);
        EXPECT_EQ(conflicts[std::size_t(k + 1)].otherId, others[k]);
        EXPECT_TRUE(conflicts[std::size_t(k + 1)].reason.contains(QLatin1String("times overlap")));
    }

    // The first page as it was first stored, then the run beside it with its own values.
    const auto first = store->samples(2, SevenMs, SevenMs + 15000);
    ASSERT_EQ(first.size(), 6u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(first[std::size_t(i)].ms, SevenMs + 7500 * i);
        EXPECT_EQ(first[std::size_t(3 + i)].ms, SevenMs + 7500 * i);
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(first[std::size_t(i)].values[std::size_t(c)], value(i, c));
            EXPECT_EQ(first[std::size_t(3 + i)].values[std::size_t(c)], value(i, c, 3));
        }
    }
    // Other groups hold nothing.
    EXPECT_TRUE(store->samples(3, SevenMs, SevenMs + 7200000).empty());
    // After 08:00: samples 241..479 of the page set back (from 07:30), then the next hour's
    // current page, its 30 samples at the period of the page before.
    const auto next = store->samples(2, SevenMs + 3600000 + 1, SevenMs + 7200000);
    ASSERT_EQ(next.size(), 239u + 29u);
    EXPECT_EQ(next.front().ms, SevenMs + 1800000 + 241 * 7500);
    EXPECT_EQ(next.front().values[0], value(241, 0, 1));
    EXPECT_EQ(next[239].ms, SevenMs + 3600000 + 7500);
    EXPECT_EQ(next.back().ms, SevenMs + 3600000 + 29 * 7500);
    EXPECT_EQ(store->integrityCheck(), QStringLiteral("ok"));
}

TEST(HistoryStore, ReducesARangeToColumnsWithGapsAndKeepsJournalRecordsOnce)
{
    coreApp();
    QTemporaryDir dir;
    auto store = openStore(dir.filePath(QStringLiteral("h.sqlite")));
    ASSERT_TRUE(store);
    // Pages at 07:00 and 09:00; the hour between has no samples.
    ASSERT_EQ(
        int(store->storeTrendPage(0, image(regularStamps(Seven, 7500), 480), 1, names(QStringLiteral("a")), 0).kind),
        int(Stored::New));
    ASSERT_EQ(int(store
                      ->storeTrendPage(0, image(regularStamps(Seven.addSecs(7200), 7500), 480, 1), 2,
                                       names(QStringLiteral("b")), 0)
                      .kind),
              int(Stored::New));
    // 07:00..10:00 in 6 columns of half an hour: 240 samples each, where there are any.
    const auto cols = store->reduce(0, SevenMs, SevenMs + 3 * 3600000 - 1, 6);
    ASSERT_EQ(cols.size(), 6u);
    const int counts[] = {240, 240, 0, 0, 240, 240};
    for (int k = 0; k < 6; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(cols[std::size_t(k)].count, counts[k]);
        if (counts[k] == 0)
            continue;
        // Powers of two 1/8..16 on every channel, negative on channel 2.
        EXPECT_EQ(cols[std::size_t(k)].min[0], 0.125f);
        EXPECT_EQ(cols[std::size_t(k)].max[0], 16.0f);
        EXPECT_EQ(cols[std::size_t(k)].min[2], -16.0f);
        EXPECT_EQ(cols[std::size_t(k)].max[2], -0.125f);
    }
    // The channels each page recorded.
    const auto sets = store->channels(0, SevenMs, SevenMs + 3 * 3600000);
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(sets[0][0].name, QStringLiteral("a"));
    EXPECT_EQ(sets[1][0].name, QStringLiteral("b"));
    EXPECT_EQ(sets[1][0].param, 3);

    // A journal page: record 0 with events 0 and 9, record 1 with event 31, record 2 empty,
    // record 3 dated month 13.
    journal::Buffer buf{};
    const std::uint8_t rec0[10] = {9, 5, 7, 5, 3, 24, 0x01, 0x02, 0, 0};
    const std::uint8_t rec1[10] = {0, 6, 7, 5, 3, 24, 0, 0, 0, 0x80};
    const std::uint8_t rec3[10] = {0, 6, 7, 5, 13, 24, 1, 0, 0, 0};
    std::copy(rec0, rec0 + 10, buf.begin() + 3);
    std::copy(rec1, rec1 + 10, buf.begin() + 13);
    std::copy(rec3, rec3 + 10, buf.begin() + 33);
    buf[324] = 4;
    std::array<QString, 32> events;
    for (int n = 0; n < 32; ++n)
        events[std::size_t(n)] = QStringLiteral("Подія %1").arg(n);
    QString error;
    EXPECT_EQ(store->storeJournalPage(buf, events, 0, &error), 2) << error.toStdString();
    events[9] = QStringLiteral("renamed later");
    EXPECT_EQ(store->storeJournalPage(buf, events, 0, &error), 0) << error.toStdString();
    const auto all = store->journalEvents(0, SevenMs + 86400000);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].ms, SevenMs + 5 * 60000 + 9000);
    EXPECT_EQ(all[0].page, 4);
    EXPECT_EQ(all[0].row, 0);
    EXPECT_EQ(all[0].event, 0);
    EXPECT_EQ(all[1].event, 9);
    EXPECT_EQ(all[1].name, QStringLiteral("Подія 9"));
    EXPECT_EQ(all[2].row, 1);
    EXPECT_EQ(all[2].event, 31);
    const auto only = store->journalEvents(0, SevenMs + 86400000, 31);
    ASSERT_EQ(only.size(), 1u);
    EXPECT_EQ(only[0].name, QStringLiteral("Подія 31"));
    EXPECT_TRUE(store->journalEvents(SevenMs + 5 * 60000 + 10000, SevenMs + 86400000, 0).empty());

    ASSERT_TRUE(store->logAction(SevenMs, QStringLiteral("op"), QStringLiteral("setpoint"),
                                 QStringLiteral("block 5 pin 2: 1.5 -> 2, acknowledged")));
    ASSERT_TRUE(store->storeAlarm(SevenMs, history::AlarmKind::Announced, 3, QStringLiteral("Подія 3")));
    const auto acts = store->actions(SevenMs, SevenMs);
    ASSERT_EQ(acts.size(), 1u);
    EXPECT_EQ(acts[0].kind, QStringLiteral("setpoint"));
    history::ReportRow row{QStringLiteral("09/03/24"), QStringLiteral("07:05:00"), {}};
    EXPECT_EQ(store->storeReportRows({row, row}, 0), 1);
    EXPECT_EQ(store->storeReportRows({row}, 0), 0);
}

TEST(HistoryStore, BadFilesGiveAReasonAndAreLeftAsTheyWere)
{
    coreApp();
    QTemporaryDir dir;
    const auto write = [&](const QString &name, const QByteArray &bytes) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    };
    // A store of a newer program, and an SQLite file of another one.
    const QString newer = dir.filePath(QStringLiteral("newer.sqlite"));
    openStore(newer).reset();
    const QString other = dir.filePath(QStringLiteral("other.sqlite"));
    {
        auto db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
        db.setDatabaseName(newer);
        ASSERT_TRUE(db.open());
        QSqlQuery(db).exec(QStringLiteral("UPDATE tablo_schema SET version = 7"));
        db.close();
        db.setDatabaseName(other);
        ASSERT_TRUE(db.open());
        QSqlQuery(db).exec(QStringLiteral("CREATE TABLE t (x INTEGER)"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
    QDir(dir.path()).mkdir(QStringLiteral("folder"));
    struct Case {
        const char *what;
        QString path;
        const char *reason;
    };
    const Case cases[] = {
        {"text file", write(QStringLiteral("notes.sqlite"), "these are notes, not a database\n"),
         "is no history file (not an SQLite database)"},
        {"SQLite header, garbage after",
         write(QStringLiteral("cut.sqlite"), QByteArray("SQLite format 3\0", 16) + QByteArray(600, 'x')),
         "no history file"},
        {"newer schema", newer, "schema version 7, newer than version 1"},
        {"another program's database", other, "no history file of this station"},
        {"a folder", dir.filePath(QStringLiteral("folder")), "is a folder"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QFile f(c.path);
        const QByteArray before = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        f.close();
        QString error;
        EXPECT_FALSE(history::HistoryStore::open(c.path, &error));
        EXPECT_TRUE(error.contains(QLatin1String(c.reason))) << error.toStdString();
        EXPECT_TRUE(error.contains(c.path)) << error.toStdString();
        QFile g(c.path);
        EXPECT_EQ(g.open(QIODevice::ReadOnly) ? g.readAll() : QByteArray(), before);
    }

    // Locked by another writer: the page is refused with the reason, nothing half stored.
    const QString path = dir.filePath(QStringLiteral("locked.sqlite"));
    auto store = openStore(path);
    ASSERT_TRUE(store);
    {
        auto db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("locker"));
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery lock(db);
        ASSERT_TRUE(lock.exec(QStringLiteral("BEGIN EXCLUSIVE")));
        const auto r = store->storeTrendPage(0, image(regularStamps(Seven, 7500), 480), 1, {}, 0);
        EXPECT_EQ(int(r.kind), int(Stored::Failed));
        EXPECT_TRUE(r.note.contains(QLatin1String("locked by another program"))) << r.note.toStdString();
        QString error;
        EXPECT_FALSE(history::HistoryStore::open(path, &error));
        EXPECT_TRUE(error.contains(QLatin1String("locked"))) << error.toStdString();
        lock.exec(QStringLiteral("ROLLBACK"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("locker"));
    EXPECT_EQ(store->pageCount(), 0);
    EXPECT_EQ(int(store->storeTrendPage(0, image(regularStamps(Seven, 7500), 480), 1, {}, 0).kind), int(Stored::New));
    EXPECT_EQ(store->integrityCheck(), QStringLiteral("ok"));
}

TEST(HistoryStore, AWriterKilledMidPageLeavesASoundFileOfWholePages)
{
    coreApp();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("killed.sqlite"));
    QProcess writer;
    writer.setProgram(QDir(qEnvironmentVariable("TABLO_BUILD_DIR")).filePath(QStringLiteral("history_writer")));
    writer.setArguments({path});
    writer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    writer.start();
    ASSERT_TRUE(writer.waitForStarted(10000));
    // Until it has written a good number of pages (the file appears with its first one).
    QElapsedTimer waited;
    waited.start();
    qint64 pages = 0;
    bool ended = false;
    while (pages < 200 && waited.elapsed() < 60000 && !ended) {
        if (QFile::exists(path)) {
            QString error;
            if (auto probe = history::HistoryStore::open(path, &error))
                pages = probe->pageCount();
        }
        ended = writer.waitForFinished(20);
    }
    ASSERT_FALSE(ended) << "the writer stopped by itself";
    ASSERT_GE(pages, 200);
    writer.kill();   // SIGKILL
    ASSERT_TRUE(writer.waitForFinished(10000));

    auto store = openStore(path);
    ASSERT_TRUE(store);
    EXPECT_EQ(store->integrityCheck(), QStringLiteral("ok"));
    const qint64 stored = store->pageCount();
    EXPECT_GE(stored, pages);
    // Every page is whole: 480 samples of its values, an hour after the one before.
    const qint64 start = 1704067200000LL;   // 2024-01-01 00:00:00
    for (int g = 0; g < 8; ++g) {
        const auto s = store->samples(g, start, start + stored * 3600000);
        const qint64 ofGroup = (stored - g + 7) / 8;
        ASSERT_EQ(qint64(s.size()), 480 * ofGroup) << g;
        for (std::size_t i = 0; i < s.size(); i += 479) {
            EXPECT_EQ(s[i].ms, start + 3600000LL * (g + 8 * qint64(i / 480)) + 7500 * qint64(i % 480));
            EXPECT_EQ(s[i].values[1], value(int(i % 480), 1));
        }
    }
    EXPECT_GE(qint64(store->actions(0, stored).size()), stored - 1);
}

TEST(HistoryStore, AFullDiskRefusesThePageWithTheReasonAndLeavesTheFileSound)
{
    coreApp();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("full.sqlite"));
    QProcess writer;
    writer.setProgram(QDir(qEnvironmentVariable("TABLO_BUILD_DIR")).filePath(QStringLiteral("history_writer")));
    writer.setArguments({path});
    // Files of the child may not grow past 1 MB: the disk is full for it (SQLite takes the
    // refused write for an I/O error; a full disk it names as such).
    writer.setChildProcessModifier([] {
        const rlimit limit{1 << 20, 1 << 20};
        setrlimit(RLIMIT_FSIZE, &limit);
        signal(SIGXFSZ, SIG_IGN);
    });
    writer.start();
    ASSERT_TRUE(writer.waitForStarted(10000));
    ASSERT_TRUE(writer.waitForFinished(60000));
    EXPECT_EQ(writer.exitCode(), 1);
    const QString err = QString::fromLocal8Bit(writer.readAllStandardError());
    EXPECT_TRUE(err.contains(QStringLiteral("history %1: cannot write to the disk").arg(path))) << err.toStdString();

    auto store = openStore(path);
    ASSERT_TRUE(store);
    EXPECT_EQ(store->integrityCheck(), QStringLiteral("ok"));
    const qint64 stored = store->pageCount();
    EXPECT_GT(stored, 10);
    const auto s = store->samples(0, 0, std::numeric_limits<qint64>::max());
    EXPECT_EQ(qint64(s.size()), 480 * ((stored + 7) / 8));
}

TEST(StationHistory, NamesAndRowsAsTheStationHoldsThem)
{
    Station st;
    st.project.blockTextBase[98] = 100;
    st.project.blockTexts[101 + 7] = QStringLiteral("Тиск");
    st.project.blockTexts[101 + 200] = QStringLiteral("Рівень");
    st.project.Event_Base = 500;
    st.project.blockTexts[531] = QStringLiteral("Аварія");
    QByteArray img(7872, '\0');
    img[7808 + 4 * 3 + 1] = char(7);
    img[7808 + 4 * 3 + 2] = char(200);
    const auto ch = history::trendChannels(st, 3, img);
    EXPECT_EQ(ch[0].param, 0);
    EXPECT_EQ(ch[1].param, 7);
    EXPECT_EQ(ch[1].name, QStringLiteral("Тиск"));
    EXPECT_EQ(ch[2].param, 200);
    EXPECT_EQ(ch[2].name, QStringLiteral("Рівень"));
    EXPECT_EQ(history::journalEventNames(st)[31], QStringLiteral("Аварія"));
    st.report.Rep_Table[4][0] = QStringLiteral("09/03/24");
    st.report.Rep_Table[4][1] = QStringLiteral("07:05:00");
    st.report.Rep_Table[4][17] = QVariant::fromValue(2.5f);
    const auto rows = history::reportRows(st);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].date, QStringLiteral("09/03/24"));
    EXPECT_EQ(rows[0].values[15], 2.5f);
    EXPECT_EQ(history::setPointText(5, 2, 1.5f, 0.1f, true), QStringLiteral("block 5 pin 2: 1.5 -> 0.1, acknowledged"));
    EXPECT_EQ(history::setPointText(5, 2, -3.0f, 2.0f, false),
              QStringLiteral("block 5 pin 2: -3 -> 2, not acknowledged"));
}

TEST(HistoryPath, OneFilePerProjectAndControllerUnderTheUsersDataFolder)
{
    const auto env = [](std::map<QString, QString> vars) {
        return [vars](const QString &name) {
            const auto it = vars.find(name);
            return it == vars.end() ? QString() : it->second;
        };
    };
    EXPECT_EQ(history::defaultHistoryPath(QStringLiteral("Котельня"), 3,
                                          env({{QStringLiteral("HOME"), QStringLiteral("/home/op")}})),
              QStringLiteral("/home/op/.local/share/tablo/history/Котельня-3.sqlite"));
    EXPECT_EQ(history::defaultHistoryPath(QStringLiteral(" a/b "), 1,
                                          env({{QStringLiteral("HOME"), QStringLiteral("/home/op")},
                                               {QStringLiteral("XDG_DATA_HOME"), QStringLiteral("/data")}})),
              QStringLiteral("/data/tablo/history/a_b-1.sqlite"));
    EXPECT_EQ(history::defaultHistoryPath(QStringLiteral(".."), 1,
                                          env({{QStringLiteral("HOME"), QStringLiteral("/home/op")},
                                               {QStringLiteral("XDG_DATA_HOME"), QStringLiteral("relative")}})),
              QStringLiteral("/home/op/.local/share/tablo/history/project-1.sqlite"));
}

}   // namespace
