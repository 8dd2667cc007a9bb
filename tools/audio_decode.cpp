// lumavine-tool audio-decode IN OUT.wav [--info]: decodes an MP3, MP2/MP1 or
// WAV file through the decoder handle into a 16-bit PCM WAV file.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "audio/decoder.h"
#include "audio/format_probe.h"
#include "audio/wav_writer.h"
#include "tool_command.h"

namespace lv::tool {
namespace {

const char* kindName(audio::DecoderKind kind) {
    switch (kind) {
        case audio::DecoderKind::layer3: return "MPEG audio Layer III";
        case audio::DecoderKind::wav: return "WAV";
        case audio::DecoderKind::layer12: return "MPEG audio Layer I/II";
    }
    return "?";
}

// Converts whole samples to 16-bit little-endian ones and returns the bytes
// used; a sample cut off at the end waits for the next read (a WAV reader's
// 4096-byte pieces split 24-bit samples).
size_t appendAs16(std::vector<uint8_t>& pcm, const uint8_t* bytes, size_t count, uint32_t bits) {
    const size_t step = bits / 8;
    size_t i = 0;
    for (; i + step <= count; i += step) {
        if (bits == 8) {
            const auto value = static_cast<int16_t>((bytes[i] - 128) * 256);
            pcm.push_back(static_cast<uint8_t>(value & 0xFF));
            pcm.push_back(static_cast<uint8_t>(static_cast<uint16_t>(value) >> 8));
        } else {
            // The two most significant bytes of a little-endian sample.
            pcm.push_back(bytes[i + step - 2]);
            pcm.push_back(bytes[i + step - 1]);
        }
    }
    return i;
}

int runAudioDecode(Args args) {
    std::string in, out;
    bool info = false;
    for (const char* arg : args) {
        const std::string_view a = arg;
        if (a == "--info") info = true;
        else if (in.empty()) in = a;
        else if (out.empty()) out = a;
        else return 2;
    }
    if (in.empty() || out.empty()) return 2;

    auto source = audio::FileByteSource::open(in);
    if (!source) {
        std::fprintf(stderr, "audio-decode: cannot open %s\n", in.c_str());
        return 1;
    }
    const auto kind = audio::probeFormat(*source);
    if (!kind) {
        std::fprintf(stderr, "audio-decode: %s is not a sound file this program reads\n", in.c_str());
        return 1;
    }
    auto decoder = audio::openDecoder(*kind, std::move(source));
    const audio::DecoderFormat format = decoder ? decoder->format() : audio::DecoderFormat{};
    if (!format.valid) {
        std::fprintf(stderr, "audio-decode: %s: no decodable %s stream\n", in.c_str(), kindName(*kind));
        return 1;
    }
    const int64_t length = decoder->length();

    std::vector<uint8_t> chunk(decoder->largestChunk());
    std::vector<uint8_t> pcm, pending;
    uint64_t reads = 0;
    while (!decoder->atEnd()) {
        const size_t n = decoder->read(chunk);
        if (n > 0) ++reads;
        pending.insert(pending.end(), chunk.begin(), chunk.begin() + static_cast<ptrdiff_t>(n));
        const size_t used = appendAs16(pcm, pending.data(), pending.size(), format.bits);
        pending.erase(pending.begin(), pending.begin() + static_cast<ptrdiff_t>(used));
    }
    if (!audio::writeWav16(out, format.sampleRate, format.channels, pcm)) {
        std::fprintf(stderr, "audio-decode: cannot write %s\n", out.c_str());
        return 1;
    }
    // MPEG streams count their frames; a WAV file's frames are its samples.
    const uint64_t frames = *kind == audio::DecoderKind::wav ? static_cast<uint64_t>(length) : reads;
    if (info) {
        std::printf("format: %s\nrate: %u\nchannels: %u\nlength: %lld\nframes: %llu\n", kindName(*kind),
                    format.sampleRate, format.channels, static_cast<long long>(length),
                    static_cast<unsigned long long>(frames));
    }
    return 0;
}

const ToolCommand audioDecode{"audio-decode", "IN OUT.wav [--info]", "decode MP3, MP2/MP1 or WAV to 16-bit WAV",
                              runAudioDecode};

}  // namespace
}  // namespace lv::tool
