#include "audio/wav_reader.h"

#include <algorithm>
#include <cstring>

#include "audio/byte_order.h"

namespace lv::audio {
namespace {

// Audio-stream limits: a header asking for more is refused.
constexpr uint32_t maxChannels = 32;
constexpr uint32_t maxSampleRate = 96000;

bool readExactly(ByteSource& input, uint8_t* buffer, size_t count) {
    return input.read(buffer, count) == count;
}

}  // namespace

WavReader::WavReader(std::unique_ptr<ByteSource> input) : input_(std::move(input)) {
    valid_ = parseHeader();
    end_ = !valid_;
}

bool WavReader::parseHeader() {
    ByteSource& in = *input_;
    uint8_t riff[12];
    if (!in.seek(0) || !readExactly(in, riff, sizeof riff)) return false;
    if (std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0) return false;

    // The format chunk's header and its first 16 bytes; its identifier is
    // not checked.
    uint8_t fmt[24];
    if (!readExactly(in, fmt, sizeof fmt)) return false;
    const uint32_t formatSize = readLe32(fmt + 4);
    channels_ = readLe16(fmt + 10);
    sampleRate_ = readLe32(fmt + 12);
    const uint32_t blockAlign = readLe16(fmt + 20);
    bits_ = readLe16(fmt + 22);
    if (bits_ == 0) bits_ = blockAlign * 8;
    if (formatSize < 16) return false;
    int64_t next = in.tell() + (formatSize - 16) + (formatSize & 1);

    // Walk the chunks to "data", each followed by its pad byte when odd.
    for (;;) {
        if (!in.seek(next) || in.tell() != next) return false;
        uint8_t header[8];
        if (!readExactly(in, header, sizeof header)) return false;
        const uint32_t size = readLe32(header + 4);
        if (std::memcmp(header, "data", 4) == 0) {
            dataStart_ = in.tell();
            dataEnd_ = dataStart_ + size;
            break;
        }
        next = in.tell() + size + (size & 1);
        if (in.size() >= 0 && next > in.size()) return false;
    }
    const bool wholeSamples = bits_ % 8 == 0 && bits_ >= 8 && bits_ <= 32;
    return wholeSamples && channels_ >= 1 && channels_ <= maxChannels && sampleRate_ >= 1 &&
           sampleRate_ <= maxSampleRate;
}

DecoderFormat WavReader::format() {
    DecoderFormat f;
    if (!valid_) return f;
    f.sampleRate = sampleRate_;
    f.bits = bits_;
    f.channels = channels_;
    f.bytesPerSecond = bits_ / 8 * channels_ * sampleRate_;
    f.valid = true;
    return f;
}

uint64_t WavReader::bytesLeft() const {
    return static_cast<uint64_t>(std::max<int64_t>(0, dataEnd_ - input_->tell()));
}

size_t WavReader::read(std::span<uint8_t> buffer) {
    if (!valid_ || end_) return 0;
    uint64_t n = std::min<uint64_t>(chunkBytes, buffer.size());
    if (bytesLeft() <= n) {
        n = bytesLeft();
        end_ = true;
    }
    const size_t got = input_->read(buffer.data(), static_cast<size_t>(n));
    if (got < n) end_ = true;
    return got;
}

size_t WavReader::skip(uint64_t bytes) {
    if (!valid_ || end_) return 0;
    if (bytesLeft() <= bytes) {
        bytes = bytesLeft();
        end_ = true;
    }
    const int64_t target = input_->tell() + static_cast<int64_t>(bytes);
    if (!input_->seek(target)) {
        end_ = true;
        return 0;
    }
    return static_cast<size_t>(bytes);
}

int64_t WavReader::length() {
    const int64_t frameBytes = static_cast<int64_t>(bits_ / 8 * channels_);
    return valid_ && frameBytes > 0 ? (dataEnd_ - dataStart_) / frameBytes : 0;
}

void WavReader::restart() {
    if (!valid_) return;
    end_ = false;
    if (input_->tell() != dataStart_) input_->seek(dataStart_);
}

}  // namespace lv::audio
