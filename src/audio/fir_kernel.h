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
//
// `taps4`, when not null, holds every tap times 4 (mod 2^16) and promises
// that count is a multiple of 16 and pairSumsFit(taps, count) holds; the
// AVX2 kernel then rounds the terms through pairwise sums of whole products
// (below) instead of splitting each product. The sums are the same.
struct DotTerms {
    const int16_t* taps;
    const int16_t* x;
    int32_t count;
    const int16_t* taps4 = nullptr;
};
void roundedDotProducts(const DotTerms* terms, int32_t n, int32_t* sums);

// Whether the pairwise form is exact for these taps whatever the samples.
// A product p = c × x rounds to t = (p - r) / 16384, where r is the low 14
// bits of p taken as a signed value (the low 16 bits of 4p, shifted right
// by 2). The kernel sums whole products in eight 32-bit lanes (pairs of
// taps 2j, 2j + 1, then 16 on) and subtracts the r's, which leaves 16384
// times the lane's rounded terms modulo 2^32: exact while the lane's taps
// add up to at most 65535 in magnitude (|t| ≤ 2|c|). count is a multiple
// of 16.
bool pairSumsFit(const int16_t* taps, int32_t count);

// A run of output samples at input positions that step by `dt` (in 1/32768
// of a sample, as the Resample counts): output k sums the weights of phase
// (fraction_k >> phaseShift) over x from index_k - left + 1, where index_0
// and fraction_0 are given and each step adds dt to the fraction and
// carries its whole samples into the index. The same sums as gathering
// DotTerms one by one, without building them.
struct FirPhase {
    const int16_t* taps;
    const int16_t* taps4;  // as in DotTerms; null: each term rounded on its own
    int32_t left;          // weights up to and including x[index]
    int32_t count;
};
struct FirSteps {
    const FirPhase* phases;
    int32_t phaseShift;
    int32_t index;
    int32_t fraction;
    int32_t dt;
};
void roundedDotSteps(const FirSteps& steps, const int16_t* x, int32_t n, int32_t* sums);

// Limits the kernel to `level` (the widest the processor has by default);
// for tests and benches.
void limitFirKernels(KernelLevel level);

}  // namespace lv::audio
