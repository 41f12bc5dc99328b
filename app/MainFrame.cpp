// The main frame: size rules, launching a game, and saving and restoring the placement.
#include "MainFrame.h"

#include "LaunchRules.h"
#include "LauncherApp.h"
#include "ScreenSizes.h"
#include "graphics/RectConvert.h"
#include "res/resource.h"
#include "view/LauncherView.h"
#include "view/SplashPictureWnd.h"

namespace {

constexpr UINT_PTR kFrameTimerId = 1;
constexpr UINT kFrameTimerMs = 100;
constexpr DWORD kGameIdleWaitMs = 6000;
constexpr DWORD kConfirmPauseMs = 100;
constexpr DWORD kConfirmPollMs = 100;
constexpr int kSoundSlots = 16;
// Relative: looked up from the current directory.
const char kHighlightSound[] = "Sounds\\Highlight.WAV";
const char kConfirmSound[] = "Sounds\\Confirm.WAV";
constexpr UINT kResizeFlags = SWP_NOZORDER | SWP_NOSENDCHANGING;
constexpr int kGameCount = 12;

CString Setting(UINT nameId)
{
    return LoadResourceString(nameId);
}

// Windows takes a thread that has not looked at its queue for five seconds for hung.
constexpr DWORD kQueueLookMs = 1000;

// The hidden window through which COM hands this thread's apartment the calls of other processes
// (a screen reader's), or null while there is none.
HWND ApartmentWindow()
{
    DWORD thread = ::GetCurrentThreadId();
    HWND window = nullptr;
    while ((window = ::FindWindowExA(HWND_MESSAGE, window, "OleMainThreadWndClass", nullptr)))
        if (::GetWindowThreadProcessId(window, nullptr) == thread)
            return window;
    return nullptr;
}

// Waits for the game's process to end, answering only the messages sent to the launcher meanwhile: a
// game that sends to every top-level window (a broadcast) must not wait for its own end, nor must the
// end of the session. Calls from other processes into this thread's apartment (a screen reader's) are
// let through too. Posted messages and input stay queued until the game has ended. The queue is looked
// at at least once a second, so that the launcher never counts as hung.
void WaitAnsweringSentMessages(HANDLE process)
{
    for (;;) {
        DWORD woken = ::MsgWaitForMultipleObjects(1, &process, FALSE, kQueueLookMs, QS_SENDMESSAGE | QS_POSTMESSAGE);
        if (woken == WAIT_OBJECT_0)
            return;
        if (woken != WAIT_OBJECT_0 + 1 && woken != WAIT_TIMEOUT) {
            ::WaitForSingleObject(process, INFINITE);
            return;
        }
        MSG msg;
        // Answers what was sent; looking at the posted messages (without taking them) lets the next
        // wait sleep until something new arrives.
        ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE | PM_QS_POSTMESSAGE);
        if (HWND apartment = ApartmentWindow())
            while (::PeekMessageA(&msg, apartment, 0, 0, PM_REMOVE | PM_QS_POSTMESSAGE))
                ::DispatchMessageA(&msg);
    }
}

} // namespace

const MessageEntry CMainFrame::messageEntries[] = {
    OnMessage<WM_CREATE, &CMainFrame::OnCreate>(),
    OnMessage<WM_DESTROY, &CMainFrame::OnDestroy>(),
    OnMessage<WM_TIMER, &CMainFrame::OnTimer>(),
    OnMessage<WM_SIZING, &CMainFrame::OnSizing>(),
    OnMessage<WM_SIZE, &CMainFrame::OnSize>(),
    OnMessage<WM_CLOSE, &CMainFrame::OnClose>(),
    OnMessage<WM_ACTIVATEAPP, &CMainFrame::OnActivateApp>(),
    OnMessage<WM_QUERYNEWPALETTE, &CMainFrame::OnQueryNewPalette>(),
    OnMessage<WM_PALETTECHANGED, &CMainFrame::OnPaletteChanged>(),
    OnMessage<WM_PALETTEISCHANGING, &CMainFrame::OnPaletteIsChanging>(),
    OnMessage<WM_DISPLAYCHANGE, &CMainFrame::OnDisplayChange>(),
    OnMessage<WM_ENDSESSION, &CMainFrame::OnEndSession>(),
    OnMessage<WM_WINDOWPOSCHANGING, &CMainFrame::OnWindowPosChanging>(),
};
const MessageMap CMainFrame::messageMap = MakeMessageMap(&CFrameWnd::messageMap, messageEntries);

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style &= ~LONG(WS_MAXIMIZEBOX | FWS_ADDTOTITLE);
    return CFrameWnd::PreCreateWindow(cs);
}

