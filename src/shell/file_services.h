// File and folder services: opening files (packed ones first), reading a
// file whole and listing files. Every reader of the program opens its files
// through openWithPackedFiles.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/stream.h"

namespace lv {

// Start-up: loads the system shell library where the platform has it and
// fills the packed-file table from the launcher's index (packed_files.h), so
// that the script loader already finds packed scripts. Always succeeds.
bool startFileServices();
// Shutdown: releases the shell library. The packed-file table stays.
void stopFileServices();

// Opens a packed file when a usable entry of the packed-file table is named
// exactly path (a memory stream with a copy of its bytes), else the file on
// disk. A packed file that reads short shows the message box "bleh" with the
// path as caption and still opens. Null when nothing could be opened.
StreamPtr openWithPackedFiles(std::string_view path, unsigned mode);

// A whole file: length bytes, followed by one zero byte when asked for.
struct FileBytes {
    std::vector<std::uint8_t> bytes;  // length + (zero added ? 1 : 0) bytes
    std::size_t length = 0;
};
// Largest file read whole.
inline constexpr std::size_t kMaxWholeFile = std::size_t{256} << 20;
// Reads the file whole (packed files too); nullopt when it cannot be opened,
// is empty, is larger than kMaxWholeFile or reads short.
std::optional<FileBytes> readWholeFile(std::string_view path, bool addZero);

// Up to maximum names of files matching the pattern, each the pattern's
// folder part followed by the entry's name, sorted without regard to case.
// A folder part of exactly "*/" lists the usable packed files by their
// stored names, in table order before sorting, whatever the rest says.
std::vector<std::string> listFiles(std::string_view pattern, std::size_t maximum);

}  // namespace lv
