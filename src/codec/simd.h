// Which vector kernels the codec uses.
//
// The codec's kernels (IDCT, colour conversion) come in plain, SSE2 and AVX2
// variants with identical results. simdLevel() answers once from the running
// processor; setSimdLevel() overrides it (tests run every level on the same
// input; the acceleration flags of the decoder options may lower it).
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
// carry. Until the shared processor record is connected they come from the
// compiler's processor checks.
struct ProcessorFlags {
    bool amdFamily6 = false;
    bool intelSse = false;
    bool intelSse2 = false;
};
ProcessorFlags processorFlags();

}  // namespace lv::codec
