// The start-up pictures when one of them cannot be shown, or when the program ends before they are over;
// and a start whose view cannot be created. The sequence runs once per program, so each case runs in a
// test process of its own.
#include "Harness.h"
#include "LauncherSession.h"
#include "RectAssert.h"
#include "view/SplashPictureWnd.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

namespace {

// Fails the creation of the `failAt`-th window of ours with `style` (from 1; 0 fails none) and counts the
// attempts: WS_POPUP for the start-up pictures, WS_CHILD for the view. A hook that refuses a window is how
// a real creation failure (the handle or desktop-heap limit) looks to the program.
class WindowFailure {
public:
    WindowFailure(DWORD style, int failAt)
    {
        s_style = style;
        s_failAt = failAt;
        s_attempts = 0;
        m_hook = SetWindowsHookExA(WH_CBT, &Hook, nullptr, GetCurrentThreadId());
    }
    ~WindowFailure() { UnhookWindowsHookEx(m_hook); }
    WindowFailure(const WindowFailure&) = delete;
    WindowFailure& operator=(const WindowFailure&) = delete;
    int attempts() const { return s_attempts; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code == HCBT_CREATEWND) {
            const CREATESTRUCTA* cs = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
            bool ours = HIWORD(reinterpret_cast<ULONG_PTR>(cs->lpszClass)) != 0
                && std::strncmp(cs->lpszClass, "Velmora:", 8) == 0;
            if (ours && (DWORD(cs->style) & s_style) && ++s_attempts == s_failAt)
                return 1;
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline DWORD s_style = 0;
    static inline int s_failAt = 0;
    static inline int s_attempts = 0;
    HHOOK m_hook;
};

// Counts how often the program applies a window placement.
std::atomic<int> g_placements { 0 };
decltype(&SetWindowPlacement) g_realSetWindowPlacement = nullptr;
BOOL WINAPI CountedSetWindowPlacement(HWND window, const WINDOWPLACEMENT* placement)
{
    ++g_placements;
    return g_realSetWindowPlacement(window, placement);
}

class SplashSequenceTest : public test::DesktopTest<1024, 768> {
protected:
    void SetUp() override
    {
        DesktopTest::SetUp();
        test::WriteSetting("WPSizeIndex", 1);
        test::WriteSetting("IDS_REG_LEFT", 100);
        test::WriteSetting("IDS_REG_TOP", 50);
        ASSERT_TRUE(m_placementCount.patched());
        g_realSetWindowPlacement = m_placementCount.original<decltype(&SetWindowPlacement)>();
        g_placements = 0;
    }

    // Whether the frame is shown at its stored place, placed exactly once, with no picture left.
    void ExpectFramePlacedOnce(const test::LauncherSession& session)
    {
        EXPECT_FALSE(CSplashPictureWnd::IsShowing());
        EXPECT_TRUE(IsWindowVisible(session.hwnd()));
        EXPECT_TRUE(test::RectIs(test::WindowRect(session.hwnd()), 100, 50, 900, 650));
        EXPECT_EQ(g_placements, 1);
    }

    test::ImportPatch m_placementCount { "user32.dll", "SetWindowPlacement",
        reinterpret_cast<const void*>(&CountedSetWindowPlacement) };
};

TEST_F(SplashSequenceTest, AFirstPictureThatCannotBeShownEndsTheSequence)
{
    WindowFailure failure(WS_POPUP, 1);
    test::LauncherSession session;
    EXPECT_EQ(failure.attempts(), 1) << "a second picture followed the one that failed";
    ExpectFramePlacedOnce(session);
}

TEST_F(SplashSequenceTest, ASecondPictureThatCannotBeShownEndsTheSequence)
{
    WindowFailure failure(WS_POPUP, 2);
    test::LauncherSession session; // dismisses the first picture
    EXPECT_EQ(failure.attempts(), 2);
    ExpectFramePlacedOnce(session);
}

// The framework reports the file it cannot open and the program ends: the first picture goes with the
// frame, and no second one follows it.
TEST_F(SplashSequenceTest, NoPictureAppearsOnceAnUnopenableFileEndsTheProgram)
{
    WindowFailure failure(WS_POPUP, 0);
    std::atomic<bool> answered { false };
    std::thread answer([&] {
        HWND box = nullptr;
        for (int i = 0; i < 2000 && !(box = FindWindowA("#32770", "Velmora Launcher")); ++i)
            Sleep(10);
        if (box)
            answered = PostMessageA(box, WM_COMMAND, IDOK, 0) != FALSE;
    });
    test::TempFolder temp;
    std::string missing = "\"" + temp.path() + "\\no such game.vlm\"";
    {
        test::LauncherSession session(test::LauncherSession::MayFail {}, missing.c_str());
        EXPECT_FALSE(session.started());
    }
    answer.join();
    EXPECT_TRUE(answered);
    EXPECT_EQ(failure.attempts(), 1) << "a picture was created while the program was ending";
    EXPECT_FALSE(CSplashPictureWnd::IsShowing());
    EXPECT_EQ(g_placements, 0);
}

// The frame fails with its view and is gone exactly once: deleted twice, it takes the program with it.
TEST_F(SplashSequenceTest, AViewWindowThatCannotBeCreatedFailsTheStart)
{
    WindowFailure failure(WS_CHILD, 1);
    {
        test::LauncherSession session { test::LauncherSession::MayFail {} };
        EXPECT_FALSE(session.started());
        EXPECT_EQ(AfxGetMainWnd(), nullptr);
    }
    EXPECT_EQ(failure.attempts(), 1);
    EXPECT_FALSE(CSplashPictureWnd::IsShowing());
    EXPECT_EQ(g_placements, 0);
}

// An installer or the task list closes running copies with WM_CLOSE, also while the hidden frame waits
// behind its first picture; the session may end then too. Neither stores the unplaced frame over the
// stored placement, and no second picture comes up for the dying frame.
TEST_F(SplashSequenceTest, ClosingBeforeTheFrameWasPlacedKeepsTheStoredPlacement)
{
    WindowFailure failure(WS_POPUP, 0);
    test::WriteSetting("IDS_REG_SHOW", SW_SHOWNORMAL);
    {
        test::LauncherSession session("", test::LauncherSession::Pictures::LeaveUp);
        ASSERT_TRUE(CSplashPictureWnd::IsShowing());
        SendMessageA(session.hwnd(), WM_ENDSESSION, TRUE, 0);
        // Posted, as another program closes it; handled before the picture's timer.
        PostMessageA(session.hwnd(), WM_CLOSE, 0, 0);
        EXPECT_TRUE(test::WaitFor([&] { return session.hwnd() == nullptr; }));
    }
    EXPECT_EQ(failure.attempts(), 1) << "a picture was created for the closing frame";
    EXPECT_FALSE(CSplashPictureWnd::IsShowing());
    EXPECT_EQ(g_placements, 0);
    EXPECT_EQ(test::ReadSetting("WPSizeIndex"), 1u);
    EXPECT_EQ(test::ReadSetting("IDS_REG_LEFT"), 100u);
    EXPECT_EQ(test::ReadSetting("IDS_REG_TOP"), 50u);
    EXPECT_EQ(test::ReadSetting("IDS_REG_SHOW"), DWORD(SW_SHOWNORMAL));
    EXPECT_EQ(test::ReadSetting("IDS_REG_FLAGS"), std::nullopt);
}

} // namespace
