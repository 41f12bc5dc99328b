// The keys over the game grid: every key at the corners and edges, with unused slots, with the
// pointer's highlight and with none.
#include "view/KeyboardRule.h"

#include <gtest/gtest.h>

namespace velmora {

namespace {

constexpr bool o = true, x = false; // available, "unused"
constexpr Availability kAll = { o, o, o, o, o, o, o, o, o, o, o, o };
constexpr Availability kNoGo = { o, o, o, o, o, o, o, x, o, o, o, o };
constexpr Availability kNoCorners = { x, o, o, o, o, o, o, o, o, o, o, x };
constexpr Availability kNoLastColumnBelowTop = { o, o, o, o, o, o, o, x, o, o, o, x };
constexpr Availability kNone = { x, x, x, x, x, x, x, x, x, x, x, x };

constexpr bool kKeys = true, kPointer = false;

const char* Name(GridKey key)
{
    static const char* const names[] = { "Left", "Right", "Up", "Down", "Home", "End", "Launch", "Clear", "Other" };
    return names[int(key)];
}

TEST(KeyboardRule, EveryKeyAtTheCornersAndEdges)
{
    using enum GridKey;
    struct Row {
        GridKey key;
        int highlighted;
        bool keyboard;
        const Availability& available;
        GridKeyOutcome expected;
    };
    static const Row rows[] = {
        // Nothing highlighted: every move key starts at the first game, End at the last.
        { Right, -1, kPointer, kAll, { 0, kKeys, -1 } },
        { Left, -1, kPointer, kAll, { 0, kKeys, -1 } },
        { Up, -1, kPointer, kAll, { 0, kKeys, -1 } },
        { Down, -1, kPointer, kAll, { 0, kKeys, -1 } },
        { Home, -1, kPointer, kAll, { 0, kKeys, -1 } },
        { End, -1, kPointer, kAll, { 11, kKeys, -1 } },
        { Launch, -1, kPointer, kAll, { -1, kPointer, -1 } },
        { Clear, -1, kPointer, kAll, { -1, kPointer, -1 } },
        { Other, -1, kPointer, kAll, { -1, kPointer, -1 } },
        // The four corners; reading order runs on into the next row but does not wrap round.
        { Left, 0, kKeys, kAll, { 0, kKeys, -1 } },
        { Up, 0, kKeys, kAll, { 0, kKeys, -1 } },
        { Right, 0, kKeys, kAll, { 1, kKeys, -1 } },
        { Down, 0, kKeys, kAll, { 4, kKeys, -1 } },
        { End, 0, kKeys, kAll, { 11, kKeys, -1 } },
        { Right, 3, kKeys, kAll, { 4, kKeys, -1 } },
        { Up, 3, kKeys, kAll, { 3, kKeys, -1 } },
        { Down, 3, kKeys, kAll, { 7, kKeys, -1 } },
        { Left, 8, kKeys, kAll, { 7, kKeys, -1 } },
        { Up, 8, kKeys, kAll, { 4, kKeys, -1 } },
        { Down, 8, kKeys, kAll, { 8, kKeys, -1 } },
        { Right, 11, kKeys, kAll, { 11, kKeys, -1 } },
        { Down, 11, kKeys, kAll, { 11, kKeys, -1 } },
        { Up, 11, kKeys, kAll, { 7, kKeys, -1 } },
        { Left, 11, kKeys, kAll, { 10, kKeys, -1 } },
        { Home, 11, kKeys, kAll, { 0, kKeys, -1 } },
        // Edges: the start of a row goes back to the end of the one above; the middle row moves both ways.
        { Left, 4, kKeys, kAll, { 3, kKeys, -1 } },
        { Up, 6, kKeys, kAll, { 2, kKeys, -1 } },
        { Down, 6, kKeys, kAll, { 10, kKeys, -1 } },
        // The keyboard's own highlight: Enter or Space starts it, Esc clears it, other keys leave it.
        { Launch, 5, kKeys, kAll, { 5, kKeys, 5 } },
        { Clear, 5, kKeys, kAll, { -1, kPointer, -1 } },
        { Other, 5, kKeys, kAll, { 5, kKeys, -1 } },
        // The pointer's highlight: moves start from it and take it over; it is neither started nor cleared.
        { Right, 5, kPointer, kAll, { 6, kKeys, -1 } },
        { Up, 5, kPointer, kAll, { 1, kKeys, -1 } },
        { Left, 0, kPointer, kAll, { 0, kKeys, -1 } },
        { Launch, 5, kPointer, kAll, { 5, kPointer, -1 } },
        { Clear, 5, kPointer, kAll, { 5, kPointer, -1 } },
        { Other, 5, kPointer, kAll, { 5, kPointer, -1 } },
        // Unused slots are stepped over in reading order and in the column, and never started.
        { Right, 6, kKeys, kNoGo, { 8, kKeys, -1 } },
        { Left, 8, kKeys, kNoGo, { 6, kKeys, -1 } },
        { Down, 3, kKeys, kNoGo, { 11, kKeys, -1 } },
        { Up, 11, kKeys, kNoGo, { 3, kKeys, -1 } },
        { Launch, 7, kKeys, kNoGo, { 7, kKeys, -1 } },
        { Down, 3, kKeys, kNoLastColumnBelowTop, { 3, kKeys, -1 } },
        { Right, -1, kPointer, kNoCorners, { 1, kKeys, -1 } },
        { Home, 5, kKeys, kNoCorners, { 1, kKeys, -1 } },
        { End, 5, kKeys, kNoCorners, { 10, kKeys, -1 } },
        { Left, 1, kKeys, kNoCorners, { 1, kKeys, -1 } },
        { Right, 10, kKeys, kNoCorners, { 10, kKeys, -1 } },
        { Down, 10, kKeys, kNoCorners, { 10, kKeys, -1 } },
        // No game at all: nothing to highlight.
        { Right, -1, kPointer, kNone, { -1, kPointer, -1 } },
        { Home, -1, kPointer, kNone, { -1, kPointer, -1 } },
        { End, -1, kPointer, kNone, { -1, kPointer, -1 } },
    };
    for (const Row& row : rows) {
        GridKeyOutcome got = ApplyGridKey(row.key, row.highlighted, row.keyboard, row.available);
        EXPECT_EQ(got, row.expected) << Name(row.key) << " from " << row.highlighted
                                     << (row.keyboard ? " (keys)" : " (pointer)") << ": got " << got.highlighted
                                     << (got.keyboard ? " (keys)" : " (pointer)") << ", launch " << got.launch;
    }
}

} // namespace
} // namespace velmora
