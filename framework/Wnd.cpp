// The shared window procedure, message dispatch and window helpers.
#include "Wnd.h"

#include "Exceptions.h"
#include "WinApp.h"

#include <cstdio>
#include <map>
#include <new>
#include <string>
#include <tuple>

namespace {

// The message each nesting level of the window procedure is handling, for Default().
thread_local const MSG* t_currentMessage = nullptr;
// The flag of the innermost CreateEx under way, set when its window reaches WM_NCCREATE (is bound to its
// object). One per call: a child created inside the parent's WM_CREATE must not reset the parent's.
thread_local bool* t_creationBound = nullptr;

} // namespace

const MessageMap CWnd::messageMap = { &CCmdTarget::messageMap, nullptr, 0 };

CWnd::~CWnd()
{
    // An object destroyed before its window: detach so the procedure no longer reaches it.
    if (m_hWnd && ::IsWindow(m_hWnd)) {
        ::SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, 0);
        ::DestroyWindow(m_hWnd);
    }
}

BOOL CWnd::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x, int y, int width,
    int height, HWND parent, HMENU menu)
{
    CREATESTRUCTA cs = {};
    cs.lpCreateParams = this;
    cs.hInstance = ::GetModuleHandleA(nullptr);
    cs.hMenu = menu;
    cs.hwndParent = parent;
    cs.cx = width;
    cs.cy = height;
    cs.x = x;
    cs.y = y;
    cs.style = LONG(style);
    cs.lpszName = windowName;
    cs.lpszClass = className;
    cs.dwExStyle = exStyle;
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }
    bool bound = false;
    bool* outer = t_creationBound;
    t_creationBound = &bound;
    HWND hwnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, DWORD(cs.style), cs.x, cs.y, cs.cx, cs.cy,
        cs.hwndParent, cs.hMenu, cs.hInstance, this);
    t_creationBound = outer;
    if (hwnd)
        return TRUE;
    // A window that was bound has been through WM_NCDESTROY and PostNcDestroy already.
    if (!bound)
        PostNcDestroy();
    return FALSE;
}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    m_bDestroying = true; // not reset: the object may be gone when the call returns
    return ::DestroyWindow(m_hWnd);
}

void CWnd::CenterWindow(HWND alternateOwner)
{
    RECT window;
    ::GetWindowRect(m_hWnd, &window);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoA(
        ::MonitorFromWindow(alternateOwner ? alternateOwner : m_hWnd, MONITOR_DEFAULTTOPRIMARY), &monitor);
    RECT area = monitor.rcWork;
    RECT center = area;
    if (alternateOwner)
        ::GetWindowRect(alternateOwner, &center);

    int width = window.right - window.left, height = window.bottom - window.top;
    int left = (center.left + center.right) / 2 - width / 2;
    int top = (center.top + center.bottom) / 2 - height / 2;
    // Keep the window inside the work area, its top-left corner first.
    if (left + width > area.right)
        left = area.right - width;
    if (left < area.left)
        left = area.left;
    if (top + height > area.bottom)
        top = area.bottom - height;
    if (top < area.top)
        top = area.top;
    ::SetWindowPos(m_hWnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CWnd::Default()
{
    const MSG* msg = t_currentMessage;
    return msg ? DefWindowProc(msg->message, msg->wParam, msg->lParam) : 0;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::RouteCommand(WPARAM wParam, LPARAM lParam)
{
    UINT id = LOWORD(wParam);
    if (lParam == 0) {
        // A menu item or accelerator: a command its update handler disables is dropped.
        CCmdUI state;
        OnCmdMsg(id, CmdAction::Update, &state);
        if (!state.m_bEnabled)
            return TRUE;
    } else if (HIWORD(wParam) != BN_CLICKED) {
        return FALSE;
    }
    return OnCmdMsg(id, CmdAction::Run, nullptr);
}

LRESULT CWnd::Dispatch(UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    if (message == WM_COMMAND) {
        handled = RouteCommand(wParam, lParam);
        return handled ? 0 : DefWindowProc(message, wParam, lParam);
    }
    const MessageEntry* entry = FindEntry(EntryKind::Message, message, 0);
    handled = entry != nullptr; // before the handler runs, which may throw
    return entry ? entry->thunk(*this, wParam, lParam) : DefWindowProc(message, wParam, lParam);
}

CWnd* CWnd::Bind(HWND hwnd, CWnd* created)
{
    if (!created)
        return reinterpret_cast<CWnd*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    created->m_hWnd = hwnd;
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    return created;
}

LRESULT CALLBACK CWnd::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* created = nullptr;
    if (message == WM_NCCREATE) {
        created = static_cast<CWnd*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (t_creationBound)
            *t_creationBound = true;
    }
    CWnd* wnd = Bind(hwnd, created);
    if (!wnd)
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    bool handled = false;
    return DispatchGuarded(wnd, message, wParam, lParam, handled);
}

LRESULT CWnd::DispatchGuarded(CWnd* wnd, UINT message, WPARAM wParam, LPARAM lParam, bool& handled)
{
    MSG msg = { wnd->m_hWnd, message, wParam, lParam, 0, { 0, 0 } };
    const MSG* outer = t_currentMessage;
    t_currentMessage = &msg;
    LRESULT result;
    try {
        result = wnd->Dispatch(message, wParam, lParam, handled);
    } catch (const CException& e) {
        result = AfxGetApp()->ProcessWndProcException(e.Describe(), msg);
    } catch (const std::bad_alloc&) {
        result = AfxGetApp()->ProcessWndProcException(CMemoryException().Describe(), msg);
    } catch (...) {
        result = AfxGetApp()->ProcessWndProcException("An unexpected error occurred.", msg);
    }
    t_currentMessage = outer;

    // A handler may have deleted `wnd` (closing a frame does); nothing below touches it but WM_NCDESTROY.
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(msg.hwnd, GWLP_USERDATA, 0);
        wnd->m_hWnd = nullptr;
        wnd->PostNcDestroy();
    }
    return result;
}

const char* AfxRegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon)
{
    // One class per set of attributes; names stay valid for the life of the program.
    static std::map<std::tuple<UINT, HCURSOR, HBRUSH, HICON>, std::string> registered;
    auto key = std::make_tuple(classStyle, cursor, background, icon);
    auto found = registered.find(key);
    if (found != registered.end())
        return found->second.c_str();

    char name[96];
    std::snprintf(name, sizeof name, "Velmora:%x:%p:%p:%p", classStyle, static_cast<void*>(cursor),
        static_cast<void*>(background), static_cast<void*>(icon));
    WNDCLASSA wc = {};
    wc.style = classStyle;
    wc.lpfnWndProc = &CWnd::WindowProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hIcon = icon;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    if (!::RegisterClassA(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        AfxThrowResourceException();
    return registered.emplace(key, name).first->second.c_str();
}
