#include "shell/command_line.h"

#include "platform/text.h"

namespace lv {

namespace {

constexpr std::string_view kLauncherPrefix = "-stub ";

// Reads a decimal number as the C library's atol does: leading white space,
// one optional sign, digits up to the first non-digit. No digits give 0; a
// value too large for the handle saturates instead of overflowing.
std::intptr_t readSignedNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    constexpr std::int64_t kLimit = INT32_MAX;
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > kLimit) value = kLimit;
    }
    return static_cast<std::intptr_t>(negative ? -value : value);
}

bool isPreviewSwitch(std::string_view args) {
    return args.size() >= 2 && (args[0] == '-' || args[0] == '/') && (args[1] == 'p' || args[1] == 'P');
}

bool isFullScreenSwitch(std::string_view args) {
    return equalsNoCase(args, "-s") || equalsNoCase(args, "/s");
}

// The launcher's part: everything after "-stub ". Takes the screen-saver
// switch off the end of the line and decides the mode.
void readLauncherLine(StartupArgs& args, std::string& loaderPath) {
    const std::size_t comma = args.cmdLine.find(",\"");
    if (comma == std::string::npos) return;

    std::string switches = args.cmdLine.substr(comma + 2);
    if (!switches.empty() && switches.back() == '"') switches.pop_back();
    args.cmdLine.resize(comma);
    loaderPath.resize(comma);

    if (isPreviewSwitch(switches)) {
        std::string_view rest = std::string_view(switches).substr(2);
        while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
        args.screenSaverPreviewWnd = readSignedNumber(rest);
    }
    args.screenSaverArgs = std::move(switches);
    if (args.screenSaverPreviewWnd == 0 && !isFullScreenSwitch(args.screenSaverArgs)) return;
    args.screenSaver = true;
}

std::string cut(std::string text) {
    if (text.size() > StartupArgs::kMaxText) text.resize(StartupArgs::kMaxText);
    return text;
}

}  // namespace

std::string folderOf(std::string_view path) {
    while (!path.empty() && path.back() != '\\' && path.back() != ':') path.remove_suffix(1);
    return std::string(path);
}

StartupArgs parseCommandLine(std::string_view commandLine, std::string_view programPath) {
    StartupArgs args;
    args.cmdLine = std::string(commandLine);
    std::string loaderPath = args.cmdLine;

    if (startsWithNoCase(args.cmdLine, kLauncherPrefix)) {
        args.fromLauncher = true;
        args.cmdLine.erase(0, kLauncherPrefix.size());
        loaderPath.erase(0, kLauncherPrefix.size());
        readLauncherLine(args, loaderPath);
    }

    args.programFolder = cut(folderOf(programPath));
    args.loaderPath = cut(folderOf(loaderPath));
    if (args.loaderPath.empty()) args.loaderPath = args.programFolder;
    args.cmdLine = cut(std::move(args.cmdLine));
    args.screenSaverArgs = cut(std::move(args.screenSaverArgs));
    return args;
}

}  // namespace lv
