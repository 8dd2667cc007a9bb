// The AudioCrop: the samples of its source from a start to an end position.
// It asks the source to seek to the start, passes over what comes before
// it and copies the range; its own time line starts at its seek target.
#include <algorithm>
#include <cstring>
#include <mutex>

#include "audio/graph_nodes.h"

namespace lv::audio {
namespace {

constexpr int64_t cropChunk = 2048;

enum class CropState { fresh, waiting, skipping, copying, done };

class AudioCrop final : public Producer {
public:
    AudioCrop(StreamRef source, int64_t start, int64_t end) : source_(std::move(source)), start_(start), end_(end) {}

    int32_t produce(AudioStream& self) override {
        std::lock_guard lock(mutex_);
        const PumpBudget budget(budgetMs);
        AudioStream& in = *source_.stream;
        if (state_ == CropState::fresh) {
            in.setPosition(start_ + self.seekTarget());
            state_ = CropState::waiting;
        }
        if (state_ == CropState::waiting) {
            pumpUntilData(in, budget);
            if (in.validEnd() <= in.firstRetained() && !in.finished()) return 0;
            read_ = in.firstRetained();
            state_ = CropState::skipping;
        }
        const int64_t startEnd = self.validEnd();
        while (self.validEnd() - startEnd <= lookAhead) {
            int64_t chunk;
            if (state_ == CropState::skipping) {
                const int64_t distance = start_ + self.seekTarget() - read_;
                if (distance > 0) {
                    chunk = std::min(cropChunk, distance);
                } else {
                    beginCopy(self);
                    chunk = std::min(cropChunk, end_ - read_);
                }
            } else {
                chunk = std::min(cropChunk, end_ - read_);
            }
            if (state_ == CropState::copying && chunk <= 0) {
                state_ = CropState::done;
                self.finish(true);
                return 0;
            }
            pumpFor(in, read_ + chunk, budget);
            const int64_t available = std::min(chunk, in.validEnd() - read_);
            if (available <= 0) {
                if (in.finished()) {
                    state_ = CropState::done;
                    self.finish(true);
                }
                return 0;
            }
            if (state_ == CropState::copying) copy(self, in, static_cast<int32_t>(available));
            read_ += available;
            in.release(read_);
            if (state_ == CropState::skipping && read_ == start_ + self.seekTarget()) beginCopy(self);
            if (budget.spent()) break;
        }
        if (in.finished() && state_ == CropState::copying && read_ >= in.validEnd()) {
            state_ = CropState::done;
            self.finish(true);
        }
        return 0;
    }

    int32_t answer(AudioStream&, uint32_t code) override {
        if (code != pumpCropCopying) return -1;
        return state_ == CropState::copying ? 1 : 0;
    }

    bool hasSetPosition() const override { return true; }
    void setPosition(AudioStream&, int64_t) override {}  // the stream keeps the target

private:
    void beginCopy(AudioStream& self) {
        state_ = CropState::copying;
        self.jumpTo(self.seekTarget());
    }

    void copy(AudioStream& self, AudioStream& in, int32_t count) {
        const int64_t at = self.validEnd();
        for (uint32_t c = 0; c < self.channels(); ++c) {
            const int32_t* samples = in.read32(static_cast<int32_t>(c), read_, count);
            int32_t* out = self.write32(static_cast<int32_t>(c), at, count);
            if (samples)
                std::memcpy(out, samples, static_cast<size_t>(count) * 4);
            else
                std::memset(out, 0, static_cast<size_t>(count) * 4);
        }
        self.setValidEnd(at + count);
    }

    std::mutex mutex_;
    StreamRef source_;
    int64_t start_;
    int64_t end_;
    int64_t read_ = 0;
    CropState state_ = CropState::fresh;
};

}  // namespace

std::unique_ptr<AudioStream> createAudioCrop(CropSetup setup) {
    if (!setup.source.stream) return nullptr;
    AudioStream& in = *setup.source.stream;
    auto out = AudioStream::create(in.format());
    if (!out) return nullptr;
    int64_t start = setup.startSample, end = setup.endSample;
    if (!setup.useSamples) {
        start = static_cast<int64_t>(in.sampleRate() * setup.startSeconds);
        end = static_cast<int64_t>(in.sampleRate() * setup.endSeconds);
    }
    if (end < 0) end = INT64_MAX / 2;  // no end
    deriveFrom(*out, &in, true);
    out->install(std::make_unique<AudioCrop>(std::move(setup.source), std::max<int64_t>(0, start), end));
    return out;
}

}  // namespace lv::audio
