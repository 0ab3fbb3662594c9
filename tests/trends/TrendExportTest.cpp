// Trend page exports: the spreadsheet read back with an independent reader, and the CSV bytes.
#include "trends/TrendExport.h"
#include "station/Station.h"
#include "support/XlsxDump.h"

#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace {

// Group 3 of a project whose trend block texts start at 200: an archive page, 10 minutes a
// stamp, with the values that show the rounding.
std::unique_ptr<Station> archivePage()
{
    auto st = std::make_unique<Station>();
    auto &p = st->project;
    p.blockTextBase[98] = 200;
    p.blockTexts[233] = QStringLiteral("Котельня: тиск і температура");
    p.blockTexts[201] = QStringLiteral("Тиск пари");
    p.blockTexts[206] = QStringLiteral("Т води");
    p.blockTexts[232] = QStringLiteral("Рівень");
    p.blockTexts[204] = QStringLiteral("Витрата газу, м3");
    st->trend.Graf_Group = 2;
    st->trend.Graf_ParamNo[8] = 0;
    st->trend.Graf_ParamNo[9] = 5;
    st->trend.Graf_ParamNo[10] = 31;
    st->trend.Graf_ParamNo[11] = 3;
    st->trend.Graf_Style = {1, 0x0000FF, 0x008000, 0xFF0000, 0x808080, 0, 0};
    st->trend.Graf_Page = 17;
    st->trend.Graf_TimeText = QStringLiteral("05/03/24 07:05:09  07:15:09  07:25:09  07:35:09  07:45:09  07:55:09  "
                                             "08:05:09  08:15:09  ");
    auto &v = st->trend.Graf_Values;
    v[0][0] = 12.34567f;
    v[0][1] = 0.0004f;
    v[0][2] = -2.25f;
    v[0][3] = 2.0005f;    // stored as 2.00049996...: rounds down
    v[0][4] = -0.0005f;   // stored as -0.00050000002: rounds to -0.001
    v[0][5] = 3.0625f;    // an exact half rounds up
    v[0][6] = -1.0625f;   // also below zero: towards +infinity
    for (int s = 0; s < 480; ++s)
        v[1][static_cast<std::size_t>(s)] = static_cast<float>(s) / 8.0f;
    v[2][240] = -1.0005f;
    v[3][479] = 1000000.0f;
    return st;
}

QStringList csvLines(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBFtime,"));
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"));
    lines.removeLast();
    return lines;
}

