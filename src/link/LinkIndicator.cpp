#include "link/LinkIndicator.h"

#include "link/LinkStation.h"
#include "link/Link.h"

LinkIndicator::Figures LinkIndicator::figures(ConstLinkStation station, Link &link)
{
    Figures f;
    f.reconnecting = link.reconnecting();
    f.silentForMs = link.silentForMs();
    f.nextAttemptInMs = link.nextAttemptInMs();
    f.connectionError = link.connectionError();
    f.lateAnswers = link.statistics().lateAnswers;
    f.connectAttempts = link.connectAttempts();
    f.description = linkDescription(station);
    if (link.isSerial() && !link.serial().isOpen() && !link.serial().errorText().isEmpty())
        f.portFailure = link.portFailureText();
    return f;
}

QString LinkIndicator::linkDescription(ConstLinkStation station)
{
    const ProjectModel &m = station.project;
    QString where;
    if (m.linkKind >= 1 && m.linkKind <= 8)
        where = QStringLiteral("COM%1 (%2)").arg(m.linkKind).arg(station.poll.comDevice(m.linkKind));
    else if (m.linkKind == 9)
        where = QStringLiteral("TCP %1:%2").arg(m.ipAddress).arg(m.tcpPort);
    else
        where = QStringLiteral("вид зв'язку %1").arg(m.linkKind);
    return QStringLiteral("%1, контролер №%2").arg(where).arg(m.controllerAddress);
}

void LinkIndicator::answeringChanged(bool answering)
{
    heard_ = answering ? Heard::Answering : Heard::Silent;
    if (state_ != State::Hidden)
        state_ = answering ? State::Answering : State::Silent;
}

void LinkIndicator::projectLoaded()
{
    if (state_ != State::Hidden)
        return;
    state_ = heard_ == Heard::Answering ? State::Answering : heard_ == Heard::Silent ? State::Silent : State::Waiting;
}

LinkIndicator::State LinkIndicator::state(bool reconnecting) const
{
    if (state_ != State::Hidden && reconnecting)
        return State::Reconnecting;
    return state_;
}

QString LinkIndicator::stateText(State state)
{
    switch (state) {
    case State::Answering: return QStringLiteral("Зв'язок є");
    case State::Silent: return QStringLiteral("Немає зв'язку");
    case State::Waiting: return QStringLiteral("Встановлення зв'язку…");
    case State::Reconnecting: return QStringLiteral("Повторне з'єднання");
    case State::Hidden: break;
    }
    return {};
}

QString LinkIndicator::text(State state, const Figures &f)
{
    switch (state) {
    case State::Silent: return QStringLiteral("%1 %2 с").arg(stateText(state), QString::number(f.silentForMs / 1000));
    case State::Reconnecting: {
        // Counted down in whole seconds, rounded up: "0 с" only when the attempt is due.
        const QString text =
            QStringLiteral("%1 через %2 с").arg(stateText(state), QString::number((f.nextAttemptInMs + 999) / 1000));
        return f.connectionError.isEmpty() ? text : QStringLiteral("%1: %2").arg(text, f.connectionError);
    }
    default: return stateText(state);
    }
}

LinkIndicator::View LinkIndicator::view(State state, const Figures &f)
{
    View v;
    if (state == State::Hidden)
        return v;
    v.visible = true;
    v.colour = state == State::Answering                         ? QStringLiteral("#2e9d3a")
        : state == State::Silent || state == State::Reconnecting ? QStringLiteral("#d32f2f")
                                                                 : QStringLiteral("#9e9e9e");
    v.text = text(state, f);
    v.richText = QStringLiteral("<span style=\"color:%1\">&#9679;</span> %2").arg(v.colour, v.text.toHtmlEscaped());
    v.toolTip = f.description + QStringLiteral("\nЗапізнілих відповідей відкинуто: %1").arg(f.lateAnswers);
    if (state == State::Reconnecting)
        v.toolTip += QStringLiteral("\nСпроб з'єднання: %1").arg(f.connectAttempts);
    if (!f.portFailure.isEmpty())
        v.toolTip += u'\n' + f.portFailure;
    return v;
}
