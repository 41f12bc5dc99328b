// The 8-bit DIB surfaces: packed pictures, the canvas's size and colour table, palettes, resources.
#include "graphics/DibSurface.h"
#include "Harness.h"
#include "framework/Exceptions.h"
#include "graphics/BlitCore.h"
#include "res/PictureIds.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// A packed 8-bit picture: header, 256 colours (entry i is i, 255 - i, i / 2), rows filled with `fill`.
std::vector<BYTE> PackedPicture(int width, int height, BYTE fill, DWORD coloursUsed = 256)
{
    std::vector<BYTE> packed(kPackedHeaderSize + std::size_t(velmora::RowStride(width)) * height, fill);
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 8;
    header.biClrUsed = coloursUsed;
    std::memcpy(packed.data(), &header, sizeof header);
    for (int i = 0; i < 256; ++i) {
        RGBQUAD colour = { BYTE(i / 2), BYTE(255 - i), BYTE(i), 0 };
        std::memcpy(packed.data() + sizeof header + i * 4, &colour, 4);
    }
    return packed;
}

std::vector<RGBQUAD> ColourTable(const CDibSurface& surface)
{
    std::vector<RGBQUAD> table(256);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, surface.m_hObject);
    GetDIBColorTable(dc, 0, 256, table.data());
    SelectObject(dc, old);
    DeleteDC(dc);
    return table;
}

TEST(DibSurfaceTest, PackedPicturesKeepTheirRowsAndStrides)
{
    struct Row {
        int width, height;
        long stride;
    };
    static const Row rows[] = { { 110, 3, 112 }, { 137, 2, 140 }, { 176, 1, 176 }, { 1, 1, 4 }, { 5, 2, 8 } };
    for (const Row& row : rows) {
        std::vector<BYTE> packed = PackedPicture(row.width, row.height, 0);
        for (long i = 0; i < row.stride * row.height; ++i)
            packed[kPackedHeaderSize + i] = BYTE(i * 7);
        CDibSurface surface;
        ASSERT_TRUE(surface.CreateFromPackedDib(packed.data(), packed.size()));
        EXPECT_EQ(surface.m_nWidth, row.width);
        EXPECT_EQ(surface.m_nHeight, row.height);
        DIBSECTION section = {};
        ASSERT_EQ(GetObjectA(surface.m_hObject, sizeof section, &section), int(sizeof section));
        EXPECT_EQ(section.dsBm.bmWidthBytes, row.stride) << row.width;
        EXPECT_EQ(section.dsBmih.biSizeImage, DWORD(row.stride * row.height)) << row.width;
        EXPECT_EQ(std::memcmp(surface.m_pBits, packed.data() + kPackedHeaderSize, row.stride * row.height), 0);
        EXPECT_EQ(surface.m_pPalette, nullptr);
    }
}

TEST(DibSurfaceTest, AZeroColourCountStillReadsPixelsAfterTheFullTable)
{
    std::vector<BYTE> packed = PackedPicture(4, 1, 0x5A, 0);
    CDibSurface surface;
    ASSERT_TRUE(surface.CreateFromPackedDib(packed.data(), packed.size()));
    EXPECT_EQ(surface.m_pBits[0], 0x5A);
    EXPECT_EQ(ColourTable(surface)[200].rgbRed, 200);
}

TEST(DibSurfaceTest, PicturesTheBlittersCannotAddressAreRefused)
{
    struct Row {
        const char* what;
        int width, height;
        WORD bits;
        DWORD compression;
        std::size_t cut; // bytes missing at the end
    };
    static const Row rows[] = {
        { "4 bits", 8, 8, 4, BI_RGB, 0 },
        { "run-length", 8, 8, 8, BI_RLE8, 0 },
        { "top-down", 8, -8, 8, BI_RGB, 0 },
        { "no width", 0, 8, 8, BI_RGB, 0 },
        { "last row short", 8, 8, 8, BI_RGB, 1 },
    };
    for (const Row& row : rows) {
        std::vector<BYTE> packed = PackedPicture(8, 8, 1);
        auto* header = reinterpret_cast<BITMAPINFOHEADER*>(packed.data());
        header->biWidth = row.width;
        header->biHeight = row.height;
        header->biBitCount = row.bits;
        header->biCompression = row.compression;
        packed.resize(packed.size() - row.cut);
        CDibSurface surface;
        EXPECT_THROW(surface.CreateFromPackedDib(packed.data(), packed.size()), CResourceException) << row.what;
        EXPECT_EQ(surface.m_hObject, nullptr) << row.what;
    }
    CDibSurface surface;
    EXPECT_THROW(surface.CreateFromPackedDib(PackedPicture(1, 1, 0).data(), kPackedHeaderSize - 1), CResourceException);
}

