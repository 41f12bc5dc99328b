// On an 8-bit palette display the launcher realises its pictures' palette when it comes to the front,
// also after the start-up pictures have realised theirs.
#include "Harness.h"
#include "LauncherSession.h"
#include "view/LauncherView.h"

#include <gtest/gtest.h>

namespace {

// How many of the pictures' own colours (entries 10-245) the system palette now holds.
int PictureColoursInSystemPalette(HPALETTE palette)
{
    PALETTEENTRY wanted[256], system[256];
    GetPaletteEntries(palette, 0, 256, wanted);
    HDC screen = GetDC(nullptr);
    GetSystemPaletteEntries(screen, 0, 256, system);
    ReleaseDC(nullptr, screen);
    int present = 0;
    for (int i = 10; i < 246; ++i)
        for (const PALETTEENTRY& entry : system)
            if (entry.peRed == wanted[i].peRed && entry.peGreen == wanted[i].peGreen
                && entry.peBlue == wanted[i].peBlue) {
                ++present;
                break;
            }
    return present;
}

class PaletteDisplayTest : public test::LauncherTest { };

TEST_F(PaletteDisplayTest, ThePicturesPaletteIsRealisedInTheSystemPalette)
{
    HDC screen = GetDC(nullptr);
    bool paletteDisplay = GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE;
    int bits = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    ASSERT_TRUE(paletteDisplay);
    ASSERT_EQ(bits, 8);

    test::LauncherSession session;
    CLauncherVlm2001View* view = LauncherApp()->m_pLauncherView;
    ASSERT_NE(view->GetCanvas()->m_pPalette, nullptr);
    HPALETTE palette = *view->GetCanvas()->m_pPalette;
    EXPECT_TRUE(test::WaitFor([&] { return PictureColoursInSystemPalette(palette) == 236; }))
        << PictureColoursInSystemPalette(palette) << " of 236 colours realised";
}

} // namespace
