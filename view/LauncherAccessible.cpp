// The view's accessible object: names, roles, states and places of the twelve game buttons.
#include "LauncherAccessible.h"

#include "LauncherView.h"
#include "ViewHost.h"
#include "framework/Exceptions.h"
#include "framework/String.h"
#include "res/resource.h"

#include <new>
#include <string>

namespace {

constexpr long kChildCount = velmora::kButtonCount;
constexpr int kSelf = -1; // the child id CHILDID_SELF
constexpr int kNoSuchChild = -2; // a child id that names nothing
const char kDefaultAction[] = "Launch";

// The button a child id names, kSelf or kNoSuchChild.
int ButtonOf(const VARIANT& child)
{
    if (child.vt != VT_I4)
        return kNoSuchChild;
    if (child.lVal == CHILDID_SELF)
        return kSelf;
    return child.lVal >= 1 && child.lVal <= kChildCount ? int(child.lVal - 1) : kNoSuchChild;
}

// Runs a method's body: an exception would unwind through COM's caller and end the program.
template <class Body> HRESULT Guarded(Body body)
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const CMemoryException&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

// Child id of `button`; -1 gives CHILDID_SELF.
void SetChild(VARIANT* out, int button)
{
    out->vt = VT_I4;
    out->lVal = button + 1;
}

HRESULT ReturnText(const std::string& text, BSTR* out)
{
    int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
    *out = ::SysAllocStringLen(nullptr, UINT(length));
    if (!*out)
        return E_OUTOFMEMORY;
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), *out, length);
    return S_OK;
}

// The neighbour of `button` in a navigation direction, or -1.
int Neighbour(int button, long direction)
{
    int column = button % velmora::kButtonColumns, next = -1;
    switch (direction) {
    case NAVDIR_NEXT:
        next = button + 1;
        break;
    case NAVDIR_PREVIOUS:
        next = button - 1;
        break;
    case NAVDIR_LEFT:
        next = column > 0 ? button - 1 : -1;
        break;
    case NAVDIR_RIGHT:
        next = column < velmora::kButtonColumns - 1 ? button + 1 : -1;
        break;
    case NAVDIR_UP:
        next = button - velmora::kButtonColumns;
        break;
    case NAVDIR_DOWN:
        next = button + velmora::kButtonColumns;
        break;
    }
    return next >= 0 && next < kChildCount ? next : -1;
}

} // namespace

CLauncherAccessible* CLauncherAccessible::Create(CLauncherVlm2001View* view)
{
    IAccessible* standard = nullptr;
    // Not IID_IAccessible: the x86_64 import library defines that name as a code stub, not the GUID.
    if (FAILED(::CreateStdAccessibleObject(
            view->m_hWnd, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&standard))))
        return nullptr;
    return new CLauncherAccessible(view, standard); // deletes itself at its last Release
}

CLauncherAccessible::CLauncherAccessible(CLauncherVlm2001View* view, IAccessible* standard)
    : m_pView(view)
    , m_pStandard(standard)
{
}

CLauncherAccessible::~CLauncherAccessible()
{
    if (m_pStandard)
        m_pStandard->Release();
}

void CLauncherAccessible::Disconnect()
{
    if (!m_pView)
        return;
    m_pView = nullptr;
    m_pStandard->Release();
    m_pStandard = nullptr;
    // Drops the references that other processes' proxies hold through COM; the caller's own keeps
    // this object alive meanwhile.
    ::CoDisconnectObject(static_cast<IUnknown*>(this), 0);
}

HWND CLauncherAccessible::Window() const
{
    return m_pView->m_hWnd;
}

