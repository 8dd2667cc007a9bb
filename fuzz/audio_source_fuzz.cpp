// Fuzz target: the audio command layer's file sources. The input is probed
// like a sound file of a show; whatever kind it is taken for (and each kind
// once more by force) is opened as a source, asked its length, seeked,
// cropped, faded and pumped to its end through the dispatch's read record.
// Bounded so that a source that never finishes is a finding (the harness's
// time limit), not an endless run.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "audio/audio_dispatch.h"
#include "audio/file_source.h"
#include "audio/graph_nodes.h"

namespace {

using namespace lv::audio;

std::unique_ptr<ByteSource> input(const uint8_t* data, size_t size) {
    return std::make_unique<MemoryByteSource>(std::span<const uint8_t>(data, size), "fuzz.mp3");
}

void drive(std::unique_ptr<AudioStream> source, bool crop) {
    if (!source) return;
    int64_t length = 0;
    send(kindAudioStream, cmdGetLength, source.get(), &length);
    std::unique_ptr<AudioStream> top;
    if (crop) {
        CropSetup setup;
        setup.source = StreamRef::owning(std::move(source));
        setup.useSamples = true;
        setup.startSample = 1000;
        setup.endSample = 50000;
        top = createVolumeFader(StreamRef::owning(createAudioCrop(std::move(setup))));
        if (top) faderSetEntry(*top, 0.01, 0.5);
    } else {
        PositionRecord p{0.05, 0, 0};
        send(kindAudioStream, cmdSetPosition, source.get(), &p);
        top = std::move(source);
    }
    if (!top) return;
    std::vector<int16_t> frames(4096 * 32);
    int64_t at = -1;
    for (int step = 0; step < 3000 && !(top->finished() && at >= top->validEnd()); ++step) {
        top->pump();
        if (at < 0 && top->validEnd() > top->firstRetained()) at = top->firstRetained();
        if (at < 0) continue;
        const auto n = static_cast<int32_t>(std::min<int64_t>(4096, top->validEnd() - at));
        if (n <= 0) continue;
        ReadRecord r{top.get(), frames.data(), n, at, 16};
        send(kindAudioStream, cmdReadInterleaved, top.get(), &r);
        at += n;
        top->release(at);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto probe = input(data, size);
    const uint16_t kind = probeSourceKind(*probe);
    if (kind != 65535) drive(openSource(kind, std::move(probe)), false);
    for (uint16_t forced : {kindLayer3Source, kindWavSource, kindLayer12Source}) drive(openSource(forced, input(data, size)), true);
    return 0;
}
