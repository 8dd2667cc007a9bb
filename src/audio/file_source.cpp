#include "audio/file_source.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "audio/decoder.h"
#include "audio/node_support.h"

namespace lv::audio {
namespace {

constexpr uint32_t wavBudgetMs = 11;
constexpr uint32_t layer12BudgetMs = 50;
// The Layer III source stops skipping whole frames this close to its target.
constexpr int64_t frameSamples = 3456;

std::mutex& lockOf(DecoderKind kind) {
    static std::mutex layer3, wav, layer12;
    switch (kind) {
        case DecoderKind::layer3: return layer3;
        case DecoderKind::wav: return wav;
        default: return layer12;
    }
}

class FileSource final : public Producer {
public:
    FileSource(DecoderKind kind, std::unique_ptr<Decoder> decoder, const DecoderFormat& format)
        : kind_(kind),
          decoder_(std::move(decoder)),
          frameBytes_(format.channels * (format.bits / 8)),
          bits_(format.bits),
          channels_(format.channels),
          planar_(decoder_->readsPlanar() && format.bits == 16 && format.channels <= PlanarOutput::maxChannels) {
        chunk_.resize(decoder_->largestChunk() + frameBytes_);
    }

    // Counted on first asking (a Layer III length scans the whole file),
    // under the kind's lock, so never while another thread decodes.
    int64_t length() {
        std::lock_guard lock(lockOf(kind_));
        if (length_ < 0) length_ = decoder_->length();
        return length_;
    }

    int32_t produce(AudioStream& self) override {
        std::lock_guard lock(lockOf(kind_));
        switch (kind_) {
            case DecoderKind::layer3: return produceLayer3(self);
            case DecoderKind::wav: return produceWav(self);
            default: return produceLayer12(self);
        }
    }

    int32_t answer(AudioStream&, uint32_t code) override { return code == pumpSourceIdle ? 0 : -1; }

    bool hasSetPosition() const override { return kind_ != DecoderKind::layer12; }
    void setPosition(AudioStream&, int64_t) override {}  // the stream keeps the target

private:
    int32_t produceLayer3(AudioStream& self) {
        const PumpBudget budget(budgetMs);
        while (self.validEnd() + frameSamples < self.seekTarget()) {
            const size_t bytes = decoder_->skip(0);
            if (bytes < 1) break;
            self.jumpTo(self.validEnd() + static_cast<int64_t>(bytes / frameBytes_));
            if (budget.spent()) return 0;
        }
        if (decoder_->atEnd()) {
            self.finish(true);
            return 1;
        }
        if (!storePlanar(self)) store(self, decoder_->read(chunk_));
        return 0;
    }

    int32_t produceWav(AudioStream& self) {
        const PumpBudget budget(wavBudgetMs);
        while (self.firstRetained() < self.seekTarget()) {
            const auto want = static_cast<uint64_t>(self.seekTarget() - self.firstRetained()) * frameBytes_;
            const size_t skipped = decoder_->skip(want);
            if (skipped < 1) break;
            self.jumpTo(self.firstRetained() + static_cast<int64_t>(skipped / frameBytes_));
            if (budget.spent()) return 0;
        }
        const int64_t start = self.validEnd();
        while (self.validEnd() - start <= lookAhead) {
            if (decoder_->atEnd()) {
                self.finish(true);
                break;
            }
            store(self, decoder_->read(std::span<uint8_t>(chunk_).subspan(carried_)));
            if (budget.spent()) break;
        }
        return 0;
    }

    int32_t produceLayer12(AudioStream& self) {
        const PumpBudget budget(layer12BudgetMs);
        const int64_t start = self.validEnd();
        while (self.validEnd() - start <= lookAhead) {
            if (decoder_->atEnd()) {
                self.finish(true);
                return 1;
            }
            if (!storePlanar(self)) store(self, decoder_->read(chunk_));
            if (budget.spent()) break;
        }
        return 0;
    }

