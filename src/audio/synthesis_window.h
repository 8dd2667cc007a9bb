// The 512 coefficients D[i] of the MPEG audio synthesis window
// (ISO/IEC 11172-3 table 3-B.3).
#pragma once

namespace lv::audio {

const float* synthesisWindow();

}  // namespace lv::audio
