#include "app/Spreadsheet.h"

#include "app/Colors.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryFile>
#include <QXmlStreamReader>
#include <cmath>
#include <cstring>
#include <xlsxwriter.h>
#include <zlib.h>

#include "text/SafeWrite.h"

namespace {

// Column letters ("A".."XFD") to a 0-based column, -1 if not a column.
int parseColumn(QStringView letters)
{
    if (letters.isEmpty() || letters.size() > 3)
        return -1;
    int n = 0;
    for (QChar ch : letters) {
        const char16_t c = ch.toUpper().unicode();
        if (c < u'A' || c > u'Z')
            return -1;
        n = n * 26 + (c - u'A' + 1);
    }
    return n <= Spreadsheet::Range::MaxColumns ? n - 1 : -1;
}

// Row digits ("1".."1048576") to a 0-based row, -1 if not a row.
int parseRow(QStringView digits)
{
    if (digits.isEmpty() || digits.size() > 7)
        return -1;
    int n = 0;
    for (QChar ch : digits) {
        if (ch < u'0' || ch > u'9')
            return -1;
        n = n * 10 + (ch.unicode() - u'0');
    }
    return n >= 1 && n <= Spreadsheet::Range::MaxRows ? n - 1 : -1;
}

// One side of an A1 range: a cell, a column or a row.
struct RangePart {
    enum Kind { Bad, Cell, Column, Row } kind = Bad;
    int row = -1, column = -1;
};

RangePart parsePart(QStringView s)
{
    QString t;
    for (QChar ch : s)
        if (ch != u'$')
            t.append(ch);
    qsizetype split = 0;
    while (split < t.size() && t[split].isLetter())
        ++split;
    const QStringView letters = QStringView(t).left(split);
    const QStringView digits = QStringView(t).mid(split);
    RangePart p;
    if (!letters.isEmpty() && !digits.isEmpty()) {
        p.column = parseColumn(letters);
        p.row = parseRow(digits);
        p.kind = p.column >= 0 && p.row >= 0 ? RangePart::Cell : RangePart::Bad;
    } else if (!letters.isEmpty()) {
        p.column = parseColumn(letters);
        p.kind = p.column >= 0 ? RangePart::Column : RangePart::Bad;
    } else if (!digits.isEmpty()) {
        p.row = parseRow(digits);
        p.kind = p.row >= 0 ? RangePart::Row : RangePart::Bad;
    }
    return p;
}

QString columnName(int column)
{
    QString s;
    for (int n = column + 1; n > 0; n = (n - 1) / 26)
        s.prepend(QChar(u'A' + (n - 1) % 26));
    return s;
}

lxw_color_t lxwColor(std::int32_t bgr)
{
    std::uint32_t rgb;
    if (bgr < 0) {
        rgb = colorFromBgr(bgr).rgb() & 0xFFFFFFu;
    } else {
        const auto v = static_cast<std::uint32_t>(bgr);
        rgb = ((v & 0xFFu) << 16) | (v & 0xFF00u) | ((v >> 16) & 0xFFu);
    }
    return rgb == 0 ? static_cast<lxw_color_t>(LXW_COLOR_BLACK) : rgb;   // 0 means "no colour" to the library
}

std::size_t hashFormat(const Spreadsheet::Format &f)
{
    std::size_t h = qHash(f.fontName);
    const auto mix = [&h](std::size_t v) { h ^= v + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2); };
    mix(qHash(f.fontSize));
    mix(static_cast<std::size_t>(f.fontColor));
    mix(static_cast<std::size_t>(f.bold) | static_cast<std::size_t>(f.italic) << 1
        | static_cast<std::size_t>(f.wrap) << 2 | static_cast<std::size_t>(f.shrink) << 3);
    mix(static_cast<std::size_t>(f.horizontal) << 8 | static_cast<std::size_t>(f.vertical) << 4 | f.readingOrder);
    mix(qHash(f.numberFormat));
    for (auto b : f.border)
        mix(static_cast<std::size_t>(b));
    return h;
}

