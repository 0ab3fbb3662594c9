// The configuration as tablo-collect takes it: good entries start, each bad one is reported
// with its file, line and entry while the others go on, and of two entries of one controller
// only the first runs.
#include "collect/Service.h"
#include "fixture/NetWriter.h"
#include "fixture/PrtWriter.h"
#include "support/QtTestApp.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

bool writeProject(const QString &path, const QString &name, int address)
{
    fixture::PrtProject p;
    p.projectName = name;
    p.linkKind = 1;
    p.controllerAddress = address;
    return fixture::writePrt(path, p);
}

bool writeText(const QString &path, const QString &text)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(text.toUtf8()) == text.toUtf8().size();
}

struct Case {
    const char *what;
    const char *config;
    std::vector<const char *> log;   // DIR stands for the test's folder
    int running;
};

const Case Cases[] = {
    {"two good entries, a comment, defaults and every key",
     "# the boiler house\n"
     "[boiler]\n"
     "project = a.prt\n"
     "com = 1=/dev/ttyUSB7\n"
     "history = h/boiler.sqlite\n"
     "groups = 1, 3\n"
     "journal = off\n"
     "since = 2024-03-05 07:00:00\n"
     "pace = answer\n"
     "refresh = 30\n"
     "\n"
     "; the pumps\n"
     "[pumps]\n"
     "project = DIR/b.prt\n"
     "history = pumps.sqlite\n",
     {"boiler: controller Котельня-1 on COM1 (/dev/ttyUSB7): trend groups 1,3 into DIR/h/boiler.sqlite, pages since "
      "2024-03-05 07:00:00, answer-paced, the current page at least every 30 s",
      "pumps: controller Насосна-2 on COM1 (/dev/ttyS0): trend groups 1,2,3,4,5,6,7,8 and the journal into "
      "DIR/pumps.sqlite"},
     2},
    {"a typo, a missing project, a bad URI (its password not shown) and bad values; the good entry runs",
     "project = a.prt\n"
     "[boiler]\n"
     "project = a.prt\n"
     "histroy = h.sqlite\n"
     "[mixer]\n"
     "project = missing.prt\n"
     "history = postgresql://tablo:secret@/plant\n"
     "[pumps]\n"
     "project = b.prt\n"
     "history = pumps.sqlite\n"
     "[bad one]\n"
     "project = b.prt\n"
     "history = x.sqlite\n"
     "groups = 0,9\n"
     "journal = maybe\n"
     "com = 10=/dev/x\n"
     "project = a.prt\n"
     "spool\n"
     "since = yesterday\n"
     "pace = fast\n"
     "refresh = 0\n"
     "spool_max = lots\n",
     {"DIR/c.conf:1: \"project = a.prt\" before the first [entry]",
      "DIR/c.conf:2: entry boiler: line 4: unknown key \"histroy\" (known: project, com, history, groups, journal, "
      "spool, since, pace, refresh, spool_max)",
      "DIR/c.conf:2: entry boiler: no history",
      "DIR/c.conf:5: entry mixer: line 7: history postgresql://tablo@/plant: no host (a name, or ?host=/socket/dir)",
      "DIR/c.conf:5: entry mixer: no project file DIR/missing.prt",
      "DIR/c.conf:11: entry bad one: bad name \"bad one\": letters, digits, '.', '-' and '_' only",
      "DIR/c.conf:11: entry bad one: line 14: bad groups \"0,9\": expected groups 1..8 separated by commas, e.g. 1,2",
      "DIR/c.conf:11: entry bad one: line 15: bad journal \"maybe\": expected on or off",
      "DIR/c.conf:11: entry bad one: line 16: bad com \"10=/dev/x\": expected N=DEVICE with N from 1 to 9",
      "DIR/c.conf:11: entry bad one: line 17: project given twice",
      "DIR/c.conf:11: entry bad one: line 18: expected \"key = value\", found \"spool\"",
      "DIR/c.conf:11: entry bad one: line 19: bad since \"yesterday\": expected \"YYYY-MM-DD HH:MM:SS\"",
      "DIR/c.conf:11: entry bad one: line 20: bad pace \"fast\": expected poll or answer",
      "DIR/c.conf:11: entry bad one: line 21: bad refresh \"0\": expected seconds, 1..3600",
      "DIR/c.conf:11: entry bad one: line 22: bad spool_max \"lots\": expected megabytes, 1..1000000",
      "pumps: controller Насосна-2 on COM1 (/dev/ttyS0): trend groups 1,2,3,4,5,6,7,8 and the journal into "
      "DIR/pumps.sqlite"},
     1},
    {"the same controller twice (another project file, same name and address), a name twice",
     "[boiler]\n"
     "project = a.prt\n"
     "history = one.sqlite\n"
     "journal = no\n"
     "[boiler-copy]\n"
     "project = a-copy.prt\n"
     "history = two.sqlite\n"
     "[boiler]\n"
     "project = b.prt\n"
     "history = three.sqlite\n",
     {"DIR/c.conf:8: entry boiler: a second entry of this name",
      "boiler: controller Котельня-1 on COM1 (/dev/ttyS0): trend groups 1,2,3,4,5,6,7,8 into DIR/one.sqlite",
      "DIR/c.conf:5: entry boiler-copy: the same controller (Котельня-1) as entry boiler at DIR/c.conf:1; left out"},
     1},
};

}   // namespace

