// The controller's answers, byte for byte, decoded the way the station decodes them.
#include "SimWire.h"

#include "app/BlockCatalogue.h"
#include "project/ProjectModel.h"
#include "sim/Clock.h"
#include "sim/Controller.h"

#include <gtest/gtest.h>
#include <memory>

using namespace simtest;

namespace {

constexpr int Addr = 1;
const qint64 Start = sim::controllerMs(QDate(2024, 3, 7), QTime(14, 5, 30));

struct Rig {
    ProjectModel model;
    BlockCatalogue catalogue;
    sim::ManualClock clock{Start};
    sim::ControllerOptions options;
    std::unique_ptr<sim::Controller> c;

    explicit Rig(bool history = false)
    {
        options.address = Addr;
        options.trendHistory = options.journalHistory = options.reportHistory = history;
        options.plant.autoAlarms = false;
        model.blockType[5] = 3;     // D_I
        model.blockType[12] = 10;   // SUM
        model.blockType[20] = 25;   // S_P: set-points 1.5, 2.5, ... in its settings
        model.blockParamBase[20] = 100;
        for (int k = 0; k < 8; ++k)
            model.blockParams[size_t(100 + k)] = 1.5f + float(k);
        model.blockType[26] = 26;   // PID
        model.blockType[29] = 29;   // PAN
        model.blockType[50] = 50;   // TOU
        model.blockType[60] = 48;   // REP
    }
    sim::Controller &ctl()
    {
        if (!c)
            c = std::make_unique<sim::Controller>(model, catalogue, clock, options);
        return *c;
    }
    QByteArray ask(const QByteArray &f) { return ctl().handle(f).answer; }
    void run(qint64 ms, qint64 step = 100)
    {
        for (qint64 t = 0; t < ms; t += step) {
            clock.advance(step);
            ctl().tick();
        }
    }
    QByteArray values(const std::vector<std::pair<int, int>> &pairs, std::vector<int> tail = {0, 0, 0, 0, 0, 0})
    {
        return ask(pairsFrame(Addr, 71, 0, pairs, tail));
    }
    QByteArray bytes(const std::vector<std::pair<int, int>> &pairs) { return ask(pairsFrame(Addr, 72, 0, pairs)); }
    QByteArray key(int block, int code) { return ask(frame({Addr, 70, 0, block, code, 0})); }

    // A whole trend download as the station runs it: 32 packets, each answer checked.
    QByteArray trendImage(int group, int page)
    {
        QByteArray image;
        for (int n = 1; n <= 32; ++n) {
            const QByteArray a = ask(frame({Addr, 70, n, 98, group, page}));
            EXPECT_EQ(a.size(), 251) << "packet " << n;
            EXPECT_TRUE(crcOk(a, 246, 249)) << "packet " << n;
            image += a.mid(2, 246);
        }
        return image;
    }
};

int img(const QByteArray &image, int offset) { return std::uint8_t(image[offset]); }

qint64 stampMs(const QByteArray &image, int k)
{
    const int o = 7698 + 6 * k;
    return sim::controllerMs(QDate(2000 + img(image, o + 3), img(image, o + 4), img(image, o + 5)),
                             QTime(img(image, o), img(image, o + 1), img(image, o + 2)));
}

}   // namespace

TEST(ControllerValues, AnswerIs134BytesWithTheCrcOfItsFirst131BytesAndValuesInThousandths)
{
    Rig r;
    r.ctl().plant().pinOutput(12, 0, 55.5);
    r.ctl().plant().pinOutput(12, 1, -1.0);
    const QByteArray a = r.values({{12, 0}, {0, 0}, {12, 1}});
    ASSERT_EQ(a.size(), 134);
    EXPECT_TRUE(crcOk(a, 131, 132));
    EXPECT_EQ(at(a, 3), 0);   // no key, no write
    EXPECT_DOUBLE_EQ(slotValue(a, 1), 55.5);
    EXPECT_DOUBLE_EQ(slotValue(a, 2), 0.0);
    EXPECT_EQ(a.mid(11, 4), QByteArray::fromHex("18FCFFFF"));   // -1000, slot 3 at bytes 12..15
    EXPECT_DOUBLE_EQ(slotValue(a, 3), -1.0);
}

