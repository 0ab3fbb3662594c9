#pragma once
// A property store kept in memory: values equal to their defaults are not stored.
#include "common/DisplayControl.h"

#include <QMap>

class MapPropertyBag : public PropertyBag {
public:
    QVariant readProperty(const QString &name, const QVariant &defaultValue) override
    {
        return values.value(name, defaultValue);
    }
    void writeProperty(const QString &name, const QVariant &value, const QVariant &defaultValue) override
    {
        if (value == defaultValue)
            values.remove(name);
        else
            values.insert(name, value);
    }

    QMap<QString, QVariant> values;
};
