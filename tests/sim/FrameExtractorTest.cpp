// Cutting request frames out of a byte stream that may be split, padded with garbage or broken.
#include "SimWire.h"

#include "sim/FrameExtractor.h"

#include <gtest/gtest.h>

using namespace simtest;

namespace {

QByteArray keyFrame(int code) { return frame({1, 70, 0, 29, code, 0}); }

std::vector<QByteArray> drain(sim::FrameExtractor &x, qint64 now)
{
    std::vector<QByteArray> out;
    while (auto f = x.next(now))
        out.push_back(*f);
    return out;
}

}   // namespace

TEST(FrameExtractor, FramesSplitAnywhereAreJoinedAndBackToBackFramesSeparated)
{
    sim::FrameExtractor x;
    const QByteArray values = pairsFrame(1, 71, 2, {{5, 2}});
    const QByteArray all = keyFrame(1) + values + keyFrame(2);
    for (int cut = 1; cut < all.size(); cut += 7) {
        x.push(all.left(cut), 0);
        auto got = drain(x, 0);
        x.push(all.mid(cut), 1);
        const auto rest = drain(x, 1);
        got.insert(got.end(), rest.begin(), rest.end());
        ASSERT_EQ(got.size(), 3u) << "cut at " << cut;
        EXPECT_EQ(got[0], keyFrame(1));
        EXPECT_EQ(got[1], values);
        EXPECT_EQ(got[2], keyFrame(2));
        EXPECT_EQ(x.buffered(), 0);
    }
}

TEST(FrameExtractor, GarbageAndFramesWithABadCrcAreSkippedAndCounted)
{
    sim::FrameExtractor x;
    QByteArray bad = keyFrame(3);
    bad[7] = char(bad[7] ^ 1);
    const QByteArray junk = QByteArray::fromHex("00FF13");   // 0x13 is no command
    x.push(junk + bad + keyFrame(4), 0);
    const auto got = drain(x, 0);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0], keyFrame(4));
    EXPECT_EQ(x.takeSkipped(), junk.size() + bad.size());
    EXPECT_EQ(x.takeSkipped(), 0);
}

TEST(FrameExtractor, ALookalikeHeaderIsWaitedForUntilItGoesStale)
{
    sim::FrameExtractor x(100);
    // "01 47" promises a 75-byte frame; the real frame after it is short.
    x.push(QByteArray::fromHex("0147") + keyFrame(5), 1000);
    EXPECT_FALSE(x.next(1000));
    EXPECT_EQ(x.deadline(), 1100);
    EXPECT_FALSE(x.next(1099));
    const auto got = drain(x, 1100);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0], keyFrame(5));
    EXPECT_EQ(x.deadline(), -1);
}

TEST(FrameExtractor, AStreamOfGarbageKeepsTheBufferBounded)
{
    sim::FrameExtractor x(100, 1000);
    QByteArray junk(600, char(0x47));   // every byte looks like the command of a long frame
    for (int i = 0; i < 20; ++i) {
        x.push(junk, i);
        drain(x, i);
        EXPECT_LE(x.buffered(), 1000);
    }
    x.push(keyFrame(6), 10000);
    const auto got = drain(x, 10200);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0], keyFrame(6));
}
