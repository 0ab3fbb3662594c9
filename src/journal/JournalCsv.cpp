#include "journal/JournalCsv.h"
#include "journal/JournalPage.h"

#include "text/SafeWrite.h"

namespace journal {

namespace {

QString field(const QString &s)
{
    if (!s.contains(u',') && !s.contains(u'"') && !s.contains(u'\n') && !s.contains(u'\r'))
        return s;
    QString q = s;
    q.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + q + u'"';
}

}   // namespace

QByteArray csvText(ConstJournalStation station)
{
    QString out = QStringLiteral("Дата,Час,Подія,Назва\r\n");
    for (int r = 0; r < Records; ++r) {
        const Record rec = record(station.journal.Jurnal_Buf, r);
        for (int n : events(rec))
            out += dateText(rec) + u',' + timeText(rec) + u',' + QString::number(n) + u','
                + field(eventName(station, n)) + QStringLiteral("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + out.toUtf8();
}

bool saveCsv(const QString &path, ConstJournalStation station, QString *error)
{
    return text::writeFileAtomically(path, csvText(station), error);
}

}   // namespace journal
