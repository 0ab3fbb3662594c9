// Spreadsheet, CSV and printout of a journal page, read back with independent tools: openpyxl
// for the workbook, poppler's pdftotext for the printed PDF.
#include "JournalFixtures.h"
#include "station/Station.h"
#include "journal/JournalCsv.h"
#include "journal/JournalExport.h"
#include "journal/JournalPage.h"
#include "support/QtTestApp.h"
#include "support/XlsxDump.h"

#include <QFile>
#include <QJsonArray>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr int EventBase = 700;

// Page 2, pointer 650: record 0 (written) on 07/03/23 09:04:15 with events 0, 2, 31; record 3
// (not written) on 08/03/23 22:30:00 with events 4 and 9.
Station pageStation()
{
    Station st;
    for (int n = 0; n < 32; ++n)
        st.project.blockTexts[static_cast<std::size_t>(EventBase + n)] = QStringLiteral("Подія %1").arg(n);
    st.project.blockTexts[EventBase + 9] = QStringLiteral("Тиск \"низький\", котел 2");
    st.project.Event_Base = EventBase;
    const jtest::Rec r0{15, 4, 9, 7, 3, 23, {0x05, 0, 0, 0x80}};
    const jtest::Rec r3{0, 30, 22, 8, 3, 23, {0x10, 0x02, 0, 0}};
    jtest::fill(st, jtest::answer(2, 0, 650, {{{0, r0}, {3, r3}}}));
    journal::takePage(st, false);
    return st;
}

TEST(JournalExport, CsvListsEveryFlaggedEventWithDateTimeNumberAndName)
{
    const Station st = pageStation();
    const QByteArray expected = QByteArray("\xEF\xBB\xBF")
        + QStringLiteral("Дата,Час,Подія,Назва\r\n"
                         "07/03/23,09:04:15,0,Подія 0\r\n"
                         "07/03/23,09:04:15,2,Подія 2\r\n"
                         "07/03/23,09:04:15,31,Подія 31\r\n"
                         "08/03/23,22:30:00,4,Подія 4\r\n"
                         "08/03/23,22:30:00,9,\"Тиск \"\"низький\"\", котел 2\"\r\n")
              .toUtf8();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("j.csv"));
    ASSERT_TRUE(journal::saveCsv(path, st));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), expected);
}