std::uint8_t lxwBorder(std::int8_t weight)
{
    switch (weight) {
    case Spreadsheet::Hairline: return LXW_BORDER_HAIR;
    case Spreadsheet::Thin: return LXW_BORDER_THIN;
    case Spreadsheet::Medium: return LXW_BORDER_MEDIUM;
    case Spreadsheet::Thick: return LXW_BORDER_THICK;
    default: return LXW_BORDER_NONE;
    }
}

void describe(lxw_format *x, const Spreadsheet::Format &f)
{
    using F = Spreadsheet::Format;
    if (!f.fontName.isEmpty())
        format_set_font_name(x, f.fontName.toUtf8().constData());
    if (f.fontSize > 0)
        format_set_font_size(x, f.fontSize);
    if (f.fontColor != -1)
        format_set_font_color(x, lxwColor(f.fontColor));
    if (f.bold)
        format_set_bold(x);
    if (f.italic)
        format_set_italic(x);
    static constexpr std::uint8_t horizontal[] = {LXW_ALIGN_NONE,          LXW_ALIGN_LEFT,       LXW_ALIGN_CENTER,
                                                  LXW_ALIGN_RIGHT,         LXW_ALIGN_FILL,       LXW_ALIGN_JUSTIFY,
                                                  LXW_ALIGN_CENTER_ACROSS, LXW_ALIGN_DISTRIBUTED};
    if (f.horizontal != F::H::General)
        format_set_align(x, horizontal[static_cast<int>(f.horizontal)]);
    static constexpr std::uint8_t vertical[] = {LXW_ALIGN_VERTICAL_BOTTOM, LXW_ALIGN_VERTICAL_TOP,
                                                LXW_ALIGN_VERTICAL_CENTER, LXW_ALIGN_VERTICAL_JUSTIFY,
                                                LXW_ALIGN_VERTICAL_DISTRIBUTED};
    if (f.vertical != F::V::Bottom)
        format_set_align(x, vertical[static_cast<int>(f.vertical)]);
    if (f.readingOrder != 0)
        format_set_reading_order(x, f.readingOrder);
    if (f.wrap)
        format_set_text_wrap(x);
    if (f.shrink)
        format_set_shrink(x);
    if (!f.numberFormat.isEmpty())
        format_set_num_format(x, f.numberFormat.toUtf8().constData());
    format_set_left(x, lxwBorder(f.border[F::Left]));
    format_set_top(x, lxwBorder(f.border[F::Top]));
    format_set_right(x, lxwBorder(f.border[F::Right]));
    format_set_bottom(x, lxwBorder(f.border[F::Bottom]));
}

}   // namespace

// ---------------------------------------------------------------------------------------- Range

Spreadsheet::Range::Range(const char *a1) : Range(QString::fromUtf8(a1)) {}

Spreadsheet::Range::Range(const QString &a1) : text(a1)
{
    const QString s = a1.trimmed();
    const qsizetype colon = s.indexOf(u':');
    const RangePart p1 = parsePart(colon < 0 ? QStringView(s) : QStringView(s).left(colon));
    const RangePart p2 = colon < 0 ? p1 : parsePart(QStringView(s).mid(colon + 1));
    if (p1.kind == RangePart::Bad || p1.kind != p2.kind || (colon < 0 && p1.kind != RangePart::Cell))
        return;
    switch (p1.kind) {
    case RangePart::Cell: *this = Range(p1.row, p1.column, p2.row, p2.column); break;
    case RangePart::Column: *this = Range(0, p1.column, MaxRows - 1, p2.column); break;
    case RangePart::Row: *this = Range(p1.row, 0, p2.row, MaxColumns - 1); break;
    case RangePart::Bad: return;
    }
    text = a1;
}

Spreadsheet::Range::Range(int r1, int c1, int r2, int c2)
    : firstRow(std::min(r1, r2)), firstColumn(std::min(c1, c2)), lastRow(std::max(r1, r2)), lastColumn(std::max(c1, c2))
{
    valid = firstRow >= 0 && firstColumn >= 0 && lastRow < MaxRows && lastColumn < MaxColumns;
    text = valid ? toA1() : QStringLiteral("R%1C%2:R%3C%4").arg(r1 + 1).arg(c1 + 1).arg(r2 + 1).arg(c2 + 1);
}

