// Counting the samples of an MPEG audio stream without decoding it: the
// input is read in 2 MiB pieces from `start`, and every header the
// predicate accepts adds its frame's samples and is jumped over whole.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "audio/byte_source.h"
#include "audio/mpeg_audio_header.h"

namespace lv::audio {

using HeaderFilter = std::function<std::optional<MpegAudioHeader>(const uint8_t*)>;

// Leaves the input where it was.
int64_t countStreamSamples(ByteSource& input, int64_t start, const HeaderFilter& accept);

}  // namespace lv::audio
