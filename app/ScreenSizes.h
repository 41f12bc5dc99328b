// The three window sizes and the arithmetic rules that keep the frame at one of them.
#pragma once

#include "graphics/Geometry.h"

namespace velmora {

enum ScreenSizeIndex { kSmall = 0, kMedium = 1, kLarge = 2 };

inline constexpr Extent kScreenSizes[3] = { { 640, 480 }, { 800, 600 }, { 1024, 768 } };

// Sizing edges as Windows numbers them in WM_SIZING.
enum SizingEdge : unsigned {
    kEdgeLeft = 1,
    kEdgeRight,
    kEdgeTop,
    kEdgeTopLeft,
    kEdgeTopRight,
    kEdgeBottom,
    kEdgeBottomLeft,
    kEdgeBottomRight
};

// The index clamped to 0..2, as the rest of the program reads it.
int ClampSizeIndex(int index);

// The index a window of this outer width stands for (a minimised window counts as small).
int SizeIndexFromWidth(int width);

// The largest index whose window fits on a display of this size.
int MaxSizeIndexForDisplay(int displayWidth, int displayHeight);

// Snaps a rectangle being dragged by `edge` to one of the three sizes, keeping the corner
// opposite the edge in place. Other edge values leave the rectangle alone.
void SnapSizingRect(unsigned edge, Rect& rect);

// What a change of display does to a window of the given index once it has been centred:
// the new index and, when `resize` is set, the size to give it at its centred top-left corner.
struct DisplayFit {
    int sizeIndex;
    Extent size;
    bool resize;
};
DisplayFit FitToDisplay(int sizeIndex, int displayWidth, int displayHeight);

// Whether a stored size index may be used on a display that holds at most `maxIndex`
// (-1 means nothing was stored).
bool IsStoredSizeUsable(int storedIndex, int maxIndex);

// The outer size a restored window gets for an index (640x480 for anything unknown).
Extent RestoredSize(int sizeIndex);

// The normal rectangle of a restored window: the stored top-left corner and the index's size.
// Corners so far out that the far edges would overflow are pulled back.
Rect RestoredRect(int left, int top, int sizeIndex);

} // namespace velmora
