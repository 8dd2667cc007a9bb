// Script files through the program's file services: folders listed with the
// finder and files read whole, the launcher's packed files included, so that
// a script packed into a launcher loads like one beside the program.
#pragma once

#include "script/source_files.h"

namespace lv {

class ServiceScriptFiles final : public ScriptSourceFiles {
public:
    std::vector<std::string> listScripts(std::string_view folder) override;
    std::optional<std::string> readWhole(std::string_view path) override;
};

}  // namespace lv
