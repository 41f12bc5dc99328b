// Path and command-line rules behind a game launch.
#include "app/LaunchRules.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace velmora {
namespace {

TEST(LaunchRules, FullPathResultMustFitTheBuffer)
{
    EXPECT_EQ(kFullPathCapacity, 255u);
    // 0 is failure; 255 and up is the size a path that did not fit would need.
    struct {
        unsigned long result;
        bool usable;
    } cases[] = { { 0, false }, { 1, true }, { 254, true }, { 255, false }, { 256, false }, { 4000, false },
        { ULONG_MAX, false } };
    for (auto c : cases)
        EXPECT_EQ(IsUsableFullPathResult(c.result), c.usable) << c.result;
}

TEST(LaunchRules, WorkingFolderKeepsTrailingBackslash)
{
    struct {
        const char* path;
        std::size_t filePart;
        const char* folder;
    } cases[] = {
        { "C:\\Games\\chess\\chess.exe", 15, "C:\\Games\\chess\\" },
        { "C:\\chess.exe", 3, "C:\\" },
        { "C:\\Games\\chess\\", std::string::npos, "C:\\Games\\chess\\" },
        { "chess.exe", 0, "" },
    };
    for (auto c : cases)
        EXPECT_EQ(WorkingFolderOf(c.path, c.filePart), c.folder) << c.path;
}

TEST(LaunchRules, CommandLineIsPathSpaceArguments)
{
    struct {
        const char* path;
        const char* args;
        const char* line;
    } cases[] = {
        { "chess\\chess.exe", "", "chess\\chess.exe " },
        { "chess\\chess.exe", "-level 3", "chess\\chess.exe -level 3" },
        { "My Games\\go.exe", "x", "My Games\\go.exe x" }, // the stored path is not quoted
        { "a.exe", " b", "a.exe  b" },
    };
    for (auto c : cases)
        EXPECT_EQ(GameCommandLine(c.path, c.args), c.line) << c.path << '|' << c.args;
}

} // namespace
} // namespace velmora
