// lumavine-tool script: loads the scripts of a folder as the player does and
// runs labels headlessly, for script authors and tests.
//
//   lumavine-tool script DIR [--launcher PATH] [--screen-saver 0|1|2] [--label NAME]... [--dump] [--lint] [--trace] [--render NAME OUT.ppm]
//
// --render NAME OUT.ppm|OUT.png writes the bitmap object NAME after the labels
// ran (PGM for 8 bits; PNG by the name's extension; "-" is standard output). Without windows, the text statement draws with a small
// built-in fixed font, not the fonts of Windows.
//
// Output lines (tab-separated):
//   messagebox CAPTION TEXT     a message box the script would have shown
//   exit                        the label exit ran (no later label runs)
//   trace FUNCTION LINE TEXT    with --trace: every executed line
//   NAME TYPE TEXT              with --dump: every live object; TEXT is a
//                               string's text, a bitmap's size (12x7x24) or
//                               a control's rectangle (left,top,right,bottom)
//   FILE:LINE: MESSAGE          with --lint: what the lint found
// Labels run by default: init, then postInit. screen_width and screen_height
// are 1024 and 768; screen_saver is 0, or the mode --screen-saver gives (1
// full screen, 2 preview: the script runs as the screen saver would run it). A run ends after 10,000,000 lines (a script that loops
// for ever); that is reported on stderr.
#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "picture_file.h"
#include "platform/host.h"
#include "platform/program_control.h"
#include "render/bitmap_object.h"
#include "render/image_statements.h"
#include "render/pnm.h"
#include "script/control_statements.h"
#include "script/keywords.h"
#include "script/lint.h"
#include "script/objects.h"
#include "script/script_loader.h"
#include "script/script_module.h"
#include "script/stand_in_controls.h"
#include "shell/process.h"
#include "tool_command.h"

