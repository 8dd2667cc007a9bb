// File sources: audio streams whose producer decodes a sound file (MPEG
// audio Layer III, Layer I/II, or RIFF WAVE PCM) through the decoder handle.
//
//     auto input = FileByteSource::open("song.mp3");
//     uint16_t kind = probeSourceKind(*input);                 // 82, 33, 88 or 65535
//     auto song = openSource(kind, std::move(input));          // null: refused
//     while (!song->finished()) song->pump();
//
// The source owns its byte input from the open on. One lock per source
// kind keeps two sources of a kind from decoding at once. Refused at open:
// an input the decoder finds no valid format in, and a WAV file of rate 0
// or of more than two channels. 24- and 32-bit WAV samples are stored
// left-justified like the narrower ones; a sample frame that a read of the
// file cuts in two is carried over to the next read.
#pragma once

#include <cstdint>
#include <memory>

#include "audio/audio_stream.h"
#include "audio/byte_source.h"

namespace lv::audio {

// Null (and the input destroyed) when the kind is not a source kind or the
// file is refused.
std::unique_ptr<AudioStream> openSource(uint16_t kind, std::unique_ptr<ByteSource> input);

// Command 808 for a stream: the file's sample frames as the decoder reports
// them (0 when unknown), or -1 when the stream is not a file source.
int64_t sourceLength(AudioStream& stream);

}  // namespace lv::audio
