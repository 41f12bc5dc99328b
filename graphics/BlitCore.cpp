// The blitters: clipping, 20-bit fixed-point nearest-neighbour scaling and the row loops, with
// SIMD row kernels chosen at run time and plain C++ beside them.
#include "graphics/BlitCore.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstring>

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
#define VELMORA_BLIT_X86 1
#include <immintrin.h>
#endif

namespace velmora {

namespace {

using i64 = std::int64_t;

constexpr i64 kOne = i64(1) << 20;

// Destination columns whose source offsets are worked out at once; wider rectangles go in strips.
constexpr int kChunk = 2048;

// Where both rectangles start in memory (their bottom-left pixels) and how big they are.
struct Job {
    std::uint8_t* dst;
    const std::uint8_t* src;
    std::ptrdiff_t dstStride, srcStride;
    int dw, dh, sw, sh;
    i64 hstep, vstep;
};

enum class Stage { Refused, Empty, Draw };

Stage Prepare(const PixelView& dst, const ConstPixelView& src, const Rect& s, const Rect& d, Job& job)
{
    const i64 W = dst.width, H = dst.height, w = src.width, h = src.height;
    i64 DL = d.left, DT = d.top, DR = d.right, DB = d.bottom;
    i64 SL = s.left, ST = s.top, SR = s.right, SB = s.bottom;
    if (DL > W || DT > H || DR < 0 || DB < 0 || SL > w || ST > h || SR < 0 || SB < 0)
        return Stage::Refused;
    // Width 0 means stride 0; an empty or impossible picture draws nothing either way.
    constexpr i64 kMaxWidth = 0x7FFFFFFC;
    if (W <= 0 || H <= 0 || w <= 0 || h <= 0 || W > kMaxWidth || w > kMaxWidth)
        return Stage::Refused;

    // Proportional trimming in 64 bits: the quotients equal the 32-bit ones wherever those do
    // not overflow, and every product here stays below 2^63. The divisors are positive because
    // the rejection above keeps DL <= W < DR and DT <= H < DB on the lines that divide.
    if (DL < 0)
        SL -= DL * (SR - SL) / (DR - DL);
    if (DR > W)
        SR -= (DR - W) * (SR - SL) / (DR - DL);
    if (DT < 0)
        ST -= (SB - ST) * DT / (DB - DT);
    if (DB > H)
        SB -= (DB - H) * (SB - ST) / (DB - DT);

    DL = std::max<i64>(DL, 0);
    DR = std::min(DR, W);
    DT = std::max<i64>(DT, 0);
    DB = std::min(DB, H);
    SL = std::max<i64>(SL, 0);
    SR = std::min(SR, w);
    ST = std::max<i64>(ST, 0);
    SB = std::min(SB, h);

    const i64 dw = DR - DL, dh = DB - DT, sw = SR - SL, sh = SB - ST;
    // Negative extents come only from rectangles that are not normalised or whose trimmed
    // source edges crossed; drawing nothing keeps every access inside both rectangles.
    if (dh <= 0 || sh <= 0 || sw <= 0 || dw < 0)
        return Stage::Refused;
    if (dw == 0)
        return Stage::Empty;

    job.dstStride = RowStride(dst.width);
    job.srcStride = RowStride(src.width);
    job.dst = dst.bits + std::ptrdiff_t(H - DB) * job.dstStride + std::ptrdiff_t(DL);
    job.src = src.bits + std::ptrdiff_t(h - SB) * job.srcStride + std::ptrdiff_t(SL);
    job.dw = int(dw);
    job.dh = int(dh);
    job.sw = int(sw);
    job.sh = int(sh);
    // Exact below 2048 (where 32 bits suffice); wider extents keep the exact step too.
    job.hstep = dw * kOne / sw;
    job.vstep = dh * kOne / sh;
    return Stage::Draw;
}

// Hands out, one destination pixel (or row) at a time, the source index the accumulator loop
// would copy there: a source index is repeated while the accumulator holds 1.0 or more, and
// the last one fills any shortfall. Equal to the loop for every step, and ends even for step 0.
class SourceWalk {
public:
    SourceWalk(i64 step, int count)
        : m_step(step)
        , m_count(count)
    {
    }

