// Pictures inside guard bytes, and one blitter call compared with the reference: shared by the
// host tests, their 32-bit run under Wine and the blitter's fuzzing harness.
#pragma once

#include "graphics/BlitCore.h"
#include "tests/common/ReferenceBlit.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace velmora::blit_compare {

constexpr int kGuard = 32;
constexpr std::uint8_t kGuardByte = 0xA5;

// A picture whose pixel bytes sit between guard bytes, so a stray write shows.
struct Canvas {
    int width, height;
    std::vector<std::uint8_t> store;

    Canvas(int w, int h, std::uint8_t fill)
        : width(w)
        , height(h)
        , store(std::size_t(RowStride(w)) * h + 2 * kGuard, kGuardByte)
    {
        std::fill(bits(), bits() + size(), fill);
    }
    std::size_t size() const { return std::size_t(RowStride(width)) * height; }
    std::uint8_t* bits() { return store.data() + kGuard; }
    // Picture coordinates, y = 0 at the top.
    std::uint8_t& at(int x, int y) { return bits()[std::size_t(height - 1 - y) * RowStride(width) + x]; }
    PixelView view() { return { bits(), width, height }; }
    bool GuardsIntact() const
    {
        auto intact = [](auto first, auto last) {
            return std::all_of(first, last, [](std::uint8_t b) { return b == kGuardByte; });
        };
        return intact(store.begin(), store.begin() + kGuard) && intact(store.end() - kGuard, store.end());
    }
};

// A source held in a buffer of exactly its size, so the address sanitizer sees any read past it.
struct Source {
    int width, height;
    std::vector<std::uint8_t> bits;

    Source(int w, int h)
        : width(w)
        , height(h)
        , bits(std::size_t(RowStride(w)) * h)
    {
    }
    std::uint8_t& at(int x, int y) { return bits[std::size_t(height - 1 - y) * RowStride(width) + x]; }
    ConstPixelView view() const { return { bits.data(), width, height }; }
};

// Pixel bytes outside the columns and rows a rectangle spans (either way round) after clamping.
inline bool UnchangedOutside(Canvas& after, Canvas& before, Rect d)
{
    int x0 = std::clamp(std::min(d.left, d.right), 0, after.width);
    int x1 = std::clamp(std::max(d.left, d.right), 0, after.width);
    int y0 = std::clamp(std::min(d.top, d.bottom), 0, after.height);
    int y1 = std::clamp(std::max(d.top, d.bottom), 0, after.height);
    for (int y = 0; y < after.height; ++y)
        for (int x = 0; x < after.width; ++x)
            if ((x < x0 || x >= x1 || y < y0 || y >= y1) && after.at(x, y) != before.at(x, y))
                return false;
    return true;
}

// One call of either blitter.
struct BlitCall {
    Rect src, dst;
    bool keyed;
    int key, phase, period;
};

inline std::string Describe(const Source& src, const Canvas& dst, const BlitCall& c)
{
    std::ostringstream what;
    what << src.width << 'x' << src.height << " {" << c.src.left << ',' << c.src.top << ',' << c.src.right << ','
         << c.src.bottom << "} -> " << dst.width << 'x' << dst.height << " {" << c.dst.left << ',' << c.dst.top << ','
         << c.dst.right << ',' << c.dst.bottom << "} keyed " << c.keyed << " key " << c.key << " phase " << c.phase
         << " period " << c.period << " kernels " << BlitKernelsInUse();
    return what.str();
}

struct Comparison {
    std::string fault; // empty when the core agreed with the reference
    std::optional<bool> reference; // the rules' result; empty where they leave it open
    bool changed; // the call changed some destination pixel
};

// Runs the call with the kernels now selected on a copy of `dst` and holds it against the
// reference: the same result and the same bytes, guards included. Where the outcome is open, only
// the guards and the pixels outside the clamped destination rectangle are held.
inline Comparison CompareWithReference(const Source& src, const Canvas& dst, const BlitCall& c)
{
    Canvas fast = dst, expected = dst, before = dst;
    const bool result = c.keyed ? BlitKeyed(fast.view(), src.view(), c.src, c.dst, c.key, c.phase, c.period)
                                : Blit(fast.view(), src.view(), c.src, c.dst);
    Comparison out = { {}, ReferenceBlit(expected.view(), src.view(), c.src, c.dst, c.keyed, c.key, c.phase, c.period),
        fast.store != before.store };
    if (!fast.GuardsIntact())
        out.fault = "guard bytes overwritten";
    else if (!out.reference && !UnchangedOutside(fast, before, c.dst))
        out.fault = "wrote outside the destination rectangle";
    else if (out.reference && result != *out.reference)
        out.fault = result ? "TRUE where the rules give FALSE" : "FALSE where the rules give TRUE";
    else if (out.reference && fast.store != expected.store)
        out.fault = "pixels differ from the reference";
    if (!out.fault.empty())
        out.fault += ": " + Describe(src, dst, c);
    return out;
}

} // namespace velmora::blit_compare
