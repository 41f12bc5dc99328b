// The real program's window read back from the screen: the composition at each size, the highlight
// under the pointer, clicks, and the start-up pictures before it (1280x1024 desktop).
#include "Composition.h"
#include "Harness.h"
#include "RunningLauncher.h"
#include "res/PictureIds.h"
#include "view/ButtonLayout.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace {

using test::Expected;
using test::OnScreen;
using test::Pixels;

// Waits until the view shows the composition of size set `s` with `highlighted` lit.
::testing::AssertionResult ShowsComposition(HWND view, int s, int highlighted)
{
    int width = 0, height = 0, mismatches = 0;
    Pixels expected;
    bool same = test::WaitFor([&] {
        Pixels actual = OnScreen(view, true, width, height);
        if (actual.empty())
            return false;
        if (expected.size() != actual.size())
            expected = Expected(s, width, height, highlighted);
        mismatches = 0;
        for (std::size_t i = 0; i < actual.size(); ++i)
            mismatches += actual[i] != expected[i];
        return mismatches == 0;
    });
    if (same)
        return ::testing::AssertionSuccess();
    if (width <= 0 || height <= 0)
        return ::testing::AssertionFailure() << "no client area to read";
    return ::testing::AssertionFailure() << mismatches << " of " << width * height << " pixels differ (client " << width
                                         << "x" << height << ")";
}

// A picture's colours as a 640x480 window must show them.
Pixels PictureColours(UINT id)
{
    HBITMAP picture = static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    BITMAPINFO info = {};
    info.bmiHeader = { sizeof(BITMAPINFOHEADER), 640, -480, 1, 32, BI_RGB, 0, 0, 0, 0, 0 };
    Pixels pixels(640 * 480);
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, picture, 0, 480, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    DeleteObject(picture);
    for (auto& p : pixels)
        p &= 0xFFFFFF;
    return pixels;
}

// Whether the picture `splash` is still the one up after half a second.
bool StaysUp(const test::RunningLauncher& launcher, HWND splash)
{
    return !test::WaitFor([&] { return launcher.Splash() != splash; }, 500);
}

bool ShowsPicture(HWND splash, UINT id)
{
    int width = 0, height = 0;
    return test::WaitFor([&] { return OnScreen(splash, false, width, height) == PictureColours(id); }, 10000);
}

POINT ScreenPoint(HWND view, int x, int y)
{
    POINT point = { x, y };
    ClientToScreen(view, &point);
    return point;
}

// Enter pressed twice in one go, as an impatient user does.
void PressEnterTwice()
{
    INPUT inputs[4] = {};
    for (int i = 0; i < 4; ++i) {
        inputs[i].type = INPUT_KEYBOARD;
        inputs[i].ki.wVk = VK_RETURN;
        inputs[i].ki.dwFlags = i % 2 ? KEYEVENTF_KEYUP : 0;
    }
    SendInput(4, inputs, sizeof(INPUT));
}

class ViewTest : public test::DesktopTest<1280, 1024> {
protected:
    void SetUp() override
    {
        DesktopTest::SetUp();
        test::MovePointer(1279, 1023); // outside every window the launcher opens at (0, 0)
    }
};

TEST_F(ViewTest, EachSizeShowsItsBackgroundAndButtonsPixelForPixel)
{
    for (int s : { 2, 1, 0 }) {
        test::RunningLauncher launcher(test::InstallFolder());
        EXPECT_TRUE(ShowsComposition(launcher.ShowViewAtTopLeft(s).view, s, -1)) << "size " << s;
    }
}

TEST_F(ViewTest, ALargerClientStretchesTheBackgroundAndASmallerOneCutsIt)
{
    test::RunningLauncher launcher(test::InstallFolder());
    auto [frame, view] = launcher.ShowViewAtTopLeft(2);
    SetWindowPos(frame, nullptr, 0, 0, 1150, 860, SWP_NOZORDER); // wider than 800: still the large set
    EXPECT_TRUE(ShowsComposition(view, 2, -1));
    SetWindowPos(frame, nullptr, 0, 0, 1000, 700, SWP_NOZORDER);
    EXPECT_TRUE(ShowsComposition(view, 2, -1));
}

