// Window-size rules: snapping while dragging, display changes and restored windows.
#include "app/ScreenSizes.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <ostream>

namespace velmora {

// Lets failed comparisons print the rectangle.
std::ostream& operator<<(std::ostream& os, const Rect& r)
{
    return os << '{' << r.left << ',' << r.top << ',' << r.right << ',' << r.bottom << '}';
}

namespace {

struct SnapCase {
    unsigned edge;
    Rect in, out;
};

// Each edge is probed on both sides of its width / height thresholds (720/912, 540/684) and,
// where the edge checks it, of the bottom-coordinate thresholds (600/768). Rows whose bottom is
// small but still snap large show that edge ignores the bottom.
const SnapCase kSnapCases[] = {
    // left: keeps bottom-right; width or bottom decide.
    { 1, { 100, 100, 819, 1000 }, { 179, 520, 819, 1000 } },
    { 1, { 100, 100, 820, 1000 }, { 20, 400, 820, 1000 } },
    { 1, { 100, 100, 1011, 1000 }, { 211, 400, 1011, 1000 } },
    { 1, { 100, 100, 1012, 1000 }, { -12, 232, 1012, 1000 } },
    { 1, { 0, 0, 2000, 599 }, { 1360, 119, 2000, 599 } },
    { 1, { 0, 0, 2000, 600 }, { 1200, 0, 2000, 600 } },
    { 1, { 0, 0, 2000, 767 }, { 1200, 167, 2000, 767 } },
    { 1, { 0, 0, 2000, 768 }, { 976, 0, 2000, 768 } },
    // right: keeps top-left; width alone.
    { 2, { 100, 100, 819, 200 }, { 100, 100, 740, 580 } },
    { 2, { 100, 100, 820, 200 }, { 100, 100, 900, 700 } },
    { 2, { 100, 100, 1011, 200 }, { 100, 100, 900, 700 } },
    { 2, { 100, 100, 1012, 200 }, { 100, 100, 1124, 868 } },
    // top: keeps bottom-right; height or bottom decide, width ignored.
    { 3, { 0, 461, 100, 1000 }, { -540, 520, 100, 1000 } },
    { 3, { 0, 460, 100, 1000 }, { -700, 400, 100, 1000 } },
    { 3, { 0, 317, 100, 1000 }, { -700, 400, 100, 1000 } },
    { 3, { 0, 316, 100, 1000 }, { -924, 232, 100, 1000 } },
    { 3, { 0, -1000, 100, 599 }, { -540, 119, 100, 599 } },
    { 3, { 0, -1300, 100, 700 }, { -700, 100, 100, 700 } },
    // top-left: keeps bottom-right; width and height both, or bottom.
    { 4, { 281, 461, 1000, 1000 }, { 360, 520, 1000, 1000 } },
    { 4, { 281, 460, 1000, 1000 }, { 200, 400, 1000, 1000 } },
    { 4, { 280, 461, 1000, 1000 }, { 200, 400, 1000, 1000 } },
    { 4, { 89, 317, 1000, 1000 }, { 200, 400, 1000, 1000 } },
    { 4, { 88, 317, 1000, 1000 }, { -24, 232, 1000, 1000 } },
    { 4, { 89, 316, 1000, 1000 }, { -24, 232, 1000, 1000 } },
    { 4, { -1000, -1401, 1000, 599 }, { 360, 119, 1000, 599 } },
    { 4, { -1000, -1233, 1000, 767 }, { 200, 167, 1000, 767 } },
    // top-right: keeps bottom-left.
    { 5, { 0, 461, 719, 1000 }, { 0, 520, 640, 1000 } },
    { 5, { 0, 461, 720, 1000 }, { 0, 400, 800, 1000 } },
    { 5, { 0, -1000, 912, 1000 }, { 0, 232, 1024, 1000 } },
    { 5, { 0, -1401, 2000, 599 }, { 0, 119, 640, 599 } },
    { 5, { 0, -1300, 2000, 700 }, { 0, 100, 800, 700 } },
    // bottom: keeps top-left; height alone.
    { 6, { 100, 100, 150, 639 }, { 100, 100, 740, 580 } },
    { 6, { 100, -200, 150, 340 }, { 100, -200, 900, 400 } },
    { 6, { 100, 100, 150, 783 }, { 100, 100, 900, 700 } },
    { 6, { 100, -300, 150, 384 }, { 100, -300, 1124, 468 } },
    // bottom-left: keeps top-right; the bottom still counts although the top does not move.
    { 7, { 281, 461, 1000, 1000 }, { 360, 461, 1000, 941 } },
    { 7, { 280, 461, 1000, 1000 }, { 200, 461, 1000, 1061 } },
    { 7, { 88, 316, 1000, 1000 }, { -24, 316, 1000, 1084 } },
    { 7, { 0, -1401, 2000, 599 }, { 1360, -1401, 2000, -921 } },
    { 7, { 0, -1233, 2000, 767 }, { 1200, -1233, 2000, -633 } },
    // bottom-right: keeps top-left; width and height both, no bottom check.
    { 8, { 0, 0, 700, 600 }, { 0, 0, 800, 600 } },
    { 8, { 0, 0, 700, 700 }, { 0, 0, 1024, 768 } },
    { 8, { 0, 0, 950, 500 }, { 0, 0, 1024, 768 } },
    { 8, { 0, -100, 719, 439 }, { 0, -100, 640, 380 } },
    { 8, { 0, -200, 911, 483 }, { 0, -200, 800, 400 } },
    { 8, { 0, -200, 912, 483 }, { 0, -200, 1024, 568 } },
    // Unknown edges leave the rectangle alone.
    { 0, { 1, 2, 3, 4 }, { 1, 2, 3, 4 } },
    { 9, { 1, 2, 3, 4 }, { 1, 2, 3, 4 } },
    { 1000, { 1, 2, 3, 4 }, { 1, 2, 3, 4 } },
    { UINT_MAX, { 1, 2, 3, 4 }, { 1, 2, 3, 4 } },
    // Inverted and extreme rectangles: negative width is small, a huge one large.
    { 2, { 500, 0, 100, 10 }, { 500, 0, 1140, 480 } },
    { 2, { INT32_MIN, 0, INT32_MAX, 10 }, { INT32_MIN, 0, INT32_MIN + 1024, 768 } },
    { 6, { 0, INT32_MIN, 10, INT32_MAX }, { 0, INT32_MIN, 1024, INT32_MIN + 768 } },
};

TEST(ScreenSizes, SnapSizingRectKeepsOppositeCornerAndPicksSize)
{
    for (const SnapCase& c : kSnapCases) {
        Rect r = c.in;
        SnapSizingRect(c.edge, r);
        EXPECT_EQ(r, c.out) << "edge " << c.edge << " from " << c.in;
    }
}

// A corner at the coordinate limit cannot take the full size; whatever is done, the far
// edge must not wrap around past the kept one.
TEST(ScreenSizes, SnapSizingRectDoesNotWrapAtCoordinateLimits)
{
    Rect r = { INT32_MAX - 100, 0, INT32_MAX, 10 };
    SnapSizingRect(kEdgeRight, r);
    EXPECT_GE(r.right, r.left) << r;

    r = { INT32_MIN, 0, INT32_MIN + 100, 700 };
    SnapSizingRect(kEdgeLeft, r);
    EXPECT_LE(r.left, r.right) << r;

    r = { 0, INT32_MIN, 100, INT32_MIN + 100 };
    SnapSizingRect(kEdgeTop, r);
    EXPECT_LE(r.top, r.bottom) << r;
}

TEST(ScreenSizes, IndexRulesAtTheirThresholds)
{
    struct {
        int in, out;
    } clamp[] = { { INT_MIN, 0 }, { -5, 0 }, { 0, 0 }, { 1, 1 }, { 2, 2 }, { 3, 2 }, { INT_MAX, 2 } };
    for (auto c : clamp)
        EXPECT_EQ(ClampSizeIndex(c.in), c.out) << c.in;

    // 160 is a minimised window's width.
    struct {
        int width, index;
    } widths[]
        = { { -1, 0 }, { 0, 0 }, { 160, 0 }, { 640, 0 }, { 641, 1 }, { 800, 1 }, { 801, 2 }, { 1024, 2 }, { 5000, 2 } };
    for (auto c : widths)
        EXPECT_EQ(SizeIndexFromWidth(c.width), c.index) << c.width;

    struct {
        int x, y, index;
    } displays[] = { { 1024, 768, 2 }, { 1920, 1080, 2 }, { 1023, 768, 1 }, { 1024, 767, 1 }, { 1024, 600, 1 },
        { 800, 600, 1 }, { 799, 1000, 0 }, { 800, 599, 0 }, { 640, 480, 0 }, { 0, 0, 0 } };
    for (auto c : displays)
        EXPECT_EQ(MaxSizeIndexForDisplay(c.x, c.y), c.index) << c.x << 'x' << c.y;
}

TEST(ScreenSizes, FitToDisplayShrinksOnlyWhatNoLongerFits)
{
    struct {
        int index, dw, dh, outIndex, w, h;
        bool resize;
    } cases[] = {
        { 0, 1920, 1080, 0, 640, 480, true }, // small is always re-applied
        { 0, 320, 200, 0, 640, 480, true },
        { 1, 1024, 768, 1, 800, 600, false },
        { 1, 800, 600, 1, 800, 600, false },
        { 1, 799, 600, 0, 640, 480, true },
        { 1, 800, 599, 0, 640, 480, true },
        { 1, 640, 480, 0, 640, 480, true },
        { 2, 1024, 768, 2, 1024, 768, false },
        { 2, 1023, 768, 1, 800, 600, true },
        { 2, 1024, 767, 1, 800, 600, true },
        { 2, 1024, 700, 1, 800, 600, true },
        { 2, 800, 600, 1, 800, 600, true },
        { 2, 799, 2000, 0, 640, 480, true },
        { 2, 640, 480, 0, 640, 480, true },
        { 5, 1280, 1024, 5, 1024, 768, false }, // unknown indices count as large
        { -1, 1280, 1024, -1, 1024, 768, false },
        { 5, 640, 480, 0, 640, 480, true },
    };
    for (auto c : cases) {
        DisplayFit f = FitToDisplay(c.index, c.dw, c.dh);
        EXPECT_EQ(f.sizeIndex, c.outIndex) << c.index << " on " << c.dw << 'x' << c.dh;
        EXPECT_EQ(f.size.width, c.w) << c.index << " on " << c.dw << 'x' << c.dh;
        EXPECT_EQ(f.size.height, c.h) << c.index << " on " << c.dw << 'x' << c.dh;
        EXPECT_EQ(f.resize, c.resize) << c.index << " on " << c.dw << 'x' << c.dh;
    }
}

TEST(ScreenSizes, StoredSizeAndRestoredWindow)
{
    // -1 means nothing stored; other negatives are accepted on purpose.
    struct {
        int stored, max;
        bool usable;
    } stored[] = { { -1, 2, false }, { -1, 0, false }, { -5, 0, true }, { 0, 0, true }, { 1, 0, false }, { 1, 1, true },
        { 2, 1, false }, { 2, 2, true } };
    for (auto c : stored)
        EXPECT_EQ(IsStoredSizeUsable(c.stored, c.max), c.usable) << c.stored << " max " << c.max;

    struct {
        int index, w, h;
    } sizes[]
        = { { 1, 800, 600 }, { 2, 1024, 768 }, { 0, 640, 480 }, { -1, 640, 480 }, { -5, 640, 480 }, { 3, 640, 480 } };
    for (auto c : sizes) {
        EXPECT_EQ(RestoredSize(c.index).width, c.w) << c.index;
        EXPECT_EQ(RestoredSize(c.index).height, c.h) << c.index;
    }

    struct {
        int left, top, index;
        Rect out;
    } rects[] = {
        { 10, 20, 2, { 10, 20, 1034, 788 } },
        { -300, -40, -5, { -300, -40, 340, 440 } },
        { INT32_MIN, INT32_MIN, 1, { INT32_MIN, INT32_MIN, INT32_MIN + 800, INT32_MIN + 600 } },
        { INT32_MAX - 1024, INT32_MAX - 768, 2, { INT32_MAX - 1024, INT32_MAX - 768, INT32_MAX, INT32_MAX } },
        { INT32_MAX - 1023, INT32_MAX - 767, 2, { INT32_MAX - 1024, INT32_MAX - 768, INT32_MAX, INT32_MAX } },
        { INT32_MAX, INT32_MAX, 0, { INT32_MAX - 640, INT32_MAX - 480, INT32_MAX, INT32_MAX } },
        { 5, INT32_MAX, 1, { 5, INT32_MAX - 600, 805, INT32_MAX } },
    };
    for (auto c : rects)
        EXPECT_EQ(RestoredRect(c.left, c.top, c.index), c.out) << c.left << ',' << c.top << " #" << c.index;
}

} // namespace
} // namespace velmora
