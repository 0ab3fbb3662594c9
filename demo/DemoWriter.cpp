#include "DemoWriter.h"

#include "Blocks.h"

#include "fixture/NetWriter.h"
#include "fixture/PrtWriter.h"
#include "text/LineFile.h"

#include <QDir>
#include <QImage>
#include <QSaveFile>

namespace demo {

namespace {

bool writePicture(const QImage &image, const QString &path, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !image.convertToFormat(QImage::Format_RGB888).save(&file, "BMP")
        || !file.commit()) {
        *error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    return true;
}

// Lines in Windows-1251 with CR LF ends, committed only when all of them were written.
bool writeText(const QString &path, const QStringList &lines, QString *error)
{
    text::LineWriter out;
    if (out.open(path)) {
        for (const QString &line : lines)
            out.writeLine(line);
        if (out.commit())
            return true;
    }
    *error = QStringLiteral("cannot write %1: %2").arg(path, out.errorString());
    return false;
}

fixture::PrtProject prtProject(const Plant &plant)
{
    const ProjectModel &m = plant.model;
    fixture::PrtProject p;
    p.version = m.formatVersion;
    p.projectName = m.projectName;
    p.linkKind = m.linkKind;
    p.ipAddress = m.ipAddress;
    p.tcpPort = m.tcpPort;
    p.controllerAddress = m.controllerAddress;
    p.netlist = m.netlistPath;
    p.pagePicture = m.pagePicture;
    for (int i = 0; i < ProjectModel::Pages; ++i)
        p.pageEnabled[static_cast<std::size_t>(i)] = m.pageEnabled[static_cast<std::size_t>(i)];
    for (int i = 0; i < 4; ++i)
        p.schemaSetting[static_cast<std::size_t>(i)] = m.schemaSetting[static_cast<std::size_t>(i + 1)];
    p.pageColour = plant.pageColour;
    p.elements = m;
    p.reportModeLine = QStringLiteral(" %1 ").arg(plant.reportModeValue);
    return p;
}

// A few of the program's connections, so the netlist reads like an exported schematic.
std::vector<fixture::NetNet> nets()
{
    auto u = [](int n) { return QStringLiteral("U%1").arg(n); };
    return {
        {QStringLiteral("P_STEAM_1"), {{u(blk::Boiler1), 2}, {u(blk::PidBoiler1), 1}, {u(blk::Trend), 1}}},
        {QStringLiteral("P_STEAM_2"), {{u(blk::Boiler2), 2}, {u(blk::PidBoiler2), 1}, {u(blk::Trend), 5}}},
        {QStringLiteral("SP_STEAM_1"), {{u(blk::SetPoints), 1}, {u(blk::PidBoiler1), 2}}},
        {QStringLiteral("SP_STEAM_2"), {{u(blk::SetPoints), 2}, {u(blk::PidBoiler2), 2}}},
        {QStringLiteral("T_SUPPLY"), {{u(blk::Network), 2}, {u(blk::PidNetwork), 1}, {u(blk::HeatSum), 1}}},
        {QStringLiteral("T_RETURN"), {{u(blk::Network), 6}, {u(blk::HeatSum), 2}}},
        {QStringLiteral("DELTA_T"), {{u(blk::HeatSum), 1}, {u(blk::HeatPower), 1}}},
        {QStringLiteral("ALARM"), {{u(blk::CommonAlarm), 1}, {u(blk::Journal), 1}}},
    };
}

}   // namespace

bool writeProject(const Plant &plant, const QString &folder, QString *error)
{
    QDir dir(folder);
    if (!dir.mkpath(QStringLiteral("."))) {
        *error = QStringLiteral("cannot create %1").arg(folder);
        return false;
    }
    for (int p = 0; p < PageCount; ++p) {
        if (!writePicture(plant.pictures[p], dir.filePath(plant.pictureFile[p]), error))
            return false;
    }

    fixture::NetList net;
    net.title = NetlistFileName.chopped(4);
    for (const NetPart &part : plant.parts)
        net.parts.push_back(fixture::part(part.number, part.library, part.values));
    net.nets = nets();
    // The project file last: a folder holding it holds everything it names.
    return writeText(dir.filePath(NetlistFileName), fixture::netLines(net), error)
        && writeText(dir.filePath(ProjectFileName), fixture::prtLines(prtProject(plant)), error);
}

}   // namespace demo
