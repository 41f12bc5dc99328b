// Conversions between Windows' RECT and the size and drawing rules' own rectangle (same four fields).
#pragma once

#include "Geometry.h"

#include <windows.h>

namespace velmora {

inline Rect FromRECT(const RECT& r)
{
    return { r.left, r.top, r.right, r.bottom };
}

inline RECT ToRECT(const Rect& r)
{
    return { r.left, r.top, r.right, r.bottom };
}

} // namespace velmora
