// The inverse modified cosine transforms of the Layer III hybrid filter
// bank with their windows (ISO/IEC 11172-3 2.4.3.4.10).
#pragma once

#include "audio/kernel_choice.h"

namespace lv::audio::mp3 {

// 18 spectral values to 36 windowed time samples, window by block type
// 0 (normal), 1 (start) or 3 (stop); one fast transform.
void imdctLong(const float in[18], float out[36], int blockType);

// The same for four neighbouring subbands at once: in holds their 4 x 18
// values one subband after the other, out[i][s] is time sample i of
// subband s. A plain kernel and an SSE2 twin that works the four side by
// side; both give exactly what imdctLong gives for each subband.
void imdctLong4(const float* in, float out[36][4], int blockType);
// Limits imdctLong4 to kernels up to `level`; for tests and benches.
void limitImdctKernels(KernelLevel level);

// Three short windows of 6 values each (in[w][k]) to 36 time samples: each
// 12-point result windowed and overlapped at 6 + 6w.
void imdctShort(const float in[3][6], float out[36]);

}  // namespace lv::audio::mp3
