#include "text/Numbers.h"

#include <gtest/gtest.h>
#include <bit>
#include <random>

using namespace text;

TEST(Val, TakesTheLongestLeadingNumberAndIgnoresTheRest)
{
    EXPECT_EQ(val(u"12abc"), 12.0);
    EXPECT_EQ(val(u"  -3.5 x"), -3.5);
    EXPECT_EQ(val(u"1e3"), 1000.0);
    EXPECT_EQ(val(u"1e"), 1.0);
    EXPECT_EQ(val(u".5"), 0.5);
    EXPECT_EQ(val(u"12,5"), 12.0);
    EXPECT_EQ(val(u""), 0.0);
    EXPECT_EQ(val(u"abc"), 0.0);
    EXPECT_EQ(val(u"-"), 0.0);
    EXPECT_EQ(val(u"1e999999"), std::numeric_limits<double>::max());
    EXPECT_EQ(val(u"1e-999999"), 0.0);
}

TEST(WholeLineConversions, RoundToNearestAndReportFailures)
{
    EXPECT_EQ(toInt16(u" 12 "), 12);
    EXPECT_EQ(toInt16(u"2.6"), 3);
    EXPECT_EQ(toInt16(u"-2.6"), -3);
    EXPECT_EQ(toInt16(u"32767"), 32767);
    EXPECT_FALSE(toInt16(u"32768"));
    EXPECT_FALSE(toInt16(u"12abc"));
    EXPECT_FALSE(toInt16(u""));
    EXPECT_EQ(toInt32(u"-2147483648"), INT32_MIN);
    EXPECT_FALSE(toInt32(u"2147483648"));
    EXPECT_EQ(toByte(u"255"), 255);
    EXPECT_FALSE(toByte(u"256"));
    EXPECT_FALSE(toByte(u"-1"));
    EXPECT_EQ(toByte(u"-0.4"), 0);
}

TEST(NumericOutput, PutsSignOrBlankBeforeAndBlankAfter)
{
    EXPECT_EQ(formatNumber(std::int64_t{12}), " 12 ");
    EXPECT_EQ(formatNumber(std::int64_t{-3}), "-3 ");
    EXPECT_EQ(formatNumber(std::int64_t{0}), " 0 ");
    EXPECT_EQ(formatNumber(0.1f), " 0.1 ");
    EXPECT_EQ(formatNumber(-2.5f), "-2.5 ");
}

TEST(NumericOutput, EveryFloatReadsBackAsTheSameFloat)
{
    std::mt19937 rng(7);
    for (int i = 0; i < 20000; ++i) {
        const float f = std::bit_cast<float>(static_cast<std::uint32_t>(rng()));
        if (!std::isfinite(f))
            continue;
        const float back = static_cast<float>(val(formatNumber(f)));
        ASSERT_EQ(std::bit_cast<std::uint32_t>(back), std::bit_cast<std::uint32_t>(f) & (f == 0 ? 0u : ~0u))
            << formatNumber(f).toStdString();
    }
}

TEST(FormatByte, PadsBelowTen)
{
    EXPECT_EQ(formatByte(0), "00");
    EXPECT_EQ(formatByte(7), "07");
    EXPECT_EQ(formatByte(10), "10");
    EXPECT_EQ(formatByte(200), "200");
}
