// The window-size rules: snapping while dragging, display changes and restored sizes.
#include "ScreenSizes.h"

#include <algorithm>

namespace velmora {

namespace {

// Midpoints between neighbouring sizes: a dragged extent below one snaps to the smaller size.
constexpr int Midpoint(int smaller, int larger)
{
    return (smaller + larger) / 2;
}
constexpr Extent kSmallSize = kScreenSizes[kSmall], kMediumSize = kScreenSizes[kMedium],
                 kLargeSize = kScreenSizes[kLarge];
constexpr int kWidthSmallBelow = Midpoint(kSmallSize.width, kMediumSize.width);
constexpr int kWidthMediumBelow = Midpoint(kMediumSize.width, kLargeSize.width);
constexpr int kHeightSmallBelow = Midpoint(kSmallSize.height, kMediumSize.height);
constexpr int kHeightMediumBelow = Midpoint(kMediumSize.height, kLargeSize.height);

enum class Corner { TopLeft, TopRight, BottomLeft, BottomRight };

struct EdgeRule {
    Corner kept;
    bool useWidth, useHeight;
    bool bothNeeded; // width and height must both be below the threshold
    bool checkBottom; // a bottom edge above 600 / 768 also forbids the size
};

bool Below(const EdgeRule& rule, int w, int h, int b, int widthLimit, int heightLimit, int bottomLimit)
{
    bool wBelow = rule.useWidth && w < widthLimit;
    bool hBelow = rule.useHeight && h < heightLimit;
    bool extent = rule.bothNeeded ? (wBelow && hBelow) : (wBelow || hBelow);
    return extent || (rule.checkBottom && b < bottomLimit);
}

bool Fits(Extent size, int displayWidth, int displayHeight)
{
    return displayWidth >= size.width && displayHeight >= size.height;
}

} // namespace

int ClampSizeIndex(int index)
{
    return index <= kSmall ? kSmall : index >= kLarge ? kLarge : index;
}

int SizeIndexFromWidth(int width)
{
    return width <= kSmallSize.width ? kSmall : width <= kMediumSize.width ? kMedium : kLarge;
}

int MaxSizeIndexForDisplay(int displayWidth, int displayHeight)
{
    return Fits(kLargeSize, displayWidth, displayHeight) ? kLarge
        : Fits(kMediumSize, displayWidth, displayHeight) ? kMedium
                                                         : kSmall;
}

void SnapSizingRect(unsigned edge, Rect& rect)
{
    static constexpr EdgeRule rules[] = {
        /* left         */ { Corner::BottomRight, true, false, false, true },
        /* right        */ { Corner::TopLeft, true, false, false, false },
        /* top          */ { Corner::BottomRight, false, true, false, true },
        /* top-left     */ { Corner::BottomRight, true, true, true, true },
        /* top-right    */ { Corner::BottomLeft, true, true, true, true },
        /* bottom       */ { Corner::TopLeft, false, true, false, false },
        /* bottom-left  */ { Corner::TopRight, true, true, true, true },
        /* bottom-right */ { Corner::TopLeft, true, true, true, false },
    };
    if (edge < kEdgeLeft || edge > kEdgeBottomRight)
        return;
    const EdgeRule& rule = rules[edge - kEdgeLeft];

    // Extents of hostile rectangles are taken in 64 bits and saturated.
    auto span = [](std::int32_t from, std::int32_t to) {
        return int(std::clamp<long long>((long long)to - from, INT32_MIN, INT32_MAX));
    };
    int W = span(rect.left, rect.right), H = span(rect.top, rect.bottom), B = rect.bottom;

    int index = Below(rule, W, H, B, kWidthSmallBelow, kHeightSmallBelow, kMediumSize.height) ? kSmall
        : Below(rule, W, H, B, kWidthMediumBelow, kHeightMediumBelow, kLargeSize.height)      ? kMedium
                                                                                              : kLarge;
    Extent size = kScreenSizes[index];

    // Edges are placed from the kept corner; a corner at the very edge of the coordinate range
    // is pulled back rather than letting the far edge wrap around.
    auto placeAfter = [](std::int32_t& kept, std::int32_t& moved, int extent) {
        if (kept > INT32_MAX - extent)
            kept = INT32_MAX - extent;
        moved = kept + extent;
    };
    auto placeBefore = [](std::int32_t& moved, std::int32_t& kept, int extent) {
        if (kept < INT32_MIN + extent)
            kept = INT32_MIN + extent;
        moved = kept - extent;
    };
    bool keepLeft = rule.kept == Corner::TopLeft || rule.kept == Corner::BottomLeft;
    bool keepTop = rule.kept == Corner::TopLeft || rule.kept == Corner::TopRight;
    if (keepLeft)
        placeAfter(rect.left, rect.right, size.width);
    else
        placeBefore(rect.left, rect.right, size.width);
    if (keepTop)
        placeAfter(rect.top, rect.bottom, size.height);
    else
        placeBefore(rect.top, rect.bottom, size.height);
}

DisplayFit FitToDisplay(int sizeIndex, int displayWidth, int displayHeight)
{
    if (sizeIndex == kSmall)
        return { kSmall, kScreenSizes[kSmall], true };
    DisplayFit fit = { sizeIndex, sizeIndex == kMedium ? kScreenSizes[kMedium] : kScreenSizes[kLarge], false };
    if (Fits(fit.size, displayWidth, displayHeight))
        return fit;
    fit.resize = true;
    if (sizeIndex == kLarge)
        fit = { kMedium, kScreenSizes[kMedium], true };
    if (!Fits(kMediumSize, displayWidth, displayHeight))
        fit = { kSmall, kScreenSizes[kSmall], true };
    return fit;
}

bool IsStoredSizeUsable(int storedIndex, int maxIndex)
{
    return storedIndex != -1 && storedIndex <= maxIndex;
}

Extent RestoredSize(int sizeIndex)
{
    return sizeIndex == kMedium ? kScreenSizes[kMedium]
        : sizeIndex == kLarge   ? kScreenSizes[kLarge]
                                : kScreenSizes[kSmall];
}

Rect RestoredRect(int left, int top, int sizeIndex)
{
    Extent size = RestoredSize(sizeIndex);
    constexpr int kMax = 2147483647;
    if (left > kMax - size.width)
        left = kMax - size.width;
    if (top > kMax - size.height)
        top = kMax - size.height;
    return { left, top, left + size.width, top + size.height };
}

} // namespace velmora
