// How the blitter fuzzer turns bytes into pictures, rectangles, key, phase and period; its seeds
// (one per class of call); and the check run on every input under both kernel sets. Shared by the
// harness, the seed writer and the host tests.
#pragma once

#include "tests/common/BlitCompare.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace velmora::blit_fuzz {

using Bytes = std::vector<std::uint8_t>;

// Pictures stay small enough for thousands of calls a second; the rectangles do not.
constexpr int kMaxSide = 4096;
constexpr int kMaxPixels = 1 << 14;

// Reads little-endian values; past the end every byte is 0.
class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size)
        : m_data(data)
        , m_size(size)
    {
    }

    std::uint32_t Take(int bytes)
    {
        std::uint32_t v = 0;
        for (int i = 0; i < bytes; ++i, ++m_at)
            v |= std::uint32_t(m_at < m_size ? m_data[m_at] : 0) << (8 * i);
        return v;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size, m_at = 0;
};

// A tag byte picks the kind of value, so that mutation reaches the picture's edges and the
// ends of the 32-bit range alike: raw 32 bits, 16 bits, `edge` plus a small offset, or small.
inline std::int32_t TaggedValue(ByteReader& in, int edge)
{
    switch (in.Take(1) % 4) {
    case 0:
        return std::int32_t(in.Take(4));
    case 1:
        return std::int16_t(in.Take(2));
    case 2:
        return edge + std::int8_t(in.Take(1));
    default:
        return std::int8_t(in.Take(1));
    }
}

struct BlitInput {
    int srcWidth, srcHeight, dstWidth, dstHeight;
    blit_compare::BlitCall call;
    int colours; // source pixels take indices 0 .. colours - 1
    std::uint32_t srcSeed, dstSeed; // of the pixel contents
};

// Sides are 0 to kMaxSide; a picture of more than kMaxPixels loses rows.
inline BlitInput Decode(const std::uint8_t* data, std::size_t size)
{
    ByteReader in(data, size);
    BlitInput b;
    b.call.keyed = in.Take(1) & 1;
    auto side = [&] { return int(in.Take(2) % (kMaxSide + 1)); };
    b.srcWidth = side(), b.srcHeight = side(), b.dstWidth = side(), b.dstHeight = side();
    if (b.srcWidth * b.srcHeight > kMaxPixels)
        b.srcHeight = kMaxPixels / b.srcWidth;
    if (b.dstWidth * b.dstHeight > kMaxPixels)
        b.dstHeight = kMaxPixels / b.dstWidth;
    auto rect = [&](int width, int height) {
        Rect r;
        r.left = TaggedValue(in, width), r.top = TaggedValue(in, height);
        r.right = TaggedValue(in, width), r.bottom = TaggedValue(in, height);
        return r;
    };
    b.call.src = rect(b.srcWidth, b.srcHeight);
    b.call.dst = rect(b.dstWidth, b.dstHeight);
    b.call.key = TaggedValue(in, 0), b.call.phase = TaggedValue(in, 0), b.call.period = TaggedValue(in, 0);
    b.colours = int(in.Take(1)) + 1;
    b.srcSeed = in.Take(4), b.dstSeed = in.Take(4);
    return b;
}

// The bytes Decode reads back as `b` (every value as raw 32 bits).
inline Bytes Encode(const BlitInput& b)
{
    Bytes out;
    auto put = [&](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out.push_back(std::uint8_t(v >> (8 * i)));
    };
    auto value = [&](std::int32_t v) { put(0, 1), put(std::uint32_t(v), 4); };
    put(b.call.keyed, 1);
    for (int s : { b.srcWidth, b.srcHeight, b.dstWidth, b.dstHeight })
        put(std::uint32_t(s), 2);
    for (const Rect& r : { b.call.src, b.call.dst })
        for (std::int32_t v : { r.left, r.top, r.right, r.bottom })
            value(v);
    for (int v : { b.call.key, b.call.phase, b.call.period })
        value(v);
    put(std::uint32_t(b.colours - 1), 1);
    put(b.srcSeed, 4), put(b.dstSeed, 4);
    return out;
}

// Pixel contents from a seed (xorshift), so an input names its pictures in a few bytes.
inline void Fill(std::uint8_t* bits, std::size_t n, std::uint32_t seed, int colours)
{
    std::uint32_t x = seed | 1;
    for (std::size_t i = 0; i < n; ++i) {
        x ^= x << 13, x ^= x >> 17, x ^= x << 5;
        bits[i] = std::uint8_t(x % std::uint32_t(colours));
    }
}

