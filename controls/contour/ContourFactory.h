#pragma once
#include "../common/DisplayControl.h"

#include <QObject>

class ContourFactory : public QObject, public DisplayControlFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID TABLO_DISPLAY_CONTROL_FACTORY_IID FILE "Contour.json")
    Q_INTERFACES(DisplayControlFactory)
public:
    QString progId() const override;
    QWidget *create(QWidget *parent) override;
};
