// Frame creation from resources, command routing, menu update and view painting.
#include "FrameWnd.h"

#include "Document.h"
#include "WinApp.h"

const MessageEntry CFrameWnd::messageEntries[] = {
    OnMessage<WM_CREATE, &CFrameWnd::OnCreate>(),
    OnMessage<WM_DESTROY, &CFrameWnd::OnDestroy>(),
    OnMessage<WM_SIZE, &CFrameWnd::OnSize>(),
    OnMessage<WM_CLOSE, &CFrameWnd::OnClose>(),
    OnMessage<WM_SETFOCUS, &CFrameWnd::OnSetFocus>(),
    OnMessage<WM_INITMENUPOPUP, &CFrameWnd::OnInitMenuPopup>(),
};
const MessageMap CFrameWnd::messageMap = MakeMessageMap(&CWnd::messageMap, messageEntries);

BOOL CFrameWnd::LoadFrame(UINT resourceId, DWORD style, CCreateContext* context)
{
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    // The title is the first line of the document string.
    std::string strings = LoadResourceString(resourceId).str();
    std::string title = strings.substr(0, strings.find('\n'));
    m_hAccelTable = ::LoadAcceleratorsA(instance, MAKEINTRESOURCEA(resourceId));
    HMENU menu = ::LoadMenuA(instance, MAKEINTRESOURCEA(resourceId));
    HICON icon = ::LoadIconA(instance, MAKEINTRESOURCEA(resourceId));
    const char* windowClass = AfxRegisterWndClass(
        CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), icon);
    m_pCreateContext = context;
    BOOL created = CreateEx(0, windowClass, title.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
        CW_USEDEFAULT, nullptr, menu);
    if (!created && ::IsMenu(menu))
        ::DestroyMenu(menu); // a window that never existed did not take the menu
    return created;
}

BOOL CFrameWnd::PreTranslateMessage(MSG* msg)
{
    if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST && m_hAccelTable)
        return ::TranslateAcceleratorA(m_hWnd, m_hAccelTable, msg);
    return FALSE;
}

BOOL CFrameWnd::OnCmdMsg(UINT id, CmdAction action, CCmdUI* ui)
{
    if (m_pViewActive && m_pViewActive->OnCmdMsg(id, action, ui))
        return TRUE;
    if (CWnd::OnCmdMsg(id, action, ui))
        return TRUE;
    CWinApp* app = AfxGetApp();
    return app && app->OnCmdMsg(id, action, ui);
}

void CFrameWnd::InitialUpdateFrame(bool makeVisible)
{
    CWinApp* app = AfxGetApp();
    if (makeVisible)
        ShowWindow(app->m_pMainWnd == this ? app->m_nCmdShow : SW_SHOWNORMAL);
    if (m_pViewActive)
        m_pViewActive->Invalidate();
}

int CFrameWnd::OnCreate(LPCREATESTRUCT)
{
    if (Default() == -1)
        return -1;
    if (!m_pCreateContext || !m_pCreateContext->newView)
        return 0;
    CView* view = m_pCreateContext->newView();
    view->m_pDocument = m_pCreateContext->document;
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    // The view deletes itself if its window cannot be created.
    if (!view->CreateEx(0, nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, 0, 0, client.right, client.bottom,
            m_hWnd, reinterpret_cast<HMENU>(UINT_PTR(AFX_IDW_PANE_FIRST))))
        return -1;
    m_pViewActive = view;
    return 0;
}

void CFrameWnd::OnDestroy()
{
    // The view is destroyed after this and deletes itself; nothing may route to it any more.
    m_pViewActive = nullptr;
    Default();
}

void CFrameWnd::OnSize(UINT type, int cx, int cy)
{
    Default();
    if (type != SIZE_MINIMIZED && m_pViewActive)
        ::MoveWindow(m_pViewActive->m_hWnd, 0, 0, cx, cy, TRUE);
}

void CFrameWnd::OnClose()
{
    CDocument* document = m_pViewActive ? m_pViewActive->m_pDocument : nullptr;
    CSingleDocTemplate* docTemplate = document ? document->m_pDocTemplate : nullptr;
    DestroyWindow(); // deletes this frame
    if (docTemplate)
        docTemplate->CloseDocument();
}

void CFrameWnd::OnSetFocus(HWND)
{
    if (m_pViewActive)
        ::SetFocus(m_pViewActive->m_hWnd);
    else
        Default();
}

void CFrameWnd::OnInitMenuPopup(HMENU popup, UINT, BOOL systemMenu)
{
    if (systemMenu)
        return;
    int count = ::GetMenuItemCount(popup);
    for (int index = 0; index < count; ++index) {
        UINT id = ::GetMenuItemID(popup, index);
        if (id == 0 || id == UINT(-1))
            continue; // separators and sub-menus are left alone
        CCmdUI state(popup, UINT(index));
        if (!OnCmdMsg(id, CmdAction::Update, &state))
            state.Enable(OnCmdMsg(id, CmdAction::Probe, nullptr)); // no handler at all: greyed
    }
}

void CFrameWnd::PostNcDestroy()
{
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this) {
        app->m_pMainWnd = nullptr;
        ::PostQuitMessage(0);
    }
    delete this;
}

const MessageEntry CView::messageEntries[] = {
    OnMessage<WM_PAINT, &CView::OnPaint>(),
};
const MessageMap CView::messageMap = MakeMessageMap(&CWnd::messageMap, messageEntries);

BOOL CView::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!cs.lpszClass)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ::LoadCursorA(nullptr, IDC_ARROW),
            reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    // A bordered view gets the sunken client edge instead.
    if (cs.style & WS_BORDER) {
        cs.dwExStyle |= WS_EX_CLIENTEDGE;
        cs.style &= ~LONG(WS_BORDER);
    }
    return TRUE;
}

BOOL CView::OnCmdMsg(UINT id, CmdAction action, CCmdUI* ui)
{
    if (CWnd::OnCmdMsg(id, action, ui))
        return TRUE;
    return m_pDocument && m_pDocument->OnCmdMsg(id, action, ui);
}

void CView::OnPaint()
{
    CPaintDC dc(this);
    OnDraw(&dc);
}