    void Next(std::int32_t* out, int n)
    {
        for (int j = 0; j < n;) {
            if (m_acc >= kOne) {
                m_acc -= kOne;
                out[j++] = m_current;
            } else if (m_current + 1 < m_count) {
                ++m_current;
                m_acc += m_step;
            } else {
                out[j++] = m_count - 1;
            }
        }
    }

    std::int32_t Next()
    {
        std::int32_t index;
        Next(&index, 1);
        return index;
    }

private:
    i64 m_step, m_acc = 0;
    int m_count;
    int m_current = -1;
};

// One 16-pixel run of a stretched row: its pixels come from the 16 source bytes at `base`,
// reordered by `shuffle`, when `gather` is false.
struct StretchBlock {
    std::uint8_t shuffle[16];
    std::int32_t pos, base;
    bool gather;
};

// The row kernels; `key` outside 0..255 matches no pixel.
struct Kernels {
    void (*keyedRow)(std::uint8_t* d, const std::uint8_t* s, int n, int key);
    void (*stretchRow)(std::uint8_t* d, const std::uint8_t* s, const std::int32_t* map, const StretchBlock* blocks,
        int blockCount, int n);
    void (*stretchKeyedRow)(std::uint8_t* d, const std::uint8_t* s, const std::int32_t* map, const StretchBlock* blocks,
        int blockCount, int n, int key);
    bool blocks; // the stretch kernels use StretchBlock runs
    const char* name; // the instruction set they need, or "portable"
};

void KeyedRowPlain(std::uint8_t* d, const std::uint8_t* s, int n, int key)
{
    for (int x = 0; x < n; ++x)
        if (s[x] != key)
            d[x] = s[x];
}

void StretchRowPlain(std::uint8_t* d, const std::uint8_t* s, const std::int32_t* map, const StretchBlock*, int, int n)
{
    for (int x = 0; x < n; ++x)
        d[x] = s[map[x]];
}

void StretchKeyedRowPlain(
    std::uint8_t* d, const std::uint8_t* s, const std::int32_t* map, const StretchBlock*, int, int n, int key)
{
    for (int x = 0; x < n; ++x)
        if (s[map[x]] != key)
            d[x] = s[map[x]];
}

constexpr Kernels kPortable = { KeyedRowPlain, StretchRowPlain, StretchKeyedRowPlain, false, "portable" };

#ifdef VELMORA_BLIT_X86

// The last vector overlaps the one before it; its result is worked out from the untouched row
// before anything is stored, which gives the same bytes and spares a stalled store-to-load forward.
__attribute__((target("sse2"))) inline __m128i KeyedBlend(__m128i v, __m128i old, __m128i key)
{
    __m128i m = _mm_cmpeq_epi8(v, key);
    return _mm_or_si128(_mm_and_si128(m, old), _mm_andnot_si128(m, v));
}

__attribute__((target("sse2"))) void KeyedRowSse2(std::uint8_t* d, const std::uint8_t* s, int n, int key)
{
    if (n < 16)
        return KeyedRowPlain(d, s, n, key);
    const __m128i k = _mm_set1_epi8(char(key));
    const int last = n - 16;
    const __m128i tail = KeyedBlend(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + last)),
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + last)), k);
    for (int x = 0; x < last; x += 16) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + x));
        __m128i o = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + x));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + x), KeyedBlend(v, o, k));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + last), tail);
}

__attribute__((target("avx2"))) void KeyedRowAvx2(std::uint8_t* d, const std::uint8_t* s, int n, int key)
{
    if (n < 32)
        return KeyedRowSse2(d, s, n, key);
    const __m256i k = _mm256_set1_epi8(char(key));
    const int last = n - 32;
    const __m256i tv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + last));
    const __m256i tail = _mm256_blendv_epi8(
        tv, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + last)), _mm256_cmpeq_epi8(tv, k));
    for (int x = 0; x < last; x += 32) {
        __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + x));
        __m256i o = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d + x));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + x), _mm256_blendv_epi8(v, o, _mm256_cmpeq_epi8(v, k)));
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + last), tail);
}

