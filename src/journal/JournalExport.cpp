#include "journal/JournalExport.h"
#include "app/PdfFile.h"
#include "app/TwipsPrinter.h"
#include "journal/JournalPage.h"

#include <QPagedPaintDevice>

namespace journal {

namespace {

constexpr std::int32_t Blue = 0xFF0000;     // 0x00BBGGRR
constexpr std::int32_t Red = 0x0000FF;
constexpr std::int32_t Grey = 0x808080;
constexpr std::int32_t Black = 0x000000;

} // namespace

Spreadsheet journalSheet(const Station &station)
{
    Spreadsheet s;
    const std::vector<EventRow> rows = eventRows(station);
    const int last = static_cast<int>(rows.size()) + 2;   // the last row of the table
    const Spreadsheet::Range table(0, 0, last - 1, 2);

    // The whole table first, so the title, headings and data rows can stand out from it.
    s.setFontName(table, QStringLiteral("Arial Cyr"));
    s.setFontStyle(table, QStringLiteral("обычный"));
    s.setFontSize(table, 8);
    s.setHorizontalAlignment(table, Spreadsheet::AlignCenter);
    s.setBorderWeight(table, Spreadsheet::Hairline);
    s.setVerticalAlignment(table, Spreadsheet::AlignJustify);
    s.setReadingOrder(table, Spreadsheet::ReadingContext);

    s.merge("A1:C1");
    s.setValue("A1", QStringLiteral("Журнал подій"));
    s.setBold("A1:C1", true);
    s.setFontColor("A1:C1", Blue);
    s.setFontSize("A1:C1", 10);
    s.setBorderWeight("A1:C1", Spreadsheet::Thin);

    s.setValues("A2:C2", {{QStringLiteral("Дата              Час"), QStringLiteral("Подія"), QStringLiteral("Коментар")}});
    s.setFontColor("A2:C2", Red);
    s.setBorderWeight("A2:C2", Spreadsheet::Medium);

    if (!rows.empty()) {
        const Spreadsheet::Range data(2, 0, last - 1, 2);
        s.setRowHeight(data, 10);
        s.setBold(data, true);
        s.setFontColor(data, Blue);
        s.setNumberFormat(data, QStringLiteral("@"));
        Spreadsheet::Table values;
        for (const EventRow &r : rows)
            values.push_back({r.firstOfRecord ? Spreadsheet::Value(r.dateTime) : Spreadsheet::Value(),
                              Spreadsheet::Value(r.name)});
        s.setValues(Spreadsheet::Range(2, 0, last - 1, 1), values);
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (rows[i].firstOfRecord && !rows[i].written)
                s.setFontColor(Spreadsheet::Range::cell(static_cast<int>(i) + 2, 0), Grey);
    }

    s.setColumnWidth("A:A", 20);
    s.setColumnWidth("B:B", 40);
    s.setColumnWidth("C:C", 35);

    Spreadsheet::PageSetup &p = s.pageSetup();
    p.orientation = Spreadsheet::PageSetup::Orientation::Portrait;
    p.paperSize = 9;
    p.zoom = 100;
    p.leftMargin = p.rightMargin = 0.2937;
    p.topMargin = 0.6843;
    p.bottomMargin = 0.5843;
    p.headerMargin = p.footerMargin = 0.5118;
    p.printGridlines = false;
    p.printHeadings = false;
    p.overThenDown = false;
    return s;
}

bool exportXlsx(const QString &path, const Station &station, QString *error)
{
    const Spreadsheet::SaveResult r = journalSheet(station).save(path);
    if (!r.ok && error)
        *error = r.message();
    return r.ok;
}

bool printJournal(QPagedPaintDevice &device, const Station &station)
{
    constexpr double pitch = 250;
    constexpr int pageLines = 60;
    TwipsPrinter out(device);
    if (!out.begin(QPageLayout::Portrait))
        return false;
    out.setFontName(QStringLiteral("DejaVu Sans"));
    out.setFontSize(10);
    out.setColor(Black);
    out.text(3000, 500, QStringLiteral("Журнал подій"));
    out.text(5000, 500, QStringLiteral("Сторінка - ") + QString::number(shownPage(station.Jurnal_Page) + 1));

    const double bottom = out.pageSize().height();
    double top = 1000;
    int line = 0;
    const auto breakPage = [&] {
        out.newPage();
        line = 0;
        top = 500;
    };
    for (const EventRow &r : eventRows(station)) {
        if (r.firstOfRecord && line >= pageLines)
            breakPage();
        // A record with many events may run past 60 lines, but never off the paper.
        if (top + pitch * (line + 1) > bottom && line > 0)
            breakPage();
        const double y = top + pitch * line;
        if (r.firstOfRecord) {
            out.setColor(r.written ? Black : Grey);
            out.text(500, y, r.dateTime);
            out.setColor(Black);
        }
        out.text(4000, y, r.name);
        ++line;
    }
    return out.end();
}

bool printJournalPdf(const QString &path, const Station &station, QString *error)
{
    PdfFile pdf;
    pdf.writer().setPageMargins(QMarginsF(5, 5, 5, 5), QPageLayout::Millimeter);
    if (!printJournal(pdf.writer(), station)) {
        if (error)
            *error = QStringLiteral("документ не надруковано");
        return false;
    }
    return pdf.save(path, error);
}

} // namespace journal
