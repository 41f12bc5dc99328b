// The button grid, the hit test, and the hover and click rules of the launcher view.
#include "view/ButtonLayout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmora {

namespace {

TEST(ButtonLayout, ColumnsAndRowsForEachSize)
{
    struct Row {
        int width, height, bw, bh;
        int lefts[4], tops[3];
    };
    // clang-format off
    static const Row rows[] = {
        {640, 480, 110, 110, {25, 185, 345, 505}, {25, 185, 345}},
        {800, 600, 137, 137, {31, 230, 429, 628}, {31, 230, 429}},   // 31.5 truncates to 31
        {1024, 768, 176, 176, {40, 296, 552, 808}, {40, 296, 552}},
        {440, 480, 110, 110, {0, 110, 220, 330}, {25, 185, 345}},    // exactly four widths: no margin
        {300, 200, 110, 110, {0, 110, 220, 330}, {0, 110, 220}},     // too small: the grid runs past the edges
        {1100, 800, 176, 176, {49, 323, 597, 871}, {45, 311, 577}},
    };
    // clang-format on
    for (const Row& row : rows) {
        ButtonRects rects = ComputeButtonLayout(row.width, row.height, row.bw, row.bh);
        for (int i = 0; i < kButtonCount; ++i) {
            Rect expected = { row.lefts[i % 4], row.tops[i / 4], row.lefts[i % 4] + row.bw, row.tops[i / 4] + row.bh };
            EXPECT_EQ(rects[i], expected) << row.width << "x" << row.height << " button " << i;
        }
    }
    EXPECT_EQ(ComputeButtonLayout(640, 480, 110, 110)[5], (Rect { 185, 185, 295, 295 }));
    EXPECT_EQ(ComputeButtonLayout(640, 480, 110, 110)[11], (Rect { 505, 345, 615, 455 }));
    EXPECT_EQ(ComputeButtonLayout(1024, 768, 176, 176)[3], (Rect { 808, 40, 984, 216 }));
}

TEST(ButtonLayout, RightAndBottomEdgesAreOutside)
{
    ButtonRects rects = ComputeButtonLayout(640, 480, 110, 110);
    EXPECT_TRUE(PointInRect(rects[5], 185, 185));
    EXPECT_TRUE(PointInRect(rects[5], 294, 294));
    EXPECT_FALSE(PointInRect(rects[5], 295, 250));
    EXPECT_FALSE(PointInRect(rects[5], 250, 295));
    EXPECT_FALSE(PointInRect(rects[5], 184, 250));
    EXPECT_TRUE(IsEmptyArea({ 0, 0, 0, 480 }));
    EXPECT_TRUE(IsEmptyArea({ 0, 0, 640, -1 }));
    EXPECT_FALSE(IsEmptyArea({ 0, 0, 1, 1 }));
}

// Records what the hover rules ask for; game 9 can be marked unavailable.
class FakeHost : public HoverHost {
public:
    bool IsAvailable(int button) override { return button != unavailable; }
    void PlayHighlightSound() override { events.push_back("sound"); }
    void Invalidate(const Rect* rect) override
    {
        events.push_back(
            rect ? "invalidate " + std::to_string(rect->left) + "," + std::to_string(rect->top) : "invalidate all");
    }
    void Launch(int button) override { events.push_back("launch " + std::to_string(button)); }

