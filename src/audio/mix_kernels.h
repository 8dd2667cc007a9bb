// The per-sample loops of the Mixer and the VolumeFader in 32-bit integers:
// a plain form and an AVX2 twin (where the build targets x86) made from the
// same loops, so that their results are identical by construction; the
// choice is only a matter of speed.
//
//     const MixKernels& k = mixKernels();
//     k.sumFirst(a, 256, n, sums);            // sums = (a >> 11) * 256
//     k.sumLast(b, 128, n, sums, out);        // out = saturated sums + (b >> 11) * 128
//
// Limits: the Mixer's sums must stay in 32 bits (the gains' magnitudes add
// up below 2048, so a 21-bit sample times them cannot leave it), and inside
// (-2^28, 2^28) for sumLastInRange (mixSumsStayInRange tells); the fader's
// gains must lie between 0 and unity (256), where its products fit 32 bits.
#pragma once

#include <cstdint>

#include "audio/kernel_choice.h"

namespace lv::audio {

struct MixKernels {
    // sums[i] = (in[i] >> 11) * gain
    void (*sumFirst)(const int32_t* in, int32_t gain, int32_t count, int32_t* sums);
    // sums[i] += (in[i] >> 11) * gain
    void (*sumAdd)(const int32_t* in, int32_t gain, int32_t count, int32_t* sums);
    // out[i] = saturate(sums[i] + (in[i] >> 11) * gain); sums null: 0. The
    // saturation gives INT32_MIN below -2^28, INT32_MAX from 2^28 on, else
    // the sum times 8.
    void (*sumLast)(const int32_t* in, int32_t gain, int32_t count, const int32_t* sums, int32_t* out);
    // The same for sums that stay inside (-2^28, 2^28), where the
    // saturation never acts: out[i] = (sums[i] + (in[i] >> 11) * gain) * 8.
    void (*sumLastInRange)(const int32_t* in, int32_t gain, int32_t count, const int32_t* sums, int32_t* out);
    // out[i] = ((in[i] >> 10) * 4 * gain) with the low 10 bits cleared.
    void (*fade)(const int32_t* in, int32_t gain, int32_t count, int32_t* out);
    // The same with a gain per sample.
    void (*fadeRamp)(const int32_t* in, const int32_t* gains, int32_t count, int32_t* out);
    // 16-bit stereo frames to left-justified samples and back (the upper
    // halves): the decoders' output stored, the soundtrack's output read.
    void (*splitStereo16)(const uint8_t* frames, int32_t count, int32_t* left, int32_t* right);
    void (*joinStereo16)(const int32_t* left, const int32_t* right, int32_t count, int16_t* frames);
};

// Whether every sum of (sample >> 11) * gain over these gains lies inside
// (-2^28, 2^28) whatever the 32-bit samples: then the Mixer's saturation
// never acts (a single input at unity, or gains of one sign adding up to at
// most unity; a negative unity gain times -2^20 reaches 2^28 and does not).
bool mixSumsStayInRange(const int32_t* gains, int32_t count);

const MixKernels& mixKernels();

// Limits the kernels to `level` (the widest the processor has by default);
// for tests and benches.
void limitMixKernels(KernelLevel level);

}  // namespace lv::audio
