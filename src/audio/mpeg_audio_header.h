// The 32-bit MPEG audio frame header (ISO/IEC 11172-3 2.4.1.3, with the
// low-sampling-frequency extension of 13818-3) and the arithmetic built on
// it. Header fields are read through named accessors, never raw shifts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace lv::audio {

enum class ChannelMode { stereo = 0, jointStereo = 1, dualChannel = 2, mono = 3 };

struct MpegAudioHeader {
    bool mpeg1 = true;   // ID bit: 1 MPEG-1, 0 MPEG-2 low sampling frequency
    int layer = 3;       // 1, 2 or 3
    bool crc = false;    // protection_bit 0: a 16-bit CRC follows the header
    int bitrateIndex = 0;
    int samplingIndex = 0;
    bool padding = false;
    ChannelMode mode = ChannelMode::stereo;
    int modeExtension = 0;

    int channels() const { return mode == ChannelMode::mono ? 1 : 2; }
    int sampleRate() const;
    int bitrateKbps() const;
    // Samples per channel of one frame: 384 (Layer I), 1152, or 576 for
    // Layer III at the low sampling frequencies.
    int samplesPerFrame() const;
    // The frame's length in bytes without the padding slot.
    int frameLengthWithoutPadding() const;
    // The frame's true length in bytes, padding included.
    int frameLength() const;
    // Layer III side information: 32, 17 or 9 bytes.
    int sideInfoLength() const;
    // Layer III main data bytes of a frame (without padding).
    int mainDataLength() const { return frameLengthWithoutPadding() - 4 - sideInfoLength() - (crc ? 2 : 0); }
};

// Parses four header bytes; nothing when they are not a usable header of
// MPEG-1 or MPEG-2 (no MPEG-2.5, no free format, no reserved values).
std::optional<MpegAudioHeader> parseMpegAudioHeader(const uint8_t* bytes);

// The Layer III frame sync: 0xFF then 0xFA, 0xFB, 0xF2 or 0xF3, with a
// bitrate and sampling frequency that the tables know.
bool isLayer3Header(const uint8_t* bytes);

}  // namespace lv::audio
