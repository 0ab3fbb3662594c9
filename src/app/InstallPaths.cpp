#include "app/InstallPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace install {

QString dataFile(const QString &relative)
{
    const QDir appDir(QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString());
    const QString beside = appDir.filePath(relative);
    const QString installed = QDir::cleanPath(appDir.filePath(QStringLiteral("../" TABLO_DATA_RELDIR "/") + relative));
    if (!QFileInfo::exists(beside) && QFileInfo::exists(installed))
        return installed;
    return beside;
}

}   // namespace install
