// The blitters' drawing rules transcribed plainly, as the reference the fast code and the program's
// screen are compared with.
#pragma once

#include "graphics/BlitCore.h"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace velmora {

// What the drawing rules give, transcribed plainly: 32-bit steps, 64-bit steps for extents of
// 2048 and more. The thinning counter wraps as a 32-bit integer, and a remainder by -1 is 0.
template <class StepH, class StepV>
inline void ReferenceDraw(std::uint8_t* dst, int dstStride, const std::uint8_t* src, int srcStride, int dw, int dh,
    int sw, int sh, bool keyed, int key, int phase, int period)
{
    const StepH one = StepH(1) << 20;
    const StepH hstep = StepH(dw) * one / sw;
    const StepV vstep = StepV(dh) * (StepV(1) << 20) / sh;
    if (hstep == one && vstep == one) {
        std::uint32_t counter = std::uint32_t(phase);
        for (int y = 0; y < sh; ++y, dst += dstStride, src += srcStride)
            for (int x = 0; x < sw; ++x, ++counter) {
                const std::int32_t c = std::int32_t(counter);
                bool thinned = keyed && period != 0 && period != -1 && c % period != 0;
                if ((!keyed || src[x] != key) && !thinned)
                    dst[x] = src[x];
            }
        return;
    }
    StepV vacc = 0;
    int i = 0, rowsLeft = sh;
    for (;;) {
        vacc += vstep;
        while (vacc >= (StepV(1) << 20) && i < dh) {
            StepH hacc = 0;
            int j = 0;
            std::uint8_t* d = dst;
            for (int k = 0; k < sw; ++k) {
                hacc += hstep;
                while (hacc >= one) {
                    if (!keyed || src[k] != key)
                        *d = src[k];
                    ++d;
                    hacc -= one;
                    ++j;
                }
            }
            for (; j < dw; ++j, ++d)
                if (!keyed || src[sw - 1] != key)
                    *d = src[sw - 1];
            dst += dstStride;
            vacc -= StepV(1) << 20;
            ++i;
        }
        if (--rowsLeft > 0)
            src += srcStride;
        if (i >= dh)
            return;
    }
}

// Both blitters by the rules. The trimming is done in 64 bits: equal to the 32-bit rule wherever
// that does not overflow, and past it the exact quotient. Empty where the outcome is left open.
inline std::optional<bool> ReferenceBlit(
    const PixelView& dstPic, const ConstPixelView& srcPic, Rect s, Rect d, bool keyed, int key, int phase, int period)
{
    if (s.left > s.right || s.top > s.bottom || d.left > d.right || d.top > d.bottom)
        return std::nullopt;
    const int W = dstPic.width, H = dstPic.height, w = srcPic.width, h = srcPic.height;
    std::int64_t DL = d.left, DT = d.top, DR = d.right, DB = d.bottom;
    std::int64_t SL = s.left, ST = s.top, SR = s.right, SB = s.bottom;
    if (DL > W || DT > H || DR < 0 || DB < 0 || SL > w || ST > h || SR < 0 || SB < 0)
        return false;
    if (DL < 0)
        SL = SL - (DL * (SR - SL)) / (DR - DL);
    if (DR > W)
        SR = SR - ((DR - W) * (SR - SL)) / (DR - DL);
    if (DT < 0)
        ST = ST - ((SB - ST) * DT) / (DB - DT);
    if (DB > H)
        SB = SB - ((DB - H) * (SB - ST)) / (DB - DT);
    DL = std::max<std::int64_t>(DL, 0), DR = std::min<std::int64_t>(DR, W);
    DT = std::max<std::int64_t>(DT, 0), DB = std::min<std::int64_t>(DB, H);
    SL = std::max<std::int64_t>(SL, 0), SR = std::min<std::int64_t>(SR, w);
    ST = std::max<std::int64_t>(ST, 0), SB = std::min<std::int64_t>(SB, h);
    if (SR < SL || SB < ST)
        return std::nullopt;
    const int dw = int(DR - DL), dh = int(DB - DT), sw = int(SR - SL), sh = int(SB - ST);
    int ss = (w + 3) & ~3, ds = (W + 3) & ~3;
    if (ss == 0 || ds == 0 || sh == 0 || dh == 0 || sw == 0)
        return false;
    if (dw == 0)
        return !keyed;
    std::uint8_t* dst = dstPic.bits + (H - DB) * ds + DL;
    const std::uint8_t* src = srcPic.bits + (h - SB) * ss + SL;
    if (dw < 2048 && dh < 2048)
        ReferenceDraw<std::int32_t, std::int32_t>(dst, ds, src, ss, dw, dh, sw, sh, keyed, key, phase, period);
    else if (dw < 2048)
        ReferenceDraw<std::int32_t, std::int64_t>(dst, ds, src, ss, dw, dh, sw, sh, keyed, key, phase, period);
    else if (dh < 2048)
        ReferenceDraw<std::int64_t, std::int32_t>(dst, ds, src, ss, dw, dh, sw, sh, keyed, key, phase, period);
    else
        ReferenceDraw<std::int64_t, std::int64_t>(dst, ds, src, ss, dw, dh, sw, sh, keyed, key, phase, period);
    return true;
}

} // namespace velmora
