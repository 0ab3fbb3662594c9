#include "link/SetPoint.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using Bytes = std::array<std::uint8_t, 4>;

TEST(SetPointEncoding, IsSignAndMagnitudeThousandthsLowByteFirst)
{
    EXPECT_EQ(setpoint::encode(-1.5f), (Bytes{0xDC, 0x05, 0x00, 0x80}));
    EXPECT_EQ(setpoint::encode(1.5f), (Bytes{0xDC, 0x05, 0x00, 0x00}));
    EXPECT_EQ(setpoint::encode(0.0f), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(setpoint::encode(123456.789f), (Bytes{0x15, 0xCD, 0x5B, 0x07}));   // 123456789
    EXPECT_EQ(setpoint::encode(-1000000.0f), (Bytes{0x00, 0xCA, 0x9A, 0xBB}));   // 10^9 = 0x3B9ACA00
}

TEST(SetPointEncoding, TakesTheThousandfoldInDoublePrecision)
{
    // The float nearest 0.0005 lies slightly above it; float arithmetic would give 0.
    EXPECT_EQ(setpoint::encode(*setpoint::parseValue(u"0.0005")), (Bytes{1, 0, 0, 0}));
    EXPECT_EQ(setpoint::encode(-0.0004f), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(setpoint::encode(0.0625f), (Bytes{63, 0, 0, 0}));   // exact half: away from zero
}

TEST(SetPointEncoding, FailsWhenTheMagnitudeDoesNotFitThirtyOneBits)
{
    EXPECT_TRUE(setpoint::encode(2147483.5f).has_value());   // 2147483.5 is a float; 2147483500
    EXPECT_FALSE(setpoint::encode(2147484.0f).has_value());
    EXPECT_FALSE(setpoint::encode(-2147484.0f).has_value());
    EXPECT_FALSE(setpoint::encode(std::numeric_limits<float>::infinity()).has_value());
    EXPECT_FALSE(setpoint::encode(std::numeric_limits<float>::quiet_NaN()).has_value());
}

TEST(SetPointAccept, StoresTargetValueAndBytesAndMarksTheWritePending)
{
    PendingWrite w;
    EXPECT_TRUE(setpoint::accept(w, 7, 3, u"-1.5"));
    EXPECT_EQ(w.flag, 1);
    EXPECT_EQ(w.block, 7);
    EXPECT_EQ(w.pin, 3);
    EXPECT_EQ(w.value, -1.5f);
    EXPECT_EQ(w.bytes, (Bytes{0xDC, 0x05, 0x00, 0x80}));
    EXPECT_TRUE(setpoint::accept(w, 9, 1, u"0"));
    EXPECT_EQ(w.block, 9);
    EXPECT_EQ(w.value, 0.0f);
    EXPECT_EQ(w.bytes, (Bytes{0, 0, 0, 0}));
}

// The operator types a decimal comma as often as a point; anything else in the box is refused
// and leaves the earlier write as it was.
TEST(SetPointAccept, TakesTheDecimalCommaOrPointAndRefusesAnyOtherText)
{
    struct Case {
        const char16_t *text;
        bool taken;
        Bytes bytes;   // thousandths, sign-and-magnitude, low byte first
    };
    const Case cases[] = {
        {u"1,4", true, {0x78, 0x05, 0x00, 0x00}},   // 1400
        {u"1.4", true, {0x78, 0x05, 0x00, 0x00}},
        {u" -12,5 ", true, {0xD4, 0x30, 0x00, 0x80}},   // -12500
        {u"+0,25", true, {0xFA, 0x00, 0x00, 0x00}},     // 250
        {u",5", true, {0xF4, 0x01, 0x00, 0x00}},        // 500
        {u"7,", true, {0x58, 0x1B, 0x00, 0x00}},        // 7000
        {u"2147483", true, {0x78, 0xFD, 0xFF, 0x7F}},   // 2147483000
        {u"1,4,5", false, {}},
        {u"1.4abc", false, {}},
        {u" 12 ,5", false, {}},
        {u"1.4,5", false, {}},
        {u"12,5 x", false, {}},
        {u"", false, {}},
        {u"   ", false, {}},
        {u"-", false, {}},
        {u",", false, {}},
        {u"abc", false, {}},
        {u"1e3", false, {}},
        {u"--1", false, {}},
        {u"2147484", false, {}},   // beyond what the controller takes
        {u"-5000000", false, {}},
    };
    for (const Case &c : cases) {
        const QString text = QString::fromUtf16(c.text);
        SCOPED_TRACE(text.toStdString());
        PendingWrite w;
        ASSERT_TRUE(setpoint::accept(w, 4, 2, u"9"));
        const PendingWrite before = w;
        EXPECT_EQ(setpoint::accept(w, 7, 3, text), c.taken);
        if (c.taken) {
            EXPECT_EQ(w.block, 7);
            EXPECT_EQ(w.pin, 3);
            EXPECT_EQ(w.bytes, c.bytes);
        } else {
            EXPECT_EQ(w.block, before.block);
            EXPECT_EQ(w.pin, before.pin);
            EXPECT_EQ(w.bytes, before.bytes);
            EXPECT_EQ(w.value, before.value);
        }
        EXPECT_EQ(w.flag, 1);
    }
}

TEST(SetPointAccept, AValueThatCannotBeEncodedLeavesTheEarlierWriteExactlyAsItWas)
{
    PendingWrite w;
    ASSERT_TRUE(setpoint::accept(w, 7, 3, u"2.5"));
    const PendingWrite before = w;
    EXPECT_FALSE(setpoint::accept(w, 9, 1, u"5000000"));
    EXPECT_EQ(w.flag, before.flag);
    EXPECT_EQ(w.block, before.block);
    EXPECT_EQ(w.pin, before.pin);
    EXPECT_EQ(w.value, before.value);
    EXPECT_EQ(w.bytes, before.bytes);

    PendingWrite none;
    EXPECT_FALSE(setpoint::accept(none, 9, 1, u"-99999999"));
    EXPECT_EQ(none.flag, 0);
    EXPECT_EQ(none.block, 0);
}

TEST(SetPointTypes, OnlyTheSettableBlockTypesTakeASetPoint)
{
    for (int t : {25, 26, 31, 35, 36, 38, 45, 46})
        EXPECT_TRUE(setpoint::typeAccepts(t)) << t;
    for (int t : {0, 1, 2, 24, 27, 30, 37, 47, 48, 50, 51})
        EXPECT_FALSE(setpoint::typeAccepts(t)) << t;

    // The same eight and no other type of the catalogue: navigation labels and the dialog
    // both go by this list.
    std::vector<int> settable;
    for (int t = 0; t <= 50; ++t)
        if (setpoint::typeAccepts(t))
            settable.push_back(t);
    EXPECT_EQ(settable, (std::vector<int>{25, 26, 31, 35, 36, 38, 45, 46}));
}

}   // namespace
