#include "audio/mpeg_frame_count.h"

#include <memory>

namespace lv::audio {

int64_t countStreamSamples(ByteSource& input, int64_t start, const HeaderFilter& accept) {
    // Small enough to stay in the cache while it is scanned (a frame is at
    // most a few kilobytes); not zeroed: only what a read fills is looked at.
    constexpr size_t pieceBytes = 64 * 1024;
    const int64_t resume = input.tell();
    const auto piece = std::make_unique_for_overwrite<uint8_t[]>(pieceBytes);
    int64_t samples = 0;
    int64_t position = start;
    for (;;) {
        if (!input.seek(position)) break;
        const size_t got = input.read(piece.get(), pieceBytes);
        size_t i = 0;
        while (i + 4 <= got) {
            if (const auto header = accept(&piece[i])) {
                samples += header->samplesPerFrame();
                i += static_cast<size_t>(header->frameLength());
            } else {
                ++i;
            }
        }
        // A short piece is the end; otherwise go on where the scan stopped
        // (a frame may straddle the pieces).
        if (got < pieceBytes || i == 0) break;
        position += static_cast<int64_t>(i);
    }
    input.seek(resume);
    return samples;
}

}  // namespace lv::audio
