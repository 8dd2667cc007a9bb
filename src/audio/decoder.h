// The decoder handle: what a file source holds to get PCM out of a sound
// file. One interface for the Layer III decoder, the Layer I/II decoder and
// the WAV reader; each is opened on a ByteSource that it then owns.
//
//     auto decoder = lv::audio::openDecoder(DecoderKind::layer3, std::move(source));
//     DecoderFormat f = decoder->format();          // valid == false: refuse the file
//     std::vector<uint8_t> chunk(decoder->largestChunk());
//     while (!decoder->atEnd()) { size_t n = decoder->read(chunk); ... }
//
// read() hands out interleaved little-endian PCM (16-bit signed for MPEG;
// the WAV file's own samples for WAV, 8-bit ones unsigned). It may return 0
// without being at the end (a dropped MPEG frame); callers loop on atEnd().
// The MPEG decoders also offer readPlanar(): the same frame's samples
// written per channel, left-justified in 32 bits (planar_output.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "audio/byte_source.h"
#include "audio/planar_output.h"

namespace lv::audio {

// The kinds carry the source kind tags of the audio dispatch.
enum class DecoderKind : uint16_t { layer3 = 82, wav = 33, layer12 = 88 };

struct DecoderFormat {
    uint32_t sampleRate = 0;
    uint32_t bits = 0;
    bool valid = false;
    uint32_t bytesPerSecond = 0;
    uint32_t channels = 0;
};

class Decoder {
public:
    virtual ~Decoder() = default;
    virtual DecoderFormat format() = 0;
    // Bytes one read may return; the buffer given to read() must hold them.
    virtual size_t largestChunk() const = 0;
    // Bytes of PCM written into buffer; 0 at the end (or for a dropped frame).
    virtual size_t read(std::span<uint8_t> buffer) = 0;
    // Whether readPlanar() works: 16-bit output of at most two channels.
    virtual bool readsPlanar() const { return false; }
    // The next frame as read() would give it, into `out`: sample frames
    // written, 0 at the end (or for a dropped frame, or without planar reads).
    virtual size_t readPlanar(const PlanarOutput& /*out*/) { return 0; }
    // Moves forward without decoding. MPEG Layer III: one frame, whatever
    // `bytes` says, returning the bytes it would have produced; WAV: up to
    // `bytes` bytes; Layer I/II: nothing (returns 0).
    virtual size_t skip(uint64_t bytes) = 0;
    virtual bool atEnd() const = 0;
    // Sample frames in the whole input (0 when unknown).
    virtual int64_t length() = 0;
    // Back to the first sample.
    virtual void restart() = 0;
};

// Null only when the input is null; an input the decoder cannot read gives a
// decoder whose format() is not valid.
std::unique_ptr<Decoder> openDecoder(DecoderKind kind, std::unique_ptr<ByteSource> input);

}  // namespace lv::audio