TEST(ControllerValues, InputsAreReadWhenTheBlockByteHasItsHighBit)
{
    Rig r;
    r.ctl().plant().pinOutput(12, 3, 4.0);
    r.ctl().plant().pinInput(12, 3, 7.25);
    const QByteArray a = r.values({{12, 3}, {12 + 128, 3}});
    EXPECT_DOUBLE_EQ(slotValue(a, 1), 4.0);
    EXPECT_DOUBLE_EQ(slotValue(a, 2), 7.25);
}

TEST(ControllerValues, PinsBeyondTheTypesLastOutputAndMissingBlocksReadZero)
{
    Rig r;
    const QByteArray a = r.values({{12, 4}, {77, 0}, {12, 31}});   // SUM has outputs 0..3
    for (int s = 1; s <= 3; ++s)
        EXPECT_EQ(value4(a, 4 * s), 0) << s;
}

TEST(ControllerBytes, AnswerIs38BytesOfOutputsRoundedAndLimitedToAByte)
{
    Rig r;
    sim::Plant &p = r.ctl().plant();
    p.pinOutput(5, 0, 300);
    p.pinOutput(5, 1, -5);
    p.pinOutput(5, 2, 2.6);
    p.pinOutput(5, 3, 1);
    const QByteArray a = r.bytes({{5, 0}, {5, 1}, {5, 2}, {5, 3}, {0, 0}});
    ASSERT_EQ(a.size(), 38);
    EXPECT_TRUE(crcOk(a, 35, 36));
    EXPECT_EQ(at(a, 4), 255);
    EXPECT_EQ(at(a, 5), 0);
    EXPECT_EQ(at(a, 6), 3);
    EXPECT_EQ(at(a, 7), 1);
    EXPECT_EQ(at(a, 8), 0);
}

TEST(ControllerAlarms, AlarmWordTravelsInTheFirstSlotMostSignificantByteFirst)
{
    Rig r;
    for (int e : {0, 2, 9, 31})
        r.ctl().plant().setAlarm(e, true);
    const QByteArray a = r.values({{99, 0}});
    EXPECT_EQ(at(a, 4), 0x80);   // events 24..31
    EXPECT_EQ(at(a, 5), 0x00);
    EXPECT_EQ(at(a, 6), 0x02);   // events 8..15
    EXPECT_EQ(at(a, 7), 0x05);   // events 0..7
    r.ctl().plant().setAlarm(31, false);
    EXPECT_EQ(at(r.values({{99, 0}}), 4), 0);
}

TEST(ControllerAddress, FramesForAnotherAddressOrOfUnknownCommandsGetNoAnswer)
{
    Rig r;
    EXPECT_TRUE(r.ask(pairsFrame(2, 71, 0, {{12, 0}})).isEmpty());
    EXPECT_FALSE(r.ctl().handle(pairsFrame(2, 71, 0, {{12, 0}})).ours);
    EXPECT_TRUE(r.ask(frame({Addr, 73, 0, 0, 0, 0})).isEmpty());
    r.ctl().setAddress(2);
    EXPECT_EQ(r.ask(pairsFrame(2, 71, 0, {{12, 0}})).size(), 134);
}

TEST(ControllerKeys, SwitchKeyIsAcknowledgedOnceAndTogglesTheStateReadBackAtTwiceTheKeyPlusOne)
{
    Rig r;
    // Picture 4 (a switch), key 1: the station reads the switch back at pin 3.
    EXPECT_TRUE(r.key(29, 4 * 16 + 1).isEmpty());   // a key request has no answer
    QByteArray a = r.bytes({{29, 3}});
    EXPECT_EQ(at(a, 3), 1);
    EXPECT_EQ(at(a, 4), 1);
    a = r.bytes({{29, 3}});
    EXPECT_EQ(at(a, 3), 0);   // acknowledged once only
    EXPECT_EQ(at(a, 4), 1);
    r.key(29, 4 * 16 + 1);
    a = r.values({{29, 3}});
    EXPECT_EQ(at(a, 3), 1);
    EXPECT_DOUBLE_EQ(slotValue(a, 1), 0.0);   // toggled back
}

