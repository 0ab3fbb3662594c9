// The trend file reader: any file content reads at most the file's fixed number of lines into
// the trend state, and the state's tables keep their sizes.
#include "FileInput.h"
#include "station/Station.h"

#include "trends/GrfFile.h"

#include <cstdint>

namespace {

struct Rig {
    Station pristine;
    Station station;
    fuzz::FileInput file{QStringLiteral("input.grf")};
};
Rig *rig = nullptr;

}   // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    rig = new Rig;
    fuzz::loadPlant(rig->pristine);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString &path = rig->file.write(data, size);
    // The reader fills the trend state and the project's names.
    rig->station.project = rig->pristine.project;
    rig->station.trend.Graf_Group = 0;
    grf::ChartScale scale;
    const grf::LoadResult r = grf::load(path, rig->station, scale);
    FUZZ_CHECK(r.opened);
    FUZZ_CHECK(r.linesRead >= 0 && r.linesRead <= grf::Lines);
    FUZZ_CHECK(rig->station.trend.Graf_Group >= 0 && rig->station.trend.Graf_Group <= 7);
    fuzz::checkTables(rig->station);
    return 0;
}
