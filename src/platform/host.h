// What the core asks of the program's host: message boxes and beeps. On
// Windows these are the system's; the headless host (native tests and
// lumavine-tool) records every message box instead of showing it and
// answers it with the first button.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lv {

class Host {
public:
    // Button sets and answers as the system's message box numbers them.
    static constexpr unsigned kOk = 0;
    static constexpr int kAnswerOk = 1;

    virtual ~Host() = default;
    // Shows a modal message box; returns the button chosen.
    virtual int messageBox(std::string_view text, std::string_view caption, unsigned flags) = 0;
    virtual void beep(unsigned kind) = 0;
};

// The host in use: the platform's own unless replaced.
Host& host();
// Replaces the host (tests); null restores the platform's own.
void setHost(Host* replacement);

// Records message boxes and beeps; used by native tests and the headless tool.
class RecordingHost final : public Host {
public:
    struct Box {
        std::string text, caption;
        unsigned flags;
    };
    std::vector<Box> boxes;
    std::vector<unsigned> beeps;

    int messageBox(std::string_view text, std::string_view caption, unsigned flags) override {
        boxes.push_back(Box{std::string(text), std::string(caption), flags});
        return kAnswerOk;
    }
    void beep(unsigned kind) override { beeps.push_back(kind); }
};

}  // namespace lv
