#include "shell/packed_files.h"

#include <algorithm>

#include "shell/disk_file.h"
#include "shell/file_services.h"

namespace lv {

namespace {

std::vector<PackedEntry>& table() {
    static std::vector<PackedEntry> entries;
    return entries;
}

std::uint64_t fileSize(std::string_view path) {
    if (path.empty()) return 0;
    StreamPtr file = openDiskFile(path, OpenMode::kRead);
    const std::int64_t size = file ? file->seek(0, SeekOrigin::End) : -1;
    return size > 0 ? static_cast<std::uint64_t>(size) : 0;
}

void expandLoaderPath(PackedEntry& entry, std::string_view loaderPath) {
    if (entry.name.starts_with(kLoaderPathMarker))
        entry.name = std::string(loaderPath) + entry.name.substr(kLoaderPathMarker.size());
}

}  // namespace

const std::vector<PackedEntry>& packedFiles() { return table(); }
void setPackedFiles(std::vector<PackedEntry> entries) { table() = std::move(entries); }

const PackedEntry* findPackedFile(std::string_view path) {
    for (const PackedEntry& e : table())
        if (e.usable() && e.name == path) return &e;
    return nullptr;
}

std::size_t loadPackedFiles(const StartupArgs& args) {
    std::vector<PackedEntry> entries;
    const std::uint64_t launcherSize = args.fromLauncher ? fileSize(args.cmdLine) : 0;
    std::optional<FileBytes> index;
    if (launcherSize > 0) index = readWholeFile(args.programFolder + "ix", false);
    if (index) entries = parsePackedIndex(index->bytes, launcherSize);
    for (PackedEntry& e : entries) expandLoaderPath(e, args.loaderPath);
    setPackedFiles(std::move(entries));
    return static_cast<std::size_t>(
        std::count_if(table().begin(), table().end(), [](const PackedEntry& e) { return e.usable(); }));
}

}  // namespace lv
