// Writes the launcher's two interface sounds as 16-bit PCM WAV files: a soft tick and a short chime.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;

struct Partial {
    double start; // seconds
    double frequency; // Hz
    double amplitude;
    double decay; // per second
};

// The sum of decaying sines, with a few milliseconds of attack and a fade at the very end so nothing clicks.
std::vector<std::int16_t> Render(double seconds, const std::vector<Partial>& partials)
{
    const int count = int(seconds * kRate);
    const double attack = 0.003, fade = 0.02;
    std::vector<std::int16_t> samples(std::size_t(count), 0);
    for (int i = 0; i < count; ++i) {
        double t = double(i) / kRate, value = 0;
        for (const Partial& p : partials) {
            double local = t - p.start;
            if (local < 0)
                continue;
            double envelope = std::exp(-p.decay * local) * std::fmin(1.0, local / attack);
            value += p.amplitude * envelope * std::sin(2 * kPi * p.frequency * local);
        }
        value *= std::fmin(1.0, (seconds - t) / fade);
        value = std::fmax(-1.0, std::fmin(1.0, value));
        samples[std::size_t(i)] = std::int16_t(std::lround(value * 32767));
    }
    return samples;
}

void PutU32(std::vector<unsigned char>& out, std::uint32_t v)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<unsigned char>(v >> shift));
}

void PutU16(std::vector<unsigned char>& out, std::uint16_t v)
{
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

void PutId(std::vector<unsigned char>& out, const char* id)
{
    out.insert(out.end(), id, id + 4);
}

bool WriteWave(const std::string& path, const std::vector<std::int16_t>& samples)
{
    const std::uint32_t dataBytes = std::uint32_t(samples.size() * 2);
    std::vector<unsigned char> out;
    PutId(out, "RIFF");
    PutU32(out, 4 + 8 + 16 + 8 + dataBytes);
    PutId(out, "WAVE");
    PutId(out, "fmt ");
    PutU32(out, 16);
    PutU16(out, 1); // PCM
    PutU16(out, 1); // mono
    PutU32(out, kRate);
    PutU32(out, kRate * 2); // bytes per second
    PutU16(out, 2); // block alignment
    PutU16(out, 16); // bits per sample
    PutId(out, "data");
    PutU32(out, dataBytes);
    for (std::int16_t s : samples)
        PutU16(out, std::uint16_t(s));
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    return std::fclose(file) == 0 && written;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sounds <folder>\n");
        return 2;
    }
    std::string folder = argv[1];
    // A wooden tick: a high partial that dies away within a few tens of milliseconds.
    auto tick = Render(0.045, { { 0, 2200, 0.22, 140 }, { 0, 3700, 0.08, 220 }, { 0, 900, 0.06, 90 } });
    // A rising two-note chime (C6 then G6), each with a softer octave above.
    auto chime = Render(
        0.7, { { 0, 1046.5, 0.30, 6 }, { 0, 2093.0, 0.08, 9 }, { 0.11, 1568.0, 0.30, 5 }, { 0.11, 3136.0, 0.07, 8 } });
    if (!WriteWave(folder + "/Highlight.WAV", tick) || !WriteWave(folder + "/Confirm.WAV", chime)) {
        std::fprintf(stderr, "make_sounds: cannot write into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
