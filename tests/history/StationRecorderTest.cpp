// What the running station writes into its history: the pages its windows download, alarms,
// and the operator's actions, set-point writes with their fate.
#include "history/StationRecorder.h"
#include "station/Station.h"
#include "HistoryImages.h"
#include "support/QtTestApp.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <limits>

namespace {

constexpr qint64 Always = std::numeric_limits<qint64>::max();

struct Rig {
    QTemporaryDir dir;
    Station station;
    ManualClock wall{1709622000000LL};
    history::StationRecorder recorder{station, wall, QStringLiteral("оператор")};
    QStringList problems;

    Rig()
    {
        coreApp();
        station.project.projectName = QStringLiteral("Котельня");
        station.project.controllerAddress = 3;
        recorder.problem = [this](const QString &why) { problems << why; };
    }
    QString path() const { return dir.filePath(QStringLiteral("h.sqlite")); }
    bool open()
    {
        QString error;
        const bool ok = recorder.open(path(), &error);
        EXPECT_TRUE(ok) << error.toStdString();
        return ok;
    }
    QStringList actionTexts(const QString &kind) const
    {
        QStringList out;
        for (const auto &a : recorder.store()->actions(0, Always))
            if (a.kind == kind) {
                EXPECT_EQ(a.user, QStringLiteral("оператор"));
                out << a.text;
            }
        return out;
    }
    void pending(int block, int pin, float value, int flag)
    {
        station.write.block = std::uint8_t(block);
        station.write.pin = std::uint8_t(pin);
        station.write.value = value;
        station.write.flag = std::int16_t(flag);
    }
};

TEST(StationRecorder, SetPointWritesAreLoggedOnceTheirFateIsKnown)
{
    struct Case {
        const char *what;
        std::function<void(Rig &)> run;
        QStringList expected;
    };
    const std::vector<Case> cases = {
        {"acknowledged by the controller",
         [](Rig &r) {
             r.pending(5, 2, 2.0f, 1);
             r.recorder.setPointWritten(5, 2, QStringLiteral("1,5"), 2.0f);
             r.recorder.watch(r.station.write);
             r.station.write.flag = 0;
             r.recorder.watch(r.station.write);
             r.recorder.watch(r.station.write);
         },
         {QStringLiteral("block 5 pin 2: 1.5 -> 2, acknowledged")}},
        {"replaced by a second write, which is then acknowledged",
         [](Rig &r) {
             r.pending(5, 2, 2.0f, 1);
             r.recorder.setPointWritten(5, 2, QStringLiteral("1.5"), 2.0f);
             r.recorder.watch(r.station.write);
             r.pending(5, 2, 3.0f, 1);
             r.recorder.setPointWritten(5, 2, QStringLiteral("1.5"), 3.0f);
             r.recorder.watch(r.station.write);
             r.station.write.flag = 0;
             r.recorder.watch(r.station.write);
         },
         {QStringLiteral("block 5 pin 2: 1.5 -> 2, not acknowledged"),
          QStringLiteral("block 5 pin 2: 1.5 -> 3, acknowledged")}},
        {"the project closed before the acknowledgement, old value unknown",
         [](Rig &r) {
             r.pending(7, 0, -0.25f, 1);
             r.recorder.setPointWritten(7, 0, QString(), -0.25f);
             r.recorder.watch(r.station.write);
         },
         {QStringLiteral("block 7 pin 0: ? -> -0.25, not acknowledged")}},
        {"still pending: nothing logged yet",
         [](Rig &r) {
             r.pending(5, 2, 2.0f, 1);
             r.recorder.setPointWritten(5, 2, QStringLiteral("1.5"), 2.0f);
             r.recorder.watch(r.station.write);
         },
         {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Rig r;
        ASSERT_TRUE(r.open());
        c.run(r);
        if (c.expected.isEmpty()) {
            EXPECT_TRUE(r.actionTexts(QStringLiteral("setpoint")).isEmpty());
            continue;
        }
        // A close settles what is still open; the store is read back afterwards.
        r.recorder.close();
        QString error;
        auto store = history::HistoryStore::open(r.path(), &error, history::HistoryStore::Mode::Read);
        ASSERT_TRUE(store) << error.toStdString();
        QStringList texts;
        for (const auto &a : store->actions(0, Always))
            if (a.kind == QLatin1String("setpoint"))
                texts << a.text;
        EXPECT_EQ(texts, c.expected);
    }
}

TEST(StationRecorder, DownloadedPagesAlarmsAndActionsLandInTheStoreOnce)
{
    Rig r;
    ASSERT_TRUE(r.open());
    // A full archive page of group 3 in the receive image as the trend download leaves it
    // (the answers from index 1, their two header bytes first); stamps every 60 samples 7.5 s
    // apart.
    const QByteArray img = historytest::image(
        historytest::regularStamps(QDateTime(QDate(2024, 3, 5), QTime(7, 0, 0), Qt::UTC), 7500), 480);
    std::copy(img.begin(), img.end(), r.station.poll.Graf_Image.begin() + 3);
    int storedCalls = 0;
    r.recorder.stored = [&](qint64 ms) {
        EXPECT_EQ(ms, r.wall.nowMs());
        ++storedCalls;
    };
    r.recorder.trendPageDownloaded(3, 17);
    r.wall.advance(10000);
    r.recorder.trendPageDownloaded(3, 17);   // the same page again
    EXPECT_EQ(storedCalls, 2);
    EXPECT_EQ(r.recorder.store()->pageCount(), 1);
    const auto samples = r.recorder.store()->samples(3, 0, Always);
    ASSERT_EQ(samples.size(), 480u);
    // Sample 61 of the page: 61 periods after the first stamp; channel c holds +-2^((61+c)%8-3).
    EXPECT_EQ(samples[61].ms - samples[0].ms, 61 * 7500);
    EXPECT_EQ(samples[61].values[2], -16.0f);
    EXPECT_EQ(samples[61].values[0], 4.0f);

    r.recorder.alarmAnnounced(31, QStringLiteral("Аварія насоса"));
    r.recorder.alarmAcknowledged(31, QStringLiteral("Аварія насоса"));
    r.recorder.action(QStringLiteral("key"), QStringLiteral("block 12 key 3"));
    EXPECT_EQ(r.actionTexts(QStringLiteral("key")), QStringList{QStringLiteral("block 12 key 3")});
    EXPECT_TRUE(r.problems.isEmpty()) << r.problems.join(QLatin1Char('\n')).toStdString();

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("peek"));
    db.setDatabaseName(r.path());
    ASSERT_TRUE(db.open());
    {
        QSqlQuery q(QStringLiteral("SELECT kind, event, name FROM alarm ORDER BY id"), db);
        QStringList rows;
        while (q.next())
            rows << q.value(0).toString() + QLatin1Char(' ') + q.value(1).toString() + QLatin1Char(' ')
                    + q.value(2).toString();
        EXPECT_EQ(rows,
                  (QStringList{QStringLiteral("announced 31 Аварія насоса"),
                               QStringLiteral("acknowledged 31 Аварія насоса")}));
    }
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("peek"));
}

TEST(StationRecorder, AHistoryThatCannotBeOpenedRecordsNothingAndSaysWhy)
{
    Rig r;
    QFile blocker(r.dir.filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QString error;
    // A folder that cannot be made: its parent is a plain file.
    EXPECT_FALSE(r.recorder.open(r.dir.filePath(QStringLiteral("file/h.sqlite")), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(r.recorder.isOpen());
    r.recorder.trendPageDownloaded(0, 200);
    r.recorder.action(QStringLiteral("key"), QStringLiteral("block 1 key 1"));
    r.recorder.alarmAnnounced(1, QStringLiteral("x"));
    EXPECT_TRUE(r.problems.isEmpty());
}

}   // namespace
