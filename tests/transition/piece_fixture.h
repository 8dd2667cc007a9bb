// Shared pieces of the piece-transition tests: two pictures whose every
// pixel is told apart (A red-heavy, B blue-heavy, none black), a memory
// display, and a driver that steps a transition frame by frame the way the
// frame clock does, without the final step's whole incoming picture.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "display/back_buffer_display.h"
#include "transition/catalogue.h"
#include "transition/families.h"
#include "transition/frame_clock.h"
#include "transition/piece_recipes.h"
#include "transition/random_source.h"
#include "transition/surface.h"
#include "transition_fixture.h"

namespace lv::test {

// Every pixel distinct within its picture and between the two pictures.
inline SurfacePtr piecePattern(std::int32_t windowWidth, std::int32_t windowHeight, const Rect& picture, bool second) {
    SurfacePtr s = createSurface(windowWidth, windowHeight);
    s->picture = picture;
    for (std::int32_t y = picture.top; y < picture.bottom(); ++y) {
        for (std::int32_t x = picture.left; x < picture.right(); ++x) {
            const std::uint32_t place = static_cast<std::uint32_t>(((y - picture.top) * 97 + (x - picture.left)) & 0x3FFF);
            s->row(y)[x] = (second ? 0x00100000u : 0x00C00000u) | (place << 2) | (second ? 1u : 2u);
        }
    }
    return s;
}

// One piece transition on a memory display of the window's size.
class PieceDriver {
public:
    PieceDriver(const std::string& name, std::int32_t windowWidth, std::int32_t windowHeight, const Rect& pictureA,
                const Rect& pictureB, std::uint32_t seed = 1, std::int32_t durationMs = -1)
        : display(windowWidth, windowHeight), random(seed), durationMs_(durationMs) {
        a = piecePattern(windowWidth, windowHeight, pictureA, false);
        b = piecePattern(windowWidth, windowHeight, pictureB, true);
        transition = makePieceTransition(catalogueRow(name));
        transition->useRandom(random);
        ClockParameters p;
        p.durationMs = durationMs;
        transition->setParameters(p);
        begun = transition->begin(*a, *b, display, sink);
        total = transition->describe().steps;
    }

    // The time the clock hands over at tick k, at `refreshHz`.
    std::int64_t timeAt(std::int64_t k, std::int32_t refreshHz) const {
        const std::int64_t duration = durationMs_ == -1 ? 2000 : durationMs_;
        const std::int64_t frame = FrameClock::frameFor(k, duration, refreshHz, total);
        return transition->mapFrame(frame).value_or(frame);
    }
    bool lastTick(std::int64_t k, std::int32_t refreshHz) const {
        const std::int64_t duration = durationMs_ == -1 ? 2000 : durationMs_;
        return FrameClock::frameFor(k, duration, refreshHz, 1000) >= 1000;
    }

    // Steps through every tick at `refreshHz`; `seen` gets each painted frame
    // with the time it shows. Ends with the last frame painted (not final).
    template <typename Seen>
    void play(std::int32_t refreshHz, Seen seen) {
        std::int64_t previous = -1;
        for (std::int64_t k = 0;; ++k) {
            const std::int64_t t = timeAt(k, refreshHz);
            transition->step(t, false);
            if (previous >= 0) seen(previous, display.snapshot());
            previous = t;
            if (lastTick(k, refreshHz)) break;
        }
        transition->step(previous, false);
        seen(previous, display.snapshot());
    }

    BackBufferDisplay display;
    CRandom random;
    SurfacePtr a, b;
    CountingSink sink;
    TransitionPtr transition;
    int begun = -1;
    std::int64_t total = 0;

private:
    std::int32_t durationMs_;
};

}  // namespace lv::test