Spreadsheet::Range Spreadsheet::Range::resized(int rows, int columns) const
{
    if (!valid || rows < 1 || columns < 1 || rows > MaxRows || columns > MaxColumns) {
        Range bad;
        bad.text = QStringLiteral("%1.Resize(%2, %3)").arg(text).arg(rows).arg(columns);
        return bad;
    }
    Range r(firstRow, firstColumn, firstRow + rows - 1, firstColumn + columns - 1);
    if (!r.valid)
        r.text = QStringLiteral("%1.Resize(%2, %3)").arg(text).arg(rows).arg(columns);
    return r;
}

QString Spreadsheet::Range::toA1() const
{
    if (!valid)
        return {};
    if (isWholeColumns())
        return columnName(firstColumn) + u':' + columnName(lastColumn);
    if (isWholeRows())
        return QString::number(firstRow + 1) + u':' + QString::number(lastRow + 1);
    const QString first = columnName(firstColumn) + QString::number(firstRow + 1);
    if (rowCount() == 1 && columnCount() == 1)
        return first;
    return first + u':' + columnName(lastColumn) + QString::number(lastRow + 1);
}

// ---------------------------------------------------------------------------------------- Sheet

QString Spreadsheet::SaveResult::message() const
{
    return QStringLiteral("Error nr ") + QString::number(errorNumber) + QStringLiteral(": ") + description;
}

Spreadsheet::Spreadsheet()
{
    formats.push_back(Format{});
    formatIndex[hashFormat(formats[0])].push_back(0);
}

void Spreadsheet::fail(const QString &description)
{
    if (firstError.ok)
        firstError = SaveResult{false, CallError, description};
}

bool Spreadsheet::check(const Range &range, const char *what)
{
    if (range.isValid())
        return true;
    fail(QStringLiteral("%1: невірний діапазон \"%2\"").arg(QLatin1String(what), range.text));
    return false;
}

int Spreadsheet::internFormat(const Format &f)
{
    auto &bucket = formatIndex[hashFormat(f)];
    for (int i : bucket)
        if (formats[static_cast<std::size_t>(i)] == f)
            return i;
    formats.push_back(f);
    bucket.push_back(static_cast<int>(formats.size() - 1));
    return bucket.back();
}

Spreadsheet::Cell &Spreadsheet::cellAt(int row, int column)
{
    auto [it, made] = cells.try_emplace({row, column});
    if (made) {
        if (auto r = rows.find(row); r != rows.end() && r->second.format != 0)
            it->second.format = r->second.format;
        else if (auto c = columns.find(column); c != columns.end())
            it->second.format = c->second.format;
    }
    return it->second;
}

template <class Change>
void Spreadsheet::apply(const Range &range, const char *what, Change change)
{
    if (!check(range, what))
        return;
    // Old format index -> new one, so each distinct format is changed and interned once.
    std::unordered_map<int, int> done;
    const auto changed = [&](int old) {
        auto [it, made] = done.try_emplace(old, 0);
        if (made) {
            Format f = formats[static_cast<std::size_t>(old)];
            change(f);
            it->second = internFormat(f);
        }
        return it->second;
    };
    if (range.isWholeColumns() || range.isWholeRows()) {
        const bool byColumn = range.isWholeColumns();
        for (int i = byColumn ? range.firstColumn : range.firstRow; i <= (byColumn ? range.lastColumn : range.lastRow);
             ++i) {
            Line &line = (byColumn ? columns : rows)[i];
            line.format = changed(line.format);
        }
        for (auto &[key, cell] : cells)
            if (key.first >= range.firstRow && key.first <= range.lastRow && key.second >= range.firstColumn
                && key.second <= range.lastColumn)
                cell.format = changed(cell.format);
        return;
    }
    for (int r = range.firstRow; r <= range.lastRow; ++r)
        for (int c = range.firstColumn; c <= range.lastColumn; ++c) {
            Cell &cell = cellAt(r, c);
            cell.format = changed(cell.format);
        }
}

