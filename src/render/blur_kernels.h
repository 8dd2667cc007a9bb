// The inner loop of the blur: adds weight x byte into 32-bit sums along a
// row. Plain and SSE2 forms give identical sums; the SSE2 form is chosen when
// the processor has it.
#pragma once

#include <cstdint>

namespace lv {

// sums[i] += weight * bytes[i] for i < count; weight at most 255.
using AccumulateRow = void (*)(std::int32_t* sums, const std::uint8_t* bytes, int count, int weight);

void accumulateRowPlain(std::int32_t* sums, const std::uint8_t* bytes, int count, int weight);

// The SSE2 form, or null where this build has none.
AccumulateRow accumulateRowSse2();

// The fastest form this processor runs.
AccumulateRow bestAccumulateRow();

}  // namespace lv
