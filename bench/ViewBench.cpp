// Times the launcher view under Wine: one full paint at each size, and one hover step (the pointer
// moving on a button: its rectangle invalidated twice and repainted). Prints microseconds per run, and
// each as a multiple of a reference timed in the same run: one plain copy of a client-sized 256-colour
// picture to the view. Under an emulator (VELMORA_I386_ROUTE=qemu) only the multiples mean anything.
#include "res/resource.h"
#include "tests/win/Harness.h"
#include "tests/win/LauncherSession.h"
#include "view/ButtonLayout.h"
#include "view/LauncherView.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

double Seconds()
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return double(now.QuadPart) / double(frequency.QuadPart);
}

// Runs `step` until about half a second has passed; returns microseconds per run.
template <class Step> double Time(Step step)
{
    for (int i = 0; i < 20; ++i)
        step();
    int runs = 0;
    double start = Seconds(), elapsed = 0;
    do {
        for (int i = 0; i < 20; ++i, ++runs)
            step();
        elapsed = Seconds() - start;
    } while (elapsed < 0.5);
    return elapsed * 1e6 / runs;
}

// One SRCCOPY of a client-sized 8-bit DIB section to the view's window: what any paint at least costs.
double TimeReferenceCopy(HWND view)
{
    RECT client;
    GetClientRect(view, &client);
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info = {};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = client.right;
    info.header.biHeight = -client.bottom;
    info.header.biPlanes = 1;
    info.header.biBitCount = 8;
    for (int i = 0; i < 256; ++i)
        info.colours[i] = { BYTE(i), BYTE(255 - i), BYTE(i * 7), 0 };
    void* bits = nullptr;
    HBITMAP picture
        = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!picture)
        return 0;
    std::memset(bits, 37, size_t(client.right) * size_t(client.bottom));
    HDC window = GetDC(view), memory = CreateCompatibleDC(window);
    HGDIOBJ old = SelectObject(memory, picture);
    double us = Time([&] {
        BitBlt(window, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
        GdiFlush();
    });
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(view, window);
    DeleteObject(picture);
    return us;
}

} // namespace

int main()
{
    test::ClearSettings();
    SetCurrentDirectoryA(test::InstallFolder().c_str());
    test::LauncherSession session;
    if (!session.started())
        return 1;
    CLauncherVlm2001View* view = LauncherApp()->m_pLauncherView;
    const char* route = std::getenv("VELMORA_I386_ROUTE");
    const bool emulated = route && std::strcmp(route, "qemu") == 0;
    if (emulated)
        std::printf("Wine's 32-bit programs run under qemu's emulator here: the microseconds time the emulator,\n"
                    "the multiples of the reference copy (timed in this run) compare the workloads.\n");
    std::printf("%-28s %12s %12s\n", "view workload", "us per run", "x reference");
    auto print = [&](const char* name, double us, double reference, const char* detail) {
        char absolute[32] = "-";
        if (!emulated)
            std::snprintf(absolute, sizeof absolute, "%.1f", us);
        std::printf("%-28s %12s %12.2f%s\n", name, absolute, reference > 0 ? us / reference : 0.0, detail);
    };
    static const struct {
        UINT command;
        const char* name;
    } sizes[] = { { ID_SIZE_LARGE, "paint 1024x768" }, { ID_SIZE_MEDIUM, "paint 800x600" },
        { ID_SIZE_SMALL, "paint 640x480" } };
    for (const auto& size : sizes) {
        session.Command(size.command);
        test::PumpMessages();
        double us = Time([&] {
            InvalidateRect(view->m_hWnd, nullptr, TRUE);
            view->UpdateNow();
        });
        RECT client;
        GetClientRect(view->m_hWnd, &client);
        char detail[48];
        std::snprintf(detail, sizeof detail, "   (client %ldx%ld)", client.right, client.bottom);
        print(size.name, us, TimeReferenceCopy(view->m_hWnd), detail);
    }

    session.Command(ID_SIZE_LARGE);
    test::PumpMessages();
    RECT client;
    GetClientRect(view->m_hWnd, &client);
    velmora::ButtonRects rects = velmora::ComputeButtonLayout(client.right, client.bottom, 176, 176);
    int x = rects[5].left + 40, y = rects[5].top + 40;
    view->TrackPointer(x, y);
    view->UpdateNow();
    double hover = Time([&] {
        view->TrackPointer(x, y);
        view->UpdateNow();
    });
    print("hover step on a button", hover, TimeReferenceCopy(view->m_hWnd), "");
    test::ClearSettings();
    return 0;
}
