// The inner product of the Resample's filter: the sum over i of
// (taps[i] × x[i] + 8192) >> 14, each term rounded on its own, in 32-bit
// integers. A plain kernel and its SSE2 and AVX2 twins (where the build
// targets x86) give identical sums; the choice is only a matter of speed.
//
//     int32_t sum = roundedDotProduct(taps, x, count);   // count ≥ 0
//
// Limits: the caller keeps the sum within 32 bits (taps and samples are
// 16-bit, so up to 32768 terms of full scale fit).
#pragma once

#include <cstdint>

#include "audio/kernel_choice.h"

namespace lv::audio {

int32_t roundedDotProduct(const int16_t* taps, const int16_t* x, int32_t count);

// Many inner products in one call: sums[k] = roundedDotProduct(terms[k]...).
// The Resample gathers a run of output samples and sums them together, so
// the loop over them runs inside the vector kernel.
struct DotTerms {
    const int16_t* taps;
    const int16_t* x;
    int32_t count;
};
void roundedDotProducts(const DotTerms* terms, int32_t n, int32_t* sums);

// Limits the kernel to `level` (the widest the processor has by default);
// for tests and benches.
void limitFirKernels(KernelLevel level);

}  // namespace lv::audio
