#include "audio/wav_writer.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

namespace lv::audio {
namespace {

void putLe(uint8_t* at, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

std::vector<uint8_t> makeWav16(uint32_t sampleRate, uint32_t channels, std::span<const uint8_t> pcm) {
    if (uint64_t{pcm.size()} > kMaxWavDataBytes) return {};
    const auto dataBytes = static_cast<uint32_t>(pcm.size());
    uint8_t header[44] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
                          16,  0,   0,   0,   1, 0};  // fmt chunk of 16 bytes, PCM
    putLe(header + 4, 36 + dataBytes, 4);
    putLe(header + 22, channels, 2);
    putLe(header + 24, sampleRate, 4);
    putLe(header + 28, sampleRate * channels * 2, 4);
    putLe(header + 32, channels * 2, 2);
    putLe(header + 34, 16, 2);
    std::memcpy(header + 36, "data", 4);
    putLe(header + 40, dataBytes, 4);
    std::vector<uint8_t> out(sizeof header + pcm.size());
    std::memcpy(out.data(), header, sizeof header);
    if (!pcm.empty()) std::memcpy(out.data() + sizeof header, pcm.data(), pcm.size());
    return out;
}

bool writeWav16(const std::string& path, uint32_t sampleRate, uint32_t channels, std::span<const uint8_t> pcm) {
    const std::vector<uint8_t> bytes = makeWav16(sampleRate, channels, pcm);
    if (bytes.empty()) return false;
    const std::string temporary = path + ".tmp";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    std::error_code error;
    if (written && closed) std::filesystem::rename(temporary, path, error);
    if (!written || !closed || error) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    return true;
}

}  // namespace lv::audio
