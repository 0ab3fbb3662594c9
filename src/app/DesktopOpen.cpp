#include "app/DesktopOpen.h"

#include <QDesktopServices>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QSet>
#include <QStandardPaths>
#include <QUrl>

#include <utility>

namespace desktop {
namespace {

// The types of the files the station writes, for a desktop whose type database cannot be
// read.
const std::pair<const char *, const char *> ownTypes[] = {
    {"xlsx", "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet"},
    {"csv", "text/csv"},
    {"pdf", "application/pdf"},
};

// The type and every type it is a kind of.
QSet<QString> typeAndParents(const QString &mimeType)
{
    QSet<QString> names{mimeType};
    if (mimeType == QLatin1String("text/csv"))
        names.insert(QStringLiteral("text/plain"));
    const QMimeType type = QMimeDatabase().mimeTypeForName(mimeType);
    if (type.isValid()) {
        names.insert(type.name());
        for (const QString &alias : type.aliases())
            names.insert(alias);
        for (const QString &parent : type.allAncestors())
            names.insert(parent);
    }
    return names;
}

// The values of `key=` in the [Desktop Entry] group of a desktop file, and whether it hides.
bool entryTakes(const QString &file, const QSet<QString> &types)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    bool inEntry = false;
    bool takes = false;
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        if (line.startsWith(u'[')) {
            inEntry = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inEntry)
            continue;
        if (line == QLatin1String("Hidden=true"))
            return false;
        if (line.startsWith(QLatin1String("MimeType="))) {
            for (const QString &t : line.mid(9).split(u';', Qt::SkipEmptyParts))
                takes = takes || types.contains(t.trimmed());
        }
    }
    return takes;
}

// An association in a mimeapps.list ("Default Applications" or "Added Associations").
bool listTakes(const QString &file, const QSet<QString> &types)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    bool inAssociations = false;
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        if (line.startsWith(u'[')) {
            inAssociations =
                line == QLatin1String("[Default Applications]") || line == QLatin1String("[Added Associations]");
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (inAssociations && eq > 0 && types.contains(line.left(eq).trimmed())
            && !line.mid(eq + 1).trimmed().isEmpty())
            return true;
    }
    return false;
}

}   // namespace

bool hasHandler(const QString &mimeType, const QStringList &applicationDirs, const QStringList &configDirs)
{
    const QSet<QString> types = typeAndParents(mimeType);
    for (const QString &dir : configDirs)
        if (listTakes(QDir(dir).filePath(QStringLiteral("mimeapps.list")), types))
            return true;
    for (const QString &dir : applicationDirs) {
        if (listTakes(QDir(dir).filePath(QStringLiteral("mimeapps.list")), types))
            return true;
        QDirIterator it(dir, {QStringLiteral("*.desktop")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            if (entryTakes(it.next(), types))
                return true;
    }
    return false;
}

bool hasHandler(const QString &mimeType)
{
    return hasHandler(mimeType, QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation),
                      QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation));
}

bool openForOperator(const QString &path)
{
    QString type = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension).name();
    const QString suffix = QFileInfo(path).suffix().toLower();
    for (const auto &[ext, name] : ownTypes)
        if (suffix == QLatin1String(ext))
            type = QString::fromLatin1(name);
    if (!hasHandler(type))
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}   // namespace desktop
