// The VolumeFader: a gain envelope of (sample position, gain x 256) entries
// over its source's time line. Between two entries the gain ramps by a
// rounded multiply-divide; each sample becomes ((s >> 10) * 4 * g) with its
// low 10 bits cleared, saturated so that a gain above unity cannot wrap.
#include <algorithm>
#include <climits>
#include <mutex>

#include "audio/graph_nodes.h"
#include "audio/mix_kernels.h"

namespace lv::audio {
namespace {

constexpr int64_t faderChunk = 2048;

// The rounding 32-bit multiply-divide: a * b / c rounded half away from
// zero, -1 when c is 0 or the result does not fit.
int32_t mulDiv(int32_t a, int32_t b, int32_t c) {
    if (c == 0) return -1;
    const int64_t product = static_cast<int64_t>(a) * b;
    const int64_t half = (c < 0 ? -static_cast<int64_t>(c) : c) / 2;
    const bool negative = (product < 0) != (c < 0);
    const int64_t magnitude = ((product < 0 ? -product : product) + half) / (c < 0 ? -static_cast<int64_t>(c) : c);
    const int64_t result = negative ? -magnitude : magnitude;
    if (result > INT32_MAX || result < INT32_MIN) return -1;
    return static_cast<int32_t>(result);
}

int32_t applyGain(int32_t sample, int32_t gain) {
    int64_t v = static_cast<int64_t>(sample >> 10) * 4 * gain;
    v = std::clamp<int64_t>(v, INT32_MIN, INT32_MAX);
    return static_cast<int32_t>(static_cast<uint32_t>(v) & ~0x3FFu);
}

struct Entry {
    int64_t position;
    int32_t value;
};

class VolumeFader final : public Producer {
public:
    VolumeFader(StreamRef source, int32_t firstSample)
        : source_(std::move(source)), firstSample_(firstSample > 0) {
        entries_.reserve(256);
        entries_.push_back({0, unityGain});
    }

    int32_t produce(AudioStream& self) override {
        std::lock_guard lock(mutex_);
        const PumpBudget budget(budgetMs);
        AudioStream& in = *source_.stream;
        if (!running_) {
            pumpUntilData(in, budget);
            if (in.validEnd() <= in.firstRetained() && !in.finished()) return 0;
            self.jumpTo(in.firstRetained());
            running_ = true;
        }
        const int64_t start = self.validEnd();
        while (self.validEnd() - start <= lookAhead) {
            const int64_t at = self.validEnd();
            const size_t k = currentEntry(at);
            const bool last = k + 1 == entries_.size();
            int64_t chunk = firstSample_ ? 1 : last ? faderChunk : std::min(faderChunk, entries_[k + 1].position - at);
            // Within one storage block (the source shares this time line),
            // so that samples are read and written in place, not through
            // the scratch areas.
            chunk = std::min<int64_t>(chunk, AudioStream::blockRoom(at));
            pumpFor(in, at + chunk, budget);
            chunk = std::min(chunk, in.validEnd() - at);
            if (chunk < 1) break;
            firstSample_ = false;
            writeChunk(self, in, k, static_cast<int32_t>(chunk));
            self.setValidEnd(at + chunk);
            in.release(at + chunk);
            while (entries_.size() >= 2 && entries_[1].position <= self.validEnd()) entries_.erase(entries_.begin());
            if (budget.spent()) break;
        }
        if (in.finished() && in.validEnd() == self.validEnd()) self.finish(true);
        return 0;
    }

    bool hasSetPosition() const override { return true; }
    void setPosition(AudioStream&, int64_t target) override { source_.stream->setPosition(target); }

    int32_t command(AudioStream& self, uint32_t command, void* argument, void* argument2) override;

    int32_t setEntry(AudioStream& self, double seconds, double value) {
        std::lock_guard lock(mutex_);
        const auto position = static_cast<int64_t>(self.sampleRate() * seconds);
        if (position < self.validEnd()) return 1;
        const auto v = static_cast<int32_t>(value * 256);
        auto it = std::lower_bound(entries_.begin(), entries_.end(), position,
                                   [](const Entry& e, int64_t p) { return e.position < p; });
        if (it != entries_.end() && it->position == position)
            it->value = v;
        else
            entries_.insert(it, {position, v});
        return 0;
    }

    int32_t removeEntry(AudioStream& self, double seconds) {
        std::lock_guard lock(mutex_);
        const auto position = static_cast<int64_t>(self.sampleRate() * seconds);
        if (position <= self.validEnd()) return 1;
        auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.position == position; });
        if (it == entries_.end()) return 2;
        entries_.erase(it);
        return 0;
    }

