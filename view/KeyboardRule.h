// How the keys move the highlight over the game grid and start the highlighted game.
#pragma once

#include "ButtonLayout.h"

#include <array>

namespace velmora {

// The keys the grid answers; the view maps virtual keys onto them.
enum class GridKey { Left, Right, Up, Down, Home, End, Launch, Clear, Other };

// Which games can be started (their slot is not "unused"), in button order.
using Availability = std::array<bool, kButtonCount>;

struct GridKeyOutcome {
    int highlighted; // the button to highlight, -1 for none
    bool keyboard; // whether that highlight is the keyboard's (only such a one is started by a key)
    int launch; // the game to start, or -1
    bool operator==(const GridKeyOutcome&) const = default;
};

// What `key` does to the highlight `highlighted` (-1 for none), which is the keyboard's when
// `keyboard` is set and otherwise the pointer's.
GridKeyOutcome ApplyGridKey(GridKey key, int highlighted, bool keyboard, const Availability& available);

} // namespace velmora
