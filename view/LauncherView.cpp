// The launcher view: all pictures loaded once, each paint composed in the canvas and copied in one step.
#include "LauncherView.h"

#include "LauncherAccessible.h"
#include "ViewHost.h"
#include "graphics/RectConvert.h"
#include "res/PictureIds.h"

#include <type_traits>

namespace {

using velmora::ToRECT;

// Per size, the normal then the highlighted picture of each game.
constexpr int kPicturesPerSet = 2 * velmora::kButtonCount;
static_assert(velmora::kButtonCount == velmora::kPictureGameCount);
constexpr int kNoKey = 0;

int ScreenSizeIndex()
{
    ViewHost* host = MainViewHost();
    return host ? host->GetScreenSizeIndex() : 0;
}

velmora::GridKey GridKeyOf(UINT key)
{
    using enum velmora::GridKey;
    switch (key) {
    case VK_LEFT:
        return Left;
    case VK_RIGHT:
        return Right;
    case VK_UP:
        return Up;
    case VK_DOWN:
        return Down;
    case VK_HOME:
        return Home;
    case VK_END:
        return End;
    case VK_RETURN:
    case VK_SPACE:
        return Launch;
    case VK_ESCAPE:
        return Clear;
    default:
        return Other;
    }
}

} // namespace

const MessageEntry CLauncherVlm2001View::messageEntries[] = {
    OnMessage<WM_SIZE, &CLauncherVlm2001View::OnSize>(),
    OnMessage<WM_ERASEBKGND, &CLauncherVlm2001View::OnEraseBkgnd>(),
    OnMessage<WM_CREATE, &CLauncherVlm2001View::OnCreate>(),
    OnMessage<WM_DESTROY, &CLauncherVlm2001View::OnDestroy>(),
    OnMessage<WM_MOUSEMOVE, &CLauncherVlm2001View::OnMouseMove>(),
    OnMessage<WM_LBUTTONDOWN, &CLauncherVlm2001View::OnLButtonDown>(),
    OnMessage<WM_KEYDOWN, &CLauncherVlm2001View::OnKeyDown>(),
    OnMessage<WM_GETOBJECT, &CLauncherVlm2001View::OnGetObject>(),
    OnMessage<WM_QUERYNEWPALETTE, &CLauncherVlm2001View::OnQueryNewPalette>(),
    OnMessage<WM_PALETTECHANGED, &CLauncherVlm2001View::OnPaletteChanged>(),
};
const MessageMap CLauncherVlm2001View::messageMap = MakeMessageMap(&CView::messageMap, messageEntries);

namespace {

void Register(CLauncherVlm2001View* view)
{
    if (LauncherViewRegistry* registry = ViewRegistry())
        registry->m_pLauncherView = view;
}

bool IsRegistered(const CLauncherVlm2001View* view)
{
    LauncherViewRegistry* registry = ViewRegistry();
    return registry && registry->m_pLauncherView == view;
}

} // namespace

CLauncherVlm2001View::CLauncherVlm2001View()
{
    m_canvas.Create();
    m_nLastSounded = -1;
    SetHighlightedButton(-1);
    Register(this);
    try {
        LoadPictures();
    } catch (...) {
        // No view exists after all: the frame must not reach this one.
        Register(nullptr);
        throw;
    }
}

CLauncherVlm2001View::~CLauncherVlm2001View()
{
    Register(nullptr);
    // The window has gone: clients still holding the accessible object must not reach this view.
    m_accessible.reset();
    if (m_bComInitialized)
        ::CoUninitialize();
}

void CLauncherVlm2001View::LoadPictures()
{
    static_assert(std::extent_v<decltype(m_buttonPictures)> == velmora::kPictureSizeCount * kPicturesPerSet);
    for (int s = 0; s < velmora::kPictureSizeCount; ++s) {
        m_backgrounds[s].LoadFromResource(velmora::BackgroundPictureId(s));
        for (int i = 0; i < velmora::kButtonCount; ++i)
            for (int lit = 0; lit < 2; ++lit)
                m_buttonPictures[kPicturesPerSet * s + 2 * i + lit].LoadFromResource(
                    velmora::ButtonPictureId(s, i, lit));
    }
    m_canvas.CopyColorTable(&m_backgrounds[0]);
    m_canvas.CreateDibPalette();
}

velmora::ButtonRects CLauncherVlm2001View::LayoutFor(int width, int height) const
{
    const CDibSurface& first = m_buttonPictures[kPicturesPerSet * ScreenSizeIndex()];
    return velmora::ComputeButtonLayout(width, height, first.m_nWidth, first.m_nHeight);
}

