#include "history/StationCollection.h"
#include "station/Station.h"
#include "e2e/StationRig.h"

#include "link/PollCycle.h"
#include "sim/ProjectLoad.h"

#include <QDir>
#include <QFile>
#include <QTimer>

namespace e2e {

QString demoFolder() { return QDir(qEnvironmentVariable("TABLO_BUILD_DIR")).filePath(QStringLiteral("demo")); }

QString copyDemo(const QString &dir, int port)
{
    const QDir from(demoFolder());
    const QStringList files =
        from.entryList({QStringLiteral("*.prt"), QStringLiteral("*.net"), QStringLiteral("*.bmp")}, QDir::Files);
    for (const QString &name : files)
        QFile::copy(from.filePath(name), QDir(dir).filePath(name));

    const QString prt = QDir(dir).filePath(QStringLiteral("Kotelnya.prt"));
    QFile f(prt);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> lines = f.readAll().split('\n');
    f.close();
    if (lines.size() < 5)
        return {};
    lines[4] = " " + QByteArray::number(port) + " \r";   // line 5: the TCP port
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {};
    f.write(lines.join('\n'));
    return prt;
}

CycleCounter::CycleCounter(OperatorStation &window)
{
    Station &st = window.station();
    QObject::connect(window.mainWindow()->Timer_05(), &QTimer::timeout, &window, [count = count_, &st] {
        if (st.poll.pollStep == 0)
            ++*count;
    });
}

StationRig::StationRig(std::optional<QStringList> pluginDirs)
{
    qtApp();
    simModel = std::make_unique<ProjectModel>();
    // The simulator reads the original demo: only the port differs in the copy.
    QString error;
    const bool read =
        sim::loadProject(QDir(demoFolder()).filePath(QStringLiteral("Kotelnya.prt")), *simModel, nullptr, &error);
    EXPECT_TRUE(read) << error.toStdString();
    sim::SimulatorOptions options;
    options.controller.plant.autoAlarms = false;
    simulator = std::make_unique<sim::Simulator>(*simModel, options);
    EXPECT_TRUE(simulator->listenTcp());
    prt = copyDemo(dir.path(), simulator->tcpPort());
    EXPECT_FALSE(prt.isEmpty());

    station = std::make_unique<Station>();
    window = std::make_unique<Window>(*station, pluginDirs);
    // Automatic collection takes the link at the ends of cycles for pages of its own; the
    // tests of it turn it on.
    window->collection().setEnabled(false);
    window->mainWindow()->show();
}

StationRig::~StationRig()
{
    window.reset();
    simulator.reset();
}

bool StationRig::load()
{
    window->loadProject(prt);
    return station->project.projectLoaded == 1;
}

bool StationRig::waitForAnswers(int ms)
{
    return spinUntil([this] { return window->pollCycle().answering(); }, ms);
}

}   // namespace e2e
