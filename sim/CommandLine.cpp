#include "sim/CommandLine.h"

#include "sim/FaultInjector.h"
#include "sim/Scenario.h"

namespace sim {

namespace {
QCommandLineOption valued(const char *name, const char *description, const char *valueName)
{
    return QCommandLineOption(QString::fromLatin1(name), QString::fromUtf8(description),
                              QString::fromLatin1(valueName));
}
QCommandLineOption flag(const char *name, const char *description)
{
    return QCommandLineOption(QString::fromLatin1(name), QString::fromUtf8(description));
}
}   // namespace

SimCommandLine::SimCommandLine()
    : help_(cl_.addHelpOption()),
      version_(cl_.addVersionOption()),
      tcp_(valued("tcp", "Listen on HOST:PORT (or PORT on 127.0.0.1); port 0 picks a free one.", "HOST:PORT")),
      pty_(valued("pty", "Open a pseudo-terminal and make PATH a symlink to it.", "PATH")),
      address_(valued("address", "Controller address (default: the project's).", "N")),
      scenario_(valued("scenario", "Scenario file.", "FILE")),
      log_(valued("log", "Log every request and answer to FILE.", "FILE")),
      seed_(valued("seed", "Seed of the plant's signals (default 1).", "N")),
      trendPeriod_(valued("trend-period", "Trend sample period, e.g. 1s, 10s (default 1s).", "TIME")),
      reportPeriod_(valued("report-period", "Report period, e.g. 1h, 10m (default 1h).", "TIME")),
      noHistory_(flag("no-history", "Start with empty archives.")),
      noAlarms_(flag("no-alarms", "No automatic alarms (scenario and console alarms still work).")),
      alarmInterval_(valued("alarm-interval", "Mean time between automatic alarms (default 2m).", "TIME")),
      drop_(valued("drop", "Drop every Nth answer.", "N")),
      corrupt_(valued("corrupt", "Corrupt the CRC of every Nth answer.", "N")),
      truncate_(valued("truncate", "Cut K bytes (default 1) off every Nth answer.", "N[:K]")),
      lengthen_(valued("lengthen", "Add K bytes (default 1) to every Nth answer.", "N[:K]")),
      delay_(valued("delay", "Delay every Nth answer by MS milliseconds (default 1000).", "N[:MS]")),
      garbage_(valued("garbage", "Send K random bytes (default 8) before every Nth answer.", "N[:K]")),
      baud_(valued(
          "baud", "Send every answer at N baud, 10 bits a byte, as a serial line carries it (default: at once).", "N")),
      close_(valued("close-after", "Close the connection after N requests.", "N")),
      speed_(valued(
          "speed",
          "Run the plant's clock N times faster than real time, 1..1000 (default 1); the line keeps real time.", "N")),
      pageBuild_(valued("page-build-ms",
                        "Build trend and journal pages MS ms after they are asked; what is asked sooner comes from the "
                        "page built before.",
                        "MS"))
{
    cl_.setApplicationDescription(
        QStringLiteral("Plays a Ж7 controller for Tablo: answers the station's requests on TCP and/or a "
                       "pseudo-terminal, with a plant modelled from the project's blocks."));
    cl_.addPositionalArgument(
        QStringLiteral("project"),
        QStringLiteral("Project file (.prt); without it only the trend, journal and panel blocks exist."),
        QStringLiteral("[PROJECT.prt]"));
    for (const auto *o :
         {&tcp_,          &pty_,       &address_,  &scenario_,      &log_,       &seed_,    &trendPeriod_,
          &reportPeriod_, &noHistory_, &noAlarms_, &alarmInterval_, &drop_,      &corrupt_, &truncate_,
          &lengthen_,     &delay_,     &garbage_,  &close_,         &pageBuild_, &baud_,    &speed_})
        cl_.addOption(*o);
}

bool SimCommandLine::parse(const QStringList &arguments, QString *error)
{
    const auto failed = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (!cl_.parse(arguments))
        return failed(cl_.errorText() + QStringLiteral("\nTry 'tablo-sim --help'."));
    if (helpAsked() || versionAsked())
        return true;
    if (projects().size() > 1)
        return failed(QStringLiteral("one project at most"));
    QHostAddress host;
    quint16 port = 0;
    if (tcpAsked() && !splitHostPort(tcp(), host, port))
        return failed(QStringLiteral("--tcp takes HOST:PORT or PORT"));
    return true;
}

bool SimCommandLine::applyTo(SimulatorOptions &options, QString *error) const
{
    const auto failed = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    auto number = [&](const QCommandLineOption &o, int lo, int hi, int &out) {
        bool ok = false;
        const int v = cl_.value(o).toInt(&ok);
        if (!ok || v < lo || v > hi)
            return false;
        out = v;
        return true;
    };
    if (cl_.isSet(address_) && !number(address_, 0, 255, options.address))
        return failed(QStringLiteral("--address takes 0..255"));
    if (cl_.isSet(seed_)) {
        int seed = 0;
        if (!number(seed_, 0, 0x7FFFFFFF, seed))
            return failed(QStringLiteral("--seed takes a number"));
        options.controller.plant.seed = std::uint32_t(seed);
    }
    const struct {
        const QCommandLineOption *opt;
        qint64 *ms;
        qint64 leastMs;
        const char *error;
    } timeOpts[] = {
        {&trendPeriod_, &options.controller.trendPeriodMs, 100,
         "--trend-period takes a time of 100ms or more, e.g. 1s"},
        {&reportPeriod_, &options.controller.reportPeriodMs, 1000,
         "--report-period takes a time of 1s or more, e.g. 1h"},
        {&alarmInterval_, &options.controller.plant.alarmIntervalMs, 0, "--alarm-interval takes a time, e.g. 2m"}};
    for (const auto &t : timeOpts) {
        if (!cl_.isSet(*t.opt))
            continue;
        const qint64 ms = Scenario::parseDuration(cl_.value(*t.opt));   // -1 when malformed
        if (ms < t.leastMs)
            return failed(QString::fromLatin1(t.error));
        *t.ms = ms;
    }
    if (cl_.isSet(baud_) && !number(baud_, 50, 10000000, options.baud))
        return failed(QStringLiteral("--baud takes a line speed of 50..10000000, e.g. 115200"));
    if (cl_.isSet(speed_) && !number(speed_, 1, 1000, options.speed))
        return failed(QStringLiteral("--speed takes 1..1000, e.g. 100"));
    if (cl_.isSet(pageBuild_) && !number(pageBuild_, 0, 600000, options.faults.pageBuildMs))
        return failed(QStringLiteral("--page-build-ms takes 0..600000, e.g. 1500"));
    if (cl_.isSet(noHistory_))
        options.controller.trendHistory = options.controller.journalHistory = options.controller.reportHistory = false;
    if (cl_.isSet(noAlarms_))
        options.controller.plant.autoAlarms = false;

    FaultPlan &faults = options.faults;
    const struct {
        const QCommandLineOption *opt;
        int *every;
        int *amount;
    } faultOpts[] = {{&drop_, &faults.dropEvery, nullptr},
                     {&corrupt_, &faults.corruptEvery, nullptr},
                     {&truncate_, &faults.truncateEvery, &faults.truncateBytes},
                     {&lengthen_, &faults.lengthenEvery, &faults.lengthenBytes},
                     {&delay_, &faults.delayEvery, &faults.delayMs},
                     {&garbage_, &faults.garbageEvery, &faults.garbageBytes},
                     {&close_, &faults.closeAfter, nullptr}};
    for (const auto &f : faultOpts) {
        if (!cl_.isSet(*f.opt))
            continue;
        int every = 0, amount = f.amount ? *f.amount : 0;
        if (!parseEvery(cl_.value(*f.opt), every, amount)
            || (!f.amount && cl_.value(*f.opt).contains(QLatin1Char(':'))))
            return failed(QStringLiteral("--%1 takes %2").arg(f.opt->names().constFirst(), f.opt->valueName()));
        *f.every = every;
        if (f.amount)
            *f.amount = amount;
    }
    return true;
}

bool splitHostPort(const QString &text, QHostAddress &host, quint16 &port)
{
    QString h = QStringLiteral("127.0.0.1");
    QString p = text;
    const int colon = int(text.lastIndexOf(QLatin1Char(':')));
    if (colon >= 0) {
        h = text.left(colon);
        p = text.mid(colon + 1);
    }
    bool ok = false;
    const int n = p.toInt(&ok);
    if (!ok || n < 0 || n > 65535)
        return false;
    if (h == QLatin1String("localhost"))
        h = QStringLiteral("127.0.0.1");
    if (!host.setAddress(h))
        return false;
    port = quint16(n);
    return true;
}

}   // namespace sim
