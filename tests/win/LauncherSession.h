// Runs the launcher's application object inside the test program, so its frame can be examined.
#pragma once

#include "app/LauncherApp.h"
#include "app/MainFrame.h"

#include <memory>
#include <string>

namespace test {

class LauncherSession {
public:
    enum class Pictures { PressThrough, LeaveUp };
    // Starts the application as the program would with `commandLine`; a start that fails throws
    // CannotGoOn, which fails the case there. With LeaveUp the first start-up picture stays and no
    // message has been handled yet.
    explicit LauncherSession(const char* commandLine = "", Pictures pictures = Pictures::PressThrough);
    // For a case about a start that fails: check started() afterwards.
    struct MayFail { };
    explicit LauncherSession(MayFail, const char* commandLine = "", Pictures pictures = Pictures::PressThrough);
    // Closes the frame if it is still open and ends the application.
    ~LauncherSession();
    LauncherSession(const LauncherSession&) = delete;
    LauncherSession& operator=(const LauncherSession&) = delete;

    bool started() const { return m_started; }
    CMainFrame* frame() const { return LauncherFrame(); }
    HWND hwnd() const { return frame() ? frame()->m_hWnd : nullptr; }
    // Sends a menu command to the frame as choosing the item would.
    void Command(UINT id);
    // Closes the frame as its close box would, and waits for the message loop to end.
    void Close();

private:
    std::string m_commandLine;
    std::unique_ptr<CLauncherVlm2001App> m_app;
    bool m_started = false;
};

} // namespace test
