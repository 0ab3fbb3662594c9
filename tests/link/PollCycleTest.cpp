#include "Rig.h"
#include "station/Station.h"
#include "link/SetPoint.h"

#include <gtest/gtest.h>
#include <functional>

#include <random>

using answers::bytes;

namespace {

// 70-byte payload of a value or state request: 32 pairs (slot -> block, pin), then the tail.
QByteArray payload(const std::map<int, std::pair<int, int>> &pairs, const QByteArray &tail = QByteArray(6, '\0'))
{
    QByteArray p(64, '\0');
    for (const auto &[slot, pair] : pairs) {
        p[2 * (slot - 1)] = static_cast<char>(pair.first);
        p[2 * (slot - 1) + 1] = static_cast<char>(pair.second);
    }
    return p + tail;
}

// Records with string members, which designated initializers would leave unnamed.
ControlRec control(int block, int key, int picture)
{
    ControlRec r;
    r.present = 1;
    r.block = static_cast<std::uint8_t>(block);
    r.key = static_cast<std::uint8_t>(key);
    r.picture = static_cast<std::uint8_t>(picture);
    return r;
}

SignalTextRec stateText(int block, int pin, int topField)
{
    SignalTextRec r;
    r.present = 1;
    r.block = static_cast<std::uint8_t>(block);
    r.pin = static_cast<std::uint8_t>(pin);
    r.topField = static_cast<std::int16_t>(topField);
    return r;
}

class PollCycleTest : public ::testing::Test {
protected:
    std::unique_ptr<Rig> rig = std::make_unique<Rig>();
    Station &st = rig->st;
    Recorder &rec = rig->rec;

