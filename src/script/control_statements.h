// The statements that create and steer controls and reach outside the
// program: button, static, viewer, thumbArea, window, size, show, hide, top,
// title, messagebox, beep, exec and net.
//
// What is platform's (making a control, raising a window, message boxes,
// starting programs, the registered browser) goes through ControlPlatform;
// the program's is Win32 windows, the headless tool's makes stand-ins.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "script/objects.h"

namespace lv {

class ScriptEngine;

enum class ControlClass { Button, Static, Viewer, ThumbArea, Window };

// The object type name of a control class: "button", "static", ...
std::string_view controlTypeName(ControlClass kind);

class ControlPlatform {
public:
    virtual ~ControlPlatform() = default;
    // Makes a control, child of the parent window (0: none). A window takes
    // its caption (nothing: a bare pop-up) and its resizable flag. Null when
    // the control cannot be made.
    virtual std::unique_ptr<ObjectInstance> createControl(ControlClass kind, std::intptr_t parent,
                                                          const std::optional<std::string>& caption,
                                                          int resizable) = 0;
    // Puts a window at the top of the z-order without moving or activating it.
    virtual void raise(std::intptr_t window) = 0;
    // A modal OK box owned by the window (0: none); waits until it closes.
    virtual void messageBox(std::intptr_t owner, std::string_view text, std::string_view caption) = 0;
    virtual void beep() = 0;
    // Starts a command line shown normally; the launcher's result (above 31:
    // started).
    virtual unsigned startProgram(std::string_view commandLine) = 0;
    // The registered command that opens HTML files; nothing when unknown.
    virtual std::optional<std::string> browserCommand() = 0;

    // Browsing: the thumbnail area and the viewer found by their names; each
    // does nothing when they are missing (or on a platform without them).
    virtual void readFolder(const std::string&) {}
    virtual void findRolls() {}
    virtual void stepRoll(int) {}  // +1 nextRoll, -1 prevRoll
    virtual void viewStep(int) {}  // +1 viewNext, -1 viewPrev
    virtual void cropViewer() {}
    // The save dialog at that quality, or (prompt) the save prompt.
    virtual void savePicture(std::intptr_t, int, bool) {}
    virtual void copyPicture() {}
    virtual void printPicture() {}
};

// Installs the statements into the engine; the platform must outlive it.
void installControlStatements(ScriptEngine& engine, ControlPlatform& platform);

// The browser command cleaned for use: a trailing " -nohome" cut off (when
// longer than 8 characters), then enclosing double quotes removed.
std::string cleanBrowserCommand(std::string command);

// The headless platform: controls are stand-ins, message boxes and beeps go
// to host(), programs started are recorded, no browser is registered. The
// browsing commands are recorded as lines ("readFiles /pics/", "save 75 0").
class StandInControlPlatform final : public ControlPlatform {
public:
    std::vector<std::string> started;
    std::vector<std::string> browsing;
    std::optional<std::string> browser;

    std::unique_ptr<ObjectInstance> createControl(ControlClass kind, std::intptr_t parent,
                                                  const std::optional<std::string>& caption, int resizable) override;
    void raise(std::intptr_t) override {}
    void messageBox(std::intptr_t owner, std::string_view text, std::string_view caption) override;
    void beep() override;
    unsigned startProgram(std::string_view commandLine) override;
    std::optional<std::string> browserCommand() override { return browser; }
    void readFolder(const std::string& folder) override { browsing.push_back("readFiles " + folder); }
    void findRolls() override { browsing.emplace_back("rolls"); }
    void stepRoll(int step) override { browsing.emplace_back(step > 0 ? "nextRoll" : "prevRoll"); }
    void viewStep(int step) override { browsing.emplace_back(step > 0 ? "viewNext" : "viewPrev"); }
    void cropViewer() override { browsing.emplace_back("crop viewer"); }
    void savePicture(std::intptr_t, int quality, bool prompt) override {
        browsing.push_back("save " + std::to_string(quality) + (prompt ? " prompt" : " dialog"));
    }
    void copyPicture() override { browsing.emplace_back("copy"); }
    void printPicture() override { browsing.emplace_back("print"); }
};

}  // namespace lv
