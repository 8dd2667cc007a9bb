// The Layer I/II decoder behind the decoder handle (MPEG-1 audio Layers I
// and II, ISO/IEC 11172-3 2.4.3.1 and 2.4.3.2).
//
// Each read searches byte by byte for the next frame sync of the stream's
// layer and decodes that frame. Output is always two interleaved 16-bit
// channels (a mono stream is duplicated), so one sample frame is 4 bytes
// whatever the file. There is no skip: the decoder cannot seek.
#pragma once

#include <vector>

#include "audio/decoder.h"
#include "audio/mpeg_audio_header.h"
#include "audio/polyphase_synthesis.h"

namespace lv::audio {

class Layer12Decoder final : public Decoder {
public:
    static constexpr size_t pieceBytes = 4096;
    static constexpr size_t maxChunkBytes = 4608;

    explicit Layer12Decoder(std::unique_ptr<ByteSource> input);

    DecoderFormat format() override;
    size_t largestChunk() const override { return maxChunkBytes; }
    size_t read(std::span<uint8_t> buffer) override;
    bool readsPlanar() const override { return true; }
    size_t readPlanar(const PlanarOutput& out) override;
    size_t skip(uint64_t) override { return 0; }
    bool atEnd() const override { return end_; }
    int64_t length() override;
    void restart() override;

private:
    bool fill(size_t wanted);
    bool findFrame(MpegAudioHeader& header);
    bool confirmedByNextHeader(const MpegAudioHeader& header);
    // A frame's subband samples: [channel][time slot][subband].
    using Subbands = float[2][36][32];
    // Decodes the next frame into samples_: its time slots (12 for Layer I,
    // 36 for Layer II), 0 at the end.
    int decodeNext();
    void decodeLayer1(const MpegAudioHeader& header, const uint8_t* frame, size_t length, Subbands& samples);
    void decodeLayer2(const MpegAudioHeader& header, const uint8_t* frame, size_t length, Subbands& samples);

    std::unique_ptr<ByteSource> input_;
    std::vector<uint8_t> buffer_;  // unread input
    size_t position_ = 0;          // first unread byte in buffer_
    bool inputEnded_ = false;
    bool end_ = true;
    bool known_ = false;
    MpegAudioHeader first_;
    Subbands samples_;  // of the last frame decoded
    int channels_ = 1;
    PolyphaseSynthesis synthesis_[2];
};

// True for the 4 header bytes of an MPEG-1 Layer I or II frame this
// decoder can read.
bool isLayer12Header(const uint8_t* bytes);

}  // namespace lv::audio