    void state(AudioStream& self, double& seconds, double* value) {
        std::lock_guard lock(mutex_);
        const int64_t at = self.validEnd();
        seconds = self.sampleRate() ? static_cast<double>(at) / self.sampleRate() : 0;
        if (!value) return;
        const size_t k = currentEntry(at);
        if (k + 1 == entries_.size()) {
            *value = entries_[k].value * 0.00390625;
            return;
        }
        const Entry& a = entries_[k];
        const Entry& b = entries_[k + 1];
        const double t = static_cast<double>(at - a.position) / static_cast<double>(b.position - a.position);
        *value = (a.value + (b.value - a.value) * t) * 0.00390625;
    }

    int32_t entry(AudioStream& self, int32_t index, double& seconds, double* value) {
        std::lock_guard lock(mutex_);
        if (index < 0 || static_cast<size_t>(index) >= entries_.size()) return -1;
        const Entry& e = entries_[static_cast<size_t>(index)];
        seconds = self.sampleRate() ? static_cast<double>(e.position) / self.sampleRate() : 0;
        if (value) *value = e.value * 0.00390625;
        return 0;
    }

    size_t count() {
        std::lock_guard lock(mutex_);
        return entries_.size();
    }

    std::recursive_mutex mutex_;

private:
    // The last entry at or before the position (the first always is).
    size_t currentEntry(int64_t at) const {
        size_t k = 0;
        while (k + 1 < entries_.size() && entries_[k + 1].position <= at) ++k;
        return k;
    }

    void writeChunk(AudioStream& self, AudioStream& in, size_t k, int32_t chunk) {
        const int64_t at = self.validEnd();
        const Entry& a = entries_[k];
        const bool ramp = k + 1 < entries_.size() && entries_[k + 1].value != a.value;
        const Entry b = ramp ? entries_[k + 1] : a;
        // Stepped ramps stay between their two values; gains of 0 to unity
        // cannot leave 32 bits, so no sample saturates.
        const bool between = !ramp || rampGains(a, b, static_cast<uint32_t>(at - a.position), chunk);
        const bool narrow = between && std::min(a.value, b.value) >= 0 && std::max(a.value, b.value) <= unityGain;
        for (uint32_t c = 0; c < self.channels(); ++c) {
            const int32_t* samples = in.read32(static_cast<int32_t>(c), at, chunk);
            int32_t* out = self.write32(static_cast<int32_t>(c), at, chunk);
            if (!samples) {
                std::fill(out, out + chunk, 0);
            } else if (!ramp) {
                fadeConstant(samples, a.value, narrow, chunk, out);
            } else if (!runs_.empty()) {
                for (const GainRun& r : runs_) {
                    fadeConstant(samples, r.gain, narrow, r.length, out);
                    samples += r.length;
                    out += r.length;
                }
            } else if (narrow) {
                mixKernels().fadeRamp(samples, gains_.data(), chunk, out);
            } else {
                for (int32_t i = 0; i < chunk; ++i) out[i] = applyGain(samples[i], gains_[static_cast<size_t>(i)]);
            }
        }
    }

    static void fadeConstant(const int32_t* samples, int32_t gain, bool narrow, int32_t count, int32_t* out) {
        if (narrow)
            mixKernels().fade(samples, gain, count, out);
        else
            for (int32_t i = 0; i < count; ++i) out[i] = applyGain(samples[i], gain);
    }

