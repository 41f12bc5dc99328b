// The view's accessible object inside the launcher's own process, whose Go slot reads "UNUSED" in
// this build: an unused slot to screen readers and to the keys, and a client that keeps the object
// after the view has gone.
#include "AccessibleQueries.h"
#include "Harness.h"
#include "LauncherSession.h"
#include "view/LauncherView.h"

#include <gtest/gtest.h>

namespace {

using test::Child;
using test::Number;
using test::Text;

class AccessibleInProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CoInitialize(nullptr);
        test::ClearSettings();
        m_previousFolder = test::CurrentFolder();
        SetCurrentDirectoryA(test::InstallFolder().c_str());
    }
    void TearDown() override
    {
        SetCurrentDirectoryA(m_previousFolder.c_str());
        test::ClearSettings();
        CoUninitialize();
    }

    static IAccessible* Open(HWND view)
    {
        IAccessible* object = nullptr;
        AccessibleObjectFromWindow(view, DWORD(OBJID_CLIENT), IID_IAccessible, reinterpret_cast<void**>(&object));
        return object;
    }

private:
    std::string m_previousFolder;
};

TEST_F(AccessibleInProcessTest, AnUnusedSlotIsUnavailableSkippedByTheKeysAndItsActionStartsNothing)
{
    test::TempFolder temp;
    test::StandInLog log(temp.path());
    {
        test::LauncherSession session;
        ASSERT_TRUE(session.started());
        CLauncherVlm2001View* view = LauncherApp()->m_pLauncherView;
        IAccessible* object = Open(view->m_hWnd);
        ASSERT_NE(object, nullptr);
        EXPECT_EQ(Text([&](BSTR* t) { return object->get_accName(Child(8), t); }), L"Go");
        EXPECT_EQ(Number([&](VARIANT* v) { return object->get_accState(Child(8), v); }), STATE_SYSTEM_UNAVAILABLE);
        EXPECT_EQ(Number([&](VARIANT* v) { return object->get_accState(Child(9), v); }), STATE_SYSTEM_FOCUSABLE);
        EXPECT_EQ(object->accDoDefaultAction(Child(8)), S_OK);
        test::PumpMessages(); // where the action runs
        EXPECT_TRUE(IsWindowVisible(session.hwnd()));

        // Up from TaiPei goes over Go, in the same column, to Chess.
        ASSERT_TRUE(test::WaitFor([&] { return !session.frame()->m_bAppInactive; }));
        for (UINT key : { VK_END, VK_UP }) {
            PostMessageA(view->m_hWnd, WM_KEYDOWN, key, 1);
            test::PumpMessages();
        }
        EXPECT_EQ(view->GetHighlightedButton(), 3);
        object->Release();
    }
    EXPECT_TRUE(log.Starts().empty());
}

TEST_F(AccessibleInProcessTest, AClientThatKeepsTheObjectIsRefusedOnceTheViewHasGone)
{
    test::LauncherSession session;
    ASSERT_TRUE(session.started());
    IAccessible* object = Open(LauncherApp()->m_pLauncherView->m_hWnd);
    ASSERT_NE(object, nullptr);
    session.Close();
    ASSERT_EQ(LauncherApp()->m_pLauncherView, nullptr);

    BSTR name = nullptr;
    EXPECT_EQ(object->get_accName(Child(1), &name), RPC_E_DISCONNECTED);
    EXPECT_EQ(name, nullptr);
    long left, top, width, height;
    EXPECT_EQ(object->accLocation(&left, &top, &width, &height, Child(1)), RPC_E_DISCONNECTED);
    VARIANT child;
    EXPECT_EQ(object->accHitTest(10, 10, &child), RPC_E_DISCONNECTED);
    EXPECT_EQ(object->get_accFocus(&child), RPC_E_DISCONNECTED);
    EXPECT_EQ(object->accDoDefaultAction(Child(4)), RPC_E_DISCONNECTED);
    EXPECT_EQ(object->get_accRole(Child(CHILDID_SELF), &child), RPC_E_DISCONNECTED);
    EXPECT_EQ(object->Release(), 0u); // the last reference: the object goes with it
}

} // namespace
