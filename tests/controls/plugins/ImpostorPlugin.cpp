// A plugin whose metadata names the display-control interface while its object does not
// implement it.
#include "common/DisplayControl.h"

#include <QObject>

class ImpostorPlugin : public QObject {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID TABLO_DISPLAY_CONTROL_FACTORY_IID)
};

#include "ImpostorPlugin.moc"
