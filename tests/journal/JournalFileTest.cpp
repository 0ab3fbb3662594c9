// The .jur file: what a saved page looks like, the round trip of every stored position, and
// files that must not load.
#include "JournalFixtures.h"
#include "journal/JournalFile.h"
#include "text/LineFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <set>

namespace {

QByteArray lines(const QStringList &l)
{
    return text::encode1251(l.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

TEST(JournalFile, SavesPageAndBytesAndReadsEveryPositionBack)
{
    const auto &order = journal::Jurnal_Order();
    EXPECT_EQ(std::set<int>(order.begin(), order.end()).size(), 330u);
    EXPECT_EQ(*std::min_element(order.begin(), order.end()), 0);
    EXPECT_EQ(*std::max_element(order.begin(), order.end()), 329);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Журнал подій 1.jur"));
    journal::Buffer buf{};
    for (int k = 0; k <= 330; ++k)
        buf[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>((k * 37 + 11) % 256);
    ASSERT_TRUE(journal::saveJur(path, 2, buf));

    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    const QList<QByteArray> got = bytes.split('\n');
    ASSERT_EQ(got.size(), 333);   // 332 lines and the empty rest after the last line end
    EXPECT_EQ(got[0], " 3 \r");
    EXPECT_EQ(got[1], text::encode1251(QStringLiteral("********** Таблиця аварій **********\r")));
    // Line 3 + i holds position order[i]: every value written once, in the scrambled order.
    for (int i = 0; i < 330; ++i) {
        const int pos = order[static_cast<std::size_t>(i)];
        ASSERT_EQ(got[2 + i], QByteArray(" ") + QByteArray::number((pos * 37 + 11) % 256) + " \r") << i;
    }

    const auto loaded = journal::loadJur(path);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->page, 2);
    for (int k = 0; k < 330; ++k)
        ASSERT_EQ(loaded->buf[static_cast<std::size_t>(k)], (k * 37 + 11) % 256) << "position " << k;
    EXPECT_EQ(loaded->buf[330], 0) << "position 330 is not stored";
}

TEST(JournalFile, DamagedFilesDoNotLoad)
{
    QStringList good{QStringLiteral("32"), QStringLiteral("any title")};
    for (int i = 0; i < 330; ++i)
        good << QStringLiteral("  %1\t").arg(i % 256);
    struct Case {
        const char *name;
        QByteArray content;
        bool loads;
    };
    const auto with = [&](int line, const QString &v) {
        QStringList l = good;
        l[line] = v;
        return lines(l);
    };
    const Case cases[] = {
        {"good, blanks around the numbers", lines(good), true},
        {"empty", QByteArray(), false},
        {"page 0", with(0, QStringLiteral("0")), false},
        {"page 33", with(0, QStringLiteral("33")), false},
        {"page not a number", with(0, QStringLiteral("три")), false},
        {"byte 256", with(200, QStringLiteral("256")), false},
        {"byte negative", with(3, QStringLiteral("-1")), false},
        {"byte not a number", with(331, QStringLiteral("x")), false},
        {"short", lines(good.mid(0, 200)), false},
        {"binary garbage", QByteArray(5000, '\xff'), false},
    };
    QTemporaryDir dir;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QStringLiteral("t.jur"));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(c.content);
        f.close();
        QString why;
        const auto loaded = journal::loadJur(path, &why);
        EXPECT_EQ(loaded.has_value(), c.loads);
        EXPECT_EQ(why.isEmpty(), c.loads);
        if (loaded) {
            EXPECT_EQ(loaded->page, 31);
            EXPECT_EQ(loaded->buf[static_cast<std::size_t>(journal::Jurnal_Order()[5])], 5);
        }
    }
    EXPECT_FALSE(journal::loadJur(dir.filePath(QStringLiteral("missing.jur"))));
}

}   // namespace