void CLauncherVlm2001View::ComputeButtonRects(int width, int height)
{
    m_buttonRects[ScreenSizeIndex()] = LayoutFor(width, height);
}

velmora::ButtonRects CLauncherVlm2001View::CurrentButtonRects() const
{
    return LayoutFor(m_clientRect.right, m_clientRect.bottom);
}

void CLauncherVlm2001View::OnDraw(CDC* dc)
{
    if (velmora::IsEmptyArea(m_clientRect))
        return;
    int width = m_clientRect.right, height = m_clientRect.bottom;
    ComputeButtonRects(width, height);
    int s = ScreenSizeIndex();
    ViewHost* host = MainViewHost();
    if (host && !host->IsAppActive()) {
        // Nothing is highlighted while another program is active, and the next entry sounds again.
        SetHighlightedButton(-1);
        m_nLastSounded = -1;
        DropKeyboardHighlight();
    }

    CSelectPalette palette(*dc, GetPalette(), PaletteMapping::Foreground, PaletteMapping::Foreground);
    {
        CMemoryDC memory(static_cast<HDC>(*dc));
        CSelectObject select(memory, m_canvas.m_hObject);
        RECT client = ToRECT(m_clientRect);
        m_canvas.Blit(&m_backgrounds[s], &client, &client);
        for (int i = 0; i < velmora::kButtonCount; ++i) {
            const CDibSurface& picture = m_buttonPictures[kPicturesPerSet * s + 2 * i + (i == m_nHighlighted ? 1 : 0)];
            RECT source = { 0, 0, picture.m_nWidth, picture.m_nHeight };
            RECT dest = ToRECT(m_buttonRects[s][i]);
            m_canvas.BlitKeyed(&picture, &source, &dest, kNoKey, 0, 0);
        }
        ::BitBlt(*dc, 0, 0, width, height, memory, 0, 0, SRCCOPY);
    }
}

void CLauncherVlm2001View::OnSize(UINT, int cx, int cy)
{
    Default();
    if (cx > 0 && cy > 0) {
        m_clientRect = { 0, 0, cx, cy };
        SIZE size = { cx, cy };
        m_canvas.Resize(&size);
    }
    CWnd::Invalidate(TRUE);
}

BOOL CLauncherVlm2001View::OnEraseBkgnd(HDC)
{
    return TRUE; // the paint covers every pixel; erasing first would only flicker
}

int CLauncherVlm2001View::OnCreate(LPCREATESTRUCT)
{
    return Default() == -1 ? -1 : 0;
}

void CLauncherVlm2001View::OnDestroy()
{
    Default();
}

void CLauncherVlm2001View::OnMouseMove(UINT, POINT point)
{
    // Windows also reports a pointer that has not moved when a window appears or moves under it;
    // that leaves the keys' highlight alone.
    POINT screen = point;
    ::ClientToScreen(m_hWnd, &screen);
    if (!PointerStillSinceKeys(screen))
        TrackPointer(point.x, point.y);
    Default();
}

void CLauncherVlm2001View::OnLButtonDown(UINT, POINT point)
{
    Click(m_buttonRects[ScreenSizeIndex()], m_clientRect, point.x, point.y, *this);
    Default();
}

void CLauncherVlm2001View::TrackPointer(int x, int y)
{
    DropKeyboardHighlight(); // the pointer takes over
    Track(m_buttonRects[ScreenSizeIndex()], m_clientRect, x, y, *this);
}

void CLauncherVlm2001View::CheckPointerOutside()
{
    if (velmora::IsEmptyArea(m_clientRect))
        return;
    POINT point;
    // A pointer that cannot be read (another desktop has the input) says nothing about leaving.
    if (!::GetCursorPos(&point) || PointerStillSinceKeys(point))
        return;
    ::ScreenToClient(m_hWnd, &point);
    CheckOutside(m_clientRect, point.x, point.y, *this);
    if (m_nHighlighted < 0)
        DropKeyboardHighlight();
}

