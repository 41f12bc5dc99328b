// The launcher view: fills the frame's client area; the frame reaches it through the application.
#pragma once

#include "framework/FrameWnd.h"

class CLauncherVlm2001View : public CView {
public:
    CLauncherVlm2001View();
    ~CLauncherVlm2001View() override;

    void OnDraw(CDC* dc) override;

    // Paints pending invalid parts at once.
    void UpdateNow();
    // Called on the frame's timer to drop what only holds while the pointer is over the view.
    void CheckPointerOutside();
    // The palette the frame realises for the view, or null.
    HPALETTE GetCanvasPalette() const { return nullptr; }
};
