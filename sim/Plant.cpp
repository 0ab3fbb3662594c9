#include "Plant.h"

#include "app/BlockCatalogue.h"
#include "project/ProjectModel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace sim {

namespace {

// The simulator keeps its own block type numbers, block numbers and page numbers (here, in
// Plant.h and in Archives.h) instead of the station's named constants on purpose: it is an
// independent model of the controller, so a wrong constant on the station side shows up as a
// failing exchange instead of being shared by both ends.
enum BlockTypeNo {
    T_AI = 1,
    T_AO = 2,
    T_DI = 3,
    T_DO = 4,
    T_SYS = 6,
    T_AND = 17,
    T_OR = 18,
    T_XOR = 19,
    T_TRI = 20,
    T_SP = 25,
    T_PID = 26,
    T_PAN = 29,
    T_RTC = 30,
    T_CMP = 35,
    T_TIM = 36,
    T_COU = 37,
    T_OSC = 38,
    T_GRA = 41,
    T_JUR = 42,
    T_SCA = 43,
    T_LOG = 44,
    T_UNI = 46,
    T_MON = 47,
    T_REP = 48,
    T_TOU = 50,
};

// Which sides of a block carry on/off signals when the project does not say otherwise.
bool discreteOutputs(int t)
{
    switch (t) {
    case T_DI:
    case T_DO:
    case T_AND:
    case T_OR:
    case T_XOR:
    case T_TRI:
    case T_LOG:
    case T_UNI:
    case T_MON: return true;
    default: return false;
    }
}

bool discreteInputs(int t)
{
    switch (t) {
    case T_DO:
    case T_AND:
    case T_OR:
    case T_XOR:
    case T_TRI:
    case T_PAN:
    case T_RTC:
    case T_TIM:
    case T_COU:
    case T_OSC:
    case T_LOG:
    case T_UNI:
    case T_MON: return true;
    default: return false;
    }
}

std::uint64_t mix(std::uint64_t x)
{
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// Sides of the signal key space.
enum Side {
    OutSide = 0,
    InSide = 1,
    CmpA = 2,
    CmpB = 3,
    TrendSide = 4,
    ReportSide = 5,
    Disturbance = 6,
    ChannelSide = 7,
    Counter = 8
};

constexpr double Kp = 1.2;        // loop gain of the simulated PID blocks
constexpr double TiSec = 15.0;    // their integral time
constexpr double TauSec = 10.0;   // the process lag they control

}   // namespace

Plant::Plant(const ProjectModel &model, const BlockCatalogue &catalogue, const PlantOptions &options, qint64 nowMs)
    : options_(options), start_(nowMs), now_(nowMs), rng_(options.seed)
{
    auto param = [&](int block, int pos) -> double {
        const int i = model.blockParamBase[block] + pos;
        return (i >= 0 && i < ProjectModel::ParamCount) ? double(model.blockParams[size_t(i)]) : 0.0;
    };

    for (int n = 1; n < Blocks; ++n) {
        Block &b = blocks_[n];
        b.type = model.blockType[n];
        // The journal, trend and panel-station blocks are always there, whatever the netlist says.
        if (n == 97)
            b.type = T_SCA;
        if (n == 98)
            b.type = T_GRA;
        if (n == 99)
            b.type = T_JUR;
        if (b.type < 1 || b.type > BlockCatalogue::TypeCount) {
            b.type = 0;
            continue;
        }
        b.maxOut = catalogue.maxOutputPin(b.type);
        b.maxIn = catalogue.maxInputPin(b.type);
        const double mode = model.blockType[n] == b.type ? param(n, 0) : 0.0;
        b.mode = (mode >= 0 && mode < 8) ? int(mode) : 0;

        switch (b.type) {
        case T_AI:
            // Channel c: sensor, scale low, scale high, low alarm, high alarm, filter, hysteresis.
            for (int c = 0; c < 4; ++c) {
                Channel &ch = b.channel[c];
                const double lo = param(n, c + 5), hi = param(n, c + 9);
                const double alo = param(n, c + 13), ahi = param(n, c + 17);
                if (hi > lo) {
                    ch.scaled = true;
                    ch.lo = lo;
                    ch.hi = hi;
                    if (ahi > alo && alo >= lo && ahi <= hi) {
                        ch.alarms = true;
                        ch.alarmLo = alo;
                        ch.alarmHi = ahi;
                    }
                }
            }
            break;
        case T_PAN: b.preset.fill(50); break;
        case T_SP:
            // The set-points are the block's settings, reported on its outputs.
            for (int k = 0; k < 8; ++k)
                b.setting.set(k, param(n, k));
            break;
        case T_TIM:
            for (int i = 0; i < 4; ++i) {
                const double p = param(n, i + 1);
                b.preset[i] = (p > 0 && p < 86400) ? p : 10.0 * (i + 1);
                b.timerStart[i] = nowMs;
            }
            break;
        case T_COU: {
            const double p = param(n, 2);
            b.preset[0] = (p >= 1 && p < 1e6) ? std::floor(p) : 100;
            break;
        }
        case T_REP:
            if (reportBlock_ == 0)
                reportBlock_ = n;
            break;
        default: break;
        }
    }

    // What the project shows of each output decides how a plain output behaves.
    auto mark = [&](int block, int pin, Role role) -> PinInfo * {
        if (block < 1 || block >= Blocks || pin < 0 || pin >= Pins || blocks_[block].type == 0)
            return nullptr;
        PinInfo &info = blocks_[block].out[pin];
        if (int(role) > int(info.role))
            info.role = role;
        return &info;
    };
    for (int p = 0; p < ProjectModel::Pages; ++p) {
        for (int i = 1; i < ProjectModel::Slots; ++i) {
            if (const auto &r = model.valueLabels[p][i]; r.present)
                mark(r.block, r.pin, Role::Analog);
            if (const auto &r = model.levels[p][i]; r.present) {
                if (PinInfo *info = mark(r.block, r.pin, Role::Analog)) {
                    if (r.fullScale > 0) {
                        info->lo = 0;
                        info->hi = float(r.fullScale);
                    } else if (r.fullScale < 0) {
                        info->lo = float(r.fullScale);
                        info->hi = 0;
                    }
                }
            }
            if (const auto &r = model.signals[p][i]; r.present)
                mark(r.block, r.pin, Role::Discrete);
            if (const auto &r = model.signalTexts[p][i]; r.present) {
                if (r.isStateText() && r.stateNumber() >= 0 && r.stateNumber() < 32) {
                    if (PinInfo *info = mark(r.block, r.pin, Role::MultiState))
                        info->states |= 1u << r.stateNumber();
                } else {
                    mark(r.block, r.pin, Role::Discrete);
                }
            }
            if (const auto &r = model.equipment[p][i]; r.present) {
                if (PinInfo *info = mark(r.block, r.pin, Role::Equipment))
                    info->equipmentKind = int(r.equipmentKind);
            }
        }
    }

    // A PID loop starts at rest on the set-point of its settings (position 4), within the range
    // of a level bar on its process value; with only one of them the other follows (a set-point
    // in the middle of the bar, a range of 0..2·set-point), with neither 50 in 0..100.
    for (int n = 1; n < Blocks; ++n) {
        Block &b = blocks_[n];
        if (b.type != T_PID)
            continue;
        const double sp = model.blockType[n] == T_PID ? param(n, 4) : 0.0;
        const bool hasSp = std::isfinite(sp) && sp != 0 && std::fabs(sp) < 1e9;
        const PinInfo &pv = b.out[1];
        const bool impulse = b.mode == 2 || b.mode == 3;   // output 1 is the valve position
        const bool hasRange = !impulse && pv.role == Role::Analog && pv.hi > pv.lo && (pv.lo != 0 || pv.hi != 100);
        Loop &l = b.loop;
        if (hasRange) {
            l.lo = pv.lo;
            l.hi = pv.hi;
        } else if (hasSp) {
            l.lo = std::min(0.0, 2 * sp);
            l.hi = std::max(0.0, 2 * sp);
        }
        l.sp = hasSp ? sp : (l.lo + l.hi) / 2;
        l.reach(l.sp);
        l.settle();
    }

    // Trend parameter limits are the trend block's settings 34.. (low) and 67.. (high).
    for (int n = 0; n < TrendParams; ++n) {
        double lo = 0, hi = 100;
        if (model.blockType[98] == T_GRA) {
            const double l = param(98, n + 34), h = param(98, n + 67);
            if (h > l) {
                lo = l;
                hi = h;
            }
        }
        trendLo_[n] = float(lo);
        trendHi_[n] = float(hi);
    }

    // Automatic alarms come from the events the journal block names; events 0..7 otherwise.
    if (model.Event_Base >= 0) {
        for (int e = 0; e < Events; ++e) {
            const int i = model.Event_Base + e;
            if (i < ProjectModel::TextCount && !model.blockTexts[size_t(i)].trimmed().isEmpty())
                alarmEvents_.push_back(e);
        }
    }
    if (alarmEvents_.empty())
        for (int e = 0; e < 8; ++e)
            alarmEvents_.push_back(e);
}

int Plant::type(int block) const { return (block >= 1 && block < Blocks) ? blocks_[block].type : 0; }

std::uint64_t Plant::key(int block, int side, int pin) const
{
    return mix((std::uint64_t(options_.seed) << 32) ^ (std::uint64_t(block) << 16) ^ (std::uint64_t(side) << 8)
               ^ std::uint64_t(pin));
}

double Plant::analogAt(std::uint64_t k, double lo, double hi, qint64 atMs) const
{
    constexpr double twoPi = 2 * std::numbers::pi;
    const std::uint64_t h2 = mix(k);
    const double t1 = 300 + double(k % 900);
    const double t2 = 60 + double((k >> 12) % 120);
    const double t3 = 7 + double((k >> 24) % 13);
    const double f1 = double((k >> 32) & 0xFFFF) / 65536.0 * twoPi;
    const double f2 = double((k >> 48) & 0xFFFF) / 65536.0 * twoPi;
    const double f3 = double(h2 & 0xFFFF) / 65536.0 * twoPi;
    const double t = double(atMs) / 1000.0;
    const double s = 0.55 * std::sin(twoPi * std::fmod(t / t1, 1.0) + f1)
        + 0.30 * std::sin(twoPi * std::fmod(t / t2, 1.0) + f2) + 0.15 * std::sin(twoPi * std::fmod(t / t3, 1.0) + f3);
    return (lo + hi) / 2 + 0.8 * (hi - lo) / 2 * s;
}

int Plant::switchingAt(std::uint64_t k, int states, qint64 atMs) const
{
    const qint64 dwell = 15000 + qint64(k % 30000);
    const qint64 offset = qint64((k >> 20) % std::uint64_t(dwell));
    const qint64 slot = (atMs + offset) / dwell;
    return int(mix(k ^ (std::uint64_t(slot) * 0x100000001B3ull)) % std::uint64_t(states));
}

double Plant::plainOutput(const Block &b, int block, int pin, qint64 atMs) const
{
    const PinInfo &info = b.out[pin];
    const std::uint64_t k = key(block, OutSide, pin);
    switch (info.role) {
    case Role::Analog: return analogAt(k, info.lo, info.hi, atMs);
    case Role::Discrete: return switchingAt(k, 2, atMs);
    case Role::MultiState: {
        std::array<int, 32> used{};
        int n = 0;
        for (int s = 0; s < 32; ++s)
            if (info.states & (1u << s))
                used[n++] = s;
        if (n == 0)
            return 0;
        const int pick = switchingAt(k, 2 * n, atMs);
        return 2 * used[pick / 2] + (pick & 1);
    }
    case Role::Equipment: {
        const int r = switchingAt(k, 100, atMs);
        const bool reversible = info.equipmentKind == 16 || info.equipmentKind == 17;
        if (r < 20)
            return 0;
        if (reversible && r < 35)
            return 2;
        return 1;
    }
    case Role::None: break;
    }
    return discreteOutputs(b.type) ? switchingAt(k, 2, atMs) : analogAt(k, 0, 100, atMs);
}

double Plant::plainInput(const Block &b, int block, int pin, qint64 atMs) const
{
    const std::uint64_t k = key(block, InSide, pin);
    return discreteInputs(b.type) ? switchingAt(k, 2, atMs) : analogAt(k, 0, 100, atMs);
}

double Plant::computeOutput(int block, int pin, qint64 atMs, bool live) const
{
    if (!validPin(block, pin))
        return 0;
    const Block &b = blocks_[block];
    const std::uint32_t bit = 1u << pin;
    if (b.type == 0)
        return 0;
    if (b.pinnedOut.holds(pin))
        return b.pinnedOut.value[pin];
    if (pin > b.maxOut)
        return 0;
    if (b.setting.holds(pin))
        return b.setting.value[pin];

    switch (b.type) {
    case T_AI: {
        // Four channels of four outputs: percentage, scaled value, low and high alarm. The scale
        // is the channel's own, else that of a level bar on the scaled output, else 0..100.
        const int c = pin / 4;
        const Channel &ch = b.channel[c];
        const double pct = std::clamp(analogAt(key(block, ChannelSide, c), -5, 105, atMs), 0.0, 100.0);
        const PinInfo &shown = b.out[c * 4 + 1];
        const double lo = ch.scaled ? ch.lo : shown.role == Role::Analog ? shown.lo : 0.0;
        const double hi = ch.scaled ? ch.hi : shown.role == Role::Analog ? shown.hi : 100.0;
        const double scaled = lo + (hi - lo) * pct / 100.0;
        switch (pin % 4) {
        case 0: return pct;
        case 1: return scaled;
        case 2: return (ch.alarms ? scaled < ch.alarmLo : pct < 15) ? 1 : 0;
        default: return (ch.alarms ? scaled > ch.alarmHi : pct > 85) ? 1 : 0;
        }
    }
    case T_SYS: return double(std::max<qint64>(0, atMs - start_)) / 1000.0;
    case T_PID: {
        const Loop &l = b.loop;
        switch (pin) {
        case 0: return l.u;
        case 1: return (b.mode == 2 || b.mode == 3) ? l.u : l.pv;
        case 2: return l.sp - l.pv;
        case 3: return l.u >= 99.5 ? 1 : 0;
        case 4: return l.u <= 0.5 ? 1 : 0;
        default: return 0;
        }
    }
    case T_PAN:
        if ((b.mode == 4 || b.mode == 5) && pin % 2 == 1)
            return b.preset[pin / 2];   // the value the less/more keys step
        [[fallthrough]];
    case T_SCA:
        if (b.toggled & bit)
            return 1;
        return b.pulseUntil[pin] > (live ? now_ : atMs) ? 1 : 0;
    case T_TOU: return (b.held & bit) ? 1 : 0;
    case T_RTC: {
        const int hour = int((atMs / 3600000) % 24);
        return (hour >= 8 && hour < 20) ? 1 : 0;
    }
    case T_CMP: {
        const double a = analogAt(key(block, CmpA, pin / 3), 0, 100, atMs);
        const double c = analogAt(key(block, CmpB, pin / 3), 0, 100, atMs);
        switch (pin % 3) {
        case 0: return a < c - 1 ? 1 : 0;
        case 1: return std::fabs(a - c) <= 1 ? 1 : 0;
        default: return a > c + 1 ? 1 : 0;
        }
    }
    case T_TIM: {
        // Each timer counts up to its preset, holds its output for five seconds, restarts.
        const int i = (pin / 2) & 3;
        const double cycle = b.preset[i] + 5.0;
        const double t = std::fmod(std::max<double>(0.0, double(atMs - b.timerStart[i]) / 1000.0), cycle);
        if (pin % 2 == 0)
            return std::min(std::floor(t), b.preset[i]);
        return t >= b.preset[i] ? 1 : 0;
    }
    case T_COU: {
        const qint64 period = 5000 + qint64(key(block, Counter, 0) % 10000);
        const auto limit = qint64(b.preset[0]);
        const qint64 count = (std::max<qint64>(0, atMs - start_) / period) % (limit + 1);
        switch (pin) {
        case 0: return double(count);
        case 1: return count == 0 ? 1 : 0;
        default: return count >= limit ? 1 : 0;
        }
    }
    case T_OSC: {
        const qint64 half = 1000 * ((pin / 2) + 1);
        return ((atMs / half) % 2 == 0) ? 1 : 0;
    }
    case T_JUR:
        if (pin == 0)
            return alarms_ != 0 ? 1 : 0;
        return ((alarms_ >> (4 * pin)) & 0xF) != 0 ? 1 : 0;
    case T_REP: return (pin == 0 && reportTriggerUntil_ > now_) ? 1 : 0;
    case T_GRA: return 0;
    default: return plainOutput(b, block, pin, atMs);
    }
}

double Plant::output(int block, int pin) const { return computeOutput(block, pin, now_, true); }

double Plant::outputAt(int block, int pin, qint64 atMs) const
{
    if (!validPin(block, pin))
        return 0;
    switch (blocks_[block].type) {
    case T_PID:
    case T_PAN:
    case T_SCA:
    case T_TOU:
    case T_JUR:
    case T_REP: return computeOutput(block, pin, now_, true);
    default: return computeOutput(block, pin, atMs, false);
    }
}

double Plant::input(int block, int pin) const
{
    if (!validPin(block, pin))
        return 0;
    const Block &b = blocks_[block];
    if (b.type == 0)
        return 0;
    if (b.pinnedIn.holds(pin))
        return b.pinnedIn.value[pin];
    if (pin > b.maxIn)
        return 0;
    switch (b.type) {
    case T_PID:
        switch (pin) {
        case 0: return b.loop.pv;
        case 1:
        case 2:
        case 7: return b.loop.sp;
        case 6: return 1;   // automatic mode
        default: return 0;
        }
    case T_GRA: return trendValue(pin, now_);
    case T_JUR: return (alarms_ >> pin) & 1u;
    case T_REP: return pin < ReportParams ? reportValue(pin, now_) : 0;
    default: return plainInput(b, block, pin, now_);
    }
}

std::uint8_t Plant::stateByte(int block, int pin) const
{
    const double v = std::round(output(block, pin));
    if (!(v > 0))
        return 0;
    return v >= 255 ? 255 : static_cast<std::uint8_t>(v);
}

Plant::KeyResult Plant::pressKey(int block, int code)
{
    if (block < 1 || block >= Blocks || blocks_[block].type == 0)
        return KeyResult::NoBlock;
    Block &b = blocks_[block];
    if (b.type == T_TOU) {
        // Hold-to-run: the output stays on while the station keeps sending the key.
        if (code <= b.maxOut && code < Pins) {
            b.held |= 1u << code;
            b.heldUntil = now_ + stationMs(HoldMs);
        }
        return KeyResult::Held;
    }
    const int picture = code >> 4;
    const int k = code & 15;
    if (b.type == T_PAN && (b.mode == 4 || b.mode == 5) && k < 8) {
        // Less/more panel: keys 2i and 2i + 1 step output 2i + 1 down and up by 5 %.
        double &v = b.preset[k / 2];
        v = std::clamp(v + (k % 2 ? 5.0 : -5.0), 0.0, 100.0);
        b.pulseUntil[2 * (k / 2)] = now_ + stationMs(PulseMs);
        return KeyResult::Accepted;
    }
    const int pin = 2 * k + 1;   // the station reads a switch's state back at 2 * key + 1
    if (pin <= b.maxOut && pin < Pins) {
        const bool isSwitch = picture == 4 || picture == 12 || picture == 13;
        if (isSwitch)
            b.toggled ^= 1u << pin;
        else
            b.pulseUntil[pin] = now_ + stationMs(PulseMs);
        b.pulseUntil[pin - 1] = now_ + stationMs(PulseMs);   // the contact closes for a moment either way
    }
    return KeyResult::Accepted;
}

void Plant::releaseKeys()
{
    for (Block &b : blocks_)
        b.held = 0;
}

bool Plant::write(int block, int pin, double value)
{
    if (!validPin(block, pin) || blocks_[block].type == 0)
        return false;
    Block &b = blocks_[block];
    switch (b.type) {
    case T_PID:
        b.loop.sp = value;
        b.loop.reach(value);
        break;
    case T_TIM: {
        const int i = (pin / 2) & 3;
        b.preset[i] = std::max(0.1, value);
        b.timerStart[i] = now_;
        break;
    }
    default: b.setting.set(pin, value); break;
    }
    return true;
}

double Plant::pidSetPoint(int block) const { return type(block) == T_PID ? blocks_[block].loop.sp : 0.0; }

void Plant::pinOutput(int block, int pin, double value)
{
    if (validPin(block, pin))
        blocks_[block].pinnedOut.set(pin, value);
}

void Plant::unpinOutput(int block, int pin)
{
    if (validPin(block, pin))
        blocks_[block].pinnedOut.clear(pin);
}

void Plant::pinInput(int block, int pin, double value)
{
    if (validPin(block, pin))
        blocks_[block].pinnedIn.set(pin, value);
}

void Plant::unpinInput(int block, int pin)
{
    if (validPin(block, pin))
        blocks_[block].pinnedIn.clear(pin);
}

void Plant::setAlarm(int event, bool on)
{
    if (event < 0 || event >= Events)
        return;
    const std::uint32_t bit = 1u << event;
    if (bool(alarms_ & bit) != on)
        noteAlarm(now_, event, on);
    if (on) {
        alarms_ |= bit;
        heldAlarms_ |= bit;
    } else {
        alarms_ &= ~bit;
        heldAlarms_ &= ~bit;
    }
    alarmClearAt_[event] = 0;
}

void Plant::noteAlarm(qint64 timeMs, int event, bool on)
{
    // Bounded: a journal ring's worth; whoever stops taking them loses the oldest.
    constexpr size_t Kept = 1024;
    if (alarmChanges_.size() >= Kept)
        alarmChanges_.erase(alarmChanges_.begin(), alarmChanges_.begin() + ptrdiff_t(Kept / 2));
    alarmChanges_.push_back({timeMs, event, on});
}

std::vector<Plant::AlarmChange> Plant::takeAlarmChanges()
{
    std::vector<AlarmChange> out;
    out.swap(alarmChanges_);
    return out;
}

void Plant::setTrendSource(int param, int block, int pin)
{
    if (param >= 0 && param < TrendParams)
        trendSource_[param] = validPin(block, pin) ? Source{block, pin} : Source{};
}

void Plant::setReportSource(int k, int block, int pin)
{
    if (k >= 0 && k < ReportParams)
        reportSource_[k] = validPin(block, pin) ? Source{block, pin} : Source{};
}

double Plant::trendLow(int param) const { return (param >= 0 && param < TrendParams) ? trendLo_[param] : 0.0; }

double Plant::trendHigh(int param) const { return (param >= 0 && param < TrendParams) ? trendHi_[param] : 100.0; }

double Plant::trendValue(int param, qint64 atMs) const
{
    if (param < 0 || param >= TrendParams)
        return 0;
    if (const Source &s = trendSource_[param]; s.block)
        return outputAt(s.block, s.pin, atMs);
    return analogAt(key(98, TrendSide, param), trendLo_[param], trendHi_[param], atMs);
}

double Plant::reportValue(int k, qint64 atMs) const
{
    if (k < 0 || k >= ReportParams)
        return 0;
    if (const Source &s = reportSource_[k]; s.block)
        return std::max(0.0, outputAt(s.block, s.pin, atMs));
    return analogAt(key(48, ReportSide, k), 0, 100, atMs);
}

void Plant::Loop::settle()
{
    u = std::clamp((sp - lo) / span() * 100, 0.0, 100.0);
    integral = u / Kp;
    pv = sp;
}

void Plant::Loop::reach(double value)
{
    if (!(hi > lo) || !std::isfinite(lo) || !std::isfinite(hi)) {
        lo = 0;
        hi = 100;
    }
    if (!std::isfinite(value))
        return;
    const double margin = 0.05 * span();
    if (value > hi - margin)
        hi = lo + (value - lo) * 1.25;
    else if (value < lo + margin)
        lo = hi - (hi - value) * 1.25;
}

void Plant::stepLoop(Block &b, int block, double dtSec)
{
    Loop &l = b.loop;
    // Deviation and disturbance in percent of the process range.
    const double disturbance = analogAt(key(block, Disturbance, 0), -3, 3, now_);
    const double e = (l.sp - l.pv) / l.span() * 100;
    const double u = Kp * (e + l.integral);
    // Integrate only while the output is not driven against a limit (anti-windup).
    if ((u < 100 || e < 0) && (u > 0 || e > 0))
        l.integral += e * dtSec / TiSec;
    l.u = std::clamp(Kp * (e + l.integral), 0.0, 100.0);
    const double target = l.lo + (l.u + disturbance) / 100 * l.span();
    l.pv += (target - l.pv) * dtSec / TauSec;
}

void Plant::stepAlarms(qint64 dtMs)
{
    // Clears first, each at its own time, in time order; then perhaps a new alarm now.
    for (;;) {
        int first = -1;
        for (int e = 0; e < Events; ++e) {
            const std::uint32_t bit = 1u << e;
            if ((alarms_ & bit) && !(heldAlarms_ & bit) && alarmClearAt_[e] && now_ >= alarmClearAt_[e]
                && (first < 0 || alarmClearAt_[e] < alarmClearAt_[first]))
                first = e;
        }
        if (first < 0)
            break;
        alarms_ &= ~(1u << first);
        noteAlarm(alarmClearAt_[first], first, false);
        alarmClearAt_[first] = 0;
    }
    if (!options_.autoAlarms || options_.alarmIntervalMs <= 0 || alarmEvents_.empty())
        return;
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    if (uniform(rng_) >= double(dtMs) / double(options_.alarmIntervalMs))
        return;
    std::vector<int> quiet;
    for (int e : alarmEvents_)
        if (!(alarms_ & (1u << e)))
            quiet.push_back(e);
    if (quiet.empty())
        return;
    const int e = quiet[std::uniform_int_distribution<size_t>(0, quiet.size() - 1)(rng_)];
    alarms_ |= 1u << e;
    noteAlarm(now_, e, true);
    alarmClearAt_[e] = now_ + std::uniform_int_distribution<qint64>(10000, 60000)(rng_);
}

void Plant::advance(qint64 nowMs)
{
    if (nowMs <= now_) {
        now_ = std::max(now_, nowMs);
        return;
    }
    // Loops are stepped in short steps; a long gap (a suspended computer, a clock set forward)
    // is not replayed beyond a minute.
    qint64 remaining = std::min<qint64>(nowMs - now_, 60000);
    while (remaining > 0) {
        const qint64 step = std::min<qint64>(remaining, 200);
        for (int n = 1; n < Blocks; ++n)
            if (blocks_[n].type == T_PID)
                stepLoop(blocks_[n], n, double(step) / 1000.0);
        remaining -= step;
    }
    // Alarms in steps of a second at most, so that a long step (a fast plant clock) still
    // lets alarms come and go within it, each at its own time.
    const qint64 alarmFrom = std::max(now_, nowMs - 60000);
    now_ = alarmFrom;
    while (now_ < nowMs) {
        const qint64 step = std::min<qint64>(nowMs - now_, 1000);
        now_ += step;
        stepAlarms(step);
    }
    for (Block &b : blocks_)
        if (b.held && now_ > b.heldUntil)
            b.held = 0;
}

}   // namespace sim
