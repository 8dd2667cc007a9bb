// Files on disk as streams (Win32 in disk_file_win32.cpp; the POSIX twin
// serves the native tests and lumavine-tool). Every platform file call runs
// with the system's critical-error dialogs switched off, so a missing floppy
// or CD never puts up a dialog.
#pragma once

#include <string_view>

#include "shell/stream.h"

namespace lv {

// Opens a file on disk with an open mode of stream.h:
//  - a non-zero reserved argument gives null;
//  - slashes in the path become backslashes (the path is cut to kMaxPath);
//  - OpenMode::kDelete deletes the file and gives null;
//  - without OpenMode::kCreate the file must exist;
//  - with it a new file is created, or an existing one opened and truncated.
// Returns null when no file could be opened.
StreamPtr openDiskFile(std::string_view path, unsigned mode, int reserved = 0);

}  // namespace lv
