// A folder made fresh under the system's temporary folder, unique by
// construction: its name is only taken when creating it succeeds, so two
// test processes running at once can never share one.
//   const std::filesystem::path dir = lv::test::makeUniqueFolder("lumavine-pack");
// Limits: gives an empty path when no folder could be made after many tries
// (the temporary folder is missing or read-only); the caller removes it.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>

namespace lv::test {

inline std::filesystem::path makeUniqueFolder(std::string_view prefix) {
    std::error_code error;
    const std::filesystem::path base = std::filesystem::temp_directory_path(error);
    if (error) return {};
    std::random_device entropy;
    std::mt19937_64 pick((static_cast<std::uint64_t>(entropy()) << 32) ^ entropy() ^
                         static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name(prefix);
        name += '-';
        for (int i = 0; i < 12; ++i) name += kLetters[pick() % (sizeof kLetters - 1)];
        const std::filesystem::path candidate = base / name;
        // create_directory is false when the name exists: someone else's.
        if (std::filesystem::create_directory(candidate, error) && !error) return candidate;
    }
    return {};
}

}  // namespace lv::test
