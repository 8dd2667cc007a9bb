#include "shell/file_services.h"

#include <algorithm>
#include <new>

#include "platform/host.h"
#include "platform/text.h"
#include "platform/trace.h"
#include "shell/disk_file.h"
#include "shell/file_path.h"
#include "shell/find_files.h"
#include "shell/memory_stream.h"
#include "shell/packed_files.h"
#include "shell/process.h"
#include "shell/shell_library.h"

namespace lv {

namespace {

// A packed file: its bytes copied out of the launcher file into memory.
StreamPtr openPackedFile(const PackedEntry& entry, std::string_view path) {
    StreamPtr launcher = openDiskFile(startupArgs().cmdLine, OpenMode::kRead);
    if (!launcher) return nullptr;
    std::vector<std::uint8_t> bytes;
    try {
        bytes.resize(entry.size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    std::int64_t got = -1;
    if (launcher->seek(entry.offset, SeekOrigin::Start) == entry.offset) got = launcher->read(bytes.data(), bytes.size());
    if (got != static_cast<std::int64_t>(bytes.size())) host().messageBox("bleh", path, Host::kOk);
    return std::make_unique<MemoryStream>(std::move(bytes));
}

bool lessNoCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return toLowerAscii(x) < toLowerAscii(y); });
}

void listPackedFiles(std::vector<std::string>& names, std::size_t maximum) {
    for (const PackedEntry& e : packedFiles()) {
        if (names.size() >= maximum) return;
        if (e.usable()) names.push_back(e.name);
    }
}

void listDisk(std::string_view pattern, std::vector<std::string>& names, std::size_t maximum) {
    const std::string folder(folderPart(pattern));
    FinderPtr finder = findFirst(pattern);
    if (!finder) return;
    do {
        if (names.size() >= maximum) return;
        names.push_back(folder + finder->entry().name());
    } while (finder->next() == 1);
}

}  // namespace

bool startFileServices() {
    loadShellLibrary();
    const std::size_t usable = loadPackedFiles(startupArgs());
    if (traceEnabled()) {
        trace("packed files: " + std::to_string(usable));
        for (const PackedEntry& e : packedFiles())
            if (e.usable()) trace("packed: " + e.name);
    }
    return true;
}

void stopFileServices() { releaseShellLibrary(); }

StreamPtr openWithPackedFiles(std::string_view path, unsigned mode) {
    if (const PackedEntry* entry = findPackedFile(path)) return openPackedFile(*entry, path);
    return openDiskFile(path, mode);
}

std::optional<FileBytes> readWholeFile(std::string_view path, bool addZero) {
    StreamPtr file = openWithPackedFiles(path, OpenMode::kRead);
    if (!file) return std::nullopt;
    const std::int64_t length = file->seek(0, SeekOrigin::End);
    if (length < 1 || static_cast<std::uint64_t>(length) > kMaxWholeFile) return std::nullopt;
    if (file->seek(0, SeekOrigin::Start) != 0) return std::nullopt;
    FileBytes whole;
    whole.length = static_cast<std::size_t>(length);
    try {
        whole.bytes.resize(whole.length + (addZero ? 1 : 0));
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    if (file->read(whole.bytes.data(), whole.length) != length) return std::nullopt;
    return whole;
}

std::vector<std::string> listFiles(std::string_view pattern, std::size_t maximum) {
    std::vector<std::string> names;
    if (folderPart(pattern) == "*/")
        listPackedFiles(names, maximum);
    else
        listDisk(pattern, names, maximum);
    std::sort(names.begin(), names.end(), lessNoCase);
    return names;
}

}  // namespace lv