// The DIB section made last, through the real function.
decltype(&CreateDIBSection) g_createDibSection = nullptr;
HBITMAP g_lastSection = nullptr;

HBITMAP WINAPI RecordedCreateDIBSection(
    HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE mapping, DWORD offset)
{
    return g_lastSection = g_createDibSection(dc, info, usage, bits, mapping, offset);
}

TEST(DibSurfaceTest, CanvasResizeKeepsOrReplacesTheBitmapAndTheCopiedColourTable)
{
    CDibCanvas canvas;
    EXPECT_EQ(canvas.m_nWidth, 640);
    EXPECT_EQ(canvas.m_nHeight, 480);
    ASSERT_TRUE(canvas.Create());
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(canvas.m_pBitmapInfo.get());
    EXPECT_EQ(header->biSizeImage, 640u * 480u);
    EXPECT_EQ(header->biClrUsed, 256u);

    std::vector<BYTE> packed = PackedPicture(8, 8, 3);
    CDibSurface source;
    ASSERT_TRUE(source.CreateFromPackedDib(packed.data(), packed.size()));
    ASSERT_TRUE(canvas.CopyColorTable(&source));
    EXPECT_EQ(ColourTable(canvas)[10].rgbGreen, 245);

    HGDIOBJ bitmap = canvas.m_hObject;
    canvas.m_pBits[0] = 77;
    SIZE same = { 640, 480 };
    EXPECT_TRUE(canvas.Resize(&same));
    EXPECT_EQ(canvas.m_hObject, bitmap);
    EXPECT_EQ(canvas.m_pBits[0], 77);

    for (SIZE empty : { SIZE { 0, 300 }, SIZE { 300, 0 }, SIZE { -5, 300 } }) {
        EXPECT_FALSE(canvas.Resize(&empty));
        EXPECT_EQ(canvas.m_hObject, bitmap);
        EXPECT_EQ(canvas.m_nWidth, 640);
    }

    SIZE odd = { 1097, 781 };
    ASSERT_TRUE(canvas.Resize(&odd));
    EXPECT_EQ(canvas.m_nWidth, 1097);
    EXPECT_EQ(canvas.m_nHeight, 781);
    EXPECT_EQ(header->biSizeImage, 1100u * 781u);
    DIBSECTION section = {};
    ASSERT_EQ(GetObjectA(canvas.m_hObject, sizeof section, &section), int(sizeof section));
    EXPECT_EQ(section.dsBm.bmWidth, 1097);
    EXPECT_EQ(section.dsBm.bmWidthBytes, 1100);
    // The colour table copied before the resize is the new bitmap's too.
    std::vector<RGBQUAD> table = ColourTable(canvas);
    EXPECT_EQ(table[10].rgbGreen, 245);
    EXPECT_EQ(table[200].rgbRed, 200);

    // A section the canvas cannot take is released, and the canvas is left empty rather than with
    // pixels that belong to no bitmap of its own.
    {
        test::ImportPatch recorder(
            "gdi32.dll", "CreateDIBSection", reinterpret_cast<const void*>(&RecordedCreateDIBSection));
        ASSERT_TRUE(recorder.patched());
        g_createDibSection = recorder.original<decltype(&CreateDIBSection)>();
        g_lastSection = nullptr;
        EXPECT_THROW(canvas.Create(), CResourceException);
    }
    ASSERT_NE(g_lastSection, nullptr);
    EXPECT_EQ(GetObjectType(g_lastSection), 0u) << "the refused section was not deleted";
    EXPECT_EQ(canvas.m_hObject, nullptr);
    EXPECT_EQ(canvas.m_pBits, nullptr);
}

