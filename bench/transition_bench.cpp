// Transition benchmark: every ready transition at 1920 x 1080 on the memory
// display, stepped through a 2000 ms run at 60 Hz. For each it prints the
// time to begin the run, the median time of one step (one advance of the
// clock), the time per presented frame and the worst step after the first,
// each step and frame also as a
// ratio to the memory floor: a memcpy of one 24-bit frame, measured in the
// same run (a ratio of 1 is as fast as copying the frame once). Times are
// the thread's processor time (see Clock).
//
//     transition_bench                  every ready transition
//     transition_bench --spans          the span-mask kind only
//     transition_bench --block ssBlend  the block kind and the cross-fade
//     transition_bench ssCircle ssWipe  names containing any of these
//     transition_bench --cold ...       the caches emptied before every step
//                                       and before every floor copy
//
// The mask transitions read the demo's masks; a mask the demo lacks is
// stood in for by a generated grey picture (the cost does not depend on
// the picture), in a folder of the run's own. A transition that falls back
// to another (it could not begin) is reported as such, not timed.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <time.h>

#include "bench_clock.h"
#include "codec/byte_stream.h"
#include "codec/jpeg.h"
#include "display/back_buffer_display.h"
#include "render/bitmap.h"
#include "transition/mask_picture.h"
#include "transition/registry.h"
#include "transition/run.h"
#include "transition/span_settings.h"
#include "transition/span_transition.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

using Clock = ThreadClock;
double seconds(Clock::time_point since) { return secondsSince(since); }

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

// The memory floor: one memcpy of a 24-bit frame. It is timed once after
// every step of a run, so that floor and steps see the same load.
class MemoryFloor {
public:
    MemoryFloor() : from_(static_cast<std::size_t>(kWidth) * kHeight * 3, 1), to_(from_.size()) {}
    void measure() {
        const auto start = Clock::now();
        std::memcpy(to_.data(), from_.data(), from_.size());
        times_.push_back(seconds(start));
        from_[times_.size() % from_.size()] = to_[1];  // keep the copy alive
    }
    double median() const { return ::median(times_); }
    void clear() { times_.clear(); }

private:
    std::vector<std::uint8_t> from_, to_;
    std::vector<double> times_;
};

// Writing a buffer twice the size of the last-level cache empties the
// caches of the frame's pictures and of the floor's buffers, so that a step
// and the floor copy both start from memory, as a frame does in the player
// after the work between two refreshes. Without it, a step that touches
// little leaves the floor's buffers cached and the floor looks faster.
class CacheEmptier {
public:
    CacheEmptier() : junk_(64u << 20) {}
    void empty() {
        ++pass_;
        std::memset(junk_.data(), pass_, junk_.size());
    }

private:
    std::vector<std::uint8_t> junk_;
    std::uint8_t pass_ = 0;
};

// A folder holding every mask the span families name: the demo's where it
// has one, else a grey picture of rings (values growing outwards).
std::string maskFolder() {
    namespace fs = std::filesystem;
    std::string folder = (fs::temp_directory_path() / "transition_bench_XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) return LUMAVINE_SOURCE_DIR "/demo/masks/";
    folder += '/';
    lv::BitmapPtr rings = lv::createBitmap("mask", 320, 240, 8);
    for (int y = 0; y < 240; ++y) {
        for (int x = 0; x < 320; ++x) rings->rows[y][x] = static_cast<std::uint8_t>(std::hypot(x - 160, y - 120) * 255 / 200);
    }
    for (const char* name : {"plasma", "star", "swirl", "swirl2", "spiral", "star2", "star3", "brush", "squaret", "waves",
                             "checker", "cwipe", "chekdoor"}) {
        const fs::path demo = fs::path(LUMAVINE_SOURCE_DIR "/demo/masks") / name;
        std::error_code error;
        if (fs::copy_file(demo, folder + name, error)) continue;
        lv::codec::FileStream stream(folder + name, "wb");
        if (stream.ok()) lv::codec::encodeJpeg(stream, *rings, 90);
    }
    return folder;
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

// Which transitions to time: a kind alone with --spans (the span masks) or
// --block (pushes, slides, curtains, bars, paper wipes), and names
// containing one of the other arguments; no arguments time everything.
struct Selection {
    bool spans = false, block = false;
    std::vector<std::string> names;

    bool wants(const lv::RegistryEntry& entry, const std::string& name) const {
        if (!spans && !block && names.empty()) return true;
        if (spans && lv::findSpanFamily(name) != nullptr) return true;
        if (block && isBlockKind(entry.row->kind)) return true;
        return std::any_of(names.begin(), names.end(),
                           [&](const std::string& part) { return name.find(part) != std::string::npos; });
    }
};

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // a line per transition as it finishes
    Selection selection;
    bool cold = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--cold") {
            cold = true;
        } else if (arg == "--spans") {
            selection.spans = true;
        } else if (arg == "--block") {
            selection.block = true;
        } else {
            selection.names.emplace_back(arg);
        }
    }
    lv::Registry registry;
    registry.build(lv::RegistryConditions{});
    const std::string masks = maskFolder();
    lv::setSpanMaskSettings(lv::SpanMaskSettings{masks, false, 1.0});
    const lv::SurfacePtr a = picture(3), b = picture(5);
    std::printf("memory floor: memcpy of one %dx%d 24-bit frame, timed after every step (median)%s\n", kWidth, kHeight,
                cold ? "; caches emptied before every step and every floor copy" : "");
    MemoryFloor memory;
    CacheEmptier caches;
    std::printf("%-22s %9s %9s %9s %7s %9s %7s %6s %9s %7s\n", "transition", "begin ms", "floor ms", "step ms", "x floor",
                "frame ms", "x floor", "frames", "worst ms", "x floor");
    for (int index = 0; index < registry.size(); ++index) {
        if (!registry.entries()[index].built() || !selection.wants(registry.entries()[index], registry.entryName(index))) continue;
        memory.clear();
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
        if (run.entry() != index) {
            std::printf("%-22s fell back to %s\n", registry.entryName(index).c_str(), registry.entryName(run.entry()).c_str());
            continue;
        }
        std::vector<double> steps;
        start = Clock::now();
        while (!run.finished()) {
            auto pause = Clock::now();
            if (cold) caches.empty();
            start += seconds(pause);  // not the transition's time
            const auto step = Clock::now();
            run.advance();
            steps.push_back(seconds(step));
            pause = Clock::now();
            if (cold) caches.empty();
            memory.measure();
            start += seconds(pause);
        }
        const double total = seconds(start);
        const double floor = memory.median();
        const double perFrame = presented > 0 ? total / static_cast<double>(presented) : 0;
        // The first advance primes the pipeline and lays the whole outgoing picture once.
        const double worst = steps.size() > 1 ? *std::max_element(steps.begin() + 1, steps.end()) : 0;
        std::printf("%-22s %9.2f %9.3f %9.3f %7.2f %9.3f %7.2f %6llu %9.3f %7.2f\n", registry.entryName(index).c_str(),
                    begin * 1e3, floor * 1e3, median(steps) * 1e3, median(steps) / floor, perFrame * 1e3, perFrame / floor,
                    static_cast<unsigned long long>(presented), worst * 1e3, worst / floor);
    }
    if (masks.find("transition_bench_") != std::string::npos) std::filesystem::remove_all(masks);
    return 0;
}
