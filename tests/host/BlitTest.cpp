// The blitters: the listed cases as a table, row padding, hostile rectangles, the run-time choice
// of kernels, and the core compared with a plain transcription of the drawing rules over many
// random rectangle pairs and over the fuzzer's seeds.
#include "graphics/BlitCore.h"
#include "tests/common/BlitCompare.h"
#include "tests/fuzz/BlitFuzzInput.h"

#include <gtest/gtest.h>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <random>
#include <vector>

namespace velmora {
namespace {

using blit_compare::Canvas;
using blit_compare::Source;
using blit_compare::UnchangedOutside;

std::vector<int> Row(Canvas& c, int y)
{
    std::vector<int> row;
    for (int x = 0; x < c.width; ++x)
        row.push_back(c.at(x, y));
    return row;
}

std::vector<int> Pixels(Canvas& c)
{
    std::vector<int> all;
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x)
            all.push_back(c.at(x, y));
    return all;
}

struct BlitCase {
    const char* what;
    int srcWidth, srcHeight;
    std::vector<int> src; // top-down; empty: pixel x of every row is x
    int dstWidth, dstHeight, fill;
    Rect srcRect, dstRect;
    bool keyed;
    int key, phase, period;
    bool result;
    std::vector<int> expected; // top-down; empty: the fill everywhere
};

// clang-format off
const BlitCase kCases[] = {
    {"2x1 into 4x1 doubles", 2, 1, {10, 20}, 4, 1, 0, {0, 0, 2, 1}, {0, 0, 4, 1}, false, 0, 0, 0, true,
     {10, 10, 20, 20}},
    {"3x1 into 2x1 drops the first", 3, 1, {10, 20, 30}, 2, 1, 0, {0, 0, 3, 1}, {0, 0, 2, 1}, false, 0, 0, 0, true,
     {20, 30}},
    {"1x3 into 1x1 takes the top row", 1, 3, {12, 11, 10}, 1, 1, 0, {0, 0, 1, 3}, {0, 0, 1, 1}, false, 0, 0, 0, true,
     {12}},
    {"1x1 into 1x3 fills all rows", 1, 1, {7}, 1, 3, 0, {0, 0, 1, 1}, {0, 0, 1, 3}, false, 0, 0, 0, true,
     {7, 7, 7}},
    {"left overhang trims and halves", 100, 1, {}, 50, 1, 255, {0, 0, 100, 1}, {-10, 0, 40, 1}, false, 0, 0, 0, true,
     {21, 23, 25, 27, 29, 31, 33, 35, 37, 39, 41, 43, 45, 47, 49, 51, 53, 55, 57, 59,
      61, 63, 65, 67, 69, 71, 73, 75, 77, 79, 81, 83, 85, 87, 89, 91, 93, 95, 97, 99,
      255, 255, 255, 255, 255, 255, 255, 255, 255, 255}},
    {"right overhang trims to equal size", 100, 1, {}, 50, 1, 255, {0, 0, 100, 1}, {20, 0, 120, 1}, false, 0, 0, 0, true,
     {255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
      0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19,
      20, 21, 22, 23, 24, 25, 26, 27, 28, 29}},
    {"both overhangs: 10..64 into 50", 100, 1, {}, 50, 1, 255, {0, 0, 100, 1}, {-10, 0, 90, 1}, false, 0, 0, 0, true,
     {11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 37,
      38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63}},
    {"key 0 keeps the destination", 4, 1, {0, 5, 0, 6}, 4, 1, 9, {0, 0, 4, 1}, {0, 0, 4, 1}, true, 0, 0, 0, true,
     {9, 5, 9, 6}},
    {"key -1 copies every pixel", 4, 1, {0, 5, 0, 6}, 4, 1, 9, {0, 0, 4, 1}, {0, 0, 4, 1}, true, -1, 0, 0, true,
     {0, 5, 0, 6}},
    {"key 256 copies every pixel", 4, 1, {0, 5, 0, 6}, 4, 1, 9, {0, 0, 4, 1}, {0, 0, 4, 1}, true, 256, 0, 0, true,
     {0, 5, 0, 6}},
    {"key 0 also when stretched", 2, 1, {0, 5}, 4, 1, 9, {0, 0, 2, 1}, {0, 0, 4, 1}, true, 0, 0, 0, true,
     {9, 9, 5, 5}},
    {"period 2, 3 wide: counter runs across rows", 3, 2, {1, 2, 3, 4, 5, 6}, 3, 2, 9, {0, 0, 3, 2}, {0, 0, 3, 2},
     true, -1, 0, 2, true, {9, 2, 9, 4, 9, 6}},
    {"period 2, 4 wide: pixels 0 and 2 of every row", 4, 2, {1, 2, 3, 4, 5, 6, 7, 8}, 4, 2, 9, {0, 0, 4, 2},
     {0, 0, 4, 2}, true, -1, 0, 2, true, {1, 9, 3, 9, 5, 9, 7, 9}},
    {"phase 1, period 3", 4, 1, {1, 2, 3, 4}, 4, 1, 9, {0, 0, 4, 1}, {0, 0, 4, 1}, true, -1, 1, 3, true,
     {9, 9, 3, 9}},
    {"negative period and phase: signed remainder", 4, 1, {1, 2, 3, 4}, 4, 1, 9, {0, 0, 4, 1}, {0, 0, 4, 1}, true, -1,
     -2, -2, true, {1, 9, 3, 9}},
    {"thinning and key together", 4, 1, {0, 2, 3, 4}, 4, 1, 9, {0, 0, 4, 1}, {0, 0, 4, 1}, true, 0, 0, 2, true,
     {9, 9, 3, 9}},
    {"period 0 with a phase: key only", 4, 1, {0, 2, 3, 4}, 4, 1, 9, {0, 0, 4, 1}, {0, 0, 4, 1}, true, 0, 3, 0, true,
     {9, 2, 3, 4}},
    {"thinning ignored when stretched", 2, 1, {1, 2}, 4, 1, 9, {0, 0, 2, 1}, {0, 0, 4, 1}, true, -1, 1, 2, true,
     {1, 1, 2, 2}},
    {"destination wholly right", 2, 1, {1, 2}, 4, 1, 9, {0, 0, 2, 1}, {5, 0, 7, 1}, false, 0, 0, 0, false, {}},
    {"destination wholly above", 2, 1, {1, 2}, 4, 1, 9, {0, 0, 2, 1}, {0, -3, 2, -1}, false, 0, 0, 0, false, {}},
    // Touching rectangles are trimmed to an empty source.
    {"destination touches the right edge", 2, 1, {1, 2}, 4, 1, 9, {0, 0, 2, 1}, {4, 0, 6, 1}, false, 0, 0, 0, false, {}},
    {"destination touches the left edge", 2, 1, {1, 2}, 4, 1, 9, {0, 0, 2, 1}, {-2, 0, 0, 1}, false, 0, 0, 0, false, {}},
    {"empty destination: Blit succeeds", 2, 1, {1, 2}, 4, 1, 9, {0, 0, 2, 1}, {1, 0, 1, 1}, false, 0, 0, 0, true, {}},
    {"empty destination: BlitKeyed fails", 2, 1, {1, 2}, 4, 1, 9, {0, 0, 2, 1}, {1, 0, 1, 1}, true, -1, 0, 0, false, {}},
    {"destination touches the bottom edge", 2, 1, {1, 2}, 4, 1, 9, {0, 0, 2, 1}, {0, 1, 2, 3}, false, 0, 0, 0, false, {}},
    {"source wholly outside", 2, 1, {1, 2}, 4, 1, 9, {3, 0, 5, 1}, {0, 0, 2, 1}, false, 0, 0, 0, false, {}},
    {"source touches its right edge", 2, 1, {1, 2}, 4, 1, 9, {2, 0, 4, 1}, {0, 0, 2, 1}, false, 0, 0, 0, false, {}},
    {"source past its picture is cut and stretched", 2, 1, {1, 2}, 4, 1, 9, {0, 0, 4, 1}, {0, 0, 4, 1}, false, 0, 0, 0,
     true, {1, 1, 2, 2}},
    {"extent 2048 and more: exact steps", 2, 1, {1, 2}, 4097, 1, 9, {0, 0, 2, 1}, {0, 0, 4097, 1}, false, 0, 0, 0, true,
     {}},
};
// clang-format on

TEST(Blit, ListedCases)
{
    for (const BlitCase& c : kCases) {
        Source src(c.srcWidth, c.srcHeight);
        for (int y = 0; y < c.srcHeight; ++y)
            for (int x = 0; x < c.srcWidth; ++x)
                src.at(x, y) = std::uint8_t(c.src.empty() ? x : c.src[std::size_t(y * c.srcWidth + x)]);
        Canvas dst(c.dstWidth, c.dstHeight, std::uint8_t(c.fill));
        bool result = c.keyed ? BlitKeyed(dst.view(), src.view(), c.srcRect, c.dstRect, c.key, c.phase, c.period)
                              : Blit(dst.view(), src.view(), c.srcRect, c.dstRect);
        EXPECT_EQ(result, c.result) << c.what;
        if (c.dstWidth == 4097) {
            // 2048 copies of the first pixel, then the second pixel's 2048 and the one left over.
            std::vector<int> row = Row(dst, 0);
            EXPECT_EQ(std::count(row.begin(), row.end(), 1), 2048) << c.what;
            EXPECT_EQ(std::count(row.begin(), row.end(), 2), 2049) << c.what;
            EXPECT_EQ(row[2047], 1) << c.what;
            EXPECT_EQ(row[2048], 2) << c.what;
        } else {
            std::vector<int> expected = c.expected;
            if (expected.empty())
                expected.assign(std::size_t(c.dstWidth * c.dstHeight), c.fill);
            EXPECT_EQ(Pixels(dst), expected) << c.what;
        }
        EXPECT_TRUE(dst.GuardsIntact()) << c.what;
    }
}

// The background picture drawn with the client rectangle as both rectangles.
TEST(Blit, BackgroundIntoLargerAndSmallerCanvas)
{
    Source bg(1024, 768);
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x)
            bg.at(x, y) = std::uint8_t(x + y);