void Spreadsheet::merge(const Range &range)
{
    if (!check(range, "merge"))
        return;
    if (range.isWholeColumns() || range.isWholeRows()) {
        fail(QStringLiteral("merge: діапазон \"%1\" завеликий").arg(range.text));
        return;
    }
    if (range.rowCount() == 1 && range.columnCount() == 1)
        return;
    for (const Range &m : merged)
        if (m.firstRow <= range.lastRow && range.firstRow <= m.lastRow && m.firstColumn <= range.lastColumn
            && range.firstColumn <= m.lastColumn) {
            if (m.firstRow == range.firstRow && m.lastRow == range.lastRow && m.firstColumn == range.firstColumn
                && m.lastColumn == range.lastColumn)
                return;
            fail(QStringLiteral("merge: \"%1\" перетинає об'єднані клітинки %2").arg(range.text, m.toA1()));
            return;
        }
    merged.push_back(range);
    // Merging keeps the top-left value only.
    for (int r = range.firstRow; r <= range.lastRow; ++r)
        for (int c = range.firstColumn; c <= range.lastColumn; ++c)
            if ((r != range.firstRow || c != range.firstColumn) && cells.count({r, c}))
                cells[{r, c}].value = std::monostate{};
}

void Spreadsheet::setBorderWeight(const Range &range, int weight)
{
    int w = weight == MediumCode ? Medium : weight;
    if (w < Hairline || w > Thick) {
        fail(QStringLiteral("setBorderWeight: невідома товщина %1").arg(weight));
        return;
    }
    apply(range, "setBorderWeight", [w](Format &f) {
        for (auto &b : f.border)
            b = static_cast<std::int8_t>(w);
    });
}

void Spreadsheet::setFontName(const Range &range, const QString &name)
{
    if (name.trimmed().isEmpty()) {
        fail(QStringLiteral("setFontName: порожня назва шрифту"));
        return;
    }
    apply(range, "setFontName", [&name](Format &f) { f.fontName = name; });
}

void Spreadsheet::setFontStyle(const Range &range, const QString &style)
{
    const QString s = style.trimmed().toLower();
    bool bold = false, italic = false;
    if (s == u"обычный" || s == u"звичайний" || s == u"regular" || s == u"normal") {
    } else if (s == u"полужирный" || s == u"напівжирний" || s == u"жирний" || s == u"bold") {
        bold = true;
    } else if (s == u"курсив" || s == u"italic") {
        italic = true;
    } else if (s == u"полужирный курсив" || s == u"напівжирний курсив" || s == u"жирний курсив"
               || s == u"bold italic") {
        bold = italic = true;
    } else {
        fail(QStringLiteral("setFontStyle: невідомий стиль \"%1\"").arg(style));
        return;
    }
    apply(range, "setFontStyle", [bold, italic](Format &f) {
        f.bold = bold;
        f.italic = italic;
    });
}

void Spreadsheet::setFontSize(const Range &range, double points)
{
    if (!(points >= 1 && points <= 409)) {
        fail(QStringLiteral("setFontSize: невірний розмір %1").arg(points));
        return;
    }
    apply(range, "setFontSize", [points](Format &f) { f.fontSize = points; });
}

void Spreadsheet::setFontColor(const Range &range, std::int32_t bgr)
{
    apply(range, "setFontColor", [bgr](Format &f) { f.fontColor = bgr; });
}

void Spreadsheet::setBold(const Range &range, bool bold)
{
    apply(range, "setBold", [bold](Format &f) { f.bold = bold; });
}

void Spreadsheet::setHorizontalAlignment(const Range &range, int code)
{
    using H = Format::H;
    H h;
    switch (code) {
    case AlignGeneral: h = H::General; break;
    case 2:
    case AlignLeft: h = H::Left; break;
    case AlignCenterShort:
    case AlignCenter: h = H::Center; break;
    case 4:
    case AlignRight: h = H::Right; break;
    case AlignFill: h = H::Fill; break;
    case 6:
    case AlignJustify: h = H::Justify; break;
    case AlignCenterAcross: h = H::CenterAcross; break;
    case AlignDistributed: h = H::Distributed; break;
    default: fail(QStringLiteral("setHorizontalAlignment: невідомий код %1").arg(code)); return;
    }
    apply(range, "setHorizontalAlignment", [h](Format &f) { f.horizontal = h; });
}

