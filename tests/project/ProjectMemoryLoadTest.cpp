// A project loaded from memory: no file exists at the path given, the names inside it go
// through the injected lookup, and failures name the file and line as a load from disk does.
#include "project/LoadRig.h"

#include "text/LineFile.h"

using namespace fixture;

namespace {

// Resolves by marking the name, so the test sees that the reader used this lookup; reads the
// netlist only when one is held.
class MarkingFiles : public ProjectFiles {
public:
    QString resolve(const QString &folder, const QString &name) const override
    {
        resolved << name;
        return folder + u'|' + name;
    }
    std::optional<QByteArray> readNetlist(const QString &path) const override
    {
        asked << path;
        return netlist;
    }
    std::optional<QByteArray> netlist;
    mutable QStringList resolved, asked;
};

struct MemoryCase {
    const char *name;
    int keepLines;   // 0: the whole file
    bool netlistHeld;
    bool loads;
    int failedLine;
    const char *message;   // start of the message shown, "" when none
};

}   // namespace

class MemoryLoad : public ::testing::TestWithParam<MemoryCase> {};

TEST_P(MemoryLoad, NamesGoThroughTheLookupAndFailuresNameFileAndLine)
{
    const MemoryCase c = GetParam();
    PrtProject p;
    p.netlist = QStringLiteral("\\Schema\\plant.net");
    p.pagePicture[0] = QStringLiteral("\\Boiler.bmp");
    p.pageEnabled[0] = 1;
    p.elements.blockType[5] = 10;
    NetList net;
    net.parts.push_back(part(5, QStringLiteral("SUM8_1"), numberValues({1, 2, 3, 4, 5, 6, 7, 8, 9})));

    QStringList lines = prtLines(p);
    if (c.keepLines)
        lines = lines.mid(0, c.keepLines);
    MarkingFiles files;
    if (c.netlistHeld)
        files.netlist = text::encode1251(netLines(net).join(QStringLiteral("\r\n")));

    LoadRig rig;
    rig.view.picturesMustExist = false;
    ProjectReader reader(*rig.station, rig.view, rig.host);
    const bool ok = reader.loadContent(text::encode1251(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")),
                                       QStringLiteral("/mem/plant/project.prt"), files);

    EXPECT_EQ(ok, c.loads);
    EXPECT_EQ(rig.model().projectLoaded, c.loads ? 1 : 0);
    EXPECT_EQ(reader.failedLine(), c.failedLine);
    if (*c.message) {
        ASSERT_EQ(rig.host.messages.size(), 1);
        EXPECT_TRUE(rig.host.messages[0].startsWith(QString::fromUtf8(c.message)))
            << rig.host.messages[0].toStdString();
    } else {
        EXPECT_TRUE(rig.host.messages.isEmpty()) << rig.host.messages.join(u'\n').toStdString();
    }
    if (c.keepLines == 0) {
        // Netlist first (header line 7), then the picture of the one enabled page.
        EXPECT_EQ(files.resolved, (QStringList{QStringLiteral("\\Schema\\plant.net"), QStringLiteral("\\Boiler.bmp")}));
        EXPECT_EQ(files.asked, QStringList{QStringLiteral("/mem/plant|\\Schema\\plant.net")});
        EXPECT_EQ(rig.model().netlistPath, QStringLiteral("/mem/plant|\\Schema\\plant.net"));
        EXPECT_GE(rig.view.callIndex(QStringLiteral("setupPage 0 Boiler /mem/plant|\\Boiler.bmp 1")), 0);
    }
    if (c.loads) {
        EXPECT_EQ(rig.model().blockType[5], 10);
        // SUM: setting 0 at area position 8, setting 1 at 0.
        EXPECT_EQ(rig.model().blockParams[rig.model().blockParamBase[5] + 8], 1.0f);
        EXPECT_EQ(rig.model().blockParams[rig.model().blockParamBase[5]], 2.0f);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MemoryLoad,
    ::testing::Values(MemoryCase{"whole", 0, true, true, 0, ""},
                      MemoryCase{"netlistUnreadable", 0, false, false, 0,
                                 "Не вдалося відкрити файл схеми!!!\n/mem/plant|\\Schema\\plant.net"},
                      MemoryCase{
                          "endsAtLine20", 20, true, false, 21,
                          "Помилка читання файлу проекту!!!\n/mem/plant/project.prt\nРядок 21: файл закінчився"}),
    [](const ::testing::TestParamInfo<MemoryCase> &info) { return std::string(info.param.name); });