TEST(DibSurfaceTest, PaletteEntriesAreTheColourTableWithTheReservedEntriesFree)
{
    std::vector<BYTE> packed = PackedPicture(4, 4, 0);
    CDibCanvas canvas;
    ASSERT_TRUE(canvas.Create());
    CDibSurface source;
    ASSERT_TRUE(source.CreateFromPackedDib(packed.data(), packed.size()));
    canvas.CopyColorTable(&source);
    ASSERT_TRUE(canvas.CreateDibPalette());
    ASSERT_NE(canvas.m_pPalette, nullptr);
    PALETTEENTRY entries[256] = {};
    ASSERT_EQ(GetPaletteEntries(*canvas.m_pPalette, 0, 256, entries), 256u);

    HDC screen = GetDC(nullptr);
    ASSERT_EQ(GetDeviceCaps(screen, NUMRESERVED), 20);
    ReleaseDC(nullptr, screen);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(entries[i].peRed, i) << i;
        EXPECT_EQ(entries[i].peGreen, 255 - i) << i;
        // Entries 0-9 and 245-255 may take the static colours.
        BYTE expected = i <= 9 || i >= 245 ? 0 : PC_NOCOLLAPSE;
        EXPECT_EQ(entries[i].peFlags, expected) << "entry " << i;
    }
}

TEST(DibSurfaceTest, MoreThan256ColoursGetTheHalftonePalette)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 4;
    info.bmiHeader.biHeight = 4;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    CDibSurface surface;
    ASSERT_TRUE(surface.Attach(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0)));
    ASSERT_TRUE(surface.CreateDibPalette());
    ASSERT_NE(surface.m_pPalette, nullptr);

    HDC dc = CreateCompatibleDC(nullptr);
    HPALETTE halftone = CreateHalftonePalette(dc);
    DeleteDC(dc);
    UINT count = GetPaletteEntries(halftone, 0, 0, nullptr);
    std::vector<PALETTEENTRY> expected(count), actual(count);
    GetPaletteEntries(halftone, 0, count, expected.data());
    DeleteObject(halftone);
    ASSERT_EQ(GetPaletteEntries(*surface.m_pPalette, 0, 0, nullptr), count);
    GetPaletteEntries(*surface.m_pPalette, 0, count, actual.data());
    EXPECT_EQ(std::memcmp(actual.data(), expected.data(), count * sizeof(PALETTEENTRY)), 0);
}

// The palette guard holds its palette in the context for its scope only; without one it selects nothing.
TEST(PaletteGuardTest, PutsThePreviousPaletteBackAndLeavesItAloneWithoutAPalette)
{
    LOGPALETTE logical = { 0x300, 1, { { 1, 2, 3, 0 } } };
    CPalette palette;
    ASSERT_TRUE(palette.Attach(CreatePalette(&logical)));
    CMemoryDC dc(nullptr);
    HGDIOBJ before = GetCurrentObject(dc, OBJ_PAL);
    ASSERT_NE(before, palette.m_hObject);
    {
        CSelectPalette select(dc, palette, PaletteMapping::Foreground, PaletteMapping::Background);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), palette.m_hObject);
        {
            CSelectPalette none(dc, nullptr, PaletteMapping::Background, PaletteMapping::Background);
            EXPECT_FALSE(none.ChangedEntries());
        }
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), palette.m_hObject);
    }
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), before);
}

} // namespace

