// tablo-fetch's command-line checks on any arguments: the --com options of the common part,
// each subcommand's option check (run before the project is read), and the --find hour.
// Checked: --com takes ports 1..9 with a device and always moves on; a check gives the same
// answer twice; a --find hour that is accepted is in its ranges and reads back from its own
// text as the same hour.
//
// Input: arguments separated by NUL bytes.
#include "FuzzRig.h"

#include "app/CommandLine.h"
#include "fetch/Fetch.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QStringList args{QStringLiteral("tablo-fetch")};
    const QByteArray all(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const QByteArray &piece : all.split('\0'))
        args << QString::fromUtf8(piece);

    std::map<int, QString> devices;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const qsizetype before = i;
        QString value;
        const auto r = CommandLine::takeComOption(args, i, devices, value);
        FUZZ_CHECK(i >= before && i < args.size() + 1);
        if (r == CommandLine::ComOption::NotCom)
            FUZZ_CHECK(i == before);
    }
    for (const auto &[com, device] : devices) {
        FUZZ_CHECK(com >= CommandLine::FirstCom && com <= CommandLine::LastCom);
        FUZZ_CHECK(!device.isEmpty());
    }

    const QStringList rest = args.mid(1);
    for (const fetch::Subcommand *s : {&fetch::trendSubcommand(), &fetch::reportSubcommand(),
                                       &fetch::journalSubcommand(), &fetch::collectSubcommand()}) {
        FUZZ_CHECK(!s->name.isEmpty());
        if (s->check)
            FUZZ_CHECK(s->check(rest) == s->check(rest));
    }

    for (const QString &a : rest) {
        fetch::FindHour hour;
        if (!fetch::parseFindHour(a, 2000, 2099, hour).isEmpty())
            continue;
        FUZZ_CHECK(hour.hour >= 0 && hour.hour <= 23 && hour.day >= 1 && hour.day <= 31);
        FUZZ_CHECK(hour.month >= 1 && hour.month <= 12 && hour.year >= 0 && hour.year <= 99);
        fetch::FindHour again;
        const QString text = hour.text();
        FUZZ_CHECK(fetch::parseFindHour(text.left(text.size() - 2), 2000, 2099, again).isEmpty());
        FUZZ_CHECK(again.hour == hour.hour && again.day == hour.day && again.month == hour.month
                   && again.year == hour.year);
    }
    return 0;
}
