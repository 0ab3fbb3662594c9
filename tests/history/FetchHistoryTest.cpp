// tablo-fetch history: the CSV it writes from a history file, and the command lines it refuses.
#include "fixture/NetWriter.h"
#include "fixture/PrtWriter.h"
#include "history/HistoryStore.h"
#include "history/PageTimes.h"
#include "HistoryImages.h"
#include "support/FetchRun.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A project on COM1: the history commands must not need the port.
QString writeProject(const QTemporaryDir &dir)
{
    fixture::PrtProject p;
    p.linkKind = 1;
    p.controllerAddress = 3;
    p.elements.blockType[98] = 41;
    const QString prt = dir.filePath(QStringLiteral("plant.prt"));
    if (!fixture::writePrt(prt, p))
        return {};
    std::array<fixture::NamedPair, 32> ch;
    for (int n = 0; n < 32; ++n)
        ch[std::size_t(n)] = {0.0, 100.0, QStringLiteral("Канал %1").arg(n)};
    fixture::NetList net;
    net.parts.push_back(
        fixture::part(98, QStringLiteral("GRA"), fixture::archiveValues(1, QStringLiteral("Котельня"), ch)));
    if (!fixture::writeNet(dir.filePath(QStringLiteral("plant.net")), net))
        return {};
    return prt;
}

QStringList csvLines(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {QStringLiteral("<no file>")};
    const QByteArray raw = f.readAll();
    if (!raw.startsWith("\xEF\xBB\xBF"))
        return {QStringLiteral("<no byte-order mark>")};
    return QString::fromUtf8(raw.mid(3)).split(QStringLiteral("\r\n"));
}

