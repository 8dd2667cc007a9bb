// An hour of shows, headless: the demo set (intro, then every show in a
// loop by "Loop All" from the menu) played by the viewer's playback on a
// fake clock and a 1024 x 768 memory display, with stepped transitions that
// the fake clock advances one frame per refresh. The fake clock moves 50 ms
// per tick and runs as fast as the work allows; what is real is the work:
// rendering cells, the menu and every transition frame.
//
// Reports pictures shown, pictures late (shown more than one tick past
// their due time), the worst tick's real work time against the tick's
// 49 ms budget, and the process's memory (RSS) and open file descriptors at
// the start, after warm-up and at the end. Fails (exit 1) when memory grows
// by more than kGrowthBoundKiB after warm-up, or descriptors grow at all.
#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "display/back_buffer_display.h"
#include "show/show_playback.h"

namespace {

constexpr int kWidth = 1024, kHeight = 768;
constexpr std::int64_t kHourMs = 60LL * 60 * 1000;
constexpr std::int64_t kWarmUpMs = 5LL * 60 * 1000;
constexpr std::int64_t kHalfHourMs = 30LL * 60 * 1000;
constexpr long kGrowthBoundKiB = 8 * 1024;

long residentKiB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

int openDescriptors() {
    int count = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (const dirent* entry = readdir(dir))
            if (entry->d_name[0] != '.') ++count;
        closedir(dir);
        --count;  // the listing's own
    }
    return count;
}

class FakeClock final : public lv::Clock {
public:
    std::uint32_t now = 1000;
    std::uint32_t milliseconds() override { return now; }
};

// The viewer: a fixed window, pictures counted and dropped.
class BenchViewer final : public lv::PlaybackHost {
public:
    explicit BenchViewer(FakeClock& clock) : clock_(clock) {}
    std::int64_t shown = 0;
    std::uint32_t now() override { return clock_.now; }
    lv::PictureSize drawingSize() override { return {kWidth, kHeight}; }
    void showPicture(lv::BitmapPtr, const std::string& name) override {
        ++shown;
        path_ = name;
    }
    bool hasBasePicture() override { return true; }
    lv::PictureSize currentPictureSize() override { return {kWidth, kHeight}; }
    std::string picturePath() override { return path_; }
    void restorePicture(const std::string& path) override { path_ = path; }
    void refitZoom() override {}
    void updateWindow() override {}
    void beep() override {}
    void postQuit() override {}
    bool savePrompt() override { return true; }
    std::unique_ptr<lv::Display> makeDisplay() override {
        return std::make_unique<lv::BackBufferDisplay>(kWidth, kHeight);
    }
    void startTick() override {}
    void stopTick() override {}

private:
    FakeClock& clock_;
    std::string path_ = "photo.jpg";
};

struct Figures {
    long rssKiB;
    int descriptors;
};
Figures measure() { return {residentKiB(), openDescriptors()}; }

}  // namespace

int main() {
    const std::string folder = std::string(LUMAVINE_SOURCE_DIR) + "/demo/";
    const Figures atStart = measure();

    FakeClock clock;
    BenchViewer viewer(clock);
    lv::Registry registry;
    registry.build(lv::RegistryConditions{});
    lv::CRandom random(1);
    lv::RunOptions options;
    options.random = &random;
    options.now = [&clock] { return clock.now * 0.001; };
    // Cell pictures are named relative to the program's folder.
    lv::ShowPlayer player(folder, lv::CellRenderer([&folder](const std::string& name) {
                              return lv::decodeCellPicture(folder + name);
                          }),
                          &clock);
    lv::PlaybackStage stage(player, folder, &registry, options);
    stage.setUp();
    lv::ShowPlayback playback(stage, viewer);

    // The intro, then the menu; then "Loop All" is typed (N + 1, Enter).
    playback.setActive(1);
    bool loopChosen = false;
    std::int64_t late = 0, shownAtWarmUp = 0;
    double worstTickMs = 0, totalTickMs = 0;
    std::int64_t ticks = 0, overBudget = 0;
    Figures atWarmUp{}, atHalfHour{};
    const auto began = std::chrono::steady_clock::now();
    for (std::int64_t t = 0; t < kHourMs; t += lv::kPlaybackTickMs) {
        clock.now += lv::kPlaybackTickMs;
        if (!playback.active() && !loopChosen) {
            for (char digit : std::to_string(player.numberOfShows() + 1)) playback.key(lv::kKeyDigit0 + (digit - '0'));
            playback.key(lv::kKeyEnter);
            loopChosen = true;
        }
        const auto tickStart = std::chrono::steady_clock::now();
        playback.checkTypedNumber();
        const lv::TickReport report = playback.tick();
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - tickStart).count();
        worstTickMs = std::max(worstTickMs, ms);
        totalTickMs += ms;
        ++ticks;
        if (ms > lv::kTickBudgetMs) ++overBudget;
        late += report.picturesLate;
        if (t + lv::kPlaybackTickMs >= kHalfHourMs && t < kHalfHourMs) atHalfHour = measure();
        if (t + lv::kPlaybackTickMs >= kWarmUpMs && t < kWarmUpMs) {
            atWarmUp = measure();
            shownAtWarmUp = viewer.shown;
        }
    }
    const double realSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    const Figures atEnd = measure();

    std::printf("player_bench: one hour of the demo set (%d shows, mode %d) at %d x %d on a fake clock\n",
                player.numberOfShows(), player.playMode(), kWidth, kHeight);
    std::printf("  pictures shown          %lld (%lld after warm-up)\n", static_cast<long long>(viewer.shown),
                static_cast<long long>(viewer.shown - shownAtWarmUp));
    std::printf("  pictures late (> 50 ms) %lld\n", static_cast<long long>(late));
    std::printf("  worst tick, real work   %.1f ms (budget %d ms, ratio %.2f)\n", worstTickMs, lv::kTickBudgetMs,
                worstTickMs / lv::kTickBudgetMs);
    std::printf("  ticks over budget       %lld of %lld (mean tick %.2f ms)\n", static_cast<long long>(overBudget),
                static_cast<long long>(ticks), totalTickMs / static_cast<double>(std::max<std::int64_t>(ticks, 1)));
    std::printf("  real time for the hour  %.1f s\n", realSeconds);
    std::printf("  RSS KiB                 start %ld, after warm-up (5 min) %ld, 30 min %ld, end %ld\n",
                atStart.rssKiB, atWarmUp.rssKiB, atHalfHour.rssKiB, atEnd.rssKiB);
    std::printf("  open descriptors        start %d, after warm-up %d, end %d\n", atStart.descriptors,
                atWarmUp.descriptors, atEnd.descriptors);
    const bool memoryHeld = atEnd.rssKiB - atWarmUp.rssKiB <= kGrowthBoundKiB;
    const bool descriptorsHeld = atEnd.descriptors <= atWarmUp.descriptors;
    const bool played = playback.active() && player.playMode() == lv::kPlayAllLooped;
    if (!memoryHeld) std::printf("FAIL: memory grew by more than %ld KiB after warm-up\n", kGrowthBoundKiB);
    if (!descriptorsHeld) std::printf("FAIL: descriptors leaked\n");
    if (!played) std::printf("FAIL: not playing all shows in a loop at the end\n");
    return memoryHeld && descriptorsHeld && played ? 0 : 1;
}
