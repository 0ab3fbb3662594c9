#pragma once
// Runs an archive exchange on virtual time: the manual clock moves by each interval the
// exchange asks for, and between the moves the caller may let a simulator or a scripted
// controller answer. No real time passes.
//
//     ManualClock clock;
//     Link link(station, serial, tcp, clock);
//     TrendDownload engine(station, link);
//     VirtualDriver driver(clock);
//     driver.between = [&] { deliverAnswersDueBy(clock.nowMs()); };
//     engine.request(0, 200);
//     driver.run(engine);          // start(), then steps until Done
#include "app/Clock.h"
#include "link/ArchiveExchange.h"

#include <functional>
#include <vector>

class VirtualDriver {
public:
    explicit VirtualDriver(ManualClock &clock) : clock_(clock) {}

    // Called after the clock has moved and before each step.
    std::function<void()> between;
    // As ArchiveDriver::setAnswerPaced: the clock moves by 1 ms until the exchange's answer is
    // in or the interval has passed (`between` is called after every move).
    bool answerPaced = false;

    // Starts the exchange and runs it to its end (at most maxSteps steps). False when it
    // would not start.
    bool run(ArchiveExchange &exchange, int maxSteps = 100000)
    {
        if (!exchange.start())
            return false;
        drive(exchange, exchange.firstInterval(), maxSteps);
        return true;
    }

    // Runs an exchange that is already going, its next step `ms` from now.
    void drive(ArchiveExchange &exchange, int ms, int maxSteps = 100000)
    {
        for (int n = 0; ms != ArchiveExchange::Done && n < maxSteps; ++n)
            ms = stepAfter(exchange, ms);
    }

    // One step `ms` from now (at once when ms is Done); returns what the step returned.
    int stepAfter(ArchiveExchange &exchange, int ms)
    {
        if (answerPaced && ms != ArchiveExchange::Done) {
            // A millisecond at a time, stepping as soon as the answer is in.
            for (int t = 0; t < ms; ++t) {
                clock_.advance(1);
                if (between)
                    between();
                if (exchange.answerIn())
                    break;
            }
        } else {
            if (ms != ArchiveExchange::Done)
                clock_.advance(ms);
            if (between)
                between();
        }
        const int next = exchange.step();
        intervals_.push_back(next);
        return next;
    }

    // The intervals the steps returned, Done last when the exchange ended.
    const std::vector<int> &intervals() const { return intervals_; }
    int steps() const { return int(intervals_.size()); }

private:
    ManualClock &clock_;
    std::vector<int> intervals_;
};