TEST_F(ViewTest, ThePointerHighlightsAButtonAndAClickOnItStartsItsGame)
{
    test::TempFolder temp;
    test::StandInLog log(temp.path());
    test::RunningLauncher launcher(test::InstallFolder());
    auto [frame, view] = launcher.ShowViewAtTopLeft(0);
    ASSERT_TRUE(ShowsComposition(view, 0, -1));

    // Button 5 (Dominoes); the view's client area is narrower than 640, so take its rectangle from the layout.
    velmora::ButtonRects rects = test::ButtonsInClient(view, 110);
    POINT onFive = ScreenPoint(view, rects[5].left + 50, rects[5].top + 50);
    POINT gap = ScreenPoint(view, rects[5].left - 3, rects[5].top + 50);
    test::MovePointer(onFive.x, onFive.y);
    EXPECT_TRUE(ShowsComposition(view, 0, 5));
    test::MovePointer(gap.x, gap.y);
    EXPECT_TRUE(ShowsComposition(view, 0, -1));
    test::MovePointer(onFive.x, onFive.y);
    EXPECT_TRUE(ShowsComposition(view, 0, 5));
    test::MovePointer(1279, 1023); // out of the window: the frame's timer drops the highlight
    DWORD left = GetTickCount();
    EXPECT_TRUE(ShowsComposition(view, 0, -1));
    EXPECT_LE(GetTickCount() - left, 1500u) << "the highlight outlived the pointer's leaving";

    // A click in the gap does nothing; one on the highlighted button starts its game.
    test::ClickAt(gap.x, gap.y);
    test::MovePointer(onFive.x, onFive.y);
    ASSERT_TRUE(ShowsComposition(view, 0, 5));
    test::ClickAt(onFive.x, onFive.y);
    HWND game = test::WaitForGameWindow("Dominoes");
    ASSERT_NE(game, nullptr);
    EXPECT_FALSE(IsWindowVisible(frame));
    test::ClickToClose(game);
    EXPECT_TRUE(launcher.WaitForFrame());
    auto starts = log.Starts();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].commandLine, "dominoes\\dominoes.exe ");
}

// The pointer rests outside the window throughout, unless a step says otherwise.
TEST_F(ViewTest, KeysMoveTheHighlightUntilEscOrAPointerMoveClearsIt)
{
    test::RunningLauncher launcher(test::InstallFolder());
    auto [frame, view] = launcher.ShowViewAtTopLeft(0);
    ASSERT_TRUE(ShowsComposition(view, 0, -1));

    test::PressKey(VK_RIGHT); // nothing highlighted: the first game
    EXPECT_TRUE(ShowsComposition(view, 0, 0));
    test::PressKey(VK_DOWN);
    EXPECT_TRUE(ShowsComposition(view, 0, 4));
    test::PressKey(VK_END);
    test::PressKey(VK_UP);
    EXPECT_TRUE(ShowsComposition(view, 0, 7));
    // The frame's timer (made to run here for certain) sees the pointer outside, but it has not
    // moved: the highlight stays, and Left goes on from it rather than starting afresh at game 0.
    for (int tick = 0; tick < 3; ++tick)
        SendMessageA(frame, WM_TIMER, 1, 0);
    test::PressKey(VK_LEFT);
    EXPECT_TRUE(ShowsComposition(view, 0, 6));
    test::PressKey(VK_ESCAPE);
    EXPECT_TRUE(ShowsComposition(view, 0, -1));

    test::PressKey(VK_HOME);
    ASSERT_TRUE(ShowsComposition(view, 0, 0));
    velmora::ButtonRects rects = test::ButtonsInClient(view, 110);
    POINT gap = ScreenPoint(view, rects[5].left - 3, rects[5].top + 50);
    test::MovePointer(gap.x, gap.y);
    EXPECT_TRUE(ShowsComposition(view, 0, -1));
}

