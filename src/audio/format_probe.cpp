#include "audio/format_probe.h"

#include <cstring>
#include <vector>

#include "audio/byte_order.h"
#include "audio/mpeg_audio_header.h"
#include "platform/text.h"

namespace lv::audio {
namespace {

bool readAt(ByteSource& input, int64_t position, uint8_t* buffer, size_t count) {
    return input.seek(position) && input.read(buffer, count) == count;
}

// A Layer III header as the probe judges it: layer bits, sampling frequency
// and bitrate index not reserved.
bool plausibleLayer3(const uint8_t* b) {
    return (b[1] & 0x06) == 0x02 && (b[2] & 0x0C) != 0x0C && (b[2] & 0xF0) != 0xF0;
}

bool isSync(const uint8_t* b) { return b[0] == 0xFF && (b[1] & 0xF2) == 0xF2; }

bool endsWithMp3(const std::string& name) {
    return name.size() > 4 && equalsNoCase(std::string_view(name).substr(name.size() - 4), ".mp3");
}

}  // namespace

int probeLayer3(ByteSource& input) {
    uint8_t start[4];
    if (!readAt(input, 0, start, 4)) return 0;
    if (std::memcmp(start, "ID3", 3) == 0) return 100;
    if (std::memcmp(start, "RIFF", 4) == 0) {
        // RIFF carrying MPEG Layer III: format tag 0x55 in a fmt chunk right after "WAVE".
        uint8_t header[36];
        if (!readAt(input, 0, header, sizeof header)) return 0;
        return readLe16(header + 20) == 0x55 ? 50 : 0;
    }
    if (isSync(start)) return plausibleLayer3(start) ? 100 : 0;
    if (!endsWithMp3(input.name())) return 0;
    std::vector<uint8_t> head(1024);
    if (!input.seek(0)) return 0;
    const size_t got = input.read(head.data(), head.size());
    for (size_t i = 0; i + 2 < got && i <= 1021; ++i)
        if (isSync(&head[i])) return plausibleLayer3(&head[i]) ? 50 : 0;
    return 0;
}

int probeWav(ByteSource& input) {
    uint8_t header[44];
    if (!readAt(input, 0, header, sizeof header)) return 0;
    if (std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "WAVE", 4) != 0) return 0;
    if (readLe16(header + 20) != 1) return 0;
    return readLe32(header + 40) >= 10 ? 100 : 0;
}

int probeLayer12(ByteSource& input) {
    uint8_t b[4];
    if (!readAt(input, 0, b, 4)) return 0;
    const int layerBits = (b[1] >> 1) & 3;
    const bool ok = b[0] == 0xFF && b[1] >= 0xF8 && (layerBits == 3 || layerBits == 2) && (b[2] & 0x0C) != 0x0C &&
                    (b[2] & 0xF0) != 0xF0;
    return ok ? 100 : 0;
}

std::optional<DecoderKind> probeFormat(ByteSource& input) {
    const struct {
        int (*probe)(ByteSource&);
        DecoderKind kind;
    } probes[] = {{probeLayer3, DecoderKind::layer3}, {probeWav, DecoderKind::wav}, {probeLayer12, DecoderKind::layer12}};
    int best = 0;
    std::optional<DecoderKind> kind;
    for (const auto& p : probes) {
        const int score = p.probe(input);
        input.seek(0);
        if (score > best) best = score, kind = p.kind;
    }
    return kind;
}

}  // namespace lv::audio
