// The inner loops of blur and spread, along a row: adding weight x byte into
// 32-bit sums, and keeping the larger of two bytes. Plain and SSE2 forms give
// identical results; the SSE2 forms are chosen when the processor has them.
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

// largest[i] = max(largest[i], bytes[i]) for i < count.
using MaxRow = void (*)(std::uint8_t* largest, const std::uint8_t* bytes, int count);

void maxRowPlain(std::uint8_t* largest, const std::uint8_t* bytes, int count);
MaxRow maxRowSse2();  // null where this build has none
MaxRow bestMaxRow();

}  // namespace lv
