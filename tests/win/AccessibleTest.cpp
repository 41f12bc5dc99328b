// The real program as a screen reader in another process sees it (this test program is that
// process): the twelve buttons' names, roles, states and places, their action, and the focus
// following the keys' highlight and going back to the view when the keys lose it (1280x1024 desktop).
#include "AccessibleQueries.h"
#include "Harness.h"
#include "RunningLauncher.h"
#include "res/resource.h"
#include "view/ButtonLayout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using test::Child;
using test::Number;
using test::Text;

const wchar_t* const kGames[] = { L"Backgammon", L"Bridge", L"Checkers", L"Chess", L"Chinese Chess", L"Dominoes",
    L"Four In A Line", L"Go", L"Gomoku", L"Reversi", L"Shogi", L"TaiPei" };

class AccessibleTest : public test::DesktopTest<1280, 1024> {
protected:
    void SetUp() override
    {
        CoInitialize(nullptr);
        DesktopTest::SetUp();
        test::MovePointer(1279, 1023); // outside every window the launcher opens at (0, 0)
    }
    void TearDown() override
    {
        if (m_object)
            m_object->Release();
        DesktopTest::TearDown();
        CoUninitialize();
    }

    // The view's accessible object, as a screen reader asks for it.
    IAccessible* Open(HWND view)
    {
        m_view = view;
        AccessibleObjectFromWindow(
            m_view, DWORD(OBJID_CLIENT), __uuidof(IAccessible), reinterpret_cast<void**>(&m_object));
        return m_object;
    }

    // Checks every child's place and what is hit at its centre and beside it, at the current size.
    void ExpectPlaces(int buttonSize)
    {
        velmora::ButtonRects rects = test::ButtonsInClient(m_view, buttonSize);
        for (long id = 1; id <= 12; ++id) {
            const velmora::Rect& r = rects[id - 1];
            POINT corner = { r.left, r.top };
            ClientToScreen(m_view, &corner);
            long left = 0, top = 0, width = 0, height = 0;
            EXPECT_EQ(m_object->accLocation(&left, &top, &width, &height, Child(id)), S_OK) << id;
            EXPECT_EQ(left, corner.x) << id;
            EXPECT_EQ(top, corner.y) << id;
            EXPECT_EQ(width, buttonSize) << id;
            EXPECT_EQ(height, buttonSize) << id;
            // The right and bottom edges are outside; there the client itself is hit, as in a gap.
            auto hit = [&](int dx, int dy) {
                return Number([&](VARIANT* v) { return m_object->accHitTest(corner.x + dx, corner.y + dy, v); });
            };
            EXPECT_EQ(hit(0, 0), id) << id;
            EXPECT_EQ(hit(buttonSize - 1, buttonSize - 1), id) << id;
            EXPECT_EQ(hit(buttonSize, 0), CHILDID_SELF) << id;
            EXPECT_EQ(hit(0, buttonSize), CHILDID_SELF) << id;
        }
    }

    HWND m_view = nullptr;
    IAccessible* m_object = nullptr;
};

TEST_F(AccessibleTest, TwelveNamedButtonsInTheirPlacesAtTwoSizes)
{
    test::RunningLauncher launcher(test::InstallFolder());
    auto [frame, view] = launcher.ShowViewAtTopLeft(2);
    ASSERT_NE(Open(view), nullptr);

    VARIANT children[13];
    long count = 0, got = 0;
    EXPECT_EQ(m_object->get_accChildCount(&count), S_OK);
    EXPECT_EQ(count, 12);
    ASSERT_EQ(AccessibleChildren(m_object, 0, 13, children, &got), S_FALSE); // fewer than asked for
    ASSERT_EQ(got, 12);
    for (long id = 1; id <= 12; ++id) {
        EXPECT_EQ(children[id - 1].vt, VT_I4) << id;
        EXPECT_EQ(children[id - 1].lVal, id) << id;
        VARIANT child = Child(id);
        EXPECT_EQ(Text([&](BSTR* t) { return m_object->get_accName(child, t); }), kGames[id - 1]) << id;
        EXPECT_EQ(Text([&](BSTR* t) { return m_object->get_accDescription(child, t); }),
            std::wstring(L"Launch ") + kGames[id - 1])
            << id;
        EXPECT_EQ(Text([&](BSTR* t) { return m_object->get_accDefaultAction(child, t); }), L"Launch") << id;
        EXPECT_EQ(Number([&](VARIANT* v) { return m_object->get_accRole(child, v); }), ROLE_SYSTEM_PUSHBUTTON) << id;
        EXPECT_EQ(Number([&](VARIANT* v) { return m_object->get_accState(child, v); }), STATE_SYSTEM_FOCUSABLE) << id;
    }
    EXPECT_EQ(Number([&](VARIANT* v) { return m_object->get_accRole(Child(CHILDID_SELF), v); }), ROLE_SYSTEM_CLIENT);
    EXPECT_EQ(Number([&](VARIANT* v) { return m_object->accNavigate(NAVDIR_FIRSTCHILD, Child(CHILDID_SELF), v); }), 1);
    EXPECT_EQ(Number([&](VARIANT* v) { return m_object->accNavigate(NAVDIR_DOWN, Child(4), v); }), 8);
    EXPECT_EQ(Number([&](VARIANT* v) { return m_object->accNavigate(NAVDIR_RIGHT, Child(4), v); }), test::kNothing);
    // Outside the window.
    EXPECT_EQ(Number([&](VARIANT* v) { return m_object->accHitTest(1279, 1023, v); }), test::kNothing);
    ExpectPlaces(176);

    // At the small size, its own buttons in its own places.
    SendMessageA(frame, WM_COMMAND, ID_SIZE_SMALL, 0);
    ASSERT_EQ(test::WindowRect(frame).right, 640);
    ExpectPlaces(110);
}

