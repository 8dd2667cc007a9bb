// Shared pieces of the transition tests: patterned surfaces, a memory
// display that records every presented frame, and a stepped run driven to
// its end.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "display/back_buffer_display.h"
#include "transition/catalogue.h"
#include "transition/registry.h"
#include "transition/run.h"
#include "transition/surface.h"

namespace lv::test {

// A window-sized surface whose picture (at `picture`) carries a pattern that
// differs per seed, so that no two surfaces share a pixel value by chance.
inline SurfacePtr patternSurface(std::int32_t width, std::int32_t height, const Rect& picture, std::uint32_t seed) {
    SurfacePtr surface = createSurface(width, height);
    surface->picture = picture;
    for (std::int32_t y = picture.top; y < picture.bottom(); ++y) {
        for (std::int32_t x = picture.left; x < picture.right(); ++x) {
            std::uint32_t v = (static_cast<std::uint32_t>(x) * 2654435761u) ^ (static_cast<std::uint32_t>(y) * 40503u) ^ (seed * 97u);
            surface->row(y)[x] = (v & 0x00FFFFFFu) | 0x00010101u;  // never black, so black shows
        }
    }
    return surface;
}

inline SurfacePtr fullPattern(std::int32_t width, std::int32_t height, std::uint32_t seed) {
    return patternSurface(width, height, Rect{0, 0, width, height}, seed);
}

// Records every presented frame of a memory display.
struct RecordingDisplay {
    explicit RecordingDisplay(std::int32_t width, std::int32_t height) : display(width, height) {
        display.onPresent = [this](const BackBufferDisplay& d) { frames.push_back(d.snapshot()); };
    }
    BackBufferDisplay display;
    std::vector<std::vector<std::uint32_t>> frames;
};

// A display whose lock gives nothing once (at lock number `failAt`, or the
// next one after `failNext` is set), and which then shows garbage, as a
// window covered and uncovered would.
class FlakyDisplay : public BackBufferDisplay {
public:
    using BackBufferDisplay::BackBufferDisplay;
    int failAt = -1;
    int locks = 0;
    bool failNext = false;
    bool lock(std::vector<LockedOutput>& outputs) override {
        if (locks++ != failAt && !failNext) return BackBufferDisplay::lock(outputs);
        failNext = false;
        for (std::int32_t y = 0; y < bufferHeight(); ++y) std::fill(writableRow(y), writableRow(y) + rowBytes(), 0xFF);
        outputs.clear();
        return false;
    }
};

struct CountingSink : StepSink {
    int painted = 0;
    void markPainted() override { ++painted; }
};

inline const CatalogueRow& catalogueRow(std::string_view name) {
    for (const CatalogueRow& row : catalogue()) {
        if (row.name == name) return row;
    }
    ADD_FAILURE() << "no catalogue row " << name;
    return catalogue()[0];
}

inline Registry fullRegistry() {
    Registry registry;
    registry.build(RegistryConditions{});
    return registry;
}

// Drives a stepped run to its end; false when it did not finish within `limit` advances.
inline bool runToEnd(TransitionRun& run, int limit = 100000) {
    for (int i = 0; i < limit && !run.finished(); ++i) run.advance();
    return run.finished();
}

// Runs registry entry `name` from `a` to `b` on `display` for at most
// `advances` steps, calling `beforeStep(i, run)` ahead of step i; returns
// every presented frame.
inline std::vector<std::vector<std::uint32_t>> engineFrames(
    std::string_view name, BackBufferDisplay& display, const Surface& a, const Surface& b, std::int32_t durationMs,
    const RunOptions& options = {}, int advances = 1 << 30,
    const std::function<void(int, TransitionRun&)>& beforeStep = {}) {
    Registry registry = fullRegistry();
    std::vector<std::vector<std::uint32_t>> frames;
    display.onPresent = [&](const BackBufferDisplay& d) { frames.push_back(d.snapshot()); };
    TransitionRun run;
    EXPECT_EQ(run.start(registry, a, b, display, registry.findName(name), durationMs, options), 0) << name;
    EXPECT_EQ(registry.entryName(run.entry()), name);
    for (int i = 0; i < advances && !run.finished(); ++i) {
        if (beforeStep) beforeStep(i, run);
        run.advance();
    }
    if (run.finished()) run.end();
    display.onPresent = nullptr;
    return frames;
}

// Steps a started run to its end and hands every presented frame but the
// last to `check`, with the number of the frame it shows. Stops at the first
// failure; returns how many frames were checked.
template <class Check>
int checkPaintedFrames(TransitionRun& run, const RecordingDisplay& screen, Check check) {
    run.advance();
    int checked = 0;
    while (!run.finished() && !::testing::Test::HasFailure()) {
        const std::int64_t painted = run.clock()->currentFrame();  // painted by the next step
        run.advance();
        if (run.finished()) break;
        check(screen.frames.back(), painted);
        ++checked;
    }
    return checked;
}

}  // namespace lv::test
