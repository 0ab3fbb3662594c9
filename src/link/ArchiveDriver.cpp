#include "link/ArchiveDriver.h"

#include <QTimer>
#include <algorithm>

ArchiveDriver::ArchiveDriver(ArchiveExchange &exchange, QObject *parent, Schedule schedule, const Clock &clock)
    : exchange_(exchange), timer_(new QTimer(parent)), owned_(parent == nullptr), schedule_(schedule), clock_(clock)
{
    timer_->setSingleShot(true);
    timer_->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer_, &QTimer::timeout, timer_, [this] { fire(); });
}

ArchiveDriver::~ArchiveDriver()
{
    delete watch_;
    if (owned_)
        delete timer_;
    else
        QObject::disconnect(timer_, &QTimer::timeout, timer_, nullptr);
}

void ArchiveDriver::setAnswerPaced(bool on)
{
    if (!on) {
        delete watch_;
        watch_ = nullptr;
        return;
    }
    if (watch_)
        return;
    watch_ = new QTimer;
    watch_->setInterval(1);
    watch_->setTimerType(Qt::PreciseTimer);
    QObject::connect(watch_, &QTimer::timeout, watch_, [this] { look(); });
    if (timer_->isActive())
        watch_->start();
}

void ArchiveDriver::look()
{
    if (!timer_->isActive()) {
        watch_->stop();
        return;
    }
    if (!exchange_.answerIn())
        return;
    timer_->stop();
    due_ = clock_.nowMs();
    fire();
}

bool ArchiveDriver::start()
{
    if (!exchange_.start())
        return false;
    drive(exchange_.firstInterval());
    return true;
}

void ArchiveDriver::drive(int ms)
{
    ++generation_;
    if (ms == ArchiveExchange::Done) {
        timer_->stop();
        if (watch_)
            watch_->stop();
        return;
    }
    due_ = clock_.nowMs();
    arm(ms);
}

void ArchiveDriver::stop()
{
    ++generation_;
    timer_->stop();
    if (watch_)
        watch_->stop();
}

bool ArchiveDriver::active() const { return timer_->isActive(); }

void ArchiveDriver::arm(int ms)
{
    ms = std::max(0, ms);
    due_ += ms;
    int wait = ms;
    if (schedule_ == Schedule::OnTimeline)
        wait = int(std::clamp<qint64>(due_ - clock_.nowMs(), 0, ms));
    timer_->start(wait);
    if (watch_ && !watch_->isActive())
        watch_->start();
}

void ArchiveDriver::fire()
{
    const unsigned generation = ++generation_;
    if (beforeStep)
        beforeStep();
    const int ms = exchange_.step();
    if (afterStep)
        afterStep();
    // A call made from inside the step (stop(), or drive() with a new first interval) has the
    // last word on the timer.
    const bool redirected = generation != generation_;
    if (ms == ArchiveExchange::Done) {
        if (!redirected)
            timer_->stop();
        if (ended)
            ended(exchange_.outcome());
        return;
    }
    if (!redirected)
        arm(ms);
}
