// How a game's relative path becomes a process start: its working folder and command line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velmora {

// Capacity handed to GetFullPathNameA; a longer full path is not launched.
inline constexpr std::size_t kFullPathCapacity = 255;

// Whether GetFullPathNameA's result (its return value for that capacity) is a usable path.
bool IsUsableFullPathResult(unsigned long result);

// The folder of a full path, with its trailing backslash: the path cut where the file part starts.
// `filePart` is the offset of the file name in `fullPath`; npos means the path names a folder.
std::string WorkingFolderOf(std::string_view fullPath, std::size_t filePart);

// The command line a game receives: its path as stored, one space, then the arguments.
std::string GameCommandLine(std::string_view path, std::string_view arguments);

} // namespace velmora