TEST(CollectConfig, GoodEntriesRunAndEachBadOneIsNamedWithItsFileLineAndEntry)
{
    coreApp();
    for (const Case &c : Cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString d = dir.path();
        ASSERT_TRUE(writeProject(d + "/a.prt", QStringLiteral("Котельня"), 1));
        ASSERT_TRUE(writeProject(d + "/a-copy.prt", QStringLiteral("Котельня"), 1));
        ASSERT_TRUE(writeProject(d + "/b.prt", QStringLiteral("Насосна"), 2));
        ASSERT_TRUE(fixture::writeNet(d + "/plant.net", fixture::NetList{}));
        const QString file = d + "/c.conf";
        ASSERT_TRUE(writeText(file, QString::fromUtf8(c.config).replace(QStringLiteral("DIR"), d)));
        QStringList log;
        {
            collect::Service service(
                file, [&](const QString &line) { log << QString(line).replace(d, QStringLiteral("DIR")); });
            service.configure();
            EXPECT_EQ(service.running(), c.running);
        }
        QStringList want;
        for (const char *line : c.log)
            want << QString::fromUtf8(line);
        EXPECT_EQ(log.join(u'\n').toStdString(), want.join(u'\n').toStdString());
    }
}

// A reload (SIGHUP): added entries start, removed ones stop, changed ones restart, the
// unchanged one runs on untouched, a broken entry or file stops nothing; the status file lists
// what runs.
TEST(CollectConfig, AReloadStartsAddedStopsRemovedAndRestartsChangedEntries)
{
    coreApp();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString d = dir.path();
    ASSERT_TRUE(writeProject(d + "/a.prt", QStringLiteral("Котельня"), 1));
    ASSERT_TRUE(writeProject(d + "/b.prt", QStringLiteral("Насосна"), 2));
    ASSERT_TRUE(writeProject(d + "/c.prt", QStringLiteral("Мішалка"), 3));
    ASSERT_TRUE(fixture::writeNet(d + "/plant.net", fixture::NetList{}));
    const QString file = d + "/c.conf";
    // COM1 on a device that is not there: nothing is downloaded, each collection waits for it.
    const QString entries = QStringLiteral("[a]\nproject = a.prt\ncom = 1=%1/none\nhistory = a.sqlite\n"
                                           "[b]\nproject = b.prt\ncom = 1=%1/none\nhistory = b.sqlite\n")
                                .arg(d);
    ASSERT_TRUE(writeText(file, entries));
    const QByteArray runtimeBefore = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(d + "/run"));
    QStringList log;
    {
        collect::Service service(file,
                                 [&](const QString &line) { log << QString(line).replace(d, QStringLiteral("DIR")); });
        service.configure();
        EXPECT_EQ(service.running(), 2);
        ASSERT_TRUE(
            writeText(file,
                      QStringLiteral("[b]\nproject = b.prt\ncom = 1=%1/none\nhistory = b.sqlite\n"
                                     "[a]\nproject = a.prt\ncom = 1=%1/none\nhistory = a.sqlite\ngroups = 2\n"
                                     "[c]\nproject = c.prt\ncom = 1=%1/none\nhistory = c.sqlite\njournal = off\n")
                          .arg(d)));
        log.clear();
        service.configure();
        ASSERT_TRUE(spinUntil([&] { return service.running() == 3; }, 5000)) << log.join(u'\n').toStdString();
        ASSERT_TRUE(writeText(
            file, QStringLiteral("[c]\nproject = c.prt\ncom = 1=%1/none\nhistory = c.sqlite\njournal = off\n").arg(d)));
        service.configure();
        EXPECT_EQ(service.running(), 1);
        // An entry broken by an edit, then the file gone: what runs runs on.
        ASSERT_TRUE(writeText(file, QStringLiteral("[c]\nproject = c.prt\nhistory = c.sqlite\njournal = sometimes\n")));
        service.configure();
        ASSERT_TRUE(QFile::remove(file));
        service.configure();
        EXPECT_EQ(service.running(), 1);
        // The status file, once written, lists the one left.
        const QString status = collect::statusPath(file);
        ASSERT_TRUE(spinUntil(
            [&] {
                QFile f(status);
                return f.open(QIODevice::ReadOnly) && !f.readAll().contains("\"name\": \"a\"") && f.size() > 0;
            },
            5000));
        QFile f(status);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QString text = collect::statusText(QJsonDocument::fromJson(f.readAll()).object(), true);
        EXPECT_TRUE(text.endsWith(QStringLiteral("\nc (Мішалка-3): port not open; no page stored yet\n")))
            << text.toStdString();
        bool stopped = false;
        service.stop([&] { stopped = true; });
        EXPECT_TRUE(spinUntil([&] { return stopped; }, 5000));
    }
    if (runtimeBefore.isEmpty())
        qunsetenv("XDG_RUNTIME_DIR");
    else
        qputenv("XDG_RUNTIME_DIR", runtimeBefore);
    // The port that would not open, once per collection.
    log.removeIf([](const QString &l) { return l.endsWith(QLatin1String(" (COM1)")); });
    EXPECT_EQ(
        log.join(u'\n').toStdString(),
        std::string("a: changed in the configuration, restarting\n"
                    "c: controller Мішалка-3 on COM1 (DIR/none): trend groups 1,2,3,4,5,6,7,8 into DIR/c.sqlite\n"
                    "a: controller Котельня-1 on COM1 (DIR/none): trend groups 2 and the journal into DIR/a.sqlite\n"
                    "a: removed from the configuration, stopping\n"
                    "b: removed from the configuration, stopping\n"
                    "DIR/c.conf:1: entry c: line 4: bad journal \"sometimes\": expected on or off\n"
                    "c: its entry has errors; it runs on as it was\n"
                    "DIR/c.conf: cannot read the configuration: No such file or directory\n"
                    "the collections run on as they were"));
}
