#include "reports/ReportFile.h"
#include "station/Station.h"
#include "text/LineFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

}   // namespace

TEST(ReportFileTest, SavedSettingsComeBackWithTheFileNameAsTitleAndWithoutTheAddress)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Station saved;
    saved.project.linkKind = 9;
    saved.project.controllerAddress = 7;
    saved.report.Rep_Precision = 2;
    saved.report.Rep_TriggerElement = 4;
    saved.report.Rep_Names[0] = QStringLiteral("Котельня");
    for (int i = 1; i <= 16; ++i)
        saved.report.Rep_Names[size_t(i)] = QStringLiteral("Тиск %1").arg(i);
    saved.report.Rep_Names[5] = QString();   // an empty name stays empty

    const QString path = dir.filePath(QStringLiteral("boiler.rep"));
    ASSERT_TRUE(report::saveSettings(path, saved));

    // Windows-1251, CR LF, numbers with a blank either side.
    const QByteArray bytes = readAll(path);
    const QByteArray head = QByteArray("*************** REPORT \xC6"
                                       "7 40/301 ****************\r\n"
                                       " 9 \r\n 7 \r\n 2 \r\n 4 \r\n"
                                       "\xCA\xEE\xF2\xE5\xEB\xFC\xED\xFF\r\n"
                                       "\xD2\xE8\xF1\xEA 1\r\n");
    EXPECT_EQ(bytes.left(head.size()), head);
    EXPECT_TRUE(bytes.endsWith("\xD2\xE8\xF1\xEA 16\r\n"));
    EXPECT_EQ(bytes.count("\r\n"), 22);

    Station loaded;
    loaded.project.controllerAddress = 1;
    loaded.project.linkKind = 1;
    ASSERT_TRUE(report::loadSettings(path, loaded));
    // The link number is the report's port; the polling link stays as it was.
    EXPECT_EQ(loaded.report.Rep_LinkNo, 9);
    EXPECT_EQ(loaded.project.linkKind, 1);
    EXPECT_EQ(loaded.project.controllerAddress, 1);
    EXPECT_EQ(loaded.report.Rep_Precision, 2);
    EXPECT_EQ(loaded.report.Rep_TriggerElement, 4);
    EXPECT_EQ(loaded.report.Rep_Names[0], QStringLiteral("boiler"));
    for (int i = 1; i <= 16; ++i)
        EXPECT_EQ(loaded.report.Rep_Names[size_t(i)], saved.report.Rep_Names[size_t(i)]) << i;
}

TEST(ReportFileTest, ShortAndAbsurdFilesAreClampedAndKeepWhatTheyDoNotHold)
{
    struct Case {
        const char *name;
        QByteArray content;
        int link, precision, trigger;
        QString name1, name16;
    };
    const QByteArray header = "*** REPORT ***\r\n";
    const Case cases[] = {
        {"absurd numbers", header + " 5 \r\n 1 \r\n 99 \r\n 1000 \r\nT\r\nA\r\nB\r\n", 5, 3, 31, "A", "old 16"},
        {"negative numbers", header + " 4 \r\n 1 \r\n-2 \r\n-5 \r\n", 4, 2, 5, "old 1", "old 16"},
        {"link out of range, text", header + " 0 \r\n 1 \r\nabc\r\n 1e30 \r\n", 0, 0, 31, "old 1", "old 16"},
        {"three lines only", header + " 8 \r\n 1 \r\n", 8, 1, 6, "old 1", "old 16"},
        {"empty file", QByteArray(), 0, 1, 6, "old 1", "old 16"},
        {"LF ends, all names", header + "2\n1\n3\n0\nT\n" + QByteArray("n\n").repeated(15) + "last\n", 2, 3, 0, "n",
         "last"},
    };
    QTemporaryDir dir;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QStringLiteral("Котельня №2.rep"));
        write(path, c.content);
        Station st;
        st.project.linkKind = 3;
        st.report.Rep_Precision = 1;
        st.report.Rep_TriggerElement = 6;
        for (int i = 1; i <= 16; ++i)
            st.report.Rep_Names[size_t(i)] = QStringLiteral("old %1").arg(i);
        ASSERT_TRUE(report::loadSettings(path, st));
        EXPECT_EQ(st.report.Rep_LinkNo, c.link);   // 0: none read, the link kind's port
        EXPECT_EQ(st.project.linkKind, 3);
        EXPECT_EQ(st.report.Rep_Precision, c.precision);
        EXPECT_EQ(st.report.Rep_TriggerElement, c.trigger);
        EXPECT_EQ(st.report.Rep_Names[1], c.name1);
        EXPECT_EQ(st.report.Rep_Names[16], c.name16);
        EXPECT_EQ(st.report.Rep_Names[0], QStringLiteral("Котельня №2"));
    }
}

TEST(ReportFileTest, AMissingFileChangesNothingAndAFailedSaveLeavesTheOldFile)
{
    QTemporaryDir dir;
    Station st;
    st.report.Rep_Names[0] = QStringLiteral("keep");
    st.report.Rep_Precision = 2;
    QString error;
    EXPECT_FALSE(report::loadSettings(dir.filePath(QStringLiteral("none.rep")), st, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(st.report.Rep_Names[0], QStringLiteral("keep"));
    EXPECT_EQ(st.report.Rep_Precision, 2);

    error.clear();
    EXPECT_FALSE(report::saveSettings(dir.filePath(QStringLiteral("no/such/folder/a.rep")), st, &error));
    EXPECT_FALSE(error.isEmpty());

    // A name that cannot be written as Windows-1251 text does not corrupt the earlier file
    // when the save is abandoned midway: the writer only replaces it on commit.
    const QString path = dir.filePath(QStringLiteral("a.rep"));
    write(path, "earlier");
    {
        text::LineWriter w;
        ASSERT_TRUE(w.open(path));
        w.writeLine(QStringLiteral("half"));
    }   // destroyed without commit
    EXPECT_EQ(readAll(path), QByteArray("earlier"));
}
