// The placement stored when the frame closes and applied when it is shown at start.
#include "Harness.h"
#include "LauncherSession.h"
#include "RectAssert.h"
#include "res/resource.h"

#include <gtest/gtest.h>

namespace {

using test::ReadSetting;
using test::RectIs;
using test::WriteSetting;

class PlacementTest : public test::LauncherTest {
protected:
    // Sizes the window to 800x600 and moves it to (100, 50), which ExpectStored then finds stored.
    static void SizeAndMove(test::LauncherSession& session)
    {
        session.Command(ID_SIZE_MEDIUM);
        SetWindowPos(session.hwnd(), nullptr, 100, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    static void ExpectStored()
    {
        EXPECT_EQ(ReadSetting("WPSizeIndex"), 1u);
        EXPECT_EQ(ReadSetting("IDS_REG_LEFT"), 100u);
        EXPECT_EQ(ReadSetting("IDS_REG_TOP"), 50u);
        EXPECT_EQ(ReadSetting("IDS_REG_SHOW"), DWORD(SW_SHOWNORMAL));
        EXPECT_EQ(ReadSetting("IDS_REG_FLAGS"), 0u);
    }
};

TEST_F(PlacementTest, FirstRunOpensAtTheTopLeftAtTheLargestSizeTheDisplayHolds)
{
    struct Row {
        int width, height;
        LONG right, bottom;
    };
    static const Row rows[]
        = { { 1280, 1024, 1024, 768 }, { 1024, 768, 1024, 768 }, { 800, 600, 800, 600 }, { 640, 480, 640, 480 } };
    test::LauncherSession session;
    bool known = false;
    for (const Row& row : rows)
        if (DisplayIs(row.width, row.height)) {
            known = true;
            EXPECT_TRUE(RectIs(test::WindowRect(session.hwnd()), 0, 0, row.right, row.bottom));
        }
    EXPECT_TRUE(known) << "no expectation for this display";
    EXPECT_TRUE(IsWindowVisible(session.hwnd()));
    EXPECT_FALSE(IsIconic(session.hwnd()));
}

TEST_F(PlacementTest, CloseStoresThePlacementAndTheNextStartAppliesIt)
{
    if (!DisplayIs(1024, 768))
        GTEST_SKIP() << "runs on the 1024x768 desktop";
    {
        test::LauncherSession session;
        SizeAndMove(session);
        session.Close();
    }
    ExpectStored();

    test::LauncherSession next;
    EXPECT_TRUE(RectIs(test::WindowRect(next.hwnd()), 100, 50, 900, 650));
    EXPECT_EQ(next.frame()->GetScreenSizeIndex(), 1);
}

// A log-off ends the program without a close: the placement is stored then, and the window stays.
TEST_F(PlacementTest, TheEndOfTheSessionStoresThePlacementAsACloseDoes)
{
    if (!DisplayIs(1024, 768))
        GTEST_SKIP() << "runs on the 1024x768 desktop";
    test::LauncherSession session;
    SizeAndMove(session);
    SendMessageA(session.hwnd(), WM_ENDSESSION, FALSE, 0); // another program refused: the session goes on
    EXPECT_EQ(ReadSetting("WPSizeIndex"), std::nullopt);
    SendMessageA(session.hwnd(), WM_ENDSESSION, TRUE, 0);
    ExpectStored();
    EXPECT_TRUE(IsWindowVisible(session.hwnd()));
}

TEST_F(PlacementTest, AMinimisedWindowComesBackSmallAndNormal)
{
    if (!DisplayIs(1024, 768))
        GTEST_SKIP() << "runs on the 1024x768 desktop";
    {
        test::LauncherSession session;
        SetWindowPos(session.hwnd(), nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        ShowWindow(session.hwnd(), SW_MINIMIZE);
        ASSERT_TRUE(test::WaitFor([&] { return IsIconic(session.hwnd()) != FALSE; }));
        session.Close();
    }
    EXPECT_EQ(ReadSetting("WPSizeIndex"), 0u);
    EXPECT_EQ(ReadSetting("IDS_REG_SHOW"), DWORD(SW_SHOWMINIMIZED));

    test::LauncherSession next;
    EXPECT_FALSE(IsIconic(next.hwnd()));
    EXPECT_TRUE(RectIs(test::WindowRect(next.hwnd()), 40, 30, 680, 510));
}

TEST_F(PlacementTest, StoredSizesTheDisplayCannotHoldAreDroppedWithTheirPosition)
{
    struct Row {
        int width, height;
        DWORD storedIndex;
        RECT expected;
    };
    // Stored position 100/50 in every row.
    static const Row rows[] = {
        { 1280, 1024, 2, { 100, 50, 1124, 818 } },
        { 800, 600, 2, { 0, 0, 800, 600 } },
        { 1024, 768, 3, { 0, 0, 1024, 768 } },
        { 1024, 768, 2, { 100, 50, 1124, 818 } },
        { 1024, 768, DWORD(-5), { 100, 50, 740, 530 } }, // below -1 is not "nothing stored"
        { 640, 480, 1, { 0, 0, 640, 480 } },
    };
    bool ran = false;
    for (const Row& row : rows) {
        if (!DisplayIs(row.width, row.height))
            continue;
        ran = true;
        test::ClearSettings();
        WriteSetting("WPSizeIndex", row.storedIndex);
        WriteSetting("IDS_REG_LEFT", 100);
        WriteSetting("IDS_REG_TOP", 50);
        test::LauncherSession session;
        const RECT& e = row.expected;
        EXPECT_TRUE(RectIs(test::WindowRect(session.hwnd()), e.left, e.top, e.right, e.bottom))
            << "stored index " << int(row.storedIndex);
    }
    EXPECT_TRUE(ran);
}

TEST_F(PlacementTest, ValuesOfTheWrongTypeOrSizeCountAsAbsent)
{
    if (!DisplayIs(1024, 768))
        GTEST_SKIP() << "runs on the 1024x768 desktop";
    // A text index is no index: the defaults apply, position included.
    test::WriteSettingRaw("WPSizeIndex", REG_SZ, "1", 2);
    WriteSetting("IDS_REG_LEFT", 100);
    {
        test::LauncherSession session;
        EXPECT_TRUE(RectIs(test::WindowRect(session.hwnd()), 0, 0, 1024, 768));
    }
    // A valid index with an eight-byte left edge: the left edge is 0.
    test::ClearSettings();
    WriteSetting("WPSizeIndex", 1);
    const unsigned long long wide = 100;
    test::WriteSettingRaw("IDS_REG_LEFT", REG_BINARY, &wide, sizeof wide);
    WriteSetting("IDS_REG_TOP", 50);
    test::LauncherSession session;
    EXPECT_TRUE(RectIs(test::WindowRect(session.hwnd()), 0, 50, 800, 650));
}

} // namespace
