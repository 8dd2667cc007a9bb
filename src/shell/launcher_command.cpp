#include "shell/launcher_command.h"

#include "platform/text.h"

namespace lv {

std::string screenSaverSwitch(std::string_view arguments) {
    while (!arguments.empty() && isSpace(arguments.front())) arguments.remove_prefix(1);
    while (!arguments.empty() && isSpace(arguments.back())) arguments.remove_suffix(1);
    if (arguments.empty() || (arguments.front() != '/' && arguments.front() != '-')) return {};
    // A double quote inside would end the player's quoted switch early.
    if (arguments.find('"') != std::string_view::npos) return {};
    return std::string(arguments);
}

std::string launcherCommandLine(std::string_view playerPath, std::string_view launcherPath,
                                std::string_view launcherArguments) {
    std::string line;
    line.append("\"").append(playerPath).append("\" -stub ").append(launcherPath);
    if (const std::string sw = screenSaverSwitch(launcherArguments); !sw.empty()) line.append(",\"").append(sw).append("\"");
    return line;
}

}  // namespace lv
