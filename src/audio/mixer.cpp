// The Mixer: sums inputs of one rate. Each sample is narrowed to 21 bits
// before its gain multiplies it, and the sum is held in 64 bits so that no
// number of inputs or gain above unity can wrap it; the result saturates at
// +-2^28 before it is scaled back up by 8.
#include <algorithm>
#include <climits>
#include <cstdlib>

#include "audio/graph_nodes.h"
#include "audio/mix_kernels.h"
#include "audio/page_aligned.h"

namespace lv::audio {
namespace {

constexpr int32_t mixerChunk = 4096;
constexpr int64_t sumLimit = 268435456;  // 2^28

// In the sum's own width, so that 32-bit sums stay in vector lanes.
template <typename Sum>
int32_t saturate(Sum sum) {
    constexpr auto limit = static_cast<Sum>(sumLimit);
    return sum < -limit ? INT32_MIN : sum >= limit ? INT32_MAX : static_cast<int32_t>(sum * 8);
}

class Mixer final : public Producer {
public:
    Mixer(MixerSetup setup, int32_t channels) : inputs_(std::move(setup.inputs)), end_(setup.endPosition), channels_(channels) {
        // A 21-bit sample times gains whose magnitudes add up below 2^11
        // cannot leave 32 bits, so most mixes sum in 32 bits alike; most
        // of those never come near the saturation either.
        std::vector<int32_t> gains;
        int64_t magnitudes = 0;
        for (const MixerInput& in : inputs_) {
            magnitudes += std::abs(static_cast<int64_t>(in.gain));
            gains.push_back(in.gain);
        }
        sums32Bit_ = magnitudes < 2048;
        sumsInRange_ = sums32Bit_ && mixSumsStayInRange(gains.data(), static_cast<int32_t>(gains.size()));
    }

    int32_t produce(AudioStream& self) override {
        const PumpBudget budget(mixerBudgetMs);
        const int64_t startProduced = produced_;
        while (produced_ - startProduced <= lookAhead && (end_ < 0 || produced_ < end_)) {
            int64_t chunk = mixerChunk;
            if (end_ >= 0) chunk = std::min(chunk, end_ - produced_);
            for (MixerInput& in : inputs_) {
                if (pumpFor(*in.input.stream, in.readPosition + chunk, budget)) continue;
                if (!in.input.stream->finished()) return 0;  // wait for data
                chunk = std::min(chunk, std::max<int64_t>(0, in.input.stream->validEnd() - in.readPosition));
            }
            if (chunk > 0) mixChunk(self, static_cast<int32_t>(chunk));
            if (chunk < mixerChunk || (end_ >= 0 && produced_ >= end_)) {
                self.finish(false);
                return 0;
            }
            if (budget.spent()) break;
        }
        return 0;
    }

private:
    void mixChunk(AudioStream& self, int32_t chunk) {
        const int64_t at = self.validEnd();
        // In runs that lie in one storage block of the output and of every
        // input, so that the samples are read and written in place.
        for (int32_t done = 0; done < chunk;) {
            int32_t run = std::min(chunk - done, AudioStream::blockRoom(at + done));
            for (const MixerInput& in : inputs_) run = std::min(run, AudioStream::blockRoom(in.readPosition + done));
            if (sums32Bit_)
                mix32(self, at + done, done, run);
            else
                mixInto(self, at + done, done, run, sums_);
            done += run;
        }
        for (MixerInput& in : inputs_) {
            in.readPosition += chunk;
            in.input.stream->release(in.readPosition);
        }
        produced_ += chunk;
        self.setValidEnd(at + chunk);
    }

    // 32-bit sums in the vector kernels: per output channel the first
    // input that feeds it sets the sums, the others add to them, and the
    // last one's terms join the sums as they are saturated into the output
    // (or only scaled, where they cannot reach the limits). A channel no
    // input feeds is zero.
    // `offset`: how far past its read position each input is read.
    void mix32(AudioStream& self, int64_t at, int32_t offset, int32_t chunk) {
        const MixKernels& k = mixKernels();
        const auto sumLast = sumsInRange_ ? k.sumLastInRange : k.sumLast;
        // Grown only: a resize down and up again would clear the sums each run.
        if (sums32_.size() < static_cast<size_t>(chunk)) sums32_.resize(static_cast<size_t>(chunk));
        int32_t* sums = sums32_.data();
        for (int32_t c = 0; c < channels_; ++c) {
            int32_t* out = self.write32(c, at, chunk);
            int32_t feeders = 0;
            for (const MixerInput& in : inputs_) feeders += sourceChannel(in, c) >= 0;
            bool summed = false, written = false;
            for (MixerInput& in : inputs_) {
                const int32_t source = sourceChannel(in, c);
                if (source < 0) continue;
                const bool last = --feeders == 0;
                const int32_t* samples = in.input.stream->read32(source, in.readPosition + offset, chunk);
                if (!samples) continue;
                if (last) {
                    sumLast(samples, in.gain, chunk, summed ? sums : nullptr, out);
                    written = true;
                } else {
                    (summed ? k.sumAdd : k.sumFirst)(samples, in.gain, chunk, sums);
                    summed = true;
                }
            }
            if (written) continue;
            if (summed)
                sumLast(sums, 0, chunk, sums, out);  // the last feeder had nothing stored
            else
                std::fill(out, out + chunk, 0);
        }
    }