TEST_F(AccessibleTest, TheDefaultActionStartsTheGameAsAClickDoes)
{
    test::TempFolder temp;
    test::StandInLog log(temp.path());
    test::RunningLauncher launcher(test::InstallFolder());
    auto [frame, view] = launcher.ShowViewAtTopLeft(0);
    ASSERT_NE(Open(view), nullptr);

    EXPECT_EQ(m_object->accDoDefaultAction(Child(4)), S_OK); // Chess
    HWND game = test::WaitForGameWindow("Chess");
    ASSERT_NE(game, nullptr);
    EXPECT_FALSE(IsWindowVisible(frame));
    test::ClickToClose(game);
    EXPECT_TRUE(launcher.WaitForFrame());
    auto starts = log.Starts();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].commandLine, "chess\\chess.exe ");
    EXPECT_EQ(starts[0].folder, test::InstallFolder() + "\\chess");
}

// Focus events from the launcher's process, as a screen reader's hook receives them.
struct FocusEvent {
    HWND window;
    LONG object, child;
};
std::vector<FocusEvent> g_focusEvents;

void CALLBACK RecordFocus(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD, DWORD)
{
    g_focusEvents.push_back({ window, object, child });
}

TEST_F(AccessibleTest, TheFocusFollowsTheKeysHighlight)
{
    test::RunningLauncher launcher(test::InstallFolder());
    auto [frame, view] = launcher.ShowViewAtTopLeft(0);
    ASSERT_NE(Open(view), nullptr);
    DWORD process = 0;
    GetWindowThreadProcessId(frame, &process);
    g_focusEvents.clear();
    HWINEVENTHOOK hook = SetWinEventHook(
        EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, &RecordFocus, process, 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    // The latest event about one of the view's buttons, or 0.
    auto focusedChild = [&] {
        for (auto event = g_focusEvents.rbegin(); event != g_focusEvents.rend(); ++event)
            if (event->window == m_view && event->object == OBJID_CLIENT)
                return event->child;
        return LONG(-1);
    };

    EXPECT_EQ(Number([&](VARIANT* v) { return m_object->get_accFocus(v); }), CHILDID_SELF);
    test::PressKey(VK_RIGHT);
    EXPECT_TRUE(test::WaitFor([&] { return focusedChild() == 1; }));
    test::PressKey(VK_DOWN);
    EXPECT_TRUE(test::WaitFor([&] { return focusedChild() == 5; }));
    EXPECT_EQ(Number([&](VARIANT* v) { return m_object->get_accFocus(v); }), 5);
    EXPECT_EQ(Number([&](VARIANT* v) { return m_object->get_accSelection(v); }), 5);
    EXPECT_EQ(Number([&](VARIANT* v) { return m_object->get_accState(Child(5), v); }),
        STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED | STATE_SYSTEM_HOTTRACKED);

    // What a screen reader does with the event: the object it names speaks the game's name.
    IAccessible* source = nullptr;
    VARIANT child;
    VariantInit(&child);
    ASSERT_EQ(AccessibleObjectFromEvent(m_view, DWORD(OBJID_CLIENT), 5, &source, &child), S_OK);
    EXPECT_EQ(Text([&](BSTR* t) { return source->get_accName(child, t); }), L"Chinese Chess");
    source->Release();

    test::PressKey(VK_ESCAPE);
    EXPECT_TRUE(test::WaitFor([&] { return focusedChild() == CHILDID_SELF; }));
    EXPECT_EQ(Number([&](VARIANT* v) { return m_object->get_accSelection(v); }), test::kNothing);

    // The keys lose their highlight to the timer once the pointer has left, to the pointer, and to
    // another program: each time the reader hears that the focus is back on the view itself. The
    // pointer comes over the view only once the timer's turn is over: moves it reports late would
    // take the highlight themselves.
    auto keys = [&](WORD key, LONG id) {
        test::PressKey(key);
        return test::WaitFor([&] { return focusedChild() == id; });
    };
    auto focusBackOnTheView = [&] { return test::WaitFor([&] { return focusedChild() == CHILDID_SELF; }); };
    ASSERT_TRUE(keys(VK_RIGHT, 1));
    test::MovePointer(1270, 1010); // elsewhere outside the window, where the view hears of no move
    EXPECT_TRUE(focusBackOnTheView()) << "the timer dropped the highlight";
    EXPECT_EQ(Number([&](VARIANT* v) { return m_object->get_accFocus(v); }), CHILDID_SELF);

    velmora::Rect three = test::ButtonsInClient(m_view, 110)[2];
    POINT onThree = { three.left + 50, three.top + 50 };
    ClientToScreen(m_view, &onThree);
    ASSERT_TRUE(keys(VK_RIGHT, 1));
    test::MovePointer(onThree.x, onThree.y);
    EXPECT_TRUE(focusBackOnTheView()) << "the pointer took the highlight";
    EXPECT_EQ(Number([&](VARIANT* v) { return m_object->get_accState(Child(3), v); }),
        STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_HOTTRACKED);

    ASSERT_TRUE(keys(VK_HOME, 1));
    {
        test::StandInGame other(test::InstallFolder() + "\\chess\\chess.exe");
        ASSERT_TRUE(other.started());
        EXPECT_TRUE(focusBackOnTheView()) << "another program became active";
    }
    UnhookWinEvent(hook);
}

} // namespace