__attribute__((target("ssse3"))) void StretchRowSsse3(
    std::uint8_t* d, const std::uint8_t* s, const std::int32_t* map, const StretchBlock* blocks, int blockCount, int n)
{
    if (blockCount == 0)
        return StretchRowPlain(d, s, map, blocks, blockCount, n);
    for (int b = 0; b < blockCount; ++b) {
        const StretchBlock& k = blocks[b];
        if (k.gather) {
            for (int x = k.pos; x < k.pos + 16; ++x)
                d[x] = s[map[x]];
            continue;
        }
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + k.base));
        __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(k.shuffle));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + k.pos), _mm_shuffle_epi8(v, c));
    }
}

__attribute__((target("ssse3"))) void StretchKeyedRowSsse3(std::uint8_t* d, const std::uint8_t* s,
    const std::int32_t* map, const StretchBlock* blocks, int blockCount, int n, int key)
{
    if (blockCount == 0)
        return StretchKeyedRowPlain(d, s, map, blocks, blockCount, n, key);
    const __m128i kv = _mm_set1_epi8(char(key));
    // Gathered pixels are written one by one and never need the blend.
    auto blend = [&](const StretchBlock& k) __attribute__((target("ssse3")))
    {
        __m128i v = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + k.base)),
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(k.shuffle)));
        return KeyedBlend(v, _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + k.pos)), kv);
    };
    const StretchBlock& last = blocks[blockCount - 1];
    const __m128i tail = last.gather ? _mm_setzero_si128() : blend(last);
    for (int b = 0; b < blockCount - 1; ++b) {
        const StretchBlock& k = blocks[b];
        if (!k.gather) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + k.pos), blend(k));
            continue;
        }
        for (int x = k.pos; x < k.pos + 16; ++x)
            if (s[map[x]] != key)
                d[x] = s[map[x]];
    }
    if (!last.gather)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + last.pos), tail);
    else
        for (int x = last.pos; x < last.pos + 16; ++x)
            if (s[map[x]] != key)
                d[x] = s[map[x]];
}

// Two neighbouring 16-pixel runs per 32-byte store.
__attribute__((target("avx2"))) void StretchRowAvx2(
    std::uint8_t* d, const std::uint8_t* s, const std::int32_t* map, const StretchBlock* blocks, int blockCount, int n)
{
    int b = 0;
    for (; b + 1 < blockCount; b += 2) {
        const StretchBlock& k0 = blocks[b];
        const StretchBlock& k1 = blocks[b + 1];
        if (k0.gather || k1.gather || k1.pos != k0.pos + 16)
            break;
        __m256i v = _mm256_inserti128_si256(
            _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + k0.base))),
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + k1.base)), 1);
        __m256i c = _mm256_inserti128_si256(
            _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(k0.shuffle))),
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(k1.shuffle)), 1);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + k0.pos), _mm256_shuffle_epi8(v, c));
    }
    if (b < blockCount || blockCount == 0)
        StretchRowSsse3(d, s, map, blocks + b, blockCount - b, n);
}

// The best set this processor runs; every processor with AVX2 also has SSSE3.
Kernels ChooseKernels()
{
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2"))
        return { KeyedRowAvx2, StretchRowAvx2, StretchKeyedRowSsse3, true, "avx2" };
    if (__builtin_cpu_supports("ssse3"))
        return { KeyedRowSse2, StretchRowSsse3, StretchKeyedRowSsse3, true, "ssse3" };
    if (__builtin_cpu_supports("sse2"))
        return { KeyedRowSse2, StretchRowPlain, StretchKeyedRowPlain, false, "sse2" };
    return kPortable;
}

#else

Kernels ChooseKernels()
{
    return kPortable;
}

#endif

std::atomic<bool> g_portableOnly { false };

const Kernels& Pick()
{
    static const Kernels fastest = ChooseKernels();
    return g_portableOnly.load(std::memory_order_relaxed) ? kPortable : fastest;
}

