#include "text/LineFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace text;

TEST(LineFile, WritesWindows1251WithCrLfAndReadsItBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.txt");
    LineWriter w;
    ASSERT_TRUE(w.open(path));
    w.writeLine(QStringLiteral("Сторінка 1"));
    w.writeLine(QString());
    w.writeLine(QStringLiteral("Ж7"));
    ASSERT_TRUE(w.commit());

    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray raw = f.readAll();
    EXPECT_EQ(raw,
              QByteArray("\xD1\xF2\xEE\xF0\xB3\xED\xEA\xE0 1\r\n\r\n\xC6"
                         "7\r\n"));

    LineReader r;
    ASSERT_TRUE(r.open(path));
    QString s;
    ASSERT_TRUE(r.readLine(s));
    EXPECT_EQ(s, QStringLiteral("Сторінка 1"));
    ASSERT_TRUE(r.readLine(s));
    EXPECT_TRUE(s.isEmpty());
    ASSERT_TRUE(r.readLine(s));
    EXPECT_EQ(s, QStringLiteral("Ж7"));
    EXPECT_FALSE(r.readLine(s));
    EXPECT_EQ(r.lineNumber(), 3);
}

TEST(LineFile, AcceptsBareLfAndALastLineWithoutEnd)
{
    LineReader r;
    r.setContent("a\nb\r\nc");
    QString s;
    QStringList got;
    while (r.readLine(s))
        got << s;
    EXPECT_EQ(got, (QStringList{"a", "b", "c"}));
}

TEST(LineFile, AFailedSaveLeavesThePreviousFileIntact)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("keep.txt");
    {
        LineWriter w;
        ASSERT_TRUE(w.open(path));
        w.writeLine("good");
        ASSERT_TRUE(w.commit());
    }
    {
        LineWriter w;
        ASSERT_TRUE(w.open(path));
        w.writeLine("half");
        // Dropping the writer without commit must not replace the file.
    }
    LineReader r;
    ASSERT_TRUE(r.open(path));
    QString s;
    r.readLine(s);
    EXPECT_EQ(s, "good");

    LineWriter bad;
    EXPECT_FALSE(bad.open(dir.filePath("no/such/dir/x.txt")));
    EXPECT_FALSE(bad.commit());
}
