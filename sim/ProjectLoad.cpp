#include "ProjectLoad.h"

#include "app/Station.h"
#include "project/LoadHost.h"
#include "project/ProjectReader.h"
#include "project/ProjectView.h"

#include <memory>

namespace sim {

namespace {

// Nothing is shown: the simulator needs only the model the loader fills.
class NoView : public ProjectView {
public:
    void removeElements() override {}
    bool setupPage(int, const QString &, const QString &, bool) override { return true; }
    void setPageColour(int, std::int32_t) override {}
    void selectPage(int) override {}
    void createElement(ElementKind, int, int, const ProjectModel &) override {}
    void activatePage() override {}
};

class QuietHost : public LoadHost {
public:
    explicit QuietHost(QStringList *messages) : messages_(messages) {}
    QString chooseProjectFile() override { return {}; }
    void hideLogo() override {}
    void checkVersionMenu(VersionMenu) override {}
    void setAnimationTimer(bool) override {}
    void connectTcp(const QString &, std::int32_t) override {}
    void closeTcp() override {}
    void setTrendProgressInterval(int) override {}
    void enableMainWindow() override {}
    void setCaption(const QString &) override {}
    void layoutPageArea() override {}
    void setPollTimer(bool) override {}
    void showProjectMenus() override {}
    void showMessage(const QString &text) override { add(text); }
    void parameterError(const QString &text) override { add(text); }
    void netlistError(const QString &text) override { add(text); }

private:
    void add(const QString &text)
    {
        if (messages_)
            *messages_ << text;
    }
    QStringList *messages_;
};

} // namespace

bool loadProject(const QString &path, ProjectModel &model, QStringList *messages, QString *error)
{
    auto station = std::make_unique<Station>();   // large: keep it off the stack
    NoView view;
    QuietHost host(messages);
    ProjectReader reader(*station, view, host);
    const bool ok = reader.load(path);
    if (!ok) {
        if (error)
            *error = reader.failure().isEmpty() ? QStringLiteral("cannot read the project %1").arg(path)
                                                : reader.failure();
        return false;
    }
    model = station->project;
    return true;
}

} // namespace sim
