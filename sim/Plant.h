#pragma once
// The simulated plant behind the controller's function blocks. Every block output and input has
// a value: analog signals drift smoothly, discrete signals switch now and then, machinery runs
// forward (1), reverse (2) or stands (0), PID blocks close a loop around their set-point, panel
// keys toggle or pulse outputs, set-point writes change what a block reports, and the journal
// block's 32 event flags rise and clear. How an output behaves follows from its block type and
// from how the project shows it (value label, level bar, state symbol, state text, machinery).
//
// Plain signals are pure functions of time (seeded), so the archives' history and the live
// values agree; only loops, keys, timers and alarms carry state, advanced by advance().
#include <QString>
#include <array>
#include <cstdint>
#include <random>
#include <vector>

class ProjectModel;
class BlockCatalogue;

namespace sim {

struct PlantOptions {
    std::uint32_t seed = 1;
    bool autoAlarms = true;
    qint64 alarmIntervalMs = 120000;   // mean time between automatic alarms
    // How many times faster the plant's clock runs than the station's: key pulses and hold
    // times are the station's, so they last this many times longer on the plant's clock.
    int speed = 1;
};

class Plant {
public:
    static constexpr int Blocks = 100;   // block numbers 1..99
    static constexpr int Pins = 32;
    static constexpr int Events = 32;
    static constexpr int TrendParams = 32;
    static constexpr int ReportParams = 16;
    static constexpr qint64 PulseMs = 1000;   // a push button's output pulse
    static constexpr qint64 HoldMs = 1000;    // a hold-to-run key without refresh lets go
    static constexpr qint64 ReportTriggerMs = 3000;

    Plant(const ProjectModel &model, const BlockCatalogue &catalogue, const PlantOptions &options, qint64 nowMs);

    // Steps loops, key pulses, timers and alarms forward to nowMs.
    void advance(qint64 nowMs);
    qint64 now() const { return now_; }

    int type(int block) const;
    double output(int block, int pin) const;
    double input(int block, int pin) const;
    // The value of an output at an earlier time (archive history): plain signals are evaluated
    // at that time, stateful outputs give their present value.
    double outputAt(int block, int pin, qint64 atMs) const;
    // A state byte as the discrete request reads it: the output rounded and limited to 0..255.
    std::uint8_t stateByte(int block, int pin) const;

    enum class KeyResult { Accepted, Held, NoBlock };
    // A panel key: picture * 16 + key for ordinary blocks, the bare key for hold-to-run blocks.
    KeyResult pressKey(int block, int code);
    // A key request that carries no key: hold-to-run keys are let go.
    void releaseKeys();
    // A set-point write; false when the block does not exist or the pin is out of range.
    bool write(int block, int pin, double value);

    void pinOutput(int block, int pin, double value);
    void unpinOutput(int block, int pin);
    void pinInput(int block, int pin, double value);
    void unpinInput(int block, int pin);

    // Event flags, bit n = event n.
    std::uint32_t alarmFlags() const { return alarms_; }
    // Every rise and clear of a flag since the last call, in time order, each at the plant
    // time it happened (a long step may hold several).
    struct AlarmChange {
        qint64 timeMs;
        int event;
        bool on;
    };
    std::vector<AlarmChange> takeAlarmChanges();
    // An alarm set here stays until cleared here; clearing also ends an automatic alarm.
    void setAlarm(int event, bool on);
    void setAutoAlarms(bool on) { options_.autoAlarms = on; }
    void setAlarmInterval(qint64 ms) { options_.alarmIntervalMs = ms; }
    const std::vector<int> &alarmEvents() const { return alarmEvents_; }

