// Which vector kernels the codec uses.
//
// The codec's kernels (IDCT, colour conversion) come in plain, SSE2 and AVX2
// variants with identical results. simdLevel() answers from the processor
// record (display/cpu_features.h: SSE2 from its verified feature word, AVX2
// from its extensions); setSimdLevel() overrides it, so that tests can force
// the plain kernels and run every level on the same input.
#pragma once

namespace lv::codec {

enum class SimdLevel { Plain = 0, Sse2 = 1, Avx2 = 2 };

// The best level this processor runs (what the processor record allows).
SimdLevel detectedSimdLevel();

// The level in use: the detected one unless overridden.
SimdLevel simdLevel();

// Overrides the level in use, capped at the detected one.
void setSimdLevel(SimdLevel level);

}  // namespace lv::codec

namespace lv::codec {

// The acceleration switches of the processor record that the decoder options
// carry (its AMD family-6, Intel SSE and Intel SSE2 switches).
struct ProcessorFlags {
    bool amdFamily6 = false;
    bool intelSse = false;
    bool intelSse2 = false;
};
ProcessorFlags processorFlags();

}  // namespace lv::codec
