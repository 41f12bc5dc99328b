// The keyboard's moves over the grid: reading order for Left and Right, columns for Up and Down.
#include "KeyboardRule.h"

namespace velmora {

namespace {

bool IsAvailable(const Availability& available, int button)
{
    return button >= 0 && button < kButtonCount && available[button];
}

// The first available button from `from` on in steps of `step`, or -1 when the grid ends first.
int NextAvailable(const Availability& available, int from, int step)
{
    for (int button = from; button >= 0 && button < kButtonCount; button += step)
        if (available[button])
            return button;
    return -1;
}

// Where a move key takes the highlight, or -1 when no game can be reached.
int MoveTarget(GridKey key, int highlighted, const Availability& available)
{
    if (key == GridKey::End)
        return NextAvailable(available, kButtonCount - 1, -1);
    if (key == GridKey::Home || highlighted < 0)
        return NextAvailable(available, 0, 1);
    int step = key == GridKey::Left ? -1
        : key == GridKey::Right     ? 1
        : key == GridKey::Up        ? -kButtonColumns
                                    : kButtonColumns;
    int target = NextAvailable(available, highlighted + step, step);
    return target >= 0 ? target : highlighted; // at the edge of the grid the highlight stays
}

} // namespace

GridKeyOutcome ApplyGridKey(GridKey key, int highlighted, bool keyboard, const Availability& available)
{
    GridKeyOutcome unchanged = { highlighted, keyboard, -1 };
    switch (key) {
    case GridKey::Launch:
        if (keyboard && IsAvailable(available, highlighted))
            return { highlighted, true, highlighted };
        return unchanged;
    case GridKey::Clear:
        return keyboard && highlighted >= 0 ? GridKeyOutcome { -1, false, -1 } : unchanged;
    case GridKey::Other:
        return unchanged;
    default: {
        int target = MoveTarget(key, highlighted, available);
        // Any move key takes the highlight over, even one that leaves it where it is.
        return target >= 0 ? GridKeyOutcome { target, true, -1 } : unchanged;
    }
    }
}

} // namespace velmora
