// The Concat: queued segments of streams played end to end. It waits for
// more segments until an end marker is queued.
#include <algorithm>
#include <cstring>
#include <deque>

#include "audio/graph_nodes.h"

namespace lv::audio {
namespace {

constexpr int64_t concatChunk = 4096;

struct Segment {
    bool endMarker = false;
    StreamRef source;
    int64_t read = 0;
    int64_t end = -1;
};

class Concat final : public Producer {
public:
    int32_t produce(AudioStream& self) override {
        const PumpBudget budget(budgetMs);
        const int64_t start = self.validEnd();
        while (self.validEnd() - start <= lookAhead && !budget.spent()) {
            if (queue_.empty()) return 0;
            Segment& head = queue_.front();
            if (head.endMarker) {
                queue_.pop_front();
                self.finish(false);
                return 0;
            }
            AudioStream& in = *head.source.stream;
            const bool usedUp = (head.end >= 0 && head.read >= head.end) ||
                                (in.finished() && head.read >= in.validEnd());
            if (usedUp) {
                queue_.pop_front();
                continue;
            }
            int64_t chunkEnd = head.read + concatChunk;
            if (head.end >= 0) chunkEnd = std::min(chunkEnd, head.end);
            if (!pumpFor(in, chunkEnd, budget) && !in.finished()) return 0;
            const int64_t chunk = std::min(chunkEnd, in.validEnd()) - head.read;
            if (chunk <= 0) continue;
            for (uint32_t c = 0; c < self.channels(); ++c) {
                const int32_t* samples = in.read32(static_cast<int32_t>(c), head.read, static_cast<int32_t>(chunk));
                int32_t* out = self.write32(static_cast<int32_t>(c), self.validEnd(), static_cast<int32_t>(chunk));
                if (samples)
                    std::memcpy(out, samples, static_cast<size_t>(chunk) * 4);
                else
                    std::memset(out, 0, static_cast<size_t>(chunk) * 4);
            }
            head.read += chunk;
            self.setValidEnd(self.validEnd() + chunk);
            in.release(head.read);
        }
        return 0;
    }

    int32_t append(AudioStream& self, ConcatSegment segment) {
        if (self.finished() || !segment.source.stream) return 1;
        AudioStream& in = *segment.source.stream;
        if (in.sampleRate() != self.sampleRate() || in.channels() != self.channels()) return 1;
        Segment s;
        s.read = std::max(segment.start, in.firstRetained());
        s.end = segment.length < 0 ? -1 : segment.start + segment.length;
        s.source = std::move(segment.source);
        queue_.push_back(std::move(s));
        return 0;
    }

    int32_t appendEnd(AudioStream& self) {
        if (self.finished()) return 1;
        Segment s;
        s.endMarker = true;
        queue_.push_back(std::move(s));
        return 0;
    }

    bool empty() const { return queue_.empty(); }

    int32_t command(AudioStream& self, uint32_t command, void* argument, void*) override {
        switch (command) {
            case 840: return argument ? append(self, std::move(*static_cast<ConcatSegment*>(argument))) : 1;
            case 841: return appendEnd(self);
            case 842: return empty() ? 1 : 0;
            default: return -1;
        }
    }

private:
    std::deque<Segment> queue_;
};

Concat* concatOf(AudioStream& s) { return dynamic_cast<Concat*>(s.producer()); }

}  // namespace

std::unique_ptr<AudioStream> createConcat(ConcatSegment first) {
    if (!first.source.stream) return nullptr;
    AudioStream* in = first.source.stream;
    auto out = AudioStream::create({0, static_cast<uint16_t>(in->channels()), in->sampleRate(), 16, 0});
    if (!out) return nullptr;
    deriveFrom(*out, in, true);
    auto concat = std::make_unique<Concat>();
    Concat* c = concat.get();
    out->install(std::move(concat));
    c->append(*out, std::move(first));
    return out;
}

int32_t concatAppend(AudioStream& concat, ConcatSegment segment) {
    Concat* c = concatOf(concat);
    return c ? c->append(concat, std::move(segment)) : 1;
}

int32_t concatAppendEnd(AudioStream& concat) {
    Concat* c = concatOf(concat);
    return c ? c->appendEnd(concat) : 1;
}

bool concatEmpty(AudioStream& concat) {
    Concat* c = concatOf(concat);
    return !c || c->empty();
}

}  // namespace lv::audio
