// Piece transitions at 1920 x 1080: the time to begin (planning the pieces
// and computing every frame) and the time of each step (painting the stored
// commands into the memory display), against the memory floor: a memcpy of
// one frame of the display's buffer, measured in the same run. Prints, per
// transition, begin in ms, the mean and the slowest step, and the slowest
// step as a multiple of the floor (goal: begin within 100 ms, steps within 2x).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "display/back_buffer_display.h"
#include "transition/catalogue.h"
#include "transition/families.h"
#include "transition/frame_clock.h"
#include "transition/random_source.h"
#include "transition/surface.h"

namespace {

constexpr std::int32_t kWidth = 1920, kHeight = 1080;
constexpr int kRepeats = 3;

double now() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

lv::SurfacePtr picture(std::uint32_t seed) {
    lv::SurfacePtr s = lv::createSurface(kWidth, kHeight);
    for (std::int32_t y = 0; y < kHeight; ++y)
        for (std::int32_t x = 0; x < kWidth; ++x) s->row(y)[x] = ((x * 7 + y * 3) ^ (seed * 0x9E3779u)) & 0xFFFFFF;
    return s;
}

struct NoSink : lv::StepSink {
    void markPainted() override {}
};

// The fastest of several copies of one display frame (24 bits, rows padded).
double memoryFloor() {
    const std::size_t bytes = static_cast<std::size_t>(lv::paddedRowBytes(kWidth, 3)) * kHeight;
    std::vector<std::uint8_t> from(bytes, 1), to(bytes, 0);
    double best = 1e9;
    for (int i = 0; i < 20; ++i) {
        const double t0 = now();
        std::memcpy(to.data(), from.data(), bytes);
        best = std::min(best, now() - t0);
        from[static_cast<std::size_t>(i)] = to[bytes - 1 - static_cast<std::size_t>(i)];
    }
    return best;
}

}  // namespace

int main() {
    lv::SurfacePtr a = picture(1), b = picture(2);
    const double floor = memoryFloor();
    std::printf("memory floor (memcpy of one %dx%d frame): %.3f ms\n", kWidth, kHeight, floor * 1000);
    std::printf("%-24s %9s %7s %10s %10s %8s %8s\n", "transition", "begin ms", "frames", "mean ms", "max ms", "mean/fl", "max/fl");
    double worstBegin = 0, worstRatio = 0;
    for (const lv::CatalogueRow& row : lv::catalogue()) {
        if (row.kind != lv::Kind::Piece) continue;
        // Each run is repeated and every time taken as its best, so that the
        // other programs on the machine do not count.
        double begin = 1e9;
        std::vector<double> steps;
        for (int repeat = 0; repeat < kRepeats; ++repeat) {
            lv::BackBufferDisplay display(kWidth, kHeight);
            lv::CRandom random(1);
            NoSink sink;
            lv::TransitionPtr t = lv::makePieceTransition(row);
            t->useRandom(random);
            const double b0 = now();
            t->begin(*a, *b, display, sink);
            begin = std::min(begin, now() - b0);
            const std::int64_t total = t->describe().steps;
            const std::int32_t refresh = display.outputs().front().refreshHz;
            for (std::int64_t k = 0;; ++k) {
                const std::int64_t frame = lv::FrameClock::frameFor(k, 2000, refresh, total);
                const double s0 = now();
                t->step(t->mapFrame(frame).value_or(frame), false);
                const double step = now() - s0;
                if (steps.size() <= static_cast<std::size_t>(k)) steps.push_back(step);
                steps[static_cast<std::size_t>(k)] = std::min(steps[static_cast<std::size_t>(k)], step);
                if (lv::FrameClock::frameFor(k, 2000, refresh, 1000) >= 1000) break;
            }
            t->end();
        }
        // The first step paints nothing and the second lays the whole outgoing picture.
        double sum = 0, slowest = 0;
        int frames = 0;
        for (std::size_t k = 2; k < steps.size(); ++k, ++frames) {
            if (std::getenv("PIECE_BENCH_TRACE") != nullptr) std::printf("  step %zu: %.3f ms\n", k, steps[k] * 1000);
            sum += steps[k];
            slowest = std::max(slowest, steps[k]);
        }
        const double mean = frames > 0 ? sum / frames : 0;
        std::printf("%-24s %9.2f %7d %10.3f %10.3f %8.2f %8.2f\n", std::string(row.name).c_str(), begin * 1000, frames,
                    mean * 1000, slowest * 1000, mean / floor, slowest / floor);
        worstBegin = std::max(worstBegin, begin);
        worstRatio = std::max(worstRatio, slowest / floor);
    }
    std::printf("slowest begin %.2f ms (goal 100), slowest step %.2fx the floor (goal 2)\n", worstBegin * 1000, worstRatio);
    return 0;
}
