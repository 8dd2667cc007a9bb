// Program entry: start-up, the message loop and shutdown.
//
// Start-up records the command line and the two folders, shows the
// "Initializing..." window while the subsystems start, runs the script's
// `init`, hides the window and enters the loop. Shutdown stops the
// subsystems in reverse order.
#include <windows.h>

#include <string>

#include "platform/clock.h"
#include "platform/trace.h"
#include "render/bitmap_module.h"
#include "render/colour_module.h"
#include "script/objects.h"
#include "script/script_module.h"
#include "shell/command_line.h"
#include "shell/file_services.h"
#include "shell/main_loop.h"
#include "shell/process.h"
#include "shell/process_win32.h"
#include "shell/subsystems.h"
#include "ui/button_win32.h"
#include "ui/control_platform_win32.h"
#include "ui/browse_win32.h"
#include "ui/show_stage_win32.h"
#include "ui/static_win32.h"
#include "ui/top_window_win32.h"

namespace lv {

namespace {

constexpr int kInitWidth = 300;
constexpr int kInitHeight = 60;

class Win32MessageQueue final : public MessageQueue {
public:
    Taken takeAndDispatch() override {
        MSG msg;
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return Taken::Empty;
        if (msg.message == WM_QUIT) return Taken::Quit;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        return Taken::Dispatched;
    }
    void waitForMessage() override { WaitMessage(); }
};

std::string programPath() {
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, length < MAX_PATH ? length : MAX_PATH);
}

// The small window shown while the subsystems start: a push button without
// a caption, centred on the primary screen. A screen saver keeps it hidden.
HWND createInitialisingWindow(bool screenSaver) {
    DWORD style = WS_POPUP | WS_THICKFRAME;
    if (!screenSaver) style |= WS_VISIBLE;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - kInitWidth) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - kInitHeight) / 2;
    HWND window = CreateWindowExA(0, "button", "Initializing...", style, x, y, kInitWidth, kInitHeight, nullptr,
                                  nullptr, moduleInstance(), nullptr);
    if (window && !screenSaver) {
        SendMessageA(window, WM_KILLFOCUS, 0, 0);
        UpdateWindow(window);
    }
    trace(window ? (screenSaver ? "init window: created hidden" : "init window: shown") : "init window: failed");
    return window;
}

void traceStartupArgs(const StartupArgs& args) {
    if (!traceEnabled()) return;
    trace("cmdLine: " + args.cmdLine);
    trace("loaderPath: " + args.loaderPath);
    trace("programFolder: " + args.programFolder);
    trace("screenSaverArgs: " + args.screenSaverArgs);
    trace(std::string("screenSaver: ")
              .append(args.screenSaver ? "1" : "0")
              .append(" preview: ")
              .append(std::to_string(args.screenSaverPreviewWnd)));
}

// Every subsystem's start-up and shutdown, in start-up order.
void addSubsystems(SubsystemSequence& subsystems) {
    subsystems.add("files", startFileServices, stopFileServices);
    subsystems.add("transitions", startTransitionEngine, stopTransitionEngine);
    subsystems.add("colour tables", startColourModule, stopColourModule);
    subsystems.add("objects", startObjectRegistry, stopObjectRegistry);
    subsystems.add("script", startScript, stopScript);
    subsystems.add("bitmaps", startBitmapModule, stopBitmapModule);
    subsystems.add("window", startWindowClass, stopWindowClass);
    subsystems.add("static", startStaticClass, stopStaticClass);
    subsystems.add("button", startButtonClass, stopButtonClass);
    subsystems.add("thumbArea", startThumbAreaClass, stopThumbAreaClass);
    subsystems.add("viewer", startViewerClass, stopViewerClass);
    subsystems.add("show player", startShowStage, stopShowStage);
    subsystems.add("control statements", startControlStatements, [] {});
}

// Runs a start-up label of the script; the trace tells whether it was there.
void runStartupLabel(const char* label) {
    trace(std::string("label: ") + label);
    const int result = scriptEngine().runLabel(label);
    trace(std::string("label ") + label + (result == 0 ? ": ran" : ": none"));
}

void showPointer(bool show) {
    const int count = ShowCursor(show ? TRUE : FALSE);
    trace(std::string(show ? "pointer shown: " : "pointer hidden: ") + std::to_string(count));
}

}  // namespace

int runProgram(HINSTANCE instance, const char* commandLine) {
    setModuleInstance(instance);
    setWindowRecordAtom(GlobalAddAtomA("mini"));

    setStartupArgs(parseCommandLine(commandLine ? commandLine : "", programPath()));
    const StartupArgs& args = startupArgs();
    traceStartupArgs(args);

    HWND initialising = createInitialisingWindow(args.screenSaver);

    SubsystemSequence subsystems;
    addSubsystems(subsystems);
    subsystems.startAll();
    for (const std::string& name : subsystems.failed()) trace("start-up failed: " + name);

    defineStartupStrings(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), args.screenSaverMode());
    trace("functions: " + std::to_string(scriptFunctions().all().size()));
    runStartupLabel("init");
    if (initialising) ShowWindow(initialising, SW_HIDE);
    const bool hidesPointer = args.fullScreenSaver();
    if (hidesPointer) showPointer(false);

    Win32MessageQueue queue;
    MainLoop loop(queue, systemClock(),
                  MainLoopHooks{
                      [] {
                          trace("tick");
                          relayoutThumbArea();
                          objectRegistry().sweep();
                      },
                      [] {
                          // The first roll is read before postInit runs.
                          findRolls();
                          runStartupLabel("postInit");
                      },
                  });
    trace("main loop");
    loop.run();
    trace("quit");

    if (hidesPointer) showPointer(true);
    subsystems.stopAll();
    if (initialising) DestroyWindow(initialising);
    GlobalDeleteAtom(windowRecordAtom());
    trace("shutdown complete");
    return 0;
}

}  // namespace lv

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    return lv::runProgram(instance, commandLine);
}
