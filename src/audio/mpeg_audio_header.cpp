#include "audio/mpeg_audio_header.h"

namespace lv::audio {
namespace {

// Bitrates in kbit/s by index 0..14 (0 is free format, refused).
constexpr int bitratesMpeg1[3][15] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},  // Layer I
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},     // Layer II
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},      // Layer III
};
constexpr int bitratesMpeg2[3][15] = {
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},  // Layer I
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},       // Layers II, III
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
};
constexpr int sampleRatesMpeg1[3] = {44100, 48000, 32000};

}  // namespace

int MpegAudioHeader::sampleRate() const {
    const int rate = sampleRatesMpeg1[samplingIndex];
    return mpeg1 ? rate : rate / 2;
}

int MpegAudioHeader::bitrateKbps() const {
    return mpeg1 ? bitratesMpeg1[layer - 1][bitrateIndex] : bitratesMpeg2[layer - 1][bitrateIndex];
}

int MpegAudioHeader::samplesPerFrame() const {
    if (layer == 1) return 384;
    if (layer == 3 && !mpeg1) return 576;
    return 1152;
}

int MpegAudioHeader::frameLengthWithoutPadding() const {
    if (layer == 1) return bitrateKbps() * 12000 / sampleRate() * 4;
    const int factor = (layer == 3 && !mpeg1) ? 72000 : 144000;
    return bitrateKbps() * factor / sampleRate();
}

int MpegAudioHeader::frameLength() const {
    return frameLengthWithoutPadding() + (padding ? (layer == 1 ? 4 : 1) : 0);
}

int MpegAudioHeader::sideInfoLength() const {
    if (mpeg1) return mode == ChannelMode::mono ? 17 : 32;
    return mode == ChannelMode::mono ? 9 : 17;
}

std::optional<MpegAudioHeader> parseMpegAudioHeader(const uint8_t* b) {
    // 11 sync bits; the 12th is 1 for MPEG-1 and MPEG-2 (0 would be MPEG-2.5).
    if (b[0] != 0xFF || (b[1] & 0xF0) != 0xF0) return std::nullopt;
    MpegAudioHeader h;
    h.mpeg1 = (b[1] & 0x08) != 0;
    const int layerBits = (b[1] >> 1) & 3;
    if (layerBits == 0) return std::nullopt;
    h.layer = 4 - layerBits;
    h.crc = (b[1] & 1) == 0;
    h.bitrateIndex = b[2] >> 4;
    h.samplingIndex = (b[2] >> 2) & 3;
    h.padding = (b[2] & 2) != 0;
    h.mode = static_cast<ChannelMode>(b[3] >> 6);
    h.modeExtension = (b[3] >> 4) & 3;
    if (h.bitrateIndex == 0 || h.bitrateIndex == 15 || h.samplingIndex == 3) return std::nullopt;
    return h;
}

bool isLayer3Header(const uint8_t* b) {
    if (b[0] != 0xFF) return false;
    if (b[1] != 0xFA && b[1] != 0xFB && b[1] != 0xF2 && b[1] != 0xF3) return false;
    return parseMpegAudioHeader(b).has_value();
}

}  // namespace lv::audio
