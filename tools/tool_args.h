// Argument helpers shared by the tool's commands: sizes, numbers and the
// inputs of a batch.
//
//     int w, h;
//     if (!lv::tool::parseSize("1600x1200", w, h)) return 2;
//     auto batch = lv::tool::batchFiles({"photos/", "extra.jpg"}, {".jpg", ".jpeg"}, error);
//
// Limits: sizes are 1..Bitmap::kMaxSide per side; a folder contributes its
// own files (not its sub-folders) whose extension is listed, sorted by name.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lv::tool {

// A whole decimal number in 0..limit, else nullopt.
std::optional<int> parseNumber(std::string_view text, int limit);
// "WIDTHxHEIGHT" (x or X), each side 1..Bitmap::kMaxSide.
bool parseSize(std::string_view text, int& width, int& height);

bool isFolder(const std::string& path);
// "name.jpg" -> "name" (the file name without folder and extension).
std::string fileStem(const std::string& path);

// The files a batch command works on: each input file as given, each
// folder's files with one of the extensions (any case). Empty with a reason
// in `error` when an input does not exist or nothing matched.
std::vector<std::string> batchFiles(const std::vector<std::string>& inputs,
                                    std::initializer_list<std::string_view> extensions, std::string& error);
// A set's folder as the program names it: absolute, with its separator.
std::string programFolderOf(const std::string& folder);

// The text of an author's JSON file (at most kMaxJsonText bytes); nullopt
// with a reason in `error` when it cannot be read.
std::optional<std::string> readAuthorFile(const std::string& path, std::string& error);

// OUTDIR/stem + extension, making OUTDIR when needed; empty when it cannot be made.
std::string outputInFolder(const std::string& folder, const std::string& input, std::string_view extension,
                           std::string& error);

}  // namespace lv::tool
