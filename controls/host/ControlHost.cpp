#include "host/ControlHost.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonObject>
#include <QPluginLoader>

ControlHost::ControlHost() : defaultDirs_(true) {}

ControlHost::ControlHost(QStringList searchDirs) : dirs_(std::move(searchDirs)) {}

ControlHost::~ControlHost() = default;

QString ControlHost::pluginFileName(const QString &progId)
{
    QString base;
    if (progId == QLatin1String("Signal_Q7.Signal"))
        base = QStringLiteral("Signal");
    else if (progId == QLatin1String("Contour1.Contour"))
        base = QStringLiteral("Contour1");
    else
        base = progId.section(QLatin1Char('.'), 0, 0);
    return QStringLiteral("lib") + base + QStringLiteral(".so");
}

QStringList ControlHost::searchDirs() const
{
    if (!defaultDirs_)
        return dirs_;
    QStringList dirs;
    const QString fromEnv = qEnvironmentVariable("TABLO_PLUGIN_PATH");
    for (const QString &dir : fromEnv.split(QDir::listSeparator(), Qt::SkipEmptyParts))
        dirs.append(dir);
    if (QCoreApplication::instance() != nullptr) {
        const QString appDir = QCoreApplication::applicationDirPath();
        dirs.append(appDir);
#ifdef TABLO_PLUGIN_RELDIR
        dirs.append(QDir::cleanPath(appDir + QStringLiteral("/../" TABLO_PLUGIN_RELDIR)));
#endif
    }
    return dirs;
}

QWidget *ControlHost::create(const QString &progId, QWidget *parent)
{
    DisplayControlFactory *f = factory(progId);
    if (f == nullptr)
        return nullptr;
    QWidget *control = f->create(parent);
    if (control == nullptr) {
        error_ = QStringLiteral("Елемент «%1» не створено").arg(progId);
        return nullptr;
    }
    error_.clear();
    return control;
}

DisplayControlFactory *ControlHost::factory(const QString &progId)
{
    const QString fileName = pluginFileName(progId);
    if (fileName == QLatin1String("lib.so") || fileName.contains(QLatin1Char('/'))) {
        error_ = QStringLiteral("Невірний ідентифікатор елемента «%1»").arg(progId);
        return nullptr;
    }

    auto known = loaders_.find(progId);
    if (known == loaders_.end()) {
        const QStringList dirs = searchDirs();
        QString path;
        for (const QString &dir : dirs) {
            const QFileInfo candidate(QDir(dir), fileName);
            if (candidate.isFile()) {
                path = candidate.absoluteFilePath();
                break;
            }
        }
        if (path.isEmpty()) {
            error_ = QStringLiteral("Файл %1 (елемент «%2») не знайдено в: %3")
                         .arg(fileName, progId, dirs.isEmpty() ? QStringLiteral("—") : dirs.join(QStringLiteral(", ")));
            return nullptr;
        }

        auto loader = std::make_unique<QPluginLoader>(path);
        // The metadata is read without running any of the file's code.
        const QJsonObject meta = loader->metaData();
        if (meta.isEmpty()) {
            error_ = QStringLiteral("Файл %1 не є модулем Qt: %2").arg(path, loader->errorString());
            return nullptr;
        }
        const QString iid = meta.value(QLatin1String("IID")).toString();
        if (iid != QLatin1String(TABLO_DISPLAY_CONTROL_FACTORY_IID)) {
            error_ = QStringLiteral("Файл %1 не є елементом відображення: інтерфейс «%2» замість «%3»")
                         .arg(path, iid, QLatin1String(TABLO_DISPLAY_CONTROL_FACTORY_IID));
            return nullptr;
        }
        known = loaders_.emplace(progId, std::move(loader)).first;
    }

    QPluginLoader &loader = *known->second;
    const QString path = loader.fileName();
    QObject *instance = loader.instance();
    if (instance == nullptr) {
        error_ = QStringLiteral("Файл %1 не завантажено: %2").arg(path, loader.errorString());
        return nullptr;
    }
    auto *f = qobject_cast<DisplayControlFactory *>(instance);
    if (f == nullptr) {
        error_ = QStringLiteral("Файл %1 не є елементом відображення: інтерфейс «%2» відсутній")
                     .arg(path, QLatin1String(TABLO_DISPLAY_CONTROL_FACTORY_IID));
        return nullptr;
    }
    if (f->progId() != progId) {
        error_ = QStringLiteral("Файл %1 містить елемент «%2», а не «%3»").arg(path, f->progId(), progId);
        return nullptr;
    }
    return f;
}
