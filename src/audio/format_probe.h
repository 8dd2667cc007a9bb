// Which decoder reads a byte stream: the Layer III, WAV and Layer I/II
// probes each score the stream's start (100 sure, 50 likely, 0 no); the
// best score wins, the earlier probe on a tie.
#pragma once

#include <optional>

#include "audio/byte_source.h"
#include "audio/decoder.h"

namespace lv::audio {

int probeLayer3(ByteSource& input);
int probeWav(ByteSource& input);
int probeLayer12(ByteSource& input);

// Nothing when every probe scores 0. Leaves the input at its start.
std::optional<DecoderKind> probeFormat(ByteSource& input);

}  // namespace lv::audio
