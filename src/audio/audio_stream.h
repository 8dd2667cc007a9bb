// The audio stream: a buffered, pull-driven sequence of sample frames, one
// chain of 8192-sample blocks per channel, and the producer that appends to
// it. Every file source and every graph node is an audio stream; consumers
// ask it to produce ahead (pump), read what lies below validEnd and release
// what they have read.
//
//     auto s = AudioStream::create({.channels = 2, .sampleRate = 44100, .bits = 16});
//     int16_t frames[] = {1, -1, 2, -2};
//     s->writeInterleaved(frames, 2, 0, 2, 16, false);
//     s->setValidEnd(2);
//     int16_t back[4];
//     s->readInterleaved(back, 2, 0, 16);   // 2: the frames as written
//
// Samples are stored left-justified in 32 bits (a 16-bit s as s << 16, an
// 8-bit s as s << 24); reading at 16 bits takes the upper half.
// Positions are 64-bit sample-frame counts on the stream's own time line.
// Limits: 1 to 32 channels, 0 to 96000 samples per second, 8 to 32 bits;
// create() gives null outside them. Access outside the stored range gives a
// null pointer ("not available"), never a read of unstored memory.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "audio/page_aligned.h"

namespace lv::audio {

// Kind tags of the audio dispatch.
inline constexpr uint16_t kindAudioStream = 87;
inline constexpr uint16_t kindLayer3Source = 82;
inline constexpr uint16_t kindWavSource = 33;
inline constexpr uint16_t kindLayer12Source = 88;

struct AudioFormat {
    uint32_t reserved = 0;
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint16_t bits = 0;
    uint32_t carried = 0;
};

// Access formats of the access routine.
enum class SampleFormat : uint32_t { s16 = 1, s32 = 2 };

// Pump codes.
inline constexpr uint32_t pumpProduce = 0;
inline constexpr uint32_t pumpDestroy = 0xFFFF;
inline constexpr uint32_t pumpSourceIdle = 0xFFFC;
inline constexpr uint32_t pumpCropCopying = 0xFFFB;

class AudioStream;

// What a node or source keeps and how it produces. The stream owns it; its
// destructor is the destroy hook (owned inputs go with it).
class Producer {
public:
    virtual ~Producer() = default;
    // Pump code 0: append at validEnd (the rules of the pump protocol).
    virtual int32_t produce(AudioStream& self) = 0;
    // Pump codes other than 0 and 0xFFFF; -1 when not answered.
    virtual int32_t answer(AudioStream&, uint32_t) { return -1; }
    // The set-position hook; false when the producer has none.
    virtual bool hasSetPosition() const { return false; }
    virtual void setPosition(AudioStream&, int64_t /*target*/) {}
    // The node's own commands (820 to 843 where answered); -1 otherwise.
    virtual int32_t command(AudioStream&, uint32_t /*command*/, void* /*argument*/, void* /*argument2*/) {
        return -1;
    }
};

// The values a derived stream carries from its input without reading them.
struct CarriedInfo {
    uint16_t flags = 0;
    uint16_t header1 = 0, header2 = 0;
    uint32_t header3 = 0;
    std::vector<std::string> infoList;
    uint32_t infoValue1 = 0;
    uint8_t infoValue2 = 0;
    uint16_t sourceKind = 0;
    uint8_t sourceFlag = 0;
};

class AudioStream {
public:
    static constexpr int32_t blockSamples = 8192;

    // Null when the format lies outside the limits above.
    static std::unique_ptr<AudioStream> create(const AudioFormat& format);
    ~AudioStream();
    AudioStream(const AudioStream&) = delete;
    AudioStream& operator=(const AudioStream&) = delete;

    AudioFormat format() const;
    uint32_t channels() const { return channels_; }
    uint32_t sampleRate() const { return sampleRate_; }
    uint32_t bits() const { return bits_; }

    int64_t firstRetained() const { return firstRetained_; }
    int64_t validEnd() const { return validEnd_; }
    bool finished() const { return finished_; }
    void setValidEnd(int64_t position) { validEnd_ = position; }
    // Moves the whole stored range (a fast-forward or a jump): storage
    // below the new first position is dropped.
    void jumpTo(int64_t position);
    int64_t seekTarget() const { return seekTarget_; }

    // The access routine. Read: `count` samples of `channel` from
    // `position`, in the scratch area; null when not stored. Write: the
    // scratch area for `count` samples, stored at the next access of the
    // channel or the next readInterleaved.
    void* access(int32_t channel, int64_t position, int32_t count, bool write, SampleFormat format);
    // Drops every whole block that ends before position.
    void release(int64_t position);
    // Typed shorthands for nodes.
    // A range inside one storage block comes straight from the block (no
    // copy); it stays valid until the block is released, and a read range
    // must not be written through. Other ranges go through the scratch area.
    const int32_t* read32(int32_t channel, int64_t position, int32_t count) {
        if (int32_t* direct = blockRun(channel, position, count)) return direct;
        return static_cast<const int32_t*>(access(channel, position, count, false, SampleFormat::s32));
    }
    int32_t* write32(int32_t channel, int64_t position, int32_t count) {
        if (int32_t* direct = writeRun(channel, position, count)) return direct;
        return static_cast<int32_t*>(access(channel, position, count, true, SampleFormat::s32));
    }
    // The storage itself for a write inside one block, else null (and
    // nothing to store later): for a writer with a fallback of its own.
    int32_t* writeRun(int32_t channel, int64_t position, int32_t count) {
        if (static_cast<uint32_t>(channel) < channels_ && count > 0) extendTo(position, position + count);
        return blockRun(channel, position, count);
    }

