#include "tool_args.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

#include "render/bitmap.h"
#include "shell/json.h"

namespace lv::tool {

namespace fs = std::filesystem;

std::optional<int> parseNumber(std::string_view text, int limit) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value > limit) return std::nullopt;
    return static_cast<int>(value);
}

bool parseSize(std::string_view text, int& width, int& height) {
    const auto x = text.find_first_of("xX");
    if (x == std::string_view::npos) return false;
    const auto w = parseNumber(text.substr(0, x), Bitmap::kMaxSide), h = parseNumber(text.substr(x + 1), Bitmap::kMaxSide);
    if (!w || !h || *w < 1 || *h < 1) return false;
    width = *w, height = *h;
    return true;
}

bool isFolder(const std::string& path) {
    std::error_code ec;
    return path != "-" && fs::is_directory(fs::path(path), ec);
}

std::string fileStem(const std::string& path) { return fs::path(path).stem().string(); }

std::string programFolderOf(const std::string& folder) {
    std::error_code ec;
    const fs::path absolute = fs::absolute(folder, ec);
    return ((ec ? fs::path(folder) : absolute) / "").string();
}

std::optional<std::string> readAuthorFile(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open " + path;
        return std::nullopt;
    }
    // One byte more than the reader takes, so that an over-long file is refused by it.
    std::string text(kMaxJsonText + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return text;
}

namespace {

bool hasExtension(const fs::path& path, std::initializer_list<std::string_view> extensions) {
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return std::find(extensions.begin(), extensions.end(), ext) != extensions.end();
}

}  // namespace

std::vector<std::string> batchFiles(const std::vector<std::string>& inputs,
                                    std::initializer_list<std::string_view> extensions, std::string& error) {
    std::vector<std::string> files;
    for (const std::string& input : inputs) {
        std::error_code ec;
        if (!isFolder(input)) {
            if (!fs::exists(fs::path(input), ec)) {
                error = input + ": no such file or folder";
                return {};
            }
            files.push_back(input);
            continue;
        }
        std::vector<std::string> found;
        for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(input), ec))
            if (entry.is_regular_file(ec) && hasExtension(entry.path(), extensions)) found.push_back(entry.path().string());
        if (ec) {
            error = input + ": cannot list the folder (" + ec.message() + ")";
            return {};
        }
        std::sort(found.begin(), found.end());
        files.insert(files.end(), found.begin(), found.end());
    }
    if (files.empty()) error = "no input files";
    return files;
}

std::string outputInFolder(const std::string& folder, const std::string& input, std::string_view extension,
                           std::string& error) {
    std::error_code ec;
    fs::create_directories(fs::path(folder), ec);
    if (!isFolder(folder)) {
        error = folder + ": cannot make the output folder";
        return {};
    }
    return (fs::path(folder) / (fileStem(input) + std::string(extension))).string();
}

}  // namespace lv::tool
