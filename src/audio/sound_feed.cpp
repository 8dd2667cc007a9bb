#include "audio/sound_feed.h"

#include <algorithm>

#include "platform/clock.h"

namespace lv::audio {
namespace {

// Pumps of the root per top-up before giving the timer thread back.
constexpr int maxPumpsPerTopUp = 16;

}  // namespace

SoundFeed::SoundFeed(SoundOutput& output, AudioStream& root)
    : output_(output), root_(root), frames_(static_cast<size_t>(pieceFrames) * root.channels()) {}

void SoundFeed::topUp() {
    const int32_t frameBytes = static_cast<int32_t>(root_.channels()) * 2;
    int pumps = 0;
    while (output_.freeSpace() / frameBytes >= pieceFrames) {
        const int64_t available = root_.validEnd() - consumed_;
        if (available < pieceFrames && !root_.finished()) {
            if (++pumps > maxPumpsPerTopUp) return;
            root_.pump();
            continue;
        }
        const auto n = static_cast<int32_t>(std::min<int64_t>(pieceFrames, available));
        if (n <= 0) return;  // finished and all written
        if (root_.readInterleaved(frames_.data(), n, consumed_, 16) != n) return;
        if (output_.write(frames_.data(), static_cast<uint32_t>(n * frameBytes)) < 0) return;
        consumed_ += n;
        root_.release(consumed_);
    }
}

void SoundFeed::tick() {
    std::lock_guard lock(mutex_);
    if (!output_.isOpen()) return;
    if (!output_.draining()) {
        topUp();
        if (root_.finished() && consumed_ >= root_.validEnd()) output_.markEnd();
    }
    if (output_.draining()) {
        output_.fillSilence();
        if (output_.isDone()) output_.stop();
    }
}

SoundPlayback::SoundPlayback(std::unique_ptr<AudioStream> root, SoundDeviceAcquirer acquire)
    : root_(std::move(root)), output_(std::move(acquire)) {}

SoundPlayback::~SoundPlayback() { stop(); }

bool SoundPlayback::start(void* window) {
    if (!root_) return false;
    const AudioFormat f = root_->format();
    if (!output_.open(window, f.channels, f.sampleRate, 16)) return false;
    feed_ = std::make_unique<SoundFeed>(output_, *root_);
    feed_->topUp();
    timer_.start(tickMs, [this] { feed_->tick(); });
    return true;
}

uint32_t SoundPlayback::beginTiming() {
    output_.play();
    return systemClock().milliseconds() - 100;
}

void SoundPlayback::stop() {
    timer_.stop();  // no tick runs after this
    output_.stop();
    output_.close();
    feed_.reset();
    root_.reset();
}

}  // namespace lv::audio
