// Every file the station writes, written over an earlier good file by a process whose file size
// limit stops the write part way: the writer must report the failure, leave the earlier file
// byte for byte as it was and leave nothing half-written beside it.
#include "app/PdfFile.h"
#include "station/Station.h"
#include "app/Spreadsheet.h"
#include "journal/JournalCsv.h"
#include "journal/JournalExport.h"
#include "journal/JournalFile.h"
#include "reports/ReportExport.h"
#include "reports/ReportFile.h"
#include "support/QtTestApp.h"
#include "text/LineFile.h"
#include "text/SafeWrite.h"
#include "trends/GrfFile.h"
#include "trends/TrendChart.h"
#include "trends/TrendExport.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList folderEntries(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::Dirs | QDir::NoDotAndDotDot);
}

// Runs `write` in a child whose files may not grow past `limit` bytes (a write beyond fails
// with EFBIG instead of killing it); the child's answer: 0 written, 1 failed, else it crashed.
int writeUnderLimit(const std::function<bool()> &write, rlim_t limit)
{
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        alarm(60);   // a hung writer ends the child, not the test
        rlimit r{};
        getrlimit(RLIMIT_FSIZE, &r);
        r.rlim_cur = limit;
        if (setrlimit(RLIMIT_FSIZE, &r) != 0)
            _exit(3);
        _exit(write() ? 0 : 1);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

// A station with a trend page, a journal page and a report table that fill their files.
Station fullStation()
{
    Station st;
    ProjectModel &m = st.project;
    m.blockParamBase[98] = 100;
    m.blockTextBase[98] = 200;
    m.blockTexts[233] = QStringLiteral("Котельня");
    for (int n = 0; n < 32; ++n) {
        m.blockTexts[static_cast<std::size_t>(201 + n)] = QStringLiteral("Канал %1").arg(n);
        m.blockTexts[static_cast<std::size_t>(700 + n)] = QStringLiteral("Подія номер %1").arg(n);
    }
    m.Event_Base = 700;
    st.trend.Graf_Page = 5;
    st.trend.Graf_SampleCount = 480;
    st.trend.Graf_TimeText = QStringLiteral("05/03/24 07:05:09  07:06:09  07:07:09  07:08:09  07:09:09  07:10:09  "
                                            "07:11:09  07:12:09");
    for (int c = 0; c < 4; ++c)
        for (int s = 0; s < 481; ++s)
            st.trend.Graf_Values[static_cast<std::size_t>(c)][static_cast<std::size_t>(s)] =
                static_cast<float>(c * 1000 + s) * 0.123457f;
    st.trend.Graf_Style = {1, 0x0000FF, 0x00FF00, 0xFF0000, 0x808080, 0, 0};

    // Every record of the journal page written, every event flagged.
    for (int r = 0; r < 32; ++r) {
        const auto at = [&](int k) -> std::uint8_t & {
            return st.journal.Jurnal_Buf[static_cast<std::size_t>(10 * r + k)];
        };
        at(3) = 15, at(4) = 4, at(5) = 9, at(6) = 7, at(7) = 3, at(8) = 23;
        at(9) = at(10) = at(11) = at(12) = 0xFF;
    }
    st.journal.Jurnal_Page = 2;
    st.journal.Jurnal_Pointer = 1000;

    st.report.Rep_Names[0] = QStringLiteral("Котельня");
    for (int q = 1; q <= 16; ++q)
        st.report.Rep_Names[static_cast<std::size_t>(q)] = QStringLiteral("Параметр звіту %1").arg(q);
    st.report.Rep_Precision = 3;
    for (auto &row : st.report.Rep_Table) {
        row[0] = QStringLiteral("09/03/24");
        row[1] = QStringLiteral("07:05:00");
        for (std::size_t c = 2; c < row.size(); ++c)
            row[c] = 1234.5678 + static_cast<double>(c);
    }
    return st;
}

struct Writer {
    const char *name;
    const char *file;
    std::function<bool(const QString &path)> write;
};

TEST(SafeWrite, EveryWriterCutShortReportsTheFailureAndLeavesTheEarlierFileIntact)
{
    if (!QCoreApplication::instance())
        qttest::AppEnvironment::make<QGuiApplication>();
    Station st = fullStation();
    TrendChartState chartState;
    TrendChart chart(st, chartState);
    const grf::ChartScale scale = grf::scaleFromProject(st);

    const Writer writers[] = {
        {"bytes", "plain.bin", [](const QString &p) { return text::writeFileAtomically(p, QByteArray(200000, 'x')); }},
        {"lines", "lines.txt",
         [](const QString &p) {
             text::LineWriter w;
             if (!w.open(p))
                 return false;
             for (int i = 0; i < 3000; ++i)
                 w.writeLine(QStringLiteral("рядок %1").arg(i));
             return w.commit();
         }},
        {"trend file", "page.grf", [&](const QString &p) { return grf::save(p, st, scale); }},
        {"journal file", "page.jur", [&](const QString &p) { return journal::saveJur(p, 2, st.journal.Jurnal_Buf); }},
        {"report settings", "boiler.rep", [&](const QString &p) { return report::saveSettings(p, st); }},
        {"trend workbook", "trend.xlsx", [&](const QString &p) { return writeTrendXlsx(st, p).ok; }},
        {"trend csv", "trend.csv", [&](const QString &p) { return writeTrendCsv(st, p).ok; }},
        {"journal workbook", "journal.xlsx", [&](const QString &p) { return journal::exportXlsx(p, st); }},
        {"journal csv", "journal.csv", [&](const QString &p) { return journal::saveCsv(p, st); }},
        {"report workbook", "report.xlsx", [&](const QString &p) { return report::exportWorkbook(st, p).ok; }},
        {"report csv", "report.csv", [&](const QString &p) { return report::exportCsv(st, p); }},
        {"trend pdf", "trend.pdf", [&](const QString &p) { return chart.printToPdf(p); }},
        {"journal pdf", "journal.pdf", [&](const QString &p) { return journal::printJournalPdf(p, st); }},
        {"printed to a file", "printed.pdf",
         [&](const QString &p) {
             QPrinter printer(QPrinter::HighResolution);
             printer.setOutputFormat(QPrinter::PdfFormat);
             printer.setOutputFileName(p);
             const auto draw = [&](QPagedPaintDevice &d) { return journal::printJournal(d, st); };
             return printToChosenFile(printer, draw).value_or(false);
         }},
    };
    for (const Writer &w : writers) {
        SCOPED_TRACE(w.name);
        QTemporaryDir dir;
        const QString path = dir.filePath(QString::fromLatin1(w.file));
        ASSERT_TRUE(w.write(path));
        const QByteArray earlier = readAll(path);
        ASSERT_GT(earlier.size(), 256);

        // Half of what a whole file takes: the write fails part way through.
        const auto limit = static_cast<rlim_t>(earlier.size() / 2);
        EXPECT_EQ(writeUnderLimit([&] { return w.write(path); }, limit), 1);
        EXPECT_EQ(readAll(path), earlier);
        EXPECT_EQ(folderEntries(dir.path()), QStringList{QString::fromLatin1(w.file)});

        // A target that cannot be replaced at all (a folder of that name).
        const QString folder = dir.filePath(QStringLiteral("taken.") + QFileInfo(path).suffix());
        ASSERT_TRUE(QDir(dir.path()).mkdir(QFileInfo(folder).fileName()));
        EXPECT_FALSE(w.write(folder));
        EXPECT_TRUE(QFileInfo(folder).isDir());
        EXPECT_EQ(folderEntries(dir.path()).size(), 2);
    }
}

// The workbook library builds each part of the package in a temporary file and zips it; a part
// cut short there must not turn into a smaller, broken workbook reported as written.
TEST(SafeWrite, AWorkbookWhosePartsCannotBeWrittenWholeIsNotSaved)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("book.xlsx"));
    Spreadsheet small;
    small.setValue("A1", QStringLiteral("перший"));
    ASSERT_TRUE(small.save(path).ok);
    const QByteArray earlier = readAll(path);

    // 20 000 alike rows: about 2 MB of sheet text that packs into some tens of kilobytes.
    Spreadsheet big;
    for (int r = 0; r < 20000; ++r)
        for (int c = 0; c < 4; ++c)
            big.setValue(Spreadsheet::Range::cell(r, c), 1.5);
    const QString probe = dir.filePath(QStringLiteral("probe.xlsx"));
    ASSERT_TRUE(big.save(probe).ok);
    const qint64 packed = QFileInfo(probe).size();
    ASSERT_TRUE(QFile::remove(probe));
    ASSERT_LT(packed * 4, 2'000'000);

    // Failed, and as the file's failure (75), not as a bad call.
    const auto limit = static_cast<rlim_t>(std::max<qint64>(packed * 2, earlier.size() * 2));
    const auto failedAsFile = [&] {
        const auto r = big.save(path);
        return r.ok || r.errorNumber != Spreadsheet::FileAccessError;
    };
    EXPECT_EQ(writeUnderLimit(failedAsFile, limit), 1);
    EXPECT_EQ(readAll(path), earlier);
    EXPECT_EQ(folderEntries(dir.path()), QStringList{QStringLiteral("book.xlsx")});
}

}   // namespace
