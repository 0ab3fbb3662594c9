// The report workbook read back with an independent reader (openpyxl), its file name, and the
// CSV file.
#include "app/Spreadsheet.h"
#include "station/Station.h"
#include "reports/ReportExport.h"
#include "support/XlsxDump.h"

#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A filled report: row r has date "dd/03/24", time "hh:00:00" and parameter q the value
// q + r / 1000; row 0 of parameter 1 is 3.14159.
void fill(Station &st)
{
    st.report.Rep_Names[0] = QStringLiteral("Котельня");
    for (int q = 1; q <= 16; ++q)
        st.report.Rep_Names[size_t(q)] = QStringLiteral("Тиск %1").arg(q);
    for (int r = 0; r < 375; ++r) {
        auto &row = st.report.Rep_Table[size_t(r)];
        row[0] = QStringLiteral("%1/03/24").arg(r % 28 + 1, 2, 10, QLatin1Char('0'));
        row[1] = QStringLiteral("%1:00:00").arg(r % 24, 2, 10, QLatin1Char('0'));
        for (int q = 1; q <= 16; ++q)
            row[size_t(q + 1)] = QVariant::fromValue(float(q + r / 1000.0));
    }
    st.report.Rep_Table[0][2] = QVariant::fromValue(3.14159f);
}

}   // namespace

TEST(ReportExportTest, TheWorkbookHoldsTitleHeadingsNamesAnd374RowsWithTheChosenNumberFormat)
{
    // The value columns' number format follows the precision; dates and times stay text.
    struct Case {
        int precision;
        QString format;
    };
    for (const Case &c : {Case{0, "#"}, Case{1, "#.0"}, Case{2, "#.00"}, Case{3, "#.000"}, Case{99, "@"}}) {
        SCOPED_TRACE(c.precision);
        Station st;
        st.report.Rep_Precision = static_cast<std::int16_t>(c.precision);
        const Spreadsheet sheet = report::buildWorkbook(st);
        for (auto [row, col] : {std::pair{3, 2}, std::pair{376, 17}, std::pair{0, 5}, std::pair{379, 10}})
            EXPECT_EQ(sheet.format(row, col).numberFormat, c.format) << row << "," << col;
        EXPECT_EQ(sheet.format(3, 1).numberFormat, QStringLiteral("@"));
    }

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Station st;
    fill(st);
    st.report.Rep_Precision = 2;
    const QString path = dir.filePath(QStringLiteral("report.xlsx"));
    const report::ExportResult r = report::exportWorkbook(st, path);
    ASSERT_TRUE(r.ok) << r.description.toStdString();
    QString error;
    const QJsonObject book = dumpXlsx(path, &error);
    ASSERT_FALSE(book.isEmpty()) << error.toStdString();
    const QJsonObject cells = book[QStringLiteral("cells")].toObject();
    auto cell = [&](const char *a1) { return cells[QString::fromLatin1(a1)].toObject(); };
    {
        EXPECT_EQ(cell("C4")[QStringLiteral("numfmt")].toString(), QStringLiteral("#.00"));
        EXPECT_EQ(cell("B4")[QStringLiteral("numfmt")].toString(), QStringLiteral("@"));
        // 3.14159 under "#.00" reads 3.14 in the application.
        EXPECT_NEAR(cell("C4")[QStringLiteral("value")].toDouble(), 3.14159, 1e-6);
        EXPECT_EQ(cell("A1")[QStringLiteral("value")].toString(), QStringLiteral("Котельня"));
        EXPECT_TRUE(cell("A1")[QStringLiteral("bold")].toBool());
        EXPECT_EQ(cell("A1")[QStringLiteral("color")].toString(), QStringLiteral("0000FF"));
        EXPECT_EQ(cell("A1")[QStringLiteral("size")].toDouble(), 10.0);
        EXPECT_TRUE(book[QStringLiteral("merged")].toArray().contains(QStringLiteral("A1:R1")));

        const char *heads[18] = {"Дата",        "Время",       "Параметр 1",  "Параметр 2",  "Параметр 3",
                                 "Параметр 4",  "Параметр 5",  "Параметр 6",  "Параметр 7",  "Параметр 8",
                                 "Параметр 9",  "Параметр 10", "Параметр 11", "Параметр 12", "Параметр 13",
                                 "Параметр 14", "Параметр 15", "Параметр 16"};
        for (int col = 0; col < 18; ++col) {
            const QString a2 = QString(QChar(u'A' + col)) + QStringLiteral("2");
            const QJsonObject h = cells[a2].toObject();
            EXPECT_EQ(h[QStringLiteral("value")].toString(), QString::fromUtf8(heads[col])) << col;
            EXPECT_EQ(h[QStringLiteral("color")].toString(), QStringLiteral("FF0000")) << col;
        }
        EXPECT_EQ(cell("C3")[QStringLiteral("value")].toString(), QStringLiteral("Тиск 1"));
        EXPECT_EQ(cell("R3")[QStringLiteral("value")].toString(), QStringLiteral("Тиск 16"));
        EXPECT_EQ(cell("R3")[QStringLiteral("color")].toString(), QStringLiteral("008000"));
        EXPECT_TRUE(cell("R3")[QStringLiteral("wrap")].toBool());
        EXPECT_EQ(cell("R3")[QStringLiteral("h")].toString(), QStringLiteral("center"));

        // Rows 0..373 of the table land in rows 4..377; the 375th entry is not written.
        EXPECT_EQ(cell("A4")[QStringLiteral("value")].toString(), QStringLiteral("01/03/24"));
        EXPECT_EQ(cell("B5")[QStringLiteral("value")].toString(), QStringLiteral("01:00:00"));
        EXPECT_EQ(cell("A377")[QStringLiteral("value")].toString(), QStringLiteral("10/03/24"));
        EXPECT_NEAR(cell("R377")[QStringLiteral("value")].toDouble(), 16.373, 1e-5);
        EXPECT_TRUE(cell("A378")[QStringLiteral("value")].isNull());
        EXPECT_TRUE(cell("R378")[QStringLiteral("value")].isNull());
        EXPECT_EQ(cell("A4")[QStringLiteral("color")].toString(), QStringLiteral("0000FF"));
        EXPECT_TRUE(cell("D200")[QStringLiteral("bold")].toBool());
        EXPECT_EQ(cell("D200")[QStringLiteral("font")].toString(), QStringLiteral("Arial Cyr"));
        EXPECT_EQ(cell("D200")[QStringLiteral("size")].toDouble(), 7.0);
        EXPECT_EQ(cell("D200")[QStringLiteral("border")].toArray()[0].toString(), QStringLiteral("hair"));
        EXPECT_EQ(cell("D2")[QStringLiteral("border")].toArray()[0].toString(), QStringLiteral("medium"));

        const QJsonObject columns = book[QStringLiteral("columns")].toObject();
        const QJsonObject rows = book[QStringLiteral("rows")].toObject();
        EXPECT_NEAR(columns[QStringLiteral("A")].toDouble(), 20, 1);
        EXPECT_NEAR(columns[QStringLiteral("R")].toDouble(), 16, 1);
        EXPECT_EQ(rows[QStringLiteral("4")].toDouble(), 10.0);
        EXPECT_EQ(rows[QStringLiteral("380")].toDouble(), 10.0);
        const QJsonObject page = book[QStringLiteral("page")].toObject();
        EXPECT_EQ(page[QStringLiteral("paper")].toInt(), 9);
        EXPECT_EQ(page[QStringLiteral("orientation")].toString(), QStringLiteral("portrait"));
        EXPECT_NEAR(page[QStringLiteral("left")].toDouble(), 0.293700787401575, 1e-9);
        EXPECT_NEAR(page[QStringLiteral("top")].toDouble(), 0.684251968503937, 1e-9);
        EXPECT_NEAR(page[QStringLiteral("bottom")].toDouble(), 0.584251968503937, 1e-9);
        EXPECT_NEAR(page[QStringLiteral("header")].toDouble(), 0.511811023622047, 1e-9);
        EXPECT_FALSE(page[QStringLiteral("gridLines")].toBool());
    }
}

