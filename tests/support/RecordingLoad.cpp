#include "support/RecordingLoad.h"

#include <QFileInfo>

namespace fixture {

void RecordingView::removeElements()
{
    if (recordCalls)
        calls << QStringLiteral("removeElements");
}

bool RecordingView::setupPage(int p, const QString &caption, const QString &picturePath, bool visible)
{
    const bool ok = picturePath.isEmpty()
        || (!unloadablePictures.contains(picturePath) && (!picturesMustExist || QFileInfo::exists(picturePath)));
    if (recordCalls)
        calls << QStringLiteral("setupPage %1 %2 %3 %4").arg(p).arg(caption, picturePath).arg(visible ? 1 : 0);
    return ok;
}

void RecordingView::setPageColour(int p, std::int32_t colour)
{
    if (recordCalls)
        calls << QStringLiteral("setPageColour %1 %2").arg(p).arg(colour);
}

void RecordingView::selectPage(int p)
{
    if (recordCalls)
        calls << QStringLiteral("selectPage %1").arg(p);
}

void RecordingView::createElement(ElementKind kind, int page, int slot, const ProjectModel &)
{
    ++createdCount;
    if (recordCalls)
        created.push_back({kind, page, slot});
}

void RecordingView::activatePage()
{
    if (recordCalls)
        calls << QStringLiteral("activatePage");
}

int RecordingView::count(ElementKind kind) const
{
    int n = 0;
    for (const CreatedElement &e : created)
        n += e.kind == kind ? 1 : 0;
    return n;
}

int RecordingView::callIndex(const QString &prefix) const
{
    for (qsizetype i = 0; i < calls.size(); ++i)
        if (calls[i].startsWith(prefix))
            return static_cast<int>(i);
    return -1;
}

void RecordingHost::checkVersionMenu(VersionMenu item)
{
    static const char *names[] = {"None", "mnuHelp1", "mnuHelp2", "mnuHelp3"};
    calls << QStringLiteral("checkVersionMenu ") + QLatin1String(names[static_cast<int>(item)]);
}

void RecordingHost::setAnimationTimer(bool enabled)
{
    calls << QStringLiteral("Timer_Vent %1").arg(enabled ? 1 : 0);
}

void RecordingHost::connectTcp(const QString &host, std::int32_t port)
{
    calls << QStringLiteral("connectTcp %1 %2").arg(host).arg(port);
}

void RecordingHost::setTrendProgressInterval(int ms)
{
    calls << QStringLiteral("progressInterval %1").arg(ms);
}

void RecordingHost::setCaption(const QString &caption)
{
    calls << QStringLiteral("caption ") + caption;
}

void RecordingHost::setPollTimer(bool enabled)
{
    calls << QStringLiteral("Timer_05 %1").arg(enabled ? 1 : 0);
}

} // namespace fixture