TEST(ControllerKeys, PushButtonPulsesItsOutputForASecond)
{
    Rig r;
    r.key(29, 0 * 16 + 2);   // picture 0, key 2: pin 5
    EXPECT_EQ(at(r.bytes({{29, 5}}), 4), 1);
    r.run(1100);
    EXPECT_EQ(at(r.bytes({{29, 5}}), 4), 0);
}

TEST(ControllerKeys, LessAndMoreKeysOfAStepPanelMoveItsValueWithinZeroToHundred)
{
    Rig r;
    r.model.blockType[47] = 29;
    r.model.blockParamBase[47] = 400;
    r.model.blockParams[400] = 4;   // PAN_INC_DEC
    EXPECT_DOUBLE_EQ(slotValue(r.values({{47, 1}}), 1), 50.0);
    r.key(47, 1);   // more, first value
    r.key(47, 1);
    r.key(47, 2);   // less, second value
    QByteArray a = r.values({{47, 1}, {47, 3}});
    EXPECT_EQ(at(a, 3), 1);
    EXPECT_DOUBLE_EQ(slotValue(a, 1), 60.0);
    EXPECT_DOUBLE_EQ(slotValue(a, 2), 45.0);
    for (int i = 0; i < 30; ++i)
        r.key(47, 0);
    EXPECT_DOUBLE_EQ(slotValue(r.values({{47, 1}}), 1), 0.0);
}

TEST(ControllerKeys, HoldToRunKeyIsNotAcknowledgedAndLetsGoOnReleaseOrSilence)
{
    Rig r;
    r.key(50, 3);
    QByteArray a = r.values({{50, 3}});
    EXPECT_EQ(at(a, 3), 0);
    EXPECT_DOUBLE_EQ(slotValue(a, 1), 1.0);
    r.key(0, 0);   // released: the station sends no key
    EXPECT_DOUBLE_EQ(slotValue(r.values({{50, 3}}), 1), 0.0);

    r.key(50, 3);
    r.run(500);
    r.key(50, 3);   // still held
    r.run(800);
    EXPECT_DOUBLE_EQ(slotValue(r.values({{50, 3}}), 1), 1.0);
    r.run(300);   // more than a second without the key
    EXPECT_DOUBLE_EQ(slotValue(r.values({{50, 3}}), 1), 0.0);
}

TEST(ControllerWrites, SetPointWriteIsAcknowledgedWithStatus2AndTheBlockReportsIt)
{
    Rig r;
    EXPECT_DOUBLE_EQ(slotValue(r.values({{20, 2}}), 1), 3.5);   // from the block's settings
    const std::vector<int> tail = writeTail(20, 2, -1.5);
    EXPECT_EQ(tail, (std::vector<int>{20, 2, 0xDC, 0x05, 0x00, 0x80}));
    QByteArray a = r.values({{20, 2}, {20, 3}}, tail);
    EXPECT_EQ(at(a, 3), 2);
    EXPECT_DOUBLE_EQ(slotValue(a, 1), -1.5);
    EXPECT_DOUBLE_EQ(slotValue(a, 2), 4.5);
    a = r.values({{20, 2}});
    EXPECT_EQ(at(a, 3), 0);
    EXPECT_DOUBLE_EQ(slotValue(a, 1), -1.5);
}

TEST(ControllerWrites, KeyAcknowledgementWaitsWhileAnAnswerAcknowledgesAWrite)
{
    Rig r;
    r.key(29, 4 * 16);
    EXPECT_EQ(at(r.values({}, writeTail(20, 0, 9)), 3), 2);
    EXPECT_EQ(at(r.values({}), 3), 1);
    EXPECT_EQ(at(r.values({}), 3), 0);
}

