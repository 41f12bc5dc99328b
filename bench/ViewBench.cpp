// Times the launcher view under Wine: one full paint at each size, and one hover step (the pointer
// moving on a button: its rectangle invalidated twice and repainted). Prints microseconds per run.
#include "tests/win/Harness.h"
#include "tests/win/LauncherSession.h"
#include "view/ButtonLayout.h"
#include "view/LauncherView.h"
#include "res/resource.h"

#include <cstdio>

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

} // namespace

int main()
{
    test::ClearSettings();
    SetCurrentDirectoryA(test::InstallFolder().c_str());
    test::LauncherSession session;
    if (!session.started())
        return 1;
    CLauncherVlm2001View* view = LauncherApp()->m_pLauncherView;
    std::printf("%-28s %12s\n", "view workload", "us per run");
    static const struct {
        UINT command;
        const char* name;
    } sizes[] = {{ID_SIZE_LARGE, "paint 1024x768"}, {ID_SIZE_MEDIUM, "paint 800x600"}, {ID_SIZE_SMALL, "paint 640x480"}};
    for (const auto& size : sizes) {
        session.Command(size.command);
        test::PumpMessages();
        double us = Time([&] {
            InvalidateRect(view->m_hWnd, nullptr, TRUE);
            view->UpdateNow();
        });
        RECT client;
        GetClientRect(view->m_hWnd, &client);
        std::printf("%-28s %12.1f   (client %ldx%ld)\n", size.name, us, client.right, client.bottom);
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
    std::printf("%-28s %12.1f\n", "hover step on a button", hover);
    test::ClearSettings();
    return 0;
}