TEST(FetchHistory, WritesTheStoredTrendAndJournalAsCsv)
{
    coreApp();
    QTemporaryDir dir;
    const QString prt = writeProject(dir);
    ASSERT_FALSE(prt.isEmpty());
    const QString file = dir.filePath(QStringLiteral("h.sqlite"));
    {
        QString error;
        auto store = history::HistoryStore::open(file, &error);
        ASSERT_TRUE(store) << error.toStdString();
        const QDateTime seven(QDate(2024, 3, 5), QTime(7, 0, 0), Qt::UTC);
        QByteArray img = historytest::image(historytest::regularStamps(seven, 7500), 480);
        // Sample 1 of channel 3 as 0x3F7FFFFF, which the controller's decoding takes for 1.
        img[4 * (4 + 3)] = char(0xFF);
        img[4 * (4 + 3) + 1] = char(0xFF);
        img[4 * (4 + 3) + 2] = char(0x7F);
        img[4 * (4 + 3) + 3] = char(0x3F);
        const history::Channels names{history::Channel{0, QStringLiteral("Температура")},
                                      {1, QStringLiteral("Тиск, кПа")},
                                      {2, QStringLiteral("Рівень")},
                                      {3, QStringLiteral("Витрата")}};
        ASSERT_EQ(int(store->storeTrendPage(4, img, 12, names, 0).kind), int(history::Stored::New));
        journal::Buffer buf{};
        const std::uint8_t rec[10] = {9, 5, 7, 5, 3, 24, 0x01, 0, 0, 0x80};
        std::copy(rec, rec + 10, buf.begin() + 13);
        buf[324] = 6;
        std::array<QString, 32> events;
        events[0] = QStringLiteral("Пуск");
        events[31] = QStringLiteral("Аварія \"Котел 1\"");
        ASSERT_EQ(store->storeJournalPage(buf, events, 0), 1);
        ASSERT_TRUE(store->logAction(history::clockMs(seven), QStringLiteral("op"), QStringLiteral("setpoint"),
                                     QStringLiteral("block 5 pin 2: 1.5 -> 2, acknowledged")));
    }

    const QString csv = dir.filePath(QStringLiteral("t.csv"));
    const auto r = fixture::runFetch(
        {prt, QStringLiteral("history"), QStringLiteral("trend"), QStringLiteral("--group"), QStringLiteral("5"),
         QStringLiteral("--from"), QStringLiteral("2024-03-05 07:00:00"), QStringLiteral("--to"),
         QStringLiteral("2024-03-05 07:00:15"), QStringLiteral("--history"), file, QStringLiteral("--csv"), csv});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(csvLines(csv),
              (QStringList{
                  QStringLiteral("Час,Температура,\"Тиск, кПа\",Рівень,Витрата"),
                  QStringLiteral("2024-03-05 07:00:00.000,0.125,0.25,-0.5,1"),
                  QStringLiteral("2024-03-05 07:00:07.500,0.25,0.5,-1,1"),
                  QStringLiteral("2024-03-05 07:00:15.000,0.5,1,-2,4"),
                  QString(),
              }));

    const QString jcsv = dir.filePath(QStringLiteral("j.csv"));
    const auto j = fixture::runFetch({prt, QStringLiteral("history"), QStringLiteral("journal"),
                                      QStringLiteral("--history"), file, QStringLiteral("--csv"), jcsv});
    ASSERT_EQ(j.exitCode, 0) << j.err.toStdString();
    EXPECT_EQ(csvLines(jcsv),
              (QStringList{
                  QStringLiteral("Дата і час,Сторінка,Рядок,Подія,Назва"),
                  QStringLiteral("2024-03-05 07:05:09,7,2,1,Пуск"),
                  QStringLiteral("2024-03-05 07:05:09,7,2,32,\"Аварія \"\"Котел 1\"\"\""),
                  QString(),
              }));

    const QString acsv = dir.filePath(QStringLiteral("a.csv"));
    const auto a = fixture::runFetch({prt, QStringLiteral("history"), QStringLiteral("actions"),
                                      QStringLiteral("--history"), file, QStringLiteral("--csv"), acsv});
    ASSERT_EQ(a.exitCode, 0) << a.err.toStdString();
    EXPECT_EQ(csvLines(acsv),
              (QStringList{
                  QStringLiteral("Дата і час,Користувач,Дія,Опис"),
                  QStringLiteral("2024-03-05 07:00:00.000,op,setpoint,\"block 5 pin 2: 1.5 -> 2, acknowledged\""),
                  QString(),
              }));

    // Refused before anything is read or written.
    struct Bad {
        QStringList args;
        const char *reason;
    };
    const QString out = dir.filePath(QStringLiteral("never.csv"));
    const Bad bad[] = {
        {{QStringLiteral("trend"), QStringLiteral("--group"), QStringLiteral("9"), QStringLiteral("--csv"), out},
         "unknown group"},
        {{QStringLiteral("trend"), QStringLiteral("--csv"), out}, "needs --group"},
        {{QStringLiteral("journal"), QStringLiteral("--from"), QStringLiteral("2024-03-06 00:00:00"),
          QStringLiteral("--to"), QStringLiteral("2024-03-05 00:00:00"), QStringLiteral("--csv"), out},
         "is after --to"},
        {{QStringLiteral("actions"), QStringLiteral("--from"), QStringLiteral("2024-13-01 00:00:00"),
          QStringLiteral("--csv"), out},
         "bad date"},
        {{QStringLiteral("journal"), QStringLiteral("--group"), QStringLiteral("1"), QStringLiteral("--csv"), out},
         "unknown history journal option"},
        {{QStringLiteral("alarms"), QStringLiteral("--csv"), out}, "unknown history"},
        {{QStringLiteral("journal")}, "needs --csv"},
    };
    for (const Bad &b : bad) {
        SCOPED_TRACE(b.reason);
        const auto run = fixture::runFetch(QStringList{prt, QStringLiteral("history")} + b.args);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.err.contains(QLatin1String(b.reason))) << run.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(out));
    // A history that is not there is not made.
    const QString missing = dir.filePath(QStringLiteral("none.sqlite"));
    const auto m = fixture::runFetch({prt, QStringLiteral("history"), QStringLiteral("journal"),
                                      QStringLiteral("--history"), missing, QStringLiteral("--csv"), out});
    EXPECT_EQ(m.exitCode, 3);
    EXPECT_TRUE(m.err.contains(QStringLiteral("no history %1").arg(missing))) << m.err.toStdString();
    EXPECT_FALSE(QFile::exists(missing));
}

}   // namespace
