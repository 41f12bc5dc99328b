// Which palette entries keep flags 0 for the display's reserved static colours.
#include "graphics/PaletteRules.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(PaletteRules, ReservedEntriesAtBothEndsHaveNoFlags)
{
    // The entries with flags 0 are [0, first) and [last, 255]; all others are PC_NOCOLLAPSE (4).
    struct Row {
        int reserved, first, last;
    };
    static const Row rows[] = {
        { 20, 10, 245 },
        { 0, 0, 255 },
        { 1, 0, 255 },
        { 2, 1, 254 },
        { 21, 10, 245 },
        { 254, 127, 128 },
        { 600, 256, 0 },
    };
    for (const Row& row : rows)
        for (int i = 0; i < 256; ++i) {
            unsigned char expected = i < row.first || i >= row.last ? 0 : 4;
            EXPECT_EQ(PaletteEntryFlags(i, row.reserved), expected)
                << "entry " << i << ", " << row.reserved << " reserved";
        }
}

} // namespace
} // namespace velmora