void Spreadsheet::setVerticalAlignment(const Range &range, int code)
{
    using V = Format::V;
    V v;
    switch (code) {
    case AlignBottom: v = V::Bottom; break;
    case AlignTop: v = V::Top; break;
    case AlignCenter: v = V::Center; break;
    case AlignJustify: v = V::Justify; break;
    case AlignDistributed: v = V::Distributed; break;
    default: fail(QStringLiteral("setVerticalAlignment: невідомий код %1").arg(code)); return;
    }
    apply(range, "setVerticalAlignment", [v](Format &f) { f.vertical = v; });
}

void Spreadsheet::setReadingOrder(const Range &range, int code)
{
    std::uint8_t order;
    switch (code) {
    case ReadingContext: order = 0; break;
    case ReadingLeftToRight: order = 1; break;
    case ReadingRightToLeft: order = 2; break;
    default: fail(QStringLiteral("setReadingOrder: невідомий код %1").arg(code)); return;
    }
    apply(range, "setReadingOrder", [order](Format &f) { f.readingOrder = order; });
}

void Spreadsheet::setWrapText(const Range &range, bool wrap)
{
    apply(range, "setWrapText", [wrap](Format &f) { f.wrap = wrap; });
}

void Spreadsheet::setShrinkToFit(const Range &range, bool shrink)
{
    apply(range, "setShrinkToFit", [shrink](Format &f) { f.shrink = shrink; });
}

void Spreadsheet::setRowHeight(const Range &range, double points)
{
    if (!check(range, "setRowHeight"))
        return;
    if (!(points >= 0 && points <= 409)) {
        fail(QStringLiteral("setRowHeight: невірна висота %1").arg(points));
        return;
    }
    if (range.isWholeColumns()) {
        fail(QStringLiteral("setRowHeight: діапазон \"%1\" завеликий").arg(range.text));
        return;
    }
    for (int r = range.firstRow; r <= range.lastRow; ++r)
        rows[r].size = points;
}

void Spreadsheet::setColumnWidth(const Range &range, double characters)
{
    if (!check(range, "setColumnWidth"))
        return;
    if (!(characters >= 0 && characters <= 255)) {
        fail(QStringLiteral("setColumnWidth: невірна ширина %1").arg(characters));
        return;
    }
    if (range.isWholeRows()) {
        fail(QStringLiteral("setColumnWidth: діапазон \"%1\" завеликий").arg(range.text));
        return;
    }
    for (int c = range.firstColumn; c <= range.lastColumn; ++c)
        columns[c].size = characters;
}

void Spreadsheet::setNumberFormat(const Range &range, const QString &format)
{
    apply(range, "setNumberFormat", [&format](Format &f) {
        f.numberFormat = format.compare(u"General", Qt::CaseInsensitive) == 0 ? QString() : format;
    });
}

void Spreadsheet::setValue(const Range &range, const Value &value)
{
    if (!check(range, "setValue"))
        return;
    if (range.isWholeColumns() || range.isWholeRows()) {
        fail(QStringLiteral("setValue: діапазон \"%1\" завеликий").arg(range.text));
        return;
    }
    for (int r = range.firstRow; r <= range.lastRow; ++r)
        for (int c = range.firstColumn; c <= range.lastColumn; ++c)
            cellAt(r, c).value = value;
}

