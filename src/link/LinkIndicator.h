#pragma once
// What the link indicator at the right of the main window's menu bar shows: a coloured dot and
// a text for the state of the link, and a tooltip that names the link. Hidden until a project
// has been loaded; then Waiting until the first answer, Answering or Silent as the polling
// cycle finds the controller, and Reconnecting while a TCP connection that went away waits for
// its next attempt. Silent counts the seconds since the last good answer, Reconnecting down to
// the next attempt and names what went wrong; the tooltip counts late answers dropped.
#include <QString>

class Link;
#include "link/LinkStation.h"

class LinkIndicator {
public:
    enum class State { Hidden, Waiting, Answering, Silent, Reconnecting };

    // What the link reports at one moment.
    struct Figures {
        bool reconnecting = false;
        qint64 silentForMs = 0;
        qint64 nextAttemptInMs = 0;
        QString connectionError;   // empty when unknown
        int lateAnswers = 0;
        int connectAttempts = 0;
        QString description;   // "COM1 (/dev/ttyS0), контролер №1"
        QString portFailure;   // why the serial port did not open; empty when it did
    };
    static Figures figures(ConstLinkStation station, Link &link);
    // The link of the project: "COM1 (/dev/ttyS0), контролер №1", "TCP host:port, ...".
    static QString linkDescription(ConstLinkStation station);

    struct View {
        bool visible = false;
        QString colour;     // of the dot
        QString text;       // plain text after the dot
        QString richText;   // the dot and the text, for the label
        QString toolTip;
    };

    // The polling cycle found the controller answering or silent.
    void answeringChanged(bool answering);
    // A project was loaded: the indicator shows, with what the link last did if it did.
    void projectLoaded();
    // The state on show for a link that is (not) reconnecting.
    State state(bool reconnecting) const;

    static QString stateText(State state);
    static QString text(State state, const Figures &f);
    static View view(State state, const Figures &f);

private:
    State state_ = State::Hidden;
    enum class Heard { Nothing, Answering, Silent } heard_ = Heard::Nothing;
};
