// Small sound files kept under tests/data/audio (see SOURCES.md there) and
// helpers to open them as byte sources.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "audio/byte_source.h"

namespace lv::audio::test {

inline std::string audioDataPath(const std::string& name) {
    return std::string(LUMAVINE_SOURCE_DIR) + "/tests/data/audio/" + name;
}

inline std::vector<uint8_t> readAudioData(const std::string& name) {
    std::ifstream in(audioDataPath(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::unique_ptr<ByteSource> memorySource(std::vector<uint8_t> bytes, std::string name = {}) {
    return std::make_unique<MemoryByteSource>(std::move(bytes), std::move(name));
}

}  // namespace lv::audio::test