TEST(ControllerWrites, WriteToAMissingBlockIsNotAcknowledged)
{
    Rig r;
    EXPECT_EQ(at(r.values({}, writeTail(77, 0, 1)), 3), 0);
}

TEST(ControllerWrites, PidBlockBringsItsProcessValueToAWrittenSetPoint)
{
    Rig r;
    r.values({}, writeTail(26, 0, 80));
    EXPECT_DOUBLE_EQ(slotValue(r.values({{26 + 128, 1}}), 1), 80.0);   // set-point input
    const double before = slotValue(r.values({{26 + 128, 0}}), 1);
    EXPECT_LT(before, 60.0);
    r.run(180000);
    const QByteArray a = r.values({{26 + 128, 0}, {26, 2}, {26, 0}});
    EXPECT_NEAR(slotValue(a, 1), 80.0, 2.0);   // process value
    EXPECT_NEAR(slotValue(a, 2), 0.0, 2.0);    // deviation
    EXPECT_GT(slotValue(a, 3), 0.0);           // controller output
    EXPECT_LT(slotValue(a, 3), 100.0);
}

TEST(ControllerTrends, CurrentPageImageCarriesItsSamplesStampsAndSettings)
{
    Rig r;
    r.run(150000, 1000);
    const sim::TrendArchive &t = r.ctl().trends();
    const int samples = t.currentCount();
    ASSERT_GE(samples, 150);
    const QByteArray image = r.trendImage(1, 200);
    ASSERT_EQ(image.size(), 7872);
    EXPECT_EQ(img(image, 7804) * 256 + img(image, 7805), samples);
    EXPECT_EQ(img(image, 7798), t.currentIndex());
    EXPECT_EQ(img(image, 7806), 200);
    EXPECT_EQ(img(image, 7799), 0);   // line width 1
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(img(image, 7808 + i), i);
    for (int c = 0; c < 4; ++c)
        EXPECT_LE(img(image, 7800 + c), 20);
    // Stamp k is the time of sample 60k, one sample per period.
    for (int k = 0; k * 60 < samples && k < 8; ++k)
        EXPECT_EQ(stampMs(image, k), t.timeOf(t.currentIndex(), 60 * k)) << k;
    EXPECT_EQ(stampMs(image, 1) - stampMs(image, 0), 60000);
    // Group 1 records parameters 4..7.
    for (int s : {0, 1, 77, samples - 1}) {
        const qint64 when = t.timeOf(t.currentIndex(), s);
        for (int c = 0; c < 4; ++c) {
            const double v = decodeReal(word(image, 4 * (4 * s + c)));
            EXPECT_NEAR(v, r.ctl().plant().trendValue(4 + c, when), 1e-4) << s << " " << c;
        }
    }
    EXPECT_EQ(word(image, 4 * 4 * samples), 0u);   // nothing beyond the last sample
}

TEST(ControllerTrends, ArchivePageReportsAllItsSamplesAndItsOwnTimes)
{
    Rig r(true);
    const sim::TrendArchive &t = r.ctl().trends();
    const int page = (t.currentIndex() + 101) % 102;   // the page finished last
    const QByteArray image = r.trendImage(0, page);
    EXPECT_EQ(img(image, 7804) * 256 + img(image, 7805), 480);
    EXPECT_EQ(img(image, 7806), page);
    const qint64 first = stampMs(image, 0);
    EXPECT_EQ(stampMs(image, 7) - first, 420 * 1000);
    EXPECT_LT(first, Start);
    EXPECT_GE(first, Start - 2 * 480 * 1000);
    EXPECT_NEAR(decodeReal(word(image, 4 * (4 * 479 + 2))), r.ctl().plant().trendValue(2, first + 479000), 1e-4);
}

