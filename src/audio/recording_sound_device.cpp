#include "audio/recording_sound_device.h"

namespace lv::audio {

class RecordingBuffer final : public SoundBuffer {
public:
    explicit RecordingBuffer(std::shared_ptr<RecordingSoundDevice> device) : d_(std::move(device)) {}
    ~RecordingBuffer() override { d_->hasBuffer_ = false; }

    int32_t playCursor(uint32_t& cursor) override {
        if (d_->lost_) return soundBufferLost;
        cursor = d_->cursor_;
        return 0;
    }
    int32_t write(uint32_t offset, const uint8_t* data, uint32_t bytes) override {
        if (d_->lost_) return soundBufferLost;
        if (d_->failWrites || bytes > d_->memory_.size()) return soundFailed;
        for (uint32_t i = 0; i < bytes; ++i) d_->memory_[(offset + i) % d_->memory_.size()] = data[i];
        return 0;
    }
    int32_t restore() override {
        d_->lost_ = false;
        return 0;
    }
    void play() override { d_->playing_ = true; }
    void stop() override { d_->playing_ = false; }
    void setFrequency(uint32_t) override {}
    void setAttenuation(int32_t hundredthsDb) override { attenuation_ = hundredthsDb; }
    int32_t attenuation() override { return attenuation_; }
    void setPlayCursor(uint32_t offset) override { d_->cursor_ = offset; }

private:
    std::shared_ptr<RecordingSoundDevice> d_;
    int32_t attenuation_ = 0;
};

std::unique_ptr<SoundBuffer> RecordingSoundDevice::createBuffer(const PcmFormat&, uint32_t bytes, uint32_t& channelsUsed) {
    if (hasBuffer_ || bytes == 0) return nullptr;
    memory_.assign(bytes, 0);
    cursor_ = 0;
    hasBuffer_ = true;
    channelsUsed = 2;
    return std::make_unique<RecordingBuffer>(shared_from_this());
}

void RecordingSoundDevice::advance(uint32_t bytes) {
    if (!playing_ || memory_.empty()) return;
    for (uint32_t i = 0; i < bytes; ++i) {
        played_.push_back(memory_[cursor_]);
        cursor_ = (cursor_ + 1) % static_cast<uint32_t>(memory_.size());
    }
}

}  // namespace lv::audio
