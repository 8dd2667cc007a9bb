// The audio graph nodes: streams made from other streams. Each create
// function builds one node and gives its output stream, or null when the
// inputs do not fit (the reason is listed with each). Inputs given as
// StreamRef::owning are destroyed by the node when it finishes or is
// destroyed; borrowed ones must outlive it.
//
//     MixerSetup setup;
//     setup.inputs.push_back({StreamRef::borrowing(voice), 0, 256});   // unity
//     setup.inputs.push_back({StreamRef::borrowing(music), 0, 128});   // half
//     auto mix = createMixer(std::move(setup));
//     while (!mix->finished()) mix->pump();
//
// Gains are fixed point with 256 as unity. Sample arithmetic is integer:
//  - Mixer: per output sample, sum of (input >> 11) * gain over the inputs
//    feeding the channel, saturated to +-2^28 and scaled by 8.
//  - VolumeFader: ((input >> 10) * 4 * g) with its low 10 bits cleared,
//    saturated; g ramps linearly (rounded multiply-divide) between entries.
//  - Resample: windowed-sinc interpolation in 16-bit fixed point.
// Node kinds and their kind tags (names in kind order):
//   Mixer 0x9500, Resample 0x9501, Concat 0x9502, Silence 0x9503,
//   ComplexMixer 0x9504, VolumeFader 0x9505, AudioCrop 0x9506,
//   ChannelChanger 0x9507.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "audio/audio_stream.h"
#include "audio/node_support.h"

namespace lv::audio {

inline constexpr uint16_t kindMixer = 0x9500;
inline constexpr uint16_t kindResample = 0x9501;
inline constexpr uint16_t kindConcat = 0x9502;
inline constexpr uint16_t kindSilence = 0x9503;
inline constexpr uint16_t kindComplexMixer = 0x9504;
inline constexpr uint16_t kindVolumeFader = 0x9505;
inline constexpr uint16_t kindAudioCrop = 0x9506;
inline constexpr uint16_t kindChannelChanger = 0x9507;
inline constexpr std::array<std::string_view, 8> nodeKindNames = {
    "Mixer", "Resample", "Concat", "Silence", "ComplexMixer", "VolumeFader", "AudioCrop", "ChannelChanger"};

inline constexpr int32_t unityGain = 256;

// ---- Mixer: sums inputs of one rate, each with its gain -------------------
// Null without inputs, with inputs of different rates, or when the asked
// channel count is below an input's. A mono input feeds both channels of a
// stereo Mixer, else channel c feeds channel c. Finishes at endPosition
// (-1: no limit) or when a finished input runs out.
struct MixerInput {
    StreamRef input;
    int64_t readPosition = 0;
    int32_t gain = unityGain;
};
struct MixerSetup {
    std::vector<MixerInput> inputs;
    int64_t endPosition = -1;
    int32_t outputChannels = 0;  // 0 or less: the largest input's
};
std::unique_ptr<AudioStream> createMixer(MixerSetup setup);

// ---- Resample: to another sample rate --------------------------------------
// quality 0: small filter (13 zero crossings), else large (65). Null for a
// target rate outside 1..96000 or below 1/65536 of the source's rate.
struct ResampleSetup {
    StreamRef source;
    int32_t targetRate = 44100;
    int32_t quality = 0;
};
std::unique_ptr<AudioStream> createResample(ResampleSetup setup);

// The fixed-point parameters of a conversion (exposed for tests).
struct ResampleParameters {
    double factor;
    int32_t xoff;
    int32_t lpScl;
    int32_t dt;
    int32_t dhb;
};
ResampleParameters resampleParameters(int32_t sourceRate, int32_t targetRate, int32_t quality);

// A filter's wing (256 entries per zero crossing) and the differences
// between neighbours, `wing` entries each (exposed for tests).
struct ResampleFilterTable {
    const int16_t* table;
    const int16_t* differences;
    int32_t wing;
};
ResampleFilterTable resampleFilterTable(int32_t quality);

// ---- Concat: segments of streams end to end --------------------------------
// Waits for more segments until an end marker is appended.
struct ConcatSegment {
    StreamRef source;
    int64_t start = 0;
    int64_t length = -1;  // negative: to the source's end
};
// Null when the first segment has no source.
std::unique_ptr<AudioStream> createConcat(ConcatSegment first);
// 0, or 1 when refused (finished, or another rate or channel count).
int32_t concatAppend(AudioStream& concat, ConcatSegment segment);
int32_t concatAppendEnd(AudioStream& concat);
bool concatEmpty(AudioStream& concat);

// ---- Silence ----------------------------------------------------------------
// length < 0: endless.
std::unique_ptr<AudioStream> createSilence(int64_t length, int32_t sampleRate, int32_t channels);

// ---- ChannelChanger: a mono source copied into every channel ---------------
// Null unless the source is mono and the target has 2 channels or more.
std::unique_ptr<AudioStream> createChannelChanger(StreamRef source, int32_t targetChannels);

// ---- VolumeFader: a gain envelope over the source's time line --------------
// One initial entry {0 s, 1.0}. Entries are set and read through commands
// 820 to 825 (audio_dispatch.h) or the functions below.
std::unique_ptr<AudioStream> createVolumeFader(StreamRef source, int32_t firstSampleFlag = 0);
// 0, or 1 when the time lies before validEnd (too late).
int32_t faderSetEntry(AudioStream& fader, double seconds, double value);
// 0; 1 at or before validEnd; 2 when no entry has exactly that position.
int32_t faderRemoveEntry(AudioStream& fader, double seconds);
// The time of validEnd and the gain there.
void faderState(AudioStream& fader, double& seconds, double* value);
// 0, or -1 for an index outside the entries.
int32_t faderEntry(AudioStream& fader, int32_t index, double& seconds, double* value);
std::size_t faderEntryCount(AudioStream& fader);

// ---- AudioCrop: a range of the source ---------------------------------------
struct CropSetup {
    StreamRef source;
    double startSeconds = 0;
    double endSeconds = 0;
    int64_t startSample = 0;
    int64_t endSample = -1;  // -1: no end
    bool useSamples = false;
};
std::unique_ptr<AudioStream> createAudioCrop(CropSetup setup);

// ---- ComplexMixer: timed sounds onto one continuous output -----------------
struct MixerEntry {
    uint32_t identity = 0;
    uint32_t type = 1;       // 1: a sound
    double startTime = 0;    // seconds on the ComplexMixer's time line
    // Called when the entry comes due; yields the sound (null: dropped).
    std::function<std::unique_ptr<AudioStream>()> opener;
    int32_t gain = unityGain;
};
// Fills the entry and answers 1; 2: nothing before entry.startTime (a
// wait); 0: no more entries.
using EntryProvider = std::function<int32_t(MixerEntry& entry)>;
struct ComplexMixerSetup {
    int32_t sampleRate = 44100;
    int32_t channels = 2;
    EntryProvider provider;              // none: the fixed entries
    std::vector<MixerEntry> fixedEntries;
    bool idleSilence = false;
    bool endAtLength = false;
    double length = 0;                   // seconds, with endAtLength
};
std::unique_ptr<AudioStream> createComplexMixer(ComplexMixerSetup setup);
// Command 830: 0 replaced, 1 too early, 2 nothing matching.
int32_t complexMixerUpdateQueued(AudioStream& mixer, const MixerEntry& entry, uint32_t identity);
// The most sounds playing at once.
inline constexpr std::size_t maxActiveItems = 128;

}  // namespace lv::audio