TEST(ControllerTrends, OneDownloadShowsOneMomentWhileThePageGoesOnFilling)
{
    Rig r;
    r.run(30000, 1000);
    const QByteArray first = r.ask(frame({Addr, 70, 1, 98, 0, 200}));
    r.run(5000, 1000);
    QByteArray image = first.mid(2, 246);
    for (int n = 2; n <= 32; ++n)
        image += r.ask(frame({Addr, 70, n, 98, 0, 200})).mid(2, 246);
    const int count = img(image, 7804) * 256 + img(image, 7805);
    EXPECT_EQ(count, r.ctl().trends().currentCount() - 5);
    // The next download sees the samples taken meanwhile.
    const QByteArray again = r.trendImage(0, 200);
    EXPECT_EQ(img(again, 7804) * 256 + img(again, 7805), r.ctl().trends().currentCount());
}

TEST(ControllerTrends, FindByDateServesThePageHoldingTheHourToTheDownloadThatFollows)
{
    Rig r(true);
    // Six in the morning of the same day lies in the archive (a 1 s period keeps 13.6 hours).
    EXPECT_TRUE(r.ask(frame({Addr, 76, 6, 7, 3, 24})).isEmpty());
    const QByteArray found = r.trendImage(3, 200);   // the station still sends its old page
    const int page = img(found, 7806);
    ASSERT_LT(page, 102);
    const qint64 six = sim::controllerMs(QDate(2024, 3, 7), QTime(6, 0));
    EXPECT_LE(stampMs(found, 0), six + 3600000);
    EXPECT_GT(stampMs(found, 7) + 60000, six);
    // The page before it ends before six.
    const sim::TrendArchive &t = r.ctl().trends();
    const int before = (page + 101) % 102;
    EXPECT_LT(t.timeOf(before, 479), six);

    // The download after it gets what it asks for again.
    EXPECT_EQ(img(r.trendImage(3, 200), 7806), 200);

    // The hour now lies on the page being filled; an hour after everything too.
    r.ask(frame({Addr, 76, 14, 7, 3, 24}));
    EXPECT_EQ(img(r.trendImage(0, 5), 7806), 200);
    r.ask(frame({Addr, 76, 10, 1, 1, 30}));
    EXPECT_EQ(img(r.trendImage(0, 5), 7806), 200);
    // An hour before everything: the oldest page.
    r.ask(frame({Addr, 76, 10, 1, 1, 19}));
    EXPECT_EQ(img(r.trendImage(0, 200), 7806), (t.currentIndex() + 1) % 102);
    // No such date (31 February): the page being filled, no harm done.
    r.ask(frame({Addr, 76, 10, 31, 2, 24}));
    EXPECT_EQ(img(r.trendImage(0, 5), 7806), 200);
}

TEST(ControllerTrends, FindSelectionLapsesWhenNoDownloadFollows)
{
    Rig r(true);
    r.ask(frame({Addr, 76, 6, 7, 3, 24}));
    r.run(sim::Controller::FindTimeoutMs + 1000, 1000);
    EXPECT_EQ(img(r.trendImage(0, 200), 7806), 200);
}

TEST(ControllerTrends, PacketsOutsideTheImageGetNoAnswer)
{
    Rig r;
    EXPECT_TRUE(r.ask(frame({Addr, 70, 0, 98, 0, 200})).isEmpty());
    EXPECT_TRUE(r.ask(frame({Addr, 70, 33, 98, 0, 200})).isEmpty());
    EXPECT_TRUE(r.ask(frame({Addr, 70, 1, 98, 8, 200})).isEmpty());
    EXPECT_TRUE(r.ask(frame({Addr, 70, 1, 98, 0, 150})).isEmpty());
    EXPECT_EQ(r.ask(frame({Addr, 70, 1, 98, 0, 101})).size(), 251);
}