TEST(JournalExport, WorkbookHoldsTitleHeadingsAndOneRowPerEventWithTheirFormats)
{
    qtApp();
    const Station st = pageStation();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Журнал подій 3.xlsx"));
    ASSERT_TRUE(journal::exportXlsx(path, st));
    QString error;
    const QJsonObject book = dumpXlsx(path, &error);
    ASSERT_FALSE(book.isEmpty()) << error.toStdString();
    const QJsonObject cells = book[QStringLiteral("cells")].toObject();
    const auto c = [&](const char *a1) { return cells[QString::fromLatin1(a1)].toObject(); };
    const auto str = [&](const char *a1, const char *key) { return c(a1)[QString::fromLatin1(key)].toString(); };

    EXPECT_EQ(book[QStringLiteral("merged")].toArray(), QJsonArray{QStringLiteral("A1:C1")});
    // Values: title, headings (fourteen blanks between the words), then the events.
    struct V {
        const char *cell;
        QString value;
    };
    const V values[] = {
        {"A1", QStringLiteral("Журнал подій")},
        {"A2", QStringLiteral("Дата              Час")},
        {"B2", QStringLiteral("Подія")},
        {"C2", QStringLiteral("Коментар")},
        {"A3", QStringLiteral("07/03/23    09:04:15")},
        {"B3", QStringLiteral("Подія 0")},
        {"A4", QString()},
        {"B4", QStringLiteral("Подія 2")},
        {"B5", QStringLiteral("Подія 31")},
        {"A6", QStringLiteral("08/03/23    22:30:00")},
        {"B6", QStringLiteral("Подія 4")},
        {"B7", QStringLiteral("Тиск \"низький\", котел 2")},
    };
    for (const V &v : values)
        EXPECT_EQ(str(v.cell, "value"), v.value) << v.cell;
    EXPECT_TRUE(cells[QStringLiteral("A8")].isUndefined()) << "the table ends at row 7 = 5 events + 2";

    // Formats: cell, font colour RRGGBB, bold, size, border (all four sides).
    struct F {
        const char *cell;
        const char *color;
        bool bold;
        double size;
        const char *border;
    };
    const F formats[] = {
        {"A1", "0000FF", true, 10, "thin"},   {"C1", "0000FF", true, 10, "thin"}, {"A2", "FF0000", false, 8, "medium"},
        {"C2", "FF0000", false, 8, "medium"}, {"A3", "0000FF", true, 8, "hair"},  {"B5", "0000FF", true, 8, "hair"},
        {"A6", "808080", true, 8, "hair"},    {"B6", "0000FF", true, 8, "hair"},  {"C7", "0000FF", true, 8, "hair"},
    };
    for (const F &f : formats) {
        SCOPED_TRACE(f.cell);
        EXPECT_EQ(str(f.cell, "color"), QString::fromLatin1(f.color));
        EXPECT_EQ(c(f.cell)[QStringLiteral("bold")].toBool(), f.bold);
        EXPECT_EQ(c(f.cell)[QStringLiteral("size")].toDouble(), f.size);
        EXPECT_EQ(c(f.cell)[QStringLiteral("font")].toString(), QStringLiteral("Arial Cyr"));
        EXPECT_EQ(str(f.cell, "h"), QStringLiteral("center"));
        EXPECT_EQ(str(f.cell, "v"), QStringLiteral("justify"));
        const QJsonArray border = c(f.cell)[QStringLiteral("border")].toArray();
        for (int side = 0; side < 4; ++side)
            EXPECT_EQ(border[side].toString(), QString::fromLatin1(f.border)) << side;
    }
    EXPECT_EQ(str("B4", "numfmt"), QStringLiteral("@"));
    EXPECT_EQ(book[QStringLiteral("rows")].toObject()[QStringLiteral("5")].toDouble(), 10);
    const QJsonObject cols = book[QStringLiteral("columns")].toObject();
    EXPECT_NEAR(cols[QStringLiteral("A")].toDouble(), 20, 0.75);
    EXPECT_NEAR(cols[QStringLiteral("B")].toDouble(), 40, 0.75);
    EXPECT_NEAR(cols[QStringLiteral("C")].toDouble(), 35, 0.75);
    const QJsonObject page = book[QStringLiteral("page")].toObject();
    EXPECT_EQ(page[QStringLiteral("orientation")].toString(), QStringLiteral("portrait"));
    EXPECT_EQ(page[QStringLiteral("paper")].toInt(), 9);
    EXPECT_EQ(page[QStringLiteral("scale")].toInt(), 100);
    EXPECT_NEAR(page[QStringLiteral("left")].toDouble(), 0.2937, 1e-4);
    EXPECT_NEAR(page[QStringLiteral("right")].toDouble(), 0.2937, 1e-4);
    EXPECT_NEAR(page[QStringLiteral("top")].toDouble(), 0.6843, 1e-4);
    EXPECT_NEAR(page[QStringLiteral("bottom")].toDouble(), 0.5843, 1e-4);
    EXPECT_NEAR(page[QStringLiteral("header")].toDouble(), 0.5118, 1e-4);
    EXPECT_NEAR(page[QStringLiteral("footer")].toDouble(), 0.5118, 1e-4);
    EXPECT_FALSE(page[QStringLiteral("gridLines")].toBool());
    EXPECT_FALSE(page[QStringLiteral("headings")].toBool());

    // No flags at all: the title and the headings only.
    Station empty = pageStation();
    for (int r = 0; r < 32; ++r)
        for (int j = 0; j < 4; ++j)
            empty.journal.Jurnal_Buf[static_cast<std::size_t>(10 * r + 9 + j)] = 0;
    const QString emptyPath = dir.filePath(QStringLiteral("empty.xlsx"));
    ASSERT_TRUE(journal::exportXlsx(emptyPath, empty));
    const QJsonObject emptyCells = dumpXlsx(emptyPath)[QStringLiteral("cells")].toObject();
    QStringList names = emptyCells.keys();
    names.sort();
    EXPECT_EQ(names, (QStringList{"A1", "A2", "B1", "B2", "C1", "C2"}));
}

// Words of one PDF page with their left and top edges in points (pdftotext -bbox).
struct Word {
    QString text;
    double x, y;
};
std::vector<Word> pdfWords(const QString &pdf, int page)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"),
            {QStringLiteral("-bbox"), QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
             QString::number(page), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(30000))
        p.kill();
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"[0-9.]+\" yMax=\"[0-9.]+\">([^<]*)</word>"));
    std::vector<Word> words;
    for (auto m = word.globalMatch(html); m.hasNext();) {
        const auto w = m.next();
        words.push_back({w.captured(3), w.captured(1).toDouble(), w.captured(2).toDouble()});
    }
    return words;
}

