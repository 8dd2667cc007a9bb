#include "audio/layer12_decoder.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "audio/bit_reader.h"
#include "audio/byte_order.h"
#include "audio/mpeg_frame_count.h"

namespace lv::audio {
namespace {

// Scalefactors of Layers I and II: 2 * 2^(-i/3), i = 0..62.
struct ScalefactorTable {
    float value[64];
    ScalefactorTable() {
        for (int i = 0; i < 63; ++i) value[i] = static_cast<float>(2.0 * std::exp2(-i / 3.0));
        value[63] = 0;  // reserved index: silence rather than a wild value
    }
};

const ScalefactorTable& scalefactors() {
    static const ScalefactorTable table;
    return table;
}

// A quantised sample v of a class with `levels` steps (levels odd) maps to
// (2v - (levels - 1)) / levels: the standard's C * (s''' + D).
float dequantise(uint32_t v, uint32_t levels) {
    return (2.0f * static_cast<float>(v) - static_cast<float>(levels - 1)) / static_cast<float>(levels);
}

// Layer II allocation tables (11172-3 table 3-B.2): per subband the width of
// the allocation field and the step count of each allocation value.
struct AllocationRow {
    int bits;
    uint32_t levels[16];
};

constexpr AllocationRow rowHighA = {4, {0, 3, 7, 15, 31, 63, 127, 255, 511, 1023, 2047, 4095, 8191, 16383, 32767, 65535}};
constexpr AllocationRow rowHighB = {4, {0, 3, 5, 7, 9, 15, 31, 63, 127, 255, 511, 1023, 2047, 4095, 8191, 65535}};
constexpr AllocationRow rowMid = {3, {0, 3, 5, 7, 9, 15, 31, 65535}};
constexpr AllocationRow rowLow = {2, {0, 3, 5, 65535}};
constexpr AllocationRow rowLowRateHigh = {4, {0, 3, 5, 9, 15, 31, 63, 127, 255, 511, 1023, 2047, 4095, 8191, 16383, 32767}};
constexpr AllocationRow rowLowRateLow = {3, {0, 3, 5, 9, 15, 31, 63, 127}};

struct AllocationTable {
    int subbands;
    const AllocationRow* rows[30];
};

AllocationTable makeHighRateTable(int subbands) {
    AllocationTable t{subbands, {}};
    for (int sb = 0; sb < subbands; ++sb)
        t.rows[sb] = sb < 3 ? &rowHighA : sb < 11 ? &rowHighB : sb < 23 ? &rowMid : &rowLow;
    return t;
}

AllocationTable makeLowRateTable(int subbands) {
    AllocationTable t{subbands, {}};
    for (int sb = 0; sb < subbands; ++sb) t.rows[sb] = sb < 2 ? &rowLowRateHigh : &rowLowRateLow;
    return t;
}

// Which table a frame uses follows from the bitrate per channel and the
// sampling frequency.
const AllocationTable& allocationTable(const MpegAudioHeader& h) {
    static const AllocationTable a = makeHighRateTable(27), b = makeHighRateTable(30), c = makeLowRateTable(8),
                                 d = makeLowRateTable(12);
    const int perChannel = h.bitrateKbps() / h.channels();
    const int rate = h.sampleRate();
    if (perChannel <= 48) return rate == 32000 ? d : c;
    if (perChannel <= 80 || rate == 48000) return a;
    return b;
}

// Steps coded three to a codeword, and the codeword widths.
int groupedBits(uint32_t levels) {
    switch (levels) {
        case 3: return 5;
        case 5: return 7;
        case 9: return 10;
        default: return 0;
    }
}

int sampleBits(uint32_t levels) {
    int bits = 0;
    while ((1u << bits) < levels + 1) ++bits;
    return bits;
}

bool sync(const uint8_t* b) { return b[0] == 0xFF && (b[1] & 0xF8) == 0xF8; }

}  // namespace

bool isLayer12Header(const uint8_t* bytes) {
    if (!sync(bytes)) return false;
    const auto h = parseMpegAudioHeader(bytes);
    return h && h->mpeg1 && (h->layer == 1 || h->layer == 2);
}

Layer12Decoder::Layer12Decoder(std::unique_ptr<ByteSource> input) : input_(std::move(input)) { restart(); }

void Layer12Decoder::restart() {
    buffer_.clear();
    position_ = 0;
    inputEnded_ = !input_->seek(0);
    end_ = false;
    for (auto& s : synthesis_) s.reset();
    MpegAudioHeader header;
    if (!findFrame(header)) end_ = true;
}

bool Layer12Decoder::fill(size_t wanted) {
    while (buffer_.size() - position_ < wanted && !inputEnded_) {
        if (position_ > 0) {
            buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<ptrdiff_t>(position_));
            position_ = 0;
        }
        const size_t old = buffer_.size();
        buffer_.resize(old + pieceBytes);
        const size_t got = input_->read(buffer_.data() + old, pieceBytes);
        buffer_.resize(old + got);
        if (got < pieceBytes) inputEnded_ = true;
    }
    return buffer_.size() - position_ >= wanted;
}

