#include "Answers.h"
#include "link/Frame.h"
#include "link/PollListener.h"

#include <gtest/gtest.h>

using answers::bytes;

namespace {

std::uint16_t crcOf(const char *text) { return frame::crcOf(QByteArrayView(text)); }

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
    EXPECT_EQ(frame::withCrc(frame::keyRequest(1, 0, 0, 0, 0)),
              bytes({0x01, 0x46, 0x00, 0x00, 0x00, 0x00, 0x05, 0x88}));
}

TEST(Requests, KeyRequestElementByteIsTheLastPressedIndexModulo32MinusOne)
{
    EXPECT_EQ(frame::keyRequest(3, 5, 20, 0x35, 37), bytes({3, 70, 5, 20, 0x35, 4}));
    EXPECT_EQ(frame::keyRequest(3, 5, 20, 0x35, 32), bytes({3, 70, 5, 20, 0x35, 0}));
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

}   // namespace

TEST(Answers, ArchiveWordsDecodeWithTheDivisor8388607)
{
    // Expected values worked out by hand from 2^(e-127) * (1 + m/8388607) * sign.
    const struct {
        std::uint32_t word;
        float value;
    } cases[] = {
        {0x3F800000u, 1.0f},      {0xBF800000u, -1.0f},      {0x3F7FFFFFu, 1.0f},   // e 126, m/8388607 = 1
        {0x40000000u, 2.0f},      {0x3F000000u, 0.5f},       {0xC1200000u, -10.0f},
        {0x00000000u, 0x1p-127f}, {0x80000000u, -0x1p-127f},
    };
    for (const auto &c : cases)
        EXPECT_EQ(frame::DECODE_REAL(c.word), c.value) << std::hex << c.word;
    const std::uint8_t bytes[] = {0x00, 0x00, 0x80, 0x3F};
    EXPECT_EQ(frame::archiveWord(bytes), 0x3F800000u);
}
