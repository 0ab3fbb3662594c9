// The trend download's answer check and the decoding walk over a trend image: any bytes, of
// any length, decode without reading or writing outside the image and the page, with at most
// one label per stamp and one drawing.
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
    trend::imageFault(image, data[0] % 3, trend::CurrentPage);
    trend::imageFault(image, 0, data[0] % 103);

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
    // The sample count is the controller's word (up to 65535, or negative as int16): the
    // consumers clamp it, the walk must only never store past sample 479.
    events.draw = [&](const trend::TrendPage &) { ++draws; };
    trend::walk(image, data[0] % 3, palette, page, events);
    FUZZ_CHECK(labels <= trend::Stamps);
    FUZZ_CHECK(draws <= 1);
    return 0;
}