    // The input channel that feeds output channel c, or -1: a mono input of
    // a stereo Mixer feeds both channels.
    int32_t sourceChannel(const MixerInput& in, int32_t c) const {
        const auto inChannels = static_cast<int32_t>(in.input.stream->channels());
        if (inChannels == 1 && channels_ == 2) return 0;
        return c < inChannels ? c : -1;
    }

    // The first input that feeds an output channel sets its sums, the
    // others add to them; a channel no input feeds sums to zero.
    template <typename Sum>
    void mixInto(AudioStream& self, int64_t at, int32_t offset, int32_t chunk, std::vector<Sum>& sums) {
        const auto n = static_cast<size_t>(chunk);
        if (sums.size() < n * static_cast<size_t>(channels_)) sums.resize(n * static_cast<size_t>(channels_));
        fed_.assign(static_cast<size_t>(channels_), false);
        for (MixerInput& in : inputs_) {
            AudioStream& s = *in.input.stream;
            const int32_t inChannels = static_cast<int32_t>(s.channels());
            const bool monoToStereo = inChannels == 1 && channels_ == 2;
            const auto gain = static_cast<Sum>(in.gain);
            for (int32_t c = 0; c < inChannels; ++c) {
                const int32_t* samples = s.read32(c, in.readPosition + offset, chunk);
                if (!samples) continue;
                for (int32_t out = c; out < (monoToStereo ? 2 : c + 1); ++out) {
                    Sum* sum = sums.data() + static_cast<size_t>(out) * n;
                    if (fed_[static_cast<size_t>(out)]) {
                        for (size_t i = 0; i < n; ++i) sum[i] += static_cast<Sum>(samples[i] >> 11) * gain;
                    } else {
                        for (size_t i = 0; i < n; ++i) sum[i] = static_cast<Sum>(samples[i] >> 11) * gain;
                        fed_[static_cast<size_t>(out)] = true;
                    }
                }
            }
        }
        for (int32_t c = 0; c < channels_; ++c) {
            int32_t* out = self.write32(c, at, chunk);
            const Sum* sum = sums.data() + static_cast<size_t>(c) * n;
            if (!fed_[static_cast<size_t>(c)])
                std::fill(out, out + chunk, 0);
            else
                for (size_t i = 0; i < n; ++i) out[i] = saturate(sum[i]);
        }
    }

    std::vector<MixerInput> inputs_;
    int64_t end_;
    int32_t channels_;
    int64_t produced_ = 0;
    bool sums32Bit_ = false;
    bool sumsInRange_ = false;
    std::vector<int64_t> sums_;
    PageAlignedVector<int32_t> sums32_;
    std::vector<bool> fed_;
};

}  // namespace

std::unique_ptr<AudioStream> createMixer(MixerSetup setup) {
    if (setup.inputs.empty()) return nullptr;
    int32_t widest = 0;
    const uint32_t rate = setup.inputs[0].input.stream ? setup.inputs[0].input.stream->sampleRate() : 0;
    for (const MixerInput& in : setup.inputs) {
        if (!in.input.stream || in.input.stream->sampleRate() != rate) return nullptr;
        widest = std::max(widest, static_cast<int32_t>(in.input.stream->channels()));
    }
    const int32_t channels = setup.outputChannels > 0 ? setup.outputChannels : widest;
    if (channels < widest) return nullptr;
    auto out = AudioStream::create({0, static_cast<uint16_t>(channels), rate, 16, 0});
    if (!out) return nullptr;
    AudioStream* first = setup.inputs[0].input.stream;
    deriveFrom(*out, first, true);
    out->install(std::make_unique<Mixer>(std::move(setup), channels));
    return out;
}

}  // namespace lv::audio
