// The AudioCrop: the samples of its source from a start to an end position.
// It asks the source to seek to the start, passes over what comes before
// it and copies the range; its own time line starts at its seek target.
// A crop from the start (a song cut short) shares its source's time line:
// it then takes over each whole storage block of a source it owns instead
// of copying it.
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
        adoptedAt_ = -1;
        self.jumpTo(self.seekTarget());
    }

    // In runs that lie in one storage block: a run in a block taken over
    // from the source is already in place.
    void copy(AudioStream& self, AudioStream& in, int32_t count) {
        const int64_t at = self.validEnd();
        for (int32_t done = 0; done < count;) {
            const int64_t to = at + done, from = read_ + done;
            const int32_t run = std::min(count - done, AudioStream::blockRoom(to));
            if (!adopted(to) && !adopt(self, in, to, from)) copyRun(self, in, to, from, run);
            done += run;
        }
        self.setValidEnd(at + count);
    }

    void copyRun(AudioStream& self, AudioStream& in, int64_t to, int64_t from, int32_t count) {
        for (uint32_t c = 0; c < self.channels(); ++c) {
            const int32_t* samples = in.read32(static_cast<int32_t>(c), from, count);
            int32_t* out = self.write32(static_cast<int32_t>(c), to, count);
            if (samples)
                std::memcpy(out, samples, static_cast<size_t>(count) * 4);
            else
                std::memset(out, 0, static_cast<size_t>(count) * 4);
        }
    }

    // Exchanges the whole block that starts at `to` for the source's, when
    // the two time lines meet there, the source has produced all of it and
    // the crop is the source's one reader (it owns it); the source gets the
    // crop's unused block, which it releases unread.
    bool adopt(AudioStream& self, AudioStream& in, int64_t to, int64_t from) {
        if (!source_.owned || to != from || AudioStream::blockRoom(to) != AudioStream::blockSamples) return false;
        if (in.validEnd() < to + AudioStream::blockSamples || !self.exchangeBlock(in, to)) return false;
        adoptedAt_ = to;
        return true;
    }

    bool adopted(int64_t position) const {
        return adoptedAt_ >= 0 && position >= adoptedAt_ && position < adoptedAt_ + AudioStream::blockSamples;
    }

    std::mutex mutex_;
    StreamRef source_;
    int64_t start_;
    int64_t end_;
    int64_t read_ = 0;
    int64_t adoptedAt_ = -1;  // the block last taken over from the source
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
