#include "support/NetWriter.h"

#include "support/PrtWriter.h"

namespace fixture {

QStringList netLines(const NetList &net)
{
    QStringList out;
    out << QStringLiteral("ACCEL_ASCII \"%1.net\"").arg(net.title) << QString()
        << QStringLiteral("(asciiHeader")
        << QStringLiteral("  (asciiVersion 3 0)")
        << QStringLiteral("  (timeStamp 2019 9 1 12 0 0)")
        << QStringLiteral("  (program \"P-CAD 2006 Schematic\" \"19.02.9589\")")
        << QStringLiteral("  (fileUnits Mil)")
        << QStringLiteral(")") << QString();
    if (net.withNetlistLine)
        out << QStringLiteral("(netlist \"%1\"").arg(net.title);
    out << QStringLiteral("  (globalAttrs")
        << QStringLiteral("  )");
    for (const NetPart &p : net.parts) {
        const QString code = p.libraryName.left(3);
        out << QStringLiteral("  (compInst \"%1\"").arg(p.instance)
            << QStringLiteral("    (compRef \"%1\")").arg(code)
            << QStringLiteral("    (originalName \"%1\")").arg(p.libraryName);
        if (!p.rawAttrs.isEmpty()) {
            for (const QString &a : p.rawAttrs)
                out << QStringLiteral("    ") + a;
        } else {
            for (qsizetype k = 0; k < p.values.size(); ++k)
                out << QStringLiteral("    (attr \"P%1\" \"%2\")").arg(k).arg(p.values[k]);
        }
        out << QStringLiteral("  )");
    }
    for (const NetNet &n : net.nets) {
        out << QStringLiteral("  (net \"%1\"").arg(n.name);
        for (const auto &[inst, pin] : n.nodes)
            out << QStringLiteral("    (node \"%1\" \"%2\")").arg(inst).arg(pin);
        out << QStringLiteral("  )");
    }
    out << QStringLiteral(")");
    return out;
}

bool writeNet(const QString &path, const NetList &net)
{
    return writeLines(path, netLines(net));
}

NetPart part(int n, const QString &libraryName, QStringList values)
{
    return NetPart{QStringLiteral("U%1").arg(n), libraryName, std::move(values), {}};
}

QString numberText(double v)
{
    return QString::number(v, 'g', 7);
}

QStringList analogInputValues(double first, const std::array<AnalogChannel, 4> &channels)
{
    QStringList v{numberText(first)};
    for (const AnalogChannel &c : channels) {
        v << c.sensor;
        for (double x : c.numbers)
            v << numberText(x);
    }
    return v;
}

QStringList digitalOutputValues(double first, const std::array<bool, 8> &relay)
{
    QStringList v{numberText(first)};
    for (bool r : relay)
        v << (r ? QStringLiteral("Реле") : QStringLiteral("Симістор"));
    return v;
}

QStringList numberValues(const std::vector<double> &numbers)
{
    QStringList v;
    for (double x : numbers)
        v << numberText(x);
    return v;
}

QStringList setPointValues(const QString &title, const std::array<SetPoint, 8> &points)
{
    QStringList v{title};
    for (const SetPoint &p : points)
        v << p.name << numberText(p.value);
    v << title;
    return v;
}

QStringList archiveValues(double leading, const QString &title, const std::array<NamedPair, 32> &items)
{
    QStringList v{numberText(leading), title};
    for (const NamedPair &p : items)
        v << numberText(p.first) << numberText(p.second) << p.name;
    return v;
}

QStringList panelValues(const std::array<QString, 5> &texts, const std::vector<double> &numbers)
{
    QStringList v;
    for (const QString &t : texts)
        v << t;
    for (double x : numbers)
        v << numberText(x);
    return v;
}

QStringList logicValues(const std::array<bool, 3> &sp, const std::array<double, 6> &numbers)
{
    QStringList v;
    for (bool s : sp)
        v << (s ? QStringLiteral("SP") : QStringLiteral("CONST"));
    for (double x : numbers)
        v << numberText(x);
    return v;
}

} // namespace fixture
