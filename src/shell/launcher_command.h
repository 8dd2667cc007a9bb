// The command line with which a launcher starts the player:
//
//     "C:\shows\lumavine.exe" -stub C:\shows\menu.exe
//     "C:\shows\lumavine.exe" -stub C:\shows\menu.scr,"/p 1234"
//
// The player reads the text after its own name: "-stub ", the launcher's
// full path (the file that carries the packed files), and, when the system
// started the launcher as a screen saver, a comma and the system's switch in
// double quotes. Used by the launcher program (src/shell/launcher/).
#pragma once

#include <string>
#include <string_view>

namespace lv {

// The switch the system gave the launcher when it runs it as a screen
// saver ("/s", "/p 1234", "/c:5678", ...), without surrounding blanks;
// empty when the arguments are no switch (nothing, or a file name).
std::string screenSaverSwitch(std::string_view launcherArguments);

// The whole command line for starting the player: its quoted path, then
// what the player reads.
std::string launcherCommandLine(std::string_view playerPath, std::string_view launcherPath,
                                std::string_view launcherArguments);

// The player's file name, beside the launcher.
inline constexpr std::string_view kPlayerFileName = "lumavine.exe";

}  // namespace lv
