#include "Scenario.h"

#include "Clock.h"
#include "Controller.h"
#include "Simulator.h"

#include <QFile>
#include <QRegularExpression>
#include <cmath>

namespace sim {

namespace {

// Reads the words of one line; every reader sets the error and returns false on bad input.
class Words {
public:
    explicit Words(const QStringList &words) : w_(words) {}
    bool atEnd() const { return i_ >= w_.size(); }
    int left() const { return int(w_.size()) - i_; }
    QString error;

    bool word(QString &out, const char *what)
    {
        if (atEnd())
            return fail(QStringLiteral("%1 missing").arg(QLatin1String(what)));
        out = w_[i_++];
        return true;
    }
    bool integer(int &out, int lo, int hi, const char *what)
    {
        QString s;
        if (!word(s, what))
            return false;
        bool ok = false;
        const int v = s.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? s.mid(2).toInt(&ok, 16) : s.toInt(&ok);
        if (!ok || v < lo || v > hi)
            return fail(
                QStringLiteral("%1 must be %2..%3, not \"%4\"").arg(QLatin1String(what)).arg(lo).arg(hi).arg(s));
        out = v;
        return true;
    }
    bool number(double &out, const char *what)
    {
        QString s;
        if (!word(s, what))
            return false;
        bool ok = false;
        const double v = s.toDouble(&ok);
        if (!ok || !std::isfinite(v))
            return fail(QStringLiteral("%1 is not a number: \"%2\"").arg(QLatin1String(what), s));
        out = v;
        return true;
    }
    bool onOff(bool &out, const char *on, const char *off)
    {
        QString s;
        if (!word(s, on))
            return false;
        if (s == QLatin1String(on) || s == QLatin1String("on"))
            out = true;
        else if (s == QLatin1String(off) || s == QLatin1String("off"))
            out = false;
        else
            return fail(QStringLiteral("expected %1 or %2, not \"%3\"").arg(QLatin1String(on), QLatin1String(off), s));
        return true;
    }
    bool dateTime(qint64 &out)
    {
        QString d, t;
        if (!word(d, "date") || !word(t, "time"))
            return false;
        const QDate date = QDate::fromString(d, QStringLiteral("yyyy-MM-dd"));
        QTime time = QTime::fromString(t, QStringLiteral("HH:mm:ss"));
        if (!time.isValid())
            time = QTime::fromString(t, QStringLiteral("HH:mm"));
        if (!date.isValid() || !time.isValid())
            return fail(QStringLiteral("expected a date and time like 2024-03-07 14:05:00, not \"%1 %2\"").arg(d, t));
        out = controllerMs(date, time);
        return true;
    }
    bool duration(qint64 &out, const char *what)
    {
        QString s;
        if (!word(s, what))
            return false;
        out = Scenario::parseDuration(s);
        if (out < 0)
            return fail(QStringLiteral("%1 is not a duration: \"%2\"").arg(QLatin1String(what), s));
        return true;
    }
    // A block number 1..99 and a pin 0..31.
    bool blockPin(int &block, int &pin) { return integer(block, 1, 99, "block") && integer(pin, 0, 31, "pin"); }
    // The first count entries of out, each in lo..hi.
    template <std::size_t N>
    bool integers(std::array<int, N> &out, int count, int lo, int hi, const char *what)
    {
        for (int i = 0; i < count; ++i)
            if (!integer(out[size_t(i)], lo, hi, what))
                return false;
        return true;
    }
    // The rest of the line: at most N values; with negativeError set, negative ones are refused
    // with that text.
    template <std::size_t N>
    bool values(std::array<float, N> &out, const char *negativeError = nullptr)
    {
        if (left() > int(N))
            return fail(QStringLiteral("at most %1 values").arg(N));
        for (size_t i = 0; !atEnd(); ++i) {
            double v = 0;
            if (!number(v, "value"))
                return false;
            if (negativeError != nullptr && v < 0)
                return fail(QLatin1String(negativeError));
            out[i] = float(v);
        }
        return true;
    }
    bool done()
    {
        if (!atEnd())
            return fail(QStringLiteral("unexpected \"%1\"").arg(w_[i_]));
        return true;
    }
    bool fail(const QString &text)
    {
        if (error.isEmpty())
            error = text;
        return false;
    }

private:
    QStringList w_;
    int i_ = 0;
};

bool flagsFrom(const QString &s, std::uint32_t &flags)
{
    flags = 0;
    if (s == QLatin1String("-"))
        return true;
    bool ok = false;
    if (s.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        const qulonglong v = s.mid(2).toULongLong(&ok, 16);
        if (!ok || v > 0xFFFFFFFFull)
            return false;
        flags = std::uint32_t(v);
        return true;
    }
    for (const QString &part : s.split(QLatin1Char(','))) {
        const int e = part.toInt(&ok);
        if (!ok || e < 0 || e > 31)
            return false;
        flags |= 1u << e;
    }
    return true;
}

bool readAction(const QString &verb, Words &w, Action &a)
{
    if (verb == QLatin1String("pin") || verb == QLatin1String("pin-input")) {
        a.kind = verb == QLatin1String("pin") ? Action::PinOutput : Action::PinInput;
        return w.blockPin(a.a, a.b) && w.number(a.value, "value") && w.done();
    }
    if (verb == QLatin1String("unpin") || verb == QLatin1String("unpin-input")) {
        a.kind = verb == QLatin1String("unpin") ? Action::UnpinOutput : Action::UnpinInput;
        return w.blockPin(a.a, a.b) && w.done();
    }
    if (verb == QLatin1String("alarm")) {
        a.kind = Action::Alarm;
        return w.integer(a.a, 0, 31, "event") && w.onOff(a.on, "on", "off") && w.done();
    }
    if (verb == QLatin1String("alarms")) {
        a.kind = Action::AutoAlarms;
        return w.onOff(a.on, "auto", "off") && w.done();
    }
    if (verb == QLatin1String("key")) {
        a.kind = Action::Key;
        return w.integer(a.a, 1, 99, "block") && w.integer(a.b, 0, 255, "key code") && w.done();
    }
    if (verb == QLatin1String("write")) {
        a.kind = Action::Write;
        return w.blockPin(a.a, a.b) && w.number(a.value, "value") && w.done();
    }
    if (verb == QLatin1String("trend-group")) {
        a.kind = Action::TrendGroup;
        return w.integer(a.a, 1, 8, "group") && w.integers(a.list, 4, 0, 31, "parameter number") && w.done();
    }
    if (verb == QLatin1String("trend-source")) {
        a.kind = Action::TrendSource;
        return w.integer(a.a, 0, 31, "trend parameter") && w.blockPin(a.list[0], a.list[1]) && w.done();
    }
    if (verb == QLatin1String("report-source")) {
        a.kind = Action::ReportSource;
        return w.integer(a.a, 1, 16, "report parameter") && w.blockPin(a.list[0], a.list[1]) && w.done();
    }
    if (verb == QLatin1String("trend-style")) {
        a.kind = Action::TrendStyle;
        return w.integer(a.a, 1, 256, "line width") && w.integers(a.list, 4, 0, 20, "palette index") && w.done();
    }
    return w.fail(QStringLiteral("unknown word \"%1\"").arg(verb));
}

QStringList splitWords(const QString &line)
{
    QString s = line;
    const int hash = int(s.indexOf(QLatin1Char('#')));
    if (hash >= 0)
        s.truncate(hash);
    return s.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

}   // namespace

void applyAction(Controller &controller, const Action &a)
{
    Plant &plant = controller.plant();
    switch (a.kind) {
    case Action::PinOutput: plant.pinOutput(a.a, a.b, a.value); break;
    case Action::PinInput: plant.pinInput(a.a, a.b, a.value); break;
    case Action::UnpinOutput: plant.unpinOutput(a.a, a.b); break;
    case Action::UnpinInput: plant.unpinInput(a.a, a.b); break;
    case Action::Alarm: plant.setAlarm(a.a, a.on); break;
    case Action::AutoAlarms: plant.setAutoAlarms(a.on); break;
    case Action::Key: plant.pressKey(a.a, a.b); break;
    case Action::Write: plant.write(a.a, a.b, a.value); break;
    case Action::TrendGroup:
        for (int c = 0; c < 4; ++c)
            controller.trends().setParamNumber(a.a - 1, c, a.list[size_t(c)]);
        break;
    case Action::TrendSource: plant.setTrendSource(a.a, a.list[0], a.list[1]); break;
    case Action::ReportSource: plant.setReportSource(a.a - 1, a.list[0], a.list[1]); break;
    case Action::TrendStyle:
        controller.trends().setStyle(
            a.a, {std::uint8_t(a.list[0]), std::uint8_t(a.list[1]), std::uint8_t(a.list[2]), std::uint8_t(a.list[3])});
        break;
    }
    controller.syncJournal();
}

qint64 Scenario::parseDuration(const QString &text)
{
    static const QRegularExpression part(QStringLiteral("(\\d+(?:\\.\\d+)?)(ms|s|m|h)?"));
    if (text.isEmpty())
        return -1;
    double total = 0;
    int pos = 0;
    while (pos < text.size()) {
        const QRegularExpressionMatch m =
            part.match(text, pos, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption);
        if (!m.hasMatch() || m.capturedLength() == 0)
            return -1;
        const double v = m.captured(1).toDouble();
        const QString unit = m.captured(2);
        if (unit.isEmpty() && (pos != 0 || m.capturedEnd() != text.size()))
            return -1;   // a bare number is seconds, and only on its own
        total += v
            * (unit == QLatin1String("ms")      ? 1.0
                   : unit == QLatin1String("m") ? 60000.0
                   : unit == QLatin1String("h") ? 3600000.0
                                                : 1000.0);
        pos = int(m.capturedEnd());
    }
    if (total > 1e13)
        return -1;
    return qint64(std::llround(total));
}

std::optional<Action> Scenario::parseAction(const QString &line, QString *error)
{
    const QStringList words = splitWords(line);
    if (words.isEmpty()) {
        if (error)
            *error = QStringLiteral("empty line");
        return std::nullopt;
    }
    Words w(words.mid(1));
    Action a;
    if (!readAction(words[0], w, a)) {
        if (error)
            *error = w.error;
        return std::nullopt;
    }
    return a;
}

std::optional<Scenario> Scenario::parse(const QString &text, QString *error)
{
    Scenario s;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int n = 0; n < lines.size(); ++n) {
        QStringList words = splitWords(lines[n]);
        if (words.isEmpty())
            continue;
        qint64 at = -1;
        if (words[0] == QLatin1String("at")) {
            at = words.size() > 1 ? parseDuration(words[1]) : -1;
            if (at < 0 || words.size() < 3) {
                if (error)
                    *error = QStringLiteral("line %1: \"at\" needs a time like 30s and an action").arg(n + 1);
                return std::nullopt;
            }
            words = words.mid(2);
        }
        const QString verb = words[0];
        Words w(words.mid(1));
        bool ok = true;
        const bool setting = verb == QLatin1String("clock") || verb == QLatin1String("seed")
            || verb == QLatin1String("address") || verb == QLatin1String("history")
            || verb == QLatin1String("trend-period") || verb == QLatin1String("report-period")
            || verb == QLatin1String("alarm-interval") || verb == QLatin1String("trend")
            || verb == QLatin1String("journal") || verb == QLatin1String("report");
        if (setting && at >= 0) {
            if (error)
                *error = QStringLiteral("line %1: \"%2\" cannot be timed").arg(n + 1).arg(verb);
            return std::nullopt;
        }
        if (verb == QLatin1String("clock")) {
            qint64 ms = 0;
            ok = w.dateTime(ms) && w.done();
            s.clockMs = ms;
        } else if (verb == QLatin1String("seed")) {
            int v = 0;
            ok = w.integer(v, 0, 0x7FFFFFFF, "seed") && w.done();
            s.seed = std::uint32_t(v);
        } else if (verb == QLatin1String("address")) {
            int v = 0;
            ok = w.integer(v, 0, 255, "address") && w.done();
            s.address = v;
        } else if (verb == QLatin1String("history")) {
            bool on = true;
            ok = w.onOff(on, "on", "off") && w.done();
            s.history = on;
        } else if (verb == QLatin1String("trend-period") || verb == QLatin1String("report-period")
                   || verb == QLatin1String("alarm-interval")) {
            qint64 ms = 0;
            ok = w.duration(ms, "period") && w.done();
            if (ok && verb != QLatin1String("alarm-interval") && ms < 100)
                ok = w.fail(QStringLiteral("a period under 100 ms is not kept"));
            (verb == QLatin1String("trend-period")        ? s.trendPeriodMs
                 : verb == QLatin1String("report-period") ? s.reportPeriodMs
                                                          : s.alarmIntervalMs) = ms;
        } else if (verb == QLatin1String("trend")) {
            TrendRow row;
            ok = w.dateTime(row.timeMs) && w.values(row.values);
            s.trendRows.push_back(row);
        } else if (verb == QLatin1String("journal")) {
            JournalRow row;
            QString flags;
            ok = w.dateTime(row.timeMs) && w.word(flags, "events");
            if (ok && !flagsFrom(flags, row.flags))
                ok = w.fail(QStringLiteral("events are \"-\", a list like 0,2,31 or a word like 0x00000005, not \"%1\"")
                                .arg(flags));
            ok = ok && w.done();
            s.journalRows.push_back(row);
        } else if (verb == QLatin1String("report")) {
            ReportArchive::Row row;
            // The station reads report values without their sign.
            ok = w.dateTime(row.timeMs) && w.values(row.values, "report values cannot be negative");
            s.reportRows.push_back(row);
        } else {
            Action a;
            ok = readAction(verb, w, a);
            s.actions.push_back({at, a, QStringLiteral("scenario: ") + words.join(QLatin1Char(' '))});
        }
        if (!ok) {
            if (error)
                *error = QStringLiteral("line %1: %2").arg(n + 1).arg(w.error);
            return std::nullopt;
        }
    }
    return s;
}

std::optional<Scenario> Scenario::load(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        if (error)
            *error = QStringLiteral("cannot read the scenario %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    QString inner;
    auto s = parse(QString::fromUtf8(file.readAll()), &inner);
    if (!s && error)
        *error = QStringLiteral("%1: %2").arg(path, inner);
    return s;
}

void Scenario::configure(SimulatorOptions &options) const
{
    ControllerOptions &c = options.controller;
    if (clockMs)
        options.clockStartMs = *clockMs;
    if (seed)
        c.plant.seed = *seed;
    if (address)
        options.address = *address;
    if (history)
        c.trendHistory = c.journalHistory = c.reportHistory = *history;
    // Preloaded contents take the place of the invented past.
    if (!trendRows.empty())
        c.trendHistory = false;
    if (!journalRows.empty())
        c.journalHistory = false;
    if (!reportRows.empty())
        c.reportHistory = false;
    if (trendPeriodMs)
        c.trendPeriodMs = *trendPeriodMs;
    if (reportPeriodMs)
        c.reportPeriodMs = *reportPeriodMs;
    if (alarmIntervalMs)
        c.plant.alarmIntervalMs = *alarmIntervalMs;
}

void Scenario::install(Simulator &simulator) const
{
    Controller &c = simulator.controller();
    for (const TrendRow &row : trendRows)
        c.trends().append(row.timeMs, row.values);
    for (const JournalRow &row : journalRows)
        c.journal().append(row.timeMs, row.flags);
    for (const ReportArchive::Row &row : reportRows)
        c.reports().append(row);
    for (const Timed &t : actions) {
        const Action a = t.action;
        simulator.at(
            std::max<qint64>(t.atMs, 0), [a](Controller &controller) { applyAction(controller, a); }, t.text);
    }
}

}   // namespace sim
