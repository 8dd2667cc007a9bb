// The inverse modified cosine transforms of the Layer III hybrid filter
// bank with their windows (ISO/IEC 11172-3 2.4.3.4.10).
#pragma once

namespace lv::audio::mp3 {

// 18 spectral values to 36 windowed time samples, window by block type
// 0 (normal), 1 (start) or 3 (stop); one fast transform, no vector twins.
void imdctLong(const float in[18], float out[36], int blockType);

// Three short windows of 6 values each (in[w][k]) to 36 time samples: each
// 12-point result windowed and overlapped at 6 + 6w.
void imdctShort(const float in[3][6], float out[36]);

}  // namespace lv::audio::mp3
