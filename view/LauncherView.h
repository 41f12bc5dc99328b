// The launcher view: the background and the twelve game buttons of the current size, composed off
// screen; it highlights the button under the pointer and starts the game clicked.
#pragma once

#include "ButtonLayout.h"
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
    BOOL OnQueryNewPalette();
    void OnPaletteChanged(HWND focusWindow);

private:
    void LoadPictures();
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
};
