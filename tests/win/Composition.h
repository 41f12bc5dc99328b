// What the launcher view must show, composed by the reference blitter from the program's own
// pictures, and what the screen shows under a window.
#pragma once

#include "graphics/DibSurface.h"
#include "res/PictureIds.h"
#include "tests/common/ReferenceBlit.h"
#include "view/ButtonLayout.h"

#include <cstdint>
#include <vector>

namespace test {

using Pixels = std::vector<std::uint32_t>; // top-down rows of 0x00RRGGBB

// What the launcher must show in a client area of width x height: the background and the twelve
// buttons, composed by the reference blitter from the program's own pictures.
inline Pixels Expected(int s, int width, int height, int highlighted)
{
    CDibSurface background;
    background.LoadFromResource(velmora::BackgroundPictureId(s));
    RGBQUAD table[256] = {};
    {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, background.m_hObject);
        GetDIBColorTable(dc, 0, 256, table);
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    int stride = velmora::RowStride(width);
    std::vector<std::uint8_t> canvas(std::size_t(stride) * height);
    velmora::PixelView view = { canvas.data(), width, height };
    velmora::Rect client = { 0, 0, width, height };
    velmora::ReferenceBlit(view, ViewOf(background), client, client, false, 0, 0, 0);
    CDibSurface first;
    first.LoadFromResource(velmora::ButtonPictureId(s, 0, false));
    velmora::ButtonRects rects = velmora::ComputeButtonLayout(width, height, first.m_nWidth, first.m_nHeight);
    for (int i = 0; i < velmora::kButtonCount; ++i) {
        CDibSurface picture;
        picture.LoadFromResource(velmora::ButtonPictureId(s, i, i == highlighted));
        velmora::ReferenceBlit(
            view, ViewOf(picture), { 0, 0, picture.m_nWidth, picture.m_nHeight }, rects[i], true, 0, 0, 0);
    }
    Pixels pixels(std::size_t(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const RGBQUAD& c = table[canvas[std::size_t(height - 1 - y) * stride + x]];
            pixels[std::size_t(y) * width + x] = (c.rgbRed << 16) | (c.rgbGreen << 8) | c.rgbBlue;
        }
    return pixels;
}

// The screen's pixels in a width x height area whose top-left corner is `origin`.
inline Pixels ScreenArea(POINT origin, int width, int height)
{
    Pixels pixels(std::size_t(width) * height);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader = { sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0 };
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    auto* source = static_cast<const std::uint32_t*>(bits);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = source[i] & 0xFFFFFF;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// The screen's pixels under a window's client area, or under a whole window.
inline Pixels OnScreen(HWND window, bool clientOnly, int& width, int& height)
{
    RECT area;
    POINT origin = { 0, 0 };
    if (clientOnly) {
        GetClientRect(window, &area);
        ClientToScreen(window, &origin);
    } else {
        GetWindowRect(window, &area);
        origin = { area.left, area.top };
        OffsetRect(&area, -area.left, -area.top);
    }
    width = area.right;
    height = area.bottom;
    return ScreenArea(origin, width, height);
}

} // namespace test
