// The real program started from a test, found and closed again.
#pragma once

#include "Harness.h"

#include <string>

namespace test {

// A search through the top-level windows for one of a process's (of any process when processId is 0).
struct WindowSearch {
    DWORD processId;
    HWND found;
};

inline BOOL CALLBACK FindFrameWindow(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char title[64] = "";
    GetWindowTextA(window, title, sizeof title);
    if ((search->processId && owner != search->processId) || std::string(title) != "Velmora Launcher")
        return TRUE;
    search->found = window;
    return FALSE;
}

// The launcher's frame window of process `processId` (of any process when 0), or null.
inline HWND FindFrame(DWORD processId = 0)
{
    WindowSearch search = { processId, nullptr };
    EnumWindows(&FindFrameWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Whether the frame is shown, active and holds the keyboard focus (in itself or its view), so typed keys reach it.
inline bool FrameReady(HWND frame)
{
    if (!frame || !IsWindowVisible(frame) || GetForegroundWindow() != frame)
        return false;
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof gui;
    return GetGUIThreadInfo(GetWindowThreadProcessId(frame, nullptr), &gui) && gui.hwndActive == frame
        && (gui.hwndFocus == frame || IsChild(frame, gui.hwndFocus));
}

// The launcher's view: the frame's one child window.
inline HWND ViewOfFrame(HWND frame)
{
    return GetWindow(frame, GW_CHILD);
}

// Velmora.exe (from the install folder unless `exe` names another copy), started with `folder` as its
// current directory.
class RunningLauncher {
public:
    explicit RunningLauncher(const std::string& folder, const std::string& arguments = "",
        const std::string& exe = test::InstallFolder() + "\\Velmora.exe")
    {
        std::string commandLine = "\"" + exe + "\" " + arguments;
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info = {};
        if (CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                &startup, &info)) {
            CloseHandle(info.hThread);
            m_process = info.hProcess;
            m_processId = info.dwProcessId;
        }
    }
    ~RunningLauncher()
    {
        if (!m_process)
            return;
        if (HWND window = Frame())
            PostMessageA(window, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(m_process, 20000) != WAIT_OBJECT_0)
            TerminateProcess(m_process, 1);
        CloseHandle(m_process);
    }
    RunningLauncher(const RunningLauncher&) = delete;
    RunningLauncher& operator=(const RunningLauncher&) = delete;

    bool started() const { return m_process != nullptr; }
    HANDLE process() const { return m_process; }
    DWORD processId() const { return m_processId; }

    // The launcher's frame window, or null.
    HWND Frame() const { return FindFrame(m_processId); }

    // Waits for the frame to be shown, active, and to hold the keyboard focus (in itself or its view).
    HWND WaitForFrame() const
    {
        HWND window = nullptr;
        return test::WaitFor([&] { return FrameReady(window = Frame()); }) ? window : nullptr;
    }

    // Stores size `sizeIndex` at the top-left corner for the launcher to open at, presses Esc through
    // its start-up pictures and waits for the frame as WaitForFrame does.
    HWND ShowAtTopLeft(int sizeIndex) const
    {
        test::WriteSetting("WPSizeIndex", DWORD(sizeIndex));
        test::WriteSetting("IDS_REG_LEFT", 0);
        test::WriteSetting("IDS_REG_TOP", 0);
        for (int picture = 0; picture < 2; ++picture) {
            HWND splash = nullptr;
            if (!test::WaitFor([&] { return (splash = Splash()) != nullptr && OwnsForeground(); }))
                return nullptr;
            test::PressKey(VK_ESCAPE);
            test::WaitFor([&] { return Splash() != splash; });
        }
        return WaitForFrame();
    }

    struct Shown {
        HWND frame, view;
    };
    // The frame shown as ShowAtTopLeft shows it, and its view; a launcher that does not show throws
    // CannotGoOn, which fails the case there.
    Shown ShowViewAtTopLeft(int sizeIndex) const
    {
        HWND frame = ShowAtTopLeft(sizeIndex);
        if (!frame)
            throw CannotGoOn("the launcher did not show at size " + std::to_string(sizeIndex));
        return { frame, ViewOfFrame(frame) };
    }

    // The start-up picture now shown, or null: a visible untitled popup window of the launcher.
    HWND Splash() const
    {
        WindowSearch search = { m_processId, nullptr };
        EnumWindows(&FindSplash, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    // Whether the keyboard goes to the launcher: its process owns the foreground window.
    bool OwnsForeground() const
    {
        DWORD owner = 0;
        GetWindowThreadProcessId(GetForegroundWindow(), &owner);
        return owner == m_processId;
    }

    bool WaitForExit(DWORD& exitCode) const
    {
        if (WaitForSingleObject(m_process, 20000) != WAIT_OBJECT_0)
            return false;
        return GetExitCodeProcess(m_process, &exitCode);
    }

private:
    static BOOL CALLBACK FindSplash(HWND window, LPARAM data)
    {
        auto* search = reinterpret_cast<WindowSearch*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != search->processId || !IsWindowVisible(window) || GetWindowTextLengthA(window) != 0
            || !(GetWindowLongA(window, GWL_STYLE) & WS_POPUP))
            return TRUE;
        search->found = window;
        return FALSE;
    }

    HANDLE m_process = nullptr;
    DWORD m_processId = 0;
};

// The stand-in game's window of this title once it is visible, or null.
inline HWND WaitForGameWindow(const char* title)
{
    HWND game = nullptr;
    test::WaitFor([&] { return (game = FindWindowA("VelmoraStandInGame", title)) && IsWindowVisible(game); });
    return game;
}

// Ends a stand-in game as its user would, with a click on it.
inline void ClickToClose(HWND game)
{
    RECT rect = test::WindowRect(game);
    test::ClickAt((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

} // namespace test
