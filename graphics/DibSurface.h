// 256-colour pictures held as DIB sections whose index bytes the blitters address directly.
#pragma once

#include "framework/Gdi.h"
#include "graphics/BlitCore.h"

#include <cstddef>
#include <memory>

// Size of a packed picture's header: the 40-byte information header and 256 colour entries.
inline constexpr std::size_t kPackedHeaderSize = 40 + 256 * 4;

class CDibSurface : public CBitmap {
public:
    CDibSurface() = default;
    ~CDibSurface() override;

    // Makes the surface hold bitmap resource `id`; the id already held is not loaded again.
    BOOL LoadFromResource(UINT id);
    // Builds the bitmap from a packed 8-bit picture of `size` bytes (header, 256 colours, rows).
    BOOL CreateFromPackedDib(const BYTE* packed, std::size_t size);
    // Drops the palette and the bitmap.
    BOOL Unload();
    // (Re)builds m_pPalette from the bitmap's colour table.
    BOOL CreateDibPalette();

    // Draws `sourceRect` of `source` into `destRect` of this surface (see graphics/BlitCore.h).
    BOOL Blit(const CDibSurface* source, const RECT* sourceRect, const RECT* destRect);
    BOOL BlitKeyed(
        const CDibSurface* source, const RECT* sourceRect, const RECT* destRect, int key, int phase, int period);

    std::unique_ptr<CPalette> m_pPalette;
    BYTE* m_pBits = nullptr; // bottom row first; owned by the bitmap
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nResourceId = 0;

protected:
    // Creates a DIB section for `info` (against the desktop's device context) and holds it.
    void AttachSection(const BITMAPINFO* info);
};

// The surface as the blitters see it; a surface without a bitmap is empty.
velmora::PixelView ViewOf(const CDibSurface& surface);

// The off-screen surface the view composes in: created empty, resized with the view.
class CDibCanvas : public CDibSurface {
public:
    CDibCanvas();
    ~CDibCanvas() override;

    // Builds the header and an empty bitmap at the current size.
    BOOL Create();
    // Re-creates the bitmap at `size`; FALSE (and no change) for a zero extent.
    BOOL Resize(const SIZE* size);
    // Makes the canvas's colour table, header and bitmap, equal to `source`'s.
    BOOL CopyColorTable(const CDibSurface* source);

    // The 40-byte header and 256 colour entries every re-creation of the bitmap uses.
    std::unique_ptr<BYTE[]> m_pBitmapInfo;

private:
    BITMAPINFO* Info() const { return reinterpret_cast<BITMAPINFO*>(m_pBitmapInfo.get()); }
    // Writes the current size into the header and makes the bitmap from it.
    void CreateAtCurrentSize();
};
