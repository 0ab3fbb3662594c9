// Values that tell their age on a live page: the controller falls silent and every element
// that shows a value is marked within three polling cycles; it answers again and they are
// normal within one cycle. Also leaves screenshots of the live page and of the link down.
#include "e2e/StationRig.h"

#include "mimic/MimicPages.h"
#include "mimic/ValueAge.h"

#include <QDir>
#include <QTabBar>
#include <vector>

namespace e2e {
namespace {

struct Element {
    ElementKind kind;
    int slot;
};

// The elements of `page` that the polling cycle feeds.
std::vector<Element> valueElements(const ProjectModel &m, int page)
{
    std::vector<Element> out;
    const auto P = static_cast<std::size_t>(page);
    for (int s = 1; s <= 32; ++s) {
        const auto S = static_cast<std::size_t>(s);
        if (m.valueLabels[P][S].present == 1)
            out.push_back({ElementKind::Parametr_Label, s});
        if (m.signals[P][S].present == 1)
            out.push_back({ElementKind::Signal_Picture, s});
        if (m.signalTexts[P][S].present == 1)
            out.push_back({ElementKind::Text_Signal_Picture, s});
        if (m.levels[P][S].present == 1)
            out.push_back({ElementKind::Level_Picture, s});
        const ControlRec &c = m.controls[P][S];
        if (c.present == 1 && (c.picture == 4 || c.picture == 12 || c.picture == 13) && c.key <= 127)
            out.push_back({ElementKind::Control_Image, s});
    }
    return out;
}

void saveShot(QWidget &w, const char *name)
{
    const QString dir = QStringLiteral(TABLO_TEST_BUILD_DIR) + QStringLiteral("/screenshots");
    QDir().mkpath(dir);
    EXPECT_TRUE(w.grab().save(dir + QLatin1Char('/') + QLatin1String(name))) << name;
}

}   // namespace

TEST(StationFreshness, ElementsAreMarkedWithinThreeSilentCyclesAndNormalWithinOneCycleOfAnswers)
{
    StationRig rig;
    ASSERT_TRUE(rig.load());
    ASSERT_TRUE(rig.waitForAnswers()) << "the simulator never answered";
    MimicPages *pages = rig.window->mimicPages();
    // The threshold follows the project's link: TCP waits ten times longer than a serial line.
    EXPECT_EQ(rig.project().linkTimingFactor, 10);
    EXPECT_EQ(pages->staleAfter(), 3 * 420 * 10);

    const int page = 1;   // the boiler: values, symbols, texts, bars and switches
    rig.window->mimicPages()->tabBar()->setCurrentIndex(page);
    ASSERT_EQ(rig.project().currentPage, page);
    const std::vector<Element> elements = valueElements(rig.project(), page);
    ASSERT_GE(elements.size(), 10u);
    const auto stale = [&] {
        int n = 0;
        for (const Element &e : elements)
            n += pages->isStale(e.kind, page, e.slot) ? 1 : 0;
        return n;
    };
    const auto withinCycles = [&](int cycles, const std::function<bool()> &done) {
        CycleCounter counter(*rig.window);
        return spinUntil([&] { return done() || counter.cycles() > cycles; }, 90000) && done()
            && counter.cycles() <= cycles;
    };

    // Just shown, nothing has its value yet; one cycle brings every one.
    EXPECT_EQ(stale(), static_cast<int>(elements.size()));
    ASSERT_TRUE(withinCycles(2, [&] { return stale() == 0; })) << stale() << " of " << elements.size();
    spinUntil([] { return false; }, 300);   // let the page settle for the picture
    saveShot(*rig.window->mainWindow(), "live-page.png");

    sim::FaultPlan silent;
    silent.dropEvery = 1;
    rig.simulator->setFaults(silent);
    EXPECT_TRUE(withinCycles(3, [&] { return stale() == static_cast<int>(elements.size()); }))
        << stale() << " of " << elements.size();
    EXPECT_TRUE(pages->valueAgeText(elements.front().kind, page, elements.front().slot)
                    .startsWith(QStringLiteral("Значення отримано ")));
    spinUntil([] { return false; }, 300);
    saveShot(*rig.window->mainWindow(), "link-down.png");

    rig.simulator->setFaults({});
    ASSERT_TRUE(spinUntil([&] { return stale() < static_cast<int>(elements.size()); }, 30000));
    EXPECT_TRUE(withinCycles(1, [&] { return stale() == 0; })) << stale() << " of " << elements.size();
}

}   // namespace e2e
