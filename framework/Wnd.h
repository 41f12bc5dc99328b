// CWnd: a C++ object bound to one window, with message-map dispatch; and its device contexts.
#pragma once

#include "Gdi.h"
#include "MessageMap.h"

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    ~CWnd() override;

    HWND m_hWnd = nullptr;

    // Creates the window with our window procedure; `cs` passes through PreCreateWindow first.
    BOOL CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x, int y, int width,
        int height, HWND parent, HMENU menu);
    BOOL DestroyWindow();
    // Whether DestroyWindow was called: true also while the owned windows go, before this one gets WM_DESTROY.
    bool IsDestroying() const { return m_bDestroying; }

    // Called before the window is created; may change the creation parameters.
    virtual BOOL PreCreateWindow(CREATESTRUCT&) { return TRUE; }
    // Called after the window's last message; `this` may be deleted here.
    virtual void PostNcDestroy() { }
    // Called for messages addressed to this window before they are translated and dispatched.
    virtual BOOL PreTranslateMessage(MSG*) { return FALSE; }

    BOOL ShowWindow(int cmdShow) { return ::ShowWindow(m_hWnd, cmdShow); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void InvalidateRect(const RECT* rect, BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, rect, erase); }
    void GetWindowRect(RECT* rect) const { ::GetWindowRect(m_hWnd, rect); }
    BOOL SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags)
    {
        return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags);
    }
    BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse) { return ::SetTimer(m_hWnd, id, elapse, nullptr); }
    BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }

    // Centres the window on the work area of its screen (or on `alternateOwner`), then keeps it
    // inside that area, so a window larger than the area gets the area's top-left corner.
    void CenterWindow(HWND alternateOwner = nullptr);

    // The message being handled, as Windows would process it without us.
    LRESULT Default();

    // The window procedure every window of ours shares.
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    const MessageMap* GetMessageMap() const override { return &messageMap; }
    static const MessageMap messageMap;

protected:
    // Handles WM_COMMAND from a menu or an accelerator: asks the update handler, then runs it.
    virtual BOOL RouteCommand(WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // The object bound to the window; `created`, given at the window's first message for its object, is
    // bound first (in GWLP_USERDATA, for windows and dialogs alike).
    static CWnd* Bind(HWND hwnd, CWnd* created);
    // Dispatches the message to `wnd` as the current one; what a handler throws goes to the application
    // instead of unwinding into Windows. After the window's last message the binding goes, then
    // PostNcDestroy runs (which may delete the object). `handled`: whether a handler took the message.
    static LRESULT DispatchGuarded(CWnd* wnd, UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

private:
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    bool m_bDestroying = false;
};

// Registers (once) and names a window class with these attributes.
const char* AfxRegisterWndClass(
    UINT classStyle, HCURSOR cursor = nullptr, HBRUSH background = nullptr, HICON icon = nullptr);

class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* wnd)
        : CClientDC(wnd->m_hWnd)
    {
    }
    explicit CClientDC(HWND hwnd)
        : m_hWnd(hwnd)
    {
        m_hDC = ::GetDC(m_hWnd);
    }
    ~CClientDC() { ::ReleaseDC(m_hWnd, m_hDC); }

private:
    HWND m_hWnd;
};

class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* wnd)
        : m_hWnd(wnd->m_hWnd)
    {
        m_hDC = ::BeginPaint(m_hWnd, &m_ps);
    }
    ~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); }

private:
    HWND m_hWnd;
    PAINTSTRUCT m_ps;
};
