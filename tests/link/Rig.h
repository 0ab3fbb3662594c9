#pragma once
// A station, a link over scripted transports and a polling cycle with recording listener and
// download hooks: the bench on which the engine tests run.
#include "Answers.h"
#include "station/Station.h"
#include "station/StationDownloads.h"
#include "link/Link.h"
#include "link/PollCycle.h"
#include "link/PollListener.h"
#include "link/ScriptedTransport.h"

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

struct Applied {
    ElementKind kind;
    int slot;
    std::int32_t value;
    bool operator==(const Applied &) const = default;
};

inline std::ostream &operator<<(std::ostream &os, const Applied &a)
{
    return os << "{kind " << static_cast<int>(a.kind) << ", slot " << a.slot << ", value " << a.value << "}";
}

struct Recorder : PollListener {
    std::vector<Applied> values;
    std::map<int, QString> outputs, inputs;
    std::vector<std::array<std::uint8_t, 4>> alarms;
    std::vector<bool> answering;
    int triggers = 0;
    int beeps = 0;
    int triggerElement = 0;

    void applyValue(ElementKind kind, int slot, std::int32_t value) override { values.push_back({kind, slot, value}); }
    void inspectorOutput(int index, const QString &text) override { outputs[index] = text; }
    void inspectorInput(int index, const QString &text) override { inputs[index] = text; }
    void alarmWord(const std::array<std::uint8_t, 4> &bytes) override { alarms.push_back(bytes); }
    void reportTrigger() override { ++triggers; }
    int reportTriggerElement() const override { return triggerElement; }
    void crcMismatch() override { ++beeps; }
    void linkAnswering(bool yes) override { answering.push_back(yes); }
};

struct Starter : StationDownloads {
    using StationDownloads::StationDownloads;
    bool search = false, trend = false, journal = false;   // what each start reports
    std::vector<std::string> calls;

    bool startTrendSearch() override
    {
        calls.push_back("search");
        return search;
    }
    bool startTrendDownload() override
    {
        calls.push_back("trend");
        return trend;
    }
    bool startJournalDownload(bool find) override
    {
        calls.push_back(find ? "journal find" : "journal page");
        return journal;
    }
};

struct Rig {
    Station st;
    ScriptedTransport serial;
    ScriptedTransport tcp;
    // The polling cycle's clock: ticks through tickTimed() move it by the returned intervals.
    ManualClock clock;
    Link link{st, serial, tcp, clock};
    Recorder rec;
    Starter starter{st};
    PollCycle cycle{st, link, &rec, &starter};

    // The controller's answer status for the next answers, and whether it answers at all.
    std::uint8_t status = 0;
    bool answer = false;
    std::array<std::int32_t, 32> values{};
    std::array<std::uint8_t, 32> states{};

    Rig()
    {
        auto respond = [this](ScriptedTransport &t, const QByteArray &w) {
            if (!answer || w.size() < 2)
                return;
            if (w[1] == 71)
                t.inject(answers::values(status, values));
            else if (w[1] == 72)
                t.inject(answers::states(status, states));
        };
        serial.responder = respond;
        tcp.responder = respond;
    }

    // One tick, then the time passes until the next one.
    int tickTimed()
    {
        const int ms = cycle.tick();
        clock.advance(ms);
        return ms;
    }

    Transport &active() { return link.isTcp() ? static_cast<Transport &>(tcp) : serial; }
    ScriptedTransport &activeScripted() { return link.isTcp() ? tcp : serial; }

    void useTcp(int kind = 9)
    {
        st.project.linkKind = static_cast<std::int16_t>(kind);
        st.project.ipAddress = QStringLiteral("10.1.2.3");
        st.project.tcpPort = 4001;
        link.setUpForProject();
    }

    // Ticks until the next tick performs `step` (at most two cycles).
    void runTo(int step)
    {
        for (int i = 0; i < 2 * 21 && st.poll.pollStep != step; ++i)
            cycle.tick();
    }

    // Ticks once at `step` and returns what that tick wrote.
    QByteArray tickAt(int step)
    {
        runTo(step);
        ScriptedTransport &t = activeScripted();
        t.writes.clear();
        cycle.tick();
        return t.takeWrites();
    }
};
