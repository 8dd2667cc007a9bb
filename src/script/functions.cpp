#include "script/functions.h"

#include <algorithm>

#include "platform/text.h"
#include "script/scan.h"

namespace lv {

int ScriptFunction::sourceLine(std::size_t offset) const {
    const auto after = std::upper_bound(lines.begin(), lines.end(), offset,
                                        [](std::size_t o, const auto& line) { return o < line.first; });
    return after == lines.begin() ? 0 : std::prev(after)->second;
}

void FunctionList::add(std::string_view name, std::string_view body, std::string_view file, int nameLine,
                       int firstBodyLine) {
    ScriptFunction function;
    function.name = cutTo(name, ScriptFunction::kMaxName);
    function.file = file;
    function.nameLine = nameLine;
    // Drop the blanks and line ends at the start of every line; count the
    // file's lines on the way so that each kept line knows where it stood.
    int line = firstBodyLine;
    std::size_t position = 0;
    while (!atTextEnd(body, position)) {
        for (; !atTextEnd(body, position) && (isBlank(body[position]) || isLineEnd(body[position])); ++position) {
            const char c = body[position];
            // A CR LF pair is one line end; a lone CR or LF is one too.
            if (c == '\n' || (c == '\r' && (position + 1 >= body.size() || body[position + 1] != '\n'))) ++line;
        }
        if (atTextEnd(body, position)) break;
        std::size_t end = position;
        while (!atLineEndOrTextEnd(body, end)) ++end;
        function.lines.emplace_back(function.body.size(), line);
        function.body.append(body.substr(position, end - position));
        // Keep one line end after each line (the last one's if the body has one).
        if (end < body.size() && isLineEnd(body[end])) function.body.push_back('\n');
        position = end;
    }
    functions_.push_back(std::move(function));
}

const ScriptFunction* FunctionList::find(std::string_view name) const {
    for (const ScriptFunction& function : functions_)
        if (equalsNoCase(function.name, name)) return &function;
    return nullptr;
}

FunctionList::Place FunctionList::findGotoTarget(std::string_view target) const {
    for (const ScriptFunction& function : functions_) {
        if (equalsNoCase(function.name, target)) return {&function, 0};
        const std::string_view body = function.body;
        for (std::size_t line = 0; !atTextEnd(body, line); line = nextLine(body, line)) {
            const std::string_view rest = body.substr(line);
            if (rest.size() > target.size() && startsWithNoCase(rest, target) && rest[target.size()] == ':')
                return {&function, nextLine(body, line)};
        }
    }
    return {};
}

}  // namespace lv
