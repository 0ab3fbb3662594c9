#include "trends/GrfFile.h"
#include "station/Station.h"
#include "text/LineFile.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr int TextBase = 100;    // blockTextBase[98]
constexpr int ParamBase = 500;   // blockParamBase[98]

void trendBlock(Station &st)
{
    st.project.blockTextBase[98] = TextBase;
    st.project.blockParamBase[98] = ParamBase;
}

std::uint32_t bitsOf(float f)
{
    std::uint32_t u;
    std::memcpy(&u, &f, 4);
    return u;
}

float floatOf(std::uint32_t u)
{
    float f;
    std::memcpy(&f, &u, 4);
    return f;
}

QList<QByteArray> linesOf(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QByteArray all = f.readAll();
    if (!all.endsWith("\r\n"))
        return {};
    all.chop(1);   // every line keeps its CR
    return all.split('\n');
}

// A page with every field set: the 2nd group's channels on parameters 9, 4, 30, 0.
Station filledStation()
{
    Station st;
    trendBlock(st);
    st.project.blockTexts[TextBase + 33] = QStringLiteral("Котел");
    st.trend.Graf_Group = 2;
    st.trend.Graf_Page = 200;
    st.trend.Graf_CurrentPage = 17;
    st.trend.Graf_SampleCount = 321;
    st.trend.Graf_TimeText = QStringLiteral("05/03/24 07:05:09  07:06:09  ");
    for (int i = 0; i < 32; ++i)
        st.trend.Graf_ParamNo[std::size_t(i)] = std::int16_t((i * 7) % 32);
    st.trend.Graf_ParamNo[8] = 9;
    st.trend.Graf_ParamNo[9] = 4;
    st.trend.Graf_ParamNo[10] = 30;
    st.trend.Graf_ParamNo[11] = 0;
    const char *names[] = {"Т подачі", "Тиск", "Рівень", "Витрата"};
    for (int c = 0; c < 4; ++c)
        st.project.blockTexts[std::size_t(TextBase + 1 + st.trend.Graf_ParamNo[std::size_t(8 + c)])] =
            QString::fromUtf8(names[c]);
    st.trend.Graf_Style = {2, 0x0000FF, 0xFF0000, -2147483647 - 1, 0x7FFFFFFF, 5, 0};
    return st;
}

}   // namespace