void Spreadsheet::setValues(const Range &range, const Table &table)
{
    if (!check(range, "setValues"))
        return;
    if (range.isWholeColumns() || range.isWholeRows()) {
        fail(QStringLiteral("setValues: діапазон \"%1\" завеликий").arg(range.text));
        return;
    }
    const int rowCount = std::min<int>(range.rowCount(), static_cast<int>(table.size()));
    for (int i = 0; i < rowCount; ++i) {
        const Row &row = table[static_cast<std::size_t>(i)];
        const int columnCount = std::min<int>(range.columnCount(), static_cast<int>(row.size()));
        for (int j = 0; j < columnCount; ++j)
            cellAt(range.firstRow + i, range.firstColumn + j).value = row[static_cast<std::size_t>(j)];
    }
}

Spreadsheet::Value Spreadsheet::value(int row, int column) const
{
    const auto it = cells.find({row, column});
    return it == cells.end() ? Value{} : it->second.value;
}

Spreadsheet::Format Spreadsheet::format(int row, int column) const
{
    if (const auto it = cells.find({row, column}); it != cells.end())
        return formats[static_cast<std::size_t>(it->second.format)];
    if (const auto r = rows.find(row); r != rows.end() && r->second.format != 0)
        return formats[static_cast<std::size_t>(r->second.format)];
    if (const auto c = columns.find(column); c != columns.end())
        return formats[static_cast<std::size_t>(c->second.format)];
    return formats[0];
}

std::optional<double> Spreadsheet::rowHeight(int row) const
{
    const auto it = rows.find(row);
    return it == rows.end() ? std::nullopt : it->second.size;
}

std::optional<double> Spreadsheet::columnWidth(int column) const
{
    const auto it = columns.find(column);
    return it == columns.end() ? std::nullopt : it->second.size;
}

// ----------------------------------------------------------------------------------------- Save

namespace {

// Writes the workbook to `file`; returns the first library error.
class WorkbookWriter {
public:
    WorkbookWriter(const QByteArray &file, QByteArray tmpdir) : tmpdir_(std::move(tmpdir))
    {
        lxw_workbook_options options{};
        options.tmpdir = tmpdir_.data();
        workbook = workbook_new_opt(file.constData(), &options);
        if (workbook)
            sheet = workbook_add_worksheet(workbook, nullptr);
        if (!sheet)
            error = LXW_ERROR_MEMORY_MALLOC_FAILED;
    }
    ~WorkbookWriter()
    {
        if (workbook)
            workbook_close(workbook);
    }
    lxw_error close()
    {
        const lxw_error e = workbook ? workbook_close(workbook) : LXW_NO_ERROR;
        workbook = nullptr;
        if (error == LXW_NO_ERROR)
            error = e;
        return error;
    }
    void note(lxw_error e)
    {
        if (error == LXW_NO_ERROR && e != LXW_NO_ERROR)
            error = e;
    }