namespace {

TEST(DibSurfaceTest, AllSurfacePicturesLoadWithTheirSizesAndOneColourTable)
{
    // Per size: the background's width and height and the buttons' side, with the rows' strides.
    struct Size {
        int width, height;
        long stride;
        int button;
        long buttonStride;
    };
    static const Size sizes[velmora::kPictureSizeCount]
        = { { 640, 480, 640, 110, 112 }, { 800, 600, 800, 137, 140 }, { 1024, 768, 1024, 176, 176 } };
    std::vector<RGBQUAD> shared;
    int loaded = 0;
    auto check = [&](int id, int width, int height, long stride) {
        CDibSurface surface;
        ASSERT_TRUE(surface.LoadFromResource(id)) << id;
        EXPECT_EQ(surface.m_nResourceId, id);
        EXPECT_EQ(surface.m_nWidth, width) << id;
        EXPECT_EQ(surface.m_nHeight, height) << id;
        DIBSECTION section = {};
        ASSERT_EQ(GetObjectA(surface.m_hObject, sizeof section, &section), int(sizeof section));
        EXPECT_EQ(section.dsBm.bmBitsPixel, 8) << id;
        EXPECT_EQ(section.dsBm.bmWidthBytes, stride) << id;
        std::vector<RGBQUAD> table = ColourTable(surface);
        if (shared.empty())
            shared = table;
        EXPECT_EQ(std::memcmp(table.data(), shared.data(), 256 * sizeof(RGBQUAD)), 0) << id;
        ++loaded;
    };
    for (int s = 0; s < velmora::kPictureSizeCount; ++s) {
        const Size& size = sizes[s];
        check(velmora::BackgroundPictureId(s), size.width, size.height, size.stride);
        for (int game = 0; game < velmora::kPictureGameCount; ++game)
            for (bool lit : { false, true })
                check(velmora::ButtonPictureId(s, game, lit), size.button, size.button, size.buttonStride);
    }
    EXPECT_EQ(loaded, 75);
    // The static colours sit at both ends: black first, white last.
    EXPECT_EQ(shared[0].rgbRed + shared[0].rgbGreen + shared[0].rgbBlue, 0);
    EXPECT_EQ(shared[255].rgbRed & shared[255].rgbGreen & shared[255].rgbBlue, 255);
    EXPECT_EQ(shared[9].rgbBlue, 240); // the ninth static colour, sky blue
}

TEST(DibSurfaceTest, LoadingTheLoadedIdTouchesNothingAndAnotherIdReplacesBoth)
{
    CDibSurface surface;
    ASSERT_TRUE(surface.LoadFromResource(IDB_MEDIUM_BUTTONS));
    ASSERT_TRUE(surface.CreateDibPalette());
    HGDIOBJ bitmap = surface.m_hObject;
    CPalette* palette = surface.m_pPalette.get();
    surface.m_pBits[0] = 99;

    EXPECT_TRUE(surface.LoadFromResource(IDB_MEDIUM_BUTTONS));
    EXPECT_EQ(surface.m_hObject, bitmap);
    EXPECT_EQ(surface.m_pPalette.get(), palette);
    EXPECT_EQ(surface.m_pBits[0], 99);

    EXPECT_TRUE(surface.LoadFromResource(IDB_LARGE_BUTTONS));
    EXPECT_EQ(surface.m_pPalette, nullptr);
    EXPECT_EQ(surface.m_nWidth, 176);
    EXPECT_EQ(GetObjectType(bitmap), 0u); // the old bitmap was deleted

    EXPECT_THROW(surface.LoadFromResource(4000), CResourceException);
    EXPECT_EQ(surface.m_hObject, nullptr);
    EXPECT_EQ(surface.m_nResourceId, 0);
}

TEST(DibSurfaceTest, StartUpPicturesAre640By480With8BitsAndTheirOwnColours)
{
    std::vector<RGBQUAD> tables[2];
    for (int i = 0; i < 2; ++i) {
        HBITMAP picture = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr),
            MAKEINTRESOURCEA(velmora::kStartUpPictureIds[i]), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        ASSERT_NE(picture, nullptr);
        DIBSECTION section = {};
        ASSERT_EQ(GetObjectA(picture, sizeof section, &section), int(sizeof section));
        EXPECT_EQ(section.dsBm.bmWidth, 640);
        EXPECT_EQ(section.dsBm.bmHeight, 480);
        EXPECT_EQ(section.dsBm.bmBitsPixel, 8);
        CDibSurface holder;
        holder.Attach(picture);
        tables[i] = ColourTable(holder);
    }
    EXPECT_NE(std::memcmp(tables[0].data(), tables[1].data(), 256 * sizeof(RGBQUAD)), 0);
}

} // namespace
