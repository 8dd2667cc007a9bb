// Path texts of the file services. The program's paths are Windows paths of
// at most kMaxPath characters; slashes and backslashes both separate folders.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lv {

// Longest path text the file calls take; longer texts are cut to it.
inline constexpr std::size_t kMaxPath = 259;

// The path cut to kMaxPath characters with every slash turned into a backslash.
std::string toBackslashes(std::string_view path);

// The folder part of a pattern: the text up to and including its last
// backslash, slash or colon; empty when it has none.
std::string_view folderPart(std::string_view pattern);

// The POSIX file name of a program path (native tests and lumavine-tool):
// backslashes become slashes and a drive letter with its colon is dropped,
// so "Z:\\shows\\a.jpg" is "/shows/a.jpg", "Z:" alone is "/" and
// "shows\\a.jpg" stays relative.
std::string toPosixPath(std::string_view path);

}  // namespace lv
