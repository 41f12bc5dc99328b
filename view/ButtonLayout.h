// Where the twelve game buttons sit in the view, and how the pointer highlights and starts them.
#pragma once

#include "graphics/Geometry.h"

#include <array>

namespace velmora {

inline constexpr int kButtonCount = 12;
inline constexpr int kButtonColumns = 4; // of the grid ComputeButtonLayout places, in three rows
using ButtonRects = std::array<Rect, kButtonCount>;

// Four columns and three rows of buttons of bw x bh in a client area of width x height: each button
// in the middle of its cell, margins shared out evenly, none when the area is too small.
ButtonRects ComputeButtonLayout(int width, int height, int bw, int bh);

// Whether (x, y) lies inside `r`: the right and bottom edges are outside.
bool PointInRect(const Rect& r, int x, int y);

bool IsEmptyArea(const Rect& client);

// What the hover rules ask of the view and of the main frame.
class HoverHost {
public:
    virtual ~HoverHost() = default;
    // Whether game `button` can be started (its slot is not "unused").
    virtual bool IsAvailable(int button) = 0;
    // Plays the highlight sound if there is a main window to play it.
    virtual void PlayHighlightSound() = 0;
    virtual void Invalidate(const Rect* rect) = 0; // null: the whole client area
    // Starts game `button` and returns once it has ended.
    virtual void Launch(int button) = 0;
};

// The pointer's state over the buttons: the highlighted button, and the one that last sounded, so a
// button sounds once per entry.
struct HoverState {
    int m_nHighlighted = -1;
    int m_nLastSounded = -1;

    // Highlights `button` (-1 for none); a button other than the last to sound asks for the sound.
    void SetHighlighted(int button, HoverHost& host);
    // The pointer moved to (x, y) in client coordinates.
    void Track(const ButtonRects& rects, const Rect& client, int x, int y, HoverHost& host);
    // A left click at (x, y): starts the m_nHighlighted button's game when the click is on it.
    void Click(const ButtonRects& rects, const Rect& client, int x, int y, HoverHost& host);
    // The pointer is at (x, y), possibly outside the client area: drops the highlight if so.
    void CheckOutside(const Rect& client, int x, int y, HoverHost& host);
};

} // namespace velmora
