// Rectangles and sizes in plain integers, shared by the blitters, the button layout and the size rules.
#pragma once

#include <cstdint>

namespace velmora {

// Layout-compatible with Win32 RECT on both 32- and 64-bit Windows.
struct Rect {
    std::int32_t left, top, right, bottom;
    bool operator==(const Rect&) const = default;
};

struct Extent {
    int width, height;
};

} // namespace velmora
