// Constant tables of Layer III decoding: scalefactor band boundaries per
// sampling frequency, pre-emphasis, scalefactor bit widths, and the
// precomputed powers used by requantisation.
#pragma once

#include <cstdint>

namespace lv::audio::mp3 {

struct ScalefactorBands {
    int longBands[23];   // line where long band i starts; [22] = 576
    int shortBands[14];  // line (within one window) where short band i starts; [13] = 192
};

// By MPEG version (MPEG-1 true) and sampling frequency index 0..2.
const ScalefactorBands& scalefactorBands(bool mpeg1, int samplingIndex);

// Pre-emphasis added to long-band scalefactors when preflag is set.
extern const int pretab[22];

// MPEG-1 scalefactor bit widths by scalefac_compress.
extern const int slen1Table[16];
extern const int slen2Table[16];

// MPEG-2 scalefactor band counts of the four scalefactor groups, by table
// (0..5, from scalefac_compress and intensity stereo) and block kind
// (0 long, 1 short, 2 mixed).
extern const int lsfBandCounts[6][3][4];

// |i|^(4/3) for the quantised values 0..8206.
constexpr int maxQuantised = 8206;
const float* power43Table();

}  // namespace lv::audio::mp3
