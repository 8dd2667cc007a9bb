// lumavine-tool find / list: the program's own finder and file listing, as
// the player sees the disk (drives for "*.*", DOS dates, the short-name rule).
#include <cstdio>
#include <optional>
#include <string>

#include "shell/file_services.h"
#include "shell/find_files.h"
#include "tool_args.h"
#include "tool_command.h"

namespace lv::tool {

namespace {

// One line per entry: name, attributes, DOS date and time, size.
int runFind(Args args) {
    if (args.size() != 1) return 2;
    FinderPtr finder = findFirst(args[0]);
    if (!finder) {
        std::fprintf(stderr, "find: nothing matches %s\n", args[0]);
        return 1;
    }
    int result = 0;
    do {
        const FindEntry& e = finder->entry();
        std::printf("%s\tattributes=0x%02x date=0x%04x time=0x%04x size=%llu\n", e.name().c_str(),
                    static_cast<unsigned>(e.attributes), e.dosDate, e.dosTime,
                    static_cast<unsigned long long>(e.size));
    } while ((result = finder->next()) == 1);
    return result < 0 ? 1 : 0;
}

int runList(Args args) {
    if (args.empty() || args.size() > 2) return 2;
    const std::optional<int> maximum = args.size() > 1 ? parseNumber(args[1], 1000000000) : 100;
    if (!maximum) {
        std::fprintf(stderr, "list: MAXIMUM must be a whole number, not %s\n", args[1]);
        return 2;
    }
    for (const std::string& name : listFiles(args[0], static_cast<std::size_t>(*maximum))) std::printf("%s\n", name.c_str());
    return 0;
}

const ToolCommand find{"find", "PATTERN", "list the entries the player's finder gives for a pattern", runFind};
const ToolCommand list{"list", "PATTERN [MAXIMUM]", "the player's sorted file listing of a pattern", runList};

}  // namespace

}  // namespace lv::tool
