// The audio dispatch: the one entry through which the rest of the program
// sends numbered commands to audio streams and file source classes.
//
//     send(kindAudioStream, cmdReadInterleaved, nullptr, &readRecord);
//     send(kindAudioStream, cmdCreateNode, nullptr, &mixerRecord, &out);
//
// send(kind, command, object, argument, argument2) -> signed 32-bit result.
// Kind 87 and the node kinds 0x9500..0x9507 reach the stream command
// handler; 82, 33 and 88 the file source classes; any other kind gives -1.
// Unknown commands give -1. Records are the structs below; the object is
// the AudioStream the command acts on (or the node kind for command 26).
//
// Command 26 (create node) cannot return a stream in a 32-bit result on a
// 64-bit build, so it stores the new stream (owned by the caller) in the
// std::unique_ptr<AudioStream> that argument2 points to and returns 0, or -1
// when no node was made.
#pragma once

#include <cstdint>
#include <memory>

#include "audio/audio_stream.h"
#include "audio/byte_source.h"
#include "audio/graph_nodes.h"

namespace lv::audio {

enum AudioCommand : uint32_t {
    cmdProducedKind = 25,
    cmdCreateNode = 26,
    cmdNoOperation = 54,
    cmdCopyInfo = 175,
    cmdGetAccess = 800,
    cmdWriteInterleaved = 801,
    cmdReadInterleaved = 806,
    cmdGetLength = 808,
    cmdSetFaderEntry = 820,
    cmdRemoveFaderEntry = 821,
    cmdGetFaderState = 822,
    cmdLockFader = 823,
    cmdUnlockFader = 824,
    cmdGetFaderEntry = 825,
    cmdUpdateQueuedEntry = 830,
    cmdLockComplexMixer = 831,
    cmdUnlockComplexMixer = 832,
    cmdAppendSegment = 840,
    cmdAppendEndMarker = 841,
    cmdSegmentsEmpty = 842,
    cmdSetPosition = 843,
};

// 801.
struct WriteRecord {
    AudioStream* target = nullptr;
    const void* buffer = nullptr;
    int32_t count = 0;
    int64_t position = 0;
    int32_t channels = 0;
    int32_t bits = 16;
    uint32_t unsignedData = 0;
};

// 806.
struct ReadRecord {
    AudioStream* source = nullptr;
    void* destination = nullptr;
    int32_t count = 0;
    int64_t position = 0;
    int32_t bits = 16;
};

// 843: the sample position when useSample is set, else rate x seconds.
struct PositionRecord {
    double seconds = 0;
    int64_t sample = 0;
    uint32_t useSample = 0;
};

// 820, 821, 822 and 825 (time in seconds, value a gain, 1.0 = unity).
struct FaderEntryArgument {
    double time = 0;
    double* value = nullptr;
};

// 830: the replacement entry and the identity to match.
struct QueuedEntryUpdate {
    MixerEntry entry;
    uint32_t identity = 0;
};

// The creation record of command 26: the common header, then each kind's
// fields. `source` with bit 0 of `flags` set is owned by the node from here
// on (also when creation fails).
inline constexpr uint32_t ownsSource = 1;
struct NodeRecord {
    uint16_t kind = 0;
    uint16_t reserved = 0;
    AudioStream* source = nullptr;
    uint32_t flags = 0;
    // Mixer
    struct Input {
        AudioStream* stream = nullptr;
        uint32_t owns = 0;
        int64_t readPosition = 0;
        int32_t gain = unityGain;
    };
    std::vector<Input> inputs;
    int64_t endPosition = -1;
    int32_t outputChannels = 0;
    // Resample
    int32_t targetRate = 0;
    int32_t quality = 0;
    // Concat (the first segment; its owns flag in `flags`)
    int64_t segmentStart = 0;
    int64_t segmentLength = -1;
    // Silence
    int64_t length = -1;
    int32_t sampleRate = 0;
    int32_t channels = 0;
    // ComplexMixer
    ComplexMixerSetup complex;
    // VolumeFader
    int32_t firstSampleFlag = 0;
    // AudioCrop
    double startSeconds = 0, endSeconds = 0;
    int64_t startSample = 0, endSample = -1;
    uint32_t useSamples = 0;
    // ChannelChanger
    int32_t targetChannels = 0;
};

// 840's argument.
struct SegmentRecord {
    AudioStream* source = nullptr;
    uint32_t owns = 0;
    int64_t start = 0;
    int64_t length = -1;
};

// The access routine of command 800.
using AccessRoutine = void* (*)(AudioStream* stream, int32_t channel, int64_t position, int32_t count,
                                int32_t mode, int32_t format);

int32_t send(uint16_t kind, uint32_t command, void* object, void* argument = nullptr, void* argument2 = nullptr);

// The plain entry points.
std::unique_ptr<AudioStream> createStream(const AudioFormat& format);
void getFormat(const AudioStream* stream, AudioFormat& format);
void destroyStream(std::unique_ptr<AudioStream> stream);
// The source kind (82, 33 or 88), or 65535 when no probe accepts the input.
uint16_t probeSourceKind(ByteSource& input);

}  // namespace lv::audio