TEST(TrendExport, SheetCarriesTitleHeadingsColouredNamesTimeLabelsAndRoundedValues)
{
    const auto st = archivePage();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trend.xlsx"));
    const auto result = writeTrendXlsx(*st, path);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    QString error;
    const QJsonObject book = dumpXlsx(path, &error);
    ASSERT_FALSE(book.isEmpty()) << error.toStdString();
    const QJsonObject cells = book[QStringLiteral("cells")].toObject();

    struct Expect {
        const char *cell;
        QJsonValue value;
        double size;
        bool bold;
        const char *color;   // RRGGBB, nullptr = automatic
        const char *h, *v;
        bool wrap;
        const char *numfmt;
        const char *border;   // all four sides
    };
    const char *c = "center";
    const Expect expected[] = {
        {"A1", QStringLiteral("Котельня: тиск і температура"), 10, true, "0000FF", c, "justify", false, "General",
         "thin"},
        {"C1", QJsonValue::Null, 10, false, nullptr, c, c, false, "General", "thin"},
        {"E1", QJsonValue::Null, 10, false, nullptr, c, "justify", false, "General", "thin"},
        {"A2", QStringLiteral("Дата              Час"), 7, false, "FF0000", c, "justify", false, "General", "medium"},
        {"B2", QStringLiteral("Параметр 1"), 7, false, "FF0000", c, "justify", false, "General", "medium"},
        {"C2", QStringLiteral("Параметр 2"), 7, false, "FF0000", c, c, false, "General", "medium"},
        {"E2", QStringLiteral("Параметр 4"), 7, false, "FF0000", c, "justify", false, "General", "medium"},
        {"A3", QJsonValue::Null, 7, true, nullptr, c, "justify", false, "General", "medium"},
        {"B3", QStringLiteral("Тиск пари"), 7, true, "FF0000", c, c, true, "General", "medium"},
        {"C3", QStringLiteral("Т води"), 7, true, "008000", c, c, true, "General", "medium"},
        {"D3", QStringLiteral("Рівень"), 7, true, "0000FF", c, c, true, "General", "medium"},
        {"E3", QStringLiteral("Витрата газу, м3"), 7, true, "808080", c, c, true, "General", "medium"},
        {"A4", QStringLiteral("05/03/24       07:05:09"), 7, true, "0000FF", c, "justify", false, "@", "hair"},
        {"A5", QJsonValue::Null, 7, true, "0000FF", c, "justify", false, "@", "hair"},
        {"A64", QStringLiteral("05/03/24       07:15:09"), 7, true, "0000FF", c, "justify", false, "@", "hair"},
        {"A424", QStringLiteral("05/03/24       08:15:09"), 7, true, "0000FF", c, "justify", false, "@", "hair"},
        {"A480", QJsonValue::Null, 7, true, "0000FF", c, "justify", false, "@", "hair"},
        {"A481", QJsonValue::Null, 7, false, nullptr, c, "justify", false, "General", "hair"},
        {"B4", 12.346, 7, false, nullptr, c, "justify", false, "General", "hair"},
        {"B5", 0.0, 7, false, nullptr, c, "justify", false, "General", "hair"},
        {"B6", -2.25, 7, false, nullptr, c, "justify", false, "General", "hair"},
        {"B7", 2.0, 7, false, nullptr, c, "justify", false, "General", "hair"},
        {"B8", -0.001, 7, false, nullptr, c, "justify", false, "General", "hair"},
        {"B9", 3.063, 7, false, nullptr, c, "justify", false, "General", "hair"},
        {"B10", -1.062, 7, false, nullptr, c, "justify", false, "General", "hair"},
        {"C5", 0.125, 7, false, nullptr, c, c, false, "General", "hair"},
        {"C483", 59.875, 7, false, nullptr, c, c, false, "General", "hair"},
        {"D244", -1.0, 7, false, nullptr, c, "justify", false, "General", "hair"},
        {"E483", 1000000.0, 7, false, nullptr, c, "justify", false, "General", "hair"},
        {"E484", QJsonValue::Null, 7, false, nullptr, c, "justify", false, "General", "hair"},
    };
    for (const Expect &e : expected) {
        SCOPED_TRACE(e.cell);
        const QJsonObject cell = cells[QString::fromUtf8(e.cell)].toObject();
        ASSERT_FALSE(cell.isEmpty());
        EXPECT_EQ(cell[QStringLiteral("value")], e.value);
        EXPECT_EQ(cell[QStringLiteral("font")], QStringLiteral("Arial Cyr"));
        EXPECT_EQ(cell[QStringLiteral("size")].toDouble(), e.size);
        EXPECT_EQ(cell[QStringLiteral("bold")].toBool(), e.bold);
        EXPECT_FALSE(cell[QStringLiteral("italic")].toBool());
        EXPECT_EQ(cell[QStringLiteral("color")],
                  e.color ? QJsonValue(QString::fromUtf8(e.color)) : QJsonValue(QJsonValue::Null));
        EXPECT_EQ(cell[QStringLiteral("h")], QString::fromUtf8(e.h));
        EXPECT_EQ(cell[QStringLiteral("v")], QString::fromUtf8(e.v));
        EXPECT_EQ(cell[QStringLiteral("wrap")].toBool(), e.wrap);
        EXPECT_FALSE(cell[QStringLiteral("shrink")].toBool());
        EXPECT_EQ(cell[QStringLiteral("numfmt")], QString::fromUtf8(e.numfmt));
        const QString b = QString::fromUtf8(e.border);
        EXPECT_EQ(cell[QStringLiteral("border")].toArray(), QJsonArray({b, b, b, b}));
    }
    // Nothing outside A1:E484 but the formatted column C.
    for (const QString &key : cells.keys()) {
        const QString letters = key.left(1);
        const int row = key.mid(1).toInt();
        EXPECT_TRUE(row >= 1 && row <= 484 && letters >= QStringLiteral("A") && letters <= QStringLiteral("E"))
            << key.toStdString();
    }
    EXPECT_EQ(cells.size(), 5 * 484);

    EXPECT_EQ(book[QStringLiteral("merged")].toArray(), QJsonArray({QStringLiteral("A1:E1")}));
    const QJsonObject columns = book[QStringLiteral("columns")].toObject();
    EXPECT_EQ(columns[QStringLiteral("A")].toDouble(), 20.7109375);
    for (const char *col : {"B", "C", "D", "E"})
        EXPECT_EQ(columns[QString::fromUtf8(col)].toDouble(), 16.7109375) << col;
    const QJsonObject rows = book[QStringLiteral("rows")].toObject();
    EXPECT_EQ(rows.size(), 481);
    for (const char *row : {"4", "244", "484"})
        EXPECT_EQ(rows[QString::fromUtf8(row)].toDouble(), 10.0) << row;
    EXPECT_FALSE(rows.contains(QStringLiteral("3")));

    const QJsonObject page = book[QStringLiteral("page")].toObject();
    EXPECT_EQ(page[QStringLiteral("orientation")], QStringLiteral("portrait"));
    EXPECT_EQ(page[QStringLiteral("paper")].toInt(), 9);
    EXPECT_EQ(page[QStringLiteral("scale")].toInt(), 100);
    EXPECT_DOUBLE_EQ(page[QStringLiteral("left")].toDouble(), 0.293700787401575);
    EXPECT_DOUBLE_EQ(page[QStringLiteral("right")].toDouble(), 0.293700787401575);
    EXPECT_DOUBLE_EQ(page[QStringLiteral("top")].toDouble(), 0.684251968503937);
    EXPECT_DOUBLE_EQ(page[QStringLiteral("bottom")].toDouble(), 0.584251968503937);
    EXPECT_DOUBLE_EQ(page[QStringLiteral("header")].toDouble(), 0.511811023622047);
    EXPECT_DOUBLE_EQ(page[QStringLiteral("footer")].toDouble(), 0.511811023622047);
    EXPECT_EQ(page[QStringLiteral("pageOrder")], QJsonValue(QJsonValue::Null));   // down, then over
    EXPECT_FALSE(page[QStringLiteral("useFirstPageNumber")].toBool());
    EXPECT_FALSE(page[QStringLiteral("gridLines")].toBool());
    EXPECT_FALSE(page[QStringLiteral("headings")].toBool());
    EXPECT_FALSE(page[QStringLiteral("horizontalCentered")].toBool());
    EXPECT_FALSE(page[QStringLiteral("verticalCentered")].toBool());
    const QJsonArray none({QJsonValue::Null, QJsonValue::Null, QJsonValue::Null});
    EXPECT_EQ(page[QStringLiteral("headerText")], none);
    EXPECT_EQ(page[QStringLiteral("footerText")], none);
    EXPECT_EQ(page[QStringLiteral("printArea")], QJsonValue(QJsonValue::Null));
    EXPECT_EQ(page[QStringLiteral("printTitleRows")], QJsonValue(QJsonValue::Null));
}

