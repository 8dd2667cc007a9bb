#include "audio/soundtrack.h"

#include <algorithm>
#include <cmath>

#include "audio/audio_dispatch.h"
#include "audio/file_source.h"
#include "audio/page_aligned.h"

namespace lv::audio {
namespace {

constexpr int32_t soundtrackRate = 44100;
constexpr int32_t soundtrackChannels = 2;
// An entry is offered when it starts within this of now.
constexpr int32_t offerAheadMs = 7000;
constexpr int32_t waitBeforeMs = 3000;
constexpr int32_t waitAtMostMs = 4000;
// A cell sound that should have started longer ago than this is passed over.
constexpr int32_t staleMs = 4000;
constexpr size_t maxDuckItems = 10;
constexpr int32_t duckItemAgeMs = 30000;
constexpr uint32_t musicIdentityBit = 0x80000000u;
// Author-written file lengths beyond a day are not believed.
constexpr double longestFileSeconds = 86400;

int32_t toMs(double seconds) { return static_cast<int32_t>(seconds * 1000); }

int32_t magnitude(int32_t v) { return v < 0 ? -v : v; }

void sortByStart(std::vector<TimelineEntry>& entries) {
    std::stable_sort(entries.begin(), entries.end(),
                     [](const TimelineEntry& a, const TimelineEntry& b) { return a.start < b.start; });
}

}  // namespace

Soundtrack::Soundtrack(SoundtrackShow show, SoundFileOpener openFile, Clock& clock)
    : show_(std::move(show)), openFile_(std::move(openFile)), clock_(clock) {}

double Soundtrack::fileSeconds(const SoundtrackSound& sound) {
    const double written = sound.fileLength;
    if (std::isfinite(written) && written > 0 && written <= longestFileSeconds) return written;
    if (const auto known = measuredSeconds_.find(sound.fileName); known != measuredSeconds_.end()) return known->second;
    auto input = openFile_ ? openFile_(sound.fileName) : nullptr;
    if (!input) return 0;
    const uint16_t kind = probeSourceKind(*input);
    auto source = openSource(kind, std::move(input));
    if (!source || source->sampleRate() == 0) return 0;
    const double seconds = static_cast<double>(sourceLength(*source)) / source->sampleRate();
    measuredSeconds_.emplace(sound.fileName, seconds);
    return seconds;
}

void Soundtrack::layOut() {
    // Cell sounds, at their cells.
    cellSounds_.clear();
    cellSeconds_.assign(show_.cells.size(), 0);
    int32_t t = 0;
    for (size_t i = 0; i < show_.cells.size(); ++i) {
        SoundtrackCell& cell = show_.cells[i];
        SoundtrackSound& s = cell.sound;
        const int32_t cellTime = cell.timeOnScreen + cell.transitionTime;
        s.trimmedLength = 0;
        if (!s.fileName.empty()) {
            cellSeconds_[i] = fileSeconds(s);
            int32_t start = t;
            if (!s.startWithCell) {
                start += s.delay;
                if (s.startOffset < 0) start += magnitude(s.startOffset);
            }
            if (s.startWithCell || !s.runOn) {
                const int32_t length = s.playLength > 0 ? s.playLength : toMs(cellSeconds_[i]) + magnitude(s.playLength);
                const int32_t end = std::max(start + length, start + 1);
                if (end - t > cellTime) s.trimmedLength = cellTime;
            }
            cellSounds_.push_back({static_cast<int32_t>(i), start});
        }
        t += cellTime;
    }
    showLength_ = t;
    // Ordered by their real start (the delay is in it already).
    sortByStart(cellSounds_);

    // Music, one song after another.
    music_.clear();
    musicSeconds_.assign(show_.music.size(), 0);
    int32_t p = 0;
    for (size_t k = 0; k < show_.music.size(); ++k) {
        SoundtrackSound& s = show_.music[k];
        s.trimmedLength = 0;
        musicSeconds_[k] = fileSeconds(s);
        const int32_t fileMs = toMs(musicSeconds_[k]);
        int32_t start = std::max(0, s.delay + p);
        if (s.startOffset < 0) start = std::max(0, start - s.startOffset);
        int32_t length = s.playLength > 0 ? std::min(s.playLength, fileMs) : fileMs + magnitude(s.playLength);
        if (p + length <= start) length = start - p + 1;
        const int32_t offset = std::max(0, s.startOffset);
        const int32_t playMs = std::max(1, length - offset);
        if (show_.trimMusic && start + playMs > showLength_) {
            // The song crosses the show's end: cut there (its fade-out comes
            // before the cut) and let the layout pass it, so that the next
            // turn of the music starts with the first song again.
            if (start < showLength_) {
                s.trimmedLength = showLength_ - start;
                music_.push_back({static_cast<int32_t>(k), start});
            }
            p = std::max(p, showLength_);
            break;
        }
        music_.push_back({static_cast<int32_t>(k), start});
        p = start - s.startOffset + length;
    }
    musicLength_ = p;
    if (!show_.music.empty() && show_.music[0].delay < 0) musicLength_ -= magnitude(show_.music[0].delay);
    sortByStart(music_);

    nextMusic_ = nextCell_ = 0;
    musicLoopOffset_ = cellLoopOffset_ = 0;
    musicLooped_ = cellsLooped_ = false;
    duckTable_.clear();
    dips_.clear();
}

int32_t Soundtrack::nowMs() const { return elapsedMs(show_.startTick, clock_.milliseconds()); }

double Soundtrack::mixerSeconds(int32_t showMs) const {
    return (showMs + elapsedMs(show_.startTick, show_.tickOffset)) / 1000.0;
}

bool Soundtrack::nextMusic(int32_t now, int32_t& start, int32_t& wait) {
    if (music_.empty() || (show_.singlePass && musicLooped_) || (musicLength_ <= 0 && musicLooped_)) return false;
    // Started part-way: songs that ended before the start position are passed over.
    for (size_t guard = 0; show_.startedLate && guard < music_.size(); ++guard) {
        const TimelineEntry& e = music_[nextMusic_];
        const int32_t end = e.start + musicLoopOffset_ + toMs(musicSeconds_[static_cast<size_t>(e.index)]);
        if (end > show_.startPosition) break;
        if (++nextMusic_ == music_.size()) {
            nextMusic_ = 0;
            musicLoopOffset_ += musicLength_;
            musicLooped_ = true;
            if (show_.singlePass || musicLength_ <= 0) return false;
        }
    }
    start = music_[nextMusic_].start + musicLoopOffset_;
    if (!musicLooped_ && nextMusic_ > 0 && show_.music[0].delay < 0) start += magnitude(show_.music[0].delay);
    if (lookAheadApplies() && start - now >= offerAheadMs) {
        wait = std::min(wait, std::min(now + waitAtMostMs, start - waitBeforeMs));
        return false;
    }
    return true;
}

bool Soundtrack::nextCellSound(int32_t now, int32_t& start, int32_t& wait) {
    if (cellSounds_.empty() || (show_.singlePass && cellsLooped_)) return false;
    // Passes over stale sounds, each at most once per turn of the show.
    for (size_t guard = 0; guard <= cellSounds_.size(); ++guard) {
        const TimelineEntry& e = cellSounds_[nextCell_];
        start = e.start + cellLoopOffset_;
        const bool ended = show_.startedLate &&
                           start + toMs(cellSeconds_[static_cast<size_t>(e.index)]) <= show_.startPosition;
        const bool stale = lookAheadApplies() && start < now - staleMs;
        if (!ended && !stale) break;
        if (++nextCell_ == cellSounds_.size()) {
            nextCell_ = 0;
            cellLoopOffset_ += showLength_;
            cellsLooped_ = true;
            if (show_.singlePass || showLength_ <= 0) return false;
        }
        if (guard == cellSounds_.size()) return false;
    }
    if (lookAheadApplies() && start - now >= offerAheadMs) {
        wait = std::min(wait, std::min(now + waitAtMostMs, start - waitBeforeMs));
        return false;
    }
    return true;
}

int32_t Soundtrack::provide(MixerEntry& entry) {
    if (show_.soundFlag == 0) return 0;
    const int32_t now = nowMs();
    int32_t wait = INT32_MAX;
    int32_t musicStart = 0, cellStart = 0;
    const bool music = nextMusic(now, musicStart, wait);
    const bool cell = nextCellSound(now, cellStart, wait);

    if (cell && (!music || cellStart < musicStart)) {
        const TimelineEntry e = cellSounds_[nextCell_];
        SoundtrackSound& s = show_.cells[static_cast<size_t>(e.index)].sound;
        entry.identity = static_cast<uint32_t>(e.index);
        entry.type = 1;
        entry.startTime = mixerSeconds(cellStart);
        entry.gain = (s.startWithCell ? show_.cellVolume : s.volume) * unityGain / 100;
        if (++nextCell_ == cellSounds_.size()) {
            nextCell_ = 0;
            cellLoopOffset_ += showLength_;
            cellsLooped_ = true;
        }
        auto stream = openSound(s, true, cellStart);
        if (!stream) return 0;
        auto held = std::make_shared<std::unique_ptr<AudioStream>>(std::move(stream));
        entry.opener = [held] { return std::move(*held); };
        return 1;
    }
    if (music) {
        const TimelineEntry e = music_[nextMusic_];
        SoundtrackSound& s = show_.music[static_cast<size_t>(e.index)];
        entry.identity = static_cast<uint32_t>(e.index) | musicIdentityBit;
        entry.type = 1;
        entry.startTime = mixerSeconds(musicStart);
        entry.gain = s.volume * unityGain / 100;
        if (++nextMusic_ == music_.size()) {
            nextMusic_ = 0;
            musicLoopOffset_ += musicLength_;
            musicLooped_ = true;
        }
        auto stream = openSound(s, false, musicStart);
        if (!stream) return 0;
        auto held = std::make_shared<std::unique_ptr<AudioStream>>(std::move(stream));
        entry.opener = [held] { return std::move(*held); };
        return 1;
    }
    const bool noMusicLeft = music_.empty() || (show_.singlePass && musicLooped_);
    if (music_.empty() && cellSounds_.empty()) return 0;
    if (cellSounds_.empty() && noMusicLeft) return 0;
    if (wait == INT32_MAX) return 0;
    entry.startTime = mixerSeconds(wait);
    return 2;
}

std::unique_ptr<AudioStream> Soundtrack::openSound(SoundtrackSound& s, bool cellSound, int32_t itemStart) {
    auto input = openFile_ ? openFile_(s.fileName) : nullptr;
    if (!input) return nullptr;
    const uint16_t kind = probeSourceKind(*input);
    auto stream = openSource(kind, std::move(input));
    if (!stream) return nullptr;
    const double seconds = fileSeconds(s);
    const int32_t fileMs = toMs(seconds);
    int32_t offset, end, fadeIn, fadeOut;
    if (cellSound && s.startWithCell) {
        offset = 0;
        end = fileMs;
        fadeIn = show_.cellFadeIn;
        fadeOut = show_.cellFadeOut;
    } else {
        offset = std::max(0, s.startOffset);
        end = s.playLength > 0 ? std::min(s.playLength, fileMs) : std::max(0, fileMs + magnitude(s.playLength));
        fadeIn = s.fadeIn;
        fadeOut = s.fadeOut;
    }
    if (end < offset) end = offset + 1;
    if (s.trimmedLength != 0) end = offset + s.trimmedLength;
    if (!cellSound && show_.singlePass && itemStart - offset + end > showLength_) end = showLength_ - itemStart + offset;

    if (offset != 0 || end < fileMs) {
        CropSetup crop;
        crop.source = StreamRef::owning(std::move(stream));
        crop.startSeconds = offset / 1000.0;
        crop.endSeconds = end / 1000.0;
        stream = createAudioCrop(std::move(crop));
        if (!stream) return nullptr;
    }
    const int32_t span = end - offset;
    if (fadeIn + fadeOut > span && fadeIn + fadeOut > 0) {
        const double scale = static_cast<double>(span) / (fadeIn + fadeOut);
        fadeIn = static_cast<int32_t>(fadeIn * scale);
        fadeOut = static_cast<int32_t>(fadeOut * scale);
    }
    AudioStream* faderStream = nullptr;
    stream = createVolumeFader(StreamRef::owning(std::move(stream)));
    if (!stream) return nullptr;
    faderStream = stream.get();

    // The envelope, in ms from the sound's start and percent.
    const int32_t percent = show_.showVolume * s.volume / 100;
    std::vector<EnvelopePoint> envelope;
    if (fadeIn > 0) {
        envelope.push_back({0, 0});
        envelope.push_back({fadeIn, percent});
    } else {
        envelope.push_back({0, percent});
    }
    if (fadeOut > 0) {
        envelope.push_back({span - fadeOut, percent});
        envelope.push_back({span, 0});
    } else {
        // The end too, so that even a song without fades has the two points
        // a duck needs.
        envelope.push_back({span, percent});
    }
    const double g = show_.showVolume * s.volume * 0.0001;
    for (const EnvelopePoint& p : envelope) faderSetEntry(*faderStream, p.time / 1000.0, p.level == 0 ? 0.0 : g);

    if (!cellSound) {
        // Old items go first; at most 10 are kept.
        std::erase_if(duckTable_, [&](const DuckItem& item) {
            return item.alive.expired() || item.start < itemStart - duckItemAgeMs;
        });
        if (duckTable_.size() >= maxDuckItems) duckTable_.erase(duckTable_.begin());
        for (EnvelopePoint& p : envelope) p.time += itemStart;
        duckTable_.push_back({itemStart, faderStream, faderStream->aliveToken(), std::move(envelope)});
        // A song that starts while a cell sound plays is lowered too.
        for (const Dip& dip : dips_) applyDip(duckTable_.back(), dip);
    } else {
        const bool showDuck = s.useShowDuck != 0;
        Dip dip;
        const int32_t down = showDuck ? show_.duckFadeDown : s.duckFadeDown;
        const int32_t up = showDuck ? show_.duckFadeUp : s.duckFadeUp;
        dip.a = itemStart - down;
        dip.b = itemStart + span + up;
        dip.level = (showDuck ? show_.duckLevel : s.duckLevel) * show_.showVolume / 100;
        dip.fadeDown = down;
        dip.fadeUp = up;
        duck(dip);
    }
    return stream;
}

void Soundtrack::duck(const Dip& dip) {
    std::erase_if(dips_, [&](const Dip& d) { return d.b < dip.a - duckItemAgeMs; });
    dips_.push_back(dip);
    for (DuckItem& item : duckTable_) applyDip(item, dip);
}

void Soundtrack::applyDip(DuckItem& item, const Dip& dip) {
    if (item.alive.expired() || item.envelope.size() < 2) return;
    if (item.envelope.back().time <= dip.a || item.start >= dip.b) return;
    const std::vector<EnvelopePoint> points = dipPoints(dip, show_.showVolume);
    if (points.empty()) return;
    std::vector<EnvelopePoint> lowered = lowerEnvelope(item.envelope, points);
    // Points that vanished lose their fader entries.
    for (const EnvelopePoint& old : item.envelope) {
        const bool kept = std::any_of(lowered.begin(), lowered.end(), [&](const EnvelopePoint& p) { return p.time == old.time; });
        if (!kept) faderRemoveEntry(*item.fader, (old.time - item.start) / 1000.0);
    }
    for (const EnvelopePoint& p : lowered) faderSetEntry(*item.fader, (p.time - item.start) / 1000.0, p.level / 100.0);
    item.envelope = std::move(lowered);
}

std::unique_ptr<AudioStream> createSoundtrackRoot(std::shared_ptr<Soundtrack> soundtrack) {
    ComplexMixerSetup setup;
    setup.sampleRate = soundtrackRate;
    setup.channels = soundtrackChannels;
    setup.provider = [soundtrack](MixerEntry& entry) { return soundtrack->provide(entry); };
    return createComplexMixer(std::move(setup));
}

bool renderSoundtrack(SoundtrackShow show, SoundFileOpener openFile, double seconds, const FrameSink& sink) {
    SampleClock clock;
    show.startTick = show.tickOffset = 0;
    auto track = std::make_shared<Soundtrack>(std::move(show), std::move(openFile), clock);
    track->layOut();
    auto root = createSoundtrackRoot(track);
    if (!root) return false;
    const auto total = static_cast<int64_t>(std::max(0.0, seconds) * soundtrackRate);
    constexpr int32_t piece = 2048;
    PageAlignedVector<int16_t> frames(static_cast<size_t>(piece) * soundtrackChannels);
    int64_t done = 0;
    while (done < total) {
        clock.set(static_cast<uint32_t>(done * 1000 / soundtrackRate));
        const int32_t want = static_cast<int32_t>(std::min<int64_t>(piece, total - done));
        // A graph that stops moving without finishing ends the render.
        for (int idle = 0; root->validEnd() < done + want && !root->finished() && idle < 1000; ++idle) {
            const int64_t before = root->validEnd();
            root->pump();
            if (root->validEnd() > before) idle = 0;
        }
        const int32_t count = static_cast<int32_t>(std::min<int64_t>(want, root->validEnd() - done));
        if (count <= 0) break;
        if (root->readInterleaved(frames.data(), count, done, 16) != count) return false;
        if (!sink(frames.data(), count)) return false;
        done += count;
        root->release(done);
    }
    return true;
}

}  // namespace lv::audio