    Canvas large(1100, 800, 0);
    ASSERT_TRUE(Blit(large.view(), bg.view(), { 0, 0, 1100, 800 }, { 0, 0, 1100, 800 }));
    std::vector<int> bottom = Row(large, 799), top = Row(large, 0);
    EXPECT_EQ(std::vector<int>(bottom.begin(), bottom.begin() + 20),
        (std::vector<int> { 255, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 12, 13, 14, 15, 16, 17 }));
    EXPECT_EQ(std::vector<int>(top.begin(), top.begin() + 20),
        (std::vector<int> { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 13, 14, 15, 16, 17, 18 }));
    EXPECT_EQ(std::vector<int>(top.end() - 6, top.end()), (std::vector<int> { 251, 252, 253, 254, 255, 255 }));
    // The source's top row is repeated at the top; row 743 is the first one drawn twice.
    EXPECT_EQ(Row(large, 1), top);
    EXPECT_EQ(large.at(0, 775), 231);
    EXPECT_EQ(Row(large, 774), Row(large, 775));
    EXPECT_EQ(large.at(0, 776), 232);
    EXPECT_TRUE(large.GuardsIntact());

    Canvas small(600, 400, 0);
    ASSERT_TRUE(Blit(small.view(), bg.view(), { 0, 0, 600, 400 }, { 0, 0, 600, 400 }));
    bool same = true;
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 600; ++x)
            same = same && small.at(x, y) == bg.at(x, y);
    EXPECT_TRUE(same);
    EXPECT_TRUE(small.GuardsIntact());
}

