#include "history/HistoryExport.h"
#include "history/HistoryPainter.h"
#include "history/PageTimes.h"

#include "app/PdfFile.h"
#include "app/Spreadsheet.h"
#include "text/Numbers.h"
#include "text/SafeWrite.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QStringList>

namespace history {
namespace {

ExportResult writeLines(const QStringList &lines, const QString &path)
{
    const QByteArray bytes =
        QByteArray("\xEF\xBB\xBF") + (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
    QString why;
    if (!text::writeFileAtomically(path, bytes, &why))
        return {false, why};
    return {true, {}};
}

QStringList sampleHeading(const HistoryChart &chart)
{
    QStringList h{QStringLiteral("Дата і час")};
    for (int c = 0; c < 4; ++c)
        h << chart.channelName(c);
    return h;
}

}   // namespace

QString csvField(const QString &s)
{
    if (!s.contains(u',') && !s.contains(u'"') && !s.contains(u'\n') && !s.contains(u'\r'))
        return s;
    QString q = s;
    q.replace(u'"', QStringLiteral("\"\""));
    return u'"' + q + u'"';
}

ExportResult writeSamplesCsv(const HistoryStore &store, const HistoryChart &chart, const QString &path)
{
    QStringList heading;
    for (const QString &h : sampleHeading(chart))
        heading << csvField(h);
    QStringList lines{heading.join(u',')};
    for (const Sample &s : store.samples(chart.group(), chart.from(), chart.to())) {
        QString line = clockText(s.ms);
        for (float v : s.values)
            line += u',' + text::formatNumber(v).trimmed();
        lines << line;
    }
    if (!store.lastError().isEmpty())
        return {false, store.lastError()};
    return writeLines(lines, path);
}

ExportResult writeSamplesXlsx(const HistoryStore &store, const HistoryChart &chart, const QString &path)
{
    const std::vector<Sample> samples = store.samples(chart.group(), chart.from(), chart.to());
    if (!store.lastError().isEmpty())
        return {false, store.lastError()};
    // A title row, a heading row, then the samples: a sheet holds 2^20 rows.
    if (samples.size() > std::size_t(Spreadsheet::Range::MaxRows - 2))
        return {false, QStringLiteral("%1 значень не вміщуються в аркуш: оберіть менший проміжок").arg(samples.size())};
    Spreadsheet sheet;
    sheet.setFontName("A:E", QStringLiteral("Arial"));
    sheet.setColumnWidth("A:A", 24);
    sheet.setColumnWidth("B:E", 14);
    sheet.merge("A1:E1");
    sheet.setBold("A1:E2", true);
    sheet.setValue("A1",
                   QStringLiteral("Група %1   %2 — %3")
                       .arg(chart.group() + 1)
                       .arg(clockSecondsText(chart.from()), clockSecondsText(chart.to())));
    const QStringList heading = sampleHeading(chart);
    Spreadsheet::Row head;
    for (const QString &h : heading)
        head.emplace_back(h);
    sheet.setValues(Spreadsheet::Range("A2").resized(1, 5), {head});
    if (!samples.empty()) {
        Spreadsheet::Table table;
        table.reserve(samples.size());
        for (const Sample &s : samples) {
            Spreadsheet::Row row{clockText(s.ms)};
            for (float v : s.values)
                row.emplace_back(double(v));
            table.push_back(std::move(row));
        }
        sheet.setValues(Spreadsheet::Range("A3").resized(int(samples.size()), 5), table);
    }
    const Spreadsheet::SaveResult r = sheet.save(path);
    return {r.ok, r.ok ? QString() : r.message()};
}

ExportResult writeChartPdf(const HistoryChart &chart, const QString &path)
{
    PdfFile pdf;
    QPdfWriter &w = pdf.writer();
    w.setPageSize(QPageSize(QPageSize::A4));
    w.setPageOrientation(QPageLayout::Landscape);
    w.setResolution(96);
    {
        QPainter p;
        if (!p.begin(&w))
            return {false, QStringLiteral("PDF не створено")};
        const QRect page = w.pageLayout().paintRectPixels(w.resolution());
        HistoryPainter::paint(p, page.size(), chart);
        p.end();
    }
    QString why;
    if (!pdf.save(path, &why))
        return {false, why};
    return {true, {}};
}

ExportResult writeJournalCsv(const std::vector<JournalEvent> &events, const QString &path)
{
    QStringList lines{QStringLiteral("Дата і час,Сторінка,Рядок,Подія,Назва")};
    for (const JournalEvent &e : events)
        lines << QStringLiteral("%1,%2,%3,%4,%5")
                     .arg(clockSecondsText(e.ms))
                     .arg(e.page + 1)
                     .arg(e.row + 1)
                     .arg(e.event + 1)
                     .arg(csvField(e.name));
    return writeLines(lines, path);
}

ExportResult writeActionsCsv(const std::vector<Action> &actions, const QString &path)
{
    QStringList lines{QStringLiteral("Дата і час,Користувач,Дія,Опис")};
    for (const Action &a : actions)
        lines
            << QStringLiteral("%1,%2,%3,%4").arg(clockText(a.ms), csvField(a.user), csvField(a.kind), csvField(a.text));
    return writeLines(lines, path);
}

}   // namespace history
