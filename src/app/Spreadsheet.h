#pragma once
// A spreadsheet built in memory and written as one .xlsx workbook (libxlsxwriter) on save.
//
// The archive exports (trends, journal, reports) describe their sheets the way a spreadsheet
// application is driven: ranges in A1 notation and, on each range, a font, borders,
// alignment codes, number formats and values. This class takes those calls with the same
// codes and the same meaning:
//
//   Spreadsheet sheet;
//   sheet.setFontName("A1:E484", "Arial Cyr");
//   sheet.setBorderWeight("A1:E484", Spreadsheet::Hairline);
//   sheet.merge("A1:E1");
//   sheet.setFontColor("A1", 0xFF0000);                 // 0x00BBGGRR: blue
//   sheet.setValue("A1", QStringLiteral("Котельня"));
//   sheet.setValues(Spreadsheet::Range("B4").resized(480, 4), table);
//   const auto result = sheet.save(path);
//
// Every cell keeps its own format; a call changes only the attributes it names, so formats
// given to overlapping ranges compose in call order as they do in the application. Whole
// columns ("C:C") and whole rows ("4:4") format the column or row and every cell already in
// it; a cell made later starts from its row's format, else its column's.
//
// A call with a bad range or an unknown code does nothing and is remembered: save() then
// writes nothing and returns the first such error, as the application would have raised it.
// save() builds the workbook in the target's folder, checks that every part of it reads back
// whole, and only then writes it over the target (every write checked, then one rename), so a
// failed save leaves an earlier file intact and is reported as error 75.
#include <QString>
#include <QStringView>
#include <cstdint>
#include <map>
#include <optional>
#include <unordered_map>
#include <variant>
#include <vector>

class Spreadsheet {
public:
    // An A1 range: 0-based, inclusive. A whole column range spans every row, a whole row
    // range every column.
    struct Range {
        static constexpr int MaxRows = 1048576;
        static constexpr int MaxColumns = 16384;

        Range() = default;
        // "A1", "A1:C1", "B4:E483", "C:C", "B:R", "4:4", "4:484"; lower case and "$" are
        // accepted. A text that is not a range gives an invalid range.
        Range(const char *a1);      // NOLINT: implicit, so calls read like A1 text
        Range(const QString &a1);   // NOLINT
        Range(int firstRow, int firstColumn, int lastRow, int lastColumn);
        static Range cell(int row, int column) { return Range(row, column, row, column); }

        bool isValid() const { return valid; }
        bool isWholeColumns() const { return valid && firstRow == 0 && lastRow == MaxRows - 1; }
        bool isWholeRows() const { return valid && firstColumn == 0 && lastColumn == MaxColumns - 1; }
        int rowCount() const { return lastRow - firstRow + 1; }
        int columnCount() const { return lastColumn - firstColumn + 1; }
        // The same top-left cell, `rows` by `columns` cells (the application's Resize).
        Range resized(int rows, int columns) const;
        // "B4:E483" (a single cell as "B4"); "" when invalid.
        QString toA1() const;

        int firstRow = 0, firstColumn = 0, lastRow = 0, lastColumn = 0;
        bool valid = false;
        QString text;   // as given, for error messages
    };

    // Border weights as the exports give them (the application's codes).
    enum BorderWeight { Hairline = 1, Thin = 2, Medium = 3, Thick = 4, MediumCode = -4138 };
    // Alignment codes. Horizontal: the named constants and the short codes 1..7 (general,
    // left, centre, right, fill, justify, centre across selection).
    enum Alignment {
        AlignGeneral = 1,
        AlignCenterShort = 3,
        AlignLeft = -4131,
        AlignCenter = -4108,
        AlignRight = -4152,
        AlignJustify = -4130,
        AlignDistributed = -4117,
        AlignTop = -4160,
        AlignBottom = -4107,
        AlignFill = 5,
        AlignCenterAcross = 7,
    };
    enum ReadingOrder { ReadingContext = -5002, ReadingLeftToRight = -5003, ReadingRightToLeft = -5004 };
    // Error numbers returned by save().
    enum ErrorNumber { NoError = 0, FileAccessError = 75, CallError = 1004 };

    using Value = std::variant<std::monostate, double, QString>;
    using Row = std::vector<Value>;
    using Table = std::vector<Row>;

    // What a cell looks like. Defaults are the workbook's: Calibri 11, black, general
    // alignment, no borders, general number format.
    struct Format {
        enum class H : std::uint8_t { General, Left, Center, Right, Fill, Justify, CenterAcross, Distributed };
        enum class V : std::uint8_t { Bottom, Top, Center, Justify, Distributed };
        enum Side { Left, Top, Right, Bottom };