int CMainFrame::OnCreate(LPCREATESTRUCT cs)
{
    if (CFrameWnd::OnCreate(cs) == -1)
        return -1;
    CSplashPictureWnd::ShowSplash(this);
    m_nTimerId = SetTimer(kFrameTimerId, kFrameTimerMs);
    return 0;
}

void CMainFrame::OnDestroy()
{
    CFrameWnd::OnDestroy();
    if (m_nTimerId) {
        KillTimer(m_nTimerId);
        m_nTimerId = 0;
    }
}

void CMainFrame::OnTimer(UINT_PTR id)
{
    CLauncherVlm2001View* view = LauncherApp()->m_pLauncherView;
    if (id != m_nTimerId || !view) {
        Default();
        return;
    }
    view->CheckPointerOutside();
    if (!m_bAppInactive)
        view->UpdateNow();
}

// ---- Screen sizes ----

void CMainFrame::OnSizing(UINT edge, LPRECT rect)
{
    velmora::Rect snapped = velmora::FromRECT(*rect);
    velmora::SnapSizingRect(edge, snapped);
    *rect = velmora::ToRECT(snapped);
    Default();
}

void CMainFrame::OnSize(UINT type, int cx, int cy)
{
    RECT window;
    GetWindowRect(&window);
    m_nSizeIndex = velmora::SizeIndexFromWidth(window.right - window.left);
    CFrameWnd::OnSize(type, cx, cy);
}

void CMainFrame::SetScreenSizeIndex(int index)
{
    if (index == GetScreenSizeIndex())
        return;
    if (index < velmora::kSmall || index > velmora::kLarge)
        index = velmora::kSmall;
    RECT window;
    GetWindowRect(&window);
    velmora::Extent size = velmora::kScreenSizes[index];
    SetWindowPos(nullptr, window.left, window.top, size.width, size.height, kResizeFlags);
}

int CMainFrame::GetScreenSizeIndex() const
{
    return velmora::ClampSizeIndex(m_nSizeIndex);
}

