// lumavine-tool audio-decode IN OUT.wav [--info]: decodes an MP3, MP2/MP1 or
// WAV file through the decoder handle into a 16-bit PCM WAV file, written
// frame by frame; "-" is standard input or output.
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "audio/decoder.h"
#include "audio/format_probe.h"
#include "audio/wav_writer.h"
#include "shell/file_services.h"
#include "shell/file_writer.h"
#include "tool_args.h"
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

// Converts whole samples to 16-bit little-endian ones into `out` and returns
// the bytes used; a sample cut off at the end waits for the next read (a WAV
// reader's 4096-byte pieces split 24-bit samples).
size_t convertTo16(std::vector<uint8_t>& out, const uint8_t* bytes, size_t count, uint32_t bits) {
    const size_t step = bits / 8;
    out.clear();
    size_t i = 0;
    for (; i + step <= count; i += step) {
        if (bits == 8) {
            const auto value = static_cast<int16_t>((bytes[i] - 128) * 256);
            out.push_back(static_cast<uint8_t>(value & 0xFF));
            out.push_back(static_cast<uint8_t>(static_cast<uint16_t>(value) >> 8));
        } else {
            // The two most significant bytes of a little-endian sample.
            out.push_back(bytes[i + step - 2]);
            out.push_back(bytes[i + step - 1]);
        }
    }
    return i;
}

// A file, or standard input read whole (the probe and the decoders seek).
std::unique_ptr<audio::ByteSource> openSource(const std::string& path, std::string& error) {
    if (path == "-") {
        std::vector<uint8_t> bytes;
        std::FILE* in = binaryStandardInput();
        uint8_t piece[65536];
        for (size_t n; (n = std::fread(piece, 1, sizeof piece, in)) > 0;) {
            if (bytes.size() + n > kMaxWholeFile) {
                error = "standard input is larger than " + std::to_string(kMaxWholeFile >> 20) + " MiB";
                return nullptr;
            }
            bytes.insert(bytes.end(), piece, piece + n);
        }
        return std::make_unique<audio::MemoryByteSource>(std::move(bytes), "-");
    }
    if (isFolder(path)) {
        error = path + ": is a folder, not a sound file";
        return nullptr;
    }
    auto source = audio::FileByteSource::open(path);
    if (!source) error = "cannot open " + path;
    return source;
}

int runAudioDecode(Args args) {
    std::string in, out;
    bool info = false;
    for (const char* arg : args) {
        const std::string_view a = arg;
        if (a == "--info") info = true;
        else if (a.size() > 1 && a[0] == '-') return 2;
        else if (in.empty()) in = a;
        else if (out.empty()) out = a;
        else return 2;
    }
    if (in.empty() || out.empty()) return 2;

    std::string error;
    auto source = openSource(in, error);
    if (!source) {
        std::fprintf(stderr, "audio-decode: %s\n", error.c_str());
        return 1;
    }
    const auto kind = audio::probeFormat(*source);
    if (!kind) {
        std::fprintf(stderr, "audio-decode: %s is not a sound file this program reads\n", in.c_str());
        return 1;
    }
    auto decoder = audio::openDecoder(*kind, std::move(source));
    const audio::DecoderFormat format = decoder ? decoder->format() : audio::DecoderFormat{};
    if (!format.valid || (format.bits != 8 && format.bits != 16 && format.bits != 24 && format.bits != 32)) {
        std::fprintf(stderr, "audio-decode: %s: no decodable %s stream\n", in.c_str(), kindName(*kind));
        return 1;
    }
    const int64_t length = decoder->length();

    // Frame by frame into the file: the header announces the length the
    // decoder expects (a pipe keeps it) and is corrected at the end.
    audio::WavWriter wav;
    const uint64_t expected = length > 0 ? static_cast<uint64_t>(length) * format.channels * 2 : audio::kMaxWavDataBytes;
    if (!wav.open(out, format.sampleRate, format.channels, error, expected)) {
        std::fprintf(stderr, "audio-decode: %s\n", error.c_str());
        return 1;
    }
    std::vector<uint8_t> chunk(decoder->largestChunk()), pcm, pending;
    uint64_t reads = 0;
    bool fits = true;
    while (fits && !decoder->atEnd()) {
        const size_t n = decoder->read(chunk);
        if (n > 0) ++reads;
        if (format.bits == 16 && pending.empty()) {
            const size_t whole = n & ~size_t{1};
            fits = wav.write(std::span(chunk.data(), whole));
            pending.assign(chunk.begin() + static_cast<ptrdiff_t>(whole), chunk.begin() + static_cast<ptrdiff_t>(n));
            continue;
        }
        pending.insert(pending.end(), chunk.begin(), chunk.begin() + static_cast<ptrdiff_t>(n));
        const size_t used = convertTo16(pcm, pending.data(), pending.size(), format.bits);
        pending.erase(pending.begin(), pending.begin() + static_cast<ptrdiff_t>(used));
        fits = wav.write(pcm);
    }
    if (!wav.finish(error)) {
        std::fprintf(stderr, "audio-decode: %s\n", error.c_str());
        return 1;
    }
    // MPEG streams count their frames; a WAV file's frames are its samples.
    const uint64_t frames = *kind == audio::DecoderKind::wav ? static_cast<uint64_t>(length) : reads;
    if (info) {  // beside the sound when that goes to standard output
        std::fprintf(out == "-" ? stderr : stdout, "format: %s\nrate: %u\nchannels: %u\nlength: %lld\nframes: %llu\n", kindName(*kind),
                    format.sampleRate, format.channels, static_cast<long long>(length),
                    static_cast<unsigned long long>(frames));
    }
    return 0;
}

const ToolCommand audioDecode{"audio-decode", "IN OUT.wav [--info]", "decode MP3, MP2/MP1 or WAV to 16-bit WAV",
                              runAudioDecode};

}  // namespace
}  // namespace lv::tool
