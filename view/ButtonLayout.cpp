// The button grid and the hover and click rules.
#include "ButtonLayout.h"

namespace velmora {

ButtonRects ComputeButtonLayout(int width, int height, int bw, int bh)
{
    int gx = 4 * bw < width ? (width - 4 * bw) / 8 : 0;
    int gy = 3 * bh < height ? (height - 3 * bh) / 6 : 0;
    ButtonRects rects;
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 4; ++column) {
            int left = gx + column * (bw + 2 * gx);
            int top = gy + row * (bh + 2 * gy);
            rects[4 * row + column] = { left, top, left + bw, top + bh };
        }
    return rects;
}

bool PointInRect(const Rect& r, int x, int y)
{
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

bool IsEmptyArea(const Rect& client)
{
    return client.right - client.left <= 0 || client.bottom - client.top <= 0;
}

void HoverState::SetHighlighted(int button, HoverHost& host)
{
    if (button < -1 || button >= kButtonCount) {
        m_nHighlighted = -1;
        return;
    }
    if (button >= 0 && button != m_nLastSounded) {
        m_nLastSounded = button;
        host.PlayHighlightSound();
    }
    m_nHighlighted = button;
}

void HoverState::Track(const ButtonRects& rects, const Rect& client, int x, int y, HoverHost& host)
{
    if (IsEmptyArea(client))
        return;
    if (m_nHighlighted != -1) {
        host.Invalidate(&rects[m_nHighlighted]);
        SetHighlighted(-1, host);
    }
    bool found = false;
    // All twelve are tested: with zero margins two rectangles may share an edge, never a pixel.
    for (int i = 0; i < kButtonCount; ++i)
        if (PointInRect(rects[i], x, y) && host.IsAvailable(i)) {
            SetHighlighted(i, host);
            host.Invalidate(&rects[i]);
            found = true;
        }
    if (!found)
        m_nLastSounded = -1;
}

void HoverState::Click(const ButtonRects& rects, const Rect& client, int x, int y, HoverHost& host)
{
    if (IsEmptyArea(client))
        return;
    for (int i = 0; i < kButtonCount; ++i)
        if (PointInRect(rects[i], x, y) && i == m_nHighlighted && host.IsAvailable(i))
            host.Launch(i);
}

void HoverState::CheckOutside(const Rect& client, int x, int y, HoverHost& host)
{
    if (IsEmptyArea(client))
        return;
    if (!PointInRect(client, x, y) && m_nHighlighted != -1) {
        SetHighlighted(-1, host);
        host.Invalidate(nullptr);
    }
}

} // namespace velmora
