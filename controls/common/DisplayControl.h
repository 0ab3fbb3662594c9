#pragma once
// Interfaces between the program and its display-control plugins (Signal, Contour).
//
// A plugin exports one DisplayControlFactory. The factory names the control's programmatic
// identifier and creates instances as children of a given parent. Every instance is a QWidget:
// the program sets its properties by name (QObject::setProperty) and connects to its mouse
// signals by name (Click(), DblClick(), MouseDown/MouseMove/MouseUp(short,short,float,float)).
// Instances also implement PersistentControl, reached with qobject_cast, for the property store.
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>
#include <QtPlugin>

// The container's property store: one entry per persisted property name.
class PropertyBag {
public:
    virtual ~PropertyBag() = default;
    // The stored value, or defaultValue when nothing is stored under that name.
    virtual QVariant readProperty(const QString &name, const QVariant &defaultValue) = 0;
    // Stores value; a value equal to defaultValue need not be stored.
    virtual void writeProperty(const QString &name, const QVariant &value, const QVariant &defaultValue) = 0;
};

class PersistentControl {
public:
    virtual ~PersistentControl() = default;
    // Values of a newly placed instance.
    virtual void initNew() = 0;
    // Reads every persisted property with its default. Values that do not fit are skipped.
    virtual void readProperties(PropertyBag &bag) = 0;
    // Writes every persisted property with its default.
    virtual void writeProperties(PropertyBag &bag) = 0;
    // Persisted names whose properties were set since the last initNew, read or write, in the
    // order of their first change. Each change is also announced by the control's
    // propertyChanged(QString) signal.
    virtual QStringList changedProperties() const = 0;
};

class DisplayControlFactory {
public:
    virtual ~DisplayControlFactory() = default;
    // "Signal_Q7.Signal", "Contour1.Contour", ...
    virtual QString progId() const = 0;
    // A new instance with the values of a newly placed control, owned by parent.
    virtual QWidget *create(QWidget *parent) = 0;
};

#define TABLO_DISPLAY_CONTROL_FACTORY_IID "org.tablo.DisplayControlFactory/1.0"
#define TABLO_PERSISTENT_CONTROL_IID "org.tablo.PersistentControl/1.0"

Q_DECLARE_INTERFACE(DisplayControlFactory, TABLO_DISPLAY_CONTROL_FACTORY_IID)
Q_DECLARE_INTERFACE(PersistentControl, TABLO_PERSISTENT_CONTROL_IID)

// The persistence side of a control instance, or nullptr for any other widget.
inline PersistentControl *persistentControl(QObject *control) { return qobject_cast<PersistentControl *>(control); }