// The input under the fast kernels, then the portable ones; the first difference from the
// reference, or empty. `reference` receives the rules' result.
inline std::string CheckBlitInput(const std::uint8_t* data, std::size_t size, std::optional<bool>* reference = nullptr)
{
    const BlitInput b = Decode(data, size);
    blit_compare::Source src(b.srcWidth, b.srcHeight);
    Fill(src.bits.data(), src.bits.size(), b.srcSeed, b.colours);
    blit_compare::Canvas dst(b.dstWidth, b.dstHeight, 0);
    Fill(dst.bits(), dst.size(), b.dstSeed, 256);
    std::string fault;
    for (BlitKernels kernels : { BlitKernels::Fastest, BlitKernels::Portable }) {
        SelectBlitKernels(kernels);
        blit_compare::Comparison c = blit_compare::CompareWithReference(src, dst, b.call);
        if (reference)
            *reference = c.reference;
        if (!c.fault.empty()) {
            fault = c.fault;
            break;
        }
    }
    SelectBlitKernels(BlitKernels::Fastest);
    return fault;
}

struct Seed {
    const char* name;
    Bytes bytes;
};

// One seed per class of call: equal size, thinning, stretching in strips and in tall columns,
// overhangs, coordinates at the ends of the 32-bit range, rectangles the rules leave open,
// rejected and empty ones.
inline std::vector<Seed> BlitSeeds()
{
    constexpr std::int32_t lo = INT32_MIN, hi = INT32_MAX;
    auto seed = [](const char* name, int w, int h, int W, int H, Rect s, Rect d, bool keyed, int key, int phase,
                    int period, int colours) {
        return Seed { name,
            Encode({ w, h, W, H, { s, d, keyed, key, phase, period }, colours, 0x1234567u, 0x89ABCDEu }) };
    };
    return {
        seed("equal_copy", 37, 9, 40, 12, { 0, 0, 37, 9 }, { 2, 1, 39, 10 }, false, 0, 0, 0, 256),
        seed("equal_keyed", 70, 5, 70, 5, { 0, 0, 70, 5 }, { 0, 0, 70, 5 }, true, 0, 0, 0, 3),
        seed("thinned_phase_period", 13, 4, 20, 6, { 0, 0, 13, 4 }, { 3, 1, 16, 5 }, true, 1, 2, 3, 4),
        seed("counter_wraps", 9, 3, 9, 3, { 0, 0, 9, 3 }, { 0, 0, 9, 3 }, true, -1, hi - 4, 3, 256),
        seed("remainder_by_minus_one", 9, 3, 9, 3, { 0, 0, 9, 3 }, { 0, 0, 9, 3 }, true, 2, lo, -1, 4),
        seed("wide_in_strips", 50, 2, 4096, 3, { 0, 0, 50, 2 }, { 0, 0, 4096, 3 }, false, 0, 0, 0, 256),
        seed("wide_keyed_shrunk", 4000, 2, 2100, 3, { 0, 0, 4000, 2 }, { -7, 0, 2100, 3 }, true, 1, 0, 0, 3),
        seed("tall", 3, 40, 2, 3000, { 0, 0, 3, 40 }, { 0, -1, 2, 3001 }, true, 256, 0, 0, 256),
        seed("shrunk_keyed", 300, 5, 40, 4, { 5, 0, 300, 5 }, { 1, 0, 38, 3 }, true, 3, 0, 0, 5),
        seed("overhangs_far", 64, 6, 30, 4, { -3, -1, 70, 9 }, { -100000, -5, 90000, 20 }, false, 0, 0, 0, 256),
        seed("int_limits", 20, 4, 30, 5, { lo, lo, hi, hi }, { lo, 1, hi, 4 }, true, lo, 0, 0, 4),
        seed("not_normalised", 8, 4, 8, 4, { 0, 0, 8, 4 }, { 6, 3, 1, 1 }, true, 0, 0, 0, 3),
        seed("source_edges_cross", 4, 1, 5, 1, { 0, 0, 10, 1 }, { -100, 0, 10, 1 }, false, 0, 0, 0, 256),
        seed("touches_right_edge", 4, 2, 6, 2, { 0, 0, 4, 2 }, { 6, 0, 10, 2 }, false, 0, 0, 0, 256),
        seed("empty_destination", 4, 2, 6, 2, { 0, 0, 4, 2 }, { 3, 0, 3, 2 }, false, 0, 0, 0, 256),
        seed("wholly_outside", 4, 2, 6, 2, { 0, 0, 4, 2 }, { 0, -9, 4, -1 }, true, 0, 0, 0, 256),
        seed("zero_width", 4, 2, 0, 2, { 0, 0, 4, 2 }, { 0, 0, 4, 2 }, false, 0, 0, 0, 256),
    };
}

} // namespace velmora::blit_fuzz
