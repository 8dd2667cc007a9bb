// The program's show stage: one show player, the transition registry and the
// playback stage that the viewers play on, with the 50 ms playback tick.
#include "ui/show_stage_win32.h"

#include <optional>

#include "platform/trace.h"
#include "shell/process.h"
#include "show/soundtrack_music.h"
#include "transition/registry.h"

namespace lv {

namespace {

constexpr UINT kTickMs = static_cast<UINT>(kPlaybackTickMs);

struct Stage {
    explicit Stage(const std::string& folder, Registry* registry)
        : player(folder), music(folder), stage(player, folder, registry, timedRuns()) {}

    // Transitions pace themselves on the frame clock's timer thread.
    static RunOptions timedRuns() {
        RunOptions options;
        options.mode = ClockMode::Timed;
        return options;
    }

    ShowPlayer player;
    SoundtrackMusic music;
    PlaybackStage stage;
};

std::optional<Registry> gRegistry;
std::optional<Stage> gStage;
UINT_PTR gTick = 0;

std::uint64_t physicalMemory() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    return GlobalMemoryStatusEx(&status) ? status.ullTotalPhys : 0;
}

void CALLBACK playbackTick(HWND, UINT, UINT_PTR, DWORD) {
    if (gStage) gStage->stage.tickPlaying();
}

}  // namespace

bool startTransitionEngine() {
    RegistryConditions conditions;
    conditions.physicalMemory = physicalMemory();
    conditions.screenWidth = GetSystemMetrics(SM_CXSCREEN);
    conditions.screenHeight = GetSystemMetrics(SM_CYSCREEN);
    gRegistry.emplace();
    gRegistry->build(conditions);
    return true;
}

void stopTransitionEngine() { gRegistry.reset(); }

bool startShowStage() {
    const StartupArgs& args = startupArgs();
    gStage.emplace(args.programFolder, gRegistry ? &*gRegistry : nullptr);
    gStage->stage.setScreenSaver(args.screenSaver, args.screenSaverMode() == 2);
    // A screen saver plays silently; the player then keeps its own silence.
    if (!args.screenSaver) gStage->player.setMusic(&gStage->music);
    gStage->stage.setUp();
    trace("shows: " + std::to_string(gStage->player.numberOfShows()));
    return true;
}

void stopShowStage() {
    stopPlaybackTick();
    // The viewers (script objects) go later and end their playback on the
    // stage, so the stage itself stays to the process's end; the shows and
    // their music go now.
    if (gStage) gStage->player.freeShow();
}

PlaybackStage* playbackStage() { return gStage ? &gStage->stage : nullptr; }

void startPlaybackTick() {
    if (gTick) return;
    gTick = SetTimer(nullptr, 0, kTickMs, playbackTick);
    trace(gTick ? "playback tick: started" : "playback tick: failed");
}

void stopPlaybackTick() {
    if (!gTick) return;
    KillTimer(nullptr, gTick);
    gTick = 0;
    trace("playback tick: stopped");
}

std::unique_ptr<Display> makeShowDisplay(HWND window) {
    // The back buffer, copied through the window's device context, which
    // clips to the parts of the window that are visible. The direct-surface
    // back end writes its whole view into the screen without tracking the
    // windows that cover it (a message box over the viewer would be painted
    // over), and under Wine its frames in a child window never reach the
    // screen.
    std::unique_ptr<WindowDisplay> display = createWindowDisplay(window, true);
    if (display) trace(display->mode() == DisplayMode::DirectSurface ? "show display: direct" : "show display: back buffer");
    return display;
}

std::uint64_t showFramesPresented() { return windowFramesPresented(); }

}  // namespace lv
