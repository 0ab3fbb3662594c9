#include "journal/JournalFile.h"
#include "text/LineFile.h"
#include "text/Numbers.h"

namespace journal {

namespace {

const QString title = QStringLiteral("********** Таблиця аварій **********");

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

}   // namespace

const std::array<int, StoredBytes> &Jurnal_Order()
{
    // 131 and 330 share no factor, so stepping by 131 visits every position once.
    static const std::array<int, StoredBytes> order = [] {
        std::array<int, StoredBytes> o{};
        for (int i = 0; i < StoredBytes; ++i)
            o[static_cast<std::size_t>(i)] = (7 + 131 * i) % StoredBytes;
        return o;
    }();
    return order;
}

bool saveJur(const QString &path, int page, const Buffer &buf, QString *error)
{
    text::LineWriter out;
    if (!out.open(path)) {
        setError(error, out.errorString());
        return false;
    }
    out.writeLine(text::formatNumber(static_cast<std::int64_t>(page) + 1));
    out.writeLine(title);
    for (int pos : Jurnal_Order())
        out.writeLine(text::formatNumber(static_cast<std::int64_t>(buf[static_cast<std::size_t>(pos)])));
    if (!out.commit()) {
        setError(error, out.errorString());
        return false;
    }
    return true;
}

std::optional<JurContent> loadJur(const QString &path, QString *error)
{
    text::LineReader in;
    if (!in.open(path)) {
        setError(error, in.errorString());
        return std::nullopt;
    }
    JurContent content;
    QString line;
    const auto bad = [&](const QString &why) {
        setError(error, QStringLiteral("рядок %1: %2").arg(in.lineNumber()).arg(why));
        return std::nullopt;
    };
    if (!in.readLine(line))
        return bad(QStringLiteral("файл порожній"));
    const std::optional<std::int16_t> page = text::toInt16(line);
    if (!page || *page < 1 || *page > Pages)
        return bad(QStringLiteral("немає номера сторінки 1..32"));
    content.page = *page - 1;
    if (!in.readLine(line))
        return bad(QStringLiteral("файл закінчився"));
    for (int pos : Jurnal_Order()) {
        if (!in.readLine(line))
            return bad(QStringLiteral("файл закінчився"));
        const std::optional<std::uint8_t> v = text::toByte(line);
        if (!v)
            return bad(QStringLiteral("не число 0..255"));
        content.buf[static_cast<std::size_t>(pos)] = *v;
    }
    return content;
}

}   // namespace journal
