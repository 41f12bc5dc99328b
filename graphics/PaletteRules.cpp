// The reserved-entry rule of the pictures' logical palettes.
#include "PaletteRules.h"

namespace velmora {

unsigned char PaletteEntryFlags(int index, int reservedEntries)
{
    constexpr unsigned char kNoCollapse = 4;
    int half = reservedEntries / 2;
    return index < half || index >= 255 - half ? 0 : kNoCollapse;
}

} // namespace velmora