// Every float32 (NaN aside) comes back bit for bit, and the fixed lines read as written out here.
TEST(GrfFile, RoundTripKeepsEveryFieldAndEveryFloatBitForBit)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("page.grf");
    Station st = filledStation();
    grf::ChartScale scale;
    scale.zeroY = 220;
    scale.lo = {-50.0f, 0.0f, 1e-30f, -0.0f, 0.0f};
    scale.hi = {50.0f, 100.0f, 3.4028235e38f, 1.5f, 0.0f};

    QRandomGenerator rng(1982);
    for (auto &channel : st.trend.Graf_Values)
        for (float &v : channel) {
            std::uint32_t u;
            do
                u = rng.generate();
            while ((u & 0x7F800000u) == 0x7F800000u && (u & 0x7FFFFFu) != 0);   // no NaN
            v = floatOf(u);
        }
    st.trend.Graf_Values[0][0] = 0.1f;
    st.trend.Graf_Values[1][0] = -2.5f;
    st.trend.Graf_Values[2][0] = -0.0f;
    st.trend.Graf_Values[2][1] = std::numeric_limits<float>::infinity();
    st.trend.Graf_Values[2][2] = std::numeric_limits<float>::denorm_min();
    st.trend.Graf_Values[3][480] = 1e-10f;

    QString error;
    ASSERT_TRUE(grf::save(path, st, scale, &error)) << error.toStdString();

    const QList<QByteArray> lines = linesOf(path);
    ASSERT_EQ(lines.size(), 1982);
    for (const QByteArray &l : lines)
        ASSERT_TRUE(l.endsWith('\r'));
    EXPECT_EQ(lines[0], " 2 \r");
    EXPECT_EQ(lines[1], " 17 \r");
    EXPECT_EQ(lines[2], " 321 \r");
    EXPECT_EQ(lines[3], " 220 \r");
    EXPECT_EQ(lines[4], "05/03/24 07:05:09  07:06:09  \r");
    EXPECT_EQ(lines[5], "\xCA\xEE\xF2\xE5\xEB\r");   // "Котел" in Windows-1251
    EXPECT_EQ(lines[6], " 0 \r");
    EXPECT_EQ(lines[38], "\xD2\x20\xEF\xEE\xE4\xE0\xF7\xB3\r");   // "Т подачі"
    EXPECT_EQ(lines[42], " 2 \r");
    EXPECT_EQ(lines[45], "-2147483648 \r");
    EXPECT_EQ(lines[48], "-50 \r");
    EXPECT_EQ(lines[49], " 50 \r");
    EXPECT_EQ(lines[54], "-0 \r");
    EXPECT_EQ(lines[58], " 0.1 \r");
    EXPECT_EQ(lines[58 + 481], "-2.5 \r");
    EXPECT_EQ(lines[58 + 2 * 481 + 1], " inf \r");
    EXPECT_EQ(lines[1981], " 1e-10 \r");

    Station back;
    trendBlock(back);
    grf::ChartScale scaleBack;
    const grf::LoadResult r = grf::load(path, back, scaleBack);
    EXPECT_TRUE(r.complete());
    EXPECT_EQ(back.trend.Graf_Group, 2);
    EXPECT_EQ(back.trend.Graf_Page, 17);
    EXPECT_EQ(back.trend.Graf_SampleCount, 321);
    EXPECT_EQ(back.trend.Graf_TimeText, st.trend.Graf_TimeText);
    EXPECT_EQ(back.project.blockTexts[TextBase + 33], QStringLiteral("Котел"));
    EXPECT_EQ(back.project.blockTexts[TextBase + 1 + 9], QStringLiteral("Т подачі"));
    EXPECT_EQ(back.project.blockTexts[TextBase + 1 + 0], QStringLiteral("Витрата"));
    EXPECT_EQ(back.trend.Graf_ParamNo, st.trend.Graf_ParamNo);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(back.trend.Graf_Style[std::size_t(i)], st.trend.Graf_Style[std::size_t(i)]) << i;
    EXPECT_EQ(scaleBack.zeroY, 220);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(bitsOf(scaleBack.lo[std::size_t(i)]), bitsOf(scale.lo[std::size_t(i)])) << i;
        EXPECT_EQ(bitsOf(scaleBack.hi[std::size_t(i)]), bitsOf(scale.hi[std::size_t(i)])) << i;
    }
    int differing = 0;
    for (int c = 0; c < 4; ++c)
        for (int s = 0; s <= 480; ++s)
            differing += bitsOf(back.trend.Graf_Values[std::size_t(c)][std::size_t(s)])
                != bitsOf(st.trend.Graf_Values[std::size_t(c)][std::size_t(s)]);
    EXPECT_EQ(differing, 0);
}

// A short or damaged file loads up to its last good line; the rest stays as it was.
TEST(GrfFile, ShortOrDamagedFileLoadsUpToItsLastGoodLine)
{
    struct Case {
        const char *name;
        int keepLines;     // lines of the good file kept
        int damagedLine;   // 1-based line replaced by `damage`, 0 for none
        const char *damage;
        int linesRead;
    };
    const Case cases[] = {
        {"100 lines", 100, 0, "", 100},
        {"empty", 0, 0, "", 0},
        {"text where a value belongs", 1982, 60, "abc", 59},
        {"group 9", 1982, 1, " 9 ", 0},
        {"sample count beyond int16", 1982, 3, " 70000 ", 2},
        {"style beyond int32", 1982, 44, " 2147483648 ", 43},
        {"blank scale line", 1982, 49, "", 48},
        {"parameter number 32", 1982, 7, " 32 ", 6},
        {"parameter number -1", 1982, 38, "-1 ", 37},
    };
    QTemporaryDir dir;
    const QString good = dir.filePath("good.grf");
    Station st = filledStation();
    for (auto &channel : st.trend.Graf_Values)
        channel.fill(1.5f);
    ASSERT_TRUE(grf::save(good, st, grf::ChartScale{}));
    QList<QByteArray> lines = linesOf(good);
    ASSERT_EQ(lines.size(), 1982);

    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QByteArray bytes;
        for (int i = 0; i < c.keepLines; ++i)
            bytes += (i + 1 == c.damagedLine ? QByteArray(c.damage) + '\r' : lines[i]) + '\n';
        const QString path = dir.filePath(QString::fromLatin1(c.name) + ".grf");
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();

        Station back;
        trendBlock(back);
        back.trend.Graf_Group = 6;
        back.trend.Graf_SampleCount = 11;
        for (auto &channel : back.trend.Graf_Values)
            channel.fill(7.0f);
        grf::ChartScale scale;
        const grf::LoadResult r = grf::load(path, back, scale);
        EXPECT_TRUE(r.opened);
        EXPECT_EQ(r.linesRead, c.linesRead);
        EXPECT_EQ(back.trend.Graf_Group, c.linesRead >= 1 ? 2 : 6);
        EXPECT_EQ(back.trend.Graf_SampleCount, c.linesRead >= 3 ? 321 : 11);
        // Value lines 59.. are channel 0 samples 0..; one read, the next left.
        const int valuesRead = std::max(0, c.linesRead - 58);
        if (valuesRead > 0) {
            EXPECT_EQ(back.trend.Graf_Values[0][std::size_t(valuesRead - 1)], 1.5f);
        }
        EXPECT_EQ(back.trend.Graf_Values[0][std::size_t(valuesRead)], 7.0f);
        EXPECT_EQ(back.trend.Graf_Values[3][480], 7.0f);
    }

    Station none;
    grf::ChartScale scale;
    EXPECT_FALSE(grf::load(dir.filePath("missing.grf"), none, scale).opened);
}

