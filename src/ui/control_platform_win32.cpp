#include "ui/control_platform_win32.h"

#include <windows.h>

#include "script/control_statements.h"
#include "script/script_module.h"
#include "ui/button_win32.h"
#include "ui/browse_win32.h"
#include "ui/static_win32.h"
#include "ui/top_window_win32.h"

namespace lv {

namespace {

constexpr char kHtmlOpenCommand[] = "htmlfile\\shell\\open\\command";
constexpr LONG kMaxBrowserCommand = 260;

HWND asWindow(std::intptr_t handle) { return reinterpret_cast<HWND>(handle); }

class Win32ControlPlatform final : public ControlPlatform {
public:
    std::unique_ptr<ObjectInstance> createControl(ControlClass kind, std::intptr_t parent,
                                                  const std::optional<std::string>& caption, int resizable) override {
        switch (kind) {
        case ControlClass::Button: return createButton(asWindow(parent));
        case ControlClass::Static: return createStatic(asWindow(parent));
        case ControlClass::Viewer: return createViewer(asWindow(parent));
        case ControlClass::ThumbArea: return createThumbArea(asWindow(parent));
        case ControlClass::Window: return createTopWindow(asWindow(parent), caption, resizable != 0);
        }
        return nullptr;
    }

    void raise(std::intptr_t window) override {
        if (IsWindow(asWindow(window)))
            SetWindowPos(asWindow(window), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    }

    void messageBox(std::intptr_t owner, std::string_view text, std::string_view caption) override {
        MessageBoxA(asWindow(owner), std::string(text).c_str(), std::string(caption).c_str(), MB_OK);
    }

    void beep() override { MessageBeep(0xFFFFFFFFu); }

    unsigned startProgram(std::string_view commandLine) override {
        return WinExec(std::string(commandLine).c_str(), SW_SHOWNORMAL);
    }

    std::optional<std::string> browserCommand() override {
        char command[kMaxBrowserCommand] = {};
        LONG length = kMaxBrowserCommand;
        if (RegQueryValueA(HKEY_CLASSES_ROOT, kHtmlOpenCommand, command, &length) != ERROR_SUCCESS) return std::nullopt;
        command[kMaxBrowserCommand - 1] = '\0';
        return std::string(command);
    }

    void readFolder(const std::string& folder) override { lv::readFolder(folder); }
    void findRolls() override { lv::findRolls(); }
    void stepRoll(int step) override { lv::stepRoll(step); }
    void viewStep(int step) override { viewerStep(step); }
    void cropViewer() override { viewerCrop(); }
    void savePicture(std::intptr_t owner, int quality, bool prompt) override {
        if (prompt)
            viewerSavePrompt(asWindow(owner));
        else
            saveViewerPicture(asWindow(owner), quality);
    }
    void copyPicture() override { copyViewerPicture(); }
    void printPicture() override { printViewerPicture(); }
};

Win32ControlPlatform gPlatform;

}  // namespace

bool startControlStatements() {
    installControlStatements(scriptEngine(), gPlatform);
    return true;
}

}  // namespace lv
