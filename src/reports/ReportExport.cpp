#include "reports/ReportExport.h"

#include "app/Colors.h"
#include "app/Spreadsheet.h"
#include "text/SafeWrite.h"
#include <QStringList>
#include <cmath>

namespace report {

namespace {

using colors::Blue;
using colors::DarkGreen;
using colors::Red;
constexpr std::int32_t Black = 0;

Spreadsheet::Value cellValue(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return std::monostate{};
    if (v.typeId() == QMetaType::QString)
        return v.toString();
    return v.toDouble();
}

QString csvField(const QString &s)
{
    if (!s.contains(QLatin1Char(',')) && !s.contains(QLatin1Char('"')) && !s.contains(QLatin1Char('\n'))
        && !s.contains(QLatin1Char('\r')))
        return s;
    QString q = s;
    q.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

}   // namespace

QString numberFormat(int precision)
{
    switch (precision) {
    case 0: return QStringLiteral("#");
    case 1: return QStringLiteral("#.0");
    case 2: return QStringLiteral("#.00");
    case 3: return QStringLiteral("#.000");
    default: return QStringLiteral("@");
    }
}

QChar dateSeparator(const QLocale &locale)
{
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    QChar sep = QLatin1Char('.');
    for (qsizetype i = 1; i < format.size(); ++i) {
        const QChar c = format[i];
        const QChar before = format[i - 1];
        if (!c.isLetter() && (before == u'd' || before == u'M' || before == u'y')) {
            sep = c;
            break;
        }
    }
    if (sep == u'/' || sep == u'\\' || sep.isSpace())
        sep = QLatin1Char('-');
    return sep;
}

QString workbookName(const QString &title, const QDate &date, const QLocale &locale)
{
    QString safe = title;
    for (QChar &c : safe)
        if (c == u'/' || c == u'\\' || c == QChar(0))
            c = QLatin1Char('_');
    const QChar sep = dateSeparator(locale);
    const auto digits = [](int v, int width) { return QStringLiteral("%1").arg(v, width, 10, QLatin1Char('0')); };
    const QString day = digits(date.day(), 2) + sep + digits(date.month(), 2) + sep + digits(date.year(), 4);
    return safe + QLatin1Char(' ') + day + QStringLiteral(".xlsx");
}

Spreadsheet buildWorkbook(ConstReportStation station)
{
    Spreadsheet sheet;
    sheet.pageSetup() = Spreadsheet::PageSetup::archivePage();

    const Spreadsheet::Range all("A1:R380");
    sheet.setHorizontalAlignment(all, 3);
    sheet.setFontName(all, QStringLiteral("Arial Cyr"));
    sheet.setFontStyle(all, QStringLiteral("обычный"));
    sheet.setFontSize(all, 7);
    sheet.setBorderWeight(all, 1);
    sheet.setVerticalAlignment(all, Spreadsheet::AlignJustify);
    sheet.setReadingOrder(all, Spreadsheet::ReadingContext);
    sheet.setColumnWidth("A:A", 20);
    sheet.setColumnWidth("B:R", 16);
    sheet.setRowHeight("4:380", 10);

    sheet.merge("A1:R1");
    sheet.setBorderWeight("A1:R1", 2);
    sheet.setFontSize("A1:R1", 10);
    sheet.setFontColor("A1", Blue);
    sheet.setBold("A1", true);
    sheet.setValue("A1", station.report.Rep_Names[0]);

    Spreadsheet::Row headings{QStringLiteral("Дата"), QStringLiteral("Время")};
    for (int q = 1; q <= 16; ++q)
        headings.emplace_back(QStringLiteral("Параметр %1").arg(q));
    sheet.setBorderWeight("A2:R2", 3);
    sheet.setFontColor("A2:R2", Red);
    sheet.setValues("A2:R2", {headings});

    Spreadsheet::Row names;
    for (int q = 1; q <= 16; ++q)
        names.emplace_back(station.report.Rep_Names[size_t(q)]);
    sheet.setBorderWeight("C3:R3", 3);
    sheet.setFontColor("C3:R3", DarkGreen);
    sheet.setBold("C3:R3", true);
    sheet.setValues("C3:R3", {names});

    sheet.setHorizontalAlignment("B3:R3", Spreadsheet::AlignCenter);
    sheet.setVerticalAlignment("B3:R3", Spreadsheet::AlignCenter);
    sheet.setWrapText("B3:R3", true);
    sheet.setShrinkToFit("B3:R3", false);
    sheet.setReadingOrder("B3:R3", Spreadsheet::ReadingContext);
    sheet.setHorizontalAlignment("C:C", Spreadsheet::AlignCenter);
    sheet.setVerticalAlignment("C:C", Spreadsheet::AlignCenter);

    sheet.setFontColor("A4:B380", Blue);
    sheet.setBold("A4:B380", true);
    sheet.setNumberFormat("A4:B380", QStringLiteral("@"));
    sheet.setFontColor("C4:R380", Black);
    sheet.setBold("C4:R380", true);
    sheet.setNumberFormat("C4:R380", QStringLiteral("@"));
    sheet.setNumberFormat("C1:R380", numberFormat(station.report.Rep_Precision));

    Spreadsheet::Table table(ExportRows, Spreadsheet::Row(18));
    for (int r = 0; r < ExportRows; ++r)
        for (int c = 0; c < 18; ++c)
            table[size_t(r)][size_t(c)] = cellValue(station.report.Rep_Table[size_t(r)][size_t(c)]);
    sheet.setValues(Spreadsheet::Range("A4").resized(ExportRows, 18), table);
    return sheet;
}

ExportResult exportWorkbook(ConstReportStation station, const QString &path)
{
    const Spreadsheet::SaveResult saved = buildWorkbook(station).save(path);
    return ExportResult{saved.ok, saved.errorNumber, saved.description, path};
}

bool exportCsv(ConstReportStation station, const QString &path, QString *error)
{
    const int decimals = std::clamp<int>(station.report.Rep_Precision, 0, 3);
    QStringList lines;
    QStringList head{QStringLiteral("Дата"), QStringLiteral("Время")};
    for (int q = 1; q <= 16; ++q) {
        const QString &name = station.report.Rep_Names[size_t(q)];
        head << csvField(name.isEmpty() ? QStringLiteral("Параметр %1").arg(q) : name);
    }
    lines << head.join(QLatin1Char(','));
    for (int r = 0; r < CsvRows; ++r) {
        const auto &row = station.report.Rep_Table[size_t(r)];
        QStringList fields{csvField(row[0].toString()), csvField(row[1].toString())};
        for (int c = 2; c < 18; ++c) {
            const QVariant &v = row[size_t(c)];
            fields << (v.isValid() ? QString::number(v.toDouble(), 'f', decimals) : QString());
        }
        lines << fields.join(QLatin1Char(','));
    }
    return text::writeFileAtomically(path, (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8(),
                                     error);
}

}   // namespace report
