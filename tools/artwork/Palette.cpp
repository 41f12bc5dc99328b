// Median-cut colour choice, nearest-colour matching with ordered dither, and the BMP writer.
#include "Palette.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <stdexcept>

namespace art {

namespace {

int To8(float v)
{
    return int(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
}

struct Entry {
    double weight, c[3];
};

struct Box {
    std::size_t begin, end;
    double error; // weighted squared spread: the box with most is split next
    int axis;
};

Box Measure(const std::vector<Entry>& entries, std::size_t begin, std::size_t end)
{
    double w = 0, mean[3] = { 0, 0, 0 }, var[3] = { 0, 0, 0 };
    for (std::size_t i = begin; i < end; ++i) {
        w += entries[i].weight;
        for (int k = 0; k < 3; ++k)
            mean[k] += entries[i].weight * entries[i].c[k];
    }
    for (int k = 0; k < 3; ++k)
        mean[k] /= w;
    for (std::size_t i = begin; i < end; ++i)
        for (int k = 0; k < 3; ++k) {
            double d = entries[i].c[k] - mean[k];
            var[k] += entries[i].weight * d * d;
        }
    const double eye[3] = { 3, 4, 2 };
    int axis = 0;
    for (int k = 1; k < 3; ++k)
        if (var[k] * eye[k] > var[axis] * eye[axis])
            axis = k;
    double error = end - begin > 1 ? eye[0] * var[0] + eye[1] * var[1] + eye[2] * var[2] : -1;
    return { begin, end, error, axis };
}

// 8x8 Bayer thresholds, centred on zero.
float Bayer(int x, int y)
{
    static const int m[8][8] = { { 0, 32, 8, 40, 2, 34, 10, 42 }, { 48, 16, 56, 24, 50, 18, 58, 26 },
        { 12, 44, 4, 36, 14, 46, 6, 38 }, { 60, 28, 52, 20, 62, 30, 54, 22 }, { 3, 35, 11, 43, 1, 33, 9, 41 },
        { 51, 19, 59, 27, 49, 17, 57, 25 }, { 15, 47, 7, 39, 13, 45, 5, 37 }, { 63, 31, 55, 23, 61, 29, 53, 21 } };
    return (m[y & 7][x & 7] + 0.5f) / 64.0f - 0.5f;
}

void Put16(std::vector<std::uint8_t>& out, unsigned v)
{
    out.push_back(std::uint8_t(v & 0xFF));
    out.push_back(std::uint8_t((v >> 8) & 0xFF));
}

void Put32(std::vector<std::uint8_t>& out, unsigned v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

} // namespace

ColourCount::ColourCount()
    : m_bins(1 << 18)
{
}

void ColourCount::Add(const Canvas& canvas, const std::vector<std::uint8_t>* inside, double weight)
{
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x) {
            if (inside && !(*inside)[std::size_t(y) * canvas.Width() + x])
                continue;
            const Rgb& p = canvas.At(x, y);
            int r = To8(p.r), g = To8(p.g), b = To8(p.b);
            Bin& bin = m_bins[(r >> 2) << 12 | (g >> 2) << 6 | (b >> 2)];
            bin.weight += weight;
            bin.r += weight * r;
            bin.g += weight * g;
            bin.b += weight * b;
        }
}

std::vector<Color8> ColourCount::Choose(int count) const
{
    std::vector<Entry> entries;
    for (const Bin& bin : m_bins)
        if (bin.weight > 0)
            entries.push_back({ bin.weight, { bin.r / bin.weight, bin.g / bin.weight, bin.b / bin.weight } });
    if (entries.empty())
        throw std::runtime_error("no colours to choose from");

    std::vector<Box> boxes = { Measure(entries, 0, entries.size()) };
    while (int(boxes.size()) < count) {
        auto worst = std::max_element(
            boxes.begin(), boxes.end(), [](const Box& a, const Box& b) { return a.error < b.error; });
        if (worst->error <= 0)
            break;
        Box box = *worst;
        int axis = box.axis;
        // A total order keeps the split the same on every run.
        std::sort(entries.begin() + box.begin, entries.begin() + box.end, [axis](const Entry& a, const Entry& b) {
            for (int k = 0; k < 3; ++k) {
                int i = (axis + k) % 3;
                if (a.c[i] != b.c[i])
                    return a.c[i] < b.c[i];
            }
            return a.weight < b.weight;
        });
        double total = 0, half = 0;
        for (std::size_t i = box.begin; i < box.end; ++i)
            total += entries[i].weight;
        std::size_t split = box.begin + 1;
        for (std::size_t i = box.begin; i < box.end - 1; ++i) {
            half += entries[i].weight;
            split = i + 1;
            if (half >= total / 2)
                break;
        }
        *worst = Measure(entries, box.begin, split);
        boxes.push_back(Measure(entries, split, box.end));
    }

    std::vector<std::array<double, 3>> centres;
    for (const Box& box : boxes) {
        double w = 0, c[3] = { 0, 0, 0 };
        for (std::size_t i = box.begin; i < box.end; ++i) {
            w += entries[i].weight;
            for (int k = 0; k < 3; ++k)
                c[k] += entries[i].weight * entries[i].c[k];
        }
        centres.push_back({ c[0] / w, c[1] / w, c[2] / w });
    }
    // A few k-means rounds move each colour to the middle of what it stands for.
    for (int round = 0; round < 6; ++round) {
        std::vector<std::array<double, 4>> sums(centres.size(), { 0, 0, 0, 0 });
        for (const Entry& e : entries) {
            std::size_t best = 0;
            double bestDistance = std::numeric_limits<double>::max();
            for (std::size_t j = 0; j < centres.size(); ++j) {
                double dr = e.c[0] - centres[j][0], dg = e.c[1] - centres[j][1], db = e.c[2] - centres[j][2];
                double d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
                if (d < bestDistance) {
                    bestDistance = d;
                    best = j;
                }
            }
            for (int k = 0; k < 3; ++k)
                sums[best][k] += e.weight * e.c[k];
            sums[best][3] += e.weight;
        }
        for (std::size_t j = 0; j < centres.size(); ++j)
            if (sums[j][3] > 0)
                centres[j] = { sums[j][0] / sums[j][3], sums[j][1] / sums[j][3], sums[j][2] / sums[j][3] };
    }

    std::vector<Color8> colours;
    for (const auto& c : centres)
        colours.push_back(
            { std::uint8_t(std::lround(c[0])), std::uint8_t(std::lround(c[1])), std::uint8_t(std::lround(c[2])) });
    // Dark to light, so that the table reads as ramps.
    std::sort(colours.begin(), colours.end(), [](Color8 a, Color8 b) {
        int la = 3 * a.r + 6 * a.g + a.b, lb = 3 * b.r + 6 * b.g + b.b;
        if (la != lb)
            return la < lb;
        return (a.r << 16 | a.g << 8 | a.b) < (b.r << 16 | b.g << 8 | b.b);
    });
    return colours;
}

ColourMatcher::ColourMatcher(const std::array<Color8, 256>& table, int first, int last)
    : m_table(table)
    , m_first(first)
    , m_last(last)
    , m_cache(1 << 21, -1)
{
}

std::uint8_t ColourMatcher::Nearest(int r, int g, int b)
{
    r = std::clamp(r, 0, 255);
    g = std::clamp(g, 0, 255);
    b = std::clamp(b, 0, 255);
    std::int16_t& cached = m_cache[(r >> 1) << 14 | (g >> 1) << 7 | (b >> 1)];
    if (cached < 0) {
        // The cell's middle stands for all of it (an error of under one level).
        int cr = (r | 1), cg = (g | 1), cb = (b | 1);
        int best = m_first, bestDistance = std::numeric_limits<int>::max();
        for (int i = m_first; i <= m_last; ++i) {
            int d = ColourDistance(cr - m_table[i].r, cg - m_table[i].g, cb - m_table[i].b);
            if (d < bestDistance) {
                bestDistance = d;
                best = i;
            }
        }
        cached = std::int16_t(best);
    }
    return std::uint8_t(cached);
}

std::vector<std::uint8_t> ColourMatcher::Map(const Canvas& canvas, float dither)
{
    std::vector<std::uint8_t> out(std::size_t(canvas.Width()) * canvas.Height());
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x) {
            const Rgb& p = canvas.At(x, y);
            float t = Bayer(x, y) * dither;
            out[std::size_t(y) * canvas.Width() + x] = Nearest(
                int(std::lround(p.r * 255 + t)), int(std::lround(p.g * 255 + t)), int(std::lround(p.b * 255 + t)));
        }
    return out;
}

void WriteBmp(const std::string& path, int width, int height, const std::vector<std::uint8_t>& indices,
    const std::array<Color8, 256>& table)
{
    const unsigned stride = (unsigned(width) + 3) & ~3u;
    const unsigned imageSize = stride * unsigned(height);
    const unsigned offset = 14 + 40 + 256 * 4;
    std::vector<std::uint8_t> file;
    file.reserve(offset + imageSize);
    file.push_back('B');
    file.push_back('M');
    Put32(file, offset + imageSize);
    Put32(file, 0);
    Put32(file, offset);
    Put32(file, 40);
    Put32(file, unsigned(width));
    Put32(file, unsigned(height)); // positive: rows bottom-up
    Put16(file, 1);
    Put16(file, 8);
    Put32(file, 0); // BI_RGB
    Put32(file, imageSize);
    Put32(file, 0);
    Put32(file, 0);
    Put32(file, 256);
    Put32(file, 256);
    for (const Color8& c : table) {
        file.push_back(c.b);
        file.push_back(c.g);
        file.push_back(c.r);
        file.push_back(0);
    }
    for (int y = height - 1; y >= 0; --y) {
        auto row = indices.begin() + std::ptrdiff_t(y) * width;
        file.insert(file.end(), row, row + width);
        file.resize(file.size() + (stride - unsigned(width)), 0);
    }
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out || std::fwrite(file.data(), 1, file.size(), out) != file.size() || std::fclose(out) != 0)
        throw std::runtime_error("cannot write " + path);
}

} // namespace art
