// The ComplexMixer: timed sounds onto one continuous output. It keeps a
// queue of pending entries (from its provider, one at a time, or its fixed
// entries), the items playing now, and one segment node that it copies
// into its own stream: a Mixer of the playing items up to the next queued
// entry, or a Silence when nothing plays. At each segment's end it retires
// the items that ended, starts the entries that came due and builds the
// next segment. The segment counts on the ComplexMixer's time line, so a
// whole storage block of it is handed over in place of a copy.
//
// A wait marker only splits the time line so that the provider is asked
// again; one that lies at or behind validEnd is moved one chunk ahead, so a
// provider that answers "wait" with a past time is simply asked again after
// the next chunk (never an endless silence, never a busy loop).
#include <algorithm>
#include <cstring>
#include <deque>
#include <mutex>

#include "audio/audio_dispatch.h"
#include "audio/graph_nodes.h"

namespace lv::audio {
namespace {

constexpr int64_t complexChunk = 2048;
constexpr int64_t noEnd = 1000000000000000000;

enum class QueuedKind { sound, wait, end };

struct Queued {
    QueuedKind kind = QueuedKind::sound;
    int64_t position = 0;
    MixerEntry entry;
};

struct Item {
    std::unique_ptr<AudioStream> stream;
    int64_t start = 0;
    int32_t gain = unityGain;
    int64_t skip = 0;

    int64_t readPosition(int64_t at) const { return at - start - skip; }
};

class ComplexMixer final : public Producer {
public:
    explicit ComplexMixer(ComplexMixerSetup setup)
        : rate_(setup.sampleRate),
          channels_(setup.channels),
          provider_(std::move(setup.provider)),
          idleSilence_(setup.idleSilence && !setup.endAtLength),
          endAtLength_(setup.endAtLength),
          length_(static_cast<int64_t>(setup.length * setup.sampleRate)) {
        if (!provider_) {
            for (MixerEntry& e : setup.fixedEntries) queue_.push_back({QueuedKind::sound, positionOf(e.startTime), std::move(e)});
            std::stable_sort(queue_.begin(), queue_.end(),
                             [](const Queued& a, const Queued& b) { return a.position < b.position; });
            providerDone_ = true;
            if (endAtLength_) queue_.push_back({QueuedKind::end, length_, {}});
        }
    }

    int32_t produce(AudioStream& self) override {
        std::lock_guard lock(mutex_);
        const PumpBudget budget(budgetMs);
        const int64_t start = self.validEnd();
        while (self.validEnd() - start <= lookAhead) {
            if (!segment_ || (segment_->finished() && segment_->validEnd() <= self.validEnd())) {
                nextSegment(self);
                if (!segment_) break;
            }
            AudioStream& seg = *segment_;
            const int64_t at = self.validEnd();
            // At a block boundary the segment is asked for the whole block.
            const bool boundary = AudioStream::blockRoom(at) == AudioStream::blockSamples;
            pumpFor(seg, at + (boundary ? AudioStream::blockSamples : complexChunk), budget);
            if (boundary && takeBlock(self, seg)) continue;
            // Chunks stop at block boundaries, where whole blocks can be taken.
            const int64_t chunk = std::min({complexChunk, seg.validEnd() - at, int64_t{AudioStream::blockRoom(at)}});
            if (chunk > 0) copy(self, seg, static_cast<int32_t>(chunk));
            else if (!seg.finished()) break;  // the segment waits for its inputs
            if (budget.spent()) break;
        }
        if (!segment_ && queue_.empty() && (providerDone_ || !provider_)) self.finish(false);
        return 0;
    }

    bool hasSetPosition() const override { return true; }
    void setPosition(AudioStream& self, int64_t target) override {
        std::lock_guard lock(mutex_);
        seekPending_ = target > self.validEnd();
    }

