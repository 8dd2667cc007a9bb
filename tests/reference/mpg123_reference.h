// Decoding with libmpg123 for comparison, and the accuracy measure of the
// comparison: both outputs aligned for decoder delay, then the RMS of their
// difference in 16-bit steps.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lv::audio::reference {

struct Pcm {
    std::vector<int16_t> samples;  // interleaved
    long rate = 0;
    int channels = 0;
};

// Empty samples when libmpg123 cannot decode the file. Gapless trimming is
// off, so the output holds every decoded frame.
Pcm decodeWithMpg123(const std::string& path);

struct Difference {
    int64_t offset = 0;    // samples per channel that `ours` is ahead of `theirs`
    int64_t compared = 0;  // samples per channel compared
    double rms = 1e9;
    int maxAbs = 0;
};

// Finds the alignment (ours later by 0..maxOffset samples) that best fits
// the start, then measures the whole overlap.
Difference compare(const std::vector<int16_t>& ours, const std::vector<int16_t>& theirs, int channels,
                   int64_t maxOffset = 2304);

// One line for the test log: file name, RMS, largest difference.
void printDifference(const std::string& path, const Difference& d);

// Decodes the file through our decoder handle and with libmpg123 and expects
// the same format and an RMS difference of at most 1 LSB over everything
// libmpg123 decodes. Layer I/II: both run the same synthesis, so no delay is
// searched, and our output is always two channels (a mono stream twice).
// Layer III: aligned for decoder delay; ours may add the Info frame.
void expectMatchesMpg123(const std::string& path, bool layer12);

}  // namespace lv::audio::reference
