#include "audio/wav_writer.h"

#include <cstdio>
#include <filesystem>

namespace lv::audio {
namespace {

void putLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void putTag(std::vector<uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

}  // namespace

std::vector<uint8_t> makeWav16(uint32_t sampleRate, uint32_t channels, std::span<const uint8_t> pcm) {
    std::vector<uint8_t> out;
    out.reserve(44 + pcm.size());
    const auto dataBytes = static_cast<uint32_t>(pcm.size());
    putTag(out, "RIFF");
    putLe(out, 36 + dataBytes, 4);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    putLe(out, 16, 4);
    putLe(out, 1, 2);  // PCM
    putLe(out, channels, 2);
    putLe(out, sampleRate, 4);
    putLe(out, sampleRate * channels * 2, 4);
    putLe(out, channels * 2, 2);
    putLe(out, 16, 2);
    putTag(out, "data");
    putLe(out, dataBytes, 4);
    out.insert(out.end(), pcm.begin(), pcm.end());
    return out;
}

bool writeWav16(const std::string& path, uint32_t sampleRate, uint32_t channels, std::span<const uint8_t> pcm) {
    const std::vector<uint8_t> bytes = makeWav16(sampleRate, channels, pcm);
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
