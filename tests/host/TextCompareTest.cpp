// Case-insensitive comparison that leaves double-byte characters alone.
#include "framework/TextCompare.h"

#include <gtest/gtest.h>

#include <memory>
#include <string_view>

namespace velmora {
namespace {

// Stand-in for a code page whose only lead byte is 0x81.
bool FakeLead(unsigned char c)
{
    return c == 0x81;
}
bool NoLead(unsigned char)
{
    return false;
}

TEST(TextCompare, EqualsIgnoringCaseTable)
{
    // clang-format off
    struct { std::string_view a, b; bool (*lead)(unsigned char); bool equal; } cases[] = {
        {"unused", "UNUSED", FakeLead, true},
        {"unused", "UnUsEd", FakeLead, true},
        {"unused", "unused ", FakeLead, false},
        {"chess\\chess.exe", "unused", FakeLead, false},
        {"", "", FakeLead, true},
        {"a", "", FakeLead, false},
        {"a", "A", FakeLead, true},
        {"a", "b", FakeLead, false},
        // Only letters fold: these pairs are 0x20 apart too.
        {"@", "`", NoLead, false},
        {"[", "{", NoLead, false},
        {"\xC9", "\xE9", NoLead, false},
        // The trail byte of a double-byte character is compared exactly...
        {"\x81" "a", "\x81" "A", FakeLead, false},
        {"\x81" "a", "\x81" "a", FakeLead, true},
        {"\x81" "a", "\x82" "a", FakeLead, false},
        // ...unless the predicate says 0x81 is no lead byte.
        {"\x81" "a", "\x81" "A", NoLead, true},
        // Single bytes after the pair fold again.
        {"\x81" "Ab", "\x81" "AB", FakeLead, true},
        // A trail byte with a lead byte's value does not start a new pair.
        {"\x81\x81" "a", "\x81\x81" "A", FakeLead, true},
    };
    // clang-format on
    int row = 0;
    for (auto c : cases)
        EXPECT_EQ(EqualsIgnoringCase(c.a, c.b, c.lead), c.equal) << "row " << row++;
}

// Exact-size heap copies, so the address sanitizer sees any read past the last byte.
std::unique_ptr<char[]> Exact(std::string_view s)
{
    auto p = std::make_unique<char[]>(s.size());
    s.copy(p.get(), s.size());
    return p;
}

TEST(TextCompare, LeadByteAtTheEndStaysInBounds)
{
    // clang-format off
    struct { std::string_view a, b; bool equal; } cases[] = {
        {"x\x81", "x\x81", true}, // identical text is equal
        {"X\x81", "x\x81", true},
        {"\x81", "\x81", true},
        {"x\x81", "x\x82", false},
        {"x\x81", "y\x81", false},
    };
    // clang-format on
    int row = 0;
    for (auto c : cases) {
        auto a = Exact(c.a), b = Exact(c.b);
        EXPECT_EQ(EqualsIgnoringCase({ a.get(), c.a.size() }, { b.get(), c.b.size() }, FakeLead), c.equal)
            << "row " << row++;
    }
}

} // namespace
} // namespace velmora
