// Launching a game from the menu: hidden while it runs, started from its own folder, shown again after.
#include "Harness.h"
#include "LauncherSession.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

// What the launcher's thread does with its queue while its game runs, seen through its imports.
namespace queue_watch {

DWORD g_thread;
std::vector<DWORD> g_looks; // when it looked at its queue
DWORD g_idle; // when the game had become idle
DWORD g_ended; // when the launcher first looked after the game had ended
bool g_keptInQueue; // a close or a command lay in the queue meanwhile
decltype(&PeekMessageA) g_peek;
decltype(&WaitForInputIdle) g_waitForInputIdle;

BOOL WINAPI Peek(LPMSG msg, HWND window, UINT first, UINT last, UINT remove)
{
    BOOL result = g_peek(msg, window, first, last, remove);
    CMainFrame* frame = LauncherFrame();
    if (GetCurrentThreadId() != g_thread || !frame)
        return result;
    if (!frame->IsGameRunning()) {
        if (!g_looks.empty() && !g_ended)
            g_ended = GetTickCount();
        return result;
    }
    g_looks.push_back(GetTickCount());
    MSG queued;
    for (UINT message : { UINT(WM_CLOSE), UINT(WM_COMMAND) })
        g_keptInQueue |= g_peek(&queued, nullptr, message, message, PM_NOREMOVE | PM_QS_POSTMESSAGE) != FALSE;
    return result;
}

DWORD WINAPI WaitForIdle(HANDLE process, DWORD ms)
{
    DWORD result = g_waitForInputIdle(process, ms);
    g_idle = GetTickCount();
    return result;
}

} // namespace queue_watch

class LaunchTest : public test::LauncherTest { };

TEST_F(LaunchTest, MenuLaunchHidesTheFrameRunsTheGameFromItsFolderAndComesBack)
{
    SetCurrentDirectoryA(test::InstallFolder().c_str());
    test::TempFolder temp;
    test::StandInLog log(temp.path());
    test::LauncherSession session;
    HWND frame = session.hwnd();

    // While the launcher waits for the game, watch from another thread and close the game by a click.
    std::atomic<bool> hiddenWhileRunning { false }, closed { false };
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
    session.Command(ID_LAUNCH_CHESS); // returns once the game has ended
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

    // Installed under a user name that the system's ANSI code page cannot spell, the game starts all the
    // same: once from each folder.
    char systemCodePage[8] = "";
    GetLocaleInfoA(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE, systemCodePage, sizeof systemCodePage);
    wchar_t standIn[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, (test::InstallFolder() + "\\chess\\chess.exe").c_str(), -1, standIn, MAX_PATH);
    wchar_t base[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, temp.path().c_str(), -1, base, MAX_PATH);
    SetEnvironmentVariableA("VELMORA_STANDIN_EXIT_MS", "200");
    for (const wchar_t* name : { L"\u7528\u6237", L"\u0141ukasz" }) {
        BOOL unspellable = FALSE;
        WideCharToMultiByte(
            UINT(std::atoi(systemCodePage)), WC_NO_BEST_FIT_CHARS, name, -1, nullptr, 0, nullptr, &unspellable);
        ASSERT_TRUE(unspellable) << "code page " << systemCodePage << " spells the folder's name: this proves nothing";
        std::wstring folder = std::wstring(base) + L"\\" + name;
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW((folder + L"\\chess").c_str(), nullptr));
        ASSERT_TRUE(CopyFileW(standIn, (folder + L"\\chess\\chess.exe").c_str(), FALSE));
        ASSERT_TRUE(SetCurrentDirectoryW(folder.c_str()));
        std::size_t before = log.Starts().size();
        session.Command(ID_LAUNCH_CHESS);
        EXPECT_EQ(log.Starts().size(), before + 1) << "from the folder named with code page " << systemCodePage;
        SetCurrentDirectoryA(test::InstallFolder().c_str()); // the folder can go with the test's
    }
}

