// Shared pieces of the transition tests: patterned surfaces, a memory
// display that records every presented frame, and a stepped run driven to
// its end.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "display/back_buffer_display.h"
#include "display/pixel_format.h"
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

// One output per rectangle of the window, each of its own format, its bytes
// kept (all `fill` at first): a window split over monitors of different depths.
class OutputsDisplay : public Display {
public:
    OutputsDisplay(std::int32_t width, std::int32_t height, const std::vector<std::pair<Rect, PixelFormat>>& parts,
                   std::uint8_t fill = 0) {
        clientWidth_ = width;
        clientHeight_ = height;
        view_ = Rect{0, 0, width, height};
        for (const auto& [monitor, format] : parts) {
            outputs_.push_back(DisplayOutput{monitor, format, format.bytesPerPixel * 8});
            bytes.emplace_back(static_cast<std::size_t>(monitor.width) * monitor.height * format.bytesPerPixel, fill);
        }
    }
    bool lock(std::vector<LockedOutput>& outputs) override {
        outputs.clear();
        for (std::size_t i = 0; i < outputs_.size(); ++i) {
            const DisplayOutput& o = outputs_[i];
            const std::int32_t pitch = o.monitor.width * o.format.bytesPerPixel;
            outputs.push_back(LockedOutput{o.monitor, bytes[i].data(), pitch, &o.format});
        }
        return true;
    }
    void unlockAndPresent() override {}
    void waitForFrame() override {}
    int blit(const OffscreenSurface&, const Rect&, const Rect&) override { return 1; }
    int fillBlack(const Rect&) override { return 1; }

    // The window as engine pixels read back from each output.
    std::vector<std::uint32_t> snapshot() const {
        std::vector<std::uint32_t> out(static_cast<std::size_t>(clientWidth_) * clientHeight_);
        for (std::size_t i = 0; i < outputs_.size(); ++i) {
            const DisplayOutput& o = outputs_[i];
            const std::size_t pitch = static_cast<std::size_t>(o.monitor.width) * o.format.bytesPerPixel;
            for (std::int32_t y = 0; y < o.monitor.height; ++y)
                loadPixels(o.format, bytes[i].data() + pitch * y, o.monitor.width,
                           out.data() + static_cast<std::size_t>(o.monitor.top + y) * clientWidth_ + o.monitor.left);
        }
        return out;
    }
    // A window of engine pixels as these outputs would show it.
    std::vector<std::uint32_t> reduced(std::vector<std::uint32_t> pixels) const {
        std::vector<std::uint8_t> bytes(4);
        for (const DisplayOutput& o : outputs_) {
            for (std::int32_t y = o.monitor.top; y < o.monitor.bottom(); ++y) {
                for (std::int32_t x = o.monitor.left; x < o.monitor.right(); ++x) {
                    std::uint32_t& p = pixels[static_cast<std::size_t>(y) * clientWidth_ + x];
                    storePixels(o.format, &p, 1, bytes.data());
                    loadPixels(o.format, bytes.data(), 1, &p);
                }
            }
        }
        return pixels;
    }

    std::vector<std::vector<std::uint8_t>> bytes;
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

// A stepped run of one registry entry on a memory display at `refresh` Hz;
// with `showOutgoing` the display first shows the outgoing picture, as the
// player's window does.
class SteppedRun : public ::testing::Test {
protected:
    void start(std::string_view name, SurfacePtr outgoing, SurfacePtr incoming, std::int32_t durationMs = -1,
               std::int32_t refresh = 60, bool showOutgoing = true) {
        a = std::move(outgoing);
        b = std::move(incoming);
        screen = std::make_unique<RecordingDisplay>(a->width, a->height);
        if (showOutgoing) paintIncoming(*a, screen->display);
        screen->frames.clear();
        RunOptions options;
        options.refreshHz = refresh;
        options.now = [] { return 0.0; };
        const int index = registry.findName(name);
        ASSERT_GE(index, 0) << name;
        ASSERT_EQ(run.start(registry, *a, *b, screen->display, index, durationMs, options), 0) << name;
        ASSERT_EQ(run.entry(), index) << name;
    }
    const std::vector<std::uint32_t>& last() const { return screen->frames.back(); }

    Registry registry = fullRegistry();
    SurfacePtr a, b;
    std::unique_ptr<RecordingDisplay> screen;
    TransitionRun run;
};

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