    int32_t command(AudioStream& self, uint32_t command, void* argument, void*) override {
        switch (command) {
            case cmdLockComplexMixer: mutex_.lock(); return 1;
            case cmdUnlockComplexMixer: mutex_.unlock(); return 1;
            case cmdUpdateQueuedEntry: {
                auto* u = static_cast<QueuedEntryUpdate*>(argument);
                return u ? updateQueued(self, u->entry, u->identity) : 2;
            }
            default: return -1;
        }
    }

    int32_t updateQueued(AudioStream&, const MixerEntry& entry, uint32_t identity) {
        std::lock_guard lock(mutex_);
        if (queue_.empty()) return 2;
        Queued& head = queue_.front();
        if (head.kind != QueuedKind::sound || head.entry.type != identity) return 2;
        const int64_t position = positionOf(entry.startTime);
        if (position < head.position) return 1;
        head.entry = entry;
        head.position = position;
        return 0;
    }

    std::recursive_mutex mutex_;

private:
    int64_t positionOf(double seconds) const { return static_cast<int64_t>(rate_ * seconds); }

    void nextSegment(AudioStream& self) {
        const bool producedNothing = segment_ && segment_->validEnd() == segmentBegin_;
        segment_.reset();
        retireEndedItems(self, producedNothing);
        startDueEntries(self);
        buildSegment(self);
    }

    // Items whose streams finished and have been read to their end.
    void retireEndedItems(AudioStream& self, bool force) {
        std::erase_if(items_, [&](const Item& item) {
            const AudioStream& s = *item.stream;
            const bool exhausted = item.readPosition(self.validEnd()) >= s.validEnd();
            return s.finished() && (exhausted || force);
        });
    }

    void refillQueue(AudioStream& self) {
        while (queue_.empty() && provider_ && !providerDone_) {
            MixerEntry entry;
            const int32_t answer = provider_(entry);
            if (answer == 1) {
                queue_.push_back({QueuedKind::sound, positionOf(entry.startTime), std::move(entry)});
            } else if (answer == 2) {
                const int64_t at = std::max(positionOf(entry.startTime), self.validEnd() + complexChunk);
                queue_.push_back({QueuedKind::wait, at, {}});
            } else {
                providerDone_ = true;
                if (endAtLength_) queue_.push_back({QueuedKind::end, length_, {}});
            }
        }
    }

    void startDueEntries(AudioStream& self) {
        for (;;) {
            refillQueue(self);
            if (queue_.empty() || queue_.front().position > self.validEnd()) return;
            Queued due = std::move(queue_.front());
            queue_.pop_front();
            if (due.kind == QueuedKind::end) {
                items_.clear();  // the output ends at its length
                ended_ = true;
                continue;
            }
            if (due.kind == QueuedKind::sound && !ended_) startSound(self, due.entry);
        }
    }

    void startSound(AudioStream& self, MixerEntry& entry) {
        if (!entry.opener || items_.size() >= maxActiveItems) return;
        std::unique_ptr<AudioStream> s = entry.opener();
        if (!s) return;
        // The rate first: a mono entry is resampled once, then copied to
        // every channel (each channel is filtered alike, so the order does
        // not change a sample). A stereo segment Mixer feeds a mono input
        // to both its channels itself, the same samples a ChannelChanger
        // would copy there, so only other channel counts take one.
        if (s->sampleRate() != static_cast<uint32_t>(rate_)) s = createResample({StreamRef::owning(std::move(s)), rate_, 1});
        const bool mixerUpmixes = channels_ == 2 && s && s->channels() == 1;
        if (s && s->channels() != static_cast<uint32_t>(channels_) && !mixerUpmixes)
            s = createChannelChanger(StreamRef::owning(std::move(s)), channels_);
        if (!s) return;
        int64_t skip = 0;
        if (seekPending_ && self.validEnd() < self.seekTarget()) {
            skip = self.seekTarget() - self.validEnd();
            CropSetup crop;
            crop.source = StreamRef::owning(std::move(s));
            crop.useSamples = true;
            crop.startSample = skip;
            crop.endSample = noEnd;
            s = createAudioCrop(std::move(crop));
            if (!s) return;
            const PumpBudget budget(budgetMs);
            pumpUntilData(*s, budget);
            if (s->finished() && s->validEnd() <= s->firstRetained()) return;
        }
        // The item's own time line: a stream that starts above 0 starts later.
        skip += s->firstRetained();
        items_.push_back({std::move(s), self.validEnd(), entry.gain, skip});
    }

