#include "reports/ReportFile.h"

#include "text/LineFile.h"
#include "text/Numbers.h"
#include <QFileInfo>
#include <algorithm>
#include <cmath>

namespace report {

namespace {

// The leading number's absolute value, within 0..max.
std::int16_t absClamped(const QString &line, int max)
{
    const double v = std::fabs(text::val(line));
    return static_cast<std::int16_t>(std::isfinite(v) ? std::min<double>(std::floor(v), max) : 0);
}

QString oneLine(QString s)
{
    s.replace(QLatin1Char('\r'), QLatin1Char(' '));
    s.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return s;
}

}   // namespace

QString titleOf(const QString &path)
{
    QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0 && dot == name.size() - 4)
        name.chop(4);
    return name;
}

bool saveSettings(const QString &path, ConstReportStation station, QString *error)
{
    text::LineWriter out;
    if (!out.open(path)) {
        if (error)
            *error = out.errorString();
        return false;
    }
    out.writeLine(FileHeader);
    out.writeLine(text::formatNumber(
        std::int64_t{station.report.Rep_LinkNo != 0 ? station.report.Rep_LinkNo : station.project.linkKind}));
    out.writeLine(text::formatNumber(std::int64_t{station.project.controllerAddress}));
    out.writeLine(text::formatNumber(std::int64_t{station.report.Rep_Precision}));
    out.writeLine(text::formatNumber(std::int64_t{station.report.Rep_TriggerElement}));
    for (const QString &name : station.report.Rep_Names)
        out.writeLine(oneLine(name));
    if (!out.commit()) {
        if (error)
            *error = out.errorString();
        return false;
    }
    return true;
}

bool loadSettings(const QString &path, ReportStation station, QString *error)
{
    text::LineReader in;
    if (!in.open(path)) {
        if (error)
            *error = in.errorString();
        return false;
    }
    QString line;
    // Each item is taken only when its line is there; a short file stops where it ends.
    [&] {
        if (!in.readLine(line) || !in.readLine(line))
            return;
        // The file's link names the report's port; the polling link stays the project's.
        const double link = text::val(line);
        if (link >= 1 && link <= 9)
            station.report.Rep_LinkNo = static_cast<std::int16_t>(link);
        if (!in.readLine(line) || !in.readLine(line))
            return;
        station.report.Rep_Precision = absClamped(line, 3);
        if (!in.readLine(line))
            return;
        station.report.Rep_TriggerElement = absClamped(line, 31);
        for (QString &name : station.report.Rep_Names) {
            if (!in.readLine(line))
                return;
            name = line;
        }
    }();
    station.report.Rep_Names[0] = titleOf(path);
    return true;
}

}   // namespace report
