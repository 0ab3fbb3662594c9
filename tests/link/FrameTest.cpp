#include "Answers.h"
#include "link/Frame.h"
#include "link/PollListener.h"

#include <gtest/gtest.h>

using answers::bytes;

namespace {

std::uint16_t crcOf(const char *text)
{
    return frame::crcOf(QByteArrayView(text));
}

TEST(Crc16, MatchesTheIndependentModbusCheckValues)
{
    EXPECT_EQ(crcOf("123456789"), 0x4B37);
    // Modbus "read one holding register" request 01 03 00 00 00 01, sent there as 84 0A.
    EXPECT_EQ(frame::crcOf(bytes({1, 3, 0, 0, 0, 1})), 0x0A84);
    EXPECT_EQ(frame::crcOf(QByteArrayView()), 0xFFFF);
}

TEST(Crc16, GoesOnTheWireHighByteFirst)
{
    EXPECT_EQ(frame::withCrc(bytes({1, 3, 0, 0, 0, 1})), bytes({1, 3, 0, 0, 0, 1, 0x0A, 0x84}));
}

TEST(Requests, KeyRequestWithNothingPendingIsTheEightKnownBytes)
{
    EXPECT_EQ(frame::withCrc(frame::keyRequest(1, 0, 0, 0, 0)), bytes({0x01, 0x46, 0x00, 0x00, 0x00, 0x00, 0x05, 0x88}));
}

TEST(Requests, KeyRequestElementByteIsTheLastPressedIndexModulo32MinusOne)
{
    EXPECT_EQ(frame::keyRequest(3, 5, 20, 0x35, 37), bytes({3, 70, 5, 20, 0x35, 4}));
    EXPECT_EQ(frame::keyRequest(3, 5, 20, 0x35, 33), bytes({3, 70, 5, 20, 0x35, 0}));
    EXPECT_EQ(frame::keyRequest(3, 5, 20, 0x35, 32), bytes({3, 70, 5, 20, 0x35, 0}));
    EXPECT_EQ(frame::keyRequest(3, 5, 20, 0x35, 63), bytes({3, 70, 5, 20, 0x35, 30}));
    EXPECT_EQ(frame::keyRequest(3, 5, 20, 0x35, -5), bytes({3, 70, 5, 20, 0x35, 0}));
}

TEST(Requests, ValueRequestWithOnePairCoversSeventyThreeBytesAndEndsF224)
{
    frame::Pairs pairs{};
    pairs[0] = {5, 2};
    const QByteArray request = frame::pairsRequest(1, frame::ReadValues, 2, pairs, {});
    ASSERT_EQ(request.size(), 73);
    const QByteArray wire = frame::withCrc(request);
    ASSERT_EQ(wire.size(), 75);
    EXPECT_EQ(wire.left(5), bytes({1, 71, 2, 5, 2}));
    EXPECT_EQ(wire.mid(5, 68), QByteArray(68, '\0'));
    EXPECT_EQ(wire.right(2), bytes({0xF2, 0x24}));
}

TEST(Requests, PairsRequestPlacesEveryPairAndTheTailInOrder)
{
    frame::Pairs pairs{};
    for (int s = 0; s < 32; ++s)
        pairs[s] = {static_cast<std::uint8_t>(s + 1), static_cast<std::uint8_t>(100 + s)};
    const QByteArray r = frame::pairsRequest(7, frame::ReadBytes, 6, pairs, {9, 8, 7, 6, 5, 4});
    ASSERT_EQ(r.size(), 73);
    EXPECT_EQ(r.left(3), bytes({7, 72, 6}));
    EXPECT_EQ(r.mid(3, 2), bytes({1, 100}));
    EXPECT_EQ(r.mid(3 + 62, 2), bytes({32, 131}));
    EXPECT_EQ(r.right(6), bytes({9, 8, 7, 6, 5, 4}));
}

TEST(Answers, CheckAcceptsTheCrcHighByteFirstAndRejectsItSwapped)
{
    const QByteArray good = answers::values(0);
    EXPECT_TRUE(frame::checkAnswer(good, 131));
    EXPECT_FALSE(frame::checkAnswer(answers::swapCrc(good, 131), 131));
    QByteArray flipped = good;
    flipped[50] = static_cast<char>(flipped[50] ^ 0x01);
    EXPECT_FALSE(frame::checkAnswer(flipped, 131));
    EXPECT_TRUE(frame::checkAnswer(answers::states(1), 35));
}

TEST(Answers, CheckOfAnAnswerTooShortForItsCrcFailsWithoutReadingPastIt)
{
    const QByteArray good = answers::states(0);
    EXPECT_FALSE(frame::checkAnswer(good.left(36), 35));
    EXPECT_TRUE(frame::checkAnswer(good.left(37), 35));
    EXPECT_FALSE(frame::checkAnswer(QByteArray(), 35));
    EXPECT_FALSE(frame::checkAnswer(good, -1));
}

TEST(Answers, ValuesDecodeAsLittleEndianTwosComplementThousandths)
{
    const std::uint8_t minusThousand[] = {0x18, 0xFC, 0xFF, 0xFF};
    EXPECT_EQ(frame::decodeThousandths(minusThousand), -1000);
    EXPECT_EQ(valueText(frame::decodeThousandths(minusThousand)), QStringLiteral("-1"));
    const std::uint8_t big[] = {0x40, 0xE2, 0x01, 0x00};
    EXPECT_EQ(frame::decodeThousandths(big), 123456);
    const std::uint8_t lowest[] = {0x00, 0x00, 0x00, 0x80};
    EXPECT_EQ(frame::decodeThousandths(lowest), INT32_MIN);
    const std::uint8_t highest[] = {0xFF, 0xFF, 0xFF, 0x7F};
    EXPECT_EQ(frame::decodeThousandths(highest), INT32_MAX);
}

TEST(Answers, SlotOneValueStartsAtTheFourthByteAndSlot32EndsBeforeTheCrc)
{
    std::array<std::int32_t, 32> v{};
    v[0] = -1000;
    v[31] = 77;
    const QByteArray a = answers::values(0, v);
    EXPECT_EQ(a.mid(3, 4), bytes({0x18, 0xFC, 0xFF, 0xFF}));
    EXPECT_EQ(frame::slotValue(a, 1), -1000);
    EXPECT_EQ(frame::slotValue(a, 32), 77);
    std::array<std::uint8_t, 32> s{};
    s[0] = 5;
    s[31] = 9;
    const QByteArray b = answers::states(0, s);
    EXPECT_EQ(frame::slotByte(b, 1), 5);
    EXPECT_EQ(frame::slotByte(b, 32), 9);
}

} // namespace
