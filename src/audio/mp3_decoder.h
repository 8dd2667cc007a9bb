// The Layer III decoder behind the decoder handle (MPEG-1 and MPEG-2 low
// sampling frequency audio Layer III).
//
// Input runs through a 50000-byte window refilled 15000 bytes at a time, so
// the header search never needs the whole file. Frames are indexed 7 at a
// time: every byte that is not a frame header or side information (main
// data, padding, anything between frames) goes into the bit reservoir, and
// each frame's main data is later cut out of the reservoir from
// main_data_begin bytes back. One read() decodes exactly one frame; skip()
// steps over one frame without decoding it.
#pragma once

#include <deque>
#include <vector>

#include "audio/decoder.h"
#include "audio/mp3_frame_decoder.h"
#include "audio/mpeg_audio_header.h"

namespace lv::audio {

class Layer3Decoder final : public Decoder {
public:
    static constexpr size_t windowBytes = 50000;
    static constexpr size_t refillBytes = 15000;
    static constexpr size_t refillThreshold = 33000;
    static constexpr size_t reservoirBytes = 52000;
    static constexpr int batchFrames = 7;
    static constexpr size_t maxChunkBytes = 4608;

    explicit Layer3Decoder(std::unique_ptr<ByteSource> input);

    DecoderFormat format() override;
    size_t largestChunk() const override { return maxChunkBytes; }
    size_t read(std::span<uint8_t> buffer) override;
    bool readsPlanar() const override { return true; }
    size_t readPlanar(const PlanarOutput& out) override;
    size_t skip(uint64_t bytes) override;
    bool atEnd() const override { return end_; }
    int64_t length() override;
    void restart() override;

    int64_t id3TagLength() const { return tagLength_; }
    uint64_t framesDecoded() const { return framesDecoded_; }

private:
    struct FrameDescriptor {
        MpegAudioHeader header;
        uint8_t sideInfo[32];
        int64_t mainDataStart = 0;   // absolute reservoir position
        int64_t mainDataLength = -1; // -1 until the next frame (or the end) is found
    };

    void open();
    void refill();
    bool readWindowFrom(int64_t position);
    void appendToReservoir(const uint8_t* bytes, size_t count);
    bool indexNextFrame();
    bool confirmedByNextHeader(const MpegAudioHeader& header) const;
    void indexBatch();
    bool nextFrame(FrameDescriptor& frame);
    // The frame's side information and main data (in mainData_); false for
    // a frame that is dropped.
    bool cutMainData(const FrameDescriptor& frame, mp3::SideInfo& side, std::span<const uint8_t>& mainData);
    size_t decodeFrame(const FrameDescriptor& frame, uint8_t* out);
    size_t decodeFrame(const FrameDescriptor& frame, const PlanarOutput& out);
    size_t frameBytes(const MpegAudioHeader& header) const;

    std::unique_ptr<ByteSource> input_;
    std::vector<uint8_t> window_;
    size_t windowLength_ = 0;
    bool inputEnded_ = false;
    bool indexEnded_ = false;
    size_t scanPosition_ = 0;
    size_t previousMainLength_ = 0;
    int64_t tagLength_ = 0;

    // The reservoir is a ring addressed by absolute byte count, so a frame
    // whose main data has already been overwritten is recognised and dropped.
    std::vector<uint8_t> reservoir_;
    int64_t reservoirWritten_ = 0;

    std::deque<FrameDescriptor> frames_;
    uint64_t framesFound_ = 0;
    uint64_t framesDecoded_ = 0;
    bool checkConsistency_ = false;
    bool known_ = false;
    MpegAudioHeader first_;

    std::vector<uint8_t> pending_;  // the first frame, decoded for format()
    bool firstDecoded_ = false;
    bool end_ = true;

    std::vector<uint8_t> mainData_;
    mp3::FrameDecoder frameDecoder_;
};

}  // namespace lv::audio
