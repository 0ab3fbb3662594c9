// tablo-fetch journal against the simulated boiler house: the files it writes agree with the
// controller's journal, and its exit codes tell usage errors, failed transfers and unwritable
// files apart.
#include "e2e/StationRig.h"
#include "journal/JournalFile.h"
#include "link/FastVerdict.h"
#include "sim/Controller.h"
#include "support/FetchRun.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QProcess>
#include <QRegularExpression>

namespace {

using Result = fixture::FetchResult;

TEST(JournalFetch, WritesThePageAsTheControllerHoldsIt)
{
    e2e::StationRig rig;
    sim::JournalRing &ring = rig.simulator->controller().journal();
    ASSERT_GT(ring.size(), 64);
    const int page = (ring.newest() / 32 + 31) % 32;   // the page before the current one
    const QByteArray bytes = ring.page(page);
    QTemporaryDir dir;
    const QString jur = dir.filePath(QStringLiteral("p.jur")), csv = dir.filePath(QStringLiteral("p.csv")),
                  xlsx = dir.filePath(QStringLiteral("p.xlsx")), pdf = dir.filePath(QStringLiteral("p.pdf"));
    const Result r =
        fixture::runFetch({rig.prt, QStringLiteral("journal"), QStringLiteral("--page"), QString::number(page + 1),
                           QStringLiteral("--jur"), jur, QStringLiteral("--csv"), csv, QStringLiteral("--xlsx"), xlsx,
                           QStringLiteral("--pdf"), pdf});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("received page %1,").arg(page + 1))) << r.err.toStdString();

    const auto loaded = journal::loadJur(jur);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->page, page);
    for (int i = 0; i < 320; ++i)
        ASSERT_EQ(loaded->buf[static_cast<std::size_t>(3 + i)], static_cast<unsigned char>(bytes[i])) << i;
    EXPECT_EQ(loaded->buf[324], page);

    // One CSV row per flag of the controller's records, named as the project names them.
    const ProjectModel &m = *rig.simModel;
    QStringList expected{QStringLiteral("Дата,Час,Подія,Назва")};
    for (int r = 0; r < 32; ++r) {
        const auto b = [&](int i) { return static_cast<unsigned char>(bytes[10 * r + i]); };
        const std::uint32_t flags = ring.flagsOf(32 * page + r);
        for (int n = 0; n < 32; ++n)
            if (flags & (1u << n)) {
                QString name = m.blockTexts[static_cast<std::size_t>(m.Event_Base + n)];
                if (name.contains(u',') || name.contains(u'"'))
                    name = u'"' + name.replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
                expected << QString::asprintf("%02d/%02d/%02d,%02d:%02d:%02d,%d,", b(3), b(4), b(5), b(2), b(1), b(0),
                                              n)
                        + name;
            }
    }
    ASSERT_GT(expected.size(), 1);
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray raw = f.readAll();
    ASSERT_TRUE(raw.startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(QString::fromUtf8(raw.mid(3)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts), expected);

    QFile x(xlsx), p(pdf);
    ASSERT_TRUE(x.open(QIODevice::ReadOnly));
    EXPECT_TRUE(x.read(2) == "PK");
    ASSERT_TRUE(p.open(QIODevice::ReadOnly));
    EXPECT_TRUE(p.read(5) == "%PDF-");

    // The current page: the one holding the newest record.
    const Result current = fixture::runFetch({rig.prt, QStringLiteral("journal"), QStringLiteral("--jur"),
                                              QFileInfo(xlsx).dir().filePath(QStringLiteral("current.jur"))});
    ASSERT_EQ(current.exitCode, 0) << current.err.toStdString();
    EXPECT_TRUE(current.err.contains(QStringLiteral("received page %1,").arg(ring.newest() / 32 + 1)))
        << current.err.toStdString();
}

