#include "audio/mp3_decoder.h"

#include <algorithm>
#include <cstring>

#include "audio/byte_order.h"
#include "audio/mpeg_frame_count.h"

namespace lv::audio {
namespace {

constexpr size_t mainDataSlack = 64;

// ID3v2: "ID3", version, flags, then a 28-bit syncsafe size (7 bits from
// each of bytes 6 to 9) that excludes the 10-byte header.
int64_t id3v2TagLength(const uint8_t* bytes, size_t available) {
    if (available < 10 || std::memcmp(bytes, "ID3", 3) != 0) return 0;
    const int64_t size = static_cast<int64_t>(bytes[6] & 0x7F) << 21 | (bytes[7] & 0x7F) << 14 |
                         (bytes[8] & 0x7F) << 7 | (bytes[9] & 0x7F);
    return size + 10;
}

// Interleaved little-endian 16-bit samples of `channels` channels into
// planar storage samples; returns the sample frames.
size_t spreadPlanar(const std::vector<uint8_t>& bytes, size_t channels, const PlanarOutput& out) {
    const size_t frames = bytes.size() / (2 * channels);
    for (size_t i = 0; i < frames; ++i) {
        const auto offset = static_cast<int32_t>(i);
        for (size_t c = 0; c < channels; ++c) {
            const uint8_t* p = bytes.data() + 2 * (i * channels + c);
            out.at(static_cast<int>(c), offset)[0] =
                static_cast<int32_t>(static_cast<uint32_t>(p[1]) << 24 | static_cast<uint32_t>(p[0]) << 16);
        }
    }
    return frames;
}

bool sameStream(const MpegAudioHeader& a, const MpegAudioHeader& b) {
    return a.mpeg1 == b.mpeg1 && a.samplingIndex == b.samplingIndex && a.channels() == b.channels();
}

}  // namespace

Layer3Decoder::Layer3Decoder(std::unique_ptr<ByteSource> input) : input_(std::move(input)) { open(); }

void Layer3Decoder::open() {
    end_ = false;
    window_.assign(windowBytes, 0);
    reservoir_.assign(reservoirBytes, 0);
    reservoirWritten_ = 0;
    frames_.clear();
    framesFound_ = framesDecoded_ = 0;
    indexEnded_ = false;
    pending_.clear();
    frameDecoder_.reset();

    tagLength_ = 0;
    if (readWindowFrom(0)) {
        tagLength_ = id3v2TagLength(window_.data(), windowLength_);
        if (tagLength_ > 0) readWindowFrom(tagLength_);
    }
    indexBatch();
    if (frames_.empty()) end_ = true;
}

bool Layer3Decoder::readWindowFrom(int64_t position) {
    windowLength_ = 0;
    scanPosition_ = 0;
    previousMainLength_ = 0;
    inputEnded_ = true;
    if (!input_->seek(position)) return false;
    windowLength_ = input_->read(window_.data(), windowBytes);
    inputEnded_ = windowLength_ < windowBytes;
    return true;
}

void Layer3Decoder::refill() {
    if (inputEnded_) return;
    std::memmove(window_.data(), window_.data() + refillBytes, windowBytes - refillBytes);
    const size_t got = input_->read(window_.data() + (windowBytes - refillBytes), refillBytes);
    scanPosition_ -= refillBytes;
    windowLength_ = windowBytes - refillBytes + got;
    if (got < refillBytes) inputEnded_ = true;
}

void Layer3Decoder::appendToReservoir(const uint8_t* bytes, size_t count) {
    while (count > 0) {
        const size_t at = static_cast<size_t>(reservoirWritten_ % static_cast<int64_t>(reservoirBytes));
        const size_t n = std::min(count, reservoirBytes - at);
        std::memcpy(reservoir_.data() + at, bytes, n);
        bytes += n;
        count -= n;
        reservoirWritten_ += static_cast<int64_t>(n);
    }
}

bool Layer3Decoder::indexNextFrame() {
    if (scanPosition_ > refillThreshold) refill();

    // Jump over the previous frame's main data; it belongs to the reservoir.
    const size_t jump = std::min(previousMainLength_, windowLength_ - scanPosition_);
    appendToReservoir(window_.data() + scanPosition_, jump);
    scanPosition_ += jump;

    // Search byte by byte; whatever is passed over is main data too.
    for (;;) {
        if (scanPosition_ > refillThreshold) refill();
        if (scanPosition_ + 4 > windowLength_) {
            appendToReservoir(window_.data() + scanPosition_, windowLength_ - scanPosition_);
            scanPosition_ = windowLength_;
            return false;
        }
        const uint8_t* at = window_.data() + scanPosition_;
        if (isLayer3Header(at)) {
            const MpegAudioHeader header = *parseMpegAudioHeader(at);
            const size_t headerBytes = 4 + (header.crc ? 2 : 0) + static_cast<size_t>(header.sideInfoLength());
            const bool consistent =
                (known_ || confirmedByNextHeader(header)) &&
                (!checkConsistency_ || (header.mode == first_.mode && header.samplingIndex == first_.samplingIndex));
            if (!consistent) checkConsistency_ = false;
            if (consistent && scanPosition_ + headerBytes <= windowLength_) {
                FrameDescriptor frame;
                frame.header = header;
                std::memcpy(frame.sideInfo, at + 4 + (header.crc ? 2 : 0), static_cast<size_t>(header.sideInfoLength()));
                frame.mainDataStart = reservoirWritten_ - mp3::readMainDataBegin(header, frame.sideInfo);
                if (!frames_.empty() && frames_.back().mainDataLength < 0)
                    frames_.back().mainDataLength = frame.mainDataStart - frames_.back().mainDataStart + 7;
                if (!known_) {
                    first_ = header;
                    known_ = true;
                }
                frames_.push_back(frame);
                ++framesFound_;
                scanPosition_ += headerBytes;
                previousMainLength_ = static_cast<size_t>(std::max(0, header.mainDataLength()));
                return true;
            }
        }
        appendToReservoir(at, 1);
        ++scanPosition_;
    }
}

// Until the stream is known, a header counts only when the next frame's
// header follows where its length says (or the input ends there): a lone
// sync pattern inside a tag or other data is not a stream.
bool Layer3Decoder::confirmedByNextHeader(const MpegAudioHeader& header) const {
    const size_t next = scanPosition_ + static_cast<size_t>(header.frameLength());
    if (next + 4 > windowLength_) return inputEnded_ ? next <= windowLength_ : true;
    const uint8_t* at = window_.data() + next;
    if (!isLayer3Header(at)) return false;
    const MpegAudioHeader following = *parseMpegAudioHeader(at);
    return following.mpeg1 == header.mpeg1 && following.samplingIndex == header.samplingIndex;
}

void Layer3Decoder::indexBatch() {
    for (int i = 0; i < batchFrames && !indexEnded_; ++i) {
        if (indexNextFrame()) continue;
        indexEnded_ = true;
        // The last frame's main data runs to the end of the input.
        if (!frames_.empty() && frames_.back().mainDataLength < 0)
            frames_.back().mainDataLength = reservoirWritten_ - frames_.back().mainDataStart;
    }
}

bool Layer3Decoder::nextFrame(FrameDescriptor& frame) {
    // Keep one frame of look-ahead: a frame's main data length is known only
    // once the next frame has been found.
    if (frames_.size() < 2 && !indexEnded_) indexBatch();
    if (frames_.empty()) {
        end_ = true;
        return false;
    }
    frame = frames_.front();
    frames_.pop_front();
    if (frames_.empty() && indexEnded_) end_ = true;
    return true;
}

size_t Layer3Decoder::frameBytes(const MpegAudioHeader& header) const {
    return static_cast<size_t>(header.samplesPerFrame() * header.channels() * 2);
}

bool Layer3Decoder::cutMainData(const FrameDescriptor& frame, mp3::SideInfo& side, std::span<const uint8_t>& mainData) {
    // Frames that change the stream's shape, cannot be parsed, or whose
    // main data is not (or no longer) in the reservoir are dropped.
    if (!sameStream(frame.header, first_)) return false;
    if (!mp3::parseSideInfo(frame.header, frame.sideInfo, side)) return false;
    const int64_t oldest = std::max<int64_t>(0, reservoirWritten_ - static_cast<int64_t>(reservoirBytes));
    if (frame.mainDataLength < 0 || frame.mainDataStart < oldest) return false;
    const auto length = static_cast<size_t>(std::min(frame.mainDataLength, reservoirWritten_ - frame.mainDataStart));

    // The reservoir is a ring: the main data may wrap around its end.
    mainData_.assign(length + mainDataSlack, 0);
    const auto at = static_cast<size_t>(frame.mainDataStart % static_cast<int64_t>(reservoirBytes));
    const size_t first = std::min(length, reservoirBytes - at);
    std::memcpy(mainData_.data(), reservoir_.data() + at, first);
    std::memcpy(mainData_.data() + first, reservoir_.data(), length - first);
    mainData = std::span<const uint8_t>(mainData_.data(), length);
    return true;
}

size_t Layer3Decoder::decodeFrame(const FrameDescriptor& frame, uint8_t* out) {
    mp3::SideInfo side;
    std::span<const uint8_t> mainData;
    if (!cutMainData(frame, side, mainData)) return 0;
    int16_t pcm[maxChunkBytes / 2];
    frameDecoder_.decode(frame.header, side, mainData, pcm);
    const size_t bytes = frameBytes(frame.header);
    storeLe16Samples(pcm, bytes / 2, out);
    return bytes;
}

size_t Layer3Decoder::decodeFrame(const FrameDescriptor& frame, const PlanarOutput& out) {
    mp3::SideInfo side;
    std::span<const uint8_t> mainData;
    if (!cutMainData(frame, side, mainData)) return 0;
    frameDecoder_.decode(frame.header, side, mainData, out);
    return static_cast<size_t>(frame.header.samplesPerFrame());
}

DecoderFormat Layer3Decoder::format() {
    DecoderFormat f;
    if (!firstDecoded_) {
        std::vector<uint8_t> chunk(maxChunkBytes);
        while (!end_ && pending_.empty()) {
            const size_t n = read(chunk);
            pending_.assign(chunk.begin(), chunk.begin() + static_cast<ptrdiff_t>(n));
        }
        firstDecoded_ = !pending_.empty();
    }
    if (!firstDecoded_) return f;
    f.sampleRate = static_cast<uint32_t>(first_.sampleRate());
    f.bits = 16;
    f.channels = static_cast<uint32_t>(first_.channels());
    f.bytesPerSecond = f.sampleRate * f.channels * 2;
    f.valid = true;
    return f;
}

size_t Layer3Decoder::read(std::span<uint8_t> buffer) {
    if (buffer.size() < maxChunkBytes) return 0;
    if (!pending_.empty()) {
        const size_t n = pending_.size();
        std::memcpy(buffer.data(), pending_.data(), n);
        pending_.clear();
        return n;
    }
    FrameDescriptor frame;
    if (end_ || !nextFrame(frame)) return 0;
    ++framesDecoded_;
    return decodeFrame(frame, buffer.data());
}

size_t Layer3Decoder::readPlanar(const PlanarOutput& out) {
    if (!pending_.empty()) {
        const size_t frames = spreadPlanar(pending_, static_cast<size_t>(first_.channels()), out);
        pending_.clear();
        return frames;
    }
    FrameDescriptor frame;
    if (end_ || !nextFrame(frame)) return 0;
    ++framesDecoded_;
    return decodeFrame(frame, out);
}

size_t Layer3Decoder::skip(uint64_t) {
    if (!pending_.empty()) {
        const size_t n = pending_.size();
        pending_.clear();
        return n;
    }
    FrameDescriptor frame;
    if (end_ || !nextFrame(frame)) return 0;
    ++framesDecoded_;
    return sameStream(frame.header, first_) ? frameBytes(frame.header) : 0;
}

void Layer3Decoder::restart() {
    // Re-index from the start; while the first frames are found again a
    // header whose mode or sampling frequency differs from the stream's is
    // taken for a false sync (once).
    checkConsistency_ = known_;
    open();
}

int64_t Layer3Decoder::length() {
    if (!known_) return 0;
    return countStreamSamples(*input_, tagLength_, [this](const uint8_t* bytes) {
        const auto h = isLayer3Header(bytes) ? parseMpegAudioHeader(bytes) : std::nullopt;
        return h && sameStream(*h, first_) ? h : std::nullopt;
    });
}

}  // namespace lv::audio
