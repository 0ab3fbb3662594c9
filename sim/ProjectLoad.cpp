#include "ProjectLoad.h"

#include "project/HeadlessLoad.h"
#include "project/ProjectReader.h"

#include <memory>

namespace sim {

namespace {

class QuietHost : public NoLoadHost {
public:
    explicit QuietHost(QStringList *messages) : messages_(messages) {}
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

}   // namespace

bool loadProject(const QString &path, ProjectModel &model, QStringList *messages, QString *error)
{
    struct Parts {
        BlockCatalogue catalogue;
        ProjectModel project;
    };
    auto station = std::make_unique<Parts>();   // large: keep it off the stack
    NoProjectView view;                         // nothing is shown: the simulator needs only the model
    QuietHost host(messages);
    ProjectReader reader(*station, view, host);
    const bool ok = reader.load(path);
    if (!ok) {
        if (error)
            *error =
                reader.failure().isEmpty() ? QStringLiteral("cannot read the project %1").arg(path) : reader.failure();
        return false;
    }
    model = station->project;
    return true;
}

}   // namespace sim
