#include "journal/JournalExport.h"
#include "app/Colors.h"
#include "app/PdfFile.h"
#include "app/TwipsPrinter.h"
#include "journal/JournalPage.h"

#include <QPagedPaintDevice>

namespace journal {

namespace {

using colors::Black;
using colors::Blue;
using colors::Grey;
using colors::Red;

}   // namespace

Spreadsheet journalSheet(ConstJournalStation station)
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

    s.setValues("A2:C2",
                {{QStringLiteral("Дата              Час"), QStringLiteral("Подія"), QStringLiteral("Коментар")}});
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
            values.push_back(
                {r.firstOfRecord ? Spreadsheet::Value(r.dateTime) : Spreadsheet::Value(), Spreadsheet::Value(r.name)});
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

bool exportXlsx(const QString &path, ConstJournalStation station, QString *error)
{
    const Spreadsheet::SaveResult r = journalSheet(station).save(path);
    if (!r.ok && error)
        *error = r.message();
    return r.ok;
}

std::vector<PrintText> printLayout(ConstJournalStation station, double pageHeight)
{
    constexpr double pitch = 250;
    constexpr int pageLines = 60;
    std::vector<PrintText> out;
    out.push_back({0, 3000, 500, QStringLiteral("Журнал подій"), false});
    out.push_back({0, 5000, 500,
                   QStringLiteral("Сторінка - ") + QString::number(pageOnShow(station.journal.Jurnal_Buf) + 1), false});
    int page = 0;
    double top = 1000;
    int line = 0;
    for (const EventRow &r : eventRows(station)) {
        bool dated = r.firstOfRecord;
        if (r.firstOfRecord && line > pageLines) {
            ++page;
            line = 0;
            top = 500;
        } else if (line > 0 && top + pitch * (line + 1) > pageHeight) {
            // A record with many events may run past 60 lines, but never off the paper.
            ++page;
            line = 0;
            top = 500;
            dated = true;
        }
        const double y = top + pitch * line;
        if (dated)
            out.push_back({page, 500, y, dateTimeText(record(station.journal.Jurnal_Buf, r.record)), !r.written});
        out.push_back({page, 4000, y, r.name, false});
        ++line;
    }
    return out;
}

bool printJournal(QPagedPaintDevice &device, ConstJournalStation station)
{
    TwipsPrinter out(device);
    if (!out.begin(QPageLayout::Portrait))
        return false;
    out.setFontName(QStringLiteral("DejaVu Sans"));
    out.setFontSize(10);
    int page = 0;
    for (const PrintText &t : printLayout(station, out.pageSize().height())) {
        if (t.page != page) {
            out.newPage();
            page = t.page;
        }
        out.setColor(t.grey ? Grey : Black);
        out.text(t.x, t.y, t.text);
    }
    return out.end();
}

bool printJournalPdf(const QString &path, ConstJournalStation station, QString *error)
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

}   // namespace journal
