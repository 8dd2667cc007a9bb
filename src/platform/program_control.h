// What the script engine asks of the program's run: ending it (the label
// "exit" posts the quit message, the main loop ends after the current
// message) and giving a window the keyboard focus. On Windows these are the
// system's; the headless twin records them.
#pragma once

#include <cstdint>
#include <vector>

namespace lv {

class ProgramControl {
public:
    virtual ~ProgramControl() = default;
    virtual void postQuit(int exitCode) = 0;
    virtual void focusWindow(std::intptr_t window) = 0;
};

// The control in use: the platform's own unless replaced.
ProgramControl& programControl();
// Replaces it (tests, the headless tool); null restores the platform's own.
void setProgramControl(ProgramControl* replacement);

class RecordingProgramControl final : public ProgramControl {
public:
    std::vector<int> quits;
    std::vector<std::intptr_t> focused;
    void postQuit(int exitCode) override { quits.push_back(exitCode); }
    void focusWindow(std::intptr_t window) override { focused.push_back(window); }
};

}  // namespace lv
