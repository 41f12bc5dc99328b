// The launcher view: the background and the twelve game buttons of the current size, composed off
// screen; it highlights the button under the pointer or chosen by the keys and starts the game
// clicked or entered, and answers screen readers.
#pragma once

#include "ButtonLayout.h"
#include "KeyboardRule.h"
#include "framework/FrameWnd.h"
#include "graphics/DibSurface.h"

#include <memory>

class CLauncherAccessible;

// Disconnects the view's accessible object and drops the view's reference to it.
struct AccessibleDisconnect {
    void operator()(CLauncherAccessible* object) const;
};

class CLauncherVlm2001View : public CView, private velmora::HoverState, private velmora::HoverHost {
public:
    CLauncherVlm2001View();
    ~CLauncherVlm2001View() override;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override { return CView::PreCreateWindow(cs); }
    void OnDraw(CDC* dc) override;

    // Recomputes the twelve button rectangles of the current size for a client area of this size.
    void ComputeButtonRects(int width, int height);
    int GetHighlightedButton() const { return m_nHighlighted; }
    void SetHighlightedButton(int button) { SetHighlighted(button, *this); }
    // The hover step for a pointer position in client coordinates.
    void TrackPointer(int x, int y);
    // Called on the frame's timer: drops the highlight once the pointer has left the view.
    void CheckPointerOutside();
    // Paints pending invalid parts at once.
    void UpdateNow();
    CDibCanvas* GetCanvas() { return &m_canvas; }
    // The palette the view draws with, or null if there is none.
    HPALETTE GetPalette() const { return m_canvas.m_pPalette ? HPALETTE(*m_canvas.m_pPalette) : nullptr; }

    // The highlighted button if the keys put the highlight there, else -1.
    int GetKeyboardButton() const { return m_bKeyboardHighlight ? m_nHighlighted : -1; }
    // The twelve rectangles of the current size in the current client area, as the next paint places them.
    velmora::ButtonRects CurrentButtonRects() const;
    // Whether game `button` can be started (its slot is not "unused").
    bool IsAvailable(int button) override;

    using velmora::HoverState::m_nHighlighted;
    using velmora::HoverState::m_nLastSounded;

    const MessageMap* GetMessageMap() const override { return &messageMap; }
    static const MessageMap messageMap;

protected:
    void OnSize(UINT type, int cx, int cy);
    BOOL OnEraseBkgnd(HDC dc);
    int OnCreate(LPCREATESTRUCT cs);
    void OnDestroy();
    void OnMouseMove(UINT flags, POINT point);
    void OnLButtonDown(UINT flags, POINT point);
    void OnKeyDown(UINT key, UINT repeatCount, UINT flags);
    LRESULT OnGetObject(WPARAM flags, LONG objectId);
    BOOL OnQueryNewPalette();
    void OnPaletteChanged(HWND focusWindow);
    BOOL RouteCommand(WPARAM wParam, LPARAM lParam) override;

private:
    void LoadPictures();
    // Button rectangles of the current size for a client area of this size.
    velmora::ButtonRects LayoutFor(int width, int height) const;
    // Puts the keyboard's highlight on `button`, or clears it (-1), drawn and sounded as the
    // pointer's would be, and tells screen readers.
    void SetKeyboardHighlight(int button);
    // The keys no longer hold the highlight (the pointer, the timer or another program took it):
    // tells screen readers that the focus is on the view itself.
    void DropKeyboardHighlight();
    // Whether the keys hold the highlight and the pointer is still where it was when they took it.
    bool PointerStillSinceKeys(POINT screenPoint) const;
    // What the hover rules ask of the view and the frame.
    void PlayHighlightSound() override;
    void Invalidate(const velmora::Rect* rect) override;
    void Launch(int button) override;

    static const MessageEntry messageEntries[];

    CDibSurface m_backgrounds[3];
    CDibCanvas m_canvas;
    velmora::Rect m_clientRect = { 0, 0, 0, 0 };
    CDibSurface m_buttonPictures[72];
    velmora::ButtonRects m_buttonRects[3] = {};
    bool m_bKeyboardHighlight = false; // the keys, not the pointer, made the highlight
    POINT m_keyboardPointer = { 0, 0 }; // the pointer's screen position when they made it
    std::unique_ptr<CLauncherAccessible, AccessibleDisconnect> m_accessible;
    bool m_bComInitialized = false; // by the first screen reader's request, for this view's lifetime
};