    void buildSegment(AudioStream& self) {
        if (seekPending_ && self.validEnd() < self.seekTarget()) {
            const bool entryFirst = !queue_.empty() && queue_.front().position <= self.seekTarget();
            const int64_t to = entryFirst ? queue_.front().position : self.seekTarget();
            self.jumpTo(std::max(to, self.validEnd()));
            if (!entryFirst) seekPending_ = false;
        }
        const int64_t boundary = queue_.empty() ? -1 : std::max<int64_t>(1, queue_.front().position - self.validEnd());
        segmentBegin_ = self.validEnd();
        if (items_.empty()) {
            if (!queue_.empty())
                segment_ = createSilence(boundary, rate_, channels_);
            else if (idleSilence_ && !ended_)
                segment_ = createSilence(-1, rate_, channels_);
            alignSegment();
            return;
        }
        MixerSetup setup;
        for (Item& item : items_)
            setup.inputs.push_back({StreamRef::borrowing(item.stream.get()), item.readPosition(self.validEnd()), item.gain});
        setup.endPosition = boundary;
        setup.outputChannels = channels_;
        segment_ = createMixer(std::move(setup));
        alignSegment();
    }

    // The segment's time line is moved to the ComplexMixer's own (it only
    // counts its samples from where it starts), so that their storage
    // blocks line up and whole blocks can be taken instead of copied.
    void alignSegment() {
        if (segment_) segment_->jumpTo(segmentBegin_);
    }

    // A whole block of the segment at a block boundary is taken over in
    // exchange for the ComplexMixer's unused one there.
    bool takeBlock(AudioStream& self, AudioStream& seg) {
        const int64_t at = self.validEnd();
        if (seg.validEnd() < at + AudioStream::blockSamples) return false;
        if (!self.exchangeBlock(seg, at)) return false;
        self.setValidEnd(at + AudioStream::blockSamples);
        seg.release(at + AudioStream::blockSamples);
        return true;
    }

    void copy(AudioStream& self, AudioStream& seg, int32_t chunk) {
        const int64_t at = self.validEnd();
        for (int32_t c = 0; c < channels_; ++c) {
            const int32_t* samples = seg.read32(c, at, chunk);
            int32_t* out = self.write32(c, at, chunk);
            if (samples)
                std::memcpy(out, samples, static_cast<size_t>(chunk) * 4);
            else
                std::memset(out, 0, static_cast<size_t>(chunk) * 4);
        }
        self.setValidEnd(at + chunk);
        seg.release(at + chunk);
    }

    int32_t rate_;
    int32_t channels_;
    EntryProvider provider_;
    bool idleSilence_;
    bool endAtLength_;
    int64_t length_;
    bool providerDone_ = false;
    bool ended_ = false;
    bool seekPending_ = false;
    std::deque<Queued> queue_;
    std::vector<Item> items_;
    std::unique_ptr<AudioStream> segment_;
    int64_t segmentBegin_ = 0;
};

}  // namespace

std::unique_ptr<AudioStream> createComplexMixer(ComplexMixerSetup setup) {
    if (setup.sampleRate <= 0 || setup.channels < 1) return nullptr;
    auto out = AudioStream::create({0, static_cast<uint16_t>(setup.channels), static_cast<uint32_t>(setup.sampleRate), 16, 0});
    if (!out) return nullptr;
    deriveFrom(*out, nullptr, false);
    out->install(std::make_unique<ComplexMixer>(std::move(setup)));
    return out;
}

int32_t complexMixerUpdateQueued(AudioStream& mixer, const MixerEntry& entry, uint32_t identity) {
    auto* m = dynamic_cast<ComplexMixer*>(mixer.producer());
    return m ? m->updateQueued(mixer, entry, identity) : 2;
}

}  // namespace lv::audio