TEST(ControllerJournal, EachChangeOfTheAlarmFlagsWritesARecordThatTheCurrentPageShows)
{
    Rig r;
    r.ctl().plant().setAlarm(3, true);
    r.ctl().plant().setAlarm(30, true);
    r.ctl().syncJournal();
    r.ctl().syncJournal();   // no change, no record
    const QByteArray a = r.ask(frame({Addr, 77, 1, 0, 0, 200}));
    ASSERT_EQ(a.size(), 330);
    EXPECT_TRUE(crcOk(a, 326, 327));
    // Record 0 at positions 3..12: second, minute, hour, day, month, year, flag bytes.
    EXPECT_EQ(a.mid(2, 10), QByteArray::fromHex("1E050E07031808000040"));
    EXPECT_EQ(at(a, 13 + 6), 0);   // record 1 not written
    EXPECT_EQ(at(a, 323), 0);      // the newest record is record 0
    EXPECT_EQ(at(a, 324), 0);
    EXPECT_EQ(at(a, 325) * 256 + at(a, 326), 10);
}

TEST(ControllerJournal, PointerWrapsAfter1024RecordsAndTheNewestOverwritesTheOldest)
{
    Rig r;
    for (int i = 0; i < 1030; ++i) {
        r.clock.advance(1000);
        r.ctl().plant().setAlarm(1, i % 2 == 0);
        r.ctl().syncJournal();
    }
    const QByteArray a = r.ask(frame({Addr, 77, 1, 0, 0, 200}));
    EXPECT_EQ(at(a, 325) * 256 + at(a, 326), 60);
    EXPECT_EQ(at(a, 324), 0);
    EXPECT_EQ(at(a, 323), 5);             // record 5 is the newest
    EXPECT_EQ(at(a, 3 + 50 + 6), 0x00);   // record 5: the 1030th change, a clear
    EXPECT_EQ(at(a, 3 + 40 + 6), 0x02);   // record 4: the 1029th, a rise
    const QByteArray last = r.ask(frame({Addr, 77, 1, 0, 0, 31}));
    EXPECT_EQ(at(last, 324), 31);
    EXPECT_EQ(at(last, 323), 0);
    EXPECT_NE(at(last, 3 + 310 + 5), 0);   // record 1023 from the first lap is still there
}

TEST(ControllerJournal, FindByDateGivesThePageAndRowOfTheFirstRecordOfTheHour)
{
    Rig r;
    sim::JournalRing &j = r.ctl().journal();
    const qint64 ten = sim::controllerMs(QDate(2024, 3, 7), QTime(10, 0));
    for (int i = 0; i < 40; ++i)
        j.append(ten + i * 60000, 1u << (i % 32));   // 10:00 .. 10:39
    for (int i = 0; i < 5; ++i)
        j.append(ten + 3600000 + 1800000 + i * 1000, 4);   // from 11:30:00
    QByteArray a = r.ask(frame({Addr, 78, 11, 7, 3, 24}));
    ASSERT_EQ(a.size(), 330);
    EXPECT_TRUE(crcOk(a, 326, 327));
    EXPECT_EQ(at(a, 2), 78);
    EXPECT_EQ(at(a, 324), 1);   // record 40 = page 1, record 8
    EXPECT_EQ(at(a, 323), 8);
    EXPECT_EQ(at(a, 3 + 80 + 2), 11);   // its hour
    EXPECT_EQ(at(a, 3 + 80 + 1), 30);   // its minute

    a = r.ask(frame({Addr, 78, 9, 7, 3, 24}));   // before everything: the first record
    EXPECT_EQ(at(a, 324), 0);
    EXPECT_EQ(at(a, 323), 0);
    a = r.ask(frame({Addr, 78, 20, 7, 3, 24}));   // after everything: the newest
    EXPECT_EQ(at(a, 324), 1);
    EXPECT_EQ(at(a, 323), 12);
    a = r.ask(frame({Addr, 78, 10, 30, 2, 24}));   // no 30 February: the newest
    EXPECT_EQ(at(a, 323), 12);
}

TEST(ControllerJournal, NumberedPagesAreServedAndOthersAreNot)
{
    Rig r;
    const QByteArray a = r.ask(frame({Addr, 77, 1, 0, 0, 5}));
    ASSERT_EQ(a.size(), 330);
    EXPECT_EQ(at(a, 324), 5);
    EXPECT_TRUE(r.ask(frame({Addr, 77, 1, 0, 0, 32})).isEmpty());
    EXPECT_TRUE(r.ask(frame({Addr, 77, 1, 0, 0, 199})).isEmpty());
}

