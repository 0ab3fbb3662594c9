#include "link/KeyRepeat.h"
#include "station/Station.h"
#include <gtest/gtest.h>
#include <memory>

namespace {

class KeyRepeatTest : public ::testing::Test {
protected:
    KeyRepeatTest() : station(std::make_unique<Station>()), keys(*station) {}

    ControlRec &control(int page, int slot) { return station->project.controls[std::size_t(page)][std::size_t(slot)]; }
    void placeKey(int page, int slot, int block, int key, int picture, int left = 0, int top = 0)
    {
        ControlRec &rec = control(page, slot);
        rec.present = 1;
        rec.block = std::uint8_t(block);
        rec.key = std::uint8_t(key);
        rec.picture = std::uint8_t(picture);
        rec.left = std::int16_t(left);
        rec.top = std::int16_t(top);
    }
    void acknowledge()   // what the polling cycle does on status 1
    {
        station->key.block = 0;
        station->key.code = 0;
    }

    std::unique_ptr<Station> station;
    KeyRepeat keys;
};

TEST_F(KeyRepeatTest, TimerRunsFromStartAndFirstTickRearmsEmptyKeyEvery40ms)
{
    EXPECT_TRUE(keys.enabled());
    EXPECT_EQ(keys.interval(), 500);
    keys.tick();
    EXPECT_TRUE(keys.enabled());
    EXPECT_EQ(keys.interval(), 40);
    EXPECT_EQ(station->key.block, 0);
    EXPECT_EQ(station->key.code, 0);
}

TEST_F(KeyRepeatTest, TicksBeforeAnyPressNeverInventAKeyFromSlotZero)
{
    // Slot 0 is the template slot; even a record marked present there is no pressable key.
    placeKey(0, 0, 7, 3, 1);
    keys.tick();
    keys.tick();
    EXPECT_EQ(station->key.block, 0);
    EXPECT_EQ(station->key.code, 0);
}

TEST_F(KeyRepeatTest, PressSetsKeyCodePositionAndIndexFromTheRecordOfTheCurrentPage)
{
    placeKey(2, 5, 12, 2, 4, 300, 513);
    placeKey(0, 5, 40, 1, 1);   // same slot on another page: must not be used
    station->project.currentPage = 2;
    keys.press(2 * 32 + 5);
    EXPECT_EQ(station->key.block, 12);
    EXPECT_EQ(station->key.code, 4 * 16 + 2);
    EXPECT_EQ(station->key.elementIndex, 69);
    const std::array<std::uint8_t, 4> position{44, 1, 1, 2};
    EXPECT_EQ(station->key.position, position);
    EXPECT_TRUE(keys.enabled());
}

TEST_F(KeyRepeatTest, KeyCodeWrapsToOneByteAndNegativePositionIsTwosComplement)
{
    placeKey(0, 1, 3, 3, 17, -2, -256);
    keys.press(1);
    EXPECT_EQ(station->key.code, (17 * 16 + 3) & 0xFF);
    const std::array<std::uint8_t, 4> position{0xFE, 0xFF, 0x00, 0xFF};
    EXPECT_EQ(station->key.position, position);
}

TEST_F(KeyRepeatTest, HeldKeyIsRearmedEvery40msAfterTheFirstDelay)
{
    placeKey(0, 3, 12, 2, 4);
    keys.press(3);
    EXPECT_EQ(keys.interval(), 500);   // first press: the start interval is still set
    acknowledge();
    keys.tick();
    EXPECT_EQ(keys.interval(), 40);
    EXPECT_EQ(station->key.block, 12);
    EXPECT_EQ(station->key.code, 66);
    acknowledge();
    keys.tick();
    EXPECT_EQ(station->key.block, 12);
    EXPECT_EQ(station->key.code, 66);
}

TEST_F(KeyRepeatTest, ReleaseStopsRepeatingButLeavesAnUnacknowledgedKeyPending)
{
    placeKey(0, 3, 12, 2, 4);
    keys.press(3);
    keys.tick();
    keys.release();
    EXPECT_FALSE(keys.enabled());
    EXPECT_EQ(keys.interval(), 1000);
    EXPECT_EQ(station->key.block, 12);
    EXPECT_EQ(station->key.code, 66);

    acknowledge();
    keys.tick();   // a stray tick of a stopped timer changes nothing
    EXPECT_EQ(station->key.block, 0);
    EXPECT_EQ(keys.interval(), 1000);
}

TEST_F(KeyRepeatTest, NextPressWaits1000msBeforeRepeating)
{
    placeKey(0, 3, 12, 2, 4);
    keys.press(3);
    keys.release();
    keys.press(3);
    EXPECT_TRUE(keys.enabled());
    EXPECT_EQ(keys.interval(), 1000);
    keys.tick();
    EXPECT_EQ(keys.interval(), 40);
}

TEST_F(KeyRepeatTest, TouKeySendsItsOwnKeyNumberAndIsNotRepeatedWhileHeld)
{
    station->project.blockType[20] = 50;
    placeKey(0, 4, 20, 5, 3);
    keys.press(4);
    EXPECT_EQ(station->key.block, 20);
    EXPECT_EQ(station->key.code, 5);
    keys.tick();
    EXPECT_EQ(keys.interval(), 500);   // nothing done while the TOU key is pending
    EXPECT_EQ(station->key.code, 5);

    acknowledge();
    keys.tick();
    keys.tick();
    EXPECT_EQ(station->key.block, 0) << "an acknowledged TOU key came back while held";
    EXPECT_EQ(station->key.code, 0);
}

TEST_F(KeyRepeatTest, ReleasingATouKeyClearsThePendingBlock)
{
    station->project.blockType[20] = 50;
    placeKey(0, 4, 20, 5, 3);
    keys.press(4);
    keys.release();
    EXPECT_EQ(station->key.block, 0);
    EXPECT_FALSE(keys.enabled());
    EXPECT_EQ(keys.interval(), 1000);
}

TEST_F(KeyRepeatTest, KeyInSlot32IsPressedAndRepeatedFromSlot32)
{
    placeKey(1, 32, 9, 1, 2);
    placeKey(1, 0, 33, 3, 3);
    station->project.currentPage = 1;
    keys.press(64);   // index of page 1, slot 32 (index AND 31 is 0)
    EXPECT_EQ(station->key.block, 9);
    EXPECT_EQ(station->key.code, 33);
    acknowledge();
    keys.tick();
    EXPECT_EQ(station->key.block, 9);
    EXPECT_EQ(station->key.code, 33);
}

TEST_F(KeyRepeatTest, OutOfRangePageOrBlockNeverReadsOutsideTheTables)
{
    placeKey(0, 1, 200, 1, 1);   // block number beyond the block-type table
    keys.press(1);
    EXPECT_EQ(station->key.block, 200);
    EXPECT_EQ(station->key.code, 17);

    station->project.currentPage = 40;
    keys.press(1);
    EXPECT_EQ(station->key.block, 0);
    keys.tick();
    EXPECT_EQ(station->key.block, 0);

    station->project.currentPage = 0;
    const int before = station->key.elementIndex;
    keys.press(-5);
    EXPECT_EQ(station->key.elementIndex, before);
}

}   // namespace
