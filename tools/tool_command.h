// lumavine-tool's sub-commands. Each lives in a file of its own and registers
// itself with a static ToolCommand object:
//
//     static const lv::tool::ToolCommand scale{"scale", "IN OUT WxH [--method H[,V]]",
//                                              "resize a PPM/PGM picture", runScale};
//
// The handler gets the arguments after the command's name and returns the
// process exit code: 0 on success, 1 when the work failed (with a one-line
// message on stderr), 2 for bad usage (the tool then prints the usage line).
// "--help" anywhere prints the usage without running the handler, and an
// exception escaping a handler is reported and exits 1.
#pragma once

#include <span>
#include <string_view>
#include <vector>

namespace lv::tool {

using Args = std::span<const char* const>;

struct Command {
    std::string_view name;
    std::string_view usage;    // the arguments, as help prints them
    std::string_view summary;  // one line
    int (*run)(Args args);
};

// Every registered sub-command, sorted by name.
const std::vector<Command>& commands();

struct ToolCommand {
    ToolCommand(std::string_view name, std::string_view usage, std::string_view summary, int (*run)(Args));
};

}  // namespace lv::tool
