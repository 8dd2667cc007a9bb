// Writes 16-bit PCM as a RIFF WAVE file, the canonical 44-byte header
// followed by the samples. The file is written to a temporary beside the
// target and renamed over it only when complete.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace lv::audio {

// The RIFF sizes are 32 bits: at most this many bytes of samples fit.
inline constexpr uint64_t kMaxWavDataBytes = 0xFFFFFFFFu - 36;

// The whole file's bytes; empty when the samples do not fit a RIFF file
// (a 64-bit build could otherwise write wrapped sizes that a 32-bit one
// never reaches).
std::vector<uint8_t> makeWav16(uint32_t sampleRate, uint32_t channels, std::span<const uint8_t> pcm);

// False (and the target untouched) when the file cannot be written.
bool writeWav16(const std::string& path, uint32_t sampleRate, uint32_t channels, std::span<const uint8_t> pcm);

}  // namespace lv::audio
