// The view's accessible object inside the launcher's own process, whose Go slot reads "UNUSED" in
// this build: an unused slot to screen readers and to the keys, a default action only where a user
// could click, the focus only while the view has the keyboard, no exception out of a method, and a
// client that keeps the object after the view has gone.
#include "AccessibleQueries.h"
#include "Harness.h"
#include "LauncherSession.h"
#include "framework/Exceptions.h"
#include "view/LauncherView.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <string>
#include <vector>

// Has the frame wait for a game, as it does while one runs, without starting one.
class GameRunningForTest {
public:
    explicit GameRunningForTest(CMainFrame* frame)
        : m_frame(frame)
    {
        m_frame->m_bGameRunning = TRUE;
    }
    ~GameRunningForTest() { m_frame->m_bGameRunning = FALSE; }
    GameRunningForTest(const GameRunningForTest&) = delete;
    GameRunningForTest& operator=(const GameRunningForTest&) = delete;

private:
    CMainFrame* m_frame;
};

namespace {

using test::Child;
using test::Number;
using test::Text;

class AccessibleInProcessTest : public test::LauncherTest {
protected:
    void SetUp() override
    {
        CoInitialize(nullptr);
        LauncherTest::SetUp();
        SetCurrentDirectoryA(test::InstallFolder().c_str());
    }
    void TearDown() override
    {
        LauncherTest::TearDown();
        CoUninitialize();
    }

    // Makes `folder` the current one, with Chess and, where the Go slot points, a program: a game
    // that the launcher started by mistake would run there, log its start and end by itself.
    static void UseFolderWithGames(const std::string& folder)
    {
        test::InstallStandIn(folder, "chess");
        CopyFileA((test::InstallFolder() + "\\chess\\chess.exe").c_str(), (folder + "\\UNUSED").c_str(), FALSE);
        SetCurrentDirectoryA(folder.c_str());
        SetEnvironmentVariableA("VELMORA_STANDIN_EXIT_MS", "200");
    }

    static IAccessible* Open(HWND view)
    {
        IAccessible* object = nullptr;
        AccessibleObjectFromWindow(view, DWORD(OBJID_CLIENT), __uuidof(IAccessible), reinterpret_cast<void**>(&object));
        return object;
    }