    QByteArray tmpdir_;   // the library keeps the pointer until close
    lxw_workbook *workbook = nullptr;
    lxw_worksheet *sheet = nullptr;
    lxw_error error = LXW_NO_ERROR;
};

std::uint32_t le(const QByteArray &b, qsizetype at, int size)
{
    std::uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = v << 8 | static_cast<std::uint8_t>(b[at + i]);
    return v;
}

// The library writes each part of the package into a temporary file without checking those
// writes, so a part cut short there is packed as it is, under a checksum of what was left. A
// workbook is handed on only when every part unpacks to its recorded size and checksum and
// every XML part is well-formed to its end. Empty when whole, else what is wrong.
QString packageFault(const QByteArray &zip)
{
    constexpr qsizetype EndSize = 22;
    qsizetype end = -1;
    for (qsizetype at = zip.size() - EndSize; at >= 0 && at >= zip.size() - EndSize - 65535; --at)
        if (le(zip, at, 4) == 0x06054b50) {
            end = at;
            break;
        }
    if (end < 0)
        return QStringLiteral("немає каталогу архіву");
    const std::uint32_t entries = le(zip, end + 10, 2);
    qsizetype at = le(zip, end + 16, 4);
    if (entries == 0)
        return QStringLiteral("архів порожній");
    for (std::uint32_t e = 0; e < entries; ++e) {
        if (at < 0 || at + 46 > end || le(zip, at, 4) != 0x02014b50)
            return QStringLiteral("пошкоджений каталог архіву");
        const std::uint32_t method = le(zip, at + 10, 2);
        const std::uint32_t crc = le(zip, at + 16, 4);
        const std::uint32_t packed = le(zip, at + 20, 4);
        const std::uint32_t size = le(zip, at + 24, 4);
        const qsizetype nameLength = le(zip, at + 28, 2);
        const qsizetype skip = qsizetype(le(zip, at + 30, 2)) + le(zip, at + 32, 2);
        const qsizetype local = le(zip, at + 42, 4);
        if (at + 46 + nameLength > end)
            return QStringLiteral("пошкоджений каталог архіву");
        const QString name = QString::fromUtf8(zip.constData() + at + 46, nameLength);
        at += 46 + nameLength + skip;

        if (local + 30 > zip.size() || le(zip, local, 4) != 0x04034b50)
            return QStringLiteral("частина %1 не знайдена").arg(name);
        const qsizetype data = local + 30 + le(zip, local + 26, 2) + le(zip, local + 28, 2);
        if (data + qsizetype(packed) > zip.size())
            return QStringLiteral("частина %1 обрізана").arg(name);
        if (size > (1u << 30))
            return QStringLiteral("частина %1 завелика").arg(name);
        // One byte to spare: a part that unpacks to more than its recorded size shows.
        QByteArray part(qsizetype(size) + 1, Qt::Uninitialized);
        if (method == 0) {
            if (packed != size)
                return QStringLiteral("частина %1 обрізана").arg(name);
            std::memcpy(part.data(), zip.constData() + data, size);
        } else if (method == 8) {
            z_stream z{};
            if (inflateInit2(&z, -MAX_WBITS) != Z_OK)
                return QStringLiteral("не вдалося розпакувати %1").arg(name);
            z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(zip.constData() + data));
            z.avail_in = packed;
            z.next_out = reinterpret_cast<Bytef *>(part.data());
            z.avail_out = size + 1;
            const int r = inflate(&z, Z_FINISH);
            const uLong out = z.total_out;
            inflateEnd(&z);
            if (r != Z_STREAM_END || out != size)
                return QStringLiteral("частина %1 обрізана").arg(name);
        } else {
            return QStringLiteral("частина %1 у невідомому стисненні").arg(name);
        }
        part.truncate(qsizetype(size));
        if (crc32(0L, reinterpret_cast<const Bytef *>(part.constData()), size) != crc)
            return QStringLiteral("частина %1 пошкоджена").arg(name);
        if (name.endsWith(u".xml") || name.endsWith(u".rels")) {
            QXmlStreamReader xml(part);
            while (!xml.atEnd())
                xml.readNext();
            if (xml.hasError())
                return QStringLiteral("частина %1 записана не повністю").arg(name);
        }
    }
    return {};
}

}   // namespace

