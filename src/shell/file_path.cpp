#include "shell/file_path.h"

#include <algorithm>

namespace lv {

namespace {
constexpr bool isDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
}  // namespace

std::string toBackslashes(std::string_view path) {
    std::string result(path.substr(0, kMaxPath));
    std::replace(result.begin(), result.end(), '/', '\\');
    return result;
}

std::string_view folderPart(std::string_view pattern) {
    const std::size_t last = pattern.find_last_of("\\/:");
    return last == std::string_view::npos ? std::string_view{} : pattern.substr(0, last + 1);
}

std::string toPosixPath(std::string_view path) {
    if (path.size() >= 2 && path[1] == ':' && isDriveLetter(path[0])) {
        path.remove_prefix(2);
        if (path.empty()) return "/";  // a drive alone is its root
    }
    std::string result(path);
    std::replace(result.begin(), result.end(), '\\', '/');
    return result;
}

}  // namespace lv
