// The two start-up pictures, each in a borderless window of its own, shown before the main window.
#pragma once

#include "framework/Gdi.h"
#include "framework/Wnd.h"

class CSplashPictureWnd : public CWnd {
public:
    CSplashPictureWnd() = default;
    ~CSplashPictureWnd() override;

    // Whether this run shows the pictures at all (the command line's show-splash flag).
    static void EnableSplash(BOOL enable) { s_bSplashEnabled = enable; }
    // Shows the current picture with `parent` as its parent, unless one is up or the sequence is over.
    static void ShowSplash(CWnd* parent);
    // Called first for every message the application pre-translates: a key or mouse-button press
    // while a picture is up dismisses it and goes no further (TRUE).
    static BOOL FilterStartupMessage(const MSG* msg);
    // Whether a picture window is up now.
    static bool IsShowing() { return s_pSplash != nullptr; }

    BOOL CreatePictureWindow(CWnd* parent);
    // Closes this picture; the last one places and shows the main window.
    void Dismiss();
    CPalette* SetActivePalette(CPalette* palette);

    const MessageMap* GetMessageMap() const override { return &messageMap; }
    static const MessageMap messageMap;

protected:
    void PostNcDestroy() override;
    int OnCreate(LPCREATESTRUCT cs);
    void OnPaint();
    void OnTimer(UINT_PTR id);
    BOOL OnQueryNewPalette();
    void OnPaletteChanged(HWND focusWindow);

private:
    // Builds m_palette from the colour table of the picture selected into `memory` and makes it the active
    // palette; false when there was no memory to build it in.
    bool BuildPalette(HDC memory);
    // Realises the active palette in the window; TRUE when entries changed.
    BOOL RealizeActivePalette(PaletteMapping mapping);

    static const MessageEntry messageEntries[];

    static inline BOOL s_bSplashEnabled = FALSE;
    static inline CSplashPictureWnd* s_pSplash = nullptr;
    static inline unsigned s_nPictureIndex = 0;

    CPalette m_palette;
    CPalette* m_pActivePalette = nullptr;
    CBitmap m_bitmap;
    // Set once the window exists; only then does its destruction delete this object and go on.
    BOOL m_bWindowUp = FALSE;
};
