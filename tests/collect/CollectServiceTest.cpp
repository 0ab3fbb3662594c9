// tablo-collect against three simulated controllers (two on TCP, one on a pseudo-terminal)
// on a fast plant clock, into a throw-away PostgreSQL server that goes down in the middle of
// the run: the spools keep what came meanwhile and forward it when the server is back; every
// sample arrives once and none is missing, also over a kill and a start again; --status shows
// each; SIGTERM ends after the pages in flight.
#include "collect/Service.h"
#include "collect/Spool.h"
#include "fixture/NetWriter.h"
#include "fixture/PrtWriter.h"
#include "history/PageTimes.h"
#include "support/PgScratch.h"
#include "support/QtTestApp.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

#define REQUIRE_PG()                                                                                                   \
    if (const auto why = PgScratch::unavailable()) {                                                                   \
        if (!qEnvironmentVariableIsSet("CI"))                                                                          \
            GTEST_SKIP() << "no PostgreSQL here: " << why->toStdString();                                              \
        FAIL() << "CI needs the PostgreSQL tests: " << why->toStdString();                                             \
    }

// The plant's clock 30 times real time: a trend page of 480 one-second rows fills in 16 s.
constexpr int Speed = 30;

QString program(const QString &name) { return QDir(qEnvironmentVariable("TABLO_BUILD_DIR")).filePath(name); }

// A project in its own folder (with the netlist that names the trend block's parameters).
QString writeProject(const QString &folder, const QString &name, int address, int linkKind, int port)
{
    QDir().mkpath(folder);
    fixture::PrtProject p;
    p.projectName = name;
    p.linkKind = linkKind;
    p.tcpPort = port;
    p.controllerAddress = address;
    p.elements.blockType[98] = 41;
    const QString prt = folder + QStringLiteral("/plant.prt");
    if (!fixture::writePrt(prt, p))
        return {};
    std::array<fixture::NamedPair, 32> ch;
    for (int n = 0; n < 32; ++n)
        ch[std::size_t(n)] = {0.0, 100.0, QStringLiteral("Канал %1").arg(n)};
    fixture::NetList net;
    net.parts.push_back(fixture::part(98, QStringLiteral("GRA"), fixture::archiveValues(1, name, ch)));
    if (!fixture::writeNet(folder + QStringLiteral("/plant.net"), net))
        return {};
    return prt;
}

int freePort()
{
    QTcpServer s;
    return s.listen(QHostAddress::LocalHost, 0) ? s.serverPort() : 0;
}

struct Processes {
    std::vector<std::unique_ptr<QProcess>> list;
    ~Processes()
    {
        for (auto &p : list)
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
    }
    QProcess &start(const QString &name, const QStringList &args, const QString &log)
    {
        auto p = std::make_unique<QProcess>();
        p->setProgram(program(name));
        p->setArguments(args);
        p->setStandardOutputFile(log);
        p->setStandardErrorFile(log);
        p->start();
        list.push_back(std::move(p));
        return *list.back();
    }
};

QString readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

}   // namespace

