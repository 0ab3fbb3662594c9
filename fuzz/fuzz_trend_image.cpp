// The trend download's answer check and the decoding walk over a trend image: any bytes, of
// any length, decode without reading outside the image, and the walk's labels and page stay in
// their ranges.
//
// Input: the Find_State byte, then the image (short images read as padded with zeros).
#include "FuzzRig.h"

#include "trends/TrendImage.h"

#include <cmath>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const QByteArrayView image(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    trend::answerGood(image);

    static const auto palette = trend::palette();
    trend::TrendPage page;
    int labels = 0, draws = 0;
    trend::WalkEvents events;
    events.label = [&](const trend::TimeLabel &l) {
        FUZZ_CHECK(l.k >= 0 && l.k < trend::Stamps);
        FUZZ_CHECK(!l.texts().empty());
        FUZZ_CHECK(l.timeText().size() <= 40);
        ++labels;
    };
    events.draw = [&](const trend::TrendPage &p) {
        FUZZ_CHECK(p.sampleCount <= trend::Samples + 1 || p.page != trend::CurrentPage);
        ++draws;
    };
    trend::walk(image, data[0] % 3, palette, page, events);
    FUZZ_CHECK(labels <= trend::Stamps);
    FUZZ_CHECK(draws <= 1);
    return 0;
}