int pdfPages(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {pdf});
    if (!p.waitForFinished(30000))
        p.kill();
    const auto m =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(QString::fromUtf8(p.readAllStandardOutput()));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

TEST(JournalPrint, EventLinesAtTheirPlacesAndANewPageBeforeARecordOnce60LinesArePrinted)
{
    qtApp();
    QTemporaryDir dir;
    // Every record with events 0, 9 and 20: 96 lines; records 0..19 fill 60 lines of page 1,
    // record 20 still starts there, and the paper ends after its first line.
    Station st = pageStation();
    st.project.blockTexts[EventBase + 9] = QStringLiteral("Подія 9");
    for (int r = 0; r < 32; ++r) {
        const std::uint8_t flags[4] = {0x01, 0x02, 0x10, 0};
        for (int j = 0; j < 4; ++j)
            st.journal.Jurnal_Buf[static_cast<std::size_t>(10 * r + 9 + j)] = flags[j];
    }
    const QString pdf = dir.filePath(QStringLiteral("j.pdf"));
    {
        QPdfWriter writer(pdf);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(5, 5, 5, 5), QPageLayout::Millimeter);
        ASSERT_TRUE(journal::printJournal(writer, st));
    }
    ASSERT_EQ(pdfPages(pdf), 2);
    const auto count = [](const std::vector<Word> &words, const QString &text) {
        return std::count_if(words.begin(), words.end(), [&](const Word &w) { return w.text == text; });
    };
    const std::vector<Word> p1 = pdfWords(pdf, 1), p2 = pdfWords(pdf, 2);
    EXPECT_EQ(count(p1, QStringLiteral("20")), 20) << "names of event 20 on page 1";
    EXPECT_EQ(count(p2, QStringLiteral("20")), 12);
    EXPECT_EQ(count(p1, QStringLiteral("Журнал")), 1);
    EXPECT_EQ(count(p2, QStringLiteral("Журнал")), 0) << "title on the first page only";
    EXPECT_EQ(count(p1, QStringLiteral("3")), 1) << "Сторінка - 3";

    // Geometry on page 1, in points (20 twips each) from the margin at 5 mm = 14.17 pt.
    const double margin = 14.17;
    const auto first = [&](const std::vector<Word> &words, const QString &text) {
        for (const Word &w : words)
            if (w.text == text)
                return w;
        return Word{{}, -1, -1};
    };
    const Word title = first(p1, QStringLiteral("Журнал"));
    EXPECT_NEAR(title.x, margin + 3000 / 20.0, 1.0);
    EXPECT_NEAR(first(p1, QStringLiteral("Сторінка")).x, margin + 5000 / 20.0, 1.0);
    const Word date = first(p1, QStringLiteral("07/03/23"));
    EXPECT_NEAR(date.x, margin + 500 / 20.0, 1.0);
    std::vector<double> nameX, nameY;
    for (const Word &w : p1)
        if (w.text == QStringLiteral("Подія")) {
            nameX.push_back(w.x);
            nameY.push_back(w.y);
        }
    ASSERT_EQ(nameX.size(), 61u);   // 20 records of 3 lines and the first of record 20
    for (double x : nameX)
        EXPECT_NEAR(x, margin + 4000 / 20.0, 1.0);
    EXPECT_NEAR(nameY[1] - nameY[0], 250 / 20.0, 0.2) << "line pitch";
    EXPECT_NEAR(nameY[0] - title.y, 500 / 20.0, 1.0) << "first line 500 twips below the title";
    EXPECT_NEAR(date.y, nameY[0], 1.0) << "the date stands on its record's first line";
    EXPECT_EQ(count(p1, QStringLiteral("07/03/23")), 1) << "date on the record's first line only";
    // Page 2 starts 500 twips down.
    std::vector<double> y2;
    for (const Word &w : p2)
        if (w.text == QStringLiteral("Подія"))
            y2.push_back(w.y);
    ASSERT_EQ(y2.size(), 35u);   // the rest of record 20, then 11 records of 3 lines
    EXPECT_NEAR(y2[0], nameY[0] - 500 / 20.0, 1.0);
    // Record 20 (bytes 21..26: 24/25/26 23:22:21) carries its date and time on to page 2.
    EXPECT_EQ(count(p1, QStringLiteral("24/25/26")), 1);
    ASSERT_EQ(count(p2, QStringLiteral("24/25/26")), 1);
    EXPECT_NEAR(first(p2, QStringLiteral("24/25/26")).y, y2[0], 1.0);
    EXPECT_NEAR(first(p2, QStringLiteral("23:22:21")).x, first(p1, QStringLiteral("23:22:21")).x, 1.0);

    // No flags: the title and the page number only.
    for (int r = 0; r < 32; ++r)
        for (int j = 0; j < 4; ++j)
            st.journal.Jurnal_Buf[static_cast<std::size_t>(10 * r + 9 + j)] = 0;
    const QString emptyPdf = dir.filePath(QStringLiteral("empty.pdf"));
    {
        QPdfWriter writer(emptyPdf);
        ASSERT_TRUE(journal::printJournal(writer, st));
    }
    QStringList words;
    for (const Word &w : pdfWords(emptyPdf, 1))
        words << w.text;
    EXPECT_EQ(words, (QStringList{"Журнал", "подій", "Сторінка", "-", "3"}));
}