    static void PressKeys(HWND view, std::initializer_list<UINT> keys)
    {
        for (UINT key : keys) {
            PostMessageA(view, WM_KEYDOWN, key, 1);
            test::PumpMessages();
        }
    }
};

TEST_F(AccessibleInProcessTest, AnUnusedSlotIsUnavailableSkippedByTheKeysAndHasNoAction)
{
    test::TempFolder temp;
    UseFolderWithGames(temp.path());
    test::StandInLog log(temp.path());
    {
        test::LauncherSession session;
        CLauncherVlm2001View* view = LauncherApp()->m_pLauncherView;
        IAccessible* object = Open(view->m_hWnd);
        ASSERT_NE(object, nullptr);
        EXPECT_EQ(Text([&](BSTR* t) { return object->get_accName(Child(8), t); }), L"Go");
        EXPECT_EQ(Number([&](VARIANT* v) { return object->get_accState(Child(8), v); }), STATE_SYSTEM_UNAVAILABLE);
        EXPECT_EQ(Number([&](VARIANT* v) { return object->get_accState(Child(9), v); }), STATE_SYSTEM_FOCUSABLE);
        EXPECT_EQ(object->accDoDefaultAction(Child(8)), DISP_E_MEMBERNOTFOUND);
        test::PumpMessages(); // where a posted action would run
        EXPECT_TRUE(IsWindowVisible(session.hwnd()));

        // Up from TaiPei goes over Go, in the same column, to Chess.
        ASSERT_TRUE(test::WaitFor([&] { return session.frame()->IsAppActive(); }));
        PressKeys(view->m_hWnd, { VK_END, VK_UP });
        EXPECT_EQ(view->GetHighlightedButton(), 3);
        object->Release();
    }
    EXPECT_TRUE(log.Starts().empty());
}

// Under the start-up pictures the frame is hidden, under the About box disabled; while a game runs
// the launcher waits for it.
TEST_F(AccessibleInProcessTest, TheDefaultActionIsRefusedWhereNoUserCouldClick)
{
    test::TempFolder temp;
    UseFolderWithGames(temp.path());
    test::StandInLog log(temp.path());
    {
        test::LauncherSession session;
        HWND frame = session.hwnd();
        IAccessible* object = Open(LauncherApp()->m_pLauncherView->m_hWnd);
        ASSERT_NE(object, nullptr);

        ShowWindow(frame, SW_HIDE);
        EXPECT_EQ(object->accDoDefaultAction(Child(4)), E_ACCESSDENIED) << "hidden";
        ShowWindow(frame, SW_SHOW);
        EnableWindow(frame, FALSE);
        EXPECT_EQ(object->accDoDefaultAction(Child(4)), E_ACCESSDENIED) << "disabled";
        EnableWindow(frame, TRUE);
        {
            GameRunningForTest running(session.frame());
            EXPECT_EQ(object->accDoDefaultAction(Child(4)), E_ACCESSDENIED) << "a game runs";
        }
        test::PumpMessages(); // where an accepted action would have started Chess
        EXPECT_TRUE(log.Starts().empty());

        // Shown and free again, the same action starts the game.
        EXPECT_EQ(object->accDoDefaultAction(Child(4)), S_OK);
        EXPECT_TRUE(test::WaitFor([&] { return log.Starts().size() == 1 && IsWindowVisible(frame); }));
        object->Release();
    }
    EXPECT_EQ(log.Starts().size(), 1u);
}

// The focus is the keys' highlight, and only while the view has the keyboard; the pointer's
// highlight is hot-tracked, not focused.
TEST_F(AccessibleInProcessTest, TheFocusIsTheKeysHighlightWhileTheViewHasTheKeyboard)
{
    test::LauncherSession session;
    CLauncherVlm2001View* view = LauncherApp()->m_pLauncherView;
    IAccessible* object = Open(view->m_hWnd);
    ASSERT_NE(object, nullptr);
    ASSERT_TRUE(test::WaitFor([&] { return session.frame()->IsAppActive() && GetFocus() == view->m_hWnd; }));
    auto state = [&](long id) { return Number([&](VARIANT* v) { return object->get_accState(Child(id), v); }); };
    auto focus = [&] { return Number([&](VARIANT* v) { return object->get_accFocus(v); }); };
    auto selection = [&] { return Number([&](VARIANT* v) { return object->get_accSelection(v); }); };

    velmora::Rect chess = view->CurrentButtonRects()[3];
    view->TrackPointer(chess.left + 5, chess.top + 5);
    ASSERT_EQ(view->GetHighlightedButton(), 3);
    EXPECT_EQ(state(4), STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_HOTTRACKED);
    EXPECT_EQ(focus(), CHILDID_SELF);
    EXPECT_EQ(selection(), test::kNothing);

    PressKeys(view->m_hWnd, { VK_RIGHT }); // on from the pointer's game, to Chinese Chess
    EXPECT_EQ(state(5), STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED | STATE_SYSTEM_HOTTRACKED);
    EXPECT_EQ(focus(), 5);

    SetFocus(nullptr);
    EXPECT_EQ(state(5), STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_HOTTRACKED);
    EXPECT_EQ(focus(), test::kNothing);
    EXPECT_EQ(selection(), 5); // still what Enter would start once the view has the keyboard again
    object->Release();
}

// What building a BSTR does instead of allocating: throws as an allocation in our own code might.
std::function<void()> g_allocationFailure;

BSTR WINAPI FailingSysAllocStringLen(const OLECHAR*, UINT)
{
    g_allocationFailure();
    return nullptr;
}

TEST_F(AccessibleInProcessTest, AnExceptionInsideAMethodBecomesItsError)
{
    test::LauncherSession session;
    IAccessible* object = Open(LauncherApp()->m_pLauncherView->m_hWnd);
    ASSERT_NE(object, nullptr);
    struct Row {
        const char* what;
        std::function<void()> fail;
        HRESULT expected;
    };
    const Row rows[] = {
        { "bad_alloc", [] { throw std::bad_alloc(); }, E_OUTOFMEMORY },
        { "resource", [] { AfxThrowResourceException(); }, E_FAIL },
    };
    for (const Row& row : rows) {
        test::ImportPatch failing(
            "oleaut32.dll", "SysAllocStringLen", reinterpret_cast<const void*>(&FailingSysAllocStringLen));
        ASSERT_TRUE(failing.patched());
        g_allocationFailure = row.fail;
        BSTR name = nullptr;
        EXPECT_EQ(object->get_accName(Child(1), &name), row.expected) << row.what;
        EXPECT_EQ(name, nullptr) << row.what;
    }
    EXPECT_EQ(Text([&](BSTR* t) { return object->get_accName(Child(1), t); }), L"Backgammon");
    object->Release();
}

TEST_F(AccessibleInProcessTest, AClientThatKeepsTheObjectIsRefusedOnceTheViewHasGone)
{
    test::LauncherSession session;
    IAccessible* object = Open(LauncherApp()->m_pLauncherView->m_hWnd);
    ASSERT_NE(object, nullptr);
    session.Close();
    ASSERT_EQ(LauncherApp()->m_pLauncherView, nullptr);

    // Every member that answers, for the client itself and for a button where it takes a child.
    BSTR text = nullptr;
    VARIANT out;
    VariantInit(&out);
    IDispatch* dispatch = nullptr;
    long number = 0, left = 0, top = 0, width = 0, height = 0;
    struct Member {
        const char* name;
        std::function<HRESULT(VARIANT)> call;
    };
    const Member members[] = {
        { "get_accChild", [&](VARIANT c) { return object->get_accChild(c, &dispatch); } },
        { "get_accName", [&](VARIANT c) { return object->get_accName(c, &text); } },
        { "get_accValue", [&](VARIANT c) { return object->get_accValue(c, &text); } },
        { "get_accDescription", [&](VARIANT c) { return object->get_accDescription(c, &text); } },
        { "get_accRole", [&](VARIANT c) { return object->get_accRole(c, &out); } },
        { "get_accState", [&](VARIANT c) { return object->get_accState(c, &out); } },
        { "get_accHelp", [&](VARIANT c) { return object->get_accHelp(c, &text); } },
        { "get_accHelpTopic", [&](VARIANT c) { return object->get_accHelpTopic(&text, c, &number); } },
        { "get_accKeyboardShortcut", [&](VARIANT c) { return object->get_accKeyboardShortcut(c, &text); } },
        { "get_accDefaultAction", [&](VARIANT c) { return object->get_accDefaultAction(c, &text); } },
        { "accSelect", [&](VARIANT c) { return object->accSelect(SELFLAG_TAKEFOCUS, c); } },
        { "accLocation", [&](VARIANT c) { return object->accLocation(&left, &top, &width, &height, c); } },
        { "accNavigate", [&](VARIANT c) { return object->accNavigate(NAVDIR_NEXT, c, &out); } },
        { "accDoDefaultAction", [&](VARIANT c) { return object->accDoDefaultAction(c); } },
        { "get_accParent", [&](VARIANT) { return object->get_accParent(&dispatch); } },
        { "get_accChildCount", [&](VARIANT) { return object->get_accChildCount(&number); } },
        { "get_accFocus", [&](VARIANT) { return object->get_accFocus(&out); } },
        { "get_accSelection", [&](VARIANT) { return object->get_accSelection(&out); } },
        { "accHitTest", [&](VARIANT) { return object->accHitTest(10, 10, &out); } },
    };
    for (const Member& member : members)
        for (long id : { long(CHILDID_SELF), 1L }) {
            EXPECT_EQ(member.call(Child(id)), RPC_E_DISCONNECTED) << member.name << " child " << id;
            EXPECT_EQ(text, nullptr) << member.name;
            EXPECT_EQ(dispatch, nullptr) << member.name;
            EXPECT_EQ(out.vt, VT_EMPTY) << member.name;
        }
    EXPECT_EQ(object->Release(), 0u); // the last reference: the object goes with it
}

} // namespace
