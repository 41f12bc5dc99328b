// The real program, driven from outside with real input: start, placement, dragging, launching.
#include "Harness.h"
#include "RectAssert.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using test::RectIs;

// Velmora.exe from the install folder, started with `folder` as its current directory.
class RunningLauncher {
public:
    explicit RunningLauncher(const std::string& folder, const std::string& arguments = "")
    {
        std::string exe = test::InstallFolder() + "\\Velmora.exe";
        std::string commandLine = "\"" + exe + "\" " + arguments;
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info = {};
        if (CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                           &startup, &info)) {
            CloseHandle(info.hThread);
            m_process = info.hProcess;
            m_processId = info.dwProcessId;
        }
    }
    ~RunningLauncher()
    {
        if (!m_process)
            return;
        if (HWND window = Frame())
            PostMessageA(window, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(m_process, 20000) != WAIT_OBJECT_0)
            TerminateProcess(m_process, 1);
        CloseHandle(m_process);
    }
    RunningLauncher(const RunningLauncher&) = delete;
    RunningLauncher& operator=(const RunningLauncher&) = delete;

    bool started() const { return m_process != nullptr; }

    // The launcher's frame window, or null.
    HWND Frame() const
    {
        FrameSearch search = {m_processId, nullptr};
        EnumWindows(&FindFrame, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    // Waits for the frame to be shown and to have the keyboard.
    HWND WaitForFrame() const
    {
        HWND window = nullptr;
        test::WaitFor([&] { return (window = Frame()) && IsWindowVisible(window) && GetForegroundWindow() == window; });
        return window;
    }

    bool WaitForExit(DWORD& exitCode) const
    {
        if (WaitForSingleObject(m_process, 20000) != WAIT_OBJECT_0)
            return false;
        return GetExitCodeProcess(m_process, &exitCode);
    }

private:
    struct FrameSearch {
        DWORD processId;
        HWND found;
    };
    static BOOL CALLBACK FindFrame(HWND window, LPARAM data)
    {
        auto* search = reinterpret_cast<FrameSearch*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        char title[64] = "";
        GetWindowTextA(window, title, sizeof title);
        if (owner != search->processId || std::string(title) != "Velmora Launcher")
            return TRUE;
        search->found = window;
        return FALSE;
    }

    HANDLE m_process = nullptr;
    DWORD m_processId = 0;
};

// Chooses the `position`-th item (from 0) of the &Launch menu with the keyboard.
void ChooseGameWithKeys(int position)
{
    test::PressKey('L', true);
    for (int i = 0; i < position; ++i)
        test::PressKey(VK_DOWN);
    test::PressKey(VK_RETURN);
}

HWND WaitForGameWindow(const char* title)
{
    HWND game = nullptr;
    test::WaitFor([&] { return (game = FindWindowA("VelmoraStandInGame", title)) && IsWindowVisible(game); });
    return game;
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
    RunningLauncher launcher(test::InstallFolder());
    ASSERT_TRUE(launcher.started());
    HWND frame = launcher.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(RectIs(test::WindowRect(frame), 100, 50, 900, 650));

    SetWindowPos(frame, nullptr, 60, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    test::PressKey(VK_F4, true);   // closes the window like its close box
    DWORD exitCode = 1;
    ASSERT_TRUE(launcher.WaitForExit(exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(test::ReadSetting("WPSizeIndex"), 1u);
    EXPECT_EQ(test::ReadSetting("IDS_REG_LEFT"), 60u);
    EXPECT_EQ(test::ReadSetting("IDS_REG_TOP"), 40u);
}

TEST_F(EndToEndTest, EmbeddingStartStillShowsTheFrame)
{
    RunningLauncher launcher(test::InstallFolder(), "/Embedding");
    ASSERT_TRUE(launcher.started());
    HWND frame = launcher.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(RectIs(test::WindowRect(frame), 0, 0, 1024, 768));
}

TEST_F(EndToEndTest, LaunchesAGameFromTheMenuAndComesBackInFront)
{
    test::TempFolder temp;
    test::StandInLog log(temp.path());
    RunningLauncher launcher(test::InstallFolder());
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
    RunningLauncher launcher(temp.path());
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