// A file written where the decimal separator is a comma reads the same values; a parameter
// number outside the trend block's 32 inputs stops the reading before any name is written, so
// no other block's texts change.
TEST(GrfFile, ReadsDecimalCommasAndKeepsNamesInsideTheTrendBlock)
{
    QTemporaryDir dir;
    const QString good = dir.filePath("good.grf");
    Station st = filledStation();
    ASSERT_TRUE(grf::save(good, st, grf::ChartScale{}));
    QList<QByteArray> lines = linesOf(good);
    ASSERT_EQ(lines.size(), 1982);

    struct Case {
        int line;   // 1-based
        const char *text;
        int channel, sample;   // the value it holds (channel -1: lower scale limit of channel 0)
        float want;
    };
    const Case commas[] = {
        {59, " 40,78531 ", 0, 0, 40.78531f}, {60, "-0,5 ", 0, 1, -0.5f},      {61, " 1,5E-05 ", 0, 2, 1.5e-05f},
        {59 + 481, " 3 ", 1, 0, 3.0f},       {49, "-12,25 ", -1, 0, -12.25f},
    };
    QList<QByteArray> edited = lines;
    for (const Case &c : commas)
        edited[c.line - 1] = QByteArray(c.text) + '\r';
    const auto write = [&dir](const QString &name, const QList<QByteArray> &ls) {
        const QString path = dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return QString();
        for (const QByteArray &l : ls)
            f.write(l + '\n');
        return path;
    };
    Station back;
    trendBlock(back);
    grf::ChartScale scale;
    const grf::LoadResult r = grf::load(write("comma.grf", edited), back, scale);
    EXPECT_TRUE(r.complete()) << r.linesRead;
    for (const Case &c : commas) {
        const float got =
            c.channel < 0 ? scale.lo[0] : back.trend.Graf_Values[std::size_t(c.channel)][std::size_t(c.sample)];
        EXPECT_EQ(got, c.want) << c.text;
    }

    // Parameter 200 for channel 0 of the file's group 2 would put its name 167 places past
    // the trend block's texts.
    edited = lines;
    edited[6 + 8] = " 200 \r";
    Station other;
    trendBlock(other);
    for (int i = TextBase; i < TextBase + 300; ++i)
        other.project.blockTexts[std::size_t(i)] = QStringLiteral("текст %1").arg(i);
    const grf::LoadResult bounded = grf::load(write("param.grf", edited), other, scale);
    EXPECT_EQ(bounded.linesRead, 14);
    for (int i = TextBase + 34; i < TextBase + 300; ++i)
        ASSERT_EQ(other.project.blockTexts[std::size_t(i)], QStringLiteral("текст %1").arg(i)) << i;
}

TEST(GrfFile, DefaultNameFromTitleDateAndFirstTime)
{
    Station st = filledStation();
    st.project.blockTexts[TextBase + 33] = QStringLiteral("Котел 1");
    st.trend.Graf_TimeText = QStringLiteral("05/03/24 07:05:09  07:06:09  ");
    EXPECT_EQ(grf::defaultFileName(st), QStringLiteral("Графік Котел 1 05_03_24 , 07-05-09"));
}

TEST(GrfFile, SaveIntoAMissingFolderFails)
{
    QTemporaryDir dir;
    const Station st = filledStation();
    QString error;
    EXPECT_FALSE(grf::save(dir.filePath("no/such/folder/page.grf"), st, grf::ChartScale{}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(grf::saveFailedMessage(), QStringLiteral("Файл заблоковано!!!"));
}
