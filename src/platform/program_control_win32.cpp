#include "platform/program_control.h"

#include <windows.h>

#include <string>

#include "platform/trace.h"

namespace lv {

namespace {
class Win32ProgramControl final : public ProgramControl {
public:
    void postQuit(int exitCode) override {
        trace("post quit: " + std::to_string(exitCode));
        PostQuitMessage(exitCode);
    }
    void focusWindow(std::intptr_t window) override {
        HWND handle = reinterpret_cast<HWND>(window);
        if (IsWindow(handle)) SetFocus(handle);
    }
};
}  // namespace

ProgramControl& platformProgramControl() {
    static Win32ProgramControl system;
    return system;
}

}  // namespace lv
