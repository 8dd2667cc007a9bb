// Rolls: the folders of JPEG pictures under the script's "rollFolder", and
// the name of a file path resolved against the thumbnail area's base folder.
//
// Each entry of the roll folder (at most 100, sorted without regard to case)
// is a roll when it holds a "*.jpg" file; with a sub-folder name set
// ("rollSubFolder", say "small"), the entry's sub-folder of that name is
// tried first, so a roll of large pictures can offer small copies:
//
//     findRolls("C:\\Pics", "small", list)
//       -> {"C:\\Pics\\Beach\\small/", "C:\\Pics\\Town/"}
//
// When no entry is a roll, the roll folder itself is the only roll if it
// holds a "*.jpg" file. Folders are listed through a FolderLister, the file
// services' listFiles in the program and a table in tests.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lv {

// Up to `maximum` names matching the pattern (folder part + entry name),
// sorted without regard to case.
using FolderLister = std::function<std::vector<std::string>(std::string_view pattern, std::size_t maximum)>;

inline constexpr std::size_t kMaxRollCandidates = 100;

// The rolls under a resolved roll folder; sub folder may be empty.
std::vector<std::string> findRolls(const std::string& rollFolder, const std::string& subFolder,
                                   const FolderLister& list);

// The current roll's name: the roll path after the roll folder, without
// leading separators, cut at the first separator. "C:\\Pics\\Beach\\" under
// "C:\\Pics" is "Beach".
std::string rollName(std::string_view rollFolder, std::string_view rollPath);

// A file path resolved against a base folder ("/" become "\"): leading ".\"
// and "\" are dropped, each leading "..\" drops the base's last component,
// the rest is appended. An empty base leaves the path as it is.
std::string resolveAgainstBase(std::string_view base, std::string_view path);

// The path with a trailing separator: "/" appended unless it ends in "/" or "\".
std::string withSeparator(std::string path);

// The file name: the text after the last "\", "/" or ":".
std::string_view fileNameOf(std::string_view path);

}  // namespace lv
