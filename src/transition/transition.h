// The transition contract: what every transition object of every family
// does, whatever its kind (span masks, blocks, pieces, the cross-fade).
//
// A run (run.h) creates the object through its registry entry, hands it the
// clock's parameters, begins it on the outgoing and incoming surfaces and the
// display, and then the frame clock (frame_clock.h) calls step once per
// refresh with a frame number that never decreases, ending with one call
// with `final` set. Steps of the span-mask and block kinds are pipelined: a
// call for frame N first paints the frame computed by the previous call,
// then computes frame N; a final call paints what is pending.
//
// begin results: 0 ready, 1 cannot run now, 2 can never run (the entry is
// then marked broken for the rest of the program's run).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

namespace lv {

class Display;
class RandomSource;
struct Surface;

// What describe reports; the numbered places of the engine's information
// record in their order.
struct TransitionInfo {
    std::int32_t defaultMs = 2000;    // 0: used when the caller asks for the default
    std::int32_t steps = 1;           // 1: steps of one pass
    std::int32_t familyFlag2 = 0;     // 2
    std::int32_t secondPass = 0;      // 3: handed back as the second-pass offset
    std::int32_t familyFlag4 = 0;     // 4
    std::int32_t passMode = 1;        // 5: 1 means one pass whatever the variant
    std::int32_t extraSteps = 0;      // 6
    std::int32_t familyValue = 0;     // 7: handed back in the parameters
    std::int32_t variant2 = 0;        // 8: created as variant 2 (two passes)
    std::int32_t reducible = 0;       // 9: may run on reduced copies
    std::int32_t spare = 0;           // 10
};

// What the frame clock hands the transition before it begins.
struct ClockParameters {
    std::int32_t passes = 1;
    std::int32_t secondPassOffset = 0;
    std::int32_t familyValue = 0;
    std::int32_t durationMs = -1;
};

// What a transition may tell its run while it steps.
class StepSink {
public:
    virtual ~StepSink() = default;
    // A frame reached the display now (the clock aims its next event from here).
    virtual void markPainted() = 0;
};

class Transition {
public:
    virtual ~Transition() = default;
    virtual int begin(const Surface& outgoing, const Surface& incoming, Display& display, StepSink& sink) = 0;
    virtual void end() {}
    virtual TransitionInfo describe() const = 0;
    virtual void step(std::int64_t frame, bool final) = 0;
    virtual void setParameters(const ClockParameters& parameters) { parameters_ = parameters; }
    // Families that renumber the clock's frames answer here.
    virtual std::optional<std::int64_t> mapFrame(std::int64_t frame) const { return std::nullopt; }
    // Families that draw random numbers take them from the run's generator
    // (handed over before begin), so a seeded run replays exactly.
    virtual void useRandom(RandomSource& random) {}
    virtual void repaint() = 0;
    // True when a step has already shown everything ("ssNone"): the clock
    // then finishes at once, whatever the duration.
    virtual bool allDone() const { return false; }

protected:
    ClockParameters parameters_;
};
using TransitionPtr = std::unique_ptr<Transition>;

}  // namespace lv