TEST(Blit, RowStridePadsToFourBytes)
{
    struct {
        int width, stride, imageSize;
    } cases[] = { { 1, 4, 4 }, { 2, 4, 8 }, { 3, 4, 12 }, { 4, 4, 16 }, { 5, 8, 40 }, { 6, 8, 48 }, { 7, 8, 56 },
        { 8, 8, 64 }, { 110, 112, 12320 }, { 137, 140, 19180 }, { 176, 176, 30976 }, { 0, 0, 0 } };
    for (auto c : cases) {
        EXPECT_EQ(RowStride(c.width), c.stride) << c.width;
        // Image size of a picture as tall as it is wide.
        EXPECT_EQ(RowStride(c.width) * c.width, c.imageSize) << c.width;
    }
}

class RandomRects {
public:
    explicit RandomRects(std::mt19937& rng)
        : m_rng(rng)
    {
    }
    int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }

    // An edge near the picture, on its edges, or far out (small enough for 32-bit products).
    int Edge(int size)
    {
        switch (Uniform(0, 9)) {
        case 0:
            return 0;
        case 1:
            return size;
        case 2:
            return Uniform(-30000, 30000);
        case 3:
            return Uniform(-size - 3, -1);
        default:
            return Uniform(-3, size + 3);
        }
    }
    Rect Make(int width, int height)
    {
        Rect r = { Edge(width), Edge(height), Edge(width), Edge(height) };
        if (Uniform(0, 19) != 0) { // mostly normalised
            if (r.left > r.right)
                std::swap(r.left, r.right);
            if (r.top > r.bottom)
                std::swap(r.top, r.bottom);
        }
        return r;
    }

private:
    std::mt19937& m_rng;
};

class BlitKernelsTest : public ::testing::TestWithParam<BlitKernels> {
protected:
    void SetUp() override { SelectBlitKernels(GetParam()); }
    void TearDown() override { SelectBlitKernels(BlitKernels::Fastest); }
};

