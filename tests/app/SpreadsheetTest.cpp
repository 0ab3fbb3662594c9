// The spreadsheet layer: A1 ranges, formats composed over overlapping ranges, and the written
// workbook read back by an independent reader.
#include "app/Spreadsheet.h"
#include "support/XlsxDump.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <csignal>
#include <functional>
#include <sys/resource.h>

namespace {

using Range = Spreadsheet::Range;

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(Spreadsheet, RangesParseAndResizeLikeTheApplication)
{
    struct Case {
        const char *text;
        bool valid;
        int r1, c1, r2, c2;
        const char *a1;
    };
    const Case cases[] = {
        {"A1", true, 0, 0, 0, 0, "A1"},
        {"A1:C1", true, 0, 0, 0, 2, "A1:C1"},
        {"B4:E483", true, 3, 1, 482, 4, "B4:E483"},
        {"$b$4:$e$483", true, 3, 1, 482, 4, "B4:E483"},
        {"E483:B4", true, 3, 1, 482, 4, "B4:E483"},
        {"C:C", true, 0, 2, 1048575, 2, "C:C"},
        {"B:R", true, 0, 1, 1048575, 17, "B:R"},
        {"4:484", true, 3, 0, 483, 16383, "4:484"},
        {"AA10", true, 9, 26, 9, 26, "AA10"},
        {"XFD1048576", true, 1048575, 16383, 1048575, 16383, "XFD1048576"},
        {"A0", false, 0, 0, 0, 0, ""},
        {"XFE1", false, 0, 0, 0, 0, ""},
        {"A1048577", false, 0, 0, 0, 0, ""},
        {"A1:B", false, 0, 0, 0, 0, ""},
        {"C", false, 0, 0, 0, 0, ""},
        {"4", false, 0, 0, 0, 0, ""},
        {"", false, 0, 0, 0, 0, ""},
        {"A1:B2:C3", false, 0, 0, 0, 0, ""},
        {"Б4", false, 0, 0, 0, 0, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        const Range r(c.text);
        EXPECT_EQ(r.isValid(), c.valid);
        EXPECT_EQ(r.toA1(), QString::fromUtf8(c.a1));
        if (c.valid) {
            EXPECT_EQ(r.firstRow, c.r1);
            EXPECT_EQ(r.firstColumn, c.c1);
            EXPECT_EQ(r.lastRow, c.r2);
            EXPECT_EQ(r.lastColumn, c.c2);
        }
    }
    EXPECT_EQ(Range("B4").resized(480, 4).toA1(), QStringLiteral("B4:E483"));
    EXPECT_EQ(Range("A4").resized(374, 18).toA1(), QStringLiteral("A4:R377"));
    EXPECT_EQ(Range("C7:F9").resized(1, 1).toA1(), QStringLiteral("C7"));
    EXPECT_FALSE(Range("B4").resized(0, 4).isValid());
    EXPECT_FALSE(Range("XFD1").resized(1, 2).isValid());
}

TEST(Spreadsheet, OverlappingFormatsComposeInCallOrderAndTheWorkbookCarriesThem)
{
    Spreadsheet sheet;
    sheet.setFontName("A1:C3", QStringLiteral("Arial Cyr"));
    sheet.setFontStyle("A1:C3", QStringLiteral("обычный"));
    sheet.setFontSize("A1:C3", 7);
    sheet.setBorderWeight("A1:C3", Spreadsheet::Hairline);
    sheet.setHorizontalAlignment("A1:C3", 3);
    sheet.setVerticalAlignment("A1:C3", -4130);
    sheet.setReadingOrder("A1:C3", -5002);
    sheet.merge("A1:C1");
    sheet.setBorderWeight("A1:C1", 2);
    sheet.setFontSize("A1:C1", 10);
    sheet.setFontColor("A1", 0xFF0000);
    sheet.setBold("A1", true);
    sheet.setValue("A1", QStringLiteral("Котельня"));
    sheet.setBorderWeight("A2:C2", 3);
    sheet.setFontColor("A2:C2", 255);
    sheet.setValues("A2:C2", {{QStringLiteral("Дата"), 1.5, {}}});
    sheet.setBorderWeight("C3", 4);
    sheet.setHorizontalAlignment("C:C", -4108);
    sheet.setVerticalAlignment("C:C", -4108);
    sheet.setNumberFormat("B3", QStringLiteral("#.00"));
    sheet.setValue("B3", 3.14159);
    sheet.setWrapText("B3", true);
    sheet.setFontStyle("B3", QStringLiteral("полужирный курсив"));
    sheet.setNumberFormat("A3", QStringLiteral("@"));
    sheet.setValue("A3", QStringLiteral("007"));
    sheet.setShrinkToFit("A3", true);
    sheet.setValue("C9", QStringLiteral("x"));   // made after C:C was formatted
    sheet.setValues(Range("A5").resized(2, 2), {{1.0, 2.0, 99.0}, {3.0, 4.0}, {5.0, 6.0}});
    sheet.setValue("D1", std::nan(""));
    sheet.setColumnWidth("A:A", 20);
    sheet.setColumnWidth("B1:C1", 16);
    sheet.setRowHeight("2:3", 10);
    auto &page = sheet.pageSetup();
    page.orientation = Spreadsheet::PageSetup::Orientation::Landscape;
    page.zoom = 85;
    page.leftMargin = page.rightMargin = 0.2937;
    page.topMargin = 0.6843;
    page.bottomMargin = 0.5843;
    page.headerMargin = page.footerMargin = 0.5118;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sheet.xlsx"));
    const auto result = sheet.save(path);
    ASSERT_TRUE(result.ok) << result.message().toStdString();
    QString error;
    const QJsonObject book = dumpXlsx(path, &error);
    ASSERT_FALSE(book.isEmpty()) << error.toStdString();
    const QJsonObject cells = book[QStringLiteral("cells")].toObject();

    struct Expect {
        const char *cell;
        QJsonValue value;
        const char *font;
        double size;
        bool bold, italic;
        const char *color;   // RRGGBB, nullptr = automatic
        const char *h, *v;
        bool wrap, shrink;
        const char *numfmt;
        std::array<const char *, 4> border;   // left, top, right, bottom
    };
    const char *hair = "hair", *thin = "thin", *medium = "medium", *thick = "thick";
    const Expect expected[] = {
        {"A1",
         QStringLiteral("Котельня"),
         "Arial Cyr",
         10,
         true,
         false,
         "0000FF",
         "center",
         "justify",
         false,
         false,
         "General",
         {thin, thin, thin, thin}},
        {"B1",
         QJsonValue::Null,
         "Arial Cyr",
         10,
         false,
         false,
         nullptr,
         "center",
         "justify",
         false,
         false,
         "General",
         {thin, thin, thin, thin}},
        {"A2",
         QStringLiteral("Дата"),
         "Arial Cyr",
         7,
         false,
         false,
         "FF0000",
         "center",
         "justify",
         false,
         false,
         "General",
         {medium, medium, medium, medium}},
        {"B2",
         1.5,
         "Arial Cyr",
         7,
         false,
         false,
         "FF0000",
         "center",
         "justify",
         false,
         false,
         "General",
         {medium, medium, medium, medium}},
        {"C2",
         QJsonValue::Null,
         "Arial Cyr",
         7,
         false,
         false,
         "FF0000",
         "center",
         "center",
         false,
         false,
         "General",
         {medium, medium, medium, medium}},
        {"A3",
         QStringLiteral("007"),
         "Arial Cyr",
         7,
         false,
         false,
         nullptr,
         "center",
         "justify",
         false,
         true,
         "@",
         {hair, hair, hair, hair}},
        {"B3",
         3.14159,
         "Arial Cyr",
         7,
         true,
         true,
         nullptr,
         "center",
         "justify",
         true,
         false,
         "#.00",
         {hair, hair, hair, hair}},
        {"C3",
         QJsonValue::Null,
         "Arial Cyr",
         7,
         false,
         false,
         nullptr,
         "center",
         "center",
         false,
         false,
         "General",
         {thick, thick, thick, thick}},
        {"C9",
         QStringLiteral("x"),
         "Calibri",
         11,
         false,
         false,
         nullptr,
         "center",
         "center",
         false,
         false,
         "General",
         {nullptr, nullptr, nullptr, nullptr}},
        {"A5",
         1.0,
         "Calibri",
         11,
         false,
         false,
         nullptr,
         nullptr,
         nullptr,
         false,
         false,
         "General",
         {nullptr, nullptr, nullptr, nullptr}},
        {"B6",
         4.0,
         "Calibri",
         11,
         false,
         false,
         nullptr,
         nullptr,
         nullptr,
         false,
         false,
         "General",
         {nullptr, nullptr, nullptr, nullptr}},
    };
    const auto str = [](const char *s) { return s ? QJsonValue(QString::fromUtf8(s)) : QJsonValue(QJsonValue::Null); };
    for (const Expect &e : expected) {
        SCOPED_TRACE(e.cell);
        const QJsonObject c = cells[QString::fromUtf8(e.cell)].toObject();
        ASSERT_FALSE(c.isEmpty());
        EXPECT_EQ(c[QStringLiteral("value")], e.value);
        EXPECT_EQ(c[QStringLiteral("font")], str(e.font));
        EXPECT_EQ(c[QStringLiteral("size")].toDouble(), e.size);
        EXPECT_EQ(c[QStringLiteral("bold")].toBool(), e.bold);
        EXPECT_EQ(c[QStringLiteral("italic")].toBool(), e.italic);
        EXPECT_EQ(c[QStringLiteral("color")], str(e.color));
        EXPECT_EQ(c[QStringLiteral("h")], str(e.h));
        EXPECT_EQ(c[QStringLiteral("v")], str(e.v));
        EXPECT_EQ(c[QStringLiteral("wrap")].toBool(), e.wrap);
        EXPECT_EQ(c[QStringLiteral("shrink")].toBool(), e.shrink);
        EXPECT_EQ(c[QStringLiteral("reading")].toInt(), 0);
        EXPECT_EQ(c[QStringLiteral("numfmt")], str(e.numfmt));
        const QJsonArray border = c[QStringLiteral("border")].toArray();
        for (int side = 0; side < 4; ++side)
            EXPECT_EQ(border[side], str(e.border[static_cast<std::size_t>(side)])) << "side " << side;
    }
    // Cut off by the range, left out of a 2 x 2 table, or not a number.
    for (const char *absent : {"C5", "A7", "D1"})
        EXPECT_FALSE(cells.contains(QString::fromUtf8(absent))) << absent;
    EXPECT_EQ(book[QStringLiteral("merged")].toArray(), QJsonArray({QStringLiteral("A1:C1")}));
    // Widths as the application stores 20 and 16 characters of the default font.
    const QJsonObject columns = book[QStringLiteral("columns")].toObject();
    EXPECT_EQ(columns[QStringLiteral("A")].toDouble(), 20.7109375);
    EXPECT_EQ(columns[QStringLiteral("B")].toDouble(), 16.7109375);
    EXPECT_EQ(columns[QStringLiteral("C")].toDouble(), 16.7109375);
    const QJsonObject rows = book[QStringLiteral("rows")].toObject();
    EXPECT_EQ(rows[QStringLiteral("2")].toDouble(), 10.0);
    EXPECT_EQ(rows[QStringLiteral("3")].toDouble(), 10.0);
    EXPECT_FALSE(rows.contains(QStringLiteral("1")));

    const QJsonObject p = book[QStringLiteral("page")].toObject();
    EXPECT_EQ(p[QStringLiteral("orientation")], QStringLiteral("landscape"));
    EXPECT_EQ(p[QStringLiteral("paper")].toInt(), 9);
    EXPECT_EQ(p[QStringLiteral("scale")].toInt(), 85);
    EXPECT_DOUBLE_EQ(p[QStringLiteral("left")].toDouble(), 0.2937);
    EXPECT_DOUBLE_EQ(p[QStringLiteral("right")].toDouble(), 0.2937);
    EXPECT_DOUBLE_EQ(p[QStringLiteral("top")].toDouble(), 0.6843);
    EXPECT_DOUBLE_EQ(p[QStringLiteral("bottom")].toDouble(), 0.5843);
    EXPECT_DOUBLE_EQ(p[QStringLiteral("header")].toDouble(), 0.5118);
    EXPECT_DOUBLE_EQ(p[QStringLiteral("footer")].toDouble(), 0.5118);
    EXPECT_FALSE(p[QStringLiteral("gridLines")].toBool());
    EXPECT_FALSE(p[QStringLiteral("headings")].toBool());
    EXPECT_EQ(p[QStringLiteral("headerText")], QJsonArray({QJsonValue::Null, QJsonValue::Null, QJsonValue::Null}));
}

TEST(Spreadsheet, AFailedSaveReportsItsErrorAndLeavesTheEarlierFileIntact)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.xlsx"));
    Spreadsheet first;
    first.setValue("A1", QStringLiteral("перший"));
    ASSERT_TRUE(first.save(path).ok);
    const QByteArray earlier = readAll(path);
    ASSERT_FALSE(earlier.isEmpty());

    const std::pair<const char *, std::function<void(Spreadsheet &)>> badCalls[] = {
        {"row 0", [](Spreadsheet &s) { s.setValue("A0", 1.0); }},
        {"column past XFD", [](Spreadsheet &s) { s.setBold("XFE1", true); }},
        {"half range", [](Spreadsheet &s) { s.merge("A1:B"); }},
        {"resize to nothing", [](Spreadsheet &s) { s.setValues(Range("B4").resized(0, 4), {}); }},
        {"border weight 5", [](Spreadsheet &s) { s.setBorderWeight("A1", 5); }},
        {"horizontal code 9", [](Spreadsheet &s) { s.setHorizontalAlignment("A1", 9); }},
        {"vertical code 3", [](Spreadsheet &s) { s.setVerticalAlignment("A1", 3); }},
        {"reading order 0", [](Spreadsheet &s) { s.setReadingOrder("A1", 0); }},
        {"font style", [](Spreadsheet &s) { s.setFontStyle("A1", QStringLiteral("жирно")); }},
        {"font size 0", [](Spreadsheet &s) { s.setFontSize("A1", 0); }},
        {"column width 300", [](Spreadsheet &s) { s.setColumnWidth("A:A", 300); }},
        {"overlapping merge",
         [](Spreadsheet &s) {
             s.merge("A1:B2");
             s.merge("B2:C3");
         }},
        {"value into a whole column", [](Spreadsheet &s) { s.setValue("C:C", 1.0); }},
    };
    for (const auto &[name, call] : badCalls) {
        SCOPED_TRACE(name);
        Spreadsheet sheet;
        sheet.setValue("A1", QStringLiteral("другий"));
        call(sheet);
        sheet.setValue("A2", 2.0);   // later good calls still work
        const auto r = sheet.save(path);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.errorNumber, 1004);
        EXPECT_TRUE(r.message().startsWith(QStringLiteral("Error nr 1004: "))) << r.message().toStdString();
        EXPECT_GT(r.message().size(), 16);
        EXPECT_EQ(readAll(path), earlier);
    }

    // A file that cannot be written out whole (the size limit is hit half way).
    Spreadsheet big;
    big.setValue(Range("A1").resized(200, 10), QStringLiteral("рядок, що займає місце у файлі"));
    for (int i = 0; i < 2000; ++i)
        big.setValue(Range::cell(i, 11), static_cast<double>(i) * 1.25);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = static_cast<rlim_t>(earlier.size());
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto tooBig = big.save(path);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(tooBig.ok);
    EXPECT_EQ(tooBig.errorNumber, 75) << tooBig.message().toStdString();
    EXPECT_EQ(readAll(path), earlier);

    // The target is a folder.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.xlsx")));
    const auto onFolder = big.save(dir.filePath(QStringLiteral("folder.xlsx")));
    EXPECT_FALSE(onFolder.ok);
    EXPECT_EQ(onFolder.errorNumber, 75);

    // Nothing half-written is left beside the target; the big sheet saves once it may.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({QStringLiteral("report.xlsx")}));
    ASSERT_TRUE(big.save(path).ok);
    EXPECT_EQ(
        dumpXlsx(path)[QStringLiteral("cells")].toObject()[QStringLiteral("L2000")].toObject()[QStringLiteral("value")],
        QJsonValue(2498.75));
}

}   // namespace
