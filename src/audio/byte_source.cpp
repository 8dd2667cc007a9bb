#include "audio/byte_source.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace lv::audio {

MemoryByteSource::MemoryByteSource(std::vector<uint8_t> bytes, std::string name)
    : owned_(std::move(bytes)), bytes_(owned_), name_(std::move(name)) {}

MemoryByteSource::MemoryByteSource(std::span<const uint8_t> bytes, std::string name)
    : owned_(bytes.begin(), bytes.end()), bytes_(owned_), name_(std::move(name)) {}

std::unique_ptr<MemoryByteSource> MemoryByteSource::view(std::span<const uint8_t> bytes, std::string name) {
    std::unique_ptr<MemoryByteSource> source(new MemoryByteSource);
    source->bytes_ = bytes;
    source->name_ = std::move(name);
    return source;
}

size_t MemoryByteSource::read(void* buffer, size_t count) {
    const int64_t available = std::max<int64_t>(0, size() - position_);
    const size_t n = static_cast<size_t>(std::min<int64_t>(available, static_cast<int64_t>(count)));
    if (n > 0) std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += static_cast<int64_t>(n);
    return n;
}

bool MemoryByteSource::seek(int64_t position) {
    if (position < 0) return false;
    position_ = position;
    return true;
}

// Plain fseek/ftell take a long, 32 bits on Windows: sound files beyond
// 2 GiB are refused at open rather than misread.
std::unique_ptr<FileByteSource> FileByteSource::open(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return nullptr;
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
    if (size < 0 || std::fseek(file, 0, SEEK_SET) != 0) {
        std::fclose(file);
        return nullptr;
    }
    return std::unique_ptr<FileByteSource>(new FileByteSource(file, size, path));
}

FileByteSource::FileByteSource(std::FILE* file, int64_t size, std::string name)
    : file_(file), size_(size), name_(std::move(name)) {}

FileByteSource::~FileByteSource() { std::fclose(file_); }

size_t FileByteSource::read(void* buffer, size_t count) {
    const size_t n = std::fread(buffer, 1, count, file_);
    position_ += static_cast<int64_t>(n);
    return n;
}

bool FileByteSource::seek(int64_t position) {
    if (position < 0 || position > LONG_MAX) return false;
    if (std::fseek(file_, static_cast<long>(position), SEEK_SET) != 0) return false;
    position_ = position;
    return true;
}

}  // namespace lv::audio
