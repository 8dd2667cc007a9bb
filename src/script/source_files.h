// Where script text comes from: the "*.scr" files of a folder and single
// files read whole. The program's file services (with the launcher's packed
// files) stand behind this; DiskScriptFiles reads the disk directly.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lv {

class ScriptSourceFiles {
public:
    static constexpr std::size_t kMaxListed = 100;

    virtual ~ScriptSourceFiles() = default;
    // The names (without folder) of the files of the folder that match
    // "*.scr": the first kMaxListed found, sorted without regard to case.
    virtual std::vector<std::string> listScripts(std::string_view folder) = 0;
    // The whole file; nothing when it cannot be opened, is empty or cannot be read.
    virtual std::optional<std::string> readWhole(std::string_view path) = 0;
};

// Plain disk files through the standard library; no packed files.
class DiskScriptFiles final : public ScriptSourceFiles {
public:
    std::vector<std::string> listScripts(std::string_view folder) override;
    std::optional<std::string> readWhole(std::string_view path) override;
};

// Sorts names without regard to case (ASCII letters), as listings are sorted.
void sortNoCase(std::vector<std::string>& names);

}  // namespace lv
