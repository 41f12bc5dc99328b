// The launcher view; it registers itself with the application for the frame to reach.
#include "LauncherView.h"

#include "app/LauncherApp.h"

CLauncherVlm2001View::CLauncherVlm2001View()
{
    LauncherApp()->m_pLauncherView = this;
}

CLauncherVlm2001View::~CLauncherVlm2001View()
{
    LauncherApp()->m_pLauncherView = nullptr;
}

void CLauncherVlm2001View::OnDraw(CDC*)
{
    // The window class's brush has painted the background; there is nothing on it yet.
}

void CLauncherVlm2001View::UpdateNow()
{
    UpdateWindow();
}

void CLauncherVlm2001View::CheckPointerOutside()
{
    // Nothing is highlighted in an empty view, so leaving it changes nothing.
}
