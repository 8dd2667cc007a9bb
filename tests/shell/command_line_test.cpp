#include "shell/command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace lv {
namespace {

constexpr const char* kProgram = "C:\\Program Files\\Lumavine\\lumavine.exe";
constexpr const char* kProgramFolder = "C:\\Program Files\\Lumavine\\";

StartupArgs parse(const std::string& line) { return parseCommandLine(line, kProgram); }

TEST(CommandLine, LauncherPrefixGivesLauncherPathAndFolder) {
    const StartupArgs a = parse("-stub C:\\x\\menu.exe");
    EXPECT_EQ(a.cmdLine, "C:\\x\\menu.exe");
    EXPECT_EQ(a.loaderPath, "C:\\x\\");
    EXPECT_EQ(a.programFolder, kProgramFolder);
    EXPECT_FALSE(a.screenSaver);
    EXPECT_EQ(a.screenSaverPreviewWnd, 0);
}

TEST(CommandLine, OnlyThePrefixMarksALauncherStart) {
    EXPECT_TRUE(parse("-stub C:\\x\\menu.exe").fromLauncher);
    EXPECT_TRUE(parse("-Stub C:\\x\\menu.exe,\"/s\"").fromLauncher);
    EXPECT_FALSE(parse("C:\\photos\\beach.jpg").fromLauncher);
    EXPECT_FALSE(parse("").fromLauncher);
    EXPECT_FALSE(parse("-stubC:\\x\\menu.exe").fromLauncher);
}

TEST(CommandLine, PrefixIsCaseInsensitiveAndNeedsItsBlank) {
    EXPECT_EQ(parse("-STUB C:\\x\\menu.exe").cmdLine, "C:\\x\\menu.exe");
    // Without the blank the prefix is not there: the whole text is the line.
    EXPECT_EQ(parse("-stubC:\\x\\menu.exe").cmdLine, "-stubC:\\x\\menu.exe");
}

TEST(CommandLine, FullScreenSwitch) {
    for (const char* sw : {"/s", "-s", "/S", "-S"}) {
        const StartupArgs a = parse(std::string("-stub C:\\x\\menu.scr,\"") + sw + "\"");
        EXPECT_TRUE(a.screenSaver) << sw;
        EXPECT_TRUE(a.fullScreenSaver()) << sw;
        EXPECT_EQ(a.cmdLine, "C:\\x\\menu.scr") << sw;
        EXPECT_EQ(a.loaderPath, "C:\\x\\") << sw;
        EXPECT_EQ(a.screenSaverArgs, sw);
    }
}

TEST(CommandLine, PreviewSwitchReadsTheWindowHandle) {
    for (const char* sw : {"/p 1234", "-P1234", "/P   1234", "-p 1234 trailing"}) {
        const StartupArgs a = parse(std::string("-stub C:\\x\\menu.scr,\"") + sw + "\"");
        EXPECT_TRUE(a.screenSaver) << sw;
        EXPECT_EQ(a.screenSaverPreviewWnd, 1234) << sw;
        EXPECT_FALSE(a.fullScreenSaver()) << sw;
    }
}

TEST(CommandLine, PreviewWithoutNumberIsAnOrdinaryStart) {
    for (const char* sw : {"/p", "/p abc", "/p 0"}) {
        const StartupArgs a = parse(std::string("-stub C:\\x\\menu.scr,\"") + sw + "\"");
        EXPECT_FALSE(a.screenSaver) << sw;
        EXPECT_EQ(a.screenSaverPreviewWnd, 0) << sw;
    }
}

TEST(CommandLine, OtherSwitchesRunAsAnApplication) {
    for (const char* sw : {"/c:5678", "/S ", "/s2", "", "/c"}) {
        const StartupArgs a = parse(std::string("-stub C:\\x\\menu.scr,\"") + sw + "\"");
        EXPECT_FALSE(a.screenSaver) << '[' << sw << ']';
        EXPECT_EQ(a.cmdLine, "C:\\x\\menu.scr") << sw;
    }
}

TEST(CommandLine, SwitchWithoutClosingQuoteStillCounts) {
    const StartupArgs a = parse("-stub C:\\x\\menu.scr,\"/s");
    EXPECT_TRUE(a.screenSaver);
    EXPECT_EQ(a.screenSaverArgs, "/s");
}

TEST(CommandLine, CommaWithoutQuoteIsPartOfThePath) {
    const StartupArgs a = parse("-stub C:\\a,b\\menu.exe");
    EXPECT_EQ(a.cmdLine, "C:\\a,b\\menu.exe");
    EXPECT_EQ(a.loaderPath, "C:\\a,b\\");
    EXPECT_FALSE(a.screenSaver);
}

TEST(CommandLine, SwitchWithoutPrefixIsNeverRead) {
    const StartupArgs a = parse("/s");
    EXPECT_FALSE(a.screenSaver);
    EXPECT_EQ(a.cmdLine, "/s");
    // No backslash or colon: cutting back leaves nothing, so the program folder stands in.
    EXPECT_EQ(a.loaderPath, kProgramFolder);
}

TEST(CommandLine, EmptyLineUsesTheProgramFolder) {
    const StartupArgs a = parse("");
    EXPECT_EQ(a.cmdLine, "");
    EXPECT_EQ(a.loaderPath, kProgramFolder);
    EXPECT_FALSE(a.screenSaver);
}

TEST(CommandLine, DriveOnlyPathKeepsTheColon) {
    EXPECT_EQ(parse("-stub D:menu.exe").loaderPath, "D:");
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

TEST(CommandLine, HugePreviewNumberSaturates) {
    const StartupArgs a = parse("-stub C:\\x\\m.scr,\"/p 99999999999999999999999\"");
    EXPECT_TRUE(a.screenSaver);
    EXPECT_EQ(a.screenSaverPreviewWnd, INT32_MAX);
}

}  // namespace
}  // namespace lv
