#include "audio/decoder.h"

#include "audio/layer12_decoder.h"
#include "audio/mp3_decoder.h"
#include "audio/wav_reader.h"

namespace lv::audio {

std::unique_ptr<Decoder> openDecoder(DecoderKind kind, std::unique_ptr<ByteSource> input) {
    if (!input) return nullptr;
    switch (kind) {
        case DecoderKind::layer3:
            return std::make_unique<Layer3Decoder>(std::move(input));
        case DecoderKind::wav:
            return std::make_unique<WavReader>(std::move(input));
        case DecoderKind::layer12:
            return std::make_unique<Layer12Decoder>(std::move(input));
    }
    return nullptr;
}

}  // namespace lv::audio
