// The launcher: a small program that starts lumavine.exe from its own folder
// with "-stub " and its own full path, passing on the screen-saver switch the
// system gave it. Files packed into it are appended to its image and named by
// the index "ix" beside the player (docs/launcher.md). Renamed to .scr it is
// a screen saver. It waits for the player and returns the player's exit code,
// so the system sees the screen saver running as long as the player runs.
#include <windows.h>

#include <string>

#include "shell/command_line.h"
#include "shell/launcher_command.h"

namespace {

std::string ownPath() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) return path.substr(0, length);
        path.resize(path.size() * 2);
    }
}

int startPlayer(const std::string& launcher, const char* arguments) {
    const std::string player = lv::folderOf(launcher) + std::string(lv::kPlayerFileName);
    std::string line = lv::launcherCommandLine(player, launcher, arguments ? arguments : "");
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(player.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        // A preview lives inside the system's dialog: no message box there.
        const std::string sw = lv::screenSaverSwitch(arguments ? arguments : "");
        const bool preview = sw.size() >= 2 && (sw[1] == 'p' || sw[1] == 'P');
        if (!preview) MessageBoxA(nullptr, ("Cannot start " + player).c_str(), "Lumavine", MB_OK | MB_ICONERROR);
        return 1;
    }
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int) { return startPlayer(ownPath(), arguments); }
