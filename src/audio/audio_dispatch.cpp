#include "audio/audio_dispatch.h"

#include "audio/file_source.h"
#include "audio/format_probe.h"

namespace lv::audio {
namespace {

void* accessRoutine(AudioStream* stream, int32_t channel, int64_t position, int32_t count, int32_t mode,
                    int32_t format) {
    if (!stream) return nullptr;
    return stream->access(channel, position, count, mode != 0, static_cast<SampleFormat>(format));
}

StreamRef adopt(AudioStream* stream, uint32_t owns) {
    return owns ? StreamRef::owning(std::unique_ptr<AudioStream>(stream)) : StreamRef::borrowing(stream);
}

std::unique_ptr<AudioStream> createNode(uint16_t kind, NodeRecord& r) {
    const uint32_t owns = r.flags & ownsSource;
    switch (kind) {
        case kindMixer: {
            MixerSetup setup;
            for (const NodeRecord::Input& in : r.inputs)
                setup.inputs.push_back({adopt(in.stream, in.owns), in.readPosition, in.gain});
            setup.endPosition = r.endPosition;
            setup.outputChannels = r.outputChannels;
            return createMixer(std::move(setup));
        }
        case kindResample: return createResample({adopt(r.source, owns), r.targetRate, r.quality});
        case kindConcat: return createConcat({adopt(r.source, owns), r.segmentStart, r.segmentLength});
        case kindSilence: return createSilence(r.length, r.sampleRate, r.channels);
        case kindComplexMixer: return createComplexMixer(std::move(r.complex));
        case kindVolumeFader: return createVolumeFader(adopt(r.source, owns), r.firstSampleFlag);
        case kindAudioCrop: {
            CropSetup setup;
            setup.source = adopt(r.source, owns);
            setup.startSeconds = r.startSeconds;
            setup.endSeconds = r.endSeconds;
            setup.startSample = r.startSample;
            setup.endSample = r.endSample;
            setup.useSamples = r.useSamples != 0;
            return createAudioCrop(std::move(setup));
        }
        case kindChannelChanger: return createChannelChanger(adopt(r.source, owns), r.targetChannels);
        default: {
            adopt(r.source, owns);  // an owned source goes with the refused record
            return nullptr;
        }
    }
}

int64_t positionOf(const AudioStream& stream, const PositionRecord& p) {
    return p.useSample ? p.sample : static_cast<int64_t>(stream.sampleRate() * p.seconds);
}

int32_t streamCommand(uint32_t command, AudioStream* stream, void* argument, void* argument2) {
    switch (command) {
        case cmdCreateNode: {
            auto* record = static_cast<NodeRecord*>(argument);
            auto* out = static_cast<std::unique_ptr<AudioStream>*>(argument2);
            if (!record || !out) return -1;
            *out = createNode(record->kind, *record);
            record->source = nullptr;
            record->inputs.clear();
            return *out ? 0 : -1;
        }
        case cmdCopyInfo: {
            auto* to = static_cast<AudioStream*>(argument);
            if (!stream || !to) return -1;
            copyInfo(*stream, *to);
            return 0;
        }
        case cmdGetAccess: {
            if (!argument) return -1;
            *static_cast<AccessRoutine*>(argument) = accessRoutine;
            return 0;
        }
        case cmdWriteInterleaved: {
            auto* w = static_cast<WriteRecord*>(argument);
            if (!w || !w->target) return -1;
            return w->target->writeInterleaved(w->buffer, w->count, w->position, w->channels, w->bits, w->unsignedData != 0);
        }
        case cmdReadInterleaved: {
            auto* r = static_cast<ReadRecord*>(argument);
            if (!r || !r->source) return 0;
            return r->source->readInterleaved(r->destination, r->count, r->position, r->bits);
        }
        case cmdGetLength: {
            if (!stream || !argument) return -1;
            *static_cast<int64_t*>(argument) = sourceLength(*stream);
            return 0;
        }
        case cmdSetPosition: {
            auto* p = static_cast<PositionRecord*>(argument);
            if (!stream || !p) return -1;
            return stream->setPosition(positionOf(*stream, *p));
        }
        case cmdAppendSegment: {
            auto* s = static_cast<SegmentRecord*>(argument);
            if (!stream || !s) return 1;
            ConcatSegment segment{adopt(s->source, s->owns), s->start, s->length};
            s->source = nullptr;
            return concatAppend(*stream, std::move(segment));
        }
        case cmdAppendEndMarker: return stream ? concatAppendEnd(*stream) : 1;
        case cmdSegmentsEmpty: return stream && concatEmpty(*stream) ? 1 : 0;
        default:
            if (stream && stream->producer()) return stream->producer()->command(*stream, command, argument, argument2);
            return -1;
    }
}

int32_t sourceClassCommand(uint32_t command, void* argument) {
    switch (command) {
        case cmdProducedKind:
            if (argument) *static_cast<uint16_t*>(argument) = kindAudioStream;
            return 0;
        case cmdNoOperation: return 0;
        default: return -1;
    }
}

}  // namespace

int32_t send(uint16_t kind, uint32_t command, void* object, void* argument, void* argument2) {
    if (kind == kindAudioStream || (kind >= kindMixer && kind <= kindChannelChanger))
        return streamCommand(command, static_cast<AudioStream*>(object), argument, argument2);
    if (kind == kindLayer3Source || kind == kindWavSource || kind == kindLayer12Source)
        return sourceClassCommand(command, argument);
    return -1;
}

std::unique_ptr<AudioStream> createStream(const AudioFormat& format) { return AudioStream::create(format); }

void getFormat(const AudioStream* stream, AudioFormat& format) {
    if (stream) format = stream->format();
}

void destroyStream(std::unique_ptr<AudioStream> stream) { stream.reset(); }

uint16_t probeSourceKind(ByteSource& input) {
    const auto kind = probeFormat(input);
    return kind ? static_cast<uint16_t>(*kind) : 65535;
}

}  // namespace lv::audio
