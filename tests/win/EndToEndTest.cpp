// The real program, driven from outside with real input: start, placement, dragging, launching.
#include "Harness.h"
#include "RunningLauncher.h"
#include "RectAssert.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using test::RectIs;
using test::WaitForGameWindow;

// Chooses the `position`-th item (from 0) of the &Launch menu with the keyboard.
void ChooseGameWithKeys(int position)
{
    test::PressKey('L', true);
    for (int i = 0; i < position; ++i)
        test::PressKey(VK_DOWN);
    test::PressKey(VK_RETURN);
}

class EndToEndTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::ClearSettings();
        ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    }
    void TearDown() override { test::ClearSettings(); }
};

TEST_F(EndToEndTest, OpensAtItsPlaceAndStoresItWhenClosed)
{
    test::WriteSetting("WPSizeIndex", 1);
    test::WriteSetting("IDS_REG_LEFT", 100);
    test::WriteSetting("IDS_REG_TOP", 50);
    test::RunningLauncher launcher(test::InstallFolder());
    ASSERT_TRUE(launcher.started());
    HWND frame = launcher.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(RectIs(test::WindowRect(frame), 100, 50, 900, 650));

    SetWindowPos(frame, nullptr, 60, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    PostMessageA(frame, WM_SYSCOMMAND, SC_CLOSE, 0);   // what the close box and Alt+F4 send
    DWORD exitCode = 1;
    ASSERT_TRUE(launcher.WaitForExit(exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(test::ReadSetting("WPSizeIndex"), 1u);
    EXPECT_EQ(test::ReadSetting("IDS_REG_LEFT"), 60u);
    EXPECT_EQ(test::ReadSetting("IDS_REG_TOP"), 40u);
}

TEST_F(EndToEndTest, EmbeddingStartStillShowsTheFrame)
{
    test::RunningLauncher launcher(test::InstallFolder(), "/Embedding");
    ASSERT_TRUE(launcher.started());
    HWND frame = launcher.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(RectIs(test::WindowRect(frame), 0, 0, 1024, 768));
}

TEST_F(EndToEndTest, LaunchesAGameFromTheMenuAndComesBackInFront)
{
    test::TempFolder temp;
    test::StandInLog log(temp.path());
    test::RunningLauncher launcher(test::InstallFolder());
    ASSERT_TRUE(launcher.started());
    HWND frame = launcher.WaitForFrame();
    ASSERT_NE(frame, nullptr);

    ChooseGameWithKeys(3);   // Chess
    HWND game = WaitForGameWindow("Chess");
    ASSERT_NE(game, nullptr);
    EXPECT_FALSE(IsWindowVisible(frame));

    RECT rect = test::WindowRect(game);
    test::ClickAt((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    EXPECT_TRUE(test::WaitFor([&] { return IsWindowVisible(frame) && GetForegroundWindow() == frame; }));
    auto starts = log.Starts();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].commandLine, "chess\\chess.exe ");
    EXPECT_EQ(starts[0].folder, test::InstallFolder() + "\\chess");
}

TEST_F(EndToEndTest, GamesComeFromTheCurrentDirectoryNotTheLaunchersFolder)
{
    test::TempFolder temp;
    test::InstallStandIn(temp.path(), "chess");   // backgammon is missing here
    test::StandInLog log(temp.path());
    test::RunningLauncher launcher(temp.path());
    ASSERT_TRUE(launcher.started());
    HWND frame = launcher.WaitForFrame();
    ASSERT_NE(frame, nullptr);

    ChooseGameWithKeys(0);   // Backgammon: nothing to start, the frame comes straight back
    ASSERT_TRUE(launcher.WaitForFrame());
    ChooseGameWithKeys(3);   // Chess
    HWND game = WaitForGameWindow("Chess");
    ASSERT_NE(game, nullptr);
    RECT rect = test::WindowRect(game);
    test::ClickAt((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    EXPECT_TRUE(launcher.WaitForFrame());

    auto starts = log.Starts();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].commandLine, "chess\\chess.exe ");
    EXPECT_EQ(starts[0].folder, temp.path() + "\\chess");
    EXPECT_EQ(starts[0].executable, temp.path() + "\\chess\\chess.exe");
}

} // namespace
