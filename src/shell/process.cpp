#include "shell/process.h"

#include <utility>

namespace lv {

namespace {
StartupArgs& state() {
    static StartupArgs args;
    return args;
}
}  // namespace

const StartupArgs& startupArgs() { return state(); }
void setStartupArgs(StartupArgs args) { state() = std::move(args); }
void setScreenSaverPreviewWnd(std::intptr_t window) { state().screenSaverPreviewWnd = window; }

}  // namespace lv