TEST(ControllerReports, PacketIs15365BytesWithTheCrcOfPositions1To15362AfterASpareByte)
{
    Rig r;
    sim::ReportArchive &rep = r.ctl().reports();
    for (int i = 0; i < 3; ++i) {
        sim::ReportArchive::Row row;
        row.timeMs = sim::controllerMs(QDate(2024, 3, 9), QTime(7, 5 + i, 0));
        for (int k = 0; k < 16; ++k)
            row.values[size_t(k)] = float(10 * k + i + 0.25);
        rep.append(row);
    }
    const QByteArray a = r.ask(frame({Addr, 75, 1, 0, 0, 0}));
    ASSERT_EQ(a.size(), 15365);
    EXPECT_TRUE(crcOk(a, 15362, 15364));
    EXPECT_EQ(at(a, 15363), 0);
    // Packet 1 holds parameters 5..8; block k starts at data offset 3840 k (position 3 + d).
    for (int k = 0; k < 4; ++k) {
        for (int row = 0; row < 3; ++row) {
            const int d = 3840 * k + 10 * row;
            EXPECT_EQ(a.mid(2 + d, 6), QByteArray::fromHex("07") + char(5 + row) + QByteArray::fromHex("00180309"));
            EXPECT_NEAR(decodeReal(word(a, 2 + d + 6)), 10 * (4 + k) + row + 0.25, 1e-4);
        }
        EXPECT_EQ(word(a, 2 + 3840 * k + 30 + 6), 0u);   // row 3 was never written
    }
}

TEST(ControllerReports, EntriesFillSubBlocksOf25AndSkipTheirLastSixBytes)
{
    Rig r(true);
    const QByteArray a = r.ask(frame({Addr, 75, 0, 0, 0, 0}));
    const auto rows = r.ctl().reports().snapshot();
    ASSERT_EQ(rows.size(), 375u);
    // Row 26 is entry 1 of sub-block 1: data offset 256 + 10.
    const QDateTime t = sim::controllerDateTime(rows[26].timeMs);
    EXPECT_EQ(at(a, 3 + 266), t.time().hour());
    EXPECT_EQ(at(a, 3 + 266 + 5), t.date().day());
    EXPECT_NEAR(decodeReal(word(a, 2 + 266 + 6)), rows[26].values[0], 1e-3);
    for (int j = 0; j < 15; ++j)
        EXPECT_EQ(a.mid(2 + 256 * j + 250, 6), QByteArray(6, '\0')) << j;
    // Oldest first, one report period apart, the last on the last whole period.
    EXPECT_EQ(rows[1].timeMs - rows[0].timeMs, r.ctl().reportPeriodMs());
    EXPECT_EQ(rows.back().timeMs, sim::controllerMs(QDate(2024, 3, 7), QTime(14, 0)));
    EXPECT_LE(at(a, 2 + 9 + 1), 120);   // values are never negative
}

TEST(ControllerReports, FourPacketsOfOneDownloadComeFromOneMoment)
{
    Rig r;
    r.ctl().reports().append({Start - 7200000, {}});
    r.ask(frame({Addr, 75, 0, 0, 0, 0}));
    r.run(3600000, 60000);   // a report falls due meanwhile
    ASSERT_EQ(r.ctl().reports().size(), 2);
    const QByteArray p1 = r.ask(frame({Addr, 75, 1, 0, 0, 0}));
    EXPECT_EQ(at(p1, 3 + 10), 0);   // row 1 not in this download
    const QByteArray p0 = r.ask(frame({Addr, 75, 0, 0, 0, 0}));
    EXPECT_EQ(at(p0, 3 + 10), 15);   // the next download has it: 15:00
    EXPECT_TRUE(r.ask(frame({Addr, 75, 4, 0, 0, 0})).isEmpty());
}
