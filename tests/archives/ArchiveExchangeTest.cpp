// Trend, journal and report downloads run through the one exchange contract by the virtual
// driver: each ends with Done at the time its pacing lays out, with one outcome, and tells the
// common events in order (busy, ..., failed with the outcome's text, not busy, ended once).
#include "journal/JournalEngine.h"
#include "station/Station.h"
#include "journal/JournalFixtures.h"
#include "link/VirtualDriver.h"
#include "reports/ReportDownload.h"
#include "reports/ReportFixtures.h"
#include "trends/TrendRig.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

template <class Listener>
struct Common : Listener {
    std::vector<std::string> log;
    void archiveBusy(bool busy) override { log.push_back(busy ? "busy" : "idle"); }
    void archiveFailed(const QString &text) override { log.push_back("failed " + text.toStdString()); }
    void archiveEnded(const ArchiveOutcome &o) override
    {
        log.push_back(o.ok() ? "ended ok" : "ended " + o.text.toStdString());
    }
};

struct TrendCommon : Common<TrendListener> {};
struct JournalCommon : Common<JournalListener> {};
struct ReportCommon : Common<ReportEvents> {};

}   // namespace

TEST(ArchiveExchange, EachArchiveEndsOnItsPacingWithOneOutcomeAndTheCommonEvents)
{
    enum class Kind { Trend, Journal, Report };
    struct Case {
        const char *name;
        Kind kind;
        bool answers;
        qint64 endsAt;   // virtual ms from the start
        int writes;
        QString failure;   // empty: completed
    };
    const QString transfer = QStringLiteral("Помилка передачі!!!");
    const Case cases[] = {
        // 600 to the first send, 1500 after it and after its answer, then 100 ms a tick.
        {"trend page", Kind::Trend, true, 9700, 32, {}},
        // Packet 1 asked on every send tick until the 129th tick.
        {"trend, no answers", Kind::Trend, false, 16200, 64, transfer},
        {"journal page", Kind::Journal, true, 1800, 1, {}},
        {"journal, no answer", Kind::Journal, false, 1800, 1, transfer},
        {"report", Kind::Report, true, 2600, 4, {}},
        // The request at 500 ms, the receiver's first look 5 s after it at 5600 ms.
        {"report, no answer", Kind::Report, false, 5600, 1, transfer},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ManualClock clock;
        VirtualDriver driver(clock);
        std::vector<std::string> *log = nullptr;
        ScriptedTransport *line = nullptr;

        // Kept alive for the case.
        std::unique_ptr<trendtest::Rig> trend;
        TrendCommon trendEvents;
        Station st;
        ScriptedTransport serial, tcp;
        Link link(st, serial, tcp, clock);
        JournalCommon journalEvents;
        ReportCommon reportEvents;
        std::unique_ptr<JournalEngine> journal;
        std::unique_ptr<ReportDownload> report;

        st.project.controllerAddress = 1;
        st.project.linkKind = 1;
        switch (c.kind) {
        case Kind::Trend:
            trend = std::make_unique<trendtest::Rig>();
            trend->link.setClock(clock);
            trend->answering = c.answers;
            trend->engine.setPollText(QStringLiteral("100"));
            trend->engine.setListener(&trendEvents);
            ASSERT_TRUE(trend->engine.request(0, 200));
            log = &trendEvents.log;
            line = &trend->serial;
            break;
        case Kind::Journal:
            serial.open(Endpoint{1, {}, 0});
            st.journal.Jurnal_Request = 1;
            st.journal.Jurnal_Page = 5;
            serial.responder = [&](ScriptedTransport &t, const QByteArray &w) {
                if (c.answers && w.size() == 8 && w[1] == 77)
                    t.inject(jtest::answer(5, 7, 1650));
            };
            journal = std::make_unique<JournalEngine>(st, link, &journalEvents);
            log = &journalEvents.log;
            line = &serial;
            break;
        case Kind::Report:
            st.project.linkKind = 2;
            serial.responder = [&](ScriptedTransport &t, const QByteArray &w) {
                if (c.answers && w.size() == 8 && w[1] == 75)
                    t.inject(reportfix::packetAnswer(w[2]));
            };
            report = std::make_unique<ReportDownload>(st, link, &reportEvents);
            log = &reportEvents.log;
            line = &serial;
            break;
        }
        ArchiveExchange &x = trend ? static_cast<ArchiveExchange &>(trend->engine)
            : journal              ? static_cast<ArchiveExchange &>(*journal)
                                   : static_cast<ArchiveExchange &>(*report);

        ASSERT_TRUE(driver.run(x, 1000));
        EXPECT_FALSE(x.running());
        ASSERT_FALSE(driver.intervals().empty());
        EXPECT_EQ(driver.intervals().back(), ArchiveExchange::Done);
        EXPECT_EQ(clock.nowMs(), c.endsAt);
        EXPECT_EQ(int(line->writes.size()), c.writes);

        const ArchiveOutcome o = x.outcome();
        EXPECT_EQ(o.ok(), c.failure.isEmpty());
        EXPECT_EQ(o.text, c.failure);
        std::vector<std::string> expected{"busy"};
        if (!c.failure.isEmpty())
            expected.push_back("failed " + c.failure.toStdString());
        expected.push_back("idle");
        expected.push_back(c.failure.isEmpty() ? "ended ok" : "ended " + c.failure.toStdString());
        EXPECT_EQ(*log, expected);

        // Over: a step of an ended exchange is Done at once.
        EXPECT_EQ(x.step(), ArchiveExchange::Done);
    }
}