namespace lv::tool {

namespace {

constexpr std::uint64_t kStepBudget = 10'000'000;

struct Options {
    std::string folder;
    std::string launcher;
    std::vector<std::string> labels;
    int screenSaverMode = 0;
    bool dump = false, lint = false, trace = false;
    std::string renderName, renderPath;  // --render NAME OUT.ppm
};

class PrintingHost final : public Host {
public:
    int messageBox(std::string_view text, std::string_view caption, unsigned) override {
        std::printf("messagebox\t%.*s\t%.*s\n", static_cast<int>(caption.size()), caption.data(),
                    static_cast<int>(text.size()), text.data());
        return kAnswerOk;
    }
    void beep(unsigned) override {}
};

class PrintingControl final : public ProgramControl {
public:
    bool quit = false;
    void postQuit(int) override {
        std::printf("exit\n");
        quit = true;
    }
    void focusWindow(std::intptr_t) override {}
};

// Writes the named bitmap object as PNG by the name, else PPM (PGM for 8 bits).
int render(ObjectRegistry& objects, const Options& options) {
    const Bitmap* bitmap = bitmapObject(objects, options.renderName);
    if (!bitmap) {
        std::fprintf(stderr, "lumavine-tool: no bitmap object named %s\n", options.renderName.c_str());
        return 1;
    }
    std::string error;
    if (!tool::savePicture(*bitmap, options.renderPath, error)) {
        std::fprintf(stderr, "lumavine-tool: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

bool parse(Args args, Options& options) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--launcher" && hasValue) options.launcher = args[++i];
        else if (arg == "--label" && hasValue) options.labels.emplace_back(args[++i]);
        else if (arg == "--screen-saver" && hasValue) {
            const std::string_view mode = args[++i];
            if (mode != "0" && mode != "1" && mode != "2") return false;
            options.screenSaverMode = mode[0] - '0';
        }
        else if (arg == "--dump") options.dump = true;
        else if (arg == "--lint") options.lint = true;
        else if (arg == "--trace") options.trace = true;
        else if (arg == "--render" && i + 2 < args.size()) {
            options.renderName = args[++i];
            options.renderPath = args[++i];
        }
        else if (!arg.starts_with("--") && options.folder.empty()) options.folder = arg;
        else return false;
    }
    if (options.folder.empty()) return false;
    if (options.labels.empty()) options.labels = {"init", "postInit"};
    const char last = options.folder.back();
    if (last != '/' && last != '\\') options.folder += '/';
    return true;
}

std::string objectText(ObjectRegistry& objects, const ObjectRegistry::Object& object) {
    if (const auto* bitmap = dynamic_cast<const BitmapInstance*>(object.instance.get()); bitmap && bitmap->bitmap)
        return std::to_string(bitmap->bitmap->width) + "x" + std::to_string(bitmap->bitmap->height) + "x" +
               std::to_string(bitmap->bitmap->depth);
    if (const auto* control = dynamic_cast<const StandInControl*>(object.instance.get())) {
        const StandInControl::Rect r = control->rect();
        return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
               std::to_string(r.bottom);
    }
    return objects.get(object.name, kwText).value_or("");
}

void dump(ObjectRegistry& objects) {
    for (const auto& object : objects.objects()) {
        if (object->dead()) continue;
        std::printf("%s\t%s\t%s\n", object->name.c_str(), object->type->name().c_str(),
                    objectText(objects, *object).c_str());
    }
}

void printTraceLine(const ScriptFunction& function, std::size_t offset) {
    const std::string_view body = function.body;
    std::size_t end = offset;
    while (end < body.size() && body[end] != '\n') ++end;
    std::printf("trace\t%s\t%d\t%.*s\n", function.name.c_str(), function.sourceLine(offset),
                static_cast<int>(end - offset), body.data() + offset);
}

int lint(DiskScriptFiles& disk, const LoadReport& report) {
    std::vector<ScriptText> texts;
    for (const std::string& file : report.filesRead)
        if (auto text = disk.readWhole(file)) texts.push_back({file, std::move(*text)});
    const auto findings = lintScript(scriptFunctions(), report, texts);
    for (const LintFinding& f : findings) std::printf("%s:%d: %s\n", f.file.c_str(), f.line, f.message.c_str());
    return findings.empty() ? 0 : 1;
}

int runScript(Args args) {
    Options options;
    if (!parse(args, options)) {
        return 2;
    }
    StartupArgs startup;
    startup.cmdLine = options.launcher;
    startup.fromLauncher = !options.launcher.empty();
    startup.loaderPath = options.folder;
    startup.programFolder = options.folder;
    // A preview runs inside a window the system gives; headless there is none,
    // so a stand-in handle marks the mode.
    startup.screenSaver = options.screenSaverMode != 0;
    startup.screenSaverPreviewWnd = options.screenSaverMode == 2 ? 1 : 0;
    setStartupArgs(startup);

    PrintingHost host;
    PrintingControl control;
    setHost(&host);
    setProgramControl(&control);

    ObjectRegistry& objects = objectRegistry();
    startObjectRegistry();
    objects.registerType(bitmapType());
    registerStandInControls(objects);
    installImageStatements(scriptEngine());
    StandInControlPlatform controls;
    installControlStatements(scriptEngine(), controls);

    DiskScriptFiles disk;
    LoadReport report;
    loadScript(scriptFunctions(), disk, options.folder, options.launcher, &report);
    defineStartupStrings(1024, 768, startup.screenSaverMode());

    ScriptEngine& engine = scriptEngine();
    engine.setStepBudget(kStepBudget);
    if (options.trace) engine.setLineHook(printTraceLine);
    for (const std::string& label : options.labels) {
        if (control.quit) break;
        engine.runLabel(label);
        if (engine.lastRunCut()) std::fprintf(stderr, "lumavine-tool: run of %s cut short\n", label.c_str());
    }
    objects.sweep();
    if (options.dump) dump(objects);
    int result = options.lint ? lint(disk, report) : 0;
    if (!options.renderName.empty()) result = std::max(result, render(objects, options));

    setHost(nullptr);
    setProgramControl(nullptr);
    std::fflush(stdout);
    return result;
}

const ToolCommand command{"script", "DIR [--launcher PATH] [--screen-saver 0|1|2] [--label NAME]... [--dump] [--lint] [--trace] [--render NAME OUT.ppm|OUT.png]",
                          "run a folder's scripts headlessly; text draws in a built-in font", runScript};

}  // namespace

}  // namespace lv::tool
