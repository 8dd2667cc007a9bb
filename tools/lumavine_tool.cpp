// lumavine-tool: one command-line tool for script authors and for tests.
#include <cstdio>
#include <string_view>

#include "tool_command.h"

namespace lv::tool {

namespace {

int printHelp(std::span<const char* const>) {
    std::printf("usage: lumavine-tool COMMAND [ARGS...]\n\ncommands:\n");
    for (const Command& c : commands())
        std::printf("  %-10.*s %-28.*s %.*s\n", static_cast<int>(c.name.size()), c.name.data(),
                    static_cast<int>(c.usage.size()), c.usage.data(), static_cast<int>(c.summary.size()),
                    c.summary.data());
    return 0;
}

int printVersion(std::span<const char* const>) {
    std::printf("lumavine-tool %s\n", LUMAVINE_VERSION);
    return 0;
}

constexpr Command kCommands[] = {
    {"help", "", "list the commands", printHelp},
    {"version", "", "print the version", printVersion},
};

}  // namespace

std::span<const Command> commands() { return kCommands; }

}  // namespace lv::tool

int main(int argc, char** argv) {
    using namespace lv::tool;
    if (argc < 2) {
        printHelp({});
        return 2;
    }
    std::string_view name = argv[1];
    if (name == "--help" || name == "-h") name = "help";
    if (name == "--version") name = "version";
    for (const Command& c : commands())
        if (c.name == name) return c.run(std::span<const char* const>(argv + 2, argv + argc));
    std::fprintf(stderr, "lumavine-tool: unknown command '%s' (try 'lumavine-tool help')\n", argv[1]);
    return 2;
}
