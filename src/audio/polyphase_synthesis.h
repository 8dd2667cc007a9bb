// The polyphase synthesis filter bank of MPEG audio (ISO/IEC 11172-3
// Annex A, figure A.2), in its two steps per block of 32 subband samples of
// one channel: matrixing them into the channel's history, then windowing the
// history into 32 PCM samples. run() writes them as 16-bit samples with a
// stride (the channel count), so channels come out interleaved;
// runLeftJustified() writes them next to each other in 32 bits as audio
// storage holds them (a 16-bit s as s << 16), for a channel's own storage.
// Both give the same samples, at every kernel level.
#pragma once

#include <cstdint>

#include "audio/kernel_choice.h"

namespace lv::audio {

class PolyphaseSynthesis {
public:
    PolyphaseSynthesis() { reset(); }
    void reset();
    void run(const float subbands[32], int16_t* out, int stride);
    void runLeftJustified(const float subbands[32], int32_t out[32]);

    // Limits every filter bank of the process to kernels up to `level`
    // (the widest the processor has by default); for tests and benches.
    static void limitKernels(KernelLevel level);

private:
    // Matrixes a block into the history and points at the eight even and
    // odd history blocks the windowing reads.
    void advance(const float subbands[32], const float* even[8], const float* odd[8]);

    // The history V of figure A.2 as 16 blocks of 64, newest at `newest_`.
    float history_[16][64];
    int newest_ = 0;
};

// Rounds a synthesis output (full scale 1.0) to a clipped 16-bit sample
// (a NaN to full scale).
int16_t toPcm16(float value);

}  // namespace lv::audio