TEST(ReportExportTest, TheFileNameCarriesTheTitleAndTodayWithTheLocalesDateSeparator)
{
    const QDate date(2026, 12, 6);
    struct Case {
        QLocale locale;
        QString name;
    };
    const Case cases[] = {
        {QLocale(QLocale::Ukrainian, QLocale::Ukraine), QStringLiteral("Котельня 06.12.2026.xlsx")},
        {QLocale(QLocale::German, QLocale::Germany), QStringLiteral("Котельня 06.12.2026.xlsx")},
        // A slash cannot stand in a file name.
        {QLocale(QLocale::English, QLocale::UnitedStates), QStringLiteral("Котельня 06-12-2026.xlsx")},
        {QLocale(QLocale::Swedish, QLocale::Sweden), QStringLiteral("Котельня 06-12-2026.xlsx")},
    };
    for (const Case &c : cases)
        EXPECT_EQ(report::workbookName(QStringLiteral("Котельня"), date, c.locale), c.name)
            << c.locale.name().toStdString();
    EXPECT_EQ(report::workbookName(QStringLiteral("a/b"), date, cases[0].locale),
              QStringLiteral("a_b 06.12.2026.xlsx"));
}

TEST(ReportExportTest, AWorkbookThatCannotBeWrittenGivesANumberedErrorAndTheCsvHoldsTheWholeTable)
{
    QTemporaryDir dir;
    Station st;
    fill(st);
    const report::ExportResult bad = report::exportWorkbook(st, dir.filePath(QStringLiteral("no/such/r.xlsx")));
    EXPECT_FALSE(bad.ok);
    EXPECT_NE(bad.errorNumber, 0);
    EXPECT_FALSE(bad.description.isEmpty());

    st.report.Rep_Precision = 2;
    st.report.Rep_Names[3] = QStringLiteral("Рівень, м");
    st.report.Rep_Names[4].clear();
    const QString csv = dir.filePath(QStringLiteral("r.csv"));
    ASSERT_TRUE(report::exportCsv(st, csv));
    const QList<QByteArray> lines = readAll(csv).split('\n');
    ASSERT_EQ(lines.size(), 377);   // heading, 375 rows, the empty piece after the last CR LF
    EXPECT_EQ(lines[0],
              QStringLiteral("Дата,Время,Тиск 1,Тиск 2,\"Рівень, м\",Параметр 4,Тиск 5,Тиск 6,Тиск 7,"
                             "Тиск 8,Тиск 9,Тиск 10,Тиск 11,Тиск 12,Тиск 13,Тиск 14,Тиск 15,Тиск 16\r")
                  .toUtf8());
    EXPECT_EQ(lines[1],
              QByteArray("01/03/24,00:00:00,3.14,2.00,3.00,4.00,5.00,6.00,7.00,8.00,9.00,10.00,11.00,"
                         "12.00,13.00,14.00,15.00,16.00\r"));
    EXPECT_TRUE(lines[375].startsWith("11/03/24,14:00:00,1.37,2.37,"));
    EXPECT_TRUE(lines[376].isEmpty());
}