    // Has the decoder write its next frame straight into the channels'
    // storage at validEnd. Its synthesis writes runs of 32 samples, so this
    // takes a position that is a multiple of 32 (then no run crosses a
    // storage block); false, with nothing read, where it cannot.
    bool storePlanar(AudioStream& self) {
        const int64_t at = self.validEnd();
        constexpr int32_t most = PlanarOutput::maxFrameSamples;
        if (!planar_ || at < 0 || at % PlanarOutput::runSamples != 0 || carried_ != 0) return false;
        PlanarOutput out;
        out.split = std::min(AudioStream::blockRoom(at), most);
        for (uint32_t c = 0; c < channels_; ++c) {
            const auto channel = static_cast<int32_t>(c);
            out.head[c] = self.writeRun(channel, at, out.split);
            out.tail[c] = out.split < most ? self.writeRun(channel, at + out.split, most - out.split) : out.head[c];
            if (!out.head[c] || !out.tail[c]) return false;
        }
        self.setValidEnd(at + static_cast<int64_t>(decoder_->readPlanar(out)));
        return true;
    }

    // Stores the whole frames of what was read (after what was carried over)
    // at validEnd and carries a cut-off frame to the next read.
    void store(AudioStream& self, size_t bytes) {
        const size_t total = carried_ + bytes;
        const size_t frames = total / frameBytes_;
        const int64_t at = self.validEnd();
        if (frames > 0) {
            if (bits_ <= 16) {
                self.writeInterleaved(chunk_.data(), static_cast<int32_t>(frames), at, static_cast<int32_t>(channels_),
                                      static_cast<int32_t>(bits_), kind_ == DecoderKind::wav);
            } else {
                storeWide(self, frames, at);
            }
            self.setValidEnd(at + static_cast<int64_t>(frames));
        }
        carried_ = total - frames * frameBytes_;
        if (carried_ > 0) std::memmove(chunk_.data(), chunk_.data() + frames * frameBytes_, carried_);
    }

    // 24- and 32-bit little-endian samples, left-justified.
    void storeWide(AudioStream& self, size_t frames, int64_t at) {
        const size_t width = bits_ / 8;
        for (uint32_t c = 0; c < channels_; ++c) {
            int32_t* out = self.write32(static_cast<int32_t>(c), at, static_cast<int32_t>(frames));
            for (size_t i = 0; i < frames; ++i) {
                const uint8_t* p = chunk_.data() + i * frameBytes_ + c * width;
                uint32_t v = 0;
                for (size_t b = 0; b < width; ++b) v |= static_cast<uint32_t>(p[b]) << (8 * (4 - width + b));
                out[i] = static_cast<int32_t>(v);
            }
        }
    }

    DecoderKind kind_;
    std::unique_ptr<Decoder> decoder_;
    size_t frameBytes_;
    uint32_t bits_;
    uint32_t channels_;
    bool planar_;
    int64_t length_ = -1;
    std::vector<uint8_t> chunk_;
    size_t carried_ = 0;
};

bool isSourceKind(uint16_t kind) {
    return kind == kindLayer3Source || kind == kindWavSource || kind == kindLayer12Source;
}

}  // namespace

std::unique_ptr<AudioStream> openSource(uint16_t kind, std::unique_ptr<ByteSource> input) {
    if (!input || !isSourceKind(kind)) return nullptr;
    const auto decoderKind = static_cast<DecoderKind>(kind);
    auto decoder = openDecoder(decoderKind, std::move(input));
    if (!decoder) return nullptr;
    const DecoderFormat f = decoder->format();
    if (!f.valid || f.channels < 1 || f.bits < 8 || f.bits % 8 != 0 || f.sampleRate < 1) return nullptr;
    if (decoderKind == DecoderKind::wav && f.channels > 2) return nullptr;
    auto stream = AudioStream::create({0, static_cast<uint16_t>(f.channels), f.sampleRate, static_cast<uint16_t>(f.bits), 0});
    if (!stream) return nullptr;
    stream->info().sourceKind = kind;
    stream->info().sourceFlag = 1;
    stream->install(std::make_unique<FileSource>(decoderKind, std::move(decoder), f));
    return stream;
}

int64_t sourceLength(AudioStream& stream) {
    if (stream.info().sourceFlag == 0) return -1;
    if (auto* s = dynamic_cast<FileSource*>(stream.producer())) return s->length();
    return 0;  // finished: the decoder is gone
}

}  // namespace lv::audio
