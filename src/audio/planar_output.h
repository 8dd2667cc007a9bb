// Planar output of an MPEG decoder: where each channel's samples of one
// frame go, left-justified in 32 bits as audio storage holds them (a 16-bit
// s as s << 16), so a file source stores a frame without an interleaved
// buffer in between. A frame may cross one storage block boundary: its
// first `split` samples go from `head`, the rest from `tail`.
//
//     PlanarOutput out;
//     out.head[0] = left, out.head[1] = right;             // 1152 samples each
//     out.split = PlanarOutput::maxFrameSamples;
//     size_t frames = decoder->readPlanar(out);             // 0: end or dropped frame
//
// The synthesis writes runs of 32 samples from multiples of 32, so `split`
// must be a multiple of 32 (no run may cross it). A decoder writes at most
// maxFrameSamples samples per channel, of at most maxChannels channels.
#pragma once

#include <cstdint>

namespace lv::audio {

struct PlanarOutput {
    static constexpr int maxChannels = 2;
    static constexpr int32_t maxFrameSamples = 1152;
    static constexpr int32_t runSamples = 32;

    int32_t* head[maxChannels] = {};
    int32_t* tail[maxChannels] = {};
    int32_t split = maxFrameSamples;

    // Where sample `offset` of the frame goes in `channel`; from a multiple
    // of 32, the whole run of 32 goes on from there.
    int32_t* at(int channel, int32_t offset) const {
        return offset < split ? head[channel] + offset : tail[channel] + (offset - split);
    }
};

}  // namespace lv::audio