STDMETHODIMP CLauncherAccessible::QueryInterface(REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == __uuidof(IAccessible)) {
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CLauncherAccessible::AddRef()
{
    return ULONG(::InterlockedIncrement(&m_nReferences));
}

STDMETHODIMP_(ULONG) CLauncherAccessible::Release()
{
    LONG left = ::InterlockedDecrement(&m_nReferences);
    if (left == 0)
        delete this;
    return ULONG(left);
}

STDMETHODIMP CLauncherAccessible::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

template <class ForSelf, class ForButton>
HRESULT CLauncherAccessible::Answer(const VARIANT& child, ForSelf forSelf, ForButton forButton)
{
    if (!m_pView)
        return RPC_E_DISCONNECTED;
    int button = ButtonOf(child);
    if (button == kNoSuchChild)
        return E_INVALIDARG;
    return Guarded([&] { return button == kSelf ? forSelf(m_pStandard) : forButton(button); });
}

template <class ForSelf> HRESULT CLauncherAccessible::AnswerSelfOnly(const VARIANT& child, ForSelf forSelf)
{
    return Answer(child, forSelf, [](int) { return DISP_E_MEMBERNOTFOUND; });
}

STDMETHODIMP CLauncherAccessible::get_accParent(IDispatch** parent)
{
    if (!parent)
        return E_POINTER;
    *parent = nullptr;
    if (!m_pView)
        return RPC_E_DISCONNECTED;
    return Guarded([&] { return m_pStandard->get_accParent(parent); });
}

STDMETHODIMP CLauncherAccessible::get_accChildCount(long* count)
{
    if (!count)
        return E_POINTER;
    *count = m_pView ? kChildCount : 0;
    return m_pView ? S_OK : RPC_E_DISCONNECTED;
}

STDMETHODIMP CLauncherAccessible::get_accChild(VARIANT child, IDispatch** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    // The buttons are simple elements of this object, not objects of their own.
    return Answer(
        child, [](IAccessible*) { return E_INVALIDARG; }, [](int) { return S_FALSE; });
}

STDMETHODIMP CLauncherAccessible::get_accName(VARIANT child, BSTR* name)
{
    if (!name)
        return E_POINTER;
    *name = nullptr;
    return Answer(
        child, [&](IAccessible* standard) { return standard->get_accName(child, name); },
        [&](int button) {
            // As the Launch menu spells it.
            char text[64] = "";
            ::GetMenuStringA(
                ::GetMenu(::GetParent(Window())), ID_LAUNCH_FIRST + button, text, sizeof text, MF_BYCOMMAND);
            return ReturnText(text, name);
        });
}

STDMETHODIMP CLauncherAccessible::get_accValue(VARIANT child, BSTR* value)
{
    if (!value)
        return E_POINTER;
    *value = nullptr;
    return AnswerSelfOnly(child, [&](IAccessible* standard) { return standard->get_accValue(child, value); });
}

STDMETHODIMP CLauncherAccessible::get_accDescription(VARIANT child, BSTR* description)
{
    if (!description)
        return E_POINTER;
    *description = nullptr;
    return Answer(
        child, [&](IAccessible* standard) { return standard->get_accDescription(child, description); },
        [&](int button) {
            // The status prompt of the game's command.
            std::string prompt = LoadResourceString(ID_LAUNCH_FIRST + button).str();
            return ReturnText(prompt.substr(0, prompt.find('\n')), description);
        });
}

STDMETHODIMP CLauncherAccessible::get_accRole(VARIANT child, VARIANT* role)
{
    if (!role)
        return E_POINTER;
    ::VariantInit(role);
    return Answer(
        child, [&](IAccessible* standard) { return standard->get_accRole(child, role); },
        [&](int) {
            role->vt = VT_I4;
            role->lVal = ROLE_SYSTEM_PUSHBUTTON;
            return S_OK;
        });
}

STDMETHODIMP CLauncherAccessible::get_accState(VARIANT child, VARIANT* state)
{
    if (!state)
        return E_POINTER;
    ::VariantInit(state);
    return Answer(
        child, [&](IAccessible* standard) { return standard->get_accState(child, state); },
        [&](int button) {
            long flags = STATE_SYSTEM_UNAVAILABLE; // an "unused" slot can never take the focus
            if (m_pView->IsAvailable(button)) {
                flags = STATE_SYSTEM_FOCUSABLE;
                if (button == m_pView->GetKeyboardButton() && ::GetFocus() == Window())
                    flags |= STATE_SYSTEM_FOCUSED;
                if (button == m_pView->GetHighlightedButton())
                    flags |= STATE_SYSTEM_HOTTRACKED;
            }
            state->vt = VT_I4;
            state->lVal = flags;
            return S_OK;
        });
}

STDMETHODIMP CLauncherAccessible::get_accHelp(VARIANT child, BSTR* help)
{
    if (!help)
        return E_POINTER;
    *help = nullptr;
    return AnswerSelfOnly(child, [&](IAccessible* standard) { return standard->get_accHelp(child, help); });
}

STDMETHODIMP CLauncherAccessible::get_accHelpTopic(BSTR* helpFile, VARIANT child, long* topic)
{
    if (!helpFile || !topic)
        return E_POINTER;
    *helpFile = nullptr;
    *topic = 0;
    return AnswerSelfOnly(
        child, [&](IAccessible* standard) { return standard->get_accHelpTopic(helpFile, child, topic); });
}

STDMETHODIMP CLauncherAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut)
{
    if (!shortcut)
        return E_POINTER;
    *shortcut = nullptr;
    return AnswerSelfOnly(
        child, [&](IAccessible* standard) { return standard->get_accKeyboardShortcut(child, shortcut); });
}

