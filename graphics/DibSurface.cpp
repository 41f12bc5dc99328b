// Loading, creating and resizing the 8-bit DIB sections, their colour tables and palettes.
#include "DibSurface.h"

#include "BlitCore.h"
#include "PaletteRules.h"
#include "RectConvert.h"
#include "framework/Exceptions.h"
#include "framework/Wnd.h"

#include <cstdint>
#include <cstring>
#include <new>

namespace {

constexpr int kColours = 256;
// Pictures are refused beyond this many pixels in either direction.
constexpr long kMaxExtent = 32767;

std::unique_ptr<BYTE[]> AllocateBlock(std::size_t size)
{
    std::unique_ptr<BYTE[]> block(new (std::nothrow) BYTE[size]());
    if (!block)
        AfxThrowMemoryException();
    return block;
}

std::uint32_t ImageSize(long width, long height)
{
    return std::uint32_t(velmora::RowStride(int(width))) * std::uint32_t(height);
}

} // namespace

velmora::PixelView ViewOf(const CDibSurface& surface)
{
    if (!surface.m_pBits)
        return { nullptr, 0, 0 };
    return { surface.m_pBits, surface.m_nWidth, surface.m_nHeight };
}

CDibSurface::~CDibSurface()
{
    m_pPalette.reset();
}

BOOL CDibSurface::LoadFromResource(UINT id)
{
    if (int(id) == m_nResourceId)
        return TRUE;
    if (m_nResourceId)
        Unload();
    HRSRC resource = ::FindResourceA(nullptr, MAKEINTRESOURCEA(id & 0xFFFF), MAKEINTRESOURCEA(2));
    HGLOBAL loaded = resource ? ::LoadResource(nullptr, resource) : nullptr;
    const BYTE* packed = loaded ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
    if (!packed)
        AfxThrowResourceException();
    CreateFromPackedDib(packed, ::SizeofResource(nullptr, resource));
    m_nResourceId = int(id);
    return TRUE;
}

BOOL CDibSurface::CreateFromPackedDib(const BYTE* packed, std::size_t size)
{
    BITMAPINFOHEADER header = {};
    if (!packed || size < kPackedHeaderSize)
        AfxThrowResourceException();
    std::memcpy(&header, packed, sizeof header);
    // Only what the blitters can address: 8-bit, uncompressed, bottom-up, and all its rows present.
    if (header.biSize != sizeof header || header.biBitCount != 8 || header.biCompression != BI_RGB
        || header.biWidth <= 0 || header.biWidth > kMaxExtent || header.biHeight <= 0 || header.biHeight > kMaxExtent
        || size - kPackedHeaderSize < ImageSize(header.biWidth, header.biHeight))
        AfxThrowResourceException();
    if (m_hObject)
        Unload();

    m_nWidth = header.biWidth;
    m_nHeight = header.biHeight;
    std::unique_ptr<BYTE[]> block = AllocateBlock(kPackedHeaderSize);
    header.biSizeImage = ImageSize(m_nWidth, m_nHeight);
    header.biClrUsed = kColours;
    header.biClrImportant = kColours;
    std::memcpy(block.get(), &header, sizeof header);
    std::memcpy(block.get() + sizeof header, packed + sizeof header, kColours * sizeof(RGBQUAD));

    AttachSection(reinterpret_cast<BITMAPINFO*>(block.get()));
    std::memcpy(m_pBits, packed + kPackedHeaderSize, header.biSizeImage);
    return TRUE;
}

