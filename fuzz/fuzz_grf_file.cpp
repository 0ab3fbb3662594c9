// The trend file reader: any file content reads at most the file's fixed number of lines into
// the trend state, and the state's tables keep their sizes.
#include "FuzzRig.h"

#include "trends/GrfFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdint>

namespace {

struct Rig {
    Station pristine;
    Station station;
    QTemporaryDir dir{QStringLiteral("/dev/shm/tablo-fuzz-XXXXXX")};
    QString path;
};
Rig *rig = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    rig = new Rig;
    fuzz::loadPlant(rig->pristine);
    rig->path = rig->dir.filePath(QStringLiteral("input.grf"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QFile f(rig->path);
    FUZZ_CHECK(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(f.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size));
    f.close();

    rig->station = rig->pristine;
    grf::ChartScale scale;
    const grf::LoadResult r = grf::load(rig->path, rig->station, scale);
    FUZZ_CHECK(r.opened);
    FUZZ_CHECK(r.linesRead >= 0 && r.linesRead <= grf::Lines);
    FUZZ_CHECK(rig->station.Graf_Group >= 0 && rig->station.Graf_Group <= 7);
    fuzz::checkTables(rig->station);
    return 0;
}
