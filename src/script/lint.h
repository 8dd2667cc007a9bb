// Static checks of a loaded script for its authors (lumavine-tool script
// --lint). Each finding names the file and line:
//   - a function named like a keyword (statement lines never reach it);
//   - a goto or call target that no function or label line holds;
//   - a property name on a statement line that no statement takes;
//   - a line with an odd number of double quotes (the quote runs on);
//   - a begin without a closing end.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "script/functions.h"
#include "script/script_loader.h"

namespace lv {

struct LintFinding {
    std::string file;
    int line = 0;
    std::string message;
};

struct ScriptText {
    std::string file;
    std::string text;
};

std::vector<LintFinding> lintScript(const FunctionList& functions, const LoadReport& report,
                                    const std::vector<ScriptText>& texts);

}  // namespace lv