// Windows takes a program that has not looked at its queue for five seconds for hung, and leaves it out
// of broadcasts. While a game runs the launcher looks often; what it keeps for after the game (a command,
// a close) is not in its queue meanwhile, where a nested loop would meet it again and again.
TEST_F(LaunchTest, WhileAGameRunsTheQueueIsLookedAtOftenAndWhatWaitsForTheGameIsNotInIt)
{
    SetCurrentDirectoryA(test::InstallFolder().c_str());
    SetEnvironmentVariableA("VELMORA_STANDIN_EXIT_MS", "7000");
    test::LauncherSession session;
    HWND frame = session.hwnd();
    queue_watch::g_thread = GetCurrentThreadId();
    queue_watch::g_looks.clear();
    queue_watch::g_ended = 0;
    queue_watch::g_keptInQueue = false;
    test::ImportPatch peek("user32.dll", "PeekMessageA", reinterpret_cast<const void*>(&queue_watch::Peek));
    test::ImportPatch idle("user32.dll", "WaitForInputIdle", reinterpret_cast<const void*>(&queue_watch::WaitForIdle));
    ASSERT_TRUE(peek.patched() && idle.patched());
    queue_watch::g_peek = peek.original<decltype(&PeekMessageA)>();
    queue_watch::g_waitForInputIdle = idle.original<decltype(&WaitForInputIdle)>();

    std::thread sender([&] {
        for (int i = 0; i < 2000 && !FindWindowA("VelmoraStandInGame", "Chess"); ++i)
            Sleep(10);
        SendMessageA(frame, WM_COMMAND, ID_SIZE_SMALL, 0);
        SendMessageA(frame, WM_CLOSE, 0, 0);
    });
    session.Command(ID_LAUNCH_CHESS); // returns once the game has ended by itself
    sender.join();
    DWORD ended = queue_watch::g_ended;
    ASSERT_NE(ended, 0u) << "the launcher did not look at its queue during and after the game";

    std::vector<DWORD> times = { queue_watch::g_idle };
    times.insert(times.end(), queue_watch::g_looks.begin(), queue_watch::g_looks.end());
    times.push_back(ended);
    DWORD longest = 0;
    for (std::size_t i = 1; i < times.size(); ++i)
        longest = std::max(longest, times[i] - times[i - 1]);
    EXPECT_GE(ended - queue_watch::g_idle, 4000u) << "the game did not run long enough to tell";
    EXPECT_LE(longest, 3000u) << "the queue went unlooked at for too long";
    EXPECT_FALSE(queue_watch::g_keptInQueue);

    // Taken up after the game, in order: the size, then the close, which stores it.
    EXPECT_TRUE(test::WaitFor([&] { return !IsWindow(frame); }));
    EXPECT_EQ(test::ReadSetting("WPSizeIndex"), 0u);
}

TEST_F(LaunchTest, RepeatedLaunchesLeakNoHandles)
{
    SetCurrentDirectoryA(test::InstallFolder().c_str());
    SetEnvironmentVariableA("VELMORA_STANDIN_EXIT_MS", "1");
    test::LauncherSession session;
    session.Command(ID_LAUNCH_GO); // the first launch may load what later ones reuse
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
    test::MessageCounter shows(session.hwnd(), WM_SHOWWINDOW);

    session.Command(ID_LAUNCH_BACKGAMMON);
    EXPECT_EQ(shows.count(), 2); // hidden, then shown again
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
    test::InstallStandIn(deep, "chess"); // may fail to copy at this depth; nothing may start anyway
    test::StandInLog log(temp.path());
    test::LauncherSession session;
    test::MessageCounter shows(session.hwnd(), WM_SHOWWINDOW);

    EXPECT_TRUE(session.frame()->LaunchGame(3, false));
    EXPECT_EQ(shows.count(), 0);
    EXPECT_TRUE(log.Starts().empty());
}

TEST_F(LaunchTest, IndexesOutsideTheCatalogueAreUnavailable)
{
    test::LauncherSession session;
    for (int index : { -1, 12, 1000, -2147483647 - 1 })
        EXPECT_FALSE(session.frame()->LaunchGame(index, false)) << index;
    for (int index = 0; index < 12; ++index)
        EXPECT_TRUE(session.frame()->LaunchGame(index, true)) << index;
}

} // namespace
