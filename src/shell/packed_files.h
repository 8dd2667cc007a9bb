// The packed-file table: the files the launcher carries inside its own file,
// found by the names of the launcher's index "ix" (packed_index.h). Opening a
// path looks here first (file_services.h); a usable entry whose name equals
// the path exactly (case counts) is read from the launcher file.
#pragma once

#include <string_view>
#include <vector>

#include "shell/command_line.h"
#include "shell/packed_index.h"

namespace lv {

// The marker that an index name may begin with: it stands for the launcher's
// folder (loaderPath), so the launcher's own script "%loaderpath%menu.scr"
// is found wherever the launcher was installed (docs/launcher.md).
inline constexpr std::string_view kLoaderPathMarker = "%loaderpath%";

const std::vector<PackedEntry>& packedFiles();
void setPackedFiles(std::vector<PackedEntry> entries);

// The usable entry named exactly path, or null.
const PackedEntry* findPackedFile(std::string_view path);

// Fills the table from programFolder + "ix", its entries checked against the
// size of the launcher file (args.cmdLine); names beginning with the loader
// path marker get args.loaderPath in its place. Only a launcher's start
// (args.fromLauncher) names a launcher file: a photo dropped on the program
// is no launcher, and reading packed names out of it would give its bytes.
// Without a launcher, an index or a launcher file the table is empty.
// Returns the number of usable entries.
std::size_t loadPackedFiles(const StartupArgs& args);

}  // namespace lv