    // Samples from position to the end of its storage block: a read or
    // write of at most this many is handed out without a copy.
    static int32_t blockRoom(int64_t position) {
        const auto offset = static_cast<int32_t>(((position % blockSamples) + blockSamples) % blockSamples);
        return blockSamples - offset;
    }

    // Hands over the storage block that starts at `position` (a multiple
    // of blockSamples) in exchange for `other`'s block there, in every
    // channel: this stream gains other's samples of the block without a
    // copy, other gets this stream's block as it was. False (nothing
    // exchanged) when the channel counts differ or a chain does not hold
    // that block. For a node that passes a whole block of its input on.
    bool exchangeBlock(AudioStream& other, int64_t position);

    // Command 801: interleaved 8- or 16-bit samples of `channels` channels
    // (the stream's count); other widths store nothing. Returns 0, or -1
    // when refused. Does not move validEnd.
    int32_t writeInterleaved(const void* buffer, int32_t count, int64_t position, int32_t channels, int32_t bits,
                             bool unsignedData);
    // Command 806: count samples copied into `destination` (16 or 32 bits
    // per value), or 0 when they are not all stored.
    int32_t readInterleaved(void* destination, int32_t count, int64_t position, int32_t bits);

    // Producer side.
    void install(std::unique_ptr<Producer> producer);
    Producer* producer() { return producer_.get(); }
    bool hasPump() const { return pumping_; }
    // Runs the pump: code 0 produces, 0xFFFF releases the node state;
    // -1 for codes the producer does not answer.
    int32_t pump(uint32_t code = pumpProduce);
    // Called by the producer: sets the finished flag and clears the pump;
    // with releaseState the node state goes as soon as the pump returns.
    void finish(bool releaseState);
    // Command 843 with the target already in samples; -1 without a hook.
    int32_t setPosition(int64_t target);

    // Expires when the stream is destroyed: for holders that must not
    // outlive it without owning it (the soundtrack's duck table).
    std::weak_ptr<const void> aliveToken() const { return alive_; }

    CarriedInfo& info() { return info_; }
    const CarriedInfo& info() const { return info_; }

private:
    // Every block starts a page (page_aligned.h tells why): a node that
    // reads one block while it writes another never loads from where, 4 KB
    // apart, it has just stored. In heap layouts where it did, the fader
    // took up to 1.7 times as long.
    struct alignas(pageBytes) Block {
        int32_t samples[blockSamples];
    };
    struct Channel {
        // Blocks are allocated, not cleared: only what lies below validEnd
        // is ever read.
        std::deque<std::unique_ptr<Block>> blocks;
        std::vector<std::unique_ptr<Block>> spare;  // released blocks kept for reuse
        std::vector<uint8_t> scratch;
        int64_t pendingPosition = 0;
        int32_t scratchCount = 0;
        SampleFormat scratchFormat = SampleFormat::s16;
        bool pendingWrite = false;
    };

    AudioStream(const AudioFormat& format);
    void extendTo(int64_t from, int64_t end);
    void storePending(Channel& channel);
    int32_t* sampleAt(Channel& channel, int64_t position);
    // The stored samples from position when count of them lie in one block,
    // else null.
    int32_t* blockRun(int32_t channel, int64_t position, int32_t count);
    void dropFirstBlock(Channel& channel);
    template <int Channels>
    void storeInterleaved16(const uint8_t* bytes, int32_t count, int64_t position);
    void readStereo16(int16_t* destination, int32_t count, int64_t position);
    void releaseStateIfAsked();

    uint32_t channels_;
    uint32_t sampleRate_;
    uint32_t bits_;
    uint32_t carried_;
    std::vector<Channel> chain_;
    int64_t chainStart_ = 0;  // first sample of every channel's first block
    int64_t chainEnd_ = 0;
    int64_t firstRetained_ = 0;
    int64_t validEnd_ = 0;
    int64_t seekTarget_ = 0;
    bool finished_ = false;
    bool pumping_ = false;
    bool releaseAsked_ = false;
    int pumpDepth_ = 0;
    std::unique_ptr<Producer> producer_;
    CarriedInfo info_;
    std::shared_ptr<const void> alive_ = std::make_shared<int>(0);
};

// Left-justified storage of narrower samples.
inline int32_t fromSample16(int32_t s) { return static_cast<int32_t>(static_cast<uint32_t>(s) << 16); }
inline int16_t toSample16(int32_t stored) { return static_cast<int16_t>(stored >> 16); }

}  // namespace lv::audio
