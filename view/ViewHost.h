// What the view, its screen-reader object and the start-up pictures ask of the main frame, which implements it.
#pragma once

#include "framework/WinApp.h"
#include "framework/Wnd.h"

class ViewHost {
public:
    // Whether game `index` is available; unless `queryOnly`, also launches it and waits for it to end.
    virtual bool LaunchGame(int index, bool queryOnly) = 0;
    // Whether the frame is waiting for a game it started.
    virtual bool IsGameRunning() const = 0;
    // While a game runs, keeps the command for `target` to be taken up once the game has ended, and
    // returns true; otherwise returns false.
    virtual bool DeferCommand(HWND target, WPARAM wParam, LPARAM lParam) = 0;
    // The current screen-size index, 0 to 2: it selects the view's picture set and button layout.
    virtual int GetScreenSizeIndex() const = 0;
    // Whether this program is the active one; while it is not, no button is drawn highlighted.
    virtual bool IsAppActive() const = 0;
    // Plays the highlight sound and returns at once.
    virtual void PlayHighlightSound() = 0;
    // Shows the hidden frame at its stored place, or plainly if that cannot be applied.
    virtual void ShowRestored() = 0;

protected:
    ~ViewHost() = default;
};

class CLauncherVlm2001View;

// Where the one launcher view registers itself while it exists: the application object holds it, and the
// frame reaches the view through it.
class LauncherViewRegistry {
public:
    CLauncherVlm2001View* m_pLauncherView = nullptr;

protected:
    ~LauncherViewRegistry() = default;
};

// The application object as the view's registry, or null where another application runs the view.
inline LauncherViewRegistry* ViewRegistry()
{
    return dynamic_cast<LauncherViewRegistry*>(AfxGetApp());
}

// The application's main window as the view's host, looked up at each use: null before the frame exists
// and after it has gone.
inline ViewHost* MainViewHost()
{
    return dynamic_cast<ViewHost*>(AfxGetMainWnd());
}
