// Colour reduction of the artwork to 8-bit indices, and the 8-bit BMP file format.
#pragma once

#include "Canvas.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace art {

struct Color8 {
    std::uint8_t r, g, b;
};

// Weighted counts of the colours that pictures use, at 6 bits per channel.
class ColourCount {
public:
    ColourCount();
    // Counts the pixels for which inside is non-zero (all pixels if inside is null).
    void Add(const Canvas& canvas, const std::vector<std::uint8_t>* inside, double weight);
    // Up to count colours that represent the counted ones well (median cut, then refined).
    std::vector<Color8> Choose(int count) const;

private:
    struct Bin {
        double weight = 0, r = 0, g = 0, b = 0;
    };
    std::vector<Bin> m_bins;
};

// Nearest-colour lookup among entries [first, last] of a colour table.
class ColourMatcher {
public:
    ColourMatcher(const std::array<Color8, 256>& table, int first, int last);
    std::uint8_t Nearest(int r, int g, int b);
    // Indices of the canvas, top row first; dither is the ordered-dither amplitude in 8-bit levels.
    std::vector<std::uint8_t> Map(const Canvas& canvas, float dither);

private:
    std::array<Color8, 256> m_table;
    int m_first, m_last;
    std::vector<std::int16_t> m_cache; // 7 bits per channel; -1 until looked up
};

// Distance used for choosing and matching colours (weights follow the eye's sensitivity).
inline int ColourDistance(int dr, int dg, int db)
{
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

// Writes an 8-bit uncompressed BMP with a 256-entry colour table; indices are given top row first.
void WriteBmp(const std::string& path, int width, int height, const std::vector<std::uint8_t>& indices,
    const std::array<Color8, 256>& table);

} // namespace art
