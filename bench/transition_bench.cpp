// Transition benchmark: every ready transition at 1920 x 1080 on the memory
// display, stepped through a 2000 ms run at 60 Hz. For each it prints the
// time to begin the run, the median time of one step (one advance of the
// clock) and the time per presented frame, each step and frame also as a
// ratio to the memory floor: a memcpy of one 24-bit frame, measured in the
// same run (a ratio of 1 is as fast as copying the frame once).
//
//     transition_bench                  every ready transition
//     transition_bench --spans          the span-mask kind only
//     transition_bench ssCircle ssWipe  names containing any of these
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "display/back_buffer_display.h"
#include "transition/registry.h"
#include "transition/run.h"
#include "transition/span_settings.h"
#include "transition/span_transition.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

using Clock = std::chrono::steady_clock;
double seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

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

// Which transitions to time: the span-mask kind only with --spans, and
// only names containing one of the other arguments when there are any.
struct Selection {
    bool spansOnly = false;
    std::vector<std::string> names;

    bool wants(const std::string& name) const {
        if (spansOnly && lv::findSpanFamily(name) == nullptr) return false;
        if (names.empty()) return true;
        return std::any_of(names.begin(), names.end(),
                           [&](const std::string& part) { return name.find(part) != std::string::npos; });
    }
};

}  // namespace

int main(int argc, char** argv) {
    Selection selection;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--spans") {
            selection.spansOnly = true;
        } else {
            selection.names.emplace_back(arg);
        }
    }
    lv::Registry registry;
    registry.build(lv::RegistryConditions{});
    lv::setSpanMaskSettings(lv::SpanMaskSettings{LUMAVINE_SOURCE_DIR "/demo/masks/", false, 1.0});  // the demo's masks
    const lv::SurfacePtr a = picture(3), b = picture(5);
    const double floor = memoryFloor();
    std::printf("memory floor (memcpy of one %dx%d 24-bit frame): %.3f ms\n", kWidth, kHeight, floor * 1e3);
    std::printf("%-22s %9s %9s %7s %9s %7s %6s\n", "transition", "begin ms", "step ms", "x floor", "frame ms", "x floor",
                "frames");
    for (int index = 0; index < registry.size(); ++index) {
        if (!registry.entries()[index].built() || !selection.wants(registry.entryName(index))) continue;
        lv::BackBufferDisplay display(kWidth, kHeight);
        lv::paintIncoming(*a, display);
        std::uint64_t presented = 0;
        display.onPresent = [&](const lv::BackBufferDisplay&) { ++presented; };
        lv::RunOptions options;
        options.refreshHz = 60;
        options.now = [] { return 0.0; };
        lv::TransitionRun run;
        auto start = Clock::now();
        if (run.start(registry, *a, *b, display, index, 2000, options) != 0) continue;
        const double begin = seconds(start);
        std::vector<double> steps;
        start = Clock::now();
        while (!run.finished()) {
            const auto step = Clock::now();
            run.advance();
            steps.push_back(seconds(step));
        }
        const double total = seconds(start);
        const double perFrame = presented > 0 ? total / static_cast<double>(presented) : 0;
        std::printf("%-22s %9.2f %9.3f %7.2f %9.3f %7.2f %6llu\n", registry.entryName(index).c_str(), begin * 1e3,
                    median(steps) * 1e3, median(steps) / floor, perFrame * 1e3, perFrame / floor,
                    static_cast<unsigned long long>(presented));
    }
    return 0;
}
