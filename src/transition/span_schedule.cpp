#include "transition/span_schedule.h"

#include <algorithm>

namespace lv {

SpanSchedule::SpanSchedule(const ScheduleShape& shape) : shape_(shape) {
    shape_.sets = std::max(shape_.sets, 0);
    shape_.passes = std::max(shape_.passes, 1);
    at_.assign(static_cast<std::size_t>(shape_.sets), -1);
}

ScheduleSlot SpanSchedule::slot(std::int64_t k) const {
    const std::int64_t n = shape_.sets, passes = shape_.passes;
    if (n <= 0 || k < 0) return ScheduleSlot{shape_.sets, 256};
    const std::int64_t q = k / n;
    std::int64_t r = k % n;
    if (shape_.alternate && q % 2 == 1) r = n - 1 - r;
    if (shape_.reverse) r = n - 1 - r;
    ScheduleSlot s;
    s.level = 256;
    if (q + 1 < passes && passes != 1) s.level = static_cast<std::int32_t>(std::min<std::int64_t>(k * 256 / ((passes - 1) * n), 256));
    s.set = static_cast<std::int32_t>(q < passes ? r : r + n);
    return s;
}

void SpanSchedule::add(std::int64_t k, bool black, std::vector<SetEntry>& out) {
    const ScheduleSlot s = slot(k);
    if (s.set < 0 || s.set >= shape_.sets) return;
    SetEntry entry{s.set, s.level == 256 ? SetMode::ShowIncoming : SetMode::Blend, s.level};
    if (black) entry = SetEntry{s.set, SetMode::Fill, 0};
    std::int32_t& place = at_[static_cast<std::size_t>(s.set)];
    if (place >= 0) {
        out[static_cast<std::size_t>(place)] = entry;  // the later slot decides
        return;
    }
    place = static_cast<std::int32_t>(out.size());
    out.push_back(entry);
}

void SpanSchedule::forStep(std::int64_t p, std::int64_t t, std::vector<SetEntry>& out) {
    out.clear();
    const std::int64_t last = slots();  // slots from here on paint nothing
    const std::int64_t lead = shape_.bandWidth >= 1 && shape_.bandTiming ? shape_.bandWidth : 0;
    // Pictures for the slots reached `lead` steps ago, black for the newer ones.
    std::int64_t k = std::max<std::int64_t>(p - lead, 0);
    for (; k < std::min(t - lead, last); ++k) add(k, false, out);
    k = std::max({p - lead, t - lead, std::int64_t{0}});
    for (; k < std::min(t, last); ++k) add(k, true, out);
    for (const SetEntry& entry : out) at_[static_cast<std::size_t>(entry.set)] = -1;
}

}  // namespace lv
