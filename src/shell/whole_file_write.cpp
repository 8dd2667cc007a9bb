#include "shell/whole_file_write.h"

#include <cstdio>
#include <filesystem>
#include <random>

namespace lv {

namespace {

namespace fs = std::filesystem;

bool writeTo(std::FILE* file, std::span<const std::uint8_t> bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && std::fflush(file) == 0;
}

bool writeDirectly(const std::string& path, std::span<const std::uint8_t> bytes, std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = "cannot open " + path;
        return false;
    }
    const bool ok = writeTo(file, bytes);
    if (std::fclose(file) != 0 || !ok) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

// A temporary name beside the target, one that does not exist yet.
std::FILE* openTemporary(const fs::path& target, fs::path& temporary) {
    std::random_device entropy;
    for (int attempt = 0; attempt < 20; ++attempt) {
        temporary = target;
        temporary += ".tmp" + std::to_string(entropy() % 1000000);
        std::error_code ec;
        if (fs::exists(temporary, ec) || ec) continue;
        if (std::FILE* f = std::fopen(temporary.string().c_str(), "wb")) return f;
    }
    return nullptr;
}

}  // namespace

bool writeWholeFile(const std::string& path, std::span<const std::uint8_t> bytes, std::string& error) {
    if (path == "-") {
        if (!writeTo(stdout, bytes)) {
            error = "cannot write to standard output";
            return false;
        }
        return true;
    }
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        if (fs::is_directory(status)) {
            error = path + " is a folder";
            return false;
        }
        return writeDirectly(path, bytes, error);  // a device or a FIFO
    }
    const fs::path target(path);
    fs::path temporary;
    std::FILE* file = openTemporary(target, temporary);
    if (!file) {
        error = "cannot create a temporary file beside " + path;
        return false;
    }
    const bool written = writeTo(file, bytes);
    if (std::fclose(file) != 0 || !written) {
        fs::remove(temporary, ec);
        error = "cannot write " + temporary.string();
        return false;
    }
    fs::rename(temporary, target, ec);
    if (ec) {
        fs::remove(temporary, ec);
        error = "cannot replace " + path;
        return false;
    }
    return true;
}

}  // namespace lv