    // Trend parameter n (the trend block's input n); a parameter may be tied to a block output.
    double trendValue(int param, qint64 atMs) const;
    void setTrendSource(int param, int block, int pin);
    double trendLow(int param) const;
    double trendHigh(int param) const;
    // Report parameter k = 0..15 (the report block's data inputs); never negative.
    double reportValue(int k, qint64 atMs) const;
    void setReportSource(int k, int block, int pin);
    void reportRecorded() { reportTriggerUntil_ = now_ + ReportTriggerMs; }
    int reportBlock() const { return reportBlock_; }

    double pidSetPoint(int block) const;

private:
    enum class Role : std::uint8_t { None, Analog, Discrete, MultiState, Equipment };
    struct PinInfo {
        Role role = Role::None;
        float lo = 0, hi = 100;
        std::uint32_t states = 0;   // state numbers used by state texts (bit b = state b)
        int equipmentKind = 0;
    };
    struct Channel {   // an analog input channel's scale and alarm limits
        bool scaled = false, alarms = false;
        double lo = 0, hi = 100, alarmLo = 0, alarmHi = 0;
    };
    // A PI loop around a first-order process whose value runs from lo (output 0 %) to hi
    // (output 100 %); the controller works in percent of that span.
    struct Loop {
        double sp = 50, pv = 50, u = 50, integral = 0, lo = 0, hi = 100;
        double span() const { return hi - lo; }
        void settle();              // at rest on its set-point
        void reach(double value);   // widen the range so that value lies well inside it
    };
    // Values held on some of a block's pins in place of what the block computes.
    struct PinValues {
        std::uint32_t mask = 0;   // bit n: pin n holds value[n]
        std::array<double, Pins> value{};
        bool holds(int pin) const { return (mask & (1u << pin)) != 0; }
        void set(int pin, double v)
        {
            mask |= 1u << pin;
            value[size_t(pin)] = v;
        }
        void clear(int pin) { mask &= ~(1u << pin); }
    };
    struct Block {
        int type = 0;
        int maxOut = 0, maxIn = 0;
        int mode = 0;
        std::array<PinInfo, Pins> out{};
        PinValues pinnedOut, pinnedIn;   // pinned by a scenario or the console
        PinValues setting;               // settings and set-point writes
        std::uint32_t toggled = 0, held = 0;
        std::array<qint64, Pins> pulseUntil{};
        qint64 heldUntil = 0;
        std::array<Channel, 4> channel{};   // A_I
        std::array<double, 4> preset{};     // timers; PAN: the values its keys step
        std::array<qint64, 4> timerStart{};
        Loop loop;
    };
    struct Source {
        int block = 0, pin = 0;
    };

    double computeOutput(int block, int pin, qint64 atMs, bool live) const;
    double plainOutput(const Block &b, int block, int pin, qint64 atMs) const;
    double plainInput(const Block &b, int block, int pin, qint64 atMs) const;
    double analogAt(std::uint64_t key, double lo, double hi, qint64 atMs) const;
    int switchingAt(std::uint64_t key, int states, qint64 atMs) const;
    std::uint64_t key(int block, int side, int pin) const;
    void stepLoop(Block &b, int block, double dtSec);
    void stepAlarms(qint64 dtMs);
    void noteAlarm(qint64 timeMs, int event, bool on);
    qint64 stationMs(qint64 ms) const { return ms * options_.speed; }
    static bool validPin(int block, int pin) { return block >= 1 && block < Blocks && pin >= 0 && pin < Pins; }

    PlantOptions options_;
    qint64 start_;
    qint64 now_;
    std::array<Block, Blocks> blocks_{};
    std::array<float, TrendParams> trendLo_{}, trendHi_{};
    std::array<Source, TrendParams> trendSource_{};
    std::array<Source, ReportParams> reportSource_{};
    int reportBlock_ = 0;
    qint64 reportTriggerUntil_ = 0;

    std::uint32_t alarms_ = 0, heldAlarms_ = 0;
    std::array<qint64, Events> alarmClearAt_{};
    std::vector<AlarmChange> alarmChanges_;
    std::vector<int> alarmEvents_;
    std::mt19937 rng_;
};

}   // namespace sim
