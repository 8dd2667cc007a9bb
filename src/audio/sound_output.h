// The sound output: 16-bit PCM played from one looping buffer of one
// second. The producer writes behind the play cursor; the output counts
// what has been written and played and tells how much may be written
// without overtaking the play cursor (a guard of 8192 bytes stays free).
//
//     SoundOutput out;
//     if (out.open(window, 2, 44100, 16)) { ... }   // 176400-byte buffer
//     while (out.freeSpace() >= 8192) out.write(pcm, 8192);
//     out.play();
//     ...
//     out.markEnd();                                 // no more data
//     while (!out.isDone()) out.fillSilence();       // silence after the end
//
// Without a sound device open() fails and the output stays closed: free
// space 0, writes do nothing, isDone() true, so feeding loops do nothing.
// Writes that fail (a lost buffer is restored and tried once more) return
// the error and leave the written count unchanged.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "audio/sound_device.h"

namespace lv::audio {

using SoundDeviceAcquirer = std::function<SoundDeviceHandle(void* window)>;

class SoundOutput {
public:
    static constexpr uint32_t guardBytes = 8192;
    static constexpr uint32_t silencePiece = 4096;

    explicit SoundOutput(SoundDeviceAcquirer acquire = acquirePlatformSoundDevice);
    ~SoundOutput();
    SoundOutput(const SoundOutput&) = delete;
    SoundOutput& operator=(const SoundOutput&) = delete;

    bool open(void* window, uint32_t channels, uint32_t rate, uint32_t bits, bool setPrimary = true);
    void close();
    bool isOpen() const { return buffer_ != nullptr; }

    void play();
    void stop();
    uint32_t playedBytes();
    uint32_t writtenBytes() const { return written_; }
    uint32_t bufferSize() const { return bufferSize_; }
    int32_t freeSpace();
    // The new written count, or a negative error.
    int64_t write(const void* data, uint32_t bytes);
    // Starts draining (once); the written count.
    uint32_t markEnd();
    bool draining() const { return draining_; }
    bool isDone();
    // While draining: zeros in pieces of 4096 as far as free space allows.
    void fillSilence();

    void reset();
    void setSpeed(uint32_t percent);
    void setSpeedAndRestart(uint32_t percent);
    void setPlayPosition(uint32_t bytes);
    // 0 (-50 dB) to 65535 (0 dB).
    void setVolume(uint32_t volume);
    uint32_t volume();
    uint32_t frequency() const { return frequency_; }
    uint32_t deviceChannels() const { return deviceChannels_; }

private:
    void clearCounters();

    SoundDeviceAcquirer acquire_;
    SoundDeviceHandle device_;
    std::unique_ptr<SoundBuffer> buffer_;
    uint32_t bufferSize_ = 0;
    uint32_t written_ = 0;
    uint32_t wrapped_ = 0;
    uint32_t lastCursor_ = 0;
    uint32_t deviceChannels_ = 0;
    uint32_t rate_ = 0;
    uint32_t frequency_ = 0;
    uint32_t bits_ = 0;
    uint32_t channels_ = 0;
    bool draining_ = false;
    uint32_t endMark_ = 0;
};

}  // namespace lv::audio