        QString fontName;              // "" = workbook default
        double fontSize = 0;           // 0 = workbook default
        std::int32_t fontColor = -1;   // 0x00BBGGRR, -1 = automatic
        bool bold = false;
        bool italic = false;
        H horizontal = H::General;
        V vertical = V::Bottom;
        std::uint8_t readingOrder = 0;   // 0 context, 1 left to right, 2 right to left
        bool wrap = false;
        bool shrink = false;
        QString numberFormat;                   // "" = General
        std::int8_t border[4] = {0, 0, 0, 0};   // by Side: 0 none, else a BorderWeight 1..4

        bool operator==(const Format &) const = default;
    };

    struct PageSetup {
        enum class Orientation { Portrait = 1, Landscape = 2 };
        Orientation orientation = Orientation::Portrait;
        int paperSize = 9;   // the application's paper codes; 9 = A4
        int zoom = 100;      // per cent, 10..400
        // Margins in inches.
        double leftMargin = 0.7, rightMargin = 0.7, topMargin = 0.75, bottomMargin = 0.75;
        double headerMargin = 0.3, footerMargin = 0.3;
        bool printGridlines = false;
        bool printHeadings = false;
        bool centerHorizontally = false;
        bool centerVertically = false;
        bool overThenDown = false;   // page order; false = down, then over
        // Headers, footers, print titles and print area are always empty.

        // The page the trend and report workbooks print on: A4 portrait at 100 %, narrow
        // margins, the rest as above.
        static PageSetup archivePage()
        {
            PageSetup p;
            p.leftMargin = p.rightMargin = 0.293700787401575;
            p.topMargin = 0.684251968503937;
            p.bottomMargin = 0.584251968503937;
            p.headerMargin = p.footerMargin = 0.511811023622047;
            return p;
        }
    };

    struct SaveResult {
        bool ok = false;
        int errorNumber = NoError;
        QString description;
        // "Error nr 75: ..." as the report export shows it.
        QString message() const;
    };

    Spreadsheet();

    void merge(const Range &range);
    // All four sides of every cell in the range (the application's Borders.Weight).
    void setBorderWeight(const Range &range, int weight);
    void setFontName(const Range &range, const QString &name);
    // "обычный"/"Regular", "полужирный"/"Bold", "курсив"/"Italic", "полужирный курсив"
    // (also the Ukrainian names): sets bold and italic together.
    void setFontStyle(const Range &range, const QString &style);
    void setFontSize(const Range &range, double points);
    void setFontColor(const Range &range, std::int32_t bgr);
    void setBold(const Range &range, bool bold);
    void setHorizontalAlignment(const Range &range, int code);
    void setVerticalAlignment(const Range &range, int code);
    void setReadingOrder(const Range &range, int code);
    void setWrapText(const Range &range, bool wrap);
    void setShrinkToFit(const Range &range, bool shrink);
    // Height in points of every row the range touches.
    void setRowHeight(const Range &range, double points);
    // Width in characters of the default font of every column the range touches.
    void setColumnWidth(const Range &range, double characters);
    void setNumberFormat(const Range &range, const QString &format);
    // One value into every cell of the range.
    void setValue(const Range &range, const Value &value);
    // A table from the range's top-left cell: a larger table is cut to the range, cells of
    // the range beyond a smaller table are left as they are.
    void setValues(const Range &range, const Table &table);
    PageSetup &pageSetup() { return page; }
    const PageSetup &pageSetup() const { return page; }

    SaveResult save(const QString &path) const;

    // What the sheet holds, for callers' checks.
    Value value(int row, int column) const;
    Format format(int row, int column) const;
    std::optional<double> rowHeight(int row) const;
    std::optional<double> columnWidth(int column) const;

private:
    struct Cell {
        Value value;
        int format = 0;   // index into formats
    };
    struct Line {                     // a formatted row or column
        std::optional<double> size;   // height in points or width in characters
        int format = 0;
    };
    template <class Change>
    void apply(const Range &range, const char *what, Change change);
    int internFormat(const Format &f);
    Cell &cellAt(int row, int column);
    bool check(const Range &range, const char *what);
    void fail(const QString &description);

    std::vector<Format> formats;                                     // formats[0] is the default
    std::unordered_map<std::size_t, std::vector<int>> formatIndex;   // by hash
    std::map<std::pair<int, int>, Cell> cells;                       // by (row, column)
    std::map<int, Line> rows;
    std::map<int, Line> columns;
    std::vector<Range> merged;
    PageSetup page;
    SaveResult firstError{true, NoError, {}};
};
