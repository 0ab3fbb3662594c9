// The simulator's scenario parser and its action lines (also typed on the simulator's
// standard input), and the values of its time and fault options, on any text. Checked: a parse
// either fails with a message or yields settings in their ranges, times that are not negative,
// and actions of the known kinds; a parse of the same text gives the same result; a duration
// is -1 or not negative; a fault option "N[:K]" that is taken has N from 1 and K in 0..100000.
#include "FuzzRig.h"

#include "sim/FaultInjector.h"
#include "sim/Scenario.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    QString error;
    const std::optional<sim::Scenario> s = sim::Scenario::parse(text, &error);
    if (!s) {
        FUZZ_CHECK(!error.isEmpty());
    } else {
        FUZZ_CHECK(!s->trendPeriodMs || *s->trendPeriodMs > 0);
        FUZZ_CHECK(!s->reportPeriodMs || *s->reportPeriodMs > 0);
        FUZZ_CHECK(!s->alarmIntervalMs || *s->alarmIntervalMs >= 0);
        FUZZ_CHECK(!s->address || (*s->address >= 0 && *s->address <= 255));
        for (const auto &a : s->actions) {
            FUZZ_CHECK(a.atMs >= -1);
            FUZZ_CHECK(a.action.kind >= sim::Action::PinOutput && a.action.kind <= sim::Action::TrendStyle);
        }
        QString again;
        const std::optional<sim::Scenario> t = sim::Scenario::parse(text, &again);
        FUZZ_CHECK(t && t->actions.size() == s->actions.size() && t->trendRows.size() == s->trendRows.size()
                   && t->journalRows.size() == s->journalRows.size() && t->reportRows.size() == s->reportRows.size());
    }
    // Each line as an action typed on the console, and each word as a duration.
    for (const QString &line : text.split(u'\n')) {
        QString why;
        const auto action = sim::Scenario::parseAction(line, &why);
        FUZZ_CHECK(action || !why.isEmpty());
        for (const QString &word : line.split(u' ', Qt::SkipEmptyParts)) {
            FUZZ_CHECK(sim::Scenario::parseDuration(word) >= -1);
            int every = 0, amount = -1;
            if (sim::parseEvery(word, every, amount)) {
                FUZZ_CHECK(every >= 1);
                FUZZ_CHECK(word.contains(u':') ? amount >= 0 && amount <= 100000 : amount == -1);
            }
        }
    }
    return 0;
}