TEST_F(ViewTest, EnterStartsTheKeysGameAndTheHighlightIsBackOnItAfterwards)
{
    test::TempFolder temp;
    test::StandInLog log(temp.path());
    test::RunningLauncher launcher(test::InstallFolder());
    auto [frame, view] = launcher.ShowViewAtTopLeft(2);
    ASSERT_TRUE(ShowsComposition(view, 2, -1));

    // Enter with nothing highlighted, and on a highlight the pointer has taken over from the keys,
    // starts nothing (any game started here would show in the log below); a move key makes the
    // pointer's highlight the keys'.
    test::PressKey(VK_RETURN);
    test::PressKey(VK_RIGHT);
    ASSERT_TRUE(ShowsComposition(view, 2, 0));
    velmora::ButtonRects rects = test::ButtonsInClient(view, 176);
    POINT onFive = ScreenPoint(view, rects[5].left + 50, rects[5].top + 50);
    test::MovePointer(onFive.x, onFive.y);
    ASSERT_TRUE(ShowsComposition(view, 2, 5));
    test::PressKey(VK_RETURN);
    test::PressKey(VK_LEFT);
    test::PressKey(VK_LEFT);
    ASSERT_TRUE(ShowsComposition(view, 2, 3));

    // By two Enters at once, then by Space: the game runs once while the launcher is hidden; afterwards
    // the launcher is in front with the highlight on Chess, although the pointer moved (onto the game's
    // window) meanwhile.
    for (int round = 0; round < 2; ++round) {
        if (round == 0)
            PressEnterTwice();
        else
            test::PressKey(VK_SPACE);
        HWND game = test::WaitForGameWindow("Chess");
        ASSERT_NE(game, nullptr) << "round " << round;
        EXPECT_FALSE(IsWindowVisible(frame));
        test::ClickToClose(game);
        ASSERT_TRUE(launcher.WaitForFrame()) << "round " << round;
        EXPECT_TRUE(ShowsComposition(view, 2, 3)) << "round " << round;
    }
    // A held Enter's repeats start nothing: the Esc behind one clears the highlight with no game between.
    PostMessageA(view, WM_KEYDOWN, VK_RETURN, MAKELPARAM(1, KF_REPEAT));
    PostMessageA(view, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_TRUE(ShowsComposition(view, 2, -1));
    auto starts = log.Starts();
    ASSERT_EQ(starts.size(), 2u);
    for (const auto& start : starts) {
        EXPECT_EQ(start.commandLine, "chess\\chess.exe ");
        EXPECT_EQ(start.folder, test::InstallFolder() + "\\chess");
    }
}

TEST_F(ViewTest, StartUpPicturesComeInTurnAndOnlyPressesDismissThem)
{
    test::RunningLauncher launcher(test::InstallFolder());
    HWND first = nullptr;
    ASSERT_TRUE(test::WaitFor([&] { return (first = launcher.Splash()) != nullptr; }));
    EXPECT_TRUE(ShowsPicture(first, IDB_MAKER_CARD));
    EXPECT_EQ(test::WindowRect(first).left, (1280 - 640) / 2);
    EXPECT_EQ(test::WindowRect(first).top, (1024 - 480) / 2);
    HWND frame = launcher.Frame();
    ASSERT_NE(frame, nullptr);
    EXPECT_FALSE(IsWindowVisible(frame));

    // A key press replaces the first picture by the second at once.
    ASSERT_TRUE(test::WaitFor([&] { return launcher.OwnsForeground(); }));
    test::PressKey(VK_SPACE);
    HWND second = nullptr;
    ASSERT_TRUE(test::WaitFor([&] { return (second = launcher.Splash()) != nullptr && second != first; }, 2500));

    // A key release, a pointer move and a mouse-button release over the picture, and a character leave
    // it up (checked well inside its three seconds); the next press ends the sequence, so the frame
    // appears rather than nothing at all.
    INPUT release = {};
    release.type = INPUT_KEYBOARD;
    release.ki.wVk = VK_SHIFT;
    release.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &release, sizeof release);
    test::MovePointer(600, 500);
    INPUT buttonUp = {};
    buttonUp.type = INPUT_MOUSE;
    buttonUp.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &buttonUp, sizeof buttonUp);
    PostMessageA(frame, WM_CHAR, 'a', 0);
    EXPECT_TRUE(StaysUp(launcher, second));
    EXPECT_TRUE(ShowsPicture(second, IDB_TITLE_CARD));
    EXPECT_FALSE(IsWindowVisible(frame));
    test::ClickAt(640, 512);
    EXPECT_TRUE(launcher.WaitForFrame());
    EXPECT_EQ(launcher.Splash(), nullptr);
}

TEST_F(ViewTest, WithoutInputEachPictureStaysAboutThreeSeconds)
{
    test::RunningLauncher launcher(test::InstallFolder());
    HWND first = nullptr, second = nullptr;
    ASSERT_TRUE(test::WaitFor([&] { return (first = launcher.Splash()) != nullptr; }));
    DWORD shown = GetTickCount();
    ASSERT_TRUE(test::WaitFor([&] { return (second = launcher.Splash()) != nullptr && second != first; }));
    DWORD firstGone = GetTickCount();
    ASSERT_TRUE(launcher.WaitForFrame());
    DWORD secondGone = GetTickCount();
    // Seen a little after it appeared, each picture cannot go much before its 3000 ms, nor, on a busy
    // machine, very long after.
    EXPECT_GE(firstGone - shown, 2500u);
    EXPECT_LE(firstGone - shown, 8000u);
    EXPECT_GE(secondGone - firstGone, 2500u);
    EXPECT_LE(secondGone - firstGone, 8000u);
}

// Ctrl+O is two presses, one per picture; a press that reached the frame would open the file dialog.
TEST_F(ViewTest, TwoQuickPressesEndTheSequenceAndReachNoWindow)
{
    test::RunningLauncher launcher(test::InstallFolder());
    ASSERT_TRUE(test::WaitFor([&] { return launcher.Splash() != nullptr && launcher.OwnsForeground(); }));
    DWORD start = GetTickCount();
    test::PressKey('O', false, true);
    ASSERT_TRUE(launcher.WaitForFrame());
    EXPECT_LT(GetTickCount() - start, 2900u) << "the pictures went by themselves, not at the presses";
    EXPECT_FALSE(test::WaitFor([] { return FindWindowA("#32770", "Open") != nullptr; }, 1000));
}

} // namespace
