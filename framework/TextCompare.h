// Text comparison that respects double-byte characters; free of Windows so it is tested natively.
#pragma once

#include <string_view>

namespace velmora {

// Case-insensitive equality that never folds the trail byte of a double-byte character.
bool EqualsIgnoringCase(std::string_view a, std::string_view b, bool (*isLeadByte)(unsigned char));

} // namespace velmora
