// Which entries of a picture's logical palette may share the display's static colours.
#pragma once

namespace velmora {

// Flags of palette entry `index` (0..255) when the display reserves `reservedEntries` static
// colours: 0 (may map to a static colour) for the lower half of the reserved count at the start
// and one more than that at the end, PC_NOCOLLAPSE (4) in between.
unsigned char PaletteEntryFlags(int index, int reservedEntries);

} // namespace velmora
