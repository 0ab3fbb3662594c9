// The report packet answer (check and decoding into the report table) and the .rep settings
// reader. Input: a byte choosing the packet (0..3), then the answer; the same bytes are also
// read as a .rep file.
#include "FileInput.h"
#include "station/Station.h"

#include "reports/ReportFile.h"
#include "reports/ReportPacket.h"

#include <cstdint>

namespace {

struct Rig {
    Station station;
    fuzz::FileInput file{QStringLiteral("input.rep")};
};
Rig *rig = nullptr;

}   // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    rig = new Rig;
    fuzz::loadPlant(rig->station);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    Station &st = rig->station;
    const QByteArrayView answer(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const report::Answer a = report::checkAnswer(answer);
    FUZZ_CHECK(a != report::Answer::Good || answer.size() >= report::AnswerLength);
    // The engine decodes the data of a good answer; any data of full length must decode.
    if (answer.size() >= report::DataFirst - 1 + 4 * report::BlockBytes) {
        const int paramNo = 4 * (data[0] % report::Packets);
        const int next = report::decodePacket(answer.sliced(report::DataFirst - 1), paramNo, st);
        FUZZ_CHECK(next >= paramNo && next <= report::Params);
        FUZZ_CHECK(st.report.Rep_Table.size() == static_cast<std::size_t>(ReportState::RepRows));
    }

    // The settings file: numbers are brought into their ranges, a link number outside 1..9 is
    // not taken.
    st.project.linkKind = 1;
    if (report::loadSettings(rig->file.write(data, size), st)) {
        FUZZ_CHECK(st.report.Rep_Precision >= 0 && st.report.Rep_Precision <= 3);
        FUZZ_CHECK(st.report.Rep_TriggerElement >= 0 && st.report.Rep_TriggerElement <= 31);
        FUZZ_CHECK(st.project.linkKind >= 1 && st.project.linkKind <= 9);
    }
    return 0;
}
