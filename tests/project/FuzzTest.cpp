// Random and mutated project files and netlists: the loader and the import never crash, never
// write outside a table, and end either loaded or stopped at a line of the file.
#include "project/LoadRig.h"
#include "station/Station.h"

#include "project/NetlistImport.h"
#include "project/NetlistTokens.h"
#include "text/LineFile.h"

#include <QRandomGenerator>

using namespace fixture;

namespace {

// After an import that ran to its end every block type is one of the catalogue's.
void expectTablesIntact(const ProjectModel &m, bool importCompleted)
{
    EXPECT_EQ(m.blockParams.size(), static_cast<std::size_t>(ProjectModel::ParamCount));
    EXPECT_EQ(m.blockTexts.size(), static_cast<std::size_t>(ProjectModel::TextCount));
    EXPECT_LE(m.netTokens.size(), static_cast<std::size_t>(ProjectModel::MaxTokens));
    for (int n = 1; n <= 99; ++n) {
        const int t = m.blockType[static_cast<std::size_t>(n)];
        if (importCompleted) {
            EXPECT_GE(t, 0);
            EXPECT_LE(t, 50);
        }
        EXPECT_GE(m.blockParamBase[static_cast<std::size_t>(n)], 0);
        EXPECT_LE(m.blockParamBase[static_cast<std::size_t>(n)], ProjectModel::ParamCount);
    }
    EXPECT_GE(m.Event_Base, 0);
}

NetList sampleNet()
{
    NetList net;
    std::array<NamedPair, 32> items;
    for (int c = 0; c < 32; ++c)
        items[static_cast<std::size_t>(c)] = {double(c), double(c + 1), QStringLiteral("Назва %1").arg(c)};
    net.parts.push_back(part(1, QStringLiteral("A_I"), analogInputValues(1, {})));
    net.parts.push_back(
        part(4, QStringLiteral("D_O"), digitalOutputValues(1, {true, false, true, false, true, false, true, false})));
    net.parts.push_back(part(5, QStringLiteral("SUM8_1"), numberValues({1, 2, 3, 4, 5, 6, 7, 8, 9})));
    net.parts.push_back(part(7, QStringLiteral("S_P"), setPointValues(QStringLiteral("SP"), {})));
    net.parts.push_back(
        part(8, QStringLiteral("PAN_INC_DEC_REG"), panelValues({}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13})));
    net.parts.push_back(part(9, QStringLiteral("OSC4_GEN"), numberValues({1, 2, 3, 4, 5, 6, 7, 8})));
    net.parts.push_back(part(10, QStringLiteral("INV")));
    net.parts.push_back(part(11, QStringLiteral("LOG"), logicValues({true, false, true}, {})));
    net.parts.push_back(part(98, QStringLiteral("GRA"), archiveValues(0, QStringLiteral("T"), items)));
    net.parts.push_back(part(99, QStringLiteral("JUR"), archiveValues(0, QStringLiteral("J"), items)));
    net.nets.push_back({QStringLiteral("N1"), {{QStringLiteral("U5"), 1}, {QStringLiteral("U1"), 2}}});
    return net;
}

QString randomLine(QRandomGenerator &rng)
{
    static const char *pieces[] = {"",     " 0 ",      "-1",        "65536",         "1e40",
                                   "abc",  "(attr \"", "\"",        "(compInst \"U", "(originalName \"",
                                   "INV",  "99",       "100",       "PAN_INC_DEC",   "OSC4_GEN",
                                   ",",    ")",        "(netlist ", "\\x.bmp",       "3.5",
                                   "Реле", "GRA",      "JUR",       "U98\"",         "\"\"\""};
    QString s;
    const int parts = rng.bounded(1, 5);
    for (int k = 0; k < parts; ++k)
        s += QString::fromUtf8(pieces[rng.bounded(int(std::size(pieces)))]);
    return s;
}

void mutate(QStringList &lines, QRandomGenerator &rng)
{
    const int edits = rng.bounded(1, 6);
    for (int e = 0; e < edits && !lines.isEmpty(); ++e) {
        const int at = rng.bounded(static_cast<int>(lines.size()));
        switch (rng.bounded(5)) {
        case 0: lines.removeAt(at); break;
        case 1: lines[at] = randomLine(rng); break;
        case 2: lines.insert(at, randomLine(rng)); break;
        case 3: lines = lines.mid(0, at); break;
        default: lines[at] = lines[at].left(rng.bounded(static_cast<int>(lines[at].size()) + 1)); break;
        }
    }
}

}   // namespace

TEST(Fuzz, MutatedProjectFilesEitherLoadOrStopAtALineOfTheFile)
{
    QRandomGenerator rng(20190901);
    PrtProject base;
    base.version = 5;
    base.elements.valueLabels[1][1].present = 1;
    base.elements.blockType[5] = 10;
    base.elements.blockType[7] = 25;
    base.elements.blockType[20] = 48;
    base.elements.blockType[98] = 41;
    const QStringList good = prtLines(base);
    for (int round = 0; round < 40; ++round) {
        LoadRig rig;
        ASSERT_TRUE(writeNet(rig.path(QStringLiteral("plant.net")), sampleNet()));
        QStringList lines = good;
        // Mostly edits near the header and the block sections, where counts steer the reading.
        if (round % 2 == 0) {
            const int at = rng.bounded(1, 40);
            lines[at] = randomLine(rng);
        } else {
            mutate(lines, rng);
        }
        const QString prt = rig.path(QStringLiteral("project.prt"));
        ASSERT_TRUE(writeLines(prt, lines));
        const bool ok = rig.load(prt);
        EXPECT_EQ(rig.model().projectLoaded, ok ? 1 : 0);
        if (!ok && rig.failedLine > 0) {
            EXPECT_LE(rig.failedLine, lines.size() + 1);
        }
        expectTablesIntact(rig.model(), ok && rig.host.netlistErrors.isEmpty());
    }
}

TEST(Fuzz, RandomAndMutatedNetlistsNeverWriteOutsideTheTables)
{
    QRandomGenerator rng(7);
    const QStringList good = netLines(sampleNet());
    for (int round = 0; round < 400; ++round) {
        QStringList lines = good;
        if (round % 4 == 3) {
            lines.clear();
            lines << QStringLiteral("(netlist \"r\"");
            const int n = rng.bounded(200);
            for (int k = 0; k < n; ++k)
                lines << randomLine(rng);
        } else {
            mutate(lines, rng);
        }
        auto st = std::make_unique<Station>();
        RecordingHost listener;
        QByteArray bytes = text::encode1251(lines.join(QStringLiteral("\r\n")));
        if (round % 5 == 0) {
            // Raw bytes: control characters and high code points.
            for (int k = 0; k < 20 && !bytes.isEmpty(); ++k)
                bytes[rng.bounded(static_cast<int>(bytes.size()))] = static_cast<char>(rng.bounded(256));
        }
        NetlistTokens t = NetlistTokens::parse(bytes, ProjectModel::MaxTokens);
        ProjectModel &m = st->project;
        m.netTokens = std::move(t.tokens);
        m.netTokenCount = static_cast<int>(m.netTokens.size()) + 1;
        NetlistImport(m, st->catalogue, listener).importNetlist(m.netTokenCount);
        expectTablesIntact(m, listener.netlistErrors.isEmpty());
        EXPECT_LE(listener.netlistErrors.size(), 1);
        EXPECT_LE(listener.parameterErrors.size(), 99);
        if (listener.netlistErrors.isEmpty()) {
            EXPECT_EQ(m.blockType[97], 43);
            EXPECT_EQ(m.blockType[99], 42);
        }
    }
}
