// A sound device that plays into memory: its one buffer's play cursor moves
// only when advance() says so, and every byte it passes over is recorded.
// For tests and for checking an output against the offline render.
//
//     auto device = std::make_shared<RecordingSoundDevice>();
//     SoundOutput out([device](void*) { return device; });
//     out.open(nullptr, 2, 44100, 16);
//     ... out.play(); device->advance(8192); ...
//     device->played();   // the bytes "heard", in order
//
// loseBuffer() makes the next call see a lost buffer (restored by
// restore()); failWrites makes writes fail until cleared.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "audio/sound_device.h"

namespace lv::audio {

class RecordingSoundDevice final : public SoundDevice, public std::enable_shared_from_this<RecordingSoundDevice> {
public:
    std::unique_ptr<SoundBuffer> createBuffer(const PcmFormat& format, uint32_t bytes, uint32_t& channelsUsed) override;
    bool setPrimaryFormat(const PcmFormat&) override { return true; }
    uint32_t channels() const override { return 2; }

    // Moves the play cursor by `bytes` while the buffer plays.
    void advance(uint32_t bytes);
    const std::vector<uint8_t>& played() const { return played_; }
    bool playing() const { return playing_; }
    void loseBuffer() { lost_ = true; }
    bool failWrites = false;

private:
    friend class RecordingBuffer;
    std::vector<uint8_t> memory_;
    std::vector<uint8_t> played_;
    uint32_t cursor_ = 0;
    bool playing_ = false;
    bool lost_ = false;
    bool hasBuffer_ = false;
};

}  // namespace lv::audio
