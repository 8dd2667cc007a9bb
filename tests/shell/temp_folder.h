// A fresh folder under the system's temporary folder for one test, removed
// with everything in it at the end. Its name is unique by construction
// (see unique_folder.h), so tests that ctest runs in parallel never share it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "shell/unique_folder.h"

namespace lv::test {

class TempFolder {
public:
    TempFolder() : path_(makeUniqueFolder("lumavine-test")) {
        EXPECT_FALSE(path_.empty()) << "no temporary folder could be made";
    }
    ~TempFolder() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder as the program writes paths: ending in a separator.
    const std::filesystem::path& path() const { return path_; }
    std::string folder() const { return (path_ / "").string(); }
    std::string file(std::string_view name) const { return (path_ / name).string(); }

    std::string write(std::string_view name, std::string_view bytes) const {
        std::ofstream out(path_ / name, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return file(name);
    }
    std::string read(std::string_view name) const {
        std::ifstream in(path_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::filesystem::path path_;
};

}  // namespace lv::test