void CLauncherVlm2001View::OnKeyDown(UINT key, UINT, UINT flags)
{
    Default();
    velmora::GridKey gridKey = GridKeyOf(key);
    // Only the press of a held Enter starts a game: its repeats would start it again once it has ended.
    if (gridKey == velmora::GridKey::Launch && (flags & KF_REPEAT))
        return;
    velmora::Availability available;
    for (int i = 0; i < velmora::kButtonCount; ++i)
        available[i] = IsAvailable(i);
    bool keyboard = GetKeyboardButton() >= 0;
    velmora::GridKeyOutcome outcome = velmora::ApplyGridKey(gridKey, m_nHighlighted, keyboard, available);
    if (outcome.highlighted != m_nHighlighted || outcome.keyboard != keyboard)
        SetKeyboardHighlight(outcome.highlighted);
    if (outcome.launch < 0)
        return;
    Launch(outcome.launch); // returns once the game has ended
    // Back in front, the keys' highlight is on the game just played, so Enter plays it again.
    if (IsRegistered(this))
        SetKeyboardHighlight(outcome.launch);
}

void CLauncherVlm2001View::SetKeyboardHighlight(int button)
{
    const velmora::ButtonRects& rects = m_buttonRects[ScreenSizeIndex()];
    if (m_nHighlighted >= 0)
        Invalidate(&rects[m_nHighlighted]);
    SetHighlightedButton(button);
    if (button >= 0)
        Invalidate(&rects[button]);
    else
        m_nLastSounded = -1; // as a move off the buttons: the next game reached sounds again
    m_bKeyboardHighlight = button >= 0;
    ::GetCursorPos(&m_keyboardPointer);
    ::NotifyWinEvent(EVENT_OBJECT_FOCUS, m_hWnd, OBJID_CLIENT, button >= 0 ? button + 1 : CHILDID_SELF);
}

void CLauncherVlm2001View::DropKeyboardHighlight()
{
    if (!m_bKeyboardHighlight)
        return;
    m_bKeyboardHighlight = false;
    // Otherwise a screen reader would still announce the game, and Enter would seem to do nothing.
    ::NotifyWinEvent(EVENT_OBJECT_FOCUS, m_hWnd, OBJID_CLIENT, CHILDID_SELF);
}

bool CLauncherVlm2001View::PointerStillSinceKeys(POINT screenPoint) const
{
    return GetKeyboardButton() >= 0 && screenPoint.x == m_keyboardPointer.x && screenPoint.y == m_keyboardPointer.y;
}

LRESULT CLauncherVlm2001View::OnGetObject(WPARAM flags, LONG objectId)
{
    if (objectId != LONG(OBJID_CLIENT))
        return Default();
    if (!m_accessible) {
        // Handing the object to another process needs COM on this thread.
        if (!m_bComInitialized)
            m_bComInitialized = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        m_accessible.reset(CLauncherAccessible::Create(this));
        if (!m_accessible)
            return Default();
    }
    return ::LresultFromObject(__uuidof(IAccessible), flags, static_cast<IAccessible*>(m_accessible.get()));
}

void CLauncherVlm2001View::UpdateNow()
{
    UpdateWindow();
}

BOOL CLauncherVlm2001View::OnQueryNewPalette()
{
    HPALETTE palette = GetPalette();
    if (!palette)
        return FALSE;
    bool changed;
    {
        CClientDC dc(this);
        CSelectPalette select(dc, palette, PaletteMapping::Foreground, PaletteMapping::Foreground);
        changed = select.ChangedEntries();
    }
    if (!changed)
        return FALSE;
    CWnd::Invalidate(TRUE);
    UpdateWindow();
    return TRUE;
}

void CLauncherVlm2001View::OnPaletteChanged(HWND focusWindow)
{
    if (focusWindow != m_hWnd)
        OnQueryNewPalette();
}

BOOL CLauncherVlm2001View::RouteCommand(WPARAM wParam, LPARAM lParam)
{
    // A command sent to the view while a game runs waits for the game's end, as the frame's do.
    ViewHost* host = MainViewHost();
    if (host && host->DeferCommand(m_hWnd, wParam, lParam))
        return TRUE;
    return CView::RouteCommand(wParam, lParam);
}

bool CLauncherVlm2001View::IsAvailable(int button)
{
    ViewHost* host = MainViewHost();
    return host && host->LaunchGame(button, true);
}

void CLauncherVlm2001View::PlayHighlightSound()
{
    if (ViewHost* host = MainViewHost())
        host->PlayHighlightSound();
}

void CLauncherVlm2001View::Invalidate(const velmora::Rect* rect)
{
    if (!rect) {
        CWnd::Invalidate(TRUE);
        return;
    }
    RECT r = ToRECT(*rect);
    InvalidateRect(&r, TRUE);
}

void CLauncherVlm2001View::Launch(int button)
{
    if (ViewHost* host = MainViewHost())
        host->LaunchGame(button, false);
}
