#include "shell/command_line.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace lv {
namespace {

constexpr const char* kProgram = "C:\\Program Files\\Lumavine\\lumavine.exe";
constexpr const char* kProgramFolder = "C:\\Program Files\\Lumavine\\";

StartupArgs parse(const std::string& line) { return parseCommandLine(line, kProgram); }

// A launcher start with a screen-saver switch.
std::string withSwitch(const char* sw, const char* close = "\"") { return std::string("-stub C:\\x\\menu.scr,\"") + sw + close; }

struct Parsed {
    std::string line;
    const char* cmdLine;     // nullptr: not checked
    const char* loaderPath;  // nullptr: not checked
    bool launcher, saver;
    std::int32_t preview;
    const char* saverArgs = nullptr;
};

TEST(CommandLine, EveryFormReadsAsItShould) {
    const char* scr = "C:\\x\\menu.scr";
    const std::vector<Parsed> cases = {
        {"-stub C:\\x\\menu.exe", "C:\\x\\menu.exe", "C:\\x\\", true, false, 0},
        {"-STUB C:\\x\\menu.exe", "C:\\x\\menu.exe", "C:\\x\\", true, false, 0},  // the prefix ignores case
        {"-Stub C:\\x\\menu.exe,\"/s\"", "C:\\x\\menu.exe", "C:\\x\\", true, true, 0},
        {"-stubC:\\x\\menu.exe", "-stubC:\\x\\menu.exe", nullptr, false, false, 0},  // no prefix without its blank
        {"C:\\photos\\beach.jpg", nullptr, nullptr, false, false, 0},
        {"-stub C:\\a,b\\menu.exe", "C:\\a,b\\menu.exe", "C:\\a,b\\", true, false, 0},  // a comma without quote
        {"-stub D:menu.exe", nullptr, "D:", true, false, 0},
        {"", "", kProgramFolder, false, false, 0},
        {"/s", "/s", kProgramFolder, false, false, 0},  // a switch without the prefix is never read
        {withSwitch("/s"), scr, "C:\\x\\", true, true, 0, "/s"},
        {withSwitch("-s"), scr, "C:\\x\\", true, true, 0, "-s"},
        {withSwitch("/S"), scr, "C:\\x\\", true, true, 0, "/S"},
        {withSwitch("-S"), scr, "C:\\x\\", true, true, 0, "-S"},
        {withSwitch("/s", ""), scr, nullptr, true, true, 0, "/s"},  // no closing quote
        {withSwitch("/p 1234"), scr, nullptr, true, true, 1234},
        {withSwitch("-P1234"), scr, nullptr, true, true, 1234},
        {withSwitch("/P   1234"), scr, nullptr, true, true, 1234},
        {withSwitch("-p 1234 trailing"), scr, nullptr, true, true, 1234},
        {withSwitch("/p 99999999999999999999999"), scr, nullptr, true, true, INT32_MAX},
        {withSwitch("/p"), scr, nullptr, true, false, 0},
        {withSwitch("/p abc"), scr, nullptr, true, false, 0},
        {withSwitch("/p 0"), scr, nullptr, true, false, 0},
        {withSwitch("/c:5678"), scr, nullptr, true, false, 0},
        {withSwitch("/S "), scr, nullptr, true, false, 0},
        {withSwitch("/s2"), scr, nullptr, true, false, 0},
        {withSwitch(""), scr, nullptr, true, false, 0},
        {withSwitch("/c"), scr, nullptr, true, false, 0},
    };
    for (const Parsed& c : cases) {
        SCOPED_TRACE("[" + c.line + "]");
        const StartupArgs a = parse(c.line);
        EXPECT_EQ(a.cmdLine, c.cmdLine ? c.cmdLine : a.cmdLine);
        EXPECT_EQ(a.loaderPath, c.loaderPath ? c.loaderPath : a.loaderPath);
        EXPECT_EQ(a.screenSaverArgs, c.saverArgs ? c.saverArgs : a.screenSaverArgs);
        EXPECT_EQ(a.programFolder, kProgramFolder);
        EXPECT_EQ(a.fromLauncher, c.launcher);
        EXPECT_EQ(a.screenSaver, c.saver);
        EXPECT_EQ(a.screenSaverPreviewWnd, c.preview);
        EXPECT_EQ(a.fullScreenSaver(), c.saver && c.preview == 0);
    }
}

TEST(CommandLine, OverLongLineIsCutWithoutLosingTheSwitch) {
    const std::string longPath = "C:\\" + std::string(5000, 'a') + "\\menu.scr";
    const StartupArgs a = parse("-stub " + longPath + ",\"/p 77\"");
    EXPECT_TRUE(a.screenSaver);
    EXPECT_EQ(a.screenSaverPreviewWnd, 77);
    EXPECT_EQ(a.cmdLine.size(), StartupArgs::kMaxText);
    EXPECT_LE(a.loaderPath.size(), StartupArgs::kMaxText);
    EXPECT_EQ(a.cmdLine, longPath.substr(0, StartupArgs::kMaxText));
}

}  // namespace
}  // namespace lv