void CDibSurface::AttachSection(const BITMAPINFO* info)
{
    CClientDC desktop(::GetDesktopWindow());
    void* pixels = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(desktop, info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (!bitmap)
        AfxThrowResourceException();
    if (!Attach(bitmap)) {
        // The surface holds a bitmap already: neither it nor the new section can be trusted as the pixels.
        ::DeleteObject(bitmap);
        Unload();
        AfxThrowResourceException();
    }
    m_pBits = static_cast<BYTE*>(pixels);
}

BOOL CDibSurface::Unload()
{
    m_pPalette.reset();
    DeleteObject();
    m_pBits = nullptr;
    m_nResourceId = 0;
    return TRUE;
}

BOOL CDibSurface::CreateDibPalette()
{
    CMemoryDC screen(nullptr);
    m_pPalette.reset();
    DIBSECTION section = {};
    ::GetObjectA(m_hObject, sizeof section, &section);
    m_pPalette.reset(new (std::nothrow) CPalette);
    if (!m_pPalette)
        AfxThrowMemoryException();

    unsigned long long colours = section.dsBmih.biClrUsed;
    if (colours == 0)
        colours = section.dsBmih.biBitCount < 32 ? 1ull << section.dsBmih.biBitCount : ~0ull;
    if (colours > kColours) {
        // Too many colours for a palette of their own: the halftone palette stands in.
        if (HPALETTE halftone = ::CreateHalftonePalette(screen))
            m_pPalette->Attach(halftone);
        return TRUE;
    }

    RGBQUAD table[kColours] = {};
    {
        CMemoryDC dc(static_cast<HDC>(screen));
        CSelectObject select(dc, m_hObject);
        ::GetDIBColorTable(dc, 0, kColours, table);
    }
    std::unique_ptr<BYTE[]> block = AllocateBlock(sizeof(LOGPALETTE) + (kColours - 1) * sizeof(PALETTEENTRY));
    auto* logical = reinterpret_cast<LOGPALETTE*>(block.get());
    logical->palVersion = 0x300;
    logical->palNumEntries = kColours;
    int reserved = ::GetDeviceCaps(screen, NUMRESERVED);
    for (int i = 0; i < kColours; ++i)
        logical->palPalEntry[i]
            = { table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, velmora::PaletteEntryFlags(i, reserved) };
    HPALETTE palette = ::CreatePalette(logical);
    if (!palette)
        AfxThrowResourceException();
    m_pPalette->Attach(palette);
    return TRUE;
}

BOOL CDibSurface::Blit(const CDibSurface* source, const RECT* sourceRect, const RECT* destRect)
{
    return velmora::Blit(ViewOf(*this), ViewOf(*source), velmora::FromRECT(*sourceRect), velmora::FromRECT(*destRect));
}

BOOL CDibSurface::BlitKeyed(
    const CDibSurface* source, const RECT* sourceRect, const RECT* destRect, int key, int phase, int period)
{
    return velmora::BlitKeyed(ViewOf(*this), ViewOf(*source), velmora::FromRECT(*sourceRect),
        velmora::FromRECT(*destRect), key, phase, period);
}

CDibCanvas::CDibCanvas()
{
    m_nWidth = 640;
    m_nHeight = 480;
}

CDibCanvas::~CDibCanvas() = default;

BOOL CDibCanvas::Create()
{
    m_pBitmapInfo = AllocateBlock(kPackedHeaderSize);
    BITMAPINFOHEADER& header = Info()->bmiHeader;
    header.biSize = sizeof header;
    header.biWidth = m_nWidth;
    header.biHeight = m_nHeight;
    header.biPlanes = 1;
    header.biBitCount = 8;
    header.biCompression = BI_RGB;
    header.biClrUsed = kColours;
    header.biClrImportant = kColours;
    CreateAtCurrentSize();
    return TRUE;
}

BOOL CDibCanvas::Resize(const SIZE* size)
{
    // Zero, negative or absurd extents would make no bottom-up picture: nothing changes.
    if (size->cx <= 0 || size->cy <= 0 || size->cx > kMaxExtent || size->cy > kMaxExtent)
        return FALSE;
    if (size->cx == m_nWidth && size->cy == m_nHeight && m_hObject)
        return TRUE;
    if (!m_pBitmapInfo) {
        m_nWidth = size->cx;
        m_nHeight = size->cy;
        return Create();
    }
    if (m_hObject && !DeleteObject())
        AfxThrowResourceException();
    m_pBits = nullptr;
    m_nWidth = size->cx;
    m_nHeight = size->cy;
    CreateAtCurrentSize();
    return TRUE;
}

void CDibCanvas::CreateAtCurrentSize()
{
    BITMAPINFOHEADER& header = Info()->bmiHeader;
    header.biWidth = m_nWidth;
    header.biHeight = m_nHeight;
    header.biSizeImage = ImageSize(m_nWidth, m_nHeight);
    AttachSection(Info());
}

BOOL CDibCanvas::CopyColorTable(const CDibSurface* source)
{
    RGBQUAD table[kColours] = {};
    CClientDC desktop(::GetDesktopWindow());
    CMemoryDC dc(desktop);
    {
        CSelectObject select(dc, source->m_hObject);
        ::GetDIBColorTable(dc, 0, kColours, table);
    }
    if (m_pBitmapInfo)
        std::memcpy(Info()->bmiColors, table, sizeof table);
    CSelectObject select(dc, m_hObject);
    return ::SetDIBColorTable(dc, 0, kColours, table) > 0;
}
