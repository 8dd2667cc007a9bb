// Writes 16-bit PCM as a RIFF WAVE file: the canonical 44-byte header
// followed by the samples, streamed through a FileWriter
// (shell/file_writer.h), so a regular file is replaced only when complete
// and a device, a FIFO or "-" is written directly.
//
//     lv::audio::WavWriter wav;
//     if (!wav.open("out.wav", 44100, 2, error) || !wav.write(pcm) || !wav.finish(error)) report(error);
//
// Limits: RIFF sizes are 32-bit, so at most kMaxWavDataBytes of samples;
// writing past that is refused, never wrapped. On a target that cannot be
// patched afterwards (a pipe), the header holds the size announced to
// open(), or the largest size when none was.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "shell/file_writer.h"

namespace lv::audio {

// The most sample bytes a RIFF file's 32-bit size fields can describe.
inline constexpr std::uint64_t kMaxWavDataBytes = 0xFFFFFFFFull - 36;

// The header for dataBytes of samples; nullopt when the sizes cannot hold it.
std::optional<std::array<std::uint8_t, 44>> wavHeader16(std::uint32_t sampleRate, std::uint32_t channels,
                                                        std::uint64_t dataBytes);

class WavWriter {
public:
    // expectedBytes: the sample bytes the header announces until finish()
    // knows the real count (for outputs that cannot be rewound).
    bool open(const std::string& path, std::uint32_t sampleRate, std::uint32_t channels, std::string& error,
              std::uint64_t expectedBytes = kMaxWavDataBytes);
    // False (and the file discarded at finish) past kMaxWavDataBytes.
    bool write(std::span<const std::uint8_t> pcm);
    bool finish(std::string& error);

private:
    FileWriter file_;
    std::uint32_t sampleRate_ = 0, channels_ = 0;
    std::uint64_t dataBytes_ = 0;
    bool tooLarge_ = false;
};

// The whole file's bytes.
std::vector<std::uint8_t> makeWav16(std::uint32_t sampleRate, std::uint32_t channels, std::span<const std::uint8_t> pcm);

// False (and the target untouched) when the file cannot be written.
bool writeWav16(const std::string& path, std::uint32_t sampleRate, std::uint32_t channels,
                std::span<const std::uint8_t> pcm);

}  // namespace lv::audio
