// Path and text rules behind a game launch.
#include "LaunchRules.h"

namespace velmora {

bool IsUsableFullPathResult(unsigned long result)
{
    // 0 is failure; a value of the capacity or more is the size the path would need.
    return result != 0 && result < kFullPathCapacity;
}

std::string WorkingFolderOf(std::string_view fullPath, std::size_t filePart)
{
    return std::string(fullPath.substr(0, filePart));
}

std::string GameCommandLine(std::string_view path, std::string_view arguments)
{
    std::string line(path);
    line += ' ';
    line += arguments;
    return line;
}

} // namespace velmora
