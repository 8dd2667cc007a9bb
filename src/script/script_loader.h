// Loading the script: every "*.scr" file of the program folder, in name
// order, then the launcher's own script ("menu.exe" brings in "menu.scr").
//
// A file defines function blocks; text between blocks is ignored (comments):
//
//     begin showMenu          begin and end: first words of their lines,
//       button name=b1 ...    any case, followed by a blank or a line end;
//     end                     the name may stand on the line after begin.
//
// The first qualifying end line closes a block (no nesting). A block without
// one defines nothing. A function named like a keyword is reported with the
// message box "FUNC=KEYWORD" and defined all the same.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "script/functions.h"
#include "script/source_files.h"

namespace lv {

// What loading noticed beyond the functions themselves (for lint).
struct LoadReport {
    struct Place {
        std::string file;
        int line = 0;
        std::string name;
    };
    std::vector<Place> unclosedBlocks;  // begin without a closing end
    std::vector<std::string> filesRead;
    // Lines looked at while searching for the end lines of blocks: a measure
    // of loading work, at most about twice the line count of the text.
    std::size_t endSearchLines = 0;
};

// Adds the function blocks of one file's text. The text ends at its first
// zero character, if any.
void addScriptText(FunctionList& functions, std::string_view text, std::string_view file = {},
                   LoadReport* report = nullptr);

// The launcher's own script: the launcher path cut back to its last full stop
// with "scr" appended; empty when the path has no full stop after its last
// slash or backslash.
std::string launcherScriptPath(std::string_view launcherPath);

// Loads every script of the program folder, then the launcher's own.
void loadScript(FunctionList& functions, ScriptSourceFiles& files, std::string_view programFolder,
                std::string_view launcherPath, LoadReport* report = nullptr);

}  // namespace lv