    int unavailable = -1;
    std::vector<std::string> events;
};

using Events = std::vector<std::string>;

class HoverTest : public ::testing::Test {
protected:
    ButtonRects rects = ComputeButtonLayout(640, 480, 110, 110);
    Rect client = { 0, 0, 640, 480 };
    HoverState state;
    FakeHost host;
};

TEST_F(HoverTest, EnteringAButtonSoundsOnceAndEveryStepRepaintsIt)
{
    state.Track(rects, client, 510, 30, host); // button 3
    state.Track(rects, client, 511, 31, host);
    EXPECT_EQ(state.m_nHighlighted, 3);
    EXPECT_EQ(state.m_nLastSounded, 3);
    EXPECT_EQ(host.events, (Events { "sound", "invalidate 505,25", "invalidate 505,25", "invalidate 505,25" }));
}

TEST_F(HoverTest, TheGapClearsTheHighlightAndTheSoundMemory)
{
    state.Track(rects, client, 510, 30, host);
    state.Track(rects, client, 500, 30, host); // the gap left of button 3
    EXPECT_EQ(state.m_nHighlighted, -1);
    EXPECT_EQ(state.m_nLastSounded, -1);
    state.Track(rects, client, 510, 30, host);
    EXPECT_EQ(
        host.events, (Events { "sound", "invalidate 505,25", "invalidate 505,25", "sound", "invalidate 505,25" }));
}

TEST_F(HoverTest, LeavingTheWindowClearsTheHighlightButNotTheSoundMemory)
{
    state.Track(rects, client, 510, 30, host);
    state.CheckOutside(client, 700, 30, host);
    EXPECT_EQ(state.m_nHighlighted, -1);
    EXPECT_EQ(state.m_nLastSounded, 3);
    state.CheckOutside(client, 700, 30, host); // nothing highlighted: nothing more to do
    state.Track(rects, client, 510, 30, host); // straight back onto the same button: silent
    EXPECT_EQ(host.events, (Events { "sound", "invalidate 505,25", "invalidate all", "invalidate 505,25" }));
}

TEST_F(HoverTest, NeighboursWithoutAMarginEachSound)
{
    rects = ComputeButtonLayout(440, 330, 110, 110);
    state.Track(rects, client, 109, 50, host);
    state.Track(rects, client, 110, 50, host);
    EXPECT_EQ(state.m_nHighlighted, 1);
    EXPECT_EQ(host.events, (Events { "sound", "invalidate 0,0", "invalidate 0,0", "sound", "invalidate 110,0" }));
}

TEST_F(HoverTest, UnavailableButtonsNeverHighlightSoundOrLaunch)
{
    host.unavailable = 9; // button 9 is at 185,345
    state.Track(rects, client, 190, 350, host);
    state.Click(rects, client, 190, 350, host);
    EXPECT_EQ(state.m_nHighlighted, -1);
    EXPECT_TRUE(host.events.empty());
}

TEST_F(HoverTest, OnlyAClickOnTheHighlightedButtonLaunches)
{
    state.Click(rects, client, 190, 190, host); // nothing highlighted yet
    EXPECT_TRUE(host.events.empty());
    state.Track(rects, client, 190, 190, host); // button 5
    host.events.clear();
    state.Click(rects, client, 30, 30, host); // button 0, not highlighted
    state.Click(rects, client, 190, 190, host);
    EXPECT_EQ(host.events, (Events { "launch 5" }));
    EXPECT_EQ(state.m_nHighlighted, 5);
}

TEST_F(HoverTest, AnEmptyClientAreaIgnoresThePointer)
{
    Rect none = { 0, 0, 0, 0 };
    state.Track(rects, none, 30, 30, host);
    state.Click(rects, none, 30, 30, host);
    state.CheckOutside(none, -5, -5, host);
    EXPECT_TRUE(host.events.empty());
    // Before the first paint at a size, its rectangles are all zero and nothing is hit.
    ButtonRects zero = {};
    state.Track(zero, client, 0, 0, host);
    EXPECT_EQ(state.m_nHighlighted, -1);
}

TEST_F(HoverTest, OutOfRangeHighlightsClearWithoutSound)
{
    state.SetHighlighted(4, host);
    state.SetHighlighted(12, host);
    EXPECT_EQ(state.m_nHighlighted, -1);
    state.SetHighlighted(-2, host);
    EXPECT_EQ(state.m_nHighlighted, -1);
    state.SetHighlighted(4, host); // still the last to sound
    EXPECT_EQ(host.events, (Events { "sound" }));
}

} // namespace
} // namespace velmora
