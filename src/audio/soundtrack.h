// The show soundtrack: turns a show's music list and cell sounds into timed
// entries for the ComplexMixer at the root of the show's sound. It lays out
// the time line in milliseconds, hands the ComplexMixer the next entry when
// it comes within reach, opens each sound with its crop and its volume
// envelope (fades), lowers the music while a cell sound plays (ducking) and
// loops music and cell sounds with the show.
//
//     SoundtrackShow show = ...;                       // from the show file
//     auto track = std::make_shared<Soundtrack>(std::move(show), openFile, systemClock());
//     track->layOut();
//     auto root = createSoundtrackRoot(track);         // ComplexMixer, 44100 Hz stereo
//
// SoundtrackShow carries exactly the show fields the soundtrack reads; the
// show player fills it from its show record. Times are milliseconds,
// volumes and duck levels percent. The clock gives "now" (its milliseconds
// minus startTick); an offline render drives it by the rendered samples.
//
// Failure: a sound that cannot be opened ends the soundtrack (the provider
// answers 0, the rest of the show runs silent). Fader changes that come too
// late are refused by the fader and ignored.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "audio/audio_stream.h"
#include "audio/byte_source.h"
#include "audio/graph_nodes.h"
#include "platform/clock.h"

namespace lv::audio {

struct SoundtrackSound {
    std::string fileName;       // empty: no sound (cells)
    int32_t startWithCell = 0;  // cell sounds: start with the cell, trimmed to it
    int32_t volume = 100;
    int32_t delay = 0;
    int32_t startOffset = 0;
    int32_t playLength = 0;     // > 0: the length; else file length + |value|
    int32_t trimmedLength = 0;  // written by layOut
    int32_t fadeIn = 0;
    int32_t fadeOut = 0;
    int32_t runOn = 0;          // cell sounds: may run past the cell
    int32_t useShowDuck = 0;    // cell sounds: duck level and times of the show
    int32_t duckLevel = 100;
    int32_t duckFadeDown = 0;
    int32_t duckFadeUp = 0;
    double fileLength = 0;      // seconds, as the author wrote it
};

struct SoundtrackCell {
    int32_t timeOnScreen = 0;   // ms
    int32_t transitionTime = 0; // ms
    SoundtrackSound sound;
};

struct SoundtrackShow {
    int32_t soundFlag = 1;      // 0: no sound at all
    int32_t trimMusic = 0;
    int32_t showVolume = 100;
    int32_t duckLevel = 100;
    int32_t duckFadeDown = 0;
    int32_t duckFadeUp = 0;
    int32_t cellVolume = 100;   // cell sounds that start with their cell
    int32_t cellFadeIn = 0;
    int32_t cellFadeOut = 0;
    std::vector<SoundtrackSound> music;  // at most 100
    std::vector<SoundtrackCell> cells;
    // Set by the show player.
    uint32_t startTick = 0;
    uint32_t tickOffset = 0;
    int32_t startPosition = 0;
    bool startedLate = false;
    bool singlePass = false;
};

// Opens a sound file by the name the show gives (null when missing).
using SoundFileOpener = std::function<std::unique_ptr<ByteSource>(const std::string& name)>;

// One laid-out sound: the index of the show sound or cell, and its start.
struct TimelineEntry {
    int32_t index;
    int32_t start;
};

// A point of a music item's volume envelope (absolute ms, percent).
struct EnvelopePoint {
    int32_t time;
    int32_t level;
};

// The lowering of the music under one cell sound, from a to b.
struct Dip {
    int32_t a, b;
    int32_t level;
    int32_t fadeDown, fadeUp;
};

// The dip's own points (none when it is shorter than 50 ms): down over the
// fade-down time, up over the fade-up time, both shortened in proportion
// when they do not fit.
std::vector<EnvelopePoint> dipPoints(const Dip& dip, int32_t showVolume);
// The lower of the envelope and the dip at every time of either, from the
// envelope's first point on; middle points level with both neighbours are
// dropped; at most 100 points (the oldest dropped).
std::vector<EnvelopePoint> lowerEnvelope(const std::vector<EnvelopePoint>& envelope,
                                         const std::vector<EnvelopePoint>& dip);

class Soundtrack {
public:
    Soundtrack(SoundtrackShow show, SoundFileOpener openFile, Clock& clock);

    // Computes the time line; before the show starts.
    void layOut();
    // The ComplexMixer's provider: 1 an entry, 2 wait until entry.startTime, 0 no more.
    int32_t provide(MixerEntry& entry);

    const SoundtrackShow& show() const { return show_; }
    const std::vector<TimelineEntry>& musicEntries() const { return music_; }
    const std::vector<TimelineEntry>& cellEntries() const { return cellSounds_; }
    int32_t showLength() const { return showLength_; }
    int32_t musicLength() const { return musicLength_; }
    // The file length used for a sound: the author's when it is a finite,
    // sane number of seconds, else the decoder's (measured once per file
    // name: a Layer III length is a scan of the whole file).
    double fileSeconds(const SoundtrackSound& sound);

private:
    struct DuckItem {
        int32_t start;
        AudioStream* fader;
        std::weak_ptr<const void> alive;
        std::vector<EnvelopePoint> envelope;
    };

    int32_t nowMs() const;
    double mixerSeconds(int32_t showMs) const;
    bool lookAheadApplies() const { return !show_.startedLate && !show_.singlePass; }
    bool nextMusic(int32_t now, int32_t& start, int32_t& wait);
    bool nextCellSound(int32_t now, int32_t& start, int32_t& wait);
    std::unique_ptr<AudioStream> openSound(SoundtrackSound& sound, bool cellSound, int32_t itemStart);
    void duck(const Dip& dip);
    void applyDip(DuckItem& item, const Dip& dip);

    SoundtrackShow show_;
    SoundFileOpener openFile_;
    Clock& clock_;
    std::vector<TimelineEntry> music_;
    std::vector<TimelineEntry> cellSounds_;
    std::vector<double> musicSeconds_;
    std::vector<double> cellSeconds_;
    std::map<std::string, double> measuredSeconds_;
    size_t nextMusic_ = 0;
    size_t nextCell_ = 0;
    int32_t musicLoopOffset_ = 0;
    int32_t cellLoopOffset_ = 0;
    bool musicLooped_ = false;
    bool cellsLooped_ = false;
    int32_t showLength_ = 0;
    int32_t musicLength_ = 0;
    std::vector<DuckItem> duckTable_;
    std::vector<Dip> dips_;
};

// The ComplexMixer of a show: 44100 Hz, 2 channels, fed by the soundtrack.
std::unique_ptr<AudioStream> createSoundtrackRoot(std::shared_ptr<Soundtrack> soundtrack);

// A clock that the offline render moves by the samples it has taken.
class SampleClock final : public Clock {
public:
    std::uint32_t milliseconds() override { return ms_; }
    void set(std::uint32_t ms) { ms_ = ms; }

private:
    std::uint32_t ms_ = 0;
};

// Renders `seconds` of a show's soundtrack (or until it finishes) through
// the same graph and provider as playback, the clock driven by the rendered
// samples, handing interleaved 16-bit stereo frames of 44100 Hz to `sink`
// in pieces. False when the sink refuses a piece.
using FrameSink = std::function<bool(const int16_t* frames, int32_t count)>;
bool renderSoundtrack(SoundtrackShow show, SoundFileOpener openFile, double seconds, const FrameSink& sink);

}  // namespace lv::audio
