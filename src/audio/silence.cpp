// Silence: zero samples, for a given length or without end.
#include <algorithm>
#include <cstring>

#include "audio/graph_nodes.h"

namespace lv::audio {
namespace {

constexpr int64_t silenceChunk = 4096;

class Silence final : public Producer {
public:
    explicit Silence(int64_t length) : length_(length) {}

    int32_t produce(AudioStream& self) override {
        const PumpBudget budget(budgetMs);
        const int64_t start = self.validEnd();
        while (self.validEnd() - start <= lookAhead) {
            int64_t chunk = silenceChunk;
            if (length_ >= 0) chunk = std::min(chunk, length_ - produced_);
            if (chunk > 0) {
                for (uint32_t c = 0; c < self.channels(); ++c) {
                    int32_t* out = self.write32(static_cast<int32_t>(c), self.validEnd(), static_cast<int32_t>(chunk));
                    std::memset(out, 0, static_cast<size_t>(chunk) * 4);
                }
                produced_ += chunk;
                self.setValidEnd(self.validEnd() + chunk);
            }
            if (length_ >= 0 && produced_ >= length_) {
                self.finish(false);
                break;
            }
            if (budget.spent()) break;
        }
        return 0;
    }

private:
    int64_t length_;
    int64_t produced_ = 0;
};

}  // namespace

std::unique_ptr<AudioStream> createSilence(int64_t length, int32_t sampleRate, int32_t channels) {
    if (sampleRate < 0 || channels < 1) return nullptr;
    auto out = AudioStream::create({0, static_cast<uint16_t>(channels), static_cast<uint32_t>(sampleRate), 16, 0});
    if (!out) return nullptr;
    deriveFrom(*out, nullptr, false);
    out->install(std::make_unique<Silence>(length));
    return out;
}

}  // namespace lv::audio