STDMETHODIMP CLauncherAccessible::get_accFocus(VARIANT* child)
{
    if (!child)
        return E_POINTER;
    ::VariantInit(child);
    if (!m_pView)
        return RPC_E_DISCONNECTED;
    return Guarded([&] {
        if (::GetFocus() != Window())
            return S_FALSE;
        SetChild(child, m_pView->GetKeyboardButton()); // the client itself while no game is highlighted
        return S_OK;
    });
}

STDMETHODIMP CLauncherAccessible::get_accSelection(VARIANT* children)
{
    if (!children)
        return E_POINTER;
    ::VariantInit(children);
    if (!m_pView)
        return RPC_E_DISCONNECTED;
    return Guarded([&] {
        int button = m_pView->GetKeyboardButton();
        if (button < 0)
            return S_FALSE;
        SetChild(children, button);
        return S_OK;
    });
}

STDMETHODIMP CLauncherAccessible::get_accDefaultAction(VARIANT child, BSTR* action)
{
    if (!action)
        return E_POINTER;
    *action = nullptr;
    return Answer(
        child, [&](IAccessible* standard) { return standard->get_accDefaultAction(child, action); },
        [&](int) { return ReturnText(kDefaultAction, action); });
}

STDMETHODIMP CLauncherAccessible::accSelect(long flags, VARIANT child)
{
    return AnswerSelfOnly(child, [&](IAccessible* standard) { return standard->accSelect(flags, child); });
}

STDMETHODIMP CLauncherAccessible::accLocation(long* left, long* top, long* width, long* height, VARIANT child)
{
    if (!left || !top || !width || !height)
        return E_POINTER;
    *left = *top = *width = *height = 0;
    return Answer(
        child, [&](IAccessible* standard) { return standard->accLocation(left, top, width, height, child); },
        [&](int button) {
            velmora::Rect rect = m_pView->CurrentButtonRects()[button];
            POINT corner = { rect.left, rect.top };
            ::ClientToScreen(Window(), &corner);
            *left = corner.x;
            *top = corner.y;
            *width = rect.right - rect.left;
            *height = rect.bottom - rect.top;
            return S_OK;
        });
}

STDMETHODIMP CLauncherAccessible::accNavigate(long direction, VARIANT start, VARIANT* end)
{
    if (!end)
        return E_POINTER;
    ::VariantInit(end);
    return Answer(
        start,
        [&](IAccessible* standard) {
            if (direction != NAVDIR_FIRSTCHILD && direction != NAVDIR_LASTCHILD)
                return standard->accNavigate(direction, start, end);
            SetChild(end, direction == NAVDIR_FIRSTCHILD ? 0 : kChildCount - 1);
            return S_OK;
        },
        [&](int button) {
            int next = Neighbour(button, direction);
            if (next < 0)
                return S_FALSE;
            SetChild(end, next);
            return S_OK;
        });
}

STDMETHODIMP CLauncherAccessible::accHitTest(long x, long y, VARIANT* child)
{
    if (!child)
        return E_POINTER;
    ::VariantInit(child);
    if (!m_pView)
        return RPC_E_DISCONNECTED;
    return Guarded([&] {
        POINT point = { x, y };
        ::ScreenToClient(Window(), &point);
        RECT client;
        ::GetClientRect(Window(), &client);
        if (!::PtInRect(&client, point))
            return S_FALSE;
        velmora::ButtonRects rects = m_pView->CurrentButtonRects();
        int hit = kSelf;
        for (int i = 0; i < velmora::kButtonCount; ++i)
            if (velmora::PointInRect(rects[i], point.x, point.y))
                hit = i;
        SetChild(child, hit);
        return S_OK;
    });
}

STDMETHODIMP CLauncherAccessible::accDoDefaultAction(VARIANT child)
{
    return Answer(
        child, [&](IAccessible* standard) { return standard->accDoDefaultAction(child); },
        [&](int button) {
            if (!m_pView->IsAvailable(button))
                return DISP_E_MEMBERNOTFOUND; // an "unused" slot has no action
            // Only when a user could click: not under the start-up pictures, a modal box or a game.
            CWnd* frame = AfxGetMainWnd();
            ViewHost* host = MainViewHost();
            if (!host || !frame->IsWindowVisible() || !::IsWindowEnabled(frame->m_hWnd) || host->IsGameRunning())
                return E_ACCESSDENIED;
            // The game's own command, run from the message loop rather than inside this call.
            ::PostMessageA(Window(), WM_COMMAND, ID_LAUNCH_FIRST + button, 0);
            return S_OK;
        });
}

void AccessibleDisconnect::operator()(CLauncherAccessible* object) const
{
    object->Disconnect();
    object->Release();
}
