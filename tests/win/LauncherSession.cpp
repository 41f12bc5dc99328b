// The launcher's application object run inside a test.
#include "LauncherSession.h"

#include "Harness.h"
#include "view/SplashPictureWnd.h"

namespace test {

LauncherSession::LauncherSession(const char* commandLine, Pictures pictures)
    : LauncherSession(MayFail {}, commandLine, pictures)
{
    // Thrown once the session is whole, so its destructor still ends the application.
    if (!m_started)
        throw CannotGoOn("the launcher did not start (command line \"" + m_commandLine + "\")");
}

LauncherSession::LauncherSession(MayFail, const char* commandLine, Pictures pictures)
    : m_commandLine(commandLine)
    , m_app(std::make_unique<CLauncherVlm2001App>())
{
    m_app->m_lpCmdLine = m_commandLine.data();
    m_app->m_nCmdShow = SW_SHOWNORMAL;
    m_started = m_app->InitInstance();
    if (pictures == Pictures::LeaveUp)
        return;
    // Key presses dismiss the start-up pictures, as a user in a hurry would.
    MSG press = { hwnd(), WM_KEYDOWN, VK_ESCAPE, 0, 0, { 0, 0 } };
    while (CSplashPictureWnd::IsShowing())
        CSplashPictureWnd::FilterStartupMessage(&press);
    PumpMessages();
}

LauncherSession::~LauncherSession()
{
    Close();
    m_app->ExitInstance();
}

void LauncherSession::Command(UINT id)
{
    SendMessageA(hwnd(), WM_COMMAND, id, 0);
}

void LauncherSession::Close()
{
    if (!hwnd())
        return;
    SendMessageA(hwnd(), WM_CLOSE, 0, 0);
    // The frame posts the end of the message loop when it goes; take that message off the queue.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        if (msg.message != WM_QUIT)
            DispatchMessageA(&msg);
}

} // namespace test
