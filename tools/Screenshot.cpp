// Saves the screen, or a window, as a PNG file (uncompressed deflate blocks).
// Usage: screenshot <file.png> [--window <title>] [--close]
// With --window it waits (up to 60 s) for a visible window of that title and captures it; --close then
// asks that window to close and waits until it has gone.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0)
{
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

void PutBig32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(std::uint8_t(v >> shift));
}

void PutChunk(std::vector<std::uint8_t>& out, const char* type, const std::vector<std::uint8_t>& data)
{
    PutBig32(out, std::uint32_t(data.size()));
    std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBig32(out, Crc32(&out[start], out.size() - start));
}

// Rows of RGB bytes, each preceded by filter byte 0, wrapped in stored deflate blocks.
std::vector<std::uint8_t> ZlibStored(const std::vector<std::uint8_t>& raw)
{
    std::vector<std::uint8_t> out = {0x78, 0x01};
    std::size_t pos = 0;
    do {
        std::size_t n = raw.size() - pos < 65535 ? raw.size() - pos : 65535;
        out.push_back(pos + n == raw.size() ? 1 : 0);
        out.push_back(std::uint8_t(n));
        out.push_back(std::uint8_t(n >> 8));
        out.push_back(std::uint8_t(~n));
        out.push_back(std::uint8_t(~n >> 8));
        out.insert(out.end(), raw.begin() + pos, raw.begin() + pos + n);
        pos += n;
    } while (pos < raw.size());
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBig32(out, (b << 16) | a);
    return out;
}

} // namespace

// Waits until `condition` holds, for at most `timeoutMs`.
template <class Condition> bool WaitUntil(Condition condition, DWORD timeoutMs)
{
    for (DWORD start = GetTickCount(); !condition(); Sleep(50))
        if (GetTickCount() - start > timeoutMs)
            return false;
    return true;
}

int main(int argc, char** argv)
{
    const char* file = nullptr;
    const char* title = nullptr;
    bool close = false;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument == "--window" && i + 1 < argc)
            title = argv[++i];
        else if (argument == "--close")
            close = true;
        else if (!file)
            file = argv[i];
    }
    if (!file) {
        std::fprintf(stderr, "usage: screenshot <file.png> [--window <title>] [--close]\n");
        return 2;
    }
    RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    HWND window = nullptr;
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

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;   // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) {
        std::fprintf(stderr, "screenshot: no bitmap\n");
        return 1;
    }
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    GdiFlush();

    std::vector<std::uint8_t> raw;
    raw.reserve(std::size_t(width * 3 + 1) * height);
    const std::uint8_t* pixels = static_cast<const std::uint8_t*>(bits);
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = pixels + (std::size_t(y) * width + x) * 4;
            raw.push_back(p[2]);
            raw.push_back(p[1]);
            raw.push_back(p[0]);
        }
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    PutBig32(header, std::uint32_t(width));
    PutBig32(header, std::uint32_t(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});   // 8-bit RGB
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", ZlibStored(raw));
    PutChunk(png, "IEND", {});

    FILE* out = std::fopen(file, "wb");
    if (!out || std::fwrite(png.data(), 1, png.size(), out) != png.size() || std::fclose(out) != 0) {
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
