#pragma once
// The demo plant: the controller simulator running inside the program on a project (the demo
// boiler house by default), served on a pseudo-terminal that the station opens as a serial
// port, so the demo shows the serial polling cycle.
#include <QString>
#include <memory>

class ProjectModel;
namespace sim {
class Simulator;
}

class DemoSession {
public:
    static constexpr int Com = 1;   // the serial port the station reaches the simulator on

    DemoSession();
    ~DemoSession();

    // <program folder>/demo/Kotelnya.prt, written by every build.
    static QString defaultProjectPath();

    // Reads the project into the simulator's own model, starts it and opens its terminal.
    // False, with a message for the operator in `error`, when the project is missing or
    // unreadable or no pseudo-terminal can be opened.
    bool start(const QString &projectPath, QString *error);

    QString serialDevice() const;
    sim::Simulator *simulator() const { return simulator_.get(); }

private:
    std::unique_ptr<ProjectModel> model_;
    std::unique_ptr<sim::Simulator> simulator_;
};
