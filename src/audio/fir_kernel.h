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
#include <memory>
#include <vector>

#include "audio/kernel_choice.h"
#include "audio/page_aligned.h"

namespace lv::audio {

int32_t roundedDotProduct(const int16_t* taps, const int16_t* x, int32_t count);

// A weight c taken apart as 16384 × coarse + fine / 2, with coarse the
// nearest whole number of 16384ths (-2 to 2) and fine within ±16384. A term
// is then coarse × x + ((fine × x + 16384) >> 15) exactly, because
// 16384 × coarse × x is a whole multiple of 16384; the second part is one
// rounding multiply of 16-bit lanes, and the first is nonzero only for the
// few weights near the filter's peak.
struct SplitWeights {
    const int16_t* fine = nullptr;    // null: the weights are not split
    const int16_t* coarse = nullptr;
    // The 16-weight groups [coarseBegin, coarseEnd) hold every coarse part
    // other than 0.
    int32_t coarseBegin = 0;
    int32_t coarseEnd = 0;
};

// Fills fine and coarse (count each) for these weights. The AVX2 kernel
// sums the fine parts of weights i, i + 16, i + 32, ... in one 16-bit lane,
// so the split form is exact whatever the samples while every such lane's
// |fine| add up to at most 32767 (|a fine term| ≤ |fine|); `fits` says
// whether that holds and count is a multiple of 16.
struct SplitForm {
    bool fits = false;
    int32_t coarseBegin = 0;
    int32_t coarseEnd = 0;
};
SplitForm splitWeights(const int16_t* taps, int32_t count, int16_t* fine, int16_t* coarse);

// The same for `phases` phases of `count` weights laid out one after
// another (as FirSteps has them), each split on its own: the form fits when
// every phase's does, and its coarse groups span all of theirs.
SplitForm splitPhases(const int16_t* taps, int32_t phases, int32_t count, int16_t* fine, int16_t* coarse);

// Many inner products in one call: sums[k] = roundedDotProduct(terms[k]...).
// The Resample gathers a run of output samples and sums them together, so
// the loop over them runs inside the vector kernel. `split`, when set,
// holds the same weights in the split form, which fits (above); the AVX2
// kernel then sums them that way. The sums are the same.
struct DotTerms {
    const int16_t* taps;
    const int16_t* x;
    int32_t count;
    SplitWeights split = {};
};
void roundedDotProducts(const DotTerms* terms, int32_t n, int32_t* sums);

// A run of output samples at input positions that step by `dt` (in 1/32768
// of a sample, as the Resample counts): output k sums the weights of phase
// (fraction_k >> phaseShift) over x from index_k - left + 1, where index_0
// and fraction_0 are given and each step adds dt to the fraction and
// carries its whole samples into the index. Every phase is laid out alike:
// `count` weights at taps + phase × count, and in the split form (when it
// is set) at the same offsets of its fine and coarse parts, with one group
// range of coarse parts for all. The same sums as gathering DotTerms one by
// one, without building them.
struct FirColumns;
struct FirSteps {
    const int16_t* taps;
    SplitWeights split;
    int32_t left;   // weights up to and including x[index]
    int32_t count;
    int32_t phaseShift;
    int32_t index;
    int32_t fraction;
    int32_t dt;
    const FirColumns* columns = nullptr;  // see firColumns
};
void roundedDotSteps(const FirSteps& steps, const int16_t* x, int32_t n, int32_t* sums);

// A rise in rate by 2 or 4 (dt = 32768 / P for P phases: 22050 or 11025 Hz
// to 44100) gives P outputs at every input position, one per phase, and
// they all read the same samples. The AVX2 kernel then works out 16
// positions at once (32 for two phases), each lane an output: a sample
// vector times one weight broadcast to 16 lanes, for every phase. The split form's fine
// parts as such columns, the taps after which the 16-bit sums are widened
// (so that every lane's sum fits), and the few coarse parts. Null unless the
// run's weights are split and dt is 16384 or 8192.
struct FirColumns {
    struct Coarse {
        int32_t tap;
        int32_t value;
    };
    int32_t phases = 0;
    PageAlignedVector<int16_t> fine;     // [phase][tap][16 lanes], on a page
    std::vector<int32_t> segmentEnds;    // the last segment ends at count
    std::vector<std::vector<Coarse>> coarse;  // per phase
};
std::unique_ptr<FirColumns> firColumns(const FirSteps& steps);

// The Resample's output samples from its sums: ((sum >> 2) × lpScl + 4096)
// >> 13, clamped to 16 bits and stored left-justified in 32 (as the audio
// streams keep them); 0 < lpScl < 2^14. `out` may be `sums`.
void scaleFilterSums(const int32_t* sums, int32_t n, int32_t lpScl, int32_t* out);

// Limits the kernel to `level` (the widest the processor has by default);
// for tests and benches.
void limitFirKernels(KernelLevel level);

}  // namespace lv::audio
