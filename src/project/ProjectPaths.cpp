#include "project/ProjectPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

QString resolveProjectPath(const QString &folder, const QString &name)
{
    QString rel = name;
    rel.replace(u'\\', u'/');
    while (rel.startsWith(u'/'))
        rel.remove(0, 1);
    const QString plain = rel.isEmpty() ? folder : QDir(folder).filePath(rel);
    if (rel.isEmpty() || QFileInfo::exists(plain))
        return plain;

    // Walk the parts, taking at each step the exact entry if there is one, else the first
    // entry that differs only by case.
    QString current = folder;
    const QStringList parts = rel.split(u'/', Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString &part = parts[i];
        QDir dir(current);
        if (part == u"." || part == u"..") {
            current = dir.filePath(part);
            continue;
        }
        if (QFileInfo::exists(dir.filePath(part))) {
            current = dir.filePath(part);
            continue;
        }
        const QStringList entries =
            dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
        QString found;
        for (const QString &e : entries) {
            if (e.compare(part, Qt::CaseInsensitive) == 0) {
                found = e;
                break;
            }
        }
        if (found.isEmpty())
            return plain;
        current = dir.filePath(found);
    }
    return current;
}
