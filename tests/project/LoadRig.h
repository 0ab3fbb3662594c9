#pragma once
// A station, a recording view and host, and a temporary folder to write projects into.
#include "station/Station.h"
#include "project/ProjectReader.h"
#include "fixture/NetWriter.h"
#include "fixture/PrtWriter.h"
#include "fixture/RecordingLoad.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

struct LoadRig {
    QTemporaryDir dir;
    std::unique_ptr<Station> station = std::make_unique<Station>();
    fixture::RecordingView view;
    fixture::RecordingHost host;

    QString path(const QString &name) const { return dir.filePath(name); }

    // Writes the project as project.prt and the netlist it names (plant.net by default).
    QString write(const fixture::PrtProject &p, const fixture::NetList &net = {},
                  const QString &netName = QStringLiteral("plant.net"))
    {
        EXPECT_TRUE(dir.isValid());
        EXPECT_TRUE(fixture::writeNet(path(netName), net));
        const QString prt = path(QStringLiteral("project.prt"));
        EXPECT_TRUE(fixture::writePrt(prt, p));
        return prt;
    }
    QString writeLines(const QStringList &lines, const fixture::NetList &net = {})
    {
        EXPECT_TRUE(fixture::writeNet(path(QStringLiteral("plant.net")), net));
        const QString prt = path(QStringLiteral("project.prt"));
        EXPECT_TRUE(fixture::writeLines(prt, lines));
        return prt;
    }
    bool load(const QString &prt)
    {
        ProjectReader reader(*station, view, host);
        const bool ok = reader.load(prt);
        failedLine = reader.failedLine();
        return ok;
    }
    bool load(const fixture::PrtProject &p, const fixture::NetList &net = {}) { return load(write(p, net)); }
    ProjectModel &model() { return station->project; }
    int failedLine = 0;
};
