// Transition benchmark: every ready transition at 1920 x 1080 on the memory
// display, stepped through a 2000 ms run at 60 Hz. For each it prints the
// time to begin the run, the median time of one step (one advance of the
// clock) and the time per presented frame, each step and frame also as a
// ratio to the memory floor: a memcpy of one 24-bit frame (the median of
// 30), measured again just before each transition so that the ratio sees
// the same state of the machine. The time per frame is processor time (the
// run's processor time over the frames presented): on a shared machine the
// wall-clock total counts every moment the process waited for a core.
//
//     transition_bench                  every ready transition
//     transition_bench --block ssBlend  the block kind and the cross-fade
//     transition_bench Push Slide       names containing "Push" or "Slide"
//
// An argument selects the transitions whose key contains it; "--block"
// selects the block kind (pushes, slides, curtains, bars, paper wipes).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string_view>
#include <vector>

#include "display/back_buffer_display.h"
#include "transition/registry.h"
#include "transition/run.h"
#include "transition/span_settings.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

using Clock = std::chrono::steady_clock;
double seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

double processorSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

lv::SurfacePtr picture(std::uint32_t seed) {
    lv::SurfacePtr s = lv::createSurface(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) s->row(y)[x] = ((x * seed) ^ (y * 77u) ^ (x * y)) & 0xFFFFFF;
    }
    return s;
}

double memoryFloor() {
    std::vector<std::uint8_t> from(static_cast<std::size_t>(kWidth) * kHeight * 3, 1), to(from.size());
    std::vector<double> times;
    for (int i = 0; i < 30; ++i) {
        const auto start = Clock::now();
        std::memcpy(to.data(), from.data(), from.size());
        times.push_back(seconds(start));
        from[static_cast<std::size_t>(i)] = to[static_cast<std::size_t>(i) + 1];  // keep the copy alive
    }
    return median(times);
}

bool isBlockKind(lv::Kind kind) {
    switch (kind) {
    case lv::Kind::Push: case lv::Kind::SplitPush: case lv::Kind::Slide: case lv::Kind::DoubleSlide:
    case lv::Kind::CornerSlide: case lv::Kind::SlideClose: case lv::Kind::SlideOpen: case lv::Kind::SlideCloseCorners:
    case lv::Kind::SlideOpenCorners: case lv::Kind::Curtain: case lv::Kind::IntBars: case lv::Kind::Paper:
        return true;
    default:
        return false;
    }
}

// No arguments select everything.
bool selected(const lv::RegistryEntry& entry, int argc, char** argv) {
    if (argc < 2) return true;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--block" ? isBlockKind(entry.row->kind) : entry.name().find(arg) != std::string_view::npos) {
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    lv::Registry registry;
    registry.build(lv::RegistryConditions{});
    lv::setSpanMaskSettings(lv::SpanMaskSettings{LUMAVINE_SOURCE_DIR "/demo/masks/", false, 1.0});  // the demo's masks
    const lv::SurfacePtr a = picture(3), b = picture(5);
    std::printf("memory floor: memcpy of one %dx%d 24-bit frame, measured before each row\n", kWidth, kHeight);
    std::printf("%-22s %8s %9s %9s %7s %9s %7s %6s\n", "transition", "floor ms", "begin ms", "step ms", "x floor",
                "frame ms", "x floor", "frames");
    for (int index = 0; index < registry.size(); ++index) {
        const lv::RegistryEntry& entry = registry.entries()[index];
        if (!entry.built() || !selected(entry, argc, argv)) continue;
        lv::BackBufferDisplay display(kWidth, kHeight);
        lv::paintIncoming(*a, display);
        std::uint64_t presented = 0;
        display.onPresent = [&](const lv::BackBufferDisplay&) { ++presented; };
        lv::RunOptions options;
        options.refreshHz = 60;
        options.now = [] { return 0.0; };
        lv::TransitionRun run;
        const double floor = memoryFloor();
        auto start = Clock::now();
        if (run.start(registry, *a, *b, display, index, 2000, options) != 0) continue;
        const double begin = seconds(start);
        std::vector<double> steps;
        const double processorStart = processorSeconds();
        while (!run.finished()) {
            const auto step = Clock::now();
            run.advance();
            steps.push_back(seconds(step));
        }
        const double total = processorSeconds() - processorStart;
        const double perFrame = presented > 0 ? total / static_cast<double>(presented) : 0;
        std::printf("%-22s %8.3f %9.2f %9.3f %7.2f %9.3f %7.2f %6llu\n", registry.entryName(index).c_str(), floor * 1e3,
                    begin * 1e3,
                    median(steps) * 1e3, median(steps) / floor, perFrame * 1e3, perFrame / floor,
                    static_cast<unsigned long long>(presented));
    }
    return 0;
}
