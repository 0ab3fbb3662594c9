// Writes the alarm sound AVARIA.WAV: two alternating tones (880 Hz, 660 Hz), 0.6 s of 16-bit
// mono PCM at 22050 Hz, with short fades so the tones do not click.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

void put16(std::vector<unsigned char> &out, unsigned v)
{
    out.push_back(static_cast<unsigned char>(v & 0xFF));
    out.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
}

void put32(std::vector<unsigned char> &out, std::uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

}   // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: avaria_gen OUT.wav\n");
        return 2;
    }
    constexpr int rate = 22050;
    constexpr int toneSamples = rate / 5;   // 0.2 s each
    constexpr int fade = rate / 200;        // 5 ms
    const double tones[] = {880.0, 660.0, 880.0};
    std::vector<std::int16_t> samples;
    for (double f : tones) {
        for (int i = 0; i < toneSamples; ++i) {
            double env = 1.0;
            if (i < fade)
                env = double(i) / fade;
            else if (i > toneSamples - fade)
                env = double(toneSamples - i) / fade;
            const double s = 0.6 * env * std::sin(2.0 * M_PI * f * i / rate);
            samples.push_back(static_cast<std::int16_t>(std::lround(s * 32767.0)));
        }
    }
    std::vector<unsigned char> out;
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    for (char c : {'R', 'I', 'F', 'F'})
        out.push_back(static_cast<unsigned char>(c));
    put32(out, 36 + dataBytes);
    for (char c : {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '})
        out.push_back(static_cast<unsigned char>(c));
    put32(out, 16);
    put16(out, 1);   // PCM
    put16(out, 1);   // mono
    put32(out, rate);
    put32(out, rate * 2);   // bytes per second
    put16(out, 2);          // block align
    put16(out, 16);         // bits per sample
    for (char c : {'d', 'a', 't', 'a'})
        out.push_back(static_cast<unsigned char>(c));
    put32(out, dataBytes);
    for (std::int16_t s : samples)
        put16(out, static_cast<std::uint16_t>(s));
    std::FILE *f = std::fopen(argv[1], "wb");
    if (!f || std::fwrite(out.data(), 1, out.size(), f) != out.size() || std::fclose(f) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
