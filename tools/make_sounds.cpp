// make_sounds DIR
//
// Writes the five notification sounds as short 16-bit mono PCM wave files. Each is a few
// tones with a soft attack and release, distinct enough to tell the events apart by ear.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 22050;

struct Tone {
    double hz;
    double seconds;
};

void put16(std::ofstream& f, uint16_t v) {
    const char b[2] = {char(v & 0xff), char(v >> 8)};
    f.write(b, 2);
}

void put32(std::ofstream& f, uint32_t v) {
    const char b[4] = {char(v & 0xff), char((v >> 8) & 0xff), char((v >> 16) & 0xff),
                       char(v >> 24)};
    f.write(b, 4);
}

std::vector<int16_t> render(const std::vector<Tone>& tones) {
    std::vector<int16_t> samples;
    for (const Tone& t : tones) {
        const int n = int(t.seconds * kRate);
        const int ramp = std::min(n / 4, kRate / 200);
        for (int i = 0; i < n; ++i) {
            double gain = 0.45;
            if (i < ramp)
                gain *= double(i) / ramp;
            else if (i > n - ramp)
                gain *= double(n - i) / ramp;
            const double v = t.hz > 0 ? std::sin(2 * std::numbers::pi * t.hz * i / kRate) : 0.0;
            samples.push_back(int16_t(v * gain * 32767));
        }
    }
    return samples;
}

bool write(const std::filesystem::path& path, const std::vector<int16_t>& samples) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    const uint32_t data = uint32_t(samples.size() * 2);
    f.write("RIFF", 4);
    put32(f, 36 + data);
    f.write("WAVEfmt ", 8);
    put32(f, 16);
    put16(f, 1);  // PCM
    put16(f, 1);  // mono
    put32(f, kRate);
    put32(f, kRate * 2);
    put16(f, 2);
    put16(f, 16);
    f.write("data", 4);
    put32(f, data);
    f.write(reinterpret_cast<const char*>(samples.data()), data);
    return bool(f);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sounds DIR\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    const struct {
        const char* name;
        std::vector<Tone> tones;
    } sounds[] = {
        {"ok.wav", {{880, 0.06}, {1320, 0.09}}},
        {"fail.wav", {{330, 0.09}, {0, 0.03}, {247, 0.12}}},
        {"clearall.wav", {{1046, 0.05}, {784, 0.05}, {523, 0.05}, {392, 0.10}}},
        {"loadall.wav", {{392, 0.05}, {523, 0.05}, {659, 0.05}, {784, 0.10}}},
        {"saveall.wav", {{659, 0.07}, {0, 0.03}, {659, 0.07}, {988, 0.12}}},
    };
    for (const auto& s : sounds) {
        if (!write(dir / s.name, render(s.tones))) {
            std::fprintf(stderr, "make_sounds: cannot write %s\n", (dir / s.name).c_str());
            return 1;
        }
    }
    return 0;
}
