#include "DemoWriter.h"

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

} // namespace

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
    return true;
}

} // namespace demo