TEST(JournalFetch, ExitCodesForUsageErrorsFailedTransfersAndUnwritableFiles)
{
    e2e::StationRig rig;
    const QString p = rig.prt;
    const QString j = QStringLiteral("journal");
    // A run that writes nothing is refused before the transfer: the failing transfers write a page.
    QTemporaryDir out;
    const QString page = out.filePath(QStringLiteral("p.jur"));
    const struct {
        QStringList args;
        int code;
        const char *says;
        sim::FaultPlan faults;
    } cases[] = {
        {{p, j, QStringLiteral("--page"), QStringLiteral("33")}, 2, "journal pages are 1..32", {}},
        {{p, j, QStringLiteral("--page"), QStringLiteral("0")}, 2, "journal pages are 1..32", {}},
        {{p, j, QStringLiteral("--find"), QStringLiteral("2023-02-30 14")}, 2, "bad --find", {}},
        {{p, j, QStringLiteral("--page"), QStringLiteral("2"), QStringLiteral("--current")}, 2, "only one of", {}},
        {{p, j, QStringLiteral("--jpg"), QStringLiteral("x")}, 2, "unknown journal option", {}},
        {{p, j, QStringLiteral("--jur"), page},
         3,
         "incomplete answer",
         [] {
             sim::FaultPlan f;
             f.truncateEvery = 1;
             f.truncateBytes = 2;
             return f;
         }()},
        {{p, j, QStringLiteral("--jur"), page},
         3,
         "checksum error",
         [] {
             sim::FaultPlan f;
             f.corruptEvery = 1;
             return f;
         }()},
        {{p, j, QStringLiteral("--csv"), QStringLiteral("/no/such/folder/x.csv")},
         2,
         "cannot write /no/such/folder/x.csv",
         {}},
        {{p, j}, 2, "nothing to write", {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.says);
        rig.simulator->setFaults(c.faults);
        const Result r = fixture::runFetch(c.args);
        EXPECT_EQ(r.exitCode, c.code) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QLatin1String(c.says))) << r.err.toStdString();
    }
}

// --fast does what the verdict kept for the controller says: refused, the page comes paced
// and stderr says why; accepted, it comes fast, the same journal file byte for byte. (The check
// that makes a verdict runs on virtual time in the archive tests.)
TEST(JournalFetch, FastFollowsTheVerdictKeptForTheController)
{
    e2e::StationRig rig;
    QTemporaryDir data, out;
    const QByteArray before = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    const FastVerdicts verdicts(data.path() + QStringLiteral("/tablo/fast"));
    const QString name = rig.simModel->projectName;
    const int address = rig.simModel->controllerAddress;
    const int page = (rig.simulator->controller().journal().newest() / 32 + 31) % 32;   // settled

    QByteArray files[2];
    for (const FastVerdict v : {FastVerdict::Refused, FastVerdict::Accepted}) {
        const bool fast = v == FastVerdict::Accepted;
        SCOPED_TRACE(fast ? "accepted" : "refused");
        ASSERT_TRUE(verdicts.put(name, address, QStringLiteral("journal"), v));
        const QString jur = out.filePath(fast ? QStringLiteral("fast.jur") : QStringLiteral("paced.jur"));
        const Result r =
            fixture::runFetch({rig.prt, QStringLiteral("journal"), QStringLiteral("--fast"), QStringLiteral("--page"),
                               QString::number(page + 1), QStringLiteral("--jur"), jur});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_FALSE(r.err.contains(QStringLiteral("not yet checked"))) << r.err.toStdString();
        EXPECT_EQ(
            r.err.contains(QStringLiteral("tablo-fetch: fast mode refused for this controller: a page downloaded fast "
                                          "differs from the same page downloaded paced")),
            !fast)
            << r.err.toStdString();
        EXPECT_EQ(r.err.contains(QRegularExpression(QStringLiteral("downloaded in \\d+ ms, fast\n"))), fast)
            << r.err.toStdString();
        QFile f(jur);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        files[fast] = f.readAll();
    }
    EXPECT_EQ(files[1], files[0]);
    EXPECT_GT(files[0].size(), 330);
    if (before.isEmpty())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", before);
}

}   // namespace
