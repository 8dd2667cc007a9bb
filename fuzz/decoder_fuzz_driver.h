// Drives one decoder through everything its handle offers on fuzz input:
// format, length, reads and skips to the end, restart, a few reads more.
// Bounded so that a decoder that never reports its end is a finding (the
// harness's time limit), not an endless run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "audio/decoder.h"

namespace lv::fuzz {

inline void driveDecoder(audio::DecoderKind kind, const uint8_t* data, size_t size) {
    auto decoder = audio::openDecoder(kind, std::make_unique<audio::MemoryByteSource>(
                                                std::span<const uint8_t>(data, size), "fuzz.mp3"));
    if (!decoder) return;
    decoder->format();
    decoder->length();
    std::vector<uint8_t> chunk(decoder->largestChunk());
    for (int step = 0; step < 20000 && !decoder->atEnd(); ++step) {
        if (step % 5 == 3)
            decoder->skip(1000);
        else
            decoder->read(chunk);
    }
    decoder->restart();
    for (int step = 0; step < 3 && !decoder->atEnd(); ++step) decoder->read(chunk);
}

}  // namespace lv::fuzz
