#include "project/NetlistTokens.h"

#include "text/LineFile.h"

namespace {

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

bool isLineEnd(QChar c) { return c == u'\r' || c == u'\n'; }

// Reads one field at `pos` and moves past its delimiter.
QString nextField(const QString &s, qsizetype &pos)
{
    const qsizetype n = s.size();
    while (pos < n && isBlank(s[pos]))
        ++pos;
    QString field;
    if (pos < n && s[pos] == u'"') {
        const qsizetype close = s.indexOf(u'"', pos + 1);
        const qsizetype end = close < 0 ? n : close;
        field = s.mid(pos + 1, end - pos - 1);
        pos = close < 0 ? n : close + 1;
        while (pos < n && s[pos] != u',' && !isLineEnd(s[pos]))
            ++pos;
    } else {
        const qsizetype from = pos;
        while (pos < n && s[pos] != u',' && !isLineEnd(s[pos]))
            ++pos;
        qsizetype to = pos;
        while (to > from && isBlank(s[to - 1]))
            --to;
        field = s.mid(from, to - from);
    }
    if (pos < n) {
        if (s[pos] == u'\r' && pos + 1 < n && s[pos + 1] == u'\n')
            ++pos;
        ++pos;
    }
    return field;
}

}   // namespace

NetlistTokens NetlistTokens::parse(const QByteArray &windows1251, int limit)
{
    NetlistTokens out;
    const QString s = text::decode1251(windows1251);
    const qsizetype n = s.size();
    qsizetype pos = 0;
    bool started = false;
    while (pos < n) {
        QString field = nextField(s, pos);
        if (!started) {
            started = field.startsWith(u"(netlist ");
            continue;
        }
        if (pos >= n)
            break;   // end of file reached by this field: not stored
        if (static_cast<int>(out.tokens.size()) >= limit) {
            out.overflow = true;
            break;
        }
        out.tokens.push_back(std::move(field));
    }
    return out;
}
