// The launcher's frame window: its three sizes, game launching and the stored placement.
#pragma once

#include "framework/FrameWnd.h"
#include "sound/ZibSound.h"

#include <deque>

class CMainFrame : public CFrameWnd {
public:
    // Whether game `index` is available; unless `queryOnly`, also launches it and waits for it to end.
    bool LaunchGame(int index, bool queryOnly);
    // Runs the game at relative `path` from its own folder while the launcher is hidden.
    void RunGameProcess(CString path, CString arguments);
    // Whether the launcher is waiting for a game it started.
    bool IsGameRunning() const { return m_bGameRunning != FALSE; }
    // While a game runs, keeps the command for `target` to be taken up once the game has ended, and
    // returns true; otherwise returns false.
    bool DeferCommand(HWND target, WPARAM wParam, LPARAM lParam);

    void SetScreenSizeIndex(int index);
    int GetScreenSizeIndex() const;
    int GetMaxScreenSizeIndex() const;

    // Stores the placement and size index when the window closes or the session ends; nothing before the
    // stored placement was applied, since the hidden frame has none of its own yet.
    BOOL SaveWindowState();
    // Applies the stored placement and size, which also shows the window.
    BOOL RestoreWindowState();
    // Shows the hidden frame at its stored place, or plainly if that cannot be applied.
    void ShowRestored();

    // Opens the sound device for the main window, once at start-up; without one the launcher is silent.
    void InitSound();
    // Plays the highlight sound and returns at once.
    void PlayHighlightSound();
    // Plays the confirmation sound and returns once it has finished.
    void PlayConfirmSound();

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    UINT_PTR m_nTimerId = 0;
    int m_nSizeIndex = 0;
    BOOL m_bAppInactive = TRUE;
    // Set while the launcher waits for a game it started.
    BOOL m_bGameRunning = FALSE;
    CZibSound m_sound;
    // Set once the stored placement has been applied.
    BOOL m_bPlaced = FALSE;

    const MessageMap* GetMessageMap() const override { return &messageMap; }
    static const MessageMap messageMap;

protected:
    int OnCreate(LPCREATESTRUCT cs);
    void OnDestroy();
    void OnTimer(UINT_PTR id);
    void OnSizing(UINT edge, LPRECT rect);
    void OnSize(UINT type, int cx, int cy);
    void OnClose();
    void OnActivateApp(BOOL active, DWORD thread);
    BOOL OnQueryNewPalette();
    void OnPaletteChanged(HWND focusWindow);
    void OnDisplayChange(UINT bitsPerPixel, UINT width, UINT height);
    void OnEndSession(BOOL ending);
    void OnWindowPosChanging(WINDOWPOS* pos);

    BOOL RouteCommand(WPARAM wParam, LPARAM lParam) override;

private:
    // Realises the view's palette in the frame; TRUE when entries changed.
    BOOL RealizeViewPalette(bool background);
    // Hands on, once, what arrived for the frame while its game ran.
    void TakeUpDeferred();

    struct DeferredCommand {
        HWND target;
        WPARAM wParam;
        LPARAM lParam;
    };
    std::deque<DeferredCommand> m_deferredCommands; // in the order they came
    BOOL m_bCloseDeferred = FALSE;
    BOOL m_bDisplayChangeDeferred = FALSE;
    static const MessageEntry messageEntries[];
};
