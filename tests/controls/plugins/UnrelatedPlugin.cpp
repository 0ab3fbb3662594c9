// A Qt plugin of some other interface, for checking that the control host refuses it.
#include <QObject>
#include <QtPlugin>

class UnrelatedInterface {
public:
    virtual ~UnrelatedInterface() = default;
    virtual int answer() const = 0;
};
Q_DECLARE_INTERFACE(UnrelatedInterface, "org.example.Unrelated/1.0")

class UnrelatedPlugin : public QObject, public UnrelatedInterface {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.example.Unrelated/1.0")
    Q_INTERFACES(UnrelatedInterface)
public:
    int answer() const override { return 42; }
};

#include "UnrelatedPlugin.moc"
