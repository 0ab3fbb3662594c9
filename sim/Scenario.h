#pragma once
// Scenario files: a line format that sets the simulator up (clock, seed, periods), preloads
// archive contents, and pins values, raises alarms, presses keys or writes set-points at given
// times. The format is described in sim/README.md; the same action lines are accepted one by
// one on the simulator's standard input.
#include "Archives.h"

#include <QString>
#include <array>
#include <optional>
#include <vector>

namespace sim {

class Controller;
class Simulator;
struct SimulatorOptions;

struct Action {
    enum Kind {
        PinOutput,
        PinInput,
        UnpinOutput,
        UnpinInput,
        Alarm,
        AutoAlarms,
        Key,
        Write,
        TrendGroup,
        TrendSource,
        ReportSource,
        TrendStyle,
    };
    Kind kind = PinOutput;
    int a = 0, b = 0;
    double value = 0;
    bool on = false;
    std::array<int, 5> list{};
};

void applyAction(Controller &controller, const Action &action);

class Scenario {
public:
    static std::optional<Scenario> parse(const QString &text, QString *error);
    static std::optional<Scenario> load(const QString &path, QString *error);
    // One action line (no settings, no preloads, no "at").
    static std::optional<Action> parseAction(const QString &line, QString *error);
    // A duration such as 500ms, 30s, 2m, 1h, 1m30s or 1.5 (seconds); -1 when malformed.
    static qint64 parseDuration(const QString &text);

    // Settings that shape how the simulator starts.
    void configure(SimulatorOptions &options) const;
    // Archive contents, then the actions (now, or at their time after start).
    void install(Simulator &simulator) const;

    struct TrendRow {
        qint64 timeMs = 0;
        TrendArchive::Row values{};
    };
    struct JournalRow {
        qint64 timeMs = 0;
        std::uint32_t flags = 0;
    };
    struct Timed {
        qint64 atMs = -1;   // -1: at start
        Action action;
        QString text;   // the line as written, for the log
    };

    std::optional<qint64> clockMs;
    std::optional<std::uint32_t> seed;
    std::optional<int> address;
    std::optional<bool> history;
    std::optional<qint64> trendPeriodMs;
    std::optional<qint64> reportPeriodMs;
    std::optional<qint64> alarmIntervalMs;
    std::vector<TrendRow> trendRows;
    std::vector<JournalRow> journalRows;
    std::vector<ReportArchive::Row> reportRows;
    std::vector<Timed> actions;
};

}   // namespace sim