    // One element of each polled kind on page `p`, and a pending key.
    static void furnishPage(Station &s, int p)
    {
        ProjectModel &m = s.project;
        m.valueLabels[p][1] = {.present = 1, .block = 5, .pin = 2};
        m.valueLabels[p][32] = {.present = 1, .block = 7, .pin = 3};
        m.valueLabels[p][9] = {.present = 0, .block = 44, .pin = 4};   // absent: asked as (0, 0)
        m.levels[p][2] = {.present = 1, .block = 8, .pin = 1};
        m.signals[p][3] = {.present = 1, .block = 9, .pin = 4};
        m.signalTexts[p][4] = stateText(10, 5, 0);
        m.controls[p][5] = control(11, 3, 4);
        m.controls[p][6] = control(13, 1, 0);   // not a switch
        m.controls[p][8] = control(14, 2, 12);
        m.equipment[p][7] = {.present = 1, .block = 12, .pin = 6};
        s.key.block = 20;
        s.key.code = 0x35;
        s.key.elementIndex = 37;
        s.key.position = {1, 2, 3, 4};
    }
    void furnishPage(int p) { furnishPage(st, p); }
};

TEST_F(PollCycleTest, EveryStepSendsItsExactRequestAndSetsItsIntervalOnSerialAndTcp)
{
    for (int kind : {1, 9}) {
        SCOPED_TRACE(kind);
        auto r = std::make_unique<Rig>();
        Rig *rig = r.get();
        furnishPage(rig->st, 2);
        rig->st.project.controllerAddress = 3;
        rig->st.project.currentPage = 2;
        if (kind == 9)
            rig->useTcp();
        rig->answer = true;   // the normal pace: every value and state request answered
        const int f = kind == 9 ? 10 : 1;

        const QByteArray key = answers::request(3, 70, 2, bytes({20, 0x35, 4}));
        const std::map<int, QByteArray> expected = {
            {1, answers::request(3, 71, 2, payload({{1, {5, 2}}, {32, {7, 3}}}))},
            {4, answers::request(3, 71, 2, payload({{2, {8, 1}}}))},
            {7, answers::request(3, 72, 2, payload({{3, {9, 4}}}))},
            {10, answers::request(3, 72, 2, payload({{4, {10, 5}}}))},
            {13, answers::request(3, 72, 2, payload({{5, {11, 7}}, {8, {14, 5}}}, bytes({0, 0, 1, 2, 3, 4})))},
            {16, answers::request(3, 71, 2, payload({{1, {99, 0}}}))},
            {19, answers::request(3, 72, 2, payload({{7, {12, 6}}}))},
        };
        for (int step = 0; step <= 20; ++step) {
            SCOPED_TRACE(step);
            ASSERT_EQ(rig->st.poll.pollStep, step);
            ScriptedTransport &t = rig->activeScripted();
            t.writes.clear();
            const int interval = rig->cycle.tick();
            const QByteArray sent = t.takeWrites();
            if (step % 3 == 0) {
                EXPECT_EQ(sent, key);
                EXPECT_EQ(interval, 10 * f);
            } else if (step % 3 == 1) {
                EXPECT_EQ(sent, expected.at(step));
                EXPECT_EQ(sent.size(), 75);
                EXPECT_EQ(interval, 40 * f);
            } else {
                EXPECT_TRUE(sent.isEmpty());
                EXPECT_EQ(interval, 10 * f);
            }
            EXPECT_FALSE(rig->cycle.stopped());
        }
        EXPECT_EQ(rig->st.poll.pollStep, 0);
        // Nothing ever went out on the other transport.
        EXPECT_TRUE((kind == 9 ? rig->serial : rig->tcp).writes.empty());
    }
}

TEST_F(PollCycleTest, APageWithoutElementsStillSendsFullSizeRequestsOfZeroPairs)
{
    const QByteArray sent = rig->tickAt(7);
    EXPECT_EQ(sent, answers::request(1, 72, 0, QByteArray(70, '\0')));
}

TEST_F(PollCycleTest, ValueAnswersAreTakenOnSerialOnlyAboveOneHundredThirtyThreeBytesWaiting)
{
    furnishPage(0);
    rig->values[0] = -1000;
    rig->values[31] = 2500;
    const QByteArray full = answers::values(0, rig->values);

    rig->runTo(2);
    rig->serial.inject(full.left(133));
    rig->cycle.tick();
    EXPECT_TRUE(rec.values.empty());
    EXPECT_EQ(rig->serial.bytesWaiting(), 133);   // left in the port
    EXPECT_EQ(rig->serial.reads, 0);

    rig->serial.readAll();
    rig->runTo(2);
    rig->serial.inject(full);
    rig->cycle.tick();
    EXPECT_EQ(rig->serial.bytesWaiting(), 0);
    EXPECT_EQ(rec.values,
              (std::vector<Applied>{{ElementKind::Parametr_Label, 1, -1000}, {ElementKind::Parametr_Label, 32, 2500}}));
}

TEST_F(PollCycleTest, StateAnswersAreTakenOnSerialOnlyAtExactlyThirtyEightBytesWaiting)
{
    furnishPage(0);
    rig->states[2] = 1;
    const QByteArray full = answers::states(0, rig->states);

    rig->runTo(8);
    rig->serial.inject(full + '\0');
    rig->cycle.tick();
    EXPECT_TRUE(rec.values.empty());
    EXPECT_EQ(rig->serial.bytesWaiting(), 39);

    rig->serial.readAll();
    rig->runTo(8);
    rig->serial.inject(full);
    rig->cycle.tick();
    EXPECT_EQ(rec.values, (std::vector<Applied>{{ElementKind::Signal_Picture, 3, 1}}));
}

TEST_F(PollCycleTest, OnTcpEveryAnswerIsReadAndKeptOnlyWhenLongEnough)
{
    rig->useTcp();
    furnishPage(0);
    rig->values[0] = 42;
    rig->states[2] = 7;

    rig->runTo(2);
    rig->tcp.inject(answers::values(0, rig->values).left(133));
    rig->cycle.tick();
    EXPECT_EQ(rig->tcp.bytesWaiting(), 0);   // read, then dropped
    EXPECT_TRUE(rec.values.empty());

    rig->runTo(8);
    rig->tcp.inject(answers::states(0, rig->states) + "extra");
    rig->cycle.tick();
    EXPECT_EQ(rec.values, (std::vector<Applied>{{ElementKind::Signal_Picture, 3, 7}}));
}

TEST_F(PollCycleTest, AnAnswerWithSwappedCrcBytesBeepsAndChangesNothing)
{
    furnishPage(0);
    ASSERT_TRUE(setpoint::accept(st.write, 7, 3, u"1"));
    rig->values[0] = 5000;
    rig->runTo(2);
    rig->serial.inject(answers::swapCrc(answers::values(frame::KeyAccepted, rig->values), 131));
    rig->cycle.tick();
    EXPECT_EQ(rec.beeps, 1);
    EXPECT_TRUE(rec.values.empty());
    EXPECT_EQ(st.key.block, 20);
    EXPECT_EQ(st.poll.Graf_Image[1], 0);

    rig->runTo(8);
    rig->serial.inject(answers::swapCrc(answers::states(frame::WriteAccepted, rig->states), 35));
    rig->cycle.tick();
    EXPECT_EQ(rec.beeps, 2);
    EXPECT_TRUE(rec.values.empty());
    EXPECT_EQ(st.write.flag, 1);
}

TEST_F(PollCycleTest, AGoodValueAnswerLandsInTheReceiveImageFromIndexOne)
{
    rig->values[0] = 0x04030201;
    const QByteArray a = answers::values(0, rig->values);
    rig->runTo(2);
    rig->serial.inject(a);
    rig->cycle.tick();
    EXPECT_EQ(st.poll.Graf_Image[0], 0);
    EXPECT_EQ(st.poll.Graf_Image[1], 1);   // answer byte 1
    EXPECT_EQ(st.poll.Graf_Image[3], 0);   // status
    EXPECT_EQ(st.poll.Graf_Image[4], 0x01);
    EXPECT_EQ(st.poll.Graf_Image[7], 0x04);
    EXPECT_EQ(st.poll.Graf_Image[134], static_cast<std::uint8_t>(a[133]));
}

TEST_F(PollCycleTest, APendingKeyIsResentInEveryKeyStepUntilAnAnswerCarriesStatusOne)
{
    furnishPage(0);
    rig->answer = true;
    const QByteArray withKey = answers::request(1, 70, 0, bytes({20, 0x35, 4}));
    for (int cycle = 0; cycle < 2; ++cycle)
        for (int step = 0; step <= 18; step += 3)
            EXPECT_EQ(rig->tickAt(step), withKey) << cycle << " " << step;

    rig->status = frame::KeyAccepted;
    rig->runTo(2);
    rig->cycle.tick();
    EXPECT_EQ(st.key.block, 0);
    EXPECT_EQ(st.key.code, 0);
    EXPECT_EQ(rig->tickAt(3), answers::request(1, 70, 0, bytes({0, 0, 4})));
}

TEST_F(PollCycleTest, AKeyPressedAfterTheKeyRequestLeftSurvivesTheAcknowledgementOfTheEarlierOne)
{
    furnishPage(0);
    rig->tickAt(0);   // key 20/0x35 goes out
    rig->tickAt(1);
    st.key.block = 21;   // the operator presses another key
    st.key.code = 0x12;
    rig->serial.inject(answers::values(frame::KeyAccepted));
    rig->cycle.tick();   // step 2 acknowledges the first key
    EXPECT_EQ(st.key.block, 21);
    EXPECT_EQ(st.key.code, 0x12);
    EXPECT_EQ(rig->tickAt(3), answers::request(1, 70, 0, bytes({21, 0x12, 4})));
}

TEST_F(PollCycleTest, APendingWriteTravelsInEveryStepOneTailUntilAValueAnswerCarriesStatusTwo)
{
    ASSERT_TRUE(setpoint::accept(st.write, 7, 3, u"-1.5"));
    rig->answer = true;
    const QByteArray withWrite = answers::request(1, 71, 0, payload({}, bytes({7, 3, 0xDC, 0x05, 0x00, 0x80})));
    EXPECT_EQ(rig->tickAt(1), withWrite);
    EXPECT_EQ(rig->tickAt(1), withWrite);

    // Status 2 in state answers is no acknowledgement.
    rig->runTo(8);
    rig->serial.readAll();
    rig->serial.inject(answers::states(frame::WriteAccepted));
    rig->cycle.tick();
    EXPECT_EQ(st.write.flag, 1);

    rig->runTo(1);
    rig->status = frame::WriteAccepted;
    EXPECT_EQ(rig->tickAt(1), withWrite);
    rig->cycle.tick();   // step 2 takes the acknowledging answer
    EXPECT_EQ(st.write.flag, 0);
    rig->status = 0;
    EXPECT_EQ(rig->tickAt(1), answers::request(1, 71, 0, payload({})));
}

TEST_F(PollCycleTest, AWriteAcceptedAfterStepOneLeftIsNotClearedByTheAcknowledgementOfTheEarlierOne)
{
    ASSERT_TRUE(setpoint::accept(st.write, 7, 3, u"1"));
    rig->tickAt(1);
    ASSERT_TRUE(setpoint::accept(st.write, 8, 4, u"2"));
    rig->serial.inject(answers::values(frame::WriteAccepted));
    rig->cycle.tick();
    EXPECT_EQ(st.write.flag, 1);
    EXPECT_EQ(rig->tickAt(1), answers::request(1, 71, 0, payload({}, bytes({8, 4, 0xD0, 0x07, 0, 0}))));
    rig->serial.inject(answers::values(frame::WriteAccepted));
    rig->cycle.tick();
    EXPECT_EQ(st.write.flag, 0);
}

TEST_F(PollCycleTest, TheInspectorOnAnAnalogInputAsksForPinsZeroToFifteenAndShowsZeroBeyond)
{
    furnishPage(0);
    st.project.blockType[12] = 1;   // A_I
    st.inspector.inspectorVisible = true;
    st.inspector.inspectedBlock = 12;
    std::map<int, std::pair<int, int>> outputs, inputs;
    for (int n = 0; n < 32; ++n) {
        if (n <= 15)
            outputs[n + 1] = {12, n};
        inputs[n + 1] = {140, n};
    }
    EXPECT_EQ(rig->tickAt(1), answers::request(1, 71, 0, payload(outputs)));
    for (int s = 0; s < 32; ++s)
        rig->values[s] = (s + 1) * 1000 + 500;
    rig->serial.inject(answers::values(0, rig->values));
    rig->cycle.tick();
    EXPECT_EQ(rec.outputs.size(), 32u);
    EXPECT_EQ(rec.outputs[0], QStringLiteral("1.5"));
    EXPECT_EQ(rec.outputs[15], QStringLiteral("16.5"));
    EXPECT_EQ(rec.outputs[16], QStringLiteral("0"));
    EXPECT_EQ(rec.outputs[31], QStringLiteral("0"));

    EXPECT_EQ(rig->tickAt(4), answers::request(1, 71, 0, payload(inputs)));
    rig->serial.inject(answers::values(0, rig->values));
    rig->cycle.tick();
    const int maxIn = st.catalogue.maxInputPin(1);
    EXPECT_EQ(rec.inputs[maxIn], valueText(rig->values[maxIn]));
    EXPECT_EQ(rec.inputs[maxIn + 1], QStringLiteral("0"));
    EXPECT_TRUE(rec.values.empty());   // labels and bars are not fed while inspecting
}

TEST_F(PollCycleTest, TheInspectorAsksForAllPinsOfAnAlgBlockAndEightOfOthers)
{
    st.inspector.inspectorVisible = true;
    st.inspector.inspectedBlock = 40;
    st.project.blockType[40] = 45;   // ALG
    std::map<int, std::pair<int, int>> all, eight;
    for (int n = 0; n < 32; ++n) {
        all[n + 1] = {40, n};
        if (n <= 7)
            eight[n + 1] = {40, n};
    }
    EXPECT_EQ(rig->tickAt(1), answers::request(1, 71, 0, payload(all)));
    st.project.blockType[40] = 26;   // PID
    EXPECT_EQ(rig->tickAt(1), answers::request(1, 71, 0, payload(eight)));
}

TEST_F(PollCycleTest, AnInspectedBlockAboveOneHundredAbandonsTheParse)
{
    st.inspector.inspectorVisible = true;
    st.inspector.inspectedBlock = 101;
    rig->runTo(2);
    rig->serial.inject(answers::values(0));
    rig->cycle.tick();
    EXPECT_TRUE(rec.outputs.empty());
    EXPECT_EQ(st.poll.pollStep, 3);
}

TEST_F(PollCycleTest, APageChangeBetweenStepOneAndTwoAppliesTheValuesToTheNewPagesSlots)
{
    st.project.valueLabels[0][1] = {.present = 1, .block = 5, .pin = 2};
    st.project.valueLabels[1][2] = {.present = 1, .block = 6, .pin = 1};
    rig->tickAt(1);
    st.project.currentPage = 1;
    rig->values[0] = 111;
    rig->values[1] = 222;
    rig->serial.inject(answers::values(0, rig->values));
    rig->cycle.tick();
    EXPECT_EQ(rec.values, (std::vector<Applied>{{ElementKind::Parametr_Label, 2, 222}}));
    EXPECT_EQ(rig->tickAt(4).at(2), 1);   // the next request names the new page
}

TEST_F(PollCycleTest, LevelBarsStateTextsSwitchesAndEquipmentGetTheirSlotsValues)
{
    furnishPage(0);
    rig->answer = true;
    rig->values[1] = 25000;
    rig->states = {};
    rig->states[3] = 3;
    rig->states[4] = 1;
    rig->states[6] = 9;
    rig->states[7] = 2;
    rig->runTo(0);
    for (int i = 0; i < 21; ++i)
        rig->cycle.tick();
    const std::vector<Applied> expected = {
        {ElementKind::Level_Picture, 2, 25000},   {ElementKind::Signal_Picture, 3, 0},
        {ElementKind::Text_Signal_Picture, 4, 3}, {ElementKind::Control_Image, 5, 1},
        {ElementKind::Control_Image, 8, 2},
    };
    std::vector<Applied> got;
    for (const Applied &a : rec.values)
        if (a.kind != ElementKind::Parametr_Label)
            got.push_back(a);
    EXPECT_EQ(got, expected);
    EXPECT_EQ(st.project.equipmentState[0][7], 9);
    EXPECT_EQ(st.project.equipmentState[0][8], 0);
}

TEST_F(PollCycleTest, TheAlarmStepHandsOverTheFirstValuesFourBytes)
{
    rig->values[0] = static_cast<std::int32_t>(0x8A0B0C0D);
    rig->runTo(17);
    rig->serial.inject(answers::values(0, rig->values));
    rig->cycle.tick();
    ASSERT_EQ(rec.alarms.size(), 1u);
    EXPECT_EQ(rec.alarms[0], (std::array<std::uint8_t, 4>{0x0D, 0x0C, 0x0B, 0x8A}));
}

TEST_F(PollCycleTest, ASwitchWithAKeyThatHasNoStatePinIsNeitherAskedNorUpdated)
{
    st.project.controls[0][5] = control(11, 200, 13);
    EXPECT_EQ(rig->tickAt(13), answers::request(1, 72, 0, payload({})));
    rig->states[4] = 1;
    rig->serial.inject(answers::states(0, rig->states));
    rig->cycle.tick();
    EXPECT_TRUE(rec.values.empty());
}

TEST_F(PollCycleTest, ANonZeroPlainTextOnAReportBlockAtTheTriggerElementStartsTheReport)
{
    st.project.blockType[30] = 48;   // REP
    st.project.blockType[31] = 10;
    SignalTextRec plain;
    plain.present = 1;
    plain.topField = 100;
    plain.block = 30;
    st.project.signalTexts[0][5] = plain;
    SignalTextRec state = plain;
    state.topField = 2048;
    st.project.signalTexts[0][6] = state;
    SignalTextRec other = plain;
    other.block = 31;
    st.project.signalTexts[0][7] = other;
    rig->states[4] = rig->states[5] = rig->states[6] = 1;

    auto stepEleven = [&](int trigger, std::uint8_t byte) {
        rec.triggerElement = trigger;
        rig->states[trigger] = byte;
        rig->runTo(11);
        rig->serial.inject(answers::states(0, rig->states));
        rig->cycle.tick();
    };
    stepEleven(4, 1);
    EXPECT_EQ(rec.triggers, 1);
    stepEleven(4, 0);   // state 0
    stepEleven(5, 1);   // a state text
    stepEleven(6, 1);   // not a report block
    stepEleven(3, 1);   // no element there
    EXPECT_EQ(rec.triggers, 1);
}

TEST_F(PollCycleTest, ATriggerDuringStepElevenStopsTheCycleInTheSameTick)
{
    struct Reporter : Recorder {
        Station *st = nullptr;
        void reportTrigger() override { st->poll.Rep_Mode = 1; }
    } reporter;
    reporter.st = &st;
    rig->cycle.setListener(&reporter);
    st.project.blockType[30] = 48;
    st.project.signalTexts[0][1] = stateText(30, 0, 10);
    rig->states[0] = 1;
    rig->runTo(11);
    rig->serial.inject(answers::states(0, rig->states));
    rig->cycle.tick();
    EXPECT_TRUE(rig->cycle.stopped());
}

TEST_F(PollCycleTest, ReportModeStopsTheTimerSendsNothingAndLetsNoDownloadStart)
{
    rig->runTo(1);
    st.poll.Rep_Mode = 1;
    rig->serial.writes.clear();
    rig->cycle.tick();
    EXPECT_TRUE(rig->cycle.stopped());
    EXPECT_FALSE(rig->cycle.downloadTaken());
    EXPECT_TRUE(rig->serial.writes.empty());
    EXPECT_EQ(st.poll.pollStep, 2);

    st.trend.Find_State = 1;
    rig->starter.search = true;
    rig->runTo(20);
    rig->cycle.tick();
    EXPECT_TRUE(rig->starter.calls.empty());
    EXPECT_FALSE(rig->cycle.downloadTaken());
}

TEST_F(PollCycleTest, TheWrapStartsOnlyTheFirstDownloadThatStartsAndThenStops)
{
    st.trend.Find_State = 1;
    st.trend.Graf_PageCount = 1;
    st.journal.Jurnal_Find = 1;
    rig->runTo(20);
    rig->cycle.tick();   // nothing starts: the cycle runs on
    EXPECT_EQ(rig->starter.calls, (std::vector<std::string>{"search", "trend", "journal find"}));
    EXPECT_FALSE(rig->cycle.stopped());
    EXPECT_FALSE(st.poll.downloadStarted);

    rig->starter.calls.clear();
    rig->starter.trend = rig->starter.journal = true;
    rig->runTo(20);
    rig->cycle.tick();
    EXPECT_EQ(rig->starter.calls, (std::vector<std::string>{"search", "trend"}));
    EXPECT_TRUE(rig->cycle.stopped());
    EXPECT_TRUE(rig->cycle.downloadTaken());
    EXPECT_TRUE(st.poll.SendPending);
    EXPECT_TRUE(st.poll.downloadStarted);
    EXPECT_EQ(st.poll.pollStep, 0);

    rig->starter.calls.clear();
    st.trend.Find_State = st.trend.Graf_PageCount = 0;
    st.journal.Jurnal_Request = 1;
    rig->runTo(20);
    rig->cycle.tick();
    EXPECT_EQ(rig->starter.calls, (std::vector<std::string>{"journal page"}));
}

TEST_F(PollCycleTest, ABackgroundDownloadTakesTheLinkOnlyWhenNoneOfTheOperatorsDid)
{
    struct WithBackground : Starter {
        using Starter::Starter;
        bool background = true;
        bool startBackgroundDownload() override
        {
            calls.push_back("background");
            return background;
        }
    } starter{st};
    rig->cycle.setDownloadStarter(&starter);
    struct Case {
        const char *what;
        std::function<void()> raise;
        std::vector<std::string> calls;
        bool taken, background;
    };
    const std::vector<Case> cases = {
        {"nothing of the operator's waits", [] {}, {"background"}, true, true},
        {"the operator's trend page starts first",
         [&] {
             st.trend.Graf_PageCount = 1;
             starter.trend = true;
         },
         {"trend"},
         true,
         false},
        {"the operator's journal request has no window to take it",
         [&] {
             st.journal.Jurnal_Request = 1;
             starter.journal = false;
         },
         {"journal page", "background"},
         true,
         true},
        {"no background page due", [&] { starter.background = false; }, {"background"}, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        starter.calls.clear();
        starter.trend = starter.journal = false;
        starter.background = true;
        st.trend.Graf_PageCount = st.journal.Jurnal_Request = 0;
        c.raise();
        rig->runTo(20);
        rig->cycle.tick();
        EXPECT_EQ(starter.calls, c.calls);
        EXPECT_EQ(rig->cycle.stopped(), c.taken);
        EXPECT_EQ(rig->cycle.downloadTaken(), c.taken);
        EXPECT_EQ(rig->cycle.backgroundTaken(), c.background);
        EXPECT_EQ(st.poll.SendPending, c.taken);
        st.poll.SendPending = false;
        st.poll.pollStep = 0;
    }
    // While the report holds the link nothing else starts.
    starter.calls.clear();
    st.poll.Rep_Mode = 1;
    rig->runTo(20);
    rig->cycle.tick();
    EXPECT_TRUE(starter.calls.empty());
    EXPECT_FALSE(rig->cycle.backgroundTaken());
}

TEST_F(PollCycleTest, TcpStallReconnectsInsteadOfSendingTheHundredAndFirstRequest)
{
    rig->useTcp();
    ASSERT_EQ(rig->tcp.opens.size(), 1u);
    for (int i = 0; i < 500 && rig->tcp.opens.size() < 2; ++i)
        rig->cycle.tick();
    ASSERT_EQ(rig->tcp.opens.size(), 2u);
    EXPECT_EQ(rig->tcp.writes.size(), 100u);
    EXPECT_EQ(rig->tcp.opens[1].host, QStringLiteral("10.1.2.3"));
    EXPECT_EQ(rig->tcp.opens[1].port, 4001);
    EXPECT_EQ(rig->link.stallCounter(), 0);
    // The polling state was reset before the step count went on: a value request follows.
    EXPECT_EQ(st.poll.pollStep, 1);
    rig->cycle.tick();
    ASSERT_EQ(rig->tcp.writes.size(), 101u);
    EXPECT_EQ(rig->tcp.writes.back().at(1), 71);
}

TEST_F(PollCycleTest, OnLinkKindsAboveNineAStallOnlyClosesTheSocket)
{
    rig->useTcp(10);
    rig->tcp.writeWhenClosed = true;
    rig->tcp.open({0, QStringLiteral("10.1.2.3"), 4001});
    for (int i = 0; i < 300; ++i)
        rig->cycle.tick();
    EXPECT_EQ(rig->tcp.writes.size(), 100u);
    EXPECT_EQ(rig->tcp.opens.size(), 1u);
    EXPECT_GE(rig->tcp.closes, 2);
    EXPECT_FALSE(rig->tcp.isOpen());
}

TEST_F(PollCycleTest, ASerialPortThatWillNotOpenResetsTheCycleAndFlagsALinkFault)
{
    rig->serial.failOpen = true;
    st.poll.pollStep = 5;
    const int interval = rig->cycle.tick();
    EXPECT_EQ(interval, PollCycle::StartInterval);
    EXPECT_EQ(st.poll.pollStep, 0);
    EXPECT_EQ(st.poll.linkFault, 1);
    EXPECT_TRUE(rig->serial.writes.empty());
    EXPECT_EQ(rig->serial.opens.size(), 1u);
    EXPECT_EQ(rig->serial.opens[0].comPort, 1);

    rig->serial.failOpen = false;
    st.poll.pollStep = 7;
    rig->cycle.tick();
    EXPECT_EQ(st.poll.linkFault, 0);
    EXPECT_EQ(st.poll.pollStep, 1);   // opening restarts the cycle at its key request
    ASSERT_EQ(rig->serial.writes.size(), 1u);
    EXPECT_EQ(rig->serial.writes[0].at(1), 70);
}

TEST_F(PollCycleTest, APortThatDisappearsIsOpenedAgainOnTheNextTick)
{
    rig->runTo(9);
    rig->serial.drop();
    rig->cycle.tick();
    EXPECT_EQ(rig->serial.opens.size(), 2u);
    EXPECT_EQ(st.poll.pollStep, 1);
}

TEST_F(PollCycleTest, AnotherComPortChosenWhileOpenIsOpenedInsteadOfTheOldOne)
{
    rig->cycle.tick();
    st.project.linkKind = 3;
    rig->cycle.tick();
    ASSERT_EQ(rig->serial.opens.size(), 2u);
    EXPECT_EQ(rig->serial.opens[1].comPort, 3);
    EXPECT_EQ(rig->serial.closes, 1);
}

TEST_F(PollCycleTest, APageNumberOutsideTheTablesIsALinkFaultNotACrash)
{
    st.project.currentPage = 9;
    st.poll.pollStep = 4;
    rig->cycle.tick();
    EXPECT_EQ(st.poll.pollStep, 0);
    EXPECT_EQ(st.poll.linkFault, 1);
    EXPECT_TRUE(rig->serial.writes.empty());
}

TEST_F(PollCycleTest, OnlyAPresenceOfOneMakesAnElementPresent)
{
    // Every polled kind on page 0, slot 1 present (1), slot 2 holding another non-zero value.
    ProjectModel &m = st.project;
    m.blockType[30] = 48;   // REP
    for (const std::int16_t present : {std::int16_t(1), std::int16_t(2)}) {
        const int s = present;
        m.valueLabels[0][s] = {.present = present, .block = 5, .pin = 2};
        m.levels[0][s] = {.present = present, .block = 8, .pin = 1};
        m.signals[0][s] = {.present = present, .block = 9, .pin = 4};
        SignalTextRec text;
        text.present = present;
        text.block = 30;
        m.signalTexts[0][s] = text;
        ControlRec sw = control(11, 3, 4);
        sw.present = present;
        m.controls[0][s] = sw;
        m.equipment[0][s] = {.present = present, .block = 12, .pin = 6};
    }
    rec.triggerElement = 1;   // the report trigger is slot 2
    rig->answer = true;
    rig->values[0] = rig->values[1] = 5000;
    rig->states[0] = rig->states[1] = 1;

    const std::map<int, QByteArray> requests = {
        {1, answers::request(1, 71, 0, payload({{1, {5, 2}}}))},
        {4, answers::request(1, 71, 0, payload({{1, {8, 1}}}))},
        {7, answers::request(1, 72, 0, payload({{1, {9, 4}}}))},
        {10, answers::request(1, 72, 0, payload({{1, {30, 0}}}))},
        {13, answers::request(1, 72, 0, payload({{1, {11, 7}}}))},
        {19, answers::request(1, 72, 0, payload({{1, {12, 6}}}))},
    };
    for (const auto &[step, expected] : requests) {
        SCOPED_TRACE(step);
        EXPECT_EQ(rig->tickAt(step), expected);
        rig->cycle.tick();
    }
    EXPECT_EQ(rec.values,
              (std::vector<Applied>{{ElementKind::Parametr_Label, 1, 5000},
                                    {ElementKind::Level_Picture, 1, 5000},
                                    {ElementKind::Signal_Picture, 1, 1},
                                    {ElementKind::Text_Signal_Picture, 1, 1},
                                    {ElementKind::Control_Image, 1, 1}}));
    EXPECT_EQ(m.equipmentState[0][1], 1);
    EXPECT_EQ(m.equipmentState[0][2], 0);
    EXPECT_EQ(rec.triggers, 0);
}

TEST_F(PollCycleTest, AFloodIsDroppedWholeAndNeverReachesTheReceiveImage)
{
    furnishPage(0);
    rig->runTo(5);
    rig->serial.inject(QByteArray(60000, '\x55'));
    rig->cycle.tick();   // step 5 reads it all and takes none of it
    EXPECT_EQ(rig->serial.bytesWaiting(), 0);
    EXPECT_EQ(st.poll.Graf_Image[1], 0);
    EXPECT_EQ(st.poll.Graf_Image[30005], 0);

    rig->serial.inject(QByteArray(500, '\x55'));
    rig->serial.writes.clear();
    rig->cycle.tick();   // step 6 drops it before its request leaves
    EXPECT_EQ(rig->serial.bytesWaiting(), 0);
    ASSERT_EQ(rig->serial.writes.size(), 1u);
    EXPECT_EQ(rig->serial.writes.back().size(), 8);
    rig->runTo(0);
    EXPECT_EQ(rec.beeps, 0);
    EXPECT_TRUE(rec.values.empty());
    EXPECT_TRUE(rec.alarms.empty());
    EXPECT_EQ(rig->link.statistics().lateBytes, 60500);
    EXPECT_EQ(rig->link.statistics().lateAnswers, 2);
}

// A value label and a level bar in the same slot, with the controller's answer for the labels
// coming too late: its value must never show on the bar.
TEST_F(PollCycleTest, ALateValueAnswerIsDroppedAndNeverLandsOnTheNextRequestsElements)
{
    enum class Arrives { BeforeTheKeyRequest, AfterTheNextValueRequest };
    struct Case {
        int kind;
        Arrives arrives;
        std::vector<Applied> applied;   // at the level step
        qint64 lateBytes;
        int lateAnswers;
    };
    const Case cases[] = {
        {1, Arrives::BeforeTheKeyRequest, {{ElementKind::Level_Picture, 1, 222}}, 134, 1},
        {9, Arrives::BeforeTheKeyRequest, {{ElementKind::Level_Picture, 1, 222}}, 134, 1},
        // Run together with the bar's own answer: neither is taken.
        {1, Arrives::AfterTheNextValueRequest, {}, 268, 1},
        {9, Arrives::AfterTheNextValueRequest, {}, 268, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " case " << int(c.arrives));
        auto r = std::make_unique<Rig>();
        Rig &g = *r;
        if (c.kind == 9)
            g.useTcp();
        g.st.project.valueLabels[0][1] = {.present = 1, .block = 5, .pin = 2};
        g.st.project.levels[0][1] = {.present = 1, .block = 8, .pin = 1};
        std::array<std::int32_t, 32> label{}, bar{};
        label[0] = 111;
        bar[0] = 222;
        const QByteArray late = answers::values(0, label);
        ScriptedTransport &t = g.activeScripted();

        g.runTo(2);
        if (c.kind == 1)
            t.inject(late.left(132));   // incomplete at its receive step: stays in the port
        g.cycle.tick();                 // step 2
        if (c.kind == 1)
            t.inject(late.mid(132));
        else
            t.inject(late);
        if (c.arrives == Arrives::AfterTheNextValueRequest) {
            // Late answer and own answer arrive together after the level request left.
            t.readAll();
            g.cycle.tick();   // step 3
            g.cycle.tick();   // step 4
            t.inject(late + answers::values(0, bar));
        } else {
            g.cycle.tick();   // step 3 drops the late answer
            EXPECT_EQ(t.bytesWaiting(), 0);
            g.cycle.tick();   // step 4
            t.inject(answers::values(0, bar));
        }
        g.cycle.tick();   // step 5
        EXPECT_EQ(g.rec.values, c.applied);
        EXPECT_EQ(g.rec.beeps, 0);
        EXPECT_EQ(g.link.statistics().lateBytes, c.lateBytes);
        EXPECT_EQ(g.link.statistics().lateAnswers, c.lateAnswers);
    }
}

// On the virtual clock: the controller answers request A one answer time late (after the
// next request B would have gone out) and B's own answer is lost. A's bytes must never be
// taken for B's; the cost is one answer time of quiet after the receive step that found
// nothing, and the cycle after it runs at its normal pace.
TEST_F(PollCycleTest, ALateAnswerWhoseSuccessorsAnswerIsLostIsNeverTakenForIt)
{
    struct Case {
        int kind;
        int stepA;   // request A; B is three steps later
        bool values;
    };
    const Case cases[] = {{1, 1, true}, {9, 1, true}, {1, 7, false}, {9, 7, false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " step " << c.stepA);
        auto r = std::make_unique<Rig>();
        Rig &g = *r;
        if (c.kind == 9)
            g.useTcp();
        const int f = c.kind == 9 ? 10 : 1;
        ProjectModel &m = g.st.project;
        m.valueLabels[0][1] = {.present = 1, .block = 5, .pin = 2};
        m.levels[0][1] = {.present = 1, .block = 8, .pin = 1};
        m.signals[0][1] = {.present = 1, .block = 9, .pin = 4};
        m.signalTexts[0][1] = stateText(10, 5, 0);
        std::array<std::int32_t, 32> v{};
        v[0] = 111;
        std::array<std::uint8_t, 32> b{};
        b[0] = 7;
        const QByteArray lateA = c.values ? answers::values(0, v) : answers::states(0, b);
        ScriptedTransport &t = g.activeScripted();

        g.runTo(c.stepA);
        // A leaves now; its answer comes 70 * f ms later. Without a quiet line B would leave
        // 60 * f ms after A.
        const qint64 sentA = g.clock.nowMs();
        g.tickTimed();   // request A
        std::vector<qint64> sends;
        bool delivered = false;
        for (int i = 0; i < 5; ++i) {   // receive A, key, request B, receive B, key
            if (!delivered && g.clock.nowMs() >= sentA + 70 * f) {
                t.inject(lateA);
                delivered = true;
            }
            const std::size_t before = t.writes.size();
            const qint64 at = g.clock.nowMs();
            g.tickTimed();
            if (t.writes.size() > before)
                sends.push_back(at - sentA);
        }
        EXPECT_TRUE(delivered);
        EXPECT_TRUE(g.rec.values.empty()) << g.rec.values.front();
        EXPECT_TRUE(g.rec.alarms.empty());
        EXPECT_EQ(g.rec.beeps, 0);
        EXPECT_EQ(g.link.statistics().lateAnswers, 1);
        EXPECT_EQ(g.link.statistics().lateBytes, lateA.size());
        // Each receive step that found nothing is followed by 40 * f ms of quiet: the key
        // leaves at 90 * f instead of 50 * f, B at 100 * f instead of 60 * f, the key after
        // B's lost answer at 190 * f instead of 110 * f.
        EXPECT_EQ(sends, (std::vector<qint64>{90 * f, 100 * f, 190 * f}));

        // With answers flowing again a whole cycle takes its normal 420 * f ms.
        g.answer = true;
        g.runTo(0);
        const qint64 start = g.clock.nowMs();
        for (int i = 0; i < 21; ++i)
            g.tickTimed();
        EXPECT_EQ(g.clock.nowMs() - start, 420 * f);
        EXPECT_EQ(g.link.statistics().lateAnswers, 1);
    }
}

TEST_F(PollCycleTest, AKeyOrWriteAcknowledgedOnlyInALateAnswerIsSentAgain)
{
    for (const std::uint8_t status : {frame::KeyAccepted, frame::WriteAccepted}) {
        SCOPED_TRACE(int(status));
        auto r = std::make_unique<Rig>();
        Rig &g = *r;
        furnishPage(g.st, 0);
        ASSERT_TRUE(setpoint::accept(g.st.write, 7, 3, u"-1.5"));
        g.tickAt(0);
        g.tickAt(1);
        g.cycle.tick();   // step 2: no answer yet
        g.serial.inject(answers::values(status));
        EXPECT_EQ(g.tickAt(3), answers::request(1, 70, 0, bytes({20, 0x35, 4})));
        EXPECT_EQ(g.st.key.block, 20);
        EXPECT_EQ(g.st.write.flag, 1);
        EXPECT_EQ(
            g.tickAt(1),
            answers::request(1, 71, 0, payload({{1, {5, 2}}, {32, {7, 3}}}, bytes({7, 3, 0xDC, 0x05, 0x00, 0x80}))));
    }
}

TEST_F(PollCycleTest, AStateAnswerOneByteShortWithTheRestLateLeavesEveryFollowingAnswerCorrect)
{
    furnishPage(0);
    rig->states[3] = 6;   // slot 4: the state text
    rig->states[2] = 1;   // slot 3: the state symbol
    rig->values[0] = 0x01020304;
    rig->runTo(8);
    rig->serial.inject(answers::states(0, rig->states).left(37));
    rig->cycle.tick();   // step 8: 37 waiting, not taken
    rig->serial.inject(answers::states(0, rig->states).right(1));
    rig->answer = true;
    for (int i = 0; i < 21; ++i)   // steps 9..20, then 0..8 of the next cycle
        rig->cycle.tick();
    EXPECT_EQ(rec.beeps, 0);
    EXPECT_EQ(rec.alarms, (std::vector<std::array<std::uint8_t, 4>>{{0x04, 0x03, 0x02, 0x01}}));
    std::vector<Applied> states;
    for (const Applied &a : rec.values)
        if (a.kind == ElementKind::Text_Signal_Picture || a.kind == ElementKind::Signal_Picture)
            states.push_back(a);
    EXPECT_EQ(states,
              (std::vector<Applied>{{ElementKind::Text_Signal_Picture, 4, 6}, {ElementKind::Signal_Picture, 3, 1}}));
    EXPECT_EQ(rig->link.statistics().lateBytes, 38);
}

TEST_F(PollCycleTest, RandomBytesInAnyPiecesNeverStopTheCycle)
{
    furnishPage(0);
    ASSERT_TRUE(setpoint::accept(st.write, 7, 3, u"1"));
    std::mt19937 random(20240517);
    for (int kind : {1, 9}) {
        if (kind == 9)
            rig->useTcp();
        for (int i = 0; i < 21 * 40; ++i) {
            const int expectedNext = (st.poll.pollStep + 1) % 21;
            QByteArray noise(int(random() % 300), '\0');
            for (char &c : noise)
                c = static_cast<char>(random());
            rig->activeScripted().inject(noise);
            rig->cycle.tick();
            ASSERT_EQ(st.poll.pollStep, expectedNext);
            ASSERT_EQ(st.poll.linkFault, 0);
        }
    }
    EXPECT_TRUE(rec.values.empty());
    EXPECT_EQ(st.write.flag, 1);
    EXPECT_GT(rec.beeps, 0);
}

TEST_F(PollCycleTest, TheLinkIsReportedSilentAfterAFullCycleWithoutAGoodAnswerAndAnsweringAgainAtOnce)
{
    for (int i = 0; i < 20; ++i)
        rig->cycle.tick();
    EXPECT_TRUE(rec.answering.empty());
    rig->cycle.tick();
    EXPECT_EQ(rec.answering, std::vector<bool>{false});
    EXPECT_FALSE(rig->cycle.answering());

    rig->answer = true;
    rig->runTo(3);
    EXPECT_EQ(rec.answering, (std::vector<bool>{false, true}));
    EXPECT_TRUE(rig->cycle.answering());
    for (int i = 0; i < 21 * 3; ++i)
        rig->cycle.tick();
    EXPECT_EQ(rec.answering.size(), 2u);

    rig->answer = false;
    rig->serial.failOpen = true;
    rig->serial.close();
    for (int i = 0; i < 21; ++i)
        rig->cycle.tick();
    EXPECT_EQ(rec.answering, (std::vector<bool>{false, true, false}));
}

}   // namespace
