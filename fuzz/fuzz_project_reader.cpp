// The project file reader and the netlist import behind it, from memory. An input is a project
// file, optionally followed by NetlistMark and the netlist it names (else the plant's netlist).
// Whatever the bytes, the load either completes or stops at a line of the file, and no table
// changes size.
#include "FuzzRig.h"
#include "station/Station.h"

#include <cstdint>
#include <cstring>
#include <memory>

namespace {

constexpr char NetlistMark[] = "\n=== netlist ===\n";

struct Rig {
    Station pristine;
    Station station;
    fuzz::MemoryFiles files;
    QByteArray plantNetlist = fuzz::netlistBytes(fuzz::plantNetlist());
};
Rig *rig = nullptr;

}   // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    rig = new Rig;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype mark = input.indexOf(NetlistMark);
    const QByteArray project = mark < 0 ? input : input.left(mark);
    rig->files.netlist = mark < 0 ? rig->plantNetlist : input.mid(mark + qsizetype(std::strlen(NetlistMark)));

    // Each input starts from a fresh model and catalogue (the version line changes catalogue
    // counts, the import rewrites catalogue columns); the loader touches nothing else of the
    // station but the download flag.
    rig->station.project = rig->pristine.project;
    rig->station.catalogue = rig->pristine.catalogue;
    rig->station.poll.downloadStarted = false;
    fuzz::QuietView view;
    fuzz::QuietHost host;
    ProjectReader reader(rig->station, view, host);
    const bool ok = reader.loadContent(QByteArray(project.constData(), project.size()),
                                       QStringLiteral("/plant/input.prt"), rig->files);

    const ProjectModel &m = rig->station.project;
    FUZZ_CHECK(m.projectLoaded == (ok ? 1 : 0));
    FUZZ_CHECK(ok == (host.messages == 0));
    FUZZ_CHECK(ok || !reader.failure().isEmpty());
    // A stop names a line of the file or the one after its last (the file ended there); a file
    // has at most one line more than it has line ends.
    FUZZ_CHECK(reader.failedLine() >= 0 && reader.failedLine() <= project.count('\n') + project.count('\r') + 2);
    fuzz::checkTables(rig->station);
    return 0;
}
