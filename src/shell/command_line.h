// Start-up arguments: who started the program and how.
//
// A launcher starts the player with "-stub " and its own full path, and when
// the system started the launcher as a screen saver, with a comma and the
// system's switch in double quotes:
//     -stub C:\shows\menu.exe,"/p 1234"
// From that line come the launcher path (also the file that may carry packed
// files), the launcher's folder, and the screen-saver mode.
//
// Length limit: every text here holds at most kMaxText (259) characters, the
// longest path the program's file calls take. The whole command line is read
// first, so a switch after an over-long path is still found; each text is then
// cut to kMaxText characters. Nothing overflows whatever the input's length.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lv {

struct StartupArgs {
    static constexpr std::size_t kMaxText = 259;

    std::string cmdLine;          // command line without the launcher prefix and switch
    bool fromLauncher = false;    // the line began with "-stub ": cmdLine is the launcher's path
    std::string loaderPath;       // folder of the launcher, ends in '\' or ':'
    std::string programFolder;    // folder of the program's own file
    std::string screenSaverArgs;  // the switch the launcher passed on, without quotes
    bool screenSaver = false;     // full-screen screen saver or preview
    std::intptr_t screenSaverPreviewWnd = 0;  // window handle of the preview, 0 if none

    bool fullScreenSaver() const { return screenSaver && screenSaverPreviewWnd == 0; }
    // What the script's string screen_saver says: 0 an ordinary application,
    // 1 a full-screen screen saver, 2 a screen-saver preview.
    int screenSaverMode() const { return !screenSaver ? 0 : screenSaverPreviewWnd == 0 ? 1 : 2; }
};

// Reads the text after the program name as the system passes it, and the full
// path of the program's own file.
StartupArgs parseCommandLine(std::string_view commandLine, std::string_view programPath);

// Cuts a path back to its folder: drops characters from the end until the last
// one is a backslash or a colon (or nothing is left).
std::string folderOf(std::string_view path);

}  // namespace lv