// Moves to the next frame of the stream with its whole body in the buffer;
// the first one found fixes the layer and sampling frequency.
bool Layer12Decoder::findFrame(MpegAudioHeader& header) {
    for (;;) {
        if (!fill(4)) return false;
        const uint8_t* at = buffer_.data() + position_;
        if (isLayer12Header(at)) {
            header = *parseMpegAudioHeader(at);
            const bool sameStream = known_ ? header.layer == first_.layer && header.samplingIndex == first_.samplingIndex
                                           : confirmedByNextHeader(header);
            if (sameStream && fill(static_cast<size_t>(header.frameLength()))) {
                if (!known_) first_ = header, known_ = true;
                return true;
            }
        }
        ++position_;
    }
}

// Until the stream is known, a header counts only when the next frame's
// header follows where its length says (or the input ends there).
bool Layer12Decoder::confirmedByNextHeader(const MpegAudioHeader& header) {
    const auto length = static_cast<size_t>(header.frameLength());
    if (!fill(length + 4)) return buffer_.size() - position_ >= length;
    const uint8_t* next = buffer_.data() + position_ + length;
    if (!isLayer12Header(next)) return false;
    const MpegAudioHeader following = *parseMpegAudioHeader(next);
    return following.layer == header.layer && following.samplingIndex == header.samplingIndex;
}

DecoderFormat Layer12Decoder::format() {
    DecoderFormat f;
    if (!known_) return f;
    f.sampleRate = static_cast<uint32_t>(first_.sampleRate());
    f.bits = 16;
    f.channels = 2;
    f.bytesPerSecond = f.sampleRate * 4;
    f.valid = true;
    return f;
}

int Layer12Decoder::decodeNext() {
    MpegAudioHeader header;
    if (!findFrame(header)) {
        end_ = true;
        return 0;
    }
    const uint8_t* frame = buffer_.data() + position_;
    const auto length = static_cast<size_t>(header.frameLength());
    std::memset(samples_, 0, sizeof samples_);
    if (header.layer == 1)
        decodeLayer1(header, frame, length, samples_);
    else
        decodeLayer2(header, frame, length, samples_);
    channels_ = header.channels();
    position_ += length;
    // The end is known once no further frame follows.
    MpegAudioHeader next;
    if (!findFrame(next)) end_ = true;
    return header.layer == 1 ? 12 : 36;
}

size_t Layer12Decoder::read(std::span<uint8_t> buffer) {
    if (end_ || buffer.size() < maxChunkBytes) return 0;
    const int slots = decodeNext();
    if (slots == 0) return 0;
    int16_t pcm[maxChunkBytes / 2];
    for (int ch = 0; ch < 2; ++ch) {
        const int source = std::min(ch, channels_ - 1);
        for (int t = 0; t < slots; ++t) synthesis_[ch].run(samples_[source][t], pcm + t * 64 + ch, 2);
    }
    const size_t samples = static_cast<size_t>(slots) * 64;
    storeLe16Samples(pcm, samples, buffer.data());
    return samples * 2;
}

size_t Layer12Decoder::readPlanar(const PlanarOutput& out) {
    if (end_) return 0;
    const int slots = decodeNext();
    for (int ch = 0; ch < 2; ++ch) {
        const int source = std::min(ch, channels_ - 1);
        for (int t = 0; t < slots; ++t) synthesis_[ch].runLeftJustified(samples_[source][t], out.at(ch, t * 32));
    }
    return static_cast<size_t>(slots) * 32;
}