TEST_P(BlitKernelsTest, CoreMatchesReference)
{
    std::mt19937 rng(20240611);
    RandomRects random(rng);
    const int keys[] = { -1, 0, 3, 256, INT_MIN };
    const int periods[] = { 0, 0, 1, -1, 2, 3, -2, 5 };
    int compared = 0, open = 0, drawn = 0;
    for (int n = 0; n < 30000; ++n) {
        int W, H, w, h;
        switch (random.Uniform(0, 9)) {
        case 0:
            W = random.Uniform(2048, 2100), H = random.Uniform(1, 3), w = random.Uniform(1, 40),
            h = random.Uniform(1, 4);
            break;
        case 1:
            W = random.Uniform(1, 3), H = random.Uniform(2048, 2100), w = random.Uniform(1, 4),
            h = random.Uniform(1, 40);
            break;
        case 2:
            W = random.Uniform(16, 300), H = random.Uniform(1, 6), w = random.Uniform(16, 300),
            h = random.Uniform(1, 6);
            break;
        default:
            W = random.Uniform(1, 41), H = random.Uniform(1, 21), w = random.Uniform(1, 41), h = random.Uniform(1, 21);
            break;
        }
        Source src(w, h);
        for (auto& b : src.bits)
            b = std::uint8_t(random.Uniform(0, 5));
        Canvas dst(W, H, 0);
        for (std::size_t i = 0; i < dst.size(); ++i)
            dst.bits()[i] = std::uint8_t(random.Uniform(100, 120));
        // Equal sizes get a share of their own so that the row copies are exercised often.
        Rect s = random.Make(w, h), d = random.Make(W, H);
        if (random.Uniform(0, 3) == 0 && std::abs(s.right - s.left) < 300 && std::abs(s.bottom - s.top) < 300) {
            d.right = d.left + (s.right - s.left);
            d.bottom = d.top + (s.bottom - s.top);
        }
        bool keyed = random.Uniform(0, 1) == 1;
        int key = keys[random.Uniform(0, 4)], phase = random.Uniform(0, 2) ? 0 : random.Uniform(-7, 7);
        int period = periods[random.Uniform(0, 7)];

        blit_compare::Comparison c = blit_compare::CompareWithReference(src, dst, { s, d, keyed, key, phase, period });
        ASSERT_EQ(c.fault, "") << "case " << n;
        (c.reference ? compared : open) += 1;
        drawn += c.reference && c.changed;
    }
    // The mix must reach both kinds of case in earnest.
    EXPECT_GT(compared, 20000);
    EXPECT_GT(open, 500);
    EXPECT_GT(drawn, 5000);
}

// The best set this processor and its operating system run, read from CPUID here rather than
// through the compiler's check that the core uses.
const char* BestKernelsHere()
{
#if defined(__i386__) || defined(__x86_64__)
    unsigned a, b, c, d;
    if (!__get_cpuid(1, &a, &b, &c, &d))
        return "portable";
    bool avx2 = false;
    if ((c & bit_OSXSAVE) && (c & bit_AVX)) {
        // The operating system must save the YMM registers (XCR0 bits 1 and 2).
        unsigned xcr0, high, a7, b7, c7, d7;
        __asm__("xgetbv" : "=a"(xcr0), "=d"(high) : "c"(0));
        avx2 = (xcr0 & 6) == 6 && __get_cpuid_count(7, 0, &a7, &b7, &c7, &d7) && (b7 & bit_AVX2);
    }
    return avx2 ? "avx2" : (c & bit_SSSE3) ? "ssse3" : (d & bit_SSE2) ? "sse2" : "portable";
#else
    return "portable";
#endif
}

// So the comparison above is known to hold the fastest kernels this processor has.
TEST_P(BlitKernelsTest, RunsTheBestSetThisProcessorHas)
{
    EXPECT_STREQ(BlitKernelsInUse(), GetParam() == BlitKernels::Portable ? "portable" : BestKernelsHere());
}

INSTANTIATE_TEST_SUITE_P(Kernels, BlitKernelsTest, ::testing::Values(BlitKernels::Fastest, BlitKernels::Portable));

