// The user functions of the script: named blocks of statement lines.
//
// Bodies are normalised when a function is added: every line starts with its
// first word (indentation and empty lines are gone). Several functions may
// share a name; every lookup takes the first in definition order. Names
// compare without regard to case.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lv {

struct ScriptFunction {
    static constexpr std::size_t kMaxName = 51;

    std::string name;  // at most kMaxName characters
    std::string body;  // normalised: no leading blanks, no empty lines
    // Where it came from, for traces and lint: the file, and for every body
    // line (by its offset in body) its line number in that file.
    std::string file;
    int nameLine = 0;
    std::vector<std::pair<std::size_t, int>> lines;

    // The file's line number of the body line that holds the offset (0 when unknown).
    int sourceLine(std::size_t offset) const;
};

class FunctionList {
public:
    // Appends a function; the name is cut to kMaxName characters, the body
    // normalised. firstBodyLine is the file's line number of the body's first line.
    void add(std::string_view name, std::string_view body, std::string_view file = {}, int nameLine = 0,
             int firstBodyLine = 0);

    // The first function whose name equals the text without regard to case.
    const ScriptFunction* find(std::string_view name) const;

    // Where a goto continues: the first function, in definition order, that
    // is named like the target (its first line) or holds a line beginning with
    // the target and a colon (the line after it); case ignored. No function
    // when none does.
    struct Place {
        const ScriptFunction* function = nullptr;
        std::size_t offset = 0;
    };
    Place findGotoTarget(std::string_view target) const;

    const std::vector<ScriptFunction>& all() const { return functions_; }
    bool empty() const { return functions_.empty(); }
    void clear() { functions_.clear(); }

private:
    std::vector<ScriptFunction> functions_;
};

}  // namespace lv
