// Saves the screen, or a window, as a 24-bit BMP file (scripts/run turns it into the documentation's PNG).
// Usage: screenshot <file.bmp> [--window <title> | --splash] [--close]
// With --window it waits (up to 60 s) for a visible window of that title and captures it; --close then
// asks that window to close and waits until it has gone. With --splash it waits as long for the
// launcher's start-up picture and captures the whole screen.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

// Waits until `condition` holds, for at most `timeoutMs`, trying it every `periodMs`.
template <class Condition> bool WaitUntil(Condition condition, DWORD timeoutMs, DWORD periodMs = 50)
{
    for (DWORD start = GetTickCount(); !condition(); Sleep(periodMs))
        if (GetTickCount() - start > timeoutMs)
            return false;
    return true;
}

// The launcher's start-up picture: a visible untitled popup of one of the launcher's window classes.
BOOL CALLBACK FindSplash(HWND window, LPARAM found)
{
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    if (!IsWindowVisible(window) || GetWindowTextLengthA(window) != 0 || !(GetWindowLongA(window, GWL_STYLE) & WS_POPUP)
        || std::string(className).rfind("Velmora:", 0) != 0)
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

int main(int argc, char** argv)
{
    const char* file = nullptr;
    const char* title = nullptr;
    bool close = false, splash = false;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument == "--window" && i + 1 < argc)
            title = argv[++i];
        else if (argument == "--close")
            close = true;
        else if (argument == "--splash")
            splash = true;
        else if (!file)
            file = argv[i];
    }
    if (!file) {
        std::fprintf(stderr, "usage: screenshot <file.bmp> [--window <title> | --splash] [--close]\n");
        return 2;
    }
    RECT area = { 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN) };
    HWND window = nullptr;
    if (splash
        && !WaitUntil([&] { return EnumWindows(&FindSplash, reinterpret_cast<LPARAM>(&window)), window; }, 60000)) {
        std::fprintf(stderr, "screenshot: no start-up picture\n");
        return 1;
    }
    if (title) {
        if (!WaitUntil([&] { return (window = FindWindowA(nullptr, title)) && IsWindowVisible(window); }, 60000)) {
            std::fprintf(stderr, "screenshot: no visible window titled \"%s\"\n", title);
            return 1;
        }
        // Let the window handle what is queued, then paint whatever is still invalid.
        DWORD_PTR ignored;
        SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        GetWindowRect(window, &area);
    }
    int width = area.right - area.left, height = area.bottom - area.top;

    // A bottom-up 24-bit section holds its rows exactly as a BMP file stores them.
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    DWORD imageSize = DWORD((width * 3 + 3) / 4 * 4 * height);
    BITMAPINFOHEADER header = { sizeof header, width, height, 1, 24, BI_RGB, imageSize, 0, 0, 0, 0 };
    void* bits = nullptr;
    HBITMAP bitmap
        = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) {
        std::fprintf(stderr, "screenshot: no bitmap\n");
        return 1;
    }
    HGDIOBJ old = SelectObject(memory, bitmap);
    // What another process paints reaches the screen a moment later: the picture is taken once two
    // captures a quarter of a second apart agree (the last one after ten seconds in any case).
    const auto* pixels = static_cast<const unsigned char*>(bits);
    std::vector<unsigned char> previous;
    WaitUntil(
        [&] {
            BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
            GdiFlush();
            bool same = previous.size() == header.biSizeImage && std::equal(previous.begin(), previous.end(), pixels);
            previous.assign(pixels, pixels + header.biSizeImage);
            return same;
        },
        10000, 250);

    BITMAPFILEHEADER fileHeader = {};
    fileHeader.bfType = 'B' | 'M' << 8;
    fileHeader.bfOffBits = sizeof fileHeader + sizeof header;
    fileHeader.bfSize = fileHeader.bfOffBits + header.biSizeImage;
    FILE* out = std::fopen(file, "wb");
    bool written = out && std::fwrite(&fileHeader, sizeof fileHeader, 1, out) == 1
        && std::fwrite(&header, sizeof header, 1, out) == 1 && std::fwrite(bits, header.biSizeImage, 1, out) == 1;
    if (out && std::fclose(out) != 0)
        written = false;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (!written) {
        std::perror(file);
        return 1;
    }
    if (window && close) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        if (!WaitUntil([&] { return !IsWindow(window); }, 60000)) {
            std::fprintf(stderr, "screenshot: the window did not close\n");
            return 1;
        }
    }
    return 0;
}
