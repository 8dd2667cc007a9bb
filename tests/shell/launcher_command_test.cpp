#include "shell/launcher_command.h"

#include <gtest/gtest.h>

#include "shell/command_line.h"

namespace lv {
namespace {

constexpr const char* kPlayer = "C:\\shows\\lumavine.exe";
constexpr const char* kLauncher = "C:\\shows\\menu.scr";

std::string lineFor(const char* arguments) { return launcherCommandLine(kPlayer, kLauncher, arguments); }

// What the player reads: the text after its quoted name and the blank.
StartupArgs playerView(const std::string& line) {
    const std::string prefix = std::string("\"") + kPlayer + "\" ";
    EXPECT_EQ(line.substr(0, prefix.size()), prefix);
    return parseCommandLine(line.substr(prefix.size()), kPlayer);
}

// An ordinary start passes the launcher path; a screen-saver switch follows
// after a comma, in quotes.
TEST(LauncherCommand, TheLauncherPathAndTheScreenSaverSwitchReachThePlayer) {
    EXPECT_EQ(lineFor(""), "\"C:\\shows\\lumavine.exe\" -stub C:\\shows\\menu.scr");
    EXPECT_EQ(lineFor("/s"), "\"C:\\shows\\lumavine.exe\" -stub C:\\shows\\menu.scr,\"/s\"");
    const StartupArgs full = playerView(lineFor(" /S "));
    EXPECT_TRUE(full.fullScreenSaver());
    EXPECT_EQ(full.cmdLine, kLauncher);
    EXPECT_EQ(full.loaderPath, "C:\\shows\\");
    const StartupArgs preview = playerView(lineFor("/p 1234"));
    EXPECT_EQ(preview.screenSaverPreviewWnd, 1234);
    const StartupArgs configure = playerView(lineFor("/c:5678"));
    EXPECT_FALSE(configure.screenSaver);
    EXPECT_EQ(configure.screenSaverArgs, "/c:5678");
}

TEST(LauncherCommand, ArgumentsThatAreNoSwitchAreNotPassedOn) {
    EXPECT_EQ(screenSaverSwitch("C:\\pics\\a.jpg"), "");
    EXPECT_EQ(screenSaverSwitch("   "), "");
    EXPECT_EQ(screenSaverSwitch("/p \"1\""), "");
    EXPECT_EQ(lineFor("notes.txt"), lineFor(""));
}

TEST(LauncherCommand, PathsWithBlanksNeedNoQuotesAfterTheStub) {
    const std::string line = launcherCommandLine("C:\\My Shows\\lumavine.exe", "C:\\My Shows\\menu.exe", "-s");
    const StartupArgs a = parseCommandLine(line.substr(line.find("-stub")), "C:\\My Shows\\lumavine.exe");
    EXPECT_EQ(a.cmdLine, "C:\\My Shows\\menu.exe");
    EXPECT_TRUE(a.screenSaver);
}

}  // namespace
}  // namespace lv
