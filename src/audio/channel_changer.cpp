// The ChannelChanger: a mono source copied into every output channel. A
// borrowed source's samples are left to its owner to release; an owned
// source has no other reader, so the changer releases what it has copied
// (else a long mono sound would stay whole in memory: 10 minutes at
// 44100 Hz are 100 MB).
#include <algorithm>
#include <cstring>

#include "audio/graph_nodes.h"

namespace lv::audio {
namespace {

constexpr int64_t changerChunk = 4096;

class ChannelChanger final : public Producer {
public:
    explicit ChannelChanger(StreamRef source) : source_(std::move(source)) {}

    int32_t produce(AudioStream& self) override {
        const PumpBudget budget(budgetMs);
        AudioStream& in = *source_.stream;
        const int64_t start = self.validEnd();
        while (self.validEnd() - start <= lookAhead) {
            read_ = std::max(read_, in.firstRetained());  // never read below what the source keeps
            if (!pumpFor(in, read_ + changerChunk, budget) && !in.finished()) return 0;
            const int64_t chunk = std::clamp<int64_t>(in.validEnd() - read_, 0, changerChunk);
            if (chunk > 0) {
                const int32_t* samples = in.read32(0, read_, static_cast<int32_t>(chunk));
                if (!samples) return 0;
                for (uint32_t c = 0; c < self.channels(); ++c) {
                    int32_t* out = self.write32(static_cast<int32_t>(c), self.validEnd(), static_cast<int32_t>(chunk));
                    std::memcpy(out, samples, static_cast<size_t>(chunk) * 4);
                }
                read_ += chunk;
                if (source_.owned) in.release(read_);
                self.setValidEnd(self.validEnd() + chunk);
            }
            if (chunk < changerChunk) {
                self.finish(false);
                return 0;
            }
            if (budget.spent()) break;
        }
        return 0;
    }

private:
    StreamRef source_;
    int64_t read_ = 0;
};

}  // namespace

std::unique_ptr<AudioStream> createChannelChanger(StreamRef source, int32_t targetChannels) {
    if (!source.stream || source.stream->channels() != 1 || targetChannels < 2) return nullptr;
    auto out = AudioStream::create({0, static_cast<uint16_t>(targetChannels), source.stream->sampleRate(), 16, 0});
    if (!out) return nullptr;
    deriveFrom(*out, source.stream, true);
    out->install(std::make_unique<ChannelChanger>(std::move(source)));
    return out;
}

}  // namespace lv::audio
