#include "main/DemoSession.h"

#include "app/InstallPaths.h"
#include "project/ProjectModel.h"
#include "sim/ProjectLoad.h"
#include "sim/Simulator.h"

#include <QDir>
#include <QFileInfo>

DemoSession::DemoSession() = default;
DemoSession::~DemoSession() = default;

QString DemoSession::defaultProjectPath() { return install::dataFile(QStringLiteral("demo/Kotelnya.prt")); }

bool DemoSession::start(const QString &projectPath, QString *error)
{
    auto fail = [error](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    if (!QFileInfo(projectPath).isFile())
        return fail(QStringLiteral("Демонстраційний проект не знайдено:\n%1\n\n"
                                   "Його записує збирання програми (cmake --build), поруч із програмою в demo/.")
                        .arg(QDir::toNativeSeparators(projectPath)));

    auto model = std::make_unique<ProjectModel>();
    QString why;
    if (!sim::loadProject(projectPath, *model, nullptr, &why))
        return fail(QStringLiteral("Демонстраційний проект не прочитано:\n%1").arg(why));

    auto simulator = std::make_unique<sim::Simulator>(*model);
    // TABLO_DEMO_LOG=FILE: the built-in simulator logs every request and answer there.
    const QString logPath = qEnvironmentVariable("TABLO_DEMO_LOG");
    if (!logPath.isEmpty() && !simulator->openLog(logPath, &why))
        return fail(QStringLiteral("Журнал симулятора не відкрито:\n%1").arg(why));
    if (!simulator->openPty(QString(), &why))
        return fail(QStringLiteral("Симулятор контролера не відкрив псевдотермінал:\n%1").arg(why));

    model_ = std::move(model);
    simulator_ = std::move(simulator);
    return true;
}

QString DemoSession::serialDevice() const { return simulator_ ? simulator_->ptyPath() : QString(); }
