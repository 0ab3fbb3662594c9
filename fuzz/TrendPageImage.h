#pragma once
// A trend image as the controller serves one: rising values, eight valid stamps in order,
// 300 samples, parameters 0..31, delivered as `deliveredPage`. Shared by the seeds and the
// download target.
#include "trends/TrendImage.h"
#include <QByteArray>
#include <cstdint>

namespace fuzz {

inline QByteArray trendPageImage(int deliveredPage)
{
    QByteArray image(trend::ImageBytes, '\0');
    for (int i = 0; i < trend::Samples * trend::Channels; ++i) {
        const std::uint32_t word = 0x42000000u + std::uint32_t(i) * 0x1000u;
        for (int b = 0; b < 4; ++b)
            image[4 * i + b] = char((word >> (8 * b)) & 0xFF);
    }
    for (int k = 0; k < trend::Stamps; ++k) {
        const char stamp[6] = {char(10 + k), char(5 * k), char(k), 24, 3, 7};
        image.replace(trend::StampsAt + 6 * k, 6, QByteArray(stamp, 6));
    }
    image[trend::CurrentIndexAt] = 17;
    image[trend::LineWidthAt] = 1;
    for (int ch = 0; ch < 4; ++ch)
        image[trend::PaletteAt + ch] = char(1 + ch);
    image[trend::SampleCountAt] = char(300 >> 8);
    image[trend::SampleCountAt + 1] = char(300 & 0xFF);
    image[trend::DeliveredPageAt] = char(deliveredPage);
    for (int p = 0; p < 32; ++p)
        image[trend::ParamNumbersAt + p] = char(p);
    return image;
}

}   // namespace fuzz
