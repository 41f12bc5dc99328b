// Stands in for one of the twelve games: a window with the game's name, closed by a click or Esc.
// For tests it appends its command line, working folder and own path to the file named by VELMORA_STANDIN_LOG,
// and closes by itself after VELMORA_STANDIN_EXIT_MS milliseconds when that is set.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr UINT_PTR kExitTimer = 1;

const char* DisplayName(const std::string& base)
{
    static const char* const names[][2] = {
        { "backgammon", "Backgammon" },
        { "bridge", "Bridge" },
        { "checkers", "Checkers" },
        { "chess", "Chess" },
        { "chinesechess", "Chinese Chess" },
        { "dominoes", "Dominoes" },
        { "fourinaline", "Four In A Line" },
        { "go", "Go" },
        { "gomoku", "Gomoku" },
        { "reversi", "Reversi" },
        { "shogi", "Shogi" },
        { "taipei", "TaiPei" },
    };
    for (const auto& name : names)
        if (lstrcmpiA(base.c_str(), name[0]) == 0)
            return name[1];
    return nullptr;
}

std::string g_title;

void AppendToLog()
{
    char logPath[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("VELMORA_STANDIN_LOG", logPath, MAX_PATH);
    if (!length || length >= MAX_PATH)
        return;
    char folder[MAX_PATH] = "", module[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, folder);
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string line = std::string(GetCommandLineA()) + "\t" + folder + "\t" + module + "\n";
    HANDLE file = CreateFileA(logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, line.data(), DWORD(line.size()), &written, nullptr);
    CloseHandle(file);
}

LRESULT CALLBACK StandInProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT client;
        GetClientRect(hwnd, &client);
        std::string text = g_title + "\n\nThis window stands in for the game.\nClick or press Esc to return.";
        SetBkMode(dc, TRANSPARENT);
        RECT measured = client;
        DrawTextA(dc, text.c_str(), -1, &measured, DT_CENTER | DT_WORDBREAK | DT_CALCRECT);
        int offset = (client.bottom - measured.bottom) / 2;
        client.top += offset;
        DrawTextA(dc, text.c_str(), -1, &client, DT_CENTER | DT_WORDBREAK);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE)
            DestroyWindow(hwnd);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_TIMER:
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    AppendToLog();

    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string base = path;
    base = base.substr(base.find_last_of("\\/") + 1);
    base = base.substr(0, base.rfind('.'));
    const char* name = DisplayName(base);
    g_title = name ? name : base;

    WNDCLASSA wc = {};
    wc.lpfnWndProc = StandInProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "VelmoraStandInGame";
    RegisterClassA(&wc);

    const int width = 480, height = 240;
    HWND hwnd = CreateWindowA(wc.lpszClassName, g_title.c_str(), WS_OVERLAPPEDWINDOW,
        (GetSystemMetrics(SM_CXSCREEN) - width) / 2, (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height,
        nullptr, nullptr, instance, nullptr);
    if (!hwnd)
        return 1;

    char delay[32];
    DWORD length = GetEnvironmentVariableA("VELMORA_STANDIN_EXIT_MS", delay, sizeof delay);
    if (length && length < sizeof delay)
        SetTimer(hwnd, kExitTimer, UINT(std::strtoul(delay, nullptr, 10)), nullptr);

    ShowWindow(hwnd, showCommand);
    UpdateWindow(hwnd);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return int(msg.wParam);
}
