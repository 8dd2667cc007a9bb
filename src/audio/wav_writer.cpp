#include "audio/wav_writer.h"

#include <algorithm>
#include <cstring>

namespace lv::audio {
namespace {

void putLe(std::uint8_t* at, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

std::optional<std::array<std::uint8_t, 44>> wavHeader16(std::uint32_t sampleRate, std::uint32_t channels,
                                                        std::uint64_t dataBytes) {
    if (dataBytes > kMaxWavDataBytes || channels < 1 || channels > 0xFFFF / 2 ||
        static_cast<std::uint64_t>(sampleRate) * channels * 2 > 0xFFFFFFFFull)
        return std::nullopt;
    std::array<std::uint8_t, 44> header = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
                                           16,  0,   0,   0,   1, 0};  // fmt chunk of 16 bytes, PCM
    putLe(&header[4], static_cast<std::uint32_t>(36 + dataBytes), 4);
    putLe(&header[22], channels, 2);
    putLe(&header[24], sampleRate, 4);
    putLe(&header[28], sampleRate * channels * 2, 4);
    putLe(&header[32], channels * 2, 2);
    putLe(&header[34], 16, 2);
    std::memcpy(&header[36], "data", 4);
    putLe(&header[40], static_cast<std::uint32_t>(dataBytes), 4);
    return header;
}

bool WavWriter::open(const std::string& path, std::uint32_t sampleRate, std::uint32_t channels, std::string& error,
                     std::uint64_t expectedBytes) {
    const auto header = wavHeader16(sampleRate, channels, std::min(expectedBytes, kMaxWavDataBytes));
    if (!header) {
        error = "a WAV file cannot hold " + std::to_string(channels) + " channels at " + std::to_string(sampleRate) + " Hz";
        return false;
    }
    if (!file_.open(path, error)) return false;
    sampleRate_ = sampleRate;
    channels_ = channels;
    dataBytes_ = 0;
    tooLarge_ = false;
    return file_.write(*header);
}

bool WavWriter::write(std::span<const std::uint8_t> pcm) {
    if (tooLarge_ || pcm.size() > kMaxWavDataBytes - dataBytes_) {
        tooLarge_ = true;
        return false;
    }
    dataBytes_ += pcm.size();
    return file_.write(pcm);
}

bool WavWriter::finish(std::string& error) {
    if (tooLarge_) {
        file_.discard();
        error = "the sound is longer than a WAV file can hold (4 GiB)";
        return false;
    }
    if (file_.replaces()) {  // the real sizes, now that they are known
        const auto header = wavHeader16(sampleRate_, channels_, dataBytes_);
        if (header) file_.writeAt(0, header->data(), header->size());
    }
    return file_.commit(error);
}

std::vector<std::uint8_t> makeWav16(std::uint32_t sampleRate, std::uint32_t channels,
                                    std::span<const std::uint8_t> pcm) {
    const auto header = wavHeader16(sampleRate, channels, pcm.size());
    if (!header) return {};
    std::vector<std::uint8_t> out(header->begin(), header->end());
    out.insert(out.end(), pcm.begin(), pcm.end());
    return out;
}

bool writeWav16(const std::string& path, std::uint32_t sampleRate, std::uint32_t channels,
                std::span<const std::uint8_t> pcm) {
    WavWriter wav;
    std::string error;
    return wav.open(path, sampleRate, channels, error, pcm.size()) && wav.write(pcm) && wav.finish(error);
}

}  // namespace lv::audio
