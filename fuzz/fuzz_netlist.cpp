// The netlist tokeniser and the import: any bytes give at most the table's worth of tokens,
// and the import fills only the model's tables, reporting at most one netlist error.
#include "FuzzRig.h"
#include "station/Station.h"

#include "project/NetlistImport.h"
#include "project/NetlistTokens.h"

#include <cstdint>

namespace {

struct Rig {
    Station station;
    BlockCatalogue pristineCatalogue;
};
Rig *rig = nullptr;

}   // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    rig = new Rig;
    rig->pristineCatalogue = rig->station.catalogue;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // The import rebuilds every table it fills; only the catalogue's rewritten columns carry
    // over from one input to the next.
    rig->station.catalogue = rig->pristineCatalogue;
    ProjectModel &m = rig->station.project;
    NetlistTokens t = NetlistTokens::parse(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)),
                                           ProjectModel::MaxTokens);
    FUZZ_CHECK(t.tokens.size() <= static_cast<std::size_t>(ProjectModel::MaxTokens));
    m.netTokens = std::move(t.tokens);
    m.netTokensOverflow = t.overflow;
    m.netTokenCount = static_cast<int>(m.netTokens.size()) + 1;

    fuzz::QuietHost host;
    NetlistImport(m, rig->station.catalogue, host).importNetlist(m.netTokenCount);
    FUZZ_CHECK(host.netlistErrors <= 1);
    FUZZ_CHECK(host.parameterErrors <= 99);
    if (host.netlistErrors == 0) {
        for (int n = 1; n <= 99; ++n) {
            const int type = m.blockType[static_cast<std::size_t>(n)];
            FUZZ_CHECK(type >= 0 && type <= BlockCatalogue::TypeCount);
        }
    }
    fuzz::checkTables(rig->station);
    return 0;
}
