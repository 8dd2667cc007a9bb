// Decodes one Layer III frame, given its header, side information and main
// data, into interleaved 16-bit PCM (or per channel into audio storage):
// scalefactors, Huffman decoding, requantisation, stereo processing
// (mid/side and intensity, including the intensity stereo of the low
// sampling frequencies), reordering, alias reduction, IMDCT with overlap,
// and the polyphase synthesis. Keeps the per-channel IMDCT overlap and
// synthesis history between frames.
#pragma once

#include <cstdint>
#include <span>

#include "audio/bit_reader.h"
#include "audio/mp3_side_info.h"
#include "audio/mp3_tables.h"
#include "audio/mpeg_audio_header.h"
#include "audio/planar_output.h"
#include "audio/polyphase_synthesis.h"

namespace lv::audio::mp3 {

class FrameDecoder {
public:
    FrameDecoder() { reset(); }
    void reset();

    // Writes header.samplesPerFrame() * channels samples to out, or
    // header.samplesPerFrame() samples of each channel to the planar output.
    // mainData must be followed by at least 64 readable bytes of slack.
    void decode(const MpegAudioHeader& header, const SideInfo& side, std::span<const uint8_t> mainData,
                int16_t* out);
    void decode(const MpegAudioHeader& header, const SideInfo& side, std::span<const uint8_t> mainData,
                const PlanarOutput& out);

private:
    struct Scalefactors {
        int l[22];
        int s[13][3];
        // MPEG-2 intensity stereo: the largest value each factor could take,
        // which marks an illegal (not intensity coded) position.
        int lMax[22];
        int sMax[13][3];
        bool preflag;
    };

    // Everything up to the synthesis, which synthesise(granule, channel)
    // runs on subbandSamples_ once the channel's granule is in them.
    template <typename Synthesise>
    void decodeGranules(const MpegAudioHeader& header, const SideInfo& side, std::span<const uint8_t> mainData,
                        Synthesise&& synthesise);
    void readScalefactors(BitReader& bits, const MpegAudioHeader& header, const SideInfo& side, int gr, int ch);
    int decodeSpectrum(BitReader& bits, const GranuleChannelInfo& g, size_t end);
    void requantise(const GranuleChannelInfo& g, int ch, int nonzero);
    void stereo(const MpegAudioHeader& header, const GranuleChannelInfo& right, int& nonzero0, int& nonzero1);
    void intensityBand(const MpegAudioHeader& header, int position, bool illegal, int intensityScale, int first,
                       int count);
    void hybrid(const GranuleChannelInfo& g, int ch, int nonzero);

    const ScalefactorBands* bands_ = nullptr;
    Scalefactors scalefactors_[2];
    int quantised_[576];
    float spectrum_[2][576];
    bool intensityLine_[576];
    float overlap_[2][18][32];  // [channel][time][subband]
    float subbandSamples_[18][32];
    int16_t channelPcm_[2][576];  // a granule of each channel before interleaving
    PolyphaseSynthesis synthesis_[2];
};

}  // namespace lv::audio::mp3
