// Renders the journal window and the alarm window into PNG files and prints the page to a
// PDF (not a test): journal_screens <folder>
#include "JournalFixtures.h"
#include "station/Station.h"
#include "journal/JURNAL_sheet.h"
#include "journal/JournalExport.h"
#include "journal/JournalPage.h"
#include "journal/Jurnal_ALARM_ON.h"
#include "link/Link.h"
#include "link/ScriptedTransport.h"

#include <QApplication>
#include <QDir>
#include <QPdfWriter>

namespace {

struct Silent : journal::SoundSink {
    void play() override {}
};

}   // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    Station st;
    const char *names[] = {
        "Аварія димососа",    "Аварія вентилятора",       "Низький рівень води в котлі",      "Високий тиск пари",
        "Загасання факела",   "Аварія живильного насоса", "Висока температура димових газів", "Низький тиск газу",
        "Немає живлення щита"};
    st.project.Event_Base = 100;
    for (int n = 0; n < 32; ++n)
        st.project.blockTexts[static_cast<std::size_t>(100 + n)] =
            n < 9 ? QString::fromUtf8(names[n]) : QStringLiteral("Подія %1").arg(n);
    // Page 5, written up to record 20: a record every few minutes with one to three events.
    QByteArray a = jtest::answer(5, 6, 320 * 5 + 10 * 21);
    for (int r = 0; r < 32; ++r) {
        const int minutes = r <= 20 ? 600 + 7 * r : 300 + 7 * r;   // older records of the last round
        const int p = 2 + 10 * r;
        const int day = r <= 20 ? 8 : 1;
        const int bytes[10] = {(r * 13) % 60,
                               minutes % 60,
                               minutes / 60,
                               day,
                               12,
                               26,
                               (1 << (r % 8)) | (r % 3 == 0 ? 0x10 : 0),
                               r % 5 == 0 ? 0x01 : 0,
                               0,
                               0};
        for (int i = 0; i < 10; ++i)
            a[p + i] = char(bytes[i]);
    }
    const std::uint16_t c = jtest::crc(a, 326);
    a[326] = char(c >> 8);
    a[327] = char(c & 0xFF);
    jtest::fill(st, a);
    journal::takePage(st, true);

    ScriptedTransport serial, tcp;
    Link link(st, serial, tcp);
    JURNAL_sheet w(st, link);
    w.JURNAL_SCREEN();
    w.resize(760, 720);
    w.show();
    app.processEvents();
    bool ok = w.grab().save(out.filePath(QStringLiteral("journal.png")));

    Jurnal_ALARM_ON alarm(st, std::make_unique<Silent>());
    ManualClock at(QDateTime(QDate(2026, 12, 8), QTime(10, 42, 7)).toMSecsSinceEpoch());
    alarm.clock = &at;
    alarm.alarmWord({0, 0, 0, 0x0B});
    at.setNow(QDateTime(QDate(2026, 12, 8), QTime(10, 43, 30)).toMSecsSinceEpoch());
    alarm.alarmWord({0, 0, 0x00, 0x4B});
    app.processEvents();
    ok = alarm.grab().save(out.filePath(QStringLiteral("alarm.png"))) && ok;

    QPdfWriter pdf(out.filePath(QStringLiteral("journal.pdf")));
    pdf.setPageMargins(QMarginsF(5, 5, 5, 5), QPageLayout::Millimeter);
    ok = journal::printJournal(pdf, st) && ok;
    return ok ? 0 : 1;
}
