#include "audio/mpeg_frame_count.h"

#include <algorithm>
#include <vector>

namespace lv::audio {

int64_t countStreamSamples(ByteSource& input, int64_t start, const HeaderFilter& accept) {
    constexpr size_t pieceBytes = 2 * 1024 * 1024;
    const int64_t resume = input.tell();
    // A piece one byte longer than what is left reads it all in one short read.
    const int64_t left = input.size() - start;
    std::vector<uint8_t> piece(left >= 0 ? static_cast<size_t>(std::min<int64_t>(pieceBytes, left + 1)) : pieceBytes);
    int64_t samples = 0;
    int64_t position = start;
    for (;;) {
        if (!input.seek(position)) break;
        const size_t got = input.read(piece.data(), piece.size());
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
        if (got < piece.size() || i == 0) break;
        position += static_cast<int64_t>(i);
    }
    input.seek(resume);
    return samples;
}

}  // namespace lv::audio
