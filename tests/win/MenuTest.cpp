// The frame's menu: its structure, and the states its items take when a popup opens.
#include "Harness.h"
#include "LauncherSession.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string ItemText(HMENU menu, UINT position)
{
    char text[128] = "";
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

struct ItemState {
    bool enabled, checked;
    bool operator==(const ItemState&) const = default;
};

std::ostream& operator<<(std::ostream& out, const ItemState& state)
{
    return out << (state.enabled ? "enabled" : "greyed") << (state.checked ? ", checked" : "");
}

// Opens popup `popup` as the menu bar would and reads back item `id`.
ItemState StateAfterOpening(HWND frame, HMENU popup, UINT id)
{
    SendMessageA(frame, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), MAKELPARAM(0, FALSE));
    UINT state = GetMenuState(popup, id, MF_BYCOMMAND);
    return { !(state & (MF_GRAYED | MF_DISABLED)), (state & MF_CHECKED) != 0 };
}

HMENU SizeMenu(HWND frame)
{
    return GetSubMenu(GetSubMenu(GetMenu(frame), 2), 0);
}

class MenuTest : public test::LauncherTest { };

TEST_F(MenuTest, HasTheFourPopupsWithTheirItemsInOrder)
{
    test::LauncherSession session;
    HMENU bar = GetMenu(session.hwnd());
    ASSERT_EQ(GetMenuItemCount(bar), 4);
    EXPECT_EQ(ItemText(bar, 0), "&File");
    EXPECT_EQ(ItemText(bar, 1), "&Launch");
    EXPECT_EQ(ItemText(bar, 2), "&View");
    EXPECT_EQ(ItemText(bar, 3), "&About");

    HMENU file = GetSubMenu(bar, 0);
    ASSERT_EQ(GetMenuItemCount(file), 1);
    EXPECT_EQ(ItemText(file, 0), "E&xit");
    EXPECT_EQ(GetMenuItemID(file, 0), 57665u);

    static const char* const games[] = { "Backgammon", "Bridge", "Checkers", "Chess", "Chinese Chess", "Dominoes",
        "Four In A Line", "Go", "Gomoku", "Reversi", "Shogi", "TaiPei" };
    HMENU launch = GetSubMenu(bar, 1);
    ASSERT_EQ(GetMenuItemCount(launch), 12);
    for (UINT i = 0; i < 12; ++i) {
        EXPECT_EQ(ItemText(launch, i), games[i]) << "item " << i;
        EXPECT_EQ(GetMenuItemID(launch, int(i)), 32772u + i) << "item " << i;
    }

    HMENU view = GetSubMenu(bar, 2);
    ASSERT_EQ(GetMenuItemCount(view), 1);
    EXPECT_EQ(ItemText(view, 0), "Sc&reen Size");
    HMENU sizes = GetSubMenu(view, 0);
    ASSERT_NE(sizes, nullptr);
    ASSERT_EQ(GetMenuItemCount(sizes), 3);
    EXPECT_EQ(ItemText(sizes, 0), "&1024x768");
    EXPECT_EQ(GetMenuItemID(sizes, 0), 32784u);
    EXPECT_EQ(ItemText(sizes, 1), "&800x600");
    EXPECT_EQ(GetMenuItemID(sizes, 1), 32785u);
    EXPECT_EQ(ItemText(sizes, 2), "&640x480");
    EXPECT_EQ(GetMenuItemID(sizes, 2), 32786u);

    HMENU about = GetSubMenu(bar, 3);
    ASSERT_EQ(GetMenuItemCount(about), 1);
    EXPECT_EQ(ItemText(about, 0), "&About Velmora...");
    EXPECT_EQ(GetMenuItemID(about, 0), 57664u);
}

TEST_F(MenuTest, ItemsWithHandlersAreEnabledAndOthersGreyed)
{
    test::LauncherSession session;
    HMENU bar = GetMenu(session.hwnd());
    HMENU launch = GetSubMenu(bar, 1);
    for (UINT id = ID_LAUNCH_FIRST; id < ID_LAUNCH_FIRST + 12; ++id)
        EXPECT_EQ(StateAfterOpening(session.hwnd(), launch, id), (ItemState { true, false })) << "command " << id;
    EXPECT_EQ(StateAfterOpening(session.hwnd(), GetSubMenu(bar, 0), ID_APP_EXIT), (ItemState { true, false }));
    EXPECT_EQ(StateAfterOpening(session.hwnd(), GetSubMenu(bar, 3), ID_APP_ABOUT), (ItemState { true, false }));
    // A command nothing answers is greyed: the Launch menu with an id no handler knows.
    AppendMenuA(launch, MF_STRING, 40000, "Nothing");
    EXPECT_EQ(StateAfterOpening(session.hwnd(), launch, 40000), (ItemState { false, false }));
}

// The screen-size items on the display this test runs on (the prefix's virtual desktop).
TEST_F(MenuTest, SizeItemsFollowTheDisplayAndTheCurrentSize)
{
    struct Row {
        int displayWidth, displayHeight;
        ItemState large, medium, small;
    };
    static const Row rows[] = {
        { 1280, 1024, { true, true }, { true, false }, { true, false } },
        { 1024, 768, { true, true }, { true, false }, { true, false } },
        { 800, 600, { false, false }, { true, true }, { true, false } },
        { 640, 480, { false, false }, { false, false }, { true, true } },
    };
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    const Row* row = nullptr;
    for (const Row& candidate : rows)
        if (candidate.displayWidth == width && candidate.displayHeight == height)
            row = &candidate;
    ASSERT_NE(row, nullptr) << "no expectations for a " << width << "x" << height << " display";

    test::LauncherSession session; // first run: the largest size the display holds
    HMENU sizes = SizeMenu(session.hwnd());
    EXPECT_EQ(StateAfterOpening(session.hwnd(), sizes, ID_SIZE_LARGE), row->large);
    EXPECT_EQ(StateAfterOpening(session.hwnd(), sizes, ID_SIZE_MEDIUM), row->medium);
    EXPECT_EQ(StateAfterOpening(session.hwnd(), sizes, ID_SIZE_SMALL), row->small);

    // Dragging is not limited by the display: a greyed current size carries no check mark.
    if (width == 800) {
        RECT rect = test::WindowRect(session.hwnd());
        SetWindowPos(session.hwnd(), nullptr, rect.left, rect.top, 1024, 768, SWP_NOZORDER);
        EXPECT_EQ(session.frame()->GetScreenSizeIndex(), 2);
        EXPECT_EQ(StateAfterOpening(session.hwnd(), sizes, ID_SIZE_LARGE), (ItemState { false, false }));
        EXPECT_FALSE(StateAfterOpening(session.hwnd(), sizes, ID_SIZE_MEDIUM).checked);
        EXPECT_FALSE(StateAfterOpening(session.hwnd(), sizes, ID_SIZE_SMALL).checked);
    }
}

} // namespace