void Layer12Decoder::decodeLayer1(const MpegAudioHeader& header, const uint8_t* frame, size_t length,
                                  Subbands& samples) {
    BitReader bits(frame, length);
    bits.skip(32 + (header.crc ? 16 : 0));
    const int channels = header.channels();
    const int bound = header.mode == ChannelMode::jointStereo ? (header.modeExtension + 1) * 4 : 32;
    // Above the bound (intensity stereo) the channels share allocation and
    // samples; each keeps its own scalefactor.
    int allocation[2][32] = {};
    for (int sb = 0; sb < 32; ++sb)
        for (int ch = 0; ch < (sb < bound ? channels : 1); ++ch) {
            const int value = static_cast<int>(bits.get(4));
            allocation[ch][sb] = value == 15 ? 0 : value;  // 15 is forbidden
            if (sb >= bound) allocation[1][sb] = allocation[0][sb];
        }
    float scale[2][32] = {};
    for (int sb = 0; sb < 32; ++sb)
        for (int ch = 0; ch < channels; ++ch)
            if (allocation[ch][sb]) scale[ch][sb] = scalefactors().value[bits.get(6)];
    for (int s = 0; s < 12; ++s)
        for (int sb = 0; sb < 32; ++sb)
            for (int ch = 0; ch < (sb < bound ? channels : 1); ++ch) {
                const int width = allocation[ch][sb] + 1;
                if (width == 1) continue;
                const float value = dequantise(bits.get(width), (1u << width) - 1);
                samples[ch][s][sb] = value * scale[ch][sb];
                if (sb >= bound && channels == 2) samples[1][s][sb] = value * scale[1][sb];
            }
}

void Layer12Decoder::decodeLayer2(const MpegAudioHeader& header, const uint8_t* frame, size_t length,
                                  Subbands& samples) {
    BitReader bits(frame, length);
    bits.skip(32 + (header.crc ? 16 : 0));
    const int channels = header.channels();
    const AllocationTable& table = allocationTable(header);
    const int limit = table.subbands;
    const int bound = std::min(header.mode == ChannelMode::jointStereo ? (header.modeExtension + 1) * 4 : 32, limit);

    uint32_t levels[2][32] = {};
    for (int sb = 0; sb < limit; ++sb)
        for (int ch = 0; ch < (sb < bound ? channels : 1); ++ch) {
            levels[ch][sb] = table.rows[sb]->levels[bits.get(table.rows[sb]->bits)];
            if (sb >= bound) levels[1][sb] = levels[0][sb];
        }
    int scfsi[2][32] = {};
    for (int sb = 0; sb < limit; ++sb)
        for (int ch = 0; ch < channels; ++ch)
            if (levels[ch][sb]) scfsi[ch][sb] = static_cast<int>(bits.get(2));
    // Three scalefactors per subband, one per part of four granules;
    // scfsi says which are transmitted and which repeat.
    float scale[2][32][3] = {};
    const float* factors = scalefactors().value;
    for (int sb = 0; sb < limit; ++sb)
        for (int ch = 0; ch < channels; ++ch) {
            if (!levels[ch][sb]) continue;
            float* s = scale[ch][sb];
            switch (scfsi[ch][sb]) {
                case 0: s[0] = factors[bits.get(6)], s[1] = factors[bits.get(6)], s[2] = factors[bits.get(6)]; break;
                case 1: s[0] = s[1] = factors[bits.get(6)], s[2] = factors[bits.get(6)]; break;
                case 2: s[0] = s[1] = s[2] = factors[bits.get(6)]; break;
                default: s[0] = factors[bits.get(6)], s[1] = s[2] = factors[bits.get(6)]; break;
            }
        }

    for (int granule = 0; granule < 12; ++granule) {
        const int part = granule / 4;
        for (int sb = 0; sb < limit; ++sb)
            for (int ch = 0; ch < (sb < bound ? channels : 1); ++ch) {
                const uint32_t n = levels[ch][sb];
                if (!n) continue;
                float values[3];
                if (const int grouped = groupedBits(n)) {
                    uint32_t code = bits.get(grouped);  // three base-n digits, first sample lowest
                    for (float& v : values) {
                        v = dequantise(code % n, n);
                        code /= n;
                    }
                } else {
                    const int width = sampleBits(n);
                    for (float& v : values) v = dequantise(bits.get(width), n);
                }
                for (int i = 0; i < 3; ++i) {
                    samples[ch][granule * 3 + i][sb] = values[i] * scale[ch][sb][part];
                    if (sb >= bound && channels == 2) samples[1][granule * 3 + i][sb] = values[i] * scale[1][sb][part];
                }
            }
    }
}

int64_t Layer12Decoder::length() {
    if (!known_) return 0;
    return countStreamSamples(*input_, 0, [this](const uint8_t* bytes) {
        if (!isLayer12Header(bytes)) return std::optional<MpegAudioHeader>();
        const auto h = parseMpegAudioHeader(bytes);
        return h->layer == first_.layer && h->samplingIndex == first_.samplingIndex ? h : std::nullopt;
    });
}

}  // namespace lv::audio
