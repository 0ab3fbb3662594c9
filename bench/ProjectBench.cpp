// Loading a full-size project: every element record of every kind present on all nine page
// records, 99 blocks in the project file and a netlist with blocks of most types, GRA at 98
// and JUR at 99. Measures the whole load (file reading, model filling, netlist import)
// against a view that only counts the elements.
#include "station/Station.h"
#include "project/ProjectReader.h"
#include "fixture/NetWriter.h"
#include "fixture/PrtWriter.h"
#include "fixture/RecordingLoad.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

using namespace fixture;

namespace {

struct FullProject {
    QTemporaryDir dir;
    QString prt;
    int tokens = 0;

    FullProject()
    {
        PrtProject p;
        fillFullProject(p);
        NetList net;
        const char *libs[] = {"A_I", "D_O", "SUM8_1", "PID_ANALOG1", "S_P", "TIMER_4", "OSC4_GEN", "PAN_INC_DEC_REG",
                              "LOG", "MUL", "CMP",    "COU",         "REG", "AND4_2",  "OR2_4",    "MUX1_6",
                              "RTC", "LIM"};
        std::array<NamedPair, 32> items;
        for (int c = 0; c < 32; ++c)
            items[static_cast<std::size_t>(c)] = {-10.0 - c, 100.0 + c, QStringLiteral("Канал %1").arg(c)};
        std::array<SetPoint, 8> sp;
        for (int j = 0; j < 8; ++j)
            sp[static_cast<std::size_t>(j)] = {QStringLiteral("Завдання %1").arg(j), 1.5 * j};
        BlockCatalogue cat;
        for (int n = 1; n <= 96; ++n) {
            const QString lib = QString::fromLatin1(n <= 4 ? "PRO" : n <= 8 ? "COD" : libs[n % std::size(libs)]);
            QStringList values;
            const QString code = lib.left(3);
            if (code == u"A_I")
                values = analogInputValues(1, {});
            else if (code == u"D_O")
                values = digitalOutputValues(1, {true, false, true, false, true, false, true, false});
            else if (code == u"S_P")
                values = setPointValues(QStringLiteral("Уставки"), sp);
            else if (code == u"PAN")
                values = panelValues({QStringLiteral("Пульт")}, std::vector<double>(13, 2.5));
            else if (code == u"LOG")
                values = logicValues({true, false, true}, {1, 2, 3, 4, 5, 6});
            else if (code == u"REG")
                values = {QStringLiteral("Фронт")};
            else
                values = numberValues(std::vector<double>(n <= 4 ? 129 : n <= 8 ? 97 : 11, 12.25));
            net.parts.push_back(part(n, lib, values));
            const auto t = cat.typeOf(code);
            p.elements.blockType[static_cast<std::size_t>(n)] = static_cast<std::int16_t>(t ? *t : 18);
        }
        net.parts.push_back(part(98, QStringLiteral("GRA"), archiveValues(0, QStringLiteral("Тренди"), items)));
        net.parts.push_back(part(99, QStringLiteral("JUR"), archiveValues(0, QStringLiteral("Журнал"), items)));
        p.elements.blockType[97] = 43;
        p.elements.blockType[98] = 41;
        p.elements.blockType[99] = 42;
        p.elements.blockType[50] = 48;
        for (int n = 1; n < 96; n += 2)
            net.nets.push_back({QStringLiteral("N%1").arg(n),
                                {{QStringLiteral("U%1").arg(n), 1}, {QStringLiteral("U%1").arg(n + 1), 2}}});
        writeNet(dir.filePath(QStringLiteral("plant.net")), net);
        tokens = static_cast<int>(netLines(net).size());
        prt = dir.filePath(QStringLiteral("plant.prt"));
        writePrt(prt, p);
    }
};

void BM_LoadFullProject(benchmark::State &state)
{
    static FullProject project;
    auto station = std::make_unique<Station>();
    RecordingView view;
    view.recordCalls = false;
    view.picturesMustExist = false;
    RecordingHost host;
    for (auto _ : state) {
        ProjectReader reader(*station, view, host);
        if (!reader.load(project.prt)) {
            state.SkipWithError("load failed");
            break;
        }
        benchmark::DoNotOptimize(station->project.blockParams.data());
    }
    state.counters["elements"] = view.createdCount / double(std::max<std::int64_t>(1, state.iterations()));
    state.counters["netTokens"] = static_cast<double>(station->project.netTokens.size());
    state.counters["paramErrors"] = host.parameterErrors.size();
}
BENCHMARK(BM_LoadFullProject)->Unit(benchmark::kMillisecond);

}   // namespace

BENCHMARK_MAIN();
