#include "script/source_files.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "platform/text.h"

namespace lv {

namespace {

// Scripts larger than this are refused rather than read into memory.
constexpr std::uintmax_t kMaxScriptBytes = std::uintmax_t{256} << 20;

bool matchesScriptPattern(std::string_view name) {
    return name.size() > 4 && equalsNoCase(name.substr(name.size() - 4), ".scr");
}

}  // namespace

void sortNoCase(std::vector<std::string>& names) {
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                            [](char x, char y) { return toLowerAscii(x) < toLowerAscii(y); });
    });
}

std::vector<std::string> DiskScriptFiles::listScripts(std::string_view folder) {
    std::vector<std::string> names;
    std::error_code error;
    const std::filesystem::path path = folder.empty() ? std::filesystem::path(".") : std::filesystem::path(folder);
    std::filesystem::directory_iterator it(path, error);
    for (; !error && it != std::filesystem::directory_iterator() && names.size() < kMaxListed; it.increment(error)) {
        std::string name = it->path().filename().string();
        if (matchesScriptPattern(name) && it->is_regular_file(error)) names.push_back(std::move(name));
    }
    sortNoCase(names);
    return names;
}

std::optional<std::string> DiskScriptFiles::readWhole(std::string_view path) {
    std::error_code error;
    const std::filesystem::path file{std::string(path)};
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error || size == 0 || size > kMaxScriptBytes) return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::string text(static_cast<std::size_t>(size), '\0');
    if (!in.read(text.data(), static_cast<std::streamsize>(text.size()))) return std::nullopt;
    return text;
}

}  // namespace lv