    // The ramp's gain for samples offset, offset + 1, ... of the span from a
    // to b: mulDiv(n, b - a, span) + a. The rounded quotient moves by a
    // fixed quotient and remainder per sample, so it is stepped instead of
    // divided (the same values). A ramp flatter than one step per sample
    // holds each gain until the remainder carries: its gains go to runs_, a
    // run at a time; a steeper one's to gains_, one per sample (runs_
    // empty). Spans that do not fit the stepping's assumptions take the
    // multiply-divide itself, per sample, and answer false: their gains may
    // lie outside the two values.
    bool rampGains(const Entry& a, const Entry& b, uint32_t offset, int32_t chunk) {
        runs_.clear();
        if (gains_.size() < static_cast<size_t>(chunk)) gains_.resize(static_cast<size_t>(chunk));
        const auto span = static_cast<int32_t>(static_cast<uint32_t>(b.position - a.position));
        const int32_t delta = b.value - a.value;
        const int64_t last = static_cast<int64_t>(offset) + chunk - 1;
        if (span <= 0 || last >= span || delta == INT32_MIN) {
            for (int32_t i = 0; i < chunk; ++i)
                gains_[static_cast<size_t>(i)] =
                    mulDiv(static_cast<int32_t>(static_cast<uint32_t>(i) + offset), delta, span) + a.value;
            return false;
        }
        const int64_t magnitude = delta < 0 ? -static_cast<int64_t>(delta) : delta;
        const int64_t stepQuotient = magnitude / span, stepRemainder = magnitude % span;
        const int64_t numerator = static_cast<int64_t>(offset) * magnitude + span / 2;
        int64_t quotient = numerator / span, remainder = numerator % span;
        int32_t* gains = gains_.data();
        for (int32_t i = 0; i < chunk;) {
            const auto gain = static_cast<int32_t>(delta < 0 ? -quotient : quotient) + a.value;
            if (stepQuotient == 0) {
                const int64_t untilCarry = (span - remainder + stepRemainder - 1) / stepRemainder;
                const auto run = static_cast<int32_t>(std::min<int64_t>(untilCarry, chunk - i));
                runs_.push_back({run, gain});
                i += run;
                remainder += run * stepRemainder;
            } else {
                gains[i++] = gain;
                quotient += stepQuotient;
                remainder += stepRemainder;
            }
            if (remainder >= span) {
                remainder -= span;
                ++quotient;
            }
        }
        return true;
    }

    struct GainRun {
        int32_t length;
        int32_t gain;
    };
    std::vector<GainRun> runs_;
    std::vector<int32_t> gains_;
    StreamRef source_;
    bool firstSample_;
    bool running_ = false;
    std::vector<Entry> entries_;
};

// Arguments of the fader commands.
VolumeFader* faderOf(AudioStream& s) { return dynamic_cast<VolumeFader*>(s.producer()); }

}  // namespace

}  // namespace lv::audio

#include "audio/audio_dispatch.h"

namespace lv::audio {
namespace {

int32_t VolumeFader::command(AudioStream& self, uint32_t command, void* argument, void* argument2) {
    switch (command) {
        case cmdSetFaderEntry: {
            auto* a = static_cast<FaderEntryArgument*>(argument);
            return a && a->value ? setEntry(self, a->time, *a->value) : -1;
        }
        case cmdRemoveFaderEntry: {
            auto* a = static_cast<FaderEntryArgument*>(argument);
            return a ? removeEntry(self, a->time) : -1;
        }
        case cmdGetFaderState: {
            auto* a = static_cast<FaderEntryArgument*>(argument);
            if (!a) return -1;
            state(self, a->time, a->value);
            return 0;
        }
        case cmdLockFader: mutex_.lock(); return 1;
        case cmdUnlockFader: mutex_.unlock(); return 1;
        case cmdGetFaderEntry: {
            auto* index = static_cast<int32_t*>(argument);
            auto* a = static_cast<FaderEntryArgument*>(argument2);
            return index && a ? entry(self, *index, a->time, a->value) : -1;
        }
        default: return -1;
    }
}

}  // namespace

std::unique_ptr<AudioStream> createVolumeFader(StreamRef source, int32_t firstSampleFlag) {
    if (!source.stream) return nullptr;
    auto out = AudioStream::create(source.stream->format());
    if (!out) return nullptr;
    deriveFrom(*out, source.stream, true);
    out->install(std::make_unique<VolumeFader>(std::move(source), firstSampleFlag));
    return out;
}

int32_t faderSetEntry(AudioStream& fader, double seconds, double value) {
    VolumeFader* f = faderOf(fader);
    return f ? f->setEntry(fader, seconds, value) : 1;
}
int32_t faderRemoveEntry(AudioStream& fader, double seconds) {
    VolumeFader* f = faderOf(fader);
    return f ? f->removeEntry(fader, seconds) : 1;
}
void faderState(AudioStream& fader, double& seconds, double* value) {
    VolumeFader* f = faderOf(fader);
    seconds = fader.sampleRate() ? static_cast<double>(fader.validEnd()) / fader.sampleRate() : 0;
    if (f) f->state(fader, seconds, value);
}
int32_t faderEntry(AudioStream& fader, int32_t index, double& seconds, double* value) {
    VolumeFader* f = faderOf(fader);
    return f ? f->entry(fader, index, seconds, value) : -1;
}
std::size_t faderEntryCount(AudioStream& fader) {
    VolumeFader* f = faderOf(fader);
    return f ? f->count() : 0;
}

}  // namespace lv::audio
