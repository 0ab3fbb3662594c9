#pragma once
// Runs an archive exchange on a QTimer: the one driver of the trend, journal and report
// windows and of tablo-fetch. Each timeout makes one step and arms the timer for the interval
// the step returned; Done stops it.
//
//     ArchiveDriver driver(engine, this);
//     driver.ended = [&](const ArchiveOutcome &o) { ... };
//     driver.start();              // or, when something else started the exchange: drive(ms)
//
// AfterStep waits each interval from the step that returned it. OnTimeline keeps the steps on
// the timeline the intervals lay out from the first drive(): a timeout that came late makes
// the next wait shorter, so that late ticks never add up over a download.
#include "app/Clock.h"
#include "link/ArchiveExchange.h"

#include <QObject>
#include <functional>

class QTimer;

class ArchiveDriver {
public:
    enum class Schedule { AfterStep, OnTimeline };

    // The timer is a precise single-shot one, a child of `parent` (or owned by the driver).
    explicit ArchiveDriver(ArchiveExchange &exchange, QObject *parent = nullptr,
                           Schedule schedule = Schedule::AfterStep, const Clock &clock = SteadyClock::instance());
    ~ArchiveDriver();
    ArchiveDriver(const ArchiveDriver &) = delete;
    ArchiveDriver &operator=(const ArchiveDriver &) = delete;

    // Starts the exchange and its steps. False (the timer untouched) when it would not start;
    // an exchange that ended inside its start() leaves the timer stopped (see active()).
    bool start();
    // The next step in `ms`; the timeline starts here. Done stops the timer.
    void drive(int ms);
    // No more steps (the exchange itself is left as it is).
    void stop();
    bool active() const;

    // Answer-paced: while a wait runs, the exchange is asked every millisecond whether its
    // answer is in (ArchiveExchange::answerIn) and stepped at once when it is; the interval
    // stays the bound of the wait.
    void setAnswerPaced(bool on);

    // Called before and after every step.
    std::function<void()> beforeStep;
    std::function<void()> afterStep;
    // The step returned Done.
    std::function<void(const ArchiveOutcome &)> ended;

    QTimer *timer() const { return timer_; }
    ArchiveExchange &exchange() const { return exchange_; }

private:
    void fire();
    void arm(int ms);
    void look();

    ArchiveExchange &exchange_;
    QTimer *timer_;
    QTimer *watch_ = nullptr;
    bool owned_;
    Schedule schedule_;
    const Clock &clock_;
    qint64 due_ = 0;
    unsigned generation_ = 0;
};
