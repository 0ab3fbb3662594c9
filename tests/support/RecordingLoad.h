#pragma once
// A project view and a load host that record every call, for tests and the benchmark.
#include "project/LoadHost.h"
#include "project/ProjectView.h"
#include <QSet>
#include <QString>
#include <QStringList>
#include <vector>

namespace fixture {

struct CreatedElement {
    ElementKind kind;
    int page;
    int slot;
};

class RecordingView : public ProjectView {
public:
    void removeElements() override;
    bool setupPage(int p, const QString &caption, const QString &picturePath, bool visible) override;
    void setPageColour(int p, std::int32_t colour) override;
    void selectPage(int p) override;
    void createElement(ElementKind kind, int page, int slot, const ProjectModel &model) override;
    void activatePage() override;

    bool recordCalls = true;               // false: count elements only (benchmark)
    QStringList calls;                     // "setupPage 0 Boiler /x/Boiler.bmp 1", ...
    std::vector<CreatedElement> created;
    int createdCount = 0;
    QSet<QString> unloadablePictures;      // setupPage returns false for these paths
    bool picturesMustExist = true;         // setupPage fails when the file is missing

    int count(ElementKind kind) const;
    int callIndex(const QString &prefix) const;   // first call starting with prefix, or -1
};

class RecordingHost : public LoadHost {
public:
    QString chooseProjectFile() override { calls << QStringLiteral("choose"); return fileToChoose; }
    void hideLogo() override { calls << QStringLiteral("hideLogo"); }
    void checkVersionMenu(VersionMenu item) override;
    void setAnimationTimer(bool enabled) override;
    void connectTcp(const QString &host, std::int32_t port) override;
    void closeTcp() override { calls << QStringLiteral("closeTcp"); }
    void setTrendProgressInterval(int ms) override;
    void enableMainWindow() override { calls << QStringLiteral("enableMainWindow"); }
    void setCaption(const QString &caption) override;
    void layoutPageArea() override { calls << QStringLiteral("layoutPageArea"); }
    void setPollTimer(bool enabled) override;
    void showProjectMenus() override { calls << QStringLiteral("showProjectMenus"); }
    void showMessage(const QString &text) override { messages << text; }
    void parameterError(const QString &text) override { parameterErrors << text; }
    void netlistError(const QString &text) override { netlistErrors << text; }

    QString fileToChoose;
    QStringList calls;
    QStringList messages;
    QStringList parameterErrors;
    QStringList netlistErrors;
    int callIndex(const QString &call) const { return static_cast<int>(calls.indexOf(call)); }
};

} // namespace fixture
