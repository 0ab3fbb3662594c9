#pragma once
// A project load without a window: a view that shows nothing and a host whose every call does
// nothing. The loaders that have no screen (the command-line downloads, the simulator, the
// fuzz targets) derive from these and override only the calls they keep.
#include "project/LoadHost.h"
#include "project/ProjectView.h"

#include <QString>
#include <cstdint>

// Every page element is skipped; every page picture "loads".
class NoProjectView : public ProjectView {
public:
    void removeElements() override {}
    bool setupPage(int, const QString &, const QString &, bool) override { return true; }
    void setPageColour(int, std::int32_t) override {}
    void selectPage(int) override {}
    void createElement(ElementKind, int, int, const ProjectModel &) override {}
    void activatePage() override {}
};

// No dialog, no timers, no link, no messages.
class NoLoadHost : public LoadHost {
public:
    QString chooseProjectFile() override { return {}; }
    void hideLogo() override {}
    void checkVersionMenu(VersionMenu) override {}
    void setAnimationTimer(bool) override {}
    void connectTcp(const QString &, std::int32_t) override {}
    void closeTcp() override {}
    void forgetDownloads() override {}   // a headless load runs on a fresh station
    void enableMainWindow() override {}
    void setCaption(const QString &) override {}
    void layoutPageArea() override {}
    void setPollTimer(bool) override {}
    void showProjectMenus() override {}
    void showMessage(const QString &) override {}
    void parameterError(const QString &) override {}
    void netlistError(const QString &) override {}
};
