// The netlist field reader and the project path helper.
#include "project/NetlistTokens.h"
#include "project/ProjectPaths.h"
#include "text/LineFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

std::vector<QString> parse(const char *utf8, int limit = 10000, bool *overflow = nullptr)
{
    NetlistTokens t = NetlistTokens::parse(text::encode1251(QString::fromUtf8(utf8)), limit);
    if (overflow)
        *overflow = t.overflow;
    return t.tokens;
}

std::vector<QString> list(std::initializer_list<const char *> items)
{
    std::vector<QString> v;
    for (const char *s : items)
        v.push_back(QString::fromUtf8(s));
    return v;
}

}   // namespace

TEST(NetlistFields, FieldsStartAfterTheNetlistLineAndTheFilesLastFieldIsDropped)
{
    EXPECT_EQ(parse("ACCEL_ASCII \"x\"\r\n(netlist \"x\"\r\n  (compInst \"U12\"\r\n  (attr \"A\" \"Реле\")\r\n)\r\n"),
              list({"(compInst \"U12\"", "(attr \"A\" \"Реле\")"}));
    // Without a line end after it the last field is dropped all the same.
    EXPECT_EQ(parse("(netlist \"x\"\r\na\r\nb"), list({"a"}));
    // A trailing empty line is the last field instead.
    EXPECT_EQ(parse("(netlist \"x\"\na\nb\n\n"), list({"a", "b"}));
}

TEST(NetlistFields, NoNetlistLineYieldsNoFields)
{
    EXPECT_TRUE(parse("(compInst \"U1\"\r\n(originalName \"SUM8_1\")\r\n)\r\n").empty());
    EXPECT_TRUE(parse("").empty());
    EXPECT_TRUE(parse("(netlis \"x\"\r\na\r\nb\r\n").empty());
}

TEST(NetlistFields, CommasSplitFieldsQuotedFieldsLoseTheirQuotesAndBlanksAreTrimmed)
{
    EXPECT_EQ(parse("(netlist \"x\"\r\n   (attr \"V\" \"1,5\")  \r\n\"quoted, text\" rest,next\r\n\r\nend\r\n"),
              list({"(attr \"V\" \"1", "5\")", "quoted, text", "next", ""}));
}

TEST(NetlistFields, AtMostTheLimitIsStoredAndMoreIsFlagged)
{
    bool overflow = true;
    EXPECT_EQ(parse("(netlist \"x\"\na\nb\nc\nlast\n", 3, &overflow).size(), 3u);
    EXPECT_FALSE(overflow);
    EXPECT_EQ(parse("(netlist \"x\"\na\nb\nc\nd\nlast\n", 3, &overflow), list({"a", "b", "c"}));
    EXPECT_TRUE(overflow);
}

TEST(ProjectPaths, BackslashNamesResolveUnderTheProjectFolderMatchingCaseWhenNeeded)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("Pics/Sub")));
    QFile f(dir.filePath(QStringLiteral("Pics/Sub/Boiler.bmp")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_EQ(resolveProjectPath(dir.path(), QStringLiteral("\\Pics\\Sub\\Boiler.bmp")),
              dir.filePath(QStringLiteral("Pics/Sub/Boiler.bmp")));
    EXPECT_EQ(resolveProjectPath(dir.path(), QStringLiteral("\\PICS\\sub\\BOILER.BMP")),
              dir.filePath(QStringLiteral("Pics/Sub/Boiler.bmp")));
    // Missing: the plain joined path, so messages name what the project asked for.
    EXPECT_EQ(resolveProjectPath(dir.path(), QStringLiteral("\\PICS\\none.bmp")),
              dir.filePath(QStringLiteral("PICS/none.bmp")));
    EXPECT_EQ(resolveProjectPath(dir.path(), QStringLiteral("plain.net")), dir.filePath(QStringLiteral("plain.net")));
    EXPECT_EQ(resolveProjectPath(dir.path(), QString()), dir.path());
}
