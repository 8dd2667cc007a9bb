// The span-mask schedule: which of a family's n ordered pixel sets a step
// paints, and how strongly. Slot k of the run (0 ... passes x n - 1) names
// one set and a level; a step from frame p to frame t paints the slots
// p ... t - 1.
//
//     SpanSchedule schedule({n, 2, true, false, 2, false});
//     ScheduleSlot s = schedule.slot(n);      // alternate: the last set again, level 256
//     std::vector<SetEntry> list;
//     schedule.forStep(0, 10, list);          // the sets of the step 0 -> 10
//
// Two passes: the first lays every set on at a level that grows from 0 to
// just under 256 along the pass, the second makes each set fully incoming,
// backwards on odd passes when `alternate` is set. `reverse` runs every pass
// backwards. A band width w > 0 with band timing paints each set black when
// its slot is reached and shows its picture w slots later.
//
// Limits: slots outside the run, and band slots before the first or past
// the last set, add nothing; a step list holds each set at most once (the
// later slot decides its mode), so it never holds more than n entries.
#pragma once

#include <cstdint>
#include <vector>

#include "transition/span_mask.h"

namespace lv {

struct ScheduleShape {
    std::int32_t sets = 0;
    std::int32_t passes = 1;
    bool alternate = false;
    bool reverse = false;
    std::int32_t bandWidth = 0;
    bool bandTiming = false;
};

struct ScheduleSlot {
    std::int32_t set = 0;     // sets ... 2 x sets - 1 lie outside the list: nothing to paint
    std::int32_t level = 256; // weight of the incoming picture
};

struct SetEntry {
    std::int32_t set = 0;
    SetMode mode = SetMode::ShowIncoming;
    std::int32_t level = 256;
};

class SpanSchedule {
public:
    SpanSchedule() = default;
    explicit SpanSchedule(const ScheduleShape& shape);

    const ScheduleShape& shape() const { return shape_; }
    std::int64_t slots() const { return std::int64_t{shape_.sets} * shape_.passes; }
    ScheduleSlot slot(std::int64_t k) const;
    // The sets of the step from frame p to frame t, each once.
    void forStep(std::int64_t p, std::int64_t t, std::vector<SetEntry>& out);

private:
    void add(std::int64_t k, bool black, std::vector<SetEntry>& out);

    ScheduleShape shape_;
    std::vector<std::int32_t> at_;  // per set: its place in the list being built, -1 when absent
};

}  // namespace lv
