// lumavine-tool: one command-line tool for script authors and for tests.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <string_view>

#include "tool_command.h"

namespace lv::tool {

namespace {

std::vector<Command>& registry() {
    static std::vector<Command> all;
    return all;
}

int printHelp(Args) {
    std::printf("usage: lumavine-tool COMMAND [ARGS...]\n\ncommands:\n");
    for (const Command& c : commands())
        std::printf("  %-14.*s %-34.*s %.*s\n", static_cast<int>(c.name.size()), c.name.data(),
                    static_cast<int>(c.usage.size()), c.usage.data(), static_cast<int>(c.summary.size()),
                    c.summary.data());
    return 0;
}

int printVersion(Args) {
    std::printf("lumavine-tool %s\n", LUMAVINE_VERSION);
    return 0;
}

const ToolCommand help{"help", "", "list the commands", printHelp};
const ToolCommand version{"version", "", "print the version", printVersion};

}  // namespace

ToolCommand::ToolCommand(std::string_view name, std::string_view usage, std::string_view summary, int (*run)(Args)) {
    auto& all = registry();
    all.push_back(Command{name, usage, summary, run});
    std::sort(all.begin(), all.end(), [](const Command& a, const Command& b) { return a.name < b.name; });
}

const std::vector<Command>& commands() { return registry(); }

}  // namespace lv::tool

namespace {

void printUsage(std::FILE* to, const lv::tool::Command& c) {
    std::fprintf(to, "usage: lumavine-tool %.*s %.*s\n  %.*s\n", static_cast<int>(c.name.size()), c.name.data(),
                 static_cast<int>(c.usage.size()), c.usage.data(), static_cast<int>(c.summary.size()), c.summary.data());
}

bool asksForHelp(lv::tool::Args args) {
    for (const char* a : args)
        if (std::string_view(a) == "--help" || std::string_view(a) == "-h") return true;
    return false;
}

// Runs one command: its usage on --help and after bad arguments (exit 2),
// and no exception ever ends the process unreported.
int runCommand(const lv::tool::Command& c, lv::tool::Args args) {
    if (asksForHelp(args)) {
        printUsage(stdout, c);
        return 0;
    }
    try {
        const int result = c.run(args);
        if (result == 2)
            std::fprintf(stderr, "lumavine-tool %.*s: bad arguments; usage: lumavine-tool %.*s %.*s\n",
                         static_cast<int>(c.name.size()), c.name.data(), static_cast<int>(c.name.size()), c.name.data(),
                         static_cast<int>(c.usage.size()), c.usage.data());
        return result;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lumavine-tool %.*s: %s\n", static_cast<int>(c.name.size()), c.name.data(), e.what());
    } catch (...) {
        std::fprintf(stderr, "lumavine-tool %.*s: failed\n", static_cast<int>(c.name.size()), c.name.data());
    }
    return 1;
}

}  // namespace

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
        if (c.name == name) return runCommand(c, Args(argv + 2, argv + argc));
    std::fprintf(stderr, "lumavine-tool: unknown command '%s' (try 'lumavine-tool help')\n", argv[1]);
    return 2;
}
