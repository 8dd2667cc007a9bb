// The POSIX twin of find: the folder part of the pattern is read with
// readdir and its names are matched against the rest of the pattern the way
// the Windows find does (letters without regard to case, "*" any run, "?"
// one character, a final ".*" also matching names without a dot). Entries
// come in name order, so listings are the same on every file system.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <vector>

#include "platform/text.h"
#include "shell/file_path.h"
#include "shell/find_files.h"

namespace lv {

namespace {

// Greedy match with one remembered star: linear in practice, never
// exponential whatever the number of stars.
bool wildcardMatch(std::string_view pattern, std::string_view name) {
    std::size_t p = 0, n = 0, star = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || toLowerAscii(pattern[p]) == toLowerAscii(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            starName = n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

bool matchesPattern(std::string_view pattern, const std::string& name) {
    if (wildcardMatch(pattern, name)) return true;
    const bool endsWithAnyExtension = pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*";
    return endsWithAnyExtension && name.find('.') == std::string::npos && wildcardMatch(pattern, name + ".");
}

FindEntry entryFor(const std::string& folder, const std::string& name) {
    FindEntry entry;
    entry.longName = name.substr(0, kMaxPath);
    struct stat info {};
    if (::stat((folder + name).c_str(), &info) == 0) {
        entry.attributes = S_ISDIR(info.st_mode) ? FindEntry::kDirectory : FindEntry::kArchive;
        entry.size = static_cast<std::uint64_t>(info.st_size);
        std::tm local{};
        const std::time_t written = info.st_mtime;
        if (::localtime_r(&written, &local)) {
            const DosDateTime dos = toDosDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                                  local.tm_hour, local.tm_min, local.tm_sec);
            entry.dosDate = dos.date;
            entry.dosTime = dos.time;
        }
    }
    prepareEntry(entry);
    return entry;
}

class DiskFinder final : public Finder {
public:
    DiskFinder(std::string folder, std::vector<std::string> names) : folder_(std::move(folder)), names_(std::move(names)) {
        entry_ = entryFor(folder_, names_[0]);
    }
    int next() override {
        if (++at_ >= names_.size()) return 0;
        entry_ = entryFor(folder_, names_[at_]);
        return 1;
    }

private:
    std::string folder_;
    std::vector<std::string> names_;
    std::size_t at_ = 0;
};

}  // namespace

FinderPtr findOnDisk(const std::string& pattern) {
    const std::string_view folder = folderPart(pattern);
    const std::string_view namePattern = std::string_view(pattern).substr(folder.size());
    std::string directory = folder.empty() ? "./" : toPosixPath(folder);
    if (directory.back() != '/') directory += '/';
    DIR* dir = ::opendir(directory.c_str());
    if (!dir) return nullptr;
    std::vector<std::string> names;
    while (const dirent* d = ::readdir(dir))
        if (matchesPattern(namePattern, d->d_name)) names.emplace_back(d->d_name);
    ::closedir(dir);
    if (names.empty()) return nullptr;
    std::sort(names.begin(), names.end());
    return std::make_unique<DiskFinder>(directory, std::move(names));
}

std::uint32_t logicalDriveMask() { return 1u << ('Z' - 'A'); }

}  // namespace lv
