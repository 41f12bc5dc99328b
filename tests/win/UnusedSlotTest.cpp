// A catalogue slot whose path is the reserved word (this build's Go slot reads "UNUSED").
#include "Harness.h"
#include "LauncherSession.h"
#include "res/resource.h"

#include <gtest/gtest.h>

namespace {

class UnusedSlotTest : public test::LauncherTest { };

TEST_F(UnusedSlotTest, IsGreyedUnavailableAndNeverStarted)
{
    // The slot's path resolves to a real program here, so a slot taken for a game would start it.
    test::TempFolder temp;
    CopyFileA((test::InstallFolder() + "\\chess\\chess.exe").c_str(), (temp.path() + "\\UNUSED").c_str(), FALSE);
    SetCurrentDirectoryA(temp.path().c_str());
    test::StandInLog log(temp.path());
    SetEnvironmentVariableA("VELMORA_STANDIN_EXIT_MS", "200"); // one started by mistake ends by itself
    {
        test::LauncherSession session;
        HMENU launch = GetSubMenu(GetMenu(session.hwnd()), 1);
        SendMessageA(session.hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(launch), MAKELPARAM(1, FALSE));
        EXPECT_TRUE(GetMenuState(launch, ID_LAUNCH_GO, MF_BYCOMMAND) & MF_GRAYED);
        EXPECT_FALSE(GetMenuState(launch, ID_LAUNCH_GOMOKU, MF_BYCOMMAND) & MF_GRAYED);

        EXPECT_FALSE(session.frame()->LaunchGame(7, true));
        EXPECT_FALSE(session.frame()->LaunchGame(7, false));
        session.Command(ID_LAUNCH_GO); // dropped: its update handler disables it
        EXPECT_TRUE(IsWindowVisible(session.hwnd()));
    }
    EXPECT_TRUE(log.Starts().empty());
}

} // namespace