// One row per seed of the fuzzer: each is held against the reference under both kernel sets
// without clang too, and still reaches the result its class gives.
TEST(Blit, FuzzSeedsTable)
{
    enum Result { False, True, Open };
    const struct {
        const char* name;
        Result result;
    } expected[] = {
        { "equal_copy", True },
        { "equal_keyed", True },
        { "thinned_phase_period", True },
        { "counter_wraps", True },
        { "remainder_by_minus_one", True },
        { "wide_in_strips", True },
        { "wide_keyed_shrunk", True },
        { "tall", True },
        { "shrunk_keyed", True },
        { "overhangs_far", True },
        { "int_limits", True },
        { "not_normalised", Open },
        { "source_edges_cross", Open },
        { "touches_right_edge", False },
        { "empty_destination", True }, // Blit with nothing to draw
        { "wholly_outside", False },
        { "zero_width", False },
    };
    auto seeds = blit_fuzz::BlitSeeds();
    ASSERT_EQ(seeds.size(), std::size(expected));
    for (std::size_t i = 0; i < seeds.size(); ++i) {
        ASSERT_STREQ(seeds[i].name, expected[i].name);
        std::optional<bool> reference;
        EXPECT_EQ(blit_fuzz::CheckBlitInput(seeds[i].bytes.data(), seeds[i].bytes.size(), &reference), "")
            << expected[i].name;
        EXPECT_EQ(!reference ? Open : *reference ? True : False, expected[i].result) << expected[i].name;
    }
}

// Coordinates at the ends of the 32-bit range: the trimming products need 64 bits, and nothing
// may be written outside the clamped destination rectangle or read outside the source.
TEST(Blit, HostileRectanglesStayInside)
{
    const std::int32_t lo = INT32_MIN, hi = INT32_MAX;
    const Rect rects[] = { { lo, lo, hi, hi }, { hi, hi, lo, lo }, { lo, 0, 5, 3 }, { -1, -1, hi, hi }, { 3, 2, hi, 3 },
        { lo, lo, 0, 0 }, { 0, 0, 0, 0 }, { 2, 1, 1, 2 }, { lo, 1, lo + 1, 2 }, { hi - 1, 0, hi, 3 }, { -5, 1, 3, hi },
        { 0, lo, 7, 3 } };
    Source src(7, 3);
    for (std::size_t i = 0; i < src.bits.size(); ++i)
        src.bits[i] = std::uint8_t(i);
    for (const Rect& s : rects)
        for (const Rect& d : rects)
            for (bool keyed : { false, true }) {
                Canvas dst(5, 3, 200), before = dst;
                if (keyed)
                    BlitKeyed(dst.view(), src.view(), s, d, 0, INT32_MAX, 0);
                else
                    Blit(dst.view(), src.view(), s, d);
                EXPECT_TRUE(dst.GuardsIntact());
                EXPECT_TRUE(UnchangedOutside(dst, before, d))
                    << '{' << s.left << ',' << s.top << ',' << s.right << ',' << s.bottom << "} -> {" << d.left << ','
                    << d.top << ',' << d.right << ',' << d.bottom << '}';
            }
}

// The counter wraps as a 32-bit one and a remainder by -1 is 0, with no overflow on the way.
TEST(Blit, ThinningCounterAtTheLimits)
{
    Source src(4, 1);
    for (int x = 0; x < 4; ++x)
        src.at(x, 0) = std::uint8_t(x + 1);
    struct {
        int phase, period;
        std::vector<int> expected;
    } cases[] = {
        { INT32_MAX - 1, 2, { 1, 9, 3, 9 } }, // MAX-1 even; MAX+1 wraps to MIN, even
        { INT32_MAX, 2, { 9, 2, 9, 4 } },
        { INT32_MIN, -1, { 1, 2, 3, 4 } },
        { INT32_MIN, INT32_MIN, { 1, 9, 9, 9 } },
    };
    for (const auto& c : cases) {
        Canvas dst(4, 1, 9);
        EXPECT_TRUE(BlitKeyed(dst.view(), src.view(), { 0, 0, 4, 1 }, { 0, 0, 4, 1 }, -1, c.phase, c.period));
        EXPECT_EQ(Row(dst, 0), c.expected) << c.phase << " % " << c.period;
    }
}

// A step that truncates to 0 never reaches 1.0: the top source row fills the rectangle instead
// of the row loop running for ever.
TEST(Blit, ZeroStepEnds)
{
    const int h = (1 << 20) + 1;
    Source src(1, h);
    src.at(0, 0) = 42;
    src.at(0, h - 1) = 17;
    Canvas dst(1, 2, 0);
    EXPECT_TRUE(Blit(dst.view(), src.view(), { 0, 0, 1, h }, { 0, 0, 1, 1 }));
    EXPECT_EQ(Pixels(dst), (std::vector<int> { 42, 0 }));
}

} // namespace
} // namespace velmora
