// Case-insensitive comparison for ANSI text with double-byte characters.
#include "TextCompare.h"

namespace velmora {

bool EqualsIgnoringCase(std::string_view a, std::string_view b, bool (*isLeadByte)(unsigned char))
{
    if (a.size() != b.size())
        return false;
    auto fold = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char ca = a[i], cb = b[i];
        if (isLeadByte(ca)) {
            // A double-byte character compares exactly, trail byte included when there is one.
            if (ca != cb)
                return false;
            if (i + 1 < a.size()) {
                if (a[i + 1] != b[i + 1])
                    return false;
                ++i;
            }
            continue;
        }
        if (fold(ca) != fold(cb))
            return false;
    }
    return true;
}

} // namespace velmora
