// The launcher view: the background and the twelve game buttons of the current size, composed off
// screen; it highlights the button under the pointer or chosen by the keys and starts the game
// clicked or entered.
#pragma once

#include "ButtonLayout.h"
#include "KeyboardRule.h"
#include "framework/FrameWnd.h"
#include "graphics/DibSurface.h"

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

    // The highlighted button if the keys put the highlight there, else -1.
    int GetKeyboardButton() const { return m_bKeyboardHighlight ? m_nHighlighted : -1; }

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
    void OnKeyDown(UINT key);
    BOOL OnQueryNewPalette();
    void OnPaletteChanged(HWND focusWindow);

private:
    void LoadPictures();
    // Puts the keyboard's highlight on `button`, or clears it (-1), drawn and sounded as the
    // pointer's would be.
    void SetKeyboardHighlight(int button);
    // Whether the keys hold the highlight and the pointer is still where it was when they took it.
    bool PointerStillSinceKeys(POINT screenPoint) const;
    // What the hover rules ask of the view and the frame.
    bool IsAvailable(int button) override;
    void PlayHighlightSound() override;
    void Invalidate(const velmora::Rect* rect) override;
    void Launch(int button) override;

    static const MessageEntry messageEntries[];

    CDibSurface m_backgrounds[3];
    CDibCanvas m_canvas;
    velmora::Rect m_clientRect = {0, 0, 0, 0};
    CDibSurface m_buttonPictures[72];
    velmora::ButtonRects m_buttonRects[3] = {};
    bool m_bKeyboardHighlight = false; // the keys, not the pointer, made the highlight
    POINT m_keyboardPointer = { 0, 0 }; // the pointer's screen position when they made it
};
