// The launcher's frame window: its three sizes, game launching and the stored placement.
#pragma once

#include "framework/FrameWnd.h"
#include "framework/Gdi.h"
#include "sound/ZibSound.h"
#include "view/ViewHost.h"

#include <deque>

class CMainFrame : public CFrameWnd, public ViewHost {
public:
    bool LaunchGame(int index, bool queryOnly) override;
    // Runs the game at relative `path` from its own folder while the launcher is hidden.
    void RunGameProcess(CString path, CString arguments);
    bool IsGameRunning() const override { return m_bGameRunning != FALSE; }
    bool DeferCommand(HWND target, WPARAM wParam, LPARAM lParam) override;

    void SetScreenSizeIndex(int index);
    int GetScreenSizeIndex() const override;
    int GetMaxScreenSizeIndex() const;
    bool IsAppActive() const override { return m_bAppInactive == FALSE; }

    // Stores the placement and size index when the window closes or the session ends; nothing before the
    // stored placement was applied, since the hidden frame has none of its own yet.
    BOOL SaveWindowState();
    // Applies the stored placement and size, which also shows the window.
    BOOL RestoreWindowState();
    void ShowRestored() override;

    // Opens the sound device for the main window, once at start-up; without one the launcher is silent.
    void InitSound();
    void PlayHighlightSound() override;
    // Plays the confirmation sound and returns once it has finished.
    void PlayConfirmSound();

    CZibSound& GetSound() { return m_sound; }
    // The timer that drives the view's pointer check and prompt repaints.
    UINT_PTR GetTimerId() const { return m_nTimerId; }

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

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
    void OnPaletteIsChanging(HWND realizingWindow);
    void OnDisplayChange(UINT bitsPerPixel, UINT width, UINT height);
    void OnEndSession(BOOL ending);
    void OnWindowPosChanging(WINDOWPOS* pos);

    BOOL RouteCommand(WPARAM wParam, LPARAM lParam) override;

private:
    // Realises the view's palette in the frame; TRUE when entries changed.
    BOOL RealizeViewPalette(PaletteMapping mapping);
    // Hands on, once, what arrived for the frame while its game ran.
    void TakeUpDeferred();

    // Lets a test stand a game in without starting one.
    friend class GameRunningForTest;

    UINT_PTR m_nTimerId = 0;
    int m_nSizeIndex = 0;
    BOOL m_bAppInactive = TRUE;
    // Set while the launcher waits for a game it started.
    BOOL m_bGameRunning = FALSE;
    CZibSound m_sound;
    // Set once the stored placement has been applied.
    BOOL m_bPlaced = FALSE;

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
