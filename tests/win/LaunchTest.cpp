// Launching a game from the menu: hidden while it runs, started from its own folder, shown again after.
#include "Harness.h"
#include "LauncherSession.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

class LaunchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::ClearSettings();
        m_previousFolder = test::CurrentFolder();
    }
    void TearDown() override
    {
        SetCurrentDirectoryA(m_previousFolder.c_str());
        SetEnvironmentVariableA("VELMORA_STANDIN_EXIT_MS", nullptr);
        test::ClearSettings();
    }

private:
    std::string m_previousFolder;
};

TEST_F(LaunchTest, MenuLaunchHidesTheFrameRunsTheGameFromItsFolderAndComesBack)
{
    SetCurrentDirectoryA(test::InstallFolder().c_str());
    test::TempFolder temp;
    test::StandInLog log(temp.path());
    test::LauncherSession session;
    ASSERT_TRUE(session.started());
    HWND frame = session.hwnd();

    // While the launcher waits for the game, watch from another thread and close the game by a click.
    std::atomic<bool> hiddenWhileRunning{false}, closed{false};
    std::thread watcher([&] {
        HWND game = nullptr;
        for (int i = 0; i < 2000 && !(game = FindWindowA("VelmoraStandInGame", "Chess")); ++i)
            Sleep(10);
        if (!game)
            return;
        for (int i = 0; i < 500 && !IsWindowVisible(game); ++i)
            Sleep(10);
        hiddenWhileRunning = !IsWindowVisible(frame);
        RECT rect = test::WindowRect(game);
        test::ClickAt((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        closed = true;
    });
    session.Command(ID_LAUNCH_CHESS);   // returns once the game has ended
    watcher.join();

    EXPECT_TRUE(closed);
    EXPECT_TRUE(hiddenWhileRunning);
    EXPECT_TRUE(IsWindowVisible(frame));
    EXPECT_TRUE(test::WaitFor([&] { return GetForegroundWindow() == frame; }));
    auto starts = log.Starts();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].commandLine, "chess\\chess.exe ");
    EXPECT_EQ(starts[0].folder, test::InstallFolder() + "\\chess");
    EXPECT_EQ(starts[0].executable, test::InstallFolder() + "\\chess\\chess.exe");
}

TEST_F(LaunchTest, RepeatedLaunchesLeakNoHandles)
{
    SetCurrentDirectoryA(test::InstallFolder().c_str());
    SetEnvironmentVariableA("VELMORA_STANDIN_EXIT_MS", "1");
    test::LauncherSession session;
    ASSERT_TRUE(session.started());
    session.Command(ID_LAUNCH_GO);   // the first launch may load what later ones reuse
    DWORD before = 0, after = 0;
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &before));
    for (int i = 0; i < 3; ++i)
        session.Command(ID_LAUNCH_GO);
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &after));
    EXPECT_EQ(after, before);
}

TEST_F(LaunchTest, AMissingGameHidesAndShowsTheFrameAtOnce)
{
    test::TempFolder temp;
    SetCurrentDirectoryA(temp.path().c_str());
    test::StandInLog log(temp.path());
    test::LauncherSession session;
    ASSERT_TRUE(session.started());
    test::MessageCounter shows(session.hwnd(), WM_SHOWWINDOW);

    session.Command(ID_LAUNCH_BACKGAMMON);
    EXPECT_EQ(shows.count(), 2);   // hidden, then shown again
    EXPECT_TRUE(IsWindowVisible(session.hwnd()));
    EXPECT_TRUE(log.Starts().empty());
    EXPECT_TRUE(session.frame()->LaunchGame(0, true));
}

TEST_F(LaunchTest, AFullPathTooLongForTheBuffersLaunchesNothingAndLeavesTheWindowAlone)
{
    test::TempFolder temp;
    std::string deep = temp.path();
    // 240 characters or more: with "\chess\chess.exe" the full path needs more than 255.
    while (deep.size() < 240)
        CreateDirectoryA((deep += "\\deeper").c_str(), nullptr);
    ASSERT_TRUE(SetCurrentDirectoryA(deep.c_str()));
    test::InstallStandIn(deep, "chess");   // may fail to copy at this depth; nothing may start anyway
    test::StandInLog log(temp.path());
    test::LauncherSession session;
    ASSERT_TRUE(session.started());
    test::MessageCounter shows(session.hwnd(), WM_SHOWWINDOW);

    EXPECT_TRUE(session.frame()->LaunchGame(3, false));
    EXPECT_EQ(shows.count(), 0);
    EXPECT_TRUE(log.Starts().empty());
}

TEST_F(LaunchTest, IndexesOutsideTheCatalogueAreUnavailable)
{
    test::LauncherSession session;
    ASSERT_TRUE(session.started());
    for (int index : {-1, 12, 1000, -2147483647 - 1})
        EXPECT_FALSE(session.frame()->LaunchGame(index, false)) << index;
    for (int index = 0; index < 12; ++index)
        EXPECT_TRUE(session.frame()->LaunchGame(index, true)) << index;
}

} // namespace
