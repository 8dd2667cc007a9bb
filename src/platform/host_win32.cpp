#include "platform/host.h"

#include <windows.h>

#include <string>

#include "platform/trace.h"

namespace lv {

namespace {
class Win32Host final : public Host {
public:
    int messageBox(std::string_view text, std::string_view caption, unsigned flags) override {
        trace("message box: " + std::string(caption) + ": " + std::string(text));
        return MessageBoxA(nullptr, std::string(text).c_str(), std::string(caption).c_str(), flags);
    }
    void beep(unsigned kind) override { MessageBeep(kind); }
};
}  // namespace

Host& platformHost() {
    static Win32Host system;
    return system;
}

}  // namespace lv
