#pragma once
// Writes P-CAD ASCII netlists (.net) the way the station reads them: a header, the
// "(netlist " line, one component per block ("(compInst", "(compRef", "(originalName", then
// its "(attr" lines in the import's attribute layout), the nets, and the closing lines.
// Builders below give each block type's attributes in that layout.
#include <QString>
#include <QStringList>
#include <array>
#include <utility>
#include <vector>

namespace fixture {

struct NetPart {
    QString instance;          // "U12"
    QString libraryName;       // "SUM8_1"
    QStringList values;        // attribute values in order; written (attr "P<k>" "<value>")
    QStringList rawAttrs;      // when not empty: the attribute lines as they stand instead
};

struct NetNet {
    QString name;
    std::vector<std::pair<QString, int>> nodes;   // instance, pin number
};

struct NetList {
    QString title = QStringLiteral("plant");
    bool withNetlistLine = true;                  // false: no "(netlist " line at all
    std::vector<NetPart> parts;
    std::vector<NetNet> nets;
};

QStringList netLines(const NetList &net);
bool writeNet(const QString &path, const NetList &net);

// A part for block n (instance "U<n>").
NetPart part(int n, const QString &libraryName, QStringList values = {});

// Numbers as the attribute values carry them (shortest form, '.' decimal point).
QString numberText(double v);

// Attribute values per block type, in the import's layout.
struct AnalogChannel {
    QString sensor;                    // e.g. "100П", matched by leading characters
    std::array<double, 6> numbers{};
};
QStringList analogInputValues(double first, const std::array<AnalogChannel, 4> &channels);
QStringList digitalOutputValues(double first, const std::array<bool, 8> &relay);
QStringList numberValues(const std::vector<double> &numbers);

struct SetPoint {
    QString name;
    double value = 0;
};
QStringList setPointValues(const QString &title, const std::array<SetPoint, 8> &points);

// GRA and JUR: leading number, title, then (number, number, name) per channel / event.
struct NamedPair {
    double first = 0, second = 0;
    QString name;
};
QStringList archiveValues(double leading, const QString &title, const std::array<NamedPair, 32> &items);

QStringList panelValues(const std::array<QString, 5> &texts, const std::vector<double> &numbers = {});
QStringList logicValues(const std::array<bool, 3> &sp, const std::array<double, 6> &numbers);

} // namespace fixture