// Splits a strip of `n` destination columns into 16-pixel runs (the last one overlapping its
// neighbour) and marks the runs whose source bytes lie within one 16-byte load inside the row span.
int PlanBlocks(const std::int32_t* map, int n, int sw, StretchBlock* blocks)
{
    if (n < 16)
        return 0;
    int count = 0;
    for (int pos = 0;; pos += 16) {
        if (pos > n - 16)
            pos = n - 16;
        StretchBlock& b = blocks[count++];
        b.pos = pos;
        b.gather = sw < 16 || map[pos + 15] - map[pos] >= 16;
        b.base = b.gather ? 0 : std::min(map[pos], sw - 16);
        for (int x = 0; x < 16; ++x)
            b.shuffle[x] = b.gather ? 0 : std::uint8_t(map[pos + x] - b.base);
        if (pos == n - 16)
            break;
    }
    return count;
}

void CopyEqual(const Job& job)
{
    // Full rows without padding lie back to back: one block for the whole rectangle.
    if (job.sw == job.dstStride && job.sw == job.srcStride)
        return void(std::memcpy(job.dst, job.src, std::size_t(job.sw) * std::size_t(job.sh)));
    for (int y = 0; y < job.sh; ++y)
        std::memcpy(job.dst + y * job.dstStride, job.src + y * job.srcStride, std::size_t(job.sw));
}

void CopyEqualKeyed(const Job& job, int key, int phase, int period)
{
    // A remainder by 1 or -1 is always 0; period 0 has no defined thinning and is taken as none.
    if (period == 0 || period == 1 || period == -1) {
        if (key < 0 || key > 255)
            return CopyEqual(job);
        auto row = Pick().keyedRow;
        for (int y = 0; y < job.sh; ++y)
            row(job.dst + y * job.dstStride, job.src + y * job.srcStride, job.sw, key);
        return;
    }
    // The counter wraps as a 32-bit integer would.
    std::uint32_t counter = std::uint32_t(phase);
    for (int y = 0; y < job.sh; ++y) {
        std::uint8_t* d = job.dst + y * job.dstStride;
        const std::uint8_t* s = job.src + y * job.srcStride;
        for (int x = 0; x < job.sw; ++x, ++counter)
            if (s[x] != key && std::int32_t(counter) % period == 0)
                d[x] = s[x];
    }
}

void Stretch(const Job& job, bool keyed, int key)
{
    const Kernels& kernels = Pick();
    std::int32_t map[kChunk];
    StretchBlock blocks[kChunk / 16];
    SourceWalk columns(job.hstep, job.sw);
    for (int left = 0; left < job.dw; left += kChunk) {
        const int n = std::min(kChunk, job.dw - left);
        columns.Next(map, n);
        const int blockCount = kernels.blocks ? PlanBlocks(map, n, job.sw, blocks) : 0;
        SourceWalk rows(job.vstep, job.sh);
        std::int32_t previous = -1;
        for (int y = 0; y < job.dh; ++y) {
            const std::int32_t row = rows.Next();
            std::uint8_t* d = job.dst + y * job.dstStride + left;
            const std::uint8_t* s = job.src + row * job.srcStride;
            if (keyed)
                kernels.stretchKeyedRow(d, s, map, blocks, blockCount, n, key);
            else if (row == previous)
                std::memcpy(d, d - job.dstStride, std::size_t(n));
            else
                kernels.stretchRow(d, s, map, blocks, blockCount, n);
            previous = row;
        }
    }
}

} // namespace

bool Blit(const PixelView& dst, const ConstPixelView& src, Rect srcRect, Rect dstRect)
{
    Job job;
    Stage stage = Prepare(dst, src, srcRect, dstRect, job);
    if (stage != Stage::Draw)
        return stage == Stage::Empty;
    if (job.hstep == kOne && job.vstep == kOne)
        CopyEqual(job);
    else
        Stretch(job, false, -1);
    return true;
}

bool BlitKeyed(
    const PixelView& dst, const ConstPixelView& src, Rect srcRect, Rect dstRect, int key, int phase, int period)
{
    Job job;
    if (Prepare(dst, src, srcRect, dstRect, job) != Stage::Draw)
        return false;
    if (job.hstep == kOne && job.vstep == kOne)
        CopyEqualKeyed(job, key, phase, period);
    else
        Stretch(job, key >= 0 && key <= 255, key);
    return true;
}

void SelectBlitKernels(BlitKernels kernels)
{
    g_portableOnly = kernels == BlitKernels::Portable;
}

const char* BlitKernelsInUse()
{
    return Pick().name;
}

} // namespace velmora
