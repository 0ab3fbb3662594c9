#pragma once
// Which persisted properties were set since the store was last read or written.
#include <QString>
#include <QStringList>

namespace controls {

class ChangeMarks {
public:
    // True when name was not marked yet.
    bool mark(const QString &name)
    {
        if (names_.contains(name))
            return false;
        names_.append(name);
        return true;
    }
    void clear() { names_.clear(); }
    QStringList names() const { return names_; }

private:
    QStringList names_;
};

}   // namespace controls
