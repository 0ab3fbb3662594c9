#include "history/HistoryPath.h"

#include <QDir>

namespace history {

QString controllerKey(const QString &projectName, int controllerAddress)
{
    return QStringLiteral("%1-%2").arg(projectName.trimmed()).arg(controllerAddress);
}

QString defaultHistoryPath(const QString &projectName, int controllerAddress,
                           const std::function<QString(const QString &)> &env)
{
    QString base = env(QStringLiteral("XDG_DATA_HOME"));
    // XDG: a relative value is to be ignored.
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir(env(QStringLiteral("HOME"))).filePath(QStringLiteral(".local/share"));
    QString name = projectName.trimmed();
    for (QChar &c : name)
        if (c == u'/' || c == u'\\' || c.unicode() < 0x20 || c == u':' || c == u'*' || c == u'?' || c == u'"')
            c = u'_';
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        name = QStringLiteral("project");
    return QDir(base).filePath(QStringLiteral("tablo/history/%1-%2.sqlite").arg(name).arg(controllerAddress));
}

QString historyTarget(const QString &chosen, const QString &projectName, int controllerAddress)
{
    if (!chosen.isEmpty())
        return chosen;
    return defaultHistoryPath(projectName, controllerAddress,
                              [](const QString &name) { return qEnvironmentVariable(name.toLocal8Bit().constData()); });
}

}   // namespace history
