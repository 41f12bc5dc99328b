// Copies a rectangle of one 8-bit picture into another: clipping, nearest-neighbour scaling, colour key.
#pragma once

#include "Geometry.h"

#include <cstdint>

namespace velmora {

// One index byte per pixel; rows bottom-up (memory row 0 is the picture's bottom row), each row
// padded to a multiple of four bytes.
struct ConstPixelView {
    const std::uint8_t* bits;
    int width, height;
};

struct PixelView {
    std::uint8_t* bits;
    int width, height;
    // The same picture as a source, which is only read.
    constexpr operator ConstPixelView() const { return { bits, width, height }; }
};

// Bytes per memory row of a picture this wide.
constexpr int RowStride(int width)
{
    return int((unsigned(width) + 3u) & ~3u);
}

// Draws `srcRect` of `src` into `dstRect` of `dst` (top-down picture coordinates, right and
// bottom exclusive), stretching by nearest neighbour when the sizes differ. False when the
// rectangles were rejected or clipped away before drawing. The two pictures must not overlap.
bool Blit(const PixelView& dst, const ConstPixelView& src, Rect srcRect, Rect dstRect);

// As Blit, but source pixels whose index equals `key` are left out; at equal size, a non-zero
// `period` also draws only the pixels where a counter that starts at `phase` and counts every
// source pixel, across rows, is a multiple of it.
bool BlitKeyed(
    const PixelView& dst, const ConstPixelView& src, Rect srcRect, Rect dstRect, int key, int phase, int period);

// Which row kernels the blitters use: the fastest this processor offers (the default), or the
// portable ones that run everywhere; the tests hold each against the same reference.
enum class BlitKernels { Fastest, Portable };
void SelectBlitKernels(BlitKernels kernels);

// The set the blitters use now, named by the instruction set it needs: "avx2", "ssse3", "sse2"
// or "portable".
const char* BlitKernelsInUse();

} // namespace velmora
