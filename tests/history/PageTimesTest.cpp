// The sample times of a trend page from its stamps: regular pages, current pages short of a
// second stamp, and stamps that are no time, run backwards or break the period.
#include "history/PageTimes.h"
#include "HistoryImages.h"

#include <gtest/gtest.h>

namespace {

using historytest::Stamp;

const QDateTime Seven(QDate(2024, 3, 5), QTime(7, 0, 0), Qt::UTC);

std::vector<Stamp> regular(qint64 periodMs) { return historytest::regularStamps(Seven, periodMs); }

std::vector<Stamp> with(std::vector<Stamp> s, int k, Stamp v)
{
    s[std::size_t(k)] = v;
    return s;
}

struct Case {
    const char *what;
    std::vector<Stamp> stamps;
    int samples;
    qint64 knownPeriodUs;
    bool rejected;
    qint64 periodUs;
    int timed;
    const char *note;   // a part of the note, or "" for none
};

TEST(PageTimes, FromTheStampsOfThePage)
{
    const Stamp zero{0, 0, 0, 0, 0, 0};
    auto firstTwo = regular(7500);
    for (int k = 2; k < 8; ++k)
        firstTwo[std::size_t(k)] = zero;
    // Stamps of whole seconds around a period of 7.4 s: 444 s per stamp, a second late at times.
    std::vector<Stamp> slow, jitter;
    for (int k = 0; k < 8; ++k)
        slow.push_back(historytest::stampAt(Seven.addSecs(61 * k)));
    for (int k = 0; k < 8; ++k)
        jitter.push_back(historytest::stampAt(Seven.addSecs(444 * k + (k % 2))));
    const Case cases[] = {
        {"archive page, 7.5 s", regular(7500), 480, 0, false, 7500000, 480, ""},
        {"archive page, 61 s per 60 samples", slow, 480, 0, false, 1016666, 480, ""},
        {"stamps a second off the period", jitter, 480, 0, false, 7400000 + 1000000 / 420, 480, ""},
        {"current page, 100 samples", firstTwo, 100, 0, false, 7500000, 100, ""},
        {"current page, 61 samples", firstTwo, 61, 0, false, 7500000, 61, ""},
        {"current page, 60 samples, no period known", firstTwo, 60, 0, false, 0, 1, "only the stamped sample"},
        {"current page, 30 samples, period of the group", firstTwo, 30, 5000000, false, 5000000, 30, ""},
        {"month 13 at stamp 4", with(regular(7500), 3, {7, 22, 30, 24, 13, 5}), 480, 0, false, 7500000, 180, "stamp 4"},
        {"hour 25 at stamp 1", with(regular(7500), 0, {25, 0, 0, 24, 3, 5}), 480, 0, true, 0, 0, "stamp 1"},
        {"30 February at stamp 2", with(regular(7500), 1, {7, 7, 30, 24, 2, 30}), 480, 5000000, false, 5000000, 60,
         "stamp 2"},
        {"stamp 3 before stamp 2", with(regular(7500), 2, {7, 1, 0, 24, 3, 5}), 480, 0, false, 7500000, 120,
         "not after"},
        {"stamp 6 an hour late", with(regular(7500), 5, {8, 37, 30, 24, 3, 5}), 480, 0, false, 7500000, 300,
         "breaks the sample period"},
        {"stamps all zero", std::vector<Stamp>(8, zero), 480, 0, true, 0, 0, "stamp 1"},
        {"zero after a time", with(regular(7500), 4, zero), 480, 0, false, 7500000, 240, "stamp 5"},
        {"no samples", regular(7500), 0, 0, true, 0, 0, "no samples"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QString why;
        const auto t = history::pageTimes(historytest::image(c.stamps, c.samples), c.samples, c.knownPeriodUs, &why);
        if (c.rejected) {
            EXPECT_FALSE(t);
            EXPECT_TRUE(why.contains(QLatin1String(c.note))) << why.toStdString();
            continue;
        }
        ASSERT_TRUE(t) << why.toStdString();
        EXPECT_EQ(t->t0Ms, 1709622000000LL);   // 2024-03-05 07:00:00
        EXPECT_EQ(t->periodUs, c.periodUs);
        EXPECT_EQ(t->timed, c.timed);
        if (*c.note)
            EXPECT_TRUE(t->note.contains(QLatin1String(c.note))) << t->note.toStdString();
        else
            EXPECT_TRUE(t->note.isEmpty()) << t->note.toStdString();
    }
}

TEST(PageTimes, ClockTextsAndRanges)
{
    EXPECT_EQ(history::clockText(1709622007500LL), QStringLiteral("2024-03-05 07:00:07.500"));
    EXPECT_EQ(history::parseClock(QStringLiteral("2024-03-05 07:00:07")), 1709622007000LL);
    EXPECT_EQ(history::parseClock(QStringLiteral("2024-03-05T07:00:07")), 1709622007000LL);
    for (const char *bad : {"2024-13-05 07:00:00", "2024-03-05 25:00:00", "2024-02-30 00:00:00", "yesterday", ""})
        EXPECT_FALSE(history::parseClock(QString::fromLatin1(bad))) << bad;
    EXPECT_EQ(history::clockMs(24, 3, 5, 7, 0, 0), 1709622000000LL);
    EXPECT_FALSE(history::clockMs(24, 13, 5, 7, 0, 0));
}

}   // namespace
