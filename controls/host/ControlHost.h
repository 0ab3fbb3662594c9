#pragma once
// Finds the display-control plugins by their programmatic identifiers and creates instances.
//
// Plugin files are looked for in the folder named by TABLO_PLUGIN_PATH (several folders may be
// given, separated by ':'), then in the program's own folder (a build tree), then in the
// package's library folder seen from the program's folder (../lib/<multiarch>/tablo for an
// installed program). Each plugin is loaded once per
// host and never unloaded. Instances are QWidgets: set their properties by name and connect to
// their signals by name; qobject_cast<PersistentControl *> (or persistentControl()) gives the
// property-store side.
#include "common/DisplayControl.h"

#include <QString>
#include <QStringList>
#include <map>
#include <memory>

class QPluginLoader;

class ControlHost {
public:
    ControlHost();
    explicit ControlHost(QStringList searchDirs);
    ~ControlHost();
    ControlHost(const ControlHost &) = delete;
    ControlHost &operator=(const ControlHost &) = delete;

    // A new instance owned by parent, or nullptr with errorString() saying which file and what
    // is wrong.
    QWidget *create(const QString &progId, QWidget *parent);
    QString errorString() const { return error_; }

    // File name of the plugin that holds progId: "Signal_Q7.Signal" → "libSignal.so",
    // "Contour1.Contour" → "libContour1.so", any other "Name.Class" → "libName.so".
    static QString pluginFileName(const QString &progId);
    // The folders searched, in order.
    QStringList searchDirs() const;

private:
    DisplayControlFactory *factory(const QString &progId);

    bool defaultDirs_ = false;
    QStringList dirs_;
    QString error_;
    std::map<QString, std::unique_ptr<QPluginLoader>> loaders_;
};
