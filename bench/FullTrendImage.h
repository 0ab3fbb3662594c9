#pragma once
// A full trend image for the benchmarks: 480 samples of four channels, sample i held as the
// archive word word(i), eight stamps a minute apart, and the palette bytes given.
#include "trends/TrendImage.h"

#include <QByteArray>
#include <cstdint>
#include <cstring>
#include <initializer_list>

template <class Word>
QByteArray fullTrendImage(Word word, std::initializer_list<char> palette)
{
    QByteArray img(trend::ImageBytes, '\0');
    for (int i = 0; i < trend::Samples * trend::Channels; ++i) {
        const std::uint32_t w = word(i);
        for (int k = 0; k < 4; ++k)
            img[4 * i + k] = char(w >> (8 * k) & 0xFF);
    }
    for (int k = 0; k < 8; ++k) {
        const char stamp[6] = {7, char(k), 9, 24, 3, 5};
        std::memcpy(img.data() + trend::StampsAt + 6 * k, stamp, 6);
    }
    img[trend::SampleCountAt] = char(480 >> 8);
    img[trend::SampleCountAt + 1] = char(480 & 0xFF);
    img[trend::DeliveredPageAt] = char(trend::CurrentPage);   // the page asked for
    int at = trend::PaletteAt;
    for (const char colour : palette)
        img[at++] = colour;
    return img;
}
