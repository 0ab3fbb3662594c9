#include "link/LinkIndicator.h"

#include "station/Station.h"

#include <gtest/gtest.h>

using State = LinkIndicator::State;

// The state follows the polling cycle once a project is loaded; before, it only remembers.
TEST(LinkIndicator, StateFollowsTheLoadAndThePollingCycle)
{
    enum Event { Load, Answering, Silent };
    struct Case {
        const char *what;
        std::vector<Event> events;
        bool reconnecting;
        State shown;
    };
    const Case cases[] = {
        {"nothing loaded", {}, false, State::Hidden},
        {"nothing loaded, answers heard", {Answering, Silent}, false, State::Hidden},
        {"nothing loaded, a reconnect under way", {}, true, State::Hidden},
        {"loaded, nothing heard yet", {Load}, false, State::Waiting},
        {"heard before the load", {Answering, Load}, false, State::Answering},
        {"silence heard before the load", {Answering, Silent, Load}, false, State::Silent},
        {"answers after the load", {Load, Answering}, false, State::Answering},
        {"silent after answering", {Load, Answering, Silent}, false, State::Silent},
        {"a second load keeps what the link does", {Load, Silent, Load}, false, State::Silent},
        {"a reconnect overrides", {Load, Answering}, true, State::Reconnecting},
        {"a reconnect while waiting", {Load}, true, State::Reconnecting},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        LinkIndicator model;
        for (Event e : c.events) {
            if (e == Load)
                model.projectLoaded();
            else
                model.answeringChanged(e == Answering);
        }
        EXPECT_EQ(model.state(c.reconnecting), c.shown);
    }
}

TEST(LinkIndicator, ShowsTheDotTextAndTooltipOfEachState)
{
    LinkIndicator::Figures f;
    f.silentForMs = 12'999;
    f.nextAttemptInMs = 1'001;
    f.lateAnswers = 3;
    f.connectAttempts = 4;
    f.description = QStringLiteral("TCP 10.0.0.5:4001, контролер №2");
    LinkIndicator::Figures why = f;
    why.connectionError = QStringLiteral("з'єднання відхилено");
    LinkIndicator::Figures due = f;
    due.nextAttemptInMs = 0;
    LinkIndicator::Figures port = f;
    port.description = QStringLiteral("COM3 (/dev/ttyS2), контролер №1");
    port.portFailure = QStringLiteral("Помилка СОМ порту !!!\nнемає такого пристрою");

    const QString tcpTip = QStringLiteral("TCP 10.0.0.5:4001, контролер №2\nЗапізнілих відповідей відкинуто: 3");
    struct Case {
        State state;
        const LinkIndicator::Figures &figures;
        bool visible;
        const char *colour;
        QString text;
        QString tip;
    };
    const Case cases[] = {
        {State::Hidden, f, false, "", QString(), QString()},
        {State::Waiting, f, true, "#9e9e9e", QStringLiteral("Встановлення зв'язку…"), tcpTip},
        {State::Answering, f, true, "#2e9d3a", QStringLiteral("Зв'язок є"), tcpTip},
        {State::Silent, f, true, "#d32f2f", QStringLiteral("Немає зв'язку 12 с"), tcpTip},
        {State::Reconnecting, f, true, "#d32f2f", QStringLiteral("Повторне з'єднання через 2 с"),
         tcpTip + QStringLiteral("\nСпроб з'єднання: 4")},
        {State::Reconnecting, why, true, "#d32f2f", QStringLiteral("Повторне з'єднання через 2 с: з'єднання відхилено"),
         tcpTip + QStringLiteral("\nСпроб з'єднання: 4")},
        {State::Reconnecting, due, true, "#d32f2f", QStringLiteral("Повторне з'єднання через 0 с"),
         tcpTip + QStringLiteral("\nСпроб з'єднання: 4")},
        {State::Silent, port, true, "#d32f2f", QStringLiteral("Немає зв'язку 12 с"),
         QStringLiteral("COM3 (/dev/ttyS2), контролер №1\nЗапізнілих відповідей відкинуто: 3\n"
                        "Помилка СОМ порту !!!\nнемає такого пристрою")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const LinkIndicator::View v = LinkIndicator::view(c.state, c.figures);
        EXPECT_EQ(v.visible, c.visible);
        EXPECT_EQ(v.colour, QLatin1String(c.colour));
        EXPECT_EQ(v.text, c.text);
        EXPECT_EQ(v.toolTip, c.tip);
        if (c.visible) {
            EXPECT_EQ(v.richText,
                      QStringLiteral("<span style=\"color:%1\">&#9679;</span> ").arg(QLatin1String(c.colour))
                          + c.text.toHtmlEscaped());
        }
    }
    // Text that looks like markup is shown as text.
    LinkIndicator::Figures odd = f;
    odd.connectionError = QStringLiteral("<b>&");
    EXPECT_TRUE(LinkIndicator::view(State::Reconnecting, odd).richText.endsWith(QStringLiteral("&lt;b&gt;&amp;")));
}

TEST(LinkIndicator, NamesTheProjectsLink)
{
    Station st;
    struct Case {
        std::int16_t kind;
        const char *expected;
    };
    const Case cases[] = {
        {1, "COM1 (/dev/ttyS0), контролер №7"},
        {8, "COM8 (/dev/ttyUSB1), контролер №7"},
        {9, "TCP 192.168.1.20:4001, контролер №7"},
        {12, "вид зв'язку 12, контролер №7"},
    };
    st.poll.comDevices[8] = QStringLiteral("/dev/ttyUSB1");
    st.project.controllerAddress = 7;
    st.project.ipAddress = QStringLiteral("192.168.1.20");
    st.project.tcpPort = 4001;
    for (const Case &c : cases) {
        st.project.linkKind = c.kind;
        EXPECT_EQ(LinkIndicator::linkDescription(st), QString::fromUtf8(c.expected));
    }
}
