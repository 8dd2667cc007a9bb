// lumavine-tool's sub-commands. Each lives in a file of its own and adds
// itself to the table below; main() looks the name up and runs it.
#pragma once

#include <span>
#include <string_view>

namespace lv::tool {

struct Command {
    std::string_view name;
    std::string_view usage;    // the arguments, as printed by help
    std::string_view summary;  // one line
    int (*run)(std::span<const char* const> args);  // exit code; args after the name
};

// Every sub-command, in the order help lists them.
std::span<const Command> commands();

}  // namespace lv::tool
