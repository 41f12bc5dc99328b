// A readable assertion on window rectangles.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

namespace test {

inline ::testing::AssertionResult RectIs(const RECT& rect, LONG left, LONG top, LONG right, LONG bottom)
{
    if (rect.left == left && rect.top == top && rect.right == right && rect.bottom == bottom)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "rect is (" << rect.left << ", " << rect.top << ")-(" << rect.right << ", "
                                         << rect.bottom << ")";
}

} // namespace test