TEST(CollectService, ThreeControllersIntoAServerThatGoesDownAndComesBackEverySampleOnce)
{
    REQUIRE_PG();
    coreApp();
    PgScratch pg;
    ASSERT_TRUE(pg.start()) << pg.error().toStdString();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString d = dir.path();

    const int portA = freePort(), portB = freePort();
    ASSERT_TRUE(portA > 0 && portB > 0 && portA != portB);
    const QString prtA = writeProject(d + "/a", QStringLiteral("Котельня"), 1, 9, portA);
    const QString prtB = writeProject(d + "/b", QStringLiteral("Насосна"), 2, 9, portB);
    const QString prtC = writeProject(d + "/c", QStringLiteral("Мішалка"), 3, 1, 4001);
    ASSERT_FALSE(prtA.isEmpty() || prtB.isEmpty() || prtC.isEmpty());
    const QString tty = d + "/ttyC";

    // The plants' clocks start at the wall clock and run Speed times faster. A collection that
    // starts in a page's first minute sees only one stamp on the current page, knows no sample
    // period yet and so takes the whole ring (the scheduler cannot tell which ring pages are
    // new): the collector is started, and started again, well inside a page.
    const qint64 plantStart = history::clockMs(QDateTime::currentDateTime());
    const auto wellInsideAPage = [&] {
        const qint64 plant = plantStart + (history::clockMs(QDateTime::currentDateTime()) - plantStart) * Speed;
        const qint64 second = plant / 1000 % 480;
        return second >= 90 && second <= 400;
    };
    Processes procs;
    const QStringList fast = {QStringLiteral("--speed"), QString::number(Speed)};
    procs.start(QStringLiteral("tablo-sim"),
                QStringList{prtA, "--tcp", QStringLiteral("127.0.0.1:%1").arg(portA), "--no-alarms"} + fast,
                d + "/simA.log");
    procs.start(QStringLiteral("tablo-sim"),
                QStringList{prtB, "--tcp", QStringLiteral("127.0.0.1:%1").arg(portB), "--no-alarms"} + fast,
                d + "/simB.log");
    procs.start(QStringLiteral("tablo-sim"), QStringList{prtC, "--pty", tty} + fast, d + "/simC.log");
    ASSERT_TRUE(spinUntil(
        [&] {
            return QFileInfo::exists(tty) && readAll(d + "/simA.log").contains("TCP")
                && readAll(d + "/simB.log").contains("TCP");
        },
        10000))
        << readAll(d + "/simA.log").toStdString() << readAll(d + "/simC.log").toStdString();

    // The ring is full: only the pages of the last ten minutes of the plant's clock are due.
    const QString since = QDateTime::currentDateTime().addSecs(-600).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    // The password is not needed by the scratch server (trust) and never printed.
    QString uri = pg.uri();
    uri.replace(QStringLiteral("://%1@").arg(pg.user()), QStringLiteral("://%1:secret@").arg(pg.user()));
    const QString config = d + "/collect.conf";
    QFile cf(config);
    ASSERT_TRUE(cf.open(QIODevice::WriteOnly));
    const QString common =
        QStringLiteral("history = %1\ngroups = 1\nspool = spool\nsince = %2\npace = answer\nrefresh = 3\n")
            .arg(uri, since);
    cf.write(QStringLiteral("[boiler]\nproject = a/plant.prt\njournal = off\n%1\n"
                            "[pumps]\nproject = b/plant.prt\njournal = off\n%1\n"
                            "[mixer]\nproject = c/plant.prt\ncom = 1=%2\njournal = off\n%1")
                 .arg(common, tty)
                 .toUtf8());
    cf.close();

    // The status file is found through XDG_RUNTIME_DIR, here and in the program.
    const QByteArray runtimeBefore = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(d + "/run"));
    const QString statusFile = collect::statusPath(config);
    if (runtimeBefore.isEmpty())
        qunsetenv("XDG_RUNTIME_DIR");
    else
        qputenv("XDG_RUNTIME_DIR", runtimeBefore);
    ASSERT_TRUE(statusFile.startsWith(d + "/run/tablo-collect/")) << statusFile.toStdString();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), d + "/run");
    QProcess collectProcess;
    collectProcess.setProcessEnvironment(env);
    collectProcess.setStandardErrorFile(d + "/collect.log");
    ASSERT_TRUE(spinUntil(wellInsideAPage, 20000));
    collectProcess.start(program(QStringLiteral("tablo-collect")), {config});
    ASSERT_TRUE(collectProcess.waitForStarted(5000));
    const auto log = [&] { return readAll(d + "/collect.log"); };
    const auto onServer = [&](const QString &sql) {
        QString out;
        return pg.psql(sql, &out) ? out : QString();
    };
    const auto status = [&] { return QJsonDocument::fromJson(readAll(statusFile).toUtf8()).object(); };
    // Every controller in the status with `key` satisfying `ok`.
    const auto allShow = [&](const QString &key, const std::function<bool(const QJsonValue &)> &ok) {
        const QJsonArray list = status().value(QStringLiteral("controllers")).toArray();
        if (list.size() != 3)
            return false;
        for (const QJsonValue &c : list)
            if (!ok(c.toObject().value(key)))
                return false;
        return true;
    };

    // Pages of all three on the server.
    ASSERT_TRUE(
        spinUntil([&] { return onServer("SELECT count(DISTINCT controller_id) FROM trend_page") == "3"; }, 20000))
        << log().toStdString();

    // The server goes away: each controller's pages wait in its spool.
    const QString beforeOutage = onServer("SELECT max(id) FROM trend_page");
    ASSERT_FALSE(beforeOutage.isEmpty());
    pg.stop();
    ASSERT_TRUE(spinUntil(
        [&] { return allShow(QStringLiteral("spoolWaiting"), [](const QJsonValue &v) { return v.toInt() > 0; }); },
        25000))
        << log().toStdString();
    EXPECT_TRUE(allShow(QStringLiteral("server"), [](const QJsonValue &v) { return v.toString() == "not reached"; }));

    // Back: the spools empty, and a ring page downloaded since the outage began stored for each.
    // (The journal stays off: a first download reads all 32 pages of its ring, longer than
    // this run; the spool's own test forwards journal pages.)
    ASSERT_TRUE(pg.restart()) << pg.error().toStdString();
    ASSERT_TRUE(spinUntil(
        [&] {
            return onServer("SELECT count(DISTINCT controller_id) FROM trend_page WHERE page < 200 AND id > "
                            + beforeOutage)
                == "3"
                && allShow(QStringLiteral("spoolWaiting"), [](const QJsonValue &v) { return v.toInt() == 0; });
        },
        30000))
        << log().toStdString() << readAll(statusFile).toStdString();

    QProcess statusProcess;
    statusProcess.setProcessEnvironment(env);
    statusProcess.start(program(QStringLiteral("tablo-collect")), {QStringLiteral("--status"), config});
    ASSERT_TRUE(statusProcess.waitForFinished(10000));
    EXPECT_EQ(statusProcess.exitCode(), 0);
    const QString shown = QString::fromUtf8(statusProcess.readAllStandardOutput());
    for (const char *line :
         {"boiler (Котельня-1): connected; last page stored ", "pumps (Насосна-2): connected; last page stored ",
          "mixer (Мішалка-3): connected; last page stored "})
        EXPECT_TRUE(shown.contains(QString::fromUtf8(line))) << line << "\n" << shown.toStdString();
    EXPECT_EQ(shown.count(QStringLiteral("; 0 pages waiting in the spool, server reached")), 3) << shown.toStdString();
    EXPECT_TRUE(allShow(QStringLiteral("lost"), [](const QJsonValue &v) { return v.toInt() == 0; }))
        << readAll(statusFile).toStdString();
    EXPECT_TRUE(allShow(QStringLiteral("failures"), [](const QJsonValue &v) { return v.toInt() == 0; }))
        << readAll(statusFile).toStdString();

    // A crash at whatever moment, and a start again on the same spools.
    ASSERT_TRUE(spinUntil(wellInsideAPage, 20000));
    collectProcess.kill();
    ASSERT_TRUE(collectProcess.waitForFinished(10000));
    collectProcess.setStandardErrorFile(d + "/collect.log", QIODevice::Append);
    collectProcess.start(program(QStringLiteral("tablo-collect")), {config});
    ASSERT_TRUE(collectProcess.waitForStarted(5000));
    // Running again: the three collections started and each has stored a page since.
    ASSERT_TRUE(spinUntil(
        [&] {
            const QString again = log().section(QStringLiteral("tablo-collect: configuration "), 2);
            return again.count(QStringLiteral(" samples, ")) >= 3 && again.contains(QStringLiteral("boiler: group 1"))
                && again.contains(QStringLiteral("pumps: group 1")) && again.contains(QStringLiteral("mixer: group 1"));
        },
        20000))
        << log().toStdString();

    // None missing: the samples one second of the plant's clock apart from the first to the
    // newest. A ring page is fetched once the current page shows it complete, so right after
    // a page turns the tail of the last one may not be there yet: waited for, all three at
    // once.
    const QString contiguous =
        QStringLiteral("SELECT string_agg(controller || ' ' || ((max - min) / 1000 + 1 = n AND n >= 480)::text, ', ' "
                       "ORDER BY controller)"
                       " FROM (SELECT controller, min(at_ms) AS min, max(at_ms) AS max, count(DISTINCT at_ms) AS n"
                       " FROM trend_samples GROUP BY controller) s");
    EXPECT_TRUE(spinUntil(
        [&] { return onServer(contiguous) == QStringLiteral("Котельня-1 true, Мішалка-3 true, Насосна-2 true"); },
        20000))
        << onServer("SELECT controller, min(at_ms), max(at_ms), count(DISTINCT at_ms) FROM trend_samples GROUP BY "
                    "controller")
               .toStdString()
        << log().toStdString();

    collectProcess.terminate();
    ASSERT_TRUE(collectProcess.waitForFinished(60000)) << log().toStdString();
    const QString text = log();
    EXPECT_EQ(collectProcess.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(collectProcess.exitCode(), 0) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("stopping after the pages in flight"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("not reached"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("reached again"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("secret"))) << text.toStdString();

    // Nothing left behind in the spools.
    for (const char *name : {"boiler", "pumps", "mixer"}) {
        QString error;
        auto spool = collect::Spool::open(d + "/spool/" + name + ".spool", &error);
        ASSERT_TRUE(spool) << error.toStdString();
        EXPECT_EQ(spool->pending(), 0) << name;
    }
    // Each sample once, and no new runs.
    EXPECT_EQ(
        onServer("SELECT string_agg(controller || ' ' || (count = distinct_samples)::text, ', ' ORDER BY controller)"
                 " FROM (SELECT controller, count(*) AS count, count(DISTINCT (at_ms, channel)) AS distinct_samples"
                 " FROM trend_samples GROUP BY controller) s"),
        QStringLiteral("Котельня-1 true, Мішалка-3 true, Насосна-2 true"));
    EXPECT_EQ(onServer("SELECT count(*) FROM trend_conflict"), QStringLiteral("0"));
}
