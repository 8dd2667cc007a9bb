// The WAV reader: finds the PCM data of a RIFF WAVE file and hands it out
// in pieces of at most 4096 bytes, with byte-exact skipping for seeks.
//
// The format chunk must follow "WAVE" directly; the walk then skips chunks
// until "data". RIFF pads every odd-sized chunk with one byte, and the walk
// honours that pad, so a file with (say) an odd LIST chunk before "data"
// reads correctly.
#pragma once

#include "audio/decoder.h"

namespace lv::audio {

class WavReader final : public Decoder {
public:
    static constexpr size_t chunkBytes = 4096;

    explicit WavReader(std::unique_ptr<ByteSource> input);
    DecoderFormat format() override;
    size_t largestChunk() const override { return chunkBytes; }
    size_t read(std::span<uint8_t> buffer) override;
    size_t skip(uint64_t bytes) override;
    bool atEnd() const override { return end_; }
    int64_t length() override;
    void restart() override;

    int64_t dataStart() const { return dataStart_; }

private:
    bool parseHeader();
    uint64_t bytesLeft() const;

    std::unique_ptr<ByteSource> input_;
    bool valid_ = false;
    bool end_ = true;
    uint32_t sampleRate_ = 0;
    uint32_t channels_ = 0;
    uint32_t bits_ = 0;
    int64_t dataStart_ = 0;
    int64_t dataEnd_ = 0;
};

}  // namespace lv::audio