// The printed lines as texts at their places: a record starts a new page only when more than
// 60 lines are on the page; a record cut by the end of the paper repeats its date and time.
TEST(JournalPrint, PagesBreakAfterMoreThan60LinesAndCarriedRecordsRepeatTheirDate)
{
    Station st = pageStation();
    st.project.blockTexts[EventBase + 9] = QStringLiteral("Подія 9");
    for (int r = 0; r < 32; ++r) {
        const std::uint8_t flags[4] = {0x01, 0x02, 0x10, 0};   // events 0, 9, 20
        for (int j = 0; j < 4; ++j)
            st.journal.Jurnal_Buf[static_cast<std::size_t>(10 * r + 9 + j)] = flags[j];
    }
    const auto names = [](const std::vector<journal::PrintText> &t, int page) {
        return std::count_if(t.begin(), t.end(),
                             [&](const journal::PrintText &x) { return x.page == page && x.x == 4000; });
    };
    const auto at = [](const std::vector<journal::PrintText> &t, int page, double x, double y) {
        for (const journal::PrintText &p : t)
            if (p.page == page && p.x == x && p.y == y)
                return p.text;
        return QStringLiteral("<none>");
    };

    // Paper long enough for anything: record 20 starts at line 60 and stays; record 21 starts
    // at line 63 on a new page, at 500 twips.
    const auto tall = journal::printLayout(st, 100000);
    EXPECT_EQ(names(tall, 0), 63);
    EXPECT_EQ(names(tall, 1), 33);
    EXPECT_EQ(at(tall, 0, 3000, 500), QStringLiteral("Журнал подій"));
    EXPECT_EQ(at(tall, 0, 5000, 500), QStringLiteral("Сторінка - 3"));
    EXPECT_EQ(at(tall, 0, 500, 1000 + 250 * 60), QStringLiteral("24/25/26    23:22:21"));   // record 20
    EXPECT_EQ(at(tall, 1, 500, 500), QStringLiteral("25/26/27    24:23:22"));               // record 21
    EXPECT_EQ(at(tall, 1, 4000, 500), QStringLiteral("Подія 0"));
    EXPECT_EQ(at(tall, 1, 500, 750), QStringLiteral("<none>"));

    // Paper of 3500 twips: 10 lines below 1000, 12 below 500. Record 3 (08/03/23 22:30:00)
    // is cut after its first line and its date and time stand again on the next page.
    const auto shortPaper = journal::printLayout(st, 3500);
    EXPECT_EQ(names(shortPaper, 0), 10);
    EXPECT_EQ(names(shortPaper, 1), 12);
    EXPECT_EQ(at(shortPaper, 0, 500, 1000 + 250 * 9), QStringLiteral("08/03/23    22:30:00"));
    EXPECT_EQ(at(shortPaper, 1, 500, 500), QStringLiteral("08/03/23    22:30:00"));
    EXPECT_EQ(at(shortPaper, 1, 4000, 500), QStringLiteral("Подія 9"));
    EXPECT_EQ(at(shortPaper, 1, 500, 750), QStringLiteral("<none>"));
    EXPECT_EQ(at(shortPaper, 1, 4000, 750), QStringLiteral("Подія 20"));
    // Record 3 is not written (pointer 650, page 2): its repeated date is grey too.
    for (const journal::PrintText &t : shortPaper) {
        if (t.page == 1 && t.y == 500 && t.x == 500) {
            EXPECT_TRUE(t.grey);
        }
    }
}

}   // namespace
