#pragma once
// The program window with the demo boiler house against the controller simulator in the same
// process: the simulator listens on a loopback port the system picks, and the project is a copy
// of the demo whose TCP port line names that port.
#include "main/OperatorStation.h"
#include "station/Station.h"
#include "sim/Simulator.h"
#include "support/QtTestApp.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace e2e {

// The demo beside the program (<build>/demo).
QString demoFolder();

// Copies the demo project, its netlist and pictures into `dir`, with the TCP port line set
// to `port`; returns the path of the copied .prt file.
QString copyDemo(const QString &dir, int port);

// Counts the polling cycles the window completes (the step counter wrapping to 0).
class CycleCounter {
public:
    explicit CycleCounter(OperatorStation &window);
    int cycles() const { return *count_; }

private:
    std::shared_ptr<int> count_ = std::make_shared<int>(0);
};

class StationRig {
public:
    // A program window that records whether the trend and journal windows were asked for.
    class Window : public OperatorStation {
    public:
        using OperatorStation::OperatorStation;
        QString fileToChoose;
        QString chooseProjectFile() override { return fileToChoose; }
        void askProjectFile(std::function<void(const QString &)> done) override { done(fileToChoose); }
        int trendWindowGroup = -1;
        int journalWindows = 0;

    protected:
        void showTrendWindow(int group) override { trendWindowGroup = group; }
        void showJournalWindow() override { ++journalWindows; }
    };

    // Starts the simulator on a copy of the demo; the window exists but has loaded nothing.
    explicit StationRig(std::optional<QStringList> pluginDirs = std::nullopt);
    ~StationRig();

    bool load();   // the command-line load of the copy
    bool waitForAnswers(int ms = 20000);

    sim::Plant &plant() { return simulator->controller().plant(); }
    ProjectModel &project() { return station->project; }

    QTemporaryDir dir;
    QString prt;
    std::unique_ptr<ProjectModel> simModel;
    std::unique_ptr<sim::Simulator> simulator;
    std::unique_ptr<Station> station;
    std::unique_ptr<Window> window;
};

}   // namespace e2e
