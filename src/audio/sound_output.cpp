#include "audio/sound_output.h"

#include <vector>

namespace lv::audio {

SoundOutput::SoundOutput(SoundDeviceAcquirer acquire) : acquire_(std::move(acquire)) {}

SoundOutput::~SoundOutput() { close(); }

bool SoundOutput::open(void* window, uint32_t channels, uint32_t rate, uint32_t bits, bool setPrimary) {
    close();
    if (channels < 1 || bits < 8 || bits % 8 != 0 || rate < 1) return false;
    device_ = acquire_ ? acquire_(window) : nullptr;
    if (!device_) return false;
    const PcmFormat format{channels, rate, bits};
    if (setPrimary) device_->setPrimaryFormat(format);  // a refusal is ignored
    const uint32_t size = rate * (bits / 8 * channels);
    uint32_t used = channels;
    buffer_ = device_->createBuffer(format, size, used);
    if (!buffer_) {
        device_.reset();
        return false;
    }
    bufferSize_ = size;
    deviceChannels_ = used;
    channels_ = channels;
    rate_ = frequency_ = rate;
    bits_ = bits;
    clearCounters();
    return true;
}

void SoundOutput::close() {
    if (buffer_) buffer_->stop();
    buffer_.reset();
    device_.reset();
    bufferSize_ = 0;
}

void SoundOutput::clearCounters() {
    written_ = wrapped_ = lastCursor_ = 0;
    draining_ = false;
    endMark_ = 0;
}

void SoundOutput::play() {
    if (buffer_) buffer_->play();
}

void SoundOutput::stop() {
    if (buffer_) buffer_->stop();
}

uint32_t SoundOutput::playedBytes() {
    if (!buffer_) return 0;
    uint32_t cursor = 0;
    int32_t status = buffer_->playCursor(cursor);
    if (status == soundBufferLost && buffer_->restore() == 0) status = buffer_->playCursor(cursor);
    if (status == 0) {
        if (cursor < lastCursor_) wrapped_ += bufferSize_;
        lastCursor_ = cursor;
    }
    return wrapped_ + lastCursor_;
}

int32_t SoundOutput::freeSpace() {
    if (!buffer_) return 0;
    const int64_t space = static_cast<int64_t>(bufferSize_) - written_ + playedBytes() - guardBytes;
    return static_cast<int32_t>(space);
}

int64_t SoundOutput::write(const void* data, uint32_t bytes) {
    if (!buffer_) return soundFailed;
    const auto* p = static_cast<const uint8_t*>(data);
    int32_t status = buffer_->write(written_ % bufferSize_, p, bytes);
    if (status == soundBufferLost && buffer_->restore() == 0) status = buffer_->write(written_ % bufferSize_, p, bytes);
    if (status != 0) return status < 0 ? status : soundFailed;
    written_ += bytes;
    return written_;
}

uint32_t SoundOutput::markEnd() {
    if (!draining_) {
        draining_ = true;
        endMark_ = written_;
    }
    return written_;
}

bool SoundOutput::isDone() {
    if (!buffer_) return true;
    if (!draining_) return false;
    return playedBytes() >= endMark_;
}

void SoundOutput::fillSilence() {
    if (!buffer_ || !draining_) return;
    static const std::vector<uint8_t> zeros(silencePiece, 0);
    while (freeSpace() >= static_cast<int32_t>(silencePiece))
        if (write(zeros.data(), silencePiece) < 0) break;
}

void SoundOutput::reset() {
    if (!buffer_) return;
    buffer_->stop();
    clearCounters();
    buffer_->setPlayCursor(0);
}

void SoundOutput::setSpeed(uint32_t percent) {
    frequency_ = rate_ * percent / 100;
    if (buffer_) buffer_->setFrequency(frequency_);
}

void SoundOutput::setSpeedAndRestart(uint32_t percent) {
    if (!buffer_) return;
    buffer_->stop();
    setSpeed(percent);
    clearCounters();
    buffer_->setPlayCursor(0);
}

void SoundOutput::setPlayPosition(uint32_t bytes) {
    if (!buffer_ || bytes < playedBytes()) return;
    if (bytes > written_) written_ = bytes;
    buffer_->setPlayCursor(bytes % bufferSize_);
}

void SoundOutput::setVolume(uint32_t volume) {
    if (buffer_) buffer_->setAttenuation(static_cast<int32_t>(static_cast<int64_t>(volume) * 5000 / 65535) - 5000);
}

uint32_t SoundOutput::volume() {
    if (!buffer_) return 0;
    return static_cast<uint32_t>((static_cast<int64_t>(buffer_->attenuation()) + 5000) * 65535 / 5000);
}

}  // namespace lv::audio