int CMainFrame::GetMaxScreenSizeIndex() const
{
    return velmora::MaxSizeIndexForDisplay(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
}

void CMainFrame::OnDisplayChange(UINT, UINT width, UINT height)
{
    // A game may switch the display for itself; the hidden frame keeps its size until the game has
    // ended, and then fits the display as it is by then.
    if (m_bGameRunning) {
        m_bDisplayChangeDeferred = TRUE;
        return;
    }
    CenterWindow();
    RECT window;
    GetWindowRect(&window);
    velmora::DisplayFit fit = velmora::FitToDisplay(m_nSizeIndex, int(width), int(height));
    m_nSizeIndex = fit.sizeIndex;
    if (fit.resize)
        SetWindowPos(nullptr, window.left, window.top, fit.size.width, fit.size.height, kResizeFlags);
}

void CMainFrame::OnWindowPosChanging(WINDOWPOS* pos)
{
    Default();
    // Another program may show, move or size the hidden frame while its game runs: it would show
    // unpainted over the game, or be stored at a size the game chose.
    if (m_bGameRunning) {
        pos->flags &= ~UINT(SWP_SHOWWINDOW);
        pos->flags |= SWP_NOMOVE | SWP_NOSIZE;
    }
}

// ---- Activation and palettes ----

void CMainFrame::OnActivateApp(BOOL active, DWORD)
{
    Default();
    m_bAppInactive = active ? FALSE : TRUE;
    InvalidateRect(nullptr, TRUE);
}

BOOL CMainFrame::RealizeViewPalette(PaletteMapping mapping)
{
    CLauncherVlm2001View* view = LauncherApp()->m_pLauncherView;
    HPALETTE palette = view ? view->GetPalette() : nullptr;
    if (!palette)
        return FALSE;
    // Taking the foreground maps the palette afresh, even if it was last realised in the background.
    if (mapping == PaletteMapping::Foreground)
        ::UnrealizeObject(palette);
    bool changed;
    {
        CClientDC dc(this);
        CSelectPalette select(dc, palette, mapping, PaletteMapping::Background);
        changed = select.ChangedEntries();
    }
    if (!changed)
        return FALSE;
    // The view covers the whole client area: it is what has to repaint with the new colours.
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    return TRUE;
}

BOOL CMainFrame::OnQueryNewPalette()
{
    return RealizeViewPalette(PaletteMapping::Foreground);
}

// Another window has realised its palette: the view's takes what is left.
void CMainFrame::OnPaletteChanged(HWND focusWindow)
{
    if (focusWindow != m_hWnd)
        RealizeViewPalette(PaletteMapping::Background);
}

// Another window is about to realise its palette.
void CMainFrame::OnPaletteIsChanging(HWND realizingWindow)
{
    if (realizingWindow != m_hWnd)
        RealizeViewPalette(PaletteMapping::Foreground);
}

// ---- Launching ----

bool CMainFrame::LaunchGame(int index, bool queryOnly)
{
    if (index < 0 || index >= kGameCount)
        return false;
    CString path = LoadResourceString(IDS_GAME_PATH_FIRST + index);
    if (path.CompareNoCase(LoadResourceString(IDS_UNUSED)) == 0)
        return false;
    if (!queryOnly) {
        // A request made while a game runs is taken up after it, like every other: games never overlap.
        if (!DeferCommand(m_hWnd, ID_LAUNCH_FIRST + index, 0))
            RunGameProcess(path, "");
    }
    return true;
}

void CMainFrame::RunGameProcess(CString path, CString arguments)
{
    if (path.IsEmpty())
        return;
    char fullPath[velmora::kFullPathCapacity + 1];
    char* filePart = nullptr;
    // Resolved against the current directory, where the games are installed.
    DWORD length = ::GetFullPathNameA(path, DWORD(velmora::kFullPathCapacity), fullPath, &filePart);
    if (!velmora::IsUsableFullPathResult(length))
        return;
    std::string folder
        = velmora::WorkingFolderOf(fullPath, filePart ? std::size_t(filePart - fullPath) : std::string::npos);

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;

    PlayConfirmSound();
    ShowWindow(SW_HIDE);

    std::string commandLine = velmora::GameCommandLine(path.str(), arguments.str());
    PROCESS_INFORMATION process = {};
    // The full path names the executable, so no other program of that name can be picked up.
    if (::CreateProcessA(
            fullPath, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(), &startup, &process)) {
        m_bGameRunning = TRUE;
        ::WaitForInputIdle(process.hProcess, kGameIdleWaitMs);
        WaitAnsweringSentMessages(process.hProcess);
        m_bGameRunning = FALSE;
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
        // Keys pressed for the launcher meanwhile (a second Enter, a held one) were meant for the game
        // just played, not for the next one.
        MSG key;
        while (::PeekMessageA(&key, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) { }
        if (m_bDisplayChangeDeferred) {
            m_bDisplayChangeDeferred = FALSE;
            OnDisplayChange(0, UINT(::GetSystemMetrics(SM_CXSCREEN)), UINT(::GetSystemMetrics(SM_CYSCREEN)));
        }
    }

    ShowWindow(SW_SHOWNORMAL);
    SetForegroundWindow();
    TakeUpDeferred();
}

bool CMainFrame::DeferCommand(HWND target, WPARAM wParam, LPARAM lParam)
{
    if (!m_bGameRunning)
        return false;
    m_deferredCommands.push_back({ target, wParam, lParam });
    return true;
}

void CMainFrame::TakeUpDeferred()
{
    // Into the queue only now, in the order they came, so that no loop meets them while the game runs.
    std::deque<DeferredCommand> commands;
    commands.swap(m_deferredCommands);
    for (const DeferredCommand& command : commands)
        ::PostMessageA(command.target, WM_COMMAND, command.wParam, command.lParam);
    if (m_bCloseDeferred) {
        m_bCloseDeferred = FALSE;
        ::PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
    }
}

void CMainFrame::InitSound()
{
    CWnd* main = AfxGetMainWnd();
    m_sound.Init(main ? main->m_hWnd : nullptr, kSoundSlots);
}

void CMainFrame::PlayHighlightSound()
{
    m_sound.PlayOnce(kHighlightSound);
}

void CMainFrame::PlayConfirmSound()
{
    // Longer than any confirmation sound: a slot that is never freed (a sound that keeps playing, passes
    // kept out by another launcher) must not keep the game from starting.
    constexpr DWORD kConfirmWaitLimitMs = 10000;
    int id = m_sound.PlayOnce(kConfirmSound);
    // The service pass frees the slot once the sound has ended; the game must not cut it off.
    if (id >= 0) {
        DWORD started = ::GetTickCount();
        while (m_sound.IsSlotInUse(id) && ::GetTickCount() - started < kConfirmWaitLimitMs)
            ::Sleep(kConfirmPollMs);
    }
    ::Sleep(kConfirmPauseMs);
}

// ---- Placement ----

void CMainFrame::OnClose()
{
    // Closing while a game runs would destroy the frame under the launch that waits for it: close after.
    if (m_bGameRunning) {
        m_bCloseDeferred = TRUE;
        return;
    }
    SaveWindowState();
    CFrameWnd::OnClose();
}

BOOL CMainFrame::RouteCommand(WPARAM wParam, LPARAM lParam)
{
    // A command sent while a game runs waits for its end, as a chosen one would.
    if (DeferCommand(m_hWnd, wParam, lParam))
        return TRUE;
    return CFrameWnd::RouteCommand(wParam, lParam);
}

BOOL CMainFrame::SaveWindowState()
{
    // Closed while still hidden (an installer closing running copies during the start-up pictures): the
    // stored placement is still the user's.
    if (!m_bPlaced)
        return FALSE;
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (!::GetWindowPlacement(m_hWnd, &placement))
        return FALSE;
    CWinApp* app = AfxGetApp();
    CString section = Setting(IDS_REG_SECTION);
    app->WriteProfileInt(section, Setting(IDS_REG_FLAGS), int(placement.flags));
    app->WriteProfileInt(section, Setting(IDS_REG_SHOW), int(placement.showCmd));
    app->WriteProfileInt(section, Setting(IDS_REG_SIZE_INDEX), m_nSizeIndex);
    app->WriteProfileInt(section, Setting(IDS_REG_TOP), placement.rcNormalPosition.top);
    app->WriteProfileInt(section, Setting(IDS_REG_LEFT), placement.rcNormalPosition.left);
    return TRUE;
}

// A log-off or shutdown ends the program without a close: store what the close would.
void CMainFrame::OnEndSession(BOOL ending)
{
    if (ending)
        SaveWindowState();
}

BOOL CMainFrame::RestoreWindowState()
{
    int maxIndex = GetMaxScreenSizeIndex();
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    CWinApp* app = AfxGetApp();
    CString section = Setting(IDS_REG_SECTION);
    int index = int(app->GetProfileInt(section, Setting(IDS_REG_SIZE_INDEX), -1));
    int left = 0, top = 0;
    if (velmora::IsStoredSizeUsable(index, maxIndex)) {
        placement.flags = app->GetProfileInt(section, Setting(IDS_REG_FLAGS), 0);
        top = int(app->GetProfileInt(section, Setting(IDS_REG_TOP), 0));
        left = int(app->GetProfileInt(section, Setting(IDS_REG_LEFT), 0));
        m_nSizeIndex = index;
    } else {
        m_nSizeIndex = maxIndex;
    }
    placement.showCmd = SW_SHOWNORMAL;
    placement.rcNormalPosition = velmora::ToRECT(velmora::RestoredRect(left, top, m_nSizeIndex));
    BOOL applied = ::SetWindowPlacement(m_hWnd, &placement);
    // Failed or not, the frame is shown from here on (plainly if need be): its own placement is the one to keep.
    m_bPlaced = TRUE;
    return applied;
}

void CMainFrame::ShowRestored()
{
    if (!RestoreWindowState())
        ShowWindow(SW_SHOW);
    UpdateWindow();
}
