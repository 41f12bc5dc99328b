// The start-up pictures: each goes after three seconds or at a key or mouse-button press.
#include "SplashPictureWnd.h"

#include "ViewHost.h"
#include "res/PictureIds.h"

#include <memory>
#include <new>

namespace {

constexpr UINT_PTR kSplashTimerId = 1;
constexpr UINT kSplashTimeMs = 3000;

} // namespace

const MessageEntry CSplashPictureWnd::messageEntries[] = {
    OnMessage<WM_CREATE, &CSplashPictureWnd::OnCreate>(),
    OnMessage<WM_PAINT, &CSplashPictureWnd::OnPaint>(),
    OnMessage<WM_TIMER, &CSplashPictureWnd::OnTimer>(),
    OnMessage<WM_QUERYNEWPALETTE, &CSplashPictureWnd::OnQueryNewPalette>(),
    OnMessage<WM_PALETTECHANGED, &CSplashPictureWnd::OnPaletteChanged>(),
};
const MessageMap CSplashPictureWnd::messageMap = MakeMessageMap(&CWnd::messageMap, messageEntries);

CSplashPictureWnd::~CSplashPictureWnd()
{
    s_pSplash = nullptr;
}

void CSplashPictureWnd::ShowSplash(CWnd* parent)
{
    if (!s_bSplashEnabled || s_pSplash || s_nPictureIndex >= 2)
        return;
    // Without a main window, or with one being destroyed, the program is ending (its document could not be
    // opened, or it was closed during the pictures): no more pictures, none owned by a dying frame.
    if (!parent || parent->IsDestroying()) {
        s_nPictureIndex = 2;
        return;
    }
    auto* splash = new CSplashPictureWnd; // deletes itself when its window goes
    s_pSplash = splash;
    if (splash->CreatePictureWindow(parent)) {
        splash->UpdateWindow();
    } else {
        // A picture that cannot be shown ends the sequence. Whoever ends it shows the main window once:
        // the application after its start-up, or the dismissal of the first picture.
        delete splash;
        s_nPictureIndex = 2;
    }
    parent->SetForegroundWindow();
}

BOOL CSplashPictureWnd::CreatePictureWindow(CWnd* parent)
{
    HANDLE picture = ::LoadImageA(::GetModuleHandleA(nullptr),
        MAKEINTRESOURCEA(velmora::kStartUpPictureIds[s_nPictureIndex]), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    if (!picture)
        return FALSE;
    m_bitmap.Attach(picture);
    BITMAP size = {};
    ::GetObjectA(m_bitmap.m_hObject, sizeof size, &size);
    m_pActivePalette = nullptr;
    const char* windowClass = AfxRegisterWndClass(0, ::LoadCursorA(nullptr, IDC_ARROW));
    m_bWindowUp = CreateEx(0, windowClass, nullptr, WS_POPUP | WS_VISIBLE, 0, 0, size.bmWidth, size.bmHeight,
        parent ? parent->m_hWnd : nullptr, nullptr);
    return m_bWindowUp;
}

int CSplashPictureWnd::OnCreate(LPCREATESTRUCT)
{
    if (Default() == -1)
        return -1;
    CenterWindow(::GetDesktopWindow());
    SetTimer(kSplashTimerId, kSplashTimeMs);
    return 0;
}

void CSplashPictureWnd::OnTimer(UINT_PTR)
{
    Dismiss();
}

BOOL CSplashPictureWnd::FilterStartupMessage(const MSG* msg)
{
    if (!s_pSplash)
        return FALSE;
    switch (msg->message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
        s_pSplash->Dismiss();
        return TRUE;
    default:
        return FALSE;
    }
}

void CSplashPictureWnd::Dismiss()
{
    DestroyWindow(); // PostNcDestroy deletes this object and, after the first picture, shows the next
    if (s_nPictureIndex < 2)
        return;
    if (ViewHost* host = MainViewHost())
        host->ShowRestored();
}

void CSplashPictureWnd::PostNcDestroy()
{
    // A window that failed during its creation leaves this object to ShowSplash.
    if (!m_bWindowUp)
        return;
    delete this;
    ++s_nPictureIndex;
    if (s_nPictureIndex < 2)
        ShowSplash(AfxGetMainWnd());
}

CPalette* CSplashPictureWnd::SetActivePalette(CPalette* palette)
{
    CPalette* previous = m_pActivePalette;
    m_pActivePalette = palette;
    return previous;
}

void CSplashPictureWnd::OnPaint()
{
    CPaintDC dc(this);
    CMemoryDC memory(static_cast<HDC>(dc));
    if (!memory)
        return;
    BITMAP size = {};
    ::GetObjectA(m_bitmap.m_hObject, sizeof size, &size);
    CSelectObject select(memory, m_bitmap.m_hObject);
    // A palette display shows the picture's own colours only through a palette built from them.
    bool paletteDevice = (::GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) != 0;
    HPALETTE palette = paletteDevice && BuildPalette(memory) ? HPALETTE(m_palette) : nullptr;
    CSelectPalette realize(dc, palette, PaletteMapping::Foreground, PaletteMapping::Background);
    ::BitBlt(dc, 0, 0, size.bmWidth, size.bmHeight, memory, 0, 0, SRCCOPY);
}

bool CSplashPictureWnd::BuildPalette(HDC memory)
{
    RGBQUAD table[256] = {};
    ::GetDIBColorTable(memory, 0, 256, table);
    std::unique_ptr<BYTE[]> block(new (std::nothrow) BYTE[sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY)]);
    if (!block)
        return false;
    auto* logical = reinterpret_cast<LOGPALETTE*>(block.get());
    logical->palVersion = 0x300;
    logical->palNumEntries = 256;
    for (int i = 0; i < 256; ++i)
        logical->palPalEntry[i] = { table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0 };
    m_palette.DeleteObject();
    m_palette.Attach(::CreatePalette(logical));
    SetActivePalette(&m_palette);
    return true;
}

BOOL CSplashPictureWnd::RealizeActivePalette(PaletteMapping mapping)
{
    if (!m_pActivePalette || !m_pActivePalette->m_hObject)
        return FALSE;
    bool changed;
    {
        CClientDC dc(this);
        CSelectPalette select(dc, *m_pActivePalette, mapping, PaletteMapping::Background);
        changed = select.ChangedEntries();
    }
    if (!changed)
        return FALSE;
    CWnd::Invalidate(TRUE);
    return TRUE;
}

BOOL CSplashPictureWnd::OnQueryNewPalette()
{
    return RealizeActivePalette(PaletteMapping::Foreground);
}

// Another window has realised its palette: this one's takes what is left.
void CSplashPictureWnd::OnPaletteChanged(HWND focusWindow)
{
    if (focusWindow == m_hWnd || (focusWindow && ::IsChild(m_hWnd, focusWindow)))
        return;
    RealizeActivePalette(PaletteMapping::Background);
}
