#include "browse/rolls.h"

#include <algorithm>

namespace lv {

namespace {

constexpr std::size_t kProbeCount = 2;

bool holdsPictures(const std::string& folder, const FolderLister& list) {
    return !list(folder + "*.jpg", kProbeCount).empty();
}

std::string backslashes(std::string_view text) {
    std::string out(text);
    std::replace(out.begin(), out.end(), '/', '\\');
    return out;
}

}  // namespace

std::string withSeparator(std::string path) {
    if (path.empty() || (path.back() != '/' && path.back() != '\\')) path += '/';
    return path;
}

std::vector<std::string> findRolls(const std::string& rollFolder, const std::string& subFolder,
                                   const FolderLister& list) {
    std::vector<std::string> rolls;
    const std::string folder = withSeparator(rollFolder);
    for (const std::string& entry : list(folder + "*.*", kMaxRollCandidates)) {
        if (entry.size() <= 3 || entry.back() == '.') continue;
        const std::string candidate = withSeparator(entry);
        if (!subFolder.empty()) {
            const std::string small = withSeparator(candidate + subFolder);
            if (holdsPictures(small, list)) {
                rolls.push_back(small);
                continue;
            }
        }
        if (holdsPictures(candidate, list)) rolls.push_back(candidate);
    }
    if (rolls.empty() && holdsPictures(folder, list)) rolls.push_back(folder);
    return rolls;
}

std::string rollName(std::string_view rollFolder, std::string_view rollPath) {
    if (rollPath.size() < rollFolder.size()) return {};
    std::string_view rest = rollPath.substr(rollFolder.size());
    while (!rest.empty() && (rest.front() == '\\' || rest.front() == '/' || rest.front() == ':')) rest.remove_prefix(1);
    rest = rest.substr(0, rest.find('\\'));
    rest = rest.substr(0, rest.find('/'));
    return std::string(rest);
}

std::string resolveAgainstBase(std::string_view base, std::string_view path) {
    if (base.empty()) return std::string(path);
    std::string folder = backslashes(base);
    if (folder.back() != '\\') folder += '\\';
    std::string rest = backslashes(path);
    std::string_view r = rest;
    for (;;) {
        if (r.starts_with(".\\")) {
            r.remove_prefix(2);
        } else if (r.starts_with("\\")) {
            r.remove_prefix(1);
        } else if (r.starts_with("..\\")) {
            r.remove_prefix(3);
            // Drop the base folder's last component (keeping its separator).
            const std::size_t cut = folder.size() >= 2 ? folder.find_last_of('\\', folder.size() - 2) : std::string::npos;
            if (cut != std::string::npos) folder.resize(cut + 1);
        } else {
            return folder + std::string(r);
        }
    }
}

std::string_view fileNameOf(std::string_view path) {
    const std::size_t cut = path.find_last_of("\\/:");
    return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

}  // namespace lv