Spreadsheet::SaveResult Spreadsheet::save(const QString &path) const
{
    if (!firstError.ok)
        return firstError;

    // The library builds the package and its own temporary files in the target's folder, on the
    // target's file system; the package is checked whole and only then replaces the target.
    const QFileInfo target(path);
    const QString folder = target.absolutePath();
    const auto fileError = [&path](const QString &why) {
        return SaveResult{false, FileAccessError, QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), why)};
    };
    if (target.isDir())
        return fileError(QStringLiteral("це папка"));
    QTemporaryFile staging(folder + QStringLiteral("/.tablo-sheet-XXXXXX.xlsx"));
    if (!staging.open())
        return fileError(QStringLiteral("не вдалося створити тимчасовий файл: ") + staging.errorString());
    staging.close();

    {
        WorkbookWriter w(QFile::encodeName(staging.fileName()), QFile::encodeName(folder));
        if (w.error != LXW_NO_ERROR)
            return {false, CallError, QString::fromUtf8(lxw_strerror(w.error))};
        lxw_worksheet *ws = w.sheet;

        std::vector<lxw_format *> made(formats.size(), nullptr);
        const auto fmt = [&](int i) -> lxw_format * {
            if (i == 0)
                return nullptr;
            auto &x = made[static_cast<std::size_t>(i)];
            if (!x) {
                x = workbook_add_format(w.workbook);
                if (x)
                    describe(x, formats[static_cast<std::size_t>(i)]);
                else
                    w.note(LXW_ERROR_MEMORY_MALLOC_FAILED);
            }
            return x;
        };

        for (const auto &[c, line] : columns)
            w.note(worksheet_set_column(ws, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                                        line.size.value_or(LXW_DEF_COL_WIDTH), fmt(line.format)));
        for (const auto &[r, line] : rows)
            w.note(worksheet_set_row(ws, static_cast<lxw_row_t>(r), line.size.value_or(LXW_DEF_ROW_HEIGHT),
                                     fmt(line.format)));
        for (const Range &m : merged) {
            const auto it = cells.find({m.firstRow, m.firstColumn});
            w.note(worksheet_merge_range(ws, static_cast<lxw_row_t>(m.firstRow), static_cast<lxw_col_t>(m.firstColumn),
                                         static_cast<lxw_row_t>(m.lastRow), static_cast<lxw_col_t>(m.lastColumn), "",
                                         fmt(it == cells.end() ? 0 : it->second.format)));
        }
        for (const auto &[key, cell] : cells) {
            const auto row = static_cast<lxw_row_t>(key.first);
            const auto col = static_cast<lxw_col_t>(key.second);
            lxw_format *f = fmt(cell.format);
            if (const double *d = std::get_if<double>(&cell.value); d && std::isfinite(*d)) {
                w.note(worksheet_write_number(ws, row, col, *d, f));
            } else if (const QString *s = std::get_if<QString>(&cell.value); s && !s->isEmpty()) {
                w.note(worksheet_write_string(ws, row, col, s->toUtf8().constData(), f));
            } else if (f) {
                // Empty, or a number the format cannot hold (not finite): a formatted blank.
                w.note(worksheet_write_blank(ws, row, col, f));
            }
        }

        const PageSetup &p = page;
        if (p.orientation == PageSetup::Orientation::Landscape)
            worksheet_set_landscape(ws);
        else
            worksheet_set_portrait(ws);
        worksheet_set_paper(ws, static_cast<std::uint8_t>(std::clamp(p.paperSize, 0, 255)));
        worksheet_set_print_scale(ws, static_cast<std::uint16_t>(std::clamp(p.zoom, 10, 400)));
        worksheet_set_margins(ws, p.leftMargin, p.rightMargin, p.topMargin, p.bottomMargin);
        lxw_header_footer_options header{};
        header.margin = p.headerMargin;
        worksheet_set_header_opt(ws, "", &header);
        lxw_header_footer_options footer{};
        footer.margin = p.footerMargin;
        worksheet_set_footer_opt(ws, "", &footer);
        worksheet_gridlines(ws, p.printGridlines ? LXW_SHOW_ALL_GRIDLINES : LXW_SHOW_SCREEN_GRIDLINES);
        if (p.printHeadings)
            worksheet_print_row_col_headers(ws);
        if (p.centerHorizontally)
            worksheet_center_horizontally(ws);
        if (p.centerVertically)
            worksheet_center_vertically(ws);
        if (p.overThenDown)
            worksheet_print_across(ws);

        // A cell the library refused is a bad call; a failure while closing is the file's.
        const bool refused = w.error != LXW_NO_ERROR;
        if (const lxw_error e = w.close(); e != LXW_NO_ERROR)
            return {false, refused ? CallError : FileAccessError, QString::fromUtf8(lxw_strerror(e))};
    }

    QFile built(staging.fileName());
    if (!built.open(QIODevice::ReadOnly))
        return fileError(built.errorString());
    const QByteArray bytes = built.readAll();
    if (built.error() != QFileDevice::NoError)
        return fileError(built.errorString());
    built.close();
    if (const QString fault = packageFault(bytes); !fault.isEmpty())
        return fileError(QStringLiteral("книгу записано не повністю (%1)").arg(fault));

    QString why;
    if (!text::writeFileAtomically(path, bytes, &why))
        return {false, FileAccessError, why};
    return {true, NoError, {}};
}
