// The highlight sound under the real pointer and the keys, counted on a fake sound device (1280x1024 desktop).
#include "FakeDirectSound.h"
#include "Harness.h"
#include "LauncherSession.h"
#include "view/ButtonLayout.h"
#include "view/LauncherView.h"

#include <gtest/gtest.h>

namespace {

// GetCursorPos as it fails when another desktop has the input, leaving a point far outside.
BOOL WINAPI UnreadablePointer(POINT* point)
{
    *point = { -32000, -32000 };
    return FALSE;
}

class HoverSoundTest : public test::DesktopTest<1280, 1024> {
protected:
    void SetUp() override
    {
        DesktopTest::SetUp();
        test::g_world = &m_world;
        ASSERT_TRUE(m_fakeDevice.patched());
        SetCurrentDirectoryA(test::InstallFolder().c_str()); // where Sounds\Highlight.WAV is
        test::MovePointer(1279, 1023);
    }
    void TearDown() override
    {
        test::g_world = nullptr;
        DesktopTest::TearDown();
    }

    // Sounds played so far: each highlight sound is loaded into a buffer of its own.
    int Sounds() const { return m_world.bufferRequests; }

    test::FakeWorld m_world;
    test::ImportPatch m_fakeDevice = test::UseFakeDevice();
};

// The pointer's positions reach the view as its own mouse messages, in order: a real pointer on
// this display is echoed back late and out of order, which would add entries of its own. The real
// pointer stays parked outside the window meanwhile.
TEST_F(HoverSoundTest, OneSoundPerEntryAndAgainAfterAnotherProgramWasActive)
{
    test::LauncherSession session;
    CLauncherVlm2001View* view = LauncherApp()->m_pLauncherView;
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(test::WaitFor([&] { return session.frame()->IsAppActive(); }));
    // The real pointer is parked outside: the frame's timer would clear the highlight between two
    // posted moves. Its rule is called by hand below instead.
    KillTimer(session.hwnd(), session.frame()->GetTimerId());
    velmora::ButtonRects rects = test::ButtonsInClient(view->m_hWnd, 176);
    POINT onThree = { rects[3].left + 60, rects[3].top + 60 }, gap = { rects[3].left - 5, rects[3].top + 60 };
    auto move = [&](POINT p) {
        PostMessageA(view->m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
        test::PumpMessages();
    };

    move(onThree);
    EXPECT_EQ(Sounds(), 1);
    EXPECT_EQ(view->GetHighlightedButton(), 3);
    move({ onThree.x + 3, onThree.y + 2 }); // small steps on the same button
    move({ onThree.x + 6, onThree.y + 4 });
    EXPECT_EQ(Sounds(), 1);
    move(gap);
    EXPECT_EQ(view->GetHighlightedButton(), -1);
    move(onThree); // back over the gap: a new entry
    EXPECT_EQ(Sounds(), 2);

    // A pointer position that cannot be read leaves the highlight; one outside the window clears it.
    {
        test::ImportPatch unreadable("user32.dll", "GetCursorPos", reinterpret_cast<const void*>(&UnreadablePointer));
        ASSERT_TRUE(unreadable.patched());
        view->CheckPointerOutside();
        EXPECT_EQ(view->GetHighlightedButton(), 3);
    }
    view->CheckPointerOutside();
    EXPECT_EQ(view->GetHighlightedButton(), -1);
    move(onThree); // the same button again, straight from outside: no new sound
    EXPECT_EQ(Sounds(), 2);

    // Another program becomes active, then the launcher again: the button that sounded last sounds
    // once more on the next entry.
    {
        test::StandInGame game(test::InstallFolder() + "\\chess\\chess.exe");
        ASSERT_TRUE(game.started());
        EXPECT_TRUE(test::WaitFor([&] { return !session.frame()->IsAppActive(); }));
    }
    SetForegroundWindow(session.hwnd());
    ASSERT_TRUE(test::WaitFor([&] { return session.frame()->IsAppActive(); }));
    move(onThree);
    EXPECT_EQ(Sounds(), 3);
}

// Keys reach the view as the keyboard delivers them to it while the frame is active.
TEST_F(HoverSoundTest, OneSoundPerGameTheKeysReach)
{
    test::LauncherSession session;
    CLauncherVlm2001View* view = LauncherApp()->m_pLauncherView;
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(test::WaitFor([&] { return session.frame()->IsAppActive(); }));
    auto press = [&](UINT key) {
        PostMessageA(view->m_hWnd, WM_KEYDOWN, key, 1);
        test::PumpMessages();
    };

    press(VK_RIGHT); // game 0
    press(VK_RIGHT);
    press(VK_LEFT); // back to game 0: reached again
    EXPECT_EQ(Sounds(), 3);
    press(VK_LEFT); // at the edge, and Up and Home with it: no game reached
    press(VK_UP);
    press(VK_HOME);
    EXPECT_EQ(view->GetHighlightedButton(), 0);
    EXPECT_EQ(Sounds(), 3);
    press(VK_ESCAPE);
    press(VK_HOME); // after Esc the same game is reached anew
    EXPECT_EQ(Sounds(), 4);
}

} // namespace