TEST(TrendExport, CurrentPageStillFills480RowsWithZerosAfterItsLastSample)
{
    auto st = archivePage();
    st->trend.Graf_Page = 200;
    st->trend.Graf_SampleCount = 100;
    for (auto &x : st->trend.Graf_Values[2])
        x = 7.0f;   // left over from an earlier page
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("current.xlsx"));
    ASSERT_TRUE(writeTrendXlsx(*st, path).ok);
    const QJsonObject cells = dumpXlsx(path)[QStringLiteral("cells")].toObject();
    const std::pair<const char *, double> values[] = {
        {"D4", 7.0}, {"D103", 7.0}, {"D104", 0.0}, {"D483", 0.0}, {"C103", 12.375}, {"C104", 0.0}, {"E483", 0.0},
    };
    for (const auto &[cell, value] : values)
        EXPECT_EQ(cells[QString::fromUtf8(cell)].toObject()[QStringLiteral("value")], QJsonValue(value)) << cell;
}

TEST(TrendExport, CsvHasOneRowPerSampleWithInterpolatedTimes)
{
    struct Case {
        const char *name;
        bool current;
        qsizetype lineCount;
        std::vector<std::pair<int, const char *>> lines;   // line index, text
    };
    const Case cases[] = {
        {"archive page",
         false,
         481,
         {{0, "time,Тиск пари,Т води,Рівень,\"Витрата газу, м3\""},
          {1, "05/03/24 07:05:09,12.346,0,0,0"},
          {2, "05/03/24 07:05:19,0,0.125,0,0"},
          {3, "05/03/24 07:05:29,-2.25,0.25,0,0"},
          {5, "05/03/24 07:05:49,-0.001,0.5,0,0"},
          {62, "05/03/24 07:15:19,0,7.625,0,0"},
          {241, "05/03/24 07:45:09,0,30,-1,0"},
          {480, "05/03/24 08:24:59,0,59.875,0,1000000"}}},
        {"current page across midnight",
         true,
         101,
         {{1, "31/12/26 23:50:00,12.346,0,0,0"},
          {31, "31/12/26 23:55:00,0,3.75,0,0"},
          {61, "01/01/27 00:00:00,0,7.5,0,0"},
          {100, "01/01/27 00:06:30,0,12.375,0,0"}}},
    };
    QTemporaryDir dir;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        auto st = archivePage();
        if (c.current) {
            st->trend.Graf_Page = 200;
            st->trend.Graf_SampleCount = 100;
            st->trend.Graf_TimeText = QStringLiteral("31/12/26 23:50:00  00:00:00  ");
        }
        const QString path = dir.filePath(QStringLiteral("trend.csv"));
        const auto r = writeTrendCsv(*st, path);
        ASSERT_TRUE(r.ok) << r.error.toStdString();
        const QStringList lines = csvLines(path);
        EXPECT_EQ(lines.size(), c.lineCount);
        for (const auto &[index, text] : c.lines)
            EXPECT_EQ(lines.value(index), QString::fromUtf8(text)) << "line " << index;
    }
    const auto st = archivePage();
    const auto failed = writeTrendCsv(*st, dir.filePath(QStringLiteral("no-such-folder/trend.csv")));
    EXPECT_FALSE(failed.ok);
    EXPECT_FALSE(failed.error.isEmpty());
}

}   // namespace
