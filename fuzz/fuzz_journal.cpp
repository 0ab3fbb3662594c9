// The journal page answer as the journal window decodes it, and the .jur file reader. Input:
// a flags byte (bit 0: the page was asked as the current page or by a find), then the answer
// from its first byte; the same bytes are also read as a .jur file.
#include "FileInput.h"
#include "station/Station.h"

#include "journal/JournalFile.h"
#include "journal/JournalPage.h"

#include <algorithm>
#include <cstdint>

namespace {

struct Rig {
    Station station;
    fuzz::FileInput file{QStringLiteral("input.jur")};
};
Rig *rig = nullptr;

void checkPage(const journal::Buffer &buf)
{
    for (int r = 0; r < journal::Records; ++r) {
        const journal::Record rec = journal::record(buf, r);
        int last = -1;
        for (int n : journal::events(rec)) {
            FUZZ_CHECK(n > last && n < 32);
            last = n;
        }
        FUZZ_CHECK(!journal::dateTimeText(rec).isEmpty());
    }
    FUZZ_CHECK(journal::eventCount(buf) >= 2 && journal::eventCount(buf) <= 32 * 32 + 2);
}

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
    st.journal.Jurnal_Buf.fill(0);
    std::copy_n(data + 1, std::min<std::size_t>(size - 1, 330), st.journal.Jurnal_Buf.begin() + 1);
    journal::takePage(st, data[0] & 1);
    FUZZ_CHECK(st.journal.Jurnal_Cur_Rec >= 1 && st.journal.Jurnal_Cur_Rec <= 32);
    FUZZ_CHECK(st.journal.Jurnal_Page >= 0 && st.journal.Jurnal_Page < journal::Pages);
    checkPage(st.journal.Jurnal_Buf);
    for (const journal::EventRow &row : journal::eventRows(st)) {
        FUZZ_CHECK(row.record >= 0 && row.record < journal::Records);
        FUZZ_CHECK(row.event >= 0 && row.event < 32);
    }

    const std::optional<journal::JurContent> jur = journal::loadJur(rig->file.write(data, size));
    if (jur) {
        FUZZ_CHECK(jur->page >= 0 && jur->page < journal::Pages);
        checkPage(jur->buf);
    }
    return 0;
}
