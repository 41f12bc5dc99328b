// The frame's three sizes under menu commands and display changes (1024x768 desktop).
#include "Harness.h"
#include "LauncherSession.h"
#include "RectAssert.h"
#include "res/resource.h"

#include <gtest/gtest.h>

namespace {

using test::RectIs;

class FrameSizeTest : public test::DesktopTest<1024, 768> { };

TEST_F(FrameSizeTest, SizeCommandsResizeFromTheTopLeftCorner)
{
    test::LauncherSession session;
    SetWindowPos(session.hwnd(), nullptr, 30, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_TRUE(RectIs(test::WindowRect(session.hwnd()), 30, 20, 1054, 788));

    session.Command(ID_SIZE_MEDIUM);
    EXPECT_TRUE(RectIs(test::WindowRect(session.hwnd()), 30, 20, 830, 620));
    EXPECT_EQ(session.frame()->GetScreenSizeIndex(), 1);

    session.Command(ID_SIZE_SMALL);
    EXPECT_TRUE(RectIs(test::WindowRect(session.hwnd()), 30, 20, 670, 500));
    EXPECT_EQ(session.frame()->GetScreenSizeIndex(), 0);

    session.Command(ID_SIZE_LARGE);
    EXPECT_TRUE(RectIs(test::WindowRect(session.hwnd()), 30, 20, 1054, 788));
    EXPECT_EQ(session.frame()->GetScreenSizeIndex(), 2);
}

// What the system's sizing loop sends while a border is dragged: the frame answers with one of
// the three sizes, the corner opposite the edge kept.
TEST_F(FrameSizeTest, SizingMessagesSnapTheDraggedRectangle)
{
    struct Row {
        UINT edge;
        RECT proposed, snapped;
    };
    static const Row rows[] = {
        { WMSZ_RIGHT, { 0, 0, 850, 768 }, { 0, 0, 800, 600 } },
        { WMSZ_TOP, { 0, -200, 1024, 700 }, { 224, 100, 1024, 700 } }, // a bottom at 700 allows no more than medium
        { WMSZ_BOTTOMRIGHT, { 10, 20, 710, 720 }, { 10, 20, 1034, 788 } },
        { WMSZ_BOTTOMRIGHT, { 10, 20, 710, 620 }, { 10, 20, 810, 620 } },
        { WMSZ_LEFT, { 300, 0, 1000, 500 }, { 360, 20, 1000, 500 } },
    };
    test::LauncherSession session;
    for (const Row& row : rows) {
        RECT rect = row.proposed;
        SendMessageA(session.hwnd(), WM_SIZING, row.edge, reinterpret_cast<LPARAM>(&rect));
        const RECT& e = row.snapped;
        EXPECT_TRUE(RectIs(rect, e.left, e.top, e.right, e.bottom)) << "edge " << row.edge;
    }
}

TEST_F(FrameSizeTest, ChoosingTheCurrentSizeNeitherResizesNorRepaints)
{
    test::LauncherSession session;
    // A window dragged to 900 wide is at the large size without having its outer size: choosing the
    // large size again must leave it so.
    SetWindowPos(session.hwnd(), nullptr, 0, 0, 900, 700, SWP_NOZORDER);
    ASSERT_EQ(session.frame()->GetScreenSizeIndex(), 2);
    test::PumpMessages();
    RedrawWindow(session.hwnd(), nullptr, nullptr, RDW_VALIDATE | RDW_ALLCHILDREN);
    test::MessageCounter sizes(session.hwnd(), WM_SIZE);

    session.Command(ID_SIZE_LARGE);
    EXPECT_EQ(sizes.count(), 0);
    EXPECT_FALSE(GetUpdateRect(session.hwnd(), nullptr, FALSE));
    EXPECT_TRUE(RectIs(test::WindowRect(session.hwnd()), 0, 0, 900, 700));
}

// Puts the display back however the test ends.
class DisplayMode {
public:
    ~DisplayMode() { Set(1024, 768); }
    static bool Set(int width, int height)
    {
        DEVMODEA mode = {};
        mode.dmSize = sizeof mode;
        mode.dmPelsWidth = DWORD(width);
        mode.dmPelsHeight = DWORD(height);
        mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
        return ChangeDisplaySettingsA(&mode, 0) == DISP_CHANGE_SUCCESSFUL;
    }
};

TEST_F(FrameSizeTest, ShrinksWhenTheDisplayBecomesTooSmallAndOnlyRecentresWhenItGrows)
{
    test::LauncherSession session;
    ASSERT_TRUE(RectIs(test::WindowRect(session.hwnd()), 0, 0, 1024, 768));
    DisplayMode restore;

    ASSERT_TRUE(DisplayMode::Set(800, 600));
    EXPECT_TRUE(test::WaitFor([&] { return test::WindowRect(session.hwnd()).right == 800; }));
    EXPECT_TRUE(RectIs(test::WindowRect(session.hwnd()), 0, 0, 800, 600));
    EXPECT_EQ(session.frame()->GetScreenSizeIndex(), 1);

    ASSERT_TRUE(DisplayMode::Set(1024, 768));
    EXPECT_TRUE(test::WaitFor([&] { return test::WindowRect(session.hwnd()).left == 112; }));
    EXPECT_TRUE(RectIs(test::WindowRect(session.hwnd()), 112, 84, 912, 684));
    EXPECT_EQ(session.frame()->GetScreenSizeIndex(), 1);
}

} // namespace
