// The real program, driven from outside with real input: start, placement, dragging, launching.
#include "Harness.h"
#include "RunningLauncher.h"
#include "RectAssert.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>

namespace {

using test::RectIs;

// Chooses the `position`-th item (from 0) of the &Launch menu with the keyboard.
void ChooseGameWithKeys(int position)
{
    test::PressKey('L', true);
    for (int i = 0; i < position; ++i)
        test::PressKey(VK_DOWN);
    test::PressKey(VK_RETURN);
}

// Chooses a game as ChooseGameWithKeys does and waits for its window, titled `title`; null if none came.
HWND StartGameWithKeys(int position, const char* title)
{
    ChooseGameWithKeys(position);
    HWND game = nullptr;
    test::WaitFor([&] { return (game = FindWindowA("VelmoraStandInGame", title)) && IsWindowVisible(game); });
    return game;
}

// Ends a stand-in game as its player would, with a click in its window.
void ClickToEnd(HWND game)
{
    RECT rect = test::WindowRect(game);
    test::ClickAt((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

// A message sent to a window from a thread of its own, so that a sender left waiting cannot block the test.
class SentMessage {
public:
    SentMessage(HWND window, UINT message)
        : m_done(CreateEventA(nullptr, TRUE, FALSE, nullptr)), m_thread([this, window, message] {
              SendMessageA(window, message, 0, 0);
              SetEvent(m_done);
          })
    {
    }
    // Joins the sender, which returns at the latest when its receiver ends.
    ~SentMessage()
    {
        m_thread.join();
        CloseHandle(m_done);
    }
    SentMessage(const SentMessage&) = delete;
    SentMessage& operator=(const SentMessage&) = delete;
    bool AnsweredWithin(DWORD ms) const { return WaitForSingleObject(m_done, ms) == WAIT_OBJECT_0; }

private:
    HANDLE m_done;
    std::thread m_thread;
};

// Generous for one message between two processes on a busy machine; a launcher that does not answer
// while its game runs answers only when the game has ended.
constexpr DWORD kAnswerMs = 3000;

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

    HWND game = StartGameWithKeys(3, "Chess");
    ASSERT_NE(game, nullptr);
    EXPECT_FALSE(IsWindowVisible(frame));

    ClickToEnd(game);
    EXPECT_TRUE(test::WaitFor([&] { return IsWindowVisible(frame) && GetForegroundWindow() == frame; }));
    auto starts = log.Starts();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].commandLine, "chess\\chess.exe ");
    EXPECT_EQ(starts[0].folder, test::InstallFolder() + "\\chess");
}

// A game may send to every top-level window (a broadcast) and wait for the answers, the hidden launcher's
// included; the launcher answers while it waits for the game. A close sent meanwhile waits for the game.
TEST_F(EndToEndTest, MessagesSentWhileAGameRunsAreAnsweredAndACloseWaitsForTheGame)
{
    test::RunningLauncher launcher(test::InstallFolder(), "/Embedding");
    ASSERT_TRUE(launcher.started());
    HWND frame = launcher.WaitForFrame();
    ASSERT_NE(frame, nullptr);
    HWND game = StartGameWithKeys(3, "Chess");
    ASSERT_NE(game, nullptr);

    // Waiting for the game to become idle answers sent messages by itself, so go on asking for a while
    // after the game has shown its window: the launcher has long been in its wait for the game's end.
    std::unique_ptr<SentMessage> probe;
    DWORD start = GetTickCount();
    do {
        probe = std::make_unique<SentMessage>(frame, WM_NULL);
        if (!probe->AnsweredWithin(kAnswerMs))
            break;
        Sleep(20);   // paces the questions; nothing is waited for here
    } while (GetTickCount() - start < 1500);
    EXPECT_TRUE(probe->AnsweredWithin(0)) << "the launcher did not answer while its game ran";

    SentMessage close(frame, WM_CLOSE);
    EXPECT_TRUE(close.AnsweredWithin(kAnswerMs));
    EXPECT_TRUE(IsWindow(frame));
    EXPECT_FALSE(IsWindowVisible(frame));
    EXPECT_TRUE(IsWindowVisible(game));

    ClickToEnd(game);
    DWORD exitCode = 1;
    ASSERT_TRUE(launcher.WaitForExit(exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(test::ReadSetting("WPSizeIndex"), 2u);   // closed as its close box would have
}

// The shell's open command names the program by its full path in quotes, even in folders with spaces.
TEST_F(EndToEndTest, TheShellOpensDocumentsWithTheQuotedFullPath)
{
    test::TempFolder temp;
    std::string folder = temp.path() + "\\Ann Lee";
    CreateDirectoryA(folder.c_str(), nullptr);
    folder += "\\Velmora Games";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string exe = folder + "\\Velmora.exe";
    ASSERT_TRUE(CopyFileA((test::InstallFolder() + "\\Velmora.exe").c_str(), exe.c_str(), FALSE));
    {
        test::RunningLauncher launcher(folder, "/Embedding", exe);
        ASSERT_TRUE(launcher.started());
        ASSERT_NE(launcher.WaitForFrame(), nullptr);
    }
    char command[MAX_PATH * 2] = "";
    DWORD size = sizeof command;
    ASSERT_EQ(RegGetValueA(HKEY_CURRENT_USER, "Software\\Classes\\VelmoraLauncher.Document\\shell\\open\\command",
                           "", RRF_RT_REG_SZ, nullptr, command, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::string(command), "\"" + exe + "\" \"%1\"");
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
    HWND game = StartGameWithKeys(3, "Chess");
    ASSERT_NE(game, nullptr);
    ClickToEnd(game);
    EXPECT_TRUE(launcher.WaitForFrame());

    auto starts = log.Starts();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].commandLine, "chess\\chess.exe ");
    EXPECT_EQ(starts[0].folder, temp.path() + "\\chess");
    EXPECT_EQ(starts[0].executable, temp.path() + "\\chess\\chess.exe");
}

} // namespace
